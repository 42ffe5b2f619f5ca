// Converts a generated information table the size of a large manager's filing
// and, in the same run, copies the same number of bytes through plain stdio,
// so that the conversion's throughput can be read against the disk's.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "bench/generated_table.h"
#include "infotable/conversion.h"
#include "storage/file_stream.h"

namespace {

std::string OutputPath(const char* name) { return "/tmp/form13f-bench-" + std::to_string(getpid()) + name; }

// The document of a generated table of `rows` rows, converted to `path`.
std::string ConvertedDocument(int rows, const std::string& path) {
  ConvertInfoTable(GenerateTable(rows), path);
  std::string document;
  FILE* file = std::fopen(path.c_str(), "rb");
  char chunk[65536];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0) document.append(chunk, n);
  std::fclose(file);
  return document;
}

void BM_Conversion(benchmark::State& state) {
  const std::string table = GenerateTable(static_cast<int>(state.range(0)));
  const std::string path = OutputPath(".xml");
  int64_t bytes = 0;
  for (auto _ : state) {
    const Conversion conversion = ConvertInfoTable(table, path);
    if (conversion.outcome != ConversionOutcome::kWritten || !conversion.errors.empty())
      state.SkipWithError("the generated table did not convert cleanly");
    benchmark::DoNotOptimize(conversion.preview.data());
    FILE* file = std::fopen(path.c_str(), "rb");
    std::fseek(file, 0, SEEK_END);
    bytes = std::ftell(file);
    std::fclose(file);
  }
  std::remove(path.c_str());
  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.SetBytesProcessed(state.iterations() * bytes);
  state.counters["xml_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_Conversion)->Arg(50000)->Unit(benchmark::kMillisecond);

// The same number of bytes the 50,000-row document has, written with stdio.
void BM_PlainCopy(benchmark::State& state) {
  const std::string path = OutputPath(".xml");
  const std::string document = ConvertedDocument(static_cast<int>(state.range(0)), path);
  const std::string copy = OutputPath(".copy");
  for (auto _ : state) {
    FILE* file = std::fopen(copy.c_str(), "wb");
    std::fwrite(document.data(), 1, document.size(), file);
    std::fclose(file);
  }
  std::remove(path.c_str());
  std::remove(copy.c_str());
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(document.size()));
}
BENCHMARK(BM_PlainCopy)->Arg(50000)->Unit(benchmark::kMillisecond);

// The same document written through the file stream, entry by entry, as the
// conversion writes it: what the stream itself costs beside the plain copy.
void BM_StreamWrite(benchmark::State& state) {
  const std::string path = OutputPath(".xml");
  const std::string document = ConvertedDocument(static_cast<int>(state.range(0)), path);
  constexpr size_t kEntrySize = 470;
  for (auto _ : state) {
    FileStream* stream = OpenFileStream(path, kStreamCreate);
    for (size_t at = 0; at < document.size(); at += kEntrySize)
      WriteText(stream, std::string_view(document).substr(at, kEntrySize));
    if (CloseFileStream(stream) != kStreamOk) state.SkipWithError("the stream failed");
  }
  std::remove(path.c_str());
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(document.size()));
}
BENCHMARK(BM_StreamWrite)->Arg(50000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
