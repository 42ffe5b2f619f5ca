#include "storage/file_replacement.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <system_error>

#include "storage/file_stream.h"

namespace {

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// A link is replaced only when it leads straight to a regular file, or to
// nothing: never a link on to a link, such as /dev/stdout to /proc/self/fd/1,
// or to a device or a pipe.
bool LinksToADocument(const std::string& link) {
  char target[4096];
  const ssize_t length = readlink(link.c_str(), target, sizeof target - 1);
  if (length < 0) return false;
  target[length] = '\0';
  const std::string resolved = target[0] == '/' ? target : FolderOf(link) + "/" + target;
  struct stat info;
  if (lstat(resolved.c_str(), &info) != 0) return errno == ENOENT;
  return S_ISREG(info.st_mode);
}

// What open(..., 0666) would give a new file.
mode_t NewFileMode() {
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

// Why `path` may not be replaced, when it exists: not a regular file (nor a
// link to one), or read-only. The owner write bit is tested here because
// root would otherwise write through it.
FileFailure CannotReplace(const std::string& path) {
  struct stat info;
  if (lstat(path.c_str(), &info) != 0) return std::nullopt;
  if (S_ISDIR(info.st_mode)) return EISDIR;
  if (!S_ISREG(info.st_mode) && !S_ISLNK(info.st_mode)) return EINVAL;
  if (S_ISLNK(info.st_mode) && !LinksToADocument(path)) return EINVAL;
  if (S_ISREG(info.st_mode) && !(info.st_mode & S_IWUSR)) return EACCES;
  return std::nullopt;
}

}  // namespace

std::string_view FileNameOf(std::string_view path) {
  const size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

FileReplacement::FileReplacement() = default;

FileReplacement::~FileReplacement() { Discard(); }

FileFailure FileReplacement::Fail(int cause) {
  Discard();
  return failure_ = cause;
}

void FileReplacement::Discard() {
  if (syncer_.joinable()) syncer_.join();
  stream_.reset();
  if (file_ >= 0) close(file_);
  file_ = -1;
  if (!temporaryPath_.empty()) unlink(temporaryPath_.c_str());
  temporaryPath_.clear();
  if (heldFile_ >= 0) close(heldFile_);
  heldFile_ = -1;
}

FileFailure FileReplacement::Open(const std::string& path, FileUse use) {
  Discard();
  failure_.reset();
  syncFailure_ = 0;
  path_ = path;
  use_ = use;
  if (const FileFailure refused = CannotReplace(path)) return Fail(*refused);
  // An advisory lock on the old file, which every replacement takes: a file
  // that another one is writing is not replaced under it.
  heldFile_ = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  if (heldFile_ >= 0 && flock(heldFile_, LOCK_EX | LOCK_NB) != 0) return Fail(errno);
  std::string pattern = FolderOf(path) + "/." + std::string(FileNameOf(path)) + ".XXXXXX";
  file_ = mkostemp(pattern.data(), O_CLOEXEC);
  if (file_ < 0) return Fail(errno);
  temporaryPath_ = pattern;
  if (fchmod(file_, use == FileUse::kShared ? NewFileMode() : S_IRUSR | S_IWUSR) != 0) return Fail(errno);
  stream_.reset(new (std::nothrow) FileStream(file_));
  if (!stream_) return Fail(ENOMEM);
  return std::nullopt;
}

FileFailure FileReplacement::Write(std::string_view text) {
  if (failure_) return failure_;
  if (!stream_) return failure_ = EBADF;
  if (const FileFailure failure = stream_->Write(text)) return Fail(*failure);
  return std::nullopt;
}

bool FileReplacement::SyncSoFar() {
  if (!stream_ || syncing_ || use_ == FileUse::kScratch) return false;
  if (syncer_.joinable()) syncer_.join();
  syncing_ = true;
  try {
    syncer_ = std::thread([this, file = file_] {
      if (fdatasync(file) != 0 && syncFailure_ == 0) syncFailure_ = errno;
      syncing_ = false;
    });
  } catch (const std::system_error&) {
    syncing_ = false;  // no thread to spare: Commit syncs it all
  }
  return true;
}

FileFailure FileReplacement::Commit() {
  if (failure_) return failure_;
  if (!stream_) return failure_ = EBADF;
  if (syncer_.joinable()) syncer_.join();
  if (syncFailure_ != 0) return Fail(syncFailure_);
  if (const FileFailure failure = stream_->Flush()) return Fail(*failure);
  const bool durable = use_ != FileUse::kScratch;
  if (durable && fsync(file_) != 0) return Fail(errno);
  stream_.reset();
  const int file = file_;
  file_ = -1;
  if (close(file) != 0) return Fail(errno);
  if (std::rename(temporaryPath_.c_str(), path_.c_str()) != 0) return Fail(errno);
  temporaryPath_.clear();
  // The rename itself reaches the disk with the folder.
  const int folder = durable ? open(FolderOf(path_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC) : -1;
  if (folder >= 0) {
    fsync(folder);
    close(folder);
  }
  // The old version's blocks are given back as its last descriptor closes:
  // milliseconds for a large document, which the caller need not wait for.
  if (heldFile_ >= 0) {
    try {
      std::thread([file = heldFile_] { close(file); }).detach();
      heldFile_ = -1;
    } catch (const std::system_error&) {
      // closed by Discard instead
    }
  }
  Discard();
  return std::nullopt;
}
