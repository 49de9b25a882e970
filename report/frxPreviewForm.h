#pragma once
// The preview window: a tool bar of commands, a TfrxPreview filling the middle and a status
// bar. The report's preview options decide which buttons exist, the window state, the first
// zoom and whether pages may be edited; every caption and hint comes from the text table.
// While the report prepares the window refuses to close: Esc and the cancel button stop the
// preparation instead.
#include "gui/Forms.h"

#include "forms/TfrxPreviewForm.h"

class TfrxCustomExportFilter;
class TfrxPreview;

class TfrxPreviewForm : public TfrxPreviewFormLayout<TForm> {
  KELM_CLASS(TfrxPreviewForm, TfrxPreviewFormLayout<TForm>)
public:
  explicit TfrxPreviewForm(TComponent* AOwner);
  ~TfrxPreviewForm() override;

  TfrxPreview* Preview() const { return FPreview; }
  bool FullScreen() const { return FFullScreen; }
  // Set by a report that shows the window without waiting for it.
  bool FreeOnClose() const { return FFreeOnClose; }
  void SetFreeOnClose(bool Value) { FFreeOnClose = Value; }
  TfrxCustomExportFilter* PDFExport() const { return FPDFExport; }
  TfrxCustomExportFilter* EmailExport() const { return FEmailExport; }

  void ApplyPreviewOptions();
  void UpdateControls();
  void ShowZoomText();
  void ShowStatusHint(const String& Text);
  void SwitchFullScreen();
  void ShowPageStatus(TfrxPreview* Sender, int PageNo);
  // The cancel button's text while preparing ("clCancel") and after it ("clClose").
  void ShowCloseCaption(bool Finished);

  // ---- handlers named by the layout
  void FormCreate(TObject* Sender);
  void FormShow(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void FormCloseQuery(TObject* Sender, bool& CanClose);
  void FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  void FormMouseWheel(TObject* Sender, TShiftState Shift, int WheelDelta, TPoint MousePos, bool& Handled);
  void PrintBClick(TObject* Sender);
  void OpenBClick(TObject* Sender);
  void SaveBClick(TObject* Sender);
  void ExportMIClick(TObject* Sender);
  void PdfBClick(TObject* Sender);
  void EmailBClick(TObject* Sender);
  void FindBClick(TObject* Sender);
  void ZoomWholePageBClick(TObject* Sender);
  void ZoomPageWidthBClick(TObject* Sender);
  void Zoom100BClick(TObject* Sender);
  void Zoom50BClick(TObject* Sender);
  void ZoomCBClick(TObject* Sender);
  void ZoomCBKeyPress(TObject* Sender, Char& Key);
  void FullScreenBtnClick(TObject* Sender);
  void PageSettingsBClick(TObject* Sender);
  void OutlineBClick(TObject* Sender);
  void SelectToolBClick(TObject* Sender);
  void NewPageBClick(TObject* Sender);
  void DelPageBClick(TObject* Sender);
  void DesignerBClick(TObject* Sender);
  void DesignerBMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void Showtemplate1Click(TObject* Sender);
  void FirstBClick(TObject* Sender);
  void PriorBClick(TObject* Sender);
  void NextBClick(TObject* Sender);
  void LastBClick(TObject* Sender);
  void PageEClick(TObject* Sender);
  void PageEKeyPress(TObject* Sender, Char& Key);
  void CancelBClick(TObject* Sender);

protected:
  void WndProc(TMessage& Message) override;

private:
  void BuildExportMenu();
  void BuildRightMenu();
  void RemoveSeparator(TToolButton*& Separator);

  TfrxPreview* FPreview = nullptr;
  bool FFullScreen = false;
  bool FFreeOnClose = false;
  TFormBorderStyle FOldBorderStyle = bsSizeable;
  TWindowState FOldState = wsNormal;
  TfrxCustomExportFilter* FPDFExport = nullptr;
  TfrxCustomExportFilter* FEmailExport = nullptr;
};
