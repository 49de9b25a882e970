#include "report/frxPreviewForm.h"

#include "core/ClassBuilder.h"
#include "core/Format.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "gui/Application.h"
#include "gui/Buttons.h"
#include "gui/ComboBox.h"
#include "gui/ComCtrls.h"
#include "gui/Edit.h"
#include "gui/Menus.h"
#include "gui/Messages.h"
#include "gui/ToolBar.h"
#include "gui/Window.h"
#include "report/frxClass.h"
#include "report/frxCtrls.h"
#include "report/frxDsgnIntf.h"
#include "report/frxExportFilter.h"
#include "report/frxFormUtils.h"
#include "report/frxPreview.h"
#include "report/frxPreviewPages.h"
#include "report/frxPrinter.h"
#include "report/frxRes.h"
#include "report/frxUtils.h"

KELM_PUBLISH(TfrxPreviewForm) {
  b.Method("FormCreate", &TfrxPreviewForm::FormCreate);
  b.Method("FormClose", &TfrxPreviewForm::FormClose);
  b.Method("FormShow", &TfrxPreviewForm::FormShow);
  b.Method("FormCloseQuery", &TfrxPreviewForm::FormCloseQuery);
  b.Method("FormKeyDown", &TfrxPreviewForm::FormKeyDown);
  b.Method("FormMouseWheel", &TfrxPreviewForm::FormMouseWheel);
  b.Method("PrintBClick", &TfrxPreviewForm::PrintBClick);
  b.Method("OpenBClick", &TfrxPreviewForm::OpenBClick);
  b.Method("SaveBClick", &TfrxPreviewForm::SaveBClick);
  b.Method("ExportMIClick", &TfrxPreviewForm::ExportMIClick);
  b.Method("PdfBClick", &TfrxPreviewForm::PdfBClick);
  b.Method("EmailBClick", &TfrxPreviewForm::EmailBClick);
  b.Method("FindBClick", &TfrxPreviewForm::FindBClick);
  b.Method("ZoomWholePageBClick", &TfrxPreviewForm::ZoomWholePageBClick);
  b.Method("ZoomPageWidthBClick", &TfrxPreviewForm::ZoomPageWidthBClick);
  b.Method("Zoom100BClick", &TfrxPreviewForm::Zoom100BClick);
  b.Method("Zoom50BClick", &TfrxPreviewForm::Zoom50BClick);
  b.Method("ZoomCBClick", &TfrxPreviewForm::ZoomCBClick);
  b.Method("ZoomCBKeyPress", &TfrxPreviewForm::ZoomCBKeyPress);
  b.Method("FullScreenBtnClick", &TfrxPreviewForm::FullScreenBtnClick);
  b.Method("PageSettingsBClick", &TfrxPreviewForm::PageSettingsBClick);
  b.Method("OutlineBClick", &TfrxPreviewForm::OutlineBClick);
  b.Method("SelectToolBClick", &TfrxPreviewForm::SelectToolBClick);
  b.Method("NewPageBClick", &TfrxPreviewForm::NewPageBClick);
  b.Method("DelPageBClick", &TfrxPreviewForm::DelPageBClick);
  b.Method("DesignerBClick", &TfrxPreviewForm::DesignerBClick);
  b.Method("DesignerBMouseUp", &TfrxPreviewForm::DesignerBMouseUp);
  b.Method("Showtemplate1Click", &TfrxPreviewForm::Showtemplate1Click);
  b.Method("FirstBClick", &TfrxPreviewForm::FirstBClick);
  b.Method("PriorBClick", &TfrxPreviewForm::PriorBClick);
  b.Method("NextBClick", &TfrxPreviewForm::NextBClick);
  b.Method("LastBClick", &TfrxPreviewForm::LastBClick);
  b.Method("PageEClick", &TfrxPreviewForm::PageEClick);
  b.Method("PageEKeyPress", &TfrxPreviewForm::PageEKeyPress);
  b.Method("CancelBClick", &TfrxPreviewForm::CancelBClick);
}

namespace {

// Caption key and hint key of each button, by the layout's names.
struct TButtonTexts {
  const char* Name;
  int Caption;  // 0: none
  int Hint;
};
constexpr TButtonTexts kButtonTexts[] = {
    {"PrintB", 101, 102},         {"OpenB", 103, 104},          {"SaveB", 105, 106},
    {"ExportB", 107, 108},        {"PdfB", 0, 151},             {"EmailB", 0, 152},
    {"FindB", 109, 110},          {"ZoomWholePageB", 111, 112}, {"ZoomPageWidthB", 113, 114},
    {"Zoom100B", 115, 116},       {"Zoom50B", 117, 118},        {"Sep3", 0, 119},
    {"FullScreenBtn", 0, 150},    {"PageSettingsB", 120, 121},  {"OutlineB", 122, 123},
    {"HandToolB", 124, 125},      {"ZoomToolB", 126, 127},      {"NewPageB", 128, 129},
    {"DelPageB", 130, 131},       {"DesignerB", 132, 133},      {"FirstB", 134, 135},
    {"PriorB", 136, 137},         {"Sep4", 0, 142},             {"NextB", 138, 139},
    {"LastB", 140, 141},
};

}  // namespace

TfrxPreviewForm::TfrxPreviewForm(TComponent* AOwner) : inherited(AOwner) {}

TfrxPreviewForm::~TfrxPreviewForm() = default;

void TfrxPreviewForm::FormCreate(TObject*) {
  SetCaption(ResourceText(100));
  for (const TButtonTexts& t : kButtonTexts) {
    auto* control = dynamic_cast<TControl*>(FindComponent(t.Name));
    if (!control) continue;
    if (t.Caption)
      if (auto* button = dynamic_cast<TToolButton*>(control)) button->SetCaption(ResourceText(t.Caption));
    control->SetHint(ResourceText(t.Hint));
  }
  CancelB->SetCaption(ResourceText(2));
  TStrings* zooms = ZoomCB->Items();
  zooms->Clear();
  for (const char* z : {"25%", "50%", "75%", "100%", "150%", "200%"}) zooms->Add(z);
  zooms->Add(ReportResources()->TextOf("zmPageWidth"));
  zooms->Add(ReportResources()->TextOf("zmWholePage"));
  ToolBar->SetImages(ReportResources()->PreviewImages());
  FPreview = new TfrxPreview(this);
  FPreview->SetParent(this);
  FPreview->SetAlign(alClient);
  FPreview->OnPageChanged = MakeEvent(this, &TfrxPreviewForm::ShowPageStatus);
  PageE->SetWindowStyles(PageE->WindowStyle() | ES_NUMBER, PageE->WindowExStyle());
}

void TfrxPreviewForm::ShowPageStatus(TfrxPreview*, int PageNo) {
  TfrxPreviewPages* pages = FPreview->Pages();
  TfrxCustomEngine* engine = pages ? pages->Engine() : nullptr;
  String text;
  if (engine && engine->DoublePass() && !engine->FinalPass() && FPreview->Preparing())
    text = ReportResources()->TextOf("clFirstPass") + " " + IntToStr(FPreview->PageCount());
  else
    text = Format(ReportResources()->TextOf("clPageOf"), {PageNo, FPreview->PageCount()});
  StatusBar->Panels()->Items(0)->SetText(text);
  PageE->SetText(IntToStr(PageNo));
}

void TfrxPreviewForm::RemoveSeparator(TToolButton*& Separator) {
  // A removed separator does not come back: it is freed.
  delete Separator;
}

void TfrxPreviewForm::ApplyPreviewOptions() {
  TfrxReport* report = FPreview->Report();
  if (!report) return;
  TfrxPreviewOptions* o = report->PreviewOptions();
  if (o->Maximized()) SetWindowState(wsMaximized);
  if (o->MDIChild()) SetFormStyle(fsMDIChild);
  FPreview->SetOutlineVisible(o->OutlineVisible());
  FPreview->SetOutlineWidth(o->OutlineWidth());
  FPreview->SetZoom(o->Zoom());
  FPreview->SetZoomMode(o->ZoomMode());
  NewPageB->SetEnabled(o->AllowEdit());
  DelPageB->SetEnabled(o->AllowEdit());
  DesignerB->SetEnabled(o->AllowEdit());

  TfrxPreviewButtons b = o->Buttons();
  PrintB->SetVisible(b.Contains(pbPrint));
  OpenB->SetVisible(b.Contains(pbLoad));
  SaveB->SetVisible(b.Contains(pbSave));
  ExportB->SetVisible(b.Contains(pbExport));
  FindB->SetVisible(b.Contains(pbFind));
  PdfB->SetVisible(false);
  EmailB->SetVisible(false);
  bool zoom = b.Contains(pbZoom);
  for (TControl* c : std::initializer_list<TControl*>{ZoomWholePageB, ZoomPageWidthB, Zoom100B, Zoom50B, Sep3, FullScreenBtn})
    c->SetVisible(zoom);
  if (!zoom) RemoveSeparator(Sep1);
  OutlineB->SetVisible(b.Contains(pbOutline));
  OutlineB->SetDown(o->OutlineVisible());
  PageSettingsB->SetVisible(b.Contains(pbPageSetup));
  if (!OutlineB->Visible() && !PageSettingsB->Visible()) RemoveSeparator(Sep2);
  HandToolB->SetVisible(b.Contains(pbTools));
  ZoomToolB->SetVisible(b.Contains(pbTools));
  if (!b.Contains(pbTools)) RemoveSeparator(Sep5);
  NewPageB->SetVisible(b.Contains(pbEdit));
  DelPageB->SetVisible(b.Contains(pbEdit));
  DesignerB->SetVisible(b.Contains(pbEdit) && DesignerClass != nullptr);
  if (!b.Contains(pbEdit)) RemoveSeparator(Sep7);
  bool navigator = b.Contains(pbNavigator);
  for (TControl* c : std::initializer_list<TControl*>{FirstB, PriorB, NextB, LastB, Sep4}) c->SetVisible(navigator);
  if (!navigator) RemoveSeparator(Sep6);
  CancelB->SetVisible(!b.Contains(pbNoClose));
  ToolBar->SetShowCaptions(o->ShowCaptions());
  BuildExportMenu();
  if (!report->ReportOptions()->Name().empty()) SetCaption(report->ReportOptions()->Name());
  FPreview->AttachReport(report);
  BuildRightMenu();
  UpdateControls();
}

void TfrxPreviewForm::BuildExportMenu() {
  TfrxExportFilterCollection& registry = ExportFilterRegistry();
  TfrxCustomExportFilter* dotMatrix = DotMatrixExportFilter();
  bool any = false;
  TfrxPreviewButtons buttons = FPreview->Report()->PreviewOptions()->Buttons();
  for (int i = 0; i < registry.Count(); ++i) {
    TfrxCustomExportFilter* filter = registry.ItemAt(i).Filter;
    if (!filter || filter == dotMatrix) continue;
    any = true;
    auto* item = new TMenuItem(ExportPopup);
    item->SetCaption(filter->GetDescription() + "...");
    item->SetTag(i);
    item->OnClick = MakeEvent(this, &TfrxPreviewForm::ExportMIClick);
    ExportPopup->Items()->Add(item);
    if (filter->ClassName() == "TfrxPDFExport") {
      FPDFExport = filter;
      PdfB->SetVisible(buttons.Contains(pbExportQuick));
    } else if (filter->ClassName() == "TfrxMailExport") {
      FEmailExport = filter;
      EmailB->SetVisible(buttons.Contains(pbExportQuick));
    }
  }
  if (!any) ExportB->SetVisible(false);
}

void TfrxPreviewForm::BuildRightMenu() {
  RightMenu->SetImages(ToolBar->Images());
  RightMenu->Items()->Clear();
  int separators = 0;
  for (int i = 0; i < ToolBar->ButtonCount(); ++i) {
    TToolButton* button = ToolBar->Buttons(i);
    if (button->IsSeparator()) {
      if (++separators == 2) break;
      auto* line = new TMenuItem(RightMenu);
      line->SetCaption("-");
      RightMenu->Items()->Add(line);
      continue;
    }
    if (button->Style() == tbsCheck || !button->Visible() || button->Hint().empty()) continue;
    auto* item = new TMenuItem(RightMenu);
    item->SetCaption(button->Hint());
    item->OnClick = button->OnClick;
    item->SetImageIndex(button->ImageIndex());
    if (TPopupMenu* menu = button->DropdownMenu())
      for (int k = 0; k < menu->Items()->Count(); ++k) {
        TMenuItem* source = menu->Items()->Items(k);
        auto* sub = new TMenuItem(RightMenu);
        sub->SetCaption(source->Caption());
        sub->SetTag(source->Tag());
        sub->OnClick = source->OnClick;
        item->Add(sub);
      }
    RightMenu->Items()->Add(item);
  }
  SetPopupMenu(RightMenu);
}

void TfrxPreviewForm::UpdateControls() {
  bool ready = !FPreview->Preparing() && FPreview->PageCount() > 0;
  bool editing = !FPreview->Preparing() && FPreview->Report() && FPreview->Report()->PreviewOptions()->AllowEdit();
  auto enable = [](TToolButton* Button, bool Value) {
    if (!Button) return;
    Button->SetEnabled(Value);
    if (!Value) Button->SetDown(false);
  };
  for (TToolButton* button : {PrintB, OpenB, SaveB, ExportB, PdfB, EmailB, FindB, PageSettingsB}) enable(button, ready);
  for (TToolButton* button : {NewPageB, DelPageB, DesignerB}) enable(button, editing);
}

void TfrxPreviewForm::ShowZoomText() { ZoomCB->SetText(IntToStr(static_cast<int>(FPreview->Zoom() * 100 + 0.5)) + "%"); }

void TfrxPreviewForm::ShowStatusHint(const String& Text) {
  StatusBar->Panels()->Items(1)->SetText(Text);
  Application->ProcessMessages();
}

void TfrxPreviewForm::ShowCloseCaption(bool Finished) {
  CancelB->SetCaption(ReportResources()->TextOf(Finished ? "clClose" : "clCancel"));
  if (Finished) StatusBar->Panels()->Items(1)->SetText("");
}

void TfrxPreviewForm::SwitchFullScreen() {
  if (!FFullScreen) {
    StatusBar->SetVisible(false);
    ToolBar->SetVisible(false);
    FOldBorderStyle = BorderStyle();
    FOldState = WindowState();
    SetBorderStyle(bsNone);
    SetWindowState(wsMaximized);
    FFullScreen = true;
  } else {
    SetWindowState(FOldState);
    SetBorderStyle(FOldBorderStyle);
    ToolBar->SetVisible(true);
    StatusBar->SetVisible(true);
    FFullScreen = false;
  }
}

// The pages have the keys from the start.
void TfrxPreviewForm::FormShow(TObject*) {
  if (FPreview->Workspace()->CanFocus()) SetActiveControl(FPreview->Workspace());
}

// ---- closing

void TfrxPreviewForm::FormCloseQuery(TObject*, bool& CanClose) { CanClose = !FPreview->Preparing(); }

void TfrxPreviewForm::FormClose(TObject*, TCloseAction& Action) {
  if (FFreeOnClose) Action = caFree;
}

void TfrxPreviewForm::CancelBClick(TObject*) {
  if (FPreview->Preparing()) FPreview->CancelIfPreparing();
  else Close();
}

// ---- keys and wheel

void TfrxPreviewForm::FormKeyDown(TObject*, Word& Key, TShiftState Shift) {
  if (Key == VK_ESCAPE) {
    CancelBClick(nullptr);
    Key = 0;
  } else if (Key == VK_F11) {
    SwitchFullScreen();
    Key = 0;
  }
  // F1 opens no help here: the program carries no help viewer.
}

void TfrxPreviewForm::FormMouseWheel(TObject*, TShiftState Shift, int WheelDelta, TPoint, bool& Handled) {
  FPreview->WheelScroll(WheelDelta, false, Shift.Contains(ssCtrl));
  Handled = true;
}

void TfrxPreviewForm::ZoomCBKeyPress(TObject*, Char& Key) {
  if (Key != '\r') return;
  Key = 0;
  ZoomCBClick(nullptr);
}

void TfrxPreviewForm::PageEKeyPress(TObject*, Char& Key) {
  if (Key != '\r') return;
  Key = 0;
  PageEClick(nullptr);
}

void TfrxPreviewForm::PageEClick(TObject*) {
  FPreview->SetPageNo(StrToInt(PageE->Text()));
  if (FPreview->CanFocus()) FPreview->SetFocus();
}

void TfrxPreviewForm::ZoomCBClick(TObject*) {
  if (FPreview->CanFocus()) FPreview->SetFocus();
  int index = ZoomCB->ItemIndex();
  String text = ZoomCB->Text();
  if (index >= 0 && ZoomCB->Items()->Strings(index) != text) index = -1;
  if (index == 6) {
    ZoomPageWidthBClick(nullptr);
  } else if (index == 7) {
    ZoomWholePageBClick(nullptr);
  } else {
    std::size_t percent = text.find('%');
    if (percent != String::npos) text[percent] = ' ';
    text = StringReplace(text, " ", "", {rfReplaceAll});
    if (!text.empty()) FPreview->SetZoom(StrToFloatAnySep(text) / 100);
  }
  PostMessage(Handle(), WM_USER + 1, 0, 0);
}

void TfrxPreviewForm::WndProc(TMessage& Message) {
  if (Message.Msg == WM_USER + 1) {
    ShowZoomText();
    return;
  }
  if (Message.Msg == WM_ACTIVATEAPP && Message.WParam) {
    // The program comes back while minimised (as this window's minimise command left it):
    // the whole program is restored, with this window the active one.
    TForm* main = Application->MainForm();
    if (main && main != this && main->WindowState() == wsMinimized) {
      Application->Restore();
      if (Visible() && Enabled()) SetFocus();
    }
  }
  if (Message.Msg == WM_SYSCOMMAND && (Message.WParam & 0xFFF0) == SC_MINIMIZE && FormStyle() != fsMDIChild) {
    // A preview of its own minimises the whole program, as the program's main window would.
    Application->Minimize();
    return;
  }
  inherited::WndProc(Message);
}

// ---- commands

void TfrxPreviewForm::PrintBClick(TObject*) {
  if (ReportPrinters()->HasSystemPrinters()) FPreview->Print();
  else ShowErrorBox(ReportResources()->TextOf("clNoPrinters"));
  SetEnabled(true);
}

void TfrxPreviewForm::OpenBClick(TObject*) { FPreview->LoadWithDialog(); }
void TfrxPreviewForm::SaveBClick(TObject*) { FPreview->SaveWithDialog(); }

void TfrxPreviewForm::ExportMIClick(TObject* Sender) {
  auto* item = dynamic_cast<TMenuItem*>(Sender);
  TfrxExportFilterCollection& registry = ExportFilterRegistry();
  if (item && item->Tag() >= 0 && item->Tag() < registry.Count()) FPreview->Export(registry.ItemAt(item->Tag()).Filter);
  SetEnabled(true);
}

void TfrxPreviewForm::PdfBClick(TObject*) {
  if (FPDFExport) FPreview->Export(FPDFExport);
}

void TfrxPreviewForm::EmailBClick(TObject*) {
  if (FEmailExport) FPreview->Export(FEmailExport);
}

void TfrxPreviewForm::FindBClick(TObject*) { FPreview->Find(); }

void TfrxPreviewForm::ZoomWholePageBClick(TObject*) {
  FPreview->SetZoomMode(zmWholePage);
  ShowZoomText();
}

void TfrxPreviewForm::ZoomPageWidthBClick(TObject*) {
  FPreview->SetZoomMode(zmPageWidth);
  ShowZoomText();
}

void TfrxPreviewForm::Zoom100BClick(TObject*) {
  FPreview->SetZoom(1);
  ShowZoomText();
}

void TfrxPreviewForm::Zoom50BClick(TObject*) {
  FPreview->SetZoomMode(zmManyPages);
  ShowZoomText();
}

void TfrxPreviewForm::FullScreenBtnClick(TObject*) { SwitchFullScreen(); }
void TfrxPreviewForm::PageSettingsBClick(TObject*) { FPreview->PageSetup(); }

void TfrxPreviewForm::OutlineBClick(TObject*) {
  FPreview->SetOutlineVisible(OutlineB->Down());
  FPreview->ApplyZoomMode();
}

void TfrxPreviewForm::SelectToolBClick(TObject*) {
  if (HandToolB->Down()) FPreview->SetTool(0);
  else if (ZoomToolB->Down()) FPreview->SetTool(1);
}

void TfrxPreviewForm::NewPageBClick(TObject*) { FPreview->AddPage(); }
void TfrxPreviewForm::DelPageBClick(TObject*) { FPreview->DeletePage(); }
void TfrxPreviewForm::DesignerBClick(TObject*) { FPreview->EditPage(); }

void TfrxPreviewForm::DesignerBMouseUp(TObject*, TMouseButton Button, TShiftState, int, int) {
  if (Button != mbRight) return;
  TPoint p = DesignerB->ClientToScreen(TPoint(0, 0));
  HiddenMenu->Popup(p.X, p.Y);
}

void TfrxPreviewForm::Showtemplate1Click(TObject*) { FPreview->EditTemplate(); }
void TfrxPreviewForm::FirstBClick(TObject*) { FPreview->First(); }
void TfrxPreviewForm::PriorBClick(TObject*) { FPreview->Prior(); }
void TfrxPreviewForm::NextBClick(TObject*) { FPreview->Next(); }
void TfrxPreviewForm::LastBClick(TObject*) { FPreview->Last(); }
