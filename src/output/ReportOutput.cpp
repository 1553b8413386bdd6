// ReportOutput: the report-holding rule, the output step, packet recycling
// and the byte-writing primitives.
#include "output/ReportOutput.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <fstream>
#include <iostream>
#include <vector>

#include "base/Allocate.h"
#include "base/Assert.h"
#include "base/ErrorReports.h"
#include "base/OwnedString.h"
#include "output/DataPacket.h"
#include "output/PacketQueue.h"
#include "output/ResultsFile.h"
#include "output/RunControl.h"
#include "output/SimMgrMessages.h"
#include "platform/VelmorSocket.h"

namespace {

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

// SendAndWrite for the primitives: a failed send stops the run.
int SendAndWriteOrStop(VelmorSocket* socket, std::ostream* stream, const char* bytes, int length,
                       RunControl& run) {
  const int result = SendAndWrite(socket, stream, bytes, length);
  if (result < 0) run.StopRun();
  return result;
}

}  // namespace

ReportOutput::ReportOutput() { CreatePacketQueues(); }

void ReportOutput::CreatePacketQueues() {
  freePackets = Allocate<PacketQueue>(queueCapacity);
  pendingPackets = Allocate<PacketQueue>(queueCapacity);
}

ReportOutput::~ReportOutput() { ReleaseOutputSide(); }

bool ReportOutput::HoldsReport(int counter, double elapsed, int held, int capacity,
                               bool finishing) {
  if (counter <= kReportsAlwaysWritten || !(elapsed / counter < kMinSecondsPerOutput)) {
    return false;
  }
  return held < capacity && !finishing;
}

DataPacket* ReportOutput::CreateDataPacket(int variableCount, const ReportContext& context) {
  DataPacket* packet = Allocate<DataPacket>(-1, -1, variableCount, context.reportSize);
  packet->clientId = context.clientId;
  packet->experiment = context.experiment;
  return packet;
}

int ReportOutput::QueueReport(double elapsed, const ReportContext& context, RunControl& run) {
  // pendingPackets never overflows: a report is held only while the queue
  // has room for the next pair (see HoldsReport).
  const bool queuedFirst = pendingPackets->Put(firstPacket);
  const bool queuedSecond = pendingPackets->Put(secondPacket);
  VELMOR_ASSERT(queuedFirst && queuedSecond, "SimulatorOutput");
  firstPacket = freePackets->Take();
  if (firstPacket == nullptr) firstPacket = CreateDataPacket(context.numPVs, context);
  secondPacket = freePackets->Take();
  if (secondPacket == nullptr) secondPacket = CreateDataPacket(context.numPVs, context);
  if (HoldsReport(reportCounter, elapsed, pendingPackets->Length(), queueCapacity,
                  run.runState == 1)) {
    return 0;
  }
  ++reportCounter;
  OutputThreadFunc(context, run);
  return 1;
}

int ReportOutput::OutputThreadFunc(const ReportContext& context, RunControl& run) {
  for (;;) {
    DataPacket* first = pendingPackets->Take();
    if (first == nullptr) break;
    DataPacket* second = pendingPackets->Take();
    if (context.socket != nullptr) {
      OutputCPUTime(context.socket, context.elapsedSeconds, context, run);
    }
    if (context.socket != nullptr || binaryFile != nullptr) {
      OutputDataBinary(context.socket, binaryFile, first, nullptr, context, run);
      CheckWritten(binaryFile, binaryFileLabel, run);
    }
    if (asciiFile != nullptr) {
      OutputDataCSV(asciiFile, first, nullptr);
      CheckWritten(asciiFile, asciiFileLabel, run);
    }
    // At most 52 packets exist, so freePackets always has room.
    const bool returned = freePackets->Put(first);
    VELMOR_ASSERT(returned, "SimulatorOutput");
    if (second != nullptr) {
      const bool returnedSecond = freePackets->Put(second);
      VELMOR_ASSERT(returnedSecond, "SimulatorOutput");
    }
  }
  if (run.runState == 1 && pendingPackets->Length() == 0) run.StopRun();
  return 0;
}

bool ReportOutput::CheckWritten(std::ofstream* stream, const std::string& name, RunControl& run) {
  if (stream == nullptr || stream->good()) return true;
  const int error = errno;
  if (!writeFailed) {
    std::cerr << "ERROR: Unable to write results file '" << name
              << "': " << (error != 0 ? std::strerror(error) : "write failed") << std::endl;
  }
  writeFailed = true;
  run.exitStatus = 1;
  run.StopRun();
  return false;
}

void ReportOutput::WriteHeldReportsToFiles(const ReportContext& context, RunControl& run) {
  if (pendingPackets == nullptr || pendingPackets->Length() == 0 || writeFailed) return;
  ReportContext filesOnly = context;
  filesOnly.socket = nullptr;
  OutputThreadFunc(filesOnly, run);
}

void ReportOutput::ResetDataPacketBuffer() {
  for (DataPacket* p = pendingPackets->Take(); p != nullptr; p = pendingPackets->Take()) {
    if (!freePackets->Put(p)) delete p;
  }
}

void ReportOutput::ReleaseOutputSide() {
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

namespace {

// A results file whose header cannot be written (a full disk) ends the run
// before it starts, as one that cannot be opened does.
void ExitUnlessWritten(std::ofstream* stream, const char* name) {
  if (stream->good()) return;
  const int error = errno;
  std::cerr << "ERROR: Unable to write results file '" << name
            << "': " << (error != 0 ? std::strerror(error) : "write failed") << std::endl;
  std::exit(1);
}

}  // namespace

std::ofstream* ReportOutput::CreateASCIIFile(const char* name, int experiment) {
  std::ofstream* stream = OpenResultsFile(name, false);
  if (stream == nullptr) std::exit(1);
  errno = 0;
  WriteAsciiResultsHeader(*stream, experiment);
  ExitUnlessWritten(stream, name);
  return stream;
}

std::ofstream* ReportOutput::CreateBinFile(const char* name, int experiment) {
  std::ofstream* stream = OpenResultsFile(name, true);
  if (stream == nullptr) std::exit(1);
  errno = 0;
  WriteBinaryResultsHeader(*stream, experiment);
  ExitUnlessWritten(stream, name);
  return stream;
}

void ReportOutput::TakeRedirect(const RedirectRequest& request, int experiment,
                                char** binaryFileName, int* maxBatches) {
  if (*binaryFileName != nullptr || !request.hasFileName) return;
  *binaryFileName = CopyOwnedString(request.fileName.c_str());
  // The manager's file name is a peer's choice: a file that cannot be
  // opened is reported and the run goes on without it. A peer may only name
  // a file in the working folder: a name with a path separator or ".." is
  // refused the same way, so it can create or truncate nothing elsewhere.
  const std::string& name = request.fileName;
  if (name.find('/') != std::string::npos || name.find('\\') != std::string::npos ||
      name.find("..") != std::string::npos) {
    std::cerr << "ERROR: Unable to open results file '" << name
              << "': a name from the manager must not contain a path separator or '..'"
              << std::endl;
    *maxBatches = request.maxBatches;
    return;
  }
  binaryFile = OpenResultsFile(*binaryFileName, true);
  if (binaryFile != nullptr) WriteBinaryResultsHeader(*binaryFile, experiment);
  binaryFileLabel = name;
  *maxBatches = request.maxBatches;
}

int ReportOutput::Output(VelmorSocket* socket, std::ostream* stream, const double* values,
                         int count, RunControl& run) {
  if (count <= 0) return 0;
  const size_t bytes = 8 * static_cast<size_t>(count);
  std::vector<char>& buffer = MessageBuffer(bytes);
  char* out = buffer.data();
  for (int i = 0; i < count; ++i) out = PutDouble(out, values[i]);
  return SendAndWriteOrStop(socket, stream, buffer.data(), static_cast<int>(bytes), run);
}

int ReportOutput::OutputInt(VelmorSocket* socket, std::ostream* stream, int value,
                            RunControl& run) {
  char bytes[4];
  PutInt32(bytes, value);
  return SendAndWriteOrStop(socket, stream, bytes, 4, run);
}

int ReportOutput::OutputShort(VelmorSocket* socket, std::ostream* stream, short value,
                              RunControl& run) {
  char bytes[2];
  PutInt16(bytes, value);
  return SendAndWriteOrStop(socket, stream, bytes, 2, run);
}

int ReportOutput::OutputByte(VelmorSocket* socket, std::ostream* stream, unsigned char value,
                             RunControl& run) {
  char bytes[1];
  PutByte(bytes, value);
  return SendAndWriteOrStop(socket, stream, bytes, 1, run);
}

int ReportOutput::OutputCPUTime(VelmorSocket* socket, double seconds, const ReportContext& context,
                                RunControl& run) {
  char bytes[kCpuTimeMessageSize];
  EncodeCpuTimeMessage(context.clientId, context.experiment, seconds, bytes);
  if (SendAndWriteOrStop(socket, nullptr, bytes, kCpuTimeMessageSize, run) < 0) return -1;
  return 8;  // as Output reports for the one value
}

void ReportOutput::OutputDataBinary(VelmorSocket* socket, std::ostream* stream, DataPacket* first,
                                    DataPacket* second, const ReportContext& context,
                                    RunControl& run) {
  const size_t length = ObservationMessageLength(*first, second);
  std::vector<char>& buffer = MessageBuffer(length);
  EncodeObservationMessage(context.clientId, context.experiment, *first, second, buffer.data());
  // One send for the whole message; the stream gets the same bytes even
  // when the send fails, so the file stays a sequence of whole messages.
  SendAndWriteOrStop(socket, stream, buffer.data(), static_cast<int>(length), run);
  if (stream != nullptr) stream->flush();
}

void ReportOutput::OutputDataCSV(std::ostream* stream, DataPacket* first, DataPacket* second) {
  if (stream == nullptr) return;
  WriteAsciiObservations(*stream, *first, second);
  stream->flush();
}

double ReportOutput::EndianConvertDouble(double value) {
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
