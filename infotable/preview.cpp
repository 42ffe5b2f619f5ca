#include "infotable/preview.h"

#include <algorithm>
#include <charconv>
#include <iterator>

#include "infotable/append_all.h"
#include "infotable/text_forms.h"

namespace {

struct Column {
  const char* caption;
  const char* alignment;
};

// Every column but the FIGI's, which stands after the CUSIP when the table has one.
constexpr Column kColumns[] = {{"#", "right"},
                               {"Row", "right"},
                               {"Name of Issuer", "left"},
                               {"Title<BR>of<BR>Class", "left"},
                               {"CUSIP", "center"},
                               {"Market<BR>Value<BR>($)", "right"},
                               {"Shares<BR>Amount", "right"},
                               {"Security<BR>Type", "center"},
                               {"Put/<BR>Call", "center"},
                               {"Investment<BR>Discretion", "center"},
                               {"Other<BR>Managers", "center"},
                               {"Voting<BR>Authority<BR>Sole", "right"},
                               {"Voting<BR>Authority<BR>Shared", "right"},
                               {"Voting<BR>Authority<BR>None", "right"}};
constexpr Column kFigiColumn = {"FIGI", "center"};
constexpr size_t kCusipColumn = 4;

std::vector<Column> Columns(bool withFigi) {
  std::vector<Column> columns(std::begin(kColumns), std::end(kColumns));
  if (withFigi) columns.insert(columns.begin() + kCusipColumn + 1, kFigiColumn);
  return columns;
}

// A cell's text, with any tab or line end (which would end the cell or the
// row) as the blank the page would show it as.
void AppendCell(std::string& out, std::string_view text, char end) {
  const size_t at = out.size();
  out += text;
  for (size_t i = at; i < out.size(); ++i)
    if (out[i] == '\t' || out[i] == '\n' || out[i] == '\r') out[i] = ' ';
  out += end;
}

void AppendNumber(std::string& out, uint32_t number) {
  char digits[16];
  out.append(digits, static_cast<size_t>(std::to_chars(digits, digits + sizeof digits, number).ptr - digits));
  out += '\t';
}

// A number grouped in thousands, written in place.
void AppendGroupedCell(std::string& out, const std::string& number) {
  if (number.size() > 40 || !std::all_of(number.begin(), number.end(), IsDigit)) {
    AppendCell(out, GroupThousands(number), '\t');
    return;
  }
  char grouped[64];
  size_t length = 0;
  for (size_t i = 0; i < number.size(); ++i) {
    if (i > 0 && (number.size() - i) % 3 == 0) grouped[length++] = ',';
    grouped[length++] = number[i];
  }
  grouped[length++] = '\t';
  out.append(grouped, length);
}

}  // namespace

std::vector<const char*> PreviewAlignments(bool withFigi) {
  std::vector<const char*> alignments;
  for (const Column& column : Columns(withFigi)) alignments.push_back(column.alignment);
  return alignments;
}

std::string PreviewHeadCells(bool withFigi) {
  std::string cells;
  for (const Column& column : Columns(withFigi))
    AppendAll(cells, "<TD class=itbl align=center><B>", std::string_view(column.caption), "</B></TD>");
  return cells;
}

void AppendPreviewRow(PreviewTable& table, uint32_t entryNumber, uint32_t rowNumber,
                      const InfoTableRow& row) {
  std::string& out = table.cells;
  AppendNumber(out, entryNumber);
  AppendNumber(out, rowNumber);
  for (size_t position = 0; position < kFigi; ++position) {
    if (IsNumericField(position))
      AppendGroupedCell(out, row[position]);
    else
      AppendCell(out, row[position], '\t');
    if (position == kCusip && table.withFigi) AppendCell(out, row[kFigi], '\t');
  }
  out.back() = '\n';
  table.rowStarts.push_back(out.size());
}

void AppendRowsHtml(std::string& out, const PreviewTable& table, size_t first, size_t last) {
  const std::vector<const char*> alignments = PreviewAlignments(table.withFigi);
  const std::string_view rows = table.Rows(first, last);
  size_t column = 0, cellStart = 0;
  for (size_t at = 0; at < rows.size(); ++at) {
    if (rows[at] != '\t' && rows[at] != '\n') continue;
    if (column == 0) out += "<TR>";
    AppendAll(out, "<TD class=itbl align=", std::string_view(alignments[column]), ">",
              rows.substr(cellStart, at - cellStart), "</TD>");
    cellStart = at + 1;
    if (rows[at] == '\t') {
      ++column;
    } else {
      out += "</TR>";
      column = 0;
    }
  }
}

std::string PreviewTableHead(bool withFigi) {
  return std::string(kPreviewTableStart) + kPreviewHeadRowStart + PreviewHeadCells(withFigi) + "</TR>";
}

std::string PreviewTableHtml(const PreviewTable& table) {
  std::string html = PreviewTableHead(table.withFigi);
  AppendRowsHtml(html, table, 0, table.RowCount());
  return html + "</TABLE>";
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
