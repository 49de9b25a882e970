// The dialogs module through compiled PascalScript programs, answered by a TDialogScript.
#include "ScriptTestUtil.h"
#include "core/StringList.h"
#include "core/SysUtils.h"
#include "gui/Dialogs.h"

namespace {

String Joined() {
  String s;
  for (const Variant& v : ScriptTestEmitted()) s += (s.empty() ? "" : "|") + VarToStr(v);
  return s;
}

String RunScript(const String& Source) {
  auto s = NewTestScript();
  ScriptTestEmitted().clear();
  s->Lines()->SetText(Source);
  if (!s->CompileSource()) return "error: " + s->CompileError() + " at " + s->CompileErrorPos();
  try {
    s->RunProgram();
  } catch (const Exception& e) {
    return "raised: " + e.Message();
  }
  return Joined();
}

}  // namespace

TEST(ScriptDialogs, SetAndEnumerationValues) {
  EXPECT_EQ(RunScript("begin Emit(mtConfirmation); Emit(mbYes + mbNo); Emit(mbOK + mbCancel); Emit(ofFileMustExist);"
                      " Emit(ofEnableSizing); Emit(cdFullOpen); Emit(poPageNums); Emit(prPageNums); Emit(fdApplyButton);"
                      " Emit(fdBoth) end."),
            "3|3|12|512|524288|1|2|2|32768|2");
}

TEST(ScriptDialogs, MessageDlgAnswersThePressedButton) {
  for (int button : {mrYes, mrNo}) {
    TDialogScript dialogs;
    dialogs.Button(button);
    EXPECT_EQ(RunScript("begin Emit(MessageDlg('Save?', mtConfirmation, mbYes + mbNo, 0)) end."), IntToStr(button));
    ASSERT_EQ(dialogs.Asked().size(), 1u);
    const TDialogRequest& r = dialogs.Asked()[0];
    EXPECT_EQ(r.Text, "Save?");
    EXPECT_EQ(r.Caption, "Confirm");
    EXPECT_EQ(r.DlgType, mtConfirmation);
    EXPECT_EQ(TMsgDlgButtons::FromBits(static_cast<std::uint64_t>(r.Flags)), (TMsgDlgButtons{mbYes, mbNo}));
  }
}

TEST(ScriptDialogs, InputBoxAndInputQuery) {
  {
    TDialogScript dialogs;
    dialogs.Cancel().Text("typed");
    EXPECT_EQ(RunScript("begin Emit(InputBox('T', 'P', 'x')); Emit(InputBox('T', 'P', 'x')) end."), "x|typed");
    ASSERT_EQ(dialogs.Asked().size(), 2u);
    EXPECT_EQ(dialogs.Asked()[0].Caption, "T");
    EXPECT_EQ(dialogs.Asked()[0].Text, "P");
    EXPECT_EQ(dialogs.Asked()[0].Value, "x");  // the preset
  }
  {
    TDialogScript dialogs;
    dialogs.Cancel().Text("b");
    EXPECT_EQ(RunScript("var s: String; begin s := 'a'; Emit(InputQuery('T', 'P', s)); Emit(s);"
                        " Emit(InputQuery('T', 'P', s)); Emit(s) end."),
              "False|a|True|b");
  }
}

TEST(ScriptDialogs, ExecuteShowsTheDialogWithTheScriptsSettings) {
  TDialogScript dialogs;
  dialogs.Cancel().File("/tmp/chosen.txt");
  EXPECT_EQ(RunScript("var d: TOpenDialog; begin d := TOpenDialog.Create(nil); d.Filter := 'Text|*.txt';"
                      " d.FileName := 'old.txt'; Emit(d.Execute); Emit(d.FileName); Emit(d.Execute); Emit(d.FileName);"
                      " Emit(d.ClassName); d.Free end."),
            "False|old.txt|True|/tmp/chosen.txt|TOpenDialog");
  ASSERT_EQ(dialogs.Asked().size(), 2u);
  EXPECT_EQ(dialogs.Asked()[0].Kind, dkOpenFile);
}
