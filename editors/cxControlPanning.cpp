// Middle-button panning: a modal loop on the message queue while the control holds the
// capture. A small round anchor window marks where it started; moving the mouse out of the
// neutral zone around it scrolls towards the mouse, faster the farther away, one line every
// (13 - speed) ticks of a 20-ms timer.
#include "core/Scope.h"
#include "editors/cxControl.h"
#include "editors/cxControlScrollBars.h"
#include "editors/cxControlUtils.h"
#include "editors/cxObjectLinks.h"
#include "gui/GdiDC.h"
#include "gui/GdiDraw.h"
#include "gui/Graphics.h"
#include "gui/Screen.h"
#include "gui/SysColors.h"
#include "gui/Window.h"

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace {

constexpr UINT kPanningTick = 20;

// The anchor: a borderless top-level window that is never activated, cut to an ellipse.
class TcxPanningAnchor : public TCustomControl {
public:
  TcxPanningAnchor(const String& BitmapName, TPoint Centre) : TCustomControl(nullptr) {
    FBitmap.LoadFromResourceName(BitmapName);
    const int w = FBitmap.Width(), h = FBitmap.Height();
    SetBounds(Centre.X - w / 2, Centre.Y - h / 2, w, h);
    HRGN region = CreateEllipticRgn(0, 0, w + 1, h + 1);
    SetWindowRgn(region);
    DeleteObject(region);
    SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, 0x57);
  }
  int AnchorSize() const { return FBitmap.Width(); }

protected:
  void CreateParams(TCreateParams& Params) override {
    TCustomControl::CreateParams(Params);
    Params.Style = WS_POPUP;
    Params.ExStyle |= WS_EX_TOPMOST;
  }
  void Paint() override {
    Canvas()->Draw(0, 0, &FBitmap);
    HRGN frame = CreateEllipticRgn(0, 0, Width() + 1, Height() + 1);
    FrameRgn(Canvas()->Handle(), frame, GetSysColorBrush(COLOR_WINDOWTEXT), 1, 1);
    DeleteObject(frame);
  }

private:
  TBitmap FBitmap;
};

struct TPanState {
  TPoint Anchor;
  int AnchorSize = 0;
  bool Horz = false, Vert = false;
  int Direction = 0;
  int Speed = 1;
  bool MovedOut = false;
};

TCursor PanCursor(const TPanState& S) {
  switch (S.Direction) {
    case 1: return crcxLeftScroll;
    case 2: return crcxRightScroll;
    case 3: return crcxUpScroll;
    case 4: return crcxDownScroll;
    default: return S.Horz && S.Vert ? crcxFullScroll : S.Horz ? crcxHorScroll : crcxVerScroll;
  }
}

void ShowPanCursor(const TPanState& S) {
  if (Screen) ::SetCursor(Screen->Cursors(PanCursor(S)));
}

// The direction and speed for the mouse at P (screen).
void FollowMouse(TPanState& S, TPoint P) {
  TRect zone = Bounds(S.Anchor.X - S.AnchorSize / 2, S.Anchor.Y - S.AnchorSize / 2, S.AnchorSize, S.AnchorSize);
  const TRect desktop = Screen ? Screen->DesktopRect() : zone;
  if (!S.Horz) zone.Left = std::min(zone.Left, desktop.Left), zone.Right = std::max(zone.Right, desktop.Right);
  if (!S.Vert) zone.Top = std::min(zone.Top, desktop.Top), zone.Bottom = std::max(zone.Bottom, desktop.Bottom);
  if (PtInRect(zone, P)) {
    S.Direction = 0;
    S.Speed = 0;
  } else {
    S.MovedOut = true;
    const int dy = std::abs(P.Y - S.Anchor.Y), dx = std::abs(P.X - S.Anchor.X);
    int distance;
    if (!S.Horz || (S.Vert && dy >= dx)) {
      S.Direction = P.Y < S.Anchor.Y ? 3 : 4;
      distance = dy;
    } else {
      S.Direction = P.X < S.Anchor.X ? 1 : 2;
      distance = dx;
    }
    S.Speed = std::min(12, (distance - S.AnchorSize / 2) / 5 + 1);
  }
  ShowPanCursor(S);
}

TWinControl* gAnchor = nullptr;
UINT_PTR gPanTimer = 0;

}  // namespace

TWinControl* TcxControl::PanningAnchor() { return gAnchor; }
UINT_PTR TcxControl::PanningTimerId() { return gPanTimer; }

void TcxControl::Pan() {
  TPanState s;
  s.Horz = HorzScrollBarVisible();
  s.Vert = VertScrollBarVisible();
  if (!s.Horz && !s.Vert) return;
  TRestore<bool> panning(FPanning, true);
  s.Anchor = Mouse->CursorPos();
  const char* bitmap = s.Horz && s.Vert ? "CX_FULLSCROLLBITMAP" : s.Horz ? "CX_HORSCROLLBITMAP" : "CX_VERSCROLLBITMAP";
  auto anchor = std::make_unique<TcxPanningAnchor>(bitmap, s.Anchor);
  s.AnchorSize = anchor->AnchorSize();
  TRestore<TWinControl*> anchorShown(gAnchor, anchor.get());
  s.Direction = 0;
  ShowPanCursor(s);
  s.Speed = 1;
  int ticks = 0;
  const HWND self = Handle();
  const UINT_PTR timer = SetTimer(0, 0, kPanningTick);
  TRestore<UINT_PTR> timerShown(gPanTimer, timer);
  TScopeExit leave([&] {
    if (GetCapture() == self) ReleaseCapture();
    KillTimer(0, timer);
  });
  SetCapture(self);
  TPoint last = s.Anchor;
  TcxObjectLinkScope link(this);
  TMsg m;
  while (link.Alive() && GetCapture() == self) {
    const BOOL got = GetMessage(m, 0, 0, 0);
    if (got == -1) break;
    if (!got) {  // WM_QUIT stays owed to the program's loop
      PostQuitMessage(static_cast<int>(m.wParam));
      break;
    }
    if (m.message == WM_PAINT && m.hwnd == anchor->Handle()) {
      ::ValidateRect(m.hwnd, nullptr);
      continue;
    }
    // Any other button or the wheel ends panning without acting.
    if (m.message >= WM_MOUSEFIRST && m.message <= WM_MOUSEWHEEL && m.message != WM_MOUSEMOVE &&
        m.message != WM_MBUTTONUP)
      break;
    TranslateMessage(m);
    DispatchMessage(m);
    if (!link.Alive()) break;
    if ((m.message == WM_KEYDOWN || m.message == WM_KEYUP) && m.wParam == VK_ESCAPE) break;
    if (m.message == WM_MOUSEMOVE) {
      TPoint p = PointFromLParam(m.lParam);
      ::ClientToScreen(m.hwnd, &p);
      if (p.X != last.X || p.Y != last.Y) {
        last = p;
        FollowMouse(s, p);
      }
    } else if (m.message == WM_MBUTTONUP) {
      // A middle click that never left the anchor keeps panning until the next click.
      if (s.MovedOut) break;
    } else if (m.message == WM_TIMER && m.hwnd == 0 && m.wParam == timer) {
      ++ticks;
      if (ticks % (13 - s.Speed) == 0) ScrollByDirection(s.Direction);
    }
  }
}
