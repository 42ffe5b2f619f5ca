// The clipboard's text cut into lines of cells, each cell cleaned of its end
// blanks, and numbered as the sheet numbers its rows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The clipboard's non-blank rows, each one line of cells. A line that needed
// no cleaning is a view of the clipboard text itself, the others are views of
// `cleaned` or `joined`.
struct NormalizedText {
  std::vector<std::string_view> lines;
  std::vector<uint32_t> rows;  // per line: the sheet row it came from, blank rows counted, from 1
  std::vector<char> cleaned;   // moves keep its bytes where the views see them
  std::vector<char> joined;    // rows whose cells held raw line breaks
  size_t width = 0;            // cells of the widest line
  std::optional<uint32_t> unclosedQuoteRow;  // the first row with a quote that nothing closes
  // Rows read as one whose first cell went on in the next line of the copy.
  std::vector<uint32_t> continuedFirstCells;
};

// Keeps every cell where it stands: a line's cells are separated by one tab
// each, empty cells included, each cell's end blanks removed and inner runs of
// blanks made one. A quoted cell is read as spreadsheets quote it, and a row
// whose cells hold line breaks copied raw is joined again. Columns at the left
// or right edge that are empty on every line are dropped; a byte-order mark
// is passed over. The lines view `clipboard`, which must outlive them.
NormalizedText NormalizeClipboardText(std::string_view clipboard);
