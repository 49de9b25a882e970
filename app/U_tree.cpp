#include "app/U_tree.h"

#include "app/SqlText.h"
#include "app/U_Data.h"
#include "app/U_Main.h"
#include "core/ClassBuilder.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "gui/Application.h"
#include "gui/Menus.h"
#include "gui/StdCtrls.h"
#include "gui/ToolBar.h"
#include "gui/TreeView.h"

#include <functional>
#include <map>

TFrm_Tree* Frm_Tree = nullptr;

const char* const TFrm_Tree::BoxCaption = "提示";
const char* const TFrm_Tree::NotNumericText = "编码必须是数字!";
const char* const TFrm_Tree::BadRuleText = "编码规则出错!";
const char* const TFrm_Tree::DuplicateText = "编码重复!,不能保存!";
const char* const TFrm_Tree::NoParentText = "编码错误,父节点不存在!";
const char* const TFrm_Tree::RenameNoCodeText = "请点击取消按钮再重新选择一个节点进行编辑!";
const char* const TFrm_Tree::RenameMissingText = "您选择的节点不存在,请点击取消按钮再重新选择一个节点进行编辑!";
const char* const TFrm_Tree::HasChildrenText = "不能删除有子目录的目录，请先删除子目录！";
const char* const TFrm_Tree::DeleteAskText = "你真的要删除所选择的目录吗？";

KELM_PUBLISH(TFrm_Tree) {
  b.Method("FormCreate", &TFrm_Tree::FormCreate);
  b.Method("FormShow", &TFrm_Tree::FormShow);
  b.Method("TreeView1Click", &TFrm_Tree::TreeView1Click);
  b.Method("TreeView1Change", &TFrm_Tree::TreeView1Change);
  b.Method("TreeView1DblClick", &TFrm_Tree::TreeView1DblClick);
  b.Method("TB_AddClick", &TFrm_Tree::TB_AddClick);
  b.Method("N1Click", &TFrm_Tree::N1Click);
  b.Method("N2Click", &TFrm_Tree::N2Click);
  b.Method("TB_EditClick", &TFrm_Tree::TB_EditClick);
  b.Method("TB_DelClick", &TFrm_Tree::TB_DelClick);
  b.Method("TB_SaveClick", &TFrm_Tree::TB_SaveClick);
  b.Method("TB_CancelClick", &TFrm_Tree::TB_CancelClick);
  b.Method("TB_SelectClick", &TFrm_Tree::TB_SelectClick);
  b.Method("TB_RefreshClick", &TFrm_Tree::TB_RefreshClick);
  b.Method("TB_CloseClick", &TFrm_Tree::TB_CloseClick);
}

// ---------------------------------------------------------------- the picker table

namespace {

std::map<int, TTreeCaller>& Callers() {
  static std::map<int, TTreeCaller> callers;
  return callers;
}

bool IsIdentifier(const String& Name) {
  if (Name.empty()) return false;
  for (char c : Name)
    if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_')) return false;
  return true;
}

}  // namespace

void RegisterTreeCaller(int Mode, const TTreeCaller& Caller) { Callers()[Mode] = Caller; }

void UnregisterTreeCaller(int Mode) { Callers().erase(Mode); }

const TTreeCaller* FindTreeCaller(int Mode) {
  auto it = Callers().find(Mode);
  return it == Callers().end() ? nullptr : &it->second;
}

// ---------------------------------------------------------------- the window

TFrm_Tree::TFrm_Tree(TComponent* AOwner) : inherited(AOwner) {}

TFrm_Tree::~TFrm_Tree() {
  if (Frm_Tree == this) Frm_Tree = nullptr;
}

void TFrm_Tree::Loaded() {
  inherited::Loaded();
  LoadImageListPictures(ImageList1, {"add", "edit", "delete", "save", "cancel", "select", "refresh", "quit"});
}

String TFrm_Tree::Table() const {
  if (!IsIdentifier(TableName)) throw ETreeTableName("编码表名称无效: \"" + TableName + "\"");
  return TableName;
}

void TFrm_Tree::Box(const String& Text, int Icon) { Application->MessageBox(Text, BoxCaption, MB_OK | Icon); }

void TFrm_Tree::FocusCode() {
  if (Edit_Code->CanFocus()) Edit_Code->SetFocus();
}

void TFrm_Tree::FormCreate(TObject*) {
  Edit_Code->SetText("");
  Edit_Name->SetText("");
  for (TADOQuery* q : {Qry_repeat, Qry, Qry_Hy}) q->SetConnectionString(Frm_Data->ConnectionString());
}

void TFrm_Tree::FormShow(TObject*) {
  SetCaption(TreeCaption);
  // A window that cannot name its table has nothing to show: it closes once the error is
  // shown (posted, as a modal window's result is only read once it is up).
  String table;
  try {
    table = Table();
  } catch (const ETreeTableName&) {
    PostMessage(Handle(), WM_CLOSE, 0, 0);
    throw;
  }
  Frm_Main->FillCodeTree(TreeView1, table, TreeCaption);
  Frm_Data->OpenQuery(Qry_Hy, "select * from " + table);
}

void TFrm_Tree::TB_RefreshClick(TObject*) {
  Frm_Main->FillCodeTree(TreeView1, Table(), TreeCaption);
  TreeView1->SetSelected(TreeView1->Items()->GetFirstNode());
}

void TFrm_Tree::ShowNode(TTreeNode* Node) {
  if (!Node) return;
  Edit_Code->SetText(TreeNodeCode(Node));
  Edit_Name->SetText(TreeNodeName(Node));
}

void TFrm_Tree::TreeView1Click(TObject*) { ShowNode(TreeView1->Selected()); }

// The edits follow the selection however it moves, keys included, so editing, renaming and
// deleting all act on the node the tree shows selected.
void TFrm_Tree::TreeView1Change(TObject*, TTreeNode* Node) { ShowNode(Node); }

void TFrm_Tree::TreeView1DblClick(TObject*) { ReturnSelection(); }

void TFrm_Tree::SetEditing(bool Editing) {
  for (TToolButton* b : {TB_Add, TB_Edit, TB_Del, TB_Select, TB_Refresh}) b->SetEnabled(!Editing);
  N1->SetEnabled(!Editing);
  N2->SetEnabled(!Editing);
  TB_Save->SetEnabled(Editing);
  TB_Cancel->SetEnabled(Editing);
}

String TFrm_Tree::LastCode(int Size, const String& Prefix) {
  String where = " where len(code)=" + SqlInt(Size);
  // A prefix test rather than like: the prefix is the edit's text.
  if (!Prefix.empty()) where += " and left(code," + SqlInt(Length(Prefix)) + ")=" + SqlStr(Prefix);
  Frm_Data->OpenQuery(Qry, "select code from " + Table() + where + " order by code");
  // Rows that are no code (letters sort after digits) do not stop the count.
  for (Qry->Last(); !Qry->Bof(); Qry->Prior()) {
    String code = Trim(Qry->Fields()->Fields(0)->AsString());
    if (IsNumericText(code)) return code;
  }
  return "";
}

void TFrm_Tree::NextCode() {
  // Only whether the table holds any code.
  Frm_Data->OpenQuery(Qry, "select top 1 code from " + Table());
  if (Qry->IsEmpty()) {
    Edit_Code->SetText("01");
    return;
  }
  String base = Trim(Edit_Code->Text());
  int n = Length(base);
  // The parent whose children the new code joins: the root, the node, or the node's parent.
  String parent = n <= 1 ? String() : AsChild == 1 ? base : base.substr(0, base.size() - 2);
  String last = LastCode(Length(parent) + 2, parent);
  Edit_Code->SetText(last.empty() ? parent + "01" : CodeAfter(last));
  Edit_Name->SetText("");
}

void TFrm_Tree::BeginAdd(Byte Child) {
  Edit_Code->SetEnabled(true);
  Edit_Name->SetEnabled(true);
  if (Edit_Name->CanFocus()) Edit_Name->SetFocus();
  IsNew = 1;
  AsChild = Child;
  NextCode();
  SetEditing(true);
}

void TFrm_Tree::BeginAddSibling() { BeginAdd(0); }
void TFrm_Tree::BeginAddChild() { BeginAdd(1); }

void TFrm_Tree::TB_AddClick(TObject*) { BeginAddChild(); }
void TFrm_Tree::N1Click(TObject*) { BeginAddSibling(); }
void TFrm_Tree::N2Click(TObject*) { BeginAddChild(); }

void TFrm_Tree::TB_EditClick(TObject*) {
  IsNew = 0;
  Edit_Name->SetEnabled(true);
  Edit_Code->SetEnabled(false);
  SetEditing(true);
}

// The edits show the selected node again rather than an abandoned proposal, so the next add
// starts from the node the tree shows.
void TFrm_Tree::TB_CancelClick(TObject*) {
  AsChild = 0;
  SetEditing(false);
  ShowNode(TreeView1->Selected());
}

String TFrm_Tree::NewCodeRefusal(const String& Code) {
  struct TCheck {
    std::function<bool()> Refused;
    const char* Text;
  };
  const String parent = Code.size() > 2 ? Code.substr(0, Code.size() - 2) : String();
  const TCheck checks[] = {
      {[&] { return !IsNumericText(Code); }, NotNumericText},
      // Fifteen levels at most: a longer code has no place in the tree.
      {[&] { return Code.size() % 2 != 0 || Code.size() > 30; }, BadRuleText},
      {[&] {
         Frm_Data->OpenQuery(Qry_repeat, "select * from " + Table() + " where code=" + SqlStr(Code));
         return !Qry_repeat->IsEmpty();
       },
       DuplicateText},
      {[&] {
         if (parent.empty()) return false;
         Frm_Data->OpenQuery(Qry, "select * from " + Table() + " where code=" + SqlStr(parent));
         return Qry->IsEmpty();
       },
       NoParentText},
  };
  for (const TCheck& c : checks)
    if (c.Refused()) return c.Text;
  return "";
}

TTreeNode* TFrm_Tree::NodeOfCode(const String& Code) const {
  TTreeNodes* nodes = TreeView1->Items();
  for (int i = 0; i < nodes->Count(); ++i)
    if (TreeNodeCode(nodes->Item(i)) == Code) return nodes->Item(i);
  return nullptr;
}

void TFrm_Tree::SaveNew() {
  String code = Trim(Edit_Code->Text());
  String name = Trim(Edit_Name->Text());
  if (String refusal = NewCodeRefusal(code); !refusal.empty()) {
    Box(refusal, MB_ICONINFORMATION);
    FocusCode();
    return;
  }
  Qry_Hy->Append();
  Qry_Hy->FieldByName("code")->SetAsString(code);
  Qry_Hy->FieldByName("name")->SetAsString(name);
  Qry_Hy->Post();
  // Under the node of its own parent code, whatever the selection: the user may have typed
  // another code than the one proposed.
  if (TTreeNode* parent = NodeOfCode(code.size() > 2 ? code.substr(0, code.size() - 2) : String())) {
    TTreeNode* node = TreeView1->Items()->AddChild(parent, code + "-" + name);
    node->SetImageIndex(0);
  } else {
    Frm_Main->FillCodeTree(TreeView1, Table(), TreeCaption);
  }
  SetEditing(false);
}

void TFrm_Tree::SaveRename() {
  String code = Trim(Edit_Code->Text());
  if (code.empty()) {
    Box(RenameNoCodeText, MB_ICONQUESTION);
    return;
  }
  Frm_Data->OpenQuery(Qry_Hy, "select * from " + Table() + " where code=" + SqlStr(code));
  if (Qry_Hy->IsEmpty()) {
    Box(RenameMissingText, MB_ICONQUESTION);
    return;
  }
  Edit_Code->SetEnabled(false);
  Edit_Name->SetEnabled(false);
  String name = Trim(Edit_Name->Text());
  Qry_Hy->Edit();
  Qry_Hy->FieldByName("name")->SetAsString(name);
  Qry_Hy->Post();
  if (TTreeNode* node = NodeOfCode(code)) node->SetText(code + "-" + name);
  SetEditing(false);
}

void TFrm_Tree::TB_SaveClick(TObject*) { IsNew == 1 ? SaveNew() : SaveRename(); }

void TFrm_Tree::TB_DelClick(TObject*) {
  TTreeNode* node = TreeView1->Selected();
  if (!node) return;
  if (node->Count() > 0) {
    Box(HasChildrenText, MB_ICONINFORMATION);
    return;
  }
  // The selected node's own code, however it was selected; the root stands for no row.
  String code = Trim(TreeNodeCode(node));
  if (code.empty()) return;
  if (Application->MessageBox(DeleteAskText, BoxCaption, MB_OKCANCEL | MB_ICONQUESTION) != IDOK) return;
  Frm_Data->ExecQuery(Frm_Data->Qry_Temp, "delete from " + Table() + " where code=" + SqlStr(code));
  node->Delete();
}

void TFrm_Tree::ReturnSelection() {
  if (CallerMode == 0) return;
  const TTreeCaller* caller = FindTreeCaller(CallerMode);
  if (caller && caller->IsOpen()) caller->Deliver(Edit_Code->Text(), Edit_Name->Text());
  Close();
}

void TFrm_Tree::TB_SelectClick(TObject*) { ReturnSelection(); }

void TFrm_Tree::TB_CloseClick(TObject*) { Close(); }
