#pragma once
// The category window: the department and contract-type trees of dict_cate, edited in place
// (add a sibling or a child, rename, delete a branch) and, when opened by a dialog, a picker
// that writes the chosen name and code into that dialog's edits.
#include "forms/TfrmBasic.h"
#include "gui/Forms.h"

class TCustomEdit;
class TTreeNode;

class TfrmBasic : public TfrmBasicLayout<TForm> {
  KELM_CLASS(TfrmBasic, TfrmBasicLayout<TForm>)
public:
  explicit TfrmBasic(TComponent* AOwner) : inherited(AOwner) {}

  // ---- set by the opener
  // The page to open ("合同类别" or "部门类别"); empty: the menu's free choice of pages.
  String PageCaption;
  // "depart" or "pacttype" when opened to pick a value; empty when opened to edit.
  String SelectKind;

  // ---- the pending save
  Byte IsNew = 0;    // inserts, else renames
  Byte AsChild = 0;  // the new code is a child, else a sibling, of the current node

  // The code proposed for the pending new node, written into edtCode: the last two digits
  // of the largest code at its place, plus one; "" when that level is full (99).
  void NextCode();
  void BeginAddSibling();
  void BeginAddChild();

  // The kind of the page shown: its name.
  String Kind() const;

  static const char* const BoxCaption;        // "提示"
  static const char* const NoNodeText;        // "您没有选择节点，请选择！"
  static const char* const RootDeleteText;    // "根节点不能删除，请重新选择！"
  static const char* const RootEditText;      // "根节点不能编辑，请重新选择！"
  static const char* const DeleteAskText;     // "如果您选择的是父节点，其子节点也将会删除，点击确定继续！"
  static const char* const NotNumericText;    // "编码必须是数字!"
  static const char* const BadRuleText;       // "编码规则出错!"
  static const char* const DuplicateText;     // "编码重复!,不能保存!"

  // ---- handlers named by the layout
  void FormCreate(TObject* Sender);
  void FormShow(TObject* Sender);
  void pcBasicChange(TObject* Sender);
  void tbRefreshClick(TObject* Sender);
  void tvBasicClick(TObject* Sender);
  void tvBasicChange(TObject* Sender, TTreeNode* Node);
  void tvBasicDblClick(TObject* Sender);
  void TB_AddClick(TObject* Sender);
  void N1Click(TObject* Sender);
  void N2Click(TObject* Sender);
  void TB_EditClick(TObject* Sender);
  void TB_DelClick(TObject* Sender);
  void TB_SaveClick(TObject* Sender);
  void TB_CancelClick(TObject* Sender);
  void tbSelectClick(TObject* Sender);
  void tbExitClick(TObject* Sender);

private:
  int Box(const String& Text, int Buttons);
  void ShowNode(TTreeNode* Node);
  void BeginEditing();
  // Browsing (add, edit, delete available) or editing (save, cancel; tabs and tree locked).
  void SetEditing(bool Editing);
  // The refusal of a code the save cannot store, "" when it can.
  String CodeRefusal(const String& Code) const;
};

extern TfrmBasic* frmBasic;

// Where a pick goes: the dialog open at the moment that takes a category of one kind,
// with its name edit and its (hidden) code edit. A dialog registers itself while it is
// open; a freed dialog is dropped from the registry by itself.
void RegisterCategoryPickTarget(const String& Kind, TComponent* Dialog, TCustomEdit* NameEdit, TCustomEdit* CodeEdit);
void UnregisterCategoryPickTarget(TComponent* Dialog);
// Writes Name and Code into the registered dialog of Kind; false when none is open.
bool DeliverCategoryPick(const String& Kind, const String& Name, const String& Code);
