// The owner-drawn scroll bar: values, layout, hit testing, repeat and thumb tracking, painting.
#include "editors/cxScrollBar.h"

#include "core/ClassBuilder.h"
#include "core/Exceptions.h"
#include "core/SysUtils.h"
#include "editors/cxCanvas.h"
#include "editors/cxClasses.h"
#include "editors/cxTimer.h"
#include "editors/dxThemeManager.h"
#include "gui/GdiDraw.h"
#include "gui/Graphics.h"
#include "gui/SysColors.h"
#include "gui/Window.h"

#include <algorithm>

namespace {
// The thumb follows a drag while the mouse stays this close to the bar: along its axis and
// across it. Farther away the position snaps back to where the drag began.
constexpr int kTrackAlong = 34;
constexpr int kTrackAcross = 136;
constexpr Cardinal kFirstRepeat = 400;
constexpr Cardinal kNextRepeat = 60;

bool IsRepeatArea(TcxScrollBarArea A) {
  return A == sbaStartArrow || A == sbaEndArrow || A == sbaStartPage || A == sbaEndPage;
}
}  // namespace

TPoint SystemScrollBarSize() { return {GetSystemMetrics(SM_CXVSCROLL), GetSystemMetrics(SM_CYHSCROLL)}; }

KELM_PUBLISH(TcxScrollBar) { Published(b); }

TcxScrollBar::TcxScrollBar(TComponent* AOwner) : TCustomControl(AOwner) {
  FBitmap = std::make_unique<TBitmap>();
  FBitmapCanvas = std::make_unique<TcxCanvas>(FBitmap->Canvas());
  FLookAndFeel = std::make_unique<TcxLookAndFeel>(this);
  FLookAndFeel->SetOnChanged(TcxLookAndFeelChangedEvent(this, &TcxScrollBar::LookAndFeelChanged));
  SetControlStyle({csCaptureMouse, csFramed, csOpaque});
  FThemeWatcher = std::make_unique<TdxThemeChangedNotificator>();
  FThemeWatcher->SetOnThemeChanged(TdxThemeChangedEvent::Lambda([this] { ThemeChanged(); }));
  FRepeatTimer = std::make_unique<TcxTimer>(nullptr);
  FRepeatTimer->SetEnabled(false);
  FRepeatTimer->SetInterval(kFirstRepeat);
  FRepeatTimer->SetOnTimer(TNotifyEvent(this, &TcxScrollBar::RepeatTimerTick));
  SetBounds(Left(), Top(), 121, GetSystemMetrics(SM_CYHSCROLL));
  ComputeThumbMinSize();
  LayoutParts();
}

TcxScrollBar::~TcxScrollBar() {
  FRepeatTimer.reset();
  FThemeWatcher.reset();
}

// ---------------------------------------------------------------- values

void TcxScrollBar::AssignScrollValues(int AMin, int AMax, int APosition, int APageSize, bool Redraw) {
  const Int64 range = Int64(AMax) - AMin + 1;
  if (AMax < AMin || APageSize < 0 || APageSize > range)
    throw EInvalidOperation(TranslateLibraryString("Scrollbar property out of range"));
  Redraw = Redraw && HandleAllocated();
  APosition = std::clamp(APosition, AMin, AMax);
  if (AMin == FMin && AMax == FMax && APageSize == FPageSize && APosition == FPosition) return;
  FMin = AMin;
  FMax = AMax;
  FPageSize = APageSize;
  if (APosition == FPosition) {
    PlaceThumb();
    if (Redraw) Invalidate();
    return;
  }
  SetEnabled(true);
  FPosition = APosition;
  PlaceThumb();
  if (Redraw) Invalidate();
  NotifyChange();
}

void TcxScrollBar::SetKind(TScrollBarKind Value) {
  if (FKind == Value) return;
  FKind = Value;
  if (ComponentState().Contains(csLoading)) LayoutParts();
  else SetBounds(Left(), Top(), Height(), Width());
  Invalidate();
}

void TcxScrollBar::NotifyChange() {
  Changed();
  if (FOnChange) FOnChange(this);
}

void TcxScrollBar::NotifyScroll(TScrollCode Code, int& Pos) {
  if (FOnScroll) FOnScroll(this, Code, Pos);
}

void TcxScrollBar::ApplyScrollCode(TScrollCode Code) {
  int next = FPosition;
  switch (Code) {
    case scLineUp: next -= FSmallChange; break;
    case scLineDown: next += FSmallChange; break;
    case scPageUp: next -= FLargeChange; break;
    case scPageDown: next += FLargeChange; break;
    case scTop: next = FMin; break;
    case scBottom: next = FMax; break;
    default: break;  // scPosition, scTrack, scEndScroll keep it
  }
  next = std::clamp(next, FMin, FMax);
  NotifyScroll(Code, next);
  next = std::clamp(next, FMin, FMax);
  if (next == FPosition) return;
  if (Code == scTrack) {
    FPosition = next;
    Invalidate();
  } else {
    SetPosition(next);
  }
}

void TcxScrollBar::ScrollForArea(TcxScrollBarArea Area) {
  switch (Area) {
    case sbaStartArrow: ApplyScrollCode(scLineUp); break;
    case sbaEndArrow: ApplyScrollCode(scLineDown); break;
    case sbaThumb: ApplyScrollCode(scTrack); break;
    case sbaStartPage: ApplyScrollCode(scPageUp); break;
    case sbaEndPage: ApplyScrollCode(scPageDown); break;
    default: break;
  }
}

// ---------------------------------------------------------------- layout

void TcxScrollBar::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  const TRect before = BoundsRect();
  TCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  if (BoundsRect() == before || Width() <= 0 || Height() <= 0 || !FBitmap) return;
  FBitmap->SetSize(Width(), Height());
  LayoutParts();
}

void TcxScrollBar::LayoutParts() {
  if (Horizontal()) {
    int a = std::min(GetSystemMetrics(SM_CYHSCROLL), Width() / 2);
    FStartArrow = Rect(0, 0, a, Height());
    FEndArrow = Rect(Width() - a, 0, Width(), Height());
  } else {
    int a = std::min(GetSystemMetrics(SM_CXVSCROLL), Height() / 2);
    FStartArrow = Rect(0, 0, Width(), a);
    FEndArrow = Rect(0, Height() - a, Width(), Height());
  }
  PlaceThumb();
}

// Works along the bar's axis: Lo/Hi are the left and right (or top and bottom) of a rectangle.
void TcxScrollBar::PlaceThumb() {
  FThumb = TRect();
  PlacePageAreas();
  if (!Enabled()) return;
  const bool h = Horizontal();
  const int trackStart = h ? FStartArrow.Right : FStartArrow.Bottom;
  const int track = (h ? FEndArrow.Left : FEndArrow.Top) - trackStart;
  int length = 0, offset = 0;
  if (FPageSize != 0) {
    const Int64 range = Int64(FMax) - FMin + 1;
    length = std::min(track, MulDiv(FPageSize, track, static_cast<int>(range)));
    if (track < FThumbMinSize || FMax == FMin) return;
    length = std::max(length, FThumbMinSize);
    // d <= 0: the page covers the range, the thumb stays at the start.
    const int d = FMax - FMin - FPageSize + 1;
    if (d > 0) offset = MulDiv(track - length, std::min(FPosition - FMin, d), d);
  } else {
    length = GetSystemMetrics(h ? SM_CXHTHUMB : SM_CYVTHUMB);
    if (track < length) return;
    if (track - length > 0 && FMax != FMin) offset = MulDiv(track - length, FPosition - FMin, FMax - FMin);
  }
  const int from = trackStart + offset;
  FThumb = h ? Rect(from, 0, from + length, Height()) : Rect(0, from, Width(), from + length);
  PlacePageAreas();
}

void TcxScrollBar::PlacePageAreas() {
  if (IsRectEmpty(FThumb)) {
    FStartPage = FEndPage = TRect();
    return;
  }
  if (Horizontal()) {
    FStartPage = Rect(FStartArrow.Right, 0, FThumb.Left, Height());
    FEndPage = Rect(FThumb.Right, 0, FEndArrow.Left, Height());
  } else {
    FStartPage = Rect(0, FStartArrow.Bottom, Width(), FThumb.Top);
    FEndPage = Rect(0, FThumb.Bottom, Width(), FEndArrow.Top);
  }
}

int TcxScrollBar::ThumbPosition() const {
  int range = FMax - FMin;
  if (FPageSize > 0) range -= FPageSize - 1;
  const int moved = Horizontal() ? FThumb.Left - FStartArrow.Right : FThumb.Top - FStartArrow.Bottom;
  const int room = Horizontal() ? FEndArrow.Left - FStartArrow.Right - FThumb.Width()
                                : FEndArrow.Top - FStartArrow.Bottom - FThumb.Height();
  // A thumb that fills the track cannot move: it stands for the start.
  if (room <= 0) return FMin;
  return FMin + MulDiv(range, moved, room);
}

void TcxScrollBar::ComputeThumbMinSize() {
  FThumbMinSize = 8;
  if (CurrentPainter() != TcxWinXPLookAndFeelPainter::Instance()) return;
  HTHEME theme = AcquireThemeHandle(tcScrollBar);
  if (!theme) return;
  const int part = Horizontal() ? 9 : 8;
  TSize minimum, actual;
  if (GetThemePartSize(theme, 0, part, 1, nullptr, TS_MIN, minimum) != S_OK) return;
  int size = Horizontal() ? minimum.cx : minimum.cy;
  if (GetThemePartSize(theme, 0, part, 1, nullptr, TS_TRUE, actual) == S_OK)
    size = std::max(size, (Horizontal() ? actual.cx : actual.cy) + 4);
  FThumbMinSize = std::max(size, 8);
}

TcxLookAndFeelPainterClass TcxScrollBar::CurrentPainter() { return FLookAndFeel->PainterForThemeClass(tcScrollBar); }

// ---------------------------------------------------------------- hit testing and states

TcxScrollBarArea TcxScrollBar::AreaAt(TPoint P) const {
  if (!PtInRect(ClientRect(), P)) return sbaNone;
  if (PtInRect(FStartArrow, P)) return sbaStartArrow;
  if (PtInRect(FEndArrow, P)) return sbaEndArrow;
  if (IsRectEmpty(FThumb)) return sbaNone;
  if (PtInRect(FThumb, P)) return sbaThumb;
  if (PtInRect(FStartPage, P)) return sbaStartPage;
  if (PtInRect(FEndPage, P)) return sbaEndPage;
  return sbaNone;
}

TcxPainterButtonState TcxScrollBar::AreaState(TcxScrollBarArea Area) const {
  if (!Enabled()) return pbsDisabled;
  auto* self = const_cast<TcxScrollBar*>(this);
  if (Area == sbaThumb && !self->CurrentPainter()->HotTracksButtons()) return pbsNormal;
  if (FPressedArea != sbaNone) return Area == FPressedArea && Area == FHotArea ? pbsPressed : pbsNormal;
  if (Area == FHotArea && !ComponentState().Contains(csDesigning)) return pbsHot;
  return pbsNormal;
}

// ---------------------------------------------------------------- mouse

void TcxScrollBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  const TcxScrollBarArea area = AreaAt({X, Y});
  if (area == sbaNone) return;
  if (area == sbaThumb) {
    FDragStartMouse = {X, Y};
    FDragStartPosition = FPosition;
    FDragStartThumb = FThumb.TopLeft();
    ApplyScrollCode(scTrack);
  }
  FPressedArea = FHotArea = area;
  if (IsRepeatArea(area)) {
    ScrollForArea(area);
    FRepeatTimer->SetInterval(kFirstRepeat);
    FRepeatTimer->SetEnabled(true);
  }
  Invalidate();
}

void TcxScrollBar::RepeatTimerTick(TObject*) {
  if (MouseCapture() && IsRepeatArea(FPressedArea)) {
    if (FRepeatTimer->Interval() == kFirstRepeat) FRepeatTimer->SetInterval(kNextRepeat);
    ScrollForArea(FPressedArea);
    FRepeatTimer->SetEnabled(AreaAt(ScreenToClient(Mouse->CursorPos())) == FPressedArea);
  } else {
    EndTracking();
  }
}

void TcxScrollBar::MouseMove(TShiftState Shift, int X, int Y) {
  TCustomControl::MouseMove(Shift, X, Y);
  if (FPressedArea == sbaThumb) return TrackThumb(X, Y);
  const TcxScrollBarArea area = AreaAt({X, Y});
  if (FPressedArea != sbaNone) FRepeatTimer->SetEnabled(area == FPressedArea);
  if (area != FHotArea) {
    FHotArea = area;
    if (CurrentPainter()->HotTracksButtons()) Invalidate();
  }
}

void TcxScrollBar::TrackThumb(int X, int Y) {
  const bool h = Horizontal();
  const TRect band = h ? Rect(-kTrackAlong, -kTrackAcross, Width() + kTrackAlong, Height() + kTrackAcross)
                       : Rect(-kTrackAcross, -kTrackAlong, Width() + kTrackAcross, Height() + kTrackAlong);
  if (FUnlimitedTracking || PtInRect(band, {X, Y})) {
    const int d = h ? X - FDragStartMouse.X : Y - FDragStartMouse.Y;
    if (d == 0) return;
    const int length = h ? FThumb.Width() : FThumb.Height();
    const int lo = h ? FStartArrow.Right : FStartArrow.Bottom;
    const int hi = (h ? FEndArrow.Left : FEndArrow.Top) - length;
    const int from = std::clamp((h ? FDragStartThumb.X : FDragStartThumb.Y) + d, lo, std::max(lo, hi));
    FThumb = h ? Rect(from, 0, from + length, Height()) : Rect(0, from, Width(), from + length);
    PlacePageAreas();
    Invalidate();
    if (ThumbPosition() != FPosition) {
      FPosition = ThumbPosition();
      ScrollForArea(sbaThumb);
    }
  } else if (FPosition != FDragStartPosition) {
    SetPosition(FDragStartPosition);
    ScrollForArea(sbaThumb);
  }
}

void TcxScrollBar::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseUp(Button, Shift, X, Y);
  EndTracking();
  FHotArea = AreaAt({X, Y});
}

void TcxScrollBar::EndTracking() {
  if (FPressedArea == sbaNone) return;
  if (FPressedArea == sbaThumb) {
    SetPosition(ThumbPosition());
    ApplyScrollCode(scPosition);
  }
  FRepeatTimer->SetEnabled(false);
  FPressedArea = FHotArea = sbaNone;
  ApplyScrollCode(scEndScroll);
  PlaceThumb();
  Invalidate();
}

void TcxScrollBar::HandleMouseEnter(TControl*) {
  if (CurrentPainter()->HotTracksButtons() || IsRepeatArea(FPressedArea)) Invalidate();
}

void TcxScrollBar::HandleMouseLeave(TControl*) {
  if (FPressedArea != sbaThumb) FHotArea = sbaNone;
  if (CurrentPainter()->HotTracksButtons() || IsRepeatArea(FPressedArea)) Invalidate();
}

// ---------------------------------------------------------------- painting and changes

void TcxScrollBar::Paint() {
  if (FBitmap->Width() != Width() || FBitmap->Height() != Height()) FBitmap->SetSize(Width(), Height());
  TcxLookAndFeelPainterClass painter = CurrentPainter();
  TcxCanvas* c = FBitmapCanvas.get();
  const bool h = Horizontal();
  if (IsRectEmpty(FThumb)) painter->PaintScrollBarArea(c, h, ClientRect(), sbaStartPage, pbsNormal);
  else painter->PaintScrollBarArea(c, h, FThumb, sbaThumb, AreaState(sbaThumb));
  painter->PaintScrollBarArea(c, h, FStartArrow, sbaStartArrow, AreaState(sbaStartArrow));
  painter->PaintScrollBarArea(c, h, FEndArrow, sbaEndArrow, AreaState(sbaEndArrow));
  if (!IsRectEmpty(FStartPage)) painter->PaintScrollBarArea(c, h, FStartPage, sbaStartPage, AreaState(sbaStartPage));
  if (!IsRectEmpty(FEndPage)) painter->PaintScrollBarArea(c, h, FEndPage, sbaEndPage, AreaState(sbaEndPage));
  BitBlt(Canvas()->Handle(), 0, 0, Width(), Height(), FBitmap->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TcxScrollBar::LookAndFeelChanged(TcxLookAndFeel*, TcxLookAndFeelValues) {
  ComputeThumbMinSize();
  LayoutParts();
  Invalidate();
}

void TcxScrollBar::ThemeChanged() {
  ComputeThumbMinSize();
  LayoutParts();
  RefreshScrollBarBitmaps();
  Invalidate();
  if (Parent()) Parent()->Realign();
}

void TcxScrollBar::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case CM_ENABLEDCHANGED:
      TCustomControl::Dispatch(M);
      LayoutParts();
      if (!Enabled()) EndTracking();
      Invalidate();
      return;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE: {
      TCustomControl::Dispatch(M);
      auto* c = M.LParam ? reinterpret_cast<TControl*>(M.LParam) : this;
      if (c != this) return;
      if (M.Msg == CM_MOUSEENTER) HandleMouseEnter(c);
      else HandleMouseLeave(c);
      return;
    }
    case CM_SYSCOLORCHANGE:
      RefreshScrollBarBitmaps();
      TCustomControl::Dispatch(M);
      return;
    case CM_VISIBLECHANGED:
      if (!Visible()) EndTracking();
      TCustomControl::Dispatch(M);
      return;
    case CN_HSCROLL:
    case CN_VSCROLL:
      ApplyScrollCode(static_cast<TScrollCode>(std::min<int>(LoWord(M.WParam), scEndScroll)));
      return;
    case CN_CTLCOLORSCROLLBAR: {
      RefreshScrollBarBitmaps();
      TMessage copy = M;
      DefaultHandler(copy);  // its answer is not passed on
      return;
    }
    case WM_CANCELMODE:
      EndTracking();
      TCustomControl::Dispatch(M);
      return;
    case WM_ERASEBKGND:
      M.Result = 1;
      return;
    default:
      TCustomControl::Dispatch(M);
  }
}

namespace {
// Layouts find the bar by its class name.
const bool gRegistered = (RegisterClass(TcxScrollBar::StaticClass()), true);
}  // namespace
