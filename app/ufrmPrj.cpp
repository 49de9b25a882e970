#include "app/ufrmPrj.h"

#include "app/ListDocuments.h"
#include "app/ListRow.h"
#include "app/SqlText.h"
#include "app/U_Data.h"
#include "app/U_FieldShow.h"
#include "app/U_Main.h"
#include "core/ClassBuilder.h"
#include "core/DateUtils.h"
#include "core/SysUtils.h"
#include "data/ADODB.h"
#include "grid/DBGridEh.h"

#include <cassert>

TfrmPrj* frmPrj = nullptr;

const char* const TfrmPrj::WindowCaption = "项目信息";
const char* const TfrmPrj::AllProjectsSQL = "select * from dict_prj";

KELM_PUBLISH(TfrmPrj) {
  b.Method("FormCreate", &TfrmPrj::FormCreate);
  b.Method("FormClose", &TfrmPrj::FormClose);
  b.Method("TB_ExitClick", &TfrmPrj::TB_ExitClick);
  b.Method("Btn_SearchClick", &TfrmPrj::Btn_SearchClick);
  b.Method("RadioButton1Click", &TfrmPrj::RadioButton1Click);
  b.Method("edtPrjCodeChange", &TfrmPrj::edtPrjCodeChange);
  b.Method("dgPrjDblClick", &TfrmPrj::dgPrjDblClick);
  b.Method("N13Click", &TfrmPrj::N13Click);
  b.Method("N15Click", &TfrmPrj::N15Click);
  b.Method("N16Click", &TfrmPrj::N16Click);
  b.Method("N1Click", &TfrmPrj::N1Click);
  b.Method("N2Click", &TfrmPrj::N2Click);
  b.Method("N5Click", &TfrmPrj::N5Click);
  b.Method("N6Click", &TfrmPrj::N6Click);
  b.Method("N4Click", &TfrmPrj::N4Click);
}

namespace {

using TWindow = TfrmPrjComponents;

// The T_FieldShow lists of the window's grids.
const char* const kProjectList = "dict_prj";
const char* const kDocumentList = "dict_prj_detail";

// The project states the popup's items write.
struct TStateItem {
  TMenuItem* TWindow::*Item;
  const char* State;
};
const TStateItem kStateItems[] = {
    {&TWindow::N13, "执行中"},
    {&TWindow::N15, "已终止"},
    {&TWindow::N16, "已结束"},
};

const char* StateOf(TMenuItem* TWindow::*Item) {
  for (const TStateItem& s : kStateItems)
    if (s.Item == Item) return s.State;
  assert(!"a state item");
  return "";
}

}  // namespace

TfrmPrj::~TfrmPrj() {
  if (frmPrj == this) frmPrj = nullptr;
}

// There is no showing step: the list is ready when it has been made, every project listed.
void TfrmPrj::FormCreate(TObject*) {
  mmPrjNote->SetText("");
  SetCaption(WindowCaption);
  Frm_Main->ShowListSearch(Frm_Data->qryPrj, AllProjectsSQL, dgPrj, kProjectList, nullptr, nullptr);
  // Every column of the list may be searched, dates included.
  Frm_Main->FillSearchFields(cmbField, kProjectList, true);
  edtKey->SetText("");
  TDateTime today = Date();
  dtBeginDate->SetDate(StartOfTheMonth(today));
  dtEndDate->SetDate(today);
}

void TfrmPrj::FormClose(TObject*, TCloseAction& Action) { Action = caFree; }

void TfrmPrj::TB_ExitClick(TObject*) { Close(); }

TListSearch TfrmPrj::CurrentSearch() const {
  TListSearch s;
  s.Table = "dict_prj";
  s.ListName = kProjectList;
  s.FieldTitle = cmbField->Text();
  s.Key = edtKey->Text();
  s.DateField = "PrjDate";
  s.BeginDate = dtBeginDate->Date();
  s.EndDate = dtEndDate->Date();
  if (!StateFilter.empty()) s.Conditions.push_back("f_check=" + SqlStr(StateFilter));
  return s;
}

void TfrmPrj::Btn_SearchClick(TObject*) {
  Frm_Main->ShowListSearch(Frm_Data->qryPrj, Frm_Main->ListSearchSQL(CurrentSearch()), dgPrj, kProjectList,
                           StatusBar1, Btn_Search);
}

void TfrmPrj::RadioButton1Click(TObject* Sender) {
  // The layout's checked "全部" is no choice of the user's.
  if (ComponentState().Contains(csLoading)) return;
  auto* button = dynamic_cast<TRadioButton*>(Sender);
  StateFilter = !button || button == RadioButton1 ? String() : button->Caption();
  Btn_SearchClick(Sender);
}

// ---------------------------------------------------------------- the current project

void TfrmPrj::edtPrjCodeChange(TObject*) {
  // The edit also changes while the window is being made or goes away, or the data module does.
  if (ComponentState().Contains(csLoading) || ComponentState().Contains(csDestroying) || !Frm_Data || !Frm_Main)
    return;
  LoadCurrentProject();
}

void TfrmPrj::NoteCurrentRow() { FNotedCode = CurrentKeyOf(Frm_Data->qryPrj, "PrjCode"); }

void TfrmPrj::RefreshView() {
  TADOQuery* prj = Frm_Data->qryPrj;
  ReopenListOn(prj, "PrjCode", FNotedCode);
  Frm_Main->BuildGridColumns(dgPrj, prj, kProjectList);
  TFrm_Main::ShowRecordCount(StatusBar1, prj->RecordCount());
  LoadCurrentProject();
}

void TfrmPrj::LoadCurrentProject() {
  TADOQuery* prj = Frm_Data->qryPrj;
  bool current = TFrm_Main::HasCurrentRow(prj);
  // Without a current project the list shows no documents and no note, rather than those of
  // the project shown before.
  String where = current ? "prjcode=" + SqlStr(prj->FieldByName("PrjCode")->AsString()) : String("1=0");
  TADOQuery* docs = Frm_Data->qryPrjDoc;
  Frm_Data->OpenQuery(docs, "select * from dict_prj_detail where " + where);
  Frm_Main->BuildGridColumns(dgPrjDoc, docs, kDocumentList);
  mmPrjNote->SetText(current ? prj->FieldByName("PrjNote")->AsString() : String());
}

void TfrmPrj::dgPrjDblClick(TObject*) {
  if (Frm_Main->PrjEdit->Enabled()) Frm_Main->PrjEdit->Execute();
}

// ---------------------------------------------------------------- states

void TfrmPrj::SetCurrentState(const String& State) {
  TADOQuery* prj = Frm_Data->qryPrj;
  if (!TFrm_Main::HasCurrentRow(prj)) return;
  prj->Edit();
  try {
    prj->FieldByName("f_check")->SetAsString(State);
    prj->Post();
  } catch (...) {
    // A refused row is shown as it is stored.
    prj->Cancel();
    throw;
  }
  RefreshView();
}

void TfrmPrj::N13Click(TObject*) { SetCurrentState(StateOf(&TWindow::N13)); }
void TfrmPrj::N15Click(TObject*) { SetCurrentState(StateOf(&TWindow::N15)); }
void TfrmPrj::N16Click(TObject*) { SetCurrentState(StateOf(&TWindow::N16)); }

// ---------------------------------------------------------------- documents and columns

void TfrmPrj::N1Click(TObject*) { OpenCurrentDocument(Frm_Data->qryPrjDoc, this); }
void TfrmPrj::N2Click(TObject*) { ShowCurrentDocumentFolder(Frm_Data->qryPrjDoc); }

void TfrmPrj::N5Click(TObject*) { ShowFieldChooser(this, kProjectList); }
void TfrmPrj::N6Click(TObject*) { Frm_Main->SaveGridColumns(dgPrj, kProjectList, 1); }
void TfrmPrj::N4Click(TObject*) { Frm_Main->SaveGridColumns(dgPrjDoc, kDocumentList, 1); }
