// TraceModelView: the read-only view of models, actions and state variables
// that the trace writers print from, in one place. Simulation thread only.
#ifndef VELMOR_TRACE_TRACEMODELVIEW_H
#define VELMOR_TRACE_TRACEMODELVIEW_H

#include <iosfwd>
#include <string>

#include "framework/BaseActionClass.h"
#include "framework/BaseModelClass.h"
#include "framework/state/BaseStateVariableClass.h"

class PVModel;

namespace traceview {

// A borrowed array and its length; items may be null only where noted.
struct VariableArray {
  BaseStateVariableClass** items;
  int count;
};
struct ActionArray {
  BaseActionClass** items;
  int count;
};

BaseModelClass* TopModel(PVModel* model);

int ModelId(const BaseModelClass* model);
const char* ModelName(const BaseModelClass* model);
// For an action's model, which is null until a model registers the action:
// -1 and the empty name then.
int ModelIdOrNone(const BaseModelClass* model);
const char* ModelNameOrEmpty(const BaseModelClass* model);

// The model's local state variables (its places for a SAN model; none for
// a composer) and its shared state variables (a composer's own variables).
VariableArray LocalVariables(BaseModelClass* model, std::ostream* stream);
VariableArray SharedVariables(BaseModelClass* model);
// The model's own actions, in order.
ActionArray Actions(BaseModelClass* model);

inline BaseModelClass* ActionModel(BaseActionClass* action) { return action->getModel(); }
inline int ActionId(const BaseActionClass* action) { return action->getActionId(); }
inline const char* ActionName(const BaseActionClass* action) { return action->getName(); }
VariableArray AffectedVariables(BaseActionClass* action);
VariableArray EnablingVariables(BaseActionClass* action);

// The prefix, ".", and the name when the prefix is not empty; else the name.
std::string FullName(const BaseStateVariableClass* sv);

// Calls visit(leaf) for every scalar leaf of sv, in order.
template <class Visit>
void ForEachLeaf(BaseStateVariableClass* sv, Visit visit) {
  if (sv == nullptr) return;
  List<BaseStateVariableClass>* leaves = sv->getLeafNodes();
  if (leaves == nullptr) return;
  for (int i = 0; i < leaves->getNumItems(); i++) visit(leaves->getItem(i));
  delete leaves;
}

// A time as a stream writes a double by default (six significant digits),
// whatever the stream's own settings.
std::string FormatTime(double time);

// The text made fit for an XML attribute value: &, <, > and " become
// entities, tab, newline and carriage return character references (so
// they are not read as blanks); other control characters and bytes that
// are not well-formed UTF-8 become '?', so any name keeps the document
// well-formed.
std::string XmlEscape(const std::string& text);

}  // namespace traceview

#endif  // VELMOR_TRACE_TRACEMODELVIEW_H
