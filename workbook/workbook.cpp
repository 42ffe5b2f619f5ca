#include "workbook/workbook.h"

#include <cerrno>
#include <cstring>
#include <fstream>

#include "workbook/ods_reader.h"
#include "workbook/xlsx_reader.h"

namespace {

constexpr std::string_view kZip("PK\x03\x04", 4), kEmptyZip("PK\x05\x06", 4);
constexpr std::string_view kCompoundFile("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);

bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

// The name a compound file's directory gives a stream: UTF-16, little end first.
std::string Utf16(std::string_view name) {
  std::string wide;
  for (char c : name) wide += std::string{c, '\0'};
  return wide;
}

// What a file that is no zip archive is, in the refusal's words.
std::string NotAWorkbook(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::string head(1 << 20, '\0');
  file.read(&head[0], static_cast<std::streamsize>(head.size()));
  head.resize(static_cast<size_t>(file.gcount()));
  if (head.compare(0, kCompoundFile.size(), kCompoundFile) == 0) {
    if (Contains(head, Utf16("EncryptionInfo")) || Contains(head, Utf16("EncryptedPackage")))
      return "is a workbook protected by a password: save it without one, or copy its rows";
    return "is an Excel 97-2003 workbook (.xls), a format this program does not read: save it as .xlsx or "
           ".ods, or copy its rows";
  }
  if (head.compare(0, 5, "%PDF-") == 0)
    return "is a PDF document, not a workbook: copy the table's rows instead";
  std::string start = head.substr(0, 512);
  for (char& c : start) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (Contains(start, "<html") || Contains(start, "<!doctype html"))
    return "is a web page, not a workbook: open it in a spreadsheet and save it as .xlsx or .ods";
  return "is not a workbook (.xlsx or .ods)";
}

}  // namespace

bool LooksLikeWorkbook(std::string_view head) {
  return head.substr(0, 4) == kZip || head.substr(0, 4) == kEmptyZip || head.substr(0, 8) == kCompoundFile;
}

Refusal ReadWorkbook(const std::string& path, Workbook& workbook) {
  workbook = Workbook();
  std::ifstream probe(path, std::ios::binary);
  if (!probe) return std::string("can't be read: ") + std::strerror(errno);
  char head[8] = {};
  probe.read(head, sizeof head);
  if (!LooksLikeWorkbook(std::string_view(head, static_cast<size_t>(probe.gcount()))))
    return NotAWorkbook(path);
  if (std::string_view(head, 8) == kCompoundFile) return NotAWorkbook(path);
  ZipEntries entries;
  if (Refusal refusal = entries.Open(path)) return refusal;
  std::string mimetype;
  if (entries.Has("mimetype") && !entries.ReadAll("mimetype", 256, mimetype) &&
      mimetype.rfind("application/vnd.oasis.opendocument.spreadsheet", 0) == 0) {
    workbook.kind = Workbook::kOds;
    return ReadOds(entries, workbook.sheets);
  }
  if (entries.Has("[Content_Types].xml") && (entries.Has("xl/workbook.xml") || entries.Has("_rels/.rels")))
    return ReadXlsx(entries, workbook.sheets);
  if (!mimetype.empty())
    return "is an OpenDocument file of another kind (" + mimetype.substr(0, 80) + "), not a spreadsheet";
  if (entries.Has("word/document.xml")) return std::string("is a Word document, not a workbook");
  return std::string("is a zip archive, not a workbook (.xlsx or .ods)");
}
