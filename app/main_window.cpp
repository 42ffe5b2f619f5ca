#include "app/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QProcess>
#include <QToolTip>
#include <QUrl>
#include <QWebEngineView>
#include <cstdlib>

#include "app/desktop.h"
#include "app/page_scripts.h"
#include "form/dom.h"
#include "form/page_event.h"
#include "infotable/text_forms.h"

namespace {

// The smallest window size a user can drag to.
constexpr int kMinimumWidth = 200, kMinimumHeight = 100;
// The help popup's client width.
constexpr int kHelpWidth = 560;

// The head of the help popup's page.
constexpr const char* kPopupPageHead =
    "<style><!--\n"
    "p {margin-top:4px;margin-right:0;margin-bottom:4px;margin-left:0}\n"
    "ul {margin-top:4px;margin-right:0;margin-bottom:4px;margin-left:16px}\n"
    "ol {margin-top:4px;margin-right:0;margin-bottom:4px;margin-left:16px}\n"
    "li {margin-top:4px;margin-bottom:4px}\n"
    "-->\n"
    "</style><BODY bgcolor=#ffff00 leftmargin=4 rightmargin=2 topmargin=2 bottommargin=0 "
    "style='cursor:default;overflow:auto;font:11px Arial;border:0' title='Click here to close this "
    "popup.'>\n";

std::string HelpPage() {
  std::string help = PageScript("help.html");
  const size_t at = help.find("@VERSION@");
  if (at != std::string::npos) help.replace(at, 9, FORM13F_VERSION);
  return std::string(kPopupPageHead) + help;
}

// The copy fields, by the ids the page gives them ("idFf") and the names
// their copy events give them ("Ff").
bool IsCopyField(const std::string& id) {
  return id == "idFf" || id == "idNe" || id == "idTot" || id == "idUrl";
}

}  // namespace

MainWindow::MainWindow(const std::string& pageHtml)
    : PageWindow(pageHtml, [](const std::string& eventText, PageHost& host) {
        // Only main windows are given this handler.
        static_cast<MainWindow&>(host).HandleEvent(eventText);
      }) {
  setMinimumSize(kMinimumWidth, kMinimumHeight);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  event->accept();
  QApplication::quit();
}

void MainWindow::SetUpPage() {
  SetUpFilingFolder();
  RunPageScript(*this, PageScript("main_page.js"));
}

void MainWindow::PageRestarted() {
  try {
    SetUpPage();
    ReadKeptDocument(captureState);
    ShowCounts();
    ShowMessage(*this, kPageRestartedMessage);
  } catch (const PageOperationFailed&) {
    // The new page failed too; its own restart follows.
  }
}

bool MainWindow::RenewMainPage() {
  if (!RenewPage()) return false;
  try {
    SetUpPage();
    ShowCounts();
  } catch (const PageOperationFailed&) {
    return false;  // the page's own restart follows
  }
  return true;
}

void MainWindow::ShowDocumentInFolder() {
  ReplaceElementContent(*this, "idMsg", "<p>" + KeptDocumentText(ReadKeptDocument(captureState), false) + "</p>");
  ShowCounts();
}

void MainWindow::SetUpFilingFolder() {
  std::string& folder = captureState.filingFolder;
  folder = DocumentsFolder() + "/";
  if (folder == "//") folder = "/";  // the root fallback needs no second separator
  ReplaceElementContent(*this, "idFf", EscapeMarkup(folder + kDocumentFileName));
}

void MainWindow::HandleEvent(const std::string& eventText) {
  if (!pageReady) return;
  const PageEventText event = ReadPageEvent(eventText);
  switch (event.event) {
    case PageEvent::kCopyField: CopyField(event.subject); return;
    case PageEvent::kEnter:
      if (IsCopyField(event.subject)) CopyField(event.subject.substr(2));  // Enter on a copy field copies it
      return;
    case PageEvent::kButton:
      if (event.subject == "Capture")
        capture.Start([this] { ShowCounts(); });
      else if (event.subject == "Submit")
        Submit();
      return;
    case PageEvent::kHelp: OpenPopup(HelpPage(), kHelpWidth); return;
    case PageEvent::kCopyAllMessages: CopyAllMessages(); return;
    case PageEvent::kOpenFilingFolder: OpenFilingFolder(); return;
    case PageEvent::kShowGroup:
      if (!event.subject.empty()) preview.ShowGroup(std::strtoul(event.subject.c_str(), nullptr, 10));
      return;
    case PageEvent::kUnknown: return;
  }
}

// The entry count and the value total of the document in the filing folder.
void MainWindow::ShowCounts() {
  const CaptureState& state = captureState;
  ReplaceElementContent(*this, "idNe", state.countsKnown ? std::to_string(state.entryCount) : "(unknown)");
  ReplaceElementContent(*this, "idTot",
                        state.countsKnown ? GroupThousands(std::to_string(state.valueTotal)) : "(unknown)");
}

void MainWindow::ShowCopied() {
  browser->setCursor(Qt::ArrowCursor);
  QToolTip::showText(QCursor::pos(), kCopiedText, browser);
}

void MainWindow::CopyField(const std::string& field) {
  const CaptureState& state = captureState;
  // A count that no document backs, or one about to change, is not copied.
  const bool count = field == "Ne" || field == "Tot";
  if (count && (Converting() || !state.countsKnown)) {
    PlayExclamation();
    return;
  }
  if (field == "Ff")
    PutClipboardText(state.filingFolder + kDocumentFileName);
  else if (field == "Ne")
    PutClipboardText(std::to_string(state.entryCount));
  else if (field == "Tot")
    PutClipboardText(std::to_string(state.valueTotal));
  else if (field == "Url")
    PutClipboardText(kFilerLoginUrl);
  else
    return;
  ShowCopied();
}

// What Submit has to say, in its own place above the messages, which keep
// what the last capture found.
void MainWindow::ShowSubmitNotice(const std::string& html, bool sound) {
  ReplaceElementContent(*this, "idSub", html.empty() ? "" : "<p>" + html + "</p>");
  if (sound) PlayExclamation();
}

// Submit opens the filer login, but first says once what speaks against it:
// no document in the filing folder, or lines the last capture named. Pressed
// again, it opens the site all the same.
void MainWindow::Submit() {
  if (Converting()) {
    PlayExclamation();
    return;
  }
  std::string against;
  if (!QFileInfo::exists(QString::fromStdString(captureState.filingFolder + kDocumentFileName)))
    against = std::string("There is no ") + kDocumentFileName + " in the filing folder to upload yet.";
  else if (captureState.lastHadLines)
    against = "The last capture named errors or checks (below): mend them before you file.";
  if (!against.empty() && !submitWarned_) {
    submitWarned_ = true;
    ShowSubmitNotice("<font color=#c05000>" + EscapeMarkup(against) +
                         "</font> Press Submit again to open the SEC's site all the same.",
                     true);
    return;
  }
  submitWarned_ = false;
  ShowSubmitNotice("", false);
  OpenFilerLogin();
}

// The opener's answer comes outside any event of the page: a failed page
// step ends here.
void MainWindow::ReportSubmitFailure() {
  try {
    ShowSubmitNotice(
        std::string("<font color=red>") + kSubmitFailedMessage + "</font> Open <span id=idUrl " +
            "tabindex=0 style='color:#0000a0;cursor:pointer' title=\"Click to copy this address.\" " +
            "onclick='location=\"|" + PageEventTextOf(PageEvent::kCopyField, "Url") + "\"'><b>" +
            kFilerLoginUrl + "</b></span> in your web browser.",
        true);
  } catch (const PageOperationFailed&) {
    PlayExclamation();  // the page could not be reached; the sound at least
  }
}

// Opens the filer login with the desktop's opener, in the filing folder (the
// home folder when that is gone). Its answer comes later: an opener that
// fails, or finds no browser, is reported then. The opener is never ended by
// this program, which may end first, so it has no parent.
void MainWindow::OpenFilerLogin() {
  auto* opener = new QProcess;
  const QString working = QString::fromStdString(captureState.filingFolder);
  opener->setWorkingDirectory(QFileInfo(working).isDir() ? working : QDir::homePath());
  QPointer<MainWindow> self(this);
  QObject::connect(opener, &QProcess::finished, [self, opener](int code, QProcess::ExitStatus status) {
    if (self && (status != QProcess::NormalExit || code != 0)) self->ReportSubmitFailure();
    opener->deleteLater();
  });
  QObject::connect(opener, &QProcess::errorOccurred, [self, opener](QProcess::ProcessError error) {
    if (error != QProcess::FailedToStart) return;
    if (self) self->ReportSubmitFailure();
    opener->deleteLater();
  });
  opener->start("xdg-open", {kFilerLoginUrl});
}

// Copies every line of the message area, as the filer reads them.
void MainWindow::CopyAllMessages() {
  PutClipboardText(GetElementText(*this, "idMsg"));
  QToolTip::showText(QCursor::pos(), kCopiedText, browser);
}

void MainWindow::OpenFilingFolder() {
  const QString folder = QString::fromStdString(captureState.filingFolder);
  if (!QDesktopServices::openUrl(QUrl::fromLocalFile(folder)))
    ShowSubmitNotice("<font color=red>The filing folder could not be opened:</font> " +
                         EscapeMarkup(captureState.filingFolder),
                     true);
}
