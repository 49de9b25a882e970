#include "ListViewsEmployees.h"

#include "AppWindows.h"
#include "GuiTestUtil.h"

#include "app/ufrmEmpAdd.h"
#include "gui/StdCtrls.h"

#include <memory>

void SaveEmployeeDialog(Byte Mode, const String& Name, const String& Age) {
  std::unique_ptr<TfrmEmpAdd> dialog(CreateForm<TfrmEmpAdd>(nullptr, &frmEmpAdd));
  dialog->AddMode = Mode;
  dialog->Show();
  Application->ProcessMessages();
  if (!Name.empty()) dialog->edtEmpName->SetText(Name);
  dialog->edtAge->SetText(Age);
  if (Mode == 1) dialog->edtDepart->SetText("工程部");
  guitest::Click(dialog->btnPost, {10, 10});
  Application->ProcessMessages();
  dialog->Close();
  Application->ProcessMessages();
}
