#include "infotable/kept_findings.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string_view>

#include "storage/file_replacement.h"

namespace {

// Version 2 fingerprints eight bytes at a step; findings kept by version 1
// read as not kept, and the document is checked again.
constexpr std::string_view kMagic = "form13f kept findings 2\n";

// FNV-1a over the document's bytes, eight at a step: each step is a
// bijection of the hash for a given word, so a document that changed in any
// one word is always told apart; a step takes about as long as a byte's did,
// which at EDGAR's largest document is 30 ms against 160.
std::optional<uint64_t> Fingerprint(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return std::nullopt;
  uint64_t hash = 0xcbf29ce484222325u;
  constexpr uint64_t kPrime = 0x100000001b3u;
  char block[1 << 16];
  for (size_t n; (n = std::fread(block, 1, sizeof block, file)) > 0;) {
    size_t i = 0;
    for (uint64_t word; i + sizeof word <= n; i += sizeof word) {
      std::memcpy(&word, block + i, sizeof word);
      hash = (hash ^ word) * kPrime;
    }
    for (; i < n; ++i) hash = (hash ^ static_cast<unsigned char>(block[i])) * kPrime;
  }
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) return std::nullopt;
  return hash;
}

// Numbers and texts, each text after its length, so that any bytes pass.
void PutNumber(std::string& out, uint64_t number) { out += std::to_string(number) + "\n"; }
void PutText(std::string& out, std::string_view text) {
  PutNumber(out, text.size());
  out += text;
}

class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {}
  bool Number(uint64_t& number) {
    const size_t end = text_.find('\n', at_);
    if (end == std::string_view::npos || end == at_ || end - at_ > 20) return false;
    number = 0;
    for (size_t i = at_; i < end; ++i) {
      if (text_[i] < '0' || text_[i] > '9') return false;
      number = number * 10 + static_cast<uint64_t>(text_[i] - '0');
    }
    at_ = end + 1;
    return true;
  }
  bool Text(std::string& text) {
    uint64_t size = 0;
    if (!Number(size) || size > text_.size() - at_) return false;
    text.assign(text_.substr(at_, size));
    at_ += size;
    return true;
  }
  bool AtEnd() const { return at_ == text_.size(); }

 private:
  std::string_view text_;
  size_t at_ = 0;
};

}  // namespace

std::string KeptFindingsPath(const std::string& documentPath) {
  const size_t slash = documentPath.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : documentPath.substr(0, slash + 1);
  return folder + "." + std::string(FileNameOf(documentPath)) + ".findings";
}

FileFailure WriteKeptFindings(const std::string& documentPath, bool hadLines, const std::string& status,
                              const std::vector<std::string>& groups, const PreviewTable& table) {
  const std::optional<uint64_t> fingerprint = Fingerprint(documentPath);
  if (!fingerprint) return FileFailure(EIO);
  std::string out(kMagic);
  PutNumber(out, *fingerprint);
  PutNumber(out, hadLines);
  PutText(out, status);
  PutNumber(out, groups.size());
  for (const std::string& group : groups) PutText(out, group);
  PutNumber(out, table.withFigi);
  PutText(out, table.cells);
  PutNumber(out, table.rowStarts.size());
  for (size_t start : table.rowStarts) PutNumber(out, start);
  PutNumber(out, table.widest.size());
  for (const PreviewTable::Widest& column : table.widest)
    for (const auto& [width, row] : column) {
      PutNumber(out, width);
      PutNumber(out, row);
    }
  FileReplacement kept;
  if (const FileFailure failure = kept.Open(KeptFindingsPath(documentPath))) return failure;
  if (const FileFailure failure = kept.Write(out)) return failure;
  return kept.Commit();
}

std::optional<KeptFindings> ReadKeptFindings(const std::string& documentPath) {
  std::ifstream file(KeptFindingsPath(documentPath), std::ios::binary);
  if (!file) return std::nullopt;
  std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (file.bad() || text.compare(0, kMagic.size(), kMagic) != 0) return std::nullopt;
  Reader reader(std::string_view(text).substr(kMagic.size()));
  KeptFindings findings;
  uint64_t fingerprint = 0, flag = 0, count = 0;
  if (!reader.Number(fingerprint) || fingerprint != Fingerprint(documentPath)) return std::nullopt;
  if (!reader.Number(flag) || !reader.Text(findings.status) || !reader.Number(count)) return std::nullopt;
  findings.hadLines = flag != 0;
  for (uint64_t i = 0; i < count; ++i)
    if (!reader.Text(findings.groups.emplace_back())) return std::nullopt;
  PreviewTable& table = findings.table;
  if (!reader.Number(flag) || !reader.Text(table.cells) || !reader.Number(count) || count == 0)
    return std::nullopt;
  table.withFigi = flag != 0;
  table.rowStarts = {0};
  for (uint64_t i = 0; i < count; ++i) {
    uint64_t start = 0;
    if (!reader.Number(start) || start > table.cells.size() || start < table.rowStarts.back())
      return std::nullopt;
    table.rowStarts.push_back(start);
  }
  if (table.rowStarts.size() > 1) table.rowStarts.erase(table.rowStarts.begin());  // the first read was 0
  if (table.rowStarts.front() != 0 || table.rowStarts.back() != table.cells.size()) return std::nullopt;
  if (!reader.Number(count) || count > 64) return std::nullopt;
  table.widest.resize(count);
  for (PreviewTable::Widest& column : table.widest)
    for (auto& [width, row] : column) {
      uint64_t w = 0, r = 0;
      if (!reader.Number(w) || !reader.Number(r)) return std::nullopt;
      width = static_cast<uint32_t>(w);
      row = static_cast<uint32_t>(r);
    }
  if (!reader.AtEnd()) return std::nullopt;
  return findings;
}
