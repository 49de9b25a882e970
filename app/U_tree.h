#pragma once
// The code-tree window: edits the codes of any table with the columns code and name (two
// digits a level) as a tree, and hands the chosen code and name back to the dialog that
// opened it as a picker. Its three queries work on connections of their own to the database
// file, made from the data module's connection string and closed when the window is freed.
#include "forms/TFrm_Tree.h"
#include "app/TreeCodes.h"
#include "gui/Forms.h"

#include <functional>

class TTreeNode;

class TFrm_Tree : public TFrm_TreeLayout<TForm> {
  KELM_CLASS(TFrm_Tree, TFrm_TreeLayout<TForm>)
public:
  explicit TFrm_Tree(TComponent* AOwner);
  ~TFrm_Tree() override;

  // ---- set by the opener
  // The code table, e.g. "Category_Cust": an identifier (letters, digits, "_"), else every
  // statement of the window refuses to run with ETreeTableName.
  String TableName;
  // The window's caption and the root node's text.
  String TreeCaption;
  // Which opener a selection fills (a row of the picker table); 0: none.
  int CallerMode = 0;

  // ---- the pending save
  Byte IsNew = 0;    // inserts, else renames
  Byte AsChild = 0;  // the new code is a child, else a sibling, of the current node

  // Proposes the code of the pending new node in Edit_Code: "01" in an empty table (the
  // name kept); else the largest code at its place with its last two digits plus one, the
  // name emptied. A full level (…99) proposes nothing: a code is never proposed under
  // another parent.
  void NextCode();
  void BeginAddSibling();
  void BeginAddChild();
  // Writes the code and name edits into the opener of CallerMode and closes; mode 0 does
  // nothing, and a mode whose dialog is not open writes nothing and closes.
  void ReturnSelection();

  // The layout's image list receives its pictures when it has loaded.
  void Loaded() override;

  static const char* const BoxCaption;          // "提示"
  static const char* const NotNumericText;      // "编码必须是数字!"
  static const char* const BadRuleText;         // "编码规则出错!"
  static const char* const DuplicateText;       // "编码重复!,不能保存!"
  static const char* const NoParentText;        // "编码错误,父节点不存在!"
  static const char* const RenameNoCodeText;    // "请点击取消按钮再重新选择一个节点进行编辑!"
  static const char* const RenameMissingText;   // "您选择的节点不存在,请点击取消按钮再重新选择一个节点进行编辑!"
  static const char* const HasChildrenText;     // "不能删除有子目录的目录，请先删除子目录！"
  static const char* const DeleteAskText;       // "你真的要删除所选择的目录吗？"

  // ---- handlers named by the layout
  void FormCreate(TObject* Sender);
  void FormShow(TObject* Sender);
  void TreeView1Click(TObject* Sender);
  void TreeView1Change(TObject* Sender, TTreeNode* Node);
  void TreeView1DblClick(TObject* Sender);
  void TB_AddClick(TObject* Sender);
  void N1Click(TObject* Sender);
  void N2Click(TObject* Sender);
  void TB_EditClick(TObject* Sender);
  void TB_DelClick(TObject* Sender);
  void TB_SaveClick(TObject* Sender);
  void TB_CancelClick(TObject* Sender);
  void TB_SelectClick(TObject* Sender);
  void TB_RefreshClick(TObject* Sender);
  void TB_CloseClick(TObject* Sender);

private:
  // TableName, checked: the one way it enters a statement.
  String Table() const;
  void Box(const String& Text, int Icon);
  void FocusCode();
  void ShowNode(TTreeNode* Node);
  // Browsing (add, edit, delete, select, refresh) or editing (save, cancel).
  void SetEditing(bool Editing);
  void BeginAdd(Byte Child);
  // The largest all-digit code of Size characters that starts with Prefix, "" for none.
  String LastCode(int Size, const String& Prefix);
  // The refusal of a new code, "" when it can be stored.
  String NewCodeRefusal(const String& Code);
  void SaveNew();
  void SaveRename();
  // The tree's node of Code ("" the root); nullptr when it shows none.
  TTreeNode* NodeOfCode(const String& Code) const;
};

extern TFrm_Tree* Frm_Tree;

// A table name that is no identifier.
KELM_EXCEPTION(ETreeTableName, Exception);

// ---- the openers of the window as a picker
// A dialog that takes a picked code: whether it is open (its global instance is set), and
// the writing of the code into its type-code field and of the name into its category edit.
struct TTreeCaller {
  std::function<bool()> IsOpen;
  std::function<void(const String& Code, const String& Name)> Deliver;
};
// The row of a caller mode; a dialog's unit adds its row once.
void RegisterTreeCaller(int Mode, const TTreeCaller& Caller);
void UnregisterTreeCaller(int Mode);
// The row of Mode, nullptr when none was added.
const TTreeCaller* FindTreeCaller(int Mode);

// The row of a dialog class T reached through its global instance Instance, with its text
// field TypeCode and its category edit CategoryEdit.
// (The edit may be a member of a base, as a layout's generated components are.)
template <class T, class E, class M>
void RegisterTreeCaller(int Mode, T*& Instance, String T::*TypeCode, E* M::*CategoryEdit) {
  T** instance = &Instance;
  RegisterTreeCaller(Mode, TTreeCaller{[instance] { return *instance != nullptr; },
                                       [instance, TypeCode, CategoryEdit](const String& Code, const String& Name) {
                                         T* dialog = *instance;
                                         dialog->*TypeCode = Code;
                                         if (E* edit = dialog->*CategoryEdit) edit->SetText(Name);
                                       }});
}
