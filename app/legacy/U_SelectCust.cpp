#include "app/legacy/U_SelectCust.h"

#include "app/SqlText.h"
#include "app/TreeCodes.h"
#include "app/U_AddCust.h"
#include "app/U_Data.h"
#include "app/U_Main.h"
#include "app/U_tree.h"
#include "app/legacy/LegacyPickers.h"
#include "app/legacy/LegacyWindows.h"
#include "core/ClassBuilder.h"
#include "core/SysUtils.h"
#include "data/ADODB.h"
#include "gui/TreeView.h"

#include <memory>

TFrm_SelectCust* Frm_SelectCust = nullptr;

const char* const TFrm_SelectCust::ColumnSet = "SelectCust";

KELM_PUBLISH(TFrm_SelectCust) {
  b.Method("FormShow", &TFrm_SelectCust::FormShow);
  b.Method("FormClose", &TFrm_SelectCust::FormClose);
  b.Method("Btn_SelectClick", &TFrm_SelectCust::Btn_SelectClick);
  b.Method("BitBtn1Click", &TFrm_SelectCust::BitBtn1Click);
  b.Method("btRefuClick", &TFrm_SelectCust::btRefuClick);
  b.Method("Button1Click", &TFrm_SelectCust::Button1Click);
  b.Method("DBGridEh1DblClick", &TFrm_SelectCust::DBGridEh1DblClick);
  b.Method("TreeView1DblClick", &TFrm_SelectCust::TreeView1DblClick);
  b.Method("Edit_CodeKeyUp", &TFrm_SelectCust::Edit_CodeKeyUp);
  b.Method("Edit_NameKeyUp", &TFrm_SelectCust::Edit_NameKeyUp);
  b.Method("Edit_ContactKeyUp", &TFrm_SelectCust::Edit_ContactKeyUp);
  b.Method("N1Click", &TFrm_SelectCust::N1Click);
  b.Method("N2Click", &TFrm_SelectCust::N2Click);
}

namespace {

const char* const kAllCustomers = "select * from T_Custom";
const int kReturnModes[] = {6, 9};

// The opening's count, and the one of every later listing.
String OpeningCount(int Count) { return "当前共有" + IntToStr(Count) + "条客户记录"; }
String ListingCount(int Count) { return "当前共有 " + IntToStr(Count) + " 条客户记录"; }

}  // namespace

TFrm_SelectCust::~TFrm_SelectCust() {
  if (Frm_SelectCust == this) Frm_SelectCust = nullptr;
}

void TFrm_SelectCust::ShowRows(const String& SQL, String (*Count)(int)) {
  int count = Frm_Main->ShowListSearch(Qry_Cust, SQL, DBGridEh1, ColumnSet, nullptr, nullptr);
  if (Count) ShowLegacyStatus(StatusBar1, Count(count));
}

void TFrm_SelectCust::FormShow(TObject*) {
  SetCaption("请选择客户");
  ShowRows(kAllCustomers, nullptr);
  Frm_Main->FillCodeTree(TreeView1, "Category_Cust", "单位分类");
  for (TEdit* e : {Edit_Code, Edit_Name, Edit_Contact}) e->SetText("");
  ShowLegacyStatus(StatusBar1, OpeningCount(Qry_Cust->RecordCount()));
}

void TFrm_SelectCust::FormClose(TObject*, TCloseAction&) { Frm_Main->SaveGridColumns(DBGridEh1, ColumnSet, 0); }

void TFrm_SelectCust::Search() {
  std::vector<String> conditions;
  if (!Edit_Code->Text().empty()) conditions.push_back("(CustCode=" + SqlStr(Edit_Code->Text()) + ")");
  for (const String& c : LegacyLikes({{"CustName", Edit_Name->Text()}, {"Contact", Edit_Contact->Text()}}))
    conditions.push_back(c);
  // The count follows the search, as it does every other listing.
  ShowRows(LegacySearchSQL("T_Custom", conditions), ListingCount);
}

void TFrm_SelectCust::Edit_CodeKeyUp(TObject*, Word&, TShiftState) { Search(); }
void TFrm_SelectCust::Edit_NameKeyUp(TObject*, Word&, TShiftState) { Search(); }
void TFrm_SelectCust::Edit_ContactKeyUp(TObject*, Word&, TShiftState) { Search(); }

void TFrm_SelectCust::TreeView1DblClick(TObject*) {
  TTreeNode* node = TreeView1->Selected();
  if (TreeView1->Items()->Count() == 0 || !node) return;
  String code = TreeNodeCode(node);
  ShowRows(code.empty() ? String("select * from T_Custom order by CustID")
                    : "select * from T_Custom where Custtype like " + SqlStr(code + "%") + " order by CustID",
       ListingCount);
}

void TFrm_SelectCust::Button1Click(TObject*) {
  std::unique_ptr<TFrm_AddCust> dialog(CreateForm<TFrm_AddCust>(this));
  dialog->AddMode = 1;
  dialog->ShowModal();
}

void TFrm_SelectCust::btRefuClick(TObject*) { ShowRows(kAllCustomers, nullptr); }

void TFrm_SelectCust::N1Click(TObject*) { Frm_Main->FillCodeTree(TreeView1, "Category_Cust", "单位类别"); }

void TFrm_SelectCust::N2Click(TObject*) {
  std::unique_ptr<TFrm_Tree> tree(CreateForm<TFrm_Tree>(this));
  tree->TableName = "Category_Cust";
  tree->TreeCaption = "单位类别";
  tree->ShowModal();
}

void TFrm_SelectCust::ReturnSelection() {
  if (!Qry_Cust->Active() || Qry_Cust->IsEmpty()) return;
  for (int mode : kReturnModes)
    if (mode == CallerMode && DeliverLegacyPick(TLegacyPicker::Customer, mode, Qry_Cust->FieldByName("CustName")->AsString())) {
      Close();
      return;
    }
}

void TFrm_SelectCust::Btn_SelectClick(TObject*) { ReturnSelection(); }
void TFrm_SelectCust::DBGridEh1DblClick(TObject*) { ReturnSelection(); }
void TFrm_SelectCust::BitBtn1Click(TObject*) { Close(); }
