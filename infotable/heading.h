// The heading row that names a table's columns, and the captions it is read by.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "infotable/cell_line.h"
#include "infotable/column_layout.h"
#include "infotable/fields.h"

struct Heading {
  // A column whose caption is not one the reading knows, read as the field
  // that stands there in the SEC's order.
  struct ByPosition {
    size_t column;
    std::string caption;
    size_t field;
  };
  ColumnLayout layout;
  size_t lines;  // 1, or 2 when the voting captions stand on the line below
  std::vector<ByPosition> byPosition;
  std::vector<size_t> missing;  // fields a row needs that no column gives
};

// A heading names the columns: a line with a "CUSIP" cell most of whose cells
// are captions (with those of `lineBelow` when they name the voting amounts
// that it leaves out). Captions are read loosely: case, punctuation, line
// breaks, "or", "/" and the usual abbreviations do not matter. A caption not
// understood takes the field of its position when the heading is as wide as
// the SEC's columns. None when `cells` is no heading.
std::optional<Heading> ReadHeading(const Cells& cells, std::string_view lineBelow);

// Why rows under a heading that names no column for `missing` can't be read.
std::string MissingColumnsText(const std::vector<size_t>& missing);

// The check line for a column read by its position.
std::string ByPositionText(const Heading::ByPosition& column);

// Whether a value column's caption gives the values in thousands, as the
// SEC's old "VALUE (x$1000)" did; EDGAR now takes whole dollars.
bool IsThousandsCaption(std::string_view caption);

// Whether a line holds only captions that stand above a heading's columns,
// such as "VOTING AUTHORITY" or "COLUMN 4".
bool IsCaptionLine(const Cells& cells);

// Whether a text is a caption that names a field.
bool IsCaption(std::string_view text);

// Whether a line has a cell that could read "CUSIP": the test before a line
// is asked whether it is a heading.
bool MayBeHeading(std::string_view line);
