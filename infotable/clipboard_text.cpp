#include "infotable/clipboard_text.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "infotable/byte_words.h"
#include "infotable/cell_line.h"
#include "infotable/heading.h"
#include "infotable/large_buffer.h"

namespace {

bool IsBlankLine(std::string_view line) {
  return std::all_of(line.begin(), line.end(), [](char c) { return c == ' ' || c == '\t'; });
}

// The closing quote of a quoted cell whose text starts at `at`: the first
// quote that is not one of a pair. Null when the text has none.
const char* ClosingQuote(const char* at, const char* end) {
  for (;;) {
    at = static_cast<const char*>(std::memchr(at, '"', static_cast<size_t>(end - at)));
    if (!at || at + 1 == end || at[1] != '"') return at;
    at += 2;
  }
}

// The closing quote of a cell as Apple Numbers quotes one with a line break
// in it: its inner quotes are not doubled, so the close is the first quote
// after a line break that ends the cell. Null when there is none.
const char* UndoubledClosingQuote(const char* at, const char* end) {
  constexpr size_t kLongestCell = 1 << 16;
  if (static_cast<size_t>(end - at) > kLongestCell) end = at + kLongestCell;
  const char* lineBreak = nullptr;
  for (; at != end; ++at) {
    if (*at == '\t' && !lineBreak) return nullptr;  // a cell ended before any line break
    if (*at == '\n' || *at == '\r') lineBreak = at;
    if (*at == '"' && lineBreak && (at + 1 == end || at[1] == '\t' || at[1] == '\n' || at[1] == '\r'))
      return at;
  }
  return nullptr;
}

// A quoted cell's text: a pair of quotes is one, unless `doubled` is false,
// and a tab or line break a blank.
void AppendQuotedText(std::string& out, const char* at, const char* end, bool doubled = true) {
  for (; at != end; ++at) {
    if (*at == '"' && doubled) {
      ++at;  // the first of a pair
    } else if (*at == '\r' && at + 1 != end && at[1] == '\n') {
      continue;  // the line feed after it gives the blank
    }
    out += *at == '\t' || *at == '\r' || *at == '\n' ? ' ' : *at;
  }
}

// Reads the copy one spreadsheet row at a time: a line, or the lines that a
// quoted cell holds together, as Excel, Google Sheets and LibreOffice quote a
// cell with a line break, a tab or a quote in it. A quote that opens no whole
// cell is text.
class RecordReader {
 public:
  explicit RecordReader(std::string_view text) : at_(text.data()), end_(text.data() + text.size()) {}

  bool AtEnd() const { return at_ == end_; }

  // The next row; `quoted` tells whether it is a view of its own text rather
  // than of the copy. A row with a quote that no later quote closes is read
  // as it stands, and `unclosed` is set.
  std::string_view Next(bool& quoted, bool& unclosed) {
    const char* lineEnd = static_cast<const char*>(std::memchr(at_, '\n', static_cast<size_t>(end_ - at_)));
    if (!lineEnd) lineEnd = end_;
    if (const void* cr = std::memchr(at_, '\r', static_cast<size_t>(lineEnd - at_)))
      lineEnd = static_cast<const char*>(cr);
    quoted = std::memchr(at_, '"', static_cast<size_t>(lineEnd - at_)) != nullptr;
    std::string_view row;
    if (quoted) {
      row = ReadQuoted(unclosed);
    } else {
      row = std::string_view(at_, static_cast<size_t>(lineEnd - at_));
      at_ = lineEnd;
    }
    // One line break ends a row: CR LF, LF or CR.
    if (at_ != end_ && *at_ == '\r') {
      if (++at_ != end_ && *at_ == '\n') ++at_;
    } else if (at_ != end_ && *at_ == '\n') {
      ++at_;
    }
    return row;
  }

 private:
  std::string_view ReadQuoted(bool& unclosed) {
    text_.clear();
    bool cellStart = true;
    while (at_ != end_ && *at_ != '\n' && *at_ != '\r') {
      if (cellStart && *at_ == '"' && at_ < noCloseFrom_) {
        const char* close = ClosingQuote(at_ + 1, end_);
        if (!close) {
          noCloseFrom_ = at_;  // nor for any quote after this one
          unclosed = true;
        } else if (close + 1 == end_ || close[1] == '\t' || close[1] == '\n' || close[1] == '\r') {
          AppendQuotedText(text_, at_ + 1, close);
          at_ = close + 1;
          cellStart = false;
          continue;
        } else if (const char* undoubled = UndoubledClosingQuote(at_ + 1, end_)) {
          AppendQuotedText(text_, at_ + 1, undoubled, false);
          at_ = undoubled + 1;
          cellStart = false;
          continue;
        }
      } else if (cellStart && *at_ == '"') {
        unclosed = true;
      }
      cellStart = *at_ == '\t';
      text_ += *at_++;
    }
    return text_;
  }

  const char* at_;
  const char* const end_;
  const char* noCloseFrom_ = end_ + 1;
  std::string text_;
};

// Where a line's cells hold anything.
struct LineShape {
  size_t cells = 0;
  size_t firstFilled = SIZE_MAX;
  size_t lastFilled = 0;
};

// Where a line's cells hold anything, and whether a blank must go: one that
// starts or ends a cell, or follows another. Eight bytes at a time, each
// byte's flags shifted onto the next byte to see what came before it.
LineShape ShapeOf(std::string_view line, bool& needsCleaning) {
  LineShape shape;
  size_t tabs = 0, at = 0;
  uint64_t blankBefore = 0, tabBefore = 0x80;  // the line starts as after a tab
  uint64_t cleaning = 0;
  if constexpr (kLowByteFirst) {
    // The cell of the byte at `place` in a word with `tabsBefore` tabs before it.
    const auto cellAt = [](size_t tabsBefore, uint64_t tabMarks, size_t place) {
      return tabsBefore + MarkedBytes(tabMarks & BytesBefore(place));
    };
    uint64_t lastFilled = 0, lastTabMarks = 0;  // of the last word with a filled byte
    size_t lastTabsBefore = 0;
    for (; at + kWordBytes <= line.size(); at += kWordBytes) {
      const uint64_t word = LoadWord(line.data() + at);
      const uint64_t blanks = BytesEqual(word, ' '), tabMarks = BytesEqual(word, '\t');
      const uint64_t afterBlank = (blanks << 8) | blankBefore, afterTab = (tabMarks << 8) | tabBefore;
      cleaning |= (blanks & (afterBlank | afterTab)) | (tabMarks & afterBlank);
      if (const uint64_t filled = ~(blanks | tabMarks) & kHighBits) {
        if (shape.firstFilled == SIZE_MAX)
          shape.firstFilled = cellAt(tabs, tabMarks, FirstMarkedPlace(filled));
        lastFilled = filled;
        lastTabMarks = tabMarks;
        lastTabsBefore = tabs;
      }
      tabs += MarkedBytes(tabMarks);
      blankBefore = blanks >> 56;
      tabBefore = tabMarks >> 56;
    }
    if (lastFilled) shape.lastFilled = cellAt(lastTabsBefore, lastTabMarks, LastMarkedPlace(lastFilled));
  }
  char previous = blankBefore ? ' ' : tabBefore ? '\t' : 'x';
  bool cleanTail = false;
  for (; at < line.size(); ++at) {
    const char c = line[at];
    if (c == ' ') {
      cleanTail |= previous == ' ' || previous == '\t';
    } else if (c == '\t') {
      cleanTail |= previous == ' ';
      ++tabs;
    } else {
      shape.firstFilled = std::min(shape.firstFilled, tabs);
      shape.lastFilled = tabs;
    }
    previous = c;
  }
  shape.cells = tabs + 1;
  needsCleaning = cleaning != 0 || cleanTail || previous == ' ';
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

// Lines to be joined into one row: `first` to `last`.
struct Join {
  size_t first, last;
  bool listed;  // a break in the first cell: to be checked
};

// Whether `line` is the sheet's row right after the line before it.
bool FollowsOn(const NormalizedText& text, size_t line) {
  return line < text.lines.size() && text.rows[line] == text.rows[line - 1] + 1;
}

// The lines `first` to `last` joined, one blank where each break was.
std::string Joined(const NormalizedText& text, size_t first, size_t last) {
  std::string whole(text.lines[first]);
  for (size_t part = first + 1; part <= last; ++part) (whole += ' ') += text.lines[part];
  return whole;
}

// The last line of a heading `first` to `last` once the lines of one cell
// that end its last caption are added, as a caption broken at its end
// leaves them: "VOTING AUTHORITY" over "NONE".
size_t ExtendHeading(const NormalizedText& text, const std::vector<LineShape>& shapes, size_t first,
                     size_t last) {
  if (!FollowsOn(text, last + 1) || shapes[last + 1].cells != 1) return last;  // most lines
  std::string whole = Joined(text, first, last);
  if (!MayBeHeading(whole)) return last;
  while (FollowsOn(text, last + 1) && shapes[last + 1].cells == 1) {
    const std::string caption = whole.substr(whole.rfind('\t') + 1) + " " + std::string(text.lines[last + 1]);
    if (!IsCaption(caption)) break;
    (whole += ' ') += text.lines[++last];
  }
  return last;
}

// The rows whose cells hold line breaks copied raw, as Gnumeric copies them:
// consecutive lines each narrower than the table that together make exactly
// its width. A break in the first cell leaves a line of one cell over a whole
// row: that is joined too unless the row is a heading, but it could also be a
// title over the table, so such rows are listed to be checked.
std::vector<Join> FindBrokenRows(const NormalizedText& text, const std::vector<LineShape>& shapes,
                                 size_t width) {
  std::vector<Join> joins;
  for (size_t first = 0; first < text.lines.size(); ++first) {
    if (shapes[first].cells >= width) {
      if (const size_t last = ExtendHeading(text, shapes, first, first); last > first) {
        joins.push_back({first, last, false});
        first = last;
      }
      continue;
    }
    size_t cells = shapes[first].cells, last = first;
    while (cells < width && FollowsOn(text, last + 1) && shapes[last + 1].cells < width) {
      ++last;
      cells += shapes[last].cells - 1;
    }
    const bool firstCellBroken = cells == 1 && last == first && FollowsOn(text, first + 1) &&
                                 shapes[first + 1].cells == width && !MayBeHeading(text.lines[first + 1]);
    if (firstCellBroken) {
      last = first + 1;
      cells = width;
    }
    if (cells != width || last == first) continue;
    if (!firstCellBroken) last = ExtendHeading(text, shapes, first, last);
    joins.push_back({first, last, firstCellBroken});
    first = last;
  }
  return joins;
}

// Joins the broken rows into one line each. Later rows are numbered as the
// sheet numbers them.
void JoinBrokenRows(NormalizedText& text, std::vector<LineShape>& shapes, size_t width) {
  const std::vector<Join> joins = FindBrokenRows(text, shapes, width);
  if (joins.empty()) return;
  size_t bytes = 0;
  for (const Join& join : joins)
    for (size_t line = join.first; line <= join.last; ++line) bytes += text.lines[line].size() + 1;
  text.joined.reserve(bytes);
  size_t kept = 0, next = 0;
  uint32_t merged = 0;  // line breaks inside cells so far
  for (size_t line = 0; line < text.lines.size(); ++line, ++kept) {
    text.rows[kept] = text.rows[line] - merged;
    if (next < joins.size() && joins[next].first == line) {
      if (joins[next].listed) text.continuedFirstCells.push_back(text.rows[kept]);
      const size_t last = joins[next++].last;
      const std::string whole = Joined(text, line, last);
      bool needsCleaning;
      shapes[kept] = ShapeOf(whole, needsCleaning);
      text.lines[kept] = Store(text.joined, whole, 0, SIZE_MAX);
      merged += static_cast<uint32_t>(last - line);
      line = last;
      continue;
    }
    text.lines[kept] = text.lines[line];
    shapes[kept] = shapes[line];
  }
  text.lines.resize(kept);
  text.rows.resize(kept);
  shapes.resize(kept);
}

std::string_view WithoutByteOrderMark(std::string_view text) {
  constexpr std::string_view kMark = "\xEF\xBB\xBF";
  return text.substr(0, kMark.size()) == kMark ? text.substr(kMark.size()) : text;
}

}  // namespace

NormalizedText NormalizeClipboardText(std::string_view clipboard) {
  clipboard = WithoutByteOrderMark(clipboard);
  NormalizedText result;
  result.cleaned.reserve(clipboard.size());
  // Room for every line at once: a large table's vectors are not copied as they grow.
  const size_t lineBreaks = CountByte(clipboard, '\n') + 1;
  std::vector<LineShape> shapes;
  ReserveFilled(result.lines, lineBreaks);
  ReserveFilled(result.rows, lineBreaks);
  ReserveFilled(shapes, lineBreaks);
  size_t widest = 0;
  RecordReader reader(clipboard);
  for (uint32_t row = 1; !reader.AtEnd(); ++row) {
    bool quoted = false, unclosed = false;
    const std::string_view line = reader.Next(quoted, unclosed);
    if (unclosed && !result.unclosedQuoteRow) result.unclosedQuoteRow = row;
    if (IsBlankLine(line)) continue;
    bool needsCleaning;
    shapes.push_back(ShapeOf(line, needsCleaning));
    result.lines.push_back(needsCleaning || quoted ? Store(result.cleaned, line, 0, SIZE_MAX) : line);
    result.rows.push_back(row);
    widest = std::max(widest, shapes.back().cells);
  }
  JoinBrokenRows(result, shapes, widest);
  size_t left = SIZE_MAX, right = 0;
  for (const LineShape& shape : shapes) {
    left = std::min(left, shape.firstFilled);
    right = std::max(right, shape.lastFilled + 1);
  }
  if (right == 0) return result;
  result.width = right - left;
  if (left > 0 || widest > right) {  // edge columns empty on every line
    std::vector<char> kept;
    kept.reserve(clipboard.size());
    for (std::string_view& line : result.lines) line = Store(kept, line, left, right);
    result.cleaned.swap(kept);
    std::vector<char>().swap(result.joined);
  }
  return result;
}
