// The designer's object and band dialogs driven offscreen through their real controls (frame,
// data band, group), and the designer editors around them: band context menus, the position
// and paper editors in each measuring unit, and the data-set and field editors of text objects.
#include "core/Scope.h"
#include "core/StringList.h"
#include "gui/ComboBox.h"
#include "gui/Edit.h"
#include "gui/ListCtrls.h"
#include "gui/Menus.h"
#include "gui/Screen.h"
#include "gui/StdCtrls.h"
#include "gui/Timers.h"
#include "gui/ToolBar.h"
#include "report/designer/frxDesgnEditors.h"
#include "report/designer/frxEditDataBand.h"
#include "report/designer/frxEditFrame.h"
#include "report/designer/frxEditGroup.h"
#include "report/designer/frxEditPage.h"
#include "report/designer/frxEditHighlight.h"
#include "report/designer/frxEditPicture.h"
#include "report/frxShapes.h"
#include "report/frxDMPClass.h"
#include "gui/Pictures.h"
#include "gui/ComCtrls.h"
#include "gui/Clipbrd.h"
#include "core/FileUtils.h"
#include "core/SysUtils.h"
#include "gui/GraphicsObjects.h"
#include "gui/Colors.h"
#include "gui/Memo.h"
#include "gui/ComCtrlsBasic.h"
#include "report/frxPrinter.h"
#include "report/frxBands.h"
#include "report/frxClass.h"
#include "report/frxClassBases.h"
#include "report/frxDBSet.h"
#include "report/frxMemoView.h"
#include "report/frxPages.h"
#include "report/frxRes.h"

#include "DesignerFixture.h"
#include "report/frxChm.h"
#include "report/designer/frxEditFormat.h"
#include "report/designer/frxEditMemo.h"
#include "report/designer/frxEditStrings.h"
#include "report/designer/frxEditSysMemo.h"

#include <gtest/gtest.h>

#include <functional>
#include <unistd.h>
#include <memory>

namespace {
using namespace designer_test;


// ---------------------------------------------------------------- frame

TEST_F(DesignerDialogsTest, FrameDialogSetsSidesAndReadsWidthsWithEitherSeparator) {
  for (const char* typed : {"0,5", "0.5"}) {
    TfrxFrame frame;
    TModalStep step([&](TCustomForm* f) {
      auto* d = static_cast<TfrxFrameEditorForm*>(f);
      d->FrameAllB->Click();
      EXPECT_TRUE(d->FrameLeftB->Down());
      d->FrameTopB->SetDown(false);
      d->FrameTopB->Click();  // one side off again
      d->FrameWidthCB->SetText(typed);
      d->OkB->Click();
    });
    ASSERT_TRUE(EditFrame(nullptr, &frame)) << typed;
    EXPECT_TRUE(step.Done());
    EXPECT_EQ(frame.Typ(), (TfrxFrameTypes{ftLeft, ftRight, ftBottom})) << typed;
    EXPECT_DOUBLE_EQ(static_cast<double>(frame.Width()), 0.5) << typed;
  }
}

TEST_F(DesignerDialogsTest, FrameDialogKeepsOpenOnABadWidthAndChangesNothing) {
  TfrxFrame frame;
  frame.SetWidth(2);
  frame.SetTyp({ftTop});
  bool stayedOpen = false;
  TModalStep step([&](TCustomForm* f) {
    auto* d = static_cast<TfrxFrameEditorForm*>(f);
    d->FrameNoB->Click();
    d->FrameWidthCB->SetText("x");
    EXPECT_THROW(d->OkB->Click(), EConvertError);
    stayedOpen = d->ModalResult() == mrNone && d->Visible();
    d->CancelB->Click();
  });
  EXPECT_FALSE(EditFrame(nullptr, &frame));
  EXPECT_TRUE(stayedOpen);
  EXPECT_EQ(frame.Width(), 2);
  EXPECT_EQ(frame.Typ(), TfrxFrameTypes{ftTop});
}

// ---------------------------------------------------------------- data band

TEST_F(DesignerDialogsTest, DataBandDialogKeepsAnyRowCountAndTheFirstEntryMeansNoDataSet) {
  Band->SetRowCount(250);
  std::vector<String> listed;
  TModalStep step([&](TCustomForm* f) {
    auto* d = static_cast<TfrxDataBandEditorForm*>(f);
    for (int i = 0; i < d->DatasetsLB->Items()->Count(); ++i) listed.push_back(d->DatasetsLB->Items()->Strings(i));
    EXPECT_EQ(d->DatasetsLB->ItemIndex(), 0);
    EXPECT_EQ(d->RecordsE->Text(), "250");
    d->OkB->Click();
  });
  EXPECT_TRUE(OpenComponentEditor(Designer.get(), Band));
  EXPECT_EQ(listed, (std::vector<String>{ReportResources()->TextOf("dbNotAssigned"), "Customers", "Orders"}));
  EXPECT_EQ(Band->RowCount(), 250);
  EXPECT_EQ(Band->DataSet(), nullptr);
  EXPECT_TRUE(Designer->Modified());
}

TEST_F(DesignerDialogsTest, DataBandDialogPicksADataSetAndRefusesABadCount) {
  Band->SetRowCount(7);
  TModalStep step([&](TCustomForm* f) {
    auto* d = static_cast<TfrxDataBandEditorForm*>(f);
    d->DatasetsLB->SetItemIndex(1);
    d->DatasetsLBClick(d->DatasetsLB);
    EXPECT_EQ(d->RecordsE->Text(), "0");  // a data set resets the count
    d->RecordsE->SetText("-3");
    EXPECT_THROW(d->OkB->Click(), EConvertError);
    EXPECT_EQ(d->ModalResult(), mrNone);
    d->RecordsE->SetText("0");
    d->OkB->Click();
  });
  EXPECT_TRUE(OpenComponentEditor(Designer.get(), Band));
  EXPECT_EQ(Band->DataSet(), &Customers);
  EXPECT_EQ(Band->RowCount(), 0);
}

// ---------------------------------------------------------------- group

TEST_F(DesignerDialogsTest, GroupDialogReopensOnWhatTheConditionNames) {
  auto* group = new TfrxGroupHeader(Page);
  struct Case {
    const char* Condition;
    bool ByField;
    const char* DataSet;
    const char* Field;
  };
  const Case cases[] = {
      {"Customers.\"Name\"", true, "Customers", "Name"},
      {"Copy(<Customers.\"Name\">, 1, 1)", false, "", ""},
      {"", true, "Customers", ""},
  };
  for (const Case& c : cases) {
    group->SetCondition(c.Condition);
    TModalStep step([&](TCustomForm* f) {
      auto* d = static_cast<TfrxGroupEditorForm*>(f);
      EXPECT_EQ(d->DataFieldRB->Checked(), c.ByField) << c.Condition;
      EXPECT_EQ(d->ExpressionE->Enabled(), !c.ByField) << c.Condition;
      if (c.ByField) {
        EXPECT_EQ(d->DataSetCB->Text(), c.DataSet) << c.Condition;
        EXPECT_EQ(d->DataFieldCB->Text(), c.Field) << c.Condition;
        EXPECT_EQ(d->DataFieldCB->Items()->Count(), 2) << c.Condition;
      } else {
        EXPECT_EQ(d->ExpressionE->Text(), c.Condition);
      }
      d->CancelB->Click();
    });
    EXPECT_FALSE(OpenComponentEditor(Designer.get(), group));
    EXPECT_EQ(group->Condition(), c.Condition);
  }
}

TEST_F(DesignerDialogsTest, GroupDialogWritesTheConditionAndRefusesAnEmptyField) {
  auto* group = new TfrxGroupHeader(Page);
  TModalStep step([&](TCustomForm* f) {
    auto* d = static_cast<TfrxGroupEditorForm*>(f);
    d->DataFieldCB->SetText("");
    d->OKB->Click();
    EXPECT_EQ(d->ModalResult(), mrNone);  // data field chosen, no field: refused
    d->DataSetCB->SetItemIndex(1);
    d->DataSetCBClick(d->DataSetCB);
    EXPECT_EQ(d->DataFieldCB->Items()->Count(), 1);
    d->DataFieldCB->SetText("Id");
    d->OutlineCB->SetChecked(true);
    d->StartNewPageCB->SetChecked(true);
    d->OKB->Click();
  });
  EXPECT_TRUE(OpenComponentEditor(Designer.get(), group));
  EXPECT_EQ(group->Condition(), "Orders.\"Id\"");
  EXPECT_EQ(group->OutlineText(), "Orders.\"Id\"");
  EXPECT_TRUE(group->StartNewPage());

  TModalStep byExpression([&](TCustomForm* f) {
    auto* d = static_cast<TfrxGroupEditorForm*>(f);
    d->ExpressionRB->SetChecked(true);
    d->RBClick(d->ExpressionRB);
    d->ExpressionB->Click();  // the designer's expression
    d->OutlineCB->SetChecked(false);
    d->OKB->Click();
  });
  EXPECT_TRUE(OpenComponentEditor(Designer.get(), group));
  EXPECT_EQ(group->Condition(), "<Customers.\"Amount\"> > 0");
  EXPECT_EQ(group->OutlineText(), "");
}

// ---------------------------------------------------------------- highlight

TEST_F(DesignerDialogsTest, HighlightTakesTheObjectsFontWithTheDialogsStyleAndATransparentBackground) {
  Memo->Font()->SetName("Arial");
  Memo->Font()->SetSize(14);
  Memo->Highlight()->SetColor(clRed);
  Memo->Highlight()->Font()->SetColor(clBlue);
  Memo->Highlight()->SetCondition("Value > 0");
  bool backEnabled = true;
  TModalStep step([&](TCustomForm* f) {
    auto* d = static_cast<TfrxHighlightEditorForm*>(f);
    EXPECT_TRUE(d->OtherRB->Checked());
    EXPECT_EQ(d->ConditionE->Text(), "Value > 0");
    d->TransparentRB->SetChecked(true);
    d->RBClick(d->TransparentRB);
    backEnabled = d->BackColorB->Enabled();
    d->BoldCB->SetChecked(true);
    d->UnderlineCB->SetChecked(true);
    d->ConditionB->Click();  // the designer's expression
    d->OKB->Click();
  });
  EXPECT_TRUE(EditHighlight(Designer.get(), Memo));
  EXPECT_FALSE(backEnabled);
  TfrxHighlight* h = Memo->Highlight();
  EXPECT_EQ(h->Color(), 536870911);
  EXPECT_EQ(h->Condition(), "<Customers.\"Amount\"> > 0");
  EXPECT_EQ(h->Font()->Name(), "Arial");
  EXPECT_EQ(h->Font()->Size(), 14);
  EXPECT_EQ(h->Font()->Style(), (TFontStyles{fsBold, fsUnderline}));
  EXPECT_EQ(h->Font()->Color(), clBlue);
}

TEST_F(DesignerDialogsTest, HighlightCancelChangesNothing) {
  Memo->Highlight()->SetCondition("A");
  TModalStep step([&](TCustomForm* f) {
    auto* d = static_cast<TfrxHighlightEditorForm*>(f);
    d->ConditionE->SetText("B");
    d->CancelB->Click();
  });
  EXPECT_FALSE(EditHighlight(Designer.get(), Memo));
  EXPECT_EQ(Memo->Highlight()->Condition(), "A");
}

// ---------------------------------------------------------------- picture

TEST_F(DesignerDialogsTest, PictureDialogLoadsByExtensionShowsTheSizeAndClears) {
  TBitmap bmp;
  bmp.SetWidth(40);
  bmp.SetHeight(30);
  const String file = IncludeTrailingPathDelimiter(GetTempDir()) + "kelm_picture_"+ IntToStr(static_cast<int>(getpid())) + ".bmp";
  bmp.SaveToFile(file);
  TScopeExit remove([&] { DeleteFile(file); });
  auto* picture = new TfrxPictureView(Band);
  std::vector<String> status;
  TModalStep step([&](TCustomForm* f) {
    auto* d = static_cast<TfrxPictureEditorForm*>(f);
    status.push_back(d->StatusBar->Panels()->Items(0)->Text());
    d->LoadFile(file);
    status.push_back(d->StatusBar->Panels()->Items(0)->Text());
    d->CopyB->Click();
    d->ClearB->Click();
    status.push_back(d->StatusBar->Panels()->Items(0)->Text());
    d->PasteB->Click();
    status.push_back(d->StatusBar->Panels()->Items(0)->Text());
    EXPECT_THROW(d->LoadFile(file + ".xyz"), Exception);
    d->OkB->Click();
  });
  EXPECT_TRUE(OpenComponentEditor(Designer.get(), picture));
  const String empty = ReportResources()->TextOf("piEmpty");
  EXPECT_EQ(status, (std::vector<String>{empty, "40 x 30", empty, "40 x 30"}));
  EXPECT_EQ(picture->Picture()->Width(), 40);
  EXPECT_EQ(picture->Picture()->Height(), 30);
}

// ---------------------------------------------------------------- view, text, line and picture menus

TEST_F(DesignerDialogsTest, ObjectMenusCarryTheirEntriesAndSkipRestrictedObjects) {
  auto* line = new TfrxLineView(Band);
  auto* picture = new TfrxPictureView(Band);
  struct Case {
    TfrxComponent* Object;
    std::vector<String> Captions;
  };
  const std::vector<String> view = {"Shift*", "Shift When Overlapped", "Visible*", "Printable*"};
  auto with = [&](std::vector<String> head) {
    head.insert(head.end(), view.begin(), view.end());
    return head;
  };
  const Case cases[] = {
      {line, with({"Diagonal", "Stretch"})},
      {picture, with({"Auto Size", "Stretch*", "Center", "Keep Aspect Ratio*", "-"})},
  };
  for (const Case& c : cases) {
    Designer->SelectedObjects() = {c.Object};
    EXPECT_EQ(MenuOf(Designer.get(), c.Object), c.Captions) << c.Object->ClassName();
  }
  // Two lines selected, one restricted: only the other changes.
  auto* line2 = new TfrxLineView(Band);
  line2->SetRestrictions({rfDontModify});
  Designer->SelectedObjects() = {line, line2};
  EXPECT_TRUE(RunComponentMenuItem(Designer.get(), line, 1, true));
  EXPECT_EQ(line->StretchMode(), smMaxHeight);
  EXPECT_EQ(line2->StretchMode(), smDontStretch);
  EXPECT_TRUE(RunComponentMenuItem(Designer.get(), line, 51, true));
  EXPECT_EQ(line->ShiftMode(), smWhenOverlapped);
  EXPECT_EQ(line2->ShiftMode(), smAlways);
  Designer->SelectedObjects() = {line2};
  EXPECT_FALSE(RunComponentMenuItem(Designer.get(), line, 52, false));
  EXPECT_TRUE(line2->Visible());
}

TEST_F(DesignerDialogsTest, ASubreportDoubleClickShowsItsPage) {
  auto* subPage = new TfrxReportPage(&Report);
  auto* sub = new TfrxSubreport(Band);
  sub->SetPage(subPage);
  EXPECT_FALSE(OpenComponentEditor(Designer.get(), sub));  // nothing changed
  EXPECT_EQ(Designer->Page(), subPage);
  Designer->SelectedObjects() = {sub};
  EXPECT_EQ(MenuOf(Designer.get(), sub), (std::vector<String>{"Print On Parent"}));
  EXPECT_TRUE(RunComponentMenuItem(Designer.get(), sub, 0, true));
  EXPECT_TRUE(sub->PrintOnParent());
}

// ---------------------------------------------------------------- page

// Opens the page dialog through the page's component editor, runs Step and answers OK.
bool EditPageThrough(TTestDesigner* D, TfrxReportPage* P, const std::function<void(TfrxPageEditorForm*)>& Step) {
  TModalStep step([&](TCustomForm* f) {
    auto* d = static_cast<TfrxPageEditorForm*>(f);
    Step(d);
    if (d->Visible() && d->ModalResult() == mrNone) d->OKB->Click();
  });
  return OpenComponentEditor(D, P);
}

TEST_F(DesignerDialogsTest, PageDialogOpensOnTheCustomEntryForAPaperThePrinterLacks) {
  TfrxCustomPrinter* printer = ReportPrinters()->CurrentPrinter();
  ASSERT_NE(printer, nullptr);
  Page->AssignPaper(9, 210, 297);
  Page->SetPaperSize(12345);  // no printer offers it
  String shownSize, shownWidth;
  EXPECT_TRUE(EditPageThrough(Designer.get(), Page, [&](TfrxPageEditorForm* d) {
    shownSize = d->SizeCB->Text();
    shownWidth = d->WidthE->Text();
    EXPECT_EQ(d->UnitL1->Caption(), "cm");
  }));
  EXPECT_EQ(shownSize, printer->PaperList()->Strings(printer->PaperIndexOf(256)));
  EXPECT_EQ(shownWidth, "21");
}

TEST_F(DesignerDialogsTest, PageDialogReadsMarginsWithEitherSeparatorAndLaysOutColumns) {
  Page->AssignPaper(9, 210, 297);
  for (const char* typed : {"1,5", "1.5", " 1 .5"}) {
    Page->SetLeftMargin(10);
    EXPECT_TRUE(EditPageThrough(Designer.get(), Page, [&](TfrxPageEditorForm* d) { d->MarginLeftE->SetText(typed); }));
    EXPECT_NEAR(double(Page->LeftMargin()), 15, 1e-9) << typed;
  }
  // Column count 0 lays out one column over the width between the margins.
  Page->SetRightMargin(15);
  std::vector<String> positions;
  String columnWidth;
  EXPECT_TRUE(EditPageThrough(Designer.get(), Page, [&](TfrxPageEditorForm* d) {
    d->UpDown1->SetPosition(0);
    d->ColumnsChanged();
    columnWidth = d->ColumnWidthE->Text();
    for (int i = 0; i < d->ColumnPositionsM->Lines()->Count(); ++i) positions.push_back(d->ColumnPositionsM->Lines()->Strings(i));
    d->UpDown1->SetPosition(2);
    d->ColumnsChanged();
  }));
  EXPECT_EQ(columnWidth, "18");
  EXPECT_EQ(positions, (std::vector<String>{"0"}));
  EXPECT_EQ(Page->Columns(), 2);
  EXPECT_NEAR(double(Page->ColumnWidth()), 90, 1e-9);
  ASSERT_EQ(Page->ColumnPositions()->Count(), 2);
  EXPECT_EQ(Page->ColumnPositions()->Strings(1), "90");
}

TEST_F(DesignerDialogsTest, PageDialogAppliesToSubreportPagesAndNothingOnABadNumber) {
  Page->AssignPaper(9, 210, 297);
  auto* subPage = new TfrxReportPage(&Report);
  auto* sub = new TfrxSubreport(Band);
  sub->SetPage(subPage);
  EXPECT_TRUE(EditPageThrough(Designer.get(), Page, [&](TfrxPageEditorForm* d) {
    d->MarginTopE->SetText("2");
    d->LandscapeRB->SetChecked(true);
    d->PortraitRBClick(d->LandscapeRB);
    d->MirrorMarginsCB->SetChecked(true);
  }));
  for (TfrxReportPage* p : {Page, subPage}) {
    EXPECT_NEAR(double(p->TopMargin()), 20, 1e-9);
    EXPECT_EQ(p->Orientation(), poLandscape);
    EXPECT_NEAR(double(p->PaperWidth()), 297, 0.5);
    EXPECT_TRUE(p->MirrorMargins());
  }
  // A bad margin: the error, the field focused, the dialog open; Cancel leaves all as it was.
  bool open = false;
  EXPECT_FALSE(EditPageThrough(Designer.get(), Page, [&](TfrxPageEditorForm* d) {
    d->MarginTopE->SetText("5");
    d->MarginBottomE->SetText("abc");
    EXPECT_THROW(d->OKB->Click(), EConvertError);
    open = d->Visible() && d->ModalResult() == mrNone;
    d->CancelB->Click();
  }));
  EXPECT_TRUE(open);
  EXPECT_NEAR(double(Page->TopMargin()), 20, 1e-9);
  // The subreport's own page opens nothing.
  TModalStep never([](TCustomForm* f) { static_cast<TForm*>(f)->SetModalResult(mrCancel); });
  EXPECT_FALSE(OpenComponentEditor(Designer.get(), subPage));
  EXPECT_FALSE(never.Done());
}

// ---------------------------------------------------------------- help

// F1 anywhere in a dialog opens the help at the dialog's class; other keys open nothing.
TEST_F(DesignerDialogsTest, F1OpensTheHelpTopicOfEveryDialog) {
  std::vector<String> paths;
  SetHtmlHelpEntry([&](std::uintptr_t, const String& Path, int, std::intptr_t) { paths.push_back(Path); });
  TScopeExit unhook([] { SetHtmlHelpEntry(nullptr); });
  std::vector<std::unique_ptr<TForm>> dialogs;
  dialogs.emplace_back(new TfrxFrameEditorForm(Designer.get()));
  dialogs.emplace_back(new TfrxPictureEditorForm(Designer.get()));
  dialogs.emplace_back(new TfrxHighlightEditorForm(Designer.get()));
  dialogs.emplace_back(new TfrxDataBandEditorForm(Designer.get()));
  dialogs.emplace_back(new TfrxGroupEditorForm(Designer.get()));
  dialogs.emplace_back(new TfrxPageEditorForm(Designer.get()));
  dialogs.emplace_back(new TfrxMemoEditorForm(Designer.get()));
  dialogs.emplace_back(new TfrxSysMemoEditorForm(Designer.get()));
  dialogs.emplace_back(new TfrxFormatEditorForm(Designer.get()));
  dialogs.emplace_back(new TfrxStringsEditorForm(Designer.get()));
  for (auto& d : dialogs) {
    d->InitForm();
    EXPECT_TRUE(d->KeyPreview()) << d->ClassName();
    ASSERT_TRUE(d->OnKeyDown.Assigned()) << d->ClassName();
    Word other = VK_F2, help = VK_F1;
    d->OnKeyDown(d.get(), other, {});
    d->OnKeyDown(d.get(), help, {});
    ASSERT_FALSE(paths.empty()) << d->ClassName();
    EXPECT_EQ(paths.back(), ReportResources()->HelpPathFor(d.get())) << d->ClassName();
  }
  EXPECT_EQ(paths.size(), dialogs.size());
}

// ---------------------------------------------------------------- band menus


TEST_F(DesignerDialogsTest, BandMenusFollowTheKindAndTheSelection) {
  Band->SetAllowSplit(true);
  Designer->SelectedObjects() = {Band};
  EXPECT_EQ(MenuOf(Designer.get(), Band),
            (std::vector<String>{"Stretch", "Allow Split*", "Keep Child Together", "Print Child If Invisible",
                                 "Start New Page", "Print If Detail Empty", "Footer after each row",
                                 "Keep Detail Together", "Keep Footer Together", "Keep Header Together"}));
  auto* footer = new TfrxPageFooter(Page);
  Designer->SelectedObjects() = {footer};
  EXPECT_EQ(MenuOf(Designer.get(), footer), (std::vector<String>{"Print On First Page*", "Print On Last Page*"}));
  auto* pageHeader = new TfrxPageHeader(Page);
  Designer->SelectedObjects() = {pageHeader};
  EXPECT_EQ(MenuOf(Designer.get(), pageHeader),
            (std::vector<String>{"Stretch", "Print Child If Invisible", "Print On First Page*"}));
  // Two bands: no band entries at all.
  Designer->SelectedObjects() = {Band, footer};
  EXPECT_TRUE(MenuOf(Designer.get(), Band).empty());
}

TEST_F(DesignerDialogsTest, MenuEntriesChangeTheFirstSelectedBandUnlessRestricted) {
  Designer->SelectedObjects() = {Band};
  EXPECT_TRUE(RunComponentMenuItem(Designer.get(), Band, 2, true));
  EXPECT_TRUE(Band->KeepTogether());
  EXPECT_TRUE(RunComponentMenuItem(Designer.get(), Band, 14, true));
  EXPECT_TRUE(Band->StartNewPage());
  Band->SetRestrictions({rfDontModify});
  EXPECT_FALSE(RunComponentMenuItem(Designer.get(), Band, 2, false));
  EXPECT_TRUE(Band->KeepTogether());
}

// ---------------------------------------------------------------- property editors

TEST_F(DesignerDialogsTest, PositionsAndPaperShowInTheDesignersUnits) {
  struct Case {
    TfrxRulerUnits Units;
    const char* Property;
    Extended Stored;
    const char* Shown;
  };
  const Case cases[] = {
      {ruCM, "Left", 37.7952, "1.00"}, {ruInches, "Left", 37.7952, "0.39"}, {ruInches, "Left", 96, "1"},
      {ruChars, "Width", 96, "10"},    {ruChars, "Height", 34, "2"},        {ruPixels, "Top", 12.5, "12.50"},
  };
  for (const Case& c : cases) {
    Designer->Units = c.Units;
    SetFloatProp(Memo, c.Property, c.Stored);
    TfrxPropertyList list(Designer.get());
    list.AssignObject(Memo);
    EXPECT_EQ(list.Find(c.Property)->Editor()->ValueText(), c.Shown) << c.Property << " " << int(c.Units);
  }
  Designer->Units = ruCM;
  TfrxPropertyList list(Designer.get());
  list.AssignObject(Memo);
  list.Find("Left")->Editor()->ApplyValueText("2,54");
  EXPECT_NEAR(double(Memo->Left()), 96, 1e-9);

  TfrxPropertyList pageRows(Designer.get());
  pageRows.AssignObject(Page);
  pageRows.Find("LeftMargin")->Editor()->ApplyValueText("1,5");
  EXPECT_NEAR(double(Page->LeftMargin()), 15, 1e-9);
  Designer->Units = ruInches;
  EXPECT_EQ(pageRows.Find("PaperWidth")->Editor()->ValueText(), UnitsValueText(Page->PaperWidth() / 25.4));
}

TEST_F(DesignerDialogsTest, PickingADataSetAndFieldBindsTheTextToTheField) {
  TfrxPropertyList list(Designer.get());
  list.AssignObject(Memo);
  TfrxPropertyEditor* ds = list.Find("DataSet")->Editor();
  EXPECT_EQ(ds->ValueText(), ReportResources()->TextOf("prNotAssigned"));
  ds->FillValueList();
  EXPECT_EQ(ds->Values()->Count(), 2);
  ds->ApplyValueText("Customers");
  TfrxPropertyEditor* field = list.Find("DataField")->Editor();
  field->FillValueList();
  EXPECT_EQ(field->Values()->Strings(0), "Name");
  field->ApplyValueText("Name");
  EXPECT_EQ(Memo->Text(), "[Customers.\"Name\"]");
  EXPECT_EQ(ds->ValueText(), "Customers");
  EXPECT_THROW(ds->ApplyValueText("Nobody"), Exception);
  EXPECT_EQ(Memo->DataSet(), &Customers);
  EXPECT_EQ(ReportResources()->TextOf("prInvProp"), "Invalid property value");
}

}  // namespace
