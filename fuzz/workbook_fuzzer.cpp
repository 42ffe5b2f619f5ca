// Any bytes as a workbook file: read as a zip archive, and again as each
// part of an .xlsx and an .ods that holds them, they are read or refused
// with words, never a crash, a hang or memory without bound; a table read
// converts as any copied one does.
#include <unistd.h>
#include <zip.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "infotable/conversion.h"
#include "workbook/workbook.h"
#include "workbook/workbook_table.h"

namespace {

std::string Scratch(const char* name) { return "/tmp/fuzz-workbook-" + std::to_string(getpid()) + name; }

void WriteBytes(const std::string& path, const uint8_t* data, size_t size) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return;
  std::fwrite(data, 1, size, file);
  std::fclose(file);
}

// A workbook whose part `part` is the bytes, beside parts that make it read.
void WriteWorkbook(const std::string& path, const std::vector<std::pair<std::string, std::string>>& parts) {
  int error = 0;
  zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  if (!archive) return;
  for (const auto& [name, bytes] : parts)
    zip_file_add(archive, name.c_str(), zip_source_buffer(archive, bytes.data(), bytes.size(), 0), 0);
  zip_close(archive);
}

void ReadAndConvert(const std::string& path) {
  Workbook workbook;
  WorkbookTable table;
  if (ReadWorkbook(path, workbook) || FindWorkbookTable(workbook, "fuzz", "", table)) return;
  ConversionRequest request;
  request.preview = PreviewKind::kNone;
  request.sourceRefusals = table.refusedRows;
  ConvertInfoTable(table.text, Scratch(".xml"), request);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string file = Scratch(".bin"), book = Scratch(".zip");
  WriteBytes(file, data, size);
  ReadAndConvert(file);
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::string rels =
      "<Relationships><Relationship Id=\"s1\" Type=\"x/worksheet\" Target=\"worksheets/sheet1.xml\"/>"
      "<Relationship Id=\"s2\" Type=\"x/sharedStrings\" Target=\"sharedStrings.xml\"/>"
      "<Relationship Id=\"s3\" Type=\"x/styles\" Target=\"styles.xml\"/></Relationships>";
  const std::string list = "<workbook><sheets><sheet name=\"S\" r:id=\"s1\" xmlns:r=\"r\"/></sheets></workbook>";
  const std::string strings = "<sst><si><t>NAME OF ISSUER</t></si></sst>";
  for (int part = 0; part < 3; ++part) {
    WriteWorkbook(book, {{"[Content_Types].xml", "<Types/>"},
                         {"xl/workbook.xml", list},
                         {"xl/_rels/workbook.xml.rels", rels},
                         {"xl/worksheets/sheet1.xml", part == 0 ? bytes : "<worksheet/>"},
                         {"xl/sharedStrings.xml", part == 1 ? bytes : strings},
                         {"xl/styles.xml", part == 2 ? bytes : "<styleSheet/>"}});
    ReadAndConvert(book);
  }
  WriteWorkbook(book, {{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"}, {"content.xml", bytes}});
  ReadAndConvert(book);
  std::remove(file.c_str());
  std::remove(book.c_str());
  std::remove(Scratch(".xml").c_str());
  return 0;
}
