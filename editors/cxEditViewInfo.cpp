// Editor view data (what an editor looks like in a state) and view info (what it computed,
// how it paints, what changed).
#include "editors/cxEditViewInfo.h"

#include "editors/cxCanvas.h"
#include "editors/cxCustomEdit.h"
#include "editors/cxEditPaintUtils.h"
#include "editors/cxEditRoutines.h"
#include "editors/cxEditProperties.h"
#include "editors/cxEditUtils.h"
#include "editors/cxLookAndFeelPainters.h"
#include "editors/dxOffice11.h"
#include "editors/dxThemeManager.h"
#include "gui/GdiDC.h"
#include "gui/GdiDraw.h"
#include "gui/Window.h"
#include "gui/WinUser.h"

#include <climits>

namespace {
constexpr int TMT_FILLCOLOR = 3802;
TRect Shrunk(const TRect& R, const TRect& E) { return Rect(R.Left + E.Left, R.Top + E.Top, R.Right - E.Right, R.Bottom - E.Bottom); }
}  // namespace

// ================================================================ TcxEditButtonViewInfo

void TcxEditButtonViewInfo::Assign(TPersistent* Source) {
  auto* s = dynamic_cast<TcxEditButtonViewInfo*>(Source);
  if (!s) return TPersistent::Assign(Source);
  ThemeState = s->ThemeState;
  BackgroundColor = s->BackgroundColor;
  Bounds = s->Bounds;
  State = s->State;
  Style = s->Style;
}

bool TcxEditButtonViewInfo::Differs(const TcxEditButtonViewInfo* O) const {
  return State != O->State || Style != O->Style || BackgroundColor != O->BackgroundColor || ThemeState != O->ThemeState;
}

TcxRegion* TcxEditButtonViewInfo::ComputeButtonChangedRegion(TcxEditButtonViewInfo* Other) {
  return Differs(Other) ? new TcxRegion(Bounds) : new TcxRegion;
}

bool TcxEditButtonViewInfo::RepaintButtonIfChanged(TWinControl* AControl, TcxEditButtonViewInfo* Other, TPoint Offset) {
  if (!Differs(Other)) return false;
  TRect r = Bounds;
  OffsetRect(r, Offset.X, Offset.Y);
  ::InvalidateRect(AControl->Handle(), &r, HasBackground);
  return true;
}

// ================================================================ TcxCustomEditViewInfo

TcxCustomEditViewInfo::TcxCustomEditViewInfo() = default;

TcxCustomEditViewInfo::~TcxCustomEditViewInfo() { SetButtonCount(0); }

TcxEditButtonViewInfoClass TcxCustomEditViewInfo::GetButtonViewInfoClass() {
  return []() { return new TcxEditButtonViewInfo; };
}

void TcxCustomEditViewInfo::SetButtonCount(int Count) {
  while (ButtonCount() > Count) {
    delete Buttons.back();
    Buttons.pop_back();
  }
  while (ButtonCount() < Count) Buttons.push_back(GetButtonViewInfoClass()());
}

void TcxCustomEditViewInfo::FillBackground(TcxCanvas* ACanvas) { DrawEditBackground(ACanvas, this, true, 0); }

void TcxCustomEditViewInfo::PaintButtons(TcxCanvas* ACanvas) {
  if (DrawingButtons || (Edit && Edit->HandlesButtonPainting(ACanvas->Handle()))) return;
  TRestore<bool> guard(DrawingButtons, true);
  for (int i = 0; i < ButtonCount(); ++i) PaintButton(ACanvas, i);
}

void TcxCustomEditViewInfo::PaintButton(TcxCanvas* ACanvas, int Index) {
  TcxEditButtonViewInfo* K = Buttons[Index];
  K->BackgroundColor = FillColor;
  if (IsRectEmpty(K->VisibleBounds)) return;
  const TRect& b = K->Bounds;
  const TRect& in = InsideBorderRect;
  const bool clip = b.Left < in.Left || b.Top < in.Top || b.Right > in.Right || b.Bottom > in.Bottom;
  HDC dc = ACanvas->Handle();
  const int saved = clip ? SaveDC(dc) : 0;
  if (clip) IntersectClipRect(dc, K->VisibleBounds.Left, K->VisibleBounds.Top, K->VisibleBounds.Right, K->VisibleBounds.Bottom);
  bool done = false;
  if (OnCustomDrawButton) OnCustomDrawButton(this, ACanvas, done, Index);
  if (!done) PaintButtonContent(ACanvas, Index);
  if (clip) RestoreDC(dc, saved);
}

void TcxCustomEditViewInfo::PaintButtonContent(TcxCanvas* ACanvas, int Index) {
  TcxEditButtonViewInfo* K = Buttons[Index];
  TcxEditButtonStyle style = K->Style;
  if (!K->Themed && style == btsSimple && (K->State == ebsPressed || K->State == ebsHot)) style = btsFlat;
  PaintButtonFrame(ACanvas, Index, K->Bounds, style);
}

void TcxCustomEditViewInfo::PaintButtonFrame(TcxCanvas* ACanvas, int Index, const TRect& R, TcxEditButtonStyle Style) {
  DrawEditButtonFrame(ACanvas, this, Index, R, Style);
}

void TcxCustomEditViewInfo::PaintButtonFace(TcxCanvas* ACanvas, int Index, TColor BackColour, TColor ContentColour,
                                            const TRect& C, const TRect& G) {
  DrawEditButtonFace(ACanvas, this, Index, BackColour, ContentColour, C, G);
}

void TcxCustomEditViewInfo::PaintButtonBackground(TcxCanvas* ACanvas, int Index, TColor Colour, const TRect& R) {
  TcxEditButtonViewInfo* K = Buttons[Index];
  bool done = false;
  if (OnCustomDrawButtonBackground) OnCustomDrawButtonBackground(this, ACanvas, done, Index, R);
  if (done) return;
  HDC dc = ACanvas->Handle();
  if (K->Style == btsOffice11 && K->Gradient && !K->Transparent && K->State != ebsDisabled) {
    static const TcxPainterButtonState kStates[] = {pbsDisabled, pbsNormal, pbsPressed, pbsHot};
    TColor from, to;
    TcxOffice11LookAndFeelPainter::ButtonGradient(kStates[K->State & 3], from, to);
    TRect g = Rect(R.Left, InsideBorderRect.Top, R.Right, InsideBorderRect.Bottom);
    if (K->State == ebsNormal) InflateRect(g, 0, -1);
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, R.Left, R.Top, R.Right, R.Bottom);
    FillGradientRect(dc, g, from, to, false);
    RestoreDC(dc, saved);
    return;
  }
  FillRect(dc, R, GetSolidBrush(Colour));
}

bool TcxCustomEditViewInfo::FindHotButton(int& Index) {
  for (int i = 0; i < ButtonCount(); ++i)
    if (Buttons[i]->State == ebsHot) {
      Index = i;
      return true;
    }
  return false;
}

bool TcxCustomEditViewInfo::IsOverButton(TPoint P) {
  P.X -= OffsetX;
  P.Y -= OffsetY;
  for (TcxEditButtonViewInfo* b : Buttons)
    if (PtInRect(b->Bounds, P)) return true;
  return false;
}

bool TcxCustomEditViewInfo::NeedsHint(TcxCanvas* ACanvas, TPoint P, String& Text) {
  Text.clear();
  return NeedsHintInRect(ACanvas, P, Text, TRect());
}

void TcxCustomEditViewInfo::CopyFrom(TObject* Source) {
  auto* s = dynamic_cast<TcxCustomEditViewInfo*>(Source);
  if (s) {
    SetFillColor(s->FillColor);
    ShownBorderColor = s->ShownBorderColor;
    EditBorderStyle = s->EditBorderStyle;
    Condition = s->Condition;
    ThemeState = s->ThemeState;
    SetButtonCount(s->ButtonCount());
    for (int i = 0; i < ButtonCount(); ++i) Buttons[i]->Assign(s->Buttons[i]);
    PressedButton = s->PressedButton;
    HotButton = s->HotButton;
    HasBackground = s->HasBackground;
  }
  TcxContainerViewInfo::CopyFrom(Source);
}

TcxRegion* TcxCustomEditViewInfo::ComputeChangedRegion(TcxContainerViewInfo* Older) {
  TcxRegion* r = TcxContainerViewInfo::ComputeChangedRegion(Older);
  auto* old = dynamic_cast<TcxCustomEditViewInfo*>(Older);
  if (!old) return r;
  const bool comparable = (old->ShownBorderColor == ShownBorderColor || EditBorderStyle == ebsNone) &&
                          old->EditBorderStyle == EditBorderStyle && old->ButtonCount() == ButtonCount() &&
                          old->ThemeState == ThemeState;
  if (comparable) {
    for (int i = 0; i < ButtonCount(); ++i) {
      TcxRegion* b = Buttons[i]->ComputeButtonChangedRegion(old->Buttons[i]);
      if (b->IsEmpty()) delete b;
      else r->CombineWith(b, rcmUnion, true);
    }
  } else if (!IsRectEmpty(OuterBounds)) {
    r->CombineWith(new TcxRegion(OuterBounds), rcmUnion, true);
  }
  return r;
}

void TcxCustomEditViewInfo::ShiftBy(int DX, int DY) {
  TcxContainerViewInfo::ShiftBy(DX, DY);
  OffsetRect(InnerEditRect, DX, DY);
  OffsetRect(ContentArea, DX, DY);
  for (TcxEditButtonViewInfo* b : Buttons) {
    OffsetRect(b->Bounds, DX, DY);
    OffsetRect(b->VisibleBounds, DX, DY);
  }
}

bool TcxCustomEditViewInfo::RepaintChangesFrom(TWinControl* AControl, TcxCustomEditViewInfo* Old) {
  return RepaintChanges(AControl, TRect(), Old);
}

namespace {
TRect ClampTo(const TRect& R, const TRect& Limit) {
  TRect r;
  if (IsRectEmpty(R)) return R;
  IntersectRect(r, R, Limit);
  return r;
}
}  // namespace

bool TcxCustomEditViewInfo::RepaintChanges(TWinControl* AControl, const TRect& Inner, TcxCustomEditViewInfo* Old) {
  if (!AControl->HandleAllocated()) return false;
  TRect R = OuterBounds;
  OffsetRect(R, OffsetX, OffsetY);
  if (!Old) {
    InvalidateFrameBetween(AControl->Handle(), R, ClampTo(Inner, ContentRect), HasBackground);
    return false;
  }
  bool changed = Old->ThemeState != ThemeState || Old->FillColor != FillColor ||
                 (!(Old->Condition == Condition) && RepaintsOnConditionChange()) || Old->ButtonCount() != ButtonCount();
  TRect inner;
  if (changed) {
    inner = ClampTo(Inner, ContentRect);
  } else if ((Old->ShownBorderColor != ShownBorderColor && EditBorderStyle != ebsNone) ||
             Old->EditBorderStyle != EditBorderStyle) {
    changed = true;
    inner = InsideBorderRect;
    OffsetRect(inner, OffsetX, OffsetY);
  }
  if (changed && !IsRectEmpty(OuterBounds) && !(R == inner))
    InvalidateFrameBetween(AControl->Handle(), R, inner, Old->HasBackground);
  bool buttons = false;
  if (Old->ButtonCount() == ButtonCount())
    for (int i = 0; i < ButtonCount(); ++i)
      buttons |= Buttons[i]->RepaintButtonIfChanged(AControl, Old->Buttons[i], {OffsetX, OffsetY});
  return changed || buttons;
}

// ================================================================ TcxCustomEditViewData

TcxCustomEditViewData::TcxCustomEditViewData(TcxCustomEditProperties* AProperties, TcxCustomEditStyle* AStyle,
                                             bool AInPlace)
    : InPlace(AInPlace), Properties(AProperties), Style(AStyle) {
  ClearInPlaceBorder();
  InitializeFromProperties();
}

bool TcxCustomEditViewData::UsesNativeEditTheme(TcxLookAndFeel* ALookAndFeel) {
  return ALookAndFeel && IsThemeAvailable(ALookAndFeel->NativeStyle(), 3);
}

void TcxCustomEditViewData::ClearInPlaceBorder() {
  InPlaceBorder = TRect();
  Enabled = true;
}

void TcxCustomEditViewData::GetTextOffsets(int& Left, int& Top, int& Right, int& Bottom) {
  Left = InPlace ? 3 : 1;
  Top = Right = Bottom = 1;
}

void TcxCustomEditViewData::InitializeFromProperties() {
  VisibleButtonCount = Properties->Buttons()->VisibleCount();
  NoValueSource = Properties->GetValueSourceKind(false) == 0;
  TcxEditAlignment* a = Properties->Alignment();
  HorzAlignment = a->Horz();
  VertAlignment = a->Vert();
  NativeStyle = UsesNativeEditTheme(Style ? Style->LookAndFeel() : nullptr);
  GetContentParameters(ContentParameters);
}

bool TcxCustomEditViewData::GetContentParameters(TcxEditContentParameters& P) {
  P.Rect = TRect();
  GetTextOffsets(P.OffsetLeft, P.OffsetTop, P.OffsetRight, P.OffsetBottom);
  P.Flag = 0;
  P.HorzSpare = 3 - P.OffsetLeft - P.OffsetRight;
  P.HeightCorrection = NativeStyle && InPlace && Properties->Buttons()->Count() > 0 ? 1 : 0;
  return false;
}

TPoint TcxCustomEditViewData::GetContentOffsetSums() {
  const TcxEditContentParameters& p = ContentParameters;
  return {p.OffsetLeft + p.OffsetRight + p.HorzSpare, p.OffsetTop + p.OffsetBottom + p.HeightCorrection};
}

bool TcxCustomEditViewData::ShowsShadow() { return EditShowsShadow(this); }

Byte TcxCustomEditViewData::PaintOptionsByte() const {
  Byte r = PaintOptions;
  if (!IsRectEmpty(ContentParameters.Rect)) r |= 4;
  if (ContentParameters.Flag & 1) r |= 16;
  return r;
}

int TcxCustomEditViewData::CapturedButton() const { return Edit ? Edit->CapturedButton() : -1; }

bool TcxCustomEditViewData::IsEditFocusedForDisplay() const { return Edit ? Edit->IsEditFocusedForDisplay() : Focused; }

void TcxCustomEditViewData::PrepareDisplayTextAndNotify(const Variant& Value, String& Text) {
  PrepareDisplayText(Value, Text);
  if (OnDisplayTextPrepared) OnDisplayTextPrepared(this, Text);
}

void TcxCustomEditViewData::CalculateButtonTheme(TcxEditButtonViewInfo* AButton) { CalculateButtonThemeData(AButton); }

// ---------------------------------------------------------------- borders

TcxEditBorderStyle TcxCustomEditViewData::ChooseBorderStyle() {
  if (InPlace) return ebsNone;
  const TcxEditBorderStyle s = Style->EditBorderStyle();
  return s == ebsUltraFlat || s == ebsOffice11 ? ebsSingle : s;
}

TColor TcxCustomEditViewData::ChooseBorderColor() {
  const TcxEditBorderStyle s = Style->EditBorderStyle();
  if (s != ebsUltraFlat && s != ebsOffice11) return Style->BorderColor();
  const bool lit = Condition.Contains(ccFocused) || (Condition.Contains(ccHot) && Style->HotTrack()) ||
                   (Designing && Enabled);
  return lit ? HighlightBorderColor(s == ebsOffice11) : clBtnShadow;
}

void TcxCustomEditViewData::ComputeBorderExtent(TRect& E) {
  if (InPlace) {
    E = InPlaceBorder;
    return;
  }
  const bool native = UsesNativeEditTheme(Style->LookAndFeel());
  const auto* base = static_cast<const TcxCustomEditStyle*>(Style->BaseStyle());
  if (Style->TransparentBorder()) E = Rect(2, 2, 2, 2);
  else if (!Style->HasBorder() || (native && base->EditBorderStyle() == ebsNone)) E = Rect(0, 0, 0, 0);
  else if (native) E = Rect(2, 2, 2, 2);
  else {
    const int w = ContainerBorderWidth(TcxContainerBorderStyle(ChooseBorderStyle()));
    const TcxBorders edges = Style->Edges();
    E = Rect(edges.Contains(bLeft) ? w : 0, edges.Contains(bTop) ? w : 0, edges.Contains(bRight) ? w : 0,
             edges.Contains(bBottom) ? w : 0);
  }
  if (ShowsShadow()) {
    E.Right += 3;
    E.Bottom += 3;
  }
}

void TcxCustomEditViewData::GetContentMargins(TcxCanvas* ACanvas, TRect& M) {
  if (InPlace) {
    M = InPlaceBorder;
    return;
  }
  if (!NativeStyle) return ComputeBorderExtent(M);
  const auto* base = static_cast<const TcxCustomEditStyle*>(Style->BaseStyle());
  if (!Style->TransparentBorder() && base->EditBorderStyle() == ebsNone) {
    M = TRect();
  } else if (base->HasBorder()) {
    TRect c;
    const TRect probe = Rect(0, 0, 100, 100);
    GetThemeBackgroundContentRect(AcquireThemeHandle(tcEdit), ACanvas ? ACanvas->Handle() : nullptr, 1, 1, probe, c);
    M = Rect(c.Left, c.Top, 100 - c.Right, 100 - c.Bottom);
  } else {
    M = Rect(2, 2, 2, 2);
  }
}

// ---------------------------------------------------------------- the calculation

TcxContainerConditions TcxCustomEditViewData::GetEditCondition(const TRect& R, TPoint P, TcxMouseButtonCode,
                                                               TShiftState Shift) {
  TcxContainerConditions c;
  if (!Enabled) return {ccDisabled};
  if (Designing) c = {ccNormal};
  else c = {Focused ? ccFocused : ccNormal};
  TRect zone;
  if (Edit) Edit->GetHotZone(zone);
  else zone = Shrunk(R, InPlaceBorder);
  if (PtInRect(zone, P) && (Shift.Empty() || (Edit && Edit->MouseCapture()))) c += ccHot;
  return c;
}

void TcxCustomEditViewData::ConditionStep(const TRect& R, TPoint P, TcxMouseButtonCode Button, TShiftState Shift,
                                          TcxCustomEditViewInfo* V) {
  V->Condition = GetEditCondition(R, P, Button, Shift);
  HotOrFocused = V->Condition.Contains(ccFocused) || V->Condition.Contains(ccHot);
  if (Edit) Style = static_cast<TcxCustomEditStyle*>(Edit->ActiveStyle());
  V->HotLevel = Designing || !Style->HotTrack() || InPlace ? 0 : HotOrFocused ? 2 : 1;
  V->EditBorderStyle =
      InPlace || !NativeStyle ? ChooseBorderStyle() : static_cast<TcxCustomEditStyle*>(Style->BaseStyle())->EditBorderStyle();
}

void TcxCustomEditViewData::ComputeViewInfo(TcxCanvas* ACanvas, const TRect& R, TPoint P, TcxMouseButtonCode Button,
                                            TcxCustomEditViewInfo* V, TShiftState Shift, bool Recalculate) {
  Shift = Shift * TShiftState{ssLeft, ssRight, ssMiddle, ssDouble};
  const int w0 = ContainerBorderWidth(TcxContainerBorderStyle(V->EditBorderStyle));
  ConditionStep(R, P, Button, Shift, V);
  if (!InPlace && !NativeStyle && ContainerBorderWidth(TcxContainerBorderStyle(V->EditBorderStyle)) < w0)
    ConditionStep(R, P, Button, Shift, V);
  V->ShownBorderStyle = TcxContainerBorderStyle(V->EditBorderStyle);
  V->ShownBorderWidth = ContainerBorderWidth(V->ShownBorderStyle);
  Condition = V->Condition;
  V->Properties = Properties;
  ButtonsOnly = InPlace ? R.Right != INT_MAX && Properties->ButtonLayout() != eblNormal
                        : Properties->ButtonLayout() == eblButtonsOnly;
  Bounds = R;
  V->OuterBounds = R;
  V->Enabled = Enabled;
  V->Focused = Focused;
  V->HasBackground = Edit && Edit->ErasesItsBackground();
  V->InnerEditVisible = Edit && Edit->IsInnerEditShown();
  V->PaintingCopy = Edit && Edit->IsPaintingCopy();
  V->HostsInnerControl = Edit && Edit->HasInnerEdit();
  V->Designing = Designing;
  V->InPlace = InPlace;
  V->PaintOptions = PaintOptionsByte();
  V->ShownEdges = Style->Edges();
  V->Font = Style->DirectAccessMode() ? Style->Font() : Style->VisibleFont();
  V->ShadowVisible = !InPlace && ShowsShadow();
  V->WindowHandle = WindowHandle;
  // Frame and colours.
  V->UsesTheme = NativeStyle;
  if (NativeStyle) {
    V->ThemeState = !Enabled ? 4 : Properties->ReadOnly() ? 6 : Focused ? 5 : V->Condition.Contains(ccHot) ? 2 : 1;
  } else {
    V->ThemeState = 0;
  }
  ComputeBorderExtent(V->BorderExtent);
  V->InsideBorderRect = Shrunk(V->OuterBounds, V->BorderExtent);
  V->ContentArea = V->InsideBorderRect;
  V->InPlaceBorderSet = !IsRectEmpty(InPlaceBorder);
  if (!InPlace) V->ShownBorderColor = ChooseBorderColor();
  V->TextColor = Style->TextColor();
  TColor fill = Style->Color();
  COLORREF themed;
  if (!(Edit && Edit->IsDefaultParentColor()) && NativeStyle && !Enabled && !Style->IsStyleValueAssigned(csvColor) &&
      GetThemeColor(AcquireThemeHandle(tcEdit), 1, V->ThemeState, TMT_FILLCOLOR, themed) == S_OK)
    fill = TColor(themed);
  V->SetFillColor(fill);
  CalculateButtons(ACanvas, R, Recalculate, V, P, Button, Shift);
  TRect e;
  ComputeContentExtent(ACanvas, V, e);
  V->ContentRect = Shrunk(R, e);
  V->InnerEditRect = Edit && Edit->HasInnerEdit() ? Edit->InnerEditBounds() : V->ContentRect;
  V->PopupBorderStyle = Style->PopupBorderStyle();
  if (V->PopupBorderStyle == epbsDefault) {
    if (InPlace) {
      static const TcxEditPopupBorderStyle kByKind[] = {epbsFlat, epbsFrame3D, epbsSingle, epbsSingle};
      V->PopupBorderStyle = kByKind[Style->LookAndFeel()->Kind()];
    } else {
      static const TcxEditPopupBorderStyle kByBorder[] = {epbsFlat,   epbsSingle, epbsSingle, epbsFlat,
                                                          epbsSingle, epbsSingle, epbsSingle};
      V->PopupBorderStyle = kByBorder[V->EditBorderStyle];
    }
  }
}

// ---------------------------------------------------------------- buttons

TcxEditButtonStyle TcxCustomEditViewData::ResolveButtonStyle() {
  const TcxEditButtonStyle s = Style->ButtonStyle();
  if (s != btsDefault) return s;
  if (InPlace) {
    static const TcxEditButtonStyle kByKind[] = {btsFlat, bts3D, btsUltraFlat, btsOffice11};
    return kByKind[Style->LookAndFeel()->Kind()];
  }
  static const TcxEditButtonStyle kByBorder[] = {btsSimple, btsHotFlat, bts3D, btsFlat, bts3D, btsUltraFlat, btsOffice11};
  return kByBorder[Style->EditBorderStyle()];
}

void TcxCustomEditViewData::CalculateButtons(TcxCanvas* ACanvas, const TRect& R, bool Recalculate,
                                             TcxCustomEditViewInfo* V, TPoint P, TcxMouseButtonCode Button,
                                             TShiftState Shift) {
  const TcxEditButtonTransparency t = Style->ButtonTransparency();
  const bool hidden = VisibleButtonCount == 0 || (t == ebtHideInactive && !V->Condition.Contains(ccFocused)) ||
                      (t == ebtHideUnselected && !V->Condition.Contains(ccFocused) && !V->Condition.Contains(ccHot));
  if (hidden) {
    V->SetButtonCount(0);
    V->PressedButton = V->HotButton = -1;
    return;
  }
  std::vector<Byte> previous;
  for (TcxEditButtonViewInfo* b : V->Buttons) previous.push_back(b->State);
  V->SetButtonCount(VisibleButtonCount);
  previous.resize(V->Buttons.size(), ebsNormal);
  V->ButtonActive = false;
  const int previousPressed = Recalculate ? V->PressedButton : -1;
  V->PressedButton = V->HotButton = -1;
  OuterLeftIndex = InnerLeftIndex = InnerRightIndex = OuterRightIndex = -1;
  const TcxEditButtonStyle style = ResolveButtonStyle();
  for (TcxEditButtonViewInfo* b : V->Buttons) b->Style = style;
  TRect margins;
  GetContentMargins(ACanvas, margins);
  TRect A = Shrunk(R, margins);
  const int available = A.Width();
  LayoutButtons(ACanvas, V, A);
  if (ButtonsOnly && A.Width() > 0) StretchButtons(V, available, A.Width());
  ButtonStates(V, P, Button, Shift, previousPressed, previous);
  // The outer flags.
  const bool anyLeft = OuterLeftIndex != -1, anyRight = OuterRightIndex != -1;
  if (OuterLeftIndex != -1) V->Buttons[OuterLeftIndex]->IsLeftmost = true;
  if (InnerLeftIndex != -1 && (!ButtonsOnly || !anyRight)) V->Buttons[InnerLeftIndex]->IsRightmost = true;
  if (InnerRightIndex != -1 && (!ButtonsOnly || !anyLeft)) V->Buttons[InnerRightIndex]->IsLeftmost = true;
  if (OuterRightIndex != -1) V->Buttons[OuterRightIndex]->IsRightmost = true;
  if (ButtonsOnly)
    for (TcxEditButtonViewInfo* b : V->Buttons) b->LeftAligned = false;
}

void TcxCustomEditViewData::LayoutButtons(TcxCanvas* ACanvas, TcxCustomEditViewInfo* V, TRect& A) {
  TcxEditButtons* buttons = Properties->Buttons();
  bool metricsReady = false;
  int k = V->ButtonCount();
  for (int i = buttons->Count() - 1; i >= 0 && k > 0; --i) {
    TcxEditButton* button = buttons->Items(i);
    if (!button->Visible()) continue;
    TcxEditButtonViewInfo* b = V->Buttons[--k];
    if (button->Kind() == bkText && !metricsReady && ACanvas) {
      ACanvas->Canvas()->Font()->Assign(Style->VisibleFont());
      V->PrepareTextMetrics(ACanvas->Handle());
      metricsReady = true;
    }
    b->ButtonIndex = i;
    FillButton(ACanvas, V, A, k);
  }
}

void TcxCustomEditViewData::FillButton(TcxCanvas* ACanvas, TcxCustomEditViewInfo* V, TRect& A, int Index) {
  TcxEditButtonViewInfo* b = V->Buttons[Index];
  TcxEditButton* button = Properties->Buttons()->Items(b->ButtonIndex);
  b->ComboStyle = V->ButtonCount() == 1 && button->Kind() == bkDown;
  b->Kind = button->Kind();
  if (b->Kind == bkText) {
    b->Caption = button->Caption();
    b->TextColor = button->TextColor();
    b->VisibleCaption = button->VisibleCaption();
  }
  b->IsDefault = button->Default();
  b->Glyph = button->Glyph();
  b->HasBackground = V->HasBackground;
  b->Gradient = Style->GradientButtons();
  b->InPlace = InPlace;
  b->LeftAligned = button->LeftAlignment();
  b->IsLeftmost = b->IsRightmost = false;
  b->Themed = NativeStyle;
  b->Stretchable = button->Stretchable();
  b->Width = button->Width();
  if (b->Width == 0 && OnGetDefaultButtonWidth) OnGetDefaultButtonWidth(this, b->ButtonIndex, b->Width);
  const TcxEditButtonTransparency t = Style->ButtonTransparency();
  b->Transparent = t == ebtAlways || (t == ebtInactive && !HotOrFocused);
  b->BackgroundColor = V->FillColor;
  PlaceButton(ACanvas, V, A, Index);
}

void TcxCustomEditViewData::PlaceButton(TcxCanvas* ACanvas, TcxCustomEditViewInfo* V, TRect& A, int Index) {
  TcxEditButtonViewInfo* b = V->Buttons[Index];
  if (IsRectEmpty(A)) {
    b->Bounds = b->VisibleBounds = TRect();
    return;
  }
  const int w = EditButtonWidth(ACanvas ? ACanvas : ScreenCanvas(), b);
  const int v = std::min(w, A.Width());
  if (b->LeftAligned) {
    b->Bounds = Rect(A.Left, A.Top, A.Left + w, A.Bottom);
    b->VisibleBounds = Rect(A.Left, A.Top, A.Left + v, A.Bottom);
    A.Left += v;
    if (OuterLeftIndex == -1) OuterLeftIndex = Index;
    InnerLeftIndex = Index;
  } else {
    b->Bounds = Rect(A.Right - w, A.Top, A.Right, A.Bottom);
    b->VisibleBounds = Rect(A.Right - v, A.Top, A.Right, A.Bottom);
    A.Right -= v;
    if (OuterRightIndex == -1) OuterRightIndex = Index;
    InnerRightIndex = Index;
  }
}

void TcxCustomEditViewData::StretchButtons(TcxCustomEditViewInfo* V, int Available, int Rest) {
  // The shares follow the widths the buttons were laid out with; nothing to share by (all
  // widths 0) stretches nothing.
  int total = 0, n = 0;
  for (TcxEditButtonViewInfo* b : V->Buttons)
    if (b->Stretchable) {
      total += b->Bounds.Width();
      ++n;
    }
  const bool all = n == 0;
  if (all) total = Available - Rest;
  if (total <= 0) return;
  const int count = V->ButtonCount();
  int last = -1;
  for (int i = 0; i < count; ++i)
    if (all || V->Buttons[i]->Stretchable) {
      last = i;
      break;
    }
  int given = 0;
  for (int i = count - 1; i >= 0; --i) {
    TcxEditButtonViewInfo* b = V->Buttons[i];
    if (!all && !b->Stretchable) continue;
    const int d = i == last ? Rest - given : b->Bounds.Width() * Rest / total;
    given += d;
    if (b->LeftAligned) {
      b->Bounds.Right += d;
      b->VisibleBounds.Right += d;
    } else {
      b->Bounds.Left -= d;
      b->VisibleBounds.Left -= d;
    }
    for (int j = 0; j < i; ++j) {
      TcxEditButtonViewInfo* o = V->Buttons[j];
      if (o->LeftAligned != b->LeftAligned) continue;
      OffsetRect(o->Bounds, b->LeftAligned ? d : -d, 0);
      o->VisibleBounds = o->Bounds;
    }
  }
}

void TcxCustomEditViewData::ButtonStates(TcxCustomEditViewInfo* V, TPoint P, TcxMouseButtonCode Button,
                                         TShiftState Shift, int PreviousPressed, const std::vector<Byte>& Previous) {
  const bool leftOnly = Shift == TShiftState{ssLeft} || Shift == TShiftState{ssLeft, ssDouble};
  for (int i = 0; i < V->ButtonCount(); ++i) {
    TcxEditButtonViewInfo* b = V->Buttons[i];
    TcxEditButton* button = Properties->Buttons()->Items(b->ButtonIndex);
    const bool a = IsButtonPressedByEditor(V, i);
    Byte state;
    if (!Enabled || !button->Enabled()) {
      state = ebsDisabled;
    } else if (!a && (!PtInRect(b->VisibleBounds, P) || Designing)) {
      state = ebsNormal;
    } else {
      const bool dragging =
          Button == mbcNone && Shift.Contains(ssLeft) && Previous[i] == ebsNormal && CapturedButton() == i;
      const bool leftDown = Button == mbcLeft && leftOnly;
      const bool stillDown = Previous[i] == ebsPressed && Shift.Contains(ssLeft);
      if (a || leftDown || stillDown || dragging) V->ButtonActive = true;
      if (!a && Shift.Empty() && !dragging) {
        state = ebsHot;
        V->HotButton = i;
      } else if (a || (dragging && CanPressButton(V, i)) ||
                 (leftOnly && ((Button == mbcLeft && CanPressButton(V, i)) || i == PreviousPressed)) || stillDown) {
        state = ebsPressed;
        V->PressedButton = i;
      } else {
        state = ebsNormal;
      }
    }
    if (V->OnButtonStateCalculated) V->OnButtonStateCalculated(state);
    b->State = state;
    CalculateButtonTheme(b);
  }
}

// ---------------------------------------------------------------- sizes

void TcxCustomEditViewData::ComputeContentExtent(TcxCanvas* ACanvas, TcxCustomEditViewInfo* V, TRect& E) {
  ComputeBorderExtent(E);
  if (Properties->ButtonLayout() != eblNormal && V->ButtonCount() > 0) {
    TRect m;
    GetContentMargins(ACanvas, m);
    E.Left = m.Left;
    E.Right = m.Right;
  }
  if (HorzScrollBar) E.Bottom += GetSystemMetrics(SM_CYHSCROLL);
  if (VertScrollBar) E.Right += GetSystemMetrics(SM_CXVSCROLL);
  for (TcxEditButtonViewInfo* b : V->Buttons) {
    if (b->LeftAligned) E.Left = std::max(E.Left, b->Bounds.Right - V->OuterBounds.Left);
    else E.Right = std::max(E.Right, V->OuterBounds.Right - b->Bounds.Left);
  }
}

void TcxCustomEditViewData::GetButtonsMinHeight(TcxCanvas* ACanvas, TSize& N, TcxCustomEditViewInfo* V, TSize& S,
                                                const TcxEditSizeParameters&) {
  N = TSize{V->OuterBounds.Width() - V->ContentRect.Width(), V->OuterBounds.Height() - V->ContentRect.Height()};
  S = TSize{0, 0};
  if (InPlace && NativeStyle) {
    ACanvas->Canvas()->Font()->Assign(Style->VisibleFont());
    V->PrepareTextMetrics(ACanvas->Handle());
  }
  int h = 0;
  TcxEditButtons* buttons = Properties->Buttons();
  for (int i = 0; i < buttons->Count(); ++i) {
    TcxEditButton* b = buttons->Items(i);
    if (b->Kind() == bkGlyph && b->HasGlyph() && HasUsableGlyph(b->Glyph())) h = std::max(h, b->Glyph()->Height());
    if (InPlace && b->Kind() == bkText && !b->Caption().empty()) {
      ACanvas->Canvas()->Font()->Assign(Style->VisibleFont());
      h = std::max(h, ACanvas->TextHeightOf(b->Caption()));
    }
  }
  if (h <= 0) return;
  TRect m;
  GetContentMargins(ACanvas, m);
  h += m.Top + m.Bottom + ButtonFrameHeightAllowance(ACanvas, V);
  S.cy = std::max(0, h - N.cy);
}

void TcxCustomEditViewData::CalculateMinSize(TcxCanvas* ACanvas, TcxCustomEditViewInfo* V, const Variant&,
                                             TSize& NonClient, TSize& Min, const TcxEditSizeParameters& Parameters) {
  std::unique_ptr<TcxCustomEditViewInfo> own;
  if (!V) {
    own.reset(Properties->GetViewInfoClass()());
    V = own.get();
    ComputeViewInfo(ACanvas, Rect(0, 0, INT_MAX, INT_MAX), {-1, -1}, mbcNone, V, {}, false);
  }
  GetButtonsMinHeight(ACanvas, NonClient, V, Min, Parameters);
}

void TcxCustomEditViewData::GetContentSize(TcxCanvas* ACanvas, const Variant& Value, TSize& Size,
                                           const TcxEditSizeParameters& Parameters) {
  if (Properties->ButtonLayout() == eblNormal) return GetTextSize(ACanvas, Value, Size, Parameters);
  ACanvas->Canvas()->Font()->Assign(Style->VisibleFont());
  Size = TSize{0, GetContentOffsetSums().Y + ACanvas->TextHeightOf("Zg")};
}

TSize TcxCustomEditViewData::MeasureEditor(TcxCanvas* ACanvas, const Variant& Value,
                                           const TcxEditSizeParameters& Parameters) {
  TSize S, M;
  CalculateMinSize(ACanvas, nullptr, Value, S, M, Parameters);
  TcxEditSizeParameters p = Parameters;
  bool clamped = false;
  if (Parameters.WidthLimit >= 0) {
    p.WidthLimit = Parameters.WidthLimit - S.cx;
    if (p.WidthLimit < 0) {
      p.WidthLimit = 0;
      clamped = true;
    }
  }
  TSize C;
  GetContentSize(ACanvas, Value, C, p);
  SizeAtLeast(C, M);
  S.cx = clamped ? Parameters.WidthLimit : S.cx + C.cx;
  S.cy += C.cy;
  return S;
}
