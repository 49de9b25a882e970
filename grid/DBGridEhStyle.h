#pragma once
// How highlighted cells of every grid look: whether a data cell counts as highlighted and the
// colours of highlighted data and fixed cells. One shared style serves all grids.
#include "core/Classes.h"
#include "gui/Graphics.h"
#include "gui/Grids.h"
#include "gui/Messages.h"

#include <vector>

class TCustomDBGridEh;

class TDBGridEhStyle : public TPersistent {
  KELM_CLASS(TDBGridEhStyle, TPersistent)
public:
  TDBGridEhStyle();
  ~TDBGridEhStyle() override;

  bool BlendSelection() const { return FBlendSelection; }
  void SetBlendSelection(bool Value) { FBlendSelection = Value; }
  // The display's colour count; -1 means more than 256 colours.
  int ScreenColorCount() const { return FScreenColorCount; }
  bool ApplyFilterOnCloseUp() const { return FApplyFilterOnCloseUp; }
  void SetApplyFilterOnCloseUp(bool Value) { FApplyFilterOnCloseUp = Value; }
  bool DrawFocusFrame() const { return FDrawFocusFrame; }
  void SetDrawFocusFrame(bool Value) { FDrawFocusFrame = Value; }
  HWND Handle() const { return FHandle; }

  void AttachGrid(TCustomDBGridEh* Grid);
  void DetachGrid(TCustomDBGridEh* Grid);
  bool IsGridAttached(TCustomDBGridEh* Grid) const;
  int GridCount() const { return static_cast<int>(FGrids.size()); }

  virtual bool HighlightDataCell(TCustomDBGridEh* Grid, int ACol, TFont* AFont, TColor& Background,
                                 TGridDrawState& State, int DataRow, int DataCol, int ARow);
  virtual bool HighlightFixedCell(TCustomDBGridEh* Grid, TFont* AFont, TColor& Background, bool Highlighted,
                                  int CellType);
  virtual void StyleWindowProc(TMessage& Message);
  virtual void RefreshScreenColors();
  TColor BlendHighlightColor(TColor Color, TColor HighlightColor, bool Deepen) const;

private:
  bool TrueColor() const { return FScreenColorCount == -1; }
  std::vector<TCustomDBGridEh*> FGrids;
  bool FBlendSelection = true;
  int FScreenColorCount = -1;
  HWND FHandle = 0;
  bool FApplyFilterOnCloseUp = false;
  bool FDrawFocusFrame = true;
};

// The style of all grids; nullptr once the grid library has shut down.
TDBGridEhStyle* SharedGridStyle();
// Frees the shared style (the grid library's end).
void FreeSharedGridStyle();
