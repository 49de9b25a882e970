// Format, FormatFloat and StrToDate against the standard library doing the same work on the
// same inputs; prints each ratio at the end (the aim is at most 2x).
#include "BenchUtil.h"
#include "core/SysUtils.h"

#include <benchmark/benchmark.h>

#include <charconv>
#include <chrono>
#include <cstdio>
#include <string>

namespace {

const double kValues[] = {3.14159, 1234.565, -0.125, 98765432.1, 0.005, 42.0, 1e-3, 77777.777};
const char* const kDates[] = {"2024-03-08", "1999-12-31", "2000-02-29", "2031-11-05"};
constexpr int kCount = 8;
constexpr int kDateCount = 4;

void BM_Format(benchmark::State& state) {
  int i = 0;
  for (auto _ : state) {
    String s = Format("%d %s %.2f", {i, "contract", kValues[i & (kCount - 1)]});
    benchmark::DoNotOptimize(s);
    ++i;
  }
}
BENCHMARK(BM_Format);

void BM_Format_snprintf(benchmark::State& state) {
  int i = 0;
  for (auto _ : state) {
    char buf[128];
    int n = std::snprintf(buf, sizeof buf, "%d %s %.2f", i, "contract", kValues[i & (kCount - 1)]);
    std::string s(buf, static_cast<std::size_t>(n));
    benchmark::DoNotOptimize(s);
    ++i;
  }
}
BENCHMARK(BM_Format_snprintf);

void BM_FormatFloat(benchmark::State& state) {
  int i = 0;
  for (auto _ : state) {
    String s = FormatFloat("#,##0.00", kValues[i++ & (kCount - 1)]);
    benchmark::DoNotOptimize(s);
  }
}
BENCHMARK(BM_FormatFloat);

void BM_FormatFloat_snprintf(benchmark::State& state) {
  int i = 0;
  for (auto _ : state) {
    char buf[64];
    int n = std::snprintf(buf, sizeof buf, "%.2f", kValues[i++ & (kCount - 1)]);
    std::string s(buf, static_cast<std::size_t>(n));
    benchmark::DoNotOptimize(s);
  }
}
BENCHMARK(BM_FormatFloat_snprintf);

void BM_FormatFloat_to_chars(benchmark::State& state) {
  int i = 0;
  for (auto _ : state) {
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, kValues[i++ & (kCount - 1)], std::chars_format::fixed, 2);
    std::string s(buf, r.ptr);
    benchmark::DoNotOptimize(s);
  }
}
BENCHMARK(BM_FormatFloat_to_chars);

void BM_StrToDate(benchmark::State& state) {
  int i = 0;
  for (auto _ : state) {
    TDateTime d = StrToDate(kDates[i++ & (kDateCount - 1)]);
    benchmark::DoNotOptimize(d);
  }
}
BENCHMARK(BM_StrToDate);

// The same fields read with from_chars and turned into a day count by <chrono>.
void BM_StrToDate_from_chars(benchmark::State& state) {
  using namespace std::chrono;
  int i = 0;
  for (auto _ : state) {
    std::string_view s = kDates[i++ & (kDateCount - 1)];
    int y = 0;
    unsigned m = 0, d = 0;
    const char* p = s.data();
    const char* end = p + s.size();
    auto r = std::from_chars(p, end, y);
    if (r.ptr < end && *r.ptr == '-') r = std::from_chars(r.ptr + 1, end, m);
    if (r.ptr < end && *r.ptr == '-') r = std::from_chars(r.ptr + 1, end, d);
    year_month_day ymd{year{y}, month{m}, day{d}};
    if (!ymd.ok() || r.ptr != end) state.SkipWithError("bad date");
    double days = static_cast<double>(sys_days(ymd).time_since_epoch().count()) + 25569.0;
    benchmark::DoNotOptimize(days);
  }
}
BENCHMARK(BM_StrToDate_from_chars);

}  // namespace

int main(int argc, char** argv) {
  return bench::RunBenchmarks(argc, argv, [](const bench::TTimesReporter& times) {
    const struct {
      const char *Ours, *Base, *What;
    } pairs[] = {
        {"BM_Format", "BM_Format_snprintf", "Format against snprintf"},
        {"BM_FormatFloat", "BM_FormatFloat_snprintf", "FormatFloat against snprintf"},
        {"BM_FormatFloat", "BM_FormatFloat_to_chars", "FormatFloat against to_chars"},
        {"BM_StrToDate", "BM_StrToDate_from_chars", "StrToDate against from_chars"},
    };
    for (const auto& p : pairs) bench::PrintRatio(p.What, times.Ratio(p.Ours, p.Base), 2.0);
  });
}
