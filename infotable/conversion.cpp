#include "infotable/conversion.h"

#include <algorithm>
#include <cerrno>
#include <new>

#include "infotable/blocks_in_order.h"
#include "infotable/cell_line.h"
#include "infotable/clipboard_text.h"
#include "infotable/document_writer.h"
#include "infotable/edgar_checks.h"
#include "infotable/edgar_limits.h"
#include "infotable/error_list.h"
#include "infotable/filing_checks.h"
#include "infotable/large_buffer.h"
#include "infotable/preview.h"
#include "infotable/table_block.h"
#include "infotable/table_plan.h"
#include "infotable/text_forms.h"
#include "storage/file_replacement.h"

namespace {

Conversion Failure(ConversionOutcome outcome, int cause = 0) {
  Conversion conversion;
  conversion.outcome = outcome;
  conversion.failureCause = cause;
  return conversion;
}

// Blocks hold about this much of the table's text: enough rows to be worth
// a thread's turn, few enough that the blocks held at once are small.
constexpr size_t kBlockText = 16 << 10;

// Where each block of lines begins, then where the last ends; a table's
// blocks do not depend on the threads that convert them.
std::vector<size_t> BlockStarts(const std::vector<std::string_view>& lines) {
  std::vector<size_t> starts{0};
  size_t text = 0;
  for (size_t i = 0; i < lines.size(); ++i) {
    text += lines[i].size() + 1;
    if (text < kBlockText) continue;
    starts.push_back(i + 1);
    text = 0;
  }
  if (starts.back() != lines.size()) starts.push_back(lines.size());
  return starts;
}

// What the reading of the copy could only take to be so.
void ReportReadingChecks(const NormalizedText& normalized, ErrorList& errors) {
  for (uint32_t row : normalized.continuedFirstCells)
    errors.Add({RowErrorKind::kCheckBeforeFiling, row, "", ContinuedFirstCellText()});
  if (normalized.unclosedQuoteRow)
    errors.Add({RowErrorKind::kCheckBeforeFiling, *normalized.unclosedQuoteRow, "", UnclosedQuoteText()});
}

// Joins the blocks in their order: writes their entries, numbers them,
// and decides what only the order of the whole table decides.
struct BlockJoin {
  Conversion& conversion;
  ErrorList& errors;
  FilingChecks& checks;
  DocumentWriter& writer;
  PreviewTable* preview;       // null when none is built
  ComparisonJoin* comparison;  // null unless compared with last quarter
  std::vector<RowError> found;

  // Adds a block's line, its entry counted from the block's first.
  void AddLine(RowError& line, uint32_t entriesBefore) {
    if (line.entry > 0) line.entry += entriesBefore;
    errors.Add(std::move(line));
  }

  bool Join(TableBlock& block) {
    const uint32_t entriesBefore = conversion.entryCount;
    size_t line = 0;
    for (size_t i = 0; i < block.written.size(); ++i) {
      const TableBlock::WrittenRow& written = block.written[i];
      const uint32_t entry = entriesBefore + static_cast<uint32_t>(i) + 1;
      for (; line < written.rulesEnd; ++line) AddLine(block.errors[line], entriesBefore);
      if (entry == kEdgarEntryLimit + 1)
        errors.Add({RowErrorKind::kNotAcceptedByEdgar, written.row, "", EdgarEntryLimitMessage(), entry});
      for (; line < written.checksEnd; ++line) AddLine(block.errors[line], entriesBefore);
      checks.CheckHolding(written.holdingKey, written.row, found);
      errors.AddAll(found, entry);
    }
    for (; line < block.errors.size(); ++line) AddLine(block.errors[line], entriesBefore);
    checks.Join(block.checks);
    if (preview) AppendPreviewBlock(*preview, block.preview, entriesBefore + 1);
    if (comparison) JoinComparedBlock(block.compared, entriesBefore, *comparison);
    writer.Add(block.entries);
    conversion.entryCount += static_cast<uint32_t>(block.written.size());
    conversion.refusedRows += block.refusedRows;
    conversion.valueTotal = SaturatingAdd(conversion.valueTotal, block.valueTotal);
    return !writer.failed();
  }
};

// Converts the table's blocks, on up to `threads` threads, and joins them in
// their order.
void ConvertBlocks(const NormalizedText& normalized, const TablePlan& plan, const SecuritiesList* list,
                   unsigned threads, bool buildPreview, const PreviewTable& preview,
                   const FiledTable* previous,
                   const std::vector<std::pair<uint32_t, std::string>>& sourceRefusals, BlockJoin& join) {
  const std::vector<size_t> starts = BlockStarts(plan.lines);
  const size_t blockCount = starts.size() - 1;
  const unsigned threadCount = ThreadsFor(blockCount, threads);
  // Each thread has a block in hand and one made ahead.
  std::vector<TableBlock> blocks(std::min<size_t>(2 * threadCount, blockCount));
  for (TableBlock& block : blocks) {
    block.withPreview = buildPreview;
    block.previous = previous;
    block.sourceRefusals = &sourceRefusals;
    block.preview.withFigi = preview.withFigi;
    block.preview.notesWidest = preview.notesWidest;
  }
  MakeBlocksInOrder(
      blockCount, threadCount, blocks.size(),
      [&](size_t block, size_t slot) {
        ConvertTableBlock(normalized, plan, starts[block], starts[block + 1], list, blocks[slot]);
      },
      [&](size_t, size_t slot) { return join.Join(blocks[slot]); });
}

// What only the whole written table tells: EDGAR's rules for its total, the
// checks across its rows, the managers it names.
void CheckWholeTable(const TablePlan& plan, FilingChecks& checks, Conversion& conversion, ErrorList& errors,
                     std::vector<RowError>& found) {
  for (std::string& problem : CheckEdgarTableRules(conversion.valueTotal))
    errors.Add({RowErrorKind::kNotAcceptedByEdgar, 0, "", std::move(problem)});
  checks.CheckTable(!plan.thousandsCaptions.empty(), found);
  errors.AddAll(found);
  conversion.managersUsed = checks.ManagersUsed();
  conversion.rowsOnList = checks.RowsOnList();
}

// The table against last quarter's: what changed, and its checks among the others.
void CompareWithPrevious(const FiledTable& previous, ComparisonJoin& join, Conversion& conversion,
                         ErrorList& errors) {
  conversion.comparison = FinishComparison(previous, conversion.valueTotal, join);
  for (RowError& check : conversion.comparison->checks) errors.Add(std::move(check));
  conversion.comparison->checks.clear();
}

// The paragraph over the preview and the groups of lines it links to.
void AddPreviewStatus(Conversion& conversion, ErrorList& errors, const ConversionRequest& request,
                      const std::string& nothingWritten) {
  errors.BuildHtml();
  std::string notes = request.listNote;
  if (request.list && conversion.entryCount > 0)
    notes = ListCheckedText(*request.list, conversion.rowsOnList, conversion.entryCount) +
            (request.listNote.empty() ? "" : " " + request.listNote);
  if (!request.sourceNote.empty()) notes = request.sourceNote + (notes.empty() ? "" : "\n" + notes);
  const std::string compared =
      conversion.comparison ? ComparedText(*conversion.comparison, *request.previous, request.previousName)
      : conversion.entryCount > 0 ? request.uncomparedNote
                                  : "";
  if (!compared.empty()) notes += (notes.empty() ? "" : "\n") + compared;
  const bool unchecked = !request.list && !request.listNote.empty();
  conversion.previewStatus = StatusParagraph(errors.errorsHtml(), errors.checksHtml(), conversion.refusedRows,
                                             nothingWritten, conversion.managersUsed, notes, unchecked);
  conversion.statusGroups = errors.TakeGroups();
}

Conversion Convert(std::string_view text, const std::string& outputPath, const ConversionRequest& request) {
  const bool buildPreview = request.preview != PreviewKind::kNone;
  const NormalizedText normalized = NormalizeClipboardText(text);
  const TablePlan plan = PlanTable(normalized);
  if (!IsTable(plan)) {
    Conversion failure = Failure(ConversionOutcome::kNoTable);
    if (normalized.lines.size() == 1) failure.oneLine = ShowCells(normalized.lines[0]);
    return failure;
  }
  if (outputPath.empty()) return Failure(ConversionOutcome::kNoOutputPath);
  FileReplacement document;
  if (!request.inMemory)
    if (const FileFailure failure = document.Open(outputPath, request.use)) {
      if (*failure == ENOMEM) return Failure(ConversionOutcome::kOutOfMemory);
      return Failure(ConversionOutcome::kCannotCreate, *failure);
    }

  Conversion conversion;
  ErrorList errors(conversion.errors, buildPreview);
  ReportReadingChecks(normalized, errors);
  // An entry's XML is some 500 bytes.
  if (request.inMemory) ReserveLarge(conversion.document, plan.lines.size() * 600);
  DocumentWriter writer = request.inMemory ? DocumentWriter(conversion.document) : DocumentWriter(document);
  PreviewTable& preview = conversion.previewTable;
  preview.notesWidest = request.preview == PreviewKind::kDrawn;
  if (buildPreview) {
    preview.withFigi = plan.showsFigi;
    // A row's cells are about as long as its line.
    ReserveLarge(preview.cells, text.size() + 16 * plan.lines.size());
    preview.rowStarts.reserve(plan.lines.size() + 1);
  }
  FilingChecks checks;
  checks.ExpectRows(plan.lines.size());
  FiledTable indexedCopy;
  const FiledTable* previous = request.previous ? &IndexedTable(*request.previous, indexedCopy) : nullptr;
  ComparisonJoin comparison = previous ? StartComparison(*previous, plan.lines.size()) : ComparisonJoin();
  BlockJoin join{
      conversion, errors, checks, writer, buildPreview ? &preview : nullptr, previous ? &comparison : nullptr,
      {}};

  ConvertBlocks(normalized, plan, request.list, request.threads, buildPreview, preview, previous,
                request.sourceRefusals, join);

  std::string nothingWritten;
  if (conversion.entryCount == 0) {
    // A capture with nothing to file must not put an empty document in the
    // place of the last good one: the new one is never committed.
    const bool onlyHeading = conversion.refusedRows == 0;
    conversion.outcome = onlyHeading ? ConversionOutcome::kOnlyHeading : ConversionOutcome::kEveryRowRefused;
    nothingWritten = NothingToFileText(onlyHeading, FileNameOf(outputPath));
  } else if (const FileFailure failure = writer.Finish()) {
    return Failure(ConversionOutcome::kCannotWrite, *failure);
  } else {
    conversion.outcome = ConversionOutcome::kWritten;
    CheckWholeTable(plan, checks, conversion, errors, join.found);
    if (previous) CompareWithPrevious(*previous, comparison, conversion, errors);
  }
  if (buildPreview) AddPreviewStatus(conversion, errors, request, nothingWritten);
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

std::string ComparedText(const QuarterComparison& comparison, const FiledTable& previous,
                         const std::string& name) {
  return "Compared with last quarter's filing, " + name +
         (previous.valuesWereThousands ? " (its values in thousands, brought to dollars)" : "") + ": " +
         NewAndClosedText(comparison) + ".";
}

Conversion ConvertInfoTable(std::string_view text, const std::string& outputPath, PreviewKind preview,
                            const SecuritiesList* list, const std::string& listNote, unsigned threads,
                            FileUse use) {
  ConversionRequest request;
  request.preview = preview;
  request.list = list;
  request.listNote = listNote;
  request.threads = threads;
  request.use = use;
  return ConvertInfoTable(text, outputPath, request);
}

Conversion ConvertInfoTable(std::string_view text, const std::string& outputPath,
                            const ConversionRequest& request) {
  try {
    return Convert(text, outputPath, request);
  } catch (const std::bad_alloc&) {
    // Everything the conversion held is released by now, and the old
    // document was never touched.
    return Failure(ConversionOutcome::kOutOfMemory);
  }
}
