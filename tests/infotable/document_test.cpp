#include "infotable/document.h"

#include <gtest/gtest.h>

#include "infotable/error_list.h"
#include "infotable/preview.h"
#include "infotable/text_forms.h"

namespace {

InfoTableRow FinalRow() {
  return {"ABC CORP", "COM", "123456789", "1234567", "200", "SH", "", "SOLE", "", "1000", "0", "25", ""};
}

TEST(XmlDocument, HeadEntryAndEndAreExactBytes) {
  EXPECT_EQ(FormatDocumentHead(),
            "<?xml version='1.0' encoding='UTF-8'?>\r\n"
            "<informationTable xmlns='http://www.sec.gov/edgar/document/thirteenf/informationtable' "
            "xmlns:xsi='http://www.w3.org/2001/XMLSchema-instance'>\r\n");
  EXPECT_EQ(FormatInfoTableEntry(FinalRow()),
            "\t<infoTable>\r\n"
            "\t\t<nameOfIssuer>ABC CORP</nameOfIssuer>\r\n"
            "\t\t<titleOfClass>COM</titleOfClass>\r\n"
            "\t\t<cusip>123456789</cusip>\r\n"
            "\t\t<value>1234567</value>\r\n"
            "\t\t<shrsOrPrnAmt>\r\n"
            "\t\t\t<sshPrnamt>200</sshPrnamt>\r\n"
            "\t\t\t<sshPrnamtType>SH</sshPrnamtType>\r\n"
            "\t\t</shrsOrPrnAmt>\r\n"
            "\t\t<investmentDiscretion>SOLE</investmentDiscretion>\r\n"
            "\t\t<votingAuthority>\r\n"
            "\t\t\t<Sole>1000</Sole>\r\n"
            "\t\t\t<Shared>0</Shared>\r\n"
            "\t\t\t<None>25</None>\r\n"
            "\t\t</votingAuthority>\r\n"
            "\t</infoTable>\r\n");
  EXPECT_EQ(FormatDocumentEnd(), "</informationTable>\r\n");
}

TEST(XmlDocument, OptionalElementsAppearOnlyWithText) {
  InfoTableRow row = FinalRow();
  row[kPutCall] = "Call";
  row[kOtherManager] = "2";
  row[kVotingShared] = "";
  row[kFigi] = "BBG000B9XRY4";
  const std::string entry = FormatInfoTableEntry(row);
  EXPECT_NE(entry.find("<cusip>123456789</cusip>\r\n\t\t<figi>BBG000B9XRY4</figi>\r\n\t\t<value>"),
            std::string::npos);
  EXPECT_NE(entry.find("\t\t</shrsOrPrnAmt>\r\n\t\t<putCall>Call</putCall>\r\n\t\t<investmentDiscretion>"),
            std::string::npos);
  EXPECT_NE(
      entry.find("</investmentDiscretion>\r\n\t\t<otherManager>2</otherManager>\r\n\t\t<votingAuthority>"),
      std::string::npos);
  EXPECT_NE(entry.find("<Shared></Shared>"), std::string::npos);
}

TEST(XmlDocument, CutsNeverSplitAReferenceOrACharacter) {
  const struct {
    std::string text;
    size_t limit;
    std::string expected;
  } cases[] = {
      {std::string(160, 'x'), 150, std::string(150, 'x')},
      {std::string(148, 'x') + "&amp;&amp;&amp;", 150, std::string(148, 'x') + "&amp;&amp;"},
      {std::string(149, 'x') + "\xC3\xA9\xC3\xA9", 150, std::string(149, 'x') + "\xC3\xA9"},
      {"12345678901", 9, "123456789"},
      {"1234567&lt;89", 9, "1234567&lt;8"},
      {"short", 150, "short"},
  };
  for (const auto& c : cases) EXPECT_EQ(CutCharacters(c.text, c.limit), c.expected) << c.text;

  InfoTableRow row = FinalRow();
  row[kNameOfIssuer] = std::string(160, 'N');
  row[kCusip] = "12345678901";
  const std::string entry = FormatInfoTableEntry(row);
  EXPECT_NE(entry.find("<nameOfIssuer>" + std::string(150, 'N') + "</nameOfIssuer>"), std::string::npos);
  EXPECT_NE(entry.find("<cusip>123456789</cusip>"), std::string::npos);
}

TEST(Preview, RowsAreDataNumberedGroupedAndDrawnAligned) {
  PreviewTable table;
  PreviewBlock block;
  AppendPreviewRow(block, 14, FinalRow());
  InfoTableRow broken = FinalRow();
  broken[kNameOfIssuer] = "A\tB\nC\rD";  // would end the cell or the row
  AppendPreviewRow(block, 15, broken);
  AppendPreviewBlock(table, block, 3);
  EXPECT_EQ(table.cells,
            "3\t14\tABC CORP\tCOM\t123456789\t1,234,567\t200\tSH\t\tSOLE\t\t1,000\t0\t25\n"
            "4\t15\tA B C D\tCOM\t123456789\t1,234,567\t200\tSH\t\tSOLE\t\t1,000\t0\t25\n");
  EXPECT_EQ(table.RowCount(), 2u);
  EXPECT_EQ(table.Rows(1, 2), table.cells.substr(table.cells.find("4\t15")));

  std::string html;
  AppendRowsHtml(html, table, 0, 1);
  EXPECT_EQ(html,
            "<TR><TD class=itbl align=right>3</TD><TD class=itbl align=right>14</TD>"
            "<TD class=itbl align=left>ABC CORP</TD><TD class=itbl align=left>COM</TD>"
            "<TD class=itbl align=center>123456789</TD><TD class=itbl align=right>1,234,567</TD>"
            "<TD class=itbl align=right>200</TD><TD class=itbl align=center>SH</TD>"
            "<TD class=itbl align=center></TD><TD class=itbl align=center>SOLE</TD>"
            "<TD class=itbl align=center></TD><TD class=itbl align=right>1,000</TD>"
            "<TD class=itbl align=right>0</TD><TD class=itbl align=right>25</TD></TR>");

  PreviewTable withFigi;
  PreviewBlock figiBlock;
  withFigi.withFigi = figiBlock.withFigi = true;
  InfoTableRow row = FinalRow();
  row[kFigi] = "BBG000B9XRY4";
  AppendPreviewRow(figiBlock, 1, row);
  AppendPreviewBlock(withFigi, figiBlock, 1);
  html.clear();
  AppendRowsHtml(html, withFigi, 0, 1);
  EXPECT_NE(html.find("123456789</TD><TD class=itbl align=center>BBG000B9XRY4</TD><TD class=itbl "
                      "align=right>1,234,567</TD>"),
            std::string::npos);
}

TEST(Preview, HeadHasFourteenCaptionsOrFifteenWithTheFigi) {
  const std::string table = PreviewTableHtml(PreviewTable{});
  EXPECT_EQ(table.rfind("<TABLE cellpadding=0 cellspacing=0 style='border:solid 2px blue; "
                        "border-collapse:collapse; white-space:nowrap'><TR height=48><TD class=itbl "
                        "align=center><B>#</B></TD><TD class=itbl align=center><B>Row</B></TD>",
                        0),
            0u);
  EXPECT_EQ(table.substr(table.size() - 13), "</TR></TABLE>");
  for (bool figi : {false, true}) {
    const std::string head = PreviewHeadCells(figi);
    size_t cells = 0;
    for (size_t at = 0; (at = head.find("<TD class=itbl align=center><B>", at)) != std::string::npos; ++at)
      ++cells;
    EXPECT_EQ(cells, figi ? 15u : 14u);
    EXPECT_EQ(PreviewCellStarts(figi).size(), cells);
    EXPECT_NE(head.find("<B>Market<BR>Value<BR>($)</B></TD>"), std::string::npos) << "values are in dollars";
  }
  EXPECT_NE(PreviewHeadCells(true).find("<B>CUSIP</B></TD><TD class=itbl align=center><B>FIGI</B></TD>"),
            std::string::npos);
}

TEST(Preview, StatusParagraphAndEscapedErrorLines) {
  EXPECT_EQ(StatusParagraph("", "", 0), "<p><b><font color=#00a000>No errors.</font></b></p>");
  EXPECT_EQ(StatusParagraph("", "", 0, "", {}, "no list & why", true),
            "<p><b><font color=#c05000>No errors in the rows as read, but they were not checked against the "
            "SEC's list of 13(f) securities.</font></b><br>no list &amp; why</p>")
      << "rows not checked against the list never read \"No errors.\"";

  std::string errors;
  AppendErrorLine(errors, RowErrorKind::kInvalidCharacter, 2, 0, "A\t<img src=x onerror=alert(1)>");
  AppendErrorLine(errors, RowErrorKind::kInvalidFields, 3, 0, "B&C");
  AppendErrorLine(errors, RowErrorKind::kNotAcceptedByEdgar, 0, 0, "the table");
  EXPECT_EQ(errors,
            "<br><b>Invalid character in row 2:</b> A\t&lt;img src=x onerror=alert(1)&gt;"
            "<br><b>Invalid field(s) in row 3:</b> B&amp;C<br><b>Not accepted by EDGAR:</b> the table");
  EXPECT_EQ(StatusParagraph(errors, "", 0),
            "<p><b><font color=#e00000>Error(s):</font></b>" + errors + "</p>");
  EXPECT_EQ(StatusParagraph(errors, "", 2),
            "<p><b><font color=#e00000>Error(s):</font></b> 2 rows refused and left out of the document." +
                errors + "</p>");

  // Rows to check stand apart; they never leave "No errors." standing.
  std::string checks;
  AppendErrorLine(checks, RowErrorKind::kCheckBeforeFiling, 4, 3, "CUSIP");
  const std::string checkHeading =
      "<b><font color=#c05000>Check before filing:</font></b> written, but they look wrong or were changed to fit the document.";
  EXPECT_EQ(
      StatusParagraph("", checks, 0),
      "<p>" + checkHeading + "<br><b><span data-entry=3>Check before filing in row 4</span>:</b> CUSIP</p>");
  EXPECT_EQ(StatusParagraph(errors, checks, 0), "<p><b><font color=#e00000>Error(s):</font></b>" + errors +
                                                    "<br>" + checkHeading + checks + "</p>");
  EXPECT_EQ(StatusParagraph(errors, "", 1, "every row was refused"),
            "<p><b><font color=#e00000>Nothing was written:</font></b> every row was refused<br>"
            "<b><font color=#e00000>Error(s):</font></b> 1 row refused and left out of the document." +
                errors + "</p>");
}

TEST(GroupThousands, PutsCommasBetweenGroupsOfThree) {
  const struct {
    const char* input;
    const char* expected;
  } cases[] = {
      {"1234567", "1,234,567"},
      {"123", "123"},
      {"1234", "1,234"},
      {"-1234.5678", "-1,234.5678"},
      {"", ""},
      {"001234", "001,234"},
      {" \t12345", "12,345"},
      {"0001234", "0,001,234"},
      {"123456", "123,456"},
      {".5", ".5"},
  };
  for (const auto& c : cases) EXPECT_EQ(GroupThousands(c.input), c.expected) << c.input;
}

}  // namespace
