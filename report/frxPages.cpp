#include "report/frxPages.h"

#include "core/ClassBuilder.h"
#include "core/ObjectHandles.h"
#include "core/FloatFormat.h"
#include "core/Scope.h"
#include "core/StrUtils.h"
#include "core/StringList.h"
#include "gui/Canvas.h"
#include "gui/Messages.h"
#include "gui/Pictures.h"
#include "report/frxBands.h"
#include "report/frxClassBases.h"
#include "report/frxRes.h"
#include "report/frxShapes.h"

#include <cmath>
#include <mutex>

namespace {

String TypeName(const char* Key, const char* Fallback) {
  String t = ReportResources()->TextOf(Key);
  return t == Key ? String(Fallback) : t;
}

int RoundPx(Extended v) { return static_cast<int>(std::lround(static_cast<double>(v))); }

String PointFloat(Extended v) {
  static const TFormatSettings fs = [] {
    TFormatSettings f;
    f.DecimalSeparator = '.';
    return f;
  }();
  return FloatToStr(v, fs);
}

}  // namespace

// ================================================================ TfrxReportPage

KELM_PUBLISH(TfrxReportPage) { Published(b); }

TfrxReportPage::TfrxReportPage(TComponent* AOwner)
    : TfrxPage(AOwner),
      FColumnPositions(std::make_unique<TStringList>()),
      FBackPicture(std::make_unique<TfrxPictureView>(nullptr)),
      FHGuides(std::make_unique<TStringList>()),
      FVGuides(std::make_unique<TStringList>()) {
  FBackPicture->SetColor(clNone);
  FBackPicture->SetKeepAspectRatio(false);
  FBackPicture->SetStretched(true);
  SetPaperSize(9);
}

TfrxReportPage::~TfrxReportPage() = default;

void TfrxReportPage::UpdateDimensions() {
  SetWidth(RoundPx(FPaperWidth * fr01cm));
  SetHeight(RoundPx(FPaperHeight * fr01cm));
}

void TfrxReportPage::SetPaperSize(int Value) {
  FPaperSize = Value;
  if (Value >= 256) return;
  Extended w, h;
  if (!LookupPaperSize(Value, w, h)) return;
  FPaperWidth = FOrientation == poLandscape ? h : w;
  FPaperHeight = FOrientation == poLandscape ? w : h;
  UpdateDimensions();
}

void TfrxReportPage::SetPaperWidth(Extended Value) {
  FPaperWidth = Value;
  FPaperSize = 256;
  UpdateDimensions();
}

void TfrxReportPage::SetPaperHeight(Extended Value) {
  FPaperHeight = Value;
  FPaperSize = 256;
  UpdateDimensions();
}

void TfrxReportPage::AssignPaper(int Size, Extended Width, Extended Height) {
  FPaperSize = Size;
  FPaperWidth = Width;
  FPaperHeight = Height;
  UpdateDimensions();
}

void TfrxReportPage::SetOrientation(TPrinterOrientation Value) {
  if (FOrientation != Value) {
    std::swap(FPaperWidth, FPaperHeight);
    Extended l = FLeftMargin, r = FRightMargin, t = FTopMargin, b = FBottomMargin;
    if (Value == poLandscape) {
      FLeftMargin = t;
      FRightMargin = b;
      FTopMargin = r;
      FBottomMargin = l;
    } else {
      FLeftMargin = b;
      FRightMargin = t;
      FTopMargin = l;
      FBottomMargin = r;
    }
    FOrientation = Value;
    UpdateDimensions();
  }
  FOrientation = Value;
}

void TfrxReportPage::TakePrinterDefaults() {
  FLeftMargin = FRightMargin = FTopMargin = FBottomMargin = 10;
  if (TfrxCustomPrinter* p = ReportPrinters()->CurrentPrinter()) {
    FPaperSize = p->DefaultPaperSize;
    FPaperWidth = p->DefaultPaperWidth;
    FPaperHeight = p->DefaultPaperHeight;
    FOrientation = p->DefaultOrientation;
  }
  UpdateDimensions();
}

void TfrxReportPage::SetColumns(int Value) {
  // A column list as long as an absurd count is not built: the value is refused.
  if (Value < 0 || Value > 256) throw EPropertyError("Invalid property value");
  FColumns = Value;
  FColumnPositions->Clear();
  if (Value <= 0) return;
  FColumnWidth = (FPaperWidth - FLeftMargin - FRightMargin) / Value;
  for (int i = 0; i < Value; ++i) FColumnPositions->Add(PointFloat(i * FColumnWidth));
}

void TfrxReportPage::SetColumnPositions(TStrings* Value) { FColumnPositions->Assign(Value); }

TPicture* TfrxReportPage::BackPicture() const { return FBackPicture->Picture(); }
void TfrxReportPage::SetBackPicture(TPicture* Value) { FBackPicture->SetPicture(Value); }
TColor TfrxReportPage::Color() const { return FBackPicture->Color(); }
void TfrxReportPage::SetColor(TColor Value) { FBackPicture->SetColor(Value); }
TfrxFrame* TfrxReportPage::Frame() const { return FBackPicture->Frame(); }
void TfrxReportPage::SetFrame(TfrxFrame* Value) { FBackPicture->SetFrame(Value); }

void TfrxReportPage::PaintBackPicture(TCanvas* Canvas, Extended ScaleX, Extended ScaleY, Extended OffsetX,
                                      Extended OffsetY) {
  FBackPicture->SetBounds(0, 0, PrintableWidth(), PrintableHeight());
  FBackPicture->DrawOnCanvas(Canvas, ScaleX, ScaleY, FLeftMargin * fr01cm * ScaleX + OffsetX,
                             FTopMargin * fr01cm * ScaleY + OffsetY);
}

void TfrxReportPage::SetDataSet(TfrxDataSet* Value) {
  AssignReference<TfrxDataSet>(this, FDataSet, Value);
  FDataSetName = Value ? Value->UserName() : String();
}

String TfrxReportPage::DataSetName() const { return FDataSet ? FDataSet->UserName() : FDataSetName; }

void TfrxReportPage::SetDataSetName(const String& Value) {
  FDataSetName = Value;
  if (Value.empty()) {
    AssignReference<TfrxDataSet>(this, FDataSet, nullptr);
    return;
  }
  TfrxReport* report = FindParentReport();
  if (!report) return;
  if (TfrxDataSet* ds = TfrxDataSet::FindByUserName(nullptr, Value, report))
    AssignReference<TfrxDataSet>(this, FDataSet, ds);
}

void TfrxReportPage::SetHGuides(TStrings* Value) { FHGuides->Assign(Value); }
void TfrxReportPage::SetVGuides(TStrings* Value) { FVGuides->Assign(Value); }

void TfrxReportPage::RemoveGuides() {
  FHGuides->Clear();
  FVGuides->Clear();
}

TfrxComponent* TfrxReportPage::FindBandOfClass(TClass Class) const {
  for (int i = 0; i < ObjectCount(); ++i)
    if (Objects(i)->InheritsFrom(Class)) return Objects(i);
  return nullptr;
}

String TfrxReportPage::DisplayTypeName() const { return TypeName("obRepPage", "Report page"); }

void TfrxReportPage::ArrangeAlignedChildren() {
  SetWidth(PrintableWidth());
  SetHeight(PrintableHeight());
  TfrxPage::ArrangeAlignedChildren();
  for (int i = 0; i < ObjectCount(); ++i) {
    auto* band = dynamic_cast<TfrxBand*>(Objects(i));
    if (!band) continue;
    if (band->Vertical()) band->SetHeight(PrintableHeight() - band->Top());
    else band->SetWidth(Width() - band->Left());
    band->ArrangeAlignedChildren();
  }
  UpdateDimensions();
}

void TfrxReportPage::Notification(TComponent* AComponent, TOperation Operation) {
  TfrxPage::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FDataSet) FDataSet = nullptr;
}


// ================================================================ dialog pages

KELM_PUBLISH(TfrxDialogForm) { b.Method("FormCloseQuery", &TfrxDialogForm::FormCloseQuery); }

TfrxDialogForm::TfrxDialogForm(TComponent* AOwner) : TForm(nullptr), FThreadSafe(AOwner && AOwner->Tag() == 318) {}

void TfrxDialogForm::FormCloseQuery(TObject*, bool& CanClose) { CanClose = false; }

void TfrxDialogForm::WndProc(TMessage& Message) {
  TForm::WndProc(Message);
  if (Message.Msg == WM_EXITSIZEMOVE && OnModify) OnModify(this);
}

KELM_PUBLISH(TfrxDialogPage) { Published(b); }

TfrxDialogPage::TfrxDialogPage(TComponent* AOwner) : TfrxPage(AOwner) {
  FForm = std::make_unique<TfrxDialogForm>(this);
  // A thread-safe form starts from the defaults; any other reads its layout.
  if (!FForm->ThreadSafe()) FForm->InitForm();
  FForm->SetKeyPreview(true);
  FForm->Font()->SetName("Tahoma");
  FForm->Font()->SetSize(8);
  Font()->SetName("Tahoma");
  Font()->SetSize(8);
}

TfrxDialogPage::~TfrxDialogPage() {
  std::lock_guard<std::recursive_mutex> hold(ReportLock());
  TfrxComponent::Clear();  // the controls on the form go with their objects
  FForm.reset();
}

TWinControl* TfrxDialogPage::DialogForm() const { return FForm.get(); }

String TfrxDialogPage::Caption() const { return FForm->Caption(); }
void TfrxDialogPage::SetCaption(const String& Value) { FForm->SetCaption(Value); }
TColor TfrxDialogPage::Color() const { return FForm->Color(); }
void TfrxDialogPage::SetColor(TColor Value) { FForm->SetColor(Value); }

void TfrxDialogPage::SetLeft(Extended Value) {
  TfrxPage::SetLeft(Value);
  if (FForm) FForm->SetLeft(RoundPx(Left()));
}
void TfrxDialogPage::SetTop(Extended Value) {
  TfrxPage::SetTop(Value);
  if (FForm) FForm->SetTop(RoundPx(Top()));
}
void TfrxDialogPage::SetWidth(Extended Value) {
  TfrxPage::SetWidth(Value);
  if (FForm) FForm->SetWidth(RoundPx(Width()));
}
void TfrxDialogPage::SetHeight(Extended Value) {
  TfrxPage::SetHeight(Value);
  if (FForm) FForm->SetHeight(RoundPx(Height()));
}

void TfrxDialogPage::PropagateFont() {
  TfrxPage::PropagateFont();
  if (FForm) FForm->Font()->Assign(Font());
}

String TfrxDialogPage::DisplayTypeName() const { return TypeName("obDlgPage", "Dialog form"); }

void TfrxDialogPage::BridgeNotify(const String& Procedure) {
  // A dialog shows only while its report runs or its script shows it: the events always fire.
  if (TfrxReport* report = FindParentReport(); report && !Procedure.empty()) report->RunScriptEvent(this, Procedure, true);
}

bool TfrxDialogPage::BridgeParams(const String& Procedure, Variant& Params) {
  TfrxReport* report = FindParentReport();
  if (!report || Procedure.empty()) return false;
  report->RunScriptEventWithParams(Procedure, Params, true);
  return true;
}

void TfrxDialogPage::SetupForm() {
  if (FForm->Visible()) FForm->Hide();
  FForm->SetPosition(FPosition);
  FForm->SetWindowState(FWindowState);
  // The window's events run the page's script procedures; this replaces the form's own
  // refusal to close.
  auto notify = [this](const String* Procedure) { return TNotifyEvent::Lambda([this, Procedure](TObject*) { BridgeNotify(*Procedure); }); };
  FForm->OnActivate = notify(&FOnActivate);
  FForm->OnClick = notify(&FOnClick);
  FForm->OnDeactivate = notify(&FOnDeactivate);
  FForm->OnHide = notify(&FOnHide);
  // Buttons learn which control has the focus before the script sees the window.
  FForm->OnShow = TNotifyEvent::Lambda([this](TObject*) {
    FForm->Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(FForm->ActiveControl()));
    BridgeNotify(FOnShow);
  });
  FForm->OnResize = notify(&FOnResize);
  FForm->OnCloseQuery = TCloseQueryEvent::Lambda([this](TObject*, bool& CanClose) {
    Variant params = VarArrayOf({Variant(HandleOf(this)), Variant(CanClose)});
    if (BridgeParams(FOnCloseQuery, params)) CanClose = params.GetElement({1}).AsBoolean();
  });
  auto key = [this](const String* Procedure) {
    return TKeyEvent::Lambda([this, Procedure](TObject*, Word& Key, TShiftState Shift) {
      Variant params = VarArrayOf({Variant(HandleOf(this)), Variant(static_cast<int>(Key)),
                                   Variant(static_cast<int>(Shift.Bits()))});
      if (BridgeParams(*Procedure, params)) Key = static_cast<Word>(params.GetElement({1}).AsInteger());
    });
  };
  FForm->OnKeyDown = key(&FOnKeyDown);
  FForm->OnKeyUp = key(&FOnKeyUp);
  FForm->OnKeyPress = TKeyPressEvent::Lambda([this](TObject*, Char& Key) {
    String typed;
    AppendUtf8(typed, Key);
    Variant params = VarArrayOf({Variant(HandleOf(this)), Variant(typed)});
    if (BridgeParams(FOnKeyPress, params)) {
      String text = VarToStr(params.GetElement({1}));
      std::size_t pos = 0;
      Key = text.empty() ? Char(0) : DecodeUtf8(text, pos);
    }
  });
}

int TfrxDialogPage::ShowModal() {
  SetupForm();
  FForm->SetBorderStyle(FBorderStyle);
  FForm->SetFormStyle(fsNormal);
  TScopeExit onTop([this] { FForm->SetFormStyle(fsStayOnTop); });
  return FForm->ShowModal();
}

TModalResult TfrxDialogPage::ModalResult() const { return FForm->ModalResult(); }
void TfrxDialogPage::SetModalResult(TModalResult Value) { FForm->SetModalResult(Value); }

// ================================================================ sub-reports

KELM_PUBLISH(TfrxSubreport) { Published(b); }

TfrxSubreport::TfrxSubreport(TComponent* AOwner) : TfrxView(AOwner) {
  Frame()->SetTyp(TfrxFrameTypes{ftLeft, ftRight, ftTop, ftBottom});
  Font()->SetName("Tahoma");
  Font()->SetSize(8);
  SetColor(clSilver);
}

TfrxSubreport::~TfrxSubreport() {
  if (FPage) FPage->SetSubreportOwner(nullptr);
}

void TfrxSubreport::SetPage(TfrxReportPage* Value) {
  if (FPage && FPage->SubreportOwner() == this) FPage->SetSubreportOwner(nullptr);
  AssignReference<TfrxReportPage>(this, FPage, Value);
  if (FPage) FPage->SetSubreportOwner(this);
}

void TfrxSubreport::Notification(TComponent* AComponent, TOperation Operation) {
  TfrxView::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FPage) FPage = nullptr;
}

String TfrxSubreport::DisplayTypeName() const { return TypeName("obSubRep", "Subreport object"); }

void TfrxSubreport::DrawOnCanvas(TCanvas* Canvas, Extended ScaleX, Extended ScaleY, Extended OffsetX,
                                 Extended OffsetY) {
  TfrxView::DrawOnCanvas(Canvas, ScaleX, ScaleY, OffsetX, OffsetY);
  if (!Canvas) return;
  Canvas->Font()->Assign(Font());
  Canvas->Brush()->SetStyle(bsClear);
  Canvas->TextOut(PixelLeft() + 2, PixelTop() + 2, Name());
}
