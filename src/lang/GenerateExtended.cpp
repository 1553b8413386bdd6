// GenerateExtended: the structure classes of extended places and the C++
// names of their leaves, in the submodel class, its activities and the
// reward workers.
#include <sstream>

#include "lang/ExprCpp.h"
#include "lang/GeneratorParts.h"

namespace lang {

namespace {

const char* ElementCode(const std::string& type) {
  if (type == "int") return "kIntElement";
  if (type == "char") return "kCharElement";
  if (type == "double") return "kDoubleElement";
  if (type == "float") return "kFloatElement";
  return "kShortElement";
}

// Element e and field f of leaf p of extended place x.
void LeafCoordinates(const Submodel& s, int p, const ExtendedPlace*& x, int& e, int& f) {
  x = &s.extended[static_cast<size_t>(s.places[static_cast<size_t>(p)].extended)];
  int k = p - x->firstLeaf;
  e = k / x->FieldsPerElement();
  f = k % x->FieldsPerElement();
}

std::string FieldName(const ExtendedPlace& x, int f) {
  return x.fields.empty() ? "" : x.fields[static_cast<size_t>(f)].name;
}

std::string ColumnName(const ExtendedPlace& x, int f) {
  return x.fields.empty() ? x.name : x.name + "__" + FieldName(x, f);
}

std::string Index(const ExtendedPlace& x, const std::string& index, const std::string& who) {
  return "ElementIndex(" + index + ", " + std::to_string(x.count) + ", \"" + who + "\", \"" +
         x.name + "\")";
}

int FieldOf(const ExtendedPlace& x, const Expr& e) {
  for (size_t f = 0; f < x.fields.size(); ++f) {
    if (x.fields[f].name == e.field) return static_cast<int>(f);
  }
  return 0;
}

std::string Initial(const Model& m, const Expr* e) {
  PlaceText none = [](int) { return std::string(); };
  return e ? ExprToCpp(*e, m, none) : "0";
}

// The declarations of the fields of one record (or element) class.
void FieldMembers(const ExtendedPlace& x, std::ostringstream& h) {
  for (const Field& f : x.fields) h << "    " << PlaceClass(f.type) << "* " << f.name << ";\n";
}

void Constructors(const std::string& name, const std::string& arg, std::ostringstream& h) {
  h << "    explicit " << name << "(const char* " << arg << ");\n";
  h << "    " << name << "(const " << name << "&) = delete;  // owns its fields\n";
  h << "    " << name << "& operator=(const " << name << "&) = delete;\n";
  h << "    ~" << name << "() override;\n";
}

// The statements creating the fields of a record whose leaves are named
// prefix.FIELD.
void MakeFields(const Model& m, const ExtendedPlace& x, const std::string& prefix,
                const std::string& owner, std::ostringstream& c) {
  for (const Field& f : x.fields) {
    c << "  " << owner << f.name << " = Allocate<" << PlaceClass(f.type) << ">(\"" << prefix << "."
      << f.name << "\", " << Initial(m, f.initial.get()) << ");\n";
    c << "  fields.push_back(fieldType{" << owner << f.name << ", " << ElementCode(f.type)
      << "});\n";
  }
}

}  // namespace

bool AnyExtendedPlace(const Model& m) {
  for (const Submodel& s : m.submodels) {
    if (!s.extended.empty()) return true;
  }
  return false;
}

std::string StructClass(const ExtendedPlace& x) { return x.name + "Struct"; }

std::string LeafPath(const Submodel& s, int p) {
  const Place& leaf = s.places[static_cast<size_t>(p)];
  if (leaf.extended < 0) return leaf.name;
  const ExtendedPlace* x;
  int e, f;
  LeafCoordinates(s, p, x, e, f);
  std::string out = x->name;
  if (x->IsArray()) out += "->element[" + std::to_string(e) + "]";
  if (!x->fields.empty()) out += "->" + FieldName(*x, f);
  return out;
}

std::string CacheOf(const Submodel& s, int p) {
  const Place& leaf = s.places[static_cast<size_t>(p)];
  if (leaf.extended < 0) return leaf.name;
  const ExtendedPlace* x;
  int e, f;
  LeafCoordinates(s, p, x, e, f);
  return ColumnName(*x, f) + (x->IsArray() ? "[" + std::to_string(e) + "]" : "");
}

std::string TopName(const Submodel& s, int p) {
  const Place& leaf = s.places[static_cast<size_t>(p)];
  return leaf.extended < 0 ? leaf.name : s.extended[static_cast<size_t>(leaf.extended)].name;
}

std::string ComputedCache(const Submodel& s, const Expr& e, const std::string& index,
                          const std::string& who) {
  const ExtendedPlace& x = s.extended[static_cast<size_t>(e.extended)];
  return "*" + ColumnName(x, FieldOf(x, e)) + "[" + Index(x, index, who) + "]";
}

std::string ComputedLeaf(const Submodel& s, const Expr& e, const std::string& index,
                         const std::string& who) {
  const ExtendedPlace& x = s.extended[static_cast<size_t>(e.extended)];
  std::string out = x.name + "->element[" + Index(x, index, who) + "]";
  if (!x.fields.empty()) out += "->" + e.field;
  return out;
}

std::string ColumnCaches(const Submodel& s, const std::vector<int>& places) {
  std::string out;
  for (size_t xi = 0; xi < s.extended.size(); ++xi) {
    const ExtendedPlace& x = s.extended[xi];
    for (int f = 0; f < x.FieldsPerElement(); ++f) {
      bool used = false;
      for (int e = 0; e < x.count && !used; ++e) {
        int leaf = x.firstLeaf + e * x.FieldsPerElement() + f;
        for (int p : places) used = used || p == leaf;
      }
      if (!used) continue;
      std::string type = x.fields.empty() ? x.type : x.fields[static_cast<size_t>(f)].type;
      std::string cache = type == "short" ? "CachedMark" : "CachedValue<" + type + ">";
      out += "    " + cache + " " + ColumnName(x, f) +
             (x.IsArray() ? "[" + std::to_string(x.count) + "]" : "") + ";\n";
    }
  }
  return out;
}

void StructClasses(const Model& m, const Submodel& s, std::ostringstream& h,
                   std::ostringstream& c) {
  const std::string san = SanClass(s);
  for (const ExtendedPlace& x : s.extended) {
    const std::string cls = StructClass(x);
    const std::string q = san + "::" + cls;
    bool records = !x.fields.empty();
    if (records && x.IsArray()) {
      // The element record of an array of records.
      const std::string el = x.name + "Element";
      h << "  // One element of array place \"" << x.name << "\": its fields are leaves.\n";
      h << "  class " << el << " final : public BaseStructStateVariable {\n   public:\n";
      Constructors(el, "elementName", h);
      h << "\n";
      FieldMembers(x, h);
      h << "  };\n";
      c << san << "::" << el << "::" << el << "(const char* elementName)\n"
        << "    : BaseStructStateVariable(elementName, \"\") {\n";
      for (const Field& f : x.fields) {
        c << "  " << f.name << " = Allocate<" << PlaceClass(f.type)
          << ">((std::string(elementName) + \"." << f.name << "\").c_str(), "
          << Initial(m, f.initial.get()) << ");\n";
        c << "  fields.push_back(fieldType{" << f.name << ", " << ElementCode(f.type) << "});\n";
      }
      c << "}\n\n";
      c << san << "::" << el << "::~" << el << "() {\n";
      for (const Field& f : x.fields) c << "  delete " << f.name << ";\n";
      c << "}\n\n";
    }
    if (x.IsArray()) {
      h << "  // Array place \"" << x.name << "\" of " << x.count << " "
        << (records ? "records" : x.type) << " (elements 0 to " << x.count - 1 << ").\n";
    } else {
      h << "  // Record place \"" << x.name << "\": its fields are leaves.\n";
    }
    h << "  class " << cls << " final : public BaseStructStateVariable {\n   public:\n";
    Constructors(cls, "placeName", h);
    h << "\n";
    if (!x.IsArray()) {
      FieldMembers(x, h);
    } else {
      std::string elCls = records ? x.name + "Element" : PlaceClass(x.type);
      h << "    " << elCls << "* element[" << x.count << "];\n";
    }
    h << "  };\n";

    c << q << "::" << cls << "(const char* placeName)\n"
      << "    : BaseStructStateVariable(placeName, \"\") {\n";
    if (!x.IsArray()) {
      MakeFields(m, x, x.name, "", c);
    } else {
      for (int e = 0; e < x.count; ++e) {
        std::string at = "element[" + std::to_string(e) + "]";
        std::string leafName = x.name + "[" + std::to_string(e) + "]";
        if (records) {
          c << "  " << at << " = Allocate<" << x.name << "Element>(\"" << leafName << "\");\n";
          c << "  fields.push_back(fieldType{" << at << ", kStructElement});\n";
        } else {
          const Expr* init = x.initial.empty()
                                 ? nullptr
                                 : x.initial[x.initialList ? static_cast<size_t>(e) : 0].get();
          c << "  " << at << " = Allocate<" << PlaceClass(x.type) << ">(\"" << leafName << "\", "
            << Initial(m, init) << ");\n";
          c << "  fields.push_back(fieldType{" << at << ", " << ElementCode(x.type) << "});\n";
        }
      }
    }
    c << "}\n\n";
    c << q << "::~" << cls << "() {\n";
    if (x.IsArray()) {
      c << "  for (auto* e : element) delete e;\n";
    } else {
      for (const Field& f : x.fields) c << "  delete " << f.name << ";\n";
    }
    c << "}\n\n";
  }
  if (!s.extended.empty()) h << "\n";
}

std::vector<std::string> DependencyNames(const Submodel& s, const std::vector<int>& places) {
  std::vector<std::string> out;
  for (int p : places) {
    std::string n = TopName(s, p);
    bool seen = false;
    for (const std::string& o : out) seen = seen || o == n;
    if (!seen) out.push_back(n);
  }
  return out;
}

}  // namespace lang
