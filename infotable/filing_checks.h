// Checks before filing: rows EDGAR accepts but that make a filing wrong. Such
// a row is still written, since the filer may know better and nothing may be
// guessed, but it is named with the reason and what to do.
#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "infotable/fields.h"
#include "infotable/row_error.h"
#include "infotable/securities_list.h"

// The check digit of a CUSIP's first eight characters (modulus 10, "double
// add double": letters count 10 to 35, "*" "@" "#" 36 to 38); none when one
// of them is no CUSIP character.
std::optional<int> CusipCheckDigit(std::string_view firstEight);

// The median of `prices` (value / shares over rows in shares) when it says
// the values are thousands of dollars: below $1 over 5 rows or more, as
// tables were before 2023. None otherwise. Reorders `prices`.
std::optional<float> ThousandsMedianPrice(std::vector<float>& prices);

// What makes a row the same holding as another: a hash of its CUSIP, title
// of class, put/call, investment discretion and other managers.
uint64_t HoldingKey(const InfoTableRow& row);

// The checks of one table, fed its accepted rows in order, or of blocks of
// them, fed in parallel and then joined in order. It keeps a few bytes per
// row, never the rows' text.
class FilingChecks {
 public:
  // The checks of one row in final form: its CUSIP's check digit, its other
  // managers, an option on a principal amount.
  void CheckRow(const InfoTableRow& row, uint32_t rowNumber, std::vector<RowError>& found);
  // Whether the row holds the same holding as a row before it, by HoldingKey.
  void CheckHolding(uint64_t holdingKey, uint32_t rowNumber, std::vector<RowError>& found);
  // Makes room to remember the holdings of `rows` rows, or of EDGAR's
  // largest table when more, at once rather than as they come.
  void ExpectRows(size_t rows);
  // Takes in what CheckRow gathered from the rows of a later block.
  void Join(const FilingChecks& block);

  // After the last row: values that look like thousands of dollars, unless a
  // heading has said so already; what the reading changed or found in many
  // rows, one line for each kind, naming the rows.
  void CheckTable(bool unitReported, std::vector<RowError>& found);

  // The other managers' sequence numbers the table names, in order.
  std::vector<unsigned long> ManagersUsed() const;

  // Checks every row against the SEC's list of 13(f) securities from now on.
  void UseList(const SecuritiesList* list) { list_ = list; }
  // Rows whose CUSIP the list holds as a 13(f) security (not deleted).
  uint32_t RowsOnList() const { return rowsOnList_; }

 private:
  std::vector<float> impliedPrices_;  // value per share of rows in shares
  // The first row of a holding, by its key, or 0 for a new one.
  uint32_t RememberHolding(uint64_t key, uint32_t rowNumber);
  void Rehash(size_t slots);

  std::vector<std::pair<uint64_t, uint32_t>> holdings_;  // a holding's key and its first row
  size_t holdingCount_ = 0;
  std::set<unsigned long> managers_;
  std::string lastManagers_;  // the last list read into managers_
  bool lastManagersHadZero_ = false;
  std::vector<uint32_t> zerosRestored_;  // rows whose CUSIP got its leading zeros back
  std::vector<uint32_t> managerZero_;    // rows that name manager 0
  const SecuritiesList* list_ = nullptr;
  uint32_t rowsOnList_ = 0;

  void CheckAgainstList(const InfoTableRow& row, uint32_t rowNumber, std::vector<RowError>& found);
};
