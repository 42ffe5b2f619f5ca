#include "workbook/sheet_text.h"

#include <charconv>
#include <cmath>

std::string TooManyTypedCells(const std::string& sheet) {
  return "holds more dates, yes-or-no values and formula errors in sheet \"" + sheet + "\" than a table of " +
         "EDGAR's largest size has cells";
}

std::string ColumnLetters(uint32_t column) {
  std::string letters;
  for (; column > 0; column = (column - 1) / 26)
    letters.insert(letters.begin(), static_cast<char>('A' + (column - 1) % 26));
  return letters;
}

std::string CellName(uint32_t row, uint32_t column) { return ColumnLetters(column) + std::to_string(row); }

uint32_t ColumnNumber(std::string_view letters) {
  uint32_t column = 0;
  for (char c : letters) {
    if (c < 'A' || c > 'Z' || column > 1000000) return 0;
    column = column * 26 + static_cast<uint32_t>(c - 'A' + 1);
  }
  return column;
}

std::string NumberText(std::string_view held) {
  while (!held.empty() && held.front() == ' ') held.remove_prefix(1);
  while (!held.empty() && held.back() == ' ') held.remove_suffix(1);
  if (!held.empty() && held.front() == '+') held.remove_prefix(1);
  double number = 0;
  const auto [end, error] = std::from_chars(held.data(), held.data() + held.size(), number);
  if (held.empty() || error != std::errc() || end != held.data() + held.size() || !std::isfinite(number))
    return "";
  char text[400];
  const auto written = std::to_chars(text, text + sizeof text, number, std::chars_format::fixed);
  if (written.ec != std::errc()) return "";
  std::string shown(text, written.ptr);
  return shown == "-0" ? "0" : shown;
}

Refusal SheetTextWriter::Cell(uint32_t row, uint32_t column, std::string_view text) {
  if (text.empty()) return std::nullopt;
  if (row < row_ || (row == row_ && column <= column_) || column == 0)
    return "is damaged: its sheet \"" + sheet_.name + "\" holds cell " + CellName(row, column) +
           " out of order";
  if (row > row_) {
    sheet_.text.append(row - row_, '\n');
    row_ = row;
    column_ = 0;
  }
  if (column_ == 0) sheet_.rowStarts.emplace_back(row, sheet_.text.size());
  sheet_.text.append(column - column_ - 1, '\t');
  if (column_ > 0) sheet_.text += '\t';
  column_ = column;
  if (text.find_first_of("\t\r\n\"") == std::string_view::npos) {
    sheet_.text.append(text);
  } else {
    sheet_.text += '"';
    for (char c : text) {
      if (c == '"') sheet_.text += '"';
      sheet_.text += c;
    }
    sheet_.text += '"';
  }
  return Reserve(0, row);
}

Refusal SheetTextWriter::Reserve(size_t bytes, uint32_t row) const {
  if (sheet_.text.size() + bytes <= kSheetTextLimit) return std::nullopt;
  return "holds more in sheet \"" + sheet_.name +
         "\" than a table of EDGAR's largest size: " + std::to_string(kSheetTextLimit >> 20) +
         " MB of text by row " + std::to_string(row);
}

void SheetTextWriter::Finish() {
  if (!sheet_.text.empty()) sheet_.text += '\n';
}
