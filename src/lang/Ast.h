// Ast: the parsed form of a model file (expressions, statements, submodels,
// composition, reward variables, study) and the facts the checker derives
// (resolved names, expression types, arcs, group ids). Plain data; not
// thread-safe.
#ifndef VELMOR_LANG_AST_H
#define VELMOR_LANG_AST_H

#include <memory>
#include <string>
#include <vector>

namespace lang {

struct Pos {
  int line = 0;
  int col = 0;
};

enum class ValueType { kBool, kInt, kReal };

// One expression node. kNumber keeps its text as written (it is emitted
// unchanged); kName is resolved by the checker to a place or a global.
// kElement is an element or field of an extended place: text is the place,
// args[0] the index when there is one, field the field name or "".
struct Expr {
  enum Kind { kNumber, kBool, kName, kUnary, kBinary, kCond, kCall, kElement };
  Kind kind = kNumber;
  Pos pos;
  std::string text;       // number text, name, operator ("+", "&&", "!", "-"), function
  std::string qualifier;  // kName written SUBMODEL.NAME: the submodel ("" when none)
  bool real = false;      // kNumber: has a '.' or an exponent
  std::vector<std::unique_ptr<Expr>> args;
  // Filled by the checker.
  enum Ref { kNone, kPlace, kGlobal };
  Ref ref = kNone;
  int index = -1;     // place or global index; kElement: the leaf, -1 when computed
  int submodel = -1;  // kPlace or kElement in a reward variable: the place's submodel index
  ValueType type = ValueType::kInt;
  // kElement, filled by the checker: the extended place and every leaf the
  // access may touch (one for a constant index, a column for a computed one).
  std::string field;
  int extended = -1;
  std::vector<int> leaves;
};
using ExprPtr = std::unique_ptr<Expr>;

struct Stmt {
  enum Kind { kAssign, kIf };
  Kind kind = kAssign;
  Pos pos;
  std::string op;     // "=", "+=", "-="
  std::string place;  // kAssign target
  int placeIndex = -1;
  ExprPtr target;  // kAssign to an element or field (kElement), else null
  ExprPtr expr;    // value or condition
  std::vector<Stmt> thenBody, elseBody;
};

// One item of an activity's or a case's completion effect, in written order.
struct EffectItem {
  enum Kind { kInput, kOutput, kDo };
  Kind kind = kDo;
  Pos pos;
  std::string place;
  int placeIndex = -1;
  ExprPtr target;  // an arc on an element or field (kElement), else null
  int count = 1;
  std::vector<Stmt> body;  // kDo
};

struct Case {
  Pos pos;
  ExprPtr weight;
  std::vector<EffectItem> effects;
};

struct Activity {
  std::string name;
  Pos pos;
  bool timed = true;
  std::string distribution;  // "" for instantaneous
  Pos distributionPos;
  std::vector<ExprPtr> delayArgs;
  std::vector<ExprPtr> whens;
  std::vector<EffectItem> effects;
  std::vector<Case> cases;
  ExprPtr watch, reactivate;
  ExprPtr resample;  // resample when EXPR changes
  int rank = 1;
  bool hasRank = false;
  // Derived: per action (one per case, or one), affected and enabling
  // place indices in arc order; the group id.
  std::vector<std::vector<int>> affected;
  std::vector<int> enabling;
  int groupId = -1;
};

struct Place {
  std::string name;
  Pos pos;
  std::string type = "short";  // short (tokens), int, char, double or float
  Pos typePos;
  ExprPtr initial;  // null: 0
  bool read = false;
  int extended = -1;  // a leaf of Submodel::extended[extended]; -1: a place of its own
};

// A field of a record place: a typed value with its initial value.
struct Field {
  std::string name;
  Pos pos;
  std::string type = "short";
  Pos typePos;
  ExprPtr initial;  // null: 0
};

// An array place, a record place, or an array of records. Its leaves (the
// scalar places actions see) are appended to Submodel::places by the
// checker, element by element and, within an element, field by field.
struct ExtendedPlace {
  std::string name;
  Pos pos;
  ExprPtr size;                // null: not an array
  std::string type = "short";  // element type when there are no fields
  Pos typePos;
  std::vector<Field> fields;     // non-empty: a record (per element)
  std::vector<ExprPtr> initial;  // one value for every element, or one per element
  bool initialList = false;      // written as { ... }
  Pos initialPos;
  // Derived by the checker.
  int count = 1;       // elements (1 for a record)
  int firstLeaf = -1;  // index of the first leaf in Submodel::places
  bool read = false;
  bool IsArray() const { return size != nullptr; }
  int FieldsPerElement() const { return fields.empty() ? 1 : static_cast<int>(fields.size()); }
};

struct Submodel {
  std::string name;
  Pos pos;
  std::vector<Place> places;  // own places, then the leaves of extended places
  std::vector<ExtendedPlace> extended;
  std::vector<Activity> activities;
  int FindPlace(const std::string& n) const;
  int FindExtended(const std::string& n) const;
};

struct ShareMember {
  std::string child, place;
  Pos pos;
};
struct Share {
  std::string name;
  Pos pos;
  bool explicitMembers = false;
  std::vector<ShareMember> members;  // resolved: (child, child's place)
  std::string type = "short";        // derived: the members' place type
  std::string structClass;  // derived for an extended place: the class of the shared structure
};

// A rep or join node.
struct Composer {
  enum Kind { kRep, kJoin };
  Kind kind = kJoin;
  std::string name;
  Pos pos;
  ExprPtr count;  // rep
  std::vector<std::string> children;
  std::vector<Pos> childPos;
  std::vector<Share> shares;
};

// An impulse reward: VALUE earned at each completion of ACTIVITY.
struct Impulse {
  Pos pos;
  std::string submodel;  // the qualifier as written ("" when none)
  std::string activity;
  ExprPtr value;
  // Filled by the checker.
  int submodelIndex = -1;
  int activityIndex = -1;
};

// A reward variable over one or more submodels (`of A, B`). Its rate is
// summed over every combination of copies of the submodels it reads.
struct Reward {
  enum Kind { kInstant, kInterval, kAverage, kSteady };
  std::string name;
  Pos pos;
  std::vector<std::string> submodels;  // as written after `of`
  std::vector<Pos> submodelPos;
  Kind kind = kInstant;
  bool hasKind = false;
  std::vector<std::string> startText, stopText;  // time points as written
  std::vector<double> start, stop;
  ExprPtr rate;  // null when the variable has impulses only
  std::vector<Impulse> impulses;
  // Filled by the checker: the submodels' indices, in `of` order; the
  // places the rate reads, per entry of `submodels`, in first-appearance
  // order; the entries of `submodels` the workers bind, in `of` order.
  std::vector<int> submodelIndex;
  std::vector<std::vector<int>> readPlaces;
  std::vector<int> slots;
};

struct Global {
  std::string name;
  Pos pos;
  std::string type;  // bool short int long float double
};

struct StudyEntry {
  std::string global;
  Pos pos;
  bool ranged = false;
  std::vector<std::string> values;  // value texts (set, or the single value)
  std::string from, to, step;       // range
};

struct Study {
  bool present = false;
  bool range = true;
  Pos pos;
  std::vector<StudyEntry> entries;
  std::vector<std::string> names;  // experiments "A", "B", ...: empty for the default names
  Pos namesPos;
  // Derived: values[g][e] as C++ literal text.
  std::vector<std::vector<std::string>> values;
  int numExps = 1;
};

struct Model {
  std::string file;
  std::string name;
  Pos namePos;
  std::vector<Global> globals;
  std::vector<Submodel> submodels;
  std::vector<Composer> composers;
  std::vector<Reward> rewards;
  Study study;
  std::string top;
  Pos topPos;
  // Derived by the checker: the top node's name, resolved.
  std::string topNode;
  int FindGlobal(const std::string& n) const;
  int FindSubmodel(const std::string& n) const;
  int FindComposer(const std::string& n) const;
};

}  // namespace lang

#endif  // VELMOR_LANG_AST_H
