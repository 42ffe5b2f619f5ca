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

std::string CsvCell(const std::string& text) {
  if (text.find_first_of(",\"\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

HoldingChange ChangeOf(HoldingChange::Kind kind, size_t index, const FiledHolding& holding,
                       const FiledHolding* before) {
  HoldingChange change;
  change.kind = kind;
  change.entry = kind == HoldingChange::kClosed ? 0 : static_cast<uint32_t>(index + 1);
  change.row = holding.row;
  change.name = holding.name;
  change.cusip = holding.cusip;
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

// Each holding against last quarter's; the ones gone since are closed.
void CheckHoldings(const FiledTable& previous, const FiledTable& current, QuarterComparison& found) {
  std::vector<bool> seen(previous.holdings.size());
  for (size_t i = 0; i < current.holdings.size(); ++i) {
    const FiledHolding& now = current.holdings[i];
    const uint32_t match = previous.byKey.Find(now.key);
    if (match == HoldingIndex::kNone) {
      ++found.added;
      found.changes.push_back(ChangeOf(HoldingChange::kNew, i, now, nullptr));
      continue;
    }
    const FiledHolding& then = previous.holdings[match];
    seen[match] = true;
    if (now.value != then.value || now.shares != then.shares)
      found.changes.push_back(ChangeOf(HoldingChange::kChanged, i, now, &then));
    if (now.inShares && then.inShares && now.shares > 0 && then.shares > 0) {
      const double priceThen = static_cast<double>(then.value) / static_cast<double>(then.shares);
      const double priceNow = static_cast<double>(now.value) / static_cast<double>(now.shares);
      if (MovedBy(priceThen, priceNow, kPriceJump)) {
        found.checks.push_back(CheckOf(
            i, now,
            "value per share " + Dollars(priceNow) + " now, " + Dollars(priceThen) + " last quarter, " +
                std::to_string(
                    static_cast<long>(priceNow > priceThen ? priceNow / priceThen : priceThen / priceNow)) +
                kPriceLine));
        continue;
      }
    }
    if (now.shares == then.shares &&
        MovedBy(static_cast<double>(then.value), static_cast<double>(now.value), kUnchangedJump))
      found.checks.push_back(CheckOf(i, now,
                                     "the same " + GroupThousands(std::to_string(now.shares)) +
                                         " shares or amount as last quarter, but a value of $" +
                                         GroupThousands(std::to_string(now.value)) + " against $" +
                                         GroupThousands(std::to_string(then.value)) +
                                         ": a move the market seldom makes in a quarter; check the value"));
  }
  for (size_t i = 0; i < previous.holdings.size(); ++i)
    if (!seen[i]) {
      ++found.closed;
      found.changes.push_back(
          ChangeOf(HoldingChange::kClosed, i, previous.holdings[i], &previous.holdings[i]));
    }
}

// A new CUSIP under a name that held another last quarter, gone now.
void CheckCusips(const FiledTable& previous, const FiledTable& current, QuarterComparison& found) {
  // Last quarter's CUSIPs this quarter's table still holds, by each one's
  // first holding.
  std::vector<bool> held(previous.holdings.size());
  std::vector<size_t> newCusips;
  for (size_t i = 0; i < current.holdings.size(); ++i) {
    const uint32_t match = previous.byCusip.Find(CusipCode(current.holdings[i].cusip));
    if (match != HoldingIndex::kNone)
      held[match] = true;
    else
      newCusips.push_back(i);
  }
  if (newCusips.empty()) return;
  std::unordered_map<std::string, const FiledHolding*> goneByName;
  for (const FiledHolding& holding : previous.holdings)
    if (!held[previous.byCusip.Find(CusipCode(holding.cusip))])
      goneByName.emplace(Plain(holding.name), &holding);
  for (size_t i : newCusips) {
    const FiledHolding& now = current.holdings[i];
    const auto gone = goneByName.find(Plain(now.name));
    if (gone == goneByName.end()) continue;
    found.checks.push_back(CheckOf(i, now,
                                   "last quarter the same issuer was filed under CUSIP \"" +
                                       gone->second->cusip +
                                       "\", which the table no longer holds: a mistyped or outdated CUSIP?"));
  }
}

uint64_t Total(const FiledTable& table) {
  uint64_t total = 0;
  for (const FiledHolding& holding : table.holdings) total = SaturatingAdd(total, holding.value);
  return total;
}

}  // namespace

QuarterComparison CompareQuarters(const FiledTable& previousRead, const FiledTable& current) {
  // A table read by ReadFiledTable is indexed already.
  FiledTable indexed;
  const bool unindexed = !previousRead.byKey.Built();
  if (unindexed) {
    indexed = previousRead;
    IndexHoldings(indexed);
  }
  const FiledTable& previous = unindexed ? indexed : previousRead;
  QuarterComparison found;
  CheckHoldings(previous, current, found);
  CheckCusips(previous, current, found);
  const uint64_t before = Total(previous), now = Total(current);
  if (MovedBy(static_cast<double>(before), static_cast<double>(now), kTotalJump)) {
    // One mistake across the table is one line: the rows' own price lines go.
    found.checks.erase(std::remove_if(found.checks.begin(), found.checks.end(),
                                      [](const RowError& line) {
                                        return line.reason.find(kPriceLine) != std::string::npos;
                                      }),
                       found.checks.end());
    found.checks.push_back(
        {RowErrorKind::kCheckBeforeFiling, 0, "",
         "the table's total, $" + GroupThousands(std::to_string(now)) + ", against $" +
             GroupThousands(std::to_string(before)) +
             " last quarter: ten times or more apart; values in thousands, or rows missing?"});
  }
  return found;
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
           CsvCell(change.name) + "," + CsvCell(change.cusip) + "," +
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
