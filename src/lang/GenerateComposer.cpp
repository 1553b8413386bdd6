// GenerateComposer: the class of one rep or join node: its children, its
// shared places and the sharing calls in the fixed order.
#include <sstream>

#include "lang/ExprCpp.h"
#include "lang/GeneratorParts.h"

namespace lang {

std::string NodeClass(const Model& m, const std::string& node) {
  int s = m.FindSubmodel(node);
  if (s >= 0) return SanClass(m.submodels[s]);
  if (node == m.topNode) return m.name + "_modelRJ";
  return m.name + "_modelRJ__" + node;
}

namespace {

std::string ShareClass(const Share& sh) {
  return sh.structClass.empty() ? PlaceClass(sh.type) : sh.structClass;
}

// The condition under which a child's offered place exists.
std::string HasPlace(const Model& m, const std::string& child, const std::string& place) {
  std::string cond = child + "->getNumStateVariables() > 0";
  if (m.FindSubmodel(child) < 0) cond += " && " + child + "->" + place + " != nullptr";
  return cond;
}

void SharedNames(const Composer& c, const std::string& cls, std::ostringstream& out) {
  if (c.shares.empty()) return;
  out << "namespace {\n";
  for (size_t i = 0; i < c.shares.size(); ++i) {
    out << "char k" << cls << "_Shared" << i << "[] = \"" << c.shares[i].name << "\";\n";
  }
  out << "}  // namespace\n";
  out << "char* " << cls << "__SharedNames[" << c.shares.size() << "] = {";
  for (size_t i = 0; i < c.shares.size(); ++i) {
    out << (i ? ", " : "") << "k" << cls << "_Shared" << i;
  }
  out << "};\n\n";
}

void GenerateJoin(const Model& m, const Composer& c, const std::string& cls, GeneratedCode& out) {
  std::ostringstream h, s;
  h << "// Join \"" << c.name << "\".\n";
  h << "class " << cls << " : public Join {\n public:\n  " << cls << "();\n";
  h << "  " << cls << "(const " << cls << "&) = delete;  // owns its children\n";
  h << "  " << cls << "& operator=(const " << cls << "&) = delete;\n";
  h << "  ~" << cls << "() override;\n\n";
  for (const std::string& k : c.children) h << "  " << NodeClass(m, k) << "* " << k << ";\n";
  for (const Share& sh : c.shares)
    h << "  " << ShareClass(sh) << "* " << sh.name << ";  // null when no child has state\n";
  if (!c.shares.empty()) h << "\n private:\n  void SharePlaces();\n";
  h << "};\n\n";

  SharedNames(c, cls, s);
  s << cls << "::" << cls << "()\n    : Join(\"" << c.name << "\", " << c.children.size() << ", "
    << c.shares.size() << ", " << (c.shares.empty() ? "nullptr" : cls + "__SharedNames") << ")";
  for (const std::string& k : c.children) s << ",\n      " << k << "(nullptr)";
  for (const Share& sh : c.shares) s << ",\n      " << sh.name << "(nullptr)";
  s << " {\n";
  for (size_t i = 0; i < c.children.size(); ++i) {
    const std::string& k = c.children[i];
    s << "  " << k << " = Allocate<" << NodeClass(m, k) << ">();\n";
    s << "  " << k << "->DefineName(\"" << k << "\");\n";
    s << "  SetChild(" << i << ", " << k << ");\n";
  }
  s << "  SetupActions();\n";
  if (!c.shares.empty()) {
    s << "  if (AllChildrenEmpty()) {\n    numSharedStateVariables = 0;\n  } else {\n"
         "    SharePlaces();\n  }\n";
  }
  s << "  Setup();\n}\n\n";
  s << cls << "::~" << cls << "() {\n";
  for (const Share& sh : c.shares) s << "  delete " << sh.name << ";\n";
  for (const std::string& k : c.children) s << "  delete " << k << ";\n";
  s << "}\n\n";
  if (!c.shares.empty()) {
    s << "void " << cls << "::SharePlaces() {\n";
    for (const Share& sh : c.shares) {
      s << "  " << sh.name << " = Allocate<" << ShareClass(sh) << ">(\"" << sh.name << "\");\n";
      s << "  addSharedPtr(" << sh.name << ", \"" << sh.name << "\");\n";
      for (const ShareMember& mem : sh.members) {
        std::string childPlace = mem.child + "->" + mem.place;
        s << "  if (" << HasPlace(m, mem.child, mem.place) << ") {\n";
        s << "    " << sh.name << "->ShareWith(" << childPlace << ");\n";
        s << "    addSharingInfo(" << childPlace << ", " << sh.name << ", " << mem.child << ");\n";
        s << "  }\n";
      }
    }
    s << "}\n\n";
  }
  out.header += h.str();
  out.source += s.str();
}

void GenerateRep(const Model& m, const Composer& c, const std::string& cls, GeneratedCode& out) {
  std::ostringstream h, s;
  const std::string& child = c.children[0];
  std::string childCls = NodeClass(m, child);
  h << "// Rep \"" << c.name << "\" of " << child << ".\n";
  h << "class " << cls << " : public Rep {\n public:\n  " << cls << "();\n";
  h << "  " << cls << "(const " << cls << "&) = delete;  // owns its replicas\n";
  h << "  " << cls << "& operator=(const " << cls << "&) = delete;\n";
  h << "  ~" << cls << "() override;\n\n";
  h << "  int NumReplicas() const { return NumChildren; }\n";
  h << "  // REQUIRES: 0 <= i < NumReplicas().\n";
  h << "  " << childCls << "* Replica(int i) const { return InstanceArray[i]; }\n\n";
  for (const Share& sh : c.shares)
    h << "  " << ShareClass(sh) << "* " << sh.name << ";  // null without replicas\n";
  h << "\n private:\n  void CreateReplicas();\n";
  if (!c.shares.empty()) h << "  void ShareReplicaPlaces();\n";
  h << "\n  " << childCls << "** InstanceArray;  // NumChildren replicas, owned\n};\n\n";

  SharedNames(c, cls, s);
  PlaceText none = [](int) { return std::string(); };
  s << cls << "::" << cls << "()\n    : Rep(\"" << c.name << "\", " << ExprToCpp(*c.count, m, none)
    << ", " << c.shares.size() << ", " << (c.shares.empty() ? "nullptr" : cls + "__SharedNames")
    << ")";
  for (const Share& sh : c.shares) s << ",\n      " << sh.name << "(nullptr)";
  s << ",\n      InstanceArray(nullptr) {\n  CreateReplicas();\n  SetupActions();\n";
  if (!c.shares.empty()) {
    s << "  if (NumChildren >= 1) {\n    if (AllChildrenEmpty()) {\n"
         "      numSharedStateVariables = 0;\n    } else {\n      ShareReplicaPlaces();\n"
         "    }\n  }\n";
  }
  s << "  Setup(\"" << child << "\");\n}\n\n";
  s << cls << "::~" << cls << "() {\n";
  for (const Share& sh : c.shares) s << "  delete " << sh.name << ";\n";
  s << "  for (int i = 0; i < NumChildren; i++) delete InstanceArray[i];\n"
       "  delete[] InstanceArray;\n}\n\n";
  s << "void " << cls << "::CreateReplicas() {\n  InstanceArray = AllocateArray<" << childCls
    << "*>(NumChildren);\n"
       "  for (int i = 0; i < NumChildren; i++) {\n    InstanceArray[i] = Allocate<"
    << childCls << ">();\n    SetChild(i, InstanceArray[i]);\n  }\n}\n\n";
  if (!c.shares.empty()) {
    s << "void " << cls << "::ShareReplicaPlaces() {\n  " << childCls
      << "* first = InstanceArray[0];\n";
    for (const Share& sh : c.shares) {
      s << "  " << sh.name << " = Allocate<" << ShareClass(sh) << ">(\"" << sh.name << "\");\n";
      s << "  addSharedPtr(" << sh.name << ", \"" << sh.name << "\");\n";
      s << "  " << sh.name << "->ShareWith(first->" << sh.name << ");\n";
    }
    for (const Share& sh : c.shares) {
      s << "  for (int i = 0; i < NumChildren; i++) {\n    addSharingInfo(InstanceArray[i]->"
        << sh.name << ", " << sh.name << ", nullptr);\n  }\n";
    }
    s << "  for (int i = 1; i < NumChildren; i++) {\n";
    for (const Share& sh : c.shares) {
      // A structure shares with one that is already shared only as the
      // caller: the first replica's takes in the others.
      if (sh.structClass.empty()) {
        s << "    InstanceArray[i]->" << sh.name << "->ShareWith(first->" << sh.name << ");\n";
      } else {
        s << "    first->" << sh.name << "->ShareWith(InstanceArray[i]->" << sh.name << ");\n";
      }
    }
    s << "  }\n}\n\n";
  }
  out.header += h.str();
  out.source += s.str();
}

}  // namespace

void GenerateComposer(const Model& m, const Composer& c, GeneratedCode& out) {
  std::string cls = NodeClass(m, c.name);
  if (c.kind == Composer::kJoin) {
    GenerateJoin(m, c, cls, out);
  } else {
    GenerateRep(m, c, cls, out);
  }
}

}  // namespace lang
