#include "app/ufrmPactAdd.h"

#include "app/DetailRows.h"
#include "app/ListRow.h"
#include "app/RecordDialog.h"
#include "app/SaveSteps.h"
#include "app/SqlText.h"
#include "app/U_Data.h"
#include "app/U_Main.h"
#include "app/ufrmBasic.h"
#include "app/ufrmPact.h"
#include "app/ufrmSelect.h"
#include "core/ClassBuilder.h"
#include "core/FileUtils.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "data/ADODB.h"
#include "grid/DBGridEh.h"
#include "gui/Application.h"
#include "gui/Calendar.h"
#include "gui/ComCtrls.h"
#include "gui/Dialogs.h"
#include "gui/Memo.h"
#include "gui/StdCtrls.h"

#include <memory>

TfrmPactAdd* frmPactAdd = nullptr;

const char* const TfrmPactAdd::WindowCaption = "合同信息维护";
const char* const TfrmPactAdd::RequiredText = "红色显示的字段不能为空，请您重新录入！";
const char* const TfrmPactAdd::DuplicateCodeText = "合同编号重复，请您重新录入！";
const char* const TfrmPactAdd::DuplicateNameText = "合同名称重复，请您重新录入！";
const char* const TfrmPactAdd::DuplicateFileText = "文件名重复，请您重新更改此文件的文件名！";
const char* const TfrmPactAdd::CopyFailedText = "文件复制失败，未能上传：";
const char* const TfrmPactAdd::FailedText = "操作失败！";

KELM_PUBLISH(TfrmPactAdd) {
  b.Method("FormCreate", &TfrmPactAdd::FormCreate);
  b.Method("FormShow", &TfrmPactAdd::FormShow);
  b.Method("FormHide", &TfrmPactAdd::FormHide);
  b.Method("btnPostClick", &TfrmPactAdd::btnPostClick);
  b.Method("btnCloseClick", &TfrmPactAdd::btnCloseClick);
  b.Method("btnPactTypeClick", &TfrmPactAdd::btnPactTypeClick);
  b.Method("btnSelectCustClick", &TfrmPactAdd::btnSelectCustClick);
  b.Method("btnSelectPrjClick", &TfrmPactAdd::btnSelectPrjClick);
  b.Method("btnSelectEmpClick", &TfrmPactAdd::btnSelectEmpClick);
  b.Method("Button2Click", &TfrmPactAdd::Button2Click);
  b.Method("Button3Click", &TfrmPactAdd::Button3Click);
  b.Method("btnAddClick", &TfrmPactAdd::btnAddClick);
  b.Method("btnDeleteClick", &TfrmPactAdd::btnDeleteClick);
  b.Method("Button4Click", &TfrmPactAdd::Button4Click);
  b.Method("Button5Click", &TfrmPactAdd::Button5Click);
  b.Method("N1Click", &TfrmPactAdd::N1Click);
  b.Method("MenuItem1Click", &TfrmPactAdd::MenuItem1Click);
  b.Method("MenuItem2Click", &TfrmPactAdd::MenuItem2Click);
}

namespace {

using TWindow = TfrmPactAddComponents;
using TModule = TFrm_DataComponents;

// The detail lists, in the order the save writes them: the batch query, its table, the
// T_FieldShow list of its grid's columns (also the list "保存列属性" saves) and the grid.
struct TDetail {
  TADOQuery* TModule::*Query;
  const char* Table;
  const char* List;
  TDBGridEh* TWindow::*Grid;
};
const TDetail kDetails[] = {
    {&TModule::qryPactDocAdd, "t_pact_doc", "pact_doc_add", &TWindow::dgPactDocAdd},
    {&TModule::qryPactJHAdd, "t_pact_jh", "pact_jh_add", &TWindow::dgPactJHAdd},
    {&TModule::qryPactZJAdd, "t_pact_zj", "pact_zj_add", &TWindow::dgPactZJAdd},
};
enum { kDocuments, kDelivery, kFunds };

// The contract's text columns and their edits. The amount column converts the text; its
// label names it when the text is no number.
struct TTextColumn {
  const char* Column;
  TEdit* TWindow::*Edit;
  TLabel* TWindow::*Label = nullptr;
};
const TTextColumn kTextColumns[] = {
    {"PactName", &TWindow::edtPactName},
    {"PactCode", &TWindow::edtPactCode},
    {"PactType", &TWindow::edtPactType},
    {"PactMoney", &TWindow::edtPactMoney, &TWindow::Label4},
    {"CustName", &TWindow::edtCustName},
    {"PrjMan", &TWindow::edtPrjMan},
    {"PrjName", &TWindow::edtPrjName},
    {"typecode", &TWindow::edtTypeCode},
};

// A label's caption without its closing colon: the name of the field it stands before.
String FieldNameOf(const TLabel* Label) {
  String name = Label->Caption();
  for (const char* colon : {"：", ":"})
    if (EndsStr(colon, name)) return name.substr(0, name.size() - std::char_traits<char>::length(colon));
  return name;
}
struct TDateColumn {
  const char* Column;
  TDateTimePicker* TWindow::*Picker;
};
const TDateColumn kDateColumns[] = {
    {"PactDate", &TWindow::dtPactDate}, {"BeginDate", &TWindow::dtBeginDate}, {"EndDate", &TWindow::dtEndDate}};
struct TMemoColumn {
  const char* Column;
  TMemo* TWindow::*Memo;
};
const TMemoColumn kMemoColumns[] = {{"PactNote", &TWindow::mmPactNote}, {"PactCNote", &TWindow::mmPactCNote}};

// The edits marked with a red "*", in the order the check reads them.
TEdit* TWindow::* const kRequired[] = {&TWindow::edtPactName, &TWindow::edtPactCode, &TWindow::edtPactType,
                                       &TWindow::edtPactMoney, &TWindow::edtCustName, &TWindow::edtPrjName,
                                       &TWindow::edtPrjMan};

// The picker's sets for the three related records, and the edits they fill.
struct TPicker {
  TPickerSet Set;
  TEdit* TWindow::*Edit;
};
const TPicker kPickers[] = {
    {{"客户名称选择", "t_custom", "custselect", "custname"}, &TWindow::edtCustName},
    {{"项目名称选择", "dict_prj", "prjselect", "prjname"}, &TWindow::edtPrjName},
    {{"项目经理选择", "dict_emp", "empselect", "empname"}, &TWindow::edtPrjMan},
};
enum { kCustomer, kProject, kManager };

TADOQuery* DetailQuery(int Index) { return Frm_Data->*kDetails[Index].Query; }

void AppendRow(TADOQuery* Query) {
  if (Query->Active()) Query->Append();
}

void DeleteCurrentRow(TADOQuery* Query) {
  if (Query->Active() && !Query->IsEmpty()) Query->Delete();
}

}  // namespace

// ---------------------------------------------------------------- showing

TfrmPactAdd::~TfrmPactAdd() { Closed(); }

void TfrmPactAdd::FormCreate(TObject*) {
  btnPactType->SetCaption("选择");
  btnSelectCust->SetCaption("选择客户");
  btnSelectPrj->SetCaption("选择项目");
  btnSelectEmp->SetCaption("选择项目经理");
  SetCaption(WindowCaption);
}

void TfrmPactAdd::FormShow(TObject*) {
  tsPactCNote->SetTabVisible(false);
  ClearFields();
  OldCode = "";
  if (AddMode == 0) {
    OldCode = Frm_Data->qryPact->FieldByName("PactCode")->AsString();
    LoadFields();
    tsPactCNote->SetTabVisible(true);
  }
  OpenDetails();
  Opened();
}

void TfrmPactAdd::FormHide(TObject*) { Closed(); }

// The pickers find the dialog while it is open, and only then.
void TfrmPactAdd::Opened() {
  frmPactAdd = this;
  for (const TPicker& p : kPickers) RegisterRecordPickTarget(p.Set.Table, this, this->*p.Edit);
  RegisterCategoryPickTarget("pacttype", this, edtPactType, edtTypeCode);
}

void TfrmPactAdd::Closed() {
  if (frmPactAdd == this) frmPactAdd = nullptr;
  UnregisterRecordPickTargets(this);
  UnregisterCategoryPickTarget(this);
  // Attachments not saved leave no copies behind.
  FFiles.Discard();
}

void TfrmPactAdd::ClearFields() {
  for (int i = 0; i < ComponentCount(); ++i)
    if (auto* edit = dynamic_cast<TEdit*>(Components(i))) edit->SetText("");
  TDateTime today = Date();
  for (const TDateColumn& d : kDateColumns) (this->*d.Picker)->SetDate(today);
  mmPactNote->SetText("");
}

void TfrmPactAdd::LoadFields() {
  TADOQuery* pact = Frm_Data->qryPact;
  for (const TTextColumn& t : kTextColumns) (this->*t.Edit)->SetText(pact->FieldByName(t.Column)->AsString());
  for (const TDateColumn& d : kDateColumns)
    if (TField* f = pact->FieldByName(d.Column); !f->IsNull()) (this->*d.Picker)->SetDate(f->AsDateTime());
  for (const TMemoColumn& m : kMemoColumns) (this->*m.Memo)->SetText(pact->FieldByName(m.Column)->AsString());
}

void TfrmPactAdd::OpenDetails() {
  for (const TDetail& d : kDetails) {
    TADOQuery* q = Frm_Data->*d.Query;
    // A new contract starts on no stored row: rows with an empty code belong to no contract.
    String where = AddMode == 1 ? String(" where 1=0") : " where PactCode=" + SqlStr(OldCode);
    Frm_Data->OpenQuery(q, String("select * from ") + d.Table + where);
    Frm_Main->BuildGridColumns(this->*d.Grid, q, d.List);
  }
}

// ---------------------------------------------------------------- related records

void TfrmPactAdd::btnSelectCustClick(TObject*) { ShowRecordPicker(this, kPickers[kCustomer].Set); }
void TfrmPactAdd::btnSelectPrjClick(TObject*) { ShowRecordPicker(this, kPickers[kProject].Set); }
void TfrmPactAdd::btnSelectEmpClick(TObject*) { ShowRecordPicker(this, kPickers[kManager].Set); }

void TfrmPactAdd::btnPactTypeClick(TObject*) {
  std::unique_ptr<TfrmBasic> window(CreateForm<TfrmBasic>(this));
  window->PageCaption = "合同类别";
  window->SelectKind = "pacttype";
  window->ShowModal();
}

// ---------------------------------------------------------------- plans and documents

void TfrmPactAdd::Button2Click(TObject*) { AppendRow(DetailQuery(kFunds)); }
void TfrmPactAdd::Button3Click(TObject*) { DeleteCurrentRow(DetailQuery(kFunds)); }
void TfrmPactAdd::btnAddClick(TObject*) { AppendRow(DetailQuery(kDelivery)); }
void TfrmPactAdd::btnDeleteClick(TObject*) { DeleteCurrentRow(DetailQuery(kDelivery)); }

void TfrmPactAdd::Button4Click(TObject*) {
  AttachChosenDocument(FFiles, DetailQuery(kDocuments), DuplicateFileText, CopyFailedText);
}

// The file goes with the commit that deletes the row, not before.
void TfrmPactAdd::Button5Click(TObject*) { RemoveCurrentDocument(FFiles, DetailQuery(kDocuments)); }

void TfrmPactAdd::SaveColumnsOf(int Index) {
  Frm_Main->SaveGridColumns(this->*kDetails[Index].Grid, kDetails[Index].List, 1);
}

void TfrmPactAdd::N1Click(TObject*) { SaveColumnsOf(kDocuments); }
void TfrmPactAdd::MenuItem1Click(TObject*) { SaveColumnsOf(kDelivery); }
void TfrmPactAdd::MenuItem2Click(TObject*) { SaveColumnsOf(kFunds); }

// ---------------------------------------------------------------- saving

bool TfrmPactAdd::CheckInput() {
  // Editing, the contract itself is no duplicate.
  if (!CheckUniqueFields("t_pact", "PactCode", AddMode == 1 ? nullptr : &OldCode,
                         {{"PactCode", edtPactCode, DuplicateCodeText}, {"PactName", edtPactName, DuplicateNameText}}))
    return false;
  // As typed: blanks fill a field.
  for (TEdit* TWindow::*e : kRequired)
    if ((this->*e)->Text().empty()) {
      WarnBox(RequiredText);
      return false;
    }
  return true;
}

void TfrmPactAdd::WriteContract() {
  TADOQuery* pact = Frm_Data->qryPact;
  if (AddMode == 1) {
    // With the list closed the contract still goes through its query.
    if (!pact->Active()) Frm_Data->OpenQuery(pact, "select * from t_pact where 1=0");
    pact->Append();
  } else {
    if (pact->FieldByName("PactCode")->AsString() != OldCode && !pact->Locate("PactCode", OldCode, {}))
      throw EDatabaseError("The contract " + OldCode + " is no longer in the list");
    pact->Edit();
  }
  for (const TTextColumn& t : kTextColumns) {
    try {
      pact->FieldByName(t.Column)->SetAsString((this->*t.Edit)->Text());
    } catch (const EConvertError& e) {
      // Which field holds the text the column refused.
      if (!t.Label) throw;
      throw EConvertError(FieldNameOf(this->*t.Label) + ": " + e.Message());
    }
  }
  // Whole days, so a contract dated today falls in any range that ends today.
  for (const TDateColumn& d : kDateColumns)
    pact->FieldByName(d.Column)->SetAsDateTime(static_cast<TDateTime>(Trunc((this->*d.Picker)->Date())));
  for (const TMemoColumn& m : kMemoColumns) pact->FieldByName(m.Column)->SetAsString((this->*m.Memo)->Text());
  pact->Post();
}

bool TfrmPactAdd::SaveContract() {
  String code = edtPactCode->Text();
  // A plan row still being typed joins the cache first, as part of the input.
  for (const TDetail& d : kDetails)
    if ((Frm_Data->*d.Query)->Active()) (Frm_Data->*d.Query)->CheckBrowseMode();
  FFiles.BeforeCommit();
  try {
    Frm_Data->RunInTransaction([&] {
      WriteContract();
      PassSaveStep("contract-posted");
      // The invoices follow a changed code, which the dialog does not show.
      if (AddMode == 0 && code != OldCode)
        Frm_Data->ExecQuery(Frm_Data->Qry_Temp,
                            "update t_pact_fp set PactCode=" + SqlStr(code) + " where PactCode=" + SqlStr(OldCode));
      for (const TDetail& d : kDetails) {
        TADOQuery* q = Frm_Data->*d.Query;
        StampDetailCode(q, "PactCode", code);
        q->UpdateBatch();
        PassSaveStep("batch-applied");
      }
    });
  } catch (const EConvertError& e) {
    // The text a field refused is told on a second line.
    SaveFailed(e.Message());
    return false;
  } catch (...) {
    SaveFailed(String());
    return false;
  }
  PassSaveStep("committed");
  FFiles.AfterCommit();
  return true;
}

void TfrmPactAdd::SaveFailed(const String& Reason) {
  AbandonEdits();
  FFiles.AfterRollback();
  // The list's footer counted a posted row that the rollback took back.
  if (frmPact) frmPact->dgPact->SumList()->Recalculate();
  ShowMessage(Reason.empty() ? String(FailedText) : FailedText + String("\n") + Reason);
}

void TfrmPactAdd::AbandonEdits() {
  // The rollback took back what was written; a row still being edited goes here.
  CancelEditing(Frm_Data->qryPact);
  for (const TDetail& d : kDetails) CancelEditing(Frm_Data->*d.Query);
}

void TfrmPactAdd::AfterSave() {
  if (AddMode == 1) {
    ClearFields();
    OpenDetails();
    return;
  }
  Close();
}

void TfrmPactAdd::btnPostClick(TObject*) {
  if (!CheckInput()) return;
  bool saved;
  {
    // A failed save keeps the input, so it can be put right and saved again, and the list
    // stays on its row; a stored contract is the list's current row.
    TListRowScope row(Frm_Data->qryPact);
    saved = SaveContract();
    if (saved) row.Keep();
  }
  // The list shows what was stored, as a search would: the count, and the contract's details,
  // notes, panels and totals, which the save wrote after the list had followed its row.
  if (frmPact) frmPact->RefreshView();
  if (saved) AfterSave();
}

void TfrmPactAdd::btnCloseClick(TObject*) { Close(); }
