#include "infotable/document_writer.h"

void DocumentWriter::Write(std::string_view text) {
  if (bytes_)
    bytes_->append(text);
  else if (!failure_)
    failure_ = document_->Write(text);
}

void DocumentWriter::Add(std::string_view entries) {
  Write(entries);
  unsynced_ += entries.size();
  if (document_ && unsynced_ >= kBytesPerSync && document_->SyncSoFar()) unsynced_ = 0;
}

FileFailure DocumentWriter::Finish() {
  Write(FormatDocumentEnd());
  if (!document_) return std::nullopt;
  return document_->Commit();
}
