#pragma once
// The depot names "仓库名称管理": adds, renames and deletes the rows of Dict_DepotName, shown
// in a grid over the data module's Qry_Other. A rename reaches every bill of the depot in the
// same transaction; a delete leaves the bills' names as they are.
#include "forms/TFrm_DepotName.h"
#include "gui/Forms.h"

class TFrm_DepotName : public TFrm_DepotNameLayout<TForm> {
  KELM_CLASS(TFrm_DepotName, TFrm_DepotNameLayout<TForm>)
public:
  explicit TFrm_DepotName(TComponent* AOwner) : inherited(AOwner) {}

  // ---- the pending save
  int AddFlag = 0;  // 1 the save appends, else it renames OldName
  String OldName;

  static const char* const NameRequiredText;  // "名称不能为空!"
  static const char* const DuplicateText;     // "仓库名称重复，请换一个仓库名称！"
  static const char* const DeleteQuestion;    // "您确定要删除该仓库吗？"

  void ClearFields();
  void LoadFields();

  // ---- handlers named by the layout
  void FormShow(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void TB_AddClick(TObject* Sender);
  void TB_EditClick(TObject* Sender);
  void TB_SaveClick(TObject* Sender);
  void TB_CancelClick(TObject* Sender);
  void TB_DelClick(TObject* Sender);
  void TB_ExitClick(TObject* Sender);

private:
  // Editing: the name panel and Save/Cancel on, the rest off; else the other way round.
  void SetEditing(bool Editing);
  bool NameTaken(const String& Name);
};
