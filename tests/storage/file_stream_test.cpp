#include "storage/file_stream.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "tests/support/temp_dir.h"

namespace {

std::string Pattern(size_t size) {
  std::string text(size, '\0');
  for (size_t i = 0; i < size; ++i) text[i] = static_cast<char>('a' + i * 7 % 26);
  return text;
}

// Each size writes its text in pieces of `piece` bytes: pieces that fill the
// buffer, cross it, and pass it by whole blocks.
TEST(FileStream, WritesEveryByteInOrderWhateverThePieces) {
  TempDir dir;
  for (const size_t size : {0, 1, 4095, 4096, 4097, 8192, 10000}) {
    for (const size_t piece : {1, 100, 4095, 4096, 9000}) {
      const std::string path = dir.File("out"), text = Pattern(size);
      const int file = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      ASSERT_GE(file, 0);
      {
        FileStream stream(file);
        for (size_t at = 0; at < size; at += piece)
          EXPECT_FALSE(stream.Write(std::string_view(text).substr(at, piece)));
        EXPECT_FALSE(stream.Flush());
      }
      close(file);
      EXPECT_EQ(ReadFile(path), text) << size << " in pieces of " << piece;
    }
  }
}

TEST(FileStream, AFullDiskFailsTheWriteThatReachesItAndEveryOneAfter) {
  const int file = open("/dev/full", O_WRONLY);
  ASSERT_GE(file, 0);
  FileStream stream(file);
  EXPECT_FALSE(stream.Write(Pattern(4095))) << "still buffered";
  EXPECT_EQ(stream.Write("xy"), ENOSPC);
  EXPECT_EQ(stream.Write(""), ENOSPC);
  EXPECT_EQ(stream.Flush(), ENOSPC);
  close(file);
}

}  // namespace
