#include "storage/scratch_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "tests/support/temp_dir.h"

namespace {

TEST(ScratchFolder, IsTheOwnersAloneUnderTmpdirOrSaysWhyNot) {
  TempDir dir;
  const char* saved = std::getenv("TMPDIR");
  const std::string savedTmpdir = saved ? saved : "";
  setenv("TMPDIR", dir.path().c_str(), 1);
  const std::string folder = MakeScratchFolder("form13f-test");
  ASSERT_EQ(folder.rfind(dir.path() + "/form13f-test-", 0), 0u) << folder;
  struct stat info;
  ASSERT_EQ(stat(folder.c_str(), &info), 0);
  EXPECT_TRUE(S_ISDIR(info.st_mode));
  EXPECT_EQ(info.st_mode & 0777, 0700u);
  EXPECT_NE(MakeScratchFolder("form13f-test"), folder) << "a new one each time";

  setenv("TMPDIR", dir.File("missing").c_str(), 1);
  errno = 0;
  EXPECT_EQ(MakeScratchFolder("form13f-test"), "");
  EXPECT_EQ(errno, ENOENT);
  if (saved) setenv("TMPDIR", savedTmpdir.c_str(), 1);
  else unsetenv("TMPDIR");
}

}  // namespace
