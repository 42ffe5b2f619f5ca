// The lines a conversion reports, gathered as they come: every RowError, and,
// when a preview is built, the status paragraph's lists in HTML, the checks
// before filing apart from the errors. Many lines alike (the same reason but
// for their rows) are one line that names the first rows and the count.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "infotable/row_error.h"

class ErrorList {
 public:
  // Adds to `errors`; builds the HTML lists only when `buildHtml`.
  ErrorList(std::vector<RowError>& errors, bool buildHtml) : errors_(errors), buildHtml_(buildHtml) {}

  void Add(RowError error);
  // Adds what the checks found and empties `found`; those of a row written as
  // `entry` lead to it.
  void AddAll(std::vector<RowError>& found, uint32_t entry = 0);

  // Makes the HTML lists once every line is in.
  void BuildHtml();
  const std::string& errorsHtml() const { return errorsHtml_; }
  // The lines of each group made one line, in the order of their "show all"
  // spans (data-group): "ENTRY\tROW\tTEXT\n" each, the text escaped, ENTRY 0
  // for a row not written.
  std::vector<std::string> TakeGroups() { return std::move(groups_); }
  const std::string& checksHtml() const { return checksHtml_; }

 private:
  std::vector<RowError>& errors_;
  const bool buildHtml_;
  std::string errorsHtml_, checksHtml_;
  std::vector<std::string> groups_;
};

// Appends "<br><b>HEADING:</b> TEXT" with the text markup-escaped. A line
// that names a written row carries its entry number, so that it can lead to
// the row: "<b><span data-entry=ENTRY>HEADING</span>:</b>".
void AppendErrorLine(std::string& errorList, RowErrorKind kind, uint32_t rowNumber, uint32_t entry,
                     std::string_view text);

// The paragraph above the table: "No errors.", or why nothing was written,
// the count of refused rows and the error list, and the rows to check
// before filing under a heading of their own; last, the other managers the
// table names and `note`, a line for each of its lines. With
// `listUnchecked` the rows were not checked against the SEC's list: no
// error is then "No errors." but says so.
std::string StatusParagraph(const std::string& errorList, const std::string& checkList, uint32_t refusedRows,
                            const std::string& nothingWritten = "",
                            const std::vector<unsigned long>& managersUsed = {}, const std::string& note = "",
                            bool listUnchecked = false);

// "Other included managers named: 1, 2 (2 for the summary page's count)."
std::string ManagersUsedText(const std::vector<unsigned long>& managersUsed);
