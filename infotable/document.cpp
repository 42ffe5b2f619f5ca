#include "infotable/document.h"

#include "infotable/append_all.h"
#include "infotable/edgar_limits.h"
#include "infotable/text_forms.h"

namespace {

void AppendElement(std::string& out, std::string_view indent, std::string_view name, std::string_view text) {
  AppendAll(out, indent, "<", name, ">", text, "</", name, ">\r\n");
}

}  // namespace

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
  AppendAll(out, "\t<infoTable>\r\n\t\t<nameOfIssuer>", CutCharacters(row[kNameOfIssuer], kEdgarTextLimit),
            "</nameOfIssuer>\r\n\t\t<titleOfClass>", CutCharacters(row[kTitleOfClass], kEdgarTextLimit),
            "</titleOfClass>\r\n\t\t<cusip>", CutCharacters(row[kCusip], kCusipLength), "</cusip>\r\n");
  if (!row[kFigi].empty()) AppendElement(out, "\t\t", "figi", row[kFigi]);
  AppendAll(out, "\t\t<value>", row[kValue], "</value>\r\n\t\t<shrsOrPrnAmt>\r\n\t\t\t<sshPrnamt>",
            row[kSshPrnamt], "</sshPrnamt>\r\n\t\t\t<sshPrnamtType>", row[kSshPrnamtType],
            "</sshPrnamtType>\r\n\t\t</shrsOrPrnAmt>\r\n");
  if (!row[kPutCall].empty()) AppendElement(out, "\t\t", "putCall", row[kPutCall]);
  AppendElement(out, "\t\t", "investmentDiscretion", row[kInvestmentDiscretion]);
  if (!row[kOtherManager].empty()) AppendElement(out, "\t\t", "otherManager", row[kOtherManager]);
  AppendAll(out, "\t\t<votingAuthority>\r\n\t\t\t<Sole>", row[kVotingSole], "</Sole>\r\n\t\t\t<Shared>",
            row[kVotingShared], "</Shared>\r\n\t\t\t<None>", row[kVotingNone],
            "</None>\r\n\t\t</votingAuthority>\r\n\t</infoTable>\r\n");
}

std::string FormatDocumentEnd() { return "</informationTable>\r\n"; }
