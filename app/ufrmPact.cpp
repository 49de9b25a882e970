#include "app/ufrmPact.h"

#include "app/ListDocuments.h"
#include "app/ListRow.h"
#include "app/SqlText.h"
#include "app/U_Data.h"
#include "app/U_FieldShow.h"
#include "app/U_Main.h"
#include "app/ufrmBasic.h"
#include "core/ClassBuilder.h"
#include "core/DateUtils.h"
#include "core/FloatFormat.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "data/ADODB.h"
#include "grid/DBGridEh.h"
#include "gui/Application.h"

#include <cassert>
#include <memory>
#include <vector>

TfrmPact* frmPact = nullptr;

const char* const TfrmPact::WindowCaption = "合同信息";
const char* const TfrmPact::TypeRootText = "合同类别";

KELM_PUBLISH(TfrmPact) {
  b.Method("FormCreate", &TfrmPact::FormCreate);
  b.Method("FormShow", &TfrmPact::FormShow);
  b.Method("FormClose", &TfrmPact::FormClose);
  b.Method("Btn_SearchClick", &TfrmPact::Btn_SearchClick);
  b.Method("RadioButton1Click", &TfrmPact::RadioButton1Click);
  b.Method("tvPactTypeDblClick", &TfrmPact::tvPactTypeDblClick);
  b.Method("edtPactCodeChange", &TfrmPact::edtPactCodeChange);
  b.Method("dgPactDblClick", &TfrmPact::dgPactDblClick);
  b.Method("N13Click", &TfrmPact::N13Click);
  b.Method("N14Click", &TfrmPact::N14Click);
  b.Method("N15Click", &TfrmPact::N15Click);
  b.Method("N16Click", &TfrmPact::N16Click);
  b.Method("N8Click", &TfrmPact::N8Click);
  b.Method("N9Click", &TfrmPact::N9Click);
  b.Method("N10Click", &TfrmPact::N10Click);
  b.Method("N11Click", &TfrmPact::N11Click);
  b.Method("N1Click", &TfrmPact::N1Click);
  b.Method("N2Click", &TfrmPact::N2Click);
  b.Method("btnAddFPClick", &TfrmPact::btnAddFPClick);
  b.Method("btnDelFPClick", &TfrmPact::btnDelFPClick);
  b.Method("btnPostFPClick", &TfrmPact::btnPostFPClick);
  b.Method("N5Click", &TfrmPact::N5Click);
  b.Method("N6Click", &TfrmPact::N6Click);
  b.Method("N4Click", &TfrmPact::N4Click);
  b.Method("MenuItem4Click", &TfrmPact::MenuItem4Click);
  b.Method("MenuItem8Click", &TfrmPact::MenuItem8Click);
  b.Method("MenuItem10Click", &TfrmPact::MenuItem10Click);
  b.Method("N18Click", &TfrmPact::N18Click);
  b.Method("TB_ExitClick", &TfrmPact::TB_ExitClick);
}

namespace {

using TWindow = TfrmPactComponents;
using TModule = TFrm_DataComponents;

// The detail lists of the current contract: the query, the table it reads, the T_FieldShow
// list of its columns, its grid and the page whose caption counts its rows.
struct TDetail {
  TADOQuery* TModule::*Query;
  const char* Table;
  const char* List;
  TDBGridEh* TWindow::*Grid;
  TTabSheet* TWindow::*Page;
  const char* Caption;
};
const TDetail kDetails[] = {
    {&TModule::qryPactDoc, "t_pact_doc", "pact_doc", &TWindow::dgPactDoc, &TWindow::tsPactDoc, "合同文件"},
    {&TModule::qryPactZJ, "t_pact_zj", "pact_zj", &TWindow::dgPactZJ, &TWindow::tsPactZJ, "资金计划"},
    {&TModule::qryPactJH, "t_pact_jh", "pact_jh", &TWindow::dgPactJH, &TWindow::tsPactJH, "交货计划"},
    {&TModule::qryPactFP, "t_pact_fp", "pact_fp", &TWindow::dgPactFP, &TWindow::tsPactFP, "合同发票"},
};

// A panel of particulars: the row of Table whose KeyColumn equals the contract's
// ContractField, one label per column.
struct TLabelField {
  TLabel* TWindow::*Label;
  const char* Field;
};
struct TParticulars {
  const char* Table;
  const char* KeyColumn;
  const char* ContractField;
  std::vector<TLabelField> Labels;
};
const TParticulars kPanels[] = {
    {"t_custom",
     "custname",
     "CustName",
     {{&TWindow::lblCustName, "CustName"},
      {&TWindow::lblCustCode, "CustCode"},
      {&TWindow::lblCustType, "CustType"},
      {&TWindow::lblMaker, "Maker"},
      {&TWindow::lblZContact, "ZContact"},
      {&TWindow::lblZPhone, "ZPhone"},
      {&TWindow::lblZMobile, "ZMobile"},
      {&TWindow::lblZEmail, "ZEmail"}}},
    {"dict_prj",
     "prjname",
     "PrjName",
     {{&TWindow::lblPrjName, "PrjName"},
      {&TWindow::lblPrjCode, "PrjCode"},
      {&TWindow::lblPrjType, "PrjType"},
      {&TWindow::lblPrjMan, "PrjMan"},
      {&TWindow::lblBeginDate, "BeginDate"},
      {&TWindow::lblEndDate, "EndDate"}}},
};

// The fund-plan totals: planned and settled, of receipts and of payments, and the label of
// their difference.
struct TTotals {
  const char* Kind;  // zjtype
  TLabel* TWindow::*Planned;
  TLabel* TWindow::*Settled;
  TLabel* TWindow::*Difference;
};
const TTotals kTotals[] = {
    {"收款", &TWindow::lblIn1, &TWindow::lblIn2, &TWindow::lblIn3},
    {"付款", &TWindow::lblOut1, &TWindow::lblOut2, &TWindow::lblOut3},
};

// The contract states the popup's items write.
struct TStateItem {
  TMenuItem* TWindow::*Item;
  const char* State;
};
const TStateItem kStateItems[] = {
    {&TWindow::N13, "未执行"},
    {&TWindow::N14, "执行中"},
    {&TWindow::N15, "已终止"},
    {&TWindow::N16, "已结束"},
};

// The lists whose "保存列属性" saves a grid's columns.
struct TSaveItem {
  TMenuItem* TWindow::*Item;
  TDBGridEh* TWindow::*Grid;
  const char* List;
};
const TSaveItem kSaveItems[] = {
    {&TWindow::N6, &TWindow::dgPact, "Pact"},          {&TWindow::N4, &TWindow::dgPactDoc, "Pact_Doc"},
    {&TWindow::MenuItem4, &TWindow::dgPactZJ, "Pact_ZJ"}, {&TWindow::MenuItem8, &TWindow::dgPactJH, "Pact_JH"},
    {&TWindow::MenuItem10, &TWindow::dgPactFP, "Pact_FP"},
};

// The entry of a table of popup items that belongs to Item.
template <class T, std::size_t N> const T& EntryOf(const T (&Table)[N], TMenuItem* TWindow::*Item) {
  for (const T& e : Table)
    if (e.Item == Item) return e;
  assert(!"an item of the table");
  return Table[0];
}

const char* const kDone = "已完成";
const char* const kNotDone = "未完成";

// The current row's value of Field as text; '' when the dataset has no current row.
String CurrentText(TDataSet* DataSet, const char* Field) {
  if (!DataSet->Active() || DataSet->IsEmpty()) return "";
  return DataSet->FieldByName(Field)->AsString();
}

}  // namespace

// ---------------------------------------------------------------- statements

String PactChartSQL(const String& SearchSQL) {
  return "select sum(pactmoney) as ttmoney, pacttype from (" + SearchSQL + ") group by pacttype";
}

// ---------------------------------------------------------------- the window

TfrmPact::~TfrmPact() {
  if (frmPact == this) frmPact = nullptr;
}

void TfrmPact::FormCreate(TObject*) {
  edtCustName->SetText("");
  edtPrjName->SetText("");
  mmPactNote->SetText("");
  mmPactCNote->SetText("");
}

void TfrmPact::FormShow(TObject*) {
  // A failure is reported here: the window stays shown, and the main window that opens it
  // at start goes on with its own steps.
  try {
    FDetailColumnsBuilt = false;
    SetCaption(WindowCaption);
    TADOQuery* pact = Frm_Data->qryPact;
    Frm_Data->OpenQuery(pact, "select * from t_pact order by PactDate desc");
    Frm_Main->BuildGridColumns(dgPact, pact, "pact");
    Frm_Main->FillSearchFields(cmbField, "pact", false);
    edtKey->SetText("");
    Frm_Main->FillCategoryTree(tvPactType, "pacttype", TypeRootText);
    if (!pact->Eof()) pact->First();
    TDateTime today = Date();
    dtBeginDate->SetDate(StartOfTheMonth(today));
    dtEndDate->SetDate(today);
    Btn_SearchClick(Btn_Search);
  } catch (...) {
    Application->HandleException(this);
  }
}

void TfrmPact::FormClose(TObject*, TCloseAction& Action) { Action = caFree; }

TListSearch TfrmPact::CurrentSearch() const {
  TListSearch s;
  s.Table = "t_pact";
  s.ListName = "pact";
  s.FieldTitle = cmbField->Text();
  s.Key = edtKey->Text();
  s.DateField = "PactDate";
  s.BeginDate = dtBeginDate->Date();
  s.EndDate = dtEndDate->Date();
  // The root carries no code: below it, a node's code is its text before the first "-", and
  // the type's sub-types share it as their prefix.
  if (TTreeNode* node = tvPactType->Selected(); node && node->Parent()) {
    const String& text = node->Text();
    s.Conditions.push_back("typecode like " + SqlStr(text.substr(0, text.find('-')) + "%"));
  }
  if (!StateFilter.empty()) s.Conditions.push_back("f_check=" + SqlStr(StateFilter));
  if (!edtCustName->Text().empty()) s.Conditions.push_back("custname like " + SqlContains(edtCustName->Text()));
  if (!edtPrjName->Text().empty()) s.Conditions.push_back("prjname like " + SqlContains(edtPrjName->Text()));
  return s;
}

void TfrmPact::Btn_SearchClick(TObject*) {
  TADOQuery* pact = Frm_Data->qryPact;
  String sql = Frm_Main->ListSearchSQL(CurrentSearch());
  Frm_Main->ShowListSearch(pact, sql, dgPact, "Pact", StatusBar1, Btn_Search);
  // Only a search that ran is charted.
  ChartSQL = PactChartSQL(sql);
  if (!pact->Eof()) pact->First();
}

void TfrmPact::RadioButton1Click(TObject* Sender) {
  auto* button = dynamic_cast<TRadioButton*>(Sender);
  StateFilter = !button || button == RadioButton1 ? String() : button->Caption();
  Btn_SearchClick(Sender);
}

void TfrmPact::tvPactTypeDblClick(TObject* Sender) { Btn_SearchClick(Sender); }

// ---------------------------------------------------------------- the current contract

void TfrmPact::edtPactCodeChange(TObject*) {
  // The edit also changes while the window or the data module goes away.
  if (ComponentState().Contains(csDestroying) || !Frm_Data || !Frm_Main) return;
  LoadCurrentContract();
}

void TfrmPact::NoteCurrentRow() { FNotedCode = CurrentKeyOf(Frm_Data->qryPact, "PactCode"); }

void TfrmPact::RefreshView() {
  TADOQuery* pact = Frm_Data->qryPact;
  ReopenListOn(pact, "PactCode", FNotedCode);
  Frm_Main->BuildGridColumns(dgPact, pact, "Pact");
  TFrm_Main::ShowRecordCount(StatusBar1, pact->RecordCount());
  // The detail grids keep their columns and widths, as a search keeps them; their titles
  // come back with every reload.
  LoadCurrentContract();
}

void TfrmPact::LoadCurrentContract() {
  String code = edtPactCode->Text();
  LoadDetails(code);
  TADOQuery* pact = Frm_Data->qryPact;
  mmPactNote->SetText(CurrentText(pact, "PactNote"));
  mmPactCNote->SetText(CurrentText(pact, "PactCNote"));
  LoadPanels();
  LoadTotals(code);
}

void TfrmPact::LoadDetails(const String& Code) {
  if (!FDetailColumnsBuilt) FDetailTitles.assign(std::size(kDetails), {});
  for (std::size_t i = 0; i < std::size(kDetails); ++i) {
    const TDetail& d = kDetails[i];
    TADOQuery* q = Frm_Data->*d.Query;
    TDBGridEh* grid = this->*d.Grid;
    {
      // The columns come from T_FieldShow once a showing; a move keeps them (and the widths
      // the user gave them) and gives the new fields the titles noted then. The grid takes the
      // new rows once, titles and all, rather than at the close and again at the open.
      TControlsHold hold(FDetailColumnsBuilt ? q : nullptr);
      Frm_Data->OpenQuery(q, String("select * from ") + d.Table + " where pactcode=" + SqlStr(Code));
      if (FDetailColumnsBuilt)
        for (const auto& [field, title] : FDetailTitles[i])
          if (TField* f = q->FindField(field)) f->SetDisplayLabel(title);
    }
    if (!FDetailColumnsBuilt) {
      Frm_Main->BuildGridColumns(grid, q, d.List);
      for (int c = 0; c < grid->Columns()->Count(); ++c) {
        TColumnEh* column = grid->Columns()->Items(c);
        FDetailTitles[i].push_back({column->FieldName(), column->Title()->Caption()});
      }
    }
    (this->*d.Page)->SetCaption(String(d.Caption) + " [ " + IntToStr(q->RecordCount()) + " ] ");
  }
  FDetailColumnsBuilt = true;
}

void TfrmPact::LoadPanels() {
  TADOQuery* q = Frm_Data->Qry_Temp;
  for (const TParticulars& p : kPanels) {
    String key = CurrentText(Frm_Data->qryPact, p.ContractField);
    Frm_Data->OpenQuery(q, String("select * from ") + p.Table + " where " + p.KeyColumn + "=" + SqlStr(key));
    for (const TLabelField& l : p.Labels) (this->*l.Label)->SetCaption(CurrentText(q, l.Field));
  }
}

void TfrmPact::LoadTotals(const String& Code) {
  TADOQuery* q = Frm_Data->Qry_Temp;
  auto total = [&](const char* Kind, bool Settled) {
    Frm_Data->OpenQuery(q, "select iif(isnull(sum(money)),0,sum(money)) from t_pact_zj where pactcode=" + SqlStr(Code) +
                               " and zjtype=" + SqlStr(Kind) + (Settled ? " and f_check=" + SqlStr(kDone) : String()));
    return q->Fields()->Fields(0)->AsCurrency();
  };
  // Amounts stay in fixed point, so a difference shows no floating-point tail.
  for (const TTotals& t : kTotals) {
    Currency planned = total(t.Kind, false), settled = total(t.Kind, true);
    (this->*t.Planned)->SetCaption(CurrToStr(planned));
    (this->*t.Settled)->SetCaption(CurrToStr(settled));
    (this->*t.Difference)->SetCaption(CurrToStr(planned - settled));
  }
}

void TfrmPact::dgPactDblClick(TObject*) {
  if (Frm_Main->PactEdit->Enabled()) Frm_Main->PactEdit->Execute();
}

// ---------------------------------------------------------------- contract states

void TfrmPact::SetSelectedState(const String& State) {
  TBookmarkListEh* rows = dgPact->SelectedRows();
  if (rows->Count() == 0) return;
  std::vector<String> marks;
  for (int i = 0; i < rows->Count(); ++i) marks.push_back(rows->Items(i));
  TADOQuery* pact = Frm_Data->qryPact;
  {
    TWalkScope walk(pact);
    Frm_Data->RunInTransaction([&] {
      try {
        for (const String& mark : marks) {
          if (!pact->BookmarkValid(mark)) continue;
          pact->GotoBookmark(mark);
          pact->Edit();
          pact->FieldByName("f_check")->SetAsString(State);
          pact->Post();
        }
      } catch (...) {
        // The refused row's edit goes too; the rollback puts the posted ones back.
        if (pact->State() == dsEdit) pact->Cancel();
        throw;
      }
    });
  }
  RefreshView();
}

void TfrmPact::N13Click(TObject*) { SetSelectedState(EntryOf(kStateItems, &TWindow::N13).State); }
void TfrmPact::N14Click(TObject*) { SetSelectedState(EntryOf(kStateItems, &TWindow::N14).State); }
void TfrmPact::N15Click(TObject*) { SetSelectedState(EntryOf(kStateItems, &TWindow::N15).State); }
void TfrmPact::N16Click(TObject*) { SetSelectedState(EntryOf(kStateItems, &TWindow::N16).State); }

// ---------------------------------------------------------------- plan states

void TfrmPact::SetPlanState(TDataSet* Plan, const String& State, bool Settles) {
  if (!Plan->Active() || Plan->IsEmpty()) return;
  // A row already settled keeps the date it was settled on.
  bool keepDate = Plan->FieldByName("f_check")->AsString() == kDone;
  Plan->Edit();
  Plan->FieldByName("f_check")->SetAsString(State);
  if (Settles && !keepDate) Plan->FieldByName("sjdate")->SetAsDateTime(Date());
  Plan->Post();
}

void TfrmPact::N8Click(TObject*) {
  SetPlanState(Frm_Data->qryPactZJ, kDone, true);
  LoadTotals(edtPactCode->Text());
}

void TfrmPact::N9Click(TObject*) {
  SetPlanState(Frm_Data->qryPactZJ, kNotDone, false);
  LoadTotals(edtPactCode->Text());
}

void TfrmPact::N10Click(TObject*) { SetPlanState(Frm_Data->qryPactJH, kDone, false); }
void TfrmPact::N11Click(TObject*) { SetPlanState(Frm_Data->qryPactJH, kNotDone, false); }

// ---------------------------------------------------------------- documents

void TfrmPact::N1Click(TObject*) { OpenCurrentDocument(Frm_Data->qryPactDoc, this); }
void TfrmPact::N2Click(TObject*) { ShowCurrentDocumentFolder(Frm_Data->qryPactDoc); }

// ---------------------------------------------------------------- invoices

void TfrmPact::btnAddFPClick(TObject*) {
  // A current contract is all it needs: its first invoice can be added too.
  if (!Frm_Data->qryPact->Active() || Frm_Data->qryPact->IsEmpty()) return;
  TADOQuery* fp = Frm_Data->qryPactFP;
  fp->Append();
  fp->FieldByName("PactCode")->SetAsString(edtPactCode->Text());
}

void TfrmPact::btnDelFPClick(TObject*) {
  TADOQuery* fp = Frm_Data->qryPactFP;
  if (fp->Active() && !fp->IsEmpty()) fp->Delete();
}

void TfrmPact::btnPostFPClick(TObject*) {
  TADOQuery* fp = Frm_Data->qryPactFP;
  if (!fp->Active()) return;
  String code = edtPactCode->Text();
  fp->First();
  for (int i = fp->RecordCount(); i > 0; --i) {
    fp->Edit();
    fp->FieldByName("PactCode")->SetAsString(code);
    fp->Post();
    fp->Next();
  }
}

// ---------------------------------------------------------------- columns and categories

void TfrmPact::N5Click(TObject*) { ShowFieldChooser(this, "Pact"); }

void TfrmPact::SaveColumnsOf(TMenuItem* TfrmPactComponents::*Item) {
  const TSaveItem& s = EntryOf(kSaveItems, Item);
  Frm_Main->SaveGridColumns(this->*s.Grid, s.List, 1);
}

void TfrmPact::N6Click(TObject*) { SaveColumnsOf(&TWindow::N6); }
void TfrmPact::N4Click(TObject*) { SaveColumnsOf(&TWindow::N4); }
void TfrmPact::MenuItem4Click(TObject*) { SaveColumnsOf(&TWindow::MenuItem4); }
void TfrmPact::MenuItem8Click(TObject*) { SaveColumnsOf(&TWindow::MenuItem8); }
void TfrmPact::MenuItem10Click(TObject*) { SaveColumnsOf(&TWindow::MenuItem10); }

void TfrmPact::N18Click(TObject*) {
  std::unique_ptr<TfrmBasic> window(CreateForm<TfrmBasic>(this));
  window->PageCaption = TypeRootText;
  window->ShowModal();
}

void TfrmPact::TB_ExitClick(TObject*) { Close(); }
