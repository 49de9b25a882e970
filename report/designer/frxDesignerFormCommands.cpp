// The designer window's commands: selection and z-order, object editors and the page menu's
// editor entries, adding and deleting pages, the preview run, view toggles, find and replace,
// and the keys the window sees before its controls.
#include "report/designer/frxDesignerForm.h"

#include "report/designer/frxDesgnWorkspace.h"
#include "report/designer/frxSynMemo.h"
#include "report/frxBands.h"
#include "report/frxClass.h"
#include "report/frxDMPClass.h"
#include "report/frxDsgnIntf.h"
#include "report/frxFormUtils.h"
#include "report/frxMemoView.h"
#include "report/frxPages.h"
#include "report/frxPreviewDialogs.h"
#include "report/frxRes.h"
#include "report/frxShapes.h"
#include "report/frxView.h"

#include "core/ClassBuilder.h"
#include "core/Classes.h"
#include "core/Format.h"
#include "core/Scope.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "gui/Application.h"
#include "gui/Dialogs.h"
#include "gui/Menus.h"
#include "gui/ToolBar.h"
#include "script/fs_iscript.h"

#include <algorithm>

void TfrxDesignerForm::PublishCommands(TClassBuilder<TfrxDesignerForm>& b) {
  b.Method("SelectAllCmdExecute", &TfrxDesignerForm::SelectAllCmdExecute);
  b.Method("EditCmdExecute", &TfrxDesignerForm::EditCmdExecute);
  b.Method("DeleteCmdExecute", &TfrxDesignerForm::DeleteCmdExecute);
  b.Method("GroupCmdExecute", &TfrxDesignerForm::GroupCmdExecute);
  b.Method("UngroupCmdExecute", &TfrxDesignerForm::UngroupCmdExecute);
  b.Method("BringToFrontCmdExecute", &TfrxDesignerForm::BringToFrontCmdExecute);
  b.Method("SendToBackCmdExecute", &TfrxDesignerForm::SendToBackCmdExecute);
  b.Method("NewPageCmdExecute", &TfrxDesignerForm::NewPageCmdExecute);
  b.Method("NewDialogCmdExecute", &TfrxDesignerForm::NewDialogCmdExecute);
  b.Method("DeletePageCmdExecute", &TfrxDesignerForm::DeletePageCmdExecute);
  b.Method("PreviewCmdExecute", &TfrxDesignerForm::PreviewCmdExecute);
  b.Method("ToolbarsMIClick", &TfrxDesignerForm::ToolbarsMIClick);
  b.Method("ToolbarItemClick", &TfrxDesignerForm::ToolbarItemClick);
  b.Method("ShowRulersMIClick", &TfrxDesignerForm::ShowRulersMIClick);
  b.Method("ShowGuidesMIClick", &TfrxDesignerForm::ShowGuidesMIClick);
  b.Method("DeleteGuidesMIClick", &TfrxDesignerForm::DeleteGuidesMIClick);
  b.Method("FindMIClick", &TfrxDesignerForm::FindMIClick);
  b.Method("ReplaceMIClick", &TfrxDesignerForm::ReplaceMIClick);
  b.Method("FindNextMIClick", &TfrxDesignerForm::FindNextMIClick);
  b.Method("HelpContentsMIClick", &TfrxDesignerForm::HelpContentsMIClick);
  b.Method("PagePopupPopup", &TfrxDesignerForm::PagePopupPopup);
  b.Method("EditorMenuItemClick", &TfrxDesignerForm::EditorMenuItemClick);
  b.Method("FormKeyDown", &TfrxDesignerForm::FormKeyDown);
}

namespace {
int PageIndexIn(TfrxReport* Report, TfrxPage* Page) {
  for (int i = 0; i < Report->CountPages(); ++i)
    if (Report->PageAt(i) == Page) return i;
  return -1;
}

bool ContainsText(const String& Where, const String& What, bool CaseSensitive) {
  if (CaseSensitive) return Pos(What, Where) > 0;
  return Pos(AnsiUpperCase(What), AnsiUpperCase(Where)) > 0;
}
}  // namespace

// ---------------------------------------------------------------- selection and order

void TfrxDesignerForm::SelectAll() {
  if (!Page()) return;
  TfrxComponent* container = Page();
  std::vector<TfrxComponent*>& s = SelectedObjects();
  if (s.size() == 1) {
    if (s.front()->Is<TfrxBand>()) container = s.front();
    else if (s.front()->Parent() && s.front()->Parent()->Is<TfrxBand>()) container = s.front()->Parent();
  }
  if (container->ObjectCount() > 0) {
    s.clear();
    for (int i = 0; i < container->ObjectCount(); ++i) s.push_back(container->Objects(i));
  }
  NotifySelectionChanged(nullptr);
}

void TfrxDesignerForm::SelectAllCmdExecute(TObject*) { SelectAll(); }

void TfrxDesignerForm::BringToFrontCmdExecute(TObject*) {
  for (TfrxComponent* c : std::vector<TfrxComponent*>(SelectedObjects())) {
    if (!c->Is<TfrxReportComponent>() || c->Restrictions().Contains(rfDontMove) || !c->Parent()) continue;
    TfrxComponent* parent = c->Parent();
    std::vector<TfrxComponent*> children = parent->UnlistObjects();
    children.erase(std::remove(children.begin(), children.end(), c), children.end());
    children.push_back(c);
    parent->ListObjects(std::move(children));
  }
  ReloadObjects();
  FlagModified(true);
}

void TfrxDesignerForm::SendToBackCmdExecute(TObject*) {
  // Walked backwards so the selection keeps its own order at the start of each parent.
  std::vector<TfrxComponent*> selected(SelectedObjects());
  for (auto it = selected.rbegin(); it != selected.rend(); ++it) {
    TfrxComponent* c = *it;
    TfrxComponent* parent = c->Parent();
    if (!c->Is<TfrxReportComponent>() || c->Restrictions().Contains(rfDontMove) || !parent) continue;
    std::vector<TfrxComponent*> children = parent->UnlistObjects();
    children.erase(std::remove(children.begin(), children.end(), c), children.end());
    children.insert(children.begin(), c);
    parent->ListObjects(std::move(children));
  }
  ReloadObjects();
  FlagModified(true);
}

void TfrxDesignerForm::DeleteCmdExecute(TObject*) { FWorkspace->DeleteSelection(); }
void TfrxDesignerForm::GroupCmdExecute(TObject*) { FWorkspace->GroupSelection(); }
void TfrxDesignerForm::UngroupCmdExecute(TObject*) { FWorkspace->UngroupSelection(); }

// ---------------------------------------------------------------- object editors

void TfrxDesignerForm::EditSelectedObject() {
  if (SelectedObjects().empty()) return;
  TfrxComponent* obj = SelectedObjects().front();
  std::unique_ptr<TfrxComponentEditor> editor = ComponentEditorRegistry().EditorFor(obj, this, nullptr);
  if (!editor || !editor->HasOwnEditor() || !editor->OpenEditor()) return;
  FlagModified(true);
  if (obj == Page()) LayoutReportPage();
}

void TfrxDesignerForm::EditCmdExecute(TObject*) {
  if (Page() && SelectedObjects().size() == 1) EditSelectedObject();
}

void TfrxDesignerForm::PagePopupPopup(TObject*) {
  for (TMenuItem* item : FEditorItems) delete item;
  FEditorItems.clear();
  SepMI12->SetVisible(false);
  EditMI1->SetDefault(false);
  TfrxComponent* first = SelectedObjects().empty() ? nullptr : SelectedObjects().front();
  TPopupMenu scratch(nullptr);
  std::unique_ptr<TfrxComponentEditor> editor =
      first ? ComponentEditorRegistry().EditorFor(first, this, &scratch) : nullptr;
  if (!editor) {
    EditMI1->SetEnabled(false);
    return;
  }
  bool own = editor->HasOwnEditor();
  EditMI1->SetEnabled(own);
  EditMI1->SetDefault(own);
  editor->BuildMenu();
  TMenuItem* entries = scratch.Items();
  SepMI12->SetVisible(entries->Count() > 0);
  for (int i = 0; i < entries->Count(); ++i) {
    TMenuItem* source = entries->Items(i);
    auto* copy = new TMenuItem(PagePopup);
    copy->SetCaption(source->Caption());
    copy->SetTag(source->Tag());
    copy->SetChecked(source->Checked());
    copy->SetImageIndex(source->ImageIndex());
    copy->OnClick = MakeEvent(this, &TfrxDesignerForm::EditorMenuItemClick);
    PagePopup->Items()->Insert(2 + i, copy);
    FEditorItems.push_back(copy);
  }
}

void TfrxDesignerForm::EditorMenuItemClick(TObject* Sender) {
  auto* item = dynamic_cast<TMenuItem*>(Sender);
  if (!item || SelectedObjects().empty()) return;
  std::unique_ptr<TfrxComponentEditor> editor =
      ComponentEditorRegistry().EditorFor(SelectedObjects().front(), this, nullptr);
  if (editor && editor->RunMenuItem(item->Tag(), !item->Checked())) FlagModified(true);
}

// ---------------------------------------------------------------- pages

void TfrxDesignerForm::NewPageCmdExecute(TObject*) {
  if (!CheckOp(drDontCreatePage)) return;
  DropSelection();
  TfrxReportPage* page = Report()->DotMatrixReport() ? new TfrxDMPPage(Report()) : new TfrxReportPage(Report());
  page->SetParent(Report());
  page->AssignNumberedName();
  page->TakePrinterDefaults();
  RebuildPageTabs(Report()->CountPages() - 1);
  FlagModified(true);
}

void TfrxDesignerForm::NewDialogCmdExecute(TObject*) {
  if (!CheckOp(drDontCreatePage)) return;
  DropSelection();
  auto* page = new TfrxDialogPage(Report());
  page->SetParent(Report());
  page->AssignNumberedName();
  page->SetBounds(265, 150, 300, 200);
  RebuildPageTabs(Report()->CountPages() - 1);
  FlagModified(true);
}

void TfrxDesignerForm::DeletePageCmdExecute(TObject*) {
  TfrxPage* page = Page();
  if (!CheckOp(drDontDeletePage) || !page || Report()->CountPages() < 2) return;
  DropSelection();
  if (auto* rp = dynamic_cast<TfrxReportPage*>(page); rp && rp->SubreportOwner()) delete rp->SubreportOwner();
  delete page;
  RebuildPageTabs(0);
  FlagModified(true);
}

// ---------------------------------------------------------------- preview

void TfrxDesignerForm::PreviewCmdExecute(TObject*) {
  if (CheckOp(drDontPreviewReport)) PreviewReport();
}

void TfrxDesignerForm::PreviewReport() {
  RememberScrollPosition();
  TakeCodeText();
  if (!Report()->CompileReportScript()) {
    // The error goes to the code tab: the caret on its place, the message in the editor.
    TfsScript* script = Report()->Script();
    String pos = script->CompileErrorPos();
    int colon = Pos(":", pos);
    int line = colon > 0 ? StrToIntDef(pos.substr(0, colon - 1), 1) : 1;
    int column = colon > 0 ? StrToIntDef(pos.substr(colon), 1) : 1;
    ChangePage(nullptr);
    FCodeWindow->MoveCaretTo(column, line);
    FCodeWindow->SetErrorBarText(script->CompileError());
    return;
  }
  bool onCode = Page() == nullptr;
  int pageIndex = PageIndexIn(Report(), Page());
  DetachDialogForm();
  TfrxPreviewOptions* options = Report()->PreviewOptions();
  bool modal = options->Modal(), mdi = options->MDIChild();
  TMemoryStream definition;
  Report()->SaveToStream(&definition, true, false);
  TfrxCustomPreview* preview = Report()->Preview();
  Report()->SetPreview(nullptr);
  // Whatever the run does, the definition, the preview control and the options come back.
  TScopeExit restore([&] {
    DropSelection();
    definition.SetPosition(0);
    Report()->SetReloading(true);
    TScopeExit reloaded([&] { Report()->SetReloading(false); });
    Report()->LoadFromStream(&definition);
    Report()->Script()->DropOwnerItems(reinterpret_cast<TfsOwnerTag>(static_cast<const TfrxReport*>(Report())));
    Report()->SetPreview(preview);
    options->SetModal(modal);
    options->SetMDIChild(mdi);
    if (onCode) {
      RebuildPageTabs(0);
      ChangePage(nullptr);
    } else {
      RebuildPageTabs(pageIndex);
    }
  });
  options->SetModal(true);
  options->SetMDIChild(false);
  try {
    Report()->ShowReport(true);
  } catch (const std::exception& e) {
    // A run that fails says why; the definition is restored all the same.
    ShowErrorBox(e.what());
  }
}

// ---------------------------------------------------------------- view

void TfrxDesignerForm::ToolbarsMIClick(TObject*) {
  TMenuItem* items[] = {StandardMI, TextMI, FrameMI, AlignmentMI, ToolsMI, InspectorMI, DataTreeMI, ReportTreeMI};
  for (int i = 0; i < 8; ++i) {
    TControl* c = ToolbarControl(i);
    items[i]->SetTag(i);
    items[i]->SetChecked(c && c->Visible());
  }
}

TControl* TfrxDesignerForm::ToolbarControl(int Tag) const {
  switch (Tag) {
    case 0: return StandardTB;
    case 1: return TextTB;
    case 2: return FrameTB;
    case 3: return AlignTB;
    case 4: return ExtraToolsTB;
    case 5: return dynamic_cast<TControl*>(Inspector);
    case 6: return dynamic_cast<TControl*>(DataTree);
    case 7: return dynamic_cast<TControl*>(ReportTree);
    default: return nullptr;
  }
}

void TfrxDesignerForm::ToolbarItemClick(TObject* Sender) {
  auto* item = dynamic_cast<TMenuItem*>(Sender);
  if (!item) return;
  item->SetChecked(!item->Checked());
  if (TControl* c = ToolbarControl(static_cast<int>(item->Tag()))) c->SetVisible(item->Checked());
}

void TfrxDesignerForm::ShowRulersMIClick(TObject*) { SetShowRulers(!FShowRulers); }

void TfrxDesignerForm::ShowGuidesMIClick(TObject*) {
  SetShowGuides(!FShowGuides);
  ShowGuidesMI->SetChecked(FShowGuides);
  FWorkspace->Invalidate();
}

void TfrxDesignerForm::DeleteGuidesMIClick(TObject*) {
  auto* page = dynamic_cast<TfrxReportPage*>(Page());
  if (!page) return;
  page->RemoveGuides();
  FWorkspace->Invalidate();
  FlagModified(true);
}

void TfrxDesignerForm::HelpContentsMIClick(TObject*) {
  // No help viewer comes with the program: asking for help opens nothing.
}

// ---------------------------------------------------------------- find and replace

void TfrxDesignerForm::FindMIClick(TObject* Sender) {
  TfrxSearchDialog dialog(this);
  dialog.InitForm();
  bool replace = Sender == ReplaceMI;
  dialog.ReplacePanel->SetVisible(replace);
  if (Page()) dialog.TopCB->SetEnabled(false);
  if (dialog.ShowModal() != mrOk) return;
  FReplaceMode = replace;
  FFindText = dialog.TextE->Text();
  FReplaceText = dialog.ReplaceE->Text();
  FFindCase = dialog.CaseCB->Checked();
  FFindIndex = 0;
  if (!Page() && !dialog.TopCB->Checked()) FFindIndex = FCodeWindow->CaretOffset();
  FindNextMI->SetEnabled(true);
  FindText();
}

void TfrxDesignerForm::ReplaceMIClick(TObject*) { FindMIClick(ReplaceMI); }
void TfrxDesignerForm::FindNextMIClick(TObject*) { FindText(); }

void TfrxDesignerForm::FindText() {
  if (FFindText.empty()) return;
  bool all = false, found = false;
  TfrxResources* res = ReportResources();
  // Yes replaces, All replaces this and every further hit, No and Cancel end the search.
  auto confirm = [&]() {
    if (!FReplaceMode) return false;
    if (all) return true;
    int answer = MessageDlg(Format(res->TextOf("dsReplace"), {FFindText}), mtConfirmation,
                            TMsgDlgButtons{mbYes, mbNo, mbCancel, mbAll}, 0);
    if (answer == mrAll) all = true;
    return answer == mrYes || answer == mrAll;
  };
  for (;;) {
    bool hit = false, replaced = false;
    if (Page()) {
      std::vector<TfrxComponent*>& objects = Objects();
      for (int i = FFindIndex; i < static_cast<int>(objects.size()); ++i) {
        auto* memo = dynamic_cast<TfrxCustomMemoView*>(objects[i]);
        if (!memo || !ContainsText(memo->Text(), FFindText, FFindCase)) continue;
        hit = true;
        FFindIndex = i + 1;
        SelectedObjects().assign(1, memo);
        NotifySelectionChanged(nullptr);
        if (confirm()) {
          TReplaceFlags flags{rfReplaceAll};
          if (!FFindCase) flags += rfIgnoreCase;
          memo->SetText(StringReplace(memo->Text(), FFindText, FReplaceText, flags));
          FlagModified(true);
          replaced = true;
        }
        break;
      }
    } else {
      int offset = FFindIndex;
      if (FCodeWindow->SearchText(FFindText, FFindCase, offset)) {
        hit = true;
        FFindIndex = offset;
        if (confirm()) {
          FCodeWindow->ReplaceSelection(FReplaceText);
          // The next search starts after the text just put in, so a replacement that holds
          // the text it replaced is never found again.
          FFindIndex = FCodeWindow->CaretOffset();
          FlagModified(true);
          replaced = true;
        }
      }
    }
    found = found || hit;
    if (!hit || !all || !replaced) break;
  }
  if (!found)
    Application->MessageBox(Format(res->TextOf("dsTextNotFound"), {FFindText}), res->TextOf("mbInfo"),
                            MB_OK | MB_ICONINFORMATION);
}

// ---------------------------------------------------------------- keys

void TfrxDesignerForm::FormKeyDown(TObject*, Word& Key, TShiftState Shift) {
  TWinControl* focused = ActiveControl();
  bool inspectorEditing = InspectorEditing && InspectorEditing();
  if (Page() && Page()->Is<TfrxDialogPage>() && !inspectorEditing && focused != FWorkspace && Key != 0 &&
      (focused == nullptr || focused == ScrollBox)) {
    FWorkspace->Perform(WM_KEYDOWN, Key, 0);
    Key = 0;
    return;
  }
  if (Key == VK_RETURN && focused == FontSizeCB) {
    ToolButtonClick(FontSizeCB);
    Key = 0;
    return;
  }
  if (Key == VK_RETURN && focused == ScaleCB) {
    ApplyScaleText();
    Key = 0;
    return;
  }
  if (Page() && !inspectorEditing) {
    if (Key == VK_INSERT && Shift == TShiftState{ssShift}) PasteCmd->Execute();
    else if (Key == VK_INSERT && Shift == TShiftState{ssCtrl}) CopyCmd->Execute();
    else if (Key == VK_DELETE && Shift == TShiftState{ssShift}) CutCmd->Execute();
  }
  if (Key == 'E' && Shift == TShiftState{ssCtrl}) {
    ChangePage(nullptr);
    Key = 0;
    return;
  }
  DebuggerKeyDown(Key, Shift);
}

// ---------------------------------------------------------------- enabling

namespace {
bool Publishes(TfrxComponent* C, const char* Name) { return C && GetPropInfo(C, Name) != nullptr; }

TfrxFrame* FrameOf(TfrxComponent* C) {
  if (auto* v = dynamic_cast<TfrxView*>(C)) return v->Frame();
  if (auto* p = dynamic_cast<TfrxReportPage*>(C)) return p->Frame();
  return nullptr;
}

TfrxDMPFontStyles DMPStyleOf(TfrxComponent* C) {
  if (auto* m = dynamic_cast<TfrxDMPMemoView*>(C)) return m->FontStyle();
  if (auto* l = dynamic_cast<TfrxDMPLineView*>(C)) return l->FontStyle();
  if (auto* p = dynamic_cast<TfrxDMPPage*>(C)) return p->FontStyle();
  return {};
}
}  // namespace

// Which commands are enabled and which buttons are down, by what is shown and selected.
void TfrxDesignerForm::UpdateControls() {
  TRestore<bool> updating(FUpdatingControls, true);
  TfrxPage* p = Page();
  bool code = p == nullptr;
  std::vector<TfrxComponent*>& s = SelectedObjects();
  TfrxComponent* f = s.empty() ? nullptr : s.front();
  const std::size_t n = s.size();
  bool dmpF = f && f->Is<TfrxDMPPage>();
  bool hasFont = !code && !dmpF && Publishes(f, "Font");
  bool isText = !code && f && f->Is<TfrxCustomMemoView>();
  bool hasFrame = !code && !dmpF && Publishes(f, "Frame");
  bool hasFrameLines = hasFrame && !f->Is<TfrxLineView>() && !f->Is<TfrxShapeView>();
  bool hasColor = !code && !dmpF && Publishes(f, "Color");
  bool onReportPage = p && p->Is<TfrxReportPage>();
  bool objectsSelected = !code && n > 0 && f != p;
  bool isDotMatrix = f && (f->Is<TfrxDMPMemoView>() || f->Is<TfrxDMPLineView>() || f->Is<TfrxDMPCommand>() || dmpF);
  bool several = n > 1;
  bool notDMPPage = !(p && p->Is<TfrxDMPPage>());

  TToolButton* alignButtons[] = {TextAlignLeftB, TextAlignCenterB, TextAlignRightB, TextAlignBlockB,
                                 TextAlignTopB,  TextAlignMiddleB, TextAlignBottomB};
  TToolButton* frameLines[] = {FrameTopB, FrameBottomB, FrameLeftB, FrameRightB};
  const TfrxFrameType lineTypes[] = {ftTop, ftBottom, ftLeft, ftRight};

  // 1 and 2: what the single selected object says, else empty boxes and released buttons.
  for (TToolButton* b : alignButtons) b->SetDown(false);
  for (TToolButton* b : frameLines) b->SetDown(false);
  ShadowB->SetDown(false);
  BoldB->SetDown(false);
  ItalicB->SetDown(false);
  UnderlineB->SetDown(false);
  if (n == 1) {
    if (hasFont || Publishes(f, "Font")) {
      if (TFont* font = f->Font()) {
        FontNameCB->SetText(font->Name());
        FontSizeCB->SetText(IntToStr(font->Size()));
        BoldB->SetDown(font->Style().Contains(fsBold));
        ItalicB->SetDown(font->Style().Contains(fsItalic));
        UnderlineB->SetDown(font->Style().Contains(fsUnderline));
      }
    }
    if (auto* memo = dynamic_cast<TfrxCustomMemoView*>(f)) {
      TextAlignLeftB->SetDown(memo->HAlign() == haLeft);
      TextAlignCenterB->SetDown(memo->HAlign() == haCenter);
      TextAlignRightB->SetDown(memo->HAlign() == haRight);
      TextAlignBlockB->SetDown(memo->HAlign() == haBlock);
      TextAlignTopB->SetDown(memo->VAlign() == vaTop);
      TextAlignMiddleB->SetDown(memo->VAlign() == vaCenter);
      TextAlignBottomB->SetDown(memo->VAlign() == vaBottom);
      if (!memo->Is<TfrxDMPMemoView>()) {
        int index = StyleCB->Items()->IndexOf(memo->Style());
        if (memo->Style().empty() || index < 0) StyleCB->SetItemIndex(StyleCB->Items()->Count() > 0 ? 0 : -1);
        else StyleCB->SetItemIndex(index);
      }
    }
    if (TfrxFrame* frame = FrameOf(f)) {
      for (int i = 0; i < 4; ++i) frameLines[i]->SetDown(frame->Typ().Contains(lineTypes[i]));
      ShadowB->SetDown(frame->DropShadow());
      FrameWidthCB->SetText(FloatToStr(frame->Width()));
    }
  } else {
    FontNameCB->SetText("");
    FontSizeCB->SetText("");
    FrameWidthCB->SetText("");
    StyleCB->SetItemIndex(-1);
  }

  // 3: enabling; a disabled button is released too.
  auto enable = [](TControl* c, bool on) {
    c->SetEnabled(on);
    if (!on)
      if (auto* b = dynamic_cast<TToolButton*>(c)) b->SetDown(false);
  };
  for (TControl* c : std::initializer_list<TControl*>{FontNameCB, FontSizeCB, BoldB, ItalicB, UnderlineB, FontColorB})
    enable(c, (hasFont || several) && notDMPPage);
  enable(FontB, hasFont || isDotMatrix || several);
  for (TToolButton* b : alignButtons) enable(b, isText || several);
  for (TControl* c : std::initializer_list<TControl*>{StyleCB, HighlightB, RotateB})
    enable(c, (isText || several) && notDMPPage);
  for (TToolButton* b : frameLines) enable(b, hasFrameLines || several);
  for (TControl* c : std::initializer_list<TControl*>{FrameAllB, FrameNoB, ShadowB}) enable(c, hasFrameLines || several);
  for (TControl* c : std::initializer_list<TControl*>{FrameColorB, FrameStyleB, FrameWidthCB})
    enable(c, (hasFrame || several) && notDMPPage);
  enable(FillColorB, hasColor && notDMPPage);
  enable(SampleFormatB, (isText && n == 1) || (onReportPage && !objectsSelected));

  // 4: the font button of a dot-matrix report drops the dot-matrix styles instead.
  if (Report()->DotMatrixReport()) {
    FontB->SetStyle(tbsDropDown);
    FontB->SetDropdownMenu(DMPPopup);
    FontB->OnClick = TNotifyEvent();
  } else {
    FontB->SetStyle(tbsButton);
    FontB->SetDropdownMenu(nullptr);
    if (FontButtonClick) FontB->OnClick = FontButtonClick;
  }
  TfrxDMPFontStyles dmp = DMPStyleOf(f);
  const struct {
    TMenuItem* Item;
    TfrxDMPFontStyle Style;
  } dmpItems[] = {{BoldMI, fsxBold},         {ItalicMI, fsxItalic},       {UnderlineMI, fsxUnderline},
                  {SuperScriptMI, fsxSuperScript}, {SubScriptMI, fsxSubScript}, {CondensedMI, fsxCondensed},
                  {WideMI, fsxWide},         {N12cpiMI, fsx12cpi},        {N15cpiMI, fsx15cpi}};
  for (const auto& d : dmpItems) d.Item->SetChecked(dmp.Contains(d.Style));

  // 5: the actions.
  bool objects = objectsSelected;
  const struct {
    TAction* Action;
    bool Enabled;
  } rules[] = {
      {UndoCmd, code || (CanUndo && CanUndo())},
      {RedoCmd, !code && CanRedo && CanRedo()},
      {CutCmd, code || objects},
      {CopyCmd, code || objects},
      {DeleteCmd, objects},
      {DeletePageCmd, Report()->CountPages() > 1 && !code && CheckOp(drDontDeletePage)},
      {SelectAllCmd, !code && p->ObjectCount() > 0},
      {EditCmd, !code && n == 1},
      {BringToFrontCmd, objects},
      {SendToBackCmd, objects},
      {GroupCmd, objects && f != Report()},
      {UngroupCmd, objects && f != Report()},
      {SaveCmd, Modified() && CheckOp(drDontSaveReport)},
      {PageSettingsCmd, onReportPage && CheckOp(drDontChangePageOptions)},
  };
  for (const auto& r : rules) r.Action->SetEnabled(r.Enabled);
  PasteCmd->SetEnabled(code || (CanPaste && CanPaste()));
  SetToGridB->SetEnabled(objectsSelected);
  ScaleCB->SetEnabled(onReportPage);
  TabOrderMI->SetVisible(!onReportPage);
  if (PaletteUpdate) PaletteUpdate(onReportPage, isText && n == 1);

  // 6: what the single selected object is bound to.
  String status;
  if (n == 1) {
    status = f->Name();
    auto* view = dynamic_cast<TfrxView*>(f);
    if (view && view->DataSet() && !view->DataField().empty())
      status += ": " + Report()->AliasOfDataSet(view->DataSet()) + ".\"" + view->DataField() + "\"";
    else if (auto* memo = dynamic_cast<TfrxCustomMemoView*>(f))
      status += ": " + memo->Text().substr(0, std::min<std::size_t>(memo->Text().size(), 128));
    else if (auto* band = dynamic_cast<TfrxDataBand*>(f); band && band->DataSet())
      status += ": " + Report()->AliasOfDataSet(band->DataSet());
    else if (auto* group = dynamic_cast<TfrxGroupHeader*>(f))
      status += ": " + group->Condition();
  }
  StatusBar->Panels()->Items(2)->SetText(status);
}
