#include "storage/file_replacement.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <system_error>

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

}  // namespace

std::string_view FileNameOf(std::string_view path) {
  const size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

FileReplacement::~FileReplacement() { Discard(); }

bool FileReplacement::Fail(int cause) {
  failureCause_ = cause;
  Discard();
  return false;
}

void FileReplacement::Discard() {
  if (syncer_.joinable()) syncer_.join();
  if (stream_) CloseFileStream(stream_);
  stream_ = nullptr;
  if (!temporaryPath_.empty()) unlink(temporaryPath_.c_str());
  temporaryPath_.clear();
  if (heldFile_ >= 0) close(heldFile_);
  heldFile_ = -1;
}

bool FileReplacement::Open(const std::string& path) {
  Discard();
  syncFailure_ = 0;
  path_ = path;
  struct stat info;
  if (lstat(path.c_str(), &info) == 0) {
    if (S_ISDIR(info.st_mode)) return Fail(EISDIR);
    if (!S_ISREG(info.st_mode) && !S_ISLNK(info.st_mode)) return Fail(EINVAL);
    if (S_ISLNK(info.st_mode) && !LinksToADocument(path)) return Fail(EINVAL);
    if (S_ISREG(info.st_mode) && !(info.st_mode & S_IWUSR)) return Fail(EACCES);
    // The lock that the file stream's writers take: a file held by one of
    // them is not replaced under it.
    heldFile_ = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (heldFile_ >= 0 && flock(heldFile_, LOCK_EX | LOCK_NB) != 0) return Fail(errno);
  }
  std::string pattern = FolderOf(path) + "/." + std::string(FileNameOf(path)) + ".XXXXXX";
  const int file = mkstemp(pattern.data());
  if (file < 0) return Fail(errno);
  temporaryPath_ = pattern;
  const bool modeSet = fchmod(file, NewFileMode()) == 0;
  const int cause = errno;
  close(file);
  if (!modeSet) return Fail(cause);
  int openCause = 0;
  stream_ = OpenFileStream(temporaryPath_, kStreamCreate, 0, &openCause);
  if (!stream_) return Fail(openCause);
  return true;
}

bool FileReplacement::SyncSoFar() {
  if (!stream_ || stream_->file < 0 || syncing_) return false;
  if (syncer_.joinable()) syncer_.join();
  syncing_ = true;
  try {
    syncer_ = std::thread([this, file = stream_->file] {
      if (fdatasync(file) != 0 && syncFailure_ == 0) syncFailure_ = errno;
      syncing_ = false;
    });
  } catch (const std::system_error&) {
    syncing_ = false;  // no thread to spare: Commit syncs it all
  }
  return true;
}

bool FileReplacement::Commit() {
  if (!stream_) return Fail(EBADF);
  if (syncer_.joinable()) syncer_.join();
  if (syncFailure_ != 0) return Fail(syncFailure_);
  const bool synced = SyncFileStream(stream_) == kStreamOk;
  const int syncCause = StreamFailureCause(stream_);
  int closeCause = 0;
  const bool closed = CloseFileStream(stream_, &closeCause) == kStreamOk;
  stream_ = nullptr;
  if (!synced) return Fail(syncCause);
  if (!closed) return Fail(closeCause);
  if (std::rename(temporaryPath_.c_str(), path_.c_str()) != 0) return Fail(errno);
  temporaryPath_.clear();
  // The rename itself reaches the disk with the folder.
  const int folder = open(FolderOf(path_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
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
      // closed here instead
    }
  }
  Discard();
  return true;
}
