#include "infotable/row.h"

#include <gtest/gtest.h>

#include "infotable/cells.h"
#include "infotable/text_forms.h"

namespace {

struct TextCase {
  const char* input;
  const char* expected;
};

TEST(NormalizeClipboardText, CellsKeepTheirColumns) {
  const struct {
    const char* input;
    const char* text;
    size_t width;
  } cases[] = {
      {"A\t\tB", "A\t\tB\n", 3},                        // an empty cell stays
      {"\tA\t\tB\t\t\n\t\tC\t", "A\t\tB\n\tC\t\n", 3},  // edge columns empty on every line go
      {"  A   b  \t  C \t   ", "A b\tC\n", 2},          // blanks trimmed and folded; a blank cell is empty
      {"A\r\n\r\n \t \r\nB\rC\n", "A\nB\nC\n", 1},      // blank lines and every line break kind
      {"", "", 0},
      {"\r\n\t \n", "", 0},
  };
  for (const auto& c : cases) {
    const NormalizedText normalized = NormalizeClipboardText(c.input);
    std::string text;
    for (std::string_view line : normalized.lines) (text += line) += '\n';
    EXPECT_EQ(text, c.text) << c.input;
    EXPECT_EQ(normalized.width, c.width) << c.input;
  }
}

TEST(CountInvalidCharacters, CountsEachCharacterOnce) {
  const struct {
    std::string line;
    size_t invalid;
  } cases[] = {
      {"plain ASCII 1,000 $ % & <>", 0},
      {"A+B+C", 2},
      {"Caf\xC3\xA9 \xE2\x82\xAC", 2},  // one per UTF-8 character
      {"bad \xFF\xC3 end", 2},          // stray bytes one each
      {"ctl\x01\x1F\x7F", 2},           // XML 1.0 cannot hold C0 controls
      {std::string("nul\0x", 5), 1},
      {"tab\tis fine", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(CountInvalidCharacters(c.line), c.invalid) << c.line;
}

TEST(LeaveOutNonXmlCharacters, KeepsValidUtf8AndDropsTheRest) {
  EXPECT_EQ(LeaveOutNonXmlCharacters("a\x01"
                                     "b\tc\xC3\xA9\xFF\xED\xA0\x80\xEF\xBF\xBE"
                                     "d"),
            "ab\tc\xC3\xA9"
            "d");
  EXPECT_EQ(LeaveOutNonXmlCharacters(std::string("x\0y", 3)), "xy");
}

TEST(PlainAsciiLine, WritesPlainFormsAndLeavesOutTheRest) {
  const TextCase cases[] = {
      {"NESTL\xC3\x89 S.A.", "NESTLE S.A."},
      {"MCDONALD\xE2\x80\x99S CORP", "MCDONALD'S CORP"},
      {"\xE2\x80\x9C"
       "A\xE2\x80\x9D \xE2\x80\x93 Stra\xC3\x9F"
       "e",
       "\"A\" - Strasse"},
      {"A\xC2\xA0\xC2\xA0"
       "B\t\xC2\xA0"
       "C",
       "A B\tC"},                                               // non-breaking spaces fold like blanks
      {"EUR\xE2\x82\xAC \xE4\xB8\xAD\tX\x01Y\xFF", "EUR\tXY"},  // no plain form, controls, stray bytes
  };
  for (const TextCase& c : cases) EXPECT_EQ(PlainAsciiLine(c.input), c.expected) << c.input;
}

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
    EXPECT_EQ(ReadAmount(c.cell, digits), c.digits != nullptr) << c.cell;
    if (c.digits) {
      EXPECT_EQ(digits, c.digits) << c.cell;
    }
  }
}

// The twelve columns of a sheet row, with one cell replaced.
Cells TwelveCells(size_t at = 99, std::string_view cell = "") {
  Cells cells = {"ABC CORP", "COM", "123456789", "100", "200", "SH", "", "SOLE", "", "1", "2", "3"};
  if (at < cells.size()) cells[at] = cell;
  return cells;
}

ColumnLayout Layout(size_t width) {
  ColumnLayout layout;
  EXPECT_TRUE(LayoutForWidth(width, layout));
  return layout;
}

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
      {kShared, "", kShared, "0"},
      {kNone, "-", kNone, "0"},
      {kSole, "N/A", kSole, "0"},
  };
  for (const auto& c : cases) {
    InfoTableRow row;
    EXPECT_EQ(ReadRow(TwelveCells(c.at, c.cell), Layout(12), row), "") << c.cell;
    EXPECT_EQ(row[c.field], c.expected) << c.cell;
  }
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
      {kSshPrnamt, "1.234,5", "Shares or principal amount \"1.234,5\" is not a number"},
      {kSshPrnamtType, "", "SH/PRN is empty"},
      {kSshPrnamtType, "Stock", "SH/PRN \"Stock\" is not SH or PRN"},
      {kPutCall, "SOLE", "Put/Call \"SOLE\" is not Put or Call"},
      {kInvestmentDiscretion, "", "Investment discretion is empty"},
      {kInvestmentDiscretion, "Shared", "Investment discretion \"Shared\" is not SOLE, DFND or OTR"},
      {kSole, "x", "Voting authority sole \"x\" is not a number"},
  };
  for (const auto& c : cases) {
    InfoTableRow row;
    EXPECT_EQ(ReadRow(TwelveCells(c.at, c.cell), Layout(12), row), c.reason) << c.cell;
  }
  InfoTableRow row;
  EXPECT_EQ(ReadRow(TwelveCells(kPutCall, "SOLE"), Layout(11), row),
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
    const std::string refusal = ReadRow(cells, Layout(11), row);
    if (c.voting.empty()) {
      EXPECT_NE(refusal.find("Voting authority kind"), std::string::npos) << c.kind;
      continue;
    }
    EXPECT_EQ(refusal, "") << c.kind;
    EXPECT_EQ(std::vector<std::string>(row.begin() + kSole, row.begin() + kNone + 1), c.voting) << c.kind;
  }
}

TEST(ReadRow, ThirteenColumnsHoldTheFigiAfterTheCusip) {
  Cells cells = TwelveCells();
  cells.insert(cells.begin() + 3, "BBG000B9XRY4");
  InfoTableRow row;
  EXPECT_EQ(ReadRow(cells, Layout(13), row), "");
  EXPECT_EQ(row[kFigi], "BBG000B9XRY4");
  EXPECT_EQ(row[kValue], "100");
  cells[3] = "037833100";
  EXPECT_EQ(ReadRow(cells, Layout(13), row), "FIGI \"037833100\" is not 12 letters or digits");
}

TEST(ReadFilledCells, LinesOfAnotherWidthAreReadByTheirFilledCells) {
  InfoTableRow row;
  // One empty cell too many: 12 filled cells remain.
  EXPECT_EQ(ReadFilledCells("ABC CORP\tCOM\t123456789\t100\t200\tSH\t\tn/a\tSOLE\tn/a\t1\t2\t3", row), "")
      << "the old reading holds";
  EXPECT_EQ(row[kInvestmentDiscretion], "SOLE");
  EXPECT_EQ(
      ReadFilledCells("TOTAL\t\t161,413,764", row),
      "The row has 2 filled cells, but a row needs 11, 12 or 13 columns, or a heading row that names them");
}

Cells Captions(std::initializer_list<std::string_view> captions) { return Cells(captions); }

TEST(ReadHeading, CaptionsNameTheColumns) {
  ColumnLayout layout;
  // The SEC's captions in another order, a ticker column and a notes column.
  EXPECT_EQ(ReadHeading(Captions({"Ticker", "CUSIP", "Name of Issuer", "Title of Class", "FIGI",
                                  "Value (x$1000)", "SHRS OR PRN AMT", "SH/PRN", "PUT/CALL",
                                  "INVESTMENT DISCRETION", "OTHER MANAGER(S)", "VOTING AUTHORITY SOLE",
                                  "VOTING AUTHORITY SHARED", "VOTING AUTHORITY NONE", "Notes"}),
                        "", layout),
            1u);
  const int expected[kInfoTableFieldCount] = {2, 3, 1, 5, 6, 7, 8, 9, 10, 11, 12, 13, 4};
  for (size_t field = 0; field < kInfoTableFieldCount; ++field)
    EXPECT_EQ(layout.cell[field], expected[field]) << FieldCaption(field);

  // The SEC form's two lines: SOLE, SHARED and NONE under VOTING AUTHORITY.
  EXPECT_EQ(ReadHeading(Captions({"NAME OF ISSUER", "TITLE OF CLASS", "CUSIP", "VALUE (USD)",
                                  "SHRS OR PRN AMT", "SH/PRN", "PUT/CALL", "INVESTMENT DISCRETION",
                                  "OTHER MANAGER", "VOTING AUTHORITY"}),
                        "\t\t\t\t\t\t\t\t\tSOLE\tSHARED\tNONE", layout),
            2u);
  EXPECT_EQ(layout.cell[kSole], 9);
  EXPECT_EQ(layout.cell[kNone], 11);
  EXPECT_EQ(layout.cell[kFigi], kNoColumn);

  // Element names work as captions too.
  EXPECT_EQ(ReadHeading(Captions({"nameOfIssuer", "titleOfClass", "cusip", "value", "sshPrnamt",
                                  "sshPrnamtType", "investmentDiscretion", "Sole", "Shared", "None"}),
                        "", layout),
            1u);

  // No heading: a CUSIP caption alone, or a line that isn't captions.
  EXPECT_EQ(ReadHeading(Captions({"Name", "CUSIP", "Value"}), "", layout), 0u);
  EXPECT_EQ(ReadHeading(TwelveCells(), "", layout), 0u);
  EXPECT_EQ(ReadHeading(Captions({"NAME OF ISSUER", "TITLE OF CLASS", "CUSIP", "VALUE", "SHRS OR PRN AMT",
                                  "INVESTMENT DISCRETION", "VOTING AUTHORITY"}),
                        "APPLE INC\tCOM\t037833100", layout),
            0u)
      << "the line below holds data, not SOLE, SHARED and NONE";

  EXPECT_TRUE(IsCaptionLine(Captions({"COLUMN 1", "", "Column 8", "VOTING AUTHORITY"})));
  EXPECT_FALSE(IsCaptionLine(Captions({"", "ACME CAPITAL 13F Q3 2026"})));
}

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

TEST(EscapeMarkup, EscapesAmpersandFirstAndLeavesQuotes) {
  EXPECT_EQ(EscapeMarkup("a&b<c>d\"e'"), "a&amp;b&lt;c&gt;d\"e'");
  EXPECT_EQ(EscapeMarkup("&lt;"), "&amp;lt;");
}

}  // namespace
