// SummaryTable: the table of estimates printed at the end of a run and by
// `velmor results`: one row per experiment, parameter point and variable,
// with the global variables that differ between the rows. Not thread-safe.
#ifndef VELMOR_RUNNER_SUMMARYTABLE_H
#define VELMOR_RUNNER_SUMMARYTABLE_H

#include <string>

#include "StudyRecord.h"

namespace velmor_runner {

std::string SummaryTable(const StudyRecord& record);

// One line per variable that did not reach the target, or "" when all did.
std::string TargetNotes(const StudyRecord& record);

}  // namespace velmor_runner

#endif  // VELMOR_RUNNER_SUMMARYTABLE_H
