#include "MessageStream.h"

#include <algorithm>
#include <cstring>

namespace velmor_runner {
namespace {

// Largest message accepted: far beyond any report, small enough that a
// corrupt length cannot make the runner hoard memory.
const uint32_t kMaxMessage = 1u << 28;

}  // namespace

uint32_t ReadU32(const unsigned char* p) {
  return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
         (static_cast<uint32_t>(p[2]) << 8) | p[3];
}

uint16_t ReadU16(const unsigned char* p) { return static_cast<uint16_t>((p[0] << 8) | p[1]); }

double ReadDouble(const unsigned char* p) {
  uint64_t bits = 0;
  for (int i = 0; i < 8; ++i) bits = (bits << 8) | p[i];
  double d;
  std::memcpy(&d, &bits, sizeof d);
  return d;
}

MessageStream::MessageStream(int numVariables) : values(static_cast<size_t>(numVariables)) {}

bool MessageStream::Feed(const char* data, size_t length) {
  if (!error.empty()) return false;
  pending.append(data, length);
  size_t at = 0;
  while (pending.size() - at >= 4) {
    const unsigned char* m = reinterpret_cast<const unsigned char*>(pending.data()) + at;
    uint32_t len = ReadU32(m);
    // The CPU-time message's length field counts the bytes after it.
    const uint32_t total = len == 12 ? 16 : len;
    if (total < 9 || total > kMaxMessage) {
      error = "message of impossible length " + std::to_string(len);
      return false;
    }
    if (pending.size() - at < total) break;
    if (!Decode(m, total)) return false;
    at += total;
  }
  pending.erase(0, at);
  return true;
}

bool MessageStream::Decode(const unsigned char* m, uint32_t length) {
  if (length == 10) {
    if (m[4] == 0xFF && m[5] == 1) {
      registered = true;
      processId = ReadU32(m + 6);
    }
    return true;
  }
  if (length == 16 && ReadU32(m) == 12) {
    if (m[4] != 0xFE) {
      error = "CPU-time message without its marker";
      return false;
    }
    cpuSeconds = ReadDouble(m + 8);
    return true;
  }
  return DecodeObservations(m, length);
}

bool MessageStream::DecodeObservations(const unsigned char* m, uint32_t length) {
  const uint16_t records = ReadU16(m + 7);
  uint32_t at = 9;
  for (uint16_t r = 0; r < records; ++r) {
    if (length - at < 7) {
      error = "observation message shorter than its records";
      return false;
    }
    const uint16_t index = ReadU16(m + at);
    const unsigned char type = m[at + 2];
    const uint32_t n = ReadU32(m + at + 3);
    at += 7;
    if (n > (length - at) / 8) {
      error = "observation record longer than its message";
      return false;
    }
    if (index >= values.size()) {
      error = "observation of unknown variable " + std::to_string(index);
      return false;
    }
    if (type == 1) {
      for (uint32_t k = 0; k < n; ++k) values[index].push_back(ReadDouble(m + at + 8 * k));
    }
    at += 8 * n;
  }
  if (at != length) {
    error = "observation message longer than its records";
    return false;
  }
  observationBytes.append(reinterpret_cast<const char*>(m), length);
  return true;
}

long MessageStream::MinCount() const {
  if (values.empty()) return 0;
  size_t least = values[0].size();
  for (const auto& v : values) least = std::min(least, v.size());
  return static_cast<long>(least);
}

}  // namespace velmor_runner
