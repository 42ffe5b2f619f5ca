#include "infotable/previous_filing.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>

#include "infotable/base64.h"
#include "infotable/document_rows.h"
#include "infotable/filing_checks.h"
#include "infotable/text_forms.h"

namespace {

uint64_t Times(uint64_t a, uint64_t b) { return b != 0 && a > UINT64_MAX / b ? UINT64_MAX : a * b; }

FiledHolding HoldingOf(const DocumentEntry& entry) {
  InfoTableRow row;
  row[kCusip] = EscapeMarkup(entry[kEntryCusip]);
  row[kTitleOfClass] = EscapeMarkup(entry[kEntryClass]);
  row[kPutCall] = EscapeMarkup(entry[kEntryPutCall]);
  row[kInvestmentDiscretion] = EscapeMarkup(entry[kEntryDiscretion]);
  row[kOtherManager] = EscapeMarkup(entry[kEntryManagers]);
  row[kNameOfIssuer] = EscapeMarkup(entry[kEntryName]);
  row.value = ParseValue(entry[kEntryValue]);
  row.amount = ParseValue(entry[kEntryAmount]);
  row.amountType = entry[kEntryAmountType] == "SH" ? AmountType::kShares : AmountType::kPrincipal;
  row.option = entry[kEntryPutCall].empty() ? Option::kNone : Option::kPut;
  return HoldingOf(row, HoldingKey(row), 0);
}

// EDGAR's MM-DD-YYYY as YYYY-MM-DD; empty for anything else.
std::string IsoDate(std::string_view edgar) {
  if (edgar.size() != 10 || edgar[2] != '-' || edgar[5] != '-') return "";
  return std::string(edgar.substr(6, 4)) + "-" + std::string(edgar.substr(0, 2)) + "-" +
         std::string(edgar.substr(3, 2));
}

}  // namespace

void ReadHolding(const InfoTableRow& row, uint64_t key, uint32_t sheetRow, FiledHolding& holding) {
  holding.key = key;
  const auto plain = [](const std::string& text, std::string& into) {
    if (text.find('&') == std::string::npos)
      into.assign(text);
    else
      into = UnescapeMarkup(text);
  };
  plain(row[kNameOfIssuer], holding.name);
  plain(row[kCusip], holding.cusip);
  holding.value = row.value;
  holding.shares = row.amount;
  holding.inShares = row.amountType == AmountType::kShares && row.option == Option::kNone;
  holding.row = sheetRow;
}

FiledHolding HoldingOf(const InfoTableRow& row, uint64_t key, uint32_t sheetRow) {
  FiledHolding holding;
  ReadHolding(row, key, sheetRow, holding);
  return holding;
}

uint64_t CusipCode(const std::string& cusip) {
  uint64_t code = 0;
  if (cusip.size() == 9 && std::all_of(cusip.begin(), cusip.end(), [](char c) { return c > 0; })) {
    for (char c : cusip) code = code << 7 | static_cast<uint64_t>(c);
    return code;
  }
  return std::hash<std::string>()(cusip) | uint64_t{1} << 63;
}

void IndexHoldings(FiledTable& table) {
  table.byKey.Build(table.holdings, [](const FiledHolding& holding) { return holding.key; });
  table.byCusip.Build(table.holdings, [](const FiledHolding& holding) { return CusipCode(holding.cusip); });
  table.firstOfCusip.resize(table.holdings.size());
  for (size_t i = 0; i < table.holdings.size(); ++i)
    table.firstOfCusip[i] = table.byCusip.Find(CusipCode(table.holdings[i].cusip));
}

const FiledTable& IndexedTable(const FiledTable& table, FiledTable& copy) {
  if (table.byKey.Built()) return table;
  copy = table;
  IndexHoldings(copy);
  return copy;
}

Refusal ReadFiledTable(const std::string& path, bool asWritten, FiledTable& table) {
  table = FiledTable();
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::string("can't be read: ") + std::strerror(errno);
  std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (file.bad()) return std::string("can't be read: ") + std::strerror(errno);
  std::vector<DocumentEntry> entries;
  // A document's root element comes first.
  const bool submission =
      FirstElementText(std::string_view(text).substr(0, 4096), "edgarSubmission").has_value();
  if (submission) {
    table.period = IsoDate(FirstElementText(text, "periodOfReport").value_or(""));
    const std::string_view contents = FirstElementText(text, "contents").value_or("");
    if (contents.empty())
      return std::string("is a submission without an attached information table (a notice?)");
    std::string attached;
    if (Refusal refusal = DecodeBase64(contents, attached))
      return "is a submission whose attached table " + *refusal;
    text = std::move(attached);
  }
  if (ReadDocumentEntries(text, entries))
    return std::string(submission ? "is a submission whose attachment"
                                  : "is not a 13F information table: it") +
           " holds no infoTable entry";
  std::vector<float> prices;
  for (const DocumentEntry& entry : entries) {
    table.holdings.push_back(HoldingOf(entry));
    const FiledHolding& holding = table.holdings.back();
    if (holding.inShares && holding.shares > 0 && holding.value > 0)
      prices.push_back(
          static_cast<float>(static_cast<double>(holding.value) / static_cast<double>(holding.shares)));
  }
  if (!asWritten)
    table.valuesWereThousands =
        !table.period.empty() ? table.period < "2022-12-31" : ThousandsMedianPrice(prices).has_value();
  if (table.valuesWereThousands)
    for (FiledHolding& holding : table.holdings) holding.value = Times(holding.value, 1000);
  IndexHoldings(table);
  return std::nullopt;
}
