// Layout loading and property access through the class information.
//   BM_LoadLayout500:  a form of 500 components read from layout text.
//   BM_WriteLayout500: the same form written back to text.
//   BM_PropsByName / BM_PropsDirect: 10,000 property reads and writes by name (GetOrdProp,
//   SetStrProp, ...) and through the members themselves; the ratio is printed at the end
//   (goal: within 30 times).
#include "BenchUtil.h"
#include "core/ClassBuilder.h"
#include "core/Filer.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

KELM_ENUM(TBnAlign, baNone, baTop, baClient)

class TBnControl : public TComponent {
  KELM_CLASS(TBnControl, TComponent)
public:
  using TComponent::TComponent;
  int Left() const { return FLeft; }
  void SetLeft(int v) { FLeft = v; }
  int Top() const { return FTop; }
  void SetTop(int v) { FTop = v; }
  int Width() const { return FWidth; }
  void SetWidth(int v) { FWidth = v; }
  const String& Caption() const { return FCaption; }
  void SetCaption(const String& v) { FCaption = v; }
  TBnAlign Align() const { return FAlign; }
  void SetAlign(TBnAlign v) { FAlign = v; }
  bool Visible() const { return FVisible; }
  void SetVisible(bool v) { FVisible = v; }
  TNotifyEvent OnClick;

  bool HasParent() const override { return true; }
  void SetParentComponent(TComponent* p) override { FParent = p; }

private:
  int FLeft = 0, FTop = 0, FWidth = 75;
  String FCaption;
  TBnAlign FAlign = baNone;
  bool FVisible = true;
  TComponent* FParent = nullptr;
};

KELM_PUBLISH(TBnControl) {
  b.Prop("Left", &TBnControl::Left, &TBnControl::SetLeft).Default(0);
  b.Prop("Top", &TBnControl::Top, &TBnControl::SetTop).Default(0);
  b.Prop("Width", &TBnControl::Width, &TBnControl::SetWidth).Default(75);
  b.Prop("Caption", &TBnControl::Caption, &TBnControl::SetCaption);
  b.Prop("Align", &TBnControl::Align, &TBnControl::SetAlign).Default(baNone);
  b.Prop("Visible", &TBnControl::Visible, &TBnControl::SetVisible).Default(true);
  b.Prop("OnClick", &TBnControl::OnClick, &TBnControl::OnClick);
}

class TBnForm : public TComponent {
  KELM_CLASS(TBnForm, TComponent)
public:
  using TComponent::TComponent;
  void ButtonClick(TObject*) {}
  void GetChildren(const TGetChildProc& proc, TComponent*) override {
    for (int i = 0; i < ComponentCount(); ++i) proc(Components(i));
  }
};

KELM_PUBLISH(TBnForm) { b.Method("ButtonClick", &TBnForm::ButtonClick); }

namespace {

const String& LayoutText() {
  static const String text = [] {
    String t = "object BenchForm: TBnForm\n";
    for (int i = 0; i < 500; ++i) {
      String n = std::to_string(i);
      t += "  object Control" + n + ": TBnControl\n";
      t += "    Left = " + std::to_string(8 + i % 40 * 20) + "\n";
      t += "    Top = " + std::to_string(8 + i / 40 * 24) + "\n";
      t += "    Width = " + std::to_string(60 + i % 7) + "\n";
      t += "    Caption = '按钮" + n + "'\n";
      if (i % 5 == 0) t += "    Align = baTop\n";
      if (i % 3 == 0) t += "    Visible = False\n";
      t += "    OnClick = ButtonClick\n";
      t += "  end\n";
    }
    return t + "end\n";
  }();
  return text;
}

void BM_LoadLayout500(benchmark::State& state) {
  const String& text = LayoutText();
  for (auto _ : state) {
    std::unique_ptr<TComponent> form(ReadComponentFromText(nullptr, text, "bench.txt"));
    benchmark::DoNotOptimize(form.get());
  }
  state.SetItemsProcessed(state.iterations() * 500);
}
BENCHMARK(BM_LoadLayout500)->Unit(benchmark::kMillisecond);

void BM_WriteLayout500(benchmark::State& state) {
  std::unique_ptr<TComponent> form(ReadComponentFromText(nullptr, LayoutText(), "bench.txt"));
  for (auto _ : state) {
    String text = WriteComponentToText(form.get());
    benchmark::DoNotOptimize(text.data());
  }
  state.SetItemsProcessed(state.iterations() * 500);
}
BENCHMARK(BM_WriteLayout500)->Unit(benchmark::kMillisecond);

constexpr int kValues = 10000;  // per iteration: 2,500 rounds of two reads and two writes

void BM_PropsByName(benchmark::State& state) {
  TBnControl c(nullptr);
  c.SetCaption("x");
  Int64 sum = 0;
  for (auto _ : state) {
    for (int i = 0; i < kValues / 4; ++i) {
      SetOrdProp(&c, "Left", GetOrdProp(&c, "Left") + 1);
      SetStrProp(&c, "Caption", GetStrProp(&c, "Caption"));
    }
    sum += c.Left();
  }
  benchmark::DoNotOptimize(sum);
  state.SetItemsProcessed(state.iterations() * kValues);
}
BENCHMARK(BM_PropsByName);

void BM_PropsDirect(benchmark::State& state) {
  TBnControl c(nullptr);
  c.SetCaption("x");
  TBnControl* p = &c;
  Int64 sum = 0;
  for (auto _ : state) {
    for (int i = 0; i < kValues / 4; ++i) {
      benchmark::DoNotOptimize(p);
      p->SetLeft(p->Left() + 1);
      p->SetCaption(String(p->Caption()));
    }
    sum += c.Left();
  }
  benchmark::DoNotOptimize(sum);
  state.SetItemsProcessed(state.iterations() * kValues);
}
BENCHMARK(BM_PropsDirect);

}  // namespace

int main(int argc, char** argv) {
  return bench::RunBenchmarks(argc, argv, [](const bench::TTimesReporter& times) {
    // A name is looked up in the class information on every access; within 30 times the
    // members themselves keeps streaming and the property editors cheap.
    bench::PrintRatio("property access by name against the members", times.Ratio("BM_PropsByName", "BM_PropsDirect"), 30.0);
  });
}
