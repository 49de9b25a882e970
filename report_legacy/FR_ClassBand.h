#pragma once
// The run-time band of the older engine: one per band view of a page while a report runs,
// chained by kind. Declared here with what values and aggregates read of it; the band engine
// links and prints bands.
//
// Aggregate slots live in AggregateValues of a data band: key text to value. A key is a row
// of fields each followed by the character 0x01 — the name of the band that shows the value,
// the function code as one character (11 SUM, 12 MIN, 13 MAX, 14 AVG, 15 COUNT), the
// expression and the include-invisible flag — with a column field in front for per-column
// slots of cross footers ("0" for the template).
#include "report_legacy/FR_ClassObjects.h"

#include <memory>
#include <vector>

class TfrVariables;
class TfrDataset;
class TStringList;
class TStrings;
class TfrFunctionSplitter;

namespace fragg {
constexpr int Sum = 11, Min = 12, Max = 13, Avg = 14, Count = 15;
constexpr char Sep = '\x01';
}  // namespace fragg

class TfrBand : public TObject {
public:
  TfrBand(int AKind, TfrPage* APage);
  ~TfrBand() override;  // frees the NextOfKind chain behind it

  // ---- the band engine
  // Binds Source from a data set name (a leading digit: that many counted records), or for a
  // group header GroupExpr from its condition.
  void BindSource(const String& Text);
  void ReleaseSources();
  // Prints the band at the page's position; True when it must be resumed later.
  bool Show();
  void Output();
  // The height the stretchable objects need (at least BandHeight).
  int Measure();
  int NeedHeight();
  // Whether Height more pixels from Top pass the page's bottom; unless Probe, a new column
  // or page then starts.
  bool CheckBreak(int Top, int Height, bool Probe = false);
  bool EmitObjects();
  void EmitObject(TfrView* View);
  // Tells the page's objects on the notification list (SpareHookA) of an emitted text.
  void NotifyAddIns();
  // Prints a band higher than the room left over as many pages as it takes.
  void EmitSplit();
  bool Exists() const { return BandObject != nullptr || (Kind == btNone && !Items.empty()); }

  // The data band takes in the current record: every slot accumulates its expression.
  void Accumulate();
  // The aggregate half of the reset after printing: the slots this band shows go back to
  // unset and the source's record count to 0.
  void ResetValues();
  void SetAggregate(const String& Key, const Variant& Value);
  Variant GetAggregate(const String& Key) const;

  TfrPage* OwnerPage;
  TfrBandView* BandObject = nullptr;
  Word BandFlags = 0;
  TfrBand* NextOfKind = nullptr;  // owned
  TfrBand* PrevOfKind = nullptr;
  TfrBand* ChildLink = nullptr;
  TfrBand* AggregateSource = nullptr;
  TfrBand* OwnHeader = nullptr;
  TfrBand* OwnFooter = nullptr;
  TfrBand* OwnerData = nullptr;
  TfrBand* KindLast = nullptr;
  int LocalLine = 1, GlobalLine = 1;
  std::unique_ptr<TfrVariables> AggregateValues;
  // Records accumulated per slot since its reset (the divisor of AVG), by slot key.
  std::unique_ptr<TfrVariables> SlotCounts;
  int AggregateCount = 0;
  bool ResetSuspended = false;
  int BandLeft = 0, BandTop = 0, BandWidth = 0, BandHeight = 0;
  int Kind;
  String BandName;
  bool Shown = true;
  bool HasCross = false;  // the band holds cross-tab cells
  std::vector<TfrView*> Items;  // not owned
  std::unique_ptr<TStringList> BandMemo, BandScript;
  TfrDataset* Source = nullptr;
  TfrDataset* CrossSource = nullptr;
  int PendingNewPages = 0, PendingNewColumns = 0;
  bool BreakRequested = false;

  TfrBand* GroupNext = nullptr;
  TfrBand* GroupPrev = nullptr;
  TfrBand* GroupFirst = nullptr;
  TfrBand* GroupLast = nullptr;
  Variant GroupValue;
  String GroupExpr;  // postfix form of a group header's condition
  bool OwnsSource = false, OwnsCrossSource = false;
  int NeededHeight = -1;
  int SplitHeight = 0;
  int ColumnIndex = 1;
  int ColumnOriginX = 0;
  bool SkipScriptOnce = false;
  bool PrintIfSubsetEmpty = false, FormNewPage = false, Stretched = false, Breaked = false,
       PrintChildIfInvisible = false;
  // Sub-reports of the band: the first one's index in Items, the lowest point they reached,
  // and which are finished.
  int SubReportIndex = 0;
  int SubReportMaxY = 0;
  bool SubReportsDone = true;
  std::vector<bool> SubReportDone;
  // Runs (or resumes) the band's sub-reports; false when they wait on a sub-report page.
  bool RunSubReports(bool Resume);
  // Prints the cross-tab cells of this row band: header, one column per record, footer.
  void EmitCross();
  int CrossColumnsMax = 0;

private:
  int MeasureColumns();
  void EmitCells(TfrBand* Cross, int X);
  // Moves a column that would pass the right margin to the next prepared page.
  void ColumnOverflow(int& X, int Width, int RowPage);
public:

private:
  bool OutputChain();
  void SwapHeights(std::vector<int>& Saved, bool Restore);
};

// SUM, MIN, MAX, AVG or COUNT in an expression: while aggregate calls are collected it
// registers a slot (and gives "0"); while the report runs it gives the slot's value. For
// COUNT p1 is the band name and p2 the flag; for the others p1 is the expression.
Variant AggregateFunction(int Code, const String& p1, const String& p2, const String& p3);

// Finds the calls of AVG, COUNT, MAX, MIN and SUM in a band's texts and scripts.
class TAggregateFunctionsSplitter : public TObject {
public:
  explicit TAggregateFunctionsSplitter(TStrings* Found);
  ~TAggregateFunctionsSplitter() override;
  // Every bracketed expression of the lines.
  void SplitMemo(TStrings* Lines);
  // The expressions of a script.
  void SplitScript(TStrings* Lines);

private:
  std::unique_ptr<TStringList> FMatch;
  TStrings* FFound;
  std::unique_ptr<TfrFunctionSplitter> FSplitter;
};

// The band whose line counters "LINE#" and "LINETHROUGH#" mean: the band itself when it has a
// data set, else the first band of its kind.
TfrBand* LineBand(TfrBand* Band);
