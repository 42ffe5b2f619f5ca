#include "infotable/cell_line.h"

#include <algorithm>

#include "infotable/byte_words.h"
#include "infotable/text_forms.h"

Cells SplitFields(std::string_view line, char separator) {
  Cells cells;
  SplitFields(line, separator, cells);
  return cells;
}

void SplitFields(std::string_view line, char separator, Cells& cells) {
  cells.clear();
  ForEachCell(line, separator, [&](std::string_view cell, size_t) { cells.push_back(cell); });
}

size_t CountFilledCells(std::string_view line) {
  size_t count = 0;
  ForEachCell(line, '\t', [&](std::string_view cell, size_t) { count += !cell.empty(); });
  return count;
}

size_t CellCount(std::string_view line) { return CountByte(line, '\t') + 1; }

void AppendCleanCell(std::string& out, std::string_view cell) {
  const char* at = cell.data();
  const char* const end = at + cell.size();
  bool first = true;
  for (;;) {
    while (at != end && *at == ' ') ++at;
    if (at == end) return;
    const char* word = at;
    while (at != end && *at != ' ') ++at;
    if (!first) out += ' ';
    out.append(word, static_cast<size_t>(at - word));
    first = false;
  }
}

void AppendCleanLine(std::string& out, std::string_view line, size_t first, size_t last) {
  ForEachCell(line, '\t', [&](std::string_view cell, size_t index) {
    if (index < first || index >= last) return;
    if (index > first) out += '\t';
    AppendCleanCell(out, cell);
  });
}

std::string CleanCells(std::string_view line) {
  std::string cleaned;
  cleaned.reserve(line.size());
  AppendCleanLine(cleaned, line, 0, SIZE_MAX);
  return cleaned;
}

std::string ShowCells(std::string_view line) {
  constexpr size_t kShownCharacters = 500;
  std::string shown;
  size_t characters = 0;
  bool cellEmpty = true;
  for (size_t i = 0; i <= line.size();) {
    if (i == line.size() || line[i] == '\t') {
      if (cellEmpty) shown += "(blank)";
      if (i == line.size()) break;
      cellEmpty = true;
    } else {
      cellEmpty = false;
    }
    if (characters++ == kShownCharacters) return shown + "\xE2\x80\xA6";  // an ellipsis
    const size_t length = std::max<size_t>(Utf8SequenceLength(line, i), 1);
    shown.append(line, i, length);
    i += length;
  }
  return shown;
}
