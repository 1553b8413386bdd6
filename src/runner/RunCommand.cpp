#include "RunCommand.h"

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cmath>
#include <fstream>
#include <iostream>
#include <memory>
#include <thread>

#include "ChildProcess.h"
#include "Manager.h"
#include "ParameterSweep.h"
#include "Plotter.h"
#include "ProgressDisplay.h"
#include "RunFolder.h"
#include "StudyInfo.h"
#include "SummaryFiles.h"
#include "SummaryTable.h"

#ifndef VELMOR_VERSION
#define VELMOR_VERSION "unknown"
#endif

namespace velmor_runner {
namespace {

// The runner's own arguments after the program name, for the manifest.
std::vector<std::string> CommandLine() {
  std::ifstream in("/proc/self/cmdline", std::ios::binary);
  std::vector<std::string> words;
  std::string word;
  while (std::getline(in, word, '\0')) words.push_back(word);
  if (!words.empty()) words.erase(words.begin());
  return words;
}

// Processor seconds (user + system) of this process and of its reaped
// children.
void CpuTimes(double* self, double* children) {
  auto seconds = [](const rusage& u) {
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           1e-6 * static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec);
  };
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  *self = seconds(u);
  getrusage(RUSAGE_CHILDREN, &u);
  *children = seconds(u);
}

int Fail(const std::string& message) {
  std::cerr << "velmor run: " << message << std::endl;
  return 1;
}

bool IsExecutableFile(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

// A model file is built first, as `velmor build MODEL` does (this program
// runs itself for that); the simulator is the path that build prints last.
bool BuildModel(const std::string& model, std::string* simulator) {
  char self[4096];
  const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  if (n <= 0) return Fail("cannot find this program to build " + model) == 0;
  self[n] = '\0';
  std::cerr << "velmor run: building " << model << std::endl;
  std::string out, err;
  const int status = RunToCompletion({self, "build", model}, &out, &err);
  while (!out.empty() && out.back() == '\n') out.pop_back();
  const size_t lastLine = out.rfind('\n');
  const std::string path = lastLine == std::string::npos ? out : out.substr(lastLine + 1);
  if (status != 0 || !IsExecutableFile(path)) {
    std::cerr << err;
    return Fail(model + ": building the model failed") == 0;
  }
  *simulator = path;
  return true;
}

// Checks the options that need no study; "" when they hold.
std::string CheckOptions(const RunOptions& o) {
  if (!(o.confidence > 0.0 && o.confidence < 1.0)) return "--confidence must lie between 0 and 1";
  if (o.relPrecision < 0.0 || !std::isfinite(o.relPrecision))
    return "--rel-precision must be above 0";
  if (o.absPrecision < 0.0 || !std::isfinite(o.absPrecision))
    return "--abs-precision must be above 0";
  if (o.blockSize < 1) return "--block-size must be at least 1";
  if (o.replications < 0) return "--replications must be at least 1";
  if (o.replications > 0 && (o.relPrecision > 0.0 || o.absPrecision > 0.0))
    return "--replications fixes the count; it does not go with a precision target";
  if (o.maxReplications < 2) return "--max-replications must be at least 2";
  if (o.minReplications > o.maxReplications)
    return "--min-replications must not exceed --max-replications";
  if (o.jobs < 0) return "--jobs must be at least 1";
  if (o.timeout <= 0.0) return "--timeout must be above 0";
  if (GeneratorNumber(o.generator) < 0)
    return "--generator must be lagged-fibonacci, tausworthe or mersenne-twister";
  if (o.launcher != "local" && o.launcher != "slurm") return "--launcher must be local or slurm";
  return "";
}

std::unique_ptr<Launcher> MakeLauncher(const RunOptions& o) {
  if (o.launcher == "slurm")
    return std::make_unique<SlurmLauncher>(o.partition, o.timeLimit, o.slurmArgs);
  return std::make_unique<LocalLauncher>();
}

StoppingRule MakeRule(const RunOptions& o) {
  StoppingRule rule;
  rule.blockSize = o.blockSize;
  rule.fixedReplications = o.replications;
  rule.maxReplications = o.maxReplications;
  rule.minReplications =
      o.minReplications > 0 ? o.minReplications : std::min(o.blockSize, o.maxReplications);
  rule.target.confidence = o.confidence;
  rule.target.relative = o.relPrecision;
  rule.target.absolute = o.absPrecision;
  if (o.replications == 0 && o.relPrecision == 0.0 && o.absPrecision == 0.0)
    rule.target.relative = 0.01;
  return rule;
}

}  // namespace

int RunStudy(const RunOptions& o, const std::vector<std::string>& command) {
  const std::string problem = CheckOptions(o);
  if (!problem.empty()) return Fail(problem);
  if (access(o.target.c_str(), F_OK) != 0) return Fail(o.target + ": no such file");
  std::string simulator = o.target.find('/') == std::string::npos ? "./" + o.target : o.target;
  if (!IsExecutableFile(o.target) && !BuildModel(o.target, &simulator)) return 1;
  StudyInfo study;
  std::string error;
  if (!LoadStudyInfo(simulator, &study, &error)) return Fail(error);
  std::vector<int> experiments;
  if (!ParseExperimentList(o.experiments, study.experiments, &experiments, &error))
    return Fail(error);
  ParameterSweep sweep;
  if (!sweep.Parse(o.sets, study, &error)) return Fail(error);
  for (const ParameterPoint& p : sweep.Points()) {
    if (OverrideText(p).size() > 128)
      return Fail("the override text " + OverrideText(p) +
                  " is longer than the simulator's 128 characters a word");
  }
  StudyRecord record;
  record.study = &study;
  record.variables = o.steadyState ? study.SteadyStateVariables() : study.TerminatingVariables();
  record.sweptNames = sweep.Names();
  if (record.variables.empty() && o.steadyState)
    return Fail("the model has no steady-state reward variable (--steady-state estimates those)");
  if (record.variables.empty())
    return Fail(study.SteadyStateVariables().empty()
                    ? "the model has no reward variable of a terminating run"
                    : "the model has no reward variable of a terminating run; its steady-state "
                      "variables need --steady-state");
  const StoppingRule rule = MakeRule(o);
  record.target = rule.target;

  RunFolder folder;
  if (!folder.Open(o.out, o.force, &error)) return Fail(error);
  if (folder.Moved())
    std::cerr << "velmor run: " << o.out << " holds a previous run; writing to " << folder.Path()
              << std::endl;

  std::vector<Cell> cells;
  for (int e : experiments)
    for (size_t p = 0; p < sweep.Points().size(); ++p)
      cells.emplace_back(e, static_cast<int>(p), sweep.Points()[p],
                         static_cast<int>(record.variables.size()), rule, o.seed);
  record.cells = &cells;

  RunDescription run;
  run.command = command;
  run.simulatorPath = simulator;
  run.simulatorHash = FileHash(simulator);
  run.runnerVersion = VELMOR_VERSION;
  run.seed = o.seed;
  run.generator = o.generator;
  run.launcher = o.launcher;
  const char* simtest = std::getenv("SIMTEST");
  run.simtestSet = simtest != nullptr;
  run.simtest = simtest != nullptr ? simtest : "";
  run.blockSize = rule.blockSize;
  run.fixedReplications = rule.fixedReplications;
  run.minReplications = rule.minReplications;
  run.maxReplications = rule.maxReplications;
  run.jobs =
      o.jobs > 0 ? o.jobs : std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
  run.started = UtcNow();
  record.ending = "running";
  if (!folder.WriteManifest(run, record, &error)) return Fail(error);

  auto launcher = MakeLauncher(o);
  BlockSettings settings;
  settings.simulator = simulator;
  settings.generator = GeneratorNumber(o.generator);
  settings.numVariables = static_cast<int>(study.variables.size());
  for (const RewardVariable& v : record.variables) settings.variables.push_back(v.index);
  settings.timeoutSeconds = o.timeout;
  settings.steadyState = o.steadyState;
  settings.jobs = run.jobs;
  Manager manager(&cells, launcher.get(), settings);
  std::string writeError;
  manager.OnPooled([&](const Cell& cell, const BlockData& block) {
    if (writeError.empty()) folder.WriteBlock(cell, block, &writeError);
  });
  ProgressDisplay progress(&cells, rule, &std::cerr, isatty(2) != 0);
  manager.OnProgress([&](double elapsed, bool final) { progress.Update(elapsed, final); });
  std::cerr << "velmor run: " << cells.size() << " cell(s) of " << simulator << ", " << run.jobs
            << " job(s), " << o.launcher << " launcher, results in " << folder.Path() << std::endl;

  const Outcome outcome = manager.Run();
  record.ending = outcome == Outcome::kCompleted     ? "completed"
                  : outcome == Outcome::kInterrupted ? "interrupted"
                                                     : "failed";
  run.ended = UtcNow();
  CpuTimes(&run.runnerCpuSeconds, &run.simulatorCpuSeconds);
  if (!writeError.empty()) return Fail(writeError);
  if (!WriteFile(folder.Path() + "/summary.csv", SummaryCsv(record), &error) ||
      !WriteFile(folder.Path() + "/summary.json", SummaryJson(record), &error) ||
      !folder.WriteManifest(run, record, &error))
    return Fail(error);
  if (o.plots && outcome != Outcome::kFailed && !DrawPlots(record, folder.Path(), &error))
    std::cerr << "velmor run: no plots: " << error << std::endl;
  std::cout << SummaryTable(record) << std::flush;
  const std::string notes = TargetNotes(record);
  if (!notes.empty()) std::cout << "\n" << notes << std::flush;
  if (outcome == Outcome::kFailed)
    return Fail(manager.FailureMessage() +
                "\nvelmor run: the study stopped; results so far are in " + folder.Path());
  if (outcome == Outcome::kInterrupted) {
    std::cerr << "velmor run: interrupted; results pooled so far are in " << folder.Path()
              << std::endl;
    return 130;
  }
  std::cerr << "velmor run: results in " << folder.Path() << std::endl;
  return 0;
}

void AddRunCommand(CLI::App& app) {
  auto options = std::make_shared<RunOptions>();
  CLI::App* run = app.add_subcommand(
      "run", "Run a study: replications of a simulator's experiments to a precision target");
  run->add_option("SIM", options->target, "simulator executable (or a model file)")->required();
  run->add_option("--experiments", options->experiments,
                  "experiments to run, 0-based as -e: 0,2,5-8 (default: all)");
  run->add_option(
         "--set", options->sets,
         "NAME=VALUE[,VALUE...]: global variable values; several --set sweep their product")
      ->allow_extra_args(false);
  run->add_option("--rel-precision", options->relPrecision,
                  "target half-width over |mean| (default 0.01 when no target or count is given)");
  run->add_option("--abs-precision", options->absPrecision, "target half-width");
  run->add_option("--confidence", options->confidence,
                  "confidence level of the intervals (default 0.95)");
  run->add_option("--min-replications", options->minReplications,
                  "replications before the target is checked (default: one block)");
  run->add_option("--max-replications", options->maxReplications,
                  "replications at most, per experiment and point (default 200000)");
  run->add_option("--replications", options->replications,
                  "a fixed number of replications instead of a target");
  run->add_option(
      "--block-size", options->blockSize,
      "replications per block, each block one simulator run with its own seed (default 2000)");
  run->add_option("--seed", options->seed,
                  "study seed; block seeds derive from it (default 31415)");
  run->add_option("--generator", options->generator,
                  "lagged-fibonacci (default), tausworthe or mersenne-twister");
  run->add_option("--jobs", options->jobs, "simulators at a time (default: every core)");
  run->add_option("--out", options->out,
                  "results folder (default results; a new folder when it holds a run)");
  run->add_flag("--force", options->force, "reuse the results folder, removing its previous run");
  run->add_option("--timeout", options->timeout,
                  "seconds a simulator may stay silent before its block fails (default 60)");
  run->add_option("--launcher", options->launcher, "local (default) or slurm");
  run->add_option("--partition", options->partition, "Slurm partition (default: the cluster's)");
  run->add_option("--time-limit", options->timeLimit,
                  "Slurm time limit of a block, as srun --time");
  run->add_option("--slurm-arg", options->slurmArgs,
                  "an extra argument for srun, as --slurm-arg=--foo (repeatable)")
      ->allow_extra_args(false);
  run->add_flag("!--no-plots", options->plots, "do not draw the plots");
  run->add_flag("--steady-state", options->steadyState,
                "batch means: each block is one steady-state run (-t 0) of that many batches, "
                "and the steady-state variables are estimated");
  run->callback([options]() {
    std::vector<std::string> command = {"velmor"};
    for (const std::string& a : CommandLine()) command.push_back(a);
    const int status = RunStudy(*options, command);
    throw CLI::RuntimeError(status);
  });
}

}  // namespace velmor_runner
