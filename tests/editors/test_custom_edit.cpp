// The editor base on a shown form, driven with real keys and mouse: the order of its events
// when entering, changing, validating, leaving, reverting and clearing; the default-button
// key; button presses and clicks; value assignments from OnEditing; in-place posting.
#include "EditFixture.h"
#include "GuiTestUtil.h"

#include "gui/Messages.h"

#include <gtest/gtest.h>

using namespace edittest;
using namespace guitest;

namespace {

struct EditorEvents : TEditForm {
  void Focus() {
    Ed->SetFocus();
    Application->ProcessMessages();
  }
  void Type(const char* Text) {
    for (const char* c = Text; *c; ++c) TypeKey(Qt::Key_A + (*c - 'a'), Qt::NoModifier, QString(QChar(*c)));
  }
  // The log without key events.
  Log Plain() const {
    Log r;
    for (auto& e : Events)
      if (e.rfind("OnKey", 0) != 0) r.push_back(e);
    return r;
  }
};

}  // namespace

TEST_F(EditorEvents, EnterAssignmentAndClearKeyFireInOrderAfterTheStore) {
  Focus();
  EXPECT_EQ(Events, Log{"OnEnter"}) << "entering fires OnEnter only";

  Events.clear();
  Ed->SetEditValue("x");
  EXPECT_EQ(Events, (Log{"OnEditValueChanged", "OnChange"}));
  Events.clear();
  Ed->SetEditValue("x");
  EXPECT_TRUE(Events.empty()) << "the same value again changes nothing";

  // The clear key stores Null first; both events then fire once.
  Ed->Properties()->SetClearKey(ShortCut(VK_DELETE, {ssCtrl}));
  auto seen = [this](const char* name) {
    return TNotifyEvent::Lambda([this, name](TObject*) {
      Events.push_back(std::string(name) + (VarIsNull(Ed->EditValue()) ? " null" : " not null"));
    });
  };
  Ed->Properties()->OnChange = seen("OnChange");
  Ed->Properties()->OnEditValueChanged = seen("OnEditValueChanged");
  Events.clear();
  TypeKey(Qt::Key_Delete, Qt::ControlModifier);
  EXPECT_EQ(Plain(), (Log{"OnChange null", "OnEditValueChanged null"}));
  EXPECT_TRUE(Ed->ValueValidated()) << "the cleared value needs no validation";
}

TEST_F(EditorEvents, LockedChangeEventsFireOnceEachOnUnlock) {
  Ed->LockChangeEvents(true);
  Ed->SetEditValue("a");
  Ed->SetEditValue("b");
  Ed->SetEditValue("c");
  EXPECT_TRUE(Events.empty());
  Ed->LockChangeEvents(false);
  EXPECT_EQ(Events, (Log{"OnChange", "OnEditValueChanged"}));
  Events.clear();
  Ed->LockChangeEvents(true);
  Ed->LockChangeEvents(false, false);
  EXPECT_TRUE(Events.empty()) << "nothing was pending";
}

TEST_F(EditorEvents, LeavingWithAValueTheValidationRefuses) {
  struct Case {
    const char* name;
    const char* replacement;  // what OnValidate writes into the display value, or nullptr
    bool emptyText;           // OnValidate clears the error text
    const char* shownAfter;
    bool raises;
  };
  const Case cases[] = {
      {"text kept", nullptr, false, "ab", true},
      {"text changed", "fixed", false, "fixed", true},
      {"error text empty", nullptr, true, "ab", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Ed->Properties()->SetBeepOnError(true);
    Ed->Properties()->OnValidate = TcxEditValidateEvent::Lambda([&](TObject*, Variant& V, String& Text, bool& Error) {
      Events.push_back("OnValidate " + VarToStr(V));
      Error = true;
      if (c.replacement) V = c.replacement;
      if (c.emptyText) Text.clear();
    });
    int beeps = 0;
    SetBeepHook([&](UINT) { ++beeps; });
    TBoxRecorder boxes;
    Ed->SetEditValue("");
    Focus();
    Type("ab");
    Events.clear();
    std::string raised;
    try {
      Other->SetFocus();
      Application->ProcessMessages();
    } catch (const EcxEditValidationError& e) {
      raised = e.Message();
    }
    for (auto& b : boxes.Calls) raised = b.Text;
    SetBeepHook(nullptr);
    // Selected when the error is reported and again when the value is shown back.
    EXPECT_EQ(Plain(), (Log{"OnValidate ab", "select", "select"})) << "no OnExit after a refused value";
    EXPECT_EQ(Ed->Text, c.shownAfter);
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(raised, c.raises ? "无效的输入值。 使用ESC键放弃改变" : "");
    EXPECT_TRUE(Ed->Focused()) << "the focus comes back to the editor";
    EXPECT_TRUE(Ed->ChangedSinceEnter());
    // Leave for good with a value the validation takes.
    Ed->Properties()->OnValidate = nullptr;
    Other->SetFocus();
    Application->ProcessMessages();
    ASSERT_FALSE(Ed->Focused());
  }
}

TEST_F(EditorEvents, LeavingWithAValidValuePostsThenFiresTheHeldEventsThenOnExit) {
  Ed->Properties()->OnValidate = TcxEditValidateEvent::Lambda(
      [this](TObject*, Variant& V, String&, bool&) { Events.push_back("OnValidate " + VarToStr(V)); });
  Focus();
  Type("ok");
  Events.clear();
  Other->SetFocus();
  Application->ProcessMessages();
  EXPECT_EQ(Plain(), (Log{"OnValidate ok", "store ok", "OnChange", "OnEditValueChanged", "OnExit"}));
  EXPECT_EQ(VarToStr(Ed->EditValue()), "ok");
  EXPECT_FALSE(Ed->ChangedSinceEnter());
}

TEST_F(EditorEvents, EnterValidatesAndPostsWhenAsked) {
  Ed->Properties()->SetValidateOnEnter(true);
  Focus();
  Type("bad");
  Events.clear();
  TBoxRecorder boxes;
  std::string raised;
  try {
    TypeKey(Qt::Key_Return, Qt::NoModifier, "\r");
  } catch (const EcxEditValidationError& e) {
    raised = e.Message();
  }
  for (auto& b : boxes.Calls) raised = b.Text;
  EXPECT_EQ(raised, "无效的输入值。 使用ESC键放弃改变") << "the test properties refuse \"bad\"";
  EXPECT_TRUE(Ed->Focused());
  EXPECT_EQ(std::count(Events.begin(), Events.end(), "store bad"), 0);

  Ed->Text = "good";
  Events.clear();
  TypeKey(Qt::Key_Return, Qt::NoModifier, "\r");
  EXPECT_EQ(Plain(), (Log{"store good", "OnChange", "OnEditValueChanged"}));
  EXPECT_EQ(Events.front(), "OnKeyDown 13") << "OnKeyDown comes first";
}

TEST_F(EditorEvents, EscapeRestoresTheValueOnEnterAndSwallowsItsCharacter) {
  Ed->SetEditValue("start");
  Focus();
  Type("x");
  EXPECT_EQ(Ed->Text, "startx");
  Events.clear();
  TypeKey(Qt::Key_Escape, Qt::NoModifier, QString(QChar(27)));
  EXPECT_EQ(Ed->Text, "start");
  EXPECT_EQ(VarToStr(Ed->EditValue()), "start");
  EXPECT_FALSE(Ed->ChangedSinceEnter());
  EXPECT_EQ(std::count(Events.begin(), Events.end(), "OnKeyPress 27"), 0) << "the Escape character is swallowed";

  Events.clear();
  TypeKey(Qt::Key_Escape, Qt::NoModifier, QString(QChar(27)));
  EXPECT_EQ(Events, (Log{"OnKeyDown 27", "OnKeyPress 27"})) << "with nothing changed it is an ordinary key";
}

TEST_F(EditorEvents, DefaultButtonKey) {
  struct Case {
    const char* name;
    int defaultButton;  // -1: none
    bool enabled;
    Log expected;
  };
  const Case cases[] = {
      {"default button", 1, true, {"click 1"}},
      {"no default button", -1, true, {"OnKeyDown 13", "OnKeyPress 10"}},  // Ctrl+Enter types a line feed
      {"disabled default button", 1, false, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TcxEditButtons* b = Ed->Properties()->Buttons();
    for (int i = 0; i < b->Count(); ++i) {
      b->Items(i)->SetDefault(false);
      b->Items(i)->SetEnabled(true);
    }
    if (c.defaultButton >= 0) {
      b->Items(c.defaultButton)->SetDefault(true);
      b->Items(c.defaultButton)->SetEnabled(c.enabled);
    }
    Focus();
    Events.clear();
    TypeKey(Qt::Key_Return, Qt::ControlModifier, "\r");
    EXPECT_EQ(Events, c.expected);
  }
}

TEST_F(EditorEvents, ValuesAssignedFromOnEditingAreIgnored) {
  Ed->SetEditValue("before");
  Ed->OnEditing = TcxEditEditingEvent::Lambda([this](TObject*, bool&) {
    Events.push_back("OnEditing");
    Ed->SetEditValue("sneaky");
  });
  Focus();
  Events.clear();
  Type("a");
  EXPECT_EQ(std::count(Events.begin(), Events.end(), "OnEditing"), 1);
  EXPECT_EQ(VarToStr(Ed->EditValue()), "before");
  Events.clear();
  Type("b");
  EXPECT_EQ(std::count(Events.begin(), Events.end(), "OnEditing"), 0) << "editing was granted already";

  // Refused editing keeps the character out.
  Ed->OnEditing = TcxEditEditingEvent::Lambda([](TObject*, bool& CanEdit) { CanEdit = false; });
  Other->SetFocus();
  Application->ProcessMessages();
  const String before = Ed->Text;
  Focus();
  Type("c");
  EXPECT_EQ(Ed->Text, before);
}

TEST_F(EditorEvents, ButtonPressReleaseAndClick) {
  struct Case {
    const char* name;
    std::vector<TPoint> path;  // moves with the left button held, after the press on button 0
    bool releaseOnButton;
    Log expected;
  };
  const Case cases[] = {
      {"release on the button", {}, true, {"pressed 0", "released 0", "click 0"}},
      {"release elsewhere", {{5, 5}}, false, {"pressed 0", "released 0"}},
      {"off and back", {{5, 5}, {-1, -1}}, true, {"pressed 0", "released 0", "pressed 0", "released 0", "click 0"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const TPoint on = ButtonCentre(0);
    Focus();
    Events.clear();
    Press(Ed, on);
    Application->ProcessMessages();
    for (TPoint p : c.path) {
      Move(Ed, p.X < 0 ? on : p, Qt::LeftButton);
      Application->ProcessMessages();
    }
    if (!c.path.empty() && c.path.back().X < 0)
      EXPECT_EQ(Ed->ViewInfo()->Buttons[0]->State, ebsPressed) << "dragged back over the captured button";
    Release(Ed, c.releaseOnButton ? on : TPoint{5, 5});
    Application->ProcessMessages();
    EXPECT_EQ(Plain(), c.expected);
    Move(Ed, {5, 5});
    Application->ProcessMessages();
  }
}

TEST_F(EditorEvents, AcceleratorOfAButtonCaptionClicksIt) {
  TcxEditButton* b = Ed->Properties()->Buttons()->Items(1);
  b->SetKind(bkText);
  b->SetCaption("&Go");
  Events.clear();
  TMessage m{CM_DIALOGCHAR, 'g', 0, 0};
  Ed->Dispatch(m);
  EXPECT_EQ(m.Result, 1);
  EXPECT_EQ(Events, Log{"click 1"});
  b->SetEnabled(false);
  Events.clear();
  TMessage again{CM_DIALOGCHAR, 'g', 0, 0};
  Ed->Dispatch(again);
  EXPECT_EQ(again.Result, 0);
  EXPECT_TRUE(Events.empty()) << "a disabled button ignores its accelerator";
}

TEST_F(EditorEvents, InPlacePostFiresOnInplacePostAndStoresNothing) {
  auto* host = new TTestEdit(Form, true);
  host->Events = &Events;
  host->Binding()->Events = &Events;
  host->SetParent(Form);
  host->SetBounds(10, 60, 150, 20);
  host->OnInplacePost = TNotifyEvent::Lambda([this](TObject*) { Events.push_back("OnInplacePost"); });
  host->Properties()->SetValidateOnEnter(true);
  TcxCustomEditData* data = nullptr;
  host->StartInPlaceEditing(data);
  Application->ProcessMessages();
  ASSERT_TRUE(host->Focused());
  Events.clear();
  Type("v");
  TypeKey(Qt::Key_Return, Qt::NoModifier, "\r");
  EXPECT_EQ(std::count(Events.begin(), Events.end(), "OnInplacePost"), 1);
  for (auto& e : Events) EXPECT_NE(e.rfind("store", 0), 0u) << "an in-place editor never stores through its binding";
  EXPECT_FALSE(host->ValueModified());
  EXPECT_EQ(VarToStr(host->EditValue()), "v");
}

TEST_F(EditorEvents, AFailedStoreFocusesSelectsAndBeepsBeforeTheErrorGoesOn) {
  Ed->Binding()->Fail = true;
  Ed->Properties()->SetBeepOnError(true);
  int beeps = 0;
  SetBeepHook([&](UINT) { ++beeps; });
  Ed->SetEditValue("v");
  Ed->SetChangedSinceEnter(true);
  Events.clear();
  EXPECT_THROW(Ed->CommitEditValue(false), Exception);
  SetBeepHook(nullptr);
  EXPECT_EQ(Plain(), (Log{"store v", "select"}));
  EXPECT_EQ(beeps, 1);
  EXPECT_TRUE(Ed->ValueModified()) << "the editor stays modified";
}

TEST_F(EditorEvents, ClipboardMessagesChangeTheValueOnlyWhereItMayChange) {
  struct Case {
    UINT msg;
    bool readOnly;
    Log expected;
  };
  const Case cases[] = {
      {WM_COPY, false, {"copy"}},          {WM_COPY, true, {"copy"}},
      {WM_CUT, false, {"cut as user"}},    {WM_CUT, true, {"copy as user"}},
      {WM_PASTE, false, {"paste as user"}}, {WM_PASTE, true, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.msg) + (c.readOnly ? " read-only" : ""));
    Ed->Properties()->SetReadOnly(c.readOnly);
    Events.clear();
    Ed->Perform(c.msg, 0, 0);
    EXPECT_EQ(Events, c.expected);
    EXPECT_FALSE(Ed->UserChangeMode()) << "only for the message's duration";
  }
}

// The in-place paths, driven as a host (a grid, say) would drive them.
namespace {
struct InPlaceHost : EditorEvents {
  TTestEdit* Cell = nullptr;
  void SetUp() override {
    EditorEvents::SetUp();
    Cell = new TTestEdit(Form, true);
    Cell->Events = &Events;
    Cell->Binding()->Events = &Events;
    Cell->SetVisible(false);
    Cell->SetParent(Form);
    Cell->SetBounds(20, 60, 150, 20);
    Cell->Properties()->Buttons()->Add()->SetKind(bkEllipsis);
    Cell->Properties()->OnButtonClick = TcxEditButtonClickEvent::Lambda(
        [this](TObject*, int i) { Events.push_back("cell click " + std::to_string(i)); });
    Application->ProcessMessages();
  }
};
}  // namespace

TEST_F(InPlaceHost, ActivationByKeySendsTheKeyAsTyped) {
  TcxCustomEditData* data = nullptr;
  Cell->StartInPlaceEditingByKey(U'q', data);
  Application->ProcessMessages();
  ASSERT_NE(data, nullptr) << "the editor made the host's data";
  EXPECT_TRUE(Cell->Visible());
  EXPECT_TRUE(Cell->Focused());
  EXPECT_EQ(Cell->Text, "q");
  EXPECT_EQ(std::count(Events.begin(), Events.end(), "reset"), 1) << "a new data asks for a reset once";
  // The host hands the same data again: no reset until it asks for one.
  Events.clear();
  Cell->StartInPlaceEditing(data);
  EXPECT_EQ(std::count(Events.begin(), Events.end(), "reset"), 0);
  data->RequestReset();
  EXPECT_EQ(std::count(Events.begin(), Events.end(), "reset"), 1);
  delete Cell;
  Cell = nullptr;
  EXPECT_EQ(data->Edit, nullptr) << "the data forgets a freed editor";
  data->RequestReset();
  delete data;
}

TEST_F(InPlaceHost, ActivationByMouseOnAButtonPressesItAndAQuickSecondPressIsADoubleClick) {
  Cell->SetVisible(true);
  Application->ProcessMessages();
  const TRect b = Cell->ViewInfo()->Buttons[0]->Bounds;
  ASSERT_FALSE(IsRectEmpty(b));
  // The point is in the parent's client coordinates.
  const TPoint onButton = Cell->ClientToParent({(b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2}, Form);
  TcxCustomEditData* data = nullptr;
  Events.clear();
  Cell->StartInPlaceEditingByMouse({ssLeft}, onButton.X, onButton.Y, data);
  EXPECT_EQ(Plain(), (Log{"reset", "select", "pressed 0"})) << "AutoSelect selects on activation";
  EXPECT_TRUE(Cell->DoubleClickTimer()->Enabled());
  Release(Cell, {5, 5});
  Application->ProcessMessages();

  int doubleClicks = 0;
  Cell->OnDblClick = TNotifyEvent::Lambda([&](TObject*) { ++doubleClicks; });
  Cell->StartInPlaceEditingByMouse({}, 0, 0, data);
  ASSERT_TRUE(Cell->DoubleClickTimer()->Enabled());
  Press(Cell, {5, 5}, Qt::LeftButton, 10);
  Release(Cell, {5, 5});
  EXPECT_EQ(doubleClicks, 1) << "the press right after the activation is the second click";
  EXPECT_FALSE(Cell->DoubleClickTimer()->Enabled());
  delete data;
}

// An editor with an inner platform edit, as the text editor will have.
namespace {
class TInnerEdit : public TEdit, public IcxCustomInnerEdit {
public:
  explicit TInnerEdit(TComponent* AOwner) : TEdit(AOwner) { SetAutoSize(false); }
  TWinControl* HostedControl() override { return this; }
  TcxContainer* HostingContainer() override { return dynamic_cast<TcxContainer*>(Parent()); }
  LRESULT CallDefWndProc(UINT Msg, WPARAM W, LPARAM L) override { return Perform(Msg, W, L); }
  Variant GetEditValue() override { return Text(); }
  TNotifyEvent GetOnChange() override { return OnChange; }
  bool GetReadOnly() override { return ReadOnly(); }
  void LockBounds(bool) override {}
  void SafelySetFocus() override {
    if (CanFocus()) SetFocus();
  }
  void SetEditValue(const Variant& V) override { SetText(VarToStr(V)); }
  void SetParent(TWinControl* Value) override { TEdit::SetParent(Value); }
  void SetOnChange(const TNotifyEvent& Value) override { OnChange = Value; }
  void SetReadOnly(bool Value) override { TEdit::SetReadOnly(Value); }
};

class THostingEdit : public TTestEdit {
public:
  // Built deferred: the inner edit is asked for after this class's own constructor began.
  explicit THostingEdit(TComponent* AOwner) : TTestEdit(AOwner, true, TDeferInitialize{}) { InitializeEdit(); }
  TcxCustomInnerEditClass InnerEditClass() override {
    return [](TcxCustomEdit* E) -> IcxCustomInnerEdit* { return new TInnerEdit(E); };
  }
  int Hooked = 0;  // messages the editor's procedure saw in front of the inner edit's
  void InnerEditWindowProc(TMessage& M) override {
    ++Hooked;
    TTestEdit::InnerEditWindowProc(M);
  }
};
}  // namespace

TEST_F(EditorEvents, AnInnerEditIsHostedAndItsWindowProcedureIsGivenBackAfterActivation) {
  auto* host = new THostingEdit(Form);
  host->Events = &Events;
  host->SetParent(Form);
  host->SetBounds(10, 60, 150, 20);
  Application->ProcessMessages();
  ASSERT_NE(host->InnerEdit(), nullptr);
  auto* inner = static_cast<TInnerEdit*>(host->InnerEdit()->HostedControl());
  EXPECT_EQ(inner->Parent(), host);
  EXPECT_EQ(host->HostedControl(), inner);
  EXPECT_EQ(inner->BoundsRect(), host->ViewInfo()->ContentRect) << "placed in the content";

  // While the editor's procedure stands in front, messages pass through it to the edit.
  host->HookInnerEditWindowProc();
  EXPECT_FALSE(inner->WindowProcIsOwn());
  inner->Perform(WM_SETTEXT, 0, reinterpret_cast<LPARAM>("abc"));
  EXPECT_GE(host->Hooked, 1);
  EXPECT_EQ(inner->Text(), "abc");
  host->UnhookInnerEditWindowProc();
  EXPECT_TRUE(inner->WindowProcIsOwn());

  TcxCustomEditData* data = nullptr;
  host->StartInPlaceEditingByKey(U'x', data);
  EXPECT_TRUE(inner->WindowProcIsOwn()) << "given back after the activation";
  // A change of the inner edit is a change of the editor.
  host->Properties()->OnChange = TNotifyEvent::Lambda([this](TObject*) { Events.push_back("OnChange"); });
  Events.clear();
  inner->SetText("changed");
  EXPECT_EQ(std::count(Events.begin(), Events.end(), "OnChange"), 1);
  // The read-only state reaches the inner edit.
  host->Properties()->SetReadOnly(true);
  EXPECT_TRUE(inner->ReadOnly());
  delete data;
}
