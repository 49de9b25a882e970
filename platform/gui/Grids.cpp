// The scrolling grid: geometry, current cell and selection, keys, mouse sizing and moving,
// scroll bars and timer, painting, and the in-place editor host.
#include "gui/Grids.h"

#include "core/ClassBuilder.h"
#include "core/SysUtils.h"
#include "gui/CtrlUtils_p.h"
#include "core/Scope.h"

#include <algorithm>
#include <cassert>

namespace {

constexpr UINT_PTR kScrollTimer = 1;
// How near a line a press starts sizing.
constexpr int kSizingSlack = 2;

}  // namespace

// ================================================================ the in-place editor

KELM_PUBLISH(TInplaceEdit) {}

TInplaceEdit::TInplaceEdit(TComponent* AOwner) : TCustomMaskEdit(AOwner) {
  // Made by its grid; one made on its own (streaming, inspection) stays a plain edit.
  FGrid = dynamic_cast<TCustomGrid*>(AOwner);
  SetParentCtl3D(false);
  SetCtl3D(false);
  SetBorderStyle(bsNone);
  SetTabStop(false);
  SetVisible(false);
}

void TInplaceEdit::Move(const TRect& Loc) {
  TRect r = FGrid ? FGrid->MirroredRect(Loc) : Loc;
  SetBounds(r.Left, r.Top, r.Width(), r.Height());
  bool hadFocus = FGrid && FGrid->Focused();
  FShown = true;
  SetVisible(true);
  if (hadFocus && CanFocus()) SetFocus();
}

void TInplaceEdit::Hide() {
  if (!FShown) return;
  bool hadFocus = Focused();
  FShown = false;
  SetVisible(false);
  if (hadFocus && FGrid && FGrid->CanFocus()) FGrid->SetFocus();
}

void TInplaceEdit::UpdateContents() {
  if (!FGrid) return;
  TRestore loading(FLoading, true);
  int c = FGrid->Col(), r = FGrid->Row();
  SetEditMask(FGrid->GetEditMask(c, r));
  SetMaxLength(FGrid->GetEditLimit());
  SetText(FGrid->GetEditText(c, r));
  SetModified(false);
}

void TInplaceEdit::Change() {
  TCustomMaskEdit::Change();
  if (!FLoading && FGrid) FGrid->SetEditText(FGrid->Col(), FGrid->Row(), Text());
}

bool TInplaceEdit::ForwardsToGrid(Word Key, TShiftState Shift) const {
  switch (Key) {
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_ESCAPE: return true;
    case VK_TAB: return FGrid->Options().Contains(goTabs) && !Shift.Contains(ssAlt);
    case VK_HOME:
    case VK_END: return Shift.Contains(ssCtrl);
    default: return false;
  }
}

void TInplaceEdit::KeyDown(Word& Key, TShiftState Shift) {
  if (!FGrid) {
    TCustomMaskEdit::KeyDown(Key, Shift);
    return;
  }
  if (ForwardsToGrid(Key, Shift)) {
    FGrid->KeyDown(Key, Shift);
    Key = 0;
    return;
  }
  if (Key == VK_DELETE && !FGrid->CanEditModify()) Key = 0;
  if (Key) TCustomMaskEdit::KeyDown(Key, Shift);
}

void TInplaceEdit::KeyPress(Char& Key) {
  if (!FGrid) {
    TCustomMaskEdit::KeyPress(Key);
    return;
  }
  if (Key == 13 || Key == 27) {
    FGrid->KeyPress(Key);
    Key = 0;
    return;
  }
  if (!FGrid->CanEditAcceptKey(Key)) {
    Key = 0;
    MessageBeep(0);
    return;
  }
  bool edits = Key >= 32 || Key == 8 || Key == 22 || Key == 24;
  if (edits && !FGrid->CanEditModify()) Key = 0;
  if (Key) TCustomMaskEdit::KeyPress(Key);
}

void TInplaceEdit::Dispatch(TMessage& Message) {
  if (FGrid) switch (Message.Msg) {
    case WM_GETDLGCODE:
      Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS | (FGrid->Options().Contains(goTabs) ? DLGC_WANTTAB : 0);
      return;
    case WM_PASTE:
    case WM_CUT:
    case WM_CLEAR:
      if (!FGrid->CanEditModify()) return;
      break;
  }
  TCustomMaskEdit::Dispatch(Message);
}

// ================================================================ geometry

int TCustomGrid::TAxis::Extent(int i) const {
  return std::max(0, (*Sizes)[i] + (i < Fixed ? FixedLine : Line));
}

int TCustomGrid::TAxis::Start(int i) const {
  int n = static_cast<int>(Sizes->size());
  if (i < 0 || i >= n || (i >= Fixed && i < First)) return -1;
  int pos = 0;
  for (int k = 0; k < std::min(i, Fixed); ++k) pos += Extent(k);
  for (int k = First; k < i; ++k) pos += Extent(k);
  return pos < ClientExtent ? pos : -1;
}

int TCustomGrid::TAxis::At(int Pos) const {
  if (Pos < 0) return -1;
  int n = static_cast<int>(Sizes->size());
  int pos = 0;
  auto hit = [&](int k) {
    int e = Extent(k);
    bool in = Pos >= pos && Pos < pos + e;
    pos += e;
    return in;
  };
  for (int k = 0; k < std::min(Fixed, n); ++k)
    if (hit(k)) return k;
  for (int k = First; k < n && pos < ClientExtent; ++k)
    if (hit(k)) return k;
  return -1;
}

int TCustomGrid::TAxis::Last() const {
  int n = static_cast<int>(Sizes->size());
  int pos = 0, last = -1;
  for (int k = 0; k < std::min(Fixed, n); ++k) {
    if (pos >= ClientExtent) return last;
    last = k;
    pos += Extent(k);
  }
  for (int k = First; k < n && pos < ClientExtent; ++k) {
    last = k;
    pos += Extent(k);
  }
  return last;
}

int TCustomGrid::TAxis::MaxFirst() const {
  int n = static_cast<int>(Sizes->size());
  int fixed = 0;
  for (int k = 0; k < std::min(Fixed, n); ++k) fixed += Extent(k);
  int room = ClientExtent - fixed, first = n - 1;
  for (int used = 0; first >= Fixed; --first) {
    used += Extent(first);
    if (used > room) break;
  }
  return std::max(Fixed, std::min(n - 1, first + 1));
}

TCustomGrid::TAxis TCustomGrid::ColAxis() const {
  int line = FOptions.Contains(goVertLine) ? FGridLineWidth : 0;
  int fixedLine = FOptions.Contains(goFixedVertLine) ? FGridLineWidth : 0;
  return {&FColWidths, FFixedCols, FTopLeft.X, line, fixedLine, ClientWidth()};
}

TCustomGrid::TAxis TCustomGrid::RowAxis() const {
  int line = FOptions.Contains(goHorzLine) ? FGridLineWidth : 0;
  int fixedLine = FOptions.Contains(goFixedHorzLine) ? FGridLineWidth : 0;
  return {&FRowHeights, FFixedRows, FTopLeft.Y, line, fixedLine, ClientHeight()};
}

TRect TCustomGrid::CellRect(int ACol, int ARow) const {
  TAxis h = ColAxis(), v = RowAxis();
  int x = h.Start(ACol), y = v.Start(ARow);
  if (x < 0 || y < 0) return TRect{0, 0, 0, 0};
  return TRect{x, y, x + std::max(0, FColWidths[ACol]), y + std::max(0, FRowHeights[ARow])};
}

TGridCoord TCustomGrid::MouseCoord(int X, int Y) const {
  TGridCoord c{ColAxis().At(X), RowAxis().At(Y)};
  if (c.X < 0 || c.Y < 0) return {-1, -1};
  return c;
}

int TCustomGrid::FixedWidth() const {
  TAxis h = ColAxis();
  int w = 0;
  for (int k = 0; k < std::min(FFixedCols, ColCount()); ++k) w += h.Extent(k);
  return w;
}

int TCustomGrid::FixedHeight() const {
  TAxis v = RowAxis();
  int w = 0;
  for (int k = 0; k < std::min(FFixedRows, RowCount()); ++k) w += v.Extent(k);
  return w;
}

int TCustomGrid::GridWidth() const {
  TAxis h = ColAxis();
  int last = h.Last();
  return last < 0 ? 0 : std::min(ClientWidth(), h.Start(last) + h.Extent(last));
}

int TCustomGrid::GridHeight() const {
  TAxis v = RowAxis();
  int last = v.Last();
  return last < 0 ? 0 : std::min(ClientHeight(), v.Start(last) + v.Extent(last));
}

int TCustomGrid::VisibleColCount() const {
  TAxis h = ColAxis();
  int n = 0, pos = FixedWidth();
  for (int k = FTopLeft.X; k < ColCount() && pos + h.Extent(k) <= ClientWidth(); ++k, ++n) pos += h.Extent(k);
  return std::max(n, 0);
}

int TCustomGrid::VisibleRowCount() const {
  TAxis v = RowAxis();
  int n = 0, pos = FixedHeight();
  for (int k = FTopLeft.Y; k < RowCount() && pos + v.Extent(k) <= ClientHeight(); ++k, ++n) pos += v.Extent(k);
  return std::max(n, 0);
}

// ================================================================ construction and sizes

KELM_PUBLISH(TCustomGrid) {}

TCustomGrid::TCustomGrid(TComponent* AOwner) : TCustomControl(AOwner) {
  SetControlStyle({csCaptureMouse, csOpaque, csDoubleClicks, csClickEvents});
  FColWidths.assign(5, FDefaultColWidth);
  FRowHeights.assign(5, FDefaultRowHeight);
  FBars = std::make_unique<TWindowScrollBars>(this);
  SetTabStop(true);
  SetColor(clWindow);
  SetParentColor(false);
  SetBounds(0, 0, 320, 120);
}

TCustomGrid::~TCustomGrid() {
  if (HandleAllocated() && FScrollTimerMs) KillTimer(Handle(), kScrollTimer);
  DestroyEditor();
}

void TCustomGrid::DestroyEditor() {
  TInplaceEdit* ed = FInplaceEdit;
  FInplaceEdit = nullptr;
  FInplaceEditCell = TGridCoord{-1, -1};
  delete ed;
}

void TCustomGrid::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  ctrl_utils::AddBorderStyle(Params, FBorderStyle, Ctl3D());
}

void TCustomGrid::CreateWnd() {
  TCustomControl::CreateWnd();
  UpdateScrollRange();
}

void TCustomGrid::SetColCount(int Value) {
  if (Value < 1) Value = 1;
  if (Value <= FFixedCols) throw EInvalidGridOperation("Fixed column count must be less than column count");
  if (Value == ColCount()) return;
  FColWidths.resize(Value, FDefaultColWidth);
  FTabStops.resize(std::min<size_t>(FTabStops.size(), Value));
  FCurrent.X = std::min(FCurrent.X, Value - 1);
  FAnchor.X = std::min(FAnchor.X, Value - 1);
  FTopLeft.X = std::clamp(FTopLeft.X, FFixedCols, Value - 1);
  SizeChanged();
}

void TCustomGrid::SetRowCount(int Value) {
  if (Value < 1) Value = 1;
  if (Value <= FFixedRows) throw EInvalidGridOperation("Fixed row count must be less than row count");
  if (Value == RowCount()) return;
  FRowHeights.resize(Value, FDefaultRowHeight);
  FCurrent.Y = std::min(FCurrent.Y, Value - 1);
  FAnchor.Y = std::min(FAnchor.Y, Value - 1);
  FTopLeft.Y = std::clamp(FTopLeft.Y, FFixedRows, Value - 1);
  SizeChanged();
}

void TCustomGrid::SetFixedCols(int Value) {
  if (Value < 0) throw EInvalidGridOperation("Grid index out of range");
  if (Value >= ColCount()) throw EInvalidGridOperation("Fixed column count must be less than column count");
  FFixedCols = Value;
  FTopLeft.X = std::max(FTopLeft.X, Value);
  FCurrent.X = std::max(FCurrent.X, Value);
  FAnchor.X = std::max(FAnchor.X, Value);
  SizeChanged();
}

void TCustomGrid::SetFixedRows(int Value) {
  if (Value < 0) throw EInvalidGridOperation("Grid index out of range");
  if (Value >= RowCount()) throw EInvalidGridOperation("Fixed row count must be less than row count");
  FFixedRows = Value;
  FTopLeft.Y = std::max(FTopLeft.Y, Value);
  FCurrent.Y = std::max(FCurrent.Y, Value);
  FAnchor.Y = std::max(FAnchor.Y, Value);
  SizeChanged();
}

void TCustomGrid::SetDefaultColWidth(int Value) {
  FDefaultColWidth = Value;
  std::fill(FColWidths.begin(), FColWidths.end(), Value);
  ColWidthsChanged();
  SizeChanged();
}

void TCustomGrid::SetDefaultRowHeight(int Value) {
  FDefaultRowHeight = Value;
  std::fill(FRowHeights.begin(), FRowHeights.end(), Value);
  RowHeightsChanged();
  SizeChanged();
}

int TCustomGrid::ColWidths(int Index) const {
  if (Index < 0 || Index >= ColCount()) return FDefaultColWidth;
  return FColWidths[Index];
}

void TCustomGrid::SetColWidths(int Index, int Value) {
  if (Index < 0 || Index >= ColCount()) throw EInvalidGridOperation("Grid index out of range");
  if (FColWidths[Index] == Value) return;
  FColWidths[Index] = Value;
  ColWidthsChanged();
  SizeChanged();
}

int TCustomGrid::RowHeights(int Index) const {
  if (Index < 0 || Index >= RowCount()) return FDefaultRowHeight;
  return FRowHeights[Index];
}

void TCustomGrid::SetRowHeights(int Index, int Value) {
  if (Index < 0 || Index >= RowCount()) throw EInvalidGridOperation("Grid index out of range");
  if (FRowHeights[Index] == Value) return;
  FRowHeights[Index] = Value;
  RowHeightsChanged();
  SizeChanged();
}

void TCustomGrid::SetGridLineWidth(int Value) {
  if (Value == FGridLineWidth) return;
  FGridLineWidth = std::max(0, Value);
  SizeChanged();
}

bool TCustomGrid::TabStops(int Index) const {
  return Index < 0 || Index >= static_cast<int>(FTabStops.size()) || FTabStops[Index];
}

void TCustomGrid::SetTabStops(int Index, bool Value) {
  if (Index < 0 || Index >= ColCount()) throw EInvalidGridOperation("Grid index out of range");
  if (static_cast<int>(FTabStops.size()) <= Index) FTabStops.resize(Index + 1, true);
  FTabStops[Index] = Value;
}

void TCustomGrid::SetOptions(TGridOptions Value) {
  if (Value == FOptions) return;
  if (Value.Contains(goRowSelect)) Value.Exclude(goAlwaysShowEditor);
  FOptions = Value;
  if (!FOptions.Contains(goEditing)) HideEditor();
  else if (FOptions.Contains(goAlwaysShowEditor)) FEditorMode = true;
  SizeChanged();
}

void TCustomGrid::SetScrollBars(TScrollStyle Value) {
  if (Value == FScrollBars) return;
  FScrollBars = Value;
  UpdateScrollRange();
}

void TCustomGrid::SetBorderStyle(TBorderStyle Value) {
  if (Value == FBorderStyle) return;
  FBorderStyle = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomGrid::SetFixedColor(TColor Value) {
  if (Value == FFixedColor) return;
  FFixedColor = Value;
  Invalidate();
}

void TCustomGrid::SizeChanged() {
  if (FTopLeft.X > ColAxis().MaxFirst()) FTopLeft.X = ColAxis().MaxFirst();
  if (FTopLeft.Y > RowAxis().MaxFirst()) FTopLeft.Y = RowAxis().MaxFirst();
  UpdateScrollRange();
  Invalidate();
  UpdateEdit();
}

void TCustomGrid::Resize() {
  TCustomControl::Resize();
  SizeChanged();
}

void TCustomGrid::ChangeScale(int M, int D) {
  if (M == D || D == 0) return;
  TCustomControl::ChangeScale(M, D);
  FDefaultColWidth = MulDiv(FDefaultColWidth, M, D);
  FDefaultRowHeight = MulDiv(FDefaultRowHeight, M, D);
  for (int& w : FColWidths)
    if (w > 0) w = MulDiv(w, M, D);
  for (int& h : FRowHeights)
    if (h > 0) h = MulDiv(h, M, D);
  ColWidthsChanged();
  RowHeightsChanged();
  SizeChanged();
}

// ================================================================ position and selection

TGridRect TCustomGrid::Selection() const {
  if (FOptions.Contains(goRowSelect))
    return {FFixedCols, std::min(FAnchor.Y, FCurrent.Y), ColCount() - 1, std::max(FAnchor.Y, FCurrent.Y)};
  return {std::min(FAnchor.X, FCurrent.X), std::min(FAnchor.Y, FCurrent.Y), std::max(FAnchor.X, FCurrent.X),
          std::max(FAnchor.Y, FCurrent.Y)};
}

void TCustomGrid::SetSelection(const TGridRect& Value) {
  FAnchor = {Value.Left, Value.Top};
  FCurrent = {Value.Right, Value.Bottom};
  ClampInView(FCurrent);
  Invalidate();
  UpdateEdit();
}

void TCustomGrid::SetCol(int Value) {
  if (Value != FCurrent.X) FocusCell(Value, FCurrent.Y, true);
}

void TCustomGrid::SetRow(int Value) {
  if (Value != FCurrent.Y) FocusCell(FCurrent.X, Value, true);
}

void TCustomGrid::SetLeftCol(int Value) { MoveTopLeft(Value, FTopLeft.Y); }
void TCustomGrid::SetTopRow(int Value) { MoveTopLeft(FTopLeft.X, Value); }

void TCustomGrid::FocusCell(int ACol, int ARow, bool MoveAnchor) {
  ACol = std::clamp(ACol, FFixedCols, ColCount() - 1);
  ARow = std::clamp(ARow, FFixedRows, RowCount() - 1);
  MoveCurrent(ACol, ARow, MoveAnchor, true);
}

void TCustomGrid::MoveCurrent(int ACol, int ARow, bool MoveAnchor, bool Show) {
  if (ACol < 0 || ARow < 0 || ACol >= ColCount() || ARow >= RowCount())
    throw EInvalidGridOperation("Grid index out of range");
  if (!SelectCell(ACol, ARow)) return;
  MoveColRow(ACol, ARow, MoveAnchor, Show);
}

void TCustomGrid::MoveColRow(int ACol, int ARow, bool MoveAnchor, bool Show) {
  TGridCoord old = FCurrent;
  TGridRect oldSelection = Selection();
  FCurrent = {ACol, ARow};
  if (MoveAnchor || !FOptions.Contains(goRangeSelect)) FAnchor = FCurrent;
  if (FCurrent == old && !MoveAnchor) return;
  if (Show) ClampInView(FCurrent);
  // The cells that were selected or current, and those that are now.
  InvalidateGridRect(oldSelection);
  InvalidateGridRect(Selection());
  if (FCurrent == old) return;
  UpdateEdit();
  CurrentChanged(old.X, old.Y);
}

void TCustomGrid::ClampInView(TGridCoord Coord) {
  int left = FTopLeft.X, top = FTopLeft.Y;
  auto fit = [](TAxis a, int i, int& first) {
    if (i < a.Fixed) return;
    if (i < first) {
      first = i;
      return;
    }
    int maxFirst = a.MaxFirst();
    for (a.First = first; a.First < std::min(i, maxFirst); ++a.First) {
      int s = a.Start(i);
      if (s >= 0 && s + a.Extent(i) <= a.ClientExtent) break;
    }
    first = a.First;
  };
  fit(ColAxis(), Coord.X, left);
  fit(RowAxis(), Coord.Y, top);
  MoveTopLeft(left, top);
}

void TCustomGrid::MoveTopLeft(int ALeft, int ATop) {
  ALeft = std::clamp(ALeft, FFixedCols, std::max(FFixedCols, ColAxis().MaxFirst()));
  ATop = std::clamp(ATop, FFixedRows, std::max(FFixedRows, RowAxis().MaxFirst()));
  if (ALeft == FTopLeft.X && ATop == FTopLeft.Y) return;
  FTopLeft = {ALeft, ATop};
  UpdateScrollRange();
  Invalidate();
  TopLeftChanged();
}

void TCustomGrid::TopLeftChanged() {
  UpdateEdit();
  if (OnTopLeftChanged) OnTopLeftChanged(this);
}

void TCustomGrid::UpdateScrollRange() {
  if (!HandleAllocated()) return;
  bool horz = FScrollBars == ssHorizontal || FScrollBars == ssBoth;
  bool vert = FScrollBars == ssVertical || FScrollBars == ssBoth;
  FBars->SetAllowed(SB_HORZ, horz);
  // Horizontal only: the vertical bar belongs to the descendant, which sets it itself.
  if (!OwnsVertScrollBar()) FBars->SetAllowed(SB_VERT, vert);
  if (horz)
    FBars->SetInfo(SB_HORZ, 0, std::max(0, ColCount() - FFixedCols - 1), std::max(1, VisibleColCount()),
                   FTopLeft.X - FFixedCols);
  if (vert && !OwnsVertScrollBar())
    FBars->SetInfo(SB_VERT, 0, std::max(0, RowCount() - FFixedRows - 1), std::max(1, VisibleRowCount()),
                   FTopLeft.Y - FFixedRows);
}

// ================================================================ editor

bool TCustomGrid::IsActiveControl() const {
  return Focused() || (FInplaceEdit && FInplaceEdit->Focused());
}

bool TCustomGrid::CanEditShow() {
  bool editing = FOptions.Contains(goEditing) && !FOptions.Contains(goRowSelect);
  return editing && FEditorMode && HandleAllocated() && !ComponentState().Contains(csDesigning) &&
         (FOptions.Contains(goAlwaysShowEditor) || IsActiveControl());
}

TInplaceEdit* TCustomGrid::CreateEditor() { return new TInplaceEdit(this); }

void TCustomGrid::SetEditorMode(bool Value) {
  if (Value) ShowEditor();
  else HideEditor();
}

void TCustomGrid::ShowEditor() {
  FEditorMode = true;
  UpdateEdit();
}

void TCustomGrid::HideEditor() {
  FEditorMode = false;
  if (FInplaceEdit) FInplaceEdit->Hide();
}

void TCustomGrid::InvalidateEditor() {
  if (FInplaceEdit && FInplaceEdit->Visible()) FInplaceEdit->UpdateContents();
  UpdateEdit();
}

void TCustomGrid::UpdateEdit() {
  if (!CanEditShow()) {
    if (FInplaceEdit) FInplaceEdit->Hide();
    return;
  }
  TRect r = CellRect(FCurrent.X, FCurrent.Y);
  if (IsRectEmpty(r)) {
    if (FInplaceEdit) FInplaceEdit->Hide();
    return;
  }
  bool fresh = !FInplaceEdit;
  if (fresh) {
    FInplaceEdit = CreateEditor();
    FInplaceEdit->SetParent(this);
  }
  bool moved = fresh || !FInplaceEdit->Visible() || !(FInplaceEditCell == FCurrent);
  if (moved) FInplaceEdit->UpdateContents();
  FInplaceEditCell = FCurrent;
  FInplaceEdit->Move(r);
}

// ================================================================ sizing and moving

void TCustomGrid::CalcSizingState(int X, int Y, TGridState& State, int& Index, int& SizingPos, int& SizingOfs) {
  State = gsNormal;
  Index = -1;
  auto probe = [&](TAxis a, int Pos, TGridState Kind) {
    int last = a.Last();
    for (int i = 0; i <= last; ++i) {
      int s = a.Start(i);
      if (s < 0) continue;
      int edge = s + std::max(0, (*a.Sizes)[i]);
      if (Pos >= edge - kSizingSlack && Pos <= edge + a.Line + kSizingSlack) {
        State = Kind;
        Index = i;
        SizingPos = edge;
        SizingOfs = edge - Pos;
      }
    }
  };
  if (FOptions.Contains(goColSizing) && Y >= 0 && Y < FixedHeight()) probe(ColAxis(), X, gsColSizing);
  if (State == gsNormal && FOptions.Contains(goRowSizing) && X >= 0 && X < FixedWidth())
    probe(RowAxis(), Y, gsRowSizing);
}

void TCustomGrid::MoveColumn(int FromIndex, int ToIndex) {
  if (FromIndex == ToIndex) return;
  int w = FColWidths[FromIndex];
  FColWidths.erase(FColWidths.begin() + FromIndex);
  FColWidths.insert(FColWidths.begin() + ToIndex, w);
  auto follow = [&](int& x) {
    if (x == FromIndex) x = ToIndex;
    else if (FromIndex < ToIndex && x > FromIndex && x <= ToIndex) --x;
    else if (FromIndex > ToIndex && x >= ToIndex && x < FromIndex) ++x;
  };
  follow(FCurrent.X);
  follow(FAnchor.X);
  ColumnMoved(FromIndex, ToIndex);
  Invalidate();
  UpdateEdit();
}

void TCustomGrid::ColumnMoved(int FromIndex, int ToIndex) {
  if (OnColumnMoved) OnColumnMoved(this, FromIndex, ToIndex);
}

void TCustomGrid::EndSizingOrMoving(int X, int Y) {
  TGridState state = FGridState;
  FGridState = gsNormal;
  InvalidateOverlay();
  if (state == gsColSizing) {
    int s = ColAxis().Start(FSizingIndex);
    if (s >= 0) SetColWidths(FSizingIndex, std::max(0, X + FSizingOfs - s));
  } else if (state == gsRowSizing) {
    int s = RowAxis().Start(FSizingIndex);
    if (s >= 0) SetRowHeights(FSizingIndex, std::max(0, Y + FSizingOfs - s));
  } else if (state == gsColMoving && FMoveTarget >= 0) {
    MoveColumn(FMoveIndex, FMoveTarget);
  }
  FMoveTarget = -1;
}

void TCustomGrid::InvalidateOverlay() {
  if (HandleAllocated()) Invalidate();
}

void TCustomGrid::PaintOverlay() {
  int x = -1;
  if (FGridState == gsColSizing) x = FSizingPos;
  else if (FGridState == gsColMoving && FMoveTarget >= 0) {
    TRect r = CellRect(FMoveTarget, 0);
    x = FMoveTarget > FMoveIndex ? r.Right : r.Left;
  }
  if (x >= 0) {
    Canvas()->Brush()->SetColor(clBlack);
    Canvas()->FillRect(TRect{x - 1, 0, x + 1, ClientHeight()});
  }
  if (FGridState == gsRowSizing) {
    Canvas()->Brush()->SetColor(clBlack);
    Canvas()->FillRect(TRect{0, FSizingPos - 1, ClientWidth(), FSizingPos + 1});
  }
}

// ================================================================ mouse

void TCustomGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft && !ComponentState().Contains(csDesigning) && CanFocus() && !IsActiveControl()) SetFocus();
  if (Button != mbLeft) {
    TCustomControl::MouseDown(Button, Shift, X, Y);
    return;
  }
  FLastMouse = {X, Y};
  TGridState sizing;
  CalcSizingState(X, Y, sizing, FSizingIndex, FSizingPos, FSizingOfs);
  if (sizing != gsNormal) {
    FGridState = sizing;
    InvalidateOverlay();
  } else {
    TGridCoord cell = MouseCoord(X, Y);
    if (cell.X >= 0 && FOptions.Contains(goColMoving) && cell.Y < FFixedRows && cell.X >= FFixedCols) {
      FGridState = gsColMoving;
      FMoveIndex = FMoveTarget = cell.X;
    } else if (cell.X >= FFixedCols && cell.Y >= FFixedRows) {
      bool again = cell == FCurrent;
      if (Shift.Contains(ssShift) && FOptions.Contains(goRangeSelect)) MoveCurrent(cell.X, cell.Y, false, true);
      else MoveCurrent(cell.X, cell.Y, true, true);
      if (again && FOptions.Contains(goEditing) && !Shift.Contains(ssDouble)) ShowEditor();
      else if (FOptions.Contains(goRangeSelect)) FGridState = gsSelecting;
    }
  }
  TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TCustomGrid::SelectTo(TGridCoord Cell) {
  if (Cell.X < FFixedCols || Cell.Y < FFixedRows || Cell == FCurrent) return;
  MoveCurrent(Cell.X, Cell.Y, false, true);
}

void TCustomGrid::MouseMove(TShiftState Shift, int X, int Y) {
  FLastMouse = {X, Y};
  switch (FGridState) {
    case gsSelecting: {
      bool outside = X < FixedWidth() || Y < FixedHeight() || X >= ClientWidth() || Y >= ClientHeight();
      if (outside) SetScrollTimer(100);
      else {
        SetScrollTimer(0);
        SelectTo(MouseCoord(X, Y));
      }
      break;
    }
    case gsColSizing:
      FSizingPos = X + FSizingOfs;
      InvalidateOverlay();
      break;
    case gsRowSizing:
      FSizingPos = Y + FSizingOfs;
      InvalidateOverlay();
      break;
    case gsColMoving: {
      int target = ColAxis().At(X);
      if (target >= FFixedCols) FMoveTarget = target;
      InvalidateOverlay();
      break;
    }
    default: break;
  }
  TCustomControl::MouseMove(Shift, X, Y);
}

void TCustomGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft) {
    SetScrollTimer(0);
    if (FGridState == gsSelecting) FGridState = gsNormal;
    else if (FGridState != gsNormal) EndSizingOrMoving(X, Y);
  }
  TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TCustomGrid::SetScrollTimer(int IntervalMs) {
  if (IntervalMs == FScrollTimerMs || !HandleAllocated()) return;
  FScrollTimerMs = IntervalMs;
  if (IntervalMs > 0) SetTimer(Handle(), kScrollTimer, IntervalMs);
  else KillTimer(Handle(), kScrollTimer);
}

void TCustomGrid::TimedScroll(int Dx, int Dy) {
  TGridCoord target{FCurrent.X + Dx, FCurrent.Y + Dy};
  target.X = std::clamp(target.X, FFixedCols, ColCount() - 1);
  target.Y = std::clamp(target.Y, FFixedRows, RowCount() - 1);
  SelectTo(target);
}

// ================================================================ keys and scrolling

bool TCustomGrid::MovesByKey(Word Key, TShiftState Shift, TGridCoord& T) {
  bool ctrl = Shift.Contains(ssCtrl);
  int page = std::max(1, VisibleRowCount());
  switch (Key) {
    case VK_UP: --T.Y; return true;
    case VK_DOWN: ++T.Y; return true;
    case VK_LEFT:
    case VK_RIGHT:
      if (FOptions.Contains(goRowSelect)) {
        MoveTopLeft(FTopLeft.X + (Key == VK_LEFT ? -1 : 1), FTopLeft.Y);
        return false;
      }
      T.X += Key == VK_LEFT ? -1 : 1;
      return true;
    case VK_PRIOR: T.Y -= page; return true;
    case VK_NEXT: T.Y += page; return true;
    case VK_HOME:
      if (ctrl) T.Y = FFixedRows;
      T.X = FFixedCols;
      return true;
    case VK_END:
      if (ctrl) T.Y = RowCount() - 1;
      T.X = ColCount() - 1;
      return true;
    case VK_TAB: {
      if (!FOptions.Contains(goTabs) || Shift.Contains(ssAlt)) return false;
      int step = Shift.Contains(ssShift) ? -1 : 1;
      int n = ColCount() - FFixedCols;
      for (int i = 0; i < n; ++i) {
        T.X += step;
        if (T.X >= ColCount()) {
          T.X = FFixedCols;
          if (T.Y + 1 < RowCount()) ++T.Y;
        } else if (T.X < FFixedCols) {
          T.X = ColCount() - 1;
          if (T.Y - 1 >= FFixedRows) --T.Y;
        }
        if (TabStops(T.X)) break;
      }
      return true;
    }
    default: return false;
  }
}

void TCustomGrid::KeyDown(Word& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  if (!Key) return;
  if (Key == VK_F2 && FOptions.Contains(goEditing)) {
    ShowEditor();
    Key = 0;
    return;
  }
  if (Key == VK_ESCAPE) {
    if (FEditorMode && !FOptions.Contains(goAlwaysShowEditor)) {
      InvalidateEditor();
      HideEditor();
    }
    return;
  }
  TGridCoord target = FCurrent;
  if (!MovesByKey(Key, Shift, target)) return;
  target.X = std::clamp(target.X, FFixedCols, ColCount() - 1);
  target.Y = std::clamp(target.Y, FFixedRows, RowCount() - 1);
  bool extend = Shift.Contains(ssShift) && Key != VK_TAB && FOptions.Contains(goRangeSelect);
  if (!(target == FCurrent)) MoveCurrent(target.X, target.Y, !extend, true);
  Key = 0;
}

void TCustomGrid::KeyPress(Char& Key) {
  TCustomControl::KeyPress(Key);
  if (!Key || !FOptions.Contains(goEditing)) return;
  if (Key == 13) {
    if (!FOptions.Contains(goAlwaysShowEditor)) SetEditorMode(!FEditorMode);
    Key = 0;
    return;
  }
  if (Key == 27) return;
  if (Key >= 32 && !FEditorMode) {
    ShowEditor();
    if (FInplaceEdit && FInplaceEdit->Visible()) {
      FInplaceEdit->SelectAll();
      FInplaceEdit->Perform(WM_CHAR, Key, 0);
    }
    Key = 0;
  }
}

void TCustomGrid::ScrollMessage(int Bar, int Code, int Pos) {
  bool horz = Bar == SB_HORZ;
  int first = horz ? FTopLeft.X : FTopLeft.Y;
  int fixed = horz ? FFixedCols : FFixedRows;
  int page = std::max(1, horz ? VisibleColCount() : VisibleRowCount());
  switch (Code) {
    case SB_LINEUP: --first; break;
    case SB_LINEDOWN: ++first; break;
    case SB_PAGEUP: first -= page; break;
    case SB_PAGEDOWN: first += page; break;
    case SB_THUMBTRACK:
      if (!FOptions.Contains(goThumbTracking)) return;
      first = fixed + Pos;
      break;
    case SB_THUMBPOSITION: first = fixed + Pos; break;
    case SB_TOP: first = fixed; break;
    case SB_BOTTOM: first = horz ? ColAxis().MaxFirst() : RowAxis().MaxFirst(); break;
    default: return;
  }
  if (horz) MoveTopLeft(first, FTopLeft.Y);
  else MoveTopLeft(FTopLeft.X, first);
}

// ================================================================ painting

TRect TCustomGrid::MirroredRect(const TRect& R) const {
  if (!UseRightToLeftAlignment()) return R;
  return TRect{ClientWidth() - R.Right, R.Top, ClientWidth() - R.Left, R.Bottom};
}

void TCustomGrid::InvalidateRect(const TRect* Rect) {
  if (!Rect) {
    TCustomControl::InvalidateRect(nullptr);
    return;
  }
  TRect r = MirroredRect(*Rect);
  TCustomControl::InvalidateRect(&r);
}

void TCustomGrid::MirrorCanvas(bool On) {
  FCanvasMirrored = On;
  HDC dc = Canvas()->Handle();
  int w = std::max(1, ClientWidth()), h = std::max(1, ClientHeight());
  SetMapMode(dc, MM_ANISOTROPIC);
  SetViewportExtEx(dc, w, h, nullptr);
  SetWindowOrgEx(dc, On ? w : 0, 0, nullptr);
  SetWindowExtEx(dc, On ? -w : w, h, nullptr);
}

void TCustomGrid::Paint() {
  bool mirrored = UseRightToLeftAlignment();
  if (mirrored) MirrorCanvas(true);
  PaintCells();
  if (mirrored) MirrorCanvas(false);
}

void TCustomGrid::PaintCells() {
  TCanvas* c = Canvas();
  TAxis h = ColAxis(), v = RowAxis();
  int lastCol = h.Last(), lastRow = v.Last();
  TGridRect sel = Selection();
  bool focused = IsActiveControl();
  std::vector<int> cols, rows;
  for (int i = 0; i <= lastCol; ++i)
    if (h.Start(i) >= 0) cols.push_back(i);
  for (int i = 0; i <= lastRow; ++i)
    if (v.Start(i) >= 0) rows.push_back(i);
  for (int r : rows)
    for (int k : cols) {
      TRect cell = CellRect(k, r);
      bool fixed = k < FFixedCols || r < FFixedRows;
      TGridDrawState state;
      if (fixed) state.Include(gdFixed);
      bool current = k == FCurrent.X && r == FCurrent.Y;
      if (current && focused) state.Include(gdFocused);
      bool inSel = !fixed && k >= sel.Left && k <= sel.Right && r >= sel.Top && r <= sel.Bottom;
      // The focused cell of a focused grid shows the focus instead, unless the options ask
      // for it to be drawn selected; a grid without the focus shows its current cell selected.
      if (inSel && (!current || !focused || FOptions.Contains(goDrawFocusSelected) || FOptions.Contains(goRowSelect)))
        state.Include(gdSelected);
      TColor lineColor = fixed ? clBlack : clSilver;
      int lineW = k < FFixedCols ? h.FixedLine : h.Line, lineH = r < FFixedRows ? v.FixedLine : v.Line;
      c->Brush()->SetColor(lineColor);
      if (lineW > 0) c->FillRect(TRect{cell.Right, cell.Top, cell.Right + lineW, cell.Bottom + lineH});
      if (lineH > 0) c->FillRect(TRect{cell.Left, cell.Bottom, cell.Right + lineW, cell.Bottom + lineH});
      if (FDefaultDrawing) {
        c->Brush()->SetColor(fixed ? FFixedColor : state.Contains(gdSelected) ? clHighlight : Color());
        c->FillRect(cell);
      }
      DrawCell(k, r, cell, state);
    }
  c->Brush()->SetColor(Color());
  int gw = GridWidth(), gh = GridHeight();
  if (gw < ClientWidth()) c->FillRect(TRect{gw, 0, ClientWidth(), ClientHeight()});
  if (gh < ClientHeight()) c->FillRect(TRect{0, gh, gw, ClientHeight()});
  PaintOverlay();
}

void TCustomGrid::InvalidateGridRect(const TGridRect& Cells) {
  if (!HandleAllocated()) return;
  // The pixels of the range's cells that are in view.
  auto span = [](const TAxis& a, int From, int To, int& Lo, int& Hi) {
    Lo = a.ClientExtent, Hi = 0;
    int n = static_cast<int>(a.Sizes->size());
    for (int i = std::max(0, From); i <= std::min(To, n - 1); ++i) {
      int s = a.Start(i);
      if (s < 0) continue;
      Lo = std::min(Lo, s);
      Hi = std::max(Hi, s + a.Extent(i));
    }
    return Lo < Hi;
  };
  TRect r;
  if (span(ColAxis(), Cells.Left, Cells.Right, r.Left, r.Right) && span(RowAxis(), Cells.Top, Cells.Bottom, r.Top, r.Bottom))
    InvalidateRect(&r);
}

void TCustomGrid::InvalidateCell(int ACol, int ARow) {
  TRect r = CellRect(ACol, ARow);
  if (!IsRectEmpty(r) && HandleAllocated()) InvalidateRect(&r);
}

void TCustomGrid::InvalidateCol(int ACol) { InvalidateGridRect({ACol, 0, ACol, RowCount() - 1}); }

void TCustomGrid::InvalidateRow(int ARow) { InvalidateGridRect({0, ARow, ColCount() - 1, ARow}); }

// ================================================================ messages

void TCustomGrid::DoExit() {
  TCustomControl::DoExit();
  if (!FOptions.Contains(goAlwaysShowEditor)) HideEditor();
}

void TCustomGrid::WndProc(TMessage& Message) {
  if (FBars->MouseMessage(Message)) return;
  bool clientMouse = Message.Msg >= WM_MOUSEFIRST && Message.Msg <= WM_MOUSELAST && Message.Msg != WM_MOUSEWHEEL;
  if (clientMouse && UseRightToLeftAlignment()) {
    // The handlers see the left-to-right layout.
    TPoint p = PointFromLParam(Message.LParam);
    Message.LParam = PointToLParam({ClientWidth() - 1 - p.X, p.Y});
  }
  TCustomControl::WndProc(Message);
}

void TCustomGrid::Dispatch(TMessage& Message) {
  if (FBars->Dispatch(Message)) return;
  switch (Message.Msg) {
    case WM_GETDLGCODE:
      Message.Result = DLGC_WANTARROWS | (FOptions.Contains(goTabs) ? DLGC_WANTTAB : 0) |
                       (FOptions.Contains(goEditing) ? DLGC_WANTCHARS : 0);
      return;
    case WM_HSCROLL:
    case WM_VSCROLL:
      ScrollMessage(Message.Msg == WM_HSCROLL ? SB_HORZ : SB_VERT, LoWord(Message.WParam),
                    static_cast<SmallInt>(HiWord(Message.WParam)));
      return;
    case WM_TIMER:
      if (Message.WParam == kScrollTimer) {
        if (FGridState != gsSelecting) {
          SetScrollTimer(0);
          return;
        }
        int dx = FLastMouse.X < FixedWidth() ? -1 : FLastMouse.X >= ClientWidth() ? 1 : 0;
        int dy = FLastMouse.Y < FixedHeight() ? -1 : FLastMouse.Y >= ClientHeight() ? 1 : 0;
        TimedScroll(dx, dy);
        return;
      }
      break;
    case WM_CANCELMODE:
      SetScrollTimer(0);
      FGridState = gsNormal;
      InvalidateOverlay();
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      TCustomControl::Dispatch(Message);
      Invalidate();
      if (Message.Msg == WM_SETFOCUS && FEditorMode) UpdateEdit();
      return;
  }
  TCustomControl::Dispatch(Message);
}
