#include "infotable/table_plan.h"

#include <gtest/gtest.h>

namespace {

// A plan's reading of each line: "H" heading, a layout's number, "F" filled
// cells, "S" too short.
std::string Readings(const char* text) {
  const NormalizedText normalized = NormalizeClipboardText(text);
  const TablePlan plan = PlanTable(normalized);
  std::string readings;
  for (const LineReading& reading : plan.reading)
    readings += reading.kind == LineReading::kHeading       ? 'H'
                : reading.kind == LineReading::kLayout      ? static_cast<char>('0' + reading.layout)
                : reading.kind == LineReading::kFilledCells ? 'F'
                                                            : 'S';
  return readings;
}

const char* const kRow = "N\tT\t037833100\t1\t2\tSH\t\tSOLE\t\t1\t0\t0\n";
const char* const kHeading =
    "NAME OF ISSUER\tTITLE OF CLASS\tCUSIP\tVALUE\tSHRS OR PRN AMT\tSH/PRN\tPUT/CALL\t"
    "INVESTMENT DISCRETION\tOTHER MANAGER\tSOLE\tSHARED\tNONE\n";

TEST(PlanTable, AHeadingHoldsBelowItAndLinesOfTheTablesWidthTakeItsLayout) {
  const struct {
    std::string text;
    const char* readings;
  } cases[] = {
      {std::string(kRow) + kRow, "00"},      // by the width alone
      {std::string(kRow) + "A\tB\n", "0S"},  // a narrower line: too short to read
      {std::string(kHeading) + kRow, "H1"},  // the heading's own layout, after the width's
      {std::string("COLUMN 1\t\tCOLUMN 3\n") + kHeading + kRow, "HH1"},  // a caption line above it
      {std::string(kRow) + kHeading + kRow, "0H1"},  // rows above a heading keep the width's
      // A text export leaves out a row's empty cells at its end.
      {std::string(kRow) + "N\tT\t037833100\t1\t2\tSH\t\tSOLE\t\t1\n", "00"},
      {"N\tT\t037833100\t1\t2\tSH\t\tSOLE\t\t1\n", "0"},                  // throughout: still the twelve
      {"N\tT\t037833100\t1\t2\tSH\t\tSOLE\t\t1\t2\n", "0"},               // eleven, the last an amount
      {std::string(kRow) + "N\tT\t037833100\t1\t2\tSH\t\tSOLE\n", "0S"},  // short of more than voting
      {std::string(kRow) + "N\tT\t037833100\t1\t2\tSH\tPut\tSOLE\t1\t1\tsole\n", "0F"},  // the kind word
  };
  for (const auto& c : cases) EXPECT_EQ(Readings(c.text.c_str()), c.readings) << c.text;
}

TEST(PlanTable, ThousandsCaptionsAndFigisAreNoted) {
  const std::string heading =
      "NAME\tCLASS\tCUSIP\tFIGI\tVALUE (x$1000)\tSHRS OR PRN AMT\tSH/PRN\tPUT/CALL\tDISCRETION\tOTHER "
      "MANAGER\t"
      "SOLE\tSHARED\tNONE\n";
  const std::string row = "N\tT\t037833100\tBBG000B9XRY4\t1\t2\tSH\t\tSOLE\t\t1\t0\t0\n";
  const std::string text = heading + row;  // the plan's lines are views of it
  const NormalizedText normalized = NormalizeClipboardText(text);
  const TablePlan plan = PlanTable(normalized);
  ASSERT_EQ(plan.thousandsCaptions.size(), 1u);
  EXPECT_EQ(plan.thousandsCaptions[0].second, "VALUE (x$1000)");
  EXPECT_TRUE(plan.showsFigi);
  EXPECT_TRUE(IsTable(plan));
}

}  // namespace
