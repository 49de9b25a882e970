#include "TestGrid.h"
#include "DBGridFixture.h"

#include "core/ClassBuilder.h"

KELM_PUBLISH(TTestGrid) {
  b.Prop("ColumnDefValues", &TTestGrid::ColumnDefValues, &TTestGrid::SetColumnDefValues);
  b.Prop("Columns", &TTestGrid::Columns, &TTestGrid::SetColumns);
  b.Prop("SumList", &TTestGrid::SumList, &TTestGrid::SetSumList);
}

KELM_PUBLISH(TProbeDBGrid) {}
