// The parts of an event text, the string a page event hands to the
// application (the URL text after its first "|"). Portable: no page needed.
#pragma once

#include <initializer_list>
#include <string>

struct EventText {
  std::string selector;   // the first two characters: an event code or a type code
  std::string subject;    // the text up to its first "|", or the target of a coded event
  bool coded = false;     // one of the eight event codes ("cp", "me", ...) and "|"
  bool hasValue = false;  // a "|" follows the subject of a value event
  std::string value;      // everything after the first "|"
};

EventText ParseEventText(const std::string& text);

// Whether a code (a type code or an event code) is one of `codes`.
bool IsOneOf(const std::string& code, std::initializer_list<const char*> codes);

// The leading decimal digits of `text` as a number kept modulo 256; 0 without any.
unsigned char ParseByteIndex(const std::string& text);

// Every "%20" replaced by one space; other escapes stay as they are.
std::string DecodeSpaces(const std::string& text);

// A control's trim rule (the first character of its "trim" attribute) applied
// to a value: "a" both ends and runs of blanks, "b" both ends, "l" the start,
// "r" the end; anything else leaves the value unchanged.
std::string ApplyTrimRule(const std::string& rule, const std::string& value);

// The help text of an element as HTML and popup width: "|320|html" gives 320;
// plain HTML gives max(150, 3/4 of its length in bytes).
struct HelpPopup {
  std::string html;
  int width = 0;
};
HelpPopup ReadHelpText(const std::string& helpText);

// Copies `text` into a zero-terminated buffer of `size` bytes, cut so that it
// fits without splitting a UTF-8 character. Nothing is written past the end.
void CopyToBuffer(const std::string& text, char* buffer, size_t size);
