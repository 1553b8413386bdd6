// ComposerLocalState: moving a composer's shared state into and out of
// the snapshot.
#include "composer/ComposerLocalState.h"

#include "composer/BaseComposerClass.h"

ComposerLocalState::ComposerLocalState(BaseComposerClass* composer, const char* unit)
    : ByteState(composer->SharedStateSize(), unit) {}

void ComposerLocalState::SetState(BaseModelClass* model) const {
  static_cast<BaseComposerClass*>(model)->SetSharedState(GetStatePtr());
}

void ComposerLocalState::GetState(BaseModelClass* model) {
  static_cast<BaseComposerClass*>(model)->CurrentSharedState(GetStatePtr());
}
