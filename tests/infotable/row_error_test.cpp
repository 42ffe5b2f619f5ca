#include "infotable/row_error.h"

#include <gtest/gtest.h>

namespace {

TEST(RowError, HeadingsAndTextsOfALine) {
  EXPECT_EQ(ErrorLineHeading(RowErrorKind::kInvalidCharacter, 3), "Invalid character in row 3");
  EXPECT_EQ(ErrorLineHeading(RowErrorKind::kInvalidFields, 4), "Invalid field(s) in row 4");
  EXPECT_EQ(ErrorLineHeading(RowErrorKind::kNotAcceptedByEdgar, 0), "Not accepted by EDGAR");
  EXPECT_EQ(ErrorLineHeading(RowErrorKind::kCheckBeforeFiling, 0), "Check before filing");
  const struct {
    const char* line;
    const char* reason;
    const char* text;
  } cases[] = {{"A\tB", "Value is empty", "A\tB -- Value is empty"},
               {"A\tB", "", "A\tB"},
               {"", "the total is too large", "the total is too large"}};
  for (const auto& c : cases)
    EXPECT_EQ(RowErrorText({RowErrorKind::kInvalidFields, 2, c.line, c.reason}), c.text) << c.text;
  EXPECT_EQ(RefusedRowsText(1), "1 row refused and left out of the document.");
  EXPECT_EQ(RefusedRowsText(2), "2 rows refused and left out of the document.");
}

TEST(RowError, OneLineShownIsCutAtEightyCharactersNotBytes) {
  const std::string e = "\xC3\xA9";  // two bytes, one character
  std::string long_line;
  for (int i = 0; i < 90; ++i) long_line += e;
  EXPECT_EQ(OneLineShown("a\tb"), "a b");
  EXPECT_EQ(OneLineShown(long_line), long_line.substr(0, 160) + "\xE2\x80\xA6");
  EXPECT_EQ(OneLineShown(long_line.substr(0, 160)), long_line.substr(0, 160));
}

}  // namespace
