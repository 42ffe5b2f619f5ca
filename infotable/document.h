// The EDGAR Form 13F information table XML document, written from rows in
// final, markup-escaped form.
#pragma once

#include <string>

#include "infotable/fields.h"

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
