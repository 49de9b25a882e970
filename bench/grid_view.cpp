// The data grid showing 100,000 SQLite rows of 12 mixed columns (Chinese text among them)
// against Qt's table view over a fully fetched query model, both 40 rows by 12 columns in the
// same font, sizes, headers and alternating colours: a full repaint, a one-page scroll with
// its repaint (the grid repaints its window at once as its dataset scrolls; the view renders
// after its bar moved), and the heap in use after opening and the first paint. Also an application-
// like grid (footer sums, check boxes, sort markers, a two-level title) against the plain one.
// Goals: repaint and scroll within 1.0x the view, memory within 2x, the application-like grid
// within 1.5x the plain one.
#include "BenchUtil.h"
#include "data/ADODB.h"
#include "grid/DBGridEh.h"
#include "gui/Forms.h"
#include "gui/Application.h"

#include <QtGui/QImage>
#include <QtGui/QPainter>
#include <QtSql/QSqlDatabase>
#include <QtSql/QSqlQueryModel>
#include <QtWidgets/QApplication>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QScrollBar>
#include <QtWidgets/QTableView>
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>

namespace {

constexpr int kRows = 100000;
constexpr int kVisibleRows = 40;
constexpr int kCols = 12;
constexpr int kColWidth = 80;
const char* const kFontName = "WenQuanYi Micro Hei";

using bench::Clock;
using bench::Seconds;

size_t HeapInUse() { return mallinfo2().uordblks; }

class TBenchDb {
public:
  TBenchDb() {
    FFolder = (std::filesystem::temp_directory_path() / ("kelm-gridview-" + std::to_string(::getpid()))).string();
    std::filesystem::create_directories(FFolder);
    FFile = FFolder + "/bench.db";
    sqlite3* db = nullptr;
    sqlite3_open(FFile.c_str(), &db);
    sqlite3_exec(db,
                 "CREATE TABLE pact (id INTEGER PRIMARY KEY, code TEXT(20), name TEXT(50), customer TEXT(50), "
                 "amount DOUBLE, qty INTEGER, signed DATETIME, done BIT, note TEXT(100), paid DOUBLE, "
                 "rate DOUBLE, state TEXT(10)); BEGIN",
                 nullptr, nullptr, nullptr);
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO pact VALUES (?,?,?,?,?,?,?,?,?,?,?,?)", -1, &s, nullptr);
    const char* names[] = {"办公楼施工合同", "设备采购合同", "技术服务合同", "材料供应合同"};
    const char* customers[] = {"华东建设有限公司", "北方机电集团", "南方科技股份", "西部物资公司"};
    for (int i = 0; i < kRows; ++i) {
      String code = "HT" + std::to_string(100000 + i);
      String note = String("备注第") + std::to_string(i) + "条";
      sqlite3_bind_int(s, 1, i + 1);
      sqlite3_bind_text(s, 2, code.data(), int(code.size()), SQLITE_TRANSIENT);
      sqlite3_bind_text(s, 3, names[i % 4], -1, SQLITE_STATIC);
      sqlite3_bind_text(s, 4, customers[i % 4], -1, SQLITE_STATIC);
      sqlite3_bind_double(s, 5, i * 1.25);
      sqlite3_bind_int(s, 6, i % 97);
      sqlite3_bind_double(s, 7, 45000 + i % 900);
      sqlite3_bind_int(s, 8, i % 2);
      sqlite3_bind_text(s, 9, note.data(), int(note.size()), SQLITE_TRANSIENT);
      sqlite3_bind_double(s, 10, i * 0.5);
      sqlite3_bind_double(s, 11, (i % 100) / 100.0);
      sqlite3_bind_text(s, 12, i % 3 ? "执行中" : "已结清", -1, SQLITE_STATIC);
      sqlite3_step(s);
      sqlite3_reset(s);
    }
    sqlite3_finalize(s);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
  }
  ~TBenchDb() { std::filesystem::remove_all(FFolder); }
  const String& File() const { return FFile; }

private:
  String FFolder, FFile;
};

TBenchDb& Db() {
  static TBenchDb db;
  return db;
}

// A grid over the query on a form; AppLike adds what the application's lists show.
struct TGridScene {
  TForm* Form = nullptr;
  TADOQuery* Query = nullptr;
  TDBGridEh* Grid = nullptr;
  std::unique_ptr<TBitmap> Target;
  size_t Heap = 0;

  explicit TGridScene(bool AppLike) {
    size_t before = HeapInUse();
    Form = new TForm(Application);
    Form->Font()->SetName(kFontName);
    auto* conn = new TADOConnection(Form);
    conn->SetConnectionString("Data Source=" + Db().File() + ";");
    Query = new TADOQuery(Form);
    Query->SetConnection(conn);
    Query->SQL()->SetText("select * from pact");
    auto* source = new TDataSource(Form);
    source->SetDataSet(Query);
    Grid = new TDBGridEh(Form);
    Grid->Font()->SetName(kFontName);
    Grid->TitleFont()->SetName(kFontName);
    Grid->SetParent(Form);
    Grid->SetBorderStyle(bsNone);
    Grid->SetOptions(Grid->Options() - TDBGridOptions{dgIndicator});
    Grid->SetEvenRowColor(TColor(RGB(255, 255, 225)));
    Grid->SetOddRowColor(clWindow);
    Grid->SetDataSource(source);
    Query->Open();
    if (AppLike) DressUp();
    for (int i = 0; i < Grid->Columns()->Count(); ++i) Grid->Columns()->Items(i)->SetWidth(kColWidth);
    SizeFor(kVisibleRows);
    Form->Show();
    Application->ProcessMessages();
    Paint();
    Heap = HeapInUse() - before;
    if (Grid->VisibleDataRowCount() != kVisibleRows || Grid->VisibleColCount() < kCols - 1)
      std::fprintf(stderr, "the grid shows %d rows and %d columns\n", Grid->VisibleDataRowCount(),
                   Grid->VisibleColCount());
  }
  ~TGridScene() { delete Form; }

  void DressUp() {
    TDBGridEhLayoutLock lock(Grid);
    Grid->SetOptionsEh(Grid->OptionsEh() + TDBGridEhOptions{dghMultiSortMarking});
    TDBGridColumnsEh* cols = Grid->Columns();
    cols->Clear();  // the columns made from the fields give way to the application's own
    // "amount" next to "paid", so one band spans both.
    const char* fields[] = {"id", "code", "name", "customer", "qty", "signed",
                            "done", "note", "amount", "paid", "rate", "state"};
    for (const char* f : fields) cols->AddColumn()->SetFieldName(f);
    cols->Items(8)->Title()->SetCaption("金额|合同");
    cols->Items(9)->Title()->SetCaption("金额|已付");
    cols->Items(6)->SetCheckboxes(true);
    for (int i : {8, 9}) cols->Items(i)->Footer()->SetValueType(fvtSum);
    cols->Items(1)->Title()->SetSortMarker(smDownEh);
    cols->Items(2)->Title()->SetSortMarker(smUpEh);
    Grid->SetUseMultiTitle(true);
    Grid->SetFooterRowCount(1);
    Grid->SumList()->SetActive(true);
  }
  // Grid height for Rows data rows.
  void SizeFor(int Rows) {
    Grid->SetBounds(0, 0, kCols * (kColWidth + 1), 2000);
    int line = Grid->GridLineWidth();
    int h = Grid->RowHeights(0) + line + Rows * (Grid->DefaultRowHeight() + line);
    if (Grid->FooterRowCount() > 0) h += Grid->FooterRowCount() * (Grid->DefaultRowHeight() + line) + line;
    Form->SetBounds(0, 0, kCols * (kColWidth + 1) + 40, h + 40);
    Grid->SetBounds(0, 0, kCols * (kColWidth + 1) + 20, h);
    Target = std::make_unique<TBitmap>();
    Target->SetSize(Grid->Width(), Grid->Height());
  }
  void Paint() { Grid->PaintTo(Target->Canvas(), 0, 0); }
  // A page down from the last visible row, as the grid's page key moves.
  void ScrollPage() {
    int page = Grid->VisibleDataRowCount();
    Query->MoveBy(page - 1 - Grid->DataLink()->ActiveRecord() + page);
    if (Query->Eof()) Query->First();
  }
  // The grid repaints its window as the dataset scrolls; what is still pending is painted.
  void ScrollAndPaint() {
    ScrollPage();
    Grid->Update();
  }
};

struct TGridScene;
TGridScene& Plain();

struct TViewScene {
  std::unique_ptr<QSqlQueryModel> Model;
  std::unique_ptr<QTableView> View;
  QImage Target;
  size_t Heap = 0;

  TViewScene() {
    size_t before = HeapInUse();
    {
      QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "bench");
      db.setDatabaseName(QString::fromStdString(Db().File()));
      db.open();
    }
    Model = std::make_unique<QSqlQueryModel>();
    Model->setQuery("select * from pact", QSqlDatabase::database("bench"));
    while (Model->canFetchMore()) Model->fetchMore();
    View = std::make_unique<QTableView>();
    QFont font(kFontName);
    font.setPixelSize(-Plain().Grid->Font()->Height());  // the grid's character height
    View->setFont(font);
    View->setModel(Model.get());
    View->setAlternatingRowColors(true);
    View->verticalHeader()->hide();
    View->verticalHeader()->setDefaultSectionSize(RowHeight());
    View->horizontalHeader()->setDefaultSectionSize(kColWidth);
    View->setFrameShape(QFrame::NoFrame);
    View->resize(kCols * (kColWidth + 1) + 20, View->horizontalHeader()->sizeHint().height() + kVisibleRows * RowHeight());
    View->show();
    QApplication::processEvents();
    Target = QImage(View->size(), QImage::Format_RGB32);
    Paint();
    Heap = HeapInUse() - before;
    int shown = View->rowAt(View->viewport()->height() - 1) - View->rowAt(0) + 1;
    if (shown != kVisibleRows) std::fprintf(stderr, "the view shows %d rows\n", shown);
  }
  ~TViewScene() {
    View.reset();
    Model.reset();
    QSqlDatabase::removeDatabase("bench");
  }
  // The grid's rows with their line (the view draws its line inside the section).
  static int RowHeight();
  void Paint() {
    QPainter p(&Target);
    View->render(&p);
  }
  void ScrollPage() {
    QScrollBar* bar = View->verticalScrollBar();
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    if (bar->value() >= bar->maximum()) bar->setValue(0);
  }
  void ScrollAndPaint() {
    ScrollPage();
    Paint();
  }
};

std::unique_ptr<TGridScene> GPlain, GApp;
std::unique_ptr<TViewScene> GView;

TGridScene& Plain() {
  if (!GPlain) GPlain = std::make_unique<TGridScene>(false);
  return *GPlain;
}

int TViewScene::RowHeight() { return Plain().Grid->DefaultRowHeight() + Plain().Grid->GridLineWidth(); }
TGridScene& AppLike() {
  if (!GApp) GApp = std::make_unique<TGridScene>(true);
  return *GApp;
}
TViewScene& View() {
  if (!GView) GView = std::make_unique<TViewScene>();
  return *GView;
}

template <class S> void Repaint(benchmark::State& state, S& Scene) {
  for (auto _ : state) {
    auto t0 = Clock::now();
    Scene.Paint();
    state.SetIterationTime(Seconds(t0, Clock::now()));
  }
}
template <class S> void Scroll(benchmark::State& state, S& Scene) {
  for (auto _ : state) {
    auto t0 = Clock::now();
    Scene.ScrollAndPaint();
    state.SetIterationTime(Seconds(t0, Clock::now()));
  }
}

void BM_GridRepaint(benchmark::State& state) { Repaint(state, Plain()); }
BENCHMARK(BM_GridRepaint)->UseManualTime()->Unit(benchmark::kMicrosecond);
void BM_ViewRepaint(benchmark::State& state) { Repaint(state, View()); }
BENCHMARK(BM_ViewRepaint)->UseManualTime()->Unit(benchmark::kMicrosecond);
void BM_GridScroll(benchmark::State& state) { Scroll(state, Plain()); }
BENCHMARK(BM_GridScroll)->UseManualTime()->Unit(benchmark::kMicrosecond);
void BM_ViewScroll(benchmark::State& state) { Scroll(state, View()); }
BENCHMARK(BM_ViewScroll)->UseManualTime()->Unit(benchmark::kMicrosecond);
void BM_AppGridRepaint(benchmark::State& state) { Repaint(state, AppLike()); }
BENCHMARK(BM_AppGridRepaint)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  InitApplication(argc, argv);
  int rc = bench::RunBenchmarks(argc, argv, [](const bench::TTimesReporter& times) {
    struct {
      const char *Ours, *Base, *What;
      double Goal;
    } ratios[] = {{"BM_GridRepaint/manual_time", "BM_ViewRepaint/manual_time", "grid repaint against the view", 1.0},
                  {"BM_GridScroll/manual_time", "BM_ViewScroll/manual_time", "grid page scroll against the view", 1.0},
                  {"BM_AppGridRepaint/manual_time", "BM_GridRepaint/manual_time", "app-like grid against the plain one",
                   1.5}};
    for (auto& r : ratios) bench::PrintRatio(r.What, times.Ratio(r.Ours, r.Base), r.Goal);
    if (GPlain && GView) {
      bench::PrintRatio("heap after open and first paint against the view", double(GPlain->Heap) / double(GView->Heap), 2.0);
      std::printf("(heap: grid %.1f MB, view %.1f MB)\n", GPlain->Heap / 1e6, GView->Heap / 1e6);
    }
  });
  GPlain.reset();
  GApp.reset();
  GView.reset();
  DoneApplication();
  return rc;
}
