#include "infotable/csv_text.h"

#include <gtest/gtest.h>

namespace {

TEST(CsvToTabText, RecordsBecomeLinesOfCells) {
  const struct {
    const char* form;
    std::string csv;
    const char* text;
  } cases[] = {
      {"quoted commas, CRLF", "\"APPLE, INC\",COM,\"1,2\"\r\nB,C,D\r\n", "APPLE, INC\tCOM\t1,2\nB\tC\tD\n"},
      {"LF and a byte-order mark",
       "\xEF\xBB\xBF"
       "A,B\nC,D\n",
       "A\tB\nC\tD\n"},
      {"a line break and a tab in a field", "\"TITLE OF\r\nCLASS\",\"a\tb\"\n", "TITLE OF  CLASS\ta b\n"},
      {"doubled quotes; a field that begins with one is quoted again",
       "\"JP \"\"X\"\"\",\"\"\"Q\"\" FUND\"\n", "JP \"X\"\t\"\"\"Q\"\" FUND\"\n"},
      {"blank records stay, so rows keep their numbers", "A,B\r\n\r\nC,D\r\n", "A\tB\n\nC\tD\n"},
      {"empty fields stay", "A,,C\n", "A\t\tC\n"},
      {"no line break at the end", "A,B", "A\tB\n"},
  };
  for (const auto& c : cases) {
    std::string text;
    const Refusal problem = CsvToTabText(c.csv, text);
    ASSERT_FALSE(problem) << c.form << ": " << *problem;
    EXPECT_EQ(text, c.text) << c.form;
  }
}

TEST(CsvToTabText, TextThatIsNoCsvIsRefusedWithItsRow) {
  for (const char* csv : {"A,B\nC,\"open\nD,E\n", "A,B\nC,x\"y\"z\n"}) {
    std::string text;
    const std::string problem = CsvToTabText(csv, text).value_or("");
    EXPECT_EQ(problem.rfind("not CSV at row 2", 0), 0u) << csv << ": " << problem;
  }
}

}  // namespace
