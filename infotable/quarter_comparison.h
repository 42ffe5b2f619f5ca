// This quarter's table against last quarter's filing: what the filer's own
// last filing says is likely wrong now (checks before filing), and what
// changed (the comparison a filer reads, and its CSV).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "infotable/previous_filing.h"
#include "infotable/row_error.h"

// A holding whose value or shares changed since last quarter, or that is new
// or closed.
struct HoldingChange {
  enum Kind : uint8_t { kChanged, kNew, kClosed } kind = kChanged;
  uint32_t entry = 0;  // this quarter's entry, from 1; 0 when closed
  uint32_t row = 0;    // its sheet row, when the table was just read
  std::string name, cusip;
  uint64_t valueBefore = 0, value = 0, sharesBefore = 0, shares = 0;  // 0 where there is none
};

struct QuarterComparison {
  // Checks before filing, each leading to its entry; the total's line is the
  // whole table's (row 0).
  std::vector<RowError> checks;
  uint32_t added = 0, closed = 0;      // holdings new this quarter, and gone since last
  std::vector<HoldingChange> changes;  // this quarter's in entry order, then the closed ones
};

// Holdings are matched by HoldingKey. The checks:
// - value per share changed by 100 times or more: rows in thousands or in
//   cents;
// - shares unchanged and the value 5 times or more, or a fifth or less, of
//   last quarter's: a move the market seldom makes in a quarter, and one a
//   unit slip or a wrong price does;
// - the same issuer's name under a CUSIP last quarter did not have, while
//   its old CUSIP is gone: a mistyped or outdated CUSIP;
// - the total 10 times or more, or a tenth or less, of last quarter's.
// New and closed holdings are counted, never checks.
QuarterComparison CompareQuarters(const FiledTable& previous, const FiledTable& current);

// "12 new holdings, 3 closed"
std::string NewAndClosedText(const QuarterComparison& comparison);

// Every change as CSV, a heading first.
std::string ComparisonCsv(const QuarterComparison& comparison);
