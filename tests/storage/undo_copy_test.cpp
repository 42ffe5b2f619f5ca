#include "storage/undo_copy.h"

#include <gtest/gtest.h>

#include "storage/file_replacement.h"
#include "tests/support/temp_dir.h"

namespace {

void Replace(const std::string& path, const std::string& text) {
  FileReplacement replacement;
  ASSERT_FALSE(replacement.Open(path));
  ASSERT_FALSE(replacement.Write(text));
  ASSERT_FALSE(replacement.Commit());
}

TEST(UndoCopy, TheReplacedFileComesBackOnceAndOnlyAfterAReplacement) {
  TempDir dir;
  const std::string path = dir.File("tev_13f.xml");
  EXPECT_FALSE(PrepareUndoCopy(path)) << "nothing to keep is no failure";
  Replace(path, "first");
  SettleUndoCopy(path, true);
  EXPECT_FALSE(HasUndoCopy(path)) << "the first document replaced none";

  ASSERT_FALSE(PrepareUndoCopy(path));
  SettleUndoCopy(path, false);
  EXPECT_FALSE(HasUndoCopy(path)) << "no replacement, nothing to undo";

  ASSERT_FALSE(PrepareUndoCopy(path));
  Replace(path, "second");
  SettleUndoCopy(path, true);
  ASSERT_TRUE(HasUndoCopy(path));
  EXPECT_EQ(UndoCopyPath(path), dir.File(".tev_13f.xml.undo"));
  EXPECT_FALSE(PutBackUndoCopy(path));
  EXPECT_EQ(ReadFile(path), "first");
  EXPECT_FALSE(HasUndoCopy(path));
  EXPECT_EQ(PutBackUndoCopy(path), ENOENT);
  EXPECT_EQ(ReadFile(path), "first");
}

}  // namespace
