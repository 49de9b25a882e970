// The older report engine's run against the least a user could write instead: a 1,000-row
// list (page header, a master band of four text objects, page footer "[PAGE#]") run into
// prepared pages and every page drawn on a 96-dpi image, against bare QPainter drawing the
// same texts and frames at the same places; the prepared pages saved and loaded as .frp,
// against writing and reading the same page streams as plain length-prefixed blobs; and the
// pages printed to the PDF printer, against bare QPainter on QPdfWriter.
#include "BenchUtil.h"

#include "report_legacy/FR_ClassPrepared.h"
#include "report_legacy/FR_Prntr.h"

#include "core/FileUtils.h"
#include "core/StringList.h"
#include "core/Streams.h"
#include "gui/Application.h"
#include "gui/Canvas.h"
#include "gui/Pictures.h"
#include "print/Printers.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>

#include <cstdlib>
#include <filesystem>

namespace {

constexpr int kRows = 1000;

struct TListReport {
  TComponent Owner{nullptr};
  TfrReport* Report;
  TListReport() {
    Report = new TfrReport(&Owner);
    Report->SetShowProgress(false);
    TfrPage* page = Report->Pages()->Add();
    auto band = [page](int type, const char* name, int top, const char* source) {
      auto* b = new TfrBandView;
      b->Name = name;
      b->SetBandType(type);
      b->SetViewBounds(0, top, 700, 20);
      b->FormatText = source;
      page->AddObject(b);
    };
    auto memo = [page](int left, int top, const String& text) {
      auto* m = new TfrMemoView;
      m->Name = "Memo" + IntToStr(page->ObjectCount());
      m->SetViewBounds(left, top, 160, 18);
      m->FrameTyp = 15;
      m->Memo.SetText(text);
      page->AddObject(m);
    };
    band(btPageHeader, "PageHeader1", 20, "");
    memo(40, 20, "Contract list");
    band(btMasterData, "MasterData1", 60, "1000");
    for (int i = 0; i < 4; ++i) memo(40 + i * 170, 60, i == 0 ? "[LINE#]" : "Item [LINE#] col " + IntToStr(i));
    band(btPageFooter, "PageFooter1", 1000, "");
    memo(40, 1000, "[PAGE#]");
  }
};

struct TPlacedText {
  QRect Box;
  QString Text;
};

// What the pages show, each text with its frame, read from one run.
std::vector<std::vector<TPlacedText>> Layout(TfrReport* r) {
  std::vector<std::vector<TPlacedText>> out;
  TfrEMFPages* pages = r->PreparedPages();
  for (int i = 0; i < pages->Count(); ++i) {
    pages->ObjectsToPage(i);
    std::vector<TPlacedText> page;
    for (const auto& v : pages->PageInfo(i).PageObject->Objects) {
      String t = v->Memo.Count() ? v->Memo.Strings(0) : String();
      if (!t.empty() && t.back() == '\x01') t.pop_back();
      page.push_back({QRect(v->Left, v->Top, v->Width, v->Height), QString::fromUtf8(t.data(), int(t.size()))});
    }
    pages->PageInfo(i).PageObject.reset();
    out.push_back(std::move(page));
  }
  return out;
}

void BM_RunAndDraw(benchmark::State& state) {
  TListReport list;
  TBitmap bmp;
  int pageCount = 0;
  for (auto _ : state) {
    list.Report->PrepareReport();
    TfrEMFPages* pages = list.Report->PreparedPages();
    pageCount = pages->Count();
    for (int i = 0; i < pages->Count(); ++i) {
      TfrPageInfo& p = pages->PageInfo(i);
      bmp.SetSize(p.PageInfo.PageWidth, p.PageInfo.PageHeight);
      bmp.Canvas()->Brush()->SetColor(clWhite);
      bmp.Canvas()->FillRect({0, 0, bmp.Width(), bmp.Height()});
      p.PageVisible = true;
      pages->Draw(i, bmp.Canvas(), {0, 0, p.PageInfo.PageWidth, p.PageInfo.PageHeight});
      p.PageVisible = false;
      pages->Draw(i, bmp.Canvas(), {});
    }
  }
  state.counters["pages"] = pageCount;
}
BENCHMARK(BM_RunAndDraw)->Unit(benchmark::kMillisecond);

void DrawPlain(QPainter& p, const std::vector<TPlacedText>& page) {
  QFont font("Arial");
  font.setPixelSize(13);
  p.setFont(font);
  for (const TPlacedText& t : page) {
    p.setPen(Qt::black);
    p.drawRect(t.Box);
    p.drawText(t.Box.adjusted(2, 1, 0, 0), Qt::AlignLeft | Qt::AlignTop, t.Text);
  }
}

void BM_QPainterPages(benchmark::State& state) {
  TListReport list;
  list.Report->PrepareReport();
  const auto layout = Layout(list.Report);
  const TPrnPageInfo info = list.Report->PreparedPages()->PageInfo(0).PageInfo;
  QImage image(info.PageWidth, info.PageHeight, QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state)
    for (const auto& page : layout) {
      image.fill(Qt::white);
      QPainter p(&image);
      DrawPlain(p, page);
    }
  state.counters["pages"] = double(layout.size());
}
BENCHMARK(BM_QPainterPages)->Unit(benchmark::kMillisecond);

// ---------------------------------------------------------------- .frp

void BM_FrpSaveLoad(benchmark::State& state) {
  TListReport list;
  list.Report->PrepareReport();
  const int count = list.Report->PreparedPages()->Count();
  for (auto _ : state) {
    TMemoryStream m;
    list.Report->PreparedPages()->SaveToStream(&m);
    m.SetPosition(0);
    list.Report->PreparedPages()->LoadFromStream(&m);
  }
  if (list.Report->PreparedPages()->Count() != count) state.SkipWithError("pages lost");
}
BENCHMARK(BM_FrpSaveLoad)->Unit(benchmark::kMicrosecond);

void BM_PlainBlobs(benchmark::State& state) {
  TListReport list;
  list.Report->PrepareReport();
  TfrEMFPages* pages = list.Report->PreparedPages();
  std::vector<std::string> blobs;
  for (int i = 0; i < pages->Count(); ++i) {
    TMemoryStream* s = pages->PageStream(i);
    blobs.emplace_back(static_cast<const char*>(s->Memory()), static_cast<std::size_t>(s->Size()));
  }
  for (auto _ : state) {
    TMemoryStream m;
    for (const std::string& b : blobs) {
      const auto n = static_cast<std::uint32_t>(b.size());
      m.WriteBuffer(&n, 4);
      m.WriteBuffer(b.data(), n);
    }
    m.SetPosition(0);
    std::vector<std::unique_ptr<TMemoryStream>> back;
    while (m.Position() < m.Size()) {
      std::uint32_t n = 0;
      m.ReadBuffer(&n, 4);
      auto s = std::make_unique<TMemoryStream>();
      s->CopyFrom(&m, n);
      back.push_back(std::move(s));
    }
    benchmark::DoNotOptimize(back.data());
  }
}
BENCHMARK(BM_PlainBlobs)->Unit(benchmark::kMicrosecond);

// ---------------------------------------------------------------- PDF

String TempPdf(const char* name) {
  return (std::filesystem::temp_directory_path() / (std::string(name) + std::to_string(getpid()) + ".pdf")).string();
}

void BM_PrintToPdf(benchmark::State& state) {
  TListReport list;
  list.Report->PrepareReport();
  TPrinter* prn = Printer();
  const int pdf = prn->Printers()->IndexOf("PDF");
  if (pdf < 0) {
    state.SkipWithError("no PDF printer");
    return;
  }
  prn->SetPrinterIndex(pdf);
  GlobalPrinter()->SetSystemPrinter(prn);
  const String file = TempPdf("frbench");
  prn->SetFileName(file);
  for (auto _ : state) list.Report->PrintPreparedReport("", 1, 0, true);
  std::filesystem::remove(file);
}
BENCHMARK(BM_PrintToPdf)->Unit(benchmark::kMillisecond);

void BM_QPdfWriter(benchmark::State& state) {
  TListReport list;
  list.Report->PrepareReport();
  const auto layout = Layout(list.Report);
  const TPrnPageInfo info = list.Report->PreparedPages()->PageInfo(0).PageInfo;
  const String file = TempPdf("qtbench");
  for (auto _ : state) {
    QPdfWriter writer(QString::fromStdString(file));
    writer.setResolution(600);
    writer.setPageSize(QPageSize(QPageSize::A4));
    QPainter p(&writer);
    // Report units to the writer's pixels.
    const double k = 600.0 / 96;
    p.scale(k * 96 / (18600.0 / 203), k * 96 / (18600.0 / 203));
    for (std::size_t i = 0; i < layout.size(); ++i) {
      if (i) writer.newPage();
      DrawPlain(p, layout[i]);
    }
  }
  (void)info;
  std::filesystem::remove(file);
}
BENCHMARK(BM_QPdfWriter)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  InitApplication(argc, argv);
  FreeGlobalPrinter();
  TfrGlobals globals;
  return bench::RunBenchmarks(argc, argv, [](const bench::TTimesReporter& times) {
    std::printf("\n");
    bench::PrintRatioRows(times, {
        {"PrepareReport and Draw of a 1,000-row list against QPainter drawing its pages", "BM_RunAndDraw",
         "BM_QPainterPages", 4},
        {".frp save and load against plain length-prefixed blobs", "BM_FrpSaveLoad", "BM_PlainBlobs", 2},
        {"printing to the PDF printer against QPainter on QPdfWriter", "BM_PrintToPdf", "BM_QPdfWriter", 3},
    });
  });
}
