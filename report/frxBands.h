#pragma once
// Bands: the horizontal (or vertical) strips of a report page that hold its objects and that
// the engine prints once, per page, per record or per group by their class. The band-kind
// table (KindIndex) classifies them for the engine and the designer.
#include "report/frxClass.h"

class TfrxChild;
class TfrxUserDataSet;

class TfrxBand : public TfrxReportComponent {
  KELM_CLASS(TfrxBand, TfrxReportComponent)
  template <class B> static void Published(B& b) {
    b.Prop("Font", &TfrxBand::Font, &TfrxBand::SetFont).StoredUnless(&TfrxBand::ParentFont);
    b.Prop("Height", &TfrxBand::Height, &TfrxBand::SetHeight);
    b.Prop("Left", &TfrxBand::Left, &TfrxBand::SetLeft);
    b.Prop("ParentFont", &TfrxBand::ParentFont, &TfrxBand::SetParentFont).Default(true);
    b.Prop("Restrictions", &TfrxBand::Restrictions, &TfrxBand::SetRestrictions).Default(TfrxRestrictions{});
    b.Prop("Top", &TfrxBand::Top, &TfrxBand::SetTop);
    b.Prop("Vertical", &TfrxBand::Vertical, &TfrxBand::SetVertical).Default(false);
    b.Prop("Visible", &TfrxBand::Visible, &TfrxBand::SetVisible).Default(true);
    b.Prop("Width", &TfrxBand::Width, &TfrxBand::SetWidth);
    b.Prop("OnAfterCalcHeight", &TfrxBand::OnAfterCalcHeight, &TfrxBand::SetOnAfterCalcHeight).Type("TfrxNotifyEvent");
    b.Prop("OnAfterPrint", &TfrxBand::OnAfterPrint, &TfrxBand::SetOnAfterPrint).Type("TfrxNotifyEvent");
    b.Prop("OnBeforePrint", &TfrxBand::OnBeforePrint, &TfrxBand::SetOnBeforePrint).Type("TfrxNotifyEvent");
  }
public:
  explicit TfrxBand(TComponent* AOwner);
  ~TfrxBand() override;

  // On a dot-matrix page positions snap to the character cell (9.6 x 17 pixels).
  void SetLeft(Extended Value) override;
  void SetTop(Extended Value) override;
  void SetHeight(Extended Value) override;
  String DisplayTypeName() const override;

  bool Vertical() const { return FVertical; }
  void SetVertical(bool Value) { FVertical = Value; }
  const String& OnAfterCalcHeight() const { return FOnAfterCalcHeight; }
  void SetOnAfterCalcHeight(const String& Value) { FOnAfterCalcHeight = Value; }

  // ---- declared here, published by the classes that use them
  bool AllowSplit() const { return FAllowSplit; }
  void SetAllowSplit(bool Value) { FAllowSplit = Value; }
  TfrxChild* Child() const { return FChild; }
  // "Circular child reference is not allowed" for a chain that comes back to this band.
  void SetChild(TfrxChild* Value);
  bool KeepChild() const { return FKeepChild; }
  void SetKeepChild(bool Value) { FKeepChild = Value; }
  const String& OutlineText() const { return FOutlineText; }
  void SetOutlineText(const String& Value) { FOutlineText = Value; }
  bool PrintChildIfInvisible() const { return FPrintChildIfInvisible; }
  void SetPrintChildIfInvisible(bool Value) { FPrintChildIfInvisible = Value; }
  bool StartNewPage() const { return FStartNewPage; }
  void SetStartNewPage(bool Value) { FStartNewPage = Value; }
  bool Stretched() const { return FStretched; }
  void SetStretched(bool Value) { FStretched = Value; }

  // ---- the band-kind table
  // The index of the last of the eighteen kinds the band is or descends from; 0 for none.
  int KindIndex() const;
  // The class name without its first "Tfrx" and first "Band".
  String KindName() const;

  // ---- run-time state the engine keeps
  std::vector<TfrxBand*>& SubBands() { return FSubBands; }
  TfrxBand* LinkedHeader = nullptr;
  TfrxBand* LinkedFooter = nullptr;
  TfrxBand* LinkedGroup = nullptr;
  int RowNo = 0, RowNoThrough = 0;
  // For a group header: the data rows printed since it printed last.
  int GroupDataRows = 0;
  int OwnObjectCount = -1;
  bool HasVCells = false;
  bool Overflow = false;

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  Extended Snap(Extended Value, Extended Cell) const;

  bool FVertical = false;
  String FOnAfterCalcHeight;
  bool FAllowSplit = false;
  TfrxChild* FChild = nullptr;
  bool FKeepChild = false;
  String FOutlineText;
  bool FPrintChildIfInvisible = false;
  bool FStartNewPage = false;
  bool FStretched = false;
  std::vector<TfrxBand*> FSubBands;
};

// Publishers of the shared band properties, named as the table of band classes names them.
#define FRX_BAND_PROP(Name) b.Prop(#Name, &TfrxBand::Name, &TfrxBand::Set##Name).Default(false)
#define FRX_BAND_CHILD b.Prop("Child", &TfrxBand::Child, &TfrxBand::SetChild)
#define FRX_BAND_OUTLINE b.Prop("OutlineText", &TfrxBand::OutlineText, &TfrxBand::SetOutlineText)

// A band printed once per record of its data set (or RowCount times without one).
class TfrxDataBand : public TfrxBand {
  KELM_CLASS(TfrxDataBand, TfrxBand)
  template <class B> static void Published(B& b) {
    FRX_BAND_PROP(AllowSplit);
    FRX_BAND_CHILD;
    b.Prop("Columns", &TfrxDataBand::Columns, &TfrxDataBand::SetColumns).Default(0);
    b.Prop("ColumnWidth", &TfrxDataBand::ColumnWidth, &TfrxDataBand::SetColumnWidth);
    b.Prop("ColumnGap", &TfrxDataBand::ColumnGap, &TfrxDataBand::SetColumnGap);
    b.Prop("DataSet", &TfrxDataBand::DataSet, &TfrxDataBand::SetDataSet);
    b.Prop("DataSetName", &TfrxDataBand::DataSetName, &TfrxDataBand::SetDataSetName);
    b.Prop("FooterAfterEach", &TfrxDataBand::FooterAfterEach, &TfrxDataBand::SetFooterAfterEach).Default(false);
    FRX_BAND_PROP(KeepChild);
    b.Prop("KeepFooter", &TfrxDataBand::KeepFooter, &TfrxDataBand::SetKeepFooter).Default(false);
    b.Prop("KeepHeader", &TfrxDataBand::KeepHeader, &TfrxDataBand::SetKeepHeader).Default(false);
    b.Prop("KeepTogether", &TfrxDataBand::KeepTogether, &TfrxDataBand::SetKeepTogether).Default(false);
    FRX_BAND_OUTLINE;
    FRX_BAND_PROP(PrintChildIfInvisible);
    b.Prop("PrintIfDetailEmpty", &TfrxDataBand::PrintIfDetailEmpty, &TfrxDataBand::SetPrintIfDetailEmpty)
        .Default(false);
    b.Prop("RowCount", &TfrxDataBand::RowCount, &TfrxDataBand::SetRowCount).Default(0);
    FRX_BAND_PROP(StartNewPage);
    FRX_BAND_PROP(Stretched);
    b.Prop("OnMasterDetail", &TfrxDataBand::OnMasterDetail, &TfrxDataBand::SetOnMasterDetail).Type("TfrxNotifyEvent");
  }
public:
  explicit TfrxDataBand(TComponent* AOwner);
  ~TfrxDataBand() override;
  String DisplayTypeName() const override;

  int Columns() const { return FColumns; }
  void SetColumns(int Value) { FColumns = Value; }
  Extended ColumnWidth() const { return FColumnWidth; }
  void SetColumnWidth(Extended Value) { FColumnWidth = Value; }
  Extended ColumnGap() const { return FColumnGap; }
  void SetColumnGap(Extended Value) { FColumnGap = Value; }
  TfrxDataSet* DataSet() const { return FDataSet; }
  void SetDataSet(TfrxDataSet* Value);
  String DataSetName() const;
  void SetDataSetName(const String& Value);
  bool FooterAfterEach() const { return FFooterAfterEach; }
  void SetFooterAfterEach(bool Value) { FFooterAfterEach = Value; }
  bool KeepFooter() const { return FKeepFooter; }
  void SetKeepFooter(bool Value) { FKeepFooter = Value; }
  bool KeepHeader() const { return FKeepHeader; }
  void SetKeepHeader(bool Value) { FKeepHeader = Value; }
  bool KeepTogether() const { return FKeepTogether; }
  void SetKeepTogether(bool Value) { FKeepTogether = Value; }
  bool PrintIfDetailEmpty() const { return FPrintIfDetailEmpty; }
  void SetPrintIfDetailEmpty(bool Value) { FPrintIfDetailEmpty = Value; }
  int RowCount() const { return FRowCount; }
  // Also the number of records of the row counter.
  void SetRowCount(int Value);
  const String& OnMasterDetail() const { return FOnMasterDetail; }
  void SetOnMasterDetail(const String& Value) { FOnMasterDetail = Value; }

  // ---- run-time state
  int BandColumn() const { return FBandColumn; }
  // A value above Columns becomes 1; column 1 starts a new column bottom.
  void SetBandColumn(int Value);
  Extended ColumnBottom = 0;
  // Stands in for a data set when the band has none: RowCount records.
  TfrxUserDataSet* RowCounterDataSet() const { return FRowCounter.get(); }

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  int FColumns = 0;
  Extended FColumnWidth = 0, FColumnGap = 0;
  TfrxDataSet* FDataSet = nullptr;
  String FDataSetName;
  bool FFooterAfterEach = false, FKeepFooter = false, FKeepHeader = false, FKeepTogether = false;
  bool FPrintIfDetailEmpty = false;
  int FRowCount = 0;
  String FOnMasterDetail;
  int FBandColumn = 0;
  std::unique_ptr<TfrxUserDataSet> FRowCounter;
};

// Report title and summary: once at the start and at the end.
class TfrxReportTitle : public TfrxBand {
  KELM_CLASS(TfrxReportTitle, TfrxBand)
  template <class B> static void Published(B& b) {
    FRX_BAND_PROP(AllowSplit);
    FRX_BAND_CHILD;
    FRX_BAND_PROP(KeepChild);
    FRX_BAND_PROP(PrintChildIfInvisible);
    FRX_BAND_PROP(StartNewPage);
    FRX_BAND_PROP(Stretched);
  }
public:
  explicit TfrxReportTitle(TComponent* AOwner) : TfrxBand(AOwner) {}
};

class TfrxReportSummary : public TfrxBand {
  KELM_CLASS(TfrxReportSummary, TfrxBand)
  template <class B> static void Published(B& b) { TfrxReportTitle::Published(b); }
public:
  explicit TfrxReportSummary(TComponent* AOwner) : TfrxBand(AOwner) {}
};

class TfrxPageHeader : public TfrxBand {
  KELM_CLASS(TfrxPageHeader, TfrxBand)
  template <class B> static void Published(B& b) {
    FRX_BAND_CHILD;
    FRX_BAND_PROP(PrintChildIfInvisible);
    b.Prop("PrintOnFirstPage", &TfrxPageHeader::PrintOnFirstPage, &TfrxPageHeader::SetPrintOnFirstPage)
        .Default(true);
    FRX_BAND_PROP(Stretched);
  }
public:
  explicit TfrxPageHeader(TComponent* AOwner) : TfrxBand(AOwner) {}
  bool PrintOnFirstPage() const { return FPrintOnFirstPage; }
  void SetPrintOnFirstPage(bool Value) { FPrintOnFirstPage = Value; }

private:
  bool FPrintOnFirstPage = true;
};

class TfrxPageFooter : public TfrxBand {
  KELM_CLASS(TfrxPageFooter, TfrxBand)
  template <class B> static void Published(B& b) {
    b.Prop("PrintOnFirstPage", &TfrxPageFooter::PrintOnFirstPage, &TfrxPageFooter::SetPrintOnFirstPage)
        .Default(true);
    b.Prop("PrintOnLastPage", &TfrxPageFooter::PrintOnLastPage, &TfrxPageFooter::SetPrintOnLastPage).Default(true);
  }
public:
  explicit TfrxPageFooter(TComponent* AOwner) : TfrxBand(AOwner) {}
  bool PrintOnFirstPage() const { return FPrintOnFirstPage; }
  void SetPrintOnFirstPage(bool Value) { FPrintOnFirstPage = Value; }
  bool PrintOnLastPage() const { return FPrintOnLastPage; }
  void SetPrintOnLastPage(bool Value) { FPrintOnLastPage = Value; }

private:
  bool FPrintOnFirstPage = true, FPrintOnLastPage = true;
};

class TfrxHeader : public TfrxBand {
  KELM_CLASS(TfrxHeader, TfrxBand)
  template <class B> static void Published(B& b) {
    FRX_BAND_PROP(AllowSplit);
    FRX_BAND_CHILD;
    FRX_BAND_PROP(KeepChild);
    FRX_BAND_PROP(PrintChildIfInvisible);
    b.Prop("ReprintOnNewPage", &TfrxHeader::ReprintOnNewPage, &TfrxHeader::SetReprintOnNewPage).Default(false);
    FRX_BAND_PROP(StartNewPage);
    FRX_BAND_PROP(Stretched);
  }
public:
  explicit TfrxHeader(TComponent* AOwner) : TfrxBand(AOwner) {}
  bool ReprintOnNewPage() const { return FReprintOnNewPage; }
  void SetReprintOnNewPage(bool Value) { FReprintOnNewPage = Value; }

private:
  bool FReprintOnNewPage = false;
};

class TfrxFooter : public TfrxBand {
  KELM_CLASS(TfrxFooter, TfrxBand)
  template <class B> static void Published(B& b) {
    FRX_BAND_PROP(AllowSplit);
    FRX_BAND_CHILD;
    FRX_BAND_PROP(KeepChild);
    FRX_BAND_PROP(PrintChildIfInvisible);
    FRX_BAND_PROP(Stretched);
  }
public:
  explicit TfrxFooter(TComponent* AOwner) : TfrxBand(AOwner) {}
};

// Data bands of nesting levels 1 to 6.
class TfrxMasterData : public TfrxDataBand {
  KELM_CLASS(TfrxMasterData, TfrxDataBand)
public:
  explicit TfrxMasterData(TComponent* AOwner) : TfrxDataBand(AOwner) {}
};
class TfrxDetailData : public TfrxDataBand {
  KELM_CLASS(TfrxDetailData, TfrxDataBand)
public:
  explicit TfrxDetailData(TComponent* AOwner) : TfrxDataBand(AOwner) {}
};
class TfrxSubdetailData : public TfrxDataBand {
  KELM_CLASS(TfrxSubdetailData, TfrxDataBand)
public:
  explicit TfrxSubdetailData(TComponent* AOwner) : TfrxDataBand(AOwner) {}
};
class TfrxDataBand4 : public TfrxDataBand {
  KELM_CLASS(TfrxDataBand4, TfrxDataBand)
public:
  explicit TfrxDataBand4(TComponent* AOwner) : TfrxDataBand(AOwner) {}
};
class TfrxDataBand5 : public TfrxDataBand {
  KELM_CLASS(TfrxDataBand5, TfrxDataBand)
public:
  explicit TfrxDataBand5(TComponent* AOwner) : TfrxDataBand(AOwner) {}
};
class TfrxDataBand6 : public TfrxDataBand {
  KELM_CLASS(TfrxDataBand6, TfrxDataBand)
public:
  explicit TfrxDataBand6(TComponent* AOwner) : TfrxDataBand(AOwner) {}
};

class TfrxGroupHeader : public TfrxBand {
  KELM_CLASS(TfrxGroupHeader, TfrxBand)
  template <class B> static void Published(B& b) {
    FRX_BAND_PROP(AllowSplit);
    FRX_BAND_CHILD;
    b.Prop("Condition", &TfrxGroupHeader::Condition, &TfrxGroupHeader::SetCondition);
    FRX_BAND_PROP(KeepChild);
    b.Prop("KeepTogether", &TfrxGroupHeader::KeepTogether, &TfrxGroupHeader::SetKeepTogether).Default(false);
    b.Prop("ReprintOnNewPage", &TfrxGroupHeader::ReprintOnNewPage, &TfrxGroupHeader::SetReprintOnNewPage)
        .Default(false);
    FRX_BAND_OUTLINE;
    FRX_BAND_PROP(PrintChildIfInvisible);
    FRX_BAND_PROP(StartNewPage);
    FRX_BAND_PROP(Stretched);
  }
public:
  explicit TfrxGroupHeader(TComponent* AOwner) : TfrxBand(AOwner) {}
  const String& Condition() const { return FCondition; }
  void SetCondition(const String& Value) { FCondition = Value; }
  bool KeepTogether() const { return FKeepTogether; }
  void SetKeepTogether(bool Value) { FKeepTogether = Value; }
  bool ReprintOnNewPage() const { return FReprintOnNewPage; }
  void SetReprintOnNewPage(bool Value) { FReprintOnNewPage = Value; }
  // The condition value of the current group, kept by the engine.
  Variant& LastValue() { return FLastValue; }

private:
  String FCondition;
  bool FKeepTogether = false, FReprintOnNewPage = false;
  Variant FLastValue;
};

class TfrxGroupFooter : public TfrxBand {
  KELM_CLASS(TfrxGroupFooter, TfrxBand)
  template <class B> static void Published(B& b) {
    FRX_BAND_PROP(AllowSplit);
    FRX_BAND_CHILD;
    b.Prop("HideIfSingleDataRecord", &TfrxGroupFooter::HideIfSingleDataRecord,
           &TfrxGroupFooter::SetHideIfSingleDataRecord)
        .Default(false);
    FRX_BAND_PROP(KeepChild);
    FRX_BAND_PROP(PrintChildIfInvisible);
    FRX_BAND_PROP(Stretched);
  }
public:
  explicit TfrxGroupFooter(TComponent* AOwner) : TfrxBand(AOwner) {}
  bool HideIfSingleDataRecord() const { return FHideIfSingleDataRecord; }
  void SetHideIfSingleDataRecord(bool Value) { FHideIfSingleDataRecord = Value; }

private:
  bool FHideIfSingleDataRecord = false;
};

class TfrxColumnHeader : public TfrxBand {
  KELM_CLASS(TfrxColumnHeader, TfrxBand)
  template <class B> static void Published(B& b) { FRX_BAND_PROP(Stretched); }
public:
  explicit TfrxColumnHeader(TComponent* AOwner) : TfrxBand(AOwner) {}
};

class TfrxColumnFooter : public TfrxBand {
  KELM_CLASS(TfrxColumnFooter, TfrxBand)
public:
  explicit TfrxColumnFooter(TComponent* AOwner) : TfrxBand(AOwner) {}
};

class TfrxChild : public TfrxBand {
  KELM_CLASS(TfrxChild, TfrxBand)
  template <class B> static void Published(B& b) { TfrxReportTitle::Published(b); }
public:
  explicit TfrxChild(TComponent* AOwner) : TfrxBand(AOwner) {}
};

class TfrxOverlay : public TfrxBand {
  KELM_CLASS(TfrxOverlay, TfrxBand)
  template <class B> static void Published(B& b) {
    b.Prop("PrintOnTop", &TfrxOverlay::PrintOnTop, &TfrxOverlay::SetPrintOnTop).Default(false);
  }
public:
  explicit TfrxOverlay(TComponent* AOwner) : TfrxBand(AOwner) {}
  bool PrintOnTop() const { return FPrintOnTop; }
  void SetPrintOnTop(bool Value) { FPrintOnTop = Value; }

private:
  bool FPrintOnTop = false;
};

// The engine's carrier band.
class TfrxNullBand : public TfrxBand {
  KELM_CLASS(TfrxNullBand, TfrxBand)
public:
  explicit TfrxNullBand(TComponent* AOwner) : TfrxBand(AOwner) {}
};

