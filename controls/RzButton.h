#pragma once
// The control button: a small windowless button made to sit inside edit controls. It shows
// a bitmap glyph, a directional arrow or a drop-down arrow in a classic or flat look, lights
// up under the mouse when flat, and can repeat its click while held down.
#include "controls/RzCommon.h"
#include "gui/Buttons.h"
#include "gui/Timers.h"

#include <memory>

// The values live in a namespace of their own: the grid's column button styles use two of the
// same names, and a window may hold a grid beside a button edit.
namespace rzbuttonstyle {
KELM_ENUM(TRzControlButtonStyle, cbsNone, cbsLeft, cbsUp, cbsRight, cbsDown, cbsDropDown)
}
using rzbuttonstyle::TRzControlButtonStyle;

class TRzControlButton : public TGraphicControl {
  KELM_CLASS(TRzControlButton, TGraphicControl)
  template <class B> static void Published(B& b) {
    using C = TRzControlButton;
    PublishAction(b);
    PublishCaption(b);
    PublishColor(b).Default(clBtnFace);
    PublishDragCursor(b);
    PublishDragMode(b);
    PublishEnabled(b);
    b.Prop("Flat", &C::Flat, &C::SetFlat).Default(false);
    b.Prop("Glyph", &C::Glyph, &C::SetGlyph);
    b.Prop("InitialDelay", &C::InitialDelay, &C::SetInitialDelay).Default(400);
    b.Prop("Delay", &C::Delay, &C::SetDelay).Default(100);
    b.Prop("NumGlyphs", &C::NumGlyphs, &C::SetNumGlyphs).Type("TNumGlyphs").Default(1);
    b.Prop("RepeatClicks", &C::RepeatClicks, &C::SetRepeatClicks).Default(false);
    b.Prop("Style", &C::Style, &C::SetStyle).Default(TRzControlButtonStyle::cbsNone);
    b.Prop("Hint", &TControl::Hint, &TControl::SetHint);
    PublishParentShowHint(b);
    PublishPopupMenu(b);
    PublishShowHint(b);
    PublishVisible(b);
    PublishOnClick(b);
    PublishOnContextPopup(b);
    PublishOnDragDrop(b);
    PublishOnDragOver(b);
    PublishOnEndDrag(b);
    PublishOnMouseDown(b);
    PublishOnMouseEnter(b);
    PublishOnMouseLeave(b);
    PublishOnMouseMove(b);
    PublishOnMouseUp(b);
    PublishOnStartDrag(b);
  }
public:
  explicit TRzControlButton(TComponent* AOwner);
  ~TRzControlButton() override;
  void Dispatch(TMessage& Message) override;
  void Click() override;

  // ---- published
  bool Flat() const { return FFlat; }
  virtual void SetFlat(bool Value);
  TBitmap* Glyph() const { return FGlyph.get(); }
  // Copies the bitmap; NumGlyphs follows its shape.
  virtual void SetGlyph(TBitmap* Value);
  TNumGlyphs NumGlyphs() const { return FNumGlyphs; }
  virtual void SetNumGlyphs(TNumGlyphs Value);
  bool RepeatClicks() const { return FRepeatClicks; }
  void SetRepeatClicks(bool Value) { FRepeatClicks = Value; }
  Word InitialDelay() const { return FInitialDelay; }
  void SetInitialDelay(Word Value) { FInitialDelay = Value; }
  Word Delay() const { return FDelay; }
  void SetDelay(Word Value) { FDelay = Value; }
  TRzControlButtonStyle Style() const { return FStyle; }
  virtual void SetStyle(TRzControlButtonStyle Value);

  bool Down() const { return FDown; }
  bool Dragging() const { return FDragging; }
  bool MouseOver() const { return FMouseOver; }
  // The repeat timer, nullptr until the first press with RepeatClicks.
  TTimer* RepeatTimer() const { return FRepeatTimer; }
  // (width of one image, height); (0, 0) without a glyph.
  virtual TPoint GlyphSize() const;

protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  virtual void PaintFace(TRect& Rect);
  virtual void PaintArrowButton(TRect& Rect);
  virtual void PaintDropDownButton(TRect& Rect);
  virtual void PaintGlyph(const TRect& Rect);
  virtual void MouseEntered();
  virtual void MouseLeft();

private:
  bool Lit() const;
  void PaintClassicFace(TRect& Rect);
  void GlyphChanged(TObject* Sender);
  void RepeatTimerExpired(TObject* Sender);

  bool FDown = false;
  bool FDragging = false;
  bool FFlat = false;
  bool FMouseOver = false;
  std::unique_ptr<TBitmap> FGlyph;
  TNumGlyphs FNumGlyphs = 1;
  bool FRepeatClicks = false;
  TTimer* FRepeatTimer = nullptr;  // owned as a component
  Word FInitialDelay = 400;
  Word FDelay = 100;
  TRzControlButtonStyle FStyle = TRzControlButtonStyle::cbsNone;
};
