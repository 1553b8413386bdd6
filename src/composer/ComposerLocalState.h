// ComposerLocalState: the snapshot of a composer's shared state (the bytes
// of its stored shared variables). Not thread-safe.
#ifndef VELMOR_COMPOSER_COMPOSERLOCALSTATE_H
#define VELMOR_COMPOSER_COMPOSERLOCALSTATE_H

#include <cstdint>
#include <cstdio>

#include "framework/State.h"

class BaseComposerClass;

// Common part of Join::LocalState and Rep::LocalState: an owned byte buffer
// of the composer's SharedStateSize() at construction, compared, hashed,
// printed and written like a SAN snapshot.
// Invariant: the buffer holds exactly `size` bytes for the state's life.
class ComposerLocalState : public State {
 public:
  ComposerLocalState(const ComposerLocalState&) = delete;  // owns its buffer
  ComposerLocalState& operator=(const ComposerLocalState&) = delete;
  ~ComposerLocalState() override;

  std::uint32_t hash() const override;
  int compare(const State& other) const override;
  void print() const override;
  bool fwriteState(FILE* file) const override;
  // A record of another length is refused (true) and the state is kept.
  bool freadState(FILE* file) override;
  // REQUIRES: other is a composer state of the same size
  // (assertion "size == _localS->size").
  State& operator=(const State& other) override;
  // Reads the composer's shared state back into its shared variables.
  // REQUIRES: model is the composer (a BaseComposerClass).
  void SetState(BaseModelClass* model) const override;
  // Takes the composer's shared state into the buffer.
  // REQUIRES: model is the composer (a BaseComposerClass).
  void GetState(BaseModelClass* model) override;
  void* GetStatePtr() const override { return data; }
  int getSize() const { return size; }

 protected:
  // unit names the owning composer class in assertion messages.
  ComposerLocalState(BaseComposerClass* composer, const char* unit);

 private:
  unsigned char* data;  // owned, size bytes
  int size;
  const char* unitName;
};

#endif  // VELMOR_COMPOSER_COMPOSERLOCALSTATE_H
