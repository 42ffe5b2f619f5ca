#include "app/ctheapp.h"

#include <QMessageBox>

#include "app/cadlg.h"
#include "form/controls.h"
#include "form/page.h"

bool CTheApp::InitInstance() {
  auto* window = new CADlg(BuildMainPage());
  if (!window->PageLoaded()) {
    // The page view could not be brought up: nothing can be shown.
    delete window;
    QMessageBox::critical(nullptr, QString(), kStartFailedMessage);
    return false;
  }
  SetMainWindow(window);
  ApplyBindings();
  SetUpFilingFolder();
  window->show();
  return true;
}

int CTheApp::ExitInstance() {
  if (CADlg* window = MainWindow()) {
    window->pageReady = false;
    SetMainWindow(nullptr);
    delete window;
  }
  return 0;
}
