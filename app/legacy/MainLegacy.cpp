// The main window's entry points of the older records: the contract and its nine record
// families, goods, bills, depots, internal units, old projects, the category trees of the
// older tables, the batch category change, the spreadsheet imports and the two lists of
// unconfirmed records. They sit beside the older windows they open, which the main window's
// own units do not see.
#include "app/U_Data.h"
#include "app/U_Main.h"
#include "app/legacy/LegacyProjects.h"
#include "app/legacy/LegacyRecords.h"
#include "app/legacy/LegacyRules.h"
#include "app/legacy/U_AddGoods.h"
#include "app/legacy/U_AllBill.h"
#include "app/legacy/U_BatchEdit.h"
#include "app/legacy/U_DepotName.h"
#include "app/legacy/U_R_HTsp.h"
#include "app/legacy/U_R_qrhtbg.h"
#include "app/legacy/U_S_Project.h"
#include "app/legacy/U_Addemployee.h"
#include "app/legacy/U_employee.h"
#include "core/ClassBuilder.h"
#include "data/ADODB.h"
#include "gui/Application.h"
#include "gui/Dialogs.h"

#include <memory>
#include <utility>

const char* const TFrm_Main::DeleteContractQuestion = "确定要删除该合同记录吗,则合同的相关记录也被删除！";
const char* const TFrm_Main::DeleteContractFailedText = "删除记录失败!";
const char* const TFrm_Main::DeleteRowQuestion = "您确定要删除这条数据吗?";

namespace {

// The actions of each record family, in the order of LegacyRecordKinds(); each action's
// handler is its name followed by "Execute" (the change's second add action, Action2, shares
// AddHTbgExecute).
struct TFamilyActions {
  const char* Add;
  const char* Edit;
  const char* Delete;
};
constexpr TFamilyActions kFamilies[] = {
    {"AddHTbgExecute", "edithtbgExecute", "delehtbgExecute"},
    {"AddHTbLExecute", "edithtblExecute", "delehtblExecute"},
    {"AddHTspExecute", "edithtspExecute", "delehtspExecute"},
    {"AddHTjsExecute", "edithtjsExecute", "delehtjsExecute"},
    {"AddHTjhExecute", "edithtjhExecute", "delehtjhExecute"},
    {"AddHTfkExecute", "edithtfkExecute", "delehtfkExecute"},
    {"AddHTWDExecute", "edithtwdExecute", "delehtwdExecute"},
    {"AddHTskjhExecute", "edithtskjhExecute", "delehtskjhExecute"},
    {"AddHTskExecute", "edithtskExecute", "delehtskExecute"},
};
constexpr std::size_t kFamilyCount = std::size(kFamilies);

template <std::size_t... K> void PublishFamilies(TClassBuilder<TFrm_Main>& b, std::index_sequence<K...>) {
  (b.Method(kFamilies[K].Add, &TFrm_Main::AddRecordExecute<K>), ...);
  (b.Method(kFamilies[K].Edit, &TFrm_Main::EditRecordExecute<K>), ...);
  (b.Method(kFamilies[K].Delete, &TFrm_Main::DeleteRecordExecute<K>), ...);
}

const TLegacyRecordKind& Family(std::size_t K) { return LegacyRecordKinds().at(K); }

// A window of the older records made with Owner, prepared, shown modally and freed.
template <class T, class Prepare> void ShowModalWindow(TComponent* Owner, T** Reference, Prepare prepare) {
  std::unique_ptr<T> window(CreateForm<T>(Owner, Reference));
  prepare(*window);
  window->ShowModal();
}
template <class T> void ShowModalWindow(TComponent* Owner, T** Reference = nullptr) {
  ShowModalWindow(Owner, Reference, [](T&) {});
}

// The current row of Query deleted after the question (Yes/No); nothing without a row.
void DeleteCurrentRow(TDataSet* Query) {
  if (!TFrm_Main::HasCurrentRow(Query)) return;
  if (MessageDlg(TFrm_Main::DeleteRowQuestion, mtConfirmation, {mbYes, mbNo}, 0) != mrYes) return;
  Query->Delete();
}

}  // namespace

void TFrm_Main::PublishLegacyCommands(TClassBuilder<TFrm_Main>& b) {
  PublishFamilies(b, std::make_index_sequence<kFamilyCount>());
  b.Method("AddHTExecute", &TFrm_Main::AddHTExecute);
  b.Method("edithtExecute", &TFrm_Main::edithtExecute);
  b.Method("delhtExecute", &TFrm_Main::delhtExecute);
  b.Method("AddGoodsExecute", &TFrm_Main::AddGoodsExecute);
  b.Method("EditGoodsExecute", &TFrm_Main::EditGoodsExecute);
  b.Method("DelGoodsExecute", &TFrm_Main::DelGoodsExecute);
  b.Method("M_AllBillExecute", &TFrm_Main::M_AllBillExecute);
  b.Method("ImportCustDataExecute", &TFrm_Main::ImportCustDataExecute);
  b.Method("ImportGoodsCustExecute", &TFrm_Main::ImportGoodsCustExecute);
  b.Method("Category_ProjectExecute", &TFrm_Main::Category_ProjectExecute);
  b.Method("Category_HTExecute", &TFrm_Main::Category_HTExecute);
  b.Method("M_DepotNameExecute", &TFrm_Main::M_DepotNameExecute);
  b.Method("DelOtherExecute", &TFrm_Main::DelOtherExecute);
  b.Method("M_EmployeeExecute", &TFrm_Main::M_EmployeeExecute);
  b.Method("AddemployeeExecute", &TFrm_Main::AddemployeeExecute);
  b.Method("editemployeeExecute", &TFrm_Main::editemployeeExecute);
  b.Method("delemployeeExecute", &TFrm_Main::delemployeeExecute);
  b.Method("AddProjectExecute", &TFrm_Main::AddProjectExecute);
  b.Method("EditProjectExecute", &TFrm_Main::EditProjectExecute);
  b.Method("DelProjectExecute", &TFrm_Main::DelProjectExecute);
  b.Method("S_ProjectExecute", &TFrm_Main::S_ProjectExecute);
  b.Method("batchedit_goodsExecute", &TFrm_Main::batchedit_goodsExecute);
  b.Method("BatchEdit_custExecute", &TFrm_Main::BatchEdit_custExecute);
  b.Method("N24Click", &TFrm_Main::N24Click);
  b.Method("N26Click", &TFrm_Main::N26Click);
}

// ---------------------------------------------------------------- contracts and their records

template <std::size_t K> void TFrm_Main::AddRecordExecute(TObject*) {
  if (!HasCurrentRow(Frm_Data->Qry_HT)) return;
  if (OpenPendingLegacyDialog) OpenPendingLegacyDialog(Family(K).Window, 1);
}

template <std::size_t K> void TFrm_Main::EditRecordExecute(TObject*) {
  if (!HasCurrentRow(LegacyQuery(Family(K)))) return;
  if (OpenPendingLegacyDialog) OpenPendingLegacyDialog(Family(K).Window, 0);
}

template <std::size_t K> void TFrm_Main::DeleteRecordExecute(TObject*) { DeleteLegacyRecord(Family(K)); }

void TFrm_Main::AddHTExecute(TObject*) {
  if (OpenPendingLegacyDialog) OpenPendingLegacyDialog(LegacyContractKind().Window, 1);
}

void TFrm_Main::edithtExecute(TObject*) {
  if (!HasCurrentRow(Frm_Data->Qry_HT)) return;
  if (OpenPendingLegacyDialog) OpenPendingLegacyDialog(LegacyContractKind().Window, 0);
}

// The older contract list whose selection the delete could take is not in the program: the
// delete takes the current contract.
void TFrm_Main::delhtExecute(TObject*) {
  TADOQuery* contracts = Frm_Data->Qry_HT;
  if (!HasCurrentRow(contracts)) return;
  if (Application->MessageBox(DeleteContractQuestion, "警告", MB_YESNO | MB_ICONINFORMATION) != IDYES) return;
  try {
    DeleteLegacyContract(contracts->FieldByName("htCode")->AsString());
  } catch (const Exception&) {
    MessageDlg(DeleteContractFailedText, mtConfirmation, {mbOK}, 0);
  }
}

// ---------------------------------------------------------------- goods, bills and depots

// Editing needs a current goods row: without one the dialog would show nothing and its save
// would fail.
void TFrm_Main::AddGoodsExecute(TObject*) {
  ShowModalWindow<TFrm_AddGoods>(this, &Frm_AddGoods, [](TFrm_AddGoods& w) { w.AddMode = 1; });
}

void TFrm_Main::EditGoodsExecute(TObject*) {
  if (!HasCurrentRow(Frm_Data->Qry_Goods)) return;
  ShowModalWindow<TFrm_AddGoods>(this, &Frm_AddGoods, [](TFrm_AddGoods& w) { w.AddMode = 0; });
}

void TFrm_Main::DelGoodsExecute(TObject*) { DeleteGoods(); }

void TFrm_Main::M_AllBillExecute(TObject*) { OpenMDIChild(Frm_AllBill, this); }

void TFrm_Main::M_DepotNameExecute(TObject*) { ShowModalWindow<TFrm_DepotName>(this); }

void TFrm_Main::DelOtherExecute(TObject*) { DeleteCurrentRow(Frm_Data->Qry_Other); }

void TFrm_Main::ImportCustDataExecute(TObject*) { OpenExcelImport("Custom"); }

void TFrm_Main::ImportGoodsCustExecute(TObject*) { OpenExcelImport("Goods"); }

void TFrm_Main::batchedit_goodsExecute(TObject*) {
  ShowModalWindow<TFrm_BatchEdit>(Application, &Frm_BatchEdit, [](TFrm_BatchEdit& w) { w.Mode = 1; });
}

void TFrm_Main::BatchEdit_custExecute(TObject*) {
  ShowModalWindow<TFrm_BatchEdit>(Application, &Frm_BatchEdit, [](TFrm_BatchEdit& w) { w.Mode = 2; });
}

// ---------------------------------------------------------------- categories

void TFrm_Main::Category_ProjectExecute(TObject*) { ShowCodeTree("Category_Project", "项目类别"); }

void TFrm_Main::Category_HTExecute(TObject*) { ShowCodeTree("Category_HT", "合同类别"); }

// ---------------------------------------------------------------- internal units and old projects

void TFrm_Main::M_EmployeeExecute(TObject*) { ShowModalWindow<TFrm_employee>(this, &Frm_employee); }

void TFrm_Main::AddemployeeExecute(TObject*) {
  ShowModalWindow<TFrm_addemloyee>(this, &Frm_addemloyee, [](TFrm_addemloyee& w) { w.AddMode = 1; });
}

void TFrm_Main::editemployeeExecute(TObject*) {
  if (!HasCurrentRow(Frm_Data->Qry_emloyee)) return;
  ShowModalWindow<TFrm_addemloyee>(this, &Frm_addemloyee, [](TFrm_addemloyee& w) { w.AddMode = 0; });
}

void TFrm_Main::delemployeeExecute(TObject*) { DeleteCurrentRow(Frm_Data->Qry_emloyee); }

void TFrm_Main::AddProjectExecute(TObject*) {
  if (OpenPendingLegacyDialog) OpenPendingLegacyDialog(LegacyProjectKind().Window, 1);
}

void TFrm_Main::EditProjectExecute(TObject*) {
  if (!HasCurrentRow(Frm_Data->Qry_Project)) return;
  if (OpenPendingLegacyDialog) OpenPendingLegacyDialog(LegacyProjectKind().Window, 0);
}

void TFrm_Main::DelProjectExecute(TObject*) { DeleteCurrentRow(Frm_Data->Qry_Project); }

void TFrm_Main::S_ProjectExecute(TObject*) { ShowModalWindow<TFrm_S_Project>(this, &Frm_S_Project); }

// ---------------------------------------------------------------- unconfirmed records

void TFrm_Main::N24Click(TObject*) { ShowModalWindow<TFrm_R_qrhtbg>(this); }

void TFrm_Main::N26Click(TObject*) { ShowModalWindow<TFrm_R_HTsp>(this); }
