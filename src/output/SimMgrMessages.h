// SimMgrMessages: the byte formats that exist only on the manager link (the
// control reply, the CPU-time message) and the parsing of the redirect text.
// Pure functions; thread-safe.
#ifndef VELMOR_OUTPUT_SIMMGRMESSAGES_H
#define VELMOR_OUTPUT_SIMMGRMESSAGES_H

#include <cstdint>
#include <string>

constexpr int kControlReplySize = 10;
constexpr int kCpuTimeMessageSize = 16;
constexpr int kControlMarker = 0xFF;  // registration, identify, redirect
constexpr int kQuitMarker = 0xFE;     // the reply to quit; CPU-time marker
constexpr int kReplyRegister = 1;
constexpr int kReplyQuit = 2;
constexpr int kReplyRedirect = 3;
// Command bytes the manager sends.
constexpr int kCommandIdentify = 1;
constexpr int kCommandQuit = 2;
constexpr int kCommandRedirect = 3;
// The redirect text is at most this long and ends with ";;".
constexpr int kRedirectTextMax = 512;

// 10 bytes: the length 10, marker, code, the process id (big-endian).
void EncodeControlReply(int marker, int code, int32_t processId, char* out);
// 16 bytes: the length 12 (the bytes after it), 0xFE, client id (low 8
// bits), experiment (low 16 bits), seconds as a big-endian double.
void EncodeCpuTimeMessage(int clientId, int experiment, double seconds, char* out);

// What a redirect text "name;number;;" asks for. The text is split at ';'
// with empty pieces skipped; the first piece is the file name, the second
// read as a decimal integer (0, no limit, when absent or not a number;
// clamped to the int range).
struct RedirectRequest {
  bool hasFileName = false;
  std::string fileName;
  int maxBatches = 0;
};
RedirectRequest ParseRedirectText(const char* text);

#endif  // VELMOR_OUTPUT_SIMMGRMESSAGES_H
