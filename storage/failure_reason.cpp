#include "storage/failure_reason.h"

#include <cerrno>
#include <cstring>

std::string FailureReason(int cause, std::string_view name) {
  const std::string file(name);
  switch (cause) {
    case ENOENT:
    case ENOTDIR: return "the folder does not exist";
    case EACCES:
    case EPERM:
    case EROFS: return "the folder or " + file + " is read-only";
    case EWOULDBLOCK: return "another program is writing " + file;
    case ENOSPC:
    case EDQUOT: return "the disk is full";
    case EISDIR:
    case EINVAL: return file + " is not a regular file";
    default: return std::strerror(cause);
  }
}
