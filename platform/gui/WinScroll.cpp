// The scroll bars of a window and the functions that read and set them.
#include "gui/WinScroll.h"

#include "gui/QtGlue_p.h"
#include "gui/StdCtrls.h"
#include "gui/WinGDI.h"

#include <algorithm>

// ================================================================ the functions

namespace {

bool Request(HWND Handle, int Bar, TScrollBarRequest& R) {
  if (Bar == SB_CTL) return false;
  return SendMessage(Handle, CM_WINDOWSCROLLBAR, static_cast<WPARAM>(Bar), reinterpret_cast<LPARAM>(&R)) != 0;
}

}  // namespace

BOOL GetScrollInfo(HWND Handle, int Bar, SCROLLINFO* Info) {
  if (!Info) return false;
  if (Bar == SB_CTL) return SendMessage(Handle, SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(Info)) != 0;
  TScrollBarRequest r;
  r.Kind = TScrollBarRequest::rkGetInfo;
  r.Info = Info;
  return Request(Handle, Bar, r);
}

int SetScrollInfo(HWND Handle, int Bar, const SCROLLINFO* Info, BOOL Redraw) {
  if (!Info) return 0;
  SCROLLINFO copy = *Info;
  if (Bar == SB_CTL) return static_cast<int>(SendMessage(Handle, SBM_SETSCROLLINFO, Redraw, reinterpret_cast<LPARAM>(&copy)));
  TScrollBarRequest r;
  r.Kind = TScrollBarRequest::rkSetInfo;
  r.Info = &copy;
  r.Redraw = Redraw != 0;
  Request(Handle, Bar, r);
  return r.Result;
}

int GetScrollPos(HWND Handle, int Bar) {
  SCROLLINFO si;
  si.fMask = SIF_POS;
  return GetScrollInfo(Handle, Bar, &si) ? si.nPos : 0;
}

int SetScrollPos(HWND Handle, int Bar, int Pos, BOOL Redraw) {
  int old = GetScrollPos(Handle, Bar);
  SCROLLINFO si;
  si.fMask = SIF_POS;
  si.nPos = Pos;
  SetScrollInfo(Handle, Bar, &si, Redraw);
  return old;
}

BOOL GetScrollRange(HWND Handle, int Bar, int* Min, int* Max) {
  SCROLLINFO si;
  si.fMask = SIF_RANGE;
  if (!GetScrollInfo(Handle, Bar, &si)) return false;
  if (Min) *Min = si.nMin;
  if (Max) *Max = si.nMax;
  return true;
}

BOOL SetScrollRange(HWND Handle, int Bar, int Min, int Max, BOOL Redraw) {
  SCROLLINFO si;
  si.fMask = SIF_RANGE;
  si.nMin = Min;
  si.nMax = Max;
  SetScrollInfo(Handle, Bar, &si, Redraw);
  return true;
}

BOOL ShowScrollBar(HWND Handle, int Bar, BOOL Show) {
  TScrollBarRequest r;
  r.Kind = TScrollBarRequest::rkShow;
  r.Show = Show != 0;
  if (Bar == SB_BOTH) {
    bool a = Request(Handle, SB_HORZ, r);
    bool b = Request(Handle, SB_VERT, r);
    return a && b;
  }
  return Request(Handle, Bar, r);
}

BOOL GetScrollBarInfo(HWND Handle, int ObjectId, SCROLLBARINFO* Info) {
  if (!Info) return false;
  if (ObjectId == OBJID_CLIENT) return SendMessage(Handle, SBM_GETSCROLLBARINFO, 0, reinterpret_cast<LPARAM>(Info)) != 0;
  int bar = ObjectId == OBJID_VSCROLL ? SB_VERT : ObjectId == OBJID_HSCROLL ? SB_HORZ : -1;
  if (bar < 0) return false;
  TScrollBarRequest r;
  r.Kind = TScrollBarRequest::rkGetBarInfo;
  r.BarInfo = Info;
  return Request(Handle, bar, r);
}

// ================================================================ TWindowScrollBars

TWindowScrollBars::TWindowScrollBars(TWinControl* Owner)
    : FOwner(Owner),
      FHorz(std::make_unique<TScrollBarModel>(Owner, true)),
      FVert(std::make_unique<TScrollBarModel>(Owner, false)) {
  FHorz->SetRange(0, 0, 0);
  FVert->SetRange(0, 0, 0);
}

TWindowScrollBars::~TWindowScrollBars() {
  if (FHeld && FOwner->HandleAllocated() && GetCapture() == FOwner->Handle()) ReleaseCapture();
}

TScrollBarModel& TWindowScrollBars::Model(int Bar) const { return Bar == SB_HORZ ? *FHorz : *FVert; }

void TWindowScrollBars::Store(int Bar, const TInfo& Info) {
  TScrollBarModel& m = Model(Bar);
  if (m.Min() != Info.Min || m.Max() != Info.Max || m.Page() != Info.Page) m.SetRange(Info.Min, Info.Max, Info.Page);
  m.SetPosition(Info.Pos);
}

void TWindowScrollBars::SetInfo(int Bar, int Min, int Max, int Page, int Pos) {
  Store(Bar, {Min, Max, Page, Pos});
  ApplyVisibility();
}

void TWindowScrollBars::SetInfo(const TInfo& Horz, const TInfo& Vert) {
  Store(SB_HORZ, Horz);
  Store(SB_VERT, Vert);
  ApplyVisibility();
}

void TWindowScrollBars::SetPos(int Bar, int Pos) {
  TScrollBarModel& m = Model(Bar);
  if (m.Position() == Pos) return;
  m.SetPosition(Pos);
  if (Visible(Bar)) RepaintFrameIfChanged();
}

TWindowScrollBars::TShown TWindowScrollBars::Shown(int Bar) const {
  TRect r = BarRect(Bar);
  return {r, IsRectEmpty(r) ? TRect{} : Model(Bar).ThumbRect(r), Model(Bar).Enabled()};
}

void TWindowScrollBars::RepaintFrameIfChanged() {
  if (Shown(SB_HORZ) != FShown[0] || Shown(SB_VERT) != FShown[1]) RepaintFrame();
}

void TWindowScrollBars::RepaintFrame() {
  // The bars lie in the frame: the client keeps its pixels.
  auto* w = static_cast<TControlWidget*>(gui_glue::TAccess::Widget(FOwner));
  w->NeedsFramePaint = true;
  w->ScheduleFrame();
}

int TWindowScrollBars::Pos(int Bar) const { return Model(Bar).Position(); }
int TWindowScrollBars::Min(int Bar) const { return Model(Bar).Min(); }
int TWindowScrollBars::Max(int Bar) const { return Model(Bar).Max(); }
int TWindowScrollBars::Page(int Bar) const { return Model(Bar).Page(); }

bool TWindowScrollBars::Wanted(int Bar) const {
  const TScrollBarModel& m = Model(Bar);
  int span = m.Max() - m.Min() + 1;
  return m.Page() > 0 ? span > m.Page() : m.Max() > m.Min();
}

bool TWindowScrollBars::Visible(int Bar) const {
  DWORD flag = Bar == SB_HORZ ? WS_HSCROLL : WS_VSCROLL;
  return (FOwner->WindowStyle() & flag) != 0;
}

void TWindowScrollBars::SetAllowed(int Bar, bool Allowed) {
  FAllowed[Bar == SB_HORZ ? 0 : 1] = Allowed;
  ApplyVisibility();
}

void TWindowScrollBars::SetDisableNoScroll(bool v) {
  FDisableNoScroll = v;
  ApplyVisibility();
}

void TWindowScrollBars::ApplyVisibility() {
  if (FApplying) return;
  DWORD style = FOwner->WindowStyle() & ~(WS_HSCROLL | WS_VSCROLL);
  for (int bar : {SB_HORZ, SB_VERT}) {
    bool show = FAllowed[bar == SB_HORZ ? 0 : 1] && (FDisableNoScroll || Wanted(bar));
    if (show) style |= bar == SB_HORZ ? WS_HSCROLL : WS_VSCROLL;
    Model(bar).SetEnabled(Wanted(bar));
  }
  FApplying = true;
  if (style != FOwner->WindowStyle()) FOwner->SetWindowStyles(style, FOwner->WindowExStyle());
  else if (style & (WS_HSCROLL | WS_VSCROLL)) RepaintFrameIfChanged();
  FApplying = false;
}

TRect TWindowScrollBars::BarRect(int Bar) const {
  if (!Visible(Bar)) return {};
  // The bars lie inside the border, which takes the same width on every side; the owner's
  // BorderWidth band lies inside the bars.
  TRect nc = FOwner->NonClientMargins();
  int b = nc.Left - FOwner->BorderWidth();
  int w = FOwner->Width(), h = FOwner->Height();
  int cx = GetSystemMetrics(SM_CXVSCROLL), cy = GetSystemMetrics(SM_CYHSCROLL);
  bool both = Visible(SB_HORZ) && Visible(SB_VERT);
  if (Bar == SB_VERT) return {w - b - cx, b, w - b, h - b - (both ? cy : 0)};
  return {b, h - b - cy, w - b - (both ? cx : 0), h - b};
}

bool TWindowScrollBars::Tracking() const { return FHeld != nullptr; }

bool TWindowScrollBars::MouseMessage(TMessage& M) {
  if (M.Msg < WM_MOUSEFIRST || M.Msg > WM_MOUSELAST || M.Msg == WM_MOUSEWHEEL) return false;
  TRect nc = FOwner->NonClientMargins();
  TPoint p = PointFromLParam(M.LParam);
  p.X += nc.Left;
  p.Y += nc.Top;
  if (FHeld) {
    int bar = FHeld == FHorz.get() ? SB_HORZ : SB_VERT;
    TRect r = BarRect(bar);
    switch (M.Msg) {
      case WM_MOUSEMOVE:
        FHeld->MouseMove(r, p);
        break;
      case WM_LBUTTONUP: {
        TScrollBarModel* held = FHeld;
        FHeld = nullptr;
        if (GetCapture() == FOwner->Handle()) ReleaseCapture();
        held->MouseUp(r, p);
        RepaintFrame();
        break;
      }
      default:
        break;
    }
    return true;
  }
  for (int bar : {SB_VERT, SB_HORZ}) {
    TRect r = BarRect(bar);
    if (IsRectEmpty(r) || !PtInRect(r, p)) continue;
    if (M.Msg == WM_LBUTTONDOWN || M.Msg == WM_LBUTTONDBLCLK) {
      TScrollBarModel& m = Model(bar);
      if (!m.Enabled() || !FOwner->Enabled()) return true;
      if (m.MouseDown(r, p)) {
        FHeld = &m;
        SetCapture(FOwner->Handle());
        RepaintFrame();
      }
    }
    return true;
  }
  // The corner between two bars belongs to neither and to no client.
  if (Visible(SB_HORZ) && Visible(SB_VERT)) {
    TRect v = BarRect(SB_VERT), h = BarRect(SB_HORZ);
    if (p.X >= v.Left && p.X < v.Right && p.Y >= h.Top && p.Y < h.Bottom) return true;
  }
  return false;
}

bool TWindowScrollBars::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case WM_NCPAINT: {
      FOwner->DefaultHandler(M);
      HDC dc = reinterpret_cast<HDC>(M.WParam);
      if (!dc) return true;
      for (int bar : {SB_VERT, SB_HORZ}) {
        TRect r = BarRect(bar);
        if (!IsRectEmpty(r)) Model(bar).Paint(dc, r);
        FShown[bar == SB_HORZ ? 0 : 1] = Shown(bar);
      }
      return true;
    }
    case WM_TIMER:
      if (M.WParam != TScrollBarModel::RepeatTimerId) return false;
      if (FHeld) FHeld->Repeat();
      else KillTimer(FOwner->Handle(), TScrollBarModel::RepeatTimerId);
      return true;
    case WM_CANCELMODE:
      if (FHeld) {
        FHeld = nullptr;
        KillTimer(FOwner->Handle(), TScrollBarModel::RepeatTimerId);
        RepaintFrame();
      }
      return false;
    case CM_WINDOWSCROLLBAR: {
      auto* r = reinterpret_cast<TScrollBarRequest*>(M.LParam);
      int bar = static_cast<int>(M.WParam);
      if (!r || (bar != SB_HORZ && bar != SB_VERT)) return true;
      Answer(bar, *r);
      M.Result = 1;
      return true;
    }
    default:
      return false;
  }
}

void TWindowScrollBars::Answer(int Bar, TScrollBarRequest& R) {
  TScrollBarModel& m = Model(Bar);
  switch (R.Kind) {
    case TScrollBarRequest::rkGetInfo: {
      SCROLLINFO& si = *R.Info;
      if (si.fMask & SIF_RANGE) {
        si.nMin = m.Min();
        si.nMax = m.Max();
      }
      if (si.fMask & SIF_PAGE) si.nPage = static_cast<UINT>(m.Page());
      if (si.fMask & SIF_POS) si.nPos = m.Position();
      if (si.fMask & SIF_TRACKPOS) si.nTrackPos = m.TrackPosition();
      return;
    }
    case TScrollBarRequest::rkSetInfo: {
      const SCROLLINFO& si = *R.Info;
      int mn = (si.fMask & SIF_RANGE) ? si.nMin : m.Min();
      int mx = (si.fMask & SIF_RANGE) ? si.nMax : m.Max();
      int pg = (si.fMask & SIF_PAGE) ? static_cast<int>(si.nPage) : m.Page();
      int pos = (si.fMask & SIF_POS) ? si.nPos : m.Position();
      if (si.fMask & SIF_DISABLENOSCROLL) FDisableNoScroll = true;
      SetInfo(Bar, mn, mx, pg, pos);
      R.Result = m.Position();
      return;
    }
    case TScrollBarRequest::rkShow:
      SetAllowed(Bar, R.Show);
      return;
    case TScrollBarRequest::rkGetBarInfo: {
      SCROLLBARINFO& bi = *R.BarInfo;
      bi = SCROLLBARINFO{};
      TRect r = BarRect(Bar);
      if (IsRectEmpty(r)) {
        bi.rgstate[0] = STATE_SYSTEM_INVISIBLE;
        return;
      }
      TPoint origin = FOwner->ClientToScreen({0, 0});
      TRect nc = FOwner->NonClientMargins();
      OffsetRect(r, origin.X - nc.Left, origin.Y - nc.Top);
      bi.rcScrollBar = r;
      bi.dxyLineButton = Bar == SB_VERT ? GetSystemMetrics(SM_CYVSCROLL) : GetSystemMetrics(SM_CXHSCROLL);
      if (!m.Enabled()) bi.rgstate[0] = STATE_SYSTEM_UNAVAILABLE;
      return;
    }
  }
}
