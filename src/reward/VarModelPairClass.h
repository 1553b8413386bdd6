// VarModelPairClass: a state-variable name and the name of the submodel
// holding it, which a reward function reads. Not thread-safe.
#ifndef VELMOR_REWARD_VARMODELPAIRCLASS_H
#define VELMOR_REWARD_VARMODELPAIRCLASS_H

// A state-variable name and the name of the submodel that holds it. Owns
// both copies (made with CopyOwnedString, released with ReleaseOwnedString); null until set.
class VarModelPairClass {
 public:
  VarModelPairClass() = default;
  VarModelPairClass(const VarModelPairClass&) = delete;  // owns its strings
  VarModelPairClass& operator=(const VarModelPairClass&) = delete;
  ~VarModelPairClass();

  // Replaces both names with copies of the arguments.
  void SetPair(const char* variable, const char* model);
  const char* GetVariableName() const { return VariableName; }
  const char* GetModelName() const { return ModelName; }

 private:
  char* VariableName = nullptr;
  char* ModelName = nullptr;
};

#endif  // VELMOR_REWARD_VARMODELPAIRCLASS_H
