// One line of a table read into the final fields of an infoTable entry. Each
// cell is read where the layout puts it, and a cell that can't be read
// refuses its row with the column and the reason. Texts are UTF-8.
#pragma once

#include <string_view>

#include "infotable/cell_line.h"
#include "infotable/fields.h"
#include "infotable/heading.h"
#include "infotable/number_style.h"
#include "infotable/refusal.h"

// Reads one line's cells by the layout into `row`, whose strings keep their
// room. Refused with the reasons, each naming its column and what it holds.
// Amounts whose form does not tell their decimal mark take `mark`, the table's.
Refusal ReadRow(const Cells& cells, const ColumnLayout& layout, InfoTableRow& row,
                DecimalMark mark = DecimalMark::kUnknown);

// Reads a line that has no layout of its own by its filled cells: empty cells
// are left out and the 11 or 12 filled cells are read in field order.
Refusal ReadFilledCells(std::string_view line, InfoTableRow& row, DecimalMark mark = DecimalMark::kUnknown);
