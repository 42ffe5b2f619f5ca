#include "form/event_text.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(ParseEventText, CodedValueAndOtherEvents) {
  const struct {
    const char* text;
    const char* selector;
    const char* subject;
    bool coded, hasValue;
    const char* value;
  } cases[] = {
      {"cp|ckAgree", "cp", "ckAgree", true, true, "ckAgree"},
      {"qh|txName", "qh", "txName", true, true, "txName"},
      {"ek|", "ek", "", true, true, ""},
      {"ak", "ak", "", true, false, ""},
      {"ckAgree|true", "ck", "ckAgree", false, true, "true"},
      {"rbOne|", "rb", "rbOne", false, true, ""},
      {"rbOne", "rb", "rbOne", false, false, ""},
      {"scCode|a%20b|c", "sc", "scCode", false, true, "a%20b|c"},
      {"cr|hide", "cr", "cr", false, true, "hide"},
      {"csTot", "cs", "csTot", false, false, ""},
      {"", "", "", false, false, ""},
  };
  for (const auto& c : cases) {
    const EventText event = ParseEventText(c.text);
    EXPECT_EQ(event.selector, c.selector) << c.text;
    EXPECT_EQ(event.subject, c.subject) << c.text;
    EXPECT_EQ(event.coded, c.coded) << c.text;
    EXPECT_EQ(event.hasValue, c.hasValue) << c.text;
    EXPECT_EQ(event.value, c.value) << c.text;
  }
}

TEST(EventValues, ByteIndexAndSpaces) {
  EXPECT_EQ(ParseByteIndex("300"), 44);
  EXPECT_EQ(ParseByteIndex("12abc"), 12);
  EXPECT_EQ(ParseByteIndex("x1"), 0);
  EXPECT_EQ(ParseByteIndex(""), 0);
  EXPECT_EQ(ParseByteIndex("99999999999999999999999"), 255);  // 10^23 - 1 modulo 256, no overflow
  EXPECT_EQ(DecodeSpaces("a%20b%20%20c%41%2"), "a b  c%41%2");
}

TEST(TrimRule, EachRuleByItsFirstCharacter) {
  const struct {
    const char* rule;
    const char* value;
    const char* expected;
  } cases[] = {
      {"a", " \t two  words \r\n", "two words"},
      {"all", "a    b", "a b"},
      {"b", "  two  words  ", "two  words"},
      {"l", "  x  ", "x  "},
      {"r", "  x  ", "  x"},
      {"", "  x  ", "  x  "},
      {"z", "  x  ", "  x  "},
      {"a", "caf\xC3\xA9  \xC3\xA9t\xC3\xA9 ", "caf\xC3\xA9 \xC3\xA9t\xC3\xA9"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ApplyTrimRule(c.rule, c.value), c.expected) << c.rule << "|" << c.value;
}

TEST(HelpText, WidthFromThePrefixOrTheLength) {
  EXPECT_EQ(ReadHelpText(std::string(100, 'x')).width, 150);
  EXPECT_EQ(ReadHelpText(std::string(400, 'x')).width, 300);
  const HelpPopup sized = ReadHelpText("|320|<b>Wide</b>");
  EXPECT_EQ(sized.width, 320);
  EXPECT_EQ(sized.html, "<b>Wide</b>");
  EXPECT_EQ(ReadHelpText("|320").html, "");
  EXPECT_EQ(ReadHelpText("|99999999999|x").width, 30000);
}

TEST(CharBufferCopy, CutsWithoutSplittingACharacterAndAlwaysTerminates) {
  char buffer[8];
  std::memset(buffer, 'Z', sizeof buffer);
  CopyToBuffer("abcd\xC3\xA9xyz", buffer, 6);
  EXPECT_STREQ(buffer, "abcd");
  EXPECT_EQ(buffer[6], 'Z') << "nothing past the end";
  CopyToBuffer("abc\xC3\xA9", buffer, 6);
  EXPECT_STREQ(buffer, "abc\xC3\xA9");
  CopyToBuffer("long text", buffer, 1);
  EXPECT_STREQ(buffer, "");
}

}  // namespace
