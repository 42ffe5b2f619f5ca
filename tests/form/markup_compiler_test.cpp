#include "form/markup_compiler.h"

#include <gtest/gtest.h>

#include "form/page_event.h"

namespace {

TEST(CompileFormMarkup, ButtonsAndTextThatIsNoButton) {
  const struct {
    const char* markup;
    std::string html;
  } cases[] = {
      {"`btCapture|style=width:46px|!C!apture`",
       "<BUTTON ID=btCapture onclick=location='|btCapture' style=width:46px accesskey=C>"
       "<span class=ak>C</span>apture</BUTTON>"},
      {"`btA||!!Go`", "<BUTTON ID=btA onclick=location='|btA' accesskey=><span class=ak></span>Go</BUTTON>"},
      {"`btA||Go!`", "<BUTTON ID=btA onclick=location='|btA'>Go!</BUTTON>"},
      {"`btA||a!b!c!d`", "<BUTTON ID=btA onclick=location='|btA' accesskey=b>a<span class=ak>b</span>c!d</BUTTON>"},
      {"`btA|onfocus=location='!x'|A`", "<BUTTON ID=btA onclick=location='|btA' onfocus=location='|x'>A</BUTTON>"},
      {"`btA| style=x|A`", "<BUTTON ID=btA onclick=location='|btA' style=x>A</BUTTON>"},
      {"`btA|||ignored`", "<BUTTON ID=btA onclick=location='|btA'></BUTTON>"},
      {"no items here", "no items here"},
      {"a `` b", "a `` b"},
      {"`x|y` `txName` `bt` `b`", "`x|y` `txName` `bt` `b`"},
      {"before `btA|unclosed", "before `btA|unclosed"},
      {"ends with `", "ends with `"},
      {"`btA||`btB``", "<BUTTON ID=btA onclick=location='|btA'></BUTTON>btB``"},
  };
  for (const auto& c : cases) {
    std::string page = c.markup;
    CompileFormMarkup(page);
    EXPECT_EQ(page, c.html) << c.markup;
  }
}

TEST(PageEvent, EveryEventReadsBackFromItsText) {
  const struct {
    const char* text;
    PageEvent event;
    const char* subject;
  } cases[] = {
      {"btCapture", PageEvent::kButton, "Capture"},
      {"csTot", PageEvent::kCopyField, "Tot"},
      {"ek|idFf", PageEvent::kEnter, "idFf"},
      {"ek|", PageEvent::kEnter, ""},
      {"hh|idHelp", PageEvent::kHelp, "idHelp"},
      {"cm|idCopyAll", PageEvent::kCopyAllMessages, "idCopyAll"},
      {"of|idOpen", PageEvent::kOpenFilingFolder, "idOpen"},
      {"sa|12", PageEvent::kShowGroup, "12"},
      {"ekidFf", PageEvent::kUnknown, "ekidFf"},  // an id-bearing event needs its bar
      {"qh|x", PageEvent::kUnknown, "qh|x"},
      {"", PageEvent::kUnknown, ""},
  };
  for (const auto& c : cases) {
    const PageEventText read = ReadPageEvent(c.text);
    EXPECT_EQ(read.event, c.event) << c.text;
    EXPECT_EQ(read.subject, c.subject) << c.text;
    if (c.event != PageEvent::kUnknown) {
      EXPECT_EQ(PageEventTextOf(c.event, c.subject), c.text);
    }
  }
}

}  // namespace
