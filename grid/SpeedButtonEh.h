#pragma once
// The push-button behaviour an edit button stands on: a windowless button that goes down
// while pressed, pops up when the pointer leaves it, clicks when released over it, can stay
// down in a group, and paints a glyph of up to four images (up, disabled, clicked, down).
// It covers what the grid library needs of the platform's speed button.
#include "Controls.h"
#include "Graphics.h"

KELM_ENUM(TButtonStateEh, bsUpEh, bsDisabledEh, bsDownEh, bsExclusiveEh)

class TSpeedButtonBaseEh : public TGraphicControl {
  KELM_CLASS(TSpeedButtonBaseEh, TGraphicControl)
public:
  explicit TSpeedButtonBaseEh(TComponent* AOwner);
  ~TSpeedButtonBaseEh() override;

  TButtonStateEh State() const { return FState; }
  bool Down() const { return FDown; }
  void SetDown(bool Value);
  // Buttons of one non-zero group index on the same parent are down one at a time.
  int GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int Value);
  bool AllowAllUp() const { return FAllowAllUp; }
  void SetAllowAllUp(bool Value) { FAllowAllUp = Value; }
  bool Flat() const { return FFlat; }
  void SetFlat(bool Value);
  TBitmap* Glyph() const { return FGlyph.get(); }
  void SetGlyph(TBitmap* Value);
  int NumGlyphs() const { return FNumGlyphs; }
  void SetNumGlyphs(int Value);  // kept within 1..4
  // Off: the face is filled before the glyph is drawn.
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value);
  // True while the pointer is over the button.
  bool MouseInControl() const { return FMouseInControl; }

  void Click() override;
  void Dispatch(TMessage& Message) override;

protected:
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void Paint() override;
  void SetState(TButtonStateEh Value);
  // Draws the glyph image of the current state centred in Rect (moved by one pixel when
  // pressed).
  void PaintGlyph(const TRect& Rect);

private:
  void UpdateExclusive();
  void GlyphChanged(TObject* Sender);

  TButtonStateEh FState = bsUpEh;
  bool FDown = false;
  int FGroupIndex = 0;
  bool FAllowAllUp = false;
  bool FFlat = false;
  bool FTransparent = true;
  bool FDragging = false;
  bool FMouseInControl = false;
  int FNumGlyphs = 1;
  std::unique_ptr<TBitmap> FGlyph;
};
