#include "app/capture.h"

#include <unistd.h>

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>
#include <new>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "app/desktop.h"
#include "app/preview_sender.h"
#include "form/dom.h"
#include "infotable/document_rows.h"
#include "infotable/document_summary.h"
#include "infotable/filing_details.h"
#include "infotable/kept_findings.h"
#include "infotable/row_error.h"
#include "infotable/submission.h"
#include "infotable/text_forms.h"
#include "storage/failure_reason.h"
#include "storage/scratch_folder.h"
#include "storage/undo_copy.h"
#include "workbook/workbook.h"

namespace {

// On the conversion's thread. Memory running out is an outcome of its own,
// never an exception.
Conversion ConvertCapture(std::string_view text, const std::string& path, const SecuritiesList* list,
                          const std::string& listNote, PreviousFiling& previous,
                          const WorkbookTable* workbook = nullptr) {
  // The document and findings this capture may replace stay for an undo.
  const std::string findingsPath = KeptFindingsPath(path);
  if (!path.empty()) {
    PrepareUndoCopy(path);
    PrepareUndoCopy(findingsPath);
  }
  if (!previous.read) ReadPreviousFiling(previous);
  ConversionRequest request;
  request.list = list;
  request.listNote = listNote;
  request.previous = previous.table.get();
  request.previousName = previous.name;
  request.uncomparedNote = previous.note;
  if (workbook) {
    request.sourceNote = workbook->note;
    request.sourceRefusals = workbook->refusedRows;
  }
  Conversion conversion = ConvertInfoTable(text, path, request);
  const bool written = conversion.outcome == ConversionOutcome::kWritten;
  // What it found goes with the document, for the next start; without it,
  // the next start says that nothing tells whether the document is right.
  if (written)
    WriteKeptFindings(path, !conversion.errors.empty(), conversion.previewStatus, conversion.statusGroups,
                      conversion.previewTable);
  if (!path.empty()) {
    SettleUndoCopy(path, written);
    SettleUndoCopy(findingsPath, written);
  }
  return conversion;
}

}  // namespace

void ReadPreviousFiling(PreviousFiling& previous) {
  // Other XML files may be in the folder: a few are tried, never every one.
  constexpr size_t kTried = 8;
  previous.read = true;
  std::string problem;
  for (size_t i = 0; i < previous.names.size() && i < kTried; ++i) {
    auto table = std::make_shared<FiledTable>();
    if (const Refusal refusal = ReadFiledTable(previous.folder + previous.names[i], false, *table)) {
      // The kept submission comes first: that it can't be read is said.
      if (i == 0 && previous.names[i].rfind("13f-", 0) == 0)
        problem = previous.names[i] + " " + *refusal + ". ";
      continue;
    }
    previous.table = std::move(table);
    previous.name = previous.names[i];
    return;
  }
  previous.note = problem + kNoPreviousFilingText;
}

KeptDocument ReadKeptDocument(CaptureState& state) {
  KeptDocument kept;
  kept.problem = ReadDocumentSummary(state.filingFolder + kDocumentFileName, kept.summary);
  state.countsKnown = !kept.problem;
  state.entryCount = kept.problem ? 0 : kept.summary.entries;
  state.valueTotal = kept.problem ? 0 : kept.summary.valueTotal;
  return kept;
}

std::string KeptDocumentText(const KeptDocument& kept, bool afterCapture) {
  const std::string name = kDocumentFileName;
  const DocumentSummary& summary = kept.summary;
  const Refusal& problem = kept.problem;
  if (!summary.exists)
    return afterCapture ? "There is no previous " + name + " in the filing folder."
                        : "There is no " + name + " in the filing folder yet.";
  if (problem)
    return EscapeMarkup(
        (afterCapture ? "The previous " + name + " is kept, but it " : name + " in the filing folder ") +
        *problem + ": capture the table again to replace it.");
  char written[32];
  std::strftime(written, sizeof written, "%Y-%m-%d %H:%M", std::localtime(&summary.writtenAt));
  const std::string holds = std::to_string(summary.entries) + (summary.entries == 1 ? " entry" : " entries") +
                            ", a total of " + GroupThousands(std::to_string(summary.valueTotal)) +
                            ", written " + written + ".";
  return afterCapture ? "The previous " + name + " is kept: " + holds
                      : name + " in the filing folder holds " + holds;
}

std::string NotWrittenMessage(const Conversion& conversion, const std::string& filingFolder) {
  std::string message;
  switch (conversion.outcome) {
    case ConversionOutcome::kNoTable:
      message = kNoValidDataMessage;
      if (!conversion.oneLine.empty())
        message += " It holds one line of text, not a table: \"" + OneLineShown(conversion.oneLine) +
                   "\". Copy the table's rows and capture again.";
      return EscapeMarkup(message);
    case ConversionOutcome::kNoOutputPath: return kNoFilingFolderMessage;
    case ConversionOutcome::kCannotCreate: message = kCannotCreateMessage; break;
    case ConversionOutcome::kCannotWrite: message = kCannotWriteMessage; break;
    case ConversionOutcome::kOutOfMemory: return kOutOfMemoryMessage;
    case ConversionOutcome::kWritten:
    case ConversionOutcome::kOnlyHeading:
    case ConversionOutcome::kEveryRowRefused: return "";
  }
  // Where and why: the folder and the reason.
  return EscapeMarkup(message) + "<br>" +
         EscapeMarkup(filingFolder + ": " + FailureReason(conversion.failureCause, kDocumentFileName) + ".");
}

// What a recheck found replaces the word that the document is unchecked;
// a document that can't be read back stays named unchecked.
void CaptureRunner::ShowRecheck(Conversion& conversion) {
  const std::string heading = std::move(recheckHeading_);
  recheckHeading_.clear();
  if (conversion.outcome != ConversionOutcome::kWritten) return;
  state_.findingsUnknown = false;
  state_.lastHadLines = !conversion.errors.empty();
  preview_.Show(heading + conversion.previewStatus, std::move(conversion.previewTable),
                std::move(conversion.statusGroups));
}

void CaptureRunner::ShowOutcome(Conversion& conversion) {
  // A small preview after a large one goes into a page of its own: the old
  // page's memory goes back to the system with its renderer process.
  if (preview_.ShownRows() > PreviewSender::kLargePreview &&
      conversion.previewTable.RowCount() <= PreviewSender::kLargePreview)
    renewPage_();  // a page that cannot be renewed goes on as it is
  if (!recheckHeading_.empty()) {
    ShowRecheck(conversion);
    return;
  }
  const std::shared_ptr<OpenedWorkbook> opened = std::move(opened_);
  if (opened && opened->refusal) {
    ShowNotWritten(EscapeMarkup(*opened->refusal));
    // Two sheets that hold a table: the filer is asked which, once this is shown.
    if (!opened->table.sheetsWithTables.empty() && sheetAsked)
      QTimer::singleShot(0, qApp, [asked = sheetAsked, opened] {
        asked(opened->path, *opened->refusal, opened->table.sheetsWithTables);
      });
    else
      PlayExclamation();
    return;
  }
  // Unless written, the previous document stays: the counts are read from it.
  state_.lastHadLines = !conversion.errors.empty();
  switch (conversion.outcome) {
    case ConversionOutcome::kNoTable:
    case ConversionOutcome::kNoOutputPath:
    case ConversionOutcome::kCannotCreate:
    case ConversionOutcome::kCannotWrite:
      ShowNotWritten(NotWrittenMessage(conversion, state_.filingFolder));
      return;
    case ConversionOutcome::kOutOfMemory:
      ReplaceElementContent(window_, "idMsg",
                            std::string("<font color=red>") + kOutOfMemoryMessage + "</font><br>" +
                                KeptDocumentText(ReadKeptDocument(state_), true));
      ShowOutOfMemory();
      return;
    case ConversionOutcome::kOnlyHeading:
    case ConversionOutcome::kEveryRowRefused:
      ReadKeptDocument(state_);
      preview_.Show(conversion.previewStatus, std::move(conversion.previewTable),
                    std::move(conversion.statusGroups));
      PlayExclamation();
      return;
    case ConversionOutcome::kWritten:
      comparison_ = conversion.comparison
                        ? std::make_shared<QuarterComparison>(std::move(*conversion.comparison))
                        : nullptr;
      comparedWith_ = previous_ && previous_->table ? previous_->name : "";
      state_.findingsUnknown = false;
      state_.entryCount = conversion.entryCount;
      state_.valueTotal = conversion.valueTotal;
      state_.countsKnown = true;
      preview_.Show(conversion.previewStatus, std::move(conversion.previewTable),
                    std::move(conversion.statusGroups));
      return;
  }
}

void CaptureRunner::ShowNotWritten(const std::string& message) {
  ShowMessage(window_, message, KeptDocumentText(ReadKeptDocument(state_), true));
}

// On the window's thread, once the conversion is done, and never inside a
// wait for the page: a page operation there would fail, and the outcome
// would be lost with it.
void CaptureRunner::DeliverConversion(std::weak_ptr<CaptureRunner*> alive,
                                      std::shared_ptr<Conversion> conversion) {
  if (ScriptWaitActive()) {
    QTimer::singleShot(5, qApp, [alive, conversion] { DeliverConversion(alive, conversion); });
    return;
  }
  if (const auto self = alive.lock()) (*self)->Converted(*conversion);
}

void CaptureRunner::Converted(Conversion& conversion) {
  Finish();
  QApplication::restoreOverrideCursor();
  const std::function<void()> shown = std::move(whenShown_);
  try {
    ShowOutcome(conversion);
  } catch (const std::bad_alloc&) {
    // The document is complete and the counts are its own; only the page
    // could not be shown.
    ShowOutOfMemory();
  } catch (const PageOperationFailed&) {
    // The page is gone; its restart shows the counts.
    asked_ = false;
    return;
  }
  if (shown) shown();
  if (asked_) {
    asked_ = false;
    Start(shown);
  }
}

std::shared_ptr<PreviousFiling> CaptureRunner::FindPrevious() {
  auto previous = std::make_shared<PreviousFiling>();
  previous->folder = state_.filingFolder;
  if (previous->folder.empty()) {
    previous->read = true;
    previous->note = kNoPreviousFilingText;
    return previous;
  }
  // The quarter being filed: the details' period, or the last quarter's end.
  std::string period = LastQuarterEnd(Today());
  QFile file(QString::fromStdString(FilingDetailsPath()));
  FilingDetails details;
  if (file.open(QIODevice::ReadOnly) &&
      ReadFilingDetails(file.readAll().toStdString(), Today(), details).empty())
    period = details.period;
  std::vector<FolderFile> files;
  for (const QFileInfo& info :
       QDir(QString::fromStdString(previous->folder)).entryInfoList({"*.xml"}, QDir::Files))
    files.push_back({info.fileName().toStdString(), info.lastModified().toMSecsSinceEpoch()});
  previous->names = PreviousFilingCandidates(files, period);
  for (const std::string& name : previous->names) {
    const QFileInfo info(QString::fromStdString(previous->folder + name));
    previous->signature += name + "\t" + std::to_string(info.size()) + "\t" +
                           std::to_string(info.lastModified().toMSecsSinceEpoch()) + "\n";
  }
  if (previous_ && previous_->read && previous_->folder == previous->folder &&
      previous_->signature == previous->signature)
    return previous_;
  return previous_ = previous;
}

std::shared_ptr<const SecuritiesList> CaptureRunner::FindList(std::string& note) {
  // Every list file found, the newest quarter's first; of two alike, the
  // filing folder's.
  struct Candidate {
    std::string quarter, path, name;
  };
  std::vector<Candidate> found;
  for (const QString& folder : {QString::fromStdString(state_.filingFolder),
                                QStandardPaths::writableLocation(QStandardPaths::DownloadLocation)}) {
    if (folder.isEmpty()) continue;
    for (const QFileInfo& file : QDir(folder).entryInfoList({"13flist*.txt"}, QDir::Files)) {
      const std::string name = file.fileName().toStdString();
      if (const std::optional<std::string> quarter = ListQuarter(name))
        found.push_back({*quarter, file.absoluteFilePath().toStdString(), name});
    }
  }
  std::stable_sort(found.begin(), found.end(),
                   [](const Candidate& a, const Candidate& b) { return a.quarter > b.quarter; });
  // The newest good one is used; a damaged newer one is named beside it, so
  // that a cut download never passes for a check.
  std::string damaged;
  for (const Candidate& candidate : found) {
    const QFileInfo info(QString::fromStdString(candidate.path));
    const int64_t stamp = info.lastModified().toMSecsSinceEpoch() ^ info.size();
    if (!(list_ && listPath_ == candidate.path && listStamp_ == stamp)) {
      auto list = std::make_shared<SecuritiesList>();
      if (const Refusal refusal = LoadSecuritiesList(candidate.path, *list)) {
        damaged += (damaged.empty() ? "" : " ") + candidate.path + " " + *refusal + ".";
        continue;
      }
      list_ = std::move(list);
      listPath_ = candidate.path;
      listStamp_ = stamp;
    }
    note = damaged;
    return list_;
  }
  if (!damaged.empty()) {
    note = damaged +
           " The rows were not checked against the list: save its text file from the SEC's page "
           "again.";
    return nullptr;
  }
  note =
      "The rows were not checked against the SEC's Official List of Section 13(f) Securities: save its text "
      "file (such as 13flist2026q2.txt) from the SEC's page into the filing folder or your downloads folder.";
  return nullptr;
}

void CaptureRunner::Finish() {
  if (converter_.joinable()) converter_.join();
  running_ = false;
}

void CaptureRunner::Start(std::function<void()> shown) {
  if (running_) {
    asked_ = true;
    return;
  }
  std::optional<QByteArray> copied = ClipboardBytes();
  if (!copied && ClipboardHoldsData()) {
    ShowNotWritten(kClipboardNoTextMessage);
    if (shown) shown();
    return;
  }
  if (!copied || copied->isEmpty()) {
    ShowNotWritten(kClipboardEmptyMessage);
    if (shown) shown();
    return;
  }
  auto text = std::make_shared<QByteArray>(std::move(*copied));
  const Setting setting = Begin();
  Run(
      [text, setting] {
        Conversion conversion =
            ConvertCapture(std::string_view(text->constData(), static_cast<size_t>(text->size())),
                           setting.path, setting.list.get(), setting.listNote, *setting.previous);
        // The text is not needed again, and a large one is better given back now.
        *text = QByteArray();
        return conversion;
      },
      std::move(shown));
}

CaptureRunner::Setting CaptureRunner::Begin() {
  // At once: the previous results no longer describe what is coming.
  ReplaceElementContent(window_, "idMsg", kConvertingText);
  Setting setting;
  setting.path = state_.filingFolder.empty() ? "" : state_.filingFolder + kDocumentFileName;
  setting.list = FindList(setting.listNote);
  setting.previous = FindPrevious();
  return setting;
}

void CaptureRunner::OpenWorkbook(const std::string& path, const std::string& sheet,
                                 std::function<void()> shown) {
  if (running_) return;
  const Setting setting = Begin();
  auto opened = std::make_shared<OpenedWorkbook>();
  opened->path = path;
  opened_ = opened;
  Run(
      [opened, sheet, setting] {
        Workbook workbook;
        const std::string name = QFileInfo(QString::fromStdString(opened->path)).fileName().toStdString();
        Refusal refusal = ReadWorkbook(opened->path, workbook);
        if (!refusal) refusal = FindWorkbookTable(workbook, name, sheet, opened->table);
        if (refusal) {
          opened->refusal = name + " " + *refusal + ".";
          return Conversion();
        }
        workbook = Workbook();
        const std::string text = std::move(opened->table.text);
        return ConvertCapture(text, setting.path, setting.list.get(), setting.listNote, *setting.previous,
                              &opened->table);
      },
      std::move(shown));
}

void CaptureRunner::Recheck(const std::string& heading, std::function<void()> shown) {
  if (running_ || state_.filingFolder.empty()) return;
  recheckHeading_ = heading;
  const std::string path = state_.filingFolder + kDocumentFileName;
  std::string listNote;
  std::shared_ptr<const SecuritiesList> list = FindList(listNote);
  Run(
      [path, list, listNote] {
        std::string rows;
        if (ReadDocumentRows(path, rows)) return Conversion();
        // Converted into a folder of its own: the document stays as it is.
        const std::string folder = MakeScratchFolder("form13f-recheck");
        if (folder.empty()) return Conversion();
        const std::string copy = folder + "/" + kDocumentFileName;
        Conversion conversion =
            ConvertInfoTable(rows, copy, PreviewKind::kDrawn, list.get(), listNote, 0, FileUse::kScratch);
        std::remove(copy.c_str());
        rmdir(folder.c_str());
        return conversion;
      },
      std::move(shown));
}

// The conversion on a thread of its own. The runner waits for the thread
// before it goes; its answer is dropped if the runner is gone by then.
void CaptureRunner::Run(std::function<Conversion()> convert, std::function<void()> shown) {
  running_ = true;
  whenShown_ = std::move(shown);
  QApplication::setOverrideCursor(Qt::WaitCursor);
  auto work = [alive = std::weak_ptr<CaptureRunner*>(self_), convert = std::move(convert)] {
    auto conversion = std::make_shared<Conversion>(convert());
    QMetaObject::invokeMethod(
        qApp, [alive, conversion] { DeliverConversion(alive, conversion); }, Qt::QueuedConnection);
  };
  try {
    converter_ = std::thread(work);
  } catch (const std::system_error&) {
    // No thread to be had: the window waits for the conversion instead.
    work();
  }
}
