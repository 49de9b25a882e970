#pragma once
// Text objects: literal text with expressions between delimiters, or the value of a data
// field, formatted (numbers, dates, Booleans), highlighted by a condition, with zeros and
// repeated values hidden, grown to fit, split across pages and flowing into a second object.
// Layout and drawing go through the report's TfrxDrawText (frxGraphicUtils.h).
// Declares TfrxCustomMemoView, TfrxMemoView and TfrxSysMemoView.
#include "report/frxGraphicUtils.h"
#include "report/frxUnicodeUtils.h"
#include "report/frxView.h"

class TfrxStyleItem;

class TfrxCustomMemoView : public TfrxStretcheable {
  KELM_CLASS(TfrxCustomMemoView, TfrxStretcheable)
  // Cursor, TagStr and URL are the view's; the classes below publish the rest, each the set
  // it chooses.
protected:
  template <class B> static void PublishAutoWidth(B& b) {
    b.Prop("AutoWidth", &B::Class::AutoWidth, &B::Class::SetAutoWidth).Default(false);
  }
  template <class B> static void PublishFont(B& b) {
    using C = typename B::Class;
    b.Prop("Font", &C::Font, &C::SetFont).StoredUnless(&C::ParentFont);
    b.Prop("ParentFont", &C::ParentFont, &C::SetParentFont).Default(true);
  }
  template <class B> static void PublishLook(B& b) {
    using C = typename B::Class;
    b.Prop("CharSpacing", &C::CharSpacing, &C::SetCharSpacing).Stored(&C::CharSpacingStored);
    b.Prop("DisplayFormat", &C::DisplayFormat, &C::SetDisplayFormat);
    b.Prop("GapX", &C::GapX, &C::SetGapX).Stored(&C::GapXStored);
    b.Prop("GapY", &C::GapY, &C::SetGapY).Stored(&C::GapYStored);
    b.Prop("HAlign", &C::HAlign, &C::SetHAlign).Default(haLeft);
    b.Prop("HideZeros", &C::HideZeros, &C::SetHideZeros).Default(false);
    b.Prop("Highlight", &C::Highlight, &C::SetHighlight).Stored(&C::HighlightStored);
    b.Prop("Memo", &C::Memo, &C::SetMemo);
    b.Prop("Rotation", &C::Rotation, &C::SetRotation).Default(0);
    b.Prop("RTLReading", &C::RTLReading, &C::SetRTLReading).Default(false);
    b.Prop("Style", &C::Style, &C::SetStyle);
    b.Prop("SuppressRepeated", &C::SuppressRepeated, &C::SetSuppressRepeated).Default(false);
    b.Prop("VAlign", &C::VAlign, &C::SetVAlign).Default(vaTop);
    b.Prop("WordWrap", &C::WordWrap, &C::SetWordWrap).Default(true);
  }
  template <class B> static void PublishText(B& b) {
    using C = typename B::Class;
    b.Prop("AllowExpressions", &C::AllowExpressions, &C::SetAllowExpressions).Default(true);
    b.Prop("AllowHTMLTags", &C::AllowHTMLTags, &C::SetAllowHTMLTags).Default(false);
    b.Prop("Clipped", &C::Clipped, &C::SetClipped).Default(true);
    b.Prop("ExpressionDelimiters", &C::ExpressionDelimiters, &C::SetExpressionDelimiters)
        .Stored(&C::ExpressionDelimitersStored);
    b.Prop("FlowTo", &C::FlowTo, &C::SetFlowTo);
    b.Prop("LineSpacing", &C::LineSpacing, &C::SetLineSpacing).Stored(&C::LineSpacingStored);
    b.Prop("ParagraphGap", &C::ParagraphGap, &C::SetParagraphGap).Stored(&C::ParagraphGapStored);
    b.Prop("Underlines", &C::Underlines, &C::SetUnderlines).Default(false);
    b.Prop("WordBreak", &C::WordBreak, &C::SetWordBreak).Default(false);
  }

public:
  explicit TfrxCustomMemoView(TComponent* AOwner);
  ~TfrxCustomMemoView() override;

  // ---- properties
  bool AllowExpressions() const { return FAllowExpressions; }
  void SetAllowExpressions(bool Value) { FAllowExpressions = Value; }
  bool AllowHTMLTags() const { return FAllowHTMLTags; }
  void SetAllowHTMLTags(bool Value) { FAllowHTMLTags = Value; }
  bool AutoWidth() const { return FAutoWidth; }
  void SetAutoWidth(bool Value) { FAutoWidth = Value; }
  Extended CharSpacing() const { return FCharSpacing; }
  void SetCharSpacing(Extended Value) { FCharSpacing = Value; }
  bool Clipped() const { return FClipped; }
  void SetClipped(bool Value) { FClipped = Value; }
  TfrxFormat* DisplayFormat() const { return FDisplayFormat.get(); }
  void SetDisplayFormat(TfrxFormat* Value) { FDisplayFormat->Assign(Value); }
  const String& ExpressionDelimiters() const { return FExpressionDelimiters; }
  void SetExpressionDelimiters(const String& Value) { FExpressionDelimiters = Value; }
  TfrxCustomMemoView* FlowTo() const { return FFlowTo; }
  void SetFlowTo(TfrxCustomMemoView* Value);
  Extended GapX() const { return FGapX; }
  void SetGapX(Extended Value) { FGapX = Value; }
  Extended GapY() const { return FGapY; }
  void SetGapY(Extended Value) { FGapY = Value; }
  TfrxHAlign HAlign() const { return FHAlign; }
  void SetHAlign(TfrxHAlign Value) { FHAlign = Value; }
  bool HideZeros() const { return FHideZeros; }
  void SetHideZeros(bool Value) { FHideZeros = Value; }
  TfrxHighlight* Highlight() const { return FHighlight.get(); }
  void SetHighlight(TfrxHighlight* Value) { FHighlight->Assign(Value); }
  // Written to a definition only when they differ from their defaults.
  bool HighlightStored() const;
  bool CharSpacingStored() const { return FCharSpacing != 0; }
  bool ExpressionDelimitersStored() const { return FExpressionDelimiters != "[,]"; }
  bool GapXStored() const { return FGapX != 2; }
  bool GapYStored() const { return FGapY != 1; }
  bool LineSpacingStored() const { return FLineSpacing != 2; }
  bool ParagraphGapStored() const { return FParagraphGap != 0; }
  Extended LineSpacing() const { return FLineSpacing; }
  void SetLineSpacing(Extended Value) { FLineSpacing = Value; }
  TWideStrings* Memo() const { return FMemo.get(); }
  void SetMemo(TWideStrings* Value) { FMemo->Assign(Value); }
  Extended ParagraphGap() const { return FParagraphGap; }
  void SetParagraphGap(Extended Value) { FParagraphGap = Value; }
  int Rotation() const { return FRotation; }
  // Kept between 0 and 359 (-90 is 270).
  void SetRotation(int Value) { FRotation = NormalizeRotation(Value); }
  bool RTLReading() const { return FRTLReading; }
  void SetRTLReading(bool Value) { FRTLReading = Value; }
  const String& Style() const { return FStyle; }
  // Applies the report's style of that name (colour, font, frame) when the report has it.
  void SetStyle(const String& Value);
  bool SuppressRepeated() const { return FSuppressRepeated; }
  void SetSuppressRepeated(bool Value) { FSuppressRepeated = Value; }
  bool Underlines() const { return FUnderlines; }
  void SetUnderlines(bool Value) { FUnderlines = Value; }
  TfrxVAlign VAlign() const { return FVAlign; }
  void SetVAlign(TfrxVAlign Value) { FVAlign = Value; }
  bool WordBreak() const { return FWordBreak; }
  void SetWordBreak(bool Value) { FWordBreak = Value; }
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value) { FWordWrap = Value; }

  // ---- for scripts
  // The lines as one text (line breaks CR LF, none after the last line).
  String Text() const;
  void SetText(const String& Value);
  TWideStrings* Lines() const { return FMemo.get(); }
  const Variant& Value() const { return FValue; }

  // ---- state during a run
  const WideString& PartText() const { return FPartText; }
  void SetPartText(const WideString& Value) { FPartText = Value; }
  int TotalPagesValue() const { return FTotalPages; }
  void SetTotalPagesValue(int Value) { FTotalPages = Value; }
  // The total-pages placeholder of the text becomes TotalPagesValue.
  void ReplaceTotalPages();
  const TRect& TextRect() const { return FTextRect; }
  // SuppressRepeated starts afresh: the next value prints whatever the last one was.
  void ResetRepeatedValue() { FLastPrintedText = Null(); }

  // ---- measuring, drawing, printing
  Extended CalcHeight() override;
  virtual Extended CalcWidth();
  void ResetPart() override;
  Extended FitPart() override;
  void PrepareDrawing(TCanvas* Canvas, Extended ScaleX, Extended ScaleY, Extended OffsetX, Extended OffsetY) override;
  void DrawOnCanvas(TCanvas* Canvas, Extended ScaleX, Extended ScaleY, Extended OffsetX, Extended OffsetY) override;
  void FetchData() override;
  void SaveStateForPrint() override;
  void RestoreStateAfterPrint() override;
  String ComponentValueText() override;
  String DiffAttributes(TfrxComponent* Reference) override;
  String DisplayTypeName() const override;

  // Takes colour, font and frame of a style item (nothing for nullptr).
  void CopyStyleItem(TfrxStyleItem* Item);
  // The text of a value under a format; the object's DisplayFormat for nullptr. Formatting
  // errors give the value's plain text.
  String FormatValue(const Variant& Value, TfrxFormat* Format);
  // The text of one bracketed expression: its value, formatted by its "#" suffix.
  String EvaluateExpressionText(const String& Expression);
  // Replaces every expression between the delimiters by its text.
  void ExpandExpressions();
  void ExpandExpressionsAscii(const String& Open, const String& Close);
  // The engine used for layout: the report's, or the shared one.
  TfrxDrawText& DrawTextEngine() const;

  // Text objects carry their text in the definition's Text attribute.
  bool IsTextObject() const override { return true; }
  WideString ObjectText() const override;
  void SetObjectText(const WideString& Value) override;

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;
  // ToFit lays out only what splitting the text needs (TfrxDrawText::SetLayoutToFit).
  void PrepareTextLayout(TCanvas* Canvas, Extended ScaleX, Extended ScaleY, Extended OffsetX, Extended OffsetY,
                         bool ToFit = false);
  void DrawUnderlines();
  Extended HorizontalAllowance() const;
  Extended VerticalAllowance() const;

private:
  // Assigns the font, options and spacing of the object to the engine.
  void SetUpLayout(TfrxDrawText& D);
  String WithTotalPages(const String& Text) const;

  bool FAllowExpressions = true, FAllowHTMLTags = false, FAutoWidth = false;
  Extended FCharSpacing = 0;
  bool FClipped = true;
  std::unique_ptr<TfrxFormat> FDisplayFormat;
  String FExpressionDelimiters = "[,]";
  TfrxCustomMemoView* FFlowTo = nullptr;
  Extended FGapX = 2, FGapY = 1;
  TfrxHAlign FHAlign = haLeft;
  bool FHideZeros = false;
  std::unique_ptr<TfrxHighlight> FHighlight;
  Extended FLineSpacing = 2;
  std::unique_ptr<TWideStrings> FMemo;
  Extended FParagraphGap = 0;
  int FRotation = 0;
  bool FRTLReading = false;
  String FStyle;
  bool FSuppressRepeated = false, FUnderlines = false;
  TfrxVAlign FVAlign = vaTop;
  bool FWordBreak = false, FWordWrap = true;

  Variant FValue;
  WideString FPartText;
  String FSavedText;
  bool FTextSaved = false;
  Variant FLastPrintedText = Null();
  int FTotalPages = 0;
  TRect FTextRect;
};

// The ordinary text object.
class TfrxMemoView : public TfrxCustomMemoView {
  KELM_CLASS(TfrxMemoView, TfrxCustomMemoView)
  template <class B> static void Published(B& b) {
    PublishAutoWidth(b);
    PublishText(b);
    PublishFont(b);
    PublishLook(b);
  }

public:
  explicit TfrxMemoView(TComponent* AOwner) : TfrxCustomMemoView(AOwner) {}
};

// The system text object (aggregates and system variables): expressions between "[" and "]"
// always, no tags, no data binding of its own.
class TfrxSysMemoView : public TfrxCustomMemoView {
  KELM_CLASS(TfrxSysMemoView, TfrxCustomMemoView)
  template <class B> static void Published(B& b) {
    PublishAutoWidth(b);
    PublishFont(b);
    PublishLook(b);
  }

public:
  explicit TfrxSysMemoView(TComponent* AOwner) : TfrxCustomMemoView(AOwner) {}
  String DisplayTypeName() const override;
};
