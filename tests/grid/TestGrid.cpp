#include "TestGrid.h"
#include "DBGridFixture.h"

#include "core/ClassBuilder.h"

// Columns are written by the grid itself, under "Columns", when they are customised.
KELM_PUBLISH(TTestGrid) {
  b.Prop("ColumnDefValues", &TTestGrid::ColumnDefValues, &TTestGrid::SetColumnDefValues);
  b.Prop("SumList", &TTestGrid::SumList, &TTestGrid::SetSumList);
}

KELM_PUBLISH(TProbeDBGrid) {}
