#include "infotable/text_forms.h"

#include <gtest/gtest.h>

#include "infotable/cell_line.h"

namespace {

struct TextCase {
  const char* input;
  const char* expected;
};

TEST(CountInvalidCharacters, CountsEachCharacterOnce) {
  const struct {
    std::string line;
    size_t invalid;
  } cases[] = {
      {"plain ASCII 1,000 $ % & <>", 0},
      {"A+B+C", 2},
      {"Caf\xC3\xA9 \xE2\x82\xAC", 2},  // one per UTF-8 character
      {"bad \xFF\xC3 end", 2},          // stray bytes one each
      {"ctl\x01\x1F\x7F", 2},           // XML 1.0 cannot hold C0 controls
      {std::string("nul\0x", 5), 1},
      {"tab\tis fine", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(CountInvalidCharacters(c.line), c.invalid) << c.line;
}

TEST(LeaveOutNonXmlCharacters, KeepsValidUtf8AndDropsTheRest) {
  EXPECT_EQ(LeaveOutNonXmlCharacters("a\x01"
                                     "b\tc\xC3\xA9\xFF\xED\xA0\x80\xEF\xBF\xBE"
                                     "d"),
            "ab\tc\xC3\xA9"
            "d");
  EXPECT_EQ(LeaveOutNonXmlCharacters(std::string("x\0y", 3)), "xy");
}

TEST(PlainAsciiLine, WritesPlainFormsAndLeavesOutTheRest) {
  const TextCase cases[] = {
      {"NESTL\xC3\x89 S.A.", "NESTLE S.A."},
      {"MCDONALD\xE2\x80\x99S CORP", "MCDONALD'S CORP"},
      {"\xE2\x80\x9C"
       "A\xE2\x80\x9D \xE2\x80\x93 Stra\xC3\x9F"
       "e",
       "\"A\" - Strasse"},
      {"A\xC2\xA0\xC2\xA0"
       "B\t\xC2\xA0"
       "C",
       "A B\tC"},                                               // non-breaking spaces fold like blanks
      {"EUR\xE2\x82\xAC \xE4\xB8\xAD\tX\x01Y\xFF", "EUR\tXY"},  // no plain form, controls, stray bytes
  };
  for (const TextCase& c : cases) EXPECT_EQ(CleanCells(PlainAsciiLine(c.input)), c.expected) << c.input;
}

TEST(EscapeMarkup, EscapesAmpersandFirstAndLeavesQuotes) {
  EXPECT_EQ(EscapeMarkup("a&b<c>d\"e'"), "a&amp;b&lt;c&gt;d\"e'");
  EXPECT_EQ(EscapeMarkup("&lt;"), "&amp;lt;");
}

}  // namespace
