#pragma once
// The report component and what a program places beside it: the base of the report object
// tree, report data sets bound to the program's datasets, the four option objects and the
// data-set list of a report, and TfrxReport itself with its settings.
//
// This is the part of the report library a data module holds and streams. A report keeps its
// pages as the .fr3 elements its layout stores (StoredPages) until the definition reader and
// the engine run them; LoadFromFile clears the report and, for a file that exists, raises
// EfrxFormatError because the definition format cannot be read yet.
#include "core/Classes.h"
#include "core/Component.h"
#include "data/DB.h"
#include "core/Exceptions.h"
#include "gui/Graphics.h"

#include <memory>
#include <vector>

class TfrxReport;
class TfrxDataSet;

// A report definition that cannot be read.
KELM_EXCEPTION(EfrxFormatError, Exception);

KELM_ENUM(TfrxRestriction, rfDontModify, rfDontSize, rfDontMove, rfDontDelete)
using TfrxRestrictions = TSet<TfrxRestriction>;

// ================================================================ the object tree

// A node of a report: parent and children, bounds in pixels, a font children may inherit.
// Created with a report object as owner, it becomes that object's child and is owned by the
// nearest report above it; created with any other owner it has no parent.
class TfrxComponent : public TComponent {
  KELM_CLASS(TfrxComponent, TComponent)
public:
  explicit TfrxComponent(TComponent* AOwner);
  ~TfrxComponent() override;

  TfrxComponent* Parent() const { return FParent; }
  virtual void SetParent(TfrxComponent* Value);
  int ObjectCount() const { return static_cast<int>(FObjects.size()); }
  TfrxComponent* Objects(int Index) const;

  Extended Left() const { return FLeft; }
  virtual void SetLeft(Extended Value) { FLeft = Value; }
  Extended Top() const { return FTop; }
  virtual void SetTop(Extended Value) { FTop = Value; }
  Extended Width() const { return FWidth; }
  virtual void SetWidth(Extended Value) { FWidth = Value; }
  Extended Height() const { return FHeight; }
  virtual void SetHeight(Extended Value) { FHeight = Value; }
  void SetBounds(Extended ALeft, Extended ATop, Extended AWidth, Extended AHeight);

  TFont* Font() const { return FFont.get(); }
  void SetFont(TFont* Value) { FFont->Assign(Value); }
  bool ParentFont() const { return FParentFont; }
  void SetParentFont(bool Value) { FParentFont = Value; }
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value) { FVisible = Value; }
  int GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int Value) { FGroupIndex = Value; }
  TfrxRestrictions Restrictions() const { return FRestrictions; }
  void SetRestrictions(TfrxRestrictions Value) { FRestrictions = Value; }
  // The class name without its first "Tfrx" and its first "View": the stem of new names.
  String BaseName() const;

  // This object or the nearest report above it; nullptr when there is none.
  TfrxReport* FindParentReport() const;
  // The first object below this one (at any depth) of that name, compared without case.
  TfrxComponent* FindObject(const String& AName) const;
  // Frees the children.
  virtual void Clear();

private:
  static TComponent* PlatformOwner(TComponent* AOwner);
  void CollectObjects(std::vector<TfrxComponent*>& List) const;

  TfrxComponent* FParent = nullptr;
  std::vector<TfrxComponent*> FObjects;
  Extended FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
  std::unique_ptr<TFont> FFont;
  bool FParentFont = true;
  bool FVisible = true;
  int FGroupIndex = 0;
  TfrxRestrictions FRestrictions;
};

// What every printable object has besides the tree.
class TfrxReportComponent : public TfrxComponent {
  KELM_CLASS(TfrxReportComponent, TfrxComponent)
  template <class B> static void Published(B& b) {
    b.Prop("Description", &TfrxReportComponent::Description, &TfrxReportComponent::SetDescription);
  }
public:
  explicit TfrxReportComponent(TComponent* AOwner) : TfrxComponent(AOwner) {}
  const String& Description() const { return FDescription; }
  void SetDescription(const String& Value) { FDescription = Value; }

private:
  String FDescription;
};

// An object that stands for a non-visual component of the program (data sets).
class TfrxDialogComponent : public TfrxReportComponent {
  KELM_CLASS(TfrxDialogComponent, TfrxReportComponent)
public:
  explicit TfrxDialogComponent(TComponent* AOwner);
};

// ================================================================ data sets

KELM_ENUM(TfrxRangeBegin, rbFirst, rbCurrent)
KELM_ENUM(TfrxRangeEnd, reLast, reCurrent, reCount)
KELM_EVENT(TfrxCheckEOFEvent, void(TObject* Sender, bool& Eof));

// Records as a report reads them, under the name reports know the data set by (UserName).
// Every data set is in the process-wide list that reports look names up in.
class TfrxDataSet : public TfrxDialogComponent {
  KELM_CLASS(TfrxDataSet, TfrxDialogComponent)
  template <class B> static void Published(B& b) {
    b.Prop("Enabled", &TfrxDataSet::Enabled, &TfrxDataSet::SetEnabled).Default(true);
    b.Prop("RangeBegin", &TfrxDataSet::RangeBegin, &TfrxDataSet::SetRangeBegin).Default(rbFirst);
    b.Prop("RangeEnd", &TfrxDataSet::RangeEnd, &TfrxDataSet::SetRangeEnd).Default(reLast);
    b.Prop("RangeEndCount", &TfrxDataSet::RangeEndCount, &TfrxDataSet::SetRangeEndCount).Default(0);
    b.Prop("UserName", &TfrxDataSet::UserName, &TfrxDataSet::SetUserName);
    b.Prop("OnCheckEOF", &TfrxDataSet::OnCheckEOF, &TfrxDataSet::SetOnCheckEOF);
    b.Prop("OnFirst", &TfrxDataSet::OnFirst, &TfrxDataSet::SetOnFirst);
    b.Prop("OnNext", &TfrxDataSet::OnNext, &TfrxDataSet::SetOnNext);
    b.Prop("OnPrior", &TfrxDataSet::OnPrior, &TfrxDataSet::SetOnPrior);
  }
public:
  explicit TfrxDataSet(TComponent* AOwner);
  ~TfrxDataSet() override;

  // Published properties.
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value) { FEnabled = Value; }
  TfrxRangeBegin RangeBegin() const { return FRangeBegin; }
  void SetRangeBegin(TfrxRangeBegin Value) { FRangeBegin = Value; }
  TfrxRangeEnd RangeEnd() const { return FRangeEnd; }
  void SetRangeEnd(TfrxRangeEnd Value) { FRangeEnd = Value; }
  int RangeEndCount() const { return FRangeEndCount; }
  void SetRangeEndCount(int Value) { FRangeEndCount = Value; }
  const String& UserName() const { return FUserName; }
  // EPropertyError "Invalid property value" for a name that is empty after trimming.
  virtual void SetUserName(const String& Value);
  const TfrxCheckEOFEvent& OnCheckEOF() const { return FOnCheckEOF; }
  void SetOnCheckEOF(const TfrxCheckEOFEvent& Value) { FOnCheckEOF = Value; }
  const TNotifyEvent& OnFirst() const { return FOnFirst; }
  void SetOnFirst(const TNotifyEvent& Value) { FOnFirst = Value; }
  const TNotifyEvent& OnNext() const { return FOnNext; }
  void SetOnNext(const TNotifyEvent& Value) { FOnNext = Value; }
  const TNotifyEvent& OnPrior() const { return FOnPrior; }
  void SetOnPrior(const TNotifyEvent& Value) { FOnPrior = Value; }

  // The user name follows the component name while it has not been given one of its own.
  void SetName(const String& Value) override;

  // The names of the fields this data set offers; the base offers none.
  virtual void GetFieldList(TStrings* List);
  int FieldsCount();
  bool HasField(const String& FieldName);

  // The first data set (in creation order) whose user name matches without regard to case and
  // that no report other than AReport owns; Default when none does, nullptr for an empty name.
  static TfrxDataSet* FindByUserName(TfrxDataSet* Default, const String& AName, TfrxReport* AReport);
  // Every data set of the process, in creation order.
  static std::vector<TfrxDataSet*> GlobalDataSets();

private:
  bool FEnabled = true;
  TfrxRangeBegin FRangeBegin = rbFirst;
  TfrxRangeEnd FRangeEnd = reLast;
  int FRangeEndCount = 0;
  String FUserName;
  TfrxCheckEOFEvent FOnCheckEOF;
  TNotifyEvent FOnFirst, FOnNext, FOnPrior;
};

// A data set over the fields of a dataset of the program, with field aliases.
class TfrxCustomDBDataSet : public TfrxDataSet {
  KELM_CLASS(TfrxCustomDBDataSet, TfrxDataSet)
  template <class B> static void Published(B& b) {
    b.Prop("CloseDataSource", &TfrxCustomDBDataSet::CloseDataSource, &TfrxCustomDBDataSet::SetCloseDataSource)
        .NoDefault();
    b.Prop("FieldAliases", &TfrxCustomDBDataSet::FieldAliases, &TfrxCustomDBDataSet::SetFieldAliases);
    b.Prop("OpenDataSource", &TfrxCustomDBDataSet::OpenDataSource, &TfrxCustomDBDataSet::SetOpenDataSource)
        .Default(true);
    b.Prop("OnClose", &TfrxCustomDBDataSet::OnClose, &TfrxCustomDBDataSet::SetOnClose);
    b.Prop("OnOpen", &TfrxCustomDBDataSet::OnOpen, &TfrxCustomDBDataSet::SetOnOpen);
  }
public:
  explicit TfrxCustomDBDataSet(TComponent* AOwner);
  ~TfrxCustomDBDataSet() override;

  // Published properties.
  bool CloseDataSource() const { return FCloseDataSource; }
  void SetCloseDataSource(bool Value) { FCloseDataSource = Value; }
  // Lines "field=alias"; a field whose name begins with "-" is hidden.
  TStrings* FieldAliases() const { return FFieldAliases.get(); }
  void SetFieldAliases(TStrings* Value) { FFieldAliases->Assign(Value); }
  // Stored for layouts; the data set is opened when a report needs it whatever this says.
  bool OpenDataSource() const { return FOpenDataSource; }
  void SetOpenDataSource(bool Value) { FOpenDataSource = Value; }
  const TNotifyEvent& OnClose() const { return FOnClose; }
  void SetOnClose(const TNotifyEvent& Value) { FOnClose = Value; }
  const TNotifyEvent& OnOpen() const { return FOnOpen; }
  void SetOnOpen(const TNotifyEvent& Value) { FOnOpen = Value; }

  // The field an alias stands for: the field part of the first line whose alias matches
  // without regard to case, else the alias itself.
  String RealFieldName(const String& Alias) const;
  // The visible aliases when there are any, else the fields of the program's dataset.
  void GetFieldList(TStrings* List) override;

protected:
  // The dataset whose fields are offered; nullptr when there is none.
  virtual TDataSet* SourceDataSet() const { return nullptr; }

private:
  bool FCloseDataSource = false;
  std::unique_ptr<TStringList> FFieldAliases;
  bool FOpenDataSource = true;
  TNotifyEvent FOnClose, FOnOpen;
};

// A report data set bound to one dataset of the program, directly or through a data source;
// setting one of the two clears the other.
class TfrxDBDataset : public TfrxCustomDBDataSet {
  KELM_CLASS(TfrxDBDataset, TfrxCustomDBDataSet)
  template <class B> static void Published(B& b) {
    b.Prop("DataSet", &TfrxDBDataset::DataSet, &TfrxDBDataset::SetDataSet).Stored(&TfrxDBDataset::LinksStored);
    b.Prop("DataSource", &TfrxDBDataset::DataSource, &TfrxDBDataset::SetDataSource)
        .Stored(&TfrxDBDataset::LinksStored);
  }
public:
  explicit TfrxDBDataset(TComponent* AOwner) : TfrxCustomDBDataSet(AOwner) {}
  ~TfrxDBDataset() override;

  // Published properties.
  TDataSet* DataSet() const { return FLinks.DataSet(); }
  void SetDataSet(TDataSet* Value) { FLinks.SetDataSet(Value); }
  TDataSource* DataSource() const { return FLinks.DataSource(); }
  void SetDataSource(TDataSource* Value) { FLinks.SetDataSource(Value); }

  // DataSet, else the data source's dataset, else nullptr.
  TDataSet* EffectiveDataSet() const;
  bool IsActive() const;

protected:
  TDataSet* SourceDataSet() const override { return EffectiveDataSet(); }
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  bool LinksStored() const;
  TDataSetOrSource FLinks{this};
};

// ================================================================ report options

KELM_ENUM(TfrxSilentMode, simMessageBoxes, simSilent, simReThrow)

// How the engine runs a report.
class TfrxEngineOptions : public TPersistent {
  KELM_CLASS(TfrxEngineOptions, TPersistent)
  template <class B> static void Published(B& b) {
    b.Prop("ConvertNulls", &TfrxEngineOptions::ConvertNulls, &TfrxEngineOptions::SetConvertNulls).Default(true);
    b.Prop("DoublePass", &TfrxEngineOptions::DoublePass, &TfrxEngineOptions::SetDoublePass).Default(false);
    b.Prop("MaxMemSize", &TfrxEngineOptions::MaxMemSize, &TfrxEngineOptions::SetMaxMemSize).Default(10);
    b.Prop("PrintIfEmpty", &TfrxEngineOptions::PrintIfEmpty, &TfrxEngineOptions::SetPrintIfEmpty).Default(true);
    b.Prop("SilentMode", &TfrxEngineOptions::SilentMode, &TfrxEngineOptions::SetSilentMode).Default(false);
    b.Prop("NewSilentMode", &TfrxEngineOptions::NewSilentMode, &TfrxEngineOptions::SetNewSilentMode)
        .Default(simMessageBoxes);
    b.Prop("TempDir", &TfrxEngineOptions::TempDir, &TfrxEngineOptions::SetTempDir);
    b.Prop("UseFileCache", &TfrxEngineOptions::UseFileCache, &TfrxEngineOptions::SetUseFileCache).Default(false);
  }
public:
  TfrxEngineOptions() = default;
  void Assign(TPersistent* Source) override;
  // Resets ConvertNulls and DoublePass only.
  void Clear();

  bool ConvertNulls() const { return FConvertNulls; }
  void SetConvertNulls(bool Value) { FConvertNulls = Value; }
  bool DoublePass() const { return FDoublePass; }
  void SetDoublePass(bool Value) { FDoublePass = Value; }
  int MaxMemSize() const { return FMaxMemSize; }
  void SetMaxMemSize(int Value) { FMaxMemSize = Value; }
  bool PrintIfEmpty() const { return FPrintIfEmpty; }
  void SetPrintIfEmpty(bool Value) { FPrintIfEmpty = Value; }
  // Another view of NewSilentMode: reads True for simSilent only.
  bool SilentMode() const { return FNewSilentMode == simSilent; }
  void SetSilentMode(bool Value) { FNewSilentMode = Value ? simSilent : simMessageBoxes; }
  TfrxSilentMode NewSilentMode() const { return FNewSilentMode; }
  void SetNewSilentMode(TfrxSilentMode Value) { FNewSilentMode = Value; }
  const String& TempDir() const { return FTempDir; }
  void SetTempDir(const String& Value) { FTempDir = Value; }
  bool UseFileCache() const { return FUseFileCache; }
  void SetUseFileCache(bool Value) { FUseFileCache = Value; }
  bool ReloadAfterRun() const { return FReloadAfterRun; }
  void SetReloadAfterRun(bool Value) { FReloadAfterRun = Value; }

private:
  bool FConvertNulls = true;
  bool FDoublePass = false;
  int FMaxMemSize = 10;
  bool FPrintIfEmpty = true;
  TfrxSilentMode FNewSilentMode = simMessageBoxes;
  String FTempDir;
  bool FUseFileCache = false;
  bool FReloadAfterRun = true;
};

KELM_ENUM(TfrxPreviewButton, pbPrint, pbLoad, pbSave, pbExport, pbZoom, pbFind, pbOutline, pbPageSetup, pbTools,
          pbEdit, pbNavigator, pbExportQuick, pbNoClose)
using TfrxPreviewButtons = TSet<TfrxPreviewButton>;
KELM_ENUM(TfrxZoomMode, zmDefault, zmWholePage, zmPageWidth, zmManyPages)

// How the preview window looks.
class TfrxPreviewOptions : public TPersistent {
  KELM_CLASS(TfrxPreviewOptions, TPersistent)
  template <class B> static void Published(B& b) {
    b.Prop("AllowEdit", &TfrxPreviewOptions::AllowEdit, &TfrxPreviewOptions::SetAllowEdit).Default(true);
    // No declared default: every definition states its buttons.
    b.Prop("Buttons", &TfrxPreviewOptions::Buttons, &TfrxPreviewOptions::SetButtons).NoDefault();
    b.Prop("DoubleBuffered", &TfrxPreviewOptions::DoubleBuffered, &TfrxPreviewOptions::SetDoubleBuffered)
        .Default(true);
    b.Prop("Maximized", &TfrxPreviewOptions::Maximized, &TfrxPreviewOptions::SetMaximized).Default(true);
    b.Prop("MDIChild", &TfrxPreviewOptions::MDIChild, &TfrxPreviewOptions::SetMDIChild).Default(false);
    b.Prop("Modal", &TfrxPreviewOptions::Modal, &TfrxPreviewOptions::SetModal).Default(true);
    b.Prop("OutlineExpand", &TfrxPreviewOptions::OutlineExpand, &TfrxPreviewOptions::SetOutlineExpand).Default(true);
    b.Prop("OutlineVisible", &TfrxPreviewOptions::OutlineVisible, &TfrxPreviewOptions::SetOutlineVisible)
        .Default(false);
    b.Prop("OutlineWidth", &TfrxPreviewOptions::OutlineWidth, &TfrxPreviewOptions::SetOutlineWidth).Default(120);
    b.Prop("ShowCaptions", &TfrxPreviewOptions::ShowCaptions, &TfrxPreviewOptions::SetShowCaptions).Default(false);
    b.Prop("Zoom", &TfrxPreviewOptions::Zoom, &TfrxPreviewOptions::SetZoom);
    b.Prop("ZoomMode", &TfrxPreviewOptions::ZoomMode, &TfrxPreviewOptions::SetZoomMode).Default(zmDefault);
  }
public:
  TfrxPreviewOptions() = default;
  void Assign(TPersistent* Source) override;
  // Resets the three outline settings only.
  void Clear();
  // Every button but pbNoClose.
  static TfrxPreviewButtons AllButtons();

  bool AllowEdit() const { return FAllowEdit; }
  void SetAllowEdit(bool Value) { FAllowEdit = Value; }
  TfrxPreviewButtons Buttons() const { return FButtons; }
  void SetButtons(TfrxPreviewButtons Value) { FButtons = Value; }
  bool DoubleBuffered() const { return FDoubleBuffered; }
  void SetDoubleBuffered(bool Value) { FDoubleBuffered = Value; }
  bool Maximized() const { return FMaximized; }
  void SetMaximized(bool Value) { FMaximized = Value; }
  bool MDIChild() const { return FMDIChild; }
  void SetMDIChild(bool Value) { FMDIChild = Value; }
  bool Modal() const { return FModal; }
  void SetModal(bool Value) { FModal = Value; }
  bool OutlineExpand() const { return FOutlineExpand; }
  void SetOutlineExpand(bool Value) { FOutlineExpand = Value; }
  bool OutlineVisible() const { return FOutlineVisible; }
  void SetOutlineVisible(bool Value) { FOutlineVisible = Value; }
  int OutlineWidth() const { return FOutlineWidth; }
  void SetOutlineWidth(int Value) { FOutlineWidth = Value; }
  bool ShowCaptions() const { return FShowCaptions; }
  void SetShowCaptions(bool Value) { FShowCaptions = Value; }
  Extended Zoom() const { return FZoom; }
  void SetZoom(Extended Value) { FZoom = Value; }
  TfrxZoomMode ZoomMode() const { return FZoomMode; }
  void SetZoomMode(TfrxZoomMode Value) { FZoomMode = Value; }

private:
  bool FAllowEdit = true;
  TfrxPreviewButtons FButtons = AllButtons();
  bool FDoubleBuffered = true;
  bool FMaximized = true;
  bool FMDIChild = false;
  bool FModal = true;
  bool FOutlineExpand = true;
  bool FOutlineVisible = false;
  int FOutlineWidth = 120;
  bool FShowCaptions = false;
  Extended FZoom = 1;
  TfrxZoomMode FZoomMode = zmDefault;
};

KELM_ENUM(TfrxPrintPages, ppAll, ppOdd, ppEven)

// How printing starts.
class TfrxPrintOptions : public TPersistent {
  KELM_CLASS(TfrxPrintOptions, TPersistent)
  template <class B> static void Published(B& b) {
    b.Prop("Copies", &TfrxPrintOptions::Copies, &TfrxPrintOptions::SetCopies).Default(1);
    b.Prop("Collate", &TfrxPrintOptions::Collate, &TfrxPrintOptions::SetCollate).Default(true);
    b.Prop("PageNumbers", &TfrxPrintOptions::PageNumbers, &TfrxPrintOptions::SetPageNumbers);
    b.Prop("Printer", &TfrxPrintOptions::Printer, &TfrxPrintOptions::SetPrinter);
    b.Prop("PrintPages", &TfrxPrintOptions::PrintPages, &TfrxPrintOptions::SetPrintPages).Default(ppAll);
    b.Prop("Reverse", &TfrxPrintOptions::Reverse, &TfrxPrintOptions::SetReverse).Default(false);
    b.Prop("ShowDialog", &TfrxPrintOptions::ShowDialog, &TfrxPrintOptions::SetShowDialog).Default(true);
  }
public:
  TfrxPrintOptions() = default;
  void Assign(TPersistent* Source) override;
  // Back to the values of a new object.
  void Clear();
  // The name under which the printer list shows the system's default printer.
  static const char* const DefaultPrinterName;  // "预设"

  int Copies() const { return FCopies; }
  void SetCopies(int Value) { FCopies = Value; }
  bool Collate() const { return FCollate; }
  void SetCollate(bool Value) { FCollate = Value; }
  const String& PageNumbers() const { return FPageNumbers; }
  void SetPageNumbers(const String& Value) { FPageNumbers = Value; }
  const String& Printer() const { return FPrinter; }
  void SetPrinter(const String& Value) { FPrinter = Value; }
  TfrxPrintPages PrintPages() const { return FPrintPages; }
  void SetPrintPages(TfrxPrintPages Value) { FPrintPages = Value; }
  bool Reverse() const { return FReverse; }
  void SetReverse(bool Value) { FReverse = Value; }
  bool ShowDialog() const { return FShowDialog; }
  void SetShowDialog(bool Value) { FShowDialog = Value; }

private:
  int FCopies = 1;
  bool FCollate = true;
  String FPageNumbers;
  String FPrinter = DefaultPrinterName;
  TfrxPrintPages FPrintPages = ppAll;
  bool FReverse = false;
  bool FShowDialog = true;
};

// What describes a report: author, dates, version, password.
class TfrxReportOptions : public TPersistent {
  KELM_CLASS(TfrxReportOptions, TPersistent)
  template <class B> static void Published(B& b) {
    b.Prop("Author", &TfrxReportOptions::Author, &TfrxReportOptions::SetAuthor);
    b.Prop("Compressed", &TfrxReportOptions::Compressed, &TfrxReportOptions::SetCompressed).Default(false);
    b.Prop("ConnectionName", &TfrxReportOptions::ConnectionName, &TfrxReportOptions::SetConnectionName);
    b.Prop("CreateDate", &TfrxReportOptions::CreateDate, &TfrxReportOptions::SetCreateDate).Type("TDateTime");
    b.Prop("Description", &TfrxReportOptions::Description, &TfrxReportOptions::SetDescription);
    b.Prop("InitString", &TfrxReportOptions::InitString, &TfrxReportOptions::SetInitString);
    b.Prop("Name", &TfrxReportOptions::Name, &TfrxReportOptions::SetName);
    b.Prop("LastChange", &TfrxReportOptions::LastChange, &TfrxReportOptions::SetLastChange).Type("TDateTime");
    b.Prop("Password", &TfrxReportOptions::Password, &TfrxReportOptions::SetPassword);
    b.Prop("VersionBuild", &TfrxReportOptions::VersionBuild, &TfrxReportOptions::SetVersionBuild);
    b.Prop("VersionMajor", &TfrxReportOptions::VersionMajor, &TfrxReportOptions::SetVersionMajor);
    b.Prop("VersionMinor", &TfrxReportOptions::VersionMinor, &TfrxReportOptions::SetVersionMinor);
    b.Prop("VersionRelease", &TfrxReportOptions::VersionRelease, &TfrxReportOptions::SetVersionRelease);
  }
public:
  explicit TfrxReportOptions(TfrxReport* AReport = nullptr);
  ~TfrxReportOptions() override;
  void Assign(TPersistent* Source) override;
  // Back to the values of a new object (both dates now); forgets the accepted password.
  void Clear();

  const String& Author() const { return FAuthor; }
  void SetAuthor(const String& Value) { FAuthor = Value; }
  bool Compressed() const { return FCompressed; }
  void SetCompressed(bool Value) { FCompressed = Value; }
  const String& ConnectionName() const { return FConnectionName; }
  void SetConnectionName(const String& Value) { FConnectionName = Value; }
  TDateTime CreateDate() const { return FCreateDate; }
  void SetCreateDate(TDateTime Value) { FCreateDate = Value; }
  TStrings* Description() const { return FDescription.get(); }
  void SetDescription(TStrings* Value) { FDescription->Assign(Value); }
  const String& InitString() const { return FInitString; }
  void SetInitString(const String& Value) { FInitString = Value; }
  const String& Name() const { return FName; }
  void SetName(const String& Value) { FName = Value; }
  TDateTime LastChange() const { return FLastChange; }
  void SetLastChange(TDateTime Value) { FLastChange = Value; }
  const String& Password() const { return FPassword; }
  void SetPassword(const String& Value) { FPassword = Value; }
  const String& VersionBuild() const { return FVersionBuild; }
  void SetVersionBuild(const String& Value) { FVersionBuild = Value; }
  const String& VersionMajor() const { return FVersionMajor; }
  void SetVersionMajor(const String& Value) { FVersionMajor = Value; }
  const String& VersionMinor() const { return FVersionMinor; }
  void SetVersionMinor(const String& Value) { FVersionMinor = Value; }
  const String& VersionRelease() const { return FVersionRelease; }
  void SetVersionRelease(const String& Value) { FVersionRelease = Value; }
  // The password last accepted; not stored.
  const String& PrevPassword() const { return FPrevPassword; }
  void SetPrevPassword(const String& Value) { FPrevPassword = Value; }
  TfrxReport* Report() const { return FReport; }

private:
  TfrxReport* FReport;
  String FAuthor;
  bool FCompressed = false;
  String FConnectionName;
  TDateTime FCreateDate = 0;
  std::unique_ptr<TStringList> FDescription;
  String FInitString;
  String FName;
  TDateTime FLastChange = 0;
  String FPassword;
  String FVersionBuild, FVersionMajor, FVersionMinor, FVersionRelease;
  String FPrevPassword;
};

// ================================================================ the report's data-set list

// One data set a report uses. Writing DataSet takes its user name; writing DataSetName looks
// the name up among the data sets of the process and keeps the current one when none has it.
class TfrxDataSetItem : public TCollectionItem {
  KELM_CLASS(TfrxDataSetItem, TCollectionItem)
  template <class B> static void Published(B& b) {
    b.Prop("DataSet", &TfrxDataSetItem::DataSet, &TfrxDataSetItem::SetDataSet);
    b.Prop("DataSetName", &TfrxDataSetItem::DataSetName, &TfrxDataSetItem::SetDataSetName);
  }
public:
  explicit TfrxDataSetItem(TCollection* ACollection);

  TfrxDataSet* DataSet() const { return FDataSet; }
  void SetDataSet(TfrxDataSet* Value);
  String DataSetName() const;
  void SetDataSetName(const String& Value);
  TfrxReport* Report() const;

private:
  friend class TfrxReportDataSets;
  TfrxDataSet* FDataSet = nullptr;
  String FDataSetName;
};

class TfrxReportDataSets : public TCollection {
  KELM_CLASS(TfrxReportDataSets, TCollection)
public:
  explicit TfrxReportDataSets(TfrxReport* AReport);
  TfrxReport* Report() const { return FReport; }
  TPersistent* GetOwner() const override;

  TfrxDataSetItem* Items(int Index) const { return static_cast<TfrxDataSetItem*>(TCollection::Items(Index)); }
  TfrxDataSetItem* AddDataSet(TfrxDataSet* DataSet);
  // The first item holding that data set; nullptr when none does.
  TfrxDataSetItem* FindItemOf(TfrxDataSet* DataSet) const;
  // The first item whose data set's user name matches (ASCII case ignored); nullptr when none.
  TfrxDataSetItem* FindItemByName(const String& AName) const;

private:
  TfrxReport* FReport;
};

// ================================================================ the report

class TfrxReport : public TfrxComponent {
  KELM_CLASS(TfrxReport, TfrxComponent)
  template <class B> static void Published(B& b) {
    b.Prop("Version", &TfrxReport::Version, &TfrxReport::SetVersion);
    b.Prop("DataSet", &TfrxReport::DataSet, &TfrxReport::SetDataSet);
    b.Prop("DataSetName", &TfrxReport::DataSetName, &TfrxReport::SetDataSetName);
    b.Prop("DotMatrixReport", &TfrxReport::DotMatrixReport, &TfrxReport::SetDotMatrixReport).NoDefault();
    b.Prop("EngineOptions", &TfrxReport::EngineOptions, &TfrxReport::SetEngineOptions);
    b.Prop("IniFile", &TfrxReport::IniFile, &TfrxReport::SetIniFile);
    b.Prop("OldStyleProgress", &TfrxReport::OldStyleProgress, &TfrxReport::SetOldStyleProgress).Default(false);
    b.Prop("PreviewOptions", &TfrxReport::PreviewOptions, &TfrxReport::SetPreviewOptions);
    b.Prop("PrintOptions", &TfrxReport::PrintOptions, &TfrxReport::SetPrintOptions);
    b.Prop("ReportOptions", &TfrxReport::ReportOptions, &TfrxReport::SetReportOptions);
    b.Prop("ScriptLanguage", &TfrxReport::ScriptLanguage, &TfrxReport::SetScriptLanguage);
    b.Prop("ScriptText", &TfrxReport::ScriptText, &TfrxReport::SetScriptText);
    b.Prop("ShowProgress", &TfrxReport::ShowProgress, &TfrxReport::SetShowProgress).Default(true);
    b.Prop("StoreInDFM", &TfrxReport::StoreInDFM, &TfrxReport::SetStoreInDFM).Default(true);
    b.Prop("OnRunDialogs", &TfrxReport::OnRunDialogs, &TfrxReport::SetOnRunDialogs);
    b.Prop("OnStartReport", &TfrxReport::OnStartReport, &TfrxReport::SetOnStartReport);
    b.Prop("OnStopReport", &TfrxReport::OnStopReport, &TfrxReport::SetOnStopReport);
  }
public:
  explicit TfrxReport(TComponent* AOwner);
  ~TfrxReport() override;

  // The version the definitions written by this library carry.
  static const char* const LibraryVersion;  // "3.23.7"
  // Where report settings are kept unless IniFile says otherwise.
  static const char* const DefaultIniFile;  // "\Software\Zude Vizerav"

  // ---- published properties
  // Always LibraryVersion: the setter ignores what a definition says.
  String Version() const { return FVersion; }
  void SetVersion(const String&) { FVersion = LibraryVersion; }
  TfrxDataSet* DataSet() const { return FDataSet; }
  void SetDataSet(TfrxDataSet* Value);
  String DataSetName() const;
  void SetDataSetName(const String& Value);
  bool DotMatrixReport() const { return FDotMatrixReport; }
  void SetDotMatrixReport(bool Value) { FDotMatrixReport = Value; }
  TfrxEngineOptions* EngineOptions() const { return FEngineOptions.get(); }
  void SetEngineOptions(TfrxEngineOptions* Value) { FEngineOptions->Assign(Value); }
  const String& IniFile() const { return FIniFile; }
  void SetIniFile(const String& Value) { FIniFile = Value; }
  bool OldStyleProgress() const { return FOldStyleProgress; }
  void SetOldStyleProgress(bool Value) { FOldStyleProgress = Value; }
  TfrxPreviewOptions* PreviewOptions() const { return FPreviewOptions.get(); }
  void SetPreviewOptions(TfrxPreviewOptions* Value) { FPreviewOptions->Assign(Value); }
  TfrxPrintOptions* PrintOptions() const { return FPrintOptions.get(); }
  void SetPrintOptions(TfrxPrintOptions* Value) { FPrintOptions->Assign(Value); }
  TfrxReportOptions* ReportOptions() const { return FReportOptions.get(); }
  void SetReportOptions(TfrxReportOptions* Value) { FReportOptions->Assign(Value); }
  const String& ScriptLanguage() const { return FScriptLanguage; }
  void SetScriptLanguage(const String& Value) { FScriptLanguage = Value; }
  TStrings* ScriptText() const { return FScriptText.get(); }
  void SetScriptText(TStrings* Value) { FScriptText->Assign(Value); }
  bool ShowProgress() const { return FShowProgress; }
  void SetShowProgress(bool Value) { FShowProgress = Value; }
  bool StoreInDFM() const { return FStoreInDFM; }
  void SetStoreInDFM(bool Value) { FStoreInDFM = Value; }
  // Names of script procedures run at these moments.
  const String& OnRunDialogs() const { return FOnRunDialogs; }
  void SetOnRunDialogs(const String& Value) { FOnRunDialogs = Value; }
  const String& OnStartReport() const { return FOnStartReport; }
  void SetOnStartReport(const String& Value) { FOnStartReport = Value; }
  const String& OnStopReport() const { return FOnStopReport; }
  void SetOnStopReport(const String& Value) { FOnStopReport = Value; }

  // ---- further state
  // The data sets the report uses, stored as "Datasets".
  TfrxReportDataSets* DataSets() const { return FDataSets.get(); }
  // The report's pages as the .fr3 elements of its definition, stored as "StoredPages"; kept
  // as text so a layout loses nothing before the engine builds page objects from it.
  TStrings* StoredPages() const { return FStoredPages.get(); }
  // The errors of the last load (sorted, each once).
  TStrings* Errors() const { return FErrors.get(); }
  // The file of the last successful LoadFromFile; '' before and after a failed one.
  const String& FileName() const { return FFileName; }

  // Clears the report: pages, data sets, the stored definition, the data set, script and
  // language; resets the options as each option object's Clear says.
  void Clear() override;
  // Clears the report, then reads the file when it exists (or when ExceptionIfNotFound, which
  // makes a missing file raise EFOpenError). Returns whether the file existed. An existing file
  // raises EfrxFormatError: its definition cannot be read yet, and the report stays cleared.
  bool LoadFromFile(const String& AFileName, bool ExceptionIfNotFound = false);
  // Reads a definition from the stream's position; raises EfrxFormatError for now.
  void LoadFromStream(TStream* Stream);

  // The data set of the first list entry whose user name matches (ASCII case ignored).
  TfrxDataSet* GetDataset(const String& Alias) const;

  void DefineProperties(TFiler* Filer) override;

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  String FVersion = LibraryVersion;
  TfrxDataSet* FDataSet = nullptr;
  String FDataSetName;
  bool FDotMatrixReport = false;
  std::unique_ptr<TfrxEngineOptions> FEngineOptions;
  String FIniFile = DefaultIniFile;
  bool FOldStyleProgress = false;
  std::unique_ptr<TfrxPreviewOptions> FPreviewOptions;
  std::unique_ptr<TfrxPrintOptions> FPrintOptions;
  std::unique_ptr<TfrxReportOptions> FReportOptions;
  String FScriptLanguage;
  std::unique_ptr<TStringList> FScriptText;
  bool FShowProgress = true;
  bool FStoreInDFM = true;
  String FOnRunDialogs, FOnStartReport, FOnStopReport;
  std::unique_ptr<TfrxReportDataSets> FDataSets;
  std::unique_ptr<TStringList> FStoredPages;
  std::unique_ptr<TStringList> FErrors;
  String FFileName;
};
