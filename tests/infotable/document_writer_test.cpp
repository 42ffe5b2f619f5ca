#include "infotable/document_writer.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "infotable/document.h"
#include "tests/support/small_filesystem.h"
#include "tests/support/temp_dir.h"

namespace {

TEST(DocumentWriter, TheDocumentIsItsHeadEntriesAndEndOnceFinished) {
  TempDir dir;
  const std::string path = dir.File("tev_13f.xml");
  WriteFile(path, "previous");
  FileReplacement document;
  ASSERT_FALSE(document.Open(path));
  DocumentWriter writer(document);
  const std::string entries(3 << 20, 'e');  // more than one sync's worth
  writer.Add(entries);
  writer.Add("last");
  EXPECT_EQ(ReadFile(path), "previous");
  EXPECT_FALSE(writer.Finish());
  EXPECT_EQ(ReadFile(path), FormatDocumentHead() + entries + "last" + FormatDocumentEnd());
}

TEST(DocumentWriter, AFullDiskFailsTheDocumentAndLeavesTheOldOne) {
  SmallFilesystem disk("64k", false);
  if (!disk.mounted()) GTEST_SKIP() << "no right to mount a tmpfs here";
  const std::string path = disk.File("tev_13f.xml");
  WriteFile(path, "previous");
  FileReplacement document;
  ASSERT_FALSE(document.Open(path));
  DocumentWriter writer(document);
  writer.Add(std::string(1 << 20, 'e'));
  EXPECT_TRUE(writer.failed());
  EXPECT_EQ(writer.Finish(), ENOSPC);
  EXPECT_EQ(ReadFile(path), "previous");
}

}  // namespace
