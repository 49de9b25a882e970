// Window functions by their platform names (focus, capture, device contexts, positions),
// the mouse object, popups and the hint window.
#include "gui/Window.h"

#include "gui/Application.h"
#include "gui/Forms.h"
#include "gui/QtBridge_p.h"
#include "gui/QtGlue_p.h"
#include "gui/Screen.h"

#include "core/ClassBuilder.h"
#include "core/StrUtils.h"

#include <QtGui/QCursor>
#include <QtGui/QGuiApplication>
#include <QtGui/QRegion>
#include <QtWidgets/QApplication>

#include <algorithm>
#include <cstring>
#include <map>

namespace {

HWND gFocus = 0;
bool gSettingQtFocus = false;
HWND gCapture = 0;
TControl* gCaptureControl = nullptr;

struct TDCRecord {
  HWND Window;
  bool Frame;
};
std::map<HDC, TDCRecord>& OpenDCs() {
  static std::map<HDC, TDCRecord> m;
  return m;
}

TControlWidget* WidgetOf(HWND h) {
  TWinControl* c = FindControl(h);
  return c ? static_cast<TControlWidget*>(gui_glue::TAccess::Widget(c)) : nullptr;
}

}  // namespace

TMouse* Mouse = nullptr;

namespace gui_glue {

bool SettingQtFocus() { return gSettingQtFocus; }

void ForgetFocus() { gFocus = 0; }

// Points the device contexts handed out for a widget at its (reallocated) buffers.
void RetargetDCs(TControlWidget* W) {
  for (auto& [dc, rec] : OpenDCs()) {
    if (WidgetOf(rec.Window) != W) continue;
    SetDCImage(dc, rec.Frame && !W->FrameImage.isNull() ? &W->FrameImage : &W->ClientImage);
  }
}

// A raster image takes one painter at a time: the contexts handed out for a widget let go
// of theirs before the widget paints (they begin again when next used).
void SuspendDCs(TControlWidget* W) {
  for (auto& [dc, rec] : OpenDCs())
    if (WidgetOf(rec.Window) == W) dc->EndPainter();
}

void ControlDestroyed(TControl* Control) {
  if (gCaptureControl == Control) {
    gCaptureControl = nullptr;
    if (auto* w = dynamic_cast<TWinControl*>(Control); w && gCapture == gui_glue::TAccess::WindowHandle(w)) gCapture = 0;
  }
  if (auto* w = dynamic_cast<TWinControl*>(Control)) {
    HWND h = gui_glue::TAccess::WindowHandle(w);
    if (gCapture == h) gCapture = 0;
    if (gFocus == h) gFocus = 0;
    for (auto it = OpenDCs().begin(); it != OpenDCs().end();) {
      if (it->second.Window == h) {
        DeleteDC(it->first);
        it = OpenDCs().erase(it);
      } else {
        ++it;
      }
    }
  }
  auto& pops = Popups();
  pops.erase(std::remove_if(pops.begin(), pops.end(),
                            [&](const TOpenPopup& p) { return p.Popup == Control || p.Owner == Control; }),
             pops.end());
  if (Screen) gui_glue::TAccess::ScreenControlDestroyed(Control);
  if (Application) gui_glue::TAccess::ApplicationControlDestroyed(Control);
  gui_glue::MouseControlDestroyed(Control);
}

}  // namespace gui_glue

// ================================================================ mouse

TPoint TMouse::CursorPos() const { return gui_glue::CursorPos(); }

void TMouse::SetCursorPos(TPoint p) { ::SetCursorPos(p.X, p.Y); }

HWND TMouse::Capture() const { return GetCapture(); }

void TMouse::SetCapture(HWND h) {
  if (h) ::SetCapture(h);
  else ReleaseCapture();
}

BOOL GetCursorPos(TPoint* Point) {
  if (!Point) return false;
  *Point = gui_glue::CursorPos();
  return true;
}

BOOL SetCursorPos(int X, int Y) {
  QCursor::setPos(X, Y);
  gui_glue::SetTrackedCursorPos({X, Y});
  return true;
}

// ================================================================ capture

HWND SetCapture(HWND Handle) {
  HWND old = gCapture;
  if (old == Handle) return old;
  gCapture = Handle;
  if (!FindControl(Handle) || !gCaptureControl || gCaptureControl->Parent() != FindControl(Handle))
    gCaptureControl = FindControl(Handle);
  if (TControlWidget* w = WidgetOf(old)) {
    if (QWidget::mouseGrabber() == w) w->releaseMouse();
  }
  if (TControlWidget* w = WidgetOf(Handle)) {
    if (w->isVisible()) w->grabMouse();
  }
  if (old && IsWindow(old)) SendMessage(old, WM_CAPTURECHANGED, 0, static_cast<LPARAM>(Handle));
  return old;
}

BOOL ReleaseCapture() {
  HWND old = gCapture;
  gCapture = 0;
  gCaptureControl = nullptr;
  if (TControlWidget* w = WidgetOf(old))
    if (QWidget::mouseGrabber() == w) w->releaseMouse();
  if (old && IsWindow(old)) SendMessage(old, WM_CAPTURECHANGED, 0, 0);
  return true;
}

HWND GetCapture() {
  if (gCapture && !IsWindow(gCapture)) gCapture = 0;
  return gCapture;
}

TControl* GetCaptureControl() {
  TWinControl* w = FindControl(GetCapture());
  if (w && gCaptureControl && gCaptureControl->Parent() == w) return gCaptureControl;
  return w;
}

void SetCaptureControl(TControl* Control) {
  if (!Control) {
    ReleaseCapture();
    return;
  }
  if (auto* w = dynamic_cast<TWinControl*>(Control)) {
    gCaptureControl = w;
    SetCapture(w->Handle());
  } else if (Control->Parent()) {
    HWND h = Control->Parent()->Handle();
    gCaptureControl = Control;
    if (gCapture != h) SetCapture(h);
    gCaptureControl = Control;
  }
}

namespace gui_glue {
// The holder loses the capture by no doing of its own (a modal loop, deactivation).
void CancelCapture() {
  HWND h = GetCapture();
  if (!h) return;
  ReleaseCapture();
  SendMessage(h, WM_CANCELMODE, 0, 0);
}
}  // namespace gui_glue

// ================================================================ focus and activation

HWND GetFocus() {
  if (gFocus && !IsWindow(gFocus)) gFocus = 0;
  return gFocus;
}

HWND SetFocus(HWND Handle) {
  HWND old = GetFocus();
  if (Handle == old) return old;
  TWinControl* nc = FindControl(Handle);
  if (Handle && !nc) return old;
  if (nc) {
    gui_glue::ActivateFormOf(nc);
    if (GetFocus() == Handle) return old;
    old = GetFocus();
  }
  if (old) SendMessage(old, WM_KILLFOCUS, Handle, 0);
  if (GetFocus() != old) return old;  // the handler moved the focus elsewhere
  gFocus = Handle;
  if (nc) {
    gSettingQtFocus = true;
    gui_glue::TAccess::Widget(nc)->setFocus(Qt::OtherFocusReason);
    gSettingQtFocus = false;
  }
  if (Handle) SendMessage(Handle, WM_SETFOCUS, old, 0);
  return old;
}

HWND GetActiveWindow() {
  if (Screen && Screen->ActiveCustomForm()) return Screen->ActiveCustomForm()->Handle();
  return 0;
}

BOOL EnableWindow(HWND Handle, BOOL Enable) {
  TControlWidget* w = WidgetOf(Handle);
  if (!w) return false;
  bool was = w->isEnabled();
  if (was == static_cast<bool>(Enable)) return !was;
  if (!Enable && GetCapture() && FindControl(Handle)->ContainsControl(FindControl(GetCapture()))) gui_glue::CancelCapture();
  w->setEnabled(Enable != 0);
  SendMessage(Handle, WM_ENABLE, Enable ? 1 : 0, 0);
  return !was;
}

BOOL IsWindowEnabled(HWND Handle) {
  TControlWidget* w = WidgetOf(Handle);
  return w && w->isEnabled();
}

BOOL IsWindowVisible(HWND Handle) {
  TWinControl* c = FindControl(Handle);
  return c && c->Showing();
}

BOOL ShowWindow(HWND Handle, int Command) {
  TWinControl* c = FindControl(Handle);
  if (!c) return false;
  bool was = c->Visible();
  auto* f = dynamic_cast<TCustomForm*>(c);
  switch (Command) {
    case SW_HIDE: c->SetVisible(false); break;
    case SW_SHOWMINIMIZED: case SW_MINIMIZE: case SW_SHOWMINNOACTIVE:
      if (f) f->SetWindowState(wsMinimized);
      c->SetVisible(true);
      break;
    case SW_SHOWMAXIMIZED:
      if (f) f->SetWindowState(wsMaximized);
      c->SetVisible(true);
      break;
    case SW_RESTORE: case SW_SHOWNORMAL:
      if (f) f->SetWindowState(wsNormal);
      c->SetVisible(true);
      break;
    default: c->SetVisible(true); break;
  }
  return was;
}

HWND GetParent(HWND Handle) {
  TWinControl* c = FindControl(Handle);
  return c && c->Parent() ? c->Parent()->Handle() : 0;
}

HWND WindowFromPoint(TPoint P) {
  QWidget* w = QApplication::widgetAt(P.X, P.Y);
  TWinControl* c = gui_glue::ControlOfWidget(w);
  return c ? c->Handle() : 0;
}

// ================================================================ painting

BOOL InvalidateRect(HWND Handle, const TRect* Rect, BOOL) {
  TWinControl* c = FindControl(Handle);
  if (!c) return false;
  c->InvalidateRect(Rect);
  return true;
}

BOOL ValidateRect(HWND Handle, const TRect* Rect) {
  TWinControl* c = FindControl(Handle);
  if (!c) return false;
  c->ValidateRect(Rect);
  return true;
}

BOOL UpdateWindow(HWND Handle) {
  TWinControl* c = FindControl(Handle);
  if (!c) return false;
  c->Update();
  return true;
}

BOOL RedrawWindow(HWND Handle, const TRect* Rect, HRGN, UINT Flags) {
  TWinControl* c = FindControl(Handle);
  if (!c) return false;
  auto* w = static_cast<TControlWidget*>(gui_glue::TAccess::Widget(c));
  if (Flags & RDW_FRAME) w->NeedsFramePaint = true;
  if (Flags & RDW_INVALIDATE) c->InvalidateRect(Rect);
  if (Flags & RDW_ALLCHILDREN)
    for (int i = 0; i < c->ControlCount(); ++i)
      if (auto* wc = dynamic_cast<TWinControl*>(c->Controls(i))) RedrawWindow(wc->Handle(), nullptr, nullptr, Flags);
  if (Flags & (RDW_UPDATENOW | RDW_ERASENOW)) c->Update();
  return true;
}

HDC GetDC(HWND Handle) {
  if (Handle == 0) return GetScreenDC();
  TControlWidget* w = WidgetOf(Handle);
  if (!w) return nullptr;
  w->EnsureBuffers();
  if (w->PaintDC) w->PaintDC->EndPainter();
  HDC dc = CreateImageDC(&w->ClientImage);
  OpenDCs()[dc] = {Handle, false};
  return dc;
}

HDC GetWindowDC(HWND Handle) {
  if (Handle == 0) return GetScreenDC();
  TControlWidget* w = WidgetOf(Handle);
  if (!w) return nullptr;
  w->EnsureBuffers();
  if (w->PaintDC) w->PaintDC->EndPainter();
  bool frame = !w->FrameImage.isNull();
  HDC dc = CreateImageDC(frame ? &w->FrameImage : &w->ClientImage);
  OpenDCs()[dc] = {Handle, frame};
  return dc;
}

int ReleaseDC(HWND Handle, HDC DC) {
  if (!DC || DC == GetScreenDC()) return 1;
  auto it = OpenDCs().find(DC);
  if (it == OpenDCs().end()) return 0;
  HWND h = it->second.Window;
  OpenDCs().erase(it);
  DeleteDC(DC);
  if (TControlWidget* w = WidgetOf(h)) w->ScheduleAll();
  return 1;
}

int SetWindowRgn(HWND Handle, HRGN Region, BOOL) {
  TWinControl* c = FindControl(Handle);
  if (!c) return 0;
  c->SetWindowRgn(Region);
  if (Region) DeleteObject(Region);  // the window owns the region from now on
  return 1;
}

namespace {

// Moves the pixels of Area by (DX, DY) within the client image; what the move leaves
// uncovered inside Area is returned as the region to paint again.
QRegion MoveClientPixels(TControlWidget* W, const QRect& Area, int DX, int DY) {
  QRect dest = Area.translated(DX, DY).intersected(Area);
  if (!dest.isEmpty()) {
    gui_glue::SuspendDCs(W);
    QImage& img = W->ClientImage;
    const int bpp = 4;  // Format_RGB32
    int rows = dest.height(), bytes = dest.width() * bpp;
    // Rows are copied in the order that never reads a row already overwritten.
    for (int k = 0; k < rows; ++k) {
      int y = DY > 0 ? dest.bottom() - k : dest.top() + k;
      uchar* to = img.scanLine(y) + dest.left() * bpp;
      const uchar* from = img.constScanLine(y - DY) + (dest.left() - DX) * bpp;
      std::memmove(to, from, size_t(bytes));
    }
  }
  return QRegion(Area).subtracted(QRegion(dest));
}

}  // namespace

BOOL ScrollWindow(HWND Handle, int DX, int DY, const TRect* Rect, const TRect* ClipRect) {
  TWinControl* c = FindControl(Handle);
  if (!c) return false;
  if (!Rect) {
    for (int i = 0; i < c->ControlCount(); ++i)
      if (auto* w = dynamic_cast<TWinControl*>(c->Controls(i)))
        w->SetBounds(w->Left() + DX, w->Top() + DY, w->Width(), w->Height());
  }
  TControlWidget* w = WidgetOf(Handle);
  if (!w || w->NeedsPaint || w->PaintFailed || w->ClientImage.isNull()) {
    // A whole paint is due anyway: nothing worth moving.
    c->Invalidate();
    return true;
  }
  QRect client(0, 0, w->ClientImage.width(), w->ClientImage.height());
  auto q = [](const TRect& R) { return QRect(R.Left, R.Top, R.Width(), R.Height()); };
  QRect area = (Rect ? q(*Rect) : client).intersected(client);
  if (ClipRect) area = area.intersected(q(*ClipRect));
  QRegion uncovered = MoveClientPixels(w, area, DX, DY);
  // A part already waiting for its paint moves with its pixels where they moved.
  QRegion pending;
  if (w->NeedsPartialPaint) {
    QRegion p(w->PartialArea);
    pending = p.intersected(area).translated(DX, DY).intersected(area).united(p.subtracted(area));
  }
  QRect dirty = uncovered.united(pending).boundingRect();
  if (!dirty.isEmpty()) {
    w->PartialArea = dirty;
    w->NeedsPartialPaint = true;
  }
  w->ScheduleClient(area);
  return true;
}

// ================================================================ positions

BOOL GetClientRect(HWND Handle, TRect* R) {
  TWinControl* c = FindControl(Handle);
  if (!c || !R) return false;
  *R = c->ClientRect();
  return true;
}

BOOL GetWindowRect(HWND Handle, TRect* R) {
  TWinControl* c = FindControl(Handle);
  if (!c || !R) return false;
  TPoint o = c->Parent() ? c->Parent()->ClientToScreen({c->Left(), c->Top()}) : TPoint{c->Left(), c->Top()};
  if (!c->Parent()) {
    TPoint co = c->ClientOrigin();
    TRect nc = c->NonClientMargins();
    o = {co.X - nc.Left, co.Y - nc.Top};
  }
  *R = Bounds(o.X, o.Y, c->Width(), c->Height());
  return true;
}

BOOL ClientToScreen(HWND Handle, TPoint* P) {
  TWinControl* c = FindControl(Handle);
  if (!c || !P) return false;
  *P = c->ClientToScreen(*P);
  return true;
}

BOOL ScreenToClient(HWND Handle, TPoint* P) {
  TWinControl* c = FindControl(Handle);
  if (!c || !P) return false;
  *P = c->ScreenToClient(*P);
  return true;
}

int MapWindowPoints(HWND From, HWND To, TPoint* Points, int Count) {
  TPoint o1{0, 0}, o2{0, 0};
  if (TWinControl* f = FindControl(From)) o1 = f->ClientOrigin();
  if (TWinControl* t = FindControl(To)) o2 = t->ClientOrigin();
  int dx = o1.X - o2.X, dy = o1.Y - o2.Y;
  for (int i = 0; i < Count; ++i) {
    Points[i].X += dx;
    Points[i].Y += dy;
  }
  return MakeLParam(dx, dy);
}

BOOL SetWindowPos(HWND Handle, HWND InsertAfter, int X, int Y, int Cx, int Cy, UINT Flags) {
  TWinControl* c = FindControl(Handle);
  if (!c) return false;
  if (Flags & SWP_FRAMECHANGED) c->FrameChanged();
  int l = (Flags & SWP_NOMOVE) ? c->Left() : X;
  int t = (Flags & SWP_NOMOVE) ? c->Top() : Y;
  int w = (Flags & SWP_NOSIZE) ? c->Width() : Cx;
  int h = (Flags & SWP_NOSIZE) ? c->Height() : Cy;
  if (!(Flags & (SWP_NOMOVE)) || !(Flags & SWP_NOSIZE)) c->SetBounds(l, t, w, h);
  if (!(Flags & SWP_NOZORDER)) {
    if (InsertAfter == HWND_TOP || InsertAfter == HWND_TOPMOST) c->BringToFront();
    else if (InsertAfter == HWND_BOTTOM) c->SendToBack();
  }
  if (Flags & SWP_SHOWWINDOW) c->SetVisible(true);
  if (Flags & SWP_HIDEWINDOW) c->SetVisible(false);
  return true;
}

BOOL MoveWindow(HWND Handle, int X, int Y, int Width, int Height, BOOL) {
  return SetWindowPos(Handle, 0, X, Y, Width, Height, SWP_NOZORDER);
}

long GetWindowLong(HWND Handle, int Index) {
  TWinControl* c = FindControl(Handle);
  if (!c) return 0;
  switch (Index) {
    case GWL_STYLE: c->HandleNeeded(); return static_cast<long>(c->WindowStyle());
    case GWL_EXSTYLE: c->HandleNeeded(); return static_cast<long>(c->WindowExStyle());
    default: return 0;
  }
}

long SetWindowLong(HWND Handle, int Index, long Value) {
  TWinControl* c = FindControl(Handle);
  if (!c) return 0;
  c->HandleNeeded();
  long old = GetWindowLong(Handle, Index);
  // As on the platform, the frame is measured again only after SetWindowPos(SWP_FRAMECHANGED).
  if (Index == GWL_STYLE) gui_glue::TAccess::SetStyles(c, static_cast<DWORD>(Value), c->WindowExStyle());
  else if (Index == GWL_EXSTYLE) gui_glue::TAccess::SetStyles(c, c->WindowStyle(), static_cast<DWORD>(Value));
  return old;
}

// ================================================================ popups

namespace gui_glue {

std::vector<TOpenPopup>& Popups() {
  static std::vector<TOpenPopup> v;
  return v;
}

void ClosePopup(TWinControl* Popup) {
  auto& v = Popups();
  auto it = std::find_if(v.begin(), v.end(), [&](const TOpenPopup& p) { return p.Popup == Popup; });
  if (it == v.end()) return;
  auto close = it->Close;
  v.erase(it);
  if (close) close();
  else Popup->SetVisible(false);
}

}  // namespace gui_glue

TPoint PlacePopup(const TRect& Anchor, TSize Size, bool AlignRight) {
  TRect a = Screen ? Screen->MonitorFromPoint({Anchor.Left, Anchor.Bottom})->WorkareaRect() : Rect(0, 0, 1024, 768);
  int x = AlignRight ? Anchor.Right - Size.cx : Anchor.Left;
  int y = Anchor.Bottom;
  // Opens upward when it does not fit below and there is more room above.
  if (y + Size.cy > a.Bottom && (a.Bottom - Anchor.Bottom) < (Anchor.Top - a.Top)) y = Anchor.Top - Size.cy;
  if (x + Size.cx > a.Right) x = a.Right - Size.cx;
  if (x < a.Left) x = a.Left;
  if (y + Size.cy > a.Bottom) y = a.Bottom - Size.cy;
  if (y < a.Top) y = a.Top;
  return {x, y};
}

void ShowPopupAt(TWinControl* Popup, int X, int Y, TWinControl* Owner, std::function<void()> Close) {
  if (!Popup) return;
  if (Popup->Parent()) Popup->SetParent(nullptr);
  Popup->HandleNeeded();
  QWidget* w = gui_glue::TAccess::Widget(Popup);
  if (!(w->windowFlags() & Qt::Tool)) {
    w->setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus | Qt::WindowStaysOnTopHint);
    w->setAttribute(Qt::WA_ShowWithoutActivating);
  }
  Popup->SetBounds(X, Y, Popup->Width(), Popup->Height());
  auto& v = gui_glue::Popups();
  v.erase(std::remove_if(v.begin(), v.end(), [&](const gui_glue::TOpenPopup& p) { return p.Popup == Popup; }), v.end());
  v.push_back({QPointer<QWidget>(w), Popup, Owner, std::move(Close)});
  Popup->SetVisible(true);
  w->raise();
}

void ShowPopupBelow(TWinControl* Popup, TControl* Anchor, const TRect& AnchorRect, bool AlignRight,
                    std::function<void()> Close) {
  TPoint tl = Anchor->ClientToScreen(AnchorRect.TopLeft());
  TRect screen = Bounds(tl.X, tl.Y, AnchorRect.Width(), AnchorRect.Height());
  TPoint p = PlacePopup(screen, {Popup->Width(), Popup->Height()}, AlignRight);
  ShowPopupAt(Popup, p.X, p.Y, dynamic_cast<TWinControl*>(Anchor) ? static_cast<TWinControl*>(Anchor) : Anchor->Parent(),
              std::move(Close));
}

void HidePopup(TWinControl* Popup) {
  auto& v = gui_glue::Popups();
  v.erase(std::remove_if(v.begin(), v.end(), [&](const gui_glue::TOpenPopup& p) { return p.Popup == Popup; }), v.end());
  Popup->SetVisible(false);
}

std::vector<TWinControl*> OpenPopups() {
  std::vector<TWinControl*> r;
  for (auto& p : gui_glue::Popups()) r.push_back(p.Popup);
  return r;
}

// ================================================================ THintWindow

KELM_PUBLISH(THintWindow) {}

THintWindow::THintWindow(TComponent* AOwner) : TCustomControl(AOwner) {
  SetColor(Application ? Application->HintColor() : clInfoBk);
  if (Screen) Font()->Assign(Screen->HintFont());
  SetVisible(false);
}

void THintWindow::CreateParams(TCreateParams& P) {
  TCustomControl::CreateParams(P);
  P.Style = WS_POPUP | WS_BORDER;
  P.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
}

TRect THintWindow::CalcHintRect(int MaxWidth, const String& AHint, void*) {
  TRect r = Rect(0, 0, MaxWidth, 0);
  HDC dc = GetScreenDC();
  HGDIOBJ old = SelectObject(dc, Font()->Handle());
  DrawText(dc, AHint, -1, &r, DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
  SelectObject(dc, old);
  r.Right += 6;
  r.Bottom += 2;
  return r;
}

void THintWindow::ActivateHint(const TRect& R, const String& AHint) {
  SetCaption(AHint);
  TRect a = Screen ? Screen->MonitorFromPoint(R.TopLeft())->WorkareaRect() : R;
  TRect r = R;
  if (r.Right > a.Right) OffsetRect(r, a.Right - r.Right, 0);
  if (r.Left < a.Left) OffsetRect(r, a.Left - r.Left, 0);
  if (r.Bottom > a.Bottom) OffsetRect(r, 0, a.Bottom - r.Bottom);
  ShowPopupAt(this, r.Left, r.Top, nullptr, [this] { ReleaseHandle(); });
  SetBounds(r.Left, r.Top, r.Width(), r.Height());
  Invalidate();
}

void THintWindow::ReleaseHandle() {
  auto& v = gui_glue::Popups();
  v.erase(std::remove_if(v.begin(), v.end(), [&](const gui_glue::TOpenPopup& p) { return p.Popup == this; }), v.end());
  SetVisible(false);
}

bool THintWindow::IsHintMsg(const TMsg& Msg) const {
  return (Msg.message >= WM_KEYFIRST && Msg.message <= WM_KEYLAST) ||
         (Msg.message >= WM_MOUSEFIRST && Msg.message <= WM_MOUSELAST && Msg.message != WM_MOUSEMOVE) ||
         Msg.message == CM_ACTIVATE || Msg.message == CM_DEACTIVATE || Msg.message == WM_ACTIVATEAPP;
}

void THintWindow::Paint() {
  TCanvas* c = Canvas();
  TRect r = ClientRect();
  c->Brush()->SetColor(Color());
  c->FillRect(r);
  InflateRect(r, -2, -1);
  c->Font()->Assign(Font());
  c->Font()->SetColor(clInfoText);
  c->Brush()->SetStyle(bsClear);
  DrawText(c->Handle(), Caption(), -1, &r, DT_LEFT | DT_NOPREFIX | DT_WORDBREAK);
}

void THintWindow::Dispatch(TMessage& M) {
  if (M.Msg == WM_NCHITTEST) {
    M.Result = HTTRANSPARENT;
    return;
  }
  TCustomControl::Dispatch(M);
}

// ================================================================ screenshots

bool GrabToPng(TControl* Control, const String& FileName) {
  if (!Control) return false;
  QImage img;
  if (auto* w = dynamic_cast<TWinControl*>(Control)) {
    w->HandleNeeded();
    img = gui_glue::TAccess::Widget(w)->grab().toImage();
  } else if (TWinControl* p = Control->Parent()) {
    p->HandleNeeded();
    QWidget* pw = gui_glue::TAccess::Widget(p);
    TRect in = gui_glue::TAccess::InsideMarginsOf(p);
    img = pw->grab(QRect(Control->Left() + in.Left, Control->Top() + in.Top, Control->Width(), Control->Height()))
              .toImage();
  } else {
    return false;
  }
  return !img.isNull() && img.save(ToQString(FileName), "PNG");
}
