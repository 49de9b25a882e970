// The column model: binding to fields, settings that follow the field, the grid or the grid's
// column defaults until assigned, widths and their limits, and streaming of assigned values.
#include "TestGrid.h"

#include "core/Filer.h"
#include "core/StrUtils.h"

using namespace gridtest;

namespace {

using ColumnTest = GridFixture;

TEST_F(ColumnTest, DefaultWidthComesFromTheFieldTheGridOrAFixed64) {
  TCollection loose(TDBGridColumnEh::StaticClass());
  auto* outside = static_cast<TColumnEh*>(loose.Add());
  EXPECT_EQ(outside->Width(), 64);

  Grid->SetDefaultColWidth(50);
  TColumnEh* unbound = AddColumn("");
  EXPECT_EQ(unbound->Width(), 50);

  Bind({{"A", V(1)}});
  TColumnEh* c = AddColumn("Code");
  ASSERT_EQ(c->Field(), DS->FieldByName("Code"));
  DS->FieldByName("Code")->SetDisplayWidth(1);
  int one = c->Width();
  DS->FieldByName("Code")->SetDisplayWidth(11);
  int eleven = c->Width();
  // Each character of display width is the width of "0", plus 4 pixels of margin.
  EXPECT_GT(one, 4);
  EXPECT_EQ(eleven - one, 10 * (one - 4));
  EXPECT_FALSE(Grid->HandleAllocated());  // measuring does not create the window
}

TEST_F(ColumnTest, WidthAssignmentsRespectTheLimits) {
  TColumnEh* c = AddColumn("");
  struct Step {
    const char* Op;
    int Value;
    int Width;
  };
  const Step steps[] = {
      {"width", 150, 150}, {"max", 100, 100}, {"width", 120, 100}, {"min", 110, 110},
      {"width", 90, 110},  {"width", -1, 110}, {"max", 0, 110},    {"width", 300, 300},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(String(s.Op) + " " + IntToStr(s.Value));
    int repaints = Grid->ColumnRepaints;
    if (String(s.Op) == "width") c->SetWidth(s.Value);
    else if (String(s.Op) == "max") c->SetMaxWidth(s.Value);
    else c->SetMinWidth(s.Value);
    EXPECT_EQ(c->Width(), s.Width);
    if (String(s.Op) == "width") {
      EXPECT_GT(Grid->ColumnRepaints, repaints);  // -1 too, though it stores nothing
    }
  }
  EXPECT_TRUE(c->AssignedValues().Contains(evWidth));
  EXPECT_EQ(c->ClampWidth(5), 110);
}

TEST_F(ColumnTest, UnassignedSettingsFollowTheFieldTheGridAndTheDefaults) {
  Bind({{"A", V(1)}});
  DS->FieldByName("Amount")->SetAlignment(taRightJustify);
  TColumnEh* c = AddColumn("Amount");
  TColumnDefValuesEh* d = Grid->ColumnDefValues();
  struct Case {
    const char* Name;
    std::function<Int64()> Get;
    std::function<void()> ChangeFollowed;
    Int64 Before, After;
    std::function<void()> Assign;
    Int64 Assigned;
  };
  const Case cases[] = {
      {"Alignment", [&] { return Int64(c->Alignment()); },
       [&] { DS->FieldByName("Amount")->SetAlignment(taCenter); }, taRightJustify, taCenter,
       [&] { c->SetAlignment(taLeftJustify); }, taLeftJustify},
      {"Color", [&] { return Int64(c->Color()); }, [&] { Grid->SetColor(clYellow); }, clWindow, clYellow,
       [&] { c->SetColor(clRed); }, clRed},
      {"ReadOnly", [&] { return Int64(c->ReadOnly()); }, [&] { Grid->SetReadOnly(true); }, 0, 1,
       [&] { c->SetReadOnly(false); }, 0},
      {"AlwaysShowEditButton", [&] { return Int64(c->AlwaysShowEditButton()); },
       [&] { d->SetAlwaysShowEditButton(true); }, 0, 1, [&] { c->SetAlwaysShowEditButton(false); }, 0},
      {"EndEllipsis", [&] { return Int64(c->EndEllipsis()); }, [&] { d->SetEndEllipsis(true); }, 0, 1,
       [&] { c->SetEndEllipsis(false); }, 0},
      {"Layout", [&] { return Int64(c->Layout()); }, [&] { d->SetLayout(tlCenter); }, tlTop, tlCenter,
       [&] { c->SetLayout(tlBottom); }, tlBottom},
      {"ToolTips", [&] { return Int64(c->ToolTips()); }, [&] { d->SetToolTips(true); }, 0, 1,
       [&] { c->SetToolTips(false); }, 0},
      {"DblClickNextVal", [&] { return Int64(c->DblClickNextVal()); }, [&] { d->SetDblClickNextVal(true); }, 0, 1,
       [&] { c->SetDblClickNextVal(false); }, 0},
      {"BiDiMode", [&] { return Int64(c->BiDiMode()); }, [&] { Grid->SetBiDiMode(bdRightToLeft); }, bdLeftToRight,
       bdRightToLeft, [&] { c->SetBiDiMode(bdLeftToRight); }, bdLeftToRight},
      {"Title.Color", [&] { return Int64(c->Title()->Color()); }, [&] { Grid->SetFixedColor(clAqua); }, clBtnFace,
       clAqua, [&] { c->Title()->SetColor(clGreen); }, clGreen},
      {"Title.Alignment", [&] { return Int64(c->Title()->Alignment()); }, [&] { Grid->SetUseMultiTitle(true); },
       taLeftJustify, taCenter, [&] { c->Title()->SetAlignment(taRightJustify); }, taRightJustify},
      {"Title.TitleButton", [&] { return Int64(c->Title()->TitleButton()); },
       [&] { d->Title()->SetTitleButton(true); }, 0, 1, [&] { c->Title()->SetTitleButton(false); }, 0},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.Name);
    EXPECT_EQ(k.Get(), k.Before);
    k.ChangeFollowed();
    EXPECT_EQ(k.Get(), k.After);
    k.Assign();
    EXPECT_EQ(k.Get(), k.Assigned);
  }
  // Assigned values stay when the followed values change back.
  Grid->SetColor(clWindow);
  Grid->SetReadOnly(false);
  d->SetEndEllipsis(false);
  EXPECT_EQ(c->Color(), clRed);
  EXPECT_FALSE(c->ReadOnly());
  EXPECT_FALSE(c->EndEllipsis());
  c->ResetToDefaults();
  EXPECT_EQ(c->Color(), clWindow);
  EXPECT_EQ(c->Title()->Color(), clAqua);
  EXPECT_TRUE(c->AssignedValues().Empty());
}

TEST_F(ColumnTest, FieldKindsDecideCheckboxesAndWordWrap) {
  auto* ds = new TMemDataSet(&Owner);
  ds->FieldDefs()->Add("Name", ftWideString, 20);
  ds->FieldDefs()->Add("Done", ftBoolean);
  ds->FieldDefs()->Add("Total", ftFloat);
  ds->Open();
  auto* src = new TDataSource(&Owner);
  src->SetDataSet(ds);
  Grid->SetDataSource(src);
  struct Case {
    const char* Field;
    bool Checkboxes, WordWrap;
  };
  for (const Case& k : {Case{"Name", false, true}, Case{"Done", true, false}, Case{"Total", false, false}}) {
    SCOPED_TRACE(k.Field);
    TColumnEh* c = AddColumn(k.Field);
    EXPECT_EQ(c->Checkboxes(), k.Checkboxes);
    EXPECT_EQ(c->WordWrap(), k.WordWrap);
  }
}

TEST_F(ColumnTest, BindingFollowsTheFieldNameLateAndInTheFieldsLetterCase) {
  Bind({{"A", V(1)}}, false);
  TColumnEh* c = AddColumn("amount");
  EXPECT_EQ(c->Field(), nullptr);  // closed, with no persistent fields
  DS->Open();
  ASSERT_EQ(c->Field(), DS->FieldByName("Amount"));
  EXPECT_EQ(c->FieldName(), "Amount");
  EXPECT_EQ(c->DisplayName(), "Amount");
  // Naming the bound field again keeps the name as written.
  c->SetFieldName("AMOUNT");
  EXPECT_EQ(c->FieldName(), "AMOUNT");
  EXPECT_EQ(c->Field(), DS->FieldByName("Amount"));
  // A name the dataset lacks leaves the column unbound.
  c->SetFieldName("Nothing");
  EXPECT_EQ(c->Field(), nullptr);
  EXPECT_EQ(c->CellText(), "");
  // Closing frees the generated fields: the column lets go and binds again on reopening.
  c->SetFieldName("Qty");
  ASSERT_NE(c->Field(), nullptr);
  DS->Close();
  DS->Open();
  EXPECT_EQ(c->Field(), DS->FieldByName("Qty"));
}

TEST_F(ColumnTest, ANewFieldKeepsAPersistentColumnsSettingsButResetsAGeneratedOne) {
  Bind({{"A", V(1), 2}});
  TColumnEh* persistent = AddColumn("Amount");
  TColumnEh* generated = Grid->Columns()->AddTransientColumn();
  generated->SetField(DS->FieldByName("Amount"));
  EXPECT_TRUE(generated->IsTransient());
  EXPECT_EQ(generated->FieldName(), "Amount");
  for (TColumnEh* c : {persistent, generated}) {
    c->SetColor(clRed);
    c->Title()->SetColor(clBlue);
    c->KeyList()->Add("1");
  }
  persistent->SetFieldName("Qty");
  generated->SetFieldName("Qty");
  EXPECT_EQ(persistent->Color(), clRed);
  EXPECT_EQ(persistent->Title()->Color(), clBlue);
  EXPECT_EQ(persistent->KeyList()->Count(), 1);
  EXPECT_EQ(generated->Color(), clWindow);
  EXPECT_EQ(generated->Title()->Color(), clBtnFace);
  EXPECT_EQ(generated->KeyList()->Count(), 0);
  EXPECT_TRUE(generated->AssignedValues().Empty());
  // Without a field a generated column forgets its name too.
  generated->SetField(nullptr);
  EXPECT_EQ(generated->FieldName(), "");
}

TEST_F(ColumnTest, GeneratedColumnsWriteAlignmentReadOnlyAndCaptionToTheirField) {
  Bind({{"A", V(1)}}, false);
  TColumnEh* c = Grid->Columns()->AddTransientColumn();
  c->SetFieldName("Code");
  // The link is not active: the settings are dropped (read-only is kept as usual).
  c->SetAlignment(taCenter);
  c->Title()->SetCaption("编号");
  EXPECT_FALSE(c->AssignedValues().Contains(evAlignment));
  EXPECT_FALSE(c->AssignedValues().Contains(evTitleCaption));
  DS->Open();
  TField* f = DS->FieldByName("Code");
  c->SetAlignment(taCenter);
  c->SetReadOnly(true);
  c->Title()->SetCaption("编号");
  EXPECT_EQ(f->Alignment(), taCenter);
  EXPECT_TRUE(f->ReadOnly());
  EXPECT_EQ(f->DisplayLabel(), "编号");
  EXPECT_EQ(c->Title()->Caption(), "编号");
  EXPECT_FALSE(c->AssignedValues().Contains(evAlignment));
  EXPECT_FALSE(c->AssignedValues().Contains(evTitleCaption));
}

TEST_F(ColumnTest, MovingAGeneratedColumnMovesItsFieldAlong) {
  Bind({{"A", V(1), 2, "Y"}});
  TGridDataLinkEh* link = Grid->DataLink();
  for (TField* f : *DS->Fields()) {
    EXPECT_TRUE(link->AddFieldMapping(f->FieldName()));
    Grid->Columns()->AddTransientColumn()->SetField(f);
  }
  ASSERT_EQ(link->FieldCount(), 4);
  EXPECT_EQ(link->FieldAt(4), nullptr);
  // Code goes to Qty's place, and the dataset's field order follows the columns.
  Grid->Columns()->Items(0)->SetIndex(2);
  std::vector<String> columns, fields;
  for (int i = 0; i < 4; ++i) {
    columns.push_back(Grid->Columns()->Items(i)->FieldName());
    fields.push_back(DS->Fields()->Fields(i)->FieldName());
  }
  const std::vector<String> expected = {"Amount", "Qty", "Code", "Flag"};
  EXPECT_EQ(columns, expected);
  EXPECT_EQ(fields, expected);
  // A strict map refuses an unknown name; a sparse one keeps a hole for it.
  EXPECT_THROW(link->AddFieldMapping("Nothing"), EDatabaseError);
  link->SetSparseFieldMap(true);
  link->AddFieldMapping("Nothing");
  EXPECT_EQ(link->FieldAt(link->FieldCount() - 1), nullptr);
  link->ClearFieldMap();
  EXPECT_EQ(link->FieldCount(), 0);
}

TEST_F(ColumnTest, PickAndKeyListsExistFromTheirFirstReadUntilFreed) {
  TColumnEh* c = AddColumn("");
  TStrings* keys = c->KeyList();
  ASSERT_NE(keys, nullptr);
  EXPECT_EQ(keys->Count(), 0);
  EXPECT_EQ(c->KeyList(), keys);
  keys->Add("01");
  c->PickList()->Add("甲");
  EXPECT_EQ(c->ColumnKind(), ckKeyList);
  c->SetKeyList(nullptr);
  EXPECT_EQ(c->ColumnKind(), ckPickList);
  EXPECT_EQ(c->KeyList()->Count(), 0);
  TStringList copy;
  copy.Add("x");
  copy.Add("y");
  c->SetPickList(&copy);
  EXPECT_EQ(c->PickList()->Text(), "x\r\ny\r\n");
  EXPECT_EQ(c->PickList()->IndexOf("Y"), 1);  // searches ignore case
}

TEST_F(ColumnTest, FontsFollowTheGridUntilAssigned) {
  TColumnEh* c = AddColumn("");
  Grid->Font()->SetName("Liberation Sans");
  EXPECT_EQ(c->Font()->Name(), "Liberation Sans");
  EXPECT_FALSE(c->AssignedValues().Contains(evFont));
  Grid->TitleFont()->SetSize(14);
  EXPECT_EQ(c->Title()->Font()->Size(), 14);
  EXPECT_FALSE(c->AssignedValues().Contains(evTitleFont));
  int repaints = Grid->LayoutPasses;
  c->Font()->SetStyle({fsBold});
  EXPECT_TRUE(c->AssignedValues().Contains(evFont));
  EXPECT_GT(Grid->LayoutPasses, repaints);  // a font change is a change of all columns
  Grid->Font()->SetName("Liberation Serif");
  EXPECT_EQ(c->Font()->Name(), "Liberation Sans");
  c->Title()->Font()->SetColor(clRed);
  EXPECT_TRUE(c->AssignedValues().Contains(evTitleFont));
  Grid->TitleFont()->SetSize(20);
  EXPECT_EQ(c->Title()->Font()->Size(), 14);
}

TEST_F(ColumnTest, CustomizedOnlyWhenTheFirstColumnIsPersistent) {
  TDBGridColumnsEh* cols = Grid->Columns();
  EXPECT_FALSE(cols->IsCustomized());
  cols->AddTransientColumn();
  EXPECT_FALSE(cols->IsCustomized());
  cols->AddColumn();
  EXPECT_FALSE(cols->IsCustomized());
  cols->Clear();
  cols->AddColumn();
  EXPECT_TRUE(cols->IsCustomized());
  EXPECT_THROW(cols->GetItem(1), EListError);
  EXPECT_EQ(cols->Items(0)->Grid(), Grid);
  EXPECT_EQ(cols->GetOwner(), Grid);
}

TEST_F(ColumnTest, ChangeSignalsFollowTheSetterRules) {
  TColumnEh* c = AddColumn("");
  struct Case {
    const char* Name;
    std::function<void()> Set;
    bool Signals;
  };
  // The first assignment of each setting and then the same value again.
  const Case cases[] = {
      {"Color", [&] { c->SetColor(clRed); }, true},
      {"Color again", [&] { c->SetColor(clRed); }, false},
      {"DisplayFormat", [&] { c->SetDisplayFormat("0.00"); }, true},
      {"DisplayFormat again", [&] { c->SetDisplayFormat("0.00"); }, false},
      {"ButtonStyle", [&] { c->SetButtonStyle(cbsEllipsis); }, true},
      {"ButtonStyle again", [&] { c->SetButtonStyle(cbsEllipsis); }, false},
      {"AutoDropDown", [&] { c->SetAutoDropDown(true); }, false},
      {"ToolTips", [&] { c->SetToolTips(true); }, false},
      {"ImeName", [&] { c->SetImeName(""); }, true},
      {"WordWrap", [&] { c->SetWordWrap(false); }, true},
      {"Title.Caption", [&] { c->Title()->SetCaption("x"); }, true},
      {"Title.Caption again", [&] { c->Title()->SetCaption("x"); }, false},
      {"Title.ToolTips", [&] { c->Title()->SetToolTips(true); }, false},
      {"Footer.ValueType", [&] { c->Footer()->SetValueType(fvtStaticText); }, true},
      {"Footer.ValueType again", [&] { c->Footer()->SetValueType(fvtStaticText); }, false},
      {"Footer.ToolTips", [&] { c->Footer()->SetToolTips(true); }, false},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.Name);
    int before = Grid->ColumnRepaints;
    k.Set();
    EXPECT_EQ(Grid->ColumnRepaints > before, k.Signals);
  }
  // Setting ImeName to the grid's value does not make it assigned.
  EXPECT_FALSE(c->AssignedValues().Contains(evImeName));
  EXPECT_FALSE(c->AssignedValues().Contains(evWordWrap));
}

TEST_F(ColumnTest, AssignCopiesAssignedValuesAndPlainSettings) {
  Bind({{"A", V(1)}});
  TColumnEh* src = AddColumn("Amount");
  src->SetColor(clRed);
  src->SetWidth(77);
  src->Title()->SetCaption("金额");
  src->SetDisplayFormat("0.0");
  src->KeyList()->Add("k");
  src->PickList()->Add("p");
  src->Footer()->SetValueType(fvtSum);
  src->SetTag(5);
  TColumnEh* dst = AddColumn("Code");
  dst->SetReadOnly(true);
  dst->Assign(src);
  EXPECT_EQ(dst->FieldName(), "Amount");
  EXPECT_EQ(dst->Color(), clRed);
  EXPECT_EQ(dst->Width(), 77);
  EXPECT_EQ(dst->Title()->Caption(), "金额");
  EXPECT_EQ(dst->DisplayFormat(), "0.0");
  EXPECT_EQ(dst->KeyList()->Strings(0), "k");
  EXPECT_EQ(dst->PickList()->Strings(0), "p");
  EXPECT_EQ(dst->Footer()->ValueType(), fvtSum);
  EXPECT_EQ(dst->Tag(), 5);
  // Settings the source never assigned are reset, not copied from its followed values.
  EXPECT_FALSE(dst->AssignedValues().Contains(evReadOnly));
  EXPECT_FALSE(dst->AssignedValues().Contains(evAlignment));
}

TEST_F(ColumnTest, StreamingWritesOnlyAssignedValuesAndReadsThemBack) {
  Bind({{"A", V(1)}});
  TColumnEh* a = AddColumn("Amount");
  a->SetWidth(90);
  a->SetColor(Grid->Color());  // assigned, but equal to what it follows
  a->SetDisplayFormat("0.00");
  a->Title()->SetCaption("金额");
  a->Title()->SetTitleButton(true);
  a->Footer()->SetValueType(fvtSum);
  a->KeyList()->Add("1");
  a->PickList()->Add("一");
  a->Font()->SetStyle({fsBold});
  TColumnEh* b = AddColumn("Code");
  b->Title()->SetSortMarker(smDownEh);
  static_cast<TComponent*>(Grid)->SetName("Grid1");
  String text = WriteComponentToText(Grid);
  std::size_t at = text.find("Columns = <");
  ASSERT_NE(at, String::npos) << text;
  String columns = text.substr(at);
  for (const char* stored : {"FieldName = 'Amount'", "Width = 90", "DisplayFormat = '0.00'", "Title.TitleButton = True",
                             "Footer.ValueType = fvtSum", "fsBold", "KeyList.Strings", "Title.SortIndex = 1"})
    EXPECT_NE(columns.find(stored), String::npos) << stored << "\n" << columns;
  for (const char* unassigned : {" Color = ", " Alignment = ", " ReadOnly = ", " WordWrap = ", " ToolTips = ",
                                 " Title.Font", " Footer.Font", " Title.Color", " Footer.Color"})
    EXPECT_EQ(columns.find(unassigned), String::npos) << unassigned << "\n" << columns;

  auto copyOwner = std::make_unique<TTestGrid>(nullptr);
  TTestGrid* copy = copyOwner.get();
  ReadComponentFromText(copy, text);
  ASSERT_EQ(copy->Columns()->Count(), 2);
  TColumnEh* ra = copy->Columns()->Items(0);
  EXPECT_EQ(ra->FieldName(), "Amount");
  EXPECT_EQ(ra->Width(), 90);
  EXPECT_EQ(ra->DisplayFormat(), "0.00");
  EXPECT_EQ(ra->Title()->Caption(), "金额");
  EXPECT_TRUE(ra->Title()->TitleButton());
  EXPECT_EQ(ra->Footer()->ValueType(), fvtSum);
  EXPECT_EQ(ra->KeyList()->Strings(0), "1");
  EXPECT_EQ(ra->PickList()->Strings(0), "一");
  EXPECT_TRUE(ra->Font()->Style().Contains(fsBold));
  EXPECT_EQ(ra->AssignedValues(), (TColumnEhValues{evWidth, evFont, evTitleCaption, evTitleButton}));
  // The stored sort index rebuilds the grid's sort order.
  ASSERT_EQ(copy->SortMarkedColumns()->Count(), 1);
  EXPECT_EQ(copy->SortMarkedColumns()->Items(0), copy->Columns()->Items(1));
  // The footer asked the copy's sum list for its item.
  EXPECT_EQ(copy->SumList()->SumCollection()->Count(), 1);
}

}  // namespace
