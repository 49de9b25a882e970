#include "app/ufrmBasic.h"

#include "app/PickTargets.h"
#include "app/SqlText.h"
#include "app/TreeCodes.h"
#include "app/U_Data.h"
#include "app/U_Main.h"
#include "core/ClassBuilder.h"
#include "core/StrUtils.h"
#include "gui/Application.h"
#include "gui/ComCtrls.h"
#include "gui/ToolBar.h"
#include "gui/TreeView.h"
#include "gui/Menus.h"
#include "gui/StdCtrls.h"

#include <algorithm>

TfrmBasic* frmBasic = nullptr;

const char* const TfrmBasic::BoxCaption = "提示";
const char* const TfrmBasic::NoNodeText = "您没有选择节点，请选择！";
const char* const TfrmBasic::RootDeleteText = "根节点不能删除，请重新选择！";
const char* const TfrmBasic::RootEditText = "根节点不能编辑，请重新选择！";
const char* const TfrmBasic::DeleteAskText = "如果您选择的是父节点，其子节点也将会删除，点击确定继续！";
const char* const TfrmBasic::NotNumericText = "编码必须是数字!";
const char* const TfrmBasic::BadRuleText = "编码规则出错!";
const char* const TfrmBasic::DuplicateText = "编码重复!,不能保存!";

KELM_PUBLISH(TfrmBasic) {
  b.Method("FormCreate", &TfrmBasic::FormCreate);
  b.Method("FormShow", &TfrmBasic::FormShow);
  b.Method("pcBasicChange", &TfrmBasic::pcBasicChange);
  b.Method("tbRefreshClick", &TfrmBasic::tbRefreshClick);
  b.Method("tvBasicClick", &TfrmBasic::tvBasicClick);
  b.Method("tvBasicChange", &TfrmBasic::tvBasicChange);
  b.Method("tvBasicDblClick", &TfrmBasic::tvBasicDblClick);
  b.Method("TB_AddClick", &TfrmBasic::TB_AddClick);
  b.Method("N1Click", &TfrmBasic::N1Click);
  b.Method("N2Click", &TfrmBasic::N2Click);
  b.Method("TB_EditClick", &TfrmBasic::TB_EditClick);
  b.Method("TB_DelClick", &TfrmBasic::TB_DelClick);
  b.Method("TB_SaveClick", &TfrmBasic::TB_SaveClick);
  b.Method("TB_CancelClick", &TfrmBasic::TB_CancelClick);
  b.Method("tbSelectClick", &TfrmBasic::tbSelectClick);
  b.Method("tbExitClick", &TfrmBasic::tbExitClick);
}

namespace {

TPickTargets& CategoryTargets() {
  static TPickTargets* targets = new TPickTargets();  // never freed: dialogs may outlive statics
  return *targets;
}

}  // namespace

void RegisterCategoryPickTarget(const String& Kind, TComponent* Dialog, TCustomEdit* NameEdit, TCustomEdit* CodeEdit) {
  CategoryTargets().Add(Kind, Dialog, {NameEdit, CodeEdit});
}

void UnregisterCategoryPickTarget(TComponent* Dialog) { CategoryTargets().Remove(Dialog); }

bool DeliverCategoryPick(const String& Kind, const String& Name, const String& Code) {
  return CategoryTargets().Deliver(Kind, {Name, Code}) > 0;
}

// ---------------------------------------------------------------- the window

int TfrmBasic::Box(const String& Text, int Buttons) {
  return Application->MessageBox(Text, BoxCaption, Buttons | MB_ICONINFORMATION);
}

String TfrmBasic::Kind() const { return pcBasic->ActivePage() ? pcBasic->ActivePage()->Name() : String(); }

void TfrmBasic::FormCreate(TObject*) { SetCaption("基本信息设置"); }

void TfrmBasic::FormShow(TObject*) {
  if (!PageCaption.empty()) pcBasic->SetActivePage(PageCaption == "合同类别" ? pacttype : depart);
  tbRefreshClick(nullptr);
  if (!PageCaption.empty()) pcBasic->SetEnabled(false);
}

void TfrmBasic::pcBasicChange(TObject*) { tbRefreshClick(nullptr); }

void TfrmBasic::tbRefreshClick(TObject*) {
  TTabSheet* page = pcBasic->ActivePage();
  Frm_Main->FillCategoryTree(tvBasic, page->Name(), page->Caption());
  ShowNode(tvBasic->Selected());
  pcBasic->SetEnabled(true);
  tvBasic->SetEnabled(true);
}

void TfrmBasic::ShowNode(TTreeNode* Node) {
  if (!Node) return;
  edtCode->SetText(TreeNodeCode(Node));
  edtName->SetText(TreeNodeName(Node));
}

void TfrmBasic::tvBasicClick(TObject*) { ShowNode(tvBasic->Selected()); }

// The edits follow the selection however it moves, keys included.
void TfrmBasic::tvBasicChange(TObject*, TTreeNode* Node) { ShowNode(Node); }

void TfrmBasic::tvBasicDblClick(TObject*) { tbSelectClick(nullptr); }

void TfrmBasic::SetEditing(bool Editing) {
  TB_Add->SetEnabled(!Editing);
  TB_Edit->SetEnabled(!Editing);
  TB_Del->SetEnabled(!Editing);
  TB_Save->SetEnabled(Editing);
  TB_Cancel->SetEnabled(Editing);
  pcBasic->SetEnabled(!Editing);
  tvBasic->SetEnabled(!Editing);
  edtName->SetEnabled(Editing);
}

void TfrmBasic::BeginEditing() {
  SetEditing(true);
  if (edtName->CanFocus()) edtName->SetFocus();
}

void TfrmBasic::NextCode() {
  String base = Trim(edtCode->Text());
  bool child = AsChild == 1;
  int length = base.empty() ? 2 : Length(base) + (child ? 2 : 0);
  String prefix = child ? base : LeftStr(base, std::max(0, Length(base) - 2));
  TADOQuery* q = Frm_Data->Qry_Temp;
  // A prefix test rather than like: the code is the user's text.
  Frm_Data->OpenQuery(q, "select Max(code) from dict_cate where TableName=" + SqlStr(Kind()) + " and left(code," +
                             SqlInt(Length(prefix)) + ")=" + SqlStr(prefix) +
                             " and len(code)=" + SqlInt(length));
  String max = q->IsEmpty() ? String() : Trim(q->Fields()->Fields(0)->AsString());
  String proposal;
  if (!max.empty()) proposal = CodeAfter(max);
  else proposal = child ? base + "01" : String("01");
  edtCode->SetText(proposal);
}

void TfrmBasic::BeginAddSibling() {
  IsNew = 1;
  AsChild = 0;
  BeginEditing();
  NextCode();
}

void TfrmBasic::BeginAddChild() {
  IsNew = 1;
  AsChild = 1;
  BeginEditing();
  NextCode();
}

void TfrmBasic::TB_AddClick(TObject*) { BeginAddChild(); }
void TfrmBasic::N1Click(TObject*) { BeginAddSibling(); }
void TfrmBasic::N2Click(TObject*) { BeginAddChild(); }

void TfrmBasic::TB_EditClick(TObject*) {
  if (edtCode->Text().empty()) {
    Box(RootEditText, MB_OK);
    return;
  }
  IsNew = 0;
  BeginEditing();
}

void TfrmBasic::TB_DelClick(TObject*) {
  TTreeNode* node = tvBasic->Selected();
  if (!node) {
    Box(NoNodeText, MB_OK);
    return;
  }
  String code = Trim(TreeNodeCode(node));
  if (code.empty()) {
    Box(RootDeleteText, MB_OK);
    return;
  }
  if (Box(DeleteAskText, MB_OKCANCEL) == IDOK)
    // The node and every code that starts with it: a prefix test, whatever the code holds.
    Frm_Data->ExecQuery(Frm_Data->Qry_Temp, "delete from dict_cate where TableName=" + SqlStr(Kind()) +
                                                " and left(code," + SqlInt(Length(code)) + ")=" + SqlStr(code));
  tbRefreshClick(nullptr);
}

String TfrmBasic::CodeRefusal(const String& Code) const {
  if (!IsNumericText(Code)) return NotNumericText;
  if (Code.size() % 2 != 0 || Code.size() > 30) return BadRuleText;
  if (IsNew != 1) return "";
  TADOQuery* q = Frm_Data->Qry_Temp;
  Frm_Data->OpenQuery(q, "select code from dict_cate where TableName=" + SqlStr(Kind()) + " and code=" + SqlStr(Code));
  return q->IsEmpty() ? String() : String(DuplicateText);
}

void TfrmBasic::TB_SaveClick(TObject*) {
  String code = Trim(edtCode->Text());
  String name = Trim(edtName->Text());
  if (String refusal = CodeRefusal(code); !refusal.empty()) {
    Box(refusal, MB_OK);
    if (edtCode->CanFocus()) edtCode->SetFocus();
    return;
  }
  if (IsNew == 1)
    Frm_Data->ExecQuery(Frm_Data->Qry_Temp, "insert into dict_cate(name,code,tableName) values(" + SqlStr(name) + "," +
                                                SqlStr(code) + "," + SqlStr(Kind()) + ")");
  else
    Frm_Data->ExecQuery(Frm_Data->Qry_Temp, "update dict_cate set name=" + SqlStr(name) + " where TableName=" +
                                                SqlStr(Kind()) + " and code=" + SqlStr(code));
  SetEditing(false);
  tbRefreshClick(nullptr);
}

// The edits show the selected node again, not the abandoned proposal, so the next add starts
// from the node the tree shows.
void TfrmBasic::TB_CancelClick(TObject*) {
  SetEditing(false);
  ShowNode(tvBasic->Selected());
}

void TfrmBasic::tbSelectClick(TObject*) {
  if (SelectKind.empty()) return;
  DeliverCategoryPick(SelectKind, edtName->Text(), edtCode->Text());
  SetModalResult(mrOk);
}

void TfrmBasic::tbExitClick(TObject*) { Close(); }
