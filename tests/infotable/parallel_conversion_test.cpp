// A table converted in blocks on many threads gives what one thread gives,
// byte for byte, and what spans blocks (entry numbers, the entry limit's row,
// the same holding twice, the table's checks) is decided over the whole table.
#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "infotable/blocks_in_order.h"
#include "infotable/conversion.h"
#include "tests/support/holdings.h"
#include "tests/support/temp_dir.h"

namespace {

// Where two long texts first differ, and what each holds there.
std::string FirstDifference(const std::string& a, const std::string& b) {
  size_t at = 0;
  while (at < a.size() && at < b.size() && a[at] == b[at]) ++at;
  if (at == a.size() && at == b.size()) return "";
  const size_t from = at < 200 ? 0 : at - 200;
  return "at " + std::to_string(at) + ":\n" + a.substr(from, 400) + "\n----\n" + b.substr(from, 400);
}

// Everything a conversion gives, as one text.
std::string Everything(const Conversion& c, const std::string& path) {
  std::string all = std::to_string(static_cast<int>(c.outcome)) + " " + std::to_string(c.entryCount) + " " +
                    std::to_string(c.refusedRows) + " " + std::to_string(c.valueTotal) + " " +
                    std::to_string(c.rowsOnList) + "\n" + PreviewHtml(c) + "\n" + c.previewTable.WidestRows();
  for (const std::string& group : c.statusGroups) all += group;
  for (const RowError& e : c.errors)
    all += std::to_string(static_cast<int>(e.kind)) + " " + std::to_string(e.row) + " " +
           std::to_string(e.entry) + " " + e.line + " " + e.reason + "\n";
  return all + ReadFile(path);
}

// Rows of every kind, spread over many blocks: refused ones, holdings that
// come back blocks later, wrong check digits, characters with no plain form,
// managers 0, fractions of shares.
std::string MixedTable(int rows) {
  std::string table = SheetLine({"Name of issuer", "Title of class", "CUSIP", "Value", "Shares", "SH/PRN",
                                 "Put/Call", "Discretion", "Managers", "Sole", "Shared", "None"});
  for (int i = 0; i < rows; ++i) {
    const std::string name = "ISSUER " + std::to_string(i % 4000);
    std::string cusip = CusipFor(name);
    if (i % 13 == 0) cusip.back() = cusip.back() == '9' ? '0' : static_cast<char>(cusip.back() + 1);
    table += SheetLine({i % 17 == 0 ? name + " CAF\xC3\x89" : name, "COM", i % 7 == 0 ? "12345" : cusip,
                        std::to_string(1000 + i), i % 19 == 0 ? "10.5" : "10", "SH", "n/a", "SOLE",
                        i % 23 == 0 ? "0" : "1", "10", "0", "0"});
  }
  return table;
}

// The text repeated until it spans many blocks.
std::string Repeated(const std::string& text) {
  std::string table;
  while (!text.empty() && table.size() < 400'000) table += text + "\r\n";
  return table;
}

// Rows whose name cells hold a line break late in a quoted cell, as
// spreadsheets copy them: most line breaks of the copy are inside a cell.
std::string QuotedBreaksTable(int rows) {
  std::string table;
  for (int i = 0; i < rows; ++i) {
    const std::string name = "ISSUER " + std::to_string(i) + std::string(60, 'X');
    table += "\"" + name + "\nCORP\"\tCOM\t" + CusipFor(name) + "\t100\t1\tSH\tn/a\tSOLE\tn/a\t1\t0\t0\r\n";
  }
  return table;
}

std::vector<std::string> Tables() {
  std::vector<std::string> tables = {MixedTable(12'000), QuotedBreaksTable(4'000)};
  for (const char* folder :
       {FORM13F_SHEETS_DIR, FORM13F_TEST_DATA_DIR, FORM13F_TEST_DATA_DIR "/../../../fuzz/corpus/conversion"})
    for (const auto& entry : std::filesystem::directory_iterator(folder))
      if (entry.path().extension() != ".md" && entry.path().extension() != ".xml" &&
          entry.path().extension() != ".gnumeric" && entry.path().extension() != ".ods")
        tables.push_back(Repeated(ReadFile(entry.path().string())));
  return tables;
}

TEST(ParallelConversion, EveryThreadCountGivesTheOneThreadResult) {
  TempDir dir;
  for (const std::string& table : Tables()) {
    const std::string one = Everything(
        ConvertInfoTable(table, dir.File("t.xml"), PreviewKind::kDrawn, nullptr, "", 1), dir.File("t.xml"));
    for (unsigned threads : {2u, 3u, 8u})
      ASSERT_EQ(FirstDifference(Everything(ConvertInfoTable(table, dir.File("t.xml"), PreviewKind::kDrawn,
                                                            nullptr, "", threads),
                                           dir.File("t.xml")),
                                one),
                "")
          << threads << " threads, table of " << table.size() << " bytes";
  }
}

TEST(ParallelConversion, WhatSpansBlocksIsDecidedOverTheWholeTable) {
  TempDir dir;
  const Conversion c =
      ConvertInfoTable(MixedTable(12'000), dir.File("t.xml"), PreviewKind::kDrawn, nullptr, "", 4);
  ASSERT_EQ(c.outcome, ConversionOutcome::kWritten);
  // Each row is numbered as the entry it is, and every line of a written row
  // leads to the preview row of that row.
  for (size_t entry = 0; entry < c.previewTable.RowCount(); entry += 997)
    EXPECT_EQ(c.previewTable.Rows(entry, entry + 1).substr(0, std::to_string(entry + 1).size() + 1),
              std::to_string(entry + 1) + "\t");
  size_t sameHolding = 0;
  for (const RowError& e : c.errors) {
    if (e.entry == 0) continue;
    const std::string_view row = c.previewTable.Rows(e.entry - 1, e.entry);
    const std::string_view rowCell = row.substr(row.find('\t') + 1);
    EXPECT_EQ(rowCell.substr(0, rowCell.find('\t')), std::to_string(e.row)) << e.reason;
    sameHolding += e.reason.rfind("the same holding as row ", 0) == 0;
  }
  // Rows 4,000 apart hold the same security: all but the first 4,000 come
  // back, less those refused or with a CUSIP of their own.
  EXPECT_GT(sameHolding, 6'000u);
  EXPECT_EQ(c.entryCount + c.refusedRows, 12'000u);
}

TEST(BlocksInOrder, UsesEveryBlockInOrderOnceMade) {
  for (unsigned threads : {1u, 2u, 5u}) {
    std::vector<size_t> made(100, 0), used;
    MakeBlocksInOrder(
        100, threads, 3, [&](size_t block, size_t slot) { made[slot] = block + 1; },
        [&](size_t block, size_t slot) {
          EXPECT_EQ(made[slot], block + 1) << "the slot holds its own block, made";
          used.push_back(block);
          return true;
        });
    ASSERT_EQ(used.size(), 100u);
    for (size_t i = 0; i < used.size(); ++i) EXPECT_EQ(used[i], i);
  }
}

TEST(BlocksInOrder, StopsWhenUseSaysSoAndThrowsAFailureAgain) {
  for (unsigned threads : {1u, 4u}) {
    size_t used = 0;
    MakeBlocksInOrder(
        50, threads, 4, [](size_t, size_t) {},
        [&](size_t block, size_t) {
          ++used;
          return block < 9;
        });
    EXPECT_EQ(used, 10u);
    EXPECT_THROW(MakeBlocksInOrder(
                     50, threads, 4,
                     [](size_t block, size_t) {
                       if (block == 20) throw std::runtime_error("no room");
                     },
                     [](size_t, size_t) { return true; }),
                 std::runtime_error);
  }
}

}  // namespace
