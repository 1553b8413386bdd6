// SANModel::LocalState: the packed byte snapshot of one SAN model.
#include "framework/SANModel.h"

SANModel::LocalState::LocalState(SANModel* model) : ByteState(model->StateSize(), "SANModel") {}

void SANModel::LocalState::SetState(BaseModelClass* model) const { model->SetState(GetStatePtr()); }

void SANModel::LocalState::GetState(BaseModelClass* model) { model->CurrentState(GetStatePtr()); }
