// What the form engine needs of a window that shows one of its pages, and how
// a page operation fails. The application's page window implements PageHost;
// the form engine never depends on the window itself.
#pragma once

#include <exception>
#include <string>

class QWebEnginePage;

// A page operation failed: the page is gone, still loading, or lacks the
// element. The page step under way is abandoned; where such a step begins
// (an event, a capture's outcome, a restarted page) it is caught.
class PageOperationFailed : public std::exception {
 public:
  const char* what() const noexcept override { return "page operation failed"; }
};

class PageHost;
using EventHandler = void (*)(const std::string& eventText, PageHost& host);

class PageHost {
 public:
  virtual ~PageHost() = default;
  // The page, or null when the window has none (an operation then fails).
  virtual QWebEnginePage* Page() const = 0;
  virtual void PlayExclamation() = 0;

  EventHandler eventHandler = nullptr;  // none for a popup
  bool pageReady = false;               // events are ignored while false
  // A navigation to an event URL was cancelled and has not yet wound down;
  // a script awaited now would get no answer, so page operations fail at once.
  bool navigationPending = false;
};
