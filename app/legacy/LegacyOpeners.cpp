#include "app/legacy/LegacyOpeners.h"

#include "app/U_Main.h"
#include "app/U_tree.h"
#include "app/legacy/U_employee.h"

#include <memory>

void ShowLegacyUnitPicker(TComponent* Owner, int CallerMode) {
  std::unique_ptr<TFrm_employee> picker(CreateForm<TFrm_employee>(Owner, &Frm_employee));
  picker->CallerMode = CallerMode;
  picker->ShowModal();
}

void ShowLegacyTreePicker(TComponent* Owner, const String& Table, const String& Caption, int Mode) {
  std::unique_ptr<TFrm_Tree> tree(CreateForm<TFrm_Tree>(Owner));
  tree->TableName = Table;
  tree->TreeCaption = Caption;
  tree->CallerMode = Mode;
  tree->ShowModal();
}

void FillLegacyCombo(TCustomComboBox* Combo, const String& Table) { Frm_Main->FillComboFromTable(Combo, Table); }
