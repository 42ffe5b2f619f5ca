// The columns of a table: the heading row that names them, or, without one,
// the layout a table's width gives.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "infotable/cell_line.h"
#include "infotable/fields.h"

// The fewest and the most columns a table without a heading can have.
constexpr size_t kNarrowestTable = 11;
constexpr size_t kWidestTable = 13;

// Where each field stands among a line's cells; none for a field the table
// does not give.
struct ColumnLayout {
  std::array<std::optional<size_t>, kInfoTableFieldCount> cell;
  // One voting amount at cell[kVotingSole] and the word naming its kind at cell[kVotingShared].
  bool votingKindWord = false;
};

// The layout of a table without a heading, by its width: 12 columns in field
// order, 13 with the FIGI after the CUSIP, 11 with the voting amount and its
// kind word. None for another width.
std::optional<ColumnLayout> LayoutForWidth(size_t width);

// The layout of a line read by its filled cells alone, the empty ones left
// out: 11 or 12 of them in field order (a FIGI can't be told from a shifted
// cell). None for another count.
std::optional<ColumnLayout> LayoutForFilledCells(size_t count);

// Why a line of `count` filled cells and no layout of its own can't be read.
std::string FilledCellsRefusal(size_t count);

// Why a line of `cells` cells, narrower than the rows of a table read by
// `layout` by more than their last voting columns, can't be read.
std::string ShortRowRefusal(size_t cells, const ColumnLayout& layout);

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
