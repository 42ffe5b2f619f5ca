#include "app/cadlg.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QToolTip>
#include <QUrl>
#include <QWebEngineView>

#include "app/capture.h"
#include "app/desktop.h"
#include "app/page_scripts.h"
#include "form/controls.h"
#include "form/dispatcher.h"
#include "form/dom.h"
#include "form/page_host.h"
#include "infotable/text_forms.h"

namespace {

CADlg* mainWindow = nullptr;

// The smallest window size a user can drag to.
constexpr int kMinimumWidth = 200, kMinimumHeight = 100;
// The help popup's client width.
constexpr int kHelpWidth = 560;

// What Submit has to say, in its own place above the messages, which keep
// what the last capture found.
void ShowSubmitNotice(const std::string& html, bool sound) {
  try {
    ReplaceElementContent("idSub", html.empty() ? "" : "<p>" + html + "</p>");
  } catch (const CException&) {
    ShowMessage(html);  // a page without the notice's place
    return;
  }
  if (sound) PlayExclamation();
}

void ReportSubmitFailure() {
  try {
    ShowSubmitNotice(
        std::string("<font color=red>") + kSubmitFailedMessage + "</font> Open <span id=idUrl " +
            "tabindex=0 style='color:#0000a0;cursor:pointer' title=\"Click to copy this address.\" " +
            "onclick='location=\"|csUrl\"'><b>" + kFilerLoginUrl + "</b></span> in your web browser.",
        true);
  } catch (const CException&) {
    PlayExclamation();  // the page could not be reached; the sound at least
  }
}

// Opens the filer login with the desktop's opener, in the filing folder (the
// home folder when that is gone). Its answer comes later: an opener that
// fails, or finds no browser, is reported then. The opener is never ended by
// this program, which may end first, so it has no parent.
void OpenFilerLogin(const std::string& folder) {
  auto* opener = new QProcess;
  const QString working = QString::fromStdString(folder);
  opener->setWorkingDirectory(QFileInfo(working).isDir() ? working : QDir::homePath());
  QObject::connect(opener, &QProcess::finished, [opener](int code, QProcess::ExitStatus status) {
    if (status != QProcess::NormalExit || code != 0) ReportSubmitFailure();
    opener->deleteLater();
  });
  QObject::connect(opener, &QProcess::errorOccurred, [opener](QProcess::ProcessError error) {
    if (error != QProcess::FailedToStart) return;
    ReportSubmitFailure();
    opener->deleteLater();
  });
  opener->start("xdg-open", {kFilerLoginUrl});
}

bool IsCopyField(const std::string& id) {
  return id == "idFf" || id == "idNe" || id == "idTot" || id == "idUrl";
}

bool Converting() { return mainWindow && mainWindow->capture.Running(); }

// The entry count and the value total of the document in the filing folder.
void ShowCounts() {
  const CaptureState& state = Capture();
  ReplaceElementContent("idNe", state.countsKnown ? std::to_string(state.entryCount) : "(unknown)");
  ReplaceElementContent("idTot",
                        state.countsKnown ? GroupThousands(std::to_string(state.valueTotal)) : "(unknown)");
}

void CopyCommand(const std::string& subject) {
  const CaptureState& state = Capture();
  // A count that no document backs, or one about to change, is not copied.
  const bool count = subject == "csNe" || subject == "csTot";
  if (count && (Converting() || !state.countsKnown)) {
    PlayExclamation();
    return;
  }
  if (subject == "csFf")
    PutClipboardText(state.filingFolder + kDocumentFileName);
  else if (subject == "csNe")
    PutClipboardText(std::to_string(state.entryCount));
  else if (subject == "csTot")
    PutClipboardText(std::to_string(state.valueTotal));
  else if (subject == "csUrl")
    PutClipboardText(kFilerLoginUrl);
  else
    return;
  if (!mainWindow) return;
  mainWindow->browser->setCursor(Qt::ArrowCursor);
  QToolTip::showText(QCursor::pos(), kCopiedText, mainWindow->browser);
}

// Submit opens the filer login, but first says once what speaks against it:
// no document in the filing folder, or lines the last capture named. Pressed
// again, it opens the site all the same.
void Submit() {
  bool& warned = mainWindow->submitWarned;
  const CaptureState& state = Capture();
  if (Converting()) {
    PlayExclamation();
    return;
  }
  std::string against;
  if (!QFileInfo::exists(QString::fromStdString(state.filingFolder + kDocumentFileName)))
    against = std::string("There is no ") + kDocumentFileName + " in the filing folder to upload yet.";
  else if (state.lastHadLines)
    against = "The last capture named errors or checks (below): mend them before you file.";
  if (!against.empty() && !warned) {
    warned = true;
    ShowSubmitNotice("<font color=#c05000>" + EscapeMarkup(against) +
                         "</font> Press Submit again to open the SEC's site all the same.",
                     true);
    return;
  }
  warned = false;
  ShowSubmitNotice("", false);
  OpenFilerLogin(state.filingFolder);
}

std::string HelpPage() {
  std::string help = PageScript("help.html");
  const size_t at = help.find("@VERSION@");
  if (at != std::string::npos) help.replace(at, 9, FORM13F_VERSION);
  return std::string(kPopupPageHead) + help;
}

void ButtonCommand(const std::string& subject) {
  if (subject == "btCapture") {
    if (mainWindow) mainWindow->capture.Start(ShowCounts);
  } else if (subject == "btSubmit") {
    Submit();
  }
}

// Copies every line of the message area, as the filer reads them.
void CopyAllMessages() {
  PageHost* host = MainPageHost();
  if (!host) return;
  PutClipboardText(GetElementText(*host, "idMsg"));
  if (mainWindow) QToolTip::showText(QCursor::pos(), kCopiedText, mainWindow->browser);
}

void OpenFilingFolder() {
  const QString folder = QString::fromStdString(Capture().filingFolder);
  if (!QDesktopServices::openUrl(QUrl::fromLocalFile(folder)))
    ShowSubmitNotice("<font color=red>The filing folder could not be opened:</font> " +
                         EscapeMarkup(Capture().filingFolder),
                     true);
}

}  // namespace

CADlg::CADlg(const std::string& pageHtml) : CWbb(pageHtml, ApplicationEventHandler) {
  setMinimumSize(kMinimumWidth - frameWidth, kMinimumHeight - frameHeight);
}

void CADlg::closeEvent(QCloseEvent* event) {
  event->accept();
  QApplication::quit();
}

void CADlg::PageRestarted() {
  try {
    ApplyBindings();
    SetUpFilingFolder();
    MakeCopyFieldsReachable();
    KeptDocumentText(Capture(), false);
    ShowCounts();
    ShowMessage(kPageRestartedMessage);
  } catch (const CException&) {
    // The new page failed too; its own restart follows.
  }
}

CADlg* MainWindow() { return mainWindow; }

void SetMainWindow(CADlg* window) {
  mainWindow = window;
  SetMainPageHost(window);
}

void ApplicationEventHandler(const std::string& eventText, PageHost&) {
  if (!mainWindow || !mainWindow->pageReady) return;
  const std::string subject = DispatchEvent(eventText);
  const std::string selector = eventText.substr(0, 2);
  if (selector == "cs")
    CopyCommand(subject);
  else if (selector == "ek" && IsCopyField(subject))
    CopyCommand("cs" + subject.substr(2));  // Enter on a copy field copies it
  else if (selector == "bt")
    ButtonCommand(subject);
  else if (selector == "hh")
    CWbb::OpenPopup(HelpPage(), kHelpWidth);
  else if (selector == "cm")
    CopyAllMessages();
  else if (selector == "of")
    OpenFilingFolder();
  else if (selector == "sa" && eventText.size() > 3)
    mainWindow->preview.ShowGroup(static_cast<size_t>(std::strtoul(eventText.c_str() + 3, nullptr, 10)));
}

bool RenewMainPage() {
  if (!mainWindow || !mainWindow->RenewPage()) return false;
  try {
    ApplyBindings();
    SetUpFilingFolder();
    MakeCopyFieldsReachable();
    ShowCounts();
  } catch (const CException&) {
    return false;
  }
  return true;
}

void ShowDocumentInFolder() {
  ReplaceElementContent("idMsg", "<p>" + KeptDocumentText(Capture(), false) + "</p>");
  ShowCounts();
}

void MakeCopyFieldsReachable() {
  if (PageHost* host = MainPageHost()) RunPageScript(*host, PageScript("main_page.js"));
}

void SetUpFilingFolder() {
  std::string documents;
  GetDocumentsFolder(documents);
  std::string& folder = Capture().filingFolder;
  folder = documents + "/";
  if (folder == "//") folder = "/";  // the root fallback needs no second separator
  ReplaceElementContent("idFf", EscapeMarkup(folder + kDocumentFileName));
}
