// A main for benchmark programs that compare one measure with another taken in
// the same run: every benchmark is repeated (5 times unless the command line
// says otherwise), and after the usual report each ratio of two medians is
// printed beside its goal. A ratio without a denominator prints the median
// itself, in milliseconds, against a goal in milliseconds.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace zor::bench {

struct MedianRatio {
  std::string label;
  std::string numerator;  // benchmark name as registered, with its arguments ("BM_Open/1000")
  double numeratorPer = 1.0;  // the median is divided by this (a block count for a time per block)
  std::string denominator;    // empty: the numerator's median in ms against `goal` ms
  double denominatorPer = 1.0;
  double goal = 0.0;  // the ratio (or milliseconds) the measure should stay at or below
};

// Keeps the median CPU time of every benchmark (they run on one thread), in seconds, by
// its name: on a busy machine it varies less than the time on the clock.
class MedianCollector : public benchmark::ConsoleReporter {
 public:
  std::map<std::string, double> seconds;

  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Aggregate || run.aggregate_name != "median") continue;
      std::string name = run.run_name.function_name;
      if (!run.run_name.args.empty()) name += "/" + run.run_name.args;
      seconds[name] = run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
    }
    ConsoleReporter::ReportRuns(runs);
  }
};

inline int runWithMedianRatios(int argc, char** argv, const std::vector<MedianRatio>& ratios) {
  std::vector<char*> args(argv, argv + argc);
  bool repetitionsGiven = false;
  for (int i = 1; i < argc; ++i) repetitionsGiven |= std::strncmp(argv[i], "--benchmark_repetitions", 23) == 0;
  std::string repetitions = "--benchmark_repetitions=5";
  std::string aggregatesOnly = "--benchmark_report_aggregates_only=true";
  if (!repetitionsGiven) {
    args.push_back(repetitions.data());
    args.push_back(aggregatesOnly.data());
  }
  int count = static_cast<int>(args.size());
  args.push_back(nullptr);
  benchmark::Initialize(&count, args.data());
  MedianCollector collector;
  benchmark::RunSpecifiedBenchmarks(&collector);
  benchmark::Shutdown();

  std::printf("\n%-64s %12s %10s %s\n", "ratio of medians", "value", "goal", "");
  for (const MedianRatio& r : ratios) {
    auto n = collector.seconds.find(r.numerator);
    if (n == collector.seconds.end()) continue;
    if (r.denominator.empty()) {
      const double ms = n->second / r.numeratorPer * 1e3;
      std::printf("%-64s %9.3f ms %7.1f ms %s\n", r.label.c_str(), ms, r.goal, ms <= r.goal ? "met" : "NOT MET");
      continue;
    }
    auto d = collector.seconds.find(r.denominator);
    if (d == collector.seconds.end() || d->second <= 0.0) continue;
    const double ratio = (n->second / r.numeratorPer) / (d->second / r.denominatorPer);
    std::printf("%-64s %11.2fx %9.2fx %s\n", r.label.c_str(), ratio, r.goal, ratio <= r.goal ? "met" : "NOT MET");
  }
  return 0;
}

}  // namespace zor::bench
