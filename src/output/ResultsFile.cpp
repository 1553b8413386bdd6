// ResultsFile: encoders and writers of the results-file formats.
#include "output/ResultsFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <ostream>

#include "base/Allocate.h"
#include "base/Assert.h"
#include "output/DataPacket.h"

namespace {

const char kVersion[] = "Version 2.4";
constexpr int kFileVersion = 1;
constexpr size_t kMessageHeaderSize = 9;  // length, client, experiment, R
constexpr size_t kRecordHeaderSize = 7;   // index, type, n

void CheckCounts(const DataPacket& packet) {
  for (int i = 0; i < packet.variableCount; ++i) {
    VELMOR_ASSERT(packet.counts[i] >= 0 && packet.counts[i] <= packet.capacity, "ResultsFile");
  }
}

// Adds the records and observations of one packet to r and n.
void CountRecords(const DataPacket& packet, size_t* r, size_t* n) {
  for (int i = 0; i < packet.variableCount; ++i) {
    if (packet.counts[i] > 0) {
      ++*r;
      *n += static_cast<size_t>(packet.counts[i]);
    }
  }
}

char* PutRecords(char* out, const DataPacket& packet, int type) {
  for (int i = 0; i < packet.variableCount; ++i) {
    const int count = packet.counts[i];
    if (count <= 0) continue;
    out = PutInt16(out, i);
    out = PutByte(out, type);
    out = PutInt32(out, count);
    for (int k = 0; k < count; ++k) out = PutDouble(out, packet.Value(i, k));
  }
  return out;
}

}  // namespace

char* PutInt32(char* out, int32_t value) {
  const uint32_t bits = static_cast<uint32_t>(value);
  out[0] = static_cast<char>((bits >> 24) & 0xFF);
  out[1] = static_cast<char>((bits >> 16) & 0xFF);
  out[2] = static_cast<char>((bits >> 8) & 0xFF);
  out[3] = static_cast<char>(bits & 0xFF);
  return out + 4;
}

char* PutInt16(char* out, int value) {
  const uint32_t bits = static_cast<uint32_t>(value);
  out[0] = static_cast<char>((bits >> 8) & 0xFF);
  out[1] = static_cast<char>(bits & 0xFF);
  return out + 2;
}

char* PutByte(char* out, int value) {
  out[0] = static_cast<char>(static_cast<uint32_t>(value) & 0xFF);
  return out + 1;
}

char* PutDouble(char* out, double value) {
  uint64_t bits;
  static_assert(sizeof bits == sizeof value, "double is 8 bytes");
  std::memcpy(&bits, &value, sizeof bits);
  for (int shift = 56; shift >= 0; shift -= 8) {
    *out++ = static_cast<char>((bits >> shift) & 0xFF);
  }
  return out;
}

int FormatTrimmedValue(double value, char* text, size_t size) {
  VELMOR_ASSERT(size >= static_cast<size_t>(kValueTextSize), "ResultsFile");
  int length = std::snprintf(text, size, "%.10lf", value);
  if (length < 0) length = 0;
  while (length >= 2 && text[length - 1] == '0' && text[length - 2] != '.') {
    text[--length] = '\0';
  }
  return length;
}

std::string AsciiResultsHeader(int experiment) {
  char line[160];
  std::snprintf(line, sizeof line,
                "#VELMOR_SIM_ASCII_FILE,VELMOR_VER=%s,FILE_VER=%d,"
                "EXPERIMENTS=%d\n",
                kVersion, kFileVersion, experiment);
  return std::string(line) + "#FORMAT: (PV ID Number),(PV Value)\n";
}

void WriteAsciiResultsHeader(std::ostream& out, int experiment) {
  out << AsciiResultsHeader(experiment);
  out.flush();
}

void BinaryResultsHeader(int experiment, char* header) {
  std::memset(header, 0, kBinaryHeaderSize);
  std::snprintf(header, kBinaryHeaderSize,
                "VELMOR_SIM_BIN_FILE,%d,VELMOR_VER=%s,FILE_VER=%d,"
                "EXPERIMENTS=%d,",
                kBinaryHeaderSize, kVersion, kFileVersion, experiment);
}

void WriteBinaryResultsHeader(std::ostream& out, int experiment) {
  char header[kBinaryHeaderSize];
  BinaryResultsHeader(experiment, header);
  out.write(header, kBinaryHeaderSize);
  out.flush();
}

size_t ObservationMessageLength(const DataPacket& first, const DataPacket* second) {
  size_t r = 0;
  size_t n = 0;
  CountRecords(first, &r, &n);
  if (second != nullptr) CountRecords(*second, &r, &n);
  return kMessageHeaderSize + kRecordHeaderSize * r + 8 * n;
}

size_t EncodeObservationMessage(int clientId, int experiment, const DataPacket& first,
                                const DataPacket* second, char* buffer) {
  CheckCounts(first);
  if (second != nullptr) CheckCounts(*second);
  size_t r = 0;
  size_t n = 0;
  CountRecords(first, &r, &n);
  if (second != nullptr) CountRecords(*second, &r, &n);
  const size_t length = kMessageHeaderSize + kRecordHeaderSize * r + 8 * n;
  VELMOR_ASSERT(length <= 0x7FFFFFFFu && r <= 0xFFFFu, "ResultsFile");
  char* out = PutInt32(buffer, static_cast<int32_t>(length));
  out = PutByte(out, clientId);
  out = PutInt16(out, experiment);
  out = PutInt16(out, static_cast<int>(r));
  out = PutRecords(out, first, 1);
  if (second != nullptr) out = PutRecords(out, *second, 2);
  VELMOR_ASSERT(static_cast<size_t>(out - buffer) == length, "ResultsFile");
  return length;
}

void WriteAsciiObservations(std::ostream& out, const DataPacket& first, const DataPacket* second) {
  VELMOR_ASSERT(second == nullptr || (second->variableCount >= first.variableCount &&
                                      second->capacity >= first.capacity),
                "ResultsFile");
  CheckCounts(first);
  char text[kValueTextSize];
  char companion[kValueTextSize];
  for (int i = 0; i < first.variableCount; ++i) {
    for (int k = 0; k < first.counts[i]; ++k) {
      FormatTrimmedValue(first.Value(i, k), text, sizeof text);
      out << i << ',' << text;
      if (second != nullptr) {
        FormatTrimmedValue(second->Value(i, k), companion, sizeof companion);
        out << ',' << companion;
      }
      out << '\n';
    }
  }
}

std::ofstream* OpenResultsFile(const char* name, bool binary) {
  std::ios::openmode mode = std::ios::out | std::ios::trunc;
  if (binary) mode |= std::ios::binary;
  errno = 0;
  std::ofstream* stream = Allocate<std::ofstream>(name, mode);
  if (stream->is_open()) return stream;
  const int error = errno;
  delete stream;
  std::cerr << "ERROR: Unable to open results file '" << name
            << "': " << (error != 0 ? std::strerror(error) : "unknown error") << std::endl;
  return nullptr;
}
