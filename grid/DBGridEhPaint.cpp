// How the grid paints: indicator, titles with sort markers and multi-level bands, data cells
// with alternating and highlight colours, images and check boxes, footers, 3-D frames, and
// the standard cell drawing the application's own drawing handlers call.
#include "grid/DBGridEh.h"
#include "grid/DBGridEhImpl.h"

#include "grid/DBGridEhStyle.h"
#include "grid/GridUtilsEh.h"
#include "core/StrUtils.h"
#include "gui/Forms.h"
#include "gui/ImgList.h"
#include "gui/WinGDI.h"
#include "gui/Application.h"

#include <cassert>
#include <map>
#include <optional>

namespace {

// The incremental-search overlay: the typed text over this background, in black.
const TColor kIncSearchBackground = clYellow;
const TColor kIncSearchText = clBlack;

// The shared pictures, made once from the program's bitmaps.
struct TGridImages {
  std::unique_ptr<TImageList> Indicators;
  std::unique_ptr<TImageList> Markers;
};

std::unique_ptr<TBitmap> LoadBitmap(const char* Name) {
  auto b = std::make_unique<TBitmap>();
  b->LoadFromResourceName(Name);
  return b;
}

TGridImages MakeGridImages() {
  TGridImages g;
  g.Indicators = std::make_unique<TImageList>(nullptr);
  g.Indicators->SetWidth(6);
  g.Indicators->SetHeight(11);
  for (const char* n : {"DBGARROWEH", "DBEDITEH", "DBINSERTEH", "DBMULTIDOTEH", "DBMULTIARROWEH"})
    g.Indicators->AddMasked(LoadBitmap(n).get(), clWhite);
  const TColor teal = TColor(RGB(0, 128, 128));
  std::unique_ptr<TBitmap> arrow = LoadBitmap("DBGARROWEHW");
  g.Indicators->AddMasked(arrow.get(), teal);
  // The same arrow standing on the incremental-search colour, which stays opaque: teal is the
  // mask, so a teal search colour is taken one step darker.
  TColor back = ColorToRGB(kIncSearchBackground) == RGB(0, 128, 128) ? TColor(RGB(0, 127, 127)) : kIncSearchBackground;
  for (int y = 0; y < arrow->Height(); ++y)
    for (int x = 0; x < arrow->Width(); ++x)
      if ((COLORREF(arrow->Canvas()->Pixels(x, y)) & 0xFFFFFF) == RGB(0, 128, 128)) arrow->Canvas()->SetPixels(x, y, back);
  g.Indicators->AddMasked(arrow.get(), teal);
  g.Markers = std::make_unique<TImageList>(nullptr);
  g.Markers->SetWidth(10);
  g.Markers->SetHeight(9);
  g.Markers->AddMasked(LoadBitmap("DBSMDOWNEH").get(), TColor(RGB(255, 0, 255)));
  g.Markers->AddMasked(LoadBitmap("DBSMUPEH").get(), TColor(RGB(255, 0, 255)));
  return g;
}

// Made when a grid first paints; freed when the grid library ends.
TGridImages& GridImages() {
  static TGridImages images;
  if (!images.Indicators) {
    images = MakeGridImages();
    AddExitProc([] { images = TGridImages(); });
  }
  return images;
}

void FillWith(TCanvas* C, const TRect& R, TColor Color) {
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(Color);
  C->FillRect(R);
}

}  // namespace

TImageList* GridIndicatorImages() { return GridImages().Indicators.get(); }
TImageList* GridSortMarkerImages() { return GridImages().Markers.get(); }

// ================================================================ the style

void TCustomDBGridEh::SetStyle(TDBGridEhStyle* Value) {
  if (Value == FImpl->FStyle) return;
  if (FImpl->FStyle) FImpl->FStyle->DetachGrid(this);
  FImpl->FStyle = Value;
  if (FImpl->FStyle) FImpl->FStyle->AttachGrid(this);
  if (HandleAllocated()) Invalidate();
}

bool TCustomDBGridEh::GetFixedCellColors(int, int, TFont* AFont, TColor& Background, bool Highlighted, int CellType) {
  if (FImpl->FStyle) return FImpl->FStyle->HighlightFixedCell(this, AFont, Background, Highlighted, CellType);
  if (!Highlighted) return false;
  int colArea = CellType & 0xFF, rowArea = CellType >> 8;
  if ((colArea == caIndicator && rowArea != raFiller) || (colArea == caData && rowArea <= raFilter)) {
    Background = TColor(RGB(64, 64, 64));
    AFont->SetColor(clWhite);
  } else if (HasInputFocus()) {
    Background = clHighlight;
    AFont->SetColor(clHighlightText);
  } else {
    Background = clBtnFace;
  }
  return true;
}

bool TCustomDBGridEh::IsDataCellHighlighted(int DataCol, int DataRow, TFont* AFont, TColor& Background,
                                            TGridDrawState& State) {
  int raw = DataToRawColumn(DataCol), row = DataRow + TopDataOffset();
  if (FImpl->FStyle)
    return FImpl->FStyle->HighlightDataCell(this, raw, AFont, Background, State, DataRow, DataCol, row);
  bool currentRow = row == Row();
  bool selected =
      FDataLink->Active() && DataSet() && FSelection->ContainsDataCell(DataCol, DataSet()->GetBookmark());
  bool focusHighlight = HasInputFocus() && FOptionsEh.Contains(dghHighlightFocus);
  if (!selected) {
    if (FOptionsEh.Contains(dghRowHighlight) && currentRow && FSelection->SelectionKind() == gstNon &&
        raw != Col()) {
      focusHighlight = true;
      State.Include(gdSelected);
    }
    selected = (State.Contains(gdSelected) || (currentRow && FOptions.Contains(dgRowSelect))) &&
               (focusHighlight || FOptions.Contains(dgAlwaysShowSelection)) &&
               (FImpl->FUpdateLock == 0 || FOptions.Contains(dgRowSelect));
  }
  if (!selected) return false;
  if (HasInputFocus()) {
    Background = clHighlight;
    AFont->SetColor(clHighlightText);
  } else if (currentRow && (raw == Col() || FOptions.Contains(dgRowSelect)) &&
             (focusHighlight || FOptions.Contains(dgAlwaysShowSelection))) {
    Background = clBtnShadow;
    AFont->SetColor(clHighlightText);
  } else {
    Background = clBtnFace;
  }
  return true;
}

bool TCustomDBGridEh::CanDrawRowFocus() const {
  return !Designing() && FOptions.Contains(dgRowSelect) && FDefaultDrawing && Focused();
}

// ================================================================ paint

// The visible cells of one axis: index and pixel extent.
struct TCellSpan {
  int Index, From, To;
};

namespace {

std::vector<TCellSpan> VisibleCols(const TCustomDBGridEh* G) {
  std::vector<TCellSpan> out;
  if (G->RowCount() == 0) return out;
  for (int k = 0; k < G->ColCount(); ++k) {
    if (k >= G->FixedCols() && k < G->LeftCol()) continue;
    TRect r = G->CellRect(k, std::min(G->TopRow(), G->RowCount() - 1));
    if (r.Right > r.Left) out.push_back({k, r.Left, r.Right});
    else if (k >= G->FixedCols() && r.Left >= G->ClientWidth()) break;
  }
  return out;
}

std::vector<TCellSpan> VisibleRows(const TCustomDBGridEh* G) {
  std::vector<TCellSpan> out;
  if (G->ColCount() == 0) return out;
  int probe = std::min(G->LeftCol(), G->ColCount() - 1);
  for (int r = 0; r < G->RowCount(); ++r) {
    if (r >= G->FixedRows() && r < G->TopRow()) continue;
    TRect c = G->CellRect(probe, r);
    if (c.Bottom > c.Top) out.push_back({r, c.Top, c.Bottom});
  }
  return out;
}

// Line segments gathered per colour and drawn as one poly-line call each.
class TLineSets {
public:
  void Add(TColor Colour, TPoint A, TPoint B) {
    auto& set = FSets[Colour];
    set.first.push_back(A);
    set.first.push_back(B);
    set.second.push_back(2);
  }
  void Draw(TCanvas* C, int Width) {
    for (auto& [colour, set] : FSets) {
      LOGBRUSH lb;
      lb.lbColor = ColorToRGB(colour);
      // Wider lines keep square ends, so they meet the cells exactly.
      HPEN pen = Width > 1 ? ExtCreatePen(PS_GEOMETRIC | PS_SOLID, Width, lb) : CreatePen(PS_SOLID, 1, lb.lbColor);
      HGDIOBJ old = SelectObject(C->Handle(), pen);
      PolyPolyline(C->Handle(), set.first.data(), set.second.data(), static_cast<int>(set.second.size()));
      SelectObject(C->Handle(), old);
      DeleteObject(pen);
    }
  }

private:
  std::map<TColor, std::pair<std::vector<TPoint>, std::vector<DWORD>>> FSets;
};

}  // namespace

void TCustomDBGridEh::Paint() {
  // The pass is changing the geometry: a paint now would show half of it.
  if (FImpl->FLayingOut) return;
  TCanvas* c = Canvas();
  TRect clip = MirroredRect(c->ClipRect());
  bool mirrored = UseRightToLeftAlignment();
  if (mirrored) MirrorCanvas(true);
  struct TUnmirror {
    TCustomDBGridEh* G;
    bool On;
    ~TUnmirror() {
      if (On) G->MirrorCanvas(false);
    }
  } unmirror{this, mirrored};
  std::vector<TCellSpan> cols = VisibleCols(this), rows = VisibleRows(this);
  PaintLines(cols, rows);
  PaintCells(cols, rows, clip);
  // Beyond the last column and below the last row.
  int right = cols.empty() ? 0 : cols.back().To + (FOptions.Contains(dgColLines) ? GridLineWidth() : 0);
  int bottom = rows.empty() ? 0 : rows.back().To + (FOptions.Contains(dgRowLines) ? GridLineWidth() : 0);
  FillWith(c, TRect{right, 0, ClientWidth(), ClientHeight()}, Color());
  FillWith(c, TRect{0, bottom, right, ClientHeight()}, Color());
  if (CanDrawRowFocus() && (!FImpl->FStyle || FImpl->FStyle->DrawFocusFrame())) {
    TGridRect sel = TCustomGrid::Selection();
    TRect a = CellRect(std::max(FixedCols(), LeftCol()), sel.Top), b = CellRect(ColCount() - 1, sel.Bottom);
    if (!IsRectEmpty(a)) {
      TRect r{a.Left, a.Top, IsRectEmpty(b) ? right : b.Right, IsRectEmpty(b) ? a.Bottom : b.Bottom};
      c->Font()->SetColor(clWindowText);
      c->Brush()->SetColor(clWindow);
      DrawFocusRect(c->Handle(), r);
    }
  }
}

void TCustomDBGridEh::PaintLines(const std::vector<TCellSpan>& Cols, const std::vector<TCellSpan>& Rows) {
  int w = GridLineWidth();
  int colLine = FOptions.Contains(dgColLines) ? w : 0, rowLine = FOptions.Contains(dgRowLines) ? w : 0;
  if ((colLine == 0 && rowLine == 0) || Cols.empty() || Rows.empty()) return;
  TColor fixedLine = FImpl->FFlat ? clBtnShadow : clBlack;
  TColor dataLine = Color() == clSilver ? clGray : clSilver;
  int footerFrom = FFooterRowCount > 0 ? RowCount() - FFooterRowCount : RowCount();
  bool footerFixed = FOptionsEh.Contains(dghFooter3D) || FImpl->FFooterColor == clBtnFace;
  auto colColour = [&](int k, int r) {
    bool fixedRow = r < FixedRows();
    if (fixedRow) return fixedLine;
    if (r >= footerFrom) return footerFixed ? fixedLine : dataLine;
    if (k < IndicatorOffset()) return fixedLine;
    return dataLine;
  };
  // Frozen cells under dghFrozen3D have frames instead of lines.
  auto lineless = [&](int k, int r) {
    return FOptionsEh.Contains(dghFrozen3D) && k >= IndicatorOffset() && k < FixedCols() && r >= FixedRows() &&
           r < footerFrom;
  };
  TLineSets lines;
  int right = Cols.back().To + colLine;
  // Lines lie in the middle of their width, right of each column and below each row.
  if (colLine > 0)
    for (const TCellSpan& col : Cols) {
      int x = col.To + colLine / 2;
      for (const TCellSpan& row : Rows)
        if (!lineless(col.Index, row.Index)) lines.Add(colColour(col.Index, row.Index), {x, row.From}, {x, row.To + rowLine});
    }
  if (rowLine > 0)
    for (const TCellSpan& row : Rows) {
      int y = row.To + rowLine / 2;
      for (const TCellSpan& col : Cols)
        if (!lineless(col.Index, row.Index)) lines.Add(colColour(col.Index, row.Index), {col.From, y}, {col.To + colLine, y});
    }
  if (FFooterRowCount > 0 && rowLine > 0) {
    // Across the top of the footer area, from the frozen columns on.
    for (const TCellSpan& row : Rows)
      if (row.Index == footerFrom) {
        int y = row.From - rowLine + rowLine / 2;
        int from = IndicatorOffset() < ColCount() ? CellRect(IndicatorOffset(), row.Index).Left : 0;
        lines.Add(fixedLine, {from, y}, {right, y});
      }
  }
  lines.Draw(Canvas(), w);
}

void TCustomDBGridEh::PaintCells(const std::vector<TCellSpan>& Cols, const std::vector<TCellSpan>& Rows,
                                 const TRect& clip) {
  TGridRect sel = TCustomGrid::Selection();
  bool active = IsActiveControl();
  bool editorOpen = InplaceEditor() && InplaceEditor()->Visible();
  for (const TCellSpan& row : Rows)
    for (const TCellSpan& col : Cols) {
      TRect r{col.From, row.From, col.To, row.To};
      TRect grown = r, hit;
      InflateRect(grown, 1, 1);
      if (!IntersectRect(hit, grown, clip)) continue;
      int k = col.Index, rr = row.Index;
      if (editorOpen && k == Col() && rr == Row()) continue;
      TGridDrawState state;
      bool fixed = k < FixedCols() || rr < FixedRows();
      if (fixed) state.Include(gdFixed);
      if (active && k == Col() && rr == Row()) state.Include(gdFocused);
      if (!fixed && k >= sel.Left && k <= sel.Right && rr >= sel.Top && rr <= sel.Bottom) state.Include(gdSelected);
      DrawCell(k, rr, r, state);
    }
}

void TCustomDBGridEh::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {
  if (IsRectEmpty(ARect)) return;
  TCanvas* c = Canvas();
  if (Loading()) {
    FillWith(c, ARect, Color());
    return;
  }
  FImpl->FCellParams->SetCol(ACol);
  FImpl->FCellParams->SetRow(ARow);
  int dataCol = 0, dataRow = 0;
  int type = GetCellType(ACol, ARow, dataCol, dataRow);
  int colArea = type & 0xFF, rowArea = type >> 8;
  bool is3D = CellDrawn3D(ACol, ARow, AState);
  TRect r = ARect;
  if (is3D) InflateRect(r, -1, -1);
  bool highlighted = false;
  if (colArea == caIndicator) {
    highlighted = DrawIndicatorCell(ARow, dataRow, r, type);
  } else if (rowArea == raTitle) {
    highlighted = DrawTitleCell(dataCol, r, AState, is3D);
  } else if (rowArea == raFilter && colArea == caData && FilterCellShown(dataCol)) {
    highlighted = DrawFilterRowCell(ACol, ARow, dataCol, r, type);
  } else if (rowArea == raFilter) {
    TColor back = FixedColor();
    c->Font()->Assign(FImpl->FTitleFont.get());
    bool inSelection = dataCol >= 0 && dataCol < FColumns->Count() && TitleInSelection(dataCol);
    highlighted = GetFixedCellColors(ACol, ARow, c->Font(), back, inSelection, type);
    FillWith(c, r, back);
  } else if (rowArea == raData && FDataLink->Active() && dataRow < RowRecordCount()) {
    DrawDataCell(ACol, dataCol, dataRow, r, AState, is3D);
  } else if (rowArea == raFooter) {
    highlighted = DrawFooterCell(dataCol, dataRow - 1, r, AState, is3D);
  } else {
    FillWith(c, r, Color());
  }
  bool pressed = rowArea == raTitle && colArea == caData && TitlePressed(dataCol);
  if (is3D) {
    c->Brush()->SetColor(rowArea == raData ? Color() : FixedColor());
    DrawCellFrame(ARect, true, true, highlighted, pressed);
  }
  if (rowArea == raTitle && colArea == caData && FImpl->FUseMultiTitle)
    if (THeadTreeNode* leaf = LeafOf(dataCol)) DrawTitleBands(leaf, ARect, highlighted);
}

void TCustomDBGridEh::DrawCellFrame(const TRect& R, bool RightFlag, bool LeftFlag, bool Highlighted, bool Pressed) {
  if (CanvasMirrored()) {
    // Drawn unmirrored on the device: each flag's side now lies on the other side.
    TUnmirroredCell cell(this, R);
    DrawCellFrame(cell.Device, LeftFlag, RightFlag, Highlighted, Pressed);
    return;
  }
  HDC dc = Canvas()->Handle();
  UINT edge = Highlighted || Pressed ? BDR_SUNKENINNER : BDR_RAISEDINNER;
  TRect r = R;
  if (!FImpl->FFlat) {
    DrawEdge(dc, r, edge, BF_TOP | BF_BOTTOM | (LeftFlag ? UINT(BF_LEFT) : 0u) | (RightFlag ? UINT(BF_RIGHT) : 0u));
    return;
  }
  // Flat: an edge at the top (and left), plain lines in the brush colour at the bottom (and right).
  DrawEdge(dc, r, edge, BF_TOP | (LeftFlag ? UINT(BF_LEFT) : 0u));
  Canvas()->FillRect(TRect{R.Left, R.Bottom - 1, R.Right, R.Bottom});
  if (RightFlag) Canvas()->FillRect(TRect{R.Right - 1, R.Top, R.Right, R.Bottom});
}

int TCustomDBGridEh::TextInset(bool Is3D) const { return Is3D ? 1 : 2; }

// ---------------------------------------------------------------- indicator

bool TCustomDBGridEh::DrawIndicatorCell(int ARow, int DataRow, TRect R, int CellType) {
  TCanvas* c = Canvas();
  int rowArea = CellType >> 8;
  TColor back = rowArea == raFiller && !FOptionsEh.Contains(dghFrozen3D) ? Color() : FixedColor();
  c->Font()->Assign(Font());
  bool dataRow = rowArea == raData && FDataLink->Active() && DataSet() && DataRow < RowRecordCount();
  if (!dataRow) {
    FillWith(c, R, back);
    return false;
  }
  bool current = RowShowsCurrentRecord(DataRow);
  TRowRecordScopeEh scope(this, DataRow);
  bool selected = FSelection->SelectionKind() == gstAll ||
                  (FOptions.Contains(dgMultiSelect) && FBookmarks->CurrentRowSelected());
  bool highlighted = GetFixedCellColors(0, ARow, c->Font(), back, selected, CellType);
  FillWith(c, R, back);
  int image = -1;
  if (current || selected) {
    switch (DataSet()->State()) {
      case dsBrowse:
        if (current) image = selected ? 5 : FImpl->FIncSearchActive ? 6 : 0;
        break;
      case dsEdit: image = current ? 1 : -1; break;
      case dsInsert: image = current ? 2 : -1; break;
      default: image = current ? 0 : -1; break;
    }
  }
  if (image >= 0) {
    TImageList* list = GridIndicatorImages();
    int x = R.Right - TextInset(false) - list->Width();
    int y = R.Top + (R.Height() - list->Height()) / 2;
    list->Draw(c, x, y, image, true);
  }
  return highlighted;
}

// ---------------------------------------------------------------- titles

bool TCustomDBGridEh::DrawTitleCell(int DataCol, TRect R, TGridDrawState, bool Is3D) {
  TCanvas* c = Canvas();
  if (DataCol < 0 || DataCol >= FColumns->Count()) {
    FillWith(c, R, FixedColor());
    return false;
  }
  TColumnEh* col = FColumns->Items(DataCol);
  TColumnTitleEh* title = col->Title();
  c->Font()->Assign(title->Font());
  TColor back = title->Color();
  bool pressed = TitlePressed(DataCol);
  THeadTreeNode* leaf = FImpl->FUseMultiTitle ? LeafOf(DataCol) : nullptr;
  String caption = leaf ? leaf->NodeText : title->Caption();
  TRect text = R;
  if (leaf) text.Top = std::max(R.Top, R.Bottom - leaf->NodeHeight + (Is3D ? 1 : 3));
  int imageWidth = 0;
  bool image = FImpl->FTitleImages && title->ImageIndex() != -1;
  if (image) {
    caption.clear();
    imageWidth = FImpl->FTitleImages->Width();
  }
  TSortMarkerEh marker = title->SortMarker();
  if (col->Field() && OnGetBtnParams) OnGetBtnParams(this, col, c->Font(), back, marker, pressed);
  // A held title moves its content down and right: 2 pixels in a tall title, else 1.
  bool tall = leaf || FImpl->FTitleHeight > 0 || FImpl->FTitleLines > 0;
  int shift = pressed ? (tall ? 2 : 1) : 0;
  bool showMarker = marker != smNoneEh, showIndex = showMarker && FSortMarkedColumns->Count() > 1;
  String index = showIndex ? IntToStr(title->SortIndex()) : String();
  int indexWidth = 0;
  if (showIndex) {
    c->Font()->Assign(SortIndexFont());
    indexWidth = c->TextWidth(index);
    c->Font()->Assign(title->Font());
  }
  auto tooNarrow = [&] { return image ? text.Width() < imageWidth : text.Width() < 0; };
  if (showMarker) {
    text.Right = R.Right - 16;
    if (tooNarrow()) {
      // No room for the marker: the index alone, and then nothing.
      showMarker = false;
      text.Right += 14 - indexWidth;
      if (tooNarrow()) {
        showIndex = false;
        text.Right = R.Right;
      }
    }
  }
  if (col->Field() && OnGetBtnParams) {
    c->Font()->Assign(title->Font());
    TColor ignored = back;
    TSortMarkerEh m2 = marker;
    OnGetBtnParams(this, col, c->Font(), ignored, m2, pressed);
  }
  int type = CellArea(caData, raTitle);
  bool highlighted = GetFixedCellColors(DataToRawColumn(DataCol), 0, c->Font(), back, TitleInSelection(DataCol), type);
  if (text.Right < R.Right) FillWith(c, TRect{std::max(R.Left, text.Right), R.Top, R.Right, R.Bottom}, back);
  if (text.Top > R.Top) FillWith(c, TRect{R.Left, R.Top, R.Right, text.Top}, back);
  c->Brush()->SetColor(back);
  int inset = TextInset(Is3D);
  int dx = inset, dy = FImpl->FFlat ? inset - 1 : inset;
  if (tall && shift > 0) {
    FillWith(c, TRect{text.Left, text.Top, text.Left + shift, text.Bottom}, back);
    FillWith(c, TRect{text.Left, text.Top, text.Right, std::min(text.Bottom, text.Top + shift)}, back);
    text.Left += shift;
    text.Top += shift;
    c->Brush()->SetColor(back);
  } else {
    dx += shift;
    dy += shift;
  }
  TAlignment align = leaf ? taCenter : title->Alignment();
  TTextLayout layout = tall ? tlCenter : tlTop;
  if (title->Orientation() == tohVertical)
    DrawCellTextRotated(c, text, true, dx, dy, caption, align, leaf ? tlCenter : tlBottom, title->EndEllipsis(), false);
  else
    WriteCellText(col, text, true, dx, dy, caption, align, layout, tall, title->EndEllipsis(), 0, 0);
  if (image) {
    TRect area = text;
    if (!tall) OffsetRect(area, 0, shift);
    DrawImageInRect(FImpl->FTitleImages, c, area, title->ImageIndex(),
                    align == taCenter         ? 0
                    : align == taRightJustify ? -dx
                                              : dx,
                    align);
  }
  if (showMarker) {
    TImageList* markers = GridSortMarkerImages();
    int x = R.Right - 2 - indexWidth - markers->Width() + shift;
    int y = R.Top + (R.Height() - markers->Height()) / 2 + shift;
    markers->Draw(c, x, y, marker == smDownEh ? 0 : 1, true);
  }
  if (showIndex) {
    c->Font()->Assign(SortIndexFont());
    c->Font()->SetColor(highlighted ? clWhite : clWindowText);
    c->Brush()->SetStyle(bsClear);
    c->TextOut(R.Right - 1 - indexWidth + shift, R.Top + (R.Height() - c->TextHeight(index)) / 2 + shift, index);
    c->Brush()->SetStyle(bsSolid);
  }
  return highlighted;
}

bool TCustomDBGridEh::TitleInSelection(int DataCol) const {
  TDBGridEhSelectionType kind = FSelection->SelectionKind();
  if (kind == gstAll) return true;
  if (kind != gstColumns) return false;
  return FSelection->ColumnSet()->IndexOf(FColumns->Items(DataCol)) >= 0;
}

void TCustomDBGridEh::DrawTitleBands(THeadTreeNode* Leaf, const TRect& CellRect, bool Highlighted) {
  TCanvas* c = Canvas();
  bool is3D = FOptionsEh.Contains(dghFixed3D);
  bool colLines = FOptions.Contains(dgColLines), rowLines = FOptions.Contains(dgRowLines);
  c->Font()->Assign(FImpl->FTitleFont.get());
  TColor back = FixedColor();
  if (Highlighted) GetFixedCellColors(0, 0, c->Font(), back, true, CellArea(caData, raTitle));
  TRect below = CellRect;
  below.Top = CellRect.Bottom - Leaf->NodeHeight + (is3D ? 1 : 3);
  int raw = Leaf->LeafColumn ? DataToRawColumn(Leaf->LeafColumn->Index()) : -1;
  bool lastFrozenBeforeHidden = FImpl->FFrozenCols > 0 && raw == FixedCols() - 1 && LeftCol() > FixedCols();
  for (THeadTreeNode *n = Leaf, *g = Leaf->ParentNode; g && g->ParentNode; n = g, g = g->ParentNode) {
    TRect b;
    b.Bottom = below.Top - (rowLines ? 1 : 0);
    b.Top = below.Top - g->NodeHeight;
    int before = 0;
    for (THeadTreeNode* k = g->FirstChild; k != n; k = k->NextInRing) before += k->NodeWidth + (colLines ? 1 : 0);
    b.Left = below.Left - before;
    b.Right = b.Left + g->NodeWidth;
    TRect s{CellRect.Left, b.Top, CellRect.Right, b.Bottom};
    int f = b.Left - CellRect.Left, e = CellRect.Right - b.Right;
    // The band covers the line at the cell's right, unless the scrolled columns it would
    // join are out of view.
    if (e != 0 && !lastFrozenBeforeHidden) {
      ++s.Right;
      ++e;
    }
    if (is3D) InflateRect(s, 0, -1);
    TRect t = s;
    c->Brush()->SetColor(back);
    if (f == 0) {
      c->FillRect(TRect{t.Left, t.Top, t.Left + 2, t.Bottom});
      t.Left += 2;
    } else {
      f += 2;
    }
    if (e == 0) {
      c->FillRect(TRect{t.Right - 2, t.Top, t.Right, t.Bottom});
      t.Right -= 2;
    } else {
      e += 2;
    }
    TColumnEh* leafCol = Leaf->LeafColumn;
    WriteCellText(leafCol, t, true, 0, is3D ? 1 : 2, g->NodeText, taCenter, tlCenter, true,
                  leafCol && leafCol->Title()->EndEllipsis(), f, e);
    if (is3D) {
      InflateRect(s, 0, 1);
      c->Brush()->SetColor(back);
      DrawCellFrame(s, e == 0, f == 0, Highlighted, false);
    }
    if (rowLines) {
      c->Pen()->SetColor(FImpl->FFlat ? clGray : clBlack);
      c->MoveTo(s.Left, s.Bottom);
      c->LineTo(s.Right, s.Bottom);
    }
    below = b;
  }
}

// ---------------------------------------------------------------- data cells

TColor TCustomDBGridEh::RowColor(TColumnEh* Column) const {
  TColor back = Column->Color();
  if (back != Color()) return back;
  TDataSet* ds = DataSet();
  bool virtualRecords = FSumList->Active() && FSumList->VirtualRecords();
  if (!ds || !(ds->IsSequenced() || virtualRecords)) return back;
  int recNo = virtualRecords ? FSumList->CurrentRecordNumber() : ds->RecNo();
  return recNo % 2 == 1 ? OddRowColor() : EvenRowColor();
}

void TCustomDBGridEh::DrawDataCell(int ACol, int DataCol, int DataRow, TRect R, TGridDrawState State, bool Is3D) {
  TCanvas* c = Canvas();
  if (DataCol < 0 || DataCol >= FColumns->Count()) {
    FillWith(c, R, Color());
    return;
  }
  TRowRecordScopeEh scope(this, DataRow);
  TColumnEh* col = FColumns->Items(DataCol);
  c->Font()->Assign(col->Font());
  TColor back = RowColor(col);
  col->FillCellParams(FImpl->FCellParams.get());
  FImpl->FCellParams->SetCol(ACol);
  FImpl->FCellParams->SetRow(DataRow + TopDataOffset());
  FImpl->FCellParams->SetState(State);
  FImpl->FCellParams->SetFont(c->Font());
  FImpl->FCellParams->SetBackground(back);
  FireGetCellParams(col, c->Font(), back, State);
  FImpl->FCellParams->SetBackground(back);
  col->FireGetCellParams(false, FImpl->FCellParams.get());
  back = FImpl->FCellParams->Background();
  if (IsDataCellHighlighted(DataCol, DataRow, c->Font(), back, State)) State.Include(gdSelected);
  String text = FImpl->FCellParams->Text();
  int image = FImpl->FCellParams->ImageIndex();
  // The first row of the buffer always shows its text.
  bool duplicate = col->HideDuplicates() && DataRow > 0 && CellParamsText(col, DataRow - 1, State) == text;
  if (duplicate) {
    text.clear();
    image = -1;
  }
  c->Brush()->SetColor(back);
  int inset = TextInset(Is3D);
  TRect full = R;
  if (int indent = PaintTreeIndent(col, DataRow, R, State); indent > 0) R.Left = std::min(R.Right, R.Left + indent);
  std::vector<TCellButton> buttons = CellButtons(col);
  int buttonsWidth = 0;
  for (const TCellButton& b : buttons) buttonsWidth += b.Width;
  if (buttonsWidth > 0) R.Right = std::max(R.Left, R.Right - buttonsWidth);
  if (FDefaultDrawing) {
    switch (col->ColumnKind()) {
      case ckImage:
        FillWith(c, R, back);
        if (col->ImageList() && image >= 0) DrawImageCentered(c, R, col->ImageList(), false, image);
        break;
      case ckCheckbox: {
        FillWith(c, R, back);
        TRect box = PlaceCheckBoxInCell(R, taCenter);
        box = Bounds(R.Left + (R.Width() - box.Width()) / 2, box.Top, box.Width(), box.Height());
        int state = FImpl->FCellParams->CheckboxState() == cbChecked  ? 1
                    : FImpl->FCellParams->CheckboxState() == cbGrayed ? 2
                                                                      : 0;
        DrawCheckFrame(c->Handle(), box, state, true, false, FImpl->FFlat, true);
        break;
      }
      default: {
        TRect t = R;
        if (col->ImageList() && col->ShowImageAndText()) {
          int strip = col->ImageList()->Width() + 4;
          TRect s{R.Left, R.Top, std::min(R.Right, R.Left + strip), R.Bottom};
          FillWith(c, s, back);
          if (image >= 0) DrawImageCentered(c, s, col->ImageList(), false, image);
          t.Left = s.Right + 1;
          c->Brush()->SetColor(back);
        }
        bool wrap = col->WordWrap() && FImpl->FWordWrapPossible;
        WriteCellText(col, t, true, inset, FImpl->FFlat ? inset - 1 : inset, text, FImpl->FCellParams->Alignment(),
                      col->Layout(), wrap, col->EndEllipsis(), 0, 0);
      }
    }
  }
  if (buttonsWidth > 0) DrawCellButtons(buttons, TRect{R.Right, full.Top, full.Right, full.Bottom}, full, back, Is3D);
  R = full;
  DrawRequiredMark(col, DataRow, R);
  if (OnDrawDataCell && !FColumns->IsCustomized()) OnDrawDataCell(this, R, col->Field(), State);
  if (OnDrawColumnCell) OnDrawColumnCell(this, R, DataCol, col, State);
  DrawIncSearchOverlay(col, R, State, inset);
  if (duplicate && FOptions.Contains(dgRowLines)) {
    // Duplicates read as one block: the line above is drawn over in the column's colour.
    int line = GridLineWidth(), top = full.Top - (Is3D ? 1 : 0);
    FillWith(c, TRect{full.Left - (Is3D ? 1 : 0), top - line, full.Right + (Is3D ? 1 : 0), top}, col->Color());
  }
  bool focusedCell = State.Contains(gdFocused) && FDefaultDrawing && !Designing() &&
                     !FOptions.Contains(dgRowSelect) && FImpl->FUpdateLock == 0;
  if (focusedCell && (!FImpl->FStyle || FImpl->FStyle->DrawFocusFrame())) DrawFocusRect(c->Handle(), R);
}

String TCustomDBGridEh::CellParamsText(TColumnEh* Column, int DataRow, TGridDrawState State) {
  TRowRecordScopeEh scope(this, DataRow);
  TColCellParamsEh params;
  TFont font;
  font.Assign(Column->Font());
  Column->FillCellParams(&params);
  params.SetCol(DataToRawColumn(Column->Index()));
  params.SetRow(DataRow + TopDataOffset());
  params.SetState(State);
  params.SetFont(&font);
  TColor back = RowColor(Column);
  FireGetCellParams(Column, &font, back, State);
  params.SetBackground(back);
  Column->FireGetCellParams(false, &params);
  return params.Text();
}

void TCustomDBGridEh::DrawIncSearchOverlay(TColumnEh* Column, const TRect& R, TGridDrawState State, int Inset) {
  // The focused cell is the current record's.
  if (!FImpl->FIncSearchActive || FImpl->FIncSearchText.empty()) return;
  bool showsSelection = Focused() || FOptions.Contains(dgAlwaysShowSelection);
  if (!State.Contains(gdFocused) || !showsSelection || Designing() || FImpl->FUpdateLock > 0) return;
  TCanvas* c = Canvas();
  int dy = FImpl->FFlat ? Inset - 1 : Inset;
  TRect r{R.Left + Inset, R.Top + dy, R.Right - Inset, R.Bottom - dy + (Inset > 0 ? 1 : 0)};
  c->Font()->Assign(Column->Font());
  c->Font()->SetColor(kIncSearchText);
  TAlignment align = Column->Alignment();
  // A right-to-left column writes unmirrored, its alignment swapped (as WriteCellText).
  std::optional<TUnmirroredCell> unmirrored;
  if (CanvasMirrored() && Column->IsRightToLeft()) {
    unmirrored.emplace(this, r);
    r = unmirrored->Device;
    align = align == taLeftJustify ? taRightJustify : align == taRightJustify ? taLeftJustify : align;
  }
  if (align != taLeftJustify) {
    // The rest of the cell text keeps its place: the typed text covers the matching start.
    String rest =
        Copy(FImpl->FCellParams->Text(), Length(FImpl->FIncSearchText) + 1, Length(FImpl->FCellParams->Text()));
    r.Right -= c->TextWidth(rest);
  }
  UINT flags = DT_NOPREFIX | (align == taRightJustify ? DT_RIGHT : align == taCenter ? DT_CENTER : DT_LEFT);
  bool wrap = Column->WordWrap() && FImpl->FWordWrapPossible;
  if (wrap) flags |= DT_WORDBREAK;
  else flags |= DT_SINGLELINE | (Column->Layout() == tlCenter ? UINT(DT_VCENTER) : Column->Layout() == tlBottom ? UINT(DT_BOTTOM) : 0u);
  if (Column->UseRightToLeftReading()) flags |= DT_RTLREADING;
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(kIncSearchBackground);
  DrawText(c->Handle(), FImpl->FIncSearchText, -1, &r, flags);
}

std::vector<TCustomDBGridEh::TCellButton> TCustomDBGridEh::CellButtons(TColumnEh* Column) const {
  std::vector<TCellButton> out;
  if (!Column->AlwaysShowEditButton()) return out;
  int width = FImpl->FEditButtonWidth + (FImpl->FFlat ? 1 : 0);
  TColumnButtonStyleEh style = Column->ButtonStyle();
  if (style == cbsAuto) {
    TColumnEhKind kind = Column->ColumnKind();
    bool list = kind == ckPickList || kind == ckLookup || (kind == ckKeyList && Column->PickList()->Count() > 0);
    style = list ? cbsDropDown : cbsNone;
  }
  static const std::pair<TColumnButtonStyleEh, TButtonFaceStyle> kFaces[] = {
      {cbsDropDown, bfsDropDown}, {cbsEllipsis, bfsEllipsis}, {cbsUpDown, bfsUpDown}};
  for (auto& [s, face] : kFaces)
    if (style == s) out.push_back({face, width});
  for (int i = 0; i < Column->EditButtons()->Count(); ++i) {
    TEditButtonEh* b = Column->EditButtons()->Items(i);
    TButtonFaceStyle face;
    if (!b->Visible()) continue;
    bool glyph = !EditButtonFaceStyle(b->Style(), face);
    out.push_back({face, b->Width() >= 1 ? b->Width() + (FImpl->FFlat ? 2 : 0) : width, glyph ? b : nullptr});
  }
  return out;
}

void TCustomDBGridEh::DrawCellButtons(const std::vector<TCellButton>& Buttons, const TRect& Area, const TRect& Cell,
                                      TColor Back, bool Is3D) {
  TCanvas* c = Canvas();
  int x = Area.Left;
  int height = std::min(FImpl->FEditButtonHeight > 0 ? FImpl->FEditButtonHeight : Area.Height(), Area.Height());
  // A flat button in a framed cell keeps a strip of the cell left of it.
  if (FImpl->FFlat && Is3D && !Buttons.empty()) FillWith(c, TRect{x, Area.Top, x + 1, Area.Bottom}, Back);
  for (const TCellButton& b : Buttons) {
    TRect r{x, Area.Top, x + b.Width, Area.Top + height};
    if (Is3D) OffsetRect(r, 1, -1);
    PaintCellButton(b, r, Cell, Back);
    x += b.Width;
  }
  if (height < Area.Height()) FillWith(c, TRect{Area.Left, Area.Top + height, Area.Right, Area.Bottom}, Back);
}

void TCustomDBGridEh::PaintCellButton(const TCellButton& Button, TRect R, const TRect& Cell, TColor Back) {
  if (CanvasMirrored()) {
    TRect cell = MirroredRect(Cell);
    TUnmirroredCell unmirrored(this, R);
    PaintCellButton(Button, unmirrored.Device, cell, Back);
    return;
  }
  TCanvas* c = Canvas();
  HDC dc = c->Handle();
  TRect visible;
  IntersectRect(visible, R, Cell);
  TClipRectScopeEh clip(dc, visible);
  if (FImpl->FFlat) {
    // A line of the cell's colour between the content and the button.
    FillWith(c, TRect{R.Left, R.Top, R.Left + 1, R.Bottom}, Back);
    ++R.Left;
  }
  if (!Button.Glyph) {
    PaintEditButtonFace(dc, R, Back, Button.Face, 0, FImpl->FFlat, false, FDataLink->Active(), 0);
    return;
  }
  TRect face = R;
  if (FImpl->FFlat) {
    FillWith(c, face, clBtnFace);
    HBRUSH frame = CreateSolidBrush(ColorToRGB(Back));
    FrameRect(dc, face, frame);
    DeleteObject(frame);
  } else {
    DrawEdge(dc, face, EDGE_RAISED, BF_RECT | BF_MIDDLE);
  }
  // The first of the glyph's pictures, centred and clipped to the face.
  TBitmap* glyph = Button.Glyph->Glyph();
  if (!glyph || glyph->Empty()) return;
  int w = glyph->Width() / std::max(1, Button.Glyph->NumGlyphs()), h = glyph->Height();
  TRect inner = R;
  InflateRect(inner, -1, -1);
  int x = inner.Left + (inner.Width() - w) / 2, y = inner.Top + (inner.Height() - h) / 2;
  TRect shown;
  IntersectRect(shown, inner, TRect{x, y, x + w, y + h});
  IntersectRect(shown, shown, visible);
  TClipRectScopeEh glyphClip(dc, shown);
  c->Draw(x, y, glyph);
}

TCustomDBGridEh::TUnmirroredCell::TUnmirroredCell(TCustomDBGridEh* G, const TRect& Logical)
    : Grid(G), Device(G->MirroredRect(Logical)) {
  Grid->MirrorCanvas(false);
}

TCustomDBGridEh::TUnmirroredCell::~TUnmirroredCell() { Grid->MirrorCanvas(true); }

void TCustomDBGridEh::WriteCellText(TColumnEh* Column, const TRect& R, bool Fill, int DX, int DY, const String& Text,
                                    TAlignment Alignment, TTextLayout Layout, bool MultiLine, bool EndEllipsis,
                                    int LeftMarg, int RightMarg) {
  bool reading = Column && Column->UseRightToLeftReading();
  if (CanvasMirrored() && Column && Column->IsRightToLeft()) {
    TUnmirroredCell cell(this, R);
    TAlignment swapped = Alignment == taLeftJustify    ? taRightJustify
                         : Alignment == taRightJustify ? taLeftJustify
                                                       : Alignment;
    DrawCellText(Canvas(), cell.Device, Fill, DX, DY, Text, swapped, Layout, MultiLine, EndEllipsis, RightMarg, LeftMarg,
                 reading);
    return;
  }
  DrawCellText(Canvas(), R, Fill, DX, DY, Text, Alignment, Layout, MultiLine, EndEllipsis, LeftMarg, RightMarg, reading);
}

void TCustomDBGridEh::DrawRequiredMark(TColumnEh* Column, int DataRow, const TRect& R) {
  TDataSet* ds = DataSet();
  if (!Column->HighlightRequired() || !ds || DataRow != FDataLink->ActiveRecord()) return;
  // The scope of the cell has made DataRow active; the current record is the saved one.
  bool editing = ds->State() == dsEdit || ds->State() == dsInsert;
  TField* f = Column->Field();
  bool draw = editing && f && f->Required() && f->IsNull();
  if (Column->OnCheckDrawRequiredState) Column->OnCheckDrawRequiredState(this, FImpl->FCellParams->Text(), draw);
  if (!draw) return;
  TCanvas* c = Canvas();
  c->Pen()->SetColor(clRed);
  c->Pen()->SetStyle(psDot);
  c->Pen()->SetWidth(1);
  c->MoveTo(R.Left + 2, R.Bottom - 1);
  c->LineTo(R.Right - 3, R.Bottom - 1);
  c->Pen()->SetStyle(psSolid);
}

void TCustomDBGridEh::DrawColumnCellDefault(const TRect& Rect, int, TColumnEh* Column, TGridDrawState) {
  TCanvas* c = Canvas();
  TRect r = Rect;
  int inset = 2;
  if (FOptionsEh.Contains(dghFooter3D)) {
    InflateRect(r, -1, -1);
    inset = 1;
  }
  int dy = FImpl->FFlat ? inset - 1 : inset;
  switch (Column->ColumnKind()) {
    case ckImage: {
      c->FillRect(r);
      int image = Column->CellImageIndex();
      if (Column->ImageList() && image >= 0) DrawImageCentered(c, r, Column->ImageList(), false, image);
      break;
    }
    case ckCheckbox: {
      c->FillRect(r);
      TRect box = PlaceCheckBoxInCell(r, taCenter);
      box = Bounds(r.Left + (r.Width() - box.Width()) / 2, box.Top, box.Width(), box.Height());
      TCheckBoxState s = Column->CellCheckState();
      DrawCheckFrame(c->Handle(), box, s == cbChecked ? 1 : s == cbGrayed ? 2 : 0, true, false, FImpl->FFlat, true);
      break;
    }
    default:
      WriteCellText(Column, r, true, inset, dy, Column->CellText(), Column->Alignment(), Column->Layout(),
                    Column->WordWrap() && FImpl->FWordWrapPossible, Column->EndEllipsis(), 0, 0);
  }
}

// ---------------------------------------------------------------- footers

bool TCustomDBGridEh::DrawFooterCell(int DataCol, int FooterRow, TRect R, TGridDrawState State, bool Is3D) {
  TCanvas* c = Canvas();
  if (DataCol < 0 || DataCol >= FColumns->Count() || FooterRow < 0) {
    FillWith(c, R, FImpl->FFooterColor);
    return false;
  }
  TColumnEh* col = FColumns->Items(DataCol);
  TColumnFooterEh* footer = col->FooterAt(FooterRow);
  c->Font()->Assign(footer->Font());
  TColor back = footer->Color();
  bool highlighted = false;
  if (FDefaultDrawing) {
    TAlignment align = footer->Alignment();
    String text = GetFooterText(FooterRow, col);
    FireGetFooterParams(DataCol, FooterRow, col, c->Font(), back, align, State, text);
    bool inSelection = FSelection->SelectionKind() == gstAll || TitleInSelection(DataCol);
    highlighted = GetFixedCellColors(DataToRawColumn(DataCol), 0, c->Font(), back, inSelection,
                                     CellArea(caData, raFooter));
    c->Brush()->SetColor(back);
    int inset = TextInset(Is3D);
    WriteCellText(col, R, true, inset, FImpl->FFlat ? inset - 1 : inset, text, align, col->Layout(),
                  footer->WordWrap() && FImpl->FWordWrapPossible, footer->EndEllipsis(), 0, 0);
  }
  if (OnDrawFooterCell) OnDrawFooterCell(this, DataCol, FooterRow, col, R, State);
  return highlighted;
}
