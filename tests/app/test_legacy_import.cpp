// The spreadsheet import (opened as the main window opens it, with workbooks the office suite
// makes from a flat sheet) and the two lists of unconfirmed records.
#include "AppInput.h"
#include "LegacyFixture.h"
#include "OfficeConvert.h"
#include "StdTestUtil.h"

#include "app/U_Main.h"
#include "app/legacy/U_AllBill.h"
#include "app/legacy/U_Import.h"
#include "app/legacy/U_R_HTsp.h"
#include "app/legacy/U_R_qrhtbg.h"
#include "core/ComObj.h"
#include "grid/DBGridEh.h"
#include "gui/Buttons.h"
#include "gui/ComCtrlsBasic.h"
#include "gui/Dialogs.h"
#include "gui/Screen.h"
#include "gui/StdCtrls.h"

#include <memory>

using namespace appinput;

namespace {

class SpreadsheetImportTest : public LegacyTest {
protected:
  void SetUp() override {
    LegacyTest::SetUp();
    // The open dialog answers with File; every box is recorded and answered OK.
    SetDialogHook([this](TDialogRequest& r) {
      if (r.Kind == dkOpenFile) {
        r.Value = File;
        r.Result = 1;
        return true;
      }
      Shown.push_back(r.Text);
      r.Result = r.Kind == dkMessageBox ? IDOK : mrOk;
      return true;
    });
  }
  void TearDown() override {
    SetDialogHook(nullptr);
    LegacyTest::TearDown();
  }

  // A workbook of Rows (each a row of texts; a text starting with '#' is a number) made by the
  // office suite, as .xlsx or .xls.
  String Workbook(const std::vector<std::vector<String>>& Rows, const String& Ext = ".xlsx") {
    String body;
    for (const auto& row : Rows) {
      body += "<table:table-row>";
      for (const String& v : row) {
        if (v.empty()) body += "<table:table-cell/>";
        else if (v[0] == '#')
          body += "<table:table-cell office:value-type=\"float\" office:value=\"" + v.substr(1) + "\"><text:p>" +
                  v.substr(1) + "</text:p></table:table-cell>";
        else body += "<table:table-cell office:value-type=\"string\"><text:p>" + v + "</text:p></table:table-cell>";
      }
      body += "</table:table-row>";
    }
    Dir.Write("book.fods",
              R"(<?xml version="1.0" encoding="UTF-8"?><office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.spreadsheet"><office:body><office:spreadsheet><table:table table:name="S1">)" +
                  body + "</table:table></office:spreadsheet></office:body></office:document>");
    const String filter = Ext == ".xls" ? "xls:MS Excel 97" : "xlsx:Calc MS Excel 2007 XML";
    String bytes = ConvertWithOffice(Dir, Dir / "book.fods", filter, Ext);
    Dir.Write("book" + Ext, bytes);
    return Dir / ("book" + Ext);
  }

  // The goods mapping: F_Field of each target column, the rest blank.
  void MapGoods(const std::vector<std::pair<String, String>>& Titles) {
    Exec("update T_Import set F_Field=' ' where tablename='Goods'");
    for (const auto& [column, title] : Titles)
      Exec("update T_Import set F_Field=" + SqlStr(title) + " where tablename='Goods' and S_Field=" + SqlStr(column));
  }
  std::vector<String> Mapping(const String& Kind) {
    std::vector<String> titles;
    TADOQuery* q = Frm_Data->Qry_Temp;
    Frm_Data->OpenQuery(q, "select F_Field from T_Import where tablename=" + SqlStr(Kind) + " order by ImportID");
    for (q->First(); !q->Eof(); q->Next()) titles.push_back(q->FieldByName("F_Field")->AsString());
    return titles;
  }

  // Opens File for the import of Kind; Steps play in the mapping window (none: it is closed).
  void OpenImport(const String& Kind, const String& file, std::function<void(TFrm_Import*)> Steps = nullptr) {
    File = file;
    TModalSteps person({[&](TCustomForm* f) {
      auto* w = dynamic_cast<TFrm_Import*>(f);
      ASSERT_NE(w, nullptr);
      if (Steps) Steps(w);
      w->Close();
    }});
    Frm_Main->OpenExcelImport(Kind);
  }
  // Opens File for the goods import and presses Start once, with the mapping as it stands
  // after the opening was changed by Remap.
  void ImportGoods(const String& file, std::function<void()> Remap = nullptr) {
    OpenImport("Goods", file, [&](TFrm_Import* w) {
      if (Remap) {
        Remap();
        w->Qry_Info->Close();
        w->Qry_Info->Open();
      }
      ClickOn(w->Btn_Start);
      StartEnabled = w->Btn_Start->Enabled();
      EXPECT_EQ(Screen->Cursor(), crDefault);
    });
  }

  TempFolder Dir;
  String File;
  std::vector<String> Shown;
  bool StartEnabled = false;
};

TEST_F(SpreadsheetImportTest, OpeningPrefillsTheMappingFromTheSecondColumnOnAndShowsTheCount) {
  // Five contract mapping rows known before the opening; the sheet has columns A to D.
  Exec("delete from T_Import where tablename='Custom'");
  for (int i = 1; i <= 5; ++i)
    Exec("insert into T_Import (tablename, S_Field, FieldName, F_Field) values ('Custom', 'HTName', '名" +
         IntToStr(i) + "', '旧" + IntToStr(i) + "')");
  String file = Workbook({{"甲", "乙", "丙", "丁"}, {"1", "2", "3", "4"}, {"5", "6", "7", "8"}});
  OpenImport("Custom", file, [&](TFrm_Import* w) {
    EXPECT_EQ(w->Caption(), "字段映射");
    EXPECT_EQ(w->Label1->Caption(), "Excel中共有 2 条记录");
    EXPECT_TRUE(w->DBGridEh1->Columns()->Items(0)->ReadOnly());
    TStrings* picks = w->DBGridEh1->Columns()->Items(1)->PickList();
    ASSERT_EQ(picks->Count(), 4);
    EXPECT_EQ(picks->Strings(0), "甲");
    EXPECT_EQ(picks->Strings(3), "丁");
  });
  EXPECT_EQ(Mapping("Custom"), (std::vector<String>{"乙", "丙", "丁", "旧4", "旧5"}));
  EXPECT_EQ(Frm_Main->ImportFileName, "book.xlsx");
  EXPECT_EQ(Frm_Main->ImportHeaders, (std::vector<String>{"甲", "乙", "丙", "丁"}));
  EXPECT_TRUE(VarIsEmpty(Frm_Main->ExcelApp)) << "closing the window lets the workbook go";
  EXPECT_TRUE(VarIsEmpty(Frm_Main->ExcelBook));
}

TEST_F(SpreadsheetImportTest, RowsBecomeGoodsAsDisplayedAndUnmappedColumnsStayEmpty) {
  String file = Workbook({{"", "编码", "名称", "单价", "备注"},
                          {"x", "G1", "O'Hara 螺栓", "#12", "甲"},
                          {"y", "G2", "合同", "#1234.5", "乙"}},
                         ".xls");
  ImportGoods(file, [&] {
    MapGoods({{"GoodsCode", "编码"}, {"GoodsName", "名称"}, {"InPrice", "单价"}, {"Remark1", ""}, {"Remark2", " "}});
  });
  EXPECT_EQ(Shown, std::vector<String>{"导入数据完成,导入成功 2 条,导入失败 0 条"});
  EXPECT_EQ(Count("select count(*) from T_Goods where GoodsCode='G1' and GoodsName='O''Hara 螺栓' and InPrice=12"), 1);
  EXPECT_EQ(Count("select count(*) from T_Goods where GoodsCode='G2' and InPrice=1234.5 and Remark1 is null"), 1);
  EXPECT_TRUE(StartEnabled);
}

TEST_F(SpreadsheetImportTest, TitlesOnlyImportNothingAndAnUnknownTitleIsRefusedBeforeTheWalk) {
  String titles = Workbook({{"甲", "编码", "名称"}});
  OpenImport("Custom", titles, [&](TFrm_Import* w) { ClickOn(w->Btn_Start); });
  EXPECT_EQ(Shown, std::vector<String>{"导入数据成功,导入成功0条数据"});
  Shown.clear();

  String file = Workbook({{"甲", "编码", "名称"}, {"1", "G1", "螺栓"}});
  ImportGoods(file, [&] { MapGoods({{"GoodsCode", "编码"}, {"GoodsName", "货名"}}); });
  ASSERT_EQ(Shown.size(), 1u);
  EXPECT_NE(Shown[0].find("货名"), String::npos) << Shown[0];
  EXPECT_EQ(Count("select count(*) from T_Goods"), 0);
  EXPECT_TRUE(StartEnabled);
}

TEST_F(SpreadsheetImportTest, ARefusedCellUndoesTheWholeImportAndNamesItsRow) {
  RawSql("CREATE TRIGGER refuse_bad BEFORE INSERT ON T_Goods WHEN new.GoodsName='坏' "
         "BEGIN SELECT RAISE(ABORT, 'refused by the test'); END");
  String file = Workbook({{"", "编码", "名称"}, {"", "G1", "好"}, {"", "G2", "坏"}, {"", "G3", "好"}});
  ImportGoods(file, [&] { MapGoods({{"GoodsCode", "编码"}, {"GoodsName", "名称"}}); });
  ASSERT_EQ(Shown.size(), 1u);
  EXPECT_NE(Shown[0].find("第 3 行"), String::npos) << Shown[0];
  EXPECT_EQ(Count("select count(*) from T_Goods"), 0);
  EXPECT_TRUE(StartEnabled);
}

TEST_F(SpreadsheetImportTest, UnreadableWorkbooksAreToldNamingTheFile) {
  Dir.Write("renamed.xls", "编码,名称\nG1,螺栓\n");
  String good = Workbook({{"甲", "乙"}, {"1", "2"}}, ".xls");
  String bytes = Dir.Read("book.xls");
  Dir.Write("truncated.xls", bytes.substr(0, bytes.size() / 2));
  for (const String& name : {String("renamed.xls"), String("truncated.xls")}) {
    Shown.clear();
    File = Dir / name;
    Frm_Main->OpenExcelImport("Goods");  // no mapping window opens
    ASSERT_EQ(Shown.size(), 1u) << name;
    EXPECT_NE(Shown[0].find(Dir / name), String::npos) << Shown[0];
    EXPECT_TRUE(VarIsEmpty(Frm_Main->ExcelApp));
  }
}

TEST_F(SpreadsheetImportTest, TheGridsOwnExportImportsBack) {
  Exec("insert into T_Bill (BillCode, AddDate, DepotName, CustName) values ('B1', 46000, '一号库', 'O''Hara')");
  Exec("insert into T_Bill (BillCode, AddDate, DepotName, CustName) values ('B2', 46001, '二号库', '合同')");
  Exec("insert into T_Bill (BillCode, AddDate, DepotName, CustName) values ('B3', 46002, '一号库', '华建')");
  OpenMDIChild(Frm_AllBill, Frm_Main);
  std::unique_ptr<TFrm_AllBill> bills(Frm_AllBill);
  File = Dir / "bills.xls";
  SetDialogHook([this](TDialogRequest& r) {
    r.Value = File;
    r.Result = r.Kind == dkSaveFile ? 1 : IDNO;
    return true;
  });
  ClickOn(bills->BitBtn2);
  ASSERT_TRUE(Dir.Exists("bills.xls"));
  SetDialogHook([this](TDialogRequest& r) {
    r.Value = File;
    r.Result = r.Kind == dkOpenFile ? 1 : IDOK;
    return true;
  });
  std::vector<String> third;
  OpenImport("Goods", File, [&](TFrm_Import*) {
    Variant cells = OleGet(OleGet(Frm_Main->ExcelApp, "ActiveSheet"), "Cells");
    for (int c = 1; c <= Frm_Main->ImportColCount; ++c)
      third.push_back(OleGet(OleCall(cells, "Item", {Variant(2), Variant(c)}), "Text").AsString());
  });
  EXPECT_EQ(Frm_Main->ImportRowCount, 4);
  ASSERT_GE(Frm_Main->ImportHeaders.size(), 6u);
  EXPECT_EQ(Frm_Main->ImportHeaders[0], "单据编号");
  EXPECT_EQ(Frm_Main->ImportHeaders[5], "客户");
  ASSERT_GE(third.size(), 6u);
  EXPECT_EQ(third[0], "B1");
  EXPECT_EQ(third[5], "O'Hara");
}

// ---------------------------------------------------------------- unconfirmed lists

class UnconfirmedListTest : public LegacyTest {
protected:
  template <class T> void Show(T* Window, std::function<void()> Steps) {
    TModalSteps person({[&](TCustomForm*) {
      Steps();
      Window->Close();
    }});
    Window->ShowModal();
  }
};

TEST_F(UnconfirmedListTest, OnlyUnconfirmedRowsAreListedAndConfirmedOnesLeaveOnRefresh) {
  // The fixture's two changes and two claims are "未确认"; one more of each confirmed, one empty.
  Exec("insert into T_htBG (HTCode, BGname, QRzt) values ('HT1', '已确认的', '已确认')");
  Exec("insert into T_htBG (HTCode, BGname, QRzt) values ('HT1', '空的', '')");
  Exec("insert into T_htsp (HTCode, SPname, qrzt) values ('HT1', '已确认的', '已确认')");
  Exec("insert into T_htsp (HTCode, SPname) values ('HT1', '空的')");
  std::unique_ptr<TFrm_R_qrhtbg> changes(CreateForm<TFrm_R_qrhtbg>(Frm_Main));
  Show(changes.get(), [&] {
    EXPECT_EQ(changes->Caption(), "需要确认的合同变更");
    EXPECT_EQ(Column(Frm_Data->Qry_count1, "BGname"), (std::vector<String>{"变更", "变更"}));
    Exec("update T_htBG set QRzt='已确认' where HTCode='HT1'");
    ClickOn(changes->BitBtn1);
    EXPECT_EQ(Frm_Data->Qry_count1->RecordCount(), 1);
  });
  std::unique_ptr<TFrm_R_HTsp> claims(CreateForm<TFrm_R_HTsp>(Frm_Main));
  Show(claims.get(), [&] {
    EXPECT_EQ(claims->Caption(), "需要确认的合同索赔");
    EXPECT_EQ(Column(claims->Qry_Count, "HTCode"), (std::vector<String>{"HT1", "HT2"}));
    EXPECT_GT(claims->DBGridEh1->Columns()->Count(), 1);
    Exec("update T_htsp set qrzt='已确认' where HTCode='HT2'");
    claims->N3Click(nullptr);
    EXPECT_EQ(Column(claims->Qry_Count, "HTCode"), (std::vector<String>{"HT1"}));
  });
}

TEST_F(UnconfirmedListTest, TheClaimEditActsOnTheClaimChosenInTheList) {
  Frm_Data->Qry_htsp->Close();
  std::unique_ptr<TFrm_R_HTsp> claims(CreateForm<TFrm_R_HTsp>(Frm_Main));
  Show(claims.get(), [&] {
    ASSERT_TRUE(claims->Qry_Count->Locate("HTCode", Variant("HT2"), {}));
    const String id = claims->Qry_Count->FieldByName("SPID")->AsString();
    ClickOn(claims->SpeedButton2);
    ASSERT_TRUE(Frm_Data->Qry_htsp->Active());
    EXPECT_EQ(Frm_Data->Qry_htsp->FieldByName("SPID")->AsString(), id);
    EXPECT_EQ(Frm_Data->Qry_htsp->FieldByName("HTCode")->AsString(), "HT2");
  });
}

}  // namespace
