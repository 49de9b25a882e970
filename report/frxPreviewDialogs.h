#pragma once
// The small modal dialogs of the preview: page settings of one report page, the search
// dialog (the preview's Find, the code editor's find), and the report password prompt.
#include "gui/Forms.h"
#include "print/Printers.h"

#include "forms/TfrxPageSettingsForm.h"
#include "forms/TfrxPasswordForm.h"
#include "forms/TfrxSearchDialog.h"

class TfrxReport;
class TfrxReportPage;

// Paper, orientation and margins of EditedPage, shown in the measuring unit the designer is
// set to. OK writes them into the page; ApplyToAllPages tells the caller what else to change.
class TfrxPageSettingsForm : public TfrxPageSettingsFormLayout<TForm> {
  KELM_CLASS(TfrxPageSettingsForm, TfrxPageSettingsFormLayout<TForm>)
public:
  explicit TfrxPageSettingsForm(TComponent* AOwner) : inherited(AOwner) {}

  // Set by the caller before showing.
  TfrxReportPage* EditedPage = nullptr;
  TfrxReport* OwnerReport = nullptr;

  bool ApplyToAllPages() const;
  // 0 centimetres, 1 inches, 2 pixels, 3 characters (the last two show centimetres too).
  int DisplayUnits() const { return FDisplayUnits; }
  Extended ToDisplayUnits(Extended Millimetres) const;
  Extended FromDisplayUnits(Extended Value) const;

  // ---- handlers named by the layout
  void FormShow(TObject* Sender);
  void FormHide(TObject* Sender);
  void SizeCBClick(TObject* Sender);
  void PortraitRBClick(TObject* Sender);
  void WidthEChange(TObject* Sender);

private:
  void DrawPictures();
  TPrinterOrientation CheckedOrientation() const;

  int FDisplayUnits = 0;
  bool FUpdatingControls = false;
  // The orientation the sizes in the boxes belong to: a custom size turns only when this
  // changes.
  TPrinterOrientation FShownOrientation = poPortrait;
};

class TfrxSearchDialog : public TfrxSearchDialogLayout<TForm> {
  KELM_CLASS(TfrxSearchDialog, TfrxSearchDialogLayout<TForm>)
public:
  explicit TfrxSearchDialog(TComponent* AOwner) : inherited(AOwner) {}
  // The text last confirmed in any search dialog; offered the next time.
  static String& LastSearchText();

  void FormCreate(TObject* Sender);
  void FormShow(TObject* Sender);
  void FormHide(TObject* Sender);
};

class TfrxPasswordForm : public TfrxPasswordFormLayout<TForm> {
  KELM_CLASS(TfrxPasswordForm, TfrxPasswordFormLayout<TForm>)
public:
  explicit TfrxPasswordForm(TComponent* AOwner) : inherited(AOwner) {}
  void FormCreate(TObject* Sender);
};

// The password prompt of the report options, through TfrxPasswordForm.
bool AskReportPassword(String& Password);
