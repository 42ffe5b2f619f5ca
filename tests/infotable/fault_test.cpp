// Whatever the clipboard holds and wherever the document goes: no crash, a
// well-formed document, a clear message, and nothing lost without saying so.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "infotable/conversion.h"
#include "tests/support/small_filesystem.h"
#include "tests/support/temp_dir.h"

namespace {

std::string GoodLine(const std::string& name) {
  return name + "\tCOM\t123456789\t1\t100\tSH\tn/a\tSOLE\tn/a\t100\t0\t0\n";
}

bool WellFormed(const std::string& path) {
  if (std::system("xmllint --version >/dev/null 2>&1") != 0) return true;
  return std::system(("xmllint --noout " + path + " 2>/dev/null").c_str()) == 0;
}

TEST(Faults, EveryControlCharacterIsReportedAndLeftOut) {
  TempDir dir;
  const std::string path = dir.File("tev_13f.xml");
  std::string table;
  for (int c = 0; c < 0x20; ++c) {
    if (c == '\t' || c == '\n' || c == '\r') continue;
    table += GoodLine("A" + std::string(1, static_cast<char>(c)) + "B");
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
  EXPECT_TRUE(WellFormed(path)) << xml;
}

TEST(Faults, TenMegabytesOfTableAndALineOfOneMegabyte) {
  TempDir dir;
  const std::string path = dir.File("tev_13f.xml");
  std::string table;
  int rows = 0;
  while (table.size() < 10 * 1024 * 1024) {
    table += GoodLine("ISSUER " + std::to_string(++rows));
  }
  const std::string longLine = std::string(1024 * 1024, 'x') + "\ty\n";
  Conversion conversion = ConvertInfoTable(table + longLine, path);
  ASSERT_EQ(conversion.outcome, ConversionOutcome::kWritten);
  EXPECT_EQ(conversion.entryCount, static_cast<uint32_t>(rows));
  EXPECT_EQ(conversion.valueTotal, static_cast<uint64_t>(rows));
  ASSERT_EQ(conversion.errors.size(), 1u);
  EXPECT_EQ(conversion.errors[0].row, static_cast<uint32_t>(rows + 1));
  EXPECT_EQ(conversion.errors[0].line.size(), longLine.size() - 1) << "the whole line is reported";

  const std::string longName = std::string(1024 * 1024, 'N');
  conversion = ConvertInfoTable(GoodLine(longName), path);
  EXPECT_EQ(conversion.entryCount, 1u);
  EXPECT_NE(ReadFile(path).find("<nameOfIssuer>" + std::string(150, 'N') + "</nameOfIssuer>"),
            std::string::npos);
}

TEST(Faults, AFullDiskIsReportedAndLeavesNoHalfDocument) {
  SmallFilesystem disk("16k", false);
  if (!disk.mounted()) GTEST_SKIP() << "no right to mount a small tmpfs here";
  std::string table;
  for (int i = 0; i < 500; ++i) table += GoodLine("ISSUER " + std::to_string(i));
  const std::string path = disk.File("tev_13f.xml");
  const Conversion conversion = ConvertInfoTable(table, path);
  EXPECT_EQ(conversion.outcome, ConversionOutcome::kWriteFailed);
  EXPECT_EQ(conversion.failureMessage, kCannotWriteMessage);
  EXPECT_EQ(conversion.entryCount, 0u);
  EXPECT_EQ(conversion.valueTotal, 0u);
  EXPECT_FALSE(std::filesystem::exists(path)) << "a cut-off document could be mistaken for a filing";

  const Conversion small = ConvertInfoTable(GoodLine("FITS"), path);
  EXPECT_EQ(small.outcome, ConversionOutcome::kWritten) << "room again once the large one is gone";
}

TEST(Faults, AReadOnlyFolderRefusesTheFile) {
  SmallFilesystem folder("16k", true);
  if (!folder.mounted()) GTEST_SKIP() << "no right to mount a read-only tmpfs here";
  const Conversion conversion = ConvertInfoTable(GoodLine("A"), folder.File("tev_13f.xml"));
  EXPECT_EQ(conversion.outcome, ConversionOutcome::kNotWritten);
  EXPECT_EQ(conversion.failureMessage, kCannotCreateMessage);
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
  for (const std::string& cell : cells) table += GoodLine(cell) + cell + "\tshort\n";
  const Conversion conversion = ConvertInfoTable(table, path);
  ASSERT_EQ(conversion.outcome, ConversionOutcome::kWritten);
  EXPECT_TRUE(WellFormed(path));
  for (const char* live : {"<script", "<img", "<!--", "<![CDATA["})
    EXPECT_EQ(conversion.preview.find(live), std::string::npos) << live;
  EXPECT_NE(conversion.preview.find("&amp;amp; &amp;#60; &amp;lt;"), std::string::npos);
  EXPECT_NE(ReadFile(path).find("<nameOfIssuer>&amp;amp; &amp;#60; &amp;lt;</nameOfIssuer>"),
            std::string::npos);
}

}  // namespace
