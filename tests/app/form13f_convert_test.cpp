#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

#include "tests/support/temp_dir.h"

namespace {

struct ProgramRun {
  int status;
  std::string out, err;
};

ProgramRun Convert(const TempDir& dir, const std::string& arguments, const std::string& input = "") {
  WriteFile(dir.File("stdin.txt"), input);
  const std::string command = "cd " + dir.path() + " && " FORM13F_BIN_DIR "/form13f-convert " + arguments +
                              " <stdin.txt >stdout.txt 2>stderr.txt";
  const int raw = std::system(command.c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadFile(dir.File("stdout.txt")),
          ReadFile(dir.File("stderr.txt"))};
}

const std::string kGood = "ALPHA\tCOM\t123456789\t1,500\t10\tSH\tn/a\tSOLE\tn/a\t10\tsole\n";
const std::string kBad = "x\ty\n";

TEST(Form13fConvert, CleanTableFromStandardInput) {
  TempDir dir;
  const ProgramRun run = Convert(dir, "", kGood + kGood);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "No. of information table entries: 2\nInformation table total: 3000\n");
  EXPECT_EQ(run.err, "");
  EXPECT_NE(ReadFile(dir.File("tev_13f.xml")).find("<value>1500</value>"), std::string::npos);
}

TEST(Form13fConvert, RowErrorsGoToStandardErrorWithStatusOne) {
  TempDir dir;
  WriteFile(dir.File("table.txt"),
            kGood + kBad + "BETA+\tCOM\t123456789\t1\t1\tSH\tCall\tSOLE\t2\t1\tsole\n");
  const ProgramRun run = Convert(dir, "-o out.xml --preview preview.html table.txt");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "No. of information table entries: 2\nInformation table total: 1501\n");
  EXPECT_EQ(run.err,
            "Invalid field(s) in row 2: x\ty -- The row has 2 filled cells, but a row needs 11, 12 or 13 "
            "columns, or a heading row that names them\n"
            "Invalid character in row 3: BETA+\tCOM\t123456789\t1\t1\tSH\tCall\tSOLE\t2\t1\tsole\n"
            "Not accepted by EDGAR in row 3: nameOfIssuer must not hold +, but it holds \"BETA+\"\n"
            "form13f-convert: 1 row refused and left out of the document.\n");
  EXPECT_NE(ReadFile(dir.File("out.xml")).find("<nameOfIssuer>BETA+</nameOfIssuer>"), std::string::npos);
  const std::string preview = ReadFile(dir.File("preview.html"));
  EXPECT_NE(preview.find("<style>\n<!--\nspan.ak {}"), std::string::npos);
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
  EXPECT_EQ(run.err, "form13f-convert: The clipboard does not contain valid data.\n");
  EXPECT_FALSE(std::ifstream(dir.File("tev_13f.xml")).good());

  run = Convert(dir, "-o no/such/dir.xml", kGood);
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.err, "form13f-convert: Could not create file in the filing folder.\n");

  run = Convert(dir, "missing.txt");
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("could not read missing.txt"), std::string::npos);

  run = Convert(dir, "--bogus");
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("Usage: form13f-convert"), std::string::npos);
}

TEST(Form13fConvert, HelpAndVersion) {
  TempDir dir;
  ProgramRun run = Convert(dir, "--help");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out.rfind("Usage: form13f-convert [-o OUTPUT] [--preview HTMLFILE] [INPUT]", 0), 0u);
  run = Convert(dir, "--version");
  EXPECT_EQ(run.out, std::string("form13f-convert ") + FORM13F_VERSION + "\n");
}

}  // namespace
