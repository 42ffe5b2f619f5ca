#include "infotable/cells.h"

#include <gtest/gtest.h>

#include "infotable/text_forms.h"

namespace {

TEST(ReadAmount, WholeDollarsRoundedHalfUpOrRefused) {
  const struct {
    const char* cell;
    const char* digits;  // nullptr: refused
  } cases[] = {
      {"1234", "1234"},
      {"0001234", "0001234"},
      {"$1,234", "1234"},
      {"$ 45,213,876.49", "45213876"},
      {"21,877,310.99", "21877311"},
      {"999.5", "1000"},
      {"0.5", "1"},
      {"1000.", "1000"},
      {"-", "0"},
      {"$ -", "0"},
      {"- 0", "0"},  // accounting zeros as Gnumeric and Excel show them
      {"-0", "0"},
      {"- 0.00", "0"},
      {"$ - 0", "0"},
      {"-0.5", nullptr},
      {"- 1", nullptr},
      {"", nullptr},
      {"12abc", nullptr},
      {"1.234,56", nullptr},
      {"1,5", nullptr},
      {"1,2345", nullptr},
      {",123", nullptr},
      {"-5", nullptr},
      {"(1,000)", nullptr},
      {"4.52E+07", nullptr},
      {".5", nullptr},
      {"$", nullptr},
      {"1 000", nullptr},
  };
  for (const auto& c : cases) {
    std::string digits = "untouched";
    uint64_t number = 0;
    EXPECT_EQ(!ReadAmount(c.cell, digits, number), c.digits != nullptr) << c.cell;
    if (c.digits) {
      EXPECT_EQ(digits, c.digits) << c.cell;
      EXPECT_EQ(number, ParseValue(c.digits)) << c.cell;
    }
  }
}

}  // namespace
