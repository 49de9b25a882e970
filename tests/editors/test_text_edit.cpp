// The text editor driven offscreen with real keys: text messages, completion from lookup
// items, clipboard limits, echo and alignment of the inner edit, the properties' rules and
// the lookup data's search and movement.
#include "StdTestUtil.h"

#include "editors/cxInnerTextEdit.h"
#include "editors/cxRegisteredClasses.h"
#include "editors/cxTextEdit.h"
#include "editors/cxTextEditLookupData.h"
#include "editors/cxTextEditViewInfo.h"
#include "gui/Edit.h"

#include <string>
#include <vector>

namespace {

using Log = std::vector<std::string>;

// Numeric text properties: the range rules apply to them.
class TNumberProps : public TcxTextEditProperties {
public:
  using TcxTextEditProperties::TcxTextEditProperties;
  bool HasNumericValue() override { return true; }
};

// A list-style editor: typing completes only to items.
class TListProps : public TcxTextEditProperties {
public:
  using TcxTextEditProperties::TcxTextEditProperties;
  TcxTextEditingStyle Style = tesFixedList;
  TcxTextEditingStyle GetEditingStyle() override { return Style; }
};

struct TextEditForm : stdtest::FormFixture {
  TcxTextEdit* Ed = nullptr;
  TEdit* Other = nullptr;
  Log Events;

  void SetUp() override {
    FormFixture::SetUp();
    Ed = Add<TcxTextEdit>(Rect(10, 10, 170, 31));
    Other = Add<TEdit>(Rect(10, 150, 110, 171));
    auto* p = Ed->Properties();
    p->OnChange = TNotifyEvent::Lambda([this](TObject*) { Events.push_back("OnChange"); });
    p->OnEditValueChanged = TNotifyEvent::Lambda([this](TObject*) { Events.push_back("OnEditValueChanged"); });
    p->OnValidate = TcxEditValidateEvent::Lambda(
        [this](TObject*, Variant&, String&, bool&) { Events.push_back("OnValidate"); });
    Application->ProcessMessages();
  }
  void FocusEditor() {
    Ed->SetFocus();
    Application->ProcessMessages();
  }
  TcxCustomInnerTextEdit* Inner() { return Ed->InnerTextEditControl(); }
};

}  // namespace

// ---------------------------------------------------------------- text messages

TEST_F(TextEditForm, GetTextCopiesWhatFitsTheBufferAndSetTextFiresChangeWithoutValidation) {
  Ed->SetText("abcdef");
  struct Case {
    WPARAM size;
    LRESULT result;
    const char* buffer;
  };
  for (const Case& c : {Case{1, 0, ""}, Case{4, 3, "abc"}, Case{0, 0, "xxxxxxx"}}) {
    char buf[8] = "xxxxxxx";
    EXPECT_EQ(SendMessage(Ed->Handle(), WM_GETTEXT, c.size, reinterpret_cast<LPARAM>(buf)), c.result) << c.size;
    EXPECT_STREQ(buf, c.buffer) << c.size;
  }
  EXPECT_EQ(SendMessage(Ed->Handle(), WM_GETTEXTLENGTH, 0, 0), 6);

  Events.clear();
  int setTexts = 0;
  TWndMethod old = Ed->WindowProc;
  Ed->WindowProc = [&](TMessage& M) {
    if (M.Msg == WM_SETTEXT) ++setTexts;
    old(M);
  };
  Ed->SetText("abcdef");
  EXPECT_EQ(setTexts, 0) << "the same text sends no message";
  EXPECT_TRUE(Events.empty());

  Ed->SetText("中文");
  EXPECT_EQ(setTexts, 1);
  EXPECT_EQ(Ed->Text(), "中文");
  EXPECT_EQ(VarToStr(Ed->EditValue()), "中文") << "the value follows the written text";
  EXPECT_EQ(Events, (Log{"OnChange", "OnEditValueChanged"}));
  Ed->WindowProc = old;
}

TEST_F(TextEditForm, AFixedListRefusesTextsThatAreNoItemAndTakesTheItemCase) {
  auto* e = new TcxTextEdit(Form);
  e->SetParent(Form);
  auto* props = new TListProps(nullptr);
  props->LookupItems()->Add("ABD");
  props->SetCharCase(ecUpperCase);
  e->Properties()->Assign(props);
  // The editor's own properties answer tesEdit: the list rule comes from the list class.
  Variant v = String("abc");
  EXPECT_FALSE(props->AcceptText(v));
  v = String("abd");
  EXPECT_TRUE(props->AcceptText(v));
  EXPECT_EQ(VarToStr(v), "ABD");
  v = String();
  EXPECT_TRUE(props->AcceptText(v)) << "an empty text is always accepted";
  delete props;
}

// ---------------------------------------------------------------- properties

TEST(TextEditProperties, LengthRangeEchoAndRegistration) {
  TcxTextEditProperties p(nullptr);
  p.SetMaxLength(-5);
  EXPECT_EQ(p.MaxLength(), 0);
  EXPECT_TRUE(p.AssignedValues()->MaxLength());

  p.SetEchoMode(eemPassword);
  String s = "中a1";
  p.ApplyEchoAndCase(s);
  EXPECT_EQ(s, "***") << "one echo character per character";
  p.SetPasswordChar(U'#');
  s = "ab";
  p.ApplyEchoAndCase(s);
  EXPECT_EQ(s, "##");

  p.SetDisplayFormat("");
  EXPECT_TRUE(p.AssignedValues()->DisplayFormat()) << "an explicit empty format counts as given";

  struct Range {
    const char* what;
    bool setMin, setMax;
    double min, max;
    const char* text;
    bool error;
  };
  const Range cases[] = {
      {"min 5 alone refuses 4", true, false, 5, 0, "4", true},
      {"min 5 alone keeps 7", true, false, 5, 0, "7", false},
      {"min = max: no check", true, true, 3, 3, "100", false},
      {"min -5 alone refuses -6", true, false, -5, 0, "-6", true},
      {"min -5 alone keeps 1,000", true, false, -5, 0, "1,000", false},
      {"both: above max refused", true, true, 1, 10, "11", true},
      {"both: inside kept", true, true, 1, 10, "10", false},
  };
  for (const Range& c : cases) {
    TNumberProps n(nullptr);
    if (c.setMin) n.SetMinValue(c.min);
    if (c.setMax) n.SetMaxValue(c.max);
    Variant shown = String(c.text);
    String error;
    bool failed = false;
    n.CheckDisplayValue(shown, error, failed, nullptr);
    EXPECT_EQ(failed, c.error) << c.what;
    if (c.error) {
      EXPECT_EQ(error, "值超出范围") << c.what;
    }
  }

  TcxRegisteredClasses* r = EditPropertiesRegistry();
  const int at = r->IndexOfClass(TcxTextEditProperties::StaticClass());
  ASSERT_GE(at, 0);
  EXPECT_EQ(r->Descriptions(at), "TextEdit|Represents a single line text editor");
  RegisterTextEditProperties();
  EXPECT_EQ(r->IndexOfClass(TcxTextEditProperties::StaticClass()), at) << "registered once";
}

// ---------------------------------------------------------------- lookup data

TEST_F(TextEditForm, LookupSearchFindsFromTheTopOrOnFromTheCurrentItemAndMovesWithinBounds) {
  Ed->Properties()->LookupItems()->Add("Apple");
  Ed->Properties()->LookupItems()->Add("apricot");
  TcxCustomTextEditLookupData* d = Ed->LookupDataObject();
  String text = "ap", tail;
  ASSERT_TRUE(d->FindItemByPrefix(text, tail, false));
  EXPECT_EQ(text, "Ap");
  EXPECT_EQ(tail, "ple");
  text = "ap";
  ASSERT_TRUE(d->FindItemByPrefix(text, tail, true));
  EXPECT_EQ(text + tail, "apricot");
  text.clear();
  EXPECT_FALSE(d->FindItemByPrefix(text, tail, false));
  EXPECT_EQ(d->ActiveKey(), -1) << "an empty search clears the key under tesEdit";
  d->StoreActiveKey(5);
  EXPECT_EQ(d->ActiveKey(), -1) << "a key past the items is ignored";

  struct Move {
    int items, from;
    TcxLookupDirection dir;
    bool circular;
    int to;
  };
  const Move moves[] = {{3, 2, ldNext, false, 2}, {3, 2, ldNext, true, 0},  {20, 2, ldPageDown, false, 9},
                        {20, 15, ldPageDown, false, 19}, {20, 0, ldPrior, false, 0}, {20, 0, ldPrior, true, 19},
                        {20, 10, ldPageUp, false, 3},  {20, 0, ldPageUp, true, 19}, {20, 7, ldLast, false, 19}};
  for (const Move& m : moves) {
    TStringList* items = Ed->Properties()->LookupItems();
    items->Clear();
    for (int i = 0; i < m.items; ++i) items->Add("item" + std::to_string(i));
    d->StoreActiveKey(m.from);
    d->MoveActiveKey(m.dir, m.circular);
    EXPECT_EQ(d->ActiveKey(), m.to) << "from " << m.from << " direction " << int(m.dir);
  }
}

// ---------------------------------------------------------------- typing and completion

TEST_F(TextEditForm, TypingCompletesFromTheItemsAndBackspaceStepsBack) {
  Ed->Properties()->LookupItems()->Add("Alpha");
  Ed->Properties()->LookupItems()->Add("Beta");
  FocusEditor();
  stdtest::Type("b");
  EXPECT_EQ(Ed->Text(), "Beta") << "the item's letter case";
  EXPECT_EQ(Ed->SelStart(), 1);
  EXPECT_EQ(Ed->SelLength(), 3);
  EXPECT_TRUE(Ed->CompletionShown());
  stdtest::Key(Qt::Key_Backspace);
  EXPECT_EQ(Ed->Text(), "") << "the typed part minus its last character is empty";

  stdtest::Type("Be");
  EXPECT_EQ(Ed->Text(), "Beta");
  EXPECT_EQ(Ed->SelStart(), 2);
  stdtest::Key(Qt::Key_Backspace);
  EXPECT_EQ(Ed->Text(), "Beta");
  EXPECT_EQ(Ed->SelStart(), 1);
  EXPECT_EQ(Ed->SelLength(), 3);

  stdtest::Key(Qt::Key_Right);  // takes the completion
  EXPECT_FALSE(Ed->CompletionShown());
  EXPECT_EQ(Ed->SelLength(), 0);
  EXPECT_EQ(Ed->SelStart(), 4);
  stdtest::Type("x");
  EXPECT_EQ(Ed->Text(), "Betax") << "free typing past the items";
}

TEST_F(TextEditForm, PasteKeepsTheMaximumLengthAndIgnoresANonTextClipboard) {
  Ed->Properties()->SetMaxLength(5);
  FocusEditor();
  stdtest::Type("abc");
  stdtest::SetClipboard("defgh");
  stdtest::Key(Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(Ed->Text(), "abcde");
  EXPECT_EQ(Ed->SelStart(), 5);

  QGuiApplication::clipboard()->clear();
  stdtest::Key(Qt::Key_Home);
  stdtest::Key(Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(Ed->Text(), "abcde") << "nothing to paste";

  Ed->SetText("");
  Ed->Properties()->SetMaxLength(2);
  stdtest::Commit(Inner(), "中文");
  EXPECT_EQ(Ed->Text(), "中文") << "two characters fit a length of two";
}

TEST_F(TextEditForm, EchoPasswordAndAlignmentOfTheInnerEdit) {
  Ed->SetText("secret");
  Ed->Properties()->SetEchoMode(eemPassword);
  EXPECT_EQ(Inner()->PasswordChar(), U'*');
  Ed->Properties()->SetEchoMode(eemNormal);
  EXPECT_EQ(Inner()->PasswordChar(), 0) << "the plain text again";

  const HWND before = Inner()->Handle();
  Ed->Properties()->Alignment()->SetHorz(taRightJustify);  // UseLeftAlignmentOnEditing is on
  EXPECT_EQ(Inner()->Alignment(), taLeftJustify);
  EXPECT_EQ(Inner()->Handle(), before) << "not recreated";

  // Unfocused and right-aligned: the inner edit is clipped away and the view info paints.
  Other->SetFocus();
  Application->ProcessMessages();
  EXPECT_FALSE(Ed->IsInnerEditShown());
  auto* v = dynamic_cast<TcxCustomTextEditViewInfo*>(Ed->ViewInfo());
  ASSERT_NE(v, nullptr);
  EXPECT_EQ(v->Text, "secret");
  EXPECT_FALSE(Ed->HostedControlClip().Empty);
  EXPECT_TRUE(IsRectEmpty(Ed->HostedControlClip().Rect));
  FocusEditor();
  EXPECT_TRUE(Ed->IsInnerEditShown());
}

TEST_F(TextEditForm, ATabNeverReachesTheInnerEditAndEnterDoesNotBeepWhenTold) {
  FocusEditor();
  stdtest::Type("ab");
  Ed->BeepOnEnter = false;
  Char key = U'\r';
  Inner()->Perform(WM_CHAR, key, 0);
  EXPECT_TRUE(Inner()->KeyHandled) << "Enter is taken before the platform edit";
  Inner()->Perform(WM_CHAR, U'\t', 0);
  EXPECT_EQ(Ed->Text(), "ab") << "no tab character typed";
}
