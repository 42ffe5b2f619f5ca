#include "app/cwbb.h"

#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QCursor>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineView>
#include <QWheelEvent>
#include <algorithm>
#include <climits>
#include <cmath>

#include "app/desktop.h"
#include "app/page_scripts.h"
#include "form/dom.h"
#include "form/type_code.h"

const char* const kPageBaseUrl = "http://form13f.invalid/";

namespace {

// Template sizes in pixels: MS Sans Serif 8 dialog units at 96 dpi.
constexpr int kMainLeft = 8, kMainTop = 8, kMainClientWidth = 872, kMainClientHeight = 634;
constexpr int kPopupClientWidth = 693, kPopupClientHeight = 479;
constexpr int kPageLoadTimeoutMs = 30000;
// A cancelled navigation normally ends with loadFinished at once; should it
// not, the page is probed after this delay all the same.
constexpr int kCancelledNavigationGraceMs = 1000;
// How long after a probe the host waits for navigations still on their way.
constexpr int kSettleMs = 30;

// The one help popup there may be.
CWbb* currentPopup = nullptr;
// The program has one thread, on which every window's events and waits for
// the page nest: what runs there is counted for all windows alike.
bool eventInProgress = false;  // an event handler is running
int pageLoads = 0;             // pages being written and waited for

// The page loads nothing but itself: every request other than its own data is refused.
class RequestBlocker : public QWebEngineUrlRequestInterceptor {
 public:
  using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;
  void interceptRequest(QWebEngineUrlRequestInfo& info) override {
    if (info.requestUrl().scheme() != "data") info.block(true);
  }
};

QWebEngineProfile* Profile() {
  static QWebEngineProfile* profile = [] {
    auto* p = new QWebEngineProfile(qApp);  // off the record: no disk cache, no cookies
    p->setUrlRequestInterceptor(new RequestBlocker(p));
    return p;
  }();
  return profile;
}

// The event text of a URL: everything after its first "|". The browser writes
// "|" as %7C and keeps every other escape (such as %20) as it wrote it.
std::string UrlText(const QUrl& url) {
  QString text = QString::fromUtf8(url.toEncoded());
  text.replace("%7C", "|", Qt::CaseInsensitive);
  return text.toStdString();
}

class HostPage : public QWebEnginePage {
 public:
  explicit HostPage(CWbb* host) : QWebEnginePage(Profile(), host), host_(host) {
    // The rules know a text area by its type code.
    std::string codes;
    for (const std::string& code : TypeCodes(IsTextArea)) codes += (codes.empty() ? "'" : ",'") + code + "'";
    AddScript("input rules", "var f13TextAreaCodes = [" + codes + "];\n" + PageScript("input_rules.js"),
              QWebEngineScript::DocumentCreation);
    AddScript("button padding", PageScript("button_style.js"), QWebEngineScript::DocumentReady);
  }

 protected:
  bool acceptNavigationRequest(const QUrl& url, NavigationType, bool) override {
    if (url.scheme() == "data") return true;  // the page the host writes
    if (url.scheme() == "javascript") return false;
    const std::string text = UrlText(url);
    const size_t bar = text.find('|');
    if (bar == std::string::npos) return url.toString() == "about:blank";
    host_->NavigationCancelled(text.substr(bar + 1));
    return false;
  }

 private:
  void AddScript(const char* name, const std::string& source, QWebEngineScript::InjectionPoint when) {
    QWebEngineScript script;
    script.setName(name);
    script.setSourceCode(QString::fromStdString(source));
    script.setInjectionPoint(when);
    script.setWorldId(QWebEngineScript::MainWorld);
    scripts().insert(script);
  }

  CWbb* host_;
};

bool ScriptsBusy() { return ScriptWaitActive() || pageLoads > 0; }

}  // namespace

CWbb::CWbb(const std::string& html, EventHandler handler) : QDialog(nullptr) {
  pageHtml = html;
  eventHandler = handler;
  setWindowTitle("Form 13-F Trellan");
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                 Qt::WindowCloseButtonHint);
  move(kMainLeft, kMainTop);
  resize(kMainClientWidth, kMainClientHeight);
  InitDialog();
}

CWbb::CWbb(const std::string& html, int clientWidth, PopupTag)
    : QDialog(dynamic_cast<QWidget*>(MainPageHost())) {
  pageHtml = html;
  browserId = 104;
  x = y = cy = 4096;
  cx = static_cast<int16_t>(-clientWidth);
  setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
  move(0, 0);
  resize(kPopupClientWidth, kPopupClientHeight);
  InitDialog();
}

CWbb::~CWbb() {
  pageReady = false;
  if (cursorHidden_) QApplication::restoreOverrideCursor();
  if (currentPopup == this) currentPopup = nullptr;
  if (MainPageHost() == this) SetMainPageHost(nullptr);
}

QWebEnginePage* CWbb::Page() const { return browser ? browser->page() : nullptr; }

void CWbb::ShowPopup(const std::string& html, int clientWidth) { OpenPopup(html, clientWidth); }

void CWbb::PlayExclamation() { ::PlayExclamation(); }

CWbb* CWbb::CurrentPopup() { return currentPopup; }

void CWbb::OpenPopup(const std::string& html, int clientWidth) {
  delete currentPopup;
  currentPopup = nullptr;
  auto* popup = new CWbb(html, clientWidth, PopupTag{});
  currentPopup = popup;
  popup->show();
}

void CWbb::SetUpPage() {
  auto* page = new HostPage(this);
  connect(page, &QWebEnginePage::loadFinished, this, [this] { ProbePage(); });
  connect(page, &QWebEnginePage::renderProcessTerminated, this,
          [this](QWebEnginePage::RenderProcessTerminationStatus status) {
            if (status != QWebEnginePage::NormalTerminationStatus)
              QTimer::singleShot(0, this, [this] { RestartPage(); });
          });
  browser->setPage(page);
}

bool CWbb::RenewPage() {
  if (ScriptsBusy()) return false;
  QWebEnginePage* old = browser->page();
  SetUpPage();
  // The old page goes first, and its renderer process with it, before the
  // new one is written.
  delete old;
  pendingEvents_.clear();
  navigationPending = false;
  LoadPage();
  return pageLoaded_;
}

void CWbb::InitDialog() {
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

  zoomPercent = 100;
  pageReady = true;
  frameWidth = static_cast<uint8_t>(frameGeometry().width() - geometry().width());
  frameHeight = static_cast<uint8_t>(frameGeometry().height() - geometry().height());
  if (cx < -1) cx = static_cast<int16_t>(frameWidth - cx);
  if (cy < -1) cy = static_cast<int16_t>(frameHeight - cy);
  if (cx > 0 && cy > 0) ApplyGeometry();
  cursorShown = 1;
  LoadPage();
  if (cy >= 4092) {
    if (const std::optional<int> height = GetBodyScrollHeight(*this)) {
      const long long sum = (cy - 4092LL) + *height + frameHeight;
      cy = static_cast<int16_t>(std::min<long long>(sum, INT_MAX));
      ApplyGeometry();
    }
  }
  if (x == 4096) {
    const QPoint cursor = QCursor::pos();
    const int px = cursor.x(), py = cursor.y();
    if (y == 4096) {
      y = static_cast<int16_t>(py - cy);
      if (y <= 0) y = static_cast<int16_t>(py);
    }
    x = static_cast<int16_t>(y == py ? px - cx - 2 : px - cx);
    if (x <= 0) x = static_cast<int16_t>(y == py ? px + 8 : px);
    ApplyGeometry();
  }
  accessKeyHighlight_ = Highlight::kUnset;
}

void CWbb::ApplyGeometry() {
  move(x < 0 ? pos().x() : x, y < 0 ? pos().y() : y);
  resize(cx - frameWidth, cy - frameHeight);
}

void CWbb::LoadPage() {
  QEventLoop loop;
  QTimer timeout;
  timeout.setSingleShot(true);
  connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);
  const QMetaObject::Connection loaded =
      connect(browser->page(), &QWebEnginePage::loadFinished, &loop, [this, &loop](bool ok) {
        pageLoaded_ = ok;
        loop.quit();
      });
  if (!pageHtml.empty()) loadedHtml_ = pageHtml;
  browser->page()->setHtml(QString::fromStdString(loadedHtml_), QUrl(kPageBaseUrl));
  timeout.start(kPageLoadTimeoutMs);
  ++pageLoads;
  loop.exec(QEventLoop::ExcludeUserInputEvents);
  --pageLoads;
  disconnect(loaded);
  pageHtml.clear();
  pageHtml.shrink_to_fit();
  WatchInput(browser->focusProxy());
}

void CWbb::RestartPage() {
  if (!pageReady || ScriptsBusy()) {
    QTimer::singleShot(50, this, [this] { RestartPage(); });
    return;
  }
  pendingEvents_.clear();
  navigationPending = false;
  LoadPage();
  if (pageLoaded_) PageRestarted();
}

void CWbb::WatchInput(QObject* object) {
  if (object) object->installEventFilter(this);
}

void CWbb::QueueEvent(const std::string& eventText) {
  pendingEvents_.push_back(eventText);
  ScheduleEvents(0);
}

void CWbb::NavigationCancelled(const std::string& eventText) {
  if (eventHandler) pendingEvents_.push_back(eventText);
  navigationPending = true;
  ++cancelledNavigations_;
  QTimer::singleShot(kCancelledNavigationGraceMs, this, [this] { ProbePage(); });
}

// Until a cancelled navigation has wound down, the browser answers no script
// awaited in a nested loop. A script sent without waiting comes back once it
// has; only then are the queued events handed on. One click may cancel
// several navigations: a probe counts only when none was cancelled after it
// was sent.
void CWbb::ProbePage() {
  if (!navigationPending || probing_) return;
  probing_ = true;
  QPointer<CWbb> self(this);
  const uint64_t cancelled = cancelledNavigations_;
  browser->page()->runJavaScript("0", [self, cancelled](const QVariant&) {
    if (!self) return;
    self->probing_ = false;
    if (self->cancelledNavigations_ != cancelled) {
      self->ProbePage();
      return;
    }
    // A navigation the same script started after it may reach the host only
    // now: one more round trip lets it arrive before any event is handled.
    QTimer::singleShot(kSettleMs, self, [self, cancelled] {
      if (self->cancelledNavigations_ != cancelled) {
        self->ProbePage();
        return;
      }
      self->navigationPending = false;
      self->ScheduleEvents(0);
    });
  });
}

void CWbb::ScheduleEvents(int delayMs) {
  if (pendingEvents_.empty()) return;
  QTimer::singleShot(delayMs, this, [this] { ProcessEvents(); });
}

void CWbb::ProcessEvents() {
  if (pendingEvents_.empty()) return;
  if (navigationPending) return;  // the probe schedules again
  if (eventInProgress || ScriptsBusy()) {
    ScheduleEvents(5);
    return;
  }
  const std::string eventText = pendingEvents_.front();
  pendingEvents_.pop_front();
  QPointer<CWbb> self(this);
  eventInProgress = true;
  try {
    if (eventHandler) eventHandler(eventText, *this);
  } catch (const CException&) {
    // A failed page operation abandons the event; nothing is reported.
  }
  eventInProgress = false;
  if (self) ScheduleEvents(0);
}

void CWbb::CloseRequest() {
  if (currentPopup != this) return;
  currentPopup = nullptr;
  pageReady = false;
  hide();
  deleteLater();
}

void CWbb::closeEvent(QCloseEvent* event) {
  event->ignore();
  CloseRequest();
}

void CWbb::reject() { CloseRequest(); }
void CWbb::accept() { CloseRequest(); }

void CWbb::SetAccessKeyHighlightState(bool on) {
  const Highlight wanted = on ? Highlight::kOn : Highlight::kOff;
  if (accessKeyHighlight_ == wanted) return;
  accessKeyHighlight_ = wanted;
  QPointer<CWbb> self(this);
  SetAccessKeyHighlight(*this, on, [self](bool reached) {
    if (self && !reached) self->accessKeyHighlight_ = Highlight::kUnset;  // nothing changed on the page
  });
}

bool CWbb::eventFilter(QObject* watched, QEvent* event) {
  if (watched == browser && event->type() == QEvent::ChildAdded) WatchInput(browser->focusProxy());
  if (watched == this &&
      (event->type() == QEvent::WindowActivate || event->type() == QEvent::WindowDeactivate)) {
    if (pageReady) SetAccessKeyHighlightState(false);
    return false;
  }
  if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove ||
      event->type() == QEvent::Drop) {
    event->ignore();
    return true;
  }
  if (!pageReady) return false;
  // Keys reach the page's widget first; those the page leaves are passed on to
  // the view and the dialog, and must not be filtered twice.
  if ((event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) &&
      watched != browser->focusProxy())
    return false;
  return FilterInput(event);
}

bool CWbb::FilterInput(QEvent* event) {
  const QEvent::Type type = event->type();
  const auto* mouse = dynamic_cast<QMouseEvent*>(event);
  const auto* key =
      type == QEvent::KeyPress || type == QEvent::KeyRelease ? static_cast<QKeyEvent*>(event) : nullptr;
  if (type == QEvent::Wheel && (static_cast<QWheelEvent*>(event)->modifiers() & Qt::ControlModifier))
    return true;  // no zoom: the page keeps the sizes of its template
  if (!mouse && !key && type != QEvent::ContextMenu) return false;

  // A selection outside a text field does not survive.
  if (type == QEvent::MouseButtonRelease || type == QEvent::KeyRelease)
    RestrictSelection(*this, TypeCodes(HoldsText));

  const bool hideCursor = !currentPopup && cursorShown == 0;
  if (hideCursor != cursorHidden_) {
    if (hideCursor)
      QApplication::setOverrideCursor(Qt::BlankCursor);
    else
      QApplication::restoreOverrideCursor();
    cursorHidden_ = hideCursor;
  }

  if (currentPopup && mouse &&
      ((type == QEvent::MouseButtonPress &&
        (mouse->button() == Qt::LeftButton || mouse->button() == Qt::RightButton)) ||
       (type == QEvent::MouseButtonRelease && mouse->button() == Qt::RightButton &&
        !(mouse->modifiers() & Qt::ShiftModifier)))) {
    QPointer<CWbb> popup = currentPopup;
    QTimer::singleShot(0, popup, [popup] {
      if (popup) popup->CloseRequest();
    });
  }

  if (key) {
    // Enter, undo and redo are decided on the page itself (kInputRulesScript),
    // where the focused element is known without waiting.
    // Whether Alt is held once this key has gone down or up.
    const bool altHeld =
        key->key() == Qt::Key_Alt ? type == QEvent::KeyPress : (key->modifiers() & Qt::AltModifier);
    SetAccessKeyHighlightState(altHeld);
    const bool closeKey =
        key->key() == Qt::Key_Escape || key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    // F1 asks the window for its help, wherever the focus is.
    if (type == QEvent::KeyPress && key->key() == Qt::Key_F1 && eventHandler && !key->isAutoRepeat()) {
      QueueEvent("hh|idHelp");
      return true;
    }
    if (key->key() == Qt::Key_F1) return true;
    // The popup never takes the keyboard: its keys reach the window under it.
    if (type == QEvent::KeyPress && closeKey && (!eventHandler || currentPopup)) {
      if (currentPopup) currentPopup->CloseRequest();
      return true;
    }
    return false;
  }

  if (type == QEvent::ContextMenu) {
    // X11 follows every right press with a context menu request; the press
    // has had its answer already (help, or the sound). Only the Menu key asks.
    if (static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard) ::PlayExclamation();
    return true;
  }
  if (mouse->button() != Qt::RightButton) return false;
  if (type == QEvent::MouseButtonPress) {
    if (!eventHandler) {
      ::PlayExclamation();
      return true;
    }
    const auto scale = [this](double v) { return static_cast<int>(std::lround(v * 100 / zoomPercent)); };
    QPointer<CWbb> self(this);
    FindHelpEventAtPoint(*this, scale(mouse->position().x()), scale(mouse->position().y()),
                         [self](std::optional<std::string> help) {
                           if (!self) return;
                           if (help)
                             self->QueueEvent(*help);
                           else
                             ::PlayExclamation();
                         });
  }
  return true;  // the page never sees the right button
}
