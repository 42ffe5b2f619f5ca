#include "form/dom.h"

#include "tests/support/page_fixture.h"

namespace {

const std::string kPage = "<span id=spA class=c title='t'>old <b id=inner>text</b></span><p id=pB>one<br>two</p>";

using Dom = PageFixture;

TEST_F(Dom, MissingElementsAndScriptsWithoutAResultRaise) {
  Show(kPage);
  EXPECT_THROW(GetElementText(host(), "nope"), PageOperationFailed);
  EXPECT_THROW(ReplaceElementContent(host(), "nope", "x"), PageOperationFailed);
  EXPECT_THROW(RunPageScript(host(), "1"), PageOperationFailed) << "no array: no result";
  EXPECT_THROW(RunPageScript(host(), "[]"), PageOperationFailed);
  EXPECT_NO_THROW(RunPageScript(host(), "[true]"));
}

TEST_F(Dom, ElementTextBreaksLinesWhereThePageDoes) {
  Show(kPage);
  EXPECT_EQ(GetElementText(host(), "pB"), "one\ntwo");
  EXPECT_EQ(GetElementText(host(), "spA", "inner"), "old") << "the part left out";
  EXPECT_EQ(Js("document.getElementById('inner').style.display").toString(), "") << "and shown again";
  EXPECT_EQ(GetElementText(host(), "pB", "inner"), "one\ntwo") << "an element elsewhere leaves out nothing";
}

TEST_F(Dom, ReplaceElementContentKeepsTheOpeningTag) {
  Show(kPage);
  ReplaceElementContent(host(), "spA", "new <i>html</i> \xC3\xA9");
  EXPECT_EQ(Js("document.getElementById('spA').outerHTML").toString().toStdString(),
            "<span id=\"spA\" class=\"c\" title=\"t\">new <i>html</i> \xC3\xA9</span>");
  ReplaceElementContent(host(), "spA", "");
  EXPECT_EQ(Js("document.getElementById('spA').innerHTML").toString(), "");
}

TEST_F(Dom, ScriptLiteralsCarryEveryCharacter) {
  Show(kPage);
  const std::string text = "caf\xC3\xA9 \"q\" 'a' \\ \n\t\r\x01 \xE2\x80\xA8\xE2\x80\xA9";
  RunPageScript(host(), "document.getElementById('spA').textContent=" + ScriptLiteral(text) + ";[true]");
  EXPECT_EQ(Js("document.getElementById('spA').textContent").toString().toStdString(), text);
}

}  // namespace
