#include "app/host_page.h"

#include <QApplication>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineUrlRequestInterceptor>

#include "app/page_scripts.h"

const char* const kPageBaseUrl = "http://form13f.invalid/";

namespace {

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

}  // namespace

HostPage::HostPage(QObject* parent, std::function<void(const std::string&)> raised)
    : QWebEnginePage(Profile(), parent), raised_(std::move(raised)) {
  AddScript("input rules", PageScript("input_rules.js"), QWebEngineScript::DocumentCreation);
  AddScript("button padding", PageScript("button_style.js"), QWebEngineScript::DocumentReady);
}

bool HostPage::acceptNavigationRequest(const QUrl& url, NavigationType, bool) {
  if (url.scheme() == "data") return true;  // the page the window writes
  if (url.scheme() == "javascript") return false;
  const std::string text = UrlText(url);
  const size_t bar = text.find('|');
  if (bar == std::string::npos) return url.toString() == "about:blank";
  raised_(text.substr(bar + 1));
  return false;
}

void HostPage::AddScript(const char* name, const std::string& source, QWebEngineScript::InjectionPoint when) {
  QWebEngineScript script;
  script.setName(name);
  script.setSourceCode(QString::fromStdString(source));
  script.setInjectionPoint(when);
  script.setWorldId(QWebEngineScript::MainWorld);
  scripts().insert(script);
}
