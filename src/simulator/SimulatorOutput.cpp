// SimulatorClass, output side: packets, the report rule of CheckReportSize,
// the output step and the byte-writing primitives. Simulation thread only.
#include <cstdlib>
#include <cstring>
#include <exception>
#include <fstream>
#include <iostream>
#include <vector>

#include "base/Assert.h"
#include "base/ErrorReports.h"
#include "platform/VelmorSocket.h"
#include "output/DataPacket.h"
#include "output/PacketQueue.h"
#include "output/ResultsFile.h"
#include "output/SimMgrMessages.h"
#include "simulator/SimulatorClass.h"

namespace {

// After this many output steps, reports are held while the processor time
// per output step stays below kMinSecondsPerOutput.
constexpr int kReportsAlwaysWritten = 10;
constexpr double kMinSecondsPerOutput = 0.2;
constexpr size_t kInitialBufferValues = 100;

// The conversion buffer of the output primitives: one per process, grown
// when a message needs more room; used by the simulation thread only.
// Memory that cannot be had ends the process through the framework's
// memory report, as every other allocation does.
std::vector<char>& MessageBuffer(size_t bytes) {
  static std::vector<char> buffer(8 * kInitialBufferValues);
  if (buffer.size() < bytes) {
    try {
      buffer.resize(bytes);
    } catch (const std::exception&) {  // bad_alloc or length_error
      MemoryAllocationError();
    }
  }
  return buffer;
}

// Sends bytes to socket (when given), then writes them to stream (when
// given). Returns length, or -1 when the send failed.
int SendAndWrite(VelmorSocket* socket, std::ostream* stream, const char* bytes, int length) {
  int result = length;
  if (socket != nullptr && length > 0 && socket->Send(bytes, length) <= 0) {
    result = -1;
  }
  if (stream != nullptr) stream->write(bytes, length);
  return result;
}

}  // namespace

DataPacket* SimulatorClass::CreateDataPacket(int variableCount) {
  DataPacket* packet = new DataPacket(-1, -1, variableCount, reportSize);
  packet->clientId = clientId;
  packet->experiment = experiment;
  return packet;
}

void SimulatorClass::CreatePacketQueues() {
  freePackets = new PacketQueue(queueCapacity);
  pendingPackets = new PacketQueue(queueCapacity);
}

int SimulatorClass::CheckReportSize(double elapsed) {
  const int counter = reportCounter;
  if (simMgrSocket != nullptr) ListenToSimMgr(simMgrSocket);
  // pendingPackets never overflows: a report is held only while the queue
  // has room for the next pair (see the rule below).
  const bool queuedFirst = pendingPackets->Put(firstPacket);
  const bool queuedSecond = pendingPackets->Put(secondPacket);
  VELMOR_ASSERT(queuedFirst && queuedSecond, "SimulatorOutput");
  firstPacket = freePackets->Take();
  if (firstPacket == nullptr) firstPacket = CreateDataPacket(numPVs);
  secondPacket = freePackets->Take();
  if (secondPacket == nullptr) secondPacket = CreateDataPacket(numPVs);
  if (counter > kReportsAlwaysWritten && elapsed / counter < kMinSecondsPerOutput) {
    if (pendingPackets->Length() < queueCapacity && runState != 1) return 0;
  }
  ++reportCounter;
  OutputThreadFunc();
  return 1;
}

int SimulatorClass::OutputThreadFunc() {
  for (;;) {
    DataPacket* first = pendingPackets->Take();
    if (first == nullptr) break;
    DataPacket* second = pendingPackets->Take();
    if (simMgrSocket != nullptr) OutputCPUTime(simMgrSocket, elapsedSeconds);
    if (simMgrSocket != nullptr || binaryFile != nullptr) {
      OutputDataBinary(simMgrSocket, binaryFile, first, nullptr);
    }
    if (asciiFile != nullptr) OutputDataCSV(asciiFile, first, nullptr);
    // At most 52 packets exist, so freePackets always has room.
    const bool returned = freePackets->Put(first);
    VELMOR_ASSERT(returned, "SimulatorOutput");
    if (second != nullptr) {
      const bool returnedSecond = freePackets->Put(second);
      VELMOR_ASSERT(returnedSecond, "SimulatorOutput");
    }
  }
  if (runState == 1 && pendingPackets->Length() == 0) runState = 2;
  return 0;
}

void SimulatorClass::ResetDataPacketBuffer() {
  for (DataPacket* p = pendingPackets->Take(); p != nullptr; p = pendingPackets->Take()) {
    if (!freePackets->Put(p)) delete p;
  }
}

void SimulatorClass::ReleaseOutputSide() {
  delete asciiFile;  // closes the stream
  asciiFile = nullptr;
  delete binaryFile;
  binaryFile = nullptr;
  PacketQueue** queues[] = {&pendingPackets, &freePackets};
  for (PacketQueue** queue : queues) {
    if (*queue == nullptr) continue;
    for (DataPacket* p = (*queue)->Take(); p != nullptr; p = (*queue)->Take()) {
      delete p;
    }
    delete *queue;
    *queue = nullptr;
  }
  delete firstPacket;
  firstPacket = nullptr;
  delete secondPacket;
  secondPacket = nullptr;
}

int SimulatorClass::Output(VelmorSocket* socket, std::ostream* stream, const double* values,
                           int count) {
  if (count <= 0) return 0;
  const size_t bytes = 8 * static_cast<size_t>(count);
  std::vector<char>& buffer = MessageBuffer(bytes);
  char* out = buffer.data();
  for (int i = 0; i < count; ++i) out = PutDouble(out, values[i]);
  const int result = SendAndWrite(socket, stream, buffer.data(), static_cast<int>(bytes));
  if (result < 0) runState = 2;
  return result;
}

int SimulatorClass::OutputInt(VelmorSocket* socket, std::ostream* stream, int value) {
  char bytes[4];
  PutInt32(bytes, value);
  const int result = SendAndWrite(socket, stream, bytes, 4);
  if (result < 0) runState = 2;
  return result;
}

int SimulatorClass::OutputShort(VelmorSocket* socket, std::ostream* stream, short value) {
  char bytes[2];
  PutInt16(bytes, value);
  const int result = SendAndWrite(socket, stream, bytes, 2);
  if (result < 0) runState = 2;
  return result;
}

int SimulatorClass::OutputByte(VelmorSocket* socket, std::ostream* stream, unsigned char value) {
  char bytes[1];
  PutByte(bytes, value);
  const int result = SendAndWrite(socket, stream, bytes, 1);
  if (result < 0) runState = 2;
  return result;
}

int SimulatorClass::OutputCPUTime(VelmorSocket* socket, double seconds) {
  char bytes[kCpuTimeMessageSize];
  EncodeCpuTimeMessage(clientId, experiment, seconds, bytes);
  const int result = SendAndWrite(socket, nullptr, bytes, kCpuTimeMessageSize);
  if (result < 0) {
    runState = 2;
    return -1;
  }
  return 8;  // as Output reports for the one value
}

void SimulatorClass::OutputDataBinary(VelmorSocket* socket, std::ostream* stream, DataPacket* first,
                                      DataPacket* second) {
  const size_t length = ObservationMessageLength(*first, second);
  std::vector<char>& buffer = MessageBuffer(length);
  EncodeObservationMessage(clientId, experiment, *first, second, buffer.data());
  // One send for the whole message; the stream gets the same bytes even
  // when the send fails, so the file stays a sequence of whole messages.
  if (SendAndWrite(socket, stream, buffer.data(), static_cast<int>(length)) < 0) {
    runState = 2;
  }
  if (stream != nullptr) stream->flush();
}

void SimulatorClass::OutputDataCSV(std::ostream* stream, DataPacket* first, DataPacket* second) {
  if (stream == nullptr) return;
  WriteAsciiObservations(*stream, *first, second);
  stream->flush();
}

double SimulatorClass::EndianConvertDouble(double value) {
  unsigned char bytes[sizeof value];
  std::memcpy(bytes, &value, sizeof value);
  for (size_t i = 0; i < sizeof value / 2; ++i) {
    const unsigned char t = bytes[i];
    bytes[i] = bytes[sizeof value - 1 - i];
    bytes[sizeof value - 1 - i] = t;
  }
  double reversed;
  std::memcpy(&reversed, bytes, sizeof reversed);
  return reversed;
}

std::ofstream* SimulatorClass::CreateASCIIFile(const char* name) {
  std::ofstream* stream = OpenResultsFile(name, false);
  if (stream == nullptr) std::exit(1);
  WriteAsciiResultsHeader(*stream, experiment);
  return stream;
}

std::ofstream* SimulatorClass::CreateBinFile(const char* name) {
  std::ofstream* stream = OpenResultsFile(name, true);
  if (stream == nullptr) std::exit(1);
  WriteBinaryResultsHeader(*stream, experiment);
  return stream;
}

void* SimulatorClass::StaticOutputThreadFunc(void* simulator) {
  SimulatorClass* self = static_cast<SimulatorClass*>(simulator);
  while (self->runState != 2) self->OutputThreadFunc();
  return nullptr;
}
