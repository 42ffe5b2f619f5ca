// The page window: a window whose client area is one web view showing a page
// given as text (a HostPage), its events handed to the window's handler in
// order (PageEventQueue). Keyboard and mouse input is filtered so that the
// page behaves like a dialog form.
#pragma once

#include <QDialog>
#include <string>

#include "form/page_host.h"

class PageEventQueue;
class QKeyEvent;
class QWebEngineView;
class QWebEnginePage;

class PageWindow : public QDialog, public PageHost {
  Q_OBJECT

 public:
  // A main window, hidden until shown, its page loaded on return.
  PageWindow(const std::string& pageHtml, EventHandler handler);
  ~PageWindow() override;

  QWebEnginePage* Page() const override;
  // Whether the page was written into the view.
  bool PageLoaded() const { return pageLoaded_; }
  void PlayExclamation() override;

  // Raises an event of the host's own (Enter, help): queued with the page's
  // events and handed to the handler from the event loop, one at a time, in
  // order of arrival.
  void QueueEvent(const std::string& eventText);
  // Writes the page anew into a page of its own, in a new renderer process,
  // the old one ended first: what the old page held goes back to the system.
  // The page's own text only; false when it could not be loaded or a script
  // is awaited.
  bool RenewPage();

  QWebEngineView* browser = nullptr;

 protected:

  bool eventFilter(QObject* watched, QEvent* event) override;
  // The page's process ended and the page has been written anew; what the
  // page showed besides its own text is gone.
  virtual void PageRestarted() {}
  // Ctrl+F, wherever the focus is on the page.
  virtual void FindRequested() {}
  // A file dropped on the page; false when the window takes none, and the
  // drop is refused.
  virtual bool TakesDroppedFiles() const { return false; }
  virtual void FileDropped(const std::string&) {}
  void closeEvent(QCloseEvent* event) override;
  void reject() override;  // Escape
  void accept() override;  // Enter

 private:
  void InitDialog(const std::string& pageHtml);
  void SetUpPage();
  void LoadPage();
  void RestartPage();
  void WatchInput(QObject* object);
  void SetAccessKeyHighlightState(bool on);
  bool FilterInput(QEvent* event);
  bool FilterKey(const QKeyEvent& key);
  bool FilterDrop(QEvent* event);

  enum class Highlight { kUnset, kOff, kOn };

  PageEventQueue* events_ = nullptr;
  Highlight accessKeyHighlight_ = Highlight::kUnset;  // as last set on the page
  bool pageLoaded_ = false;
  std::string loadedHtml_;  // the page as written, for writing it again
};
