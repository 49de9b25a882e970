#pragma once
// Buttons with pictures: the bitmap button (a push button with a glyph and standard kinds)
// and the speed button (a windowless tool button that can stay down, alone or in a group).
// Declares TButtonGlyph, TBitBtn and TSpeedButton.
#include "gui/Controls.h"
#include "gui/Graphics.h"
#include "gui/StdCtrls.h"

#include <memory>

KELM_ENUM(TButtonLayout, blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom)
KELM_ENUM(TButtonState, bsUp, bsDisabled, bsDown, bsExclusive)
KELM_ENUM(TButtonStyle, bsAutoDetect, bsWin31, bsNew)
KELM_ENUM(TBitBtnKind, bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll)
using TNumGlyphs = int;

// A glyph strip (up to four images side by side: up, disabled, down, stay-down) drawn with
// the lower-left pixel's colour transparent, and laid out with a caption.
class TButtonGlyph {
public:
  TButtonGlyph();
  ~TButtonGlyph();
  TBitmap* Glyph() const { return FGlyph.get(); }
  // Copies the picture; a strip whose width is a multiple (up to 4) of its height gives the
  // number of images.
  void SetGlyph(TBitmap* Value);
  TNumGlyphs NumGlyphs() const { return FNumGlyphs; }
  void SetNumGlyphs(TNumGlyphs Value);
  bool Empty() const;
  TSize GlyphSize() const;
  // Lays glyph and caption out in Client and draws both; returns the caption's rectangle.
  TRect Draw(HDC DC, const TRect& Client, TPoint Offset, const String& Caption, TButtonLayout Layout, int Margin,
             int Spacing, TButtonState State, bool Transparent, bool WordWrap = false);
  // The positions of glyph and caption without drawing.
  void CalcLayout(HDC DC, const TRect& Client, TPoint Offset, const String& Caption, TButtonLayout Layout, int Margin,
                  int Spacing, TPoint& GlyphPos, TRect& TextBounds) const;

  TNotifyEvent OnChange;

private:
  void DrawGlyph(HDC DC, TPoint P, TButtonState State) const;
  std::unique_ptr<TBitmap> FGlyph;
  TNumGlyphs FNumGlyphs = 1;
};

// ================================================================ TBitBtn

class TBitBtn : public TButton {
  KELM_CLASS(TBitBtn, TButton)
  template <class B> static void Published(B& b) {
    b.Prop("Glyph", &TBitBtn::Glyph, &TBitBtn::SetGlyph);
    b.Prop("Kind", &TBitBtn::Kind, &TBitBtn::SetKind).Default(bkCustom);
    b.Prop("Layout", &TBitBtn::Layout, &TBitBtn::SetLayout).Default(blGlyphLeft);
    b.Prop("Margin", &TBitBtn::Margin, &TBitBtn::SetMargin).Default(-1);
    b.Prop("NumGlyphs", &TBitBtn::NumGlyphs, &TBitBtn::SetNumGlyphs).Default(1);
    b.Prop("Spacing", &TBitBtn::Spacing, &TBitBtn::SetSpacing).Default(4);
    b.Prop("Style", &TBitBtn::Style, &TBitBtn::SetStyle).Default(bsAutoDetect);
  }
public:
  explicit TBitBtn(TComponent* AOwner);
  ~TBitBtn() override;

  TBitmap* Glyph() const { return FGlyph->Glyph(); }
  void SetGlyph(TBitmap* v);
  // A standard kind gives caption, glyph, modal result and Default/Cancel; a glyph or
  // caption set afterwards makes the button custom again.
  TBitBtnKind Kind() const;
  void SetKind(TBitBtnKind v);
  TButtonLayout Layout() const { return FLayout; }
  void SetLayout(TButtonLayout v);
  int Margin() const { return FMargin; }
  void SetMargin(int v);
  TNumGlyphs NumGlyphs() const { return FGlyph->NumGlyphs(); }
  void SetNumGlyphs(TNumGlyphs v);
  int Spacing() const { return FSpacing; }
  void SetSpacing(int v);
  TButtonStyle Style() const { return FStyle; }
  void SetStyle(TButtonStyle v) { FStyle = v; }
  void Click() override;

protected:
  void PaintButton(HDC DC) override;

private:
  void GlyphChanged(TObject*);
  std::unique_ptr<TButtonGlyph> FGlyph;
  TBitBtnKind FKind = bkCustom;
  TButtonLayout FLayout = blGlyphLeft;
  int FMargin = -1;
  int FSpacing = 4;
  TButtonStyle FStyle = bsAutoDetect;
  bool FSettingKind = false;
};

// ================================================================ TSpeedButton

class TSpeedButton : public TGraphicControl {
  KELM_CLASS(TSpeedButton, TGraphicControl)
  template <class B> static void Published(B& b) {
    PublishPlacement(b);
    PublishCaption(b);
    PublishAction(b);
    PublishMouseEvents(b);
    PublishFont(b);
    PublishParentFont(b);
    b.Prop("AllowAllUp", &TSpeedButton::AllowAllUp, &TSpeedButton::SetAllowAllUp).Default(false);
    b.Prop("GroupIndex", &TSpeedButton::GroupIndex, &TSpeedButton::SetGroupIndex).Default(0);
    b.Prop("Down", &TSpeedButton::Down, &TSpeedButton::SetDown).Default(false);
    b.Prop("Flat", &TSpeedButton::Flat, &TSpeedButton::SetFlat).Default(false);
    b.Prop("Glyph", &TSpeedButton::Glyph, &TSpeedButton::SetGlyph);
    b.Prop("Layout", &TSpeedButton::Layout, &TSpeedButton::SetLayout).Default(blGlyphLeft);
    b.Prop("Margin", &TSpeedButton::Margin, &TSpeedButton::SetMargin).Default(-1);
    b.Prop("NumGlyphs", &TSpeedButton::NumGlyphs, &TSpeedButton::SetNumGlyphs).Default(1);
    b.Prop("Spacing", &TSpeedButton::Spacing, &TSpeedButton::SetSpacing).Default(4);
    b.Prop("Transparent", &TSpeedButton::Transparent, &TSpeedButton::SetTransparent).Default(true);
  }
public:
  explicit TSpeedButton(TComponent* AOwner);
  ~TSpeedButton() override;

  bool AllowAllUp() const { return FAllowAllUp; }
  void SetAllowAllUp(bool v);
  // Buttons of one parent with the same non-zero index stay down one at a time.
  int GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int v);
  bool Down() const { return FDown; }
  void SetDown(bool v);
  bool Flat() const { return FFlat; }
  void SetFlat(bool v);
  TBitmap* Glyph() const { return FGlyph->Glyph(); }
  void SetGlyph(TBitmap* v) { FGlyph->SetGlyph(v); }
  TButtonLayout Layout() const { return FLayout; }
  void SetLayout(TButtonLayout v);
  int Margin() const { return FMargin; }
  void SetMargin(int v);
  TNumGlyphs NumGlyphs() const { return FGlyph->NumGlyphs(); }
  void SetNumGlyphs(TNumGlyphs v) { FGlyph->SetNumGlyphs(v); }
  int Spacing() const { return FSpacing; }
  void SetSpacing(int v);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool v);
  TButtonState State() const { return FState; }
  bool MouseInControl() const { return FMouseInControl; }
  void Click() override;

  void Dispatch(TMessage& Message) override;

protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  // A bound action's GroupIndex and Checked become GroupIndex and Down.
  void ActionChange(TObject* Sender, bool CheckDefaults) override;
  bool ActionClientValue(TActionLinkProp Prop, Variant& Value) const override;
  void SetActionClientValue(TActionLinkProp Prop, const Variant& Value) override;

private:
  void UpdateExclusive();
  void GlyphChanged(TObject*) { Invalidate(); }
  std::unique_ptr<TButtonGlyph> FGlyph;
  bool FAllowAllUp = false;
  int FGroupIndex = 0;
  bool FDown = false;
  bool FFlat = false;
  TButtonLayout FLayout = blGlyphLeft;
  int FMargin = -1;
  int FSpacing = 4;
  bool FTransparent = true;
  TButtonState FState = bsUp;
  bool FDragging = false;
  bool FMouseInControl = false;
};
