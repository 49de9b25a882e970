#pragma once
// What the benchmark programs share: a clock for timing both sides of a comparison inside one
// loop, the counters that report such a pair, and a console report that remembers each
// benchmark's time so a program can print its ratios under the table.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;

inline double Seconds(Clock::time_point a, Clock::time_point b) {
  return std::chrono::duration<double>(b - a).count();
}

inline double Ms(Clock::time_point a, Clock::time_point b) {
  return std::chrono::duration<double, std::milli>(b - a).count();
}

// The counters of a benchmark that does the same work raw and through the layer.
inline void SetTimeCounters(benchmark::State& state, double rawMs, double kelmMs) {
  state.counters["raw_ms"] = rawMs;
  state.counters["kelm_ms"] = kelmMs;
  state.counters["time_ratio"] = kelmMs / rawMs;
}

// The usual console table; it also keeps the time per iteration of every run that completed,
// in nanoseconds whatever unit the run is shown in, so times of different units compare.
class TTimesReporter : public benchmark::ConsoleReporter {
public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs)
      if (r.run_type == Run::RT_Iteration && !r.error_occurred) {
        FTimes[r.benchmark_name()] = r.GetAdjustedRealTime() * UnitToNs(r.time_unit);
        for (const auto& [name, counter] : r.counters) FCounters[r.run_name.function_name][name] = counter.value;
      }
    ConsoleReporter::ReportRuns(runs);
  }

  // A counter of the benchmark function named Function (its last run); 0 when missing.
  double Counter(const std::string& function, const std::string& counter) const {
    auto f = FCounters.find(function);
    if (f == FCounters.end()) return 0;
    auto c = f->second.find(counter);
    return c == f->second.end() ? 0 : c->second;
  }

  // Nanoseconds per iteration; 0 for a benchmark that did not run or failed.
  double Time(const std::string& name) const {
    auto it = FTimes.find(name);
    return it == FTimes.end() ? 0 : it->second;
  }

  // Time(ours) / Time(base); 0 when either is missing.
  double Ratio(const std::string& ours, const std::string& base) const {
    double a = Time(ours), b = Time(base);
    return a > 0 && b > 0 ? a / b : 0;
  }

private:
  static double UnitToNs(benchmark::TimeUnit u) {
    switch (u) {
      case benchmark::kSecond: return 1e9;
      case benchmark::kMillisecond: return 1e6;
      case benchmark::kMicrosecond: return 1e3;
      default: return 1;
    }
  }
  std::map<std::string, double> FTimes;
  std::map<std::string, std::map<std::string, double>> FCounters;
};

// Every ratio a benchmark program reports goes on a line of its own in one format, so a reader
// (and a script) sees at once which ratios hold:
//   <what it compares>  <R> x (goal <G> x)
// A ratio of 0 (a benchmark that did not run) prints nothing.
inline void PrintRatio(const std::string& what, double ratio, double goal) {
  if (!(ratio > 0)) return;
  double tenths = goal * 10;
  const char* goalFormat = tenths == static_cast<double>(static_cast<long long>(tenths)) ? "%.1f" : "%.2f";
  char goalText[32];
  std::snprintf(goalText, sizeof goalText, goalFormat, goal);
  std::printf("%s  %.2f x (goal %s x)\n", what.c_str(), ratio, goalText);
}

// A ratio of two benchmark functions' times, as the table of a program's ratios holds it.
struct TRatioRow {
  const char* What;
  const char* Ours;
  const char* Base;
  double Goal;
};

// Each row's ratio of Ours to Base, a line each.
inline void PrintRatioRows(const TTimesReporter& reporter, std::initializer_list<TRatioRow> rows) {
  for (const TRatioRow& r : rows) PrintRatio(r.What, reporter.Ratio(r.Ours, r.Base), r.Goal);
}

// The time_ratio counter (see SetTimeCounters) of the benchmark function Function, as a ratio line.
inline void PrintTimeRatio(const TTimesReporter& reporter, const std::string& function, const std::string& what,
                           double goal) {
  PrintRatio(what, reporter.Counter(function, "time_ratio"), goal);
}

// The body of a benchmark program's main: runs what the command line selects through a
// TTimesReporter, then hands it to PrintRatios.
template <class F> int RunBenchmarks(int argc, char** argv, F PrintRatios) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  TTimesReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  PrintRatios(reporter);
  benchmark::Shutdown();
  return 0;
}

}  // namespace bench
