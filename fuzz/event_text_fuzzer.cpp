// The parts of event handling that need no page: the event text, the trim
// rules, help texts and character-buffer copies.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "form/event_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const EventText event = ParseEventText(text);
  if (event.selector.size() > 2 || event.subject.size() > text.size()) std::abort();
  ParseByteIndex(event.value);
  if (DecodeSpaces(text).size() > text.size()) std::abort();
  for (const char* rule : {"a", "b", "l", "r", ""})
    if (ApplyTrimRule(rule, text).size() > text.size()) std::abort();
  const HelpPopup help = ReadHelpText(text);
  if (help.width < 0 || help.width > 30000) std::abort();
  char buffer[9];
  std::memset(buffer, 'Z', sizeof buffer);
  CopyToBuffer(text, buffer, 8);
  if (buffer[8] != 'Z' || std::strlen(buffer) > 7) std::abort();
  return 0;
}
