// SimulatorClass construction, Run and destruction.
#include "simulator/SimulatorClass.h"

#include <cerrno>
#include <cfloat>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <memory>
#include <string>

#include "eventlist/EventList.h"
#include "framework/BaseActionClass.h"
#include "framework/BaseGroupClass.h"
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
  InitializeFields();
  if (ParseCommandLineOptions(argc, argv) != 0) {
    PrintUsage();
    std::cerr << "ERROR: Parsing command line options" << std::endl;
    std::exit(1);
  }
  ValidateExperiment();
  ValidateOverrides();
  OpenResultsFiles();
  CreateTraces();
  CreateStudyAndModel();
  ChoosePerformanceVariables();
  CreateScheduleRecords();
  BuildConnectivityList();
  eventList = new EventList(groupContainer->getNumItems() + 1);
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

// Steps 1 to 3 of construction: every field of the driver at its initial
// value (the components start at theirs).
void SimulatorClass::InitializeFields() {
  batchEndHeap = nullptr;
  batchCountHeap = nullptr;
  startClock = 0.0;
  pvNodes = nullptr;
  allActions = nullptr;
  groupContainer = new List<BaseGroupClass>();
  actionContainer = new List<BaseActionClass>();
  scratchEvent = nullptr;
  nextEventSlot = nullptr;
  nextAction = nullptr;
  lastFiredAction = nullptr;
  noAction = nullptr;
  affectedCursor = nullptr;
  eventList = nullptr;
  scheduleRecords = nullptr;
  groupArray = nullptr;
  enabledGroups = nullptr;
  numEnabledGroups = 0;
  currentTime = 0.0;
  pvModel = nullptr;
  study = nullptr;
  EnsureDistribution();
  numPVs = 0;
  elapsedSeconds = 0.0;
  traceContainer = nullptr;
  velmorTraceFile = nullptr;
  xmlTraceFile = nullptr;
  batchesDone = 0;
  actionsFired = 0;
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
  replacement.reset(new UserDistributions(0, 31415));
  TheDistribution = replacement.get();
}

// -r 1 and -r 2 replace the generator; any other value keeps the one made
// at start-up.
void SimulatorClass::InstallGenerator() {
  if (generatorKind == 1) {
    TheDistribution->SetGenerator(new Tausworthe());
  } else if (generatorKind == 2) {
    TheDistribution->SetGenerator(new MersenneTwister());
  }
}

void SimulatorClass::CreateTraces() {
  traceContainer = new TraceFileContainer();
  if (!velmorTrace && !xmlTrace) return;
  traceContainer->setTraceLevel(traceLevel);
  if (velmorTrace) {
    if (traceFileName != nullptr) {
      velmorTraceFile = new TraceFileVelmor((std::string(traceFileName) + ".txt").c_str());
    } else {
      std::cout << "Adding cout: " << std::endl;
      velmorTraceFile = new TraceFileVelmor(&std::cout);
    }
    velmorTraceFile->setTraceLevel(traceLevel);
    traceContainer->AddTraceFile(velmorTraceFile);
  }
  if (xmlTrace) {
    if (traceFileName != nullptr) {
      xmlTraceFile = new TraceFileXML((std::string(traceFileName) + ".xml").c_str());
    } else {
      xmlTraceFile = new TraceFileXML(&std::cout);
    }
    xmlTraceFile->setTraceLevel(traceLevel);
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
  if (asciiFileName != nullptr) asciiFile = CreateASCIIFile(asciiFileName);
  if (binaryFileName != nullptr) binaryFile = CreateBinFile(binaryFileName);
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
  int* chosen = new int[count > 0 ? count : 1];
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
  scheduleRecords = new ScheduleRecord[count > 0 ? count : 1];
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
