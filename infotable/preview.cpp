#include "infotable/preview.h"

#include <algorithm>
#include <charconv>
#include <iterator>

#include "infotable/append_all.h"
#include "infotable/drawn_width.h"
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

std::vector<std::string> PreviewCellStarts(bool withFigi) {
  std::vector<std::string> starts;
  for (const Column& column : Columns(withFigi))
    starts.push_back(std::string("<TD class=itbl align=") + column.alignment + ">");
  return starts;
}

std::string PreviewTable::WidestRows() const {
  std::vector<uint32_t> rows;
  for (const Widest& best : widest)
    for (const auto& [width, row] : best)
      if (width > 0) rows.push_back(row);
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  std::string text;
  for (uint32_t row : rows) text += Rows(row, row + 1);
  return text;
}

std::string PreviewHeadCells(bool withFigi) {
  std::string cells;
  for (const Column& column : Columns(withFigi))
    AppendAll(cells, "<TD class=itbl align=center><B>", std::string_view(column.caption), "</B></TD>");
  return cells;
}

void AppendPreviewRow(PreviewBlock& block, uint32_t rowNumber, const InfoTableRow& row) {
  std::string& out = block.cells;
  const uint32_t index = static_cast<uint32_t>(block.rowEnds.size());
  size_t column = 0, start = out.size();
  const auto noted = [&] {
    if (block.notesWidest) NoteWidth(block.widest, out, column++, start, index);
    start = out.size();
  };
  AppendNumber(out, rowNumber);
  noted();
  for (size_t position = 0; position < kFigi; ++position) {
    if (IsNumericField(position))
      AppendGroupedCell(out, row[position]);
    else
      AppendCell(out, row[position], '\t');
    noted();
    if (position == kCusip && block.withFigi) {
      AppendCell(out, row[kFigi], '\t');
      noted();
    }
  }
  out.back() = '\n';
  block.rowEnds.push_back(out.size());
}

void AppendPreviewBlock(PreviewTable& table, const PreviewBlock& block, uint32_t firstEntry) {
  const uint32_t firstRow = static_cast<uint32_t>(table.RowCount());
  std::string& out = table.cells;
  size_t blockStart = 0;
  for (size_t i = 0; i < block.rowEnds.size(); ++i) {
    const size_t start = out.size();
    AppendNumber(out, firstEntry + static_cast<uint32_t>(i));
    if (table.notesWidest) NoteWidth(table.widest, out, 0, start, firstRow + static_cast<uint32_t>(i));
    out.append(block.cells, blockStart, block.rowEnds[i] - blockStart);
    blockStart = block.rowEnds[i];
    table.rowStarts.push_back(out.size());
  }
  if (!table.notesWidest) return;
  for (size_t column = 0; column < block.widest.size(); ++column)
    for (const auto& [width, row] : block.widest[column])
      if (width > 0) OfferWidest(table.widest, column + 1, width, firstRow + row);
}

void AppendRowsHtml(std::string& out, const PreviewTable& table, size_t first, size_t last) {
  const std::vector<std::string> cellStarts = PreviewCellStarts(table.withFigi);
  const std::string_view rows = table.Rows(first, last);
  size_t column = 0, cellStart = 0;
  for (size_t at = 0; at < rows.size(); ++at) {
    if (rows[at] != '\t' && rows[at] != '\n') continue;
    if (column == 0) out += "<TR>";
    AppendAll(out, std::string_view(cellStarts[column]), rows.substr(cellStart, at - cellStart), "</TD>");
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

std::string PreviewPageStart() {
  // The rules of the window's page that the preview's markup relies on.
  return "<meta charset='utf-8'>\n<style>\n"
         "p {margin-top:4px;margin-right:0;margin-bottom:4px;margin-left:0}\n"
         "table {border-collapse:collapse;border:0;font:11px Tahoma, Arial}\n"
         "td {margin:0;padding:0;border:0}\n" +
         std::string(kPreviewCellStyle) +
         "\n</style>\n<BODY style='font:11px Tahoma, Arial' bgcolor=#f8f8f0>\n";
}
