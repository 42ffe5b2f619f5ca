// The columns of a table: the heading row that names them, or, without one,
// the layout a table's width gives.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "infotable/clipboard_text.h"
#include "infotable/fields.h"

constexpr int kNoColumn = -1;

// The fewest columns a table without a heading can have.
constexpr size_t kNarrowestTable = 11;

// Where each field stands among a line's cells.
struct ColumnLayout {
  std::array<int, kInfoTableFieldCount> cell;
  // One voting amount at cell[kSole] and the word naming its kind at cell[kShared].
  bool votingKindWord = false;
  ColumnLayout() { cell.fill(kNoColumn); }
};

// The layout of a table without a heading, by its width: 12 columns in field
// order, 13 with the FIGI after the CUSIP, 11 with the voting amount and its
// kind word. False for another width.
bool LayoutForWidth(size_t width, ColumnLayout& layout);

// A heading names the columns: a line with a "CUSIP" cell whose captions
// (with those of `below` when they name the voting amounts that it leaves
// out) name every field a row needs. Gives the lines it takes, 1 or 2; 0 when
// `cells` is no heading.
size_t ReadHeading(const Cells& cells, std::string_view lineBelow, ColumnLayout& layout);

// Whether a value column's caption gives the values in thousands, as the
// SEC's old "VALUE (x$1000)" did; EDGAR now takes whole dollars.
bool IsThousandsCaption(std::string_view caption);

// Whether a line holds only captions that stand above a heading's columns,
// such as "VOTING AUTHORITY" or "COLUMN 4".
bool IsCaptionLine(const Cells& cells);

// Whether a line has a cell that could read "CUSIP": the test before a line
// is asked whether it is a heading.
bool MayBeHeading(std::string_view line);
