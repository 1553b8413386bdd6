#include "ResultsReader.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <sstream>

namespace velmor_results {
namespace {

const char kAsciiMagic[] = "#VELMOR_SIM_ASCII_FILE";
const char kBinaryMagic[] = "VELMOR_SIM_BIN_FILE,";

bool StartsWith(const std::string& s, const char* prefix) {
  return s.compare(0, std::strlen(prefix), prefix) == 0;
}

std::string At(size_t offset) {
  std::ostringstream os;
  os << "at byte offset " << offset;
  return os.str();
}

uint32_t ReadBig(const std::string& b, size_t pos, int width) {
  uint32_t v = 0;
  for (int i = 0; i < width; ++i) v = (v << 8) | static_cast<unsigned char>(b[pos + i]);
  return v;
}

double ReadBigDouble(const std::string& b, size_t pos) {
  uint64_t bits = 0;
  for (int i = 0; i < 8; ++i) bits = (bits << 8) | static_cast<unsigned char>(b[pos + i]);
  double d;
  std::memcpy(&d, &bits, sizeof d);
  return d;
}

// Reads "EXPERIMENTS=<n>" out of a header text; leaves 0 when absent.
int HeaderExperiment(const std::string& header) {
  size_t p = header.find("EXPERIMENTS=");
  if (p == std::string::npos) return 0;
  return std::atoi(header.c_str() + p + 12);
}

// One ASCII observation line "index,value[,second]".
bool ParseAsciiLine(const std::string& line, int* index, double* value) {
  const char* s = line.c_str();
  char* end = nullptr;
  errno = 0;
  long idx = std::strtol(s, &end, 10);
  if (end == s || *end != ',' || errno != 0 || idx < 0 || idx > 65535) return false;
  const char* v = end + 1;
  double d = std::strtod(v, &end);
  if (end == v || (*end != '\0' && *end != ',')) return false;
  *index = static_cast<int>(idx);
  *value = d;
  return true;
}

// One observation message at `pos`; advances `pos` past it.
bool ParseMessage(const std::string& b, size_t* pos, ResultsData* out, std::string* error) {
  const size_t start = *pos;
  if (b.size() - start < 9) {
    *error = "truncated observation message " + At(start);
    return false;
  }
  const uint32_t length = ReadBig(b, start, 4);
  const uint32_t records = ReadBig(b, start + 7, 2);
  if (length < 9 || length > b.size() - start) {
    *error = "observation message of length " + std::to_string(length) +
             (length < 9 ? " is too short " : " runs past the end of the file ") + At(start);
    return false;
  }
  size_t p = start + 9;
  const size_t end = start + length;
  for (uint32_t r = 0; r < records; ++r) {
    if (end - p < 7) {
      *error = "record " + std::to_string(r) + " overruns its message " + At(p);
      return false;
    }
    const int index = static_cast<int>(ReadBig(b, p, 2));
    const int type = static_cast<unsigned char>(b[p + 2]);
    const uint32_t n = ReadBig(b, p + 3, 4);
    p += 7;
    if (type != 1 && type != 2) {
      *error = "record of unknown type " + std::to_string(type) + " " + At(p - 5);
      return false;
    }
    if (n > (end - p) / 8) {
      *error = "record of " + std::to_string(n) + " values overruns its message " + At(p - 4);
      return false;
    }
    std::vector<double>& values = out->observations[index];
    for (uint32_t k = 0; k < n; ++k, p += 8) {
      if (type == 1) values.push_back(ReadBigDouble(b, p));
    }
  }
  if (p != end) {
    *error = "observation message length does not match its records " + At(start);
    return false;
  }
  *pos = end;
  return true;
}

}  // namespace

bool ParseAsciiResults(const std::string& bytes, ResultsData* out, std::string* error) {
  out->format = "ascii";
  size_t pos = 0;
  int lineNo = 0;
  while (pos < bytes.size()) {
    size_t nl = bytes.find('\n', pos);
    if (nl == std::string::npos) {
      *error = "last line has no line end (truncated file?) at line " + std::to_string(lineNo + 1) +
               ", " + At(pos);
      return false;
    }
    std::string line = bytes.substr(pos, nl - pos);
    ++lineNo;
    if (lineNo == 1) {
      out->experiment = HeaderExperiment(line);
    } else if (!line.empty() && line[0] == '#') {
      // comment or format line
    } else {
      int index;
      double value;
      if (!ParseAsciiLine(line, &index, &value)) {
        *error = "malformed observation line " + std::to_string(lineNo) + " " + At(pos);
        return false;
      }
      out->observations[index].push_back(value);
    }
    pos = nl + 1;
  }
  return true;
}

bool ParseBinaryResults(const std::string& bytes, ResultsData* out, std::string* error) {
  out->format = "binary";
  char* end = nullptr;
  const char* text = bytes.c_str() + std::strlen(kBinaryMagic);
  long headerLength = std::strtol(text, &end, 10);
  if (end == text || headerLength < 20 || static_cast<size_t>(headerLength) > bytes.size()) {
    *error = "binary header is truncated or names a bad length " + At(0);
    return false;
  }
  out->experiment = HeaderExperiment(bytes.substr(0, static_cast<size_t>(headerLength)));
  size_t pos = static_cast<size_t>(headerLength);
  while (pos < bytes.size()) {
    if (!ParseMessage(bytes, &pos, out, error)) return false;
  }
  return true;
}

bool ParseResults(const std::string& bytes, ResultsData* out, std::string* error) {
  if (StartsWith(bytes, kAsciiMagic)) return ParseAsciiResults(bytes, out, error);
  if (StartsWith(bytes, kBinaryMagic)) return ParseBinaryResults(bytes, out, error);
  *error = "not a results file (unknown header) " + At(0);
  return false;
}

}  // namespace velmor_results
