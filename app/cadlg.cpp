#include "app/cadlg.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QToolTip>
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

void ReportSubmitFailure() {
  try {
    ShowMessage(std::string(kSubmitFailedMessage) + " Open <b>" + kFilerLoginUrl +
                "</b> in your web browser.");
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

bool IsCopyField(const std::string& id) { return id == "idFf" || id == "idNe" || id == "idTot"; }

// The entry count and the value total of the document in the filing folder.
void ShowCounts() {
  const CaptureState& state = Capture();
  ReplaceElementContent("idNe", std::to_string(state.entryCount));
  ReplaceElementContent("idTot", GroupThousands(std::to_string(state.valueTotal)));
}

void CopyCommand(const std::string& subject) {
  const CaptureState& state = Capture();
  if (subject == "csFf")
    PutClipboardText(state.filingFolder + kDocumentFileName);
  else if (subject == "csNe")
    PutClipboardText(std::to_string(state.entryCount));
  else if (subject == "csTot")
    PutClipboardText(std::to_string(state.valueTotal));
  else
    return;
  if (!mainWindow) return;
  mainWindow->browser->setCursor(Qt::ArrowCursor);
  QToolTip::showText(QCursor::pos(), kCopiedText, mainWindow->browser);
}

void ButtonCommand(const std::string& subject) {
  const CaptureState& state = Capture();
  if (subject == "btCapture") {
    if (mainWindow) mainWindow->capture.Start(ShowCounts);
  } else if (subject == "btSubmit") {
    OpenFilerLogin(state.filingFolder);
  }
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
}

void MakeCopyFieldsReachable() {
  if (PageHost* host = MainPageHost()) RunPageScript(*host, PageScript("copy_fields.js"));
}

void SetUpFilingFolder() {
  std::string documents;
  GetDocumentsFolder(documents);
  std::string& folder = Capture().filingFolder;
  folder = documents + "/";
  if (folder == "//") folder = "/";  // the root fallback needs no second separator
  ReplaceElementContent("idFf", EscapeMarkup(folder + kDocumentFileName));
}
