#pragma once
// Report pages, dialog pages and sub-reports.
//
// A report page describes a sheet of paper (size in millimetres from the printer layer's paper
// table or its own, orientation, margins, page columns, bins, duplex, a background picture and
// frame) and carries the bands. A dialog page is a window the report shows before it runs; its
// objects are dialog controls. A sub-report object shows another report page inside its page.
#include "gui/Forms.h"
#include "report/frxPrinter.h"
#include "report/frxView.h"

class TfrxPictureView;
class TfrxSubreport;
class TPicture;

KELM_ENUM(TfrxDuplexMode, dmNone, dmVertical, dmHorizontal, dmSimplex)

// Millimetres to report pixels.
constexpr Extended fr01cm = 3.77953L;

class TfrxReportPage : public TfrxPage {
  KELM_CLASS(TfrxReportPage, TfrxPage)
  template <class B> static void Published(B& b) {
    b.Prop("Orientation", &TfrxReportPage::Orientation, &TfrxReportPage::SetOrientation).Default(poPortrait);
    b.Prop("PaperWidth", &TfrxReportPage::PaperWidth, &TfrxReportPage::SetPaperWidth);
    b.Prop("PaperHeight", &TfrxReportPage::PaperHeight, &TfrxReportPage::SetPaperHeight);
    b.Prop("PaperSize", &TfrxReportPage::PaperSize, &TfrxReportPage::SetPaperSize);
    b.Prop("LeftMargin", &TfrxReportPage::LeftMargin, &TfrxReportPage::SetLeftMargin);
    b.Prop("RightMargin", &TfrxReportPage::RightMargin, &TfrxReportPage::SetRightMargin);
    b.Prop("TopMargin", &TfrxReportPage::TopMargin, &TfrxReportPage::SetTopMargin);
    b.Prop("BottomMargin", &TfrxReportPage::BottomMargin, &TfrxReportPage::SetBottomMargin);
    b.Prop("BackPicture", &TfrxReportPage::BackPicture, &TfrxReportPage::SetBackPicture);
    b.Prop("Bin", &TfrxReportPage::Bin, &TfrxReportPage::SetBin).Default(7);
    b.Prop("BinOtherPages", &TfrxReportPage::BinOtherPages, &TfrxReportPage::SetBinOtherPages).Default(7);
    b.Prop("Color", &TfrxReportPage::Color, &TfrxReportPage::SetColor).Type("TColor").Default(clNone);
    b.Prop("Columns", &TfrxReportPage::Columns, &TfrxReportPage::SetColumns).Default(0);
    b.Prop("ColumnWidth", &TfrxReportPage::ColumnWidth, &TfrxReportPage::SetColumnWidth);
    b.Prop("ColumnPositions", &TfrxReportPage::ColumnPositions, &TfrxReportPage::SetColumnPositions);
    b.Prop("DataSet", &TfrxReportPage::DataSet, &TfrxReportPage::SetDataSet);
    b.Prop("DataSetName", &TfrxReportPage::DataSetName, &TfrxReportPage::SetDataSetName);
    b.Prop("Duplex", &TfrxReportPage::Duplex, &TfrxReportPage::SetDuplex).Default(dmNone);
    b.Prop("Frame", &TfrxReportPage::Frame, &TfrxReportPage::SetFrame);
    b.Prop("HGuides", &TfrxReportPage::HGuides, &TfrxReportPage::SetHGuides);
    b.Prop("LargeDesignHeight", &TfrxReportPage::LargeDesignHeight, &TfrxReportPage::SetLargeDesignHeight)
        .Default(false);
    b.Prop("MirrorMargins", &TfrxReportPage::MirrorMargins, &TfrxReportPage::SetMirrorMargins).Default(false);
    b.Prop("OutlineText", &TfrxReportPage::OutlineText, &TfrxReportPage::SetOutlineText);
    b.Prop("PrintIfEmpty", &TfrxReportPage::PrintIfEmpty, &TfrxReportPage::SetPrintIfEmpty).Default(true);
    b.Prop("PrintOnPreviousPage", &TfrxReportPage::PrintOnPreviousPage, &TfrxReportPage::SetPrintOnPreviousPage)
        .Default(false);
    b.Prop("TitleBeforeHeader", &TfrxReportPage::TitleBeforeHeader, &TfrxReportPage::SetTitleBeforeHeader)
        .Default(true);
    b.Prop("VGuides", &TfrxReportPage::VGuides, &TfrxReportPage::SetVGuides);
    b.Prop("OnAfterPrint", &TfrxReportPage::OnAfterPrint, &TfrxReportPage::SetOnAfterPrint).Type("TfrxNotifyEvent");
    b.Prop("OnBeforePrint", &TfrxReportPage::OnBeforePrint, &TfrxReportPage::SetOnBeforePrint).Type("TfrxNotifyEvent");
    b.Prop("OnManualBuild", &TfrxReportPage::OnManualBuild, &TfrxReportPage::SetOnManualBuild).Type("TfrxNotifyEvent");
  }
public:
  explicit TfrxReportPage(TComponent* AOwner);
  ~TfrxReportPage() override;

  // ---- paper
  TPrinterOrientation Orientation() const { return FOrientation; }
  // A change turns the paper and the margins with it.
  void SetOrientation(TPrinterOrientation Value);
  Extended PaperWidth() const { return FPaperWidth; }
  // Makes the paper custom (256).
  virtual void SetPaperWidth(Extended Value);
  Extended PaperHeight() const { return FPaperHeight; }
  virtual void SetPaperHeight(Extended Value);
  int PaperSize() const { return FPaperSize; }
  // A paper of the table takes its size (turned for landscape); 256 and above keep theirs.
  virtual void SetPaperSize(int Value);
  Extended LeftMargin() const { return FLeftMargin; }
  void SetLeftMargin(Extended Value) { FLeftMargin = Value; }
  Extended RightMargin() const { return FRightMargin; }
  void SetRightMargin(Extended Value) { FRightMargin = Value; }
  Extended TopMargin() const { return FTopMargin; }
  void SetTopMargin(Extended Value) { FTopMargin = Value; }
  Extended BottomMargin() const { return FBottomMargin; }
  void SetBottomMargin(Extended Value) { FBottomMargin = Value; }
  bool MirrorMargins() const { return FMirrorMargins; }
  void SetMirrorMargins(bool Value) { FMirrorMargins = Value; }
  int Bin() const { return FBin; }
  void SetBin(int Value) { FBin = Value; }
  int BinOtherPages() const { return FBinOtherPages; }
  void SetBinOtherPages(int Value) { FBinOtherPages = Value; }
  TfrxDuplexMode Duplex() const { return FDuplex; }
  void SetDuplex(TfrxDuplexMode Value) { FDuplex = Value; }
  // Sets size number and measures as they are.
  void AssignPaper(int Size, Extended Width, Extended Height);
  // Width and Height (pixels) from the paper's millimetres.
  void UpdateDimensions();
  // Margins 10 mm, paper and orientation of the selected printer.
  virtual void TakePrinterDefaults();

  // ---- columns
  int Columns() const { return FColumns; }
  // Splits the printable width evenly; more than 256 columns are refused.
  void SetColumns(int Value);
  Extended ColumnWidth() const { return FColumnWidth; }
  void SetColumnWidth(Extended Value) { FColumnWidth = Value; }
  TStrings* ColumnPositions() const { return FColumnPositions.get(); }
  void SetColumnPositions(TStrings* Value);

  // ---- background
  TPicture* BackPicture() const;
  void SetBackPicture(TPicture* Value);
  TColor Color() const;
  void SetColor(TColor Value);
  TfrxFrame* Frame() const;
  void SetFrame(TfrxFrame* Value);
  TfrxPictureView* BackPictureView() const { return FBackPicture.get(); }
  // The background picture over the printable area.
  void PaintBackPicture(TCanvas* Canvas, Extended ScaleX, Extended ScaleY, Extended OffsetX, Extended OffsetY);

  // ---- data and the rest
  TfrxDataSet* DataSet() const { return FDataSet; }
  void SetDataSet(TfrxDataSet* Value);
  String DataSetName() const;
  void SetDataSetName(const String& Value);
  TStrings* HGuides() const { return FHGuides.get(); }
  void SetHGuides(TStrings* Value);
  TStrings* VGuides() const { return FVGuides.get(); }
  void SetVGuides(TStrings* Value);
  void RemoveGuides();
  bool LargeDesignHeight() const { return FLargeDesignHeight; }
  void SetLargeDesignHeight(bool Value) { FLargeDesignHeight = Value; }
  const String& OutlineText() const { return FOutlineText; }
  void SetOutlineText(const String& Value) { FOutlineText = Value; }
  bool PrintIfEmpty() const { return FPrintIfEmpty; }
  void SetPrintIfEmpty(bool Value) { FPrintIfEmpty = Value; }
  bool PrintOnPreviousPage() const { return FPrintOnPreviousPage; }
  void SetPrintOnPreviousPage(bool Value) { FPrintOnPreviousPage = Value; }
  bool TitleBeforeHeader() const { return FTitleBeforeHeader; }
  void SetTitleBeforeHeader(bool Value) { FTitleBeforeHeader = Value; }
  const String& OnAfterPrint() const { return FOnAfterPrint; }
  void SetOnAfterPrint(const String& Value) { FOnAfterPrint = Value; }
  const String& OnBeforePrint() const { return FOnBeforePrint; }
  void SetOnBeforePrint(const String& Value) { FOnBeforePrint = Value; }
  const String& OnManualBuild() const { return FOnManualBuild; }
  void SetOnManualBuild(const String& Value) { FOnManualBuild = Value; }

  // The first child of the class or a descendant; nullptr when none.
  TfrxComponent* FindBandOfClass(TClass Class) const;
  TfrxSubreport* SubreportOwner() const { return FSubreportOwner; }
  void SetSubreportOwner(TfrxSubreport* Value) { FSubreportOwner = Value; }
  bool IsSubreportPage() const { return FSubreportOwner != nullptr; }
  // Filled by the engine.
  std::vector<TfrxComponent*>& MasterBands() { return FMasterBands; }
  std::vector<TfrxComponent*>& VMasterBands() { return FVMasterBands; }

  String BaseName() const override { return "Page"; }
  String DisplayTypeName() const override;
  // Over the printable area; bands take the page's width (vertical ones its height).
  void ArrangeAlignedChildren() override;

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  Extended PrintableWidth() const { return (FPaperWidth - FLeftMargin - FRightMargin) * fr01cm; }
  Extended PrintableHeight() const { return (FPaperHeight - FTopMargin - FBottomMargin) * fr01cm; }

  TPrinterOrientation FOrientation = poPortrait;
  Extended FPaperWidth = 0, FPaperHeight = 0;
  int FPaperSize = 0;
  Extended FLeftMargin = 0, FRightMargin = 0, FTopMargin = 0, FBottomMargin = 0;
  bool FMirrorMargins = false;
  int FBin = 7, FBinOtherPages = 7;
  TfrxDuplexMode FDuplex = dmNone;
  int FColumns = 0;
  Extended FColumnWidth = 0;
  std::unique_ptr<TStringList> FColumnPositions;
  std::unique_ptr<TfrxPictureView> FBackPicture;
  TfrxDataSet* FDataSet = nullptr;
  String FDataSetName;
  std::unique_ptr<TStringList> FHGuides, FVGuides;
  bool FLargeDesignHeight = false;
  String FOutlineText;
  bool FPrintIfEmpty = true, FPrintOnPreviousPage = false, FTitleBeforeHeader = true;
  String FOnAfterPrint, FOnBeforePrint, FOnManualBuild;
  TfrxSubreport* FSubreportOwner = nullptr;
  std::vector<TfrxComponent*> FMasterBands, FVMasterBands;
};

// The window behind a dialog page: closing is refused until the page replaces its handlers.
class TfrxDialogForm : public TForm {
  KELM_CLASS(TfrxDialogForm, TForm)
public:
  // ThreadSafe when the owner's Tag is 318; the form itself has no owner. The creator reads
  // the layout (InitForm) unless the form is thread-safe.
  explicit TfrxDialogForm(TComponent* AOwner);
  bool ThreadSafe() const { return FThreadSafe; }
  // The end of a move or size: the designer learns that the bounds changed.
  TNotifyEvent OnModify;
  void FormCloseQuery(TObject* Sender, bool& CanClose);

protected:
  void WndProc(TMessage& Message) override;

private:
  bool FThreadSafe = false;
};

class TfrxDialogPage : public TfrxPage {
  KELM_CLASS(TfrxDialogPage, TfrxPage)
  template <class B> static void Published(B& b) {
    b.Prop("BorderStyle", &TfrxDialogPage::BorderStyle, &TfrxDialogPage::SetBorderStyle).Default(bsSizeable);
    b.Prop("Caption", &TfrxDialogPage::Caption, &TfrxDialogPage::SetCaption);
    b.Prop("Color", &TfrxDialogPage::Color, &TfrxDialogPage::SetColor).Type("TColor").Default(clBtnFace);
    b.Prop("Height", &TfrxDialogPage::Height, &TfrxDialogPage::SetHeight);
    b.Prop("Left", &TfrxDialogPage::Left, &TfrxDialogPage::SetLeft);
    b.Prop("Position", &TfrxDialogPage::Position, &TfrxDialogPage::SetPosition).Default(poScreenCenter);
    b.Prop("Top", &TfrxDialogPage::Top, &TfrxDialogPage::SetTop);
    b.Prop("Width", &TfrxDialogPage::Width, &TfrxDialogPage::SetWidth);
    b.Prop("WindowState", &TfrxDialogPage::WindowState, &TfrxDialogPage::SetWindowState).Default(wsNormal);
    b.Prop("OnActivate", &TfrxDialogPage::OnActivate, &TfrxDialogPage::SetOnActivate).Type("TfrxNotifyEvent");
    b.Prop("OnClick", &TfrxDialogPage::OnClick, &TfrxDialogPage::SetOnClick).Type("TfrxNotifyEvent");
    b.Prop("OnCloseQuery", &TfrxDialogPage::OnCloseQuery, &TfrxDialogPage::SetOnCloseQuery).Type("TfrxCloseQueryEvent");
    b.Prop("OnDeactivate", &TfrxDialogPage::OnDeactivate, &TfrxDialogPage::SetOnDeactivate).Type("TfrxNotifyEvent");
    b.Prop("OnHide", &TfrxDialogPage::OnHide, &TfrxDialogPage::SetOnHide).Type("TfrxNotifyEvent");
    b.Prop("OnKeyDown", &TfrxDialogPage::OnKeyDown, &TfrxDialogPage::SetOnKeyDown).Type("TfrxKeyEvent");
    b.Prop("OnKeyPress", &TfrxDialogPage::OnKeyPress, &TfrxDialogPage::SetOnKeyPress).Type("TfrxKeyPressEvent");
    b.Prop("OnKeyUp", &TfrxDialogPage::OnKeyUp, &TfrxDialogPage::SetOnKeyUp).Type("TfrxKeyEvent");
    b.Prop("OnResize", &TfrxDialogPage::OnResize, &TfrxDialogPage::SetOnResize).Type("TfrxNotifyEvent");
    b.Prop("OnShow", &TfrxDialogPage::OnShow, &TfrxDialogPage::SetOnShow).Type("TfrxNotifyEvent");
  }
public:
  explicit TfrxDialogPage(TComponent* AOwner);
  ~TfrxDialogPage() override;

  bool IsDialogPage() const override { return true; }
  TWinControl* DialogForm() const override;
  TfrxDialogForm* Form() const { return FForm.get(); }

  TFormBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TFormBorderStyle Value) { FBorderStyle = Value; }
  String Caption() const;
  void SetCaption(const String& Value);
  TColor Color() const;
  void SetColor(TColor Value);
  TPosition Position() const { return FPosition; }
  void SetPosition(TPosition Value) { FPosition = Value; }
  TWindowState WindowState() const { return FWindowState; }
  void SetWindowState(TWindowState Value) { FWindowState = Value; }
  void SetLeft(Extended Value) override;
  void SetTop(Extended Value) override;
  void SetWidth(Extended Value) override;
  void SetHeight(Extended Value) override;
  void PropagateFont() override;
  String DisplayTypeName() const override;

  // Script procedures run by the window's events.
#define FRX_PAGE_EVENT(Name) \
  const String& Name() const { return F##Name; } \
  void Set##Name(const String& Value) { F##Name = Value; }
  FRX_PAGE_EVENT(OnActivate)
  FRX_PAGE_EVENT(OnClick)
  FRX_PAGE_EVENT(OnCloseQuery)
  FRX_PAGE_EVENT(OnDeactivate)
  FRX_PAGE_EVENT(OnHide)
  FRX_PAGE_EVENT(OnKeyDown)
  FRX_PAGE_EVENT(OnKeyPress)
  FRX_PAGE_EVENT(OnKeyUp)
  FRX_PAGE_EVENT(OnResize)
  FRX_PAGE_EVENT(OnShow)
#undef FRX_PAGE_EVENT

  // Hides the form, applies Position and WindowState and puts the page's events on it.
  void SetupForm();
  // The form shown modally; its modal result. It stays on top afterwards.
  int ShowModal();
  TModalResult ModalResult() const;
  void SetModalResult(TModalResult Value);

private:
  void BridgeNotify(const String& Procedure);
  // Runs the procedure with var parameters; false when there is none to run.
  bool BridgeParams(const String& Procedure, Variant& Params);
  std::unique_ptr<TfrxDialogForm> FForm;
  TFormBorderStyle FBorderStyle = bsSizeable;
  TPosition FPosition = poScreenCenter;
  TWindowState FWindowState = wsNormal;
  String FOnActivate, FOnClick, FOnCloseQuery, FOnDeactivate, FOnHide, FOnKeyDown, FOnKeyPress, FOnKeyUp,
      FOnResize, FOnShow;
};

// Shows a report page inside the page that carries this object.
class TfrxSubreport : public TfrxView {
  KELM_CLASS(TfrxSubreport, TfrxView)
  template <class B> static void Published(B& b) {
    b.Prop("Page", &TfrxSubreport::Page, &TfrxSubreport::SetPage);
    b.Prop("PrintOnParent", &TfrxSubreport::PrintOnParent, &TfrxSubreport::SetPrintOnParent).Default(false);
  }
public:
  explicit TfrxSubreport(TComponent* AOwner);
  ~TfrxSubreport() override;
  TfrxReportPage* Page() const { return FPage; }
  // The page learns that this object shows it.
  void SetPage(TfrxReportPage* Value);
  bool PrintOnParent() const { return FPrintOnParent; }
  void SetPrintOnParent(bool Value) { FPrintOnParent = Value; }
  String DisplayTypeName() const override;
  // The view's background and frame, then the object's name.
  void DrawOnCanvas(TCanvas* Canvas, Extended ScaleX, Extended ScaleY, Extended OffsetX, Extended OffsetY) override;

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  TfrxReportPage* FPage = nullptr;
  bool FPrintOnParent = false;
};
