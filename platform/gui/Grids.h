#pragma once
// The scrolling grid the data grid and the calendar stand on: fixed and scrollable rows and
// columns with their widths and heights, the current cell and a selection, scrolling by keys,
// bars and a timer, column sizing and moving with the mouse, and an in-place editor on the
// current cell that descendants feed and read through the edit hooks.
//
// Geometry: a column takes ColWidths[i] pixels plus its grid line (GridLineWidth when vertical
// lines of its kind are on); a width of -1 with a 1-pixel line takes no pixels at all, which is
// how a hidden column disappears with its line. The fixed columns stay at the left; the
// scrollable ones start at LeftCol. Rows likewise with TopRow.
// Declares TGridCoord, TGridRect, TInplaceEdit and TCustomGrid.
#include "gui/Controls.h"
#include "gui/MaskEdit.h"
#include "gui/WinScroll.h"

#include <memory>
#include <vector>

class TCustomGrid;

KELM_EXCEPTION(EInvalidGridOperation, Exception);

KELM_ENUM(TGridOption, goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect, goDrawFocusSelected,
          goRowSizing, goColSizing, goRowMoving, goColMoving, goEditing, goTabs, goRowSelect, goAlwaysShowEditor,
          goThumbTracking)
using TGridOptions = TSet<TGridOption>;
KELM_ENUM(TGridState, gsNormal, gsSelecting, gsRowSizing, gsColSizing, gsRowMoving, gsColMoving)
KELM_ENUM(TGridDrawStateItem, gdSelected, gdFocused, gdFixed)
using TGridDrawState = TSet<TGridDrawStateItem>;

struct TGridCoord {
  int X = 0, Y = 0;
  bool operator==(const TGridCoord&) const = default;
};
// Columns Left..Right and rows Top..Bottom, inclusive.
struct TGridRect {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  bool operator==(const TGridRect&) const = default;
};

KELM_EVENT(TMovedEvent, void(TObject* Sender, int FromIndex, int ToIndex));

// ================================================================ the in-place editor

// The edit on the current cell: the grid decides what it may take (CanEditAcceptKey,
// CanEditModify) and hears each change (SetEditText); keys that move the cell go to the grid.
class TInplaceEdit : public TCustomMaskEdit {
  KELM_CLASS(TInplaceEdit, TCustomMaskEdit)
public:
  explicit TInplaceEdit(TComponent* AOwner);
  TCustomGrid* Grid() const { return FGrid; }
  // Over the cell rectangle (grid client coordinates), shown.
  void Move(const TRect& Loc);
  void Hide();
  bool Visible() const { return FShown; }
  // Takes text, mask and length from the grid for its current cell.
  virtual void UpdateContents();
  void Dispatch(TMessage& Message) override;

protected:
  friend class TCustomGrid;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(Char& Key) override;
  void Change() override;
  // Keys the grid handles while the editor has the focus.
  virtual bool ForwardsToGrid(Word Key, TShiftState Shift) const;

private:
  TCustomGrid* FGrid = nullptr;
  bool FShown = false;
  bool FLoading = false;
};

// ================================================================ the grid

class TCustomGrid : public TCustomControl {
  KELM_CLASS(TCustomGrid, TCustomControl)
public:
  explicit TCustomGrid(TComponent* AOwner);
  ~TCustomGrid() override;

  // ---- size of the grid
  int ColCount() const { return static_cast<int>(FColWidths.size()); }
  void SetColCount(int Value);
  int RowCount() const { return static_cast<int>(FRowHeights.size()); }
  void SetRowCount(int Value);
  int FixedCols() const { return FFixedCols; }
  void SetFixedCols(int Value);
  int FixedRows() const { return FFixedRows; }
  void SetFixedRows(int Value);
  int DefaultColWidth() const { return FDefaultColWidth; }
  void SetDefaultColWidth(int Value);
  int DefaultRowHeight() const { return FDefaultRowHeight; }
  void SetDefaultRowHeight(int Value);
  int ColWidths(int Index) const;
  void SetColWidths(int Index, int Value);
  int RowHeights(int Index) const;
  void SetRowHeights(int Index, int Value);
  int GridLineWidth() const { return FGridLineWidth; }
  void SetGridLineWidth(int Value);
  bool TabStops(int Index) const;
  void SetTabStops(int Index, bool Value);
  TGridOptions Options() const { return FOptions; }
  void SetOptions(TGridOptions Value);
  TScrollStyle ScrollBars() const { return FScrollBars; }
  void SetScrollBars(TScrollStyle Value);
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle Value);
  TColor FixedColor() const { return FFixedColor; }
  void SetFixedColor(TColor Value);
  bool DefaultDrawing() const { return FDefaultDrawing; }
  void SetDefaultDrawing(bool Value) { FDefaultDrawing = Value; }

  // ---- position
  int Col() const { return FCurrent.X; }
  void SetCol(int Value);
  int Row() const { return FCurrent.Y; }
  void SetRow(int Value);
  int LeftCol() const { return FTopLeft.X; }
  void SetLeftCol(int Value);
  int TopRow() const { return FTopLeft.Y; }
  void SetTopRow(int Value);
  TGridRect Selection() const;
  void SetSelection(const TGridRect& Value);
  int VisibleColCount() const;
  int VisibleRowCount() const;
  TGridState GridState() const { return FGridState; }

  // ---- geometry
  // The cell's pixels in client coordinates; empty when the cell is scrolled out or lies
  // beyond the client area.
  TRect CellRect(int ACol, int ARow) const;
  // The cell under a client point; (-1, -1) outside every cell.
  TGridCoord MouseCoord(int X, int Y) const;

  // ---- editor
  bool EditorMode() const { return FEditorMode; }
  void SetEditorMode(bool Value);
  TInplaceEdit* InplaceEditor() const { return FInplaceEdit; }
  void ShowEditor();
  void HideEditor();
  // Reloads the editor's text from GetEditText.
  void InvalidateEditor();

  // Scales the control, the default sizes and every set width and height by M/D.
  void ChangeScale(int M, int D) override;

  // A right-to-left grid (UseRightToLeftAlignment) lays its cells out mirrored: CellRect,
  // MouseCoord and the mouse handlers work in the left-to-right layout, painting draws it
  // through a mirrored canvas, and the window's pixels, mouse positions, invalidated
  // rectangles and the editor's place are mirrored on their way in and out.
  // A client rectangle in the other layout (the mirror image in a right-to-left grid).
  TRect MirroredRect(const TRect& R) const;
  // Invalidates a rectangle given in the grid's layout.
  void InvalidateRect(const TRect* Rect);

  void InvalidateCell(int ACol, int ARow);
  // The cells of the range that are in view, with their lines.
  void InvalidateGridRect(const TGridRect& Cells);
  void InvalidateCol(int ACol);
  void InvalidateRow(int ARow);
  void InvalidateGrid() { Invalidate(); }

  void Dispatch(TMessage& Message) override;
  void WndProc(TMessage& Message) override;

  TMovedEvent OnColumnMoved;
  TNotifyEvent OnTopLeftChanged;

protected:
  friend class TInplaceEdit;
  // ---- overridables
  virtual void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {}
  virtual bool SelectCell(int ACol, int ARow) { return true; }
  virtual void ColumnMoved(int FromIndex, int ToIndex);
  virtual void ColWidthsChanged() {}
  virtual void RowHeightsChanged() {}
  virtual void TopLeftChanged();
  // The current cell has moved (after the move, editor placed).
  virtual void CurrentChanged(int OldCol, int OldRow) {}
  // The sizing state a press at X, Y would start: gsColSizing/gsRowSizing with the index and
  // the line's position, else gsNormal.
  virtual void CalcSizingState(int X, int Y, TGridState& State, int& Index, int& SizingPos, int& SizingOfs);
  void Paint() override;
  // Mirrors the canvas (right-to-left painting) or gives it its plain mapping back.
  void MirrorCanvas(bool On);
  bool CanvasMirrored() const { return FCanvasMirrored; }
  virtual TInplaceEdit* CreateEditor();
  // Frees the in-place editor now: a descendant whose editor refers to its own parts (columns,
  // lists) calls it before those parts go, rather than leaving it to the owner's clean-up.
  void DestroyEditor();
  // ---- edit hooks
  virtual bool CanEditAcceptKey(Char Key) { return true; }
  virtual bool CanEditModify() { return true; }
  virtual bool CanEditShow();
  virtual int GetEditLimit() { return 0; }
  virtual String GetEditMask(int ACol, int ARow) { return String(); }
  virtual String GetEditText(int ACol, int ARow) { return String(); }
  virtual void SetEditText(int ACol, int ARow, const String& Value) {}

  // Moves the current cell (after SelectCell agrees); MoveAnchor drops a range selection.
  void FocusCell(int ACol, int ARow, bool MoveAnchor);
  // The same into any cell, a fixed one too (frozen columns of a descendant).
  void MoveCurrent(int ACol, int ARow, bool MoveAnchor, bool Show);
  // Moves without asking SelectCell and without scrolling notifications.
  void MoveColRow(int ACol, int ARow, bool MoveAnchor, bool Show);
  void MoveColumn(int FromIndex, int ToIndex);
  void ClampInView(TGridCoord Coord);
  void MoveTopLeft(int ALeft, int ATop);
  void UpdateScrollRange();
  void UpdateEdit();
  // Starts and stops the scroll timer of a mouse selection.
  void SetScrollTimer(int IntervalMs);
  virtual void TimedScroll(int Dx, int Dy);
  // The visible extent along an axis (fixed part plus the scrolled cells that fit).
  int GridWidth() const;
  int GridHeight() const;
  int FixedWidth() const;
  int FixedHeight() const;
  bool IsActiveControl() const;

  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(Char& Key) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void Resize() override;
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DoExit() override;
  TWindowScrollBars* WindowBars() const { return FBars.get(); }
  // Whether the descendant sets the vertical bar itself (by default when only the horizontal
  // one is the grid's).
  virtual bool OwnsVertScrollBar() const { return FScrollBars == ssHorizontal; }

private:
  // One axis of the geometry.
  struct TAxis {
    const std::vector<int>* Sizes;
    int Fixed, First, Line, FixedLine, ClientExtent;
    int Extent(int i) const;
    int Start(int i) const;  // -1 when scrolled out or beyond the client
    int At(int Pos) const;   // -1 when none
    int Last() const;        // the last cell that starts inside the client
    int MaxFirst() const;    // the last First that still fills the client
  };
  TAxis ColAxis() const;
  TAxis RowAxis() const;
  void PaintCells();
  void SizeChanged();
  void EndSizingOrMoving(int X, int Y);
  void ScrollMessage(int Bar, int Code, int Pos);
  void InvalidateOverlay();
  void PaintOverlay();
  bool MovesByKey(Word Key, TShiftState Shift, TGridCoord& Target);
  void SelectTo(TGridCoord Cell);

  std::vector<int> FColWidths, FRowHeights;
  std::vector<bool> FTabStops;
  int FFixedCols = 1, FFixedRows = 1;
  int FDefaultColWidth = 64, FDefaultRowHeight = 24;
  int FGridLineWidth = 1;
  TGridOptions FOptions{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect};
  TScrollStyle FScrollBars = ssBoth;
  TBorderStyle FBorderStyle = bsSingle;
  TColor FFixedColor = clBtnFace;
  bool FDefaultDrawing = true;
  TGridCoord FCurrent{1, 1}, FAnchor{1, 1}, FTopLeft{1, 1};
  TGridState FGridState = gsNormal;
  int FSizingIndex = -1, FSizingPos = 0, FSizingOfs = 0;
  int FMoveIndex = -1, FMoveTarget = -1;
  int FScrollTimerMs = 0;
  TPoint FLastMouse;
  TInplaceEdit* FInplaceEdit = nullptr;
  TGridCoord FInplaceEditCell{-1, -1};
  bool FEditorMode = false;
  bool FTopLeftChanging = false;
  bool FCanvasMirrored = false;
  std::unique_ptr<TWindowScrollBars> FBars;
};
