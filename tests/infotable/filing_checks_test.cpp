#include "infotable/filing_checks.h"

#include <gtest/gtest.h>

#include <functional>

#include "infotable/conversion.h"
#include "tests/support/holdings.h"
#include "tests/support/temp_dir.h"

namespace {

TEST(CusipCheckDigit, IsTheModulusTenDoubleAddDouble) {
  const struct {
    const char* firstEight;
    std::optional<int> digit;
  } cases[] = {
      {"03783310", 0},
      {"02313510", 6},
      {"46625H10", 0},
      {"02079K30", 5},
      {"G0403H10", 8},  // a letter first: Aon plc
      {"9ABC*@#1", 8},  // every kind of character
      {"0378331-", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(CusipCheckDigit(c.firstEight), c.digit) << c.firstEight;
}

using Cells = std::vector<std::string>;

// The shared SEC sheet, each row's cells; its row 1 is the heading.
std::vector<Cells> SecSheet() {
  std::vector<Cells> rows;
  const std::string text = ReadFile(FORM13F_SHEETS_DIR "/sec-12-columns-heading-blank-cells.tsv");
  for (size_t start = 0, end; start < text.size(); start = end + 1) {
    end = text.find('\n', start);
    const std::string line = text.substr(start, end - start);
    rows.emplace_back();
    for (size_t at = 0, tab;; at = tab + 1) {
      tab = line.find('\t', at);
      rows.back().push_back(line.substr(at, tab - at));
      if (tab == std::string::npos) break;
    }
  }
  return rows;
}

std::string Table(const std::vector<Cells>& rows) {
  std::string text;
  for (const Cells& row : rows) {
    for (size_t i = 0; i < row.size(); ++i) text += (i ? "\t" : "") + row[i];
    text += "\n";
  }
  return text;
}

constexpr size_t kValueCell = 3, kCusipCell = 2, kTypeCell = 5, kManagerCell = 8;

// The checks a table gets: the row and the reason's first words.
std::vector<std::pair<uint32_t, std::string>> Checks(const std::string& table, int* exitLike = nullptr) {
  TempDir dir;
  const Conversion conversion = ConvertInfoTable(table, dir.File("tev_13f.xml"));
  std::vector<std::pair<uint32_t, std::string>> checks;
  for (const RowError& error : conversion.errors)
    if (error.kind == RowErrorKind::kCheckBeforeFiling)
      checks.emplace_back(error.row, error.reason.substr(0, 30));
  if (exitLike) *exitLike = conversion.errors.empty() ? 0 : 1;
  return checks;
}

TEST(FilingChecks, EachMistakeInARealTableIsNamedWithItsRow) {
  if (!std::filesystem::exists(FORM13F_SHEETS_DIR)) GTEST_SKIP() << "no shared spreadsheet clipboards";
  const struct {
    const char* mistake;
    std::function<void(std::vector<Cells>&)> make;
    std::vector<std::pair<uint32_t, std::string>> checks;
  } cases[] = {
      {"values in thousands, as before 2023",
       [](std::vector<Cells>& rows) {
         for (size_t i = 1; i < rows.size(); ++i) {
           const std::string& value = rows[i][kValueCell];
           std::string digits;
           for (char c : value)
             if (c != ',') digits += c;
           rows[i][kValueCell] = std::to_string((std::stoll(digits) + 500) / 1000);
         }
       },
       {{0, "the values look like thousands"}}},
      {"a mistyped CUSIP",
       [](std::vector<Cells>& rows) { rows[3][kCusipCell] = "023135107"; },
       {{4, "CUSIP \"023135107\" does not end"}}},
      {"a row pasted twice",
       [](std::vector<Cells>& rows) { rows.push_back(rows[2]); },
       {{12, "the same holding as row 3 (the"}}},
      {"a manager by name",
       [](std::vector<Cells>& rows) { rows[3][kManagerCell] = "MGR ONE"; },
       {{4, "Other managers \"MGR ONE\" is no"}}},
      {"an index call on a principal amount",
       [](std::vector<Cells>& rows) { rows[5][kTypeCell] = "PRN"; },
       {{6, "Put/Call Call on a principal a"}}},
  };
  for (const auto& c : cases) {
    std::vector<Cells> rows = SecSheet();
    c.make(rows);
    int status = 0;
    EXPECT_EQ(Checks(Table(rows), &status), c.checks) << c.mistake;
    EXPECT_EQ(status, 1) << c.mistake;
  }
}

TEST(FilingChecks, WhatManyRowsShareIsOneLineThatNamesThem) {
  std::string table;
  for (int i = 0; i < 400; ++i)
    table += std::string("ISSUER ") + std::to_string(i) + "\tCOM\t" + std::to_string(37833100 + i) + "\t" +
             std::to_string(1000 + i) + "\t10\tSH\t\tDFND\t0\t10\t0\t0\n";
  TempDir dir;
  const Conversion conversion = ConvertInfoTable(table, dir.File("tev_13f.xml"));
  std::vector<std::string> checks;
  for (const RowError& error : conversion.errors)
    if (error.row == 0) checks.push_back(error.reason.substr(0, 50));
  EXPECT_EQ(checks, (std::vector<std::string>{"the CUSIPs of rows 1, 2, 3, 4, 5 and 395 more had ",
                                              "Other managers 0 in rows 1, 2, 3, 4, 5 and 395 mor"}));
  EXPECT_TRUE(conversion.managersUsed.empty()) << "0 is no manager of the cover page's list";
}

// One kind of mistake is one line, whatever the characters of its cells.
TEST(FilingChecks, WrongCheckDigitsInManyRowsAreOneGroup) {
  std::string table;
  for (int i = 0; i < 3000; ++i) {
    std::string cusip = CusipFor("ISSUER " + std::to_string(i));
    cusip.back() = static_cast<char>('0' + (cusip.back() - '0' + 1) % 10);
    table += SheetLine({"ISSUER " + std::to_string(i), "COM", cusip, "5", "1", "SH", "", "SOLE", "", "1", "0", "0"});
  }
  TempDir dir;
  const Conversion conversion = ConvertInfoTable(table, dir.File("tev_13f.xml"));
  ASSERT_EQ(conversion.statusGroups.size(), 1u) << conversion.previewStatus.substr(0, 2000);
  EXPECT_NE(conversion.previewStatus.find("Check before filing in 3,000 rows"), std::string::npos);
}

TEST(FilingChecks, OrdinaryTablesGetNoLine) {
  if (!std::filesystem::exists(FORM13F_SHEETS_DIR)) GTEST_SKIP() << "no shared spreadsheet clipboards";
  for (const char* sheet : {"sec-12-columns-heading-blank-cells.tsv", "figi-13-columns-heading.tsv",
                            "dollars-cents-blank-voting.tsv"})
    EXPECT_TRUE(Checks(ReadFile(std::string(FORM13F_SHEETS_DIR) + "/" + sheet)).empty()) << sheet;
  // The old reading's table has invented CUSIPs: only they, and its call on a
  // principal amount, are named.
  const auto legacy = Checks(ReadFile(FORM13F_TEST_DATA_DIR "/legacy-filled.tsv"));
  EXPECT_EQ(legacy, (std::vector<std::pair<uint32_t, std::string>>{{2, "CUSIP \"012345678\" does not end"},
                                                                   {2, "Put/Call Call on a principal a"},
                                                                   {3, "CUSIP \"ABCDEF123\" does not end"},
                                                                   {4, "CUSIP \"DEF456789\" does not end"},
                                                                   {8, "CUSIP \"000001234\" does not end"},
                                                                   {0, "the CUSIPs of rows 2 and 8 had"}}));

  // Penny stocks and a $600,000 share among ordinary holdings in dollars; the
  // same security in two discretions, or with other managers, is two holdings.
  std::vector<Cells> rows = SecSheet();
  rows.push_back({"PENNY ONE INC", "COM", "12345678" + std::to_string(*CusipCheckDigit("12345678")), "40,000",
                  "100,000", "SH", "", "SOLE", "", "100,000", "0", "0"});
  rows.push_back({"PENNY TWO INC", "COM", "22345678" + std::to_string(*CusipCheckDigit("22345678")), "3,000",
                  "10,000", "SH", "", "SOLE", "", "10,000", "0", "0"});
  rows.push_back({"BERKSHIRE HATHAWAY INC DEL", "CL A", "084670108", "6,030,000", "10", "SH", "", "SOLE", "",
                  "10", "0", "0"});
  Cells otherDiscretion = rows[1];
  otherDiscretion[7] = "DFND";
  otherDiscretion[kManagerCell] = "1";
  rows.push_back(otherDiscretion);
  EXPECT_TRUE(Checks(Table(rows)).empty());

  rows.resize(4);  // a heading and three rows in thousands: too few to tell a unit by
  for (size_t i = 1; i < rows.size(); ++i) rows[i][kValueCell] = "45";
  EXPECT_TRUE(Checks(Table(rows)).empty());
}

}  // namespace
