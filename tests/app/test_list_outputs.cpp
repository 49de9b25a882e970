// What the customer and employee lists and the chart give out: the lists printed through the
// preview to PDF and read back with pdftotext, exported to spreadsheet files that the office
// suite reads as the grid shows them, and the chart's bars, bitmap and printed page. The
// program's windows are made through ProgramStart.h: the data module's header and the print
// layer's cannot share a unit.
#include "ListOutputs.h"

#include "app/SqlText.h"
#include "app/U_Custom.h"
#include "app/U_Main.h"
#include "app/ufrmChart.h"
#include "app/ufrmEmp.h"
#include "core/FileUtils.h"
#include "core/StrUtils.h"
#include "core/StringList.h"
#include "grid/DBGridEh.h"
#include "grid/PrViewEh.h"
#include "grid/PrViewFormEh.h"
#include "gui/Chart.h"
#include "gui/Dialogs.h"
#include "gui/StdCtrls.h"

#include <memory>

namespace {

class ListOutputsTest : public ListOutputFixture {
protected:
  void SetUp() override {
    ASSERT_TRUE(StartProgramWindows());
    RunProgramSql("insert into t_custom (CustCode, CustName, CustType, Phone, ZContact, Maker) values "
                  "('K01', '北京建工集团', '客户', '010-1', '张三', 'Admin')");
    RunProgramSql("insert into t_custom (CustCode, CustName, CustType, Phone, ZContact, Maker) values "
                  "('K02', 'O''Neil 贸易', '供应商', '021-2', '李四', 'Admin')");
    RunProgramSql("insert into dict_emp (EmpName, EmpSex, age, Depart, Place, Phone) values "
                  "('王五', '男', '35', '工程部', '工程师', '139')");
    RunProgramSql("update dict_emp set InDate=#2024-03-05#, Remark='负责 A 区' where EmpName='王五'");
    RunProgramSql("insert into dict_emp (EmpName, EmpSex, age, Depart, Place, Phone) values "
                  "('赵六', '女', '28', '财务部', '会计', '138')");
  }
  void OpenLists() {
    Frm_Main->Cust_M->Execute();
    Frm_Main->Emp_M->Execute();
    Application->ProcessMessages();
    ASSERT_TRUE(Frm_Custom && frmEmp);
  }
  std::vector<String> ExportedLines(TAction* command, const String& name) {
    {
      TDialogScript script;
      script.File(Dir / name).Button(IDNO);
      command->Execute();
      EXPECT_EQ(script.Unanswered(), 0);
    }
    return XlsLines(name);
  }
  // A chart window of SQL, shown (not modally).
  TfrmChart* ShowChart(const String& sql) {
    Chart.reset();
    Chart.reset(CreateForm<TfrmChart>(nullptr, &frmChart));
    Chart->ChartSQL = sql;
    Chart->Show();
    Application->ProcessMessages();
    return Chart.get();
  }
  static String ChartSQLOf(const String& search) {
    return "select sum(pactmoney) as ttmoney, pacttype from (" + search + ") group by pacttype";
  }
  void Pact(const String& code, const String& type, double money, const String& date) {
    RunProgramSql("insert into t_pact (PactCode, PactName, PactType, PactMoney, PactDate) values (" + SqlStr(code) +
                  ", " + SqlStr("合同" + code) + ", " + SqlStr(type) + ", " + SqlFloat(money) + ", #" + date + "#)");
  }
  struct TBar {
    String Label;
    double Value;
    bool operator==(const TBar&) const = default;
  };
  static std::vector<TBar> Bars(TfrmChart* c) {
    std::vector<TBar> bars;
    TChartSeries* s = c->PactChart->Series(0);
    for (int i = 0; i < s->Count(); ++i) bars.push_back({s->XLabel(i), s->YValue(i)});
    return bars;
  }

  std::unique_ptr<TfrmChart> Chart;
};

// ---------------------------------------------------------------- print and export

TEST_F(ListOutputsTest, EachListPrintsToPdfUnderItsOwnTitleAlone) {
  OpenLists();
  Frm_Main->CustPrint->Execute();
  std::string customers = PreviewAsPdf("customers");
  EXPECT_NE(customers.find("客户打印"), std::string::npos) << customers;
  EXPECT_NE(customers.find("北京建工集团"), std::string::npos) << customers;
  Frm_Main->EmpPrint->Execute();
  std::string employees = PreviewAsPdf("employees");
  EXPECT_NE(employees.find("员工打印"), std::string::npos) << employees;
  EXPECT_NE(employees.find("财务部"), std::string::npos) << employees;
  EXPECT_EQ(employees.find("客户打印"), std::string::npos) << "the second list lacks the first title";
  EXPECT_EQ(employees.find("北京建工集团"), std::string::npos);
}

TEST_F(ListOutputsTest, TheOfficeSuiteReadsEachExportedListAsTheGridShowsIt) {
  OpenLists();
  std::vector<String> customers = ExportedLines(Frm_Main->CustExp, "客户");
  EXPECT_EQ(customers, GridLines(Frm_Custom->dgCust));
  ASSERT_GE(customers.size(), 3u);
  EXPECT_TRUE(StartsStr("客户编号,客户名称", customers[0])) << customers[0];
  EXPECT_TRUE(StartsStr("K02,O'Neil 贸易,供应商", customers[2])) << customers[2];
  std::vector<String> employees = ExportedLines(Frm_Main->EmpExp, "员工");
  EXPECT_EQ(employees, GridLines(frmEmp->dgEmp));
  ASSERT_GE(employees.size(), 3u);
  EXPECT_TRUE(StartsStr("王五,男,35,工程部,工程师,139", employees[1])) << employees[1];
}

TEST_F(ListOutputsTest, PrintAndExportDoNothingWhileTheirListIsClosed) {
  TDialogScript script;
  for (TAction* a : {Frm_Main->CustPrint, Frm_Main->CustExp, Frm_Main->EmpPrint, Frm_Main->EmpExp}) a->Execute();
  EXPECT_TRUE(script.Asked().empty());
  EXPECT_EQ(SharedPreviewForm() ? SharedPreviewForm()->Visible() : false, false);
}

// ---------------------------------------------------------------- the chart

TEST_F(ListOutputsTest, TheChartShowsOneRedBarPerTypeWithItsSumAndFollowsTheSearch) {
  Pact("P1", "施工合同", 100, "2024-05-01");
  Pact("P2", "施工合同", 250.5, "2024-05-02");
  Pact("P3", "采购合同", 40, "2024-05-03");
  Pact("P4", "设计合同", 7, "2024-06-01");
  TfrmChart* c = ShowChart(ChartSQLOf("Select * from t_pact"));
  EXPECT_EQ(c->Caption(), "图表显示");
  TChartSeries* s = c->PactChart->Series(0);
  EXPECT_EQ(s->SeriesColor(), clRed);
  EXPECT_TRUE(s->Marks()->Visible());
  EXPECT_EQ(s->Marks()->ArrowLength(), 20);
  EXPECT_EQ(s->Title(), "合同类别");
  EXPECT_EQ(c->PactChart->BackWall()->Brush()->Color(), clWhite);
  EXPECT_EQ(Bars(c), (std::vector<TBar>{{"施工合同", 350.5}, {"设计合同", 7}, {"采购合同", 40}}));
  // Another search's statement: the bars of its rows only.
  c = ShowChart(ChartSQLOf("Select * from t_pact where PactDate>=#2024-05-02# and PactDate<=#2024-05-31#"));
  EXPECT_EQ(Bars(c), (std::vector<TBar>{{"施工合同", 250.5}, {"采购合同", 40}}));
  c = ShowChart(ChartSQLOf("Select * from t_pact where PactDate>=#2025-01-01#"));
  EXPECT_TRUE(Bars(c).empty());
  c = ShowChart("");
  EXPECT_TRUE(Bars(c).empty()) << "no search, nothing charted";
}

TEST_F(ListOutputsTest, TheChartIsSavedAsABitmapAndPrintedOnOnePage) {
  Pact("P1", "施工合同", 100, "2024-05-01");
  Pact("P2", "采购合同", 60, "2024-05-03");
  TfrmChart* c = ShowChart(ChartSQLOf("Select * from t_pact"));
  ForceDirectories("screenshots");
  EXPECT_TRUE(GrabToPng(c, "screenshots/chart_window.png"));
  {
    TDialogScript script;
    script.File(Dir / "chart.bmp");
    c->btnSaveBmp->Click();
    ASSERT_EQ(script.Asked().size(), 1u);
    auto* dialog = dynamic_cast<TSaveDialog*>(script.Asked()[0].Dialog);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(script.Asked()[0].Kind, dkSaveFile);
    EXPECT_EQ(dialog->Filter(), "位图文件(*.bmp)|*.bmp");
  }
  EXPECT_EQ(c->dlgChart->FileName(), Dir / "chart.bmp");
  String bmp = Dir.Read("chart.bmp");
  ASSERT_GT(bmp.size(), 54u);
  EXPECT_EQ(bmp.substr(0, 2), "BM");
  // Cancelling writes nothing; the name offered is the preset one.
  {
    TDialogScript script;
    script.Answer([](TDialogRequest& r) {
      EXPECT_EQ(r.Value, "未命名.bmp");
      r.Result = 0;
      return true;
    });
    c->btnSaveBmp->Click();
  }
  c->btnPrint->Click();
  Application->ProcessMessages();
  TPreviewFormEh* preview = SharedPreviewForm();
  ASSERT_NE(preview, nullptr);
  EXPECT_TRUE(preview->Visible());
  EXPECT_EQ(preview->PreviewEh1->PageCount(), 1);
  EXPECT_EQ(preview->PreviewEh1->PrintSource(), nullptr) << "no grid's setup for a chart";
  std::string text = PreviewAsPdf("chart");
  EXPECT_NE(text.find("施工合同"), std::string::npos) << text;
  EXPECT_NE(text.find("采购合同"), std::string::npos) << text;
}

}  // namespace
