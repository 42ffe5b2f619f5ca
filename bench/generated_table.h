// A generated information table of clean rows, the size of a large filing.
#pragma once

#include <cstdio>
#include <string>

inline std::string GenerateTable(int rows) {
  std::string table;
  char line[512];
  for (int i = 0; i < rows; ++i) {
    std::snprintf(
        line, sizeof line,
        "ISSUER NUMBER %d HOLDINGS CORP\tCOM CL A\t%09d\t$%d,%03d.40\t%d\tSH\t%s\tSOLE\t%s\t%d\t0\t0\r\n", i,
        100000000 + i * 7, i % 900 + 1, i % 1000, i * 13 + 100, i % 10 == 0 ? "Call" : "n/a",
        i % 5 == 0 ? "1,2" : "n/a", i * 13 + 100);
    table += line;
  }
  return table;
}
