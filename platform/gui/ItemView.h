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
  // The messages both views take alike: their scroll bars', the dialog code (arrows and
  // characters are theirs), the background (painted with the items), size and font changes
  // and the label-editing delay; the rest goes to the view's native model.
  void Dispatch(TMessage& Message) override;
  // The native model's message table, each message to the view's own handler.
  void DefaultHandler(TMessage& Message) override;

protected:
  // The timer that starts label editing a moment after a click on the selected item.
  static constexpr UINT_PTR EditDelayTimer = 0x7E01;

  TCustomItemView(TComponent* AOwner, int Width, int Height);
  void CreateParams(TCreateParams& Params) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  // An image list of the view, or its pictures, changed: the items lay out again.
  virtual void ImagesChanged() { LayoutChanged(true); }
  // What a view does with the messages the base's tables hand it. The base alone (while the
  // view is made or freed) has no items, so its own versions do nothing.
  // The items lay out again: all of them (Rebuild: fonts, images, contents) or as far as the
  // client's size decides.
  virtual void LayoutChanged(bool Rebuild) {}
  // The label-editing delay after a click on the selected item ran out.
  virtual void EditDelayExpired() {}
  // A timer of the view's own other than the editing delay; false for others.
  virtual bool TimerExpired(UINT_PTR Id) { return false; }
  // ---- the native model, one handler per message
  virtual void PaintItems(HDC DC) {}
  virtual void KeyDownDefault(TMessage& M) {}
  virtual void CharDefault(TMessage& M) {}
  virtual void MouseDownDefault(TMessage& M, bool Right, bool Double) {}
  // A move the view follows (hot tracking, a dragged column divider); true when it took it.
  virtual bool MouseMoveDefault(TMessage& M) { return false; }
  virtual void WMLButtonUp(TMessage& M) {}
  virtual void ScrollDefault(TMessage& M, bool Horizontal) {}
  virtual void WMMouseWheelDefault(TMessage& M) {}
  void WMRButtonDown(TMessage& M);
  // Puts Value in an image-list slot of the view (watching its changes); false when it was
  // there already.
  bool SwapImages(TCustomImageList*& Slot, TCustomImageList* Value);
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
