// SimulatorClass: the one driver object of a simulator process: options,
// study and reward model, future-event list, the firing step, the two
// simulation loops, traces and the output side. Simulation thread only.
#ifndef VELMOR_SIMULATOR_SIMULATORCLASS_H
#define VELMOR_SIMULATOR_SIMULATORCLASS_H

#include <cstdint>
#include <fstream>
#include <iosfwd>
#include <string>

#include "framework/ScheduleRecord.h"
#include "simulator/Heap.h"

class BaseActionClass;
class BaseGroupClass;
class BaseStudyClass;
class DataPacket;
class Event;
class EventList;
class PacketQueue;
class PerformanceVariableNode;
class PVModel;
class TraceFileContainer;
class TraceFileVelmor;
class TraceFileXML;
class VelmorSocket;
struct AffectsNode;
template <class T>
class List;

// Builds one run from the command line (constructor), performs it (Run) and
// releases everything (destructor).
// Owns: the option texts, both heaps, the two containers, the scratch event,
// the placeholder action, the event list, the schedule records, the enabled
// group array, the reactivation list and its node pool, the packet queues,
// the packets, the sockets, the results streams and the trace container and
// writers. Points to (does not own): the study (released by DestructStudy),
// the reward model (owned by the study) and the model's actions and groups.
// Invariants while a run is in progress:
//  - a group has an event in eventList exactly when its record's eventSlot
//    is set;
//  - a group is in reactivationList exactly when its record's
//    notInReactivationList is false, and then reactivationNode is its node;
//  - runState only grows: 0 running, 1 finishing, 2 stopped.
// The fields are public: the output side, the manager link and the tests
// read and write them by these names.
class SimulatorClass {
 public:
  // Builds only the initial field values of the field table and the two
  // containers (no option parsing, no model); for tests of single steps.
  struct FieldsOnly {};

  SimulatorClass(int argc, char** argv);
  explicit SimulatorClass(FieldsOnly);
  // Not for use: terminates the process with status 1.
  SimulatorClass();
  ~SimulatorClass();
  SimulatorClass(const SimulatorClass&) = delete;  // owns raw arrays
  SimulatorClass& operator=(const SimulatorClass&) = delete;

  // ---- Command line -------------------------------------------------------
  // 0 on success; 1 after printing the error on standard error.
  short ParseCommandLineOptions(int argc, char** argv);
  void PrintUsage();

  // ---- Construction and run -----------------------------------------------
  void Run();

  // ---- Connectivity list and firing step ----------------------------------
  short GenerateConnectivityList();
  short GenerateConnectivityListOld();
  // 1 when the node cannot be allocated, else 0.
  int AddActionAffects(BaseActionClass* group, BaseActionClass* action);
  int AddActionAffectsOld(BaseActionClass* group, BaseActionClass* action);
  void ClearActionAffectsList(BaseActionClass* action);
  void DestructConnectivityList();
  void PrintConnectivityList(std::ostream* out);
  short GenerateInitialEnabledList();
  short GenerateCompleteEventList();
  short GenerateCompleteEventListSS();
  // REQUIRES: nextEventSlot, nextAction and currentTime describe the
  // earliest event. Returns true when another event is pending afterwards.
  bool SimStep();
  bool SimStepSS();
  void CheckReactivationList();
  void RemoveAffectedActions();
  void InsertAffectedActions();
  // REQUIRES: message contains "INVALID_DIST_PARAMS:". Exits with status 1.
  void HandleInvalidDistParams(BaseActionClass* action, std::string message);

  // ---- Simulation loops ----------------------------------------------------
  void TerminatingSimulation();
  void SteadyStateSimulation();
  void CheckCompletedBatches(PerformanceVariableNode** nodes, int* firstCounts, int* secondCounts);
  // Hands the current packets to the output side; 0 and no effect when
  // runState is 2.
  int SendSSResults(int* firstCounts, int* secondCounts);

  // ---- Output side and manager link (defined in SimulatorOutput.cpp /
  // SimMgrLink.cpp) ----------------------------------------------------------
  DataPacket* CreateDataPacket(int variableCount);
  int CheckReportSize(double elapsed);
  int OutputThreadFunc();
  void ResetDataPacketBuffer();
  static void* StaticSocketThreadFunc(void* simulator);
  int SocketThreadFunc();
  static void* StaticOutputThreadFunc(void* simulator);
  VelmorSocket* WaitForSimMgrConnection(int timeoutMillis);
  int ListenToSimMgr(VelmorSocket* socket);
  int ListenToSimMgrLoop(VelmorSocket* socket);
  int Output(VelmorSocket* socket, std::ostream* stream, const double* values, int count);
  int OutputInt(VelmorSocket* socket, std::ostream* stream, int value);
  int OutputShort(VelmorSocket* socket, std::ostream* stream, short value);
  int OutputByte(VelmorSocket* socket, std::ostream* stream, unsigned char value);
  int OutputCPUTime(VelmorSocket* socket, double seconds);
  void OutputDataBinary(VelmorSocket* socket, std::ostream* stream, DataPacket* first,
                        DataPacket* second);
  void OutputDataCSV(std::ostream* stream, DataPacket* first, DataPacket* second);
  static double EndianConvertDouble(double value);
  std::ofstream* CreateASCIIFile(const char* name);
  std::ofstream* CreateBinFile(const char* name);
  // Makes freePackets and pendingPackets (construction step 3).
  void CreatePacketQueues();
  // Releases, in this order, the results streams, every packet of
  // pendingPackets and that queue, every packet of freePackets and that
  // queue, firstPacket and secondPacket.
  void ReleaseOutputSide();
  // Releases simMgrSocket and listenSocket.
  void ReleaseManagerLink();

  // ---- Fields, in declaration order ----------------------------------------
  char* overrideString;        // -O text, or null
  Heap<double>* batchEndHeap;  // steady state: next boundary per PV
  Heap<int>* batchCountHeap;   // steady state: batches done per PV
  double startClock;           // processor clock (ms) at simulation start
  PerformanceVariableNode** pvNodes;
  BaseActionClass** allActions;
  List<BaseGroupClass>* groupContainer;
  List<BaseActionClass>* actionContainer;
  Event* scratchEvent;
  Event** nextEventSlot;
  BaseActionClass* nextAction;
  BaseActionClass* lastFiredAction;
  BaseActionClass* noAction;    // stands as last fired before a firing
  AffectsNode* affectedCursor;  // walk position in an affects list
  EventList* eventList;
  ScheduleRecord* scheduleRecords;  // one per group, in group order
  BaseGroupClass** groupArray;
  BaseGroupClass** enabledGroups;       // enabled in the initial state
  ReactivationNode* reactivationList;   // head; new entries go to the front
  ReactivationNode* reactivationPool;   // free nodes, one per group
  ReactivationNode* reactivationNodes;  // storage behind the pool
  int numEnabledGroups;
  int runState;  // 0 running, 1 finishing, 2 stopped
  double currentTime;
  PVModel* pvModel;
  BaseStudyClass* study;
  PacketQueue* freePackets;
  PacketQueue* pendingPackets;
  DataPacket* firstPacket;
  DataPacket* secondPacket;
  int queueCapacity;
  int reportCounter;
  VelmorSocket* simMgrSocket;
  VelmorSocket* listenSocket;
  int acceptPollMillis;
  int listenPollMillis;
  std::ofstream* asciiFile;
  std::ofstream* binaryFile;
  int reportSize;       // -n
  unsigned short port;  // -p, truncated to 16 bits
  int clientId;         // -c
  int experiment;       // -e
  int numPVs;
  double elapsedSeconds;
  int isTerminating;    // -t
  char* traceFileName;  // -f
  int traceLevel;       // -l
  bool velmorTrace;     // -m
  bool xmlTrace;        // -x
  TraceFileContainer* traceContainer;
  TraceFileVelmor* velmorTraceFile;
  TraceFileXML* xmlTraceFile;
  int generatorKind;     // -r
  uint32_t seed;         // -s
  int maxBatches;        // -N; 0 means no limit
  int64_t batchesDone;   // 64 bits: a run without -N can go past 2^31
  char* asciiFileName;   // -a
  char* binaryFileName;  // -b
  bool waitForSocket;    // -w
  int64_t actionsFired;  // 64 bits: 2^31 firings take minutes

 private:
  bool ApplyOption(const char* word, const char* parameter, bool* traceRequested);
  bool ApplyTextOption(char letter, const char* parameter, bool* traceRequested);
  bool ApplyFlagOption(char letter, const char* parameter);
  bool ApplyNumberOption(char letter, const char* parameter, bool* traceRequested);
  void InitializeFields();
  void EnsureDistribution();
  void ReleaseTraces();
  void OpenResultsFiles();
  void CreateTraces();
  void CreateStudyAndModel();
  void ValidateExperiment();
  void RejectOversizedReports();
  void ChoosePerformanceVariables();
  void CreateScheduleRecords();
  void BuildConnectivityList();
  void InstallGenerator();
  void CollectActions();
  void ClearReactivationList();
  void RunReplication();
  int CreateBatchHeaps();
  void PushReactivation(BaseActionClass* group);
  void UnlinkReactivation(ReactivationNode* node);
  void ScheduleGroup(BaseActionClass* group);
};

// The processor clock in ticks of 1000 per second.
double VelmorProcessorClockMillis();

// The process-wide debug level; above 3 the terminating loop prints the
// saved initial state.
extern int GlobalDebugLevel;

#endif  // VELMOR_SIMULATOR_SIMULATORCLASS_H
