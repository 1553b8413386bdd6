// SANModel::LocalState: the packed byte snapshot of one SAN model.
#include <cstring>
#include <new>

#include "base/Assert.h"
#include "base/ErrorReports.h"
#include "framework/SANModel.h"
#include "framework/StateBytes.h"

SANModel::LocalState::LocalState(SANModel* model) : data(nullptr), size(model->StateSize()) {
  data = new (std::nothrow) unsigned char[static_cast<size_t>(size > 0 ? size : 1)]();
  if (data == nullptr) MemoryAllocationError();
}

SANModel::LocalState::~LocalState() { delete[] data; }

std::uint32_t SANModel::LocalState::hash() const { return HashStateBytes(data, size); }

// Over this state's length; a SAN snapshot of another length is compared
// over the common prefix, the shorter one ordering first on a tie.
int SANModel::LocalState::compare(const State& other) const {
  const LocalState* o = dynamic_cast<const LocalState*>(&other);
  int otherSize = o != nullptr ? o->size : size;
  return CompareStateBytes(data, size, static_cast<const unsigned char*>(other.GetStatePtr()),
                           otherSize);
}

void SANModel::LocalState::print() const { PrintStateBytes(data, size); }

bool SANModel::LocalState::fwriteState(FILE* file) const {
  return WriteStateRecord(file, data, size);
}

bool SANModel::LocalState::freadState(FILE* file) { return ReadStateRecord(file, data, size); }

State& SANModel::LocalState::operator=(const State& other) {
  if (&other == this) return *this;
  const LocalState* _localS = dynamic_cast<const LocalState*>(&other);
  VELMOR_ASSERT_MSG(_localS != nullptr && size == _localS->size, "size == _localS->size",
                    "SANModel");
  if (size > 0) std::memcpy(data, _localS->data, static_cast<size_t>(size));
  return *this;
}

void SANModel::LocalState::SetState(BaseModelClass* model) const { model->SetState(data); }

void SANModel::LocalState::GetState(BaseModelClass* model) { model->CurrentState(data); }
