#include "infotable/document_summary.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <string_view>

#include "infotable/text_forms.h"

namespace {

constexpr std::string_view kEntryStart = "<infoTable>";
constexpr std::string_view kValueStart = "<value>";
constexpr std::string_view kManagersStart = "<otherManager>";
constexpr std::string_view kDocumentStart = "<informationTable";
constexpr std::string_view kDocumentEnd = "</informationTable>";

// Adds the sequence numbers an otherManager element's text names ("1,3").
void AddManagers(std::string_view text, std::vector<unsigned long>& managers) {
  unsigned long number = 0;
  bool digits = false;
  for (char c : text) {
    if (IsDigit(c)) {
      number = number * 10 + static_cast<unsigned long>(c - '0');
      digits = true;
      if (number > 999999) return;  // no sequence number: the text is not ours
      continue;
    }
    if (digits) {
      const auto at = std::lower_bound(managers.begin(), managers.end(), number);
      if (at == managers.end() || *at != number) managers.insert(at, number);
    }
    number = 0;
    digits = false;
    if (c == '<') return;
  }
}

// Counts the entries and adds up the values of the tags that start in
// `text` before `end`.
void CountTags(std::string_view text, size_t end, DocumentSummary& summary) {
  for (size_t at = text.find('<'); at != std::string_view::npos && at < end; at = text.find('<', at + 1)) {
    if (text.compare(at, kEntryStart.size(), kEntryStart) == 0)
      ++summary.entries;
    else if (text.compare(at, kValueStart.size(), kValueStart) == 0)
      summary.valueTotal =
          SaturatingAdd(summary.valueTotal, ParseValue(text.substr(at + kValueStart.size())));
    else if (text.compare(at, kManagersStart.size(), kManagersStart) == 0)
      AddManagers(text.substr(at + kManagersStart.size()), summary.managersUsed);
  }
}

}  // namespace

Refusal ReadDocumentSummary(const std::string& path, DocumentSummary& summary) {
  summary = DocumentSummary();
  struct stat info;
  if (stat(path.c_str(), &info) != 0) {
    if (errno == ENOENT) return std::nullopt;
    return std::string("can't be read: ") + std::strerror(errno);
  }
  summary.exists = true;
  summary.writtenAt = info.st_mtime;
  if (!S_ISREG(info.st_mode)) return "is not a regular file";
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::string("can't be read: ") + std::strerror(errno);
  // Read a megabyte at a time; the tail of each piece that may hold the
  // start of a tag goes with the next.
  constexpr size_t kPiece = 1 << 20, kKept = 160;  // an otherManager element whole
  std::string text;
  bool started = false;
  std::string_view last;
  std::string tail;
  char piece[kPiece];
  while (file.read(piece, kPiece) || file.gcount() > 0) {
    text.assign(tail).append(piece, static_cast<size_t>(file.gcount()));
    const std::string_view view(text);
    started = started || view.find(kDocumentStart) != std::string_view::npos;
    const size_t scanned = view.size() > kKept ? view.size() - kKept : 0;
    CountTags(view, scanned, summary);
    tail = text.substr(scanned);
  }
  if (file.bad()) return std::string("can't be read: ") + std::strerror(errno);
  // The last piece's tail: its tags too, and the end of the document.
  CountTags(tail, tail.size(), summary);
  started = started || tail.find(kDocumentStart) != std::string::npos;
  if (!started || tail.find(kDocumentEnd) == std::string::npos)
    return "is no complete information table document";
  return std::nullopt;
}
