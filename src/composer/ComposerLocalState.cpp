// ComposerLocalState: the composer snapshot's buffer operations.
#include "composer/ComposerLocalState.h"

#include <cstring>
#include <new>

#include "base/Assert.h"
#include "base/ErrorReports.h"
#include "composer/BaseComposerClass.h"
#include "framework/StateBytes.h"

ComposerLocalState::ComposerLocalState(BaseComposerClass* composer, const char* unit)
    : data(nullptr), size(composer->SharedStateSize()), unitName(unit) {
  data = new (std::nothrow) unsigned char[size > 0 ? size : 1]();
  if (data == nullptr) MemoryAllocationError();
}

ComposerLocalState::~ComposerLocalState() { delete[] data; }

std::uint32_t ComposerLocalState::hash() const { return HashStateBytes(data, size); }

// Over this state's length; a composer state of another length (another
// composer's) is compared over the common prefix, the shorter one ordering
// first on a tie, so that neither buffer is read beyond its end.
int ComposerLocalState::compare(const State& other) const {
  const ComposerLocalState* that = dynamic_cast<const ComposerLocalState*>(&other);
  int otherSize = that != nullptr ? that->size : size;
  return CompareStateBytes(data, size, static_cast<const unsigned char*>(other.GetStatePtr()),
                           otherSize);
}

void ComposerLocalState::print() const { PrintStateBytes(data, size); }

bool ComposerLocalState::fwriteState(FILE* file) const {
  return WriteStateRecord(file, data, size);
}

bool ComposerLocalState::freadState(FILE* file) { return ReadStateRecord(file, data, size); }

State& ComposerLocalState::operator=(const State& other) {
  if (&other == this) return *this;
  const ComposerLocalState* _localS = dynamic_cast<const ComposerLocalState*>(&other);
  VELMOR_ASSERT_MSG(_localS != nullptr && size == _localS->size, "size == _localS->size", unitName);
  std::memcpy(data, _localS->data, static_cast<size_t>(size));
  return *this;
}

void ComposerLocalState::SetState(BaseModelClass* model) const {
  static_cast<BaseComposerClass*>(model)->SetSharedState(data);
}

void ComposerLocalState::GetState(BaseModelClass* model) {
  static_cast<BaseComposerClass*>(model)->CurrentSharedState(data);
}
