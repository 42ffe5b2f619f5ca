#include "form/page_event.h"

namespace {

struct Entry {
  PageEvent event;
  const char* code;
  bool subjectAfterBar;  // "ek|idFf", not "csFf"
};

constexpr Entry kEvents[] = {
    {PageEvent::kButton, "bt", false},         {PageEvent::kCopyField, "cs", false},
    {PageEvent::kEnter, "ek", true},           {PageEvent::kHelp, "hh", true},
    {PageEvent::kCopyAllMessages, "cm", true}, {PageEvent::kOpenFilingFolder, "of", true},
    {PageEvent::kShowGroup, "sa", true},       {PageEvent::kUndoCapture, "uc", true},
    {PageEvent::kFilingDetails, "fd", true},   {PageEvent::kSaveFiling, "sf", true},
    {PageEvent::kLastQuarter, "lq", true},     {PageEvent::kOpenSpreadsheet, "os", true},
};

const Entry* Find(PageEvent event) {
  for (const Entry& entry : kEvents)
    if (entry.event == event) return &entry;
  return nullptr;
}

}  // namespace

std::string_view PageEventCode(PageEvent event) {
  const Entry* entry = Find(event);
  return entry ? entry->code : "";
}

PageEventText ReadPageEvent(std::string_view text) {
  for (const Entry& entry : kEvents) {
    if (text.substr(0, 2) != entry.code) continue;
    const std::string_view rest = text.substr(2);
    if (entry.subjectAfterBar && (rest.empty() || rest[0] != '|')) break;
    return {entry.event, std::string(entry.subjectAfterBar ? rest.substr(1) : rest)};
  }
  return {PageEvent::kUnknown, std::string(text)};
}

std::string PageEventTextOf(PageEvent event, std::string_view subject) {
  const Entry* entry = Find(event);
  if (!entry) return std::string(subject);
  return std::string(entry->code) + (entry->subjectAfterBar ? "|" : "") + std::string(subject);
}
