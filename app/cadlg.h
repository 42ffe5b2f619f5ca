// The main window: the compiled main page in a browser host, whose event
// handler carries out Capture, Submit and the three copy commands.
#pragma once

#include <string>

#include "app/capture.h"
#include "app/cwbb.h"
#include "app/preview.h"

constexpr const char* kFilerLoginUrl = "https://www.edgarfiling.sec.gov/";
constexpr const char* kSubmitFailedMessage = "There was an error going to the SEC Filer Login Page.";
constexpr const char* kCopiedText = "Copied";
constexpr const char* kPageRestartedMessage =
    "The page had stopped and has been started again. The document and the counts are as they were.";

class CADlg : public CWbb {
  Q_OBJECT

 public:
  explicit CADlg(const std::string& pageHtml);

  CaptureState captureState;
  PreviewSender preview{*this};
  CaptureRunner capture{captureState, preview};
  bool submitWarned = false;  // Submit has said what speaks against it; pressed again, it opens the site

 protected:
  void closeEvent(QCloseEvent* event) override;  // ends the program
  void PageRestarted() override;                 // shows the path and the counts again
};

// The one main window, or null.
CADlg* MainWindow();
void SetMainWindow(CADlg* window);

// The main window's handler: the dispatcher first, then the commands.
void ApplicationEventHandler(const std::string& eventText, PageHost& host);

// Sets the filing folder (the documents folder and "/") and shows the XML
// file's path on the page.
void SetUpFilingFolder();
// Arranges the main page: the copy fields reached with Tab and copied with
// Enter or Space, the controls kept in view, the plain actions.
void MakeCopyFieldsReachable();
// Shows what the document in the filing folder holds, as at start-up.
void ShowDocumentInFolder();
// Writes the main page anew in a page of its own, as it was set up at
// start-up, so that a large preview's memory goes back; false when it can't.
bool RenewMainPage();
