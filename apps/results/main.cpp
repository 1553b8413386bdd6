// velmor-results: prints estimates with 95% confidence intervals for the
// reward variables of one or more results files of the simulator.
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>

#include "Report.h"
#include "ResultsReader.h"
#include "VariableNames.h"

using namespace velmor_results;

namespace {

const char kUsage[] =
    "usage: velmor-results [--csv | --json] [--pvtypes FILE | --names A,B,...] FILE...\n"
    "  Reads ASCII or binary results files and prints, per file and reward variable,\n"
    "  the number of observations, the mean, the sample variance and a 95% confidence\n"
    "  interval. --pvtypes names the variables from a reward-variable type file.\n";

bool ReadFile(const std::string& path, std::string* bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream ss;
  ss << in.rdbuf();
  *bytes = ss.str();
  return true;
}

struct Options {
  std::string format = "table";
  std::vector<std::string> names;
  std::vector<std::string> files;
};

// Returns 0 on success, otherwise the exit status to end with.
int ParseArgs(int argc, char** argv, Options* opt) {
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--csv" || a == "--json") {
      opt->format = a.substr(2);
    } else if (a == "-h" || a == "--help") {
      std::cout << kUsage;
      return -1;
    } else if ((a == "--pvtypes" || a == "--names") && i + 1 < argc) {
      std::string value = argv[++i], text, error;
      if (a == "--names") {
        opt->names = SplitNames(value);
      } else if (!ReadFile(value, &text) || !ParseTypeFile(text, &opt->names, &error)) {
        std::cerr << "velmor-results: " << value << ": "
                  << (error.empty() ? std::strerror(errno) : error) << "\n";
        return 1;
      }
    } else if (a.size() > 1 && a[0] == '-') {
      std::cerr << "velmor-results: unknown option " << a << "\n" << kUsage;
      return 2;
    } else {
      opt->files.push_back(a);
    }
  }
  if (opt->files.empty()) {
    std::cerr << kUsage;
    return 2;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options opt;
  int status = ParseArgs(argc, argv, &opt);
  if (status != 0) return status < 0 ? 0 : status;
  std::vector<ReportRow> rows;
  for (const std::string& path : opt.files) {
    std::string bytes, error;
    ResultsData data;
    if (!ReadFile(path, &bytes)) {
      std::cerr << "velmor-results: " << path << ": " << std::strerror(errno) << "\n";
      return 1;
    }
    if (!ParseResults(bytes, &data, &error)) {
      std::cerr << "velmor-results: " << path << ": " << error << "\n";
      return 1;
    }
    for (const auto& [index, values] : data.observations)
      rows.push_back({path, data.experiment, index, NameOf(opt.names, index), Summarise(values)});
  }
  if (opt.format == "csv")
    std::cout << RenderCsv(rows);
  else if (opt.format == "json")
    std::cout << RenderJson(rows);
  else
    std::cout << RenderTable(rows);
  return 0;
}
