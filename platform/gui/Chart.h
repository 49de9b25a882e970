#pragma once
// Charts: a chart control with a title, a legend, a back wall, a value axis on the left and a
// label axis at the bottom, showing series of bars; and the data-aware chart, whose series take
// their points from a dataset (one bar per row: the label from a text field, the height from
// a numeric field, field names matched without regard to case) and follow its changes.
//
// The chart draws itself with the canvas routines, so the same drawing goes to the screen, to
// a bitmap (SaveToBitmapFile) and to any other canvas (a printer's page):
//
//   Series1->SetXLabelsSource("PactType");
//   Series1->YValues()->SetValueSource("ttMoney");
//   Series1->SetDataSource(qryChart);       // the bars follow the query from now on
//   Series1->SetTitle("合同类别");
//   PactChart->SaveToBitmapFile(FileName);
// Declares TChartPen, TChartPart, TChartTitle, TChartAxisTitle, TChartAxis, TChartWall,
// TChartLegend, TSeriesMarks, TChartValueList, TChartSeries, TBarSeries, TCustomChart, TChart and
// TDBChart.
#include "gui/Controls.h"

#include <memory>
#include <vector>

class TCustomChart;
class TChartSeries;

KELM_ENUM(TSeriesMarksStyle, smsValue, smsPercent, smsLabel, smsLabelPercent, smsLabelValue, smsLegend,
          smsPercentTotal, smsLabelPercentTotal, smsXValue)
KELM_ENUM(TLegendAlignment, laLeft, laRight, laTop, laBottom)

// A colour a series takes from the chart's palette when it has none of its own.
constexpr TColor clTeeColor = clDefault;

// A pen that may be switched off (axis grid, mark arrows, frames).
class TChartPen : public TPen {
  KELM_CLASS(TChartPen, TPen)
  template <class B> static void Published(B& b) {
    b.Prop("Visible", &TChartPen::Visible, &TChartPen::SetVisible).Default(true);
  }
public:
  TChartPen() = default;
  void Assign(TPersistent* Source) override;
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);

private:
  bool FVisible = true;
};

// The part of a chart that belongs to it: changes redraw the chart.
class TChartPart : public TPersistent {
  KELM_CLASS(TChartPart, TPersistent)
public:
  explicit TChartPart(TCustomChart* Chart = nullptr) : FChart(Chart) {}
  TPersistent* GetOwner() const override;
  TCustomChart* ParentChart() const { return FChart; }

protected:
  void Changed();
  // A change of a font or pen of the part redraws the chart too.
  TNotifyEvent ChangeEvent();

private:
  TCustomChart* FChart;
};

class TChartTitle : public TChartPart {
  KELM_CLASS(TChartTitle, TChartPart)
  template <class B> static void Published(B& b) {
    b.Prop("Font", &TChartTitle::Font, &TChartTitle::SetFont);
    b.Prop("Text", &TChartTitle::Text, &TChartTitle::SetText);
    b.Prop("Visible", &TChartTitle::Visible, &TChartTitle::SetVisible).Default(true);
  }
public:
  explicit TChartTitle(TCustomChart* Chart = nullptr);
  ~TChartTitle() override;
  void Assign(TPersistent* Source) override;

  TStrings* Text() const { return FText.get(); }
  void SetText(TStrings* Value);
  TFont* Font() const { return FFont.get(); }
  void SetFont(TFont* Value) { FFont->Assign(Value); }
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);

private:
  std::unique_ptr<TStrings> FText;
  std::unique_ptr<TFont> FFont;
  bool FVisible = true;
};

class TChartAxisTitle : public TChartPart {
  KELM_CLASS(TChartAxisTitle, TChartPart)
  template <class B> static void Published(B& b) {
    b.Prop("Caption", &TChartAxisTitle::Caption, &TChartAxisTitle::SetCaption);
    b.Prop("Font", &TChartAxisTitle::Font, &TChartAxisTitle::SetFont);
  }
public:
  explicit TChartAxisTitle(TCustomChart* Chart = nullptr);
  ~TChartAxisTitle() override;
  void Assign(TPersistent* Source) override;
  const String& Caption() const { return FCaption; }
  void SetCaption(const String& Value);
  TFont* Font() const { return FFont.get(); }
  void SetFont(TFont* Value) { FFont->Assign(Value); }

private:
  String FCaption;
  std::unique_ptr<TFont> FFont;
};

// An axis. The left axis maps values to heights: automatic, it runs from 0 (or the smallest
// negative value) to the largest value rounded up to a whole step of its increment.
class TChartAxis : public TChartPart {
  KELM_CLASS(TChartAxis, TChartPart)
  template <class B> static void Published(B& b) {
    b.Prop("Automatic", &TChartAxis::Automatic, &TChartAxis::SetAutomatic).Default(true);
    b.Prop("Grid", &TChartAxis::Grid, &TChartAxis::SetGrid);
    b.Prop("Increment", &TChartAxis::Increment, &TChartAxis::SetIncrement).Default(0.0);
    b.Prop("Labels", &TChartAxis::Labels, &TChartAxis::SetLabels).Default(true);
    b.Prop("LabelsFont", &TChartAxis::LabelsFont, &TChartAxis::SetLabelsFont);
    b.Prop("Maximum", &TChartAxis::Maximum, &TChartAxis::SetMaximum).Default(0.0);
    b.Prop("Minimum", &TChartAxis::Minimum, &TChartAxis::SetMinimum).Default(0.0);
    b.Prop("Title", &TChartAxis::Title, &TChartAxis::SetTitle);
    b.Prop("Visible", &TChartAxis::Visible, &TChartAxis::SetVisible).Default(true);
  }
public:
  explicit TChartAxis(TCustomChart* Chart = nullptr, bool Vertical = false);
  ~TChartAxis() override;
  void Assign(TPersistent* Source) override;

  bool Automatic() const { return FAutomatic; }
  void SetAutomatic(bool Value);
  double Minimum() const { return FMinimum; }
  void SetMinimum(double Value);
  double Maximum() const { return FMaximum; }
  void SetMaximum(double Value);
  // The step between labels; 0 = chosen from the range.
  double Increment() const { return FIncrement; }
  void SetIncrement(double Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  bool Labels() const { return FLabels; }
  void SetLabels(bool Value);
  TFont* LabelsFont() const { return FLabelsFont.get(); }
  void SetLabelsFont(TFont* Value) { FLabelsFont->Assign(Value); }
  TChartPen* Grid() const { return FGrid.get(); }
  void SetGrid(TChartPen* Value) { FGrid->Assign(Value); }
  TChartAxisTitle* Title() const { return FTitle.get(); }
  void SetTitle(TChartAxisTitle* Value) { FTitle->Assign(Value); }
  bool Vertical() const { return FVertical; }

  // ---- as last drawn
  double AxisMin() const { return FAxisMin; }
  double AxisMax() const { return FAxisMax; }
  double AxisIncrement() const { return FAxisIncrement; }
  // The pixel of a value along the axis (the value axis: a y coordinate).
  int CalcPosValue(double Value) const;
  int IStartPos() const { return FStart; }
  int IEndPos() const { return FEnd; }

private:
  friend class TCustomChart;
  // Works out the range (from the data when automatic) and where it lies on the canvas.
  void Adjust(double DataMin, double DataMax);
  void SetPixels(int Start, int End) {
    FStart = Start;
    FEnd = End;
  }

  bool FVertical;
  bool FAutomatic = true, FVisible = true, FLabels = true;
  double FMinimum = 0, FMaximum = 0, FIncrement = 0;
  std::unique_ptr<TFont> FLabelsFont;
  std::unique_ptr<TChartPen> FGrid;
  std::unique_ptr<TChartAxisTitle> FTitle;
  double FAxisMin = 0, FAxisMax = 1, FAxisIncrement = 0.2;
  int FStart = 0, FEnd = 0;  // pixels of AxisMin and AxisMax
};

// The wall behind the series (Brush bsClear leaves the chart's colour showing).
class TChartWall : public TChartPart {
  KELM_CLASS(TChartWall, TChartPart)
  template <class B> static void Published(B& b) {
    b.Prop("Brush", &TChartWall::Brush, &TChartWall::SetBrush);
    // The brush's colour under another name, written with the brush only: written after it,
    // it would make a clear brush solid again when read back.
    b.Prop("Color", &TChartWall::Color, &TChartWall::SetColor).Type("TColor").NoDefault().Stored(false);
    b.Prop("Pen", &TChartWall::Pen, &TChartWall::SetPen);
  }
public:
  explicit TChartWall(TCustomChart* Chart = nullptr);
  ~TChartWall() override;
  void Assign(TPersistent* Source) override;
  TBrush* Brush() const { return FBrush.get(); }
  void SetBrush(TBrush* Value) { FBrush->Assign(Value); }
  TColor Color() const { return FBrush->Color(); }
  void SetColor(TColor Value) { FBrush->SetColor(Value); }
  TChartPen* Pen() const { return FPen.get(); }
  void SetPen(TChartPen* Value) { FPen->Assign(Value); }

private:
  std::unique_ptr<TBrush> FBrush;
  std::unique_ptr<TChartPen> FPen;
};

// The legend: with one series its points (label and colour), with several the series titles.
class TChartLegend : public TChartPart {
  KELM_CLASS(TChartLegend, TChartPart)
  template <class B> static void Published(B& b) {
    b.Prop("Alignment", &TChartLegend::Alignment, &TChartLegend::SetAlignment).Default(laRight);
    b.Prop("Font", &TChartLegend::Font, &TChartLegend::SetFont);
    b.Prop("Visible", &TChartLegend::Visible, &TChartLegend::SetVisible).Default(true);
  }
public:
  explicit TChartLegend(TCustomChart* Chart = nullptr);
  ~TChartLegend() override;
  void Assign(TPersistent* Source) override;
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  TLegendAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TLegendAlignment Value);
  TFont* Font() const { return FFont.get(); }
  void SetFont(TFont* Value) { FFont->Assign(Value); }

private:
  bool FVisible = true;
  TLegendAlignment FAlignment = laRight;
  std::unique_ptr<TFont> FFont;
};

// The marks of a series: a text over each point (its value by default), joined to the point
// by an arrow ArrowLength pixels long.
class TSeriesMarks : public TPersistent {
  KELM_CLASS(TSeriesMarks, TPersistent)
  template <class B> static void Published(B& b) {
    b.Prop("Arrow", &TSeriesMarks::Arrow, &TSeriesMarks::SetArrow);
    b.Prop("ArrowLength", &TSeriesMarks::ArrowLength, &TSeriesMarks::SetArrowLength).Default(8);
    b.Prop("BackColor", &TSeriesMarks::BackColor, &TSeriesMarks::SetBackColor).Type("TColor").Default(0x80FFFF);
    b.Prop("Font", &TSeriesMarks::Font, &TSeriesMarks::SetFont);
    b.Prop("Style", &TSeriesMarks::Style, &TSeriesMarks::SetStyle).Default(smsValue);
    b.Prop("Transparent", &TSeriesMarks::Transparent, &TSeriesMarks::SetTransparent).Default(false);
    b.Prop("Visible", &TSeriesMarks::Visible, &TSeriesMarks::SetVisible).Default(true);
  }
public:
  explicit TSeriesMarks(TChartSeries* Series = nullptr);
  ~TSeriesMarks() override;
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() const override;

  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  TSeriesMarksStyle Style() const { return FStyle; }
  void SetStyle(TSeriesMarksStyle Value);
  int ArrowLength() const { return FArrowLength; }
  void SetArrowLength(int Value);
  TChartPen* Arrow() const { return FArrow.get(); }
  void SetArrow(TChartPen* Value) { FArrow->Assign(Value); }
  TColor BackColor() const { return FBackColor; }
  void SetBackColor(TColor Value);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value);
  TFont* Font() const { return FFont.get(); }
  void SetFont(TFont* Value) { FFont->Assign(Value); }

private:
  void Changed();
  TChartSeries* FSeries;
  bool FVisible = true;
  TSeriesMarksStyle FStyle = smsValue;
  int FArrowLength = 8;
  std::unique_ptr<TChartPen> FArrow;
  TColor FBackColor = static_cast<TColor>(0x80FFFF);
  bool FTransparent = false;
  std::unique_ptr<TFont> FFont;
};

// The values of a series along one dimension, and the field they come from.
class TChartValueList : public TPersistent {
  KELM_CLASS(TChartValueList, TPersistent)
  template <class B> static void Published(B& b) {
    b.Prop("Name", &TChartValueList::Name, &TChartValueList::SetName);
    b.Prop("ValueSource", &TChartValueList::ValueSource, &TChartValueList::SetValueSource);
  }
public:
  explicit TChartValueList(TChartSeries* Series = nullptr, const String& Name = String());
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() const override;

  const String& Name() const { return FName; }
  void SetName(const String& Value) { FName = Value; }
  // The field the values are read from (data-aware series).
  const String& ValueSource() const { return FValueSource; }
  void SetValueSource(const String& Value);

  int Count() const { return static_cast<int>(FValues.size()); }
  double Value(int Index) const;
  double MinValue() const;
  double MaxValue() const;
  double Total() const;

private:
  friend class TChartSeries;
  TChartSeries* FSeries;
  String FName, FValueSource;
  std::vector<double> FValues;
};

class TChartSeries : public TComponent {
  KELM_CLASS(TChartSeries, TComponent)
  template <class B> static void Published(B& b) {
    b.Prop("Active", &TChartSeries::Active, &TChartSeries::SetActive).Default(true);
    b.Prop("ColorEachPoint", &TChartSeries::ColorEachPoint, &TChartSeries::SetColorEachPoint).Default(false);
    b.Prop("DataSource", &TChartSeries::DataSource, &TChartSeries::SetDataSource);
    b.Prop("Marks", &TChartSeries::Marks, &TChartSeries::SetMarks);
    b.Prop("ParentChart", &TChartSeries::ParentChart, &TChartSeries::SetParentChart).Stored(false);
    b.Prop("SeriesColor", &TChartSeries::SeriesColor, &TChartSeries::SetSeriesColor).Type("TColor").Default(clTeeColor);
    b.Prop("ShowInLegend", &TChartSeries::ShowInLegend, &TChartSeries::SetShowInLegend).Default(true);
    b.Prop("Title", &TChartSeries::Title, &TChartSeries::SetTitle);
    b.Prop("ValueFormat", &TChartSeries::ValueFormat, &TChartSeries::SetValueFormat).Default("#,##0.###");
    b.Prop("XLabelsSource", &TChartSeries::XLabelsSource, &TChartSeries::SetXLabelsSource);
    b.Prop("XValues", &TChartSeries::XValues, &TChartSeries::SetXValues);
    b.Prop("YValues", &TChartSeries::YValues, &TChartSeries::SetYValues);
  }
public:
  explicit TChartSeries(TComponent* AOwner);
  ~TChartSeries() override;

  TCustomChart* ParentChart() const { return FChart; }
  void SetParentChart(TCustomChart* Value);

  // ---- points
  // Adds a point; the index it got.
  int Add(double Value, const String& Label = String(), TColor Color = clTeeColor);
  void Delete(int Index);
  void Clear();
  int Count() const { return FYValues->Count(); }
  double YValue(int Index) const { return FYValues->Value(Index); }
  String XLabel(int Index) const;
  // The colour a point is drawn in.
  TColor ValueColor(int Index) const;
  // The text of a point's mark as the mark style makes it.
  String MarkText(int Index) const;
  TChartValueList* YValues() const { return FYValues.get(); }
  void SetYValues(TChartValueList* Value) { FYValues->Assign(Value); }
  TChartValueList* XValues() const { return FXValues.get(); }
  void SetXValues(TChartValueList* Value) { FXValues->Assign(Value); }

  // ---- data
  // A dataset or a data source; the points are read again now and whenever its data change.
  TComponent* DataSource() const { return FDataSource; }
  void SetDataSource(TComponent* Value);
  const String& XLabelsSource() const { return FXLabelsSource; }
  void SetXLabelsSource(const String& Value);
  // Reads the points from the dataset again (nothing without one).
  void CheckDataSource();

  // ---- appearance
  bool Active() const { return FActive; }
  void SetActive(bool Value);
  // The colour of every point; clTeeColor takes the chart palette's colour of the series.
  TColor SeriesColor() const { return FSeriesColor; }
  void SetSeriesColor(TColor Value);
  bool ColorEachPoint() const { return FColorEachPoint; }
  void SetColorEachPoint(bool Value);
  const String& Title() const { return FTitle; }
  void SetTitle(const String& Value);
  TSeriesMarks* Marks() const { return FMarks.get(); }
  void SetMarks(TSeriesMarks* Value) { FMarks->Assign(Value); }
  // FormatFloat pattern of values in marks.
  const String& ValueFormat() const { return FValueFormat; }
  void SetValueFormat(const String& Value);
  bool ShowInLegend() const { return FShowInLegend; }
  void SetShowInLegend(bool Value);

  // ---- as last drawn
  int CalcXPos(int Index) const;
  int CalcYPos(int Index) const;

  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* Value) override;

protected:
  friend class TCustomChart;
  friend class TSeriesMarks;
  friend class TChartValueList;
  // Draws the points into the chart's plot rectangle; the axes are set.
  virtual void DrawValues(TCanvas* Canvas) = 0;
  virtual void DrawMarks(TCanvas* Canvas);
  // The point a mark's arrow starts from.
  virtual TPoint MarkAnchor(int Index) const;
  void Repaint();
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Loaded() override;
  // The colour the series draws in (SeriesColor, or its palette colour).
  TColor DrawColor() const;

private:
  struct TData;

  TCustomChart* FChart = nullptr;
  std::unique_ptr<TChartValueList> FXValues, FYValues;
  std::vector<String> FLabels;
  std::vector<TColor> FColors;
  TComponent* FDataSource = nullptr;
  String FXLabelsSource;
  std::unique_ptr<TData> FData;
  bool FActive = true, FColorEachPoint = false, FShowInLegend = true;
  TColor FSeriesColor = clTeeColor;
  String FTitle;
  std::unique_ptr<TSeriesMarks> FMarks;
  String FValueFormat = "#,##0.###";
};

// Vertical bars, one per point, side by side across the plot, from zero to the value.
class TBarSeries : public TChartSeries {
  KELM_CLASS(TBarSeries, TChartSeries)
  template <class B> static void Published(B& b) {
    b.Prop("BarWidthPercent", &TBarSeries::BarWidthPercent, &TBarSeries::SetBarWidthPercent).Default(70);
  }
public:
  explicit TBarSeries(TComponent* AOwner);
  // The width of a bar in percent of the room each point has.
  int BarWidthPercent() const { return FBarWidthPercent; }
  void SetBarWidthPercent(int Value);
  // The bar of a point as last drawn.
  TRect BarBounds(int Index) const;

protected:
  void DrawValues(TCanvas* Canvas) override;
  TPoint MarkAnchor(int Index) const override;

private:
  int FBarWidthPercent = 70;
};

class TCustomChart : public TCustomControl {
  KELM_CLASS(TCustomChart, TCustomControl)
  template <class B> static void Published(B& b) {
    PublishAlign(b);
    PublishAnchors(b);
    PublishColor(b);
    PublishConstraints(b);
    PublishEnabled(b);
    PublishParentShowHint(b);
    PublishPopupMenu(b);
    PublishShowHint(b);
    PublishTabOrder(b);
    PublishTabStop(b);
    PublishVisible(b);
    PublishOnClick(b);
    PublishOnDblClick(b);
    PublishOnMouseDown(b);
    PublishOnMouseMove(b);
    PublishOnMouseUp(b);
    PublishOnResize(b);
    PublishParentColor(b).Default(false);
    b.Prop("BackWall", &TCustomChart::BackWall, &TCustomChart::SetBackWall);
    b.Prop("BottomAxis", &TCustomChart::BottomAxis, &TCustomChart::SetBottomAxis);
    b.Prop("Foot", &TCustomChart::Foot, &TCustomChart::SetFoot);
    b.Prop("LeftAxis", &TCustomChart::LeftAxis, &TCustomChart::SetLeftAxis);
    b.Prop("Legend", &TCustomChart::Legend, &TCustomChart::SetLegend);
    b.Prop("Title", &TCustomChart::Title, &TCustomChart::SetTitle);
    b.Prop("View3D", &TCustomChart::View3D, &TCustomChart::SetView3D).Default(false);
  }
public:
  explicit TCustomChart(TComponent* AOwner);
  ~TCustomChart() override;

  int SeriesCount() const { return static_cast<int>(FSeries.size()); }
  // EListError for a bad index.
  TChartSeries* Series(int Index) const;
  void AddSeries(TChartSeries* Series);
  void RemoveSeries(TChartSeries* Series);
  void FreeAllSeries();

  // Draws the whole chart into a rectangle of any canvas.
  void Draw(TCanvas* Canvas, const TRect& Rect);
  // The chart as a picture of the control's size (the caller frees it).
  TBitmap* CreateBitmap();
  // Writes the chart as a BMP file of the control's size; EFCreateError when it cannot.
  void SaveToBitmapFile(const String& FileName);
  // The plot rectangle (inside the axes) as last drawn.
  TRect ChartRect() const { return FChartRect; }

  TChartTitle* Title() const { return FTitle.get(); }
  void SetTitle(TChartTitle* Value) { FTitle->Assign(Value); }
  TChartTitle* Foot() const { return FFoot.get(); }
  void SetFoot(TChartTitle* Value) { FFoot->Assign(Value); }
  TChartAxis* LeftAxis() const { return FLeftAxis.get(); }
  void SetLeftAxis(TChartAxis* Value) { FLeftAxis->Assign(Value); }
  TChartAxis* BottomAxis() const { return FBottomAxis.get(); }
  void SetBottomAxis(TChartAxis* Value) { FBottomAxis->Assign(Value); }
  TChartWall* BackWall() const { return FBackWall.get(); }
  void SetBackWall(TChartWall* Value) { FBackWall->Assign(Value); }
  TChartLegend* Legend() const { return FLegend.get(); }
  void SetLegend(TChartLegend* Value) { FLegend->Assign(Value); }
  // Stored for layouts; the chart draws flat.
  bool View3D() const { return FView3D; }
  void SetView3D(bool Value);

  // The palette colour of the series at an index.
  static TColor PaletteColor(int Index);

  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;

protected:
  friend class TChartSeries;
  friend class TChartPart;
  void Paint() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  // Something drawn changed.
  void ChartChanged();

private:
  void DrawTitle(TCanvas* C, TChartTitle* T, TRect& R, bool Top);
  void DrawLegend(TCanvas* C, TRect& R);
  void DrawAxes(TCanvas* C);

  std::vector<TChartSeries*> FSeries;
  std::unique_ptr<TChartTitle> FTitle, FFoot;
  std::unique_ptr<TChartAxis> FLeftAxis, FBottomAxis;
  std::unique_ptr<TChartWall> FBackWall;
  std::unique_ptr<TChartLegend> FLegend;
  bool FView3D = false;
  TRect FChartRect;
  bool FDestroying = false;
};

class TChart : public TCustomChart {
  KELM_CLASS(TChart, TCustomChart)
public:
  explicit TChart(TComponent* AOwner) : TCustomChart(AOwner) {}
};

// The chart of the data-aware windows: its series read their points from datasets.
class TDBChart : public TCustomChart {
  KELM_CLASS(TDBChart, TCustomChart)
public:
  explicit TDBChart(TComponent* AOwner) : TCustomChart(AOwner) {}
  // Reads every series' points from its dataset again.
  void RefreshData();
};
