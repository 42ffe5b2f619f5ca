// One capture, step by step: the table text planned, read, checked and
// written as the XML document at a path, with the preview, the row errors,
// the entry count and the value total. The window adds the clipboard and the
// page, form13f-convert adds files; each words for itself why a document was
// not written.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "infotable/preview.h"
#include "infotable/previous_filing.h"
#include "infotable/quarter_comparison.h"
#include "infotable/row_error.h"
#include "infotable/securities_list.h"
#include "storage/file_replacement.h"

// What became of the document. Unless written, the old one is exactly as it was.
enum class ConversionOutcome {
  kWritten,          // the new document is complete on the disk, in the old one's place
  kOnlyHeading,      // nothing to file: the table is only a heading
  kEveryRowRefused,  // nothing to file: every row was refused
  kNoTable,          // no line is wide enough and none is a heading; `oneLine` tells a lone line
  kNoOutputPath,     // no filing folder is set
  kCannotCreate,     // the new document could not be begun: `failureCause`
  kCannotWrite,      // nor completed, and nothing of it is left: `failureCause`
  kOutOfMemory,      // nothing of the new document is left
};

// No row could be filed: the preview and its lines say why.
inline bool NothingToFile(ConversionOutcome outcome) {
  return outcome == ConversionOutcome::kOnlyHeading || outcome == ConversionOutcome::kEveryRowRefused;
}

struct Conversion {
  ConversionOutcome outcome = ConversionOutcome::kNoTable;
  int failureCause = 0;  // the errno behind a failed create or write
  std::string oneLine;   // with kNoTable: the text's only line as ShowCells shows it, or empty
  // The preview, empty unless written (or nothing to file) and asked for: the
  // status paragraph in HTML, and the table as data.
  std::string previewStatus;
  PreviewTable previewTable;
  std::vector<std::string>
      statusGroups;  // the lines of the status's groups, as ErrorList::TakeGroups gives them
  uint32_t entryCount = 0;
  uint32_t refusedRows = 0;                 // rows left out of the document
  uint32_t rowsOnList = 0;                  // written rows the list of 13(f) securities holds
  uint64_t valueTotal = 0;                  // saturates at the largest 64-bit value
  std::vector<unsigned long> managersUsed;  // the other managers' numbers the table names, in order
  std::vector<RowError> errors;
  // Against last quarter's filing, when one was given; its checks are among
  // `errors` (and no longer its own).
  std::optional<QuarterComparison> comparison;
  std::string document;  // the document itself, when asked for in memory instead of a file
};

// What preview a conversion builds beside the document.
enum class PreviewKind {
  kNone,
  kSingleTable,  // the status paragraph and the rows, for a page of one table
  kDrawn,        // also the widest rows, for a page that draws only the rows in view
};

// Converts `text` into the document at `outputPath`, which is replaced only by
// a complete new document. An empty path means that no filing folder is set.
// The preview and its error list are built only when asked for.
// With `list`, every row is checked against the SEC's list of 13(f)
// securities. `listNote` is what the status paragraph says of the lists
// looked for: beside the one used (a damaged newer one), or, without one,
// why the rows were not checked, and then it never says "No errors." as if
// they had been. Empty: no list was asked for.
// Blocks of rows are converted on `threads` threads, 0 for one per core; the
// result is the same for any count. A document written as scratch (to be
// read back and removed) is never synced.
Conversion ConvertInfoTable(std::string_view text, const std::string& outputPath,
                            PreviewKind preview = PreviewKind::kDrawn, const SecuritiesList* list = nullptr,
                            const std::string& listNote = "", unsigned threads = 0,
                            FileUse use = FileUse::kShared);

// A conversion with everything it can be asked for.
struct ConversionRequest {
  PreviewKind preview = PreviewKind::kDrawn;
  const SecuritiesList* list = nullptr;
  std::string listNote;
  unsigned threads = 0;
  FileUse use = FileUse::kShared;
  // Last quarter's filing, which the table is compared with; the status
  // paragraph names it by `previousName`.
  const FiledTable* previous = nullptr;
  std::string previousName;
  std::string uncomparedNote;  // the status paragraph's line when there is no previous filing
  // The document made in memory, into `document`, for a submission that
  // attaches it, and no file written: the output path then only names it.
  bool inMemory = false;
  // What the table's source says of it (the workbook and sheet it was read
  // from), the status paragraph's first line.
  std::string sourceNote;
  // Rows the source refuses before they are read (a cell holding a date or a
  // formula's error): the sheet row and why, in row order.
  std::vector<std::pair<uint32_t, std::string>> sourceRefusals;
};
Conversion ConvertInfoTable(std::string_view text, const std::string& outputPath,
                            const ConversionRequest& request);

// "Compared with last quarter's filing, 13f-hr-2026q2.xml: 12 new holdings, 3 closed."
std::string ComparedText(const QuarterComparison& comparison, const FiledTable& previous,
                         const std::string& name);

// "Checked against ... 950 of 1,000 rows are on it."
std::string ListCheckedText(const SecuritiesList& list, uint32_t rowsOnList, uint32_t entries);

// The whole preview in HTML: the status paragraph and the single table.
std::string PreviewHtml(const Conversion& conversion);
