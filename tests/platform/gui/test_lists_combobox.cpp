// Combo boxes: the CB_ messages over the list, the edit part's typing and completion, the
// list style's keys, the drop-down list (opening, choosing, closing) and the notifications in
// the order the windows rely on; owner drawing; the simple style; reading from layouts.
#include "ListsTestUtil.h"

#include "core/ClassBuilder.h"
#include "core/Filer.h"
#include "gui/ComboBox.h"
#include "gui/Clipbrd.h"
#include "gui/Edit.h"
#include "gui/ListCtrls.h"
#include "core/SysUtils.h"

using namespace guitest;
using namespace stdtest;
using namespace liststest;

namespace {

struct ComboBoxFixture : FormFixture {
  TComboBox* Combo = nullptr;
  std::vector<std::string> Events;
  void SetUp() override {
    FormFixture::SetUp();
    Combo = Add<TComboBox>(Rect(8, 8, 168, 29));
    auto log = [this](const char* what) {
      return TNotifyEvent::Lambda([this, what](TObject*) {
        Events.push_back(std::string(what) + " " + std::to_string(Combo->ItemIndex()) + " " + Combo->Text());
      });
    };
    Combo->OnChange = log("change");
    Combo->OnClick = log("click");
    Combo->OnDropDown = log("dropdown");
    Combo->OnCloseUp = log("closeup");
    for (const char* s : {"Admin", "张三", "李四"}) Combo->Items()->Add(s);
  }
  void Focus() {
    Combo->SetFocus();
    Application->ProcessMessages();
    Events.clear();
  }
  TPoint ButtonPoint() { return {Combo->ClientWidth() - 6, Combo->ClientHeight() / 2}; }
  // A point on an item of the dropped list, in the list's client coordinates.
  TPoint ListItemPoint(int i) {
    TRect r = Combo->ListBox()->ItemRect(i);
    return {r.Left + 5, (r.Top + r.Bottom) / 2};
  }
};

bool ListShown(TComboBox* c) {
  auto v = OpenPopups();
  return std::find(v.begin(), v.end(), static_cast<TWinControl*>(c->ListBox())) != v.end() && c->ListBox()->Visible();
}

}  // namespace

TEST_F(ComboBoxFixture, ItemsAndSelectionAreTheCbMessagesOverTheList) {
  TMsgLog log;
  log.Attach(Combo, {CB_ADDSTRING, CB_GETLBTEXT, CB_SETCURSEL, CB_GETCURSEL});
  Combo->Items()->Add("王五");
  EXPECT_EQ(log.Count(CB_ADDSTRING), 1);
  EXPECT_EQ(Combo->Items()->Strings(3), "王五");
  EXPECT_GE(log.Count(CB_GETLBTEXT), 1);
  EXPECT_EQ(Combo->ItemIndex(), -1);
  Combo->SetItemIndex(1);
  EXPECT_EQ(log.Count(CB_SETCURSEL), 1);
  EXPECT_EQ(Combo->Text(), "张三") << "selecting an item shows its text";
  EXPECT_TRUE(Events.empty()) << "a programmatic ItemIndex runs no event";
  EXPECT_EQ(Combo->ListBox()->ItemIndex(), 1) << "the list keeps the selection";
  EXPECT_EQ(SendMessage(Combo->Handle(), CB_SETCURSEL, 7, 0), CB_ERR);
  EXPECT_EQ(Combo->ItemIndex(), -1);
  EXPECT_EQ(Combo->Text(), "") << "no item, no text";
  EXPECT_EQ(SendMessage(Combo->Handle(), CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("李四")), 2);
  EXPECT_EQ(SendMessage(Combo->Handle(), CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("ad")), 0);
  EXPECT_EQ(Combo->Text(), "Admin");
  // Setting the text selects the item that has it, or none.
  Combo->SetText("李四");
  EXPECT_EQ(Combo->ItemIndex(), 2);
  Combo->SetText("nobody");
  EXPECT_EQ(Combo->ItemIndex(), -1);
  EXPECT_EQ(Combo->Text(), "nobody");
  // Clearing the items keeps what the edit shows.
  Combo->Items()->Clear();
  EXPECT_EQ(Combo->Text(), "nobody");
  EXPECT_EQ(Combo->Items()->Count(), 0);
}

TEST_F(ComboBoxFixture, TypedTextFindsItsItemOrNone) {
  Focus();
  Combo->SetAutoComplete(false);
  struct Case {
    const char* typed;
    int index;
  };
  const Case cases[] = {{"xyz", -1}, {"admin", 0}, {"Admi", -1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    Combo->SetText("");
    Combo->SelectAll();
    Events.clear();
    Type(c.typed);
    EXPECT_EQ(Combo->Text(), c.typed);
    EXPECT_EQ(Combo->ItemIndex(), c.index) << "the typed name is the list position it matches, else -1";
    EXPECT_EQ(Events.size(), std::strlen(c.typed)) << "one OnChange per typed character";
  }
  Combo->SetText("");
  Commit(Combo, "张三");
  EXPECT_EQ(Combo->ItemIndex(), 1) << "composed Chinese text is typing too";
}

TEST_F(ComboBoxFixture, CompletionFillsInTheRestOfTheFirstMatchingItem) {
  Focus();
  Combo->SetText("");
  Type("ad");
  EXPECT_EQ(Combo->Text(), "admin") << "the typed part keeps its case";
  EXPECT_EQ(Combo->SelStart(), 2);
  EXPECT_EQ(Combo->SelLength(), 3) << "the completion is selected, so typing on replaces it";
  EXPECT_EQ(Combo->ItemIndex(), 0);
  Type("x");
  EXPECT_EQ(Combo->Text(), "adx");
  EXPECT_EQ(Combo->ItemIndex(), -1);
  Key(Qt::Key_Backspace);
  EXPECT_EQ(Combo->Text(), "ad") << "backspace deletes without completing again";
}

TEST_F(ComboBoxFixture, KeyPressCanDropTypedCharacters) {
  Focus();
  Combo->SetText("");
  Combo->OnKeyPress = TKeyPressEvent::Lambda([](TObject*, Char& k) {
    if (k >= '0' && k <= '9') k = 0;
  });
  Type("a1b2");
  EXPECT_EQ(Combo->Text(), "ab");
}

TEST_F(ComboBoxFixture, MaxLengthAndCharCaseApplyToTyping) {
  Focus();
  Combo->SetAutoComplete(false);
  Combo->SetText("");
  Combo->SetMaxLength(3);
  Combo->SetCharCase(ecUpperCase);
  TBeepCounter beeps;
  Type("abcd");
  EXPECT_EQ(Combo->Text(), "ABC");
  EXPECT_EQ(beeps.Count, 1) << "the refused character beeps";
  SetClipboard("xyz");
  Combo->SelectAll();
  Combo->Perform(WM_PASTE);
  EXPECT_EQ(Combo->Text(), "XYZ");
}

TEST_F(ComboBoxFixture, ReadOnlyFieldRefusesEditingButTakesChoices) {
  Focus();
  Combo->SetAutoComplete(false);
  Combo->SetText("Admin");
  Combo->Perform(EM_SETREADONLY, 1, 0);
  ASSERT_TRUE(Combo->EditReadOnly());
  Combo->SelectAll();
  Type("x");
  TypeKey(Qt::Key_Backspace);
  TypeKey(Qt::Key_Delete);
  SetClipboard("pasted");
  Combo->Perform(WM_PASTE);
  Combo->Perform(WM_CUT);
  EXPECT_EQ(Combo->Text(), "Admin") << "typing, deleting, pasting and cutting change nothing";
  EXPECT_EQ(Combo->SelText(), "Admin") << "the selection stays";
  Combo->Perform(WM_COPY);
  EXPECT_EQ(Clipboard()->AsText(), "Admin") << "copying still works";
  TypeKey(Qt::Key_Down);
  EXPECT_EQ(Combo->Text(), "张三") << "the keys still choose items";
  Combo->SetEditReadOnly(false);
  Combo->SelectAll();
  Type("x");
  EXPECT_EQ(Combo->Text(), "x");
}

TEST_F(ComboBoxFixture, ListStyleKeysChooseItemsAndTellEachChoice) {
  Combo->SetStyle(csDropDownList);
  Focus();
  Key(Qt::Key_Down);
  Key(Qt::Key_Down);
  Key(Qt::Key_Up);
  Key(Qt::Key_End);
  EXPECT_EQ(Combo->ItemIndex(), 2);
  EXPECT_EQ(Events, (std::vector<std::string>{"click 0 Admin", "change 0 Admin", "click 1 张三", "change 1 张三",
                                              "click 0 Admin", "change 0 Admin", "click 2 李四", "change 2 李四"}));
  // Typed characters select the item they begin.
  Events.clear();
  Type("a");
  EXPECT_EQ(Combo->ItemIndex(), 0);
  EXPECT_EQ(Combo->Text(), "Admin");
  // With OnSelect assigned the choice runs it instead of OnChange.
  int selects = 0;
  Combo->OnSelect = TNotifyEvent::Lambda([&](TObject*) { ++selects; });
  Events.clear();
  Key(Qt::Key_Down);
  EXPECT_EQ(selects, 1);
  EXPECT_EQ(Events, (std::vector<std::string>{"click 1 张三"}));
}

TEST_F(ComboBoxFixture, TheListDropsDownAndAClickChoosesAndClosesIt) {
  Combo->SetStyle(csDropDownList);
  Combo->SetItemIndex(0);
  Focus();
  Click(Combo, ButtonPoint());
  Application->ProcessMessages();
  ASSERT_TRUE(Combo->DroppedDown());
  ASSERT_TRUE(ListShown(Combo));
  EXPECT_EQ(Events, (std::vector<std::string>{"dropdown 0 Admin"}));
  TComboListBox* list = Combo->ListBox();
  EXPECT_GE(list->Width(), Combo->Width());
  TPoint below = Combo->ClientToScreen({0, Combo->ClientHeight()});
  EXPECT_GE(list->Top(), below.Y) << "the list opens below the box";
  EXPECT_FALSE(list->Focused()) << "the list never takes the focus";
  EXPECT_TRUE(Combo->Focused());
  // The highlight follows the mouse; the release on an item chooses it.
  Move(list, ListItemPoint(2));
  EXPECT_EQ(list->ItemIndex(), 2);
  Click(list, ListItemPoint(2));
  Application->ProcessMessages();
  EXPECT_FALSE(Combo->DroppedDown());
  EXPECT_FALSE(ListShown(Combo));
  EXPECT_EQ(Combo->ItemIndex(), 2);
  EXPECT_EQ(Events, (std::vector<std::string>{"dropdown 0 Admin", "click 2 李四", "change 2 李四", "closeup 2 李四"}));
}

TEST_F(ComboBoxFixture, EscapeAndOutsidePressesCloseWithoutChoosing) {
  Combo->SetStyle(csDropDownList);
  Combo->SetItemIndex(0);
  Focus();
  Key(Qt::Key_F4);
  ASSERT_TRUE(Combo->DroppedDown());
  Move(Combo->ListBox(), ListItemPoint(1));
  EXPECT_EQ(Combo->ListBox()->ItemIndex(), 1) << "hovering highlights";
  Key(Qt::Key_Escape);
  EXPECT_FALSE(Combo->DroppedDown());
  EXPECT_EQ(Combo->ItemIndex(), 0) << "Escape keeps the choice made before the list opened";
  // A press on the box's button while the list is down closes it and does not open it again.
  Key(Qt::Key_Down, Qt::AltModifier);
  ASSERT_TRUE(Combo->DroppedDown());
  Click(Combo, ButtonPoint());
  Application->ProcessMessages();
  EXPECT_FALSE(Combo->DroppedDown());
  EXPECT_FALSE(ListShown(Combo));
  // A press elsewhere on the form closes it too.
  Click(Combo, ButtonPoint());
  ASSERT_TRUE(Combo->DroppedDown());
  Click(Form, {300, 200});
  Application->ProcessMessages();
  EXPECT_FALSE(Combo->DroppedDown());
  EXPECT_EQ(std::count(Events.begin(), Events.end(), std::string("change 0 Admin")), 0) << "nothing was chosen";
}

TEST_F(ComboBoxFixture, EnterChoosesTheHighlightedItemOfTheDroppedList) {
  Focus();
  Combo->SetText("");
  Key(Qt::Key_F4);
  ASSERT_TRUE(Combo->DroppedDown());
  EXPECT_EQ(Combo->Perform(WM_GETDLGCODE) & DLGC_WANTALLKEYS, static_cast<LRESULT>(DLGC_WANTALLKEYS))
      << "the dropped box keeps Enter and Escape from the form";
  Key(Qt::Key_Down);
  Key(Qt::Key_Down);
  Key(Qt::Key_Return);
  EXPECT_FALSE(Combo->DroppedDown());
  EXPECT_EQ(Combo->ItemIndex(), 1);
  EXPECT_EQ(Combo->Text(), "张三");
  EXPECT_EQ(Combo->Perform(WM_GETDLGCODE) & DLGC_WANTALLKEYS, 0);
}

TEST_F(ComboBoxFixture, DropDownHandlerMayFillTheList) {
  Combo->Items()->Clear();
  Combo->OnDropDown = TNotifyEvent::Lambda([this](TObject*) {
    if (Combo->Items()->Count() == 0)
      for (int i = 0; i < 20; ++i) Combo->Items()->Add(IntToStr(i));
  });
  Combo->SetDropDownCount(5);
  Focus();
  Key(Qt::Key_F4);
  ASSERT_TRUE(Combo->DroppedDown());
  EXPECT_EQ(Combo->ListBox()->Count(), 20);
  EXPECT_EQ(Combo->ListBox()->ClientHeight(), 5 * Combo->ListBox()->ItemHeight()) << "DropDownCount rows show";
  EXPECT_NE(Combo->ListBox()->WindowStyle() & WS_VSCROLL, 0u) << "the rest scrolls";
  Key(Qt::Key_Escape);
}

TEST_F(ComboBoxFixture, OwnerDrawnBoxesDrawTheirFieldAndTheirList) {
  Combo->SetStyle(csOwnerDrawFixed);
  Combo->SetItemHeight(20);
  Combo->SetItemIndex(1);
  std::vector<std::pair<int, bool>> draws;  // index, drawn as the field
  Combo->OnDrawItem = TDrawItemEvent::Lambda([&](TWinControl* c, int i, const TRect& r, TOwnerDrawState s) {
    draws.push_back({i, s.Contains(odComboBoxEdit)});
    auto* cb = static_cast<TComboBox*>(c);
    cb->Canvas()->Brush()->SetColor(clLime);
    cb->Canvas()->FillRect(r);
  });
  EXPECT_EQ(Combo->Height(), 20 + 6) << "the field is one item high";
  Combo->Repaint();
  Application->ProcessMessages();
  ASSERT_FALSE(draws.empty());
  EXPECT_EQ(draws.back(), (std::pair<int, bool>{1, true}));
  EXPECT_EQ(At(Form, Combo, 10, Combo->ClientHeight() / 2), QColor(0, 255, 0));
  Focus();
  Key(Qt::Key_F4);
  ASSERT_TRUE(Combo->DroppedDown());
  draws.clear();
  Combo->ListBox()->Repaint();
  Application->ProcessMessages();
  int listItems = static_cast<int>(std::count_if(draws.begin(), draws.end(), [](auto& d) { return !d.second; }));
  EXPECT_EQ(listItems, 3) << "each item of the dropped list is drawn by the box's handler";
  Key(Qt::Key_Escape);
}

TEST_F(ComboBoxFixture, TheSimpleStyleShowsItsListUnderTheEdit) {
  Combo->SetStyle(csSimple);
  Combo->SetBounds(8, 8, 160, 120);
  Application->ProcessMessages();
  TComboListBox* list = Combo->ListBox();
  EXPECT_EQ(list->Parent(), Combo);
  EXPECT_TRUE(list->Visible());
  EXPECT_EQ(Combo->Height(), 120) << "the simple style keeps the height it is given";
  Focus();
  TRect r = list->ItemRect(2);
  Click(list, {r.Left + 5, (r.Top + r.Bottom) / 2});
  Application->ProcessMessages();
  EXPECT_EQ(Combo->ItemIndex(), 2);
  EXPECT_EQ(Combo->Text(), "李四");
  EXPECT_TRUE(Combo->Focused()) << "the box keeps the focus";
  EXPECT_EQ(Events, (std::vector<std::string>{"click 2 李四", "change 2 李四"}));
}

namespace {

class TCbForm : public TForm {
  KELM_CLASS(TCbForm, TForm)
public:
  explicit TCbForm(TComponent* AOwner) : TForm(AOwner) {}
  TComboBox* cmbField = nullptr;
  TComboBox* Combo_User = nullptr;
};

}  // namespace

KELM_PUBLISH(TCbForm) {
  b.Field("cmbField", &TCbForm::cmbField);
  b.Field("Combo_User", &TCbForm::Combo_User);
}

TEST(ComboLayouts, TheIndexWrittenBeforeTheItemsSelectsAfterLoading) {
  const char* text =
      "object CbForm: TCbForm\n"
      "  object cmbField: TComboBox\n"
      "    Left = 8\n"
      "    Top = 8\n"
      "    Width = 145\n"
      "    Height = 21\n"
      "    Style = csDropDownList\n"
      "    ItemHeight = 13\n"
      "    ItemIndex = 1\n"
      "    TabOrder = 0\n"
      "    Items.Strings = (\n"
      "      '合同编号'\n"
      "      '合同名称'\n"
      "      '客户名称')\n"
      "  end\n"
      "  object Combo_User: TComboBox\n"
      "    Left = 8\n"
      "    Top = 40\n"
      "    Width = 145\n"
      "    Height = 21\n"
      "    Text = 'Admin'\n"
      "  end\n"
      "end\n";
  auto* f = new TCbForm(Application);
  ReadComponentFromText(f, text);
  ASSERT_NE(f->cmbField, nullptr);
  EXPECT_EQ(f->cmbField->Style(), csDropDownList);
  EXPECT_EQ(f->cmbField->ItemIndex(), 1);
  EXPECT_EQ(f->cmbField->Text(), "合同名称");
  EXPECT_EQ(f->Combo_User->Text(), "Admin");
  EXPECT_EQ(f->Combo_User->ItemIndex(), -1);
  delete f;
}
