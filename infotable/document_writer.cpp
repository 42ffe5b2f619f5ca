#include "infotable/document_writer.h"

#include "infotable/document.h"

DocumentWriter::DocumentWriter(FileReplacement& document) : document_(document) {
  Write(FormatDocumentHead());
}

void DocumentWriter::Write(std::string_view text) {
  if (!failed_ && WriteText(document_.stream(), text) < 0) failed_ = true;
}

void DocumentWriter::Add(std::string_view entries) {
  Write(entries);
  unsynced_ += entries.size();
  if (unsynced_ >= kBytesPerSync && document_.SyncSoFar()) unsynced_ = 0;
}

bool DocumentWriter::Finish(int& cause) {
  Write(FormatDocumentEnd());
  if (failed_) {
    cause = StreamFailureCause(document_.stream());
    return false;
  }
  if (!document_.Commit()) {
    cause = document_.failureCause();
    return false;
  }
  return true;
}
