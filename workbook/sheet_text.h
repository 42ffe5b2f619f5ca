// A sheet of a workbook as the tab text its export gives, so that a
// workbook's table is read by the very rules of a copied one: one line per
// sheet row from row 1, a tab between cells, a cell holding a tab, a line
// break or a quote quoted as spreadsheets quote it. Numbers are written as
// they are held, in full and with a period, never as a locale shows them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "infotable/refusal.h"

// The most a sheet's text may be: some 2,000 bytes for every row EDGAR
// takes.
constexpr size_t kSheetTextLimit = size_t{512} << 20;

// The most text a cell holds (Excel's own limit); what a file gives beyond
// it is dropped, and the cell is longer than any field EDGAR takes.
constexpr size_t kCellTextLimit = 32767;
// The most cells of the kinds below one sheet may hold: as many as a table
// of EDGAR's largest size has cells.
constexpr size_t kTypedCellLimit = 250000 * 13;

// Appends `piece` to a cell's text, up to the limit.
inline void AppendCellText(std::string& text, std::string_view piece) {
  if (text.size() < kCellTextLimit) text.append(piece.substr(0, kCellTextLimit - text.size()));
}

// A cell whose kind a text export would hide: a table holds no date, no
// boolean and no formula error.
struct TypedCell {
  enum Kind : uint8_t { kDate, kBoolean, kError } kind;
  uint32_t row, column;  // from 1
  std::string shown;     // as the sheet shows it
};

struct SheetText {
  std::string name;
  std::string text;
  bool hidden = false;                  // the sheet itself
  std::vector<uint32_t> hiddenRows;     // rows with cells, from 1
  std::vector<uint32_t> hiddenColumns;  // from 1
  std::vector<TypedCell> typed;
  // Where each row with cells starts in `text`, in row order.
  std::vector<std::pair<uint32_t, size_t>> rowStarts;
};

// Why a sheet with more of them than kTypedCellLimit is refused.
std::string TooManyTypedCells(const std::string& sheet);

// "A", "Z", "AA": a column as a spreadsheet names it.
std::string ColumnLetters(uint32_t column);
// "D5"
std::string CellName(uint32_t row, uint32_t column);
// A column's number from its letters; 0 when they are none.
uint32_t ColumnNumber(std::string_view letters);

// The number a workbook holds ("1234.4000000000001", "4.5E7") as the text
// of the shortest decimal that is the same number, without exponent;
// empty when it is no number.
std::string NumberText(std::string_view held);

// Writes a sheet's cells into its text, in the order the file holds them.
class SheetTextWriter {
 public:
  explicit SheetTextWriter(SheetText& sheet) : sheet_(sheet) {}
  // The cell at `row` and `column` (from 1) holds `text`; refused when the
  // cells come out of order or the text grows past its bound.
  Refusal Cell(uint32_t row, uint32_t column, std::string_view text);
  // Refused when `bytes` more would pass the bound: a row repeated many
  // times is refused before it is written.
  Refusal Reserve(size_t bytes, uint32_t row) const;
  // The text ends with its last filled row.
  void Finish();

 private:
  SheetText& sheet_;
  uint32_t row_ = 1, column_ = 0;  // the last cell written
};
