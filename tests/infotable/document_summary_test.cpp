#include "infotable/document_summary.h"

#include <gtest/gtest.h>

#include "infotable/conversion.h"
#include "tests/support/holdings.h"
#include "tests/support/temp_dir.h"

namespace {

TEST(DocumentSummary, TheDocumentsOwnEntriesAndTotal) {
  TempDir dir;
  const std::string path = dir.File("tev_13f.xml");
  DocumentSummary summary;
  EXPECT_FALSE(ReadDocumentSummary(path, summary));
  EXPECT_FALSE(summary.exists) << "no document is no refusal";

  std::string table;
  for (int i = 0; i < 30000; ++i) table += HoldingLine("ISSUER " + std::to_string(i), std::to_string(i + 1));
  // Other managers across the megabyte pieces the summary is read in.
  for (int i = 0; i < 3000; ++i)
    table += SheetLine({"MANAGED " + std::to_string(i), "COM", CusipFor("MANAGED " + std::to_string(i)), "1", "1",
                        "SH", "n/a", "DFND", i % 2 ? "12,3" : "7", "0", "1", "0"});
  const Conversion conversion = ConvertInfoTable(table, path, PreviewKind::kNone);  // past a megabyte
  ASSERT_EQ(conversion.outcome, ConversionOutcome::kWritten);
  ASSERT_FALSE(ReadDocumentSummary(path, summary));
  EXPECT_TRUE(summary.exists);
  EXPECT_EQ(summary.entries, conversion.entryCount);
  EXPECT_EQ(summary.valueTotal, conversion.valueTotal);
  EXPECT_EQ(summary.managersUsed, (std::vector<unsigned long>{3, 7, 12}));
  EXPECT_EQ(summary.managersUsed.size(), conversion.managersUsed.size());
  EXPECT_GT(summary.writtenAt, 0);

  const std::string whole = ReadFile(path);
  const struct {
    std::string path;
    std::string content;  // written first unless empty
    const char* why;
  } cases[] = {
      {dir.File("cut.xml"), whole.substr(0, whole.size() / 2), "is no complete information table document"},
      {dir.File("other.xml"), "<html></html>\n", "is no complete information table document"},
      {dir.path(), "", "is not a regular file"},
  };
  for (const auto& c : cases) {
    if (!c.content.empty()) WriteFile(c.path, c.content);
    EXPECT_EQ(ReadDocumentSummary(c.path, summary).value_or(""), c.why) << c.path;
    EXPECT_TRUE(summary.exists);
  }
}

}  // namespace
