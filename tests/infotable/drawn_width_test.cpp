#include "infotable/drawn_width.h"

#include <gtest/gtest.h>

namespace {

TEST(DrawnWidth, WideLettersOutweighManyNarrowOnesAndReferencesCountAsTheirCharacter) {
  EXPECT_GT(DrawnWidth("WWW"), DrawnWidth("IIIIII"));
  EXPECT_EQ(DrawnWidth("A&amp;B"), DrawnWidth("A&B"));
  EXPECT_EQ(DrawnWidth("&lt;&gt;"), DrawnWidth("<>"));
  EXPECT_EQ(DrawnWidth(""), 0u);
}

TEST(DrawnWidth, EachColumnKeepsItsThreeWidestRowsTheEarlierOfTwoAlike) {
  std::vector<WidestInColumn> widest;
  const uint32_t widths[] = {5, 9, 9, 1, 7, 9};
  for (uint32_t row = 0; row < 6; ++row) OfferWidest(widest, 1, widths[row], row);
  ASSERT_EQ(widest.size(), 2u);
  EXPECT_EQ(widest[1], (WidestInColumn{{{9, 1}, {9, 2}, {9, 5}}}));
  EXPECT_EQ(widest[0], WidestInColumn{});
  std::vector<WidestInColumn> noted;
  std::string cells = "W\t";  // each cell noted as it is appended, its end included
  NoteWidth(noted, cells, 0, 0, 7);
  cells += "III\t";
  NoteWidth(noted, cells, 0, 2, 8);
  EXPECT_EQ(noted[0][0], std::make_pair(DrawnWidth("W"), 7u)) << "a W is wider than three I";
}

}  // namespace
