#include "workbook/workbook.h"

#include <gtest/gtest.h>
#include <zip.h>

#include <functional>

#include "infotable/conversion.h"
#include "tests/support/temp_dir.h"
#include "workbook/workbook_table.h"
#include "workbook/zip_entries.h"

namespace {

std::string Data(const std::string& name) { return std::string(FORM13F_WORKBOOK_DATA_DIR) + "/" + name; }

const char* const kPrograms[] = {"calc", "gnumeric"};
const char* const kKinds[] = {".xlsx", ".ods"};

// The table of a workbook as the converter reads it, or the refusal.
Refusal TableOf(const std::string& path, const std::string& sheet, WorkbookTable& table) {
  Workbook workbook;
  if (Refusal refusal = ReadWorkbook(path, workbook)) return refusal;
  return FindWorkbookTable(workbook, "book", sheet, table);
}

Conversion Converted(const std::string& text, const std::string& path, const WorkbookTable* table = nullptr) {
  ConversionRequest request;
  request.preview = PreviewKind::kNone;
  if (table) request.sourceRefusals = table->refusedRows;
  return ConvertInfoTable(text, path, request);
}

// A zip archive of these entries, as libzip writes one.
void WriteZip(const std::string& path, const std::vector<std::pair<std::string, std::string>>& entries,
              const std::function<void(zip_t*, zip_int64_t)>& change = nullptr) {
  int error = 0;
  zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  ASSERT_NE(archive, nullptr);
  for (const auto& [name, bytes] : entries) {
    zip_source_t* source = zip_source_buffer(archive, bytes.data(), bytes.size(), 0);
    const zip_int64_t index = zip_file_add(archive, name.c_str(), source, ZIP_FL_OVERWRITE);
    ASSERT_GE(index, 0);
    if (change) change(archive, index);
  }
  ASSERT_EQ(zip_close(archive), 0) << zip_strerror(archive);
}

TEST(Workbook, EachProgramsWorkbookGivesTheDocumentOfItsTabExport) {
  TempDir dir;
  for (const char* program : kPrograms) {
    const std::string exported = ReadFile(Data(std::string(program) + "-holdings-export.txt"));
    const Conversion expected = Converted(exported, dir.File("export.xml"));
    ASSERT_EQ(expected.entryCount, 7u) << program;
    for (const char* kind : kKinds) {
      const std::string name = std::string(program) + "-holdings" + kind;
      WorkbookTable table;
      ASSERT_FALSE(TableOf(Data(name), "", table)) << name;
      EXPECT_EQ(table.sheet, "Holdings") << name;
      EXPECT_EQ(table.note,
                "Read sheet \"Holdings\" of book. Rows 1–3, above the table, are not holdings: left out. "
                "Rows 12–14, below the table, are not holdings: left out.\n"
                "Row 10 is hidden in the workbook: read as holdings like the others.\n"
                "Column I is hidden in the workbook: read like the others.")
          << name;
      const Conversion conversion = Converted(table.text, dir.File("book.xml"), &table);
      EXPECT_EQ(conversion.entryCount, 7u) << name;
      EXPECT_EQ(ReadFile(dir.File("book.xml")), ReadFile(dir.File("export.xml"))) << name;
      // Titles and totals are left out, not refused; the CUSIPs held as
      // numbers get their zeros back, and a line says so.
      EXPECT_EQ(conversion.refusedRows, 0u) << name;
      ASSERT_EQ(conversion.errors.size(), 1u) << name;
      EXPECT_NE(conversion.errors[0].reason.find("leading zeros put back"), std::string::npos) << name;
      EXPECT_NE(ReadFile(dir.File("book.xml")).find("<cusip>037833100</cusip>"), std::string::npos) << name;
    }
  }
}

TEST(Workbook, TwoSheetsWithATableAreNamedAndTheOneAskedForIsRead) {
  for (const char* program : kPrograms)
    for (const char* kind : kKinds) {
      const std::string name = std::string(program) + "-two-tables" + kind;
      WorkbookTable table;
      const Refusal refusal = TableOf(Data(name), "", table);
      ASSERT_TRUE(refusal) << name;
      EXPECT_EQ(*refusal, "holds a table on 2 sheets, \"2026Q2\" and \"2026Q3\": say which to read") << name;
      EXPECT_EQ(table.sheetsWithTables, (std::vector<std::string>{"2026Q2", "2026Q3"})) << name;
      ASSERT_FALSE(TableOf(Data(name), "2026Q3", table)) << name;
      EXPECT_EQ(table.sheet, "2026Q3");
      EXPECT_EQ(TableOf(Data(name), "2026Q4", table).value_or(""),
                "has no sheet \"2026Q4\": its sheets are \"2026Q2\" and \"2026Q3\"")
          << name;
    }
}

TEST(Workbook, CellsNoTableHoldsRefuseTheirRowsByTheirCell) {
  TempDir dir;
  for (const char* program : kPrograms)
    for (const char* kind : kKinds) {
      const std::string name = std::string(program) + "-slips" + kind;
      WorkbookTable table;
      ASSERT_FALSE(TableOf(Data(name), "", table)) << name;
      const Conversion conversion = Converted(table.text, dir.File("slips.xml"), &table);
      EXPECT_EQ(conversion.refusedRows, 3u) << name;
      std::vector<std::string> refused;
      for (const RowError& error : conversion.errors)
        if (error.kind == RowErrorKind::kInvalidFields)
          refused.push_back(std::to_string(error.row) + " " + error.reason.substr(0, error.reason.find(',')));
      EXPECT_EQ(refused,
                (std::vector<std::string>{"2 cell D2 of sheet \"Holdings\" holds a date",
                                          "4 cell E4 of sheet \"Holdings\" holds the yes-or-no value TRUE",
                                          "8 cell D8 of sheet \"Holdings\" holds the formula error #DIV/0!: "
                                          "correct the formula"}))
          << name;
      // A name typed over two lines of its cell is the whole name.
      EXPECT_NE(
          ReadFile(dir.File("slips.xml")).find("<nameOfIssuer>BERKSHIRE HATHAWAY INC DEL</nameOfIssuer>"),
          std::string::npos)
          << name;
    }
}

TEST(Workbook, FilesThatAreNoWorkbookOrADamagedOneAreRefusedWithWhatTheyAre) {
  TempDir dir;
  const std::string workbook = ReadFile(Data("calc-holdings.xlsx"));
  std::string flipped = workbook;
  for (size_t at = flipped.size() / 3; at < flipped.size() / 3 + 64; ++at)
    flipped[at] = static_cast<char>(~flipped[at]);
  const std::string compound("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
  const auto utf16 = [](const std::string& name) {
    std::string wide;
    for (char c : name) wide += std::string{c, '\0'};
    return wide;
  };
  WriteZip(dir.File("notes.zip"), {{"notes.txt", "Prepared by the back office."}});
  WriteZip(dir.File("word.docx"),
           {{"[Content_Types].xml", "<Types/>"}, {"word/document.xml", "<w:document/>"}});
  WriteZip(dir.File("bad-xml.ods"), {{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
                                     {"content.xml", "<office:document-content><table:table"}});
  WriteZip(dir.File("locked.xlsx"), {{"[Content_Types].xml", "<Types/>"}, {"xl/workbook.xml", "<workbook/>"}},
           [](zip_t* archive, zip_int64_t index) {
             ASSERT_EQ(
                 zip_file_set_encryption(archive, static_cast<zip_uint64_t>(index), ZIP_EM_AES_256, "pw"), 0);
           });
  // A row repeated to the sheet's end, cells repeated to its last column.
  const auto repeated = [](const std::string& cell) {
    return "<office:document-content><office:body><office:spreadsheet><table:table table:name=\"S\">"
           "<table:table-row table:number-rows-repeated=\"1048576\"><table:table-cell "
           "table:number-columns-repeated=\"16384\" " +
           cell +
           "</table:table-cell></table:table-row></table:table></office:spreadsheet></office:body>"
           "</office:document-content>";
  };
  const std::string ods = "application/vnd.oasis.opendocument.spreadsheet";
  WriteZip(dir.File("bomb-rows.ods"),
           {{"mimetype", ods}, {"content.xml", repeated("office:value-type=\"string\"><text:p>X</text:p>")}});
  WriteZip(dir.File("bomb-typed.ods"),
           {{"mimetype", ods},
            {"content.xml", repeated("office:value-type=\"boolean\" office:boolean-value=\"true\">")}});
  WriteFile(dir.File("pdf.xlsx"), "%PDF-1.7\n%\xE2\xE3\xCF\xD3\n1 0 obj\n");
  WriteFile(dir.File("page.xlsx"), "\xEF\xBB\xBF<!DOCTYPE html>\n<html><body><table></table></body></html>");
  WriteFile(dir.File("old.xls"), compound + std::string(500, '\0') + utf16("Workbook"));
  WriteFile(dir.File("protected.xlsx"), compound + std::string(500, '\0') + utf16("EncryptionInfo"));
  WriteFile(dir.File("cut.xlsx"), workbook.substr(0, workbook.size() / 2));
  WriteFile(dir.File("flipped.xlsx"), flipped);
  const struct {
    const char* file;
    const char* refused;
  } cases[] = {
      {"pdf.xlsx", "is a PDF document, not a workbook"},
      {"page.xlsx", "is a web page, not a workbook"},
      {"old.xls",
       "is an Excel 97-2003 workbook (.xls), a format this program does not read: save it as .xlsx"},
      {"protected.xlsx", "is a workbook protected by a password"},
      {"locked.xlsx", "is protected by a password"},
      {"cut.xlsx", "is a damaged or cut-off zip archive"},
      {"flipped.xlsx", "is damaged"},
      {"notes.zip", "is a zip archive, not a workbook"},
      {"word.docx", "is a Word document, not a workbook"},
      {"bad-xml.ods", "is damaged: its part content.xml is not well-formed XML"},
      {"missing.xlsx", "can't be read: No such file"},
      {"bomb-rows.ods",
       "holds more in sheet \"S\" than a table of EDGAR's largest size: 512 MB of text by row 1"},
      {"bomb-typed.ods", "holds more dates, yes-or-no values and formula errors in sheet \"S\""},
  };
  for (const auto& c : cases) {
    Workbook read;
    const Refusal refusal = ReadWorkbook(dir.File(c.file), read);
    ASSERT_TRUE(refusal) << c.file;
    EXPECT_EQ(refusal->rfind(c.refused, 0), 0u) << c.file << ": " << *refusal;
  }
}

TEST(Workbook, InflatingPastTheBoundStopsTheRead) {
  TempDir dir;
  WriteZip(dir.File("bomb.zip"), {{"content.xml", std::string(1 << 20, ' ')}});
  ZipEntries entries(1 << 16);
  ASSERT_FALSE(entries.Open(dir.File("bomb.zip")));
  size_t handed = 0;
  const Refusal refusal = entries.Read("content.xml", [&](std::string_view piece) {
    handed += piece.size();
    return true;
  });
  ASSERT_TRUE(refusal);
  EXPECT_EQ(refusal->rfind("expands to more than 0 MB", 0), 0u) << *refusal;
  EXPECT_LE(handed, size_t{1} << 16);
}

TEST(Workbook, NumbersAreWrittenInFullWithAPeriod) {
  const struct {
    const char* held;
    const char* text;
  } cases[] = {{"45213876", "45213876"},
               {"4.5213876E7", "45213876"},
               {"1234.4000000000001", "1234.4"},
               {"0.1", "0.1"},
               {"-0", "0"},
               {"1E+21", "1000000000000000000000"},
               {"12,5", ""},
               {"1e400", ""},
               {"", ""}};
  for (const auto& c : cases) EXPECT_EQ(NumberText(c.held), c.text) << c.held;
}

}  // namespace
