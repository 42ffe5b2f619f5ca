// Forms of text: UTF-8 sequences, the characters EDGAR and XML can take,
// plain ASCII forms, markup escaping, character counts that treat a
// character reference as one character, and thousands grouping.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }
constexpr bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
constexpr bool IsAsciiLetterOrDigit(char c) { return IsDigit(c) || IsAsciiLetter(c); }
constexpr char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
constexpr char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
constexpr bool IsXmlControl(unsigned char c) { return c < 0x20 && c != '\t'; }

// Length of the valid UTF-8 sequence at `position`, or 0 when the byte there
// does not start one. ASCII gives 1.
size_t Utf8SequenceLength(std::string_view text, size_t position);

// Whether a line holds anything but printable ASCII and tabs: a character
// the document may not hold as it stands.
bool NeedsPlainForm(std::string_view line);

// The line without the characters that an XML 1.0 document cannot hold:
// control characters other than tab, bytes outside valid UTF-8, U+FFFE, U+FFFF.
std::string LeaveOutNonXmlCharacters(std::string_view line);

// The line in plain ASCII, as the document holds it, into `plain`. Blanks of
// every kind (no-break, thin, hair, narrow) become a blank, and a typographic
// apostrophe between digits, a Swiss thousands mark, an apostrophe: nothing
// the filer needs to hear of. Other characters take their plain ASCII form
// (É as E, ’ as '), and those without one, control characters and stray
// bytes are left out. Gives those changes in words, each character once, or
// empty when there is none. Cells that gained or lost blanks are not cleaned
// here: that is the reading's rule.
std::string PlainAsciiLine(std::string_view line, std::string& plain);

// "&", "<" and ">" as character references, ampersand first.
std::string EscapeMarkup(std::string_view text);
// EscapeMarkup appended to `out`.
void AppendEscaped(std::string& out, std::string_view text);
bool NeedsEscape(std::string_view text);
// The text as typed: the five named references ("&amp;" and the like) and
// numeric ones ("&#233;", "&#xE9;") back to their characters, as any XML
// writer may have written them.
std::string UnescapeMarkup(std::string_view text);

// The first `limit` characters of escaped text, a character reference or a
// UTF-8 sequence counting as one character and never cut through.
std::string_view CutLongText(std::string_view text, size_t limit);
inline std::string_view CutCharacters(std::string_view text, size_t limit) {
  return text.size() <= limit ? text : CutLongText(text, limit);  // no character is shorter than a byte
}
// Characters of escaped text, counted as CutCharacters counts them.
size_t CountCharacters(std::string_view text);

// The leading digits of a field as a number, saturating at the largest 64-bit
// value. Inline: every row's value and amount pass through it.
inline uint64_t ParseValue(std::string_view digits) {
  uint64_t value = 0;
  for (char c : digits) {
    if (!IsDigit(c)) break;
    const uint64_t digit = static_cast<uint64_t>(c - '0');
    if (value >= UINT64_MAX / 10 && (value > UINT64_MAX / 10 || digit > UINT64_MAX % 10)) return UINT64_MAX;
    value = value * 10 + digit;
  }
  return value;
}

// a + b, saturating at the largest 64-bit value, as totals do.
inline uint64_t SaturatingAdd(uint64_t a, uint64_t b) { return a > UINT64_MAX - b ? UINT64_MAX : a + b; }

// "1234567.5" gives "1,234,567.5"; leading white space is dropped, a minus kept.
std::string GroupThousands(std::string_view number);
