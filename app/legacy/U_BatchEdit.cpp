#include "app/legacy/U_BatchEdit.h"

#include "app/SqlText.h"
#include "app/U_Custom.h"
#include "app/U_Data.h"
#include "app/U_tree.h"
#include "app/legacy/LegacyRules.h"
#include "core/ClassBuilder.h"
#include "core/SysUtils.h"
#include "data/ADODB.h"
#include "grid/DBGridEh.h"
#include "gui/Application.h"

#include <memory>

TFrm_BatchEdit* Frm_BatchEdit = nullptr;

const char* const TFrm_BatchEdit::EmptyCategoryText = "行业类别不能为空!";
const char* const TFrm_BatchEdit::DoneText = "批量修改成功";

KELM_PUBLISH(TFrm_BatchEdit) {
  b.Method("FormShow", &TFrm_BatchEdit::FormShow);
  b.Method("Btn_OKClick", &TFrm_BatchEdit::Btn_OKClick);
  b.Method("Btn_ExitClick", &TFrm_BatchEdit::Btn_ExitClick);
  b.Method("Edit_CategoryButtonClick", &TFrm_BatchEdit::Edit_CategoryButtonClick);
}

namespace {

const int kTreeMode = 7;

const bool kTreeCallerAdded = [] {
  RegisterTreeCaller(kTreeMode, Frm_BatchEdit, &TFrm_BatchEdit::TypeCode, &TFrm_BatchEdit::Edit_Category);
  return true;
}();

// The customer list's selection; none while the list is closed.
TBookmarkListEh* CustomerSelection() { return Frm_Custom ? Frm_Custom->dgCust->SelectedRows() : nullptr; }

}  // namespace

TFrm_BatchEdit::~TFrm_BatchEdit() {
  if (Frm_BatchEdit == this) Frm_BatchEdit = nullptr;
}

void TFrm_BatchEdit::FormShow(TObject*) {
  Frm_BatchEdit = this;
  SetCaption("批量修改分类");
  if (Mode == 2) {
    TBookmarkListEh* rows = CustomerSelection();
    lbl_Num->SetCaption(IntToStr(rows ? rows->Count() : 0));
  }
  Edit_Category->SetText("");
}

void TFrm_BatchEdit::Edit_CategoryButtonClick(TObject*) {
  Frm_BatchEdit = this;
  std::unique_ptr<TFrm_Tree> tree(CreateForm<TFrm_Tree>(this));
  tree->TableName = Mode == 1 ? "Category_Goods" : "Category_Cust";
  tree->TreeCaption = Mode == 1 ? "货品类别" : "单位分类";
  tree->CallerMode = kTreeMode;
  tree->ShowModal();
}

void TFrm_BatchEdit::Btn_OKClick(TObject*) {
  if (Edit_Category->Text().empty()) {
    Application->MessageBox(EmptyCategoryText, "询问", MB_OK | MB_ICONINFORMATION);
    if (Edit_Category->CanFocus()) Edit_Category->SetFocus();
    return;
  }
  TADOQuery* cust = Frm_Data->Qry_Cust;
  TBookmarkListEh* rows = CustomerSelection();
  if (Mode != 2 || !cust->Active() || !rows) return;
  // The customers change together or not at all; the list then shows what the table holds.
  bool done = LegacySave(
      [&] {
        for (int i = 0; i < rows->Count(); ++i) {
          cust->GotoBookmark(rows->Items(i));
          const String id = cust->FieldByName("CustID")->AsString();
          Frm_Data->ExecQuery(Frm_Data->Qry_Temp, "Update T_Custom set CustType=" + SqlStr(TypeCode) +
                                                      " where CustID=" + SqlInt(StrToInt(id)));
        }
      },
      {});
  if (done) Application->MessageBox(DoneText, "成功", MB_OK | MB_ICONINFORMATION);
}

void TFrm_BatchEdit::Btn_ExitClick(TObject*) { Close(); }
