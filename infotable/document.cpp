#include "infotable/document.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <initializer_list>

namespace {

constexpr size_t kNameLimit = 150;
constexpr size_t kCusipLimit = 9;

// Length of the character that starts at `position`: a whole character
// reference, a whole UTF-8 sequence, or one byte.
size_t CharacterLength(std::string_view text, size_t position) {
  if (text[position] == '&') {
    const size_t end = text.find(';', position);
    if (end != std::string_view::npos && end - position <= 8) return end - position + 1;
  }
  const size_t length = Utf8SequenceLength(text, position);
  return length == 0 ? 1 : length;
}

// Appends the parts with one size check: the document and the preview are
// millions of these small pieces.
void AppendAll(std::string& out, std::initializer_list<std::string_view> parts) {
  size_t size = 0;
  for (std::string_view part : parts) size += part.size();
  size_t at = out.size();
  if (out.capacity() < at + size) out.reserve(std::max(at + size, 2 * out.capacity()));
  out.resize(at + size);
  for (std::string_view part : parts) {
    std::memcpy(&out[at], part.data(), part.size());
    at += part.size();
  }
}

void AppendElement(std::string& out, std::string_view indent, std::string_view name, std::string_view text) {
  AppendAll(out, {indent, "<", name, ">", text, "</", name, ">\r\n"});
}

void AppendCell(std::string& out, std::string_view align, std::string_view text) {
  AppendAll(out, {"<TD class=itbl align=", align, ">", text, "</TD>"});
}

// A right-aligned cell with a number grouped in thousands, written in place.
void AppendGroupedCell(std::string& out, const std::string& number) {
  if (!std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    AppendCell(out, "right", GroupThousands(number));
    return;
  }
  out += "<TD class=itbl align=right>";
  for (size_t i = 0; i < number.size(); ++i) {
    if (i > 0 && (number.size() - i) % 3 == 0) out += ',';
    out += number[i];
  }
  out += "</TD>";
}

}  // namespace

std::string_view CutCharacters(std::string_view text, size_t limit) {
  if (text.size() <= limit) return text;  // no character is shorter than a byte
  size_t position = 0;
  for (size_t count = 0; count < limit && position < text.size(); ++count)
    position += CharacterLength(text, position);
  return text.substr(0, position);
}

size_t CountCharacters(std::string_view text) {
  size_t count = 0;
  for (size_t position = 0; position < text.size(); ++count) position += CharacterLength(text, position);
  return count;
}

std::string FormatDocumentHead() {
  return std::string("<?xml version='1.0' encoding='UTF-8'?>\r\n<informationTable xmlns='") +
         kInformationTableNamespace + "' xmlns:xsi='" + kSchemaInstanceNamespace + "'>\r\n";
}

std::string FormatInfoTableEntry(const InfoTableRow& row) {
  std::string out;
  out.reserve(512);
  out += "\t<infoTable>\r\n";
  AppendElement(out, "\t\t", "nameOfIssuer", CutCharacters(row[kNameOfIssuer], kNameLimit));
  AppendElement(out, "\t\t", "titleOfClass", CutCharacters(row[kTitleOfClass], kNameLimit));
  AppendElement(out, "\t\t", "cusip", CutCharacters(row[kCusip], kCusipLimit));
  if (!row[kFigi].empty()) AppendElement(out, "\t\t", "figi", row[kFigi]);
  AppendElement(out, "\t\t", "value", row[kValue]);
  out += "\t\t<shrsOrPrnAmt>\r\n";
  AppendElement(out, "\t\t\t", "sshPrnamt", row[kSshPrnamt]);
  AppendElement(out, "\t\t\t", "sshPrnamtType", row[kSshPrnamtType]);
  out += "\t\t</shrsOrPrnAmt>\r\n";
  if (!row[kPutCall].empty()) AppendElement(out, "\t\t", "putCall", row[kPutCall]);
  AppendElement(out, "\t\t", "investmentDiscretion", row[kInvestmentDiscretion]);
  if (!row[kOtherManager].empty()) AppendElement(out, "\t\t", "otherManager", row[kOtherManager]);
  out += "\t\t<votingAuthority>\r\n";
  AppendElement(out, "\t\t\t", "Sole", row[kSole]);
  AppendElement(out, "\t\t\t", "Shared", row[kShared]);
  AppendElement(out, "\t\t\t", "None", row[kNone]);
  out += "\t\t</votingAuthority>\r\n\t</infoTable>\r\n";
  return out;
}

std::string FormatDocumentEnd() { return "</informationTable>\r\n"; }

std::string BeginPreview(bool withFigi) {
  static const char* const captions[] = {"#",
                                         "Name of Issuer",
                                         "Title<BR>of<BR>Class",
                                         "CUSIP",
                                         "FIGI",
                                         "Market<BR>Value<BR>($)",
                                         "Shares<BR>Amount",
                                         "Security<BR>Type",
                                         "Put/<BR>Call",
                                         "Investment<BR>Discretion",
                                         "Other<BR>Managers",
                                         "Voting<BR>Authority<BR>Sole",
                                         "Voting<BR>Authority<BR>Shared",
                                         "Voting<BR>Authority<BR>None"};
  std::string preview =
      "<TABLE cellpadding=0 cellspacing=0 style='border:solid 2px blue; border-collapse:collapse'>"
      "<TR height=48>";
  for (const char* caption : captions) {
    if (!withFigi && std::strcmp(caption, "FIGI") == 0) continue;
    AppendAll(preview, {"<TD class=itbl align=center><B>", caption, "</B></TD>"});
  }
  preview += "</TR>";
  return preview;
}

void AppendPreviewRow(std::string& preview, uint32_t entryNumber, const InfoTableRow& row, bool withFigi) {
  char number[16];
  std::snprintf(number, sizeof number, "%u", entryNumber);
  AppendCell(preview.append("<TR>"), "right", number);
  for (size_t position = 0; position < kFigi; ++position) {
    if (IsNumericField(position))
      AppendGroupedCell(preview, row[position]);
    else
      AppendCell(preview, position <= kTitleOfClass ? "left" : "center", row[position]);
    if (position == kCusip && withFigi) AppendCell(preview, "center", row[kFigi]);
  }
  preview += "</TR>";
}

std::string ErrorLineHeading(RowErrorKind kind, uint32_t rowNumber) {
  std::string heading;
  switch (kind) {
    case RowErrorKind::kInvalidCharacter: heading = "Invalid character"; break;
    case RowErrorKind::kInvalidFields: heading = "Invalid field(s)"; break;
    case RowErrorKind::kNotAcceptedByEdgar: heading = "Not accepted by EDGAR"; break;
  }
  if (rowNumber > 0) heading += " in row " + std::to_string(rowNumber);
  return heading;
}

void AppendErrorLine(std::string& errorList, RowErrorKind kind, uint32_t rowNumber, std::string_view text) {
  errorList += "<br><b>";
  errorList += ErrorLineHeading(kind, rowNumber);
  errorList += ":</b> ";
  AppendEscaped(errorList, text);
}

void FinishPreview(std::string& preview, const std::string& errorList, uint32_t refusedRows) {
  std::string status;
  if (errorList.empty()) {
    status = "<p><b><font color=#00a000>No errors.</font></b></p>";
  } else {
    status = "<p><b><font color=#e00000>Error(s):</font></b>";
    if (refusedRows > 0) status += ' ' + RefusedRowsText(refusedRows);
    status += errorList + "</p>";
  }
  preview.insert(0, status);
  preview += "</TABLE>";
}

std::string RefusedRowsText(uint32_t refusedRows) {
  return std::to_string(refusedRows) + (refusedRows == 1 ? " row" : " rows") +
         " refused and left out of the document.";
}

std::string GroupThousands(std::string_view number) {
  size_t start = 0;
  while (start < number.size() &&
         (number[start] == ' ' || number[start] == '\t' || number[start] == '\r' || number[start] == '\n'))
    ++start;
  const bool negative = start < number.size() && number[start] == '-';
  if (negative) ++start;
  const std::string_view rest = number.substr(start);
  const size_t period = rest.find('.');
  const std::string_view integer = rest.substr(0, period);
  std::string grouped;
  grouped.reserve(rest.size() + integer.size() / 3 + 1);
  if (negative) grouped += '-';
  for (size_t i = 0; i < integer.size(); ++i) {
    if (i > 0 && (integer.size() - i) % 3 == 0) grouped += ',';
    grouped += integer[i];
  }
  if (period != std::string_view::npos) grouped += rest.substr(period);
  return grouped;
}
