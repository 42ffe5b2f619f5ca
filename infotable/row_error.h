// What a conversion reports of a row or of the whole table.
#pragma once

#include <cstdint>
#include <string>

enum class RowErrorKind { kInvalidCharacter, kInvalidFields, kNotAcceptedByEdgar };

struct RowError {
  RowErrorKind kind;
  uint32_t row;        // numbers the non-blank lines from 1, headings included; 0 for the whole table
  std::string line;    // the row's cells as ShowCells shows them; empty for EDGAR's findings
  std::string reason;  // what is wrong, naming the column; empty for an invalid character
};

// The plain-text heading of an error line, such as "Invalid character in row
// 3"; row 0 stands for the whole table and gives "Not accepted by EDGAR".
std::string ErrorLineHeading(RowErrorKind kind, uint32_t rowNumber);

// The plain text of an error line after its heading: the line, then the reason.
std::string RowErrorText(const RowError& error);

// "2 rows refused and left out of the document."
std::string RefusedRowsText(uint32_t refusedRows);
