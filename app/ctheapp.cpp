#include "app/ctheapp.h"

#include <QMessageBox>

#include "app/cadlg.h"
#include "app/capture.h"
#include "app/single_instance.h"
#include "form/controls.h"
#include "form/page.h"

bool CTheApp::InitInstance() {
  // Another copy runs: its window comes to the front instead.
  if (!ClaimSingleInstance()) return false;
  auto* window = new CADlg(BuildMainPage());
  if (!window->PageLoaded()) {
    // The page view could not be brought up: nothing can be shown.
    delete window;
    QMessageBox::critical(nullptr, QString(), kStartFailedMessage);
    return false;
  }
  RaiseOnLaterStarts(window);
  SetMainWindow(window);
  ApplyBindings();
  SetUpFilingFolder();
  MakeCopyFieldsReachable();
  ShowDocumentInFolder();
  window->show();
  return true;
}

int CTheApp::ExitInstance() {
  if (CADlg* window = MainWindow()) window->capture.Finish();
  ReleaseSingleInstance();
  if (CADlg* window = MainWindow()) {
    window->pageReady = false;
    SetMainWindow(nullptr);
    delete window;
  }
  return 0;
}
