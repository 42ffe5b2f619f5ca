#include "infotable/row_error.h"

#include "infotable/text_forms.h"

std::string ErrorLineHeading(RowErrorKind kind, uint32_t rowNumber) {
  std::string heading;
  switch (kind) {
    case RowErrorKind::kInvalidCharacter: heading = "Invalid character"; break;
    case RowErrorKind::kInvalidFields: heading = "Invalid field(s)"; break;
    case RowErrorKind::kNotAcceptedByEdgar: heading = "Not accepted by EDGAR"; break;
    case RowErrorKind::kCheckBeforeFiling: heading = "Check before filing"; break;
  }
  if (rowNumber > 0) heading += " in row " + std::to_string(rowNumber);
  return heading;
}

std::string RowErrorText(const RowError& error) {
  if (error.line.empty() || error.reason.empty()) return error.line + error.reason;
  return error.line + " -- " + error.reason;
}

std::string RefusedRowsText(uint32_t refusedRows) {
  return std::to_string(refusedRows) + (refusedRows == 1 ? " row" : " rows") +
         " refused and left out of the document.";
}

std::string NothingToFileText(bool onlyHeading, std::string_view documentName, std::string_view source) {
  return (onlyHeading ? std::string(source) + " holds only a heading" : std::string("every row was refused")) +
         ", so the previous " + std::string(documentName) + " is kept as it was.";
}

std::string ContinuedFirstCellText() {
  return "the first cell goes on in the next line of the copy (a line break inside the cell), so the two "
         "lines are read as one row; check the issuer's name";
}

std::string UnclosedQuoteText() {
  return "a double quote opens a cell that no quote closes, so the cell and the rows after it are read "
         "as they stand, the quote included";
}

std::string PlainAsciiText(const std::string& changes) {
  return "the document holds plain ASCII, so " + changes;
}

std::string OneLineShown(std::string_view shownCells) {
  constexpr size_t kShown = 80;
  std::string shown(shownCells);
  if (CountCharacters(shown) > kShown) shown = std::string(CutCharacters(shown, kShown)) + "\xE2\x80\xA6";
  for (char& c : shown)
    if (c == '\t') c = ' ';
  return shown;
}
