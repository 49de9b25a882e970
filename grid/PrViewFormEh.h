#pragma once
// The print preview window: a tool bar (print, printer setup, zoom, previous and next page,
// stop, close), the preview box and a status bar with the page numbers. One exists per
// process; closing hides it, and every later preview reuses it.
#include "forms/TPreviewFormEh.h"
#include "grid/PrViewEh.h"
#include "gui/Forms.h"

// The looks of the tool bar, switched by dragging the splitter under it.
KELM_ENUM(TPreviewBarLook, blCaptions, blImages, blImagesAndCaptions)

class TPreviewFormEh : public TPreviewFormEhLayout<TForm> {
  KELM_CLASS(TPreviewFormEh, TPreviewFormEhLayout<TForm>)
public:
  explicit TPreviewFormEh(TComponent* AOwner) : inherited(AOwner) {}
  ~TPreviewFormEh() override;

  static const char* const PageText;  // "第 %d 页，共 %d 页"

  TPreviewBarLook BarLook() const { return FLook; }
  void SetBarLook(TPreviewBarLook Look);
  // The look a tool bar of NewSize pixels asks for, from the current one.
  TPreviewBarLook LookForSize(int NewSize) const;
  bool CloseRequested() const { return FCloseRequested; }

  // ---- handlers named by the layout
  void FormCreate(TObject* Sender);
  void FormCloseQuery(TObject* Sender, bool& CanClose);
  void FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  void tbtPrintClick(TObject* Sender);
  void tbtPrinterSetupDialogClick(TObject* Sender);
  void tbtScaleClick(TObject* Sender);
  void tbtPrevPageClick(TObject* Sender);
  void tbtNextPageClick(TObject* Sender);
  void tbStopClick(TObject* Sender);
  void tbCloseClick(TObject* Sender);
  void PageButtonMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void PageButtonMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void Timer1Timer(TObject* Sender);
  void mniScaleClick(TObject* Sender);
  void SplitterCanResize(TObject* Sender, int& NewSize, bool& Accept);
  void PreviewEh1OpenPreviewer(TObject* Sender);
  void PreviewEh1PrinterPreviewChanged(TObject* Sender);

private:
  // A held page button's click was repeated: its release click is not one more.
  bool IgnoresReleaseClick(TObject* Sender);
  void StopRepeat();
  TMenuItem* ScaleItem(int Mode) const;

  TPreviewBarLook FLook = blCaptions;
  bool FCloseRequested = false;
  TToolButton* FRepeatButton = nullptr;
};

// The process's previewer; the first call creates the preview window (owned by the
// application) and takes the previewer of its preview box.
TPrinterPreview* GetSharedPrinterPreview();
// The preview window, nullptr before the first preview.
TPreviewFormEh* SharedPreviewForm();
