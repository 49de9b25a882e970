// A contract save run by a process of its own, so a test can cut it short the hard way: the
// process kills itself when the save reaches the step named by KELM_KILL_AT, as a crash or
// a power cut would end the program there.
//
//   pact_save_driver <program folder> add|edit <file to attach> [<second file>]
//
// "add" makes contract HT-K with two fund rows, a delivery row and the attachments; "edit"
// changes HT01's amount, deletes its document 施工图.txt, adds a fund row and the attachments.
// The folder holds the contracts fixture. Exit code 0 when the save reported no failure, 2 when
// it did, 1 for a wrong call; killed by SIGKILL at the named step.
#include "app/SaveSteps.h"
#include "app/U_Data.h"
#include "app/U_Main.h"
#include "app/ufrmBasic.h"
#include "app/ufrmPactAdd.h"
#include "app/ufrmSelect.h"
#include "core/FileUtils.h"
#include "gui/Application.h"
#include "gui/Dialogs.h"
#include "gui/MessageBox.h"
#include "gui/StdCtrls.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <memory>
#include <unistd.h>

namespace {

void AddRow(TADOQuery* Query, std::initializer_list<std::pair<const char*, const char*>> Values) {
  Query->Append();
  for (auto [field, value] : Values) Query->FieldByName(field)->SetAsString(value);
  Query->Post();
}

void AddContract(TfrmPactAdd* D) {
  D->edtPactName->SetText("断电测试合同");
  D->edtPactCode->SetText("HT-K");
  D->edtPactMoney->SetText("66000");
  DeliverCategoryPick("pacttype", "施工合同", "0101");
  DeliverRecordPick("t_custom", "华建集团");
  DeliverRecordPick("dict_prj", "滨江大桥");
  DeliverRecordPick("dict_emp", "张工");
  AddRow(Frm_Data->qryPactZJAdd, {{"zjtype", "收款"}, {"money", "1000"}});
  AddRow(Frm_Data->qryPactZJAdd, {{"zjtype", "付款"}, {"money", "300"}});
  AddRow(Frm_Data->qryPactJHAdd, {{"GoodsName", "钢筋"}});
}

void EditContract(TfrmPactAdd* D) {
  D->edtPactMoney->SetText("510000");
  if (!Frm_Data->qryPactDocAdd->Locate("DocName", "施工图.txt", {})) throw Exception("no document 施工图.txt");
  D->Button5->Click();
  AddRow(Frm_Data->qryPactZJAdd, {{"zjtype", "收款"}, {"money", "777"}});
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4 || (std::strcmp(argv[2], "add") != 0 && std::strcmp(argv[2], "edit") != 0)) {
    std::fprintf(stderr, "usage: %s <program folder> add|edit <file> [<file>]\n", argv[0]);
    return 1;
  }
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  const bool add = std::strcmp(argv[2], "add") == 0;
  std::deque<String> files(argv + 3, argv + argc);
  String killAt = std::getenv("KELM_KILL_AT") ? std::getenv("KELM_KILL_AT") : "";

  InitApplication(argc, argv);
  SetProgramPath(IncludeTrailingPathDelimiter(argv[1]) + "kelm");
  bool failed = false;
  SetMessageBoxHook([&](const String& Text, const String&, int) {
    std::fprintf(stderr, "box: %s\n", Text.c_str());
    failed = true;
    return IDOK;
  });
  SetDialogHook([&](TDialogRequest& R) {
    if (R.Kind != dkOpenFile || files.empty()) return false;
    R.Value = files.front();
    files.pop_front();
    R.Result = 1;
    return true;
  });
  SetSaveStepHook([&](const char* Step) {
    if (killAt == Step) ::kill(::getpid(), SIGKILL);
  });

  int rc = 0;
  try {
    Application->CreateForm<TFrm_Main>(&Frm_Main);
    Application->CreateForm<TFrm_Data>(&Frm_Data);
    if (Frm_Data->DBConnected() != 1) return 1;
    // Shown, the main window opens the contract list over qryPact, as at every start.
    Frm_Main->Show();
    Application->ProcessMessages();
    if (!add && !Frm_Data->qryPact->Locate("PactCode", "HT01", {})) throw Exception("no contract HT01");
    std::unique_ptr<TfrmPactAdd> dialog(CreateForm<TfrmPactAdd>(nullptr));
    dialog->AddMode = add ? 1 : 0;
    dialog->Show();
    Application->ProcessMessages();
    if (add) AddContract(dialog.get());
    else EditContract(dialog.get());
    while (!files.empty()) dialog->Button4->Click();
    dialog->btnPost->Click();
    Application->ProcessMessages();
    rc = failed ? 2 : 0;
  } catch (const Exception& e) {
    std::fprintf(stderr, "%s\n", e.Message().c_str());
    rc = 1;
  }
  DoneApplication();
  return rc;
}
