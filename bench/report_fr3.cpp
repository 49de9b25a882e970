// Report definitions (.fr3) against what a caller could use instead, on a definition of
// 5,000 objects with 15 attributes each (50 bands of 99 views under one page):
// - TfrxReport::LoadFromStream against QXmlStreamReader reading every attribute of the same
//   file into strings (aim <= 5 x);
// - TfrxReport::SaveToStream against QXmlStreamWriter writing the same strings (aim <= 4 x);
// - load time per object at 20,000 objects against 5,000 (aim <= 1.3 x): name checks and
//   references go through the report's name index, not a walk of every object.
#include "BenchUtil.h"
#include "core/ClassBuilder.h"
#include "core/Streams.h"
#include "core/SysUtils.h"
#include "report/frxClass.h"

#include <QByteArray>
#include <QString>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

// A view as text objects publish it, with a text of its own.
class TBenchView : public TfrxReportComponent {
  KELM_CLASS(TBenchView, TfrxReportComponent)
  template <class B> static void Published(B& b) {
    b.Prop("Left", &TBenchView::Left, &TBenchView::SetLeft);
    b.Prop("Top", &TBenchView::Top, &TBenchView::SetTop);
    b.Prop("Width", &TBenchView::Width, &TBenchView::SetWidth);
    b.Prop("Height", &TBenchView::Height, &TBenchView::SetHeight);
    b.Prop("Align", &TBenchView::Align, &TBenchView::SetAlign).Default(baNone);
    b.Prop("Font", &TBenchView::Font, &TBenchView::SetFont).StoredUnless(&TBenchView::ParentFont);
    b.Prop("Frame", &TBenchView::Frame, &TBenchView::SetFrame);
    b.Prop("ParentFont", &TBenchView::ParentFont, &TBenchView::SetParentFont).Default(true);
    b.Prop("TagStr", &TBenchView::TagStr, &TBenchView::SetTagStr);
  }
public:
  explicit TBenchView(TComponent* AOwner) : TfrxReportComponent(AOwner), FFrame(std::make_unique<TfrxFrame>()) {}
  TfrxAlign Align() const { return FAlign; }
  void SetAlign(TfrxAlign Value) { FAlign = Value; }
  TfrxFrame* Frame() const { return FFrame.get(); }
  void SetFrame(TfrxFrame* Value) { FFrame->Assign(Value); }
  const String& TagStr() const { return FTagStr; }
  void SetTagStr(const String& Value) { FTagStr = Value; }
  bool IsTextObject() const override { return true; }
  WideString ObjectText() const override { return FText; }
  void SetObjectText(const WideString& Value) override { FText = Value; }

private:
  TfrxAlign FAlign = baNone;
  std::unique_ptr<TfrxFrame> FFrame;
  String FTagStr;
  WideString FText;
};

}  // namespace

KELM_PUBLISH(TBenchView) { Published(b); }

namespace {

constexpr int kBandViews = 99;

// A definition of Objects objects: a page, bands of 99 views each. Every view carries 15
// attributes: Name, the four bounds, Align, four font parts, ParentFont, the frame's colour,
// style and sides, and its text.
String Definition(int Objects) {
  TfrxReport r(nullptr);
  auto* page = new TBenchView(&r);
  page->SetName("Page1");
  int made = 1;
  for (int b = 0; made < Objects; ++b) {
    auto* band = new TBenchView(page);
    band->SetName("Band" + IntToStr(b + 1));
    band->SetBounds(0, 20.5 * b, 718.1107, 18.89765);
    ++made;
    for (int v = 0; v < kBandViews && made < Objects; ++v, ++made) {
      auto* view = new TBenchView(band);
      view->SetName("Memo" + IntToStr(made));
      view->SetBounds(7.25 * v, 0, 94.48825, 18.89765);
      view->SetAlign(v % 2 ? baLeft : baNone);
      view->Font()->SetName("宋体");
      view->Font()->SetHeight(-13);
      view->Frame()->SetTyp(TfrxFrameTypes{ftLeft, ftRight, ftTop, ftBottom});
      view->SetObjectText(u"[G.\"GoodsName\"] 货品 " + Utf8ToUtf16(IntToStr(made)));
    }
  }
  TStringStream s;
  r.SaveToStream(&s, true, false);
  return s.DataString();
}

const String& DefinitionOf(int Objects) {
  static String small = Definition(5000);
  static String large = Definition(20000);
  return Objects == 5000 ? small : large;
}

void LoadInto(TfrxReport& Report, const String& Text) {
  TMemoryStream s;
  s.WriteBuffer(Text.data(), static_cast<Int64>(Text.size()));
  s.SetPosition(0);
  Report.LoadFromStream(&s);
}

void BM_Fr3Load(benchmark::State& state) {
  const String& text = DefinitionOf(static_cast<int>(state.range(0)));
  TfrxReport r(nullptr);
  r.EngineOptions()->SetNewSilentMode(simSilent);
  for (auto _ : state) {
    LoadInto(r, text);
    benchmark::DoNotOptimize(r.ObjectCount());
  }
  if (r.Errors()->Count() > 0) state.SkipWithError(r.Errors()->Strings(0).c_str());
  state.counters["objects"] = static_cast<double>(r.AllObjects().size() + 1);
}
BENCHMARK(BM_Fr3Load)->Arg(5000)->Arg(20000)->Unit(benchmark::kMillisecond);

void BM_QtXmlReadAttributes(benchmark::State& state) {
  QByteArray data = QByteArray::fromStdString(DefinitionOf(5000));
  for (auto _ : state) {
    QXmlStreamReader reader(data);
    std::vector<std::string> values;
    values.reserve(16);
    std::size_t total = 0;
    while (!reader.atEnd()) {
      if (reader.readNext() != QXmlStreamReader::StartElement) continue;
      values.clear();
      for (const QXmlStreamAttribute& a : reader.attributes()) {
        values.push_back(a.name().toString().toStdString());
        values.push_back(a.value().toString().toStdString());
      }
      total += values.size();
    }
    benchmark::DoNotOptimize(total);
  }
}
BENCHMARK(BM_QtXmlReadAttributes)->Unit(benchmark::kMillisecond);

void BM_Fr3Save(benchmark::State& state) {
  TfrxReport r(nullptr);
  LoadInto(r, DefinitionOf(5000));
  for (auto _ : state) {
    TMemoryStream s;
    r.SaveToStream(&s, true, false);
    benchmark::DoNotOptimize(s.Size());
  }
}
BENCHMARK(BM_Fr3Save)->Unit(benchmark::kMillisecond);

// The same elements and attribute strings, written by Qt's writer.
struct TElement {
  QString Name;
  std::vector<std::pair<QString, QString>> Attributes;
  int Depth;
};

void BM_QtXmlWriteAttributes(benchmark::State& state) {
  std::vector<TElement> elements;
  {
    QXmlStreamReader reader(QByteArray::fromStdString(DefinitionOf(5000)));
    int depth = 0;
    while (!reader.atEnd()) {
      auto t = reader.readNext();
      if (t == QXmlStreamReader::EndElement) --depth;
      if (t != QXmlStreamReader::StartElement) continue;
      TElement e{reader.name().toString(), {}, depth++};
      for (const QXmlStreamAttribute& a : reader.attributes())
        e.Attributes.emplace_back(a.name().toString(), a.value().toString());
      elements.push_back(std::move(e));
    }
  }
  for (auto _ : state) {
    QByteArray out;
    QXmlStreamWriter writer(&out);
    writer.setAutoFormatting(true);
    writer.writeStartDocument();
    int depth = -1;
    for (const TElement& e : elements) {
      for (; depth >= e.Depth; --depth) writer.writeEndElement();
      writer.writeStartElement(e.Name);
      for (const auto& [name, value] : e.Attributes) writer.writeAttribute(name, value);
      depth = e.Depth;
    }
    writer.writeEndDocument();
    benchmark::DoNotOptimize(out.size());
  }
}
BENCHMARK(BM_QtXmlWriteAttributes)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return bench::RunBenchmarks(argc, argv, [](const bench::TTimesReporter& times) {
    std::printf("\n");
    bench::PrintRatioRows(times, {
        {"LoadFromStream 5,000 objects against QXmlStreamReader reading the attributes", "BM_Fr3Load/5000",
         "BM_QtXmlReadAttributes", 5.0},
        {"SaveToStream 5,000 objects against QXmlStreamWriter writing the attributes", "BM_Fr3Save",
         "BM_QtXmlWriteAttributes", 4.0},
    });
    double perObject = times.Ratio("BM_Fr3Load/20000", "BM_Fr3Load/5000") / 4.0;
    bench::PrintRatio("load time per object at 20,000 objects against 5,000", perObject, 1.3);
  });
}
