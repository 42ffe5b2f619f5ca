// The document written as its entries come: gathered into pieces that the
// stream writes as whole blocks, and put on the disk while it is written, so
// that the final sync has little left to wait for. The old document stays as
// it was until Finish succeeds.
#pragma once

#include <cstddef>
#include <string>

#include "infotable/fields.h"
#include "storage/file_replacement.h"

class DocumentWriter {
 public:
  // Writes into `document`, which must be open; the head is written first.
  explicit DocumentWriter(FileReplacement& document);

  void Add(const InfoTableRow& row);
  // Whether a write has failed; later entries are then dropped.
  bool failed() const { return failed_; }
  // Ends the document and puts it in the old one's place. False with the
  // errno when it could not be completed; nothing of it is left then.
  bool Finish(int& cause);

 private:
  static constexpr size_t kPiece = 1 << 16;
  static constexpr size_t kPiecesPerSync = 64;  // 4 MB between syncs

  void Write();

  FileReplacement& document_;
  std::string pending_;
  size_t piecesWritten_ = 0;
  bool failed_ = false;
};
