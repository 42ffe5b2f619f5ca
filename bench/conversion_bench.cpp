// Converts a generated information table the size of a large manager's filing
// and, in the same run, writes the same bytes with plain stdio, so that the
// conversion's throughput can be read against the disk's: the figures that
// count are the ratios printed at the end, since the machine is shared.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <utility>
#include <string>
#include <vector>

#include "bench/generated_table.h"
#include "bench/ratio_reporter.h"
#include "infotable/conversion.h"
#include "infotable/quarter_comparison.h"
#include "infotable/securities_list.h"
#include "infotable/submission.h"
#include "storage/file_replacement.h"

namespace {

constexpr int kRows = 50000;

std::string OutputPath(const char* name) { return "/tmp/form13f-bench-" + std::to_string(getpid()) + name; }

// The document of the generated table, as the conversion writes it.
const std::string& Document() {
  static const std::string document = [] {
    const std::string path = OutputPath(".xml");
    ConvertInfoTable(GenerateTable(kRows), path, PreviewKind::kNone);
    std::string bytes;
    FILE* file = std::fopen(path.c_str(), "rb");
    char chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, n);
    std::fclose(file);
    std::remove(path.c_str());
    return bytes;
  }();
  return document;
}

// A list of 13(f) securities in the SEC's layout that holds every CUSIP of
// the generated table, and as many others: about the real list's size.
std::string GeneratedList() {
  std::string list;
  const std::string table = GenerateTable(kRows);
  for (size_t at = 0; at < table.size();) {
    const size_t cusip = table.find('\t', table.find('\t', at) + 1) + 1;
    std::string line(80, ' ');
    line.replace(0, 9, table, cusip, 9);
    line.replace(10, 14, "ISSUER HOLDING");
    line.replace(40, 8, "COM CL A");
    line[9] = '*';
    list += line + "\n";
    at = table.find('\n', at) + 1;
  }
  return list;
}

const SecuritiesList& List() {
  static const SecuritiesList list = [] {
    SecuritiesList read;
    ReadSecuritiesList(GeneratedList(), "13flist2026q2.txt", read);
    return read;
  }();
  return list;
}

void Convert(benchmark::State& state, PreviewKind preview, const SecuritiesList* list = nullptr) {
  const std::string table = GenerateTable(kRows);
  const std::string path = OutputPath(".xml");
  for (auto _ : state) {
    const Conversion conversion = ConvertInfoTable(table, path, preview, list);
    if (conversion.outcome != ConversionOutcome::kWritten || !conversion.errors.empty())
      state.SkipWithError("the generated table did not convert cleanly");
    benchmark::DoNotOptimize(conversion.previewTable.cells.data());
  }
  std::remove(path.c_str());
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(Document().size()));
}

// The window's capture: the document and the preview.
void BM_Conversion(benchmark::State& state) { Convert(state, PreviewKind::kDrawn); }
BENCHMARK(BM_Conversion)->Unit(benchmark::kMillisecond)->UseRealTime();

// form13f-convert without --preview: the document only.
void BM_ConversionWithoutPreview(benchmark::State& state) { Convert(state, PreviewKind::kNone); }
BENCHMARK(BM_ConversionWithoutPreview)->Unit(benchmark::kMillisecond)->UseRealTime();

// The window's capture with every row checked against a list of 13(f) securities.
void BM_ConversionWithList(benchmark::State& state) { Convert(state, PreviewKind::kDrawn, &List()); }
BENCHMARK(BM_ConversionWithList)->Unit(benchmark::kMillisecond)->UseRealTime();

// EDGAR's largest table: its document alone, and the whole submission that
// attaches it (the conversion, then the submission written from its figures).
constexpr int kLargestRows = 250000;

void BM_LargestTableAlone(benchmark::State& state) {
  const std::string table = GenerateTable(kLargestRows);
  const std::string path = OutputPath("-largest.xml");
  for (auto _ : state)
    if (ConvertInfoTable(table, path, PreviewKind::kNone).outcome != ConversionOutcome::kWritten)
      state.SkipWithError("the generated table did not convert");
  std::remove(path.c_str());
}
BENCHMARK(BM_LargestTableAlone)->Unit(benchmark::kMillisecond)->UseRealTime();

FilingDetails BenchDetails() {
  FilingDetails details;
  details.manager = {"0001234567", "BIG FUND TRUST INC", "1 MAIN ST", "", "GREENWICH", "CT",
                     "06830",      "028-12345",          "",          ""};
  details.signature = {"JANE DOE", "CCO", "203-555-0100", "GREENWICH", "CT"};
  details.period = "2026-09-30";
  return details;
}

// form13f-convert --filing: the table converted in memory, then the
// submission with it attached.
void BM_LargestSubmission(benchmark::State& state) {
  const std::string table = GenerateTable(kLargestRows);
  const std::string path = OutputPath("-largest.xml"), submission = OutputPath("-submission.xml");
  const FilingDetails details = BenchDetails();
  ConversionRequest request;
  request.preview = PreviewKind::kNone;
  request.inMemory = true;
  for (auto _ : state) {
    const Conversion conversion = ConvertInfoTable(table, path, request);
    const TableFigures figures{conversion.entryCount, conversion.valueTotal, conversion.managersUsed};
    if (conversion.outcome != ConversionOutcome::kWritten ||
        WriteSubmissionFromMemory(submission, SubmissionHead(details, figures, "t3st#ccc", "2026-10-01"),
                                  conversion.document, SubmissionEnd(details)))
      state.SkipWithError("the submission was not written");
  }
  std::remove(path.c_str());
  std::remove(submission.c_str());
}
BENCHMARK(BM_LargestSubmission)->Unit(benchmark::kMillisecond)->UseRealTime();

// The window's "Save filing": the submission from the document a capture wrote.
void BM_LargestSubmissionFromDocument(benchmark::State& state) {
  const std::string path = OutputPath("-largest.xml"), submission = OutputPath("-submission.xml");
  const Conversion conversion = ConvertInfoTable(GenerateTable(kLargestRows), path, PreviewKind::kNone);
  const TableFigures figures{conversion.entryCount, conversion.valueTotal, conversion.managersUsed};
  const FilingDetails details = BenchDetails();
  for (auto _ : state)
    if (WriteSubmission(submission, SubmissionHead(details, figures, "t3st#ccc", "2026-10-01"), path,
                        SubmissionEnd(details)))
      state.SkipWithError("the submission was not written");
  std::remove(path.c_str());
  std::remove(submission.c_str());
}
BENCHMARK(BM_LargestSubmissionFromDocument)->Unit(benchmark::kMillisecond)->UseRealTime();

// The window's capture of EDGAR's largest table: the document and the drawn
// preview; then the same compared with last quarter's filing of as many
// rows, read before, as the window keeps it between captures; and
// form13f-convert --previous, which reads it each time.
void BM_LargestCapture(benchmark::State& state) {
  const std::string table = GenerateTable(kLargestRows);
  const std::string path = OutputPath("-largest.xml");
  for (auto _ : state)
    if (ConvertInfoTable(table, path).outcome != ConversionOutcome::kWritten)
      state.SkipWithError("the generated table did not convert");
  std::remove(path.c_str());
}
BENCHMARK(BM_LargestCapture)->Unit(benchmark::kMillisecond)->UseRealTime();

const FiledTable& LargestPrevious(const std::string& previousPath) {
  static const FiledTable previous = [&] {
    FiledTable read;
    ConvertInfoTable(GenerateTable(kLargestRows), previousPath, PreviewKind::kNone);
    ReadFiledTable(previousPath, false, read);
    return read;
  }();
  return previous;
}

// Last quarter as an ordinary quarter leaves it: every value 7% away, one
// holding in 20 bought since and one in 20 sold.
const FiledTable& OrdinaryQuarterBefore(const std::string& previousPath) {
  static const FiledTable previous = [&] {
    FiledTable before;
    const std::vector<FiledHolding>& now = LargestPrevious(previousPath).holdings;
    for (size_t i = 0; i < now.size(); ++i) {
      if (i % 20 == 0) continue;
      before.holdings.push_back(now[i]);
      before.holdings.back().value = now[i].value / 100 * 93;
      if (i % 20 == 1) {
        FiledHolding sold = now[i];
        sold.cusip[0] = 'Z';
        sold.key ^= 1;
        before.holdings.push_back(sold);
      }
    }
    IndexHoldings(before);
    return before;
  }();
  return previous;
}

void CaptureAgainst(benchmark::State& state, const FiledTable& previous) {
  const std::string table = GenerateTable(kLargestRows);
  const std::string path = OutputPath("-largest.xml");
  ConversionRequest request;
  request.previous = &previous;
  for (auto _ : state)
    if (ConvertInfoTable(table, path, request).outcome != ConversionOutcome::kWritten)
      state.SkipWithError("the generated table did not convert");
  std::remove(path.c_str());
}
void BM_LargestCaptureAgainstPrevious(benchmark::State& state) {
  CaptureAgainst(state, LargestPrevious(OutputPath("-previous.xml")));
}
BENCHMARK(BM_LargestCaptureAgainstPrevious)->Unit(benchmark::kMillisecond)->UseRealTime();
void BM_LargestCaptureAgainstOrdinaryQuarter(benchmark::State& state) {
  CaptureAgainst(state, OrdinaryQuarterBefore(OutputPath("-previous.xml")));
}
BENCHMARK(BM_LargestCaptureAgainstOrdinaryQuarter)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LargestAgainstPrevious(benchmark::State& state) {
  const std::string table = GenerateTable(kLargestRows);
  const std::string path = OutputPath("-largest.xml"), previousPath = OutputPath("-previous.xml");
  LargestPrevious(previousPath);
  for (auto _ : state) {
    FiledTable previous;
    ConversionRequest request;
    request.preview = PreviewKind::kNone;
    request.previous = &previous;
    if (ReadFiledTable(previousPath, false, previous) ||
        ConvertInfoTable(table, path, request).outcome != ConversionOutcome::kWritten)
      state.SkipWithError("the tables were not read");
  }
  std::remove(path.c_str());
  std::remove(previousPath.c_str());
}
BENCHMARK(BM_LargestAgainstPrevious)->Unit(benchmark::kMillisecond)->UseRealTime();

// Reading a list of 50,000 lines, twice the real list's.
void BM_ReadSecuritiesList(benchmark::State& state) {
  const std::string text = GeneratedList();
  for (auto _ : state) {
    SecuritiesList list;
    if (ReadSecuritiesList(text, "13flist2026q2.txt", list)) state.SkipWithError("no list");
    benchmark::DoNotOptimize(list.securities.data());
  }
}
BENCHMARK(BM_ReadSecuritiesList)->Unit(benchmark::kMillisecond)->UseRealTime();

// The document's bytes written with stdio, then, like the conversion, put on
// the disk before the file counts as written.
void PlainCopy(benchmark::State& state, bool synced) {
  const std::string copy = OutputPath(".copy");
  for (auto _ : state) {
    FILE* file = std::fopen(copy.c_str(), "wb");
    std::fwrite(Document().data(), 1, Document().size(), file);
    std::fflush(file);
    if (synced) fsync(fileno(file));
    std::fclose(file);
  }
  std::remove(copy.c_str());
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(Document().size()));
}
void BM_PlainCopy(benchmark::State& state) { PlainCopy(state, false); }
BENCHMARK(BM_PlainCopy)->Unit(benchmark::kMillisecond)->UseRealTime();
void BM_PlainCopySynced(benchmark::State& state) { PlainCopy(state, true); }
BENCHMARK(BM_PlainCopySynced)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same document written through a file replacement, entry by entry and
// in one write: against the synced plain copy, what the buffering costs.
void StreamWrite(benchmark::State& state, size_t piece) {
  const std::string path = OutputPath(".xml");
  const std::string& document = Document();
  for (auto _ : state) {
    FileReplacement replacement;
    FileFailure failure = replacement.Open(path);
    for (size_t at = 0; !failure && at < document.size(); at += piece)
      failure = replacement.Write(std::string_view(document).substr(at, piece));
    if (failure || replacement.Commit()) state.SkipWithError("the replacement failed");
  }
  std::remove(path.c_str());
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(document.size()));
}
void BM_StreamWriteByEntry(benchmark::State& state) { StreamWrite(state, 470); }
BENCHMARK(BM_StreamWriteByEntry)->Unit(benchmark::kMillisecond)->UseRealTime();
void BM_StreamWriteWhole(benchmark::State& state) { StreamWrite(state, SIZE_MAX); }
BENCHMARK(BM_StreamWriteWhole)->Unit(benchmark::kMillisecond)->UseRealTime();

// The rest of a conversion's time is waiting for the disk, as the synced copy waits.
void PrintRatios(const RatioReporter& reporter) {
  std::printf("\nRatios for %d rows, %zu bytes of XML:\n", kRows, Document().size());
  for (const auto& [name, baseline] : std::vector<std::pair<const char*, const char*>>{
           {"BM_Conversion", "BM_PlainCopySynced"},
           {"BM_ConversionWithoutPreview", "BM_PlainCopySynced"},
           {"BM_Conversion", "BM_PlainCopy"},
           {"BM_ConversionWithoutPreview", "BM_PlainCopy"},
           {"BM_StreamWriteByEntry", "BM_PlainCopy"},
           {"BM_StreamWriteWhole", "BM_PlainCopy"},
           {"BM_ConversionWithList", "BM_Conversion"},
           {"BM_LargestSubmission", "BM_LargestTableAlone"},
           {"BM_LargestSubmissionFromDocument", "BM_LargestTableAlone"},
           {"BM_LargestCaptureAgainstPrevious", "BM_LargestCapture"},
           {"BM_LargestCaptureAgainstOrdinaryQuarter", "BM_LargestCapture"},
           {"BM_LargestAgainstPrevious", "BM_LargestTableAlone"}})
    reporter.PrintRatio(name, baseline);
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  PrintRatios(reporter);
  benchmark::Shutdown();
  return 0;
}
