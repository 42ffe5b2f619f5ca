#include "infotable/edgar_checks.h"

#include <gtest/gtest.h>

namespace {

InfoTableRow Good() {
  return {"ABC CORP", "COM", "123456789", "1000", "200", "SH", "", "SOLE", "", "200", "0", "0", ""};
}

InfoTableRow With(size_t position, const std::string& value) {
  InfoTableRow row = Good();
  row[position] = value;
  return row;
}

TEST(EdgarRules, EachRuleAtItsLimits) {
  const struct {
    InfoTableRow row;
    std::string problem;  // empty: accepted
  } cases[] = {
      {Good(), ""},
      {With(kNameOfIssuer, std::string(150, 'A')), ""},
      {With(kNameOfIssuer, std::string(151, 'A')),
       "nameOfIssuer \"" + std::string(151, 'A') + "\" is longer than 150 characters and will be cut"},
      {With(kNameOfIssuer, std::string(149, 'A') + "&amp;"), ""},
      {With(kNameOfIssuer, "A!\\#$(),.:;`=@'-{}|/&amp; z9"), ""},
      {With(kNameOfIssuer, "A+B"), "nameOfIssuer must not hold +, but it holds \"A+B\""},
      {With(kNameOfIssuer, "A*B_C\"D?[E]"), "nameOfIssuer must not hold * _ \" ? [ ], but"},
      {With(kNameOfIssuer, "A&lt;B&gt;"), "nameOfIssuer must not hold < >, but it holds \"A<B>\""},
      {With(kNameOfIssuer, "Caf\xC3\xA9"), "nameOfIssuer must not hold \xC3\xA9, but"},
      {With(kTitleOfClass, std::string(150, 'T')), ""},
      {With(kTitleOfClass, std::string(151, 'T')), "titleOfClass \"TTT"},
      {With(kCusip, "12345678A"), ""},
      {With(kCusip, "12345678901"), "CUSIP of 11 characters cannot be cut to 9: \"12345678901\""},
      {With(kCusip, "1234-5678"), "cusip must be exactly 9 letters or digits"},
      {With(kValue, std::string(16, '9')), ""},
      {With(kValue, std::string(17, '9')),
       "value must be 1 to 16 digits, but it holds \"99999999999999999\""},
      {With(kSshPrnamt, ""), "sshPrnamt must be 1 to 16 digits, but it is empty"},
      {With(kOtherManager, std::string(100, 'M')), ""},
      {With(kOtherManager, std::string(101, 'M')),
       "otherManager must be at most 100 characters long, but it has 101"},
      {With(kVotingSole, std::string(17, '1')), "Sole must be 1 to 16 digits"},
      {With(kVotingShared, ""), "Shared must be 1 to 16 digits, but it is empty"},
      {With(kVotingNone, ""), "None must be 1 to 16 digits, but it is empty"},
  };
  for (const auto& c : cases) {
    const std::vector<std::string> problems = CheckEdgarRules(c.row);
    if (c.problem.empty()) {
      EXPECT_TRUE(problems.empty()) << ::testing::PrintToString(problems);
      continue;
    }
    ASSERT_EQ(problems.size(), 1u) << c.problem << ::testing::PrintToString(problems);
    EXPECT_EQ(problems[0].rfind(c.problem, 0), 0u) << problems[0];
  }
}

TEST(EdgarRules, ProblemsComeInFieldOrder) {
  InfoTableRow row = Good();
  row[kVotingNone] = "";
  row[kNameOfIssuer] = "A+B";
  row[kCusip] = "1";
  const std::vector<std::string> problems = CheckEdgarRules(row);
  ASSERT_EQ(problems.size(), 3u);
  EXPECT_EQ(problems[0].rfind("nameOfIssuer", 0), 0u);
  EXPECT_EQ(problems[1].rfind("cusip", 0), 0u);
  EXPECT_EQ(problems[2].rfind("None", 0), 0u);
}

TEST(EdgarRules, TheTableNeedsATotalOfSixteenDigits) {
  const struct {
    uint64_t total;
    std::vector<std::string> problems;
  } cases[] = {
      {9999999999999999u, {}},
      {10000000000000000u,
       {"the information table total must be at most 16 digits for the cover page, but it is "
        "10,000,000,000,000,000"}},
      {UINT64_MAX,
       {"the information table total must be at most 16 digits for the cover page, but it is at least "
        "18,446,744,073,709,551,615"}},
  };
  for (const auto& c : cases) EXPECT_EQ(CheckEdgarTableRules(c.total), c.problems) << c.total;
}

}  // namespace
