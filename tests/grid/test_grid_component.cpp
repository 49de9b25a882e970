// The grid component: options and their base-grid translation, the edit hooks with the
// write-back by column kind, and its lifecycle (deferred layout, layouts, removal, scaling).
#include "TreeMemTable.h"
#include "DBGridFixture.h"

#include "core/ClassBuilder.h"
#include "core/Filer.h"

class TGridHostForm : public TForm {
  KELM_CLASS(TGridHostForm, TForm)
public:
  using TForm::TForm;
};

namespace {

// ---------------------------------------------------------------- options

using OptionsTest = DBGridFixture;

TEST_F(OptionsTest, RowSelectDropsEditingAndTheAlwaysShownEditor) {
  Grid->SetOptions(Grid->Options() + TDBGridOptions{dgAlwaysShowEditor, dgRowSelect});
  EXPECT_TRUE(Grid->Options().Contains(dgRowSelect));
  EXPECT_FALSE(Grid->Options().Contains(dgEditing));
  EXPECT_FALSE(Grid->Options().Contains(dgAlwaysShowEditor));
  EXPECT_TRUE(Grid->TCustomGrid::Options().Contains(goRowSelect));
  EXPECT_FALSE(Grid->TCustomGrid::Options().Contains(goEditing));
}

TEST_F(OptionsTest, EachOptionGivesItsBaseGridOptions) {
  struct {
    TDBGridOption Option;
    TGridOptions Base;
  } cases[] = {{dgColLines, {goFixedVertLine, goVertLine}},
               {dgRowLines, {goFixedHorzLine, goHorzLine}},
               {dgColumnResize, {goColSizing, goColMoving}},
               {dgTabs, {goTabs}},
               {dgEditing, {goEditing}}};
  for (auto& c : cases) {
    Grid->SetOptions(Grid->Options() - c.Option);
    EXPECT_TRUE((Grid->TCustomGrid::Options() * c.Base).Empty()) << int(c.Option);
    Grid->SetOptions(Grid->Options() + c.Option);
    EXPECT_EQ(Grid->TCustomGrid::Options() * c.Base, c.Base) << int(c.Option);
  }
  Grid->SetRowSizingAllowed(true);
  EXPECT_TRUE(Grid->TCustomGrid::Options().Contains(goRowSizing));
  // The indicator and the title row are the fixed column and row.
  EXPECT_EQ(Grid->FixedCols(), 1);
  EXPECT_EQ(Grid->FixedRows(), 1);
  Grid->SetOptions(Grid->Options() - TDBGridOptions{dgIndicator, dgTitles});
  EXPECT_EQ(Grid->FixedCols(), 0);
  EXPECT_EQ(Grid->FixedRows(), 0);
}

TEST_F(OptionsTest, ClearingMultiSelectClearsTheSelection) {
  Grid->SetOptions(Grid->Options() + dgMultiSelect);
  Select({1, 4});
  ASSERT_EQ(Grid->SelectedRows()->Count(), 2);
  Grid->SetOptions(Grid->Options() - dgMultiSelect);
  EXPECT_EQ(Grid->SelectedRows()->Count(), 0);
  EXPECT_EQ(Grid->Selection()->SelectionKind(), gstNon);
}

TEST_F(OptionsTest, ClearingMultiSortMarkingKeepsOnlyTheFirstMarker) {
  TColumnEh* a = AddColumn("Code");
  TColumnEh* b = AddColumn("Amount");
  TColumnEh* c = AddColumn("Qty");
  Grid->SetOptionsEh(Grid->OptionsEh() + dghMultiSortMarking);
  b->Title()->SetSortMarker(smDownEh);
  c->Title()->SetSortMarker(smUpEh);
  a->Title()->SetSortMarker(smDownEh);
  ASSERT_EQ(Grid->SortMarkedColumns()->Count(), 3);
  Grid->SetOptionsEh(Grid->OptionsEh() - dghMultiSortMarking);
  EXPECT_EQ(b->Title()->SortMarker(), smDownEh);
  EXPECT_EQ(c->Title()->SortMarker(), smNoneEh);
  EXPECT_EQ(a->Title()->SortMarker(), smNoneEh);
}

TEST_F(OptionsTest, RowColoursFollowTheGridUntilAssignedEvenWithItsOwnColour) {
  EXPECT_EQ(Grid->EvenRowColor(), clWindow);
  Grid->SetColor(clYellow);
  EXPECT_EQ(Grid->EvenRowColor(), clYellow);
  EXPECT_EQ(Grid->OddRowColor(), clYellow);
  Grid->SetEvenRowColor(Grid->Color());
  EXPECT_TRUE(Grid->EvenRowColorAssigned());
  EXPECT_FALSE(Grid->OddRowColorAssigned());
  Grid->SetColor(clAqua);
  EXPECT_EQ(Grid->EvenRowColor(), clYellow);
  EXPECT_EQ(Grid->OddRowColor(), clAqua);
  String text = WriteComponentToText(Grid);
  EXPECT_NE(text.find("EvenRowColor = clYellow"), String::npos) << text;
  EXPECT_EQ(text.find("OddRowColor"), String::npos) << text;
}

TEST_F(OptionsTest, NegativeCountsAreIgnoredOrStoredAsZero) {
  Grid->SetFooterRowCount(2);
  Grid->SetFooterRowCount(-1);
  EXPECT_EQ(Grid->FooterRowCount(), 2);
  Grid->SetRowHeight(-5);
  Grid->SetRowLines(-2);
  EXPECT_EQ(Grid->RowHeight(), 0);
  EXPECT_EQ(Grid->RowLines(), 0);
}

// ---------------------------------------------------------------- editing and write-back

class WriteBackTest : public DBGridFixture {
protected:
  TColumnEh* Flag = nullptr;
  void SetUp() override {
    DBGridFixture::SetUp();
    {
      TDBGridEhLayoutLock lock(Grid);
      AddColumn("Code");
      Flag = AddColumn("Flag");
      Flag->KeyList()->Add("01");
      Flag->KeyList()->Add("02");
      Flag->PickList()->Add("A");
      Flag->PickList()->Add("B");
    }
    DS->First();
    Grid->SetSelectedIndex(1);
    Grid->SetFocus();
    Application->ProcessMessages();
  }
  // Types a new text over the current cell's editor and posts the record.
  void TypeAndPost(const String& Text) {
    Grid->Perform(WM_KEYDOWN, VK_F2, 0);
    TInplaceEdit* ed = Grid->InplaceEditor();
    ASSERT_NE(ed, nullptr);
    ASSERT_TRUE(ed->Visible());
    ed->SelectAll();
    for (char ch : Text) ed->Perform(WM_CHAR, Char(ch), 0);
    Application->ProcessMessages();
    DS->Post();
  }
  Variant FlagValue() { return DS->FieldByName("Flag")->Value(); }
};

TEST_F(WriteBackTest, AKeyListColumnStoresTheKeyOfThePickedText) {
  TypeAndPost("B");
  EXPECT_EQ(FlagValue(), Variant(String("02")));
  TypeAndPost("C");
  EXPECT_EQ(FlagValue(), Variant(String("02"))) << "a character no pick text starts with is not typed";
  Grid->Perform(WM_KEYDOWN, VK_F2, 0);
  Grid->InplaceEditor()->SelectAll();
  Grid->InplaceEditor()->Perform(WM_KEYDOWN, VK_DELETE, 0);
  EXPECT_EQ(Grid->InplaceEditor()->Text(), "");
  DS->Post();
  EXPECT_TRUE(VarIsNull(FlagValue())) << "an emptied key-list cell";
}

TEST_F(WriteBackTest, TextAddedByNotInListIsLookedUpAgainAndStored) {
  std::vector<String> asked;
  Flag->OnNotInList = TNotInListEventEh::Lambda([&](TObject*, const String& text, bool& recheck) {
    asked.push_back(text);
    Flag->PickList()->Add(text);
    Flag->KeyList()->Add("03");
    recheck = true;
  });
  TypeAndPost("C");
  EXPECT_EQ(asked, (std::vector<String>{"C"}));
  EXPECT_EQ(FlagValue(), Variant(String("03")));
  // Without the recheck the value stays empty.
  Flag->OnNotInList = TNotInListEventEh::Lambda([](TObject*, const String&, bool& recheck) { recheck = false; });
  TypeAndPost("D");
  EXPECT_TRUE(VarIsNull(FlagValue()));
}

TEST_F(WriteBackTest, TheEditorShowsThePickTextOfTheStoredKey) {
  DS->Edit();
  DS->FieldByName("Flag")->SetAsString("02");
  DS->Post();
  EXPECT_EQ(Grid->GetEditText(Grid->Col(), Grid->Row()), "B");
  EXPECT_EQ(Grid->EditText(), "B");
  EXPECT_EQ(Grid->GetEditLimit(), 0);
}

TEST_F(WriteBackTest, APickListColumnStoresTheTextAndAsksAboutNewOnes) {
  Flag->KeyList()->Clear();
  int asked = 0;
  Flag->OnNotInList = TNotInListEventEh::Lambda([&](TObject*, const String&, bool&) { ++asked; });
  TypeAndPost("A");
  EXPECT_EQ(FlagValue(), Variant(String("A")));
  EXPECT_EQ(asked, 0);
  TypeAndPost("Z");
  EXPECT_EQ(FlagValue(), Variant(String("Z")));
  EXPECT_EQ(asked, 1);
}

TEST_F(WriteBackTest, ACheckBoxColumnRefusesModificationAndTheEditor) {
  Flag->SetCheckboxes(true);
  Grid->SetSelectedIndex(1);
  EXPECT_FALSE(Grid->CanEditModify());
  EXPECT_FALSE(Grid->CanEditShow());
  Grid->Perform(WM_KEYDOWN, VK_F2, 0);
  EXPECT_FALSE(Grid->InplaceEditor() && Grid->InplaceEditor()->Visible());
  EXPECT_EQ(DS->State(), dsBrowse);
}

TEST_F(WriteBackTest, ABlobIsEditableOnlyAsAMemoShownAsText) {
  TColumnEh* note = nullptr;
  {
    TDBGridEhLayoutLock lock(Grid);
    note = AddColumn("Note");
  }
  Grid->SetSelectedIndex(note->Index());
  EXPECT_FALSE(Grid->CanEditModify());
  Grid->SetDrawMemoText(true);
  EXPECT_TRUE(Grid->CanEditModify());
  EXPECT_EQ(DS->State(), dsEdit);
  EXPECT_TRUE(Grid->DataLink()->Modified());
  DS->Cancel();
}

TEST_F(WriteBackTest, AReadOnlyGridAcceptsNoEdit) {
  Grid->SetSelectedIndex(0);
  Grid->SetReadOnly(true);
  EXPECT_FALSE(Grid->CanEditModify());
  Grid->SetReadOnly(false);
  EXPECT_TRUE(Grid->CanEditModify());
  DS->Cancel();
  // Without a data source nothing is editable.
  Grid->SetDataSource(nullptr);
  EXPECT_FALSE(Grid->CanEditModify());
}

// ---------------------------------------------------------------- lifecycle

using LifecycleTest = DBGridFixture;

TEST_F(LifecycleTest, DeferredRequestsQueueOneMessageAndRunOnePass) {
  int passes = Grid->Passes;
  Grid->DeferLayout();
  Grid->DeferLayout();
  Grid->DeferLayout();
  Application->ProcessMessages();
  EXPECT_EQ(Grid->DeferredMessages, 1);
  EXPECT_EQ(Grid->Passes, passes + 1);
  // A pass that runs first takes the queued request away.
  Grid->DeferLayout();
  Grid->RebuildLayout();
  Application->ProcessMessages();
  EXPECT_EQ(Grid->DeferredMessages, 1);
  EXPECT_EQ(Grid->Passes, passes + 2);
  // Under a lock the request is posted again instead of run.
  Grid->BeginLayout();
  Grid->Perform(WM_DEFERREDLAYOUT);
  TMsg m;
  EXPECT_TRUE(PeekMessage(m, Grid->Handle(), WM_DEFERREDLAYOUT, WM_DEFERREDLAYOUT, PM_NOREMOVE));
  Grid->EndLayout();
  EXPECT_FALSE(PeekMessage(m, Grid->Handle(), WM_DEFERREDLAYOUT, WM_DEFERREDLAYOUT, PM_NOREMOVE));
  EXPECT_EQ(Grid->Passes, passes + 3);
}

TEST_F(LifecycleTest, AddingAColumnRunsOnePassOnTheWholeColumn) {
  int passes = Grid->Passes;
  TColumnEh* c = Grid->Columns()->AddColumn();
  EXPECT_EQ(Grid->Passes, passes + 1);
  EXPECT_EQ(Grid->ColCount(), 2);
  EXPECT_EQ(Grid->ColWidths(1), c->Width());
}

TEST_F(LifecycleTest, AFreedDataSourceLeavesTheGridWithout) {
  AddColumn("Code");
  delete Source;
  Source = nullptr;
  EXPECT_EQ(Grid->DataSource(), nullptr);
  EXPECT_FALSE(Grid->DataLink()->Active());
  EXPECT_EQ(Grid->DataLink()->FieldCount(), 0);
}

TEST_F(LifecycleTest, CloseAndReopenUnbindAndRebindTheFields) {
  {
    TDBGridEhLayoutLock lock(Grid);
    AddColumn("Code");
    AddColumn("Amount");
  }
  TColumnEh* amount = Grid->Columns()->Items(1);
  EXPECT_EQ(amount->Field(), DS->FieldByName("Amount"));
  DS->Close();
  EXPECT_EQ(amount->Field(), nullptr);
  EXPECT_EQ(Grid->DataLink()->FieldCount(), 0);
  DS->Open();
  EXPECT_EQ(amount->Field(), DS->FieldByName("Amount"));
  EXPECT_EQ(Grid->DataLink()->FieldAt(1), DS->FieldByName("Amount"));
}

TEST_F(LifecycleTest, ScalingTwoThirdsKeepsTheTotalOfTheWidths) {
  {
    TDBGridEhLayoutLock lock(Grid);
    for (const char* f : {"Code", "Amount", "Qty"}) AddColumn(f)->SetWidth(25);
  }
  Grid->ChangeScale(2, 3);
  std::vector<int> w;
  for (int i = 0; i < 3; ++i) w.push_back(Grid->Columns()->Items(i)->Width());
  EXPECT_EQ(w, (std::vector<int>{17, 16, 17}));
  EXPECT_EQ(Grid->ColWidths(2), 16) << "the grid columns follow";
}

TEST_F(LifecycleTest, AHiddenColumnTakesNoWidthAndYieldsTheCurrentCell) {
  {
    TDBGridEhLayoutLock lock(Grid);
    AddColumn("Code");
    AddColumn("Amount");
    AddColumn("Qty");
  }
  Grid->SetSelectedIndex(1);
  Grid->Columns()->Items(1)->SetVisible(false);
  EXPECT_EQ(Grid->ColWidths(2), -1) << "with column lines: -1, so the line goes too";
  EXPECT_EQ(Grid->SelectedIndex(), 0) << "the first visible column becomes current";
  Grid->SetOptions(Grid->Options() - dgColLines);
  EXPECT_EQ(Grid->ColWidths(2), 0);
  Grid->Columns()->Items(2)->SetWidth(40);
  EXPECT_EQ(Grid->ColWidths(3), 40);
}

TEST_F(LifecycleTest, UnderAutoFitAWidthChangeRescalesTheInitialWidths) {
  {
    TDBGridEhLayoutLock lock(Grid);
    AddColumn("Code")->SetWidth(100);
    AddColumn("Amount")->SetWidth(100);
  }
  TColumnEh* a = Grid->Columns()->Items(0);
  TColumnEh* b = Grid->Columns()->Items(1);
  Grid->SetAutoFitColWidths(true);
  EXPECT_EQ(a->InitialWidth(), 100) << "switching auto-fit on takes the widths as the shares";
  a->SetInitialWidth(50);
  b->SetInitialWidth(50);
  int shown = Grid->ColWidths(Grid->DataToRawColumn(0));  // what the fit gave the grid column
  ASSERT_GT(shown, 0);
  a->SetWidth(shown * 3 / 2);
  EXPECT_EQ(a->InitialWidth(), MulDiv(50, shown * 3 / 2, shown));
  EXPECT_EQ(b->InitialWidth(), 100 - a->InitialWidth()) << "the neighbour gives what the column took";
}

TEST_F(LifecycleTest, ALayoutGridOnAnotherFormsSourceLoadsAndWritesBackEqual) {
  auto* other = new TForm(Application);
  static_cast<TComponent*>(other)->SetName("DataForm");
  auto* src = new TDataSource(other);
  src->SetName("SrcPact");
  src->SetDataSet(DS);
  RegisterRoot(other);
  const char* text =
      "object Host: TGridHostForm\n"
      "  Left = 0\n"
      "  Top = 0\n"
      "  Width = 400\n"
      "  Height = 300\n"
      "  object Grid1: TDBGridEh\n"
      "    Left = 0\n"
      "    Top = 0\n"
      "    Width = 380\n"
      "    Height = 260\n"
      "    DataSource = DataForm.SrcPact\n"
      "    FooterRowCount = 1\n"
      "    SumList.Active = True\n"
      "    UseMultiTitle = True\n"
      "    Columns = <\n"
      "      item\n"
      "        FieldName = 'Code'\n"
      "        Title.Caption = '合同|编号'\n"
      "        Title.SortIndex = 2000000000\n"
      "        Title.SortMarker = smDownEh\n"
      "      end\n"
      "      item\n"
      "        FieldName = 'Amount'\n"
      "        Footer.ValueType = fvtSum\n"
      "        Title.Caption = '合同|金额'\n"
      "        Width = 90\n"
      "      end>\n"
      "  end\n"
      "end\n";
  auto* host = new TGridHostForm(Application);
  ReadComponentFromText(host, text);
  auto* g = dynamic_cast<TDBGridEh*>(host->FindComponent("Grid1"));
  ASSERT_NE(g, nullptr);
  EXPECT_EQ(g->DataSource(), src);
  ASSERT_EQ(g->Columns()->Count(), 2);
  EXPECT_EQ(g->Columns()->Items(1)->Title()->Caption(), "合同|金额");
  EXPECT_EQ(g->Columns()->Items(1)->Field(), DS->FieldByName("Amount"));
  EXPECT_TRUE(g->SumList()->Active());
  EXPECT_EQ(g->GetFooterText(0, g->Columns()->Items(1)), "78") << "1 + 2 + ... + 12";
  ASSERT_EQ(g->SortMarkedColumns()->Count(), 1) << "a huge stored sort index loads at once";
  EXPECT_EQ(g->ColCount(), 3);
  String written = WriteComponentToText(host);
  delete host;
  auto* again = new TGridHostForm(Application);
  ReadComponentFromText(again, written);
  EXPECT_EQ(WriteComponentToText(again), written);
  EXPECT_NE(written.find("Columns = <"), String::npos);
  EXPECT_NE(written.find("DataSource = DataForm.SrcPact"), String::npos) << written;
  // The source's form goes first: the grid is left without it.
  g = dynamic_cast<TDBGridEh*>(again->FindComponent("Grid1"));
  delete other;
  EXPECT_EQ(g->DataSource(), nullptr);
  EXPECT_FALSE(g->SumList()->DataSet());
  delete again;
}

TEST_F(LifecycleTest, GeneratedColumnsAreNotWritten) {
  String text = WriteComponentToText(Grid);
  EXPECT_EQ(text.find("Columns"), String::npos) << text;
  AddColumn("Code");
  text = WriteComponentToText(Grid);
  EXPECT_NE(text.find("Columns = <"), String::npos) << text;
}

TEST_F(LifecycleTest, FieldsFreedWhileControlsAreOffAreUnboundAndLaidOutLater) {
  AddColumn("Code");
  TColumnEh* amount = AddColumn("Amount");
  ASSERT_EQ(amount->Field(), DS->FieldByName("Amount"));
  int deferred = Grid->DeferredMessages;
  DS->DisableControls();
  DS->Close();  // frees the default fields
  EXPECT_EQ(amount->Field(), nullptr);
  EXPECT_EQ(Grid->LayoutLockCount(), 0);
  EXPECT_EQ(Grid->Columns()->UpdateLockCount(), 0);
  TMsg m;
  EXPECT_TRUE(PeekMessage(m, Grid->Handle(), WM_DEFERREDLAYOUT, WM_DEFERREDLAYOUT, PM_NOREMOVE));
  DS->Open();
  DS->EnableControls();
  int passes = Grid->Passes;
  Application->ProcessMessages();
  EXPECT_GT(Grid->DeferredMessages, deferred);
  EXPECT_GE(Grid->Passes, passes);
  EXPECT_EQ(amount->Field(), DS->FieldByName("Amount"));
  EXPECT_EQ(Grid->DataLink()->FieldAt(1), DS->FieldByName("Amount"));
}

}  // namespace

KELM_PUBLISH(TGridHostForm) {}

namespace {

// ---------------------------------------------------------------- publishing

TEST(GridPublishing, EveryDeclaredDefaultIsWhatANewGridHolds) {
  EnsureGridTestApplication();
  auto* form = new TForm(Application);
  int checked = 0;
  for (TClass c : {TDBGridEh::StaticClass()}) {
    TObject* o = c->Create(form);
    for (const TPropInfo* p : c->Properties()) {
      if (!p->Writable()) continue;
      if (p->IsOrdinal() && p->HasDefault) {
        ++checked;
        EXPECT_EQ(p->Access->GetOrd(o), p->OrdDefault) << p->Name;
      }
    }
    delete o;
  }
  EXPECT_GT(checked, 30);
  // Every event of the table is there for layouts to name.
  for (const char* e : {"OnApplyFilter", "OnCellClick", "OnCheckButton", "OnColEnter", "OnColExit", "OnColumnMoved",
                        "OnColWidthsChanged", "OnDrawColumnCell", "OnDrawDataCell", "OnDrawFooterCell",
                        "OnEditButtonClick", "OnGetBtnParams", "OnGetCellParams", "OnGetFooterParams",
                        "OnMoveRecords", "OnSelectionChanged", "OnSortMarkingChanged", "OnSumListRecalcAll",
                        "OnSumListAfterRecalcAll", "OnTitleBtnClick", "OnTitleClick", "OnKeyDown", "OnExit"})
    EXPECT_NE(GetPropInfo(TDBGridEh::StaticClass(), e), nullptr) << e;
  delete form;
}

TEST(GridPublishing, ANewGridWritesNoSettingsAndSettingsSurviveALayout) {
  EnsureGridTestApplication();
  auto* form = new TGridHostForm(Application);
  static_cast<TComponent*>(form)->SetName("Host2");
  auto* g = new TDBGridEh(form);
  static_cast<TComponent*>(g)->SetName("G");
  g->SetParent(form);
  String plain = WriteComponentToText(form);
  for (const char* name : {"Options", "OptionsEh", "AllowedOperations", "AllowedSelections", "FixedColor",
                           "FooterColor", "VTitleMargin", "DefaultDrawing", "TabStop", "BorderStyle", "ParentColor"})
    EXPECT_EQ(plain.find(String("    ") + name + " ="), String::npos) << name << "\n" << plain;
  g->SetOptions(g->Options() + dgMultiSelect - dgTabs);
  g->SetAllowedSelections({gstRecordBookmarks});
  g->SetFrozenCols(1);
  g->STFilter()->SetVisible(true);
  g->HorzScrollBar()->SetTracking(true);
  g->SetVTitleMargin(4);
  String text = WriteComponentToText(form);
  delete form;
  auto* back = new TGridHostForm(Application);
  ReadComponentFromText(back, text);
  auto* r = dynamic_cast<TDBGridEh*>(back->FindComponent("G"));
  ASSERT_NE(r, nullptr);
  EXPECT_TRUE(r->Options().Contains(dgMultiSelect));
  EXPECT_FALSE(r->Options().Contains(dgTabs));
  EXPECT_EQ(r->AllowedSelections(), TDBGridEhAllowedSelections{gstRecordBookmarks});
  EXPECT_EQ(r->FrozenCols(), 1);
  EXPECT_TRUE(r->STFilter()->Visible());
  EXPECT_EQ(r->FixedRows(), 2) << "title and filter rows";
  EXPECT_TRUE(r->HorzScrollBar()->Tracking());
  EXPECT_EQ(r->VTitleMargin(), 4);
  EXPECT_EQ(WriteComponentToText(back), text);
  delete back;
}

}  // namespace

namespace {

TEST_F(WriteBackTest, LeavingTheGridKeepsTheEditorTextAndCancelsAnUntouchedInsert) {
  auto* other = new TEdit(Form);
  other->SetParent(Form);
  other->SetBounds(0, 345, 50, 10);
  Grid->SetSelectedIndex(0);
  Grid->Perform(WM_KEYDOWN, VK_F2, 0);
  ASSERT_TRUE(Grid->InplaceEditorVisible());
  Grid->InplaceEditor()->SelectAll();
  for (char ch : String("X9")) Grid->InplaceEditor()->Perform(WM_CHAR, Char(ch), 0);
  other->SetFocus();
  Application->ProcessMessages();
  EXPECT_EQ(DS->State(), dsEdit);
  EXPECT_EQ(DS->FieldByName("Code")->AsString(), "X9") << "in the field, not yet posted";
  DS->Cancel();
  int count = DS->RecordCount();
  Grid->SetFocus();
  DS->Insert();
  other->SetFocus();
  Application->ProcessMessages();
  EXPECT_EQ(DS->State(), dsBrowse);
  EXPECT_EQ(DS->RecordCount(), count);
}

TEST_F(WriteBackTest, AFieldAskedForFocusSelectsItsColumnAndOpensTheEditor) {
  Grid->SetSelectedIndex(0);
  Grid->HideEditor();
  DS->FieldByName("Flag")->FocusControl();
  EXPECT_EQ(Grid->SelectedIndex(), 1);
  EXPECT_TRUE(Grid->HasInputFocus());
  EXPECT_TRUE(Grid->EditorMode());
}

TEST_F(WriteBackTest, SizingAndMovingWithTheMouseReachTheColumns) {
  Grid->SetSelectedIndex(0);
  int widthEvents = 0;
  std::vector<std::pair<int, int>> moves;
  Grid->OnColWidthsChanged = TNotifyEvent::Lambda([&](TObject*) { ++widthEvents; });
  Grid->OnColumnMoved = TMovedEvent::Lambda([&](TObject*, int from, int to) { moves.push_back({from, to}); });
  TColumnEh* code = Grid->Columns()->Items(0);
  TRect title = Grid->CellRect(1, 0);
  Grid->Perform(WM_LBUTTONDOWN, MK_LBUTTON, PointToLParam({title.Right, 5}));
  Grid->Perform(WM_MOUSEMOVE, MK_LBUTTON, PointToLParam({title.Right + 30, 5}));
  Grid->Perform(WM_LBUTTONUP, 0, PointToLParam({title.Right + 30, 5}));
  EXPECT_EQ(code->Width(), title.Width() + 30);
  EXPECT_EQ(widthEvents, 1);
  title = Grid->CellRect(1, 0);
  TRect target = Grid->CellRect(2, 0);
  Grid->Perform(WM_LBUTTONDOWN, MK_LBUTTON, PointToLParam({title.Left + 10, 5}));
  Grid->Perform(WM_MOUSEMOVE, MK_LBUTTON, PointToLParam({target.Left + 10, 5}));
  Grid->Perform(WM_LBUTTONUP, 0, PointToLParam({target.Left + 10, 5}));
  EXPECT_EQ(moves, (std::vector<std::pair<int, int>>{{0, 1}})) << "column indices";
  EXPECT_EQ(Grid->Columns()->Items(1), code);
  EXPECT_EQ(Grid->ColWidths(2), code->Width());
  EXPECT_EQ(Grid->DataLink()->FieldAt(1), DS->FieldByName("Code")) << "the field map follows the move";
}

}  // namespace

namespace {

TEST_F(LifecycleTest, EditButtonsTakeTheirSizeWhenTheWindowIsMade) {
  EXPECT_EQ(Grid->EditButtonWidth(), GetSystemMetrics(SM_CXVSCROLL));
  EXPECT_EQ(Grid->EditButtonHeight(), Grid->DefaultRowHeight()) << "24 is within one and a half of 17";
}

TEST_F(LifecycleTest, ADatasetWithTheMemoryTableInterfaceIsMovedByRecordNumber) {
  // A dataset that offers the memory-table interface (none of the system's does).
  auto* table = new TTreeMemTable(Form);
  table->TreeView = false;
  for (int i = 1; i <= 20; ++i) table->Node(i, 0, IntToStr(i));
  EXPECT_EQ(Grid->MemTableSupport(), nullptr);
  Source->SetDataSet(table);
  table->Open();
  EXPECT_EQ(Grid->MemTableSupport(), static_cast<IMemTableEh*>(table));
  int scrolls = 0;
  table->SetAfterScroll(TDataSetNotifyEvent::Lambda([&](TDataSet*) { ++scrolls; }));
  EXPECT_EQ(Grid->DataLink()->MoveBy(5), 5);
  EXPECT_EQ(table->RecNo(), 6);
  EXPECT_EQ(Grid->DataLink()->MoveBy(50), 14) << "beyond the end: the ordinary move";
  EXPECT_EQ(table->RecNo(), 20);
  EXPECT_EQ(scrolls, 2);
  Source->SetDataSet(DS);
  EXPECT_EQ(Grid->MemTableSupport(), nullptr);
}

}  // namespace
