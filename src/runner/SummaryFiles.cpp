#include "SummaryFiles.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <nlohmann/json.hpp>

namespace velmor_runner {
namespace {

// One row's fields, in column order, as (column, text, is-number).
struct Field {
  std::string column;
  std::string text;
  bool number;
};

std::vector<std::vector<Field>> Rows(const StudyRecord& r) {
  std::vector<std::vector<Field>> rows;
  for (const Cell& cell : *r.cells) {
    const std::vector<Estimate> estimates = cell.Estimates();
    for (size_t v = 0; v < r.variables.size(); ++v) {
      const Estimate& e = estimates[v];
      std::vector<Field> row;
      row.push_back({"experiment", std::to_string(cell.Experiment()), true});
      row.push_back({"point", std::to_string(cell.PointIndex()), true});
      for (size_t g = 0; g < r.study->globals.size(); ++g) {
        const bool numeric = r.study->globals[g].type != "char";
        row.push_back({r.study->globals[g].name, CellValue(*r.study, cell, g), numeric});
      }
      row.push_back({"variable", r.variables[v].name, false});
      row.push_back({"time", NumberText(r.variables[v].time), true});
      row.push_back({"n", std::to_string(e.count), true});
      row.push_back({"mean", NumberText(e.mean), true});
      row.push_back({"variance", NumberText(e.variance), true});
      row.push_back({"std_error", NumberText(e.stdError), true});
      row.push_back({"confidence", NumberText(r.target.confidence), true});
      row.push_back({"ci_low", NumberText(e.low), true});
      row.push_back({"ci_high", NumberText(e.high), true});
      row.push_back({"half_width", NumberText(e.halfWidth), true});
      row.push_back({"rel_half_width", NumberText(e.relHalfWidth), true});
      row.push_back({"interval", IntervalName(e.interval), false});
      row.push_back({"status", StatusName(e.status), false});
      row.push_back({"stopped", CellStopped(cell, r.ending), false});
      rows.push_back(row);
    }
  }
  return rows;
}

// RFC 4180 quoting, only when needed.
std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\n") == std::string::npos) return text;
  std::string q = "\"";
  for (char c : text) q += c == '"' ? std::string("\"\"") : std::string(1, c);
  return q + "\"";
}

}  // namespace

std::string SummaryCsv(const StudyRecord& record) {
  std::string out;
  const auto rows = Rows(record);
  // The header comes from the columns, also when there are no rows.
  std::vector<std::string> columns = {"experiment", "point"};
  for (const GlobalVariable& g : record.study->globals) columns.push_back(g.name);
  for (const char* c :
       {"variable", "time", "n", "mean", "variance", "std_error", "confidence", "ci_low", "ci_high",
        "half_width", "rel_half_width", "interval", "status", "stopped"})
    columns.push_back(c);
  for (size_t i = 0; i < columns.size(); ++i) out += (i ? "," : "") + CsvField(columns[i]);
  out += "\n";
  for (const auto& row : rows) {
    for (size_t i = 0; i < row.size(); ++i) out += (i ? "," : "") + CsvField(row[i].text);
    out += "\n";
  }
  return out;
}

std::string SummaryJson(const StudyRecord& record) {
  nlohmann::ordered_json rows = nlohmann::ordered_json::array();
  for (const auto& row : Rows(record)) {
    nlohmann::ordered_json o;
    for (const Field& f : row) {
      if (!f.number) {
        o[f.column] = f.text;
      } else if (f.text == "inf" || f.text == "-inf" || f.text == "nan") {
        o[f.column] = nullptr;  // JSON has no infinities
      } else if (f.text.find_first_of(".eE") == std::string::npos) {
        o[f.column] = std::stoll(f.text);
      } else {
        o[f.column] = std::stod(f.text);
      }
    }
    rows.push_back(o);
  }
  return rows.dump(1) + "\n";
}

bool WriteFile(const std::string& path, const std::string& bytes, std::string* error) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) {
    *error = "cannot write " + path + ": " + std::strerror(errno);
    return false;
  }
  return true;
}

}  // namespace velmor_runner
