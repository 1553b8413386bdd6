#include "ResultsCommand.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <sstream>

#include "Plotter.h"
#include "ResultsReader.h"
#include "RunFolder.h"
#include "SummaryFiles.h"
#include "SummaryTable.h"

namespace velmor_runner {
namespace {

int Fail(const std::string& message) {
  std::cerr << "velmor results: " << message << std::endl;
  return 1;
}

bool ReadWhole(const std::string& path, std::string* bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream s;
  s << in.rdbuf();
  *bytes = s.str();
  return true;
}

CellState StateOf(const std::string& stopped) {
  if (stopped == "target reached") return CellState::kReached;
  if (stopped == "max replications") return CellState::kCapped;
  if (stopped == "fixed count") return CellState::kFixedDone;
  return CellState::kRunning;
}

// The block files of a cell: those the manifest lists, or, for a run that
// ended before it could list them, blocks 0, 1, ... as long as they exist.
std::vector<std::pair<int, std::string>> BlockFiles(const std::string& folder,
                                                    const nlohmann::json& cell) {
  std::vector<std::pair<int, std::string>> files;
  for (const auto& b : cell.at("blocks"))
    files.emplace_back(b.at("block").get<int>(), b.at("file").get<std::string>());
  if (!files.empty()) return files;
  for (int k = 0;; ++k) {
    const std::string name = RunFolder::BlockFileName(cell.at("experiment"), cell.at("point"), k);
    if (!std::filesystem::exists(folder + "/" + name)) break;
    files.emplace_back(k, name);
  }
  return files;
}

}  // namespace

int ShowResults(const std::string& folder, const std::string& format) {
  std::string text, error;
  if (!ReadWhole(folder + "/manifest.json", &text))
    return Fail(folder + " holds no run (no manifest.json)");
  StudyInfo study;
  StudyRecord record;
  std::vector<Cell> cells;
  try {
    const nlohmann::json m = nlohmann::json::parse(text);
    for (const auto& g : m.at("globals")) study.globals.push_back({g.at("name"), g.at("type"), {}});
    for (const auto& v : m.at("variables"))
      record.variables.push_back({v.at("index"), v.at("name"), v.at("time"), false});
    record.sweptNames = m.at("swept").get<std::vector<std::string>>();
    record.ending = m.at("ending").get<std::string>();
    if (record.ending == "running") record.ending = "interrupted";
    StoppingRule rule;
    rule.blockSize = m.at("block_size").get<long>();
    rule.target.confidence = m.at("confidence").get<double>();
    if (m.contains("target")) {
      rule.target.relative = m["target"].at("rel_precision").get<double>();
      rule.target.absolute = m["target"].at("abs_precision").get<double>();
      rule.maxReplications = m["target"].at("max_replications").get<long>();
    } else {
      rule.fixedReplications = m.at("replications").get<long>();
    }
    record.target = rule.target;
    for (const auto& c : m.at("cells")) {
      ParameterPoint point;
      for (const GlobalVariable& g : study.globals)
        point.push_back({g.name, g.type, c.at("parameters").at(g.name)});
      Cell cell(c.at("experiment"), c.at("point"), point, static_cast<int>(record.variables.size()),
                rule, 0);
      std::vector<BlockData> blocks;
      for (const auto& [index, file] : BlockFiles(folder, c)) {
        std::string bytes;
        velmor_results::ResultsData data;
        if (!ReadWhole(folder + "/" + file, &bytes))
          return Fail("cannot read " + folder + "/" + file);
        if (!velmor_results::ParseBinaryResults(bytes, &data, &error))
          return Fail(folder + "/" + file + ": " + error);
        BlockData block;
        block.block = index;
        // Every variable pools as many observations as the one with the
        // fewest (in a steady-state run, shorter batches complete more).
        size_t fewest = 0;
        for (size_t k = 0; k < record.variables.size(); ++k) {
          const size_t n = data.observations[record.variables[k].index].size();
          fewest = k == 0 ? n : std::min(fewest, n);
        }
        for (const RewardVariable& v : record.variables) {
          const std::vector<double>& all = data.observations[v.index];
          block.values.emplace_back(all.begin(), all.begin() + static_cast<long>(fewest));
        }
        block.replications = static_cast<long>(fewest);
        blocks.push_back(block);
      }
      cell.Restore(blocks, StateOf(c.at("stopped")));
      cells.push_back(std::move(cell));
    }
  } catch (const nlohmann::json::exception& e) {
    return Fail(folder + "/manifest.json is damaged: " + e.what());
  }
  // The swept names only: the other globals are the experiments' values.
  ParameterPoint dummy;
  study.experiments = 0;
  for (Cell& cell : cells) study.experiments = std::max(study.experiments, cell.Experiment() + 1);
  for (GlobalVariable& g : study.globals)
    g.values.assign(static_cast<size_t>(study.experiments), "");
  record.study = &study;
  record.cells = &cells;
  if (format == "plots") {
    if (!DrawPlots(record, folder, &error)) return Fail(error);
    std::cout << "plots drawn in " << folder << std::endl;
    return 0;
  }
  if (format == "csv") {
    std::cout << SummaryCsv(record);
  } else if (format == "json") {
    std::cout << SummaryJson(record);
  } else {
    std::cout << SummaryTable(record);
    const std::string notes = TargetNotes(record);
    if (!notes.empty()) std::cout << "\n" << notes;
    if (record.ending != "completed")
      std::cout << "\nthe run " << record.ending
                << ": these are the blocks pooled before it ended\n";
  }
  std::cout << std::flush;
  return 0;
}

void AddResultsCommand(CLI::App& app) {
  auto folder = std::make_shared<std::string>();
  auto format = std::make_shared<std::string>("table");
  CLI::App* cmd = app.add_subcommand(
      "results", "Print the estimates of a finished or interrupted run from its block files");
  cmd->add_option("DIR", *folder, "the run's results folder")->required();
  cmd->add_flag_callback(
      "--csv", [format]() { *format = "csv"; }, "print summary.csv instead of the table");
  cmd->add_flag_callback(
      "--json", [format]() { *format = "json"; }, "print summary.json instead of the table");
  cmd->add_flag_callback(
      "--plots", [format]() { *format = "plots"; }, "draw the run's plots again into DIR");
  cmd->callback([folder, format]() { throw CLI::RuntimeError(ShowResults(*folder, *format)); });
}

}  // namespace velmor_runner
