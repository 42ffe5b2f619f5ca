// A new version of a file, written into a temporary file beside it and put
// in the file's place only once it is complete and on the disk. Until then,
// and after any failure, the old file stays exactly as it was; a reader never
// sees a half-written file. A crash leaves at most a hidden temporary file
// (".NAME.XXXXXX") in the folder, never a damaged NAME.
#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <string_view>
#include <thread>

#include "storage/failure_reason.h"

class FileStream;

// What a new version is for, which decides who may read it and whether it
// must reach the disk.
enum class FileUse {
  kShared,     // readable as the umask allows, on the disk before it is in place
  kOwnerOnly,  // readable by its owner alone (it holds a secret), on the disk likewise
  kScratch,    // readable by its owner alone, read back by this program and removed: never synced
};

// The file name of a path: what follows its last "/".
std::string_view FileNameOf(std::string_view path);

class FileReplacement {
 public:
  FileReplacement();
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;
  // Removes the temporary file unless it was committed.
  ~FileReplacement();

  // Begins the new version of `path`. Fails with EWOULDBLOCK when another
  // replacement holds `path`, EACCES when it is read-only, EISDIR or EINVAL
  // when it is not a regular file (a symbolic link straight to a regular
  // file, or to nothing, is replaced, never written through), or with what
  // creating the temporary file gave. A new version for `use` other than
  // kShared is readable by its owner alone from its first byte on.
  FileFailure Open(const std::string& path, FileUse use = FileUse::kShared);

  // Appends to the new version. After a failure nothing more is written, and
  // every later Write and Commit gives that first failure.
  FileFailure Write(std::string_view text);

  // Starts putting what is written so far on the disk, on a thread of its
  // own while the caller writes on. False when it began nothing: no file is
  // open, it is scratch, or the last such start is still at work (ask again
  // later). Commit then has less to wait for, and fails if this failed.
  bool SyncSoFar();

  // Puts the new version on the disk (unless scratch), closes it and renames
  // it over `path`.
  // After a failure the temporary file is gone and the old file untouched.
  FileFailure Commit();

 private:
  FileFailure Fail(int cause);
  void Discard();

  std::string path_, temporaryPath_;
  int file_ = -1;  // the temporary file
  FileUse use_ = FileUse::kShared;
  std::unique_ptr<FileStream> stream_;
  FileFailure failure_;
  int heldFile_ = -1;  // the old file, locked so that no second replacement writes it meanwhile
  std::thread syncer_;
  std::atomic<bool> syncing_{false};
  std::atomic<int> syncFailure_{0};
};
