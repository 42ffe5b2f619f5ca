#include "infotable/edgar_checks.h"

#include <gtest/gtest.h>

namespace {

InfoTableRow Good() {
  return {"ABC CORP", "COM", "123456789", "1000", "200", "SH", "", "SOLE", "", "200", "0", "0"};
}

InfoTableRow With(size_t position, const std::string& value) {
  InfoTableRow row = Good();
  row[position] = value;
  return row;
}

TEST(EdgarRules, EachRuleAtItsLimits) {
  const struct {
    InfoTableRow row;
    const char* problem;  // nullptr: accepted
  } cases[] = {
      {Good(), nullptr},
      {With(kNameOfIssuer, std::string(150, 'A')), nullptr},
      {With(kNameOfIssuer, std::string(151, 'A')),
       "nameOfIssuer must be 1 to 150 characters long, but it has 151: "},
      {With(kNameOfIssuer, std::string(149, 'A') + "&amp;"), nullptr},
      {With(kNameOfIssuer, ""), "nameOfIssuer must be 1 to 150 characters long, but it is empty"},
      {With(kNameOfIssuer, "A!\\#$(),.:;`=@'-{}|/&amp; z9"), nullptr},
      {With(kNameOfIssuer, "A+B"), "nameOfIssuer must not hold +, but it holds \"A+B\""},
      {With(kNameOfIssuer, "A*B_C\"D?[E]"), "nameOfIssuer must not hold * _ \" ? [ ], but"},
      {With(kNameOfIssuer, "A&lt;B&gt;"), "nameOfIssuer must not hold < >, but it holds \"A<B>\""},
      {With(kNameOfIssuer, "Caf\xC3\xA9"), "nameOfIssuer must not hold \xC3\xA9, but"},
      {With(kTitleOfClass, std::string(150, 'T')), nullptr},
      {With(kTitleOfClass, std::string(151, 'T')),
       "titleOfClass must be 1 to 150 characters long, but it has 151"},
      {With(kTitleOfClass, ""), "titleOfClass must be 1 to 150 characters long, but it is empty"},
      {With(kCusip, "12345678A"), nullptr},
      {With(kCusip, "1234567890"), "cusip must be exactly 9 letters or digits, but it holds \"1234567890\""},
      {With(kCusip, "1234-5678"), "cusip must be exactly 9 letters or digits"},
      {With(kValue, std::string(16, '9')), nullptr},
      {With(kValue, std::string(17, '9')),
       "value must be 1 to 16 digits, but it holds \"99999999999999999\""},
      {With(kSshPrnamt, ""), "sshPrnamt must be 1 to 16 digits, but it is empty"},
      {With(kOtherManager, std::string(100, 'M')), nullptr},
      {With(kOtherManager, std::string(101, 'M')),
       "otherManager must be 1 to 100 characters long, but it has 101"},
      {With(kSole, std::string(17, '1')), "Sole must be 1 to 16 digits"},
      {With(kShared, ""), "Shared must be 1 to 16 digits, but it is empty"},
      {With(kNone, ""), "None must be 1 to 16 digits, but it is empty"},
  };
  for (const auto& c : cases) {
    const std::vector<std::string> problems = CheckEdgarRules(c.row);
    if (!c.problem) {
      EXPECT_TRUE(problems.empty()) << ::testing::PrintToString(problems);
      continue;
    }
    ASSERT_EQ(problems.size(), 1u) << c.problem << ::testing::PrintToString(problems);
    EXPECT_EQ(problems[0].rfind(c.problem, 0), 0u) << problems[0];
  }
}

TEST(EdgarRules, ProblemsComeInFieldOrder) {
  InfoTableRow row = Good();
  row[kNone] = "";
  row[kNameOfIssuer] = "";
  row[kCusip] = "1";
  const std::vector<std::string> problems = CheckEdgarRules(row);
  ASSERT_EQ(problems.size(), 3u);
  EXPECT_EQ(problems[0].rfind("nameOfIssuer", 0), 0u);
  EXPECT_EQ(problems[1].rfind("cusip", 0), 0u);
  EXPECT_EQ(problems[2].rfind("None", 0), 0u);
}

}  // namespace
