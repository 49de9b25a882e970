// The lists' one search routine: the statement made from a list's search field, key, dates
// and own conditions, and what showing a search does to the query, grid, status and button.
#include "AppWindows.h"

#include "core/DateUtils.h"
#include "grid/DBGridEh.h"
#include "gui/ComCtrls.h"
#include "gui/StdCtrls.h"

namespace {

class ListSearchTest : public AppWindowsTest {};

TEST_F(ListSearchTest, TheStatementHoldsOnlyTheConditionsGiven) {
  struct TCase {
    TListSearch Search;
    const char* Sql;
  } cases[] = {
      {{"t_custom", "Custom", "客户名称", "", "", 0, 0, {}}, "Select * from t_custom"},
      {{"t_custom", "Custom", "客户名称", "O'Neil", "", 0, 0, {}},
       "Select * from t_custom where [CustName] like '%O''Neil%'"},
      // The list name and the title are found whatever their letter case.
      {{"t_custom", "custom", "客户名称", "a", "", 0, 0, {}}, "Select * from t_custom where [CustName] like '%a%'"},
      {{"dict_emp", "dict_emp", "入职时间", "2024", "", 0, 0, {}},
       "Select * from dict_emp where format([InDate],'yyyy-mm-dd') like '%2024%'"},
      {{"t_pact", "pact", "合同编号", "", "PactDate", EncodeDate(2024, 2, 1) + 0.75, EncodeDate(2024, 2, 29), {"f_check='已终止'"}},
       "Select * from t_pact where PactDate>=#2024-02-01# and PactDate<=#2024-02-29# and f_check='已终止'"},
  };
  for (const TCase& c : cases) EXPECT_EQ(Frm_Main->ListSearchSQL(c.Search), c.Sql);
  // A field the list does not have is an error, not a search over everything.
  TListSearch unknown{"t_custom", "Custom", "无此字段", "x", "", 0, 0, {}};
  EXPECT_THROW(Frm_Main->ListSearchSQL(unknown), EDatabaseError);
}

TEST_F(ListSearchTest, ShowingASearchOpensTheRowsAndPutsTheButtonAndCursorBackEvenWhenItFails) {
  Exec("insert into t_custom (CustCode, CustName) values ('A', 'a')");
  Exec("insert into t_custom (CustCode, CustName) values ('B', 'b')");
  TForm* host = new TForm(Application);
  auto* grid = new TDBGridEh(host);
  grid->SetParent(host);
  auto* source = new TDataSource(host);
  source->SetDataSet(Frm_Data->Qry_Cust);
  grid->SetDataSource(source);
  auto* status = new TStatusBar(host);
  status->SetParent(host);
  auto* button = new TButton(host);
  button->SetParent(host);
  EXPECT_EQ(Frm_Main->ShowListSearch(Frm_Data->Qry_Cust, "select * from t_custom", grid, "Custom", status, button), 2);
  EXPECT_EQ(status->SimpleText(), "当前共有 2 条记录");
  EXPECT_EQ(grid->Columns()->Items(0)->FieldName(), "CustCode");
  EXPECT_TRUE(button->Enabled());
  EXPECT_THROW(Frm_Main->ShowListSearch(Frm_Data->Qry_Cust, "select * from no_such_table", grid, "Custom", status,
                                        button),
               Exception);
  EXPECT_TRUE(button->Enabled());
  EXPECT_EQ(Screen->Cursor(), crDefault);
  delete host;
}

}  // namespace
