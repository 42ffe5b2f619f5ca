#include "infotable/error_list.h"

#include <gtest/gtest.h>

namespace {

RowError Refused(uint32_t row, const std::string& reason) {
  return {RowErrorKind::kInvalidFields, row, "cells", reason};
}

// Three lines alike stand alone; a fourth makes them one line that names
// the first rows and leads to the group's every line.
TEST(ErrorList, ManyLinesAlikeAreOneLineWithTheirGroup) {
  for (const size_t count : {3u, 4u}) {
    std::vector<RowError> errors;
    ErrorList list(errors, true);
    for (uint32_t row = 2; row < 2 + count; ++row)
      list.Add(Refused(row, "Value \"" + std::to_string(row) + "x\" is not a number"));
    list.Add({RowErrorKind::kCheckBeforeFiling, 9, "", "the same holding as row 12", 5});
    list.Add({RowErrorKind::kInvalidCharacter, 10, "SOCIETE", "the document holds plain ASCII", 6});
    list.BuildHtml();
    EXPECT_EQ(errors.size(), count + 2);
    const std::string& html = list.errorsHtml();
    // A row written with changed characters is not refused: it is checked.
    EXPECT_EQ(
        list.checksHtml(),
        "<br><b><span data-entry=5>Check before filing in row 9</span>:</b> the same holding as row 12"
        "<br><b><span data-entry=6>Invalid character in row 10</span>:</b> SOCIETE -- the document holds "
        "plain ASCII");
    const std::vector<std::string> groups = list.TakeGroups();
    if (count == 3) {
      EXPECT_EQ(html.find("data-group"), std::string::npos) << html;
      EXPECT_TRUE(groups.empty());
    } else {
      EXPECT_EQ(html,
                "<br><b>Invalid field(s) in 4 rows</b> (2, 3, 4, 5), such as row 2: cells -- Value "
                "\"2x\" is not a number <span data-group=0>show all</span>");
      ASSERT_EQ(groups.size(), 1u);
      EXPECT_EQ(groups[0].substr(0, groups[0].find('\n')), "0\t2\tcells -- Value \"2x\" is not a number");
    }
  }
}

// Numbers of any length and form are alike; different words are not.
TEST(ErrorList, LinesAlikeButForTheirNumbersAreOneGroup) {
  std::vector<RowError> errors;
  ErrorList list(errors, true);
  const char* const prices[] = {"$1.5000", "$15.00", "$1,500.00", "$150,000.25"};
  for (uint32_t i = 0; i < 4; ++i)
    list.Add({RowErrorKind::kCheckBeforeFiling, 2 + i, "",
              "\"ISSUER " + std::to_string(i) + "\": value per share " + prices[i] + " now, 100 times",
              i + 1});
  list.Add({RowErrorKind::kCheckBeforeFiling, 9, "", "\"OTHER\": value per share $1 then, 100 times", 5});
  list.BuildHtml();
  ASSERT_EQ(list.TakeGroups().size(), 1u);
  EXPECT_NE(list.checksHtml().find("Check before filing in 4 rows</b> (<span data-entry=1>2</span>"),
            std::string::npos)
      << list.checksHtml();
  EXPECT_NE(list.checksHtml().find("in row 9</span>:</b> \"OTHER\""), std::string::npos) << list.checksHtml();
}

TEST(ErrorList, NoHtmlUnlessAskedAndTheTableLinesNeverGroup) {
  std::vector<RowError> errors;
  ErrorList quiet(errors, false);
  for (int i = 0; i < 5; ++i) quiet.Add(Refused(2, "Value is empty"));
  quiet.BuildHtml();
  EXPECT_EQ(quiet.errorsHtml(), "");
  std::vector<RowError> table;
  ErrorList list(table, true);
  for (int i = 0; i < 5; ++i) list.Add({RowErrorKind::kNotAcceptedByEdgar, 0, "", "the total is too large"});
  list.BuildHtml();
  EXPECT_TRUE(list.TakeGroups().empty());
}

}  // namespace
