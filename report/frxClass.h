#pragma once
// The report object model: the base of the report object tree, report data sets bound to the
// program's datasets, the four option objects and the data-set list of a report, frames and
// styles, and TfrxReport itself.
//
// A report is a tree of TfrxComponent objects (the report, its pages, bands and views) that
// the .fr3 serializer (frxXMLSerializer.h) reads and writes by the published properties of
// each class. A data module's layout carries a report's pages as .fr3 text (StoredPages): the
// report reads that text into page objects once every class it names is registered, and
// writes its pages back as that text.
#include "core/Classes.h"
#include "core/Component.h"
#include "data/DB.h"
#include "core/Exceptions.h"
#include "gui/Graphics.h"
#include "report/frxUtils.h"

#include <memory>
#include <unordered_map>
#include <vector>

class TControl;
class TCustomIniFile;
class TForm;
class TPicture;
class TWinControl;
class TfrxCustomDesigner;
class TfrxCustomPreview;
class TfrxDataSet;
class TfrxProgress;
class TTimer;
class TfrxDrawText;
class TfrxPage;
class TfrxReport;
class TfrxStyles;
class TfrxVariables;
class TfrxXMLSerializer;

// A report definition that cannot be read.
KELM_EXCEPTION(EfrxFormatError, Exception);

KELM_ENUM(TfrxRestriction, rfDontModify, rfDontSize, rfDontMove, rfDontDelete)
using TfrxRestrictions = TSet<TfrxRestriction>;

// The character set fonts of new report objects, highlights, pictures and styles take; 1 (the
// platform's default character set) at start.
extern TFontCharset DefaultCharset;

// Where a view places itself inside its parent (ArrangeAlignedChildren).
KELM_ENUM(TfrxAlign, baNone, baLeft, baRight, baCenter, baWidth, baBottom, baClient)

// ================================================================ the object tree

// Bounds kept around a print pass.
struct TfrxBounds {
  Extended Left = 0, Top = 0, Width = 0, Height = 0;
};

// A node of a report: parent and children, bounds in pixels, a font children may inherit,
// a name unique within its report.
//
// Created with a report object as owner, it becomes that object's child and is owned by the
// nearest report above it; created with any other owner it has no parent. Descendants publish
// the bounds, font and visibility that suit them; the base publishes nothing of its own.
class TfrxComponent : public TComponent {
  KELM_CLASS(TfrxComponent, TComponent)
public:
  explicit TfrxComponent(TComponent* AOwner);
  ~TfrxComponent() override;
  // The designer's constructor: the object is designing from its first moment. Flags are the
  // designer's insertion flags, unused here.
  static TfrxComponent* CreateForDesign(TClass Class, TComponent* AOwner, int Flags = 0);

  // ---- the tree
  TfrxComponent* Parent() const { return FParent; }
  // Moves the object to the end of the new parent's Objects; a child that inherits its font
  // takes the new parent's.
  virtual void SetParent(TfrxComponent* Value);
  int ObjectCount() const { return static_cast<int>(FObjects.size()); }
  TfrxComponent* Objects(int Index) const;
  // Every object below this one, depth first, each before its own children; rebuilt on each
  // call.
  const std::vector<TfrxComponent*>& AllObjects() const;
  // The engine's temporary and split bands list objects whose parent stays what it was: the
  // list is replaced as given, and given back (nothing freed) by UnlistObjects.
  void ListObjects(std::vector<TfrxComponent*> Objects) { FObjects = std::move(Objects); }
  std::vector<TfrxComponent*> UnlistObjects() {
    std::vector<TfrxComponent*> list;
    list.swap(FObjects);
    return list;
  }
  // This object or the nearest page above it; nullptr when there is none.
  TfrxPage* Page() const;
  // This object or the nearest report above it; nullptr when there is none.
  TfrxReport* FindParentReport() const;
  // The first object below this one (at any depth) of that name, ASCII case ignored.
  virtual TfrxComponent* FindObject(const String& AName) const;

  // ---- bounds, in pixels; while designing, Restrictions hold the setters back
  Extended Left() const { return FLeft; }
  virtual void SetLeft(Extended Value);
  Extended Top() const { return FTop; }
  virtual void SetTop(Extended Value);
  Extended Width() const { return FWidth; }
  virtual void SetWidth(Extended Value);
  Extended Height() const { return FHeight; }
  virtual void SetHeight(Extended Value);
  void SetBounds(Extended ALeft, Extended ATop, Extended AWidth, Extended AHeight);
  // Left and Top summed up the parents; a dialog page's objects count from the page.
  Extended AbsLeft() const;
  Extended AbsTop() const;

  // ---- font and visibility
  TFont* Font() const { return FFont.get(); }
  // Copies the font; the object stops inheriting.
  virtual void SetFont(TFont* Value);
  bool ParentFont() const { return FParentFont; }
  // True takes the parent's font first.
  virtual void SetParentFont(bool Value);
  bool Visible() const { return FVisible; }
  virtual void SetVisible(bool Value) { FVisible = Value; }
  int GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int Value) { FGroupIndex = Value; }
  TfrxRestrictions Restrictions() const { return FRestrictions; }
  void SetRestrictions(TfrxRestrictions Value) { FRestrictions = Value; }
  // Runs on every change of Font: this object stops inheriting, inheriting children follow.
  virtual void PropagateFont();

  // ---- state
  // Set for the objects the designer edits; the bounds setters honour Restrictions only then.
  bool IsDesigning() const { return FIsDesigning; }
  void SetIsDesigning(bool Value) { FIsDesigning = Value; }
  // Set while the serializer applies attributes to the object.
  bool IsLoading() const { return FIsLoading; }
  void SetIsLoading(bool Value) { FIsLoading = Value; }
  // Set by the prepared-page store around printing.
  bool IsPrinting() const { return FIsPrinting; }
  void SetIsPrinting(bool Value) { FIsPrinting = Value; }
  // Set while the serializer builds the object's attribute text: the report's collections
  // then stream in the .fr3 list form.
  bool IsWriting() const { return FIsWriting; }
  void SetIsWriting(bool Value) { FIsWriting = Value; }
  bool IsLoadingNow() const;
  // Whether prepared pages keep the complete attribute text of the object (views set it).
  bool StoreFullAttributes() const { return FStoreFullAttributes; }
  void SetStoreFullAttributes(bool Value) { FStoreFullAttributes = Value; }
  const TfrxBounds& SavedBounds() const { return FSavedBounds; }
  void SetSavedBounds(const TfrxBounds& Value) { FSavedBounds = Value; }

  // ---- names
  // The class name without its first "Tfrx" and its first "View": the stem of new names.
  virtual String BaseName() const;
  // BaseName followed by the smallest number 1, 2, 3 ... no object of the report has yet.
  void AssignNumberedName();
  // "Duplicate name" (key prDupl) when another object of the report has the name.
  void SetName(const String& Value) override;
  virtual String DisplayTypeName() const { return ClassName(); }

  // ---- copies and streaming
  // From a report object: its attributes without children (Assign) or with them (AssignAll),
  // through the .fr3 form; this object's children go. Other sources are ignored.
  void Assign(TPersistent* Source) override;
  void AssignAll(TfrxComponent* Source);
  // The complete .fr3 attribute text; with a reference, the base differences follow.
  String FullAttributes(TfrxComponent* Reference);
  // The attributes that differ from the reference, each after a blank (l t w h, Visible,
  // font parts, ParentFont, Tag).
  virtual String DiffAttributes(TfrxComponent* Reference);
  // Places the children that carry an Align property as they ask.
  virtual void ArrangeAlignedChildren();
  virtual void PrepareForRun() {}
  // Frees the children.
  virtual void Clear();
  // Reads the object from .fr3 text; its children go first, its own name stays, errors go to
  // the report's Errors.
  virtual void LoadFromStream(TStream* Stream);
  virtual void SaveToStream(TStream* Stream, bool SaveChildren = true, bool SaveDefaultValues = false);
  virtual void EngineNotify(TfrxComponent* Sender) {}
  virtual void AfterPaste() {}

  // ---- the text of text objects, which the serializer streams apart from the properties
  virtual bool IsTextObject() const { return false; }
  virtual WideString ObjectText() const { return WideString(); }
  virtual void SetObjectText(const WideString&) {}

protected:
  void ChangeName(const String& NewName) override;

private:
  static TComponent* PlatformOwner(TComponent* AOwner);
  void CollectObjects(std::vector<TfrxComponent*>& List) const;
  void FontChanged(TObject* Sender);
  bool Restricted(TfrxRestriction R) const { return FIsDesigning && FRestrictions.Contains(R); }

  TfrxComponent* FParent = nullptr;
  std::vector<TfrxComponent*> FObjects;
  mutable std::vector<TfrxComponent*> FAllObjects;
  Extended FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
  std::unique_ptr<TFont> FFont;
  bool FParentFont = true;
  bool FVisible = true;
  bool FIsDesigning = false;
  bool FIsLoading = false;
  bool FIsPrinting = false;
  bool FIsWriting = false;
  bool FStoreFullAttributes = false;
  int FGroupIndex = 0;
  TfrxRestrictions FRestrictions;
  TfrxBounds FSavedBounds;
};

// What every printable object has besides the tree: drawing, its bounds kept around a print
// pass, its value as text, and the objects the engine shifts with it.
class TfrxReportComponent : public TfrxComponent {
  KELM_CLASS(TfrxReportComponent, TfrxComponent)
  template <class B> static void Published(B& b) {
    b.Prop("Description", &TfrxReportComponent::Description, &TfrxReportComponent::SetDescription);
  }
public:
  explicit TfrxReportComponent(TComponent* AOwner);
  ~TfrxReportComponent() override;
  const String& Description() const { return FDescription; }
  void SetDescription(const String& Value) { FDescription = Value; }

  // Names of script procedures; the views publish them.
  const String& OnAfterData() const { return FOnAfterData; }
  void SetOnAfterData(const String& Value) { FOnAfterData = Value; }
  const String& OnAfterPrint() const { return FOnAfterPrint; }
  void SetOnAfterPrint(const String& Value) { FOnAfterPrint = Value; }
  const String& OnBeforePrint() const { return FOnBeforePrint; }
  void SetOnBeforePrint(const String& Value) { FOnBeforePrint = Value; }
  const String& OnPreviewClick() const { return FOnPreviewClick; }
  void SetOnPreviewClick(const String& Value) { FOnPreviewClick = Value; }
  // The objects that shift with this one; the engine fills it.
  std::vector<TfrxReportComponent*>& ShiftList() { return FShiftList; }
  // How much the object grew in the output being prepared; the engine passes it down.
  Extended ShiftAmount = 0;

  // Draws the object; Scale maps report pixels to target pixels, Offset is added after.
  virtual void DrawOnCanvas(TCanvas* Canvas, Extended ScaleX, Extended ScaleY, Extended OffsetX, Extended OffsetY) {}
  virtual void SaveStateForPrint();
  virtual void FetchData() {}
  virtual void RestoreStateAfterPrint();
  virtual String ComponentValueText() { return String(); }
  TfrxRect AbsoluteRect() const;

private:
  String FDescription;
  String FOnAfterData, FOnAfterPrint, FOnBeforePrint, FOnPreviewClick;
  std::vector<TfrxReportComponent*> FShiftList;
};

// An object that stands for a non-visual component of the program. It starts off every page
// (-10000, -10000); old definitions give its place as "pLeft"/"pTop", which are read, never
// written.
class TfrxDialogComponent : public TfrxReportComponent {
  KELM_CLASS(TfrxDialogComponent, TfrxReportComponent)
public:
  explicit TfrxDialogComponent(TComponent* AOwner);
  ~TfrxDialogComponent() override;
  // The program component the object stands for; owned.
  TComponent* WrappedComponent() const { return FWrappedComponent.get(); }
  void SetWrappedComponent(TComponent* Value) { FWrappedComponent.reset(Value); }
  void DefineProperties(TFiler* Filer) override;

private:
  std::unique_ptr<TComponent> FWrappedComponent;
};

// Pages are the children of a report (report pages, dialog pages); the page classes build on
// this.
class TfrxPage : public TfrxComponent {
  KELM_CLASS(TfrxPage, TfrxComponent)
  template <class B> static void Published(B& b) {
    b.Prop("Font", &TfrxPage::Font, &TfrxPage::SetFont);
    b.Prop("Visible", &TfrxPage::Visible, &TfrxPage::SetVisible).Default(true);
  }
public:
  explicit TfrxPage(TComponent* AOwner) : TfrxComponent(AOwner) {}
  // A dialog page places its objects on a window of its own: positions count from the page.
  virtual bool IsDialogPage() const { return false; }
  // That window; nullptr for other pages.
  virtual TWinControl* DialogForm() const { return nullptr; }
};

// An object that stands for a control of the program on a dialog page. The control mirrors
// the object: bounds (rounded), visibility, font and, while it shows the object's name, its
// caption. Its window parent is the control of a dialog control above, else the window of
// the dialog page, else the hidden parking form.
class TfrxDialogControl : public TfrxReportComponent {
  KELM_CLASS(TfrxDialogControl, TfrxReportComponent)
  template <class B> static void Published(B& b) {
    b.Prop("Left", &TfrxDialogControl::Left, &TfrxDialogControl::SetLeft);
    b.Prop("Top", &TfrxDialogControl::Top, &TfrxDialogControl::SetTop);
    b.Prop("Width", &TfrxDialogControl::Width, &TfrxDialogControl::SetWidth);
    b.Prop("Height", &TfrxDialogControl::Height, &TfrxDialogControl::SetHeight);
    b.Prop("Font", &TfrxDialogControl::Font, &TfrxDialogControl::SetFont).StoredUnless(&TfrxDialogControl::ParentFont);
    b.Prop("GroupIndex", &TfrxDialogControl::GroupIndex, &TfrxDialogControl::SetGroupIndex).Default(0);
    b.Prop("ParentFont", &TfrxDialogControl::ParentFont, &TfrxDialogControl::SetParentFont).Default(true);
    b.Prop("Enabled", &TfrxDialogControl::Enabled, &TfrxDialogControl::SetEnabled).Default(true);
    b.Prop("Visible", &TfrxDialogControl::Visible, &TfrxDialogControl::SetVisible).Default(true);
  }
public:
  explicit TfrxDialogControl(TComponent* AOwner);
  ~TfrxDialogControl() override;

  // The wrapped control; owned.
  TControl* Control() const { return FControl.get(); }
  // Takes the control over and places it; descendants call it from their constructor.
  void InitControl(TControl* AControl);

  String BaseName() const override;
  void SetLeft(Extended Value) override;
  void SetTop(Extended Value) override;
  void SetWidth(Extended Value) override;
  void SetHeight(Extended Value) override;
  void SetVisible(bool Value) override;
  void PropagateFont() override;
  void SetParentFont(bool Value) override;
  void SetParent(TfrxComponent* Value) override;
  void SetName(const String& Value) override;
  // The control painted into a bitmap at (AbsLeft, AbsTop); scale and offset do not apply.
  void DrawOnCanvas(TCanvas* Canvas, Extended ScaleX, Extended ScaleY, Extended OffsetX, Extended OffsetY) override;

  String Caption() const;
  void SetCaption(const String& Value);
  void SetColor(TColor Value);
  bool Enabled() const;
  void SetEnabled(bool Value);
  void SetFocus();

protected:
  // A window that frees the controls on it takes this one too: the object then lets go.
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  void PlaceControl();
  std::unique_ptr<TControl> FControl;
  bool FEnabled = true;
};

// The hidden form without owner that holds the controls of dialog controls outside any dialog
// page; made on first use, freed at the end with its controls taken off first.
TForm* DialogParkingForm();

// ================================================================ data sets

KELM_ENUM(TfrxRangeBegin, rbFirst, rbCurrent)
KELM_ENUM(TfrxFieldType, fftNumeric, fftString, fftBoolean)
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

  // ---- the record protocol the engine, expressions and scripts use
  // The names of the fields this data set offers; the base offers none.
  virtual void GetFieldList(TStrings* List);
  virtual int FieldsCount();
  bool HasField(const String& FieldName);
  virtual WideString DisplayText(const String& Field) { return WideString(); }
  virtual int DisplayWidth(const String& Field) { return 10; }
  virtual TfrxFieldType GetFieldType(const String& Field) { return fftNumeric; }
  virtual Variant GetValue(const String& Field);
  virtual void Open() {}
  virtual void Close() {}
  // RecNo back to 0; OnFirst.
  virtual void First();
  // RecNo up (OnNext), except at the end of a counted range.
  virtual void Next();
  virtual void Prior();
  // At the end of a counted range; OnCheckEOF may change the answer.
  virtual bool Eof();
  virtual bool IsBlobField(const String& Field) { return false; }
  // RangeEndCount for a counted range from the first record, else 0.
  virtual int RecordCount();
  // The blob into a wide string list (as lines) or a stream (rewound).
  virtual void CopyBlobTo(const String& Field, TObject* Target) {}
  int RecNo() const { return FRecNo; }

  // The first data set (in creation order) whose user name matches without regard to case and
  // that no report other than AReport owns; Default when none does, nullptr for an empty name.
  static TfrxDataSet* FindByUserName(TfrxDataSet* Default, const String& AName, TfrxReport* AReport);
  // Every data set of the process, in creation order.
  static std::vector<TfrxDataSet*> GlobalDataSets();

  // The report running over the data set; a report's BeginUseAll sets it.
  TfrxReport* ReportRef() const { return FReportRef; }
  void SetReportRef(TfrxReport* Value) { FReportRef = Value; }
  // A run begins and ends using the data set.
  virtual void BeginUse() {}
  virtual void EndUse() {}

private:
  bool FEnabled = true;
  TfrxRangeBegin FRangeBegin = rbFirst;
  TfrxRangeEnd FRangeEnd = reLast;
  int FRangeEndCount = 0;
  String FUserName;
  TfrxCheckEOFEvent FOnCheckEOF;
  TNotifyEvent FOnFirst, FOnNext, FOnPrior;
  TfrxReport* FReportRef = nullptr;
  int FRecNo = 0;
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
  int FieldsCount() override;
  void Open() override;
  void Close() override;
  // Field names (or aliases) with the program's field of each; sorted, case ignored.
  TStringList* FieldCache() const { return FFieldCache.get(); }

protected:
  // The dataset whose fields are offered; nullptr when there is none.
  virtual TDataSet* SourceDataSet() const { return nullptr; }

private:
  bool FCloseDataSource = false;
  std::unique_ptr<TStringList> FFieldAliases;
  bool FOpenDataSource = true;
  TNotifyEvent FOnClose, FOnOpen;
  std::unique_ptr<TStringList> FFieldCache;
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

  // ---- the record protocol over the program's dataset
  // "dbNotConn" without a dataset. The dataset's own after-open and before-close handlers
  // are kept and chained until EndUse puts them back.
  void BeginUse() override;
  // Back on the record of a current-record range (skipped when it is gone); closes the
  // dataset when CloseDataSource says so.
  void EndUse() override;
  void Open() override;
  void Close() override;
  void First() override;
  void Next() override;
  void Prior() override;
  bool Eof() override;
  // An unknown field gives Null and a "dbFldNotFound" line in the report's errors.
  Variant GetValue(const String& Field) override;
  // Before the dataset opens: Alias."Field", so a report shows where the data would come from.
  WideString DisplayText(const String& Field) override;
  int DisplayWidth(const String& Field) override;
  TfrxFieldType GetFieldType(const String& Field) override;
  bool IsBlobField(const String& Field) override;
  void CopyBlobTo(const String& Field, TObject* Target) override;
  int RecordCount() override;

protected:
  TDataSet* SourceDataSet() const override { return EffectiveDataSet(); }
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  bool LinksStored() const;
  void EnsureOpen();
  void RefreshFieldCache();
  void ReleaseOnClose();
  void DataSetAfterOpen(TDataSet* DataSet);
  void DataSetBeforeClose(TDataSet* DataSet);
  // Whether the cache has the field; Field receives its program field (nullptr when none).
  bool CachedField(const String& Name, TField*& Field) const;
  void FieldNotFound(const String& Field, const String& Prefix);

  TDataSetOrSource FLinks{this};
  bool FInitialized = false;
  bool FRangeEof = false;
  String FRangeBookmark;
  bool FHasRangeBookmark = false;
  TDataSet* FUsed = nullptr;  // the dataset whose handlers are ours while in use
  // FieldCache by ASCII-lower name: every value of every record is looked up by name.
  std::unordered_map<String, TField*> FFieldIndex;
  TDataSetNotifyEvent FSavedAfterOpen, FSavedBeforeClose;
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
    b.Prop("Picture", &TfrxReportOptions::Picture, &TfrxReportOptions::SetPicture);
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
  // Setting a name hands the connection string stored under it to the report's
  // OnConnectionStringEdit, when the report has that handler.
  void SetConnectionName(const String& Value);
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
  // A picture that describes the report; setting copies.
  TPicture* Picture() const { return FPicture.get(); }
  void SetPicture(TPicture* Value);
  // True when there is no password or it was accepted before; otherwise the password prompt
  // asks for it (exact comparison) and an accepted one is remembered.
  bool CheckPassword();
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
  std::unique_ptr<TPicture> FPicture;
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
  TfrxDataSetItem* ItemAt(int Index) const { return Items(Index); }
  TfrxDataSetItem* AddDataSet(TfrxDataSet* DataSet);
  // The first item holding that data set; nullptr when none does.
  TfrxDataSetItem* FindItemOf(TfrxDataSet* DataSet) const;
  // The first item whose data set's user name matches (ASCII case ignored); nullptr when none.
  TfrxDataSetItem* FindItemByName(const String& AName) const;
  // Before a run: each data set learns its report, then begins its use; after it: ends it.
  void BeginUseAll();
  void EndUseAll();

private:
  TfrxReport* FReport;
};

// ================================================================ frames and styles

KELM_ENUM(TfrxFrameStyle, fsSolid, fsDash, fsDot, fsDashDot, fsDashDotDot, fsDouble)
KELM_ENUM(TfrxFrameType, ftLeft, ftRight, ftTop, ftBottom)
using TfrxFrameTypes = TSet<TfrxFrameType>;

// The border of a view or a style: which sides, line colour, style and width, and a shadow.
class TfrxFrame : public TPersistent {
  KELM_CLASS(TfrxFrame, TPersistent)
  template <class B> static void Published(B& b) {
    b.Prop("Color", &TfrxFrame::Color, &TfrxFrame::SetColor).Type("TColor").NoDefault();
    b.Prop("DropShadow", &TfrxFrame::DropShadow, &TfrxFrame::SetDropShadow).NoDefault();
    b.Prop("ShadowColor", &TfrxFrame::ShadowColor, &TfrxFrame::SetShadowColor).Type("TColor").NoDefault();
    b.Prop("ShadowWidth", &TfrxFrame::ShadowWidth, &TfrxFrame::SetShadowWidth).Stored(&TfrxFrame::ShadowWidthStored);
    b.Prop("Style", &TfrxFrame::Style, &TfrxFrame::SetStyle).NoDefault();
    b.Prop("Typ", &TfrxFrame::Typ, &TfrxFrame::SetTyp).Default(TfrxFrameTypes{});
    b.Prop("Width", &TfrxFrame::Width, &TfrxFrame::SetWidth).Stored(&TfrxFrame::WidthStored);
  }
public:
  TfrxFrame() = default;
  void Assign(TPersistent* Source) override;

  TColor Color() const { return FColor; }
  void SetColor(TColor Value) { FColor = Value; }
  bool DropShadow() const { return FDropShadow; }
  void SetDropShadow(bool Value) { FDropShadow = Value; }
  TColor ShadowColor() const { return FShadowColor; }
  void SetShadowColor(TColor Value) { FShadowColor = Value; }
  Extended ShadowWidth() const { return FShadowWidth; }
  void SetShadowWidth(Extended Value) { FShadowWidth = Value; }
  TfrxFrameStyle Style() const { return FStyle; }
  void SetStyle(TfrxFrameStyle Value) { FStyle = Value; }
  TfrxFrameTypes Typ() const { return FTyp; }
  void SetTyp(TfrxFrameTypes Value) { FTyp = Value; }
  Extended Width() const { return FWidth; }
  void SetWidth(Extended Value) { FWidth = Value; }

private:
  bool ShadowWidthStored() const { return FShadowWidth != 4; }
  bool WidthStored() const { return FWidth != 1; }
  TColor FColor = clBlack;
  bool FDropShadow = false;
  TColor FShadowColor = clBlack;
  Extended FShadowWidth = 4;
  TfrxFrameStyle FStyle = fsSolid;
  TfrxFrameTypes FTyp;
  Extended FWidth = 1;
};

class TfrxXMLItem;

// A named combination of background colour, font and frame that text objects refer to by
// name. Names are unique within a collection, case ignored.
class TfrxStyleItem : public TCollectionItem {
  KELM_CLASS(TfrxStyleItem, TCollectionItem)
  template <class B> static void Published(B& b) {
    b.Prop("Name", &TfrxStyleItem::Name, &TfrxStyleItem::SetName);
    b.Prop("Color", &TfrxStyleItem::Color, &TfrxStyleItem::SetColor).Type("TColor").NoDefault();
    b.Prop("Font", &TfrxStyleItem::Font, &TfrxStyleItem::SetFont);
    b.Prop("Frame", &TfrxStyleItem::Frame, &TfrxStyleItem::SetFrame);
  }
public:
  explicit TfrxStyleItem(TCollection* ACollection);
  ~TfrxStyleItem() override;
  void Assign(TPersistent* Source) override;

  const String& Name() const { return FName; }
  // "Duplicate name" when another item of the collection has the name.
  void SetName(const String& Value);
  TColor Color() const { return FColor; }
  void SetColor(TColor Value) { FColor = Value; }
  TFont* Font() const { return FFont.get(); }
  void SetFont(TFont* Value) { FFont->Assign(Value); }
  TfrxFrame* Frame() const { return FFrame.get(); }
  void SetFrame(TfrxFrame* Value) { FFrame->Assign(Value); }
  // "Style" and the smallest number no item of the collection uses.
  void AssignNumberedName();

private:
  String FName;
  TColor FColor = clNone;
  std::unique_ptr<TFont> FFont;
  std::unique_ptr<TfrxFrame> FFrame;
};

// The styles of a report (or of a style sheet, without report), kept in "style" files.
class TfrxStyles : public TCollection {
  KELM_CLASS(TfrxStyles, TCollection)
public:
  explicit TfrxStyles(TfrxReport* AReport = nullptr);
  TfrxReport* Report() const { return FReport; }
  const String& Name() const { return FName; }
  void SetName(const String& Value) { FName = Value; }

  TfrxStyleItem* AppendItem() { return static_cast<TfrxStyleItem*>(Add()); }
  TfrxStyleItem* ItemAt(int Index) const { return static_cast<TfrxStyleItem*>(Items(Index)); }
  // Case ignored, by the user's locale; nullptr when none.
  TfrxStyleItem* FindByName(const String& AName) const;
  void ListNames(TStrings* List) const;
  // Every text object of the report takes its style again; one whose style is gone loses the
  // name and keeps its look.
  void ApplyToMemos();

  void ReadFromXMLItem(TfrxXMLItem* Item);
  void WriteToXMLItem(TfrxXMLItem* Item);
  void ReadFromStream(TStream* Stream);
  void WriteToStream(TStream* Stream);
  void ReadFromFile(const String& FileName);
  void WriteToFile(const String& FileName);

private:
  TfrxReport* FReport;
  String FName;
};

// Ready-made sets of styles, read from "stylesheet" files; there is no writer.
class TfrxStyleSheet {
public:
  TfrxStyleSheet();
  ~TfrxStyleSheet();
  TfrxStyleSheet(const TfrxStyleSheet&) = delete;
  TfrxStyleSheet& operator=(const TfrxStyleSheet&) = delete;

  void RemoveAll();
  void RemoveAt(int Index);
  TfrxStyles* AppendStyles();
  int StylesCount() const { return static_cast<int>(FItems.size()); }
  TfrxStyles* ItemAt(int Index) const;
  TfrxStyles* FindByName(const String& AName) const;
  void ListNames(TStrings* List) const;
  void ReadFromStream(TStream* Stream);
  void ReadFromFile(const String& FileName);

private:
  std::vector<std::unique_ptr<TfrxStyles>> FItems;
};

// ================================================================ the report

KELM_ENUM(TfrxProgressType, ptRunning, ptExporting, ptPrinting)

class TfrxView;
class TfrxReportPage;
KELM_EVENT(TfrxBeforePrintEvent, void(TfrxReportComponent* Sender));
KELM_EVENT(TfrxGetValueEvent, void(const String& VarName, Variant& Value));
KELM_EVENT(TfrxUserFunctionEvent, Variant(const String& MethodName, Variant& Params));
KELM_EVENT(TfrxProgressEvent, void(TfrxReport* Sender, TfrxProgressType ProgressType, int Progress));
KELM_EVENT(TfrxManualBuildEvent, void(TfrxPage* Page));
KELM_EVENT(TfrxClickObjectEvent, void(TfrxView* Sender, int Button, int Shift, bool& Modified));
KELM_EVENT(TfrxMouseOverObjectEvent, void(TfrxView* Sender));
KELM_EVENT(TfrxPrintPageEvent, void(TfrxReportPage* Page, int CopyNo));
KELM_EVENT(TfrxBeforeConnectEvent, void(TComponent* Sender, bool& Connected));
// A connection string in, the edited connection string out.
KELM_EVENT(TfrxConnectionStringEditEvent, String(const String& ConnectionString));

// The named connections: one string value per name under this key of the machine-wide root
// (HKEY_LOCAL_MACHINE), written by the designer's connections dialog.
extern const char* const frxConnectionsKey;

// The prompt that asks for a report's password; false when cancelled. The password dialog
// asks unless another prompt is set; nullptr cancels every prompt.
using TfrxPasswordPrompt = std::function<bool(String& Password)>;
void SetPasswordPrompt(TfrxPasswordPrompt Prompt);
class TfsScript;
class TfsCustomVariable;
class TfrxExpressionCache;
class TfrxCustomEngine;
class TfrxCustomPreviewPages;

// The report document: the root of the object tree (its children are the pages) and owner of
// every object in it, with what is not an object: data sets, variables, styles, script text
// and options.
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
    b.Prop("OnRunDialogs", &TfrxReport::OnRunDialogs, &TfrxReport::SetOnRunDialogs).Type("TfrxRunDialogsEvent");
    b.Prop("OnStartReport", &TfrxReport::OnStartReport, &TfrxReport::SetOnStartReport).Type("TfrxNotifyEvent");
    b.Prop("OnStopReport", &TfrxReport::OnStopReport, &TfrxReport::SetOnStopReport).Type("TfrxNotifyEvent");
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

  // ---- the program's hooks; never stored
  TfrxCustomPreview* Preview() const { return FPreview; }
  void SetPreview(TfrxCustomPreview* Value);
  TfrxBeforePrintEvent OnAfterPrint, OnBeforePrint;
  TfrxBeforeConnectEvent OnBeforeConnect;
  TfrxConnectionStringEditEvent OnConnectionStringEdit;
  TNotifyEvent OnBeginDoc, OnEndDoc, OnPreview, OnPrintReport, OnAfterPrintReport;
  TfrxClickObjectEvent OnClickObject;
  TfrxGetValueEvent OnGetValue;
  TfrxManualBuildEvent OnManualBuild;
  TfrxMouseOverObjectEvent OnMouseOverObject;
  TfrxPrintPageEvent OnPrintPage;
  TfrxProgressEvent OnProgressStart, OnProgress, OnProgressStop;
  TfrxUserFunctionEvent OnUserFunction;

  // ---- further state
  // The data sets the report uses, stored as "Datasets".
  TfrxReportDataSets* DataSets() const { return FDataSets.get(); }
  // The data sets the designer offers for this report; every data set when empty. Not stored.
  TfrxReportDataSets* OfferedDataSets() const { return FOfferedDataSets.get(); }
  // Stored as "Variables" and "Style".
  TfrxVariables* Variables() const { return FVariables.get(); }
  TfrxStyles* Styles() const { return FStyles.get(); }
  // The text layout engine of the report's text objects, made on first use.
  TfrxDrawText& DrawTextEngine();
  // "Date", "Time", "Page", "Page#", "TotalPages", "TotalPages#", "Line", "Line#".
  TStrings* SystemVariables() const { return FSystemVariables.get(); }
  // A layout's pages as .fr3 text, kept whole while a class it names is not registered.
  TStrings* StoredPages() const { return FStoredPages.get(); }
  // The errors of the last load or run (sorted, each once).
  TStrings* Errors() const { return FErrors.get(); }
  // The file of the last successful LoadFromFile; '' before and after a failed one.
  const String& FileName() const { return FFileName; }
  // The designer names the file it is about to write.
  void SetFileName(const String& Value) { FFileName = Value; }
  // The object the engine works on; it prefixes expression errors.
  const String& CurrentObjectName() const { return FCurrentObjectName; }
  void SetCurrentObjectName(const String& Value) { FCurrentObjectName = Value; }
  bool Modified() const { return FModified; }
  void SetModified(bool Value) { FModified = Value; }
  bool Terminated() const { return FTerminated; }
  // True also stops the script that is running.
  void SetTerminated(bool Value);
  bool Reloading() const { return FReloading; }
  void SetReloading(bool Value) { FReloading = Value; }
  // The serializer of the load in progress; nullptr otherwise.
  TfrxXMLSerializer* CurrentSerializer() const { return FCurrentSerializer; }
  void SetCurrentSerializer(TfrxXMLSerializer* Value) { FCurrentSerializer = Value; }
  // The designer window open on the report; nullptr otherwise.
  TfrxCustomDesigner* Designer() const { return FDesigner; }
  void SetDesigner(TfrxCustomDesigner* Value) { FDesigner = Value; }

  // ---- content
  // Pages, data sets, variables and styles go; options reset as each option object's Clear
  // says; script back to the empty PascalScript program.
  void Clear() override;
  // Reads a definition from the stream's position. Only the content, ConvertNulls,
  // DoublePass and the outline options come from the file. Load errors are reported once,
  // by EngineOptions.NewSilentMode; a refused password leaves the report empty. A malformed
  // definition raises EfrxFormatError naming the file, and leaves the report cleared.
  void LoadFromStream(TStream* Stream) override;
  void SaveToStream(TStream* Stream, bool SaveChildren = true, bool SaveDefaultValues = false) override;
  // Clears the report, then reads the file when it exists (or when ExceptionIfNotFound, which
  // makes a missing file raise EFOpenError). Returns whether the file existed.
  bool LoadFromFile(const String& AFileName, bool ExceptionIfNotFound = false);
  // With children, without default values.
  void SaveToFile(const String& AFileName);
  TfrxPage* PageAt(int Index) const;
  int CountPages() const { return ObjectCount(); }
  // nullptr empties Styles; otherwise Styles becomes a copy and applies to the objects.
  void AssignStyles(TfrxStyles* AStyles);

  // ---- running
  // Turns the definition and its data into prepared pages; false, with every error reported
  // once by the engine options' silent mode, when it did not succeed.
  bool Prepare(bool ClearLastReport = true);
  // Opens the preview window at once and prepares inside its message loop, 50 ms later (or,
  // with OldStyleProgress, prepares first with a progress window and shows nothing when that
  // fails). Nothing while the report is preparing or printing.
  void ShowReport(bool ClearLastReport = true);
  // Shows the prepared pages: in Preview when one is linked, else in a preview window,
  // modal and freed after it or freeing itself when closed.
  void ShowPrepared();
  // The one-shot timer's handler: the run ShowReport started.
  void TimerPrepare(TObject* Sender);
  // Opens the designer on the report and returns when it closes; nothing without a
  // registered designer or while one is open.
  void RunDesigner();
  // The designer opened from a preview; whether it changed the report.
  bool RunDesignerModified();
  // A status text: the progress window (old-style runs) and the preview window's status bar.
  void ShowProgressMessage(const String& Value);
  // The preview window ShowPrepared opened; nullptr otherwise.
  TForm* PreviewForm() const { return FPreviewForm; }
  // The one-shot timer of ShowReport; nullptr before the first ShowReport.
  TTimer* Timer() const { return FTimer.get(); }
  // The progress window of old-style runs, prints and exports while it is open.
  TfrxProgress* ProgressWindow() const { return FProgress; }
  // Preparing or printing: a second run or print from inside that loop is refused.
  bool Busy() const { return FBusy; }
  bool& BusyFlag() { return FBusy; }
  // Progress of a run, a print or an export: the program's events and the linked preview.
  virtual void ProgressBegin(TfrxProgressType ProgressType);
  virtual void ProgressStep(TfrxProgressType ProgressType, int Progress);
  virtual void ProgressEnd(TfrxProgressType ProgressType);

  // ---- the script
  // The report's script: the registration modules installed, HighByteIdentChars set.
  TfsScript* Script() const { return FScript.get(); }
  TfrxExpressionCache* ExpressionCache() const { return FExpressionCache.get(); }
  // The engine and the prepared-page store the report drives; each is told of the other.
  // nullptr until one is given.
  TfrxCustomEngine* Engine() const { return FEngine.get(); }
  void SetEngine(std::unique_ptr<TfrxCustomEngine> Value);
  TfrxCustomPreviewPages* PreviewPages() const { return FPreviewPages.get(); }
  void SetPreviewPages(std::unique_ptr<TfrxCustomPreviewPages> Value);
  // The script variable "Value" of the last compile; nullptr before.
  TfsCustomVariable* ValueVariable() const { return FValueVariable; }
  // Registers the objects and the report's own names into Script and compiles ScriptText;
  // a failure leaves its "clScrError" line in Errors and answers false.
  bool CompileReportScript();
  // The value of an expression: a name the report knows, else the compiled expression, with
  // AScript (the report's script when nullptr) as its scope. A failure is added to Errors,
  // prefixed with CurrentObjectName, and raised.
  Variant Calc(const String& Expression, TfsScript* AScript = nullptr);
  // Fields, system variables, OnGetValue, report variables and script variables by name.
  bool LookupValue(const String& Name, Variant& Value);
  // Runs the script procedure ProcName with the object as its argument; nothing for an empty
  // name or, unless forced, while the engine is not running.
  void RunScriptEvent(TObject* Object, const String& ProcName, bool Force = false);
  // The same with an argument array whose changed var arguments come back in Params.
  void RunScriptEventWithParams(const String& ProcName, Variant& Params, bool Force = false);
  // The program's OnBeforePrint (OnAfterPrint), then the object's script event of the name.
  void FireBeforePrint(TfrxReportComponent* Object);
  void FireAfterPrint(TfrxReportComponent* Object);
  // The view's OnPreviewClick (always), then OnClickObject; both may set Modified.
  void FirePreviewClick(TfrxView* View, int Button, int Shift, bool& Modified);
  // The script variable "Value".
  void SetCurrentValue(const Variant& Value);

  // ---- data sets
  // The data set of the first list entry whose user name matches (ASCII case ignored).
  TfrxDataSet* GetDataset(const String& Alias) const;
  // The user name for a data set of the list, "clDSNotIncl" otherwise, '' for none.
  String AliasOfDataSet(TfrxDataSet* ADataSet) const;
  // `Alias."Field"` into the data set and the field; nullptr and '' without `."`.
  void SplitDataSetField(const String& Text, TfrxDataSet*& ADataSet, String& Field) const;
  // (user name, data set) for each list entry with a data set.
  void ListDataSets(TStrings* List, bool SkipUserDataSets = false) const;
  // A new settings store for IniFile: the registry for "\Software\...", else an INI file.
  std::unique_ptr<TCustomIniFile> OpenSettingsStore() const;
  // Selects PrintOptions.Printer in the printer list when the list knows it.
  void ApplyPrinterOption();

  // ---- objects by name
  TfrxComponent* FindObject(const String& AName) const override;

  void DefineProperties(TFiler* Filer) override;
  void Loaded() override;
  String DisplayTypeName() const override;

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void ValidateRename(TComponent* AComponent, const String& CurName, const String& NewName) override;

private:
  friend class TfrxComponent;
  // The report keeps its objects by name, so that name checks and references read from a
  // definition cost the same for the last of 20,000 objects as for the first.
  void IndexAdd(TfrxComponent* Object);
  void IndexRemove(TfrxComponent* Object);
  void IndexSubtree(TfrxComponent* Object, bool Add);
  void ReadStoredPages();
  void WriteStoredPages(TStrings* Lines);
  bool StoredPagesReadable() const;
  bool IsSerializing() const;

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
  TfrxCustomPreview* FPreview = nullptr;
  std::unique_ptr<TfrxReportDataSets> FDataSets;
  std::unique_ptr<TfrxReportDataSets> FOfferedDataSets;
  std::unique_ptr<TfrxVariables> FVariables;
  std::unique_ptr<TfrxStyles> FStyles;
  std::unique_ptr<TfrxDrawText> FDrawText;
  std::unique_ptr<TStringList> FSystemVariables;
  std::unique_ptr<TStringList> FStoredPages;
  std::unique_ptr<TStringList> FErrors;
  String FFileName;
  String FCurrentObjectName;
  bool FModified = false;
  bool FTerminated = false;
  bool FReloading = false;
  TfrxXMLSerializer* FCurrentSerializer = nullptr;
  TfrxCustomDesigner* FDesigner = nullptr;
  TForm* FPreviewForm = nullptr;
  std::unique_ptr<TTimer> FTimer;
  std::uintptr_t FPrepareWindow = 0;  // the window (HWND) that takes the message starting a pending run
  TfrxProgress* FProgress = nullptr;
  bool FBusy = false;
  std::unordered_map<String, std::vector<TfrxComponent*>> FNameIndex;  // by ASCII-lower name
  std::unique_ptr<TfsScript> FScript;
  std::unique_ptr<TfrxExpressionCache> FExpressionCache;
  std::unique_ptr<TfrxCustomEngine> FEngine;
  std::unique_ptr<TfrxCustomPreviewPages> FPreviewPages;
  TfsCustomVariable* FValueVariable = nullptr;
};
