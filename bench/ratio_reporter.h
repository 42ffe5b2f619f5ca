// The console's report of a benchmark run, each benchmark's time kept, so
// that ratios against a baseline measured in the same run can be printed at
// the end: the figures that count on a shared machine.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <vector>

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs)
      // A benchmark repeated is told by its median.
      if (!run.error_occurred && (run.run_type != Run::RT_Aggregate || run.aggregate_name == "median")) {
        seconds_[run.run_name.function_name] = run.GetAdjustedRealTime();
        cpu_[run.run_name.function_name] = run.GetAdjustedCPUTime();
      }
  }

  // The benchmark's time per iteration, in the unit it reports; none when it did not run.
  std::optional<double> Time(const std::string& name) const {
    const auto found = seconds_.find(name);
    return found == seconds_.end() ? std::nullopt : std::optional<double>(found->second);
  }

  // "NAME  12.3 ms (10.1 ms CPU)  1.20 x the time of BASELINE ...", when both ran.
  void PrintRatio(const char* name, const char* baseline) const {
    const std::optional<double> a = Time(name), b = Time(baseline);
    if (!a || !b) return;
    std::printf("%-30s %6.1f ms (%5.1f ms CPU)  %5.2f x the time of %s (throughput %.0f%% of it)\n", name, *a,
                cpu_.at(name), *a / *b, baseline, 100 * *b / *a);
  }

 private:
  std::map<std::string, double> seconds_, cpu_;
};
