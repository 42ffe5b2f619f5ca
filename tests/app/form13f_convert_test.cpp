#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <utility>

#include "infotable/preview.h"
#include "storage/file_replacement.h"
#include "tests/support/filing.h"
#include "tests/support/securities_list.h"
#include "tests/support/temp_dir.h"

namespace {

struct ProgramRun {
  int status;
  std::string out, err;
};

// `environment`: "NAME=VALUE ..." for the run; FORM13F_CCC is unset unless given.
ProgramRun Convert(const TempDir& dir, const std::string& arguments, const std::string& input = "",
                   const std::string& environment = "") {
  WriteFile(dir.File("stdin.txt"), input);
  const std::string command = "cd " + dir.path() + " && env -u FORM13F_CCC " + environment +
                              " " FORM13F_BIN_DIR "/form13f-convert " + arguments +
                              " <stdin.txt >stdout.txt 2>stderr.txt";
  const int raw = std::system(command.c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadFile(dir.File("stdout.txt")),
          ReadFile(dir.File("stderr.txt"))};
}

const std::string kGood = "ALPHA\tCOM\t123456782\t1,500\t10\tSH\tn/a\tSOLE\tn/a\t10\tsole\n";
const std::string kOtherGood = "OMEGA\tCOM\t037833100\t1,500\t10\tSH\tn/a\tSOLE\tn/a\t10\tsole\n";
const std::string kBad = "x\ty\n";

TEST(Form13fConvert, CleanTableFromStandardInput) {
  TempDir dir;
  const ProgramRun run = Convert(dir, "", kGood + kOtherGood);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "No. of information table entries: 2\nInformation table total: 3000\n");
  EXPECT_EQ(run.err, "");
  EXPECT_NE(ReadFile(dir.File("tev_13f.xml")).find("<value>1500</value>"), std::string::npos);
}

TEST(Form13fConvert, RowErrorsGoToStandardErrorWithStatusOne) {
  TempDir dir;
  WriteFile(dir.File("table.txt"),
            kGood + kBad + "BETA+\tCOM\t594918104\t1\t1\tSH\tCall\tSOLE\t2\t1\tsole\n");
  const ProgramRun run = Convert(dir, "-o out.xml --preview preview.html table.txt");
  // The document keeps the "+", which EDGAR refuses in a name alone: one line.
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out,
            "No. of information table entries: 2\nInformation table total: 1501\n"
            "Other included managers named: 2 (1 for the summary page's count).\n");
  EXPECT_EQ(
      run.err,
      "Invalid field(s) in row 2: x\ty -- The row has 2 cells, but the table's rows have 11: its columns "
      "from CUSIP on are missing\n"
      "Not accepted by EDGAR in row 3: nameOfIssuer must not hold +, but it holds \"BETA+\"\n"
      "form13f-convert: 1 row refused and left out of the document.\n");
  EXPECT_NE(ReadFile(dir.File("out.xml")).find("<nameOfIssuer>BETA+</nameOfIssuer>"), std::string::npos);
  const std::string preview = ReadFile(dir.File("preview.html"));
  EXPECT_NE(preview.find(kPreviewCellStyle), std::string::npos);
  EXPECT_NE(preview.find("<font color=#e00000>Error(s):</font>"), std::string::npos);
}

TEST(Form13fConvert, SpreadsheetClipboardsConvertCleanly) {
  if (!std::filesystem::exists(FORM13F_SHEETS_DIR)) GTEST_SKIP() << "no shared spreadsheet clipboards";
  for (const char* sheet : {"sec-12-columns-heading-blank-cells.tsv", "figi-13-columns-heading.tsv",
                            "dollars-cents-blank-voting.tsv"}) {
    TempDir dir;
    const ProgramRun run = Convert(dir, std::string(FORM13F_SHEETS_DIR) + "/" + sheet);
    EXPECT_EQ(run.status, 0) << sheet << ": " << run.err;
    EXPECT_EQ(run.err, "") << sheet;
  }
}

TEST(Form13fConvert, NothingWrittenGivesStatusTwo) {
  TempDir dir;
  ProgramRun run = Convert(dir, "-", kBad);
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "form13f-convert: standard input holds one line of text, not a table: \"x y\"\n");
  EXPECT_FALSE(std::ifstream(dir.File("tev_13f.xml")).good());

  WriteFile(dir.File("tev_13f.xml"), "previous");
  for (const char* arguments : {"-", "--bogus"}) {
    run = Convert(dir, arguments, kBad);
    EXPECT_EQ(run.status, 2) << arguments;
    EXPECT_EQ(ReadFile(dir.File("tev_13f.xml")), "previous") << arguments;
  }
  EXPECT_NE(run.err.find("Usage: form13f-convert"), std::string::npos);
}

TEST(Form13fConvert, AFileThatIsNoTableTextIsNamedForWhatItIs) {
  TempDir dir;
  WriteFile(dir.File("tev_13f.xml"), "previous");
  const struct {
    std::string name, bytes, words;
  } cases[] = {
      {"holdings.xlsx", std::string("PK\x03\x04\x14\0\x06\0", 8) + "[Content_Types].xml",
       "holdings.xlsx is a damaged or cut-off zip archive: its end, which lists its parts, is missing: nothing "
       "written"},
      {"holdings.xls", std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + "rest",
       "holdings.xls is an Excel 97-2003 workbook (.xls), a format this program does not read: save it as .xlsx "
       "or .ods, or copy its rows: nothing written"},
      {"holdings.pdf", "%PDF-1.7\n...", "holdings.pdf is a PDF: convert the spreadsheet the table came from"},
      {"empty.txt", "", "empty.txt is empty: copy the table's rows, or export the sheet as text or CSV"},
  };
  for (const auto& c : cases) {
    WriteFile(dir.File(c.name), c.bytes);
    const ProgramRun run = Convert(dir, c.name);
    EXPECT_EQ(run.status, 2) << c.name;
    EXPECT_EQ(run.err, "form13f-convert: " + c.words + "\n");
    EXPECT_EQ(ReadFile(dir.File("tev_13f.xml")), "previous") << c.name;
  }
}

// A workbook is read by its content; the sheet is named when two hold a
// table, and a workbook on standard input is refused.
TEST(Form13fConvert, WorkbooksAreReadAndTheirSheetNamedWhenTwoHoldATable) {
  TempDir dir;
  const std::string data = FORM13F_WORKBOOK_DATA_DIR;
  WriteFile(dir.File("two.xlsx"), ReadFile(data + "/gnumeric-two-tables.xlsx"));
  WriteFile(dir.File("holdings.bin"), ReadFile(data + "/calc-holdings.ods"));
  const struct {
    std::string arguments, input;
    int status;
    std::string err;
  } cases[] = {
      {"two.xlsx", "", 2,
       "form13f-convert: two.xlsx holds a table on 2 sheets, \"2026Q2\" and \"2026Q3\": say which to read with "
       "--sheet NAME: nothing written\n"},
      {"--sheet 2026Q3 -o q3.xml two.xlsx", "", 1, "form13f-convert: Read sheet \"2026Q3\" of two.xlsx.\n"},
      {"-o ods.xml holdings.bin", "", 1,
       "form13f-convert: Read sheet \"Holdings\" of holdings.bin. Rows 1–3, above the table, are not holdings: "
       "left out. Rows 12–14, below the table, are not holdings: left out.\n"},
      {"-", ReadFile(data + "/calc-holdings.ods"), 2,
       "form13f-convert: a workbook can't be read from standard input: give its file name\n"},
      {"--sheet Holdings table.txt", "", 2, "form13f-convert: --sheet is given with a workbook, and table.txt is none\n"},
  };
  WriteFile(dir.File("table.txt"), kGood);
  for (const auto& c : cases) {
    const ProgramRun run = Convert(dir, c.arguments, c.input);
    EXPECT_EQ(run.status, c.status) << c.arguments;
    EXPECT_EQ(run.err.substr(0, c.err.size()), c.err) << c.arguments;
  }
  EXPECT_NE(ReadFile(dir.File("q3.xml")).find("<cusip>037833100</cusip>"), std::string::npos);
  EXPECT_EQ(ReadFile(dir.File("ods.xml")), ReadFile(dir.File("q3.xml")));
}

TEST(Form13fConvert, CsvExportsAreReadByTheSameRules) {
  TempDir dir;
  const std::string csv =
      "\xEF\xBB\xBF"
      "NAME OF ISSUER,TITLE OF CLASS,CUSIP,VALUE,SHRS OR PRN AMT,SH/PRN,PUT/CALL,"
      "INVESTMENT DISCRETION,OTHER MANAGER,SOLE,SHARED,NONE\r\n"
      "\"BERKSHIRE HATHAWAY, INC\",CL B NEW,084670702,\"7,252,500\",16000,SH,,OTR,\"1,2\",0,16000,- 0\r\n";
  WriteFile(dir.File("export.csv"), csv);
  WriteFile(dir.File("export.txt"), csv);
  for (const char* arguments : {"export.csv", "--csv export.txt", "--csv -"}) {
    const ProgramRun run = Convert(dir, arguments, csv);
    EXPECT_EQ(run.status, 0) << arguments << ": " << run.err;
    EXPECT_EQ(run.out,
              "No. of information table entries: 1\nInformation table total: 7252500\n"
              "Other included managers named: 1, 2 (2 for the summary page's count).\n")
        << arguments;
    const std::string xml = ReadFile(dir.File("tev_13f.xml"));
    EXPECT_NE(xml.find("<nameOfIssuer>BERKSHIRE HATHAWAY, INC</nameOfIssuer>"), std::string::npos)
        << arguments;
    EXPECT_NE(xml.find("<otherManager>1,2</otherManager>"), std::string::npos) << arguments;
  }
  WriteFile(dir.File("broken.csv"), "A,B\nC,\"open\n");
  const ProgramRun run = Convert(dir, "broken.csv");
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.err.rfind("form13f-convert: broken.csv: not CSV at row 2", 0), 0u) << run.err;
}

TEST(Form13fConvert, NothingToFileKeepsThePreviousDocumentWithStatusTwo) {
  TempDir dir;
  const std::string heading =
      "NAME OF ISSUER\tTITLE OF CLASS\tCUSIP\tVALUE\tSHRS OR PRN AMT\tSH/PRN\tPUT/CALL\t"
      "INVESTMENT DISCRETION\tOTHER MANAGER\tSOLE\tSHARED\tNONE\n";
  ASSERT_EQ(Convert(dir, "", kGood).status, 0);
  const std::string previous = ReadFile(dir.File("tev_13f.xml"));
  const struct {
    std::string table, message;
  } cases[] = {
      {heading,
       "nothing written: the table holds only a heading, so the previous tev_13f.xml is kept as it was."},
      {heading + kBad,
       "nothing written: every row was refused, so the previous tev_13f.xml is kept as it was."},
  };
  for (const auto& c : cases) {
    const ProgramRun run = Convert(dir, "", c.table);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err.substr(run.err.rfind("form13f-convert: ")), "form13f-convert: " + c.message + "\n");
    EXPECT_EQ(ReadFile(dir.File("tev_13f.xml")), previous);
  }
}

TEST(Form13fConvert, WhatCannotBeReadOrWrittenIsNamedAndNothingIsWritten) {
  TempDir dir;
  std::filesystem::create_directory(dir.File("folder"));
  mkfifo(dir.File("pipe").c_str(), 0600);
  WriteFile(dir.File("table.txt"), kGood);
  const struct {
    std::string arguments;
    std::string message;
  } cases[] = {
      {"missing.txt", "could not read missing.txt: No such file or directory"},
      {"folder", "could not read folder: Is a directory"},
      {"-o no/such/dir.xml table.txt", "could not create no/such/dir.xml: the folder does not exist"},
      {"-o /dev/stdout table.txt", "could not create /dev/stdout: /dev/stdout is not a regular file"},
      {"-o pipe table.txt", "could not create pipe: pipe is not a regular file"},
      {"-o out.xml --preview ./out.xml table.txt",
       "the preview cannot be written to the document's own file, out.xml"},
  };
  for (const auto& c : cases) {
    const ProgramRun run = Convert(dir, c.arguments);
    EXPECT_EQ(run.status, 2) << c.arguments;
    EXPECT_EQ(run.err, "form13f-convert: " + c.message + "\n") << c.arguments;
    EXPECT_FALSE(std::filesystem::exists(dir.File("tev_13f.xml")) ||
                 std::filesystem::exists(dir.File("out.xml")));
  }
}

TEST(Form13fConvert, SecuritiesListChecksEveryRowAndANonListWritesNothing) {
  TempDir dir;
  WriteFile(dir.File("13flist2026q2.txt"), ListLine("037833100", true, "APPLE INC", "COM") + "\n");
  ProgramRun run = Convert(dir, "--securities-list 13flist2026q2.txt", kGood + kOtherGood);
  EXPECT_EQ(run.status, 1) << "ALPHA's CUSIP is not on the list";
  EXPECT_NE(
      run.out.find("Checked against the SEC's list of 13(f) securities, 13flist2026q2.txt (2026 Q2): 1 of 2 "
                   "rows are on it."),
      std::string::npos)
      << run.out;
  EXPECT_NE(run.err.find("Check before filing in row 1: CUSIP \"123456782\" is not on the Official List"),
            std::string::npos)
      << run.err;
  const std::string written = ReadFile(dir.File("tev_13f.xml"));
  WriteFile(dir.File("saved.html"), "<html><body>Official List of Section 13(f) Securities</body></html>");
  run = Convert(dir, "--securities-list saved.html", kOtherGood);
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.err,
            "form13f-convert: saved.html is a web page or another document, not the list's text file\n");
  EXPECT_EQ(ReadFile(dir.File("tev_13f.xml")), written) << "nothing written";
  std::filesystem::create_directory(dir.File("lists"));
  for (const auto& [argument, words] :
       {std::pair<std::string, std::string>{"lists", "is a folder, not the list's text file"},
        {"missing.txt", "can't be read: No such file or directory"}}) {
    run = Convert(dir, "--securities-list " + argument, kOtherGood);
    EXPECT_EQ(run.status, 2) << argument;
    EXPECT_EQ(run.err, "form13f-convert: " + argument + " " + words + "\n");
    EXPECT_EQ(ReadFile(dir.File("tev_13f.xml")), written) << "nothing written";
  }
}

TEST(Form13fConvert, DashWritesTheDocumentToStandardOutputAndTheCountsToStandardError) {
  TempDir dir;
  const ProgramRun file = Convert(dir, "-o file.xml", kGood);
  const ProgramRun piped = Convert(dir, "-o -", kGood);
  EXPECT_EQ(piped.status, 0);
  EXPECT_EQ(piped.out, ReadFile(dir.File("file.xml")));
  EXPECT_EQ(piped.err, file.out);

  WriteFile(dir.File("table.txt"), kGood);
  const int status = std::system(
      ("cd " + dir.path() + " && " FORM13F_BIN_DIR "/form13f-convert table.txt >/dev/full 2>err.txt")
          .c_str());
  EXPECT_EQ(WEXITSTATUS(status), 2) << "counts that could not be written";
  EXPECT_EQ(ReadFile(dir.File("err.txt")), "form13f-convert: could not write the counts\n");
  EXPECT_EQ(ReadFile(dir.File("tev_13f.xml")), ReadFile(dir.File("file.xml")))
      << "status 2 here leaves the document written: only its counts are lost";
}

// The previous document, byte for byte, after every way a run can fail.
class PreviousDocument : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFile(dir.File("table.txt"), kGood + kGood);
    ASSERT_EQ(Convert(dir, "-o out.xml", kGood).status, 0);
    previous = ReadFile(dir.File("out.xml"));
  }
  std::string Run(const std::string& prefix) {
    const std::string command = "cd " + dir.path() + " && " + prefix +
                                " " FORM13F_BIN_DIR
                                "/form13f-convert -o out.xml table.txt >/dev/null 2>err.txt";
    std::system(command.c_str());
    return ReadFile(dir.File("err.txt"));
  }
  TempDir dir;
  std::string previous;
};

TEST_F(PreviousDocument, SurvivesAFailedRenameAHolderAndRunningOutOfMemory) {
  EXPECT_EQ(Run("ASAN_OPTIONS=verify_asan_link_order=0 LD_PRELOAD=" FORM13F_FAILING_RENAME),
            "form13f-convert: could not write out.xml: Input/output error\n");
  EXPECT_EQ(ReadFile(dir.File("out.xml")), previous);

  // A table large enough that the disk is set to work before the end.
  std::string large;
  while (large.size() < 2'000'000) large += kGood;
  WriteFile(dir.File("table.txt"), large);
  EXPECT_EQ(Run("FORM13F_FAILING_CALL=fdatasync ASAN_OPTIONS=verify_asan_link_order=0 "
                "LD_PRELOAD=" FORM13F_FAILING_RENAME),
            "form13f-convert: could not write out.xml: Input/output error\n");
  EXPECT_EQ(ReadFile(dir.File("out.xml")), previous);

  {
    FileReplacement holder;
    ASSERT_FALSE(holder.Open(dir.File("out.xml")));
    EXPECT_EQ(Run(""), "form13f-convert: could not create out.xml: another program is writing out.xml\n");
  }
  EXPECT_EQ(ReadFile(dir.File("out.xml")), previous);

#if !defined(__SANITIZE_ADDRESS__)  // the sanitizer's shadow memory needs more room than any limit here
  std::string table;
  while (table.size() < 20'000'000) table += kGood;
  WriteFile(dir.File("table.txt"), table);
  EXPECT_EQ(Run("ulimit -v 70000;"), "form13f-convert: out of memory: nothing was written\n");
  EXPECT_EQ(ReadFile(dir.File("out.xml")), previous);
#endif
}

TEST_F(PreviousDocument, SurvivesAKillInTheMiddleOfWriting) {
  std::string table;
  while (table.size() < 40'000'000) table += kGood;
  WriteFile(dir.File("table.txt"), table);
  EXPECT_EQ(Run(FORM13F_TEST_SUPPORT_DIR "/kill-while-writing.sh out.xml"), "");
  EXPECT_EQ(ReadFile(dir.File("out.xml")), previous);
}

TEST(Form13fConvert, ConcurrentRunsLeaveOneWholeDocument) {
  TempDir dir;
  std::string script = "cd " + dir.path() +
                       " && for i in $(seq 1 50); do " FORM13F_BIN_DIR
                       "/form13f-convert -o out.xml t$i.txt >/dev/null 2>&1 & done; wait";
  std::string table;
  for (int i = 1; i <= 50; ++i) WriteFile(dir.File("t" + std::to_string(i) + ".txt"), table += kGood);
  ASSERT_EQ(std::system(script.c_str()), 0);
  const std::string document = ReadFile(dir.File("out.xml"));
  size_t entries = 0;
  for (size_t at = 0; (at = document.find("<infoTable>", at)) != std::string::npos; ++at) ++entries;
  ASSERT_GE(entries, 1u);
  ASSERT_LE(entries, 50u);
  Convert(dir, "-o expected.xml t" + std::to_string(entries) + ".txt");
  EXPECT_EQ(document, ReadFile(dir.File("expected.xml"))) << "one run's whole document, never a mix";
}

TEST(Form13fConvert, HelpAndVersion) {
  TempDir dir;
  ProgramRun run = Convert(dir, "--help");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out.rfind(
                "Usage: form13f-convert [-o OUTPUT] [--preview HTMLFILE] [--csv] [--sheet NAME]\n"
                "                       [--securities-list FILE] [--threads N] [INPUT]",
                0),
            0u);
  EXPECT_EQ(Convert(dir, "--threads 3", kGood).status, 0);
  for (const char* threads : {"--threads 0", "--threads 2x", "--threads"})
    EXPECT_EQ(Convert(dir, threads, kGood).err.rfind("form13f-convert: --threads needs a number", 0), 0u)
        << threads;
  run = Convert(dir, "--version");
  EXPECT_EQ(run.out, std::string("form13f-convert ") + FORM13F_VERSION + "\n");
}

// The whole filing from the details, the table and the CCC, which is read
// from the environment or from standard input and is written nowhere else.
TEST(Form13fConvert, FilingWritesTheSubmissionTheCccOnlyInIt) {
  TempDir dir;
  WriteFile(dir.File("filing.toml"), kFilingToml);
  WriteFile(dir.File("table.txt"),
            "ALPHA\tCOM\t123456782\t1,500\t10\tSH\tn/a\tDFND\t1\t10\tshared\n" + kOtherGood);
  for (const bool fromEnvironment : {true, false}) {
    std::filesystem::remove(dir.File("sub.xml"));
    const ProgramRun run = Convert(dir, "--filing filing.toml --period 2026-09-30 -o sub.xml table.txt",
                                   fromEnvironment ? "" : kMadeUpCcc + "\n",
                                   fromEnvironment ? "FORM13F_CCC='" + kMadeUpCcc + "'" : "");
    EXPECT_NE(run.status, 2) << run.err;
    const std::string submission = ReadFile(dir.File("sub.xml"));
    EXPECT_NE(submission.find("<ccc>" + kMadeUpCcc + "</ccc>"), std::string::npos);
    EXPECT_NE(submission.find("<tableValueTotal>3000</tableValueTotal>"), std::string::npos);
    EXPECT_NE(submission.find("<otherIncludedManagersCount>1</otherIncludedManagersCount>"),
              std::string::npos);
    struct stat info;
    ASSERT_EQ(stat(dir.File("sub.xml").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ((run.out + run.err).find(kMadeUpCcc), std::string::npos) << "never shown";
    EXPECT_NE(run.out.find("sub.xml holds the CCC"), std::string::npos) << run.out;
    EXPECT_FALSE(std::filesystem::exists(dir.File("tev_13f.xml"))) << "the table only attached";
  }
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    if (entry.path().filename() != "sub.xml" && entry.path().filename() != "stdin.txt") {
      EXPECT_EQ(ReadFile(entry.path()).find(kMadeUpCcc), std::string::npos) << entry.path();
    }
  }
}

// What would be refused writes nothing: the previous submission stays whole.
TEST(Form13fConvert, FilingRefusalsNameWhatToMendAndWriteNothing) {
  TempDir dir;
  WriteFile(dir.File("filing.toml"), kFilingToml);
  std::string badCik = kFilingToml;
  badCik.replace(badCik.find("0001234567"), 10, "12345");
  WriteFile(dir.File("bad.toml"), badCik);
  std::filesystem::create_directory(dir.File("folder.toml"));
  WriteFile(dir.File("table.txt"), kGood);
  WriteFile(dir.File("manager2.txt"), "ALPHA\tCOM\t123456782\t1,500\t10\tSH\tn/a\tDFND\t2\t10\tshared\n");
  const std::string ccc = "FORM13F_CCC='" + kMadeUpCcc + "'";
  const struct {
    const char* arguments;
    std::string environment, input;
    const char* said;
  } cases[] = {
      {"--filing bad.toml -o sub.xml table.txt", ccc, "",
       "form13f-convert: bad.toml line 2, manager.cik: \"12345\" is not 10 digits"},
      {"--filing folder.toml -o sub.xml table.txt", ccc, "", "form13f-convert: folder.toml is a folder"},
      {"--filing filing.toml -o sub.xml table.txt", "FORM13F_CCC=short1#", "",
       "form13f-convert: The CCC is not"},
      {"--filing filing.toml -o sub.xml table.txt", "", "abcdefgh\n", "form13f-convert: The CCC is not"},
      {"--filing filing.toml -o sub.xml", "", kGood,
       "form13f-convert: the table is read from standard input"},
      {"--filing filing.toml -o sub.xml manager2.txt", ccc, "",
       "Not accepted by EDGAR: The table's rows name other manager 2"},
      {"--filing filing.toml -o - table.txt", ccc, "", "form13f-convert: the submission holds the CCC"},
      {"--filing filing.toml --period 2026-08-31 -o sub.xml table.txt", ccc, "",
       "form13f-convert: --period 2026-08-31 is not a calendar quarter's end"},
  };
  for (const auto& c : cases) {
    WriteFile(dir.File("sub.xml"), "the previous submission");
    const ProgramRun run = Convert(dir, c.arguments, c.input, c.environment);
    EXPECT_EQ(run.status, 2) << c.arguments;
    EXPECT_NE(run.err.find(c.said), std::string::npos) << c.arguments << ": " << run.err;
    EXPECT_EQ(ReadFile(dir.File("sub.xml")), "the previous submission") << c.arguments;
    EXPECT_EQ((run.out + run.err).find(kMadeUpCcc), std::string::npos);
  }
}

// Last quarter's filing: its counts on standard output, a slip against it a
// check (status 1), every change in the CSV; a file that is no filing
// writes nothing.
TEST(Form13fConvert, PreviousFilingIsComparedAndANonFilingWritesNothing) {
  TempDir dir;
  // The largest holding unchanged: one row's slip does not move the total tenfold.
  const std::string largest = "GAMMA\tCOM\t594918104\t90,000,000\t100000\tSH\tn/a\tSOLE\tn/a\t100000\tsole\n";
  WriteFile(dir.File("last.txt"), kGood + kOtherGood + largest);
  ASSERT_EQ(Convert(dir, "-o last.xml last.txt").status, 0);
  const std::string thousandfold = "OMEGA\tCOM\t037833100\t1,500,000\t10\tSH\tn/a\tSOLE\tn/a\t10\tsole\n";
  WriteFile(dir.File("now.txt"), kGood + thousandfold + largest);
  ProgramRun run = Convert(dir, "--previous last.xml --comparison changes.csv -o now.xml now.txt");
  EXPECT_EQ(run.status, 1) << run.err;
  EXPECT_NE(run.out.find("Compared with last quarter's filing, last.xml: 0 new holdings, 0 closed.\n"),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.err.find(
                "Check before filing in row 2: \"OMEGA\" (CUSIP \"037833100\"): value per share $150000.00 "
                "now, $150.00 last quarter, 1000 times"),
            std::string::npos)
      << run.err;
  EXPECT_NE(
      ReadFile(dir.File("changes.csv")).find("\nchanged,2,OMEGA,037833100,1500,1500000,10,10,1498500,0\n"),
      std::string::npos)
      << ReadFile(dir.File("changes.csv"));
  EXPECT_EQ(Convert(dir, "--previous last.xml -o now.xml last.txt").status, 0) << "the same quarter: no line";

  WriteFile(dir.File("page.html"), "<html>not a filing</html>");
  WriteFile(dir.File("now.xml"), "the previous document");
  run = Convert(dir, "--previous page.html -o now.xml now.txt");
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.err,
            "form13f-convert: page.html is not a 13F information table: it holds no infoTable entry: "
            "nothing written\n");
  EXPECT_EQ(ReadFile(dir.File("now.xml")), "the previous document");
  EXPECT_EQ(Convert(dir, "--comparison c.csv now.txt")
                .err.rfind("form13f-convert: --comparison is given with --previous", 0),
            0u);
}

}  // namespace
