// The system library through compiled PascalScript programs: every function's results, their
// Variant kinds and errors, with the format settings and the clock pinned.
#include "ScriptTestUtil.h"
#include "script/fs_isysrtti.h"
#include "script/fs_itools.h"
#include "script/fs_xml.h"
#include "core/ComObj.h"
#include "core/Format.h"
#include "core/StringList.h"
#include "core/SysUtils.h"
#include "gui/Application.h"
#include "gui/Dialogs.h"

#include <map>

namespace {

// The values emitted, joined by '|' (Null as "Null"), and their Variant type codes.
struct TRun {
  String Values;
  String Types;
};

TRun RunScript(TfsScript& S, const String& Source) {
  ResetFormatSettings();
  TClockOverride clock(EncodeDate(2024, 2, 29) + EncodeTime(13, 5, 0, 0));
  ScriptTestEmitted().clear();
  S.Lines()->SetText(Source);
  if (!S.CompileSource()) return {"error: " + S.CompileError() + " at " + S.CompileErrorPos(), ""};
  TRun r;
  auto join = [&r] {
    for (const Variant& v : ScriptTestEmitted()) {
      if (!r.Values.empty() || !r.Types.empty()) {
        r.Values += "|";
        r.Types += " ";
      }
      r.Values += VarIsNull(v) ? String("Null") : VarToStr(v);
      r.Types += IntToStr(VarType(v));
    }
  };
  try {
    S.RunProgram();
  } catch (const Exception& e) {
    join();
    return {"raised: " + e.Message() + (r.Values.empty() ? String() : " after " + r.Values), r.Types};
  }
  join();
  return r;
}

TRun RunScript(const String& Source) {
  auto s = NewTestScript();
  return RunScript(*s, Source);
}

struct TCase {
  const char* Source;
  String Expect;
  const char* Types = nullptr;  // the Variant type codes, when they matter
};

void RunTable(std::initializer_list<TCase> Cases) {
  for (const TCase& c : Cases) {
    TRun r = RunScript(c.Source);
    EXPECT_EQ(r.Values, c.Expect) << c.Source;
    if (c.Types) EXPECT_EQ(r.Types, c.Types) << c.Source;
  }
}

String Raised(const char* Fmt, const char* Text) { return "raised: " + Format(Fmt, {Text}); }

}  // namespace

TEST(ScriptSysLib, IsTheFirstModuleOfEveryScript) {
  auto s = NewTestScript();
  ASSERT_FALSE(ScriptModuleClasses().empty());
  EXPECT_EQ(ScriptModuleClasses().front().Name, "TfsSysFunctions");
  RunTable({
      {"var b: Byte; w: Word; c: TColor; d: TDateTime; x: Currency; p: Pointer; ch: Char;"
       " begin b := 1; w := 2; c := 3; d := 1.5; x := 2.25; ch := 'q'; Emit(b + w + c); Emit(d + x); Emit(ch) end.",
       "6|3.75|q"},
      {"begin Emit(True); Emit(False); Emit(nil); Emit(Null) end.", "True|False|0|Null", "11 11 3 1"},
      {"begin Emit(varEmpty); Emit(varInteger); Emit(varDate); Emit(varInt64); Emit(varString); Emit(varTypeMask);"
       " Emit(varArray); Emit(varByRef) end.",
       "0|3|7|20|256|4095|8192|16384", "3 3 3 3 3 3 3 3"},
  });
}

TEST(ScriptSysLib, ALaterConstantOfTheSameNameIsIgnored) {
  auto s = NewTestScript();
  s->RegisterConst("True", "Boolean", Variant(false));
  s->RegisterConst("varString", "Integer", Variant(1));
  EXPECT_EQ(RunScript(*s, "begin Emit(True); Emit(varString) end.").Values, "True|256");
}

TEST(ScriptSysLib, IndexingHelpers) {
  RunTable({
      // A function's result is no string variable: its characters go through the string helper.
      {"begin Emit(Copy('xyz', 1, 3)[2]) end.", "y"},
      {"var a: Variant; begin a := VarArrayCreate([0, 2], varVariant); a[1] := 'x'; Emit(a[1]) end.", "x"},
      {"var a: Variant; begin a := VarArrayCreate([0, 1, 0, 1], varInteger); a[1, 0] := 7; Emit(a[1, 0]);"
       " Emit(a[0, 1]) end.",
       "7|0"},
  });
}

TEST(ScriptSysLib, Maths) {
  RunTable({
      {"begin Emit(Round(2.5)); Emit(Round(3.5)); Emit(Round(-2.5)); Emit(Trunc(-2.7)); Emit(Int(-2.7));"
       " Emit(Frac(-2.7)) end.",
       "2|4|-2|-2|-2|-0.7", "3 3 3 3 5 5"},
      // The whole 64-bit result, not its low 32 bits.
      {"begin Emit(Round(3e9)); Emit(Trunc(-3e9 - 0.5)) end.", "3000000000|-3000000000", "20 20"},
      {"begin Emit(Round(1e30)) end.", "raised: Invalid floating point operation"},
      {"begin Emit(Trunc(-1e19)) end.", "raised: Invalid floating point operation"},
      {"begin Emit(Sqrt(-1)) end.", "raised: Invalid floating point operation"},
      {"begin Emit(Ln(-1)) end.", "raised: Invalid floating point operation"},
      {"begin Emit(Ln(0)) end.", "raised: Floating point division by zero"},
      {"begin Emit(Exp(1000)) end.", "raised: Floating point overflow"},
      {"begin Emit(Sin(1e19)); Emit(Cos(-1e19)); Emit(Sin(0)); Emit(Cos(0)) end.", "0|0|0|1"},
      {"begin Emit(Sqrt(16)); Emit(Abs(-3)); Emit(Exp(0)); Emit(Ln(Exp(2))); Emit(Tan(0)); Emit(ArcTan(1) * 4 - Pi)"
       " end.",
       "4|3|1|2|0|0", "5 5 5 5 5 5"},
      {"begin Emit(Pi); Emit(Exp(-1000)) end.", "3.14159265358979|0", "5 5"},
  });
}

TEST(ScriptSysLib, StringPositionsAndEdits) {
  RunTable({
      {"begin Emit(Copy('abc', 0, 2)); Emit(Copy('abc', 5, 1)); Emit(Copy('abc', 2, 100)); Emit(Copy('abc', 2, -1))"
       " end.",
       "ab||bc|"},
      {"begin Emit(Pos('', 'abc')); Emit(Pos('b', 'abcb')); Emit(Pos('b', '')); Emit(Pos('编', '合同编号')) end.",
       "0|2|0|3", "3 3 3 3"},
      {"var s: String; begin s := 'abcd'; Delete(s, 0, 2); Emit(s); Delete(s, 5, 1); Emit(s); Delete(s, 2, 100);"
       " Emit(s) end.",
       "abcd|abcd|a"},
      {"var s: String; begin s := 'abcd'; DeleteStr(s, 2, 2); Emit(s) end.", "ad"},
      {"var s: String; begin s := 'ab'; Insert('x', s, 0); Emit(s); Insert('y', s, 100); Emit(s); Insert('', s, 2);"
       " Emit(s) end.",
       "xab|xaby|xaby"},
      {"var s: String; begin s := '合同'; Insert('编号', s, 2); Emit(s); Delete(s, 1, 1); Emit(s) end.",
       "合编号同|编号同"},
  });
}

TEST(ScriptSysLib, StringCharactersAndCase) {
  RunTable({
      {"begin Emit(Copy('合同编号', 2, 2)); Emit(Length('中文')); Emit(Uppercase('é')); Emit(Lowercase('ÀB'));"
       " Emit(CompareText('b', 'A')) end.",
       "同编|2|É|àb|1"},
      {"begin Emit(CompareText('a', 'B')); Emit(CompareText('abc', 'ABC')); Emit(CompareText('abcd', 'abc')) end.",
       "-1|0|1"},
      {"begin Emit(Trim(#9'a b'#13#10)); Emit(Trim('  ')) end.", "a b|"},
      {"begin Emit(NameCase('JOHN SMITH')); Emit(NameCase(' john smith')); Emit(NameCase('a'#9'b c ')) end.",
       "John Smith| john Smith|A\tb C "},
      {"begin Emit(Chr(321)); Emit(Chr(65)); Emit(Ord('ABC')); Emit(Ord('中')); Emit(Ord('')) end.",
       "A|A|65|20013|0", "256 256 17 3 17"},
      {"begin Emit(Length([1, 2, 3])); Emit(Length(12345)); Emit(Length('')) end.", "3|5|0"},
  });
}

TEST(ScriptSysLib, SetLengthOfTextsAndArrays) {
  RunTable({
      {"var s: Variant; begin s := 'abcd'; SetLength(s, 2); Emit(s); SetLength(s, 4); Emit(s + '|') end.",
       "ab|ab  |"},
      {"var a: Variant; begin a := [1, 2, 3]; SetLength(a, 5); Emit(Length(a)); Emit(a[0]); Emit(a[1]); Emit(a[2]);"
       " Emit(VarType(a[4])) end.",
       "5|1|2|3|0"},
      // The low bound stays; the high bound becomes L - 1.
      {"var a: Variant; begin a := VarArrayCreate([1, 3], varInteger); a[3] := 9; SetLength(a, 4); Emit(Length(a));"
       " Emit(a[3]) end.",
       "3|9"},
      {"var a: Variant; begin a := VarArrayCreate([0, 2, 1, 4], varInteger); Emit(VarType(a)); Emit(Length(a)) end.",
       "8195|3"},
      {"var a: Variant; begin a := VarArrayCreate([0], varInteger) end.", "raised: " + [] {
         try {
           VarArrayCreate({0}, varInteger);
         } catch (const Exception& e) {
           return e.Message();
         }
         return String("no error");
       }()},
  });
}

TEST(ScriptSysLib, DatesAndTimes) {
  RunTable({
      {"begin Emit(DayOfWeek(EncodeDate(2000, 1, 1))); Emit(DaysInMonth(1900, 2)); Emit(DaysInMonth(2000, 2));"
       " Emit(DaysInMonth(2000, 13)); Emit(DaysInMonth(2000, 0)); Emit(IsLeapYear(2100)); Emit(IsLeapYear(2000)) end.",
       "7|28|29|0|0|False|True", "18 3 3 3 3 11 11"},
      {"begin Emit(EncodeDate(2001, 2, 29)) end.", "raised: Invalid argument to date encode"},
      {"begin Emit(EncodeTime(24, 0, 0, 0)) end.", "raised: Invalid argument to time encode"},
      {"var y, m, d: Word; begin DecodeDate(EncodeDate(2024, 2, 29), y, m, d); Emit(y); Emit(m); Emit(d) end.",
       "2024|2|29", "18 18 18"},
      {"var h, n, s, z: Variant; begin DecodeTime(EncodeTime(13, 5, 7, 250), h, n, s, z); Emit(h); Emit(n); Emit(s);"
       " Emit(z) end.",
       "13|5|7|250", "18 18 18 18"},
      // The clock is pinned at 2024-02-29 13:05.
      {"begin Emit(DateToStr(Date)); Emit(TimeToStr(Time)); Emit(DateTimeToStr(Now)); Emit(Now) end.",
       "2024-02-29|13:05:00|2024-02-29 13:05:00|2024-02-29 13:05:00", "256 256 256 7"},
      {"begin Emit(Now); Emit(Pi); Emit(Length('a')); Emit(Ord('a')); Emit(StrToInt64('1')); Emit(VarType(Now)) end.",
       "2024-02-29 13:05:00|3.14159265358979|1|97|1|7", "7 5 3 17 20 18"},
      {"var d: TDateTime; begin d := EncodeDate(2024, 2, 29); Emit(DateTimeToStr(d));"
       " Emit(DateTimeToStr(d + EncodeTime(13, 5, 0, 0))); Emit(FormatDateTime('yyyy-mm-dd hh:nn', d + EncodeTime(13, 5, 0, 0)))"
       " end.",
       "2024-02-29|2024-02-29 13:05:00|2024-02-29 13:05"},
  });
}

TEST(ScriptSysLib, TextConversions) {
  RunTable({
      {"begin Emit(IntToStr(-5)); Emit(FloatToStr(1e15)); Emit(FloatToStr(0.1)); Emit(VarToStr(Null)) end.",
       "-5|1E15|0.1|"},
      {"begin Emit(StrToInt(' 12')); Emit(StrToInt('$1F')); Emit(StrToInt('-0x10')) end.", "12|31|-16", "3 3 3"},
      {"begin Emit(StrToInt('12 ')) end.", Raised(SInvalidInteger, "12 ")},
      {"begin Emit(StrToInt('3000000000')) end.", Raised(SInvalidInteger, "3000000000")},
      {"begin Emit(StrToInt64('3000000000')) end.", "3000000000", "20"},
      {"begin Emit(ValidInt('12a')); Emit(ValidInt('12')); Emit(ValidFloat('1.5')); Emit(ValidFloat('x'));"
       " Emit(ValidDate('2024-02-29')); Emit(ValidDate('2023-02-29')) end.",
       "False|True|True|False|True|False"},
      {"begin Emit(StrToFloat('1.5')) end.", "1.5", "5"},
      {"begin Emit(StrToFloat('1,5')) end.", Raised(SInvalidFloat, "1,5")},
      {"begin Emit(StrToDate('2024-02-29')); Emit(TimeToStr(StrToTime('13:05:00'))); Emit(VarType(StrToTime('1:00')));"
       " Emit(StrToDateTime('2024-02-29 13:05')) end.",
       "2024-02-29|13:05:00|7|2024-02-29 13:05:00", "7 256 18 7"},
      {"begin Emit(StrToDate('x')) end.", Raised(SInvalidDate, "x")},
      {"begin Emit(StrToTime('25:00')) end.", Raised(SInvalidTime, "25:00")},
      {"begin Emit(StrToDateTime('x')) end.", Raised(SInvalidDateTime, "x")},
  });
}

TEST(ScriptSysLib, Formatting) {
  String long300(300, 'w');
  RunTable({
      {"begin Emit(Format('%d-%s', [5, 'x'])); Emit(Format('%d', [Null])); Emit(Format('%.2f%%', [1.005 + 1])) end.",
       "5-x|0|2.00%"},
      // Texts reach the format whole.
      {"var s: String; i: Integer; begin s := ''; for i := 1 to 300 do s := s + 'w'; Emit(Format('%s', [s])) end.",
       long300},
      {"begin Emit(Format('%d', ['x'])) end.", "raised: Format '%d' invalid or incompatible with argument"},
      {"begin Emit(Format('%d %d', [1])) end.", "raised: No argument for format '%d %d'"},
      {"begin Emit(FormatFloat('#,##0.00', 1234.5)); Emit(FormatFloat('0.00', 0.125));"
       " Emit(FormatMaskText('000-0000;0;_', '5551234')) end.",
       "1,234.50|0.13|555-1234"},
  });
}

TEST(ScriptSysLib, IncDecAndErrors) {
  RunTable({
      {"var i: Integer; begin i := 1; Inc(i); Emit(i); Inc(i, 5); Emit(i); Dec(i); Emit(i); Dec(i, 10); Emit(i) end.",
       "2|7|6|-4"},
      {"var v: Variant; begin v := '2'; Inc(v); Emit(v) end.", "3"},
      {"begin try RaiseException('boom'); Emit(1) except Emit(2) end end.", "2"},
      {"begin Emit(1); RaiseException('boom') end.", "raised: boom after 1"},
      {"var x: Extended; begin x := Random; Emit((x >= 0) and (x < 1)); Randomize; x := Random;"
       " Emit((x >= 0) and (x < 1)); Emit(VarType(Random)) end.",
       "True|True|5"},
  });
}

TEST(ScriptSysLib, ShowMessageAsksTheDialogService) {
  TDialogScript dialogs;
  dialogs.Button(mrOk);
  EXPECT_EQ(RunScript("begin ShowMessage(12); Emit(1) end.").Values, "1");
  ASSERT_EQ(dialogs.Asked().size(), 1u);
  EXPECT_EQ(dialogs.Asked()[0].Text, "12");
  EXPECT_EQ(dialogs.Asked()[0].Caption, Application->Title());
  EXPECT_EQ(dialogs.Unanswered(), 0);
}

namespace {

class TTestServer : public IDispatchObject {};

}  // namespace

TEST(ScriptSysLib, CreateOleObjectUsesTheAutomationRegistry) {
  RegisterAutomationClass("Kelm.TestServer", [] { return std::make_shared<TTestServer>(); });
  RunTable({
      {"var o: Variant; begin o := CreateOleObject('Kelm.TestServer'); Emit(VarType(o)) end.", "9"},
      {"begin CreateOleObject('No.Such') end.", "raised: Invalid class string"},
  });
  RegisterAutomationClass("Kelm.TestServer", nullptr);
}

TEST(ScriptSysLib, DictionaryListsTheFunctionsBySixCategories) {
  // The system library alone: the other modules add functions of their own.
  TfsScript s(nullptr);
  s.PutItem(String(), new TfsSysFunctions(&s));
  TfsXMLDocument doc;
  FillDictionaryXML(&s, doc.Root(), true);
  TfsXMLItem* functions = doc.Root()->FindItem("Functions");
  std::map<String, int> counts;
  int total = 0;
  for (int c = 0; c < functions->Count(); ++c) {
    TfsXMLItem* category = functions->Items(c);
    for (int i = 0; i < category->Count(); ++i) {
      ++counts[category->Name()];
      ++total;
    }
  }
  EXPECT_EQ(total, 65);
  std::map<String, int> expect{{"ctConv", 12}, {"ctFormat", 4}, {"ctDate", 10},
                               {"ctString", 14}, {"ctMath", 13}, {"ctOther", 12}};
  EXPECT_EQ(counts, expect);
  // The item is the signature, its description the function's name.
  TfsXMLItem* math = functions->FindItem("ctMath");
  bool found = false;
  for (int i = 0; i < math->Count(); ++i)
    found |= math->Items(i)->Text() == "text=\"function Round(e: Extended): Integer\" description=\"Round\"";
  EXPECT_TRUE(found);
  EXPECT_EQ(doc.Root()->FindItem("Classes")->Count(), 0);
}

TEST(ScriptSysLib, EvaluateExpressionReachesTheFunctions) {
  auto s = NewTestScript();
  EXPECT_EQ(VarToStr(s->EvaluateExpression("Copy('abc', 2, 1)")), "b");
  EXPECT_EQ(VarToStr(s->EvaluateExpression("IntToStr(Round(2.5)) + Uppercase('x')")), "2X");
  String error;
  s->EvaluateExpression("Sqrt(", error);
  EXPECT_FALSE(error.empty());
}
