#include "form/dom.h"

#include "tests/support/page_fixture.h"

namespace {

const std::string kPage =
    "<span id=spA class=c title='t'>old <b>text</b></span>"
    "<input id=ckA type=checkbox><input id=txA value='v1'><textarea id=taA>t1</textarea>"
    "<select id=slA><option value=a>A</option><option value=b selected>B</option><option "
    "value=c>C</option></select>"
    "<button id=btA disabled>B</button><input id=txOff disabled>"
    "<input type=radio name=grp id=rb1><input type=radio name=grp id=rb2><span name=grp>no id</span>";

using Dom = PageFixture;

TEST_F(Dom, MissingElementsAndWrongKindsRaise) {
  Show(kPage);
  EXPECT_THROW(GetElementAttribute(host(), "nope", "title"), CVexc);
  EXPECT_THROW(GetInputValue(host(), "taA"), CVexc);
  EXPECT_THROW(GetTextAreaValue(host(), "txA"), CVexc);
  EXPECT_THROW(GetOptionCount(host(), "txA"), CVexc);
  EXPECT_THROW(GetOption(host(), "slA", 3, nullptr), CVexc);
  EXPECT_THROW(SetOptionSelected(host(), "slA", 7, true), CVexc);
  EXPECT_THROW(ReplaceElementContent("nope", "x"), CVexc);
  EXPECT_THROW(ClickElement(host(), "nope"), CVexc);
}

TEST_F(Dom, AttributesReportAbsence) {
  Show(kPage);
  std::string text = "unchanged";
  EXPECT_FALSE(GetAttributeText(host(), "spA", "stat", &text));
  EXPECT_EQ(text, "unchanged");
  EXPECT_TRUE(GetAttributeText(host(), "spA", "title", &text));
  EXPECT_EQ(text, "t");
  EXPECT_EQ(GetElementAttribute(host(), "spA", "stat"), "");
  const auto named = GetNamedElements(host(), "grp");
  ASSERT_EQ(named.size(), 3u);
  EXPECT_EQ(named[0], std::optional<std::string>("rb1"));
  EXPECT_EQ(named[1], std::optional<std::string>("rb2"));
  EXPECT_EQ(named[2], std::nullopt);
}

TEST_F(Dom, ReplaceElementContentKeepsTheOpeningTag) {
  Show(kPage);
  ReplaceElementContent("spA", "new <i>html</i> \xC3\xA9");
  EXPECT_EQ(Js("document.getElementById('spA').outerHTML").toString().toStdString(),
            "<span id=\"spA\" class=\"c\" title=\"t\">new <i>html</i> \xC3\xA9</span>");
  ReplaceElementContent("spA", "");
  EXPECT_EQ(Js("document.getElementById('spA').innerHTML").toString(), "");
  EXPECT_EQ(GetElementAttribute(host(), "spA", "class"), "c") << "a later lookup finds the new element";
}

TEST_F(Dom, StylesFocusAndClicks) {
  Show(kPage);
  SetStyleProperty(host(), "spA", "display", "none");
  EXPECT_EQ(Js("getComputedStyle(document.getElementById('spA')).display").toString(), "none");
  SetStyleProperty(host(), "spA", "display", "");
  EXPECT_EQ(Js("getComputedStyle(document.getElementById('spA')).display").toString(), "inline");
  ClearBackgroundColor(host(), "spA");
  SetStyleProperty(host(), "spA", "backgroundColor", "#800000");
  EXPECT_EQ(Js("document.getElementById('spA').style.backgroundColor").toString(), "rgb(128, 0, 0)");
  ClearBackgroundColor(host(), "spA");
  EXPECT_EQ(Js("document.getElementById('spA').style.backgroundColor").toString(), "");
  FocusElement(host(), "txA");
  EXPECT_EQ(GetActiveElementId(host()), std::optional<std::string>("txA"));
  SelectInputText(host(), "txA");
  EXPECT_EQ(Js("document.getElementById('txA').selectionEnd").toInt(), 2);
  ClickElement(host(), "ckA");
  EXPECT_TRUE(GetChecked(host(), "ckA"));
}

TEST_F(Dom, ValuesCheckedStatesAndOptions) {
  Show(kPage);
  SetChecked(host(), "ckA", true);
  EXPECT_TRUE(GetChecked(host(), "ckA"));
  SetInputValue(host(), "txA", "caf\xC3\xA9 \"q\" 'a' \\ \n");
  EXPECT_EQ(GetInputValue(host(), "txA"), "caf\xC3\xA9 \"q\" 'a' \\ ");
  SetTextAreaValue(host(), "taA", "line1\nline2\tend\x01");
  EXPECT_EQ(GetTextAreaValue(host(), "taA"), "line1\nline2\tend\x01");
  EXPECT_EQ(GetOptionCount(host(), "slA"), 3);
  std::string value;
  EXPECT_TRUE(GetOption(host(), "slA", 1, &value));
  EXPECT_EQ(value, "b");
  SetSelectValue(host(), "slA", "c");
  EXPECT_TRUE(GetOption(host(), "slA", 2, nullptr));
  SetSelectedIndex(host(), "slA", 0);
  EXPECT_TRUE(GetOption(host(), "slA", 0, nullptr));
  SetOptionSelected(host(), "slA", 1, true);
  EXPECT_FALSE(GetOption(host(), "slA", 0, nullptr));
  EXPECT_TRUE(GetDisabled(host(), "btA", ElementKind::kButton));
  EXPECT_TRUE(GetDisabled(host(), "txOff", ElementKind::kInput));
  EXPECT_FALSE(GetDisabled(host(), "txA", ElementKind::kInput));
  EXPECT_THROW(GetDisabled(host(), "txA", ElementKind::kButton), CVexc);
}

}  // namespace
