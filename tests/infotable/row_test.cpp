#include "infotable/row.h"

#include <gtest/gtest.h>

namespace {

struct TextCase {
  const char* input;
  const char* expected;
};

TEST(NormalizeClipboardText, FoldsTabsBlanksAndBlankLines) {
  const TextCase cases[] = {
      {"A\t\tB", "A\tB\n"},                      // an empty cell vanishes
      {"\tA\tB\t\t", "A\tB\n"},                  // no tab before the first or after the last field
      {"  A   b  \t  C ", "A b\tC\n"},           // blanks trimmed at field ends, folded inside
      {"A\r\n\r\n \t \r\nB\rC\n", "A\nB\nC\n"},  // blank lines and every line break kind
      {"", ""},
      {"\r\n\t \n", ""},
  };
  for (const TextCase& c : cases) EXPECT_EQ(NormalizeClipboardText(c.input).text, c.expected) << c.input;
}

TEST(NormalizeClipboardText, CountsTheWidestLine) {
  EXPECT_EQ(NormalizeClipboardText("a\tb\tc\nd\t\t\t\te\n").largestFieldCount, 3);
  EXPECT_EQ(NormalizeClipboardText(" \t\n\n").largestFieldCount, 0);
}

TEST(FindInvalidCharacters, ReportsEachCharacterOnce) {
  const struct {
    std::string line;
    std::vector<std::string> invalid;
  } cases[] = {
      {"plain ASCII 1,000 $ % & <>", {}},
      {"A+B+C", {"+", "+"}},
      {"Caf\xC3\xA9 \xE2\x82\xAC", {"\xC3\xA9", "\xE2\x82\xAC"}},  // one per UTF-8 character
      {"NB\xC2\xA0SP", {"\xC2\xA0"}},
      {"bad \xFF\xC3 end", {"\xFF", "\xC3"}},  // stray bytes one each
      {"ctl\x01\x1F\x7F", {"\x01", "\x1F"}},   // XML 1.0 cannot hold C0 controls
      {std::string("nul\0x", 5), {std::string(1, '\0')}},
      {"tab\tis fine", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(FindInvalidCharacters(c.line), c.invalid) << c.line;
}

TEST(LeaveOutNonXmlCharacters, KeepsValidUtf8AndDropsTheRest) {
  EXPECT_EQ(LeaveOutNonXmlCharacters("a\x01"
                                     "b\tc\xC3\xA9\xFF\xED\xA0\x80\xEF\xBF\xBE"
                                     "d"),
            "ab\tc\xC3\xA9"
            "d");
  EXPECT_EQ(LeaveOutNonXmlCharacters(std::string("x\0y", 3)), "xy");
}

TEST(SplitFields, TextAfterTheLastSeparatorIsAField) {
  EXPECT_EQ(SplitFields("a\tb", '\t'), (InfoTableRow{"a", "b"}));
  EXPECT_EQ(SplitFields("a\t", '\t'), (InfoTableRow{"a", ""}));
  EXPECT_EQ(SplitFields("", '\t'), (InfoTableRow{""}));
}

InfoTableRow Row(std::initializer_list<const char*> fields) {
  return InfoTableRow(fields.begin(), fields.end());
}

TEST(ValidateRow, ChecksCountAndLeadingCharacters) {
  const struct {
    InfoTableRow row;
    bool accepted;
  } cases[] = {
      {Row({"N", "T", "C", "1", "2", "SH", "P", "SOLE", "M", "1", "sole"}), true},  // 11 fields
      {Row({"N", "T", "C", "$1", "2", "SH", "P", "SOLE", "M", "1", "z", "z"}), true},
      {Row({"N", "T", "C", "1", "2", "SH", "P", "SOLE", "M", "1"}), false},  // 10 fields
      {Row({"N", "T", "C", "1", "2", "SH", "P", "SOLE", "M", "1", "2", "3", "4"}), false},
      {Row({"N", "T", "C", "n/a", "2", "SH", "P", "SOLE", "M", "1", "2", "3"}), false},
      {Row({"N", "T", "C", "12abc", "2", "SH", "P", "SOLE", "M", "1", "2", "3"}), true},
      {Row({"N", "T", "C", "1", "$2", "SH", "P", "SOLE", "M", "1", "2", "3"}), false},
      {Row({"N", "T", "C", "1", "2", "SH", "P", "SOLE", "M", "", "2", "3"}), false},
      {Row({"Name", "Title", "CUSIP", "Value", "Shares", "Type", "PutCall", "Disc", "Mgr", "Sole", "Shared",
            "None"}),
       false},  // a header row
  };
  for (const auto& c : cases) EXPECT_EQ(ValidateRow(c.row), c.accepted) << ::testing::PrintToString(c.row);
}

InfoTableRow Normalized(InfoTableRow row) {
  NormalizeRow(row);
  return row;
}

InfoTableRow Base() {
  return Row({"ABC CORP", "COM", "123456789", "100", "200", "SH", "", "SOLE", "", "1", "2", "3"});
}

InfoTableRow With(size_t position, const char* value) {
  InfoTableRow row = Base();
  row[position] = value;
  return row;
}

TEST(NormalizeRow, RewritesEachFieldToItsFinalForm) {
  const struct {
    InfoTableRow row;
    size_t position;
    const char* expected;
  } cases[] = {
      {With(kSshPrnamtType, "Shares"), kSshPrnamtType, "SH"},
      {With(kSshPrnamtType, "prn"), kSshPrnamtType, "PRN"},
      {With(kSshPrnamtType, "units"), kSshPrnamtType, "PRN"},
      {With(kPutCall, "CALL"), kPutCall, "Call"},
      {With(kPutCall, "put"), kPutCall, "Put"},
      {With(kPutCall, "x"), kPutCall, ""},
      {With(kInvestmentDiscretion, "Defined"), kInvestmentDiscretion, "DFND"},
      {With(kInvestmentDiscretion, "Other"), kInvestmentDiscretion, "OTR"},
      {With(kInvestmentDiscretion, "sole"), kInvestmentDiscretion, "SOLE"},
      {With(kInvestmentDiscretion, ""), kInvestmentDiscretion, "OTR"},
      {With(kNameOfIssuer, "ABC 5% PFD"), kNameOfIssuer, "ABC 5 percent PFD"},
      {With(kNameOfIssuer, "100%"), kNameOfIssuer, "100 percent"},
      {With(kNameOfIssuer,
            "A\xC2\xA0\xC2\xA0"
            "B"),
       kNameOfIssuer, "A B"},
      {With(kNameOfIssuer, "AT&T <NEW>"), kNameOfIssuer, "AT&amp;T &lt;NEW&gt;"},
      {With(kNameOfIssuer, "N/A"), kNameOfIssuer, ""},
      {With(kCusip, "_1234 5678"), kCusip, "012345678"},
      {With(kCusip, "12345678901"), kCusip, "12345678901"},
      {With(kCusip, "__"), kCusip, "000000000"},
      {With(kValue, "$1,234.56"), kValue, "1234"},
      {With(kValue, "12abc"), kValue, "12"},
      {With(kOtherManager, "n/A"), kOtherManager, ""},
      {With(kOtherManager, "1,2"), kOtherManager, "1,2"},
      {With(kShared, "n/a"), kShared, ""},
      {With(kNone, "x"), kNone, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(Normalized(c.row)[c.position], c.expected) << c.row[c.position];
}

TEST(NormalizeRow, ElevenFieldLayoutNamesTheVotingKind) {
  const struct {
    const char* kind;
    InfoTableRow voting;
  } cases[] = {
      {"Sole", Row({"500", "0", "0"})},
      {"SHARED", Row({"0", "500", "0"})},
      {"none", Row({"0", "0", "500"})},
      {"joint", Row({"0", "0", "0"})},
  };
  for (const auto& c : cases) {
    InfoTableRow eleven = Row({"N", "T", "C", "1", "2", "SH", "Put", "SOLE", "M", "500", c.kind});
    NormalizeRow(eleven);
    ASSERT_EQ(eleven.size(), 12u);
    EXPECT_EQ(InfoTableRow(eleven.begin() + kSole, eleven.end()), c.voting) << c.kind;
  }
}

TEST(EscapeMarkup, EscapesAmpersandFirstAndLeavesQuotes) {
  EXPECT_EQ(EscapeMarkup("a&b<c>d\"e'"), "a&amp;b&lt;c&gt;d\"e'");
  EXPECT_EQ(EscapeMarkup("&lt;"), "&amp;lt;");
}

TEST(DigitsOnly, KeepsDigitsBeforeTheFirstPeriod) {
  const TextCase cases[] = {{"$2,500.75", "2500"}, {".5", ""}, {"1.2.3", "1"}, {"a1b2", "12"}, {"", ""}};
  for (const TextCase& c : cases) EXPECT_EQ(DigitsOnly(c.input), c.expected) << c.input;
}

}  // namespace
