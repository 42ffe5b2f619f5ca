// Where a table's fields stand among a line's cells, and the layouts of
// tables without a heading, told by their width.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

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

// Why a row of a table without a heading that lacks the column of one of
// `fields` (its cells stand one column off) is refused: the same words for
// every row, so that the table's rows are one line.
std::string LackingColumnRefusal(const std::vector<size_t>& fields);
