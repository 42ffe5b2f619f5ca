#include "infotable/conversion.h"

#include <algorithm>
#include <cerrno>
#include <limits>
#include <new>

#ifdef __linux__
#include <sys/mman.h>
#endif

#include "infotable/edgar_checks.h"
#include "storage/file_replacement.h"

namespace {

constexpr uint64_t kLargest = std::numeric_limits<uint64_t>::max();

uint64_t SaturatingAdd(uint64_t a, uint64_t b) { return a > kLargest - b ? kLargest : a + b; }

// Invalid-character lines per row; past them one line tells how many more.
constexpr size_t kInvalidCharacterLinesPerRow = 10;

// The error list of the preview beside the list of errors.
struct ErrorLines {
  Conversion& conversion;
  bool buildList;
  std::string list;  // HTML, only when the preview is built

  void Add(RowError error) {
    if (buildList) AppendErrorLine(list, error.kind, error.row, RowErrorText(error));
    conversion.errors.push_back(std::move(error));
  }
};

void AddTableChecks(const Conversion& conversion, ErrorLines& errors) {
  for (std::string& problem : CheckEdgarTableRules(conversion.entryCount, conversion.valueTotal))
    errors.Add({RowErrorKind::kNotAcceptedByEdgar, 0, "", std::move(problem)});
}

Conversion Failure(ConversionOutcome outcome, const char* message, int cause = 0) {
  Conversion conversion;
  conversion.outcome = outcome;
  conversion.failureMessage = message;
  conversion.failureCause = cause;
  return conversion;
}

constexpr int kHeadingLine = -1;  // part of a heading: neither an entry nor an error
constexpr int kFilledCells = -2;  // no layout of its own: read by its filled cells

// How each line of a table is read, decided before any is: a heading holds
// for the lines after it, and lines above it may be part of it.
struct TablePlan {
  const std::vector<std::string_view>& lines;
  std::vector<ColumnLayout> layouts;
  std::vector<int> lineLayout;  // per line: an index into layouts, kHeadingLine or kFilledCells
  bool hasHeading = false;
  bool showsFigi = false;  // some row holds a FIGI
  // Headings whose value column gives thousands: the line and the caption.
  std::vector<std::pair<size_t, std::string>> thousandsCaptions;
};

TablePlan PlanTable(const NormalizedText& normalized) {
  TablePlan plan{normalized.lines, {}, {}, false, false, {}};
  plan.lineLayout.assign(plan.lines.size(), kFilledCells);
  int current = kFilledCells;
  ColumnLayout byWidth;
  if (LayoutForWidth(normalized.width, byWidth)) plan.layouts.push_back(byWidth);
  for (size_t i = 0; i < plan.lines.size(); ++i) {
    const std::string_view line = plan.lines[i];
    ColumnLayout heading;
    if (const size_t taken = MayBeHeading(line)
                                 ? ReadHeading(SplitFields(line, '\t'),
                                               i + 1 < plan.lines.size() ? plan.lines[i + 1] : "", heading)
                                 : 0) {
      plan.hasHeading = true;
      const Cells captions = SplitFields(line, '\t');
      const std::string_view valueCaption = captions[static_cast<size_t>(heading.cell[kValue])];
      if (IsThousandsCaption(valueCaption)) plan.thousandsCaptions.emplace_back(i, valueCaption);
      plan.layouts.push_back(heading);
      current = static_cast<int>(plan.layouts.size() - 1);
      for (size_t above = i; above > 0 && plan.lineLayout[above - 1] != kHeadingLine &&
                             IsCaptionLine(SplitFields(plan.lines[above - 1], '\t'));
           --above)
        plan.lineLayout[above - 1] = kHeadingLine;
      for (size_t next = i; next < i + taken; ++next) plan.lineLayout[next] = kHeadingLine;
      i += taken - 1;
      continue;
    }
    int layout = current;
    if (layout == kFilledCells && !plan.layouts.empty() &&
        static_cast<size_t>(std::count(line.begin(), line.end(), '\t')) + 1 == normalized.width)
      layout = 0;
    plan.lineLayout[i] = layout;
    const int figi = layout >= 0 ? plan.layouts[layout].cell[kFigi] : kNoColumn;
    if (figi != kNoColumn && !plan.showsFigi) {
      const Cells cells = SplitFields(line, '\t');
      plan.showsFigi =
          static_cast<size_t>(figi) < cells.size() && !cells[figi].empty() && !IsNotApplicable(cells[figi]);
    }
  }
  return plan;
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

}  // namespace

uint64_t ParseValue(std::string_view digits) {
  uint64_t value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') break;
    const uint64_t digit = static_cast<uint64_t>(c - '0');
    if (value > (kLargest - digit) / 10) return kLargest;
    value = value * 10 + digit;
  }
  return value;
}

std::string PreviewHtml(const Conversion& conversion) {
  return conversion.previewStatus + conversion.previewTable;
}

std::string RowErrorText(const RowError& error) {
  if (error.line.empty() || error.reason.empty()) return error.line + error.reason;
  return error.line + " -- " + error.reason;
}

namespace {

Conversion Convert(std::string_view text, const std::string& outputPath, bool buildPreview) {
  const NormalizedText normalized = NormalizeClipboardText(text);
  const TablePlan plan = PlanTable(normalized);
  if (normalized.width < 11 && !plan.hasHeading)
    return Failure(ConversionOutcome::kNotWritten, kNoValidDataMessage);
  if (outputPath.empty()) return Failure(ConversionOutcome::kNotWritten, kNoFilingFolderMessage);
  FileReplacement document;
  if (!document.Open(outputPath)) {
    if (document.failureCause() == ENOMEM)
      return Failure(ConversionOutcome::kOutOfMemory, kOutOfMemoryMessage);
    return Failure(ConversionOutcome::kNotWritten, kCannotCreateMessage, document.failureCause());
  }
  bool writeFailed = false;
  const auto write = [&](std::string_view part) {
    if (!writeFailed && WriteText(document.stream(), part) < 0) writeFailed = true;
  };

  Conversion conversion;
  ErrorLines errors{conversion, buildPreview, {}};
  std::string preview;
  if (buildPreview) {
    preview = BeginPreview(plan.showsFigi);
    // A preview row is its cells in markup, about 480 bytes more than its line.
    ReserveLarge(preview, preview.size() + text.size() + 480 * plan.lines.size());
  }
  // Entries gather into one piece of about this size before it is written, so
  // that the stream writes whole blocks straight from it.
  constexpr size_t kPiece = 1 << 16;
  // Every few megabytes the disk is set to work on what is written, so that
  // the document's final sync has little left to wait for.
  constexpr size_t kPiecesPerSync = 64;
  size_t piecesWritten = 0;
  std::string entries = FormatDocumentHead();
  entries.reserve(kPiece + 4096);

  InfoTableRow row;
  Cells cells;
  for (size_t i = 0; i < plan.lines.size() && !writeFailed; ++i) {
    const uint32_t rowNumber = static_cast<uint32_t>(i + 1);
    if (plan.lineLayout[i] == kHeadingLine) {
      for (const auto& [at, caption] : plan.thousandsCaptions)
        if (at == i)
          errors.Add({RowErrorKind::kNotAcceptedByEdgar, rowNumber, "", ValueInThousandsMessage(caption)});
      continue;
    }
    std::string_view line = plan.lines[i];
    const size_t invalid = CountInvalidCharacters(line);
    std::string plain;
    if (invalid > 0) {
      const std::string shown = ShowCells(LeaveOutNonXmlCharacters(line));
      for (size_t n = 0; n < std::min(invalid, kInvalidCharacterLinesPerRow); ++n)
        errors.Add({RowErrorKind::kInvalidCharacter, rowNumber, shown, ""});
      if (invalid > kInvalidCharacterLinesPerRow)
        errors.Add({RowErrorKind::kInvalidCharacter, rowNumber, "",
                    std::to_string(invalid - kInvalidCharacterLinesPerRow) +
                        " more invalid characters in this row"});
      // What EDGAR can't take is written in its plain ASCII form, or left out.
      plain = PlainAsciiLine(line);
      line = plain;
    }
    std::string refusal;
    if (plan.lineLayout[i] == kFilledCells) {
      refusal = ReadFilledCells(line, row);
    } else {
      SplitFields(line, '\t', cells);
      refusal = ReadRow(cells, plan.layouts[plan.lineLayout[i]], row);
    }
    if (!refusal.empty()) {
      errors.Add({RowErrorKind::kInvalidFields, rowNumber, ShowCells(line), std::move(refusal)});
      ++conversion.refusedRows;
      continue;
    }
    for (std::string& problem : CheckEdgarRules(row))
      errors.Add({RowErrorKind::kNotAcceptedByEdgar, rowNumber, "", std::move(problem)});
    if (conversion.entryCount == kEdgarEntryLimit)
      errors.Add({RowErrorKind::kNotAcceptedByEdgar, rowNumber, "", EdgarEntryLimitMessage()});
    if (buildPreview) AppendPreviewRow(preview, conversion.entryCount + 1, row, plan.showsFigi);
    AppendInfoTableEntry(entries, row);
    if (entries.size() >= kPiece) {
      write(entries);
      entries.clear();
      if (++piecesWritten % kPiecesPerSync == 0) document.SyncSoFar();
    }
    conversion.valueTotal = SaturatingAdd(conversion.valueTotal, ParseValue(row[kValue]));
    ++conversion.entryCount;
  }
  entries += FormatDocumentEnd();
  write(entries);
  if (writeFailed || !document.Commit()) {
    const int cause = writeFailed ? LastStreamFailureCause() : document.failureCause();
    return Failure(ConversionOutcome::kWriteFailed, kCannotWriteMessage, cause);
  }
  AddTableChecks(conversion, errors);
  if (buildPreview) {
    conversion.previewStatus = StatusParagraph(errors.list, conversion.refusedRows);
    conversion.previewTable = std::move(preview += "</TABLE>");
  }
  conversion.outcome = ConversionOutcome::kWritten;
  return conversion;
}

}  // namespace

Conversion ConvertInfoTable(std::string_view text, const std::string& outputPath, bool buildPreview) {
  try {
    return Convert(text, outputPath, buildPreview);
  } catch (const std::bad_alloc&) {
    // Everything the conversion held is released by now, and the old
    // document was never touched.
    return Failure(ConversionOutcome::kOutOfMemory, kOutOfMemoryMessage);
  }
}
