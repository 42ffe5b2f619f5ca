#include "infotable/document_writer.h"

#include "infotable/document.h"

DocumentWriter::DocumentWriter(FileReplacement& document) : document_(document) {
  pending_.reserve(kPiece + 4096);
  pending_ = FormatDocumentHead();
}

void DocumentWriter::Write() {
  if (!failed_ && WriteText(document_.stream(), pending_) < 0) failed_ = true;
  pending_.clear();
}

void DocumentWriter::Add(const InfoTableRow& row) {
  AppendInfoTableEntry(pending_, row);
  if (pending_.size() < kPiece) return;
  Write();
  if (++piecesWritten_ % kPiecesPerSync == 0) document_.SyncSoFar();
}

bool DocumentWriter::Finish(int& cause) {
  pending_ += FormatDocumentEnd();
  Write();
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
