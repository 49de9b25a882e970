#pragma once
// The objects a report of the older engine is made of: the base that pages share, the view
// base and the seven kinds of view, with their fields, defaults, flag bits, the properties
// and methods scripts reach them by, their stream records, the factory that makes a view
// from a stream type code or an add-in class name, and the engine's process-wide state.
#include "core/Events.h"
#include "core/Exceptions.h"
#include "core/StringList.h"
#include "core/Types.h"
#include "core/Variant.h"
#include "gui/Colors.h"

#include <functional>
#include <memory>
#include <vector>

class TStream;
class TCanvas;
class TWinControl;
class TFont;
class TPicture;
class TBitmap;
class TControl;
class TDataSet;
class TField;
class TPopupMenu;
class TfrPage;
class TfrReport;
class TfrView;
class TfrBand;  // the band engine's band
struct HRGN__;
struct TfrPageRunInfo;

// ================================================================ engine state

// Process-wide, as the engine has one report running at a time.
struct TfrEngineState {
  int EngineMode = 0;  // 0 designing, 1 running
  bool SuppressDrawing = false;
  int ObjectCounter = 0;
  bool ErrorFlag = false;
  String ErrorText;  // class names that failed, each followed by CR
  int DefaultCharset = 1;
  int StreamVersion = 25;  // of the stream being read
  TfrReport* CurrentReport = nullptr;
  TfrPage* CurrentPage = nullptr;
  TfrView* CurrentView = nullptr;
  TfrBand* CurrentBand = nullptr;

  // ---- run state: the band engine fills it, value resolution and output read it
  TfrReport* RootReport = nullptr;  // the outermost report; its Terminated stops everything
  int PageIndex = 0;                // prepared page being filled, 0-based
  int PageTotal = 0;                // "TOTALPAGES"
  double RunDateTime = 0;           // "DATE" and "TIME": taken when the run started
  bool CalcOnlyPass = false;        // first pass of a two-pass report
  bool CollectingAggregates = false;
  TfrBand* PreparingBand = nullptr;  // the data band receiving the slots being registered
  bool InCross = false;
  int CrossShiftX = 0;
  // Value resolution: the value being formatted, its text, the name being evaluated as an
  // expression (the guard against a name that resolves to itself).
  Variant CurrentValue;
  String CurrentExpression;
  String EvaluatingName;
  // Page formation across pages: the next page continues the previous prepared page.
  bool AppendToPrevious = false;
  int SavedPosY = 0, SavedBottomY = 0;
  bool FooterPending = false;
  bool DialogCancelled = false;
};
TfrEngineState& frState();

// The current stream version of report files.
constexpr int frCurrentVersion = 25;

// ================================================================ script properties

namespace frkind {
constexpr Word Text = 1, Whole = 2, Fraction = 4, Boolean = 8, Color = 16, Enumeration = 32, Editor = 64,
               Geometry = 128, Named = 256;
}  // namespace frkind

// One script-visible property.
struct TfrPropRec {
  String Name;  // at most 32 characters
  Word Kind = 0;
  std::vector<String> EnumNames;  // enumerations only
  Variant EnumValues;             // an array parallel to EnumNames
  std::function<void()> EditorProc;
  TObject* EditorObject = nullptr;
};

class TfrObject : public TObject {
public:
  TfrObject();
  ~TfrObject() override;

  virtual void SetScriptProp(const String& Name, const Variant& Value);
  virtual Variant GetScriptProp(const String& Name);
  virtual Variant CallScriptMethod(const String& Name, const Variant& p1, const Variant& p2, const Variant& p3);
  virtual void RegisterScriptProps();

  const std::vector<std::unique_ptr<TfrPropRec>>& ScriptProps() const { return FScriptProps; }
  void AddScriptProp(const String& Name, Word Kind, std::function<void()> EditorProc = {},
                     TObject* EditorObject = nullptr);
  void AddEnumScriptProp(const String& Name, const String& Names, const Variant& Values);
  void ClearScriptProps();

protected:
  // "FONT.NAME", "FONT.SIZE", "FONT.STYLE" (stream style bits), "FONT.COLOR"; false for others.
  static bool SetFontScriptProp(TFont* Font, const String& Name, const Variant& Value);
  static bool GetFontScriptProp(TFont* Font, const String& Name, Variant& Value);
  // SETINDEXPROPERTY/GETINDEXPROPERTY and <list>.ADD, .CLEAR, .DELETE, .INDEXOF; Handled tells
  // whether the method was the list's.
  static Variant CallListMethod(TStrings* List, const String& Method, const Variant& p1, const Variant& p2,
                                const Variant& p3, const String& ListName, bool& Handled);

private:
  std::vector<std::unique_ptr<TfrPropRec>> FScriptProps;
};

// ================================================================ views

// Memo flag bits.
namespace frmemo {
constexpr Word Stretched = 1, WordWrap = 2, WordBreak = 4, AutoWidth = 8, TextOnly = 16, Suppress = 32,
               HideZeros = 64, Underlines = 128, RTLReading = 256;
}
// Band flag bits.
namespace frband {
constexpr Word Stretched = 1, FormNewPage = 2, PrintIfSubsetEmpty = 4, Breaked = 8, OnFirstPage = 16,
               OnLastPage = 32, RepeatHeader = 64, PrintChildIfInvisible = 128;
}
// Band types, in the order of their names.
enum TfrBandType {
  btReportTitle, btReportSummary, btPageHeader, btPageFooter, btMasterHeader, btMasterData, btMasterFooter,
  btDetailHeader, btDetailData, btDetailFooter, btSubDetailHeader, btSubDetailData, btSubDetailFooter, btOverlay,
  btColumnHeader, btColumnFooter, btGroupHeader, btGroupFooter, btCrossHeader, btCrossData, btCrossFooter, btChild,
  btNone
};

// A view's geometry as StoreGeometry keeps it.
struct TfrSavedGeometry {
  int Left = 0, Top = 0, Width = 0, Height = 0, GapX = 0, GapY = 0;
  float FrameWidth = 0;
};

class TfrView : public TfrObject {
public:
  TfrView();
  ~TfrView() override;

  void SetScriptProp(const String& Name, const Variant& Value) override;
  Variant GetScriptProp(const String& Name) override;
  Variant CallScriptMethod(const String& Name, const Variant& p1, const Variant& p2, const Variant& p3) override;
  void RegisterScriptProps() override;

  // ---- drawing (one canvas call sequence serves designer, preview and printer)
  virtual void PaintBackground();
  virtual void PaintFrame();
  virtual void LoadFromBlobField(TField* Field);
  // The add-in notification: an object whose Flags carry AddInNotifyFlag hears of every text
  // object of its page being emitted. Empty here; add-in objects override it.
  virtual void SpareHookA() {}
  virtual void SpareHookB() {}  // after loading; no class here uses it
  // Scales the geometry to the output and computes PaintRect; RestoreGeometry undoes it.
  virtual void StoreGeometry();
  virtual void RestoreGeometry();
  virtual void DrawOnCanvas(TCanvas* Canvas);
  // ---- output during a run
  virtual void EmitPrepared(TStream* Stream);
  virtual void SendToExportFilter();
  virtual void ReadFromStream(TStream* Stream);
  virtual void WriteToStream(TStream* Stream);
  // The element of the newer XML format, without its closing mark.
  virtual void WriteNewFormatXml(TStream* Stream);
  virtual void SpareHookC() {}
  virtual void FillPopupMenu(TPopupMenu* Menu);
  virtual void OpenEditor();
  // The area the object covers on the design surface; Widened adds 10 pixels around. The
  // caller owns the region.
  virtual HRGN__* CreateClipRegion(bool Widened);

  // Stores the canvas, makes the view current and applies BandAlign.
  void BeginDraw(TCanvas* Canvas);
  // Right and bottom edges of the scaled geometry (step 6 of StoreGeometry, before frames).
  int ScaledRight() const;
  int ScaledBottom() const;

  void MakeUniqueName();
  void SetViewBounds(int ALeft, int ATop, int AWidth, int AHeight);

  // ---- fields, in declaration order
  bool EngineMark = false;
  TfrSavedGeometry SavedGeometry;
  String NamePrefix = "View";
  TCanvas* DrawCanvas = nullptr;
  TRect PaintRect{};
  TStringList ExpandedMemo;
  TDataSet* BoundDataSet = nullptr;
  String BoundFieldName;
  bool PreparedForm = false;
  String Name;
  Byte TypeCode = 10;
  String AddInClassName;  // the registered class name of an add-in (type 10)
  Byte RecordVersionMajor = 0, RecordVersionMinor = 0;  // as read; every view writes major 2
  int ObjectNumber = 0;
  bool IsSelected = false;
  TRect OriginalRect{};
  double OutputScaleX = 1, OutputScaleY = 1;
  int OutputOffsetX = 0, OutputOffsetY = 0;
  bool ToPrinter = false;
  int Left = 0, Top = 0, Width = 0, Height = 0;
  Word Flags = 1;
  static constexpr Word AddInNotifyFlag = 0x8000;
  Word FrameTyp = 0;
  float FrameWidth = 1.0f;
  TColor FrameColor = 0;
  Word FrameStyle = 0;
  TColor FillColor;
  int FormatCode;
  String FormatText;
  Word Visible = 0xFFFF;
  int GapX = 2, GapY = 1;
  Word Restrictions = 0;
  String Tag;
  TStringList Memo;
  TStringList EventScript;
  Byte BandAlign = 0;
  TfrBand* OwnerBand = nullptr;
  TfrPage* OwnerPage = nullptr;

  bool IsVisible() const { return Visible != 0; }

protected:
  // The frame, fill, tag and alignment properties; bands and sub-reports have none.
  virtual bool HasFrameProps() const { return true; }
  // Writes the view's attributes of the newer XML format (element start included).
  void WriteViewXml(TStream* Stream, const String& ClassName);
  // Draws one frame line in the frame's style (dashes, doubles).
  void FrameLine(int X1, int Y1, int X2, int Y2);
  void ApplyBandAlign();
  // Flag names of the class (STRETCHED for all): the bit, or 0.
  virtual Word FlagBit(const String& UpperName) const;
  void ToggleFlagOnSelection(Word Bit, bool ForEverySelected);
};

class TfrControl : public TfrView {
public:
  TfrControl();
  void SetScriptProp(const String& Name, const Variant& Value) override;
  void RegisterScriptProps() override;
  void FillPopupMenu(TPopupMenu*) override {}
  void DrawOnCanvas(TCanvas* Canvas) override;
  // The hosted control printed into a bitmap drawn at (Left, Top).
  virtual void PaintControl();
  // The hosted control goes onto a dialog form with the object's bounds.
  void PlaceOnForm(TWinControl* Form);

  TControl* HostedControl = nullptr;  // not owned
};

class TfrStretcheable : public TfrView {
public:
  Variant CallScriptMethod(const String& Name, const Variant& p1, const Variant& p2, const Variant& p3) override;
  // Heights in pixels: the height the content needs, one line's, and what is left below the
  // last whole line.
  virtual int CalcHeight() { return Height; }
  virtual int OneLineHeight() { return 0; }
  virtual int LeftoverHeight() { return 0; }

  Byte LayoutPass = 0;
};

class TfrMemoView : public TfrStretcheable {
public:
  TfrMemoView();
  ~TfrMemoView() override;
  void SetScriptProp(const String& Name, const Variant& Value) override;
  Variant GetScriptProp(const String& Name) override;
  Variant CallScriptMethod(const String& Name, const Variant& p1, const Variant& p2, const Variant& p3) override;
  void RegisterScriptProps() override;
  void LoadFromBlobField(TField* Field) override;
  void ReadFromStream(TStream* Stream) override;
  void WriteToStream(TStream* Stream) override;
  void FillPopupMenu(TPopupMenu* Menu) override;
  void OpenEditor() override;
  void DrawOnCanvas(TCanvas* Canvas) override;
  void EmitPrepared(TStream* Stream) override;
  void SendToExportFilter() override;
  void WriteNewFormatXml(TStream* Stream) override;
  int CalcHeight() override;
  int OneLineHeight() override;
  int LeftoverHeight() override;

  // Fills WrapList with the wrapped lines of ExpandedMemo (on the work canvas).
  void WrapMemo();
  // Adds the lines of one text line of at most Length pixels to WrapList.
  void WrapLine(const String& S, int Length);
  void DrawMemoText();
  void DrawUnderlines();
  // The width the text of Memo needs, frame and gaps included.
  int CalcTextWidth();
  // ExpandedMemo from Memo, bracketed expressions replaced by their values.
  void ExpandMemo();
  bool IsRotated() const { return (Alignment & 4) != 0; }
  // Turns the font by 90 degrees (escapement and orientation 900).
  static void CreateRotatedFont(TFont* Font);

  std::unique_ptr<TFont> Font;
  String LastPrintedText;
  bool HasLineMarks = false;
  int WrappedExtent = 0;
  bool ClipToRect = false;
  int LineGap = 0;
  int LinesDrawn = 0;
  bool ToExport = false;
  int Alignment = 0;
  Word HighlightFontStyle = 2;
  TColor HighlightFontColor = 0;
  TColor HighlightFillColor = 0xFFFFFF;
  String HighlightCondition;
  int LineSpacing = 2;
  int CharSpacing = 0;

protected:
  Word FlagBit(const String& UpperName) const override;
};

class TfrBandView : public TfrView {
public:
  TfrBandView();
  void DrawOnCanvas(TCanvas* Canvas) override;
  void WriteNewFormatXml(TStream* Stream) override;
  HRGN__* CreateClipRegion(bool Widened) override;
  // The caption tab's length: the caption's width in the tab font + 8, at least 100.
  int BandLabelWidth();
  void SetScriptProp(const String& Name, const Variant& Value) override;
  Variant GetScriptProp(const String& Name) override;
  Variant CallScriptMethod(const String& Name, const Variant& p1, const Variant& p2, const Variant& p3) override;
  void RegisterScriptProps() override;
  void ReadFromStream(TStream* Stream) override;
  void WriteToStream(TStream* Stream) override;
  void FillPopupMenu(TPopupMenu* Menu) override;

  int BandType() const { return FrameTyp; }
  void SetBandType(int Value) { FrameTyp = static_cast<Word>(Value); }

  String ChildBand;
  String Master;
  int Columns = 1;
  int ColumnWidth = 200;
  int ColumnGap = 20;
  int NewColumnAfter = 1;

protected:
  bool HasFrameProps() const override { return false; }
  Word FlagBit(const String& UpperName) const override;
};

class TfrSubReportView : public TfrView {
public:
  TfrSubReportView();
  void DrawOnCanvas(TCanvas* Canvas) override;
  void WriteNewFormatXml(TStream* Stream) override;
  void ReadFromStream(TStream* Stream) override;
  void WriteToStream(TStream* Stream) override;
  void FillPopupMenu(TPopupMenu*) override {}

  int TargetPage = 0;

protected:
  bool HasFrameProps() const override { return false; }
};

class TfrPictureView : public TfrView {
public:
  TfrPictureView();
  ~TfrPictureView() override;
  void SetScriptProp(const String& Name, const Variant& Value) override;
  Variant GetScriptProp(const String& Name) override;
  Variant CallScriptMethod(const String& Name, const Variant& p1, const Variant& p2, const Variant& p3) override;
  void RegisterScriptProps() override;
  void LoadFromBlobField(TField* Field) override;
  void ReadFromStream(TStream* Stream) override;
  void WriteToStream(TStream* Stream) override;
  void FillPopupMenu(TPopupMenu* Menu) override;
  void OpenEditor() override;
  void DrawOnCanvas(TCanvas* Canvas) override;
  void WriteNewFormatXml(TStream* Stream) override;

  std::unique_ptr<TPicture> Picture;
  Byte BlobType = 0;  // 0 btBMP, 1 btJPG, 2 btICO, 3 btWMF
  // A graphic the platform could not decode, kept as read (kind and bytes) so that it is
  // written back unchanged; emptied when Picture is assigned.
  Byte RawGraphicKind = 0;
  String RawGraphic;

protected:
  Word FlagBit(const String& UpperName) const override;
};

class TfrLineView : public TfrStretcheable {
public:
  TfrLineView();
  void RegisterScriptProps() override;
  void DrawOnCanvas(TCanvas* Canvas) override;
  void WriteNewFormatXml(TStream* Stream) override;
  HRGN__* CreateClipRegion(bool Widened) override;
  int CalcHeight() override { return Height; }
  int OneLineHeight() override { return 1; }
  int LeftoverHeight() override { return 0; }
};

// ================================================================ drawing helpers

// The text with every bracketed expression replaced by its printed value (the current
// report's, formatted as the current view asks).
String ExpandBrackets(const String& Text);
// Whether a band type has an element in the newer XML format (cross bands have none).
bool BandHasXmlElement(int BandType);
// Nearest whole number, halves to the even neighbour.
int frNear(double X);
// 1-based positions after which a hyphen may stand in a word (Cyrillic letters by code point).
std::vector<int> BreakWord(const String& Word);


// ================================================================ factory and registries

// 0 memo, 1 picture, 2 band, 3 sub-report, 4 line; 10 an add-in by class name (EClassNotFound,
// listing every failed name so far, when none is registered); other codes give nullptr.
TfrView* CreateViewByType(int TypeCode, const String& ClassName);

struct TfrAddInObjectInfo {
  String ClassName;
  std::function<TfrView*()> Create;
  TBitmap* ButtonBitmap = nullptr;  // owned by the registry
  String ButtonHint;
  int Reserved = 0;
};
// A class already registered is not added again.
void RegisterAddInObject(const String& ClassName, std::function<TfrView*()> Create, TBitmap* ButtonBitmap,
                         const String& Hint);
const std::vector<TfrAddInObjectInfo>& AddInObjects();
void ClearAddInObjects();

// A library of expression functions; the libraries and their functions are the value
// resolution's, the registry is here.
class TfrFunctionLibrary : public TObject {
public:
  TfrFunctionLibrary();
  ~TfrFunctionLibrary() override;
  // True when Name is one of FunctionNames; Val then holds its result.
  virtual bool OnFunction(const String& Name, const Variant& p1, const Variant& p2, const Variant& p3, Variant& Val);
  virtual void CallFunction(int FNo, const Variant& p1, const Variant& p2, const Variant& p3, Variant& Val) = 0;
  void AddFunctionDesc(const String& FuncName, const String& Category, const String& Description);

  std::unique_ptr<TStringList> FunctionNames;
};

struct TfrFunctionDesc {
  TfrFunctionLibrary* Library;
  String FunctionName, Category, Description;
};

// Registered by class name; a second registration of the same name does nothing.
void RegisterFunctionLibrary(const String& ClassName, std::function<TfrFunctionLibrary*()> Create);
void UnregisterFunctionLibrary(const String& ClassName);
const std::vector<std::pair<String, std::unique_ptr<TfrFunctionLibrary>>>& FunctionLibraries();
void AddFunctionDescription(TfrFunctionLibrary* Library, const String& FuncName, const String& Category,
                            const String& Description);

// A property by name (letter case ignored) after making sure the list is built.
TfrPropRec* FindScriptProp(TfrObject* Object, const String& Name);
void EnsureScriptProps(TfrObject* Object);
// "obj.prop", "PAGE2.prop" or "prop" of the current view: the object and the property name.
TfrObject* ResolveScriptName(const String& Text, String& PropName);

// Stream style bits: 1 italic, 2 bold, 4 underline, 8 strike-out.
Word StyleToStream(TFont* Font);
void StyleFromStream(TFont* Font, Word Bits);
