#include "infotable/heading.h"

#include <algorithm>
#include <string>
#include <vector>

#include "infotable/text_forms.h"

namespace {

constexpr size_t kNoField = kInfoTableFieldCount;

// The abbreviations of captions written out; little words and units left out.
constexpr struct {
  std::string_view word, meaning;
} kWords[] = {
      {"SHRS", "SHARES"},
      {"SHS", "SHARES"},
      {"PRN", "PRINCIPAL"},
      {"PRIN", "PRINCIPAL"},
      {"AMT", "AMOUNT"},
      {"AMNT", "AMOUNT"},
      {"QTY", "QUANTITY"},
      {"MKT", "MARKET"},
      {"VAL", "VALUE"},
      {"INV", "INVESTMENT"},
      {"INVEST", "INVESTMENT"},
      {"DISC", "DISCRETION"},
      {"DISCR", "DISCRETION"},
      {"MGR", "MANAGER"},
      {"MGRS", "MANAGER"},
      {"MANAGERS", "MANAGER"},
      {"MNGR", "MANAGER"},
      {"AUTH", "AUTHORITY"},
      {"VTG", "VOTING"},
      {"VOTE", "VOTING"},
      {"NO", "NUMBER"},
      {"NBR", "NUMBER"},
      {"TTL", "TITLE"},
      {"CLS", "CLASS"},
      {"S", ""},  // the "(S)" of "MANAGER(S)"
      {"OR", ""},
      {"OF", ""},
      {"THE", ""},
      {"AND", ""},
      {"IN", ""},
      {"USD", ""},
      {"DOLLARS", ""},
      {"X", ""},
};
// The words that give a value column in thousands of dollars.
constexpr std::string_view kThousandsWords[] = {"X1000", "1000", "000", "000S", "THOUSANDS", "X000"};

// A caption as a key: its words, upper case, abbreviations written out,
// little words and units left out, sorted. "SHRS OR PRN AMT", "Shares/Principal
// Amount" and "Amount, principal or shares" give one key; so do "Other
// Managers", "Mgr" and "OTHER MANAGER(S)".
std::string CaptionKey(std::string_view caption, bool* thousands = nullptr) {
  std::vector<std::string> words;
  std::string word;
  const auto endWord = [&] {
    if (word.empty()) return;
    std::string meaning = word;
    for (const auto& known : kWords)
      if (word == known.word) meaning = known.meaning;
    if (std::find(std::begin(kThousandsWords), std::end(kThousandsWords), word) !=
        std::end(kThousandsWords)) {
      if (thousands) *thousands = true;
      meaning.clear();
    }
    if (!meaning.empty()) words.push_back(meaning);
    word.clear();
  };
  for (char c : caption) {
    if (IsAsciiLetterOrDigit(c))
      word += UpperAscii(c);
    else
      endWord();
  }
  endWord();
  std::sort(words.begin(), words.end());
  std::string key;
  for (const std::string& each : words) key += (key.empty() ? "" : " ") + each;
  return key;
}

// The captions of the SEC's form, of filers' templates and the schema's
// element names, as keys.
constexpr struct {
  const char* key;
  size_t field;
} kCaptions[] = {
      {"ISSUER NAME", kNameOfIssuer},
      {"ISSUER", kNameOfIssuer},
      {"NAME", kNameOfIssuer},
      {"NAMEOFISSUER", kNameOfIssuer},
      {"COMPANY", kNameOfIssuer},
      {"COMPANY NAME", kNameOfIssuer},
      {"NAME SECURITY", kNameOfIssuer},
      {"CLASS TITLE", kTitleOfClass},
      {"CLASS", kTitleOfClass},
      {"TITLE", kTitleOfClass},
      {"TITLEOFCLASS", kTitleOfClass},
      {"CUSIP", kCusip},
      {"CUSIP NUMBER", kCusip},
      {"FIGI", kFigi},
      {"VALUE", kValue},
      {"MARKET VALUE", kValue},
      {"FAIR VALUE", kValue},
      {"VALUEUSD", kValue},
      {"AMOUNT PRINCIPAL SHARES", kSshPrnamt},
      {"AMOUNT SHARES", kSshPrnamt},
      {"AMOUNT PRINCIPAL", kSshPrnamt},
      {"PRINCIPAL SHARES", kSshPrnamt},
      {"SHARES", kSshPrnamt},
      {"AMOUNT", kSshPrnamt},
      {"QUANTITY", kSshPrnamt},
      {"NUMBER SHARES", kSshPrnamt},
      {"AMOUNT PRINCIPAL SH", kSshPrnamt},
      {"SSHPRNAMT", kSshPrnamt},
      {"PRINCIPAL SH", kSshPrnamtType},
      {"SHPRN", kSshPrnamtType},
      {"SSHPRNAMTTYPE", kSshPrnamtType},
      {"CALL PUT", kPutCall},
      {"PUTCALL", kPutCall},
      {"DISCRETION INVESTMENT", kInvestmentDiscretion},
      {"DISCRETION", kInvestmentDiscretion},
      {"INVESTMENTDISCRETION", kInvestmentDiscretion},
      {"MANAGER OTHER", kOtherManager},
      {"MANAGER", kOtherManager},
      {"OTHERMANAGER", kOtherManager},
      {"OTHERMANAGERS", kOtherManager},
      {"AUTHORITY SOLE VOTING", kVotingSole},
      {"AUTHORITY SOLE", kVotingSole},
      {"SOLE VOTING", kVotingSole},
      {"SOLE", kVotingSole},
      {"AUTHORITY SHARED VOTING", kVotingShared},
      {"AUTHORITY SHARED", kVotingShared},
      {"SHARED VOTING", kVotingShared},
      {"SHARED", kVotingShared},
      {"AUTHORITY NONE VOTING", kVotingNone},
      {"AUTHORITY NONE", kVotingNone},
      {"NONE VOTING", kVotingNone},
      {"NONE", kVotingNone},
};

size_t CaptionField(const std::string& key) {
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
    if (matched == kCusipKey.size() || UpperAscii(c) != kCusipKey[matched])
      return matched == kCusipKey.size();
    ++matched;
  }
  return matched == kCusipKey.size();
}

// Captions that stand above a heading's columns rather than name one.
bool IsCaptionAbove(const std::string& key) {
  if (key == "AUTHORITY VOTING" || key == "VOTING") return true;
  // "COLUMN 4", its words sorted: the number first.
  const size_t blank = key.find(' ');
  return blank != std::string::npos && blank > 0 && key.compare(blank, std::string::npos, " COLUMN") == 0 &&
         std::all_of(key.begin(), key.begin() + static_cast<std::ptrdiff_t>(blank), IsDigit);
}

// The captions a line names, the first caption of a field winning; the cells
// whose text is no caption are counted and listed.
struct NamedColumns {
  ColumnLayout layout;
  size_t captions = 0;              // cells that name a field or stand above columns
  size_t filled = 0;                // cells that hold anything
  std::vector<size_t> notCaptions;  // cells that hold something else
};

template <typename Accept>
NamedColumns NameColumns(const Cells& cells, Accept accept) {
  NamedColumns named;
  for (size_t at = 0; at < cells.size(); ++at) {
    if (cells[at].empty()) continue;
    ++named.filled;
    const std::string key = CaptionKey(cells[at]);
    const size_t field = CaptionField(key);
    if (!accept(key, field)) {
      named.notCaptions.push_back(at);
      continue;
    }
    ++named.captions;
    if (field != kNoField && !named.layout.cell[field]) named.layout.cell[field] = at;
  }
  return named;
}

constexpr size_t kNeededFields[] = {kNameOfIssuer,         kTitleOfClass, kCusip,  kValue, kSshPrnamt,
                                    kInvestmentDiscretion, kVotingSole,         kVotingShared, kVotingNone};

bool AnyCaption(const std::string& key, size_t field) { return field != kNoField || IsCaptionAbove(key); }

}  // namespace

std::optional<Heading> ReadHeading(const Cells& cells, std::string_view lineBelow) {
  if (std::none_of(cells.begin(), cells.end(), IsCusipCaption)) return std::nullopt;
  NamedColumns named = NameColumns(cells, AnyCaption);
  // A heading is a line of captions: most of its cells name a column.
  if (named.captions * 2 < named.filled) return std::nullopt;
  Heading heading{named.layout, 1, {}, {}};
  ColumnLayout& layout = heading.layout;
  if (!layout.cell[kVotingSole] && !layout.cell[kVotingShared] && !layout.cell[kVotingNone]) {
    // The SEC form's heading: SOLE, SHARED and NONE on a line of their own
    // under VOTING AUTHORITY.
    const NamedColumns under = NameColumns(
        SplitFields(lineBelow, '\t'), [](const std::string&, size_t field) { return IsVotingField(field); });
    if (under.filled > 0 && under.notCaptions.empty()) {
      for (size_t field : {kVotingSole, kVotingShared, kVotingNone}) layout.cell[field] = under.layout.cell[field];
      heading.lines = 2;
    }
  }
  // A caption not understood stands, in a table of the SEC's columns, where
  // its field does: it is read so, and named.
  if (const std::optional<ColumnLayout> byPosition = LayoutForWidth(cells.size()); byPosition) {
    for (size_t at : named.notCaptions) {
      for (size_t field = 0; field < kInfoTableFieldCount; ++field) {
        if (byPosition->cell[field] != at || layout.cell[field]) continue;
        layout.cell[field] = at;
        layout.votingKindWord = byPosition->votingKindWord && (field == kVotingSole || field == kVotingShared);
        heading.byPosition.push_back({at, std::string(cells[at]), field});
      }
    }
  }
  for (size_t field : kNeededFields)
    if (!layout.cell[field]) heading.missing.push_back(field);
  return heading;
}

bool IsCaption(std::string_view text) { return CaptionField(CaptionKey(text)) != kNoField; }

bool IsThousandsCaption(std::string_view caption) {
  bool thousands = false;
  return CaptionField(CaptionKey(caption, &thousands)) == kValue && thousands;
}

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

std::string MissingColumnsText(const std::vector<size_t>& missing) {
  std::string fields;
  for (size_t i = 0; i < missing.size(); ++i)
    fields += std::string(i == 0 ? "" : i + 1 == missing.size() ? " and " : ", ") + FieldCaption(missing[i]);
  return "the heading names no column for " + fields + ", so the rows under it can't be read: caption the " +
         (missing.size() == 1 ? "column" : "columns") + " as the SEC's form does";
}

std::string ByPositionText(const Heading::ByPosition& column) {
  return "column " + std::to_string(column.column + 1) + " \"" + column.caption +
         "\" is not a caption this program knows: read as " + FieldCaption(column.field) +
         " by its position in the SEC's order";
}
