// ProgressDisplay: the runner's progress while a study runs: on a terminal
// a live block of one line per cell, redrawn in place; otherwise a plain
// line every `plainEvery` seconds. Not thread-safe.
#ifndef VELMOR_RUNNER_PROGRESSDISPLAY_H
#define VELMOR_RUNNER_PROGRESSDISPLAY_H

#include <ostream>
#include <vector>

#include "Cell.h"

namespace velmor_runner {

// Points to the cells (they must outlive it) and the stream it writes to.
class ProgressDisplay {
 public:
  ProgressDisplay(const std::vector<Cell>* cells, const StoppingRule& rule, std::ostream* out,
                  bool terminal, double plainEvery = 10.0);
  void Update(double elapsed, bool final);

 private:
  std::string CellLine(const Cell& cell, double rate) const;
  double SecondsLeft(double rate) const;

  const std::vector<Cell>* cells;
  StoppingRule rule;
  std::ostream* out;
  bool terminal;
  double plainEvery;
  double lastPlain = 0.0;
  int linesDrawn = 0;
};

}  // namespace velmor_runner

#endif  // VELMOR_RUNNER_PROGRESSDISPLAY_H
