#pragma once
// One print run of the grid printer, private to the grid library.
#include "grid/PrnDbgeh.h"
#include "grid/PrViewEh.h"
#include "print/Metafile.h"

#include <memory>
#include <vector>

class TPrintRun {
public:
  TPrintRun(TPrintDBGridEh* Owner, TVirtualPrinter* Printer);
  ~TPrintRun();
  void Execute();
  // The grid or the printer component went away: the run stops at its next cell.
  void GridGone() { FGridGone = true; }
  void OwnerGone() { FOwnerGone = true; }
  // Called when Component is freed while the run lasts.
  void ComponentGone(TComponent* Component);

private:
  // One printed row: a data row by its bookmark or a footer row by its number.
  struct TRowRef {
    String Bookmark;
    int Footer = -1;
  };
  // ---- run steps
  void Prepare();
  void Finish();
  void CollectColumns();
  void CollectRows();
  void ComputeWidths();
  void OptimalWidths();
  void ApplyFitMapping();
  void PrepareCanvas();
  void TakeMacroValues();
  void MeasureFrame();
  void CountPages();
  void LayOut();
  // ---- pages
  void NewPage();
  void CheckAlive();
  int ColontitleHeight(TPageColontitle* Part);
  void DrawColontitle(TPageColontitle* Part, bool Header);
  // ---- the grid block
  void SelectFont(TFont* Font);
  int TextHeight(TFont* Font, const String& Text, int Width, bool Wrap);
  int MeasureRow(const TRowRef& Row);
  void AddTotals();
  void DrawBand(const std::vector<int>& Heights, std::size_t First, int Group);
  void DrawPrintTitle(int FirstCol, int LastCol, int Top);
  void DrawTitleRow(int FirstCol, int LastCol, int Top);
  String TitleCaption(TColumnEh* Column) const;
  void DrawDataCell(int Col, const TRect& R, bool FirstOnPage);
  void DrawCellImage(TCustomImageList* Images, int Index, const TRect& R);
  void DrawFooterCell(int Col, int FooterRow, const TRect& R);
  void DrawCellText(const String& Text, const TRect& Cell, TAlignment Align, TTextLayout Layout, bool Ellipsis,
                    bool Wrap, TColor Background);
  void AddLine(int X1, int Y1, int X2, int Y2);
  void FlushLines();
  String FooterValue(int Col, int FooterRow);
  void GotoRow(const TRowRef& Row);

  TPrintDBGridEh* FOwner;
  TVirtualPrinter* FPrinter;
  TCustomDBGridEh* FGrid;
  TDataSet* FDataSet;
  TCanvas* FCanvas = nullptr;
  std::unique_ptr<TMetafile> FScratch;
  std::unique_ptr<TMetafileCanvas> FScratchCanvas;
  TPrintGeometry FGeo;
  std::vector<TColumnEh*> FColumns;
  std::vector<int> FWidths, FGroups;
  std::vector<TRowRef> FRows;
  std::vector<Currency> FTotals;
  std::vector<String> FLastTexts;
  std::vector<TPoint> FPoints;
  std::vector<DWORD> FCounts;
  TPrintMacroValues FMacros;
  std::unique_ptr<TFont> FCellFont;
  std::unique_ptr<TColCellParamsEh> FParams;
  String FBookmark;
  int FPrintedRows = 0;
  int FAreaTop = 0, FAreaBottom = 0, FRowHeight = 0, FTitleHeight = 0, FPrintTitleHeight = 0;
  int FMapTotal = 0, FMapPage = 0;
  bool FWrapRows = false, FMapped = false, FCounting = false, FFirstPage = true, FStarted = false;
  bool FGridGone = false, FOwnerGone = false, FDataSetGone = false, FControlsDisabled = false, FGridWasEnabled = true;
};
