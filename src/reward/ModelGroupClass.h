// ModelGroupClass: the submodel instances one reward worker reads, one per
// model dependency of its variable. Not thread-safe; built once, read often.
#ifndef VELMOR_REWARD_MODELGROUPCLASS_H
#define VELMOR_REWARD_MODELGROUPCLASS_H

class BaseModelClass;

// Owns its array of model pointers, not the models.
// Invariant: slots 0 .. NumModels-1 exist (null until set).
class ModelGroupClass {
 public:
  ModelGroupClass() = default;
  ModelGroupClass(const ModelGroupClass&) = delete;  // owns its array
  ModelGroupClass& operator=(const ModelGroupClass&) = delete;
  ~ModelGroupClass();

  // Replaces any earlier array by n null slots.
  void CreateModelList(int n);
  // REQUIRES: 0 <= i < GetNumModels().
  void SetModel(int i, BaseModelClass* model);
  BaseModelClass* GetModel(int i) const { return Models[i]; }
  int GetNumModels() const { return NumModels; }
  // Whether model is one of the slots (pointer equality).
  bool IsDependentOnModel(const BaseModelClass* model) const;

 private:
  BaseModelClass** Models = nullptr;
  int NumModels = 0;
};

#endif  // VELMOR_REWARD_MODELGROUPCLASS_H
