#pragma once
// What every visible object of a report page shares (TfrxView): a background, a frame with
// an optional shadow, a data binding, a hyperlink and free text whose bracketed parts are
// expressions, and the conversion of report pixels to target pixels for drawing. Stretchable
// views (TfrxStretcheable) measure and split their content; text objects own a highlight
// (TfrxHighlight) and a display format (TfrxFormat).
#include "report/frxClass.h"

KELM_ENUM(TfrxShiftMode, smDontShift, smAlways, smWhenOverlapped)
KELM_ENUM(TfrxStretchMode, smDontStretch, smActualHeight, smMaxHeight)
KELM_ENUM(TfrxFormatKind, fkText, fkNumeric, fkDateTime, fkBoolean)

// The frame's part of a view's difference text against a reference frame.
String FrameDiffAttributes(const TfrxFrame* Frame, const TfrxFrame* Reference);

class TfrxView : public TfrxReportComponent {
  KELM_CLASS(TfrxView, TfrxReportComponent)
  template <class B> static void Published(B& b) {
    using C = typename B::Class;
    b.Prop("Left", &C::Left, &C::SetLeft);
    b.Prop("Top", &C::Top, &C::SetTop);
    b.Prop("Width", &C::Width, &C::SetWidth);
    b.Prop("Height", &C::Height, &C::SetHeight);
    b.Prop("Align", &C::Align, &C::SetAlign).Default(baNone);
    b.Prop("BrushStyle", &C::BrushStyle, &C::SetBrushStyle).Default(bsSolid);
    b.Prop("Color", &C::Color, &C::SetColor).Type("TColor").Default(clNone);
    b.Prop("Cursor", &C::Cursor, &C::SetCursor).Type("TCursor").Default(0);
    b.Prop("DataField", &C::DataField, &C::SetDataField);
    b.Prop("DataSet", &C::DataSet, &C::SetDataSet);
    b.Prop("DataSetName", &C::DataSetName, &C::SetDataSetName);
    b.Prop("Frame", &C::Frame, &C::SetFrame);
    b.Prop("GroupIndex", &C::GroupIndex, &C::SetGroupIndex).Default(0);
    b.Prop("Printable", &C::Printable, &C::SetPrintable).Default(true);
    b.Prop("Restrictions", &C::Restrictions, &C::SetRestrictions).Default(TfrxRestrictions{});
    b.Prop("ShiftMode", &C::ShiftMode, &C::SetShiftMode).Default(smAlways);
    b.Prop("TagStr", &C::TagStr, &C::SetTagStr);
    b.Prop("URL", &C::URL, &C::SetURL);
    b.Prop("Visible", &C::Visible, &C::SetVisible).Default(true);
    b.Prop("OnAfterData", &C::OnAfterData, &C::SetOnAfterData).Type("TfrxNotifyEvent");
    b.Prop("OnAfterPrint", &C::OnAfterPrint, &C::SetOnAfterPrint).Type("TfrxNotifyEvent");
    b.Prop("OnBeforePrint", &C::OnBeforePrint, &C::SetOnBeforePrint).Type("TfrxNotifyEvent");
    b.Prop("OnPreviewClick", &C::OnPreviewClick, &C::SetOnPreviewClick).Type("TfrxPreviewClickEvent");
  }
public:
  explicit TfrxView(TComponent* AOwner);
  ~TfrxView() override;

  // ---- published properties
  TfrxAlign Align() const { return FAlign; }
  void SetAlign(TfrxAlign Value) { FAlign = Value; }
  TBrushStyle BrushStyle() const { return FBrushStyle; }
  void SetBrushStyle(TBrushStyle Value) { FBrushStyle = Value; }
  // clNone: no background.
  TColor Color() const { return FColor; }
  void SetColor(TColor Value) { FColor = Value; }
  // The mouse cursor over the object in the preview.
  SmallInt Cursor() const { return FCursor; }
  void SetCursor(SmallInt Value) { FCursor = Value; }
  const String& DataField() const { return FDataField; }
  void SetDataField(const String& Value) { FDataField = Value; }
  TfrxDataSet* DataSet() const { return FDataSet; }
  // Also sets DataSetName to the data set's user name.
  void SetDataSet(TfrxDataSet* Value);
  String DataSetName() const;
  // Looks the name up among the data sets of the process (not those of another report); no
  // match, or no report yet, keeps the current data set.
  void SetDataSetName(const String& Value);
  TfrxFrame* Frame() const { return FFrame.get(); }
  void SetFrame(TfrxFrame* Value) { FFrame->Assign(Value); }
  bool Printable() const { return FPrintable; }
  void SetPrintable(bool Value) { FPrintable = Value; }
  TfrxShiftMode ShiftMode() const { return FShiftMode; }
  void SetShiftMode(TfrxShiftMode Value) { FShiftMode = Value; }
  const String& TagStr() const { return FTagStr; }
  void SetTagStr(const String& Value) { FTagStr = Value; }
  const String& URL() const { return FURL; }
  void SetURL(const String& Value) { FURL = Value; }

  bool HasDataBinding() const { return FDataSet && !FDataField.empty(); }

  // ---- drawing
  // Scale maps report pixels to target pixels, Offset is added after. A nil canvas computes
  // the geometry only.
  virtual void PrepareDrawing(TCanvas* Canvas, Extended ScaleX, Extended ScaleY, Extended OffsetX, Extended OffsetY);
  virtual void PaintBackground();
  virtual void PaintFrame();
  void DrawOnCanvas(TCanvas* Canvas, Extended ScaleX, Extended ScaleY, Extended OffsetX, Extended OffsetY) override;
  // A line of a pixel width as parallel one-pixel lines with the current pen.
  void DrawWideLine(int X1, int Y1, int X2, int Y2, int Width);
  TCanvas* DrawCanvas() const { return FCanvas; }
  Extended DrawScaleX() const { return FScaleX; }
  Extended DrawScaleY() const { return FScaleY; }
  Extended DrawOffsetX() const { return FOffsetX; }
  Extended DrawOffsetY() const { return FOffsetY; }
  int PixelLeft() const { return FX; }
  int PixelTop() const { return FY; }
  int PixelRight() const { return FX1; }
  int PixelBottom() const { return FY1; }
  int PixelWidth() const { return FX1 - FX; }
  int PixelHeight() const { return FY1 - FY; }
  int PixelFrameWidth() const { return FFrameWidth; }

  // ---- printing
  // Expands the bracketed expressions of TagStr and URL through the report's Calc.
  void FetchData() override;
  // The band a view came from when the engine moved it into a vertical band as a cell.
  TfrxComponent* OriginalBand = nullptr;
  void SaveStateForPrint() override;
  void RestoreStateAfterPrint() override;
  String DiffAttributes(TfrxComponent* Reference) override;

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;
  // Moves the pixel rectangle PaintBackground and PaintFrame draw (after PrepareDrawing).
  void SetPixelBounds(int X, int Y, int X1, int Y1) {
    FX = X;
    FY = Y;
    FX1 = X1;
    FY1 = Y1;
  }

private:
  void PaintSide(int Side);  // 0 left, 1 right, 2 top, 3 bottom
  String Expand(const String& Text);

  TfrxAlign FAlign = baNone;
  TBrushStyle FBrushStyle = bsSolid;
  TColor FColor = clNone;
  SmallInt FCursor = 0;
  String FDataField;
  TfrxDataSet* FDataSet = nullptr;
  String FDataSetName;
  std::unique_ptr<TfrxFrame> FFrame;
  bool FPrintable = true;
  TfrxShiftMode FShiftMode = smAlways;
  String FTagStr, FURL;
  String FSavedTagStr, FSavedURL;
  TCanvas* FCanvas = nullptr;
  Extended FScaleX = 1, FScaleY = 1, FOffsetX = 0, FOffsetY = 0;
  int FX = 0, FY = 0, FX1 = 0, FY1 = 0, FFrameWidth = 0;
};

// A view whose content may need more or less height than it has.
class TfrxStretcheable : public TfrxView {
  KELM_CLASS(TfrxStretcheable, TfrxView)
  template <class B> static void Published(B& b) {
    using C = typename B::Class;
    b.Prop("StretchMode", &C::StretchMode, &C::SetStretchMode).Default(smDontStretch);
  }
public:
  explicit TfrxStretcheable(TComponent* AOwner) : TfrxView(AOwner) {}
  TfrxStretchMode StretchMode() const { return FStretchMode; }
  void SetStretchMode(TfrxStretchMode Value) { FStretchMode = Value; }
  // The height the content needs; the base keeps its own.
  virtual Extended CalcHeight() { return Height(); }
  // Fits the next part of the content into the current height; the height left free.
  virtual Extended FitPart() { return 0; }
  virtual void ResetPart() {}
  // The height still to place while the engine splits the object's band over pages.
  Extended SavedHeight = 0;

private:
  TfrxStretchMode FStretchMode = smDontStretch;
};

// The look a text object takes while its condition holds.
class TfrxHighlight : public TPersistent {
  KELM_CLASS(TfrxHighlight, TPersistent)
  template <class B> static void Published(B& b) {
    b.Prop("Active", &TfrxHighlight::Active, &TfrxHighlight::SetActive).Default(false);
    b.Prop("Font", &TfrxHighlight::Font, &TfrxHighlight::SetFont);
    b.Prop("Color", &TfrxHighlight::Color, &TfrxHighlight::SetColor).Type("TColor").Default(clNone);
    b.Prop("Condition", &TfrxHighlight::Condition, &TfrxHighlight::SetCondition);
  }
public:
  TfrxHighlight();
  ~TfrxHighlight() override;
  // Font, colour and condition; not Active.
  void Assign(TPersistent* Source) override;
  bool Active() const { return FActive; }
  void SetActive(bool Value) { FActive = Value; }
  TFont* Font() const { return FFont.get(); }
  void SetFont(TFont* Value) { FFont->Assign(Value); }
  TColor Color() const { return FColor; }
  void SetColor(TColor Value) { FColor = Value; }
  const String& Condition() const { return FCondition; }
  void SetCondition(const String& Value) { FCondition = Value; }

private:
  bool FActive = false;
  std::unique_ptr<TFont> FFont;
  TColor FColor = clNone;
  String FCondition;
};

// How a text object shows its value.
class TfrxFormat : public TPersistent {
  KELM_CLASS(TfrxFormat, TPersistent)
  template <class B> static void Published(B& b) {
    b.Prop("DecimalSeparator", &TfrxFormat::DecimalSeparator, &TfrxFormat::SetDecimalSeparator);
    b.Prop("FormatStr", &TfrxFormat::FormatStr, &TfrxFormat::SetFormatStr);
    b.Prop("Kind", &TfrxFormat::Kind, &TfrxFormat::SetKind).Default(fkText);
  }
public:
  TfrxFormat() = default;
  void Assign(TPersistent* Source) override;
  const String& DecimalSeparator() const { return FDecimalSeparator; }
  void SetDecimalSeparator(const String& Value) { FDecimalSeparator = Value; }
  const String& FormatStr() const { return FFormatStr; }
  void SetFormatStr(const String& Value) { FFormatStr = Value; }
  TfrxFormatKind Kind() const { return FKind; }
  void SetKind(TfrxFormatKind Value) { FKind = Value; }

private:
  String FDecimalSeparator, FFormatStr;
  TfrxFormatKind FKind = fkText;
};
