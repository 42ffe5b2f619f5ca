#include "infotable/quarter_comparison.h"

#include <algorithm>
#include <cstdio>
#include <unordered_map>
#include <vector>

#include "infotable/text_forms.h"

namespace {

constexpr double kPriceJump = 100.0;    // value per share, either way
constexpr double kUnchangedJump = 5.0;  // value with the shares unchanged, either way
constexpr double kTotalJump = 10.0;     // the table's total, either way
constexpr const char* kPriceLine = " times: values in thousands or in cents? EDGAR takes whole dollars";

bool MovedBy(double before, double now, double factor) {
  return before > 0 && now > 0 && (now >= before * factor || now * factor <= before);
}

std::string Dollars(double amount) {
  char text[64];
  std::snprintf(text, sizeof text, amount < 10 ? "$%.4f" : "$%.2f", amount);
  return text;
}

// The holding as a line names it: quoted, so that lines alike are one group.
std::string Named(const FiledHolding& holding) {
  return "\"" + holding.name + "\" (CUSIP \"" + holding.cusip + "\"): ";
}

RowError CheckOf(size_t index, const FiledHolding& holding, std::string reason) {
  return {RowErrorKind::kCheckBeforeFiling, holding.row, "", Named(holding) + reason,
          static_cast<uint32_t>(index + 1)};
}

// A name as two filings may write it: letters and digits, upper case.
std::string Plain(const std::string& name) {
  std::string plain;
  for (char c : name)
    if (IsAsciiLetterOrDigit(c)) plain += static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
  return plain;
}

std::string CsvCell(std::string_view text) {
  if (text.find_first_of(",\"\n") == std::string::npos) return std::string(text);
  std::string quoted = "\"";
  for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

HoldingChange ChangeOf(HoldingChange::Kind kind, size_t index, const FiledHolding& holding,
                       const FiledHolding* before, std::string& texts) {
  HoldingChange change;
  change.kind = kind;
  change.entry = kind == HoldingChange::kClosed ? 0 : static_cast<uint32_t>(index + 1);
  change.row = holding.row;
  change.textAt = static_cast<uint32_t>(texts.size());
  change.nameSize = static_cast<uint32_t>(holding.name.size());
  change.cusipSize = static_cast<uint32_t>(holding.cusip.size());
  texts += holding.name;
  texts += holding.cusip;
  if (kind != HoldingChange::kClosed) {
    change.value = holding.value;
    change.shares = holding.shares;
  }
  if (before) {
    change.valueBefore = before->value;
    change.sharesBefore = before->shares;
  }
  return change;
}

// Last quarter's holdings under CUSIPs this quarter's table no longer
// holds, by their issuers' names.
std::unordered_map<std::string, const FiledHolding*> GoneByName(const FiledTable& previous,
                                                                const std::vector<bool>& cusipsMet) {
  std::unordered_map<std::string, const FiledHolding*> gone;
  for (size_t i = 0; i < previous.holdings.size(); ++i)
    if (!cusipsMet[previous.firstOfCusip[i]])
      gone.emplace(Plain(previous.holdings[i].name), &previous.holdings[i]);
  return gone;
}

// A new CUSIP under a name that held another last quarter, gone now.
void CheckCusips(const FiledTable& previous, ComparisonJoin& join) {
  if (join.newCusips.empty()) return;
  const auto gone = GoneByName(previous, join.cusipsMet);
  for (const ComparedBlock::NewCusip& now : join.newCusips) {
    const auto then = gone.find(Plain(now.holding.name));
    if (then == gone.end()) continue;
    join.found.checks.push_back(
        CheckOf(now.entry - 1, now.holding,
                "last quarter the same issuer was filed under CUSIP \"" + then->second->cusip +
                    "\", which the table no longer holds: a mistyped or outdated CUSIP?"));
  }
}

uint64_t Total(const FiledTable& table) {
  uint64_t total = 0;
  for (const FiledHolding& holding : table.holdings) total = SaturatingAdd(total, holding.value);
  return total;
}

}  // namespace

void ClearComparedBlock(ComparedBlock& block) {
  block.met.clear();
  block.cusipsMet.clear();
  block.newCusips.clear();
  block.changes.clear();
  block.texts.clear();
  block.checks.clear();
  block.added = 0;
}

void CompareHolding(const FiledTable& previous, const FiledHolding& now, uint32_t entry,
                    ComparedBlock& block) {
  const size_t index = entry - 1;
  const uint32_t match = previous.byKey.Find(now.key);
  if (match == HoldingIndex::kNone) {
    const uint32_t cusip = previous.byCusip.Find(CusipCode(now.cusip));
    if (cusip == HoldingIndex::kNone)
      block.newCusips.push_back({entry, now});
    else
      block.cusipsMet.push_back(cusip);
    ++block.added;
    block.changes.push_back(ChangeOf(HoldingChange::kNew, index, now, nullptr, block.texts));
    return;
  }
  const FiledHolding& then = previous.holdings[match];
  // The same key is the same CUSIP.
  block.met.push_back(match);
  block.cusipsMet.push_back(previous.firstOfCusip[match]);
  if (now.value != then.value || now.shares != then.shares)
    block.changes.push_back(ChangeOf(HoldingChange::kChanged, index, now, &then, block.texts));
  if (now.inShares && then.inShares && now.shares > 0 && then.shares > 0) {
    const double priceThen = static_cast<double>(then.value) / static_cast<double>(then.shares);
    const double priceNow = static_cast<double>(now.value) / static_cast<double>(now.shares);
    if (MovedBy(priceThen, priceNow, kPriceJump)) {
      block.checks.push_back(CheckOf(
          index, now,
          "value per share " + Dollars(priceNow) + " now, " + Dollars(priceThen) + " last quarter, " +
              std::to_string(
                  static_cast<long>(priceNow > priceThen ? priceNow / priceThen : priceThen / priceNow)) +
              kPriceLine));
      return;
    }
  }
  if (now.shares == then.shares &&
      MovedBy(static_cast<double>(then.value), static_cast<double>(now.value), kUnchangedJump))
    block.checks.push_back(CheckOf(index, now,
                                   "the same " + GroupThousands(std::to_string(now.shares)) +
                                       " shares or amount as last quarter, but a value of $" +
                                       GroupThousands(std::to_string(now.value)) + " against $" +
                                       GroupThousands(std::to_string(then.value)) +
                                       ": a move the market seldom makes in a quarter; check the value"));
}

ComparisonJoin StartComparison(const FiledTable& previous, size_t rows) {
  ComparisonJoin join;
  // Most holdings change every quarter.
  join.found.changes.reserve(rows + previous.holdings.size() / 8);
  join.met.resize(previous.holdings.size());
  join.cusipsMet.resize(previous.holdings.size());
  return join;
}

void JoinComparedBlock(ComparedBlock& block, uint32_t entriesBefore, ComparisonJoin& join) {
  for (uint32_t match : block.met) join.met[match] = true;
  for (uint32_t match : block.cusipsMet) join.cusipsMet[match] = true;
  for (ComparedBlock::NewCusip& now : block.newCusips) {
    now.entry += entriesBefore;
    join.newCusips.push_back(std::move(now));
  }
  const uint32_t textsBefore = static_cast<uint32_t>(join.found.texts.size());
  join.found.texts += block.texts;
  for (HoldingChange& change : block.changes) {
    change.entry += entriesBefore;
    change.textAt += textsBefore;
    join.found.changes.push_back(change);
  }
  for (RowError& check : block.checks) {
    check.entry += entriesBefore;
    join.found.checks.push_back(std::move(check));
  }
  join.found.added += block.added;
}

QuarterComparison FinishComparison(const FiledTable& previous, uint64_t totalNow, ComparisonJoin& join) {
  QuarterComparison& found = join.found;
  for (size_t i = 0; i < previous.holdings.size(); ++i)
    if (!join.met[i]) {
      ++found.closed;
      found.changes.push_back(
          ChangeOf(HoldingChange::kClosed, i, previous.holdings[i], &previous.holdings[i], found.texts));
    }
  CheckCusips(previous, join);
  const uint64_t before = Total(previous);
  if (MovedBy(static_cast<double>(before), static_cast<double>(totalNow), kTotalJump)) {
    // One mistake across the table is one line: the rows' own price lines go.
    found.checks.erase(std::remove_if(found.checks.begin(), found.checks.end(),
                                      [](const RowError& line) {
                                        return line.reason.find(kPriceLine) != std::string::npos;
                                      }),
                       found.checks.end());
    found.checks.push_back(
        {RowErrorKind::kCheckBeforeFiling, 0, "",
         "the table's total, $" + GroupThousands(std::to_string(totalNow)) + ", against $" +
             GroupThousands(std::to_string(before)) +
             " last quarter: ten times or more apart; values in thousands, or rows missing?"});
  }
  return std::move(found);
}

QuarterComparison CompareQuarters(const FiledTable& previousRead, const FiledTable& current) {
  FiledTable copy;
  const FiledTable& previous = IndexedTable(previousRead, copy);
  ComparedBlock block;
  for (size_t i = 0; i < current.holdings.size(); ++i)
    CompareHolding(previous, current.holdings[i], static_cast<uint32_t>(i + 1), block);
  ComparisonJoin join = StartComparison(previous, current.holdings.size());
  JoinComparedBlock(block, 0, join);
  return FinishComparison(previous, Total(current), join);
}

std::string NewAndClosedText(const QuarterComparison& comparison) {
  return GroupThousands(std::to_string(comparison.added)) +
         (comparison.added == 1 ? " new holding, " : " new holdings, ") +
         GroupThousands(std::to_string(comparison.closed)) + " closed";
}

std::string ComparisonCsv(const QuarterComparison& comparison) {
  static const char* const kKinds[] = {"changed", "new", "closed"};
  std::string csv =
      "status,entry,name of issuer,cusip,value last quarter,value,shares last quarter,shares,value change,"
      "shares change\n";
  for (const HoldingChange& change : comparison.changes) {
    const bool closed = change.kind == HoldingChange::kClosed, added = change.kind == HoldingChange::kNew;
    const auto number = [](uint64_t n) { return std::to_string(n); };
    csv += std::string(kKinds[change.kind]) + "," + (closed ? "" : number(change.entry)) + "," +
           CsvCell(comparison.NameOf(change)) + "," + CsvCell(comparison.CusipOf(change)) + "," +
           (added ? "" : number(change.valueBefore)) + "," + (closed ? "" : number(change.value)) + "," +
           (added ? "" : number(change.sharesBefore)) + "," + (closed ? "" : number(change.shares)) + ",";
    if (change.kind == HoldingChange::kChanged) {
      char changes[96];
      std::snprintf(changes, sizeof changes, "%.0Lf,%.0Lf",
                    static_cast<long double>(change.value) - change.valueBefore,
                    static_cast<long double>(change.shares) - change.sharesBefore);
      csv += changes;
    } else {
      csv += ",";
    }
    csv += "\n";
  }
  return csv;
}
