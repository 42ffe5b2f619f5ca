#include "form/page.h"

#include "form/markup_compiler.h"

namespace {

std::string CopyField(const char* id) {
  return std::string("<span id=") + id +
         " style='color:#0000a0;cursor:hand' title=\"Click to copy this value to the clipboard.\""
         " onclick='location=\"|cs" +
         (id + 2) + "\"'></span>";
}

}  // namespace

const std::string& PageTemplate() {
  static const std::string page =
      "<div style='padding:2px 0;border-bottom:1px solid #e0e0e0'><table width=100%><tr><td>"
      "<b>Step 1:</b> Copy the information table to the clipboard, then capture it.</td>"
      "<td align=right>`btCapture|style=width:46px|!C!apture`</td></tr></table></div>"
      "<div style='padding:2px 0;border-bottom:1px solid #808080'><table width=100%><tr><td>"
      "<b>Step 2:</b> Submit the filing at the SEC website.</td>"
      "<td align=right>`btSubmit|style=width:40px|!S!ubmit`</td></tr></table></div>"
      "<div style='padding:4px 0;border-bottom:1px solid #808080;color:#800000'>"
      "<b>XML file:</b> " +
      CopyField("idFf") +
      "<br>"
      "<b>No. of information table entries:</b> " +
      CopyField("idNe") +
      "<br>"
      "<b>Information table total:</b> " +
      CopyField("idTot") +
      "</div>"
      "<div style='padding:2px 0' id=idMsg></div>";
  return page;
}

const std::string& PageStyleSheet() {
  static const std::string sheet =
      "<style>\n<!--\n"
      "span.ak {}\n"
      "p {margin-top:4px;margin-right:0;margin-bottom:4px;margin-left:0}\n"
      "h1 {margin:0;text-align:center;font-size:16px;color:#333399}\n"
      "h2 {margin-top:4px;margin-right:0;margin-bottom:0;margin-left:0;font-size:13px;color:#333399}\n"
      "ul {margin-top:4px;margin-right:0;margin-bottom:4px;margin-left:16px}\n"
      "ol {margin-top:4px;margin-right:0;margin-bottom:4px;margin-left:16px}\n"
      "li {margin-top:4px;margin-bottom:4px}\n"
      "table {border-collapse:collapse;border:0;font:11px Tahoma, Arial}\n"
      "td {margin:0;padding:0;border:0}\n"
      "td.itbl {padding:0 2px;border:1px solid #e0e0e0;font:11px Arial}\n"
      "input {font:11px Arial}\n"
      "input.ck {margin-left:-4px;margin-top:-3px;margin-bottom:-2px}\n"
      "input.rb {margin-bottom:-3px;margin-top:-2px}\n"
      "input.tx {margin-bottom:-1px;margin-top:-1px}\n"
      "span.sk {color:#0000ff}\n"
      "span.sh {color:#00b000;cursor:hand}\n"
      "select {font:11px Arial}\n"
      "button {font:11px Arial;line-height:11px;height:19px}\n"
      "textarea {font:11px Arial}\n"
      "a {cursor:default;text-decoration:none}\n"
      "a:link {color:#000000}\n"
      "a:active {color:#000000}\n"
      "a:visited {color:#000000}\n"
      "-->\n</style>\n"
      "<BODY leftmargin=4 rightmargin=4 topmargin=0 bottommargin=2 "
      "style='cursor:default;overflow:auto;font:11px Tahoma, Arial;border:0' bgcolor=#f8f8f0>\n";
  return sheet;
}

std::string BuildMainPage() {
  std::string body = PageTemplate();
  CompileFormMarkup(body);
  return PageStyleSheet() + body;
}
