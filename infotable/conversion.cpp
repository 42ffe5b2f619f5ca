#include "infotable/conversion.h"

#include <algorithm>
#include <cerrno>
#include <new>

#include "infotable/cell_line.h"
#include "infotable/clipboard_text.h"
#include "infotable/document_writer.h"
#include "infotable/edgar_checks.h"
#include "infotable/edgar_limits.h"
#include "infotable/error_list.h"
#include "infotable/filing_checks.h"
#include "infotable/large_buffer.h"
#include "infotable/preview.h"
#include "infotable/row.h"
#include "infotable/table_plan.h"
#include "infotable/text_forms.h"
#include "storage/file_replacement.h"

namespace {

Conversion Failure(ConversionOutcome outcome, NotWrittenReason reason, int cause = 0) {
  Conversion conversion;
  conversion.outcome = outcome;
  conversion.reason = reason;
  conversion.failureCause = cause;
  return conversion;
}

// The preview's rows, when it is asked for.
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

// A heading line is no entry; one whose value column gives thousands is
// reported, and so is what it says of its columns.
void ReportHeading(const TablePlan& plan, size_t line, uint32_t rowNumber, ErrorList& errors) {
  for (const auto& [at, caption] : plan.thousandsCaptions)
    if (at == line)
      errors.Add({RowErrorKind::kNotAcceptedByEdgar, rowNumber, "", ValueInThousandsMessage(caption)});
  for (const TablePlan::HeadingNote& note : plan.headingNotes)
    if (note.line == line) errors.Add({note.kind, rowNumber, "", note.text});
}

// What the reading of the copy could only take to be so.
void ReportReadingChecks(const NormalizedText& normalized, ErrorList& errors) {
  for (uint32_t row : normalized.continuedFirstCells)
    errors.Add({RowErrorKind::kCheckBeforeFiling, row, "", ContinuedFirstCellText()});
  if (normalized.unclosedQuoteRow)
    errors.Add({RowErrorKind::kCheckBeforeFiling, *normalized.unclosedQuoteRow, "", UnclosedQuoteText()});
}

// Gives the line as the document can hold it: in plain ASCII, what has no
// plain form left out, its cells cleaned again; `plain` holds it when it had
// to change. A change the filer would not see in the document is reported,
// one line for the row.
std::string_view ReportCharacters(std::string_view line, uint32_t rowNumber, ErrorList& errors,
                                  std::string& plain) {
  if (!NeedsPlainForm(line)) return line;
  std::string ascii;
  const std::string changes = PlainAsciiLine(line, ascii);
  if (!changes.empty())
    errors.Add({RowErrorKind::kInvalidCharacter, rowNumber, ShowCells(LeaveOutNonXmlCharacters(line)),
                PlainAsciiText(changes)});
  plain = CleanCells(ascii);
  return plain;
}

// Reads a line by its plan into `row`.
Refusal ReadPlannedLine(const TablePlan& plan, size_t index, std::string_view line, Cells& cells,
                        InfoTableRow& row) {
  const LineReading& reading = plan.reading[index];
  if (reading.kind == LineReading::kFilledCells) return ReadFilledCells(line, row, plan.decimalMark);
  if (reading.kind == LineReading::kShort) return ShortRowRefusal(CellCount(line), plan.layouts[0]);
  SplitFields(line, '\t', cells);
  return ReadRow(cells, plan.layouts[reading.layout], row, plan.decimalMark);
}

// What EDGAR would say of an accepted row, as the entry it is to become.
void CheckAcceptedRow(const InfoTableRow& row, uint32_t rowNumber, uint32_t entriesBefore,
                      ErrorList& errors) {
  for (std::string& problem : CheckEdgarRules(row))
    errors.Add({RowErrorKind::kNotAcceptedByEdgar, rowNumber, "", std::move(problem), entriesBefore + 1});
  if (entriesBefore == kEdgarEntryLimit)
    errors.Add(
        {RowErrorKind::kNotAcceptedByEdgar, rowNumber, "", EdgarEntryLimitMessage(), entriesBefore + 1});
}

Conversion Convert(std::string_view text, const std::string& outputPath, PreviewKind previewKind,
                   const SecuritiesList* list, const std::string& noListNote) {
  const bool buildPreview = previewKind != PreviewKind::kNone;
  const NormalizedText normalized = NormalizeClipboardText(text);
  const TablePlan plan = PlanTable(normalized);
  if (!IsTable(plan)) {
    Conversion failure = Failure(ConversionOutcome::kNotWritten, NotWrittenReason::kNoTable);
    if (normalized.lines.size() == 1) failure.oneLine = ShowCells(normalized.lines[0]);
    return failure;
  }
  if (outputPath.empty()) return Failure(ConversionOutcome::kNotWritten, NotWrittenReason::kNoOutputPath);
  FileReplacement document;
  if (!document.Open(outputPath)) {
    if (document.failureCause() == ENOMEM)
      return Failure(ConversionOutcome::kOutOfMemory, NotWrittenReason::kOutOfMemory);
    return Failure(ConversionOutcome::kNotWritten, NotWrittenReason::kCannotCreate, document.failureCause());
  }

  Conversion conversion;
  ErrorList errors(conversion.errors, buildPreview);
  ReportReadingChecks(normalized, errors);
  DocumentWriter writer(document);
  PreviewBuilder preview{buildPreview, {}};
  preview.table.withFigi = plan.showsFigi;
  preview.table.notesWidest = previewKind == PreviewKind::kDrawn;
  preview.Begin(text.size(), plan.lines.size());

  FilingChecks checks;
  checks.UseList(list);
  std::vector<RowError> found;
  InfoTableRow row;
  Cells cells;
  std::string plain;
  for (size_t i = 0; i < plan.lines.size() && !writer.failed(); ++i) {
    const uint32_t rowNumber = normalized.rows[i];
    if (plan.reading[i].kind == LineReading::kHeading) {
      ReportHeading(plan, i, rowNumber, errors);
      continue;
    }
    const std::string_view line = ReportCharacters(plan.lines[i], rowNumber, errors, plain);
    if (Refusal refusal = ReadPlannedLine(plan, i, line, cells, row)) {
      errors.Add({RowErrorKind::kInvalidFields, rowNumber, ShowCells(line), std::move(*refusal)});
      ++conversion.refusedRows;
      continue;
    }
    CheckAcceptedRow(row, rowNumber, conversion.entryCount, errors);
    checks.CheckRow(row, rowNumber, found);
    errors.AddAll(found, conversion.entryCount + 1);
    preview.Add(conversion.entryCount + 1, rowNumber, row);
    writer.Add(row);
    conversion.valueTotal = SaturatingAdd(conversion.valueTotal, row.value);
    ++conversion.entryCount;
  }
  std::string nothingWritten;
  if (conversion.entryCount == 0) {
    // A capture with nothing to file must not put an empty document in the
    // place of the last good one: the new one is never committed.
    conversion.outcome = ConversionOutcome::kNothingToFile;
    const bool onlyHeading = conversion.refusedRows == 0;
    conversion.reason = onlyHeading ? NotWrittenReason::kOnlyHeading : NotWrittenReason::kEveryRowRefused;
    nothingWritten = NothingToFileText(onlyHeading, FileNameOf(outputPath));
  } else if (int cause = 0; !writer.Finish(cause)) {
    return Failure(ConversionOutcome::kWriteFailed, NotWrittenReason::kCannotWrite, cause);
  } else {
    conversion.outcome = ConversionOutcome::kWritten;
    for (std::string& problem : CheckEdgarTableRules(conversion.valueTotal))
      errors.Add({RowErrorKind::kNotAcceptedByEdgar, 0, "", std::move(problem)});
    checks.CheckTable(!plan.thousandsCaptions.empty(), found);
    errors.AddAll(found);
    conversion.managersUsed = checks.ManagersUsed();
    conversion.rowsOnList = checks.RowsOnList();
  }
  if (buildPreview) {
    errors.BuildHtml();
    conversion.previewStatus =
        StatusParagraph(errors.errorsHtml(), errors.checksHtml(), conversion.refusedRows, nothingWritten,
                        conversion.managersUsed,
                        list && conversion.entryCount > 0
                            ? ListCheckedText(*list, conversion.rowsOnList, conversion.entryCount)
                            : noListNote);
    conversion.previewTable = std::move(preview.table);
    conversion.statusGroups = errors.TakeGroups();
  }
  return conversion;
}

}  // namespace

std::string PreviewHtml(const Conversion& conversion) {
  return conversion.previewStatus + PreviewTableHtml(conversion.previewTable);
}

std::string ListCheckedText(const SecuritiesList& list, uint32_t rowsOnList, uint32_t entries) {
  return "Checked against the SEC's list of 13(f) securities, " + list.name +
         (list.quarter.empty() ? "" : " (" + list.quarter + ")") + ": " +
         GroupThousands(std::to_string(rowsOnList)) + " of " + GroupThousands(std::to_string(entries)) +
         (entries == 1 ? " row is" : " rows are") + " on it.";
}

Conversion ConvertInfoTable(std::string_view text, const std::string& outputPath, PreviewKind preview,
                            const SecuritiesList* list, const std::string& noListNote) {
  try {
    return Convert(text, outputPath, preview, list, noListNote);
  } catch (const std::bad_alloc&) {
    // Everything the conversion held is released by now, and the old
    // document was never touched.
    return Failure(ConversionOutcome::kOutOfMemory, NotWrittenReason::kOutOfMemory);
  }
}
