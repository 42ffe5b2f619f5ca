#include "storage/file_replacement.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "storage/failure_reason.h"
#include "tests/support/temp_dir.h"

namespace {

size_t FilesIn(const std::string& folder) {
  size_t count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++count;
  return count;
}

TEST(FileReplacement, TheOldFileStaysUntilTheNewOneIsCommitted) {
  TempDir dir;
  const std::string path = dir.File("document.xml");
  WriteFile(path, "old");
  {
    FileReplacement replacement;
    ASSERT_FALSE(replacement.Open(path));
    EXPECT_FALSE(replacement.Write("new, not committed"));
    EXPECT_EQ(ReadFile(path), "old");
  }
  EXPECT_EQ(ReadFile(path), "old");
  EXPECT_EQ(FilesIn(dir.path()), 1u) << "the temporary file is gone";

  FileReplacement replacement;
  EXPECT_FALSE(replacement.SyncSoFar()) << "nothing to sync before Open";
  ASSERT_FALSE(replacement.Open(path));
  EXPECT_FALSE(replacement.Write("new"));
  EXPECT_TRUE(replacement.SyncSoFar()) << "the first sync is begun at once";
  ASSERT_FALSE(replacement.Commit());
  EXPECT_EQ(ReadFile(path), "new");
  EXPECT_EQ(FilesIn(dir.path()), 1u);
}

// A secret's file and a scratch file are the owner's alone from their first
// byte; only a scratch file is never synced.
TEST(FileReplacement, EachUseGivesItsModeAndItsSyncs) {
  TempDir dir;
  const mode_t savedMask = umask(022);  // the usual mask: a shared file is 0644
  const struct {
    FileUse use;
    mode_t mode;
    bool synced;
  } cases[] = {{FileUse::kShared, 0644, true}, {FileUse::kOwnerOnly, 0600, true}, {FileUse::kScratch, 0600, false}};
  for (const auto& c : cases) {
    const std::string path = dir.File("file" + std::to_string(static_cast<int>(c.use)));
    FileReplacement replacement;
    ASSERT_FALSE(replacement.Open(path, c.use));
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
      struct stat info;
      ASSERT_EQ(stat(entry.path().c_str(), &info), 0);
      if (entry.path().filename().string()[0] == '.') {
        EXPECT_EQ(info.st_mode & 0777, c.mode) << "while written";
      }
    }
    EXPECT_FALSE(replacement.Write("text"));
    EXPECT_EQ(replacement.SyncSoFar(), c.synced);
    ASSERT_FALSE(replacement.Commit());
    struct stat info;
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, c.mode);
    EXPECT_EQ(ReadFile(path), "text");
  }
  umask(savedMask);
}

TEST(FileReplacement, WhatCannotBeReplacedGivesItsCause) {
  TempDir dir;
  WriteFile(dir.File("held.xml"), "held");
  FileReplacement holder;
  ASSERT_FALSE(holder.Open(dir.File("held.xml")));
  const struct {
    std::string path;
    int cause;
  } cases[] = {
      {dir.File("held.xml"), EWOULDBLOCK},
      {dir.File("missing/document.xml"), ENOENT},
      {dir.path(), EISDIR},
      {"/dev/null", EINVAL},
  };
  for (const auto& c : cases) {
    FileReplacement replacement;
    EXPECT_EQ(replacement.Open(c.path), c.cause) << c.path;
    EXPECT_EQ(replacement.Write("x"), c.cause) << "the first failure stays";
    EXPECT_EQ(replacement.Commit(), c.cause);
  }
  EXPECT_EQ(ReadFile(dir.File("held.xml")), "held");
}

TEST(FailureReason, CausesInPlainWords) {
  const struct {
    int cause;
    const char* words;
  } cases[] = {
      {ENOENT, "the folder does not exist"},
      {EACCES, "the folder or out.xml is read-only"},
      {EWOULDBLOCK, "another program is writing out.xml"},
      {ENOSPC, "the disk is full"},
      {EINVAL, "out.xml is not a regular file"},
      {EIO, "Input/output error"},
  };
  for (const auto& c : cases) EXPECT_EQ(FailureReason(c.cause, "out.xml"), c.words) << c.cause;
}

}  // namespace
