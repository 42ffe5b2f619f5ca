// The two outputs of a capture: the EDGAR Form 13F information table XML
// document and the HTML preview (status paragraph with the row errors, then a
// table of the accepted rows). Rows come in final, markup-escaped form.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "infotable/row.h"

constexpr const char* kInformationTableNamespace =
    "http://www.sec.gov/edgar/document/thirteenf/informationtable";
constexpr const char* kSchemaInstanceNamespace = "http://www.w3.org/2001/XMLSchema-instance";

// The XML declaration and the informationTable start tag, CR LF line ends.
std::string FormatDocumentHead();
// One infoTable element; figi, putCall and otherManager only when not empty.
std::string FormatInfoTableEntry(const InfoTableRow& row);
// FormatInfoTableEntry appended to `out`.
void AppendInfoTableEntry(std::string& out, const InfoTableRow& row);
std::string FormatDocumentEnd();

// The first `limit` characters of escaped text, a character reference or a
// UTF-8 sequence counting as one character and never cut through.
std::string_view CutCharacters(std::string_view text, size_t limit);
// Characters of escaped text, counted as CutCharacters counts them.
size_t CountCharacters(std::string_view text);

// A new preview holding the table head; a FIGI column only `withFigi`.
std::string BeginPreview(bool withFigi);
void AppendPreviewRow(std::string& preview, uint32_t entryNumber, const InfoTableRow& row, bool withFigi);

enum class RowErrorKind { kInvalidCharacter, kInvalidFields, kNotAcceptedByEdgar };

// The plain-text heading of an error line, such as "Invalid character in row
// 3"; row 0 stands for the whole table and gives "Not accepted by EDGAR".
std::string ErrorLineHeading(RowErrorKind kind, uint32_t rowNumber);

// Appends "<br><b>HEADING:</b> TEXT" with the text markup-escaped.
void AppendErrorLine(std::string& errorList, RowErrorKind kind, uint32_t rowNumber, std::string_view text);

// The paragraph above the table: "No errors.", or the count of refused rows
// and the error list.
std::string StatusParagraph(const std::string& errorList, uint32_t refusedRows);

// "2 rows refused and left out of the document."
std::string RefusedRowsText(uint32_t refusedRows);

// "1234567.5" gives "1,234,567.5"; leading white space is dropped, a minus kept.
std::string GroupThousands(std::string_view number);
