#pragma once
// The page dialog: paper, orientation, margins, trays, columns, duplex and the other options
// of the designer's current page, lengths shown in the designer's units. OK checks every
// number first (a bad one shows the conversion error, takes the focus and keeps the dialog
// open, nothing written); then the page and the page of every subreport on it take the values.
#include "forms/TfrxPageEditorForm.h"
#include "gui/ComCtrlsBasic.h"
#include "gui/Forms.h"
#include "report/designer/frxDesgnUnits.h"

#include <vector>

class TEdit;
class TfrxReportPage;

class TfrxPageEditorForm : public TfrxPageEditorFormLayout<TForm> {
  KELM_CLASS(TfrxPageEditorForm, TfrxPageEditorFormLayout<TForm>)
public:
  explicit TfrxPageEditorForm(TComponent* AOwner) : inherited(AOwner) {}

  // Set by the opener before showing: the page and the units it is shown in.
  TfrxReportPage* Page = nullptr;
  TfrxRulerUnits Units = ruCM;

  // ---- handlers named by the layout
  void FormCreate(TObject* Sender);
  void FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  void FormShow(TObject* Sender);
  void FormHide(TObject* Sender);
  void SizeCBClick(TObject* Sender);
  void PortraitRBClick(TObject* Sender);
  void WidthEChange(TObject* Sender);
  void UpDown1Click(TObject* Sender, TUDBtnType Button);
  void OKBClick(TObject* Sender);

  // Lays the columns out afresh for the count the up-down shows (one for 0).
  void ColumnsChanged();

private:
  // The values OK checked, in millimetres.
  struct TChecked {
    Extended Width = 0, Height = 0, Left = 0, Top = 0, Right = 0, Bottom = 0, ColumnWidth = 0;
    std::vector<Extended> Positions;
  };
  String Shown(Extended Millimetres, bool Horizontal) const;
  Extended Read(TEdit* Edit, bool Horizontal) const;
  void ApplyTo(TfrxReportPage* Target) const;

  bool FUpdating = false;
  TChecked FChecked;
};

// The page dialog on the page; true when confirmed.
bool EditPage(TComponent* Owner, TfrxReportPage* Page, TfrxRulerUnits Units);
