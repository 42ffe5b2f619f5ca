// The clipboard's text cut into lines of cells, each cell cleaned of its end
// blanks, and shown back as an error line shows a row.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The clipboard's non-blank lines. A line that needed no cleaning is a view
// of the clipboard text itself, the others are views of `cleaned`.
struct NormalizedText {
  std::vector<std::string_view> lines;
  std::vector<char> cleaned;  // moves keep its bytes where the views see them
  size_t width = 0;           // cells of the widest line
};

// Keeps every cell where it stands: a line's cells are separated by one tab
// each, empty cells included, each cell's end blanks removed and inner runs of
// blanks made one. Columns at the left or right edge that are empty on every
// line are dropped. The lines view `clipboard`, which must outlive them.
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
