#include "Report.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

namespace velmor_results {
namespace {

std::string Num(double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.6g", v);
  return buf;
}

// Full precision for machine-read output.
std::string Exact(double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.17g", v);
  return buf;
}

std::string JsonString(const std::string& s) {
  std::string out = "\"";
  for (char c : s) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", c);
      out += buf;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string JsonNumber(double v) {
  // JSON has no spelling for infinities or NaN.
  return (v == v && v - v == 0.0) ? Exact(v) : "null";
}

std::vector<std::string> Cells(const ReportRow& r) {
  const Estimate& e = r.estimate;
  return {r.file,
          std::to_string(r.experiment),
          r.variable,
          std::to_string(e.count),
          Num(e.mean),
          Num(e.variance),
          Num(e.mean - e.halfWidth),
          Num(e.mean + e.halfWidth)};
}

}  // namespace

std::string RenderTable(const std::vector<ReportRow>& rows) {
  std::vector<std::vector<std::string>> table = {
      {"file", "exp", "variable", "n", "mean", "variance", "95% low", "95% high"}};
  for (const ReportRow& r : rows) table.push_back(Cells(r));
  std::vector<size_t> width(table[0].size(), 0);
  for (const auto& line : table)
    for (size_t c = 0; c < line.size(); ++c) width[c] = std::max(width[c], line[c].size());
  std::ostringstream out;
  for (const auto& line : table) {
    for (size_t c = 0; c < line.size(); ++c) {
      // Text columns align left, numbers right.
      const bool left = c == 0 || c == 2;
      const std::string pad(width[c] - line[c].size(), ' ');
      out << (c ? "  " : "") << (left ? line[c] + pad : pad + line[c]);
    }
    out << '\n';
  }
  return out.str();
}

std::string RenderCsv(const std::vector<ReportRow>& rows) {
  std::ostringstream out;
  out << "file,experiment,index,variable,n,mean,variance,ci95_low,ci95_high\n";
  for (const ReportRow& r : rows) {
    const Estimate& e = r.estimate;
    out << r.file << ',' << r.experiment << ',' << r.index << ',' << r.variable << ',' << e.count
        << ',' << Exact(e.mean) << ',' << Exact(e.variance) << ',' << Exact(e.mean - e.halfWidth)
        << ',' << Exact(e.mean + e.halfWidth) << '\n';
  }
  return out.str();
}

std::string RenderJson(const std::vector<ReportRow>& rows) {
  std::ostringstream out;
  out << "[";
  for (size_t i = 0; i < rows.size(); ++i) {
    const ReportRow& r = rows[i];
    const Estimate& e = r.estimate;
    out << (i ? ",\n " : "\n ") << "{\"file\": " << JsonString(r.file)
        << ", \"experiment\": " << r.experiment << ", \"index\": " << r.index
        << ", \"variable\": " << JsonString(r.variable) << ", \"n\": " << e.count
        << ", \"mean\": " << JsonNumber(e.mean) << ", \"variance\": " << JsonNumber(e.variance)
        << ", \"ci95_low\": " << JsonNumber(e.mean - e.halfWidth)
        << ", \"ci95_high\": " << JsonNumber(e.mean + e.halfWidth) << "}";
  }
  out << (rows.empty() ? "]\n" : "\n]\n");
  return out.str();
}

}  // namespace velmor_results
