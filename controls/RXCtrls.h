#pragma once
// The speed button of the date edit group: a windowless push button with a glyph of up to
// five images (up, disabled, down, stay-down, inactive), a caption, radio groups, a flat look
// that lights under the mouse, an attached drop-down menu, repeated clicks while held, and
// transparency to its parent. It paints into an off-screen bitmap and copies it in one step.
// The images of each state are built once and kept in image lists shared by every glyph of
// the same size (TGlyphList in the one TGlyphCache of the process), so forty buttons with
// four glyph sizes hold four lists.
#include "core/Lists.h"
#include "gui/Buttons.h"
#include "gui/ImgList.h"

#include <array>
#include <memory>
#include <vector>

class TPopupMenu;
class TTimer;

KELM_ENUM(TRxDrawState, rsUp, rsDisabled, rsDown, rsExclusive, rsInactive)
KELM_ENUM(TRxDropDownMenuPos, dmpBottom, dmpRight)
using TRxNumGlyphs = int;  // 1..5

// The group message: WParam = the group index, LParam = the button that went down.
constexpr UINT CM_RXBUTTONPRESSED = 0xB051;

// ================================================================ glyph lists and cache

// An image list whose slots are handed out and given back; a freed slot keeps its image until
// it is reused.
class TGlyphList : public TImageList {
  KELM_CLASS(TGlyphList, TImageList)
public:
  TGlyphList(int AWidth, int AHeight);
  int AddImage(TBitmap* Image, TBitmap* Mask);
  int AddMasked(TBitmap* Image, TColor MaskColor);
  void ReleaseIndex(int Index);
  // The slots taken (not the images held).
  int Count() const { return FCount; }

private:
  int AllocateIndex();
  TBits FUsed;
  int FCount = 0;
};

class TGlyphCache : public TObject {
public:
  TGlyphCache() = default;
  ~TGlyphCache() override;
  // The list of that size, made when there is none.
  TGlyphList* ListFor(int AWidth, int AHeight);
  // Frees a list no glyph uses any more.
  void ReturnList(TGlyphList* List);
  bool IsEmpty() const { return FLists.empty(); }
  int ListCount() const { return static_cast<int>(FLists.size()); }

private:
  std::vector<TGlyphList*> FLists;
};

// The process's glyph cache, or nullptr while no glyph exists.
TGlyphCache* GlyphCache();

// ================================================================ the glyph

class TRxButtonGlyph : public TObject {
public:
  TRxButtonGlyph();
  ~TRxButtonGlyph() override;

  TBitmap* Glyph() const { return FOriginal.get(); }
  void SetGlyph(TBitmap* Value);
  TRxNumGlyphs NumGlyphs() const { return FNumGlyphs; }
  void SetNumGlyphs(TRxNumGlyphs Value);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value);
  TColor TransparentColor() const { return FTransparentColor; }
  TGlyphList* GlyphList() const { return FGlyphList; }

  // The slot of a state's image in the glyph list, built on first use; -1 without a glyph.
  int StateImage(TRxDrawState State);
  // The same for image Index of an image list.
  int ListStateImage(TCustomImageList* Images, int Index, TRxDrawState State);
  void ReleaseImages();
  // Lays glyph, caption and drop-down mark out in Client and draws them; the text rectangle.
  TRect RenderEx(TCanvas* Canvas, const TRect& Client, TPoint Offset, const String& Caption, TButtonLayout Layout,
                 int Margin, int Spacing, TRxDrawState State, bool PopupMark, TCustomImageList* Images,
                 int ImageIndex, UINT Flags);
  // The glyph position and text rectangle without drawing.
  void CalcLayout(TCanvas* Canvas, const TRect& Client, TPoint Offset, String& Caption, TButtonLayout Layout,
                  int Margin, int Spacing, bool PopupMark, TCustomImageList* Images, UINT Flags, TPoint& GlyphPos,
                  TRect& TextBounds);

  TNotifyEvent OnChange;

private:
  void GlyphChanged(TObject* Sender);
  TPoint DrawButtonGlyph(TCanvas* Canvas, TPoint P, TRxDrawState State, TCustomImageList* Images, int ImageIndex);
  void DrawButtonText(TCanvas* Canvas, const String& Caption, TRect TextBounds, TRxDrawState State, UINT Flags);
  void DrawPopupMark(TCanvas* Canvas, int X, int Y, TRxDrawState State);
  TGlyphList* NeedList(int W, int H);

  std::unique_ptr<TBitmap> FOriginal;
  TGlyphList* FGlyphList = nullptr;
  std::array<int, 5> FIndexs{-1, -1, -1, -1, -1};
  TColor FTransparentColor = TColor(0xFF00FF);
  TAlignment FAlignment = taCenter;
  TRxNumGlyphs FNumGlyphs = 1;
  bool FWordWrap = false;
};

// The classic button frame, down or up, flat or raised, in the old or new look; the rectangle
// inside it.
TRect PaintButtonFrame(TCanvas* Canvas, const TRect& Client, bool IsDown, bool IsFlat, TButtonStyle Style);
// Draws the parent's background and the windowless siblings below the control into Canvas,
// as if the control were not there.
void PaintParentBackground(TControl* Control, TCanvas* Canvas);
// The gray of a colour (77 R + 150 G + 29 B) / 256; the transparent colour and the button face
// stay.
COLORREF GrayOfColor(COLORREF Color, COLORREF Transparent);

// ================================================================ the speed button

class TRxSpeedButton : public TGraphicControl {
  KELM_CLASS(TRxSpeedButton, TGraphicControl)
  template <class B> static void Published(B& b) {
    using C = TRxSpeedButton;
    PublishAction(b);
    b.Prop("Alignment", &C::Alignment, &C::SetAlignment).Default(taCenter);
    b.Prop("AllowAllUp", &C::AllowAllUp, &C::SetAllowAllUp).Default(false);
    PublishAnchors(b);
    PublishBiDiMode(b);
    PublishConstraints(b);
    PublishDragKind(b);
    PublishParentBiDiMode(b);
    b.Prop("AllowTimer", &C::AllowTimer, &C::SetAllowTimer).Default(false);
    b.Prop("GroupIndex", &C::GroupIndex, &C::SetGroupIndex).Default(0);
    b.Prop("Down", &C::Down, &C::SetDown).Default(false);
    b.Prop("DropDownMenu", &C::DropDownMenu, &C::SetDropDownMenu);
    b.Prop("MenuPosition", &C::MenuPosition, &C::SetMenuPosition).Default(dmpBottom);
    PublishCaption(b);
    PublishDragCursor(b);
    PublishDragMode(b);
    PublishEnabled(b);
    b.Prop("Flat", &C::Flat, &C::SetFlat).Default(false);
    PublishFont(b);
    b.Prop("Glyph", &C::Glyph, &C::SetGlyph);
    b.Prop("GrayedInactive", &C::GrayedInactive, &C::SetGrayedInactive).Default(true);
    b.Prop("InitPause", &C::InitPause, &C::SetInitPause).Default(500);
    b.Prop("Layout", &C::Layout, &C::SetLayout).Default(blGlyphTop);
    b.Prop("Margin", &C::Margin, &C::SetMargin).Default(-1);
    b.Prop("MarkDropDown", &C::MarkDropDown, &C::SetMarkDropDown).Default(true);
    b.Prop("ModalResult", &C::ModalResult, &C::SetModalResult).Default(0);
    b.Prop("NumGlyphs", &C::NumGlyphs, &C::SetNumGlyphs).Type("TRxNumGlyphs").Default(1);
    PublishParentFont(b);
    PublishParentShowHint(b).Default(false);
    b.Prop("RepeatInterval", &C::RepeatInterval, &C::SetRepeatInterval).Default(100);
    PublishShowHint(b);
    b.Prop("Spacing", &C::Spacing, &C::SetSpacing).Default(1);
    b.Prop("Style", &C::Style, &C::SetStyle).Default(bsAutoDetect);
    b.Prop("Transparent", &C::Transparent, &C::SetTransparent).Default(false);
    b.Prop("WordWrap", &C::WordWrap, &C::SetWordWrap).Default(false);
    PublishVisible(b);
    PublishOnClick(b);
    PublishOnDblClick(b);
    PublishOnDragDrop(b);
    PublishOnDragOver(b);
    PublishOnEndDrag(b);
    PublishOnMouseDown(b);
    PublishOnMouseMove(b);
    PublishOnMouseUp(b);
    PublishOnMouseEnter(b);
    PublishOnMouseLeave(b);
    PublishOnStartDrag(b);
    PublishOnEndDock(b);
    PublishOnStartDock(b);
  }
public:
  explicit TRxSpeedButton(TComponent* AOwner);
  ~TRxSpeedButton() override;
  void Dispatch(TMessage& Message) override;
  void Click() override;
  void Loaded() override;

  // ---- published
  TAlignment Alignment() const { return FGlyph->Alignment(); }
  void SetAlignment(TAlignment Value);
  bool AllowAllUp() const { return FAllowAllUp; }
  void SetAllowAllUp(bool Value);
  bool AllowTimer() const { return FAllowTimer; }
  void SetAllowTimer(bool Value);
  int GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int Value);
  bool Down() const { return FDown; }
  void SetDown(bool Value);
  TPopupMenu* DropDownMenu() const { return FDropDownMenu; }
  void SetDropDownMenu(TPopupMenu* Value);
  TRxDropDownMenuPos MenuPosition() const { return FMenuPosition; }
  void SetMenuPosition(TRxDropDownMenuPos Value) { FMenuPosition = Value; }
  bool Flat() const { return FFlat; }
  void SetFlat(bool Value);
  TBitmap* Glyph() const { return FGlyph->Glyph(); }
  void SetGlyph(TBitmap* Value);
  bool GrayedInactive() const { return FGrayedInactive; }
  void SetGrayedInactive(bool Value);
  Word InitPause() const { return FInitPause; }
  void SetInitPause(Word Value) { FInitPause = Value; }
  TButtonLayout Layout() const { return FLayout; }
  void SetLayout(TButtonLayout Value);
  int Margin() const { return FMargin; }
  void SetMargin(int Value);
  bool MarkDropDown() const { return FMarkDropDown; }
  void SetMarkDropDown(bool Value);
  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult Value) { FModalResult = Value; }
  TRxNumGlyphs NumGlyphs() const { return FGlyph->NumGlyphs(); }
  void SetNumGlyphs(TRxNumGlyphs Value);
  Word RepeatInterval() const { return FRepeatInterval; }
  void SetRepeatInterval(Word Value) { FRepeatInterval = Value; }
  int Spacing() const { return FSpacing; }
  void SetSpacing(int Value);
  TButtonStyle Style() const { return FStyle; }
  void SetStyle(TButtonStyle Value);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value);
  bool WordWrap() const { return FGlyph->WordWrap(); }
  void SetWordWrap(bool Value);

  // ---- state
  TRxDrawState State() const { return FState; }
  bool MouseInControl() const { return FMouseInControl; }
  bool Dragging() const { return FDragging; }
  bool MenuTracking() const { return FMenuTracking; }
  TTimer* RepeatTimer() const { return FRepeatTimer.get(); }
  TRxButtonGlyph* ButtonGlyph() const { return FGlyph.get(); }
  // Shows the attached menu at a client point; true when it was shown.
  bool ShowDropDownMenu(TPoint P, bool Manual);
  // Ends a press as a release at (X, Y) would.
  void FinishPress(TMouseButton Button, int X, int Y);
  // Recomputes whether the mouse is over the button.
  void UpdateTracking();

protected:
  void Paint() override;
  virtual void PaintContent(TCanvas* Canvas, const TRect& Client, bool PopupMark, TRxDrawState State);
  virtual void DoMouseEnter() { OnMouseEnter(this); }
  virtual void DoMouseLeave() { OnMouseLeave(this); }
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void ActionChange(TObject* Sender, bool CheckDefaults) override;
  bool Inside(int X, int Y) const { return X >= 0 && X < ClientWidth() && Y >= 0 && Y < ClientHeight(); }

private:
  void GlyphChanged(TObject* Sender);
  void RepeatTick(TObject* Sender);
  void UpdateExclusive();
  TPoint MenuPoint() const;
  void DropQueuedPress();
  void SetMouseOver(bool Value, bool Fire);
  void CMButtonPressed(TMessage& M);

  std::unique_ptr<TRxButtonGlyph> FGlyph;
  std::unique_ptr<TBitmap> FDrawImage;
  std::unique_ptr<TTimer> FRepeatTimer;
  int FGroupIndex = 0;
  TButtonStyle FStyle = bsAutoDetect;
  bool FDown = false;
  bool FDragging = false;
  bool FFlat = false;
  bool FMouseInControl = false;
  bool FAllowAllUp = false;
  TButtonLayout FLayout = blGlyphTop;
  int FSpacing = 1;
  int FMargin = -1;
  TModalResult FModalResult = 0;
  bool FTransparent = false;
  bool FMarkDropDown = true;
  TPopupMenu* FDropDownMenu = nullptr;
  TRxDropDownMenuPos FMenuPosition = dmpBottom;
  bool FGrayedInactive = true;
  bool FMenuTracking = false;
  bool FAllowTimer = false;
  Word FInitPause = 500;
  Word FRepeatInterval = 100;
  bool FPaintingBackground = false;
  TRxDrawState FState = rsUp;
};

// A speed button that repeats its click while held: the calendar's navigation buttons.
class TRxTimerSpeedButton : public TRxSpeedButton {
  KELM_CLASS(TRxTimerSpeedButton, TRxSpeedButton)
  template <class B> static void Published(B& b) {
    b.Prop("AllowTimer", &TRxSpeedButton::AllowTimer, &TRxSpeedButton::SetAllowTimer).Default(true);
    b.Prop("Style", &TRxSpeedButton::Style, &TRxSpeedButton::SetStyle).Default(bsWin31);
  }
public:
  explicit TRxTimerSpeedButton(TComponent* AOwner);
};
