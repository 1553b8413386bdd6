// Plotter: the plots of a study, drawn by gnuplot: every measure against
// the cells (or the swept parameter) with its interval as error bars, and
// measures observed at several times against time; PNG and SVG each.
// Not thread-safe.
#ifndef VELMOR_RUNNER_PLOTTER_H
#define VELMOR_RUNNER_PLOTTER_H

#include <string>
#include <vector>

#include "StudyRecord.h"

namespace velmor_runner {

// The gnuplot data and script for the record; pure.
struct PlotFiles {
  std::string data;                 // plot-data.dat
  std::string script;               // plot.gp
  std::vector<std::string> images;  // the files the script draws
};
PlotFiles MakePlots(const StudyRecord& record);

// Writes the files into folder and runs gnuplot there. False with `error`
// set when gnuplot is missing or fails (the run's results stand).
bool DrawPlots(const StudyRecord& record, const std::string& folder, std::string* error);

}  // namespace velmor_runner

#endif  // VELMOR_RUNNER_PLOTTER_H
