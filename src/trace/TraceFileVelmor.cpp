// TraceFileVelmor: the plain-text trace writer.
#include "trace/TraceFileVelmor.h"

#include <ostream>

#include "trace/TraceModelView.h"

namespace {

const char kStars[] = "**************************************";

}  // namespace

TraceFileVelmor::TraceFileVelmor() = default;

TraceFileVelmor::TraceFileVelmor(const char* fileName) : TraceFile(fileName) {
  if (stream() != nullptr) trout = stream();
}

TraceFileVelmor::TraceFileVelmor(std::ostream* stream) : TraceFile(stream) {
  if (stream != nullptr) trout = stream;
}

void TraceFileVelmor::printHeader(PVModel*) {
  std::ostream* os = stream();
  if (os == nullptr) return;
  *os << kStars << '\n' << std::flush;
  *os << "\t\tTRACE" << '\n' << std::flush;
  *os << kStars << '\n' << std::flush;
}

void TraceFileVelmor::printFooter() {}

void TraceFileVelmor::printInitialState(BaseModelClass* model) {
  std::ostream* os = stream();
  if (os == nullptr || model == nullptr) return;
  *os << "Initial Model State:" << '\n' << std::flush;
  printState(model);
}

void TraceFileVelmor::printState(BaseModelClass* model) {
  std::ostream* os = stream();
  if (os == nullptr || model == nullptr) return;
  *os << "  Model: (" << traceview::ModelId(model) << ")" << traceview::ModelName(model) << '\n'
      << std::flush;
  const traceview::VariableArray locals = traceview::LocalVariables(model, os);
  for (int i = 0; i < locals.count; i++) {
    printLeafLines(locals.items[i], "    ");
  }
  const int children = model->GetNumberOfChildren();
  for (int i = 0; i < children; i++) printState(model->GetChild(i));
}

void TraceFileVelmor::printState(PVModel* model) {
  std::ostream* os = stream();
  if (os == nullptr || model == nullptr) return;
  *os << "Model State:" << '\n' << std::flush;
  printState(traceview::TopModel(model));
}

void TraceFileVelmor::printFireAction(BaseActionClass* action, double time) {
  std::ostream* os = stream();
  if (os == nullptr || action == nullptr || getTraceLevel() < tracelevel::kFirings) return;
  BaseModelClass* model = traceview::ActionModel(action);
  *os << "#### Firing: " << traceview::FormatTime(time) << "  Action: ("
      << traceview::ModelIdOrNone(model) << ")" << traceview::ModelNameOrEmpty(model) << "->"
      << traceview::ActionName(action) << '\n'
      << std::flush;
}

void TraceFileVelmor::printPreFireAction(BaseActionClass* action) {
  std::ostream* os = stream();
  if (os == nullptr || action == nullptr || getTraceLevel() < tracelevel::kChanges) return;
  *os << "Enabling state before action firing:" << '\n' << std::flush;
  const traceview::VariableArray enabling =
      traceview::EnablingVariables(action->getPrintedAction());
  for (int i = 0; i < enabling.count; i++) {
    printVariableLine(enabling.items[i], "  ");
  }
}

void TraceFileVelmor::printPostFireAction(BaseActionClass* action, BaseActionClass* completed) {
  std::ostream* os = stream();
  if (os == nullptr || action == nullptr || completed == nullptr ||
      getTraceLevel() < tracelevel::kFirings) {
    return;
  }
  *os << "#### After: (" << traceview::ModelIdOrNone(traceview::ActionModel(action)) << ")"
      << traceview::ActionName(action) << "->" << traceview::ActionName(completed) << '\n'
      << std::flush;
  if (getTraceLevel() < tracelevel::kChanges) return;
  *os << "Affected state after firing: " << '\n' << std::flush;
  const traceview::VariableArray affected = traceview::AffectedVariables(completed);
  for (int i = 0; i < affected.count; i++) {
    printVariableLine(affected.items[i], "  ");
  }
}

void TraceFileVelmor::newBatch() {
  std::ostream* os = stream();
  if (os == nullptr) return;
  *os << "##### NEW BATCH #####" << '\n' << std::flush;
}

void TraceFileVelmor::printVariableLine(BaseStateVariableClass* sv, const char* indent) {
  std::ostream* os = stream();
  *os << indent << traceview::FullName(sv) << " = ";
  sv->printStateVal(os);
  *os << '\n' << std::flush;
}

void TraceFileVelmor::printLeafLines(BaseStateVariableClass* sv, const char* indent) {
  if (sv == nullptr) return;
  traceview::ForEachLeaf(
      sv, [this, indent](BaseStateVariableClass* leaf) { printVariableLine(leaf, indent); });
}
