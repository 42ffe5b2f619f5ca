#include "app/cadlg.h"

#include <QApplication>
#include <QCloseEvent>
#include <QProcess>
#include <QWebEngineView>

#include "app/capture.h"
#include "app/desktop.h"
#include "form/controls.h"
#include "form/dispatcher.h"
#include "form/dom.h"
#include "infotable/document.h"

namespace {

CADlg* mainWindow = nullptr;

// The smallest window size a user can drag to.
constexpr int kMinimumWidth = 200, kMinimumHeight = 100;

bool OpenFilerLogin(const std::string& folder) {
  return QProcess::startDetached("xdg-open", {kFilerLoginUrl}, QString::fromStdString(folder));
}

void CopyCommand(const std::string& subject) {
  const CaptureState& state = Capture();
  if (subject == "csFf")
    PutClipboardText(state.filingFolder + kOutputFileName);
  else if (subject == "csNe")
    PutClipboardText(std::to_string(state.entryCount));
  else if (subject == "csTot")
    PutClipboardText(std::to_string(state.valueTotal));
  else
    return;
  if (mainWindow) mainWindow->browser->setCursor(Qt::ArrowCursor);
}

void ButtonCommand(const std::string& subject) {
  const CaptureState& state = Capture();
  if (subject == "btCapture") {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
      CaptureInfoTable();
    } catch (...) {
      QApplication::restoreOverrideCursor();
      throw;
    }
    QApplication::restoreOverrideCursor();
    ReplaceElementContent("idNe", std::to_string(state.entryCount));
    ReplaceElementContent("idTot", GroupThousands(std::to_string(state.valueTotal)));
  } else if (subject == "btSubmit") {
    if (!OpenFilerLogin(state.filingFolder)) ShowMessage(kSubmitFailedMessage);
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
    const CaptureState& state = Capture();
    ReplaceElementContent("idNe", std::to_string(state.entryCount));
    ReplaceElementContent("idTot", GroupThousands(std::to_string(state.valueTotal)));
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
  else if (selector == "bt")
    ButtonCommand(subject);
}

void SetUpFilingFolder() {
  std::string documents;
  GetDocumentsFolder(documents);
  std::string& folder = Capture().filingFolder;
  folder = documents + "/";
  if (folder == "//") folder = "/";  // the root fallback needs no second separator
  ReplaceElementContent("idFf", EscapeMarkup(folder + kOutputFileName));
}
