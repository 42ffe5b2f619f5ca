#include "infotable/cells.h"

#include <gtest/gtest.h>

#include "infotable/text_forms.h"

namespace {

constexpr DecimalMark kAny = DecimalMark::kUnknown, kPeriod = DecimalMark::kPeriod,
                      kComma = DecimalMark::kComma;

TEST(ReadAmount, WholeDollarsRoundedHalfUpOrRefused) {
  const struct {
    const char* cell;
    DecimalMark table;   // the decimal mark the table's other amounts tell
    const char* digits;  // nullptr: refused
  } cases[] = {
      {"1234", kAny, "1234"},
      {"0001234", kAny, "0001234"},
      {"$1,234", kAny, "1234"},
      {"$ 45,213,876.49", kAny, "45213876"},
      {"21,877,310.99", kAny, "21877311"},
      {"999.5", kAny, "1000"},
      {"0.5", kAny, "1"},
      {"1000.", kAny, "1000"},
      {"-", kAny, "0"},
      {"$ -", kAny, "0"},
      {"- 0", kAny, "0"},  // accounting zeros as Gnumeric and Excel show them
      {"-0", kAny, "0"},
      {"- 0.00", kAny, "0"},
      {"$ - 0", kAny, "0"},
      // Every locale's thousands marks; the decimal mark the cell's own or the table's.
      {"45.213.876", kAny, "45213876"},
      {"12.345,67", kAny, "12346"},
      {"45'213'876", kAny, "45213876"},
      {"12'345.67", kAny, "12346"},
      {"1 250 000", kAny, "1250000"},
      {"12 345,67", kAny, "12346"},
      {"838.500", kComma, "838500"},
      {"838.500", kPeriod, "839"},
      {"5,000", kComma, "5"},
      {"5,000", kAny, "5000"},  // a comma before three digits groups, as sheets in dollars write them
      {"0.500", kAny, "1"},     // no thousands after a lone zero
      {"1,5", kAny, "2"},
      {"838.500", kAny, nullptr},  // a period before three digits, and nothing tells which it is
      {"1,5", kPeriod, nullptr},   // against the table's decimal mark
      {"12.5", kComma, nullptr},
      {"1,234.5", kComma, nullptr},
      {"1,250,000", kComma, nullptr},  // the table's decimal mark grouping thousands
      {"1.234.5", kAny, nullptr},
      {"1,23,456", kAny, nullptr},
      {"1'234,567.8", kAny, nullptr},  // two kinds of thousands marks
      {"1234,567", kAny, "1235"},      // four digits before it: no thousands mark
      {"-0.5", kAny, nullptr},
      {"- 1", kAny, nullptr},
      {"", kAny, nullptr},
      {"12abc", kAny, nullptr},
      {",123", kAny, nullptr},
      {"-5", kAny, nullptr},
      {"(1,000)", kAny, nullptr},
      {"4.52E+07", kAny, nullptr},
      {".5", kAny, nullptr},
      {"$", kAny, nullptr},
      {"1  000", kAny, nullptr},
  };
  for (const auto& c : cases) {
    std::string digits = "untouched";
    uint64_t number = 0;
    bool fraction = false;
    EXPECT_EQ(!ReadAmount(c.cell, c.table, digits, number, fraction), c.digits != nullptr) << c.cell;
    if (c.digits) {
      EXPECT_EQ(digits, c.digits) << c.cell;
      EXPECT_EQ(number, ParseValue(c.digits)) << c.cell;
    }
  }
  std::string digits;
  uint64_t number = 0;
  bool fraction = false;
  EXPECT_EQ(
      ReadAmount("838.500", kAny, digits, number, fraction).value_or(""),
      "could be read as 838.500 (a decimal point) or as 838500 (a thousands mark), and no other amount in "
      "the table tells which: copy the column formatted with thousands separators, as 1,234, or as plain "
      "digits");
  // A cell that disagrees with the table is told by the mark it holds.
  const struct {
    const char* cell;
    DecimalMark table;
    const char* refusal;
  } disagreeing[] = {
      {"1.234.567", kPeriod, "groups thousands with periods, but the table's other amounts mark decimals with a period"},
      {"1.234,5", kPeriod, "marks decimals with a comma, but the table's other amounts mark them with a period"},
      {"1,250,000", kComma, "groups thousands with commas, but the table's other amounts mark decimals with a comma"},
      {"1,234.5", kComma, "marks decimals with a period, but the table's other amounts mark them with a comma"},
  };
  for (const auto& c : disagreeing)
    EXPECT_EQ(ReadAmount(c.cell, c.table, digits, number, fraction).value_or(""), c.refusal) << c.cell;
  ASSERT_FALSE(ReadAmount("10.5", kAny, digits, number, fraction));
  EXPECT_TRUE(fraction);
  ASSERT_FALSE(ReadAmount("5.000,00", kAny, digits, number, fraction));
  EXPECT_FALSE(fraction) << "zeros are no fraction";
}

TEST(DecimalMarkOf, ACellTellsItsMarkOnlyWhenItCanBeReadOneWay) {
  const struct {
    const char* cell;
    DecimalMark mark;
  } cases[] = {
      {"1,234.56", kPeriod},
      {"12.5", kPeriod},
      {"1,250,000", kPeriod},
      {"0.500", kPeriod},
      {"1.234,56", kComma},
      {"12,5", kComma},
      {"1.250.000", kComma},
      {"12\xE2\x80\xAF"
       "345,67",
       kComma},
      {"1,500", kAny},
      {"838.500", kAny},
      {"1234", kAny},
      {"45'213'876", kAny},
  };
  for (const auto& c : cases) EXPECT_EQ(DecimalMarkOf(c.cell), c.mark) << c.cell;
  NumberStyleReader style;
  for (const char* cell : {"838.500", "1.250.000", "12.345,67", "12.5"}) style.See(cell);
  EXPECT_EQ(style.Mark(), kComma) << "most cells that tell one";
}

}  // namespace
