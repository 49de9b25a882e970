#pragma once
// Panels, bevels, shapes, pictures, paint boxes, splitters, radio groups and scroll boxes.
// Declares TShape, TPaintBox, TImage, TBevel, TCustomPanel, TPanel, TSplitter, TCustomRadioGroup,
// TRadioGroup, TControlScrollBar and TScrollBox.
#include "gui/Controls.h"
#include "gui/Forms.h"
#include "gui/Graphics.h"
#include "gui/StdCtrls.h"

#include <memory>
#include <vector>

class TWindowScrollBars;

KELM_ENUM(TShapeType, stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle)
KELM_ENUM(TBevelStyle, bsLowered, bsRaised)
KELM_ENUM(TBevelShape, bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer)
KELM_ENUM(TResizeStyle, rsNone, rsLine, rsUpdate, rsPattern)
using TPanelBevel = TBevelCut;
using TBevelWidth = int;

KELM_EVENT(TCanResizeSplitterEvent, void(TObject* Sender, int& NewSize, bool& Accept));

// ================================================================ TShape

class TShape : public TGraphicControl {
  KELM_CLASS(TShape, TGraphicControl)
  template <class B> static void Published(B& b) {
    PublishPlacement(b);
    PublishMouseEvents(b);
    b.Prop("Brush", &TShape::Brush, &TShape::SetBrush);
    b.Prop("Pen", &TShape::Pen, &TShape::SetPen);
    b.Prop("Shape", &TShape::Shape, &TShape::SetShape).Default(stRectangle);
  }
public:
  explicit TShape(TComponent* AOwner);
  ~TShape() override;
  TBrush* Brush() const { return FBrush.get(); }
  void SetBrush(TBrush* v) { FBrush->Assign(v); }
  TPen* Pen() const { return FPen.get(); }
  void SetPen(TPen* v) { FPen->Assign(v); }
  TShapeType Shape() const { return FShape; }
  void SetShape(TShapeType v);

protected:
  void Paint() override;

private:
  void StyleChanged(TObject*) { Invalidate(); }
  std::unique_ptr<TBrush> FBrush;
  std::unique_ptr<TPen> FPen;
  TShapeType FShape = stRectangle;
};

// ================================================================ TPaintBox

// A surface the window draws on in OnPaint.
class TPaintBox : public TGraphicControl {
  KELM_CLASS(TPaintBox, TGraphicControl)
  template <class B> static void Published(B& b) {
    PublishPlacement(b);
    PublishColors(b);
    PublishMouseEvents(b);
    b.Prop("OnPaint", &TPaintBox::OnPaint, &TPaintBox::OnPaint);
  }
public:
  explicit TPaintBox(TComponent* AOwner);
  TNotifyEvent OnPaint;

protected:
  void Paint() override;
};

// ================================================================ TImage

class TImage : public TGraphicControl {
  KELM_CLASS(TImage, TGraphicControl)
  template <class B> static void Published(B& b) {
    PublishPlacement(b);
    PublishMouseEvents(b);
    b.Prop("AutoSize", &TImage::AutoSize, &TImage::SetAutoSize).Default(false);
    b.Prop("Center", &TImage::Center, &TImage::SetCenter).Default(false);
    b.Prop("IncrementalDisplay", &TImage::IncrementalDisplay, &TImage::SetIncrementalDisplay).Default(false);
    b.Prop("Picture", &TImage::Picture, &TImage::SetPicture);
    b.Prop("Proportional", &TImage::Proportional, &TImage::SetProportional).Default(false);
    b.Prop("Stretch", &TImage::Stretch, &TImage::SetStretch).Default(false);
    b.Prop("Transparent", &TImage::Transparent, &TImage::SetTransparent).Default(false);
    b.Prop("OnProgress", &TImage::OnProgress, &TImage::OnProgress);
  }
public:
  explicit TImage(TComponent* AOwner);
  ~TImage() override;

  TPicture* Picture() const { return FPicture.get(); }
  void SetPicture(TPicture* v) { FPicture->Assign(v); }
  bool Center() const { return FCenter; }
  void SetCenter(bool v);
  bool Stretch() const { return FStretch; }
  void SetStretch(bool v);
  // With Stretch: keeps the picture's aspect; without: shrinks only pictures too large.
  bool Proportional() const { return FProportional; }
  void SetProportional(bool v);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool v);
  bool IncrementalDisplay() const { return FIncrementalDisplay; }
  void SetIncrementalDisplay(bool v) { FIncrementalDisplay = v; }
  void SetAutoSize(bool v) override;
  // A canvas on the picture: an empty picture becomes a bitmap of the control's size;
  // EInvalidOperation "Can only modify an image if it contains a bitmap" for other pictures.
  TCanvas* ImageCanvas();
  // Where the picture is drawn within the control.
  TRect DestRect() const;

  TNotifyEvent OnProgress;

protected:
  void Paint() override;
  bool CanAutoSize(int& NewWidth, int& NewHeight) override;

private:
  void PictureChanged(TObject*);
  std::unique_ptr<TPicture> FPicture;
  bool FCenter = false, FStretch = false, FProportional = false, FTransparent = false;
  bool FIncrementalDisplay = false;
  bool FDrawing = false;
};

// ================================================================ TBevel

class TBevel : public TGraphicControl {
  KELM_CLASS(TBevel, TGraphicControl)
  template <class B> static void Published(B& b) {
    PublishPlacement(b);
    b.Prop("Shape", &TBevel::Shape, &TBevel::SetShape).Default(bsBox);
    b.Prop("Style", &TBevel::Style, &TBevel::SetStyle).Default(bsLowered);
  }
public:
  explicit TBevel(TComponent* AOwner);
  TBevelShape Shape() const { return FShape; }
  void SetShape(TBevelShape v);
  TBevelStyle Style() const { return FStyle; }
  void SetStyle(TBevelStyle v);

protected:
  void Paint() override;

private:
  TBevelShape FShape = bsBox;
  TBevelStyle FStyle = bsLowered;
};

// ================================================================ TPanel

class TCustomPanel : public TCustomControl {
  KELM_CLASS(TCustomPanel, TCustomControl)
public:
  explicit TCustomPanel(TComponent* AOwner);

  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment v);
  TPanelBevel BevelInner() const { return FBevelInner; }
  void SetBevelInner(TPanelBevel v);
  TPanelBevel BevelOuter() const { return FBevelOuter; }
  void SetBevelOuter(TPanelBevel v);
  TBevelWidth BevelWidth() const { return FBevelWidth; }
  void SetBevelWidth(TBevelWidth v);
  // The band between the bevels, in the panel's colour (the panel's own, not the window's).
  int BorderWidth() const { return FBorderWidth; }
  void SetBorderWidth(int v);
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle v);
  bool FullRepaint() const { return FFullRepaint; }
  void SetFullRepaint(bool v) { FFullRepaint = v; }
  bool Locked() const { return FLocked; }
  void SetLocked(bool v) { FLocked = v; }

  void AdjustClientRect(TRect& Rect) override;
  void Dispatch(TMessage& Message) override;

protected:
  void Paint() override;
  void CreateParams(TCreateParams& Params) override;

private:
  TAlignment FAlignment = taCenter;
  TPanelBevel FBevelInner = bvNone;
  TPanelBevel FBevelOuter = bvRaised;
  TBevelWidth FBevelWidth = 1;
  int FBorderWidth = 0;
  TBorderStyle FBorderStyle = bsNone;
  bool FFullRepaint = true;
  bool FLocked = false;
};

class TPanel : public TCustomPanel {
  KELM_CLASS(TPanel, TCustomPanel)
  template <class B> static void Published(B& b) {
    PublishPlacement(b);
    PublishColors(b);
    PublishParentColor(b).Default(false);
    PublishCaption(b);
    PublishMouseEvents(b);
    PublishWindowed(b);
    PublishResizeEvents(b);
    b.Prop("Alignment", &TPanel::Alignment, &TPanel::SetAlignment).Default(taCenter);
    b.Prop("AutoSize", &TPanel::AutoSize, &TPanel::SetAutoSize).Default(false);
    b.Prop("BevelInner", &TPanel::BevelInner, &TPanel::SetBevelInner).Default(bvNone);
    b.Prop("BevelOuter", &TPanel::BevelOuter, &TPanel::SetBevelOuter).Default(bvRaised);
    b.Prop("BevelWidth", &TPanel::BevelWidth, &TPanel::SetBevelWidth).Default(1);
    b.Prop("BorderStyle", &TPanel::BorderStyle, &TPanel::SetBorderStyle).Default(bsNone);
    b.Prop("BorderWidth", &TPanel::BorderWidth, &TPanel::SetBorderWidth).Default(0);
    b.Prop("FullRepaint", &TPanel::FullRepaint, &TPanel::SetFullRepaint).Default(true);
    b.Prop("Locked", &TPanel::Locked, &TPanel::SetLocked).Default(false);
  }
public:
  explicit TPanel(TComponent* AOwner) : TCustomPanel(AOwner) {}
};

// ================================================================ TSplitter

// Resizes the control aligned beside it (on its left for alLeft, above for alTop ...) when
// dragged; the other side keeps at least MinSize.
class TSplitter : public TGraphicControl {
  KELM_CLASS(TSplitter, TGraphicControl)
  template <class B> static void Published(B& b) {
    b.Prop("Align", &TControl::Align, &TControl::SetAlign).Default(alLeft);
    PublishColor(b);
    PublishParentColor(b);
    PublishConstraints(b);
    PublishCursor(b).Default(crHSplit);
    b.Prop("Visible", &TControl::Visible, &TControl::SetVisible).Default(true);
    b.Prop("AutoSnap", &TSplitter::AutoSnap, &TSplitter::SetAutoSnap).Default(true);
    b.Prop("Beveled", &TSplitter::Beveled, &TSplitter::SetBeveled).Default(false);
    b.Prop("MinSize", &TSplitter::MinSize, &TSplitter::SetMinSize).Default(30);
    b.Prop("ResizeStyle", &TSplitter::ResizeStyle, &TSplitter::SetResizeStyle).Default(rsPattern);
    b.Prop("OnCanResize", &TSplitter::OnCanResize, &TSplitter::OnCanResize);
    b.Prop("OnMoved", &TSplitter::OnMoved, &TSplitter::OnMoved);
  }
public:
  explicit TSplitter(TComponent* AOwner);
  bool AutoSnap() const { return FAutoSnap; }
  void SetAutoSnap(bool v) { FAutoSnap = v; }
  bool Beveled() const { return FBeveled; }
  void SetBeveled(bool v);
  int MinSize() const { return FMinSize; }
  void SetMinSize(int v) { FMinSize = v < 1 ? 1 : v; }
  TResizeStyle ResizeStyle() const { return FResizeStyle; }
  void SetResizeStyle(TResizeStyle v) { FResizeStyle = v; }
  // The control the splitter resizes, found beside it when a drag starts.
  TControl* FindControl() const;

  TCanResizeSplitterEvent OnCanResize;
  TNotifyEvent OnMoved;

protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
  int NewSizeAt(TPoint ParentPoint) const;
  void ApplySize(int Size);
  bool FAutoSnap = true;
  bool FBeveled = false;
  int FMinSize = 30;
  TResizeStyle FResizeStyle = rsPattern;
  TControl* FControl = nullptr;  // during a drag
  TPoint FDownPos;               // parent coordinates
  int FStartSize = 0;
  int FMaxSize = 0;
  int FNewSize = 0;
};

// ================================================================ TRadioGroup

class TCustomRadioGroup : public TCustomGroupBox {
  KELM_CLASS(TCustomRadioGroup, TCustomGroupBox)
public:
  explicit TCustomRadioGroup(TComponent* AOwner);
  ~TCustomRadioGroup() override;

  TStrings* Items() const { return FItems.get(); }
  void SetItems(TStrings* v) { FItems->Assign(v); }
  // -1 for none. Choosing an item (also from code) runs OnClick.
  int ItemIndex() const { return FItemIndex; }
  void SetItemIndex(int v);
  int Columns() const { return FColumns; }
  void SetColumns(int v);
  int ButtonCount() const { return static_cast<int>(FButtons.size()); }
  TRadioButton* Buttons(int Index) const;

  void Dispatch(TMessage& Message) override;
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;

protected:
  void Loaded() override;
  virtual bool CanModify() { return true; }

private:
  void ItemsChanged(TObject*);
  void UpdateButtons();
  void ArrangeButtons();
  void ButtonClick(TObject* Sender);
  std::unique_ptr<TStringList> FItems;
  std::vector<TRadioButton*> FButtons;
  int FItemIndex = -1;
  int FColumns = 1;
  bool FUpdating = false;
};

class TRadioGroup : public TCustomRadioGroup {
  KELM_CLASS(TRadioGroup, TCustomRadioGroup)
  template <class B> static void Published(B& b) {
    PublishPlacement(b);
    PublishColors(b);
    PublishCaption(b);
    PublishMouseEvents(b);
    PublishWindowed(b);
    b.Prop("Columns", &TRadioGroup::Columns, &TRadioGroup::SetColumns).Default(1);
    b.Prop("Items", &TRadioGroup::Items, &TRadioGroup::SetItems);
    b.Prop("ItemIndex", &TRadioGroup::ItemIndex, &TRadioGroup::SetItemIndex).Default(-1);
  }
public:
  explicit TRadioGroup(TComponent* AOwner) : TCustomRadioGroup(AOwner) {}
};

// ================================================================ TScrollBox

// One scroll bar of a scroll box: the range is the extent of the children (or set), the
// position is how far the children are moved.
class TControlScrollBar : public TPersistent {
  KELM_CLASS(TControlScrollBar, TPersistent)
  template <class B> static void Published(B& b) {
    b.Prop("Increment", &TControlScrollBar::Increment, &TControlScrollBar::SetIncrement).Default(8);
    b.Prop("Margin", &TControlScrollBar::Margin, &TControlScrollBar::SetMargin).Default(0);
    b.Prop("Position", &TControlScrollBar::Position, &TControlScrollBar::SetPosition).Default(0);
    b.Prop("Range", &TControlScrollBar::Range, &TControlScrollBar::SetRange).Default(0);
    b.Prop("Tracking", &TControlScrollBar::Tracking, &TControlScrollBar::SetTracking).Default(false);
    b.Prop("Visible", &TControlScrollBar::Visible, &TControlScrollBar::SetVisible).Default(true);
  }
public:
  TControlScrollBar(TScrollingWinControl* Control = nullptr, bool Horizontal = false)
      : FControl(Control), FHorizontal(Horizontal) {}
  void Assign(TPersistent* Source) override;
  int Increment() const { return FIncrement; }
  void SetIncrement(int v) { FIncrement = v > 0 ? v : 8; }
  int Margin() const { return FMargin; }
  void SetMargin(int v) { FMargin = v; }
  int Position() const { return FPosition; }
  void SetPosition(int v);
  int Range() const { return FRange; }
  void SetRange(int v);
  bool Tracking() const { return FTracking; }
  void SetTracking(bool v) { FTracking = v; }
  bool Visible() const { return FVisible; }
  void SetVisible(bool v);
  bool IsScrollBarVisible() const { return FShown; }
  TScrollBarKind Kind() const { return FHorizontal ? sbHorizontal : sbVertical; }

private:
  friend class TScrollBox;
  TScrollingWinControl* FControl;
  bool FHorizontal;
  int FIncrement = 8, FMargin = 0, FPosition = 0, FRange = 0;
  bool FTracking = false, FVisible = true;
  bool FShown = false;
  bool FRangeSet = false;
};

class TScrollBox : public TScrollingWinControl {
  KELM_CLASS(TScrollBox, TScrollingWinControl)
  template <class B> static void Published(B& b) {
    PublishPlacement(b);
    PublishColors(b);
    PublishMouseEvents(b);
    PublishWindowed(b);
    PublishResizeEvents(b);
    b.Prop("AutoScroll", &TScrollBox::AutoScroll, &TScrollBox::SetAutoScroll).Default(true);
    b.Prop("BorderStyle", &TScrollBox::BorderStyle, &TScrollBox::SetBorderStyle).Default(bsSingle);
    b.Prop("HorzScrollBar", &TScrollBox::HorzScrollBar, &TScrollBox::SetHorzScrollBar);
    b.Prop("VertScrollBar", &TScrollBox::VertScrollBar, &TScrollBox::SetVertScrollBar);
  }
public:
  explicit TScrollBox(TComponent* AOwner);
  ~TScrollBox() override;

  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle v);
  TControlScrollBar* HorzScrollBar() const { return FHorz.get(); }
  void SetHorzScrollBar(TControlScrollBar* v) { FHorz->Assign(v); }
  TControlScrollBar* VertScrollBar() const { return FVert.get(); }
  void SetVertScrollBar(TControlScrollBar* v) { FVert->Assign(v); }
  // Scrolls so that the child is fully visible.
  void ScrollInView(TControl* AControl);
  // Recomputes the ranges from the children and shows or hides the bars.
  void UpdateScrollBars();

  void Dispatch(TMessage& Message) override;
  void DefaultHandler(TMessage& Message) override;

protected:
  void CreateParams(TCreateParams& Params) override;
  void WndProc(TMessage& Message) override;
  void AlignControls(TControl* AControl, TRect& Rect) override;

private:
  friend class TControlScrollBar;
  void ScrollTo(bool Horizontal, int Pos);
  void DoScroll(bool Horizontal, int Code, int Pos);
  TBorderStyle FBorderStyle = bsSingle;
  std::unique_ptr<TControlScrollBar> FHorz, FVert;
  std::unique_ptr<TWindowScrollBars> FBars;
  bool FUpdating = false;
};
