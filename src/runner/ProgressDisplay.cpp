#include "ProgressDisplay.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace velmor_runner {
namespace {

// value with `decimals` digits after the point.
std::string Format(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

std::string Duration(double seconds) {
  if (!std::isfinite(seconds)) return "?";
  if (seconds < 90) return Format(seconds, 0) + " s";
  return Format(seconds / 60.0, 0) + " min";
}

}  // namespace

ProgressDisplay::ProgressDisplay(const std::vector<Cell>* studyCells, const StoppingRule& stopping,
                                 std::ostream* stream, bool isTerminal, double every)
    : cells(studyCells), rule(stopping), out(stream), terminal(isTerminal), plainEvery(every) {}

// Replications still expected: a running cell needs about n (w / target)^2
// in all for its worst relative half-width w, within its bounds.
double ProgressDisplay::SecondsLeft(double rate) const {
  double left = 0.0;
  for (const Cell& cell : *cells) {
    if (!cell.Running()) continue;
    const double n = static_cast<double>(cell.PooledReplications());
    const double cap = static_cast<double>(rule.fixedReplications > 0 ? rule.fixedReplications
                                                                      : rule.maxReplications);
    double need = cap;
    if (rule.fixedReplications == 0 && rule.target.relative > 0.0 && n > 0.0) {
      const double w = cell.WorstRelHalfWidth();
      need = std::min(
          cap, std::max<double>(rule.minReplications, n * std::pow(w / rule.target.relative, 2)));
    }
    left += std::max(0.0, need - n);
  }
  return rate > 0.0 ? left / rate : INFINITY;
}

std::string ProgressDisplay::CellLine(const Cell& cell, double rate) const {
  std::string line = "experiment " + std::to_string(cell.Experiment());
  if (cell.Point().size() > 0) line += " point " + std::to_string(cell.PointIndex());
  line += ": " + std::to_string(cell.PooledReplications()) + " replications";
  if (cell.PooledReplications() > 1 && rule.fixedReplications == 0) {
    line += ", worst " + Format(100.0 * cell.WorstRelHalfWidth(), 2) + "%";
    if (rule.target.relative > 0.0)
      line += " (target " + Format(100.0 * rule.target.relative, 2) + "%" + ")";
  }
  line += cell.Running() ? "" : ", done";
  (void)rate;
  return line;
}

void ProgressDisplay::Update(double elapsed, bool final) {
  long total = 0, done = 0;
  for (const Cell& cell : *cells) {
    total += cell.PooledReplications();
    done += cell.Running() ? 0 : 1;
  }
  const double rate = elapsed > 0.0 ? static_cast<double>(total) / elapsed : 0.0;
  const std::string summary = std::to_string(total) + " replications in " + Duration(elapsed) +
                              ", " + Format(rate, 0) + " replications/s, " + std::to_string(done) +
                              " of " + std::to_string(cells->size()) + " done" +
                              (final ? "" : ", about " + Duration(SecondsLeft(rate)) + " left");
  if (terminal) {
    std::string block;
    if (linesDrawn > 0) block += "\033[" + std::to_string(linesDrawn) + "F";
    for (const Cell& cell : *cells) block += "\033[K" + CellLine(cell, rate) + "\n";
    block += "\033[K" + summary + "\n";
    *out << block << std::flush;
    linesDrawn = static_cast<int>(cells->size()) + 1;
    return;
  }
  if (final || elapsed - lastPlain >= plainEvery) {
    lastPlain = elapsed;
    *out << "velmor run: " << summary << std::endl;
  }
}

}  // namespace velmor_runner
