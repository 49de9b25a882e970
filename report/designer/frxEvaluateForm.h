#pragma once
// The evaluate window: an expression evaluated in the script paused in the debugger, each
// Enter again. Booleans show as True or False, texts between single quotes, Null as Null; an
// expression that does not compile shows its error text as it is, never as a quoted value.
#include "forms/TfrxEvaluateForm.h"
#include "gui/Forms.h"

class TfsScript;
class Variant;

class TfrxEvaluateForm : public TfrxEvaluateFormLayout<TForm> {
  KELM_CLASS(TfrxEvaluateForm, TfrxEvaluateFormLayout<TForm>)
public:
  explicit TfrxEvaluateForm(TComponent* AOwner) : inherited(AOwner) {}

  // The script to evaluate in; set by the opener.
  TfsScript* Script = nullptr;
  // Evaluates ExpressionE's text into ResultM.
  void Evaluate();

  // ---- handlers named by the layout
  void FormCreate(TObject* Sender);
  void FormShow(TObject* Sender);
  void FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  void ExpressionEKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
};

// How the window shows a value.
String EvaluatedText(const Variant& Value);

// The evaluate command: the window on Script with Expression (the code editor's selection).
void ShowEvaluateDialog(TComponent* Owner, TfsScript* Script, const String& Expression);
