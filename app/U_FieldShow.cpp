#include "app/U_FieldShow.h"

#include "app/SqlText.h"
#include "app/U_Data.h"
#include "core/ClassBuilder.h"
#include "core/StrUtils.h"
#include "gui/Dialogs.h"

#include <memory>

TFrm_FieldShow* Frm_FieldShow = nullptr;

const char* const TFrm_FieldShow::DoneText = "修改完成！";

KELM_PUBLISH(TFrm_FieldShow) {
  b.Method("FormCreate", &TFrm_FieldShow::FormCreate);
  b.Method("FormShow", &TFrm_FieldShow::FormShow);
  b.Method("SP_rightClick", &TFrm_FieldShow::SP_rightClick);
  b.Method("SP_allrightClick", &TFrm_FieldShow::SP_allrightClick);
  b.Method("SP_leftClick", &TFrm_FieldShow::SP_leftClick);
  b.Method("SP_allleftClick", &TFrm_FieldShow::SP_allleftClick);
  b.Method("SrcListDblClick", &TFrm_FieldShow::SrcListDblClick);
  b.Method("DstListDblClick", &TFrm_FieldShow::DstListDblClick);
  b.Method("Btn_okClick", &TFrm_FieldShow::Btn_okClick);
  b.Method("Btn_exitClick", &TFrm_FieldShow::Btn_exitClick);
}

void TFrm_FieldShow::FormCreate(TObject*) { SetCaption("选择显示的字段"); }

void TFrm_FieldShow::FormShow(TObject*) {
  for (TADOQuery* q : {Qry_src, Qry_Dst, Qry_temp}) q->SetConnection(Frm_Data->ADOConnection1);
  FillList(Qry_src, SrcList, false);
  FillList(Qry_Dst, DstList, true);
  UpdateButtons();
}

void TFrm_FieldShow::FillList(TADOQuery* Query, TListBox* List, bool Shown) {
  Frm_Data->OpenQuery(Query, String("select * from T_FieldShow where show=") + (Shown ? "true" : "false") +
                                 " and TableName=" + SqlStr(TableName));
  List->Items()->Clear();
  for (Query->First(); !Query->Eof(); Query->Next()) List->Items()->Add(Query->FieldByName("name")->AsString());
}

void TFrm_FieldShow::UpdateButtons() {
  bool src = SrcList->Items()->Count() > 0;
  bool dst = DstList->Items()->Count() > 0;
  SP_right->SetEnabled(src);
  SP_allright->SetEnabled(src);
  SP_left->SetEnabled(dst);
  SP_allleft->SetEnabled(dst);
}

void TFrm_FieldShow::MoveSelected(TListBox* From, TListBox* To) {
  int i = From->ItemIndex();
  if (i >= 0) {
    To->Items()->Add(From->Items()->Strings(i));
    From->Items()->Delete(i);
  }
  if (From->Items()->Count() > 0) From->SetItemIndex(0);
  UpdateButtons();
}

void TFrm_FieldShow::MoveAll(TListBox* From, TListBox* To) {
  for (int i = 0; i < From->Items()->Count(); ++i) To->Items()->Add(From->Items()->Strings(i));
  From->Items()->Clear();
  UpdateButtons();
}

void TFrm_FieldShow::SP_rightClick(TObject*) { MoveSelected(SrcList, DstList); }
void TFrm_FieldShow::SP_allrightClick(TObject*) { MoveAll(SrcList, DstList); }
void TFrm_FieldShow::SP_leftClick(TObject*) { MoveSelected(DstList, SrcList); }
void TFrm_FieldShow::SP_allleftClick(TObject*) { MoveAll(DstList, SrcList); }
void TFrm_FieldShow::SrcListDblClick(TObject*) { MoveSelected(SrcList, DstList); }
void TFrm_FieldShow::DstListDblClick(TObject*) { MoveSelected(DstList, SrcList); }

void TFrm_FieldShow::Btn_okClick(TObject*) {
  struct TSide {
    TListBox* List;
    const char* Show;
  };
  const TSide sides[] = {{SrcList, "false"}, {DstList, "true"}};
  // All or nothing: a failing update leaves every row as it was.
  Frm_Data->RunInTransaction([&] {
    for (const TSide& s : sides)
      for (int i = 0; i < s.List->Items()->Count(); ++i)
        Frm_Data->ExecQuery(Qry_temp, String("update T_FieldShow set show=") + s.Show +
                                          " where name=" + SqlStr(Trim(s.List->Items()->Strings(i))) +
                                          " and TableName=" + SqlStr(TableName));
  });
  ShowMessage(DoneText);
  Close();
}

void TFrm_FieldShow::Btn_exitClick(TObject*) { Close(); }

void ShowFieldChooser(TComponent* Owner, const String& TableName) {
  std::unique_ptr<TFrm_FieldShow> chooser(CreateForm<TFrm_FieldShow>(Owner));
  chooser->TableName = TableName;
  chooser->ShowModal();
}
