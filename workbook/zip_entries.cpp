#include "workbook/zip_entries.h"

#include <zip.h>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

std::string ZipError(int code) {
  zip_error_t error;
  zip_error_init_with_code(&error, code);
  std::string text = zip_error_strerror(&error);
  zip_error_fini(&error);
  return text;
}

std::string BoundText(uint64_t limit) {
  return "expands to more than " + std::to_string(limit >> 20) +
         " MB, more than a table of EDGAR's largest size needs: a damaged file or a zip bomb";
}

}  // namespace

ZipEntries::~ZipEntries() {
  if (archive_) zip_discard(archive_);
}

Refusal ZipEntries::Open(const std::string& path) {
  int code = 0;
  archive_ = zip_open(path.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
  if (archive_) return std::nullopt;
  if (code == ZIP_ER_NOZIP) {
    // One that starts as a zip and has no end, which lists its parts, was cut off.
    char head[4] = {};
    FILE* file = std::fopen(path.c_str(), "rb");
    const bool started = file && std::fread(head, 1, 4, file) == 4 && std::memcmp(head, "PK\x03\x04", 4) == 0;
    if (file) std::fclose(file);
    return std::string(started
                           ? "is a damaged or cut-off zip archive: its end, which lists its parts, is missing"
                           : "is no zip archive");
  }
  if (code == ZIP_ER_OPEN || code == ZIP_ER_READ) return "can't be read: " + ZipError(code);
  return "is a damaged or cut-off zip archive (" + ZipError(code) + ")";
}

bool ZipEntries::Has(const std::string& name) const {
  return archive_ && zip_name_locate(archive_, name.c_str(), 0) >= 0;
}

Refusal ZipEntries::Read(const std::string& name, const std::function<bool(std::string_view)>& piece) {
  const zip_int64_t index = zip_name_locate(archive_, name.c_str(), 0);
  if (index < 0) return "lacks its part " + name;
  zip_stat_t stat;
  if (zip_stat_index(archive_, static_cast<zip_uint64_t>(index), 0, &stat) == 0 &&
      (stat.valid & ZIP_STAT_ENCRYPTION_METHOD) && stat.encryption_method != ZIP_EM_NONE)
    return std::string("is protected by a password: save it without one");
  std::unique_ptr<zip_file_t, int (*)(zip_file_t*)> file(
      zip_fopen_index(archive_, static_cast<zip_uint64_t>(index), 0), zip_fclose);
  if (!file) return "has a part that can't be read, " + name + " (" + zip_strerror(archive_) + ")";
  char buffer[1 << 16];
  for (;;) {
    const zip_int64_t read = zip_fread(file.get(), buffer, sizeof buffer);
    if (read < 0)
      return "is damaged: its part " + name + " can't be inflated (" + zip_file_strerror(file.get()) + ")";
    if (read == 0) return std::nullopt;
    inflated_ += static_cast<uint64_t>(read);
    if (inflated_ > limit_) return BoundText(limit_);
    if (!piece(std::string_view(buffer, static_cast<size_t>(read)))) return std::nullopt;
  }
}

Refusal ZipEntries::ReadAll(const std::string& name, size_t most, std::string& bytes) {
  bytes.clear();
  bool tooLarge = false;
  Refusal refusal = Read(name, [&](std::string_view piece) {
    bytes.append(piece);
    tooLarge = bytes.size() > most;
    return !tooLarge;
  });
  if (!refusal && tooLarge) return "is damaged: its part " + name + " is larger than any workbook's";
  return refusal;
}
