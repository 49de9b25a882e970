// The designer window's code tab: the script language, script files, and the debugger that
// runs the report through the preview and stops at script lines.
#include "report/designer/frxDesignerForm.h"

#include "report/designer/frxCodeUtils.h"
#include "report/designer/frxDataTree.h"
#include "report/designer/frxEvaluateForm.h"
#include "report/designer/frxSynMemo.h"
#include "report/frxClass.h"
#include "report/frxFormUtils.h"
#include "report/frxRes.h"

#include "core/ClassBuilder.h"
#include "core/Scope.h"
#include "core/StringList.h"
#include "core/SysUtils.h"
#include "gui/Application.h"
#include "gui/Dialogs.h"
#include "gui/Screen.h"
#include "script/fs_iscript.h"

void TfrxDesignerForm::PublishDebugger(TClassBuilder<TfrxDesignerForm>& b) {
  b.Method("LangCBClick", &TfrxDesignerForm::LangCBClick);
  b.Method("OpenScriptBClick", &TfrxDesignerForm::OpenScriptBClick);
  b.Method("SaveScriptBClick", &TfrxDesignerForm::SaveScriptBClick);
  b.Method("RunScriptBClick", &TfrxDesignerForm::RunScriptBClick);
  b.Method("StopScriptBClick", &TfrxDesignerForm::StopScriptBClick);
  b.Method("EvaluateBClick", &TfrxDesignerForm::EvaluateBClick);
}

// ---------------------------------------------------------------- language and files

void TfrxDesignerForm::UpdateScriptLanguage() {
  FCodeWindow->SetLanguageName(Report()->ScriptLanguage());
  const struct {
    const char* Language;
    int Index;
    const char* Ext;
  } kinds[] = {{"PascalScript", 1, "pas"}, {"C++Script", 2, "cpp"}, {"JScript", 3, "js"}, {"BasicScript", 4, "vb"}};
  int index = 5;
  String ext;
  for (const auto& k : kinds)
    if (SameText(Report()->ScriptLanguage(), k.Language)) {
      index = k.Index;
      ext = k.Ext;
    }
  String filter = ReportResources()->TextOf("2472");
  for (TOpenDialog* d : {static_cast<TOpenDialog*>(OpenScriptDialog), static_cast<TOpenDialog*>(SaveScriptDialog)}) {
    d->SetFilter(filter);
    d->SetFilterIndex(index);
    d->SetDefaultExt(ext);
  }
}

void TfrxDesignerForm::LangCBClick(TObject*) {
  if (FUpdatingControls) return;
  String chosen = LangCB->Text();
  if (chosen.empty() || chosen == Report()->ScriptLanguage()) return;
  if (AskConfirmation(ReportResources()->TextOf("dsClearScript"), MB_YESNO) != IDYES) {
    LangCB->SetItemIndex(LangCB->Items()->IndexOf(Report()->ScriptLanguage()));
    return;
  }
  Report()->SetScriptLanguage(chosen);
  TStringList empty;
  MakeEmptyScript(&empty, chosen);
  FCodeWindow->SetLines(&empty);
  UpdateScriptLanguage();
  FlagModified(true);
  if (FCodeWindow->CanFocus()) FCodeWindow->SetFocus();
}

void TfrxDesignerForm::OpenScriptBClick(TObject*) {
  if (!OpenScriptDialog->Execute()) return;
  TStringList lines;
  lines.LoadFromFile(OpenScriptDialog->FileName());
  FCodeWindow->SetLines(&lines);
  FlagModified(true);
}

void TfrxDesignerForm::SaveScriptBClick(TObject*) {
  if (!SaveScriptDialog->Execute()) return;
  TStringList lines;
  lines.Assign(FCodeWindow->GetTrimmedLines());
  lines.SaveToFile(SaveScriptDialog->FileName());
}

void TfrxDesignerForm::EvaluateBClick(TObject*) {
  ShowEvaluateDialog(this, Report()->Script(), FCodeWindow->SelectedText());
}

void TfrxDesignerForm::DataTreeDblClick(TObject*) {
  if (!FDataTreeForm || Page()) return;
  // On the code tab the item's text goes in at the caret.
  String text = FDataTreeForm->SelectedItemText();
  if (text.empty()) return;
  FCodeWindow->ReplaceSelection(text);
  if (FCodeWindow->CanFocus()) FCodeWindow->SetFocus();
}

// ---------------------------------------------------------------- running

void TfrxDesignerForm::RunScript(bool Step) {
  TfsScript* script = Report()->Script();
  if (FScriptRunning) {
    // Paused at a line: Run goes on to the end, Step to the next statement.
    if (!Step) script->SetOnRunLine(TfsRunLineEvent());
    FScriptPaused = false;
    return;
  }
  if (Step) script->SetOnRunLine(TfsRunLineEvent::Lambda([this](TfsScript* S, const String& Unit, const String& Pos) {
    RunLine(S, Unit, Pos);
  }));
  else script->SetOnRunLine(TfsRunLineEvent());
  FScriptRunning = true;
  FFirstStop = true;
  TScopeExit ended([&] {
    FScriptRunning = false;
    FScriptPaused = false;
    Report()->Script()->SetOnRunLine(TfsRunLineEvent());
    FCodeWindow->SetDebugLine(-1);
  });
  PreviewReport();
}

void TfrxDesignerForm::RunScriptBClick(TObject* Sender) { RunScript(Sender == StepScriptB); }

void TfrxDesignerForm::StopScriptBClick(TObject*) {
  TfsScript* script = Report()->Script();
  script->SetOnRunLine(TfsRunLineEvent());
  script->StopRun();
  Report()->SetTerminated(true);
  FScriptPaused = false;
}

void TfrxDesignerForm::RunToCursor() {
  FCodeWindow->SetRunToLine(FCodeWindow->CaretPos().Y);
  RunScript(true);
}

void TfrxDesignerForm::RunLine(TfsScript* Sender, const String& UnitName, const String& SourcePos) {
  int colon = Pos(":", SourcePos);
  int y = StrToIntDef(colon > 0 ? SourcePos.substr(0, colon - 1) : SourcePos, 0);
  int x = colon > 0 ? StrToIntDef(SourcePos.substr(colon), 1) : 1;
  if (FCodeWindow->RunToLine() > 0 && FCodeWindow->RunToLine() != y) return;
  FCodeWindow->SetRunToLine(0);
  if (FFirstStop) {
    int count = FCodeWindow->GetTrimmedLines()->Count();
    for (int line = 1; line <= count; ++line) FCodeWindow->SetCodeLineMark(line, Sender->IsCodeLine(UnitName, line));
    FFirstStop = false;
  }
  TCustomForm* active = Screen ? Screen->ActiveCustomForm() : nullptr;
  SetEnabled(true);
  if (Visible() && CanFocus()) SetFocus();
  FCodeWindow->SetDebugLine(y);
  FCodeWindow->MoveCaretTo(x, y);
  FScriptPaused = true;
  if (OnPaused) OnPaused();
  // The user reads the code, evaluates, steps, runs or stops; each ends the pause.
  while (FScriptPaused && !Application->Terminated()) {
    Application->HandleMessage();
  }
  if (active && active != this && active->Visible() && active->CanFocus()) active->SetFocus();
}

void TfrxDesignerForm::DebuggerKeyDown(Word& Key, TShiftState Shift) {
  bool code = Page() == nullptr;
  bool plain = Shift.Empty();
  if (code && plain && (Key == VK_F4 || Key == VK_F5)) {
    Key = 0;
    RunToCursor();
  } else if (Key == VK_F2 && Shift == TShiftState{ssCtrl}) {
    Key = 0;
    StopScriptBClick(nullptr);
  } else if (code && Key == VK_F7 && Shift == TShiftState{ssCtrl}) {
    Key = 0;
    EvaluateBClick(nullptr);
  } else if (Key == VK_F9 && plain) {
    Key = 0;
    RunScript(false);
  } else if (code && plain && (Key == VK_F7 || Key == VK_F8)) {
    Key = 0;
    RunScript(true);
  }
}
