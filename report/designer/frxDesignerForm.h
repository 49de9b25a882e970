#pragma once
// The designer window: one top-level window that edits one report's object tree in place.
// Tab 0 is the script code, tab i (i >= 1) is report page i - 1. The window is the hub: the
// design surface, the code editor and the tool windows report to it through events and
// never call each other; the window updates the others. Every change ends in FlagModified,
// which copies the code into the report and refreshes whatever did not report the change.
//
// The tool windows (inspector, data tree, report tree), the undo buffer and the commands
// plug in through the few members grouped under "tool windows" below; while a tool is
// absent its calls do nothing.
#include "report/frxClassBases.h"
#include "report/designer/frxDesgn.h"
#include "report/designer/frxDesgnUnits.h"

#include "forms/TfrxDesignerForm.h"

#include <array>
#include <vector>
#include <functional>
#include <memory>

class TfrxDesignerWorkspace;
class TDesignerWorkspace;
class TfrxSyntaxMemo;
class TfrxUndoBuffer;
class TfrxClipboard;
class TfrxObjectInspector;
class TfrxDataTreeForm;
class TfrxDialogForm;
class TfrxDialogPage;
struct TfrxBoundsRect;
class TfrxReportPage;
class TfrxCustomMemoView;
class TfsScript;
class TStringList;
class TSampleFormat;
class TCustomIniFile;
class TMenuItem;

class TfrxDesignerForm : public TfrxDesignerFormLayout<TfrxCustomDesigner>, private IDesignerHook {
  KELM_CLASS(TfrxDesignerForm, TfrxDesignerFormLayout<TfrxCustomDesigner>)
public:
  TfrxDesignerForm(TComponent* AOwner, TfrxReport* AReport, bool AIsPreviewDesigner);
  // Without a report: the window made from its class name, as layout tools make every window.
  explicit TfrxDesignerForm(TComponent* AOwner) : TfrxDesignerForm(AOwner, nullptr, false) {}
  ~TfrxDesignerForm() override;
  // The window class the report opens: creates the window and reads its layout.
  static TfrxCustomDesigner* Create(TComponent* AOwner, TfrxReport* AReport, bool IsPreviewDesigner);

  // ---- the report's view of the designer
  void FlagModified(bool Value) override;
  void ChangePage(TfrxPage* APage) override;
  void CurrentCodeLines(TStrings* Lines) override;
  bool AskExpression(String& Expression) override;
  void DropSelection() override;
  void RebuildPageTabs(int Index) override;
  void RefreshFromReport() override;
  void RefreshDataTree() override;
  void RepaintPage() override;

  // ---- parts
  TfrxDesignerWorkspace* Workspace() const { return FWorkspace; }
  // The workspace with its tools, guides and field drops.
  TDesignerWorkspace* DesignerWorkspace() const;
  TfrxUndoBuffer* UndoBuffer() const { return FUndoBuffer.get(); }
  TfrxClipboard* ClipboardHandler() const { return FClipboard.get(); }
  TfrxObjectInspector* InspectorForm() const { return FInspectorForm; }
  TfrxDataTreeForm* DataTreeForm() const { return FDataTreeForm; }
  TfrxSyntaxMemo* CodeWindow() const { return FCodeWindow; }
  TfrxDialogForm* DesignedDialogForm() const { return FDesignedDialogForm; }
  TObject* ModifiedBy() const { return FModifiedBy; }
  bool UpdatingControls() const { return FUpdatingControls; }

  // ---- state
  Extended Scale() const { return FScale; }
  void SetScale(Extended Value);
  TfrxRulerUnits Units() const { return FUnits; }
  void SetUnits(TfrxRulerUnits Value);
  TfrxRulerUnits ReportUnits() const { return FReportUnits; }
  void SetReportUnits(TfrxRulerUnits Value);
  Extended GridSizeCm() const { return FGridSizeCm; }
  Extended GridSizeInch() const { return FGridSizeInch; }
  Extended GridSizePixels() const { return FGridSizePixels; }
  Extended GridSizeDialog() const { return FGridSizeDialog; }
  void SetGridSizes(Extended Cm, Extended Inch, Extended Pixels, Extended Dialog);
  bool ShowGrid() const { return FShowGrid; }
  void SetShowGrid(bool Value);
  bool GridAlign() const { return FGridAlign; }
  void SetGridAlign(bool Value);
  bool ShowRulers() const { return FShowRulers; }
  void SetShowRulers(bool Value);
  bool ShowGuides() const { return FShowGuides; }
  void SetShowGuides(bool Value);
  // Text objects of data bands offer their data set's fields in a drop-down.
  bool DropFields() const { return FDropFields; }
  void SetDropFields(bool Value);
  bool ShowStartup() const { return FShowStartup; }
  void SetShowStartup(bool Value) { FShowStartup = Value; }
  TColor WorkspaceColor() const { return FWorkspaceColor; }
  void SetWorkspaceColor(TColor Value);
  TColor ToolsColor() const { return FToolsColor; }
  void SetToolsColor(TColor Value);
  // "h:v" per tab index; only tabs 1 to 254 are remembered.
  const String& TabScrollPosition(int TabIndex) const { return FTabScrollPositions.at(TabIndex); }
  // The three texts drawn in status panel 1.
  const String& PositionText() const { return FPositionText; }
  const String& SizeText() const { return FSizeText; }
  const String& ScaleText() const { return FScaleText; }

  bool ScriptRunning() const { return FScriptRunning; }
  void SetScriptRunning(bool Value) { FScriptRunning = Value; }

  // ---- services
  // True when no designer component blocks the operation.
  bool CheckOp(TfrxDesignerRestriction Op) const;
  void OnModify(TObject* Sender);
  void NotifySelectionChanged(TObject* Sender);
  void ReloadObjects();
  void LayoutReportPage();
  void UpdateControls();
  // "Vizerav Report - " and the report file's name, "Untitled.fr3" without one.
  void UpdateCaption();
  // Yes, No or Cancel (IDYES, IDNO, IDCANCEL) to saving the changes.
  int AskSaveChanges();
  // Writes the report (through the designer component's save event when UseEvent); true
  // when it was saved.
  bool SaveReport(bool SaveAs, bool UseEvent);
  // Captions and hints from the text table.
  void LocalizeControls();
  // Units for the status bar and rulers; grid kind and steps follow them.
  void ApplyUnits();
  // Position and size of the selection (or the mouse) in the status bar.
  void ShowPosition(TObject* Sender, const TfrxBoundsRect& Bounds);

  // ---- report files and settings
  // The remembered format of new text objects.
  TSampleFormat* SampleFormat() const { return FSampleFormat.get(); }
  // Report files opened or saved, the most recent last, at most 8.
  TStringList* RecentFiles() const { return FRecentFiles.get(); }
  // The text editors' font, unless they take the edited object's own.
  const String& MemoFontName() const { return FMemoFontName; }
  void SetMemoFontName(const String& Value) { FMemoFontName = Value; }
  int MemoFontSize() const { return FMemoFontSize; }
  void SetMemoFontSize(int Value) { FMemoFontSize = Value; }
  bool UseObjectFont() const { return FUseObjectFont; }
  void SetUseObjectFont(bool Value) { FUseObjectFont = Value; }
  // A modified report asks to be saved first; false when the operation must stop: Cancel, or
  // Yes and the report was not saved (a cancelled dialog or a failed write).
  bool CheckSaveChanges(bool UseEvent);
  // A fresh report with a title, a master data band and a page footer with the page number.
  void NewReport();
  // Opens FileName, or the file chosen in the open dialog (or the component's load event when
  // UseEvent). A file that cannot be read leaves the report as it was.
  void OpenReport(const String& FileName, bool UseEvent);
  void UpdateRecentFiles(const String& FileName);
  // Layout and options from the report's settings store, or the built-in default layout.
  void RestoreState(bool Defaults);
  void SaveState();
  // One radio item per language file under the View menu.
  void BuildLanguageMenu();
  void NewReportCmdExecute(TObject* Sender);
  void OpenCmdExecute(TObject* Sender);
  void SaveCmdExecute(TObject* Sender);
  void SaveAsCmdExecute(TObject* Sender);
  void RecentFileClick(TObject* Sender);
  void LanguageItemClick(TObject* Sender);
  // The built-in default layout as the settings store lines it is read from.
  static String DefaultLayoutText();

  // ---- handlers named by the layout
  void FormCreate(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void FormCloseQuery(TObject* Sender, bool& CanClose);
  void FormDestroy(TObject* Sender);
  void FormMouseWheel(TObject* Sender, TShiftState Shift, int WheelDelta, TPoint MousePos, bool& Handled);
  void TabChanging(TObject* Sender, bool& AllowChange);
  void TabChange(TObject* Sender);
  void TabMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void TabMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
  void TabMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void TabDragOver(TObject* Sender, TObject* Source, int X, int Y, TDragState State, bool& Accept);
  void TabDragDrop(TObject* Sender, TObject* Source, int X, int Y);
  void ScrollBoxResize(TObject* Sender);
  void ScrollBoxDragOver(TObject* Sender, TObject* Source, int X, int Y, TDragState State, bool& Accept);
  void StatusBarDrawPanel(TStatusBar* Sender, TStatusPanel* Panel, const TRect& Rect);
  void StatusBarMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void DataLVClick(TObject* Sender);
  void DataLVChange(TObject* Sender, TListItem* Item, TItemChange Change);
  void DataLVDblClick(TObject* Sender);
  void DataLVKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  void ShowGridBClick(TObject* Sender);
  void AlignToGridBClick(TObject* Sender);
  void ScaleCBClick(TObject* Sender);
  void UndoCmdExecute(TObject* Sender);
  void RedoCmdExecute(TObject* Sender);
  void CutCmdExecute(TObject* Sender);
  void CopyCmdExecute(TObject* Sender);
  void PasteCmdExecute(TObject* Sender);
  void ExitCmdExecute(TObject* Sender);
  void TimerTimer(TObject* Sender);

  // ---- commands
  // Selects every object of the page, or of the band that holds the single selected object.
  void SelectAll();
  // The first selected object's component editor; a change marks the report modified.
  void EditSelectedObject();
  // Runs the report in a modal preview and brings its definition back exactly as it was.
  void PreviewReport();
  // Searches (and in replace mode replaces) from the remembered index; see FindMIClick.
  void FindText();
  // The text of the zoom box (or item 6, 7: page width, whole page) applied as the scale;
  // a text that is no positive number is refused and the current scale shown again.
  void ApplyScaleText();
  void SelectAllCmdExecute(TObject* Sender);
  void EditCmdExecute(TObject* Sender);
  void DeleteCmdExecute(TObject* Sender);
  void GroupCmdExecute(TObject* Sender);
  void UngroupCmdExecute(TObject* Sender);
  void BringToFrontCmdExecute(TObject* Sender);
  void SendToBackCmdExecute(TObject* Sender);
  void NewPageCmdExecute(TObject* Sender);
  void NewDialogCmdExecute(TObject* Sender);
  void DeletePageCmdExecute(TObject* Sender);
  void PreviewCmdExecute(TObject* Sender);
  void ToolbarsMIClick(TObject* Sender);
  void ToolbarItemClick(TObject* Sender);
  void ShowRulersMIClick(TObject* Sender);
  void ShowGuidesMIClick(TObject* Sender);
  void DeleteGuidesMIClick(TObject* Sender);
  void FindMIClick(TObject* Sender);
  void ReplaceMIClick(TObject* Sender);
  void FindNextMIClick(TObject* Sender);
  void HelpContentsMIClick(TObject* Sender);
  void PagePopupPopup(TObject* Sender);
  void EditorMenuItemClick(TObject* Sender);
  void FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  // The tool bar (tags 0-4) or tool window (5-7) a check item of ToolbarsMI stands for.
  TControl* ToolbarControl(int Tag) const;
  // The command handlers' names for the layout.
  static void PublishCommands(TClassBuilder<TfrxDesignerForm>& b);
  static void PublishFormatting(TClassBuilder<TfrxDesignerForm>& b);
  static void PublishPalette(TClassBuilder<TfrxDesignerForm>& b);
  static void PublishDebugger(TClassBuilder<TfrxDesignerForm>& b);
  static void PublishDialogs(TClassBuilder<TfrxDesignerForm>& b);

  // ---- commands that open the report's dialogs
  void ReportDataMIClick(TObject* Sender);
  void VariablesCmdExecute(TObject* Sender);
  void ReportStylesMIClick(TObject* Sender);
  void ReportSettingsMIClick(TObject* Sender);
  void ConnectionsMIClick(TObject* Sender);
  void AboutMIClick(TObject* Sender);
  void TabOrderMIClick(TObject* Sender);
  void NewItemCmdExecute(TObject* Sender);
  void PageSettingsCmdExecute(TObject* Sender);
  // The style box: "no style" first, then the report's style names.
  void FillStyleList();

  // ---- the code tab and the script debugger
  // The editor's syntax and the script dialogs' filter index and extension follow the
  // report's script language.
  void UpdateScriptLanguage();
  void LangCBClick(TObject* Sender);
  void OpenScriptBClick(TObject* Sender);
  void SaveScriptBClick(TObject* Sender);
  // Run (RunScriptB) or Step (StepScriptB).
  void RunScriptBClick(TObject* Sender);
  void StopScriptBClick(TObject* Sender);
  void EvaluateBClick(TObject* Sender);
  // Idle: runs the report through the preview, stopping at each line when Step. Paused: goes
  // on to the end (Run) or to the next line (Step).
  void RunScript(bool Step);
  void RunToCursor();
  // The script engine's call before each statement: stops there until the user goes on.
  void RunLine(TfsScript* Sender, const String& UnitName, const String& SourcePos);
  void DebuggerKeyDown(Word& Key, TShiftState Shift);
  // A double click in the data tree: on the code tab its item's text is inserted at the caret.
  void DataTreeDblClick(TObject* Sender);
  bool ScriptPaused() const { return FScriptPaused; }
  // Called each time the debugger stops at a line (before waiting).
  std::function<void()> OnPaused;

  // ---- the object palette
  // The tool buttons and one button per registered object without category and per category
  // that has objects, in registration order.
  void BuildPalette();
  // Shows the buttons that fit the page shown and returns to the select tool.
  void FilterPalette();
  void PaletteToolClick(TObject* Sender);
  // The workspace's tool from the tool buttons that are down.
  void ApplyPaletteTool();
  // The select tool pressed, every object button released and no insertion pending.
  void PressSelectTool();
  // A registered object: a non-visual one is made at once, any other arms the workspace; a
  // category offers its objects in a menu.
  void ObjectsButtonClick(TObject* Sender);
  // Creates the armed object in the rectangle the workspace reports.
  void InsertPendingObject(TObject* Sender);
  void InsertBandBClick(TObject* Sender);
  void BandsPopupPopup(TObject* Sender);
  // A band of the item's kind (tag mod 100; vertical from 100 on) added to the page.
  void BandItemClick(TObject* Sender);
  const std::vector<TToolButton*>& PaletteButtons() const { return FPaletteButtons; }
  TToolButton* SelectToolB = nullptr;
  TToolButton* HandToolB = nullptr;
  TToolButton* ZoomToolB = nullptr;
  TToolButton* TextToolB = nullptr;
  TToolButton* FormatToolB = nullptr;
  TToolButton* InsertBandB = nullptr;
  bool EditAfterInsert() const { return FEditAfterInsert; }
  void SetEditAfterInsert(bool Value) { FEditAfterInsert = Value; }

  // ---- formatting
  // The formatting command chosen by the sender's tag, on every selected object that may be
  // modified.
  void ToolButtonClick(TObject* Sender);
  // The alignment palette: the first selected object is the reference.
  void AlignButtonClick(TObject* Sender);
  // The first selected text object's highlight edited and copied to the other text objects.
  void HighlightBClick(TObject* Sender);
  // Spreads the edges of three or more selected objects evenly, the outer two staying put.
  void SpreadSelection(bool Vertical);
  TColor PickedColor() const { return FPickedColor; }
  void SetPickedColor(TColor Value) { FPickedColor = Value; }
  TfrxFrameStyle PickedFrameStyle() const { return FPickedFrameStyle; }
  void SetPickedFrameStyle(TfrxFrameStyle Value) { FPickedFrameStyle = Value; }
  // The find state: what to find, its replacement, case, where the next search starts and
  // whether hits are replaced.
  const String& FindWhat() const { return FFindText; }
  int FindIndex() const { return FFindIndex; }

  // ---- tool windows: what later parts of the designer fill in; empty calls do nothing
  // The inspector, the data tree and the report tree, as the senders they report with.
  TObject* Inspector = nullptr;
  TObject* DataTree = nullptr;
  TObject* ReportTree = nullptr;
  // Pushes a snapshot of the whole report (after every flagged change) and restores the one
  // before the last.
  std::function<void()> SnapshotToUndo;
  std::function<void()> UndoLast;
  std::function<void()> ClearUndo;
  std::function<bool()> CanUndo;
  std::function<bool()> CanRedo;
  // True while the clipboard holds report objects.
  std::function<bool()> CanPaste;
  // The inspector: shows SelectedObjects; locked while the lists are rebuilt.
  std::function<void()> RefreshInspector;
  std::function<void(bool Locked)> LockInspector;
  // The data tree and the report tree refresh from the report.
  std::function<void()> RefreshDataTreeWindow;
  std::function<void()> RefreshReportTree;
  // True while the inspector's edit box has the focus: the window's keys leave it alone.
  std::function<bool()> InspectorEditing;
  // The font button's click outside dot-matrix reports (the font dialog).
  TNotifyEvent FontButtonClick;
  // The palette's tools follow the page kind and the selection (report page, one text object).
  std::function<void(bool OnReportPage, bool OneText)> PaletteUpdate;
  // The remembered sample format, given to each text object inserted.
  std::function<void(TfrxCustomMemoView* Memo)> ApplySampleFormat;

protected:
  void WndProc(TMessage& Message) override;
  // The design surface; the report-aware one replaces this.
  virtual TfrxDesignerWorkspace* CreateWorkspace();

private:
  bool IsDesignMsg(TControl* Sender, TMessage& Message) override;
  void CreateParts();
  void CreateToolWindows();
  void ConnectUndoAndClipboard();
  // After an undo or redo: the script back into the editor, the tabs rebuilt at Index.
  void ShowRestoredReport(int Index);
  int PageIndex() const;
  void InspectObjects();
  void EnableByRestrictions();
  void ApplyPreviewRestrictions();
  void ShowReportPage(TfrxReportPage* APage);
  void ShowDialogPage(TfrxDialogPage* APage);
  void AttachDialogForm();
  void DetachDialogForm();
  void DialogFormModified(TObject* Sender);
  void RememberScrollPosition();
  void RestoreScrollPosition();
  void FillDataList();
  void CodeTextChanged(TObject* Sender);
  void CodeCaretMoved(TObject* Sender);
  void TakeCodeText();
  void MovePageTab(int ToTab);
  String PageTabText(TfrxPage* APage, int Position) const;

  TfrxDesignerWorkspace* FWorkspace = nullptr;
  std::unique_ptr<TfrxUndoBuffer> FUndoBuffer;
  std::unique_ptr<TfrxClipboard> FClipboard;
  TfrxObjectInspector* FInspectorForm = nullptr;
  TfrxDataTreeForm* FDataTreeForm = nullptr;
  bool FDropFields = true;
  std::vector<TObject*> FInspectedObjects;
  TfrxSyntaxMemo* FCodeWindow = nullptr;
  TfrxDialogForm* FDesignedDialogForm = nullptr;
  TObject* FModifiedBy = nullptr;
  bool FUpdatingControls = false;
  Extended FScale = 1;
  TfrxRulerUnits FUnits = ruCM, FReportUnits = ruCM;
  Extended FGridSizeCm = 0.1, FGridSizeInch = 0.1, FGridSizePixels = 4, FGridSizeDialog = 4;
  bool FShowGrid = true, FGridAlign = true, FShowRulers = true, FShowGuides = true, FShowStartup = true;
  TColor FWorkspaceColor = clWindow, FToolsColor = clWindow;
  std::array<String, 256> FTabScrollPositions;
  String FPositionText, FSizeText, FScaleText;
  bool FTabDragArmed = false;
  bool FScriptRunning = false;
  bool FChangingTab = false;
  // A preview designer's own restrictions replace the program's designer component while the
  // window lives.
  TfrxDesigner* FKeptDesigner = nullptr;
  std::unique_ptr<TfrxDesigner> FPreviewRestrictions;
  std::unique_ptr<TSampleFormat> FSampleFormat;
  std::unique_ptr<TStringList> FRecentFiles;
  std::vector<TMenuItem*> FRecentItems;
  TMenuItem* FLanguageMenu = nullptr;
  String FMemoFontName = "Arial";
  int FMemoFontSize = 10;
  bool FUseObjectFont = true;
  void ReadSettings(TCustomIniFile* Ini, bool Placement);
  void WriteSettings(TCustomIniFile* Ini);
  void LoadReportFile(const String& FileName, bool Dialog);
  bool WriteReportFile(const String& FileName);
  void ApplyReportDefaults();
  // The five tool bars' holders, as the layout is stored by.
  std::array<TPanel*, 5> ToolBarPanels() const;
  std::vector<TToolButton*> FPaletteButtons;
  bool FEditAfterInsert = false;
  bool FScriptPaused = false, FFirstStop = false;
  TColor FPickedColor = clBlack;
  TfrxFrameStyle FPickedFrameStyle = fsSolid;
  String FFindText, FReplaceText;
  bool FFindCase = false, FReplaceMode = false;
  int FFindIndex = 0;
  // The entries the last opening of the page menu put between its two separators.
  std::vector<TMenuItem*> FEditorItems;
};
