// The forms and controls module through compiled PascalScript programs: constants, controls,
// modal forms driven by queued clicks, close queries, list boxes, the application object and
// the dictionary's events.
#include "ScriptTestUtil.h"
#include "script/fs_itools.h"
#include "script/fs_xml.h"
#include "core/ObjectHandles.h"
#include "core/StrUtils.h"
#include "core/StringList.h"
#include "gui/Application.h"
#include "gui/Dialogs.h"
#include "gui/Messages.h"
#include "gui/StdCtrls.h"

#include <algorithm>

namespace {

String Joined() {
  String s;
  for (const Variant& v : ScriptTestEmitted()) s += (s.empty() ? "" : "|") + VarToStr(v);
  return s;
}

// A window that clicks the button whose handle a message carries, once the modal loop that
// is running takes the message from the queue.
class TClicker {
public:
  TClicker()
      : FWnd(AllocateHWnd([](TMessage& M) {
          if (M.Msg == WM_USER + 1)
            if (auto* b = ObjectOf<TButton>(static_cast<Integer>(M.WParam))) b->Click();
        })) {}
  ~TClicker() { DeallocateHWnd(FWnd); }
  HWND Wnd() const { return FWnd; }

private:
  HWND FWnd;
};

String RunScript(const String& Source) {
  TClicker clicker;
  auto s = NewTestScript();
  s->RegisterFunction("procedure ClickLater(b: TButton)", [&clicker](TObject*, TClass, const String&, TfsMethodHelper* C) {
    PostMessage(clicker.Wnd(), WM_USER + 1, static_cast<WPARAM>(C->ParamValue(0).AsInteger()), 0);
    return Variant(0);
  });
  ScriptTestEmitted().clear();
  s->Lines()->SetText(Source);
  if (!s->CompileSource()) return "error: " + s->CompileError() + " at " + s->CompileErrorPos();
  try {
    s->RunProgram();
  } catch (const Exception& e) {
    return "raised: " + e.Message() + (Joined().empty() ? String() : " after " + Joined());
  }
  return Joined();
}

struct TCase {
  const char* Source;
  const char* Expect;
};

void RunTable(std::initializer_list<TCase> Cases) {
  for (const TCase& c : Cases) EXPECT_EQ(RunScript(c.Source), c.Expect) << c.Source;
}

}  // namespace

TEST(ScriptForms, ConstantsAndEnumerations) {
  RunTable({
      {"begin Emit(mrYes); Emit(crHandPoint); Emit(crSize); Emit(bsDialog); Emit(VK_RETURN); Emit(VK_F2); Emit(VK_F12);"
       " Emit(VK_NUMPAD9); Emit(taCenter) end.",
       "6|-21|-22|3|13|113|123|105|2"},
      {"begin Emit(ssShift + ssCtrl); Emit(akLeft + akTop); Emit(alClient); Emit(poScreenCenter); Emit(caFree);"
       " Emit(biMaximize) end.",
       "5|3|5|4|2|4"},
  });
}

TEST(ScriptForms, ModalFormsEndWithTheirResult) {
  RunTable({
      {"var f: TForm; b: TButton; begin f := TForm.Create(nil); f.Caption := 'Pick'; b := TButton.Create(f);"
       " b.Parent := f; b.ModalResult := mrOk; ClickLater(b); Emit(f.ShowModal); Emit(f.Visible); f.Free end.",
       "1|False"},
      {"var f: TForm; b: TButton;"
       " procedure C(Sender: TObject); begin Emit(Sender = b); f.ModalResult := mrCancel end;"
       " begin f := TForm.Create(nil); b := TButton.Create(f); b.Parent := f; b.OnClick := 'C'; ClickLater(b);"
       " Emit(f.ShowModal); f.Free end.",
       "True|2"},
      {"var f: TForm; procedure Q(Sender: TObject; var CanClose: Boolean); begin CanClose := False end;"
       " begin f := TForm.Create(nil); f.OnCloseQuery := 'Q'; f.Show; f.Close; Emit(f.Visible); f.OnCloseQuery := nil;"
       " f.Close; Emit(f.Visible); f.Free end.",
       "True|False"},
      {"var f: TForm; begin f := TForm.Create(nil); f.Show; try f.ShowModal finally f.Free end end.",
       "raised: Cannot make a visible window modal"},
  });
}

TEST(ScriptForms, QueuedClicksAndFailingHandlers) {
  // The second click arrives while the handler runs: it does not run the handler again.
  EXPECT_EQ(RunScript("var f: TForm; b: TButton; procedure C(Sender: TObject); begin Emit(1); Application.ProcessMessages"
                      " end; begin f := TForm.Create(nil); b := TButton.Create(f); b.Parent := f; b.OnClick := 'C';"
                      " ClickLater(b); ClickLater(b); Application.ProcessMessages; Emit(2); f.Free end."),
            "1|2");
  // A handler's error is reported by the application, and the next click runs again.
  TDialogScript dialogs;
  dialogs.Button(IDOK).Button(IDOK);
  EXPECT_EQ(RunScript("var f: TForm; b: TButton; procedure C(Sender: TObject); begin Emit(1); RaiseException('bad')"
                      " end; begin f := TForm.Create(nil); b := TButton.Create(f); b.Parent := f; b.OnClick := 'C';"
                      " ClickLater(b); ClickLater(b); Application.ProcessMessages; f.Free end."),
            "1|1");
  ASSERT_EQ(dialogs.Asked().size(), 2u);
  EXPECT_TRUE(StartsStr("bad", dialogs.Asked()[0].Text)) << dialogs.Asked()[0].Text;
}

TEST(ScriptForms, ControlsAndLists) {
  RunTable({
      {"var f: TForm; e: TEdit; begin f := TForm.Create(nil); e := TEdit.Create(f); Emit(e.Parent = nil);"
       " e.Parent := f; Emit(e.Parent = f); e.SetBounds(5, 6, 70, 20); Emit(e.Left); Emit(e.Width); e.Hide;"
       " Emit(e.Visible); e.Show; Emit(e.Visible); e.Parent := nil; Emit(e.Parent = nil); f.Free end.",
       "True|True|5|70|False|True|True"},
      {"var f: TForm; e: TEdit; begin f := TForm.Create(nil); e := TEdit.Create(f); Emit(e.HelpType);"
       " e.HelpType := 0; e.HelpKeyword := 'topic'; Emit(e.HelpType); Emit(e.HelpKeyword); f.Free end.",
       "1|0|topic"},
      {"var f: TForm; e: TEdit; begin f := TForm.Create(nil); e := TEdit.Create(f); e.Parent := f;"
       " try e.SetFocus finally f.Free end end.",
       "raised: Cannot focus a disabled or invisible window"},
      {"var f: TForm; l: TListBox; begin f := TForm.Create(nil); l := TListBox.Create(f); l.Parent := f;"
       " l.Items.Add('a'); l.Items.Add('b'); Emit(l.SelCount); l.ItemIndex := 1; Emit(l.ItemIndex); Emit(l.Selected[1]);"
       " l.MultiSelect := True; l.Selected[0] := True; Emit(l.Selected[0]); Emit(l.SelCount); f.Free end.",
       "-1|1|True|True|1"},
      {"var f: TForm; c: TComboBox; begin f := TForm.Create(nil); c := TComboBox.Create(f); c.Parent := f;"
       " c.Items.Add('x'); c.ItemIndex := 0; Emit(c.ItemIndex); Emit(c.Text); f.Free end.",
       "0|x"},
  });
}

TEST(ScriptForms, AControlsItemsAreNotTheScriptsToFree) {
  String out = RunScript("var f: TForm; l: TListBox; begin f := TForm.Create(nil); l := TListBox.Create(f);"
                         " l.Parent := f; l.Items.Add('a'); try l.Items.Free finally Emit(l.Items.Count); f.Free end end.");
  EXPECT_TRUE(StartsStr("raised: Cannot free a ", out)) << out;
  EXPECT_TRUE(EndsStr(" that belongs to another object after 1", out)) << out;
}

TEST(ScriptForms, TheApplicationObject) {
  String out = RunScript("begin Emit(Application.ExeName) end.");
  EXPECT_TRUE(EndsStr("test_script", out)) << out;
  EXPECT_EQ(RunScript("begin Application.ProcessMessages; Application.Free end."), "raised: Cannot free the application");
}

TEST(ScriptForms, DictionaryShowsEvents) {
  auto s = NewTestScript();
  TfsXMLDocument doc;
  FillDictionaryXML(s.get(), doc.Root(), false);
  TfsXMLItem* control = nullptr;
  TfsXMLItem* classes = doc.Root()->FindItem("Classes");
  for (int i = 0; i < classes->Count(); ++i)
    if (classes->Items(i)->Prop("text") == "TControl = class(TComponent)") control = classes->Items(i);
  ASSERT_NE(control, nullptr);
  std::vector<String> members;
  for (int i = 0; i < control->Count(); ++i) members.push_back(control->Items(i)->Prop("text"));
  for (const char* m : {"event OnClick", "event OnCanResize", "procedure SetBounds(ALeft, ATop, AWidth, AHeight: Integer)",
                        "property Parent: TWinControl"})
    EXPECT_NE(std::find(members.begin(), members.end(), m), members.end()) << m;
}
