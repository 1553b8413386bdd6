// SimulatorClass: the one driver object of a simulator process: options,
// study and reward model, future-event list, the firing step, the two
// simulation loops, traces, the output side and the manager link (the last
// two, the options and the reactivation list as components). Simulation
// thread only.
#ifndef VELMOR_SIMULATOR_SIMULATORCLASS_H
#define VELMOR_SIMULATOR_SIMULATORCLASS_H

#include <cstdint>
#include <fstream>
#include <iosfwd>
#include <string>

#include "eventlist/Heap.h"
#include "eventlist/ReactivationList.h"
#include "framework/ScheduleRecord.h"
#include "output/ManagerLink.h"
#include "output/ReportOutput.h"
#include "output/RunControl.h"
#include "simulator/CommandLine.h"

class BaseActionClass;
class BaseGroupClass;
class BaseStudyClass;
class DataPacket;
class Event;
class EventList;
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
// releases everything (destructor). A facade: the options, the run state,
// the reactivation list, the output side and the manager link are
// components it inherits publicly, so that each of their fields keeps its
// name in this class's field table; the members below that belong to a
// component forward to it with what it needs from the others.
// Owns (itself): both heaps, the two containers, the scratch event, the
// placeholder action, the event list, the schedule records, the enabled
// group array and the trace container and writers; (through the
// components) the option texts, the reactivation nodes, the packet queues,
// the packets, the results streams and the sockets. Points to (does not
// own): the study (released by DestructStudy), the reward model (owned by
// the study) and the model's actions and groups.
// Invariants while a run is in progress:
//  - a group has an event in eventList exactly when its record's eventSlot
//    is set;
//  - a group is in reactivationList exactly when its record's
//    notInReactivationList is false, and then reactivationNode is its node;
//  - runState only grows: 0 running, 1 finishing, 2 stopped.
// The fields are public: the tests read and write them by these names.
class SimulatorClass : public CommandLineOptions,
                       public RunControl,
                       public ReactivationList,
                       public ReportOutput,
                       public ManagerLink {
 public:
  // Builds only the initial field values of the field table (each field's
  // initializer) and the two containers (no option parsing, no model); for
  // tests of single steps.
  struct FieldsOnly {};

  SimulatorClass(int argc, char** argv);
  explicit SimulatorClass(FieldsOnly);
  // Not for use: terminates the process with status 1.
  SimulatorClass();
  ~SimulatorClass();
  SimulatorClass(const SimulatorClass&) = delete;  // owns raw arrays
  SimulatorClass& operator=(const SimulatorClass&) = delete;

  // ---- Command line (CommandLineOptions) ------------------------------------
  // ParseCommandLineOptions and PrintUsage.

  // ---- Construction and run -----------------------------------------------
  void Run();

  // ---- Connectivity list and firing step ----------------------------------
  short GenerateConnectivityList();
  short GenerateConnectivityListOld();
  // 0. A node that cannot be allocated ends the run ("Error Generating
  // Connectivity List", status 1); AddActionAffectsOld also answers 0 when
  // the group is already in the list.
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
  // Stops the run when simulated time has not advanced over many checks.
  void CheckTimeAdvances();
  // SimStep's firing of nextAction with its trace records around it (the
  // firing, the case chosen and, by trace level, the values read and
  // changed and the whole state); draws exactly what the untraced firing
  // draws, so the sample path is the same.
  void FireTraced();
  // At tracelevel::kChanges or more, the initial-state record of a
  // replication (or of the steady-state run); nothing otherwise.
  void TraceInitialState();
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

  // ---- Output side (ReportOutput) -------------------------------------------
  // Also inherited: CreatePacketQueues, ResetDataPacketBuffer,
  // ReleaseOutputSide, OutputDataCSV, EndianConvertDouble.
  DataPacket* CreateDataPacket(int variableCount);
  // Listens to the manager (when linked), then queues the report.
  int CheckReportSize(double elapsed);
  int OutputThreadFunc();
  static void* StaticOutputThreadFunc(void* simulator);
  int Output(VelmorSocket* socket, std::ostream* stream, const double* values, int count);
  int OutputInt(VelmorSocket* socket, std::ostream* stream, int value);
  int OutputShort(VelmorSocket* socket, std::ostream* stream, short value);
  int OutputByte(VelmorSocket* socket, std::ostream* stream, unsigned char value);
  int OutputCPUTime(VelmorSocket* socket, double seconds);
  void OutputDataBinary(VelmorSocket* socket, std::ostream* stream, DataPacket* first,
                        DataPacket* second);
  std::ofstream* CreateASCIIFile(const char* name);
  std::ofstream* CreateBinFile(const char* name);

  // ---- Manager link (ManagerLink) -------------------------------------------
  // Also inherited: ReleaseManagerLink.
  static void* StaticSocketThreadFunc(void* simulator);
  int SocketThreadFunc();
  VelmorSocket* WaitForSimMgrConnection(int timeoutMillis);
  int ListenToSimMgr(VelmorSocket* socket);
  int ListenToSimMgrLoop(VelmorSocket* socket);

  // ---- Fields of the driver, in declaration order ---------------------------
  // (The components hold the others: CommandLineOptions the options,
  // RunControl runState, ReactivationList the list, ReportOutput the packets,
  // queues and results streams, ManagerLink the sockets and poll times.)
  Heap<double>* batchEndHeap = nullptr;  // steady state: next boundary per PV
  Heap<int>* batchCountHeap = nullptr;   // steady state: batches done per PV
  double startClock = 0.0;               // processor clock (ms) at simulation start
  PerformanceVariableNode** pvNodes = nullptr;
  BaseActionClass** allActions = nullptr;
  List<BaseGroupClass>* groupContainer = nullptr;
  List<BaseActionClass>* actionContainer = nullptr;
  Event* scratchEvent = nullptr;
  Event** nextEventSlot = nullptr;
  BaseActionClass* nextAction = nullptr;
  BaseActionClass* lastFiredAction = nullptr;
  BaseActionClass* noAction = nullptr;    // stands as last fired before a firing
  AffectsNode* affectedCursor = nullptr;  // walk position in an affects list
  EventList* eventList = nullptr;
  ScheduleRecord* scheduleRecords = nullptr;  // one per group, in group order
  BaseGroupClass** groupArray = nullptr;
  BaseGroupClass** enabledGroups = nullptr;  // enabled in the initial state
  int numEnabledGroups = 0;
  double currentTime = 0.0;
  PVModel* pvModel = nullptr;
  BaseStudyClass* study = nullptr;
  int numPVs = 0;
  double elapsedSeconds = 0.0;
  TraceFileContainer* traceContainer = nullptr;
  TraceFileVelmor* velmorTraceFile = nullptr;
  TraceFileXML* xmlTraceFile = nullptr;
  // Whether a trace is enabled at tracelevel::kFirings or more: SimStep
  // then fires through FireTraced. Set once, by the constructor.
  bool traceFirings = false;
  int64_t batchesDone = 0;   // 64 bits: a run without -N can go past 2^31
  int64_t actionsFired = 0;  // 64 bits: 2^31 firings take minutes
  // Simulated time at the last periodic check, and how many checks in a row
  // found it unchanged; reset when a replication or run starts.
  double timeAtLastCheck = -1.0;
  int stalledChecks = 0;

  // The SIGINT or SIGTERM that asked the run to end, or 0.
  static int PendingStopSignal();

 private:
  // Applies the manager's redirect to the results files and the batch limit.
  class Redirect : public RedirectHandler {
   public:
    explicit Redirect(SimulatorClass* simulator) : sim(simulator) {}
    void ApplyRedirect(const RedirectRequest& request) override;

   private:
    SimulatorClass* sim;
  };

  // What the output side needs of the run, as it stands now.
  ReportContext Reports() const;
  void InitializeFields();
  void EnsureDistribution();
  void ReleaseTraces();
  void OpenResultsFiles();
  void CreateTraces();
  template <class W>
  W* CreateTraceFile(const char* suffix, const char* coutLine);
  void CreateStudyAndModel();
  void ValidateExperiment();
  void InstallSignalHandlers();
  void RefuseSharedOutputFiles();
  void ValidateOverrides();
  void RejectOversizedReports();
  void ChoosePerformanceVariables();
  void CreateScheduleRecords();
  void BuildConnectivityList();
  void InstallGenerator();
  void CollectActions();
  char* BeginLoop();
  void EndLoop(char* savedState);
  void RunReplication();
  void StoreReplication(int k);
  void ReportReplications(int count);
  int CreateBatchHeaps();
  void TakeFirstEvent(int numSteadyState);
  void ScheduleGroup(BaseActionClass* group);

  Redirect redirect{this};
};

// The processor clock in ticks of 1000 per second.
double VelmorProcessorClockMillis();

// The process-wide debug level; above 3 the terminating loop prints the
// saved initial state.
extern int GlobalDebugLevel;

#endif  // VELMOR_SIMULATOR_SIMULATORCLASS_H
