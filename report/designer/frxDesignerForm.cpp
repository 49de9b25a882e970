// The designer window: creation, the report's nine calls, the change flow and closing.
#include "report/designer/frxDesignerForm.h"

#include "report/designer/frxDesgnWorkspace1.h"
#include "report/designer/frxDataTree.h"
#include "report/designer/frxEditExpr.h"
#include "report/designer/frxInsp.h"
#include "report/designer/frxSampleFormat.h"
#include "report/designer/frxSynMemo.h"
#include "report/frxClass.h"
#include "report/frxFormUtils.h"
#include "report/frxPages.h"
#include "report/frxRes.h"

#include "core/ClassBuilder.h"
#include "core/FileUtils.h"
#include "core/Scope.h"
#include "core/SysUtils.h"
#include "gui/Application.h"
#include "gui/Screen.h"
#include "script/fs_itools.h"

KELM_PUBLISH(TfrxDesignerForm) {
  b.Method("FormCreate", &TfrxDesignerForm::FormCreate);
  b.Method("FormClose", &TfrxDesignerForm::FormClose);
  b.Method("FormCloseQuery", &TfrxDesignerForm::FormCloseQuery);
  b.Method("FormDestroy", &TfrxDesignerForm::FormDestroy);
  b.Method("FormMouseWheel", &TfrxDesignerForm::FormMouseWheel);
  b.Method("TabChanging", &TfrxDesignerForm::TabChanging);
  b.Method("TabChange", &TfrxDesignerForm::TabChange);
  b.Method("TabMouseDown", &TfrxDesignerForm::TabMouseDown);
  b.Method("TabMouseMove", &TfrxDesignerForm::TabMouseMove);
  b.Method("TabMouseUp", &TfrxDesignerForm::TabMouseUp);
  b.Method("TabDragOver", &TfrxDesignerForm::TabDragOver);
  b.Method("TabDragDrop", &TfrxDesignerForm::TabDragDrop);
  b.Method("ScrollBoxResize", &TfrxDesignerForm::ScrollBoxResize);
  b.Method("ScrollBoxDragOver", &TfrxDesignerForm::ScrollBoxDragOver);
  b.Method("StatusBarDrawPanel", &TfrxDesignerForm::StatusBarDrawPanel);
  b.Method("StatusBarMouseDown", &TfrxDesignerForm::StatusBarMouseDown);
  b.Method("DataLVClick", &TfrxDesignerForm::DataLVClick);
  b.Method("DataLVChange", &TfrxDesignerForm::DataLVChange);
  b.Method("DataLVDblClick", &TfrxDesignerForm::DataLVDblClick);
  b.Method("DataLVKeyDown", &TfrxDesignerForm::DataLVKeyDown);
  b.Method("ShowGridBClick", &TfrxDesignerForm::ShowGridBClick);
  b.Method("AlignToGridBClick", &TfrxDesignerForm::AlignToGridBClick);
  b.Method("ScaleCBClick", &TfrxDesignerForm::ScaleCBClick);
  b.Method("UndoCmdExecute", &TfrxDesignerForm::UndoCmdExecute);
  b.Method("RedoCmdExecute", &TfrxDesignerForm::RedoCmdExecute);
  b.Method("CutCmdExecute", &TfrxDesignerForm::CutCmdExecute);
  b.Method("CopyCmdExecute", &TfrxDesignerForm::CopyCmdExecute);
  b.Method("PasteCmdExecute", &TfrxDesignerForm::PasteCmdExecute);
  b.Method("ExitCmdExecute", &TfrxDesignerForm::ExitCmdExecute);
  b.Method("TimerTimer", &TfrxDesignerForm::TimerTimer);
  b.Method("NewReportCmdExecute", &TfrxDesignerForm::NewReportCmdExecute);
  b.Method("OpenCmdExecute", &TfrxDesignerForm::OpenCmdExecute);
  b.Method("SaveCmdExecute", &TfrxDesignerForm::SaveCmdExecute);
  b.Method("SaveAsCmdExecute", &TfrxDesignerForm::SaveAsCmdExecute);
  PublishCommands(b);
  PublishFormatting(b);
  PublishPalette(b);
  PublishDebugger(b);
  PublishDialogs(b);
}

namespace {
// The report opens this window class once the designer is part of the program.
[[maybe_unused]] const bool kDesignerClassStored = (DesignerClass = &TfrxDesignerForm::Create, true);
}  // namespace

TfrxDesignerForm::TfrxDesignerForm(TComponent* AOwner, TfrxReport* AReport, bool AIsPreviewDesigner)
    : inherited(AOwner, AReport, AIsPreviewDesigner) {}

// The window's own state is still whole when it stores and lets go in FormDestroy.
TfrxDesignerForm::~TfrxDesignerForm() { BeforeDestruction(); }

TfrxCustomDesigner* TfrxDesignerForm::Create(TComponent* AOwner, TfrxReport* AReport, bool IsPreviewDesigner) {
  std::unique_ptr<TfrxDesignerForm> form(new TfrxDesignerForm(AOwner, AReport, IsPreviewDesigner));
  form->InitForm();
  return form.release();
}


namespace {
// The pencil shown while a line is armed for drawing (the workspace's cursor 11).
void InstallDesignerCursors() {
  static bool installed = false;
  if (installed || !Screen) return;
  installed = true;
  InstallReportCursors();
  Screen->SetCursors(kPencilCursor, LoadCursorFromResource("frxPENCIL"));
}
}  // namespace

// ---------------------------------------------------------------- creation

void TfrxDesignerForm::FormCreate(TObject*) {
  InstallDesignerCursors();
  FSampleFormat = std::make_unique<TSampleFormat>();
  ApplySampleFormat = [this](TfrxCustomMemoView* Memo) { FSampleFormat->ApplyTo(Memo); };
  FRecentFiles = std::make_unique<TStringList>();
  TfrxResources* res = ReportResources();
  for (TToolBar* tb : {CodeTB, StandardTB1, TextTB1, FrameTB1, AlignTB1, ExtraToolsTB1}) {
    tb->SetImages(res->ToolImages());
    tb->SetDisabledImages(res->DisabledToolImages());
  }
  MainMenu->SetImages(res->ToolImages());
  PagePopup->SetImages(res->ToolImages());
  TabPopup->SetImages(res->ToolImages());
  BandsPopup->SetImages(res->ToolImages());
  ActionList->SetImages(res->ToolImages());
  ObjectsTB1->SetImages(res->PaletteImages());
  ObjectsPopup->SetImages(res->PaletteImages());
  DataLV->SetLargeImages(res->PaletteImages());

  CreateParts();
  BuildPalette();
  if (FDataTreeForm) FDataTreeForm->OnDblClick = MakeEvent(this, &TfrxDesignerForm::DataTreeDblClick);

  ScrollBoxPanel->SetAlign(alClient);
  CodePanel->SetAlign(alClient);
  TStringList languages;
  ListGrammarNames(&languages);
  LangCB->Items()->Clear();
  for (int i = 0; i < languages.Count(); ++i)
    if (!StartsStr("@", languages[i])) LangCB->Items()->Add(languages[i]);
  LangCB->SetItemIndex(LangCB->Items()->IndexOf(Report()->ScriptLanguage()));
  UpdateScriptLanguage();
  if (SnapshotToUndo) SnapshotToUndo();
  Timer->SetEnabled(true);
  MainMenu->SetAutoHotkeys(maManual);
  if (IsPreviewDesigner()) ApplyPreviewRestrictions();
  if (IsPreviewDesigner()) InsertBandB->SetEnabled(false);
  Report()->ApplyPrinterOption();
  EnableByRestrictions();

  LocalizeControls();
  FillStyleList();
  TStrings* zooms = ScaleCB->Items();
  zooms->Clear();
  for (const char* z : {"25%", "50%", "75%", "100%", "150%", "200%"}) zooms->Add(z);
  zooms->Add(res->TextOf("zmPageWidth"));
  zooms->Add(res->TextOf("zmWholePage"));
  RestoreState(false);
  BuildLanguageMenu();

  RebuildPageTabs(0);
  UpdateCaption();
  UpdateRecentFiles(Report()->FileName());
  ConnectionsMI->SetVisible(false);
  if (TfrxDesigner* d = TfrxDesigner::Current()) {
    ConnectionsMI->SetVisible(d->Standalone());
    if (d->OnShow()) d->OnShow()(this);
  }
}

void TfrxDesignerForm::CreateParts() {
  FWorkspace = CreateWorkspace();
  FWorkspace->SetParent(ScrollBox);
  FWorkspace->SetLists(&Objects(), &SelectedObjects());
  FWorkspace->SetPopupMenu(PagePopup);
  FWorkspace->OnModified = MakeEvent(this, &TfrxDesignerForm::OnModify);
  FWorkspace->OnSelectionChange = MakeEvent(this, &TfrxDesignerForm::NotifySelectionChanged);
  FWorkspace->OnBoundsChanged = MakeEvent(this, &TfrxDesignerForm::ShowPosition);
  FWorkspace->OnMoved = MakeEvent(this, &TfrxDesignerForm::ScrollBoxResize);
  FWorkspace->OnInsertRequest = MakeEvent(this, &TfrxDesignerForm::InsertPendingObject);
  FWorkspace->OnEditRequest = MakeEvent(this, &TfrxDesignerForm::EditCmdExecute);
  // Editing and inserting come with the commands and the palette.
  FCodeWindow = new TfrxSyntaxMemo(this);
  FCodeWindow->SetParent(CodePanel);
  FCodeWindow->SetAlign(alClient);
  FCodeWindow->SetColor(clWindow);
  FCodeWindow->SetLines(Report()->ScriptText());
  FCodeWindow->OnTextChanged = MakeEvent(this, &TfrxDesignerForm::CodeTextChanged);
  FCodeWindow->OnCaretMoved = MakeEvent(this, &TfrxDesignerForm::CodeCaretMoved);
  ConnectUndoAndClipboard();
  CreateToolWindows();
}

void TfrxDesignerForm::ApplyPreviewRestrictions() {
  FKeptDesigner = TfrxDesigner::Current();
  FPreviewRestrictions = std::make_unique<TfrxDesigner>(nullptr);
  FPreviewRestrictions->SetRestrictions({drDontDeletePage, drDontCreatePage, drDontCreateReport, drDontLoadReport,
                                         drDontPreviewReport, drDontEditVariables, drDontChangeReportOptions});
}

void TfrxDesignerForm::EnableByRestrictions() {
  const struct {
    TAction* Action;
    TfrxDesignerRestriction Op;
  } actions[] = {{NewReportCmd, drDontCreateReport}, {NewItemCmd, drDontCreateReport},
                 {NewPageCmd, drDontCreatePage},     {NewDialogCmd, drDontCreatePage},
                 {SaveAsCmd, drDontSaveReport},      {OpenCmd, drDontLoadReport},
                 {VariablesCmd, drDontEditVariables}, {PreviewCmd, drDontPreviewReport}};
  for (const auto& a : actions) a.Action->SetEnabled(CheckOp(a.Op));
  ReportSettingsMI->SetEnabled(CheckOp(drDontChangeReportOptions));
  ReportStylesMI->SetEnabled(CheckOp(drDontChangeReportOptions));
  ReportDataMI->SetEnabled(CheckOp(drDontEditReportData));
}

bool TfrxDesignerForm::CheckOp(TfrxDesignerRestriction Op) const {
  TfrxDesigner* d = TfrxDesigner::Current();
  return !d || !d->Restrictions().Contains(Op);
}

void TfrxDesignerForm::WndProc(TMessage& Message) {
  if (Message.Msg == WM_USER + 1) {
    TfrxDesigner* d = TfrxDesigner::Current();
    if (FShowStartup && d && d->OnShowStartupScreen()) d->OnShowStartupScreen()(this);
    return;
  }
  // Minimising the designer minimises the whole program.
  if (Message.Msg == WM_SYSCOMMAND && (Message.WParam & 0xFFF0) == SC_MINIMIZE) {
    Application->Minimize();
    return;
  }
  inherited::WndProc(Message);
}

// ---------------------------------------------------------------- the report's calls

void TfrxDesignerForm::FlagModified(bool Value) {
  TfrxCustomDesigner::FlagModified(Value);
  TakeCodeText();
  if (SnapshotToUndo) SnapshotToUndo();
  SaveCmd->SetEnabled(Modified() && CheckOp(drDontSaveReport));
  if (FModifiedBy != this) UpdateControls();
  if (FModifiedBy && FModifiedBy == Inspector && Page() && !SelectedObjects().empty()) {
    TfrxComponent* first = SelectedObjects().front();
    // A page or subreport may have a new name: its tab follows.
    if (first == Page() || first->Is<TfrxSubreport>()) {
      int index = 0;
      while (index < Report()->CountPages() && Report()->PageAt(index) != Page()) ++index;
      RebuildPageTabs(index);
    }
  }
  if (Page() && FModifiedBy != FWorkspace) {
    FWorkspace->ArrangeBands();
    FWorkspace->Invalidate();
  }
  if (FModifiedBy != Inspector && RefreshInspector) RefreshInspector();
  if (RefreshReportTree) RefreshReportTree();
  FModifiedBy = nullptr;
  FillDataList();
}

void TfrxDesignerForm::CurrentCodeLines(TStrings* Lines) { Lines->Assign(FCodeWindow->GetTrimmedLines()); }

bool TfrxDesignerForm::AskExpression(String& Expression) { return AskExpressionDialog(this, Expression); }

void TfrxDesignerForm::DropSelection() {
  Objects().clear();
  SelectedObjects().clear();
  // Objects about to be freed leave the inspector first, so nothing it shows dangles.
  FInspectedObjects.clear();
  if (FInspectorForm) FInspectorForm->InspectSelection(&FInspectedObjects);
  DetachDialogForm();
  if (TDesignerWorkspace* w = DesignerWorkspace()) w->ForgetFieldTarget();
  FWorkspace->LockUpdates();
  if (LockInspector) LockInspector(true);
}

void TfrxDesignerForm::RefreshFromReport() {
  if (Report()->CountPages() == 0) {
    Report()->Clear();
    auto* page = new TfrxReportPage(Report());
    page->SetParent(Report());
    page->SetName("Page1");
  }
  LangCB->SetItemIndex(LangCB->Items()->IndexOf(Report()->ScriptLanguage()));
  FCodeWindow->SetLines(Report()->ScriptText());
  UpdateScriptLanguage();
  RebuildPageTabs(0);
  UpdateRecentFiles(Report()->FileName());
  UpdateCaption();
  FillStyleList();
  if (ClearUndo) ClearUndo();
  FlagModified(false);
}

void TfrxDesignerForm::RefreshDataTree() {
  if (RefreshDataTreeWindow) RefreshDataTreeWindow();
}

void TfrxDesignerForm::RepaintPage() { FWorkspace->Invalidate(); }

// ---------------------------------------------------------------- changes and selection

void TfrxDesignerForm::OnModify(TObject* Sender) {
  FModifiedBy = Sender;
  FlagModified(true);
}

void TfrxDesignerForm::NotifySelectionChanged(TObject* Sender) {
  if (Sender != FWorkspace) FWorkspace->Invalidate();
  if (Sender != Inspector && RefreshInspector) RefreshInspector();
  if (RefreshReportTree) RefreshReportTree();
  UpdateControls();
}

void TfrxDesignerForm::TakeCodeText() { Report()->ScriptText()->Assign(FCodeWindow->GetTrimmedLines()); }

void TfrxDesignerForm::CodeTextChanged(TObject*) {
  if (Page()) return;
  // Typing marks the report modified; the text and a snapshot follow when the tab is left.
  TfrxCustomDesigner::FlagModified(true);
  SaveCmd->SetEnabled(CheckOp(drDontSaveReport));
}

void TfrxDesignerForm::CodeCaretMoved(TObject*) {
  if (Page()) return;
  FPositionText = IntToStr(FCodeWindow->CaretPos().Y) + "; " + IntToStr(FCodeWindow->CaretPos().X);
  FSizeText.clear();
  FScaleText.clear();
  StatusBar->Invalidate();
}

// ---------------------------------------------------------------- closing

void TfrxDesignerForm::UpdateCaption() {
  String title = Report()->FileName().empty() ? String("Untitled.fr3") : ExtractFileName(Report()->FileName());
  SetCaption("Vizerav Report - " + title);
}

int TfrxDesignerForm::AskSaveChanges() {
  String title = Report()->FileName().empty() ? String("Untitled.fr3") : ExtractFileName(Report()->FileName());
  String text = IsPreviewDesigner() ? ReportResources()->TextOf("dsSavePreviewChanges")
                                    : ReportResources()->TextOf("dsSaveChangesTo") + " " + title + "?";
  return AskConfirmation(text, MB_YESNOCANCEL);
}

void TfrxDesignerForm::FormCloseQuery(TObject*, bool& CanClose) {
  if (FScriptRunning) {
    // A run paused at a line is stopped first, so its pause ends before anything is freed;
    // the window stays until the run has unwound.
    if (FScriptPaused) StopScriptBClick(nullptr);
    CanClose = false;
    return;
  }
  CanClose = true;
  TakeCodeText();
  TfrxDesigner* d = TfrxDesigner::Current();
  // The report component is never in a development environment's design state here.
  if ((d && !d->CloseQuery()) || !Modified() || !CheckOp(drDontSaveReport)) return;
  int answer = AskSaveChanges();
  if (IsPreviewDesigner()) {
    if (answer == IDNO) FlagModified(false);
  } else {
    // A save that did not happen (dialog cancelled, write failed) keeps the window open.
    if (answer == IDYES && !SaveReport(false, true)) answer = IDCANCEL;
    // The report's flag, copied from Modified after closing, stays set unless the answer was No.
    FlagModified(answer != IDNO);
  }
  CanClose = answer != IDCANCEL;
}

void TfrxDesignerForm::FormClose(TObject*, TCloseAction&) { SetClosed(true); }

void TfrxDesignerForm::FormDestroy(TObject*) {
  // Settings that cannot be stored must not stop the window from closing.
  try {
    SaveState();
  } catch (const Exception&) {
  }
  DetachDialogForm();
  if (FPreviewRestrictions) {
    FPreviewRestrictions.reset();
    TfrxDesigner::MakeCurrent(FKeptDesigner);
  }
}

void TfrxDesignerForm::ExitCmdExecute(TObject*) { Close(); }

void TfrxDesignerForm::UndoCmdExecute(TObject*) {
  if (!Page()) {
    FCodeWindow->Undo();
    return;
  }
  // Undoing on a preview page would bring back a report the preview does not hold.
  if (IsPreviewDesigner()) return;
  if (UndoLast) UndoLast();
}

void TfrxDesignerForm::TimerTimer(TObject*) {
  // The clipboard's answer is cached and refreshed on its change signal, so this reads no
  // clipboard contents.
  PasteCmd->SetEnabled(Page() == nullptr || (CanPaste && CanPaste()));
}
