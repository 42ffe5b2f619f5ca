#include "form/controls.h"

#include <cstring>

#include "form/dom.h"
#include "form/event_text.h"
#include "form/type_code.h"

namespace {

const ControlBinding kNoBindings[] = {{"", {}}};
const ControlBinding* bindings = kNoBindings;

PageHost& MainPage() {
  PageHost* host = MainPageHost();
  if (!host) throw CVexc();
  return *host;
}

uint8_t Byte(const BoundVariable& variable) {
  uint8_t* const* byte = std::get_if<uint8_t*>(&variable);
  return byte && *byte ? **byte : 0;
}

}  // namespace

void SetControlBindings(const ControlBinding* table) { bindings = table ? table : kNoBindings; }

const ControlBinding* FindBinding(const std::string& id) {
  for (const ControlBinding* entry = bindings; !entry->id.empty(); ++entry)
    if (entry->id == id) return entry;
  return nullptr;
}

void StoreText(const BoundVariable& variable, const std::string& text) {
  if (std::string* const* string = std::get_if<std::string*>(&variable)) {
    if (*string) **string = text;
  } else if (const CharBuffer* buffer = std::get_if<CharBuffer>(&variable)) {
    CopyToBuffer(text, buffer->data, buffer->size);
  }
}

std::string LoadText(const BoundVariable& variable) {
  if (std::string* const* string = std::get_if<std::string*>(&variable)) return *string ? **string : "";
  if (const CharBuffer* buffer = std::get_if<CharBuffer>(&variable))
    return buffer->data && buffer->size ? std::string(buffer->data, strnlen(buffer->data, buffer->size)) : "";
  return "";
}

void ApplyBindings() {
  for (const ControlBinding* entry = bindings; !entry->id.empty(); ++entry) {
    const std::string& id = entry->id;
    const ControlKind kind = KindOf(id);
    try {
      PageHost& page = MainPage();
      if (kind == ControlKind::kCheckBox || kind == ControlKind::kRadioButton)
        SetChecked(page, id, Byte(entry->variable) != 0);
      else if (kind == ControlKind::kTextBox)
        SetInputValue(page, id, LoadText(entry->variable));
      else if (kind == ControlKind::kTextArea)
        SetTextAreaValue(page, id, LoadText(entry->variable));
      else if (kind == ControlKind::kList)
        SetSelectedIndex(page, id, Byte(entry->variable));
      else if (kind == ControlKind::kValueList)
        SetSelectValue(page, id, LoadText(entry->variable));
      else if (kind == ControlKind::kMultipleList)
        SetMultiSelection(id, LoadText(entry->variable));
    } catch (const CVexc&) {
      // A control that is not on the page keeps the page as it is.
    }
  }
}

std::string ReadTextControl(const std::string& id) {
  PageHost& page = MainPage();
  const bool textArea = KindOf(id) == ControlKind::kTextArea;
  const std::string value = textArea ? GetTextAreaValue(page, id) : GetInputValue(page, id);
  const std::string trimmed = ApplyTrimRule(GetElementAttribute(page, id, "trim"), value);
  if (trimmed != value) {
    if (textArea)
      SetTextAreaValue(page, id, trimmed);
    else
      SetInputValue(page, id, trimmed);
  }
  return trimmed;
}

void SetMultiSelection(const std::string& id, const std::string& valueSet) {
  PageHost& page = MainPage();
  const bool inverted = !valueSet.empty() && valueSet[0] == '-';
  for (int index = GetOptionCount(page, id) - 1; index >= 0; --index) {
    std::string value;
    const bool selected = GetOption(page, id, index, &value);
    const bool wanted = (valueSet.find("|" + value + "|") != std::string::npos) != inverted;
    if (selected != wanted) SetOptionSelected(page, id, index, wanted);
  }
}

std::string ReadMultiSelection(const std::string& id) {
  PageHost& page = MainPage();
  std::string valueSet;
  const int count = GetOptionCount(page, id);
  for (int index = 0; index < count; ++index) {
    std::string value;
    if (GetOption(page, id, index, &value)) valueSet += (valueSet.empty() ? "|" : "") + value + "|";
  }
  return valueSet;
}

bool IsControlDisabled(const std::string& id) {
  const ControlKind control = KindOf(id);
  ElementKind kind = ElementKind::kInput;
  if (control == ControlKind::kButton)
    kind = ElementKind::kButton;
  else if (control == ControlKind::kTextArea)
    kind = ElementKind::kTextArea;
  else if (IsList(control))
    kind = ElementKind::kSelect;
  return GetDisabled(MainPage(), id, kind);
}

void FocusControl(const std::string& id) {
  PageHost& page = MainPage();
  FocusElement(page, id);
  const ControlKind kind = KindOf(id);
  if (kind == ControlKind::kTextArea)
    SelectTextAreaText(page, id);
  else if (kind == ControlKind::kTextBox)
    SelectInputText(page, id);
}

void NotifyRadioGroup(const std::string& id) {
  PageHost& page = MainPage();
  std::string name;
  if (!GetAttributeText(page, id, "name", &name)) return;
  for (const std::optional<std::string>& other : GetNamedElements(page, name)) {
    if (!other) break;
    if (*other != id && page.eventHandler) page.eventHandler(*other + "|", page);
  }
}
