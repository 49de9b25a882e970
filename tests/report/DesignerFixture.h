#pragma once
// What the designer dialog tests share: a step run on the modal window once it is up, a
// designer with a selection, a measuring unit and a fixed answer for expressions, and a report
// with two data sets, a page, a master band and a text object.
#include "ModalStep.h"
#include "core/StringList.h"
#include "gui/Menus.h"
#include "gui/Screen.h"
#include "gui/Timers.h"
#include "report/designer/frxDesgnEditors.h"
#include "report/frxBands.h"
#include "report/frxClass.h"
#include "report/frxClassBases.h"
#include "report/frxDBSet.h"
#include "report/frxMemoView.h"
#include "report/frxPages.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace designer_test {

using report_test::TModalStep;

// The designer as the editors see it: a selection and a measuring unit.
class TTestDesigner : public TfrxCustomDesigner {
public:
  explicit TTestDesigner(TfrxReport* R) : TfrxCustomDesigner(nullptr, R) {}
  TfrxRulerUnits Units = ruCM;
  void CurrentCodeLines(TStrings*) override {}
  bool AskExpression(String& Expression) override {
    Expression = "<Customers.\"Amount\"> > 0";
    return true;
  }
  void DropSelection() override {}
  void RebuildPageTabs(int) override {}
  void RefreshFromReport() override {}
  void RefreshDataTree() override {}
  void RepaintPage() override {}
};

inline std::vector<String> MenuOf(TfrxCustomDesigner* D, TfrxComponent* C) {
  TMenu menu(nullptr);
  BuildComponentMenu(D, C, &menu);
  std::vector<String> entries;
  for (int i = 0; i < menu.Items()->Count(); ++i)
    entries.push_back(menu.Items()->Items(i)->Caption() + (menu.Items()->Items(i)->Checked() ? "*" : ""));
  return entries;
}

// A report with a data set Customers (Name, Amount) and a master band on a page.
class DesignerDialogsTest : public ::testing::Test {
protected:
  void SetUp() override {
    Customers.SetUserName("Customers");
    Customers.Fields()->SetText("Name\nAmount");
    Orders.SetUserName("Orders");
    Orders.Fields()->SetText("Id");
    Report.DataSets()->AddDataSet(&Customers);
    Report.DataSets()->AddDataSet(&Orders);
    Page = new TfrxReportPage(&Report);
    Band = new TfrxMasterData(Page);
    Band->SetName("MasterData1");
    Memo = new TfrxMemoView(Band);
    Memo->SetName("Memo1");
    Designer = std::make_unique<TTestDesigner>(&Report);
    DesignerUnitsHook = [](TfrxCustomDesigner* D) { return static_cast<TTestDesigner*>(D)->Units; };
  }
  void TearDown() override { DesignerUnitsHook = nullptr; }

  TfrxReport Report{nullptr};
  TfrxUserDataSet Customers{nullptr}, Orders{nullptr};
  TfrxReportPage* Page = nullptr;
  TfrxMasterData* Band = nullptr;
  TfrxMemoView* Memo = nullptr;
  std::unique_ptr<TTestDesigner> Designer;
};

}  // namespace designer_test
