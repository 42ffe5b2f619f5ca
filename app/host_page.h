// The page as every page window shows it: it loads nothing but itself, runs
// the input rules and the button style, and gives each navigation to an
// event URL (one that holds "|") to its window as the event's text instead
// of following it.
#pragma once

#include <QWebEnginePage>
#include <QWebEngineScript>
#include <functional>
#include <string>

// Base URL of every page: event URLs resolve to it followed by "|...".
extern const char* const kPageBaseUrl;

class HostPage : public QWebEnginePage {
 public:
  // `raised` receives the text after the URL's first "|".
  HostPage(QObject* parent, std::function<void(const std::string&)> raised);

 protected:
  bool acceptNavigationRequest(const QUrl& url, NavigationType, bool) override;

 private:
  void AddScript(const char* name, const std::string& source, QWebEngineScript::InjectionPoint when);

  std::function<void(const std::string&)> raised_;
};
