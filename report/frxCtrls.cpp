#include "report/frxCtrls.h"

#include "core/ClassBuilder.h"
#include "gui/Canvas.h"
#include "gui/WinScroll.h"

#include <algorithm>

KELM_PUBLISH(TfrxScrollWin) {}
KELM_PUBLISH(TfrxTBPanel) {}

TfrxScrollWin::TfrxScrollWin(TComponent* AOwner)
    : TCustomControl(AOwner), FBars(std::make_unique<TWindowScrollBars>(this)) {}

TfrxScrollWin::~TfrxScrollWin() = default;

void TfrxScrollWin::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.ExStyle |= WS_EX_CLIENTEDGE;
  Params.Style |= WS_HSCROLL | WS_VSCROLL | WS_CLIPCHILDREN;
}

void TfrxScrollWin::SendBar(int Bar) {
  const bool horz = Bar == SB_HORZ;
  const int range = horz ? FHorzRange : FVertRange;
  const int page = horz ? FHorzPage : FVertPage;
  SCROLLINFO si;
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;
  si.nMin = 0;
  si.nMax = range < page ? 0 : range;
  si.nPage = static_cast<UINT>(std::max(0, page));
  si.nPos = horz ? FHorzPosition : FVertPosition;
  si.nTrackPos = si.nPos;
  SetScrollInfo(Handle(), Bar, &si, true);
}

void TfrxScrollWin::ChangeHorzPage(int Value) {
  FHorzPage = Value;
  ChangeHorzRange(FHorzRange);
}

void TfrxScrollWin::ChangeVertPage(int Value) {
  FVertPage = Value;
  ChangeVertRange(FVertRange);
}

void TfrxScrollWin::ChangeHorzRange(int Value) {
  FHorzRange = Value;
  SendBar(SB_HORZ);
}

void TfrxScrollWin::ChangeVertRange(int Value) {
  FVertRange = Value;
  SendBar(SB_VERT);
}

void TfrxScrollWin::ChangeHorzPosition(int Value) {
  Value = std::max(0, std::min(Value, FHorzRange - FHorzPage));
  if (Value == FHorzPosition) return;
  FHorzPosition = Value;
  SetScrollPos(Handle(), SB_HORZ, Value, true);
  HorzScrolled(Value);
}

void TfrxScrollWin::ChangeVertPosition(int Value) {
  Value = std::max(0, std::min(Value, FVertRange - FVertPage));
  if (Value == FVertPosition) return;
  FVertPosition = Value;
  SetScrollPos(Handle(), SB_VERT, Value, true);
  VertScrolled(Value);
}

void TfrxScrollWin::Paint() { PaintBackground(); }

void TfrxScrollWin::PaintBackground() {
  Canvas()->Brush()->SetColor(Color());
  Canvas()->FillRect(ClientRect());
}

void TfrxScrollWin::HorzScrolled(int) {}

void TfrxScrollWin::VertScrolled(int) {}

int TfrxScrollWin::TrackPosition(int Bar, int Fallback) const {
  SCROLLINFO si;
  si.fMask = SIF_TRACKPOS;
  if (!GetScrollInfo(Handle(), Bar, &si)) return Fallback;
  return si.nTrackPos;
}

void TfrxScrollWin::ScrollMessage(int Bar, int Code, int MessagePos) {
  const bool horz = Bar == SB_HORZ;
  const int pos = horz ? FHorzPosition : FVertPosition;
  int target;
  switch (Code) {
    case SB_LINEUP: target = pos - FSmallStep; break;
    case SB_LINEDOWN: target = pos + FSmallStep; break;
    case SB_PAGEUP: target = pos - FLargeStep; break;
    case SB_PAGEDOWN: target = pos + FLargeStep; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: target = TrackPosition(Bar, MessagePos); break;
    case SB_TOP: target = 0; break;
    case SB_BOTTOM: target = horz ? FHorzRange : FVertRange; break;
    default: return;
  }
  if (horz) ChangeHorzPosition(target);
  else ChangeVertPosition(target);
}

void TfrxScrollWin::WndProc(TMessage& M) {
  if (FBars->MouseMessage(M)) return;
  TCustomControl::WndProc(M);
}

void TfrxScrollWin::Dispatch(TMessage& M) {
  if (FBars->Dispatch(M)) return;
  switch (M.Msg) {
    case WM_HSCROLL:
    case WM_VSCROLL:
      ScrollMessage(M.Msg == WM_HSCROLL ? SB_HORZ : SB_VERT, LoWord(M.WParam), static_cast<short>(HiWord(M.WParam)));
      return;
    case WM_ERASEBKGND:
      return;  // the paint covers the whole client
    case WM_GETDLGCODE:
      M.Result = DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTALLKEYS;
      return;
    default:
      TCustomControl::Dispatch(M);
  }
}

// ================================================================ TfrxTBPanel

TfrxTBPanel::TfrxTBPanel(TComponent* AOwner) : TPanel(AOwner) {
  SetBounds(Left(), Top(), 8, 8);
  SetAlign(alLeft);
  SetBevelInner(bvNone);
  SetBevelOuter(bvNone);
}

void TfrxTBPanel::SetParent(TWinControl* AParent) {
  TPanel::SetParent(AParent);
  if (!dynamic_cast<TCustomPanel*>(AParent)) return;
  TWinControl* container = AParent->Parent();
  bool side = container && (container->Align() == alLeft || container->Align() == alRight);
  SetAlign(side ? alTop : alLeft);
}

void TfrxTBPanel::Paint() {
  TCanvas* c = Canvas();
  c->Brush()->SetColor(clBtnFace);
  c->Brush()->SetStyle(bsSolid);
  c->FillRect(ClientRect());
  if (ComponentState().Contains(csDesigning)) {
    c->Brush()->SetStyle(bsClear);
    c->Pen()->SetColor(clBtnShadow);
    c->Pen()->SetStyle(psDot);
    c->Rectangle(0, 0, Width(), Height());
  }
}
