// Event-handler templates: the stored texts, listing, finding and inserting handlers, the
// search for the main block, and empty scripts, per script language.
#include "core/Exceptions.h"
#include "core/StringList.h"
#include "report/designer/frxCodeUtils.h"
#include "report/frxRes.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Lines = std::vector<String>;

class CodeTemplatesTest : public ::testing::Test {
protected:
  void SetUp() override { RegisterScriptTemplates(); }
  static void Fill(TStringList& List, const Lines& Text) {
    List.Clear();
    for (const String& l : Text) List.Add(l);
  }
  static Lines Read(const TStrings& List) {
    Lines r;
    for (int i = 0; i < List.Count(); ++i) r.push_back(List.Strings(i));
    return r;
  }
};

}  // namespace

TEST_F(CodeTemplatesTest, TemplateValuesOfTheFourLanguages) {
  struct Case {
    const char* Language;
    const char* Proc;
    const char* Begin;
    const char* End;
    const char* LastEnd;
  };
  const Case cases[] = {
      {"PascalScript", "procedure", "begin", "end;", "end."},
      {"C++Script", "void", "{", "}", "}"},
      {"BasicScript", "sub", "", "end sub", ""},
      {"JScript", "function", "{", "}", ""},
      {"Nope", "", "", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Language);
    EXPECT_EQ(TemplateValue(c.Language, "proc"), c.Proc);
    EXPECT_EQ(TemplateValue(c.Language, "BEGIN"), c.Begin) << "attribute names ignore case";
    EXPECT_EQ(TemplateValue(c.Language, "end"), c.End);
    EXPECT_EQ(TemplateValue(c.Language, "lastend"), c.LastEnd);
    EXPECT_EQ(TemplateValue(c.Language, "middle"), "");
  }
  EXPECT_EQ(ReportResources()->TextOf("C++Script"), "proc=\"void\" begin=\"{\" end=\"}\" lastend=\"}\"");
}

TEST_F(CodeTemplatesTest, AnAttributeCountsOnlyAtTheStartOrAfterABlank) {
  ReportResources()->PutText("TestLang", "xproc=\"no\" proc=\"yes\" begin=\"b\"");
  EXPECT_EQ(TemplateValue("TestLang", "proc"), "") << "the first occurrence is glued to another name";
  EXPECT_EQ(TemplateValue("TestLang", "begin"), "b");
}

TEST_F(CodeTemplatesTest, EventParametersPerLanguage) {
  struct Case {
    const char* Event;
    const char* Language;
    const char* Params;
  };
  const Case cases[] = {
      {"TfrxNotifyEvent", "PascalScript", "(Sender: TfrxComponent);"},
      {"TfrxCloseQueryEvent", "C++Script", "(TfrxComponent Sender, bool &CanClose)"},
      {"TfrxKeyEvent", "BasicScript", "(Sender, byref Key, Shift)"},
      {"TfrxKeyPressEvent", "JScript", "(Sender, &Key)"},
      {"TfrxMouseEvent", "PascalScript", "(Sender: TfrxComponent; Button: TMouseButton; Shift: Integer; X, Y: Integer);"},
      {"TfrxMouseMoveEvent", "C++Script", "(TfrxComponent Sender, int Shift, int X, int Y)"},
      {"TfrxPreviewClickEvent", "BasicScript", "(Sender, Button, Shift, byref Modified)"},
      {"TfrxRunDialogsEvent", "JScript", "(&Result)"},
      {"TfrxRunDialogsEvent", "Nope", ""},
      {"TNoEvent", "PascalScript", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(String(c.Event) + " " + c.Language);
    EXPECT_EQ(EventParameters(c.Event, c.Language), c.Params);
  }
}

TEST_F(CodeTemplatesTest, CompatibleProceduresMatchTheParameterTextExactly) {
  TStringList script, found;
  Fill(script, {"procedure Memo1OnBeforePrint(Sender: TfrxComponent);", "begin", "end;",
                "PROCEDURE Other (Sender: TfrxComponent);", "procedure Spaced(Sender:  TfrxComponent);",
                " procedure Indented(Sender: TfrxComponent);", "procedure Keys(Sender: TfrxComponent; var Key: Char);",
                "begin", "end."});
  ListCompatibleProcedures(&script, "PascalScript", "TfrxNotifyEvent", &found);
  EXPECT_EQ(Read(found), (Lines{"Memo1OnBeforePrint", "Other"}));
  ListCompatibleProcedures(&script, "PascalScript", "TfrxKeyPressEvent", &found);
  EXPECT_EQ(Read(found), (Lines{"Keys"}));
  ListCompatibleProcedures(&script, "Nope", "TfrxNotifyEvent", &found);
  EXPECT_EQ(found.Count(), 0);
  ListCompatibleProcedures(&script, "PascalScript", "TNoEvent", &found);
  EXPECT_EQ(found.Count(), 0);
}

TEST_F(CodeTemplatesTest, FindProcedureLineByNameAtTheLineStart) {
  TStringList script;
  Fill(script, {"sub Button1OnClick(Sender)", "end sub", " sub Indented(Sender)", "end sub",
                "SUB BUTTON2ONCLICK (Sender)", "Sub Button2OnClick(Sender)"});
  struct Case {
    const char* Name;
    int Line;
  };
  const Case cases[] = {{"Button1OnClick", 0}, {"button2onclick", 5}, {"Indented", -1}, {"Missing", -1}};
  for (const Case& c : cases) EXPECT_EQ(FindProcedureLine(&script, "BasicScript", c.Name), c.Line) << c.Name;
}

TEST_F(CodeTemplatesTest, InsertionLineIsTheMainBlockOrTheScriptsEnd) {
  struct Case {
    const char* Name;
    const char* Language;
    Lines Script;
    int Line;
  };
  const Case cases[] = {
      {"Pascal main block", "PascalScript", {"begin", "", "end."}, 0},
      {"Pascal after a procedure", "PascalScript",
       {"procedure A;", "begin", "  x := 1;", "end;", "", "begin", "  A;", "end."}, 5},
      {"Pascal: words inside strings, comments and longer names count for nothing", "PascalScript",
       {"procedure A;", "begin", "end;", "", "begin", "  Append;", "  s := 'end;';", "  // end;", "  { begin }",
        "end."},
       4},
      {"Pascal without main block", "PascalScript", {"procedure A;", "begin", "end;"}, -1},
      {"Pascal: end. on the first line", "PascalScript", {"end."}, -1},
      {"C++ nested braces", "C++Script",
       {"void f(int a)", "{", "  if (a) { g(); }", "  while (a) {", "    a--;", "  }", "}", "", "{", "  f(1);", "}"}, 8},
      {"C++ brace in a string", "C++Script", {"{", "  s = \"}\";", "}"}, 0},
      {"BasicScript: before the last line", "BasicScript", {"dim a", "a = 1"}, 1},
      {"BasicScript ending with end sub: after it", "BasicScript", {"sub A(Sender)", "end sub"}, 2},
      {"BasicScript empty", "BasicScript", {}, 0},
      {"JScript ending with a function's brace", "JScript", {"function f(Sender)", "{", "}"}, 3},
      {"unknown language", "Nope", {"a", "b"}, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    TStringList script;
    Fill(script, c.Script);
    EXPECT_EQ(FindInsertionLine(&script, c.Language), c.Line);
  }
}

TEST_F(CodeTemplatesTest, InsertHandlerStubWritesTheTemplateLines) {
  TStringList script;
  Fill(script, {"begin", "", "end."});
  EXPECT_EQ(InsertHandlerStub(&script, "PascalScript", "TfrxNotifyEvent", "Memo1OnBeforePrint"), 3);
  EXPECT_EQ(Read(script), (Lines{"procedure Memo1OnBeforePrint(Sender: TfrxComponent);", "begin", "", "end;", "",
                                 "begin", "", "end."}));

  Fill(script, {"{", "}"});
  EXPECT_EQ(InsertHandlerStub(&script, "C++Script", "TfrxCloseQueryEvent", "Form1OnCloseQuery"), 3);
  EXPECT_EQ(Read(script), (Lines{"void Form1OnCloseQuery(TfrxComponent Sender, bool &CanClose)", "{", "", "}", "",
                                 "{", "}"}));

  Fill(script, {"sub A(Sender)", "end sub"});
  EXPECT_EQ(InsertHandlerStub(&script, "BasicScript", "TfrxNotifyEvent", "B"), 5);
  EXPECT_EQ(Read(script), (Lines{"sub A(Sender)", "end sub", "sub B(Sender)", "", "", "end sub", ""}));

  Fill(script, {});
  EXPECT_EQ(InsertHandlerStub(&script, "JScript", "TfrxMouseMoveEvent", "M"), 3);
  EXPECT_EQ(Read(script), (Lines{"function M(Sender, Shift, X, Y)", "{", "", "}", ""}));
}

TEST_F(CodeTemplatesTest, NoMainBlockRaisesAndLeavesTheScriptAlone) {
  TStringList script;
  Fill(script, {"procedure A;", "begin", "end;"});
  try {
    InsertHandlerStub(&script, "PascalScript", "TfrxNotifyEvent", "B");
    FAIL() << "no exception";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "找不到主过程");
  }
  EXPECT_EQ(Read(script), (Lines{"procedure A;", "begin", "end;"}));
}

TEST_F(CodeTemplatesTest, EmptyScriptsPerLanguage) {
  struct Case {
    const char* Language;
    Lines Script;
  };
  const Case cases[] = {{"PascalScript", {"begin", "", "end."}},
                        {"C++Script", {"{", "", "}"}},
                        {"BasicScript", {}},
                        {"JScript", {}}};
  for (const Case& c : cases) {
    TStringList script;
    script.Add("old");
    MakeEmptyScript(&script, c.Language);
    EXPECT_EQ(Read(script), c.Script) << c.Language;
  }
}
