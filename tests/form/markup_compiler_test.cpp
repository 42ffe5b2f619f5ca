#include "form/markup_compiler.h"

#include <gtest/gtest.h>

namespace {

std::string Compiled(std::string page) {
  CompileFormMarkup(page);
  return page;
}

const std::string kHelp = " title='Hold down the mouse right button for more information.' omrd=qh|";

struct Case {
  const char* markup;
  std::string html;
};

void ExpectAll(const std::vector<Case>& cases) {
  for (const Case& c : cases) EXPECT_EQ(Compiled(c.markup), c.html) << c.markup;
}

TEST(CompileFormMarkup, EachTypeCode) {
  ExpectAll({
      {"`txName|size=4|Name`",
       "<SPAN id=cpName tabindex=-1 onclick=location='|cp|txName'>Name</SPAN>"
       "<INPUT CLASS=tx TYPE=text ID=txName onblur=location='|txName' size=4>"},
      {"`tcCode`", "<INPUT CLASS=tx TYPE=text ID=tcCode onblur=location='|tcCode'>"},
      {"`taNote||Note|initial text`",
       "<SPAN id=cpNote tabindex=-1 onclick=location='|cp|taNote'>Note</SPAN>"
       "<TEXTAREA ID=taNote onblur=location='|taNote'>initial text</TEXTAREA>"},
      {"`taNote`", "<TEXTAREA ID=taNote onblur=location='|taNote'></TEXTAREA>"},
      {"`ckOn||On`",
       "<INPUT CLASS=ck TYPE=checkbox ID=ckOn onclick=location='|ckOn|'+checked>"
       "<SPAN id=cpOn tabindex=-1 onclick=location='|cp|ckOn'>On</SPAN>"},
      {"`rbA|name=g|A`",
       "<INPUT CLASS=rb TYPE=radio ID=rbA onclick=location='|rbA' name=g>"
       "<SPAN id=cpA tabindex=-1 onclick=location='|cp|rbA'>A</SPAN>"},
      {"`slKind||Kind`",
       "<SPAN id=cpKind tabindex=-1 onclick=location='|cp|slKind'>Kind</SPAN>"
       "<SELECT ID=slKind onchange=location='|slKind|'+value>"},
      {"`scKind`", "<SELECT ID=scKind onchange=location='|scKind|'+value>"},
      {"`stKind`", "<SELECT ID=stKind onchange=location='|stKind|'+value>"},
      {"`mtX`", "<SELECT ID=mtX onchange=location='|mtX|'+value multiple >"},
      {"`btGo|style=width:9px|Go`", "<BUTTON ID=btGo onclick=location='|btGo' style=width:9px>Go</BUTTON>"},
      {"`spNote||Text`", "<SPAN ID=spNote>Text</SPAN>"},
      {"`shMore||More`", "<SPAN CLASS=sh ID=shMore onclick=location='|cl|shMore'>More</SPAN>"},
      {"`skLink||Link`",
       "<SPAN CLASS=sk ID=skLink onmouseover=location='|me|skLink' onmouseout=location='|mx|skLink' "
       "onclick=location='|cl|skLink'>Link</SPAN>"},
      {"`px12`", "<span style=width:12px></span>"},
      {"`lqAny`", ""},
  });
}

TEST(CompileFormMarkup, TheTwoButtonsAndTheWorkedExample) {
  ExpectAll({
      {"`btCapture|style=width:46px|!C!apture`",
       "<BUTTON ID=btCapture onclick=location='|btCapture' style=width:46px accesskey=C>"
       "<span class=ak>C</span>apture</BUTTON>"},
      {"`btSubmit|style=width:40px|!S!ubmit`",
       "<BUTTON ID=btSubmit onclick=location='|btSubmit' style=width:40px accesskey=S>"
       "<span class=ak>S</span>ubmit</BUTTON>"},
      {"`tcFilter|style=width:88px~|!F!ilter:~`",
       "<SPAN id=cpFilter style=height:14px;margin-right:2px tabindex=-1 onclick=location='|cp|tcFilter' "
       "title='Hold down the mouse right button for more information.' omrd=qh|tcFilter>"
       "<span class=ak>F</span>ilter:</SPAN>"
       "<INPUT CLASS=tx TYPE=text ID=tcFilter onblur=location='|tcFilter' style=width:88px "
       "title='Hold down the mouse right button for more information.' omrd=qh|tcFilter accesskey=F>"},
  });
}

TEST(CompileFormMarkup, AccessKeys) {
  ExpectAll({
      {"`btA||!!Go`", "<BUTTON ID=btA onclick=location='|btA' accesskey=><span class=ak></span>Go</BUTTON>"},
      {"`btA||Go!`", "<BUTTON ID=btA onclick=location='|btA'>Go!</BUTTON>"},
      {"`btA||G!o`", "<BUTTON ID=btA onclick=location='|btA'>G!o</BUTTON>"},
      {"`btA||a!b!c!d`",
       "<BUTTON ID=btA onclick=location='|btA' accesskey=b>a<span class=ak>b</span>c!d</BUTTON>"},
      {"`shA||!M!ore`",
       "<SPAN CLASS=sh ID=shA onclick=location='|cl|shA' accesskey=M tabindex=-1 "
       "onfocus=blur();location='|ak|shA'>"
       "<span class=ak>M</span>ore</SPAN>"},
  });
}

TEST(CompileFormMarkup, InlineLabelMark) {
  ExpectAll({
      {"`ckA||On~`",
       "<INPUT CLASS=ck TYPE=checkbox ID=ckA onclick=location='|ckA|'+checked>"
       "<SPAN id=cpA style=height:15px;margin-right:2px tabindex=-1 onclick=location='|cp|ckA'>On</SPAN>"},
      {"`txA||x~y~`",
       "<SPAN id=cpA style=height:14px;margin-right:2px tabindex=-1 onclick=location='|cp|txA'>x</SPAN>"
       "<INPUT CLASS=tx TYPE=text ID=txA onblur=location='|txA'>"},
      {"`txA||x~y`",
       "<SPAN id=cpA tabindex=-1 onclick=location='|cp|txA'>x~y</SPAN><INPUT CLASS=tx TYPE=text ID=txA "
       "onblur=location='|txA'>"},
      {"`spA||x~`", "<SPAN ID=spA>x~</SPAN>"},
      {"`btA||x~`", "<BUTTON ID=btA onclick=location='|btA'>x~</BUTTON>"},
      {"`shA||x~`", "<SPAN CLASS=sh ID=shA onclick=location='|cl|shA'>x~</SPAN>"},
  });
}

TEST(CompileFormMarkup, HelpMarkerAndLatestHelp) {
  const std::string mouse =
      " onmousedown=title='' onmouseup=\"title='Hold down the mouse right button for more information.'\"";
  ExpectAll({
      {"`rbA|~|A`", "<INPUT CLASS=rb TYPE=radio ID=rbA onclick=location='|rbA'" + kHelp +
                        "rbA>"
                        "<SPAN id=cpA tabindex=-1 onclick=location='|cp|rbA'" +
                        kHelp + "rbA>A</SPAN>"},
      {"`skA|~|A`", "<SPAN CLASS=sk ID=skA onmouseover=location='|me|skA' onmouseout=location='|mx|skA'" +
                        mouse + " onclick=location='|cl|skA'" + kHelp + "skA>A</SPAN>"},
      {"<b `lqA`> `btB|~|B` <i`lqC`> <u`lqD|~`>", "<b > <BUTTON ID=btB onclick=location='|btB'" + kHelp +
                                                      "btB>B</BUTTON> <i" + kHelp + "btB> <u" + kHelp +
                                                      "lqD>"},
  });
}

TEST(CompileFormMarkup, AttributeFieldRules) {
  ExpectAll({
      {"`btA|onfocus=location='!x'|A`",
       "<BUTTON ID=btA onclick=location='|btA' onfocus=location='|x'>A</BUTTON>"},
      {"`btA| style=x|A`", "<BUTTON ID=btA onclick=location='|btA' style=x>A</BUTTON>"},
      {"`btA|  two|A`", "<BUTTON ID=btA onclick=location='|btA'  two>A</BUTTON>"},
      {"`spA|||ignored|more`", "<SPAN ID=spA></SPAN>"},
  });
}

TEST(CompileFormMarkup, TextThatIsNotAControlStays) {
  ExpectAll({
      {"no items here", "no items here"},
      {"a `` b", "a `` b"},
      {"`x|y` `xxName` `b`", "`x|y` `xxName` `b`"},
      {"before `btA|unclosed", "before `btA|unclosed"},
      {"ends with `", "ends with `"},
      {"`zz` `px5`", "`zz` <span style=width:5px></span>"},
      {"`btA||`px1``", "<BUTTON ID=btA onclick=location='|btA'></BUTTON>px1``"},
  });
}

}  // namespace
