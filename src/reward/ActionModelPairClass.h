// ActionModelPairClass: the action that earns an impulse reward and the
// name of the submodel it lives in. Not thread-safe.
#ifndef VELMOR_REWARD_ACTIONMODELPAIRCLASS_H
#define VELMOR_REWARD_ACTIONMODELPAIRCLASS_H

// Owns copies of both names (CopyOwnedString / ReleaseOwnedString); null until set.
class ActionModelPairClass {
 public:
  ActionModelPairClass() = default;
  ActionModelPairClass(const ActionModelPairClass&) = delete;  // owns its strings
  ActionModelPairClass& operator=(const ActionModelPairClass&) = delete;
  ~ActionModelPairClass();

  // Replaces both names with copies of the arguments.
  void SetPair(const char* action, const char* model);
  const char* GetModelName() const { return ModelName; }
  const char* GetActionName() const { return ActionName; }

 private:
  char* ModelName = nullptr;
  char* ActionName = nullptr;
};

#endif  // VELMOR_REWARD_ACTIONMODELPAIRCLASS_H
