// The main window's commands of the project list (opening it, the project dialog, deleting a
// project with its documents, printing and export) and the contract list's delete, print and
// export. Commands on a list's rows do nothing while that list is closed.
#include "app/U_Main.h"

#include "app/SqlText.h"
#include "app/U_Data.h"
#include "app/ufrmPact.h"
#include "app/ufrmPrj.h"
#include "app/ufrmPrjAdd.h"
#include "core/ClassBuilder.h"
#include "data/ADODB.h"
#include "gui/Application.h"

#include <memory>

const char* const TFrm_Main::PrjInUseText = "合同信息中含有该项目信息，点击确定继续操作！";

void TFrm_Main::PublishProjectCommands(TClassBuilder<TFrm_Main>& b) {
  b.Method("Prj_MExecute", &TFrm_Main::Prj_MExecute);
  b.Method("PrjAddExecute", &TFrm_Main::PrjAddExecute);
  b.Method("PrjEditExecute", &TFrm_Main::PrjEditExecute);
  b.Method("PrjDelExecute", &TFrm_Main::PrjDelExecute);
  b.Method("PrjPrintExecute", &TFrm_Main::PrjPrintExecute);
  b.Method("PrjExpExecute", &TFrm_Main::PrjExpExecute);
  b.Method("PactDelExecute", &TFrm_Main::PactDelExecute);
  b.Method("PactPrintExecute", &TFrm_Main::PactPrintExecute);
  b.Method("PactExpExecute", &TFrm_Main::PactExpExecute);
}

namespace {

void ShowProjectDialog(Byte AddMode) {
  std::unique_ptr<TfrmPrjAdd> dialog(CreateForm<TfrmPrjAdd>(nullptr));
  dialog->AddMode = AddMode;
  dialog->ShowModal();
}

// The detail tables of a contract, in the order the delete empties them.
struct TContractDetail {
  const char* Table;
};
const TContractDetail kContractDetails[] = {{"t_pact_fp"}, {"t_pact_doc"}, {"t_pact_zj"}, {"t_pact_jh"}};

}  // namespace

bool TFrm_Main::DeleteInTransaction(TDataSet* List, const std::function<void()>& Work) {
  String row = List->Bookmark();
  try {
    Frm_Data->RunInTransaction(Work);
    return true;
  } catch (const Exception&) {
    // The rollback brought the row back; the list shows it where it stood.
    if (List->Active() && !row.empty() && List->BookmarkValid(row)) List->GotoBookmark(row);
    Application->MessageBox(FailedText, BoxCaption, MB_OK | MB_ICONWARNING);
    return false;
  }
}

// ---------------------------------------------------------------- projects

void TFrm_Main::Prj_MExecute(TObject*) { OpenMDIChild(frmPrj, this); }

void TFrm_Main::PrjAddExecute(TObject*) { ShowProjectDialog(1); }

void TFrm_Main::PrjEditExecute(TObject*) {
  if (frmPrj && HasCurrentRow(Frm_Data->qryPrj)) ShowProjectDialog(0);
}

// The project and its documents go in one transaction; contracts keep the project's name.
void TFrm_Main::PrjDelExecute(TObject*) {
  TADOQuery* prj = Frm_Data->qryPrj;
  if (!frmPrj || !HasCurrentRow(prj)) return;
  if (!ConfirmDelete("select * from t_pact where prjname=" + SqlStr(prj->FieldByName("prjname")->AsString()),
                     PrjInUseText))
    return;
  String code = prj->FieldByName("PrjCode")->AsString();
  DeleteInTransaction(prj, [&] {
    Frm_Data->ExecQuery(Frm_Data->Qry_Temp, "delete from dict_prj_detail where prjcode=" + SqlStr(code));
    prj->Delete();
  });
  // Deleted or kept, the list shows its rows as a search would, with the documents of the
  // project now current.
  frmPrj->RefreshView();
}

void TFrm_Main::PrjPrintExecute(TObject*) {
  if (frmPrj) PrintList(frmPrj->dgPrj, "项目打印");
}

void TFrm_Main::PrjExpExecute(TObject*) {
  if (frmPrj) ExportGridToExcel(Frm_Data->qryPrj, frmPrj->dgPrj);
}

// ---------------------------------------------------------------- contracts

// The contract's invoices, documents, fund plan and delivery plan go with it, in one
// transaction; the copies of its documents stay in PactDoc.
void TFrm_Main::PactDelExecute(TObject*) {
  TADOQuery* pact = Frm_Data->qryPact;
  if (!frmPact || !HasCurrentRow(pact)) return;
  if (!ConfirmDelete("", "")) return;
  String code = pact->FieldByName("PactCode")->AsString();
  DeleteInTransaction(pact, [&] {
    for (const TContractDetail& d : kContractDetails)
      Frm_Data->ExecQuery(Frm_Data->Qry_Temp, String("delete from ") + d.Table + " where pactcode=" + SqlStr(code));
    pact->Delete();
  });
  // Deleted or kept, the list shows its rows as a search would, with the details of the
  // contract now current.
  frmPact->RefreshView();
}

void TFrm_Main::PactPrintExecute(TObject*) {
  if (frmPact) PrintList(frmPact->dgPact, "项目合同打印");
}

void TFrm_Main::PactExpExecute(TObject*) {
  if (frmPact) ExportGridToExcel(Frm_Data->qryPact, frmPact->dgPact);
}
