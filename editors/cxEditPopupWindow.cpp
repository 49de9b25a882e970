// Geometry, painting, placement, region and mouse resizing of the editors' popup window.
#include "editors/cxEditPopupWindow.h"

#include "core/ClassBuilder.h"
#include "editors/cxCanvas.h"
#include "editors/cxContainer.h"
#include "editors/cxControlUtils.h"
#include "editors/cxDropDownEdit.h"
#include "editors/cxLookAndFeelPainters.h"
#include "gui/GdiDC.h"
#include "gui/GdiDraw.h"
#include "gui/SysColors.h"
#include "gui/Window.h"

#include <algorithm>

namespace {
constexpr int kShadow = 3;

TCursor SizingCursor(int DX, int DY) {
  if (DX == 0 && DY == 0) return crDefault;
  if (DY == 0) return crSizeWE;
  if (DX == 0) return crSizeNS;
  return DX == DY ? crSizeNWSE : crSizeNESW;
}

bool Empty(const TRect& R) { return R.Right <= R.Left || R.Bottom <= R.Top; }
}  // namespace

TcxPopupSizingState& PopupSizingState() {
  static TcxPopupSizingState state;
  return state;
}

// ================================================================ view info

int TcxCustomEditPopupWindowViewInfo::BorderWidth() const {
  if (NativeLook) return 1;
  static const int kWidth[] = {0, 1, 4, 2};
  return kWidth[BorderKind];
}

int TcxCustomEditPopupWindowViewInfo::ClientEdgeWidth() const {
  if (!ClientEdgeOn) return 0;
  if (NativeLook) return 2;
  static const int kWidth[] = {0, 2, 2, 1};
  return kWidth[BorderKind];
}

int TcxCustomEditPopupWindowViewInfo::BasePanelHeight() const {
  return std::max(GetSystemMetrics(SM_CYHSCROLL), GetSystemMetrics(SM_CYSIZE));
}

int TcxCustomEditPopupWindowViewInfo::GetPanelHeightNeeded() {
  const int h = BasePanelHeight();
  return PanelMinHeight > 0 ? std::max(h, PanelMinHeight) : h;
}

void TcxCustomEditPopupWindowViewInfo::GetBorderExtents(TRect& E) {
  const int w = BorderWidth() + ClientEdgeWidth();
  E = TRect{w, w, w, w};
  if (ShadowOn) {
    E.Right += kShadow;
    E.Bottom += kShadow;
  }
  if (PanelOn) {
    PanelHeight = GetPanelHeightNeeded();
    const int grow = PanelHeight + (NativeLook || BorderKind == epbsSingle ? 1 : 0);
    if (IsBottomCorner(GripCorner)) E.Bottom += grow;
    else E.Top += grow;
  } else {
    PanelHeight = 0;
  }
  EdgeTolerance = BasePanelHeight();
}

void TcxCustomEditPopupWindowViewInfo::Recalculate(const TRect& R) {
  Bounds = R;
  TRect e;
  GetClientExtents(e);
  ClientRect = TRect{R.Left + e.Left, R.Top + e.Top, R.Right - e.Right, R.Bottom - e.Bottom};
  const int inset = BorderWidth() + (PanelOn ? 0 : ClientEdgeWidth());
  InnerBounds = TRect{R.Left + inset, R.Top + inset, R.Right - inset, R.Bottom - inset};
  if (ShadowOn) {
    InnerBounds.Right -= kShadow;
    InnerBounds.Bottom -= kShadow;
  }
  // The themed close button of the window class is not available: classic metrics always.
  CloseBoxThemeState = 0;
  GripBox = GripHitBox = CloseBox = TRect{};
  if (!PanelOn) return;
  const int base = BasePanelHeight();
  const bool right = IsRightCorner(GripCorner), bottom = IsBottomCorner(GripCorner);
  if (Resizable) {
    const int side = base - 2;
    GripHitBox.Left = right ? InnerBounds.Right - side : InnerBounds.Left;
    GripHitBox.Top = bottom ? InnerBounds.Bottom - side : InnerBounds.Top;
    GripHitBox.Right = GripHitBox.Left + side;
    GripHitBox.Bottom = GripHitBox.Top + side;
    GripBox = GripHitBox;
    if (right) GripBox.Right -= 2;
    else GripBox.Left += 2;
    if (bottom) GripBox.Bottom -= 2;
    else GripBox.Top += 2;
  }
  if (CloseButtonOn) {
    const int size = base - 4;
    if (right) {
      CloseBox.Left = InnerBounds.Left + 2 + 1;
    } else {
      CloseBox.Left = InnerBounds.Right - 2 - size - 1;
    }
    CloseBox.Right = CloseBox.Left + size;
    CloseBox.Top = bottom ? InnerBounds.Bottom - 2 - size : InnerBounds.Top + 2;
    CloseBox.Bottom = CloseBox.Top + size;
  }
}

bool TcxCustomEditPopupWindowViewInfo::HitTestSizing(int X, int Y) {
  HitDirX = HitDirY = 0;
  if (!Resizable) return false;
  const TPoint p{X, Y};
  if (!PtInRect(Bounds, p)) return false;
  if (PtInRect(GripHitBox, p)) {
    HitDirX = IsRightCorner(GripCorner) ? 1 : -1;
    HitDirY = IsBottomCorner(GripCorner) ? 1 : -1;
    return true;
  }
  if (PtInRect(InnerBounds, p)) return false;
  const int w = Bounds.Width(), h = Bounds.Height();
  if (X < EdgeTolerance && !IsRightCorner(GripCorner)) HitDirX = -1;
  else if (X >= w - EdgeTolerance && IsRightCorner(GripCorner)) HitDirX = 1;
  if (Y < EdgeTolerance && !IsBottomCorner(GripCorner)) HitDirY = -1;
  else if (Y >= h - EdgeTolerance && IsBottomCorner(GripCorner)) HitDirY = 1;
  return true;
}

void TcxCustomEditPopupWindowViewInfo::PaintBorder(TcxCanvas* C, TRect& R) {
  auto frame = [&](TColor colour) {
    C->DrawBorderStrips(R, colour, 1, cxBordersAll);
    InflateRect(R, -1, -1);
  };
  auto edge = [&](TColor lt, TColor rb) {
    C->DrawShadedFrame(R, lt, rb, cxBordersAll, 1);
    InflateRect(R, -1, -1);
  };
  if (NativeLook || BorderKind == epbsSingle) return frame(clBtnText);
  switch (BorderKind) {
    case epbsDefault: InflateRect(R, -1, -1); break;
    case epbsFlat:
      edge(cl3DLight, cl3DDkShadow);
      edge(clBtnHighlight, clBtnShadow);
      break;
    case epbsFrame3D:
      edge(cl3DLight, cl3DDkShadow);
      edge(clBtnHighlight, clBtnShadow);
      InflateRect(R, -1, -1);
      frame(ClientEdgeOn ? clInactiveBorder : clBtnFace);
      if (ClientEdgeOn) frame(clBtnFace);
      else edge(clBtnShadow, clBtnHighlight);
      break;
    default: break;
  }
}

void TcxCustomEditPopupWindowViewInfo::PaintSizeGrip(TcxCanvas* C) {
  C->Brush()->SetColor(clBtnFace);
  C->FillArea(GripBox);
  const int w = GetSystemMetrics(SM_CXVSCROLL), h = GetSystemMetrics(SM_CYHSCROLL);
  HDC screen = GetDC(0);
  HDC mem = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
  HGDIOBJ old = SelectObject(mem, bmp);
  HBRUSH face = CreateSolidBrush(ColorToRGB(clBtnFace));
  TRect all{0, 0, w, h};
  FillRect(mem, all, face);
  DeleteObject(face);
  DrawFrameControl(mem, all, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
  // Into the grip corner of the box, its inner sides narrowed by 2, mirrored for left and
  // top corners so the ridges always point into the corner.
  const bool right = IsRightCorner(GripCorner), bottom = IsBottomCorner(GripCorner);
  const int dw = std::min(w, GripBox.Width()), dh = std::min(h, GripBox.Height());
  int x = right ? GripBox.Right - dw : GripBox.Left, y = bottom ? GripBox.Bottom - dh : GripBox.Top;
  int sx = w - dw, sy = h - dh, sw = dw, sh = dh;
  if (!right) sx = w - 1, sw = -dw;
  if (!bottom) sy = h - 1, sh = -dh;
  StretchBlt(C->Handle(), x, y, dw, dh, mem, sx, sy, sw, sh, SRCCOPY);
  SelectObject(mem, old);
  DeleteObject(bmp);
  DeleteDC(mem);
}

void TcxCustomEditPopupWindowViewInfo::PaintCloseButton(TcxCanvas* C) {
  static const TcxPainterButtonState kState[] = {pbsNormal, pbsNormal, pbsHot, pbsPressed};
  TcxLookAndFeelPainterClass painter = PainterForKind(CloseBoxPainterKind);
  painter->PaintFilterCloseButton(C, CloseBox, kState[std::min<int>(CloseBoxState, 3)]);
}

void TcxCustomEditPopupWindowViewInfo::Draw(TcxCanvas* C) {
  TRect r = Bounds;
  if (ShadowOn) {
    r.Right -= kShadow;
    r.Bottom -= kShadow;
    DrawContainerShadow(C, r);
  }
  PaintBorder(C, r);
  const bool bottom = IsBottomCorner(GripCorner);
  const int ce = ClientEdgeWidth();
  if (PanelOn && BorderKind == epbsSingle) {
    TRect line = ClientRect;
    if (ClientEdgeOn) InflateRect(line, ce, 0);
    if (bottom) line.Top = ClientRect.Bottom + (ClientEdgeOn ? ce : 0);
    else line.Top = ClientRect.Top - 1 - (ClientEdgeOn ? ce : 0);
    line.Bottom = line.Top + 1;
    C->Brush()->SetColor(clBtnText);
    C->FillArea(line);
  }
  TRect panel = r;
  const int strip = PanelOn ? PanelHeight + (NativeLook || BorderKind == epbsSingle ? 1 : 0) : 0;
  if (bottom) panel.Top = panel.Bottom - PanelHeight;
  else panel.Bottom = panel.Top + PanelHeight;
  if (ClientEdgeOn) {
    TRect r2 = r;
    if (bottom) r2.Bottom -= strip;
    else r2.Top += strip;
    C->DrawShadedFrame(r2, clBtnShadow, clBtnHighlight, cxBordersAll, 1);
    if (!(BorderKind == epbsFlat && !NativeLook)) {
      InflateRect(r2, -1, -1);
      C->DrawShadedFrame(r2, cl3DDkShadow, cl3DLight, cxBordersAll, 1);
    }
  }
  if (PanelOn) {
    if (Resizable) {
      PaintSizeGrip(C);
      ExcludeClipRect(C->Handle(), GripBox.Left, GripBox.Top, GripBox.Right, GripBox.Bottom);
    }
    if (!Empty(CloseBox)) {
      PaintCloseButton(C);
      ExcludeClipRect(C->Handle(), CloseBox.Left, CloseBox.Top, CloseBox.Right, CloseBox.Bottom);
    }
  }
  C->Brush()->SetColor(clBtnFace);
  C->FillArea(ClientRect);
  if (PanelOn) C->FillArea(panel);
}

// ================================================================ window

KELM_PUBLISH(TcxCustomEditPopupWindow) {}

TcxCustomEditPopupWindow::TcxCustomEditPopupWindow(TControl* AOwnerControl) : TcxCustomPopupWindow(AOwnerControl) {
  // The base made its view info before this class's CreateViewInfo could answer.
  ResetPaintInfo(new TcxCustomEditPopupWindowViewInfo);
  ViewInfo()->CloseBoxState = 1;
}

TcxCustomEditPopupWindow::~TcxCustomEditPopupWindow() {
  TcxPopupSizingState& s = PopupSizingState();
  if (s.Active && GetCaptureControl() == this) s.Active = false;
}

TcxCustomDropDownEdit* TcxCustomEditPopupWindow::Edit() const {
  return dynamic_cast<TcxCustomDropDownEdit*>(OwnerControl());
}

void TcxCustomEditPopupWindow::SetBorderKind(TcxEditPopupBorderStyle V) { FBorderKind = V; ViewInfo()->BorderKind = V; }
void TcxCustomEditPopupWindow::SetClientEdgeOn(bool V) { FClientEdgeOn = V; ViewInfo()->ClientEdgeOn = V; }
void TcxCustomEditPopupWindow::SetCloseButtonOn(bool V) { FCloseButtonOn = V; ViewInfo()->CloseButtonOn = V; }
void TcxCustomEditPopupWindow::SetNativeLook(bool V) { FNativeLook = V; ViewInfo()->NativeLook = V; }
void TcxCustomEditPopupWindow::SetShadowOn(bool V) { FShadowOn = V; ViewInfo()->ShadowOn = V; }
void TcxCustomEditPopupWindow::SetResizable(bool V) { FResizable = V; ViewInfo()->Resizable = V; }
void TcxCustomEditPopupWindow::SetPanelOn(bool V) { FPanelOn = V; ViewInfo()->PanelOn = V; }

void TcxCustomEditPopupWindow::RecalcViewInfo() {
  ViewInfo()->Recalculate(TRect{0, 0, Width(), Height()});
  if (TcxCustomDropDownEdit* e = Edit()) ViewInfo()->CloseBoxPainterKind = e->PopupControlsFeel()->Kind();
}

void TcxCustomEditPopupWindow::ForwardChar(Char Ch) {
  if (HWND f = GetFocus()) SendMessage(f, WM_CHAR, Ch, 0);
}

void TcxCustomEditPopupWindow::GetMinimumSize(TSize& Size) {
  TRect e;
  ViewInfo()->GetClientExtents(e);
  Size = TSize{e.Left + e.Right, e.Top + e.Bottom};
  if (FResizable && FPanelOn) {
    ViewInfo()->Recalculate(TRect{0, 0, std::max(Width(), 200), std::max(Height(), 200)});
    Size.cx += ViewInfo()->CloseBox.Width() + ViewInfo()->GripHitBox.Width() + 10;
    RecalcViewInfo();
  }
}

void TcxCustomEditPopupWindow::RefreshOwnerRect() {
  TcxCustomDropDownEdit* e = Edit();
  if (!e) return;
  const TRect r = e->GetPopupOwnerRect();
  TWinControl* parent = e->Parent();
  if (parent && parent->HandleAllocated()) {
    const TPoint a = parent->ClientToScreen(r.TopLeft()), b = parent->ClientToScreen(r.BottomRight());
    OwnerRect = TRect{a.X, a.Y, b.X, b.Y};
  } else {
    OwnerRect = r;
  }
  AnchorBounds = OwnerRect;
  AnchorParent = nullptr;
}

void TcxCustomEditPopupWindow::InvalidateArea(const TRect& R) {
  if (HandleAllocated()) ::InvalidateRect(Handle(), &R, 1);
}

void TcxCustomEditPopupWindow::Relayout() {
  RefreshOwnerRect();
  RecalcViewInfo();
  if (TcxCustomDropDownEdit* e = Edit()) e->PlacePopupContent(ViewInfo()->ClientRect);
  Invalidate();
  Refresh();
}

void TcxCustomEditPopupWindow::AdjustClientRect(TRect& R) {
  TRect e;
  ViewInfo()->GetClientExtents(e);
  R = TRect{e.Left, e.Top, Width() - e.Right, Height() - e.Bottom};
}

void TcxCustomEditPopupWindow::FitSizeToChildren() {
  TcxCustomDropDownEdit* e = Edit();
  ViewInfo()->GripCorner = gcBottomRight;
  RefreshOwnerRect();
  TRect ext;
  ViewInfo()->GetClientExtents(ext);
  TSize m;
  GetMinimumSize(m);
  TSize s{0, 0};
  if (e) e->GetPopupContentSize(s);
  int w = AutoFit ? ext.Left + ext.Right + s.cx : (PreferredWidth != 0 ? PreferredWidth : OwnerRect.Width());
  if (FResizable && MinWidth > 0) w = std::max(w, MinWidth);
  w = std::max(w, int(m.cx));
  int h = AutoFit ? ext.Top + ext.Bottom + s.cy : (PreferredHeight > 0 ? PreferredHeight : std::max(int(m.cy), MinHeight));
  if (FResizable && MinHeight > 0) h = std::max(h, MinHeight);
  h = std::max(h, int(m.cy));
  SetBounds(Left(), Top(), w, h);
}

TPoint TcxCustomEditPopupWindow::ComputePosition() {
  RefreshOwnerRect();
  TPoint p = TcxCustomPopupWindow::ComputePosition();
  const TRect& o = OwnerRect;
  TRect a;
  DesktopWorkArea(p, a);
  const bool below = p.Y > o.Top;
  const bool right = (HorzPlacement == ppStart && p.X == o.Left) || o.Left <= a.Left ||
                     (HorzPlacement == ppEnd && p.X + Width() != o.Right) ||
                     (HorzPlacement == ppCenter && (o.Left - a.Left) <= (a.Right - o.Right));
  const TcxGripCorner old = ViewInfo()->GripCorner;
  ViewInfo()->GripCorner = right ? (below ? gcBottomRight : gcTopRight) : (below ? gcBottomLeft : gcTopLeft);
  if (ShadowOn() && !below) p.Y += kShadow;
  if (old != ViewInfo()->GripCorner) RecalcViewInfo();
  return p;
}

bool TcxCustomEditPopupWindow::KeepsInsideWorkArea() {
  TcxCustomDropDownEdit* e = Edit();
  return e && e->DropDownProperties()->ClipsPopupToScreen();
}

void TcxCustomEditPopupWindow::ApplyWindowRegion() {
  if (!HandleAllocated()) return;
  TRect r{0, 0, Width(), Height()}, c{};
  if (!FNativeLook && FShadowOn) {
    r.Right -= kShadow;
    r.Bottom -= kShadow;
    if (!IsBottomCorner(ViewInfo()->GripCorner)) {
      // The bottom shadow over the editor itself is cut out: the popup sits on the editor.
      c = TRect{OwnerRect.Left - Left(), Height() - kShadow, OwnerRect.Right - kShadow - Left(), Height()};
    }
  }
  SetWindowShape(Handle(), r, FNativeLook, c, FShadowOn);
}

void TcxCustomEditPopupWindow::Resize() {
  TcxCustomPopupWindow::Resize();
  if (HandleAllocated()) ApplyWindowRegion();
}

bool TcxCustomEditPopupWindow::CanResize(int& NewWidth, int& NewHeight) {
  if (!FResizable || (NewWidth == Width() && NewHeight == Height())) return TcxCustomPopupWindow::CanResize(NewWidth, NewHeight);
  TSize m;
  GetMinimumSize(m);
  const int minW = std::max(int(m.cx), MinWidth > 0 ? MinWidth : 0);
  const int minH = std::max(int(m.cy), MinHeight > 0 ? MinHeight : 0);
  NewWidth = std::max(NewWidth, minW);
  NewHeight = std::max(NewHeight, minH);
  TcxCustomDropDownEdit* e = Edit();
  if ((NewWidth != Width() || NewHeight != Height()) && e && e->ListLivesInPopup()) {
    TRect ext;
    ViewInfo()->GetClientExtents(ext);
    TRect a;
    DesktopWorkArea(TPoint{Left(), Top()}, a);
    int limit = IsBottomCorner(ViewInfo()->GripCorner) ? a.Bottom - Top() : OwnerRect.Top - a.Top;
    limit -= ext.Top + ext.Bottom;
    TSize s{NewWidth - ext.Left - ext.Right, NewHeight - ext.Top - ext.Bottom};
    if (e->AdjustListSize(s, limit)) {
      NewWidth = std::max(int(ext.Left + ext.Right + s.cx), minW);
      NewHeight = std::max(int(ext.Top + ext.Bottom + s.cy), minH);
    } else {
      NewWidth = Width();
      NewHeight = Height();
    }
  }
  return true;
}

void TcxCustomEditPopupWindow::Popup(TWinControl* FocusedControl) {
  TcxCustomDropDownEdit* e = Edit();
  if (e && !IsOwnerWindowVisible()) {
    e->FinishPopup();
    return;
  }
  TcxCustomPopupWindow::Popup(FocusedControl);
}

void TcxCustomEditPopupWindow::DoAfterCloseUp() {
  TcxPopupSizingState& s = PopupSizingState();
  s.Active = false;
  s.CursorShown = false;
  TcxCustomPopupWindow::DoAfterCloseUp();
}

void TcxCustomEditPopupWindow::DoBeforeCloseUp() {
  TcxCustomPopupWindow::DoBeforeCloseUp();
  TcxPopupSizingState& s = PopupSizingState();
  if (!Empty(s.DrawnRect)) {
    const bool active = s.Active;
    s.Active = false;
    DrawSizingFrame(TRect{});
    s.Active = active;
  }
}

void TcxCustomEditPopupWindow::ModalCloseUp() {
  TcxCustomDropDownEdit* e = Edit();
  if (!e) return TcxCustomPopupWindow::ModalCloseUp();
  const TModalResult r = ModalResult();
  e->ClosePopup(r == mrOk ? pcrAccept : r == mrCancel ? pcrCancel : pcrUnknown);
}

void TcxCustomEditPopupWindow::Paint() {
  RecalcViewInfo();
  ViewInfo()->Draw(cxCanvas());
}

void TcxCustomEditPopupWindow::DrawSizingFrame(const TRect& R) {
  TcxPopupSizingState& s = PopupSizingState();
  const int n = std::max(ViewInfo()->BorderWidth(), 2);
  HDC dc = GetDC(0);
  auto draw = [&](TRect f) {
    if (FShadowOn) {
      f.Right -= kShadow;
      f.Bottom -= kShadow;
    }
    for (int i = 0; i < n; ++i) {
      DrawFocusRect(dc, f);
      InflateRect(f, -1, -1);
    }
  };
  if (!Empty(s.DrawnRect)) draw(s.DrawnRect);
  if (s.Active && !Empty(R)) draw(R);
  s.DrawnRect = R;
  if (!Empty(R)) s.LastRect = R;
}

void TcxCustomEditPopupWindow::SetCloseBoxState(Byte Value) {
  if (ViewInfo()->CloseBoxState == Value) return;
  ViewInfo()->CloseBoxState = Value;
  InvalidateArea(ViewInfo()->CloseBox);
}

void TcxCustomEditPopupWindow::ShowSizingCursor(int DirX, int DirY) { SetCursor(SizingCursor(DirX, DirY)); }

void TcxCustomEditPopupWindow::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TcxCustomPopupWindow::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  TcxCustomEditPopupWindowViewInfo* v = ViewInfo();
  RecalcViewInfo();
  if (PtInRect(v->CloseBox, TPoint{X, Y}) && v->CloseBoxState != 3) {
    SetCloseBoxState(3);
    return;
  }
  if (!HasCaptureInside() || !v->HitTestSizing(X, Y)) return;
  TcxPopupSizingState& s = PopupSizingState();
  s.DirX = v->HitDirX;
  s.DirY = v->HitDirY;
  s.GrabDX = s.DirX == -1 ? X : Width() - X;
  s.GrabDY = s.DirY == -1 ? Y : Height() - Y;
  s.Active = true;
  ShowSizingCursor(s.DirX, s.DirY);
  if (!LiveSizing) DrawSizingFrame(BoundsRect());
}

void TcxCustomEditPopupWindow::MouseMove(TShiftState Shift, int X, int Y) {
  TcxCustomPopupWindow::MouseMove(Shift, X, Y);
  TcxPopupSizingState& s = PopupSizingState();
  TcxCustomEditPopupWindowViewInfo* v = ViewInfo();
  if (!s.Active) {
    const bool over = PtInRect(v->CloseBox, TPoint{X, Y});
    if (v->CloseBoxState != 1) {
      if (!over) SetCloseBoxState(1);
    } else if (over && !Shift.Contains(ssLeft) && !Shift.Contains(ssRight) && !Shift.Contains(ssMiddle) &&
               !Shift.Contains(ssShift)) {
      SetCloseBoxState(2);
    }
    if (v->HitTestSizing(X, Y)) {
      ShowSizingCursor(v->HitDirX, v->HitDirY);
      s.CursorShown = true;
    } else if (s.CursorShown) {
      SetCursor(crDefault);
      s.CursorShown = false;
    }
    return;
  }
  TRect r = BoundsRect();
  const int w = s.DirX == -1 ? s.GrabDX : Width() - s.GrabDX;
  const int h = s.DirY == -1 ? s.GrabDY : Height() - s.GrabDY;
  int dx = X - w, dy = Y - h;
  const TcxGripCorner g = v->GripCorner;
  if (!Empty(v->GripHitBox)) {
    if (s.DirX == 1 && dx > 0 && X <= Width() && !(X >= v->GripHitBox.Left && X < v->GripHitBox.Right)) dx = 0;
    if (s.DirY == 1 && dy > 0 && Y <= Height() && !(Y >= v->GripHitBox.Top && Y < v->GripHitBox.Bottom)) dy = 0;
  }
  int dirX = s.DirX, dirY = s.DirY;
  if ((IsRightCorner(g) && dirX == -1) || (!IsRightCorner(g) && dirX == 1)) dirX = 0;
  if ((IsBottomCorner(g) && dirY == -1) || (!IsBottomCorner(g) && dirY == 1)) dirY = 0;
  if (dirX == -1) r.Left += dx;
  else if (dirX == 1) r.Right += dx;
  if (dirY == -1) r.Top += dy;
  else if (dirY == 1) r.Bottom += dy;
  int nw = r.Width(), nh = r.Height();
  if (!CanResize(nw, nh) || (nw == Width() && nh == Height())) return;
  // Anchored on the side away from the grip.
  if (IsRightCorner(g)) r = TRect{Left(), r.Top, Left() + nw, r.Bottom};
  else r = TRect{Left() + Width() - nw, r.Top, Left() + Width(), r.Bottom};
  if (IsBottomCorner(g)) r = TRect{r.Left, Top(), r.Right, Top() + nh};
  else r = TRect{r.Left, Top() + Height() - nh, r.Right, Top() + Height()};
  // At least one pixel over the editor horizontally.
  r.Left = std::min(r.Left, OwnerRect.Right - 1);
  r.Right = std::max(r.Right, OwnerRect.Left + 1);
  TRect a;
  DesktopWorkArea(ClientToScreen(TPoint{X, Y}), a);
  r.Left = std::max(r.Left, a.Left);
  r.Top = std::max(r.Top, a.Top);
  r.Right = std::min(r.Right, a.Right);
  r.Bottom = std::min(r.Bottom, a.Bottom);
  if (r.Left == Left() && r.Top == Top() && r.Right == Left() + Width() && r.Bottom == Top() + Height()) return;
  if (TcxCustomDropDownEdit* e = Edit()) {
    e->PopupResized = true;
    e->PopupResizedByUser = true;
  }
  if (LiveSizing) {
    SetBounds(r.Left, r.Top, r.Width(), r.Height());
    Relayout();
  } else {
    DrawSizingFrame(r);
  }
}

void TcxCustomEditPopupWindow::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TcxCustomPopupWindow::MouseUp(Button, Shift, X, Y);
  TcxPopupSizingState& s = PopupSizingState();
  TcxCustomEditPopupWindowViewInfo* v = ViewInfo();
  if (s.Active) {
    SetCaptureControl(nullptr);
    s.Active = false;
    const TRect last = s.LastRect;
    DrawSizingFrame(TRect{});
    if (!LiveSizing && !Empty(last)) {
      SetBounds(last.Left, last.Top, last.Width(), last.Height());
      Relayout();
    }
    s.LastRect = TRect{};
    SetCursor(v->HitTestSizing(X, Y) ? SizingCursor(v->HitDirX, v->HitDirY) : crDefault);
    return;
  }
  if (Button == mbLeft && v->CloseBoxState == 3) {
    if (PtInRect(v->CloseBox, TPoint{X, Y}) && CloseQuery()) {
      if (TcxCustomDropDownEdit* e = Edit()) e->ClosePopup(pcrUnknown);
      if (!Visible()) return;
    }
    SetCloseBoxState(PtInRect(v->CloseBox, TPoint{X, Y}) ? 2 : 1);
  }
}

void TcxCustomEditPopupWindow::PopupMouseLeave(TControl* AControl) {
  if (AControl != this) return;
  SetCloseBoxState(1);
  SetCursor(crDefault);
}

void TcxCustomEditPopupWindow::Dispatch(TMessage& M) {
  if (M.Msg == DM_FORWARDCHAR) {
    if (IsOpen()) ForwardChar(static_cast<Char>(M.WParam & 0xFF));
    return;
  }
  TcxCustomPopupWindow::Dispatch(M);
}
