// Late-bound automation calls from PascalScript: what reaches the server (flags, argument
// order, the named argument of a property write, whether a value is wanted) and the messages
// of failing calls. "Test.Recorder" is a stand-in server that records every call.
#include "ScriptTestUtil.h"
#include "core/ComObj.h"
#include "core/StrUtils.h"
#include "core/StringList.h"
#include "core/SysUtils.h"

namespace {

struct TCall {
  String Member;
  Word Flags;
  String Args;   // the argument block as it arrived, position 0 first, joined by ','
  String Named;  // the named identifiers, joined by ','
  bool ResultWanted;
};

std::vector<TCall>& Calls() {
  static std::vector<TCall> calls;
  return calls;
}

class TRecorder : public TAutomationObject {
public:
  HRESULT GetIDsOfNames(const String& Name, int& DispId) override {
    for (int i = 0; i < static_cast<int>(std::size(kMembers)); ++i)
      if (SameText(Name, kMembers[i])) {
        DispId = i;
        return 0;
      }
    return DISP_E_UNKNOWNNAME;
  }

  HRESULT Invoke(int DispId, Word Flags, const TDispParams& Params, Variant* Result, TExcepInfo& Info) override {
    TCall call{kMembers[DispId], Flags, "", "", Result != nullptr};
    for (const Variant& a : Params.Args) call.Args += (call.Args.empty() ? "" : ",") + VarToStr(a);
    for (int n : Params.NamedArgs) call.Named += (call.Named.empty() ? "" : ",") + IntToStr(n);
    Calls().push_back(call);
    String member = kMembers[DispId];
    if (member == "Add" && Params.Args.size() == 1 && VarToStr(Params.Args[0]) == "fail") {
      Info.Source = "Rec";
      Info.Description = "Bad";
      return DISP_E_EXCEPTION;
    }
    if (member == "Value" && Flags == DISPATCH_PROPERTYPUT) FValue = Params.Args[0];
    if (!Result) return 0;
    if (member == "Name") *Result = Variant("rec");
    else if (member == "Children") *Result = Variant::FromDispatch(std::make_shared<TRecorder>());
    else if (member == "Value") *Result = FValue;
    return 0;
  }

private:
  static constexpr const char* kMembers[] = {"Visible", "Item", "Quit", "Name", "Children", "Add", "Value"};
  Variant FValue = Variant(0);
};

// A server whose members have other identifiers than the recorder's.
class TOther : public TAutomationObject {
public:
  HRESULT GetIDsOfNames(const String& Name, int& DispId) override {
    if (!SameText(Name, "Name")) return DISP_E_UNKNOWNNAME;
    DispId = 0;
    return 0;
  }
  HRESULT Invoke(int DispId, Word, const TDispParams&, Variant* Result, TExcepInfo&) override {
    if (DispId != 0) return DISP_E_MEMBERNOTFOUND;
    if (Result) *Result = Variant("other");
    return 0;
  }
};

String Describe(const TCall& C) {
  return C.Member + " " + IntToStr(C.Flags) + " [" + C.Args + "]" + (C.Named.empty() ? "" : " named " + C.Named) +
         (C.ResultWanted ? " result" : "");
}

// The calls the program made, one per line, or the error it raised after them.
String RunRecorded(const String& Body) {
  RegisterAutomationClass("Test.Recorder", [] { return std::make_shared<TRecorder>(); });
  Calls().clear();
  auto s = NewTestScript();
  s->Lines()->SetText("var o, x: Variant; i: Integer; begin o := CreateOleObject('Test.Recorder'); " + Body + " end.");
  if (!s->CompileSource()) return "error: " + s->CompileError();
  String out;
  try {
    s->RunProgram();
  } catch (const Exception& e) {
    out = "raised: " + e.Message() + "\n";
  }
  for (const TCall& c : Calls()) out += Describe(c) + "\n";
  RegisterAutomationClass("Test.Recorder", nullptr);
  return out;
}

String Arguments(int Count) {
  String s;
  for (int i = 1; i <= Count; ++i) s += (i > 1 ? ", " : "") + IntToStr(i);
  return s;
}

}  // namespace

TEST(ScriptOle, WhatReachesTheServer) {
  struct TCase {
    const char* Body;
    const char* Expect;
  } cases[] = {
      {"o.Visible := True", "Visible 4 [True] named -3\n"},
      {"o.Item(1, 2) := 5", "Item 4 [5,2,1] named -3\n"},
      {"o.Quit", "Quit 1 []\n"},
      {"o.Quit(1, 'a')", "Quit 1 [a,1]\n"},
      {"x := o.Name; Emit(x)", "Name 3 [] result\n"},
      {"o.Children.Add", "Children 3 [] result\nAdd 1 []\n"},
      {"o.Value := o.Value + 1; o.Value := o.Value + 1; Emit(o.Value)",
       "Value 3 [] result\nValue 4 [1] named -3\nValue 3 [] result\nValue 4 [2] named -3\nValue 3 [] result\n"},
  };
  for (const TCase& c : cases) EXPECT_EQ(RunRecorded(c.Body), c.Expect) << c.Body;
  ScriptTestEmitted().clear();
  RunRecorded("o.Value := 41; Emit(o.Value + 1)");
  ASSERT_EQ(ScriptTestEmitted().size(), 1u);
  EXPECT_EQ(VarToStr(ScriptTestEmitted()[0]), "42");
}

TEST(ScriptOle, OneCallSiteServesObjectsOfDifferentServers) {
  RegisterAutomationClass("Test.Other", [] { return std::make_shared<TOther>(); });
  ScriptTestEmitted().clear();
  // One call site: the identifier remembered for the recorder must not serve the other.
  EXPECT_EQ(RunRecorded("x := CreateOleObject('Test.Other'); for i := 1 to 3 do begin Emit(o.Name);"
                        " if i = 1 then o := x else o := CreateOleObject('Test.Recorder') end"),
            "Name 3 [] result\nName 3 [] result\n");
  ASSERT_EQ(ScriptTestEmitted().size(), 3u);
  EXPECT_EQ(VarToStr(ScriptTestEmitted()[0]), "rec");
  EXPECT_EQ(VarToStr(ScriptTestEmitted()[1]), "other");
  EXPECT_EQ(VarToStr(ScriptTestEmitted()[2]), "rec");
  RegisterAutomationClass("Test.Other", nullptr);
}

TEST(ScriptOle, FailingCalls) {
  struct TCase {
    String Body;
    String Expect;
  } cases[] = {
      {"o.Add('fail')",
       "raised: OLE error 80020009: Add: Exception occurred.\r\nSource        ::  Rec\r\nDescription ::  Bad\n"
       "Add 1 [fail]\n"},
      // An unknown member never reaches Invoke.
      {"o.Foo", "raised: OLE error 80020006: Foo: Unknown name.\n"},
      {"x := o.Children.Foo(1)", "raised: OLE error 80020006: Foo: Unknown name.\nChildren 3 [] result\n"},
      {"o.Quit(" + Arguments(65) + ")", "raised: OLE error 8002000E: Quit: Invalid number of parameters.\n"},
      {"o.Item(" + Arguments(63) + ") := 0", "Item 4 [0," + [] {
         String s;
         for (int i = 63; i >= 1; --i) s += IntToStr(i) + (i > 1 ? "," : "");
         return s;
       }() + "] named -3\n"},
      {"o.Item(" + Arguments(64) + ") := 0", "raised: OLE error 8002000E: Item: Invalid number of parameters.\n"},
  };
  for (const TCase& c : cases) EXPECT_EQ(RunRecorded(c.Body), c.Expect) << c.Body;
}
