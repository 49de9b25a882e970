#pragma once
// The chart "图表显示": the summed contract amount per contract type of the contract list's
// last search, as red bars with their values, printed through the print preview or saved as
// a bitmap.
#include "forms/TfrmChart.h"
#include "gui/Forms.h"

class TfrmChart : public TfrmChartLayout<TForm> {
  KELM_CLASS(TfrmChart, TfrmChartLayout<TForm>)
public:
  explicit TfrmChart(TComponent* AOwner) : inherited(AOwner) {}
  ~TfrmChart() override;

  // The statement charted: one row per contract type, columns pacttype and ttmoney.
  String ChartSQL;

  // A chart of ChartSQL, made without owner, shown modally and freed.
  static void ShowFor(const String& ChartSQL);

  static const char* const BitmapFilter;  // "位图文件(*.bmp)|*.bmp"
  static const char* const BitmapName;    // "未命名.bmp"

  // ---- handlers named by the layout
  void FormCreate(TObject* Sender);
  void FormShow(TObject* Sender);
  void btnPrintClick(TObject* Sender);
  void btnSaveBmpClick(TObject* Sender);
  void btnCloseClick(TObject* Sender);
};

extern TfrmChart* frmChart;
