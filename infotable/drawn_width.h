// How wide the page draws a cell's text, and the few rows of each column
// drawn widest: laid out with the head, they give the whole table's column
// widths without laying out every row.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// A column's rows drawn widest, widest first, as (width, row); a width of 0
// is no row.
using WidestInColumn = std::array<std::pair<uint32_t, uint32_t>, 3>;

// How wide a cell's text is drawn, in thousandths of the font's size; a
// character reference counts as its character.
uint32_t DrawnWidth(std::string_view text);

// Keeps (width, row) among a column's widest when it is drawn wider than the
// third widest so far, `row` coming after every row offered before.
void OfferWidest(std::vector<WidestInColumn>& widest, size_t column, uint32_t width, uint32_t row);

// Offers a cell just appended to `cells` from `start`, its end included.
void NoteWidth(std::vector<WidestInColumn>& widest, const std::string& cells, size_t column, size_t start,
               uint32_t row);
