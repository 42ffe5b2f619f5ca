#include "infotable/heading.h"

#include <gtest/gtest.h>

namespace {

Cells Captions(std::initializer_list<std::string_view> captions) { return Cells(captions); }

TEST(ReadHeading, CaptionsNameTheColumns) {
  // The SEC's captions in another order, a ticker column and a notes column.
  std::optional<Heading> heading = ReadHeading(
      Captions({"Ticker", "CUSIP", "Name of Issuer", "Title of Class", "FIGI", "Value (x$1000)",
                "SHRS OR PRN AMT", "SH/PRN", "PUT/CALL", "INVESTMENT DISCRETION", "OTHER MANAGER(S)",
                "VOTING AUTHORITY SOLE", "VOTING AUTHORITY SHARED", "VOTING AUTHORITY NONE", "Notes"}),
      "");
  ASSERT_TRUE(heading);
  EXPECT_EQ(heading->lines, 1u);
  const size_t expected[kInfoTableFieldCount] = {2, 3, 1, 5, 6, 7, 8, 9, 10, 11, 12, 13, 4};
  for (size_t field = 0; field < kInfoTableFieldCount; ++field)
    EXPECT_EQ(heading->layout.cell[field], expected[field]) << FieldCaption(field);

  // The SEC form's two lines: SOLE, SHARED and NONE under VOTING AUTHORITY.
  heading = ReadHeading(
      Captions({"NAME OF ISSUER", "TITLE OF CLASS", "CUSIP", "VALUE (USD)", "SHRS OR PRN AMT", "SH/PRN",
                "PUT/CALL", "INVESTMENT DISCRETION", "OTHER MANAGER", "VOTING AUTHORITY"}),
      "\t\t\t\t\t\t\t\t\tSOLE\tSHARED\tNONE");
  ASSERT_TRUE(heading);
  EXPECT_EQ(heading->lines, 2u);
  EXPECT_EQ(heading->layout.cell[kVotingSole], 9u);
  EXPECT_EQ(heading->layout.cell[kVotingNone], 11u);
  EXPECT_FALSE(heading->layout.cell[kFigi]);

  // Element names work as captions too.
  EXPECT_TRUE(ReadHeading(Captions({"nameOfIssuer", "titleOfClass", "cusip", "value", "sshPrnamt",
                                    "sshPrnamtType", "investmentDiscretion", "Sole", "Shared", "None"}),
                          ""));

  // No heading: a line that isn't captions.
  EXPECT_FALSE(ReadHeading(
      Captions({"ABC CORP", "COM", "123456789", "100", "200", "SH", "", "SOLE", "", "1", "2", "3"}), ""));
  EXPECT_FALSE(ReadHeading(Captions({"CUSIP SECURITIES", "COM", "123456789", "100"}), ""));
  // A heading all the same, which says what it lacks.
  heading = ReadHeading(Captions({"Name", "CUSIP", "Value"}), "");
  ASSERT_TRUE(heading);
  EXPECT_EQ(heading->missing,
            (std::vector<size_t>{kTitleOfClass, kSshPrnamt, kInvestmentDiscretion, kVotingSole, kVotingShared, kVotingNone}));
  heading = ReadHeading(Captions({"NAME OF ISSUER", "TITLE OF CLASS", "CUSIP", "VALUE", "SHRS OR PRN AMT",
                                  "INVESTMENT DISCRETION", "VOTING AUTHORITY"}),
                        "APPLE INC\tCOM\t037833100");
  ASSERT_TRUE(heading);
  EXPECT_EQ(heading->lines, 1u) << "the line below holds data, not SOLE, SHARED and NONE";
  EXPECT_EQ(heading->missing, (std::vector<size_t>{kVotingSole, kVotingShared, kVotingNone}));

  EXPECT_TRUE(IsCaptionLine(Captions({"COLUMN 1", "", "Column 8", "VOTING AUTHORITY"})));
  EXPECT_FALSE(IsCaptionLine(Captions({"", "ACME CAPITAL 13F Q3 2026"})));
}

TEST(ReadHeading, TemplatesCaptionsAreReadLooselyAndAnUnknownOneByItsPosition) {
  const struct {
    const char* caption;
    size_t field;
  } cases[] = {
      {"Shares/Principal Amount", kSshPrnamt},
      {"SHRS OR PRN\nAMT", kSshPrnamt},
      {"Sh/Prn", kSshPrnamtType},
      {"SH/\nPRN", kSshPrnamtType},
      {"Market Value", kValue},
      {"Value (x$1000)", kValue},
      {"Discretion", kInvestmentDiscretion},
      {"Other Managers", kOtherManager},
      {"Mgr", kOtherManager},
      {"OTHER MANAGER(S)", kOtherManager},
      {"Call/Put", kPutCall},
      {"Sole Voting", kVotingSole},
      {"Voting Auth Shared", kVotingShared},
      {"Title", kTitleOfClass},
      {"CUSIP #", kCusip},
  };
  for (const auto& c : cases) {
    Cells captions = {"NAME OF ISSUER", "CUSIP", c.caption};
    const std::optional<Heading> heading = ReadHeading(captions, "");
    ASSERT_TRUE(heading) << c.caption;
    EXPECT_EQ(heading->layout.cell[c.field], c.field == kCusip ? 1u : 2u) << c.caption;
  }
  // The SEC's twelve columns, one captioned as no template does.
  const std::optional<Heading> heading =
      ReadHeading(Captions({"Issuer", "Class", "CUSIP", "Value", "Holding Size", "SH/PRN", "Put/Call",
                            "Discretion", "Managers", "Sole", "Shared", "None"}),
                  "");
  ASSERT_TRUE(heading);
  EXPECT_TRUE(heading->missing.empty());
  ASSERT_EQ(heading->byPosition.size(), 1u);
  EXPECT_EQ(
      ByPositionText(heading->byPosition[0]),
      "column 5 \"Holding Size\" is not a caption this program knows: read as Shares or principal amount by "
      "its position in the SEC's order");
  EXPECT_TRUE(IsThousandsCaption("VALUE (x$1000)"));
  EXPECT_TRUE(IsThousandsCaption("Market Value ($000)"));
  EXPECT_FALSE(IsThousandsCaption("VALUE (USD)"));
}

TEST(LayoutForWidth, TablesWithoutAHeadingAreReadByTheirWidth) {
  const struct {
    size_t width;
    std::optional<size_t> value, figi, none;
    bool kindWord;
  } cases[] = {
      {11, 3, std::nullopt, std::nullopt, true},  // one voting amount and its kind
      {12, 3, std::nullopt, 11, false},
      {13, 4, 3, 12, false},  // the FIGI after the CUSIP
  };
  for (const auto& c : cases) {
    const std::optional<ColumnLayout> layout = LayoutForWidth(c.width);
    ASSERT_TRUE(layout) << c.width;
    EXPECT_EQ(layout->cell[kValue], c.value) << c.width;
    EXPECT_EQ(layout->cell[kFigi], c.figi) << c.width;
    EXPECT_EQ(layout->cell[kVotingNone], c.none) << c.width;
    EXPECT_EQ(layout->votingKindWord, c.kindWord) << c.width;
  }
  for (size_t width : {0, 10, 14}) EXPECT_FALSE(LayoutForWidth(width)) << width;
  EXPECT_FALSE(LayoutForFilledCells(13)) << "13 filled cells can't tell a FIGI from a shifted cell";
  EXPECT_TRUE(LayoutForFilledCells(12));
}

}  // namespace
