// The entries of a zip archive, the container of .xlsx and .ods workbooks,
// read in pieces under one bound on what they inflate to, so that a small
// file that expands without end (a zip bomb) is refused, not read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "infotable/refusal.h"

struct zip;

// What every entry of one workbook may inflate to, together: far more than
// the XML of a table of EDGAR's largest size needs.
constexpr uint64_t kWorkbookInflatedLimit = uint64_t{1} << 30;

class ZipEntries {
 public:
  explicit ZipEntries(uint64_t limit = kWorkbookInflatedLimit) : limit_(limit) {}
  ZipEntries(const ZipEntries&) = delete;
  ZipEntries& operator=(const ZipEntries&) = delete;
  ~ZipEntries();

  // Opens the archive at `path`; refused, with why, when it is no zip or a
  // damaged one.
  Refusal Open(const std::string& path);
  bool Has(const std::string& name) const;
  // Hands the entry's bytes to `piece` in order until it returns false;
  // refused when the entry is missing, encrypted or damaged, or when the
  // bound is passed.
  Refusal Read(const std::string& name, const std::function<bool(std::string_view)>& piece);
  // The whole entry, for a small one (a manifest): refused past `most` bytes.
  Refusal ReadAll(const std::string& name, size_t most, std::string& bytes);

 private:
  zip* archive_ = nullptr;
  const uint64_t limit_;
  uint64_t inflated_ = 0;
};
