// The frame controller's pushes, its layout rules and the obsolete properties older layouts
// hold.
#include "ControlsTestUtil.h"

#include "core/Filer.h"

using namespace ctltest;

namespace {

// Counts what reaches an edit's colour and frame through its published setters.
struct ControllerFixture : stdtest::FormFixture {
  TRzFrameController* Ctl = nullptr;
  void SetUp() override {
    FormFixture::SetUp();
    Ctl = new TRzFrameController(Form);
  }
};

TEST_F(ControllerFixture, HeldUpdatesTouchNothingAndTheLastReleasePushesOnce) {
  auto* e = Add<TRzEdit>(Rect(10, 10, 130, 31));
  e->SetFrameController(Ctl);
  EXPECT_EQ(e->FrameStyle(), fsFlat);
  Ctl->HoldUpdates();
  Ctl->HoldUpdates();
  Ctl->SetFrameStyle(fsLowered);
  Ctl->SetColor(clInfoBk);
  Ctl->SetFrameVisible(true);
  Ctl->ReleaseUpdates();
  EXPECT_EQ(e->FrameStyle(), fsFlat) << "still held once";
  EXPECT_EQ(e->Color(), clWindow);
  int changes = 0;
  e->OnResize = TNotifyEvent();
  TWndMethod old = e->WindowProc;
  e->WindowProc = [&](TMessage& m) {
    if (m.Msg == CM_COLORCHANGED) ++changes;
    old(m);
  };
  Ctl->ReleaseUpdates();
  EXPECT_EQ(changes, 1) << "one push of every setting";
  EXPECT_EQ(e->FrameStyle(), fsLowered);
  EXPECT_EQ(e->Color(), clInfoBk);
  EXPECT_EQ(e->FocusColor(), clInfoBk) << "the focus colour followed the colour it equalled";
  EXPECT_TRUE(e->FrameVisible());
  Ctl->ReleaseUpdates();  // more releases than holds stay at zero
  Ctl->SetFrameColor(clRed);
  EXPECT_EQ(e->FrameColor(), clRed);
  e->WindowProc = old;
}

TEST_F(ControllerFixture, RegisteringTwicePushesOnce) {
  auto* e = Add<TRzEdit>(Rect(10, 10, 130, 31));
  Ctl->SetColor(clYellow);
  e->SetColor(clWindow);
  Ctl->RegisterControl(e);
  EXPECT_EQ(e->Color(), clYellow);
  e->SetColor(clWindow);
  Ctl->RegisterControl(e);
  EXPECT_EQ(e->Color(), clWindow) << "already registered: no second push";
  EXPECT_EQ(Ctl->ControlCount(), 1);
  Ctl->UnregisterControl(e);
  EXPECT_EQ(Ctl->ControlCount(), 0);
}

TEST_F(ControllerFixture, APlainEditGetsOnlyItsColourProperties) {
  auto* plain = Add<TEdit>(Rect(10, 40, 130, 61));
  plain->SetParentColor(true);
  Ctl->SetColor(clInfoBk);
  Ctl->SetFrameStyle(fsGroove);
  Ctl->RegisterControl(plain);
  EXPECT_FALSE(plain->ParentColor());
  EXPECT_EQ(plain->Color(), clInfoBk);
  // A controller following its parent's colour writes ParentColor and no colour.
  Ctl->SetParentColor(true);
  EXPECT_TRUE(plain->ParentColor());
  Ctl->UnregisterControl(plain);
}

TEST_F(ControllerFixture, SettersFollowTheirRules) {
  auto* e = Add<TRzEdit>(Rect(10, 10, 130, 31));
  e->SetFrameController(Ctl);
  Ctl->SetFrameSides(TSides{sdBottom});
  EXPECT_EQ(e->FrameSides(), TSides{sdBottom}) << "sides travel as their text";
  Ctl->SetFrameHotTrack(true);
  EXPECT_TRUE(e->FrameHotTrack());
  EXPECT_TRUE(e->FrameVisible());
  EXPECT_EQ(Ctl->FrameSides(), sdAllSides) << "hot tracking frames all four sides";
  // Assign pushes the copied settings once.
  TRzFrameController other(nullptr);
  other.SetFrameStyle(fsRaised);
  other.SetDisabledColor(clGray);
  Ctl->Assign(&other);
  EXPECT_EQ(e->FrameStyle(), fsRaised);
  EXPECT_EQ(e->DisabledColor(), clGray);
  // Freeing the controller clears the edit's reference.
  delete Ctl;
  EXPECT_EQ(e->FrameController(), nullptr);
  Ctl = nullptr;
}

TEST_F(ControllerFixture, TheSettingsStoreIsHeldByReferenceAndOnlyKeepsSettings) {
  auto* store = new TRzRegIniFile(Form);
  EXPECT_TRUE(store->RefreshStorage());
  EXPECT_EQ(store->PathType(), ptIniFile);
  EXPECT_EQ(store->RegKey(), hkeyCurrentUser);
  EXPECT_EQ(store->RegAccess(), TRzRegAccess{keyAllAccess});
  store->SetPath("Software\\Kelm");
  EXPECT_EQ(store->Path(), "Software\\Kelm");
  Ctl->SetRegIniFile(store);
  EXPECT_EQ(Ctl->RegIniFile(), store);
  delete store;
  EXPECT_EQ(Ctl->RegIniFile(), nullptr) << "cleared when the store is freed";
}

// A window standing in for the category window's edits and the employee dialog's picker.
class TAuxForm : public TForm {
  KELM_CLASS(TAuxForm, TForm)
public:
  using TForm::TForm;
  TRzFrameController* FrameCtl = nullptr;
  TRzEdit* edtCode = nullptr;
  TRzEdit* edtName = nullptr;
  TRzButtonEdit* edtDepart = nullptr;
  int Picks = 0;
  void edtDepartButtonClick(TObject* Sender) {
    ++Picks;
    edtDepart->SetText("工程部");
  }
};

KELM_PUBLISH(TAuxForm) {
  b.Field("FrameCtl", &TAuxForm::FrameCtl);
  b.Field("edtCode", &TAuxForm::edtCode);
  b.Field("edtName", &TAuxForm::edtName);
  b.Field("edtDepart", &TAuxForm::edtDepart);
  b.Method("edtDepartButtonClick", &TAuxForm::edtDepartButtonClick);
}

const char* const AuxLayout =
    "object AuxForm: TAuxForm\n"
    "  Left = 40\n"
    "  Top = 40\n"
    "  BorderStyle = bsNone\n"
    "  ClientHeight = 120\n"
    "  ClientWidth = 300\n"
    "  object FrameCtl: TRzFrameController\n"
    "    FrameFlat = True\n"
    "    FrameFlatStyle = fsGroove\n"
    "  end\n"
    "  object edtCode: TRzEdit\n"
    "    Left = 10\n"
    "    Top = 10\n"
    "    Width = 120\n"
    "    Height = 21\n"
    "    FrameController = FrameCtl\n"
    "    TabOrder = 0\n"
    "  end\n"
    "  object edtName: TRzEdit\n"
    "    Left = 10\n"
    "    Top = 40\n"
    "    Width = 200\n"
    "    Height = 21\n"
    "    FrameFocusStyle = fsRaised\n"
    "    Text = '合同A'\n"
    "    TabOrder = 1\n"
    "  end\n"
    "  object edtDepart: TRzButtonEdit\n"
    "    Left = 10\n"
    "    Top = 70\n"
    "    Width = 160\n"
    "    Height = 21\n"
    "    Color = clInfoBk\n"
    "    ReadOnly = True\n"
    "    ButtonShortCutText = 'F5'\n"
    "    FlatButtonParentColor = True\n"
    "    TabOrder = 2\n"
    "    OnButtonClick = edtDepartButtonClick\n"
    "  end\n"
    "end\n";

struct LayoutFixture : ::testing::Test {
  TAuxForm* Form = nullptr;
  void SetUp() override {
    RegisterAuxEditControls();
    Form = new TAuxForm(Application);
    ReadComponentFromText(Form, AuxLayout);
  }
  void TearDown() override {
    delete Form;
    Application->ProcessMessages();
  }
};

TEST_F(LayoutFixture, ObsoletePropertiesGoIntoTheFieldsAndAreNeverWritten) {
  ASSERT_NE(Form->FrameCtl, nullptr);
  EXPECT_TRUE(Form->FrameCtl->FrameHotTrack());
  EXPECT_EQ(Form->FrameCtl->FrameStyle(), fsStatus);
  EXPECT_EQ(Form->FrameCtl->FrameHotStyle(), fsLowered);
  EXPECT_FALSE(Form->FrameCtl->FrameVisible()) << "straight into the fields: the setter did not run";
  // Loaded pushed the settings to the registered edit.
  EXPECT_EQ(Form->edtCode->FrameStyle(), fsStatus);
  EXPECT_TRUE(Form->edtCode->FrameHotTrack());
  EXPECT_EQ(Form->edtName->FrameHotStyle(), fsRaised);
  EXPECT_EQ(Form->edtName->Text(), "合同A");
  EXPECT_EQ(Form->edtDepart->GetShortCut(TRzButtonEdit::MainIndex), 116) << "F5";
  String text = WriteComponentToText(Form);
  for (const char* gone : {"FrameFlat", "FrameFocusStyle", "ButtonShortCutText", "FlatButtonParentColor"})
    EXPECT_EQ(text.find(gone), String::npos) << gone << "\n" << text;
  EXPECT_NE(text.find("FrameHotTrack = True"), String::npos) << text;
  EXPECT_NE(text.find("ButtonShortCut = 116"), String::npos) << text;
}

TEST_F(LayoutFixture, AnEditWithAControllerWritesNoColourOrFrame) {
  Form->FrameCtl->SetColor(clInfoBk);
  Form->FrameCtl->SetFrameColor(clRed);
  String text = WriteComponentToText(Form);
  auto start = text.find("object edtCode");
  auto end = text.find("object edtName");
  ASSERT_NE(start, String::npos);
  String code = text.substr(start, end - start);
  EXPECT_NE(code.find("FrameController = FrameCtl"), String::npos) << code;
  for (const char* gone : {" Color =", "FocusColor", "DisabledColor", "FrameColor", "FrameHotTrack", "FrameStyle",
                           "FrameHotStyle", "FrameVisible", "FrameSides"})
    EXPECT_EQ(code.find(gone), String::npos) << gone << "\n" << code;
  // The edit without a controller writes its own frame settings and colour.
  String depart = text.substr(text.find("object edtDepart"));
  EXPECT_NE(depart.find("Color = clInfoBk"), String::npos) << depart;
  // Read back, the written layout gives the same edits.
  delete Form;
  Form = new TAuxForm(Application);
  ReadComponentFromText(Form, text);
  EXPECT_EQ(Form->edtCode->Color(), clInfoBk);
  EXPECT_EQ(Form->edtCode->FrameColor(), clRed);
  EXPECT_EQ(Form->edtDepart->Color(), clInfoBk);
  EXPECT_TRUE(Form->edtDepart->ReadOnly());
}

}  // namespace

namespace {

// The category window reads and writes its edits' text, enables them and focuses the name;
// the employee dialog's read-only picker opens its chooser from the button and takes the
// chosen value.
TEST_F(LayoutFixture, TheWindowsUseTextEnabledFocusAndTheButtonClick) {
  Form->Show();
  Application->ProcessMessages();
  Form->edtCode->SetText("A01");
  EXPECT_EQ(Form->edtCode->Text(), "A01");
  Form->edtCode->SetEnabled(false);
  EXPECT_EQ(Form->edtCode->Color(), clBtnFace);
  Form->edtName->SetFocus();
  Application->ProcessMessages();
  EXPECT_TRUE(Form->edtName->Focused());
  TRzButtonEdit* depart = Form->edtDepart;
  EXPECT_TRUE(depart->ReadOnly());
  EXPECT_EQ(depart->Color(), clInfoBk);
  guitest::Click(depart->ButtonOf(TRzButtonEdit::MainIndex), {5, 5});
  EXPECT_EQ(Form->Picks, 1);
  EXPECT_EQ(depart->Text(), "工程部");
  EXPECT_TRUE(depart->Focused()) << "the press took the focus";
  depart->SetText("");
  stdtest::Key(Qt::Key_F5);
  EXPECT_EQ(Form->Picks, 2) << "the shortcut read from the old text property";
  stdtest::Key(Qt::Key_F4);
  EXPECT_EQ(Form->Picks, 2);
  EXPECT_EQ(depart->Text(), "工程部");
}

}  // namespace
