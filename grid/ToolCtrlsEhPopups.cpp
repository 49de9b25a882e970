// The drop-down windows of the edit-button unit: the size grip, the pop-up pick list, the
// recently-used list box and the drop-down month calendar.
#include "grid/ToolCtrlsEh.h"

#include "core/ClassBuilder.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "gui/Forms.h"
#include "gui/Screen.h"

#include <algorithm>
#include <cassert>

namespace {

TRect DesktopWorkArea() {
  if (Screen) return Screen->WorkAreaRect();
  return Rect(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
}

bool AnyButton(TShiftState Shift) {
  return Shift.Contains(ssLeft) || Shift.Contains(ssRight) || Shift.Contains(ssMiddle);
}

// The drop-downs' non-client frame: inset by Width on each side.
void InsetFrame(TMessage& M, int Width) {
  if (auto* r = reinterpret_cast<TRect*>(M.LParam)) InflateRect(*r, -Width, -Width);
}

}  // namespace

IDropDownOwnerEh* DropDownOwnerOf(const TComponent* DropDown) {
  return DropDown ? dynamic_cast<IDropDownOwnerEh*>(DropDown->Owner()) : nullptr;
}

void DrawDropDownBorderEh(HDC DC, int WindowWidth, int WindowHeight, bool Ctl3D) {
  if (!DC || !Ctl3D) return;
  TRect r = Rect(0, 0, WindowWidth, WindowHeight);
  DrawEdge(DC, r, BDR_RAISEDOUTER, BF_RECT);
  InflateRect(r, -1, -1);
  DrawEdge(DC, r, BDR_RAISEDINNER, BF_RECT);
}

// ================================================================ TSizeGripEh

KELM_PUBLISH(TSizeGripEh) {}

TSizeGripEh::TSizeGripEh(TComponent* AOwner) : TCustomControl(AOwner) {
  TControlStyle style = ControlStyle();
  style += csReplicatable;
  style += csCaptureMouse;
  SetControlStyle(style);
  SetBounds(0, 0, GetSystemMetrics(SM_CXVSCROLL), GetSystemMetrics(SM_CYVSCROLL));
  SetColor(clBtnFace);
  SetCursor(crSizeNWSE);
}

void TSizeGripEh::SetCorner(TGripCorner Value) {
  if (FCorner == Value) return;
  FCorner = Value;
  RecreateWnd();
  HandleNeeded();
  // The window's region, place and cursor follow the corner when it is made.
  UpdateRegion();
  MoveToCorner();
  UpdateCursor();
  Invalidate();
}

void TSizeGripEh::SetTriangular(bool Value) {
  if (FTriangular == Value) return;
  FTriangular = Value;
  UpdateRegion();
}

void TSizeGripEh::CreateWnd() {
  TCustomControl::CreateWnd();
  UpdateRegion();
  MoveToCorner();
  UpdateCursor();
}

void TSizeGripEh::UpdateCursor() {
  bool falling = FCorner == gripTopLeft || FCorner == gripBottomRight;
  SetCursor(falling ? crSizeNWSE : crSizeNESW);
}

void TSizeGripEh::UpdateRegion() {
  if (!HandleAllocated()) return;
  if (!FTriangular) {
    SetWindowRgn(nullptr);
    return;
  }
  int w = Width(), h = Height();
  // The right angle sits in the grip's corner; the top corners' legs are a pixel shorter.
  TPoint pts[3];
  switch (FCorner) {
    case gripTopLeft: pts[0] = {0, 0}; pts[1] = {w - 1, 0}; pts[2] = {0, h - 1}; break;
    case gripTopRight: pts[0] = {1, 0}; pts[1] = {w, 0}; pts[2] = {w, h - 1}; break;
    case gripBottomRight: pts[0] = {w, 0}; pts[1] = {w, h}; pts[2] = {0, h}; break;
    case gripBottomLeft: pts[0] = {0, 0}; pts[1] = {w, h}; pts[2] = {0, h}; break;
  }
  HRGN rgn = CreatePolygonRgn(pts, 3, WINDING);
  SetWindowRgn(rgn);
  DeleteObject(rgn);
}

void TSizeGripEh::ShowGrip(bool AVisible) {
  HandleNeeded();
  ShowWindow(Handle(), AVisible ? SW_SHOWNOACTIVATE : SW_HIDE);
}

void TSizeGripEh::MoveToCorner() {
  TWinControl* p = Parent();
  if (!p) return;
  int cw = p->ClientWidth(), ch = p->ClientHeight();
  TPoint at;
  switch (FCorner) {
    case gripTopLeft: at = {0, 0}; break;
    case gripTopRight: at = {cw - Width(), 0}; break;
    case gripBottomRight: at = {cw - Width(), ch - Height()}; break;
    case gripBottomLeft: at = {0, ch - Height()}; break;
  }
  FInternalMove = true;
  TCustomControl::SetBounds(at.X, at.Y, Width(), Height());
  FInternalMove = false;
}

void TSizeGripEh::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  TCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  if (!FInternalMove && Parent()) MoveToCorner();
}

void TSizeGripEh::MoveGripTo(TGripSide Side) {
  struct TFlip {
    TGripSide Side;
    TGripCorner From, To;
  };
  static constexpr TFlip kFlips[] = {
      {gsLeft, gripTopRight, gripTopLeft},       {gsLeft, gripBottomRight, gripBottomLeft},
      {gsRight, gripTopLeft, gripTopRight},      {gsRight, gripBottomLeft, gripBottomRight},
      {gsTop, gripBottomRight, gripTopRight},    {gsTop, gripBottomLeft, gripTopLeft},
      {gsBottom, gripTopRight, gripBottomRight}, {gsBottom, gripTopLeft, gripBottomLeft},
  };
  for (const TFlip& f : kFlips)
    if (f.Side == Side && f.From == FCorner) {
      SetCorner(f.To);
      return;
    }
}

void TSizeGripEh::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft || !Parent()) return;
  TWinControl* p = Parent();
  FStartPoint = ClientToScreen({X, Y});
  FLastPoint = FStartPoint;
  FStartWidth = p->Width();
  FStartHeight = p->Height();
  FStartClientWidth = p->ClientWidth();
  FStartClientHeight = p->ClientHeight();
}

void TSizeGripEh::MouseMove(TShiftState Shift, int X, int Y) {
  TCustomControl::MouseMove(Shift, X, Y);
  TPoint s = ClientToScreen({X, Y});
  if (!Shift.Contains(ssLeft) || !MouseCapture() || FInternalMove || s == FLastPoint) return;
  FLastPoint = s;
  DragTo(s);
}

void TSizeGripEh::DragTo(TPoint S) {
  TWinControl* p = Parent();
  if (!p) return;
  TRect work = DesktopWorkArea();
  int frameW = FStartWidth - FStartClientWidth, frameH = FStartHeight - FStartClientHeight;
  int left = p->Left(), top = p->Top(), w = p->Width(), h = p->Height();
  int right = left + w, bottom = top + h;
  if (OnRight()) {
    w = FStartClientWidth + (S.X - FStartPoint.X) + frameW;
    if (left + w > work.Right) w -= left + w - work.Right;
  } else {
    w = std::min(FStartWidth - (S.X - FStartPoint.X), right - work.Left);
    left = right - w;
  }
  if (!OnTop()) {
    h = FStartClientHeight + (S.Y - FStartPoint.Y) + frameH;
    if (top + h > work.Bottom) h -= top + h - work.Bottom;
  } else {
    h = std::min(FStartHeight - (S.Y - FStartPoint.Y), bottom - work.Top);
    top = bottom - h;
  }
  int oldCW = p->ClientWidth(), oldCH = p->ClientHeight();
  p->SetBounds(left, top, w, h);
  // A parent that snaps its size (a list to whole rows) keeps the edge opposite the grip.
  if (!OnRight() && p->Left() + p->Width() != right) p->SetLeft(right - p->Width());
  if (OnTop() && p->Top() + p->Height() != bottom) p->SetTop(bottom - p->Height());
  if (p->ClientWidth() != oldCW || p->ClientHeight() != oldCH) {
    OnParentSized(this);
    MoveToCorner();
  }
}

void TSizeGripEh::Paint() {
  int w = Width(), h = Height();
  TCanvas* c = Canvas();
  c->Brush()->SetColor(Color());
  c->FillRect(ClientRect());
  // Mirrors the bottom-right drawing into the grip's corner.
  bool flipX = !OnRight(), flipY = OnTop();
  auto at = [&](int x, int y) { return TPoint{flipX ? w - 1 - x : x, flipY ? h - 1 - y : y}; };
  static const TColor kStrokes[4] = {clBtnHighlight, clBtnShadow, clBtnShadow, clBtnFace};
  for (int x = 1; x < w; x += 4)
    for (int i = 0; i < 4 && x + i < w; ++i) {
      c->Pen()->SetColor(kStrokes[i]);
      int d = x + i;
      c->Polyline({at(d, h - 1), at(w - 1, d - (w - h))});
    }
}

// ================================================================ TPopupListboxEh

KELM_PUBLISH(TPopupListboxEh) {}

TPopupListboxEh::TPopupListboxEh(TComponent* AOwner) : TCustomListBox(AOwner) {
  TControlStyle style = ControlStyle();
  style += csReplicatable;
  SetControlStyle(style);
  SetVisible(false);
  SetTabStop(false);
  SetAutoComplete(false);
  SetIntegralHeight(false);
  SetStyle(lbOwnerDrawFixed);
  SetItemHeight(RowHeight());
  FSizeGrip = new TSizeGripEh(this);
  FSizeGrip->SetParent(this);
  FSizeGrip->OnParentSized = TNotifyEvent(this, &TPopupListboxEh::GripParentSized);
  // A window made while the list was built had a child list box's styles.
  RecreateWnd();
}

TPopupListboxEh::~TPopupListboxEh() = default;

void TPopupListboxEh::CreateParams(TCreateParams& P) {
  TCustomListBox::CreateParams(P);
  // Parentless: a top-level tool window over everything, the grip not overdrawn.
  P.Style = (P.Style & ~(WS_CHILD | WS_BORDER)) | WS_POPUP | WS_CLIPCHILDREN;
  if (!Ctl3D()) P.Style |= WS_BORDER;
  P.ExStyle = (P.ExStyle & ~WS_EX_CLIENTEDGE) | WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
  P.WndParent = 0;
}

void TPopupListboxEh::CreateWnd() {
  TCustomListBox::CreateWnd();
  FSizeGrip->MoveToCorner();
  // Told through its default handler only: it shows its selection as focused while the edit
  // keeps the input focus.
  TMessage focus{WM_SETFOCUS, 0, 0, 0};
  TCustomListBox::DefaultHandler(focus);
}

int TPopupListboxEh::RowHeight() const {
  int h = Style() == lbStandard ? 0 : const_cast<TPopupListboxEh*>(this)->ItemHeight();
  if (h > 0) return h;
  // A list that reports no item height has rows of the font's character height.
  HDC dc = GetDC(0);
  HGDIOBJ old = SelectObject(dc, Font()->Handle());
  TEXTMETRIC tm{};
  GetTextMetrics(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(0, dc);
  return std::max(1, int(tm.tmHeight));
}

int TPopupListboxEh::BorderHeight() const { return (Ctl3D() ? 0 : 2) + 2 * FrameWidth(); }

void TPopupListboxEh::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  AWidth = std::max(AWidth, GetSystemMetrics(SM_CXVSCROLL));
  AHeight = std::max(AHeight, GetSystemMetrics(SM_CYVSCROLL));
  int ih = RowHeight(), border = BorderHeight();
  int rows = std::max(1, (AHeight - border) / ih);
  FVisibleRows = rows;
  TCustomListBox::SetBounds(ALeft, ATop, AWidth, border + rows * ih);
}

void TPopupListboxEh::SetRowsHeight(TPopupListboxEh* Control, int Rows) {
  assert(Control);
  Control->SetHeight(std::max(Rows, 1) * Control->RowHeight() + Control->BorderHeight());
}

void TPopupListboxEh::SetVirtualItems(TStrings* Value) {
  FVirtualItems = Value;
  if (Value) {
    SetStyle(lbVirtualOwnerDraw);
    SetCount(Value->Count());
  } else {
    SetStyle(lbOwnerDrawFixed);
  }
  Invalidate();
}

String TPopupListboxEh::VirtualItemText(int Index) {
  if (!FVirtualItems || Index < 0 || Index >= FVirtualItems->Count()) return String();
  return FVirtualItems->Strings(Index);
}

void TPopupListboxEh::KeyPress(Char& Key) {
  if (Key == VK_BACK || Key == VK_ESCAPE) {
    FSearchText.clear();
    TCustomListBox::KeyPress(Key);
    return;
  }
  if (Key < 32) {
    TCustomListBox::KeyPress(Key);
    return;
  }
  DWORD now = GetTickCount();
  if (now - FLastSearchTick > 2000) FSearchText.clear();
  FLastSearchTick = now;
  if (Length(FSearchText) < 32) AppendUtf8(FSearchText, Key);
  Perform(LB_SELECTSTRING, WPARAM(-1), reinterpret_cast<LPARAM>(FSearchText.c_str()));
  Key = 0;
}

void TPopupListboxEh::MouseMove(TShiftState Shift, int X, int Y) {
  TCustomListBox::MouseMove(Shift, X, Y);
  TPoint p{X, Y};
  if (p != FMousePos && !AnyButton(Shift)) {
    int i = ItemAtPos(p, true);
    if (i >= 0 && i != ItemIndex()) SetItemIndex(i);
  }
  FMousePos = p;
}

bool TPopupListboxEh::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
  if (!TCustomListBox::DoMouseWheelDown(Shift, MousePos)) SetTopIndex(TopIndex() + 1);
  return true;
}

bool TPopupListboxEh::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
  if (!TCustomListBox::DoMouseWheelUp(Shift, MousePos)) SetTopIndex(std::max(0, TopIndex() - 1));
  return true;
}

void TPopupListboxEh::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) {
  TCanvas* c = Canvas();
  bool selected = State.Contains(odSelected);
  c->Brush()->SetColor(selected ? clHighlight : Color());
  c->Font()->SetColor(selected ? clHighlightText : Font()->Color());
  String text = IsVirtual() ? VirtualItemText(Index) : (Index < Count() ? Items()->Strings(Index) : String());
  if (!FImages) {
    c->FillRect(Rect);
    c->TextOut(Rect.Left + 2, Rect.Top, text);
    return;
  }
  bool rtl = BiDiMode() == bdRightToLeft;
  int iw = FImages->Width() + 4;
  TRect image = rtl ? ::Rect(Rect.Right - iw, Rect.Top, Rect.Right, Rect.Bottom) : ::Rect(Rect.Left, Rect.Top, Rect.Left + iw, Rect.Bottom);
  TRect textRect = rtl ? ::Rect(Rect.Left, Rect.Top, image.Left, Rect.Bottom) : ::Rect(image.Right, Rect.Top, Rect.Right, Rect.Bottom);
  int imageIndex = Index;
  OnGetItemImage(Owner(), Index, imageIndex);
  c->Brush()->SetColor(Color());
  c->FillRect(image);
  DrawImageCentered(c, image, FImages, selected, imageIndex);
  c->Brush()->SetColor(selected ? clHighlight : Color());
  int x = rtl ? textRect.Right - 2 - c->TextWidth(text) : Rect.Left + FImages->Width() + 5;
  c->TextRect(textRect, x, Rect.Top, text);
  if (State.Contains(odFocused)) DrawFocusRect(c->Handle(), textRect);
}

void TPopupListboxEh::Resize() {
  TCustomListBox::Resize();
  FWasResized = true;
  if (FSizeGrip) FSizeGrip->MoveToCorner();
}

void TPopupListboxEh::GripParentSized(TObject*) { FWasResized = true; }

void TPopupListboxEh::PaintBorder(HDC DC) { DrawDropDownBorderEh(DC, Width(), Height(), Ctl3D()); }

void TPopupListboxEh::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case WM_NCCALCSIZE:
      TCustomListBox::Dispatch(M);
      InsetFrame(M, FrameWidth());
      return;
    case WM_NCPAINT:
      TCustomListBox::Dispatch(M);
      PaintBorder(reinterpret_cast<HDC>(M.WParam));
      return;
    case WM_MOUSEACTIVATE:
      M.Result = MA_NOACTIVATE;
      return;
    case CM_GRIPSIDE:
      if (M.WParam <= kGripSideBottomEh) FSizeGrip->MoveGripTo(static_cast<TGripSide>(M.WParam));
      return;
    default:
      TCustomListBox::Dispatch(M);
  }
}

// ================================================================ TMRUListboxEh

KELM_PUBLISH(TMRUListboxEh) {}

TMRUListboxEh::TMRUListboxEh(TComponent* AOwner) : TPopupListboxEh(AOwner) {
  // The list's own bars give way to the scroll bar beside the grip.
  ScrollBars().SetAllowed(SB_VERT, false);
  ScrollBars().SetAllowed(SB_HORZ, false);
  FScrollBar = new TScrollBar(this);
  FScrollBar->SetKind(sbVertical);
  FScrollBar->SetTabStop(false);
  TControlStyle style = FScrollBar->ControlStyle();
  style += csReplicatable;
  FScrollBar->SetControlStyle(style);
  FScrollBar->SetVisible(false);
  FScrollBar->SetWidth(GetSystemMetrics(SM_CXVSCROLL));
  FScrollBar->SetParent(this);
  FScrollBar->OnScroll = TScrollEvent(this, &TMRUListboxEh::ScrollBarScroll);
  FScrollBar->OnResize = TNotifyEvent(this, &TMRUListboxEh::ScrollBarResized);
}

void TMRUListboxEh::CreateParams(TCreateParams& P) {
  TPopupListboxEh::CreateParams(P);
  P.Style &= ~(WS_VSCROLL | WS_HSCROLL);
}

void TMRUListboxEh::UpdateScrollBar() {
  if (!FScrollBar || !SizeGrip()) return;
  TSizeGripEh* grip = SizeGrip();
  int cw = ClientWidth(), ch = ClientHeight(), sw = FScrollBar->Width();
  int top = 0, bottom = ch;
  if (grip->Corner() == gripBottomRight) bottom = ch - grip->Height();
  else if (grip->Corner() == gripTopRight) top = grip->Height();
  int ih = RowHeight(), count = Count();
  int visible = ih > 0 ? ch / ih : 0;
  bool needed = count > 0 && visible < count;
  FMovingScrollBar = true;
  FScrollBar->SetBounds(cw - sw, top, sw, std::max(0, bottom - top));
  if (needed) {
    FScrollBar->SetParams(TopIndex(), 0, count - 1);
    FScrollBar->SetPageSize(visible);
  }
  FScrollBar->SetVisible(needed);
  FMovingScrollBar = false;
  grip->SetTriangular(!(needed && grip->OnRight()));
}

void TMRUListboxEh::Resize() {
  TPopupListboxEh::Resize();
  UpdateScrollBar();
}

void TMRUListboxEh::ScrollBarScroll(TObject*, TScrollCode ScrollCode, int& ScrollPos) {
  Perform(WM_VSCROLL, MakeWParam(static_cast<Word>(ScrollCode), static_cast<Word>(ScrollPos)), 0);
  ScrollPos = TopIndex();
}

void TMRUListboxEh::ScrollBarResized(TObject*) {
  if (!FMovingScrollBar) UpdateScrollBar();
}

void TMRUListboxEh::Dispatch(TMessage& M) {
  TPopupListboxEh::Dispatch(M);
  switch (M.Msg) {
    case CM_GRIPSIDE:
    case WM_MOUSEWHEEL:
    case WM_VSCROLL:
    case LB_ADDSTRING:
    case LB_INSERTSTRING:
    case LB_DELETESTRING:
    case LB_RESETCONTENT:
    case LB_SETCOUNT:
    case LB_SETTOPINDEX:
      UpdateScrollBar();
      break;
    default:
      break;
  }
}

// ================================================================ TPopupMonthCalendarEh

KELM_PUBLISH(TPopupMonthCalendarEh) {}

TPopupMonthCalendarEh::TPopupMonthCalendarEh(TComponent* AOwner) : TMonthCalendar(AOwner) {
  TControlStyle style = ControlStyle();
  style += csReplicatable;
  SetControlStyle(style);
  SetVisible(false);
  SetCtl3D(true);
  SetParentCtl3D(false);
  SetAutoSize(true);
  RecreateWnd();
}

void TPopupMonthCalendarEh::CreateParams(TCreateParams& P) {
  TMonthCalendar::CreateParams(P);
  P.Style = (P.Style & ~(WS_CHILD | WS_BORDER)) | WS_POPUP;
  if (!Ctl3D()) P.Style |= WS_BORDER;
  P.ExStyle = (P.ExStyle & ~WS_EX_CLIENTEDGE) | WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
  P.WndParent = 0;
}

void TPopupMonthCalendarEh::CreateWnd() {
  TMonthCalendar::CreateWnd();
  TRect r = MinReqRect();
  TRect nc = NonClientMargins();
  SetBounds(Left(), Top(), r.Width() + nc.Left + nc.Right, r.Height() + nc.Top + nc.Bottom);
}

void TPopupMonthCalendarEh::PaintBorder(HDC DC) { DrawDropDownBorderEh(DC, Width(), Height(), Ctl3D()); }

void TPopupMonthCalendarEh::CloseUp(bool Accept) {
  if (IDropDownOwnerEh* owner = DropDownOwnerOf(this)) owner->CloseDropDown(Accept);
}

void TPopupMonthCalendarEh::KeyDown(Word& Key, TShiftState Shift) {
  if (Key == VK_RETURN || Key == VK_ESCAPE) {
    bool accept = Key == VK_RETURN;
    Key = 0;
    CloseUp(accept);
    return;
  }
  TMonthCalendar::KeyDown(Key, Shift);
}

bool TPopupMonthCalendarEh::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
  if (!TMonthCalendar::DoMouseWheelDown(Shift, MousePos)) SetDate(Date() + 1);
  return true;
}

bool TPopupMonthCalendarEh::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
  if (!TMonthCalendar::DoMouseWheelUp(Shift, MousePos)) SetDate(Date() - 1);
  return true;
}

namespace {
// A mouse-up on these parts accepts: anything of a date's bits but the weekday header and the
// title's month buttons (a date, the neighbour months' dates, week numbers, the background,
// the today link, the title month).
bool AcceptsClick(UINT Hit) {
  constexpr UINT kDate = 0x20001, kDayHeader = 0x20002, kNext = 0x1010003, kPrev = 0x2010003;
  return (Hit & kDate) != 0 && Hit != kDayHeader && Hit != kNext && Hit != kPrev;
}
}  // namespace

void TPopupMonthCalendarEh::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case WM_NCCALCSIZE:
      TMonthCalendar::Dispatch(M);
      InsetFrame(M, FrameWidth());
      return;
    case WM_NCPAINT:
      TMonthCalendar::Dispatch(M);
      PaintBorder(reinterpret_cast<HDC>(M.WParam));
      return;
    case WM_GETDLGCODE:
      M.Result = DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTCHARS;
      return;
    case CM_WANTSPECIALKEY:
      if (M.WParam == VK_RETURN || M.WParam == VK_ESCAPE) {
        M.Result = 1;
        CloseUp(M.WParam == VK_RETURN);
        return;
      }
      break;
    case WM_LBUTTONDOWN:
      if (!PtInRect(ClientRect(), PointFromLParam(M.LParam))) {
        CloseUp(false);
        return;
      }
      break;
    case WM_LBUTTONUP: {
      TMonthCalendar::Dispatch(M);
      TPoint p = PointFromLParam(M.LParam);
      if (PtInRect(ClientRect(), p) && AcceptsClick(HitTest(p))) CloseUp(true);
      return;
    }
    case WM_KILLFOCUS: {
      TMonthCalendar::Dispatch(M);
      TWinControl* other = FindControl(reinterpret_cast<HWND>(M.WParam));
      if (!other || !ContainsControl(other)) PostMessage(Handle(), CM_CALENDARCLOSE, 0, 0);
      return;
    }
    case CM_CALENDARCLOSE:
      CloseUp(false);
      return;
    case MCM_SETCURSEL:
      TMonthCalendar::Dispatch(M);
      M.Result = 1;
      return;
    case WM_MOUSEACTIVATE:
      M.Result = MA_NOACTIVATE;
      return;
    default:
      break;
  }
  TMonthCalendar::Dispatch(M);
}

void TMRUListboxEh::ShowMatches(TMRUListEh* List, TWinControl* Edit, const TRect& TextRect,
                                const std::function<void()>& Close) {
  int count = Items()->Count();
  TPoint origin = Edit->ClientToScreen({TextRect.Left, 0});
  TRect master = Bounds(origin.X, origin.Y, TextRect.Width(), Edit->Height());
  if (List->IsDroppedDown()) {
    if (count == 0) {
      Close();
      return;
    }
    TPopupListboxEh::SetRowsHeight(this, std::min(count, List->Rows()));
    TPoint p = PlaceDropDownAtRect(master, this, daLeft);
    SetBounds(p.X, p.Y, Width(), Height());
    return;
  }
  if (count == 0) return;
  SetColor(Edit->Color());
  Font()->Assign(Edit->Font());
  SetItemIndex(-1);
  TPopupListboxEh::SetRowsHeight(this, std::min(count, List->Rows()));
  SetWidth(TextRect.Width());
  TPoint p = PlaceDropDownAtRect(master, this, daLeft);
  ShowPopupAt(this, p.X, p.Y, Edit, Close);
  SizeGrip()->ShowGrip(true);
  List->SetDroppedDown(true);
}
