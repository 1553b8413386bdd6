// ByteState: a model snapshot held as one owned byte buffer, the common
// part of SANModel::LocalState and the composers' snapshots. Not thread-safe.
#ifndef VELMOR_FRAMEWORK_BYTESTATE_H
#define VELMOR_FRAMEWORK_BYTESTATE_H

#include <cstdint>
#include <cstdio>

#include "framework/State.h"

// Hashes, compares, prints, copies and writes its bytes; a derived class
// says only how the bytes are taken from and put back into its model
// (GetState, SetState). Owns the buffer.
// Invariant: the buffer holds exactly `size` bytes for the state's life.
class ByteState : public State {
 public:
  ByteState(const ByteState&) = delete;  // owns its buffer
  ByteState& operator=(const ByteState&) = delete;
  ~ByteState() override;

  std::uint32_t hash() const override;
  // Over this state's length; a byte snapshot of another length is
  // compared over the common prefix, the shorter one ordering first on a
  // tie, so that neither buffer is read beyond its end.
  int compare(const State& other) const override;
  void print() const override;
  bool fwriteState(FILE* file) const override;
  // A record of another length is refused (true) and the state is kept.
  bool freadState(FILE* file) override;
  // REQUIRES: other is a byte snapshot of the same size
  // (assertion "size == _localS->size", file <unit>).
  State& operator=(const State& other) override;
  void* GetStatePtr() const override { return data; }
  int getSize() const { return size; }

 protected:
  // A zeroed buffer of size bytes; unit names the snapshot's class in
  // assertion messages and must outlive the state (a string literal).
  ByteState(int size, const char* unit);

 private:
  unsigned char* data;  // owned, size bytes (at least one allocated)
  int size;
  const char* unitName;
};

#endif  // VELMOR_FRAMEWORK_BYTESTATE_H
