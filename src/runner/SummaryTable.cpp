#include "SummaryTable.h"

#include <algorithm>
#include <cstdio>

namespace velmor_runner {
namespace {

// v with `digits` significant digits, or `digits` decimals when fixed.
std::string Fixed(double v, int digits, bool fixed) {
  if (v != v) return "nan";
  if (v > 1e300) return "inf";
  if (v < -1e300) return "-inf";
  char text[64];
  if (fixed) {
    std::snprintf(text, sizeof text, "%.*f", digits, v);
  } else {
    std::snprintf(text, sizeof text, "%.*g", digits, v);
  }
  return text;
}

// The global variables whose value is not the same in every cell.
std::vector<size_t> VaryingGlobals(const StudyRecord& r) {
  std::vector<size_t> out;
  for (size_t g = 0; g < r.study->globals.size(); ++g) {
    for (const Cell& cell : *r.cells) {
      if (CellValue(*r.study, cell, g) != CellValue(*r.study, r.cells->front(), g)) {
        out.push_back(g);
        break;
      }
    }
  }
  return out;
}

}  // namespace

std::string SummaryTable(const StudyRecord& r) {
  if (r.cells->empty()) return "";
  const std::vector<size_t> varying = VaryingGlobals(r);
  std::vector<std::vector<std::string>> rows;
  std::vector<std::string> head = {"exp"};
  for (size_t g : varying) head.push_back(r.study->globals[g].name);
  for (const char* c : {"variable", "n", "mean", "ci low", "ci high", "rel hw", "status"})
    head.push_back(c);
  rows.push_back(head);
  for (const Cell& cell : *r.cells) {
    const std::vector<Estimate> estimates = cell.Estimates();
    for (size_t v = 0; v < r.variables.size(); ++v) {
      const Estimate& e = estimates[v];
      std::vector<std::string> row = {std::to_string(cell.Experiment())};
      for (size_t g : varying) row.push_back(CellValue(*r.study, cell, g));
      row.push_back(r.variables[v].name);
      row.push_back(std::to_string(e.count));
      row.push_back(Fixed(e.mean, 6, false));
      row.push_back(Fixed(e.low, 6, false));
      row.push_back(Fixed(e.high, 6, false));
      row.push_back(
          e.status == TargetStatus::kNoEvents ? "-" : Fixed(100.0 * e.relHalfWidth, 2, true) + "%");
      row.push_back(StatusName(e.status));
      rows.push_back(row);
    }
  }
  std::vector<size_t> width(head.size(), 0);
  for (const auto& row : rows)
    for (size_t i = 0; i < row.size(); ++i) width[i] = std::max(width[i], row[i].size());
  // Names and the status are left-aligned, numbers right-aligned.
  const size_t nameColumn = 1 + varying.size();
  std::string out;
  for (const auto& row : rows) {
    std::string line;
    for (size_t i = 0; i < row.size(); ++i) {
      const std::string pad(width[i] - row[i].size(), ' ');
      const bool left = i == nameColumn || i + 1 == row.size();
      line += (i ? "  " : "") + (left ? row[i] + pad : pad + row[i]);
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    out += line + "\n";
  }
  return out;
}

std::string TargetNotes(const StudyRecord& r) {
  std::string out;
  for (const Cell& cell : *r.cells) {
    const std::vector<Estimate> estimates = cell.Estimates();
    for (size_t v = 0; v < r.variables.size(); ++v) {
      const Estimate& e = estimates[v];
      if (e.status == TargetStatus::kNotReached) {
        out += "experiment " + std::to_string(cell.Experiment()) + " point " +
               std::to_string(cell.PointIndex()) + ": " + r.variables[v].name +
               " did not reach the target in " + std::to_string(e.count) + " replications (" +
               Fixed(100.0 * e.relHalfWidth, 2, true) + "%" + " relative half-width)\n";
      } else if (e.status == TargetStatus::kNoEvents) {
        out += "experiment " + std::to_string(cell.Experiment()) + " point " +
               std::to_string(cell.PointIndex()) + ": " + r.variables[v].name +
               " had no events in " + std::to_string(e.count) +
               " replications; its interval is an upper bound (" + Fixed(e.high, 3, false) + ")\n";
      }
    }
  }
  return out;
}

}  // namespace velmor_runner
