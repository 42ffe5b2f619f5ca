// The capture driver behind the Capture button: the clipboard's information
// table becomes tev_13f.xml in the filing folder and the preview on the page.
// The conversion runs on a thread of its own, so that the window answers
// while a large table converts.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "form/page_host.h"
#include "infotable/conversion.h"
#include "infotable/document_summary.h"
#include "infotable/edgar_limits.h"
#include "infotable/previous_filing.h"
#include "infotable/quarter_comparison.h"
#include "infotable/securities_list.h"
#include "workbook/workbook_table.h"

class PreviewSender;

constexpr const char* kClipboardEmptyMessage = "The clipboard is empty.";
constexpr const char* kClipboardNoTextMessage =
    "The clipboard holds no text (an image or other data). Copy the table's rows and capture again.";
constexpr const char* kNoValidDataMessage = "The clipboard does not contain valid data.";
constexpr const char* kNoFilingFolderMessage = "Filing folder not specified.";
constexpr const char* kCannotCreateMessage = "Could not create file in the filing folder.";
constexpr const char* kCannotWriteMessage = "Could not write the file in the filing folder.";
constexpr const char* kNoPreviousFilingText =
    "Not compared with last quarter's filing: none is in the filing folder (Save filing keeps each "
    "quarter's, "
    "or put last quarter's information table XML there).";

// What the window knows of the document in the filing folder. It lives as
// long as the main window.
struct CaptureState {
  std::string filingFolder;  // ends in "/"; empty until set at start-up
  uint32_t entryCount = 0;   // of the document in the filing folder
  uint64_t valueTotal = 0;
  bool countsKnown = true;    // false: the document there could not be read
  bool lastHadLines = false;  // the last capture's status named errors or checks
  // The document there was not written by a capture whose findings are
  // kept: nothing tells whether it is right.
  bool findingsUnknown = false;
};

// Why a capture wrote nothing, in the window's words: the message, then the
// folder and the reason. HTML.
std::string NotWrittenMessage(const Conversion& conversion, const std::string& filingFolder);

// The document in the filing folder as last read.
struct KeptDocument {
  DocumentSummary summary;
  Refusal problem;  // why it could not be read
};

// Reads the document in the filing folder and sets the state's counts to its own.
KeptDocument ReadKeptDocument(CaptureState& state);

// What the document holds, in HTML: as the previous one kept by a capture
// that wrote nothing, or, at start-up, as the one there.
std::string KeptDocumentText(const KeptDocument& kept, bool afterCapture);

// Last quarter's filing as captures compare with it: looked for in the
// filing folder at each capture, read on the conversion's thread, and read
// again only when the files looked at changed.
struct PreviousFiling {
  std::string folder;              // ends in "/"
  std::vector<std::string> names;  // the files that may be it, the likeliest first
  std::string signature;           // their names, sizes and times
  bool read = false;
  std::shared_ptr<const FiledTable> table;  // null when none could be used
  std::string name;                         // the file used
  std::string note;                         // the status paragraph's line when none is used
};

// The first of the candidates that reads as a 13F information table, or
// the line that says why none is used. On the conversion's thread.
void ReadPreviousFiling(PreviousFiling& previous);

// Runs the captures of one window, one at a time.
class CaptureRunner {
 public:
  // `renewPage` writes the window's page anew, to give a large preview's
  // memory back; false when it could not.
  // Shows its outcome on `window`'s page.
  CaptureRunner(PageHost& window, CaptureState& state, PreviewSender& preview,
                std::function<bool()> renewPage)
      : window_(window), state_(state), preview_(preview), renewPage_(std::move(renewPage)) {}
  CaptureRunner(const CaptureRunner&) = delete;
  CaptureRunner& operator=(const CaptureRunner&) = delete;
  ~CaptureRunner() { Finish(); }

  // Starts one capture; `shown` runs once its outcome is on the page. A
  // capture that stops before the file is created shows its message and
  // leaves the previous file, entry count and value total alone. Asked for
  // while one runs, the capture follows when that one is shown, with the
  // clipboard as it is then.
  void Start(std::function<void()> shown);

  // Checks the document in the filing folder as it stands, read back into
  // rows and converted beside it (the document itself is not touched), and
  // shows what was found under `heading` (HTML); for a document whose
  // findings were not kept. Sets the state's verdict; the counts stay.
  void Recheck(const std::string& heading, std::function<void()> shown);

  // Converts the table of the workbook at `path` (.xlsx, .ods) as a capture
  // converts the clipboard's, from sheet `sheet` or, when it is empty, the
  // one that holds the table. A file that can't be read is named with why,
  // the document left as it was.
  void OpenWorkbook(const std::string& path, const std::string& sheet, std::function<void()> shown);
  // Told, once the refusal is shown, of a workbook whose table is on more
  // than one sheet: its path, why, and the sheets' names.
  std::function<void(const std::string&, const std::string&, const std::vector<std::string>&)> sheetAsked;

  bool Running() const { return running_; }

  // What the last capture found against last quarter's filing, and the
  // file's name; null when it was not compared.
  std::shared_ptr<const QuarterComparison> Comparison() const { return comparison_; }
  const std::string& ComparedWith() const { return comparedWith_; }

  // The text the message line shows while a table converts.
  static constexpr const char* kConvertingText =
      "<p><b>Converting</b> the copied table&hellip; The previous results are cleared; the counts, the copy "
      "fields and Submit wait for the new document.</p>";

  // Waits for a running conversion to finish, as the program ends: its
  // document is then complete or never begun.
  void Finish();

 private:
  static void DeliverConversion(std::weak_ptr<CaptureRunner*> alive, std::shared_ptr<Conversion> conversion);
  void Converted(Conversion& conversion);
  // The newest list of 13(f) securities in the filing folder or the
  // downloads folder, read again only when its file changed; null, with the
  // status paragraph's line in `note`, when there is none to use.
  std::shared_ptr<const SecuritiesList> FindList(std::string& note);
  // Last quarter's filing for a capture now: the one read before while the
  // files looked at are unchanged.
  std::shared_ptr<PreviousFiling> FindPrevious();
  // What a capture converts with, looked up on the window's thread as it
  // begins, the message line saying it converts.
  struct Setting {
    std::string path;  // of the document; empty without a filing folder
    std::shared_ptr<const SecuritiesList> list;
    std::string listNote;
    std::shared_ptr<PreviousFiling> previous;
  };
  Setting Begin();
  void ShowOutcome(Conversion& conversion);
  void ShowRecheck(Conversion& conversion);
  void Run(std::function<Conversion()> convert, std::function<void()> shown);

  // The message line's words for a capture that wrote nothing, with what
  // the kept document holds under them.
  void ShowNotWritten(const std::string& message);

  PageHost& window_;
  CaptureState& state_;
  PreviewSender& preview_;
  std::function<bool()> renewPage_;
  std::thread converter_;
  bool running_ = false;
  bool asked_ = false;          // Capture was pressed again while a conversion ran
  std::string recheckHeading_;  // while a recheck runs: the heading of what it finds
  std::function<void()> whenShown_;
  std::shared_ptr<const SecuritiesList> list_;  // as last read, and from which file
  std::string listPath_;
  int64_t listStamp_ = 0;
  // A workbook being read: its path, its table, or why it can't be read.
  struct OpenedWorkbook {
    std::string path;
    WorkbookTable table;
    Refusal refusal;
  };
  std::shared_ptr<OpenedWorkbook> opened_;
  std::shared_ptr<PreviousFiling> previous_;
  std::shared_ptr<const QuarterComparison> comparison_;
  std::string comparedWith_;
  std::shared_ptr<CaptureRunner*> self_ =
      std::make_shared<CaptureRunner*>(this);  // for the answer's way back
};
