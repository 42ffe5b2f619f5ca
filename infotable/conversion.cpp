#include "infotable/conversion.h"

#include <sys/stat.h>
#include <unistd.h>

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

void AddError(Conversion& conversion, std::string& errorList, RowErrorKind kind, uint32_t row,
              std::string text) {
  AppendErrorLine(errorList, kind, row, text);
  conversion.errors.push_back({kind, row, std::move(text)});
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

Conversion ConvertInfoTable(std::string_view text, const std::string& outputPath) {
  Conversion conversion;
  const NormalizedText normalized = NormalizeClipboardText(text);
  if (normalized.largestFieldCount < 11) {
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
  std::string preview = BeginPreview();
  // A preview row runs to about three times its line; growing by doubling
  // would copy tens of megabytes for a large table.
  preview.reserve(preview.size() + 3 * normalized.text.size());
  std::string errorList;
  writer.Write(FormatDocumentHead());

  uint32_t rowNumber = 0;
  const std::string_view lines = normalized.text;
  for (size_t start = 0, end; start < lines.size(); start = end + 1) {
    end = lines.find('\n', start);
    std::string_view line = lines.substr(start, end - start);
    ++rowNumber;
    const std::vector<std::string> invalid = FindInvalidCharacters(line);
    // What the document cannot hold is reported above and left out from here on.
    std::string kept;
    if (!invalid.empty()) {
      kept = LeaveOutNonXmlCharacters(line);
      line = kept;
    }
    for (size_t i = 0; i < invalid.size(); ++i)
      AddError(conversion, errorList, RowErrorKind::kInvalidCharacter, rowNumber, std::string(line));
    InfoTableRow row = SplitFields(line, '\t');
    if (!ValidateRow(row)) {
      AddError(conversion, errorList, RowErrorKind::kInvalidFields, rowNumber, std::string(line));
      continue;
    }
    NormalizeRow(row);
    for (std::string& problem : CheckEdgarRules(row))
      AddError(conversion, errorList, RowErrorKind::kNotAcceptedByEdgar, rowNumber, std::move(problem));
    if (conversion.entryCount == kEdgarEntryLimit)
      AddError(conversion, errorList, RowErrorKind::kNotAcceptedByEdgar, rowNumber, EdgarEntryLimitMessage());
    AppendPreviewRow(preview, conversion.entryCount + 1, row);
    writer.Write(FormatInfoTableEntry(row));
    conversion.valueTotal = SaturatingAdd(conversion.valueTotal, ParseValue(row[kValue]));
    ++conversion.entryCount;
  }

  FinishPreview(preview, errorList);
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
    conversion.errors.clear();
    return conversion;
  }
  conversion.outcome = ConversionOutcome::kWritten;
  conversion.preview = std::move(preview);
  return conversion;
}
