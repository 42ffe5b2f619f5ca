#include "app/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLayout>
#include <QPointer>
#include <QToolTip>
#include <QWebEngineView>
#include <cstdlib>

#include "app/desktop.h"
#include "app/help_window.h"
#include "app/page_scripts.h"
#include "app/save_filing_window.h"
#include "app/secret_store.h"
#include "form/dom.h"
#include "form/page_event.h"
#include "infotable/document_summary.h"
#include "infotable/filing_details.h"
#include "infotable/kept_findings.h"
#include "infotable/text_forms.h"
#include "storage/failure_reason.h"
#include "storage/file_replacement.h"
#include "storage/undo_copy.h"

namespace {

// The smallest window size a user can drag to.
constexpr int kMinimumWidth = 200, kMinimumHeight = 100;
std::string Capitalized(std::string text) {
  if (!text.empty() && text[0] >= 'a' && text[0] <= 'z') text[0] = static_cast<char>(text[0] - 'a' + 'A');
  return text;
}

std::string HelpText() {
  std::string help = PageScript("help.html");
  const size_t at = help.find("@VERSION@");
  if (at != std::string::npos) help.replace(at, 9, FORM13F_VERSION);
  return help;
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
  findBar_ = new PreviewFindBar(*this, this);
  layout()->addWidget(findBar_);
  connect(findBar_, &PreviewFindBar::Closed, this, [this] { browser->setFocus(); });
  capture.sheetAsked = [this](const std::string& path, const std::string& why,
                              const std::vector<std::string>& sheets) {
    // Asked without a loop of its own, so that the window goes on meanwhile.
    auto* ask = new QInputDialog(this);
    ask->setAttribute(Qt::WA_DeleteOnClose);
    ask->setWindowTitle(kChooseSheetTitle);
    ask->setLabelText(QString::fromStdString(why + " Read the table of sheet:"));
    QStringList names;
    for (const std::string& sheet : sheets) names << QString::fromStdString(sheet);
    ask->setComboBoxItems(names);
    ask->setComboBoxEditable(false);
    connect(ask, &QInputDialog::textValueSelected, this,
            [this, path](const QString& sheet) { OpenSpreadsheet(path, sheet.toStdString()); });
    ask->open();
  };
}

void MainWindow::FindRequested() { findBar_->Open(); }

void MainWindow::FileDropped(const std::string& path) { OpenSpreadsheet(path, ""); }

// The workbook chosen, or dropped, converted as a capture converts the
// clipboard's table.
void MainWindow::OpenSpreadsheet(std::string path, const std::string& sheet) {
  if (Converting()) {
    PlayExclamation();
    return;
  }
  if (path.empty()) {
    auto* choose =
        new QFileDialog(this, kOpenSpreadsheetTitle, QString::fromStdString(captureState.filingFolder),
                        "Workbooks (*.xlsx *.ods);;All files (*)");
    choose->setAttribute(Qt::WA_DeleteOnClose);
    choose->setFileMode(QFileDialog::ExistingFile);
    choose->setOption(QFileDialog::DontUseNativeDialog);
    connect(choose, &QFileDialog::fileSelected, this,
            [this](const QString& chosen) { OpenSpreadsheet(chosen.toStdString(), ""); });
    choose->open();
    return;
  }
  ClearForCapture();
  capture.OpenWorkbook(path, sheet, [this] { ShowCounts(); });
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
  const KeptDocument kept = ReadKeptDocument(captureState);
  const std::string text = "<p>" + KeptDocumentText(kept, false);
  captureState.findingsUnknown = false;
  captureState.lastHadLines = false;
  if (kept.summary.exists && !kept.problem) {
    if (std::optional<KeptFindings> findings =
            ReadKeptFindings(captureState.filingFolder + kDocumentFileName)) {
      captureState.lastHadLines = findings->hadLines;
      preview.Show(text + " What the capture that wrote it found:</p>" + findings->status,
                   std::move(findings->table), std::move(findings->groups));
      ShowCounts();
      return;
    }
    // Until it is checked as it stands, it is named unchecked.
    captureState.findingsUnknown = true;
    ReplaceElementContent(
        *this, "idMsg",
        text + "</p><p><b><font color=#c05000>" + EscapeMarkup(kFindingsUnknownText) + "</font></b></p>");
    ShowCounts();
    capture.Recheck(text + " " + EscapeMarkup(kRecheckedText) + "</p>", nullptr);
    return;
  }
  ReplaceElementContent(*this, "idMsg", text + "</p>");
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
        StartCapture();
      else if (event.subject == "Submit")
        Submit();
      return;
    case PageEvent::kHelp: ShowHelp(); return;
    case PageEvent::kCopyAllMessages: CopyAllMessages(); return;
    case PageEvent::kOpenFilingFolder: OpenFilingFolder(); return;
    case PageEvent::kUndoCapture: UndoCapture(); return;
    case PageEvent::kFilingDetails: ShowFilingDetails(); return;
    case PageEvent::kSaveFiling: SaveFiling(); return;
    case PageEvent::kLastQuarter: ShowComparison(); return;
    case PageEvent::kOpenSpreadsheet: OpenSpreadsheet("", ""); return;
    case PageEvent::kShowGroup:
      if (!event.subject.empty()) preview.ShowGroup(std::strtoul(event.subject.c_str(), nullptr, 10));
      return;
    case PageEvent::kUnknown: return;
  }
}

// What Submit said was of the last capture, and the counts are about to
// change: both say so at once.
void MainWindow::ClearForCapture() {
  submitWarned_ = false;
  savedSubmission_.clear();
  ShowSubmitNotice("", false);
  if (!capture.Running())
    for (const char* field : {"idNe", "idTot"})
      ReplaceElementContent(*this, field, "<font color=#808080>(converting)</font>");
}

void MainWindow::StartCapture() {
  ClearForCapture();
  // A capture that stops before converting shows the counts again at once.
  capture.Start([this] { ShowCounts(); });
}

// One help window, brought to the front when asked for again.
void MainWindow::ShowHelp() {
  if (!help_) help_ = new HelpWindow(this, HelpText());
  help_->show();
  help_->raise();
  help_->activateWindow();
}

// The entry count and the value total of the document in the filing folder.
void MainWindow::ShowCounts() {
  const CaptureState& state = captureState;
  ReplaceElementContent(*this, "idNe",
                        state.countsKnown ? GroupThousands(std::to_string(state.entryCount)) : "(unknown)");
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
  else if (captureState.findingsUnknown)
    against = kFindingsUnknownText;
  if (!against.empty() && !submitWarned_) {
    submitWarned_ = true;
    ShowSubmitNotice("<font color=#c05000>" + EscapeMarkup(against) +
                         "</font> Press Submit again to open the SEC's site all the same.",
                     true);
    return;
  }
  submitWarned_ = false;
  ShowSubmitNotice(savedSubmission_.empty()
                       ? ""
                       : "On the SEC's site, transmit " + EscapeMarkup(savedSubmission_) +
                             " on the \"Transmit XML Submission\" page.",
                   false);
  OpenFilerLogin();
}

// The opener's answer comes outside any event of the page: a failed page
// step ends here.
void MainWindow::ReportSubmitFailure(const std::string& reason) {
  try {
    ShowSubmitNotice(
        std::string("<font color=red>") + kSubmitFailedMessage + "</font> " +
            EscapeMarkup(Capitalized(reason)) +
            ". Open <span id=idUrl tabindex=0 style='color:#0000a0;cursor:pointer;text-decoration:underline' "
            "title=\"Click to copy this address.\" onclick='location=\"|" +
            PageEventTextOf(PageEvent::kCopyField, "Url") + "\"'><b>" + kFilerLoginUrl +
            "</b></span> in your web browser (click it to copy it).",
        true);
  } catch (const PageOperationFailed&) {
    PlayExclamation();  // the page could not be reached; the sound at least
  }
}

void MainWindow::OpenFilerLogin() {
  QPointer<MainWindow> self(this);
  OpenWithDesktop(kFilerLoginUrl, captureState.filingFolder, [self](const std::string& reason) {
    if (self) self->ReportSubmitFailure(reason);
  });
}

// Puts back the document the last capture replaced, with what was found
// when it was written; once only.
void MainWindow::UndoCapture() {
  if (Converting()) {
    PlayExclamation();
    return;
  }
  const std::string path = captureState.filingFolder + kDocumentFileName;
  if (!HasUndoCopy(path)) {
    ShowSubmitNotice(
        "There is no capture to undo: the document in the filing folder is the one the last "
        "capture wrote, or none replaced it.",
        true);
    return;
  }
  if (const FileFailure failure = PutBackUndoCopy(path)) {
    ShowSubmitNotice("<font color=red>The capture could not be undone:</font> " +
                         EscapeMarkup(FailureReason(*failure, kDocumentFileName) + "."),
                     true);
    return;
  }
  PutBackUndoCopy(KeptFindingsPath(path));  // findings of another document are never shown
  submitWarned_ = false;
  ShowDocumentInFolder();
  ShowSubmitNotice("The last capture was undone: the document it replaced is back in the filing folder.",
                   false);
}

// Copies every line of the message area as the filer reads them, as text;
// the preview's rows are the sheet's own and stay out.
void MainWindow::CopyAllMessages() {
  PutClipboardText(GetElementText(*this, "idMsg", "idPv"));
  QToolTip::showText(QCursor::pos(), kCopiedText, browser);
}

void MainWindow::OpenFilingFolder() {
  QPointer<MainWindow> self(this);
  const std::string folder = captureState.filingFolder;
  OpenWithDesktop(folder, folder, [self, folder](const std::string& reason) {
    if (!self) return;
    try {
      self->ShowSubmitNotice("<font color=red>The filing folder could not be opened:</font> " +
                                 EscapeMarkup(reason + ". It is " + folder + "."),
                             true);
    } catch (const PageOperationFailed&) {
      self->PlayExclamation();
    }
  });
}

void MainWindow::ShowFilingDetails() {
  if (!details_) details_ = new FilingDetailsWindow(this, FilingDetailsPath());
  details_->show();
  details_->raise();
  details_->activateWindow();
}

namespace {

std::string LinesHtml(const std::vector<std::string>& lines) {
  std::string html;
  for (const std::string& line : lines) html += "<br>" + EscapeMarkup(line);
  return html;
}

}  // namespace

void MainWindow::ShowComparison() {
  if (Converting()) {
    PlayExclamation();
    return;
  }
  if (!capture.Comparison()) {
    ShowSubmitNotice(
        "Nothing to show: the last capture was not compared with last quarter's filing (its status paragraph "
        "says why).",
        true);
    return;
  }
  if (comparison_) comparison_->close();
  QPointer<MainWindow> self(this);
  comparison_ =
      new ComparisonWindow(this, capture.Comparison(), capture.ComparedWith(), [self](uint32_t entry) {
        if (!self) return;
        self->activateWindow();
        RunPageScriptLater(
            *self, "(function(){f13Preview.go(" + std::to_string(entry) + ");return [true];})()", nullptr);
      });
  comparison_->show();
  comparison_->raise();
  comparison_->activateWindow();
}

// The whole filing from the details, the document in the filing folder and
// the CCC, asked for each time; what would be refused writes nothing.
void MainWindow::SaveFiling() {
  if (Converting()) {
    PlayExclamation();
    return;
  }
  QFile file(QString::fromStdString(FilingDetailsPath()));
  if (!file.open(QIODevice::ReadOnly)) {
    ShowSubmitNotice(
        "There are no filing details yet: fill them in and save them, then save the filing again.", true);
    ShowFilingDetails();
    return;
  }
  FilingDetails details;
  const std::vector<std::string> problems = ReadFilingDetails(file.readAll().toStdString(), Today(), details);
  if (!problems.empty()) {
    ShowSubmitNotice("<font color=red>The filing details would be refused:</font>" + LinesHtml(problems),
                     true);
    ShowFilingDetails();
    return;
  }
  TableFigures table;
  if (details.type != ReportType::kNotice) {
    DocumentSummary summary;
    const Refusal problem = ReadDocumentSummary(captureState.filingFolder + kDocumentFileName, summary);
    if (!summary.exists || problem) {
      ShowSubmitNotice(std::string("There is no readable ") + kDocumentFileName +
                           " in the filing folder to attach: capture the table first.",
                       true);
      return;
    }
    table = {summary.entries, summary.valueTotal, summary.managersUsed};
  }
  const SubmissionFindings found = CheckSubmission(details, table, Today());
  if (!found.refusals.empty()) {
    ShowSubmitNotice("<font color=red>Nothing was saved: EDGAR would refuse the filing.</font>" +
                         LinesHtml(found.refusals),
                     true);
    return;
  }
  std::vector<std::string> checks = found.checks;
  if (captureState.lastHadLines)
    checks.insert(checks.begin(), "The last capture named errors or checks (below).");
  std::string findings =
      checks.empty() ? "" : "<br><font color=#c05000>Check before filing:</font>" + LinesHtml(checks);
  findings += LinesHtml(found.notes);
  std::string suggested = captureState.filingFolder + KeptSubmissionName(details);
  suggested.replace(suggested.size() - 4, 4, "-to-transmit.xml");
  QPointer<MainWindow> self(this);
  auto* window = new SaveFilingWindow(
      this, suggested, details.manager.cik,
      [self, details, table, findings](const std::string& path, const std::string& ccc, bool keep) {
        return self ? self->WriteFiling(details, table, findings, path, ccc, keep)
                    : std::string("The window is gone.");
      });
  window->show();
  window->raise();
  window->activateWindow();
}

std::string MainWindow::WriteFiling(const FilingDetails& details, const TableFigures& table,
                                    const std::string& findings, const std::string& path,
                                    const std::string& ccc, bool keep) {
  const std::string kept = captureState.filingFolder + KeptSubmissionName(details);
  if (QFileInfo(QString::fromStdString(path)).absoluteFilePath() ==
      QFileInfo(QString::fromStdString(kept)).absoluteFilePath())
    return "That is the name the copy without the CCC is kept by in the filing folder: choose another.";
  const std::string document =
      details.type == ReportType::kNotice ? "" : captureState.filingFolder + kDocumentFileName;
  const std::string end = SubmissionEnd(details);
  if (const FileFailure failure =
          WriteSubmission(path, SubmissionHead(details, table, ccc, Today()), document, end))
    return "Not saved: " + FailureReason(*failure, std::string(FileNameOf(path))) + ".";
  const FileFailure keptFailure =
      WriteSubmission(kept, SubmissionHead(details, table, kCccLeftOut, Today()), document, end);
  savedSubmission_ = path;
  try {
    ShowSubmitNotice(
        "Saved the filing as " + EscapeMarkup(path) +
            ": it holds your CCC and is readable by you alone. Press Submit, then transmit it on the "
            "\"Transmit XML Submission\" page." +
            (keptFailure ? "<br><font color=red>The copy without the CCC could not be kept:</font> " +
                               EscapeMarkup(FailureReason(*keptFailure, KeptSubmissionName(details)))
                         : "<br>A copy without the CCC is kept as " +
                               EscapeMarkup(KeptSubmissionName(details)) + ".") +
            findings,
        false);
  } catch (const PageOperationFailed&) {
    PlayExclamation();
  }
  if (!keep) {
    ForgetCcc(details.manager.cik);
    return "";
  }
  QPointer<MainWindow> self(this);
  KeepCcc(details.manager.cik, ccc, [self](const std::string& problem) {
    if (!self) return;
    // Said beside what the save said, without waiting for the page.
    const std::string said = problem.empty()
                                 ? "<p>The CCC is kept in the desktop's secret store.</p>"
                                 : "<p><font color=red>The CCC could not be kept in the desktop's "
                                   "secret store:</font> " +
                                       EscapeMarkup(problem) + "</p>";
    RunPageScriptLater(
        *self,
        "(function(){var s=document.getElementById('idSub');if(s)s.insertAdjacentHTML('beforeend'," +
            ScriptLiteral(said) + ");return [true];})()",
        nullptr);
  });
  return "";
}
