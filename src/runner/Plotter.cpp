#include "Plotter.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "ChildProcess.h"
#include "Launcher.h"
#include "SummaryFiles.h"

namespace velmor_runner {
namespace {

std::string BaseName(const std::string& variable) {
  return variable.substr(0, variable.find_first_of("@["));
}

// "e3", or "e3 rate=0.5" with the swept variables' values.
std::string CellLabel(const StudyRecord& r, const Cell& cell) {
  std::string label = "e" + std::to_string(cell.Experiment());
  for (const Setting& s : cell.Point()) {
    if (std::find(r.sweptNames.begin(), r.sweptNames.end(), s.name) != r.sweptNames.end())
      label += " " + s.name + "=" + s.value;
  }
  return label;
}

// A finite bound, or the mean when the interval is unbounded.
std::string Bound(double bound, double mean) {
  return NumberText(std::isfinite(bound) ? bound : mean);
}

void Terminals(std::string* script, const std::string& stem, std::vector<std::string>* images,
               const std::string& plotCommands) {
  *script += "set terminal pngcairo size 1200,800 noenhanced\nset output '" + stem + ".png'\n" +
             plotCommands + "set terminal svg size 1200,800 noenhanced\nset output '" + stem +
             ".svg'\n" + plotCommands + "unset output\n";
  images->push_back(stem + ".png");
  images->push_back(stem + ".svg");
}

}  // namespace

PlotFiles MakePlots(const StudyRecord& r) {
  PlotFiles files;
  // Data block k (0-based, two blank lines apart) is variable k: one line
  // per cell: position, mean, low, high, label.
  for (size_t v = 0; v < r.variables.size(); ++v) {
    files.data += "# " + r.variables[v].name + "\n";
    int x = 0;
    for (const Cell& cell : *r.cells) {
      const Estimate e = cell.Estimates()[v];
      files.data += std::to_string(x++) + " " + NumberText(e.mean) + " " + Bound(e.low, e.mean) +
                    " " + Bound(e.high, e.mean) + " \"" + CellLabel(r, cell) + "\"\n";
    }
    files.data += "\n\n";
  }
  const size_t nv = r.variables.size();
  std::string measures = "set multiplot layout " + std::to_string((nv + 1) / 2) + "," +
                         std::string(nv > 1 ? "2" : "1") + "\nset xtics rotate by -30\nset grid\n";
  for (size_t v = 0; v < nv; ++v) {
    measures += "set title '" + r.variables[v].name + "'\nplot 'plot-data.dat' index " +
                std::to_string(v) + " using 1:2:3:4:xticlabels(5) with yerrorbars pt 7 notitle\n";
  }
  measures += "unset multiplot\n";
  files.script = "set datafile missing 'nan'\nset key outside\nset offsets 0.5,0.5,0,0\n";
  Terminals(&files.script, "plot-measures", &files.images, measures);

  // Variables with one base name at several times: mean against time, one
  // series per cell. Data blocks follow the per-variable ones.
  std::map<std::string, std::vector<size_t>> byBase;
  std::vector<std::string> order;
  for (size_t v = 0; v < nv; ++v) {
    const std::string base = BaseName(r.variables[v].name);
    if (byBase[base].empty()) order.push_back(base);
    byBase[base].push_back(v);
  }
  size_t block = nv;
  size_t panels = 0;
  for (const std::string& base : order) panels += byBase[base].size() >= 2 ? 1 : 0;
  std::string timeCommands = "set multiplot layout 1," +
                             std::to_string(std::max<size_t>(panels, 1)) + "\nset xtics norotate\n";
  bool anySeries = false;
  for (const std::string& base : order) {
    const std::vector<size_t>& members = byBase[base];
    if (members.size() < 2) continue;
    anySeries = true;
    timeCommands += "set title '" + base + "'\nset xlabel 'time'\nplot ";
    for (size_t c = 0; c < r.cells->size(); ++c) {
      const Cell& cell = (*r.cells)[c];
      files.data += "# " + base + " " + CellLabel(r, cell) + "\n";
      const std::vector<Estimate> estimates = cell.Estimates();
      for (size_t v : members) {
        const Estimate& e = estimates[v];
        files.data += NumberText(r.variables[v].time) + " " + NumberText(e.mean) + " " +
                      Bound(e.low, e.mean) + " " + Bound(e.high, e.mean) + "\n";
      }
      files.data += "\n\n";
      timeCommands += std::string(c ? ", " : "") + "'plot-data.dat' index " +
                      std::to_string(block++) + " using 1:2:3:4 with yerrorlines title '" +
                      CellLabel(r, cell) + "'";
    }
    timeCommands += "\n";
  }
  timeCommands += "unset multiplot\n";
  if (anySeries) Terminals(&files.script, "plot-time", &files.images, timeCommands);
  return files;
}

bool DrawPlots(const StudyRecord& record, const std::string& folder, std::string* error) {
  const PlotFiles files = MakePlots(record);
  if (!WriteFile(folder + "/plot-data.dat", files.data, error) ||
      !WriteFile(folder + "/plot.gp", files.script, error))
    return false;
  const std::string gnuplot = FindOnPath("gnuplot");
  if (gnuplot == "gnuplot") {
    *error = "gnuplot not found; the plot script is " + folder + "/plot.gp";
    return false;
  }
  std::string out, err;
  const int status = RunToCompletion(
      {"/bin/sh", "-c", "cd \"$0\" && exec \"$1\" plot.gp", folder, gnuplot}, &out, &err);
  if (status != 0) {
    *error = "gnuplot failed (" + DescribeStatus(status) + "): " + err;
    return false;
  }
  return true;
}

}  // namespace velmor_runner
