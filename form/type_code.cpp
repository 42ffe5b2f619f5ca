#include "form/type_code.h"

namespace {

constexpr struct {
  std::string_view code;
  ControlKind kind;
} kTypeCodes[] = {
    {"tx", ControlKind::kTextBox},   {"tc", ControlKind::kTextBox},     {"ta", ControlKind::kTextArea},
    {"ck", ControlKind::kCheckBox},  {"rb", ControlKind::kRadioButton}, {"sl", ControlKind::kList},
    {"sc", ControlKind::kValueList}, {"st", ControlKind::kValueList},   {"mt", ControlKind::kMultipleList},
    {"bt", ControlKind::kButton},    {"sp", ControlKind::kTextSpan},    {"sh", ControlKind::kClickSpan},
    {"sk", ControlKind::kLinkSpan},  {"px", ControlKind::kSpacer},      {"lq", ControlKind::kHelp},
};

}  // namespace

ControlKind KindOf(std::string_view id) {
  const std::string_view code = id.substr(0, 2);
  for (const auto& entry : kTypeCodes)
    if (entry.code == code) return entry.kind;
  return ControlKind::kNone;
}

bool HoldsText(ControlKind kind) { return kind == ControlKind::kTextBox || kind == ControlKind::kTextArea; }

bool IsList(ControlKind kind) {
  return kind == ControlKind::kList || kind == ControlKind::kValueList || kind == ControlKind::kMultipleList;
}

bool HoldsValue(ControlKind kind) {
  return HoldsText(kind) || IsList(kind) || kind == ControlKind::kCheckBox ||
         kind == ControlKind::kRadioButton;
}

bool IsTextArea(ControlKind kind) { return kind == ControlKind::kTextArea; }

std::vector<std::string> TypeCodes(bool (*which)(ControlKind)) {
  std::vector<std::string> codes;
  for (const auto& entry : kTypeCodes)
    if (which(entry.kind)) codes.emplace_back(entry.code);
  return codes;
}
