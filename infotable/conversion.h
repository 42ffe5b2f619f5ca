// One conversion of an information table text into the XML document at a
// path, with the preview, the row errors, the entry count and the value total.
// The capture driver is this plus the clipboard and the page; the command-line
// converter is this plus files.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "infotable/preview.h"
#include "infotable/row_error.h"
#include "infotable/text_forms.h"

constexpr const char* kNoValidDataMessage = "The clipboard does not contain valid data.";
constexpr const char* kNoFilingFolderMessage = "Filing folder not specified.";
constexpr const char* kCannotCreateMessage = "Could not create file in the filing folder.";
constexpr const char* kCannotWriteMessage = "Could not write the file in the filing folder.";
constexpr const char* kOutOfMemoryMessage = "Out of Memory!";

// Unless written, the old document is exactly as it was.
enum class ConversionOutcome {
  kNotWritten,     // stopped before the new document was begun
  kWritten,        // the new document is complete on the disk, in the old one's place
  kWriteFailed,    // writing the new document failed; nothing of it is left
  kOutOfMemory,    // memory ran out; nothing of the new document is left
  kNothingToFile,  // no row was accepted: nothing written, the old document kept
};

struct Conversion {
  ConversionOutcome outcome = ConversionOutcome::kNotWritten;
  std::string failureMessage;  // empty when written; why nothing was, for kNothingToFile
  int failureCause = 0;        // the errno behind a failed create or write
  // The preview, empty unless written (or nothing to file) and asked for: the
  // status paragraph in HTML, and the table as data.
  std::string previewStatus;
  PreviewTable previewTable;
  uint32_t entryCount = 0;
  uint32_t refusedRows = 0;                 // rows left out of the document
  uint64_t valueTotal = 0;                  // saturates at the largest 64-bit value
  std::vector<unsigned long> managersUsed;  // the other managers' numbers the table names, in order
  std::vector<RowError> errors;
};

// Converts `text` into the document at `outputPath`, which is replaced only by
// a complete new document. An empty path means that no filing folder is set.
// The preview and its error list are built only when asked for.
Conversion ConvertInfoTable(std::string_view text, const std::string& outputPath, bool buildPreview = true);

// The whole preview in HTML: the status paragraph and the single table.
std::string PreviewHtml(const Conversion& conversion);

// Why a document could not be created or written in its folder, in plain
// words: the folder missing, read-only, the file held by another program,
// the disk full; else the system's own words.
std::string PlainFailureReason(int cause);
