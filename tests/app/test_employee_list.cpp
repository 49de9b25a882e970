// The employee list driven offscreen: every employee at opening, every column a search
// field (dates matched by their text), the search through the main window's routine, and a
// double click editing only when the command is enabled.
#include "PeopleFixture.h"
#include "StdTestUtil.h"

#include "app/ufrmEmp.h"
#include "grid/DBGridEh.h"
#include "gui/ComCtrls.h"
#include "gui/StdCtrls.h"

namespace {

class EmployeeListTest : public PeopleTest {
protected:
  void OpenList() {
    Frm_Main->Emp_M->Execute();
    Application->ProcessMessages();
    ASSERT_NE(frmEmp, nullptr);
  }
  std::vector<String> Search(const String& field, const String& key) {
    frmEmp->cmbField->SetItemIndex(frmEmp->cmbField->Items()->IndexOf(field));
    frmEmp->edtKey->SetText(key);
    guitest::Click(frmEmp->Btn_Search, {10, 10});
    Application->ProcessMessages();
    return Column(Frm_Data->qryEmp, "EmpName");
  }
};

TEST_F(EmployeeListTest, TheListOpensWithEveryEmployeeAndEveryColumnToSearch) {
  Employee("甲");
  Employee("乙");
  int children = Frm_Main->MDIChildCount();  // the contract list the main window opened first
  OpenList();
  EXPECT_EQ(frmEmp->Caption(), "员工管理");
  EXPECT_EQ(Frm_Main->MDIChildCount(), children + 1);
  EXPECT_EQ(frmEmp->FormStyle(), fsMDIChild);
  EXPECT_EQ(Column(Frm_Data->qryEmp, "EmpName"), (std::vector<String>{"甲", "乙"}));
  EXPECT_EQ(frmEmp->dgEmp->Columns()->Items(0)->FieldName(), "EmpName");
  EXPECT_EQ(frmEmp->StatusBar1->Panels()->Items(0)->Text(), "当前共有 2 条记录");
  TStrings* fields = frmEmp->cmbField->Items();
  EXPECT_EQ(fields->Count(), Count("select count(*) from T_FieldShow where TableName='dict_emp'"));
  EXPECT_GE(fields->IndexOf("入职时间"), 0) << "dates are search fields too";
  EXPECT_EQ(frmEmp->cmbField->ItemIndex(), 0);
  EXPECT_EQ(frmEmp->edtKey->Text(), "");
}

TEST_F(EmployeeListTest, TheSearchTakesQuotesAsTextAndDatesByTheirText) {
  Employee("O'Neil");
  Employee("赵六");
  Exec("update dict_emp set InDate=#2023-11-20#, Phone=null where EmpName='赵六'");
  OpenList();
  struct TCase {
    const char* Field;
    const char* Key;
    std::vector<String> Names;
  } cases[] = {
      {"姓名", "O'Neil", {"O'Neil"}},
      {"姓名", "' or ''='", {}},
      {"入职时间", "2023-11", {"赵六"}},
      {"入职时间", "-03-05", {"O'Neil"}},
      {"联系电话", "", {"O'Neil", "赵六"}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(String(c.Field) + " " + c.Key);
    EXPECT_EQ(Search(c.Field, c.Key), c.Names);
    EXPECT_EQ(frmEmp->StatusBar1->Panels()->Items(0)->Text(), TFrm_Main::RecordCountText(int(c.Names.size())));
    EXPECT_TRUE(frmEmp->Btn_Search->Enabled());
  }
  EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(EmployeeListTest, ADoubleClickEditsOnlyWhenTheCommandIsEnabled) {
  Employee("甲");
  OpenList();
  frmEmp->SetBounds(0, 0, 700, 400);
  Application->ProcessMessages();
  TDBGridEh* grid = frmEmp->dgEmp;
  TRect cell = grid->CellRect(1, 1);
  int shown = 0;
  TModalSteps count({[&](TCustomForm* m) {
    ++shown;
    m->SetModalResult(mrCancel);
  }});
  Frm_Main->EmpEdit->SetEnabled(false);
  guitest::Press(grid, {cell.Left + 5, cell.Top + 5}, Qt::LeftButton, 1000);
  guitest::Release(grid, {cell.Left + 5, cell.Top + 5});
  guitest::SendMouse(grid, QEvent::MouseButtonDblClick, {cell.Left + 5, cell.Top + 5});
  guitest::Release(grid, {cell.Left + 5, cell.Top + 5});
  Application->ProcessMessages();
  EXPECT_EQ(shown, 0);
  Frm_Main->EmpEdit->SetEnabled(true);
  guitest::Press(grid, {cell.Left + 5, cell.Top + 5}, Qt::LeftButton, 1000);
  guitest::Release(grid, {cell.Left + 5, cell.Top + 5});
  guitest::SendMouse(grid, QEvent::MouseButtonDblClick, {cell.Left + 5, cell.Top + 5});
  guitest::Release(grid, {cell.Left + 5, cell.Top + 5});
  EXPECT_TRUE(guitest::WaitFor([&] { return shown == 1; }));
}

}  // namespace
