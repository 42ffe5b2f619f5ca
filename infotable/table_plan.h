// How each line of a table is read, decided before any is: a heading holds
// for the lines after it, and lines above it may be part of it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "infotable/clipboard_text.h"
#include "infotable/heading.h"
#include "infotable/number_style.h"
#include "infotable/row_error.h"

// How one line is read.
struct LineReading {
  enum Kind : uint8_t {
    kHeading,      // part of a heading: neither an entry nor an error
    kLayout,       // by layouts[layout]
    kFilledCells,  // no layout of its own: by its filled cells
    kShort,        // narrower than the table by more than its voting columns: refused
    kLacking,      // a row of a table that lacks a column (TablePlan::lackingFields): refused
  };
  Kind kind = kFilledCells;
  uint32_t layout = 0;
};

struct TablePlan {
  const std::vector<std::string_view>& lines;
  std::vector<ColumnLayout> layouts;
  std::vector<LineReading> reading;  // per line
  bool hasHeading = false;
  bool showsFigi = false;                           // some row holds a FIGI
  std::vector<size_t> lackingFields;                // a column a table without a heading lacks: its field, or fields alike
  DecimalMark decimalMark = DecimalMark::kUnknown;  // as the table's amounts tell it
  // Headings whose value column gives thousands: the line and the caption.
  std::vector<std::pair<size_t, std::string>> thousandsCaptions;
  // What a heading line says of itself: columns read by their position, or
  // columns it names for no field a row needs.
  struct HeadingNote {
    size_t line;
    RowErrorKind kind;
    std::string text;
  };
  std::vector<HeadingNote> headingNotes;
};

// The plan for the lines of `normalized`, which must outlive it.
TablePlan PlanTable(const NormalizedText& normalized);

// Whether the lines can be a table at all: wide enough, or with a heading.
bool IsTable(const TablePlan& plan);

// The cells of a row of the table without a heading; 0 when it has none.
size_t TableCells(const TablePlan& plan);
