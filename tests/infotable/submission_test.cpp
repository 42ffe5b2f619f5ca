#include "infotable/submission.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>

#include "infotable/base64.h"
#include "infotable/conversion.h"
#include "tests/support/filing.h"
#include "tests/support/holdings.h"
#include "tests/support/temp_dir.h"
#include "tests/support/xmllint.h"

namespace {

std::string Edgar(const char* file) { return std::string(FORM13F_EDGAR_DIR) + "/" + file; }

const std::string kReporting =
    "\n[[reporting_managers]]\nfile_number = \"028-24680\"\nname = \"PARENT ADVISER LLC\"\n";

FilingDetails Details(const std::string& text) {
  FilingDetails details;
  EXPECT_EQ(ReadFilingDetails(text, "2026-12-10", details), std::vector<std::string>()) << text;
  return details;
}

// Every kind of report EDGAR takes, built from the same rows as the table's
// own document: each validates as a whole, its attached table is that
// document byte for byte, and its summary gives the table's own figures.
TEST(Submission, EveryKindOfReportValidatesAndAttachesTheTableAsWritten) {
  if (!std::filesystem::exists(Edgar("eis_13F_Filer.xsd")))
    GTEST_SKIP() << "EDGAR's schemas are not beside the project: " << Edgar("");
  if (!HaveXmllint()) GTEST_SKIP() << "xmllint is not installed";
  const std::string withManager =
      HoldingLine("ALPHA & SONS", "1,000") +
      SheetLine({"BETA", "COM", CusipFor("BETA"), "250", "1", "SH", "n/a", "DFND", "1", "0", "1", "0"});
  const std::string noManagers =
      std::string(kFilingToml).substr(0, kFilingToml.find("[[included_managers]]"));
  const struct {
    const char* kind;
    std::string details;
    std::string table;  // empty: a notice, without one
    const char* type;
  } cases[] = {
      {"holdings, another manager", kFilingToml, withManager, "13F-HR"},
      {"holdings alone", noManagers, HoldingLine("ALPHA", "5"), "13F-HR"},
      {"notice", WithKey(noManagers, "[report]", "type = \"notice\"") + kReporting, "", "13F-NT"},
      {"combination", WithKey(kFilingToml, "[report]", "type = \"combination\"") + kReporting, withManager,
       "13F-HR"},
      {"restatement", WithKey(kFilingToml, "[report]", "amendment = 1"), withManager, "13F-HR/A"},
      {"new holdings",
       WithKey(noManagers, "[report]", "amendment = 2\namendment_type = \"new holdings\"\ntest = true"),
       HoldingLine("GAMMA", "7"), "13F-HR/A"},
  };
  for (const auto& c : cases) {
    TempDir dir;
    const FilingDetails details = Details(c.details);
    TableFigures table;
    std::string documentPath;
    if (!c.table.empty()) {
      documentPath = dir.File("tev_13f.xml");
      const Conversion conversion = ConvertInfoTable(c.table, documentPath, PreviewKind::kNone);
      ASSERT_EQ(conversion.outcome, ConversionOutcome::kWritten) << c.kind;
      table = {conversion.entryCount, conversion.valueTotal, conversion.managersUsed};
    }
    const SubmissionFindings found = CheckSubmission(details, table, "2026-12-10");
    EXPECT_EQ(found.refusals, std::vector<std::string>()) << c.kind;
    const std::string path = dir.File("submission.xml");
    ASSERT_FALSE(WriteSubmission(path, SubmissionHead(details, table, kMadeUpCcc, "2026-12-10"), documentPath,
                                 SubmissionEnd(details)))
        << c.kind;
    struct stat info;
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u) << "it holds the CCC";
    EXPECT_EQ(std::system(("xmllint --noout --schema " + Edgar("eis_13F_Filer.xsd") + " " + path + " 2>" +
                           dir.File("lint.txt"))
                              .c_str()),
              0)
        << c.kind << ": " << ReadFile(dir.File("lint.txt")) << ReadFile(path);
    const std::string submission = ReadFile(path);
    EXPECT_NE(submission.find(std::string("<submissionType>") + c.type + "<"), std::string::npos) << c.kind;
    if (c.table.empty()) {
      EXPECT_EQ(submission.find("<documents>"), std::string::npos) << "a notice attaches no table";
      continue;
    }
    EXPECT_NE(submission.find("<tableEntryTotal>" + std::to_string(table.entries) + "<"), std::string::npos);
    EXPECT_NE(submission.find("<tableValueTotal>" + std::to_string(table.valueTotal) + "<"),
              std::string::npos);
    // The attached table, decoded by the system's own base64.
    ASSERT_EQ(std::system(("xmllint --xpath \"string(//*[local-name()='contents'])\" " + path +
                           " | base64 -d > " + dir.File("attached.xml"))
                              .c_str()),
              0);
    EXPECT_EQ(ReadFile(dir.File("attached.xml")), ReadFile(documentPath)) << c.kind;
    // The converter's way: the document made in memory, never as a file.
    ConversionRequest inMemory;
    inMemory.preview = PreviewKind::kNone;
    inMemory.inMemory = true;
    const Conversion made = ConvertInfoTable(c.table, dir.File("unwritten.xml"), inMemory);
    EXPECT_EQ(made.document, ReadFile(documentPath)) << c.kind;
    EXPECT_FALSE(std::filesystem::exists(dir.File("unwritten.xml"))) << c.kind;
    ASSERT_FALSE(WriteSubmissionFromMemory(dir.File("from-memory.xml"),
                                           SubmissionHead(details, table, kMadeUpCcc, "2026-12-10"),
                                           made.document, SubmissionEnd(details)));
    EXPECT_EQ(ReadFile(dir.File("from-memory.xml")), submission) << c.kind;
    EXPECT_EQ(std::system(("xmllint --noout --schema " + Edgar("eis_13FDocument.xsd") + " " +
                           dir.File("attached.xml") + " 2>/dev/null")
                              .c_str()),
              0)
        << c.kind;
  }
}

// What ties the details to the table, each refusal naming what to mend.
TEST(Submission, WhatTheTableAndTheDetailsDisagreeOnIsNamed) {
  const TableFigures two{2, 1005, {1}}, none{0, 0, {}};
  const std::string noManagers =
      std::string(kFilingToml).substr(0, kFilingToml.find("[[included_managers]]"));
  const struct {
    std::string details;
    TableFigures table;
    const char* refused;  // the first refusal, or none
    const char* checked;  // the first check, or none
  } cases[] = {
      {kFilingToml, two, "", ""},
      {noManagers, two, "The table's rows name other manager 1, which the summary page's list", ""},
      {kFilingToml,
       {2, 1005, {}},
       "",
       "Other included manager 1 (OTHER ADVISER LLC) is on the summary page's list, "
       "but no row of the table names it"},
      {WithKey(noManagers, "[report]", "type = \"notice\"") + kReporting, two,
       "A 13F notice carries no information table, but the table holds 2 entries", ""},
      {WithKey(noManagers, "[report]", "type = \"notice\""), none, "A 13F notice names the managers", ""},
      {WithKey(kFilingToml, "[report]", "type = \"combination\""), two,
       "A 13F combination report names the managers", ""},
      {kFilingToml, none, "A 13F holdings report needs its information table", ""},
      {kFilingToml + kReporting, two, "", "The details name managers reporting for this one"},
      {WithKey(kFilingToml, "[report]", "period = 2026-06-30"), two, "",
       "EDGAR's deadline for the quarter ended 2026-06-30 was 2026-08-14, 67 days ago: the report is late"},
      {WithKey(kFilingToml, "[report]", "period = 2026-12-31"), two, "",
       "The period of report, 2026-12-31, has not ended yet"},
  };
  for (const auto& c : cases) {
    const SubmissionFindings found = CheckSubmission(Details(c.details), c.table, "2026-10-20");
    if (*c.refused) {
      ASSERT_FALSE(found.refusals.empty()) << c.refused;
      EXPECT_EQ(found.refusals[0].rfind(c.refused, 0), 0u) << found.refusals[0];
    } else {
      EXPECT_EQ(found.refusals, std::vector<std::string>()) << c.details;
    }
    if (*c.checked) {
      ASSERT_FALSE(found.checks.empty()) << c.checked;
      EXPECT_EQ(found.checks[0].rfind(c.checked, 0), 0u) << found.checks[0];
    } else if (!*c.refused) {
      EXPECT_EQ(found.checks, std::vector<std::string>()) << c.details;
    }
  }
  const SubmissionFindings inTime = CheckSubmission(Details(kFilingToml), two, "2026-10-20");
  EXPECT_EQ(inTime.notes,
            std::vector<std::string>{"25 days remain to EDGAR's deadline, 2026-11-14, for the quarter "
                                     "ended 2026-09-30."});
}

TEST(Submission, KeptByKindAndQuarter) {
  EXPECT_EQ(KeptSubmissionName(Details(kFilingToml)), "13f-hr-2026q3.xml");
  EXPECT_EQ(
      KeptSubmissionName(Details(WithKey(kFilingToml, "[report]", "period = 2026-03-31\namendment = 1"))),
      "13f-hr-a1-2026q1.xml");
  EXPECT_EQ(
      KeptSubmissionName(Details(WithKey(kFilingToml, "[report]", "period = 2025-12-31\ntype = \"notice\""))),
      "13f-nt-2025q4.xml");
}

TEST(Submission, TheCccMustBeOfEdgarsForm) {
  for (const char* good : {"ab1#cdef", "1234567$", "A1*B2*C3"}) EXPECT_FALSE(CheckCcc(good)) << good;
  for (const char* bad : {"", "abcdefg#", "abcdefg1", "ab1#cde", "ab1#cdefg", "ab1# def", "ab1#cd\xC3\xA9"})
    EXPECT_TRUE(CheckCcc(bad)) << bad;
}

TEST(Base64, AsRfc4648GivesItBothWays) {
  const struct {
    std::string bytes;
    const char* encoded;
  } cases[] = {{"", ""},
               {"f", "Zg==\n"},
               {"fo", "Zm8=\n"},
               {"foo", "Zm9v\n"},
               {"foob", "Zm9vYg==\n"},
               {std::string(58, '\xFF'),
                "////////////////////////////////////////////////////////////////////////////\n/w==\n"}};
  for (const auto& c : cases) {
    std::string out;
    AppendBase64(out, c.bytes);
    EXPECT_EQ(out, c.encoded) << c.bytes.size();
    std::string decoded;
    EXPECT_FALSE(DecodeBase64(out, decoded));
    EXPECT_EQ(decoded, c.bytes);
  }
  std::string decoded;
  for (const char* bad : {"Zm9v!", "Zm9vY", "Zg=a", "Z"}) EXPECT_TRUE(DecodeBase64(bad, decoded)) << bad;
}

}  // namespace

// Last quarter's kept report first, then other XML files newest first; never
// the document, a submission to transmit (it holds the CCC) or another
// quarter's kept copy.
TEST(PreviousFilingCandidates, TheKeptReportFirstThenTheNewestTables) {
  const std::vector<FolderFile> folder = {{"tev_13f.xml", 90},       {"13f-hr-2026q2.xml", 10},
                                          {"13f-hr-2026q3.xml", 80}, {"13f-hr-a1-2026q2.xml", 70},
                                          {"13f-nt-2026q2.xml", 60}, {"13f-hr-2026q2-to-transmit.xml", 50},
                                          {"older.xml", 20},         {"newer.xml", 40},
                                          {"notes.txt", 100}};
  EXPECT_EQ(PreviousFilingCandidates(folder, "2026-09-30"),
            (std::vector<std::string>{"13f-hr-2026q2.xml", "newer.xml", "older.xml"}));
  EXPECT_EQ(PreviousFilingCandidates(folder, "2026-12-31"),
            (std::vector<std::string>{"13f-hr-2026q3.xml", "newer.xml", "older.xml"}))
      << "the quarter before is now 2026q3";
}
