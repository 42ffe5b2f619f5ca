// Information table rows: the clipboard text cut into normalised lines of
// tab-separated fields, the checks a line must pass, and the normalisation of
// an accepted row into the twelve fields of an infoTable entry. Texts are
// UTF-8 and are never converted.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The fields of one line; after NormalizeRow always twelve, at these positions.
using InfoTableRow = std::vector<std::string>;

enum InfoTableField : size_t {
  kNameOfIssuer = 0,
  kTitleOfClass = 1,
  kCusip = 2,
  kValue = 3,
  kSshPrnamt = 4,
  kSshPrnamtType = 5,
  kPutCall = 6,
  kInvestmentDiscretion = 7,
  kOtherManager = 8,
  kSole = 9,
  kShared = 10,
  kNone = 11,
  kInfoTableFieldCount = 12
};

bool IsNumericField(size_t position);

struct NormalizedText {
  std::string text;           // lines, each ended by one line feed
  int largestFieldCount = 0;  // 0 when there is no line
};

// Drops blank lines, merges runs of tabs into one separator, trims blanks at
// field ends and folds runs of blanks inside a field into one.
NormalizedText NormalizeClipboardText(std::string_view clipboard);

// The invalid characters of a line in order, each as its bytes: every
// non-ASCII character (a byte outside valid UTF-8 counts as one character),
// every "+", and every control character other than tab.
std::vector<std::string> FindInvalidCharacters(std::string_view line);

// The line without the characters that an XML 1.0 document cannot hold:
// control characters other than tab, bytes outside valid UTF-8, U+FFFE, U+FFFF.
std::string LeaveOutNonXmlCharacters(std::string_view line);

// Cuts at every separator; the text after the last one is always a field.
InfoTableRow SplitFields(std::string_view line, char separator);

// Accepted: 11 or 12 fields, value starting with a digit or "$", sshPrnamt and
// the first voting amount starting with a digit.
bool ValidateRow(const InfoTableRow& row);

// Rewrites an accepted row in place into its final, markup-escaped 12 fields.
void NormalizeRow(InfoTableRow& row);

// "&", "<" and ">" as character references, ampersand first.
std::string EscapeMarkup(std::string_view text);

// The decimal digits that stand before the first period.
std::string DigitsOnly(std::string_view text);
// DigitsOnly in place.
void KeepDigits(std::string& text);

// Length of the valid UTF-8 sequence at `position`, or 0 when the byte there
// does not start one. ASCII gives 1.
size_t Utf8SequenceLength(std::string_view text, size_t position);
