// A control's kind, which the first two letters of its element id name. The
// compiler, the dispatcher, the control state operations and the host's
// input filter all decide by these letters, through this one table.
#pragma once

#include <string>
#include <string_view>
#include <vector>

enum class ControlKind {
  kNone,          // no type code: not a control
  kTextBox,       // tx, tc
  kTextArea,      // ta
  kCheckBox,      // ck
  kRadioButton,   // rb
  kList,          // sl: a selection by index
  kValueList,     // sc, st: a selection by value
  kMultipleList,  // mt
  kButton,        // bt
  kTextSpan,      // sp
  kClickSpan,     // sh
  kLinkSpan,      // sk
  kSpacer,        // px
  kHelp,          // lq: help attributes
};

// The kind that `id`'s first two letters name.
ControlKind KindOf(std::string_view id);

// Controls whose value is bound to an application variable and that have a label.
bool HoldsValue(ControlKind kind);
// Text boxes and text areas: their text is read and trimmed.
bool HoldsText(ControlKind kind);
// The three kinds of list: SELECT elements.
bool IsList(ControlKind kind);

// The type codes of the kinds that `which` holds for, as a script decides by them.
std::vector<std::string> TypeCodes(bool (*which)(ControlKind));
bool IsTextArea(ControlKind kind);
