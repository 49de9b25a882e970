// The designer window's report files and settings: new report, open, save, the recent-file
// list, the layout and options in the report's settings store, and the language menu.
#include "report/designer/frxDesignerForm.h"

#include "report/designer/frxCodeUtils.h"
#include "report/designer/frxDataTree.h"
#include "report/designer/frxDesgnWorkspace.h"
#include "report/designer/frxDesgnWorkspace1.h"
#include "report/designer/frxInsp.h"
#include "report/designer/frxSampleFormat.h"
#include "report/designer/frxSynMemo.h"
#include "report/frxBands.h"
#include "report/frxClass.h"
#include "report/frxFormUtils.h"
#include "report/frxMemoView.h"
#include "report/frxPages.h"
#include "report/frxRes.h"

#include "core/FileUtils.h"
#include "core/IniFiles.h"
#include "core/Registry.h"
#include "core/Scope.h"
#include "core/StrUtils.h"
#include "core/StringList.h"
#include "core/SysUtils.h"
#include "gui/Dialogs.h"
#include "gui/Menus.h"

namespace {

const char* const kFormSection = "Form.TfrxDesignerForm";
const char* const kInspectorSection = "Form.TfrxObjectInspector";

// The band height of a new report, in pixels, by the measuring unit: 6 mm, 0.3 in, 20 pixels
// or 17 pixels for characters.
Extended NewBandHeight(TfrxRulerUnits Units) {
  switch (Units) {
    case ruCM: return 22.68;
    case ruInches: return 28.8;
    case ruPixels: return 20;
    case ruChars: return 17;
  }
  return 20;
}

String ReportTitle(TfrxReport* Report) {
  return Report->FileName().empty() ? String("Untitled.fr3") : ExtractFileName(Report->FileName());
}

// The stored language lives beside the designer's settings under this key.
String ResourcesKey() { return String(TfrxReport::DefaultIniFile) + "\\Resources"; }

}  // namespace

std::array<TPanel*, 5> TfrxDesignerForm::ToolBarPanels() const {
  return {StandardTB, TextTB, FrameTB, AlignTB, ExtraToolsTB};
}

String TfrxDesignerForm::DefaultLayoutText() {
  return "[Form.TfrxObjectInspector];Width=159;SplitPos=75;Split1Pos=65;Dock=LeftDockSite2;"
         "[Form.TfrxDesignerForm];EditAfterInsert=1;Maximized=1;"
         "[Form.TfrxDataTreeForm];Width=143;Dock=RightDockSite;"
         "[Form.TfrxReportTreeForm];Width=159;Dock=LeftDockSite2;"
         "[ToolBar.StandardTB];Float=0;Visible=1;Left=0;Top=0;Width=576;Height=27;Dock=DockTop;"
         "[ToolBar.TextTB];Float=0;Visible=1;Left=0;Top=27;Width=651;Height=27;Dock=DockTop;"
         "[ToolBar.FrameTB];Float=0;Visible=1;Left=651;Top=27;Width=305;Height=27;Dock=DockTop;"
         "[ToolBar.AlignTB];Visible=0;"
         "[ToolBar.ExtraToolsTB];Visible=0";
}

// ---------------------------------------------------------------- the save question

bool TfrxDesignerForm::CheckSaveChanges(bool UseEvent) {
  if (!Modified()) return true;
  switch (AskSaveChanges()) {
    // A save that did not happen (dialog cancelled, write failed) must not lose the changes.
    case IDYES: return SaveReport(false, UseEvent);
    case IDNO: return true;
    default: return false;
  }
}

// ---------------------------------------------------------------- new report

void TfrxDesignerForm::ApplyReportDefaults() {
  TfrxDesigner* d = TfrxDesigner::Current();
  String language = d ? d->DefaultScriptLanguage() : String("PascalScript");
  Report()->SetScriptLanguage(language);
  TStringList script;
  MakeEmptyScript(&script, language);
  FCodeWindow->SetLines(&script);
  Report()->ScriptText()->Assign(&script);
  FCodeWindow->SetLanguageName(language);
  LangCB->SetItemIndex(LangCB->Items()->IndexOf(language));
  auto* page = dynamic_cast<TfrxReportPage*>(Report()->PageAt(0));
  if (!page) return;
  if (!d) {
    page->TakePrinterDefaults();
    return;
  }
  page->SetLeftMargin(d->DefaultLeftMargin());
  page->SetRightMargin(d->DefaultRightMargin());
  page->SetTopMargin(d->DefaultTopMargin());
  page->SetBottomMargin(d->DefaultBottomMargin());
  page->SetPaperSize(d->DefaultPaperSize());
  page->SetOrientation(d->DefaultOrientation());
}

void TfrxDesignerForm::NewReport() {
  if (Modified()) {
    int answer = AskSaveChanges();
    if (answer == IDCANCEL) return;
    // Yes saves as the save command does; a save that did not happen keeps the report.
    if (answer == IDYES && !SaveReport(false, false)) return;
  }
  Extended s = NewBandHeight(Units());
  Extended c = FWorkspace->CaptionHeight();
  if (TDesignerWorkspace* w = DesignerWorkspace()) w->SetTool(wtSelect);
  DropSelection();
  Report()->Clear();
  Report()->SetFileName("");

  auto* page = new TfrxReportPage(Report());
  page->SetParent(Report());
  page->SetName("Page1");
  ApplyReportDefaults();

  auto band = [&](TfrxBand* b, const char* Name, Extended Top) {
    b->SetParent(page);
    b->SetName(Name);
    b->SetTop(Top);
    b->SetHeight(s);
  };
  band(new TfrxReportTitle(page), "ReportTitle1", c);
  band(new TfrxMasterData(page), "MasterData1", 2 * c + 2 * s);
  auto* footer = new TfrxPageFooter(page);
  band(footer, "PageFooter1", 3 * c + 4 * s);

  auto* memo = new TfrxMemoView(footer);
  memo->SetParent(footer);
  memo->SetName("Memo1");
  memo->SetBounds((page->PaperWidth() - page->LeftMargin() - page->RightMargin() - 20) * 3.77953, 0, 75.59, 18.90);
  memo->SetHAlign(haRight);
  memo->Memo()->SetText("[Page#]");

  RebuildPageTabs(0);
  UpdateCaption();
  if (ClearUndo) ClearUndo();
  FlagModified(false);
}

void TfrxDesignerForm::NewReportCmdExecute(TObject*) {
  if (CheckOp(drDontCreateReport)) NewReport();
}

// ---------------------------------------------------------------- open

// Loads a file over the report. Whatever goes wrong (no such file, a file that is no report),
// the box names the reason and the report, its file name and the undo list stay as they were.
void TfrxDesignerForm::LoadReportFile(const String& FileName, bool) {
  TakeCodeText();
  TMemoryStream kept;
  Report()->SaveToStream(&kept, true, false);
  String keptName = Report()->FileName();
  bool keptModified = Modified();
  String reason;
  DropSelection();
  try {
    if (!FileExists(FileName)) reason = "\"" + FileName + "\" not found";
    else Report()->LoadFromFile(FileName, true);
  } catch (const Exception& E) {
    reason = E.Message();
  }
  if (reason.empty()) {
    RefreshFromReport();
    return;
  }
  kept.SetPosition(0);
  Report()->LoadFromStream(&kept);
  Report()->SetFileName(keptName);
  FCodeWindow->SetLines(Report()->ScriptText());
  RebuildPageTabs(0);
  TfrxCustomDesigner::FlagModified(keptModified);
  SaveCmd->SetEnabled(keptModified && CheckOp(drDontSaveReport));
  ShowErrorBox(ReportResources()->TextOf("dsCantLoad") + ": " + reason);
}

void TfrxDesignerForm::OpenReport(const String& FileName, bool UseEvent) {
  TfrxEngineOptions* engine = Report()->EngineOptions();
  TfrxSilentMode keptMode = engine->NewSilentMode();
  TScopeExit restoreMode([&] { engine->SetNewSilentMode(keptMode); });
  engine->SetNewSilentMode(simMessageBoxes);

  TfrxDesigner* d = TfrxDesigner::Current();
  if (!FileName.empty()) {
    if (!CheckSaveChanges(false)) return;
    LoadReportFile(FileName, false);
    return;
  }
  if (UseEvent && d && d->OnLoadReport()) {
    DropSelection();
    if (d->OnLoadReport()(Report())) RefreshFromReport();
    else RebuildPageTabs(0);
    return;
  }
  OpenDialog->SetFilter(ReportResources()->TextOf("2471"));
  if (d) OpenDialog->SetInitialDir(d->OpenDir());
  if (!OpenDialog->Execute()) return;
  String chosen = OpenDialog->FileName();
  if (!CheckSaveChanges(false)) return;
  LoadReportFile(chosen, true);
}

void TfrxDesignerForm::OpenCmdExecute(TObject* Sender) {
  if (CheckOp(drDontLoadReport)) OpenReport("", Sender == OpenCmd);
}

void TfrxDesignerForm::RecentFileClick(TObject* Sender) {
  auto* item = dynamic_cast<TMenuItem*>(Sender);
  if (item && CheckOp(drDontLoadReport)) OpenReport(item->Hint(), false);
}

// ---------------------------------------------------------------- save

// The new content goes to a file beside the target that replaces it only when whole, so a
// failed write keeps the old file.
bool TfrxDesignerForm::WriteReportFile(const String& FileName) {
  try {
    TStringStream data;
    Report()->SaveToStream(&data, true, false);
    WriteFileAtomic(FileName, data.DataString());
    return true;
  } catch (const Exception& E) {
    ShowErrorBox(E.Message());
    return false;
  }
}

bool TfrxDesignerForm::SaveReport(bool SaveAs, bool UseEvent) {
  TakeCodeText();
  Report()->ReportOptions()->SetLastChange(Now());
  TfrxDesigner* d = TfrxDesigner::Current();
  if (UseEvent && d && d->OnSaveReport()) {
    if (!d->OnSaveReport()(Report(), SaveAs)) return false;
    UpdateRecentFiles(Report()->FileName());
    UpdateCaption();
    FlagModified(false);
    return true;
  }
  bool written = false;
  if (SaveAs || Report()->FileName().empty()) {
    SaveDialog->SetFilter(ReportResources()->TextOf("dsRepFilter"));
    SaveDialog->SetFilterIndex(1);
    if (d) SaveDialog->SetInitialDir(d->SaveDir());
    if (SaveDialog->Execute()) {
      String name = ChangeFileExt(SaveDialog->FileName(), ".fr3");
      Report()->ReportOptions()->SetCompressed(false);
      written = WriteReportFile(name);
      // The report takes the new name only once it is written there.
      if (written) Report()->SetFileName(name);
    }
  } else {
    written = WriteReportFile(Report()->FileName());
  }
  UpdateRecentFiles(Report()->FileName());
  UpdateCaption();
  if (written) FlagModified(false);
  return written;
}

void TfrxDesignerForm::SaveCmdExecute(TObject* Sender) {
  if (!CheckOp(drDontSaveReport)) return;
  SaveReport(false, Sender == SaveCmd);
}

void TfrxDesignerForm::SaveAsCmdExecute(TObject* Sender) {
  if (!CheckOp(drDontSaveReport)) return;
  SaveReport(true, Sender == SaveAsCmd);
}

// ---------------------------------------------------------------- recent files

void TfrxDesignerForm::UpdateRecentFiles(const String& FileName) {
  if (!FileName.empty()) {
    int at = FRecentFiles->IndexOf(FileName);
    if (at >= 0) FRecentFiles->Delete(at);
    FRecentFiles->Add(FileName);
    while (FRecentFiles->Count() > 8) FRecentFiles->Delete(0);
  }
  SepMI11->SetVisible(FRecentFiles->Count() > 0);
  for (TMenuItem* item : FRecentItems) delete item;
  FRecentItems.clear();
  for (int i = FRecentFiles->Count() - 1; i >= 0; --i) {
    auto* item = new TMenuItem(this);
    item->SetCaption(FRecentFiles->Strings(i));
    item->SetHint(FRecentFiles->Strings(i));
    item->OnClick = MakeEvent(this, &TfrxDesignerForm::RecentFileClick);
    FileMenu->Insert(FileMenu->IndexOf(SepMI4), item);
    FRecentItems.push_back(item);
  }
}

// ---------------------------------------------------------------- settings

void TfrxDesignerForm::ReadSettings(TCustomIniFile* Ini, bool Placement) {
  const String f = kFormSection;
  if (FInspectorForm) {
    int width = Ini->ReadInteger(kInspectorSection, "Width", FInspectorForm->Width());
    if (width > 0) FInspectorForm->SetWidth(width);
    int split = Ini->ReadInteger(kInspectorSection, "SplitPos", FInspectorForm->Width() / 2);
    if (split > FInspectorForm->Width() - 10) split = FInspectorForm->Width() / 2;
    FInspectorForm->SetNameColumnWidth(split);
    FInspectorForm->SetHintPanelHeight(Ini->ReadInteger(kInspectorSection, "Split1Pos", 65));
  }
  if (FDataTreeForm) {
    int width = Ini->ReadInteger("Form.TfrxDataTreeForm", "Width", FDataTreeForm->Width());
    if (width > 0) FDataTreeForm->SetWidth(width);
  }
  SetScale(Ini->ReadFloat(f, "Scale", 0.75));
  SetShowGrid(Ini->ReadBool(f, "ShowGrid", true));
  SetGridAlign(Ini->ReadBool(f, "GridAlign", true));
  SetShowRulers(Ini->ReadBool(f, "ShowRulers", true));
  SetShowGuides(Ini->ReadBool(f, "ShowGuides", true));
  auto grid = [&](const char* Key, Extended Default) {
    Extended v = Ini->ReadFloat(f, Key, Default);
    return v == 0 ? Default : v;
  };
  SetGridSizes(grid("Grid1", 0.1), grid("Grid2", 0.1), grid("Grid3", 4), grid("Grid4", 4));
  int units = Ini->ReadInteger(f, "Units", 0);
  if (units < ruCM || units > ruChars) units = ruCM;
  SetUnits(static_cast<TfrxRulerUnits>(units));
  SetReportUnits(static_cast<TfrxRulerUnits>(units));
  FCodeWindow->Font()->SetName(Ini->ReadString(f, "ScriptFontName", "Courier New"));
  FCodeWindow->Font()->SetSize(Ini->ReadInteger(f, "ScriptFontSize", 10));
  FMemoFontName = Ini->ReadString(f, "MemoFontName", "Arial");
  FMemoFontSize = Ini->ReadInteger(f, "MemoFontSize", 10);
  FUseObjectFont = Ini->ReadBool(f, "UseObjectFont", true);
  SetWorkspaceColor(static_cast<TColor>(Ini->ReadInteger(f, "WorkspaceColor", clWindow)));
  SetToolsColor(static_cast<TColor>(Ini->ReadInteger(f, "ToolsColor", clWindow)));
  FWorkspace->SetGridLCD(Ini->ReadBool(f, "GridLCD", false));
  FEditAfterInsert = Ini->ReadBool(f, "EditAfterInsert", false);
  FRecentFiles->SetCommaText(Ini->ReadString(f, "RecentFiles", ""));
  while (FRecentFiles->Count() > 8) FRecentFiles->Delete(0);
  FWorkspace->SetFreeBands(Ini->ReadBool(f, "FreeBands", false));
  FWorkspace->SetBandsGap(Ini->ReadInteger(f, "BandsGap", 4));
  FWorkspace->SetShowBandCaptions(Ini->ReadBool(f, "ShowBandCaptions", true));
  SetDropFields(Ini->ReadBool(f, "DropFields", true));
  FShowStartup = Ini->ReadBool(f, "ShowStartup", true);
  DataLV->SetHeight(Ini->ReadInteger(f, "SplitPos", 50));

  // The window's placement; its visibility is left to whoever shows it.
  if (Placement) {
    if (Ini->ReadBool(f, "Maximized", false)) SetWindowState(wsMaximized);
    else {
      SetWindowState(wsNormal);
      SetBounds(Ini->ReadInteger(f, "Left", Left()), Ini->ReadInteger(f, "Top", Top()),
                Ini->ReadInteger(f, "Width", Width()), Ini->ReadInteger(f, "Height", Height()));
    }
  }
  for (TPanel* bar : ToolBarPanels()) {
    String section = "ToolBar." + bar->Name();
    bar->SetBounds(Ini->ReadInteger(section, "Left", bar->Left()), Ini->ReadInteger(section, "Top", bar->Top()),
                     Ini->ReadInteger(section, "Width", bar->Width()),
                     Ini->ReadInteger(section, "Height", bar->Height()));
    bar->SetVisible(Ini->ReadBool(section, "Visible", true));
  }
}

void TfrxDesignerForm::RestoreState(bool Defaults) {
  TMemIniFile defaults("");
  auto useDefaults = [&] {
    TStringList lines;
    lines.SetDelimiter(';');
    lines.SetStrictDelimiter(true);
    lines.SetDelimitedText(DefaultLayoutText());
    defaults.SetStrings(&lines);
  };
  std::unique_ptr<TCustomIniFile> store;
  TCustomIniFile* ini = &defaults;
  if (Defaults) {
    useDefaults();
  } else {
    store = Report()->OpenSettingsStore();
    // Black is a colour like any other: only a store without a scale is no layout yet.
    if (store->ReadFloat(kFormSection, "Scale", 0) == 0) useDefaults();
    else ini = store.get();
  }
  try {
    ReadSettings(ini, !Defaults);
  } catch (const Exception&) {
    useDefaults();
    ReadSettings(&defaults, !Defaults);
  }
  UpdateRecentFiles("");
}

void TfrxDesignerForm::WriteSettings(TCustomIniFile* Ini) {
  const String f = kFormSection;
  // "Units" is the report's unit: the next window starts in it. The window itself, going
  // away, is not switched over.
  if (FInspectorForm) {
    Ini->WriteInteger(kInspectorSection, "Width", FInspectorForm->Width());
    Ini->WriteInteger(kInspectorSection, "SplitPos", FInspectorForm->NameColumnWidth());
    Ini->WriteInteger(kInspectorSection, "Split1Pos", FInspectorForm->HintPanelHeight());
  }
  if (FDataTreeForm) Ini->WriteInteger("Form.TfrxDataTreeForm", "Width", FDataTreeForm->Width());
  Ini->WriteFloat(f, "Scale", Scale());
  Ini->WriteBool(f, "ShowGrid", ShowGrid());
  Ini->WriteBool(f, "GridAlign", GridAlign());
  Ini->WriteBool(f, "ShowRulers", ShowRulers());
  Ini->WriteBool(f, "ShowGuides", ShowGuides());
  Ini->WriteFloat(f, "Grid1", GridSizeCm());
  Ini->WriteFloat(f, "Grid2", GridSizeInch());
  Ini->WriteFloat(f, "Grid3", GridSizePixels());
  Ini->WriteFloat(f, "Grid4", GridSizeDialog());
  Ini->WriteInteger(f, "Units", static_cast<int>(ReportUnits()));
  Ini->WriteString(f, "ScriptFontName", FCodeWindow->Font()->Name());
  Ini->WriteInteger(f, "ScriptFontSize", FCodeWindow->Font()->Size());
  Ini->WriteString(f, "MemoFontName", FMemoFontName);
  Ini->WriteInteger(f, "MemoFontSize", FMemoFontSize);
  Ini->WriteBool(f, "UseObjectFont", FUseObjectFont);
  Ini->WriteInteger(f, "WorkspaceColor", static_cast<int>(WorkspaceColor()));
  Ini->WriteInteger(f, "ToolsColor", static_cast<int>(ToolsColor()));
  Ini->WriteBool(f, "GridLCD", FWorkspace->GridLCD());
  Ini->WriteBool(f, "EditAfterInsert", FEditAfterInsert);
  Ini->WriteString(f, "RecentFiles", FRecentFiles->CommaText());
  Ini->WriteBool(f, "FreeBands", FWorkspace->FreeBands());
  Ini->WriteInteger(f, "BandsGap", FWorkspace->BandsGap());
  Ini->WriteBool(f, "ShowBandCaptions", FWorkspace->ShowBandCaptions());
  Ini->WriteBool(f, "DropFields", DropFields());
  Ini->WriteBool(f, "ShowStartup", FShowStartup);
  Ini->WriteInteger(f, "SplitPos", DataLV->Height());

  bool maximized = WindowState() == wsMaximized;
  Ini->WriteBool(f, "Maximized", maximized);
  if (!maximized) {
    Ini->WriteInteger(f, "Left", Left());
    Ini->WriteInteger(f, "Top", Top());
    Ini->WriteInteger(f, "Width", Width());
    Ini->WriteInteger(f, "Height", Height());
  }
  for (TPanel* bar : ToolBarPanels()) {
    String section = "ToolBar." + bar->Name();
    Ini->WriteBool(section, "Float", false);
    Ini->WriteBool(section, "Visible", bar->Visible());
    Ini->WriteInteger(section, "Left", bar->Left());
    Ini->WriteInteger(section, "Top", bar->Top());
    Ini->WriteInteger(section, "Width", bar->Width());
    Ini->WriteInteger(section, "Height", bar->Height());
    if (bar->Parent()) Ini->WriteString(section, "Dock", bar->Parent()->Name());
  }
}

void TfrxDesignerForm::SaveState() {
  // A window made only from its layout (no report, never set up) has nothing to store.
  if (IsPreviewDesigner() || !Report() || !FRecentFiles) return;
  std::unique_ptr<TCustomIniFile> store = Report()->OpenSettingsStore();
  WriteSettings(store.get());
  store->UpdateFile();
}

// ---------------------------------------------------------------- language menu

void TfrxDesignerForm::BuildLanguageMenu() {
  TStringList* languages = ReportResources()->Languages();
  if (FLanguageMenu || languages->Count() == 0) return;
  String stored;
  {
    TRegistry reg;
    if (reg.OpenKeyReadOnly(ResourcesKey())) stored = reg.ReadString("Language");
  }
  auto* sep = new TMenuItem(this);
  sep->SetCaption("-");
  ViewMenu->Add(sep);
  FLanguageMenu = new TMenuItem(this);
  FLanguageMenu->SetCaption(ReportResources()->TextOf("2475"));
  ViewMenu->Add(FLanguageMenu);
  for (int i = 0; i < languages->Count(); ++i) {
    auto* item = new TMenuItem(this);
    item->SetCaption(languages->Strings(i));
    item->SetHint(languages->Strings(i));
    item->SetRadioItem(true);
    item->SetGroupIndex(1);
    item->SetChecked(AnsiSameText(languages->Strings(i), stored));
    item->OnClick = MakeEvent(this, &TfrxDesignerForm::LanguageItemClick);
    FLanguageMenu->Add(item);
  }
}

void TfrxDesignerForm::LanguageItemClick(TObject* Sender) {
  auto* item = dynamic_cast<TMenuItem*>(Sender);
  if (!item) return;
  item->SetChecked(true);
  String file = ProgramFolder() + item->Hint() + ".frc";
  if (FileExists(file)) {
    ReportResources()->LoadLanguageFile(file);
    LocalizeControls();
  }
  // The choice is kept even on a first start, before anything created the key.
  TRegistry reg;
  if (reg.OpenKey(ResourcesKey(), true)) {
    reg.WriteString("Language", item->Hint());
    reg.CloseKey();
  }
}
