// The HTML preview of a capture: the status paragraph with the row errors,
// then a table of the accepted rows, in final, markup-escaped form.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "infotable/fields.h"
#include "infotable/row_error.h"

// The style of the preview's cells, which the window's page defines too.
constexpr const char* kPreviewCellStyle = "td.itbl {padding:0 2px;border:1px solid #e0e0e0;font:11px Arial}";

// A new preview holding the table head; a FIGI column only `withFigi`.
std::string BeginPreview(bool withFigi);
void AppendPreviewRow(std::string& preview, uint32_t entryNumber, const InfoTableRow& row, bool withFigi);

// Appends "<br><b>HEADING:</b> TEXT" with the text markup-escaped.
void AppendErrorLine(std::string& errorList, RowErrorKind kind, uint32_t rowNumber, std::string_view text);

// The paragraph above the table: "No errors.", or the count of refused rows
// and the error list.
std::string StatusParagraph(const std::string& errorList, uint32_t refusedRows);

// A page of its own for the preview, with the style its markup relies on.
std::string PreviewPage(const std::string& status, const std::string& table);
