#pragma once
// Reports for character printers: a page whose paper and margins are whole character cells
// and three objects that snap to the cell grid (fixed-pitch text, lines through the middle
// of cells, printer command strings). On screen and on paper they draw like ordinary objects
// in "Courier New" 12 pt; the styles a character printer alone knows (super- and subscript,
// condensed, wide, 12 and 15 cpi) and the commands are kept with the report and its prepared
// pages for raw output, which nothing in this system produces.
#include "report/frxMemoView.h"
#include "report/frxPages.h"
#include "report/frxShapes.h"

// The character grid, report pixels.
constexpr Extended fr1CharX = 9.6L;
constexpr Extended fr1CharY = 17;

KELM_ENUM(TfrxDMPFontStyle, fsxBold, fsxItalic, fsxUnderline, fsxSuperScript, fsxSubScript, fsxCondensed, fsxWide,
          fsx12cpi, fsx15cpi)
using TfrxDMPFontStyles = TSet<TfrxDMPFontStyle>;

// The fixed font with the styles that show on screen (bold, italic, underline).
void ApplyDMPFont(TFont* Font, TfrxDMPFontStyles Styles);
// ' FontStyle="<set as a number>"'.
String FontStyleAttributeText(TfrxDMPFontStyles Styles);

class TfrxDMPMemoView : public TfrxCustomMemoView {
  KELM_CLASS(TfrxDMPMemoView, TfrxCustomMemoView)
  template <class B> static void Published(B& b) {
    using C = TfrxDMPMemoView;
    PublishAutoWidth(b);
    b.Prop("AllowExpressions", &C::AllowExpressions, &C::SetAllowExpressions).Default(true);
    b.Prop("DisplayFormat", &C::DisplayFormat, &C::SetDisplayFormat);
    b.Prop("ExpressionDelimiters", &C::ExpressionDelimiters, &C::SetExpressionDelimiters)
        .Stored(&C::ExpressionDelimitersStored);
    b.Prop("FlowTo", &C::FlowTo, &C::SetFlowTo);
    b.Prop("FontStyle", &C::FontStyle, &C::SetFontStyle).StoredUnless(&C::ParentFont);
    b.Prop("HAlign", &C::HAlign, &C::SetHAlign).Default(haLeft);
    b.Prop("HideZeros", &C::HideZeros, &C::SetHideZeros).Default(false);
    b.Prop("Memo", &C::Memo, &C::SetMemo);
    b.Prop("ParentFont", &C::ParentFont, &C::SetParentFont).Default(true);
    b.Prop("RTLReading", &C::RTLReading, &C::SetRTLReading).Default(false);
    b.Prop("SuppressRepeated", &C::SuppressRepeated, &C::SetSuppressRepeated).Default(false);
    b.Prop("WordWrap", &C::WordWrap, &C::SetWordWrap).Default(true);
    b.Prop("VAlign", &C::VAlign, &C::SetVAlign).Default(vaTop);
  }

public:
  explicit TfrxDMPMemoView(TComponent* AOwner);
  TfrxDMPFontStyles FontStyle() const { return FFontStyle; }
  // The object keeps its own style from now on.
  void SetFontStyle(TfrxDMPFontStyles Value);

  // Positions and sizes snap to whole cells (halves to the even cell); a right-aligned
  // object's left edge is cut down to its cell instead.
  void SetLeft(Extended Value) override;
  void SetTop(Extended Value) override;
  void SetWidth(Extended Value) override;
  void SetHeight(Extended Value) override;
  // True takes the dot-matrix page's style.
  void SetParentFont(bool Value) override;
  String DisplayTypeName() const override;
  // The frame runs through the middle of the neighbouring cells, where lines run too.
  void PaintFrame() override;
  // Whole lines and whole characters.
  Extended CalcHeight() override;
  Extended CalcWidth() override;
  String DiffAttributes(TfrxComponent* Reference) override;
  void ApplyFixedFont();

private:
  TfrxDMPFontStyles FFontStyle;
};

class TfrxDMPLineView : public TfrxCustomLineView {
  KELM_CLASS(TfrxDMPLineView, TfrxCustomLineView)
  template <class B> static void Published(B& b) {
    using C = TfrxDMPLineView;
    b.Prop("FontStyle", &C::FontStyle, &C::SetFontStyle).StoredUnless(&C::ParentFont);
    b.Prop("ParentFont", &C::ParentFont, &C::SetParentFont).Default(true);
  }

public:
  explicit TfrxDMPLineView(TComponent* AOwner) : TfrxCustomLineView(AOwner) {}
  TfrxDMPFontStyles FontStyle() const { return FFontStyle; }
  void SetFontStyle(TfrxDMPFontStyles Value);
  // Lines run through the middle of cells.
  void SetLeft(Extended Value) override;
  void SetTop(Extended Value) override;
  void SetWidth(Extended Value) override;
  void SetParentFont(bool Value) override;
  String DisplayTypeName() const override;
  String DiffAttributes(TfrxComponent* Reference) override;

private:
  TfrxDMPFontStyles FFontStyle;
};

class TfrxDMPCommand : public TfrxView {
  KELM_CLASS(TfrxDMPCommand, TfrxView)
  template <class B> static void Published(B& b) {
    b.Prop("Command", &TfrxDMPCommand::Command, &TfrxDMPCommand::SetCommand);
  }

public:
  explicit TfrxDMPCommand(TComponent* AOwner) : TfrxView(AOwner) {}
  // The printer command bytes, as text.
  const String& Command() const { return FCommand; }
  void SetCommand(const String& Value) { FCommand = Value; }
  void SetLeft(Extended Value) override;
  void SetTop(Extended Value) override;
  String DisplayTypeName() const override;
  String DiffAttributes(TfrxComponent* Reference) override;

private:
  String FCommand;
};

// A page of whole character cells.
class TfrxDMPPage : public TfrxReportPage {
  KELM_CLASS(TfrxDMPPage, TfrxReportPage)
  template <class B> static void Published(B& b) {
    b.Prop("FontStyle", &TfrxDMPPage::FontStyle, &TfrxDMPPage::SetFontStyle);
  }

public:
  explicit TfrxDMPPage(TComponent* AOwner);
  TfrxDMPFontStyles FontStyle() const { return FFontStyle; }
  // The page's objects that inherit their font take the style.
  void SetFontStyle(TfrxDMPFontStyles Value);
  // Paper sizes round to whole cells.
  void SetPaperWidth(Extended Value) override;
  void SetPaperHeight(Extended Value) override;
  void SetPaperSize(int Value) override;
  // The printer's paper cut down to whole cells, margins of one cell.
  void TakePrinterDefaults() override;
  void ApplyFixedFont();

private:
  void SnapPaper();
  TfrxDMPFontStyles FFontStyle;
};
