// Runs form13f-convert as a filer would, on tables of several shapes, and
// reports each run's time and peak memory beside the bytes it read and wrote,
// with `cp` of the same document as the time baseline of the same run:
// memory and time must grow linearly with the table, whatever it holds.
// Then the whole process on large clean tables, on one thread and on every
// core, against `cp` of its document and against a copy synced to the disk
// as the document is, and against an earlier form13f-convert when one is
// given (run with one thread, as it was written): the median of the ratios
// of runs back to back.
//   memory_bench [FORM13F_CONVERT [EARLIER_FORM13F_CONVERT]]
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "bench/generated_table.h"

extern char** environ;

namespace {

struct Run {
  double seconds = 0;
  long peakKilobytes = 0;
};

Run Measure(const std::vector<std::string>& arguments) {
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  const auto start = std::chrono::steady_clock::now();
  pid_t child;
  if (posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
    std::perror(argv[0]);
    std::exit(1);
  }
  int status;
  rusage usage;
  wait4(child, &status, 0, &usage);
  posix_spawn_file_actions_destroy(&actions);
  return {std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), usage.ru_maxrss};
}

uint64_t SizeOf(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 ? static_cast<uint64_t>(info.st_size) : 0;
}

std::string Row(const std::string& name) {
  return name + "\tCOM\t123456789\t1\t100\tSH\tn/a\tSOLE\tn/a\t100\t0\t0\n";
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// The whole process against the copies of its document, pair by pair.
void CompareWithCopies(const std::string& convert, const std::string& earlier, const std::string& dir,
                       const std::string& table, const char* name) {
  constexpr int kPairs = 11;
  const std::string output = dir + "/out.xml", copy = dir + "/copy.xml";
  for (const unsigned threads : {1u, std::max(1u, std::thread::hardware_concurrency())}) {
    std::vector<double> seconds, copies, synced, toCopy, toSynced, toEarlier;
    for (int pair = 0; pair < kPairs; ++pair) {
      const double run =
          Measure({convert, "--threads", std::to_string(threads), "-o", output, table}).seconds;
      if (!earlier.empty()) toEarlier.push_back(run / Measure({earlier, "-o", output, table}).seconds);
      const double plain = Measure({"/bin/cp", output, copy}).seconds;
      const double sync =
          Measure({"/bin/dd", "if=" + output, "of=" + copy, "bs=1M", "conv=fsync", "status=none"}).seconds;
      seconds.push_back(run);
      copies.push_back(plain);
      synced.push_back(sync);
      toCopy.push_back(run / plain);
      toSynced.push_back(run / sync);
    }
    std::printf("%-22s %7u %9.1f %8.1f %9.1f %8.2f %10.2f", name, threads, Median(seconds) * 1e3,
                Median(copies) * 1e3, Median(synced) * 1e3, Median(toCopy), Median(toSynced));
    if (!earlier.empty()) std::printf(" %10.2f", Median(toEarlier));
    std::printf("\n");
  }
}

}  // namespace

int main(int argc, char** argv) {
  const std::string convert = argc > 1 ? argv[1] : "build/bin/form13f-convert";
  const std::string earlier = argc > 2 ? argv[2] : "";
  const std::string dir =
      (std::filesystem::temp_directory_path() / ("form13f-memory-" + std::to_string(getpid()))).string();
  std::filesystem::create_directories(dir);
  const auto write = [&](const std::string& name, const std::string& text) {
    std::ofstream(dir + "/" + name, std::ios::binary) << text;
    return dir + "/" + name;
  };
  struct Case {
    const char* name;
    std::string input;
    bool preview;
  };
  // The tables are made by a child of their own: a spawned program's peak
  // memory counts what the parent held at the spawn.
  const std::string rows = dir + "/rows.txt", large = dir + "/large.txt", hundred = dir + "/hundred.txt",
                    plus = dir + "/plus.txt", cells = dir + "/cells.txt";
  if (const pid_t maker = fork(); maker == 0) {
    write("rows.txt", GenerateTable(50000));
    write("large.txt", GenerateTable(250000));
    std::string text;
    while (text.size() < 100'000'000) text += GenerateTable(10000);
    write("hundred.txt", text);
    write("plus.txt", Row(std::string(1 << 20, '+')));
    text.clear();
    for (int i = 0; i < 5'000'000; ++i) text += "x\t";
    write("cells.txt", text + "\n");
    _exit(0);
  } else {
    waitpid(maker, nullptr, 0);
  }
  const Case cases[] = {
      {"50,000 clean rows, document only", rows, false}, {"50,000 clean rows, with preview", rows, true},
      {"100 MB of clean rows", hundred, false},          {"a row with a 1 MB name of \"+\"", plus, true},
      {"one line of 5,000,000 cells", cells, true},
  };
  const Run baseline = Measure({convert, "-o", dir + "/empty.xml", write("empty.txt", Row("A"))});
  std::printf("form13f-convert on a one-row table: %.3f s, %ld kB peak (the program itself)\n\n",
              baseline.seconds, baseline.peakKilobytes);
  std::printf("%-36s %9s %9s %9s %9s %10s %8s %8s\n", "table", "read MB", "wrote MB", "peak MB", "peak/in",
              "peak/out", "time s", "cp s");
  for (const Case& c : cases) {
    const std::string output = dir + "/out.xml", preview = dir + "/out.html";
    std::vector<std::string> arguments = {convert, "-o", output};
    if (c.preview) arguments.insert(arguments.end(), {"--preview", preview});
    arguments.push_back(c.input);
    std::filesystem::remove(preview);
    const Run run = Measure(arguments);
    const double in = SizeOf(c.input) / 1e6, out = (SizeOf(output) + SizeOf(preview)) / 1e6;
    const Run copy = Measure({"/bin/cp", output, dir + "/copy.xml"});
    const double peak = (run.peakKilobytes - baseline.peakKilobytes) / 1e3;
    std::printf("%-36s %9.1f %9.1f %9.1f %9.2f %10.2f %8.3f %8.3f\n", c.name, in, out, peak, peak / in,
                out > 0 ? peak / out : 0.0, run.seconds, copy.seconds);
  }
  std::printf("\nThe whole process, median of pairs run back to back (ms; ratios per pair):\n");
  std::printf("%-22s %7s %9s %8s %9s %8s %10s%s\n", "table", "threads", "convert", "cp", "synced", "x cp",
              "x synced", earlier.empty() ? "" : " x earlier");
  CompareWithCopies(convert, earlier, dir, rows, "50,000 clean rows");
  CompareWithCopies(convert, earlier, dir, large, "250,000 clean rows");
  std::filesystem::remove_all(dir);
  return 0;
}
