#pragma once
// What the tree view and the list view share: their base (TCustomItemView), the custom-draw
// state of an item and the sort types.
#include "gui/Controls.h"
#include "gui/Messages.h"

#include <functional>
#include <memory>

KELM_ENUM(TCustomDrawStateItem, cdsSelected, cdsGrayed, cdsDisabled, cdsChecked, cdsFocused, cdsDefault, cdsHot,
          cdsMarked, cdsIndeterminate)
using TCustomDrawState = TSet<TCustomDrawStateItem>;

// How the items sort: not at all, by data (OnCompare), by text, or by both.
KELM_ENUM(TSortType, stNone, stData, stText, stBoth)

class TChangeLink;
class TControlCanvas;
class TCustomEdit;
class TCustomImageList;
class TWindowScrollBars;

// The base of the tree view and the list view: a scrolling view that draws its items itself
// in the classic look, with a border, state images, hot tracking, a selection hidden without
// the focus (HideSelection) and an in-place editor for the labels.
class TCustomItemView : public TWinControl {
  KELM_CLASS(TCustomItemView, TWinControl)
public:
  ~TCustomItemView() override;

  TCanvas* Canvas() const;
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle v);
  bool HideSelection() const { return FHideSelection; }
  void SetHideSelection(bool v);
  bool HotTrack() const { return FHotTrack; }
  void SetHotTrack(bool v) { FHotTrack = v; }
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool v) { FReadOnly = v; }
  TCustomImageList* StateImages() const { return FStateImages; }
  void SetStateImages(TCustomImageList* v);

  void WndProc(TMessage& Message) override;

protected:
  TCustomItemView(TComponent* AOwner, int Width, int Height);
  void CreateParams(TCreateParams& Params) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  // An image list of the view, or its pictures, changed: the items lay out again.
  virtual void ImagesChanged() {}
  // Puts Value in an image-list slot of the view (watching its changes); false when it was
  // there already.
  bool SwapImages(TCustomImageList*& Slot, TCustomImageList* Value);
  // The messages both views answer alike: their scroll bars', the dialog code (arrows and
  // characters are theirs) and the background (painted with the items). False for others.
  bool ItemViewMessage(TMessage& Message);
  // The height of a line of the view's font, measured once per font.
  int CellHeight() const;
  void FontChanged() { FCellHeight = 0; }
  // The view paints as focused: it has the focus, or its label editor has.
  bool ViewFocused() const;
  // Shows the label editor over Label (Height high), holding Text all selected, and focuses
  // it; Done ends the editing (Cancel on Escape).
  void ShowLabelEditor(std::function<void(bool Cancel)> Done, const TRect& Label, int Height, const String& Text);
  // Hides the label editor, handing the focus back to the view when the editor had it; the
  // text typed.
  String HideLabelEditor();

  std::unique_ptr<TControlCanvas> FCanvas;
  std::unique_ptr<TWindowScrollBars> FBars;
  std::unique_ptr<TChangeLink> FImageLink;
  TCustomEdit* FEditor = nullptr;  // made on the first label editing
  TCustomImageList* FStateImages = nullptr;
  TBorderStyle FBorderStyle = bsSingle;
  bool FHideSelection = true;
  bool FHotTrack = false;
  bool FReadOnly = false;

private:
  mutable int FCellHeight = 0;
};
