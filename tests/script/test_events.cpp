// Script procedures as handlers of controls' events, through the event bridges: what the
// procedure receives, what it writes back, clearing, refusing, re-entry, errors and the
// bridge's end.
#include "ScriptTestUtil.h"
#include "script/fs_ievents.h"
#include "core/ObjectHandles.h"
#include "core/StringList.h"
#include "core/SysUtils.h"
#include "gui/Edit.h"
#include "gui/ExtCtrls.h"
#include "gui/Forms.h"
#include "gui/Messages.h"
#include "gui/StdCtrls.h"

namespace {

// A form with a button, an edit and a panel that scripts reach as Btn, Ed, Pnl and Frm.
class ScriptEvents : public ::testing::Test {
protected:
  void SetUp() override {
    Form = new TForm(nullptr);
    Form->SetBounds(0, 0, 300, 200);
    Btn = new TButton(Form);
    Btn->SetParent(Form);
    Ed = new TEdit(Form);
    Ed->SetParent(Form);
    Pnl = new TPanel(Form);
    Pnl->SetParent(Form);
    Pnl->SetBounds(10, 10, 100, 40);
    Script = NewTestScript();
    TfsScript* s = Script.get();
    // Kept when a program is discarded, as a host's names are.
    s->SetOwnerTag(fsModuleOwnerTag);
    // The forms module registers the controls and their events; a click from the script is
    // the test's own addition.
    s->LookupClass("TButton")->RegisterMethod("procedure Click", [](TObject* Instance, TClass, const String&,
                                                                     TfsMethodHelper*) {
      static_cast<TButton*>(Instance)->Click();
      return Variant(0);
    });
    s->RegisterScriptClass(TPanel::StaticClass(), "TWinControl");
    s->RegisterObject("Btn", Btn);
    s->RegisterObject("Ed", Ed);
    s->RegisterObject("Pnl", Pnl);
    s->RegisterObject("Frm", Form);
    s->SetOwnerTag(0);
  }
  void TearDown() override {
    Script.reset();
    delete Form;
  }

  // Compiles and runs a program; "" or the error it raised.
  String Run(const String& Source) {
    Script->DiscardProgram();
    ScriptTestEmitted().clear();
    Script->Lines()->SetText(Source);
    if (!Script->CompileSource()) return "error: " + Script->CompileError();
    String error = ErrorText([this] { Script->RunProgram(); });
    return error == "no error" ? String() : error;
  }

  String Emitted() {
    String s;
    for (const Variant& v : ScriptTestEmitted()) s += (s.empty() ? "" : "|") + VarToStr(v);
    return s;
  }

  TForm* Form = nullptr;
  TButton* Btn = nullptr;
  TEdit* Ed = nullptr;
  TPanel* Pnl = nullptr;
  std::unique_ptr<TfsScript> Script;
};

}  // namespace

TEST_F(ScriptEvents, ClickRunsTheProcedureOnceWithTheButtonAsSender) {
  ASSERT_EQ(Run("procedure B(Sender: TObject); begin Emit(Sender) end; begin Btn.OnClick := 'B'; Emit(Btn.OnClick)"
                " end."),
            "");
  EXPECT_EQ(Emitted(), "");  // reading an event answers the empty text
  ScriptTestEmitted().clear();
  Btn->Click();
  EXPECT_EQ(Emitted(), IntToStr(HandleOf(Btn)));

  ASSERT_EQ(Run("begin Btn.OnClick := nil end."), "");
  EXPECT_FALSE(Btn->OnClick.Assigned());
  ScriptTestEmitted().clear();
  Btn->Click();
  EXPECT_EQ(Emitted(), "");

  EXPECT_EQ(Run("begin Btn.OnClick := 'IntToStr' end."), "Event handler must be a procedure");
  EXPECT_EQ(Run("begin Btn.OnClick := 'Nothing' end."), "Event handler must be a procedure");
}

TEST_F(ScriptEvents, AHandlerDoesNotRunAgainInsideItself) {
  ASSERT_EQ(Run("procedure B(Sender: TObject); begin Emit(1); Btn.Click end; begin Btn.OnClick := 'B' end."), "");
  ScriptTestEmitted().clear();
  Btn->Click();
  EXPECT_EQ(Emitted(), "1");
  Btn->Click();
  EXPECT_EQ(Emitted(), "1|1");
}

TEST_F(ScriptEvents, ArgumentsInAndVarValuesBack) {
  ASSERT_EQ(Run("procedure M(Sender: TObject; Button, Shift, X, Y: Integer); begin Emit(Button); Emit(Shift and 4);"
                " Emit(X); Emit(Y) end;"
                "procedure K(Sender: TObject; var Key: Char); begin if Key = 'a' then Key := 'x' else Key := '' end;"
                "procedure R(Sender: TObject; var NewWidth, NewHeight: Integer; var Resize: Boolean);"
                " begin NewWidth := 50 end;"
                "procedure Q(Sender: TObject; var CanClose: Boolean); begin CanClose := False end;"
                "begin Btn.OnMouseDown := 'M'; Ed.OnKeyPress := 'K'; Pnl.OnCanResize := 'R'; Frm.OnCloseQuery := 'Q'"
                " end."),
            "");
  ScriptTestEmitted().clear();
  Btn->OnMouseDown(Btn, mbRight, TShiftState{ssCtrl}, 5, 7);
  EXPECT_EQ(Emitted(), "1|4|5|7");

  Char key = U'a';
  Ed->OnKeyPress(Ed, key);
  EXPECT_EQ(key, U'x');
  key = U'b';
  Ed->OnKeyPress(Ed, key);
  EXPECT_EQ(key, Char(0));  // left empty: the key is swallowed

  Pnl->SetWidth(120);
  EXPECT_EQ(Pnl->Width(), 50);

  EXPECT_FALSE(Form->CloseQuery());
}

TEST_F(ScriptEvents, AHandlersErrorLeavesTheEventsValuesUnwritten) {
  ASSERT_EQ(Run("procedure Q(Sender: TObject; var CanClose: Boolean); begin CanClose := False; RaiseException('no')"
                " end; begin Frm.OnCloseQuery := 'Q' end."),
            "");
  bool canClose = true;
  EXPECT_EQ(ErrorText([&] { Form->OnCloseQuery(Form, canClose); }), "no");
  EXPECT_TRUE(canClose);
}

TEST_F(ScriptEvents, ABridgeThatEndsClearsItsEvent) {
  ASSERT_EQ(Run("procedure B(Sender: TObject); begin Emit(1) end; begin Btn.OnClick := 'B' end."), "");
  EXPECT_TRUE(Btn->OnClick.Assigned());
  Script->DiscardProgram();
  EXPECT_FALSE(Btn->OnClick.Assigned());
  ScriptTestEmitted().clear();
  Btn->Click();
  EXPECT_EQ(Emitted(), "");

  // A host object freed before the script: the bridge notices and leaves it alone.
  ASSERT_EQ(Run("procedure B(Sender: TObject); begin Emit(1) end; begin Pnl.OnCanResize := 'B' end."), "");
  delete Pnl;
  Pnl = nullptr;
  Script->DiscardProgram();
  SUCCEED();
}
