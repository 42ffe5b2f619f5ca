// The information table in a workbook: the sheet whose heading reads as
// one, its rows from the heading to the last holding; the titles above and
// the totals and notes below left out and named, hidden rows and columns
// said, cells no table holds (dates, yes-or-no values, formula errors)
// refusing their rows.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "infotable/refusal.h"
#include "workbook/workbook.h"

struct WorkbookTable {
  std::string sheet;  // the sheet read
  std::string text;   // its table as tab text, sheet rows where they stand
  std::string note;   // what the status says of it, a line each
  std::vector<std::pair<uint32_t, std::string>> refusedRows;  // by sheet row, in order
  std::vector<std::string> sheetsWithTables;  // when more than one holds a table and none was named
};

// The table of `workbook`, read from file `fileName`; from sheet `wanted`
// when it is not empty. Refused when no sheet holds a table, when the one
// named is not there, or when two hold one and none was named.
Refusal FindWorkbookTable(const Workbook& workbook, const std::string& fileName, const std::string& wanted,
                          WorkbookTable& table);
