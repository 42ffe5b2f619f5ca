#include "infotable/conversion.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <new>

#ifdef __linux__
#include <sys/mman.h>
#endif

#include "infotable/clipboard_text.h"
#include "infotable/document.h"
#include "infotable/edgar_checks.h"
#include "infotable/edgar_limits.h"
#include "infotable/filing_checks.h"
#include "infotable/preview.h"
#include "infotable/row.h"
#include "infotable/table_plan.h"
#include "infotable/text_forms.h"
#include "storage/file_replacement.h"

namespace {

constexpr uint64_t kLargest = std::numeric_limits<uint64_t>::max();

uint64_t SaturatingAdd(uint64_t a, uint64_t b) { return a > kLargest - b ? kLargest : a + b; }

// Invalid-character lines per row; past them one line tells how many more.
constexpr size_t kInvalidCharacterLinesPerRow = 10;

Conversion Failure(ConversionOutcome outcome, const char* message, int cause = 0) {
  Conversion conversion;
  conversion.outcome = outcome;
  conversion.failureMessage = message;
  conversion.failureCause = cause;
  return conversion;
}

// Reserves `size` bytes for a large text about to be written. The system is
// asked to back it with huge pages: touching megabytes of fresh memory one
// small page at a time costs more than writing them.
void ReserveLarge(std::string& text, size_t size) {
  text.reserve(size);
#if defined(__linux__) && defined(MADV_HUGEPAGE)
  constexpr uintptr_t kHugePage = 2 << 20;
  const uintptr_t begin = (reinterpret_cast<uintptr_t>(text.data()) + kHugePage - 1) & ~(kHugePage - 1);
  const uintptr_t end = (reinterpret_cast<uintptr_t>(text.data()) + text.capacity()) & ~(kHugePage - 1);
  if (begin < end) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#endif
}

// The error lines of the preview beside the list of errors; the rows to
// check before filing stand apart from the errors.
struct ErrorLines {
  Conversion& conversion;
  bool buildList;
  std::string list;    // HTML, only when the preview is built
  std::string checks;  // likewise

  void Add(RowError error) {
    if (buildList)
      AppendErrorLine(error.kind == RowErrorKind::kCheckBeforeFiling ? checks : list, error.kind, error.row,
                      error.entry, RowErrorText(error));
    conversion.errors.push_back(std::move(error));
  }
};

// The document's entries, gathered into pieces of about kPiece bytes so that
// the stream writes whole blocks straight from them. Every kPiecesPerSync
// pieces the disk is set to work on what is written, so that the final sync
// has little left to wait for.
struct DocumentWriter {
  static constexpr size_t kPiece = 1 << 16;
  static constexpr size_t kPiecesPerSync = 64;

  FileReplacement& document;
  std::string pending = FormatDocumentHead();
  size_t piecesWritten = 0;
  bool failed = false;

  void Write() {
    if (!failed && WriteText(document.stream(), pending) < 0) failed = true;
    pending.clear();
  }
  void Add(const InfoTableRow& row) {
    AppendInfoTableEntry(pending, row);
    if (pending.size() < kPiece) return;
    Write();
    if (++piecesWritten % kPiecesPerSync == 0) document.SyncSoFar();
  }
  // False with the cause when the document could not be completed.
  bool Finish(int& cause) {
    pending += FormatDocumentEnd();
    Write();
    if (failed) {
      cause = StreamFailureCause(document.stream());
      return false;
    }
    if (!document.Commit()) {
      cause = document.failureCause();
      return false;
    }
    return true;
  }
};

// The preview being built, when it is asked for.
struct PreviewBuilder {
  bool wanted;
  PreviewTable table;

  void Begin(size_t textSize, size_t lines) {
    if (!wanted) return;
    // A row's cells are about as long as its line.
    ReserveLarge(table.cells, textSize + 16 * lines);
    table.rowStarts.reserve(lines + 1);
  }
  void Add(uint32_t entryNumber, uint32_t rowNumber, const InfoTableRow& row) {
    if (wanted) AppendPreviewRow(table, entryNumber, rowNumber, row);
  }
};

// What a copy of one line holds, such as a copy field clicked by mistake.
std::string OneLineText(std::string_view line) {
  constexpr size_t kShown = 80;
  std::string shown = ShowCells(line);
  if (CountCharacters(shown) > kShown) shown = std::string(CutCharacters(shown, kShown)) + "\xE2\x80\xA6";
  for (char& c : shown)
    if (c == '\t') c = ' ';
  return " It holds one line of text, not a table: \"" + shown +
         "\". Copy the table's rows and capture again.";
}

// A heading line is no entry; one whose value column gives thousands is reported.
void ReportHeading(const TablePlan& plan, size_t line, uint32_t rowNumber, ErrorLines& errors) {
  for (const auto& [at, caption] : plan.thousandsCaptions)
    if (at == line)
      errors.Add({RowErrorKind::kNotAcceptedByEdgar, rowNumber, "", ValueInThousandsMessage(caption)});
}

// What the reading of the copy could only take to be so.
void ReportReadingChecks(const NormalizedText& normalized, ErrorLines& errors) {
  for (uint32_t row : normalized.continuedFirstCells)
    errors.Add(
        {RowErrorKind::kCheckBeforeFiling, row, "",
         "the first cell goes on in the next line of the copy (a line break inside the cell), so the two "
         "lines are read as one row; check the issuer's name"});
  if (normalized.unclosedQuoteRow == 0) return;
  errors.Add({RowErrorKind::kCheckBeforeFiling, normalized.unclosedQuoteRow, "",
              "a double quote opens a cell that no quote closes, so the cell and the rows after it are read "
              "as they stand, the quote included"});
}

// Reports each invalid character of a line, and gives the line as EDGAR can
// take it: in its plain ASCII form, what has none left out. `plain` holds it
// when it had to change.
std::string_view ReportInvalidCharacters(std::string_view line, uint32_t rowNumber, ErrorLines& errors,
                                         std::string& plain) {
  const size_t invalid = CountInvalidCharacters(line);
  if (invalid == 0) return line;
  const std::string shown = ShowCells(LeaveOutNonXmlCharacters(line));
  for (size_t n = 0; n < std::min(invalid, kInvalidCharacterLinesPerRow); ++n)
    errors.Add({RowErrorKind::kInvalidCharacter, rowNumber, shown, ""});
  if (invalid > kInvalidCharacterLinesPerRow)
    errors.Add(
        {RowErrorKind::kInvalidCharacter, rowNumber, "",
         std::to_string(invalid - kInvalidCharacterLinesPerRow) + " more invalid characters in this row"});
  plain = PlainAsciiLine(line);
  return plain;
}

// Reads a line by its plan into `row`; gives why it is refused, or empty.
std::string ReadPlannedLine(const TablePlan& plan, size_t index, std::string_view line, Cells& cells,
                            InfoTableRow& row) {
  if (plan.lineLayout[index] == kFilledCells) return ReadFilledCells(line, row);
  SplitFields(line, '\t', cells);
  return ReadRow(cells, plan.layouts[plan.lineLayout[index]], row);
}

// What EDGAR would say of an accepted row, as the entry it is to become.
void CheckAcceptedRow(const InfoTableRow& row, uint32_t rowNumber, uint32_t entriesBefore,
                      ErrorLines& errors) {
  for (std::string& problem : CheckEdgarRules(row))
    errors.Add({RowErrorKind::kNotAcceptedByEdgar, rowNumber, "", std::move(problem), entriesBefore + 1});
  if (entriesBefore == kEdgarEntryLimit)
    errors.Add(
        {RowErrorKind::kNotAcceptedByEdgar, rowNumber, "", EdgarEntryLimitMessage(), entriesBefore + 1});
}

void CheckWholeTable(const Conversion& conversion, ErrorLines& errors) {
  for (std::string& problem : CheckEdgarTableRules(conversion.valueTotal))
    errors.Add({RowErrorKind::kNotAcceptedByEdgar, 0, "", std::move(problem)});
}

// Adds what the checks found; those of a row written as `entry` lead to it.
void AddAll(std::vector<RowError>& found, ErrorLines& errors, uint32_t entry = 0) {
  for (RowError& error : found) {
    if (error.row != 0) error.entry = entry;
    errors.Add(std::move(error));
  }
  found.clear();
}

Conversion Convert(std::string_view text, const std::string& outputPath, bool buildPreview) {
  const NormalizedText normalized = NormalizeClipboardText(text);
  const TablePlan plan = PlanTable(normalized);
  if (!IsTable(normalized, plan)) {
    Conversion failure = Failure(ConversionOutcome::kNotWritten, kNoValidDataMessage);
    if (normalized.lines.size() == 1) failure.failureMessage += OneLineText(normalized.lines[0]);
    return failure;
  }
  if (outputPath.empty()) return Failure(ConversionOutcome::kNotWritten, kNoFilingFolderMessage);
  FileReplacement document;
  if (!document.Open(outputPath)) {
    if (document.failureCause() == ENOMEM)
      return Failure(ConversionOutcome::kOutOfMemory, kOutOfMemoryMessage);
    return Failure(ConversionOutcome::kNotWritten, kCannotCreateMessage, document.failureCause());
  }

  Conversion conversion;
  ErrorLines errors{conversion, buildPreview, {}, {}};
  ReportReadingChecks(normalized, errors);
  DocumentWriter writer{document};
  writer.pending.reserve(DocumentWriter::kPiece + 4096);
  PreviewBuilder preview{buildPreview, {}};
  preview.table.withFigi = plan.showsFigi;
  preview.Begin(text.size(), plan.lines.size());

  FilingChecks checks;
  std::vector<RowError> found;
  InfoTableRow row;
  Cells cells;
  std::string plain;
  for (size_t i = 0; i < plan.lines.size() && !writer.failed; ++i) {
    const uint32_t rowNumber = normalized.rows[i];
    if (plan.lineLayout[i] == kHeadingLine) {
      ReportHeading(plan, i, rowNumber, errors);
      continue;
    }
    const std::string_view line = ReportInvalidCharacters(plan.lines[i], rowNumber, errors, plain);
    std::string refusal = ReadPlannedLine(plan, i, line, cells, row);
    if (!refusal.empty()) {
      errors.Add({RowErrorKind::kInvalidFields, rowNumber, ShowCells(line), std::move(refusal)});
      ++conversion.refusedRows;
      continue;
    }
    CheckAcceptedRow(row, rowNumber, conversion.entryCount, errors);
    checks.CheckRow(row, rowNumber, found);
    AddAll(found, errors, conversion.entryCount + 1);
    preview.Add(conversion.entryCount + 1, rowNumber, row);
    writer.Add(row);
    conversion.valueTotal = SaturatingAdd(conversion.valueTotal, ParseValue(row[kValue]));
    ++conversion.entryCount;
  }
  if (conversion.entryCount == 0) {
    // A capture with nothing to file must not put an empty document in the
    // place of the last good one: the new one is never committed.
    conversion.outcome = ConversionOutcome::kNothingToFile;
    conversion.failureMessage = NothingToFileText(conversion.refusedRows == 0);
  } else if (int cause = 0; !writer.Finish(cause)) {
    return Failure(ConversionOutcome::kWriteFailed, kCannotWriteMessage, cause);
  } else {
    conversion.outcome = ConversionOutcome::kWritten;
    CheckWholeTable(conversion, errors);
    checks.CheckTable(!plan.thousandsCaptions.empty(), found);
    AddAll(found, errors);
    conversion.managersUsed = checks.ManagersUsed();
  }
  if (buildPreview) {
    conversion.previewStatus = StatusParagraph(errors.list, errors.checks, conversion.refusedRows,
                                               conversion.failureMessage, conversion.managersUsed);
    conversion.previewTable = std::move(preview.table);
  }
  return conversion;
}

}  // namespace

std::string PlainFailureReason(int cause) {
  switch (cause) {
    case ENOENT:
    case ENOTDIR: return "the folder does not exist";
    case EACCES:
    case EPERM:
    case EROFS: return std::string("the folder or ") + kDocumentFileName + " is read-only";
    case EWOULDBLOCK: return std::string("another program is writing ") + kDocumentFileName;
    case ENOSPC:
    case EDQUOT: return "the disk is full";
    case EISDIR:
    case EINVAL: return std::string(kDocumentFileName) + " there is not a file";
    default: return std::strerror(cause);
  }
}

std::string PreviewHtml(const Conversion& conversion) {
  return conversion.previewStatus + PreviewTableHtml(conversion.previewTable);
}

Conversion ConvertInfoTable(std::string_view text, const std::string& outputPath, bool buildPreview) {
  try {
    return Convert(text, outputPath, buildPreview);
  } catch (const std::bad_alloc&) {
    // Everything the conversion held is released by now, and the old
    // document was never touched.
    return Failure(ConversionOutcome::kOutOfMemory, kOutOfMemoryMessage);
  }
}
