#include "form/dispatcher.h"

#include <QCursor>
#include <algorithm>

#include "app/desktop.h"
#include "form/controls.h"
#include "form/dom.h"
#include "form/markup_compiler.h"
#include "form/page.h"
#include "tests/support/page_fixture.h"

namespace {

const char* const kMarkup =
    "`txPlain||Plain` `txAll|trim=a|All` `txBoth|trim=b|Both` `txLeft|trim=l|Left` `txRight|trim=r|Right` "
    "`txFree||Free` `tcCode|trim=b|Code` `taNotes||Notes|first` "
    "`ckAgree||!A!gree` `ckOff|disabled|Off` "
    "`rbOne|name=grp|One` `rbTwo|name=grp|Two` `rbThree|name=grp|Three` `rbLone||Lone` "
    "`slIndex||Index`<option value=0>zero</option><option value=1>one</option></SELECT>"
    "`scCode||Codes`<option value=a>a</option><option value='x y'>x y</option></SELECT>"
    "`stName||Name`<option value=a>a</option><option value='p q'>p q</option></SELECT>"
    "`mtMany|size=3|Many`<option value=a>A</option><option value=b>B</option><option "
    "value=c>C</option></SELECT>"
    "`btGo||Go` `skLink||!L!ink` `skOff|stat=disab|Off` `shClick||Click` `spHelp|~|Help`";

uint8_t agree, off, one, two, three, lone, index;
std::string plain, all, both, left, right, notes, name, many;
char code[8], codes[6];

std::vector<ControlBinding> Bindings() {
  return {{"txPlain", &plain}, {"txAll", &all},     {"txBoth", &both},
          {"txLeft", &left},   {"txRight", &right}, {"tcCode", CharBuffer{code, sizeof code}},
          {"taNotes", &notes}, {"ckAgree", &agree}, {"ckOff", &off},
          {"rbOne", &one},     {"rbTwo", &two},     {"rbThree", &three},
          {"rbLone", &lone},   {"slIndex", &index}, {"scCode", CharBuffer{codes, sizeof codes}},
          {"stName", &name},   {"mtMany", &many},   {"", {}}};
}

const HelpText kHelp[] = {{"spHelp", std::string(100, 'h')},
                          {"skLink", "|320|<b>Wide help</b>"},
                          {"btGo", std::string(400, 'g')},
                          {"", ""}};

std::vector<std::string>& Subjects() {
  static std::vector<std::string> subjects;
  return subjects;
}

// The application's handler as the main window has it: dispatch first.
void Dispatching(const std::string& eventText, PageHost& host) {
  const std::string subject = DispatchEvent(eventText);
  RecordEvent(eventText, host);
  Subjects().push_back(subject);
}

class Dispatcher : public PageFixture {
 protected:
  void SetUp() override {
    agree = off = one = two = three = lone = index = 0;
    plain = all = both = left = right = notes = name = many = "";
    code[0] = codes[0] = '\0';
    bindings_ = Bindings();
    SetControlBindings(bindings_.data());
    SetHelpTexts(kHelp);
    Subjects().clear();
    std::string body = kMarkup;
    CompileFormMarkup(body);
    Show(PageStyleSheet() + body, Dispatching);
    Js("document.getElementById('ckOff').disabled=true");
  }
  void TearDown() override {
    SetControlBindings(nullptr);
    SetHelpTexts(nullptr);
    PageFixture::TearDown();
  }
  std::string Value(const std::string& id) {
    return Js("document.getElementById('" + QString::fromStdString(id) + "').value").toString().toStdString();
  }
  void SetValue(const std::string& id, const std::string& value) {
    Js("document.getElementById('" + QString::fromStdString(id) + "').value=" + "'" +
       QString::fromStdString(value) + "'");
  }

  std::vector<ControlBinding> bindings_;
};

TEST_F(Dispatcher, LabelClicksFocusToggleOrRefuse) {
  EXPECT_EQ(DispatchEvent("cp|txFree"), "txFree");
  EXPECT_NE(GetActiveElementId(host()), std::optional<std::string>("txFree")) << "unbound: not even focused";

  Click("cpAgree");
  ASSERT_TRUE(WaitForEvents(1));
  EXPECT_EQ(RecordedEvents()[0], "cp|ckAgree");
  EXPECT_EQ(Subjects()[0], "ckAgree");
  EXPECT_EQ(agree, 1);
  EXPECT_TRUE(GetChecked(host(), "ckAgree"));

  const int sounds = ExclamationsPlayed();
  EXPECT_EQ(DispatchEvent("cp|ckOff"), "!ckOff");
  EXPECT_EQ(ExclamationsPlayed(), sounds + 1);
  EXPECT_EQ(off, 0);
  EXPECT_FALSE(GetChecked(host(), "ckOff"));

  SetValue("txPlain", "abc");
  EXPECT_EQ(DispatchEvent("cp|txPlain"), "txPlain");
  EXPECT_EQ(GetActiveElementId(host()), std::optional<std::string>("txPlain"));
  EXPECT_EQ(Js("document.getElementById('txPlain').selectionEnd").toInt(), 3) << "whole text selected";
}

TEST_F(Dispatcher, EnterOnEachKindOfControl) {
  for (const char* id : {"ckAgree", "rbOne", "slIndex", "scCode", "stName", "mtMany"})
    EXPECT_EQ(DispatchEvent(std::string("ek|") + id), "") << id;
  EXPECT_EQ(DispatchEvent("ek|btGo"), "btGo");
  EXPECT_EQ(DispatchEvent("ek|txPlain"), "") << "text equals its variable";
  Click("txPlain");
  QTest::keyClicks(input(), "new");
  QTest::keyClick(input(), Qt::Key_Return);
  ASSERT_TRUE(WaitForEvents(1));
  EXPECT_EQ(RecordedEvents().back(), "ek|txPlain");
  EXPECT_EQ(Subjects().back(), "txPlain");
  EXPECT_EQ(plain, "new");
  EXPECT_EQ(DispatchEvent("ff|txPlain"), "");
  EXPECT_EQ(DispatchEvent("ff|btGo"), "");
}

TEST_F(Dispatcher, TrimRulesAreWrittenBackToThePage) {
  const struct {
    const char* id;
    std::string* variable;
    const char* expected;
  } cases[] = {
      {"txAll", &all, "two words"},          {"txBoth", &both, "two  words"},
      {"txLeft", &left, "two  words  "},     {"txRight", &right, "  two  words"},
      {"txPlain", &plain, "  two  words  "},
  };
  for (const auto& c : cases) {
    SetValue(c.id, "  two  words  ");
    EXPECT_EQ(DispatchEvent(c.id), c.id);
    EXPECT_EQ(*c.variable, c.expected) << c.id;
    EXPECT_EQ(Value(c.id), c.expected) << c.id;
  }
  SetValue("tcCode", "  abcdefghij ");
  DispatchEvent("tcCode");
  EXPECT_STREQ(code, "abcdefg") << "cut to the buffer";
  EXPECT_EQ(Value("tcCode"), "abcdefghij");
}

TEST_F(Dispatcher, ListValues) {
  EXPECT_EQ(DispatchEvent("slIndex|300"), "slIndex");
  EXPECT_EQ(index, 44);
  DispatchEvent("slIndex|x1");
  EXPECT_EQ(index, 0);
  DispatchEvent("scCode|x%20y");
  EXPECT_STREQ(codes, "x y");
  DispatchEvent("stName|p%20q%41");
  EXPECT_EQ(name, "p q%41");
  DispatchEvent("ckAgree|true");
  EXPECT_EQ(agree, 1);
  DispatchEvent("ckAgree");
  EXPECT_EQ(agree, 0);

  Js("var l=document.getElementById('stName');l.value='p q';l.dispatchEvent(new Event('change'))");
  ASSERT_TRUE(WaitForEvents(1));
  EXPECT_EQ(RecordedEvents().back(), "stName|p%20q");
  EXPECT_EQ(name, "p q");

  Js("var l=document.getElementById('mtMany');l.options[0].selected=true;l.options[2].selected=true;"
     "l.dispatchEvent(new Event('change'))");
  ASSERT_TRUE(WaitForEvents(2));
  EXPECT_EQ(many, "|a|c|");
}

TEST_F(Dispatcher, RadioGroupSendsOneNestedEventPerOtherButton) {
  two = 1;
  Click("rbOne");
  ASSERT_TRUE(WaitForEvents(3));
  EXPECT_EQ(RecordedEvents(), (std::vector<std::string>{"rbTwo|", "rbThree|", "rbOne"}))
      << "the nested events finish before the outer one";
  EXPECT_EQ(std::vector<int>({one, two, three}), std::vector<int>({1, 0, 0}));
  RecordedEvents().clear();
  Click("rbLone");
  ASSERT_TRUE(WaitForEvents(1));
  WaitForEarlierEvents();
  EXPECT_EQ(RecordedEvents(), std::vector<std::string>{"rbLone"}) << "no name, no group";
}

// Real X input: the engine's own access-key action, and a real click, each
// give one click event of the span, never two.
TEST_F(Dispatcher, ALinksAccessKeyOrAClickIsOneClick) {
  if (!HaveXdotool()) GTEST_SKIP() << "xdotool is not installed";
  host().activateWindow();
  for (const std::string& input : {std::string("key --clearmodifiers alt+l"),
                                   MoveTo(host().browser->mapToGlobal(Centre("skLink"))) + " click 1"}) {
    RecordedEvents().clear();
    Xdotool(input);
    ASSERT_TRUE(WaitForEvents(1)) << input;
    WaitForEarlierEvents();
    EXPECT_EQ(std::count(RecordedEvents().begin(), RecordedEvents().end(), "cl|skLink"), 1)
        << input << ": " << ::testing::PrintToString(RecordedEvents());
  }
  EXPECT_EQ(DispatchEvent("ak|skLink"), "skLink");
}

TEST_F(Dispatcher, LinkHighlightAndDisabledSpans) {
  EXPECT_EQ(DispatchEvent("me|skLink"), "skLink");
  EXPECT_EQ(Js("document.getElementById('skLink').style.backgroundColor").toString(), "rgb(128, 0, 0)");
  EXPECT_EQ(DispatchEvent("mx|skLink"), "skLink");
  EXPECT_EQ(Js("document.getElementById('skLink').style.color").toString(), "rgb(0, 0, 255)");
  EXPECT_EQ(Js("document.getElementById('skLink').style.backgroundColor").toString(), "");
  EXPECT_EQ(DispatchEvent("me|skOff"), "!skOff");
  EXPECT_EQ(Js("document.getElementById('skOff').style.color").toString(), "");
  const int sounds = ExclamationsPlayed();
  EXPECT_EQ(DispatchEvent("cl|skOff"), "!skOff");
  EXPECT_EQ(ExclamationsPlayed(), sounds + 1);
  EXPECT_EQ(DispatchEvent("cl|skLink"), "skLink");
}

TEST_F(Dispatcher, HelpPopupsTakeTheirWidths) {
  const struct {
    const char* id;
    int width;
  } cases[] = {{"spHelp", 150}, {"btGo", 300}, {"skLink", 320}};
  for (const auto& c : cases) {
    DispatchEvent(std::string("qh|") + c.id);
    ASSERT_NE(CWbb::CurrentPopup(), nullptr) << c.id;
    EXPECT_EQ(CWbb::CurrentPopup()->width(), c.width) << c.id;
  }
  EXPECT_EQ(Evaluate(CWbb::CurrentPopup()->Page(), "document.body.innerHTML").toString(),
            "\n<b>Wide help</b>");
  EXPECT_EQ(Evaluate(CWbb::CurrentPopup()->Page(), "document.body.bgColor").toString(), "#ffff00");
  delete CWbb::CurrentPopup();
  DispatchEvent("qh|txPlain");
  EXPECT_EQ(CWbb::CurrentPopup(), nullptr) << "no help text, no popup";

  Click("spHelp", Qt::RightButton);
  ASSERT_TRUE(WaitForEvents(1));
  EXPECT_EQ(RecordedEvents().back(), "qh|spHelp");
  EXPECT_NE(CWbb::CurrentPopup(), nullptr);
}

TEST_F(Dispatcher, CursorEventAndPageNotReady) {
  EXPECT_EQ(DispatchEvent("cr|hide"), "cr");
  EXPECT_EQ(host().cursorShown, 0);
  DispatchEvent("cr|show");
  EXPECT_EQ(host().cursorShown, 1);
  DispatchEvent("cr|hide");
  DispatchEvent("cr");
  EXPECT_EQ(host().cursorShown, 1);

  host().pageReady = false;
  EXPECT_EQ(DispatchEvent("ckAgree|true"), "");
  EXPECT_EQ(agree, 0);
  host().pageReady = true;
}

TEST_F(Dispatcher, MissingIdsRaiseAndTheEventIsDropped) {
  for (const char* text : {"me|nope", "mx|nope", "cl|nope"}) EXPECT_THROW(DispatchEvent(text), CVexc) << text;
  EXPECT_EQ(DispatchEvent("qh|nope"), "nope");
  Js("location='|me|nope';location='|btGo'");
  ASSERT_TRUE(WaitForEvents(1));
  EXPECT_EQ(RecordedEvents(), std::vector<std::string>{"btGo"});
}

TEST_F(Dispatcher, ApplyBindingsWritesVariablesAndSkipsMissingControls) {
  agree = 1;
  two = 1;
  index = 1;
  plain = "from variable";
  notes = "note";
  std::strcpy(codes, "x y");
  name = "p q";
  many = "-|b|";
  std::string gone = "x";
  std::vector<ControlBinding> table = {{"txGone", &gone}};
  for (const ControlBinding& binding : Bindings()) table.push_back(binding);
  SetControlBindings(table.data());
  ApplyBindings();
  EXPECT_TRUE(GetChecked(host(), "ckAgree"));
  EXPECT_TRUE(GetChecked(host(), "rbTwo"));
  EXPECT_FALSE(GetChecked(host(), "rbOne"));
  EXPECT_EQ(Value("txPlain"), "from variable");
  EXPECT_EQ(Value("taNotes"), "note");
  EXPECT_EQ(Value("slIndex"), "1");
  EXPECT_EQ(Value("scCode"), "x y");
  EXPECT_EQ(Value("stName"), "p q");
  EXPECT_EQ(Js("Array.from(document.getElementById('mtMany').options).map(o=>o.selected).join()").toString(),
            "true,false,true");
  SetMultiSelection("mtMany", "|b|");
  EXPECT_EQ(ReadMultiSelection("mtMany"), "|b|");
}

}  // namespace
