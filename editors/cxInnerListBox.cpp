// The inner list box: forwarding to its container, the owner-drawn scroll bars over the
// native ones, the incremental search, the drag rule and owner-drawn items.
#include "editors/cxInnerListBox.h"

#include "core/ClassBuilder.h"
#include "core/DateUtils.h"
#include "core/Scope.h"
#include "core/StrUtils.h"
#include "editors/cxCanvas.h"
#include "editors/cxObjectLinks.h"
#include "editors/cxScrollBar.h"
#include "gui/GdiDC.h"
#include "gui/GdiDraw.h"
#include "gui/SysColors.h"
#include "gui/Window.h"
#include "gui/WinScroll.h"

namespace {
Cardinal (*gTickSource)() = &GetTickCount;

// Takes the last whole character (UTF-8) off a text.
void DropLastChar(String& S) {
  std::size_t n = S.size();
  while (n > 0 && (static_cast<unsigned char>(S[n - 1]) & 0xC0) == 0x80) --n;  // continuation bytes
  S.resize(n > 0 ? n - 1 : 0);
}
}  // namespace

void TcxCustomInnerListBox::SetTickSourceForTest(Cardinal (*Source)()) { gTickSource = Source ? Source : &GetTickCount; }

KELM_PUBLISH(TcxCustomInnerListBox) { Published(b); }

TcxCustomInnerListBox::TcxCustomInnerListBox(TComponent* AOwner) : TListBox(AOwner) {
  FCanvas = std::make_unique<TcxCanvas>(Canvas());
  FLookAndFeel = std::make_unique<TcxLookAndFeel>(this);
  FLookAndFeel->SetOnChanged(TcxLookAndFeelChangedEvent::Lambda(
      [this](TcxLookAndFeel* Sender, TcxLookAndFeelValues) { HandleLookAndFeelChange(Sender); }));
  for (TScrollBarKind kind : {sbHorizontal, sbVertical}) {
    auto* bar = new TcxScrollBar(this);
    bar->FreeNotification(this);
    bar->SetKind(kind);
    bar->SetSmallChange(1);
    bar->SetVisible(false);
    bar->LookAndFeel()->SetMaster(FLookAndFeel.get());
    (kind == sbHorizontal ? FHScrollBar : FVScrollBar) = bar;
  }
  FHScrollBar->SetOnScroll(TScrollEvent(this, &TcxCustomInnerListBox::HScrollBarScroll));
  FVScrollBar->SetOnScroll(TScrollEvent(this, &TcxCustomInnerListBox::VScrollBarScroll));
  SetBorderStyle(bsNone);
  SetControlStyle(ControlStyle() + csDoubleClicks - csOpaque);
  SetParentColor(false);
  SetParentFont(true);
}

TcxCustomInnerListBox::~TcxCustomInnerListBox() {
  // The bars follow this look-and-feel: they go first.
  delete FHScrollBar;
  delete FVScrollBar;
  FLookAndFeel.reset();
}

void TcxCustomInnerListBox::Notification(TComponent* AComponent, TOperation Operation) {
  TListBox::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FHScrollBar) FHScrollBar = nullptr;
  if (AComponent == FVScrollBar) FVScrollBar = nullptr;
}

void TcxCustomInnerListBox::HandleLookAndFeelChange(TObject*) {
  if (HandleAllocated()) Invalidate();
}

void TcxCustomInnerListBox::HandleMouseLeave(TControl*) {
  if (Container) Container->RefreshAtCursor(true);
}

// ---------------------------------------------------------------- forwarding

void TcxCustomInnerListBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TcxObjectLinkScope link(this);
  TListBox::MouseDown(Button, Shift, X, Y);
  if (!link.Alive() || !Container) return;
  TRestore<bool> hosted(Container->HostedMouseDown, true);
  Container->InnerMouseDown(Button, Shift, X + Left(), Y + Top());
}

void TcxCustomInnerListBox::MouseMove(TShiftState Shift, int X, int Y) {
  TcxObjectLinkScope link(this);
  TListBox::MouseMove(Shift, X, Y);
  if (link.Alive() && Container) Container->InnerMouseMove(Shift, X + Left(), Y + Top());
}

void TcxCustomInnerListBox::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TcxObjectLinkScope link(this);
  TListBox::MouseUp(Button, Shift, X, Y);
  if (link.Alive() && Container) Container->InnerMouseUp(Button, Shift, X + Left(), Y + Top());
}

void TcxCustomInnerListBox::Click() {
  TcxObjectLinkScope link(this);
  TListBox::Click();
  if (!link.Alive()) return;
  if (FVScrollBar) FVScrollBar->SetPosition(std::clamp(TopIndex(), FVScrollBar->Min(), FVScrollBar->Max()));
  if (Container) Container->InnerClick();
}

void TcxCustomInnerListBox::DblClick() {
  TcxObjectLinkScope link(this);
  TListBox::DblClick();
  if (link.Alive() && Container) Container->InnerDblClick();
}

bool TcxCustomInnerListBox::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
  if (Container && Container->InnerMouseWheel(Shift, WheelDelta, MousePos)) return true;
  return TListBox::DoMouseWheel(Shift, WheelDelta, MousePos);
}

void TcxCustomInnerListBox::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) {
  if (Container) static_cast<TControl*>(Container)->DragOver(Source, X + Left(), Y + Top(), State, Accept);
}

void TcxCustomInnerListBox::DragDrop(TObject* Source, int X, int Y) {
  if (Container) Container->DragDrop(Source, X + Left(), Y + Top());
}

void TcxCustomInnerListBox::KeyDown(Word& Key, TShiftState Shift) {
  TcxObjectLinkScope link(this);
  if (Container) Container->InnerKeyDown(Key, Shift);
  if (link.Alive() && Key != 0) TListBox::KeyDown(Key, Shift);
}

void TcxCustomInnerListBox::KeyUp(Word& Key, TShiftState Shift) {
  if (Key == VK_TAB) Key = 0;
  TcxObjectLinkScope link(this);
  if (Container) Container->InnerKeyUp(Key, Shift);
  if (link.Alive() && Key != 0) TListBox::KeyUp(Key, Shift);
}

void TcxCustomInnerListBox::KeyPress(Char& Key) {
  if (Key == U'\t') Key = 0;
  TcxObjectLinkScope link(this);
  if (Key != 0 && Container) Container->InnerKeyPress(Key);
  if (!link.Alive()) return;
  if (Key == U'\r') Key = 0;
  if (Key != 0 && OnKeyPress) OnKeyPress(this, Key);
  // The platform list box's own search is replaced by the incremental search.
  if (link.Alive() && Key != 0) IncrementalSearch(Key);
}

void TcxCustomInnerListBox::DefaultHandler(TMessage& Message) {
  if (Container && Container->HostedDefaultHandler(Message)) return;
  TListBox::DefaultHandler(Message);
}

// ---------------------------------------------------------------- search

void TcxCustomInnerListBox::IncrementalSearch(Char& Key) {
  if (!AutoComplete()) return;
  const Cardinal now = gTickSource();
  if (now - FLastKeyTime >= FAutoCompleteDelay) FSearchText.clear();
  FLastKeyTime = now;
  if (Key == U'\b') DropLastChar(FSearchText);
  else AppendUtf8(FSearchText, Key);
  if (FSearchText.empty()) {
    SetItemIndex(0);
    Click();
    return;
  }
  const int found = IsVirtual() ? DoFindData(FSearchText)
                                : static_cast<int>(Perform(LB_FINDSTRING, static_cast<WPARAM>(-1),
                                                           reinterpret_cast<LPARAM>(FSearchText.c_str())));
  if (found >= 0) {
    if (MultiSelect()) {
      ClearSelection();
      Perform(LB_SELITEMRANGE, 1, MakeLParam(found, found));
    }
    SetItemIndex(found);
    Click();
  }
  if (Key != U'\b' && Key != U'\r' && Key != 27) Key = 0;
}

// ---------------------------------------------------------------- owner-drawn scroll bars

void TcxCustomInnerListBox::UpdateScrollBars() {
  if (ComponentState().Contains(csDestroying) || FScrollBarParentLock > 0 || FScrollBarsUpdating) return;
  TRestore<bool> updating(FScrollBarsUpdating, true);
  if (FHScrollBar) SyncBar(FHScrollBar, OBJID_HSCROLL, SB_HORZ);
  if (FVScrollBar) SyncBar(FVScrollBar, OBJID_VSCROLL, SB_VERT);
}

void TcxCustomInnerListBox::SyncBar(TcxScrollBar* Bar, int ObjectId, int Kind) {
  bool visible = false;
  TRect bounds;
  SCROLLBARINFO info;
  if (Parent() && HandleAllocated() && GetScrollBarInfo(Handle(), ObjectId, &info) &&
      !(info.rgstate[0] & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN))) {
    visible = true;
    Bar->SetEnabled(!(info.rgstate[0] & STATE_SYSTEM_UNAVAILABLE) && Parent()->Enabled());
    const TPoint at = Parent()->ScreenToClient(info.rcScrollBar.TopLeft());
    const int w = info.rcScrollBar.Width(), h = info.rcScrollBar.Height();
    if (at.X < 0 || at.Y < 0 || w > Width() || h > Height()) visible = false;
    else bounds = Bounds(at.X, at.Y, w, h);
  }
  if (visible) {
    {
      TRestore<int> lock(FScrollBarParentLock, FScrollBarParentLock + 1);
      Bar->SetParent(Parent());
    }
    Bar->SetBoundsRect(bounds);
    Bar->SetCtl3D(false);
    Bar->BringToFront();
  } else {
    Bar->SetBounds(0, 0, 0, 0);
  }
  Bar->SetVisible(visible);
  if (!Bar->Visible()) return;
  SCROLLINFO si;
  si.cbSize = sizeof si;
  si.fMask = SIF_ALL;
  if (!GetScrollInfo(Handle(), Kind, &si)) return;
  // A page beyond the range would be refused: it is lowered to what the range holds.
  int page = static_cast<int>(si.nPage);
  if (si.nMax < page) page = si.nMax;
  page = std::min(page, si.nMax - si.nMin + 1);
  Bar->AssignScrollValues(si.nMin, si.nMax, si.nPos, std::max(page, 0), true);
}

TRect TcxCustomInnerListBox::ScrollBarCornerRect() {
  if (!FHScrollBar || !FVScrollBar || !FHScrollBar->Visible() || !FVScrollBar->Visible() || !Parent()) return TRect();
  TRect window;
  GetWindowRect(Handle(), &window);
  const TPoint at = Parent()->ClientToScreen({FVScrollBar->Left(), FHScrollBar->Top()});
  return Bounds(at.X - window.Left, at.Y - window.Top, FVScrollBar->Width(), FHScrollBar->Height());
}

void TcxCustomInnerListBox::HScrollBarScroll(TObject*, TScrollCode Code, int& Position) {
  if (!FHScrollBar || !FHScrollBar->HandleAllocated()) return;
  TMessage m;
  m.Msg = WM_HSCROLL;
  m.WParam = MakeWParam(Code, Position);
  m.LParam = static_cast<LPARAM>(FHScrollBar->Handle());
  TListBox::DefaultHandler(m);  // the list box's own scrolling, past every subclass
  Position = GetScrollPos(Handle(), SB_HORZ);
}

void TcxCustomInnerListBox::VScrollBarScroll(TObject*, TScrollCode Code, int& Position) {
  if (!FVScrollBar || !FVScrollBar->HandleAllocated()) return;
  if (Code == scLineUp || Code == scLineDown) {
    SetTopIndex(Position);
    return;
  }
  TMessage m;
  m.Msg = WM_VSCROLL;
  m.WParam = MakeWParam(Code, Position);
  m.LParam = static_cast<LPARAM>(FVScrollBar->Handle());
  TListBox::DefaultHandler(m);
  Position = GetScrollPos(Handle(), SB_VERT);
}

// ---------------------------------------------------------------- messages

void TcxCustomInnerListBox::WndProc(TMessage& M) {
  if (Container && Container->HostedKeyMessage(M)) return;
  // The press is decided here, before the platform would start an automatic drag of the
  // list box itself (it shares the container's drag mode): the container is what drags.
  if (M.Msg == WM_LBUTTONDOWN && Container && Container->DragMode() == dmAutomatic && !Container->IsInDesigner())
    return LeftButtonDown(M);
  TcxObjectLinkScope link(this);
  TListBox::WndProc(M);
  if (!link.Alive()) return;
  switch (M.Msg) {
    case WM_SETREDRAW:
      if (M.WParam == 0) break;
      [[fallthrough]];
    case WM_WINDOWPOSCHANGED: case WM_SIZE: case WM_HSCROLL: case WM_VSCROLL: case LB_ADDSTRING:
    case LB_INSERTSTRING: case LB_DELETESTRING: case LB_RESETCONTENT: case LB_SETCURSEL:
    case LB_SETHORIZONTALEXTENT: case LB_SETTOPINDEX: case LB_SETCARETINDEX: case WM_MOUSEWHEEL:
    case CM_WININICHANGE:
      UpdateScrollBars();
      break;
    default:
      break;
  }
}

void TcxCustomInnerListBox::LeftButtonDown(TMessage& M) {
  const TDragMode saved = DragMode();
  SetDragMode(dmManual);
  TScopeExit restore([this, saved] { SetDragMode(saved); });
  const TShiftState shift = KeysToShiftState(static_cast<Word>(M.WParam));
  const bool shiftOnly = shift.Contains(ssShift) && !shift.Contains(ssCtrl);
  const int item = ItemAtPos(PointFromLParam(M.LParam), true);
  if (MultiSelect() && !shiftOnly && item >= 0 && Selected(item)) {
    // A press on a selected item drags the selection as it is.
    Container->BeginDrag(false, -1);
    return;
  }
  TcxObjectLinkScope link(this);
  TListBox::WndProc(M);
  if (link.Alive() && (!MultiSelect() || !(shift.Contains(ssShift) || shift.Contains(ssCtrl))))
    Container->BeginDrag(false, -1);
}

void TcxCustomInnerListBox::DrawItemMessage(TMessage& M) {
  auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(M.LParam);
  if (!dis) return;
  const TOwnerDrawState state = TOwnerDrawState::FromBits(dis->itemState & 0xFFFF);
  TCanvas* c = Canvas();
  c->SetHandle(dis->hDC);
  TScopeExit release([c] { c->SetHandle(nullptr); });
  c->Font()->Assign(Font());
  c->Brush()->Assign(Brush());
  if (dis->itemID >= 0 && state.Contains(odSelected)) {
    c->Brush()->SetColor(clHighlight);
    c->Font()->SetColor(clHighlightText);
  }
  if (dis->itemID >= 0) DrawItem(dis->itemID, dis->rcItem, state);
  else c->FillRect(dis->rcItem);
  if (state.Contains(odFocused) && DrawsFocusRect()) DrawFocusRect(dis->hDC, dis->rcItem);
  M.Result = 1;
}

void TcxCustomInnerListBox::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case WM_GETDLGCODE:
      TListBox::Dispatch(M);
      if (Container) {
        M.Result |= DLGC_WANTCHARS;
        if (GetKeyState(VK_CONTROL) >= 0) M.Result |= DLGC_WANTTAB;
      }
      return;
    case WM_KILLFOCUS:
      TListBox::Dispatch(M);
      if (Container && !Container->IsShuttingDown()) Container->HandleFocusChangeFromHosted();
      return;
    case WM_SETFOCUS:
      TListBox::Dispatch(M);
      if (Container && !Container->IsShuttingDown() && !ComponentState().Contains(csDestroying) &&
          static_cast<HWND>(M.WParam) != Container->Handle())
        Container->HandleFocusChangeFromHosted();
      return;
    case WM_NCCALCSIZE:
      TListBox::Dispatch(M);
      if (!FScrollBarsUpdating) UpdateScrollBars();
      return;
    case WM_NCPAINT: {
      TListBox::Dispatch(M);
      const TRect corner = ScrollBarCornerRect();
      if (IsRectEmpty(corner)) return;
      HDC dc = GetWindowDC(Handle());
      HBRUSH brush = CreateSolidBrush(ColorToRGB(clBtnFace));
      TScopeExit release([&] {
        DeleteObject(brush);
        ReleaseDC(Handle(), dc);
      });
      FillRect(dc, corner, brush);
      return;
    }
    case CN_DRAWITEM: return DrawItemMessage(M);
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE: {
      TListBox::Dispatch(M);
      auto* c = M.LParam ? reinterpret_cast<TControl*>(M.LParam) : this;
      if (M.Msg == CM_MOUSEENTER) HandleMouseEnter(c);
      else HandleMouseLeave(c);
      return;
    }
    default: TListBox::Dispatch(M);
  }
}
