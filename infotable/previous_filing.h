// The holdings of a 13F information table as a later quarter compares them:
// last quarter's filing as EDGAR serves it (values in thousands before 2023,
// in dollars since, with or without namespace prefixes), a submission with
// the table attached, or the table just written.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "infotable/fields.h"
#include "infotable/refusal.h"

struct FiledHolding {
  uint64_t key = 0;  // HoldingKey: CUSIP, class, put/call, discretion, other managers
  std::string name, cusip;
  uint64_t value = 0;  // in dollars
  uint64_t shares = 0;
  bool inShares = false;  // SH, no put/call: value / shares is a price
  uint32_t row = 0;       // the sheet row of a table being written; 0 for a filed one
};

// The holding an accepted row files, whose HoldingKey is `key`; `sheetRow`
// is its sheet row.
FiledHolding HoldingOf(const InfoTableRow& row, uint64_t key, uint32_t sheetRow);
// The same into `holding`, whose room is kept.
void ReadHolding(const InfoTableRow& row, uint64_t key, uint32_t sheetRow, FiledHolding& holding);

// Holdings found by a 64-bit key (a HoldingKey, a CusipCode): open
// addressing in one array, one slot for each key's first holding, so that a
// lookup costs about one cache miss even at EDGAR's largest tables.
class HoldingIndex {
 public:
  static constexpr uint32_t kNone = UINT32_MAX;

  template <typename Key>
  void Build(const std::vector<FiledHolding>& holdings, Key key) {
    size_t size = 16;
    while (size < 2 * holdings.size()) size *= 2;
    mask_ = size - 1;
    slots_.assign(size, {0, kNone});
    for (size_t i = 0; i < holdings.size(); ++i) {
      std::pair<uint64_t, uint32_t>& slot = SlotOf(key(holdings[i]));
      if (slot.second == kNone) slot = {key(holdings[i]), static_cast<uint32_t>(i)};
    }
  }
  bool Built() const { return !slots_.empty(); }
  // The index of the first holding with `key`, or kNone.
  uint32_t Find(uint64_t key) const { return const_cast<HoldingIndex*>(this)->SlotOf(key).second; }

 private:
  std::pair<uint64_t, uint32_t>& SlotOf(uint64_t key) {
    size_t at = (key * 0x9E3779B97F4A7C15u) >> 20 & mask_;
    while (slots_[at].second != kNone && slots_[at].first != key) at = (at + 1) & mask_;
    return slots_[at];
  }

  std::vector<std::pair<uint64_t, uint32_t>> slots_;
  size_t mask_ = 0;
};

struct FiledTable {
  std::vector<FiledHolding> holdings;  // in entry order
  bool valuesWereThousands = false;    // brought to dollars
  std::string period;                  // YYYY-MM-DD, when a submission gives it
  // Made once as the table is read, for every capture compared with it.
  HoldingIndex byKey, byCusip;
  std::vector<uint32_t> firstOfCusip;  // each holding's first holding of its CUSIP
};

// A CUSIP as a number: its nine characters at 7 bits each, exactly; any
// other text by its hash, apart from them.
uint64_t CusipCode(const std::string& cusip);

// Indexes the table's holdings by key and by CUSIP.
void IndexHoldings(FiledTable& table);
// `table`, or when it is not indexed yet, `copy` made of it and indexed.
const FiledTable& IndexedTable(const FiledTable& table, FiledTable& copy);

// Reads the table of the file at `path`. Its values are in thousands when a
// submission's period ended before 2022-12-31, or, for a table alone, when
// value / shares says so (a median price below $1); `asWritten` takes the
// values as they stand (the table of this quarter). Refused, with why, when
// the file can't be read or holds no information table.
Refusal ReadFiledTable(const std::string& path, bool asWritten, FiledTable& table);
