// Tool bars, their buttons, and cool bars.
#include "gui/ToolBar.h"

#include "core/ClassBuilder.h"
#include "gui/ActnList.h"
#include "gui/CtrlUtils_p.h"
#include "gui/Forms.h"
#include "gui/ImageListLink_p.h"
#include "gui/Menus.h"
#include "gui/WinGDI.h"

#include "core/Exceptions.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "core/Scope.h"

#include <algorithm>

using namespace ctrl_utils;

namespace {

// The edges of a tool window: outer and inner style on each chosen side.
UINT EdgeFlags(TEdgeStyle Inner, TEdgeStyle Outer) {
  UINT e = 0;
  if (Outer == esRaised) e |= BDR_RAISEDOUTER;
  if (Outer == esLowered) e |= BDR_SUNKENOUTER;
  if (Inner == esRaised) e |= BDR_RAISEDINNER;
  if (Inner == esLowered) e |= BDR_SUNKENINNER;
  return e;
}

UINT SideFlags(TEdgeBorders Sides) {
  UINT f = 0;
  if (Sides.Contains(ebLeft)) f |= BF_LEFT;
  if (Sides.Contains(ebTop)) f |= BF_TOP;
  if (Sides.Contains(ebRight)) f |= BF_RIGHT;
  if (Sides.Contains(ebBottom)) f |= BF_BOTTOM;
  return f;
}

// Shrinks a window rectangle by the edges; the same rule for tool bars and cool bars.
void ShrinkByEdges(TRect& R, TEdgeBorders Sides, TEdgeStyle Inner, TEdgeStyle Outer) {
  int w = (Inner != esNone ? 1 : 0) + (Outer != esNone ? 1 : 0);
  if (Sides.Contains(ebLeft)) R.Left += w;
  if (Sides.Contains(ebTop)) R.Top += w;
  if (Sides.Contains(ebRight)) R.Right -= w;
  if (Sides.Contains(ebBottom)) R.Bottom -= w;
}

// The checked look of a button that is down but not held: a fine checkerboard.
void FillChecked(HDC DC, const TRect& R) {
  COLORREF a = GetSysColor(COLOR_BTNHIGHLIGHT), b = GetSysColor(COLOR_BTNFACE);
  for (int y = R.Top; y < R.Bottom; ++y)
    for (int x = R.Left; x < R.Right; ++x) SetPixel(DC, x, y, ((x + y) & 1) ? a : b);
}

void DrawArrowDown(HDC DC, int CX, int CY, COLORREF Color) {
  for (int i = 0; i < 3; ++i) Line(DC, CX - 2 + i, CY + i, CX + 3 - i, CY + i, Color);
}

}  // namespace

// ================================================================ TToolButton

// Bound to an action, the button shows its Checked as Down and its ImageIndex.
bool TToolButton::ActionClientValue(TActionLinkProp Prop, Variant& Value) const {
  switch (Prop) {
    case alpChecked: Value = FDown; return true;
    case alpImageIndex: Value = FImageIndex; return true;
    default: return TGraphicControl::ActionClientValue(Prop, Value);
  }
}

void TToolButton::SetActionClientValue(TActionLinkProp Prop, const Variant& Value) {
  switch (Prop) {
    case alpChecked: SetDown(Value.AsBoolean()); break;
    case alpImageIndex: SetImageIndex(Value.AsInteger()); break;
    default: TGraphicControl::SetActionClientValue(Prop, Value); break;
  }
}

KELM_PUBLISH(TToolButton) { Published(b); }

TToolButton::TToolButton(TComponent* AOwner) : TGraphicControl(AOwner) {
  SetControlStyle({csCaptureMouse, csSetCaption});
  SetBounds(0, 0, 23, 22);
}

TToolButton::~TToolButton() {
  Destroying();
  if (FDropdownMenu) FDropdownMenu->RemoveFreeNotification(this);
}

TToolBar* TToolButton::ToolBar() const { return dynamic_cast<TToolBar*>(Parent()); }

int TToolButton::Index() const {
  TToolBar* tb = ToolBar();
  if (!tb) return -1;
  int n = 0;
  for (TControl* c : tb->FButtons) {
    if (c == this) return n;
    if (dynamic_cast<TToolButton*>(c)) ++n;
  }
  return -1;
}

void TToolButton::SetParent(TWinControl* AParent) {
  TGraphicControl::SetParent(AParent);
  Invalidate();
}

void TToolButton::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  TGraphicControl::SetBounds(ALeft, ATop, AWidth, AHeight);
}

void TToolButton::SetDown(bool v) {
  if (FDown == v) return;
  FDown = v;
  if (v && FGrouped) UpdateGroup();
  Invalidate();
}

void TToolButton::SetDropdownMenu(TPopupMenu* v) {
  if (FDropdownMenu == v) return;
  if (FDropdownMenu) FDropdownMenu->RemoveFreeNotification(this);
  FDropdownMenu = v;
  if (v) v->FreeNotification(this);
}

void TToolButton::SetImageIndex(int v) {
  if (FImageIndex == v) return;
  FImageIndex = v;
  Invalidate();
}

void TToolButton::SetIndeterminate(bool v) {
  if (FIndeterminate == v) return;
  FIndeterminate = v;
  Invalidate();
}

void TToolButton::SetMarked(bool v) {
  if (FMarked == v) return;
  FMarked = v;
  Invalidate();
}

void TToolButton::SetStyle(TToolButtonStyle v) {
  if (FStyle == v) return;
  bool wasSep = IsSeparator();
  FStyle = v;
  // A separator is narrow unless the layout gave it a width.
  if (IsSeparator() && !wasSep && !ComponentState().Contains(csLoading)) SetWidth(8);
  if (TToolBar* tb = ToolBar()) tb->ButtonsChanged();
  Invalidate();
}

void TToolButton::SetWrap(bool v) {
  if (FWrap == v) return;
  FWrap = v;
  if (TToolBar* tb = ToolBar()) tb->ButtonsChanged();
}

void TToolButton::Notification(TComponent* AComponent, TOperation Operation) {
  TGraphicControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FDropdownMenu) FDropdownMenu = nullptr;
}

// The buttons of a group: the run of grouped check buttons around this one.
void TToolButton::UpdateGroup() {
  TToolBar* tb = ToolBar();
  if (!tb || !FGrouped || FStyle != tbsCheck) return;
  auto& v = tb->FButtons;
  auto it = std::find(v.begin(), v.end(), static_cast<TControl*>(this));
  if (it == v.end()) return;
  auto inGroup = [](TControl* c) {
    auto* b = dynamic_cast<TToolButton*>(c);
    return b && b->FGrouped && b->FStyle == tbsCheck;
  };
  auto first = it;
  while (first != v.begin() && inGroup(*(first - 1))) --first;
  for (auto i = first; i != v.end() && inGroup(*i); ++i) {
    auto* b = static_cast<TToolButton*>(*i);
    if (b != this && b->FDown) {
      b->FDown = false;
      b->Invalidate();
    }
  }
}

bool TToolButton::InArrow(int X) const { return FStyle == tbsDropDown && X >= Width() - DropDownWidth; }

bool TToolButton::CheckMenuDropdown() {
  if (!FDropdownMenu) return false;
  TPoint p = ClientToScreen({0, Height()});
  FMenuShowing = true;
  Invalidate();
  FDropdownMenu->SetPopupComponent(this);
  {
    TScopeExit shown([this] {
      FMenuShowing = false;
      Invalidate();
    });
    FDropdownMenu->Popup(p.X, p.Y);
  }
  return true;
}

void TToolButton::Click() { TGraphicControl::Click(); }

void TToolButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft && Enabled() && !IsSeparator()) {
    if (InArrow(X) || (FStyle == tbsButton && FDropdownMenu)) {
      // The menu runs its own loop; the button is not pressed for a click.
      SetMouseCapture(false);
      if (CheckMenuDropdown()) {
        TGraphicControl::MouseDown(Button, Shift, X, Y);
        return;
      }
    }
    FPressed = true;
    FPressInside = true;
    Invalidate();
  }
  TGraphicControl::MouseDown(Button, Shift, X, Y);
}

void TToolButton::MouseMove(TShiftState Shift, int X, int Y) {
  if (FPressed) {
    bool inside = PtInRect(ClientRect(), {X, Y});
    if (inside != FPressInside) {
      FPressInside = inside;
      Invalidate();
    }
  }
  TGraphicControl::MouseMove(Shift, X, Y);
}

void TToolButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  bool click = false;
  if (Button == mbLeft && FPressed) {
    FPressed = false;
    click = FPressInside && PtInRect(ClientRect(), {X, Y});
    FPressInside = false;
    Invalidate();
  }
  TGraphicControl::MouseUp(Button, Shift, X, Y);
  if (!click) return;
  if (FStyle == tbsCheck) {
    // A grouped button that is down stays down unless the group may be all up.
    if (!(FDown && FGrouped && !FAllowAllUp)) SetDown(!FDown);
  }
  Click();
}

void TToolButton::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case CM_MOUSEENTER:
      if (M.LParam == 0 && !FHot) {
        FHot = true;
        Invalidate();
      }
      break;
    case CM_MOUSELEAVE:
      if (M.LParam == 0 && FHot) {
        FHot = false;
        Invalidate();
      }
      break;
    case CM_TEXTCHANGED:
      if (TToolBar* tb = ToolBar(); tb && tb->ShowCaptions()) tb->ButtonsChanged();
      Invalidate();
      break;
    case CM_VISIBLECHANGED:
      TGraphicControl::Dispatch(M);
      if (TToolBar* tb = ToolBar()) tb->ButtonsChanged();
      return;
    default:
      break;
  }
  TGraphicControl::Dispatch(M);
}

void TToolButton::Paint() {
  HDC dc = Canvas()->Handle();
  TRect r = ClientRect();
  bool flat = ToolBar() && ToolBar()->Flat();
  if (IsSeparator()) {
    PaintSeparator(dc, r, flat);
    return;
  }
  bool pressed = (FPressed && FPressInside) || (FMenuShowing && FStyle != tbsDropDown);
  TRect face = r;
  if (FStyle == tbsDropDown) face.Right -= DropDownWidth;
  PaintFace(dc, face, flat, pressed);
  if (FStyle == tbsDropDown) PaintDropDownArrow(dc, {face.Right, r.Top, r.Right, r.Bottom}, flat);
  PaintImageAndCaption(dc, face, pressed || FDown);
  if (FMarked) {
    TRect m = face;
    InflateRect(m, -2, -2);
    DrawFocusRect(dc, m);
  }
}

// A divider, and a separator of a flat bar, is an etched line in the middle.
void TToolButton::PaintSeparator(HDC DC, const TRect& R, bool Flat) {
  if (FStyle != tbsDivider && !Flat) return;
  int x = R.Width() / 2 - 1;
  Line(DC, x, R.Top + 1, x, R.Bottom - 1, GetSysColor(COLOR_BTNSHADOW));
  Line(DC, x + 1, R.Top + 1, x + 1, R.Bottom - 1, GetSysColor(COLOR_BTNHIGHLIGHT));
}

// The background and frame: a flat button shows a frame only when down or under the mouse.
void TToolButton::PaintFace(HDC DC, const TRect& Face, bool Flat, bool Pressed) {
  bool sunk = Pressed || FDown;
  if (FDown && !Pressed) FillChecked(DC, Face);
  TRect e = Face;
  if (!Flat) DrawEdge(DC, e, sunk ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | (sunk ? 0u : UINT(BF_SOFT)));
  else if (sunk) DrawEdge(DC, e, BDR_SUNKENOUTER, BF_RECT);
  else if (FHot && Enabled()) DrawEdge(DC, e, BDR_RAISEDINNER, BF_RECT);
}

// The drop-down part: sunk while its menu shows.
void TToolButton::PaintDropDownArrow(HDC DC, const TRect& Arrow, bool Flat) {
  bool sunk = FMenuShowing;
  if (!Flat || FHot || sunk) {
    TRect e = Arrow;
    DrawEdge(DC, e, sunk ? BDR_SUNKENOUTER : (Flat ? BDR_RAISEDINNER : EDGE_RAISED), BF_RECT);
  }
  int off = sunk ? 1 : 0;
  int cx = (Arrow.Left + Arrow.Right) / 2 + off, cy = (Arrow.Top + Arrow.Bottom) / 2 - 1 + off;
  DrawArrowDown(DC, cx, cy, Enabled() ? GetSysColor(COLOR_BTNTEXT) : GetSysColor(COLOR_BTNSHADOW));
}

// The bar's image list for the button's state: the disabled or hot list when the bar has one;
// a disabled button without a disabled list draws its image greyed.
TCustomImageList* TToolButton::ShownImages(bool& DrawDisabled) const {
  DrawDisabled = false;
  TToolBar* tb = ToolBar();
  if (!tb) return nullptr;
  if (!Enabled()) {
    if (tb->DisabledImages()) return tb->DisabledImages();
    DrawDisabled = true;
  } else if (FHot && tb->HotImages()) {
    return tb->HotImages();
  }
  return tb->Images();
}

// The image and caption, side by side on a list bar and stacked otherwise, centred in the face
// and moved one pixel down and right while the button is sunk.
void TToolButton::PaintImageAndCaption(HDC DC, const TRect& Face, bool Sunk) {
  TToolBar* tb = ToolBar();
  bool drawDisabled = false;
  TCustomImageList* use = ShownImages(drawDisabled);
  bool showCaption = tb && tb->ShowCaptions();
  bool list = tb && tb->List();
  String caption = Caption();
  int iw = use && FImageIndex >= 0 ? use->Width() : 0, ih = use && FImageIndex >= 0 ? use->Height() : 0;
  int th = showCaption && !caption.empty() ? CellHeightOf(Font()) : 0;
  int tw = showCaption ? TextWidthOf(Font(), StripHotkey(caption)) : 0;
  int off = Sunk ? 1 : 0;
  TRect content = Face;
  InflateRect(content, -2, -2);
  int ix, iy;
  TRect textRect;
  if (list) {
    int total = iw + (iw && tw ? 4 : 0) + tw;
    ix = content.Left + std::max(0, (content.Width() - total) / 2);
    iy = content.Top + (content.Height() - ih) / 2;
    textRect = {ix + iw + (iw ? 4 : 0), content.Top, content.Right, content.Bottom};
  } else {
    int gap = iw && th ? 2 : 0;
    int total = ih + gap + th;
    ix = content.Left + (content.Width() - iw) / 2;
    iy = content.Top + std::max(0, (content.Height() - total) / 2);
    textRect = {content.Left, iy + ih + gap, content.Right, iy + ih + gap + th};
  }
  OffsetRect(textRect, off, off);
  if (use && FImageIndex >= 0 && FImageIndex < use->Count())
    use->Draw(Canvas(), ix + off, iy + off, FImageIndex, !drawDisabled);
  if (showCaption && !caption.empty()) PaintCaption(DC, textRect, list);
}

// A disabled caption is embossed: a light copy one pixel down and right under a shadow one.
void TToolButton::PaintCaption(HDC DC, const TRect& TextRect, bool List) {
  String caption = Caption();
  HGDIOBJ old = SelectObject(DC, Font()->Handle());
  SetBkMode(DC, TRANSPARENT);
  UINT fmt = DT_SINGLELINE | DT_VCENTER | (List ? DT_LEFT : DT_CENTER);
  if (!Enabled()) {
    TRect t1 = TextRect;
    OffsetRect(t1, 1, 1);
    SetTextColor(DC, GetSysColor(COLOR_BTNHIGHLIGHT));
    DrawText(DC, caption, -1, &t1, fmt);
    SetTextColor(DC, GetSysColor(COLOR_BTNSHADOW));
  } else {
    SetTextColor(DC, ColorToRGB(Font()->Color()));
  }
  TRect t = TextRect;
  DrawText(DC, caption, -1, &t, fmt);
  SelectObject(DC, old);
}

// ================================================================ TToolBar

KELM_PUBLISH(TToolBar) { Published(b); }

TToolBar::TToolBar(TComponent* AOwner) : TWinControl(AOwner) {
  SetControlStyle({csAcceptsControls, csCaptureMouse, csClickEvents, csDoubleClicks, csMenuEvents, csSetCaption});
  SetColor(clBtnFace);
  SetBounds(0, 0, 150, 29);
  SetAlign(alTop);
  FImageLink = std::make_unique<TChangeLink>();
  FImageLink->SetOnChange(TNotifyEvent(this, &TToolBar::ImagesChanged));
}

TToolBar::~TToolBar() {
  Destroying();
  for (TCustomImageList* l : {FImages, FDisabledImages, FHotImages})
    if (l) l->UnRegisterChanges(FImageLink.get());
}

void TToolBar::CreateParams(TCreateParams& P) { TWinControl::CreateParams(P); }

TToolButton* TToolBar::Buttons(int Index) const {
  int n = 0;
  for (TControl* c : FButtons)
    if (auto* b = dynamic_cast<TToolButton*>(c)) {
      if (n == Index) return b;
      ++n;
    }
  throw EListError(Format(SListIndexError, {Index}));
}

void TToolBar::SetButtonHeight(int v) {
  if (v <= 0 || v == FButtonHeight) return;
  FButtonHeight = v;
  ButtonsChanged();
}
void TToolBar::SetButtonWidth(int v) {
  if (v <= 0 || v == FButtonWidth) return;
  FButtonWidth = v;
  ButtonsChanged();
}
void TToolBar::SetFlat(bool v) {
  FFlat = v;
  ButtonsChanged();
}
void TToolBar::SetList(bool v) {
  FList = v;
  ButtonsChanged();
}
void TToolBar::SetShowCaptions(bool v) {
  FShowCaptions = v;
  ButtonsChanged();
}
void TToolBar::SetWrapable(bool v) {
  FWrapable = v;
  ButtonsChanged();
}
void TToolBar::SetIndent(int v) {
  FIndent = std::max(0, v);
  ButtonsChanged();
}
void TToolBar::SetTransparent(bool v) {
  FTransparent = v;
  Invalidate();
}
void TToolBar::SetAutoSize(bool v) {
  TWinControl::SetAutoSize(v);
  ButtonsChanged();
}

void TToolBar::SetEdgeBorders(TEdgeBorders v) {
  FEdgeBorders = v;
  FrameChanged();
}
void TToolBar::SetEdgeInner(TEdgeStyle v) {
  FEdgeInner = v;
  FrameChanged();
}
void TToolBar::SetEdgeOuter(TEdgeStyle v) {
  FEdgeOuter = v;
  FrameChanged();
}

void TToolBar::SetImages(TCustomImageList* v) {
  SwapImageList(FImages, v, FImageLink.get(), this);
  ButtonsChanged();
}
void TToolBar::SetDisabledImages(TCustomImageList* v) {
  SwapImageList(FDisabledImages, v, FImageLink.get(), this);
  ButtonsChanged();
}
void TToolBar::SetHotImages(TCustomImageList* v) {
  SwapImageList(FHotImages, v, FImageLink.get(), this);
  ButtonsChanged();
}

void TToolBar::ImagesChanged(TObject*) { ButtonsChanged(); }

void TToolBar::Notification(TComponent* AComponent, TOperation Operation) {
  TWinControl::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FImages) FImages = nullptr;
  if (AComponent == FDisabledImages) FDisabledImages = nullptr;
  if (AComponent == FHotImages) FHotImages = nullptr;
}

TSize TToolBar::ButtonSize() const {
  int w = FButtonWidth, h = FButtonHeight;
  if (FShowCaptions) {
    // Every button is as wide as the widest caption needs.
    int tw = 0;
    bool anyText = false;
    for (TControl* c : FButtons)
      if (auto* b = dynamic_cast<TToolButton*>(c); b && !b->IsSeparator() && !b->Caption().empty()) {
        tw = std::max(tw, TextWidthOf(Font(), StripHotkey(b->Caption())));
        anyText = true;
      }
    int iw = FImages ? FImages->Width() : 0, ih = FImages ? FImages->Height() : 0;
    int th = anyText ? CellHeightOf(Font()) : 0;
    if (FList) {
      w = std::max(w, iw + (iw && tw ? 4 : 0) + tw + 8);
      h = std::max(h, std::max(ih, th) + 6);
    } else {
      w = std::max(w, std::max(iw, tw) + 6);
      h = std::max(h, ih + th + (ih && th ? 2 : 0) + 6);
    }
  }
  return {w, h};
}

void TToolBar::ButtonsChanged() {
  if (ComponentState().Contains(csLoading) || ComponentState().Contains(csDestroying)) return;
  Realign();
  Invalidate();
  for (TControl* c : FButtons) c->Invalidate();
}

void TToolBar::SortButtonsByPosition() {
  std::stable_sort(FButtons.begin(), FButtons.end(), [](TControl* a, TControl* b) {
    if (a->Top() + a->Height() <= b->Top()) return true;
    if (b->Top() + b->Height() <= a->Top()) return false;
    return a->Left() < b->Left();
  });
}

void TToolBar::Loaded() {
  TWinControl::Loaded();
  SortButtonsByPosition();
  ButtonsChanged();
}

void TToolBar::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
  for (TControl* c : FButtons)
    if (c->Owner() == Root) Proc(c);
}

void TToolBar::AlignControls(TControl* AControl, TRect& Rect) {
  if (FLaying) return;
  FLaying = true;
  TSize bs = ButtonSize();
  TRect area = ClientRect();
  int x = FIndent, y = 0, rowH = bs.cy;
  int rows = 1;
  for (TControl* c : FButtons) {
    if (!c->Visible() && !ComponentState().Contains(csDesigning)) continue;
    auto* b = dynamic_cast<TToolButton*>(c);
    int w, h;
    if (b) {
      w = b->IsSeparator() ? b->Width() : bs.cx + (b->Style() == tbsDropDown ? TToolButton::DropDownWidth : 0);
      h = bs.cy;
    } else {
      w = c->Width();
      h = c->Height();
    }
    if (FWrapable && x > FIndent && x + w > area.Width()) {
      x = FIndent;
      y += rowH;
      ++rows;
    }
    c->SetBounds(x, y + (b ? 0 : std::max(0, (bs.cy - h) / 2)), w, h);
    x += w;
    if (b && b->Wrap()) {
      x = FIndent;
      y += rowH;
      ++rows;
    }
  }
  FRowCount = rows;
  FLaying = false;
  if (AutoSize() && Align() != alLeft && Align() != alRight) {
    TRect nc = NonClientMargins();
    int want = y + rowH + nc.Top + nc.Bottom;
    if (x == FIndent && y > 0) want -= rowH;  // the last wrap opened no row
    if (want != Height()) SetHeight(want);
  }
}

void TToolBar::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case CM_CONTROLLISTCHANGE: {
      auto* c = reinterpret_cast<TControl*>(M.WParam);
      if (M.LParam) {
        if (std::find(FButtons.begin(), FButtons.end(), c) == FButtons.end()) FButtons.push_back(c);
      } else {
        FButtons.erase(std::remove(FButtons.begin(), FButtons.end(), c), FButtons.end());
      }
      TWinControl::Dispatch(M);
      if (!M.LParam) ButtonsChanged();
      return;
    }
    case CM_CONTROLCHANGE:
      TWinControl::Dispatch(M);
      ButtonsChanged();
      return;
    case WM_NCCALCSIZE: {
      TWinControl::Dispatch(M);
      if (auto* r = reinterpret_cast<TRect*>(M.LParam)) ShrinkByEdges(*r, FEdgeBorders, FEdgeInner, FEdgeOuter);
      return;
    }
    case WM_NCPAINT: {
      TWinControl::Dispatch(M);
      if (HDC dc = reinterpret_cast<HDC>(M.WParam)) {
        TRect r{0, 0, Width(), Height()};
        UINT edge = EdgeFlags(FEdgeInner, FEdgeOuter);
        if (edge) DrawEdge(dc, r, edge, SideFlags(FEdgeBorders));
      }
      return;
    }
    case CM_FONTCHANGED:
      TWinControl::Dispatch(M);
      ButtonsChanged();
      return;
    default:
      TWinControl::Dispatch(M);
  }
}

void TToolBar::PaintWindow(HDC DC) {
  TRect c = ClientRect();
  COLORREF back = ColorToRGB(Color());
  if (FTransparent && Parent()) back = ColorToRGB(Parent()->Color());
  Fill(DC, c, back);
}

// ================================================================ TCoolBand

KELM_PUBLISH(TCoolBand) { Published(b); }

TCoolBand::TCoolBand(TCollection* Collection) : TCollectionItem(Collection) {}

TCoolBand::~TCoolBand() {
  if (FControl) {
    if (TCoolBar* cb = CoolBar()) FControl->RemoveFreeNotification(cb);
  }
}

TCoolBar* TCoolBand::CoolBar() const {
  auto* bands = dynamic_cast<TCoolBands*>(Collection());
  return bands ? bands->CoolBar() : nullptr;
}

void TCoolBand::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TCoolBand*>(Source)) {
    FBreak = s->FBreak;
    FFixedSize = s->FFixedSize;
    FMinHeight = s->FMinHeight;
    FMinWidth = s->FMinWidth;
    FText = s->FText;
    FVisible = s->FVisible;
    FWidth = s->FWidth;
    FImageIndex = s->FImageIndex;
    Changed(true);
    return;
  }
  TCollectionItem::Assign(Source);
}

String TCoolBand::DisplayName() const {
  if (!FText.empty()) return FText;
  if (FControl) return FControl->Name();
  return TCollectionItem::DisplayName();
}

void TCoolBand::SetControl(TWinControl* v) {
  if (FControl == v) return;
  TCoolBar* cb = CoolBar();
  if (FControl && cb) FControl->RemoveFreeNotification(cb);
  FControl = v;
  if (v && cb) {
    v->FreeNotification(cb);
    // One band per control.
    for (int i = 0; i < cb->Bands()->Count(); ++i) {
      TCoolBand* other = cb->Bands()->Items(i);
      if (other != this && other->FControl == v) other->FControl = nullptr;
    }
    if (v->Parent() != cb) v->SetParent(cb);
  }
  Changed(true);
}

void TCoolBand::SetBreak(bool v) {
  FBreak = v;
  Changed(true);
}
void TCoolBand::SetFixedSize(bool v) {
  FFixedSize = v;
  Changed(true);
}
void TCoolBand::SetMinHeight(int v) {
  FMinHeight = std::max(0, v);
  Changed(true);
}
void TCoolBand::SetMinWidth(int v) {
  FMinWidth = std::max(0, v);
  Changed(true);
}
void TCoolBand::SetText(const String& v) {
  FText = v;
  Changed(true);
}
void TCoolBand::SetVisible(bool v) {
  FVisible = v;
  if (FControl) FControl->SetVisible(v);
  Changed(true);
}
void TCoolBand::SetWidth(int v) {
  FWidth = std::max(0, v);
  Changed(true);
}
void TCoolBand::SetImageIndex(int v) {
  FImageIndex = v;
  Changed(false);
}

KELM_PUBLISH(TCoolBands) {}

TCoolBands::TCoolBands(TCoolBar* CoolBar) : TOwnedCollection(CoolBar, TCoolBand::StaticClass()), FCoolBar(CoolBar) {}

TCoolBand* TCoolBands::FindBand(TControl* AControl) const {
  for (int i = 0; i < Count(); ++i)
    if (Items(i)->Control() == AControl) return Items(i);
  return nullptr;
}

void TCoolBands::Update(TCollectionItem*) {
  if (FCoolBar) FCoolBar->BandsChanged();
}

// ================================================================ TCoolBar

KELM_PUBLISH(TCoolBar) { Published(b); }

TCoolBar::TCoolBar(TComponent* AOwner) : TWinControl(AOwner) {
  FBands = std::make_unique<TCoolBands>(this);
  SetControlStyle({csAcceptsControls, csCaptureMouse, csClickEvents, csDoubleClicks, csOpaque});
  SetColor(clBtnFace);
  SetBounds(0, 0, 150, 75);
  SetAlign(alTop);
}

TCoolBar::~TCoolBar() {
  Destroying();
  FBands.reset();
}

void TCoolBar::SetShowText(bool v) {
  FShowText = v;
  BandsChanged();
}
void TCoolBar::SetEdgeBorders(TEdgeBorders v) {
  FEdgeBorders = v;
  FrameChanged();
}
void TCoolBar::SetBandBorderStyle(TBorderStyle v) {
  FBandBorderStyle = v;
  BandsChanged();
}
void TCoolBar::SetImages(TCustomImageList* v) {
  if (FImages == v) return;
  if (FImages) FImages->RemoveFreeNotification(this);
  FImages = v;
  if (v) v->FreeNotification(this);
  BandsChanged();
}
void TCoolBar::SetAutoSize(bool v) {
  TWinControl::SetAutoSize(v);
  BandsChanged();
}

void TCoolBar::BandsChanged() {
  if (ComponentState().Contains(csLoading) || ComponentState().Contains(csDestroying)) return;
  Realign();
  Invalidate();
}

void TCoolBar::Loaded() {
  TWinControl::Loaded();
  // A control that lies on the bar without a band gets one of its own.
  for (int i = 0; i < ControlCount(); ++i)
    if (auto* w = dynamic_cast<TWinControl*>(Controls(i)); w && !FBands->FindBand(w)) FBands->Add()->SetControl(w);
  BandsChanged();
}

void TCoolBar::Notification(TComponent* AComponent, TOperation Operation) {
  TWinControl::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FImages) FImages = nullptr;
  if (FBands)
    for (int i = 0; i < FBands->Count(); ++i)
      if (FBands->Items(i)->Control() == AComponent) FBands->Items(i)->FControl = nullptr;
}

int TCoolBar::GripWidth(const TCoolBand* Band) const {
  return Band->FixedSize() || FFixedSize ? 4 : 12;
}

TRect TCoolBar::BandRect(int Index) const {
  if (Index < 0 || Index >= static_cast<int>(FBandRects.size())) return {};
  return FBandRects[static_cast<std::size_t>(Index)];
}

void TCoolBar::AlignControls(TControl* AControl, TRect& Rect) {
  if (FLaying || !FBands) return;
  FLaying = true;
  int n = FBands->Count();
  FBandRects.assign(static_cast<std::size_t>(n), TRect{});
  TRect area = ClientRect();
  // Bands into rows: a band with Break (and the first) starts a row.
  std::vector<std::vector<int>> rows;
  for (int i = 0; i < n; ++i) {
    TCoolBand* b = FBands->Items(i);
    if (!b->Visible()) continue;
    if (rows.empty() || b->Break()) rows.emplace_back();
    rows.back().push_back(i);
  }
  int y = 0;
  for (auto& row : rows) {
    int h = 0;
    for (int i : row) {
      TCoolBand* b = FBands->Items(i);
      int ch = b->Control() ? b->Control()->Height() : 0;
      h = std::max({h, b->MinHeight(), ch});
    }
    h += 4;
    int x = 0;
    for (std::size_t k = 0; k < row.size(); ++k) {
      TCoolBand* b = FBands->Items(row[k]);
      int textW = FShowText && !b->Text().empty() ? [&] {
        HDC dc = GetDC(0);
        HGDIOBJ old = SelectObject(dc, Font()->Handle());
        TRect t{0, 0, 0, 0};
        DrawText(dc, b->Text(), -1, &t, DT_CALCRECT | DT_SINGLELINE);
        SelectObject(dc, old);
        ReleaseDC(0, dc);
        return t.Width() + 4;
      }() : 0;
      int w = b->Width() > 0 ? b->Width() : (b->Control() ? b->Control()->Width() + GripWidth(b) + textW + 4 : 60);
      w = std::max(w, b->MinWidth());
      // The last band of a row takes what is left.
      if (k + 1 == row.size()) w = std::max(w, area.Width() - x);
      TRect br{x, y, x + w, y + h};
      FBandRects[static_cast<std::size_t>(row[k])] = br;
      if (TWinControl* c = b->Control()) {
        int cl = br.Left + GripWidth(b) + textW + 2;
        int cw = std::max(0, br.Right - cl - 2);
        int chh = std::max(0, h - 4);
        c->SetBounds(cl, br.Top + 2, cw, chh);
      }
      x += w;
    }
    y += h;
  }
  FLaying = false;
  if (AutoSize()) {
    TRect nc = NonClientMargins();
    int want = y + nc.Top + nc.Bottom;
    if (want != Height() && want > 0) SetHeight(want);
  }
}

void TCoolBar::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case WM_NCCALCSIZE:
      TWinControl::Dispatch(M);
      if (auto* r = reinterpret_cast<TRect*>(M.LParam)) ShrinkByEdges(*r, FEdgeBorders, esRaised, esLowered);
      return;
    case WM_NCPAINT:
      TWinControl::Dispatch(M);
      if (HDC dc = reinterpret_cast<HDC>(M.WParam)) {
        TRect r{0, 0, Width(), Height()};
        DrawEdge(dc, r, EdgeFlags(esRaised, esLowered), SideFlags(FEdgeBorders));
      }
      return;
    case CM_CONTROLLISTCHANGE:
      TWinControl::Dispatch(M);
      if (!M.LParam && FBands) {
        if (TCoolBand* b = FBands->FindBand(reinterpret_cast<TControl*>(M.WParam))) b->FControl = nullptr;
      }
      BandsChanged();
      return;
    case WM_ERASEBKGND:
      M.Result = 1;
      return;
    default:
      TWinControl::Dispatch(M);
  }
}

void TCoolBar::PaintWindow(HDC DC) {
  TRect c = ClientRect();
  Fill(DC, c, ColorToRGB(Color()));
  for (int i = 0; i < static_cast<int>(FBandRects.size()); ++i) {
    TRect br = FBandRects[static_cast<std::size_t>(i)];
    if (IsRectEmpty(br)) continue;
    TCoolBand* b = FBands->Items(i);
    if (FBandBorderStyle == bsSingle) {
      TRect e = br;
      DrawEdge(DC, e, EDGE_ETCHED, BF_RECT);
    }
    if (!b->FixedSize() && !FFixedSize) {
      // The grip: two raised lines.
      for (int k = 0; k < 2; ++k) {
        TRect g{br.Left + 3 + k * 3, br.Top + 3, br.Left + 6 + k * 3, br.Bottom - 3};
        DrawEdge(DC, g, BDR_RAISEDINNER, BF_RECT);
      }
    }
    if (FShowText && !b->Text().empty()) {
      HGDIOBJ old = SelectObject(DC, Font()->Handle());
      SetBkMode(DC, TRANSPARENT);
      SetTextColor(DC, ColorToRGB(Font()->Color()));
      TRect t{br.Left + GripWidth(b), br.Top, br.Right, br.Bottom};
      DrawText(DC, b->Text(), -1, &t, DT_SINGLELINE | DT_VCENTER);
      SelectObject(DC, old);
    }
  }
}
