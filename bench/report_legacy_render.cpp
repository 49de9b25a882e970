// The older report engine's rendering against the least a user could write instead: 60 text
// objects whose texts wrap into three lines drawn with DrawOnCanvas onto a 96-dpi bitmap,
// against bare QPainter::drawText of the same lines at the same places (wrapped beforehand);
// and the export of a 500-object report to the newer XML format against a plain std::string
// build of the same elements.
#include "LegacyReportBench.h"
#include "BenchUtil.h"

#include "report_legacy/FR_Class.h"
#include "report_legacy/FR_Prntr.h"
#include "report_legacy/FR_Utils.h"

#include "core/StringList.h"
#include "core/Streams.h"
#include "gui/Application.h"
#include "gui/Canvas.h"
#include "gui/Pictures.h"
#include "print/Printers.h"

#include <QFont>
#include <QImage>
#include <QPainter>

#include <cstdlib>

namespace {

constexpr int kObjects = 60;
const char* const kText = "Contract 2024-118 for the north depot, goods delivered in three parts";

struct TPlaced {
  int X, Y;
  std::string Text;
};

// The report page with the 60 objects, two columns of thirty.
struct TRenderScene {
  TfrReport Report{nullptr};
  TfrPage* Page;
  TRenderScene() {
    Page = Report.Pages()->Add();
    frState().CurrentReport = &Report;
    frState().CurrentPage = Page;
    for (int i = 0; i < kObjects; ++i) {
      auto* m = new TfrMemoView;
      m->Name = "Memo" + IntToStr(i + 1);
      m->SetViewBounds(20 + (i % 2) * 380, 20 + (i / 2) * 50, 190, 48);
      m->Memo.SetText(kText);
      Page->AddObject(m);
    }
  }
};

void BM_DrawOnCanvas(benchmark::State& state) {
  TRenderScene scene;
  frState().EngineMode = 1;
  TBitmap bmp;
  bmp.SetSize(800, 1600);
  int lines = 0;
  for (auto _ : state) {
    bmp.Canvas()->Brush()->SetColor(clWhite);
    bmp.Canvas()->FillRect({0, 0, 800, 1600});
    for (const auto& v : scene.Page->Objects) v->DrawOnCanvas(bmp.Canvas());
    lines = static_cast<TfrMemoView*>(scene.Page->Objects[0].get())->LinesDrawn;
  }
  if (lines != 3) state.SkipWithError("texts did not wrap into three lines");
}
BENCHMARK(BM_DrawOnCanvas)->Unit(benchmark::kMicrosecond);

void BM_QPainterDrawText(benchmark::State& state) {
  // The same lines at the same places, taken from one drawing of the scene.
  std::vector<TPlaced> placed;
  {
    TRenderScene scene;
    frState().EngineMode = 1;
    TBitmap bmp;
    bmp.SetSize(800, 1600);
    for (const auto& v : scene.Page->Objects) {
      auto* m = static_cast<TfrMemoView*>(v.get());
      m->DrawOnCanvas(bmp.Canvas());
      for (int k = 0; k < m->ExpandedMemo.Count(); ++k) {
        String s = m->ExpandedMemo.Strings(k);
        if (!s.empty() && s.back() == '\x01') s.pop_back();
        placed.push_back({m->Left + m->GapX, m->Top + m->GapY + k * 15, s});
      }
    }
  }
  QImage image(800, 1600, QImage::Format_ARGB32_Premultiplied);
  QFont font("Arial");
  font.setPixelSize(13);
  for (auto _ : state) {
    image.fill(Qt::white);
    QPainter p(&image);
    p.setFont(font);
    p.setPen(Qt::black);
    for (const TPlaced& t : placed)
      p.drawText(QRect(t.X, t.Y, 190, 15), Qt::AlignLeft | Qt::AlignTop, QString::fromUtf8(t.Text.data(), int(t.Text.size())));
  }
  if (placed.size() != kObjects * 3) state.SkipWithError("the lines are not three per object");
}
BENCHMARK(BM_QPainterDrawText)->Unit(benchmark::kMicrosecond);

// ---------------------------------------------------------------- the export

constexpr int kExportObjects = 500;

struct TExportScene {
  TfrReport Report{nullptr};
  TExportScene() {
    TfrPage* page = Report.Pages()->Add();
    page->Name = "Page1";
    for (int i = 0; i < kExportObjects; ++i) {
      auto* m = new TfrMemoView;
      m->Name = "Memo" + IntToStr(i + 1);
      m->SetViewBounds(20 + (i % 4) * 180, 20 + (i / 4) * 22, 170, 20);
      m->Memo.SetText("[Qry.\"Amount\"] & total " + IntToStr(i));
      page->AddObject(m);
    }
  }
};

void BM_ExportAsNewFormat(benchmark::State& state) {
  TExportScene scene;
  Int64 size = 0;
  for (auto _ : state) {
    TMemoryStream m;
    ExportAsNewFormat(&scene.Report, &m);
    size = m.Size();
  }
  state.counters["bytes"] = static_cast<double>(size);
}
BENCHMARK(BM_ExportAsNewFormat)->Unit(benchmark::kMicrosecond);

std::string Esc(const std::string& s) {
  std::string r;
  for (char c : s) {
    if (c == '&') r += "&amp;";
    else if (c == '"') r += "&#34;";
    else if (c == '<') r += "&#60;";
    else if (c == '>') r += "&#62;";
    else if (c == '\r') r += "&#13;";
    else if (c == '\n') r += "&#10;";
    else r += c;
  }
  return r;
}

void Attr(std::string& out, const char* name, const std::string& value) {
  out += ' ';
  out += name;
  out += "=\"";
  out += value;
  out += '"';
}

// The same elements and attributes, written straight into a string.
void BM_PlainStringBuild(benchmark::State& state) {
  TExportScene scene;
  TfrPage* page = scene.Report.Pages()->Page(0);
  std::size_t size = 0;
  for (auto _ : state) {
    std::string out = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<TfrxReport ScriptLanguage=\"PascalScript\">\r\n";
    out += "<TfrxReportPage Name=\"Page1\">\r\n";
    for (const auto& v : page->Objects) {
      auto* m = static_cast<TfrMemoView*>(v.get());
      out += "<TfrxMemoView Name=\"" + m->Name + "\"";
      Attr(out, "Left", std::to_string(m->Left));
      Attr(out, "Top", std::to_string(m->Top));
      Attr(out, "Width", std::to_string(m->Width));
      Attr(out, "Height", std::to_string(m->Height));
      Attr(out, "Color", std::to_string(m->FillColor));
      Attr(out, "Frame.Typ", std::to_string(m->FrameTyp));
      Attr(out, "Frame.Width", "1");
      Attr(out, "Frame.Color", std::to_string(m->FrameColor));
      Attr(out, "Frame.Style", std::to_string(m->FrameStyle));
      Attr(out, "GapX", std::to_string(m->GapX));
      Attr(out, "GapY", std::to_string(m->GapY));
      Attr(out, "TagStr", Esc(m->Tag));
      Attr(out, "Memo.text", Esc(m->Memo.Text()));
      Attr(out, "Align", std::to_string(m->BandAlign));
      Attr(out, "Restrictions", std::to_string(m->Restrictions));
      Attr(out, "Font.Name", Esc(m->Font->Name()));
      Attr(out, "Font.Height", std::to_string(m->Font->Height()));
      Attr(out, "Font.Color", std::to_string(m->Font->Color()));
      Attr(out, "Font.Style", "0");
      Attr(out, "LineSpacing", std::to_string(m->LineSpacing));
      Attr(out, "CharSpacing", std::to_string(m->CharSpacing));
      Attr(out, "HAlign", std::to_string(m->Alignment & 3));
      Attr(out, "VAlign", "0");
      out += "/>\r\n";
    }
    out += "</TfrxReportPage>\r\n</TfrxReport>\r\n";
    size = out.size();
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["bytes"] = static_cast<double>(size);
}
BENCHMARK(BM_PlainStringBuild)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  bench::StartOffscreenWithoutPrinters(argc, argv);
  TfrGlobals globals;
  return bench::RunBenchmarks(argc, argv, [](const bench::TTimesReporter& times) {
    std::printf("\n");
    bench::PrintRatioRows(times, {
        {"DrawOnCanvas of 60 wrapped text objects against QPainter::drawText of their lines", "BM_DrawOnCanvas",
         "BM_QPainterDrawText", 3},
        {"ExportAsNewFormat of 500 objects against a plain string build", "BM_ExportAsNewFormat",
         "BM_PlainStringBuild", 2},
    });
  });
}
