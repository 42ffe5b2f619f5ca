// The holdings of a 13F information table as a later quarter compares them:
// last quarter's filing as EDGAR serves it (values in thousands before 2023,
// in dollars since, with or without namespace prefixes), a submission with
// the table attached, or the table just written.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "infotable/fields.h"
#include "infotable/refusal.h"

struct FiledHolding {
  uint64_t key = 0;  // HoldingKey: CUSIP, class, put/call, discretion, other managers
  std::string name, cusip;
  uint64_t value = 0;  // in dollars
  uint64_t shares = 0;
  bool inShares = false;  // SH, no put/call: value / shares is a price
  uint32_t row = 0;       // the sheet row of a table being written; 0 for a filed one
};

// The holding an accepted row files; `row` is its sheet row.
FiledHolding HoldingOf(const InfoTableRow& row, uint32_t sheetRow);

struct FiledTable {
  std::vector<FiledHolding> holdings;  // in entry order
  bool valuesWereThousands = false;    // brought to dollars
  std::string period;                  // YYYY-MM-DD, when a submission gives it
};

// Reads the table of the file at `path`. Its values are in thousands when a
// submission's period ended before 2022-12-31, or, for a table alone, when
// value / shares says so (a median price below $1); `asWritten` takes the
// values as they stand (the table of this quarter). Refused, with why, when
// the file can't be read or holds no information table.
Refusal ReadFiledTable(const std::string& path, bool asWritten, FiledTable& table);
