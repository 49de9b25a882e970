// Drop-down editors against the platform's own:
// (a) 200 cycles of a combo box with 1,000 items: F4, the popup shown, Escape, closed;
//     against the platform combo box with the same items dropped down and closed 200 times;
// (b) the combo list's preferred size over 1,000 items, every item measured (the widths are
//     kept between openings until the items change), against bare
//     QFontMetrics::horizontalAdvance of the same texts.
// Prints each ratio with its goal.
#include "BenchUtil.h"

#include "editors/cxComboBox.h"
#include "gui/Application.h"
#include "gui/ComboBox.h"
#include "gui/Forms.h"
#include "gui/WinUser.h"

#include <QApplication>
#include <QFont>
#include <QFontMetrics>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

constexpr int kItems = 1000, kCycles = 200;

std::vector<String> ItemTexts() {
  static const char* const kWords[] = {"合同", "工程", "付款", "计划", "发票", "客户", "项目", "金额"};
  std::vector<String> texts;
  for (int i = 0; i < kItems; ++i)
    texts.push_back(String(kWords[i % 8]) + " " + std::to_string(i * 7919 % 100000) + String(kWords[(i / 8) % 8]));
  return texts;
}

struct TBenchForm {
  std::unique_ptr<TForm> Form{new TForm(nullptr)};
  TBenchForm() {
    Form->SetBounds(40, 40, 400, 300);
    Form->Show();
    Application->ProcessMessages();
  }
};

void Pump() {
  Application->ProcessMessages();
  Application->ProcessMessages();
}

// ---------------------------------------------------------------- (a) open and close

void BM_ComboBoxCycles(benchmark::State& state) {
  TBenchForm f;
  auto* cb = new TcxComboBox(f.Form.get());
  cb->SetParent(f.Form.get());
  cb->SetBounds(10, 10, 200, 21);
  for (const String& s : ItemTexts()) cb->Properties()->Items()->Add(s);
  cb->SetFocus();
  Pump();
  for (auto _ : state) {
    for (int i = 0; i < kCycles; ++i) {
      cb->Perform(WM_KEYDOWN, VK_F4, 0);
      Pump();
      if (!cb->IsPopupOpen()) state.SkipWithError("the popup did not open");
      cb->Perform(WM_KEYDOWN, VK_ESCAPE, 0);
      Pump();
    }
  }
}
BENCHMARK(BM_ComboBoxCycles)->Unit(benchmark::kMillisecond);

void BM_PlatformComboCycles(benchmark::State& state) {
  TBenchForm f;
  auto* cb = new TComboBox(f.Form.get());
  cb->SetParent(f.Form.get());
  cb->SetBounds(10, 10, 200, 21);
  for (const String& s : ItemTexts()) cb->Items()->Add(s);
  cb->SetFocus();
  Pump();
  for (auto _ : state) {
    for (int i = 0; i < kCycles; ++i) {
      cb->SetDroppedDown(true);
      Pump();
      cb->SetDroppedDown(false);
      Pump();
    }
  }
}
BENCHMARK(BM_PlatformComboCycles)->Unit(benchmark::kMillisecond);

// ---------------------------------------------------------------- (b) preferred list size

void BM_ListPreferredSize(benchmark::State& state) {
  TBenchForm f;
  auto* cb = new TcxComboBox(f.Form.get());
  cb->SetParent(f.Form.get());
  cb->SetBounds(10, 10, 200, 21);
  for (const String& s : ItemTexts()) cb->Properties()->Items()->Add(s);
  cb->SetFocus();
  cb->SetPopupOpen(true);  // the list exists from the first opening
  Pump();
  cb->SetPopupOpen(false);
  TcxComboBoxLookupData* data = cb->ComboLookupData();
  for (auto _ : state) {
    TSize s{0, 0};
    data->ItemsChanged();  // every item measured, as after a change of the items
    data->GetListPreferredSize(600, 800, s);
    benchmark::DoNotOptimize(s);
  }
}
BENCHMARK(BM_ListPreferredSize)->Unit(benchmark::kMicrosecond);

void BM_BareItemAdvances(benchmark::State& state) {
  TBenchForm f;
  auto* cb = new TcxComboBox(f.Form.get());  // the same font the list takes
  QFont font;
  font.setFamilies({QString::fromUtf8(cb->Style()->Font()->Name().c_str())});
  font.setPixelSize(std::abs(cb->Style()->Font()->Height()));
  const QFontMetrics fm(font);
  std::vector<QString> texts;
  for (const String& t : ItemTexts()) texts.push_back(QString::fromUtf8(t.data(), qsizetype(t.size())));
  for (auto _ : state) {
    int widest = 0;
    for (const QString& t : texts) widest = std::max(widest, fm.horizontalAdvance(t));
    benchmark::DoNotOptimize(widest);
  }
}
BENCHMARK(BM_BareItemAdvances)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  InitApplication(argc, argv);
  int rc = bench::RunBenchmarks(argc, argv, [](const bench::TTimesReporter& times) {
    std::printf("\n");
    bench::PrintRatioRows(times, {
        {"combo box F4/Escape cycles against the platform combo box", "BM_ComboBoxCycles", "BM_PlatformComboCycles", 3},
        {"combo list preferred size against bare horizontalAdvance", "BM_ListPreferredSize", "BM_BareItemAdvances", 2},
    });
  });
  DoneApplication();
  return rc;
}
