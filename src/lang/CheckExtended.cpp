// CheckExtended: sizes, leaves and element accesses of extended places.
#include "lang/CheckExtended.h"

#include <set>

#include "lang/ExprCpp.h"

namespace lang {

namespace {

std::string FieldList(const ExtendedPlace& x) {
  std::string out;
  for (size_t f = 0; f < x.fields.size(); ++f) out += (f ? ", " : "") + x.fields[f].name;
  return out;
}

bool Real(const std::string& type) { return type == "double" || type == "float"; }

// Members of the generated structure classes and their framework bases: a
// field of one of these names would hide them.
const std::set<std::string> kStructMemberNames = {"ArrayTypeSize",
                                                  "BaseStateVariableClass",
                                                  "BaseStructStateVariable",
                                                  "CopyStateVariableName",
                                                  "CurrentState",
                                                  "ForgetReplacements",
                                                  "ReplacementMark",
                                                  "SetName",
                                                  "SetPrefix",
                                                  "SetState",
                                                  "ShareWith",
                                                  "StateSize",
                                                  "SVAffectingActions",
                                                  "SVEnabledActions",
                                                  "addSelfAsAffectedSVToAction",
                                                  "addSelfAsEnablingSVToAction",
                                                  "affectingReplaced",
                                                  "appendAffectingAction",
                                                  "appendEnabledAction",
                                                  "cachedStateSize",
                                                  "calculateStateSize",
                                                  "copyAffectingActions",
                                                  "copyEnabledActions",
                                                  "enabledReplaced",
                                                  "field",
                                                  "fieldType",
                                                  "fields",
                                                  "functionallyShared",
                                                  "getAffectingAction",
                                                  "getAffectingActions",
                                                  "getEnabledAction",
                                                  "getEnabledActions",
                                                  "getField",
                                                  "getFunctionallyShared",
                                                  "getLeafNodes",
                                                  "getName",
                                                  "getNumAffectingActions",
                                                  "getNumEnabledActions",
                                                  "getNumLeafNodes",
                                                  "getPrefix",
                                                  "getShared",
                                                  "getSharingCount",
                                                  "getSize",
                                                  "getStored",
                                                  "getType",
                                                  "isLeafNode",
                                                  "makeArrays",
                                                  "name",
                                                  "prefix",
                                                  "printAffectingActions",
                                                  "printEnabledActions",
                                                  "printState",
                                                  "printStateVal",
                                                  "removeAffectingAction",
                                                  "removeEnabledAction",
                                                  "removeSelfFromAffectedSVOfAction",
                                                  "removeSelfFromEnablingSVOfAction",
                                                  "replaceAffectingAction",
                                                  "replaceEnabledAction",
                                                  "setAffectingActions",
                                                  "setEnabledActions",
                                                  "setFunctionallyShared",
                                                  "setShared",
                                                  "setStored",
                                                  "share",
                                                  "shared",
                                                  "sharingCount",
                                                  "stored",
                                                  "element"};

}  // namespace

std::string LeafName(const ExtendedPlace& x, int element, int field) {
  std::string out = x.name;
  if (x.IsArray()) out += "[" + std::to_string(element) + "]";
  if (!x.fields.empty()) out += "." + x.fields[static_cast<size_t>(field)].name;
  return out;
}

std::string ExtendedShape(const ExtendedPlace& x) {
  std::string out = x.type;
  if (!x.fields.empty()) {
    out = "{";
    for (size_t f = 0; f < x.fields.size(); ++f) {
      out += (f ? ", " : "") + x.fields[f].name + " : " + x.fields[f].type;
    }
    out += "}";
  }
  if (x.IsArray()) out += "[" + std::to_string(x.count) + "]";
  return out;
}

void ExpandExtended(Submodel& s, int xi, Diagnostics& d) {
  ExtendedPlace& x = s.extended[static_cast<size_t>(xi)];
  x.count = 1;
  if (x.size) {
    double v = 0;
    if (x.size->type == ValueType::kReal || x.size->type == ValueType::kBool) {
      d.Error(x.size->pos, "an array size must be an integer");
    } else if (!ConstantValue(*x.size, v)) {
      d.Error(x.size->pos, "an array size must be a constant (it cannot read places or globals)");
    } else if (v < 1) {
      d.Error(x.size->pos, "an array has at least one element (size " + ValueText(v) + ")");
    } else if (v > kMaxElements) {
      d.Error(x.size->pos, "an array has at most " + std::to_string(kMaxElements) +
                               " elements (size " + ValueText(v) + ")");
    } else {
      x.count = static_cast<int>(v);
    }
  }
  std::set<std::string> names;
  for (const Field& f : x.fields) {
    if (!names.insert(f.name).second) {
      d.Error(f.pos, "duplicate field '" + f.name + "' in place '" + x.name + "'");
    } else if (kStructMemberNames.count(f.name) || f.name == x.name + "Element" ||
               f.name == x.name + "Struct") {
      d.Error(f.pos, "'" + f.name +
                         "' cannot be used as a field name (the generated code uses that name)");
    }
  }
  if (x.initialList && static_cast<int>(x.initial.size()) != x.count) {
    d.Error(x.initialPos, "array '" + x.name + "' has " + std::to_string(x.count) + " element" +
                              (x.count == 1 ? "" : "s") + " but " +
                              std::to_string(x.initial.size()) + " initial value" +
                              (x.initial.size() == 1 ? "" : "s"));
  }
  x.firstLeaf = static_cast<int>(s.places.size());
  for (int e = 0; e < x.count; ++e) {
    for (int f = 0; f < x.FieldsPerElement(); ++f) {
      Place leaf;
      leaf.name = LeafName(x, e, f);
      leaf.pos = x.pos;
      leaf.type = x.fields.empty() ? x.type : x.fields[static_cast<size_t>(f)].type;
      leaf.extended = xi;
      s.places.push_back(std::move(leaf));
    }
  }
}

bool ResolveElement(Expr& e, const Submodel& s, Diagnostics& d) {
  int xi = s.FindExtended(e.text);
  bool indexed = !e.args.empty();
  if (xi < 0) {
    if (s.FindPlace(e.text) < 0) {
      d.Error(e.pos, "'" + e.text + "' is not a place of submodel '" + s.name + "'");
    } else {
      d.Error(e.pos, "place '" + e.text + "' is " + (indexed ? "not an array" : "not a record"));
    }
    return false;
  }
  const ExtendedPlace& x = s.extended[static_cast<size_t>(xi)];
  if (indexed && !x.IsArray()) {
    d.Error(e.pos, "place '" + e.text + "' is not an array");
    return false;
  }
  if (!indexed && x.IsArray()) {
    d.Error(e.pos, "array '" + e.text + "' needs an index (" + e.text + "[i])");
    return false;
  }
  int field = 0;
  if (!e.field.empty()) {
    if (x.fields.empty()) {
      d.Error(e.pos, "'" + e.text + "' has no fields");
      return false;
    }
    field = -1;
    for (size_t f = 0; f < x.fields.size(); ++f) {
      if (x.fields[f].name == e.field) field = static_cast<int>(f);
    }
    if (field < 0) {
      d.Error(e.pos, "'" + e.text + "' has no field '" + e.field + "' (" + FieldList(x) + ")");
      return false;
    }
  } else if (!x.fields.empty()) {
    d.Error(e.pos, "record '" + e.text + "' needs a field (" + FieldList(x) + ")");
    return false;
  }
  e.ref = Expr::kPlace;
  e.extended = xi;
  e.leaves.clear();
  const std::string& type = x.fields.empty() ? x.type : x.fields[static_cast<size_t>(field)].type;
  e.type = Real(type) ? ValueType::kReal : ValueType::kInt;
  int per = x.FieldsPerElement();
  if (!indexed) {
    e.index = x.firstLeaf + field;
    e.leaves.push_back(e.index);
    return true;
  }
  const Expr& index = *e.args[0];
  if (index.type != ValueType::kInt) {
    d.Error(index.pos,
            "an index must be an integer, not " +
                std::string(index.type == ValueType::kReal ? "a real number" : "a condition"));
    return false;
  }
  double v = 0;
  if (ConstantValue(index, v)) {
    if (v < 0 || v >= x.count) {
      d.Error(index.pos, "index " + ValueText(v) + " is outside '" + x.name + "' (elements 0 to " +
                             std::to_string(x.count - 1) + ")");
      return false;
    }
    e.index = x.firstLeaf + static_cast<int>(v) * per + field;
    e.leaves.push_back(e.index);
    return true;
  }
  e.index = -1;
  for (int k = 0; k < x.count; ++k) e.leaves.push_back(x.firstLeaf + k * per + field);
  return true;
}

}  // namespace lang
