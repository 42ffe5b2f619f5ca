#include "form/dispatcher.h"

#include "form/controls.h"
#include "form/dom.h"
#include "form/type_code.h"

const char* const kPopupPageHead =
    "<style><!--\n"
    "p {margin-top:4px;margin-right:0;margin-bottom:4px;margin-left:0}\n"
    "ul {margin-top:4px;margin-right:0;margin-bottom:4px;margin-left:16px}\n"
    "ol {margin-top:4px;margin-right:0;margin-bottom:4px;margin-left:16px}\n"
    "li {margin-top:4px;margin-bottom:4px}\n"
    "-->\n"
    "</style><BODY bgcolor=#ffff00 leftmargin=4 rightmargin=2 topmargin=2 bottommargin=0 "
    "style='cursor:default;overflow:auto;font:11px Arial;border:0' title='Click here to close this "
    "popup.'>\n";

namespace {

const HelpText kNoHelpTexts[] = {{"", ""}};
const HelpText* helpTexts = kNoHelpTexts;

bool IsDisabledSpan(PageHost& page, const std::string& id) {
  return GetElementAttribute(page, id, "stat") == "disab";
}

// A value event of a bound control; gives the subject.
std::string DispatchValue(const std::string& id, const EventText& event) {
  const ControlBinding* binding = FindBinding(id);
  if (!binding) return id;
  const BoundVariable& variable = binding->variable;
  uint8_t* const* byte = std::get_if<uint8_t*>(&variable);
  const ControlKind kind = KindOf(id);
  if (kind == ControlKind::kCheckBox) {
    if (byte && *byte) **byte = event.value == "true";
  } else if (kind == ControlKind::kRadioButton) {
    if (byte && *byte) **byte = !event.hasValue;
    if (!event.hasValue) NotifyRadioGroup(id);
  } else if (HoldsText(kind)) {
    const std::string value = ReadTextControl(id);
    if (value == LoadText(variable)) return "";
    StoreText(variable, value);
  } else if (kind == ControlKind::kList) {
    if (byte && *byte) **byte = ParseByteIndex(event.value);
  } else if (kind == ControlKind::kValueList) {
    StoreText(variable, DecodeSpaces(event.value));
  } else if (kind == ControlKind::kMultipleList) {
    StoreText(variable, ReadMultiSelection(id));
  }
  return id;
}

// A label click: focus the control; radio buttons and check boxes also change.
std::string DispatchLabelClick(PageHost& page, const std::string& target) {
  const ControlBinding* binding = FindBinding(target);
  if (!binding) return target;
  if (IsControlDisabled(target)) {
    page.PlayExclamation();
    return "!" + target;
  }
  FocusControl(target);
  uint8_t* const* byte = std::get_if<uint8_t*>(&binding->variable);
  const ControlKind kind = KindOf(target);
  if (kind == ControlKind::kRadioButton) {
    if (byte && *byte) **byte = 1;
    SetChecked(page, target, true);
    NotifyRadioGroup(target);
  } else if (kind == ControlKind::kCheckBox) {
    const bool checked = !GetChecked(page, target);
    if (byte && *byte) **byte = checked;
    SetChecked(page, target, checked);
  }
  return target;
}

}  // namespace

void SetHelpTexts(const HelpText* table) { helpTexts = table ? table : kNoHelpTexts; }

std::optional<HelpPopup> FindHelpText(const std::string& id) {
  for (const HelpText* entry = helpTexts; !entry->id.empty(); ++entry)
    if (entry->id == id) return ReadHelpText(entry->text);
  return std::nullopt;
}

std::string DispatchEvent(const std::string& eventText) {
  PageHost* host = MainPageHost();
  if (!host || !host->pageReady) return "";
  PageHost& page = *host;
  const EventText event = ParseEventText(eventText);
  const std::string& target = event.subject;
  const std::string& selector = event.selector;
  const ControlKind kind = KindOf(target);

  if (selector == "me" || selector == "mx") {
    if (IsDisabledSpan(page, target)) return "!" + target;
    if (selector == "me") {
      SetStyleProperty(page, target, "color", "#ffff00");
      SetStyleProperty(page, target, "backgroundColor", "#800000");
    } else {
      SetStyleProperty(page, target, "color", "#0000ff");
      ClearBackgroundColor(page, target);
    }
    return target;
  }
  if (selector == "cl") {
    if (!IsDisabledSpan(page, target)) return target;
    page.PlayExclamation();
    return "!" + target;
  }
  if (selector == "cp") return DispatchLabelClick(page, target);
  // The span's focus came from a click or from its access key, and this
  // engine clicks on an access key too: its own click event follows.
  if (selector == "ak") return target;
  if (selector == "ek" || selector == "ff") {
    if (HoldsText(kind)) return DispatchValue(target, EventText{});
    return selector == "ff" || HoldsValue(kind) ? "" : target;
  }
  if (selector == "qh") {
    if (const std::optional<HelpPopup> help = FindHelpText(target))
      page.ShowPopup(kPopupPageHead + help->html, help->width);
    return target;
  }
  if (selector == "cr") {
    page.cursorShown = eventText.size() > 3 && eventText.substr(3) == "hide" ? 0 : 1;
    return target;
  }
  if (!event.coded && HoldsValue(KindOf(selector))) return DispatchValue(target, event);
  return target;
}
