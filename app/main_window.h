// The main window: the compiled main page in a page window, whose events
// carry out Capture, Submit, the copy fields and the plain actions.
#pragma once

#include <QPointer>
#include <string>

#include "app/capture.h"
#include "app/comparison_window.h"
#include "app/filing_details_window.h"
#include "app/help_window.h"
#include "app/page_window.h"
#include "app/preview_find_bar.h"
#include "app/preview_sender.h"
#include "infotable/submission.h"

constexpr const char* kFilerLoginUrl = "https://www.edgarfiling.sec.gov/";
constexpr const char* kSubmitFailedMessage = "There was an error going to the SEC Filer Login Page.";
constexpr const char* kCopiedText = "Copied";
constexpr const char* kFindingsUnknownText =
    "What was found when this document was written is not kept beside it (another program wrote it, or it "
    "changed since): capture the table again to check it before you file.";
constexpr const char* kRecheckedText =
    "What was found when it was written is not kept beside it, so it was checked as it stands, its entries "
    "as rows from row 2:";
constexpr const char* kOpenSpreadsheetTitle = "Open spreadsheet";
constexpr const char* kChooseSheetTitle = "Which sheet?";
constexpr const char* kPageRestartedMessage =
    "The page had stopped and has been started again. The document and the counts are as they were.";

class MainWindow : public PageWindow {
  Q_OBJECT

 public:
  explicit MainWindow(const std::string& pageHtml);

  // Arranges the loaded page as at start-up: the filing folder and its
  // document's path, the copy fields, the plain actions. Throws
  // PageOperationFailed when the page fails.
  void SetUpPage();
  // Shows what the document in the filing folder holds, as at start-up.
  void ShowDocumentInFolder();

  CaptureState captureState;
  PreviewSender preview{*this};
  CaptureRunner capture{*this, captureState, preview, [this] { return RenewMainPage(); }};

 protected:
  void closeEvent(QCloseEvent* event) override;  // ends the program
  void PageRestarted() override;                 // shows the path and the counts again
  void FindRequested() override;                 // opens the preview's find bar
  bool TakesDroppedFiles() const override { return true; }
  void FileDropped(const std::string& path) override;  // a workbook, opened

 private:
  void HandleEvent(const std::string& eventText);
  // Writes the main page anew in a page of its own, set up as at start-up,
  // so that a large preview's memory goes back; false when it can't.
  bool RenewMainPage();
  void SetUpFilingFolder();
  // What Submit said of the last capture, and the counts, are about to change.
  void ClearForCapture();
  void StartCapture();
  // Converts the table on `sheet` (or the one that holds it) of the
  // workbook at `path`, or of one asked for when `path` is empty.
  void OpenSpreadsheet(std::string path, const std::string& sheet);
  void ShowHelp();
  void ShowCounts();
  void CopyField(const std::string& field);
  void Submit();
  void ShowSubmitNotice(const std::string& html, bool sound);
  void ReportSubmitFailure(const std::string& reason);
  void OpenFilerLogin();
  void CopyAllMessages();
  void OpenFilingFolder();
  void UndoCapture();
  void ShowFilingDetails();
  void SaveFiling();
  // The last capture against last quarter's filing, in a window of its own.
  void ShowComparison();
  // Writes the submission to `path` and its copy without the CCC into the
  // filing folder, and keeps the CCC in the secret store or takes it out of
  // it (`keep`); why it could not, or empty.
  std::string WriteFiling(const FilingDetails& details, const TableFigures& table,
                          const std::string& findings, const std::string& path, const std::string& ccc,
                          bool keep);
  void ShowCopied();
  bool Converting() const { return capture.Running(); }

  QPointer<HelpWindow> help_;
  PreviewFindBar* findBar_;
  QPointer<FilingDetailsWindow> details_;
  QPointer<ComparisonWindow> comparison_;
  std::string savedSubmission_;  // saved since the last capture: Submit says how to transmit it
  bool submitWarned_ = false;    // Submit has said what speaks against it; pressed again, it opens the site
};
