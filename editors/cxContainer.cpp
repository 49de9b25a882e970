// The container control: construction, the active style, the paint information, appearance
// updates, the hot zone, painting, the window shape, the hosted control's geometry, focus and
// keys, colour and font in step with the styles, and the unit functions.
#include "editors/cxContainer.h"

#include "core/ClassBuilder.h"
#include "core/Scope.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "editors/cxCanvas.h"
#include "editors/cxControlScrollBars.h"
#include "editors/cxObjectLinks.h"
#include "editors/dxOffice11.h"
#include "editors/dxThemeManager.h"
#include "gui/Application.h"
#include "gui/Forms.h"
#include "gui/GdiDC.h"
#include "gui/Screen.h"
#include "gui/Window.h"
#include "gui/WinUser.h"

#include <algorithm>

namespace {
constexpr int kShadow = 3;
constexpr int TMT_BORDERCOLOR = 3801, TMT_FILLCOLOR = 3802;

TdxThemeClass ThemeClassOf(int ThemeObject) {
  switch (ThemeObject) {
    case 0: return tcButton;
    case 2: return tcComboBox;
    default: return tcEdit;
  }
}
}  // namespace

// ================================================================ unit functions

int ContainerBorderWidth(TcxContainerBorderStyle Style) {
  switch (Style) {
    case cbsSingle: case cbsUltraFlat: case cbsOffice11: return 1;
    case cbsThick: case cbsFlat: case cbs3D: return 2;
    default: return 0;
  }
}

TcxMouseButtonCode MouseButtonCode(TMouseButton Button) {
  return Button == mbLeft ? mbcLeft : Button == mbRight ? mbcRight : mbcMiddle;
}

void GetControlClientBounds(TControl* AControl, TRect& R) { R = Rect(0, 0, AControl->Width(), AControl->Height()); }

void InsetMissingSides(TRect& R, int Width, TcxBorders Edges) {
  if (!Edges.Contains(bLeft)) R.Left += Width;
  if (!Edges.Contains(bTop)) R.Top += Width;
  if (!Edges.Contains(bRight)) R.Right -= Width;
  if (!Edges.Contains(bBottom)) R.Bottom -= Width;
}

void DrawContainerShadow(TcxCanvas* ACanvas, const TRect& R) {
  ACanvas->Brush()->SetColor(clBtnShadow);
  const TRect bottom = Rect(R.Left + kShadow, R.Bottom, R.Right, R.Bottom + kShadow);
  ACanvas->Canvas()->FillRect(bottom);
  ACanvas->ExcludeClipArea(bottom);
  const TRect right = Rect(R.Right, R.Top + kShadow, R.Right + kShadow, R.Bottom + kShadow);
  ACanvas->Canvas()->FillRect(right);
  ACanvas->ExcludeClipArea(right);
}

namespace {
// The four pieces of the ring between two rectangles (the whole outer one without an inner).
std::vector<TRect> FramePieces(const TRect& O, const TRect& I) {
  if (IsRectEmpty(I)) return {O};
  return {Rect(O.Left, O.Top, I.Left, O.Bottom), Rect(I.Left, O.Top, I.Right, I.Top),
          Rect(I.Right, O.Top, O.Right, O.Bottom), Rect(I.Left, I.Bottom, I.Right, O.Bottom)};
}
}  // namespace

void FillFrameBetween(TcxCanvas* ACanvas, const TRect& Outer, const TRect& Inner, TColor Color) {
  if (IsRectEmpty(Outer) || Outer == Inner) return;
  ACanvas->Brush()->SetColor(Color);
  for (const TRect& r : FramePieces(Outer, Inner)) ACanvas->Canvas()->FillRect(r);
}

void InvalidateFrameBetween(HWND Window, const TRect& Outer, const TRect& Inner, bool Erase) {
  if (IsRectEmpty(Outer) || Outer == Inner) return;
  for (const TRect& r : FramePieces(Outer, Inner)) ::InvalidateRect(Window, &r, Erase);
}

HRGN CreateShapeRegion(const TRect& R, bool NoRegion, const TRect& Exclude, bool WithShadow) {
  if (NoRegion) return nullptr;
  HRGN region = CreateRectRgnIndirect(R);
  if (WithShadow) {
    TRect s = R;
    OffsetRect(s, kShadow, kShadow);
    HRGN shadow = CreateRectRgnIndirect(s);
    CombineRgn(region, region, shadow, RGN_OR);
    DeleteObject(shadow);
  }
  if (!IsRectEmpty(Exclude)) {
    HRGN x = CreateRectRgnIndirect(Exclude);
    CombineRgn(region, region, x, RGN_DIFF);
    DeleteObject(x);
  }
  return region;
}

void SetWindowShape(HWND Window, const TRect& R, bool NoRegion, const TRect& Exclude, bool WithShadow) {
  HRGN wanted = CreateShapeRegion(R, NoRegion, Exclude, WithShadow);
  HRGN current = CreateRectRgn(0, 0, 0, 0);
  const int now = GetWindowRgn(Window, current);
  const bool hasNow = now != NULLREGION && now != ERROR;
  // Only a real change reaches the window: setting a region repaints it.
  if ((wanted || hasNow) && !(wanted && hasNow && EqualRgn(wanted, current))) {
    SetWindowRgn(Window, wanted, true);  // the window owns it now
  } else if (wanted) {
    DeleteObject(wanted);
  }
  DeleteObject(current);
}

void ApplyWindowClip(TWinControl* AControl, const TcxHostedControlClip& Clip) {
  SetWindowRgn(AControl->Handle(), Clip.Empty ? nullptr : CreateRectRgnIndirect(Clip.Rect), true);
}

bool IsThemeAvailable(bool NativeStyle, int ThemeObject) {
  return NativeStyle && AcquireThemeHandle(ThemeClassOf(ThemeObject)) != 0;
}

TPoint ReadCursorPos() {
  TPoint p;
  GetCursorPos(&p);
  return p;
}

TShiftState KeyboardShiftState() { return KeyboardStateToShiftState(); }

bool SameTextCase(const String& S1, const String& S2, bool CaseSensitive) {
  return CaseSensitive ? S1 == S2 : AnsiUpperCase(S1) == AnsiUpperCase(S2);
}

void AssignFont(TFont* Dest, TFont* Source) { Dest->Assign(Source); }

HWND FindTopLevelWindow(HWND Window) {
  for (HWND h = Window; h; h = GetParent(h))
    if (!(GetWindowLong(h, GWL_STYLE) & WS_CHILD)) return h;
  return 0;
}

TcxCanvas* ScreenCanvas() {
  static TcxScreenCanvas* canvas = nullptr;
  if (!canvas) {
    canvas = new TcxScreenCanvas;
    AddExitProc([] {
      delete canvas;
      canvas = nullptr;
    });
  }
  return canvas;
}

// ================================================================ TcxContainerViewInfo

void TcxContainerViewInfo::PaintFrame(TcxCanvas* C, const TRect& Frame) {
  TRect R = Frame;
  switch (ShownBorderStyle) {
    case cbsSingle:
    case cbsThick: C->DrawBorderStrips(R, ShownBorderColor, ShownBorderWidth, cxBordersAll); break;
    case cbsFlat:
      C->DrawEdge3D(R, true, true, ShownEdges);
      InflateRect(R, -1, -1);
      C->DrawBorderStrips(R, clBtnFace, 1, cxBordersAll);
      break;
    case cbs3D:
      C->DrawEdge3D(R, true, true, ShownEdges);
      InflateRect(R, -1, -1);
      C->DrawShadedFrame(R, cl3DDkShadow, cl3DLight, ShownEdges, 1);
      break;
    default: break;  // none; ultra-flat and Office 2003 are shown as single
  }
}

void TcxContainerViewInfo::FillBackground(TcxCanvas* C) {
  if (UsesTheme) {
    if (ShownBorderStyle == cbsNone) {
      C->Brush()->SetColor(FillColor);
      C->FillArea(OuterBounds);
      return;
    }
    TRect content = OuterBounds;
    HTHEME theme = AcquireThemeHandle(ThemeClassOf(ThemeObject));
    GetThemeBackgroundContentRect(theme, C->Handle(), ThemePart, ThemeState, OuterBounds, content);
    C->Brush()->SetColor(FillColor);
    C->FillArea(content);
    COLORREF border = ColorToRGB(clWindowFrame);
    GetThemeColor(AcquireThemeHandle(tcComboBox), 1, 1, TMT_BORDERCOLOR, border);
    FillFrameBetween(C, OuterBounds, content, TColor(border));
    return;
  }
  TRect F = InsideBorderRect;
  F.Left -= ShownBorderWidth;
  F.Top -= ShownBorderWidth;
  if (ShownEdges.Contains(bRight)) F.Right += ShownBorderWidth;
  if (ShownEdges.Contains(bBottom)) F.Bottom += ShownBorderWidth;
  if (ShadowVisible) DrawContainerShadow(C, F);
  if (!ShownEdges.Contains(bRight)) F.Right += ShownBorderWidth;
  if (!ShownEdges.Contains(bBottom)) F.Bottom += ShownBorderWidth;
  PaintFrame(C, F);
  C->Brush()->SetColor(FillColor);
  C->FillArea(InsideBorderRect);
}

void TcxContainerViewInfo::CopyFrom(TObject* Source) {
  if (auto* s = dynamic_cast<TcxContainerViewInfo*>(Source)) ContentRect = s->ContentRect;
}

TcxRegion* TcxContainerViewInfo::ComputeChangedRegion(TcxContainerViewInfo*) { return new TcxRegion; }

void TcxContainerViewInfo::ShiftBy(int DX, int DY) {
  OffsetRect(InsideBorderRect, DX, DY);
  OffsetRect(OuterBounds, DX, DY);
  OffsetRect(ContentRect, DX, DY);
}

// ================================================================ TcxContainer

KELM_PUBLISH(TcxContainer) { Published(b); }

namespace {
TcxContainerStyle* MakeContainerStyle(TPersistent* O, bool D, TcxContainerStyle* P, TcxContainerCondition S) {
  return new TcxContainerStyle(O, D, P, S);
}
}  // namespace

TcxContainer::TcxContainer(TComponent* AOwner) : TcxContainer(AOwner, &MakeContainerStyle, nullptr) {}

TcxContainer::TcxContainer(TComponent* AOwner, TcxContainerStyleClass AStyleClass, TcxContainerViewInfo* AViewInfo)
    : TcxControl(AOwner) {
  TRestore<bool> constructing(FConstructing, true);
  FStyleSet = std::make_unique<TcxContainerStyles>(this, AStyleClass);
  FStyleSet->SetChangeHandler(TNotifyEvent(this, &TcxContainer::StyleChanged));
  FCachedStyle = Style();
  FPaintInfo.reset(AViewInfo ? AViewInfo : CreateViewInfo());
  LookAndFeel()->SetMaster(Style()->LookAndFeel());
  SetControlStyle(ControlStyle() + csCaptureMouse + csSetCaption);
  SetTabStop(true);
  SetParentColor(IsDefaultParentColor() && !RunsInPlace() && !Style()->IsStyleValueAssigned(csvColor));
  if (!ParentColor()) {
    TRestore<bool> fromStyle(FSettingFromStyle, true);
    SetColor(clWindow);
  }
  ResetHostedControlClip();
}

TcxContainer::~TcxContainer() {
  StopTrackingMouseLeave(this);
  FShuttingDown = true;
  LookAndFeel()->SetMaster(nullptr);
  FStyleSet->SetChangeHandler(nullptr);
  FStyleSet.reset();
  FPaintInfo.reset();
}

TcxContainerStyleClass TcxContainer::GetStyleClass() { return &MakeContainerStyle; }

void TcxContainer::SetHostedControl(TWinControl* Value) {
  FHostedControl = Value;
  ResetHostedControlClip();
  if (Value) {
    Value->SetDragMode(DragMode());
    Value->SetCursor(Cursor());
  }
  RefreshAtCursor(false);
}

bool TcxContainer::ParentColorOf(TColor& C) {
  if (!Parent()) return false;
  C = Parent()->Color();
  return true;
}

void TcxContainer::Loaded() {
  TcxControl::Loaded();
  StyleChanged(Style());
}

bool TcxContainer::Focused() const {
  auto* self = const_cast<TcxContainer*>(this);
  if (self->IsInDesigner() || ControlState().Contains(csDestroyingHandle)) return false;
  return TcxControl::Focused() || (FHostedControl && FHostedControl->Focused());
}

bool TcxContainer::IsFocusWithin() { return Focused(); }

// ---------------------------------------------------------------- styles and paint info

TcxContainerStyle* TcxContainer::ActiveStyle() {
  if (FPaintInfo->Condition != FCachedCondition) {
    FCachedCondition = FPaintInfo->Condition;
    FCachedStyle = ChooseActiveStyle();
  }
  return FCachedStyle;
}

TcxContainerStyle* TcxContainer::ChooseActiveStyle() {
  const TcxContainerConditions c = FPaintInfo->Condition;
  if (c.Contains(ccDisabled)) return StyleDisabled();
  if (c.Contains(ccFocused)) return StyleFocused();
  if (Style()->HotTrack() && c.Contains(ccHot)) return StyleHot();
  return Style();
}

bool TcxContainer::HasShadow() { return ActiveStyle()->Shadow() && !IsThemed(); }

bool TcxContainer::IsThemed() { return IsThemeAvailable(Style()->LookAndFeel()->NativeStyle(), GetThemeObject()); }

int TcxContainer::GetThemeState() {
  if (!Enabled()) return 4;
  if (Focused()) return 5;
  if (FPaintInfo->Condition.Contains(ccHot)) return 2;
  return 1;
}

TcxContainerConditions TcxContainer::ConditionAt(TPoint P, bool ConsiderHot) {
  TcxContainerConditions c;
  if (!Enabled()) c = {ccDisabled};
  else if (IsInDesigner()) c = {ccNormal};
  else c = {Focused() ? ccFocused : ccNormal};
  if (ConsiderHot) {
    TRect zone;
    GetHotZone(zone);
    if (PtInRect(zone, P)) c += ccHot;
  }
  return c;
}

void TcxContainer::StateStep(TPoint P, bool ConsiderHot) {
  TcxContainerViewInfo& v = *FPaintInfo;
  v.Condition = ConditionAt(P, ConsiderHot);
  TcxContainerStyle* s = ActiveStyle();
  v.HotLevel = !s->HotTrack() ? 0 : (v.Condition.Contains(ccFocused) || v.Condition.Contains(ccHot)) ? 2 : 1;
  if (v.UsesTheme) {
    v.ShownBorderStyle = Style()->BorderStyle();
  } else {
    const TcxContainerBorderStyle b = s->BorderStyle();
    v.ShownBorderStyle = b == cbsUltraFlat || b == cbsOffice11 ? cbsSingle : b;
  }
}

void TcxContainer::CalculatePaintInfo(TPoint P, bool ConsiderHot) {
  TcxContainerViewInfo& v = *FPaintInfo;
  v.UsesTheme = IsThemed();
  const int before = ContainerBorderWidth(v.ShownBorderStyle);
  StateStep(P, ConsiderHot);
  // The hot zone depends on the border: a thinner one asks again.
  if (!v.UsesTheme && ContainerBorderWidth(v.ShownBorderStyle) < before) StateStep(P, ConsiderHot);
  if (v.UsesTheme) {
    v.ThemeObject = static_cast<Byte>(GetThemeObject());
    v.ThemePart = GetThemePart();
    v.ThemeState = GetThemeState();
  }
  TcxContainerStyle* s = ActiveStyle();
  v.OuterBounds = Rect(0, 0, Width(), Height());
  TRect e;
  GetBorderExtent(e);
  v.InsideBorderRect = Rect(e.Left, e.Top, Width() - e.Right, Height() - e.Bottom);
  v.ContentRect = v.InsideBorderRect;
  v.ShownBorderWidth = ContainerBorderWidth(v.ShownBorderStyle);
  v.ShownEdges = s->Edges();
  v.ShadowVisible = HasShadow();
  const TcxContainerBorderStyle b = s->BorderStyle();
  if (b == cbsUltraFlat || b == cbsOffice11) {
    const bool highlighted = v.Condition.Contains(ccFocused) || (v.Condition.Contains(ccHot) && s->HotTrack()) ||
                             (IsInDesigner() && Enabled());
    v.ShownBorderColor = !highlighted ? clBtnShadow : b == cbsOffice11 ? Office11Color21 : clHighlight;
  } else {
    v.ShownBorderColor = s->BorderColor();
  }
  v.SetFillColor(s->Color());
  if (v.UsesTheme && !Enabled()) {
    // A theme without a fill colour for the disabled state leaves the style's colour.
    COLORREF fill;
    if (GetThemeColor(AcquireThemeHandle(ThemeClassOf(v.ThemeObject)), v.ThemePart, v.ThemeState, TMT_FILLCOLOR,
                      fill) == S_OK)
      v.SetFillColor(TColor(fill));
  }
}

void TcxContainer::GetBorderExtent(TRect& E) {
  TcxContainerStyle* s = ActiveStyle();
  if (s->TransparentBorder()) {
    E = Rect(2, 2, 2, 2);
  } else if (!s->HasBorder()) {
    E = Rect(0, 0, 0, 0);
  } else if (IsThemed()) {
    E = Style()->BorderStyle() == cbsNone ? Rect(0, 0, 0, 0) : Rect(2, 2, 2, 2);
  } else {
    const int w = ContainerBorderWidth(FPaintInfo->ShownBorderStyle);
    const TcxBorders edges = s->Edges();
    E = Rect(edges.Contains(bLeft) ? w : 0, edges.Contains(bTop) ? w : 0, edges.Contains(bRight) ? w : 0,
             edges.Contains(bBottom) ? w : 0);
  }
  if (HasShadow()) {
    E.Right += kShadow;
    E.Bottom += kShadow;
  }
}

// ---------------------------------------------------------------- appearance updates

namespace {
// What the picture of a container depends on: an update that leaves all of it as it was
// needs no repaint.
struct TLook {
  TColor Fill, Border;
  TRect Inside, Outer, Content;
  TcxContainerBorderStyle Style;
  TcxContainerConditions Condition;
  TcxBorders Edges;
  bool Theme, Shadow;
  int Part, State;
  bool operator==(const TLook&) const = default;
};
TLook LookOf(const TcxContainerViewInfo& v) {
  return {v.FillColor, v.ShownBorderColor, v.InsideBorderRect, v.OuterBounds, v.ContentRect, v.ShownBorderStyle,
          v.Condition, v.ShownEdges, v.UsesTheme, v.ShadowVisible, v.ThemePart, v.ThemeState};
}
}  // namespace

bool TcxContainer::MoveKeepsAppearance(TPoint P, bool ConsiderHot) {
  // Everything else the picture depends on changes through a full update of its own (style,
  // focus, enabling, size, handle); a move changes at most the hot state.
  const TcxContainerViewInfo& v = *FPaintInfo;
  if (!FCalculated || !FMoving || v.OuterBounds != Rect(0, 0, Width(), Height())) return false;
  if (FHostedControl && (FHostedControl->BoundsRect() != v.ContentRect || FHostedControl->Color() != v.FillColor))
    return false;
  return ConditionAt(P, ConsiderHot) == v.Condition;
}

bool TcxContainer::UpdateAppearanceAt(TPoint P, TcxMouseButtonCode, TShiftState Shift, bool) {
  if (FSyncingBounds || IsShuttingDown()) return true;
  const bool considerHot = Shift.Empty() && ActiveStyle()->HotTrack();
  if (MoveKeepsAppearance(P, considerHot)) return true;
  const TLook before = LookOf(*FPaintInfo);
  CalculatePaintInfo(P, considerHot);
  FCalculated = true;
  AdjustHostedBounds();
  ApplyHostedAppearance();
  UpdateWindowShape();
  if (HandleAllocated() && (!FPainted || !(LookOf(*FPaintInfo) == before))) {
    FPainted = true;
    const TRect all = Rect(0, 0, Width(), Height());
    if (!FHostedControl) InvalidateArea(all, false);
    else InvalidateFrameBetween(Handle(), all, FPaintInfo->InsideBorderRect, false);
  }
  if (FPaintInfo->Condition.Contains(ccHot) && !IsTrackingMouseLeave(this)) {
    TRect zone;
    GetHotZone(zone);
    StartTrackingMouseLeave(this, zone, this);
  }
  return true;
}

bool TcxContainer::RefreshAtCursor(bool Recalculate) {
  if (!HandleAllocated() || IsShuttingDown() || FRefreshing) return false;
  TRestore<bool> guard(FRefreshing, true);
  return UpdateAppearanceAt(ScreenToClient(ReadCursorPos()), mbcNone, KeyboardShiftState(), Recalculate);
}

namespace {
// Whether A shows as B would with the given colour and style.
bool SameFont(TFont* A, TFont* B, TColor Color, TFontStyles Style) {
  return A->Name() == B->Name() && A->Height() == B->Height() && A->Style() == Style && A->Color() == Color &&
         A->Charset() == B->Charset() && A->Pitch() == B->Pitch() && A->Orientation() == B->Orientation();
}
}  // namespace

void TcxContainer::ApplyHostedAppearance() {
  if (!FHostedControl) return;
  if (FHostedControl->Color() != FPaintInfo->FillColor) FHostedControl->SetColor(FPaintInfo->FillColor);
  // An unchanged font is not assigned again: every assignment re-lays the hosted control out.
  TcxContainerStyle* s = ActiveStyle();
  TFont* hosted = FHostedControl->Font();
  TFont* base = s->Font();
  if (base && SameFont(hosted, base, s->TextColor(), s->TextStyle())) return;
  hosted->Assign(s->VisibleFont());
}

void TcxContainer::MouseTrackingLeft() {
  HandleMouseLeave(nullptr);
  StopTrackingMouseLeave(this);
}

void TcxContainer::GetHotZone(TRect& R) {
  R = Rect(0, 0, Width(), Height());
  if (RunsInPlace()) return;
  if (FPaintInfo->ShadowVisible) {
    R.Right -= kShadow;
    R.Bottom -= kShadow;
  }
  TcxContainerStyle* n = Style();
  if (!n->HasBorder()) {
    if (n->TransparentBorder()) InflateRect(R, -2, -2);
  } else if (IsThemed()) {
    if (n->BorderStyle() == cbsNone && n->TransparentBorder()) InflateRect(R, -2, -2);
  } else if (n->TransparentBorder()) {
    const int w = ContainerBorderWidth(FPaintInfo->ShownBorderStyle);
    InflateRect(R, w - 2, w - 2);
    InsetMissingSides(R, w, FPaintInfo->ShownEdges);
  }
}

// ---------------------------------------------------------------- painting and shape

void TcxContainer::Paint() {
  if (!RectVisible(Canvas()->Handle(), &FPaintInfo->OuterBounds)) return;
  if (ControlState().Contains(csPaintCopy)) ClipCanvasToShape();
  FPaintInfo->Draw(cxCanvas());
}

void TcxContainer::GetShapeBounds(TRect& R) {
  TRect e;
  GetBorderExtent(e);
  const TRect o = FPaintInfo->OuterBounds;
  R = Rect(o.Left + e.Left, o.Top + e.Top, o.Right - e.Right, o.Bottom - e.Bottom);
  const int w = ContainerBorderWidth(FPaintInfo->GetShownBorderStyle());
  InflateRect(R, w, w);
  InsetMissingSides(R, w, ActiveStyle()->Edges());
}

void TcxContainer::UpdateWindowShape() {
  if (!HandleAllocated()) return;
  TShape shape;
  GetShapeBounds(shape.Bounds);
  shape.NoRegion = FPaintInfo->UsesTheme && FPaintInfo->ShownBorderStyle != cbsNone;
  shape.Shadow = FPaintInfo->ShadowVisible;
  // The container alone sets its window's region: the same shape as last time needs no
  // regions built and compared.
  if (FShapeApplied && shape == FLastShape) return;
  SetWindowShape(Handle(), shape.Bounds, shape.NoRegion, TRect(), shape.Shadow);
  FLastShape = shape;
  FShapeApplied = true;
}

void TcxContainer::ClipCanvasToShape() {
  TRect r;
  GetShapeBounds(r);
  if (HRGN region = CreateShapeRegion(r, FPaintInfo->UsesTheme, TRect(), FPaintInfo->ShadowVisible))
    cxCanvas()->ApplyClipRegion(new TcxRegion(region), rcmIntersection, true);
}

// ---------------------------------------------------------------- hosted control geometry

void TcxContainer::AdjustHostedBounds() {
  if (!FHostedControl || FHostedControl->BoundsRect() == FPaintInfo->ContentRect) return;
  TRestore<bool> lock(FSyncingBounds, true);
  const TRect& c = FPaintInfo->ContentRect;
  FHostedControl->SetBounds(c.Left, c.Top, c.Width(), c.Height());
}

void TcxContainer::AdjustClientRect(TRect& R) {
  if (!IsShuttingDown() && FPaintInfo) R = FPaintInfo->ContentRect;
}

void TcxContainer::LockAlignControls(bool Lock) {
  if (Lock) ++FAlignLock;
  else if (FAlignLock > 0) --FAlignLock;
}

void TcxContainer::AlignControls(TControl* AControl, TRect& R) {
  if (UsesPlainChildLayout()) return TcxControl::AlignControls(AControl, R);
  if (FAlignLock > 0 || OwnsInternalControl(AControl)) return;
  if (!AControl) TcxControl::AlignControls(AControl, R);
  auto* w = dynamic_cast<TWinControl*>(AControl);
  if (FConstructing || !w || !w->HandleAllocated()) return;
  TcxHostedControlClip clip;
  CalculateHostedClip(R, w, clip);
  if (!HostedClipChanged(w, clip)) return;
  ApplyWindowClip(w, clip);
  FHostedControlClip = clip;
}

void TcxContainer::CalculateHostedClip(const TRect& R, TControl* AControl, TcxHostedControlClip& Clip) {
  Clip = TcxHostedControlClip();
  if (!AControl) return;
  Clip.Empty = false;
  const TRect full = Rect(0, 0, AControl->Width(), AControl->Height());
  Clip.Rect = full;
  const TRect b = AControl->BoundsRect();
  if (b.Left < R.Left) Clip.Rect.Left = R.Left - b.Left;
  if (b.Top < R.Top) Clip.Rect.Top = R.Top - b.Top;
  if (R.Right < b.Right) Clip.Rect.Right += R.Right - b.Right;
  if (R.Bottom < b.Bottom) Clip.Rect.Bottom += R.Bottom - b.Bottom;
  if (Clip.Rect == full) Clip.Empty = true;
}

bool TcxContainer::HostedClipChanged(TControl* AControl, const TcxHostedControlClip& Clip) const {
  if (AControl != FHostedControl) return true;
  if (FHostedControlClip.Empty && Clip.Empty) return false;
  if (FHostedControlClip.Empty != Clip.Empty) return true;
  return !(FHostedControlClip.Rect == Clip.Rect);
}

// ---------------------------------------------------------------- focus and keys

bool TcxContainer::FocusesOnClick() {
  if (FHostedControl && FHostedControl->HandleAllocated() && FHostedControl->Focused()) return false;
  return !HostedMouseDown && TcxControl::FocusesOnClick();
}

bool TcxContainer::MayFocus() { return !(FHostedControl && FHostedControl->Focused()); }

void TcxContainer::FocusHostedControl() { FHostedControl->SetFocus(); }

void TcxContainer::SetFocus() {
  if (IsInDesigner() || IsFocusWithin()) return;
  TcxControl::SetFocus();
  if (FHostedControl && FHostedControl->HandleAllocated() && GetFocus() == Handle()) {
    FocusHostedControl();
    if (TCustomForm* f = GetParentForm(this)) f->FocusControl(FHostedControl);
  }
}

void TcxContainer::SetFocusMessage(TMessage& M) {
  if (IsShuttingDown() || !FHostedControl || !FHostedControl->HandleAllocated()) return TcxControl::Dispatch(M);
  if (static_cast<HWND>(M.WParam) == FHostedControl->Handle()) {
    M.Result = 0;  // the focus came back from the hosted control: nothing to pass on
    return;
  }
  TcxControl::Dispatch(M);
  if (FHostedControl->CanFocus()) FHostedControl->SetFocus();
}

void TcxContainer::GetTabOrderList(std::vector<TWinControl*>& List) {
  if (UsesPlainChildLayout()) return TcxControl::GetTabOrderList(List);
  // The hosted control is no tab stop of its own: the children stay out. Seen from the
  // hosted control, the next stop is the one after the container.
  TCustomForm* form = GetParentForm(this);
  if (!form || !FHostedControl || form->ActiveControl() != FHostedControl || FHostedControl == this || !CanFocus())
    return;
  List.erase(std::remove(List.begin(), List.end(), this), List.end());
  List.push_back(FHostedControl);
}

void TcxContainer::KeyDown(Word& Key, TShiftState Shift) {
  TcxObjectLinkScope link(this);
  TcxControl::KeyDown(Key, Shift);
  if (!link.Alive() || Key != VK_TAB || !Focused() || Shift.Contains(ssAlt) || Shift.Contains(ssCtrl) ||
      HandlesTabKey())
    return;
  Key = 0;
  if (TCustomForm* f = GetParentForm(this)) f->SelectNext(f->ActiveControl(), !Shift.Contains(ssShift), true);
  if (link.Alive() && HandleAllocated() && FHostedControl && GetFocus() == Handle()) FHostedControl->SetFocus();
}

bool TcxContainer::HostedKeyMessage(TMessage& Message) {
  if (Message.Msg != CN_KEYDOWN && Message.Msg != CN_SYSKEYDOWN) return false;
  TMessage copy = Message;
  if (!IsPopupMenuShortCut(copy)) return false;
  Message.Result = 1;
  return true;
}

void TcxContainer::DoContextPopup(TPoint MousePos, bool& Handled) {
  if ((MousePos.X == -1 && MousePos.Y == -1) || CanShowContextMenuAt(MousePos)) TcxControl::DoContextPopup(MousePos, Handled);
  else Handled = true;
}

// ---------------------------------------------------------------- mouse, size, handle

void TcxContainer::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TcxObjectLinkScope link(this);
  TcxControl::MouseDown(Button, Shift, X, Y);
  if (link.Alive()) UpdateAppearanceAt({X, Y}, MouseButtonCode(Button), Shift, true);
}

void TcxContainer::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TcxObjectLinkScope link(this);
  TcxControl::MouseUp(Button, Shift, X, Y);
  if (link.Alive()) UpdateAppearanceAt({X, Y}, MouseButtonCode(Button), Shift, true);
}

void TcxContainer::MouseMove(TShiftState Shift, int X, int Y) {
  TcxObjectLinkScope link(this);
  TcxControl::MouseMove(Shift, X, Y);
  if (!link.Alive()) return;
  {
    TRestore<bool> moving(FMoving, true);
    UpdateAppearanceAt({X, Y}, mbcNone, Shift, true);
  }
  if (!link.Alive() || IsTrackingMouseLeave(this)) return;  // one tracker per caller: the zone is not needed
  TRect zone;
  GetHotZone(zone);
  StartTrackingMouseLeave(this, zone, this);
}

void TcxContainer::ChangeScale(int M, int D) {
  TcxContainerStyle* n = Style();
  const bool scaleFont = M != D && n->IsStyleValueAssigned(csvFont) && (!IsLoading() || ScalingFlags().Contains(sfFont));
  {
    TRestore<bool> fromStyle(FSettingFromStyle, !ParentFont());
    TcxControl::ChangeScale(M, D);
  }
  if (!scaleFont) return;
  if (n->AssignedValues().Contains(csvFont)) n->Font()->SetSize(MulDiv(n->Font()->Size(), M, D));
  else if (IsLoading())
    if (TcxStyleController* c = n->StyleController()) c->ScaleStyleFont(M, D);
}

void TcxContainer::Resize() {
  TcxControl::Resize();
  if (!FConstructing) RefreshAtCursor(false);
}

void TcxContainer::CreateWnd() {
  TcxControl::CreateWnd();
  RefreshAtCursor(false);
}

void TcxContainer::SetDragMode(TDragMode Value) {
  TcxControl::SetDragMode(Value);
  if (FHostedControl) FHostedControl->SetDragMode(Value);
}

void TcxContainer::SetContainerDragKind(TDragKind Value) {
  SetDragKind(Value);
  if (FHostedControl) FHostedControl->SetDragKind(Value);
}

TDragImageList* TcxContainer::GetDragImages() {
  return FHostedControl ? FHostedControl->GetDragImages() : TcxControl::GetDragImages();
}

void TcxContainer::DragCanceled() { TcxControl::DragCanceled(); }

void TcxContainer::HandleCursorChange() {
  TcxControl::HandleCursorChange();
  if (FHostedControl) FHostedControl->SetCursor(Cursor());
}

void TcxContainer::HandleFocusChange() {
  TcxControl::HandleFocusChange();
  RefreshAtCursor(false);
}

void TcxContainer::HandleMouseEnter(TControl* AControl) {
  TcxControl::HandleMouseEnter(AControl);
  RefreshAtCursor(true);
  TRect zone;
  GetHotZone(zone);
  StartTrackingMouseLeave(this, zone, this);
}

void TcxContainer::HandleMouseLeave(TControl* AControl) {
  TcxControl::HandleMouseLeave(AControl);
  RefreshAtCursor(true);
  StopTrackingMouseLeave(this);
}

void TcxContainer::HandleEnabledChange() {
  if (WantsScrollBars() && HScrollBar()) {
    HScrollBar()->SetEnabled(Enabled());
    VScrollBar()->SetEnabled(Enabled());
  }
  RefreshAtCursor(false);
}

// ---------------------------------------------------------------- colour and font

void TcxContainer::StyleChanged(TObject*) {
  if (FConstructing || IsLoading()) return;
  RefreshAtCursor(false);
  TcxContainerStyle* n = Style();
  if (!ParentColor() || n->IsStyleValueAssigned(csvColor)) {
    TRestore<bool> fromStyle(FSettingFromStyle, true);
    SetColor(n->GetPaintColor());
  }
  {
    TRestore<bool> fromStyle(FSettingFromStyle, true);
    if (n->Font()) Font()->Assign(n->Font());
  }
  if (n->IsStyleValueAssigned(csvFont)) SetParentFont(false);
}

void TcxContainer::HandleColorChange() {
  if (FSettingFromStyle) {
    TcxControl::HandleColorChange();
    RefreshAtCursor(false);
  } else {
    Style()->SetColor(Color());
  }
}

void TcxContainer::FontChangedMessage(TMessage& M) {
  if (FSettingFromStyle) {
    TcxControl::Dispatch(M);
    AdjustHostedBounds();
    SyncScrollBars(false);
    RefreshAtCursor(false);
    return;
  }
  TcxContainerStyle* n = Style();
  const bool wasAssigned = n->AssignedValues().Contains(csvFont);
  {
    TRestore<bool> fromStyle(FSettingFromStyle, true);  // the style's notice must not write back
    n->SetFont(Font());
  }
  if (!wasAssigned) {
    TcxContainerStyleValues v = n->AssignedValues() - csvFont;
    TNotifyEvent saved = n->OnChanged;
    n->OnChanged = nullptr;  // the mark goes without a notice
    n->SetAssignedValues(v);
    n->OnChanged = saved;
  }
  TcxControl::Dispatch(M);
}

void TcxContainer::ParentColorChangedMessage(TMessage& M) {
  TcxContainerStyle* n = Style();
  const bool wasAssigned = n->AssignedValues().Contains(csvColor);
  TcxControl::Dispatch(M);
  if (!wasAssigned || ParentColor()) {
    TNotifyEvent saved = n->OnChanged;
    n->OnChanged = nullptr;
    n->SetAssignedValues(n->AssignedValues() - csvColor);
    n->OnChanged = saved;
  }
  if (n->Color() != Color()) StyleChanged(n);
  if (IsTransparentBackground() && !ParentColor()) Invalidate();
}

void TcxContainer::ParentFontChangedMessage(TMessage& M) {
  TcxContainerStyle* n = Style();
  const bool wasAssigned = n->AssignedValues().Contains(csvFont);
  TcxControl::Dispatch(M);
  if (!ParentFont()) n->UpdateFont();
  if (!wasAssigned || ParentFont()) {
    TNotifyEvent saved = n->OnChanged;
    n->OnChanged = nullptr;
    n->SetAssignedValues(n->AssignedValues() - csvFont);
    n->OnChanged = saved;
  }
}

// ---------------------------------------------------------------- scroll-bar mirroring

void TcxContainer::SyncScrollBars(bool ValuesOnly) {
  if (!FHostedControl || !WantsScrollBars() || IsShuttingDown() || !HScrollBar()) return;
  for (TcxControlScrollBar* bar : {HScrollBar(), VScrollBar()}) {
    if (!ValuesOnly) SyncScrollBar(bar);
    if (!bar->Visible() || !FHostedControl->HandleAllocated()) continue;
    SCROLLINFO si;
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    if (!GetScrollInfo(FHostedControl->Handle(), bar->Kind() == sbHorizontal ? SB_HORZ : SB_VERT, &si)) continue;
    // A page beyond the range is lowered so that the bar accepts it.
    int page = static_cast<int>(si.nPage);
    if (page > si.nMax) page = si.nMax;
    page = std::max(0, std::min(page, si.nMax - si.nMin + 1));
    bar->AssignScrollValues(si.nMin, si.nMax, si.nPos, page, true);
    bar->SetSmallChange(1);
  }
}

bool TcxContainer::ReadHostedScrollBarInfo(SCROLLBARINFO& Info, TScrollBarKind Kind) {
  if (IsShuttingDown() || !Parent() || !HandleAllocated() || !FHostedControl || !FHostedControl->HandleAllocated())
    return false;
  return GetScrollBarInfo(FHostedControl->Handle(), Kind == sbHorizontal ? OBJID_HSCROLL : OBJID_VSCROLL, &Info);
}

bool TcxContainer::IsScrollBarInfoVisible(const SCROLLBARINFO& Info) {
  return !(Info.rgstate[0] & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN));
}

bool TcxContainer::IsScrollBarEnabled(TcxControlScrollBar* Bar, const SCROLLBARINFO& Info) {
  return Bar->Parent() && Bar->Parent()->Enabled() && !(Info.rgstate[0] & STATE_SYSTEM_UNAVAILABLE);
}

void TcxContainer::ScrollBarScreenToClient(const TRect& Screen, TRect& R) {
  const TPoint at = ScreenToClient(Screen.TopLeft());
  R = Bounds(at.X, at.Y, Screen.Width(), Screen.Height());
  TRect inside;
  if (!IntersectRect(inside, R, Rect(0, 0, Width(), Height())) || !(inside == R)) R = TRect();
}

void TcxContainer::SetScrollBarVisible(TcxControlScrollBar* Bar, bool Visible) {
  Bar->SetVisible(Visible);
  if (!Visible) return;
  Bar->SetCtl3D(false);
  Bar->BringToFront();
}

void TcxContainer::SyncScrollBar(TcxControlScrollBar* Bar) {
  SCROLLBARINFO info;
  if (!ReadHostedScrollBarInfo(info, Bar->Kind()) || !IsScrollBarInfoVisible(info)) return SetScrollBarVisible(Bar, false);
  Bar->SetEnabled(IsScrollBarEnabled(Bar, info));
  TRect r;
  ScrollBarScreenToClient(info.rcScrollBar, r);
  Bar->SetBoundsRect(r);
  SetScrollBarVisible(Bar, true);
}

// ---------------------------------------------------------------- messages

void TcxContainer::WndProc(TMessage& M) {
  if (M.Msg == WM_SETFOCUS && !Visible()) return;
  const bool key = (M.Msg >= WM_KEYDOWN && M.Msg <= WM_CHAR) || (M.Msg >= CN_KEYDOWN && M.Msg <= CN_CHAR);
  if (key && FHostedControl) {
    M.Result = SendMessage(FHostedControl->Handle(), M.Msg, M.WParam, M.LParam);
    return;
  }
  if ((M.Msg == WM_LBUTTONDOWN || M.Msg == WM_LBUTTONDBLCLK) && DragMode() == dmAutomatic && !IsInDesigner()) {
    BeginAutoDrag();
    return;
  }
  TcxControl::WndProc(M);
}

void TcxContainer::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case WM_SETFOCUS: return SetFocusMessage(M);
    case WM_KILLFOCUS:
      if (FHostedControl && FHostedControl->HandleAllocated() && static_cast<HWND>(M.WParam) == FHostedControl->Handle()) {
        M.Result = 0;
        return;
      }
      TcxControl::Dispatch(M);
      return;
    case WM_NCPAINT:
      M.Result = 0;
      return;
    case WM_WINDOWPOSCHANGED:
      TcxControl::Dispatch(M);
      if (!IsShuttingDown() && IsTransparentBackground()) RefreshAtCursor(false);
      return;
    case WM_SETCURSOR:
      if (FHostedControl && static_cast<HWND>(M.WParam) == Handle() && LoWord(static_cast<WPARAM>(M.LParam)) == HTCLIENT &&
          !PtInRect(FPaintInfo->ContentRect, ScreenToClient(ReadCursorPos()))) {
        ::SetCursor(Screen->Cursors(crArrow));
        M.Result = 1;
        return;
      }
      TcxControl::Dispatch(M);
      return;
    case CM_CTL3DCHANGED:
    case CM_SYSCOLORCHANGE:
      TcxControl::Dispatch(M);
      RefreshAtCursor(false);
      return;
    case CM_ENABLEDCHANGED:
      TcxControl::Dispatch(M);
      HandleEnabledChange();
      return;
    case CM_FONTCHANGED: return FontChangedMessage(M);
    case CM_PARENTCOLORCHANGED: return ParentColorChangedMessage(M);
    case CM_PARENTFONTCHANGED: return ParentFontChangedMessage(M);
    case DM_UPDATESCROLLBARS: return SyncScrollBars(false);
    default: TcxControl::Dispatch(M);
  }
}
