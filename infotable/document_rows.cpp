#include "infotable/document_rows.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string_view>

#include "infotable/text_forms.h"

const char* const kDocumentRowsHeading =
    "NAME OF ISSUER\tTITLE OF CLASS\tCUSIP\tFIGI\tVALUE\tSHRS OR PRN AMT\tSH/PRN\tPUT/CALL\t"
    "INVESTMENT DISCRETION\tOTHER MANAGER\tSOLE\tSHARED\tNONE\n";

namespace {

// The columns of the heading, by their elements' local names.
constexpr const char* kElements[] = {"nameOfIssuer", "titleOfClass",         "cusip",        "figi",
                                     "value",        "sshPrnamt",            "sshPrnamtType", "putCall",
                                     "investmentDiscretion", "otherManager", "Sole",         "Shared",
                                     "None"};

// Where the next tag named `name` (an opening tag, or a closing one with
// `closing`) starts in `text` from `from`, whatever its prefix.
size_t FindTag(std::string_view text, std::string_view name, bool closing, size_t from) {
  for (size_t at = text.find('<', from); at != std::string_view::npos; at = text.find('<', at + 1)) {
    size_t start = at + 1;
    if (closing) {
      if (start >= text.size() || text[start] != '/') continue;
      ++start;
    }
    const size_t end = text.find_first_of(" >/\t\r\n", start);
    if (end == std::string_view::npos) return std::string_view::npos;
    std::string_view tag = text.substr(start, end - start);
    if (const size_t colon = tag.find(':'); colon != std::string_view::npos) tag = tag.substr(colon + 1);
    if (tag == name) return at;
  }
  return std::string_view::npos;
}

// The text of the first element named `name` in `entry`, without its tags,
// unescaped, its tabs and line ends as blanks; empty when there is none.
std::string ElementText(std::string_view entry, std::string_view name) {
  const size_t open = FindTag(entry, name, false, 0);
  if (open == std::string_view::npos) return "";
  const size_t start = entry.find('>', open);
  const size_t close = FindTag(entry, name, true, start);
  if (start == std::string_view::npos || close == std::string_view::npos) return "";
  std::string text = UnescapeMarkup(entry.substr(start + 1, close - start - 1));
  for (char& c : text)
    if (c == '\t' || c == '\n' || c == '\r') c = ' ';
  return text;
}

}  // namespace

Refusal ReadDocumentEntries(std::string_view document, std::vector<DocumentEntry>& entries) {
  entries.clear();
  for (size_t at = FindTag(document, "infoTable", false, 0); at != std::string_view::npos;) {
    const size_t end = FindTag(document, "infoTable", true, at);
    if (end == std::string_view::npos) break;
    const std::string_view entry = document.substr(at, end - at);
    DocumentEntry& texts = entries.emplace_back();
    for (size_t column = 0; column < std::size(kElements); ++column) texts[column] = ElementText(entry, kElements[column]);
    at = FindTag(document, "infoTable", false, end + 1);
  }
  if (entries.empty()) return "holds no infoTable entry";
  return std::nullopt;
}

Refusal ReadDocumentRows(const std::string& path, std::string& table) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::string("can't be read: ") + std::strerror(errno);
  const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (file.bad()) return std::string("can't be read: ") + std::strerror(errno);
  std::vector<DocumentEntry> entries;
  if (Refusal refusal = ReadDocumentEntries(text, entries)) return refusal;
  table = kDocumentRowsHeading;
  for (const DocumentEntry& entry : entries) {
    for (size_t column = 0; column < entry.size(); ++column) {
      if (column > 0) table += '\t';
      table += entry[column];
    }
    table += '\n';
  }
  return std::nullopt;
}
