// The in-memory cursor without a database: filling 100,000 rows of 20 columns, sorting them by a
// text column, locating the last row and walking with field reads, each against the same work
// on plain vectors. Prints the ratios under the table; goals: fill within 3x, sort within 5x,
// locate within 1.5x, the walk within 1.3x, memory of the held rows within 3x the raw data size.
#include "BenchUtil.h"
#include "data/DB.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <algorithm>
#include <numeric>
#include <random>

namespace {

constexpr int kRows = 100000;
constexpr int kTexts = 10;  // columns 0..9 text, 10..19 numbers

using bench::Clock;
using bench::Ms;

struct TRawRow {
  std::vector<String> Texts;
  std::vector<double> Numbers;
};

const std::vector<TRawRow>& RawRows() {
  static const std::vector<TRawRow> rows = [] {
    std::mt19937 rng(7);
    std::vector<TRawRow> r(kRows);
    const char letters[] = "abcdefghijKLMNOPQRSTuvwxyz";
    for (auto& row : r) {
      for (int c = 0; c < kTexts; ++c) {
        String s;
        int len = 4 + static_cast<int>(rng() % 16);
        for (int i = 0; i < len; ++i) s += letters[rng() % 26];
        row.Texts.push_back(s);
      }
      for (int c = kTexts; c < 20; ++c) row.Numbers.push_back(static_cast<double>(rng() % 100000) / 7.0);
    }
    return r;
  }();
  return rows;
}

std::size_t RawBytes() {
  std::size_t n = 0;
  for (const auto& r : RawRows()) {
    for (const auto& t : r.Texts) n += t.size();
    n += r.Numbers.size() * sizeof(double);
  }
  return n;
}

// A dataset over the raw rows.
class TBenchDataSet : public TDataSet {
public:
  using TDataSet::TDataSet;

protected:
  void InternalOpen() override {
    if (FieldDefs()->Count() == 0) {
      for (int c = 0; c < kTexts; ++c) FieldDefs()->Add("T" + IntToStr(c), ftWideString, 20);
      for (int c = kTexts; c < 20; ++c) FieldDefs()->Add("N" + IntToStr(c), ftFloat);
    }
    ReserveRows(kRows);
    TRowWriter w(20);
    for (const auto& r : RawRows()) {
      w.Clear();
      for (int c = 0; c < kTexts; ++c) w.SetText(c, r.Texts[c]);
      for (int c = kTexts; c < 20; ++c) w.SetFloat(c, r.Numbers[c - kTexts]);
      AppendRow(w);
    }
  }
};

std::size_t HeapInUse() {
  struct mallinfo2 mi = mallinfo2();
  return mi.uordblks + mi.hblkhd;
}

void Fill(benchmark::State& state) {
  RawRows();
  double kelm = 0, raw = 0, ratio = 0;
  for (auto _ : state) {
    auto t0 = Clock::now();
    std::vector<TRawRow> copy = RawRows();
    benchmark::DoNotOptimize(copy.data());
    auto t1 = Clock::now();
    std::size_t before = HeapInUse();
    TBenchDataSet ds(nullptr);
    auto t2 = Clock::now();
    ds.Open();
    auto t3 = Clock::now();
    ratio = static_cast<double>(HeapInUse() - before) / static_cast<double>(RawBytes());
    raw = Ms(t0, t1);
    kelm = Ms(t2, t3);
  }
  bench::SetTimeCounters(state, raw, kelm);
  state.counters["memory_ratio"] = ratio;
}

void SortByText(benchmark::State& state) {
  TBenchDataSet ds(nullptr);
  ds.Open();
  double kelm = 0, raw = 0;
  for (auto _ : state) {
    auto t0 = Clock::now();
    std::vector<int> idx(kRows);
    std::iota(idx.begin(), idx.end(), 0);
    std::vector<String> keys;
    keys.reserve(kRows);
    for (const auto& r : RawRows()) keys.push_back(AnsiLowerCase(r.Texts[3]));
    std::stable_sort(idx.begin(), idx.end(), [&](int a, int b) { return keys[a] < keys[b]; });
    benchmark::DoNotOptimize(idx.data());
    auto t1 = Clock::now();
    ds.SetSort("T3");
    auto t2 = Clock::now();
    ds.SetSort("");
    raw = Ms(t0, t1);
    kelm = Ms(t1, t2);
  }
  bench::SetTimeCounters(state, raw, kelm);
}

void LocateLast(benchmark::State& state) {
  TBenchDataSet ds(nullptr);
  ds.Open();
  const String key = RawRows().back().Texts[5];
  double kelm = 0, raw = 0;
  for (auto _ : state) {
    auto t0 = Clock::now();
    int found = -1;
    for (int i = 0; i < kRows; ++i)
      if (AnsiSameText(RawRows()[i].Texts[5], key)) {
        found = i;
        break;
      }
    benchmark::DoNotOptimize(found);
    auto t1 = Clock::now();
    ds.First();
    bool ok = ds.Locate("T5", key, {loCaseInsensitive});
    auto t2 = Clock::now();
    benchmark::DoNotOptimize(ok);
    raw = Ms(t0, t1);
    kelm = Ms(t1, t2);
  }
  bench::SetTimeCounters(state, raw, kelm);
}

void WalkReadingFields(benchmark::State& state) {
  TBenchDataSet ds(nullptr);
  ds.Open();
  TField* text = ds.FieldByName("T1");
  TField* number = ds.FieldByName("N12");
  double kelm = 0, raw = 0;
  for (auto _ : state) {
    auto t0 = Clock::now();
    std::size_t len = 0;
    double sum = 0;
    for (const auto& r : RawRows()) {
      String s = r.Texts[1];
      len += s.size();
      sum += r.Numbers[2];
    }
    benchmark::DoNotOptimize(len);
    benchmark::DoNotOptimize(sum);
    auto t1 = Clock::now();
    len = 0;
    sum = 0;
    ds.DisableControls();
    for (ds.First(); !ds.Eof(); ds.Next()) {
      len += text->AsString().size();
      sum += number->AsFloat();
    }
    ds.EnableControls();
    benchmark::DoNotOptimize(len);
    benchmark::DoNotOptimize(sum);
    auto t2 = Clock::now();
    raw = Ms(t0, t1);
    kelm = Ms(t1, t2);
  }
  bench::SetTimeCounters(state, raw, kelm);
}

}  // namespace

BENCHMARK(Fill)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(SortByText)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(LocateLast)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(WalkReadingFields)->Iterations(3)->Unit(benchmark::kMillisecond);
int main(int argc, char** argv) {
  return bench::RunBenchmarks(argc, argv, [](const bench::TTimesReporter& r) {
    bench::PrintTimeRatio(r, "Fill", "fill of 100,000 rows of 20 columns against copying vectors", 3.0);
    bench::PrintRatio("memory the filled rows hold against the data size", r.Counter("Fill", "memory_ratio"), 3.0);
    bench::PrintTimeRatio(r, "SortByText", "sort by a text column against a stable sort of keys", 5.0);
    bench::PrintTimeRatio(r, "LocateLast", "locate of the last row without regard to case against a loop", 1.5);
    bench::PrintTimeRatio(r, "WalkReadingFields", "walk reading a text and a number field against a loop", 1.3);
  });
}
