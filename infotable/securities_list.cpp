#include "infotable/securities_list.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "infotable/text_forms.h"

namespace {

constexpr size_t kLineLength = 80;

std::string_view Trimmed(std::string_view field) {
  while (!field.empty() && field.back() == ' ') field.remove_suffix(1);
  while (!field.empty() && field.front() == ' ') field.remove_prefix(1);
  return field;
}

// The column from `first` to `last`, counted from 1 as the SEC counts them.
std::string_view Columns(std::string_view line, size_t first, size_t last) {
  return Trimmed(line.substr(first - 1, last - first + 1));
}

bool IsListLine(std::string_view line) {
  if (line.size() != kLineLength) return false;
  for (size_t i = 0; i < 9; ++i)
    if (!IsAsciiLetterOrDigit(line[i])) return false;
  return line[9] == ' ' || line[9] == '*';
}

// A CUSIP as a number: its nine characters, seven bits each, after a 1 bit
// that keeps it from being 0.
uint64_t CusipKey(std::string_view cusip) {
  uint64_t key = 1;
  for (char c : cusip) key = key << 7 | static_cast<unsigned char>(c);
  return key;
}

size_t Slot(uint64_t key, size_t mask) {
  return static_cast<size_t>((key * 0x9E3779B97F4A7C15u) >> 20) & mask;
}

}  // namespace

const ListedSecurity* SecuritiesList::Find(std::string_view cusip) const {
  if (cusipTable.empty() || cusip.size() != 9) return nullptr;
  const uint64_t key = CusipKey(cusip);
  const size_t mask = cusipTable.size() - 1;
  for (size_t slot = Slot(key, mask);; slot = (slot + 1) & mask) {
    if (cusipTable[slot].first == key) return &securities[cusipTable[slot].second];
    if (cusipTable[slot].first == 0) return nullptr;
  }
}

std::optional<std::string> ListQuarter(std::string_view fileName) {
  constexpr std::string_view kStart = "13flist";
  if (fileName.substr(0, kStart.size()) != kStart || fileName.size() < kStart.size() + 6) return std::nullopt;
  const std::string_view year = fileName.substr(kStart.size(), 4), rest = fileName.substr(kStart.size() + 4);
  for (char c : year)
    if (!IsDigit(c)) return std::nullopt;
  if (rest.size() < 2 || LowerAscii(rest[0]) != 'q' || rest[1] < '1' || rest[1] > '4') return std::nullopt;
  const std::string_view end = rest.substr(2);
  if (end != ".txt" && end != "-txt.txt") return std::nullopt;
  return std::string(year) + " Q" + rest[1];
}

Refusal ReadSecuritiesList(std::string_view text, std::string_view name, SecuritiesList& list) {
  list = SecuritiesList();
  list.name = std::string(name);
  list.quarter = ListQuarter(name).value_or("");
  if (text.substr(0, 5) == "%PDF-") return "is a PDF; the list's text file is the one to download";
  if (text.find('<') < 512 && text.find('>') < 512)
    return "is a web page or another document, not the list's text file";
  size_t lineNumber = 0;
  std::optional<uint32_t> lastSecurity;
  for (size_t at = 0; at < text.size();) {
    size_t end = text.find('\n', at);
    const bool lastLine = end == std::string_view::npos;
    if (lastLine) end = text.size();
    std::string_view line = text.substr(at, end - at);
    at = lastLine ? text.size() : end + 1;
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (Trimmed(line).empty()) continue;
    if (!IsListLine(line)) {
      if (lastLine && line.size() < kLineLength &&
          IsListLine(std::string(line) + std::string(kLineLength - line.size(), ' ')))
        return "ends in the middle of line " + std::to_string(lineNumber) +
               ": the file is cut; download it again";
      return "is not the list's layout: line " + std::to_string(lineNumber) +
             " is not an 80-character line that "
             "starts with a CUSIP";
    }
    ListedSecurity security;
    security.hasOptions = line[9] == '*';
    security.issuer = std::string(Columns(line, 11, 38));
    security.description = std::string(Columns(line, 41, 67));
    const std::string_view status = line.substr(67, 3);
    security.added = status == "*A*";
    security.deleted = status == "*D*";
    const bool option = security.description == "CALL" || security.description == "PUT";
    if (option)
      security.underlying = lastSecurity;
    else
      lastSecurity = static_cast<uint32_t>(list.securities.size());
    list.cusips.emplace_back(line.substr(0, 9));
    list.securities.push_back(std::move(security));
  }
  if (list.securities.empty()) return "holds no securities";
  size_t size = 2;
  while (size < 2 * list.cusips.size()) size *= 2;
  list.cusipTable.assign(size, {0, 0});
  for (uint32_t i = 0; i < list.cusips.size(); ++i) {
    const uint64_t key = CusipKey(list.cusips[i]);
    size_t slot = Slot(key, size - 1);
    while (list.cusipTable[slot].first != 0 && list.cusipTable[slot].first != key)
      slot = (slot + 1) & (size - 1);
    if (list.cusipTable[slot].first == 0)
      list.cusipTable[slot] = {key, i};  // a CUSIP listed twice: its first line
  }
  return std::nullopt;
}

Refusal LoadSecuritiesList(const std::string& path, SecuritiesList& list) {
  const int file = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (file < 0) return std::string("can't be read: ") + std::strerror(errno);
  struct stat info;
  if (fstat(file, &info) != 0 || !S_ISREG(info.st_mode)) {
    const bool folder = S_ISDIR(info.st_mode);
    close(file);
    return folder ? "is a folder, not the list's text file" : "is not a regular file, not the list's text file";
  }
  std::string text;
  char block[1 << 16];
  for (;;) {
    const ssize_t n = read(file, block, sizeof block);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      const int cause = errno;
      close(file);
      return std::string("can't be read: ") + std::strerror(cause);
    }
    if (n == 0) break;
    text.append(block, static_cast<size_t>(n));
  }
  close(file);
  const size_t slash = path.rfind('/');
  return ReadSecuritiesList(text, slash == std::string::npos ? path : path.substr(slash + 1), list);
}
