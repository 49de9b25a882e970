// The control's scroll bars and size grip: states, refreshing with the oscillation lock,
// layout, scrolling, and the settings controller.
#include "editors/cxControlScrollBars.h"

#include "core/ClassBuilder.h"
#include "core/Scope.h"
#include "editors/cxCanvas.h"
#include "gui/Application.h"
#include "gui/SysColors.h"
#include "gui/WinUser.h"

#include <algorithm>

// ---------------------------------------------------------------- TcxControlScrollBar

KELM_PUBLISH(TcxControlScrollBar) {}

TcxControlScrollBar::TcxControlScrollBar(TcxControl* AOwner) : TcxScrollBar(AOwner) {
  SetColor(clBtnFace);
  SetControlStyle(ControlStyle() - csFramed + csNoDesignVisible);
  SetTabStop(false);
  SetVisible(false);
  LookAndFeel()->SetMaster(AOwner->LookAndFeel());
}

void TcxControlScrollBar::WndProc(TMessage& Message) {
  if (Message.Msg == WM_LBUTTONDOWN) FocusOwner();
  TcxScrollBar::WndProc(Message);
}

void TcxControlScrollBar::Dispatch(TMessage& Message) {
  if (Message.Msg == CM_DESIGNHITTEST) {
    Message.Result = 1;  // the bar works while designing
    return;
  }
  TcxScrollBar::Dispatch(Message);
}

void TcxControlScrollBar::FocusOwner() {
  TWinControl* p = Parent();
  if (!p) return;
  if (auto* c = dynamic_cast<TcxControl*>(p)) {
    if (c->FocusesOnScrollBarClick(this)) c->SetFocus();
  } else if (p->CanFocus()) {
    p->SetFocus();
  }
}

// ---------------------------------------------------------------- TcxSizeGrip

KELM_PUBLISH(TcxSizeGrip) {}

TcxSizeGrip::TcxSizeGrip(TComponent* AOwner) : TCustomControl(AOwner) {
  SetColor(clBtnFace);
  SetControlStyle(ControlStyle() + csNoDesignVisible);
}

void TcxSizeGrip::Paint() {
  Canvas()->Brush()->SetColor(Color());
  Canvas()->FillRect(ClientRect());
}

// ---------------------------------------------------------------- TcxSettingsController

namespace {
TcxSettingsController* gSettingsController = nullptr;
}

TcxSettingsController* SettingsController() {
  if (!gSettingsController) {
    gSettingsController = new TcxSettingsController;
    AddExitProc([] {
      delete gSettingsController;
      gSettingsController = nullptr;
    });
  }
  return gSettingsController;
}

TcxSettingsController::~TcxSettingsController() {
  if (FWindow) DeallocateHWnd(FWindow);
}

void TcxSettingsController::AddControl(TcxControl* AControl) {
  if (std::find(FControls.begin(), FControls.end(), AControl) != FControls.end()) return;
  FControls.push_back(AControl);
  if (!FWindow) FWindow = AllocateHWnd([this](TMessage& M) { WndProc(M); });
}

void TcxSettingsController::RemoveControl(TcxControl* AControl) {
  FControls.erase(std::remove(FControls.begin(), FControls.end(), AControl), FControls.end());
  if (FControls.empty() && FWindow) {
    DeallocateHWnd(FWindow);
    FWindow = 0;
  }
}

void TcxSettingsController::NotifyControls() {
  for (TcxControl* c : std::vector<TcxControl*>(FControls))
    if (std::find(FControls.begin(), FControls.end(), c) != FControls.end() && c->HandleAllocated())
      SendNotifyMessage(c->Handle(), CM_CXSCROLLBARSIZE, 0, 0);
}

void TcxSettingsController::WndProc(TMessage& Message) {
  try {
    if (Message.Msg == WM_SETTINGCHANGE && Message.WParam == SPI_SETNONCLIENTMETRICS) {
      NotifyControls();
      Message.Result = 0;
    }
  } catch (...) {
    Application->HandleException(this);
  }
}

// ---------------------------------------------------------------- the control's side

void TcxControl::CreateScrollBars() {
  FHScrollBar = new TcxControlScrollBar(this);
  FHScrollBar->SetKind(sbHorizontal);
  FHScrollBar->SetOnScroll(TScrollEvent(this, &TcxControl::ForwardScroll));
  FVScrollBar = new TcxControlScrollBar(this);
  FVScrollBar->SetKind(sbVertical);
  FVScrollBar->SetOnScroll(TScrollEvent(this, &TcxControl::ForwardScroll));
  FSizeGrip = new TcxSizeGrip(this);
  FSizeGrip->SetVisible(false);
  SettingsController()->AddControl(this);
}

void TcxControl::DestroyScrollBars() {
  if (gSettingsController) gSettingsController->RemoveControl(this);
  delete FSizeGrip;
  FSizeGrip = nullptr;
  delete FVScrollBar;
  FVScrollBar = nullptr;
  delete FHScrollBar;
  FHScrollBar = nullptr;
}

void TcxControl::PrepareWindow() {
  if (!WantsScrollBars() || !FHScrollBar) return;
  FHScrollBar->SetParent(this);
  FVScrollBar->SetParent(this);
  FSizeGrip->SetParent(this);
}

bool TcxControl::WantsScrollBars() { return true; }

bool TcxControl::OwnsInternalControl(TControl* AControl) {
  return AControl && (AControl == FHScrollBar || AControl == FVScrollBar || AControl == FSizeGrip);
}

void TcxControl::RaiseInternalControls() {
  if (FHScrollBar) FHScrollBar->BringToFront();
  if (FVScrollBar) FVScrollBar->BringToFront();
  if (FSizeGrip) FSizeGrip->BringToFront();
}

bool TcxControl::HorzScrollBarVisible() const {
  auto* self = const_cast<TcxControl*>(this);
  if (!FHScrollBar || !self->WantsScrollBars()) return false;
  return FCalculatingScrollBarStates ? FHScrollBar->ScrollState.Visible : FHScrollBar->Visible();
}

bool TcxControl::VertScrollBarVisible() const {
  auto* self = const_cast<TcxControl*>(this);
  if (!FVScrollBar || !self->WantsScrollBars()) return false;
  return FCalculatingScrollBarStates ? FVScrollBar->ScrollState.Visible : FVScrollBar->Visible();
}

TRect TcxControl::HorzScrollBarRect() {
  TRect r = ContentBounds();
  r.Top = r.Bottom;
  r.Bottom = r.Top + FHScrollBar->Height();
  return r;
}

TRect TcxControl::VertScrollBarRect() {
  TRect r = ContentBounds();
  r.Left = r.Right;
  r.Right = r.Left + FVScrollBar->Width();
  return r;
}

TRect TcxControl::SizeGripRect() {
  const TRect h = FHScrollBar->BoundsRect(), v = FVScrollBar->BoundsRect();
  return Rect(v.Left, h.Top, v.Right, h.Bottom);
}

void TcxControl::SetShownScrollBars(TScrollStyle Value) {
  if (FShownScrollBars == Value) return;
  FShownScrollBars = Value;
  RefreshScrollBars();
}

void TcxControl::SetScrollBarState(TScrollBarKind Kind, int AMin, int AMax, int AStep, int APage, int APos,
                                   bool AllowShow, bool AllowHide) {
  TcxControlScrollBar* bar = Kind == sbHorizontal ? FHScrollBar : FVScrollBar;
  if (!bar) return;
  TcxScrollBarState s = bar->ScrollState;
  const TScrollStyle own = Kind == sbHorizontal ? ssHorizontal : ssVertical;
  s.ShowAllowed = AllowShow && (FShownScrollBars == own || FShownScrollBars == ssBoth);
  s.HideAllowed = AllowHide;
  if (s.ShowAllowed) {
    if (AMin > AMax || Int64(APage) >= Int64(AMax) - AMin + 1 || APos < AMin) {
      // Not needed: hidden, or shown inert when it may not hide.
      s.Visible = !AllowHide;
      if (!AllowHide) s.Enabled = false;
    } else {
      s.PageSize = APage;
      s.Min = AMin;
      s.Max = AMax;
      s.SmallChange = static_cast<SmallInt>(AStep);
      s.LargeChange = static_cast<SmallInt>(APage);
      s.Position = APos;
      s.Enabled = true;
      s.Visible = true;
    }
  } else {
    s.Visible = false;
  }
  bar->ScrollState = s;
}

void TcxControl::ApplyScrollState(TcxControlScrollBar* Bar) {
  const TcxScrollBarState& s = Bar->ScrollState;
  if (s.Visible) {
    // The state was checked when it was recorded; a position past the page end is clamped.
    Bar->AssignScrollValues(s.Min, s.Max, s.Position, s.PageSize, true);
    Bar->SetSmallChange(s.SmallChange);
    Bar->SetLargeChange(s.LargeChange);
  }
  Bar->SetEnabled(s.Enabled);
  Bar->SetVisible(s.Visible);
}

void TcxControl::ComputeScrollBarStates() {
  if (FCalculatingScrollBarStates) return;
  TRestore<bool> calculating(FCalculatingScrollBarStates, true);
  FHScrollBar->ScrollState.Visible = false;
  FVScrollBar->ScrollState.Visible = false;
  bool h, v;
  do {
    h = FHScrollBar->ScrollState.Visible;
    v = FVScrollBar->ScrollState.Visible;
    FillScrollBarStates();
  } while (h != FHScrollBar->ScrollState.Visible || v != FVScrollBar->ScrollState.Visible);
  DropBothBarsIfFitting();
}

void TcxControl::DropBothBarsIfFitting() {
  const TcxScrollBarState &hs = FHScrollBar->ScrollState, &vs = FVScrollBar->ScrollState;
  auto showing = [](const TcxScrollBarState& s) { return s.Visible && s.Enabled && s.HideAllowed; };
  if (!showing(hs) || !showing(vs)) return;
  // Each bar fits once the other's thickness is given back to the content.
  auto fits = [this](TScrollBarKind k, const TcxScrollBarState& s, int otherThickness) {
    return !ScrollBarCountsPixels(k) || Int64(otherThickness) + s.PageSize >= Int64(s.Max) - s.Min + 1;
  };
  const int hThick = FHScrollBar->Height(), vThick = FVScrollBar->Width();
  if (!ScrollBarCountsPixels(sbHorizontal) && !ScrollBarCountsPixels(sbVertical)) return;
  if (!fits(sbHorizontal, hs, vThick) || !fits(sbVertical, vs, hThick)) return;
  const TcxScrollBarState h = hs, v = vs;
  SetScrollBarState(sbHorizontal, h.Min, h.Max, h.SmallChange, h.PageSize + vThick, h.Position, h.ShowAllowed,
                    h.HideAllowed);
  SetScrollBarState(sbVertical, v.Min, v.Max, v.SmallChange, v.PageSize + hThick, v.Position, v.ShowAllowed,
                    v.HideAllowed);
}

void TcxControl::RefreshScrollBars() {
  if (!WantsScrollBars() || !FHScrollBar) return;
  const bool outermost = !FUpdatingScrollBars;
  if (outermost) {
    FSavedHorzVisible = FHScrollBar->Visible();
    FSavedVertVisible = FVScrollBar->Visible();
  }
  TRestore<bool> updating(FUpdatingScrollBars, true);
  TScopeExit unlock([&] {
    if (outermost) FScrollBarsLocked = false;
  });
  const bool hBefore = FHScrollBar->Visible(), vBefore = FVScrollBar->Visible();
  if (!FScrollBarsLocked) {
    ComputeScrollBarStates();
    FScrollBarsLocked = !outermost && FHScrollBar->ScrollState.Visible == FSavedHorzVisible &&
                        FVScrollBar->ScrollState.Visible == FSavedVertVisible;
  }
  if (FScrollBarsLocked) {
    // Showing and hiding would alternate: the bar that keeps changing stays, inert.
    for (auto [bar, saved] : {std::pair{FHScrollBar, FSavedHorzVisible}, std::pair{FVScrollBar, FSavedVertVisible}})
      if (saved != bar->Visible()) {
        bar->SetEnabled(false);
        bar->SetVisible(true);
      }
  } else {
    ApplyScrollState(FHScrollBar);
    ApplyScrollState(FVScrollBar);
  }
  if (hBefore != FHScrollBar->Visible() || vBefore != FVScrollBar->Visible()) {
    HandleBoundsChange();
  } else {
    FSizeGrip->SetVisible(FHScrollBar->Visible() && FVScrollBar->Visible());
    ArrangeScrollBars();
    if (ScrollBarsStayOnTop()) RaiseInternalControls();
  }
}

void TcxControl::ArrangeScrollBars() {
  if (FHScrollBar->Visible()) FHScrollBar->SetBoundsRect(HorzScrollBarRect());
  if (FVScrollBar->Visible()) FVScrollBar->SetBoundsRect(VertScrollBarRect());
  if (FSizeGrip->Visible()) FSizeGrip->SetBoundsRect(SizeGripRect());
}

void TcxControl::ScrollBarSizeMessage() {
  if (!WantsScrollBars() || !FHScrollBar) return;
  const int h = GetSystemMetrics(SM_CYHSCROLL), w = GetSystemMetrics(SM_CXVSCROLL);
  if (FHScrollBar->Height() == h && FVScrollBar->Width() == w) return;
  FHScrollBar->SetHeight(h);
  FVScrollBar->SetWidth(w);
  HandleBoundsChange();
}

void TcxControl::ForwardScroll(TObject* Sender, TScrollCode Code, int& Position) {
  ScrollContent(static_cast<TcxScrollBar*>(Sender)->Kind(), Code, Position);
}

void TcxControl::ScrollByDirection(int Direction) {
  if (Direction < 1 || Direction > 4 || !FHScrollBar) return;
  const TScrollBarKind kind = Direction >= 3 ? sbVertical : sbHorizontal;
  const TScrollCode code = Direction == 2 || Direction == 4 ? scLineDown : scLineUp;
  int pos = (kind == sbHorizontal ? FHScrollBar : FVScrollBar)->Position();
  ScrollContent(kind, code, pos);
}
