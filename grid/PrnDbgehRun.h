#pragma once
// One print run of the grid printer, private to the grid library.
#include "grid/PrnDbgeh.h"
#include "grid/PrViewEh.h"
#include "print/Metafile.h"

#include <map>
#include <memory>
#include <vector>

class TCustomRichEdit;

class TPrintRun {
public:
  // The side of a printed check box at screen resolution.
  static constexpr int CheckBoxGlyphSize = 13;

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
  // Rich text from the current offset on, breaking pages as it needs; leaves the offset below
  // its last piece.
  void PrintRichText(TRichEditStrings* Text);
  int PrintClippedLine(TCustomRichEdit* Edit, const TRect& Area, int First, int& Bottom);
  void BreakPage();
  // ---- pages
  void NewPage();
  void CheckAlive();
  int ColontitleHeight(TPageColontitle* Part);
  void DrawColontitle(TPageColontitle* Part, bool Header);
  // ---- the grid block
  void SelectFont(TFont* Font);
  int TextHeight(TFont* Font, const String& Text, int Width, bool Wrap);
  int MeasureRow(const TRowRef& Row);
  // The height of printed row Index, measured once per run.
  int RowHeight(std::size_t Index);
  int ImageBoxWidth(TCustomImageList* Images) const;
  TColCellParamsEh* CellParams(int Col);
  void FillCell(const TRect& Cell, TColor Background);
  void AddTotals();
  void DrawBand(const std::vector<int>& Heights, std::size_t First, int Group, int Top);
  void DrawPrintTitle(int FirstCol, int LastCol, int Top);
  void DrawTitleRow(int FirstCol, int LastCol, int Top);
  // ---- multi-level titles
  void BuildTitleTree();
  int MeasureTitleNode(THeadTreeNode* Node);
  void DrawMultiTitle(int FirstCol, int LastCol, int Top);
  void DrawTitleNode(THeadTreeNode* Node, int FirstCol, int LastCol, int Top);
  bool TitleImageShown(TColumnTitleEh* Title) const;
  // Drawing widths: the grid widths capped at the page width.
  int DrawWidth(int Col) const;
  void DrawDataCell(int Col, const TRect& R, bool FirstOnPage);
  // The image scaled to the printer, aligned in R and centred vertically, clipped to R.
  void DrawCellImage(TCustomImageList* Images, int Index, const TRect& R, TAlignment Align = taCenter);
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
  std::vector<int> FRowHeights;
  std::vector<Currency> FTotals;
  std::vector<String> FLastTexts;
  // The title tree with the printed widths and heights; the leaf of each grid column.
  std::unique_ptr<THeadTreeNode> FTitleTree;
  std::vector<THeadTreeNode*> FLeaves;
  // Per node: the first and last printed column below it.
  std::map<const THeadTreeNode*, std::pair<int, int>> FNodeColumns;
  std::vector<TPoint> FPoints;
  std::vector<DWORD> FCounts;
  TPrintMacroValues FMacros;
  std::unique_ptr<TFont> FCellFont;
  std::unique_ptr<TColCellParamsEh> FParams;
  String FBookmark;
  int FPrintedRows = 0;
  // How far the rows area starts below its top on the current page (rich text above).
  int FOffset = 0;
  int FAreaTop = 0, FAreaBottom = 0, FRowHeight = 0, FTitleHeight = 0, FPrintTitleHeight = 0;
  int FMapTotal = 0, FMapPage = 0;
  bool FWrapRows = false, FMapped = false, FCounting = false, FFirstPage = true, FStarted = false;
  bool FGridGone = false, FOwnerGone = false, FDataSetGone = false, FControlsDisabled = false, FGridWasEnabled = true;
};
