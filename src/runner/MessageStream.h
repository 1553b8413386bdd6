// MessageStream: decodes the bytes a simulator sends over its manager link
// (control replies, CPU-time messages, observation messages; big-endian
// fields) as they arrive, in pieces of any size. Pure over buffers; not
// thread-safe.
#ifndef VELMOR_RUNNER_MESSAGESTREAM_H
#define VELMOR_RUNNER_MESSAGESTREAM_H

#include <cstdint>
#include <string>
#include <vector>

namespace velmor_runner {

// Everything one simulator sent, decoded.
// Invariant: values[i] holds variable i's observations in arrival order.
class MessageStream {
 public:
  // REQUIRES: numVariables >= 0 (observations of larger indices are errors).
  explicit MessageStream(int numVariables);

  // Consumes bytes; false with Error() set on a malformed message (the
  // stream is then unusable).
  bool Feed(const char* data, size_t length);

  bool Registered() const { return registered; }
  uint32_t ProcessId() const { return processId; }
  double CpuSeconds() const { return cpuSeconds; }
  const std::vector<std::vector<double>>& Values() const { return values; }
  // Every observation message, back to back, as received: the body of a
  // binary results file.
  const std::string& ObservationBytes() const { return observationBytes; }
  // The fewest observations of any variable.
  long MinCount() const;
  bool Partial() const { return !pending.empty(); }
  const std::string& Error() const { return error; }

 private:
  bool Decode(const unsigned char* m, uint32_t length);
  bool DecodeObservations(const unsigned char* m, uint32_t length);

  std::string pending;  // bytes of an incomplete message
  std::vector<std::vector<double>> values;
  std::string observationBytes;
  bool registered = false;
  uint32_t processId = 0;
  double cpuSeconds = 0.0;
  std::string error;
};

uint32_t ReadU32(const unsigned char* p);
uint16_t ReadU16(const unsigned char* p);
double ReadDouble(const unsigned char* p);

}  // namespace velmor_runner

#endif  // VELMOR_RUNNER_MESSAGESTREAM_H
