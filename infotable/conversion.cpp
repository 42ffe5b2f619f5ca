#include "infotable/conversion.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <limits>

#include "infotable/edgar_checks.h"
#include "storage/file_stream.h"

namespace {

constexpr uint64_t kLargest = std::numeric_limits<uint64_t>::max();

uint64_t SaturatingAdd(uint64_t a, uint64_t b) { return a > kLargest - b ? kLargest : a + b; }

class DocumentWriter {
 public:
  explicit DocumentWriter(FileStream* stream) : stream_(stream) {}
  void Write(std::string_view text) {
    if (WriteText(stream_, text) < 0) failed_ = true;
  }
  bool Close() { return CloseFileStream(stream_) == kStreamOk && !failed_; }

 private:
  FileStream* stream_;
  bool failed_ = false;
};

void AddError(Conversion& conversion, std::string& errorList, RowError error) {
  AppendErrorLine(errorList, error.kind, error.row, RowErrorText(error));
  conversion.errors.push_back(std::move(error));
}

constexpr int kHeadingLine = -1;  // part of a heading: neither an entry nor an error
constexpr int kFilledCells = -2;  // no layout of its own: read by its filled cells

// How each line of a table is read, decided before any is: a heading holds
// for the lines after it, and lines above it may be part of it.
struct TablePlan {
  std::vector<std::string_view> lines;
  std::vector<ColumnLayout> layouts;
  std::vector<int> lineLayout;  // per line: an index into layouts, kHeadingLine or kFilledCells
  bool hasHeading = false;
  bool showsFigi = false;  // some row holds a FIGI
};

TablePlan PlanTable(const NormalizedText& normalized) {
  TablePlan plan;
  const std::string_view text = normalized.text;
  for (size_t start = 0, end; start < text.size(); start = end + 1) {
    end = text.find('\n', start);
    plan.lines.push_back(text.substr(start, end - start));
  }
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

std::string RowErrorText(const RowError& error) {
  if (error.line.empty() || error.reason.empty()) return error.line + error.reason;
  return error.line + " -- " + error.reason;
}

Conversion ConvertInfoTable(std::string_view text, const std::string& outputPath) {
  Conversion conversion;
  const NormalizedText normalized = NormalizeClipboardText(text);
  const TablePlan plan = PlanTable(normalized);
  if (normalized.width < 11 && !plan.hasHeading) {
    conversion.failureMessage = kNoValidDataMessage;
    return conversion;
  }
  if (outputPath.empty()) {
    conversion.failureMessage = kNoFilingFolderMessage;
    return conversion;
  }
  FileStream* stream = OpenFileStream(outputPath, kStreamCreate);
  if (!stream) {
    conversion.failureMessage = kCannotCreateMessage;
    return conversion;
  }
  DocumentWriter writer(stream);
  std::string preview = BeginPreview(plan.showsFigi);
  // A preview row runs to about three times its line; growing by doubling
  // would copy tens of megabytes for a large table.
  preview.reserve(preview.size() + 3 * normalized.text.size());
  std::string errorList;
  writer.Write(FormatDocumentHead());

  InfoTableRow row;
  for (size_t i = 0; i < plan.lines.size(); ++i) {
    const uint32_t rowNumber = static_cast<uint32_t>(i + 1);
    if (plan.lineLayout[i] == kHeadingLine) continue;
    std::string_view line = plan.lines[i];
    const size_t invalid = FindInvalidCharacters(line).size();
    if (invalid > 0) {
      const std::string shown = ShowCells(SplitFields(LeaveOutNonXmlCharacters(line), '\t'));
      for (size_t n = 0; n < invalid; ++n)
        AddError(conversion, errorList, {RowErrorKind::kInvalidCharacter, rowNumber, shown, ""});
    }
    // What EDGAR can't take is written in its plain ASCII form, or left out.
    std::string plain;
    if (invalid > 0) {
      plain = PlainAsciiLine(line);
      line = plain;
    }
    const Cells cells = SplitFields(line, '\t');
    std::string refusal = plan.lineLayout[i] == kFilledCells
                              ? ReadFilledCells(cells, row)
                              : ReadRow(cells, plan.layouts[plan.lineLayout[i]], row);
    if (!refusal.empty()) {
      AddError(conversion, errorList,
               {RowErrorKind::kInvalidFields, rowNumber, ShowCells(cells), std::move(refusal)});
      ++conversion.refusedRows;
      continue;
    }
    for (std::string& problem : CheckEdgarRules(row))
      AddError(conversion, errorList, {RowErrorKind::kNotAcceptedByEdgar, rowNumber, "", std::move(problem)});
    if (conversion.entryCount == kEdgarEntryLimit)
      AddError(conversion, errorList,
               {RowErrorKind::kNotAcceptedByEdgar, rowNumber, "", EdgarEntryLimitMessage()});
    AppendPreviewRow(preview, conversion.entryCount + 1, row, plan.showsFigi);
    writer.Write(FormatInfoTableEntry(row));
    conversion.valueTotal = SaturatingAdd(conversion.valueTotal, ParseValue(row[kValue]));
    ++conversion.entryCount;
  }

  FinishPreview(preview, errorList, conversion.refusedRows);
  writer.Write(FormatDocumentEnd());
  if (!writer.Close()) {
    // A cut-off document must never be mistaken for a filing. Only a regular
    // file is removed: the path may name a device.
    struct stat info;
    if (stat(outputPath.c_str(), &info) == 0 && S_ISREG(info.st_mode)) unlink(outputPath.c_str());
    conversion.outcome = ConversionOutcome::kWriteFailed;
    conversion.failureMessage = kCannotWriteMessage;
    conversion.entryCount = 0;
    conversion.valueTotal = 0;
    conversion.refusedRows = 0;
    conversion.errors.clear();
    return conversion;
  }
  conversion.outcome = ConversionOutcome::kWritten;
  conversion.preview = std::move(preview);
  return conversion;
}
