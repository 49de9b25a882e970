#include "app/ufrmChart.h"

#include "app/U_Data.h"
#include "core/ClassBuilder.h"
#include "data/ADODB.h"
#include "app/ChartPreview.h"
#include "gui/Chart.h"
#include "gui/Dialogs.h"

#include <memory>

TfrmChart* frmChart = nullptr;

const char* const TfrmChart::BitmapFilter = "位图文件(*.bmp)|*.bmp";
const char* const TfrmChart::BitmapName = "未命名.bmp";

KELM_PUBLISH(TfrmChart) {
  b.Method("FormCreate", &TfrmChart::FormCreate);
  b.Method("FormShow", &TfrmChart::FormShow);
  b.Method("btnPrintClick", &TfrmChart::btnPrintClick);
  b.Method("btnSaveBmpClick", &TfrmChart::btnSaveBmpClick);
  b.Method("btnCloseClick", &TfrmChart::btnCloseClick);
}

TfrmChart::~TfrmChart() {
  if (frmChart == this) frmChart = nullptr;
}

void TfrmChart::ShowFor(const String& SQL) {
  std::unique_ptr<TfrmChart> chart(CreateForm<TfrmChart>(nullptr, &frmChart));
  chart->ChartSQL = SQL;
  chart->ShowModal();
}

void TfrmChart::FormCreate(TObject*) {
  SetCaption("图表显示");
  dlgChart->SetFilter(BitmapFilter);
}

void TfrmChart::FormShow(TObject*) {
  TADOQuery* q = Frm_Data->qryChart;
  // Without a search there is nothing to chart: the chart stays empty.
  if (ChartSQL.empty()) q->Close();
  else Frm_Data->OpenQuery(q, ChartSQL);
  TChartSeries* series = PactChart->Series(0);
  series->SetXLabelsSource("PactType");
  series->YValues()->SetValueSource("ttMoney");
  series->SetTitle("合同类别");
  series->SetDataSource(q);
}

void TfrmChart::btnPrintClick(TObject*) { PreviewChart(PactChart, Caption()); }

void TfrmChart::btnSaveBmpClick(TObject*) {
  dlgChart->SetFileName(BitmapName);
  if (dlgChart->Execute()) PactChart->SaveToBitmapFile(dlgChart->FileName());
}

void TfrmChart::btnCloseClick(TObject*) { Close(); }
