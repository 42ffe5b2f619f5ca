#include "infotable/number_style.h"

#include <gtest/gtest.h>

namespace {

TEST(NumberStyle, ATableTakesTheMarkMostOfItsTellingCellsTell) {
  const struct {
    std::vector<const char*> cells;
    DecimalMark mark;
    size_t told;
  } cases[] = {
      {{"1,500", "838.500"}, DecimalMark::kUnknown, 0},
      {{"838.500", "12.5"}, DecimalMark::kPeriod, 1},
      {{"1.234,56", "12,5", "3.5"}, DecimalMark::kComma, 3},
      {{"1,5", "1.5"}, DecimalMark::kUnknown, 2},  // as many one way as the other
  };
  for (const auto& c : cases) {
    NumberStyleReader reader;
    for (const char* cell : c.cells) reader.See(cell);
    EXPECT_EQ(reader.Mark(), c.mark) << c.cells.front();
    EXPECT_EQ(reader.Told(), c.told) << c.cells.front();
  }
}

}  // namespace
