#include "app/ufrmPrjAdd.h"

#include "app/DetailRows.h"
#include "app/ListRow.h"
#include "app/RecordDialog.h"
#include "app/SqlText.h"
#include "app/U_Data.h"
#include "app/U_Main.h"
#include "app/ufrmPrj.h"
#include "app/ufrmSelect.h"
#include "core/ClassBuilder.h"
#include "core/DateUtils.h"
#include "core/SysUtils.h"
#include "data/ADODB.h"
#include "grid/DBGridEh.h"
#include "gui/Application.h"
#include "gui/Calendar.h"
#include "gui/Dialogs.h"
#include "gui/Memo.h"
#include "gui/StdCtrls.h"

#include <memory>

TfrmPrjAdd* frmPrjAdd = nullptr;

const char* const TfrmPrjAdd::WindowCaption = "项目信息维护";
const char* const TfrmPrjAdd::DuplicateCodeText = "项目编号重复，请您重新录入！";
const char* const TfrmPrjAdd::DuplicateNameText = "项目名称重复，请您重新录入！";
const char* const TfrmPrjAdd::RequiredText = "红色显示的字段不能为空，请您重新录入！";
const char* const TfrmPrjAdd::DuplicateFileText = "文件名重复，请您重新更改此文件的文件名！";
const char* const TfrmPrjAdd::CopyFailedText = "文件复制失败，未能上传：";

KELM_PUBLISH(TfrmPrjAdd) {
  b.Method("FormCreate", &TfrmPrjAdd::FormCreate);
  b.Method("FormShow", &TfrmPrjAdd::FormShow);
  b.Method("FormHide", &TfrmPrjAdd::FormHide);
  b.Method("btnPostClick", &TfrmPrjAdd::btnPostClick);
  b.Method("btnCloseClick", &TfrmPrjAdd::btnCloseClick);
  b.Method("btnAddClick", &TfrmPrjAdd::btnAddClick);
  b.Method("btnDeleteClick", &TfrmPrjAdd::btnDeleteClick);
  b.Method("btnSelectCustClick", &TfrmPrjAdd::btnSelectCustClick);
  b.Method("btnSelectEmpClick", &TfrmPrjAdd::btnSelectEmpClick);
  b.Method("N1Click", &TfrmPrjAdd::N1Click);
}

namespace {

using TWindow = TfrmPrjAddComponents;

// The T_FieldShow list of the documents grid (also the list "保存列属性" saves).
const char* const kDocumentList = "dict_prj_detail_add";

// The project's text columns and their edits, the required ones (red "*") in the order the
// check reads them.
struct TTextColumn {
  const char* Column;
  TEdit* TWindow::*Edit;
  bool Required;
};
const TTextColumn kTextColumns[] = {
    {"PrjName", &TWindow::edtPrjName, true},   {"PrjType", &TWindow::edtPrjType, true},
    {"PrjCode", &TWindow::edtPrjCode, true},   {"CustName", &TWindow::edtCustName, true},
    {"PrjMan", &TWindow::edtPrjMan, true},
};
struct TDateColumn {
  const char* Column;
  TDateTimePicker* TWindow::*Picker;
};
const TDateColumn kDateColumns[] = {
    {"PrjDate", &TWindow::dtPrjDate}, {"BeginDate", &TWindow::dtBeginDate}, {"EndDate", &TWindow::dtEndDate}};

// The picker's sets for the customer and the manager, and the edits they fill.
struct TPicker {
  TPickerSet Set;
  TEdit* TWindow::*Edit;
};
const TPicker kPickers[] = {
    {{"客户名称选择", "t_custom", "custselect", "custname"}, &TWindow::edtCustName},
    {{"项目经理选择", "dict_emp", "empselect", "empname"}, &TWindow::edtPrjMan},
};
enum { kCustomer, kManager };

TADOQuery* Documents() { return Frm_Data->qryPrjDocAdd; }

}  // namespace

// ---------------------------------------------------------------- showing

TfrmPrjAdd::~TfrmPrjAdd() { Closed(); }

void TfrmPrjAdd::FormCreate(TObject*) {
  btnSelectCust->SetCaption("选择客户");
  btnSelectEmp->SetCaption("选择项目经理");
  SetCaption(WindowCaption);
}

void TfrmPrjAdd::FormShow(TObject*) {
  ClearFields();
  OldCode = "";
  if (AddMode == 0) {
    OldCode = Frm_Data->qryPrj->FieldByName("PrjCode")->AsString();
    LoadFields();
  }
  OpenDocuments();
  Opened();
}

void TfrmPrjAdd::FormHide(TObject*) { Closed(); }

// The picker finds the dialog while it is open, and only then.
void TfrmPrjAdd::Opened() {
  frmPrjAdd = this;
  for (const TPicker& p : kPickers) RegisterRecordPickTarget(p.Set.Table, this, this->*p.Edit);
}

void TfrmPrjAdd::Closed() {
  if (frmPrjAdd == this) frmPrjAdd = nullptr;
  UnregisterRecordPickTargets(this);
  // Attachments not saved leave no copies behind.
  FFiles.Discard();
}

void TfrmPrjAdd::ClearFields() {
  for (int i = 0; i < ComponentCount(); ++i)
    if (auto* edit = dynamic_cast<TEdit*>(Components(i))) edit->SetText("");
  TDateTime today = Date();
  for (const TDateColumn& d : kDateColumns) (this->*d.Picker)->SetDate(today);
  mmPrjNote->SetText("");
}

void TfrmPrjAdd::LoadFields() {
  TADOQuery* prj = Frm_Data->qryPrj;
  for (const TTextColumn& t : kTextColumns) (this->*t.Edit)->SetText(prj->FieldByName(t.Column)->AsString());
  for (const TDateColumn& d : kDateColumns)
    if (TField* f = prj->FieldByName(d.Column); !f->IsNull()) (this->*d.Picker)->SetDate(f->AsDateTime());
  mmPrjNote->SetText(prj->FieldByName("PrjNote")->AsString());
}

void TfrmPrjAdd::OpenDocuments() {
  // A new project starts on no stored row: rows with an empty code belong to no project.
  String where = AddMode == 1 ? String("1=0") : "PrjCode=" + SqlStr(OldCode);
  Frm_Data->OpenQuery(Documents(), "select * from dict_prj_detail where " + where);
  Frm_Main->BuildGridColumns(dgPrjDocAdd, Documents(), kDocumentList);
}

// ---------------------------------------------------------------- customer and manager

void TfrmPrjAdd::btnSelectCustClick(TObject*) { ShowRecordPicker(this, kPickers[kCustomer].Set); }
void TfrmPrjAdd::btnSelectEmpClick(TObject*) { ShowRecordPicker(this, kPickers[kManager].Set); }

// ---------------------------------------------------------------- documents

void TfrmPrjAdd::btnAddClick(TObject*) {
  AttachChosenDocument(FFiles, Documents(), DuplicateFileText, CopyFailedText);
}

void TfrmPrjAdd::btnDeleteClick(TObject*) { RemoveCurrentDocument(FFiles, Documents()); }

void TfrmPrjAdd::N1Click(TObject*) { Frm_Main->SaveGridColumns(dgPrjDocAdd, kDocumentList, 1); }

// ---------------------------------------------------------------- saving

bool TfrmPrjAdd::CheckInput() {
  // Editing, the project itself is no duplicate.
  if (!CheckUniqueFields("dict_prj", "PrjCode", AddMode == 1 ? nullptr : &OldCode,
                         {{"PrjCode", edtPrjCode, DuplicateCodeText}, {"PrjName", edtPrjName, DuplicateNameText}}))
    return false;
  // As typed: blanks fill a field.
  for (const TTextColumn& t : kTextColumns)
    if (t.Required && (this->*t.Edit)->Text().empty()) {
      WarnBox(RequiredText);
      return false;
    }
  return true;
}

void TfrmPrjAdd::WriteProject() {
  TADOQuery* prj = Frm_Data->qryPrj;
  if (AddMode == 1) {
    // With the list closed the project still goes through its query.
    if (!prj->Active()) Frm_Data->OpenQuery(prj, "select * from dict_prj where 1=0");
    prj->Append();
  } else {
    if (prj->FieldByName("PrjCode")->AsString() != OldCode && !prj->Locate("PrjCode", OldCode, {}))
      throw EDatabaseError("The project " + OldCode + " is no longer in the list");
    prj->Edit();
  }
  for (const TTextColumn& t : kTextColumns) prj->FieldByName(t.Column)->SetAsString((this->*t.Edit)->Text());
  // Whole days, so a project set up today falls in any range that ends today.
  for (const TDateColumn& d : kDateColumns)
    prj->FieldByName(d.Column)->SetAsDateTime(static_cast<TDateTime>(Trunc((this->*d.Picker)->Date())));
  prj->FieldByName("PrjNote")->SetAsString(mmPrjNote->Text());
  prj->Post();
}

void TfrmPrjAdd::SaveProject() {
  String code = edtPrjCode->Text();
  // A document row still being typed joins the cache first, as part of the input.
  Documents()->CheckBrowseMode();
  FFiles.BeforeCommit();
  try {
    Frm_Data->RunInTransaction([&] {
      WriteProject();
      StampDetailCode(Documents(), "PrjCode", code);
      Documents()->UpdateBatch();
    });
  } catch (...) {
    // The rollback took back what was written, in the database and in the queries; the
    // input and the document rows stay for another try.
    CancelEditing(Frm_Data->qryPrj);
    CancelEditing(Documents());
    FFiles.AfterRollback();
    throw;
  }
  FFiles.AfterCommit();
}

void TfrmPrjAdd::AfterSave() {
  if (AddMode == 1) {
    ClearFields();
    OpenDocuments();
    return;
  }
  SetModalResult(mrOk);
}

void TfrmPrjAdd::btnPostClick(TObject*) {
  if (!CheckInput()) return;
  {
    // A failed save leaves the list on its row; a stored project is the list's current row.
    TListRowScope row(Frm_Data->qryPrj);
    SaveProject();
    row.Keep();
  }
  // The list shows what was stored, as a search would: the count, the project's documents and
  // its note.
  if (frmPrj) frmPrj->RefreshView();
  AfterSave();
}

void TfrmPrjAdd::btnCloseClick(TObject*) { Close(); }
