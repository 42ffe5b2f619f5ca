#include "infotable/preview.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#include "infotable/append_all.h"
#include "infotable/text_forms.h"

namespace {

void AppendCell(std::string& out, std::string_view align, std::string_view text) {
  AppendAll(out, "<TD class=itbl align=", align, ">", text, "</TD>");
}

// A right-aligned cell with a number grouped in thousands, written in place.
void AppendGroupedCell(std::string& out, const std::string& number) {
  if (!std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    AppendCell(out, "right", GroupThousands(number));
    return;
  }
  char grouped[64];
  size_t length = 0;
  if (number.size() > 40) {
    AppendCell(out, "right", GroupThousands(number));
    return;
  }
  for (size_t i = 0; i < number.size(); ++i) {
    if (i > 0 && (number.size() - i) % 3 == 0) grouped[length++] = ',';
    grouped[length++] = number[i];
  }
  AppendCell(out, "right", std::string_view(grouped, length));
}

}  // namespace

std::string BeginPreview(bool withFigi) {
  static const char* const captions[] = {"#",
                                         "Row",
                                         "Name of Issuer",
                                         "Title<BR>of<BR>Class",
                                         "CUSIP",
                                         "FIGI",
                                         "Market<BR>Value<BR>($)",
                                         "Shares<BR>Amount",
                                         "Security<BR>Type",
                                         "Put/<BR>Call",
                                         "Investment<BR>Discretion",
                                         "Other<BR>Managers",
                                         "Voting<BR>Authority<BR>Sole",
                                         "Voting<BR>Authority<BR>Shared",
                                         "Voting<BR>Authority<BR>None"};
  std::string preview =
      "<TABLE cellpadding=0 cellspacing=0 style='border:solid 2px blue; border-collapse:collapse'>"
      "<TR height=48>";
  for (const char* caption : captions) {
    if (!withFigi && std::strcmp(caption, "FIGI") == 0) continue;
    AppendAll(preview, "<TD class=itbl align=center><B>", caption, "</B></TD>");
  }
  preview += "</TR>";
  return preview;
}

void AppendPreviewRow(std::string& preview, uint32_t entryNumber, uint32_t rowNumber, const InfoTableRow& row,
                      bool withFigi) {
  char entry[16], sheetRow[16];
  const std::string_view entryText(
      entry, static_cast<size_t>(std::to_chars(entry, entry + sizeof entry, entryNumber).ptr - entry));
  const std::string_view rowText(
      sheetRow,
      static_cast<size_t>(std::to_chars(sheetRow, sheetRow + sizeof sheetRow, rowNumber).ptr - sheetRow));
  AppendAll(preview, "<TR><TD class=itbl align=right>", entryText, "</TD><TD class=itbl align=right>",
            rowText, "</TD>");
  for (size_t position = 0; position < kFigi; ++position) {
    if (IsNumericField(position))
      AppendGroupedCell(preview, row[position]);
    else
      AppendCell(preview, position <= kTitleOfClass ? "left" : "center", row[position]);
    if (position == kCusip && withFigi) AppendCell(preview, "center", row[kFigi]);
  }
  preview += "</TR>";
}

void AppendErrorLine(std::string& errorList, RowErrorKind kind, uint32_t rowNumber, uint32_t entry,
                     std::string_view text) {
  errorList += "<br><b>";
  if (entry > 0)
    errorList +=
        "<span data-entry=" + std::to_string(entry) + ">" + ErrorLineHeading(kind, rowNumber) + "</span>";
  else
    errorList += ErrorLineHeading(kind, rowNumber);
  errorList += ":</b> ";
  AppendEscaped(errorList, text);
}

std::string ManagersUsedText(const std::vector<unsigned long>& managersUsed) {
  std::string list;
  for (unsigned long number : managersUsed) list += (list.empty() ? "" : ", ") + std::to_string(number);
  return "Other included managers named: " + list + " (" + std::to_string(managersUsed.size()) +
         " for the summary page's count).";
}

std::string StatusParagraph(const std::string& errorList, const std::string& checkList, uint32_t refusedRows,
                            const std::string& nothingWritten,
                            const std::vector<unsigned long>& managersUsed) {
  const std::string managers = managersUsed.empty() ? "" : "<br>" + ManagersUsedText(managersUsed);
  if (errorList.empty() && checkList.empty() && nothingWritten.empty())
    return "<p><b><font color=#00a000>No errors.</font></b>" + managers + "</p>";
  std::string status = "<p>";
  if (!nothingWritten.empty())
    status += "<b><font color=#e00000>Nothing was written:</font></b> " + nothingWritten;
  if (!errorList.empty()) {
    if (!nothingWritten.empty()) status += "<br>";
    status += "<b><font color=#e00000>Error(s):</font></b>";
    if (refusedRows > 0) status += ' ' + RefusedRowsText(refusedRows);
    status += errorList;
  }
  if (!checkList.empty()) {
    if (status.size() > 3) status += "<br>";
    status +=
        "<b><font color=#c05000>Check before filing:</font></b> "
        "written as they stand, but they look wrong." +
        checkList;
  }
  return status + managers + "</p>";
}

std::string PreviewPageStart() {
  // The rules of the window's page that the preview's markup relies on.
  return "<meta charset='utf-8'>\n<style>\n"
         "p {margin-top:4px;margin-right:0;margin-bottom:4px;margin-left:0}\n"
         "table {border-collapse:collapse;border:0;font:11px Tahoma, Arial}\n"
         "td {margin:0;padding:0;border:0}\n" +
         std::string(kPreviewCellStyle) +
         "\n</style>\n<BODY style='font:11px Tahoma, Arial' bgcolor=#f8f8f0>\n";
}
