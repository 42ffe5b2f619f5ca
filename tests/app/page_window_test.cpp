#include "app/page_window.h"

#include <QCursor>
#include <QPointer>
#include <QTest>

#include "app/desktop.h"
#include "form/dom.h"
#include "form/page.h"
#include "tests/support/page_fixture.h"

namespace {

const std::string kPage = PageStyleSheet() +
                          "<button id=btGo onclick=\"location='|btGo'\">Go</button>"
                          "<input id=txName value=abc><span id=out>abc</span>"
                          "<span id=idCopy tabindex=0 onclick=\"location='|csCopy'\">copy</span>"
                          "<p id=plain>plain text to select</p>"
                          "<span class=ak id=akLetter>C</span>";

using Host = PageFixture;

TEST_F(Host, EventUrlsReachTheHandlerInOrder) {
  Show(kPage);
  Click("btGo");
  ASSERT_TRUE(WaitForEvents(1));
  Js("location='|a';location='|b%20c';location='|c|d'");
  ASSERT_TRUE(WaitForEvents(4));
  EXPECT_EQ(RecordedEvents(), (std::vector<std::string>{"btGo", "a", "b%20c", "c|d"}));
  Js("location='x|'");
  ASSERT_TRUE(WaitForEvents(5));
  EXPECT_EQ(RecordedEvents().back(), "") << "a URL whose only | is last gives an empty event";
  EXPECT_EQ(Js("document.getElementById('btGo')!==null").toBool(), true) << "the page stayed";
}

TEST_F(Host, EventsAreHandledOneAtATimeAndPageOperationsWorkInsideThem) {
  static std::vector<std::string> values;
  values.clear();
  Show(kPage, [](const std::string& text, PageHost& host) {
    RecordEvent(text, host);
    values.push_back(GetElementText(host, "out"));
    RunPageScript(host, "document.getElementById('out').textContent=" + ScriptLiteral(text) + ";[true]");
  });
  Js("location='|one';location='|two'");
  ASSERT_TRUE(WaitForEvents(2));
  EXPECT_EQ(values, (std::vector<std::string>{"abc", "one"}));

  // Four navigations from one script: each event's page operation runs only
  // once the navigations before it have wound down, and none is lost.
  Js("location='|a';location='|b';location='|c';location='|d'");
  ASSERT_TRUE(WaitForEvents(6)) << RecordedEvents().size() << " events arrived";
  EXPECT_EQ(values, (std::vector<std::string>{"abc", "one", "two", "a", "b", "c"}));
}

TEST_F(Host, FailedPageOperationDropsTheEventSilently) {
  static int handled;
  handled = 0;
  Show(kPage, [](const std::string& text, PageHost& host) {
    ++handled;
    GetElementText(host, "noSuchId");
    RecordEvent(text, host);
  });
  Js("location='|x'");
  ASSERT_TRUE(WaitUntil([] { return handled == 1; }));
  EXPECT_TRUE(RecordedEvents().empty());
}

TEST_F(Host, NavigationsWithoutABarLoadNothingButAboutBlank) {
  Show(kPage);
  Js("location='http://example.com/'");
  WaitForEarlierEvents();
  EXPECT_TRUE(RecordedEvents().empty());
  EXPECT_TRUE(Js("document.getElementById('btGo')!==null").toBool()) << "refused";
  Js("location='about:blank'");
  EXPECT_TRUE(WaitUntil([&] { return page()->url().toString() == "about:blank"; }, 5000));
  EXPECT_TRUE(RecordedEvents().empty());
}

TEST_F(Host, EnterNamesTheFocusedElementAndSpaceClicksASpan) {
  Show(kPage);
  Click("txName");
  QTest::keyClick(input(), Qt::Key_Return);
  ASSERT_TRUE(WaitForEvents(1));
  EXPECT_EQ(RecordedEvents().back(), "ek|txName");
  Js("document.getElementById('idCopy').focus()");
  QTest::keyClick(input(), Qt::Key_Space);
  ASSERT_TRUE(WaitForEvents(2));
  EXPECT_EQ(RecordedEvents().back(), "csCopy");
  QTest::keyClick(input(), Qt::Key_Return);
  ASSERT_TRUE(WaitForEvents(3));
  EXPECT_EQ(RecordedEvents().back(), "ek|idCopy") << "Enter on a span with an id names it";
}

// A right press as the X server gives it: a press, a release and then a
// context menu request of its own, which synthesized Qt events leave out.
TEST_F(Host, RightButtonAndMenuKeyPlayTheExclamation) {
  if (!HaveXdotool()) GTEST_SKIP() << "xdotool is not installed";
  Show(kPage);
  host().activateWindow();
  const auto rightClick = [&](const std::string& id) {
    Xdotool(MoveTo(host().browser->mapToGlobal(Centre(id))) + " click 3");
  };
  const int sounds = ExclamationsPlayed();
  rightClick("plain");
  EXPECT_TRUE(WaitUntil([&] { return ExclamationsPlayed() > sounds; }));
  // A left click after it, through the same X server, comes once the right
  // press and its context menu request have had their answers.
  Xdotool(MoveTo(host().browser->mapToGlobal(Centre("btGo"))) + " click 1");
  ASSERT_TRUE(WaitUntil([] { return !RecordedEvents().empty() && RecordedEvents().back() == "btGo"; }));
  EXPECT_EQ(ExclamationsPlayed(), sounds + 1) << "one sound, not one for the press and one for its menu";
  QContextMenuEvent menu(QContextMenuEvent::Keyboard, QPoint(5, 5), input()->mapToGlobal(QPoint(5, 5)));
  QApplication::sendEvent(input(), &menu);
  EXPECT_EQ(ExclamationsPlayed(), sounds + 2) << "the menu key sounds";
  EXPECT_EQ(RecordedEvents(), (std::vector<std::string>{"btGo"})) << "the page never sees the right button";
}

TEST_F(Host, AltUnderlinesTheAccessKeys) {
  Show(kPage);
  const auto decoration = [&] {
    return Js("getComputedStyle(document.getElementById('akLetter')).textDecorationLine").toString();
  };
  EXPECT_EQ(decoration(), "none");
  QTest::keyPress(input(), Qt::Key_Alt, Qt::AltModifier);
  EXPECT_TRUE(WaitUntil([&] { return decoration() == "underline"; }));
  QTest::keyRelease(input(), Qt::Key_Alt, Qt::NoModifier);
  EXPECT_TRUE(WaitUntil([&] { return decoration() == "none"; }));
}

TEST_F(Host, SelectionOutsideATextFieldDoesNotSurvive) {
  Show(kPage);
  Js("var r=document.createRange();r.selectNodeContents(document.getElementById('plain'));"
     "getSelection().removeAllRanges();getSelection().addRange(r);");
  EXPECT_EQ(Js("getSelection().type").toString(), "Range");
  QTest::mouseRelease(input(), Qt::LeftButton, {}, Centre("plain"));
  EXPECT_EQ(Js("getSelection().type").toString(), "None");
  Js("document.getElementById('txName').focus();document.getElementById('txName').select()");
  QTest::keyRelease(input(), Qt::Key_Shift);
  EXPECT_EQ(Js("var e=document.getElementById('txName');e.selectionEnd-e.selectionStart").toInt(), 3);
}

TEST_F(Host, EscapeDoesNotCloseTheMainWindow) {
  Show(kPage);
  QTest::keyClick(input(), Qt::Key_Escape);
  WaitForEarlierEvents();
  EXPECT_TRUE(host().isVisible());
}

}  // namespace
