// Report views and data sets against what a caller could use instead:
// - 2,000 framed, filled views and shapes drawn on an A4 page at zoom 1 against bare QPainter
//   drawing the same rectangles and lines on a QImage of that size (aim <= 3 x);
// - 100,000 rows of 5 fields walked through TfrxDBDataset (First, Next, Eof, GetValue) over a
//   TADOQuery on SQLite against the same query walked with FieldByName(...)->Value
//   (aim <= 1.5 x); a bare sqlite3_step walk is printed beside them.
#include "BenchUtil.h"
#include "core/SysUtils.h"
#include "data/ADODB.h"
#include "gui/Application.h"
#include "gui/Canvas.h"
#include "gui/Pictures.h"
#include "report/frxShapes.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <vector>

namespace {

constexpr int kViews = 2000;
constexpr int kRows = 100000;
constexpr int kPageW = 794, kPageH = 1123;

// The same 2,000 boxes for both sides: position, size, fill and whether it is a shape.
struct TBox {
  int X, Y, W, H;
  TColor Fill;
  bool Shape;
};

const std::vector<TBox>& Boxes() {
  static const std::vector<TBox> boxes = [] {
    std::vector<TBox> b;
    for (int i = 0; i < kViews; ++i)
      b.push_back({(i * 37) % (kPageW - 100), (i * 53) % (kPageH - 30), 60 + i % 40, 14 + i % 12,
                   TColor(0x00C0FF + (i % 7) * 0x101010), i % 4 == 0});
    return b;
  }();
  return boxes;
}

void BM_ReportViewsDraw(benchmark::State& state) {
  TfrxReport report(nullptr);
  std::vector<TfrxView*> views;
  for (const TBox& b : Boxes()) {
    TfrxView* v = b.Shape ? static_cast<TfrxView*>(new TfrxShapeView(&report)) : new TfrxView(&report);
    v->SetBounds(b.X, b.Y, b.W, b.H);
    v->SetColor(b.Fill);
    v->Frame()->SetTyp(TfrxFrameTypes{ftLeft, ftRight, ftTop, ftBottom});
    views.push_back(v);
  }
  TBitmap page;
  page.SetPixelFormat(pf32bit);
  page.SetSize(kPageW, kPageH);
  for (auto _ : state) {
    page.Canvas()->Brush()->SetColor(clWhite);
    page.Canvas()->FillRect(TRect{0, 0, kPageW, kPageH});
    for (TfrxView* v : views) v->DrawOnCanvas(page.Canvas(), 1, 1, 0, 0);
    benchmark::DoNotOptimize(page.Canvas()->Pixels(10, 10));
  }
}
BENCHMARK(BM_ReportViewsDraw)->Unit(benchmark::kMillisecond);

void BM_QPainterDraw(benchmark::State& state) {
  QImage image(kPageW, kPageH, QImage::Format_RGB32);
  for (auto _ : state) {
    image.fill(Qt::white);
    QPainter p(&image);
    p.setPen(QPen(Qt::black, 1));
    for (const TBox& b : Boxes()) {
      QColor fill(b.Fill & 0xFF, (b.Fill >> 8) & 0xFF, (b.Fill >> 16) & 0xFF);
      p.fillRect(b.X, b.Y, b.W, b.H, fill);
      p.drawLine(b.X, b.Y, b.X, b.Y + b.H);
      p.drawLine(b.X + b.W, b.Y, b.X + b.W, b.Y + b.H);
      p.drawLine(b.X, b.Y, b.X + b.W, b.Y);
      p.drawLine(b.X, b.Y + b.H, b.X + b.W + 1, b.Y + b.H);
    }
    p.end();
    benchmark::DoNotOptimize(image.pixel(10, 10));
  }
}
BENCHMARK(BM_QPainterDraw)->Unit(benchmark::kMillisecond);

// ---------------------------------------------------------------- records

const char* const kFields[] = {"code", "name", "amount", "qty", "day"};

class TRowsDb {
public:
  TRowsDb() {
    FFolder = (std::filesystem::temp_directory_path() / ("kelm-views-" + std::to_string(::getpid()))).string();
    std::filesystem::create_directories(FFolder);
    FFile = FFolder + "/rows.db";
    sqlite3* db = nullptr;
    sqlite3_open(FFile.c_str(), &db);
    sqlite3_exec(db,
                 "CREATE TABLE rows (code TEXT(20), name TEXT(50), amount DOUBLE, qty INTEGER, day DOUBLE); BEGIN",
                 nullptr, nullptr, nullptr);
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO rows VALUES (?, ?, ?, ?, ?)", -1, &s, nullptr);
    for (int i = 0; i < kRows; ++i) {
      String code = "C" + IntToStr(i), name = "货品 " + IntToStr(i);
      sqlite3_bind_text(s, 1, code.data(), static_cast<int>(code.size()), SQLITE_TRANSIENT);
      sqlite3_bind_text(s, 2, name.data(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
      sqlite3_bind_double(s, 3, i * 1.5);
      sqlite3_bind_int(s, 4, i % 100);
      sqlite3_bind_double(s, 5, 45000 + i % 365);
      sqlite3_step(s);
      sqlite3_reset(s);
    }
    sqlite3_finalize(s);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
  }
  ~TRowsDb() { std::filesystem::remove_all(FFolder); }
  String ConnectionString() const { return "Data Source=" + FFile + ";"; }
  const std::string& File() const { return FFile; }

private:
  std::string FFolder, FFile;
};

TRowsDb& Db() {
  static TRowsDb db;
  return db;
}

// An open query over the rows, kept for the benchmark's life.
struct TOpenQuery {
  TADOConnection Conn{nullptr};
  TADOQuery Query{nullptr};
  TOpenQuery() {
    Conn.SetConnectionString(Db().ConnectionString());
    Conn.SetLoginPrompt(false);
    Conn.Open();
    Query.SetConnection(&Conn);
    Query.SQL()->SetText("select * from rows");
    Query.Open();
  }
};

void BM_FrxDBDatasetWalk(benchmark::State& state) {
  TOpenQuery q;
  TfrxDBDataset ds(nullptr);
  ds.SetUserName("Rows");
  ds.SetDataSet(&q.Query);
  ds.BeginUse();
  for (auto _ : state) {
    double sum = 0;
    for (ds.First(); !ds.Eof(); ds.Next())
      for (const char* f : kFields) {
        Variant v = ds.GetValue(f);
        sum += VarType(v) == varString ? 1 : 0;
      }
    benchmark::DoNotOptimize(sum);
  }
  ds.EndUse();
}
BENCHMARK(BM_FrxDBDatasetWalk)->Unit(benchmark::kMillisecond);

void BM_QueryFieldByNameWalk(benchmark::State& state) {
  TOpenQuery q;
  for (auto _ : state) {
    double sum = 0;
    for (q.Query.First(); !q.Query.Eof(); q.Query.Next())
      for (const char* f : kFields) {
        Variant v = q.Query.FieldByName(f)->Value();
        sum += VarType(v) == varString ? 1 : 0;
      }
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(BM_QueryFieldByNameWalk)->Unit(benchmark::kMillisecond);

void BM_SqliteStepWalk(benchmark::State& state) {
  sqlite3* db = nullptr;
  sqlite3_open(Db().File().c_str(), &db);
  for (auto _ : state) {
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db, "select * from rows", -1, &s, nullptr);
    double sum = 0;
    while (sqlite3_step(s) == SQLITE_ROW)
      for (int c = 0; c < 5; ++c) sum += sqlite3_column_type(s, c) == SQLITE_TEXT ? 1 : 0;
    sqlite3_finalize(s);
    benchmark::DoNotOptimize(sum);
  }
  sqlite3_close(db);
}
BENCHMARK(BM_SqliteStepWalk)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  InitApplication(argc, argv);
  return bench::RunBenchmarks(argc, argv, [](const bench::TTimesReporter& times) {
    std::printf("\n");
    bench::PrintRatioRows(times, {
        {"2,000 views and shapes drawn against bare QPainter", "BM_ReportViewsDraw", "BM_QPainterDraw", 3.0},
        {"100,000 rows walked through TfrxDBDataset against FieldByName", "BM_FrxDBDatasetWalk",
         "BM_QueryFieldByNameWalk", 1.5},
    });
    std::printf("for comparison: the FieldByName walk against bare sqlite3_step  %.2f x\n",
                times.Ratio("BM_QueryFieldByNameWalk", "BM_SqliteStepWalk"));
  });
}
