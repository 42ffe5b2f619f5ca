#include "form/event_text.h"

#include <algorithm>
#include <cstring>

namespace {

bool IsEventCode(const std::string& text) {
  return IsOneOf(text, {"cp", "me", "mx", "cl", "ek", "ak", "ff", "qh"});
}

bool IsWhiteSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

std::string TrimStart(const std::string& text) {
  size_t start = 0;
  while (start < text.size() && IsWhiteSpace(text[start])) ++start;
  return text.substr(start);
}

std::string TrimEnd(const std::string& text) {
  size_t end = text.size();
  while (end > 0 && IsWhiteSpace(text[end - 1])) --end;
  return text.substr(0, end);
}

}  // namespace

bool IsOneOf(const std::string& code, std::initializer_list<const char*> codes) {
  for (const char* candidate : codes)
    if (code == candidate) return true;
  return false;
}

EventText ParseEventText(const std::string& text) {
  EventText event;
  event.selector = text.substr(0, 2);
  const size_t bar = text.find('|');
  event.subject = text.substr(0, bar);
  event.hasValue = bar != std::string::npos;
  if (event.hasValue) event.value = text.substr(bar + 1);
  if (IsEventCode(event.subject)) {
    event.coded = true;
    event.subject = text.size() > 3 ? text.substr(3) : "";
  }
  return event;
}

unsigned char ParseByteIndex(const std::string& text) {
  unsigned value = 0;
  for (size_t i = 0; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
    value = (value * 10 + static_cast<unsigned>(text[i] - '0')) % 256;
  return static_cast<unsigned char>(value);
}

std::string DecodeSpaces(const std::string& text) {
  std::string decoded;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text.compare(i, 3, "%20") == 0) {
      decoded += ' ';
      i += 2;
    } else {
      decoded += text[i];
    }
  }
  return decoded;
}

std::string ApplyTrimRule(const std::string& rule, const std::string& value) {
  switch (rule.empty() ? '\0' : rule[0]) {
    case 'a': {
      std::string trimmed = TrimStart(TrimEnd(value));
      for (size_t pair; (pair = trimmed.find("  ")) != std::string::npos;) trimmed.erase(pair, 1);
      return trimmed;
    }
    case 'b': return TrimStart(TrimEnd(value));
    case 'l': return TrimStart(value);
    case 'r': return TrimEnd(value);
    default: return value;
  }
}

HelpPopup ReadHelpText(const std::string& helpText) {
  HelpPopup popup;
  if (!helpText.empty() && helpText[0] == '|') {
    // Leading digits only, held below what a window's 16-bit width can take.
    long width = 0;
    for (size_t i = 1; i < helpText.size() && helpText[i] >= '0' && helpText[i] <= '9'; ++i)
      width = std::min(width * 10 + (helpText[i] - '0'), 30000L);
    popup.width = static_cast<int>(width);
    const size_t bar = helpText.size() > 2 ? helpText.find('|', 2) : std::string::npos;
    if (bar != std::string::npos) popup.html = helpText.substr(bar + 1);
  } else {
    popup.html = helpText;
    popup.width = std::max<int>(150, static_cast<int>(3 * helpText.size() / 4));
  }
  return popup;
}

void CopyToBuffer(const std::string& text, char* buffer, size_t size) {
  if (size == 0) return;
  size_t length = std::min(text.size(), size - 1);
  // Back up over continuation bytes so that no character is cut in two.
  if (length < text.size())
    while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) --length;
  std::memcpy(buffer, text.data(), length);
  buffer[length] = '\0';
}
