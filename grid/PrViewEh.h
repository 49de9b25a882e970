#pragma once
// The grid printer's printers: TVirtualPrinter passes every operation to the process-wide
// printer; TPrinterPreview records each page as a metafile and shows the pages in a preview
// box (TPreviewBox, with its page panel TDrawPanel) on the one preview window of the process.
// Paper output is made from the preview, page by page from the recorded metafiles.
#include "core/Classes.h"
#include "core/Component.h"
#include "gui/Controls.h"
#include "gui/ExtCtrls.h"
#include "gui/Forms.h"
#include "grid/GridUtilsEh.h"
#include "print/Metafile.h"
#include "print/Printers.h"

#include <memory>
#include <vector>

KELM_ENUM(TPrinterCapability, pcCopies, pcOrientation, pcCollation)
using TPrinterCapabilities = TSet<TPrinterCapability>;

// ================================================================ TVirtualPrinter

// The printer interface of the grid printer. This class passes every operation to Target(),
// the process's printer unless a descendant has one of its own.
class TVirtualPrinter : public TObject {
public:
  TVirtualPrinter() = default;
  ~TVirtualPrinter() override = default;

  virtual bool GetAborted();
  virtual TCanvas* GetCanvas();
  virtual TPrinterCapabilities GetCapabilities();
  virtual TStrings* GetFonts();
  virtual HDC GetHandle();
  virtual int GetCopies();
  virtual TPrinterOrientation GetOrientation();
  virtual int GetPageHeight();  // printable, device pixels
  virtual int GetPageWidth();
  virtual int GetPageNumber();
  virtual bool GetPrinting();
  virtual String GetTitle();
  // Printable size plus twice the physical offset.
  virtual int GetFullPageWidth();
  virtual int GetFullPageHeight();
  virtual int GetPrinterIndex();
  virtual TStrings* GetPrinters();
  virtual int GetPixelsPerInchX();
  virtual int GetPixelsPerInchY();
  virtual void SetPrinterIndex(int Value);
  virtual void SetCopies(int Value);
  virtual void SetOrientation(TPrinterOrientation Value);
  virtual void SetTitle(const String& Value);
  virtual void AbortDocument();
  virtual void StartDocument();
  virtual void FinishDocument();
  virtual void StartNewPage();
  virtual void GetPrinterDevice(String& Device, String& Driver, String& Port, DEVMODE*& Mode);
  virtual void SetPrinterDevice(const String& Device, const String& Driver, const String& Port, const DEVMODE* Mode);

  // The printable area's size on the sheet in millimetres.
  virtual int GetPhysicalWidthMM();
  virtual int GetPhysicalHeightMM();
  // The unprintable margin at the left and at the top, device pixels.
  virtual int GetPhysicalOffsetX();
  virtual int GetPhysicalOffsetY();

protected:
  virtual TPrinter* Target() { return Printer(); }
};

// The grid library's instance, passing everything to the process's printer.
TVirtualPrinter* VirtualPrinter();

// ================================================================ TPrinterPreview

class TPreviewBox;

// Records a document's pages as metafiles for its preview box. Printer queries and settings
// act on the previewer's own printer; with no printer at all a fixed page stands in.
class TPrinterPreview : public TVirtualPrinter {
public:
  explicit TPrinterPreview(TPreviewBox* Box);
  ~TPrinterPreview() override;

  // The page when the printer list is empty: 600 dpi, 198 x 285 mm.
  static constexpr int NoPrinterWidth = 4676, NoPrinterHeight = 6744;
  static constexpr int NoPrinterOffsetX = 130, NoPrinterOffsetY = 150;
  static constexpr int NoPrinterDpi = 600;
  static constexpr int NoPrinterWidthMM = 198, NoPrinterHeightMM = 285;

  bool GetAborted() override { return FAborted; }
  TCanvas* GetCanvas() override;
  int GetPageHeight() override;
  int GetPageWidth() override;
  int GetPageNumber() override { return FPageNumber; }
  bool GetPrinting() override { return FPrinting; }
  int GetFullPageWidth() override;
  int GetFullPageHeight() override;
  int GetPixelsPerInchX() override;
  int GetPixelsPerInchY() override;
  int GetPhysicalWidthMM() override;
  int GetPhysicalHeightMM() override;
  int GetPhysicalOffsetX() override;
  int GetPhysicalOffsetY() override;
  // Only sets the aborted flag: the grid printer checks it as it goes.
  void AbortDocument() override { FAborted = true; }
  // EPrinter "Printing in progress" during a document: its pages are being drawn on.
  void StartDocument() override;
  void FinishDocument() override;
  void StartNewPage() override;

  TPrinter* OwnPrinter() const { return FPrinter.get(); }
  bool HasPrinters();
  int PageCount() const { return static_cast<int>(FPages.size()); }
  TMetafile* Page(int Index) const;  // 1-based
  // Draws page N (1-based) onto Canvas at 0,0 in its logical units.
  void DrawPage(int N, TCanvas* Canvas);
  TPreviewBox* Box() const { return FBox; }

  // Handed to the box when the document ends, then cleared here.
  void SetSetupHandler(const TNotifyEvent& Handler) { FSetupHandler = Handler; }
  void SetSetupChangedHandler(const TNotifyEvent& Handler) { FSetupChangedHandler = Handler; }
  void SetPrintSource(TComponent* Source) { FPrintSource = Source; }
  TComponent* PendingPrintSource() const { return FPrintSource; }

protected:
  TPrinter* Target() override { return FPrinter.get(); }

private:
  void OpenCanvas();
  void CloseCanvas();
  int MinDpi();

  bool FAborted = false, FPrinting = false;
  std::vector<std::unique_ptr<TMetafile>> FPages;
  std::unique_ptr<TMetafileCanvas> FCanvas;
  int FPageNumber = -1;
  std::unique_ptr<TPrinter> FPrinter;
  TPreviewBox* FBox;
  TNotifyEvent FSetupHandler, FSetupChangedHandler;
  TComponent* FPrintSource = nullptr;
};

// ================================================================ TDrawPanel

// The cursors of the page panel, registered in Screen's table at the first free ids on first
// use: "Cannot load cursor resource" for a missing one, "Too many user-defined cursors" when
// no id up to 32767 is free.
TCursor MagnifierCursor();
TCursor HandCursor();

// The sheet of paper in the preview box: paints the current page and zooms or drags the view.
class TDrawPanel : public TPanel {
  KELM_CLASS(TDrawPanel, TPanel)
public:
  explicit TDrawPanel(TComponent* AOwner);
  TPreviewBox* Box() const;
  bool Dragged() const { return FDragged; }
  void Dispatch(TMessage& Message) override;

protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
  void EndDrag();
  bool FDown = false, FDragged = false;
  TPoint FDownScreen;       // where the button went down, screen coordinates
  TPoint FDownScroll;       // the scroll positions then
};

// ================================================================ TPreviewBox

// View modes: fixed zooms, then page width and whole page.
enum : int { pvm500, pvm200, pvm150, pvm100, pvm75, pvm50, pvm25, pvm10, pvmPageWidth, pvmWholePage };

class TPreviewBox : public TScrollBox {
  KELM_CLASS(TPreviewBox, TScrollBox)
public:
  explicit TPreviewBox(TComponent* AOwner);
  ~TPreviewBox() override;

  int PageCount() const { return FPageCount; }
  void SetPageCount(int Value) { FPageCount = Value; }
  int PageIndex() const { return FPageIndex; }
  void SetPageIndex(int Value);
  int ViewMode() const { return FViewMode; }
  void SetViewMode(int Value);
  int ZoomPercent() const { return FZoomPercent; }
  TPrinterPreview* Printer() const { return FPrinter.get(); }
  TDrawPanel* PagePanel() const { return FPagePanel; }
  TPanel* ShadowPanel() const { return FShadowPanel; }
  TComponent* PrintSource() const { return FPrintSource; }
  void SetPrintSource(TComponent* Value);
  const TNotifyEvent& SetupHandler() const { return FSetupHandler; }
  void SetSetupHandler(const TNotifyEvent& v) { FSetupHandler = v; }
  const TNotifyEvent& SetupChangedHandler() const { return FSetupChangedHandler; }
  void SetSetupChangedHandler(const TNotifyEvent& v) { FSetupChangedHandler = v; }

  // Prints the recorded pages through the print dialog on the previewer's printer.
  void PrintPages();
  // The setup handler, else the platform's printer setup dialog.
  void RunPrinterSetup();
  void UpdateLayout();
  void PreviewChanged();
  void OpenPreviewer();

  // Published events.
  TNotifyEvent OnOpenPreviewer;
  TNotifyEvent OnPrinterPreviewChanged;

  void Dispatch(TMessage& Message) override;
  // A click on the page at X, Y of the page panel: whole page zooms to 150 % around it, any
  // other mode goes back to whole page.
  void PageClick(int X, int Y);

protected:
  void KeyDown(Word& Key, TShiftState Shift) override;
  bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  // The page's size on the screen in a fixed zoom of Percent.
  TSize ZoomedSize(int Percent);
  void LayoutFixed(int Percent);
  void LayoutPageWidth();
  void LayoutWholePage();
  void PlacePage(int Left, int Top, int W, int H);
  void Resized();
  // The printer made the process's printer while Action runs.
  template <class F> void WithOwnPrinter(F&& Action);

  int FPageCount = 0, FPageIndex = 1, FViewMode = pvmWholePage, FZoomPercent = 100;
  TNotifyEvent FSetupHandler, FSetupChangedHandler;
  TComponent* FPrintSource = nullptr;
  std::unique_ptr<TPrinterPreview> FPrinter;
  TDrawPanel* FPagePanel = nullptr;
  TPanel* FShadowPanel = nullptr;
};

