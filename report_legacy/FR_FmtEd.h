#pragma once
// The display-format dialog of text objects: a category, a format of it, decimals and a
// decimal separator for numbers, and a custom format text. Format is laid out as FormatCode:
// separator in bits 0-7, decimals 8-15, format index 16-23, category 24-27.
#include "forms/TfrFmtForm.h"
#include "gui/Forms.h"

#include <vector>

class TfrFmtForm : public TfrFmtFormLayout<TForm> {
  KELM_CLASS(TfrFmtForm, TfrFmtFormLayout<TForm>)
public:
  explicit TfrFmtForm(TComponent* AOwner) : inherited(AOwner) {}

  int Format = 0;
  String FormatText;

  // Number fields only for numbers, the format text only for the custom entry.
  void UpdateControls();

  // ---- handlers named by the layout
  void FormCreate(TObject* Sender);
  void FormActivate(TObject* Sender);
  void FormCloseQuery(TObject* Sender, bool& CanClose);
  void CatLBClick(TObject* Sender);
  void TypeLBClick(TObject* Sender);
  void SplEditEnter(TObject* Sender);

private:
  void FillTypes(int Category);
  int Category() const;
  int FormatIndex() const;
  std::vector<int> FTypeIndexes;  // the format index of each entry of TypeLB
};
