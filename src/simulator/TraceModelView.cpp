// TraceModelView: the read-only view the trace writers print from.
#include "simulator/TraceModelView.h"

#include <cstdio>

#include "framework/SANModel.h"
#include "reward/PVModel.h"

namespace traceview {

BaseModelClass* TopModel(PVModel* model) { return model->getTopModel(); }

int ModelId(const BaseModelClass* model) { return model->getModelId(); }

const char* ModelName(const BaseModelClass* model) {
  const char* name = model->getName();
  return name == nullptr ? "" : name;
}

int ModelIdOrNone(const BaseModelClass* model) {
  return model == nullptr ? -1 : ModelId(model);
}

const char* ModelNameOrEmpty(const BaseModelClass* model) {
  return model == nullptr ? "" : ModelName(model);
}

VariableArray LocalVariables(BaseModelClass* model, std::ostream* stream) {
  // Only an atomic model has local variables (its places); their count is
  // the number of places, read-only places being outside the array.
  BaseStateVariableClass** items = model->GetLocalStateVariables(stream);
  const SANModel* san = dynamic_cast<const SANModel*>(model);
  if (items == nullptr || san == nullptr) return {nullptr, 0};
  return {items, san->getNumPlaces()};
}

VariableArray SharedVariables(BaseModelClass* model) {
  BaseStateVariableClass** items = model->GetSharedStateVariables();
  // Entries not yet registered by the composer are null.
  if (items == nullptr) return {nullptr, 0};
  return {items, model->getNumSharedStateVariables()};
}

ActionArray Actions(BaseModelClass* model) {
  return {model->getActions(), model->getNumActions()};
}

VariableArray AffectedVariables(BaseActionClass* action) {
  List<BaseStateVariableClass>* list = action->getAffectedSVs();
  return {list->getList(), list->getNumItems()};
}

VariableArray EnablingVariables(BaseActionClass* action) {
  List<BaseStateVariableClass>* list = action->getEnablingSVs();
  return {list->getList(), list->getNumItems()};
}

std::string FullName(const BaseStateVariableClass* sv) {
  const char* prefix = sv->getPrefix();
  const char* name = sv->getName();
  std::string full;
  if (prefix != nullptr && prefix[0] != '\0') {
    full = prefix;
    full += '.';
  }
  if (name != nullptr) full += name;
  return full;
}

std::string FormatTime(double time) {
  char text[64];
  std::snprintf(text, sizeof text, "%g", time);
  return text;
}

std::string XmlEscape(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c; break;
    }
  }
  return out;
}

}  // namespace traceview
