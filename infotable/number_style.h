// How a table writes its numbers. Filers' sheets group thousands with a
// comma, a period, an apostrophe or a blank and mark decimals with a period
// or a comma, by their locale; which mark is the decimal one is read from the
// table's own numbers, never guessed from one cell.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

enum class DecimalMark : uint8_t {
  kUnknown,  // no cell tells, or cells disagree
  kPeriod,   // 1,234.56  1'234.56  1 234.5
  kComma,    // 1.234,56  1 234,56  1.250.000
};

// The marks of an amount, as DecimalMarkOf weighs them.
struct AmountShape {
  int periods = 0, commas = 0;
  char last = 0;                 // the last period or comma
  int digitsAfterLast = 0;       // digits after it
  int digitsBeforeFirst = 0;     // digits before the first period or comma
  bool leadingZeroOnly = false;  // a lone "0" before it
  bool otherGroups = false;      // apostrophes or blanks between digits before it
};

// The decimal mark an amount of this shape can only be read with.
DecimalMark DecimalMarkOf(const AmountShape& shape);

// The decimal mark an amount cell can only be read with: "1,234.56" and
// "12.5" say a period, "1.234,56", "12,5" and "1.250.000" a comma; "1,500",
// "838.500" and "1234" say nothing. Bytes outside ASCII count as blanks.
DecimalMark DecimalMarkOf(std::string_view cell);

// The decimal mark of a table, fed its amount cells.
class NumberStyleReader {
 public:
  void See(std::string_view cell);
  // The mark most cells that tell one told, unknown when none told or as
  // many told the one as the other; a cell that tells the other is refused.
  DecimalMark Mark() const;
  // How many cells told a mark.
  size_t Told() const { return periods_ + commas_; }

 private:
  size_t periods_ = 0, commas_ = 0;
};
