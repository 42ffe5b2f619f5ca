#include "infotable/drawn_width.h"

#include <algorithm>

namespace {

// Widths of Arial's printable ASCII characters, in thousandths of its size
// (Liberation Sans, which stands in for Arial here, has the same). A cell's
// count of characters does not rank it: "WWW" is far wider than "III".
constexpr uint16_t kArialWidths[95] = {
    278,  278, 355, 556, 556, 889, 667, 191, 333, 333, 389, 584, 278, 333, 278, 278,  // space to /
    556,  556, 556, 556, 556, 556, 556, 556, 556, 556, 278, 278, 584, 584, 584, 556,  // 0 to ?
    1015, 667, 667, 722, 722, 667, 611, 778, 722, 278, 500, 667, 556, 833, 722, 778,  // @ to O
    667,  778, 722, 667, 611, 722, 667, 944, 667, 667, 611, 278, 278, 278, 469, 556,  // P to _
    333,  556, 556, 500, 556, 556, 278, 556, 556, 222, 222, 500, 222, 833, 556, 556,  // ` to o
    556,  556, 333, 500, 278, 556, 500, 722, 500, 500, 500, 334, 260, 334, 584};      // p to ~
constexpr uint32_t kWidestCharacter = 1015;

constexpr std::array<uint16_t, 256> kCharacterWidths = [] {
  std::array<uint16_t, 256> widths{};
  for (size_t c = 0; c < 256; ++c) widths[c] = c >= ' ' && c <= '~' ? kArialWidths[c - ' '] : 556;
  return widths;
}();

// Of two rows drawn as wide, the earlier is kept: the widest rows of a table
// are then those of its blocks' widest, whatever the blocks.
bool DrawnWider(const std::pair<uint32_t, uint32_t>& a, const std::pair<uint32_t, uint32_t>& b) {
  return a.first > b.first || (a.first == b.first && a.first > 0 && a.second < b.second);
}

}  // namespace

uint32_t DrawnWidth(std::string_view text) {
  uint32_t width = 0;
  for (char c : text) width += kCharacterWidths[static_cast<unsigned char>(c)];
  if (text.find('&') == std::string_view::npos) return width;  // most cells
  for (const auto& [reference, character] :
       {std::pair<std::string_view, char>{"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}}) {
    uint32_t referenceWidth = 0;
    for (char c : reference) referenceWidth += kCharacterWidths[static_cast<unsigned char>(c)];
    const uint32_t shown = kCharacterWidths[static_cast<unsigned char>(character)];
    for (size_t at = text.find(reference); at != std::string_view::npos; at = text.find(reference, at + 1))
      width -= referenceWidth - shown;
  }
  return width;
}

void OfferWidest(std::vector<WidestInColumn>& widest, size_t column, uint32_t width, uint32_t row) {
  if (widest.size() <= column) widest.resize(column + 1, WidestInColumn{});
  WidestInColumn& best = widest[column];
  if (width <= best.back().first) return;
  best.back() = {width, row};
  std::sort(best.begin(), best.end(), DrawnWider);
}

void NoteWidth(std::vector<WidestInColumn>& widest, const std::string& cells, size_t column,
               size_t start, uint32_t row) {
  const std::string_view cell = std::string_view(cells).substr(start, cells.size() - start - 1);
  if (widest.size() > column && cell.size() * kWidestCharacter <= widest[column].back().first)
    return;  // most cells: too short to tell
  OfferWidest(widest, column, DrawnWidth(cell), row);
}

