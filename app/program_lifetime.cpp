#include "app/program_lifetime.h"

#include <QMessageBox>

#include "app/main_window.h"
#include "app/single_instance.h"
#include "form/page.h"

namespace {

MainWindow* programWindow = nullptr;

}  // namespace

bool StartProgram() {
  if (!ClaimSingleInstance()) return false;
  auto* window = new MainWindow(BuildMainPage());
  if (!window->PageLoaded()) {
    delete window;
    QMessageBox::critical(nullptr, QString(), kStartFailedMessage);
    return false;
  }
  RaiseOnLaterStarts(window);
  programWindow = window;
  try {
    window->SetUpPage();
    window->ShowDocumentInFolder();
  } catch (const PageOperationFailed&) {
    // The page stopped as it was set up: its restart sets it up again.
  }
  window->show();
  return true;
}

int EndProgram() {
  if (programWindow) programWindow->capture.Finish();
  ReleaseSingleInstance();
  if (MainWindow* window = programWindow) {
    window->pageReady = false;
    programWindow = nullptr;
    delete window;
  }
  return 0;
}

MainWindow* ProgramWindow() { return programWindow; }
