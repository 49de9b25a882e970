#pragma once
// The drop-down lists a grid cell offers: the entries of the lists "员工身份", "附件类型" and
// "合同文件" in dict_combo, one list per tab, typed and changed in the grid.
#include "forms/TFrm_Other.h"
#include "gui/Forms.h"

class TDataSet;

class TFrm_Other : public TFrm_OtherLayout<TForm> {
  KELM_CLASS(TFrm_Other, TFrm_OtherLayout<TForm>)
public:
  explicit TFrm_Other(TComponent* AOwner) : inherited(AOwner) {}
  ~TFrm_Other() override;

  // The list the active tab edits: its caption.
  String ListName() const;

  // ---- handlers named by the layout
  void FormCreate(TObject* Sender);
  void FormShow(TObject* Sender);
  void PageControl1Change(TObject* Sender);
  void ToolButton3Click(TObject* Sender);
  void ToolButton5Click(TObject* Sender);
  void ToolButton7Click(TObject* Sender);
  void TB_ExitClick(TObject* Sender);

private:
  // A row made in the grid joins the active list at once.
  void NewEntry(TDataSet* DataSet);

  bool FHooked = false;
};
