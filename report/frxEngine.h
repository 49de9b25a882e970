#pragma once
// The report engine: turns a report's pages, bands and data sets into prepared pages in the
// report's store. One run wires the bands of every page, runs the dialog pages, then one or two
// passes over the pages; each band is prepared (events, data, stretching), placed at the
// current position and added to the store, with page headers, footers, columns, new pages and
// sub-reports around it.
//
// The work is split by concern: run and wiring (frxEngine.cpp), band output
// (frxEngineOutput.cpp), pages and columns (frxEnginePages.cpp), sub-reports
// (frxEngineSubreports.cpp) and the data-band loop (frxEngineBands.cpp).
#include "report/frxClassBases.h"

#include <memory>
#include <utility>
#include <vector>

class TfrxAggregateList;
class TfrxBand;
class TfrxComponent;
class TfrxDataBand;
class TfrxNullBand;
class TfrxPreviewPages;
class TfrxReportComponent;
class TfrxReportPage;
class TfrxXMLItem;

// A band printed again at the top of each new page or column, at X Left.
struct TfrxHeaderListItem {
  TfrxBand* Band = nullptr;
  Extended Left = 0;
  bool AddedWhileKeeping = false;
};

class TfrxHeaderList {
public:
  // Appends; nil bands are kept as items too.
  void Add(TfrxBand* Band, bool AddedWhileKeeping, Extended Left);
  // The first item of the band goes; nothing when there is none.
  void RemoveBand(TfrxBand* Band);
  void Clear() { FItems.clear(); }
  int Count() const { return static_cast<int>(FItems.size()); }
  TfrxHeaderListItem& Items(int Index) { return FItems.at(static_cast<std::size_t>(Index)); }

private:
  std::vector<TfrxHeaderListItem> FItems;
};

class TfrxEngine : public TfrxCustomEngine {
  KELM_CLASS(TfrxEngine, TfrxCustomEngine)
public:
  explicit TfrxEngine(TfrxReport* AReport);
  ~TfrxEngine() override;

  void FinishPage() override;
  void NewColumn() override;
  void NewPage() override;
  void ShowBand(TfrxBand* Band) override;
  void ShowBandOfClass(TClass BandClass) override;
  Extended FootersHeight() override;
  Extended FreeSpace() override;
  Variant AggregateValue(const String& Name, const String& Expression, TfrxBand* Band, int Flags) override;
  bool BuildReport() override;

  // ---- the store written to
  TfrxPreviewPages* Store() const;

  // ---- run, wiring and the page run
  bool PrepareRun();
  void FinishRun();
  // The bands of the page whose orientation matches: header, footer, group and master/detail
  // links; what cannot be wired goes to the report's errors.
  void WirePageBands(TfrxReportPage* Page, bool Vertical);
  // Which objects each object of the band pushes down when it grows; built once per band.
  void BuildShiftTree(TfrxBand* Band);
  bool RunDialogPages();
  void RunPass();
  void RunAllPages();
  void RunPage(TfrxReportPage* Page);
  void RunPageOnce(TfrxReportPage* Page);
  // Whether a page (its master bands) or a band (its detail bands) has a record to print.
  bool HasDetailData(TfrxComponent* PageOrBand, bool Force);
  // The data-band loop over the page's master bands or the band's detail bands.
  void RunBands(TfrxComponent* PageOrBand);
  // Every text object of the band forgets its last printed value.
  void ResetRepeatedValues(TfrxBand* Band);

  // ---- groups and band columns
  void PrintGroupHeaders(const std::vector<TfrxBand*>& Chain, int From, bool Restart);
  void PrintGroupFooters(const std::vector<TfrxBand*>& Chain, int DownTo, TfrxDataBand* DataBand);
  void DetectGroupChange(TfrxDataBand* DataBand, const std::vector<TfrxBand*>& Chain, Extended RowStartY,
                         int RowStartPos);
  void AdvanceBandColumn(TfrxDataBand* DataBand, int RowStartPos, Extended RowStartY);

  // ---- vertical bands
  void BuildVBandCells(TfrxBand* Host);
  void RunVBands(const std::vector<TfrxBand*>& List);
  void PrintVBand(TfrxBand* Band);
  void OutputVCellSegments(TfrxBand* Host);

  // ---- totals
  TfrxAggregateList* Aggregates() const { return FAggregates.get(); }

  // ---- one band
  void OutputBand(TfrxBand* Band);
  void PrepareBand(TfrxBand* Band);
  void PropagateShift(TfrxReportComponent* Parent, Extended Amount);
  void FinishBand(TfrxBand* Band);
  void SplitBand(TfrxBand* Band);

  // ---- pages and columns
  void BeginReportPage();
  void OpenOutputPage();
  void PrintFooterBand(TfrxBand* Band);
  void PrintColumnFooter();
  void StartNextColumn();
  TfrxBand* FindPageBand(TClass BandClass) const;

  // ---- sub-reports
  void RunSubreports(TfrxBand* Band);
  void RunSubreportsOnParent(TfrxBand* Band);

  // ---- keeping together, reprinted headers, outline
  void BeginKeepBlock(TfrxBand* Band, int Position = 0);
  void EndKeepBlock(TfrxBand* Band);
  void AddReprintHeader(TfrxBand* Band);
  void DropReprintHeader(TfrxBand* Band);
  void AddReprintVHeader(TfrxBand* Band);
  void DropReprintVHeader(TfrxBand* Band);
  void AddBandOutlineItem(TfrxBand* Band);
  void OutlineUpForBand(TfrxBand* Band);
  void AddPageOutlineItem();
  void NotifyRowObjects(TfrxBand* Band);

  // ---- state
  TfrxHeaderList HeaderList;
  std::vector<TfrxBand*> VHeaderList;
  std::vector<int> VPageBreaks;
  TfrxBand* VCellHost = nullptr;
  TfrxReportPage* RunningPage = nullptr;
  bool Keeping = false;
  TfrxBand* KeepBand = nullptr;
  int KeepPosition = 0;
  TfrxXMLItem* KeepOutlineItem = nullptr;
  bool KeepingFooter = false;
  bool KeepSuspended = false;
  bool PrintingHeaders = false;
  bool PrintingSummary = false;
  bool SkipDataHeaders = false;
  TfrxBand* NewPageBand = nullptr;
  bool IsFirstPage = false;
  bool IsLastPage = false;
  bool FirstPageOfPass = false;
  Extended ColumnOriginX = 0;
  TfrxNullBand* CaptureBand = nullptr;
  TfrxBand* AggregateBand = nullptr;

private:
  std::unique_ptr<TfrxAggregateList> FAggregates;
  void AddError(const String& Key, TfrxBand* Band);
  // A band with its child chain placed at CurX/CurY without a free-space test.
  void PrintHeaderChainAt(TfrxBand* Band);
  // Pages run so far in this run, for the progress events.
  void PageAdded();
  // The bands of the running page found by class, asked for several times per band output;
  // found again when the running page or its object count changes.
  struct TPageBandCache {
    TfrxReportPage* Page = nullptr;
    int ObjectCount = -1;
    std::vector<std::pair<TClass, TfrxBand*>> Bands;
  };
  mutable TPageBandCache FPageBands;
  bool FDataSetsInUse = false;
};
