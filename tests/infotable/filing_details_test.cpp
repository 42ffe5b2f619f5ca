#include "infotable/filing_details.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "tests/support/filing.h"
#include "tests/support/temp_dir.h"

namespace {

TEST(FilingDetails, ReadsEveryKeyAndTakesTheLastQuarterWhenNoPeriodIsGiven) {
  FilingDetails details;
  ASSERT_EQ(ReadFilingDetails(kFilingToml, "2026-12-10", details), std::vector<std::string>());
  EXPECT_EQ(details.manager.cik, "0001234567");
  EXPECT_EQ(details.manager.name, "BIG FUND TRUST INC");
  EXPECT_EQ(details.manager.stateOrCountry, "CT");
  EXPECT_EQ(details.signature.title, "CHIEF COMPLIANCE OFFICER");
  EXPECT_EQ(details.period, "2026-09-30");
  EXPECT_EQ(details.type, ReportType::kHoldings);
  ASSERT_EQ(details.includedManagers.size(), 1u);
  EXPECT_EQ(details.includedManagers[0].sequence, 1u);
  EXPECT_EQ(details.includedManagers[0].fileNumber, "028-67890");

  const std::string given = WithKey(kFilingToml, "[report]",
                                    "period = 2026-06-30\ntype = \"combination\"\namendment = 2\n"
                                    "amendment_type = \"new holdings\"\ntest = true");
  ASSERT_EQ(ReadFilingDetails(given, "2026-12-10", details), std::vector<std::string>());
  EXPECT_EQ(details.period, "2026-06-30");
  EXPECT_EQ(details.type, ReportType::kCombination);
  EXPECT_EQ(details.amendment, 2u);
  EXPECT_EQ(details.amendmentType, AmendmentType::kNewHoldings);
  EXPECT_TRUE(details.test);
}

// Each value EDGAR would refuse is named with its line and key; the reading
// gives no details to write with.
TEST(FilingDetails, NamesEveryValueEdgarRefusesWithItsLineAndKey) {
  const struct {
    const char* from;
    const char* to;
    const char* said;
  } cases[] = {
      {"cik = \"0001234567\"", "cik = \"12345\"", "line 2, manager.cik: \"12345\" is not 10 digits"},
      {"cik = \"0001234567\"", "cik = 1234567", "line 2, manager.cik: is not text"},
      {"name = \"BIG FUND TRUST INC\"", "name = \"SOCI\xC3\x89T\xC3\x89 G\xC3\x89N\xC3\x89RALE\"",
       "line 3, manager.name: \"SOCI\xC3\x89T\xC3\x89 G\xC3\x89N\xC3\x89RALE\" holds characters EDGAR refuses "
       "(\xC3\x89)"},
      {"file_number = \"028-12345\"", "file_number = \"28-12345\"",
       "line 8, manager.file_number: \"28-12345\" is not a Form 13F file number"},
      {"state_or_country = \"CT\"\nzip", "state_or_country = \"XY\"\nzip",
       "line 6, manager.state_or_country: \"XY\" is not one of EDGAR's state and country codes"},
      {"city = \"GREENWICH\"\nstate", "\nstate", "manager.city: missing"},
      {"[report]", "[report]\nperiod = 2026-08-31",
       "line 18, report.period: \"2026-08-31\" is not a calendar quarter's end"},
      {"[report]", "[report]\ntype = \"holding\"", "line 18, report.type: \"holding\" is none of holdings"},
      {"[report]", "[report]\namendment = 100", "line 18, report.amendment: is not a whole number from 0 to 99"},
      {"name = \"OTHER ADVISER LLC\"",
       "name = \"OTHER ADVISER LLC\"\n[[included_managers]]\nsequence = 1\nfile_number = \"028-1\"\nname = \"B\"",
       "line 24, included_managers[2].sequence: 1 is given to two managers"},
      {"[manager]", "[manager\n", "line 1: "},
  };
  for (const auto& c : cases) {
    std::string text = kFilingToml;
    ASSERT_NE(text.find(c.from), std::string::npos) << c.from;
    text.replace(text.find(c.from), std::string(c.from).size(), c.to);
    FilingDetails details;
    const std::vector<std::string> problems = ReadFilingDetails(text, "2026-12-10", details);
    ASSERT_FALSE(problems.empty()) << c.to;
    EXPECT_EQ(problems[0].rfind(c.said, 0), 0u) << c.to << ": " << problems[0];
  }
}

TEST(FilingDetails, TheLastQuarterEndBeforeADay) {
  const struct {
    const char* today;
    const char* end;
  } cases[] = {{"2026-12-10", "2026-09-30"}, {"2026-01-01", "2025-12-31"}, {"2026-03-31", "2025-12-31"},
               {"2026-04-01", "2026-03-31"}, {"2026-07-15", "2026-06-30"}, {"no date", ""}};
  for (const auto& c : cases) EXPECT_EQ(LastQuarterEnd(c.today), c.end) << c.today;
  for (const char* date : {"2026-03-31", "2026-06-30", "2026-09-30", "2026-12-31"}) EXPECT_TRUE(IsQuarterEndDate(date));
  for (const char* date : {"2026-06-31", "2026-02-29", "2026-9-30", "30-09-2026"}) EXPECT_FALSE(IsQuarterEndDate(date));
}

// The codes are EDGAR's own, every one of them and no other.
TEST(FilingDetails, StateAndCountryCodesAreEdgarsList) {
  const std::string schema = std::string(FORM13F_EDGAR_DIR) + "/eis_stateCodes.xsd";
  if (!std::filesystem::exists(schema)) GTEST_SKIP() << "EDGAR's schemas are not beside the project: " << schema;
  const std::string text = ReadFile(schema);
  std::string codes;
  const std::regex value("enumeration value=\"([^\"]*)\"");
  for (std::sregex_iterator it(text.begin(), text.end(), value), end; it != end; ++it)
    codes += (*it)[1].str() + " ";
  EXPECT_EQ(kEdgarStateAndCountryCodes, codes);
  EXPECT_TRUE(IsEdgarStateOrCountry("A0"));
  EXPECT_FALSE(IsEdgarStateOrCountry("C"));
  EXPECT_FALSE(IsEdgarStateOrCountry("T "));
}

}  // namespace
