// Forms: loading from layouts, showing, modal loops, closing; data modules.
#include "GuiTestUtil.h"
#include "gui/Timers.h"

#include "core/ClassBuilder.h"
#include "core/Exceptions.h"
#include "core/Filer.h"
#include "core/Resources.h"

#include <QtCore/QDir>
#include <QtGui/QImage>
#include <QtWidgets/QMdiArea>
#include <QtWidgets/QMdiSubWindow>

#include <gtest/gtest.h>

using namespace guitest;

// ---------------------------------------------------------------- controls for the layouts

class TFxPanel : public TCustomControl {
  KELM_CLASS(TFxPanel, TCustomControl)
public:
  explicit TFxPanel(TComponent* owner) : TCustomControl(owner) {
    SetControlStyle(ControlStyle() + csAcceptsControls);
    SetColor(clBtnFace);
  }
  int Resizes = 0;

protected:
  void Resize() override {
    ++Resizes;
    TCustomControl::Resize();
  }
  void Paint() override {
    Canvas()->Brush()->SetColor(Color());
    Canvas()->FillRect(ClientRect());
  }
};

KELM_PUBLISH(TFxPanel) {
  PublishAlign(b);
  PublishAnchors(b);
  PublishCaption(b);
  PublishColor(b);
  PublishParentColor(b).Default(false);
  PublishFont(b);
  PublishParentFont(b);
  PublishTabOrder(b);
  PublishVisible(b);
  PublishOnClick(b);
  PublishOnResize(b);
}

// A push button: a click sets its form's ModalResult when it has one.
class TFxButton : public TCustomControl {
  KELM_CLASS(TFxButton, TCustomControl)
public:
  explicit TFxButton(TComponent* owner) : TCustomControl(owner) { SetTabStop(true); }
  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult v) { FModalResult = v; }
  TComponent* Buddy() const { return FBuddy; }
  void SetBuddy(TComponent* v) { FBuddy = v; }

protected:
  void Click() override {
    if (TCustomForm* f = GetParentForm(this); f && FModalResult != mrNone) f->SetModalResult(FModalResult);
    TCustomControl::Click();
  }

private:
  TModalResult FModalResult = mrNone;
  TComponent* FBuddy = nullptr;
};

KELM_PUBLISH(TFxButton) {
  PublishCaption(b);
  PublishTabOrder(b);
  PublishOnClick(b);
  PublishTabStop(b).Default(true);
  b.Prop("ModalResult", &TFxButton::ModalResult, &TFxButton::SetModalResult).Default(0);
  b.Prop("Buddy", &TFxButton::Buddy, &TFxButton::SetBuddy);
}

// ---------------------------------------------------------------- a form with a layout

class TFrmLayout : public TForm {
  KELM_CLASS(TFrmLayout, TForm)
public:
  using TForm::TForm;
  TFxPanel* PanelTop = nullptr;
  TFxPanel* PanelClient = nullptr;
  TFxPanel* PanelLeft = nullptr;
  TFxButton* BtnAdd = nullptr;
  std::vector<std::string> Events;
  void FormCreate(TObject*) { Events.push_back(String("create, button ") + (BtnAdd ? BtnAdd->Caption() : "missing")); }
  void BtnAddClick(TObject* s) { Events.push_back("click " + static_cast<TFxButton*>(s)->Name()); }

protected:
  void Loaded() override {
    TForm::Loaded();
    Events.push_back("loaded");
  }
};

KELM_PUBLISH(TFrmLayout) {
  b.Method("FormCreate", &TFrmLayout::FormCreate);
  b.Method("BtnAddClick", &TFrmLayout::BtnAddClick);
  b.Field("PanelTop", &TFrmLayout::PanelTop);
  b.Field("PanelClient", &TFrmLayout::PanelClient);
  b.Field("PanelLeft", &TFrmLayout::PanelLeft);
  b.Field("BtnAdd", &TFrmLayout::BtnAdd);
}

namespace {

const char* const kLayoutText =
    "object FrmLayout: TFrmLayout\n"
    "  Left = 60\n"
    "  Top = 40\n"
    "  BorderStyle = bsSingle\n"
    "  Caption = '合同列表'\n"
    "  ClientHeight = 300\n"
    "  ClientWidth = 400\n"
    "  Color = clBtnFace\n"
    "  Font.Name = 'Tahoma'\n"
    "  KeyPreview = True\n"
    "  OldCreateOrder = False\n"
    "  Position = poDesigned\n"
    "  OnCreate = FormCreate\n"
    "  PixelsPerInch = 96\n"
    "  TextHeight = 13\n"
    "  object PanelTop: TFxPanel\n"
    "    Left = 0\n"
    "    Top = 0\n"
    "    Width = 400\n"
    "    Height = 41\n"
    "    Align = alTop\n"
    "    Color = clRed\n"
    "    object BtnAdd: TFxButton\n"
    "      Left = 8\n"
    "      Top = 8\n"
    "      Width = 75\n"
    "      Height = 25\n"
    "      Caption = '添加'\n"
    "      OnClick = BtnAddClick\n"
    "    end\n"
    "  end\n"
    "  object PanelClient: TFxPanel\n"
    "    Left = 0\n"
    "    Top = 41\n"
    "    Width = 400\n"
    "    Height = 259\n"
    "    Align = alClient\n"
    "    object PanelLeft: TFxPanel\n"
    "      Left = 0\n"
    "      Top = 0\n"
    "      Width = 120\n"
    "      Height = 259\n"
    "      Align = alLeft\n"
    "      Color = clBlue\n"
    "    end\n"
    "  end\n"
    "end\n";

struct FormsFixture : ::testing::Test {
  void SetUp() override { RegisterResource("forms/TFrmLayout.txt", std::string_view(kLayoutText)); }
  void TearDown() override {
    UnregisterResource("forms/TFrmLayout.txt");
    Application->ProcessMessages();
  }
};

}  // namespace

TEST_F(FormsFixture, AFormLoadsItsLayoutWithNestedAlignedPanelsAndHandlersBoundByName) {
  TFrmLayout* ref = nullptr;
  auto* f = CreateForm<TFrmLayout>(Application, &ref);
  ASSERT_EQ(ref, f);
  ASSERT_NE(f->BtnAdd, nullptr);
  ASSERT_NE(f->PanelLeft, nullptr);
  EXPECT_EQ(f->Events, (std::vector<std::string>{"loaded", "create, button 添加"})) << "OnCreate after Loaded";
  EXPECT_EQ(f->Name(), "FrmLayout");
  EXPECT_EQ(f->Caption(), "合同列表");
  EXPECT_TRUE(f->KeyPreview());
  EXPECT_EQ(f->ClientWidth(), 400);
  EXPECT_EQ(f->ClientHeight(), 300);
  EXPECT_EQ(f->Width(), 400 + 2 * 3) << "a single border is 3 pixels a side";
  EXPECT_EQ(f->Height(), 300 + 3 + 19 + 3) << "and a caption of 19";
  EXPECT_EQ(f->BtnAdd->Parent(), f->PanelTop);
  EXPECT_EQ(f->PanelLeft->Parent(), f->PanelClient);
  EXPECT_EQ(f->BtnAdd->Owner(), f);
  EXPECT_EQ(FindGlobalRoot("FrmLayout"), f);

  f->Show();
  f->SetClientWidth(600);
  f->SetClientHeight(400);
  EXPECT_EQ(f->PanelTop->BoundsRect(), Rect(0, 0, 600, 41));
  EXPECT_EQ(f->PanelClient->BoundsRect(), Rect(0, 41, 600, 400));
  EXPECT_EQ(f->PanelLeft->BoundsRect(), Rect(0, 0, 120, 359));
  EXPECT_EQ(f->BtnAdd->BoundsRect(), Bounds(8, 8, 75, 25));
  Click(f->BtnAdd, {10, 10});
  EXPECT_EQ(f->Events.back(), "click BtnAdd");

  // Probe pixels of the painted form: the red top panel, the blue left one.
  QImage img = WidgetOf(f)->grab().toImage();
  EXPECT_EQ(QColor(img.pixel(300, 20)), QColor(255, 0, 0));
  EXPECT_EQ(QColor(img.pixel(60, 200)), QColor(0, 0, 255));
  QDir().mkpath("screenshots");
  EXPECT_TRUE(GrabToPng(f, "screenshots/form_layout.png"));
  delete f;
  EXPECT_EQ(FindGlobalRoot("FrmLayout"), nullptr);
}

TEST_F(FormsFixture, ASecondInstanceGetsAName) {
  auto* a = CreateForm<TFrmLayout>(Application);
  auto* b = CreateForm<TFrmLayout>(Application);
  EXPECT_EQ(a->Name(), "FrmLayout");
  EXPECT_EQ(b->Name(), "FrmLayout_1");
  EXPECT_EQ(FindGlobalRoot("FrmLayout_1"), b);
  delete b;
  delete a;
}

TEST(Forms, AFormWithoutLayoutIsEmpty) {
  auto* f = CreateForm<TForm>(Application);
  EXPECT_EQ(f->ControlCount(), 0);
  EXPECT_EQ(f->ComponentCount(), 0);
  EXPECT_FALSE(f->Visible());
  delete f;
}

// ---------------------------------------------------------------- inherited layouts

class TFrmBase : public TForm {
  KELM_CLASS(TFrmBase, TForm)
public:
  using TForm::TForm;
  TFxButton* BtnOk = nullptr;
};
KELM_PUBLISH(TFrmBase) { b.Field("BtnOk", &TFrmBase::BtnOk); }

class TFrmDerived : public TFrmBase {
  KELM_CLASS(TFrmDerived, TFrmBase)
public:
  using TFrmBase::TFrmBase;
  TFxPanel* Extra = nullptr;
};
KELM_PUBLISH(TFrmDerived) { b.Field("Extra", &TFrmDerived::Extra); }

TEST(Forms, ADerivedLayoutChangesAndExtendsItsBase) {
  RegisterResource("forms/TFrmBase.txt", std::string_view("object FrmBase: TFrmBase\n"
                                                           "  Caption = 'base'\n"
                                                           "  object BtnOk: TFxButton\n"
                                                           "    Left = 10\n"
                                                           "    Caption = 'OK'\n"
                                                           "    ModalResult = 1\n"
                                                           "  end\n"
                                                           "end\n"));
  RegisterResource("forms/TFrmDerived.txt", std::string_view("inherited FrmDerived: TFrmDerived\n"
                                                              "  Caption = 'derived'\n"
                                                              "  inherited BtnOk: TFxButton\n"
                                                              "    Caption = '确定'\n"
                                                              "  end\n"
                                                              "  object Extra: TFxPanel\n"
                                                              "    Left = 50\n"
                                                              "  end\n"
                                                              "end\n"));
  auto* f = CreateForm<TFrmDerived>(Application);
  EXPECT_EQ(f->Caption(), "derived");
  ASSERT_NE(f->BtnOk, nullptr);
  EXPECT_EQ(f->BtnOk->Caption(), "确定");
  EXPECT_EQ(f->BtnOk->Left(), 10) << "kept from the base layout";
  EXPECT_EQ(f->BtnOk->ModalResult(), mrOk);
  ASSERT_NE(f->Extra, nullptr);
  EXPECT_EQ(f->ControlCount(), 2) << "the inherited button is not made twice";
  delete f;
  UnregisterResource("forms/TFrmBase.txt");
  UnregisterResource("forms/TFrmDerived.txt");
}

// ---------------------------------------------------------------- modal forms

namespace {

// A dialog with an OK (mrOk) and a Cancel (mrCancel) button.
struct TDialog {
  TForm* Form;
  TFxButton* Ok;
  TFxButton* Cancel;
  TDialog() {
    Form = new TForm(Application);
    Form->SetBounds(150, 100, 200, 120);
    Ok = new TFxButton(Form);
    Ok->SetBounds(10, 60, 80, 25);
    Ok->SetModalResult(mrOk);
    Ok->SetParent(Form);
    Cancel = new TFxButton(Form);
    Cancel->SetBounds(100, 60, 80, 25);
    Cancel->SetModalResult(mrCancel);
    Cancel->SetParent(Form);
  }
  ~TDialog() { delete Form; }
};

// Ends a modal loop that would otherwise hang the test run.
struct TWatchdog {
  TTimer T{nullptr};
  explicit TWatchdog(TCustomForm* f) {
    T.SetInterval(5000);
    T.SetOnTimer(TNotifyEvent::Lambda([f](TObject*) { f->SetModalResult(mrAbort); }));
  }
};

}  // namespace

TEST(ModalForms, ShowModalReturnsTheResultOfAButtonClickedFromAPostedMessage) {
  TDialog d;
  TWatchdog dog(d.Form);
  std::vector<std::string> seen;
  d.Form->OnShow = TNotifyEvent::Lambda([&](TObject*) { seen.push_back("show"); });
  d.Form->OnClose = TCloseEvent::Lambda([&](TObject*, TCloseAction& a) {
    seen.push_back("close " + EnumName(a));
  });
  d.Form->OnHide = TNotifyEvent::Lambda([&](TObject*) { seen.push_back("hide"); });
  HWND clicker = AllocateHWnd([&](TMessage& M) {
    if (M.Msg == WM_USER + 1) {
      seen.push_back(d.Form->Visible() ? "clicking in a visible form" : "form hidden");
      Click(d.Ok, {5, 5});
    }
  });
  PostMessage(clicker, WM_USER + 1, 0, 0);
  int r = d.Form->ShowModal();
  DeallocateHWnd(clicker);
  EXPECT_EQ(r, mrOk);
  EXPECT_EQ(seen, (std::vector<std::string>{"show", "clicking in a visible form", "close caHide", "hide"}));
  EXPECT_FALSE(d.Form->Visible());
  EXPECT_FALSE(d.Form->FormState().Contains(fsModal));
}

TEST(ModalForms, TimersCloseAndCloseQueryDecideTheResult) {
  struct Case {
    const char* what;
    std::function<void(TDialog&)> act;  // run from a timer inside the loop
    int vetoes;                         // OnCloseQuery refuses this many times
    int expected;
  };
  const Case cases[] = {
      {"timer sets the result", [](TDialog& d) { d.Form->SetModalResult(mrYes); }, 0, mrYes},
      {"Close is Cancel", [](TDialog& d) { d.Form->Close(); }, 0, mrCancel},
      {"veto then yes", [](TDialog& d) { d.Form->SetModalResult(mrRetry); }, 2, mrRetry},
      {"cancel button", [](TDialog& d) { Click(d.Cancel, {3, 3}); }, 0, mrCancel},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TDialog d;
    TWatchdog dog(d.Form);
    int queries = 0;
    d.Form->OnCloseQuery = TCloseQueryEvent::Lambda([&](TObject*, bool& can) { can = ++queries > c.vetoes; });
    TTimer t(nullptr);
    t.SetInterval(10);
    t.SetOnTimer(TNotifyEvent::Lambda([&](TObject*) { c.act(d); }));
    EXPECT_EQ(d.Form->ShowModal(), c.expected);
    EXPECT_EQ(queries, c.vetoes + 1);
  }
}

TEST(ModalForms, OtherWindowsWaitWhileTheModalFormIsUpAndAVisibleFormCannotBeModal) {
  TForm other(nullptr);
  other.SetBounds(10, 10, 100, 100);
  other.Show();
  TDialog d;
  TWatchdog dog(d.Form);
  bool otherEnabledInside = true;
  int level = 0;
  TTimer t(nullptr);
  t.SetInterval(10);
  t.SetOnTimer(TNotifyEvent::Lambda([&](TObject*) {
    otherEnabledInside = IsWindowEnabled(other.Handle());
    level = Application->ModalLevel();
    d.Form->SetModalResult(mrOk);
  }));
  d.Form->ShowModal();
  t.SetEnabled(false);
  EXPECT_FALSE(otherEnabledInside);
  EXPECT_EQ(level, 1);
  EXPECT_TRUE(IsWindowEnabled(other.Handle()));
  EXPECT_EQ(Application->ModalLevel(), 0);
  try {
    other.ShowModal();
    FAIL() << "no exception";
  } catch (const EInvalidOperation& e) {
    EXPECT_EQ(e.Message(), "Cannot make a visible window modal");
  }
}

// ---------------------------------------------------------------- closing

TEST(Forms, CloseActionsHideFreeMinimizeOrKeepTheForm) {
  struct Case {
    TCloseAction action;
    bool exists, visible;
  };
  const Case cases[] = {{caNone, true, true}, {caHide, true, false}, {caMinimize, true, true}, {caFree, false, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(EnumName(c.action));
    auto* f = new TForm(Application);
    f->SetBounds(30, 30, 200, 100);
    bool destroyed = false;
    f->OnDestroy = TNotifyEvent::Lambda([&](TObject*) { destroyed = true; });
    f->OnClose = TCloseEvent::Lambda([&](TObject*, TCloseAction& a) {
      EXPECT_EQ(a, caHide);
      a = c.action;
    });
    f->Show();
    f->Close();
    Application->ProcessMessages();
    EXPECT_EQ(!destroyed, c.exists);
    if (c.exists) {
      EXPECT_EQ(f->Visible(), c.visible);
      if (c.action == caMinimize) {
        EXPECT_EQ(f->WindowState(), wsMinimized);
      }
      delete f;
    }
  }
}

TEST(Forms, CloseQueryCanVetoAndTheWindowsCloseBoxAsksTheForm) {
  TForm f(nullptr);
  f.SetBounds(30, 30, 200, 100);
  bool allow = false;
  int asks = 0;
  f.OnCloseQuery = TCloseQueryEvent::Lambda([&](TObject*, bool& can) {
    ++asks;
    can = allow;
  });
  f.Show();
  WidgetOf(&f)->close();  // what the close box does
  EXPECT_EQ(asks, 1);
  EXPECT_TRUE(f.Visible());
  allow = true;
  WidgetOf(&f)->close();
  EXPECT_FALSE(f.Visible());
}

class TFrmVis : public TForm {
  KELM_CLASS(TFrmVis, TForm)
public:
  using TForm::TForm;
  int VisibleInCreate = -1;
  void FormCreate(TObject*) { VisibleInCreate = Visible() ? 1 : 0; }
};
KELM_PUBLISH(TFrmVis) { b.Method("FormCreate", &TFrmVis::FormCreate); }

TEST(Forms, VisibleInTheLayoutShowsTheFormAfterOnCreate) {
  RegisterResource("forms/TFrmVis.txt", std::string_view("object FrmVis: TFrmVis\n"
                                                         "  Visible = True\n"
                                                         "  OnCreate = FormCreate\n"
                                                         "end\n"));
  auto* f = CreateForm<TFrmVis>(Application);
  EXPECT_EQ(f->VisibleInCreate, 0);
  EXPECT_TRUE(f->Visible());
  EXPECT_TRUE(WidgetOf(f)->isVisible());
  delete f;
  UnregisterResource("forms/TFrmVis.txt");
}

// ---------------------------------------------------------------- positions

TEST(Forms, PositionPlacesTheFormWhenItFirstShows) {
  TRect work = Screen->PrimaryMonitor()->WorkareaRect();
  TForm owner(nullptr);
  owner.SetBorderStyle(bsNone);
  owner.SetBounds(40, 30, 300, 200);
  owner.Show();
  struct Case {
    TPosition pos;
    TPoint expected;
  };
  const Case cases[] = {
      {poDesigned, {7, 9}},
      {poScreenCenter, {work.Left + (work.Width() - 100) / 2, work.Top + (work.Height() - 60) / 2}},
      {poOwnerFormCenter, {40 + (300 - 100) / 2, 30 + (200 - 60) / 2}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(EnumName(c.pos));
    TForm f(&owner);
    f.SetBorderStyle(bsNone);
    f.SetBounds(7, 9, 100, 60);
    f.SetPosition(c.pos);
    f.Show();
    EXPECT_EQ((TPoint{f.Left(), f.Top()}), c.expected);
  }
}

// Offscreen no window manager acts on a request to maximise: the layer places the window.
TEST(Forms, AMaximizedWindowLiesOnTheWorkAreaAndRestoresToItsBounds) {
  TRect work = Screen->PrimaryMonitor()->WorkareaRect();
  for (bool beforeShowing : {true, false}) {
    SCOPED_TRACE(beforeShowing ? "maximised, then shown" : "shown, then maximised");
    TForm f(nullptr);
    f.SetBounds(30, 40, 320, 240);
    if (beforeShowing) f.SetWindowState(wsMaximized);
    f.Show();
    if (!beforeShowing) f.SetWindowState(wsMaximized);
    EXPECT_EQ(f.BoundsRect(), work);
    EXPECT_EQ(f.WindowState(), wsMaximized);
    f.SetWindowState(wsNormal);
    EXPECT_EQ(f.BoundsRect(), Bounds(30, 40, 320, 240));
    EXPECT_EQ(f.WindowState(), wsNormal);
  }
}

// ---------------------------------------------------------------- data modules

class TDmTest : public TDataModule {
  KELM_CLASS(TDmTest, TDataModule)
public:
  using TDataModule::TDataModule;
  TTimer* Timer1 = nullptr;
  int Created = 0;
  void DataModuleCreate(TObject*) { ++Created; }
  void Timer1Timer(TObject*) {}
};

KELM_PUBLISH(TDmTest) {
  b.Field("Timer1", &TDmTest::Timer1);
  b.Method("DataModuleCreate", &TDmTest::DataModuleCreate);
  b.Method("Timer1Timer", &TDmTest::Timer1Timer);
}

class TFrmUsesDm : public TForm {
  KELM_CLASS(TFrmUsesDm, TForm)
public:
  using TForm::TForm;
  TFxButton* Btn = nullptr;
};
KELM_PUBLISH(TFrmUsesDm) { b.Field("Btn", &TFrmUsesDm::Btn); }

TEST(DataModules, LoadedWithTheirComponentsAndFoundByOtherForms) {
  RegisterResource("forms/TDmTest.txt", std::string_view("object DmTest: TDmTest\n"
                                                         "  OldCreateOrder = False\n"
                                                         "  OnCreate = DataModuleCreate\n"
                                                         "  Left = 192\n"
                                                         "  Top = 107\n"
                                                         "  Height = 150\n"
                                                         "  Width = 215\n"
                                                         "  object Timer1: TTimer\n"
                                                         "    Enabled = False\n"
                                                         "    Interval = 250\n"
                                                         "    OnTimer = Timer1Timer\n"
                                                         "  end\n"
                                                         "end\n"));
  RegisterResource("forms/TFrmUsesDm.txt", std::string_view("object FrmUsesDm: TFrmUsesDm\n"
                                                            "  object Btn: TFxButton\n"
                                                            "    Buddy = DmTest.Timer1\n"
                                                            "  end\n"
                                                            "end\n"));
  // The form is made first; its reference into the data module is set once that exists.
  auto* f = CreateForm<TFrmUsesDm>(Application);
  EXPECT_EQ(f->Btn->Buddy(), nullptr);
  TDmTest* dm = nullptr;
  Application->CreateForm<TDmTest>(&dm);
  ASSERT_NE(dm, nullptr);
  EXPECT_EQ(dm->Created, 1);
  ASSERT_NE(dm->Timer1, nullptr);
  EXPECT_EQ(dm->Timer1->Interval(), 250u);
  EXPECT_FALSE(dm->Timer1->Enabled());
  EXPECT_EQ(MethodName(dm->Timer1->OnTimer().Method()), "Timer1Timer");
  EXPECT_EQ(f->Btn->Buddy(), dm->Timer1);
  EXPECT_EQ(Screen->DataModuleCount(), 1);
  EXPECT_EQ(Screen->DataModules(0), dm);
  bool destroyed = false;
  dm->OnDestroy = TNotifyEvent::Lambda([&](TObject*) { destroyed = true; });
  delete dm;
  EXPECT_TRUE(destroyed);
  EXPECT_EQ(Screen->DataModuleCount(), 0);
  delete f;
  UnregisterResource("forms/TDmTest.txt");
  UnregisterResource("forms/TFrmUsesDm.txt");
}

TEST(DataModules, AModuleAndAFrameWriteTheComponentsTheyOwnBeforeTheirControls) {
  auto* dm = new TDmTest(Application);
  dm->SetName("DmTest");
  auto* t1 = new TTimer(dm);
  t1->SetName("Timer1");
  t1->SetInterval(250);
  auto* t2 = new TTimer(dm);
  t2->SetName("Timer2");
  String text = WriteComponentToText(dm);
  auto first = text.find("object Timer1: TTimer"), second = text.find("object Timer2: TTimer");
  EXPECT_TRUE(first < second && second != String::npos) << "in creation order\n" << text;
  EXPECT_NE(text.find("Interval = 250"), String::npos) << text;
  delete dm;
  auto* again = new TDmTest(Application);
  ReadComponentFromText(again, text);
  ASSERT_NE(again->Timer1, nullptr);
  EXPECT_EQ(again->Timer1->Interval(), 250u);
  EXPECT_NE(again->FindComponent("Timer2"), nullptr);
  delete again;

  // A frame as the root of its layout.
  auto* frame = new TFrame(Application);
  static_cast<TComponent*>(frame)->SetName("Frame1");
  auto* btn = new TFxButton(frame);
  static_cast<TComponent*>(btn)->SetName("Btn");
  btn->SetParent(frame);
  auto* timer = new TTimer(frame);
  timer->SetName("FrameTimer");
  String ft = WriteComponentToText(frame);
  auto tpos = ft.find("object FrameTimer: TTimer"), bpos = ft.find("object Btn: TFxButton");
  EXPECT_TRUE(tpos < bpos && bpos != String::npos) << ft;
  delete frame;
}

TEST_F(FormsFixture, ALoadedFormWritesBackALayoutThatReadsToTheSameForm) {
  auto* f = CreateForm<TFrmLayout>(Application);
  String text = WriteComponentToText(f);
  for (const char* line : {"object FrmLayout: TFrmLayout", "BorderStyle = bsSingle", "Caption = '合同列表'",
                           "ClientHeight = 300", "ClientWidth = 400", "KeyPreview = True", "OnCreate = FormCreate",
                           "object PanelTop: TFxPanel", "Align = alTop", "Color = clRed", "OnClick = BtnAddClick",
                           "Align = alLeft", "Color = clBlue"})
    EXPECT_NE(text.find(line), String::npos) << line << "\n" << text;
  for (const char* absent : {"Visible", "WindowState", "FormStyle", "Anchors", "ParentFont"})
    EXPECT_EQ(text.find(absent), String::npos) << absent << " holds its default\n" << text;
  delete f;
  RegisterResource("forms/TFrmLayout.txt", text);
  auto* again = CreateForm<TFrmLayout>(Application);
  again->Show();
  EXPECT_EQ(again->ClientWidth(), 400);
  EXPECT_EQ(again->PanelTop->BoundsRect(), Rect(0, 0, 400, 41));
  EXPECT_EQ(again->PanelLeft->BoundsRect(), Rect(0, 0, 120, 259));
  EXPECT_EQ(again->BtnAdd->Caption(), "添加");
  EXPECT_EQ(MethodName(again->BtnAdd->OnClick.Method()), "BtnAddClick");
  delete again;
}

TEST(Forms, BorderStyleDecidesTheFrameAndTheKindOfWindow) {
  struct Case {
    TFormBorderStyle style;
    int extraW, extraH;  // frame around the client area, classic sizes at 96 DPI
    Qt::WindowType kind;
    bool frameless;
  };
  const Case cases[] = {
      {bsNone, 0, 0, Qt::Window, true},          {bsSingle, 6, 25, Qt::Window, false},
      {bsSizeable, 8, 27, Qt::Window, false},    {bsDialog, 6, 25, Qt::Dialog, false},
      {bsToolWindow, 6, 21, Qt::Tool, false},    {bsSizeToolWin, 8, 23, Qt::Tool, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(EnumName(c.style));
    TForm f(nullptr);
    f.SetBorderStyle(c.style);
    f.SetClientWidth(300);
    f.SetClientHeight(200);
    EXPECT_EQ(f.Width(), 300 + c.extraW);
    EXPECT_EQ(f.Height(), 200 + c.extraH);
    f.Show();
    EXPECT_EQ(WidgetOf(&f)->size(), QSize(300, 200)) << "the window manager draws the frame around the client";
    Qt::WindowFlags flags = WidgetOf(&f)->windowFlags();
    EXPECT_EQ(flags & Qt::WindowType_Mask, c.kind);
    EXPECT_EQ(bool(flags & Qt::FramelessWindowHint), c.frameless);
    EXPECT_FALSE(flags & Qt::WindowStaysOnTopHint);
    f.SetFormStyle(fsStayOnTop);
    EXPECT_TRUE(WidgetOf(&f)->windowFlags() & Qt::WindowStaysOnTopHint);
  }
}

// A shown window freed while another is shown: the window system's activations of the two
// cross in its queue. They settle on the window shown last, and the loop comes back.
TEST(Forms, ActivationsThatCrossSettleOnTheWindowShownLast) {
  auto* main = new TForm(Application);
  main->SetBounds(0, 0, 300, 200);
  main->Show();
  Application->ProcessMessages();
  for (int round = 0; round < 3; ++round) {
    auto* first = new TForm(Application);
    first->SetBounds(40, 40, 200, 100);
    first->Show();
    Application->ProcessMessages();
    EXPECT_EQ(Screen->ActiveCustomForm(), first);
    delete first;
    auto* second = new TForm(Application);
    second->SetBounds(60, 60, 200, 100);
    second->Show();
    int activations = 0;
    second->OnActivate = TNotifyEvent::Lambda([&](TObject*) { ++activations; });
    // Bounded: a ping-pong between the windows would never empty the queue.
    for (int i = 0; i < 50; ++i) {
      Application->ProcessMessages();
      QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    EXPECT_EQ(Screen->ActiveCustomForm(), second);
    EXPECT_LE(activations, 1);
    delete second;
  }
  delete main;
}
