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

}  // namespace

Refusal ReadDocumentEntries(std::string_view document, std::vector<DocumentEntry>& entries) {
  entries.clear();
  // One pass over the tags: an entry's elements are taken as they come, the
  // first of each name only.
  DocumentEntry* entry = nullptr;
  std::array<bool, std::size(kElements)> taken{};
  for (size_t at = document.find('<'); at != std::string_view::npos; at = document.find('<', at + 1)) {
    const bool closing = at + 1 < document.size() && document[at + 1] == '/';
    const size_t start = at + (closing ? 2 : 1);
    const size_t end = document.find_first_of(" >/\t\r\n", start);
    if (end == std::string_view::npos) break;
    std::string_view tag = document.substr(start, end - start);
    if (const size_t colon = tag.find(':'); colon != std::string_view::npos) tag = tag.substr(colon + 1);
    if (tag == "infoTable") {
      entry = closing ? nullptr : &entries.emplace_back();
      taken.fill(false);
      continue;
    }
    if (closing || !entry) continue;
    for (size_t column = 0; column < std::size(kElements); ++column) {
      if (taken[column] || tag != kElements[column]) continue;
      taken[column] = true;
      const size_t textStart = document.find('>', end);
      if (textStart == std::string_view::npos || document[textStart - 1] == '/') break;
      const size_t textEnd = document.find('<', textStart + 1);
      std::string text = UnescapeMarkup(document.substr(textStart + 1, textEnd - textStart - 1));
      for (char& c : text)
        if (c == '\t' || c == '\n' || c == '\r') c = ' ';
      (*entry)[column] = std::move(text);
      break;
    }
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
