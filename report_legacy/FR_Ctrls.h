#pragma once
// The older engine's own small controls: a graphic push button that can be flat (framed only
// under the mouse), shows its glyph in gray while the mouse is away and can be a latched member
// of a group; the tool-bar button and separator built on it; and the saving and restoring of a
// window's placement in the registry.
//
// The button's glyph holds up to four images side by side (up, disabled, pressed, down). The
// image of each drawing state is built on first use and kept in an image list shared by every
// glyph of the same size; the lists live in one cache that the last glyph frees. These glyph
// classes have namesakes in the date edit's controls and in the layer, so they stay in a
// namespace of their own.
#include "core/Lists.h"
#include "gui/Buttons.h"
#include "gui/ImgList.h"

#include <array>
#include <memory>
#include <vector>

class TCustomForm;
class TWinControl;

// The drawing states of a speed button; the numbers index the glyph's images.
enum TfrButtonState { fbsUp = 0, fbsDisabled = 1, fbsPressed = 2, fbsDown = 3, fbsGrayed = 4 };

// The group message: WParam = the group index, LParam = the button that went down.
constexpr UINT CM_FRBUTTONPRESSED = 0xB052;

namespace frctrls {

// An image list whose slots are handed out and given back.
class TGlyphList : public TImageList {
public:
  TGlyphList(int AWidth, int AHeight);
  int AllocateIndex();
  int AddMasked(TBitmap* Image, TColor MaskColor);
  // An image without a mask.
  int AddImage(TBitmap* Image);
  void Delete(int Index);
  // The slots in use.
  int Count() const { return FCount; }

private:
  TBits FUsed;
  int FCount = 0;
};

// At most one list per glyph size.
class TGlyphCache : public TObject {
public:
  ~TGlyphCache() override;
  TGlyphList* GetList(int AWidth, int AHeight);
  // Frees the list when no glyph uses it any more.
  void ReturnList(TGlyphList* List);
  bool Empty() const { return FLists.empty(); }

private:
  std::vector<TGlyphList*> FLists;
};

// The cache of the process; nullptr while no glyph has needed one.
TGlyphCache* GlyphCache();

class TButtonGlyph : public TObject {
public:
  TButtonGlyph();
  ~TButtonGlyph() override;

  TBitmap* Glyph() const { return FOriginal.get(); }
  void SetGlyph(TBitmap* Value);
  int NumGlyphs() const { return FNumGlyphs; }
  void SetNumGlyphs(int Value);
  TColor TransparentColor() const { return FTransparentColor; }
  TGlyphList* GlyphList() const { return FGlyphList; }

  // The list slot of a state's image, built on first use; -1 without a bitmap.
  int CreateStateImage(TfrButtonState State);
  // Lays glyph and caption out in Client, draws them and returns the caption's rectangle.
  TRect Draw(TCanvas* Canvas, const TRect& Client, const String& Caption, bool Transparent, TfrButtonState State,
             int Spacing, int Margin, TButtonLayout Layout);
  // The positions Draw uses, without drawing.
  void CalcLayout(TCanvas* Canvas, const TRect& Client, const String& Caption, TButtonLayout Layout, int Margin,
                  int Spacing, TPoint& GlyphPos, TRect& TextBounds) const;
  void Invalidate();

  TNotifyEvent OnChange;

private:
  void GlyphChanged(TObject* Sender);

  std::unique_ptr<TBitmap> FOriginal;
  TGlyphList* FGlyphList = nullptr;
  std::array<int, 5> FIndexs{-1, -1, -1, -1, -1};
  TColor FTransparentColor = TColor(0x008080);  // olive
  int FNumGlyphs = 1;
};

}  // namespace frctrls

// The gray of a pixel: the transparent colour and the button face stay, any other colour
// becomes (77 R + 150 G + 29 B) / 256 in all three channels.
COLORREF GrayColor(COLORREF Color, COLORREF Transparent);

class TfrSpeedButton : public TGraphicControl {
  KELM_CLASS(TfrSpeedButton, TGraphicControl)
  template <class B> static void Published(B& b) {
    using C = TfrSpeedButton;
    b.Prop("AllowAllUp", &C::AllowAllUp, &C::SetAllowAllUp).Default(false);
    b.Prop("GroupIndex", &C::GroupIndex, &C::SetGroupIndex).Default(0);
    b.Prop("Down", &C::Down, &C::SetDown).Default(false);
    b.Prop("Flat", &C::Flat, &C::SetFlat).Default(false);
    PublishCaption(b);
    PublishEnabled(b);
    PublishFont(b);
    b.Prop("Glyph", &C::Glyph, &C::SetGlyph);
    b.Prop("GrayedInactive", &C::GrayedInactive, &C::SetGrayedInactive).Default(true);
    b.Prop("Layout", &C::Layout, &C::SetLayout).Default(blGlyphLeft);
    b.Prop("Margin", &C::Margin, &C::SetMargin).Default(-1);
    b.Prop("NumGlyphs", &C::NumGlyphs, &C::SetNumGlyphs).Default(1);
    PublishParentFont(b);
    PublishParentShowHint(b);
    PublishShowHint(b);
    b.Prop("Spacing", &C::Spacing, &C::SetSpacing).Default(4);
    PublishVisible(b);
    PublishOnClick(b);
    PublishOnDblClick(b);
    PublishOnMouseDown(b);
    PublishOnMouseMove(b);
    PublishOnMouseUp(b);
    PublishOnMouseEnter(b);
    PublishOnMouseLeave(b);
  }
public:
  explicit TfrSpeedButton(TComponent* AOwner);
  ~TfrSpeedButton() override;
  void Dispatch(TMessage& Message) override;
  void Loaded() override;

  // ---- published
  bool AllowAllUp() const { return FAllowAllUp; }
  void SetAllowAllUp(bool Value);
  int GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int Value);
  bool Down() const { return FDown; }
  void SetDown(bool Value);
  bool Flat() const { return FFlat; }
  void SetFlat(bool Value);
  TBitmap* Glyph() const { return FGlyph->Glyph(); }
  void SetGlyph(TBitmap* Value);
  bool GrayedInactive() const { return FGrayedInactive; }
  void SetGrayedInactive(bool Value);
  TButtonLayout Layout() const { return FLayout; }
  void SetLayout(TButtonLayout Value);
  int Margin() const { return FMargin; }
  void SetMargin(int Value);
  int NumGlyphs() const { return FGlyph->NumGlyphs(); }
  void SetNumGlyphs(int Value);
  int Spacing() const { return FSpacing; }
  void SetSpacing(int Value);

  // ---- state
  TfrButtonState State() const { return FState; }
  // The state the last paint drew (grayed while flat and away from the mouse).
  TfrButtonState PaintedState() const { return FPaintedState; }
  bool MouseInControl() const { return FMouseInControl; }
  bool Dragging() const { return FDragging; }
  frctrls::TButtonGlyph* ButtonGlyph() const { return FGlyph.get(); }

protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  bool Inside(int X, int Y) const { return X >= 0 && X < ClientWidth() && Y >= 0 && Y < ClientHeight(); }

private:
  void GlyphChanged(TObject* Sender);
  void UpdateExclusive();
  void UpdateTracking();
  void ButtonPressed(TMessage& M);
  void DrawInto(TCanvas* Canvas);

  std::unique_ptr<frctrls::TButtonGlyph> FGlyph;
  int FGroupIndex = 0;
  bool FDown = false;
  bool FDragging = false;
  bool FFlat = false;
  bool FMouseInControl = false;
  bool FAllowAllUp = false;
  bool FGrayedInactive = true;
  TButtonLayout FLayout = blGlyphLeft;
  int FSpacing = 4;
  int FMargin = -1;
  TfrButtonState FState = fbsUp;
  TfrButtonState FPaintedState = fbsUp;
};

// A tool-bar button: a flat speed button aligned left.
class TfrTBButton : public TfrSpeedButton {
  KELM_CLASS(TfrTBButton, TfrSpeedButton)
  template <class B> static void Published(B& b) {
    b.Prop("Align", &TControl::Align, &TControl::SetAlign).Default(alLeft);
    b.Prop("Flat", &TfrSpeedButton::Flat, &TfrSpeedButton::SetFlat).Default(true);
  }
public:
  explicit TfrTBButton(TComponent* AOwner);
  void SetParent(TWinControl* AParent) override;
};

// A gap between tool-bar buttons, with an etched line across it.
class TfrTBSeparator : public TGraphicControl {
  KELM_CLASS(TfrTBSeparator, TGraphicControl)
  template <class B> static void Published(B& b) {
    using C = TfrTBSeparator;
    b.Prop("Align", &TControl::Align, &TControl::SetAlign).Default(alLeft);
    b.Prop("DrawBevel", &C::DrawBevel, &C::SetDrawBevel).Default(true);
  }
public:
  explicit TfrTBSeparator(TComponent* AOwner);
  void SetParent(TWinControl* AParent) override;
  bool DrawBevel() const { return FDrawBevel; }
  void SetDrawBevel(bool Value);

protected:
  void Paint() override;

private:
  bool FDrawBevel = true;
};

// Tool-bar pieces stack from the top on a panel whose own parent is aligned left or right
// (a vertical tool bar) and run from the left otherwise.
TAlign ToolbarAlignFor(TWinControl* Panel);

// Under "Software\Vizerav Report", section "Form\" + the window's class name.
void SaveFormPlacement(TCustomForm* Form);
void RestoreFormPlacement(TCustomForm* Form);
