#include "RunFolder.h"

#include <time.h>

#include <cstdio>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "ChildProcess.h"
#include "SummaryFiles.h"

namespace fs = std::filesystem;

namespace velmor_runner {
namespace {

// The files and folders a run writes; only these are removed by --force.
bool HoldsRun(const fs::path& dir) { return fs::exists(dir / "manifest.json"); }

void RemovePreviousRun(const fs::path& dir) {
  std::error_code ec;
  fs::remove_all(dir / "blocks", ec);
  for (const auto& entry : fs::directory_iterator(dir, ec)) {
    const std::string name = entry.path().filename().string();
    const std::string ext = entry.path().extension().string();
    if (name == "manifest.json" || name == "summary.csv" || name == "summary.json" ||
        ((ext == ".png" || ext == ".svg" || ext == ".gp" || ext == ".dat") &&
         name.rfind("plot", 0) == 0)) {
      fs::remove(entry.path(), ec);
    }
  }
}

std::string Header256(int experiment) {
  char header[256] = {0};
  std::snprintf(header, sizeof header,
                "VELMOR_SIM_BIN_FILE,%d,VELMOR_VER=%s,FILE_VER=%d,EXPERIMENTS=%d,", 256,
                "Version 2.4", 1, experiment);
  return std::string(header, sizeof header);
}

}  // namespace

bool RunFolder::Open(const std::string& wanted, bool force, std::string* error) {
  std::error_code ec;
  fs::path dir = wanted.empty() ? fs::path("results") : fs::path(wanted);
  moved = false;
  if (fs::exists(dir, ec) && HoldsRun(dir)) {
    if (force) {
      RemovePreviousRun(dir);
    } else {
      std::string base = dir.string();
      while (base.size() > 1 && base.back() == '/') base.pop_back();
      for (int k = 2;; ++k) {
        fs::path next = base + "-" + std::to_string(k);
        if (!fs::exists(next, ec) || !HoldsRun(next)) {
          dir = next;
          moved = true;
          break;
        }
      }
    }
  }
  fs::create_directories(dir / "blocks", ec);
  if (ec || !fs::is_directory(dir / "blocks")) {
    *error = "cannot make the results folder " + dir.string() + ": " + ec.message();
    return false;
  }
  path = dir.string();
  return true;
}

std::string RunFolder::BlockFileName(int experiment, int point, int block) {
  char name[96];
  std::snprintf(name, sizeof name, "blocks/e%d-p%d-b%05d.bin", experiment, point, block);
  return name;
}

bool RunFolder::WriteBlock(const Cell& cell, const BlockData& block, std::string* error) const {
  const std::string file =
      path + "/" + BlockFileName(cell.Experiment(), cell.PointIndex(), block.block);
  return WriteFile(file, Header256(cell.Experiment()) + block.observationBytes, error);
}

bool RunFolder::WriteManifest(const RunDescription& run, const StudyRecord& record,
                              std::string* error) const {
  nlohmann::ordered_json m;
  m["command"] = run.command;
  m["runner_version"] = run.runnerVersion;
  const std::string simName = fs::path(run.simulatorPath).filename().string();
  const bool simSuffix = simName.size() > 4 && simName.compare(simName.size() - 4, 4, "_sim") == 0;
  m["model"] = simSuffix ? simName.substr(0, simName.size() - 4) : simName;
  m["simulator"] = {{"name", simName},
                    {"path", fs::absolute(run.simulatorPath).string()},
                    {"sha256", run.simulatorHash},
                    {"results_version", "Version 2.4"}};
  m["seed"] = run.seed;
  m["generator"] = run.generator;
  m["SIMTEST"] = run.simtestSet ? nlohmann::ordered_json(run.simtest) : nlohmann::ordered_json();
  m["launcher"] = run.launcher;
  m["jobs"] = run.jobs;
  m["block_size"] = run.blockSize;
  if (run.fixedReplications > 0) {
    m["replications"] = run.fixedReplications;
  } else {
    m["target"] = {{"confidence", record.target.confidence},
                   {"rel_precision", record.target.relative},
                   {"abs_precision", record.target.absolute},
                   {"min_replications", run.minReplications},
                   {"max_replications", run.maxReplications}};
  }
  m["confidence"] = record.target.confidence;
  m["ending"] = record.ending;
  m["runner_cpu_seconds"] = run.runnerCpuSeconds;
  m["simulator_cpu_seconds"] = run.simulatorCpuSeconds;
  m["started"] = run.started;
  m["ended"] = run.ended;
  m["variables"] = nlohmann::ordered_json::array();
  for (const RewardVariable& v : record.variables)
    m["variables"].push_back({{"index", v.index}, {"name", v.name}, {"time", v.time}});
  m["swept"] = record.sweptNames;
  m["globals"] = nlohmann::ordered_json::array();
  for (const GlobalVariable& g : record.study->globals)
    m["globals"].push_back({{"name", g.name}, {"type", g.type}});
  m["cells"] = nlohmann::ordered_json::array();
  for (const Cell& cell : *record.cells) {
    nlohmann::ordered_json c;
    c["experiment"] = cell.Experiment();
    c["point"] = cell.PointIndex();
    nlohmann::ordered_json params = nlohmann::ordered_json::object();
    for (size_t g = 0; g < record.study->globals.size(); ++g)
      params[record.study->globals[g].name] = CellValue(*record.study, cell, g);
    c["parameters"] = params;
    c["override"] = OverrideText(cell.Point());
    c["stopped"] = CellStopped(cell, record.ending);
    c["replications"] = cell.PooledReplications();
    c["cpu_seconds"] = cell.CpuSeconds();
    c["blocks"] = nlohmann::ordered_json::array();
    for (const PooledBlock& b : cell.Pooled()) {
      c["blocks"].push_back(
          {{"block", b.block},
           {"seed", b.seed},
           {"replications", b.replications},
           {"cpu_seconds", b.cpuSeconds},
           {"attempts", b.attempts},
           {"node", b.node},
           {"arguments", b.arguments},
           {"file", BlockFileName(cell.Experiment(), cell.PointIndex(), b.block)}});
    }
    m["cells"].push_back(c);
  }
  return WriteFile(path + "/manifest.json", m.dump(1) + "\n", error);
}

std::string FileHash(const std::string& file) {
  std::string out, err;
  if (RunToCompletion({"/usr/bin/sha256sum", file}, &out, &err) != 0) return "";
  return out.substr(0, out.find(' '));
}

std::string UtcNow() {
  time_t now = time(nullptr);
  tm utc{};
  gmtime_r(&now, &utc);
  char text[32];
  strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
  return text;
}

}  // namespace velmor_runner
