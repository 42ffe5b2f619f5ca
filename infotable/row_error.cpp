#include "infotable/row_error.h"

#include "infotable/edgar_limits.h"

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

std::string NothingToFileText(bool onlyHeading) {
  return std::string(onlyHeading ? "the copy holds only a heading" : "every row was refused") +
         ", so the previous " + kDocumentFileName + " is kept as it was.";
}
