#pragma once
// The older report engine's report component: its pages, data dictionary, information and
// switches, the .frf stream it is stored as (in a file or in the form property "ReportForm"),
// and the engine's process-wide services (the globals).
#include "report_legacy/FR_ClassBand.h"
#include "report_legacy/FR_ClassObjects.h"
#include "report_legacy/FR_Intrp.h"
#include "report_legacy/FR_Pars.h"
#include "report_legacy/FR_DBSet.h"
#include "report_legacy/FR_DSet.h"

#include "core/Classes.h"
#include "core/Component.h"

#include <cassert>

class TfrParser;
class TfrInterpretator;
class TfrVariables;
class TForm;
class TfrPreview;
class TfrEMFPages;
class TfrProgressForm;

// Paper and printer geometry of a page, from the printer.
struct TPrnPageInfo {
  int PhysWidth = 0, PhysHeight = 0;  // device pixels
  int PageWidth = 0, PageHeight = 0;  // report units
  int PhysOffsetX = 0, PhysOffsetY = 0;
  int OffsetX = 0, OffsetY = 0;
  int PrnWidth = 0, PrnHeight = 0;
  int PrintableWidth = 0, PrintableHeight = 0;
};

// ================================================================ pages

class TfrPage : public TfrObject {
public:
  TfrPage(int ASize, int AWidth, int AHeight, int ABin, int AOrientation);
  ~TfrPage() override;

  void SetScriptProp(const String& Name, const Variant& Value) override;
  Variant GetScriptProp(const String& Name) override;
  void RegisterScriptProps() override;

  // The printer applies the paper and fills PrinterInfo; a paper it refuses becomes custom.
  void ChangePaper(int ASize, int AWidth, int AHeight, int ABin, int AOrientation);
  void Clear();
  void Delete(int Index);
  TfrView* FindObject(const String& AName) const;
  int ObjectCount() const { return static_cast<int>(Objects.size()); }
  TfrView* Object(int Index) const { return Objects[static_cast<std::size_t>(Index)].get(); }
  void AddObject(TfrView* View);

  void ReadRecord(TStream* Stream, int Version);
  void WriteRecord(TStream* Stream);

  int Size = 9;
  int Width = 0, Height = 0;  // 0.1 mm
  int LeftMargin = 0, TopMargin = 0, RightMargin = 0, BottomMargin = 0;
  int Orientation = 0;
  int PaperBin = -1;
  Word PrintToPrevPage = 0;
  Word MarginsOn = 0xFFFF;
  TPrnPageInfo PrinterInfo;
  int Columns = 1, ColumnWidth = 0, ColumnGap = 0;
  int Type = 0;  // 0 ptReport, 1 ptDialog
  std::vector<std::unique_ptr<TfrView>> Objects;
  String Name;
  int BorderStyle = 3;  // bsDialog
  String Caption = "Form";
  TColor Color;
  int Left = 220, Top = 120, FormWidth = 380, FormHeight = 300;
  int Position = 4;  // poScreenCenter
  std::unique_ptr<TStringList> PageScript;
  bool Visible = true;

  // Print margins in pixels of the prepared page: the stored ones, the printer's offsets
  // where they are 0, the whole paper without margins.
  int LeftMarginPx() const;
  int TopMarginPx() const;
  int RightMarginPx() const;
  int BottomMarginPx() const;

  // ---- run state (the band engine fills it)
  TfrBand* PrintingBand = nullptr;  // the band whose objects are being emitted
  int CrossColumnNo = 0;            // "COLUMN#"
  int LineNo = 0;                   // "CURRENT#"
  int PosY = 0, BottomY = 0;        // position and bottom limit on the prepared page

  // ---- page formation
  // Builds the bands of a report page from its band views and objects.
  void PrepareRun();
  // Binds single field references and registers the aggregate slots.
  void PrepareObjects();
  // Prints the page into the report's prepared pages.
  void FormPage();
  void ShowBand(TfrBand* Band);
  void ShowBandByName(const String& Name);
  void NewPage();
  void NewColumn(TfrBand* Band);
  void FinishRun();
  // Only while the page runs (PrepareRun made the table).
  TfrBand* Band(int Kind) const {
    assert(Kind >= 0 && static_cast<std::size_t>(Kind) < BandTable.size());
    return BandTable[static_cast<std::size_t>(Kind)];
  }

  std::vector<TfrBand*> BandTable;  // the first band of each kind (owned chains)
  bool IsSubPage = false;
  bool Prepared = false;
  int ColumnNo = 0;
  int ColumnTopY = 0;
  int ShiftX = 0;
  TfrBand* LastShown = nullptr;
  bool RepeatHeadersOff = false;
  // A sub-report's target page records what its bands would print (band, action: 0 show,
  // 1 first record, 2 next record) and replays it inside the band that holds the sub-report.
  Byte RecordMode = 0;
  std::vector<std::pair<TfrBand*, Byte>> Records;
  int PlayIndex = 0;
  TfrBand* PendingBand = nullptr;
  // Replays from PlayIndex; true when it had to stop for lack of room.
  bool ReplayRecords();
  // A dialog page's form while the report runs.
  std::unique_ptr<TForm> PageForm;

private:
  void FreeBands();
  void ShowDialog();
  void LinkBands();
  void LinkDataLevels();
  void DataLoop(int Level);
  void ShowStack();
  void ShowFooters();
  int DeepestLevel = 0;
  std::vector<TfrBand*> FStack;
};

class TfrPages : public TObject {
public:
  explicit TfrPages(TfrReport* AParent) : FParent(AParent) {}
  ~TfrPages() override;

  // A page with the default paper, width and height 0, bin -1, portrait.
  TfrPage* Add();
  void Clear();
  void Delete(int Index);
  int Count() const { return static_cast<int>(FPages.size()); }
  TfrPage* Page(int Index) const { return FPages[static_cast<std::size_t>(Index)].get(); }
  TfrPage* operator[](int Index) const { return Page(Index); }
  TfrReport* Parent() const { return FParent; }

private:
  TfrReport* FParent;
  std::vector<std::unique_ptr<TfrPage>> FPages;
};

// ================================================================ the data dictionary

// Report variables bound to expressions or fields, aliases of data sets and fields, and the
// band data-source entries; stored as tag 254 of the report stream.
class TfrDataDictionary : public TObject {
public:
  TfrDataDictionary();
  ~TfrDataDictionary() override;

  void Clear();
  void ClearCache() { Cache.clear(); }
  // Names with a leading blank are variables; others are category captions. A name is also
  // a variable when it resolves to a field (DataSet.Field), and is then cached.
  bool IsVariable(const String& Name);
  // The variable's value: a field's value, or its expression evaluated.
  void GetValue(const String& Name, Variant& Value);
  void LoadFromStream(TStream* Stream);
  void SaveToStream(TStream* Stream);

  struct TfrCacheItem {
    String Name;
    TDataSet* DataSet;
    String FieldName;
  };
  std::vector<TfrCacheItem> Cache;

  std::unique_ptr<TfrVariables> Variables;
  std::unique_ptr<TfrVariables> FieldAliases;
  std::unique_ptr<TfrVariables> BandSourceList;
  std::unique_ptr<TStringList> DisabledSourceList;
};

// ================================================================ export filters

// What the report hands an export filter while a prepared page passes through it: each object
// with its place, and each line of text of a text object.
class TfrExportFilter : public TObject {
public:
  String FileName;
  TStream* Stream = nullptr;  // the output file while an export runs
  virtual void OnBeginDoc() {}
  virtual void OnEndDoc() {}
  virtual void OnBeginPage() {}
  virtual void OnEndPage() {}
  virtual void OnData(int X, int Y, TfrView* View) = 0;
  virtual void OnText(const TRect& DrawRect, int X, int Y, const String& Text, Word FrameTyp, TfrView* View) = 0;
};

// ================================================================ functions and the interpreter

// SUM, COUNT and the text and date functions every report knows.
class TfrStdFunctionLibrary : public TfrFunctionLibrary {
public:
  TfrStdFunctionLibrary();
  // Adds the descriptions of its functions to the installed ones.
  void Describe();
  void CallFunction(int FNo, const Variant& p1, const Variant& p2, const Variant& p3, Variant& Val) override;
};

// FIELDISNULL.
class TDatabaseFunctionLibrary : public TfrFunctionLibrary {
public:
  TDatabaseFunctionLibrary();
  void Describe();
  void CallFunction(int FNo, const Variant& p1, const Variant& p2, const Variant& p3, Variant& Val) override;
};

// The descriptions the designer shows: library, name, category, call form "/" explanation.
class TfrInstalledFunctions : public TObject {
public:
  // Nothing when the category is empty or the name is described already.
  void Add(TfrFunctionLibrary* Library, const String& Name, const String& Category, const String& Description);
  // Every description of a library of the same class.
  void Remove(TfrFunctionLibrary* Library);
  std::vector<TfrFunctionDesc>& Items();
};

// The report's interpreter: names, assignments and calls go back to the running report.
class TInterpretator : public TfrInterpretator {
public:
  void GetValue(const String& Name, Variant& Value) override;
  void SetValue(const String& Name, const Variant& Value) override;
  void DoFunction(const String& Name, Variant p1, Variant p2, Variant p3, Variant& Val) override;
  // Compiles a view's script and runs it.
  void RunSource(TStrings* Source);
};

// ================================================================ the report

KELM_EVENT(TBeginDocEvent, void());
KELM_EVENT(TEndDocEvent, void());
KELM_EVENT(TBeginPageEvent, void(int pgNo));
KELM_EVENT(TEndPageEvent, void(int pgNo));
KELM_EVENT(TBeginBandEvent, void(TfrBand* Band));
KELM_EVENT(TEndBandEvent, void(TfrBand* Band));
KELM_EVENT(TDetailEvent, void(const String& ParName, Variant& ParValue));
KELM_EVENT(TEnterRectEvent, void(TStringList* Memo, TfrView* View));
KELM_EVENT(TProgressEvent, void(int n));
KELM_EVENT(TBeginColumnEvent, void(TfrBand* Band));
KELM_EVENT(TPrintColumnEvent, void(int ColNo, int& Width));
KELM_EVENT(TManualBuildEvent, void(TfrPage* Page));
KELM_EVENT(TObjectClickEvent, void(TfrView* View));
KELM_EVENT(TMouseOverObjectEvent, void(TfrView* View, int& Cursor));
KELM_EVENT(TPrintReportEvent, void());

class TfrReport : public TComponent {
  KELM_CLASS(TfrReport, TComponent)
  template <class B> static void Published(B& b) {
    b.Prop("Dataset", &TfrReport::Dataset, &TfrReport::SetDataset);
    b.Prop("DefaultCopies", &TfrReport::DefaultCopies, &TfrReport::SetDefaultCopies).Default(1);
    b.Prop("DefaultCollate", &TfrReport::DefaultCollate, &TfrReport::SetDefaultCollate).Default(true);
    b.Prop("GrayedButtons", &TfrReport::GrayedButtons, &TfrReport::SetGrayedButtons).Default(false);
    // Written always, so a layout states how its preview opens.
    b.Prop("InitialZoom", &TfrReport::InitialZoom, &TfrReport::SetInitialZoom).NoDefault();
    b.Prop("MDIPreview", &TfrReport::MDIPreview, &TfrReport::SetMDIPreview).Default(false);
    b.Prop("ModalPreview", &TfrReport::ModalPreview, &TfrReport::SetModalPreview).Default(true);
    b.Prop("ModifyPrepared", &TfrReport::ModifyPrepared, &TfrReport::SetModifyPrepared).Default(true);
    b.Prop("PreviewButtons", &TfrReport::PreviewButtons, &TfrReport::SetPreviewButtons).NoDefault();
    b.Prop("PrintIfEmpty", &TfrReport::PrintIfEmpty, &TfrReport::SetPrintIfEmpty).Default(true);
    b.Prop("ReportType", &TfrReport::ReportType, &TfrReport::SetReportType).Default(TfrReportType::rtSimple);
    b.Prop("ShowPrintDialog", &TfrReport::ShowPrintDialog, &TfrReport::SetShowPrintDialog).Default(true);
    b.Prop("ShowProgress", &TfrReport::ShowProgress, &TfrReport::SetShowProgress).Default(true);
    b.Prop("StoreInDFM", &TfrReport::StoreInDFM, &TfrReport::SetStoreInDFM).Default(false);
    b.Prop("Title", &TfrReport::Title, &TfrReport::SetTitle);
    b.Prop("RebuildPrinter", &TfrReport::RebuildPrinter, &TfrReport::SetRebuildPrinter).NoDefault();
    b.Prop("UseDefaultDataSetName", &TfrReport::UseDefaultDataSetName, &TfrReport::SetUseDefaultDataSetName)
        .Default(false);
    b.Prop("OnBeginDoc", &TfrReport::OnBeginDoc, &TfrReport::SetOnBeginDoc);
    b.Prop("OnEndDoc", &TfrReport::OnEndDoc, &TfrReport::SetOnEndDoc);
    b.Prop("OnBeginPage", &TfrReport::OnBeginPage, &TfrReport::SetOnBeginPage);
    b.Prop("OnEndPage", &TfrReport::OnEndPage, &TfrReport::SetOnEndPage);
    b.Prop("OnBeginBand", &TfrReport::OnBeginBand, &TfrReport::SetOnBeginBand);
    b.Prop("OnEndBand", &TfrReport::OnEndBand, &TfrReport::SetOnEndBand);
    b.Prop("OnGetValue", &TfrReport::OnGetValue, &TfrReport::SetOnGetValue);
    b.Prop("OnBeforePrint", &TfrReport::OnBeforePrint, &TfrReport::SetOnBeforePrint);
    b.Prop("OnUserFunction", &TfrReport::OnUserFunction, &TfrReport::SetOnUserFunction);
    b.Prop("OnProgress", &TfrReport::OnProgress, &TfrReport::SetOnProgress);
    b.Prop("OnBeginColumn", &TfrReport::OnBeginColumn, &TfrReport::SetOnBeginColumn);
    b.Prop("OnPrintColumn", &TfrReport::OnPrintColumn, &TfrReport::SetOnPrintColumn);
    b.Prop("OnManualBuild", &TfrReport::OnManualBuild, &TfrReport::SetOnManualBuild);
    b.Prop("OnObjectClick", &TfrReport::OnObjectClick, &TfrReport::SetOnObjectClick);
    b.Prop("OnMouseOverObject", &TfrReport::OnMouseOverObject, &TfrReport::SetOnMouseOverObject);
    b.Prop("OnPrintReport", &TfrReport::OnPrintReport, &TfrReport::SetOnPrintReport);
    b.Prop("OnCustomizeObject", &TfrReport::OnCustomizeObject, &TfrReport::SetOnCustomizeObject);
  }
public:
  explicit TfrReport(TComponent* AOwner);
  ~TfrReport() override;

  // The format number the stored definition starts with.
  static constexpr int FormVersion = frCurrentVersion;

  // Every page freed, the dictionary emptied, two passes off, the information reset.
  void Clear();
  // The .frf stream. A stream the engine cannot read shows the failure box and leaves one
  // empty page; a protected report read from a file asks for its password.
  void LoadFromStream(TStream* Stream);
  void SaveToStream(TStream* Stream);
  void LoadFromFile(const String& FName);
  void SaveToFile(const String& FName);
  // Selects a printer by name unless the default printer is used; PrinterName = name.
  void SetPrinterTo(const String& PrnName);
  // The first object of that name, pages in order.
  TfrView* FindObject(const String& AName) const;
  void ResetInfo();

  // ---- value resolution: the parser's events while this report is current
  void GetVariableValue(const String& Name, Variant& Value);
  void ParserFunction(const String& Name, const Variant& p1, const Variant& p2, const Variant& p3, Variant& Value);
  // The printed text of a bracketed expression of the current view.
  void GetValueText(const String& Expression, String& Text);
  void FormatValue(const Variant& Value, int FormatCode, String& Text, const String& FormatText);
  // Blob loading and OnBeforePrint, before a view prints.
  void BeforePrint(TStringList* Memo, TfrView* View);
  // The error text of a failed expression; the run is told to stop.
  void BuildExpressionError(const Exception& E);
  // A text line of a text object goes to the current export filter.
  void LineOutput(const TRect& DrawRect, int X, int Y, TfrView* View, const String& Text, Word FrameTyp);

  TfrExportFilter* CurrentFilter = nullptr;

  // ---- running
  // Runs the report into PreparedPages (one or two passes); false when it failed or was
  // stopped. The definition is as before afterwards.
  bool PrepareReport();
  // One pass over the pages.
  virtual void DoBuildReport();
  void Progress(int n);
  // Prints the prepared pages: PageList like "1,3,5-" (empty: all), PrintPages 0 all, 1 odd,
  // 2 even; collated copies print the whole set Copies times.
  void PrintPreparedReport(const String& PageList, int Copies, int PrintPages, bool Collate);
  virtual void DoPrintReport(const String& PageList, int Copies, int PrintPages, bool Collate);
  // Passes the prepared pages to the filter.
  void ExportTo(TfrExportFilter* Filter, const String& FileName);
  // Switches printers; on failure tells the user, goes back to the old one and gives false.
  bool ChangePrinter(int OldIndex, int NewIndex);
  void LoadPreparedReport(const String& FName);
  void SavePreparedReport(const String& FName);
  TfrEMFPages* PreparedPages() const { return FPreparedPages.get(); }
  // Puts Pages in place of the prepared pages and hands back the store it held: a preview takes
  // the pages it shows this way and returns them for printing, saving and exporting.
  std::unique_ptr<TfrEMFPages> ExchangePreparedPages(std::unique_ptr<TfrEMFPages> Pages);
  // The progress window while one is up.
  TfrProgressForm* ProgressForm() const { return FProgressForm; }

  TfrPages* Pages() const { return FPages.get(); }
  TfrDataDictionary* Dictionary() const { return FDictionary.get(); }

  // ---- published properties
  TfrDataset* Dataset() const { return FDataset; }
  void SetDataset(TfrDataset* Value);
  int DefaultCopies() const { return FDefaultCopies; }
  void SetDefaultCopies(int Value) { FDefaultCopies = Value; }
  bool DefaultCollate() const { return FDefaultCollate; }
  void SetDefaultCollate(bool Value) { FDefaultCollate = Value; }
  bool GrayedButtons() const { return FGrayedButtons; }
  void SetGrayedButtons(bool Value) { FGrayedButtons = Value; }
  TfrPreviewZoom InitialZoom() const { return FInitialZoom; }
  void SetInitialZoom(TfrPreviewZoom Value) { FInitialZoom = Value; }
  bool MDIPreview() const { return FMDIPreview; }
  void SetMDIPreview(bool Value) { FMDIPreview = Value; }
  bool ModalPreview() const { return FModalPreview; }
  void SetModalPreview(bool Value) { FModalPreview = Value; }
  bool ModifyPrepared() const { return FModifyPrepared; }
  void SetModifyPrepared(bool Value) { FModifyPrepared = Value; }
  TfrPreviewButtons PreviewButtons() const { return FPreviewButtons; }
  void SetPreviewButtons(TfrPreviewButtons Value) { FPreviewButtons = Value; }
  bool PrintIfEmpty() const { return FPrintIfEmpty; }
  void SetPrintIfEmpty(bool Value) { FPrintIfEmpty = Value; }
  TfrReportType ReportType() const { return FReportType; }
  void SetReportType(TfrReportType Value) { FReportType = Value; }
  bool ShowPrintDialog() const { return FShowPrintDialog; }
  void SetShowPrintDialog(bool Value) { FShowPrintDialog = Value; }
  bool ShowProgress() const { return FShowProgress; }
  void SetShowProgress(bool Value) { FShowProgress = Value; }
  // Whether the definition itself is kept in the form property "ReportForm".
  bool StoreInDFM() const { return FStoreInDFM; }
  void SetStoreInDFM(bool Value) { FStoreInDFM = Value; }
  const String& Title() const { return FTitle; }
  void SetTitle(const String& Value) { FTitle = Value; }
  bool RebuildPrinter() const { return FRebuildPrinter; }
  void SetRebuildPrinter(bool Value) { FRebuildPrinter = Value; }
  bool UseDefaultDataSetName() const { return FUseDefaultDataSetName; }
  void SetUseDefaultDataSetName(bool Value) { FUseDefaultDataSetName = Value; }

  const TBeginDocEvent& OnBeginDoc() const { return FOnBeginDoc; }
  void SetOnBeginDoc(const TBeginDocEvent& V) { FOnBeginDoc = V; }
  const TEndDocEvent& OnEndDoc() const { return FOnEndDoc; }
  void SetOnEndDoc(const TEndDocEvent& V) { FOnEndDoc = V; }
  const TBeginPageEvent& OnBeginPage() const { return FOnBeginPage; }
  void SetOnBeginPage(const TBeginPageEvent& V) { FOnBeginPage = V; }
  const TEndPageEvent& OnEndPage() const { return FOnEndPage; }
  void SetOnEndPage(const TEndPageEvent& V) { FOnEndPage = V; }
  const TBeginBandEvent& OnBeginBand() const { return FOnBeginBand; }
  void SetOnBeginBand(const TBeginBandEvent& V) { FOnBeginBand = V; }
  const TEndBandEvent& OnEndBand() const { return FOnEndBand; }
  void SetOnEndBand(const TEndBandEvent& V) { FOnEndBand = V; }
  const TDetailEvent& OnGetValue() const { return FOnGetValue; }
  void SetOnGetValue(const TDetailEvent& V) { FOnGetValue = V; }
  const TEnterRectEvent& OnBeforePrint() const { return FOnBeforePrint; }
  void SetOnBeforePrint(const TEnterRectEvent& V) { FOnBeforePrint = V; }
  const TFunctionEvent& OnUserFunction() const { return FOnUserFunction; }
  void SetOnUserFunction(const TFunctionEvent& V) { FOnUserFunction = V; }
  const TProgressEvent& OnProgress() const { return FOnProgress; }
  void SetOnProgress(const TProgressEvent& V) { FOnProgress = V; }
  const TBeginColumnEvent& OnBeginColumn() const { return FOnBeginColumn; }
  void SetOnBeginColumn(const TBeginColumnEvent& V) { FOnBeginColumn = V; }
  const TPrintColumnEvent& OnPrintColumn() const { return FOnPrintColumn; }
  void SetOnPrintColumn(const TPrintColumnEvent& V) { FOnPrintColumn = V; }
  const TManualBuildEvent& OnManualBuild() const { return FOnManualBuild; }
  void SetOnManualBuild(const TManualBuildEvent& V) { FOnManualBuild = V; }
  const TObjectClickEvent& OnObjectClick() const { return FOnObjectClick; }
  void SetOnObjectClick(const TObjectClickEvent& V) { FOnObjectClick = V; }
  const TMouseOverObjectEvent& OnMouseOverObject() const { return FOnMouseOverObject; }
  void SetOnMouseOverObject(const TMouseOverObjectEvent& V) { FOnMouseOverObject = V; }
  const TPrintReportEvent& OnPrintReport() const { return FOnPrintReport; }
  void SetOnPrintReport(const TPrintReportEvent& V) { FOnPrintReport = V; }
  const TNotifyEvent& OnCustomizeObject() const { return FOnCustomizeObject; }
  void SetOnCustomizeObject(const TNotifyEvent& V) { FOnCustomizeObject = V; }

  // The definition bytes the form property held (only with StoreInDFM), kept until Loaded.
  const TBytes& StoredForm() const { return FStoredForm; }
  void SetStoredForm(const TBytes& Value) { FStoredForm = Value; }

  // "ReportForm": the format number, then (with StoreInDFM) the definition's size and bytes.
  void DefineProperties(TFiler* Filer) override;
  void Loaded() override;

  // The first seven buttons, page setup off.
  static TfrPreviewButtons DefaultPreviewButtons();

  // ---- run state and information
  String PageList;
  int Copies = 1;
  bool Collate = true;
  int PrintPages = 0;
  int CurrentPage = 0;
  bool SavedTwoPass = false;
  String PrinterName;
  bool RebuildAllowed = true;
  bool Terminated = false;
  Word UseDefaultPrinter = 0;
  // Selects the newer XML format for the page section; written with the rendering.
  bool SaveInNewFormat = false;
  Word TwoPass = 0;
  bool FinalPass = false;
  String FileName;
  String InfoComment, InfoName, InfoAuthor, InfoVersionMajor, InfoVersionMinor, InfoVersionRelease,
      InfoVersionBuild;
  double InfoCreateDate = 0, InfoLastChange = 0;
  bool PasswordProtected = false;
  String ReportPassword;
  Byte GeneratorVersion = 88;

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  void ReadReportForm(TStream* Stream);
  void WriteReportForm(TStream* Stream);
  void ReadPageSection(TStream* Stream);
  void WritePageSection(TStream* Stream);
  void ReadInfo(TStream* Stream);
  void WriteInfo(TStream* Stream);
  void ReadObjectRecord(TStream* Stream, int Tag);
  void LeaveOneEmptyPage();
  void NamePage(TfrPage* Page);
  bool AskPassword();

  std::unique_ptr<TfrPages> FPages;
  std::unique_ptr<TfrEMFPages> FPreparedPages;
  TfrProgressForm* FProgressForm = nullptr;
  String FProgressPrefix;
  // Runs Work directly (OnProgress assigned or ShowProgress off) or inside the modal progress
  // window; false when the window was cancelled.
  bool RunWithProgress(const String& Prefix, const std::function<void()>& Work);
  void BuildPasses();
  std::unique_ptr<TfrDataDictionary> FDictionary;
  TfrDataset* FDataset = nullptr;
  int FDefaultCopies = 1;
  bool FDefaultCollate = true;
  bool FGrayedButtons = false;
  TfrPreviewZoom FInitialZoom = TfrPreviewZoom::pzDefault;
  bool FMDIPreview = false;
  bool FModalPreview = true;
  bool FModifyPrepared = true;
  TfrPreviewButtons FPreviewButtons = DefaultPreviewButtons();
  bool FPrintIfEmpty = true;
  TfrReportType FReportType = TfrReportType::rtSimple;
  bool FShowPrintDialog = true;
  bool FShowProgress = true;
  bool FStoreInDFM = false;
  String FTitle;
  bool FRebuildPrinter = false;
  bool FUseDefaultDataSetName = false;
  TBytes FStoredForm;

  TBeginDocEvent FOnBeginDoc;
  TEndDocEvent FOnEndDoc;
  TBeginPageEvent FOnBeginPage;
  TEndPageEvent FOnEndPage;
  TBeginBandEvent FOnBeginBand;
  TEndBandEvent FOnEndBand;
  TDetailEvent FOnGetValue;
  TEnterRectEvent FOnBeforePrint;
  TFunctionEvent FOnUserFunction;
  TProgressEvent FOnProgress;
  TBeginColumnEvent FOnBeginColumn;
  TPrintColumnEvent FOnPrintColumn;
  TManualBuildEvent FOnManualBuild;
  TObjectClickEvent FOnObjectClick;
  TMouseOverObjectEvent FOnMouseOverObject;
  TPrintReportEvent FOnPrintReport;
  TNotifyEvent FOnCustomizeObject;
};

// ================================================================ the globals

// The engine's shared services, created in this order and freed together. One instance is
// current at a time: the first use creates one for the process; tests create their own.
// The optional compression step of prepared-report files: the file's flag byte is Enabled,
// and the writer and reader pass each page's bytes through Compress and DeCompress. This
// class has no method of its own: Enabled stays off and both directions leave the
// destination as it is, so pages are stored as they are. A real method derives from it
// and takes the global one's place.
class TfrCompressor : public TObject {
public:
  TfrCompressor() = default;
  ~TfrCompressor() override = default;
  virtual void Compress(TStream* Source, TStream* Destination);
  virtual void DeCompress(TStream* Source, TStream* Destination);

  bool Enabled = false;
};

class TfrGlobals : public TObject {
public:
  TfrGlobals();
  ~TfrGlobals() override;

  static TfrGlobals* Instance();  // the current one, created on first use

  std::vector<String> BandKindNames;  // 23
  std::vector<String> BooleanFormats, DateFormats, TimeFormats;  // 4 each
  std::unique_ptr<TStringList> WrapList;
  std::unique_ptr<TBitmap> CheckerBitmap;
  std::unique_ptr<TBitmap> WorkBitmap;
  TCanvas* WorkCanvas() const;
  std::unique_ptr<TfrParser> Parser;
  std::unique_ptr<TInterpretator> Interpretator;
  std::unique_ptr<TfrVariables> ScriptVariables;
  std::unique_ptr<TfrVariables> ScriptConstants;
  std::vector<TfrFunctionDesc> FunctionDescriptions;  // of the registered libraries
  TfrInstalledFunctions InstalledFunctions;  // over FunctionDescriptions
  std::unique_ptr<TfrCompressor> Compressor;
  std::vector<TObject*> NotificationList;  // objects told of a run's events; not owned
  // The hidden form named "DialogForm" at (-100, -100), 10 x 10, that hosts dialog controls
  // outside a run; made when first asked for, so that a program that never shows a dialog
  // page has no extra window.
  TForm* DialogForm();

private:
  TfrGlobals* FPrevious;
  std::unique_ptr<TForm> FDialogForm;
};
