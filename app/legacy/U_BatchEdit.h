#pragma once
// The batch category change "批量修改分类": gives every customer selected in the customer
// list's grid one customer category, chosen in the category tree (mode 2), in one
// transaction. The goods mode (1) offers the goods categories and changes nothing.
#include "forms/TFrm_BatchEdit.h"
#include "gui/Forms.h"

class TFrm_BatchEdit : public TFrm_BatchEditLayout<TForm> {
  KELM_CLASS(TFrm_BatchEdit, TFrm_BatchEditLayout<TForm>)
public:
  explicit TFrm_BatchEdit(TComponent* AOwner) : inherited(AOwner) {}
  ~TFrm_BatchEdit() override;

  // ---- set by the opener
  int Mode = 2;  // 1 goods categories, 2 customer categories
  // ---- the chosen category's code
  String TypeCode;

  static const char* const EmptyCategoryText;  // "行业类别不能为空!"
  static const char* const DoneText;           // "批量修改成功"

  // ---- handlers named by the layout
  void FormShow(TObject* Sender);
  void Btn_OKClick(TObject* Sender);
  void Btn_ExitClick(TObject* Sender);
  void Edit_CategoryButtonClick(TObject* Sender);
};

extern TFrm_BatchEdit* Frm_BatchEdit;
