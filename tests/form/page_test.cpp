#include "form/page.h"

#include <gtest/gtest.h>

#include "infotable/preview.h"

namespace {

TEST(Page, StyleSheetOpensWithTheAccessKeyRuleAndEndsWithTheBody) {
  const std::string& sheet = PageStyleSheet();
  EXPECT_EQ(
      sheet.rfind(
          "<style>\n<!--\nspan.ak {}\np {margin-top:4px;margin-right:0;margin-bottom:4px;margin-left:0}\n",
          0),
      0u);
  EXPECT_NE(sheet.find("\n" + std::string(kPreviewCellStyle) + "\n"), std::string::npos)
      << "the page shows the preview's cells as its own page does";
  EXPECT_NE(sheet.find("\nbutton {font:11px Arial;line-height:11px;height:19px}\n"), std::string::npos);
  EXPECT_EQ(sheet.substr(sheet.find("a:visited")),
            "a:visited {color:#000000}\n-->\n</style>\n"
            "<BODY leftmargin=4 rightmargin=4 topmargin=0 bottommargin=2 "
            "style='cursor:default;overflow:auto;font:11px Tahoma, Arial;border:0' bgcolor=#f8f8f0>\n");
  size_t rules = 0;
  for (size_t at = 0; (at = sheet.find("}\n", at)) != std::string::npos; ++at) ++rules;
  EXPECT_EQ(rules, 23u);
}

TEST(Page, MainPageIsTheStyleSheetAndTheCompiledTemplate) {
  const std::string page = BuildMainPage();
  const std::string body = page.substr(PageStyleSheet().size());
  EXPECT_EQ(page.substr(0, PageStyleSheet().size()), PageStyleSheet());
  EXPECT_EQ(
      body,
      "<div style='padding:2px 0;border-bottom:1px solid #e0e0e0'><table width=100%><tr><td>"
      "<b>Step 1:</b> Copy the information table to the clipboard, then capture it.</td><td align=right>"
      "<BUTTON ID=btCapture onclick=location='|btCapture' style=width:46px accesskey=C>"
      "<span class=ak>C</span>apture</BUTTON></td></tr></table></div>"
      "<div style='padding:2px 0;border-bottom:1px solid #808080'><table width=100%><tr><td>"
      "<b>Step 2:</b> Submit the filing at the SEC website.</td><td align=right>"
      "<BUTTON ID=btSubmit onclick=location='|btSubmit' style=width:40px accesskey=S>"
      "<span class=ak>S</span>ubmit</BUTTON></td></tr></table></div>"
      "<div style='padding:4px 0;border-bottom:1px solid #808080;color:#800000'>"
      "<b>XML file:</b> <span id=idFf style='color:#0000a0;cursor:hand' "
      "title=\"Click to copy this value to the clipboard.\" onclick='location=\"|csFf\"'></span><br>"
      "<b>No. of information table entries:</b> <span id=idNe style='color:#0000a0;cursor:hand' "
      "title=\"Click to copy this value to the clipboard.\" onclick='location=\"|csNe\"'></span><br>"
      "<b>Information table total:</b> <span id=idTot style='color:#0000a0;cursor:hand' "
      "title=\"Click to copy this value to the clipboard.\" onclick='location=\"|csTot\"'></span></div>"
      "<div style='padding:2px 0' id=idMsg></div>");
}

}  // namespace
