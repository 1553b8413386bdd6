// StudyRecord: everything a finished (or interrupted, or failed) study
// leaves for its results: the study description, the variables, the cells
// and how the run ended. Plain data; not thread-safe.
#ifndef VELMOR_RUNNER_STUDYRECORD_H
#define VELMOR_RUNNER_STUDYRECORD_H

#include <string>
#include <vector>

#include "Cell.h"
#include "StudyInfo.h"

namespace velmor_runner {

// Does not own the cells or the study; they must outlive the record.
struct StudyRecord {
  const StudyInfo* study = nullptr;
  const std::vector<Cell>* cells = nullptr;
  std::vector<RewardVariable> variables;  // the cells' variables, in order
  std::vector<std::string> sweptNames;    // --set names, in order
  std::string ending = "completed";       // "completed", "interrupted", "failed"
  PrecisionTarget target;
};

// The value of global variable g in a cell: the point's when swept, else
// the experiment's.
std::string CellValue(const StudyInfo& study, const Cell& cell, size_t g);

// Why a cell stopped: "target reached", "max replications", "fixed count",
// or the run's ending when it was still running.
std::string CellStopped(const Cell& cell, const std::string& ending);

// A number as the shortest text that reads back as the same double
// ("0.25", "inf", "-inf", "nan").
std::string NumberText(double value);

}  // namespace velmor_runner

#endif  // VELMOR_RUNNER_STUDYRECORD_H
