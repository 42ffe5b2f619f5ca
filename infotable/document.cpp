#include "infotable/document.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>

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

// A part's length and bytes; a literal's length is known when compiling, so
// that copying it takes a few moves instead of a call.
template <size_t N>
constexpr std::string_view View(const char (&literal)[N]) {
  return std::string_view(literal, N - 1);
}
inline std::string_view View(std::string_view text) { return text; }

template <size_t N>
void Put(char*& at, const char (&literal)[N]) {
  std::memcpy(at, literal, N - 1);
  at += N - 1;
}
inline void Put(char*& at, std::string_view text) {
  std::memcpy(at, text.data(), text.size());
  at += text.size();
}

// Appends the parts through a small buffer on the stack, so that the string
// is asked once for its room: the document and the preview are millions of
// these small pieces.
template <typename... Parts>
void AppendAll(std::string& out, const Parts&... parts) {
  const size_t size = (View(parts).size() + ...);
  char gathered[1024];
  if (size > sizeof gathered) {
    (out.append(View(parts)), ...);
    return;
  }
  char* at = gathered;
  (Put(at, parts), ...);
  out.append(gathered, size);
}

void AppendElement(std::string& out, std::string_view indent, std::string_view name, std::string_view text) {
  AppendAll(out, indent, "<", name, ">", text, "</", name, ">\r\n");
}

void AppendCell(std::string& out, std::string_view align, std::string_view text) {
  AppendAll(out, "<TD class=itbl align=", align, ">", text, "</TD>");
}

// A right-aligned cell with a number grouped in thousands, written in place.
void AppendGroupedCell(std::string& out, const std::string& number) {
  if (!std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    AppendCell(out, "right", GroupThousands(number));
    return;
  }
  char grouped[64];
  size_t length = 0;
  if (number.size() > 40) {
    AppendCell(out, "right", GroupThousands(number));
    return;
  }
  for (size_t i = 0; i < number.size(); ++i) {
    if (i > 0 && (number.size() - i) % 3 == 0) grouped[length++] = ',';
    grouped[length++] = number[i];
  }
  AppendCell(out, "right", std::string_view(grouped, length));
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
  std::string entry;
  AppendInfoTableEntry(entry, row);
  return entry;
}

void AppendInfoTableEntry(std::string& out, const InfoTableRow& row) {
  AppendAll(out, "\t<infoTable>\r\n\t\t<nameOfIssuer>", CutCharacters(row[kNameOfIssuer], kNameLimit),
            "</nameOfIssuer>\r\n\t\t<titleOfClass>", CutCharacters(row[kTitleOfClass], kNameLimit),
            "</titleOfClass>\r\n\t\t<cusip>", CutCharacters(row[kCusip], kCusipLimit), "</cusip>\r\n");
  if (!row[kFigi].empty()) AppendElement(out, "\t\t", "figi", row[kFigi]);
  AppendAll(out, "\t\t<value>", row[kValue], "</value>\r\n\t\t<shrsOrPrnAmt>\r\n\t\t\t<sshPrnamt>",
            row[kSshPrnamt], "</sshPrnamt>\r\n\t\t\t<sshPrnamtType>", row[kSshPrnamtType],
            "</sshPrnamtType>\r\n\t\t</shrsOrPrnAmt>\r\n");
  if (!row[kPutCall].empty()) AppendElement(out, "\t\t", "putCall", row[kPutCall]);
  AppendElement(out, "\t\t", "investmentDiscretion", row[kInvestmentDiscretion]);
  if (!row[kOtherManager].empty()) AppendElement(out, "\t\t", "otherManager", row[kOtherManager]);
  AppendAll(out, "\t\t<votingAuthority>\r\n\t\t\t<Sole>", row[kSole], "</Sole>\r\n\t\t\t<Shared>",
            row[kShared], "</Shared>\r\n\t\t\t<None>", row[kNone],
            "</None>\r\n\t\t</votingAuthority>\r\n\t</infoTable>\r\n");
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
    AppendAll(preview, "<TD class=itbl align=center><B>", caption, "</B></TD>");
  }
  preview += "</TR>";
  return preview;
}

void AppendPreviewRow(std::string& preview, uint32_t entryNumber, const InfoTableRow& row, bool withFigi) {
  char number[16];
  const std::string_view written(
      number, static_cast<size_t>(std::to_chars(number, number + sizeof number, entryNumber).ptr - number));
  AppendAll(preview, "<TR><TD class=itbl align=right>", written, "</TD>");
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

std::string StatusParagraph(const std::string& errorList, uint32_t refusedRows) {
  if (errorList.empty()) return "<p><b><font color=#00a000>No errors.</font></b></p>";
  std::string status = "<p><b><font color=#e00000>Error(s):</font></b>";
  if (refusedRows > 0) status += ' ' + RefusedRowsText(refusedRows);
  return status + errorList + "</p>";
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
