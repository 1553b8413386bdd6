// ByteState: the byte snapshot's buffer operations.
#include "framework/ByteState.h"

#include <cstring>
#include <new>

#include "base/Allocate.h"
#include "base/Assert.h"
#include "base/ErrorReports.h"
#include "framework/StateBytes.h"

ByteState::ByteState(int length, const char* unit) : data(nullptr), size(length), unitName(unit) {
  data = AllocateZeroedArray<unsigned char>(size);
}

ByteState::~ByteState() { delete[] data; }

std::uint32_t ByteState::hash() const { return HashStateBytes(data, size); }

int ByteState::compare(const State& other) const {
  const ByteState* that = dynamic_cast<const ByteState*>(&other);
  int otherSize = that != nullptr ? that->size : size;
  return CompareStateBytes(data, size, static_cast<const unsigned char*>(other.GetStatePtr()),
                           otherSize);
}

void ByteState::print() const { PrintStateBytes(data, size); }

bool ByteState::fwriteState(FILE* file) const { return WriteStateRecord(file, data, size); }

bool ByteState::freadState(FILE* file) { return ReadStateRecord(file, data, size); }

State& ByteState::operator=(const State& other) {
  if (&other == this) return *this;
  const ByteState* _localS = dynamic_cast<const ByteState*>(&other);
  VELMOR_ASSERT_MSG(_localS != nullptr && size == _localS->size, "size == _localS->size", unitName);
  if (size > 0) std::memcpy(data, _localS->data, static_cast<size_t>(size));
  return *this;
}
