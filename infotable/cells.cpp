#include "infotable/cells.h"

#include <algorithm>
#include <cstring>

#include "infotable/edgar_limits.h"
#include "infotable/text_forms.h"

namespace {

bool IsWhiteSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

void ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
  if (text.find(from) == std::string::npos) return;
  std::string result;
  result.reserve(text.size());
  size_t start = 0;
  for (size_t found; (found = text.find(from, start)) != std::string::npos; start = found + from.size()) {
    result.append(text, start, found - start);
    result.append(to);
  }
  result.append(text, start, std::string::npos);
  text.swap(result);
}

std::string CleanIssuerName(std::string_view cell) {
  std::string name(cell);
  ReplaceAll(name, "%", " percent ");
  while (name.find("  ") != std::string::npos) ReplaceAll(name, "  ", " ");
  size_t end = name.size();
  while (end > 0 && IsWhiteSpace(name[end - 1])) --end;
  size_t start = 0;
  while (start < end && IsWhiteSpace(name[start])) ++start;
  return name.substr(start, end - start);
}

// A code cell's word, upper case, with runs of blanks and hyphens as one hyphen.
std::string CodeWordOf(std::string_view cell) {
  std::string word;
  for (char c : cell) {
    if (c == ' ' || c == '-') {
      if (!word.empty() && word.back() != '-') word += '-';
    } else {
      word += UpperAscii(c);
    }
  }
  if (!word.empty() && word.back() == '-') word.pop_back();
  return word;
}

// How accounting formats show zero: a dash, alone or before a zero, with
// blanks between ("-", "- 0", "-0", "- 0.00").
bool IsAccountingZero(std::string_view cell) {
  if (cell.empty() || cell[0] != '-') return false;
  size_t at = 1;
  while (at < cell.size() && cell[at] == ' ') ++at;
  const std::string_view zero = cell.substr(at);
  const size_t period = zero.find('.');
  const std::string_view whole = zero.substr(0, period);
  const std::string_view fraction = period == std::string_view::npos ? "" : zero.substr(period + 1);
  const auto allZeros = [](std::string_view digits) {
    return std::all_of(digits.begin(), digits.end(), [](char c) { return c == '0'; });
  };
  return allZeros(whole) && allZeros(fraction) && (period == std::string_view::npos || !whole.empty());
}

}  // namespace

const CodedColumn kShPrnColumn = {
    {{"SH", 0}, {"SHARES", 0}, {"PRN", 1}, {"PRINCIPAL", 1}},
    {"SH", "PRN"},
    "is not SH or PRN",
};

const CodedColumn kPutCallColumn = {
    {{"PUT", 1}, {"CALL", 2}},
    {"", "Put", "Call"},
    "is not Put or Call",
};

const CodedColumn kDiscretionColumn = {
    {{"SOLE", 0},
     {"DFND", 1},
     {"DEFINED", 1},
     {"SHARED-DEFINED", 1},
     {"OTR", 2},
     {"OTHER", 2},
     {"SHARED-OTHER", 2}},
    {"SOLE", "DFND", "OTR"},
    "is not SOLE, DFND or OTR",
};

const CodedColumn kVotingKindColumn = {
    {{"SOLE", 0}, {"SHARED", 1}, {"NONE", 2}},
    {"SOLE", "SHARED", "NONE"},
    "is not sole, shared or none",
};

bool IsNotApplicable(std::string_view cell) {
  return cell.size() == 3 && LowerAscii(cell[0]) == 'n' && cell[1] == '/' && LowerAscii(cell[2]) == 'a';
}

Refusal ReadCode(std::string_view cell, const CodedColumn& column, uint8_t& code) {
  const std::string word = CodeWordOf(cell);
  for (const auto& [known, number] : column.words) {
    if (word == known) {
      code = number;
      return std::nullopt;
    }
  }
  return column.refusal;
}

Refusal ReadAmount(std::string_view cell, std::string& digits, uint64_t& number) {
  if (!cell.empty() && cell[0] == '$') {
    cell.remove_prefix(1);
    while (!cell.empty() && cell[0] == ' ') cell.remove_prefix(1);
  }
  if (IsAccountingZero(cell)) {
    digits = "0";
    number = 0;
    return std::nullopt;
  }
  char whole[64];  // more digits than any amount EDGAR takes, and the room to carry
  size_t length = 0, at = 0, group = 0;
  bool grouped = false;
  for (; at < cell.size() && cell[at] != '.'; ++at) {
    if (IsDigit(cell[at]) && length < sizeof whole - 1) {
      whole[length++] = cell[at];
      ++group;
    } else if (cell[at] == ',' && group > 0 && (grouped ? group == 3 : group <= 3)) {
      grouped = true;
      group = 0;
    } else {
      return kNotANumber;
    }
  }
  if (length == 0 || (grouped && group != 3)) return kNotANumber;
  const std::string_view fraction = at < cell.size() ? cell.substr(at + 1) : std::string_view();
  if (!std::all_of(fraction.begin(), fraction.end(), IsDigit)) return kNotANumber;
  if (!fraction.empty() && fraction[0] >= '5') {  // half up, carrying through nines
    size_t i = length;
    while (i > 0 && whole[i - 1] == '9') whole[--i] = '0';
    if (i > 0) {
      ++whole[i - 1];
    } else {
      std::memmove(whole + 1, whole, length++);
      whole[0] = '1';
    }
  }
  digits.assign(whole, length);
  number = ParseValue(digits);
  return std::nullopt;
}

Refusal ReadCusip(std::string_view cell, std::string& cusip) {
  for (char c : cell)
    if (c != ' ' && (c != '_' || !cusip.empty())) cusip += c;
  // A spreadsheet drops the leading zeros of an all-digit CUSIP; anything
  // else that is short is no CUSIP at all.
  if (!cusip.empty() && cusip.size() < kCusipLength && std::all_of(cusip.begin(), cusip.end(), IsDigit))
    cusip.insert(0, kCusipLength - cusip.size(), '0');
  static const std::string kShort = "is not " + std::to_string(kCusipLength) + " letters or digits";
  if (cusip.size() < kCusipLength) return kShort;
  if (NeedsEscape(cusip)) cusip = EscapeMarkup(cusip);
  return std::nullopt;
}

Refusal ReadFigi(std::string_view cell, std::string& figi) {
  static const std::string kWrong = "is not " + std::to_string(kFigiLength) + " letters or digits";
  if (cell.size() != kFigiLength || !std::all_of(cell.begin(), cell.end(), IsAsciiLetterOrDigit))
    return kWrong;
  figi.assign(cell);
  return std::nullopt;
}

void AppendIssuerName(std::string& name, std::string_view cell) {
  if (cell.find('%') == std::string_view::npos)
    AppendEscaped(name, cell);
  else
    AppendEscaped(name, CleanIssuerName(cell));
}

bool NamesNoManager(std::string_view cell) { return cell == "-" || CodeWordOf(cell) == "NONE"; }

Refusal ReadOtherManagers(std::string_view cell, std::string& managers) {
  // A CSV export opened in a spreadsheet turns "1,2" into the number 1.2.
  const bool numberLike = cell.find('.') != std::string_view::npos &&
                          std::all_of(cell.begin(), cell.end(),
                                      [](char c) { return IsDigit(c) || c == '.' || c == ',' || c == ' '; });
  if (numberLike) return "holds a period, which separates no manager numbers: write them with commas, as 1,2";
  AppendEscaped(managers, cell);
  return std::nullopt;
}
