#pragma once
// Tool bars with their buttons, and cool bars with their bands.
// Declares TToolButton, TToolBar, TCoolBand, TCoolBands and TCoolBar.
#include "core/Classes.h"
#include "gui/Controls.h"
#include "gui/ImgList.h"
#include "gui/Messages.h"

#include <memory>
#include <vector>

class TPopupMenu;
class TMenuItem;
class TCustomAction;
class TToolBar;

// ================================================================ tool bars

KELM_ENUM(TToolButtonStyle, tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider)
KELM_ENUM(TEdgeBorder, ebLeft, ebTop, ebRight, ebBottom)
using TEdgeBorders = TSet<TEdgeBorder>;
KELM_ENUM(TEdgeStyle, esNone, esRaised, esLowered)

// A button of a tool bar. A check button (tbsCheck) stays down when clicked; in a Grouped run
// of check buttons one is down at a time (none with AllowAllUp). A drop-down button
// (tbsDropDown) shows its DropdownMenu from the arrow at its right and runs Click from the
// rest; a plain button with a DropdownMenu shows the menu when pressed. Bound to an action, it
// follows the action's Caption, Enabled, Hint, Visible, Checked (Down) and ImageIndex.
class TToolButton : public TGraphicControl {
  KELM_CLASS(TToolButton, TGraphicControl)
  template <class B> static void Published(B& b) {
    PublishAction(b);
    b.Prop("AllowAllUp", &TToolButton::AllowAllUp, &TToolButton::SetAllowAllUp).Default(false);
    PublishAutoSize(b);
    PublishCaption(b);
    PublishDragCursor(b);
    PublishDragMode(b);
    b.Prop("Down", &TToolButton::Down, &TToolButton::SetDown).Default(false);
    b.Prop("DropdownMenu", &TToolButton::DropdownMenu, &TToolButton::SetDropdownMenu).Type("TPopupMenu");
    PublishEnabled(b);
    b.Prop("Grouped", &TToolButton::Grouped, &TToolButton::SetGrouped).Default(false);
    b.Prop("ImageIndex", &TToolButton::ImageIndex, &TToolButton::SetImageIndex).Default(-1);
    b.Prop("Indeterminate", &TToolButton::Indeterminate, &TToolButton::SetIndeterminate).Default(false);
    b.Prop("Marked", &TToolButton::Marked, &TToolButton::SetMarked).Default(false);
    PublishParentShowHint(b);
    PublishPopupMenu(b);
    PublishShowHint(b);
    b.Prop("Style", &TToolButton::Style, &TToolButton::SetStyle).Default(tbsButton);
    PublishVisible(b);
    b.Prop("Wrap", &TToolButton::Wrap, &TToolButton::SetWrap).Default(false);
    PublishOnClick(b);
    PublishOnContextPopup(b);
    PublishOnDragDrop(b);
    PublishOnDragOver(b);
    PublishOnEndDrag(b);
    PublishOnMouseDown(b);
    PublishOnMouseMove(b);
    PublishOnMouseUp(b);
    PublishOnStartDrag(b);
  }
public:
  explicit TToolButton(TComponent* AOwner);
  ~TToolButton() override;

  TToolBar* ToolBar() const;
  int Index() const;
  bool AllowAllUp() const { return FAllowAllUp; }
  void SetAllowAllUp(bool v) { FAllowAllUp = v; }
  bool Down() const { return FDown; }
  void SetDown(bool v);
  TPopupMenu* DropdownMenu() const { return FDropdownMenu; }
  void SetDropdownMenu(TPopupMenu* v);
  bool Grouped() const { return FGrouped; }
  void SetGrouped(bool v) { FGrouped = v; }
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int v);
  bool Indeterminate() const { return FIndeterminate; }
  void SetIndeterminate(bool v);
  bool Marked() const { return FMarked; }
  void SetMarked(bool v);
  TToolButtonStyle Style() const { return FStyle; }
  void SetStyle(TToolButtonStyle v);
  bool Wrap() const { return FWrap; }
  void SetWrap(bool v);
  // The width of the arrow part of a drop-down button.
  static constexpr int DropDownWidth = 14;
  // Shows the drop-down menu under the button; true when there was one to show.
  bool CheckMenuDropdown();
  bool IsSeparator() const { return FStyle == tbsSeparator || FStyle == tbsDivider; }

  void Click() override;
  void Dispatch(TMessage& Message) override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  void SetParent(TWinControl* AParent) override;

protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  bool ActionClientValue(TActionLinkProp Prop, Variant& Value) const override;
  void SetActionClientValue(TActionLinkProp Prop, const Variant& Value) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  void UpdateGroup();
  bool InArrow(int X) const;
  // ---- painting steps
  void PaintSeparator(HDC DC, const TRect& R, bool Flat);
  void PaintFace(HDC DC, const TRect& Face, bool Flat, bool Pressed);
  void PaintDropDownArrow(HDC DC, const TRect& Arrow, bool Flat);
  void PaintImageAndCaption(HDC DC, const TRect& Face, bool Sunk);
  TCustomImageList* ShownImages(bool& DrawDisabled) const;
  void PaintCaption(HDC DC, const TRect& TextRect, bool List);

  bool FAllowAllUp = false;
  bool FDown = false;
  TPopupMenu* FDropdownMenu = nullptr;
  bool FGrouped = false;
  int FImageIndex = -1;
  bool FIndeterminate = false;
  bool FMarked = false;
  TToolButtonStyle FStyle = tbsButton;
  bool FWrap = false;
  bool FHot = false;
  bool FPressed = false;   // the button is held down by the mouse
  bool FPressInside = false;
  bool FMenuShowing = false;
};

class TToolBar : public TWinControl {
  KELM_CLASS(TToolBar, TWinControl)
  template <class B> static void Published(B& b) {
    PublishAutoSize(b);
    PublishBorderWidth(b);
    PublishAnchors(b).Default(TAnchors{akLeft, akTop, akRight});
    PublishAlign(b).Default(alTop);
    b.Prop("ButtonHeight", &TToolBar::ButtonHeight, &TToolBar::SetButtonHeight).Default(22);
    b.Prop("ButtonWidth", &TToolBar::ButtonWidth, &TToolBar::SetButtonWidth).Default(23);
    b.Prop("Caption", &TToolBar::Caption, &TToolBar::SetCaption);
    PublishColor(b);
    PublishConstraints(b);
    PublishCtl3D(b);
    b.Prop("DisabledImages", &TToolBar::DisabledImages, &TToolBar::SetDisabledImages);
    PublishDragCursor(b);
    PublishDragMode(b);
    b.Prop("EdgeBorders", &TToolBar::EdgeBorders, &TToolBar::SetEdgeBorders).Default(TEdgeBorders{ebTop});
    b.Prop("EdgeInner", &TToolBar::EdgeInner, &TToolBar::SetEdgeInner).Default(esRaised);
    b.Prop("EdgeOuter", &TToolBar::EdgeOuter, &TToolBar::SetEdgeOuter).Default(esLowered);
    PublishEnabled(b);
    b.Prop("Flat", &TToolBar::Flat, &TToolBar::SetFlat).Default(false);
    PublishFont(b);
    b.Prop("HotImages", &TToolBar::HotImages, &TToolBar::SetHotImages);
    b.Prop("Images", &TToolBar::Images, &TToolBar::SetImages);
    b.Prop("Indent", &TToolBar::Indent, &TToolBar::SetIndent).Default(0);
    b.Prop("List", &TToolBar::List, &TToolBar::SetList).Default(false);
    PublishParentFont(b);
    PublishParentShowHint(b);
    PublishPopupMenu(b);
    PublishParentColor(b).Default(false);
    b.Prop("ShowCaptions", &TToolBar::ShowCaptions, &TToolBar::SetShowCaptions).Default(false);
    PublishShowHint(b);
    PublishTabOrder(b);
    PublishTabStop(b);
    b.Prop("Transparent", &TToolBar::Transparent, &TToolBar::SetTransparent).Default(false);
    PublishVisible(b);
    b.Prop("Wrapable", &TToolBar::Wrapable, &TToolBar::SetWrapable).Default(true);
    PublishOnClick(b);
    PublishOnContextPopup(b);
    PublishOnDblClick(b);
    PublishOnDragDrop(b);
    PublishOnDragOver(b);
    PublishOnEndDrag(b);
    PublishOnEnter(b);
    PublishOnExit(b);
    PublishOnMouseDown(b);
    PublishOnMouseMove(b);
    PublishOnMouseUp(b);
    PublishOnResize(b);
    PublishOnStartDrag(b);
  }
public:
  explicit TToolBar(TComponent* AOwner);
  ~TToolBar() override;

  int ButtonCount() const { return static_cast<int>(FButtons.size()); }
  TToolButton* Buttons(int Index) const;
  int RowCount() const { return FRowCount; }

  int ButtonHeight() const { return FButtonHeight; }
  void SetButtonHeight(int v);
  int ButtonWidth() const { return FButtonWidth; }
  void SetButtonWidth(int v);
  bool Flat() const { return FFlat; }
  void SetFlat(bool v);
  bool List() const { return FList; }
  void SetList(bool v);
  bool ShowCaptions() const { return FShowCaptions; }
  void SetShowCaptions(bool v);
  bool Wrapable() const { return FWrapable; }
  void SetWrapable(bool v);
  int Indent() const { return FIndent; }
  void SetIndent(int v);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool v);
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* v);
  TCustomImageList* DisabledImages() const { return FDisabledImages; }
  void SetDisabledImages(TCustomImageList* v);
  TCustomImageList* HotImages() const { return FHotImages; }
  void SetHotImages(TCustomImageList* v);
  TEdgeBorders EdgeBorders() const { return FEdgeBorders; }
  void SetEdgeBorders(TEdgeBorders v);
  TEdgeStyle EdgeInner() const { return FEdgeInner; }
  void SetEdgeInner(TEdgeStyle v);
  TEdgeStyle EdgeOuter() const { return FEdgeOuter; }
  void SetEdgeOuter(TEdgeStyle v);
  void SetAutoSize(bool v) override;

  // The size every button of the bar takes (a drop-down button adds its arrow).
  TSize ButtonSize() const;

  void Dispatch(TMessage& Message) override;
  void AlignControls(TControl* AControl, TRect& Rect) override;
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;

protected:
  friend class TToolButton;
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void PaintWindow(HDC DC) override;
  void CreateParams(TCreateParams& Params) override;
  void ButtonsChanged();

private:
  void ImagesChanged(TObject* Sender);
  void SortButtonsByPosition();

  std::vector<TControl*> FButtons;  // the bar's controls in their order
  int FButtonHeight = 22, FButtonWidth = 23;
  bool FFlat = false, FList = false, FShowCaptions = false, FWrapable = true, FTransparent = false;
  int FIndent = 0;
  TCustomImageList* FImages = nullptr;
  TCustomImageList* FDisabledImages = nullptr;
  TCustomImageList* FHotImages = nullptr;
  std::unique_ptr<TChangeLink> FImageLink;
  TEdgeBorders FEdgeBorders = {ebTop};
  TEdgeStyle FEdgeInner = esRaised, FEdgeOuter = esLowered;
  int FRowCount = 1;
  bool FLaying = false;
};

// ================================================================ cool bar

class TCoolBar;

// A band of a cool bar: a row piece that holds one control, with a grip and a text before it.
class TCoolBand : public TCollectionItem {
  KELM_CLASS(TCoolBand, TCollectionItem)
  template <class B> static void Published(B& b) {
    b.Prop("Break", &TCoolBand::Break, &TCoolBand::SetBreak).Default(true);
    b.Prop("Control", &TCoolBand::Control, &TCoolBand::SetControl);
    b.Prop("FixedSize", &TCoolBand::FixedSize, &TCoolBand::SetFixedSize).Default(false);
    b.Prop("ImageIndex", &TCoolBand::ImageIndex, &TCoolBand::SetImageIndex).Default(-1);
    b.Prop("MinHeight", &TCoolBand::MinHeight, &TCoolBand::SetMinHeight).Default(25);
    b.Prop("MinWidth", &TCoolBand::MinWidth, &TCoolBand::SetMinWidth).Default(0);
    b.Prop("Text", &TCoolBand::Text, &TCoolBand::SetText);
    b.Prop("Visible", &TCoolBand::Visible, &TCoolBand::SetVisible).Default(true);
    b.Prop("Width", &TCoolBand::Width, &TCoolBand::SetWidth).Default(0);
  }
public:
  explicit TCoolBand(TCollection* Collection);
  ~TCoolBand() override;
  void Assign(TPersistent* Source) override;
  String DisplayName() const override;

  TWinControl* Control() const { return FControl; }
  void SetControl(TWinControl* v);
  bool Break() const { return FBreak; }
  void SetBreak(bool v);
  bool FixedSize() const { return FFixedSize; }
  void SetFixedSize(bool v);
  int MinHeight() const { return FMinHeight; }
  void SetMinHeight(int v);
  int MinWidth() const { return FMinWidth; }
  void SetMinWidth(int v);
  const String& Text() const { return FText; }
  void SetText(const String& v);
  bool Visible() const { return FVisible; }
  void SetVisible(bool v);
  int Width() const { return FWidth; }
  void SetWidth(int v);
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int v);
  TCoolBar* CoolBar() const;

private:
  friend class TCoolBar;
  TWinControl* FControl = nullptr;
  bool FBreak = true;
  bool FFixedSize = false;
  int FMinHeight = 25;
  int FMinWidth = 0;
  String FText;
  bool FVisible = true;
  int FWidth = 0;
  int FImageIndex = -1;
};

class TCoolBands : public TOwnedCollection {
  KELM_CLASS(TCoolBands, TOwnedCollection)
public:
  explicit TCoolBands(TCoolBar* CoolBar);
  TCoolBand* Add() { return static_cast<TCoolBand*>(TCollection::Add()); }
  TCoolBand* Items(int Index) const { return static_cast<TCoolBand*>(TCollection::Items(Index)); }
  TCoolBand* FindBand(TControl* AControl) const;
  TCoolBar* CoolBar() const { return FCoolBar; }

protected:
  void Update(TCollectionItem* Item) override;

private:
  TCoolBar* FCoolBar;
};

// Bands in rows; each band places its control beside its grip and text.
class TCoolBar : public TWinControl {
  KELM_CLASS(TCoolBar, TWinControl)
  template <class B> static void Published(B& b) {
    PublishAutoSize(b);
    PublishAnchors(b).Default(TAnchors{akLeft, akTop, akRight});
    PublishAlign(b).Default(alTop);
    b.Prop("BandBorderStyle", &TCoolBar::BandBorderStyle, &TCoolBar::SetBandBorderStyle).Default(bsSingle);
    b.Prop("Bands", &TCoolBar::Bands, &TCoolBar::SetBands);
    PublishBorderWidth(b);
    PublishColor(b);
    PublishConstraints(b);
    PublishCtl3D(b);
    PublishDragCursor(b);
    PublishDragMode(b);
    b.Prop("EdgeBorders", &TCoolBar::EdgeBorders, &TCoolBar::SetEdgeBorders)
        .Default(TEdgeBorders{ebLeft, ebTop, ebRight, ebBottom});
    PublishEnabled(b);
    b.Prop("FixedOrder", &TCoolBar::FixedOrder, &TCoolBar::SetFixedOrder).Default(false);
    b.Prop("FixedSize", &TCoolBar::FixedSize, &TCoolBar::SetFixedSize).Default(false);
    PublishFont(b);
    b.Prop("Images", &TCoolBar::Images, &TCoolBar::SetImages);
    PublishParentFont(b);
    PublishParentShowHint(b);
    PublishPopupMenu(b);
    PublishShowHint(b);
    PublishParentColor(b).Default(false);
    b.Prop("ShowText", &TCoolBar::ShowText, &TCoolBar::SetShowText).Default(true);
    PublishVisible(b);
    PublishOnClick(b);
    PublishOnContextPopup(b);
    PublishOnDblClick(b);
    PublishOnDragDrop(b);
    PublishOnDragOver(b);
    PublishOnEndDrag(b);
    PublishOnMouseDown(b);
    PublishOnMouseMove(b);
    PublishOnMouseUp(b);
    PublishOnResize(b);
    PublishOnStartDrag(b);
  }
public:
  explicit TCoolBar(TComponent* AOwner);
  ~TCoolBar() override;

  TCoolBands* Bands() const { return FBands.get(); }
  void SetBands(TCoolBands* v) { FBands->Assign(v); }
  bool FixedOrder() const { return FFixedOrder; }
  void SetFixedOrder(bool v) { FFixedOrder = v; }
  bool FixedSize() const { return FFixedSize; }
  void SetFixedSize(bool v) { FFixedSize = v; }
  bool ShowText() const { return FShowText; }
  void SetShowText(bool v);
  TEdgeBorders EdgeBorders() const { return FEdgeBorders; }
  void SetEdgeBorders(TEdgeBorders v);
  TBorderStyle BandBorderStyle() const { return FBandBorderStyle; }
  void SetBandBorderStyle(TBorderStyle v);
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* v);
  void SetAutoSize(bool v) override;
  // The rectangle of a band in client coordinates (empty when hidden).
  TRect BandRect(int Index) const;

  void Dispatch(TMessage& Message) override;
  void AlignControls(TControl* AControl, TRect& Rect) override;

protected:
  friend class TCoolBand;
  friend class TCoolBands;
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void PaintWindow(HDC DC) override;
  void BandsChanged();

private:
  int GripWidth(const TCoolBand* Band) const;
  std::unique_ptr<TCoolBands> FBands;
  std::vector<TRect> FBandRects;
  bool FFixedOrder = false, FFixedSize = false, FShowText = true;
  TEdgeBorders FEdgeBorders = {ebLeft, ebTop, ebRight, ebBottom};
  TBorderStyle FBandBorderStyle = bsSingle;
  TCustomImageList* FImages = nullptr;
  bool FLaying = false;
};
