// A generated information table of clean rows, the size of a large filing:
// every CUSIP with its check digit, prices of a few dollars to a few
// thousand, no holding twice. With `wrongCheckDigits` every row earns a
// check line instead: its CUSIP's last digit is one off.
#pragma once

#include <cstdio>
#include <string>

#include "infotable/filing_checks.h"

inline std::string GenerateTable(int rows, bool wrongCheckDigits = false) {
  std::string table;
  char line[512], cusip[16];
  for (int i = 0; i < rows; ++i) {
    std::snprintf(cusip, sizeof cusip, "%08d", (10000000 + i * 7) % 100000000);
    std::snprintf(
        line, sizeof line,
        "ISSUER NUMBER %d HOLDINGS CORP\tCOM CL A\t%s%d\t$%d,%03d.40\t%d\tSH\t%s\tSOLE\t%s\t%d\t0\t0\r\n", i,
        cusip, (*CusipCheckDigit(cusip) + (wrongCheckDigits ? 1 : 0)) % 10, i % 900 + 1, i % 1000,
        i % 500 + 10, i % 10 == 0 ? "Call" : "n/a", i % 5 == 0 ? "1,2" : "n/a", i % 500 + 10);
    table += line;
  }
  return table;
}
