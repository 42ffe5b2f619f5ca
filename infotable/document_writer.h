// The document written as its entries come, straight from where they were
// formatted, and put on the disk while it is written, so that the final sync
// has little left to wait for. The old document stays as it was until Finish
// succeeds.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "infotable/document.h"
#include "storage/file_replacement.h"

class DocumentWriter {
 public:
  // Writes into `document`, which must be open; the head is written first.
  explicit DocumentWriter(FileReplacement& document) : document_(&document) { Write(FormatDocumentHead()); }
  // Writes into `bytes` instead, for a submission that attaches it: no file
  // is written, nor read back.
  explicit DocumentWriter(std::string& bytes) : bytes_(&bytes) { Write(FormatDocumentHead()); }

  // Writes entries formatted by AppendInfoTableEntry. After a failure later
  // entries are dropped, and Finish gives that failure.
  void Add(std::string_view entries);
  // Whether a write has failed.
  bool failed() const { return failure_.has_value(); }
  // Ends the document and puts it in the old one's place. After a failure
  // nothing of the new document is left. In memory, it is ended and never fails.
  FileFailure Finish();

 private:
  // Small enough that the final sync waits for little more than the disk's
  // queue. A sync due while the last is still at work begins with the first
  // entries written after it is done, so that the disk is kept busy.
  static constexpr size_t kBytesPerSync = 2 << 20;

  void Write(std::string_view text);

  FileReplacement* document_ = nullptr;
  size_t unsynced_ = 0;  // bytes written since the last sync was begun
  FileFailure failure_;
  std::string* bytes_ = nullptr;
};
