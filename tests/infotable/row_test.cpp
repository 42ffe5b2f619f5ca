#include "infotable/row.h"

#include <gtest/gtest.h>

namespace {

// The twelve columns of a sheet row, with one cell replaced.
Cells TwelveCells(size_t at = 99, std::string_view cell = "") {
  Cells cells = {"ABC CORP", "COM", "123456789", "100", "200", "SH", "", "SOLE", "", "1", "2", "3"};
  if (at < cells.size()) cells[at] = cell;
  return cells;
}

ColumnLayout Layout(size_t width) { return LayoutForWidth(width).value(); }

// A reading's refusal, or "" when the row was read.
std::string Reason(const Refusal& refusal) { return refusal.value_or(""); }

TEST(ReadRow, EachCellIsReadWhereItStands) {
  const struct {
    size_t at;
    const char* cell;
    size_t field;
    const char* expected;
  } cases[] = {
      {kSshPrnamtType, "Shares", kSshPrnamtType, "SH"},
      {kSshPrnamtType, "principal", kSshPrnamtType, "PRN"},
      {kPutCall, "CALL", kPutCall, "Call"},
      {kPutCall, "n/a", kPutCall, ""},
      {kInvestmentDiscretion, "Defined", kInvestmentDiscretion, "DFND"},
      {kInvestmentDiscretion, "Shared-Defined", kInvestmentDiscretion, "DFND"},
      {kInvestmentDiscretion, "shared other", kInvestmentDiscretion, "OTR"},
      {kInvestmentDiscretion, "Sole", kInvestmentDiscretion, "SOLE"},
      {kNameOfIssuer, "ABC 5% PFD", kNameOfIssuer, "ABC 5 percent PFD"},
      {kNameOfIssuer, "100%", kNameOfIssuer, "100 percent"},
      {kNameOfIssuer, "AT&T <NEW>", kNameOfIssuer, "AT&amp;T &lt;NEW&gt;"},
      {kCusip, "_1234 5678", kCusip, "012345678"},  // leading zeros a spreadsheet dropped
      {kCusip, "12345678901", kCusip, "12345678901"},
      {kValue, "$1,234.56", kValue, "1235"},
      {kOtherManager, "1,2", kOtherManager, "1,2"},
      {kOtherManager, "-", kOtherManager, ""},
      {kOtherManager, "None", kOtherManager, ""},
      {kVotingShared, "", kVotingShared, "0"},
      {kVotingNone, "-", kVotingNone, "0"},
      {kVotingSole, "N/A", kVotingSole, "0"},
  };
  for (const auto& c : cases) {
    InfoTableRow row;
    EXPECT_EQ(Reason(ReadRow(TwelveCells(c.at, c.cell), Layout(12), row)), "") << c.cell;
    EXPECT_EQ(row[c.field], c.expected) << c.cell;
  }
  // What the reading decided goes beside the text, for the checks.
  InfoTableRow row;
  ASSERT_FALSE(ReadRow(TwelveCells(kPutCall, "Put"), Layout(12), row));
  EXPECT_EQ(row.value, 100u);
  EXPECT_EQ(row.amount, 200u);
  EXPECT_EQ(row.option, Option::kPut);
  ASSERT_FALSE(ReadRow(TwelveCells(kSshPrnamtType, "PRN"), Layout(12), row));
  EXPECT_EQ(row.amountType, AmountType::kPrincipal);
  EXPECT_EQ(row.option, Option::kNone);
}

TEST(ReadRow, ACellThatCantBeReadRefusesTheRowAndSaysWhy) {
  const struct {
    size_t at;
    const char* cell;
    const char* reason;
  } cases[] = {
      {kNameOfIssuer, "", "Name of issuer is empty"},
      {kTitleOfClass, "n/a", "Title of class is empty"},
      {kCusip, "COM", "CUSIP \"COM\" is not 9 letters or digits"},
      {kValue, "", "Value is empty"},
      {kValue, "12abc", "Value \"12abc\" is not a number"},
      {kSshPrnamt, "1.234.5", "Shares or principal amount \"1.234.5\" is not a number"},
      {kCusip, "3.78331E+08",
       "CUSIP \"3.78331E+08\" is a number in scientific notation, which has lost the "
       "CUSIP's digits: format the column as text and copy it again"},
      {kSshPrnamtType, "", "SH/PRN is empty"},
      {kSshPrnamtType, "Stock", "SH/PRN \"Stock\" is not SH or PRN"},
      {kPutCall, "SOLE", "Put/Call \"SOLE\" is not Put or Call"},
      {kInvestmentDiscretion, "", "Investment discretion is empty"},
      {kInvestmentDiscretion, "Shared", "Investment discretion \"Shared\" is not SOLE, DFND or OTR"},
      {kVotingSole, "x", "Voting authority sole \"x\" is not a number"},
  };
  for (const auto& c : cases) {
    InfoTableRow row;
    EXPECT_EQ(Reason(ReadRow(TwelveCells(c.at, c.cell), Layout(12), row)), c.reason) << c.cell;
  }
  InfoTableRow row;
  EXPECT_EQ(Reason(ReadRow(TwelveCells(kPutCall, "SOLE"), Layout(11), row)),
            "Put/Call \"SOLE\" is not Put or Call; Voting authority kind \"2\" is not sole, shared or none")
      << "every problem is named";
}

TEST(ReadRow, ElevenColumnsNameTheVotingKind) {
  const struct {
    const char* amount;
    const char* kind;
    std::vector<std::string> voting;  // empty: refused
  } cases[] = {
      {"500", "Sole", {"500", "0", "0"}},
      {"500", "SHARED", {"0", "500", "0"}},
      {"500", "none", {"0", "0", "500"}},
      {"", "sole", {"0", "0", "0"}},
      {"500", "joint", {}},
      {"500", "", {}},
  };
  for (const auto& c : cases) {
    const Cells cells = {"N", "T", "123456789", "1", "2", "SH", "Put", "SOLE", "M", c.amount, c.kind};
    InfoTableRow row;
    const std::string refusal = Reason(ReadRow(cells, Layout(11), row));
    if (c.voting.empty()) {
      EXPECT_NE(refusal.find("Voting authority kind"), std::string::npos) << c.kind;
      continue;
    }
    EXPECT_EQ(refusal, "") << c.kind;
    EXPECT_EQ(std::vector<std::string>(row.fields.begin() + kVotingSole, row.fields.begin() + kVotingNone + 1), c.voting)
        << c.kind;
  }
}

TEST(ReadRow, ThirteenColumnsHoldTheFigiAfterTheCusip) {
  Cells cells = TwelveCells();
  cells.insert(cells.begin() + 3, "BBG000B9XRY4");
  InfoTableRow row;
  EXPECT_EQ(Reason(ReadRow(cells, Layout(13), row)), "");
  EXPECT_EQ(row[kFigi], "BBG000B9XRY4");
  EXPECT_EQ(row[kValue], "100");
  cells[3] = "037833100";
  EXPECT_EQ(Reason(ReadRow(cells, Layout(13), row)), "FIGI \"037833100\" is not 12 letters or digits");
}

TEST(ReadFilledCells, LinesOfAnotherWidthAreReadByTheirFilledCells) {
  InfoTableRow row;
  // One empty cell too many: 12 filled cells remain.
  EXPECT_EQ(Reason(ReadFilledCells("ABC CORP\tCOM\t123456789\t100\t200\tSH\t\tn/a\tSOLE\tn/a\t1\t2\t3", row)),
            "")
      << "the old reading holds";
  EXPECT_EQ(row[kInvestmentDiscretion], "SOLE");
  EXPECT_EQ(
      Reason(ReadFilledCells("TOTAL\t\t161,413,764", row)),
      "The row has 2 filled cells, but a row needs 11, 12 or 13 columns, or a heading row that names them");
}

}  // namespace
