#include "infotable/clipboard_text.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "infotable/text_forms.h"

namespace {

bool IsBlankLine(std::string_view line) {
  return std::all_of(line.begin(), line.end(), [](char c) { return c == ' ' || c == '\t'; });
}

// Calls `take` with every line that holds more than blanks and tabs.
template <typename Take>
void ForEachLine(std::string_view text, Take take) {
  const char* at = text.data();
  const char* const end = at + text.size();
  while (at != end) {
    const char* lineEnd = static_cast<const char*>(std::memchr(at, '\n', static_cast<size_t>(end - at)));
    if (!lineEnd) lineEnd = end;
    if (const void* cr = std::memchr(at, '\r', static_cast<size_t>(lineEnd - at)))
      lineEnd = static_cast<const char*>(cr);
    const std::string_view line(at, static_cast<size_t>(lineEnd - at));
    if (!IsBlankLine(line)) take(line);
    at = lineEnd;
    while (at != end && (*at == '\r' || *at == '\n')) ++at;
  }
}

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

// Appends a cell without its end blanks and with inner runs of blanks made one.
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

// Appends the cells of `line` from `first` up to `last`, cleaned.
void AppendCleanLine(std::string& out, std::string_view line, size_t first, size_t last) {
  ForEachCell(line, '\t', [&](std::string_view cell, size_t index) {
    if (index < first || index >= last) return;
    if (index > first) out += '\t';
    AppendCleanCell(out, cell);
  });
}

// Where a line's cells hold anything.
struct LineShape {
  size_t cells = 0;
  size_t firstFilled = SIZE_MAX;
  size_t lastFilled = 0;
};

// Where a line's cells hold anything, and whether a blank must go.
LineShape ShapeOf(std::string_view line, bool& needsCleaning) {
  LineShape shape;
  needsCleaning = false;
  char previous = '\t';
  for (char c : line) {
    if (c == ' ') {
      needsCleaning |= previous == ' ' || previous == '\t';
    } else if (c == '\t') {
      needsCleaning |= previous == ' ';
      ++shape.cells;
    } else {
      shape.firstFilled = std::min(shape.firstFilled, shape.cells);
      shape.lastFilled = shape.cells;
    }
    previous = c;
  }
  ++shape.cells;
  needsCleaning |= previous == ' ';
  return shape;
}

// Appends a cleaned line to `store`, which never grows past the room it was
// given, so that views of what it holds stay valid.
std::string_view Store(std::vector<char>& store, std::string_view line, size_t first, size_t last) {
  std::string cleaned;
  AppendCleanLine(cleaned, line, first, last);
  const size_t at = store.size();
  store.insert(store.end(), cleaned.begin(), cleaned.end());
  return std::string_view(store.data() + at, cleaned.size());
}

}  // namespace

NormalizedText NormalizeClipboardText(std::string_view clipboard) {
  NormalizedText result;
  result.cleaned.reserve(clipboard.size());
  size_t left = SIZE_MAX, right = 0, widest = 0;
  ForEachLine(clipboard, [&](std::string_view line) {
    bool needsCleaning;
    const LineShape shape = ShapeOf(line, needsCleaning);
    result.lines.push_back(needsCleaning ? Store(result.cleaned, line, 0, SIZE_MAX) : line);
    left = std::min(left, shape.firstFilled);
    right = std::max(right, shape.lastFilled + 1);
    widest = std::max(widest, shape.cells);
  });
  if (right == 0) return result;
  result.width = right - left;
  if (left > 0 || widest > right) {  // edge columns empty on every line
    std::vector<char> kept;
    kept.reserve(clipboard.size());
    for (std::string_view& line : result.lines) line = Store(kept, line, left, right);
    result.cleaned.swap(kept);
  }
  return result;
}

Cells SplitFields(std::string_view line, char separator) {
  Cells cells;
  SplitFields(line, separator, cells);
  return cells;
}

void SplitFields(std::string_view line, char separator, Cells& cells) {
  cells.clear();
  ForEachCell(line, separator, [&](std::string_view cell, size_t) { cells.push_back(cell); });
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

size_t CountFilledCells(std::string_view line) {
  size_t count = 0;
  ForEachCell(line, '\t', [&](std::string_view cell, size_t) { count += !cell.empty(); });
  return count;
}

std::string CleanCells(std::string_view line) {
  std::string cleaned;
  cleaned.reserve(line.size());
  AppendCleanLine(cleaned, line, 0, SIZE_MAX);
  return cleaned;
}
