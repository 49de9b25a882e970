// The report engine on a list report (A4, page header 40, master band 20 with one text object,
// page footer 40 with one text object) over a user data set held in memory:
// - TfrxReport::Prepare of 1,000 rows against writing the same pages' elements (one per band
//   and text object, with the attribute text the store keeps) into a plain std::string
//   (aim <= 20 x);
// - Prepare of 10,000 rows against 1,000 (aim <= 11 x: the run is linear in the rows);
// - saving and loading the 10,000-row result as .fp3 against QXmlStreamWriter writing and
//   QXmlStreamReader reading the same elements and attributes (aim <= 3 x).
// Also printed: bytes of .fp3 per page, and the heap a 10,000-row result holds with the file
// cache off and on.
#include "BenchUtil.h"
#include "core/Streams.h"
#include "core/StringList.h"
#include "core/SysUtils.h"
#include "report/frxBands.h"
#include "report/frxClass.h"
#include "report/frxDBSet.h"
#include "report/frxMemoView.h"
#include "report/frxPages.h"
#include "report/frxPreviewPages.h"
#include "report/frxXML.h"

#include <QByteArray>
#include <QString>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sys/resource.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

long MaxRssKb() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_maxrss;
}

struct TListReport {
  TfrxReport Report{nullptr};
  TfrxUserDataSet Rows{nullptr};

  explicit TListReport(int N, bool FileCache = false) {
    Rows.SetUserName("Rows");
    Rows.Fields()->SetText("N");
    Rows.SetRangeEnd(reCount);
    Rows.SetRangeEndCount(N);
    Rows.OnGetValue = TfrxGetValueEvent::Lambda([this](const String&, Variant& v) { v = Variant(Rows.RecNo() + 1); });
    Report.DataSets()->AddDataSet(&Rows);
    Report.EngineOptions()->SetReloadAfterRun(false);
    Report.EngineOptions()->SetNewSilentMode(simReThrow);
    Report.EngineOptions()->SetUseFileCache(FileCache);
    auto* page = new TfrxReportPage(&Report);
    page->SetName("Page1");
    page->SetPaperSize(9);
    page->SetLeftMargin(10);
    page->SetRightMargin(10);
    page->SetTopMargin(10);
    page->SetBottomMargin(10);
    auto* header = new TfrxPageHeader(page);
    header->SetName("PageHeader1");
    header->SetHeight(40);
    auto* master = new TfrxMasterData(page);
    master->SetName("MasterData1");
    master->SetTop(60);
    master->SetHeight(20);
    master->SetDataSet(&Rows);
    auto* memo = new TfrxMemoView(master);
    memo->SetName("RowMemo");
    memo->SetText("[Rows.\"N\"]");
    memo->SetBounds(0, 0, 200, 20);
    auto* footer = new TfrxPageFooter(page);
    footer->SetName("PageFooter1");
    footer->SetTop(200);
    footer->SetHeight(40);
    auto* pageNo = new TfrxMemoView(footer);
    pageNo->SetName("FooterMemo");
    pageNo->SetText("[Page#]");
    pageNo->SetBounds(0, 0, 200, 20);
  }

  TfrxPreviewPages& Store() { return *static_cast<TfrxPreviewPages*>(Report.PreviewPages()); }

  void Prepare() {
    if (!Report.Prepare()) std::fprintf(stderr, "prepare failed: %s\n", Report.Errors()->Text().c_str());
  }
};

// The elements of prepared pages as (depth, name, attribute text), in document order.
struct TElement {
  int Depth;
  std::string Name, Text;
};

void Collect(TfrxXMLItem* Item, int Depth, std::vector<TElement>& Out) {
  Out.push_back(TElement{Depth, Item->Name(), Item->Text()});
  for (int i = 0; i < Item->ChildCount(); ++i) Collect(Item->ChildAt(i), Depth + 1, Out);
}

std::vector<TElement> PreparedElements(int N) {
  TListReport list(N);
  list.Prepare();
  std::vector<TElement> out;
  Collect(list.Store().PagesItem(), 0, out);
  return out;
}

// Attribute text as name/value pairs, for the Qt writer.
std::vector<std::pair<QString, QString>> SplitAttributes(const std::string& Text) {
  std::vector<std::pair<QString, QString>> result;
  std::size_t i = 0;
  while (i < Text.size()) {
    while (i < Text.size() && Text[i] == ' ') ++i;
    std::size_t eq = Text.find("=\"", i);
    if (eq == std::string::npos) break;
    std::size_t end = Text.find('"', eq + 2);
    result.emplace_back(QString::fromStdString(Text.substr(i, eq - i)),
                        QString::fromStdString(Text.substr(eq + 2, end - eq - 2)));
    i = end + 1;
  }
  return result;
}

void BM_Prepare(benchmark::State& state) {
  TListReport list(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    list.Prepare();
    benchmark::DoNotOptimize(list.Store().Count());
  }
  state.counters["pages"] = list.Store().Count();
}
BENCHMARK(BM_Prepare)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// The same elements written into one string, as a hand-made writer would.
void BM_PlainStringPages(benchmark::State& state) {
  std::vector<TElement> elements = PreparedElements(1000);
  for (auto _ : state) {
    std::string out;
    std::vector<const std::string*> open;
    for (const TElement& e : elements) {
      while (static_cast<int>(open.size()) > e.Depth) {
        out += "</" + *open.back() + ">";
        open.pop_back();
      }
      out += "<" + e.Name;
      if (!e.Text.empty()) out += " " + e.Text;
      out += ">";
      open.push_back(&e.Name);
    }
    while (!open.empty()) {
      out += "</" + *open.back() + ">";
      open.pop_back();
    }
    benchmark::DoNotOptimize(out.data());
  }
}
BENCHMARK(BM_PlainStringPages)->Unit(benchmark::kMillisecond);

void BM_Fp3SaveLoad(benchmark::State& state) {
  TListReport list(10000);
  list.Prepare();
  TfrxReport other(nullptr);
  TfrxPreviewPages loaded(&other);
  Int64 bytes = 0;
  for (auto _ : state) {
    TMemoryStream s;
    list.Store().SaveToStream(&s);
    bytes = s.Size();
    s.SetPosition(0);
    loaded.LoadFromStream(&s);
    benchmark::DoNotOptimize(loaded.Count());
  }
  state.counters["bytes_per_page"] = static_cast<double>(bytes) / list.Store().Count();
}
BENCHMARK(BM_Fp3SaveLoad)->Unit(benchmark::kMillisecond);

void BM_QtXmlWriteRead(benchmark::State& state) {
  std::vector<TElement> elements = PreparedElements(10000);
  std::vector<std::vector<std::pair<QString, QString>>> attributes;
  std::vector<QString> names;
  for (const TElement& e : elements) {
    attributes.push_back(SplitAttributes(e.Text));
    names.push_back(QString::fromStdString(e.Name));
  }
  for (auto _ : state) {
    QByteArray out;
    {
      QXmlStreamWriter writer(&out);
      writer.writeStartDocument();
      int depth = -1;
      for (std::size_t i = 0; i < elements.size(); ++i) {
        for (; depth >= elements[i].Depth; --depth) writer.writeEndElement();
        writer.writeStartElement(names[i]);
        for (const auto& [name, value] : attributes[i]) writer.writeAttribute(name, value);
        depth = elements[i].Depth;
      }
      writer.writeEndDocument();
    }
    QXmlStreamReader reader(out);
    std::vector<std::pair<std::string, std::string>> read;
    read.reserve(elements.size());
    while (!reader.atEnd())
      if (reader.readNext() == QXmlStreamReader::StartElement) {
        std::string text;
        for (const QXmlStreamAttribute& a : reader.attributes())
          text += a.name().toString().toStdString() + "=\"" + a.value().toString().toStdString() + "\" ";
        read.emplace_back(reader.name().toString().toStdString(), std::move(text));
      }
    benchmark::DoNotOptimize(read.data());
  }
}
BENCHMARK(BM_QtXmlWriteRead)->Unit(benchmark::kMillisecond);

// The heap a 10,000-row result holds once the run is over, with the file cache off and on
// (MaxMemSize 1 MB), and the program's resident peak so far.
double gHeldKb[2] = {0, 0};

void BM_HeldMemory(benchmark::State& state) {
  bool fileCache = state.range(0) != 0;
  double heldKb = 0;
  for (auto _ : state) {
    std::size_t before = mallinfo2().uordblks;
    TListReport list(10000, fileCache);
    list.Report.EngineOptions()->SetMaxMemSize(1);
    list.Prepare();
    heldKb = (static_cast<double>(mallinfo2().uordblks) - static_cast<double>(before)) / 1024;
    benchmark::DoNotOptimize(list.Store().Count());
  }
  state.counters["held_kb"] = heldKb;
  gHeldKb[fileCache ? 1 : 0] = heldKb;
  state.counters["peak_rss_kb"] = static_cast<double>(MaxRssKb());
}
BENCHMARK(BM_HeldMemory)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return bench::RunBenchmarks(argc, argv, [](const bench::TTimesReporter& times) {
    std::printf("\n");
    bench::PrintRatioRows(times, {
        {"Prepare 1,000 rows against writing the same elements into a std::string", "BM_Prepare/1000",
         "BM_PlainStringPages", 20.0},
        {"Prepare 10,000 rows against 1,000", "BM_Prepare/10000", "BM_Prepare/1000", 11.0},
        {".fp3 save and load of 10,000 rows against QXmlStreamWriter and QXmlStreamReader", "BM_Fp3SaveLoad",
         "BM_QtXmlWriteRead", 3.0},
    });
    std::printf(".fp3 bytes per page  %.0f\n", times.Counter("BM_Fp3SaveLoad", "bytes_per_page"));
    std::printf("heap held by a 10,000-row result  %.0f KB (file cache off), %.0f KB (on, 1 MB)\n",
                gHeldKb[0], gHeldKb[1]);
  });
}
