#include "infotable/cell_line.h"

#include <gtest/gtest.h>

namespace {

struct TextCase {
  const char* input;
  const char* expected;
};

TEST(ShowCells, EmptyCellsShowAndLongLinesEnd) {
  std::string accents;
  for (int i = 0; i < 300; ++i) accents += "\xC3\xA9";
  const TextCase cases[] = {
      {"A\t\tB\t", "A\t(blank)\tB\t(blank)"},
      {"", "(blank)"},
  };
  for (const TextCase& c : cases) EXPECT_EQ(ShowCells(c.input), c.expected) << c.input;
  EXPECT_EQ(ShowCells(std::string(600, 'x')), std::string(500, 'x') + "\xE2\x80\xA6");
  EXPECT_EQ(ShowCells(accents), accents) << "500 characters, not bytes";
}

}  // namespace
