// This quarter's table against last quarter's filing: what the filer's own
// last filing says is likely wrong now (checks before filing), and what
// changed (the comparison a filer reads, and its CSV).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "infotable/previous_filing.h"
#include "infotable/row_error.h"

// A holding whose value or shares changed since last quarter, or that is new
// or closed.
struct HoldingChange {
  enum Kind : uint8_t { kChanged, kNew, kClosed } kind = kChanged;
  uint32_t entry = 0;  // this quarter's entry, from 1; 0 when closed
  uint32_t row = 0;    // its sheet row, when the table was just read
  uint64_t valueBefore = 0, value = 0, sharesBefore = 0, shares = 0;  // 0 where there is none
  // Its issuer's name and CUSIP, one after the other in its comparison's
  // `texts`: a table whose every holding changed is not half a million
  // strings.
  uint32_t textAt = 0, nameSize = 0, cusipSize = 0;
};

struct QuarterComparison {
  // Checks before filing, each leading to its entry; the total's line is the
  // whole table's (row 0).
  std::vector<RowError> checks;
  uint32_t added = 0, closed = 0;      // holdings new this quarter, and gone since last
  std::vector<HoldingChange> changes;  // this quarter's in entry order, then the closed ones
  std::string texts;

  std::string_view NameOf(const HoldingChange& change) const {
    return std::string_view(texts).substr(change.textAt, change.nameSize);
  }
  std::string_view CusipOf(const HoldingChange& change) const {
    return std::string_view(texts).substr(change.textAt + change.nameSize, change.cusipSize);
  }
};

// Holdings are matched by HoldingKey. The checks:
// - value per share changed by 100 times or more: rows in thousands or in
//   cents;
// - shares unchanged and the value 5 times or more, or a fifth or less, of
//   last quarter's: a move the market seldom makes in a quarter, and one a
//   unit slip or a wrong price does;
// - the same issuer's name under a CUSIP last quarter did not have, while
//   its old CUSIP is gone: a mistyped or outdated CUSIP;
// - the total 10 times or more, or a tenth or less, of last quarter's.
// New and closed holdings are counted, never checks.
QuarterComparison CompareQuarters(const FiledTable& previous, const FiledTable& current);

// The same, a block of this quarter's holdings at a time, so that blocks can
// be compared on every core; `previous` is indexed (IndexedTable). Each
// block's entries count from its first, 1.
struct ComparedBlock {
  struct NewCusip {
    uint32_t entry;
    FiledHolding holding;
  };
  std::vector<uint32_t> met;        // last quarter's holdings matched, by index
  std::vector<uint32_t> cusipsMet;  // last quarter's first holding of each CUSIP still held
  std::vector<NewCusip> newCusips;  // holdings under a CUSIP last quarter did not file
  std::vector<HoldingChange> changes;
  std::string texts;  // the changes' names and CUSIPs
  std::vector<RowError> checks;
  uint32_t added = 0;
};
void ClearComparedBlock(ComparedBlock& block);
void CompareHolding(const FiledTable& previous, const FiledHolding& now, uint32_t entry,
                    ComparedBlock& block);

// The blocks joined in their order.
struct ComparisonJoin {
  std::vector<bool> met, cusipsMet;  // by last quarter's holding
  std::vector<ComparedBlock::NewCusip> newCusips;
  QuarterComparison found;
};
// `rows`: about how many holdings this quarter's table has.
ComparisonJoin StartComparison(const FiledTable& previous, size_t rows);
void JoinComparedBlock(ComparedBlock& block, uint32_t entriesBefore, ComparisonJoin& join);
// What only the whole table tells: the closed holdings, the CUSIPs that
// changed, the total (`totalNow`, in dollars).
QuarterComparison FinishComparison(const FiledTable& previous, uint64_t totalNow, ComparisonJoin& join);

// "12 new holdings, 3 closed"
std::string NewAndClosedText(const QuarterComparison& comparison);

// Every change as CSV, a heading first.
std::string ComparisonCsv(const QuarterComparison& comparison);
