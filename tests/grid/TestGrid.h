#pragma once
// A grid for the column-model tests: it publishes what a layout stores of a grid's columns
// and counts what the column model asks of it.
#include "grid/DBGridEh.h"
#include "GridTestUtil.h"

#include <gtest/gtest.h>

class TTestGrid : public TCustomDBGridEh {
  KELM_CLASS(TTestGrid, TCustomDBGridEh)
public:
  explicit TTestGrid(TComponent* AOwner) : TCustomDBGridEh(AOwner) {}
  int ColumnRepaints = 0;
  int LayoutPasses = 0;
  int FooterRepaints = 0;
  void InvalidateFooterRows() override {
    ++FooterRepaints;
    TCustomDBGridEh::InvalidateFooterRows();
  }

protected:
  void InvalidateColumn(TColumnEh*) override { ++ColumnRepaints; }
  void LayoutChanged() override { ++LayoutPasses; }
};

// A grid over an in-memory table (Code, Amount, Qty, Flag) through a data source.
class GridFixture : public ::testing::Test {
protected:
  TComponent Owner{nullptr};
  TTestGrid* Grid = nullptr;
  TMemDataSet* DS = nullptr;
  TDataSource* Source = nullptr;

  void SetUp() override { Grid = new TTestGrid(&Owner); }
  // The table with its rows, shown by the grid; opened unless told otherwise.
  void Bind(const std::vector<std::vector<Variant>>& Rows, bool Open = true) {
    DS = gridtest::MakeAmounts(&Owner, Rows);
    Source = new TDataSource(&Owner);
    Source->SetDataSet(DS);
    Grid->SetDataSource(Source);
    if (Open) DS->Open();
  }
  TColumnEh* AddColumn(const String& FieldName) {
    TColumnEh* c = Grid->Columns()->AddColumn();
    c->SetFieldName(FieldName);
    return c;
  }
  bool Locate(const String& Code) { return DS->Locate("Code", Variant(Code), TLocateOptions()); }
};
