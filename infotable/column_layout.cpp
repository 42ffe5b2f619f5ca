#include "infotable/column_layout.h"

#include <algorithm>

std::optional<ColumnLayout> LayoutForWidth(size_t width) {
  if (width < kNarrowestTable || width > kWidestTable) return std::nullopt;
  ColumnLayout layout;
  const size_t shift = width == kWidestTable ? 1 : 0;  // the FIGI after the CUSIP
  for (size_t field = kNameOfIssuer; field <= kCusip; ++field) layout.cell[field] = field;
  for (size_t field = kValue; field <= (width == kNarrowestTable ? kVotingShared : kVotingNone); ++field)
    layout.cell[field] = field + shift;
  if (shift) layout.cell[kFigi] = kCusip + 1;
  layout.votingKindWord = width == kNarrowestTable;
  return layout;
}

std::optional<ColumnLayout> LayoutForFilledCells(size_t count) {
  if (count == kWidestTable) return std::nullopt;
  return LayoutForWidth(count);
}

std::string FilledCellsRefusal(size_t count) {
  return "The row has " + std::to_string(count) + " filled cells, but a row needs " +
         std::to_string(kNarrowestTable) + ", " + std::to_string(kNarrowestTable + 1) + " or " +
         std::to_string(kWidestTable) + " columns, or a heading row that names them";
}

std::string ShortRowRefusal(size_t cells, const ColumnLayout& layout) {
  size_t width = 0;
  std::string firstMissing = "the last";
  for (size_t field = 0; field < kInfoTableFieldCount; ++field) {
    if (!layout.cell[field]) continue;
    width = std::max(width, *layout.cell[field] + 1);
    if (*layout.cell[field] == cells) firstMissing = FieldCaption(field);
  }
  if (layout.votingKindWord && cells == *layout.cell[kVotingShared]) firstMissing = "Voting authority kind";
  return "The row has " + std::to_string(cells) + " cells, but the table's rows have " +
         std::to_string(width) + ": its columns from " + firstMissing + " on are missing";
}

std::string LackingColumnRefusal(const std::vector<size_t>& fields) {
  std::string names;
  for (size_t i = 0; i < fields.size(); ++i)
    names += std::string(i == 0 ? "" : i + 1 == fields.size() ? " or " : ", ") + FieldCaption(fields[i]);
  return "the copy lacks the " + names +
         " column: every row's cells after it stand one column off. Copy the table again with every column, or "
         "with a heading row";
}
