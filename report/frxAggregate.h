#pragma once
// Totals of printed rows: the SUM, AVG, MIN, MAX and COUNT calls found in the footer texts of a
// report page each get an accumulator before the run; every printed row of the data band a call
// refers to adds the value of its expression, the band that shows the call reads it, and
// printing that band starts it again.
#include "core/System.h"
#include "core/Variant.h"

#include <memory>
#include <vector>

class TfrxBand;
class TfrxComponent;
class TfrxCustomMemoView;
class TfrxDataBand;
class TfrxDataSet;
class TfrxReport;
class TfrxReportPage;

// One accumulator: one call in one text object.
class TfrxAggregateItem {
public:
  // 0 SUM, 1 AVG, 2 MIN, 3 MAX, 4 COUNT.
  int AggFunction = 0;
  TfrxDataBand* DataBand = nullptr;
  bool CountInvisible = false;
  bool RunningTotal = false;
  String Expression;
  bool InPageFooter = false;
  // Per-column values and counts; empty until the first per-column value arrives, then grown
  // to the highest column asked for.
  std::vector<Variant> ColumnValues;
  std::vector<int> ColumnCounts;
  int RowCount = 0;
  Variant Value;
  bool Keeping = false;
  int UndoCount = 0;
  Variant UndoValue;
  String TextObjectName;
  String CallText;
  TfrxBand* ParentBand = nullptr;
  TfrxReport* Report = nullptr;
  int KeepCount = 0;
  Variant KeepValue;
  int Column = 0;

  // Empties the totals; a running total that holds a value keeps it unless Force.
  void Reset(bool Force = false);
  // Takes the value of the expression for the current row.
  void AddValue();
  // The answer for the current Column.
  Variant GetValue() const;
  void StartKeeping();
  void EndKeeping();
  // Takes the last value back out; nothing when the item was reset since it took it.
  void UndoLastValue();
  // Takes the value that UndoLastValue took out again, without evaluating it on whatever
  // record the data set has moved to since.
  void RedoLastValue();

private:
  // The value of the expression for the current row: a plain field reference reads the data
  // set directly, anything else goes through the report's script.
  Variant Evaluate();
  bool FFieldResolved = false;
  TfrxDataSet* FFieldDataSet = nullptr;
  String FField;
  Variant FLastTaken;
  bool FLastCounted = false;
  bool FCanUndo = false;
  bool FUndone = false;
};

class TfrxAggregateList {
public:
  explicit TfrxAggregateList(TfrxReport* AReport);
  ~TfrxAggregateList();

  void Clear();
  int Count() const { return static_cast<int>(FItems.size()); }
  TfrxAggregateItem* Items(int Index) const { return FItems.at(static_cast<std::size_t>(Index)).get(); }

  // Accumulators for the calls in the footers of the page's data bands and groups, and in its
  // page footer, column footer and summary.
  void AddPageAggregates(TfrxReportPage* Page);
  // The calls of one text object, with DefaultBand for a call that names no band.
  void AddMemoAggregates(TfrxCustomMemoView* Memo, TfrxDataBand* DefaultBand);
  // A row of DataBand was printed; Column 0 for a horizontal row, else the vertical row.
  void AddValues(TfrxDataBand* DataBand, int Column);
  void UndoLastValue(TfrxDataBand* DataBand);
  void RedoLastValue(TfrxDataBand* DataBand);
  // The value for a call read by ParentBand; Null when no accumulator matches.
  Variant AggregateLookup(TfrxBand* ParentBand, int Column, int Flags, TfrxDataBand* DataBand,
                          const String& Expression, const String& FunctionName);
  void ResetBand(TfrxBand* Band);
  void ResetAll();
  void StartKeeping();
  void EndKeeping();

private:
  void ScanBand(TfrxBand* Band, TfrxDataBand* DefaultBand);
  void ScanText(const String& Text, int Depth);
  void AddCall(const String& Call);

  TfrxReport* FReport;
  std::vector<std::unique_ptr<TfrxAggregateItem>> FItems;
  // The text object being scanned and its default band.
  TfrxCustomMemoView* FMemo = nullptr;
  TfrxDataBand* FDefaultBand = nullptr;
};

// The function number of an aggregate name: "SUM" 0, "AVG" 1, "MIN" 2, "MAX" 3, else 4.
int AggregateFunctionOf(const String& Name);
