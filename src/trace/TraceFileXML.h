// TraceFileXML: the XML trace writer, one document for a message-sequence
// view of the start of a run. Simulation thread only.
#ifndef VELMOR_TRACE_TRACEFILEXML_H
#define VELMOR_TRACE_TRACEFILEXML_H

#include <iosfwd>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "trace/TraceFile.h"

class BaseStateVariableClass;

// Declares the model tree as processes (with their variables and actions)
// and the interactions, then records states and actions up to the second
// newBatch, which closes the document; later calls write nothing. The level
// decides only the action elements: one per firing from
// tracelevel::kFirings, with the values the firing changed from
// tracelevel::kChanges; states (S elements) are written whenever asked.
// Ownership of the stream as in TraceFile; the writer owns its name copies
// and its model map, and only points to the models and variables, which
// must outlive it.
// Phases by batch counter: -1 before the first newBatch (the header may be
// written once), 0 up to the second newBatch (states and actions are
// written), 1 or more closed.
// Invariant: the document is closed at most once, and only if it was opened.
class TraceFileXML : public TraceFile {
 public:
  // The system identifier of the DOCTYPE line.
  static constexpr const char* kDocumentType = "velmor-trace.dtd";

  TraceFileXML();
  explicit TraceFileXML(const char* fileName);
  explicit TraceFileXML(std::ostream* stream);

  void printHeader(PVModel* model) override;
  // Closes a document that is still open, so that a run ending before the
  // second newBatch still leaves a complete document.
  void printFooter() override;
  void printInitialState(BaseModelClass* model) override;
  // The V lines of the model tree, without an S element around them.
  void printState(BaseModelClass* model) override;
  // An S element with the state of the reward model's top model.
  void printState(PVModel* model) override;
  void printFireAction(BaseActionClass* action, double time) override;
  void printPreFireAction(BaseActionClass* action) override;
  void printPostFireAction(BaseActionClass* action, BaseActionClass* completed) override;
  void newBatch() override;

  // The process declaration of a model and, depth first, of its children;
  // parentId is the id of the declaring parent (the model's own at the top).
  void printHeader(BaseModelClass* model, int parentId);
  void printHeaderInteractions(BaseModelClass* model);
  // The id of the first model in the map that declared a variable of this
  // full name and whose id is at most maxId; -1 when there is none.
  int getModelMap(const char* name, int maxId) const;
  bool addUsedStateName(const char* name, int id, int parentId);
  bool inUsedStateName(const char* name) const;
  void addState(const char* name);

  int getBatchCounter() const { return batchCounter; }
  const std::vector<std::string>& getStateList() const { return stateList; }

 private:
  // Orders the model map by model id, so that walks of the map follow the
  // order in which models were created, never addresses.
  struct comp {
    bool operator()(const BaseModelClass* a, const BaseModelClass* b) const;
  };
  using VariableList = std::vector<BaseStateVariableClass*>;

  void printAtomicProcess(BaseModelClass* model, int id);
  void printComposedProcess(BaseModelClass* model, int id, int parentId);
  void printVarDeclaration(int id, const std::string& fullName);
  void printInteraction(BaseModelClass* model, BaseActionClass* action);
  void printStateLine(int processId, BaseStateVariableClass* leaf);
  // "<S>", the state lines of the model tree, "</S>" (while the counter is 0).
  void printStateElement(BaseModelClass* model);
  void closeDocument();

  std::vector<std::string> stateList;
  // Declared shared names, each with the ids it was declared under.
  std::vector<std::pair<std::string, std::vector<int>>> usedStateNames;
  int batchCounter;
  double currentTime;  // of the action being fired
  bool headerWritten;
  bool documentClosed;
  std::map<BaseModelClass*, VariableList, comp> modelMap;
};

#endif  // VELMOR_TRACE_TRACEFILEXML_H
