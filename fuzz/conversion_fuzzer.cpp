// Any bytes as the information table: the document written must be
// well-formed XML whose infoTable elements match the entry count, and the
// preview must hold one whole row of cells for each entry.
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "infotable/conversion.h"

namespace {

size_t CountEntries(xmlNode* root) {
  size_t count = 0;
  for (xmlNode* node = root ? root->children : nullptr; node; node = node->next)
    if (node->type == XML_ELEMENT_NODE &&
        std::string(reinterpret_cast<const char*>(node->name)) == "infoTable")
      ++count;
  return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/dev/shm/form13f-fuzz-" + std::to_string(getpid()) + ".xml";
  const Conversion conversion =
      ConvertInfoTable(std::string(reinterpret_cast<const char*>(data), size), path);
  if (conversion.outcome != ConversionOutcome::kWritten) return 0;
  // Every preview row has every column, ends its line, and holds no markup.
  const PreviewTable& preview = conversion.previewTable;
  const size_t columns = PreviewCellStarts(preview.withFigi).size();
  if (preview.RowCount() != conversion.entryCount) std::abort();
  for (size_t row = 0; row < preview.RowCount(); ++row) {
    const std::string_view cells = preview.Rows(row, row + 1);
    if (cells.empty() || cells.back() != '\n' || cells.find_first_of("<>\n") != cells.size() - 1 ||
        static_cast<size_t>(std::count(cells.begin(), cells.end(), '\t')) != columns - 1) {
      std::fprintf(stderr, "preview row %zu is broken: %.*s\n", row, static_cast<int>(cells.size()),
                   cells.data());
      std::abort();
    }
  }
  std::ifstream in(path, std::ios::binary);
  const std::string xml((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  xmlDoc* document = xmlReadMemory(xml.data(), static_cast<int>(xml.size()), "tev_13f.xml", nullptr,
                                   XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
  if (!document) {
    std::fprintf(stderr, "malformed document:\n%s\n", xml.c_str());
    std::abort();
  }
  if (CountEntries(xmlDocGetRootElement(document)) != conversion.entryCount) {
    std::fprintf(stderr, "%u entries counted, document differs\n", conversion.entryCount);
    std::abort();
  }
  xmlFreeDoc(document);
  return 0;
}
