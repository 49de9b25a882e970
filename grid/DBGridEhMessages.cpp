// The window messages the grid answers itself: scrolling by its bars, timers, cursors, focus,
// cancel mode, font and colour notices, the flat border, hints and cell tool tips, and which
// edit operations the selection allows now.
#include "grid/DBGridEh.h"
#include "grid/DBGridEhImpl.h"
#include "grid/DBGridEhAux.h"
#include "grid/DBGridEhImpExp.h"
#include "grid/DBGridEhFilterEdit.h"
#include "grid/DBGridEhInplace.h"

#include "gui/Application.h"
#include "gui/Clipbrd.h"
#include "gui/Forms.h"
#include "gui/Screen.h"
#include "gui/WinGDI.h"
#include "core/Scope.h"

#include <algorithm>

namespace {

constexpr UINT_PTR kScrollTimer = 1, kIncSearchTimer = 2;

bool FocusComesFrom(const TWinControl* Control, HWND Window) {
  return Control && Control->HandleAllocated() && Control->Handle() == Window;
}

}  // namespace

// ================================================================ dispatch

void TCustomDBGridEh::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case WM_DEFERREDLAYOUT:
      if (!FColumns) break;
      if (FImpl->FLayoutLock > 0 || FColumns->UpdateCount() > 0) DeferLayout();
      else RebuildLayout();
      return;
    case WM_TIMER:
      if (M.WParam == kIncSearchTimer) {
        StopIncSearch();  // the search's time-out
        return;
      }
      if (M.WParam != kScrollTimer) break;
      if (FImpl->FMouseMode == mmRecordDragging) {
        TPoint p;
        GetCursorPos(&p);
        p = ScreenToClient(p);
        TrackRowsDrag(p.Y, MouseCoord(p.X, p.Y).Y, p, false);
      } else if (FImpl->FTracking || FImpl->FRowTracking || FImpl->FMouseMode == mmColSelecting) {
        TimerScroll();
      } else {
        StopScrollTimer();
        TCustomGrid::Dispatch(M);  // the base grid's own timed selection
      }
      return;
    case WM_VSCROLL: WMVScroll(M); return;
    case WM_HSCROLL: WMHScroll(M); return;
    case WM_SETCURSOR: WMSetCursor(M); return;
    case WM_CANCELMODE:
    case CM_CANCELMODE:
      // Before the inherited handling, whose button release would end a drag as accepted.
      CancelMouseTracking();
      TCustomGrid::Dispatch(M);
      if (M.Msg == CM_CANCELMODE && FImpl->FFilterEdit) FImpl->FFilterEdit->Perform(CM_CANCELMODE, M.WParam, M.LParam);
      return;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
      if (FilterRowPress(M)) return;
      break;
    case WM_CHAR:
      // Typing reaches the filter row's editor while the row is being edited.
      if (FImpl->FInFilterRow && FImpl->FFilterEdit && (M.WParam >= 32 || M.WParam == 8)) {
        if (!FilterEditorShown()) PlaceFilterEditor(false);
        if (FilterEditorShown()) {
          FImpl->FFilterEdit->Perform(WM_CHAR, M.WParam, M.LParam);
          return;
        }
      }
      break;
    case WM_GETDLGCODE:
      TCustomGrid::Dispatch(M);
      if (FOptionsEh.Contains(dghPreferIncSearch)) M.Result |= DLGC_WANTCHARS;
      return;
    case WM_IME_STARTCOMPOSITION:
      TCustomGrid::Dispatch(M);
      OpenEditor();  // the composed text goes into the cell
      return;
    case WM_ERASEBKGND: M.Result = 1; return;
    case WM_PAINT:
      if (WantsDoubleBuffer() && !DirectPaintEh) FImpl->FDoubleBuffering = true;
      break;
    case WM_NCCALCSIZE:
      TCustomGrid::Dispatch(M);
      if (FImpl->FFlatInset > 0 && M.LParam)
        InflateRect(*reinterpret_cast<TRect*>(M.LParam), -FImpl->FFlatInset, -FImpl->FFlatInset);
      return;
    case WM_NCPAINT:
      TCustomGrid::Dispatch(M);
      if (FImpl->FFlat && BorderStyle() == bsSingle && Ctl3D()) {
        HDC dc = GetWindowDC(Handle());
        TRect r = Rect(0, 0, Width(), Height());
        DrawEdge(dc, r, BDR_SUNKENOUTER, BF_RECT);
        ReleaseDC(Handle(), dc);
      }
      return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: FocusChanged(M); return;
    case CM_HINTSHOW: CMHintShow(M); return;
    case CM_HINTSHOWPAUSE: CMHintShowPause(M); return;
    case CM_MOUSEWHEEL:
      if (FImpl->FInFilterRow && FilterEditorShown()) {
        M.Result = FImpl->FFilterEdit->Perform(CM_MOUSEWHEEL, M.WParam, M.LParam);
        return;
      }
      // An open list under the editor takes the wheel first.
      if (auto* e = dynamic_cast<TDBGridInplaceEdit*>(InplaceEditor()); e && e->Visible() && e->ListVisible()) {
        if (e->ActiveList() && e->ActiveList()->Perform(CM_MOUSEWHEEL, M.WParam, M.LParam)) {
          M.Result = 1;
          return;
        }
      }
      break;
    case CM_FONTCHANGED: {
      TCustomGrid::Dispatch(M);
      TDBGridEhLayoutLock lock(this);  // the columns follow the font, one pass at the end
      return;
    }
    case CM_PARENTFONTCHANGED:
      TCustomGrid::Dispatch(M);
      if (ParentFont()) {
        FImpl->FSettingTitleFont = true;
        FImpl->FTitleFont->Assign(Font());
        FImpl->FFooterFont->Assign(Font());
        FImpl->FSettingTitleFont = false;
        RebuildLayout();
      }
      return;
    case CM_PARENTCOLORCHANGED:
      TCustomGrid::Dispatch(M);
      if (ParentColor()) {
        FImpl->FFooterColor = Color();
        Invalidate();
      }
      return;
    case CM_SYSCOLORCHANGE:
      TCustomGrid::Dispatch(M);
      ResetButtonBitmapCache();
      return;
    default: break;
  }
  TCustomGrid::Dispatch(M);
}

// A click on a grid that drags automatically selects rows: the drag mode is manual while the
// click is handled, and only a move after it starts a drag.
void TCustomDBGridEh::WndProc(TMessage& M) {
  bool click = M.Msg == WM_LBUTTONDOWN || M.Msg == WM_LBUTTONDBLCLK;
  if (!click || DragMode() != dmAutomatic || !FOptions.Contains(dgMultiSelect) || Designing()) {
    TCustomGrid::WndProc(M);
    return;
  }
  SetDragMode(dmManual);
  TRestore inClick(FImpl->FInClickWithDragMode, true);
  TScopeExit automatic([this] { SetDragMode(dmAutomatic); });
  TCustomGrid::WndProc(M);
}

void TCustomDBGridEh::CreateParams(TCreateParams& Params) {
  TCustomGrid::CreateParams(Params);
  FImpl->FFlatInset = 0;
  if (FImpl->FFlat && Ctl3D()) {
    // The flat border is the grid's own: a one-pixel sunken edge in the non-client area.
    if (BorderStyle() == bsSingle) FImpl->FFlatInset = 1;
    Params.Style &= ~WS_BORDER;
    Params.ExStyle &= ~WS_EX_CLIENTEDGE;
  }
  Params.Style |= WS_CLIPCHILDREN;
}

bool TCustomDBGridEh::WantsDoubleBuffer() const {
  // Fixed cells drawn with visual styles would flicker; styles are inactive here.
  return !FImpl->FFlat && IsThemeActive() && FOptionsEh.Contains(dghFixed3D) &&
         FOptions.Contains(dgColLines) && FOptions.Contains(dgRowLines);
}

// ================================================================ focus

void TCustomDBGridEh::FocusChanged(TMessage& M) {
  HWND other = reinterpret_cast<HWND>(M.WParam);
  bool toEditor = FocusComesFrom(InplaceEditor(), other);
  if (M.Msg == WM_KILLFOCUS && FImpl->FSortMarkedWithCtrl && !toEditor) {
    // Markers set with Ctrl held are reported when the focus goes elsewhere than the editor.
    FImpl->FSortMarkedWithCtrl = false;
    SortMarkingChanged();
  }
  if (M.Msg == WM_SETFOCUS && !toEditor) ApplyColumnImeMode();
  if (M.Msg == WM_KILLFOCUS) SetImeMode(imDontCare);
  if (FOptions.Contains(dgRowSelect) && FSelection->SelectionKind() != gstNon)
    InvalidateCellRange(FSelection->BoundsInGrid());
  TCustomGrid::Dispatch(M);
  // The filter row being edited keeps the focus in its editor.
  if (M.Msg == WM_SETFOCUS && FImpl->FInFilterRow && FilterEditorShown() &&
      !FocusComesFrom(FImpl->FFilterEdit, other) && FImpl->FFilterEdit->CanFocus())
    FImpl->FFilterEdit->SetFocus();
  RefreshFocusHighlight();
}

// ================================================================ scrolling

void TCustomDBGridEh::WMVScroll(TMessage& M) {
  if (!AcquireFocus()) return;
  TDataSet* ds = DataSet();
  if (ViewMode()) {
    WMVScrollView(M);  // the view scrolls; the current record stays
    return;
  }
  if (!FDataLink->Active() || !ds) return;
  int buffered = FDataLink->RecordCount(), active = FDataLink->ActiveRecord();
  int page = VisibleDataRowCount();
  int code = LoWord(M.WParam);
  int pos = static_cast<SmallInt>(HiWord(M.WParam));
  if (code == SB_THUMBTRACK || code == SB_THUMBPOSITION) {
    // Positions beyond 16 bits come with the bar's track position.
    SCROLLINFO si;
    si.fMask = SIF_TRACKPOS;
    if (FImpl->FVertScrollBar->ReadScrollInfo(si) && si.nTrackPos > 0x7FFF) pos = si.nTrackPos;
  }
  switch (code) {
    case SB_LINEUP: ds->MoveBy(-(active + 1)); break;
    case SB_LINEDOWN: ds->MoveBy(buffered - active); break;
    case SB_PAGEUP: ds->MoveBy(-page); break;
    case SB_PAGEDOWN: ds->MoveBy(page); break;
    case SB_TOP: ds->First(); break;
    case SB_BOTTOM: ds->Last(); break;
    case SB_THUMBTRACK:
      if (!FImpl->FVertScrollBar->Tracking()) break;
      ds->MoveBy(pos - FSumList->CurrentRecordNumber());
      FImpl->FIgnoreThumbPosition = true;
      break;
    case SB_THUMBPOSITION:
      if (FImpl->FIgnoreThumbPosition) {
        FImpl->FIgnoreThumbPosition = false;
        break;
      }
      if (FSumList->HasRecordNumbers()) {
        if (pos <= 1) ds->First();
        else if (pos >= FSumList->RecordTotal()) ds->Last();
        else FSumList->GoToRecordNumber(pos);
        break;
      }
      // An unsequenced dataset's bar has five places: ends, pages, and the middle.
      switch (pos) {
        case 0: ds->First(); break;
        case 1: ds->MoveBy(-page); break;
        case 3: ds->MoveBy(page); break;
        case 4: ds->Last(); break;
        default: break;
      }
      break;
    default: break;
  }
}

void TCustomDBGridEh::WMHScroll(TMessage& M) {
  if (FImpl->FHorzScrollBar->Tracking() && LoWord(M.WParam) == SB_THUMBTRACK)
    M.WParam = MakeWParam(SB_THUMBPOSITION, HiWord(M.WParam));
  TCustomGrid::Dispatch(M);
  UpdateExtHorzScrollBar();
}

// ================================================================ cursors

void TCustomDBGridEh::WMSetCursor(TMessage& M) {
  bool client = static_cast<short>(LoWord(static_cast<WPARAM>(M.LParam))) == HTCLIENT &&
                reinterpret_cast<HWND>(M.WParam) == Handle();
  if (!client) {
    TCustomGrid::Dispatch(M);
    return;
  }
  auto show = [&M](TCursor C) {
    ::SetCursor(Screen->Cursors(C));
    M.Result = 1;
  };
  if (Designing() && !FColumns->IsCustomized() && !FDataLink->Active()) return show(crArrow);
  TPoint p;
  GetCursorPos(&p);
  p = ScreenToClient(p);
  if (FImpl->FMouseMode == mmFrozenColSizing || (FImpl->FMouseMode == mmNone && FrozenSizingColumn(p.X, p.Y) >= 0))
    return show(crHSplit);
  TGridState sizing;
  int index = -1, pos = 0, ofs = 0;
  CalcSizingState(p.X, p.Y, sizing, index, pos, ofs);
  if (!Designing() && FDataLink->Active() && DataSet() && sizing == gsNormal &&
      FOptions.Contains(dgMultiSelect) && PtInRect(ClientRect(), p) && !BeginRowsDrag(p.X, p.Y, true)) {
    TGridCoord cell = MouseCoord(p.X, p.Y);
    bool indicator = cell.X >= 0 && cell.X < IndicatorOffset() && cell.Y >= TopDataOffset();
    if (indicator && !DataSet()->IsEmpty() && SelectionKindAllowed(gstRecordBookmarks))
      return show(BiDiMode() == bdRightToLeft ? GridRowSelectCursorRtl() : GridRowSelectCursor());
    if (ColumnSelectZone(p.X, p.Y) >= 0) return show(GridColumnSelectCursor());
  }
  TCustomGrid::Dispatch(M);
}

// ================================================================ hints and tool tips

void TCustomDBGridEh::CMHintShowPause(TMessage& M) {
  auto* pause = reinterpret_cast<int*>(M.LParam);
  TPoint p;
  GetCursorPos(&p);
  p = ScreenToClient(p);
  TGridCoord cell = MouseCoord(p.X, p.Y);
  int dataCol = 0, dataRow = 0;
  if (cell.X < 0 || cell.Y < 0) return;
  int type = GetCellType(cell.X, cell.Y, dataCol, dataRow);
  if ((type & 0xFF) != caData || dataCol < 0 || dataCol >= FColumns->Count()) return;
  TColumnEh* c = FColumns->Items(dataCol);
  int rowArea = type >> 8;
  bool now = (rowArea == raFooter && c->FooterAt(dataRow)->ToolTips()) ||
             (rowArea == raData && c->ToolTips() && FDataLink->Active()) ||
             (rowArea == raTitle && c->Title()->ToolTips() && c->Title()->Hint().empty());
  *pause = now ? 0 : Application->HintPause();
}

void TCustomDBGridEh::CMHintShow(TMessage& M) {
  auto* info = reinterpret_cast<THintInfo*>(M.LParam);
  TCustomGrid::Dispatch(M);
  if (M.Result != 0 || !info->HintStr.empty()) return;
  TGridCoord cell = MouseCoord(info->CursorPos.X, info->CursorPos.Y);
  int dataCol = RawToDataColumn(cell.X);
  if (cell.X < 0 || cell.Y < 0 || dataCol < 0 || dataCol >= FColumns->Count()) return;
  TColumnEh* c = FColumns->Items(dataCol);
  if (cell.Y < TitleRowCount() && !c->Title()->Hint().empty()) {
    info->HintStr = GetShortHint(c->Title()->Hint());
    info->CursorRect = CellRect(cell.X, cell.Y);
    return;
  }
  if (!CellToolTip(cell.X, cell.Y, *info)) info->HintStr.clear();
}

// What a tool tip would show for a cell, and where the cell's text stands.
struct TCustomDBGridEh::TCellTip {
  String Text;
  TRect Rect;        // the text's room in the cell
  int Limit = 0;     // the cell's right edge
  TAlignment Alignment = taLeftJustify;
  bool Wrap = false;
  bool AlwaysTip = false;  // images and check boxes show their text only as a tip
};

namespace {

// The pixels the tip's text stands off from its cell, so the tip covers the cell's text.
constexpr int kTipInset = 2;        // a sort marker's overlap, the tip's room left of its text
constexpr int kImageTextGap = 5;    // between a column's image and its text
constexpr int kRightTipInset = 6;   // a right-aligned tip from the cell's right edge

}  // namespace

// Fills Info with the tool tip of a cell whose text does not show whole; false when none.
bool TCustomDBGridEh::CellToolTip(int ACol, int ARow, THintInfo& Info) {
  int dataCol = 0, dataRow = 0;
  int rowArea = GetCellType(ACol, ARow, dataCol, dataRow) >> 8;
  TColumnEh* c = FColumns->Items(dataCol);
  bool title = rowArea == raTitle && c->Title()->ToolTips();
  bool data = rowArea == raData && c->ToolTips() && FDataLink->Active() && dataRow < RowRecordCount();
  bool footer = rowArea == raFooter && c->FooterAt(dataRow)->ToolTips();
  if (!(title || data || footer) || GetCapture() != 0 || GetKeyState(VK_CONTROL) < 0) return false;
  if (!FImpl->FToolTipFont) FImpl->FToolTipFont = std::make_unique<TFont>();
  TCellTip tip;
  tip.Rect = CellRect(ACol, ARow);
  tip.Limit = tip.Rect.Left + c->Width();
  TGridCoord cell{ACol, ARow};
  if (title) TitleTip(c, dataCol, tip);
  else if (footer) FooterTip(c, dataRow, tip);
  else if (!DataTip(c, dataRow, cell, Info.CursorPos.X, tip)) return false;
  return PlaceToolTip(tip, cell, Info);
}

// A title: the caption (or the lowest level of a multi-level title) beside the sort marker.
void TCustomDBGridEh::TitleTip(TColumnEh* Column, int DataCol, TCellTip& Tip) {
  int marker = Column->Title()->SortMarkerSpace();
  if (marker > kTipInset) {
    Tip.Rect.Right -= marker - kTipInset;
    Tip.Limit -= marker - kTipInset;
  }
  THeadTreeNode* leaf = FImpl->FUseMultiTitle ? LeafOf(DataCol) : nullptr;
  if (leaf) Tip.Rect.Top = Tip.Rect.Bottom - leaf->NodeHeight;
  Tip.Text = leaf ? leaf->NodeText : Column->Title()->Caption();
  Tip.Wrap = FImpl->FUseMultiTitle || FImpl->FTitleHeight > 0 || FImpl->FTitleLines > 0;
  Tip.Alignment = Column->Title()->Alignment();
  FImpl->FToolTipFont->Assign(Column->Title()->Font());
}

void TCustomDBGridEh::FooterTip(TColumnEh* Column, int Row, TCellTip& Tip) {
  TColumnFooterEh* f = Column->FooterAt(Row);
  Tip.Text = GetFooterText(Row, Column);
  Tip.Wrap = f->WordWrap();
  Tip.Alignment = f->Alignment();
  FImpl->FToolTipFont->Assign(f->Font());
}

// A data cell, read on its record of the buffer: the text as the cell's parameters make it,
// beside its buttons and image. False when the mouse is on a button or left of the text.
bool TCustomDBGridEh::DataTip(TColumnEh* Column, int DataRow, TGridCoord Cell, int CursorX, TCellTip& Tip) {
  TRowRecordScopeEh scope(this, DataRow);
  bool stepped = Column->ColumnKind() == ckImage || Column->ColumnKind() == ckCheckbox;
  if (stepped) {
    // The pick text at the image's place, or at the check state.
    String key = Column->Field() ? Column->Field()->Text() : String();
    int at = Column->ColumnKind() == ckCheckbox ? static_cast<int>(Column->CellCheckState())
                                                : Column->KeyList()->IndexOf(key);
    Tip.Text = at >= 0 && at < Column->PickList()->Count() ? Column->PickList()->Strings(at) : String();
    Tip.AlwaysTip = true;
  } else {
    Tip.Text = Column->CellText();
  }
  Tip.Alignment = stepped ? taLeftJustify : Column->Alignment();
  Tip.Wrap = Column->WordWrap() && FImpl->FWordWrapPossible;
  int buttons = 0;
  for (const TCellButton& b : CellButtons(Column)) buttons += b.Width;
  if (buttons > 0) {
    if (CursorX >= Tip.Rect.Right - buttons) return false;
    Tip.Rect.Right -= buttons;
    Tip.Limit -= buttons;
  }
  if (Column->ImageList() && Column->ShowImageAndText()) Tip.Rect.Left += Column->ImageList()->Width() + kImageTextGap;
  FImpl->FToolTipFont->Assign(Column->Font());
  TColor back = Column->Color();
  if (OnGetCellParams) OnGetCellParams(this, Column, FImpl->FToolTipFont.get(), back, TGridDrawState());
  TColCellParamsEh params;
  params.SetText(Tip.Text);
  params.SetAlignment(Tip.Alignment);
  params.SetFont(FImpl->FToolTipFont.get());
  params.SetCol(Cell.X);
  params.SetRow(Cell.Y);
  Column->FireGetCellParams(false, &params);
  Tip.Text = params.Text();
  Tip.Alignment = params.Alignment();
  return CursorX >= Tip.Rect.Left;
}

// Shows the tip when the text is cut (or a right-aligned text has lost room, or the cell shows
// no text of its own), over the cell's text in the tip font.
bool TCustomDBGridEh::PlaceToolTip(const TCellTip& Tip, TGridCoord Cell, THintInfo& Info) {
  if (Tip.Text.empty()) return false;
  int spacing = TextMargin();
  Canvas()->Font()->Assign(FImpl->FToolTipFont.get());
  int tw = 0, th = 0;
  bool cut = TextExceedsRect(Canvas(), Tip.Rect, Tip.Text, Tip.Wrap, spacing - kTipInset, spacing, 0, tw, th);
  bool shortRight = Tip.Alignment == taRightJustify && Tip.Rect.Right < Tip.Limit - kTipInset;
  if (!cut && !shortRight && !Tip.AlwaysTip) return false;
  // The tip window's border sits on the cell's line: one pixel up, two on a flat grid.
  int top = Tip.Rect.Top - (FImpl->FFlat ? 2 : 1);
  int left;
  switch (Tip.Alignment) {
    case taRightJustify: left = Tip.Limit - tw - kRightTipInset; break;
    case taCenter: left = Tip.Limit - (tw - tw / 2) - (Tip.Limit - Tip.Rect.Left - 4) / 2 - 5; break;
    default: left = Tip.Rect.Left - 1; break;
  }
  Info.HintStr = Tip.Text;
  Info.CursorRect = CellRect(Cell.X, Cell.Y);
  Info.HintPos = ClientToScreen({left, top});
  if (Tip.Wrap) Info.HintMaxWidth = Tip.Rect.Width() - 2 * kTipInset;
  Info.HintWindowClass = TToolTipsWindow::StaticClass();
  Info.HintData = FImpl->FToolTipFont.get();
  return true;
}

// ================================================================ edit operations

bool TCustomDBGridEh::CanCopySelection() const {
  return FDataLink->Active() && FSelection->SelectionKind() != gstNon;
}

bool TCustomDBGridEh::CanDeleteSelection() const {
  TDataSet* ds = DataSet();
  TDBGridEhSelectionType kind = FSelection->SelectionKind();
  if (!FDataLink->Active() || kind == gstNon || FImpl->FReadOnly || !ds || ds->IsEmpty() || !ds->CanModify())
    return false;
  bool rows = kind == gstRecordBookmarks || kind == gstAll;
  return FImpl->FAllowedOperations.Contains(rows ? alopDeleteEh : alopUpdateEh);
}

bool TCustomDBGridEh::CanCutSelection() const { return CanCopySelection() && CanDeleteSelection(); }

bool TCustomDBGridEh::CanPasteSelection() const {
  TDataSet* ds = DataSet();
  if (!FDataLink->Active() || FImpl->FReadOnly || !ds || !ds->CanModify()) return false;
  if (ds->State() != dsInsert && !FImpl->FAllowedOperations.Contains(alopUpdateEh)) return false;
  TClipboard* cb = Clipboard();
  return cb->HasFormat(VcldbifClipboardFormat()) || cb->HasFormat(CF_TEXT);
}

bool TCustomDBGridEh::CanSelectAll() const {
  TDataSet* ds = DataSet();
  return FDataLink->Active() && ds && !ds->IsEmpty() && FImpl->FAllowedSelections.Contains(gstAll);
}

bool TCustomDBGridEh::ExecuteAction(TBasicAction* Action) {
  return FDataLink->ExecuteAction(Action) || TCustomGrid::ExecuteAction(Action);
}

bool TCustomDBGridEh::UpdateAction(TBasicAction* Action) {
  return FDataLink->UpdateAction(Action) || TCustomGrid::UpdateAction(Action);
}

bool TCustomDBGridEh::GridIsActiveControl() const {
  if (TCustomForm* form = GetParentForm(const_cast<TCustomDBGridEh*>(this))) return form->ActiveControl() == this;
  for (TWinControl* c = FindControl(GetFocus()); c; c = c->Parent())
    if (c == this) return true;
  return false;
}

void TCustomDBGridEh::ApplyFilterDefault() {
  TRestore applying(FImpl->FApplyingFilter, true);
  GridDataService()->RequestFilter(this);
}
