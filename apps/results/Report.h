// Report: the rows the results reader prints (one per file and reward
// variable) and their three renderings: aligned table, CSV and JSON.
#ifndef VELMOR_APPS_RESULTS_REPORT_H
#define VELMOR_APPS_RESULTS_REPORT_H

#include <string>
#include <vector>

#include "Estimate.h"

namespace velmor_results {

struct ReportRow {
  std::string file;
  int experiment = 0;
  int index = 0;
  std::string variable;
  Estimate estimate;
};

std::string RenderTable(const std::vector<ReportRow>& rows);
std::string RenderCsv(const std::vector<ReportRow>& rows);
std::string RenderJson(const std::vector<ReportRow>& rows);

}  // namespace velmor_results

#endif  // VELMOR_APPS_RESULTS_REPORT_H
