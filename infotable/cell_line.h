// A line of cells as the reading passes it along: cells separated by one tab
// each, cut, cleaned, counted and shown back as an error line shows a row.
// The bottom of the reading: it knows nothing of headings or fields.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

using Cells = std::vector<std::string_view>;

// Calls `take` with every cell of a line and its index; the text after the
// last separator is always a cell.
template <typename Take>
void ForEachCell(std::string_view line, char separator, Take take) {
  const char* at = line.data();
  const char* const end = at + line.size();
  for (size_t index = 0;; ++index) {
    const char* cellEnd = at;
    while (cellEnd != end && *cellEnd != separator) ++cellEnd;
    take(std::string_view(at, static_cast<size_t>(cellEnd - at)), index);
    if (cellEnd == end) return;
    at = cellEnd + 1;
  }
}

// Cuts at every separator; the text after the last one is always a cell.
Cells SplitFields(std::string_view line, char separator);
// SplitFields into `cells`, whose room is kept from line to line.
void SplitFields(std::string_view line, char separator, Cells& cells);

// The cells of a tab-separated line that hold anything.
size_t CountFilledCells(std::string_view line);
// The cells of a tab-separated line, empty ones too.
size_t CellCount(std::string_view line);

// Appends a cell without its end blanks and with inner runs of blanks made one.
void AppendCleanCell(std::string& out, std::string_view cell);
// Appends the cells of `line` from `first` up to `last`, each cleaned.
void AppendCleanLine(std::string& out, std::string_view line, size_t first, size_t last);
// The line with every cell cleaned.
std::string CleanCells(std::string_view line);

// A line's cells as an error line shows them: tab-separated, an empty cell as
// "(blank)", at most 500 characters and then an ellipsis.
std::string ShowCells(std::string_view line);
