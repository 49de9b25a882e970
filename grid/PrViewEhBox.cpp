// The preview box and its page panel: layout by view mode, navigation, keys, wheel and mouse,
// and printing or setting up from the preview.
#include "grid/PrViewEh.h"

#include "core/ClassBuilder.h"
#include "gui/Messages.h"
#include "gui/WinGDI.h"
#include "print/PrintDialogs.h"
#include "gui/Screen.h"
#include "core/Scope.h"

#include <algorithm>
#include <cassert>

// ================================================================ cursors

TCursor MagnifierCursor() {
  static const TCursor id = RegisterResourceCursor("MAGNIFIEREH");
  return id;
}

TCursor HandCursor() {
  static const TCursor id = RegisterResourceCursor("HANDEH");
  return id;
}

// ================================================================ TDrawPanel

KELM_PUBLISH(TDrawPanel) {}

TDrawPanel::TDrawPanel(TComponent* AOwner) : TPanel(AOwner) {
  SetColor(clWhite);
  SetBorderStyle(bsSingle);
  SetBevelOuter(bvNone);
  SetControlStyle(ControlStyle() + csCaptureMouse);
  SetCursor(MagnifierCursor());
  HandCursor();  // both cursors are known before the first drag
}

TPreviewBox* TDrawPanel::Box() const { return dynamic_cast<TPreviewBox*>(Parent()); }

void TDrawPanel::Paint() {
  TCanvas* c = Canvas();
  TRect client = ClientRect();
  c->Brush()->SetColor(clWhite);
  c->Brush()->SetStyle(bsSolid);
  c->FillRect(client);
  TPreviewBox* box = Box();
  if (!box || box->PageCount() == 0) return;
  TPrinterPreview* p = box->Printer();
  int fullW = p->GetFullPageWidth(), fullH = p->GetFullPageHeight();
  int w = client.Right - client.Left, h = client.Bottom - client.Top;
  HDC dc = c->Handle();
  int saved = SaveDC(dc);
  // The printable area at its place on the sheet.
  SetMapMode(dc, MM_ANISOTROPIC);
  SetWindowExtEx(dc, fullW, fullH, nullptr);
  SetViewportExtEx(dc, w, h, nullptr);
  SetViewportOrgEx(dc, p->GetPhysicalOffsetX() * w / fullW, p->GetPhysicalOffsetY() * h / fullH, nullptr);
  int ppi = c->Font()->PixelsPerInch();
  c->Font()->SetPixelsPerInch(std::min(p->GetPixelsPerInchX(), p->GetPixelsPerInchY()));
  p->DrawPage(box->PageIndex(), c);
  c->Font()->SetPixelsPerInch(ppi);
  RestoreDC(dc, saved);
}

void TDrawPanel::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TPanel::MouseDown(Button, Shift, X, Y);
  TPreviewBox* box = Box();
  if (box && box->CanFocus()) box->SetFocus();
  if (Button != mbLeft || !box) return;
  FDown = true;
  FDragged = false;
  FDownScreen = ClientToScreen({X, Y});
  FDownScroll = {box->HorzScrollBar()->Position(), box->VertScrollBar()->Position()};
}

void TDrawPanel::MouseMove(TShiftState Shift, int X, int Y) {
  TPanel::MouseMove(Shift, X, Y);
  TPreviewBox* box = Box();
  if (!FDown || !box) return;
  // The panel moves as the view scrolls: the mouse is followed on the screen.
  TPoint now = ClientToScreen({X, Y});
  if (!FDragged && now.X == FDownScreen.X && now.Y == FDownScreen.Y) return;
  if (!FDragged) {
    FDragged = true;
    SetCursor(HandCursor());
  }
  // Each bar follows the mouse from where the drag began; one that cannot move keeps that
  // anchor, so the page comes back under the mouse when it returns.
  box->HorzScrollBar()->SetPosition(FDownScroll.X - (now.X - FDownScreen.X));
  box->VertScrollBar()->SetPosition(FDownScroll.Y - (now.Y - FDownScreen.Y));
}

void TDrawPanel::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TPanel::MouseUp(Button, Shift, X, Y);
  if (Button != mbLeft || !FDown) return;
  bool dragged = FDragged;
  EndDrag();
  if (!dragged)
    if (TPreviewBox* box = Box()) box->PageClick(X, Y);
}

void TDrawPanel::EndDrag() {
  FDown = false;
  FDragged = false;
  SetCursor(MagnifierCursor());
}

void TDrawPanel::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_CANCELMODE) EndDrag();
  TPanel::Dispatch(Message);
}

// ================================================================ TPreviewBox

KELM_PUBLISH(TPreviewBox) { Published(b); }

TPreviewBox::TPreviewBox(TComponent* AOwner) : TScrollBox(AOwner) {
  // Children are the box's own: the page and its shadow.
  SetControlStyle(ControlStyle() - csAcceptsControls);
  SetAutoScroll(false);
  HorzScrollBar()->SetTracking(true);
  VertScrollBar()->SetTracking(true);
  FPrinter = std::make_unique<TPrinterPreview>(this);
  FShadowPanel = new TPanel(this);
  FShadowPanel->SetParent(this);
  FShadowPanel->SetEnabled(false);
  FShadowPanel->SetBevelOuter(bvNone);
  FShadowPanel->SetColor(RGB(64, 64, 64));
  FPagePanel = new TDrawPanel(this);
  FPagePanel->SetParent(this);
}

TPreviewBox::~TPreviewBox() {
  SetPrintSource(nullptr);
}

void TPreviewBox::Notification(TComponent* AComponent, TOperation Operation) {
  TScrollBox::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FPrintSource) {
    FPrintSource = nullptr;
    PreviewChanged();
  }
  if (AComponent == FPagePanel) FPagePanel = nullptr;
  if (AComponent == FShadowPanel) FShadowPanel = nullptr;
}

void TPreviewBox::SetPrintSource(TComponent* Value) {
  if (Value == FPrintSource) return;
  if (FPrintSource) FPrintSource->RemoveFreeNotification(this);
  FPrintSource = Value;
  if (FPrintSource) FPrintSource->FreeNotification(this);
  if (!ComponentState().Contains(csDestroying)) PreviewChanged();
}

void TPreviewBox::PreviewChanged() { OnPrinterPreviewChanged(this); }
void TPreviewBox::OpenPreviewer() { OnOpenPreviewer(this); }

void TPreviewBox::SetPageIndex(int Value) {
  Value = std::clamp(Value, 1, std::max(1, FPageCount));
  if (Value == FPageIndex) return;
  FPageIndex = Value;
  Invalidate();
  if (FPagePanel) FPagePanel->Invalidate();
  PreviewChanged();
}

void TPreviewBox::SetViewMode(int Value) {
  assert(Value >= pvm500 && Value <= pvmWholePage);
  if (Value != FViewMode) {
    FViewMode = Value;
    UpdateLayout();
  }
  PreviewChanged();
}

// ---------------------------------------------------------------- layout

namespace {
const int kFixedZooms[] = {500, 200, 150, 100, 75, 50, 25, 10};
}  // namespace

TSize TPreviewBox::ZoomedSize(int Percent) {
  int w = int(Int64(Percent) * FPrinter->GetPageWidth() * Screen->PixelsPerInch() / FPrinter->GetPixelsPerInchX() / 100);
  return {w, int(Int64(w) * FPrinter->GetPhysicalHeightMM() / FPrinter->GetPhysicalWidthMM())};
}

void TPreviewBox::PlacePage(int Left, int Top, int W, int H) {
  if (FShadowPanel) FShadowPanel->SetBounds(Left + 4, Top + 4, W, H);
  if (FPagePanel) FPagePanel->SetBounds(Left, Top, W, H);
}

void TPreviewBox::LayoutFixed(int Percent) {
  HorzScrollBar()->SetPosition(0);
  VertScrollBar()->SetPosition(0);
  TSize s = ZoomedSize(Percent);
  HorzScrollBar()->SetRange(s.cx + 16);
  VertScrollBar()->SetRange(s.cy + 16);
  int cw = ClientWidth(), ch = ClientHeight();
  PlacePage(s.cx < cw - 16 ? (cw - s.cx) / 2 : 8, s.cy < ch - 16 ? (ch - s.cy) / 2 : 8, s.cx, s.cy);
  FZoomPercent = Percent;
}

void TPreviewBox::LayoutPageWidth() {
  HorzScrollBar()->SetPosition(0);
  VertScrollBar()->SetPosition(0);
  int w = std::max(1, Width() - GetSystemMetrics(SM_CXVSCROLL) - 20);
  int h = int(Int64(w) * FPrinter->GetPhysicalHeightMM() / FPrinter->GetPhysicalWidthMM());
  HorzScrollBar()->SetRange(0);
  VertScrollBar()->SetRange(h + 16);
  PlacePage(8, 8, w, h);
  int full = FPrinter->GetPageWidth() * Screen->PixelsPerInch() / FPrinter->GetPixelsPerInchX();
  FZoomPercent = full > 0 ? w * 100 / full : 100;
}

void TPreviewBox::LayoutWholePage() {
  HorzScrollBar()->SetRange(0);
  VertScrollBar()->SetRange(0);
  HorzScrollBar()->SetPosition(0);
  VertScrollBar()->SetPosition(0);
  int H = FPrinter->GetPhysicalWidthMM(), V = FPrinter->GetPhysicalHeightMM();
  int cw = ClientWidth(), ch = ClientHeight();
  int h = std::max(1, ch - 16), w = h * H / V;
  if (w > cw - 16) {
    w = std::max(1, cw - 16);
    h = w * V / H;
  }
  PlacePage((cw - w) / 2, (ch - h) / 2, w, h);
  FZoomPercent = 100;
}

void TPreviewBox::UpdateLayout() {
  if (FViewMode == pvmPageWidth) LayoutPageWidth();
  else if (FViewMode == pvmWholePage) LayoutWholePage();
  else LayoutFixed(kFixedZooms[FViewMode]);
  if (FPagePanel) FPagePanel->Invalidate();
}

void TPreviewBox::Resized() {
  if (!FPagePanel) return;
  bool smaller = FPagePanel->Width() + 16 < ClientWidth() || FPagePanel->Height() + 16 < ClientHeight();
  if (FViewMode >= pvmPageWidth || smaller) UpdateLayout();
}

void TPreviewBox::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_GETDLGCODE:
      Message.Result = DLGC_WANTARROWS;
      return;
    case WM_SIZE:
      TScrollBox::Dispatch(Message);
      if (!ComponentState().Contains(csLoading)) Resized();
      return;
    default:
      TScrollBox::Dispatch(Message);
  }
}

// ---------------------------------------------------------------- keys, wheel, mouse

namespace {

enum TScrollStep { ssNone, ssLineBack, ssLineForward, ssPageBack, ssPageForward, ssStart, ssEnd };

// What a key does to the horizontal and the vertical position, without and with Ctrl.
struct TKeyRule {
  Word Key;
  TScrollStep Horz, Vert, CtrlHorz, CtrlVert;
};
const TKeyRule kKeyRules[] = {
    {VK_PRIOR, ssNone, ssPageBack, ssNone, ssStart},
    {VK_NEXT, ssNone, ssPageForward, ssNone, ssEnd},
    {VK_UP, ssNone, ssLineBack, ssNone, ssPageBack},
    {VK_DOWN, ssNone, ssLineForward, ssNone, ssPageForward},
    {VK_HOME, ssStart, ssNone, ssStart, ssStart},
    {VK_END, ssEnd, ssNone, ssEnd, ssEnd},
    {VK_LEFT, ssLineBack, ssNone, ssPageBack, ssNone},
    {VK_RIGHT, ssLineForward, ssNone, ssPageForward, ssNone},
};

void ApplyStep(TControlScrollBar* Bar, TScrollStep Step, int ClientSize) {
  int inc = Bar->Increment(), page = ClientSize - inc;
  switch (Step) {
    case ssNone: return;
    case ssLineBack: Bar->SetPosition(Bar->Position() - inc); return;
    case ssLineForward: Bar->SetPosition(Bar->Position() + inc); return;
    case ssPageBack: Bar->SetPosition(Bar->Position() - page); return;
    case ssPageForward: Bar->SetPosition(Bar->Position() + page); return;
    case ssStart: Bar->SetPosition(0); return;
    case ssEnd: Bar->SetPosition(Bar->Range()); return;
  }
}

}  // namespace

void TPreviewBox::KeyDown(Word& Key, TShiftState Shift) {
  TScrollBox::KeyDown(Key, Shift);
  bool ctrl = Shift.Contains(ssCtrl);
  for (const TKeyRule& r : kKeyRules) {
    if (r.Key != Key) continue;
    ApplyStep(HorzScrollBar(), ctrl ? r.CtrlHorz : r.Horz, ClientWidth());
    ApplyStep(VertScrollBar(), ctrl ? r.CtrlVert : r.Vert, ClientHeight());
    return;
  }
}

bool TPreviewBox::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
  if (TScrollBox::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
  if (WheelDelta == 0) return false;
  TControlScrollBar* bar = VertScrollBar();
  if (bar->Range() < ClientHeight()) {
    // The page fits: the wheel turns the pages.
    SetPageIndex(FPageIndex + (WheelDelta < 0 ? 1 : -1));
  } else {
    int lines = Mouse ? Mouse->WheelScrollLines() : 3;
    int step = bar->Increment() * lines * FZoomPercent / 100;
    bar->SetPosition(bar->Position() + (WheelDelta < 0 ? step : -step));
  }
  return true;
}

void TPreviewBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (CanFocus()) SetFocus();
  TScrollBox::MouseDown(Button, Shift, X, Y);
}

void TPreviewBox::PageClick(int X, int Y) {
  if (FViewMode != pvmWholePage || !FPagePanel) {
    SetViewMode(pvmWholePage);
    return;
  }
  int oldW = FPagePanel->Width(), oldH = FPagePanel->Height();
  int oldLeft = FPagePanel->Left(), oldTop = FPagePanel->Top();
  SetViewMode(pvm150);
  int newW = FPagePanel->Width(), newH = FPagePanel->Height();
  // The clicked point stays under the mouse.
  VertScrollBar()->SetPosition(Y * newH / std::max(1, oldH) + 16 - oldTop - Y);
  HorzScrollBar()->SetPosition(X * newW / std::max(1, oldW) + 16 - oldLeft - X);
}

// ---------------------------------------------------------------- printing and setup

template <class F> void TPreviewBox::WithOwnPrinter(F&& Action) {
  TPrinter* previous = ::SetPrinter(FPrinter->OwnPrinter());
  TScopeExit back([previous] { ::SetPrinter(previous); });
  Action();
}

void TPreviewBox::PrintPages() {
  if (FPrinter->GetPrinting()) return;  // the pages are still being made
  WithOwnPrinter([this] {
    TPrintDialog dialog(nullptr);
    dialog.SetOptions({poPageNums});
    int count = FPrinter->PageCount();
    dialog.SetMinPage(1);
    dialog.SetMaxPage(std::max(1, count));
    dialog.SetFromPage(1);
    dialog.SetToPage(std::max(1, count));
    if (!dialog.Execute() || count == 0) return;
    // All pages unless page numbers were picked.
    int from = 1, to = count;
    if (dialog.PrintRange() == prPageNums) {
      from = std::clamp(dialog.FromPage(), 1, count);
      to = std::clamp(dialog.ToPage(), from, count);
    }
    TPrinter* p = FPrinter->OwnPrinter();
    p->BeginDoc();
    try {
      for (int n = from; n <= to; ++n) {
        if (n > from) p->NewPage();
        FPrinter->DrawPage(n, p->Canvas());
      }
    } catch (...) {
      // On failure only: a printed document ends by EndDoc.
      if (p->Printing()) p->Abort();
      throw;
    }
    p->EndDoc();
  });
}

void TPreviewBox::RunPrinterSetup() {
  if (FPrinter->GetPrinting()) return;
  WithOwnPrinter([this] {
    if (FSetupHandler) {
      FSetupHandler(this);
      return;
    }
    TPrinterSetupDialog dialog(nullptr);
    if (!dialog.Execute()) return;
    UpdateLayout();
    FSetupChangedHandler(this);
  });
}
