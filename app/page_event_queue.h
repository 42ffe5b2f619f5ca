// The events of one page window, handed to its handler one at a time, in
// order of arrival, from the event loop: never inside another event, while a
// script is awaited, or while a cancelled navigation winds down (the browser
// answers no awaited script until it has).
#pragma once

#include <QObject>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>

#include "form/page_host.h"

class PageEventQueue : public QObject {
 public:
  // `busy` tells whether a script or a page load is awaited anywhere.
  PageEventQueue(PageHost& host, std::function<bool()> busy, QObject* parent);

  // An event of the window's own (Enter, help), queued with the page's.
  void Push(const std::string& eventText);
  // The page navigated to an event URL and the navigation was cancelled;
  // the event is kept when the window has a handler.
  void NavigationCancelled(const std::string& eventText);
  // The page finished loading: a navigation may have wound down.
  void PageFinishedLoading() { Probe(); }
  // Drops what is queued: the page it came from is gone.
  void Clear();

 private:
  void Probe();
  void Schedule(int delayMs);
  void HandleNext();

  PageHost& host_;
  std::function<bool()> busy_;
  std::deque<std::string> pending_;
  bool probing_ = false;
  uint64_t cancelledNavigations_ = 0;
};
