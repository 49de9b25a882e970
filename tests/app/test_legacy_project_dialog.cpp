// The project dialog driven offscreen as its openers open it: typed into, the investment into
// its calculator edit, saved, and the rows read back from the database. The dialog's own
// header is not included here: it is reached by its opener and its controls by name, as the
// main window reaches it.
#include "AppInput.h"
#include "LegacyFixture.h"

#include "app/legacy/LegacyOpeners.h"
#include "controls/ToolEditDate.h"
#include "gui/Buttons.h"
#include "gui/ComCtrls.h"
#include "gui/DBCtrls.h"

using namespace appinput;

namespace {

class ProjectDialogTest : public LegacyTest {
protected:
  // Opens the dialog in AddMode with a person playing Steps; true when it closed by itself.
  bool Show(int AddMode, std::vector<TModalSteps::TStep> Steps) {
    TModalSteps person(std::move(Steps));
    ShowLegacyProjectDialog(Frm_Main, AddMode);
    return !person.Overran();
  }
  static TWinControl* C(TCustomForm* F, const char* Name) {
    auto* c = dynamic_cast<TWinControl*>(F->FindComponent(Name));
    EXPECT_NE(c, nullptr) << Name;
    return c;
  }
  static TCustomDateEdit* D(TCustomForm* F, const char* Name) { return dynamic_cast<TCustomDateEdit*>(C(F, Name)); }
  static void Ok(TCustomForm* F) { ClickOn(C(F, "Btn_OK")); }
  String Row(const String& Column, const String& Code) {
    return Scalar("select " + Column + " from T_Project where ProjectCode=" + SqlStr(Code));
  }
};

TEST_F(ProjectDialogTest, AddsProjectsOneAfterAnotherWithTheInvestmentTypedIntoTheCalculator) {
  EXPECT_TRUE(Show(1, {[&](TCustomForm* F) {
    EXPECT_EQ(F->Caption(), "新增项目");
    auto* nav = dynamic_cast<TDBNavigator*>(F->FindComponent("DBNavigator1"));
    ASSERT_NE(nav, nullptr);
    EXPECT_EQ(nav->Buttons(nbPrior)->Caption(), "前一条");
    EXPECT_EQ(C(F, "Edit_GCInvest")->Text(), "0");
    Ok(F);
    EXPECT_EQ(TakeMessages(), std::vector<String>{"项目编码不能为空!"});
    EXPECT_EQ(F->ActiveControl(), C(F, "Edit_ProjectCode"));
    TypeIntoEdit(C(F, "Edit_ProjectCode"), "P9");
    TypeIntoEdit(C(F, "Edit_ProjectName"), "O'Neil II");
    TypeIntoEdit(C(F, "Edit_Leader"), "  Lee  ");
    TypeIntoEdit(C(F, "Edit_GCInvest"), "2500.5");
    D(F, "DE_BeginDate")->SetDateValue(Today() - 3);
    D(F, "DE_EndDate")->SetDateValue(0);
    Ok(F);
    EXPECT_EQ(TakeMessages(), std::vector<String>{});
    // The window stays open, emptied for the next project.
    EXPECT_EQ(C(F, "Edit_ProjectCode")->Text(), "");
    EXPECT_EQ(C(F, "Edit_ProjectName")->Text(), "");
    EXPECT_EQ(C(F, "Edit_GCInvest")->Text(), "0");
    TypeIntoEdit(C(F, "Edit_ProjectCode"), "P9");
    Ok(F);
    EXPECT_EQ(TakeMessages(), std::vector<String>{"项目编码有重复!"});
    TypeIntoEdit(C(F, "Edit_ProjectCode"), "P10");
    Ok(F);
    ClickOn(C(F, "BitBtn1"));
  }}));
  EXPECT_EQ(Row("ProjectName", "P9"), "O'Neil II");
  EXPECT_EQ(Row("Leader", "P9"), "Lee");
  EXPECT_EQ(Row("GCInvest", "P9"), "2500.5");
  EXPECT_EQ(Count("select count(*) from T_Project where ProjectCode='P9' and EndDate is null and BeginDate is not null"), 1);
  EXPECT_EQ(Row("GCInvest", "P10"), "0");
  EXPECT_EQ(Row("ProjectName", "P10"), "");
  EXPECT_EQ(Count("select count(*) from T_Project"), 5);
}

TEST_F(ProjectDialogTest, AnAmountThatIsNoNumberIsRefusedWithItsEditFocusedAndNothingWritten) {
  Show(1, {[&](TCustomForm* F) {
    TypeIntoEdit(C(F, "Edit_ProjectCode"), "P11");
    C(F, "Edit_GCInvest")->SetText("12a");
    Ok(F);
    std::vector<String> shown = TakeMessages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_NE(shown[0].find("12a"), String::npos) << shown[0];
    // The focus is in the calculator edit (on its inner editor).
    TWinControl* focused = F->ActiveControl();
    while (focused && focused != C(F, "Edit_GCInvest")) focused = focused->Parent();
    EXPECT_NE(focused, nullptr);
    EXPECT_EQ(C(F, "Edit_ProjectCode")->Text(), "P11");
    ClickOn(C(F, "BitBtn1"));
  }});
  EXPECT_EQ(Count("select count(*) from T_Project where ProjectCode='P11'"), 0);
  EXPECT_EQ(Frm_Data->Qry_Project->State(), dsBrowse);
}

TEST_F(ProjectDialogTest, EditLoadsTheCurrentProjectFollowsTheNavigatorAndChecksAChangedCode) {
  TADOQuery* q = Frm_Data->Qry_Project;
  Frm_Data->OpenQuery(q, "select * from T_Project order by ProjectCode");
  ASSERT_TRUE(q->Locate("ProjectCode", Variant("P0101"), {}));
  Show(0, {[&](TCustomForm* F) {
    EXPECT_EQ(F->Caption(), "编辑项目");
    EXPECT_EQ(C(F, "Edit_ProjectName")->Text(), "O'Neil");
    EXPECT_EQ(C(F, "Edit_Type")->Text(), "一类甲");
    EXPECT_EQ(C(F, "Edit_GCInvest")->Text(), "100");
    EXPECT_EQ(D(F, "DE_BeginDate")->GetDateValue(), Today() - 30);
    // No end date was stored: the edit shows none.
    EXPECT_EQ(D(F, "DE_EndDate")->GetDateValue(), 0);
    TypeIntoEdit(C(F, "Edit_ProjectCode"), "P02");
    Ok(F);
    EXPECT_EQ(TakeMessages(), std::vector<String>{"项目编码有重复!"});
    TypeIntoEdit(C(F, "Edit_ProjectCode"), "P0101X");
    TypeIntoEdit(C(F, "Edit_GCInvest"), "321");
    D(F, "DE_EndDate")->SetDateValue(EncodeDate(1905, 3, 1));
    Ok(F);
    EXPECT_EQ(TakeMessages(), std::vector<String>{});
    auto* nav = dynamic_cast<TDBNavigator*>(F->FindComponent("DBNavigator1"));
    ClickOn(nav->Buttons(nbNext));
    EXPECT_EQ(C(F, "Edit_ProjectCode")->Text(), "P02");
    EXPECT_EQ(C(F, "Edit_ProjectName")->Text(), "南湖公园");
    ClickOn(C(F, "BitBtn1"));
  }});
  EXPECT_EQ(Row("ProjectName", "P0101X"), "O'Neil");
  EXPECT_EQ(Row("GCInvest", "P0101X"), "321");
  EXPECT_EQ(Count("select count(*) from T_Project where ProjectCode='P0101'"), 0);
  EXPECT_EQ(Row("ProjectName", "P02"), "南湖公园");
  EXPECT_EQ(Count("select count(*) from T_Project where EndDate is not null"), 1);
}

}  // namespace
