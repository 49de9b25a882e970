#pragma once
// The style dialog: the report's styles (name, colour, font, frame) edited on a private copy
// that OK writes back; a sample shows the selected style on a text. Styles are added with the
// next free "Style"n name (renamed at once), renamed in place ("Duplicate name" refused),
// deleted, and loaded from or saved to style files.
#include "forms/TfrxStyleEditorForm.h"
#include "gui/Forms.h"

#include <memory>

class TfrxCustomDesigner;
class TfrxReport;
class TfrxStyleItem;
class TfrxStyles;
class TTreeNode;

class TfrxStyleEditorForm : public TfrxStyleEditorFormLayout<TForm> {
  KELM_CLASS(TfrxStyleEditorForm, TfrxStyleEditorFormLayout<TForm>)
public:
  explicit TfrxStyleEditorForm(TComponent* AOwner);
  ~TfrxStyleEditorForm() override;

  // The edited copy.
  TfrxStyles* Styles() const { return FStyles.get(); }
  // The style of the selected node; nullptr for none.
  TfrxStyleItem* Selected() const;

  // ---- handlers named by the layout
  void FormCreate(TObject* Sender);
  void FormShow(TObject* Sender);
  void FormHide(TObject* Sender);
  void FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  void AddBClick(TObject* Sender);
  void DeleteBClick(TObject* Sender);
  void EditBClick(TObject* Sender);
  void LoadBClick(TObject* Sender);
  void SaveBClick(TObject* Sender);
  void OkBClick(TObject* Sender);
  void CancelBClick(TObject* Sender);
  // By tag: 2 colour picker, 20 its choice, 3 font, 4 frame.
  void BClick(TObject* Sender);
  void StylesTVChange(TObject* Sender, TTreeNode* Node);
  void StylesTVEdited(TObject* Sender, TTreeNode* Node, String& S);
  void StylesTVKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  void PaintBoxPaint(TObject* Sender);

private:
  // One node per style; selects the wanted index, clamped to the last.
  void FillTree(int Index);
  void UpdateControls();

  TfrxReport* FReport = nullptr;
  std::unique_ptr<TfrxStyles> FStyles;
};

// The styles command: the dialog on the designer's report; true when OK wrote the styles back
// (the designer then marks the report modified and applies them again).
bool EditReportStyles(TfrxCustomDesigner* Designer);
