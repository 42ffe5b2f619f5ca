// The HTML preview of a capture: the status paragraph with the row errors,
// then a table of the accepted rows, in final, markup-escaped form.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "infotable/fields.h"
#include "infotable/row_error.h"

// The style of the preview's cells, which the window's page defines too.
constexpr const char* kPreviewCellStyle = "td.itbl {padding:0 2px;border:1px solid #e0e0e0;font:11px Arial}";

// A new preview holding the table head; a FIGI column only `withFigi`.
std::string BeginPreview(bool withFigi);
// A row of the table: the entry number, the sheet row it came from, its fields.
void AppendPreviewRow(std::string& preview, uint32_t entryNumber, uint32_t rowNumber, const InfoTableRow& row,
                      bool withFigi);

// Appends "<br><b>HEADING:</b> TEXT" with the text markup-escaped. A line
// that names a written row carries its entry number, so that it can lead to
// the row: "<b><span data-entry=ENTRY>HEADING</span>:</b>".
void AppendErrorLine(std::string& errorList, RowErrorKind kind, uint32_t rowNumber, uint32_t entry,
                     std::string_view text);

// The paragraph above the table: "No errors.", or why nothing was written,
// the count of refused rows and the error list, and the rows to check
// before filing under a heading of their own; last, the other managers the
// table names.
std::string StatusParagraph(const std::string& errorList, const std::string& checkList, uint32_t refusedRows,
                            const std::string& nothingWritten = "",
                            const std::vector<unsigned long>& managersUsed = {});

// "Other included managers named: 1, 2 (2 for the summary page's count)."
std::string ManagersUsedText(const std::vector<unsigned long>& managersUsed);

// The start of a page of its own for the preview, with the style its markup
// relies on; the status paragraph and the table follow it.
std::string PreviewPageStart();
