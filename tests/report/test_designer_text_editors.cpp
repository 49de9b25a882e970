// The designer's text dialogs driven offscreen (text, system text, display format, lines), the
// text objects' component editors, the inspector's dialog, event and printer editors, and the
// event handlers they create in the report's script.
#include "core/IniFiles.h"
#include "core/Scope.h"
#include "core/StringList.h"
#include "core/StrUtils.h"
#include "gui/Canvas.h"
#include "gui/ComboBox.h"
#include "gui/Edit.h"
#include "gui/GraphicsObjects.h"
#include "gui/ListCtrls.h"
#include "gui/Memo.h"
#include "gui/Messages.h"
#include "gui/Pictures.h"
#include "gui/StdCtrls.h"
#include "core/FormatSettings.h"
#include "report/designer/frxCodeUtils.h"
#include "report/designer/frxEditFormat.h"
#include "report/frxShapes.h"
#include "report/designer/frxEditMemo.h"
#include "report/designer/frxEditStrings.h"
#include "report/designer/frxEditSysMemo.h"
#include "report/designer/frxUnicodeCtrls.h"
#include "report/frxRes.h"

#include "DesignerFixture.h"

#include <gtest/gtest.h>

namespace {
using namespace designer_test;

using TextEditorsTest = DesignerDialogsTest;

// ---------------------------------------------------------------- text dialog

TEST_F(TextEditorsTest, TheTextDialogKeepsEveryCharacterAndDropsTheFieldBinding) {
  Memo->Font()->SetCharset(134);
  Memo->SetText("中文😀");
  Memo->SetDataSet(&Customers);
  Memo->SetDataField("Name");
  String shown;
  TModalStep step([&](TCustomForm* f) {
    auto* d = static_cast<TfrxMemoEditorForm*>(f);
    shown = Utf16ToUtf8(d->Memo()->WideText());
    d->OkB->Click();
  });
  EXPECT_TRUE(OpenComponentEditor(Designer.get(), Memo));
  EXPECT_EQ(shown, "中文😀");
  EXPECT_EQ(Trim(Memo->Text()), "中文😀");
  EXPECT_EQ(Memo->DataField(), "");
}

TEST_F(TextEditorsTest, ExpressionsGoBetweenTheObjectsDelimiters) {
  struct Case {
    const char* Delimiters;
    const char* Answer;
    const char* Inserted;
  };
  const Case cases[] = {
      {"[,]", "<Set.\"Field\">", "[Set.\"Field\"]"},
      {"[,]", "<a><b>", "[<a><b>]"},
      {"<%,%>", "Value", "<%Value%>"},
      {"[,]", "", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(c.Answer[0] ? DelimitedExpression(c.Delimiters, c.Answer) : String(), c.Inserted);

  Memo->SetText("x");
  TModalStep step([&](TCustomForm* f) {
    auto* d = static_cast<TfrxMemoEditorForm*>(f);
    d->Memo()->SetSelStart(0);
    d->InsertExpression("");  // nothing
    d->ExprB->Click();        // the designer answers <Customers."Amount"> > 0: two brackets, kept
    d->OkB->Click();
  });
  EXPECT_TRUE(OpenComponentEditor(Designer.get(), Memo));
  EXPECT_EQ(Trim(Memo->Text()), "[<Customers.\"Amount\"> > 0]x");
}

TEST_F(TextEditorsTest, FormatSuffixesLandInsideTheClosingBracket) {
  struct Case {
    TfrxFormatKind Kind;
    const char* Format;
    const char* Separator;
    const char* Suffix;
  };
  const Case cases[] = {
      {fkNumeric, "%2.2n", ",", " #n%2,2n"},
      {fkNumeric, "%2.2f", "", " #n%2.2f"},  // empty separator: the system one ('.')
      {fkDateTime, "dd.mm.yyyy", "", " #ddd.mm.yyyy"},
      {fkBoolean, "No,Yes", "", " #bNo,Yes"},
      {fkText, "x", "", ""},
  };
  for (const Case& c : cases) {
    TfrxFormat f;
    f.SetKind(c.Kind);
    f.SetFormatStr(c.Format);
    f.SetDecimalSeparator(c.Separator);
    EXPECT_EQ(FormatSuffix(&f), c.Suffix) << c.Format;
  }
  Memo->SetText("[Sum]");
  TModalStep step([&](TCustomForm* f) {
    auto* d = static_cast<TfrxMemoEditorForm*>(f);
    d->Memo()->SetSelStart(5);  // right after "]"
    TfrxFormat fmt;
    fmt.SetKind(fkNumeric);
    fmt.SetFormatStr("%2.2n");
    fmt.SetDecimalSeparator(",");
    d->InsertFormat(&fmt);
    d->OkB->Click();
  });
  EXPECT_TRUE(OpenComponentEditor(Designer.get(), Memo));
  EXPECT_EQ(Trim(Memo->Text()), "[Sum #n%2,2n]");
}

TEST_F(TextEditorsTest, CtrlEnterConfirmsAndEscapeCancelsTheTextDialog) {
  Memo->SetText("old");
  TModalStep cancel([&](TCustomForm* f) {
    auto* d = static_cast<TfrxMemoEditorForm*>(f);
    d->Memo()->SetWideText(u"new");
    Word key = VK_ESCAPE;
    d->MemoKeyDown(d->Memo(), key, {});
  });
  EXPECT_FALSE(OpenComponentEditor(Designer.get(), Memo));
  EXPECT_EQ(Trim(Memo->Text()), "old");
  TModalStep confirm([&](TCustomForm* f) {
    auto* d = static_cast<TfrxMemoEditorForm*>(f);
    d->Memo()->SetWideText(u"new");
    Word key = VK_RETURN;
    d->MemoKeyDown(d->Memo(), key, {ssCtrl});
  });
  EXPECT_TRUE(OpenComponentEditor(Designer.get(), Memo));
  EXPECT_EQ(Trim(Memo->Text()), "new");
}

TEST_F(TextEditorsTest, TheTextDialogRemembersItsPlaceAndWordWrapButNeverAHiddenState) {
  std::unique_ptr<TCustomIniFile> store = Report.OpenSettingsStore();
  TScopeExit clean([&] { store->EraseSection("Form.TfrxMemoEditorForm"); });
  store->EraseSection("Form.TfrxMemoEditorForm");
  store->WriteBool("Form.TfrxMemoEditorForm", "Visible", false);
  store->WriteInteger("Form.TfrxMemoEditorForm", "Width", 520);
  bool shown = false, wrapped = true;
  TModalStep first([&](TCustomForm* f) {
    auto* d = static_cast<TfrxMemoEditorForm*>(f);
    shown = d->Visible();
    wrapped = d->Memo()->WordWrap();
    EXPECT_EQ(d->Width(), 520);
    d->WordWrapB->SetDown(true);
    d->WordWrapBClick(nullptr);
    d->SetBounds(d->Left(), d->Top(), 600, 300);
    d->CancelB->Click();
  });
  EXPECT_FALSE(OpenComponentEditor(Designer.get(), Memo));
  EXPECT_TRUE(shown);
  EXPECT_FALSE(wrapped);
  EXPECT_TRUE(store->ReadBool("Form.TfrxMemoEditorForm", "WordWrap", false));
  EXPECT_EQ(store->ReadInteger("Form.TfrxMemoEditorForm", "Width", 0), 600);
  TModalStep second([&](TCustomForm* f) {
    auto* d = static_cast<TfrxMemoEditorForm*>(f);
    wrapped = d->Memo()->WordWrap();
    EXPECT_TRUE(d->WordWrapB->Down());
    EXPECT_EQ(d->Width(), 600);
    d->CancelB->Click();
  });
  EXPECT_FALSE(OpenComponentEditor(Designer.get(), Memo));
  EXPECT_TRUE(wrapped);
}

// ---------------------------------------------------------------- system text

TEST_F(TextEditorsTest, AggregatesAreBuiltFromTheChoices) {
  Designer->Objects() = {Band};
  TfrxSysMemoEditorForm form(Designer.get());
  form.InitForm();
  form.AggregateOnly = true;
  TModalStep step([&](TCustomForm* f) {
    auto* d = static_cast<TfrxSysMemoEditorForm*>(f);
    EXPECT_FALSE(d->SysVariableRB->Visible());
    EXPECT_EQ(d->Caption(), ReportResources()->TextOf("agAggregate"));
    d->DataSetCB->SetItemIndex(0);
    d->DataSetCBClick(nullptr);
    d->DataFieldCB->SetItemIndex(1);
    d->DataFieldCBClick(nullptr);
    d->DataBandCB->SetItemIndex(0);
    EXPECT_EQ(d->AggregateText(), "SUM(<Customers.\"Amount\">,MasterData1)");
    d->CountInvisibleCB->SetChecked(true);
    d->RunningTotalCB->SetChecked(true);
    d->FunctionCB->SetItemIndex(4);
    EXPECT_EQ(d->AggregateText(), "COUNT(MasterData1,3)");
    d->FunctionCB->SetItemIndex(0);
    d->DataBandCB->SetItemIndex(-1);
    EXPECT_EQ(d->AggregateText(), "SUM(<Customers.\"Amount\">)");  // no band: no flags
    d->DataBandCB->SetItemIndex(0);
    d->OKB->Click();
  });
  EXPECT_EQ(form.ShowModal(), mrOk);
  EXPECT_EQ(form.Text, "[SUM(<Customers.\"Amount\">,MasterData1,3)]");
}

TEST_F(TextEditorsTest, SystemTextOpensOnWhatTheObjectHolds) {
  auto* sys = new TfrxSysMemoView(Band);
  struct Case {
    const char* Text;
    bool OnVariable;
    const char* Edited;
    const char* Result;
  };
  const Case cases[] = {
      {"", true, "[PAGE#]", "[PAGE#]"},
      {"[DATE]", true, nullptr, "[DATE]"},
      {"合计：", false, "总计", "总计"},
  };
  for (const Case& c : cases) {
    sys->SetText(c.Text);
    TModalStep step([&](TCustomForm* f) {
      auto* d = static_cast<TfrxSysMemoEditorForm*>(f);
      EXPECT_EQ(d->SysVariableRB->Checked(), c.OnVariable) << c.Text;
      EXPECT_EQ(c.OnVariable ? d->SysVariableCB->Text() : d->TextE->Text(), c.Text);
      if (c.Edited) (c.OnVariable ? static_cast<TWinControl*>(d->SysVariableCB) : d->TextE)->SetText(c.Edited);
      d->OKB->Click();
    });
    EXPECT_TRUE(OpenComponentEditor(Designer.get(), sys));
    EXPECT_EQ(Trim(sys->Text()), c.Result) << c.Text;
  }
}

// ---------------------------------------------------------------- display format

TEST_F(TextEditorsTest, TheFormatDialogFindsItsEntryAndStoresTheSystemSeparatorForAnEmptyOne) {
  struct Case {
    TfrxFormatKind Kind;
    const char* Format;
    int Selected;
  };
  const Case cases[] = {{fkNumeric, "%2.2n", 2}, {fkDateTime, "hh:mm", 3}, {fkNumeric, "%9.1f", -1}};
  for (const Case& c : cases) {
    TfrxFormat format;
    format.SetKind(c.Kind);
    format.SetFormatStr(c.Format);
    TModalStep step([&](TCustomForm* f) {
      auto* d = static_cast<TfrxFormatEditorForm*>(f);
      EXPECT_EQ(d->FormatLB->ItemIndex(), c.Selected) << c.Format;
      EXPECT_EQ(d->FormatE->Text(), c.Format);
      d->SeparatorE->SetText("");
      d->OkB->Click();
    });
    EXPECT_TRUE(EditDisplayFormat(Designer.get(), &format));
    EXPECT_EQ(format.FormatStr(), c.Format);
    EXPECT_EQ(format.DecimalSeparator(), String(1, FormatSettings().DecimalSeparator));
  }
  // Picking a category and an entry.
  TfrxFormat format;
  TModalStep step([&](TCustomForm* f) {
    auto* d = static_cast<TfrxFormatEditorForm*>(f);
    d->CategoryLB->SetItemIndex(3);
    d->CategoryLBClick(nullptr);
    EXPECT_EQ(d->FormatLB->Items()->Count(), 4);
    EXPECT_FALSE(d->SeparatorE->Enabled());
    d->FormatLB->SetItemIndex(1);
    d->FormatLBClick(nullptr);
    d->OkB->Click();
  });
  EXPECT_TRUE(EditDisplayFormat(Designer.get(), &format));
  EXPECT_EQ(format.Kind(), fkBoolean);
  EXPECT_EQ(format.FormatStr(), "No,Yes");
}

TEST_F(TextEditorsTest, TheTextMenusFormatEntrySetsEverySelectedUnrestrictedMemo) {
  auto* m2 = new TfrxMemoView(Band);
  auto* locked = new TfrxMemoView(Band);
  locked->SetRestrictions({rfDontModify});
  Designer->SelectedObjects() = {Memo, m2, locked};
  TModalStep step([&](TCustomForm* f) {
    auto* d = static_cast<TfrxFormatEditorForm*>(f);
    d->CategoryLB->SetItemIndex(1);
    d->CategoryLBClick(nullptr);
    d->FormatLB->SetItemIndex(1);
    d->FormatLBClick(nullptr);
    d->OkB->Click();
  });
  EXPECT_TRUE(RunComponentMenuItem(Designer.get(), Memo, 1, true));
  for (TfrxMemoView* m : {Memo, m2}) EXPECT_EQ(m->DisplayFormat()->FormatStr(), "%2.2f");
  EXPECT_EQ(locked->DisplayFormat()->FormatStr(), "");
  // Word wrap off on the unrestricted ones.
  EXPECT_TRUE(RunComponentMenuItem(Designer.get(), Memo, 4, false));
  EXPECT_FALSE(Memo->WordWrap());
  EXPECT_TRUE(locked->WordWrap());
  Designer->SelectedObjects() = {Memo};
  std::vector<String> menu = MenuOf(Designer.get(), Memo);
  ASSERT_GE(menu.size(), 13u);
  EXPECT_EQ(menu[0], "Display Format...");
  EXPECT_EQ(menu[4], "Word Wrap");
  EXPECT_EQ(menu[8], "Allow HTML Tags");
}

// ---------------------------------------------------------------- lines, pictures, printers

TEST_F(TextEditorsTest, TheLinesDialogEditsAStringList) {
  TStringList lines;
  lines.SetText("a\nb");
  TModalStep step([&](TCustomForm* f) {
    auto* d = static_cast<TfrxStringsEditorForm*>(f);
    EXPECT_EQ(d->Memo->Lines()->Count(), 2);
    d->Memo->Lines()->Add("c");
    d->OkB->Click();
  });
  EXPECT_TRUE(EditStrings(Designer.get(), &lines));
  EXPECT_EQ(lines.Count(), 3);
  EXPECT_EQ(lines.Strings(2), "c");
}

TEST_F(TextEditorsTest, InspectorRowsOfPicturesPrintersAndBooleans) {
  auto* picture = new TfrxPictureView(Band);
  TfrxPropertyList list(Designer.get());
  list.AssignObject(picture);
  ASSERT_NE(list.Find("Picture"), nullptr);
  EXPECT_EQ(list.Find("Picture")->Editor()->ValueText(), "(Not assigned)");
  TBitmap bmp;
  bmp.SetWidth(4);
  bmp.SetHeight(4);
  picture->Picture()->SetBitmap(&bmp);
  EXPECT_EQ(list.Find("Picture")->Editor()->ValueText(), "(Picture)");
  EXPECT_EQ(list.Find("Printable")->Editor()->ClassType(), TfrxBooleanProperty::StaticClass());
  EXPECT_EQ(list.Find("BrushStyle")->Editor()->ClassType(), TfrxBrushProperty::StaticClass());
  EXPECT_EQ(list.Find("DataSetName"), nullptr);  // hidden on views
  EXPECT_EQ(list.Find("GroupIndex"), nullptr);

  TfrxPropertyList report(Designer.get());
  report.AssignObject(&Report);
  TfrxPropertyItem* print = report.Find("PrintOptions");
  ASSERT_NE(print, nullptr);
  ASSERT_NE(print->SubProperties(), nullptr);
  TfrxPropertyEditor* printer = print->SubProperties()->Find("Printer")->Editor();
  printer->FillValueList();
  ASSERT_GE(printer->Values()->Count(), 1);
  EXPECT_EQ(printer->Values()->Strings(0), "预设");
  EXPECT_EQ(report.Find("ScriptText"), nullptr);
}

// A check mark is drawn only for True.
TEST_F(TextEditorsTest, BooleanCellsDrawACheckMarkForTrue) {
  TfrxPropertyList list(Designer.get());
  list.AssignObject(Memo);
  TfrxPropertyEditor* e = list.Find("WordWrap")->Editor();
  e->SetItemHeight(16);
  auto blackIn = [&](bool Value) {
    Memo->SetWordWrap(Value);
    TBitmap bmp;
    bmp.SetWidth(100);
    bmp.SetHeight(16);
    bmp.Canvas()->Brush()->SetColor(clWhite);
    bmp.Canvas()->FillRect({0, 0, 100, 16});
    e->DrawValueCell(bmp.Canvas(), {0, 0, 100, 16});
    int black = 0;
    for (int y = 3; y < 11; ++y)
      for (int x = 2; x < 10; ++x) black += bmp.Canvas()->Pixels(x, y) == clBlack;
    return black;
  };
  EXPECT_EQ(blackIn(false), 0);
  EXPECT_GT(blackIn(true), 6);
}

// ---------------------------------------------------------------- event handlers

TEST_F(TextEditorsTest, AnEventDoubleClickMakesTheHandlerOnceAndThenJumpsToIt) {
  Report.SetScriptLanguage("PascalScript");
  Report.ScriptText()->SetText("begin\n\nend.");
  TfrxPropertyList list(Designer.get());
  list.AssignObject(Memo);
  TfrxPropertyItem* row = list.Find("OnBeforePrint");
  ASSERT_NE(row, nullptr);
  EXPECT_EQ(row->Editor()->ClassType(), TfrxEventProperty::StaticClass());
  EXPECT_TRUE(row->Editor()->RunEdit());
  EXPECT_EQ(Memo->OnBeforePrint(), "Memo1OnBeforePrint");
  const int count = Report.ScriptText()->Count();
  EXPECT_EQ(FindProcedureLine(Report.ScriptText(), "PascalScript", "Memo1OnBeforePrint"), 0);
  EXPECT_FALSE(row->Editor()->RunEdit());  // only a jump
  EXPECT_EQ(Report.ScriptText()->Count(), count);
  row->Editor()->FillValueList();
  EXPECT_EQ(row->Editor()->Values()->IndexOf("Memo1OnBeforePrint"), 0);
}

TEST_F(TextEditorsTest, WithoutAMainBlockTheEventKeepsItsValueAndAMissingHandlerGetsItsStub) {
  Report.SetScriptLanguage("PascalScript");
  Report.ScriptText()->SetText("procedure X;\nbegin\nend;");
  TfrxPropertyList list(Designer.get());
  list.AssignObject(Memo);
  TfrxPropertyEditor* e = list.Find("OnAfterPrint")->Editor();
  EXPECT_THROW(e->RunEdit(), Exception);
  EXPECT_EQ(Memo->OnAfterPrint(), "");

  Report.ScriptText()->SetText("begin\n\nend.");
  Memo->SetOnAfterPrint("Finish");  // named, but not in the script
  EXPECT_TRUE(e->RunEdit());
  EXPECT_EQ(Memo->OnAfterPrint(), "Finish");
  EXPECT_GE(FindProcedureLine(Report.ScriptText(), "PascalScript", "Finish"), 0);
}

}  // namespace
