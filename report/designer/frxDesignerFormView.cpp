// The designer window's view: zoom, units and grid, the status bar's position display, the
// rulers following the workspace and the mouse wheel.
#include "report/designer/frxDesignerForm.h"

#include "report/designer/frxDesgnWorkspace.h"
#include "report/frxClass.h"
#include "report/frxRes.h"

#include "core/Format.h"
#include "core/StrUtils.h"
#include "core/Scope.h"
#include "core/SysUtils.h"
#include "gui/Canvas.h"
#include "gui/ImgList.h"

#include <cmath>

namespace {
const char* const kUnitsKeys[] = {"dsCm", "dsInch", "dsPix", "dsChars"};
// Tool images drawn before the position and the size in status panel 1.
constexpr int kPositionImage = 62;
constexpr int kSizeImage = 63;
}  // namespace

void TfrxDesignerForm::SetScale(Extended Value) {
  FScale = SaneScale(Value);
  TopRuler->SetScale(FScale);
  LeftRuler->SetScale(FScale);
  if (!FDesignedDialogForm) FWorkspace->SetScale(FScale);
  ScaleCB->SetText(IntToStr(static_cast<int>(Round(FScale * 100))) + "%");
  LayoutReportPage();
}

void TfrxDesignerForm::SetUnits(TfrxRulerUnits Value) {
  FUnits = Value;
  ApplyUnits();
}

void TfrxDesignerForm::SetReportUnits(TfrxRulerUnits Value) {
  FReportUnits = Value;
  if (Page() && !FDesignedDialogForm && FUnits != ruChars) SetUnits(Value);
}

void TfrxDesignerForm::ApplyUnits() {
  StatusBar->Panels()->Items(0)->SetText(ReportResources()->TextOf(kUnitsKeys[FUnits]));
  TopRuler->SetUnits(FUnits);
  LeftRuler->SetUnits(FUnits);
  switch (FUnits) {
    case ruCM:
      FWorkspace->SetGridType(gkCm);
      FWorkspace->SetGridX(FGridSizeCm * frx_units::PixPerCm);
      FWorkspace->SetGridY(FGridSizeCm * frx_units::PixPerCm);
      break;
    case ruInches:
      FWorkspace->SetGridType(gkInch);
      FWorkspace->SetGridX(FGridSizeInch * frx_units::PixPerInch);
      FWorkspace->SetGridY(FGridSizeInch * frx_units::PixPerInch);
      break;
    case ruPixels:
      FWorkspace->SetGridType(gkPixels);
      FWorkspace->SetGridX(FGridSizePixels);
      FWorkspace->SetGridY(FGridSizePixels);
      break;
    case ruChars:
      FWorkspace->SetGridType(gkChars);
      FWorkspace->SetGridX(frx_units::CharWidth);
      FWorkspace->SetGridY(frx_units::CharHeight);
      break;
  }
  FWorkspace->ArrangeBands();
  if (FWorkspace->SelectedCount() > 0) NotifySelectionChanged(this);
}

void TfrxDesignerForm::SetGridSizes(Extended Cm, Extended Inch, Extended Pixels, Extended Dialog) {
  // A step of zero would reach the workspace's snapping and band stacking as a divisor.
  FGridSizeCm = SaneGridSize(Cm, 0.1);
  FGridSizeInch = SaneGridSize(Inch, 0.1);
  FGridSizePixels = SaneGridSize(Pixels, 4);
  FGridSizeDialog = SaneGridSize(Dialog, 4);
  if (FDesignedDialogForm) {
    FWorkspace->SetGridX(FGridSizeDialog);
    FWorkspace->SetGridY(FGridSizeDialog);
  } else if (Page()) {
    ApplyUnits();
  }
}

void TfrxDesignerForm::SetShowGrid(bool Value) {
  FShowGrid = Value;
  ShowGridB->SetDown(Value);
  FWorkspace->SetShowGrid(Value);
}

void TfrxDesignerForm::SetGridAlign(bool Value) {
  FGridAlign = Value;
  AlignToGridB->SetDown(Value);
  FWorkspace->SetGridAlign(Value);
}

void TfrxDesignerForm::SetShowRulers(bool Value) {
  FShowRulers = Value;
  TopRuler->SetVisible(Value);
  LeftRuler->SetVisible(Value);
  ShowRulersMI->SetChecked(Value);
}

void TfrxDesignerForm::SetWorkspaceColor(TColor Value) {
  FWorkspaceColor = Value;
  if (!FDesignedDialogForm) FWorkspace->SetPageColor(Value);
}

void TfrxDesignerForm::ShowGridBClick(TObject*) { SetShowGrid(ShowGridB->Down()); }
void TfrxDesignerForm::AlignToGridBClick(TObject*) { SetGridAlign(AlignToGridB->Down()); }

void TfrxDesignerForm::ScaleCBClick(TObject*) {
  String s = ScaleCB->Text();
  if (s == ReportResources()->TextOf("zmPageWidth") || s == ReportResources()->TextOf("zmWholePage")) {
    auto w = static_cast<Extended>(ScrollBox->ClientWidth() - 20);
    int pw = FWorkspace->PageWidth(), ph = FWorkspace->PageHeight();
    if (pw <= 0 || ph <= 0) return;
    Extended scale = w / pw;
    if (s == ReportResources()->TextOf("zmWholePage"))
      scale = std::min(scale, static_cast<Extended>(ScrollBox->ClientHeight() - 20) / ph);
    SetScale(scale);
    return;
  }
  ApplyScaleText();
}

void TfrxDesignerForm::ApplyScaleText() {
  String s = StringReplace(ScaleCB->Text(), "%", " ", {});
  s = StringReplace(s, " ", "", {rfReplaceAll});
  if (s.empty()) return;
  s = StringReplace(s, ",", ".", {rfReplaceAll});
  Extended percent = 0;
  // A typed zoom that is no positive number is refused: the box shows the scale again.
  if (!TryStrToFloat(s, percent) || !(percent > 0)) {
    ScaleCB->SetText(IntToStr(static_cast<int>(Round(FScale * 100))) + "%");
    return;
  }
  SetScale(percent / 100);
  if (ScrollBox->CanFocus()) ScrollBox->SetFocus();
}

// ---------------------------------------------------------------- status bar

void TfrxDesignerForm::ShowPosition(TObject*, const TfrxBoundsRect& Bounds) {
  TfrxWorkspaceMode mode = FWorkspace->Mode();
  bool held = FWorkspace->MouseHeld() || FWorkspace->Inserting();
  bool scaling = mode == wmScale;
  bool showsSize;
  if (held) {
    bool sizing = mode == wmMove || mode == wmSize || mode == wmSizeBand || mode == wmInsertRect || mode == wmInsertLine;
    if (!sizing && !scaling) {
      FPositionText.clear();
      FSizeText.clear();
      FScaleText.clear();
      StatusBar->Invalidate();
      return;
    }
    showsSize = sizing;
  } else {
    bool pageSelected = SelectedObjects().size() == 1 && SelectedObjects().front() == Page();
    showsSize = !pageSelected;
  }
  TfrxPositionTexts t = PositionTexts(FUnits, Bounds.Left, Bounds.Top, Bounds.Width, Bounds.Height, showsSize);
  FPositionText = t.Position;
  FSizeText = scaling ? String() : t.Size;
  FScaleText.clear();
  if (held && scaling) {
    TfrxBoundsRect start = FWorkspace->ScaleStartBounds();
    Extended kx = start.Width != 0 ? Bounds.Width / start.Width : 1;
    Extended ky = start.Height != 0 ? Bounds.Height / start.Height : 1;
    FScaleText = ::ScaleText(kx, ky);
  }
  TopRuler->SetPosition(Bounds.Left);
  LeftRuler->SetPosition(Bounds.Top);
  StatusBar->Invalidate();
}

void TfrxDesignerForm::StatusBarDrawPanel(TStatusBar* Sender, TStatusPanel*, const TRect& Rect) {
  TCanvas* c = Sender->Canvas();
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(clBtnFace);
  c->FillRect(Rect);
  TCustomImageList* images = ReportResources()->ToolImages();
  int textTop = Rect.Top + (Rect.Bottom - Rect.Top - c->TextHeight("0")) / 2;
  if (!FPositionText.empty()) {
    if (images->Count() > kPositionImage) images->Draw(c, Rect.Left + 2, Rect.Top, kPositionImage);
    c->TextOut(Rect.Left + 20, textTop, FPositionText);
  }
  if (!FSizeText.empty()) {
    if (images->Count() > kSizeImage) images->Draw(c, Rect.Left + 110, Rect.Top, kSizeImage);
    c->TextOut(Rect.Left + 130, textTop, FSizeText);
  }
  if (!FScaleText.empty()) c->TextOut(Rect.Left + 110, textTop, FScaleText);
}

void TfrxDesignerForm::StatusBarMouseDown(TObject*, TMouseButton Button, TShiftState Shift, int X, int) {
  if (Button != mbLeft || !Shift.Contains(ssDouble)) return;
  if (X >= StatusBar->Panels()->Items(0)->Width()) return;
  // Dialog pages measure in pixels and dot-matrix pages in characters, whatever is chosen.
  if (FWorkspace->GridType() == gkDialog || FWorkspace->GridType() == gkChars) return;
  FReportUnits = NextUnits(FUnits);
  SetUnits(FReportUnits);
}

// ---------------------------------------------------------------- rulers and scrolling

void TfrxDesignerForm::ScrollBoxResize(TObject*) {
  int left = FWorkspace->Left(), top = FWorkspace->Top();
  // The rulers count from the objects' origin, which may be scrolled out of sight.
  if (left < 0) {
    TopRuler->SetOffset(ScrollBox->Left() + 2);
    TopRuler->SetStart(-left);
  } else {
    TopRuler->SetOffset(ScrollBox->Left() + left + 2);
    TopRuler->SetStart(0);
  }
  if (top < 0) {
    LeftRuler->SetOffset(2);
    LeftRuler->SetStart(-top);
  } else {
    LeftRuler->SetOffset(top + 2);
    LeftRuler->SetStart(0);
  }
}

void TfrxDesignerForm::ScrollBoxDragOver(TObject*, TObject* Source, int, int, TDragState, bool& Accept) {
  Accept = Source == FWorkspace;
}

void TfrxDesignerForm::FormMouseWheel(TObject*, TShiftState, int WheelDelta, TPoint, bool& Handled) {
  if (!Page() || FDesignedDialogForm) return;
  TControlScrollBar* bar = ScrollBox->VertScrollBar();
  bar->SetPosition(bar->Position() - WheelDelta / 120 * 16);
  Handled = true;
}
