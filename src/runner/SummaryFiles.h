// SummaryFiles: the tidy summaries of a study, one row per (experiment,
// parameter point, variable): summary.csv and summary.json. Their bytes
// depend only on the estimates, never on timing. Not thread-safe.
#ifndef VELMOR_RUNNER_SUMMARYFILES_H
#define VELMOR_RUNNER_SUMMARYFILES_H

#include <string>

#include "StudyRecord.h"

namespace velmor_runner {

std::string SummaryCsv(const StudyRecord& record);
std::string SummaryJson(const StudyRecord& record);

// Writes bytes to path (replacing it); false with `error` set.
bool WriteFile(const std::string& path, const std::string& bytes, std::string* error);

}  // namespace velmor_runner

#endif  // VELMOR_RUNNER_SUMMARYFILES_H
