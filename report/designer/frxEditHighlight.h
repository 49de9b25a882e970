#pragma once
// The highlight dialog: the condition under which a text object is highlighted, the font
// style and colour it then takes, and its background (transparent or a colour).
#include "forms/TfrxHighlightEditorForm.h"
#include "gui/Forms.h"
#include "gui/Graphics.h"

class TfrxCustomMemoView;

class TfrxHighlightEditorForm : public TfrxHighlightEditorFormLayout<TForm> {
  KELM_CLASS(TfrxHighlightEditorForm, TfrxHighlightEditorFormLayout<TForm>)
public:
  explicit TfrxHighlightEditorForm(TComponent* AOwner) : inherited(AOwner) {}

  // Set by the opener before showing.
  TfrxCustomMemoView* MemoView = nullptr;
  TColor FontColor() const { return FFontColor; }
  TColor BackColor() const { return FBackColor; }

  // ---- handlers named by the layout
  void FormCreate(TObject* Sender);
  void FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  void FormShow(TObject* Sender);
  void FormHide(TObject* Sender);
  void FontColorBClick(TObject* Sender);
  void BackColorBClick(TObject* Sender);
  void RBClick(TObject* Sender);
  void ConditionBClick(TObject* Sender);

private:
  void ShowSwatches();
  TColor FFontColor = 0;
  TColor FBackColor = 0;
};

// The highlight dialog on the text object; true when confirmed. The designer's highlight
// command opens it this way.
bool EditHighlight(TComponent* Owner, TfrxCustomMemoView* MemoView);
