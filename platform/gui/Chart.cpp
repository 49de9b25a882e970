// Charts: the parts of a chart, series with their points and data links, bar drawing, the
// chart's layout (title, legend, axes, wall, series, marks) and its bitmap.
#include "gui/Chart.h"

#include "core/ClassBuilder.h"
#include "data/DB.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "core/Scope.h"

#include <algorithm>
#include <cmath>

// ================================================================ parts

KELM_PUBLISH(TChartPen) { Published(b); }

void TChartPen::Assign(TPersistent* Source) {
  if (auto* p = dynamic_cast<TChartPen*>(Source)) FVisible = p->FVisible;
  TPen::Assign(Source);
}

void TChartPen::SetVisible(bool Value) {
  if (Value == FVisible) return;
  FVisible = Value;
  Changed();
}

KELM_PUBLISH(TChartPart) {}

TPersistent* TChartPart::GetOwner() const { return FChart; }

void TChartPart::Changed() {
  if (FChart) FChart->ChartChanged();
}

TNotifyEvent TChartPart::ChangeEvent() {
  return TNotifyEvent::Lambda([this](TObject*) { Changed(); });
}

// ---------------------------------------------------------------- titles

KELM_PUBLISH(TChartTitle) { Published(b); }

TChartTitle::TChartTitle(TCustomChart* Chart)
    : TChartPart(Chart), FText(std::make_unique<TStringList>()), FFont(std::make_unique<TFont>()) {
  FFont->SetColor(clBlue);
  static_cast<TStringList*>(FText.get())->SetOnChange(ChangeEvent());
  FFont->SetOnChange(ChangeEvent());
}

TChartTitle::~TChartTitle() = default;

void TChartTitle::Assign(TPersistent* Source) {
  auto* t = dynamic_cast<TChartTitle*>(Source);
  if (!t) return TChartPart::Assign(Source);
  FText->Assign(t->FText.get());
  FFont->Assign(t->FFont.get());
  SetVisible(t->FVisible);
}

void TChartTitle::SetText(TStrings* Value) { FText->Assign(Value); }

void TChartTitle::SetVisible(bool Value) {
  if (Value == FVisible) return;
  FVisible = Value;
  Changed();
}

KELM_PUBLISH(TChartAxisTitle) { Published(b); }

TChartAxisTitle::TChartAxisTitle(TCustomChart* Chart) : TChartPart(Chart), FFont(std::make_unique<TFont>()) {
  FFont->SetOnChange(ChangeEvent());
}

TChartAxisTitle::~TChartAxisTitle() = default;

void TChartAxisTitle::Assign(TPersistent* Source) {
  auto* t = dynamic_cast<TChartAxisTitle*>(Source);
  if (!t) return TChartPart::Assign(Source);
  FFont->Assign(t->FFont.get());
  SetCaption(t->FCaption);
}

void TChartAxisTitle::SetCaption(const String& Value) {
  if (Value == FCaption) return;
  FCaption = Value;
  Changed();
}

// ---------------------------------------------------------------- axes

KELM_PUBLISH(TChartAxis) { Published(b); }

TChartAxis::TChartAxis(TCustomChart* Chart, bool Vertical)
    : TChartPart(Chart), FVertical(Vertical), FLabelsFont(std::make_unique<TFont>()),
      FGrid(std::make_unique<TChartPen>()), FTitle(std::make_unique<TChartAxisTitle>(Chart)) {
  FGrid->SetColor(clGray);
  FGrid->SetStyle(psDot);
  FLabelsFont->SetOnChange(ChangeEvent());
  FGrid->SetOnChange(ChangeEvent());
}

TChartAxis::~TChartAxis() = default;

void TChartAxis::Assign(TPersistent* Source) {
  auto* a = dynamic_cast<TChartAxis*>(Source);
  if (!a) return TChartPart::Assign(Source);
  FAutomatic = a->FAutomatic;
  FVisible = a->FVisible;
  FLabels = a->FLabels;
  FMinimum = a->FMinimum;
  FMaximum = a->FMaximum;
  FIncrement = a->FIncrement;
  FLabelsFont->Assign(a->FLabelsFont.get());
  FGrid->Assign(a->FGrid.get());
  FTitle->Assign(a->FTitle.get());
  Changed();
}

void TChartAxis::SetAutomatic(bool Value) {
  if (Value == FAutomatic) return;
  FAutomatic = Value;
  Changed();
}
void TChartAxis::SetMinimum(double Value) {
  if (Value == FMinimum) return;
  FMinimum = Value;
  Changed();
}
void TChartAxis::SetMaximum(double Value) {
  if (Value == FMaximum) return;
  FMaximum = Value;
  Changed();
}
void TChartAxis::SetIncrement(double Value) {
  if (Value == FIncrement) return;
  FIncrement = std::max(0.0, Value);
  Changed();
}
void TChartAxis::SetVisible(bool Value) {
  if (Value == FVisible) return;
  FVisible = Value;
  Changed();
}
void TChartAxis::SetLabels(bool Value) {
  if (Value == FLabels) return;
  FLabels = Value;
  Changed();
}

namespace {

// The thin black pen the chart outlines bars, marks, the legend and the axes with.
void OutlinePen(TCanvas* C) {
  C->Pen()->SetStyle(psSolid);
  C->Pen()->SetWidth(1);
  C->Pen()->SetColor(clBlack);
}

// 1, 2 or 5 times a power of ten, at least Raw.
double NiceStep(double Raw) {
  if (!(Raw > 0)) return 1;
  double p = std::pow(10.0, std::floor(std::log10(Raw)));
  double m = Raw / p;
  double step = m <= 1 ? 1 : m <= 2 ? 2 : m <= 5 ? 5 : 10;
  return step * p;
}

}  // namespace

void TChartAxis::Adjust(double DataMin, double DataMax) {
  if (!FAutomatic && FMaximum > FMinimum) {
    FAxisMin = FMinimum;
    FAxisMax = FMaximum;
  } else {
    double lo = std::min(0.0, DataMin), hi = std::max(0.0, DataMax);
    if (hi <= lo) hi = lo + 1;
    double inc = FIncrement > 0 ? FIncrement : NiceStep((hi - lo) / 5);
    FAxisMin = std::floor(lo / inc) * inc;
    FAxisMax = std::ceil(hi / inc) * inc;
    if (FAxisMax <= FAxisMin) FAxisMax = FAxisMin + inc;
  }
  FAxisIncrement = FIncrement > 0 ? FIncrement : NiceStep((FAxisMax - FAxisMin) / 5);
}

int TChartAxis::CalcPosValue(double Value) const {
  double span = FAxisMax - FAxisMin;
  if (span <= 0) return FStart;
  return FStart + static_cast<int>(std::lround((Value - FAxisMin) * (FEnd - FStart) / span));
}

// ---------------------------------------------------------------- wall and legend

KELM_PUBLISH(TChartWall) { Published(b); }

TChartWall::TChartWall(TCustomChart* Chart)
    : TChartPart(Chart), FBrush(std::make_unique<TBrush>()), FPen(std::make_unique<TChartPen>()) {
  FBrush->SetColor(clWhite);
  FBrush->SetOnChange(ChangeEvent());
  FPen->SetOnChange(ChangeEvent());
}

TChartWall::~TChartWall() = default;

void TChartWall::Assign(TPersistent* Source) {
  auto* w = dynamic_cast<TChartWall*>(Source);
  if (!w) return TChartPart::Assign(Source);
  FBrush->Assign(w->FBrush.get());
  FPen->Assign(w->FPen.get());
}

KELM_PUBLISH(TChartLegend) { Published(b); }

TChartLegend::TChartLegend(TCustomChart* Chart) : TChartPart(Chart), FFont(std::make_unique<TFont>()) {
  FFont->SetOnChange(ChangeEvent());
}

TChartLegend::~TChartLegend() = default;

void TChartLegend::Assign(TPersistent* Source) {
  auto* l = dynamic_cast<TChartLegend*>(Source);
  if (!l) return TChartPart::Assign(Source);
  FFont->Assign(l->FFont.get());
  FAlignment = l->FAlignment;
  SetVisible(l->FVisible);
  Changed();
}

void TChartLegend::SetVisible(bool Value) {
  if (Value == FVisible) return;
  FVisible = Value;
  Changed();
}

void TChartLegend::SetAlignment(TLegendAlignment Value) {
  if (Value == FAlignment) return;
  FAlignment = Value;
  Changed();
}

// ---------------------------------------------------------------- marks and value lists

KELM_PUBLISH(TSeriesMarks) { Published(b); }

TSeriesMarks::TSeriesMarks(TChartSeries* Series)
    : FSeries(Series), FArrow(std::make_unique<TChartPen>()), FFont(std::make_unique<TFont>()) {
  FArrow->SetColor(clWhite);
  auto changed = TNotifyEvent::Lambda([this](TObject*) { Changed(); });
  FArrow->SetOnChange(changed);
  FFont->SetOnChange(changed);
}

TSeriesMarks::~TSeriesMarks() = default;

TPersistent* TSeriesMarks::GetOwner() const { return FSeries; }

void TSeriesMarks::Assign(TPersistent* Source) {
  auto* m = dynamic_cast<TSeriesMarks*>(Source);
  if (!m) return TPersistent::Assign(Source);
  FVisible = m->FVisible;
  FStyle = m->FStyle;
  FArrowLength = m->FArrowLength;
  FBackColor = m->FBackColor;
  FTransparent = m->FTransparent;
  FArrow->Assign(m->FArrow.get());
  FFont->Assign(m->FFont.get());
  Changed();
}

void TSeriesMarks::Changed() {
  if (FSeries) FSeries->Repaint();
}

void TSeriesMarks::SetVisible(bool Value) {
  if (Value == FVisible) return;
  FVisible = Value;
  Changed();
}
void TSeriesMarks::SetStyle(TSeriesMarksStyle Value) {
  if (Value == FStyle) return;
  FStyle = Value;
  Changed();
}
void TSeriesMarks::SetArrowLength(int Value) {
  if (Value == FArrowLength) return;
  FArrowLength = Value;
  Changed();
}
void TSeriesMarks::SetBackColor(TColor Value) {
  if (Value == FBackColor) return;
  FBackColor = Value;
  Changed();
}
void TSeriesMarks::SetTransparent(bool Value) {
  if (Value == FTransparent) return;
  FTransparent = Value;
  Changed();
}

KELM_PUBLISH(TChartValueList) { Published(b); }

TChartValueList::TChartValueList(TChartSeries* Series, const String& Name) : FSeries(Series), FName(Name) {}

TPersistent* TChartValueList::GetOwner() const { return FSeries; }

void TChartValueList::Assign(TPersistent* Source) {
  auto* v = dynamic_cast<TChartValueList*>(Source);
  if (!v) return TPersistent::Assign(Source);
  FName = v->FName;
  SetValueSource(v->FValueSource);
}

void TChartValueList::SetValueSource(const String& Value) {
  if (Value == FValueSource) return;
  FValueSource = Value;
  if (FSeries && !FSeries->ComponentState().Contains(csLoading)) FSeries->CheckDataSource();
}

double TChartValueList::Value(int Index) const {
  if (Index < 0 || Index >= Count()) throw EListError(Format(SListIndexError, {Index}));
  return FValues[static_cast<std::size_t>(Index)];
}

double TChartValueList::MinValue() const { return FValues.empty() ? 0 : *std::min_element(FValues.begin(), FValues.end()); }
double TChartValueList::MaxValue() const { return FValues.empty() ? 0 : *std::max_element(FValues.begin(), FValues.end()); }
double TChartValueList::Total() const {
  double t = 0;
  for (double v : FValues) t += v;
  return t;
}

// ================================================================ series

namespace {

// Follows a series' dataset: opening, closing and every change of its rows read the points
// again; moving between rows does not.
class TSeriesLink : public TDataLink {
public:
  explicit TSeriesLink(TChartSeries* Series) : FSeries(Series) { SetVisualControl(true); }

protected:
  void ActiveChanged() override { FSeries->CheckDataSource(); }
  void DataSetChanged() override { FSeries->CheckDataSource(); }
  void LayoutChanged() override { FSeries->CheckDataSource(); }
  void DataSetScrolled(int) override {}
  void RecordChanged(TField* Field) override {
    if (!Field) FSeries->CheckDataSource();
  }

private:
  TChartSeries* FSeries;
};

}  // namespace

struct TChartSeries::TData {
  std::unique_ptr<TDataSource> OwnSource;  // for a dataset given directly
  std::unique_ptr<TSeriesLink> Link;
  bool Reading = false;
};

KELM_PUBLISH(TChartSeries) { Published(b); }

TChartSeries::TChartSeries(TComponent* AOwner)
    : TComponent(AOwner), FXValues(std::make_unique<TChartValueList>(this, "X")),
      FYValues(std::make_unique<TChartValueList>(this, "Bar")), FData(std::make_unique<TData>()),
      FMarks(std::make_unique<TSeriesMarks>(this)) {
  FData->Link = std::make_unique<TSeriesLink>(this);
}

TChartSeries::~TChartSeries() {
  FData->Link->SetDataSource(nullptr);
  FData->Link.reset();
  SetParentChart(nullptr);
}

void TChartSeries::SetParentChart(TCustomChart* Value) {
  if (Value == FChart) return;
  if (FChart) FChart->RemoveSeries(this);
  if (Value) Value->AddSeries(this);
}

TComponent* TChartSeries::GetParentComponent() const { return FChart; }

void TChartSeries::SetParentComponent(TComponent* Value) {
  if (auto* c = dynamic_cast<TCustomChart*>(Value)) SetParentChart(c);
}

void TChartSeries::Repaint() {
  if (FChart) FChart->ChartChanged();
}

int TChartSeries::Add(double Value, const String& Label, TColor Color) {
  FYValues->FValues.push_back(Value);
  FXValues->FValues.push_back(static_cast<double>(FXValues->FValues.size()));
  FLabels.push_back(Label);
  FColors.push_back(Color);
  Repaint();
  return Count() - 1;
}

void TChartSeries::Delete(int Index) {
  if (Index < 0 || Index >= Count()) throw EListError(Format(SListIndexError, {Index}));
  auto at = static_cast<std::ptrdiff_t>(Index);
  FYValues->FValues.erase(FYValues->FValues.begin() + at);
  FXValues->FValues.erase(FXValues->FValues.begin() + at);
  FLabels.erase(FLabels.begin() + at);
  FColors.erase(FColors.begin() + at);
  Repaint();
}

void TChartSeries::Clear() {
  FYValues->FValues.clear();
  FXValues->FValues.clear();
  FLabels.clear();
  FColors.clear();
  Repaint();
}

String TChartSeries::XLabel(int Index) const {
  if (Index < 0 || Index >= Count()) throw EListError(Format(SListIndexError, {Index}));
  return FLabels[static_cast<std::size_t>(Index)];
}

TColor TChartSeries::DrawColor() const {
  if (FSeriesColor != clTeeColor) return FSeriesColor;
  int at = 0;
  if (FChart)
    for (int i = 0; i < FChart->SeriesCount(); ++i)
      if (FChart->Series(i) == this) at = i;
  return TCustomChart::PaletteColor(at);
}

TColor TChartSeries::ValueColor(int Index) const {
  if (Index >= 0 && Index < Count() && FColors[static_cast<std::size_t>(Index)] != clTeeColor)
    return FColors[static_cast<std::size_t>(Index)];
  return FColorEachPoint ? TCustomChart::PaletteColor(Index) : DrawColor();
}

String TChartSeries::MarkText(int Index) const {
  double v = YValue(Index);
  String label = XLabel(Index);
  // Only the percent styles need the series total, a walk over every point: marks are
  // drawn point by point, so it is not summed for the others.
  auto value = [&] { return FormatFloat(FValueFormat, v); };
  auto total = [&] { return FYValues->Total(); };
  auto percent = [&](double Total) { return FormatFloat("##0.## %", Total != 0 ? v * 100 / Total : 0); };
  switch (FMarks->Style()) {
    case smsValue: return value();
    case smsPercent: return percent(total());
    case smsLabel: return label.empty() ? value() : label;
    case smsLabelPercent: return label.empty() ? percent(total()) : label + " " + percent(total());
    case smsLabelValue: return label.empty() ? value() : label + " " + value();
    case smsLegend: return label.empty() ? value() : label;
    case smsPercentTotal: {
      double t = total();
      return percent(t) + " of " + FormatFloat(FValueFormat, t);
    }
    case smsLabelPercentTotal: {
      double t = total();
      return (label.empty() ? String() : label + " ") + percent(t) + " of " + FormatFloat(FValueFormat, t);
    }
    case smsXValue: return FormatFloat(FValueFormat, FXValues->Value(Index));
  }
  return value();
}

void TChartSeries::SetActive(bool Value) {
  if (Value == FActive) return;
  FActive = Value;
  Repaint();
}
void TChartSeries::SetSeriesColor(TColor Value) {
  if (Value == FSeriesColor) return;
  FSeriesColor = Value;
  Repaint();
}
void TChartSeries::SetColorEachPoint(bool Value) {
  if (Value == FColorEachPoint) return;
  FColorEachPoint = Value;
  Repaint();
}
void TChartSeries::SetTitle(const String& Value) {
  if (Value == FTitle) return;
  FTitle = Value;
  Repaint();
}
void TChartSeries::SetValueFormat(const String& Value) {
  if (Value == FValueFormat) return;
  FValueFormat = Value;
  Repaint();
}
void TChartSeries::SetShowInLegend(bool Value) {
  if (Value == FShowInLegend) return;
  FShowInLegend = Value;
  Repaint();
}

// ---------------------------------------------------------------- data

void TChartSeries::SetDataSource(TComponent* Value) {
  if (Value == FDataSource) return;
  if (FDataSource) FDataSource->RemoveFreeNotification(this);
  FDataSource = Value;
  if (Value) Value->FreeNotification(this);
  TDataSource* src = dynamic_cast<TDataSource*>(Value);
  if (auto* ds = dynamic_cast<TDataSet*>(Value)) {
    if (!FData->OwnSource) FData->OwnSource = std::make_unique<TDataSource>(nullptr);
    FData->OwnSource->SetDataSet(ds);
    src = FData->OwnSource.get();
  } else if (FData->OwnSource) {
    FData->OwnSource->SetDataSet(nullptr);
  }
  FData->Link->SetDataSource(src);
  if (!ComponentState().Contains(csLoading)) CheckDataSource();
}

void TChartSeries::SetXLabelsSource(const String& Value) {
  if (Value == FXLabelsSource) return;
  FXLabelsSource = Value;
  if (!ComponentState().Contains(csLoading)) CheckDataSource();
}

void TChartSeries::CheckDataSource() {
  if (FData->Reading || !FData->Link) return;
  TDataSet* ds = FData->Link->DataSet();
  if (!ds) return;
  // An edit in progress is left alone: walking the rows would end it.
  if (ds->Active() && ds->State() != dsBrowse) return;
  TRestore reading(FData->Reading, true);
  std::vector<double> values;
  std::vector<String> labels;
  if (ds->Active() && !FYValues->ValueSource().empty()) {
    TField* value = ds->FieldByName(FYValues->ValueSource());
    TField* label = FXLabelsSource.empty() ? nullptr : ds->FieldByName(FXLabelsSource);
    TDataSet::TBookmark mark = ds->GetBookmark();
    TControlsHold hold(ds);
    for (ds->First(); !ds->Eof(); ds->Next()) {
      values.push_back(value->IsNull() ? 0.0 : value->AsFloat());
      labels.push_back(label ? label->DisplayText() : String());
    }
    if (!mark.empty() && ds->BookmarkValid(mark)) ds->GotoBookmark(mark);
  }
  FYValues->FValues = std::move(values);
  FXValues->FValues.clear();
  for (std::size_t i = 0; i < FYValues->FValues.size(); ++i) FXValues->FValues.push_back(static_cast<double>(i));
  FLabels = std::move(labels);
  FColors.assign(FLabels.size(), clTeeColor);
  Repaint();
}

void TChartSeries::Loaded() {
  TComponent::Loaded();
  CheckDataSource();
}

void TChartSeries::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FDataSource) {
    FDataSource = nullptr;
    FData->Link->SetDataSource(nullptr);
    if (FData->OwnSource) FData->OwnSource->SetDataSet(nullptr);
  }
  if (Operation == opRemove && AComponent == FChart) FChart = nullptr;
}

// ---------------------------------------------------------------- positions and marks

int TChartSeries::CalcXPos(int Index) const {
  if (!FChart || Count() == 0) return 0;
  TRect r = FChart->ChartRect();
  double slot = static_cast<double>(r.Width()) / Count();
  return r.Left + static_cast<int>(std::lround(slot * (Index + 0.5)));
}

int TChartSeries::CalcYPos(int Index) const { return FChart ? FChart->LeftAxis()->CalcPosValue(YValue(Index)) : 0; }

TPoint TChartSeries::MarkAnchor(int Index) const { return {CalcXPos(Index), CalcYPos(Index)}; }

void TChartSeries::DrawMarks(TCanvas* C) {
  if (!FMarks->Visible()) return;
  C->Font()->Assign(FMarks->Font());
  for (int i = 0; i < Count(); ++i) {
    String text = MarkText(i);
    if (text.empty()) continue;
    TPoint at = MarkAnchor(i);
    bool below = YValue(i) < 0;
    int len = FMarks->ArrowLength();
    int tip = below ? at.Y + len : at.Y - len;
    if (FMarks->Arrow()->Visible() && len > 0) {
      C->Pen()->Assign(FMarks->Arrow());
      C->Pen()->SetColor(clBlack);
      C->MoveTo(at.X, at.Y);
      C->LineTo(at.X, tip);
    }
    TSize sz = C->TextExtent(text);
    TRect box = Bounds(at.X - sz.cx / 2 - 3, below ? tip : tip - sz.cy - 4, sz.cx + 6, sz.cy + 4);
    OutlinePen(C);
    if (!FMarks->Transparent()) {
      C->Brush()->SetStyle(bsSolid);
      C->Brush()->SetColor(FMarks->BackColor());
      C->Rectangle(box);
    }
    C->Brush()->SetStyle(bsClear);
    C->TextOut(box.Left + 3, box.Top + 2, text);
  }
}

// ---------------------------------------------------------------- bars

KELM_PUBLISH(TBarSeries) { Published(b); }

TBarSeries::TBarSeries(TComponent* AOwner) : TChartSeries(AOwner) {}

void TBarSeries::SetBarWidthPercent(int Value) {
  Value = std::clamp(Value, 1, 100);
  if (Value == FBarWidthPercent) return;
  FBarWidthPercent = Value;
  Repaint();
}

TRect TBarSeries::BarBounds(int Index) const {
  if (!ParentChart() || Count() == 0) return {};
  // Bar series of one chart share each point's room side by side.
  int place = 0, bars = 0;
  for (int i = 0; i < ParentChart()->SeriesCount(); ++i) {
    auto* s = dynamic_cast<TBarSeries*>(ParentChart()->Series(i));
    if (!s || !s->Active()) continue;
    if (s == this) place = bars;
    ++bars;
  }
  bars = std::max(bars, 1);
  TRect r = ParentChart()->ChartRect();
  double slot = static_cast<double>(r.Width()) / Count();
  double width = slot * FBarWidthPercent / 100.0;
  double left = r.Left + slot * Index + (slot - width) / 2 + width * place / bars;
  int l = static_cast<int>(std::lround(left));
  int w = std::max(1, static_cast<int>(std::lround(width / bars)));
  int y0 = ParentChart()->LeftAxis()->CalcPosValue(0);
  int y1 = CalcYPos(Index);
  return Rect(l, std::min(y0, y1), l + w, std::max(y0, y1) + 1);
}

TPoint TBarSeries::MarkAnchor(int Index) const {
  TRect b = BarBounds(Index);
  int x = (b.Left + b.Right) / 2;
  return {x, YValue(Index) < 0 ? b.Bottom : b.Top};
}

void TBarSeries::DrawValues(TCanvas* C) {
  OutlinePen(C);
  C->Brush()->SetStyle(bsSolid);
  for (int i = 0; i < Count(); ++i) {
    C->Brush()->SetColor(ValueColor(i));
    C->Rectangle(BarBounds(i));
  }
}

// ================================================================ the chart

KELM_PUBLISH(TCustomChart) { Published(b); }

TCustomChart::TCustomChart(TComponent* AOwner)
    : TCustomControl(AOwner), FTitle(std::make_unique<TChartTitle>(this)), FFoot(std::make_unique<TChartTitle>(this)),
      FLeftAxis(std::make_unique<TChartAxis>(this, true)), FBottomAxis(std::make_unique<TChartAxis>(this, false)),
      FBackWall(std::make_unique<TChartWall>(this)), FLegend(std::make_unique<TChartLegend>(this)) {
  FFoot->Font()->SetColor(clRed);
  SetControlStyle(ControlStyle() + csAcceptsControls + csOpaque);
  SetParentColor(false);
  SetColor(clBtnFace);
  SetBounds(Left(), Top(), 400, 250);
}

TCustomChart::~TCustomChart() {
  FDestroying = true;
  for (TChartSeries* s : FSeries) {
    s->FChart = nullptr;
    s->RemoveFreeNotification(this);
  }
  FSeries.clear();
}

TChartSeries* TCustomChart::Series(int Index) const {
  if (Index < 0 || Index >= SeriesCount()) throw EListError(Format(SListIndexError, {Index}));
  return FSeries[static_cast<std::size_t>(Index)];
}

void TCustomChart::AddSeries(TChartSeries* Series) {
  if (!Series || std::find(FSeries.begin(), FSeries.end(), Series) != FSeries.end()) return;
  if (Series->FChart) Series->FChart->RemoveSeries(Series);
  FSeries.push_back(Series);
  Series->FChart = this;
  Series->FreeNotification(this);
  ChartChanged();
}

void TCustomChart::RemoveSeries(TChartSeries* Series) {
  auto it = std::find(FSeries.begin(), FSeries.end(), Series);
  if (it == FSeries.end()) return;
  FSeries.erase(it);
  Series->FChart = nullptr;
  Series->RemoveFreeNotification(this);
  ChartChanged();
}

void TCustomChart::FreeAllSeries() {
  while (!FSeries.empty()) delete FSeries.back();
}

void TCustomChart::SetView3D(bool Value) {
  if (Value == FView3D) return;
  FView3D = Value;
  ChartChanged();
}

TColor TCustomChart::PaletteColor(int Index) {
  static constexpr TColor palette[] = {clRed,    clGreen, clYellow, clBlue, clWhite, clGray, clFuchsia, clTeal,
                                       clNavy,   clMaroon, clLime,  clOlive, clPurple, clSilver, clAqua, clBlack};
  return palette[static_cast<std::size_t>(std::max(0, Index)) % std::size(palette)];
}

void TCustomChart::ChartChanged() {
  if (!FDestroying && !ComponentState().Contains(csDestroying)) Invalidate();
}

void TCustomChart::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
  TCustomControl::GetChildren(Proc, Root);
  for (TChartSeries* s : std::vector<TChartSeries*>(FSeries))
    if (s->Owner() == Root) Proc(s);
}

void TCustomChart::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomControl::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (auto* s = dynamic_cast<TChartSeries*>(AComponent)) {
    auto it = std::find(FSeries.begin(), FSeries.end(), s);
    if (it != FSeries.end()) {
      FSeries.erase(it);
      ChartChanged();
    }
  }
}

void TCustomChart::Paint() { Draw(Canvas(), ClientRect()); }

// ---------------------------------------------------------------- drawing

void TCustomChart::DrawTitle(TCanvas* C, TChartTitle* T, TRect& R, bool Top) {
  if (!T->Visible() || T->Text()->Count() == 0) return;
  C->Font()->Assign(T->Font());
  C->Brush()->SetStyle(bsClear);
  int h = C->TextHeight("Wg");
  int n = T->Text()->Count();
  int y = Top ? R.Top : R.Bottom - n * h;
  for (int i = 0; i < n; ++i) {
    String line = T->Text()->Strings(i);
    C->TextOut((R.Left + R.Right - C->TextWidth(line)) / 2, y + i * h, line);
  }
  if (Top) R.Top += n * h + 4;
  else R.Bottom -= n * h + 4;
}

void TCustomChart::DrawLegend(TCanvas* C, TRect& R) {
  if (!FLegend->Visible()) return;
  struct TEntry {
    String Text;
    TColor Color;
  };
  std::vector<TEntry> entries;
  std::vector<TChartSeries*> shown;
  for (TChartSeries* s : FSeries)
    if (s->Active() && s->ShowInLegend()) shown.push_back(s);
  if (shown.size() == 1) {
    TChartSeries* s = shown.front();
    for (int i = 0; i < s->Count(); ++i)
      entries.push_back({s->XLabel(i).empty() ? FormatFloat(s->ValueFormat(), s->YValue(i)) : s->XLabel(i), s->ValueColor(i)});
  } else {
    for (TChartSeries* s : shown) entries.push_back({s->Title().empty() ? s->Name() : s->Title(), s->DrawColor()});
  }
  if (entries.empty()) return;
  C->Font()->Assign(FLegend->Font());
  int h = C->TextHeight("Wg") + 2;
  int textW = 0;
  for (auto& e : entries) textW = std::max(textW, C->TextWidth(e.Text));
  int w = textW + 26, height = static_cast<int>(entries.size()) * h + 6;
  TRect box;
  if (FLegend->Alignment() == laLeft) {
    box = Bounds(R.Left, R.Top, w, height);
    R.Left += w + 8;
  } else if (FLegend->Alignment() == laTop) {
    box = Bounds((R.Left + R.Right - w) / 2, R.Top, w, height);
    R.Top += height + 6;
  } else if (FLegend->Alignment() == laBottom) {
    box = Bounds((R.Left + R.Right - w) / 2, R.Bottom - height, w, height);
    R.Bottom -= height + 6;
  } else {
    box = Bounds(R.Right - w, R.Top, w, height);
    R.Right -= w + 8;
  }
  OutlinePen(C);
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(clWhite);
  C->Rectangle(box);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    int y = box.Top + 3 + static_cast<int>(i) * h;
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(entries[i].Color);
    C->Rectangle(Bounds(box.Left + 5, y + (h - 10) / 2, 12, 10));
    C->Brush()->SetStyle(bsClear);
    C->TextOut(box.Left + 21, y, entries[i].Text);
  }
}

void TCustomChart::DrawAxes(TCanvas* C) {
  TRect r = FChartRect;
  OutlinePen(C);
  C->Brush()->SetStyle(bsClear);
  if (FLeftAxis->Visible()) {
    C->Font()->Assign(FLeftAxis->LabelsFont());
    int h = C->TextHeight("0");
    double inc = FLeftAxis->AxisIncrement();
    int steps = static_cast<int>(std::lround((FLeftAxis->AxisMax() - FLeftAxis->AxisMin()) / inc));
    for (int k = 0; k <= steps; ++k) {
      double v = FLeftAxis->AxisMin() + k * inc;
      int y = FLeftAxis->CalcPosValue(v);
      if (FLeftAxis->Grid()->Visible() && k > 0 && k < steps) {
        C->Pen()->Assign(FLeftAxis->Grid());
        C->MoveTo(r.Left + 1, y);
        C->LineTo(r.Right - 1, y);
        OutlinePen(C);
      }
      C->MoveTo(r.Left - 4, y);
      C->LineTo(r.Left, y);
      if (FLeftAxis->Labels()) {
        String text = FormatFloat("#,##0.###", v);
        C->TextOut(r.Left - 6 - C->TextWidth(text), y - h / 2, text);
      }
    }
    C->MoveTo(r.Left, r.Top);
    C->LineTo(r.Left, r.Bottom);
  }
  if (FBottomAxis->Visible()) {
    C->MoveTo(r.Left, r.Bottom - 1);
    C->LineTo(r.Right, r.Bottom - 1);
    TChartSeries* first = nullptr;
    for (TChartSeries* s : FSeries)
      if (s->Active()) {
        first = s;
        break;
      }
    if (first && FBottomAxis->Labels()) {
      C->Font()->Assign(FBottomAxis->LabelsFont());
      for (int i = 0; i < first->Count(); ++i) {
        String text = first->XLabel(i);
        C->TextOut(first->CalcXPos(i) - C->TextWidth(text) / 2, r.Bottom + 3, text);
      }
    }
  }
}

void TCustomChart::Draw(TCanvas* C, const TRect& Rect) {
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(Color());
  C->FillRect(Rect);
  TRect r = Rect;
  InflateRect(r, -8, -6);
  DrawTitle(C, FTitle.get(), r, true);
  DrawTitle(C, FFoot.get(), r, false);
  DrawLegend(C, r);

  // The range of the values shown.
  double lo = 0, hi = 0;
  bool any = false, marks = false;
  for (TChartSeries* s : FSeries) {
    if (!s->Active() || s->Count() == 0) continue;
    lo = any ? std::min(lo, s->YValues()->MinValue()) : s->YValues()->MinValue();
    hi = any ? std::max(hi, s->YValues()->MaxValue()) : s->YValues()->MaxValue();
    any = true;
    marks = marks || s->Marks()->Visible();
  }
  FLeftAxis->Adjust(lo, hi);

  // Room for the axis labels and titles, and above the plot for the marks of the tallest bars.
  C->Font()->Assign(FLeftAxis->LabelsFont());
  int labelW = 0;
  for (double v = FLeftAxis->AxisMin(); v <= FLeftAxis->AxisMax() + FLeftAxis->AxisIncrement() / 2;
       v += FLeftAxis->AxisIncrement())
    labelW = std::max(labelW, C->TextWidth(FormatFloat("#,##0.###", v)));
  int lineH = C->TextHeight("Wg");
  TRect plot = r;
  if (FLeftAxis->Visible()) plot.Left += labelW + 8;
  if (!FLeftAxis->Title()->Caption().empty()) plot.Left += lineH + 4;
  if (FBottomAxis->Visible()) plot.Bottom -= lineH + 6;
  if (!FBottomAxis->Title()->Caption().empty()) plot.Bottom -= lineH + 4;
  if (marks) {
    int arrow = 0;
    for (TChartSeries* s : FSeries)
      if (s->Active() && s->Marks()->Visible()) arrow = std::max(arrow, s->Marks()->ArrowLength());
    plot.Top += arrow + lineH + 6;
    if (lo < 0) plot.Bottom -= arrow + lineH + 6;
  }
  plot.Top += lineH / 2;  // half a label above the top tick
  if (plot.Right - plot.Left < 10) plot.Right = plot.Left + 10;
  if (plot.Bottom - plot.Top < 10) plot.Bottom = plot.Top + 10;
  FChartRect = plot;
  FLeftAxis->SetPixels(plot.Bottom - 1, plot.Top);
  FBottomAxis->SetPixels(plot.Left, plot.Right);

  if (FBackWall->Brush()->Style() != bsClear) {
    C->Brush()->Assign(FBackWall->Brush());
    C->FillRect(plot);
  }
  if (FBackWall->Pen()->Visible()) {
    C->Pen()->Assign(FBackWall->Pen());
    C->Brush()->SetStyle(bsClear);
    C->Rectangle(plot);
  }
  DrawAxes(C);
  // Axis titles: the left one reads upwards.
  if (!FLeftAxis->Title()->Caption().empty()) {
    C->Font()->Assign(FLeftAxis->Title()->Font());
    C->Font()->SetOrientation(900);
    const String& t = FLeftAxis->Title()->Caption();
    C->Brush()->SetStyle(bsClear);
    C->TextOut(r.Left, (plot.Top + plot.Bottom + C->TextWidth(t)) / 2, t);
    C->Font()->SetOrientation(0);
  }
  if (!FBottomAxis->Title()->Caption().empty()) {
    C->Font()->Assign(FBottomAxis->Title()->Font());
    const String& t = FBottomAxis->Title()->Caption();
    C->Brush()->SetStyle(bsClear);
    C->TextOut((plot.Left + plot.Right - C->TextWidth(t)) / 2, plot.Bottom + lineH + 6, t);
  }
  for (TChartSeries* s : FSeries)
    if (s->Active()) s->DrawValues(C);
  for (TChartSeries* s : FSeries)
    if (s->Active()) s->DrawMarks(C);
}

TBitmap* TCustomChart::CreateBitmap() {
  auto bmp = std::make_unique<TBitmap>();
  bmp->SetPixelFormat(pf24bit);
  TRect r = ClientRect();
  bmp->SetSize(r.Width(), r.Height());
  Draw(bmp->Canvas(), Rect(0, 0, r.Width(), r.Height()));
  return bmp.release();
}

void TCustomChart::SaveToBitmapFile(const String& FileName) {
  std::unique_ptr<TBitmap> bmp(CreateBitmap());
  bmp->SaveToFile(FileName);
}

// ================================================================ TDBChart

KELM_PUBLISH(TChart) {}
KELM_PUBLISH(TDBChart) {}

void TDBChart::RefreshData() {
  for (int i = 0; i < SeriesCount(); ++i) Series(i)->CheckDataSource();
}
