// The clipboard's text cut into lines of cells, each cell cleaned of its end
// blanks, and shown back as an error line shows a row.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The clipboard's non-blank rows, each one line of cells. A line that needed
// no cleaning is a view of the clipboard text itself, the others are views of
// `cleaned` or `joined`.
struct NormalizedText {
  std::vector<std::string_view> lines;
  std::vector<uint32_t> rows;     // per line: the sheet row it came from, blank rows counted, from 1
  std::vector<char> cleaned;      // moves keep its bytes where the views see them
  std::vector<char> joined;       // rows whose cells held raw line breaks
  size_t width = 0;               // cells of the widest line
  uint32_t unclosedQuoteRow = 0;  // the first row with a quote that nothing closes
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

using Cells = std::vector<std::string_view>;

// Cuts at every separator; the text after the last one is always a cell.
Cells SplitFields(std::string_view line, char separator);
// SplitFields into `cells`, whose room is kept from line to line.
void SplitFields(std::string_view line, char separator, Cells& cells);

// The cells of a tab-separated line that hold anything.
size_t CountFilledCells(std::string_view line);

// The line with every cell cleaned as NormalizeClipboardText cleans it.
std::string CleanCells(std::string_view line);

// A line's cells as an error line shows them: tab-separated, an empty cell as
// "(blank)", at most 500 characters and then an ellipsis.
std::string ShowCells(std::string_view line);
