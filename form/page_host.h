// What the form engine needs of a window that shows one of its pages, and the
// exception family of the page layer. The application's browser host dialog
// implements PageHost; the form engine never depends on the dialog itself.
#pragma once

#include <exception>
#include <string>

class QWebEnginePage;

// Base of the page layer's exceptions; the navigation handler catches this family.
class CException : public std::exception {
 public:
  const char* what() const noexcept override { return "page operation failed"; }
};

// A page or browser operation failed: the current event is to be abandoned.
class CVexc : public CException {};

class PageHost;
using EventHandler = void (*)(const std::string& eventText, PageHost& host);

class PageHost {
 public:
  virtual ~PageHost() = default;
  // The page, or null when the window has none (a failed operation then throws CVexc).
  virtual QWebEnginePage* Page() const = 0;
  // Shows a help popup at the mouse cursor, replacing any open one.
  virtual void ShowPopup(const std::string& html, int clientWidth) = 0;
  virtual void PlayExclamation() = 0;

  EventHandler eventHandler = nullptr;  // none for a popup
  bool pageReady = false;               // events are ignored while false
  int cursorShown = 0;                  // 0 hides the mouse cursor over the window
  // A navigation to an event URL was cancelled and has not yet wound down;
  // a script awaited now would get no answer, so page operations fail at once.
  bool navigationPending = false;
};

// The main window, whose page the dispatcher and the message line work on.
PageHost* MainPageHost();
void SetMainPageHost(PageHost* host);
