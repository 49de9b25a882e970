#include "app/ufrmUserQX.h"

#include "app/U_Data.h"
#include "app/U_Main.h"
#include "core/ClassBuilder.h"
#include "core/StrUtils.h"
#include "gui/Application.h"
#include "gui/StdCtrls.h"
#include "grid/DBGridEh.h"

#include <cassert>

TfrmUserQX* frmUserQX = nullptr;

const char* const TfrmUserQX::BoxCaption = "提示";
const char* const TfrmUserQX::DuplicateNameText = "用户名称重复，请您重新录入！";
const char* const TfrmUserQX::LastRightsHolderText = "至少保留一个拥有用户权限的操作员！";
const char* const TfrmUserQX::HiddenPassword = "******";

const TfrmUserQX::TRight TfrmUserQX::Rights[33] = {
    {"Pact_Add", "新增合同"},     {"Pact_Edit", "编辑合同"},   {"Pact_Del", "删除合同"},
    {"Pact_Print", "打印合同"},   {"Pact_M", "合同管理"},      {"Pact_Doc", "合同文件操作"},
    {"Pact_FP", "合同发票管理"},  {"Pact_ZJ", "合同资金操作"}, {"Pact_JH", "合同计划管理"},
    {"Prj_Add", "新增项目"},      {"Prj_Edit", "编辑项目"},    {"Prj_Del", "删除项目"},
    {"Prj_Print", "打印项目"},    {"Prj_M", "项目管理"},       {"Prj_Doc", "项目文件查看"},
    {"Cust_Add", "新增客户"},     {"Cust_Edit", "编辑客户"},   {"Cust_Del", "删除客户"},
    {"Cust_Print", "打印客户"},   {"Cust_M", "客户管理"},      {"Cust_Exp", "客户导出"},
    {"Emp_Add", "新增员工"},      {"Emp_Edit", "编辑员工"},    {"Emp_Del", "删除员工"},
    {"Emp_Print", "打印员工"},    {"Emp_M", "员工管理"},       {"MoneyIn", "收款收款"},
    {"MoneyOut", "付款查询"},     {"UserQX", "用户权限"},      {"BackUp", "数据备份"},
    {"Resume", "数据恢复"},       {"Set_Option", "选项设置"},  {"PactChart", "图标统计"},
};

KELM_PUBLISH(TfrmUserQX) {
  b.Method("FormCreate", &TfrmUserQX::FormCreate);
  b.Method("FormShow", &TfrmUserQX::FormShow);
  b.Method("edtUserIDChange", &TfrmUserQX::edtUserIDChange);
  b.Method("btnAddClick", &TfrmUserQX::btnAddClick);
  b.Method("btnDelClick", &TfrmUserQX::btnDelClick);
  b.Method("btnPostClick", &TfrmUserQX::btnPostClick);
  b.Method("btnCloseClick", &TfrmUserQX::btnCloseClick);
  b.Method("N1Click", &TfrmUserQX::N1Click);
}

bool HoldsRight(const String& RightList, const String& Right) { return Pos(Right, RightList) > 0; }

namespace {

const char* const kAdminRight = "UserQX";

}  // namespace

TfrmUserQX::~TfrmUserQX() {
  if (frmUserQX == this) frmUserQX = nullptr;
  if (!FHandlersSet || !Frm_Data) return;
  TADOQuery* q = Frm_Data->qryUserQX;
  q->SetBeforePost(nullptr);
  q->SetBeforeDelete(nullptr);
  if (TField* password = q->FindField("password")) password->SetOnGetText(nullptr);
}

void TfrmUserQX::FormCreate(TObject*) {
  SetCaption("用户权限维护");
  btnPost->SetCaption("保存(&S)");
  btnClose->SetCaption("关闭(&C)");
  btnAdd->SetCaption("增加操作员");
  btnDel->SetCaption("删除选中记录");
  for (const TRight& r : Rights) {
    auto* box = dynamic_cast<TCheckBox*>(FindComponent(r.Name));
    assert(box && "every right has its box");
    box->SetCaption(r.Caption);
  }
  TADOQuery* q = Frm_Data->qryUserQX;
  Frm_Data->OpenQuery(q, "select * from tUser");
  Frm_Main->BuildGridColumns(dgUserQX, q, "UserQX");
  q->SetBeforePost(TDataSetNotifyEvent(this, &TfrmUserQX::qryUserQXBeforePost));
  q->SetBeforeDelete(TDataSetNotifyEvent(this, &TfrmUserQX::qryUserQXBeforeDelete));
  q->FieldByName("password")->SetOnGetText(TFieldGetTextEvent(this, &TfrmUserQX::PasswordGetText));
  FHandlersSet = true;
}

void TfrmUserQX::FormShow(TObject*) {
  if (!Frm_Data->qryUserQX->IsEmpty()) Frm_Data->qryUserQX->First();
}

std::vector<TCheckBox*> TfrmUserQX::RightBoxes() const {
  std::vector<TCheckBox*> boxes;
  for (int i = 0; i < ComponentCount(); ++i)
    if (auto* box = dynamic_cast<TCheckBox*>(Components(i))) boxes.push_back(box);
  return boxes;
}

String TfrmUserQX::TickedRights() const {
  String list;
  for (TCheckBox* box : RightBoxes())
    if (box->Checked()) list += box->Name() + ",";
  return list;
}

void TfrmUserQX::edtUserIDChange(TObject*) {
  TADOQuery* q = Frm_Data->qryUserQX;
  String rights = q->Active() && !q->IsEmpty() ? q->FieldByName("qxlist")->AsString() : String();
  for (TCheckBox* box : RightBoxes()) box->SetChecked(HoldsRight(rights, box->Name()));
}

void TfrmUserQX::btnAddClick(TObject*) {
  Frm_Data->qryUserQX->Append();
  for (TCheckBox* box : RightBoxes()) box->SetChecked(true);
}

void TfrmUserQX::btnDelClick(TObject*) {
  TADOQuery* q = Frm_Data->qryUserQX;
  if (q->Active() && !q->IsEmpty()) q->Delete();
}

void TfrmUserQX::btnPostClick(TObject*) {
  String rights = TickedRights();
  TADOQuery* q = Frm_Data->qryUserQX;
  q->Edit();
  q->FieldByName("qxlist")->SetAsString(rights);
  q->Post();
}

void TfrmUserQX::btnCloseClick(TObject*) { Close(); }

void TfrmUserQX::N1Click(TObject*) { Frm_Main->SaveGridColumns(dgUserQX, "UserQX", 0); }

// The grid shows that a password is set, not what it is; the cell editor (the field's edit
// text) shows what is typed.
void TfrmUserQX::PasswordGetText(TField* Sender, String& Text, bool DisplayText) {
  Text = Sender->AsString();
  if (DisplayText && !Text.empty()) Text = HiddenPassword;
}

void TfrmUserQX::Refuse(const String& Text) {
  Application->MessageBox(Text, BoxCaption, MB_OK | MB_ICONWARNING);
  Abort();
}

void TfrmUserQX::CheckRightsHolder(Int64 UserID, bool StillHolds) {
  if (StillHolds) return;
  bool heldBefore = false, heldByOthers = false;
  for (qryCheck->First(); !qryCheck->Eof(); qryCheck->Next()) {
    bool holds = HoldsRight(qryCheck->FieldByName("qxlist")->AsString(), kAdminRight);
    (qryCheck->FieldByName("userid")->AsLargeInt() == UserID ? heldBefore : heldByOthers) |= holds;
  }
  if (heldBefore && !heldByOthers) Refuse(LastRightsHolderText);
}

void TfrmUserQX::qryUserQXBeforePost(TDataSet* DataSet) {
  TField* id = DataSet->FieldByName("userid");
  Int64 userID = id->IsNull() ? -1 : id->AsLargeInt();
  Frm_Data->OpenQuery(qryCheck, "select userid, UserName, qxlist from tUser");
  // Names are matched as the login matches them: trimmed, without regard to case.
  String name = Trim(DataSet->FieldByName("UserName")->AsString());
  if (!name.empty())
    for (qryCheck->First(); !qryCheck->Eof(); qryCheck->Next())
      if (qryCheck->FieldByName("userid")->AsLargeInt() != userID &&
          SameText(Trim(qryCheck->FieldByName("UserName")->AsString()), name))
        Refuse(DuplicateNameText);
  CheckRightsHolder(userID, HoldsRight(DataSet->FieldByName("qxlist")->AsString(), kAdminRight));
}

void TfrmUserQX::qryUserQXBeforeDelete(TDataSet* DataSet) {
  // A new row not yet stored is only dropped.
  if (DataSet->State() == dsInsert) return;
  TField* id = DataSet->FieldByName("userid");
  if (id->IsNull()) return;
  Frm_Data->OpenQuery(qryCheck, "select userid, UserName, qxlist from tUser");
  CheckRightsHolder(id->AsLargeInt(), false);
}
