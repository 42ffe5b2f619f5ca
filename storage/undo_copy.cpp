#include "storage/undo_copy.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "storage/file_replacement.h"

namespace {

std::string Beside(const std::string& path, const char* suffix) {
  const std::string_view name = FileNameOf(path);
  return path.substr(0, path.size() - name.size()) + "." + std::string(name) + suffix;
}

std::string PendingPath(const std::string& path) { return Beside(path, ".undo-pending"); }

}  // namespace

std::string UndoCopyPath(const std::string& path) { return Beside(path, ".undo"); }

FileFailure PrepareUndoCopy(const std::string& path) {
  const std::string pending = PendingPath(path);
  unlink(pending.c_str());  // left by a capture that was cut off
  if (link(path.c_str(), pending.c_str()) == 0 || errno == ENOENT) return std::nullopt;
  return errno;
}

void SettleUndoCopy(const std::string& path, bool replaced) {
  const std::string pending = PendingPath(path);
  if (replaced && access(pending.c_str(), F_OK) == 0) {
    std::rename(pending.c_str(), UndoCopyPath(path).c_str());
    return;
  }
  unlink(pending.c_str());
  // Nothing stood there before: nothing to put back, and the copy before
  // it is of no document that this capture replaced.
  if (replaced) unlink(UndoCopyPath(path).c_str());
}

bool HasUndoCopy(const std::string& path) { return access(UndoCopyPath(path).c_str(), F_OK) == 0; }

FileFailure PutBackUndoCopy(const std::string& path) {
  if (std::rename(UndoCopyPath(path).c_str(), path.c_str()) != 0) return errno;
  return std::nullopt;
}
