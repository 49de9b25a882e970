// Tab controls, page controls and the status bar.
#include "gui/ComCtrls.h"

#include "core/ClassBuilder.h"
#include "gui/CanvasPaint_p.h"
#include "gui/CtrlUtils_p.h"
#include "core/Filer.h"
#include "gui/Application.h"
#include "gui/Forms.h"
#include "gui/ImageListLink_p.h"
#include "gui/Screen.h"
#include "gui/WinGDI.h"

#include "core/Exceptions.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "core/Scope.h"

#include <algorithm>

using namespace ctrl_utils;


// ================================================================ TCustomTabControl

KELM_PUBLISH(TCustomTabControl) {}

TCustomTabControl::TCustomTabControl(TComponent* AOwner) : TCustomControl(AOwner) {
  SetControlStyle({csAcceptsControls, csDoubleClicks, csOpaque});
  SetBounds(0, 0, 289, 193);
  SetTabStop(true);
  FImageLink = std::make_unique<TChangeLink>();
  FImageLink->SetOnChange(TNotifyEvent::Lambda([this](TObject*) { TabsChanged(); }));
}

TCustomTabControl::~TCustomTabControl() {
  Destroying();
  if (FImages) FImages->UnRegisterChanges(FImageLink.get());
}

void TCustomTabControl::SetImages(TCustomImageList* v) {
  if (SwapImageList(FImages, v, FImageLink.get(), this)) TabsChanged();
}

void TCustomTabControl::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FImages) {
    FImages = nullptr;
    TabsChanged();
  }
}

void TCustomTabControl::SetMultiLine(bool v) {
  if (FMultiLine == v) return;
  FMultiLine = v;
  FFirstVisible = 0;
  TabsChanged();
}
void TCustomTabControl::SetOwnerDraw(bool v) {
  FOwnerDraw = v;
  Invalidate();
}
void TCustomTabControl::SetRaggedRight(bool v) {
  FRaggedRight = v;
  TabsChanged();
}
void TCustomTabControl::SetStyle(TTabStyle v) {
  if (FStyle == v) return;
  FStyle = v;
  TabsChanged();
}
void TCustomTabControl::SetTabHeight(int v) {
  FTabHeight = std::max(0, v);
  TabsChanged();
}
void TCustomTabControl::SetTabWidth(int v) {
  FTabWidth = std::max(0, v);
  TabsChanged();
}
void TCustomTabControl::SetTabPosition(TTabPosition v) {
  if (FTabPosition == v) return;
  FTabPosition = v;
  TabsChanged();
}

bool TCustomTabControl::CanChange() {
  bool allow = true;
  OnChanging(this, allow);
  return allow;
}

void TCustomTabControl::DrawTab(int TabIndex, const TRect& Rect, bool Active) {
  if (OnDrawTab) OnDrawTab(this, TabIndex, Rect, Active);
  else Canvas()->FillRect(Rect);
}

int TCustomTabControl::GetImageIndex(int TabIndex) {
  int i = TabIndex >= 0 && TabIndex < TabCount() ? Tab(TabIndex).ImageIndex : -1;
  if (i < 0) i = TabIndex;
  OnGetImageIndex(this, TabIndex, i);
  return i;
}

// ---------------------------------------------------------------- the tab list

void TCustomTabControl::InsertTab(int Index, const String& Caption, void* Data) {
  Index = std::clamp(Index, 0, TabCount());
  TTab t;
  t.Caption = Caption;
  t.Data = Data;
  FTabs.insert(FTabs.begin() + Index, t);
  if (FTabIndex >= Index) ++FTabIndex;
  TabsChanged();
}

void TCustomTabControl::DeleteTab(int Index) {
  if (Index < 0 || Index >= TabCount()) return;
  FTabs.erase(FTabs.begin() + Index);
  if (FTabIndex == Index) FTabIndex = -1;
  else if (FTabIndex > Index) --FTabIndex;
  if (FHot >= TabCount()) FHot = -1;
  if (FFirstVisible >= TabCount()) FFirstVisible = std::max(0, TabCount() - 1);
  TabsChanged();
}

void TCustomTabControl::ClearTabs() {
  FTabs.clear();
  FTabIndex = -1;
  FHot = -1;
  FFirstVisible = 0;
  TabsChanged();
}

void TCustomTabControl::SetTabCaption(int Index, const String& Caption) {
  if (Index < 0 || Index >= TabCount() || FTabs[static_cast<std::size_t>(Index)].Caption == Caption) return;
  FTabs[static_cast<std::size_t>(Index)].Caption = Caption;
  TabsChanged();
}

void TCustomTabControl::SetTabImage(int Index, int ImageIndex) {
  if (Index < 0 || Index >= TabCount()) return;
  FTabs[static_cast<std::size_t>(Index)].ImageIndex = ImageIndex;
  TabsChanged();
}

void TCustomTabControl::SelectTab(int Index) {
  if (Index < -1 || Index >= TabCount()) Index = -1;
  if (FTabIndex == Index) return;
  FTabIndex = Index;
  // A single line keeps the selected tab in view.
  if (!FMultiLine && Index >= 0 && Index < FFirstVisible) FFirstVisible = Index;
  FLayoutValid = false;
  Layout();
  if (!FMultiLine && Index >= 0) {
    while (FFirstVisible < Index && IsRectEmpty(FPlaces[static_cast<std::size_t>(Index)].Rect)) {
      ++FFirstVisible;
      FLayoutValid = false;
      Layout();
    }
  }
  Realign();
  Invalidate();
}

bool TCustomTabControl::ChangeTabByUser(int Index) {
  if (Index < 0 || Index >= TabCount() || Index == FTabIndex) return false;
  if (!CanChange()) return false;
  SelectTab(Index);
  Change();
  return true;
}

void TCustomTabControl::TabsChanged() {
  FLayoutValid = false;
  Realign();
  Invalidate();
}

// ---------------------------------------------------------------- geometry

int TCustomTabControl::TabTextWidth(int Index) const {
  const TTab& t = Tab(Index);
  int w = TextWidthOf(Font(), StripHotkey(t.Caption));
  if (FImages) w += FImages->Width() + 4;
  return w;
}

int TCustomTabControl::RowHeight() const {
  if (FTabHeight > 0) return FTabHeight;
  int h = CellHeightOf(Font()) + (FStyle == tsTabs ? 6 : 8);
  if (FImages) h = std::max(h, FImages->Height() + 6);
  return h;
}

void TCustomTabControl::Layout() const {
  if (FLayoutValid) return;
  FLayoutValid = true;
  int n = TabCount();
  FPlaces.assign(static_cast<std::size_t>(n), TTabPlace{});
  FRows = 0;
  FScrollArrows = false;
  if (n == 0) return;
  int rh = RowHeight();
  bool buttons = FStyle != tsTabs;
  int gap = buttons ? 3 : 0;
  std::vector<int> widths(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) widths[static_cast<std::size_t>(i)] = FTabWidth > 0 ? FTabWidth : TabTextWidth(i) + 12;
  if (Vertical()) {
    int w = 0;
    for (int x : widths) w = std::max(w, x);
    int y = buttons ? 0 : 2;
    for (int i = 0; i < n; ++i) {
      FPlaces[static_cast<std::size_t>(i)].Rect = {0, y, w, y + rh};
      y += rh + gap;
    }
    FRows = 1;
    return;
  }
  int left = buttons ? 0 : 2;
  int avail = std::max(1, ClientWidth() - left - (buttons ? 0 : 2));
  // Rows of tabs: one line, or as many as the widths need.
  std::vector<std::vector<int>> rows(1);
  int x = 0;
  for (int i = 0; i < n; ++i) {
    int w = widths[static_cast<std::size_t>(i)];
    if (FMultiLine && x > 0 && x + w > avail) {
      rows.emplace_back();
      x = 0;
    }
    rows.back().push_back(i);
    x += w + gap;
  }
  // The selected tab's row lies next to the pages (plain tabs only).
  if (!buttons && rows.size() > 1 && FTabIndex >= 0) {
    for (std::size_t r = 0; r < rows.size(); ++r)
      if (std::find(rows[r].begin(), rows[r].end(), FTabIndex) != rows[r].end()) {
        auto row = rows[r];
        rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(r));
        rows.push_back(row);
        break;
      }
  }
  FRows = static_cast<int>(rows.size());
  for (std::size_t r = 0; r < rows.size(); ++r) {
    int total = 0;
    for (int i : rows[r]) total += widths[static_cast<std::size_t>(i)] + gap;
    // Rows of a multi-line control are stretched to the full width, unless ragged.
    double stretch = 1.0;
    if (FMultiLine && !FRaggedRight && rows.size() > 1 && total > 0) stretch = double(avail) / total;
    int top = static_cast<int>(r) * (rh + (buttons ? gap : 0)) + (buttons ? 0 : 2);
    double fx = left;
    for (int i : rows[r]) {
      int w = static_cast<int>(widths[static_cast<std::size_t>(i)] * stretch);
      FPlaces[static_cast<std::size_t>(i)].Rect = {static_cast<int>(fx), top, static_cast<int>(fx) + w, top + rh};
      FPlaces[static_cast<std::size_t>(i)].Row = static_cast<int>(r);
      fx += w + gap;
    }
  }
  if (!FMultiLine) {
    // One line that does not fit: tabs before the first shown one are out of view, and
    // scroll arrows take the right end.
    if (x - gap > avail || FFirstVisible > 0) {
      FScrollArrows = true;
      int shift = FFirstVisible < n ? FPlaces[static_cast<std::size_t>(FFirstVisible)].Rect.Left - left : 0;
      int limit = ClientWidth() - 34;
      for (int i = 0; i < n; ++i) {
        TRect& r = FPlaces[static_cast<std::size_t>(i)].Rect;
        if (i < FFirstVisible) {
          r = {};
          continue;
        }
        OffsetRect(r, -shift, 0);
        if (r.Right > limit) r = {};
      }
    }
  }
  if (FTabPosition == tpBottom) {
    int area = TabAreaSize();
    for (TTabPlace& p : FPlaces) {
      if (IsRectEmpty(p.Rect)) continue;
      int t = ClientHeight() - area + (area - p.Rect.Bottom);
      int h = p.Rect.Height();
      p.Rect.Top = t;
      p.Rect.Bottom = t + h;
    }
  }
}

int TCustomTabControl::TabAreaSize() const {
  Layout();
  if (TabCount() == 0) return 0;
  int rh = RowHeight();
  if (Vertical()) {
    int w = 0;
    for (const TTabPlace& p : FPlaces) w = std::max(w, p.Rect.Width());
    return w + (FStyle == tsTabs ? 2 : 3);
  }
  if (FStyle == tsTabs) return FRows * rh + 2;
  return FRows * (rh + 3);
}

int TCustomTabControl::RowCount() const {
  Layout();
  return TabCount() == 0 ? 0 : FRows;
}

TRect TCustomTabControl::TabRect(int Index) const {
  Layout();
  if (Index < 0 || Index >= TabCount()) return {};
  return FPlaces[static_cast<std::size_t>(Index)].Rect;
}

int TCustomTabControl::IndexOfTabAt(int X, int Y) const {
  Layout();
  for (int i = 0; i < TabCount(); ++i)
    if (PtInRect(FPlaces[static_cast<std::size_t>(i)].Rect, {X, Y})) return i;
  return -1;
}

TRect TCustomTabControl::DisplayRect() const {
  TRect r = ClientRect();
  int area = TabAreaSize();
  switch (FTabPosition) {
    case tpTop: r.Top += area; break;
    case tpBottom: r.Bottom -= area; break;
    case tpLeft: r.Left += area; break;
    case tpRight: r.Right -= area; break;
  }
  if (FStyle == tsTabs) InflateRect(r, -4, -4);
  if (r.Right < r.Left) r.Right = r.Left;
  if (r.Bottom < r.Top) r.Bottom = r.Top;
  return r;
}

void TCustomTabControl::AdjustClientRect(TRect& Rect) { Rect = DisplayRect(); }

// ---------------------------------------------------------------- messages

void TCustomTabControl::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case WM_SIZE:
    case CM_FONTCHANGED:
      FLayoutValid = false;
      TCustomControl::Dispatch(M);
      Realign();
      Invalidate();
      return;
    case WM_GETDLGCODE:
      M.Result = DLGC_WANTARROWS;
      return;
    case CM_DIALOGKEY:
      // Ctrl+Tab turns the page while the focus is on the control or inside it.
      if (M.WParam == VK_TAB && IsKeyDown(VK_CONTROL) && TabCount() > 0) {
        TWinControl* active = Screen ? Screen->ActiveControl() : nullptr;
        if (Focused() || (active && ContainsControl(active))) {
          int n = TabCount();
          int step = IsKeyDown(VK_SHIFT) ? -1 : 1;
          int i = FTabIndex < 0 ? 0 : (FTabIndex + step + n) % n;
          ChangeTabByUser(i);
          M.Result = 1;
          return;
        }
      }
      TCustomControl::Dispatch(M);
      return;
    case WM_ERASEBKGND:
      M.Result = 1;
      return;
    default:
      TCustomControl::Dispatch(M);
  }
}

void TCustomTabControl::DefaultHandler(TMessage& M) {
  switch (M.Msg) {
    case TCM_GETITEMCOUNT:
      M.Result = TabCount();
      return;
    case TCM_GETCURSEL:
      M.Result = FTabIndex;
      return;
    case TCM_SETCURSEL:
      TCMSetCurSel(M);
      return;
    case TCM_GETITEMRECT:
      TCMGetItemRect(M);
      return;
    case TCM_HITTEST:
      TCMHitTest(M);
      return;
    case TCM_ADJUSTRECT:
      TCMAdjustRect(M);
      return;
    case TCM_GETROWCOUNT:
      M.Result = RowCount();
      return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      WMLButtonDown(M);
      return;
    case WM_MOUSEMOVE: {
      if (!FHotTrack) break;
      TPoint p = PointFromLParam(M.LParam);
      int i = IndexOfTabAt(p.X, p.Y);
      if (i != FHot) {
        FHot = i;
        Invalidate();
      }
      break;
    }
    case CM_MOUSELEAVE:
      if (FHot >= 0) {
        FHot = -1;
        Invalidate();
      }
      break;
    case WM_KEYDOWN: {
      int n = TabCount();
      if (n == 0) break;
      int step = 0;
      bool vertical = Vertical();
      if (M.WParam == (vertical ? VK_UP : VK_LEFT)) step = -1;
      if (M.WParam == (vertical ? VK_DOWN : VK_RIGHT)) step = 1;
      if (step != 0) {
        int i = FTabIndex < 0 ? 0 : FTabIndex + step;
        if (i >= 0 && i < n) ChangeTabByUser(i);
        return;
      }
      break;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      Invalidate();
      break;
    default:
      break;
  }
  TCustomControl::DefaultHandler(M);
}

// ---------------------------------------------------------------- painting

void TCustomTabControl::Paint() {
  HDC dc = Canvas()->Handle();
  TRect c = ClientRect();
  Fill(dc, c, ColorToRGB(Color()));
  if (FStyle == tsTabs) PaintFrame(dc);
  PaintTabs(dc);
  if (FScrollArrows && !FMultiLine) PaintScrollArrows(dc);
}

void TCustomTabControl::PaintFrame(HDC DC) {
  TRect f = DisplayRect();
  InflateRect(f, 4, 4);
  DrawEdge(DC, f, EDGE_RAISED, BF_RECT | BF_SOFT);
  // The selected tab opens into the page: no frame line under it.
  if (FTabIndex >= 0) {
    TRect t = TabRect(FTabIndex);
    if (IsRectEmpty(t)) return;
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    switch (FTabPosition) {
      case tpTop: Fill(DC, {t.Left - 1, f.Top, t.Right + 1, f.Top + 2}, face); break;
      case tpBottom: Fill(DC, {t.Left - 1, f.Bottom - 2, t.Right + 1, f.Bottom}, face); break;
      case tpLeft: Fill(DC, {f.Left, t.Top - 1, f.Left + 2, t.Bottom + 1}, face); break;
      case tpRight: Fill(DC, {f.Right - 2, t.Top - 1, f.Right, t.Bottom + 1}, face); break;
    }
  }
}

void TCustomTabControl::TCMSetCurSel(TMessage& M) {
  int old = FTabIndex;
  SelectTab(static_cast<int>(M.WParam));
  M.Result = old;
}

void TCustomTabControl::TCMGetItemRect(TMessage& M) {
  auto* r = reinterpret_cast<TRect*>(M.LParam);
  int i = static_cast<int>(M.WParam);
  if (!r || i < 0 || i >= TabCount()) {
    M.Result = 0;
    return;
  }
  *r = TabRect(i);
  M.Result = 1;
}

void TCustomTabControl::TCMHitTest(TMessage& M) {
  auto* h = reinterpret_cast<TCHITTESTINFO*>(M.LParam);
  if (!h) return;
  int i = IndexOfTabAt(h->pt.X, h->pt.Y);
  h->flags = i < 0 ? TCHT_NOWHERE : TCHT_ONITEMLABEL;
  if (i >= 0 && FImages) {
    TRect r = TabRect(i);
    if (h->pt.X < r.Left + 6 + FImages->Width()) h->flags = TCHT_ONITEMICON;
  }
  M.Result = i;
}

void TCustomTabControl::TCMAdjustRect(TMessage& M) {
  // WParam 0: a window rectangle becomes the display rectangle; otherwise the reverse.
  if (auto* r = reinterpret_cast<TRect*>(M.LParam)) {
    TRect d = DisplayRect();
    TRect c = ClientRect();
    if (M.WParam == 0) {
      r->Left += d.Left - c.Left;
      r->Top += d.Top - c.Top;
      r->Right -= c.Right - d.Right;
      r->Bottom -= c.Bottom - d.Bottom;
    } else {
      r->Left -= d.Left - c.Left;
      r->Top -= d.Top - c.Top;
      r->Right += c.Right - d.Right;
      r->Bottom += c.Bottom - d.Bottom;
    }
  }
}

void TCustomTabControl::WMLButtonDown(TMessage& M) {
  TPoint p = PointFromLParam(M.LParam);
  Layout();
  if (FScrollArrows && !FMultiLine) {
    TRect left, right;
    ScrollArrowRects(left, right);
    if (PtInRect(left, p) || PtInRect(right, p)) {
      int step = PtInRect(left, p) ? -1 : 1;
      bool lastShown = !IsRectEmpty(TabRect(TabCount() - 1));
      if ((step < 0 && FFirstVisible > 0) || (step > 0 && !lastShown)) {
        FFirstVisible += step;
        FLayoutValid = false;
        Invalidate();
      }
      return;
    }
  }
  int i = IndexOfTabAt(p.X, p.Y);
  if (i >= 0) {
    if (CanFocus() && GetFocus() != Handle()) SetFocus();
    if (Tab(i).Enabled) ChangeTabByUser(i);
  }
  TCustomControl::DefaultHandler(M);
}

namespace {

// How far the selected tab stands out of its row, by the side the tabs stand on.
struct TRaise {
  int Left, Top, Right, Bottom;
};
constexpr TRaise kSelectedRaise[] = {
    /* tpTop */ {-2, -2, 2, 1},
    /* tpBottom */ {-2, -1, 2, 2},
    /* tpLeft */ {-2, -2, 1, 2},
    /* tpRight */ {-1, -2, 2, 2},
};

// A tab's edges, line by line, by the side the tabs stand on: each end of a line is an edge of
// the tab's rectangle plus an offset. The side open to the page has no line.
enum TEdge : char { eLeft, eTop, eRight, eBottom };
enum TTone : char { toLight, toShadow, toDark };
struct TEdgeLine {
  TTabPosition Position;
  TEdge X1;
  int DX1;
  TEdge Y1;
  int DY1;
  TEdge X2;
  int DX2;
  TEdge Y2;
  int DY2;
  TTone Tone;
};
constexpr TEdgeLine kTabEdges[] = {
    {tpTop, eLeft, 0, eBottom, -1, eLeft, 0, eTop, 2, toLight},  // the left side, a bevelled corner
    {tpTop, eLeft, 0, eTop, 2, eLeft, 2, eTop, 0, toLight},
    {tpTop, eLeft, 2, eTop, 0, eRight, -2, eTop, 0, toLight},  // the top
    {tpTop, eRight, -2, eTop, 1, eRight, -2, eBottom, 0, toShadow},
    {tpTop, eRight, -1, eTop, 2, eRight, -1, eBottom, 0, toDark},
    {tpBottom, eLeft, 0, eTop, 0, eLeft, 0, eBottom, -2, toLight},
    {tpBottom, eLeft, 1, eBottom, -2, eRight, -2, eBottom, -2, toShadow},
    {tpBottom, eLeft, 2, eBottom, -1, eRight, -2, eBottom, -1, toDark},
    {tpBottom, eRight, -2, eTop, 0, eRight, -2, eBottom, -2, toShadow},
    {tpBottom, eRight, -1, eTop, 0, eRight, -1, eBottom, -2, toDark},
    {tpLeft, eLeft, 2, eTop, 0, eRight, 0, eTop, 0, toLight},
    {tpLeft, eLeft, 0, eTop, 2, eLeft, 0, eBottom, -2, toLight},
    {tpLeft, eLeft, 2, eBottom, -2, eRight, 0, eBottom, -2, toShadow},
    {tpLeft, eLeft, 2, eBottom, -1, eRight, 0, eBottom, -1, toDark},
    {tpRight, eLeft, 0, eTop, 0, eRight, -2, eTop, 0, toLight},
    {tpRight, eRight, -2, eTop, 1, eRight, -2, eBottom, -2, toShadow},
    {tpRight, eRight, -1, eTop, 2, eRight, -1, eBottom, -2, toDark},
    {tpRight, eLeft, 0, eBottom, -2, eRight, -2, eBottom, -2, toShadow},
    {tpRight, eLeft, 0, eBottom, -1, eRight, -2, eBottom, -1, toDark},
};

int EdgeOf(const TRect& R, TEdge E) {
  switch (E) {
    case eLeft: return R.Left;
    case eTop: return R.Top;
    case eRight: return R.Right;
    case eBottom: return R.Bottom;
  }
  return 0;
}

void DrawTabEdges(HDC DC, const TRect& R, TTabPosition Position) {
  const COLORREF tones[] = {GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW),
                            GetSysColor(COLOR_3DDKSHADOW)};
  for (const TEdgeLine& e : kTabEdges)
    if (e.Position == Position)
      Line(DC, EdgeOf(R, e.X1) + e.DX1, EdgeOf(R, e.Y1) + e.DY1, EdgeOf(R, e.X2) + e.DX2, EdgeOf(R, e.Y2) + e.DY2,
           tones[e.Tone]);
}

}  // namespace

void TCustomTabControl::PaintTabs(HDC DC) {
  Layout();
  // The selected tab last: it overlaps its neighbours.
  std::vector<int> order;
  for (int i = 0; i < TabCount(); ++i)
    if (i != FTabIndex) order.push_back(i);
  if (FTabIndex >= 0) order.push_back(FTabIndex);
  for (int i : order) {
    if (IsRectEmpty(TabRect(i))) continue;
    bool active = i == FTabIndex;
    TRect inner = PaintTabFace(DC, i, active);
    if (FOwnerDraw) {
      Canvas()->Font()->Assign(Font());
      Canvas()->Brush()->SetColor(Color());
      int saved = SaveDC(DC);
      IntersectClipRect(DC, inner.Left, inner.Top, inner.Right, inner.Bottom);
      DrawTab(i, inner, active);
      RestoreDC(DC, saved);
    } else {
      PaintTabCaption(DC, i, inner, active);
    }
  }
}

TRect TCustomTabControl::PaintTabFace(HDC DC, int Index, bool Active) {
  TRect r = TabRect(Index);
  TRect inner = r;
  switch (FStyle) {
    case tsTabs: {
      if (Active) {
        const TRaise& d = kSelectedRaise[FTabPosition];
        r = {r.Left + d.Left, r.Top + d.Top, r.Right + d.Right, r.Bottom + d.Bottom};
      }
      Fill(DC, r, GetSysColor(COLOR_BTNFACE));
      DrawTabEdges(DC, r, FTabPosition);
      inner = r;
      InflateRect(inner, -3, -2);
      return inner;
    }
    case tsButtons: {
      TRect b = r;
      DrawFrameControl(DC, b, DFC_BUTTON, DFCS_BUTTONPUSH | (Active ? UINT(DFCS_PUSHED) : 0u));
      break;
    }
    case tsFlatButtons: PaintFlatButtonTab(DC, Index, r, Active); break;
  }
  // A button's caption moves with the button when it is down.
  InflateRect(inner, -3, -3);
  if (Active) OffsetRect(inner, 1, 1);
  return inner;
}

void TCustomTabControl::PaintFlatButtonTab(HDC DC, int Index, const TRect& R, bool Active) {
  Fill(DC, R, GetSysColor(COLOR_BTNFACE));
  TRect b = R;
  if (Active) DrawEdge(DC, b, BDR_SUNKENOUTER, BF_RECT);
  else if (Index == FHot) DrawEdge(DC, b, BDR_RAISEDINNER, BF_RECT);
  // Flat buttons are parted by an etched line.
  if (Index + 1 < TabCount() && !IsRectEmpty(TabRect(Index + 1)) && TabRect(Index + 1).Top == R.Top) {
    int x = R.Right + 1;
    Line(DC, x, R.Top + 2, x, R.Bottom - 2, GetSysColor(COLOR_BTNSHADOW));
    Line(DC, x + 1, R.Top + 2, x + 1, R.Bottom - 2, GetSysColor(COLOR_BTNHIGHLIGHT));
  }
}

// The tab's image and caption: a disabled caption is embossed, a hot one in the hot colour.
void TCustomTabControl::PaintTabCaption(HDC DC, int Index, const TRect& Inner, bool Active) {
  TRect text = Inner;
  if (FImages) {
    int img = GetImageIndex(Index);
    if (img >= 0 && img < FImages->Count()) {
      int y = text.Top + (text.Height() - FImages->Height()) / 2;
      FImages->Draw(Canvas(), text.Left + 2, y, img, Enabled());
    }
    text.Left += FImages->Width() + 4;
  }
  HGDIOBJ old = SelectObject(DC, Font()->Handle());
  SetBkMode(DC, TRANSPARENT);
  COLORREF fg = ColorToRGB(Font()->Color());
  if (Index == FHot && FHotTrack && !Active) fg = GetSysColor(COLOR_HOTLIGHT);
  if (!Enabled() || !Tab(Index).Enabled) {
    SetTextColor(DC, GetSysColor(COLOR_BTNHIGHLIGHT));
    TRect t1 = text;
    OffsetRect(t1, 1, 1);
    DrawText(DC, Tab(Index).Caption, -1, &t1, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    fg = GetSysColor(COLOR_BTNSHADOW);
  }
  SetTextColor(DC, fg);
  DrawText(DC, Tab(Index).Caption, -1, &text, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
  SelectObject(DC, old);
  if (Active && GetFocus() == Handle()) DrawFocusRect(DC, Inner);
}

void TCustomTabControl::ScrollArrowRects(TRect& Left, TRect& Right) const {
  int y = FTabPosition == tpBottom ? ClientHeight() - 16 : 0;
  Left = {ClientWidth() - 32, y, ClientWidth() - 16, y + 16};
  Right = {ClientWidth() - 16, y, ClientWidth(), y + 16};
}

void TCustomTabControl::PaintScrollArrows(HDC DC) {
  TRect left, right;
  ScrollArrowRects(left, right);
  bool lastShown = !IsRectEmpty(TabRect(TabCount() - 1));
  DrawFrameControl(DC, left, DFC_SCROLL, DFCS_SCROLLLEFT | (FFirstVisible > 0 ? 0u : UINT(DFCS_INACTIVE)));
  DrawFrameControl(DC, right, DFC_SCROLL, DFCS_SCROLLRIGHT | (lastShown ? UINT(DFCS_INACTIVE) : 0u));
}

// ================================================================ TTabControl

void TTabStrings::Clear() { FControl->ClearTabs(); }

void TTabStrings::Delete(int Index) {
  if (Index < 0 || Index >= GetCount()) Error(SListIndexError, Index);
  FControl->DeleteTab(Index);
}

void TTabStrings::Insert(int Index, const String& S) { InsertObject(Index, S, nullptr); }

void TTabStrings::InsertObject(int Index, const String& S, TObject* AObject) {
  if (Index < 0 || Index > GetCount()) Error(SListIndexError, Index);
  FControl->InsertTab(Index, S, AObject);
}

String TTabStrings::Get(int Index) const {
  if (Index < 0 || Index >= GetCount()) Error(SListIndexError, Index);
  return FControl->Tab(Index).Caption;
}

int TTabStrings::GetCount() const { return FControl->TabCount(); }

TObject* TTabStrings::GetObject(int Index) const {
  if (Index < 0 || Index >= GetCount()) Error(SListIndexError, Index);
  return static_cast<TObject*>(FControl->Tab(Index).Data);
}

void TTabStrings::Put(int Index, const String& S) {
  if (Index < 0 || Index >= GetCount()) Error(SListIndexError, Index);
  FControl->SetTabCaption(Index, S);
}

void TTabStrings::PutObject(int Index, TObject* AObject) {
  if (Index < 0 || Index >= GetCount()) Error(SListIndexError, Index);
  FControl->SetTabData(Index, AObject);
}

KELM_PUBLISH(TTabControl) { Published(b); }

TTabControl::TTabControl(TComponent* AOwner) : TCustomTabControl(AOwner) { FTabs = std::make_unique<TTabStrings>(this); }

TTabControl::~TTabControl() { Destroying(); }

void TTabControl::SetTabIndex(int v) {
  if (ComponentState().Contains(csLoading)) {
    FLoadedIndex = v;
    return;
  }
  SelectTab(v);
}

void TTabControl::Loaded() {
  TCustomTabControl::Loaded();
  if (FLoadedIndex >= 0) SelectTab(FLoadedIndex);
  FLoadedIndex = -1;
}

// ================================================================ TTabSheet

KELM_PUBLISH(TTabSheet) { Published(b); }

TTabSheet::TTabSheet(TComponent* AOwner) : TWinControl(AOwner) {
  SetControlStyle({csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks});
  SetColor(clBtnFace);
  TControl::SetVisible(false);
  SetAlign(alClient);
}

TTabSheet::~TTabSheet() {
  Destroying();
  if (FPageControl) FPageControl->RemovePage(this);
  FPageControl = nullptr;
}

void TTabSheet::SetPageControl(TPageControl* v) { SetParent(v); }

void TTabSheet::SetParent(TWinControl* AParent) {
  TPageControl* old = FPageControl;
  auto* pc = dynamic_cast<TPageControl*>(AParent);
  if (old && old != pc) {
    FPageControl = nullptr;
    old->RemovePage(this);
  }
  TWinControl::SetParent(AParent);
  if (pc && pc != old) {
    FPageControl = pc;
    pc->InsertPage(this);
  }
}

void TTabSheet::ReadState(TReader* Reader) {
  // A page read from a layout joins its page control before its properties come.
  if (auto* pc = dynamic_cast<TPageControl*>(Reader->Parent())) SetPageControl(pc);
  TWinControl::ReadState(Reader);
}

int TTabSheet::PageIndex() const {
  if (!FPageControl) return -1;
  auto& v = FPageControl->FPages;
  auto it = std::find(v.begin(), v.end(), this);
  return it == v.end() ? -1 : static_cast<int>(it - v.begin());
}

void TTabSheet::SetPageIndex(int v) {
  if (!FPageControl) return;
  auto& pages = FPageControl->FPages;
  int cur = PageIndex();
  v = std::clamp(v, 0, static_cast<int>(pages.size()) - 1);
  if (cur < 0 || cur == v) return;
  pages.erase(pages.begin() + cur);
  pages.insert(pages.begin() + v, this);
  FPageControl->RebuildTabs();
}

void TTabSheet::SetTabVisible(bool v) {
  if (FTabVisible == v) return;
  FTabVisible = v;
  if (FPageControl) FPageControl->RebuildTabs();
}

int TTabSheet::TabIndex() const {
  if (!FPageControl || !FTabVisible) return -1;
  int n = 0;
  for (TTabSheet* p : FPageControl->FPages) {
    if (p == this) return n;
    if (p->FTabVisible) ++n;
  }
  return -1;
}

void TTabSheet::SetImageIndex(int v) {
  if (FImageIndex == v) return;
  FImageIndex = v;
  if (FPageControl) FPageControl->UpdateTab(this);
}

void TTabSheet::SetHighlighted(bool v) {
  if (FHighlighted == v) return;
  FHighlighted = v;
  if (FPageControl) FPageControl->Invalidate();
}

void TTabSheet::Dispatch(TMessage& M) {
  TWinControl::Dispatch(M);
  if (M.Msg == CM_TEXTCHANGED && FPageControl) FPageControl->UpdateTab(this);
}

// ================================================================ TPageControl

KELM_PUBLISH(TPageControl) { Published(b); }

TPageControl::TPageControl(TComponent* AOwner) : TCustomTabControl(AOwner) {
  SetControlStyle({csDoubleClicks, csOpaque});
}

TPageControl::~TPageControl() {
  Destroying();
  for (TTabSheet* p : FPages) p->FPageControl = nullptr;
  FPages.clear();
  FActivePage = nullptr;
}

TTabSheet* TPageControl::Pages(int Index) const {
  if (Index < 0 || Index >= PageCount()) throw EListError(Format(SListIndexError, {Index}));
  return FPages[static_cast<std::size_t>(Index)];
}

void TPageControl::InsertPage(TTabSheet* Page) {
  if (std::find(FPages.begin(), FPages.end(), Page) != FPages.end()) return;
  FPages.push_back(Page);
  RebuildTabs();
  // A page control shows a page as soon as it has one.
  if (!FActivePage && !ComponentState().Contains(csLoading)) ChangeActivePage(Page);
}

void TPageControl::RemovePage(TTabSheet* Page) {
  auto it = std::find(FPages.begin(), FPages.end(), Page);
  if (it == FPages.end()) return;
  if (FActivePage == Page) {
    TTabSheet* next = FindNextPage(Page, true, true);
    if (next == Page) next = nullptr;
    FPages.erase(it);
    FActivePage = nullptr;
    if (next && !ComponentState().Contains(csDestroying)) ChangeActivePage(next);
  } else {
    FPages.erase(it);
  }
  if (!ComponentState().Contains(csDestroying)) RebuildTabs();
}

void TPageControl::UpdateTab(TTabSheet* Page) {
  int i = Page->TabIndex();
  if (i < 0) return;
  SetTabCaption(i, Page->Caption());
  SetTabImage(i, Page->ImageIndex());
}

void TPageControl::RebuildTabs() {
  if (FRebuilding) return;
  FRebuilding = true;
  ClearTabs();
  for (TTabSheet* p : FPages)
    if (p->TabVisible()) {
      InsertTab(TabCount(), p->Caption(), p);
      SetTabImage(TabCount() - 1, p->ImageIndex());
    }
  SelectTab(FActivePage ? FActivePage->TabIndex() : -1);
  FRebuilding = false;
}

int TPageControl::ActivePageIndex() const { return FActivePage ? FActivePage->PageIndex() : -1; }

void TPageControl::SetActivePageIndex(int v) {
  if (v >= 0 && v < PageCount()) SetActivePage(FPages[static_cast<std::size_t>(v)]);
  else SetActivePage(nullptr);
}

void TPageControl::SetActivePage(TTabSheet* v) {
  if (v && v->PageControl() != this) return;
  ChangeActivePage(v);
}

void TPageControl::SetTabIndex(int v) {
  if (v < 0 || v >= TabCount()) return;
  ChangeActivePage(static_cast<TTabSheet*>(Tab(v).Data));
}

void TPageControl::ChangeActivePage(TTabSheet* Page) {
  if (FActivePage == Page) {
    SelectTab(Page ? Page->TabIndex() : -1);
    return;
  }
  TCustomForm* form = GetParentForm(this);
  bool focusInside = form && FActivePage && form->ActiveControl() && FActivePage->ContainsControl(form->ActiveControl());
  TTabSheet* old = FActivePage;
  FActivePage = Page;
  if (Page) {
    Page->BringToFront();
    Page->SetVisible(true);
  }
  if (old) {
    old->SetVisible(false);
    if (!ComponentState().Contains(csLoading)) old->DoHide();
  }
  SelectTab(Page ? Page->TabIndex() : -1);
  // The focus may not stay on a page that went out of view.
  if (focusInside && CanFocus()) form->SetActiveControl(this);
  if (Page && !ComponentState().Contains(csLoading)) Page->DoShow();
}

void TPageControl::Change() {
  int i = CurrentTab();
  if (i >= 0) ChangeActivePage(static_cast<TTabSheet*>(Tab(i).Data));
  TCustomTabControl::Change();
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* CurrentPage, bool GoForward, bool CheckTabVisible) const {
  int n = PageCount();
  if (n == 0) return nullptr;
  auto it = std::find(FPages.begin(), FPages.end(), CurrentPage);
  int start = it == FPages.end() ? (GoForward ? n - 1 : 0) : static_cast<int>(it - FPages.begin());
  int i = start;
  do {
    i = GoForward ? (i + 1) % n : (i - 1 + n) % n;
    TTabSheet* p = FPages[static_cast<std::size_t>(i)];
    if (!CheckTabVisible || p->TabVisible()) return p;
  } while (i != start);
  return nullptr;
}

void TPageControl::SelectNextPage(bool GoForward, bool CheckTabVisible) {
  TTabSheet* p = FindNextPage(FActivePage, GoForward, CheckTabVisible);
  if (!p || p == FActivePage || !CanChange()) return;
  ChangeActivePage(p);
  TCustomTabControl::Change();
}

void TPageControl::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
  for (TTabSheet* p : FPages) Proc(p);
}

void TPageControl::SetChildOrder(TComponent* Child, int Order) {
  if (auto* p = dynamic_cast<TTabSheet*>(Child)) p->SetPageIndex(Order);
}

void TPageControl::ShowControl(TControl* AControl) {
  if (auto* p = dynamic_cast<TTabSheet*>(AControl); p && p->PageControl() == this) SetActivePage(p);
  TCustomTabControl::ShowControl(AControl);
}

void TPageControl::Loaded() {
  TCustomTabControl::Loaded();
  RebuildTabs();
  if (!FActivePage && !FPages.empty()) {
    TTabSheet* first = FindNextPage(nullptr, true, true);
    ChangeActivePage(first ? first : FPages.front());
  }
  for (TTabSheet* p : FPages) p->SetVisible(p == FActivePage);
}

void TPageControl::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomTabControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FActivePage) FActivePage = nullptr;
}

void TPageControl::Dispatch(TMessage& M) {
  if (M.Msg == CM_DIALOGKEY && M.WParam == VK_TAB && IsKeyDown(VK_CONTROL) && !FPages.empty()) {
    TWinControl* active = Screen ? Screen->ActiveControl() : nullptr;
    if (Focused() || (active && ContainsControl(active))) {
      SelectNextPage(!IsKeyDown(VK_SHIFT));
      M.Result = 1;
      return;
    }
  }
  TCustomTabControl::Dispatch(M);
}

// ================================================================ TStatusPanel

KELM_PUBLISH(TStatusPanel) { Published(b); }

TStatusPanel::TStatusPanel(TCollection* Collection) : TCollectionItem(Collection) {}

void TStatusPanel::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TStatusPanel*>(Source)) {
    FAlignment = s->FAlignment;
    FBevel = s->FBevel;
    FStyle = s->FStyle;
    FText = s->FText;
    FWidth = s->FWidth;
    Changed(false);
    return;
  }
  TCollectionItem::Assign(Source);
}

String TStatusPanel::DisplayName() const { return FText.empty() ? TCollectionItem::DisplayName() : FText; }

void TStatusPanel::SetAlignment(TAlignment v) {
  if (FAlignment == v) return;
  FAlignment = v;
  Changed(false);
}
void TStatusPanel::SetBevel(TStatusPanelBevel v) {
  if (FBevel == v) return;
  FBevel = v;
  Changed(false);
}
void TStatusPanel::SetStyle(TStatusPanelStyle v) {
  if (FStyle == v) return;
  FStyle = v;
  Changed(false);
}
void TStatusPanel::SetText(const String& v) {
  if (FText == v) return;
  FText = v;
  Changed(false);
}
void TStatusPanel::SetWidth(int v) {
  if (FWidth == v) return;
  FWidth = v;
  Changed(true);
}

KELM_PUBLISH(TStatusPanels) {}

TStatusPanels::TStatusPanels(TStatusBar* StatusBar)
    : TOwnedCollection(StatusBar, TStatusPanel::StaticClass()), FStatusBar(StatusBar) {}

void TStatusPanels::Update(TCollectionItem*) {
  if (FStatusBar) FStatusBar->Invalidate();
}

// ================================================================ TStatusBar

KELM_PUBLISH(TStatusBar) { Published(b); }

TStatusBar::TStatusBar(TComponent* AOwner) : TWinControl(AOwner) {
  FPanels = std::make_unique<TStatusPanels>(this);
  FCanvas = std::make_unique<TControlCanvas>();
  FCanvas->SetControl(this);
  SetControlStyle({csCaptureMouse, csClickEvents, csDoubleClicks, csOpaque});
  SetColor(clBtnFace);
  SetBounds(0, 0, 200, 19);
  SetAlign(alBottom);
  SetUseSystemFont(true);
  if (Application) {
    Application->AddIdleHandler(this, [this] {
      // AutoHint: the long part of the application's hint shows in the bar.
      if (!FAutoHint) return;
      String h = GetLongHint(Application->Hint());
      if (h == FLastHint) return;
      FLastHint = h;
      if (OnHint) {
        OnHint(this);
        return;
      }
      if (FSimplePanel || FPanels->Count() == 0) SetSimpleText(h);
      else FPanels->Items(0)->SetText(h);
    });
  }
}

TStatusBar::~TStatusBar() {
  Destroying();
  if (Application) Application->RemoveIdleHandler(this);
  FCanvas->SetControl(nullptr);
}

void TStatusBar::SetSimplePanel(bool v) {
  if (FSimplePanel == v) return;
  FSimplePanel = v;
  Invalidate();
}

void TStatusBar::SetSimpleText(const String& v) {
  if (FSimpleText == v) return;
  FSimpleText = v;
  Invalidate();
}

void TStatusBar::SetSizeGrip(bool v) {
  if (FSizeGrip == v) return;
  FSizeGrip = v;
  Invalidate();
}

void TStatusBar::SetUseSystemFont(bool v) {
  FUseSystemFont = v;
  if (v && Screen) {
    Font()->Assign(Screen->MenuFont());
    SetParentFont(false);
    FUseSystemFont = true;
  }
}

bool TStatusBar::ShowsGrip() const {
  if (!FSizeGrip) return false;
  auto* f = dynamic_cast<TCustomForm*>(GetTopParent(const_cast<TStatusBar*>(this)));
  if (!f) return true;
  return (f->BorderStyle() == bsSizeable || f->BorderStyle() == bsSizeToolWin) && f->WindowState() != wsMaximized;
}

TRect TStatusBar::PanelRect(int Index) const {
  if (Index < 0 || Index >= FPanels->Count()) return {};
  int x = 0;
  for (int i = 0; i < Index; ++i) x += FPanels->Items(i)->Width() + 2;
  TRect c = ClientRect();
  int right = Index == FPanels->Count() - 1 ? c.Right : x + FPanels->Items(Index)->Width();
  return {x, c.Top + 2, std::min(right, c.Right), c.Bottom};
}

int TStatusBar::PanelAtPos(TPoint Pos) const {
  if (FSimplePanel || !PtInRect(ClientRect(), Pos)) return -1;
  for (int i = 0; i < FPanels->Count(); ++i)
    if (Pos.X >= PanelRect(i).Left && Pos.X < PanelRect(i).Right) return i;
  return -1;
}

void TStatusBar::DrawPanel(TStatusPanel* Panel, const TRect& Rect) {
  if (OnDrawPanel) OnDrawPanel(this, Panel, Rect);
  else FCanvas->FillRect(Rect);
}

void TStatusBar::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case WM_ERASEBKGND:
      M.Result = 1;
      return;
    case WM_SIZE:
      TWinControl::Dispatch(M);
      Invalidate();
      return;
    case CM_FONTCHANGED:
      if (!ComponentState().Contains(csLoading) && Font()->Name() != (Screen ? Screen->MenuFont()->Name() : String()))
        FUseSystemFont = false;
      TWinControl::Dispatch(M);
      return;
    default:
      TWinControl::Dispatch(M);
  }
}

void TStatusBar::DefaultHandler(TMessage& M) {
  if (M.Msg == WM_PAINT) {
    Paint(reinterpret_cast<HDC>(M.WParam));
    return;
  }
  TWinControl::DefaultHandler(M);
}

void TStatusBar::Paint(HDC DC) {
  if (!DC) return;
  TRect c = ClientRect();
  Fill(DC, c, ColorToRGB(Color()));
  HGDIOBJ old = SelectObject(DC, Font()->Handle());
  SetBkMode(DC, TRANSPARENT);
  SetTextColor(DC, ColorToRGB(Font()->Color()));
  auto drawText = [&](const String& S, TRect R, TAlignment A) {
    InflateRect(R, -3, 0);
    UINT fmt = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS;
    if (A == taCenter) fmt |= DT_CENTER;
    else if (A == taRightJustify) fmt |= DT_RIGHT;
    DrawText(DC, S, -1, &R, fmt);
  };
  int grip = ShowsGrip() ? GetSystemMetrics(SM_CXVSCROLL) : 0;
  if (FSimplePanel) {
    TRect r{0, c.Top + 2, c.Right - grip, c.Bottom};
    drawText(FSimpleText, r, taLeftJustify);
  } else {
    for (int i = 0; i < FPanels->Count(); ++i) {
      TStatusPanel* p = FPanels->Items(i);
      TRect r = PanelRect(i);
      if (i == FPanels->Count() - 1) r.Right = std::max(r.Left, r.Right - grip);
      if (IsRectEmpty(r)) continue;
      if (p->Bevel() != pbNone) {
        TRect e = r;
        DrawEdge(DC, e, p->Bevel() == pbLowered ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
      }
      TRect in = r;
      InflateRect(in, -1, -1);
      if (p->Style() == psOwnerDraw) {
        PaintOnCanvas(*FCanvas, DC, [&] {
          FCanvas->Font()->Assign(Font());
          FCanvas->Brush()->SetColor(Color());
          int saved = SaveDC(DC);
          TScopeExit restore([DC, saved] { RestoreDC(DC, saved); });
          IntersectClipRect(DC, in.Left, in.Top, in.Right, in.Bottom);
          DrawPanel(p, in);
        });
        SelectObject(DC, Font()->Handle());
      } else {
        drawText(p->Text(), in, p->Alignment());
      }
    }
  }
  SelectObject(DC, old);
  if (grip > 0) {
    TRect g{c.Right - grip, c.Bottom - grip, c.Right, c.Bottom};
    DrawFrameControl(DC, g, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
  }
}
