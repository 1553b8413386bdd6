// TraceFileXML: the XML trace writer.
#include "trace/TraceFileXML.h"

#include <climits>
#include <cstring>
#include <ostream>

#include "trace/TraceModelView.h"

namespace {

void EndLine(std::ostream& os) { os << '\n' << std::flush; }

bool Contains(const std::vector<int>& ids, int id) {
  for (int x : ids) {
    if (x == id) return true;
  }
  return false;
}

}  // namespace

bool TraceFileXML::comp::operator()(const BaseModelClass* a, const BaseModelClass* b) const {
  return traceview::ModelId(a) < traceview::ModelId(b);
}

TraceFileXML::TraceFileXML()
    : batchCounter(-1), currentTime(0.0), headerWritten(false), documentClosed(false) {}

TraceFileXML::TraceFileXML(const char* fileName)
    : TraceFile(fileName),
      batchCounter(-1),
      currentTime(0.0),
      headerWritten(false),
      documentClosed(false) {}

TraceFileXML::TraceFileXML(std::ostream* stream)
    : TraceFile(stream),
      batchCounter(-1),
      currentTime(0.0),
      headerWritten(false),
      documentClosed(false) {}

void TraceFileXML::printHeader(PVModel* model) {
  std::ostream* os = stream();
  if (os == nullptr || batchCounter != -1 || headerWritten) return;
  headerWritten = true;
  *os << "<?xml version=\"1.0\" encoding=\"utf-8\" ?>";
  EndLine(*os);
  *os << "<!DOCTYPE Trace";
  EndLine(*os);
  *os << "  SYSTEM \"" << kDocumentType << "\">";
  EndLine(*os);
  *os << "<Trace model=\"Example_Velmor\" generator=\"manually_generated\" >";
  EndLine(*os);
  *os << "<Comment> Purpose of this trace: demonstration </Comment>";
  EndLine(*os);
  *os << "<!-- TESTING declaration of processes -->";
  EndLine(*os);
  *os << "<!-- Trace file of model Example_Velmor -->";
  EndLine(*os);
  BaseModelClass* top = model == nullptr ? nullptr : traceview::TopModel(model);
  if (top != nullptr) printHeader(top, traceview::ModelId(top));
  *os << "<Interactions>";
  EndLine(*os);
  if (top != nullptr) printHeaderInteractions(top);
  *os << "</Interactions>";
  EndLine(*os);
  *os << "<!-- process sequence -->";
  EndLine(*os);
  *os << "<Sequence type=\"StateActionType\">";
  EndLine(*os);
}

void TraceFileXML::printFooter() {
  closeDocument();
  if (batchCounter < 1) batchCounter = 1;
}

void TraceFileXML::printInitialState(BaseModelClass* model) {
  printStateElement(model);
  stateList.clear();
}

void TraceFileXML::printStateElement(BaseModelClass* model) {
  std::ostream* os = stream();
  if (os == nullptr || batchCounter != 0 || model == nullptr) return;
  *os << "<S>";
  EndLine(*os);
  printState(model);
  *os << "</S>";
  EndLine(*os);
}

void TraceFileXML::printState(BaseModelClass* model) {
  if (stream() == nullptr || batchCounter != 0 || model == nullptr) return;
  const int id = traceview::ModelId(model);
  if (model->GetModelType() == 1) {
    const traceview::VariableArray locals = traceview::LocalVariables(model, stream());
    for (int i = 0; i < locals.count; i++) {
      traceview::ForEachLeaf(locals.items[i], [this, id](BaseStateVariableClass* leaf) {
        if (!leaf->getShared()) printStateLine(id, leaf);
      });
    }
  }
  const traceview::VariableArray shared = traceview::SharedVariables(model);
  for (int i = 0; i < shared.count; i++) {
    traceview::ForEachLeaf(shared.items[i], [this, id](BaseStateVariableClass* leaf) {
      if (!leaf->getShared()) return;
      printStateLine(getModelMap(traceview::FullName(leaf).c_str(), id), leaf);
    });
  }
  const int children = model->GetNumberOfChildren();
  for (int i = 0; i < children; i++) printState(model->GetChild(i));
}

void TraceFileXML::printState(PVModel* model) {
  if (model != nullptr) printStateElement(traceview::TopModel(model));
}

void TraceFileXML::printFireAction(BaseActionClass*, double time) {
  if (batchCounter == 0) currentTime = time;
}

void TraceFileXML::printPreFireAction(BaseActionClass*) {}

void TraceFileXML::printPostFireAction(BaseActionClass* action, BaseActionClass* completed) {
  std::ostream* os = stream();
  if (os == nullptr || batchCounter != 0 || action == nullptr || completed == nullptr ||
      getTraceLevel() < tracelevel::kFirings) {
    return;
  }
  const int modelId = traceview::ModelIdOrNone(traceview::ActionModel(action));
  *os << "<A id=\"a" << traceview::ActionId(completed) << "\" t=\""
      << traceview::FormatTime(currentTime) << "\">";
  EndLine(*os);
  const traceview::VariableArray affected = getTraceLevel() >= tracelevel::kChanges
                                                ? traceview::AffectedVariables(completed)
                                                : traceview::VariableArray{nullptr, 0};
  for (int i = 0; i < affected.count; i++) {
    BaseStateVariableClass* sv = affected.items[i];
    const std::string fullName = traceview::FullName(sv);
    const int processId = sv->getShared() ? getModelMap(fullName.c_str(), modelId) : modelId;
    *os << "  <V id=\"p" << processId << traceview::XmlEscape(fullName) << "\"  val=\"";
    sv->printStateVal(os);
    *os << "\" />";
    EndLine(*os);
  }
  *os << "</A>";
  EndLine(*os);
}

void TraceFileXML::newBatch() {
  const int was = batchCounter;
  if (batchCounter < INT_MAX) batchCounter++;
  if (was == 0) closeDocument();
}

void TraceFileXML::closeDocument() {
  std::ostream* os = stream();
  if (os == nullptr || !headerWritten || documentClosed) return;
  documentClosed = true;
  *os << "</Sequence>";
  EndLine(*os);
  *os << "</Trace>";
  EndLine(*os);
}

void TraceFileXML::printHeader(BaseModelClass* model, int parentId) {
  if (stream() == nullptr || batchCounter != -1 || model == nullptr) return;
  model->SetParentId(parentId);
  const int id = traceview::ModelId(model);
  modelMap[model];  // every declared model has an entry, maybe empty
  if (model->GetModelType() == 1) {
    printAtomicProcess(model, id);
  } else {
    printComposedProcess(model, id, parentId);
  }
  const int children = model->GetNumberOfChildren();
  for (int i = 0; i < children; i++) printHeader(model->GetChild(i), id);
}

void TraceFileXML::printAtomicProcess(BaseModelClass* model, int id) {
  std::ostream& os = *stream();
  os << "<Process id=\"p" << id << "\" name=\"" << traceview::XmlEscape(traceview::ModelName(model))
     << id << "\" >";
  EndLine(os);
  // Each action is declared once in its process, by its action id.
  std::vector<int> declared;
  const traceview::ActionArray actions = traceview::Actions(model);
  for (int i = 0; i < actions.count; i++) {
    BaseActionClass* action = actions.items[i];
    const int actionId = traceview::ActionId(action);
    if (Contains(declared, actionId)) continue;
    declared.push_back(actionId);
    os << "<Action id=\"a" << actionId << "\" name=\""
       << traceview::XmlEscape(traceview::ActionName(action)) << "\" />";
    EndLine(os);
  }
  VariableList& vars = modelMap[model];
  const traceview::VariableArray locals = traceview::LocalVariables(model, stream());
  for (int i = 0; i < locals.count; i++) {
    traceview::ForEachLeaf(locals.items[i], [&](BaseStateVariableClass* leaf) {
      if (leaf->getShared()) return;
      vars.push_back(leaf);
      printVarDeclaration(id, traceview::FullName(leaf));
    });
  }
  os << "</Process>";
  EndLine(os);
}

void TraceFileXML::printComposedProcess(BaseModelClass* model, int id, int parentId) {
  std::ostream& os = *stream();
  os << "<Process id=\"p" << id << "\" name=\"" << traceview::XmlEscape(traceview::ModelName(model))
     << "\" >";
  EndLine(os);
  VariableList& vars = modelMap[model];
  const traceview::VariableArray shared = traceview::SharedVariables(model);
  for (int i = 0; i < shared.count; i++) {
    traceview::ForEachLeaf(shared.items[i], [&](BaseStateVariableClass* leaf) {
      if (!leaf->getShared()) return;
      const std::string fullName = traceview::FullName(leaf);
      if (!addUsedStateName(fullName.c_str(), id, parentId)) return;
      vars.push_back(leaf);
      printVarDeclaration(id, fullName);
    });
  }
  os << "</Process>";
  EndLine(os);
}

void TraceFileXML::printVarDeclaration(int id, const std::string& fullName) {
  std::ostream& os = *stream();
  const std::string escaped = traceview::XmlEscape(fullName);
  os << "<Var id=\"p" << id << escaped << "\" name=\"" << escaped << "\" />";
  EndLine(os);
}

void TraceFileXML::printHeaderInteractions(BaseModelClass* model) {
  if (stream() == nullptr || model == nullptr) return;
  if (model->GetModelType() == 1) {
    const traceview::ActionArray actions = traceview::Actions(model);
    for (int i = 0; i < actions.count; i++) {
      printInteraction(model, actions.items[i]);
    }
  }
  const int children = model->GetNumberOfChildren();
  for (int i = 0; i < children; i++) {
    printHeaderInteractions(model->GetChild(i));
  }
}

void TraceFileXML::printInteraction(BaseModelClass* model, BaseActionClass* action) {
  std::vector<int> touched;  // process ids, in order of discovery
  const traceview::VariableArray affected = traceview::AffectedVariables(action);
  for (int i = 0; i < affected.count; i++) {
    const std::string fullName = traceview::FullName(affected.items[i]);
    for (const auto& entry : modelMap) {
      for (BaseStateVariableClass* declared : entry.second) {
        if (traceview::FullName(declared) != fullName) continue;
        const int id = traceview::ModelId(entry.first);
        if (!Contains(touched, id)) touched.push_back(id);
      }
    }
  }
  if (touched.empty()) return;
  const int ownId = traceview::ModelId(model);
  if (!Contains(touched, ownId)) touched.push_back(ownId);
  std::ostream& os = *stream();
  os << "<Undiraction id=\"a" << traceview::ActionId(action) << "\" name=\""
     << traceview::XmlEscape(traceview::ActionName(action)) << "\">";
  EndLine(os);
  for (int id : touched) {
    os << "<Touch>p" << id << "</Touch>";
    EndLine(os);
  }
  os << "</Undiraction>";
  EndLine(os);
}

void TraceFileXML::printStateLine(int processId, BaseStateVariableClass* leaf) {
  std::ostream& os = *stream();
  os << "<V id=\"p" << processId << traceview::XmlEscape(traceview::FullName(leaf)) << "\" val=\"";
  leaf->printStateVal(&os);
  os << "\" />";
  EndLine(os);
}

int TraceFileXML::getModelMap(const char* name, int maxId) const {
  for (const auto& entry : modelMap) {
    const int id = traceview::ModelId(entry.first);
    for (BaseStateVariableClass* declared : entry.second) {
      if (id <= maxId && traceview::FullName(declared) == name) return id;
    }
  }
  return -1;
}

bool TraceFileXML::addUsedStateName(const char* name, int id, int parentId) {
  for (const auto& used : usedStateNames) {
    if (used.first == name && !used.second.empty() && used.second[0] <= id) {
      return false;
    }
  }
  usedStateNames.emplace_back(name, std::vector<int>{parentId});
  return true;
}

bool TraceFileXML::inUsedStateName(const char* name) const {
  for (const auto& used : usedStateNames) {
    if (used.first == name) return true;
  }
  return false;
}

void TraceFileXML::addState(const char* name) {
  for (const std::string& s : stateList) {
    if (s == name) return;
  }
  stateList.emplace_back(name);
}
