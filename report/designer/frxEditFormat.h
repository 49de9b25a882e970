#pragma once
// The display-format dialog: kind, format string and decimal separator of a TfrxFormat, with
// a catalogue of sample formats per kind. The opener copies a format into Format() before
// showing and out of it after OK.
#include "forms/TfrxFormatEditorForm.h"
#include "gui/Forms.h"

#include <memory>

class TfrxFormat;

class TfrxFormatEditorForm : public TfrxFormatEditorFormLayout<TForm> {
  KELM_CLASS(TfrxFormatEditorForm, TfrxFormatEditorFormLayout<TForm>)
public:
  explicit TfrxFormatEditorForm(TComponent* AOwner);
  ~TfrxFormatEditorForm() override;
  TfrxFormat* Format() const { return FFormat.get(); }

  // ---- handlers named by the layout
  void FormCreate(TObject* Sender);
  void FormShow(TObject* Sender);
  void FormHide(TObject* Sender);
  void FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  void CategoryLBClick(TObject* Sender);
  void FormatLBClick(TObject* Sender);
  void FormatLBDrawItem(TWinControl* Control, int Index, const TRect& ARect, TOwnerDrawState State);

private:
  std::unique_ptr<TfrxFormat> FFormat;
};

// The dialog on Format; true with Format changed when confirmed.
bool EditDisplayFormat(TComponent* Owner, TfrxFormat* Format);
