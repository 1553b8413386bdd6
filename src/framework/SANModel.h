// SANModel: an atomic stochastic activity network model (places,
// read-only places, activities, groups) and its state snapshot.
// Not thread-safe.
#ifndef VELMOR_FRAMEWORK_SANMODEL_H
#define VELMOR_FRAMEWORK_SANMODEL_H

#include "framework/BaseModelClass.h"
#include "framework/ByteState.h"

class Activity;
class Place;

// Owns the arrays of places, read-only places, actions and groups; the
// objects themselves belong to the generated model class.
// Snapshot layout: the CurrentState bytes of every unshared place, in
// place order, packed (read-only places are never part of it).
// Invariant: numStateVariables == numPlaces + numReadOnlyPlaces.
class SANModel : public BaseModelClass {
 public:
  // The snapshot of one SAN model: StateSize() bytes, fixed at creation.
  // Does not keep the model; GetState and SetState are given it.
  class LocalState : public ByteState {
   public:
    explicit LocalState(SANModel* model);
    using ByteState::operator=;
    void SetState(BaseModelClass* model) const override;
    void GetState(BaseModelClass* model) override;
  };

  SANModel();
  SANModel(const char* name, int numPlaces, BaseStateVariableClass** places, int numReadOnly,
           BaseStateVariableClass** readOnly, int numActivities, Activity** activities,
           int numGroups, BaseGroupClass** groups);
  ~SANModel() override;

  // Copies the name and the four arrays (which may be temporary) and
  // registers this model in every activity and group.
  void initializeSANModelNow(const char* name, int numPlaces, BaseStateVariableClass** places,
                             int numReadOnly, BaseStateVariableClass** readOnly, int numActivities,
                             Activity** activities, int numGroups, BaseGroupClass** groups);
  // Overwrite the entries of the existing arrays (counts unchanged).
  void SetPlaces(BaseStateVariableClass** newPlaces);
  void SetReadOnlyPlaces(BaseStateVariableClass** newReadOnly);
  void SetActions(Activity** activities);
  void SetGroups(BaseGroupClass** newGroups);

  void listModels(const char* name, List<BaseModelClass>* list) override;
  void CurrentState(void* buffer) override;
  void listActions(List<BaseActionClass>* list) override;
  void listGroups(List<BaseGroupClass>* list) override;
  void SetState(void* buffer) override;
  int StateSize() override;
  bool CompareState(void* a, void* b) override;
  void listActions(const char* name, List<BaseActionClass>* list) override;
  void listSVs(const char* model, const char* sv, List<BaseStateVariableClass>* svs,
               List<BaseModelClass>* models) override;
  void printState(std::ostream* out) override;
  using BaseModelClass::printState;
  BaseStateVariableClass** GetLocalStateVariables(std::ostream* out) override;
  int GetModelType() override { return 1; }
  int GetNumberOfChildren() override { return 0; }
  BaseModelClass* GetChild(int i) override;  // trap
  void GetLocalActions(slist& list) override;
  void GetGlobalActions(slist& list) override;
  bool HasLocalState() override { return StateSize() > 0; }
  void GetLocalState(State* state) override;
  void SetLocalState(const State* state) override;
  void ConstructLocalState(State*& state) override;
  void DestructLocalState(State* state) override;

  void PrintSANModelInfo();

  int getNumPlaces() const { return numPlaces; }
  int getNumReadOnlyPlaces() const { return numReadOnlyPlaces; }
  BaseStateVariableClass** getPlaces() const { return places; }
  BaseStateVariableClass** getReadOnlyPlaces() const { return readOnlyPlaces; }

 protected:
  BaseStateVariableClass** places;          // owned array
  BaseStateVariableClass** readOnlyPlaces;  // owned array
  int numReadOnlyPlaces;
  int numPlaces;

 private:
  void freeArrays();
};

bool checkLocalSVs(SANModel* model, Place** places);
bool checkReadOnlyPlaces(SANModel* model, BaseStateVariableClass** readOnly);
bool checkLocalActions(SANModel* model, Activity** activities);

#endif  // VELMOR_FRAMEWORK_SANMODEL_H
