#include "StudyRecord.h"

#include <charconv>
#include <cmath>

namespace velmor_runner {

std::string CellValue(const StudyInfo& study, const Cell& cell, size_t g) {
  const GlobalVariable& gv = study.globals[g];
  for (const Setting& s : cell.Point())
    if (s.name == gv.name) return s.value;
  return gv.values[static_cast<size_t>(cell.Experiment())];
}

std::string CellStopped(const Cell& cell, const std::string& ending) {
  switch (cell.State()) {
    case CellState::kReached:
      return "target reached";
    case CellState::kCapped:
      return "max replications";
    case CellState::kFixedDone:
      return "fixed count";
    case CellState::kRunning:
      break;
  }
  return ending;
}

std::string NumberText(double value) {
  if (std::isnan(value)) return "nan";
  if (std::isinf(value)) return value > 0 ? "inf" : "-inf";
  char buffer[64];
  auto r = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, r.ptr);
}

}  // namespace velmor_runner
