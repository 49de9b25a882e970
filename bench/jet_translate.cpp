// The Jet translator on long statements: a search over thousands of terms must cost in
// proportion to its length. Prints the cost per term of the longest statement over that of
// one a quarter as long (aim <= 1.5: linear).
#include "BenchUtil.h"
#include "core/StrUtils.h"
#include "data/JetSql.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>

namespace {

class TBenchSchema : public TJetSchema {
public:
  const std::vector<TJetColumn>* Columns(const String& t) override {
    return SameText(t, "tUser") ? &FCols : nullptr;
  }
  bool IsView(const String&) override { return false; }

private:
  std::vector<TJetColumn> FCols = {{"userid", "INTEGER"}, {"UserName", "TEXT(50)"}, {"LastLogin", "DATETIME REAL"}};
};

String Statement(int terms, const char* term) {
  String sql = "select * from tUser where ";
  for (int i = 0; i < terms; ++i) sql += String(i ? " or " : "") + term;
  return sql;
}

void Translate(benchmark::State& state, const char* term) {
  TBenchSchema schema;
  const int terms = static_cast<int>(state.range(0));
  String sql = Statement(terms, term);
  for (auto _ : state) {
    TJetTranslation t = TranslateJetSql(sql, &schema);
    benchmark::DoNotOptimize(t.Sql.data());
  }
  state.counters["ns_per_term"] =
      benchmark::Counter(static_cast<double>(terms), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_JetTextTerms(benchmark::State& state) { Translate(state, "UserName='x'"); }
BENCHMARK(BM_JetTextTerms)->Arg(2500)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_JetNumberTerms(benchmark::State& state) { Translate(state, "userid=1"); }
BENCHMARK(BM_JetNumberTerms)->Arg(10000)->Arg(40000)->Unit(benchmark::kMillisecond);

void BM_JetDateTerms(benchmark::State& state) { Translate(state, "(LastLogin)>='2024-03-01'"); }
BENCHMARK(BM_JetDateTerms)->Arg(2500)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_JetDeepestNesting(benchmark::State& state) {
  TBenchSchema schema;
  String sql = "select * from tUser where " + String(1000, '(') + "UserName='x'" + String(1000, ')');
  for (auto _ : state) {
    TJetTranslation t = TranslateJetSql(sql, &schema);
    benchmark::DoNotOptimize(t.Sql.data());
  }
}
BENCHMARK(BM_JetDeepestNesting)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  return bench::RunBenchmarks(argc, argv, [](const bench::TTimesReporter& times) {
    struct Pair { const char* Long; const char* Short; double Factor; const char* What; };
    const Pair pairs[] = {
        {"BM_JetTextTerms/10000", "BM_JetTextTerms/2500", 4, "cost per term, 10,000 text terms against 2,500"},
        {"BM_JetNumberTerms/40000", "BM_JetNumberTerms/10000", 4, "cost per term, 40,000 number terms against 10,000"},
        {"BM_JetDateTerms/10000", "BM_JetDateTerms/2500", 4, "cost per term, 10,000 date terms against 2,500"},
    };
    for (const Pair& p : pairs) bench::PrintRatio(p.What, times.Ratio(p.Long, p.Short) / p.Factor, 1.5);
  });
}
