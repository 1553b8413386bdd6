// ComposerLocalState: the snapshot of a composer's shared state (the bytes
// of its stored shared variables). Not thread-safe.
#ifndef VELMOR_COMPOSER_COMPOSERLOCALSTATE_H
#define VELMOR_COMPOSER_COMPOSERLOCALSTATE_H

#include "framework/ByteState.h"

class BaseComposerClass;

// Common part of Join::LocalState and Rep::LocalState: a byte snapshot of
// the composer's SharedStateSize() at construction. Does not keep the
// composer; GetState and SetState are given it.
class ComposerLocalState : public ByteState {
 public:
  using ByteState::operator=;
  // Reads the composer's shared state back into its shared variables.
  // REQUIRES: model is the composer (a BaseComposerClass).
  void SetState(BaseModelClass* model) const override;
  // Takes the composer's shared state into the buffer.
  // REQUIRES: model is the composer (a BaseComposerClass).
  void GetState(BaseModelClass* model) override;

 protected:
  // unit names the owning composer class in assertion messages.
  ComposerLocalState(BaseComposerClass* composer, const char* unit);
};

#endif  // VELMOR_COMPOSER_COMPOSERLOCALSTATE_H
