// The goods dialog, the depot names, the batch category change and the bill search of the
// older records, driven offscreen as their openers open them.
#include "AppInput.h"
#include "LegacyFixture.h"
#include "StdTestUtil.h"

#include "app/U_Custom.h"
#include "app/U_Main.h"
#include "app/legacy/U_AddGoods.h"
#include "app/legacy/U_AllBill.h"
#include "app/legacy/U_BatchEdit.h"
#include "app/legacy/U_DepotName.h"
#include "app/legacy/U_SelectCust.h"
#include "app/legacy/U_SelectProject.h"
#include "app/U_tree.h"
#include "data/ADODB.h"
#include "core/FormatSettings.h"
#include "core/IniFiles.h"
#include "grid/DBGridEh.h"
#include "gui/Buttons.h"
#include "gui/ComCtrls.h"
#include "gui/Edit.h"
#include "gui/StdCtrls.h"

#include <memory>

using namespace appinput;

namespace {

class GoodsBillsTest : public LegacyTest {
protected:
  template <class T> void ShowWith(T* Window, std::vector<TModalSteps::TStep> Steps) {
    TModalSteps person(std::move(Steps));
    Window->ShowModal();
  }
  void Goods(const String& code, const String& name, const String& unit = "") {
    Exec("insert into T_Goods (GoodsType, GoodsCode, GoodsName, GoodsUnit, DepotUp, DepotDown) values ('01', " +
         SqlStr(code) + ", " + SqlStr(name) + ", " + SqlStr(unit) + ", 10, 1)");
  }
  void Bill(const String& code, TDateTime stamp, const String& depot = "一号库", const String& cust = "华建公司") {
    Exec("insert into T_Bill (BillCode, AddDate, BillType, DepotName, CustName, UserName) values (" + SqlStr(code) +
         ", " + SqlFloat(stamp) + ", '入库单', " + SqlStr(depot) + ", " + SqlStr(cust) + ", '小王')");
  }
  void Line(const String& bill, const String& goods, const String& name) {
    Exec("insert into T_BillDetail (BillCode, GoodsCode, GoodsName, Number, Price, Discount, Money) values (" +
         SqlStr(bill) + ", " + SqlStr(goods) + ", " + SqlStr(name) + ", 1, 2, 1, 2)");
  }
  TIniFile* Ini() { return Frm_Data->ConfigIni(); }
};

// ---------------------------------------------------------------- goods

class GoodsDialogTest : public GoodsBillsTest {
protected:
  void SetUp() override {
    GoodsBillsTest::SetUp();
    Exec("insert into Dict_Units (Name) values ('个')");
    Goods("G0001", "螺栓", "M8");
    Goods("G0002", "螺母", "M8");
  }
  void TearDown() override {
    delete D;
    GoodsBillsTest::TearDown();
  }
  TFrm_AddGoods* Open(int Mode) {
    D = CreateForm<TFrm_AddGoods>(Frm_Main, &Frm_AddGoods);
    D->AddMode = Mode;
    return D;
  }
  void OpenGoods(const String& code) {
    Frm_Data->OpenQuery(Frm_Data->Qry_Goods, "select * from T_Goods order by GoodsCode");
    ASSERT_TRUE(Frm_Data->Qry_Goods->Locate("GoodsCode", Variant(code), {}));
  }
  TFrm_AddGoods* D = nullptr;
};

TEST(GoodsCodes, TheNextCodeCountsUpTheLastFourCharacters) {
  struct TCase {
    const char* Code;
    const char* Next;
  } cases[] = {{"ABC0009", "ABC0010"}, {"ABC0999", "ABC1000"}, {"ABC9999", "ABC10000"},
               {"0041", "0042"},       {"货品0007", "货品0008"}};
  for (const TCase& c : cases) EXPECT_EQ(TFrm_AddGoods::NextGoodsCode(c.Code), c.Next) << c.Code;
  EXPECT_TRUE(IsIntegerText(""));
  EXPECT_TRUE(IsIntegerText("0012"));
  EXPECT_FALSE(IsIntegerText("00A2"));
}

TEST_F(GoodsDialogTest, WithoutTheKeyTheCodeIsAutomaticCountsUpAndIsRememberedAtClose) {
  Ini()->EraseSection("OtherInfo");
  Open(1);
  ShowWith(D, {[&](TCustomForm*) {
    EXPECT_EQ(D->Caption(), "货品资料-新增");
    EXPECT_TRUE(D->CB1->Checked());
    EXPECT_EQ(D->Edit_DepotUp->Text(), "0");
    EXPECT_EQ(D->Combo_Units->Text(), "个");
    TypeIntoEdit(D->Edit_GoodsCode, "ABC0009");
    TypeIntoEdit(D->Edit_GoodsName, "O'Hara 垫片");
    ClickOn(D->Btn_OK);
    EXPECT_EQ(TakeMessages(), std::vector<String>{});
    EXPECT_EQ(D->Edit_GoodsCode->Text(), "ABC0010");
    EXPECT_EQ(D->Edit_GoodsName->Text(), "");
    D->Close();
  }});
  EXPECT_EQ(Count("select count(*) from T_Goods where GoodsCode='ABC0009' and GoodsName='O''Hara 垫片' and Units='个'"), 1);
  EXPECT_EQ(Ini()->ReadString("OtherInfo", "GoodsCode", ""), "ABC0010");
  EXPECT_EQ(Ini()->ReadInteger("OtherInfo", "AutoGoodsCode", -1), 1);

  // the next opening proposes it; unticked, the flag is cleared at close
  delete D;
  Open(1);
  ShowWith(D, {[&](TCustomForm*) {
    EXPECT_EQ(D->Edit_GoodsCode->Text(), "ABC0010");
    ClickOn(D->CB1);
    D->Close();
  }});
  EXPECT_EQ(Ini()->ReadInteger("OtherInfo", "AutoGoodsCode", -1), 0);
}

TEST_F(GoodsDialogTest, AddRefusesMissingValuesBadLimitsAndDuplicatesInOrder) {
  Ini()->WriteInteger("OtherInfo", "AutoGoodsCode", 0);
  struct TCase {
    const char* Code;
    const char* Name;
    const char* Unit;
    const char* Up;
    const char* Down;
    const char* Message;
  } cases[] = {
      {"  ", "甲", "", "0", "0", "请输入货品编码！!"},
      {"N1", " ", "", "0", "0", "请输入货品名称！!"},
      {"N1", "甲", "", "5", "10", "库存上限不能小于或等于库存下限！!"},
      {"G0001", "甲", "", "0", "0", "货品编码重复,请换一个货品编码!"},
      {"N1", "螺栓", "M8", "0", "0", "货品规格重复,不能录入!"},
      {"N1", "螺母", "", "0", "0", "货品名称重复,不能录入!"},
  };
  Open(1);
  ShowWith(D, {[&](TCustomForm*) {
    for (const TCase& c : cases) {
      TypeIntoEdit(D->Edit_GoodsCode, c.Code);
      TypeIntoEdit(D->Edit_GoodsName, c.Name);
      TypeIntoEdit(D->Edit_GoodsUnit, c.Unit);
      TypeIntoEdit(D->Edit_DepotUp, c.Up);
      TypeIntoEdit(D->Edit_DepotDown, c.Down);
      ClickOn(D->Btn_OK);
      EXPECT_EQ(TakeMessages(), std::vector<String>{c.Message}) << c.Code << " " << c.Name;
    }
    // equal limits pass
    TypeIntoEdit(D->Edit_GoodsCode, "N1");
    TypeIntoEdit(D->Edit_GoodsName, "垫圈");
    TypeIntoEdit(D->Edit_GoodsUnit, "");
    TypeIntoEdit(D->Edit_DepotUp, "0");
    TypeIntoEdit(D->Edit_DepotDown, "0");
    ClickOn(D->Btn_OK);
    EXPECT_EQ(TakeMessages(), std::vector<String>{});
    D->Close();
  }});
  EXPECT_EQ(Count("select count(*) from T_Goods"), 3);
}

TEST_F(GoodsDialogTest, ACodeChangedInEditCarriesTheBillLinesOrNothingAtAll) {
  Bill("B1", Today());
  for (int i = 0; i < 3; ++i) Line("B1", "G0001", "螺栓");
  Line("B1", "G0002", "螺母");
  struct TCase {
    const char* NewCode;
    bool Refused;
    std::vector<String> Messages;
    int LinesOfNew, LinesOfOld;
  } cases[] = {
      {"G0002", false, {"货品编码重复,请换一个货品编码!"}, 1, 3},
      {"G0009", true, {"数据出错,数据不能保存!"}, 0, 3},
      {"G0009", false, {}, 3, 0},
  };
  for (const TCase& c : cases) {
    if (c.Refused) Refuse("UPDATE", "T_BillDetail");
    OpenGoods("G0001");
    Open(0);
    ShowWith(D, {[&](TCustomForm*) {
      EXPECT_EQ(D->Caption(), "货品资料-编辑");
      EXPECT_EQ(D->Edit_GoodsCode->Text(), "G0001");
      TypeIntoEdit(D->Edit_GoodsCode, c.NewCode);
      ClickOn(D->Btn_OK);
      EXPECT_EQ(TakeMessages(), c.Messages) << c.NewCode;
      D->Close();
    }});
    delete D;
    D = nullptr;
    if (c.Refused) RawSql("DROP TRIGGER refuse_T_BillDetail");
    EXPECT_EQ(Count("select count(*) from T_BillDetail where GoodsCode=" + SqlStr(c.NewCode)), c.LinesOfNew) << c.NewCode;
    EXPECT_EQ(Count("select count(*) from T_BillDetail where GoodsCode='G0001'"), c.LinesOfOld) << c.NewCode;
    EXPECT_EQ(Count("select count(*) from T_Goods where GoodsCode='G0001'"), c.LinesOfOld ? 1 : 0) << c.NewCode;
  }
}

TEST_F(GoodsDialogTest, PriorAndNextStepThroughTheGoodsAndStopAtTheEnds) {
  OpenGoods("G0001");
  Open(0);
  ShowWith(D, {[&](TCustomForm*) {
    ClickOn(D->btNext);
    EXPECT_EQ(D->Edit_GoodsName->Text(), "螺母");
    ClickOn(D->btNext);
    ClickOn(D->btNext);
    EXPECT_FALSE(D->btNext->Enabled());
    EXPECT_EQ(D->Edit_GoodsName->Text(), "螺母");
    ClickOn(D->btPrior);
    EXPECT_TRUE(D->btNext->Enabled());
    EXPECT_EQ(D->Edit_GoodsName->Text(), "螺栓");
    D->Close();
  }});
}

TEST_F(GoodsDialogTest, DeletingGoodsTakesItsBillLinesOrNothing) {
  Bill("B1", Today());
  Line("B1", "G0001", "螺栓");
  Line("B1", "G0002", "螺母");
  Refuse("DELETE", "T_BillDetail");
  OpenGoods("G0001");
  Answers = {IDYES};
  EXPECT_FALSE(DeleteGoods());
  EXPECT_EQ(TakeMessages(), (std::vector<String>{DeleteGoodsQuestion, "数据出错,数据不能保存!"}));
  EXPECT_EQ(Count("select count(*) from T_Goods where GoodsCode='G0001'"), 1);
  EXPECT_EQ(Count("select count(*) from T_BillDetail"), 2);
  EXPECT_EQ(Frm_Data->Qry_Goods->RecordCount(), 2) << "the list shows what the table holds";

  RawSql("DROP TRIGGER refuse_T_BillDetail");
  OpenGoods("G0001");
  Answers = {IDNO};
  EXPECT_FALSE(DeleteGoods());
  Answers = {IDYES};
  EXPECT_TRUE(DeleteGoods());
  EXPECT_EQ(Count("select count(*) from T_Goods where GoodsCode='G0001'"), 0);
  EXPECT_EQ(Count("select count(*) from T_BillDetail where GoodsCode='G0001'"), 0);
  EXPECT_EQ(Count("select count(*) from T_BillDetail where GoodsCode='G0002'"), 1);
}

// ---------------------------------------------------------------- depots

class DepotTest : public GoodsBillsTest {
protected:
  void SetUp() override {
    GoodsBillsTest::SetUp();
    Exec("insert into Dict_DepotName (Name) values ('一号库')");
    Exec("insert into Dict_DepotName (Name) values ('二号库')");
    Bill("B1", Today(), "一号库");
    Bill("B2", Today(), "一号库");
    Bill("B3", Today(), "二号库");
    D.reset(CreateForm<TFrm_DepotName>(Frm_Main));
  }
  void TearDown() override {
    D.reset();
    GoodsBillsTest::TearDown();
  }
  std::unique_ptr<TFrm_DepotName> D;
};

TEST_F(DepotTest, RenameReachesTheBillsDuplicateIsRefusedDeleteLeavesThem) {
  ShowWith(D.get(), {[&](TCustomForm*) {
    EXPECT_EQ(D->Caption(), "仓库名称管理");
    EXPECT_FALSE(D->TB_Save->Enabled());
    EXPECT_EQ(D->Edit_Name->Text(), "一号库");
    ClickOn(D->TB_Edit);
    EXPECT_TRUE(D->TB_Save->Enabled());
    EXPECT_FALSE(D->TB_Add->Enabled());
    EXPECT_FALSE(D->DBGridEh1->Enabled());
    TypeIntoEdit(D->Edit_Name, "二号库");
    ClickOn(D->TB_Save);
    EXPECT_EQ(TakeMessages(), std::vector<String>{"仓库名称重复，请换一个仓库名称！"});
    TypeIntoEdit(D->Edit_Name, "O'Hara 库");
    ClickOn(D->TB_Save);
    EXPECT_EQ(TakeMessages(), std::vector<String>{});
    EXPECT_FALSE(D->TB_Save->Enabled());
    EXPECT_TRUE(D->DBGridEh1->Enabled());

    ClickOn(D->TB_Add);
    TypeIntoEdit(D->Edit_Name, "二号库");
    ClickOn(D->TB_Save);
    EXPECT_EQ(TakeMessages(), std::vector<String>{"仓库名称重复，请换一个仓库名称！"});
    TypeIntoEdit(D->Edit_Name, "");
    ClickOn(D->TB_Save);
    EXPECT_EQ(TakeMessages(), std::vector<String>{"名称不能为空!"});
    ClickOn(D->TB_Cancel);

    Frm_Data->Qry_Other->Locate("Name", Variant("二号库"), {});
    Answers = {IDYES};
    ClickOn(D->TB_Del);
    EXPECT_EQ(TakeMessages(), std::vector<String>{"您确定要删除该仓库吗？"});
    D->Close();
  }});
  EXPECT_EQ(Count("select count(*) from T_Bill where DepotName='O''Hara 库'"), 2);
  EXPECT_EQ(Count("select count(*) from T_Bill where DepotName='二号库'"), 1);
  EXPECT_EQ(Count("select count(*) from Dict_DepotName"), 1);
}

TEST_F(DepotTest, ARefusedRenameKeepsDepotAndBills) {
  Refuse("UPDATE", "T_Bill");
  ShowWith(D.get(), {[&](TCustomForm*) {
    ClickOn(D->TB_Edit);
    TypeIntoEdit(D->Edit_Name, "三号库");
    ClickOn(D->TB_Save);
    EXPECT_EQ(TakeMessages(), std::vector<String>{"数据出错,数据不能保存!"});
    EXPECT_TRUE(D->TB_Save->Enabled()) << "the input stays for another try";
    D->Close();
  }});
  EXPECT_EQ(Count("select count(*) from Dict_DepotName where Name='一号库'"), 1);
  EXPECT_EQ(Count("select count(*) from T_Bill where DepotName='一号库'"), 2);
}

// ---------------------------------------------------------------- batch change

class CategoryBatchTest : public GoodsBillsTest {
protected:
  void SetUp() override {
    GoodsBillsTest::SetUp();
    for (const char* c : {"C03", "C04", "C05"}) Customer(c, String("客户") + c, "01");
    Frm_Main->Cust_M->Execute();
    ASSERT_NE(Frm_Custom, nullptr);
  }
  // Selects the customers of the codes in the customer list's grid.
  void Select(std::initializer_list<const char*> codes) {
    TDataSet* q = Frm_Data->Qry_Cust;
    for (const char* c : codes) {
      ASSERT_TRUE(q->Locate("CustCode", Variant(c), {}));
      Frm_Custom->dgCust->SelectedRows()->SetCurrentRowSelected(true);
    }
  }
  void Run(int Mode) {
    std::unique_ptr<TFrm_BatchEdit> d(CreateForm<TFrm_BatchEdit>(Application, &Frm_BatchEdit));
    d->Mode = Mode;
    ShowWith(d.get(), {[&](TCustomForm*) {
      EXPECT_EQ(d->Caption(), "批量修改分类");
      if (Mode == 2) EXPECT_EQ(d->lbl_Num->Caption(), "3");
      ClickOn(d->Btn_OK);
      EXPECT_EQ(TakeMessages(), std::vector<String>{"行业类别不能为空!"});
      d->TypeCode = "0101";
      d->Edit_Category->SetText("一类甲");
      ClickOn(d->Btn_OK);
      d->Close();
    }});
  }
};

TEST_F(CategoryBatchTest, TheSelectedCustomersTakeTheCategoryTogetherOrNotAtAll) {
  Select({"C01", "C03", "C05"});
  RawSql("CREATE TRIGGER refuse_second BEFORE UPDATE ON t_custom WHEN old.CustCode='C03' "
         "BEGIN SELECT RAISE(ABORT, 'refused by the test'); END");
  Run(2);
  EXPECT_EQ(TakeMessages(), std::vector<String>{"数据出错,数据不能保存!"});
  EXPECT_EQ(Count("select count(*) from t_custom where CustType='0101'"), 0);

  RawSql("DROP TRIGGER refuse_second");
  Run(2);
  EXPECT_EQ(TakeMessages(), std::vector<String>{"批量修改成功"});
  EXPECT_EQ(Count("select count(*) from t_custom where CustType='0101' and CustCode in ('C01','C03','C05')"), 3);
  EXPECT_EQ(Count("select count(*) from t_custom where CustType='0101'"), 3);

  Exec("update t_custom set CustType='02'");
  Run(1);
  EXPECT_EQ(TakeMessages(), std::vector<String>{}) << "the goods mode changes nothing";
  EXPECT_EQ(Count("select count(*) from t_custom where CustType='0101'"), 0);
}

// ---------------------------------------------------------------- bill search

class BillSearchTest : public GoodsBillsTest {
protected:
  void SetUp() override {
    GoodsBillsTest::SetUp();
    Exec("insert into Dict_Bill (Name, F_Flag) values ('入库单', true)");
    Exec("insert into Dict_Bill (Name, F_Flag) values ('旧单', false)");
    Bill("B1", Today() - 1, "一号库");
    Line("B1", "G1", "螺栓");
    Line("B1", "G1", "螺栓");
    Bill("B2", Today() + 23.0 / 24, "二号库", "O'Hara");  // later today
    Line("B2", "G2", "螺母");
    Bill("B3", EncodeDate(2026, 2, 27), "一号库");  // last month
    Line("B3", "G1", "螺栓");
    Frm_Main->ExportFileName = "";
    OpenMDIChild(Frm_AllBill, Frm_Main);
    W = Frm_AllBill;
    ASSERT_NE(W, nullptr);
  }
  void TearDown() override {
    if (Frm_AllBill) delete Frm_AllBill;
    GoodsBillsTest::TearDown();
  }
  std::vector<String> Listed() { return Column(Frm_Data->Qry_AllBill, "BillCode"); }
  String CountText() { return Frm_Main->StatusBar1->Panels()->Items(2)->Text(); }
  TFrm_AllBill* W = nullptr;
};

TEST_F(BillSearchTest, OpensOnEveryBillWithTheMonthAndTheTypesOffered) {
  EXPECT_EQ(W->Caption(), "查看所有单据");
  EXPECT_EQ(Listed(), (std::vector<String>{"B1", "B2", "B3"}));
  EXPECT_EQ(CountText(), "当前共有 3 条单据");
  EXPECT_EQ(W->DateTimePicker1->Date(), EncodeDate(2026, 3, 1));
  EXPECT_EQ(W->DateTimePicker2->Date(), Today());
  EXPECT_EQ(W->Combo_Type->Items()->Count(), 1);
}

TEST_F(BillSearchTest, SearchListsEachBillOnceWhateverTheDateFormat) {
  struct TCase {
    const char* Format;
    const char* GoodsName;
    const char* Customer;
    std::vector<String> Bills;
  } cases[] = {
      {"yyyy-mm-dd", "螺栓", "", {"B1"}},
      {"dd/mm/yyyy", "螺栓", "", {"B1"}},
      {"yyyy-mm-dd", "螺母", "O'H", {"B2"}},
      {"dd/mm/yyyy", "", "", {"B1", "B2"}},
  };
  for (const TCase& c : cases) {
    FormatSettings().ShortDateFormat = c.Format;
    W->Edit_GoodsName->SetText(c.GoodsName);
    W->Edit_Cust->SetText(c.Customer);
    ClickOn(W->Btn_Search);
    ResetFormatSettings();
    EXPECT_EQ(TakeMessages(), std::vector<String>{}) << c.Format << " " << c.GoodsName;
    std::vector<String> listed = Listed();
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed, c.Bills) << c.Format << " " << c.GoodsName;
    EXPECT_EQ(CountText(), "当前共有 " + IntToStr(int(c.Bills.size())) + " 条单据");
  }
  W->Edit_GoodsName->SetText("没有的货品");
  W->Edit_Cust->SetText("");
  ClickOn(W->Btn_Search);
  EXPECT_EQ(TakeMessages(), std::vector<String>{"没有找到您想要的单据!"});
  ClickOn(W->BitBtn1);
  EXPECT_EQ(Listed().size(), 3u);
}

TEST_F(BillSearchTest, ThePickersWriteTheCustomerAndTheProjectsCodeOrName) {
  struct TCase {
    void (TFrm_AllBill::*Button)(TObject*);
    const char* Expect;
  };
  const TCase cases[] = {{&TFrm_AllBill::Edit_CustButtonClick, "O'Neil Ltd"},
                         {&TFrm_AllBill::Edit_ProjectCodeButtonClick, "P0101"},
                         {&TFrm_AllBill::Edit_ProjectNameButtonClick, "O'Neil"}};
  TCustomEdit* edits[] = {W->Edit_Cust, W->Edit_ProjectCode, W->Edit_ProjectName};
  for (int i = 0; i < 3; ++i) {
    TModalSteps person({[&](TCustomForm* f) {
      if (auto* cust = dynamic_cast<TFrm_SelectCust*>(f)) {
        ASSERT_TRUE(cust->Qry_Cust->Locate("CustName", Variant("O'Neil Ltd"), {}));
        cust->Btn_SelectClick(nullptr);
      } else if (auto* prj = dynamic_cast<TFrm_SelectProject*>(f)) {
        ASSERT_TRUE(prj->Qry_Select->Locate("ProjectCode", Variant("P0101"), {}));
        prj->Btn_SelectClick(nullptr);
      } else {
        ADD_FAILURE() << "no picker";
        f->Close();
      }
    }});
    (W->*cases[i].Button)(nullptr);
    EXPECT_EQ(edits[i]->Text(), cases[i].Expect) << i;
  }
}

TEST_F(GoodsBillsTest, TheCategoryTreesWriteIntoTheGoodsDialogAndTheBatchChange) {
  Category("Category_Goods", "03", "五金");
  // The tree offers its node; choosing it writes code and name into the dialog that opened it.
  auto choose = [](TCustomForm* f) {
    auto* tree = dynamic_cast<TFrm_Tree*>(f);
    ASSERT_NE(tree, nullptr);
    tree->Edit_Code->SetText("03");
    tree->Edit_Name->SetText("五金");
    tree->ReturnSelection();
  };
  std::unique_ptr<TFrm_AddGoods> goods(CreateForm<TFrm_AddGoods>(Frm_Main, &Frm_AddGoods));
  {
    TModalSteps tree({choose});
    goods->Edit_TypeButtonClick(nullptr);
  }
  EXPECT_EQ(goods->TypeCode, "03");
  EXPECT_EQ(goods->Edit_Type->Text(), "五金");
  std::unique_ptr<TFrm_BatchEdit> batch(CreateForm<TFrm_BatchEdit>(Application, &Frm_BatchEdit));
  batch->Mode = 1;
  {
    TModalSteps tree({choose});
    batch->Edit_CategoryButtonClick(nullptr);
  }
  EXPECT_EQ(batch->TypeCode, "03");
  EXPECT_EQ(batch->Edit_Category->Text(), "五金");
}

}  // namespace
