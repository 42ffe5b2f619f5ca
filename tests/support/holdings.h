// Holdings for tests: each name its own security, with a valid CUSIP.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>

#include "infotable/filing_checks.h"

// A CUSIP of eight letters and digits taken from `name`, and its check
// digit: 36 to the 8th of them, so that a table of EDGAR's largest size has
// no two names with the same one.
inline std::string CusipFor(const std::string& name) {
  static const char kCharacters[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  uint64_t hash = std::hash<std::string>{}(name);
  std::string cusip;
  for (int i = 0; i < 8; ++i, hash /= 36) cusip += kCharacters[hash % 36];
  return cusip + static_cast<char>('0' + *CusipCheckDigit(cusip));
}

// One sheet row as a spreadsheet copies it: cells between tabs, CR LF after.
inline std::string SheetLine(std::initializer_list<std::string> cells) {
  std::string line;
  for (const std::string& cell : cells) line += (line.empty() ? "" : "\t") + cell;
  return line + "\r\n";
}

// A good row of the SEC's twelve columns: one share of `name`'s own security
// worth `value`, so that no value reads as the price of a share in thousands.
inline std::string HoldingLine(const std::string& name, const std::string& value) {
  return SheetLine({name, "COM", CusipFor(name), value, "1", "SH", "n/a", "SOLE", "n/a", "1", "0", "0"});
}
