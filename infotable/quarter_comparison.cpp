#include "infotable/quarter_comparison.h"

#include <algorithm>
#include <cstdio>
#include <unordered_map>

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

std::string Named(size_t index, const FiledHolding& holding) {
  return "entry " + std::to_string(index + 1) + ", " + holding.name + " (" + holding.cusip + ")";
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

void AddCsvLine(std::string& csv, const std::string& status, size_t entry, const FiledHolding& holding,
                const FiledHolding* before) {
  const auto number = [](uint64_t n) { return std::to_string(n); };
  const long double valueChange = before ? static_cast<long double>(holding.value) - before->value : 0;
  const long double sharesChange = before ? static_cast<long double>(holding.shares) - before->shares : 0;
  char changes[96];
  std::snprintf(changes, sizeof changes, "%.0Lf,%.0Lf", valueChange, sharesChange);
  csv += status + "," + (entry ? std::to_string(entry) : std::string()) + "," + CsvCell(holding.name) + "," +
         CsvCell(holding.cusip) + "," + (before ? number(before->value) : "") + "," +
         (status == "closed" ? "" : number(holding.value)) + "," + (before ? number(before->shares) : "") + "," +
         (status == "closed" ? "" : number(holding.shares)) + "," + (status == "changed" ? changes : ",") + "\n";
}

void CheckHoldings(const FiledTable& previous, const FiledTable& current, QuarterComparison& found) {
  std::unordered_map<uint64_t, const FiledHolding*> before;
  for (const FiledHolding& holding : previous.holdings) before.emplace(holding.key, &holding);
  std::unordered_map<uint64_t, bool> seen;
  for (size_t i = 0; i < current.holdings.size(); ++i) {
    const FiledHolding& now = current.holdings[i];
    const auto match = before.find(now.key);
    if (match == before.end()) {
      ++found.added;
      AddCsvLine(found.csv, "new", i + 1, now, nullptr);
      continue;
    }
    seen[now.key] = true;
    const FiledHolding& then = *match->second;
    if (now.value != then.value || now.shares != then.shares) AddCsvLine(found.csv, "changed", i + 1, now, &then);
    if (now.inShares && then.inShares && now.shares > 0 && then.shares > 0) {
      const double pricesThen = static_cast<double>(then.value) / static_cast<double>(then.shares);
      const double priceNow = static_cast<double>(now.value) / static_cast<double>(now.shares);
      if (MovedBy(pricesThen, priceNow, kPriceJump)) {
        found.checks.push_back(Named(i, now) + ": value per share " + Dollars(priceNow) + " now, " +
                               Dollars(pricesThen) + " last quarter, a change of " + std::to_string(static_cast<long>(
                                   priceNow > pricesThen ? priceNow / pricesThen : pricesThen / priceNow)) +
                               kPriceLine);
        continue;
      }
    }
    if (now.shares == then.shares && MovedBy(static_cast<double>(then.value), static_cast<double>(now.value), kUnchangedJump))
      found.checks.push_back(Named(i, now) + ": the same " + GroupThousands(std::to_string(now.shares)) +
                             " shares or amount as last quarter, but a value of $" +
                             GroupThousands(std::to_string(now.value)) + " against $" +
                             GroupThousands(std::to_string(then.value)) +
                             ": a move the market seldom makes in a quarter; check the value");
  }
  for (const FiledHolding& then : previous.holdings)
    if (!seen.count(then.key)) {
      ++found.closed;
      AddCsvLine(found.csv, "closed", 0, then, &then);
    }
}

// A new CUSIP under a name that held another last quarter, gone now.
void CheckCusips(const FiledTable& previous, const FiledTable& current, QuarterComparison& found) {
  std::unordered_map<std::string, bool> cusipsNow, cusipsThen;
  for (const FiledHolding& holding : current.holdings) cusipsNow[holding.cusip] = true;
  std::unordered_map<std::string, const FiledHolding*> goneByName;
  for (const FiledHolding& holding : previous.holdings) {
    cusipsThen[holding.cusip] = true;
    if (!cusipsNow.count(holding.cusip)) goneByName.emplace(Plain(holding.name), &holding);
  }
  for (size_t i = 0; i < current.holdings.size(); ++i) {
    const FiledHolding& now = current.holdings[i];
    if (cusipsThen.count(now.cusip)) continue;
    const auto gone = goneByName.find(Plain(now.name));
    if (gone == goneByName.end()) continue;
    found.checks.push_back(Named(i, now) + ": last quarter the same issuer was filed under CUSIP " +
                           gone->second->cusip + ", which the table no longer holds: a mistyped or outdated CUSIP?");
  }
}

uint64_t Total(const FiledTable& table) {
  uint64_t total = 0;
  for (const FiledHolding& holding : table.holdings) total = SaturatingAdd(total, holding.value);
  return total;
}

}  // namespace

QuarterComparison CompareQuarters(const FiledTable& previous, const FiledTable& current) {
  QuarterComparison found;
  found.csv = "status,entry,name of issuer,cusip,value last quarter,value,shares last quarter,shares,value change,"
              "shares change\n";
  CheckHoldings(previous, current, found);
  CheckCusips(previous, current, found);
  const uint64_t before = Total(previous), now = Total(current);
  if (MovedBy(static_cast<double>(before), static_cast<double>(now), kTotalJump)) {
    // One mistake across the table is one line: the rows' own price lines go.
    found.checks.erase(std::remove_if(found.checks.begin(), found.checks.end(),
                                      [](const std::string& line) { return line.find(kPriceLine) != std::string::npos; }),
                       found.checks.end());
    found.checks.push_back("the table's total, $" + GroupThousands(std::to_string(now)) + ", against $" +
                           GroupThousands(std::to_string(before)) +
                           " last quarter: ten times or more apart; values in thousands, or rows missing?");
  }
  return found;
}
