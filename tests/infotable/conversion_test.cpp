#include "infotable/conversion.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "infotable/csv_text.h"
#include "infotable/document.h"
#include "infotable/edgar_checks.h"
#include "infotable/edgar_limits.h"
#include "infotable/text_forms.h"
#include "tests/support/holdings.h"
#include "tests/support/temp_dir.h"
#include "tests/support/xmllint.h"

namespace {

size_t Count(const std::string& text, const std::string& what) {
  size_t count = 0;
  for (size_t at = 0; (at = text.find(what, at)) != std::string::npos; at += what.size()) ++count;
  return count;
}

struct ConversionTest : ::testing::Test {
  TempDir dir;
  std::string path = dir.File("tev_13f.xml");
};

TEST_F(ConversionTest, WritesTheDocumentAndCounts) {
  const Conversion c =
      ConvertInfoTable(HoldingLine("ALPHA INC", "1,000") + HoldingLine("BETA & CO", "$2,500.75"), path);
  ASSERT_EQ(c.outcome, ConversionOutcome::kWritten);
  EXPECT_EQ(c.entryCount, 2u);
  EXPECT_EQ(c.valueTotal, 3501u) << "2,500.75 rounds to the nearest dollar";
  EXPECT_TRUE(c.errors.empty());
  const std::string xml = ReadFile(path);
  EXPECT_EQ(xml.rfind(FormatDocumentHead(), 0), 0u);
  EXPECT_EQ(xml.substr(xml.size() - FormatDocumentEnd().size()), FormatDocumentEnd());
  EXPECT_EQ(Count(xml, "<infoTable>"), 2u);
  EXPECT_NE(xml.find("<nameOfIssuer>BETA &amp; CO</nameOfIssuer>"), std::string::npos);
  EXPECT_NE(xml.find("<value>2501</value>"), std::string::npos);
  EXPECT_EQ(PreviewHtml(c).rfind("<p><b><font color=#00a000>No errors.</font></b></p><TABLE", 0), 0u);
  EXPECT_NE(PreviewHtml(c).find("<TD class=itbl align=right>2</TD><TD class=itbl align=right>2</TD>"
                                "<TD class=itbl align=left>BETA &amp; CO</TD>"),
            std::string::npos);
}

TEST_F(ConversionTest, InvalidRowIsReportedAndLeftOut) {
  const std::string bad =
      SheetLine({"HEADER", "COM", "123456789", "n/a", "100", "SH", "SOLE", "1", "0", "0"});
  const Conversion c = ConvertInfoTable(HoldingLine("A", "1") + bad + HoldingLine("B", "2"), path);
  ASSERT_EQ(c.outcome, ConversionOutcome::kWritten);
  EXPECT_EQ(c.entryCount, 2u);
  ASSERT_EQ(c.errors.size(), 1u);
  EXPECT_EQ(c.errors[0].kind, RowErrorKind::kInvalidFields);
  EXPECT_EQ(c.errors[0].row, 2u);
  EXPECT_EQ(c.errors[0].line, "HEADER\tCOM\t123456789\tn/a\t100\tSH\tSOLE\t1\t0\t0");
  // Ten cells: the SEC's twelve without their last voting columns, refused
  // for what stands in them.
  EXPECT_EQ(c.errors[0].reason.rfind("Value is empty; Put/Call \"SOLE\" is not Put or Call", 0), 0u)
      << c.errors[0].reason;
  EXPECT_NE(PreviewHtml(c).find("<font color=#e00000>Error(s):</font></b> 1 row refused and left out of the "
                                "document.<br><b>Invalid field(s) in row 2:</b> HEADER\t"),
            std::string::npos);
  EXPECT_NE(PreviewHtml(c).find("<TD class=itbl align=right>2</TD><TD class=itbl align=right>3</TD>"
                                "<TD class=itbl align=left>B</TD>"),
            std::string::npos);
  EXPECT_EQ(Count(ReadFile(path), "<infoTable>"), 2u);
}

TEST_F(ConversionTest, NothingToFileKeepsThePreviousDocumentByteForByte) {
  const std::string heading =
      SheetLine({"NAME OF ISSUER", "TITLE OF CLASS", "CUSIP", "VALUE", "SHRS OR PRN AMT", "SH/PRN",
                 "PUT/CALL", "INVESTMENT DISCRETION", "OTHER MANAGER", "SOLE", "SHARED", "NONE"});
  const struct {
    std::string table;
    const char* why;
    size_t errors;
  } cases[] = {
      {heading + SheetLine({"x", "y", "z"}), "every row was refused", 1},
      {heading, "the copy holds only a heading", 0},
      {HoldingLine("A", "1,2,3") + HoldingLine("B", "x"), "every row was refused", 2},
  };
  for (const auto& c : cases) {
    const std::string previous = FormatDocumentHead() + "\t<infoTable/>\r\n" + FormatDocumentEnd();
    WriteFile(path, previous);
    const Conversion conversion = ConvertInfoTable(c.table, path);
    ASSERT_EQ(conversion.outcome,
              c.errors == 0 ? ConversionOutcome::kOnlyHeading : ConversionOutcome::kEveryRowRefused)
        << c.table;
    EXPECT_EQ(ReadFile(path), previous) << c.table;
    EXPECT_EQ(conversion.errors.size(), c.errors) << "nothing from EDGAR about an empty table";
    EXPECT_NE(conversion.previewStatus.find("Nothing was written:</font></b> " + std::string(c.why)),
              std::string::npos);
    EXPECT_EQ(std::count_if(std::filesystem::directory_iterator(std::filesystem::path(path).parent_path()),
                            {}, [](const auto&) { return true; }),
              1)
        << "no temporary file left";
  }
}

TEST_F(ConversionTest, ValuesAreReadWholeAndTheTotalSaturates) {
  Conversion c = ConvertInfoTable(HoldingLine("A", "99999999999") + HoldingLine("B", "1"), path);
  EXPECT_NE(ReadFile(path).find("<value>99999999999</value>"), std::string::npos);
  EXPECT_EQ(c.valueTotal, 100000000000u);
  c = ConvertInfoTable(HoldingLine("A", "18446744073709551615") + HoldingLine("B", "5"), path);
  EXPECT_EQ(c.valueTotal, UINT64_MAX);
  EXPECT_EQ(ParseValue("99999999999999999999999"), UINT64_MAX);
  EXPECT_EQ(ParseValue(""), 0u);
}

TEST_F(ConversionTest, FailuresBeforeTheFileLeaveItAlone) {
  WriteFile(path, "previous");
  const struct {
    std::string text;
    std::string path;
    ConversionOutcome outcome;
  } cases[] = {
      {SheetLine({"a", "b", "c", "d", "e", "f", "g", "h", "i"}) + SheetLine({"k"}), path,
       ConversionOutcome::kNoTable},
      {" \t\r\n\r\n", path, ConversionOutcome::kNoTable},
      {HoldingLine("A", "1"), "", ConversionOutcome::kNoOutputPath},
      {HoldingLine("A", "1"), dir.File("missing/tev_13f.xml"), ConversionOutcome::kCannotCreate},
  };
  for (const auto& c : cases) {
    const Conversion result = ConvertInfoTable(c.text, c.path);
    EXPECT_EQ(result.outcome, c.outcome);
    EXPECT_EQ(ReadFile(path), "previous");
  }
  chmod(path.c_str(), 0444);
  const Conversion readOnly = ConvertInfoTable(HoldingLine("A", "1"), path);
  EXPECT_EQ(readOnly.outcome, ConversionOutcome::kCannotCreate);
  EXPECT_EQ(ReadFile(path), "previous");
}

TEST_F(ConversionTest, ADeviceOrAFolderIsNoDocumentToReplace) {
  const struct {
    std::string path;
    int cause;
  } cases[] = {{"/dev/null", EINVAL}, {dir.path(), EISDIR}};
  for (const auto& c : cases) {
    const Conversion conversion = ConvertInfoTable(HoldingLine("A", "1"), c.path);
    EXPECT_EQ(conversion.outcome, ConversionOutcome::kCannotCreate) << c.path;
    EXPECT_EQ(conversion.failureCause, c.cause) << c.path;
  }
  EXPECT_TRUE(std::filesystem::is_character_file("/dev/null"));
}

TEST_F(ConversionTest, InvalidCharactersAreReportedAndTheDocumentStaysWellFormed) {
  const std::string name = std::string(
                               "A\x01"
                               "B+C\xC3\xA9\xFF",
                               8) +
                           std::string(1, '\0') + "<b>&amp;";
  const Conversion c = ConvertInfoTable(HoldingLine(name, "7"), path);
  ASSERT_EQ(c.outcome, ConversionOutcome::kWritten);
  EXPECT_EQ(c.entryCount, 1u);
  // One line for the row, naming what the document holds instead; "+" is
  // EDGAR's to refuse in a name, and it says so.
  std::vector<std::pair<RowErrorKind, std::string>> lines;
  for (const RowError& e : c.errors) lines.emplace_back(e.kind, e.reason);
  EXPECT_EQ(lines, (std::vector<std::pair<RowErrorKind, std::string>>{
                       {RowErrorKind::kInvalidCharacter,
                        "the document holds plain ASCII, so control character U+0001 left out, "
                        "\"\xC3\xA9\" as \"e\", byte 0xFF, which is no UTF-8, left out, control character "
                        "U+0000 left out"},
                       {RowErrorKind::kNotAcceptedByEdgar,
                        "nameOfIssuer must not hold + < >, but it holds \"AB+Ce<b>&amp;\""}}));
  const std::string xml = ReadFile(path);
  EXPECT_NE(xml.find("<nameOfIssuer>AB+Ce&lt;b&gt;&amp;amp;</nameOfIssuer>"), std::string::npos)
      << "in plain ASCII";
  EXPECT_EQ(PreviewHtml(c).find("<b>&amp;"), std::string::npos);
  EXPECT_NE(PreviewHtml(c).find("&lt;b&gt;"), std::string::npos) << "markup in cells shows as text";
  if (!HaveXmllint()) GTEST_SKIP() << "xmllint is not installed";
  EXPECT_EQ(std::system(("xmllint --noout " + path).c_str()), 0);
}

TEST_F(ConversionTest, EdgarProblemsAreReportedInRowAndFieldOrderButWritten) {
  const std::string table =
      HoldingLine("GOOD", "1") +
      SheetLine({"BAD*NAME", "COM", "12345678901", "1", "100", "SH", "n/a", "SOLE", "n/a", "1", "0", "n/a"}) +
      HoldingLine(std::string(151, 'L'), std::string(17, '9')) +
      SheetLine({"OK", std::string(151, 'T'), "123456789", "1", std::string(17, '1'), "SH", "n/a", "SOLE",
                 std::string(101, 'M'), std::string(17, '2'), "n/a", "1"});
  const Conversion c = ConvertInfoTable(table, path);
  ASSERT_EQ(c.outcome, ConversionOutcome::kWritten);
  EXPECT_EQ(c.entryCount, 4u);
  std::vector<std::pair<uint32_t, std::string>> lines;
  for (const RowError& e : c.errors)
    if (e.kind == RowErrorKind::kNotAcceptedByEdgar)
      lines.emplace_back(e.row, e.reason.substr(0, e.reason.find(' ')));
  EXPECT_EQ(lines, (std::vector<std::pair<uint32_t, std::string>>{{2, "nameOfIssuer"},
                                                                  {2, "CUSIP"},
                                                                  {3, "nameOfIssuer"},
                                                                  {3, "value"},
                                                                  {4, "titleOfClass"},
                                                                  {4, "sshPrnamt"},
                                                                  {4, "otherManager"},
                                                                  {4, "Sole"},
                                                                  {0, "the"}}));
  EXPECT_NE(PreviewHtml(c).find("<font color=#e00000>Error(s):</font></b><br><b><span data-entry=2>Not "
                                "accepted by EDGAR in row 2</span>:</b> "
                                "nameOfIssuer must not hold *"),
            std::string::npos);
}

TEST_F(ConversionTest, EntriesPastEdgarsLimitAreReportedOnce) {
  std::string table;
  table.reserve(HoldingLine("A 000000", "1").size() * (kEdgarEntryLimit + 2));
  for (uint32_t i = 0; i < kEdgarEntryLimit + 2; ++i) table += HoldingLine("A " + std::to_string(i), "1");
  const Conversion c = ConvertInfoTable(table, path);
  EXPECT_EQ(c.entryCount, kEdgarEntryLimit + 2);
  ASSERT_EQ(c.errors.size(), 1u);
  EXPECT_EQ(c.errors[0].row, kEdgarEntryLimit + 1);
  EXPECT_EQ(c.errors[0].reason.rfind("informationTable must hold at most 250,000", 0), 0u);
}

TEST_F(ConversionTest, AcceptedRowsValidateAgainstTheEdgarSchema) {
  const std::string schema = std::string(FORM13F_EDGAR_DIR) + "/eis_13FDocument.xsd";
  if (!std::filesystem::exists(schema))
    GTEST_SKIP() << "the EDGAR schema is not beside the project: " << schema;
  if (!HaveXmllint()) GTEST_SKIP() << "xmllint is not installed";
  const std::string table =
      HoldingLine("ALPHA & OMEGA (NEW) 5%", "$1,000") +
      SheetLine({"BETA CORP", "CL A", "_1234 5678", "25", "300", "prn", "call", "defined", "1,2", "100",
                 "shared"}) +
      SheetLine({"GAMMA", "COM", "ABCDEF123", "n/a", "1", "SH", "n/a", "other", "n/a", "1", "2", "3"}) +
      SheetLine(
          {"DELTA", "PFD", "DEF456789", "999999999999999", "1", "Shares", "Put", "Sole", "3", "0", "0", "0"});
  const Conversion c = ConvertInfoTable(table, path);
  ASSERT_EQ(c.outcome, ConversionOutcome::kWritten);
  EXPECT_EQ(c.entryCount, 3u);
  EXPECT_EQ(c.refusedRows, 1u) << "only the n/a value is refused";
  EXPECT_EQ(std::system(("xmllint --noout --schema " + schema + " " + path + " 2>/dev/null").c_str()), 0)
      << ReadFile(path);
}

}  // namespace

// What LibreOffice Calc put on the clipboard for real holdings sheets, and what
// each holding must become: name, class, CUSIP, value, amount, type, put/call,
// discretion, other managers, sole, shared, none, FIGI.
const char* const kSecSheetRows[] = {
    "APPLE INC|COM|037833100|45213876|180512|SH||SOLE||180512|0|0|BBG000B9XRY4",
    "MICROSOFT CORP|COM|594918104|38102455|90396|SH||SOLE||88000|0|2396|BBG000BPH459",
    "AMAZON COM INC|COM|023135106|21877310|99716|SH||DFND|1|0|99716|0|BBG000BVPV84",
    "JPMORGAN CHASE &amp; CO|COM|46625H100|9870123|41176|SH||SOLE||41176|0|0|",
    "SPDR S&amp;P 500 ETF TR|TR UNIT|78462F103|5845000|10000|SH|Call|SOLE||10000|0|0|",
    "INVESCO QQQ TR|UNIT SER 1|46090E103|2556900|5000|SH|Put|SOLE||5000|0|0|",
    "BERKSHIRE HATHAWAY INC DEL|CL B NEW|084670702|7252500|16000|SH||OTR|1,2|0|16000|0|",
    "EXXON MOBIL CORP|COM|30231G102|3227100|30000|SH||SOLE||25000|3000|2000|",
    "NVIDIA CORPORATION|COM|67066G104|16111500|120000|SH|Call|DFND|1|0|120000|0|BBG000BBJQV0",
    "ALPHABET INC|CAP STK CL A|02079K305|11357000|60000|SH||SOLE||60000|0|0|",
};
const char* const kDollarsSheetRows[] = {
    "APPLE INC|COM|037833100|45213876|180512|SH||SOLE||180512|0|0|",
    "MICROSOFT CORP|COM|594918104|38102456|90396|SH||SOLE||88000|0|2396|",
    "AMAZON COM INC|COM|023135106|21877311|99716|SH||DFND|1|0|99716|0|",
    "EXXON MOBIL CORP|COM|30231G102|3227100|30000|SH||SOLE||25000|3000|0|",
    "TESLA INC|COM|88160R101|4038500|10000|SH||DFND||0|10000|0|",
    "COCA COLA CO|COM|191216100|622600|10000|SH||SOLE||10000|0|0|",
};

// The Gnumeric sheet of tests/infotable/data, in every form it was copied or exported.
const char* const kGnumericSheetRows[] = {
    "APPLE INC|COM|037833100|45213876|180512|SH||SOLE||180512|0|0|",
    "MICROSOFT CORP|COM|594918104|38102455|90396|SH||SOLE||88000|0|2396|",
    "AMAZON COM INC|COM|023135106|21877310|99716|SH||DFND|1|0|99716|0|",
    "JPMORGAN \"CHASE\" &amp; CO|COM|46625H100|9870123|41176|SH||SOLE||41176|0|0|",
    "SPDR S&amp;P 500 ETF TR|TR UNIT|78462F103|5845000|10000|SH|Call|SOLE||10000|0|0|",
    "INVESCO QQQ TR|UNIT SER 1|46090E103|2556900|5000|SH|Put|SOLE||5000|0|0|",
    "BERKSHIRE HATHAWAY INC DEL|CL B NEW|084670702|7252500|16000|SH||OTR|1,2|0|16000|0|",
    "EXXON MOBIL CORP|COM|30231G102|3227100|30000|SH||SOLE||25000|3000|2000|",
    "MCDONALD'S CORP|COM|580135101|16111500|120000|SH||DFND|1|0|120000|0|",
    "ALPHABET INC|CAP STK CL A|02079K305|11357000|60000|SH||SOLE||60000|0|0|",
};

std::string ExpectedDocument(const std::vector<std::string>& rows, bool withFigi) {
  std::string document = FormatDocumentHead();
  for (const std::string& text : rows) {
    InfoTableRow row;
    size_t field = 0;
    for (size_t start = 0, bar;; start = bar + 1) {
      bar = text.find('|', start);
      row[field++] = text.substr(start, bar - start);
      if (bar == std::string::npos) break;
    }
    if (!withFigi) row[kFigi].clear();
    document += FormatInfoTableEntry(row);
  }
  return document + FormatDocumentEnd();
}

TEST_F(ConversionTest, SpreadsheetClipboardsAreCapturedFieldExact) {
  if (!std::filesystem::exists(FORM13F_SHEETS_DIR))
    GTEST_SKIP() << "the shared spreadsheet clipboards are not beside the project: " << FORM13F_SHEETS_DIR;
  const std::vector<std::string> sec(std::begin(kSecSheetRows), std::end(kSecSheetRows));
  const struct {
    const char* sheet;
    std::string document;
    uint64_t total;
  } cases[] = {
      {"sec-12-columns-heading-blank-cells.tsv", ExpectedDocument(sec, false), 161413764},
      {"figi-13-columns-heading.tsv", ExpectedDocument(sec, true), 161413764},
      {"dollars-cents-blank-voting.tsv",
       ExpectedDocument({std::begin(kDollarsSheetRows), std::end(kDollarsSheetRows)}, false), 113081843},
  };
  for (const auto& c : cases) {
    const Conversion conversion =
        ConvertInfoTable(ReadFile(std::string(FORM13F_SHEETS_DIR) + "/" + c.sheet), path);
    ASSERT_EQ(conversion.outcome, ConversionOutcome::kWritten) << c.sheet;
    EXPECT_TRUE(conversion.errors.empty()) << c.sheet << ": " << RowErrorText(conversion.errors[0]);
    EXPECT_EQ(ReadFile(path), c.document) << c.sheet;
    EXPECT_EQ(conversion.valueTotal, c.total) << c.sheet;
  }
}

// A copy that starts a column late or skips one, without the heading that
// would say so: its cells stand one column off. The table is told once what
// it lacks; no row is written with its cells in the wrong fields.
TEST_F(ConversionTest, ACopyLackingAColumnIsToldOnceAndNothingIsWritten) {
  if (!std::filesystem::exists(FORM13F_SHEETS_DIR))
    GTEST_SKIP() << "the shared spreadsheet clipboards are not beside the project: " << FORM13F_SHEETS_DIR;
  const struct {
    const char* sheet;
    size_t column;  // from 0, left out of every row
    const char* lacking;
  } cases[] = {
      {"sec-12-columns-heading-blank-cells.tsv", 0, "Name of issuer or Title of class"},
      {"sec-12-columns-heading-blank-cells.tsv", 2, "CUSIP"},
      {"dollars-cents-blank-voting.tsv", 4, "Value or Shares or principal amount"},
      {"dollars-cents-blank-voting.tsv", 5, "SH/PRN"},
      {"figi-13-columns-heading.tsv", 0, "Name of issuer or Title of class"},
      {"figi-13-columns-heading.tsv", 8, "Investment discretion"},
  };
  for (const auto& c : cases) {
    std::string copy;
    const std::string sheet = ReadFile(std::string(FORM13F_SHEETS_DIR) + "/" + c.sheet);
    for (size_t start = sheet.find('\n') + 1; start < sheet.size();) {  // the heading left out too
      const size_t end = sheet.find('\n', start);
      std::vector<std::string> cells;
      for (size_t from = start, tab;; from = tab + 1) {
        tab = std::min(sheet.find('\t', from), end);
        cells.push_back(sheet.substr(from, tab - from));
        if (tab == end) break;
      }
      cells.erase(cells.begin() + static_cast<std::ptrdiff_t>(c.column));
      for (size_t i = 0; i < cells.size(); ++i) copy += (i ? "\t" : "") + cells[i];
      copy += '\n';
      start = end + 1;
    }
    const Conversion conversion = ConvertInfoTable(copy, path);
    const std::string said = std::string("the copy lacks the ") + c.lacking + " column";
    EXPECT_EQ(conversion.outcome, ConversionOutcome::kEveryRowRefused) << c.sheet << " " << c.column;
    EXPECT_FALSE(std::filesystem::exists(path));
    for (const RowError& error : conversion.errors)
      EXPECT_EQ(error.reason.rfind(said, 0), 0u) << c.sheet << " " << c.column << ": " << RowErrorText(error);
    EXPECT_EQ(Count(conversion.previewStatus, said), 1u) << conversion.previewStatus;
  }
}

TEST_F(ConversionTest, EverySpreadsheetsFormOfTheSameSheetGivesTheSameDocument) {
  const std::string data = FORM13F_TEST_DATA_DIR;
  std::string fromCsv;
  ASSERT_FALSE(CsvToTabText(ReadFile(data + "/gnumeric-export.csv"), fromCsv));
  const struct {
    const char* form;
    std::string text;
  } cases[] = {
      {"Gnumeric's clipboard: raw line breaks, accounting zeros", ReadFile(data + "/gnumeric-clipboard.tsv")},
      {"Excel's and Google's clipboard: quoted cells", ReadFile(data + "/excel-form-clipboard.tsv")},
      {"Gnumeric's CSV export", fromCsv},
  };
  const std::string expected =
      ExpectedDocument({std::begin(kGnumericSheetRows), std::end(kGnumericSheetRows)}, false);
  for (const auto& c : cases) {
    const Conversion conversion = ConvertInfoTable(c.text, path);
    ASSERT_EQ(conversion.outcome, ConversionOutcome::kWritten) << c.form;
    EXPECT_EQ(ReadFile(path), expected) << c.form;
    // Row 6's quotes are EDGAR's to refuse; row 11's typographic apostrophe
    // is written plain and reported. Nothing else, and the rows are the sheet's.
    std::vector<std::pair<RowErrorKind, uint32_t>> found;
    for (const RowError& error : conversion.errors) found.emplace_back(error.kind, error.row);
    EXPECT_EQ(found, (std::vector<std::pair<RowErrorKind, uint32_t>>{{RowErrorKind::kNotAcceptedByEdgar, 6},
                                                                     {RowErrorKind::kInvalidCharacter, 11}}))
        << c.form;
  }
}

TEST_F(ConversionTest, TablesReadRightBeforeGiveTheSameDocument) {
  // Every cell filled or n/a, whole dollars, plain ASCII, the 12- and 11-column
  // layouts mixed: the document that the first-letter reading wrote for it.
  const std::string data = FORM13F_TEST_DATA_DIR;
  const Conversion c = ConvertInfoTable(ReadFile(data + "/legacy-filled.tsv"), path);
  ASSERT_EQ(c.outcome, ConversionOutcome::kWritten);
  EXPECT_EQ(c.entryCount, 8u);
  EXPECT_EQ(ReadFile(path), ReadFile(data + "/legacy-filled.xml"));
}

TEST_F(ConversionTest, RowsWrongTheWaysFilersMakeThemAreRefusedWithAReason) {
  const std::string apple = "APPLE INC\tCOM\t037833100\t45,213,876\t180,512\tSH\t\tSOLE\t\t180,512\t0\t0";
  const struct {
    std::string table;
    const char* reason;  // of the first refused row
  } cases[] = {
      {"AAPL\t" + apple + "\n", "CUSIP \"COM\" is not 9 letters or digits; FIGI \"037833100\" is not 12"},
      {apple + "\nMSFT\tMICROSOFT CORP\tCOM\t594918104\t38,102,455\t90,396\tSH\tSOLE\t\t88,000\t0\t2,396\n",
       "CUSIP \"COM\" is not 9 letters or digits"},  // a row shifted one cell right
      {"APPLE INC\tCOM\t037833100\t45,213,876\t180,512\tSH\tn/a\tSOLE\tn/a\t180,512\tjoint\n",
       "Voting authority kind \"joint\" is not sole, shared or none"},
      {"APPLE INC\tCOM\t037833100\t45,213,876\t180,512\tStock\tn/a\tSOLE\tn/a\t180,512\tsole\n",
       "SH/PRN \"Stock\" is not SH or PRN"},
      {"APPLE INC\tCOM\t037833100\t45,213,876\t180,512\tSH\t\tOTR\t1.2\t0\t180,512\t0\n",
       "Other managers \"1.2\" holds a period"},  // a CSV's 1,2 opened as a number
  };
  for (const auto& c : cases) {
    const Conversion conversion = ConvertInfoTable(c.table, path);
    ASSERT_EQ(conversion.outcome,
              conversion.entryCount > 0 ? ConversionOutcome::kWritten : ConversionOutcome::kEveryRowRefused)
        << c.table;
    ASSERT_GE(conversion.refusedRows, 1u) << c.table;
    const auto refused =
        std::find_if(conversion.errors.begin(), conversion.errors.end(),
                     [](const RowError& e) { return e.kind == RowErrorKind::kInvalidFields; });
    ASSERT_NE(refused, conversion.errors.end());
    EXPECT_EQ(refused->reason.rfind(c.reason, 0), 0u) << refused->reason;
    if (conversion.entryCount > 0) {
      EXPECT_EQ(Count(ReadFile(path), "<infoTable>"), conversion.entryCount);
    }
  }
}

TEST_F(ConversionTest, HeadingsAreNeitherEntriesNorErrorsButKeepTheirRowNumbers) {
  const std::string table =
      "ACME CAPITAL 13F Q3\n"
      "COLUMN 1\tCOLUMN 2\tCOLUMN 3\tCOLUMN 4\tCOLUMN 5\t\t\tCOLUMN 6\tCOLUMN 7\tCOLUMN 8\n"
      "NAME OF ISSUER\tTITLE OF CLASS\tCUSIP\tVALUE\tSHRS OR PRN AMT\tSH/PRN\tPUT/CALL\tINVESTMENT "
      "DISCRETION\t"
      "OTHER MANAGER\tVOTING AUTHORITY\n"
      "\t\t\t\t\t\t\t\t\tSOLE\tSHARED\tNONE\n"
      "APPLE INC\tCOM\t037833100\t45,213,876\t180,512\tSH\t\tSOLE\t\t180,512\t\t\n"
      "TOTAL\t\t\t45,213,876\n";
  const Conversion c = ConvertInfoTable(table, path);
  ASSERT_EQ(c.outcome, ConversionOutcome::kWritten);
  EXPECT_EQ(c.entryCount, 1u);
  ASSERT_EQ(c.errors.size(), 2u) << "the title and the total, nothing of the heading";
  EXPECT_EQ(c.errors[0].row, 1u);
  EXPECT_EQ(c.errors[1].row, 6u);
  EXPECT_EQ(c.errors[1].line, "TOTAL\t(blank)\t(blank)\t45,213,876");

  // A narrow heading is a heading still, and says what it lacks.
  const Conversion narrow = ConvertInfoTable("CUSIP\tVALUE\n123456789\t1\n", path);
  EXPECT_EQ(narrow.outcome, ConversionOutcome::kEveryRowRefused);
  ASSERT_FALSE(narrow.errors.empty());
  EXPECT_EQ(narrow.errors[0].row, 1u);
  EXPECT_EQ(
      narrow.errors[0].reason.rfind("the heading names no column for Name of issuer, Title of class,", 0),
      0u);
}

// An old sheet's values in thousands would be filed a thousand times too small.
TEST_F(ConversionTest, AHeadingOfValuesInThousandsIsReported) {
  const struct {
    const char* caption;
    bool inThousands;
  } cases[] = {{"VALUE (x$1000)", true}, {"Value (X $1000)", true}, {"VALUE", false}, {"VALUE (USD)", false}};
  for (const auto& c : cases) {
    const std::string table = std::string("NAME OF ISSUER\tTITLE OF CLASS\tCUSIP\t") + c.caption +
                              "\tSHRS OR PRN AMT\tSH/PRN\tPUT/CALL\tINVESTMENT DISCRETION\tOTHER "
                              "MANAGER\tSOLE\tSHARED\tNONE\n"
                              "APPLE INC\tCOM\t037833100\t45,214\t180,512\tSH\t\tSOLE\t\t180,512\t0\t0\n";
    const Conversion conversion = ConvertInfoTable(table, path);
    EXPECT_EQ(conversion.valueTotal, 45214u) << c.caption << ": written as it stands";
    ASSERT_EQ(conversion.errors.size(), c.inThousands ? 1u : 0u) << c.caption;
    if (!c.inThousands) continue;
    EXPECT_EQ(conversion.errors[0].kind, RowErrorKind::kNotAcceptedByEdgar);
    EXPECT_EQ(conversion.errors[0].row, 1u);
    EXPECT_EQ(conversion.errors[0].reason, "value must be in whole dollars, but column \"" +
                                               std::string(c.caption) +
                                               "\" gives thousands; the values are written as they stand");
  }
}

// German, Swiss and French sheets, as Gnumeric and LibreOffice Calc copied
// and exported them in those locales (tests/infotable/data/README.md): the
// same holdings each time.
TEST_F(ConversionTest, EveryLocalesNumbersAreReadAsTheSheetMeansThem) {
  const std::string data = FORM13F_TEST_DATA_DIR;
  std::string first;
  for (const char* locale : {"de_DE", "de_CH", "fr_FR"}) {
    for (const std::string form : {"gnumeric-%-clipboard.tsv", "gnumeric-%-export.txt",
                                   "calc-%-clipboard.tsv", "calc-%-export.txt", "calc-%-export.csv"}) {
      const std::string file =
          data + "/" + form.substr(0, form.find('%')) + locale + form.substr(form.find('%') + 1);
      std::string text = ReadFile(file);
      if (file.substr(file.size() - 4) == ".csv") {
        ASSERT_FALSE(CsvToTabText(ReadFile(file), text)) << file;
      }
      const Conversion c = ConvertInfoTable(text, path);
      ASSERT_EQ(c.outcome, ConversionOutcome::kWritten) << file;
      EXPECT_TRUE(c.errors.empty()) << file << ": " << RowErrorText(c.errors.front());
      EXPECT_EQ(c.entryCount, 4u) << file;
      EXPECT_EQ(c.valueTotal, 45213876u + 838500u + 1250000u + 12346u) << file;
      if (first.empty()) first = ReadFile(path);
      EXPECT_EQ(ReadFile(path), first) << file;
    }
  }
}

TEST_F(ConversionTest, NumbersThatCouldBeReadTwoWaysAreRefusedNotGuessed) {
  const std::string rows =
      SheetLine({"A", "COM", "037833100", "838.500", "5.000", "SH", "", "SOLE", "", "5.000", "0", "0"}) +
      SheetLine({"B", "COM", "594918104", "250.000", "1.000", "SH", "", "SOLE", "", "1.000", "0", "0"});
  const Conversion c = ConvertInfoTable(rows, path);
  ASSERT_EQ(c.outcome, ConversionOutcome::kEveryRowRefused);
  ASSERT_EQ(c.errors.size(), 2u);
  EXPECT_EQ(c.errors[0].reason.rfind(
                "Value \"838.500\" could be read as 838.500 (a decimal point) or as 838500", 0),
            0u)
      << c.errors[0].reason;
  // One amount that can be read one way only tells the table's style.
  const Conversion told = ConvertInfoTable(rows + SheetLine({"C", "COM", "023135106", "1.250.000", "2.500",
                                                             "SH", "", "SOLE", "", "2.500", "0", "0"}),
                                           path);
  EXPECT_TRUE(told.errors.empty());
  EXPECT_EQ(told.valueTotal, 838500u + 250000u + 1250000u);
}

// A template's own captions, as filers' sheets have them: a heading, and no line.
TEST_F(ConversionTest, ATemplatesHeadingIsReadAsAHeading) {
  const std::string table = SheetLine({"Name of Issuer", "Title of Class", "CUSIP", "Market Value",
                                       "Shares/Principal Amount", "Sh/Prn", "Put/Call", "Discretion",
                                       "Other Managers", "Voting Authority Sole", "Shared", "None"}) +
                            HoldingLine("ALPHA", "1,000") + HoldingLine("BETA", "2,000");
  const Conversion c = ConvertInfoTable(table, path);
  EXPECT_EQ(c.entryCount, 2u);
  EXPECT_TRUE(c.errors.empty()) << RowErrorText(c.errors.front());
}

// Thousands of lines alike would bury the status under them: they are one
// line, naming the first rows (each leading to its entry) and the count.
TEST_F(ConversionTest, ManyLinesAlikeAreOneLineThatNamesTheirRows) {
  std::string table;
  for (int i = 0; i < 3000; ++i) table += HoldingLine("SAME", "1");
  table += SheetLine({"x", "y"}) + SheetLine({"z", "w"});
  const Conversion c = ConvertInfoTable(table, path);
  EXPECT_EQ(c.errors.size(), 2999u + 2u) << "every line is still reported";
  const std::string html = c.previewStatus;
  EXPECT_NE(
      html.find("<br><b>Check before filing in 2,999 rows</b> (<span data-entry=2>2</span>, "
                "<span data-entry=3>3</span>, <span data-entry=4>4</span>, <span data-entry=5>5</span>, "
                "<span data-entry=6>6</span> and 2,994 more), such as row 2: the same holding as row 1"),
      std::string::npos)
      << html.substr(0, 600);
  EXPECT_NE(html.find("<b>Invalid field(s) in row 3001:</b>"), std::string::npos) << "two alike stand alone";
  EXPECT_LT(html.size(), 2000u);
}
