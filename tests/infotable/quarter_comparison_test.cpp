#include "infotable/quarter_comparison.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "infotable/conversion.h"
#include "infotable/document_rows.h"
#include "tests/support/holdings.h"
#include "tests/support/temp_dir.h"

namespace {

std::string SecSample() { return std::string(FORM13F_EDGAR_DIR) + "/SEC_Sample_13F-HR.xml"; }

size_t Count(const std::vector<RowError>& lines, const std::string& part) {
  size_t count = 0;
  for (const RowError& line : lines) count += line.reason.find(part) != std::string::npos;
  return count;
}

// The SEC's own sample filing (for 2021, values in thousands) as last
// quarter's, and this quarter's table made from its holdings in dollars,
// changed as filers' tables go wrong.
class QuarterComparisonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(SecSample())) GTEST_SKIP() << "EDGAR's sample is not beside the project";
    ASSERT_FALSE(ReadFiledTable(SecSample(), false, previous_));
    ASSERT_TRUE(previous_.valuesWereThousands) << "a submission for 2021";
    // The sample's own entries, its attachment decoded by the system's tools.
    const std::string command = "xmllint --xpath \"string(//*[local-name()='contents'])\" " + SecSample() +
                                " 2>/dev/null | base64 -d > " + dir_.File("sample.xml");
    if (std::system(command.c_str()) != 0) GTEST_SKIP() << "xmllint or base64 is not installed";
    ASSERT_FALSE(ReadDocumentEntries(ReadFile(dir_.File("sample.xml")), entries_));
    ASSERT_EQ(entries_.size(), previous_.holdings.size());
  }

  // This quarter's table: every entry in dollars unless `change` says
  // otherwise, converted and compared with last quarter's as a capture does.
  QuarterComparison Compared(const std::function<bool(size_t, DocumentEntry&)>& change) {
    std::string table;
    for (size_t i = 0; i < entries_.size(); ++i) {
      DocumentEntry entry = entries_[i];
      entry[kEntryValue] = std::to_string(std::stoull(entry[kEntryValue]) * 1000);
      if (!change(i, entry)) continue;
      table += SheetLine({entry[kEntryName], entry[kEntryClass], entry[kEntryCusip], entry[kEntryValue],
                          entry[kEntryAmount], entry[kEntryAmountType], entry[kEntryPutCall],
                          entry[kEntryDiscretion], entry[kEntryManagers], entry[kEntrySole],
                          entry[kEntryShared], entry[kEntryNone]});
    }
    ConversionRequest request;
    request.previous = &previous_;
    request.previousName = "13f-hr-2021q4.xml";
    const Conversion conversion = ConvertInfoTable(table, dir_.File("tev_13f.xml"), request);
    EXPECT_EQ(conversion.outcome, ConversionOutcome::kWritten);
    EXPECT_NE(conversion.previewStatus.find("<br>Compared with last quarter's filing, 13f-hr-2021q4.xml (its "
                                            "values in thousands, brought to dollars): "),
              std::string::npos)
        << conversion.previewStatus.substr(0, 600);
    QuarterComparison found = *conversion.comparison;
    found.checks = conversion.errors;
    return found;
  }

  TempDir dir_;
  FiledTable previous_;
  std::vector<DocumentEntry> entries_;
};

TEST_F(QuarterComparisonTest, EachKindOfMistakeHasItsLineAndAnOrdinaryQuarterNone) {
  const std::string thousands = "values in thousands or in cents?";
  const struct {
    const char* kind;
    std::function<bool(size_t, DocumentEntry&)> change;
    size_t priceLines, unchangedLines, cusipLines, totalLines;
    uint32_t added, closed;
  } cases[] = {
      {"the same holdings", [](size_t, DocumentEntry&) { return true; }, 0, 0, 0, 0, 0, 0},
      {"3 rows left in thousands",
       [](size_t i, DocumentEntry& e) {
         if (i >= 10 && i < 13) e[kEntryValue] = std::to_string(std::stoull(e[kEntryValue]) / 1000);
         return true;
       },
       3, 0, 0, 0, 0, 0},
      {"the copy stopped 40 rows early",
       [this](size_t i, DocumentEntry&) { return i + 40 < entries_.size(); }, 0, 0, 0, 0, 0, 40},
      {"a CUSIP mistyped",
       [](size_t i, DocumentEntry& e) {
         if (i == 2) e[kEntryCusip] = "00972D104";
         return true;
       },
       0, 0, 1, 0, 1, 1},
      {"a value 6 times with the same shares",
       [](size_t i, DocumentEntry& e) {
         if (i == 1) e[kEntryValue] = std::to_string(std::stoull(e[kEntryValue]) * 6);
         return true;
       },
       0, 1, 0, 0, 0, 0},
      {"the whole table in thousands",
       [](size_t, DocumentEntry& e) {
         e[kEntryValue] = std::to_string(std::stoull(e[kEntryValue]) / 1000);
         return true;
       },
       0, 0, 0, 1, 0, 0},
  };
  for (const auto& c : cases) {
    // A whole table in thousands is one mistake, told once by its total.
    const QuarterComparison found = Compared(c.change);
    EXPECT_EQ(Count(found.checks, thousands), c.priceLines) << c.kind;
    EXPECT_EQ(Count(found.checks, "a move the market seldom makes"), c.unchangedLines) << c.kind;
    EXPECT_EQ(Count(found.checks, "a mistyped or outdated CUSIP?"), c.cusipLines) << c.kind;
    EXPECT_EQ(Count(found.checks, "the table's total"), c.totalLines) << c.kind;
    for (const RowError& check : found.checks)
      if (check.reason.find(thousands) != std::string::npos) {
        EXPECT_TRUE(check.entry >= 11 && check.entry <= 13) << c.kind << ": the line leads to its entry";
        EXPECT_EQ(check.row, check.entry) << c.kind << ": and names its sheet row";
      }
    EXPECT_EQ(found.added, c.added) << c.kind;
    EXPECT_EQ(found.closed, c.closed) << c.kind;
    if (c.priceLines + c.unchangedLines + c.cusipLines + c.totalLines == 0) {
      EXPECT_TRUE(found.checks.empty()) << c.kind << ": new and closed holdings are no mistakes";
    }
  }
}

TEST_F(QuarterComparisonTest, EveryChangeIsInTheCsv) {
  const std::string csv = ComparisonCsv(Compared([](size_t i, DocumentEntry& e) {
    if (i == 0) e[kEntryAmount] = std::to_string(std::stoull(e[kEntryAmount]) + 10);
    return i != 5;
  }));
  EXPECT_EQ(
      csv.substr(0, csv.find('\n')),
      "status,entry,name of issuer,cusip,value last quarter,value,shares last quarter,shares,value change,"
      "shares change");
  EXPECT_NE(csv.find("\nchanged,1,AT&T INC,02079K107,"), std::string::npos) << csv.substr(0, 400);
  EXPECT_NE(csv.find(",10\n"), std::string::npos) << "the shares' change";
  EXPECT_NE(csv.find("\nclosed,,"), std::string::npos);
}

// Last quarter's filing in each form EDGAR serves, and files that are none.
TEST(FiledTable, EveryEraAndFormIsReadAndOtherFilesAreNamed) {
  TempDir dir;
  // A table alone tells its era by value / shares: $150 a share, or $0.15.
  const struct {
    const char* name;
    const char* value;
    bool thousands;
    uint64_t dollars;
  } eras[] = {{"dollars.xml", "150000", false, 150000}, {"thousands.xml", "150", true, 150000}};
  FiledTable filed;
  for (const auto& era : eras) {
    std::string table;
    for (int i = 0; i < 6; ++i) {
      const std::string name = "ISSUER " + std::to_string(i);
      table +=
          SheetLine({name, "COM", CusipFor(name), era.value, "1000", "SH", "", "SOLE", "", "1000", "0", "0"});
    }
    ASSERT_EQ(ConvertInfoTable(table, dir.File(era.name)).outcome, ConversionOutcome::kWritten);
    ASSERT_FALSE(ReadFiledTable(dir.File(era.name), false, filed)) << era.name;
    EXPECT_EQ(filed.valuesWereThousands, era.thousands) << era.name;
    ASSERT_EQ(filed.holdings.size(), 6u);
    EXPECT_EQ(filed.holdings[0].value, era.dollars) << era.name;
    ASSERT_FALSE(ReadFiledTable(dir.File(era.name), true, filed));
    EXPECT_FALSE(filed.valuesWereThousands) << "this quarter's table as written";
  }
  const struct {
    const char* name;
    std::string content;
    const char* refused;
  } others[] = {
      {"page.html", "<html><body>13F</body></html>", "is not a 13F information table"},
      {"empty.xml", "", "is not a 13F information table"},
      {"notice.xml",
       "<edgarSubmission xmlns='http://www.sec.gov/edgar/thirteenffiler'><headerData><submissionType>13F-NT"
       "</submissionType></headerData></edgarSubmission>",
       "is a submission without an attached information table"},
      {"cut.xml",
       "<edgarSubmission><documents><document><contents>PD94bW</contents></document></documents></"
       "edgarSubmission>",
       "is a submission whose attached table is cut"},
      {"page.xml",
       "<edgarSubmission><documents><document><contents>PGh0bWw+</contents></document></documents></"
       "edgarSubmission>",
       "is a submission whose attachment holds no infoTable entry"},
  };
  for (const auto& other : others) {
    WriteFile(dir.File(other.name), other.content);
    const Refusal refusal = ReadFiledTable(dir.File(other.name), false, filed);
    ASSERT_TRUE(refusal) << other.name;
    EXPECT_EQ(refusal->rfind(other.refused, 0), 0u) << other.name << ": " << *refusal;
  }
  EXPECT_TRUE(ReadFiledTable(dir.File("missing.xml"), false, filed));
}

}  // namespace
