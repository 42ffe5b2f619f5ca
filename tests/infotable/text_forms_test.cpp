#include "infotable/text_forms.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "infotable/cell_line.h"

namespace {

struct TextCase {
  const char* input;
  const char* expected;
};

TEST(NeedsPlainForm, AnythingButPrintableAsciiAndTabs) {
  for (const char* line : {"plain ASCII 1,000 $ % & <> + \t"}) EXPECT_FALSE(NeedsPlainForm(line)) << line;
  for (const char* line : {"Caf\xC3\xA9", "bad \xFF", "ctl\x01", "del\x7F",
                           "1\xC2\xA0"
                           "000"})
    EXPECT_TRUE(NeedsPlainForm(line)) << line;
}

// Lines are scanned eight bytes at a time: every byte value, at every place
// of a word and of the tail, beside others, tells and cuts as it does alone.
TEST(NeedsPlainForm, EveryByteAtEveryPlaceAndItsNeighbours) {
  const auto suspect = [](int c) { return c >= 0x7F || (c < 0x20 && c != '\t'); };
  for (int c = 0; c < 256; ++c)
    for (int neighbour : {int{'a'}, int{'\t'}, int{' '}, 0x00, 0x1F, 0x20, 0x7E, 0x80}) {
      for (size_t at = 0; at < 19; ++at) {
        std::string line(19, static_cast<char>(neighbour));
        line[at] = static_cast<char>(c);
        ASSERT_EQ(NeedsPlainForm(line), suspect(c) || suspect(neighbour)) << c << " at " << at;
        ASSERT_EQ(CellCount(line), static_cast<size_t>(std::count(line.begin(), line.end(), '\t')) + 1)
            << c << " at " << at;
        Cells cells{""};  // cut one byte at a time
        for (char byte : line)
          if (byte == '\t') cells.emplace_back();
        size_t cell = 0, start = 0;
        for (size_t i = 0; i <= line.size(); ++i)
          if (i == line.size() || line[i] == '\t') {
            cells[cell++] = std::string_view(line).substr(start, i - start);
            start = i + 1;
          }
        ASSERT_EQ(SplitFields(line, '\t'), cells) << c << " at " << at;
      }
    }
}

TEST(LeaveOutNonXmlCharacters, KeepsValidUtf8AndDropsTheRest) {
  EXPECT_EQ(LeaveOutNonXmlCharacters("a\x01"
                                     "b\tc\xC3\xA9\xFF\xED\xA0\x80\xEF\xBF\xBE"
                                     "d"),
            "ab\tc\xC3\xA9"
            "d");
  EXPECT_EQ(LeaveOutNonXmlCharacters(std::string("x\0y", 3)), "xy");
}

TEST(PlainAsciiLine, WritesPlainFormsAndSaysWhatChanged) {
  const struct {
    const char* line;
    const char* plain;    // cells cleaned
    const char* changes;  // empty: nothing the filer needs to hear of
  } cases[] = {
      {"NESTL\xC3\x89 S.A.", "NESTLE S.A.", "\"\xC3\x89\" as \"E\""},
      {"MCDONALD\xE2\x80\x99S CORP", "MCDONALD'S CORP", "\"\xE2\x80\x99\" as \"'\""},
      {"\xE2\x80\x9C"
       "A\xE2\x80\x9D \xE2\x80\x93 Stra\xC3\x9F"
       "e",
       "\"A\" - Strasse",
       "\"\xE2\x80\x9C\" as \"\"\", \"\xE2\x80\x9D\" as \"\"\", \"\xE2\x80\x93\" as \"-\", \"\xC3\x9F\" as "
       "\"ss\""},
      // Blanks of every kind, and a Swiss thousands mark, as sheets write amounts.
      {"A\xC2\xA0\xC2\xA0"
       "B\t\xC2\xA0"
       "C",
       "A B\tC", ""},
      {"45\xE2\x80\xAF"
       "213\xE2\x80\xAF"
       "876\t\xE2\x80\x8A\xE2\x80\x8A - 0",
       "45 213 876\t- 0", ""},
      {"45\xE2\x80\x99"
       "213\xE2\x80\x99"
       "876",
       "45'213'876", ""},
      {"EUR\xE2\x82\xAC\tX\x01Y\x01\xFF", "EUR\tXY",
       "\"\xE2\x82\xAC\" (U+20AC) left out, having no plain form, control character U+0001 left out, "
       "byte 0xFF, which is no UTF-8, left out"},
  };
  for (const auto& c : cases) {
    std::string plain;
    EXPECT_EQ(PlainAsciiLine(c.line, plain), c.changes) << c.line;
    EXPECT_EQ(CleanCells(plain), c.plain) << c.line;
  }
}

TEST(EscapeMarkup, EscapesAmpersandFirstAndLeavesQuotes) {
  EXPECT_EQ(EscapeMarkup("a&b<c>d\"e'"), "a&amp;b&lt;c&gt;d\"e'");
  EXPECT_EQ(EscapeMarkup("&lt;"), "&amp;lt;");
}

TEST(UnescapeMarkup, ReadsEveryReferenceAnXmlWriterMayWrite) {
  const TextCase cases[] = {
      {"AT&amp;T &lt;A&gt;", "AT&T <A>"},
      {"&quot;Q&quot; &apos;A&apos;", "\"Q\" 'A'"},
      {"SOCI&#201;T&#xC9; &#x20AC; &#x1F600;", "SOCI\xC3\x89T\xC3\x89 \xE2\x82\xAC \xF0\x9F\x98\x80"},
      {"&amp;#233;", "&#233;"},  // escaped once: the reference as typed
      {"&#0; &#xD800; &#; &#x; &#12 &bogus; & alone", "&#0; &#xD800; &#; &#x; &#12 &bogus; & alone"},
  };
  for (const TextCase& test : cases) EXPECT_EQ(UnescapeMarkup(test.input), test.expected) << test.input;
}

}  // namespace
