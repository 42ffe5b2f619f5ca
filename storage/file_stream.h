// Buffered file stream: a file written (or read) through one 4096-byte block
// buffer with 64-bit positions. It never throws; every open, read, write and
// close leaves a signed error code and the cause of the last file system
// failure on its stream, to be read right after the call; an open that fails,
// and a close, give them to the caller.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

// Access kinds (bits 0-2 of the mode) and flags.
enum : uint8_t {
  kStreamRead = 0,       // existing file, others may read and write meanwhile
  kStreamUpdate = 1,     // read and write, created if missing, never cut
  kStreamCreate = 2,     // read and write, created or cut to zero length
  kStreamTemporary = 4,  // as create, created at the first flush, deleted at close
  kStreamAccessMask = 7,
  kStreamPad = 8,         // zero-fill gaps and short blocks; may clear read-only
  kStreamCompressed = 16  // every block stored as one zlib record, in sequence
};

// Error codes.
enum : int8_t {
  kStreamOk = 0,
  kStreamOpenOrWriteFailed = -2,
  kStreamReadFailed = -3,
  kStreamCloseFailed = -4,
  kStreamDeleteFailed = -5
};

constexpr uint16_t kStreamBufferSize = 4096;
constexpr uint64_t kNoBlockLoaded = ~uint64_t{0};

struct FileStream {
  uint64_t position = 0;  // logical position of the next byte
  uint64_t size = 0;      // logical length
  uint64_t bufferBase = kNoBlockLoaded;
  uint64_t filePosition = 0;  // where the next compressed record is read or written
  uint64_t fileEnd = 0;       // physical length as far as the stream knows
  uint32_t savedAttributes = 0;
  bool restoreAttributes = false;  // savedAttributes go back on the file at close
  std::unique_ptr<unsigned char[]> buffer;
  std::string name;
  int file = -1;             // opened lazily
  bool fileCreated = false;  // a temporary file exists on disk
  uint16_t bufferSize = kStreamBufferSize;
  uint16_t bufferOffset = 0;
  uint16_t dirtyLength = 0;
  uint16_t loadedLength = 0;  // bytes of the buffer that hold file data
  uint16_t key = 0;           // 0: bytes stored unchanged
  uint8_t mode = 0;
  uint64_t recordsWritten = 0;  // compressed: whole blocks written in sequence
  int8_t error = kStreamOk;     // the outcome of the last operation
  int failureCause = 0;         // the errno of the last file system failure
};

// Opens `path` with `mode` and byte-scrambling `key`. Gives the stream, or null
// for error code -2 with the cause in `failureCause` (EINVAL for compressed
// with update or pad, which a file of records in sequence cannot do; ENOMEM).
FileStream* OpenFileStream(const std::string& path, uint8_t mode, uint16_t key = 0,
                           int* failureCause = nullptr);

// Writes `text` at the position. Gives the number of bytes written, or -2 when
// a byte could not be stored (the bytes before it stay written). An empty text
// gives 0, or the negative code left by the previous operation.
int64_t WriteText(FileStream* stream, std::string_view text);

// printf-style formatting into a temporary text, then WriteText.
int64_t WriteFormattedText(FileStream* stream, const char* format, ...) __attribute__((format(printf, 2, 3)));

// Reads up to `count` bytes at the position into `data`. Gives the number read
// (0 at the end), or -3 when the file or a compressed record could not be read.
int64_t ReadBytes(FileStream* stream, void* data, uint64_t count);

// Moves the position; writing past the end leaves a gap (zero-filled with pad).
void SeekFileStream(FileStream* stream, uint64_t position);

// Writes out what is buffered and has the system put the file on the disk.
// Gives the error code: 0 or -4.
int SyncFileStream(FileStream* stream);

// Writes out what is buffered, finishes the file (cut to size, delete a
// temporary file, put back a cleared read-only attribute) and frees the
// stream. Gives the error code: 0, -4 or -5 (-2 for no stream), and the
// errno of the stream's last file system failure in `failureCause`.
int CloseFileStream(FileStream* stream, int* failureCause = nullptr);

// The outcome of the stream's last read, write or sync, and the errno of its
// last file system failure.
int StreamError(const FileStream* stream);
int StreamFailureCause(const FileStream* stream);
