// This quarter's table against last quarter's filing: what the filer's own
// last filing says is likely wrong now (checks before filing), and what
// changed (the comparison a filer reads, and its CSV).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "infotable/previous_filing.h"

struct QuarterComparison {
  std::vector<std::string> checks;  // each names the entry ("entry 12, APPLE INC: ...")
  uint32_t added = 0, closed = 0;   // holdings new this quarter, and gone since last
  std::string csv;                  // every holding that changed, new or closed
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
