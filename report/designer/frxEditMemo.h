#pragma once
// The text dialog of a text object: its text in a Unicode edit control whatever the font's
// character set (no character is lost on OK), with buttons that insert an expression, an
// aggregate or a display format, and a remembered word-wrap state. Ctrl+Enter confirms,
// Escape cancels, Ctrl+A selects all.
#include "forms/TfrxMemoEditorForm.h"
#include "gui/Forms.h"

class TUnicodeMemo;
class TfrxCustomMemoView;
class TfrxFormat;

class TfrxMemoEditorForm : public TfrxMemoEditorFormLayout<TForm> {
  KELM_CLASS(TfrxMemoEditorForm, TfrxMemoEditorFormLayout<TForm>)
public:
  explicit TfrxMemoEditorForm(TComponent* AOwner) : inherited(AOwner) {}

  // Set by the opener before showing.
  TfrxCustomMemoView* MemoView = nullptr;
  // The edited text, filled on hide whatever the modal result.
  WideString Text;
  // The edit control, made on show.
  TUnicodeMemo* Memo() const { return FMemo; }

  // What the tool buttons insert at the selection.
  void InsertExpression(const String& Expression);
  void InsertFormat(const TfrxFormat* Format);

  // ---- handlers named by the layout
  void FormCreate(TObject* Sender);
  void FormShow(TObject* Sender);
  void FormHide(TObject* Sender);
  void FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  void ExprBClick(TObject* Sender);
  void AggregateBClick(TObject* Sender);
  void LocalFormatBClick(TObject* Sender);
  void WordWrapBClick(TObject* Sender);
  void OkBClick(TObject* Sender);
  void CancelBClick(TObject* Sender);
  void MemoKeyDown(TObject* Sender, Word& Key, TShiftState Shift);

private:
  TUnicodeMemo* FMemo = nullptr;
};

// The suffix a display format adds inside a bracketed expression: " #n" and the number
// format with its separators replaced, " #d" or " #b" and the format, nothing for text.
String FormatSuffix(const TfrxFormat* Format);
// The expression between the object's delimiters, a lone <Set."Field"> without its brackets.
String DelimitedExpression(const String& Delimiters, const String& Expression);
