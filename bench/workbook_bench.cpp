// Reads a workbook of EDGAR's largest table (250,000 rows, as Excel writes
// one: shared strings, numbers as numbers) and converts its table, against
// converting the same table's tab text in the same run; the figures that
// count are the ratio and the peak memory printed at the end.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>
#include <zip.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "bench/generated_table.h"
#include "bench/ratio_reporter.h"
#include "infotable/conversion.h"
#include "workbook/workbook.h"
#include "workbook/workbook_table.h"

namespace {

constexpr int kRows = 250000;

std::string OutputPath(const char* name) { return "/tmp/form13f-bench-" + std::to_string(getpid()) + name; }

const std::string& Table() {
  static const std::string table = GenerateTable(kRows);
  return table;
}

std::string Escaped(const std::string& text) {
  std::string escaped;
  for (char c : text) escaped += c == '&' ? "&amp;" : c == '<' ? "&lt;" : std::string(1, c);
  return escaped;
}

// A cell as a number when the sheet would hold one: "$1,000.40" is 1000.4;
// "1,2" (other managers) is text.
bool AsNumber(const std::string& cell, std::string& number) {
  number.clear();
  for (char c : cell)
    if ((c >= '0' && c <= '9') || c == '.')
      number += c;
    else if (c != '$' && c != ',')
      return false;
  return !number.empty() && cell != "1,2";
}

// The table as an .xlsx file: its text cells shared strings, its numbers numbers.
const std::string& WorkbookPath() {
  static const std::string path = [] {
    const std::string file = OutputPath(".xlsx");
    std::unordered_map<std::string, size_t> shared;
    std::vector<const std::string*> strings;
    std::string sheet =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><worksheet "
        "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>";
    size_t row = 0, start = 0;
    const std::string& table = Table();
    std::string number;
    while (start < table.size()) {
      size_t end = table.find('\n', start);
      if (end == std::string::npos) end = table.size();
      std::string line = table.substr(start, end - start);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      start = end + 1;
      sheet += "<row r=\"" + std::to_string(++row) + "\">";
      size_t at = 0, column = 0;
      for (;;) {
        const size_t tab = line.find('\t', at);
        const std::string cell = line.substr(at, tab == std::string::npos ? std::string::npos : tab - at);
        ++column;
        if (!cell.empty() && cell != "n/a") {
          if (AsNumber(cell, number) && column != 3) {
            sheet += "<c><v>" + number + "</v></c>";
          } else {
            const auto found = shared.emplace(cell, shared.size());
            if (found.second) strings.push_back(&found.first->first);
            sheet += "<c t=\"s\"><v>" + std::to_string(found.first->second) + "</v></c>";
          }
        } else {
          sheet += "<c/>";
        }
        if (tab == std::string::npos) break;
        at = tab + 1;
      }
      sheet += "</row>";
    }
    sheet += "</sheetData></worksheet>";
    std::string sst = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><sst>";
    for (const std::string* text : strings) sst += "<si><t>" + Escaped(*text) + "</t></si>";
    sst += "</sst>";
    const std::map<std::string, std::string> parts = {
        {"[Content_Types].xml", "<Types/>"},
        {"_rels/.rels",
         "<Relationships><Relationship Id=\"r1\" Type=\"x/officeDocument\" Target=\"xl/workbook.xml\"/>"
         "</Relationships>"},
        {"xl/workbook.xml",
         "<workbook><sheets><sheet name=\"Holdings\" sheetId=\"1\" r:id=\"s1\" "
         "xmlns:r=\"r\"/></sheets></workbook>"},
        {"xl/_rels/workbook.xml.rels",
         "<Relationships><Relationship Id=\"s1\" Type=\"x/worksheet\" Target=\"worksheets/sheet1.xml\"/>"
         "<Relationship Id=\"s2\" Type=\"x/sharedStrings\" Target=\"sharedStrings.xml\"/></Relationships>"},
        {"xl/worksheets/sheet1.xml", sheet},
        {"xl/sharedStrings.xml", sst}};
    int error = 0;
    zip_t* archive = zip_open(file.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    for (const auto& [name, bytes] : parts)
      zip_file_add(archive, name.c_str(), zip_source_buffer(archive, bytes.data(), bytes.size(), 0), 0);
    zip_close(archive);
    return file;
  }();
  return path;
}

ConversionRequest Request() {
  ConversionRequest request;
  request.preview = PreviewKind::kNone;
  return request;
}

void BM_LargestTabText(benchmark::State& state) {
  const std::string output = OutputPath("-tab.xml");
  for (auto _ : state)
    if (ConvertInfoTable(Table(), output, Request()).entryCount != kRows)
      state.SkipWithError("not converted");
  std::remove(output.c_str());
}
BENCHMARK(BM_LargestTabText)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LargestWorkbook(benchmark::State& state) {
  const std::string output = OutputPath("-book.xml"), path = WorkbookPath();
  for (auto _ : state) {
    Workbook workbook;
    WorkbookTable table;
    if (ReadWorkbook(path, workbook) || FindWorkbookTable(workbook, "book.xlsx", "", table)) {
      state.SkipWithError("the workbook was not read");
      break;
    }
    workbook = ::Workbook();
    ConversionRequest request = Request();
    request.sourceRefusals = table.refusedRows;
    if (ConvertInfoTable(table.text, output, request).entryCount != kRows)
      state.SkipWithError("not converted");
  }
  std::remove(output.c_str());
}
BENCHMARK(BM_LargestWorkbook)->Unit(benchmark::kMillisecond)->UseRealTime();

// The reading alone: the workbook's table found and made tab text.
void BM_LargestWorkbookRead(benchmark::State& state) {
  const std::string path = WorkbookPath();
  for (auto _ : state) {
    Workbook workbook;
    WorkbookTable table;
    if (ReadWorkbook(path, workbook) || FindWorkbookTable(workbook, "book.xlsx", "", table))
      state.SkipWithError("the workbook was not read");
  }
}
BENCHMARK(BM_LargestWorkbookRead)->Unit(benchmark::kMillisecond)->UseRealTime();

void PrintFigures(const RatioReporter& reporter) {
  std::printf("\n");
  reporter.PrintRatio("BM_LargestWorkbook", "BM_LargestTabText");
  if (const std::optional<double> read = reporter.Time("BM_LargestWorkbookRead"))
    std::printf("BM_LargestWorkbookRead %.0f ms (the target: 2,000 ms)\n", *read);
  rusage usage;
  getrusage(RUSAGE_SELF, &usage);
  std::printf("Peak memory of the run: %ld MB\n", usage.ru_maxrss / 1024);
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  PrintFigures(reporter);
  if (!std::getenv("FORM13F_KEEP_WORKBOOK")) std::remove(WorkbookPath().c_str());
  return 0;
}
