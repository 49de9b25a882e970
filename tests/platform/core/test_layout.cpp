// Layout text: the canonical form, reading it back, properties in file order, references,
// handlers, loading state, errors with file and line, and embedded resources.
#include "core/Filer.h"
#include "LayoutFixture.h"
#include "core/Resources.h"
#include "core/StrUtils.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

const char* const kFxMainText =
    "object FxMain: TFxForm\n"
    "  Caption = '合同管理'\n"
    "  Font.Name = 'SimSun'\n"
    "  OnClick = FormClick\n"
    "  object Timer1: TFxTimer\n"
    "    Interval = 250\n"
    "    OnTimer = TimerFire\n"
    "  end\n"
    "  object Panel1: TFxPanel\n"
    "    Align = faTop\n"
    "    Color = fxRed\n"
    "    object Edit1: TFxEdit\n"
    "      Left = 8\n"
    "      Caption = 'it''s'\n"
    "      Font.Size = 12\n"
    "      Font.Style = [fsBold, fsItalic]\n"
    "      Big = 1099511627776\n"
    "      Ratio = 0.1\n"
    "      Scale = 1.5s\n"
    "      Stamp = 45000.5d\n"
    "      Accel = 'x'\n"
    "      Options = []\n"
    "      Data = 42\n"
    "      Lines.Strings = (\n"
    "        'a'\n"
    "        ''\n"
    "        '合同')\n"
    "      Columns = <\n"
    "        item\n"
    "          Title = 'Code'\n"
    "        end\n"
    "        item\n"
    "          Visible = False\n"
    "        end>\n"
    "      Buddy = Edit2\n"
    "      OnChange = EditChange\n"
    "      Picture = {\n"
    "        0102FF}\n"
    "      Extra = (\n"
    "        1\n"
    "        1000\n"
    "        -70000)\n"
    "    end\n"
    "  end\n"
    "  object Edit2: TFxEdit\n"
    "    Text = 'second'\n"
    "  end\n"
    "end\n";

TFxForm* ReadForm(const String& text, TFxForm* root = nullptr, const String& source = "test.txt") {
  return dynamic_cast<TFxForm*>(ReadComponentFromText(root, text, source));
}

// The text of one property value after a trip through the binary form.
String Canonical(const String& value) {
  TStringStream in("object X: TFxEdit\n  P = " + value + "\nend\n");
  TMemoryStream bin;
  ObjectTextToBinary(&in, &bin);
  bin.SetPosition(0);
  TStringStream out;
  ObjectBinaryToText(&bin, &out);
  String text = out.DataString();
  const String head = "object X: TFxEdit\n  P = ", tail = "\nend\n";
  if (!StartsStr(head, text) || !EndsStr(tail, text)) return "(unexpected: " + text + ")";
  return text.substr(head.size(), text.size() - head.size() - tail.size());
}

class LayoutTest : public ::testing::Test {
protected:
  void SetUp() override {
    RegisterFxColors();
    FxLog().clear();
    Live = FxLive();
  }
  void TearDown() override { EXPECT_EQ(FxLive(), Live) << "objects leaked or freed twice"; }
  int Live = 0;
};

}  // namespace

TEST_F(LayoutTest, WritesOnlyNonDefaultValuesInDeclarationOrder) {
  std::unique_ptr<TFxForm> f(BuildFxForm());
  EXPECT_EQ(WriteComponentToText(f.get()), kFxMainText);

  TFxEdit e(nullptr);
  e.SetName("E");
  EXPECT_EQ(WriteComponentToText(&e), "object E: TFxEdit\nend\n");
  e.SetOptions({fsBold});  // the default again
  e.SetWidth(100);
  e.Font()->SetName("Tahoma");
  EXPECT_EQ(WriteComponentToText(&e), "object E: TFxEdit\nend\n");
  e.SetOptions({});
  e.SetVisible(false);
  e.SetTag(3);
  EXPECT_EQ(WriteComponentToText(&e), "object E: TFxEdit\n  Tag = 3\n  Visible = False\n  Options = []\nend\n");
}

TEST_F(LayoutTest, ReadingTheTextRebuildsTheFormAndWritesItBackUnchanged) {
  std::unique_ptr<TFxForm> f(ReadForm(kFxMainText));
  ASSERT_TRUE(f);
  EXPECT_EQ(f->Name(), "FxMain");
  EXPECT_EQ(f->Caption(), "合同管理");
  EXPECT_EQ(f->Font()->Name(), "SimSun");
  ASSERT_TRUE(f->Edit1 && f->Panel1 && f->Timer1);
  EXPECT_EQ(f->Timer1->Interval(), 250);
  EXPECT_EQ(f->Panel1->Color(), fxRed);
  EXPECT_EQ(f->Edit1->ParentComponent(), f->Panel1);
  EXPECT_EQ(f->Edit1->Owner(), f.get());
  EXPECT_EQ(f->Edit1->Caption(), "it's");
  EXPECT_EQ(f->Edit1->Lines()->Count(), 3);
  EXPECT_EQ(f->Edit1->Lines()->Strings(2), "合同");
  EXPECT_EQ(f->Edit1->Columns()->Item(0)->Title(), "Code");
  EXPECT_EQ(VarType(f->Edit1->Data()), varInteger);

  // Handlers are bound to this form's methods.
  f->OnClick(f.get());
  f->Timer1->OnTimer(f->Timer1);
  EXPECT_EQ(f->Clicks, 1);
  EXPECT_EQ(f->Ticks, 1);

  EXPECT_EQ(WriteComponentToText(f.get()), kFxMainText);
}

TEST_F(LayoutTest, OldAndLooseTextBecomesCanonical) {
  const char* loose =
      "\xEF\xBB\xBF"
      "object FxMain : TFxForm\r\n"
      "  PixelsPerInch = 120\r\n"
      "  TextHeight = 13\r\n"
      "  Caption = 'Line one'#13#10 +\r\n"
      "     'line two'\r\n"
      "  Color = $FF\r\n"
      "  Font.Style = [ fsItalic ,fsBold ]\r\n"
      "  object Edit1:TFxEdit\r\n"
      "    Ratio = 1.50\r\n"
      "    Big = -0\r\n"
      "    Stamp = 2\r\n"
      "    Scale = 2\r\n"
      "    Accel = #65\r\n"
      "    Data = 'v'\r\n"
      "    Lines.Strings = ('a' 'b')\r\n"
      "    Text = 'aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa'\r\n"
      "    Columns = <item Width = 1 end>\r\n"
      "    Picture = {01 02\r\n 0a}\r\n"
      "  end\r\n"
      "end";
  std::unique_ptr<TFxForm> f(ReadForm(loose));
  ASSERT_TRUE(f);
  EXPECT_EQ(WriteComponentToText(f.get()),
            "object FxMain: TFxForm\n"
            "  Caption = 'Line one'#13#10'line two'\n"
            "  Color = fxRed\n"
            "  Font.Style = [fsBold, fsItalic]\n"
            "  object Edit1: TFxEdit\n"
            "    Ratio = 1.5\n"
            "    Scale = 2s\n"
            "    Stamp = 2.0d\n"
            "    Accel = 'A'\n"
            "    Data = 'v'\n"
            "    Text = '" + String(64, 'a') + "' +\n"
            "      'aaaaaa'\n"
            "    Lines.Strings = (\n"
            "      'a'\n"
            "      'b')\n"
            "    Columns = <\n"
            "      item\n"
            "        Width = 1\n"
            "      end>\n"
            "    Picture = {\n"
            "      01020A}\n"
            "  end\n"
            "end\n");
}

TEST(LayoutValues, EachValueHasOneCanonicalText) {
  struct Case { String in; String out; };
  const Case cases[] = {
      {"12", "12"},
      {"-5", "-5"},
      {"+7", "7"},
      {"$FF", "255"},
      {"-9223372036854775808", "-9223372036854775808"},
      {"0.1", "0.1"},
      {"1.50", "1.5"},
      {"1.0", "1.0"},
      {"2.5e-3", "0.0025"},
      {"1E20", "1e+20"},
      {"-0.0", "-0.0"},
      {"3.33333333333333333342e-01", "3.33333333333333333342e-01"},  // beyond a double
      {"1.5s", "1.5s"},
      {"12.34c", "12.34c"},
      {"-0.5c", "-0.5c"},
      {"7c", "7c"},
      {"922337203685477.5807c", "922337203685477.5807c"},
      {"45000.5d", "45000.5d"},
      {"'a'#13#10'b'", "'a'#13#10'b'"},
      {"'合同'", "'合同'"},
      {"#$41#66", "'AB'"},
      {"#21512", "'合'"},
      {"'x' +\n 'y' + #9", "'xy'#9"},
      {"''''", "''''"},
      {"''", "''"},
      {"True", "True"},
      {"nil", "nil"},
      {"Null", "Null"},
      {"Form2.Edit1", "Form2.Edit1"},
      {"[]", "[]"},
      {"[b,a]", "[b, a]"},
      {"()", "()"},
      {"(1 'a' (2))", "(\n    1\n    'a'\n    (\n      2))"},
      {"<>", "<>"},
      {"<item [3] A = 1 end item end>", "<\n    item [3]\n      A = 1\n    end\n    item\n    end>"},
      {"{}", "{}"},
      {"{0a 0B}", "{\n    0A0B}"},
      {"{" + String(66, 'a') + "}", "{\n    " + String(64, 'A') + "\n    AA}"},  // 32 bytes a line
      {"'" + String(65, 'z') + "'", "'" + String(64, 'z') + "' +\n    'z'"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.in);
    EXPECT_EQ(Canonical(c.in), c.out);
  }
}

TEST_F(LayoutTest, PropertiesAreSetInFileOrderAndLoadedFollowsReadOrder) {
  const char* text =
      "object FxMain: TFxForm\n"
      "  Caption = 'c'\n"
      "  object Edit1: TFxEdit\n"
      "    Caption = 'first'\n"
      "    Width = 7\n"
      "    Left = 5\n"
      "    Caption = 'again'\n"
      "    Text = 't'\n"
      "  end\n"
      "  object Panel1: TFxPanel\n"
      "    Align = faClient\n"
      "    object Edit2: TFxEdit\n"
      "      Left = 1\n"
      "    end\n"
      "  end\n"
      "end\n";
  std::unique_ptr<TFxForm> f(ReadForm(text));
  ASSERT_TRUE(f);
  const std::vector<String> expected = {
      "FxMain.Caption", "Edit1.Caption", "Edit1.Width", "Edit1.Left", "Edit1.Caption", "Edit1.Text",
      "Panel1.Align", "Edit2.Left", "Loaded:FxMain", "Loaded:Edit1", "Loaded:Panel1", "Loaded:Edit2"};
  EXPECT_EQ(FxLog(), expected);
  EXPECT_EQ(f->Edit1->Caption(), "again");
  auto* e2 = dynamic_cast<TFxEdit*>(f->FindComponent("Edit2"));
  ASSERT_NE(e2, nullptr);
  EXPECT_EQ(e2->ParentComponent(), f->Panel1);
  EXPECT_EQ(f->Edit1->ParentComponent(), f.get());
  for (TFxControl* c : {static_cast<TFxControl*>(f->Edit1), static_cast<TFxControl*>(f->Panel1),
                        static_cast<TFxControl*>(e2)}) {
    SCOPED_TRACE(c->Name());
    EXPECT_TRUE(c->SawLoading);
    EXPECT_TRUE(c->LoadingInLoaded);
    EXPECT_FALSE(c->ReadingInLoaded);  // reading is over when Loaded runs
    EXPECT_FALSE(c->ComponentState().Contains(csLoading));
    EXPECT_FALSE(c->ComponentState().Contains(csReading));
  }
  EXPECT_FALSE(f->ComponentState().Contains(csLoading));
}

TEST_F(LayoutTest, ReferencesResolveForwardAndClearWhenTheTargetGoes) {
  const char* text =
      "object FxMain: TFxForm\n"
      "  object Edit1: TFxEdit\n"
      "    Buddy = Panel1\n"
      "  end\n"
      "  object Panel1: TFxPanel\n"
      "  end\n"
      "  object Edit2: TFxEdit\n"
      "    Buddy = Edit1\n"
      "  end\n"
      "  object Edit3: TFxEdit\n"
      "    Buddy = nil\n"
      "  end\n"
      "end\n";
  std::unique_ptr<TFxForm> f(ReadForm(text));
  ASSERT_TRUE(f);
  auto* e2 = static_cast<TFxEdit*>(f->FindComponent("Edit2"));
  EXPECT_EQ(f->Edit1->Buddy(), f->Panel1);
  EXPECT_EQ(e2->Buddy(), f->Edit1);
  delete f->Panel1;
  EXPECT_EQ(f->Edit1->Buddy(), nullptr);
  delete f->Edit1;
  EXPECT_EQ(e2->Buddy(), nullptr);
}

TEST_F(LayoutTest, ReferencesToAnotherRootWaitUntilItExists) {
  const int pending = PendingReferenceCount();
  const char* a =
      "object FormA: TFxForm\n"
      "  object Edit1: TFxEdit\n"
      "    Buddy = FormB.Edit2\n"
      "  end\n"
      "end\n";
  const char* b =
      "object FormB: TFxForm\n"
      "  object Edit2: TFxEdit\n"
      "  end\n"
      "end\n";
  auto formA = std::make_unique<TFxForm>(nullptr);
  RegisterRoot(formA.get());
  ReadForm(a, formA.get());
  EXPECT_EQ(formA->Edit1->Buddy(), nullptr);
  EXPECT_EQ(PendingReferenceCount(), pending + 1);

  // The second form registers before its layout is read, as a window does.
  auto formB = std::make_unique<TFxForm>(nullptr);
  RegisterRoot(formB.get());
  EXPECT_EQ(PendingReferenceCount(), pending + 1);
  ReadForm(b, formB.get());
  ASSERT_NE(formB->FindComponent("Edit2"), nullptr);
  EXPECT_EQ(formA->Edit1->Buddy(), formB->FindComponent("Edit2"));
  EXPECT_EQ(PendingReferenceCount(), pending);
  EXPECT_EQ(FindGlobalRoot("formb"), formB.get());

  // A reference into an existing root must name a component it has.
  EXPECT_THROW(ReadForm("object FormC: TFxForm\n object E: TFxEdit\n Buddy = FormB.Nope\n end\nend\n"), EReadError);

  // Written back with the root's name.
  EXPECT_NE(WriteComponentToText(formA.get()).find("Buddy = FormB.Edit2"), String::npos);

  // A second instance of a registered form gets a name of its own.
  auto formB2 = std::make_unique<TFxForm>(nullptr);
  RegisterRoot(formB2.get());
  ReadForm(b, formB2.get());
  EXPECT_EQ(formB2->Name(), "FormB_1");

  formB.reset();
  EXPECT_EQ(formA->Edit1->Buddy(), nullptr);
  EXPECT_EQ(FindGlobalRoot("FormB"), nullptr);

  // A holder freed while its reference waits takes the reference with it.
  auto formD = std::make_unique<TFxForm>(nullptr);
  ReadForm("object FormD: TFxForm\n object E: TFxEdit\n Buddy = FormZ.X\n end\nend\n", formD.get());
  EXPECT_EQ(PendingReferenceCount(), pending + 1);
  formD.reset();
  EXPECT_EQ(PendingReferenceCount(), pending);
}

TEST_F(LayoutTest, AReferenceIntoAnOwnedRootIsWrittenFromThatRoot) {
  // Forms and data modules belong to the application object, which has no name.
  TComponent application(nullptr);
  auto* formB = new TFxForm(&application);
  RegisterRoot(formB);
  ReadForm("object FormB: TFxForm\n  object Edit2: TFxEdit\n  end\nend\n", formB);
  auto formA = std::make_unique<TFxForm>(nullptr);
  ReadForm("object FormA: TFxForm\n  object Edit1: TFxEdit\n    Buddy = FormB.Edit2\n  end\nend\n", formA.get());
  ASSERT_EQ(formA->Edit1->Buddy(), formB->FindComponent("Edit2"));
  EXPECT_NE(WriteComponentToText(formA.get()).find("Buddy = FormB.Edit2"), String::npos);
  formA.reset();
}

TEST_F(LayoutTest, BadLayoutsNameWhatAndWhereAndLeaveNothingBehind) {
  const String head = "object FxMain: TFxForm\n  Caption = 'x'\n  object Edit1: TFxEdit\n";
  const String tail = "  end\nend\n";
  enum Kind { Read, ClassMissing, Parser };
  struct Case { const char* name; String text; Kind kind; std::vector<String> parts; };
  const Case cases[] = {
      {"unknown class", "object FxMain: TFxForm\n  Caption = 'x'\n  object Edit1: TFxNoSuch\n" + tail, ClassMissing,
       {"Error reading FxMain.Edit1: Class TFxNoSuch not found (test.txt, line 3)"}},
      {"unknown property", head + "    Left = 1\n    Lft = 1\n" + tail, Read,
       {"Error reading FxMain.Edit1.Lft: Property Lft does not exist (test.txt, line 5)"}},
      {"unknown sub-object", head + "    Fnt.Size = 1\n" + tail, Read, {"FxMain.Edit1.Fnt.Size", "Property Fnt does not exist", "line 4"}},
      {"string for an integer", head + "    Left = 'abc'\n" + tail, Read,
       {"FxMain.Edit1.Left", "a string where an integer is expected", "line 4"}},
      {"integer beyond 32 bits", head + "    Left = 99999999999\n" + tail, Read, {"Edit1.Left", "out of range", "line 4"}},
      {"identifier for a string", head + "    Caption = Hello\n" + tail, Read, {"Edit1.Caption", "an identifier where a string"}},
      {"unknown enumeration value", head + "    Align = faMiddle\n" + tail, Read, {"Edit1.Align", "faMiddle", "line 4"}},
      {"unknown set element", head + "    Options = [fsBold, fsStrike]\n" + tail, Read, {"Edit1.Options", "fsStrike"}},
      {"unknown colour name", head + "    Font.Color = fxPurple\n" + tail, Read, {"Edit1.Font.Color", "fxPurple"}},
      {"missing handler", head + "    OnClick = NoSuchClick\n" + tail, Read,
       {"Edit1.OnClick", "Handler NoSuchClick not found in TFxForm", "line 4"}},
      {"handler of the wrong kind", head + "    OnClick = EditChange\n" + tail, Read, {"Edit1.OnClick", "EditChange"}},
      {"missing component", head + "    Left = 2\n    Buddy = Edit9\n" + tail, Read,
       {"Error reading FxMain.Edit1.Buddy: Component Edit9 not found (test.txt, line 5)"}},
      {"bad collection item value", head + "    Columns = <\n      item\n        Width = 'w'\n      end>\n" + tail, Read,
       {"FxMain.Edit1.Columns[0].Width", "line 6"}},
      {"duplicate name", head + tail.substr(0, 6) + "  object Edit1: TFxEdit\n  end\nend\n", Read,
       {"Edit1", "already exists", "line 5"}},
      {"unterminated object", head + "    Left = 1\nend\n", Parser, {"object FxMain is not closed", "test.txt, line 1"}},
      {"unterminated string", head + "    Caption = 'abc\n" + tail, Parser, {"Unterminated string", "line 4"}},
      {"property after children", head + tail.substr(0, 6) + "  Color = fxRed\nend\n", Parser,
       {"Property Color after the child objects of FxMain", "line 5"}},
      {"bad value", head + "    Left = @\n" + tail, Parser, {"Property value expected, found '@'", "line 4"}},
      {"text after the end", head + tail + "end\n", Parser, {"Text after the end of the object", "line 6"}},
      {"unclosed list", head + "    Lines.Strings = (\n      'a'\n", Parser, {"')' expected", "line 4"}},
      {"odd hex digits", head + "    Picture = {012}\n" + tail, Parser, {"Odd number of hexadecimal digits", "line 4"}},
      {"empty text", "", Parser, {"'object' expected", "line 1"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (bool given : {false, true}) {
      SCOPED_TRACE(given ? "into a given root" : "root made from the class name");
      TFxForm root(nullptr);
      String msg;
      try {
        ReadForm(c.text, given ? &root : nullptr);
        ADD_FAILURE() << "no error";
      } catch (const EClassNotFound& e) {
        EXPECT_EQ(c.kind, ClassMissing);
        msg = e.Message();
      } catch (const EParserError& e) {
        EXPECT_EQ(c.kind, Parser);
        msg = e.Message();
      } catch (const EReadError& e) {
        EXPECT_EQ(c.kind, Read);
        msg = e.Message();
      }
      for (const String& part : c.parts) EXPECT_NE(msg.find(part), String::npos) << msg;
      EXPECT_EQ(root.ComponentCount(), 0);
      EXPECT_EQ(root.Edit1, nullptr);
      EXPECT_FALSE(root.ComponentState().Contains(csLoading));
    }
  }
}

TEST_F(LayoutTest, AnErrorHandlerCanSkipBadValuesAndGoOn) {
  const char* text =
      "object FxMain: TFxForm\n"
      "  object Edit1: TFxEdit\n"
      "    Lft = 1\n"
      "    Align = faMiddle\n"
      "    Buddy = Edit9\n"
      "    OnClick = Missing\n"
      "    Columns = <\n"
      "      item\n"
      "        Width = 'w'\n"
      "        Title = 'kept'\n"
      "      end>\n"
      "    Left = 4\n"
      "  end\n"
      "  object Bad: TFxNoSuch\n"
      "    Left = 1\n"
      "    object Inner: TFxEdit\n"
      "    end\n"
      "  end\n"
      "  object Edit2: TFxEdit\n"
      "    Left = 6\n"
      "  end\n"
      "end\n";
  TStringStream in(text);
  TMemoryStream bin;
  TTextSourceMap map;
  ObjectTextToBinary(&in, &bin, "skip.txt", &map);
  bin.SetPosition(0);
  TReader r(&bin);
  r.SetSourceMap(&map);
  std::vector<String> errors;
  r.OnError = [&](TReader*, const String& msg, bool& handled) {
    errors.push_back(msg);
    handled = true;
  };
  std::unique_ptr<TFxForm> f(dynamic_cast<TFxForm*>(r.ReadRootComponent(nullptr)));
  ASSERT_TRUE(f);
  // Missing components are known only once the whole tree is read, so that one comes last.
  const std::vector<String> lines = {"line 3)", "line 4)", "line 6)", "line 9)", "line 14)", "line 5)"};
  ASSERT_EQ(errors.size(), lines.size());
  for (std::size_t i = 0; i < lines.size(); ++i) EXPECT_TRUE(EndsStr(lines[i], errors[i])) << errors[i];
  EXPECT_EQ(f->Edit1->Left(), 4);
  EXPECT_EQ(f->Edit1->Columns()->Item(0)->Title(), "kept");
  EXPECT_EQ(static_cast<TFxEdit*>(f->FindComponent("Edit2"))->Left(), 6);
  EXPECT_EQ(f->FindComponent("Inner"), nullptr);
  EXPECT_EQ(f->ComponentCount(), 2);
}

TEST_F(LayoutTest, AMissingHandlerCanBeSuppliedByTheReader) {
  TStringStream in("object FxMain: TFxForm\n  OnClick = OldName\nend\n");
  TMemoryStream bin;
  ObjectTextToBinary(&in, &bin);
  bin.SetPosition(0);
  TReader r(&bin);
  r.OnFindMethod = [](TReader* reader, const String& name, TMethod& m, bool& error) {
    if (name == "OldName") {
      m = MethodAddress(reader->Root(), "FormClick");
      error = false;
    }
  };
  std::unique_ptr<TFxForm> f(dynamic_cast<TFxForm*>(r.ReadRootComponent(nullptr)));
  f->OnClick(f.get());
  EXPECT_EQ(f->Clicks, 1);
}

TEST_F(LayoutTest, LayoutsComeFromResources) {
  RegisterResource("forms\\Fx_Main.txt", std::string_view(kFxMainText));
  const TResourceView* v = FindResourceData("FORMS/fx_main.TXT");
  ASSERT_NE(v, nullptr);
  EXPECT_EQ(v->Name, "forms\\Fx_Main.txt");
  EXPECT_EQ(v->Text(), kFxMainText);
  EXPECT_TRUE(ResourceExists("/forms/FX_MAIN.txt"));
  EXPECT_EQ(LoadResourceString("forms/fx_main.txt"), kFxMainText);
  EXPECT_EQ(LoadResourceBytes("forms/fx_main.txt").size(), String(kFxMainText).size());

  std::unique_ptr<TFxForm> f(dynamic_cast<TFxForm*>(LoadLayoutResource(nullptr, "forms/fx_main.txt")));
  ASSERT_TRUE(f);
  EXPECT_EQ(WriteComponentToText(f.get()), kFxMainText);

  // A binary layout is read as it is.
  TMemoryStream bin;
  WriteComponentToBinary(f.get(), &bin);
  RegisterResource("forms/fx_main.bin", TBytes(static_cast<Byte*>(bin.Memory()), static_cast<Byte*>(bin.Memory()) + bin.Size()));
  std::unique_ptr<TFxForm> g(dynamic_cast<TFxForm*>(LoadLayoutResource(nullptr, "forms/fx_main.bin")));
  ASSERT_TRUE(g);
  EXPECT_EQ(WriteComponentToText(g.get()), kFxMainText);

  // Errors name the resource.
  RegisterResource("forms/broken.txt", std::string_view("object X: TFxForm\n  Colour = 1\nend\n"));
  try {
    LoadLayoutResource(nullptr, "forms/broken.txt");
    ADD_FAILURE() << "no error";
  } catch (const EReadError& e) {
    EXPECT_NE(e.Message().find("(forms/broken.txt, line 2)"), String::npos) << e.Message();
  }

  // A stream keeps its data even when the resource is replaced or removed meanwhile.
  TResourceStream s("forms/fx_main.txt");
  RegisterResource("forms/fx_main.txt", std::string_view("replaced"));
  UnregisterResource("forms/fx_main.txt");
  EXPECT_FALSE(ResourceExists("forms/fx_main.txt"));
  String back(static_cast<std::size_t>(s.Size()), '\0');
  s.ReadBuffer(back.data(), s.Size());
  EXPECT_EQ(back, kFxMainText);
  EXPECT_THROW(s.Write("x", 1), EStreamError);
  UnregisterResource("forms/fx_main.bin");
  UnregisterResource("forms/broken.txt");
}

TEST(Resources, MissingResourcesAreNamed) {
  struct Case { const char* name; std::function<void()> call; };
  const Case cases[] = {
      {"stream", [] { TResourceStream s("nowhere/none.txt"); }},
      {"string", [] { LoadResourceString("nowhere/none.txt"); }},
      {"bytes", [] { LoadResourceBytes("nowhere/none.txt"); }},
      {"layout", [] { LoadLayoutResource(nullptr, "nowhere/none.txt"); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    try {
      c.call();
      ADD_FAILURE() << "no error";
    } catch (const EResNotFound& e) {
      EXPECT_EQ(e.Message(), "Resource nowhere/none.txt not found");
    }
  }
  EXPECT_EQ(FindResourceData("nowhere/none.txt"), nullptr);
}


TEST_F(LayoutTest, RecordPrefixesSurviveTheTextAndInheritedRecordsReuseComponents) {
  const String text =
      "object FxMain: TFxForm\n"
      "  inherited Edit1: TFxEdit\n"
      "    Left = 3\n"
      "  end\n"
      "  inline Panel1: TFxPanel [2]\n"
      "  end\n"
      "  object TFxTimer\n"
      "  end\n"
      "end\n";
  TStringStream in(text);
  TMemoryStream bin;
  ObjectTextToBinary(&in, &bin);
  String bytes(static_cast<const char*>(bin.Memory()), static_cast<std::size_t>(bin.Size()));
  EXPECT_NE(bytes.find("\xF1\x07TFxEdit\x05" "Edit1"), String::npos);
  EXPECT_NE(bytes.find("\xF6\x02\x02\x08TFxPanel\x06Panel1"), String::npos);
  EXPECT_NE(bytes.find(String("\x08TFxTimer\x00\x00\x00", 12)), String::npos);  // no name, no properties, no children
  bin.SetPosition(0);
  TStringStream out;
  ObjectBinaryToText(&bin, &out);
  EXPECT_EQ(out.DataString(), text);

  // An inherited record reads into the component the root already has.
  TFxForm root(nullptr);
  auto* made = new TFxEdit(&root);
  made->SetName("Edit1");
  ReadForm(text, &root);
  EXPECT_EQ(root.ComponentCount(), 3);
  EXPECT_EQ(root.Edit1, made);
  EXPECT_EQ(made->Left(), 3);
  EXPECT_NE(root.Panel1, nullptr);
  EXPECT_EQ(root.Timer1, nullptr) << "the unnamed timer is not the Timer1 field";
}

TEST_F(LayoutTest, ComponentsPastedIntoAnotherFormKeepTheirReferences) {
  std::unique_ptr<TFxForm> f(BuildFxForm());
  TMemoryStream clip;
  TWriter w(&clip);
  w.SetRoot(f.get());
  for (const char* name : {"Edit2", "Panel1"}) {
    w.WriteSignature();
    w.WriteComponent(f->FindComponent(name));
  }
  w.WriteListEnd();

  TFxForm target(nullptr);
  target.SetName("Target");
  clip.SetPosition(0);
  TReader r(&clip);
  std::vector<String> told;
  r.ReadComponents(&target, &target, [&](TComponent* c) { told.push_back(c->Name()); });
  EXPECT_EQ(told, (std::vector<String>{"Edit2", "Panel1"}));
  ASSERT_NE(target.Edit1, nullptr);
  EXPECT_EQ(target.Edit1->ParentComponent(), target.Panel1);
  EXPECT_EQ(target.Edit1->Buddy(), target.FindComponent("Edit2"));
  EXPECT_EQ(target.Edit1->OnChange.Target(), &target);
  EXPECT_EQ(static_cast<TFxEdit*>(target.FindComponent("Edit2"))->ParentComponent(), &target);
  EXPECT_FALSE(target.Edit1->ComponentState().Contains(csLoading));
}
