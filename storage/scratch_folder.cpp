#include "storage/scratch_folder.h"

#include <cstdlib>

std::string MakeScratchFolder(const std::string& prefix) {
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/" + prefix + "-XXXXXX";
  return mkdtemp(pattern.data()) ? pattern : std::string();
}
