#include "infotable/filing_checks.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "infotable/edgar_limits.h"
#include "infotable/large_buffer.h"
#include "infotable/text_forms.h"

namespace {

// A median over fewer rows says nothing of a table's unit.
constexpr size_t kRowsForAUnit = 5;
// Below this median price per share the values are taken for thousands:
// a table in dollars would need most of its holdings to be penny stocks.
constexpr double kLowestMedianPrice = 1.0;

// A CUSIP character's value, -1 for none: digits 0 to 9, letters 10 to 35,
// "*" "@" "#" 36 to 38.
constexpr std::array<int8_t, 256> kCusipValues = [] {
  std::array<int8_t, 256> values{};
  for (int c = 0; c < 256; ++c) {
    const char character = static_cast<char>(c);
    values[c] = IsDigit(character)         ? static_cast<int8_t>(c - '0')
                : IsAsciiLetter(character) ? static_cast<int8_t>(UpperAscii(character) - 'A' + 10)
                : c == '*'                 ? 36
                : c == '@'                 ? 37
                : c == '#'                 ? 38
                                           : -1;
  }
  return values;
}();

void Add(std::vector<RowError>& found, uint32_t row, std::string reason) {
  found.push_back({RowErrorKind::kCheckBeforeFiling, row, "", std::move(reason)});
}

void CheckCusip(const std::string& cusip, uint32_t row, std::vector<RowError>& found) {
  if (cusip.size() != kCusipLength) return;  // EDGAR's own check names it
  const std::optional<int> digit = CusipCheckDigit(std::string_view(cusip).substr(0, kCusipLength - 1));
  if (!digit || cusip.back() == static_cast<char>('0' + *digit)) return;
  const std::string corrected = cusip.substr(0, kCusipLength - 1) + static_cast<char>('0' + *digit);
  Add(found, row,
      "CUSIP \"" + cusip + "\" does not end with its check digit: its first eight characters give \"" +
          corrected +
          "\". Look for a mistyped or swapped character, or a CUSIP that the spreadsheet shortened");
}

// Sequence numbers separated by commas and/or blanks, such as "1,3" or "01, 02".
bool ReadManagerNumbers(std::string_view cell, std::vector<unsigned long>& numbers) {
  numbers.clear();
  size_t at = 0;
  while (at < cell.size()) {
    while (at < cell.size() && (cell[at] == ',' || cell[at] == ' ')) ++at;
    const size_t start = at;
    while (at < cell.size() && IsDigit(cell[at])) ++at;
    if (at == start) return at == cell.size() && !numbers.empty();
    numbers.push_back(static_cast<unsigned long>(ParseValue(cell.substr(start, at - start))));
    if (at < cell.size() && cell[at] != ',' && cell[at] != ' ') return false;
  }
  return !numbers.empty();
}

// "rows 2, 5 and 9", "rows 2, 5, 9, 11, 12 and 395 more".
std::string RowsText(const std::vector<uint32_t>& rows) {
  constexpr size_t kNamed = 5;
  std::string text = rows.size() == 1 ? "row " : "rows ";
  const size_t named = rows.size() > kNamed + 1 ? kNamed : rows.size();
  for (size_t i = 0; i < named; ++i)
    text += (i == 0 ? "" : i + 1 == named && named == rows.size() ? " and " : ", ") + std::to_string(rows[i]);
  if (named < rows.size()) text += " and " + std::to_string(rows.size() - named) + " more";
  return text;
}

std::string Price(double price) {
  char text[32];
  std::snprintf(text, sizeof text, "$%.2f", price);
  return text;
}

}  // namespace

std::optional<float> ThousandsMedianPrice(std::vector<float>& prices) {
  if (prices.size() < kRowsForAUnit) return std::nullopt;
  const auto middle = prices.begin() + static_cast<std::ptrdiff_t>(prices.size() / 2);
  std::nth_element(prices.begin(), middle, prices.end());
  if (*middle < kLowestMedianPrice) return *middle;
  return std::nullopt;
}

uint64_t HoldingKey(const InfoTableRow& row) {
  // FNV-1a over the fields, a separator after each.
  uint64_t hash = 14695981039346656037u;
  for (size_t field : {kCusip, kTitleOfClass, kPutCall, kInvestmentDiscretion, kOtherManager}) {
    for (char c : row[field]) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211u;
    hash = (hash ^ 0x1f) * 1099511628211u;
  }
  return hash;
}

std::optional<int> CusipCheckDigit(std::string_view firstEight) {
  int sum = 0;
  for (size_t i = 0; i < firstEight.size(); ++i) {
    int value = kCusipValues[static_cast<unsigned char>(firstEight[i])];
    if (value < 0) return std::nullopt;
    if (i % 2 == 1) value *= 2;
    sum += value < 10 ? value : value / 10 + value % 10;
  }
  return (10 - sum % 10) % 10;
}

void FilingChecks::CheckAgainstList(const InfoTableRow& row, uint32_t rowNumber,
                                    std::vector<RowError>& found) {
  const std::string& cusip = row[kCusip];
  if (cusip.size() != kCusipLength) return;  // EDGAR's own check names it
  const ListedSecurity* security = list_->Find(cusip);
  // Most rows are on the list and say nothing: the words are made for the others.
  const auto list = [&] { return " (" + list_->name + ")"; };
  const auto named = [&] { return "\"" + security->issuer + " " + security->description + "\""; };
  if (!security) {
    Add(found, rowNumber,
        "CUSIP \"" + cusip + "\" is not on the Official List of Section 13(f) Securities" + list() +
            ": only the securities on the list are reported on Form 13F");
    return;
  }
  if (security->underlying) {
    const uint32_t underlying = *security->underlying;
    const ListedSecurity& of = list_->securities[underlying];
    Add(found, rowNumber,
        "CUSIP \"" + cusip + "\" is the list's own number for the " + security->description +
            " options on \"" + of.issuer + " " + of.description + "\"" + list() +
            ": report an option under its security's CUSIP, \"" + list_->CusipOf(underlying) +
            "\", with Put/Call");
    return;
  }
  if (security->deleted) {
    Add(found, rowNumber,
        "CUSIP \"" + cusip + "\" " + named() + " is marked deleted (*D*) on the list" + list() +
            ": it is no longer a 13(f) security");
    return;
  }
  ++rowsOnList_;
  if (row.option != Option::kNone && !security->hasOptions)
    Add(found, rowNumber,
        "Put/Call " + row[kPutCall] + " on CUSIP \"" + cusip + "\" " + named() +
            ", which the list shows without listed options (no asterisk)" + list());
}

void FilingChecks::CheckRow(const InfoTableRow& row, uint32_t rowNumber, std::vector<RowError>& found) {
  CheckCusip(row[kCusip], rowNumber, found);
  if (list_) CheckAgainstList(row, rowNumber, found);

  if (row.cusipZerosRestored) zerosRestored_.push_back(rowNumber);

  // Most rows name the same few lists of managers as the row before.
  if (const std::string& managers = row[kOtherManager]; !managers.empty() && managers != lastManagers_) {
    std::vector<unsigned long> numbers;
    if (ReadManagerNumbers(managers, numbers)) {
      // 0 numbers no manager of the cover page's list, which counts from 1.
      lastManagersHadZero_ = std::find(numbers.begin(), numbers.end(), 0ul) != numbers.end();
      for (unsigned long number : numbers)
        if (number != 0) managers_.insert(number);
      lastManagers_ = managers;
    } else {
      Add(found, rowNumber,
          "Other managers \"" + UnescapeMarkup(managers) +
              "\" is no list of manager numbers: the Other managers column holds the sequence numbers of the cover page's "
              "List of Other Included Managers, such as 1 or 1,3");
    }
  }
  if (!row[kOtherManager].empty() && row[kOtherManager] == lastManagers_ && lastManagersHadZero_)
    managerZero_.push_back(rowNumber);

  if (row.amountRounded)
    Add(found, rowNumber,
        "Shares or principal amount had a fraction and is written rounded, as " + row[kSshPrnamt] +
            ": shares and principal amounts are whole numbers");

  if (row.option != Option::kNone && row.amountType == AmountType::kPrincipal)
    Add(found, rowNumber,
        "Put/Call " + row[kPutCall] +
            " on a principal amount (PRN): options are reported in shares (SH) of "
            "the underlying security");

  if (row.amountType == AmountType::kShares && row.option == Option::kNone && row.amount > 0 && row.value > 0)
    impliedPrices_.push_back(
        static_cast<float>(static_cast<double>(row.value) / static_cast<double>(row.amount)));
}

void FilingChecks::CheckHolding(uint64_t holdingKey, uint32_t rowNumber, std::vector<RowError>& found) {
  // One holding is one CUSIP, class, option, discretion and list of managers.
  if (const uint32_t first = RememberHolding(holdingKey, rowNumber))
    Add(found, rowNumber,
        "the same holding as row " + std::to_string(first) +
            " (the same CUSIP, title of class, put/call, investment discretion and other managers): "
            "a holding is one entry, so add the two together or remove one");
}

void FilingChecks::Join(const FilingChecks& block) {
  impliedPrices_.insert(impliedPrices_.end(), block.impliedPrices_.begin(), block.impliedPrices_.end());
  managers_.insert(block.managers_.begin(), block.managers_.end());
  zerosRestored_.insert(zerosRestored_.end(), block.zerosRestored_.begin(), block.zerosRestored_.end());
  managerZero_.insert(managerZero_.end(), block.managerZero_.begin(), block.managerZero_.end());
  rowsOnList_ += block.rowsOnList_;
}

void FilingChecks::ExpectRows(size_t rows) {
  // Past EDGAR's largest table a copy holds rows twice or is refused anyway:
  // its table grows as its holdings come.
  rows = std::min<size_t>(rows, kEdgarEntryLimit);
  size_t slots = 1024;
  while (slots < 2 * (rows + 1)) slots *= 2;
  if (slots > holdings_.size()) Rehash(slots);
}

void FilingChecks::Rehash(size_t slots) {
  std::vector<std::pair<uint64_t, uint32_t>> old;
  ReserveFilled(old, slots);
  old.resize(slots);
  old.swap(holdings_);
  holdingCount_ = 0;
  for (const auto& [oldKey, row] : old)
    if (row != 0) RememberHolding(oldKey, row);
}

uint32_t FilingChecks::RememberHolding(uint64_t key, uint32_t rowNumber) {
  // Open addressing, at most half full; a slot's row 0 marks it free.
  if (holdings_.size() < 2 * (holdingCount_ + 1)) Rehash(std::max<size_t>(1024, 2 * holdings_.size()));
  const size_t mask = holdings_.size() - 1;
  for (size_t slot = key & mask;; slot = (slot + 1) & mask) {
    auto& [slotKey, row] = holdings_[slot];
    if (row == 0) {
      holdings_[slot] = {key, rowNumber};
      ++holdingCount_;
      return 0;
    }
    if (slotKey == key) return row;
  }
}

void FilingChecks::CheckTable(bool unitReported, std::vector<RowError>& found) {
  if (!zerosRestored_.empty())
    Add(found, 0,
        "the CUSIP" + std::string(zerosRestored_.size() > 1 ? "s" : "") + " of " + RowsText(zerosRestored_) +
            " had fewer than 9 digits and " + (zerosRestored_.size() > 1 ? "were" : "was") +
            " written with the leading zeros put back that a spreadsheet drops from a number: check each "
            "against the security's CUSIP (one of 8 digits may instead lack its check digit)");
  if (!managerZero_.empty())
    Add(found, 0,
        "Other managers 0 in " + RowsText(managerZero_) +
            " is no sequence number, and is not counted: the List of Other Included Managers numbers them "
            "from "
            "1; leave the cell empty where no other manager is included");
  if (!unitReported)
    if (const std::optional<float> median = ThousandsMedianPrice(impliedPrices_))
      Add(found, 0,
          "the values look like thousands of dollars: over the " + std::to_string(impliedPrices_.size()) +
              " rows in shares, value / shares gives a median price of " + Price(*median) +
              " a share. EDGAR takes values in whole dollars since January 2023: if they are in thousands, "
              "multiply them by 1,000");
}

std::vector<unsigned long> FilingChecks::ManagersUsed() const { return {managers_.begin(), managers_.end()}; }
