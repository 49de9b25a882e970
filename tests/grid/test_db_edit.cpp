// The data-aware edit, combo box and check box on a shown form, driven by real keys and
// mouse, with their field link bound to an in-memory table or unbound.
#include "GridPaintFixture.h"
#include "GridTestUtil.h"
#include "GuiTestUtil.h"
#include "StdTestUtil.h"
#include "grid/DBCheckBoxEh.h"
#include "grid/DBEditEh.h"
#include "gui/ExtCtrls.h"
#include "gui/Forms.h"
#include "gui/Menus.h"

#include <gtest/gtest.h>

using namespace gridtest;
using guitest::TypeKey;

namespace {

// Types ASCII text into the focused window, one key per character.
void Type(const char* Text) {
  for (const char* p = Text; *p; ++p) {
    char c = *p;
    int key = c >= 'a' && c <= 'z' ? Qt::Key_A + (c - 'a') : c >= 'A' && c <= 'Z' ? Qt::Key_A + (c - 'A') : c;
    TypeKey(key, c >= 'A' && c <= 'Z' ? Qt::ShiftModifier : Qt::NoModifier, QString(QChar(c)));
  }
}

void TypeText(const char* Utf8) {
  TypeKey(Qt::Key_unknown, Qt::NoModifier, QString::fromUtf8(Utf8));
}

class EditForm : public ::testing::Test {
protected:
  void SetUp() override {
    guitest::Clock() += 5000;
    SysLocale().FarEast = false;
    Form = new TForm(nullptr);
    Form->SetBounds(100, 100, 400, 300);
    Other = new TEdit(Form);
    Other->SetParent(Form);
    Other->SetBounds(10, 200, 100, 21);
    DS = new TMemDataSet(Form);
    DS->FieldDefs()->Add("Code", ftString, 10);
    DS->FieldDefs()->Add("Amount", ftFloat);
    DS->FieldDefs()->Add("Qty", ftInteger);
    DS->FieldDefs()->Add("Flag", ftString, 5);
    DS->FieldDefs()->Add("Done", ftBoolean);
    DS->AddRow({Variant("A1"), Variant(1234.5), Variant(3), Variant("yes"), Variant(true)});
    DS->AddRow({Variant("A2"), Null(), Variant(4), Variant("NO"), Null()});
    DS->AddRow({Variant("A3"), Variant(2.0), Null(), Variant("maybe"), Variant(false)});
    Source = new TDataSource(Form);
    Source->SetDataSet(DS);
    DS->Open();
    static_cast<TNumericField*>(DS->FieldByName("Amount"))->SetDisplayFormat("#,##0.00");
  }
  void TearDown() override {
    delete Form;
    SysLocale().FarEast = true;
  }
  template <class T> T* Make(int Top = 10) {
    auto* c = new T(Form);
    c->SetParent(Form);
    c->SetBounds(10, Top, 200, 21);
    return c;
  }
  void Show(TWinControl* Focus) {
    Form->Show();
    Focus->SetFocus();
    Application->ProcessMessages();
  }
  TForm* Form = nullptr;
  TEdit* Other = nullptr;
  TMemDataSet* DS = nullptr;
  TDataSource* Source = nullptr;
};

// ================================================================ the field link

TEST_F(EditForm, TheLinkIsUnboundUntilASourceOrFieldIsSetAndKeepsTheValueMeanwhile) {
  auto* ed = Make<TDBEditEh>();
  auto* box = Make<TDBCheckBoxEh>(40);
  TFieldDataLinkEh* l = ed->DataLink();
  EXPECT_TRUE(l->Unbound());
  EXPECT_TRUE(l->Active());
  EXPECT_TRUE(l->CanModify());
  EXPECT_TRUE(VarIsNull(l->UnboundValue()));
  EXPECT_EQ(VarType(box->DataLink()->UnboundValue()), varBoolean);
  EXPECT_EQ(box->State(), cbUnchecked);

  ed->SetEditTextEh("kept");
  EXPECT_EQ(VarToStr(l->UnboundValue()), "kept");

  ed->SetDataSource(Source);
  EXPECT_FALSE(l->Unbound());
  EXPECT_TRUE(VarIsNull(l->UnboundValue())) << "binding drops the kept value";
  EXPECT_FALSE(l->Active()) << "no field yet";
  ed->SetDataField("Code");
  EXPECT_TRUE(l->Active());
  EXPECT_EQ(ed->Text(), "A1");

  ed->SetDataField("");
  ed->SetDataSource(nullptr);
  EXPECT_TRUE(l->Unbound());
  EXPECT_EQ(ed->Text(), "") << "unbound again, the editor shows the empty value";

  l->SetReadOnly(true);
  EXPECT_FALSE(l->Edit()) << "a read-only unbound link refuses to edit";
  ed->RefreshReadOnly();
  EXPECT_TRUE(ed->TCustomEdit::ReadOnly());
}

TEST_F(EditForm, AnUnknownFieldNameNamesTheEditAndHeldControlsDropTheField) {
  auto* ed = Make<TDBEditEh>();
  static_cast<TComponent*>(ed)->SetName("edCode");
  ed->SetDataSource(Source);
  try {
    ed->SetDataField("Nope");
    FAIL() << "no error";
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(String(e.what()), "edCode: Field 'Nope' not found");
  }
  ed->SetDataField("Code");
  ASSERT_EQ(ed->Field(), DS->FieldByName("Code"));
  {
    TControlsHold hold(DS);
    DS->Close();
    EXPECT_EQ(ed->Field(), nullptr) << "the closed dataset's field is no longer referred to";
    DS->Open();
    EXPECT_EQ(ed->Field(), DS->FieldByName("Code"));
  }
  EXPECT_EQ(ed->Text(), "A1");
}

// ================================================================ the edit

TEST_F(EditForm, ABoundEditShowsDisplayTextUnfocusedAndEditTextFocused) {
  auto* ed = Make<TDBEditEh>();
  ed->SetDataSource(Source);
  ed->SetDataField("Amount");
  Form->Show();
  EXPECT_EQ(ed->Text(), "1,234.50");
  ed->SetFocus();
  Application->ProcessMessages();
  EXPECT_EQ(ed->Text(), "1234.5");
  Other->SetFocus();
  Application->ProcessMessages();
  EXPECT_EQ(ed->Text(), "1,234.50");
}

TEST_F(EditForm, ABrowsingEditIsReadOnlyUntilAKeyThatEditsPutsTheRecordIntoEditState) {
  struct TCase {
    const char* Name;
    std::function<void()> Keys;
  };
  const TCase cases[] = {
      {"a character", [] { Type("x"); }},
      {"Backspace", [] { TypeKey(Qt::Key_Backspace); }},
      {"Delete", [] { TypeKey(Qt::Key_Delete); }},
      {"Shift+Insert", [] { TypeKey(Qt::Key_Insert, Qt::ShiftModifier); }},
      {"Ctrl+V", [] { TypeKey(Qt::Key_V, Qt::ControlModifier); }},
      {"Ctrl+X", [] { TypeKey(Qt::Key_X, Qt::ControlModifier); }},
  };
  auto* ed = Make<TDBEditEh>();
  ed->SetDataSource(Source);
  ed->SetDataField("Code");
  Show(ed);
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    DS->Cancel();
    ed->SetFocus();
    Application->ProcessMessages();
    ASSERT_EQ(DS->State(), dsBrowse);
    EXPECT_TRUE(ed->TCustomEdit::ReadOnly());
    c.Keys();
    EXPECT_EQ(DS->State(), dsEdit);
    EXPECT_FALSE(ed->TCustomEdit::ReadOnly());
  }
  DS->Cancel();
  Other->SetFocus();
  SysLocale().FarEast = true;
  ed->SetFocus();
  Application->ProcessMessages();
  EXPECT_EQ(DS->State(), dsBrowse);
  EXPECT_FALSE(ed->TCustomEdit::ReadOnly()) << "writable on entry for the input method";
}

TEST_F(EditForm, EscapeRestoresTheFieldAndASecondEscapeReachesTheForm) {
  auto* ed = Make<TDBEditEh>();
  ed->SetDataSource(Source);
  ed->SetDataField("Code");
  auto* cancel = new TButton(Form);
  cancel->SetParent(Form);
  cancel->SetBounds(250, 200, 75, 25);
  cancel->SetCancel(true);
  int cancels = 0;
  cancel->OnClick = TNotifyEvent::Lambda([&](TObject*) { ++cancels; });
  Show(ed);
  TypeKey(Qt::Key_End);
  Type("zz");
  EXPECT_EQ(ed->Text(), "A1zz");
  TypeKey(Qt::Key_Escape);
  EXPECT_EQ(ed->Text(), "A1");
  EXPECT_EQ(ed->SelLength(), 2) << "all selected";
  EXPECT_EQ(cancels, 0) << "the first Escape belongs to the edit";
  TypeKey(Qt::Key_Escape);
  EXPECT_EQ(cancels, 1);
}

TEST_F(EditForm, OnExitSeesTheTextBeforeItIsPostedAndARefusedValueKeepsTheUsersText) {
  auto* ed = Make<TDBEditEh>();
  ed->SetDataSource(Source);
  ed->SetDataField("Qty");
  String seenText, seenField;
  ed->OnExit = TNotifyEvent::Lambda([&](TObject*) {
    seenText = ed->Text();
    seenField = DS->FieldByName("Qty")->AsString();
  });
  Show(ed);
  TypeKey(Qt::Key_End);
  Type("7");
  Other->SetFocus();
  Application->ProcessMessages();
  EXPECT_EQ(seenText, "37");
  EXPECT_EQ(seenField, "3");
  EXPECT_EQ(DS->FieldByName("Qty")->AsInteger(), 37);

  // The field refuses the value on leaving: the typed text stays, all selected, focused.
  DS->FieldByName("Qty")->SetOnValidate(TFieldNotifyEvent::Lambda([](TField* F) {
    if (F->AsInteger() > 100) throw EDatabaseError("too many");
  }));
  ed->SetFocus();
  Application->ProcessMessages();
  TypeKey(Qt::Key_End);
  Type("00");
  {
    guitest::TBoxRecorder boxes;
    Other->SetFocus();
    Application->ProcessMessages();
  }
  EXPECT_EQ(ed->Text(), "3700");
  EXPECT_EQ(ed->SelLength(), 4);
  EXPECT_TRUE(ed->Focused());
  EXPECT_EQ(DS->FieldByName("Qty")->AsInteger(), 37);

  // Value := resets the link on failure: the field's value shows again.
  EXPECT_THROW(ed->SetValue(Variant(500)), EDatabaseError);
  EXPECT_EQ(ed->Text(), "37");
}

TEST_F(EditForm, ACharacterTheFieldRefusesBeepsAndIsDropped) {
  auto* ed = Make<TDBEditEh>();
  ed->SetDataSource(Source);
  ed->SetDataField("Qty");
  Show(ed);
  TypeKey(Qt::Key_End);
  stdtest::TBeepCounter beeps;
  Type("x");
  EXPECT_EQ(beeps.Count, 1);
  EXPECT_EQ(ed->Text(), "3");
  Type("5");
  EXPECT_EQ(beeps.Count, 1);
  EXPECT_EQ(ed->Text(), "35");
}

// ================================================================ recently-used list and buttons

TEST_F(EditForm, TheRecentlyUsedListFollowsTheTypedText) {
  auto* ed = Make<TDBEditEh>();
  ed->MRUList()->SetActive(true);
  for (const char* s : {"apple", "apricot", "banana"}) ed->MRUList()->Items()->Add(s);
  ed->EditButtons()->Add()->SetWidth(16);
  Show(ed);
  Type("a");
  ASSERT_TRUE(ed->MRUList()->IsDroppedDown());
  TMRUListboxEh* box = ed->MRUListBox();
  EXPECT_EQ(box->Items()->Count(), 2);
  EXPECT_EQ(box->Width(), ed->TextAreaRect().Width()) << "as wide as the text area, buttons excluded";
  Type("b");
  EXPECT_FALSE(ed->MRUList()->IsDroppedDown());
  TypeKey(Qt::Key_Backspace);
  EXPECT_TRUE(ed->MRUList()->IsDroppedDown());
  TypeKey(Qt::Key_Backspace);
  EXPECT_EQ(ed->Text(), "");
  ASSERT_TRUE(ed->MRUList()->IsDroppedDown()) << "an emptied text offers every item";
  EXPECT_EQ(box->Items()->Count(), 3);
  TypeKey(Qt::Key_Down);
  TypeKey(Qt::Key_Return);
  EXPECT_FALSE(ed->MRUList()->IsDroppedDown());
  EXPECT_EQ(ed->Text(), "apple");
}

TEST_F(EditForm, ButtonsOfAFlatEditTakeTheirWidthsWithOnePixelSeparators) {
  auto* ed = Make<TDBEditEh>();
  ed->SetFlat(true);
  ed->EditButtons()->Add()->SetWidth(0);
  ed->EditButtons()->Add()->SetWidth(20);
  Show(ed);
  ASSERT_EQ(ed->ButtonControlCount(), 3);
  EXPECT_EQ(ed->ButtonControl(0)->Width(), 0) << "the edit's own button is hidden";
  EXPECT_EQ(ed->ButtonControl(1)->Width(), FlatButtonWidth());
  EXPECT_EQ(ed->ButtonControl(2)->Width(), 20);
  EXPECT_EQ(ed->ButtonSeparator(1)->Width(), 1);
  EXPECT_EQ(ed->ButtonSeparator(2)->Width(), 1);
  EXPECT_EQ(ed->ButtonSeparator(1)->Left() + 1, ed->ButtonControl(1)->Left()) << "left of its button";
  EXPECT_EQ(ed->ButtonControl(2)->Left() + 20, ed->ClientWidth()) << "the last button is outermost";
  EXPECT_EQ(ed->ButtonWidth(), FlatButtonWidth() + 20 + 2);
  EXPECT_EQ(ed->TextAreaRect().Right, ed->ClientWidth() - ed->ButtonWidth());
}

TEST_F(EditForm, AShortCutPressesItsButtonAndAMenuButtonClickedAgainClosesWithoutReopening) {
  auto* ed = Make<TDBEditEh>();
  TEditButtonEh* b = ed->EditButtons()->Add();
  b->SetShortCut(ShortCut(VK_F4, TShiftState()));
  int clicks = 0;
  b->OnClick = TButtonClickEventEh::Lambda([&](TObject*, bool&) { ++clicks; });
  Show(ed);
  TypeKey(Qt::Key_F4);
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(ed->Focused());

  // The menu closed by the button's own press: the queued notice stops the reopening.
  auto* menu = new TPopupMenu(Form);
  b->SetDropdownMenu(menu);
  int pops = 0;
  menu->OnPopup = TNotifyEvent::Lambda([&](TObject*) { ++pops; });
  bool repeat = false, handled = false;
  PostMessage(ed->Handle(), CM_MENUCLOSED, 1, 0);
  ed->ButtonControl(1)->OnDown(ed->ButtonControl(1), true, repeat, handled);
  EXPECT_EQ(pops, 0);
  TMsg m;
  EXPECT_FALSE(PeekMessage(m, ed->Handle(), CM_MENUCLOSED, CM_MENUCLOSED, PM_NOREMOVE)) << "the notice is used up";
}

// A host that drives an edit in place and writes down what it was asked.
class THolder : public TCustomControl, public IInplaceEditHolderEh {
public:
  explicit THolder(TComponent* AOwner) : TCustomControl(AOwner) { SetTabStop(true); }
  bool Writable = true;
  std::vector<Word> KeysSeen;
  bool InplaceEditWndProc(TControl*, TMessage&) override { return false; }
  void InplaceEditKeyDown(TControl*, Word& Key, TShiftState) override {
    KeysSeen.push_back(Key);
    if (Key == VK_F9) Key = 0;  // the host's own key
  }
  void InplaceEditKeyPress(TControl*, Char&) override {}
  void InplaceEditKeyUp(TControl*, Word&, TShiftState) override {}
  bool InplaceEditCanModify(TControl*) override { return Writable; }
  bool InplaceEditWantsTab(TControl*) override { return true; }
  void GetMouseDownInfo(TPoint& Pos, DWORD& Time) override {
    Pos = {-100, -100};
    Time = 0;
  }
};

TEST_F(EditForm, AHostDrivesAnEditInPlace) {
  auto* host = new THolder(Form);
  host->SetParent(Form);
  host->SetBounds(10, 60, 300, 100);
  auto* ed = new TDBEditEh(Form);
  ed->SetParent(host);
  ed->SetInplaceEditHolder(host);
  ed->SetAutoSize(false);  // the host gives the height
  ed->OnUpdateData = TUpdateDataEventEh::Lambda([](TObject*, bool& Handled) { Handled = true; });
  Form->Show();
  host->SetFocus();
  Application->ProcessMessages();
  ed->MoveInplace(Rect(20, 10, 140, 31), false);
  EXPECT_TRUE(ed->ShownInplace());
  EXPECT_TRUE(ed->Focused()) << "the holder had the focus";
  EXPECT_EQ(ed->BoundsRect(), Rect(20, 10, 140, 31));
  EXPECT_EQ(ed->Perform(WM_GETDLGCODE, 0, 0) & DLGC_WANTTAB, DLGC_WANTTAB);
  guitest::TypeKey(Qt::Key_F9);
  guitest::TypeKey(Qt::Key_A, Qt::NoModifier, "a");
  EXPECT_EQ(ed->Text(), "a");
  EXPECT_GE(host->KeysSeen.size(), 2u);
  EXPECT_EQ(host->KeysSeen.front(), VK_F9);
  host->Writable = false;
  ed->RefreshReadOnly();
  EXPECT_TRUE(ed->TCustomEdit::ReadOnly()) << "the holder says the value cannot change";
  ed->MoveInplace(TRect{}, false);
  EXPECT_FALSE(ed->ShownInplace());
  EXPECT_TRUE(host->Focused()) << "hiding hands the focus back";
}

TEST_F(EditForm, AFlatEditShowsItsSunkenRingOnlyWhileActive) {
  auto* ed = Make<TDBEditEh>();
  ed->SetFlat(true);
  Form->Show();
  Other->SetFocus();
  Application->ProcessMessages();
  auto ring = [&] {
    QImage img = guitest::WidgetOf(ed)->grab().toImage();
    return QColor(img.pixel(0, 0));
  };
  EXPECT_FALSE(ed->ActiveBorderShown());
  EXPECT_EQ(ring(), QColor(ColorToRGB(clBtnFace) & 0xFF, (ColorToRGB(clBtnFace) >> 8) & 0xFF,
                           (ColorToRGB(clBtnFace) >> 16) & 0xFF));
  ed->SetFocus();
  Application->ProcessMessages();
  EXPECT_TRUE(ed->ActiveBorderShown());
  EXPECT_LT(ring().lightness(), 200) << "the sunken edge's shadow";
}

TEST_F(EditForm, DraggingFromTheButtonIntoTheListChoosesThere) {
  auto* cb = Make<TDBComboBoxEh>();
  for (const char* s : {"一", "二", "三"}) {
    cb->Items()->Add(s);
    cb->KeyItems()->Add(s);
  }
  Show(cb);
  TEditButtonControlEh* button = cb->ButtonControl(0);
  guitest::Press(button, {3, 3});
  ASSERT_TRUE(cb->ListVisible());
  TPopupListboxEh* list = cb->PopupList();
  TPoint inList = list->ClientToScreen({5, list->RowHeight() * 2 + 2});
  guitest::Move(button, button->ScreenToClient(inList), Qt::LeftButton);
  EXPECT_FALSE(button->MouseCapture());
  guitest::Release(list, list->ScreenToClient(inList));
  EXPECT_FALSE(cb->ListVisible());
  EXPECT_EQ(cb->Text(), "三");
}

TEST_F(EditForm, TheImageFollowsANumericValueAndStandsLeftOfTheText) {
  auto* images = new TImageList(Form);
  images->SetWidth(12);
  images->SetHeight(12);
  for (TColor colour : {clRed, clBlue}) {
    TBitmap bmp;
    bmp.SetSize(12, 12);
    bmp.Canvas()->Brush()->SetColor(colour);
    bmp.Canvas()->FillRect(Rect(0, 0, 12, 12));
    images->Add(&bmp, nullptr);
  }
  auto* ed = Make<TDBEditEh>();
  ed->EditImageObject()->SetImages(images);
  ed->EditImageObject()->SetVisible(true);
  ed->SetDataSource(Source);
  ed->SetDataField("Qty");  // 3, 4, null
  Show(Other);
  EXPECT_EQ(ed->ImageAreaWidth(), 12 + 4);
  EXPECT_EQ(ed->TextAreaRect().Left, 16);
  int seen = -2;
  ed->OnGetImageIndex = TGetImageIndexEventEh::Lambda([&](TObject*, int& Index) {
    seen = Index;
    Index = Index - 3;  // 3 shows image 0, 4 image 1
  });
  ed->SetEditTextEh("4");
  EXPECT_EQ(seen, -1) << "the text is a string value: the default index";
  ed->OnGetImageIndex = TGetImageIndexEventEh::Lambda([&](TObject*, int& Index) { Index = 1; });
  ed->SetEditTextEh("5");
  EXPECT_EQ(ed->EditImageObject()->ImageIndex(), 1);
  TPaintSurface shot;
  shot.Reset(ed->Width(), ed->Height());
  ed->Perform(WM_PAINT, reinterpret_cast<WPARAM>(shot.DC()), 0);
  EXPECT_GT(shot.CountColour(Rect(0, 0, 16, ed->Height()), RGB(0, 0, 255)), 50) << "image 1 is painted";
}

TEST_F(EditForm, AHolderWithoutTheInterfaceIsRefused) {
  auto* ed = Make<TDBEditEh>();
  try {
    ed->SetInplaceEditHolder(Other);
    FAIL();
  } catch (const Exception& e) {
    EXPECT_EQ(String(e.what()), "InplaceEditHolder have to support IInplaceEditHolderEh interface");
  }
  EXPECT_FALSE(ed->InplaceMode());
}

// ================================================================ the combo box

TEST_F(EditForm, AKeyBasedComboSearchesAndStepsThroughItsItems) {
  auto* cb = Make<TDBComboBoxEh>();
  for (const char* s : {"向上", "向下", "全部"}) {
    cb->Items()->Add(s);
    cb->KeyItems()->Add(s);
  }
  Show(cb);
  EXPECT_TRUE(cb->KeyItemsMode());
  TypeText("全");
  EXPECT_EQ(cb->Text(), "全部");
  EXPECT_EQ(cb->ItemIndex(), 2);
  EXPECT_EQ(VarToStr(cb->Value()), "全部");

  struct TStep {
    int Before;
    int Key;
    int After;
  };
  const TStep steps[] = {
      {0, Qt::Key_Up, 0},    // the first item: nothing
      {2, Qt::Key_Down, 2},  // the last item: nothing
      {-1, Qt::Key_Up, 2},   // no item: the last
      {-1, Qt::Key_Down, 0}, // no item: the first
      {1, Qt::Key_Up, 0},
  };
  for (const TStep& s : steps) {
    cb->SetItemIndex(s.Before);
    TypeKey(s.Key);
    EXPECT_EQ(cb->ItemIndex(), s.After) << s.Before << " " << s.Key;
  }
}

TEST_F(EditForm, AKeyBasedComboShowsKeysNotInTheListAsNothingAndDeleteClearsOnlyOptionalFields) {
  auto* cb = Make<TDBComboBoxEh>();
  for (const char* s : {"是", "否"}) cb->Items()->Add(s);
  for (const char* s : {"yes", "no"}) cb->KeyItems()->Add(s);
  cb->SetDataSource(Source);
  cb->SetDataField("Flag");
  EXPECT_EQ(cb->Text(), "是");
  DS->Next();
  EXPECT_EQ(cb->Text(), "否") << "keys are found without regard to case";
  DS->Next();
  EXPECT_EQ(cb->Text(), "") << "maybe is no key";
  EXPECT_EQ(cb->ItemIndex(), -1);
  EXPECT_EQ(VarToStr(cb->Value()), "maybe") << "the value stays what the field holds";
  DS->First();
  Show(cb);

  DS->FieldByName("Flag")->SetRequired(true);
  TypeKey(Qt::Key_Delete);
  EXPECT_EQ(cb->Text(), "是") << "a required field keeps its value";
  DS->FieldByName("Flag")->SetRequired(false);
  TypeKey(Qt::Key_Delete);
  EXPECT_EQ(cb->Text(), "");
  EXPECT_TRUE(VarIsNull(cb->Value()));
  Other->SetFocus();
  Application->ProcessMessages();
  EXPECT_TRUE(DS->FieldByName("Flag")->IsNull()) << "Null reaches the field";
}

TEST_F(EditForm, AFreeTextComboCompletesFromItsItems) {
  auto* cb = Make<TDBComboBoxEh>();
  for (const char* s : {"Apple", "Apricot"}) cb->Items()->Add(s);
  int notInList = 0;
  cb->OnNotInList = TNotInListEventEh::Lambda([&](TObject*, const String&, bool&) { ++notInList; });
  Show(cb);
  Type("a");
  EXPECT_EQ(cb->Text(), "Apple");
  EXPECT_EQ(cb->SelText(), "pple");
  Type("p");
  EXPECT_EQ(cb->SelText(), "ple");
  Type("r");
  EXPECT_EQ(cb->Text(), "Apricot");
  EXPECT_EQ(cb->SelText(), "icot");
  cb->PostToLink();
  EXPECT_EQ(notInList, 0) << "the text matches an item";
  TypeKey(Qt::Key_End);
  Type("s");
  EXPECT_EQ(cb->Text(), "Apricots");
  cb->PostToLink();
  EXPECT_EQ(notInList, 1);
}

TEST_F(EditForm, TheDropDownOfWidthMinusOneFitsTheWidestItem) {
  auto* cb = Make<TDBComboBoxEh>();
  cb->SetWidth(40);
  for (const char* s : {"a", "a considerably longer item"}) cb->Items()->Add(s);
  cb->DropDownBox()->SetWidth(-1);
  Show(cb);
  cb->OpenDropDown();
  ASSERT_TRUE(cb->ListVisible());
  TPopupListboxEh* list = cb->PopupList();
  int widest = FontTextWidthEh(cb->Font(), "a considerably longer item");
  EXPECT_EQ(list->ClientWidth(), widest + 5);
  TypeKey(Qt::Key_Down);
  TypeKey(Qt::Key_Down);
  TypeKey(Qt::Key_Return);
  EXPECT_FALSE(cb->ListVisible());
  EXPECT_EQ(cb->Text(), "a considerably longer item");

  cb->SetWidth(300);
  cb->OpenDropDown();
  EXPECT_EQ(list->Width(), 300) << "never narrower than the combo";
  TypeKey(Qt::Key_Escape);
  EXPECT_FALSE(cb->ListVisible());
}

// ================================================================ the check box

TEST_F(EditForm, ACheckBoxMapsFieldTextsThroughItsValueLists) {
  auto* box = Make<TDBCheckBoxEh>();
  box->SetValueChecked("Y; Yes");
  box->SetValueUnchecked("N;No");
  box->SetDataSource(Source);
  box->SetDataField("Flag");
  const TCheckBoxState expected[] = {cbChecked, cbUnchecked, cbGrayed};
  for (TCheckBoxState s : expected) {
    EXPECT_EQ(box->State(), s) << DS->FieldByName("Flag")->AsString();
    DS->Next();
  }
  DS->First();
  box->SetChecked(false);
  EXPECT_EQ(DS->FieldByName("Flag")->AsString(), "N");
  box->SetChecked(true);
  EXPECT_EQ(DS->FieldByName("Flag")->AsString(), "Y");

  // A Boolean field ignores the lists; Null shows grayed whatever AllowGrayed says.
  box->SetDataField("Done");
  EXPECT_EQ(box->State(), cbChecked);
  DS->Next();
  EXPECT_EQ(box->State(), cbGrayed);
  Show(box);
  guitest::Click(box, {5, 8});
  EXPECT_EQ(box->State(), cbChecked);
  Other->SetFocus();
  Application->ProcessMessages();
  EXPECT_EQ(VarType(DS->FieldByName("Done")->Value()), varBoolean);
  EXPECT_TRUE(DS->FieldByName("Done")->AsBoolean());
}

TEST_F(EditForm, AnUnboundCheckBoxCyclesAndClicksOncePerChange) {
  auto* box = Make<TDBCheckBoxEh>();
  int clicks = 0;
  box->OnClick = TNotifyEvent::Lambda([&](TObject*) { ++clicks; });
  box->SetChecked(true);
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(box->DataLink()->UnboundValue().AsBoolean());
  box->SetChecked(false);
  box->SetAllowGrayed(true);
  clicks = 0;
  Show(box);
  const TCheckBoxState cycle[] = {cbGrayed, cbChecked, cbUnchecked};
  for (TCheckBoxState s : cycle) {
    TypeKey(Qt::Key_Space, Qt::NoModifier, " ");
    EXPECT_EQ(box->State(), s);
  }
  EXPECT_EQ(clicks, 3);
}

TEST_F(EditForm, ACheckBoxThatCannotTakeTheFocusIgnoresTheClick) {
  auto* ed = Make<TDBEditEh>();
  ed->SetDataSource(Source);
  ed->SetDataField("Qty");
  DS->FieldByName("Qty")->SetOnValidate(TFieldNotifyEvent::Lambda([](TField* F) {
    if (F->AsInteger() > 100) throw EDatabaseError("too many");
  }));
  auto* box = Make<TDBCheckBoxEh>(60);
  Show(ed);
  TypeKey(Qt::Key_End);
  Type("00");
  {
    guitest::TBoxRecorder boxes;
    guitest::Click(box, {5, 8});
  }
  EXPECT_TRUE(ed->Focused());
  EXPECT_EQ(box->State(), cbUnchecked);
}

}  // namespace
