#include "grid/PrViewFormEh.h"

#include "core/ClassBuilder.h"
#include "core/Resources.h"
#include "core/SysUtils.h"
#include "gui/ImgList.h"
#include "gui/Messages.h"
#include "gui/Application.h"

const char* const TPreviewFormEh::PageText = "第 %d 页，共 %d 页";

KELM_PUBLISH(TPreviewFormEh) {
  b.Method("FormCreate", &TPreviewFormEh::FormCreate);
  b.Method("FormCloseQuery", &TPreviewFormEh::FormCloseQuery);
  b.Method("FormKeyDown", &TPreviewFormEh::FormKeyDown);
  b.Method("tbtPrintClick", &TPreviewFormEh::tbtPrintClick);
  b.Method("tbtPrinterSetupDialogClick", &TPreviewFormEh::tbtPrinterSetupDialogClick);
  b.Method("tbtScaleClick", &TPreviewFormEh::tbtScaleClick);
  b.Method("tbtPrevPageClick", &TPreviewFormEh::tbtPrevPageClick);
  b.Method("tbtNextPageClick", &TPreviewFormEh::tbtNextPageClick);
  b.Method("tbStopClick", &TPreviewFormEh::tbStopClick);
  b.Method("tbCloseClick", &TPreviewFormEh::tbCloseClick);
  b.Method("PageButtonMouseDown", &TPreviewFormEh::PageButtonMouseDown);
  b.Method("PageButtonMouseUp", &TPreviewFormEh::PageButtonMouseUp);
  b.Method("Timer1Timer", &TPreviewFormEh::Timer1Timer);
  b.Method("mniScaleClick", &TPreviewFormEh::mniScaleClick);
  b.Method("SplitterCanResize", &TPreviewFormEh::SplitterCanResize);
  b.Method("PreviewEh1OpenPreviewer", &TPreviewFormEh::PreviewEh1OpenPreviewer);
  b.Method("PreviewEh1PrinterPreviewChanged", &TPreviewFormEh::PreviewEh1PrinterPreviewChanged);
}

namespace {

// The large look's pictures, one per button in the bar's order.
const char* const kBarPictures[] = {"print", "edit", "refresh", "previous", "next", "delete", "document"};

void LoadBarPictures(TCustomImageList* List) {
  List->BeginUpdate();
  List->Clear();
  for (const char* name : kBarPictures) {
    TIcon picture;
    TResourceStream data("images/" + std::to_string(List->Width()) + "/" + name + ".png");
    picture.LoadFromStream(&data);
    List->AddIcon(&picture);
  }
  List->EndUpdate();
}

// What each look shows and its button size.
struct TBarLookInfo {
  bool Images, Captions;
  int ButtonWidth, ButtonHeight;
};
const TBarLookInfo kBarLooks[] = {
    {false, true, 55, 20},  // blCaptions
    {true, false, 39, 38},  // blImages
    {true, true, 55, 54},   // blImagesAndCaptions
};

const int kRepeatDelay = 400, kRepeatInterval = 100;

}  // namespace

void TPreviewFormEh::FormCreate(TObject*) {
  SetCaption("打印预览");
  for (int i = 0; i < pmnScale->Items()->Count(); ++i) pmnScale->Items()->Items(i)->SetTag(i);
  for (int i = 0; i < tbrMain->ButtonCount(); ++i) {
    TToolButton* b = tbrMain->Buttons(i);
    b->SetHint(b->Caption());
    b->SetImageIndex(i);
  }
  LoadBarPictures(imlMain);
  SetBarLook(blCaptions);
  PreviewEh1PrinterPreviewChanged(nullptr);
}

// ---------------------------------------------------------------- closing and keys

void TPreviewFormEh::FormCloseQuery(TObject*, bool& CanClose) {
  if (!PreviewEh1->Printer()->GetPrinting()) return;
  // The run stops at its next check; the window goes once it has.
  PreviewEh1->Printer()->AbortDocument();
  FCloseRequested = true;
  CanClose = false;
}

void TPreviewFormEh::FormKeyDown(TObject*, Word& Key, TShiftState) {
  if (Key != VK_ESCAPE) return;
  if (PreviewEh1->Printer()->GetPrinting()) PreviewEh1->Printer()->AbortDocument();
  else Close();
}

// ---------------------------------------------------------------- buttons

void TPreviewFormEh::tbtPrintClick(TObject*) { PreviewEh1->PrintPages(); }
void TPreviewFormEh::tbtPrinterSetupDialogClick(TObject*) { PreviewEh1->RunPrinterSetup(); }

void TPreviewFormEh::tbtScaleClick(TObject*) {
  TPoint p = tbtScale->ClientToScreen({0, tbtScale->Height()});
  pmnScale->Popup(p.X, p.Y);
}

void TPreviewFormEh::mniScaleClick(TObject* Sender) {
  auto* item = dynamic_cast<TMenuItem*>(Sender);
  if (!item) return;
  item->SetChecked(true);
  PreviewEh1->SetViewMode(item->Tag());
  PreviewEh1->UpdateLayout();
}

bool TPreviewFormEh::IgnoresReleaseClick(TObject* Sender) {
  if (!Sender || Timer1->Interval() != kRepeatInterval) return false;
  // Once: a later ordinary click counts again.
  Timer1->SetInterval(kRepeatDelay);
  return true;
}

void TPreviewFormEh::tbtPrevPageClick(TObject* Sender) {
  if (IgnoresReleaseClick(Sender)) return;
  PreviewEh1->SetPageIndex(PreviewEh1->PageIndex() - 1);
}

void TPreviewFormEh::tbtNextPageClick(TObject* Sender) {
  if (IgnoresReleaseClick(Sender)) return;
  PreviewEh1->SetPageIndex(PreviewEh1->PageIndex() + 1);
}

void TPreviewFormEh::tbStopClick(TObject*) { PreviewEh1->Printer()->AbortDocument(); }
void TPreviewFormEh::tbCloseClick(TObject*) { Close(); }

// ---------------------------------------------------------------- holding a page button

void TPreviewFormEh::PageButtonMouseDown(TObject* Sender, TMouseButton Button, TShiftState, int, int) {
  if (Button != mbLeft) return;
  FRepeatButton = dynamic_cast<TToolButton*>(Sender);
  Timer1->SetInterval(kRepeatDelay);
  Timer1->SetEnabled(true);
}

void TPreviewFormEh::PageButtonMouseUp(TObject*, TMouseButton, TShiftState, int, int) { Timer1->SetEnabled(false); }

void TPreviewFormEh::StopRepeat() {
  Timer1->SetEnabled(false);
  FRepeatButton = nullptr;
}

void TPreviewFormEh::Timer1Timer(TObject*) {
  Timer1->SetInterval(kRepeatInterval);
  if (!FRepeatButton || GetCaptureControl() != FRepeatButton) return;
  // A failing page turn stops the repeat; a good one repeats.
  try {
    if (FRepeatButton == tbtPrevPage) tbtPrevPageClick(nullptr);
    else if (FRepeatButton == tbtNextPage) tbtNextPageClick(nullptr);
  } catch (...) {
    StopRepeat();
    throw;
  }
}

// ---------------------------------------------------------------- the tool bar's looks

TPreviewBarLook TPreviewFormEh::LookForSize(int NewSize) const {
  switch (FLook) {
    case blCaptions: return NewSize > 40 ? blImages : blCaptions;
    case blImages: return NewSize > 54 ? blImagesAndCaptions : NewSize <= 24 ? blCaptions : blImages;
    case blImagesAndCaptions: return NewSize <= 41 ? blImages : blImagesAndCaptions;
  }
  return FLook;
}

void TPreviewFormEh::SetBarLook(TPreviewBarLook Look) {
  FLook = Look;
  const TBarLookInfo& info = kBarLooks[Look];
  tbrMain->SetImages(info.Images ? imlMain : nullptr);
  tbrMain->SetShowCaptions(info.Captions);
  tbrMain->SetButtonWidth(info.ButtonWidth);
  tbrMain->SetButtonHeight(info.ButtonHeight);
}

void TPreviewFormEh::SplitterCanResize(TObject*, int& NewSize, bool& Accept) {
  TPreviewBarLook look = LookForSize(NewSize);
  if (look != FLook) SetBarLook(look);
  // The bar sizes itself to its look.
  Accept = false;
}

// ---------------------------------------------------------------- the previewer's events

void TPreviewFormEh::PreviewEh1OpenPreviewer(TObject*) {
  if (WindowState() == wsMinimized) SetWindowState(wsNormal);
  if (!Visible()) Show();
  BringToFront();
}

TMenuItem* TPreviewFormEh::ScaleItem(int Mode) const {
  for (int i = 0; i < pmnScale->Items()->Count(); ++i)
    if (pmnScale->Items()->Items(i)->Tag() == Mode) return pmnScale->Items()->Items(i);
  return nullptr;
}

void TPreviewFormEh::PreviewEh1PrinterPreviewChanged(TObject*) {
  TPrinterPreview* p = PreviewEh1->Printer();
  bool printing = p->GetPrinting();
  if (!printing && FCloseRequested) {
    FCloseRequested = false;
    Close();
  }
  tbStop->SetEnabled(printing);
  tbClose->SetEnabled(!printing);
  tbtPrint->SetEnabled(!printing && p->HasPrinters());
  bool hasSetup = PreviewEh1->SetupHandler() || PreviewEh1->SetupChangedHandler();
  tbtPrinterSetupDialog->SetEnabled(!printing && hasSetup && PreviewEh1->PrintSource());
  tbtPrevPage->SetEnabled(PreviewEh1->PageIndex() > 1);
  tbtNextPage->SetEnabled(PreviewEh1->PageIndex() < PreviewEh1->PageCount());
  stbMain->SetSimpleText(Format(PageText, {PreviewEh1->PageIndex(), PreviewEh1->PageCount()}));
  if (TMenuItem* item = ScaleItem(PreviewEh1->ViewMode())) item->SetChecked(true);
  SetCaption(String("预览") + " - " + p->GetTitle());
}

// ================================================================ the shared preview

namespace {
TPreviewFormEh* GPreviewForm = nullptr;
}  // namespace

TPrinterPreview* GetSharedPrinterPreview() {
  if (!GPreviewForm) {
    GPreviewForm = CreateForm<TPreviewFormEh>(Application, &GPreviewForm);
  }
  return GPreviewForm->PreviewEh1->Printer();
}

TPreviewFormEh* SharedPreviewForm() { return GPreviewForm; }

TPreviewFormEh::~TPreviewFormEh() {
  if (GPreviewForm == this) GPreviewForm = nullptr;
}
