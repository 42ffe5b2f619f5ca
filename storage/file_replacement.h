// A new version of a file, written through a file stream into a temporary
// file beside it, and put in the file's place only once it is complete and on
// the disk. Until then, and after any failure, the old file stays exactly as
// it was; a reader never sees a half-written file.
#pragma once

#include <atomic>
#include <string>
#include <string_view>
#include <thread>

#include "storage/file_stream.h"

// The file name of a path: what follows its last "/".
std::string_view FileNameOf(std::string_view path);

class FileReplacement {
 public:
  FileReplacement() = default;
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;
  // Removes the temporary file unless it was committed.
  ~FileReplacement();

  // Opens the temporary file for writing. False with the cause in
  // failureCause(): EWOULDBLOCK when another opener holds `path`, EACCES when
  // it is read-only, EISDIR or EINVAL when it is not a regular file (a
  // symbolic link straight to a regular file, or to nothing, is replaced,
  // never written through), or what creating the temporary file gave.
  bool Open(const std::string& path);

  // The stream to write the new version through; null before Open.
  FileStream* stream() const { return stream_; }

  // Starts putting what is written so far on the disk, on a thread of its own
  // while the caller writes on; nothing when the last such start is still at
  // work, or with no file open: false then, to be asked again later. Commit
  // then has less to wait for, and fails if this failed.
  bool SyncSoFar();

  // Puts the written file on the disk, closes it and renames it over `path`.
  // False with the cause when any step fails; the temporary file is then gone.
  bool Commit();

  int failureCause() const { return failureCause_; }

 private:
  bool Fail(int cause);
  void Discard();

  std::string path_, temporaryPath_;
  FileStream* stream_ = nullptr;
  int heldFile_ = -1;  // the old file, locked so that no second writer replaces it meanwhile
  int failureCause_ = 0;
  std::thread syncer_;
  std::atomic<bool> syncing_{false};
  std::atomic<int> syncFailure_{0};
};
