#pragma once
// The design surface: one page of a report drawn and edited with the mouse and the keys. It
// holds the page's objects and the selection (lists the designer window owns) and raises
// events the window turns into inspector updates, status texts and undo snapshots.
#include "gui/ExtCtrls.h"
#include "report/designer/frxDesgnUnits.h"
#include "report/designer/frxUnicodeCtrls.h"
#include "report/frxUtils.h"

#include <vector>

class TfrxComponent;
class TfrxPage;
class TfrxBand;

enum TfrxWorkspaceMode {
  wmNone = 0, wmMove, wmSize, wmSizeBand, wmScale, wmTextEdit, wmSelectRect, wmInsertRect, wmInsertLine, wmMoveGuide
};

struct TfrxBoundsRect {
  Extended Left = 0, Top = 0, Width = 0, Height = 0;
};
// What is being inserted: a class armed by the palette and the rectangle drawn for it, in
// document pixels.
struct TfrxInsertion {
  TClass ComponentClass = nullptr;
  Extended Left = 0, Top = 0, Width = 0, Height = 0;
  Extended OriginalWidth = 0, OriginalHeight = 0;
  int Flags = 0;
};

class TfrxDesignerWorkspace;

// The paper behind the workspace: sized to the whole page at the zoom, with the workspace
// lying on it inside the margins. Presses, moves and releases on the paper reach the
// workspace in its own coordinates, so a drag may start or end in a margin.
class TMarginsPanel : public TPanel {
  KELM_CLASS(TMarginsPanel, TPanel)
public:
  explicit TMarginsPanel(TfrxDesignerWorkspace* AWorkspace);

protected:
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void Paint() override;

private:
  TPoint ToWorkspace(int X, int Y) const;
  TfrxDesignerWorkspace* FWorkspace;
};

// The in-place text editor: a borderless memo over the text object being edited.
class TInplaceMemo : public TUnicodeMemo {
  KELM_CLASS(TInplaceMemo, TUnicodeMemo)
public:
  explicit TInplaceMemo(TfrxDesignerWorkspace* AOwner);
  TfrxComponent* Object() const { return FObject; }
  void Edit(TfrxComponent* Obj);
  void EndEdit();

protected:
  void KeyDown(Word& Key, TShiftState Shift) override;
  void Change() override;

private:
  TfrxDesignerWorkspace* FWorkspace;
  TfrxComponent* FObject = nullptr;
  int FOriginalWidth = 0, FOriginalHeight = 0;
};

KELM_EVENT(TfrxNotifyBoundsEvent, void(TObject* Sender, const TfrxBoundsRect& Bounds));

class TfrxDesignerWorkspace : public TPanel {
  KELM_CLASS(TfrxDesignerWorkspace, TPanel)
public:
  using TObjectList = std::vector<TfrxComponent*>;
  explicit TfrxDesignerWorkspace(TComponent* AOwner);
  ~TfrxDesignerWorkspace() override;

  // The lists belong to the designer window; the workspace edits them in place.
  void SetLists(TObjectList* Objects, TObjectList* SelectedObjects);
  TObjectList& Objects() const { return *FObjects; }
  TObjectList& SelectedObjects() const { return *FSelected; }
  TfrxPage* Page() const { return FPage; }
  void SetPage(TfrxPage* v) { FPage = v; }

  Extended Scale() const { return FScale; }
  // Sizes the paper to the page times the zoom and lays the workspace inside its margins.
  void SetScale(Extended v);
  // The paper's top-left corner in the parent; the workspace follows at the next SetScale.
  TPoint Origin() const { return FOrigin; }
  void SetOrigin(const TPoint& v);
  // Page size and margins in document pixels; zeros for a dialog page, where the workspace
  // fills its form instead.
  void SetPageSize(int AWidth, int AHeight, const TRect& AMargins);
  int PageWidth() const { return FPageWidth; }
  int PageHeight() const { return FPageHeight; }
  const TRect& Margins() const { return FMargins; }
  TMarginsPanel* MarginsPanel() const { return FMarginsPanel; }
  void SetParent(TWinControl* AParent) override;
  Extended GridX() const { return FGridX; }
  void SetGridX(Extended v);
  Extended GridY() const { return FGridY; }
  void SetGridY(Extended v);
  TfrxGridKind GridType() const { return FGridType; }
  void SetGridType(TfrxGridKind v);
  bool GridAlign() const { return FGridAlign; }
  void SetGridAlign(bool v) { FGridAlign = v; }
  bool ShowGrid() const { return FShowGrid; }
  void SetShowGrid(bool v) {
    FShowGrid = v;
    Invalidate();
  }
  bool GridLCD() const { return FGridLCD; }
  void SetGridLCD(bool v) { FGridLCD = v; }
  bool ShowEdges() const { return FShowEdges; }
  void SetShowEdges(bool v) { FShowEdges = v; }
  TColor PageColor() const { return FPageColor; }
  void SetPageColor(TColor v);
  // Draws the page as the window shows it: background, grid, objects and selection marks.
  void PaintTo(TCanvas* Canvas, const TRect& Area);
  bool ShowBandCaptions() const { return FShowBandCaptions; }
  void SetShowBandCaptions(bool v);
  bool FreeBands() const { return FFreeBands; }
  void SetFreeBands(bool v) { FFreeBands = v; }
  int BandsGap() const { return FBandsGap; }
  void SetBandsGap(int v) { FBandsGap = v; }
  Extended CaptionHeight() const { return FCaptionHeight; }
  TfrxWorkspaceMode Mode() const { return FMode; }
  // True from a press on the surface to its release.
  bool MouseHeld() const { return FMouseDown; }
  // The selection's bounds when a scaling drag began.
  TfrxBoundsRect ScaleStartBounds() const {
    return {FStartGroupRect.Left, FStartGroupRect.Top, FStartGroupRect.Right - FStartGroupRect.Left,
            FStartGroupRect.Bottom - FStartGroupRect.Top};
  }
  int Handle_() const { return FHandle; }
  bool Locked() const { return FLocked; }
  void LockUpdates();
  void UnlockUpdates() { FLocked = false; }

  // ---- selection
  int SelectedCount() const;
  TfrxBoundsRect GetSelectionBounds() const;
  TfrxComponent* GetAnchorObject() const;
  void SelectionChanged();
  void GroupSelection();
  void UngroupSelection();
  virtual void DeleteSelection();
  virtual void EditSelection();
  void FlushModified();
  void ArrangeBands();

  // ---- insertion: a null class disarms
  void StartInsertion(TClass AClass, int Flags, Extended Width, Extended Height);
  const TfrxInsertion& Insertion() const { return FInsertion; }
  bool Inserting() const { return FInserting; }
  // Erases the insertion frame or cross and parks it off the page until the mouse returns.
  void HideInsertionCursor();
  // ---- in-place editing of a text object
  void BeginEdit(TfrxComponent* Obj);
  void EndEdit();
  TInplaceMemo* InplaceMemo() const { return FInplaceMemo; }

  // ---- keyboard operations; exactly one of DX, DY is -1 or +1
  void MoveSelection(int DX, int DY);
  void ResizeSelection(int DX, int DY);
  void SelectNeighbour(int DX, int DY);
  void SnapToNeighbour(int DX, int DY);

  TNotifyEvent OnModified;
  TNotifyEvent OnEditRequest;
  TNotifyEvent OnSelectionChange;
  TfrxNotifyBoundsEvent OnBoundsChanged;
  TNotifyEvent OnMoved;
  TNotifyEvent OnInsertRequest;

protected:
  // Called with every pending drag delta after grid snapping; a descendant snaps to guides.
  virtual void SnapDelta(Extended& DX, Extended& DY, bool& Skip) {}
  void Paint() override;
  void Dispatch(TMessage& M) override;
  // Draws the objects and the selection marks.
  virtual void DrawObjects(TCanvas* Canvas);
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void DblClick() override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyUp(Word& Key, TShiftState Shift) override;

private:
  struct TStored {
    Extended Left, Top, Width, Height;
  };
  bool HitTest(TfrxComponent* C, Extended X, Extended Y) const;
  void Hover(TShiftState Shift, Extended X, Extended Y);
  void AltHover(TShiftState Shift, Extended X, Extended Y, TCursor& Cursor);
  void DragStep(TShiftState Shift, int X, int Y);
  void SizeOne(TfrxComponent* C, Extended DX, Extended DY);
  void ScaleGroup(Extended DX, Extended DY);
  void FitBandToChildren(TfrxBand* Band);
  void SelectRect(TShiftState Shift);
  void UpdateCaptionHeight();
  void BoundsChanged(Extended X, Extended Y);
  void InsertMove(TShiftState Shift, int X, int Y);
  // The XOR overlay following the mouse: rubber band, insertion frame, line cross or preview.
  struct TOverlay {
    enum TKind { okNone, okRubberBand, okFrame, okCross, okLine } Kind = okNone;
    TRect R{0, 0, 0, 0};  // a rectangle, or a line's start (Left, Top) and end (Right, Bottom)
  };
  TOverlay CurrentOverlay() const;
  void DrawOverlay(const TOverlay& O);
  void ShowOverlay();
  void HideOverlay();
  void AutoScroll(int X, int Y);
  void FinishInsertion();
  Extended SnapX(Extended v, TShiftState Shift) const;
  Extended SnapY(Extended v, TShiftState Shift) const;
  friend class TInplaceMemo;
  friend class TMarginsPanel;

public:
  void Changed() { FModified = true; }

private:
  void DrawGrid(TCanvas* Canvas, const TRect& Area);
  void DrawBand(TCanvas* Canvas, TfrxBand* Band);
  void DrawBandExtras(TCanvas* Canvas, TfrxBand* Band, int Top, int Right);
  void DrawSelection(TCanvas* Canvas);

  TObjectList FOwnObjects, FOwnSelected;

protected:
  // The drag state a descendant's tools, guides and pastes read and steer.
  bool IsModified() const { return FModified; }
  TfrxWorkspaceMode& ModeRef() { return FMode; }
  bool& MouseDownRef() { return FMouseDown; }
  // The last drag point in document pixels.
  Extended& LastX() { return FLastX; }
  Extended& LastY() { return FLastY; }
  // The rubber band in workspace pixels, as pressed and as dragged to.
  TfrxRect& RubberBand() { return FSelectRect; }
  TfrxInsertion& InsertionRef() { return FInsertion; }
  TfrxBand* SizedBand() const { return FSizedBand; }

private:
  TObjectList* FObjects = &FOwnObjects;
  TObjectList* FSelected = &FOwnSelected;
  TfrxPage* FPage = nullptr;
  Extended FScale = 1;
  TPoint FOrigin{0, 0};
  int FPageWidth = 0, FPageHeight = 0;
  TRect FMargins{0, 0, 0, 0};
  TMarginsPanel* FMarginsPanel = nullptr;
  Extended FGridX = frx_units::PixPerMM;
  Extended FGridY = frx_units::PixPerMM;
  TfrxGridKind FGridType = gkCm;
  bool FGridAlign = true;
  bool FShowBandCaptions = true;
  bool FFreeBands = false;
  int FBandsGap = 0;
  bool FShowGrid = true;
  bool FGridLCD = false;
  bool FShowEdges = true;
  TColor FPageColor = 0xFFFFFF;
  Extended FCaptionHeight = 0;
  TfrxWorkspaceMode FMode = wmNone;
  int FHandle = 0;
  bool FMouseDown = false;
  bool FModified = false;
  bool FIgnoreNextPress = false;
  bool FLocked = false;
  Extended FLastX = 0, FLastY = 0;
  TfrxBand* FSizedBand = nullptr;
  TfrxRect FSelectRect;  // screen pixels
  TfrxRect FGroupRect, FStartGroupRect;
  std::vector<std::pair<TfrxComponent*, TStored>> FStoredBounds;
  TfrxInsertion FInsertion;
  bool FInserting = false;
  TOverlay FOverlay;
  TfrxComponent* FAltObject = nullptr;
  TInplaceMemo* FInplaceMemo = nullptr;
};
