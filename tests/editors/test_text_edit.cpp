// The text editor driven offscreen with real keys: text messages, completion from lookup
// items, clipboard limits, echo and alignment of the inner edit, the properties' rules and
// the lookup data's search and movement.
#include "StdTestUtil.h"

#include "core/ClassBuilder.h"
#include "editors/cxCanvas.h"
#include "editors/cxInnerTextEdit.h"
#include "editors/cxRegisteredClasses.h"
#include "editors/cxTextEdit.h"
#include "editors/cxTextEditLookupData.h"
#include "editors/cxTextEditViewInfo.h"
#include "core/FormatSettings.h"
#include "core/Scope.h"
#include "gui/Application.h"
#include "gui/Edit.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace textedittest {
// A fixed-list editor: only items can be chosen, typed characters extend the completion.
class TFixedListProps : public TcxTextEditProperties {
  KELM_CLASS(TFixedListProps, TcxTextEditProperties)
public:
  using TcxTextEditProperties::TcxTextEditProperties;
  TcxTextEditingStyle GetEditingStyle() override { return tesFixedList; }
};

class TFixedListEdit : public TcxTextEdit {
  KELM_CLASS(TFixedListEdit, TcxTextEdit)
public:
  explicit TFixedListEdit(TComponent* AOwner) : TcxTextEdit(AOwner, false, TDeferInitialize{}) { InitializeEdit(); }
  TClass GetPropertiesClass() override { return TFixedListProps::StaticClass(); }
};

// Numbers: the shown text follows the locale.
class TNumberEditProps : public TcxTextEditProperties {
  KELM_CLASS(TNumberEditProps, TcxTextEditProperties)
public:
  using TcxTextEditProperties::TcxTextEditProperties;
  bool HasNumericValue() override { return true; }
};

class TNumberEdit : public TcxTextEdit {
  KELM_CLASS(TNumberEdit, TcxTextEdit)
public:
  explicit TNumberEdit(TComponent* AOwner) : TcxTextEdit(AOwner, false, TDeferInitialize{}) { InitializeEdit(); }
  TClass GetPropertiesClass() override { return TNumberEditProps::StaticClass(); }
};

// Numbers typed with thousand separators put in as the user types.
class TSeparatedProps : public TNumberEditProps {
  KELM_CLASS(TSeparatedProps, TNumberEditProps)
public:
  using TNumberEditProps::TNumberEditProps;
  bool ThousandSeparatorEnabled(bool) override { return true; }
};

class TSeparatedEdit : public TcxTextEdit {
  KELM_CLASS(TSeparatedEdit, TcxTextEdit)
public:
  explicit TSeparatedEdit(TComponent* AOwner) : TcxTextEdit(AOwner, false, TDeferInitialize{}) { InitializeEdit(); }
  TClass GetPropertiesClass() override { return TSeparatedProps::StaticClass(); }
};

// Lookup data with a list whose rows show the items.
class TItemsListBox : public TcxCustomEditListBox {
public:
  using TcxCustomEditListBox::TcxCustomEditListBox;
  static inline TcxCustomTextEditLookupData* Data = nullptr;
  void GetItemText(int Index, String& Text) override { Text = Data->ItemText(Index); }
};

class TListedLookupData : public TcxCustomTextEditLookupData {
public:
  using TcxCustomTextEditLookupData::TcxCustomTextEditLookupData;
  TcxCustomEditListBoxClass ListBoxClass() override {
    TItemsListBox::Data = this;
    return [](TComponent* Owner) -> TcxCustomEditListBox* { return new TItemsListBox(Owner); };
  }
};

class TListedProps : public TcxTextEditProperties {
  KELM_CLASS(TListedProps, TcxTextEditProperties)
public:
  using TcxTextEditProperties::TcxTextEditProperties;
  TcxTextEditLookupDataClass GetLookupDataClass() override {
    return [](TcxCustomTextEdit* E) -> TcxCustomTextEditLookupData* { return new TListedLookupData(E); };
  }
};

class TListedEdit : public TcxTextEdit {
  KELM_CLASS(TListedEdit, TcxTextEdit)
public:
  explicit TListedEdit(TComponent* AOwner) : TcxTextEdit(AOwner, false, TDeferInitialize{}) { InitializeEdit(); }
  TClass GetPropertiesClass() override { return TListedProps::StaticClass(); }
};
}  // namespace textedittest
using textedittest::TNumberEdit;
using textedittest::TSeparatedEdit;
using textedittest::TListedEdit;
using textedittest::TItemsListBox;
using textedittest::TFixedListEdit;
using textedittest::TFixedListProps;

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

namespace textedittest {
KELM_PUBLISH(TFixedListProps) {}
KELM_PUBLISH(TFixedListEdit) {}
KELM_PUBLISH(TNumberEditProps) {}
KELM_PUBLISH(TNumberEdit) {}
KELM_PUBLISH(TSeparatedProps) {}
KELM_PUBLISH(TSeparatedEdit) {}
KELM_PUBLISH(TListedProps) {}
KELM_PUBLISH(TListedEdit) {}
}  // namespace textedittest

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

TEST_F(TextEditForm, AFixedListSwallowsStrayCharactersAndStepsThroughItsCompletion) {
  auto* e = Add<TFixedListEdit>(Rect(10, 50, 170, 71));
  e->Properties()->LookupItems()->Add("Alpha");
  e->Properties()->LookupItems()->Add("Beta");
  Application->ProcessMessages();
  e->SetFocus();
  Application->ProcessMessages();
  EXPECT_FALSE(e->IsInnerEditShown()) << "a fixed list paints its text itself";
  struct Step {
    const char* key;  // typed text, or "BS" for Backspace
    const char* text;
    int selStart, selLength;
  };
  const Step steps[] = {
      {"x", "", 0, 0},      // starts no item: swallowed
      {"b", "Beta", 1, 3},  // the item, its tail selected
      {"e", "Beta", 2, 2},  // extends the completion
      {"x", "Beta", 2, 2},  // Bex is no item: swallowed, the completion stays
      {"BS", "Beta", 1, 3}, // steps back
      {"a", "Beta", 1, 3},  // Ba is no item either
  };
  for (const Step& s : steps) {
    if (std::string(s.key) == "BS") stdtest::Key(Qt::Key_Backspace);
    else stdtest::Type(s.key);
    EXPECT_EQ(e->Text(), s.text) << "after " << s.key;
    EXPECT_EQ(e->SelStart(), s.selStart) << "after " << s.key;
    EXPECT_EQ(e->SelLength(), s.selLength) << "after " << s.key;
  }
  auto* v = static_cast<TcxCustomTextEditViewInfo*>(e->ViewInfo());
  EXPECT_EQ(v->SelStart, 1) << "the completion is highlighted in the painted text";
  EXPECT_EQ(v->SelLength, 3);
  stdtest::Key(Qt::Key_Left);
  EXPECT_FALSE(e->CompletionShown());
  EXPECT_EQ(e->SelLength(), 0) << "a fixed list shows no selection without a completion";
  EXPECT_EQ(v->SelLength, 0);

  stdtest::SetClipboard("gamma");
  stdtest::Key(Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(e->Text(), "Beta") << "no item: refused";
  stdtest::SetClipboard("beta");
  stdtest::Key(Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(e->Text(), "beta") << "an item replaces the whole text";
}

TEST_F(TextEditForm, ClearCutAndTheCaretFollowTheEditModel) {
  FocusEditor();
  EXPECT_EQ(Ed->CaretCharIndex(), 0) << "empty text";
  stdtest::Type("abcd");
  EXPECT_EQ(Ed->CaretCharIndex(), 4);
  Ed->SetSelStart(1);
  Ed->SetSelLength(2);
  SendMessage(Ed->Handle(), WM_CLEAR, 0, 0);
  EXPECT_EQ(Ed->Text(), "ad");
  EXPECT_EQ(Ed->SelStart(), 1);

  Ed->SelectWholeText();
  stdtest::Key(Qt::Key_X, Qt::ControlModifier);
  EXPECT_EQ(Ed->Text(), "");
  EXPECT_EQ(stdtest::ClipboardText(), "ad");

  stdtest::Type("ef");
  Ed->Properties()->SetReadOnly(true);
  Ed->SelectWholeText();
  SendMessage(Ed->Handle(), WM_CLEAR, 0, 0);
  EXPECT_EQ(Ed->Text(), "ef") << "read-only";
  Ed->Properties()->SetReadOnly(false);
  Ed->SetText("");

  // Text longer than the window scrolls; the caret index is still the model's.
  const String lengthy(60, 'w');
  stdtest::Type(lengthy);
  stdtest::Key(Qt::Key_End);
  EXPECT_EQ(Ed->CaretCharIndex(), 60);
  stdtest::Key(Qt::Key_Left);
  EXPECT_EQ(Ed->CaretCharIndex(), 59);
}

TEST_F(TextEditForm, LockedBoundsHoldTheInnerEditInPlace) {
  TcxCustomInnerTextEdit* inner = Inner();
  const TRect before = inner->BoundsRect();
  Ed->InnerEdit()->LockBounds(true);
  inner->SetBounds(0, 0, 5, 5);
  EXPECT_EQ(inner->BoundsRect(), before);
  Ed->InnerEdit()->LockBounds(false);
  Ed->InnerEdit()->LockBounds(false);  // never below zero
  inner->SetBounds(0, 0, 5, 5);
  EXPECT_EQ(inner->BoundsRect(), Rect(0, 0, 5, 5));
}

TEST_F(TextEditForm, AnUnfocusedRightAlignedEditorPaintsItsTextAtTheRight) {
  Ed->Properties()->Alignment()->SetHorz(taRightJustify);
  Ed->SetText("WWW");
  Other->SetFocus();
  Application->ProcessMessages();
  ASSERT_FALSE(Ed->IsInnerEditShown());
  Form->Repaint();
  Application->ProcessMessages();
  QImage img = Grab();
  auto dark = [&](int x0, int x1) {
    int n = 0;
    for (int x = x0; x < x1; ++x)
      for (int y = 3; y < Ed->Height() - 3; ++y) {
        const TPoint p = Ed->ClientToParent({x, y}, Form);
        if (QColor(img.pixel(p.X, p.Y)).lightness() < 100) ++n;
      }
    return n;
  };
  const int w = Ed->Width();
  EXPECT_GT(dark(w / 2, w - 2), 0) << "the text is painted at the right";
  EXPECT_EQ(dark(2, w / 3), 0) << "nothing at the left";
}

TEST_F(TextEditForm, TheTextRectangleKeepsOneLineOnlyForStandaloneEditors) {
  auto* standalone = Add<TcxTextEdit>(Rect(10, 80, 170, 88));
  standalone->SetAutoSize(false);
  standalone->SetBounds(10, 80, 160, 8);
  auto* inPlace = new TcxTextEdit(Form, true);
  inPlace->SetParent(Form);
  inPlace->SetBounds(10, 100, 160, 8);
  Application->ProcessMessages();
  standalone->UpdateViewAtCursor(true);
  inPlace->UpdateViewAtCursor(true);
  auto* s = static_cast<TcxCustomTextEditViewInfo*>(standalone->ViewInfo());
  auto* p = static_cast<TcxCustomTextEditViewInfo*>(inPlace->ViewInfo());
  const int line = ScreenCanvas()->TextHeightOf("Zg");
  EXPECT_LT(p->TextRect.Height(), line) << "in place: the small rectangle stays";
  EXPECT_GE(s->TextRect.Height(), std::min(line, s->ContentRect.Bottom - s->TextRect.Top));
  EXPECT_GT(s->TextRect.Height(), p->TextRect.Height());
}

TEST_F(TextEditForm, ANewEditorIsSizedAndLayoutsFindItsClass) {
  auto* e = new TcxTextEdit(Form);
  EXPECT_EQ(e->Width(), 121);
  e->SetParent(Form);
  Application->ProcessMessages();
  // The inner edit is one line of its font high and lies inside the frame.
  TcxCustomInnerTextEdit* inner = e->InnerTextEditControl();
  EXPECT_EQ(inner->Height(), ScreenCanvas()->FontLineHeight(inner->Font()));
  EXPECT_GE(inner->Top(), 1);
  EXPECT_LE(inner->Top() + inner->Height(), e->ClientHeight() - 1);
  EXPECT_EQ(GetClass("TcxTextEdit"), TcxTextEdit::StaticClass());
}

TEST_F(TextEditForm, AssignCopiesTheGivenSettingsAndNotTheUnsetOnes) {
  TcxTextEditProperties source(nullptr);
  source.SetMaxLength(7);
  source.LookupItems()->Add("b");
  source.LookupItems()->Add("a");
  source.SetLookupItemsSorted(true);
  source.SetEchoMode(eemPassword);
  TcxTextEditProperties* p = Ed->Properties();
  p->SetDisplayFormat("0.00");
  int changes = 0;
  p->ChangedHandler = TNotifyEvent::Lambda([&](TObject*) { ++changes; });
  p->Assign(&source);
  EXPECT_EQ(changes, 1) << "one change at the end";
  EXPECT_EQ(p->MaxLength(), 7);
  EXPECT_TRUE(p->AssignedValues()->MaxLength());
  EXPECT_FALSE(p->AssignedValues()->DisplayFormat()) << "the source had none";
  EXPECT_EQ(p->DisplayFormat(), "");
  EXPECT_TRUE(p->LookupItemsSorted());
  EXPECT_EQ(p->LookupItems()->Strings(0), "a");
  EXPECT_EQ(p->EchoMode(), eemPassword);
}

TEST_F(TextEditForm, ALocaleChangeReshowsTheValueOnlyWhileUpdatesAreOn) {
  TRestore<TFormatSettings> keep(FormatSettings());
  auto* e = Add<TNumberEdit>(Rect(10, 50, 170, 71));
  e->SetEditValue(1234.5);
  Application->ProcessMessages();
  EXPECT_EQ(e->Text(), "1234.5");
  TFormatSettings comma = FormatSettings();
  comma.DecimalSeparator = ',';
  comma.ThousandSeparator = '.';
  {
    Application->SetUpdateFormatSettings(false);
    TScopeExit on([] { Application->SetUpdateFormatSettings(true); });
    SimulateLocaleChange(comma);
  }
  EXPECT_EQ(e->Text(), "1234.5") << "nobody is told";
  SimulateLocaleChange(comma);
  EXPECT_EQ(e->Text(), "1234,5");
}

TEST_F(TextEditForm, TheListShowsTheItemsAndChoosingARowSetsTheEditorsText) {
  auto* e = Add<TListedEdit>(Rect(10, 50, 170, 71));
  for (const char* item : {"合同", "发票", "客户"}) e->Properties()->LookupItems()->Add(item);
  IcxTextEditLookupData* data = e->LookupData();
  data->CreateListIn(Form);
  auto* list = dynamic_cast<TItemsListBox*>(data->GetListControl());
  ASSERT_NE(list, nullptr);
  list->SetBounds(10, 80, 150, 60);
  list->Show();
  Application->ProcessMessages();
  EXPECT_EQ(list->Count(), 3);
  EXPECT_EQ(list->ItemHeight(), list->GetRowHeight(0));
  EXPECT_GT(list->GetItemWidth(0), 0);

  // Browsing a visible list moves only its highlight; applying it sets the editor's text.
  data->MoveActiveKey(ldNext, false);
  auto* impl = static_cast<TcxCustomTextEditLookupData*>(data->GetImplementor());
  EXPECT_EQ(impl->ItemIndex(), 0);
  EXPECT_EQ(impl->ActiveKey(), -1);
  data->MoveActiveKey(ldNext, false);
  EXPECT_EQ(list->ItemIndex(), 1);
  data->ApplyListSelection();
  EXPECT_EQ(impl->ActiveKey(), 1);
  EXPECT_EQ(e->Text(), "发票");
  EXPECT_EQ(e->ItemIndex(), 1);

  // Hot tracking: the row under the mouse becomes the list's index.
  const TRect row = list->ItemRect(2);
  guitest::Move(list, {row.Left + 5, (row.Top + row.Bottom) / 2});
  EXPECT_EQ(list->ItemIndex(), 2);
  EXPECT_EQ(impl->ItemIndex(), 2) << "the list tells the lookup data";
  EXPECT_EQ(impl->ActiveKey(), 1) << "the value waits for the choice";

  e->SetItemIndex(0);
  EXPECT_EQ(e->Text(), "合同");
}

TEST_F(TextEditForm, AHostSelectionTakesItsColoursOrContrastingDefaults) {
  constexpr TColor red = clRed, yellow = clYellow;
  struct Case {
    const char* what;
    TColor text, back, styleColour;
    TColor wantText, wantBack;
  };
  const Case cases[] = {
      {"no colours", clDefault, clDefault, clWindow, clHighlightText, clHighlight},
      {"the style is highlighted", clDefault, clDefault, clHighlight, clWhite, clBlack},
      {"text colour only", red, clDefault, clWindow, red, clAqua},
      {"background only", clDefault, yellow, clWindow, clBlue, yellow},
      {"both", red, yellow, clWindow, red, yellow},
  };
  TcxEditStyle* style = Ed->ActiveEditStyle();
  for (const Case& c : cases) {
    style->SetColor(c.styleColour);
    std::unique_ptr<TcxCustomTextEditViewData> d(
        static_cast<TcxCustomTextEditViewData*>(Ed->Properties()->MakeViewData(style, true)));
    d->SelStart = 1;
    d->SelLength = 2;
    d->TextColorA = c.text;
    d->TextColorB = c.back;
    TcxCustomTextEditViewInfo v;
    d->FillValueText(ScreenCanvas(), String("abcdef"), &v);
    EXPECT_EQ(v.Text, "abcdef") << c.what;
    EXPECT_EQ(v.SelStart, 1) << c.what;
    EXPECT_EQ(v.SelTextColor, c.wantText) << c.what;
    EXPECT_EQ(v.SelBackgroundColor, c.wantBack) << c.what;
  }
}

TEST_F(TextEditForm, OnlyCutOffTextAsksForAHint) {
  Ed->Properties()->Alignment()->SetHorz(taRightJustify);  // unfocused: the view info paints the text
  Other->SetFocus();
  auto* v = static_cast<TcxCustomTextEditViewInfo*>(Ed->ViewInfo());
  for (const auto& [text, truncated] : {std::pair<String, bool>{"ab", false}, {String(80, 'W'), true}}) {
    Ed->SetText(text);
    Ed->UpdateViewAtCursor(true);
    const TPoint centre{(v->TextRect.Left + v->TextRect.Right) / 2, (v->TextRect.Top + v->TextRect.Bottom) / 2};
    String hint;
    EXPECT_EQ(v->NeedsHintInRect(ScreenCanvas(), centre, hint, TRect()), truncated) << text;
    if (truncated) {
      EXPECT_EQ(hint, text);
    }
    EXPECT_FALSE(v->NeedsHintInRect(ScreenCanvas(), {-5, -5}, hint, TRect())) << "outside the text";
  }
}

TEST_F(TextEditForm, AMultiRowInPlaceTextWrapsAndStartsAtTheTopWhenItOverflows) {
  Ed->Properties()->Alignment()->SetVert(taVCenter);
  TcxEditStyle* style = Ed->ActiveEditStyle();
  struct Case {
    const char* text;
    Byte options;
    bool wraps;
  };
  for (const Case& c : {Case{"alpha beta gamma delta", 2, true}, Case{"ab", 2, false},
                        Case{"alpha beta gamma delta", 0, false}}) {
    std::unique_ptr<TcxCustomTextEditViewData> d(
        static_cast<TcxCustomTextEditViewData*>(Ed->Properties()->MakeViewData(style, true)));
    d->PaintOptions = c.options;
    TcxCustomTextEditViewInfo v;
    d->FillValueText(ScreenCanvas(), String(c.text), &v);
    const int line = ScreenCanvas()->TextHeightOf("Zg");
    d->ComputeViewInfo(ScreenCanvas(), Rect(0, 0, 70, line + 2), {-1, -1}, mbcNone, &v, {}, false);
    EXPECT_EQ((v.LayoutFlags & tofWordBreak) != 0, c.wraps) << c.text << " options " << int(c.options);
    EXPECT_EQ((v.LayoutFlags & tofSingleLine) == 0, c.wraps) << c.text;
    EXPECT_EQ((v.LayoutFlags & tofCenterVert) == 0, c.wraps) << "rows higher than the area start at the top";
  }
}

TEST_F(TextEditForm, TypedNumbersGetThousandSeparatorsAndTheCaretStaysAfterTheSameDigit) {
  auto* e = Add<TSeparatedEdit>(Rect(10, 50, 170, 71));
  Application->ProcessMessages();
  e->SetFocus();
  Application->ProcessMessages();
  stdtest::Type("1234567");
  EXPECT_EQ(e->Text(), "1,234,567");
  EXPECT_EQ(e->SelStart(), 9);
  // Into the middle: after the digit 2 the caret stays after it.
  e->SetSelStart(3);  // 1,2|34,567
  stdtest::Type("0");
  EXPECT_EQ(e->Text(), "12,034,567");
  EXPECT_EQ(e->SelStart(), 4) << "after the typed 0";
  stdtest::Type(".5");
  EXPECT_EQ(e->Text(), "120.534567") << "separators only in the integer part";
  EXPECT_EQ(e->SelStart(), 5);
}
