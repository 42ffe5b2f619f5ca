#include "infotable/heading.h"

#include <algorithm>
#include <string>

#include "infotable/text_forms.h"

namespace {

constexpr size_t kNoField = kInfoTableFieldCount;

// The SEC's old caption of a value column in thousands of dollars, as a key.
constexpr std::string_view kThousandsKey = "VALUEX1000";

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
      {kThousandsKey.data(), kValue},
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
    } else if (field != kNoField && !layout.cell[field]) {
      layout.cell[field] = at;
    }
  }
  return onlyCaptions;
}

bool NamesEveryNeededField(const ColumnLayout& layout) {
  for (size_t field : {kNameOfIssuer, kTitleOfClass, kCusip, kValue, kSshPrnamt, kInvestmentDiscretion, kSole,
                       kShared, kNone})
    if (!layout.cell[field]) return false;
  return true;
}

}  // namespace

std::optional<ColumnLayout> LayoutForWidth(size_t width) {
  if (width < kNarrowestTable || width > kWidestTable) return std::nullopt;
  ColumnLayout layout;
  const size_t shift = width == kWidestTable ? 1 : 0;  // the FIGI after the CUSIP
  for (size_t field = kNameOfIssuer; field <= kCusip; ++field) layout.cell[field] = field;
  for (size_t field = kValue; field <= (width == kNarrowestTable ? kShared : kNone); ++field)
    layout.cell[field] = field + shift;
  if (shift) layout.cell[kFigi] = kCusip + 1;
  layout.votingKindWord = width == kNarrowestTable;
  return layout;
}

std::optional<ColumnLayout> LayoutForFilledCells(size_t count) {
  if (count == kWidestTable) return std::nullopt;
  return LayoutForWidth(count);
}

std::string FilledCellsRefusal(size_t count) {
  return "The row has " + std::to_string(count) + " filled cells, but a row needs " +
         std::to_string(kNarrowestTable) + ", " + std::to_string(kNarrowestTable + 1) + " or " +
         std::to_string(kWidestTable) + " columns, or a heading row that names them";
}

std::optional<Heading> ReadHeading(const Cells& cells, std::string_view lineBelow) {
  if (std::none_of(cells.begin(), cells.end(), IsCusipCaption)) return std::nullopt;
  Heading heading{{}, 1};
  ColumnLayout& named = heading.layout;
  NameColumns(cells, named, [](const std::string&, size_t) { return true; });
  if (!named.cell[kSole] && !named.cell[kShared] && !named.cell[kNone]) {
    // The SEC form's heading: SOLE, SHARED and NONE on a line of their own
    // under VOTING AUTHORITY.
    ColumnLayout under;
    if (NameColumns(SplitFields(lineBelow, '\t'), under,
                    [](const std::string&, size_t field) { return IsVotingField(field); })) {
      for (size_t field : {kSole, kShared, kNone}) named.cell[field] = under.cell[field];
      heading.lines = 2;
    }
  }
  if (!NamesEveryNeededField(named)) return std::nullopt;
  return heading;
}

bool IsThousandsCaption(std::string_view caption) { return CaptionKey(caption) == kThousandsKey; }

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
