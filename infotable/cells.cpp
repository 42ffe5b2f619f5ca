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

// A code cell's word, upper case, with runs of blanks and hyphens as one
// hyphen, made in place: no code word is longer than a few letters, and a
// longer cell is none of them.
class CodeWord {
 public:
  explicit CodeWord(std::string_view cell) {
    if (cell.size() >= sizeof text_) return;  // matches no word
    for (char c : cell) {
      if (c == ' ' || c == '-') {
        if (size_ > 0 && text_[size_ - 1] != '-') text_[size_++] = '-';
      } else {
        text_[size_++] = UpperAscii(c);
      }
    }
    if (size_ > 0 && text_[size_ - 1] == '-') --size_;
    matchable_ = true;
  }
  bool Is(const char* word) const {
    return matchable_ && std::string_view(text_, size_) == std::string_view(word);
  }

 private:
  char text_[32];
  size_t size_ = 0;
  bool matchable_ = false;
};

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

// "3.78331E+08": how a spreadsheet shows a long number it has rounded. A
// CUSIP may hold an E between digits ("46090E103"), never a mark or a sign.
bool IsScientificNotation(std::string_view cell) {
  if (cell.size() < 5 || (cell[1] != '.' && cell[1] != ',')) return false;  // most CUSIPs
  const size_t e = cell.find_first_of("Ee");
  if (e == std::string_view::npos || e < 3 || e + 3 > cell.size() || cell[e + 1] != '+') return false;
  const std::string_view mantissa = cell.substr(0, e), power = cell.substr(e + 2);
  const size_t mark = mantissa.find_first_of(".,");
  return mark == 1 && IsDigit(mantissa[0]) && std::all_of(mantissa.begin() + 2, mantissa.end(), IsDigit) &&
         std::all_of(power.begin(), power.end(), IsDigit);
}

// Rounds whole digits half up by the first digit of the fraction, carrying
// through nines; `whole` has room for one more digit.
void RoundHalfUp(char* whole, size_t& length, std::string_view fraction) {
  if (fraction.empty() || fraction[0] < '5') return;
  size_t i = length;
  while (i > 0 && whole[i - 1] == '9') whole[--i] = '0';
  if (i > 0) {
    ++whole[i - 1];
  } else {
    std::memmove(whole + 1, whole, length++);
    whole[0] = '1';
  }
}

// An amount as a table in dollars writes it, commas grouping thousands and
// a period before the fraction: the usual form, read in one pass. False for
// any other form, which the full reading then weighs.
bool ReadDollarsAmount(std::string_view cell, std::string& digits, uint64_t& number, bool& hadFraction) {
  char whole[64];
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
      return false;
    }
  }
  if (length == 0 || (grouped && group != 3)) return false;
  const std::string_view fraction = at < cell.size() ? cell.substr(at + 1) : std::string_view();
  if (!std::all_of(fraction.begin(), fraction.end(), IsDigit)) return false;
  hadFraction = std::any_of(fraction.begin(), fraction.end(), [](char c) { return c != '0'; });
  RoundHalfUp(whole, length, fraction);
  digits.assign(whole, length);
  number = ParseValue(digits);
  return true;
}

// Most amounts: plain digits, read as they are checked. Nineteen digits
// never pass the largest 64-bit value.
bool ReadPlainAmount(std::string_view cell, std::string& digits, uint64_t& number) {
  if (cell.empty() || cell.size() > 19) return false;
  uint64_t value = 0;
  for (char c : cell) {
    if (!IsDigit(c)) return false;
    value = value * 10 + static_cast<uint64_t>(c - '0');
  }
  digits.assign(cell.data(), cell.size());
  number = value;
  return true;
}

// An amount as runs of digits and the single marks between them, read once.
struct MarkedAmount {
  static constexpr size_t kMostRuns = 24;  // more groups than any amount EDGAR takes
  std::string_view cell;
  size_t runStart[kMostRuns], runLength[kMostRuns];
  char marks[kMostRuns];
  size_t runCount = 0, markCount = 0;
  AmountShape shape;

  std::string_view Digits(size_t run) const { return cell.substr(runStart[run], runLength[run]); }
};

// False when the cell is no such amount: a mark first, two in a row, too
// many, or one that marks neither decimals nor thousands.
bool ScanMarkedAmount(std::string_view cell, MarkedAmount& amount) {
  amount.cell = cell;
  AmountShape& shape = amount.shape;
  for (size_t at = 0; at < cell.size();) {
    const size_t start = at;
    while (at < cell.size() && IsDigit(cell[at])) ++at;
    if (at == start || amount.runCount == MarkedAmount::kMostRuns) return false;
    amount.runStart[amount.runCount] = start;
    amount.runLength[amount.runCount++] = at - start;
    shape.digitsAfterLast += static_cast<int>(at - start);
    if (shape.periods + shape.commas == 0) shape.digitsBeforeFirst += static_cast<int>(at - start);
    if (at == cell.size()) break;
    const char mark = cell[at++];
    if (mark == '.' || mark == ',') {
      if (shape.periods + shape.commas == 0)
        shape.leadingZeroOnly = amount.runCount == 1 && amount.Digits(0) == "0";
      (mark == '.' ? shape.periods : shape.commas) += 1;
      shape.last = mark;
      shape.digitsAfterLast = 0;
    } else if (mark == '\'' || mark == ' ') {
      if (shape.periods + shape.commas == 0) shape.otherGroups = true;
    } else {
      return false;
    }
    amount.marks[amount.markCount++] = mark;
    if (at == cell.size()) {
      if (mark != '.' && mark != ',') return false;
      amount.runStart[amount.runCount] = at;  // "1000." has an empty fraction
      amount.runLength[amount.runCount++] = 0;
    }
  }
  return amount.runCount > 0;
}

// Which mark, if any, is the decimal one: the cell's own form, else the
// table's. Refused when the two disagree or nothing tells.
Refusal FindDecimalMark(const MarkedAmount& amount, DecimalMark tableMark, char& decimal) {
  const AmountShape& shape = amount.shape;
  decimal = 0;
  if (shape.periods + shape.commas == 0) return std::nullopt;
  const char last = amount.marks[amount.markCount - 1];
  const DecimalMark own = DecimalMarkOf(shape);
  if (own != DecimalMark::kUnknown && tableMark != DecimalMark::kUnknown && own != tableMark) {
    // Said of the mark the cell holds: "1.234.567" holds no comma.
    if (own == DecimalMark::kComma)
      return shape.commas > 0
                 ? "marks decimals with a comma, but the table's other amounts mark them with a period"
                 : "groups thousands with periods, but the table's other amounts mark decimals with a period";
    return shape.periods > 0
               ? "marks decimals with a period, but the table's other amounts mark them with a comma"
               : "groups thousands with commas, but the table's other amounts mark decimals with a comma";
  }
  const char kind = shape.periods > 0 ? '.' : ',';
  if (shape.periods > 0 && shape.commas > 0) {
    decimal = last;  // "1,234.56", "1.234,56"
  } else if (shape.periods + shape.commas == 1 && last == kind) {
    const DecimalMark cellsMark = kind == '.' ? DecimalMark::kPeriod : DecimalMark::kComma;
    if (own != DecimalMark::kUnknown || tableMark == cellsMark) {
      decimal = kind;
    } else if (tableMark == DecimalMark::kUnknown && kind == '.') {
      // "838.500": 838.5 where a period marks decimals, 838,500 where it
      // groups thousands, and nothing else in the table tells which.
      const std::string whole(amount.Digits(0)), fraction(amount.Digits(1));
      return "could be read as " + whole + "." + fraction + " (a decimal point) or as " + whole + fraction +
             " (a thousands mark), and no other amount in the table tells which: copy the column "
             "formatted with thousands separators, as 1,234, or as plain digits";
    }
    // Otherwise a comma before three digits groups thousands, as sheets in
    // dollars write them, unless the table's amounts mark decimals with it.
  }
  if (decimal != 0 && std::count(amount.marks, amount.marks + amount.markCount, decimal) != 1)
    return kNotANumber;
  return std::nullopt;
}

// The thousands marks of the whole part: one kind, groups of three after the first.
bool GroupsThousands(const MarkedAmount& amount, size_t wholeRuns, char decimal) {
  char group = 0;
  for (size_t i = 0; i + 1 < wholeRuns; ++i) {
    if (group == 0) group = amount.marks[i];
    if (amount.marks[i] != group || amount.marks[i] == decimal) return false;
  }
  if (group == 0) return true;
  if (amount.runLength[0] > 3) return false;
  for (size_t i = 1; i < wholeRuns; ++i)
    if (amount.runLength[i] != 3) return false;
  return true;
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
  const CodeWord word(cell);
  for (const auto& [known, number] : column.words) {
    if (word.Is(known)) {
      code = number;
      return std::nullopt;
    }
  }
  return column.refusal;
}

Refusal ReadAmount(std::string_view cell, DecimalMark tableMark, std::string& digits, uint64_t& number,
                   bool& hadFraction) {
  hadFraction = false;
  if (ReadPlainAmount(cell, digits, number)) return std::nullopt;
  if (!cell.empty() && cell[0] == '$') {
    cell.remove_prefix(1);
    while (!cell.empty() && cell[0] == ' ') cell.remove_prefix(1);
  }
  if (IsAccountingZero(cell)) {
    digits = "0";
    number = 0;
    return std::nullopt;
  }
  if (!cell.empty() && std::all_of(cell.begin(), cell.end(), IsDigit)) {  // after "$", or very long
    digits.assign(cell);
    number = ParseValue(digits);
    return std::nullopt;
  }
  if (tableMark == DecimalMark::kPeriod && ReadDollarsAmount(cell, digits, number, hadFraction))
    return std::nullopt;
  MarkedAmount amount;
  if (!ScanMarkedAmount(cell, amount)) return kNotANumber;
  char decimal = 0;
  if (Refusal refusal = FindDecimalMark(amount, tableMark, decimal)) return refusal;
  const size_t wholeRuns = decimal != 0 ? amount.runCount - 1 : amount.runCount;
  if (!GroupsThousands(amount, wholeRuns, decimal)) return kNotANumber;
  char whole[64];  // more digits than any amount EDGAR takes, and the room to carry
  size_t length = 0;
  for (size_t i = 0; i < wholeRuns; ++i)
    for (char c : amount.Digits(i))
      if (length < sizeof whole - 1) whole[length++] = c;
  const std::string_view fraction = decimal != 0 ? amount.Digits(amount.runCount - 1) : std::string_view();
  hadFraction = std::any_of(fraction.begin(), fraction.end(), [](char c) { return c != '0'; });
  RoundHalfUp(whole, length, fraction);
  digits.assign(whole, length);
  number = ParseValue(digits);
  return std::nullopt;
}

Refusal ReadCusip(std::string_view cell, std::string& cusip, bool& zerosRestored) {
  zerosRestored = false;
  if (IsScientificNotation(cell))
    return "is a number in scientific notation, which has lost the CUSIP's digits: format the column as "
           "text and copy it again";
  for (char c : cell)
    if (c != ' ' && (c != '_' || !cusip.empty())) cusip += c;
  // A spreadsheet drops the leading zeros of an all-digit CUSIP; anything
  // else that is short is no CUSIP at all.
  if (!cusip.empty() && cusip.size() < kCusipLength && std::all_of(cusip.begin(), cusip.end(), IsDigit)) {
    cusip.insert(0, kCusipLength - cusip.size(), '0');
    zerosRestored = true;
  }
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

bool NamesNoManager(std::string_view cell) { return cell == "-" || CodeWord(cell).Is("NONE"); }

Refusal ReadOtherManagers(std::string_view cell, std::string& managers) {
  // A CSV export opened in a spreadsheet turns "1,2" into the number 1.2.
  const bool numberLike = cell.find('.') != std::string_view::npos &&
                          std::all_of(cell.begin(), cell.end(),
                                      [](char c) { return IsDigit(c) || c == '.' || c == ',' || c == ' '; });
  if (numberLike) return "holds a period, which separates no manager numbers: write them with commas, as 1,2";
  AppendEscaped(managers, cell);
  return std::nullopt;
}
