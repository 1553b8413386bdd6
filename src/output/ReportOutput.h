// ReportOutput: the output side of a run: the packets of the report being
// filled, the queues of held and free packets, the rule that decides when
// held reports are written, and the writing of reports to the results files
// and the manager link. Simulation thread only.
#ifndef VELMOR_OUTPUT_REPORTOUTPUT_H
#define VELMOR_OUTPUT_REPORTOUTPUT_H

#include <fstream>
#include <iosfwd>
#include <string>

class DataPacket;
class PacketQueue;
class RunControl;
class VelmorSocket;
struct RedirectRequest;

// What every report carries and where it goes besides the files: given by
// the caller on each call, so the output side holds none of the run's
// options.
struct ReportContext {
  int clientId = 0;
  int experiment = 0;
  int reportSize = 1000;           // observations per packet row
  int numPVs = 0;                  // rows of a packet
  double elapsedSeconds = 0.0;     // processor time of the run so far
  VelmorSocket* socket = nullptr;  // the manager link, or null
};

// Owns: both packet queues and every packet in them, firstPacket and
// secondPacket (the report being filled: values and squared values), and
// the two results streams.
// Invariants: pendingPackets holds whole reports (first, second) in order;
// a report is held only while pendingPackets has room for the next one, so
// neither queue ever overflows.
class ReportOutput {
 public:
  // After this many output steps, reports are held while the processor
  // time per output step stays below kMinSecondsPerOutput.
  static constexpr int kReportsAlwaysWritten = 10;
  static constexpr double kMinSecondsPerOutput = 0.2;

  ReportOutput();                              // CreatePacketQueues
  ~ReportOutput();                             // ReleaseOutputSide
  ReportOutput(const ReportOutput&) = delete;  // owns the packets
  ReportOutput& operator=(const ReportOutput&) = delete;

  // The report-holding rule: whether the report just queued (output step
  // `counter`, `elapsed` seconds into the run) waits in the queue, given
  // how many packets are held and whether the run is finishing.
  static bool HoldsReport(int counter, double elapsed, int held, int capacity, bool finishing);

  // Makes freePackets and pendingPackets of queueCapacity.
  void CreatePacketQueues();
  // A packet for variableCount variables of context.reportSize values.
  DataPacket* CreateDataPacket(int variableCount, const ReportContext& context);
  // Queues the current report, takes fresh packets and, unless the rule
  // holds the report, writes everything queued. Returns 1 when written,
  // 0 when held.
  int QueueReport(double elapsed, const ReportContext& context, RunControl& run);
  // Writes every queued report; a finishing run stops once all is written.
  int OutputThreadFunc(const ReportContext& context, RunControl& run);
  // Moves every held packet back to the free queue, unwritten.
  void ResetDataPacketBuffer();
  // Writes the held reports to the results files only (the link is gone or
  // was told to stop): a stopped run keeps every completed replication.
  void WriteHeldReportsToFiles(const ReportContext& context, RunControl& run);
  // Whether stream (named name) took everything written to it; the first
  // failure is reported ("ERROR: Unable to write results file ..."), stops
  // the run and makes its exit status 1.
  bool CheckWritten(std::ofstream* stream, const std::string& name, RunControl& run);
  // Releases, in this order, the results streams, every packet of
  // pendingPackets and that queue, every packet of freePackets and that
  // queue, firstPacket and secondPacket.
  void ReleaseOutputSide();

  // Opens a results file and writes its header; ends the process with
  // status 1 (after the open error) when it cannot be opened.
  static std::ofstream* CreateASCIIFile(const char* name, int experiment);
  static std::ofstream* CreateBinFile(const char* name, int experiment);
  // The manager's redirect: when no binary file is named yet and the
  // request names one, it becomes *binaryFileName (a new[] copy), is opened
  // as binaryFile (reported and skipped when it cannot be opened) and its
  // batch limit becomes *maxBatches.
  void TakeRedirect(const RedirectRequest& request, int experiment, char** binaryFileName,
                    int* maxBatches);

  // The byte-writing primitives: big-endian values sent to socket and
  // written to stream (either may be null). A failed send stops the run;
  // the stream still gets the bytes. They return the bytes written, or -1.
  static int Output(VelmorSocket* socket, std::ostream* stream, const double* values, int count,
                    RunControl& run);
  static int OutputInt(VelmorSocket* socket, std::ostream* stream, int value, RunControl& run);
  static int OutputShort(VelmorSocket* socket, std::ostream* stream, short value, RunControl& run);
  static int OutputByte(VelmorSocket* socket, std::ostream* stream, unsigned char value,
                        RunControl& run);
  // The processor-time message (manager only); 8 on success, else -1.
  static int OutputCPUTime(VelmorSocket* socket, double seconds, const ReportContext& context,
                           RunControl& run);
  static void OutputDataBinary(VelmorSocket* socket, std::ostream* stream, DataPacket* first,
                               DataPacket* second, const ReportContext& context, RunControl& run);
  static void OutputDataCSV(std::ostream* stream, DataPacket* first, DataPacket* second);
  static double EndianConvertDouble(double value);

  PacketQueue* freePackets = nullptr;
  PacketQueue* pendingPackets = nullptr;
  DataPacket* firstPacket = nullptr;
  DataPacket* secondPacket = nullptr;
  int queueCapacity = 50;
  int reportCounter = 1;
  std::ofstream* asciiFile = nullptr;
  std::ofstream* binaryFile = nullptr;
  std::string asciiFileLabel;   // the names the files were opened under
  std::string binaryFileLabel;  // (for the write-failure report)
  bool writeFailed = false;     // a results file failed; reported once
};

#endif  // VELMOR_OUTPUT_REPORTOUTPUT_H
