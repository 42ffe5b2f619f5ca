#include "infotable/securities_list.h"

#include <gtest/gtest.h>

#include "infotable/conversion.h"
#include "tests/support/holdings.h"
#include "tests/support/securities_list.h"
#include "tests/support/temp_dir.h"

namespace {

// APPLE with options and its CALL line, MICROSOFT without options, an added
// and a deleted security.
std::string TestList(const char* lineEnd = "\n") {
  return ListLine("037833100", true, "APPLE INC", "COM") + lineEnd +
         ListLine("037833950", false, "APPLE INC", "CALL") + lineEnd +
         ListLine("594918104", false, "MICROSOFT CORP", "COM") + lineEnd +
         ListLine("023135106", true, "AMAZON COM INC", "COM", "*A*") + lineEnd +
         ListLine("30231G102", false, "EXXON MOBIL CORP", "COM", "*D*") + lineEnd;
}

TEST(SecuritiesList, ReadsThePublishedLayout) {
  for (const std::string& text :
       {TestList(), TestList("\r\n"), TestList().substr(0, TestList().size() - 1)}) {
    SecuritiesList list;
    ASSERT_FALSE(ReadSecuritiesList(text, "13flist2026q2.txt", list)) << "CRLF, and no line end at the end";
    ASSERT_EQ(list.securities.size(), 5u);
    EXPECT_EQ(list.quarter, "2026 Q2");
    const ListedSecurity* apple = list.Find("037833100");
    ASSERT_TRUE(apple);
    EXPECT_TRUE(apple->hasOptions);
    EXPECT_EQ(apple->issuer, "APPLE INC");
    EXPECT_EQ(*list.Find("037833950")->underlying, 0u) << "a CALL line follows its security";
    EXPECT_TRUE(list.Find("023135106")->added);
    EXPECT_TRUE(list.Find("30231G102")->deleted);
    EXPECT_FALSE(list.Find("999999999"));
  }
  EXPECT_EQ(ListQuarter("13flist2026q2-txt.txt"), "2026 Q2");
  EXPECT_FALSE(ListQuarter("13flist2026q5.txt"));
  EXPECT_FALSE(ListQuarter("holdings.txt"));
}

TEST(SecuritiesList, FilesThatAreNoListAreNamedWithTheReason) {
  const std::string list = TestList();
  const struct {
    std::string text;
    const char* why;
  } cases[] = {
      {"%PDF-1.7\n...", "is a PDF; the list's text file is the one to download"},
      {"<!DOCTYPE html><html><body>Official List</body></html>", "is a web page or another document"},
      {list.substr(0, list.size() - 30), "ends in the middle of line 5: the file is cut"},
      {list + "APPLE INC COM 037833100\n", "is not the list's layout: line 6 is not an 80-character line"},
      {"", "holds no securities"},
  };
  for (const auto& c : cases) {
    SecuritiesList read;
    EXPECT_EQ(ReadSecuritiesList(c.text, "13flist2026q2.txt", read).value_or("").rfind(c.why, 0), 0u)
        << c.why;
  }
}

TEST(SecuritiesList, EveryRowIsCheckedAgainstIt) {
  TempDir dir;
  SecuritiesList list;
  ASSERT_FALSE(ReadSecuritiesList(TestList(), "13flist2026q2.txt", list));
  const auto row = [](const char* name, const char* cusip, const char* putCall) {
    return SheetLine({name, "COM", cusip, "1,000", "10", "SH", putCall, "SOLE", "", "10", "0", "0"});
  };
  const struct {
    std::string row;
    const char* check;  // the first words of the row's check; empty: none
  } cases[] = {
      {row("APPLE INC", "037833100", ""), ""},
      {row("APPLE INC", "037833100", "Call"), ""},
      {row("AMAZON COM INC", "023135106", ""), ""},  // added this quarter: on the list
      {row("NOT LISTED INC", "459200101", ""), "CUSIP \"459200101\" is not on the Official List"},
      {row("EXXON MOBIL CORP", "30231G102", ""),
       "CUSIP \"30231G102\" \"EXXON MOBIL CORP COM\" is marked deleted"},
      {row("MICROSOFT CORP", "594918104", "Put"),
       "Put/Call Put on CUSIP \"594918104\" \"MICROSOFT CORP COM\", which"},
      {row("APPLE CALLS", "037833950", "Call"),
       "CUSIP \"037833950\" is the list's own number for the CALL options on \"APPLE INC COM\""},
  };
  for (const auto& c : cases) {
    const Conversion conversion =
        ConvertInfoTable(c.row, dir.File("tev_13f.xml"), PreviewKind::kDrawn, &list);
    std::string check;
    for (const RowError& error : conversion.errors)
      if (error.kind == RowErrorKind::kCheckBeforeFiling &&
          error.reason.find("check digit") == std::string::npos)
        check = error.reason;
    EXPECT_EQ(check.rfind(c.check, 0), 0u) << c.row << check;
    if (!*c.check) {
      EXPECT_EQ(conversion.rowsOnList, 1u) << c.row;
      EXPECT_NE(conversion.previewStatus.find("No errors."), std::string::npos) << c.row;
      EXPECT_NE(conversion.previewStatus.find("Checked against the SEC's list of 13(f) securities, "
                                              "13flist2026q2.txt (2026 Q2): 1 of 1 row is on it."),
                std::string::npos);
    }
  }
}

}  // namespace
