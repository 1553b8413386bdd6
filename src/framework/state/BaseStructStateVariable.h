// BaseStructStateVariable: a record or array state variable whose elements
// are state variables; everything delegates to the fields in order.
// Simulation thread only.
#ifndef VELMOR_FRAMEWORK_STATE_BASESTRUCTSTATEVARIABLE_H
#define VELMOR_FRAMEWORK_STATE_BASESTRUCTSTATEVARIABLE_H

#include <cstdint>
#include <vector>

#include "framework/state/BaseStateVariableClass.h"

// Element-type code of a field (32 bits). Codes above kFloatElement name
// structured elements, whose snapshot size is the field variable's own.
enum ArrayType : std::int32_t {
  kShortElement = 0,   // 2 bytes
  kIntElement = 1,     // 4 bytes
  kCharElement = 2,    // 1 byte
  kDoubleElement = 3,  // 8 bytes
  kFloatElement = 4,   // 4 bytes
  kStructElement = 5   // first structured code
};

// Snapshot bytes of one element of the given type; a structured type
// takes `sv`'s StateSize() (0 when sv is null).
int ArrayTypeSize(ArrayType type, BaseStateVariableClass* sv);

// Ordered fields, each a state variable with its element type. Does not
// own the field variables (the generated structure does); owns the field
// array. Actions only ever see the scalar leaves.
// Invariant: cachedStateSize is -1 or the sum of the fields' sizes.
class BaseStructStateVariable : public BaseStateVariableClass {
 public:
  struct fieldType {
    BaseStateVariableClass* variable;
    ArrayType type;
  };

  BaseStructStateVariable();
  BaseStructStateVariable(const char* name, const char* prefix);
  BaseStructStateVariable(const char* name, const char* prefix, const ArrayType* types, int n);
  ~BaseStructStateVariable() override;

  int StateSize() override;
  void SetState(void* src) override;
  void CurrentState(void* dst) override;
  void printState(std::ostream* out) override;
  using BaseStateVariableClass::printState;
  // REQUIRES: other is a BaseStructStateVariable (assertion "otherStruct").
  void share(BaseStateVariableClass* other) override;
  void appendAffectingAction(BaseActionClass* action) override;
  void addSelfAsEnablingSVToAction(BaseActionClass* action) override;
  void addSelfAsAffectedSVToAction(BaseActionClass* action) override;
  void removeSelfFromEnablingSVOfAction(BaseActionClass* action) override;
  void removeSelfFromAffectedSVOfAction(BaseActionClass* action) override;
  List<BaseStateVariableClass>* getLeafNodes() override;
  int getNumLeafNodes() override;
  bool isLeafNode() override;
  void appendEnabledAction(BaseActionClass* action) override;

  // REQUIRES: other has at least as many fields as this variable.
  virtual void ShareWith(BaseStructStateVariable* other);
  // Makes the field for one element; a generated structure overrides it
  // to create the element variable. The base returns the pair as given.
  virtual fieldType field(ArrayType type, BaseStateVariableClass* sv) const;

  void makeArrays(const ArrayType* types, int n);
  int calculateStateSize();
  ArrayType getType(int i) const { return fields[static_cast<size_t>(i)].type; }
  BaseStateVariableClass* getField(int i) const { return fields[static_cast<size_t>(i)].variable; }
  int getSize() const { return static_cast<int>(fields.size()); }

 protected:
  int cachedStateSize;
  std::vector<fieldType> fields;

 private:
  // The owner of the action lists this variable points at, when that is
  // another variable (null while it points at its own), and the variables
  // that point at this one's: every member of a class that has been shared
  // into another follows the new owner's lists. Not owned.
  BaseStructStateVariable* owner = nullptr;
  std::vector<BaseStructStateVariable*> followers;
};

#endif  // VELMOR_FRAMEWORK_STATE_BASESTRUCTSTATEVARIABLE_H
