// A tmpfs of a given size mounted for one test: a full disk or a read-only
// folder that even root cannot write to. Needs the right to mount; tests skip
// without it.
#pragma once

#include <sys/mount.h>

#include <string>

#include "tests/support/temp_dir.h"

class SmallFilesystem {
 public:
  SmallFilesystem(const std::string& size, bool readOnly) {
    const std::string options = "size=" + size + (readOnly ? ",ro" : "");
    mounted_ = mount("tmpfs", dir_.path().c_str(), "tmpfs", readOnly ? MS_RDONLY : 0, options.c_str()) == 0;
  }
  ~SmallFilesystem() {
    if (mounted_) umount(dir_.path().c_str());
  }
  SmallFilesystem(const SmallFilesystem&) = delete;
  SmallFilesystem& operator=(const SmallFilesystem&) = delete;

  bool mounted() const { return mounted_; }
  std::string File(const std::string& name) const { return dir_.File(name); }

 private:
  TempDir dir_;
  bool mounted_ = false;
};
