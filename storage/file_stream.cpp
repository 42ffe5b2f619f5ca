#include "storage/file_stream.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

namespace {

// Compressed records carry a 2-byte length; this bounds what one may hold.
constexpr size_t kCompressScratchSize = 61440;

uint8_t AccessKind(const FileStream& stream) { return stream.mode & kStreamAccessMask; }
bool IsRead(const FileStream& stream) { return AccessKind(stream) == kStreamRead; }
bool IsTemporary(const FileStream& stream) { return AccessKind(stream) == kStreamTemporary; }
bool IsCompressed(const FileStream& stream) { return stream.mode & kStreamCompressed; }
bool IsPadded(const FileStream& stream) { return stream.mode & kStreamPad; }

bool Fail(FileStream& stream, int cause) {
  stream.failureCause = cause;
  return false;
}

uint8_t ScrambleMask(const FileStream& stream, uint64_t position) {
  const uint64_t high = stream.key >> 8, low = stream.key & 0xFF;
  return static_cast<uint8_t>(high * position + low);
}

bool ReadFully(FileStream& stream, unsigned char* data, size_t count, uint64_t offset, size_t* done) {
  *done = 0;
  while (*done < count) {
    const ssize_t n = pread(stream.file, data + *done, count - *done, static_cast<off_t>(offset + *done));
    if (n < 0) {
      if (errno == EINTR) continue;
      return Fail(stream, errno);
    }
    if (n == 0) break;
    *done += static_cast<size_t>(n);
  }
  return true;
}

bool WriteFully(FileStream& stream, const unsigned char* data, size_t count, uint64_t offset) {
  size_t done = 0;
  while (done < count) {
    const ssize_t n = pwrite(stream.file, data + done, count - done, static_cast<off_t>(offset + done));
    if (n < 0) {
      if (errno == EINTR) continue;
      return Fail(stream, errno);
    }
    if (n == 0) return Fail(stream, ENOSPC);
    done += static_cast<size_t>(n);
  }
  return true;
}

bool IsRegularFile(int file) {
  struct stat info;
  return fstat(file, &info) == 0 && S_ISREG(info.st_mode);
}

// Opens the underlying file once. The read-only attribute is the owner write
// bit, tested here because root would otherwise write through it. "No other
// opener" is an advisory lock, taken before a file is cut so that a file held
// by another stream is never touched.
bool EnsureFile(FileStream& stream) {
  if (stream.bufferSize == 0 || stream.file >= 0) return true;
  const char* path = stream.name.c_str();
  int file;
  if (IsRead(stream)) {
    file = open(path, O_RDONLY | O_CLOEXEC);
    if (file < 0) return Fail(stream, errno);
    if (flock(file, LOCK_SH | LOCK_NB) != 0) {
      const int cause = errno;
      close(file);
      return Fail(stream, cause);
    }
  } else {
    struct stat info;
    if (stat(path, &info) == 0 && !(info.st_mode & S_IWUSR)) return Fail(stream, EACCES);
    file = open(path, O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (file < 0) return Fail(stream, errno);
    if (flock(file, LOCK_EX | LOCK_NB) != 0) {
      const int cause = errno;
      close(file);
      return Fail(stream, cause);
    }
    if (AccessKind(stream) != kStreamUpdate && IsRegularFile(file) && ftruncate(file, 0) != 0) {
      const int cause = errno;
      close(file);
      return Fail(stream, cause);
    }
  }
  stream.file = file;
  stream.fileCreated = true;
  return true;
}

bool FileLength(FileStream& stream, uint64_t* length) {
  struct stat info;
  if (fstat(stream.file, &info) != 0) return Fail(stream, errno);
  *length = S_ISREG(info.st_mode) ? static_cast<uint64_t>(info.st_size) : 0;
  return true;
}

bool WriteRecord(FileStream& stream) {
  std::unique_ptr<unsigned char[]> scratch(new (std::nothrow) unsigned char[kCompressScratchSize]);
  if (!scratch) return Fail(stream, ENOMEM);
  uLongf length = kCompressScratchSize - 2;
  if (compress(scratch.get() + 2, &length, stream.buffer.get(), stream.dirtyLength) != Z_OK ||
      length > 0xFFFF)
    return Fail(stream, EIO);
  scratch[0] = static_cast<unsigned char>(length & 0xFF);
  scratch[1] = static_cast<unsigned char>(length >> 8);
  if (!WriteFully(stream, scratch.get(), length + 2, stream.filePosition)) return false;
  stream.filePosition += length + 2;
  return true;
}

// Reads the record at the file position into the buffer. A clean end of file
// gives an empty block. A short, corrupt, empty or oversized record is a
// failure, and so is a record of less than a block that is not the file's
// last: only the last record is short.
bool ReadRecord(FileStream& stream, size_t* loaded) {
  *loaded = 0;
  unsigned char header[2];
  size_t got;
  if (!ReadFully(stream, header, 2, stream.filePosition, &got)) return false;
  if (got == 0) return true;
  if (got < 2) return Fail(stream, EIO);
  const size_t length = header[0] | (size_t{header[1]} << 8);
  std::unique_ptr<unsigned char[]> record(new (std::nothrow) unsigned char[length]);
  if (!record) return Fail(stream, ENOMEM);
  if (!ReadFully(stream, record.get(), length, stream.filePosition + 2, &got)) return false;
  if (got < length) return Fail(stream, EIO);
  uLongf unpacked = stream.bufferSize;
  if (uncompress(stream.buffer.get(), &unpacked, record.get(), length) != Z_OK || unpacked == 0)
    return Fail(stream, EIO);
  stream.filePosition += 2 + length;
  struct stat info;
  if (unpacked < stream.bufferSize &&
      (fstat(stream.file, &info) != 0 || static_cast<uint64_t>(info.st_size) > stream.filePosition))
    return Fail(stream, EIO);
  *loaded = unpacked;
  return true;
}

bool Flush(FileStream& stream) {
  if (stream.dirtyLength == 0) return true;
  if (!EnsureFile(stream)) return false;
  if (IsCompressed(stream)) {
    // Records hold whole blocks in sequence: a block after a gap, or one
    // written again, has no place in the file.
    if (stream.bufferBase != stream.recordsWritten * stream.bufferSize) return Fail(stream, ESPIPE);
    if (!WriteRecord(stream)) return false;
    if (stream.dirtyLength == stream.bufferSize)
      ++stream.recordsWritten;
    else
      stream.recordsWritten = ~uint64_t{0};  // a short block ends the file
  } else {
    if (IsPadded(stream) && stream.fileEnd < stream.bufferBase) {
      static const unsigned char zeros[kStreamBufferSize] = {};
      while (stream.fileEnd < stream.bufferBase) {
        const size_t n =
            static_cast<size_t>(std::min<uint64_t>(sizeof zeros, stream.bufferBase - stream.fileEnd));
        if (!WriteFully(stream, zeros, n, stream.fileEnd)) return false;
        stream.fileEnd += n;
      }
    }
    if (!WriteFully(stream, stream.buffer.get(), stream.dirtyLength, stream.bufferBase)) return false;
    stream.filePosition = stream.bufferBase + stream.dirtyLength;
  }
  stream.fileEnd = std::max(stream.fileEnd, stream.filePosition);
  stream.dirtyLength = 0;
  return true;
}

// Makes the buffer hold the block of the position. Bytes of the block that
// the file does not supply are zero, so nothing stale can reach the disk.
bool LoadBlock(FileStream& stream) {
  const uint64_t base = stream.position - stream.position % stream.bufferSize;
  if (base != stream.bufferBase) {
    if (!Flush(stream)) return false;
    size_t loaded = 0;
    if (IsCompressed(stream)) {
      if (IsRead(stream) && !ReadRecord(stream, &loaded)) return false;
    } else if (base < stream.fileEnd) {
      if (!EnsureFile(stream) || !ReadFully(stream, stream.buffer.get(), stream.bufferSize, base, &loaded))
        return false;
      stream.filePosition = base + loaded;
    }
    std::memset(stream.buffer.get() + loaded, 0, stream.bufferSize - loaded);
    stream.bufferBase = base;
    stream.loadedLength = static_cast<uint16_t>(loaded);
  }
  stream.bufferOffset = static_cast<uint16_t>(stream.position - base);
  return true;
}

void FreeStream(FileStream* stream) { delete stream; }

}  // namespace

int StreamError(const FileStream* stream) { return stream->error; }
int StreamFailureCause(const FileStream* stream) { return stream->failureCause; }

FileStream* OpenFileStream(const std::string& path, uint8_t mode, uint16_t key, int* failureCause) {
  const auto failed = [failureCause](int cause) -> FileStream* {
    if (failureCause) *failureCause = cause;
    return nullptr;
  };
  // A compressed file is read or written strictly in sequence: it can be
  // neither updated in place nor padded.
  if ((mode & kStreamCompressed) && ((mode & kStreamAccessMask) == kStreamUpdate || (mode & kStreamPad)))
    return failed(EINVAL);
  std::unique_ptr<FileStream> stream(new (std::nothrow) FileStream);
  if (!stream) return failed(ENOMEM);
  try {
    stream->name = path;
  } catch (const std::bad_alloc&) {
    return failed(ENOMEM);
  }
  stream->buffer.reset(new (std::nothrow) unsigned char[kStreamBufferSize]);
  if (!stream->buffer) return failed(ENOMEM);
  stream->mode = mode;
  stream->key = key;
  for (;;) {
    if (IsTemporary(*stream) || (EnsureFile(*stream) && FileLength(*stream, &stream->fileEnd))) {
      stream->size = stream->fileEnd;
      stream->bufferBase = kNoBlockLoaded;
      stream->error = kStreamOk;
      return stream.release();
    }
    if (stream->file >= 0) {
      close(stream->file);
      stream->file = -1;
    }
    struct stat info;
    if (stream->failureCause == EACCES && IsPadded(*stream) && !stream->restoreAttributes &&
        stat(path.c_str(), &info) == 0 && !(info.st_mode & S_IWUSR) &&
        chmod(path.c_str(), (info.st_mode & 07777) | S_IWUSR) == 0) {
      stream->savedAttributes = info.st_mode & 07777;
      stream->restoreAttributes = true;
      continue;
    }
    if (stream->restoreAttributes) chmod(path.c_str(), stream->savedAttributes);
    return failed(stream->failureCause);
  }
}

namespace {

// Writes the whole blocks of `bytes` that start at the position straight from
// the caller's memory, as Flush would write them from the buffer: plain
// streams only, and only where no block of the buffer is pending. Gives the
// bytes written.
size_t WriteWholeBlocks(FileStream& stream, const unsigned char* bytes, size_t count) {
  if (stream.key != 0 || IsCompressed(stream) || stream.position % stream.bufferSize != 0 ||
      count < stream.bufferSize || (IsPadded(stream) && stream.fileEnd < stream.position))
    return 0;
  if (stream.dirtyLength > 0 && !Flush(stream)) return 0;
  const size_t whole = count - count % stream.bufferSize;
  if (!EnsureFile(stream) || !WriteFully(stream, bytes, whole, stream.position)) return 0;
  // The buffer's block, if it lies among them, no longer holds the file's bytes.
  if (stream.bufferBase != kNoBlockLoaded && stream.bufferBase >= stream.position &&
      stream.bufferBase < stream.position + whole)
    stream.bufferBase = kNoBlockLoaded;
  stream.position += whole;
  stream.filePosition = stream.position;
  stream.fileEnd = std::max(stream.fileEnd, stream.position);
  stream.size = std::max(stream.size, stream.position);
  return whole;
}

}  // namespace

int64_t WriteText(FileStream* stream, std::string_view text) {
  if (text.empty()) return stream->error < 0 ? stream->error : 0;
  const unsigned char* bytes = reinterpret_cast<const unsigned char*>(text.data());
  size_t done = 0;
  while (done < text.size()) {
    if (const size_t direct = WriteWholeBlocks(*stream, bytes + done, text.size() - done)) {
      done += direct;
      continue;
    }
    if (!LoadBlock(*stream)) return stream->error = kStreamOpenOrWriteFailed;
    const size_t n = std::min<size_t>(text.size() - done, stream->bufferSize - stream->bufferOffset);
    unsigned char* target = stream->buffer.get() + stream->bufferOffset;
    if (stream->key == 0) {
      std::memcpy(target, bytes + done, n);
    } else {
      for (size_t i = 0; i < n; ++i)
        target[i] = bytes[done + i] ^ ScrambleMask(*stream, stream->position + i);
    }
    const uint16_t end = static_cast<uint16_t>(stream->bufferOffset + n);
    stream->dirtyLength = std::max(stream->dirtyLength, end);
    stream->loadedLength = std::max(stream->loadedLength, end);
    stream->position += n;
    stream->size = std::max(stream->size, stream->position);
    done += n;
  }
  stream->error = kStreamOk;
  return static_cast<int64_t>(done);
}

int64_t WriteFormattedText(FileStream* stream, const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  va_list copy;
  va_copy(copy, arguments);
  const int length = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string text;
  if (length > 0) {
    try {
      text.resize(static_cast<size_t>(length));
    } catch (const std::bad_alloc&) {
      va_end(arguments);
      Fail(*stream, ENOMEM);
      return stream->error = kStreamOpenOrWriteFailed;
    }
    std::vsnprintf(&text[0], text.size() + 1, format, arguments);
  }
  va_end(arguments);
  return WriteText(stream, text);
}

int64_t ReadBytes(FileStream* stream, void* data, uint64_t count) {
  unsigned char* out = static_cast<unsigned char*>(data);
  uint64_t done = 0;
  while (done < count) {
    if (!IsCompressed(*stream) && stream->position >= stream->size) break;
    if (!LoadBlock(*stream)) return stream->error = kStreamReadFailed;
    uint64_t available =
        IsCompressed(*stream)
            ? (stream->loadedLength > stream->bufferOffset ? stream->loadedLength - stream->bufferOffset : 0)
            : std::min<uint64_t>(stream->bufferSize - stream->bufferOffset, stream->size - stream->position);
    if (available == 0) break;
    const size_t n = static_cast<size_t>(std::min(available, count - done));
    const unsigned char* source = stream->buffer.get() + stream->bufferOffset;
    for (size_t i = 0; i < n; ++i)
      out[done + i] = stream->key ? source[i] ^ ScrambleMask(*stream, stream->position + i) : source[i];
    stream->position += n;
    done += n;
  }
  stream->error = kStreamOk;
  return static_cast<int64_t>(done);
}

void SeekFileStream(FileStream* stream, uint64_t position) { stream->position = position; }

int SyncFileStream(FileStream* stream) {
  bool ok = Flush(*stream);
  if (ok && stream->file >= 0 && fsync(stream->file) != 0) ok = Fail(*stream, errno);
  return stream->error = ok ? kStreamOk : kStreamCloseFailed;
}

int CloseFileStream(FileStream* stream, int* failureCause) {
  if (!stream) return kStreamOpenOrWriteFailed;
  if (IsTemporary(*stream)) {
    stream->error = kStreamOk;
    if (stream->fileCreated) {
      close(stream->file);
      if (unlink(stream->name.c_str()) != 0) {
        stream->failureCause = errno;
        stream->error = kStreamDeleteFailed;
      }
    }
  } else {
    bool ok = Flush(*stream);
    // A compressed stream's size counts data bytes and its file end counts
    // record bytes, so the two cannot be compared: such a file is never cut.
    if (ok && stream->file >= 0 && !IsCompressed(*stream) && stream->size < stream->fileEnd &&
        IsRegularFile(stream->file) && ftruncate(stream->file, static_cast<off_t>(stream->size)) != 0)
      ok = Fail(*stream, errno);
    if (stream->file >= 0 && close(stream->file) != 0 && ok) ok = Fail(*stream, errno);
    stream->error = ok ? kStreamOk : kStreamCloseFailed;
  }
  stream->file = -1;
  if (stream->restoreAttributes) chmod(stream->name.c_str(), stream->savedAttributes);
  const int result = stream->error;
  if (failureCause) *failureCause = stream->failureCause;
  FreeStream(stream);
  return result;
}
