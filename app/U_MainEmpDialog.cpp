// The employee dialog as the main window's commands open it.
#include "app/U_Main.h"

#include "app/ufrmEmpAdd.h"

#include <memory>

void TFrm_Main::ShowEmployeeDialog(Byte AddMode) {
  std::unique_ptr<TfrmEmpAdd> dialog(CreateForm<TfrmEmpAdd>(nullptr, &frmEmpAdd));
  dialog->AddMode = AddMode;
  dialog->ShowModal();
}
