// SimulatorClass construction, Run and destruction.
#include "simulator/SimulatorClass.h"

#include <sys/stat.h>

#include <cerrno>
#include <cfloat>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <iostream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/Allocate.h"
#include "eventlist/EventList.h"
#include "framework/BaseActionClass.h"
#include "framework/BaseGroupClass.h"
#include "output/StopSignal.h"
#include "random/MersenneTwister.h"
#include "random/Tausworthe.h"
#include "random/UserDistributions.h"
#include "reward/PVModel.h"
#include "reward/PerformanceVariableNode.h"
#include "study/BaseStudyClass.h"
#include "trace/TraceFileContainer.h"
#include "trace/TraceFileVelmor.h"
#include "trace/TraceFileXML.h"

int GlobalDebugLevel = 0;

double VelmorProcessorClockMillis() {
  return static_cast<double>(std::clock()) * 1000.0 / CLOCKS_PER_SEC;
}

namespace {

constexpr unsigned long kDefaultSeed = 31415;

// SIMTEST chooses the connectivity-list algorithm: unset or 2 the default,
// 0 or 1 the other one (text that is not a number counts as 0), any other
// value none at all.
long ReadSimTest(bool* isSet) {
  const char* text = std::getenv("SIMTEST");
  *isSet = text != nullptr;
  if (text == nullptr) return 2;
  errno = 0;
  char* end = nullptr;
  long value = std::strtol(text, &end, 10);
  if (end == text) return 0;
  if (errno == ERANGE) return LONG_MAX;  // "any other value"
  return value;
}

}  // namespace

SimulatorClass::SimulatorClass() {
  InitializeFields();
  std::cerr << "ERROR: SimulatorClass needs the command line" << std::endl;
  std::exit(1);
}

SimulatorClass::SimulatorClass(FieldsOnly) { InitializeFields(); }

SimulatorClass::SimulatorClass(int argc, char** argv) {
  InstallSignalHandlers();
  InitializeFields();
  if (ParseCommandLineOptions(argc, argv) != 0) {
    PrintUsage();
    std::cerr << "ERROR: Parsing command line options" << std::endl;
    std::exit(1);
  }
  ValidateExperiment();
  ValidateOverrides();
  RefuseSharedOutputFiles();
  OpenResultsFiles();
  CreateTraces();
  CreateStudyAndModel();
  ChoosePerformanceVariables();
  CreateScheduleRecords();
  BuildConnectivityList();
  eventList = Allocate<EventList>(groupContainer->getNumItems() + 1);
  InstallGenerator();
  CollectActions();
  TheDistribution->GetGenerator()->srnd(seed == 0 ? kDefaultSeed : seed);
  numPVs = pvModel->getNumPVNodes();
  RejectOversizedReports();
}

// A packet holds numPVs rows of reportSize values, indexed by int: a report
// size whose packets could not be indexed is refused before the run.
void SimulatorClass::RejectOversizedReports() {
  if (static_cast<long long>(numPVs) * reportSize <= INT_MAX) return;
  std::cerr << "ERROR: Report size " << reportSize << " is too large for " << numPVs
            << " performance variables\n"
            << std::flush;
  std::exit(1);
}

// Steps 1 to 3 of construction: the fields start at their initializers;
// this makes the two containers and the distributions object.
void SimulatorClass::InitializeFields() {
  groupContainer = Allocate<List<BaseGroupClass>>();
  actionContainer = Allocate<List<BaseActionClass>>();
  EnsureDistribution();
}

// An experiment the study does not have is rejected before anything is
// built or written.
void SimulatorClass::ValidateExperiment() {
  BaseStudyClass* s = GenerateStudy();
  int count = s->GetNumExps();
  if (experiment >= 0 && experiment < count) return;
  std::cerr << "ERROR: Experiment " << experiment << " does not exist; valid experiments are 0 to "
            << count - 1 << "\n"
            << std::flush;
  std::exit(1);
}

// An override the study cannot apply as meant (an unknown name, a letter
// that is not the variable's type, a value that does not convert entirely or
// lies outside the type) would run with other parameters than asked for:
// the run ends before anything is written.
void SimulatorClass::ValidateOverrides() {
  if (overrideString == nullptr || GenerateStudy()->ValidateOverrides(overrideString)) return;
  std::exit(1);
}

// Replaces a missing distributions object (or one without a generator) by
// a fresh one with the default generator and seed.
void SimulatorClass::EnsureDistribution() {
  static std::unique_ptr<UserDistributions> replacement;
  if (TheDistribution != nullptr && TheDistribution->GetGenerator() != nullptr) {
    return;
  }
  replacement.reset(Allocate<UserDistributions>(0, 31415));
  TheDistribution = replacement.get();
}

// -r 1 and -r 2 replace the generator; any other value keeps the one made
// at start-up.
void SimulatorClass::InstallGenerator() {
  if (generatorKind == 1) {
    TheDistribution->SetGenerator(Allocate<Tausworthe>());
  } else if (generatorKind == 2) {
    TheDistribution->SetGenerator(Allocate<MersenneTwister>());
  }
}

namespace {

// Whether two output names are one file: the same text, or names of one
// existing file.
bool SameFile(const std::string& a, const std::string& b) {
  if (a == b) return true;
  struct stat first;
  struct stat second;
  return stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0 &&
         first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

// Opens a trace file's stream check: a trace that cannot be opened ends the
// run before it starts, as a results file does.
void ExitUnlessTraceOpen(const TraceFile* trace, const std::string& name, int error) {
  if (trace->IsWritable()) return;
  std::cerr << "ERROR: Unable to open trace file '" << name
            << "': " << (error != 0 ? std::strerror(error) : "unknown error") << std::endl;
  std::exit(1);
}

}  // namespace

// Two outputs written to one file would interleave and corrupt each other:
// -a, -b and the trace files must all be different files.
void SimulatorClass::RefuseSharedOutputFiles() {
  std::vector<std::pair<std::string, std::string>> outputs;  // (option, file)
  if (asciiFileName != nullptr) outputs.emplace_back("-a", asciiFileName);
  if (binaryFileName != nullptr) outputs.emplace_back("-b", binaryFileName);
  if (traceFileName != nullptr && velmorTrace) {
    outputs.emplace_back("the plain-text trace", std::string(traceFileName) + ".txt");
  }
  if (traceFileName != nullptr && xmlTrace) {
    outputs.emplace_back("the XML trace", std::string(traceFileName) + ".xml");
  }
  for (size_t i = 0; i < outputs.size(); ++i) {
    for (size_t j = i + 1; j < outputs.size(); ++j) {
      if (!SameFile(outputs[i].second, outputs[j].second)) continue;
      std::cerr << "ERROR: " << outputs[i].first << " and " << outputs[j].first
                << " name the same file '" << outputs[j].second
                << "'; each output needs a file of its own" << std::endl;
      std::exit(1);
    }
  }
}

// A trace writer of class W on <traceFileName><suffix>, or on standard
// output (announced by coutLine when given) without a file name; at the
// trace level.
template <class W>
W* SimulatorClass::CreateTraceFile(const char* suffix, const char* coutLine) {
  W* writer = nullptr;
  if (traceFileName != nullptr) {
    const std::string name = std::string(traceFileName) + suffix;
    errno = 0;
    writer = Allocate<W>(name.c_str());
    ExitUnlessTraceOpen(writer, name, errno);
  } else {
    if (coutLine != nullptr) std::cout << coutLine << std::endl;
    writer = Allocate<W>(&std::cout);
  }
  writer->setTraceLevel(traceLevel);
  return writer;
}

void SimulatorClass::CreateTraces() {
  traceContainer = Allocate<TraceFileContainer>();
  if (!velmorTrace && !xmlTrace) return;
  traceContainer->setTraceLevel(traceLevel);
  traceFirings = traceLevel >= tracelevel::kFirings;
  if (velmorTrace) {
    velmorTraceFile = CreateTraceFile<TraceFileVelmor>(".txt", "Adding cout: ");
    traceContainer->AddTraceFile(velmorTraceFile);
  }
  if (xmlTrace) {
    xmlTraceFile = CreateTraceFile<TraceFileXML>(".xml", nullptr);
    traceContainer->AddTraceFile(xmlTraceFile);
  }
}

void SimulatorClass::ReleaseTraces() {
  delete traceContainer;
  traceContainer = nullptr;
  delete velmorTraceFile;
  velmorTraceFile = nullptr;
  delete xmlTraceFile;
  xmlTraceFile = nullptr;
}

void SimulatorClass::OpenResultsFiles() {
  if (asciiFileName != nullptr) {
    asciiFile = CreateASCIIFile(asciiFileName);
    asciiFileLabel = asciiFileName;
  }
  if (binaryFileName != nullptr) {
    binaryFile = CreateBinFile(binaryFileName);
    binaryFileLabel = binaryFileName;
  }
}

void SimulatorClass::CreateStudyAndModel() {
  study = GenerateStudy();
  study->SetGVs(experiment);
  if (overrideString != nullptr) {
    study->overrideGVs(overrideString);
    std::cout << "Overriding global variables in simulator" << std::endl;
  }
  pvModel = study->GetPVModel(true);
  if (velmorTrace || xmlTrace) traceContainer->addPVModel(pvModel);
  traceContainer->printHeader();
}

// Only the variables of this kind of run are considered; the others never
// complete (their stop time becomes the largest finite double).
void SimulatorClass::ChoosePerformanceVariables() {
  int count = pvModel->getNumPVNodes();
  pvNodes = pvModel->getPVNodes();
  int wanted = isTerminating == 0 ? 1 : 0;
  int* chosen = AllocateArray<int>(count);
  int numChosen = 0;
  for (int i = 0; i < count; ++i) {
    if (pvNodes[i]->SteadyState == wanted) {
      chosen[numChosen++] = i;
    } else {
      pvNodes[i]->StopTime = DBL_MAX;
    }
  }
  pvModel->ConsiderOnly(chosen, numChosen);
  delete[] chosen;
}

void SimulatorClass::CreateScheduleRecords() {
  pvModel->listGroups(groupContainer);
  groupArray = groupContainer->getList();
  int count = groupContainer->getNumItems();
  scheduleRecords = AllocateArray<ScheduleRecord>(count);
  for (int i = 0; i < count; ++i) groupArray[i]->setScheduleRecord(&scheduleRecords[i]);
  CreateReactivationPool(count);
}

void SimulatorClass::BuildConnectivityList() {
  double before = VelmorProcessorClockMillis();
  bool isSet = false;
  long mode = ReadSimTest(&isSet);
  short result = 0;
  if (mode == 2) {
    std::cout << "GenerateConnectivityList()" << std::endl;
    result = GenerateConnectivityList();
  } else if (mode == 0 || mode == 1) {
    std::cout << "GenerateConnectivityListOld()" << std::endl;
    result = GenerateConnectivityListOld();
  }
  // A node that could not be allocated leaves the lists incomplete: the run
  // would fire far fewer actions and still report plausible numbers.
  if (result != 0) {
    std::cerr << "Error Generating Connectivity List\n" << std::flush;
    std::exit(1);
  }
  double after = VelmorProcessorClockMillis();
  std::cout << "GenerateConnectivityList() Time=" << (after - before) / 1000.0 << std::endl;
}

void SimulatorClass::CollectActions() {
  pvModel->listActions(actionContainer);
  allActions = actionContainer->getList();
  for (int i = 0; i < actionContainer->getNumItems(); ++i) {
    allActions[i]->reactivation = false;
  }
}

// Exhausted memory ends the run through the memory report; a closed standard
// output or manager pipe must not kill the process (writes then fail and are
// ignored); SIGINT and SIGTERM let the loops end the run cleanly at the next
// replication or step, and the wait for a manager at once.
void SimulatorClass::InstallSignalHandlers() {
  InstallMemoryExhaustionHandler();
  InstallStopSignalHandlers();
}

int SimulatorClass::PendingStopSignal() { return StopSignalReceived(); }

void SimulatorClass::Run() {
  if (waitForSocket) {
    simMgrSocket = WaitForSimMgrConnection(60000);
    if (simMgrSocket == nullptr) StopRun();  // no manager: nothing to report to
  }
  if (isTerminating != 0) {
    TerminatingSimulation();
  } else {
    SteadyStateSimulation();
  }
  // Reports still held when the manager stopped the run go to the files.
  WriteHeldReportsToFiles(Reports(), *this);
  if (PendingStopSignal() != 0 && exitStatus == 0) exitStatus = 128 + PendingStopSignal();
  traceContainer->printFooter();
  std::cout << "Actions fired: " << actionsFired << std::endl;
  std::cout << "CPU time (s): " << (VelmorProcessorClockMillis() - startClock) / 1000.0
            << std::endl;
}

SimulatorClass::~SimulatorClass() {
  delete groupContainer;
  delete actionContainer;
  delete eventList;
  delete[] scheduleRecords;
  ReleaseManagerLink();
  ReleaseTraces();
  ReleaseOutputSide();
  delete[] enabledGroups;
  if (pvModel != nullptr) DestructConnectivityList();
  if (study != nullptr) DestructStudy();
  delete batchEndHeap;
  delete batchCountHeap;
  delete scratchEvent;
  delete noAction;
}
