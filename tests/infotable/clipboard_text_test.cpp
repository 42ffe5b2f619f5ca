#include "infotable/clipboard_text.h"

#include <gtest/gtest.h>

#include "infotable/cell_line.h"

namespace {

std::string Joined(const NormalizedText& normalized) {
  std::string text;
  for (std::string_view line : normalized.lines) (text += line) += '\n';
  return text;
}

TEST(NormalizeClipboardText, CellsKeepTheirColumns) {
  const struct {
    const char* input;
    const char* text;
    size_t width;
  } cases[] = {
      {"A\t\tB", "A\t\tB\n", 3},                        // an empty cell stays
      {"\tA\t\tB\t\t\n\t\tC\t", "A\t\tB\n\tC\t\n", 3},  // edge columns empty on every line go
      {"  A   b  \t  C \t   ", "A b\tC\n", 2},          // blanks trimmed and folded; a blank cell is empty
      {"A\r\n\r\n \t \r\nB\rC\n", "A\nB\nC\n", 1},      // blank lines and every line break kind
      {"", "", 0},
      {"\r\n\t \n", "", 0},
  };
  for (const auto& c : cases) {
    const NormalizedText normalized = NormalizeClipboardText(c.input);
    std::string text;
    for (std::string_view line : normalized.lines) (text += line) += '\n';
    EXPECT_EQ(text, c.text) << c.input;
    EXPECT_EQ(normalized.width, c.width) << c.input;
  }
}

// Lines are shaped eight bytes at a time: lines of every mix of letters,
// blanks and tabs, across words and tails, come out as each cell cleaned on
// its own would, the empty edge columns dropped.
TEST(NormalizeClipboardText, EveryMixOfBlanksAndTabsIsCleanedAsItsCells) {
  uint32_t seed = 1;
  for (int i = 0; i < 20000; ++i) {
    std::string line;
    const size_t length = (seed = seed * 1103515245 + 12345) >> 16 & 31;
    for (size_t at = 0; at < length; ++at)
      line += "a \t"[(seed = seed * 1103515245 + 12345) >> 16 & 1 ? 2 : (seed >> 20) & 1];
    std::vector<std::string> cells{""};
    for (char c : line) c == '\t' ? cells.emplace_back() : cells.back() += c;
    for (std::string& cell : cells) {
      std::string clean;
      AppendCleanCell(clean, cell);
      cell = clean;
    }
    size_t first = 0, last = cells.size();
    while (first < last && cells[first].empty()) ++first;
    while (last > first && cells[last - 1].empty()) --last;
    std::string expected;
    for (size_t cell = first; cell < last; ++cell) expected += (cell > first ? "\t" : "") + cells[cell];
    const NormalizedText normalized = NormalizeClipboardText(line);
    ASSERT_EQ(Joined(normalized), expected.empty() ? "" : expected + "\n") << "\"" << line << "\"";
  }
}

TEST(NormalizeClipboardText, ReadsEachSpreadsheetsFormOfACell) {
  const struct {
    const char* form;
    std::string input;
    const char* text;
    std::vector<uint32_t> rows;
    uint32_t unclosedQuoteRow;
  } cases[] = {
      {"Excel: a caption's line break, CR LF",
       "\"TITLE OF\r\nCLASS\"\tB\r\nx\ty\r\n",
       "TITLE OF CLASS\tB\nx\ty\n",
       {1, 2},
       0},
      {"Google Sheets: LF, doubled quotes",
       "\"JPMORGAN \"\"CHASE\"\" & CO\"\tB\nx\ty\n",
       "JPMORGAN \"CHASE\" & CO\tB\nx\ty\n",
       {1, 2},
       0},
      {"a tab inside a quoted cell", "\"A\tB\"\tC\n", "A B\tC\n", {1}, 0},
      // Apple Numbers quotes a cell with a line break but does not double its quotes.
      {"Numbers: a line break and quotes not doubled",
       "\"BERKSHIRE HATHAWAY INC DEL\nCL \"B\" NEW\"\tCOM\nx\ty\n",
       "BERKSHIRE HATHAWAY INC DEL CL \"B\" NEW\tCOM\nx\ty\n",
       {1, 2},
       0},
      {"an empty quoted cell", "\"\"\tB\nx\ty\n", "\tB\nx\ty\n", {1, 2}, 0},
      {"a quote inside a cell is text", "A \"B\"\tC\n", "A \"B\"\tC\n", {1}, 0},
      {"a closing quote before text opens no cell", "\"B\" INC\tC\n", "\"B\" INC\tC\n", {1}, 0},
      {"an unclosed quote reads the lines as they stand",
       "x\ty\n\"ABC\tD\nE\tF\n",
       "x\ty\n\"ABC\tD\nE\tF\n",
       {1, 2, 3},
       2},
      {"blank rows keep their numbers", "A\tB\n\nC\tD\r\n\r\n \t \nE\tF", "A\tB\nC\tD\nE\tF\n", {1, 3, 6}, 0},
      {"Gnumeric: raw line breaks in a heading and a row",
       "H1\tTITLE OF\nCLASS\tH3\nx\ty\tz\nx\tCAP STK\nCL A\tr\nlast\tone\trow\n",
       "H1\tTITLE OF CLASS\tH3\nx\ty\tz\nx\tCAP STK CL A\tr\nlast\tone\trow\n",
       {1, 2, 3, 4},
       0},
      {"short lines that make no full row stay apart",
       "a\tb\tc\td\nx\ny\n",
       "a\tb\tc\td\nx\ny\n",
       {1, 2, 3},
       0},
      {"a byte-order mark",
       "\xEF\xBB\xBF"
       "A\tB\n",
       "A\tB\n",
       {1},
       0},
  };
  for (const auto& c : cases) {
    const NormalizedText normalized = NormalizeClipboardText(c.input);
    EXPECT_EQ(Joined(normalized), c.text) << c.form;
    EXPECT_EQ(normalized.rows, c.rows) << c.form;
    EXPECT_EQ(normalized.unclosedQuoteRow.value_or(0), c.unclosedQuoteRow) << c.form;
  }
}

TEST(NormalizeClipboardText, ManyUnclosedQuotesReadInOnePass) {
  std::string table;
  for (int i = 0; i < 20000; ++i) table += "\"OPEN " + std::to_string(i) + "\tCOM\n";
  const NormalizedText normalized = NormalizeClipboardText(table);
  ASSERT_EQ(normalized.lines.size(), 20000u);
  EXPECT_EQ(normalized.lines[19999], "\"OPEN 19999\tCOM");
  EXPECT_EQ(normalized.unclosedQuoteRow, 20000u) << "each quote is closed, as text, by the next";
}

TEST(NormalizeClipboardText, ABreakInTheFirstCellJoinsItsRowButIsListed) {
  const struct {
    std::string input;
    const char* text;
    std::vector<uint32_t> listed;
  } cases[] = {
      {"a\tb\tc\nALPHABET INC\nCLASS A\tCOM\t1\nd\te\tf\n",
       "a\tb\tc\nALPHABET INC CLASS A\tCOM\t1\nd\te\tf\n",
       {2}},
      {"H\tTITLE OF\nCLASS\tx\nNAME\nA\tB\tC\n",
       "H\tTITLE OF CLASS\tx\nNAME A\tB\tC\n",
       {2}},  // the sheet's row
      {"ACME 13F\nNAME\tCUSIP\tVALUE\nA\tB\tC\n",
       "ACME 13F\nNAME\tCUSIP\tVALUE\nA\tB\tC\n",
       {}},  // a title over a heading
      // Gnumeric: the heading's last caption broken; the holding below stays whole.
      {"NAME\tCUSIP\tVOTING AUTHORITY\nNONE\nAPPLE INC\t037833100\t1\n",
       "NAME\tCUSIP\tVOTING AUTHORITY NONE\nAPPLE INC\t037833100\t1\n",
       {}},
      {"NAME\tTITLE OF\nCLASS\tCUSIP\tOTHER\nMANAGER\nA\tB\tC\tD\n",
       "NAME\tTITLE OF CLASS\tCUSIP\tOTHER MANAGER\nA\tB\tC\tD\n",
       {}},
      {"NAME\tCUSIP\tVOTING AUTHORITY\nALPHABET INC\nCLASS A\t02079K305\t1\n",
       "NAME\tCUSIP\tVOTING AUTHORITY\nALPHABET INC CLASS A\t02079K305\t1\n",
       {2}},  // no caption: a holding's broken first cell
  };
  for (const auto& c : cases) {
    const NormalizedText normalized = NormalizeClipboardText(c.input);
    EXPECT_EQ(Joined(normalized), c.text) << c.input;
    EXPECT_EQ(normalized.continuedFirstCells, c.listed) << c.input;
  }
}

}  // namespace
