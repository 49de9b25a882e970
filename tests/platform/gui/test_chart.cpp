// The chart: bars from a dataset with heights in proportion at probe pixels, marks over the
// bars, following the dataset's changes, the bitmap file, layouts.
#include "gui/Chart.h"
#include "gui/Graphics_p.h"
#include "GuiTestUtil.h"

#include "data/DB.h"
#include "core/Filer.h"
#include "data/MemDataSet.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>
#include <QtGui/QImage>

#include <gtest/gtest.h>

#include <memory>

using namespace guitest;

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);

struct ChartFixture : ::testing::Test {
  TForm* Form = nullptr;
  TDBChart* Chart = nullptr;
  TBarSeries* Series = nullptr;
  TMemDataSet* Data = nullptr;

  void SetUp() override {
    Form = new TForm(Application);
    Form->SetBorderStyle(bsNone);
    Form->SetBounds(20, 20, 520, 360);
    Chart = new TDBChart(Form);
    Chart->SetParent(Form);
    Chart->SetBounds(0, 0, 480, 320);
    Chart->Title()->Text()->Add("合同金额统计");
    Series = new TBarSeries(Form);
    Series->SetParentChart(Chart);
    Series->SetSeriesColor(clRed);
    Series->Marks()->SetArrowLength(20);
    Data = new TMemDataSet(Form);
    Data->FieldDefs()->Add("PactType", ftWideString, 20);
    Data->FieldDefs()->Add("ttMoney", ftFloat);
    for (auto& [type, money] : std::vector<std::pair<const char*, double>>{
             {"施工合同", 100}, {"采购合同", 200}, {"设计合同", 400}})
      Data->AddRow({Variant(type), Variant(money)});
    Data->Open();
  }
  void TearDown() override {
    delete Form;
    Application->ProcessMessages();
  }
  void Bind() {
    Series->SetXLabelsSource("pacttype");  // field names without regard to case
    Series->YValues()->SetValueSource("TTMONEY");
    Series->SetDataSource(Data);
    Series->SetTitle("合同类别");
  }

  // The red pixels of one column of a picture: first and last row, -1 when none.
  static std::pair<int, int> RedRun(const QImage& img, int x) {
    int top = -1, bottom = -1;
    for (int y = 0; y < img.height(); ++y)
      if ((img.pixel(x, y) & 0xFFFFFF) == 0xFF0000) {
        if (top < 0) top = y;
        bottom = y;
      }
    return {top, bottom};
  }
  static QImage ToImage(TBitmap* bmp) { return ImageOf(*bmp).copy(); }
};

}  // namespace

TEST_F(ChartFixture, ThreeTypesGiveThreeBarsWithHeightsInProportionAtProbePixels) {
  Bind();
  ASSERT_EQ(Series->Count(), 3);
  EXPECT_EQ(Series->XLabel(0), "施工合同");
  EXPECT_EQ(Series->XLabel(2), "设计合同");
  EXPECT_DOUBLE_EQ(Series->YValue(1), 200);
  std::unique_ptr<TBitmap> bmp(Chart->CreateBitmap());
  ASSERT_EQ(bmp->Width(), 480);
  ASSERT_EQ(bmp->Height(), 320);
  QImage img = ToImage(bmp.get());

  std::vector<std::pair<int, int>> runs;
  for (int i = 0; i < 3; ++i) runs.push_back(RedRun(img, Series->CalcXPos(i)));
  for (auto& r : runs) ASSERT_GE(r.first, 0) << "every bar is drawn in red";
  int h0 = runs[0].second - runs[0].first + 1, h1 = runs[1].second - runs[1].first + 1,
      h2 = runs[2].second - runs[2].first + 1;
  EXPECT_EQ(runs[0].second, runs[1].second) << "bars stand on the same base";
  EXPECT_EQ(runs[1].second, runs[2].second);
  EXPECT_NEAR(h1, 2 * h0, 2);
  EXPECT_NEAR(h2, 4 * h0, 3);
  EXPECT_GT(h0, 30);
  // The base is the zero of the value axis, the tallest bar reaches the value 400 on it.
  EXPECT_NEAR(runs[2].first, Chart->LeftAxis()->CalcPosValue(400) + 1, 1);
  EXPECT_NEAR(runs[0].second, Chart->LeftAxis()->CalcPosValue(0) - 1, 1);
  // Between the bars the wall shows.
  int between = (Series->CalcXPos(0) + Series->CalcXPos(1)) / 2;
  EXPECT_EQ(RedRun(img, between).first, -1);

  // A mark above each bar: its arrow joins the bar, its box has the marks' colour.
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    int x = Series->CalcXPos(i), top = runs[static_cast<std::size_t>(i)].first;
    EXPECT_EQ(img.pixel(x, top - 10) & 0xFFFFFF, 0x000000u) << "the arrow";
    bool box = false;
    for (int y = top - 40; y < top - 20 && !box; ++y)
      for (int dx = -12; dx <= 12 && !box; ++dx)
        box = (img.pixel(x + dx, y) & 0xFFFFFF) == 0xFFFF80;
    EXPECT_TRUE(box) << "the mark's box";
  }
  EXPECT_EQ(Series->MarkText(2), "400");
}

TEST_F(ChartFixture, EachMarkStyleSaysItsValueLabelOrShareOfTheTotal) {
  Series->Add(100, "施工");
  Series->Add(300);
  auto textIn = [&](TSeriesMarksStyle Style, int Index) {
    Series->Marks()->SetStyle(Style);
    return Series->MarkText(Index);
  };
  EXPECT_EQ(textIn(smsValue, 0), "100");
  EXPECT_EQ(textIn(smsPercent, 0), "25 %");
  EXPECT_EQ(textIn(smsLabel, 0), "施工");
  EXPECT_EQ(textIn(smsLabel, 1), "300") << "no label: the value";
  EXPECT_EQ(textIn(smsLabelPercent, 0), "施工 25 %");
  EXPECT_EQ(textIn(smsLabelPercent, 1), "75 %");
  EXPECT_EQ(textIn(smsLabelValue, 0), "施工 100");
  EXPECT_EQ(textIn(smsPercentTotal, 1), "75 % of 400");
  EXPECT_EQ(textIn(smsLabelPercentTotal, 0), "施工 25 % of 400");
  EXPECT_EQ(textIn(smsXValue, 1), "1");
}

TEST_F(ChartFixture, TheBarsFollowTheDatasetButNotItsCursor) {
  Bind();
  Data->First();
  Data->Next();
  Data->Append();
  Data->FieldByName("PactType")->SetAsString("监理合同");
  Data->FieldByName("ttMoney")->SetAsFloat(50);
  EXPECT_EQ(Series->Count(), 3) << "an edit in progress is left alone";
  Data->Post();
  ASSERT_EQ(Series->Count(), 4);
  EXPECT_EQ(Series->XLabel(3), "监理合同");
  EXPECT_EQ(Data->FieldByName("PactType")->AsString(), "监理合同") << "the reading keeps the current record";

  Data->First();
  Data->Edit();
  Data->FieldByName("ttMoney")->SetAsFloat(150);
  Data->Post();
  EXPECT_DOUBLE_EQ(Series->YValue(0), 150);
  Data->Last();
  Data->Delete();
  EXPECT_EQ(Series->Count(), 3);
  Data->Close();
  EXPECT_EQ(Series->Count(), 0);
  Data->Open();
  EXPECT_EQ(Series->Count(), 3);
  Series->SetDataSource(nullptr);
  Data->Close();
  EXPECT_EQ(Series->Count(), 3) << "an unbound series keeps its points";
}

TEST_F(ChartFixture, AnEmptyResultGivesAnEmptyChartAndAMissingFieldIsAnError) {
  Data->Close();
  Data->EmptyTable();
  Data->Open();
  Bind();
  EXPECT_EQ(Series->Count(), 0);
  std::unique_ptr<TBitmap> bmp(Chart->CreateBitmap());
  QImage img = ToImage(bmp.get());
  for (int x = 0; x < img.width(); x += 4) EXPECT_EQ(RedRun(img, x).first, -1) << x;

  TBarSeries other(nullptr);
  other.YValues()->SetValueSource("NoSuchField");
  EXPECT_THROW(other.SetDataSource(Data), EDatabaseError);
}

TEST_F(ChartFixture, SaveToBitmapFileWritesABmpThatQtReadsWithTheSameSize) {
  Bind();
  QTemporaryDir dir;
  String file = dir.filePath(QString::fromUtf8("未命名.bmp")).toStdString();
  Chart->SaveToBitmapFile(file);
  QFile f(QString::fromStdString(file));
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.read(2), QByteArray("BM"));
  f.close();
  QImage img(QString::fromStdString(file));
  ASSERT_FALSE(img.isNull());
  EXPECT_EQ(img.size(), QSize(480, 320));
  auto run = RedRun(img, Series->CalcXPos(2));
  EXPECT_GE(run.first, 0) << "the saved picture holds the bars";
  EXPECT_THROW(Chart->SaveToBitmapFile(dir.filePath("no/such/dir/x.bmp").toStdString()), Exception);

  // On the screen the chart draws the same.
  Form->Show();
  Application->ProcessMessages();
  QDir().mkpath("screenshots");
  EXPECT_TRUE(GrabToPng(Chart, "screenshots/chart_bars.png"));
  QImage shown = WidgetOf(Chart)->grab().toImage();
  EXPECT_EQ(RedRun(shown, Series->CalcXPos(1)), RedRun(img, Series->CalcXPos(1)));
}

TEST(ChartLayouts, AChartIsWrittenWithItsSeriesInsideAndReadBackBound) {
  auto* form = new TForm(Application);
  auto* data = new TMemDataSet(form);
  data->SetName("qryChart");
  data->FieldDefs()->Add("PactType", ftWideString, 20);
  data->FieldDefs()->Add("ttMoney", ftFloat);
  data->AddRow({Variant("施工"), Variant(3.0)});
  data->Open();
  const char* text =
      "object ChartForm: TForm\n"
      "  object PactChart: TDBChart\n"
      "    Left = 0\n"
      "    Top = 0\n"
      "    Width = 400\n"
      "    Height = 300\n"
      "    BackWall.Brush.Color = clWhite\n"
      "    BackWall.Brush.Style = bsClear\n"
      "    Title.Text.Strings = (\n"
      "      '图表显示')\n"
      "    Legend.Visible = False\n"
      "    Align = alClient\n"
      "    object Series1: TBarSeries\n"
      "      Marks.ArrowLength = 20\n"
      "      Marks.Visible = True\n"
      "      DataSource = qryChart\n"
      "      SeriesColor = clRed\n"
      "      Title = '合同类别'\n"
      "      XLabelsSource = 'PactType'\n"
      "      YValues.ValueSource = 'ttMoney'\n"
      "    end\n"
      "  end\n"
      "end\n";
  ReadComponentFromText(form, text);
  auto* chart = dynamic_cast<TDBChart*>(form->FindComponent("PactChart"));
  ASSERT_NE(chart, nullptr);
  ASSERT_EQ(chart->SeriesCount(), 1);
  TChartSeries* s = chart->Series(0);
  EXPECT_EQ(s->Name(), "Series1");
  EXPECT_EQ(s->Owner(), form);
  EXPECT_EQ(s->Marks()->ArrowLength(), 20);
  EXPECT_EQ(s->SeriesColor(), clRed);
  EXPECT_EQ(chart->BackWall()->Brush()->Style(), bsClear);
  EXPECT_EQ(chart->Title()->Text()->Strings(0), "图表显示");
  EXPECT_FALSE(chart->Legend()->Visible());
  ASSERT_EQ(s->Count(), 1) << "bound to the dataset once loaded";
  EXPECT_EQ(s->XLabel(0), "施工");

  String written = WriteComponentToText(form);
  auto c = written.find("object PactChart: TDBChart"), series = written.find("object Series1: TBarSeries");
  EXPECT_TRUE(c != String::npos && c < series) << written;
  EXPECT_NE(written.find("ArrowLength = 20"), String::npos);
  EXPECT_NE(written.find("ValueSource = 'ttMoney'"), String::npos);
  delete form;
}
