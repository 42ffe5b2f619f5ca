#include "infotable/document_writer.h"

#include "infotable/document.h"

DocumentWriter::DocumentWriter(FileReplacement& document) : document_(document) {
  Write(FormatDocumentHead());
}

void DocumentWriter::Write(std::string_view text) {
  if (!failure_) failure_ = document_.Write(text);
}

void DocumentWriter::Add(std::string_view entries) {
  Write(entries);
  unsynced_ += entries.size();
  if (unsynced_ >= kBytesPerSync && document_.SyncSoFar()) unsynced_ = 0;
}

FileFailure DocumentWriter::Finish() {
  Write(FormatDocumentEnd());
  return document_.Commit();
}
