// A line of cells as the reading passes it along: cells separated by one tab
// each, cut, cleaned, counted and shown back as an error line shows a row.
// The bottom of the reading: it knows nothing of headings or fields.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "infotable/byte_words.h"

using Cells = std::vector<std::string_view>;

// Calls `take` with every cell of a line and its index; the text after the
// last separator is always a cell. The separators are found eight bytes at a
// time.
template <typename Take>
void ForEachCell(std::string_view line, char separator, Take take) {
  const char* const text = line.data();
  size_t start = 0, index = 0, at = 0;
  if constexpr (kLowByteFirst)
    for (; at + kWordBytes <= line.size(); at += kWordBytes)
      for (uint64_t found = BytesEqual(LoadWord(text + at), static_cast<unsigned char>(separator)); found;
           found &= found - 1) {
        const size_t end = at + FirstMarkedPlace(found);
        take(std::string_view(text + start, end - start), index++);
        start = end + 1;
      }
  for (; at < line.size(); ++at)
    if (text[at] == separator) {
      take(std::string_view(text + start, at - start), index++);
      start = at + 1;
    }
  take(std::string_view(text + start, line.size() - start), index);
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
