#pragma once
// The spreadsheet import's mapping window "字段映射": each target column of the kind's
// T_Import rows is matched to a title of the workbook's first row, then every further row of
// the sheet becomes one row of the target table (T_ht for "Custom", T_Goods for "Goods"). The
// walk is one transaction: a cell the table refuses undoes the whole import and names the
// spreadsheet row. The workbook is read through the main window's automation objects, which
// this window closes when it closes.
#include "forms/TFrm_Import.h"
#include "gui/Forms.h"

#include <vector>

class TFrm_Import : public TFrm_ImportLayout<TForm> {
  KELM_CLASS(TFrm_Import, TFrm_ImportLayout<TForm>)
public:
  explicit TFrm_Import(TComponent* AOwner) : inherited(AOwner) {}

  // ---- set by the opener: "Custom" or "Goods"
  String TableName;

  // A mapped target column and the sheet column (from 1) whose titles match.
  struct TMapping {
    String Title;
    String Column;
    int SheetColumn = 0;
  };
  // The kind's rows with a title (not blank), in table order; a title missing from the
  // sheet's first row raises, naming it.
  std::vector<TMapping> Mappings();
  // Appends one target row per sheet row 2..ImportRowCount in one transaction: the number
  // imported. A refused cell rolls all of it back and raises, naming the sheet row.
  int ImportRows(const std::vector<TMapping>& Mapped);

  // ---- handlers named by the layout
  void FormShow(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void Btn_StartClick(TObject* Sender);
  void Btn_ExitClick(TObject* Sender);
};
