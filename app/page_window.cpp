#include "app/page_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QWheelEvent>
#include <algorithm>

#include "app/desktop.h"
#include "app/host_page.h"
#include "app/page_event_queue.h"
#include "form/dom.h"
#include "form/page_event.h"

namespace {

// The windows' first sizes in pixels.
constexpr int kMainLeft = 8, kMainTop = 8, kMainClientWidth = 872, kMainClientHeight = 634;
constexpr int kPageLoadTimeoutMs = 30000;

// The program has one thread, on which every window's waits for the page
// nest: pages being written and waited for, in any window.
int pageLoads = 0;

bool ScriptsBusy() { return ScriptWaitActive() || pageLoads > 0; }

}  // namespace

PageWindow::PageWindow(const std::string& html, EventHandler handler) : QDialog(nullptr) {
  eventHandler = handler;
  setWindowTitle("Form 13-F Trellan");
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                 Qt::WindowCloseButtonHint);
  move(kMainLeft, kMainTop);
  resize(kMainClientWidth, kMainClientHeight);
  InitDialog(html);
}

PageWindow::~PageWindow() {
  pageReady = false;
}

QWebEnginePage* PageWindow::Page() const { return browser ? browser->page() : nullptr; }

void PageWindow::PlayExclamation() { ::PlayExclamation(); }

void PageWindow::SetUpPage() {
  auto* page = new HostPage(this, [this](const std::string& eventText) { events_->NavigationCancelled(eventText); });
  connect(page, &QWebEnginePage::loadFinished, events_, &PageEventQueue::PageFinishedLoading);
  connect(page, &QWebEnginePage::renderProcessTerminated, this,
          [this](QWebEnginePage::RenderProcessTerminationStatus status) {
            if (status != QWebEnginePage::NormalTerminationStatus)
              QTimer::singleShot(0, this, [this] { RestartPage(); });
          });
  browser->setPage(page);
}

bool PageWindow::RenewPage() {
  if (ScriptsBusy()) return false;
  QWebEnginePage* old = browser->page();
  SetUpPage();
  // The old page goes first, and its renderer process with it, before the
  // new one is written.
  delete old;
  events_->Clear();
  LoadPage();
  return pageLoaded_;
}

void PageWindow::InitDialog(const std::string& pageHtml) {
  events_ = new PageEventQueue(*this, ScriptsBusy, this);
  browser = new QWebEngineView(this);
  SetUpPage();
  browser->setContextMenuPolicy(Qt::PreventContextMenu);
  // Nothing dragged onto the page is taken: a dropped link would be followed.
  browser->setAcceptDrops(false);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(browser);
  installEventFilter(this);
  browser->installEventFilter(this);
  pageReady = true;
  loadedHtml_ = pageHtml;
  LoadPage();
  accessKeyHighlight_ = Highlight::kUnset;
}

void PageWindow::LoadPage() {
  QEventLoop loop;
  QTimer timeout;
  timeout.setSingleShot(true);
  connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);
  const QMetaObject::Connection loaded =
      connect(browser->page(), &QWebEnginePage::loadFinished, &loop, [this, &loop](bool ok) {
        pageLoaded_ = ok;
        loop.quit();
      });
  browser->page()->setHtml(QString::fromStdString(loadedHtml_), QUrl(kPageBaseUrl));
  timeout.start(kPageLoadTimeoutMs);
  ++pageLoads;
  loop.exec(QEventLoop::ExcludeUserInputEvents);
  --pageLoads;
  disconnect(loaded);
  WatchInput(browser->focusProxy());
}

void PageWindow::RestartPage() {
  if (!pageReady || ScriptsBusy()) {
    QTimer::singleShot(50, this, [this] { RestartPage(); });
    return;
  }
  events_->Clear();
  LoadPage();
  if (pageLoaded_) PageRestarted();
}

void PageWindow::WatchInput(QObject* object) {
  if (object) object->installEventFilter(this);
}

void PageWindow::QueueEvent(const std::string& eventText) { events_->Push(eventText); }

// A page window closes only as its owner says: not by Escape, Enter or its
// close box.
void PageWindow::closeEvent(QCloseEvent* event) { event->ignore(); }
void PageWindow::reject() {}
void PageWindow::accept() {}

void PageWindow::SetAccessKeyHighlightState(bool on) {
  const Highlight wanted = on ? Highlight::kOn : Highlight::kOff;
  if (accessKeyHighlight_ == wanted) return;
  accessKeyHighlight_ = wanted;
  QPointer<PageWindow> self(this);
  SetAccessKeyHighlight(*this, on, [self](bool reached) {
    if (self && !reached) self->accessKeyHighlight_ = Highlight::kUnset;  // nothing changed on the page
  });
}

bool PageWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == browser && event->type() == QEvent::ChildAdded) WatchInput(browser->focusProxy());
  if (watched == this &&
      (event->type() == QEvent::WindowActivate || event->type() == QEvent::WindowDeactivate)) {
    if (pageReady) SetAccessKeyHighlightState(false);
    return false;
  }
  if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove ||
      event->type() == QEvent::Drop)
    return FilterDrop(event);
  if (!pageReady) return false;
  // Keys reach the page's widget first; those the page leaves are passed on to
  // the view and the dialog, and must not be filtered twice.
  if ((event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) &&
      watched != browser->focusProxy())
    return false;
  return FilterInput(event);
}

bool PageWindow::FilterInput(QEvent* event) {
  const QEvent::Type type = event->type();
  if (type == QEvent::Wheel && (static_cast<QWheelEvent*>(event)->modifiers() & Qt::ControlModifier))
    return true;  // no zoom: the page keeps its sizes
  const auto* mouse = dynamic_cast<QMouseEvent*>(event);
  const bool key = type == QEvent::KeyPress || type == QEvent::KeyRelease;
  if (!mouse && !key && type != QEvent::ContextMenu) return false;

  // A selection outside a text field does not survive.
  if (type == QEvent::MouseButtonRelease || type == QEvent::KeyRelease) RestrictSelection(*this);
  if (key) return FilterKey(static_cast<const QKeyEvent&>(*event));
  if (type == QEvent::ContextMenu) {
    // X11 follows every right press with a context menu request; the press
    // has had its answer already. Only the Menu key asks.
    if (static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard) ::PlayExclamation();
    return true;
  }
  if (mouse->button() != Qt::RightButton) return false;
  // The page has no menu and no help of its own under the right button.
  if (type == QEvent::MouseButtonPress) ::PlayExclamation();
  return true;  // the page never sees the right button
}

// The page never opens what is dropped on it: one local file goes to the
// window, when it takes files; anything else is refused.
bool PageWindow::FilterDrop(QEvent* event) {
  auto* drop = static_cast<QDropEvent*>(event);
  const QList<QUrl> urls = drop->mimeData() ? drop->mimeData()->urls() : QList<QUrl>();
  if (!pageReady || !TakesDroppedFiles() || urls.size() != 1 || !urls[0].isLocalFile()) {
    event->ignore();
    return true;
  }
  drop->acceptProposedAction();
  if (event->type() == QEvent::Drop) FileDropped(urls[0].toLocalFile().toStdString());
  return true;
}

// Enter and Space are decided on the page itself (input_rules.js), where the
// focused element is known without waiting.
bool PageWindow::FilterKey(const QKeyEvent& key) {
  const bool press = key.type() == QEvent::KeyPress;
  // Whether Alt is held once this key has gone down or up.
  const bool altHeld = key.key() == Qt::Key_Alt ? press : (key.modifiers() & Qt::AltModifier);
  SetAccessKeyHighlightState(altHeld);
  // Ctrl++ and Ctrl+- zoom the page, Ctrl+0 gives it its own size again.
  if (press && (key.modifiers() & Qt::ControlModifier)) {
    const int k = key.key();
    const double zoom = browser->zoomFactor();
    if (k == Qt::Key_Plus || k == Qt::Key_Equal || k == Qt::Key_Minus || k == Qt::Key_0) {
      browser->setZoomFactor(k == Qt::Key_0       ? 1.0
                             : k == Qt::Key_Minus ? std::max(0.5, zoom - 0.1)
                                                  : std::min(3.0, zoom + 0.1));
      return true;
    }
  }
  if (key.matches(QKeySequence::Find)) {
    if (press) FindRequested();
    return true;
  }
  if (key.matches(QKeySequence::Open)) {
    if (press && eventHandler && !key.isAutoRepeat())
      QueueEvent(PageEventTextOf(PageEvent::kOpenSpreadsheet, "idOpenBook"));
    return true;
  }
  // F1 asks the window for its help, wherever the focus is.
  if (key.key() == Qt::Key_F1) {
    if (press && eventHandler && !key.isAutoRepeat()) QueueEvent(PageEventTextOf(PageEvent::kHelp, "idHelp"));
    return true;
  }
  return false;
}
