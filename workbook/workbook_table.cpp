#include "workbook/workbook_table.h"

#include <algorithm>
#include <map>

#include "infotable/cell_line.h"
#include "infotable/clipboard_text.h"
#include "infotable/table_plan.h"
#include "infotable/text_forms.h"

namespace {

// A row below the table with this many filled cells or fewer is a total or
// a note: a holding fills at least its name, class, CUSIP, value, amount,
// type and discretion.
constexpr size_t kMostCellsOfATotal = 3;

// Where a sheet's table stands, as its reading plans it.
struct SheetTable {
  bool heading = false, table = false;
  uint32_t firstRow = 0, headingEnd = 0,
           lastRow = 0;  // the first row, the last of the heading, the last holding
  uint32_t lastFilledRow = 0;
  size_t width = 0;
};

SheetTable FindRows(const SheetText& sheet) {
  SheetTable found;
  const NormalizedText normalized = NormalizeClipboardText(sheet.text);
  if (normalized.lines.empty()) return found;
  const TablePlan plan = PlanTable(normalized);
  found.table = IsTable(plan);
  found.heading = plan.hasHeading;
  found.width = normalized.width;
  found.lastFilledRow = normalized.rows.back();
  size_t first = 0;
  if (found.heading) {
    while (plan.reading[first].kind != LineReading::kHeading) ++first;
    size_t end = first;
    while (end + 1 < plan.lines.size() && plan.reading[end + 1].kind == LineReading::kHeading) ++end;
    found.headingEnd = normalized.rows[end];
  }
  size_t last = plan.lines.size() - 1;
  while (last > first && plan.reading[last].kind != LineReading::kHeading &&
         CountFilledCells(plan.lines[last]) <= kMostCellsOfATotal)
    --last;
  found.firstRow = normalized.rows[first];
  found.lastRow = normalized.rows[last];
  return found;
}

std::string RowsText(uint32_t first, uint32_t last) {
  return first == last
             ? "Row " + std::to_string(first)
             : "Rows " + GroupThousands(std::to_string(first)) + "–" + GroupThousands(std::to_string(last));
}

// "7, 9 and 12" of the rows or columns, the first ten.
template <typename Name>
std::string ListText(const std::vector<uint32_t>& numbers, Name name) {
  std::string list;
  const size_t shown = std::min<size_t>(numbers.size(), 10);
  for (size_t i = 0; i < shown; ++i)
    list += (i == 0 ? "" : i + 1 == shown && shown == numbers.size() ? " and " : ", ") + name(numbers[i]);
  if (shown < numbers.size()) list += " and " + std::to_string(numbers.size() - shown) + " more";
  return list;
}

std::string TypedText(const TypedCell& cell, const std::string& sheet) {
  const std::string where = "cell " + CellName(cell.row, cell.column) + " of sheet \"" + sheet + "\"";
  switch (cell.kind) {
    case TypedCell::kDate:
      return where + " holds a date, " + cell.shown + ", where the table has text or an amount";
    case TypedCell::kBoolean:
      return where + " holds the yes-or-no value " + cell.shown + ", where the table has text or an amount";
    case TypedCell::kError: return where + " holds the formula error " + cell.shown + ": correct the formula";
  }
  return where;
}

std::string SheetNames(const std::vector<std::string>& names) {
  std::string list;
  for (size_t i = 0; i < names.size(); ++i)
    list += (i == 0 ? "" : i + 1 == names.size() ? " and " : ", ") + ("\"" + names[i] + "\"");
  return list;
}

// The sheets a table can be on: the visible ones with a heading, else the
// visible ones of a table's width, else the hidden ones likewise.
std::vector<size_t> Candidates(const Workbook& workbook, const std::vector<SheetTable>& rows) {
  for (int pass = 0; pass < 4; ++pass) {
    std::vector<size_t> found;
    for (size_t i = 0; i < rows.size(); ++i)
      if (workbook.sheets[i].hidden == (pass >= 2) && (pass % 2 == 0 ? rows[i].heading : rows[i].table))
        found.push_back(i);
    if (!found.empty()) return found;
  }
  return {};
}

void Describe(const SheetText& sheet, const SheetTable& rows, const std::string& fileName,
              WorkbookTable& table) {
  std::string note =
      "Read sheet \"" + sheet.name + "\" of " + fileName + (sheet.hidden ? ", a hidden sheet." : ".");
  if (rows.firstRow > 1)
    note += " " + RowsText(1, rows.firstRow - 1) + ", above the table, are not holdings: left out.";
  if (rows.lastRow < rows.lastFilledRow)
    note += " " + RowsText(rows.lastRow + 1, rows.lastFilledRow) +
            ", below the table, are not holdings: left out.";
  std::vector<uint32_t> hiddenRows, hiddenColumns;
  for (uint32_t row : sheet.hiddenRows)
    if (row > rows.headingEnd && row >= rows.firstRow && row <= rows.lastRow) hiddenRows.push_back(row);
  for (uint32_t column : sheet.hiddenColumns)
    if (column <= rows.width) hiddenColumns.push_back(column);
  if (!hiddenRows.empty())
    note += "\n" + std::string(hiddenRows.size() == 1 ? "Row " : "Rows ") +
            ListText(hiddenRows, [](uint32_t row) { return std::to_string(row); }) +
            (hiddenRows.size() == 1 ? " is" : " are") +
            " hidden in the workbook: read as holdings like the others.";
  if (!hiddenColumns.empty())
    note += "\n" + std::string(hiddenColumns.size() == 1 ? "Column " : "Columns ") +
            ListText(hiddenColumns, ColumnLetters) + (hiddenColumns.size() == 1 ? " is" : " are") +
            " hidden in the workbook: read like the others.";
  table.note = note;
}

}  // namespace

Refusal FindWorkbookTable(const Workbook& workbook, const std::string& fileName, const std::string& wanted,
                          WorkbookTable& table) {
  table = WorkbookTable();
  std::vector<SheetTable> rows;
  std::vector<std::string> names;
  for (const SheetText& sheet : workbook.sheets) {
    rows.push_back(FindRows(sheet));
    names.push_back(sheet.name);
  }
  size_t chosen = 0;
  if (!wanted.empty()) {
    const auto at = std::find(names.begin(), names.end(), wanted);
    if (at == names.end()) return "has no sheet \"" + wanted + "\": its sheets are " + SheetNames(names);
    chosen = static_cast<size_t>(at - names.begin());
    if (!rows[chosen].table) return "holds no information table on sheet \"" + wanted + "\"";
  } else {
    const std::vector<size_t> candidates = Candidates(workbook, rows);
    if (candidates.empty())
      return "holds no information table on " +
             std::string(names.size() == 1 ? "its sheet " : "any of its sheets, ") + SheetNames(names) +
             ": no sheet has the table's headings or its 11 to 13 columns";
    if (candidates.size() > 1) {
      for (size_t i : candidates) table.sheetsWithTables.push_back(names[i]);
      return "holds a table on " + std::to_string(candidates.size()) + " sheets, " +
             SheetNames(table.sheetsWithTables) + ": say which to read";
    }
    chosen = candidates[0];
  }
  const SheetText& sheet = workbook.sheets[chosen];
  const SheetTable& found = rows[chosen];
  table.sheet = sheet.name;
  // The table's rows where they stand, the rows around it blank.
  const auto start = [&](uint32_t row) {
    const auto at =
        std::lower_bound(sheet.rowStarts.begin(), sheet.rowStarts.end(), std::make_pair(row, size_t{0}));
    return at == sheet.rowStarts.end() ? sheet.text.size() : at->second;
  };
  table.text.assign(found.firstRow - 1, '\n');
  table.text.append(sheet.text, start(found.firstRow), start(found.lastRow + 1) - start(found.firstRow));
  std::map<uint32_t, std::string> refused;
  for (const TypedCell& cell : sheet.typed)
    if (cell.row > found.headingEnd && cell.row >= found.firstRow && cell.row <= found.lastRow) {
      std::string& reason = refused[cell.row];
      reason += (reason.empty() ? "" : "; ") + TypedText(cell, sheet.name);
    }
  table.refusedRows.assign(refused.begin(), refused.end());
  Describe(sheet, found, fileName, table);
  return std::nullopt;
}
