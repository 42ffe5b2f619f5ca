#include "infotable/document_rows.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
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

// The tag that starts at `at` in `xml`: its local name (any prefix left
// out), whether it closes, and where its name ends. False when it is cut.
struct Tag {
  std::string_view name;
  bool closing = false;
  size_t nameEnd = 0;
};
bool ReadTag(std::string_view xml, size_t at, Tag& tag) {
  tag.closing = at + 1 < xml.size() && xml[at + 1] == '/';
  const size_t start = at + (tag.closing ? 2 : 1);
  tag.nameEnd = xml.find_first_of(" >/\t\r\n", start);
  if (tag.nameEnd == std::string_view::npos) return false;
  tag.name = xml.substr(start, tag.nameEnd - start);
  if (const size_t colon = tag.name.find(':'); colon != std::string_view::npos) tag.name = tag.name.substr(colon + 1);
  return true;
}

// The text of the element whose opening tag's name ends at `nameEnd`, up to
// the next tag; none for an element closed in its own tag.
std::optional<std::string_view> TextAfter(std::string_view xml, size_t nameEnd) {
  const size_t textStart = xml.find('>', nameEnd);
  if (textStart == std::string_view::npos || xml[textStart - 1] == '/') return std::nullopt;
  const size_t textEnd = xml.find('<', textStart + 1);
  return xml.substr(textStart + 1, (textEnd == std::string_view::npos ? xml.size() : textEnd) - textStart - 1);
}

}  // namespace

std::optional<std::string_view> FirstElementText(std::string_view xml, std::string_view name) {
  Tag tag;
  for (size_t at = xml.find('<'); at != std::string_view::npos; at = xml.find('<', at + 1)) {
    if (!ReadTag(xml, at, tag)) return std::nullopt;
    if (!tag.closing && tag.name == name) return TextAfter(xml, tag.nameEnd).value_or(std::string_view());
  }
  return std::nullopt;
}

Refusal ReadDocumentEntries(std::string_view document, std::vector<DocumentEntry>& entries) {
  entries.clear();
  // One pass over the tags: an entry's elements are taken as they come, the
  // first of each name only.
  DocumentEntry* entry = nullptr;
  std::array<bool, std::size(kElements)> taken{};
  Tag tag;
  for (size_t at = document.find('<'); at != std::string_view::npos; at = document.find('<', at + 1)) {
    if (!ReadTag(document, at, tag)) break;
    if (tag.name == "infoTable") {
      entry = tag.closing ? nullptr : &entries.emplace_back();
      taken.fill(false);
      continue;
    }
    if (tag.closing || !entry) continue;
    for (size_t column = 0; column < std::size(kElements); ++column) {
      if (taken[column] || tag.name != kElements[column]) continue;
      taken[column] = true;
      const std::optional<std::string_view> raw = TextAfter(document, tag.nameEnd);
      if (!raw) break;
      std::string text = UnescapeMarkup(*raw);
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
