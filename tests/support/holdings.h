// Holdings for tests: each name its own security, with a valid CUSIP.
#pragma once

#include <cstdint>
#include <functional>
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
