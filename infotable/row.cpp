#include "infotable/row.h"

#include <unicode/translit.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool NeedsEscape(std::string_view text) {
  return std::any_of(text.begin(), text.end(), [](char c) { return c == '&' || c == '<' || c == '>'; });
}

bool IsWhiteSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsAsciiLetterOrDigit(char c) { return IsDigit(c) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsXmlControl(unsigned char c) { return c < 0x20 && c != '\t'; }

bool IsBlankLine(std::string_view line) {
  return std::all_of(line.begin(), line.end(), [](char c) { return c == ' ' || c == '\t'; });
}

// Calls `take` with every line that holds more than blanks and tabs.
template <typename Take>
void ForEachLine(std::string_view text, Take take) {
  const char* at = text.data();
  const char* const end = at + text.size();
  while (at != end) {
    const char* lineEnd = static_cast<const char*>(std::memchr(at, '\n', static_cast<size_t>(end - at)));
    if (!lineEnd) lineEnd = end;
    if (const void* cr = std::memchr(at, '\r', static_cast<size_t>(lineEnd - at)))
      lineEnd = static_cast<const char*>(cr);
    const std::string_view line(at, static_cast<size_t>(lineEnd - at));
    if (!IsBlankLine(line)) take(line);
    at = lineEnd;
    while (at != end && (*at == '\r' || *at == '\n')) ++at;
  }
}

// Calls `take` with every cell of a line and its index; the text after the
// last separator is always a cell.
template <typename Take>
void ForEachCell(std::string_view line, char separator, Take take) {
  const char* at = line.data();
  const char* const end = at + line.size();
  for (size_t index = 0;; ++index) {
    const char* cellEnd = at;
    while (cellEnd != end && *cellEnd != separator) ++cellEnd;
    take(std::string_view(at, static_cast<size_t>(cellEnd - at)), index);
    if (cellEnd == end) return;
    at = cellEnd + 1;
  }
}

// Appends a cell without its end blanks and with inner runs of blanks made one.
void AppendCleanCell(std::string& out, std::string_view cell) {
  const char* at = cell.data();
  const char* const end = at + cell.size();
  bool first = true;
  for (;;) {
    while (at != end && *at == ' ') ++at;
    if (at == end) return;
    const char* word = at;
    while (at != end && *at != ' ') ++at;
    if (!first) out += ' ';
    out.append(word, static_cast<size_t>(at - word));
    first = false;
  }
}

// Appends the cells of `line` from `first` up to `last`, cleaned.
void AppendCleanLine(std::string& out, std::string_view line, size_t first, size_t last) {
  ForEachCell(line, '\t', [&](std::string_view cell, size_t index) {
    if (index < first || index >= last) return;
    if (index > first) out += '\t';
    AppendCleanCell(out, cell);
  });
}

// Where a line's cells hold anything.
struct LineShape {
  size_t cells = 0;
  size_t firstFilled = SIZE_MAX;
  size_t lastFilled = 0;
};

// Where a line's cells hold anything, and whether a blank must go.
LineShape ShapeOf(std::string_view line, bool& needsCleaning) {
  LineShape shape;
  needsCleaning = false;
  char previous = '\t';
  for (char c : line) {
    if (c == ' ') {
      needsCleaning |= previous == ' ' || previous == '\t';
    } else if (c == '\t') {
      needsCleaning |= previous == ' ';
      ++shape.cells;
    } else {
      shape.firstFilled = std::min(shape.firstFilled, shape.cells);
      shape.lastFilled = shape.cells;
    }
    previous = c;
  }
  ++shape.cells;
  needsCleaning |= previous == ' ';
  return shape;
}

// Appends a cleaned line to `store`, which never grows past the room it was
// given, so that views of what it holds stay valid.
std::string_view Store(std::vector<char>& store, std::string_view line, size_t first, size_t last) {
  std::string cleaned;
  AppendCleanLine(cleaned, line, first, last);
  const size_t at = store.size();
  store.insert(store.end(), cleaned.begin(), cleaned.end());
  return std::string_view(store.data() + at, cleaned.size());
}

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

constexpr size_t kNoField = kInfoTableFieldCount;

// A caption as a key: its letters and digits, upper case, so that
// "SHRS OR PRN AMT", "sshPrnamt" and "VALUE (x$1000)" compare plainly.
std::string CaptionKey(std::string_view caption) {
  std::string key;
  for (char c : caption)
    if (IsAsciiLetterOrDigit(c)) key += UpperAscii(c);
  return key;
}

// The SEC's captions, their common variants and the schema's element names.
size_t CaptionField(const std::string& key) {
  static const struct {
    const char* key;
    size_t field;
  } kCaptions[] = {
      {"NAMEOFISSUER", kNameOfIssuer},
      {"ISSUER", kNameOfIssuer},
      {"ISSUERNAME", kNameOfIssuer},
      {"NAME", kNameOfIssuer},
      {"TITLEOFCLASS", kTitleOfClass},
      {"CLASS", kTitleOfClass},
      {"TITLE", kTitleOfClass},
      {"CUSIP", kCusip},
      {"FIGI", kFigi},
      {"VALUE", kValue},
      {"VALUEUSD", kValue},
      {"VALUEX1000", kValue},
      {"MARKETVALUE", kValue},
      {"SHRSORPRNAMT", kSshPrnamt},
      {"SSHPRNAMT", kSshPrnamt},
      {"SHARESORPRINCIPALAMOUNT", kSshPrnamt},
      {"AMOUNT", kSshPrnamt},
      {"SHARES", kSshPrnamt},
      {"SHPRN", kSshPrnamtType},
      {"SSHPRNAMTTYPE", kSshPrnamtType},
      {"PUTCALL", kPutCall},
      {"INVESTMENTDISCRETION", kInvestmentDiscretion},
      {"DISCRETION", kInvestmentDiscretion},
      {"OTHERMANAGER", kOtherManager},
      {"OTHERMANAGERS", kOtherManager},
      {"VOTINGAUTHORITYSOLE", kSole},
      {"SOLE", kSole},
      {"VOTINGAUTHORITYSHARED", kShared},
      {"SHARED", kShared},
      {"VOTINGAUTHORITYNONE", kNone},
      {"NONE", kNone},
  };
  for (const auto& caption : kCaptions)
    if (key == caption.key) return caption.field;
  return kNoField;
}

// Without building the key: every line is asked.
bool IsCusipCaption(std::string_view cell) {
  static constexpr std::string_view kCusipKey = "CUSIP";
  size_t matched = 0;
  for (char c : cell) {
    if (!IsAsciiLetterOrDigit(c)) continue;
    if (matched == kCusipKey.size() || UpperAscii(c) != kCusipKey[matched]) return false;
    ++matched;
  }
  return matched == kCusipKey.size();
}

bool IsVotingField(size_t field) { return field == kSole || field == kShared || field == kNone; }

// Captions that stand above a heading's columns rather than name one.
bool IsCaptionAbove(const std::string& key) {
  if (key == "VOTINGAUTHORITY") return true;
  return key.size() > 6 && key.compare(0, 6, "COLUMN") == 0 &&
         std::all_of(key.begin() + 6, key.end(), IsDigit);
}

// Fills in the columns that `cells` name, the first caption of a field
// winning. False when a filled cell is not a caption accepted by `accept`.
template <typename Accept>
bool NameColumns(const Cells& cells, ColumnLayout& layout, Accept accept) {
  bool onlyCaptions = true;
  for (size_t at = 0; at < cells.size(); ++at) {
    if (cells[at].empty()) continue;
    const std::string key = CaptionKey(cells[at]);
    const size_t field = CaptionField(key);
    if (!accept(key, field)) {
      onlyCaptions = false;
    } else if (field != kNoField && layout.cell[field] == kNoColumn) {
      layout.cell[field] = static_cast<int>(at);
    }
  }
  return onlyCaptions;
}

bool NamesEveryNeededField(const ColumnLayout& layout) {
  for (size_t field : {kNameOfIssuer, kTitleOfClass, kCusip, kValue, kSshPrnamt, kInvestmentDiscretion, kSole,
                       kShared, kNone})
    if (layout.cell[field] == kNoColumn) return false;
  return true;
}

// Collects the reasons a row is refused, each naming its column.
class Refusals {
 public:
  void Add(const char* caption, std::string_view cell, const char* why) {
    if (!text_.empty()) text_ += "; ";
    text_ += caption;
    if (cell.empty()) {
      text_ += " is empty";
      return;
    }
    text_ += " \"";
    text_ += cell;
    text_ += "\" ";
    text_ += why;
  }
  std::string Take() { return std::move(text_); }

 private:
  std::string text_;
};

// A code cell's word, upper case, with runs of blanks and hyphens as one hyphen.
std::string CodeWord(std::string_view cell) {
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

// Looks the cell's code word up among (word, code) pairs; nullptr when absent.
const char* LookUpCode(std::string_view cell,
                       std::initializer_list<std::pair<const char*, const char*>> codes) {
  const std::string word = CodeWord(cell);
  for (const auto& code : codes)
    if (word == code.first) return code.second;
  return nullptr;
}

void ReadAmountField(Refusals& refusals, const char* caption, std::string_view cell, bool emptyIsZero,
                     std::string& digits) {
  if (cell.empty() && emptyIsZero) {
    digits = "0";
  } else if (cell.empty() || !ReadAmount(cell, digits)) {
    refusals.Add(caption, cell, "is not a number");
  }
}

icu::Transliterator* LatinAscii() {
  thread_local std::unique_ptr<icu::Transliterator> transliterator = [] {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Transliterator> created(
        icu::Transliterator::createInstance("Latin-ASCII", UTRANS_FORWARD, status));
    return U_SUCCESS(status) ? std::move(created) : nullptr;
  }();
  return transliterator.get();
}

}  // namespace

bool IsNotApplicable(std::string_view cell) {
  return cell.size() == 3 && LowerAscii(cell[0]) == 'n' && cell[1] == '/' && LowerAscii(cell[2]) == 'a';
}

bool IsNumericField(size_t position) {
  return position == kValue || position == kSshPrnamt || IsVotingField(position);
}

const char* FieldCaption(size_t position) {
  static const char* const kCaptions[kInfoTableFieldCount] = {"Name of issuer",
                                                              "Title of class",
                                                              "CUSIP",
                                                              "Value",
                                                              "Shares or principal amount",
                                                              "SH/PRN",
                                                              "Put/Call",
                                                              "Investment discretion",
                                                              "Other managers",
                                                              "Voting authority sole",
                                                              "Voting authority shared",
                                                              "Voting authority none",
                                                              "FIGI"};
  return position < kInfoTableFieldCount ? kCaptions[position] : "";
}

size_t Utf8SequenceLength(std::string_view text, size_t position) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(position);
  if (lead < 0x80) return 1;
  size_t length;
  unsigned char low = 0x80, high = 0xBF;  // range of the first continuation byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (position + length > text.size()) return 0;
  if (byte(position + 1) < low || byte(position + 1) > high) return 0;
  for (size_t i = 2; i < length; ++i)
    if ((byte(position + i) & 0xC0) != 0x80) return 0;
  return length;
}

NormalizedText NormalizeClipboardText(std::string_view clipboard) {
  NormalizedText result;
  result.cleaned.reserve(clipboard.size());
  size_t left = SIZE_MAX, right = 0, widest = 0;
  ForEachLine(clipboard, [&](std::string_view line) {
    bool needsCleaning;
    const LineShape shape = ShapeOf(line, needsCleaning);
    result.lines.push_back(needsCleaning ? Store(result.cleaned, line, 0, SIZE_MAX) : line);
    left = std::min(left, shape.firstFilled);
    right = std::max(right, shape.lastFilled + 1);
    widest = std::max(widest, shape.cells);
  });
  if (right == 0) return result;
  result.width = right - left;
  if (left > 0 || widest > right) {  // edge columns empty on every line
    std::vector<char> kept;
    kept.reserve(clipboard.size());
    for (std::string_view& line : result.lines) line = Store(kept, line, left, right);
    result.cleaned.swap(kept);
  }
  return result;
}

Cells SplitFields(std::string_view line, char separator) {
  Cells cells;
  SplitFields(line, separator, cells);
  return cells;
}

void SplitFields(std::string_view line, char separator, Cells& cells) {
  cells.clear();
  ForEachCell(line, separator, [&](std::string_view cell, size_t) { cells.push_back(cell); });
}

std::string ShowCells(std::string_view line) {
  constexpr size_t kShownCharacters = 500;
  std::string shown;
  size_t characters = 0;
  bool cellEmpty = true;
  for (size_t i = 0; i <= line.size();) {
    if (i == line.size() || line[i] == '\t') {
      if (cellEmpty) shown += "(blank)";
      if (i == line.size()) break;
      cellEmpty = true;
    } else {
      cellEmpty = false;
    }
    if (characters++ == kShownCharacters) return shown + "\xE2\x80\xA6";  // an ellipsis
    const size_t length = std::max<size_t>(Utf8SequenceLength(line, i), 1);
    shown.append(line, i, length);
    i += length;
  }
  return shown;
}

bool LayoutForWidth(size_t width, ColumnLayout& layout) {
  if (width < 11 || width > 13) return false;
  layout = ColumnLayout();
  const size_t shift = width == 13 ? 1 : 0;  // the FIGI after the CUSIP
  for (size_t field = kNameOfIssuer; field <= kCusip; ++field) layout.cell[field] = static_cast<int>(field);
  for (size_t field = kValue; field <= (width == 11 ? kShared : kNone); ++field)
    layout.cell[field] = static_cast<int>(field + shift);
  if (width == 13) layout.cell[kFigi] = kCusip + 1;
  layout.votingKindWord = width == 11;
  return true;
}

size_t ReadHeading(const Cells& cells, std::string_view lineBelow, ColumnLayout& layout) {
  if (std::none_of(cells.begin(), cells.end(), IsCusipCaption)) return 0;
  ColumnLayout named;
  NameColumns(cells, named, [](const std::string&, size_t) { return true; });
  size_t lines = 1;
  if (named.cell[kSole] == kNoColumn && named.cell[kShared] == kNoColumn && named.cell[kNone] == kNoColumn) {
    // The SEC form's heading: SOLE, SHARED and NONE on a line of their own
    // under VOTING AUTHORITY.
    ColumnLayout under;
    if (NameColumns(SplitFields(lineBelow, '\t'), under,
                    [](const std::string&, size_t field) { return IsVotingField(field); })) {
      for (size_t field : {kSole, kShared, kNone}) named.cell[field] = under.cell[field];
      lines = 2;
    }
  }
  if (!NamesEveryNeededField(named)) return 0;
  layout = named;
  return lines;
}

bool IsThousandsCaption(std::string_view caption) { return CaptionKey(caption) == "VALUEX1000"; }

bool MayBeHeading(std::string_view line) {
  const auto matches = [&](size_t at) {
    return at + 5 <= line.size() && UpperAscii(line[at + 1]) == 'U' && UpperAscii(line[at + 2]) == 'S' &&
           UpperAscii(line[at + 3]) == 'I' && UpperAscii(line[at + 4]) == 'P';
  };
  for (char first : {'C', 'c'})  // memchr's speed: few letters of a line are a C
    for (size_t at = line.find(first); at != std::string_view::npos; at = line.find(first, at + 1))
      if (matches(at)) return true;
  return false;
}

bool IsCaptionLine(const Cells& cells) {
  bool any = false;
  for (std::string_view cell : cells) {
    if (cell.empty()) continue;
    if (!IsCaptionAbove(CaptionKey(cell))) return false;
    any = true;
  }
  return any;
}

std::string ReadRow(const Cells& cells, const ColumnLayout& layout, InfoTableRow& row) {
  // The strings keep their room from row to row.
  row.resize(kInfoTableFieldCount);
  for (std::string& field : row) field.clear();
  const auto cell = [&](size_t field) {
    const int at = layout.cell[field];
    if (at == kNoColumn || static_cast<size_t>(at) >= cells.size()) return std::string_view();
    return IsNotApplicable(cells[at]) ? std::string_view() : cells[at];
  };
  Refusals refusals;
  const auto required = [&](size_t field) {
    const std::string_view text = cell(field);
    if (text.empty()) refusals.Add(FieldCaption(field), text, "");
    return text;
  };

  const std::string_view name = required(kNameOfIssuer);
  if (name.find('%') == std::string_view::npos)
    AppendEscaped(row[kNameOfIssuer], name);
  else
    AppendEscaped(row[kNameOfIssuer], CleanIssuerName(name));
  AppendEscaped(row[kTitleOfClass], required(kTitleOfClass));

  if (const std::string_view cusip = required(kCusip); !cusip.empty()) {
    std::string& cleaned = row[kCusip];
    for (char c : cusip)
      if (c != ' ' && (c != '_' || !cleaned.empty())) cleaned += c;
    // A spreadsheet drops the leading zeros of an all-digit CUSIP; anything
    // else that is short is no CUSIP at all.
    if (!cleaned.empty() && cleaned.size() < 9 && std::all_of(cleaned.begin(), cleaned.end(), IsDigit))
      cleaned.insert(0, 9 - cleaned.size(), '0');
    if (cleaned.size() < 9)
      refusals.Add(FieldCaption(kCusip), cusip, "is not 9 letters or digits");
    else if (NeedsEscape(cleaned))
      cleaned = EscapeMarkup(cleaned);
  }

  if (const std::string_view figi = cell(kFigi); !figi.empty()) {
    if (figi.size() == 12 && std::all_of(figi.begin(), figi.end(), IsAsciiLetterOrDigit))
      row[kFigi].assign(figi);
    else
      refusals.Add(FieldCaption(kFigi), figi, "is not 12 letters or digits");
  }

  ReadAmountField(refusals, FieldCaption(kValue), cell(kValue), false, row[kValue]);
  ReadAmountField(refusals, FieldCaption(kSshPrnamt), cell(kSshPrnamt), false, row[kSshPrnamt]);

  if (const std::string_view type = required(kSshPrnamtType); !type.empty()) {
    const char* code =
        LookUpCode(type, {{"SH", "SH"}, {"SHARES", "SH"}, {"PRN", "PRN"}, {"PRINCIPAL", "PRN"}});
    if (code)
      row[kSshPrnamtType] = code;
    else
      refusals.Add(FieldCaption(kSshPrnamtType), type, "is not SH or PRN");
  }

  if (const std::string_view putCall = cell(kPutCall); !putCall.empty()) {
    const char* code = LookUpCode(putCall, {{"PUT", "Put"}, {"CALL", "Call"}});
    if (code)
      row[kPutCall] = code;
    else
      refusals.Add(FieldCaption(kPutCall), putCall, "is not Put or Call");
  }

  if (const std::string_view discretion = required(kInvestmentDiscretion); !discretion.empty()) {
    const char* code = LookUpCode(discretion, {{"SOLE", "SOLE"},
                                               {"DFND", "DFND"},
                                               {"DEFINED", "DFND"},
                                               {"SHARED-DEFINED", "DFND"},
                                               {"OTR", "OTR"},
                                               {"OTHER", "OTR"},
                                               {"SHARED-OTHER", "OTR"}});
    if (code)
      row[kInvestmentDiscretion] = code;
    else
      refusals.Add(FieldCaption(kInvestmentDiscretion), discretion, "is not SOLE, DFND or OTR");
  }

  const std::string_view manager = cell(kOtherManager);
  if (manager != "-" && CodeWord(manager) != "NONE") AppendEscaped(row[kOtherManager], manager);

  if (layout.votingKindWord) {
    std::string amount;
    ReadAmountField(refusals, "Voting authority", cell(kSole), true, amount);
    const std::string_view kind = cell(kShared);
    const std::string word = CodeWord(kind);
    const size_t named = word == "SOLE"     ? kSole
                         : word == "SHARED" ? kShared
                         : word == "NONE"   ? kNone
                                            : kNoField;
    if (named == kNoField) refusals.Add("Voting authority kind", kind, "is not sole, shared or none");
    for (size_t position : {kSole, kShared, kNone}) row[position] = position == named ? amount : "0";
  } else {
    for (size_t position : {kSole, kShared, kNone})
      ReadAmountField(refusals, FieldCaption(position), cell(position), true, row[position]);
  }
  return refusals.Take();
}

std::string ReadFilledCells(std::string_view line, InfoTableRow& row) {
  // Counted first: a line of a million cells is refused without cutting it up.
  size_t count = 0;
  ForEachCell(line, '\t', [&](std::string_view cell, size_t) { count += !cell.empty(); });
  ColumnLayout layout;
  if (count == 13 || !LayoutForWidth(count, layout))
    return "The row has " + std::to_string(count) +
           " filled cells, but a row needs 11, 12 or 13 columns, or a heading row that names them";
  Cells filled;
  ForEachCell(line, '\t', [&](std::string_view cell, size_t) {
    if (!cell.empty()) filled.push_back(cell);
  });
  return ReadRow(filled, layout, row);
}

size_t CountInvalidCharacters(std::string_view line) {
  // Most lines hold none: one pass that only asks whether any byte is suspect.
  static const auto kSuspect = [] {
    std::array<bool, 256> suspect{};
    for (int c = 0; c < 256; ++c)
      suspect[c] = c >= 0x80 || c == '+' || IsXmlControl(static_cast<unsigned char>(c));
    return suspect;
  }();
  bool any = false;
  for (char c : line) any |= kSuspect[static_cast<unsigned char>(c)];
  if (!any) return 0;
  size_t count = 0;
  for (size_t i = 0; i < line.size();) {
    const unsigned char c = static_cast<unsigned char>(line[i]);
    size_t length = 1;
    if (c >= 0x80) {
      length = std::max<size_t>(Utf8SequenceLength(line, i), 1);
      ++count;
    } else if (c == '+' || IsXmlControl(c)) {
      ++count;
    }
    i += length;
  }
  return count;
}

std::string LeaveOutNonXmlCharacters(std::string_view line) {
  std::string kept;
  kept.reserve(line.size());
  for (size_t i = 0; i < line.size();) {
    const unsigned char c = static_cast<unsigned char>(line[i]);
    if (c < 0x80) {
      if (!IsXmlControl(c)) kept += static_cast<char>(c);
      ++i;
      continue;
    }
    const size_t length = Utf8SequenceLength(line, i);
    if (length == 0) {
      ++i;
      continue;
    }
    const std::string_view sequence = line.substr(i, length);
    if (sequence != "\xEF\xBF\xBE" && sequence != "\xEF\xBF\xBF") kept.append(sequence);
    i += length;
  }
  return kept;
}

std::string PlainAsciiLine(std::string_view line) {
  // Stray bytes become U+FFFD here and are left out with everything else
  // that has no ASCII form.
  icu::UnicodeString text = icu::UnicodeString::fromUTF8(icu::StringPiece(line.data(), line.size()));
  if (icu::Transliterator* transliterator = LatinAscii()) transliterator->transliterate(text);
  std::string converted;
  text.toUTF8String(converted);
  std::string ascii;
  for (char c : converted)
    if (static_cast<unsigned char>(c) < 0x80 && !IsXmlControl(static_cast<unsigned char>(c))) ascii += c;
  std::string cleaned;
  cleaned.reserve(ascii.size());
  AppendCleanLine(cleaned, ascii, 0, SIZE_MAX);
  return cleaned;
}

std::string EscapeMarkup(std::string_view text) {
  std::string escaped;
  AppendEscaped(escaped, text);
  return escaped;
}

void AppendEscaped(std::string& out, std::string_view text) {
  if (!NeedsEscape(text)) {
    out.append(text);
    return;
  }
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      default: out += c;
    }
  }
}

bool ReadAmount(std::string_view cell, std::string& digits) {
  if (!cell.empty() && cell[0] == '$') {
    cell.remove_prefix(1);
    while (!cell.empty() && cell[0] == ' ') cell.remove_prefix(1);
  }
  if (cell == "-") {  // how accounting formats show zero
    digits = "0";
    return true;
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
      return false;
    }
  }
  if (length == 0 || (grouped && group != 3)) return false;
  const std::string_view fraction = at < cell.size() ? cell.substr(at + 1) : std::string_view();
  if (!std::all_of(fraction.begin(), fraction.end(), IsDigit)) return false;
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
  return true;
}
