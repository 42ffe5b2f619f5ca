// The preview of a capture: the table of the accepted rows, as data and as
// HTML. The status paragraph above it is the error list's.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "infotable/drawn_width.h"
#include "infotable/fields.h"

// The style of the preview's cells, built in from preview_cell.css; the
// window's page has it from there too.
extern const char kPreviewCellStyle[];
// The table's start tag. A cell never breaks its line, so that every row is
// as high as every other.
constexpr const char* kPreviewTableStart =
    "<TABLE cellpadding=0 cellspacing=0 style='border:solid 2px blue; border-collapse:collapse; "
    "white-space:nowrap'>";
constexpr const char* kPreviewHeadRowStart = "<TR height=48>";

// The table's rows as data: each row's cells as shown (markup-escaped,
// numbers grouped in thousands), a tab after every cell but the last, a line
// end after the last. A cell never holds a tab or a line end.
struct PreviewTable {
  // Per column, the rows whose text is drawn widest.
  using Widest = WidestInColumn;

  bool withFigi = false;
  bool notesWidest = true;  // whether `widest` is kept as rows are added
  std::string cells;
  std::vector<size_t> rowStarts{0};  // where each row begins in `cells`, then where the last ends
  std::vector<Widest> widest;

  size_t RowCount() const { return rowStarts.size() - 1; }
  // The rows from `first` up to `last`, each with its line end.
  std::string_view Rows(size_t first, size_t last) const {
    return std::string_view(cells).substr(rowStarts[first], rowStarts[last] - rowStarts[first]);
  }
  // The rows that hold the widest text of any column, in order, each with
  // its line end: laid out together with the head, they give the column
  // widths of the whole table.
  std::string WidestRows() const;
};

// Each column's cell start tag, "<TD class=itbl align=right>", in column order:
// the single table's rows and the page's drawn rows start their cells so.
std::vector<std::string> PreviewCellStarts(bool withFigi);
// The head row's cells, the captions of the columns.
std::string PreviewHeadCells(bool withFigi);

// Rows of a block of the table, made apart from the other blocks: as the
// table's rows, but each without its entry number, which only the order of
// the whole table gives; `widest` counts the block's rows from 0.
struct PreviewBlock {
  bool withFigi = false;
  bool notesWidest = true;
  std::string cells;
  std::vector<size_t> rowEnds;
  std::vector<PreviewTable::Widest> widest;  // per column after the entry number's
};

// Adds a row to the block: the sheet row it came from, its fields.
void AppendPreviewRow(PreviewBlock& block, uint32_t rowNumber, const InfoTableRow& row);
// Adds the block's rows to the table, numbered as entries from `firstEntry`.
void AppendPreviewBlock(PreviewTable& table, const PreviewBlock& block, uint32_t firstEntry);
// The rows from `first` up to `last` as the single table's markup, "<TR>...</TR>" each.
void AppendRowsHtml(std::string& out, const PreviewTable& table, size_t first, size_t last);
// The single table's start tag and head row, which its rows follow.
std::string PreviewTableHead(bool withFigi);
// The single table: start tag, head, every row, end tag.
std::string PreviewTableHtml(const PreviewTable& table);

// The start of a page of its own for the preview, with the style its markup
// relies on; the status paragraph and the table follow it.
std::string PreviewPageStart();
