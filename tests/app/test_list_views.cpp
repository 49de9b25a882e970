// The four lists after a change: an add, an edit, a failed save, a delete or a state change
// leaves each list showing exactly what a search shows: the grid's titles from T_FieldShow,
// the current record's details, panels and totals, the right count, and the current row kept
// (or the new one). Each view is compared with the one a search gives on the same row.
#include "AppInput.h"
#include "ListViewsEmployees.h"
#include "PactTest.h"

#include "app/U_AddCust.h"
#include "app/U_Backup.h"
#include "app/U_Custom.h"
#include "app/ufrmEmp.h"
#include "app/ufrmPact.h"
#include "app/ufrmPactAdd.h"
#include "app/ufrmPrj.h"
#include "app/ufrmPrjAdd.h"
#include "data/DatabaseFiles.h"
#include "grid/DBGridEh.h"
#include "gui/ComCtrls.h"
#include "gui/Dialogs.h"
#include "gui/Memo.h"
#include "gui/StdCtrls.h"

#include <sqlite3.h>

#include <functional>
#include <memory>

namespace {

using namespace appinput;

// What a list shows: each grid's column titles, the texts of its detail pages, panels, notes
// and totals, the status text and the key of the current record.
struct TView {
  std::vector<std::vector<String>> Titles;
  std::vector<String> Texts;
  String Status;
  String Key;
  bool operator==(const TView&) const = default;
};

std::ostream& operator<<(std::ostream& os, const TView& v) {
  os << "key " << v.Key << ", status " << v.Status << "\n";
  for (const auto& grid : v.Titles) {
    os << "  titles:";
    for (const String& t : grid) os << " " << t;
    os << "\n";
  }
  os << "  texts:";
  for (const String& t : v.Texts) os << " [" << t << "]";
  return os;
}

std::vector<String> TitlesOf(TCustomDBGridEh* Grid) {
  std::vector<String> titles;
  for (int i = 0; i < Grid->Columns()->Count(); ++i) titles.push_back(Grid->Columns()->Items(i)->Title()->Caption());
  return titles;
}

String StatusOf(TStatusBar* Bar) {
  return Bar->Panels()->Count() > 0 ? Bar->Panels()->Items(0)->Text() : Bar->SimpleText();
}

String KeyOf(TDataSet* Query, const char* Field) {
  return Query->Active() && !Query->IsEmpty() ? Query->FieldByName(Field)->AsString() : String("<none>");
}

// One list: how it opens, searches and shows itself, and the changes made to it through the
// program's own commands and dialogs.
struct TListCase {
  const char* Name;
  std::function<void()> Open;
  std::function<void()> Search;
  std::function<TView()> View;
  TDataSet* Query;
  const char* KeyField;
  std::function<void()> Add;     // adds the record "新" + the list's key
  std::function<void()> Edit;    // edits the current record
  std::function<void()> Failed;  // an add that fails (nothing when the list has none)
  std::function<void()> Delete;  // deletes the current record
  const char* NewKey;
  std::function<void()> State = nullptr;  // a state command on the current record, when the list has them
};

class ListViewsTest : public PactFixtureTest {
protected:
  void SetUp() override {
    PactFixtureTest::SetUp();
    for (const char* name : {"张工", "李工", "王工"})
      Exec("insert into dict_emp (EmpName, EmpSex, age, Depart, Place, InDate) values (" + SqlStr(name) +
           ", '男', '30', '工程部', '工程师', " + SqlDate(Today) + ")");
    LoginAsAdminAndShow();
    ASSERT_NE(frmPact, nullptr);
    Script = std::make_unique<TDialogScript>();
  }
  void TearDown() override {
    PactFixtureTest::TearDown();
  }

  // Shows a dialog without a loop of its own, lets Fill set it and saves; an edit closes itself.
  template <class T> void SaveThrough(T** Global, Byte Mode, const std::function<void(T*)>& Fill) {
    std::unique_ptr<T> dialog(CreateForm<T>(nullptr, Global));
    dialog->AddMode = Mode;
    dialog->Show();
    Application->ProcessMessages();
    Fill(dialog.get());
    ClickOn(dialog->btnPost);
    dialog->Close();
    Application->ProcessMessages();
  }
  // Boxes are answered by the script (unasked ones by their cancel button) for the whole test.
  void Answer(std::initializer_list<int> Buttons) {
    for (int b : Buttons) Script->Button(b);
  }
  void Run(TBasicAction* Action) {
    Action->Execute();
    Application->ProcessMessages();
  }

  std::vector<TListCase> Lists() {
    TADOQuery* pact = Frm_Data->qryPact;
    TADOQuery* prj = Frm_Data->qryPrj;
    TADOQuery* cust = Frm_Data->Qry_Cust;
    TADOQuery* emp = Frm_Data->qryEmp;
    auto fillPact = [](const String& Money) {
      return [Money](TfrmPactAdd* d) {
        d->edtPactName->SetText("新合同");
        d->edtPactCode->SetText("HT新");
        d->edtPactType->SetText("施工合同");
        d->edtTypeCode->SetText("0101");
        d->edtPactMoney->SetText(Money);
        d->edtCustName->SetText("华建集团");
        d->edtPrjName->SetText("滨江大桥");
        d->edtPrjMan->SetText("张工");
      };
    };
    auto fillCust = [](const String& Capital) {
      return [Capital](TFrm_AddCust* d) {
        d->edtCustCode->SetText("KH新");
        d->edtCustName->SetText("新客户");
        d->edtPhone->SetText("010-2");
        d->edtCustMan->SetText("代表");
        d->edtZZmoney->SetText(Capital);
        d->edtZContact->SetText("张三");
        d->edtZPlace->SetText("经理");
      };
    };
    return {
        {"contracts",
         [this] { Run(Frm_Main->Pact_M); },
         [] { ClickOn(frmPact->Btn_Search); },
         [pact] {
           TfrmPact* w = frmPact;
           TView v;
           for (TCustomDBGridEh* g : {static_cast<TCustomDBGridEh*>(w->dgPact), static_cast<TCustomDBGridEh*>(w->dgPactDoc),
                                      static_cast<TCustomDBGridEh*>(w->dgPactZJ), static_cast<TCustomDBGridEh*>(w->dgPactJH),
                                      static_cast<TCustomDBGridEh*>(w->dgPactFP)})
             v.Titles.push_back(TitlesOf(g));
           for (TTabSheet* p : {w->tsPactDoc, w->tsPactZJ, w->tsPactJH, w->tsPactFP}) v.Texts.push_back(p->Caption());
           for (TLabel* l : {w->lblCustName, w->lblCustCode, w->lblZContact, w->lblPrjName, w->lblPrjCode, w->lblIn1,
                             w->lblIn2, w->lblIn3, w->lblOut1, w->lblOut2, w->lblOut3})
             v.Texts.push_back(l->Caption());
           v.Texts.push_back(w->mmPactNote->Text());
           v.Texts.push_back(w->edtPactCode->Text());
           v.Status = StatusOf(w->StatusBar1);
           v.Key = KeyOf(pact, "PactCode");
           return v;
         },
         pact,
         "PactCode",
         [this, fillPact] { SaveThrough<TfrmPactAdd>(&frmPactAdd, 1, fillPact("1000")); },
         [this] {
           SaveThrough<TfrmPactAdd>(&frmPactAdd, 0, [](TfrmPactAdd* d) { d->edtPactName->SetText("改过的合同"); });
         },
         [this, fillPact] {
           // Refused after the contract row was posted: its fund row cannot be stored.
           RawSql("create trigger refuse_funds before insert on t_pact_zj begin select raise(abort, 'refused'); end");
           Answer({IDOK});
           SaveThrough<TfrmPactAdd>(&frmPactAdd, 1, [fillPact](TfrmPactAdd* d) {
             fillPact("1000")(d);
             d->edtPactCode->SetText("HT拒");
             d->edtPactName->SetText("被拒合同");
             ClickOn(d->Button2);
             Frm_Data->qryPactZJAdd->FieldByName("zjtype")->SetAsString("收款");
             Frm_Data->qryPactZJAdd->Post();
           });
           RawSql("drop trigger refuse_funds");
         },
         [this] {
           Answer({IDYES});
           Run(Frm_Main->PactDel);
         },
         "HT新",
         [] {
           frmPact->dgPact->SelectedRows()->SetCurrentRowSelected(true);
           frmPact->N15Click(frmPact->N15);  // "合同已终止"
         }},
        {"projects",
         [this] { Run(Frm_Main->Prj_M); },
         [] { ClickOn(frmPrj->Btn_Search); },
         [prj] {
           TView v;
           v.Titles = {TitlesOf(frmPrj->dgPrj), TitlesOf(frmPrj->dgPrjDoc)};
           v.Texts = {frmPrj->mmPrjNote->Text(), frmPrj->edtPrjCode->Text()};
           v.Status = StatusOf(frmPrj->StatusBar1);
           v.Key = KeyOf(prj, "PrjCode");
           return v;
         },
         prj,
         "PrjCode",
         [this] {
           SaveThrough<TfrmPrjAdd>(&frmPrjAdd, 1, [](TfrmPrjAdd* d) {
             d->edtPrjName->SetText("新项目");
             d->edtPrjType->SetText("桥梁");
             d->edtPrjCode->SetText("XM新");
             d->edtCustName->SetText("华建集团");
             d->edtPrjMan->SetText("张工");
             d->mmPrjNote->SetText("新项目的说明");
           });
         },
         [this] {
           SaveThrough<TfrmPrjAdd>(&frmPrjAdd, 0, [](TfrmPrjAdd* d) { d->mmPrjNote->SetText("改过的说明"); });
         },
         nullptr,
         [this] {
           Answer({IDYES, IDYES});
           Run(Frm_Main->PrjDel);
         },
         "XM新",
         [] { frmPrj->N15Click(frmPrj->N15); }},  // "项目已终止"
        {"customers",
         [this] { Run(Frm_Main->Cust_M); },
         [] { ClickOn(Frm_Custom->Btn_Search); },
         [cust] {
           TView v;
           v.Titles = {TitlesOf(Frm_Custom->dgCust), TitlesOf(Frm_Custom->dgCustContact)};
           v.Texts = {Frm_Custom->dbedtCustCode->Text()};
           v.Status = StatusOf(Frm_Custom->StatusBar1);
           v.Key = KeyOf(cust, "CustCode");
           return v;
         },
         cust,
         "CustCode",
         [this, fillCust] { SaveThrough<TFrm_AddCust>(&Frm_AddCust, 1, fillCust("5000")); },
         [this] {
           SaveThrough<TFrm_AddCust>(&Frm_AddCust, 0, [](TFrm_AddCust* d) { d->edtCustName->SetText("改过的客户"); });
         },
         [this, fillCust] { SaveThrough<TFrm_AddCust>(&Frm_AddCust, 1, fillCust("abc")); },
         [this] {
           Answer({IDYES, IDYES});
           Run(Frm_Main->DelCust);
         },
         "KH新"},
        {"employees",
         [this] { Run(Frm_Main->Emp_M); },
         [] { ClickOn(frmEmp->Btn_Search); },
         [emp] {
           TView v;
           v.Titles = {TitlesOf(frmEmp->dgEmp)};
           v.Status = StatusOf(frmEmp->StatusBar1);
           v.Key = KeyOf(emp, "EmpName");
           return v;
         },
         emp,
         "EmpName",
         [] { SaveEmployeeDialog(1, "新员工", "28"); },
         [] { SaveEmployeeDialog(0, "", "29"); },
         nullptr,
         [this] {
           Answer({IDYES, IDYES});
           Run(Frm_Main->EmpDel);
         },
         "新员工"},
    };
  }

  // The view after a change, beside the one a search gives on the same row.
  void ExpectAsSearched(const TListCase& L, const char* Step, const String& Key) {
    SCOPED_TRACE(Step);
    Application->ProcessMessages();
    TView changed = L.View();
    EXPECT_EQ(changed.Key, Key);
    EXPECT_EQ(changed.Status, "当前共有 " + IntToStr(L.Query->RecordCount()) + " 条记录");
    L.Search();
    if (Key != "<none>") {
      ASSERT_TRUE(L.Query->Locate(L.KeyField, Key, {})) << Key;
    }
    Application->ProcessMessages();
    EXPECT_EQ(changed, L.View());
  }

  // Runs SQL on the database file with SQLite itself (triggers the program's dialect cannot state).
  void RawSql(const String& Sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((Folder / "DataBase/kelm.mdb").c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, Sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
  }

  std::unique_ptr<TDialogScript> Script;
};

}  // namespace

TEST_F(ListViewsTest, AfterEachChangeAListShowsWhatASearchShows) {
  for (const TListCase& l : Lists()) {
    SCOPED_TRACE(l.Name);
    l.Open();
    // Searched first: the list then holds what the search chooses, the new record included.
    l.Search();
    l.Add();
    ExpectAsSearched(l, "added", l.NewKey);
    l.Edit();
    ExpectAsSearched(l, "edited", l.NewKey);
    if (l.State) {
      l.State();
      ExpectAsSearched(l, "state changed", l.NewKey);
    }
    if (l.Failed) {
      // A save that fails leaves the list on the row it stood on, the first one here (an
      // appended row would stand last).
      l.Query->First();
      Application->ProcessMessages();
      String key = KeyOf(l.Query, l.KeyField);
      ASSERT_NE(key, l.NewKey);
      l.Failed();
      ExpectAsSearched(l, "failed", key);
    }
    ASSERT_TRUE(l.Query->Locate(l.KeyField, l.NewKey, {}));
    Application->ProcessMessages();
    l.Delete();
    EXPECT_FALSE(l.Query->Locate(l.KeyField, l.NewKey, {}));
    Application->ProcessMessages();
    TView after = l.View();
    ExpectAsSearched(l, "deleted", after.Key);
  }
}

// A restore closes every query with the connection: each open list shows the restored rows
// again, on the record it stood on, as a search shows them.
TEST_F(ListViewsTest, AfterARestoreEachOpenListShowsWhatASearchShowsOnItsRow) {
  Folder.Write("Config.ini", "[Config]\r\nDBName=kelm\r\nDirectoryList=" + Folder / "Save" + "\r\n");
  ForceDirectories(Folder / "Save");
  BackupDatabase(*Frm_Data->ADOConnection1, Folder / "Save/good.mdb");
  std::vector<TListCase> lists = Lists();
  std::vector<TView> before;
  for (const TListCase& l : lists) {
    l.Open();
    l.Search();
    l.Query->Last();
    Application->ProcessMessages();
    before.push_back(l.View());
  }
  {
    std::unique_ptr<TFrm_Backup> window(CreateForm<TFrm_Backup>(Frm_Main));
    window->Mode = 2;
    window->Show();
    Application->ProcessMessages();
    window->FileListBox1->Update();
    window->FileListBox1->SetFileName(Folder / "Save/good.mdb");
    Answer({IDYES, IDOK});
    ClickOn(window->Btn_Store);
    ASSERT_EQ(Script->Asked().back().Text, TFrm_Backup::RestoreDoneText);
    window->Close();
  }
  for (std::size_t i = 0; i < lists.size(); ++i) {
    SCOPED_TRACE(lists[i].Name);
    EXPECT_EQ(lists[i].View(), before[i]);
    ExpectAsSearched(lists[i], "restored", before[i].Key);
  }
}
