// The object inspector's editors and lists: each editor kind through its slots on a test
// object (value text, typed text, value lists, double clicks, errors that change nothing), the
// library's own editors and vocabularies, property lists with their sets, sub-objects and
// hidden rows, lists for selections of several objects, and component editors as the designer
// drives them.
#include "core/ClassBuilder.h"
#include "core/DateUtils.h"
#include "core/Persistent.h"
#include "core/StringList.h"
#include "gui/Colors.h"
#include "gui/Menus.h"
#include "report/frxClass.h"
#include "report/frxDsgnIntf.h"
#include "report/frxMemoView.h"
#include "report/frxPages.h"
#include "report/frxRes.h"
#include "report/frxBands.h"
#include "report/frxShapes.h"

#include <gtest/gtest.h>

namespace {

// One published property of every kind the editors deal with.
class TPropTarget : public TPersistent {
  KELM_CLASS(TPropTarget, TPersistent)
  template <class B> static void Published(B& b) {
    b.Prop("Align", &TPropTarget::Align, &TPropTarget::SetAlign);
    b.Prop("Ch", &TPropTarget::Ch, &TPropTarget::SetCh);
    b.Prop("Count", &TPropTarget::Count, &TPropTarget::SetCount);
    b.Prop("Day", &TPropTarget::Day, &TPropTarget::SetDay).Type("TDate");
    b.Prop("Flag", &TPropTarget::Flag, &TPropTarget::SetFlag);
    b.Prop("Frames", &TPropTarget::Frames, &TPropTarget::SetFrames);
    b.Prop("Key", &TPropTarget::Key, &TPropTarget::SetKey).Type("TShortCut");
    b.Prop("Next", &TPropTarget::Next, &TPropTarget::SetNext);
    b.Prop("Pointer", &TPropTarget::Pointer, &TPropTarget::SetPointer).Type("TCursor");
    b.Prop("Ratio", &TPropTarget::Ratio, &TPropTarget::SetRatio);
    b.Prop("Result", &TPropTarget::Result, &TPropTarget::SetResult).Type("TModalResult");
    b.Prop("Shade", &TPropTarget::Shade, &TPropTarget::SetShade).Type("TColor");
    b.Prop("Title", &TPropTarget::Title, &TPropTarget::SetTitle);
    b.Prop("When", &TPropTarget::When, &TPropTarget::SetWhen).Type("TDateTime");
    b.Prop("OnChange", &TPropTarget::OnChange, &TPropTarget::SetOnChange);
  }
public:
  TfrxAlign Align() const { return FAlign; }
  void SetAlign(TfrxAlign V) { FAlign = V; }
  char Ch() const { return FCh; }
  void SetCh(char V) { FCh = V; }
  int Count() const { return FCount; }
  void SetCount(int V) { FCount = V; }
  double Day() const { return FDay; }
  void SetDay(double V) { FDay = V; }
  bool Flag() const { return FFlag; }
  void SetFlag(bool V) { FFlag = V; }
  TfrxFrameTypes Frames() const { return FFrames; }
  void SetFrames(TfrxFrameTypes V) { FFrames = V; }
  Word Key() const { return FKey; }
  void SetKey(Word V) { FKey = V; }
  TPropTarget* Next() const { return FNext; }
  void SetNext(TPropTarget* V) { FNext = V; }
  SmallInt Pointer() const { return FPointer; }
  void SetPointer(SmallInt V) { FPointer = V; }
  double Ratio() const { return FRatio; }
  void SetRatio(double V) { FRatio = V; }
  int Result() const { return FResult; }
  void SetResult(int V) { FResult = V; }
  int Shade() const { return FShade; }
  void SetShade(int V) { FShade = V; }
  const String& Title() const { return FTitle; }
  void SetTitle(const String& V) { FTitle = V; }
  double When() const { return FWhen; }
  void SetWhen(double V) { FWhen = V; }
  const TNotifyEvent& OnChange() const { return FOnChange; }
  void SetOnChange(const TNotifyEvent& V) { FOnChange = V; }

private:
  TfrxAlign FAlign = baNone;
  char FCh = ' ';
  int FCount = 0;
  double FDay = 0, FRatio = 0, FWhen = 0;
  bool FFlag = false;
  TfrxFrameTypes FFrames;
  Word FKey = 0;
  TPropTarget* FNext = nullptr;
  SmallInt FPointer = 0;
  int FResult = 0, FShade = 0;
  String FTitle;
  TNotifyEvent FOnChange;
};

}  // namespace

KELM_PUBLISH(TPropTarget) { Published(b); }

namespace {

// An editor of the class on one property of the object.
template <class E> std::unique_ptr<E> EditorOn(TObject* Object, const char* Property) {
  auto e = std::make_unique<E>();
  e->AddInstance(Object, GetPropInfo(Object, Property));
  return e;
}

std::vector<String> ValuesOf(TfrxPropertyEditor* E) {
  E->FillValueList();
  std::vector<String> v;
  for (int i = 0; i < E->Values()->Count(); ++i) v.push_back(E->Values()->Strings(i));
  return v;
}

// The message an editor gives for text it cannot take; nothing may change.
template <class F> String ErrorOf(F&& Action) {
  try {
    Action();
  } catch (const Exception& e) {
    return e.Message();
  }
  return "(no error)";
}

String InvalidValueText() { return ReportResources()->TextOf("prInvProp"); }

TEST(PropertyEditorTest, TheBaseEditorShowsUnknownAndHasNothingToStepThrough) {
  TPropTarget t;
  auto e = EditorOn<TfrxPropertyEditor>(&t, "Title");
  EXPECT_EQ(e->ValueText(), "(Unknown)");
  EXPECT_EQ(e->PropertyName(), "Title");
  EXPECT_EQ(e->Traits().Bits(), 8u);
  e->SetItemHeight(16);
  EXPECT_EQ(e->ListExtraWidth(), 18);
  EXPECT_FALSE(e->RunEdit());
}

TEST(PropertyEditorTest, EnumerationsAndBooleansListTheirNamesAndStepOnDoubleClick) {
  TPropTarget t;
  auto flag = EditorOn<TfrxEnumProperty>(&t, "Flag");
  EXPECT_EQ(ValuesOf(flag.get()), (std::vector<String>{"False", "True"}));
  EXPECT_EQ(flag->ValueText(), "False");
  EXPECT_TRUE(flag->RunEdit());
  EXPECT_TRUE(t.Flag());
  EXPECT_TRUE(flag->RunEdit());
  EXPECT_FALSE(t.Flag());

  // Names in alphabetical order; the last steps back to the first.
  auto align = EditorOn<TfrxEnumProperty>(&t, "Align");
  EXPECT_EQ(flag->Traits().Bits(), 11u);
  std::vector<String> names = ValuesOf(align.get());
  ASSERT_EQ(names.size(), 7u);
  EXPECT_EQ(names.front(), "baBottom");
  EXPECT_EQ(names.back(), "baWidth");
  t.SetAlign(baNone);
  align->RunEdit();
  EXPECT_EQ(t.Align(), baRight);
  t.SetAlign(baWidth);
  align->RunEdit();
  EXPECT_EQ(t.Align(), baBottom);
  align->ApplyValueText("BACLIENT");
  EXPECT_EQ(t.Align(), baClient);
  EXPECT_EQ(ErrorOf([&] { align->ApplyValueText("baMiddle"); }), InvalidValueText());
  EXPECT_EQ(t.Align(), baClient);
}

TEST(PropertyEditorTest, CharactersShowControlCodesAsNumbers) {
  TPropTarget t;
  auto ch = EditorOn<TfrxCharProperty>(&t, "Ch");
  struct Case {
    const char* Typed;
    char Stored;
    const char* Shown;
  };
  const Case cases[] = {
      {"#65", 'A', "A"}, {"z", 'z', "z"}, {"#9", '\t', "#9"}, {"", '\0', "#0"}, {"#32", ' ', "#32"}, {"!", '!', "!"},
  };
  for (const Case& c : cases) {
    ch->ApplyValueText(c.Typed);
    EXPECT_EQ(t.Ch(), c.Stored) << c.Typed;
    EXPECT_EQ(ch->ValueText(), c.Shown) << c.Typed;
  }
  for (const char* bad : {"AB", "#x", "x1"}) {
    EXPECT_EQ(ErrorOf([&] { ch->ApplyValueText(bad); }), InvalidValueText()) << bad;
    EXPECT_EQ(t.Ch(), '!') << bad;
  }
}

TEST(PropertyEditorTest, NumbersTakeTheirPlatformSyntaxAndRefuseTheRest) {
  TPropTarget t;
  auto count = EditorOn<TfrxIntegerProperty>(&t, "Count");
  count->ApplyValueText("$1F");
  EXPECT_EQ(t.Count(), 31);
  EXPECT_EQ(count->ValueText(), "31");
  EXPECT_THROW(count->ApplyValueText("12a"), EConvertError);
  EXPECT_EQ(t.Count(), 31);

  auto ratio = EditorOn<TfrxFloatProperty>(&t, "Ratio");
  for (const char* typed : {"0,5", "0.5", " 0 .5"}) {
    t.SetRatio(0);
    ratio->ApplyValueText(typed);
    EXPECT_DOUBLE_EQ(t.Ratio(), 0.5) << typed;
  }
  EXPECT_EQ(ratio->ValueText(), "0.5");
  EXPECT_THROW(ratio->ApplyValueText("x"), EConvertError);
  EXPECT_DOUBLE_EQ(t.Ratio(), 0.5);
}

TEST(PropertyEditorTest, ColoursShowNamesOrEightHexDigits) {
  TPropTarget t;
  auto shade = EditorOn<TfrxColorProperty>(&t, "Shade");
  EXPECT_EQ(shade->Traits().Bits(), 73u);
  t.SetShade(0x123456);
  EXPECT_EQ(shade->ValueText(), "$00123456");
  t.SetShade(clBtnFace);
  EXPECT_EQ(shade->ValueText(), "clBtnFace");
  shade->ApplyValueText("clSkyBlue");
  EXPECT_EQ(t.Shade(), 0xF0CAA6);
  shade->ApplyValueText("255");
  EXPECT_EQ(t.Shade(), 255);
  EXPECT_THROW(shade->ApplyValueText("clPink"), EConvertError);
  EXPECT_EQ(t.Shade(), 255);
  std::vector<String> names = ValuesOf(shade.get());
  ASSERT_EQ(names.size(), 52u);
  // Table order, not sorted.
  const std::pair<int, const char*> spots[] = {{0, "clBlack"},   {15, "clWhite"},   {19, "clMedGray"},
                                               {29, "clDefault"}, {45, "clNone"},   {51, "clWindowText"}};
  for (auto [at, name] : spots) EXPECT_EQ(names[std::size_t(at)], name);
}

TEST(PropertyEditorTest, NamedIntegersUseTheirVocabularies) {
  TPropTarget t;
  auto result = EditorOn<TfrxModalResultProperty>(&t, "Result");
  struct Case {
    const char* Typed;
    int Stored;
    const char* Shown;
  };
  const Case results[] = {{"mrok", 1, "mrOk"}, {"11", 11, "11"}, {"", 0, "mrNone"}, {"-1", -1, "-1"}, {"10", 10, "mrYesToAll"}};
  for (const Case& c : results) {
    result->ApplyValueText(c.Typed);
    EXPECT_EQ(t.Result(), c.Stored) << c.Typed;
    EXPECT_EQ(result->ValueText(), c.Shown) << c.Typed;
  }
  std::vector<String> modal = ValuesOf(result.get());
  ASSERT_EQ(modal.size(), 11u);
  EXPECT_EQ(modal[2], "mrCancel");  // table order

  auto pointer = EditorOn<TfrxCursorProperty>(&t, "Pointer");
  const Case cursors[] = {{"crSize", -22, "crSizeAll"}, {"crHandPoint", -21, "crHandPoint"}, {"5", 5, "5"}};
  for (const Case& c : cursors) {
    pointer->ApplyValueText(c.Typed);
    EXPECT_EQ(t.Pointer(), c.Stored) << c.Typed;
    EXPECT_EQ(pointer->ValueText(), c.Shown) << c.Typed;
  }
  std::vector<String> cursorNames = ValuesOf(pointer.get());
  EXPECT_EQ(cursorNames.size(), 22u);
  EXPECT_TRUE(std::is_sorted(cursorNames.begin(), cursorNames.end(),
                             [](const String& a, const String& b) { return CompareText(a, b) < 0; }));

  EXPECT_EQ(CharsetIdents().size(), 18u);
  EXPECT_EQ(CharsetIdents()[7].Value, 134);
  EXPECT_STREQ(CharsetIdents()[7].Name, "GB2312_CHARSET");
}

TEST(PropertyEditorTest, ShortCutsOfferNoneAndTheHundredAndEightChoices) {
  TPropTarget t;
  auto key = EditorOn<TfrxShortCutProperty>(&t, "Key");
  EXPECT_EQ(key->ValueText(), "(None)");
  std::vector<String> values = ValuesOf(key.get());
  ASSERT_EQ(values.size(), 109u);
  const std::pair<int, const char*> spots[] = {{0, "(None)"},        {1, "Ctrl+A"},        {26, "Ctrl+Z"},
                                               {27, "Ctrl+Alt+A"},   {53, "F1"},           {65, "Ctrl+F1"},
                                               {77, "Shift+F1"},     {89, "Shift+Ctrl+F1"}, {101, "Ins"},
                                               {107, "Alt+BkSp"},    {108, "Shift+Alt+BkSp"}};
  for (auto [at, text] : spots) EXPECT_EQ(values[std::size_t(at)], text) << at;
  key->ApplyValueText("Ctrl+Del");
  EXPECT_EQ(t.Key(), scCtrl | VK_DELETE);
  EXPECT_EQ(key->ValueText(), "Ctrl+Del");
  key->RunEdit();  // the entry after Ctrl+Del
  EXPECT_EQ(key->ValueText(), "Alt+BkSp");
  key->ApplyValueText("(none)");
  EXPECT_EQ(t.Key(), 0);
  key->ApplyValueText("Ctrl+Nothing");
  EXPECT_EQ(t.Key(), 0);
}

TEST(PropertyEditorTest, DatesShowNothingForZeroAndEmptyTextStoresZero) {
  TPropTarget t;
  auto when = EditorOn<TfrxDateTimeProperty>(&t, "When");
  EXPECT_EQ(when->ValueText(), "");
  TDateTime moment = EncodeDate(2026, 3, 4) + EncodeTime(5, 6, 7, 0);
  when->ApplyValueText(DateTimeToStr(moment));
  EXPECT_NEAR(t.When(), moment, 1e-6);
  EXPECT_EQ(when->ValueText(), DateTimeToStr(moment));
  when->ApplyValueText("");
  EXPECT_EQ(t.When(), 0);
  EXPECT_THROW(when->ApplyValueText("not a date"), EConvertError);
  EXPECT_EQ(t.When(), 0);

  auto day = EditorOn<TfrxDateProperty>(&t, "Day");
  day->ApplyValueText(DateToStr(EncodeDate(2026, 12, 11)));
  EXPECT_EQ(t.Day(), EncodeDate(2026, 12, 11));
  EXPECT_EQ(day->ValueText(), DateToStr(EncodeDate(2026, 12, 11)));
  auto time = EditorOn<TfrxTimeProperty>(&t, "Ratio");
  time->ApplyValueText(TimeToStr(EncodeTime(12, 0, 0, 0)));
  EXPECT_DOUBLE_EQ(t.Ratio(), 0.5);
}

// ---------------------------------------------------------------- property lists

std::vector<String> RowNames(const TfrxPropertyList* L) {
  std::vector<String> names;
  for (int i = 0; i < L->Count(); ++i) names.push_back(L->ItemAt(i)->Editor()->PropertyName());
  return names;
}

TEST(PropertyListTest, RowsComeByNameWithTheEditorOfTheirKindAndNoMethods) {
  TPropTarget t;
  TfrxPropertyList list(nullptr);
  list.AssignObject(&t);
  EXPECT_EQ(list.Component(), &t);
  EXPECT_EQ(RowNames(&list), (std::vector<String>{"Align", "Ch", "Count", "Day", "Flag", "Frames", "Key", "Next",
                                                  "Pointer", "Ratio", "Result", "Shade", "Title", "When"}));
  struct Case {
    const char* Name;
    TClass Editor;
  };
  const Case cases[] = {
      {"Align", TfrxEnumProperty::StaticClass()},         {"Ch", TfrxCharProperty::StaticClass()},
      {"Count", TfrxIntegerProperty::StaticClass()},      {"Day", TfrxDateProperty::StaticClass()},
      {"Frames", TfrxSetProperty::StaticClass()},         {"Key", TfrxShortCutProperty::StaticClass()},
      {"Next", TfrxClassProperty::StaticClass()},         {"Pointer", TfrxCursorProperty::StaticClass()},
      {"Ratio", TfrxFloatProperty::StaticClass()},        {"Result", TfrxModalResultProperty::StaticClass()},
      {"Shade", TfrxColorProperty::StaticClass()},        {"Title", TfrxStringProperty::StaticClass()},
      {"When", TfrxDateTimeProperty::StaticClass()},
  };
  for (const Case& c : cases) {
    TfrxPropertyItem* item = list.Find(c.Name);
    ASSERT_NE(item, nullptr) << c.Name;
    EXPECT_EQ(item->Editor()->ClassType(), c.Editor) << c.Name;
  }
  // A list filled again starts afresh.
  list.AssignObject(&t);
  EXPECT_EQ(list.Count(), 14);
}

TEST(PropertyListTest, SetsExpandIntoOneRowPerElement) {
  TfrxFrame frame;
  frame.SetTyp({ftLeft, ftTop});
  TfrxPropertyList list(nullptr);
  list.AssignObject(&frame);
  TfrxPropertyItem* typ = list.Find("Typ");
  ASSERT_NE(typ, nullptr);
  EXPECT_EQ(typ->Editor()->ValueText(), "[ftLeft,ftTop]");
  TfrxPropertyList* rows = typ->SubProperties();
  ASSERT_NE(rows, nullptr);
  EXPECT_EQ(rows->Parent(), &list);
  EXPECT_EQ(RowNames(rows), (std::vector<String>{"ftLeft", "ftRight", "ftTop", "ftBottom"}));
  std::vector<String> shown;
  for (int i = 0; i < rows->Count(); ++i) shown.push_back(rows->ItemAt(i)->Editor()->ValueText());
  EXPECT_EQ(shown, (std::vector<String>{"True", "False", "True", "False"}));
  // A double click on an element row toggles the element.
  rows->ItemAt(1)->Editor()->RunEdit();
  rows->ItemAt(0)->Editor()->ApplyValueText("false");
  EXPECT_EQ(frame.Typ(), (TfrxFrameTypes{ftRight, ftTop}));
  EXPECT_EQ(typ->Editor()->ValueText(), "[ftRight,ftTop]");
  EXPECT_EQ(ErrorOf([&] { rows->ItemAt(2)->Editor()->ApplyValueText("yes"); }), InvalidValueText());
  EXPECT_EQ(frame.Typ(), (TfrxFrameTypes{ftRight, ftTop}));
  frame.SetTyp({});
  EXPECT_EQ(typ->Editor()->ValueText(), "[]");
}

TEST(PropertyListTest, SubObjectsExpandOnceAndEmptyOnesNotAtAll) {
  TPropTarget a, b;
  TfrxPropertyList alone(nullptr);
  alone.AssignObject(&a);
  TfrxPropertyItem* next = alone.Find("Next");
  ASSERT_NE(next, nullptr);
  EXPECT_EQ(next->Editor()->ValueText(), "(TPropTarget)");
  EXPECT_EQ(next->SubProperties(), nullptr);  // holds nothing: no expansion

  // a -> b -> a: b's rows are listed under a, and a's own row under b stops there.
  a.SetNext(&b);
  b.SetNext(&a);
  TfrxPropertyList list(nullptr);
  list.AssignObject(&a);
  TfrxPropertyList* ofB = list.Find("Next")->SubProperties();
  ASSERT_NE(ofB, nullptr);
  EXPECT_EQ(ofB->Component(), &b);
  EXPECT_EQ(ofB->Count(), 14);
  EXPECT_EQ(ofB->Find("Next")->SubProperties(), nullptr);
  // Editing through the sub-row reaches b.
  ofB->Find("Title")->Editor()->ApplyValueText("bee");
  EXPECT_EQ(b.Title(), "bee");
  EXPECT_EQ(a.Title(), "");
}

TEST(PropertyListTest, RegisteredEditorsAndHiddenRowsApply) {
  TfrxReport report(nullptr);
  auto* page = new TfrxReportPage(&report);
  auto* band = new TfrxMasterData(page);
  auto* memo = new TfrxMemoView(band);
  memo->SetName("Memo1");
  TfrxPropertyList list(nullptr);
  list.AssignObject(memo);
  struct Case {
    const char* Name;
    TClass Editor;
  };
  const Case cases[] = {
      {"Name", TfrxNameProperty::StaticClass()},   {"Color", TfrxColorProperty::StaticClass()},
      {"Font", TfrxFontProperty::StaticClass()},   {"Cursor", TfrxCursorProperty::StaticClass()},
      {"FlowTo", TfrxComponentProperty::StaticClass()},
  };
  for (const Case& c : cases) {
    TfrxPropertyItem* item = list.Find(c.Name);
    ASSERT_NE(item, nullptr) << c.Name;
    EXPECT_EQ(item->Editor()->ClassType(), c.Editor) << c.Name;
  }
  TfrxPropertyList* font = list.Find("Font")->SubProperties();
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(font->Find("Name")->Editor()->ClassType(), TfrxFontNameProperty::StaticClass());
  EXPECT_EQ(font->Find("Charset")->Editor()->ClassType(), TfrxFontCharsetProperty::StaticClass());
  memo->Font()->SetCharset(134);
  EXPECT_EQ(font->Find("Charset")->Editor()->ValueText(), "GB2312_CHARSET");

  // Hiding a set hides its element rows with it; hiding on a class leaves other classes alone.
  HideProperties(TfrxMemoView::StaticClass(), "Restrictions;TagStr");
  list.AssignObject(memo);
  EXPECT_EQ(list.Find("Restrictions"), nullptr);
  EXPECT_EQ(list.Find("TagStr"), nullptr);
  TfrxPictureView picture(band);
  TfrxPropertyList other(nullptr);
  other.AssignObject(&picture);
  ASSERT_NE(other.Find("Restrictions"), nullptr);
  EXPECT_EQ(other.Find("Restrictions")->SubProperties()->Count(), 4);
}

TEST(PropertyListTest, ReferencesOfferTheObjectsOfThePageAndFindThemInTheReport) {
  TfrxReport report(nullptr);
  auto* page = new TfrxReportPage(&report);
  auto* band = new TfrxMasterData(page);
  auto* m1 = new TfrxMemoView(band);
  m1->SetName("Memo1");
  auto* m2 = new TfrxMemoView(band);
  m2->SetName("Memo2");
  auto* m3 = new TfrxMemoView(band);
  m3->SetName("Amemo");
  auto* line = new TfrxLineView(band);
  line->SetName("Line1");
  auto flow = EditorOn<TfrxComponentProperty>(m1, "FlowTo");
  EXPECT_EQ(ValuesOf(flow.get()), (std::vector<String>{"Amemo", "Memo2"}));  // sorted, itself and the line left out
  flow->ApplyValueText("memo2");
  EXPECT_EQ(m1->FlowTo(), m2);
  EXPECT_EQ(flow->ValueText(), "Memo2");
  for (const char* bad : {"Line1", "Nobody"}) {
    EXPECT_EQ(ErrorOf([&] { flow->ApplyValueText(bad); }), InvalidValueText()) << bad;
    EXPECT_EQ(m1->FlowTo(), m2) << bad;
  }
  flow->ApplyValueText("");
  EXPECT_EQ(m1->FlowTo(), nullptr);
  // An object outside any report offers nothing.
  TfrxMemoView loose(nullptr);
  auto none = EditorOn<TfrxComponentProperty>(&loose, "FlowTo");
  EXPECT_TRUE(ValuesOf(none.get()).empty());
  EXPECT_EQ(ErrorOf([&] { none->ApplyValueText("Memo1"); }), InvalidValueText());
}

TEST(PropertyListTest, ASelectionSharesItsMultiSelectRowsAndWritesAllObjects) {
  EXPECT_EQ(BuildCommonPropertyList({}, nullptr), nullptr);
  TfrxReport report(nullptr);
  auto* page = new TfrxReportPage(&report);
  auto* band = new TfrxMasterData(page);
  auto* m1 = new TfrxMemoView(band);
  m1->SetName("Memo1");
  auto* m2 = new TfrxMemoView(band);
  m2->SetName("Memo2");
  auto* line = new TfrxLineView(band);
  line->SetName("Line1");

  std::unique_ptr<TfrxPropertyList> one = BuildCommonPropertyList({m1}, nullptr);
  ASSERT_NE(one, nullptr);
  EXPECT_NE(one->Find("Name"), nullptr);  // one object: every row

  std::unique_ptr<TfrxPropertyList> both = BuildCommonPropertyList({m1, m2}, nullptr);
  ASSERT_NE(both, nullptr);
  EXPECT_NE(both->Find("Font"), nullptr);
  EXPECT_EQ(both->Find("Name"), nullptr);
  both->Find("Color")->Editor()->ApplyValueText("clRed");
  EXPECT_EQ(m1->Color(), clRed);
  EXPECT_EQ(m2->Color(), clRed);
  // Sub-rows reach both objects too.
  both->Find("Font")->SubProperties()->Find("Size")->Editor()->ApplyValueText("14");
  EXPECT_EQ(m1->Font()->Size(), 14);
  EXPECT_EQ(m2->Font()->Size(), 14);

  // A memo and a line share only what both have.
  std::unique_ptr<TfrxPropertyList> mixed = BuildCommonPropertyList({m1, line}, nullptr);
  EXPECT_EQ(mixed->Find("Memo"), nullptr);
  ASSERT_NE(mixed->Find("ShiftMode"), nullptr);
  mixed->Find("ShiftMode")->Editor()->ApplyValueText("smDontShift");
  EXPECT_EQ(m1->ShiftMode(), smDontShift);
  EXPECT_EQ(line->ShiftMode(), smDontShift);
}

// ---------------------------------------------------------------- component editors

// Records what the designer asked of it.
struct TProbeEditor : TfrxComponentEditor {
  using TfrxComponentEditor::TfrxComponentEditor;
  static inline std::vector<String> Calls;
  bool HasOwnEditor() override { return true; }
  bool OpenEditor() override {
    Calls.push_back("open");
    return true;
  }
  void BuildMenu() override {
    AppendMenuItem("First", 3, true);
    AppendMenuItem("Second", 4, false);
  }
  bool RunMenuItem(int Tag, bool Checked) override {
    Calls.push_back("run " + IntToStr(Tag) + (Checked ? " on" : " off") + (Menu() ? " menu" : ""));
    return Tag == 3;
  }
};

TEST(ComponentEditorTest, TheDesignerUsesAFreshEditorPerAction) {
  TProbeEditor::Calls.clear();
  // Shapes have no editor of their own, so the exact entry registered here is theirs.
  ComponentEditorRegistry().RegisterEditorClass(TfrxShapeView::StaticClass(), ComponentEditorClassOf<TProbeEditor>());
  TfrxReport report(nullptr);
  TfrxShapeView sys(&report);
  TMenu menu(nullptr);
  EXPECT_TRUE(BuildComponentMenu(nullptr, &sys, &menu));
  ASSERT_EQ(menu.Items()->Count(), 2);
  EXPECT_EQ(menu.Items()->Items(0)->Caption(), "First");
  EXPECT_EQ(menu.Items()->Items(0)->Tag(), 3);
  EXPECT_TRUE(menu.Items()->Items(0)->Checked());
  EXPECT_FALSE(menu.Items()->Items(1)->Checked());
  EXPECT_EQ(menu.Items()->Items(1)->Owner(), &menu);
  EXPECT_TRUE(OpenComponentEditor(nullptr, &sys));
  EXPECT_TRUE(RunComponentMenuItem(nullptr, &sys, 3, false));
  EXPECT_FALSE(RunComponentMenuItem(nullptr, &sys, 4, true));
  EXPECT_EQ(TProbeEditor::Calls, (std::vector<String>{"open", "run 3 off", "run 4 on"}));
  // Objects no entry covers get nothing.
  TfrxDialogPage page(&report);
  TMenu empty(nullptr);
  EXPECT_FALSE(BuildComponentMenu(nullptr, &page, &empty));
  EXPECT_EQ(empty.Items()->Count(), 0);
  EXPECT_FALSE(OpenComponentEditor(nullptr, &page));
}

}  // namespace

namespace {

TEST(PropertyEditorRegistryStartTest, TheLibrarysOwnEditorsComeFirstInTheirOrder) {
  const TfrxPropertyEditorCollection& reg = PropertyEditorRegistry();
  struct Row {
    const char* Type;
    TClass Owner;
    const char* Name;
    TClass Editor;
  };
  const Row rows[] = {
      {"TComponentName", nullptr, "Name", TfrxNameProperty::StaticClass()},
      {"TColor", nullptr, "", TfrxColorProperty::StaticClass()},
      {"TFont", nullptr, "", TfrxFontProperty::StaticClass()},
      {"String", TFont::StaticClass(), "Name", TfrxFontNameProperty::StaticClass()},
      {"Integer", TFont::StaticClass(), "Charset", TfrxFontCharsetProperty::StaticClass()},
      {"TModalResult", nullptr, "", TfrxModalResultProperty::StaticClass()},
      {"TShortCut", nullptr, "", TfrxShortCutProperty::StaticClass()},
      {"TCursor", nullptr, "", TfrxCursorProperty::StaticClass()},
      {"TDateTime", nullptr, "", TfrxDateTimeProperty::StaticClass()},
      {"TDate", nullptr, "", TfrxDateProperty::StaticClass()},
      {"TTime", nullptr, "", TfrxTimeProperty::StaticClass()},
  };
  ASSERT_GE(reg.Count(), 11);
  for (int i = 0; i < 11; ++i) {
    const TfrxPropertyEditorItem& item = reg.ItemAt(i);
    EXPECT_EQ(item.PropertyType, rows[i].Type) << i;
    EXPECT_EQ(item.OwnerClass, rows[i].Owner) << i;
    EXPECT_EQ(item.PropertyName, rows[i].Name) << i;
    EXPECT_EQ(item.EditorClass, rows[i].Editor) << i;
  }
}

}  // namespace
