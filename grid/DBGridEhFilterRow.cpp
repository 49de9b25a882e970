// The filter row: what its cells show, applying the typed conditions and clearing them.
#include "grid/DBGridEh.h"
#include "grid/DBGridEhAux.h"
#include "grid/DBGridEhColumn.h"
#include "grid/DBGridEhLink.h"
#include "grid/CellTextEh.h"
#include "grid/GridUtilsEh.h"

#include "core/Scope.h"

bool TCustomDBGridEh::FilterCellShown(int DataCol) const {
  if (DataCol < 0 || DataCol >= Columns()->Count()) return false;
  TColumnEh* column = Columns()->Items(DataCol);
  return column->Visible() && column->STFilter()->Visible();
}

String TCustomDBGridEh::FilterRowText(int DataCol) const {
  if (DataCol < 0 || DataCol >= Columns()->Count()) return String();
  TColumnEh* column = Columns()->Items(DataCol);
  if (column->FieldName().empty()) return String();
  return column->STFilter()->ExpressionText();
}

void TCustomDBGridEh::ApplyFilter() {
  const int left = LeftCol();
  // A handler that fails still leaves the grid scrolled as it was and the footers summing
  // what the dataset now shows.
  TScopeExit restore([&] {
    if (left >= FixedCols() && left < ColCount()) SetLeftCol(left);
    if (FSumList->Active()) FSumList->Recalculate();
    Invalidate();
  });
  if (OnApplyFilter)
    OnApplyFilter(this);
  else
    ApplyFilterDefault();
}

void TCustomDBGridEh::ClearAllFilters() {
  for (int i = 0; i < Columns()->Count(); ++i) Columns()->Items(i)->STFilter()->ResetFilter();
  Invalidate();
}

bool TCustomDBGridEh::DrawFilterRowCell(int ACol, int ARow, int DataCol, const TRect& R, int CellType) {
  TCanvas* c = Canvas();
  TColumnEh* column = Columns()->Items(DataCol);
  c->Font()->Assign(Font());
  c->Font()->SetColor(clBlue);
  TColor back = LightenedColor(FixedColor());
  bool highlighted = GetFixedCellColors(ACol, ARow, c->Font(), back, TitleInSelection(DataCol), CellType);
  c->Brush()->SetColor(back);
  DrawCellText(c, R, true, 1, 1, FilterRowText(DataCol), taLeftJustify, column->Layout(), false, false, 0, 0, false);
  return highlighted;
}
