// A real browser host window under Xvfb for page tests: shows a page, records
// the events its handler receives, and finds click points on the page.
#pragma once

#include <gtest/gtest.h>

#include <QEventLoop>
#include <QPoint>
#include <QTest>
#include <QTimer>
#include <QVariant>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/page_window.h"

inline std::vector<std::string>& RecordedEvents() {
  static std::vector<std::string> events;
  return events;
}

inline void RecordEvent(const std::string& eventText, PageHost&) { RecordedEvents().push_back(eventText); }

// Runs the event loop until `done` holds or the time is up. The browser
// answers scripts only to a running event loop, not to QTest's waits, which
// merely process pending events. The time is long enough for a busy CI
// machine: a wait that holds ends as soon as it does.
template <typename Predicate>
bool WaitUntil(Predicate done, int timeoutMs = 15000) {
  if (done()) return true;
  QEventLoop loop;
  QTimer poll, timeout;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (done()) loop.quit();
  });
  QObject::connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);
  poll.start(5);
  timeout.start(timeoutMs);
  loop.exec();
  return done();
}

// Runs a script on the page and waits for its result.
inline QVariant Evaluate(QWebEnginePage* page, const QString& script) {
  auto result = std::make_shared<std::pair<bool, QVariant>>();
  page->runJavaScript(script, [result](const QVariant& value) { *result = {true, value}; });
  EXPECT_TRUE(WaitUntil([&] { return result->first; }, 10000)) << script.toStdString();
  return result->second;
}

// Waits until the page has drawn a frame after everything it has been given
// so far: its layout, scroll handlers and painting are done by then.
inline void WaitForFrame(QWebEnginePage* page) {
  Evaluate(page,
           "window.f13Frame=false;requestAnimationFrame(function(){requestAnimationFrame(function(){"
           "window.f13Frame=true;});});0");
  EXPECT_TRUE(WaitUntil([&] { return Evaluate(page, "window.f13Frame").toBool(); }));
}

// Real X input, as a mouse and a keyboard give it: synthesized Qt events miss
// what the X server adds, such as the context menu request after a right press.
inline bool HaveXdotool() { return std::system("xdotool version >/dev/null 2>&1") == 0; }

// Runs an xdotool command, such as "key Escape" or MoveTo(at) + " click 3".
inline void Xdotool(const std::string& command) {
  ASSERT_EQ(std::system(("xdotool " + command).c_str()), 0) << command;
}

// The xdotool command that moves the pointer to `at`, a point on the screen.
inline std::string MoveTo(QPoint at) {
  return "mousemove --sync " + std::to_string(at.x()) + " " + std::to_string(at.y());
}

// The centre of an element, in the view's coordinates.
inline QPoint ElementCentre(QWebEnginePage* page, const std::string& id) {
  const QVariantList box =
      Evaluate(page, QString("(function(){var r=document.getElementById('%1')"
                             ".getBoundingClientRect();return [r.left+r.width/2,r.top+r.height/2];})()")
                         .arg(QString::fromStdString(id)))
          .toList();
  EXPECT_EQ(box.size(), 2) << id;
  return box.size() == 2 ? QPoint(box[0].toInt(), box[1].toInt()) : QPoint();
}

class PageFixture : public ::testing::Test {
 protected:
  // Shows `html` (a whole page) in a main host with the recording handler.
  void Show(const std::string& html, EventHandler handler = RecordEvent) {
    RecordedEvents().clear();
    host_ = std::make_unique<PageWindow>(html, handler);
    host_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(host_.get()));
    WaitForFrame(page());
  }

  void TearDown() override {
    host_.reset();
  }

  PageWindow& host() { return *host_; }
  QWebEnginePage* page() { return host_->Page(); }
  QWidget* input() { return host_->browser->focusProxy(); }

  QVariant Js(const QString& script) { return Evaluate(page(), script); }

  QPoint Centre(const std::string& id) { return ElementCentre(page(), id); }

  void Click(const std::string& id, Qt::MouseButton button = Qt::LeftButton,
             Qt::KeyboardModifiers modifiers = {}) {
    QTest::mouseClick(input(), button, modifiers, Centre(id));
  }

  // Waits until the handler has received `count` events.
  bool WaitForEvents(size_t count, int timeoutMs = 5000) {
    return WaitUntil([&] { return RecordedEvents().size() >= count; }, timeoutMs);
  }

  // Waits for every event the page has raised so far: the host hands events
  // on in order, so once a marker raised now arrives, the earlier ones have.
  // The marker is not kept among the recorded events.
  void WaitForEarlierEvents() {
    Js("location='|f13Marker';0");
    ASSERT_TRUE(WaitUntil([] {
      auto& events = RecordedEvents();
      return std::find(events.begin(), events.end(), "f13Marker") != events.end();
    }));
    auto& events = RecordedEvents();
    events.erase(std::remove(events.begin(), events.end(), "f13Marker"), events.end());
  }

 private:
  std::unique_ptr<PageWindow> host_;
};
