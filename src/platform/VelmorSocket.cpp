// VelmorSocket: POSIX implementation over the BSD socket calls.
#include "platform/VelmorSocket.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <iostream>

namespace {

std::atomic<bool> socketLibraryInitialized{false};

bool AddressInUse(int error) {
  // 98 and 48 are the Linux and BSD numbers of the same condition.
  return error == EADDRINUSE || error == 98 || error == 48;
}

}  // namespace

VelmorSocket::VelmorSocket(bool create) : descriptor(-1), hasError(false), lastBindInUse(false) {
  InitializeSocketLibrary();
  if (!create) return;
  descriptor = socket(AF_INET, SOCK_STREAM, 0);
  if (descriptor < 0) ReportError("error in socket creation", "");
}

VelmorSocket::~VelmorSocket() {
  if (descriptor >= 0) Close();
}

void VelmorSocket::InitializeSocketLibrary() {
  // POSIX has no socket-library start-up; only the flag is kept.
  socketLibraryInitialized.store(true);
}

bool VelmorSocket::SocketLibraryInitialized() { return socketLibraryInitialized.load(); }

void VelmorSocket::ReportError(const std::string& text, const std::string& detail) {
  std::cerr << text << detail << std::endl;
  hasError = true;
  lastError = text;
}

bool VelmorSocket::Bind(int port) { return Bind(port, false); }

bool VelmorSocket::Bind(int port, bool loopbackOnly) {
  lastBindInUse = false;
  sockaddr_in address;
  std::memset(&address, 0, sizeof address);
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(loopbackOnly ? INADDR_LOOPBACK : INADDR_ANY);
  address.sin_port = htons(static_cast<uint16_t>(port & 0xFFFF));
  if (bind(descriptor, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
    return true;
  }
  int error = errno;
  if (AddressInUse(error)) {
    lastBindInUse = true;
    return false;
  }
  ReportError("error in bind.  errno=",
              std::to_string(error) + " (Port=" + std::to_string(port) + ")");
  return false;
}

int VelmorSocket::BoundPort() const {
  sockaddr_in address;
  socklen_t length = sizeof address;
  if (descriptor < 0 ||
      getsockname(descriptor, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    return -1;
  }
  return ntohs(address.sin_port);
}

bool VelmorSocket::Listen(int backlog) {
  if (listen(descriptor, backlog) == 0) return true;
  ReportError("error in listen", std::to_string(errno));
  return false;
}

bool VelmorSocket::Accept(VelmorSocket& into) {
  int connection;
  do {
    connection = accept(descriptor, nullptr, nullptr);
  } while (connection < 0 && errno == EINTR);
  if (into.descriptor >= 0) into.Close();
  into.descriptor = connection;
  if (connection >= 0) return true;
  ReportError("error in accept: ", "");
  return false;
}

bool VelmorSocket::Connect(const char* host, int port) {
  addrinfo hints;
  std::memset(&hints, 0, sizeof hints);
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (host == nullptr || getaddrinfo(host, nullptr, &hints, &found) != 0 || found == nullptr) {
    ReportError("error in connect: errno=", std::to_string(errno));
    return false;
  }
  sockaddr_in address;
  std::memcpy(&address, found->ai_addr, sizeof address);
  freeaddrinfo(found);
  address.sin_port = htons(static_cast<uint16_t>(port & 0xFFFF));
  if (connect(descriptor, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
    return true;
  }
  ReportError("error in connect: errno=", std::to_string(errno));
  return false;
}

bool VelmorSocket::Select(int milliseconds) {
  if (descriptor < 0) {
    ReportError("error in select", std::to_string(EBADF));
    return false;
  }
  pollfd entry;
  entry.fd = descriptor;
  entry.events = POLLIN;
  entry.revents = 0;
  int ready;
  do {
    ready = poll(&entry, 1, milliseconds < 0 ? -1 : milliseconds);
  } while (ready < 0 && errno == EINTR);
  if (ready < 0) {
    ReportError("error in select", std::to_string(errno));
    return false;
  }
  // End of stream and pending errors count as readable, as with select:
  // the following receive then reports them.
  return ready > 0 && (entry.revents & (POLLIN | POLLHUP | POLLERR)) != 0;
}

int VelmorSocket::Send(const char* data, int length) {
  int sent = 0;
  while (sent < length) {
    ssize_t result =
        send(descriptor, data + sent, static_cast<size_t>(length - sent), MSG_NOSIGNAL);
    if (result < 0 && errno == EINTR) continue;
    if (result <= 0) return -1;
    sent += static_cast<int>(result);
  }
  return sent;
}

int VelmorSocket::Recv(char* buffer, int length) {
  if (length <= 0) return 0;
  ssize_t result;
  do {
    result = recv(descriptor, buffer, static_cast<size_t>(length), 0);
  } while (result < 0 && errno == EINTR);
  return static_cast<int>(result);
}

int VelmorSocket::RecvBlock(char* buffer, int length) {
  int received = 0;
  while (received < length) {
    int result = Recv(buffer + received, length - received);
    if (result <= 0) break;
    received += result;
  }
  return received;
}

int VelmorSocket::RecvBlock(char* buffer, int length, const char* terminator) {
  if (length <= 0) return 0;
  const int terminatorLength = static_cast<int>(std::strlen(terminator));
  int received = 0;
  while (received < length) {
    int result = Recv(buffer + received, length - received);
    if (result <= 0) break;
    received += result;
    buffer[received] = '\0';
    if (received >= terminatorLength &&
        std::memcmp(buffer + received - terminatorLength, terminator,
                    static_cast<size_t>(terminatorLength)) == 0) {
      break;
    }
  }
  buffer[received] = '\0';
  return received;
}

int VelmorSocket::Close() {
  if (descriptor < 0) return -1;
  // A failed shutdown (for instance on a socket that never connected, or
  // a connection the peer reset) is reported; the descriptor is closed all
  // the same.
  if (shutdown(descriptor, SHUT_RDWR) != 0) {
    ReportError("error in shutdown.  errno=", std::to_string(errno));
  }
  int result = close(descriptor);
  descriptor = -1;
  return result;
}

const char* VelmorSocket::GetErrorString() const { return hasError ? lastError.c_str() : nullptr; }
