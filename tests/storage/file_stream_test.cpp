#include "storage/file_stream.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <cerrno>

#include "tests/support/temp_dir.h"

namespace {

std::string Pattern(size_t length) {
  std::string text(length, '\0');
  for (size_t i = 0; i < length; ++i) text[i] = static_cast<char>('a' + (i * 7 + i / 13) % 26);
  return text;
}

uint64_t DiskSize(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 ? static_cast<uint64_t>(info.st_size) : ~uint64_t{0};
}

std::string ReadStream(const std::string& path, uint8_t mode, uint16_t key = 0) {
  FileStream* stream = OpenFileStream(path, mode, key);
  if (!stream) return "<open failed>";
  std::string text;
  char chunk[1000];
  int64_t n;
  while ((n = ReadBytes(stream, chunk, sizeof chunk)) > 0) text.append(chunk, static_cast<size_t>(n));
  if (n < 0) text = n == kStreamReadFailed ? "<read failed>" : "<other failure>";
  CloseFileStream(stream);
  return text;
}

TEST(FileStream, WritesWholeBlocksAndKeepsTheEdgesBuffered) {
  TempDir dir;
  const std::string path = dir.File("out.bin");
  FileStream* stream = OpenFileStream(path, kStreamCreate);
  ASSERT_NE(stream, nullptr);
  const std::string text = Pattern(20000);
  EXPECT_EQ(WriteText(stream, text.substr(0, 4095)), 4095);
  EXPECT_EQ(DiskSize(path), 0u) << "a partial block stays buffered until the position leaves it";
  EXPECT_EQ(WriteText(stream, text.substr(4095, 2)), 2);
  EXPECT_EQ(DiskSize(path), 4096u);
  EXPECT_EQ(WriteText(stream, text.substr(4097, 4096 * 3)), 4096 * 3);
  EXPECT_EQ(DiskSize(path), 4096u * 4) << "whole blocks go straight to the file, the last byte stays";
  SeekFileStream(stream, 8192);  // back into a block written straight: the file's bytes are read again
  EXPECT_EQ(WriteText(stream, "X"), 1);
  SeekFileStream(stream, 4097 + 4096 * 3);
  EXPECT_EQ(WriteText(stream, text.substr(4097 + 4096 * 3)), static_cast<int64_t>(20000 - 4097 - 4096 * 3));
  EXPECT_EQ(CloseFileStream(stream), kStreamOk);
  std::string expected = text;
  expected[8192] = 'X';
  EXPECT_EQ(ReadFile(path), expected);
}

class BlockBoundary : public ::testing::TestWithParam<size_t> {};

TEST_P(BlockBoundary, RoundTripsPlainScrambledAndCompressed) {
  TempDir dir;
  const std::string text = Pattern(GetParam());
  struct {
    uint8_t mode;
    uint16_t key;
  } const cases[] = {{kStreamCreate, 0}, {kStreamCreate, 0x3A5C}, {kStreamCreate | kStreamCompressed, 0}};
  for (const auto& c : cases) {
    const std::string path = dir.File("round.bin");
    FileStream* stream = OpenFileStream(path, c.mode, c.key);
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(WriteText(stream, text), static_cast<int64_t>(text.size()));
    EXPECT_EQ(CloseFileStream(stream), kStreamOk);
    if (c.mode == kStreamCreate) {
      EXPECT_EQ(DiskSize(path), text.size());
    }
    if (c.key != 0 && !text.empty()) {
      EXPECT_NE(ReadFile(path), text) << "a key scrambles the stored bytes";
    }
    const uint8_t readMode = kStreamRead | (c.mode & kStreamCompressed);
    EXPECT_EQ(ReadStream(path, readMode, c.key), text) << "mode " << int(c.mode) << " key " << c.key;
  }
}

INSTANTIATE_TEST_SUITE_P(Sizes, BlockBoundary, ::testing::Values(0, 1, 4095, 4096, 4097, 8192, 10000));

TEST(FileStream, CreateCutsALongerFileAndUpdateKeepsItsTail) {
  TempDir dir;
  const std::string path = dir.File("existing.txt");
  WriteFile(path, std::string(6000, 'x'));
  FileStream* stream = OpenFileStream(path, kStreamUpdate);
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(stream->size, 6000u);
  WriteText(stream, "abc");
  EXPECT_EQ(CloseFileStream(stream), kStreamOk);
  EXPECT_EQ(ReadFile(path), "abc" + std::string(5997, 'x'));

  stream = OpenFileStream(path, kStreamCreate);
  ASSERT_NE(stream, nullptr);
  WriteText(stream, "short");
  EXPECT_EQ(CloseFileStream(stream), kStreamOk);
  EXPECT_EQ(ReadFile(path), "short");
}

TEST(FileStream, TemporaryFileIsCreatedOnlyByAFlushAndDeletedAtClose) {
  TempDir dir;
  const std::string path = dir.File("scratch.tmp");
  FileStream* stream = OpenFileStream(path, kStreamTemporary);
  ASSERT_NE(stream, nullptr);
  WriteText(stream, "less than a block");
  EXPECT_EQ(CloseFileStream(stream), kStreamOk);
  EXPECT_EQ(access(path.c_str(), F_OK), -1) << "never created";

  stream = OpenFileStream(path, kStreamTemporary);
  WriteText(stream, Pattern(5000));
  EXPECT_EQ(DiskSize(path), 4096u);
  EXPECT_EQ(CloseFileStream(stream), kStreamOk);
  EXPECT_EQ(access(path.c_str(), F_OK), -1) << "deleted at close";
}

TEST(FileStream, ReadOnlyFileIsRefusedWithoutPadAndReopenedWithIt) {
  TempDir dir;
  const std::string path = dir.File("locked.xml");
  WriteFile(path, "original");
  chmod(path.c_str(), 0444);

  int cause = 0;
  EXPECT_EQ(OpenFileStream(path, kStreamCreate, 0, &cause), nullptr);
  EXPECT_EQ(cause, EACCES);
  EXPECT_EQ(ReadFile(path), "original");

  FileStream* stream = OpenFileStream(path, kStreamCreate | kStreamPad);
  ASSERT_NE(stream, nullptr);
  struct stat info;
  stat(path.c_str(), &info);
  EXPECT_TRUE(info.st_mode & S_IWUSR) << "cleared while the stream is open";
  WriteText(stream, "replaced");
  EXPECT_EQ(CloseFileStream(stream), kStreamOk);
  stat(path.c_str(), &info);
  EXPECT_EQ(info.st_mode & 0777, 0444u) << "set again at close";
  EXPECT_EQ(ReadFile(path), "replaced");
}

TEST(FileStream, FileHeldByAnotherStreamIsNotOpenedNorCut) {
  TempDir dir;
  const std::string path = dir.File("held.xml");
  WriteFile(path, "kept");
  FileStream* holder = OpenFileStream(path, kStreamUpdate);
  ASSERT_NE(holder, nullptr);
  int cause = 0;
  EXPECT_EQ(OpenFileStream(path, kStreamCreate, 0, &cause), nullptr);
  EXPECT_EQ(cause, EWOULDBLOCK);
  EXPECT_EQ(ReadFile(path), "kept");
  CloseFileStream(holder);
}

TEST(FileStream, MissingFolderFailsToOpen) {
  TempDir dir;
  int cause = 0;
  EXPECT_EQ(OpenFileStream(dir.File("no/such/folder.xml"), kStreamCreate, 0, &cause), nullptr);
  EXPECT_EQ(cause, ENOENT);
  EXPECT_EQ(OpenFileStream(dir.File("absent.xml"), kStreamRead), nullptr);
}

TEST(FileStream, FullDiskFailsTheWriteThatFlushesAndTheClose) {
  FileStream* stream = OpenFileStream("/dev/full", kStreamCreate);
  if (!stream) GTEST_SKIP() << "/dev/full cannot be opened here";
  EXPECT_EQ(WriteText(stream, Pattern(4096)), 4096) << "still buffered";
  EXPECT_EQ(WriteText(stream, "x"), kStreamOpenOrWriteFailed);
  EXPECT_EQ(StreamError(stream), kStreamOpenOrWriteFailed);
  EXPECT_EQ(StreamFailureCause(stream), ENOSPC);
  EXPECT_EQ(WriteText(stream, ""), kStreamOpenOrWriteFailed) << "an empty text reports the last code";
  EXPECT_EQ(CloseFileStream(stream), kStreamCloseFailed);
}

TEST(FileStream, EachStreamKeepsItsOwnErrorAndCause) {
  TempDir dir;
  FileStream* full = OpenFileStream("/dev/full", kStreamCreate);
  if (!full) GTEST_SKIP() << "/dev/full cannot be opened here";
  FileStream* good = OpenFileStream(dir.File("good.xml"), kStreamCreate);
  ASSERT_NE(good, nullptr);
  EXPECT_EQ(WriteText(full, Pattern(4097)), kStreamOpenOrWriteFailed);
  int cause = 0;
  EXPECT_EQ(OpenFileStream(dir.File("no/such.xml"), kStreamCreate, 0, &cause), nullptr);
  EXPECT_EQ(WriteText(good, "fine"), 4);
  EXPECT_EQ(StreamFailureCause(full), ENOSPC) << "neither another stream nor a failed open overwrites it";
  EXPECT_EQ(StreamError(full), kStreamOpenOrWriteFailed);
  EXPECT_EQ(StreamError(good), kStreamOk);
  EXPECT_EQ(CloseFileStream(full, &cause), kStreamCloseFailed);
  EXPECT_EQ(cause, ENOSPC);
  EXPECT_EQ(CloseFileStream(good), kStreamOk);
}

TEST(FileStream, EmptyWriteGivesZeroAfterSuccess) {
  TempDir dir;
  FileStream* stream = OpenFileStream(dir.File("e"), kStreamCreate);
  EXPECT_EQ(WriteText(stream, ""), 0);
  EXPECT_EQ(WriteFormattedText(stream, "%s=%d;%u", "n", -3, 7u), 6);
  EXPECT_EQ(CloseFileStream(stream), kStreamOk);
  EXPECT_EQ(ReadFile(dir.File("e")), "n=-3;7");
}

TEST(FileStream, PadFillsAGapWithZeros) {
  TempDir dir;
  const std::string path = dir.File("gap.bin");
  FileStream* stream = OpenFileStream(path, kStreamCreate | kStreamPad);
  WriteText(stream, "ab");
  SeekFileStream(stream, 9000);
  WriteText(stream, "z");
  EXPECT_EQ(CloseFileStream(stream), kStreamOk);
  EXPECT_EQ(ReadFile(path), "ab" + std::string(8998, '\0') + "z");
}

TEST(FileStream, CompressedRecordsCarryTheirLittleEndianLength) {
  TempDir dir;
  const std::string path = dir.File("packed.z");
  const std::string text = Pattern(5000);
  FileStream* stream = OpenFileStream(path, kStreamCreate | kStreamCompressed);
  WriteText(stream, text);
  EXPECT_EQ(CloseFileStream(stream), kStreamOk);

  const std::string file = ReadFile(path);
  std::string unpacked;
  size_t offset = 0;
  std::vector<size_t> blockSizes;
  while (offset < file.size()) {
    const size_t length =
        static_cast<unsigned char>(file[offset]) | static_cast<unsigned char>(file[offset + 1]) << 8;
    std::string block(4096, '\0');
    uLongf size = block.size();
    ASSERT_EQ(uncompress(reinterpret_cast<Bytef*>(&block[0]), &size,
                         reinterpret_cast<const Bytef*>(file.data() + offset + 2), length),
              Z_OK);
    blockSizes.push_back(size);
    unpacked.append(block, 0, size);
    offset += 2 + length;
  }
  EXPECT_EQ(offset, file.size());
  EXPECT_EQ(blockSizes, (std::vector<size_t>{4096, 904}));
  EXPECT_EQ(unpacked, text);
}

TEST(FileStream, IncompressibleDataIsNotCutAtClose) {
  TempDir dir;
  const std::string path = dir.File("noise.z");
  std::string noise(9000, '\0');
  uint32_t state = 12345;
  for (char& c : noise) c = static_cast<char>((state = state * 1103515245 + 12345) >> 16);
  FileStream* stream = OpenFileStream(path, kStreamCreate | kStreamCompressed);
  WriteText(stream, noise);
  EXPECT_EQ(CloseFileStream(stream), kStreamOk);
  EXPECT_GT(DiskSize(path), noise.size());
  EXPECT_EQ(ReadStream(path, kStreamRead | kStreamCompressed), noise);
}

TEST(FileStream, DamagedCompressedRecordsAreReadFailures) {
  TempDir dir;
  const std::string path = dir.File("bad.z");
  std::string big(8192, 'q');
  std::string packed(compressBound(big.size()), '\0');
  uLongf packedSize = packed.size();
  compress(reinterpret_cast<Bytef*>(&packed[0]), &packedSize, reinterpret_cast<const Bytef*>(big.data()),
           big.size());
  packed.resize(packedSize);
  const std::string oversized = std::string{char(packedSize & 0xFF), char(packedSize >> 8)} + packed;

  const std::string cases[] = {
      std::string("\x05", 1),  // half a length
      std::string("\x10\x00"
                  "abc",
                  5),                  // shorter than its length
      std::string("\x04\x00zzzz", 6),  // not zlib data
      oversized,                       // more than one block
  };
  // Only the last record may hold less than a block, and none holds nothing.
  const auto record = [](const std::string& data) {
    std::string packed(compressBound(data.size()), '\0');
    uLongf size = packed.size();
    compress(reinterpret_cast<Bytef*>(&packed[0]), &size, reinterpret_cast<const Bytef*>(data.data()),
             data.size());
    return std::string{char(size & 0xFF), char(size >> 8)} + packed.substr(0, size);
  };
  const std::string laterCases[] = {record("short") + record(std::string(4096, 'a')), record("")};
  for (const std::string& content : cases) {
    WriteFile(path, content);
    EXPECT_EQ(ReadStream(path, kStreamRead | kStreamCompressed), "<read failed>");
  }
  for (const std::string& content : laterCases) {
    WriteFile(path, content);
    EXPECT_EQ(ReadStream(path, kStreamRead | kStreamCompressed), "<read failed>");
  }
}

TEST(FileStream, CompressedFilesAreWrittenStrictlyInSequence) {
  TempDir dir;
  const std::string path = dir.File("packed.z");
  for (uint8_t mode : {kStreamUpdate | kStreamCompressed, kStreamCreate | kStreamPad | kStreamCompressed}) {
    int cause = 0;
    EXPECT_EQ(OpenFileStream(path, mode, 0, &cause), nullptr) << int(mode);
    EXPECT_EQ(cause, EINVAL);
  }
  FileStream* stream = OpenFileStream(path, kStreamCreate | kStreamCompressed);
  WriteText(stream, "start");
  SeekFileStream(stream, 9000);  // a gap leaves a short record mid-file
  EXPECT_EQ(WriteText(stream, std::string(5000, 'x')), kStreamOpenOrWriteFailed);
  CloseFileStream(stream);
}

}  // namespace
