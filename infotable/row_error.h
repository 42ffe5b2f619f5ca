// What a conversion reports of a row or of the whole table.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// A row with invalid characters or invalid fields, or one that EDGAR would
// refuse; or a row that is written but looks wrong: checked before filing.
enum class RowErrorKind { kInvalidCharacter, kInvalidFields, kNotAcceptedByEdgar, kCheckBeforeFiling };

struct RowError {
  RowErrorKind kind;
  uint32_t row;        // the sheet row, from 1, blank rows and headings counted; 0 for the whole table
  std::string line;    // the row's cells as ShowCells shows them; empty for EDGAR's findings
  std::string reason;  // what is wrong, naming the column; empty for an invalid character
  uint32_t entry = 0;  // the entry the row was written as, when the line names a written row
};

// The plain-text heading of an error line, such as "Invalid character in row
// 3"; row 0 stands for the whole table and gives "Not accepted by EDGAR" or
// "Check before filing".
std::string ErrorLineHeading(RowErrorKind kind, uint32_t rowNumber);

// The plain text of an error line after its heading: the line, then the reason.
std::string RowErrorText(const RowError& error);

// "2 rows refused and left out of the document."
std::string RefusedRowsText(uint32_t refusedRows);

// Why a conversion wrote nothing and kept the previous document,
// `documentName`; `source` names what was converted ("the copy", "the table").
std::string NothingToFileText(bool onlyHeading, std::string_view documentName,
                              std::string_view source = "the copy");

// The checks the reading itself gives: a first cell read on from the next
// line of the copy, and a quote that nothing closes.
std::string ContinuedFirstCellText();
std::string UnclosedQuoteText();

// Why a row's characters are written as they are not in the sheet: `changes`
// as PlainAsciiLine words them.
std::string PlainAsciiText(const std::string& changes);

// A line as a message names it in one line: ShowCells' form, its tabs as
// blanks, at most 80 characters and then an ellipsis.
std::string OneLineShown(std::string_view shownCells);
