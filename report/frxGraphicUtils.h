#pragma once
// Text of report objects: simple formatting tags, wrapping (with syllable breaks for Russian
// words), measuring at 600 dpi and writing the laid-out lines glyph by glyph with corrected
// advances, so that a text breaks into the same lines on the screen at any zoom, on a bitmap
// and on paper.
// Declares TfrxHAlign, TfrxVAlign, TfrxHTMLTag, TfrxHTMLTags, TfrxHTMLTagsList, TfrxDrawText.
#include "core/System.h"
#include "core/Types.h"
#include "gui/GdiTypes.h"
#include "gui/GraphicsObjects.h"

#include <memory>
#include <string>
#include <vector>

class TCanvas;
class TFont;
class TMeasuringCanvas;
class TWideStrings;

KELM_ENUM(TfrxHAlign, haLeft, haRight, haCenter, haBlock)
KELM_ENUM(TfrxVAlign, vaTop, vaBottom, vaCenter)

// The attributes of one character of laid-out text.
struct TfrxHTMLTag {
  int SourcePos = 0;   // 1-based in the object's source text (tags counted, 2 per line break)
  int FontSize = 0;    // points
  int ShiftDown = 0;   // 1 for subscript
  TFontStyles FontStyle;
  TColor FontColor = 0;
  bool SameAsPrevious = false;  // style, colour and size as the character before
  bool Reduced = false;         // FontSize differs from the default size
};

// One record per character of one laid-out line.
class TfrxHTMLTags {
public:
  int Count() const { return int(FItems.size()); }
  TfrxHTMLTag& Items(int Index) { return FItems[std::size_t(Index)]; }
  const TfrxHTMLTag& Items(int Index) const { return FItems[std::size_t(Index)]; }
  void Add(const TfrxHTMLTag& Tag) { FItems.push_back(Tag); }
  std::vector<TfrxHTMLTag>& Records() { return FItems; }

private:
  std::vector<TfrxHTMLTag> FItems;
};

// The tag lines of one layout and the state of parsing.
class TfrxHTMLTagsList {
public:
  TfrxHTMLTagsList();
  ~TfrxHTMLTagsList();

  void Clear();
  void SetDefaults(TColor Color, int Size, TFontStyles Style);
  void SetDefaultStyle(TFontStyles Style) { FDefStyle = Style; }
  void NewLine();
  // Removes the tags from Line, adding a record for every plain character left to the last tag
  // line; the source position advances over the whole line.
  void ParseLine(std::u32string& Line);
  void AddCharTag();
  // Moves the records of the last tag line from Count on into a new line (see the .cpp).
  void SplitLastLine(int Count, bool Hyphen);
  void AdvancePosition(int By) { FPosition += By; }

  int Count() const { return int(FLines.size()); }
  TfrxHTMLTags& Items(int Index) { return *FLines[std::size_t(Index)]; }

  bool AllowTags = true;
  TColor DefColor() const { return FDefColor; }
  int DefSize() const { return FDefSize; }
  TFontStyles DefStyle() const { return FDefStyle; }

private:
  // The tag at the "<" at Index (0-based) of Line; its length, 0 when it is none.
  int MatchTag(const std::u32string& Line, std::size_t Index);
  const TfrxHTMLTag* PreviousTag() const;

  std::vector<std::unique_ptr<TfrxHTMLTags>> FLines;
  TColor FDefColor = 0;
  int FDefSize = 10;
  TFontStyles FDefStyle;
  TColor FColor = 0;
  int FSize = 10;
  TFontStyles FStyle;
  int FShift = 0;
  int FPosition = 1;
};

// The text layout engine. A client holds it from Acquire to Release and calls AssignFont,
// SetLayoutOptions, SetSpacing, SetRects and LayoutText before any measure or drawing.
class TfrxDrawText {
public:
  static constexpr int ReferenceDpi = 600;
  static constexpr int ScreenDpi = 96;
  static constexpr double RefRatio = 6.25;  // ReferenceDpi / ScreenDpi
  // Larger fonts are measured and drawn at this size.
  static constexpr int MaxFontSize = 1000;

  TfrxDrawText();
  ~TfrxDrawText();
  TfrxDrawText(const TfrxDrawText&) = delete;
  TfrxDrawText& operator=(const TfrxDrawText&) = delete;

  void Acquire();
  void Release() { FBusy = false; }
  bool Busy() const { return FBusy; }

  void AssignFont(TFont* Font);
  void SetLayoutOptions(bool WordWrap, bool AllowTags, int Rotation, bool Clipped, bool WordBreak, bool RightToLeft);
  void SetSpacing(Extended LineSpacing, Extended CharSpacing, Extended ParagraphGap);
  void SetRects(const TRect& LayoutRect, const TRect& ClipRect, Extended ScaleX, Extended ScaleY);
  // With LayoutToFit, LayoutText wraps only the paragraphs needed for the lines the layout
  // rectangle holds and one more (the source text is kept whole): enough for UnusedHeight,
  // SplitOffOverflow and FittingText, not for the other measures or drawing.
  void SetLayoutToFit(bool Value) { FLayoutToFit = Value; }
  void LayoutText(const TWideStrings* Lines);
  void LayoutText(const std::vector<String>& Lines);

  // ---- measures, report pixels
  Extended LayoutHeight() const;
  Extended LayoutWidth();
  Extended LineStep() const;
  Extended UnusedHeight() const;
  // Drops the lines below the layout rectangle; the text they came from, starting in the state
  // of its first character.
  String SplitOffOverflow();
  String FittingText() const;

  // ---- output
  void DrawLayout(TCanvas* Canvas, TfrxHAlign HAlign, TfrxVAlign VAlign);

  // ---- the layout, for clients and tests
  int LineCount() const { return int(FLines.size()); }
  String Lines(int Index) const;
  // Bit 1: first line of a paragraph, bit 2: last line of it.
  int LineMarks(int Index) const { return FLines[std::size_t(Index)].Marks; }
  TfrxHTMLTagsList& Tags() { return *FTags; }
  TMeasuringCanvas* MeasuringCanvas() { return FCanvas.get(); }
  int Rotation() const { return FRotation; }
  int Options() const { return FOptions; }
  // The advances of the last line drawn, in target pixels.
  const std::vector<int>& Widths() const { return FWidths; }

  // ---- parts of the layout (public for tests)
  // Break positions after letter k (1-based) of an upper-case word.
  static std::vector<int> SyllableBreakPositions(const std::u32string& Word);
  // The first part of the word at W (1-based) that fits before the overflow at I, up to a
  // syllable break; empty when there is none.
  static std::u32string BreakWordAtSyllable(const std::u32string& Text, int W, int I, int E);
  // Widths of the characters of Text (the tag line Index gives their styles) on Canvas, each
  // with Extra added; running totals when Cumulative. The sum.
  int MeasureLineWidths(int Index, const std::u32string& Text, bool Cumulative, int Extra, TCanvas* Canvas);

private:
  struct TLine {
    std::u32string Text;
    int Marks = 0;
  };
  void WrapParagraph(std::u32string Text, int MaxWidth, int CharSpacing, int FirstWidth);
  void AddLine(std::u32string Text) { FLines.push_back({std::move(Text), 0}); }
  void OutputLine(TCanvas* Canvas, const std::u32string& Text, int X, int Y, int Length, int Index,
                  TfrxHAlign Align);
  void SetCanvasFontHeight(TCanvas* Canvas, int Size);
  void SelectRotatedFont(TCanvas* Canvas);
  void DeselectRotatedFont(TCanvas* Canvas);
  int LineHeightRef() const { return FFontHeightRef; }

  std::unique_ptr<TMeasuringCanvas> FCanvas;
  std::unique_ptr<TfrxHTMLTagsList> FTags;
  std::vector<int> FWidths;
  std::vector<TLine> FLines;
  std::u32string FSourceText;
  int FFontSize = 10;
  int FFontHeightRef = 0;  // the measuring font's height, reference pixels (positive)
  Extended FCharSpacing = 0, FLineSpacing = 0, FParagraphGap = 0;
  int FOptions = 0;
  TRect FLayoutRect, FClipRect;
  Extended FScaleX = 1, FScaleY = 1;
  int FRotation = 0;
  bool FRightToLeft = false, FWordBreak = false, FWordWrap = true;
  bool FBusy = false;
  bool FLayoutToFit = false;
  // During output.
  bool FPrinter = false;
  int FDpiX = 96, FDpiY = 96;
  HFONT FRotatedFont = nullptr;
  HGDIOBJ FReplacedFont = nullptr;
};

// True when Canvas is the printer layer's canvas, which sizes text by its own resolution.
bool IsPrinterCanvas(TCanvas* Canvas);
// Spreads N increments of Increment over Items[First..Last], evenly, by halving.
void DistributeIncrements(std::vector<int>& Items, int First, int Last, int Increment, int N);
// A copy of Font with escapement and orientation Rotation × 10; the caller deletes it.
HFONT CreateRotatedFont(TFont* Font, int Rotation);

// The process-wide engine, for text objects that belong to no report.
TfrxDrawText& SharedDrawText();

// Rotation in degrees, 0 to 359.
inline int NormalizeRotation(int Degrees) { return ((Degrees % 360) + 360) % 360; }
