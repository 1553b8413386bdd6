// TraceModelView: the read-only view the trace writers print from.
#include "trace/TraceModelView.h"

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

int ModelIdOrNone(const BaseModelClass* model) { return model == nullptr ? -1 : ModelId(model); }

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

ActionArray Actions(BaseModelClass* model) { return {model->getActions(), model->getNumActions()}; }

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

namespace {

// The length of the well-formed UTF-8 sequence that starts at text[i] and
// encodes a character XML allows (2 to 4 bytes), or 0 when there is none.
size_t XmlCharSequenceLength(const std::string& text, size_t i) {
  const unsigned char lead = static_cast<unsigned char>(text[i]);
  size_t length = 0;
  unsigned char low = 0x80;  // range of the second byte
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // no overlong forms
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;  // nothing above U+10FFFF
  }
  if (length == 0 || i + length > text.size()) return 0;
  for (size_t k = 1; k < length; k++) {
    const unsigned char c = static_cast<unsigned char>(text[i + k]);
    if (c < (k == 1 ? low : 0x80) || c > (k == 1 ? high : 0xBF)) return 0;
  }
  // U+FFFE and U+FFFF are not XML characters.
  if (lead == 0xEF && static_cast<unsigned char>(text[i + 1]) == 0xBF &&
      static_cast<unsigned char>(text[i + 2]) >= 0xBE) {
    return 0;
  }
  return length;
}

}  // namespace

std::string XmlEscape(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const char c = text[i];
    if (static_cast<unsigned char>(c) >= 0x80) {
      const size_t length = XmlCharSequenceLength(text, i);
      if (length == 0) {
        out += '?';
        i++;
      } else {
        out.append(text, i, length);
        i += length;
      }
      continue;
    }
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\t':
        out += "&#9;";
        break;
      case '\n':
        out += "&#10;";
        break;
      case '\r':
        out += "&#13;";
        break;
      default:
        out += static_cast<unsigned char>(c) < 0x20 ? '?' : c;
        break;
    }
    i++;
  }
  return out;
}

}  // namespace traceview
