#include "infotable/document_rows.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "infotable/conversion.h"
#include "tests/support/temp_dir.h"

namespace {

// A document read back into rows and converted again is the same document:
// a document is checked afresh by the rules that wrote it.
TEST(DocumentRows, ReadBackAndConvertedAgainGiveTheSameDocument) {
  TempDir dir;
  size_t tried = 0;
  for (const auto& entry : std::filesystem::directory_iterator(FORM13F_TEST_DATA_DIR)) {
    const std::string name = entry.path().filename();
    if (entry.path().extension() != ".tsv") continue;
    const Conversion first = ConvertInfoTable(ReadFile(entry.path()), dir.File("first.xml"));
    if (first.outcome != ConversionOutcome::kWritten) continue;
    std::string rows;
    ASSERT_FALSE(ReadDocumentRows(dir.File("first.xml"), rows)) << name;
    const Conversion second = ConvertInfoTable(rows, dir.File("second.xml"));
    ASSERT_EQ(second.outcome, ConversionOutcome::kWritten) << name;
    EXPECT_EQ(ReadFile(dir.File("second.xml")), ReadFile(dir.File("first.xml"))) << name;
    EXPECT_EQ(second.entryCount, first.entryCount) << name;
    ++tried;
  }
  EXPECT_GE(tried, 5u);
}

TEST(DocumentRows, PrefixedElementsAreReadAndANonDocumentIsRefused) {
  TempDir dir;
  WriteFile(dir.File("other.xml"),
            "<ns1:informationTable xmlns:ns1='x'><ns1:infoTable><ns1:nameOfIssuer>A &amp; B</ns1:nameOfIssuer>"
            "<ns1:cusip>037833100</ns1:cusip><ns1:value>5</ns1:value><ns1:shrsOrPrnAmt><ns1:sshPrnamt>1"
            "</ns1:sshPrnamt><ns1:sshPrnamtType>SH</ns1:sshPrnamtType></ns1:shrsOrPrnAmt>"
            "<ns1:votingAuthority><ns1:Sole>1</ns1:Sole><ns1:Shared>0</ns1:Shared><ns1:None>0</ns1:None>"
            "</ns1:votingAuthority></ns1:infoTable></ns1:informationTable>");
  std::string rows;
  ASSERT_FALSE(ReadDocumentRows(dir.File("other.xml"), rows));
  EXPECT_EQ(rows, std::string(kDocumentRowsHeading) + "A & B\t\t037833100\t\t5\t1\tSH\t\t\t\t1\t0\t0\n");
  WriteFile(dir.File("page.html"), "<html>not a filing</html>");
  EXPECT_EQ(ReadDocumentRows(dir.File("page.html"), rows), Refusal("holds no infoTable entry"));
  EXPECT_TRUE(ReadDocumentRows(dir.File("missing.xml"), rows));
}

}  // namespace
