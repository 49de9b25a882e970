#pragma once
// The older report engine's components as a data module holds them: the report component
// with its preview and printing switches and its stored definition (the form property
// "ReportForm"), and the data sets that walk a dataset of the program.
//
// The newer report engine names several of its values the same way (rbFirst, pbPrint, ...),
// so the types here whose values would collide are scoped enumerations; their streamed names
// are the plain ones.
#include "core/Classes.h"
#include "core/Component.h"
#include "data/DB.h"
#include "core/Exceptions.h"

// Raised by a data set that has no dataset to walk.
KELM_EXCEPTION(EDSError, Exception);

#define KELM_FR_SCOPED_ENUM(Name, ...)                                   \
  enum class Name : int { __VA_ARGS__ };                                 \
  inline const TEnumInfo& EnumInfoOf(Name*) {                            \
    static const TEnumInfo info(#Name, #__VA_ARGS__);                    \
    return info;                                                         \
  }
KELM_FR_SCOPED_ENUM(TRangeBegin, rbFirst, rbCurrent)
KELM_FR_SCOPED_ENUM(TRangeEnd, reLast, reCurrent, reCount)
KELM_FR_SCOPED_ENUM(TfrPreviewButton, pbZoom, pbLoad, pbSave, pbPrint, pbFind, pbHelp, pbExit, pbPageSetup)
KELM_FR_SCOPED_ENUM(TfrPreviewZoom, pzDefault, pzPageWidth, pzOnePage, pzTwoPages)
KELM_FR_SCOPED_ENUM(TfrReportType, rtSimple, rtMultiple)
#undef KELM_FR_SCOPED_ENUM
using TfrPreviewButtons = TSet<TfrPreviewButton>;

KELM_EVENT(TCheckEOFEvent, void(TObject* Sender, bool& Eof));

// ================================================================ data sets

// A walk over records with a range: where it starts, where it ends.
class TfrDataset : public TComponent {
  KELM_CLASS(TfrDataset, TComponent)
  template <class B> static void Published(B& b) {
    b.Prop("RangeBegin", &TfrDataset::RangeBegin, &TfrDataset::SetRangeBegin).Default(TRangeBegin::rbFirst);
    b.Prop("RangeEnd", &TfrDataset::RangeEnd, &TfrDataset::SetRangeEnd).Default(TRangeEnd::reLast);
    b.Prop("RangeEndCount", &TfrDataset::RangeEndCount, &TfrDataset::SetRangeEndCount).Default(0);
    b.Prop("OnCheckEOF", &TfrDataset::OnCheckEOF, &TfrDataset::SetOnCheckEOF);
    b.Prop("OnFirst", &TfrDataset::OnFirst, &TfrDataset::SetOnFirst);
    b.Prop("OnNext", &TfrDataset::OnNext, &TfrDataset::SetOnNext);
    b.Prop("OnPrior", &TfrDataset::OnPrior, &TfrDataset::SetOnPrior);
  }
public:
  explicit TfrDataset(TComponent* AOwner) : TComponent(AOwner) {}

  TRangeBegin RangeBegin() const { return FRangeBegin; }
  void SetRangeBegin(TRangeBegin Value) { FRangeBegin = Value; }
  TRangeEnd RangeEnd() const { return FRangeEnd; }
  void SetRangeEnd(TRangeEnd Value) { FRangeEnd = Value; }
  int RangeEndCount() const { return FRangeEndCount; }
  void SetRangeEndCount(int Value) { FRangeEndCount = Value; }
  const TCheckEOFEvent& OnCheckEOF() const { return FOnCheckEOF; }
  void SetOnCheckEOF(const TCheckEOFEvent& Value) { FOnCheckEOF = Value; }
  const TNotifyEvent& OnFirst() const { return FOnFirst; }
  void SetOnFirst(const TNotifyEvent& Value) { FOnFirst = Value; }
  const TNotifyEvent& OnNext() const { return FOnNext; }
  void SetOnNext(const TNotifyEvent& Value) { FOnNext = Value; }
  const TNotifyEvent& OnPrior() const { return FOnPrior; }
  void SetOnPrior(const TNotifyEvent& Value) { FOnPrior = Value; }

private:
  TRangeBegin FRangeBegin = TRangeBegin::rbFirst;
  TRangeEnd FRangeEnd = TRangeEnd::reLast;
  int FRangeEndCount = 0;
  TCheckEOFEvent FOnCheckEOF;
  TNotifyEvent FOnFirst, FOnNext, FOnPrior;
};

// A data set over a dataset of the program, given directly or through a data source; setting
// one of the two clears the other.
class TfrDBDataSet : public TfrDataset {
  KELM_CLASS(TfrDBDataSet, TfrDataset)
  template <class B> static void Published(B& b) {
    b.Prop("CloseDataSource", &TfrDBDataSet::CloseDataSource, &TfrDBDataSet::SetCloseDataSource).Default(false);
    b.Prop("DataSet", &TfrDBDataSet::DataSet, &TfrDBDataSet::SetDataSet);
    b.Prop("DataSource", &TfrDBDataSet::DataSource, &TfrDBDataSet::SetDataSource);
    b.Prop("OpenDataSource", &TfrDBDataSet::OpenDataSource, &TfrDBDataSet::SetOpenDataSource).Default(true);
    b.Prop("OnClose", &TfrDBDataSet::OnClose, &TfrDBDataSet::SetOnClose);
    b.Prop("OnOpen", &TfrDBDataSet::OnOpen, &TfrDBDataSet::SetOnOpen);
  }
public:
  explicit TfrDBDataSet(TComponent* AOwner) : TfrDataset(AOwner) {}

  bool CloseDataSource() const { return FCloseDataSource; }
  void SetCloseDataSource(bool Value) { FCloseDataSource = Value; }
  TDataSet* DataSet() const { return FLinks.DataSet(); }
  void SetDataSet(TDataSet* Value) { FLinks.SetDataSet(Value); }
  TDataSource* DataSource() const { return FLinks.DataSource(); }
  void SetDataSource(TDataSource* Value) { FLinks.SetDataSource(Value); }
  bool OpenDataSource() const { return FOpenDataSource; }
  void SetOpenDataSource(bool Value) { FOpenDataSource = Value; }
  const TNotifyEvent& OnClose() const { return FOnClose; }
  void SetOnClose(const TNotifyEvent& Value) { FOnClose = Value; }
  const TNotifyEvent& OnOpen() const { return FOnOpen; }
  void SetOnOpen(const TNotifyEvent& Value) { FOnOpen = Value; }

  // The data source's dataset when it has one, else DataSet; EDSError "Unable to open dataset
  // <Name>" when neither gives one.
  TDataSet* SourceDataSet() const;

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  bool FCloseDataSource = false;
  TDataSetOrSource FLinks{this};
  bool FOpenDataSource = true;
  TNotifyEvent FOnClose, FOnOpen;
};

// ================================================================ the report

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
  }
public:
  explicit TfrReport(TComponent* AOwner) : TComponent(AOwner) {}

  // The format number the stored definition starts with.
  static constexpr int FormVersion = 25;

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

  // The definition bytes the form property held (only with StoreInDFM), kept as read until
  // the engine loads them.
  const TBytes& StoredForm() const { return FStoredForm; }
  void SetStoredForm(const TBytes& Value) { FStoredForm = Value; }

  // "ReportForm": the format number, then (with StoreInDFM) the definition's size and bytes.
  void DefineProperties(TFiler* Filer) override;

  // The first seven buttons, page setup off.
  static TfrPreviewButtons DefaultPreviewButtons();

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  void ReadReportForm(TStream* Stream);
  void WriteReportForm(TStream* Stream);

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
};
