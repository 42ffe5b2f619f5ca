// The rows of an information table document read back as a table's text:
// a heading and a line per infoTable entry, tab-separated, so that a
// document another program wrote is checked by the same rules as a copy.
// Elements are found by their local names, with or without a namespace
// prefix.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "infotable/refusal.h"

// An entry's element texts, unescaped, in the heading's column order.
using DocumentEntry = std::array<std::string, 13>;
enum DocumentColumn : size_t {
  kEntryName, kEntryClass, kEntryCusip, kEntryFigi, kEntryValue, kEntryAmount, kEntryAmountType, kEntryPutCall,
  kEntryDiscretion, kEntryManagers, kEntrySole, kEntryShared, kEntryNone
};

// The text of the first element named `name` (its local name, any prefix)
// in `xml`, as it stands, escaped; none when there is no such element.
std::optional<std::string_view> FirstElementText(std::string_view xml, std::string_view name);

// Every infoTable entry of an information table document's text, by the
// elements' local names; refused when it holds none.
Refusal ReadDocumentEntries(std::string_view document, std::vector<DocumentEntry>& entries);

// The heading a document's rows are read under; row 2 is the first entry.
extern const char* const kDocumentRowsHeading;

// Reads the document at `path` into `table`. Refused when the file can't be
// read or holds no infoTable entry.
Refusal ReadDocumentRows(const std::string& path, std::string& table);
