#pragma once
// Actions and action lists. An action holds what a command looks like and whether it can run
// (Caption, Enabled, Visible, Checked, ImageIndex, ShortCut, ...) and what it does (OnExecute);
// menu items, buttons and tool buttons bound to it (its clients) follow its state through
// their action links, so disabling an action disables every control that runs it.
//
// An action list groups actions (by Category), answers their shortcuts for its form, and
// may take over their execution and updates (OnExecute / OnUpdate with Handled). Layouts
// write actions inside their list, though the form owns them:
//
//   object ActionList1: TActionList
//     Images = Image_Tool
//     object PactAdd: TAction
//       Category = 'pact'
//       Caption = '添加'
//       OnExecute = PactAddExecute
//     end
//   end
//
// Every client links through the action link of Controls.h: a control tells it the values it
// has (a check box its Checked, a tool button its Down and ImageIndex), a menu item all of them.
// Declares TContainedAction, TCustomAction, TAction, TCustomActionList and TActionList.
#include "gui/Controls.h"
#include "gui/ImgList.h"

#include <memory>
#include <vector>

class TCustomActionList;

KELM_ENUM(TActionListState, asNormal, asSuspended, asSuspendedEnabled)
KELM_EVENT(TActionEvent, void(TBasicAction* Action, bool& Handled));

// An action that belongs to an action list.
class TContainedAction : public TBasicAction {
  KELM_CLASS(TContainedAction, TBasicAction)
  template <class B> static void Published(B& b) {
    b.Prop("Category", &TContainedAction::Category, &TContainedAction::SetCategory);
  }
public:
  explicit TContainedAction(TComponent* AOwner);
  ~TContainedAction() override;

  TCustomActionList* ActionList() const { return FActionList; }
  void SetActionList(TCustomActionList* Value);
  // The position in the list, -1 outside one.
  int Index() const;
  void SetIndex(int Value);
  const String& Category() const { return FCategory; }
  void SetCategory(const String& Value);

  // The list's OnExecute may handle it first; else OnExecute; without one the action is
  // offered to the controls of the active form and the main form as its target.
  bool Execute() override;
  // The list's OnUpdate may handle it first; else OnUpdate; else a target's update, as above.
  bool Update() override;

  bool HasParent() const override { return FActionList != nullptr; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* Value) override;

private:
  friend class TCustomActionList;
  TCustomActionList* FActionList = nullptr;
  String FCategory;
};

// The state every client shows. A changed value goes to each client that still shows the
// old one (Enabled and Visible go to every client). A changed Caption goes to every client:
// a client whose own caption was set after binding shows it until the action's Caption
// changes.
class TCustomAction : public TContainedAction {
  KELM_CLASS(TCustomAction, TContainedAction)
  template <class B> static void Published(B& b) {
    b.Prop("AutoCheck", &TCustomAction::AutoCheck, &TCustomAction::SetAutoCheck).Default(false);
    b.Prop("Caption", &TCustomAction::Caption, &TCustomAction::SetCaption);
    b.Prop("Checked", &TCustomAction::Checked, &TCustomAction::SetChecked).Default(false);
    b.Prop("DisableIfNoHandler", &TCustomAction::DisableIfNoHandler, &TCustomAction::SetDisableIfNoHandler)
        .Default(true);
    b.Prop("Enabled", &TCustomAction::Enabled, &TCustomAction::SetEnabled).Default(true);
    b.Prop("GroupIndex", &TCustomAction::GroupIndex, &TCustomAction::SetGroupIndex).Default(0);
    b.Prop("HelpContext", &TCustomAction::HelpContext, &TCustomAction::SetHelpContext).Default(0);
    b.Prop("Hint", &TCustomAction::Hint, &TCustomAction::SetHint);
    b.Prop("ImageIndex", &TCustomAction::ImageIndex, &TCustomAction::SetImageIndex).Default(-1);
    b.Prop("ShortCut", &TCustomAction::ShortCut, &TCustomAction::SetShortCut).Type("TShortCut").Default(0);
    b.Prop("SecondaryShortCuts", &TCustomAction::SecondaryShortCuts, &TCustomAction::SetSecondaryShortCuts)
        .Stored(&TCustomAction::SecondaryShortCutsStored);
    b.Prop("Visible", &TCustomAction::Visible, &TCustomAction::SetVisible).Default(true);
  }
public:
  explicit TCustomAction(TComponent* AOwner);

  // Updates first; runs only while Enabled (and the list is not suspended). AutoCheck
  // toggles Checked before the handler runs (a checked member of a group stays checked).
  bool Execute() override;
  // The list's or the action's OnUpdate, else a target's; with none, an action without
  // OnExecute is disabled when DisableIfNoHandler says so. Never enables an action by itself.
  bool Update() override;
  // Executes the action for its shortcut; false when it did not run (disabled), so the key
  // goes on to the control.
  virtual bool HandleShortCut();

  const String& Caption() const { return FCaption; }
  void SetCaption(const String& Value);
  bool Checked() const { return FChecked; }
  // Checking an action of a group (GroupIndex > 0) unchecks the others of its list.
  void SetChecked(bool Value);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  const String& Hint() const { return FHint; }
  void SetHint(const String& Value);
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int Value);
  Word ShortCut() const { return FShortCut; }
  void SetShortCut(Word Value);
  // Further keys that run the action (shortcut text forms, "Ctrl+N").
  TStrings* SecondaryShortCuts() const { return FSecondaryShortCuts.get(); }
  void SetSecondaryShortCuts(TStrings* Value);
  int HelpContext() const { return FHelpContext; }
  void SetHelpContext(int Value);
  int GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int Value);
  bool AutoCheck() const { return FAutoCheck; }
  void SetAutoCheck(bool Value) { FAutoCheck = Value; }
  bool DisableIfNoHandler() const { return FDisableIfNoHandler; }
  void SetDisableIfNoHandler(bool Value) { FDisableIfNoHandler = Value; }

  // The key of the action, or one of its secondary keys.
  bool HasShortCut(Word ShortCut) const;
  bool SecondaryShortCutsStored() const { return FSecondaryShortCuts->Count() > 0; }
  // The images of its list (nullptr outside one).
  TCustomImageList* Images() const;

  void Assign(TPersistent* Source) override;

private:
  // Tells OnChange listeners about a state change (clients were told through their links).
  void StateChanged();
  // Unchecks the other actions of this one's group in its list.
  void UncheckGroup();

  String FCaption;
  bool FChecked = false, FEnabled = true, FVisible = true, FAutoCheck = false;
  bool FDisableIfNoHandler = true;
  String FHint;
  int FImageIndex = -1;
  Word FShortCut = 0;
  std::unique_ptr<TStrings> FSecondaryShortCuts;
  int FHelpContext = 0;
  int FGroupIndex = 0;
};

class TAction : public TCustomAction {
  KELM_CLASS(TAction, TCustomAction)
public:
  explicit TAction(TComponent* AOwner) : TCustomAction(AOwner) {}
};

class TCustomActionList : public TComponent, public IShortCutHandler {
  KELM_CLASS(TCustomActionList, TComponent)
  template <class B> static void Published(B& b) {
    b.Prop("Images", &TCustomActionList::Images, &TCustomActionList::SetImages);
    b.Prop("State", &TCustomActionList::State, &TCustomActionList::SetState).Default(asNormal);
    b.Prop("OnChange", &TCustomActionList::OnChange, &TCustomActionList::OnChange);
    b.Prop("OnExecute", &TCustomActionList::OnExecute, &TCustomActionList::OnExecute);
    b.Prop("OnUpdate", &TCustomActionList::OnUpdate, &TCustomActionList::OnUpdate);
  }
public:
  explicit TCustomActionList(TComponent* AOwner);
  // Frees its actions.
  ~TCustomActionList() override;

  int ActionCount() const { return static_cast<int>(FActions.size()); }
  // EListError for a bad index.
  TContainedAction* Actions(int Index) const;
  // The action of that name, without regard to case; nullptr when none.
  TContainedAction* FindAction(const String& Name) const;
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* Value);
  TActionListState State() const { return FState; }
  void SetState(TActionListState Value);

  // OnExecute / OnUpdate of the list with Handled; true when the list handled the action.
  bool ExecuteAction(TBasicAction* Action) override;
  bool UpdateAction(TBasicAction* Action) override;
  // Runs the action whose key the message stands for; false when none ran.
  bool IsShortCut(TMessage& KeyMessage);
  bool HandleShortCut(TMessage& KeyMessage) override { return IsShortCut(KeyMessage); }
  // Updates every action of the list (OnUpdate handlers).
  void UpdateActions();

  TNotifyEvent OnChange;
  TActionEvent OnExecute;
  TActionEvent OnUpdate;

  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
  void SetChildOrder(TComponent* Child, int Order) override;

protected:
  friend class TContainedAction;
  void AddAction(TContainedAction* Action);
  void RemoveAction(TContainedAction* Action);
  virtual void Change();
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  std::vector<TContainedAction*> FActions;
  TCustomImageList* FImages = nullptr;
  std::unique_ptr<TChangeLink> FImageChangeLink;
  TActionListState FState = asNormal;
  bool FDestroying = false;
};

class TActionList : public TCustomActionList {
  KELM_CLASS(TActionList, TCustomActionList)
public:
  explicit TActionList(TComponent* AOwner) : TCustomActionList(AOwner) {}
};
