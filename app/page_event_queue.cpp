#include "app/page_event_queue.h"

#include <QPointer>
#include <QTimer>
#include <QVariant>
#include <QWebEnginePage>

namespace {

// A cancelled navigation normally ends with loadFinished at once; should it
// not, the page is probed after this delay all the same.
constexpr int kCancelledNavigationGraceMs = 1000;
// How long after a probe the queue waits for navigations still on their way.
constexpr int kSettleMs = 30;

// The program has one thread, on which every window's events nest: an event
// of one window waits while another window's runs.
bool eventInProgress = false;

}  // namespace

PageEventQueue::PageEventQueue(PageHost& host, std::function<bool()> busy, QObject* parent)
    : QObject(parent), host_(host), busy_(std::move(busy)) {}

void PageEventQueue::Push(const std::string& eventText) {
  pending_.push_back(eventText);
  Schedule(0);
}

void PageEventQueue::NavigationCancelled(const std::string& eventText) {
  if (host_.eventHandler) pending_.push_back(eventText);
  host_.navigationPending = true;
  ++cancelledNavigations_;
  QTimer::singleShot(kCancelledNavigationGraceMs, this, [this] { Probe(); });
}

void PageEventQueue::Clear() {
  pending_.clear();
  host_.navigationPending = false;
}

// A script sent without waiting comes back once a cancelled navigation has
// wound down; only then are the queued events handed on. One click may
// cancel several navigations: a probe counts only when none was cancelled
// after it was sent.
void PageEventQueue::Probe() {
  QWebEnginePage* page = host_.Page();
  if (!host_.navigationPending || probing_ || !page) return;
  probing_ = true;
  QPointer<PageEventQueue> self(this);
  const uint64_t cancelled = cancelledNavigations_;
  page->runJavaScript("0", [self, cancelled](const QVariant&) {
    if (!self) return;
    self->probing_ = false;
    if (self->cancelledNavigations_ != cancelled) {
      self->Probe();
      return;
    }
    // A navigation the same script started after it may reach the window
    // only now: one more round trip lets it arrive before any event is handled.
    QTimer::singleShot(kSettleMs, self, [self, cancelled] {
      if (self->cancelledNavigations_ != cancelled) {
        self->Probe();
        return;
      }
      self->host_.navigationPending = false;
      self->Schedule(0);
    });
  });
}

void PageEventQueue::Schedule(int delayMs) {
  if (pending_.empty()) return;
  QTimer::singleShot(delayMs, this, [this] { HandleNext(); });
}

void PageEventQueue::HandleNext() {
  if (pending_.empty()) return;
  if (host_.navigationPending) return;  // the probe schedules again
  if (eventInProgress || busy_()) {
    Schedule(5);
    return;
  }
  const std::string eventText = pending_.front();
  pending_.pop_front();
  QPointer<PageEventQueue> self(this);
  eventInProgress = true;
  try {
    if (host_.eventHandler) host_.eventHandler(eventText, host_);
  } catch (const PageOperationFailed&) {
    // A failed page operation abandons the event; nothing is reported. A
    // page that is gone is written anew (renderProcessTerminated).
  }
  eventInProgress = false;
  if (self) Schedule(0);
}
