#pragma once
// Actions at their root, and the link through which a client (menu item, control) follows
// one. They live below the controls so that any component, a data link too, can be the
// target an action acts on. Declares TBasicAction and TBasicActionLink.
#include "core/Component.h"
#include "core/Events.h"
#include "core/Variant.h"

#include <vector>

// The root of actions: Execute runs OnExecute, Update runs OnUpdate. Clients link to an
// action through an action link and follow its changes.
//
// An action without a handler of its own may act on a target instead: the components it is
// offered to (ExecuteAction / UpdateAction, the focused control first) ask HandlesTarget,
// and the one it accepts is acted on by ExecuteTarget or has its state shown by UpdateTarget
// (a "next record" action accepts a data source and moves its dataset).
class TBasicActionLink;

class TBasicAction : public TComponent {
  KELM_CLASS(TBasicAction, TComponent)
  template <class B> static void Published(B& b) {
    b.Prop("OnExecute", &TBasicAction::OnExecute, &TBasicAction::OnExecute);
    b.Prop("OnUpdate", &TBasicAction::OnUpdate, &TBasicAction::OnUpdate);
  }
public:
  explicit TBasicAction(TComponent* AOwner);
  ~TBasicAction() override;

  virtual bool Execute();  // true when OnExecute ran
  virtual bool Update();   // true when OnUpdate ran
  virtual bool HandlesTarget(TObject* Target) { return false; }
  virtual void ExecuteTarget(TObject* Target) {}
  virtual void UpdateTarget(TObject* Target) {}
  // Whether the action looks for a target among the controls when no handler of its own
  // runs; only actions that take a target do, so the others cost no walk of the windows.
  virtual bool SeeksTarget() const { return false; }
  // Offers the action to Target: run (Execute) or updated for it when it handles it.
  bool ActOn(TObject* Target, bool Execute);
  TComponent* ActionComponent() const { return FActionComponent; }
  void SetActionComponent(TComponent* v) { FActionComponent = v; }
  void RegisterChanges(TBasicActionLink* Link);
  void UnRegisterChanges(TBasicActionLink* Link);
  const std::vector<TBasicActionLink*>& Clients() const { return FClients; }

  TNotifyEvent OnExecute;
  TNotifyEvent OnUpdate;
  TNotifyEvent OnChange;

protected:
  virtual void Change();
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  std::vector<TBasicActionLink*> FClients;
  TComponent* FActionComponent = nullptr;
};

// The values an action shows on its clients, by the action's published property of that name.
enum TActionLinkProp { alpCaption, alpChecked, alpEnabled, alpHelpContext, alpHint, alpImageIndex, alpShortCut, alpVisible };

// A client's view of its action; every kind of client (controls, menu items) links through
// it the same way.
//
// - The action calls the Set* methods with a new value before it stores it: the value
//   reaches the client while the client still shows the action's old value (Is*Linked), so a
//   value the client was given of its own stays; Enabled and Visible reach it always.
// - ShowAction shows all the action's values on the client: when it is bound, after loading
//   (CheckDefaults: only where the client still shows its own default) and when the action
//   changed as a whole (Change, which runs OnChange with the action as Sender).
//
// The link reads the action through its published properties, so it serves any action
// class, and the client through ClientValue / SetClientValue, which a client kind implements
// for the values it has (a check box has Checked, a tool button Checked and ImageIndex).
class TBasicActionLink : public TObject {
public:
  explicit TBasicActionLink(TObject* AClient) : FClient(AClient) {}
  ~TBasicActionLink() override;

  TBasicAction* Action() const { return FAction; }
  void SetAction(TBasicAction* Value);
  virtual bool Execute(TComponent* AComponent = nullptr);
  virtual bool Update();
  virtual void Change();

  bool IsLinked(TActionLinkProp Prop) const;
  bool IsCaptionLinked() const { return IsLinked(alpCaption); }
  bool IsCheckedLinked() const { return IsLinked(alpChecked); }
  bool IsEnabledLinked() const { return IsLinked(alpEnabled); }
  bool IsHintLinked() const { return IsLinked(alpHint); }
  bool IsImageIndexLinked() const { return IsLinked(alpImageIndex); }
  bool IsShortCutLinked() const { return IsLinked(alpShortCut); }
  bool IsVisibleLinked() const { return IsLinked(alpVisible); }
  bool IsOnExecuteLinked() const;
  // A new value of the action, passed on while linked.
  void Pass(TActionLinkProp Prop, const Variant& Value);
  void SetCaption(const String& Value) { Pass(alpCaption, Value); }
  void SetChecked(bool Value) { Pass(alpChecked, Value); }
  void SetEnabled(bool Value) { Pass(alpEnabled, Value); }
  void SetHint(const String& Value) { Pass(alpHint, Value); }
  void SetImageIndex(int Value) { Pass(alpImageIndex, Value); }
  void SetShortCut(int Value) { Pass(alpShortCut, Value); }
  void SetVisible(bool Value) { Pass(alpVisible, Value); }
  void SetOnExecute(const TNotifyEvent& Value);
  void ShowAction(bool CheckDefaults);

  // ---- the client's side
  // The client's value, false when the client has no such value.
  virtual bool ClientValue(TActionLinkProp Prop, Variant& Value) const { return false; }
  // Shows a value on the client, whatever it showed before.
  virtual void SetClientValue(TActionLinkProp Prop, const Variant& Value) {}
  // The client's click handler, which runs the action's OnExecute.
  virtual TNotifyEvent* ClientOnClick() { return nullptr; }

  TNotifyEvent OnChange;

private:
  bool ActionValue(TActionLinkProp Prop, Variant& Value) const;
  TObject* FClient;
  TBasicAction* FAction = nullptr;
};
