#pragma once
// The column chooser: moves a list's fields between hidden and shown. Titles address the
// T_FieldShow rows, so rows sharing a title are shown or hidden together; the order of the
// shown list is not kept (the columns keep their ShowID order).
#include "forms/TFrm_FieldShow.h"
#include "gui/Forms.h"

class TFrm_FieldShow : public TFrm_FieldShowLayout<TForm> {
  KELM_CLASS(TFrm_FieldShow, TFrm_FieldShowLayout<TForm>)
public:
  explicit TFrm_FieldShow(TComponent* AOwner) : inherited(AOwner) {}

  // The list name, set by the opening window before showing.
  String TableName;

  static const char* const DoneText;  // "修改完成！"

  // ">" and ">>" exactly when SrcList has entries, "<" and "<<" when DstList has.
  void UpdateButtons();

  // ---- handlers named by the layout
  void FormCreate(TObject* Sender);
  void FormShow(TObject* Sender);
  void SP_rightClick(TObject* Sender);
  void SP_allrightClick(TObject* Sender);
  void SP_leftClick(TObject* Sender);
  void SP_allleftClick(TObject* Sender);
  void SrcListDblClick(TObject* Sender);
  void DstListDblClick(TObject* Sender);
  void Btn_okClick(TObject* Sender);
  void Btn_exitClick(TObject* Sender);

private:
  void FillList(TADOQuery* Query, TListBox* List, bool Shown);
  // Moves the selected entry of From to the end of To; From's first entry is selected after.
  void MoveSelected(TListBox* From, TListBox* To);
  void MoveAll(TListBox* From, TListBox* To);
};

extern TFrm_FieldShow* Frm_FieldShow;

// The chooser for the list TableName, owned by Owner, shown modally and freed.
void ShowFieldChooser(TComponent* Owner, const String& TableName);
