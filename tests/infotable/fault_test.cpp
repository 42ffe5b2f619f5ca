// Whatever the clipboard holds and wherever the document goes: no crash, a
// well-formed document, a clear message, and nothing lost without saying so.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "infotable/conversion.h"
#include "storage/file_replacement.h"
#include "tests/support/allocation_limit.h"
#include "tests/support/holdings.h"
#include "tests/support/small_filesystem.h"
#include "tests/support/temp_dir.h"
#include "tests/support/xmllint.h"

namespace {

std::string Table(int rows) {
  std::string table;
  for (int i = 0; i < rows; ++i) table += HoldingLine("ISSUER " + std::to_string(i), "1");
  return table;
}

// The names in a folder: after any failure, only the old document.
std::vector<std::string> Names(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.push_back(entry.path().filename());
  return names;
}

bool WellFormed(const std::string& path) {
  return std::system(("xmllint --noout " + path + " 2>/dev/null").c_str()) == 0;
}

TEST(Faults, EveryControlCharacterIsReportedAndLeftOut) {
  TempDir dir;
  const std::string path = dir.File("tev_13f.xml");
  std::string table;
  for (int c = 0; c < 0x20; ++c) {
    if (c == '\t' || c == '\n' || c == '\r') continue;
    table += HoldingLine("A" + std::string(1, static_cast<char>(c)) + "B", "1");
  }
  const Conversion conversion = ConvertInfoTable(table, path);
  ASSERT_EQ(conversion.outcome, ConversionOutcome::kWritten);
  EXPECT_EQ(conversion.entryCount, 29u);
  ASSERT_EQ(conversion.errors.size(), 29u);
  for (const RowError& error : conversion.errors) {
    EXPECT_EQ(error.kind, RowErrorKind::kInvalidCharacter);
    EXPECT_EQ(error.line.rfind("AB\t", 0), 0u) << "shown without the character";
  }
  const std::string xml = ReadFile(path);
  EXPECT_EQ(xml.find_first_of(std::string("\0\x01\x02\x1b\x1f", 5)), std::string::npos);
  if (!HaveXmllint()) GTEST_SKIP() << "xmllint is not installed: the document's form is not checked";
  EXPECT_TRUE(WellFormed(path)) << xml;
}

TEST(Faults, TenMegabytesOfTableAndALineOfOneMegabyte) {
  TempDir dir;
  const std::string path = dir.File("tev_13f.xml");
  std::string table;
  int rows = 0;
  while (table.size() < 10 * 1024 * 1024) {
    table += HoldingLine("ISSUER " + std::to_string(++rows), "1");
  }
  const std::string longLine = std::string(1024 * 1024, 'x') + "\ty\n";
  Conversion conversion = ConvertInfoTable(table + longLine, path);
  ASSERT_EQ(conversion.outcome, ConversionOutcome::kWritten);
  EXPECT_EQ(conversion.entryCount, static_cast<uint32_t>(rows));
  EXPECT_EQ(conversion.valueTotal, static_cast<uint64_t>(rows));
  ASSERT_EQ(conversion.errors.size(), 1u);
  EXPECT_EQ(conversion.errors[0].row, static_cast<uint32_t>(rows + 1));
  EXPECT_EQ(conversion.errors[0].line, std::string(500, 'x') + "\xE2\x80\xA6") << "500 characters of it";

  const std::string longName = std::string(1024 * 1024, 'N');
  conversion = ConvertInfoTable(HoldingLine(longName, "1"), path);
  EXPECT_EQ(conversion.entryCount, 1u);
  EXPECT_NE(ReadFile(path).find("<nameOfIssuer>" + std::string(150, 'N') + "</nameOfIssuer>"),
            std::string::npos);
}

TEST(Faults, AFullDiskAtAnyStageLeavesThePreviousDocument) {
  TempDir dir;
  const std::string path = dir.File("tev_13f.xml");
  const std::string table = Table(500);
  ASSERT_EQ(ConvertInfoTable(table, path).outcome, ConversionOutcome::kWritten);
  const rlim_t size = std::filesystem::file_size(path);
  std::signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails with EFBIG instead
  rlimit saved;
  getrlimit(RLIMIT_FSIZE, &saved);
  const struct {
    const char* stage;
    rlim_t limit;
  } stages[] = {{"first block", 0}, {"middle", size / 2}, {"last block, at close", size - 10}};
  for (const auto& stage : stages) {
    WriteFile(path, "previous");
    rlimit limit = saved;
    limit.rlim_cur = stage.limit;
    setrlimit(RLIMIT_FSIZE, &limit);
    const Conversion conversion = ConvertInfoTable(table, path);
    setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_EQ(conversion.outcome, ConversionOutcome::kCannotWrite) << stage.stage;
    EXPECT_EQ(conversion.entryCount, 0u) << stage.stage;
    EXPECT_EQ(ReadFile(path), "previous") << stage.stage;
    EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"tev_13f.xml"}) << stage.stage;
  }
}

TEST(Faults, OutOfMemoryIsAnOutcomeAndLeavesThePreviousDocument) {
  TempDir dir;
  const std::string path = dir.File("tev_13f.xml");
  WriteFile(path, "previous");
  const std::string table = Table(10000);
  Conversion conversion;
  {
    AllocationLimit limit(table.size() + table.size() / 7);  // a copy of the text fits, the preview does not
    conversion = ConvertInfoTable(table, path);
  }
  EXPECT_EQ(conversion.outcome, ConversionOutcome::kOutOfMemory);
  EXPECT_EQ(ReadFile(path), "previous");
  EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"tev_13f.xml"});
  EXPECT_EQ(ConvertInfoTable(table, path, PreviewKind::kNone).outcome, ConversionOutcome::kWritten)
      << "without the preview the same table needs far less";
}

TEST(Faults, ALinkIsReplacedAndAHeldDocumentIsNot) {
  TempDir dir;
  const std::string path = dir.File("tev_13f.xml"), target = dir.File("elsewhere.xml");
  WriteFile(target, "theirs");
  std::filesystem::create_symlink(target, path);
  EXPECT_EQ(ConvertInfoTable(Table(1), path).outcome, ConversionOutcome::kWritten);
  EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::symlink_status(path)));
  EXPECT_EQ(ReadFile(target), "theirs") << "never written through";

  const std::string document = ReadFile(path);
  FileReplacement holder;
  ASSERT_FALSE(holder.Open(path));
  const Conversion held = ConvertInfoTable(Table(2), path);
  EXPECT_EQ(held.outcome, ConversionOutcome::kCannotCreate);
  EXPECT_EQ(held.failureCause, EWOULDBLOCK);
  EXPECT_EQ(ReadFile(path), document);
}

TEST(Faults, AReaderNeverSeesAnIncompleteDocument) {
  TempDir dir;
  const std::string path = dir.File("tev_13f.xml");
  const std::string tables[] = {Table(3000), Table(10)};
  ASSERT_EQ(ConvertInfoTable(tables[0], path).outcome, ConversionOutcome::kWritten);
  const std::string end = "</informationTable>\r\n";
  std::atomic<bool> done{false};
  std::atomic<int> reads{0}, incomplete{0};
  std::thread reader([&] {
    while (!done) {
      const std::string document = ReadFile(path);
      ++reads;
      if (document.size() < end.size() ||
          document.compare(document.size() - end.size(), end.size(), end) != 0)
        ++incomplete;
    }
  });
  for (int capture = 0; capture < 40; ++capture) ConvertInfoTable(tables[capture % 2], path);
  done = true;
  reader.join();
  EXPECT_GT(reads, 0);
  EXPECT_EQ(incomplete, 0) << "of " << reads << " reads";
}

TEST(Faults, AReadOnlyFolderRefusesTheFile) {
  SmallFilesystem folder("16k", true);
  if (!folder.mounted()) GTEST_SKIP() << "no right to mount a read-only tmpfs here";
  const Conversion conversion = ConvertInfoTable(HoldingLine("A", "1"), folder.File("tev_13f.xml"));
  EXPECT_EQ(conversion.outcome, ConversionOutcome::kCannotCreate);
}

TEST(Faults, MarkupScriptsAndReferencesInCellsStayText) {
  TempDir dir;
  const std::string path = dir.File("tev_13f.xml");
  const std::string cells[] = {"<script>location='|btSubmit'</script>",
                               "<img src=x onerror=alert(1)>",
                               "|btSubmit",
                               "&amp; &#60; &lt;",
                               "]]><!--",
                               "<![CDATA[x]]>"};
  std::string table;
  for (const std::string& cell : cells) table += HoldingLine(cell, "1") + cell + "\tshort\n";
  const Conversion conversion = ConvertInfoTable(table, path);
  ASSERT_EQ(conversion.outcome, ConversionOutcome::kWritten);
  for (const char* live : {"<script", "<img", "<!--", "<![CDATA["})
    EXPECT_EQ(PreviewHtml(conversion).find(live), std::string::npos) << live;
  EXPECT_NE(PreviewHtml(conversion).find("&amp;amp; &amp;#60; &amp;lt;"), std::string::npos);
  EXPECT_NE(ReadFile(path).find("<nameOfIssuer>&amp;amp; &amp;#60; &amp;lt;</nameOfIssuer>"),
            std::string::npos);
  if (!HaveXmllint()) GTEST_SKIP() << "xmllint is not installed: the document's form is not checked";
  EXPECT_TRUE(WellFormed(path));
}

}  // namespace
