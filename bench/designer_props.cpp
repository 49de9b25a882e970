// The object inspector's lists: the list for 200 selected text objects against 200 lists of
// one object each (what merging the selection costs on top of collecting it), and the value
// text of every row of one text object against reading the same properties straight through
// the platform's reflection (what the editors add on top of reading).
#include "BenchUtil.h"
#include "core/TypInfo.h"
#include "gui/Application.h"
#include "report/frxBands.h"
#include "report/frxClass.h"
#include "report/frxDsgnIntf.h"
#include "report/frxMemoView.h"
#include "report/frxPages.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <vector>

namespace {

struct TMemos {
  TfrxReport Report{nullptr};
  std::vector<TObject*> Selection;
  TMemos() {
    auto* page = new TfrxReportPage(&Report);
    auto* band = new TfrxMasterData(page);
    for (int i = 0; i < 200; ++i) {
      auto* memo = new TfrxMemoView(band);
      memo->SetName("Memo" + std::to_string(i + 1));
      memo->SetText("[Customers.\"Name\"]");
      Selection.push_back(memo);
    }
  }
};

TMemos& Memos() {
  static TMemos memos;
  return memos;
}

void BM_CommonList200(benchmark::State& state) {
  for (auto _ : state) {
    std::unique_ptr<TfrxPropertyList> list = BuildCommonPropertyList(Memos().Selection, nullptr);
    benchmark::DoNotOptimize(list.get());
  }
}
BENCHMARK(BM_CommonList200)->Unit(benchmark::kMillisecond);

void BM_SingleLists200(benchmark::State& state) {
  for (auto _ : state) {
    for (TObject* memo : Memos().Selection) {
      TfrxPropertyList list(nullptr);
      list.AssignObject(memo);
      benchmark::DoNotOptimize(list.Count());
    }
  }
}
BENCHMARK(BM_SingleLists200)->Unit(benchmark::kMillisecond);

// Every row's value text, sub-rows included.
void ValueTexts(const TfrxPropertyList* List, std::size_t& Chars) {
  for (int i = 0; i < List->Count(); ++i) {
    const TfrxPropertyItem* item = List->ItemAt(i);
    Chars += item->Editor()->ValueText().size();
    if (item->SubProperties()) ValueTexts(item->SubProperties(), Chars);
  }
}

void BM_EditorValueTexts(benchmark::State& state) {
  TfrxPropertyList list(nullptr);
  list.AssignObject(Memos().Selection.front());
  for (auto _ : state) {
    std::size_t chars = 0;
    ValueTexts(&list, chars);
    benchmark::DoNotOptimize(chars);
  }
}
BENCHMARK(BM_EditorValueTexts)->Unit(benchmark::kMicrosecond);

// The same rows read through the reflection: each row's own object and property, as variants
// with enumerations and sets as names.
void BM_ReflectionReads(benchmark::State& state) {
  TfrxPropertyList list(nullptr);
  list.AssignObject(Memos().Selection.front());
  std::vector<std::pair<TObject*, const TPropInfo*>> rows;
  auto collect = [&](auto&& self, const TfrxPropertyList* l) -> void {
    for (int i = 0; i < l->Count(); ++i) {
      const TfrxPropertyEditor* e = l->ItemAt(i)->Editor();
      rows.push_back({e->Instances().front(), e->PropInfos().front()});
      if (l->ItemAt(i)->SubProperties()) self(self, l->ItemAt(i)->SubProperties());
    }
  };
  collect(collect, &list);
  for (auto _ : state) {
    std::size_t n = 0;
    for (const auto& [object, prop] : rows) {
      if (prop->Kind == tkClass) {
        benchmark::DoNotOptimize(prop->Access->GetObj(object));
      } else {
        Variant v = GetPropValue(object, prop, true);
        benchmark::DoNotOptimize(v);
      }
      ++n;
    }
    benchmark::DoNotOptimize(n);
  }
}
BENCHMARK(BM_ReflectionReads)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  InitApplication(argc, argv);
  return bench::RunBenchmarks(argc, argv, [](const bench::TTimesReporter& times) {
    std::printf("\n");
    bench::PrintRatioRows(times, {
        {"common list of 200 selected memos against 200 single-memo lists", "BM_CommonList200",
         "BM_SingleLists200", 1.5},
        {"value texts of every row of one memo against reading them through the reflection",
         "BM_EditorValueTexts", "BM_ReflectionReads", 3.0},
    });
  });
}
