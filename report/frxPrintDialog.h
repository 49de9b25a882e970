#pragma once
// The print dialog of prepared reports: printer (and its driver settings), print to file,
// pages, odd/even, reverse order, copies and collating. The printer chosen and its output
// file go straight into ReportPrinters().
#include "report/frxClass.h"

// What the dialog is shown with and gives back. PageNumbers: '' for all pages.
struct TfrxPrintSettings {
  int Copies = 1;
  bool Collate = true;
  String PageNumbers;
  TfrxPrintPages PrintPages = ppAll;
  bool Reverse = false;
};

// Shows the dialog modally; false when cancelled (the printer selected before is selected
// again). CurPreviewPage is the page "current page" stands for; PageCount bounds the pages.
bool ExecuteReportPrintDialog(TfrxPrintSettings& Settings, int CurPreviewPage, int PageCount);

#include "forms/TfrxPrintDialog.h"

// The window itself. The caller sets the controls, shows it and reads them back.
class TfrxPrintDialog : public TfrxPrintDialogLayout<TForm> {
  KELM_CLASS(TfrxPrintDialog, TfrxPrintDialogLayout<TForm>)
public:
  explicit TfrxPrintDialog(TComponent* AOwner) : inherited(AOwner) {}
  // The pages a page text is measured against.
  int PageCount = 0;

  // ---- handlers named by the layout
  void FormCreate(TObject* Sender);
  void FormShow(TObject* Sender);
  void FormHide(TObject* Sender);
  void FormCloseQuery(TObject* Sender, bool& CanClose);
  void PrintersCBClick(TObject* Sender);
  void PrintersCBDrawItem(TWinControl* Control, int Index, const TRect& Rect, TOwnerDrawState State);
  void PropButtonClick(TObject* Sender);
  void PageNumbersEEnter(TObject* Sender);
  void PageNumbersRBClick(TObject* Sender);
  void CollateLClick(TObject* Sender);
  void CollateCBClick(TObject* Sender);
  void CopiesPBPaint(TObject* Sender);

private:
  void DrawPictures();
  int FOldIndex = 0;
};
