#include "infotable/kept_findings.h"

#include <gtest/gtest.h>

#include "infotable/conversion.h"
#include "tests/support/holdings.h"
#include "tests/support/temp_dir.h"

namespace {

TEST(KeptFindings, ComeBackWhileTheDocumentIsUnchangedAndNeverAfter) {
  TempDir dir;
  const std::string path = dir.File("tev_13f.xml");
  EXPECT_FALSE(ReadKeptFindings(path).has_value()) << "none kept";
  Conversion conversion = ConvertInfoTable(HoldingLine("ALPHA", "5") + SheetLine({"x", "y"}), path);
  ASSERT_EQ(conversion.outcome, ConversionOutcome::kWritten);
  conversion.statusGroups = {"1\t3\tline with \n in it\n", ""};
  ASSERT_FALSE(WriteKeptFindings(path, true, conversion.previewStatus, conversion.statusGroups,
                                 conversion.previewTable));
  const std::optional<KeptFindings> kept = ReadKeptFindings(path);
  ASSERT_TRUE(kept);
  EXPECT_TRUE(kept->hadLines);
  EXPECT_EQ(kept->status, conversion.previewStatus);
  EXPECT_EQ(kept->groups, conversion.statusGroups);
  EXPECT_EQ(kept->table.cells, conversion.previewTable.cells);
  EXPECT_EQ(kept->table.rowStarts, conversion.previewTable.rowStarts);
  EXPECT_EQ(kept->table.widest, conversion.previewTable.widest);

  const std::string findings = ReadFile(KeptFindingsPath(path));
  EXPECT_EQ(KeptFindingsPath(path), dir.File(".tev_13f.xml.findings"));
  for (const std::string& damaged : {findings.substr(0, findings.size() - 1), findings + "x", std::string()}) {
    WriteFile(KeptFindingsPath(path), damaged);
    EXPECT_FALSE(ReadKeptFindings(path).has_value()) << damaged.size();
  }
  WriteFile(KeptFindingsPath(path), findings);
  WriteFile(path, ReadFile(path) + " ");
  EXPECT_FALSE(ReadKeptFindings(path).has_value()) << "the document changed since";
}

}  // namespace
