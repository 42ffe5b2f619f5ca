// What a capture found, kept beside the document it wrote (as a hidden file
// in the filing folder) so that a later start of the program shows it with
// the document, and Submit warns on it, until the next capture. The
// findings belong to the document's exact bytes: once the document changes,
// they are stale and never shown.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "infotable/preview.h"
#include "storage/failure_reason.h"

struct KeptFindings {
  bool hadLines = false;  // the status paragraph named errors or checks
  std::string status;     // the status paragraph, HTML
  std::vector<std::string> groups;  // its groups' lines, as the conversion gave them
  PreviewTable table;
};

// Where the findings of the document at `documentPath` are kept.
std::string KeptFindingsPath(const std::string& documentPath);

// Keeps what a capture found beside the document it wrote just now.
FileFailure WriteKeptFindings(const std::string& documentPath, bool hadLines, const std::string& status,
                              const std::vector<std::string>& groups, const PreviewTable& table);

// The findings kept beside the document; nothing when there are none, they
// can't be read, or the document has changed since they were kept.
std::optional<KeptFindings> ReadKeptFindings(const std::string& documentPath);
