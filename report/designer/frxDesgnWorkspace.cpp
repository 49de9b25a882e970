#include "report/designer/frxDesgnWorkspace.h"

#include "report/frxBands.h"
#include "report/frxClass.h"
#include "report/frxDMPClass.h"
#include "report/frxMemoView.h"
#include "report/frxPages.h"
#include "report/frxShapes.h"
#include "report/frxView.h"

#include "core/ClassBuilder.h"
#include "core/Format.h"
#include "core/SysUtils.h"
#include "gui/Canvas.h"
#include "gui/Forms.h"
#include "gui/Window.h"
#include "report/frxClassBases.h"

#include <algorithm>
#include <cstdint>
#include <cmath>
#include <map>

KELM_PUBLISH(TfrxDesignerWorkspace) {}
KELM_PUBLISH(TInplaceMemo) {}
KELM_PUBLISH(TMarginsPanel) {}

namespace {

constexpr Extended Far = 1e10;

TfrxRect AbsRect(TfrxComponent* C) {
  Extended l = C->AbsLeft(), t = C->AbsTop();
  TfrxRect r{l, t, l + C->Width(), t + C->Height()};
  if (r.Left > r.Right) std::swap(r.Left, r.Right);
  if (r.Top > r.Bottom) std::swap(r.Top, r.Bottom);
  return r;
}

bool Meets(const TfrxRect& a, const TfrxRect& b) {  // touching counts
  return a.Left <= b.Right && b.Left <= a.Right && a.Top <= b.Bottom && b.Top <= a.Bottom;
}

bool IsDiagonal(TfrxComponent* C) {
  auto* l = dynamic_cast<TfrxLineView*>(C);
  return l && l->Diagonal() && l->Width() != 0 && l->Height() != 0;
}


// Moves C under a new parent with its restrictions lifted for the move.
void Reparent(TfrxComponent* C, TfrxComponent* NewParent, Extended NewTop) {
  TfrxRestrictions saved = C->Restrictions();
  C->SetRestrictions({});
  C->SetTop(NewTop);
  C->SetParent(NewParent);
  C->SetRestrictions(saved);
}

}  // namespace

TfrxDesignerWorkspace::TfrxDesignerWorkspace(TComponent* AOwner) : TPanel(AOwner) {
  SetBevelOuter(bvNone);
  SetTabStop(true);
  UpdateCaptionHeight();
  FInplaceMemo = new TInplaceMemo(this);
  FMarginsPanel = new TMarginsPanel(this);
}

TfrxDesignerWorkspace::~TfrxDesignerWorkspace() = default;

void TfrxDesignerWorkspace::SetLists(TObjectList* Objects, TObjectList* SelectedObjects) {
  FObjects = Objects ? Objects : &FOwnObjects;
  FSelected = SelectedObjects ? SelectedObjects : &FOwnSelected;
}

void TfrxDesignerWorkspace::SetScale(Extended v) {
  FScale = SaneScale(v);
  if (FPageWidth > 0 && FPageHeight > 0) {
    int pw = static_cast<int>(Round(FPageWidth * FScale)), ph = static_cast<int>(Round(FPageHeight * FScale));
    FMarginsPanel->SetBounds(FOrigin.X, FOrigin.Y, pw, ph);
    SetBounds(FOrigin.X + static_cast<int>(Round(FMargins.Left * FScale)),
              FOrigin.Y + static_cast<int>(Round(FMargins.Top * FScale)),
              pw - static_cast<int>(Round((FMargins.Left + FMargins.Right - 1) * FScale)),
              ph - static_cast<int>(Round((FMargins.Top + FMargins.Bottom - 1) * FScale)));
    FMarginsPanel->Invalidate();
  }
  Invalidate();
}

void TfrxDesignerWorkspace::SetOrigin(const TPoint& v) {
  FOrigin = v;
  FMarginsPanel->SetBounds(v.X, v.Y, FMarginsPanel->Width(), FMarginsPanel->Height());
}

void TfrxDesignerWorkspace::SetPageSize(int AWidth, int AHeight, const TRect& AMargins) {
  FPageWidth = AWidth;
  FPageHeight = AHeight;
  FMargins = AMargins;
  // A dialog page has no paper: the workspace fills its form.
  FMarginsPanel->SetVisible(AWidth > 0 && AHeight > 0 && Parent() != nullptr);
  SetScale(FScale);
  ArrangeBands();
}

void TfrxDesignerWorkspace::SetPageColor(TColor v) {
  FPageColor = v;
  FMarginsPanel->SetColor(v);
  Invalidate();
}

void TfrxDesignerWorkspace::SetParent(TWinControl* AParent) {
  // The paper lies in the same parent, behind the workspace.
  if (FMarginsPanel) {
    FMarginsPanel->SetParent(AParent);
    FMarginsPanel->SetVisible(AParent && FPageWidth > 0 && FPageHeight > 0);
  }
  TPanel::SetParent(AParent);
  if (AParent && FMarginsPanel) BringToFront();
}

// ---------------------------------------------------------------- overlays following the mouse

// What follows the mouse is drawn with an XOR pen straight onto the window and erased by
// drawing it again, so hovering repaints nothing.
TfrxDesignerWorkspace::TOverlay TfrxDesignerWorkspace::CurrentOverlay() const {
  TOverlay o;
  auto sc = [&](Extended v) { return static_cast<int>(Round(v * FScale)); };
  if (FMode == wmSelectRect && FMouseDown) {
    o.Kind = TOverlay::okRubberBand;
    o.R = {static_cast<int>(FSelectRect.Left), static_cast<int>(FSelectRect.Top), static_cast<int>(FSelectRect.Right),
           static_cast<int>(FSelectRect.Bottom)};
  } else if (FInserting && FMode == wmInsertRect) {
    const TfrxInsertion& in = FInsertion;
    Extended l = in.Left, t = in.Top, r = in.Left + in.Width, b = in.Top + in.Height;
    if (l > r) std::swap(l, r);
    if (t > b) std::swap(t, b);
    o.Kind = TOverlay::okFrame;
    o.R = {sc(l), sc(t), sc(r) + 1, sc(b) + 1};
  } else if (FInserting && FMode == wmInsertLine) {
    const TfrxInsertion& in = FInsertion;
    Extended ex = in.Left + in.Width, ey = in.Top + in.Height;
    if (in.Flags == 0) {
      if (std::fabs(in.Width) > std::fabs(in.Height)) ey = in.Top;
      else ex = in.Left;
    }
    o.Kind = FMouseDown ? TOverlay::okLine : TOverlay::okCross;
    o.R = {sc(in.Left), sc(in.Top), sc(ex), sc(ey)};
  }
  return o;
}

void TfrxDesignerWorkspace::DrawOverlay(const TOverlay& O) {
  if (O.Kind == TOverlay::okNone || !HandleAllocated()) return;
  HDC dc = GetDC(Handle());
  TCanvas c;
  c.SetHandle(dc);
  c.Pen()->SetMode(pmXor);
  c.Pen()->SetColor(0xC0C0C0);
  c.Pen()->SetStyle(O.Kind == TOverlay::okRubberBand ? psDot : psSolid);
  c.Brush()->SetStyle(bsClear);
  auto cross = [&](int x, int y) {
    c.MoveTo(x - 4, y);
    c.LineTo(x + 5, y);
    c.MoveTo(x, y - 4);
    c.LineTo(x, y + 5);
  };
  switch (O.Kind) {
    case TOverlay::okRubberBand:
    case TOverlay::okFrame:
      c.Rectangle(std::min(O.R.Left, O.R.Right), std::min(O.R.Top, O.R.Bottom), std::max(O.R.Left, O.R.Right),
                  std::max(O.R.Top, O.R.Bottom));
      break;
    case TOverlay::okCross:
      cross(O.R.Left, O.R.Top);
      break;
    case TOverlay::okLine:
      c.MoveTo(O.R.Left, O.R.Top);
      c.LineTo(O.R.Right, O.R.Bottom);
      cross(O.R.Right, O.R.Bottom);
      break;
    case TOverlay::okNone:
      break;
  }
  c.SetHandle(nullptr);
  ReleaseDC(Handle(), dc);
}

void TfrxDesignerWorkspace::ShowOverlay() {
  HideOverlay();
  FOverlay = CurrentOverlay();
  DrawOverlay(FOverlay);
}

void TfrxDesignerWorkspace::HideOverlay() {
  DrawOverlay(FOverlay);
  FOverlay = TOverlay();
}

void TfrxDesignerWorkspace::HideInsertionCursor() {
  if (!FInserting) return;
  HideOverlay();
  // Parked off the page again, on the grid lattice, until the mouse comes back.
  if (FMode == wmInsertRect) {
    FInsertion.Left = -1000 * FGridX;
    FInsertion.Top = -1000 * FGridY;
  } else if (FMode == wmInsertLine) {
    Extended k = FGridType == gkChars ? 0.5 : 1;
    FInsertion.Left = -FGridX * k;
    FInsertion.Top = -FGridY * k;
  }
}

// A drag keeps the point under the mouse in sight inside a scrolling parent.
void TfrxDesignerWorkspace::AutoScroll(int X, int Y) {
  auto* box = dynamic_cast<TScrollBox*>(Parent());
  if (!box || Cursor() == static_cast<TCursor>(frx::crHand)) return;
  auto follow = [](TControlScrollBar* bar, int at, int client) {
    if (at > client + bar->Position()) bar->SetPosition(at - client);
    else if (at < bar->Position()) bar->SetPosition(at);
  };
  // The point in the parent's scrolled area: the workspace's place there plus the point.
  int x = Left() + box->HorzScrollBar()->Position() + X, y = Top() + box->VertScrollBar()->Position() + Y;
  follow(box->HorzScrollBar(), x, box->ClientWidth());
  follow(box->VertScrollBar(), y, box->ClientHeight());
}

// ---------------------------------------------------------------- margins panel

TMarginsPanel::TMarginsPanel(TfrxDesignerWorkspace* AWorkspace) : TPanel(AWorkspace), FWorkspace(AWorkspace) {
  SetBevelOuter(bvNone);
  SetBevelInner(bvNone);
  SetColor(clWindow);
  SetParentColor(false);
  SetVisible(false);
}

TPoint TMarginsPanel::ToWorkspace(int X, int Y) const {
  return {X + Left() - FWorkspace->Left(), Y + Top() - FWorkspace->Top()};
}

void TMarginsPanel::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TPoint p = ToWorkspace(X, Y);
  FWorkspace->MouseDown(Button, Shift, p.X, p.Y);
}

void TMarginsPanel::MouseMove(TShiftState Shift, int X, int Y) {
  if (FWorkspace->Inserting() && !FWorkspace->MouseHeld()) {
    FWorkspace->HideInsertionCursor();
    return;
  }
  TPoint p = ToWorkspace(X, Y);
  FWorkspace->MouseMove(Shift, p.X, p.Y);
  SetCursor(FWorkspace->Cursor());
}

void TMarginsPanel::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TPoint p = ToWorkspace(X, Y);
  FWorkspace->MouseUp(Button, Shift, p.X, p.Y);
}

// A step of zero would stop every drag and divide by zero while stacking bands.
void TfrxDesignerWorkspace::SetGridX(Extended v) { FGridX = SaneGridSize(v, FGridX); }
void TfrxDesignerWorkspace::SetGridY(Extended v) { FGridY = SaneGridSize(v, FGridY); }

void TfrxDesignerWorkspace::SetGridType(TfrxGridKind v) {
  FGridType = v;
  UpdateCaptionHeight();
  ArrangeBands();
  Invalidate();
}

void TfrxDesignerWorkspace::SetShowBandCaptions(bool v) {
  FShowBandCaptions = v;
  UpdateCaptionHeight();
  ArrangeBands();
  Invalidate();
}

void TfrxDesignerWorkspace::UpdateCaptionHeight() {
  static const Extended heights[] = {16, 18.89765, 19.2, 16, 17};
  FCaptionHeight = FShowBandCaptions ? heights[FGridType] : 0;
}

void TfrxDesignerWorkspace::LockUpdates() {
  FLocked = true;
  FMode = wmNone;
}

// ---------------------------------------------------------------- selection

int TfrxDesignerWorkspace::SelectedCount() const {
  const TObjectList& s = *FSelected;
  if (s.size() == 1 && (dynamic_cast<TfrxPage*>(s[0]) || dynamic_cast<TfrxReport*>(static_cast<TObject*>(s[0]))))
    return 0;
  return static_cast<int>(s.size());
}

TfrxBoundsRect TfrxDesignerWorkspace::GetSelectionBounds() const {
  const TObjectList& s = *FSelected;
  if (s.empty()) return {};
  if (s.size() == 1) return {s[0]->Left(), s[0]->Top(), s[0]->Width(), s[0]->Height()};
  TfrxRect u = AbsRect(s[0]);
  for (TfrxComponent* c : s) {
    TfrxRect r = AbsRect(c);
    u = {std::min(u.Left, r.Left), std::min(u.Top, r.Top), std::max(u.Right, r.Right), std::max(u.Bottom, r.Bottom)};
  }
  return {u.Left, u.Top, u.Right - u.Left, u.Bottom - u.Top};
}

TfrxComponent* TfrxDesignerWorkspace::GetAnchorObject() const {
  TfrxComponent* best = nullptr;
  Extended br = 0, bb = 0;
  for (TfrxComponent* c : *FSelected) {
    Extended r = c->AbsLeft() + c->Width(), b = c->AbsTop() + c->Height();
    if (!best || r > br || (r == br && b > bb)) {
      best = c;
      br = r;
      bb = b;
    }
  }
  return best;
}

void TfrxDesignerWorkspace::SelectionChanged() {
  TObjectList& s = *FSelected;
  int n = SelectedCount();
  for (int i = 0; i < n; ++i) {
    auto* rc = dynamic_cast<TfrxReportComponent*>(s[static_cast<size_t>(i)]);
    if (!rc || rc->GroupIndex() == 0) continue;
    for (TfrxComponent* c : *FObjects)
      if (dynamic_cast<TfrxReportComponent*>(c) && c->GroupIndex() == rc->GroupIndex() &&
          std::find(s.begin(), s.end(), c) == s.end())
        s.push_back(c);
  }
  if (OnSelectionChange) OnSelectionChange(this);
  Invalidate();
}

void TfrxDesignerWorkspace::GroupSelection() {
  for (TfrxComponent* c : *FSelected) c->SetGroupIndex(0);
  std::vector<int> used;
  for (TfrxComponent* c : *FObjects) used.push_back(c->GroupIndex());
  int g = 1;
  while (std::find(used.begin(), used.end(), g) != used.end()) ++g;
  for (TfrxComponent* c : *FSelected) c->SetGroupIndex(g);
}

void TfrxDesignerWorkspace::UngroupSelection() {
  for (TfrxComponent* c : *FSelected) c->SetGroupIndex(0);
}

void TfrxDesignerWorkspace::DeleteSelection() {
  if (SelectedCount() == 0) return;
  TObjectList& s = *FSelected;
  TObjectList& o = *FObjects;
  auto drop = [&](TfrxComponent* c) {
    s.erase(std::remove(s.begin(), s.end(), c), s.end());
    o.erase(std::remove(o.begin(), o.end(), c), o.end());
  };
  TObjectList victims;
  for (TfrxComponent* c : s)
    if (!c->Restrictions().Contains(rfDontDelete)) victims.push_back(c);
  for (TfrxComponent* c : victims) {
    if (std::find(s.begin(), s.end(), c) == s.end()) continue;  // freed with an earlier parent
    for (TfrxComponent* child : c->AllObjects()) drop(child);
    drop(c);
    delete c;
  }
  if (s.empty() && FPage) s.push_back(FPage);
  ArrangeBands();
  Changed();
  FlushModified();
  SelectionChanged();
}

void TfrxDesignerWorkspace::EditSelection() {
  if (FSelected->size() == 1 && OnEditRequest) OnEditRequest(this);
}

void TfrxDesignerWorkspace::FlushModified() {
  if (!FModified) return;
  FModified = false;
  if (OnModified) OnModified(this);
}

// ---------------------------------------------------------------- bands

void TfrxDesignerWorkspace::FitBandToChildren(TfrxBand* Band) {
  Extended maxBottom = 0, minTop = 0;
  for (int i = 0; i < Band->ObjectCount(); ++i) {
    TfrxComponent* c = Band->Objects(i);
    if (auto* v = dynamic_cast<TfrxView*>(c); v && (v->Align() == baBottom || v->Align() == baClient)) continue;
    maxBottom = std::max(maxBottom, c->Top() + c->Height());
    minTop = std::min(minTop, c->Top());
  }
  if (Band->Height() < maxBottom - minTop) Band->SetHeight(maxBottom - minTop);
  if (minTop < 0)
    for (int i = 0; i < Band->ObjectCount(); ++i) Band->Objects(i)->SetTop(Band->Objects(i)->Top() - minTop);
}

namespace {

// What band arrangement asks of an object, by its class. A release re-arranges every object
// of the page; asking the class once instead of casting each object several times keeps a
// release close to the cost of the moves themselves.
enum TArrangeKind : unsigned { akBand = 1, akView = 2 };
// The fixed places of the bands that are not sorted by their tops.
enum TBandPlace { bpByTop, bpPageHeader, bpReportTitle, bpColumnHeader, bpColumnFooter, bpReportSummary, bpPageFooter };

struct TClassKind {
  TClass Class;
  unsigned Kind;
  TBandPlace Place;
};

const TClassKind& KindOf(TfrxComponent* C) {
  static std::vector<TClassKind> known;
  static size_t last = 0;
  TClass cls = C->ClassType();
  // Neighbours in the list are mostly of one class.
  if (last < known.size() && known[last].Class == cls) return known[last];
  for (size_t i = 0; i < known.size(); ++i)
    if (known[i].Class == cls) {
      last = i;
      return known[i];
    }
  unsigned kind = 0;
  TBandPlace place = bpByTop;
  if (cls->InheritsFrom(TfrxBand::StaticClass())) kind |= akBand;
  if (cls->InheritsFrom(TfrxView::StaticClass())) kind |= akView;
  const std::pair<TClass, TBandPlace> places[] = {
      {TfrxPageHeader::StaticClass(), bpPageHeader},     {TfrxReportTitle::StaticClass(), bpReportTitle},
      {TfrxColumnHeader::StaticClass(), bpColumnHeader}, {TfrxColumnFooter::StaticClass(), bpColumnFooter},
      {TfrxReportSummary::StaticClass(), bpReportSummary}, {TfrxPageFooter::StaticClass(), bpPageFooter}};
  for (const auto& [c, p] : places)
    if (cls->InheritsFrom(c)) {
      place = p;
      break;
    }
  known.push_back({cls, kind, place});
  last = known.size() - 1;
  return known.back();
}

bool IsHeaderPlace(TBandPlace P) { return P == bpPageHeader || P == bpReportTitle || P == bpColumnHeader; }
bool IsFooterPlace(TBandPlace P) { return P == bpPageFooter || P == bpReportSummary || P == bpColumnFooter; }

// The band whose range holds a top: the last such band in the list. With the bands' ranges
// apart from each other (the usual page) at most one holds it, found by halving, and a view
// still inside its own band is answered from that band alone.
class TBandFinder {
public:
  struct TInfo {
    TfrxBand* Band;
    Extended Top, Bottom, AbsTop;
    size_t Order;
  };

  explicit TBandFinder(const std::vector<TfrxBand*>& Bands) {
    for (size_t i = 0; i < Bands.size(); ++i)
      FInfo.push_back({Bands[i], Bands[i]->Top(), Bands[i]->Top() + Bands[i]->Height(), Bands[i]->AbsTop(), i});
    FByTop = FInfo;
    std::sort(FByTop.begin(), FByTop.end(), [](const TInfo& a, const TInfo& b) { return a.Top < b.Top; });
    for (size_t i = 0; i < FByTop.size(); ++i) {
      if (FByTop[i].Bottom < FByTop[i].Top) FApart = false;
      if (i > 0 && FByTop[i - 1].Bottom + 2 * kEps > FByTop[i].Top) FApart = false;
    }
    size_t size = 16;
    while (size < FInfo.size() * 2) size *= 2;
    FMask = size - 1;
    FSlots.assign(size, -1);
    for (size_t k = 0; k < FInfo.size(); ++k) {
      size_t i = Slot(FInfo[k].Band);
      while (FSlots[i] >= 0) i = (i + 1) & FMask;
      FSlots[i] = static_cast<int>(k);
    }
  }
  // The listed band that is C, or nullptr: an open-addressed table on the pointer, as every
  // view of the page asks it once per release.
  const TInfo* Entry(TfrxComponent* C) const {
    if (!C || FSlots.empty()) return nullptr;
    for (size_t i = Slot(C);; i = (i + 1) & FMask) {
      int at = FSlots[i];
      if (at < 0) return nullptr;
      if (FInfo[static_cast<size_t>(at)].Band == C) return &FInfo[static_cast<size_t>(at)];
    }
  }
  // The band for a view at an absolute top; Own is the entry of the view's parent, if listed.
  TfrxBand* Find(Extended At, const TInfo* Own) const {
    if (!FApart) {
      for (auto it = FInfo.rbegin(); it != FInfo.rend(); ++it)
        if (Holds(*it, At)) return it->Band;
      return nullptr;
    }
    if (Own && Holds(*Own, At)) return Own->Band;
    auto it = std::upper_bound(FByTop.begin(), FByTop.end(), At + kEps,
                               [](Extended v, const TInfo& e) { return v < e.Top; });
    if (it == FByTop.begin()) return nullptr;
    return Holds(*(it - 1), At) ? (it - 1)->Band : nullptr;
  }

private:
  static constexpr Extended kEps = 0.0001;
  static bool Holds(const TInfo& B, Extended At) { return At >= B.Top - kEps && At < B.Bottom + kEps; }
  size_t Slot(const void* P) const { return (reinterpret_cast<std::uintptr_t>(P) >> 4) & FMask; }
  std::vector<TInfo> FInfo, FByTop;
  std::vector<int> FSlots;  // indexes into FInfo, -1 free
  size_t FMask = 0;
  bool FApart = true;
};

}  // namespace

void TfrxDesignerWorkspace::ArrangeBands() {
  TObjectList& o = *FObjects;
  auto* rp = dynamic_cast<TfrxReportPage*>(FPage);
  bool titleFirst = rp && rp->TitleBeforeHeader();
  std::vector<unsigned> kinds(o.size());
  std::vector<TBandPlace> places(o.size());
  for (size_t i = 0; i < o.size(); ++i) {
    const TClassKind& k = KindOf(o[i]);
    kinds[i] = k.Kind;
    places[i] = k.Place;
  }
  // 1. Sort keys: the fixed places, else the band's top, compared at two decimals; equal
  // keys keep the later band first.
  struct TKeyed {
    long long Key;
    size_t Index;
  };
  std::vector<TKeyed> keyed;
  for (size_t i = 0; i < o.size(); ++i) {
    if (!(kinds[i] & akBand)) continue;
    auto* b = static_cast<TfrxBand*>(o[i]);
    if (b->Vertical()) continue;
    Extended k;
    switch (places[i]) {
      case bpPageHeader: k = titleFirst ? 0.01 : 0; break;
      case bpReportTitle: k = titleFirst ? 0 : 0.01; break;
      case bpColumnHeader: k = 0.02; break;
      case bpColumnFooter: k = 99999; break;
      case bpReportSummary: k = 100000; break;
      case bpPageFooter: k = 100001; break;
      default: k = std::fabs(b->Top()); break;
    }
    keyed.push_back({static_cast<long long>(std::llround(k * 100)), i});
  }
  std::stable_sort(keyed.begin(), keyed.end(), [](const TKeyed& a, const TKeyed& b) {
    if (a.Key != b.Key) return a.Key < b.Key;
    return a.Index > b.Index;
  });
  // 2. Stacking.
  if (!FFreeBands) {
    static const Extended gaps[] = {40, 37.7953, 38.4, 0, 17};
    Extended groupGap = gaps[FGridType];
    for (size_t j = 0; j < keyed.size(); ++j) {
      auto* b = static_cast<TfrxBand*>(o[keyed[j].Index]);
      if (j == 0) {
        b->SetTop(Round8(FCaptionHeight));
        continue;
      }
      auto* prev = static_cast<TfrxBand*>(o[keyed[j - 1].Index]);
      TBandPlace pp = places[keyed[j - 1].Index], bp = places[keyed[j].Index];
      Extended gap = ((IsHeaderPlace(pp) && !IsHeaderPlace(bp)) || (IsFooterPlace(bp) && !IsFooterPlace(pp))) ? groupGap : 0;
      Extended steps = static_cast<Extended>(Round((prev->Top() + prev->Height() + FCaptionHeight + FBandsGap) / FGridY));
      b->SetTop(Round8(steps * FGridY + gap));
    }
  }
  // 3. Re-parenting: a view belongs to the band its top lies in, the last such band of the
  // list when ranges overlap; a band's view that lies in none goes back to the page. Only
  // views whose band changes are moved, so a view that stays keeps its Top exactly.
  std::vector<TfrxBand*> horizontal;
  for (size_t i = 0; i < o.size(); ++i)
    if ((kinds[i] & akBand) && !static_cast<TfrxBand*>(o[i])->Vertical()) horizontal.push_back(static_cast<TfrxBand*>(o[i]));
  TBandFinder finder(horizontal);
  for (size_t i = 0; i < o.size(); ++i) {
    if (!(kinds[i] & akView)) continue;
    TfrxComponent* v = o[i];
    const TBandFinder::TInfo* own = finder.Entry(v->Parent());
    Extended at = own ? v->Top() + own->AbsTop : v->AbsTop();
    TfrxBand* target = finder.Find(at, own);
    if (target) {
      if (v->Parent() != target) Reparent(v, target, at - target->Top());
    } else if (own) {
      Reparent(v, v->Parent()->Parent(), at);
    }
  }
  // 4. Bands first, then the rest, each in their current order.
  TObjectList rebuilt;
  rebuilt.reserve(o.size());
  for (size_t i = 0; i < o.size(); ++i)
    if (kinds[i] & akBand) rebuilt.push_back(o[i]);
  for (size_t i = 0; i < o.size(); ++i)
    if (!(kinds[i] & akBand)) rebuilt.push_back(o[i]);
  o.swap(rebuilt);
}

// ---------------------------------------------------------------- mouse

bool TfrxDesignerWorkspace::HitTest(TfrxComponent* C, Extended X, Extended Y) const {
  TfrxRect r = AbsRect(C);
  if (IsDiagonal(C)) {
    if (X < r.Left - 5 || X > r.Right + 5 || Y < r.Top - 5 || Y > r.Bottom + 5) return false;
    Extended k = C->Height() / C->Width();
    Extended d = std::fabs((k * (X - C->AbsLeft()) - (Y - C->AbsTop())) * std::cos(std::atan(k)));
    return d < 5;
  }
  if (C->Width() == 0) {
    r.Left -= 4;
    r.Right += 4;
  } else if (C->Height() == 0) {
    r.Top -= 4;
    r.Bottom += 4;
  }
  if (auto* b = dynamic_cast<TfrxBand*>(C)) {
    if (b->Vertical()) r.Left -= FCaptionHeight;
    else r.Top -= FCaptionHeight;
  }
  return X >= r.Left && X <= r.Right && Y >= r.Top && Y <= r.Bottom;
}

void TfrxDesignerWorkspace::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TPanel::MouseDown(Button, Shift, X, Y);
  if (FLocked) return;
  if (FIgnoreNextPress) {
    FIgnoreNextPress = false;
    return;
  }
  if (FInplaceMemo->Visible()) EndEdit();
  TObjectList before = *FSelected;
  if (CanFocus()) SetFocus();
  FMouseDown = true;
  FLastX = X / FScale;
  FLastY = Y / FScale;
  bool picked = false;
  auto rubber = [&] {
    FSelected->assign(1, FPage);
    FMode = wmSelectRect;
    FSelectRect = {Extended(X), Extended(Y), Extended(X), Extended(Y)};
  };
  if (FMode == wmNone && Shift.Contains(ssCtrl)) {
    rubber();
    picked = true;
  }
  if (FMode == wmNone) {
    picked = true;
    TfrxComponent* target = nullptr;
    for (auto it = FObjects->rbegin(); it != FObjects->rend(); ++it)
      if (dynamic_cast<TfrxReportComponent*>(*it) && HitTest(*it, FLastX, FLastY)) {
        target = *it;
        break;
      }
    TObjectList& s = *FSelected;
    if (!target) {
      rubber();
    } else {
      auto at = std::find(s.begin(), s.end(), target);
      if (Shift.Contains(ssShift)) {
        if (at != s.end()) s.erase(at);
        else s.push_back(target);
      } else if (at == s.end()) {
        s.assign(1, target);
      }
      if (!s.empty()) {
        s.erase(std::remove(s.begin(), s.end(), static_cast<TfrxComponent*>(FPage)), s.end());
        FMode = s.empty() ? wmNone : wmMove;
        if (s.empty()) s.push_back(FPage);
      } else {
        s.push_back(FPage);
      }
    }
  }
  if (FMode == wmScale) {
    TfrxBoundsRect b = GetSelectionBounds();
    FGroupRect = FStartGroupRect = {b.Left, b.Top, b.Left + b.Width, b.Top + b.Height};
    FStoredBounds.clear();
    for (TfrxComponent* c : *FSelected) FStoredBounds.push_back({c, {c->AbsLeft(), c->AbsTop(), c->Width(), c->Height()}});
  }
  if (FMode == wmInsertLine) FInsertion.Width = FInsertion.Height = 0;
  if (Button == mbRight && PopupMenuComponent()) {
    // The menu opens on the release; nothing is dragged meanwhile.
    FMouseDown = false;
    if (!FInserting) FMode = wmNone;
  }
  if (picked) {
    if (before == *FSelected) Invalidate();
    else SelectionChanged();
  }
  if (FMode == wmSelectRect || FInserting) ShowOverlay();
}

void TfrxDesignerWorkspace::Hover(TShiftState Shift, Extended X, Extended Y) {
  static const TCursor cursors[] = {crDefault, crSizeNWSE, crSizeNWSE, crSizeNESW, crSizeNESW, crSizeWE,
                                    crSizeWE,  crSizeNS,   crSizeNS,   crCross,    crCross};
  auto near = [&](Extended px, Extended py) { return X >= px - 2 && X <= px + 3 && Y >= py - 2 && Y <= py + 3; };
  TCursor cursor = crDefault;
  FMode = wmNone;
  FHandle = 0;
  int n = SelectedCount();
  if (n == 1) {
    TfrxComponent* c = (*FSelected)[0];
    Extended l = c->AbsLeft(), t = c->AbsTop(), w = c->Width(), h = c->Height();
    const TfrxPoint pts[] = {{l, t}, {l + w, t + h}, {l + w, t}, {l, t + h}, {l + w, t + h / 2}, {l, t + h / 2},
                             {l + w / 2, t}, {l + w / 2, t + h}};
    int hnd = 0;
    for (int i = 0; i < 8 && !hnd; ++i)
      if (near(pts[i].X, pts[i].Y)) hnd = i + 1;
    if (dynamic_cast<TfrxCustomLineView*>(c)) {
      static const int diag[] = {0, 9, 10, 0, 0, 0, 0, 0, 0};
      static const int vert[] = {0, 7, 8, 7, 8, 0, 0, 0, 0};
      static const int horz[] = {0, 6, 5, 5, 6, 0, 0, 0, 0};
      if (IsDiagonal(c)) hnd = diag[hnd];
      else if (w == 0) hnd = vert[hnd];
      else if (h == 0) hnd = horz[hnd];
    }
    FHandle = hnd;
    if (hnd) FMode = wmSize;
    cursor = cursors[hnd];
  } else if (n > 1) {
    TfrxComponent* a = GetAnchorObject();
    if (near(a->AbsLeft() + a->Width(), a->AbsTop() + a->Height())) {
      FMode = wmScale;
      cursor = crSizeNWSE;
    }
  }
  if (FMode != wmSize && FMode != wmScale) {
    cursor = crDefault;
    FMode = wmNone;
    for (TfrxComponent* c : *FObjects) {
      auto* b = dynamic_cast<TfrxBand*>(c);
      if (!b) continue;
      if (!b->Vertical() && std::fabs(b->Top() + b->Height() - Y) <= 2) cursor = crVSplit;
      else if (b->Vertical() && std::fabs(b->Left() + b->Width() - X) <= 2) cursor = crHSplit;
      else continue;
      FSizedBand = b;
      FMode = wmSizeBand;
      break;
    }
  }
  AltHover(Shift, X, Y, cursor);
  SetCursor(cursor);
}

void TfrxDesignerWorkspace::AltHover(TShiftState Shift, Extended X, Extended Y, TCursor& Cursor) {
  if (!Shift.Contains(ssAlt)) return;
  for (TfrxComponent* c : *FObjects) {
    if (!dynamic_cast<TfrxCustomMemoView*>(c)) continue;
    TfrxRect r = AbsRect(c);
    if (c->Width() == 0) {
      r.Left -= 4;
      r.Right += 4;
    } else {
      r.Top -= 4;
      r.Bottom += 4;
    }
    if (X < r.Left || X > r.Right || Y < r.Top || Y > r.Bottom) continue;
    FAltObject = c;
    Cursor = crIBeam;
    FMode = wmTextEdit;
    return;
  }
}

void TfrxDesignerWorkspace::MouseMove(TShiftState Shift, int X, int Y) {
  TPanel::MouseMove(Shift, X, Y);
  if (FLocked) return;
  if (FMouseDown) AutoScroll(X, Y);
  if (FInserting) {
    HideOverlay();
    InsertMove(Shift, X, Y);
    ShowOverlay();
    return;
  }
  if (!FMouseDown) {
    Hover(Shift, X / FScale, Y / FScale);
    if (SelectedCount() == 0) BoundsChanged(X / FScale, Y / FScale);
    return;
  }
  if (FMode == wmSelectRect) {
    HideOverlay();
    FSelectRect.Right = X;
    FSelectRect.Bottom = Y;
    ShowOverlay();
    return;
  }
  if (FMode == wmMove || FMode == wmSize || FMode == wmSizeBand || FMode == wmScale) DragStep(Shift, X, Y);
}

void TfrxDesignerWorkspace::DragStep(TShiftState Shift, int X, int Y) {
  Extended dx = X / FScale - FLastX, dy = Y / FScale - FLastY;
  if (FGridAlign != Shift.Contains(ssAlt)) {
    if (std::fabs(dx) < FGridX && std::fabs(dy) < FGridY) return;
    dx = std::trunc(dx / FGridX) * FGridX;
    dy = std::trunc(dy / FGridY) * FGridY;
  }
  bool skip = false;
  SnapDelta(dx, dy, skip);
  if (skip) return;
  TObjectList& s = *FSelected;
  switch (FMode) {
    case wmMove: {
      auto* vb = s.empty() ? nullptr : dynamic_cast<TfrxBand*>(s[0]);
      if (s.size() == 1 && vb && vb->Vertical() && !FModified)
        for (TfrxComponent* v : *FObjects)
          if (dynamic_cast<TfrxView*>(v) && v->Left() >= vb->Left() - 0.0001 &&
              v->Left() + v->Width() <= vb->Left() + vb->Width() + 0.0001 && std::find(s.begin(), s.end(), v) == s.end())
            s.push_back(v);
      if (vb && vb->Vertical()) dy = 0;
      for (TfrxComponent* c : s) {
        c->SetLeft(c->Left() + dx);
        if (std::find(s.begin(), s.end(), c->Parent()) == s.end()) c->SetTop(c->Top() + dy);
      }
      break;
    }
    case wmSize:
      if (!s.empty()) SizeOne(s[0], dx, dy);
      break;
    case wmScale:
      ScaleGroup(dx, dy);
      break;
    case wmSizeBand:
      if (FSizedBand) {
        if (FSizedBand->Vertical()) FSizedBand->SetWidth(FSizedBand->Width() + dx);
        else FSizedBand->SetHeight(FSizedBand->Height() + dy);
        FitBandToChildren(FSizedBand);
        ArrangeBands();
      }
      break;
    default:
      break;
  }
  Changed();
  FLastX += dx;
  FLastY += dy;
  Invalidate();
  if (OnBoundsChanged) OnBoundsChanged(this, GetSelectionBounds());
}

void TfrxDesignerWorkspace::SizeOne(TfrxComponent* C, Extended DX, Extended DY) {
  switch (FHandle) {
    case 1: case 9: C->SetBounds(C->Left() + DX, C->Top() + DY, C->Width() - DX, C->Height() - DY); break;
    case 2: case 10: C->SetBounds(C->Left(), C->Top(), C->Width() + DX, C->Height() + DY); break;
    case 3: C->SetBounds(C->Left(), C->Top() + DY, C->Width() + DX, C->Height() - DY); break;
    case 4: C->SetBounds(C->Left() + DX, C->Top(), C->Width() - DX, C->Height() + DY); break;
    case 5: C->SetWidth(C->Width() + DX); break;
    case 6: C->SetBounds(C->Left() + DX, C->Top(), C->Width() - DX, C->Height()); break;
    case 7: C->SetBounds(C->Left(), C->Top() + DY, C->Width(), C->Height() - DY); break;
    case 8: C->SetHeight(C->Height() + DY); break;
    default: break;
  }
  if (!IsDiagonal(C) && !(dynamic_cast<TfrxLineView*>(C) && static_cast<TfrxLineView*>(C)->Diagonal())) {
    bool negW = C->Width() < 0, negH = C->Height() < 0;
    static const int flipW[] = {0, 3, 4, 1, 2, 6, 5, 7, 8, 9, 10};
    static const int flipH[] = {0, 4, 3, 2, 1, 5, 6, 8, 7, 9, 10};
    static const int flipB[] = {0, 2, 1, 4, 3, 5, 6, 7, 8, 9, 10};
    if (negW && negH) FHandle = flipB[FHandle];
    else if (negW) FHandle = flipW[FHandle];
    else if (negH) FHandle = flipH[FHandle];
    if (negW) {
      C->SetWidth(-C->Width());
      C->SetLeft(C->Left() - C->Width());
    }
    if (negH) {
      C->SetHeight(-C->Height());
      C->SetTop(C->Top() - C->Height());
    }
  }
  if (C->Left() < 0) C->SetLeft(0);
  if (auto* b = dynamic_cast<TfrxBand*>(C)) {
    if (FHandle == 1 || FHandle == 3 || FHandle == 7)
      for (int i = 0; i < b->ObjectCount(); ++i) b->Objects(i)->SetTop(b->Objects(i)->Top() - DY);
    FitBandToChildren(b);
    ArrangeBands();
  }
}

void TfrxDesignerWorkspace::ScaleGroup(Extended DX, Extended DY) {
  if (FGroupRect.Right + DX >= FGroupRect.Left) FGroupRect.Right += DX;
  if (FGroupRect.Bottom + DY >= FGroupRect.Top) FGroupRect.Bottom += DY;
  Extended sw = FStartGroupRect.Right - FStartGroupRect.Left, sh = FStartGroupRect.Bottom - FStartGroupRect.Top;
  // A group with no width (or height) has nothing to scale along that axis.
  Extended kx = sw != 0 ? (FGroupRect.Right - FGroupRect.Left) / sw : 1;
  Extended ky = sh != 0 ? (FGroupRect.Bottom - FGroupRect.Top) / sh : 1;
  for (auto& [c, st] : FStoredBounds) {
    c->SetLeft((st.Left - FStartGroupRect.Left) * kx + FStartGroupRect.Left);
    Extended top = (st.Top - FStartGroupRect.Top) * ky + FStartGroupRect.Top;
    if (dynamic_cast<TfrxBand*>(c->Parent())) top -= c->Parent()->Top();
    c->SetTop(top);
    c->SetWidth(st.Width * kx);
    c->SetHeight(st.Height * ky);
  }
}

void TfrxDesignerWorkspace::SelectRect(TShiftState) {
  TfrxRect r = FSelectRect;
  if (r.Left > r.Right) std::swap(r.Left, r.Right);
  if (r.Top > r.Bottom) std::swap(r.Top, r.Bottom);
  r = {r.Left / FScale, r.Top / FScale, r.Right / FScale, r.Bottom / FScale};
  TObjectList& s = *FSelected;
  s.clear();
  for (TfrxComponent* c : *FObjects) {
    if (!dynamic_cast<TfrxReportComponent*>(c) || dynamic_cast<TfrxBand*>(c) || !Meets(AbsRect(c), r)) continue;
    if (IsDiagonal(c)) {
      // Taken only when the line separates the frame's corners.
      Extended x0 = c->AbsLeft(), y0 = c->AbsTop(), x1 = x0 + c->Width(), y1 = y0 + c->Height();
      auto side = [&](Extended x, Extended y) { return (x1 - x0) * (y - y0) - (y1 - y0) * (x - x0) > 0; };
      bool a = side(r.Left, r.Top);
      if (side(r.Right, r.Top) == a && side(r.Left, r.Bottom) == a && side(r.Right, r.Bottom) == a) continue;
    }
    s.push_back(c);
  }
  if (s.empty()) s.push_back(FPage);
}

void TfrxDesignerWorkspace::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TPanel::MouseUp(Button, Shift, X, Y);
  if (FLocked) return;
  if (Button != mbLeft) {
    FMouseDown = false;
    return;
  }
  HideOverlay();
  TObjectList before = *FSelected;
  FMouseDown = false;
  if (FInserting) FinishInsertion();
  if (FMode == wmSelectRect) SelectRect(Shift);
  if (FMode == wmTextEdit && FAltObject) {
    FSelected->assign(1, FAltObject);
    SelectionChanged();
    BeginEdit(FAltObject);
    FMode = wmNone;
  }
  if (FMode == wmMove || FMode == wmSize)
    for (TfrxComponent* c : *FSelected)
      c->SetBounds(Round8(c->Left()), Round8(c->Top()), Round8(c->Width()), Round8(c->Height()));
  if (FMode == wmSizeBand && FSizedBand) FSizedBand->SetHeight(Round8(FSizedBand->Height()));
  ArrangeBands();
  if (before == *FSelected) Invalidate();
  else SelectionChanged();
  FlushModified();
  FHandle = 0;
  if (!FInserting) FMode = wmNone;
  BoundsChanged(X / FScale, Y / FScale);
  if (FInserting) ShowOverlay();
}

// ---------------------------------------------------------------- insertion

void TfrxDesignerWorkspace::StartInsertion(TClass AClass, int Flags, Extended Width, Extended Height) {
  HideOverlay();
  if (!AClass) {
    FInsertion.ComponentClass = nullptr;
    FInserting = false;
    FMode = wmNone;
    return;
  }
  FInsertion.ComponentClass = AClass;
  FInsertion.Width = FInsertion.OriginalWidth = Width;
  FInsertion.Height = FInsertion.OriginalHeight = Height;
  FInsertion.Flags = Flags;
  FInserting = true;
  if (AClass->InheritsFrom(TfrxCustomLineView::StaticClass())) {
    SetCursor(static_cast<TCursor>(kPencilCursor));
    FMode = wmInsertLine;
    Extended k = FGridType == gkChars ? 0.5 : 1;
    FInsertion.Left = -FGridX * k;
    FInsertion.Top = -FGridY * k;
  } else {
    SetCursor(crCross);
    FMode = wmInsertRect;
    // Off the page and on the grid lattice, so the first move lands on a grid point.
    FInsertion.Left = -1000 * FGridX;
    FInsertion.Top = -1000 * FGridY;
  }
}

Extended TfrxDesignerWorkspace::SnapX(Extended v, TShiftState Shift) const {
  return FGridAlign != Shift.Contains(ssAlt) ? std::trunc(v / FGridX) * FGridX : v;
}
Extended TfrxDesignerWorkspace::SnapY(Extended v, TShiftState Shift) const {
  return FGridAlign != Shift.Contains(ssAlt) ? std::trunc(v / FGridY) * FGridY : v;
}

void TfrxDesignerWorkspace::InsertMove(TShiftState Shift, int X, int Y) {
  Extended x = X / FScale, y = Y / FScale;
  TfrxInsertion& in = FInsertion;
  auto step = [&](Extended dx, Extended dy, Extended& ox, Extended& oy) {
    if (FGridAlign != Shift.Contains(ssAlt)) {
      if (std::fabs(dx) < FGridX && std::fabs(dy) < FGridY) return;
      dx = SnapX(dx, Shift);
      dy = SnapY(dy, Shift);
    }
    bool skip = false;
    SnapDelta(dx, dy, skip);
    if (skip) return;
    ox += dx;
    oy += dy;
  };
  if (!FMouseDown) {
    step(x - in.Left, y - in.Top, in.Left, in.Top);
  } else if (FMode == wmInsertRect) {
    in.Width = SnapX(x - in.Left, Shift);
    in.Height = SnapY(y - in.Top, Shift);
  } else if (FMode == wmInsertLine) {
    step(x - (in.Left + in.Width), y - (in.Top + in.Height), in.Width, in.Height);
  }
  if (OnBoundsChanged) OnBoundsChanged(this, {in.Left, in.Top, in.Width, in.Height});
}

void TfrxDesignerWorkspace::FinishInsertion() {
  TfrxInsertion& in = FInsertion;
  Extended l = in.Left, t = in.Top, r = in.Left + in.Width, b = in.Top + in.Height;
  bool line = in.ComponentClass->InheritsFrom(TfrxCustomLineView::StaticClass());
  if (line && in.Flags == 0) {
    // A straight line runs along its longer extent, from its smaller end.
    if (in.Width < 0) r = in.Left - in.Width;
    if (in.Height < 0) b = in.Top - in.Height;
    if (in.Width < 0 && std::fabs(in.Width) > std::fabs(in.Height)) {
      l = in.Left + in.Width;
      r = in.Left;
    }
    if (in.Height < 0 && std::fabs(in.Height) > std::fabs(in.Width)) {
      t = in.Top + in.Height;
      b = in.Top;
    }
  } else if (!line) {
    // A click or a tiny drag inserts an object of the default size.
    if ((in.Width >= 0 && in.Width < 4) || (in.Height > 0 && in.Height < 4)) {
      r = l + in.OriginalWidth;
      b = t + in.OriginalHeight;
    }
    if (l > r) std::swap(l, r);
    if (t > b) std::swap(t, b);
  }
  in.Left = Round8(l);
  in.Top = Round8(t);
  in.Width = Round8(r - l);
  in.Height = Round8(b - t);
  if (OnInsertRequest) OnInsertRequest(this);
}

// ---------------------------------------------------------------- in-place editing

void TfrxDesignerWorkspace::BeginEdit(TfrxComponent* Obj) { FInplaceMemo->Edit(Obj); }

void TfrxDesignerWorkspace::EndEdit() { FInplaceMemo->EndEdit(); }

TInplaceMemo::TInplaceMemo(TfrxDesignerWorkspace* AOwner) : TUnicodeMemo(AOwner), FWorkspace(AOwner) {
  SetVisible(false);
  SetParent(AOwner);
  SetBorderStyle(bsNone);
  SetWordWrap(false);
}

void TInplaceMemo::Edit(TfrxComponent* Obj) {
  FObject = Obj;
  WideString text = Obj->ObjectText();
  if (text.size() >= 2 && text.compare(text.size() - 2, 2, u"\r\n") == 0) text.resize(text.size() - 2);
  Extended s = FWorkspace->Scale();
  SetBounds(static_cast<int>(Round(Obj->AbsLeft() * s)), static_cast<int>(Round(Obj->AbsTop() * s)),
            static_cast<int>(Round(Obj->Width() * s + 1)), static_cast<int>(Round(Obj->Height() * s + 1)));
  FOriginalWidth = Width();
  FOriginalHeight = Height();
  Font()->Assign(Obj->Font());
  Font()->SetHeight(static_cast<int>(Round(Obj->Font()->Height() * s)));
  SetWideText(text);
  SetModified(false);
  SetVisible(true);
  if (CanFocus()) SetFocus();
  SelectAll();
}

void TInplaceMemo::EndEdit() {
  if (!Visible()) return;
  if (FObject && Modified()) {
    FObject->SetObjectText(WideText());
    Extended s = FWorkspace->Scale();
    if (Width() != FOriginalWidth) FObject->SetWidth((Width() + 5) / s);
    if (Height() != FOriginalHeight) FObject->SetHeight((Height() + 5) / s);
    FWorkspace->Changed();
    FWorkspace->FlushModified();
  }
  SetVisible(false);
  FObject = nullptr;
  FWorkspace->Invalidate();
  FWorkspace->SetCursor(crDefault);
}

void TInplaceMemo::KeyDown(Word& Key, TShiftState Shift) {
  if (Key == VK_ESCAPE) {
    SetModified(false);  // Esc discards the text
    EndEdit();
    Key = 0;
    return;
  }
  TUnicodeMemo::KeyDown(Key, Shift);
}

void TInplaceMemo::Change() {
  TUnicodeMemo::Change();
  if (!FObject) return;
  // Grows with its text: one line height per line, the widest line plus a margin.
  TStrings* lines = Lines();
  int n = std::max(1, lines->Count());
  int h = Font()->Height();
  int needH = n * (3 - h) + 4;
  if (needH > Height() - h) SetHeight(needH);
  TCanvas* c = FWorkspace->Canvas();
  c->Font()->Assign(Font());
  int widest = 0;
  for (int i = 0; i < lines->Count(); ++i) widest = std::max(widest, c->TextWidth(lines->Strings(i)));
  if (widest + 6 > Width()) SetWidth(widest + 6);
}

void TfrxDesignerWorkspace::BoundsChanged(Extended X, Extended Y) {
  if (!OnBoundsChanged) return;
  if (SelectedCount() == 0) OnBoundsChanged(this, {X, Y, 0, 0});
  else OnBoundsChanged(this, GetSelectionBounds());
}

void TfrxDesignerWorkspace::DblClick() {
  TPanel::DblClick();
  EditSelection();
  FIgnoreNextPress = true;
}

// ---------------------------------------------------------------- keys

void TfrxDesignerWorkspace::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case WM_GETDLGCODE:
      M.Result = DLGC_WANTARROWS;  // arrows edit the selection, they do not move the focus
      return;
    case WM_MOVE:
      TPanel::Dispatch(M);
      if (OnMoved) OnMoved(this);
      return;
    case CM_MOUSELEAVE:
      TPanel::Dispatch(M);
      if (!FMouseDown) HideInsertionCursor();
      return;
    default:
      TPanel::Dispatch(M);
  }
}

void TfrxDesignerWorkspace::KeyDown(Word& Key, TShiftState Shift) {
  TPanel::KeyDown(Key, Shift);
  if (FLocked) return;
  int dx = 0, dy = 0;
  switch (Key) {
    case VK_RETURN: EditSelection(); return;
    case VK_DELETE: DeleteSelection(); return;
    case VK_LEFT: dx = -1; break;
    case VK_RIGHT: dx = 1; break;
    case VK_UP: dy = -1; break;
    case VK_DOWN: dy = 1; break;
    default: return;
  }
  if (Shift.Contains(ssCtrl)) MoveSelection(dx, dy);
  else if (Shift.Contains(ssShift)) ResizeSelection(dx, dy);
  else if (Shift.Contains(ssAlt)) SnapToNeighbour(dx, dy);
  else SelectNeighbour(dx, dy);
}

void TfrxDesignerWorkspace::KeyUp(Word& Key, TShiftState Shift) {
  TPanel::KeyUp(Key, Shift);
  FlushModified();
}

void TfrxDesignerWorkspace::MoveSelection(int DX, int DY) {
  if (SelectedCount() == 0) return;
  for (TfrxComponent* c : *FSelected) {
    c->SetLeft(c->Left() + DX * FGridX);
    c->SetTop(c->Top() + DY * FGridY);
  }
  Changed();
  if (OnBoundsChanged) OnBoundsChanged(this, GetSelectionBounds());
  Invalidate();
}

void TfrxDesignerWorkspace::ResizeSelection(int DX, int DY) {
  if (SelectedCount() == 0) return;
  for (TfrxComponent* c : *FSelected) {
    Extended w = c->Width() + DX * FGridX, h = c->Height() + DY * FGridY;
    if (w >= 0) c->SetWidth(w);
    if (h >= 0) c->SetHeight(h);
  }
  Changed();
  if (OnBoundsChanged) OnBoundsChanged(this, GetSelectionBounds());
  Invalidate();
}

namespace {

struct TNeighbourScore {
  Extended P, Q, R;
  bool InStrip, InHalf;
};

TNeighbourScore Score(const TfrxRect& S, const TfrxRect& C, int DX, int DY) {
  TfrxRect strip, half;
  TNeighbourScore n{};
  if (DX > 0) {
    strip = {S.Left, S.Top, Far, S.Bottom};
    half = {S.Left, 0, Far, Far};
    n.P = C.Left - S.Left;
    n.Q = C.Left - S.Right;
  } else if (DX < 0) {
    strip = {-Far, S.Top, S.Right, S.Bottom};
    half = {0, 0, S.Right, Far};
    n.P = S.Right - C.Right;
    n.Q = S.Left - C.Right;
  } else if (DY > 0) {
    strip = {S.Left, S.Top, S.Right, Far};
    half = {0, S.Top, Far, Far};
    n.P = C.Top - S.Top;
    n.R = C.Top - S.Bottom;
  } else {
    strip = {S.Left, -Far, S.Right, S.Bottom};
    half = {0, 0, Far, S.Bottom};
    n.P = S.Bottom - C.Bottom;
    n.R = S.Top - C.Bottom;
  }
  if (DY != 0) n.Q = C.Left <= S.Left ? S.Left - C.Right : C.Left - S.Right;
  if (DX != 0) n.R = C.Top <= S.Top ? S.Top - C.Bottom : C.Top - S.Bottom;
  n.InStrip = Meets(C, strip);
  n.InHalf = Meets(C, half);
  return n;
}

}  // namespace

void TfrxDesignerWorkspace::SelectNeighbour(int DX, int DY) {
  if (SelectedCount() != 1) return;
  TfrxComponent* sel = (*FSelected)[0];
  TfrxRect S = AbsRect(sel);
  TfrxComponent* best = nullptr;
  Extended bestScore = Far;
  for (TfrxComponent* c : *FObjects) {
    if (c == sel || !dynamic_cast<TfrxReportComponent*>(c) || dynamic_cast<TfrxBand*>(c)) continue;
    TNeighbourScore n = Score(S, AbsRect(c), DX, DY);
    Extended score;
    if (n.InStrip) {
      score = n.P;
    } else {
      if (!n.InHalf || (DX != 0 && n.Q < n.R) || (DY != 0 && n.R < n.Q) || (n.Q == 0 && n.R == 0)) continue;
      score = std::sqrt(n.Q * n.Q + n.R * n.R) * (Width() + Height());
    }
    if (score < bestScore) {
      bestScore = score;
      best = c;
    }
  }
  if (!best) return;
  FSelected->assign(1, best);
  if (OnBoundsChanged) OnBoundsChanged(this, GetSelectionBounds());
  SelectionChanged();
}

namespace {
// Two dot-matrix texts with a frame line between them keep one character cell free: the
// printer draws the line in a cell of its own.
Extended DotMatrixGap(TfrxComponent* Moved, TfrxComponent* Neighbour, int DX, int DY) {
  auto* a = dynamic_cast<TfrxDMPMemoView*>(Moved);
  auto* b = dynamic_cast<TfrxDMPMemoView*>(Neighbour);
  if (!a || !b) return 0;
  TfrxFrameTypes fa = a->Frame()->Typ(), fb = b->Frame()->Typ();
  auto between = [&](TfrxFrameType mine, TfrxFrameType theirs) { return fa.Contains(mine) || fb.Contains(theirs); };
  if (DX > 0) return between(ftRight, ftLeft) ? frx_units::CharWidth : 0;
  if (DX < 0) return between(ftLeft, ftRight) ? frx_units::CharWidth : 0;
  if (DY > 0) return between(ftBottom, ftTop) ? frx_units::CharHeight : 0;
  return between(ftTop, ftBottom) ? frx_units::CharHeight : 0;
}
}  // namespace

void TfrxDesignerWorkspace::SnapToNeighbour(int DX, int DY) {
  if (SelectedCount() != 1) return;
  TfrxComponent* sel = (*FSelected)[0];
  TfrxRect S = AbsRect(sel);
  TfrxComponent* best = nullptr;
  Extended bestScore = Far;
  for (TfrxComponent* c : *FObjects) {
    if (c == sel || !dynamic_cast<TfrxReportComponent*>(c) || dynamic_cast<TfrxBand*>(c)) continue;
    TNeighbourScore n = Score(S, AbsRect(c), DX, DY);
    if (n.InStrip && n.P < bestScore) {
      bestScore = n.P;
      best = c;
    }
  }
  if (!best) return;
  // Scored on the page, written relative to the moved object's own parent, so a neighbour in
  // another band lands the object at the right place.
  Extended px = sel->Parent() ? sel->Parent()->AbsLeft() : 0;
  Extended py = sel->Parent() ? sel->Parent()->AbsTop() : 0;
  Extended nl = best->AbsLeft(), nt = best->AbsTop();
  Extended gap = DotMatrixGap(sel, best, DX, DY);
  if (DX > 0) sel->SetLeft(nl - sel->Width() - gap - px);
  else if (DX < 0) sel->SetLeft(nl + best->Width() + gap - px);
  else if (DY > 0) sel->SetTop(nt - sel->Height() - gap - py);
  else sel->SetTop(nt + best->Height() + gap - py);
  Changed();
  if (OnBoundsChanged) OnBoundsChanged(this, GetSelectionBounds());
  Invalidate();
}
