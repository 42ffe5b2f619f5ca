// The browser host dialog: a window whose client area is one web view showing
// a page given as text. Every navigation of the page to an event URL (one that
// holds "|") is cancelled and becomes one call of the window's event handler;
// keyboard and mouse input is filtered so that the page behaves like a dialog
// form. The help popup is a small frameless host at the mouse cursor.
#pragma once

#include <QDialog>
#include <cstdint>
#include <deque>
#include <string>

#include "form/page_host.h"

class QWebEngineView;
class QWebEnginePage;

class CWbb : public QDialog, public PageHost {
  Q_OBJECT

 public:
  // A main host: template 101, hidden until shown, page loaded on return.
  CWbb(const std::string& pageHtml, EventHandler handler);
  ~CWbb() override;

  QWebEnginePage* Page() const override;
  // Whether the page was written into the view.
  bool PageLoaded() const { return pageLoaded_; }
  void ShowPopup(const std::string& html, int clientWidth) override;
  void PlayExclamation() override;

  // The open help popup, or null.
  static CWbb* CurrentPopup();
  // Destroys the open popup, then shows `html` at the cursor, `clientWidth` wide
  // and as high as the page plus 4 pixels.
  static void OpenPopup(const std::string& html, int clientWidth);

  // Raises an event of the host's own (Enter, help): queued with the page's
  // events and handed to the handler from the event loop, one at a time, in
  // order of arrival.
  void QueueEvent(const std::string& eventText);
  // The page navigated to an event URL; the navigation was cancelled.
  void NavigationCancelled(const std::string& eventText);

  // Writes the page anew into a page of its own, in a new renderer process,
  // the old one ended first: what the old page held goes back to the system.
  // The page's own text only; false when it could not be loaded or a script
  // is awaited.
  bool RenewPage();

  QWebEngineView* browser = nullptr;
  int browserId = 102;
  int16_t x = -1, y = -1, cx = -1, cy = -1;
  uint8_t frameWidth = 0, frameHeight = 0;
  std::string pageHtml;
  uint8_t zoomPercent = 100;

 protected:
  struct PopupTag {};
  CWbb(const std::string& pageHtml, int clientWidth, PopupTag);

  bool eventFilter(QObject* watched, QEvent* event) override;
  // The page's process ended and the page has been written anew; what the
  // page showed besides its own text is gone.
  virtual void PageRestarted() {}
  void closeEvent(QCloseEvent* event) override;
  void reject() override;  // Escape
  void accept() override;  // Enter
  void CloseRequest();

 private:
  void InitDialog();
  void SetUpPage();
  void ApplyGeometry();
  void LoadPage();
  void RestartPage();
  void WatchInput(QObject* object);
  void ProcessEvents();
  void ScheduleEvents(int delayMs);
  void ProbePage();
  void SetAccessKeyHighlightState(bool on);
  bool FilterInput(QEvent* event);

  enum class Highlight { kUnset, kOff, kOn };

  std::deque<std::string> pendingEvents_;
  Highlight accessKeyHighlight_ = Highlight::kUnset;  // as last set on the page
  bool cursorHidden_ = false;                         // this window holds the blank override cursor
  bool probing_ = false;
  uint64_t cancelledNavigations_ = 0;
  bool pageLoaded_ = false;
  std::string loadedHtml_;  // the page as written, for writing it again
};

// Base URL of every page: event URLs resolve to it followed by "|...".
extern const char* const kPageBaseUrl;
