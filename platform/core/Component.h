#pragma once
// TComponent: ownership, names, free notification and loading state. Collections are in
// Collection.h, included here.
#include "core/Collection.h"
#include "core/Persistent.h"
#include <functional>
#include <vector>

class TBasicAction;
class TComponent;
class TReader;
class TWriter;

KELM_ENUM(TOperation, opInsert, opRemove)
KELM_ENUM(TComponentStateItem, csLoading, csReading, csWriting, csDestroying, csDesigning, csAncestor,
          csUpdating, csFixups, csFreeNotification, csInline, csDesignInstance)
using TComponentState = TSet<TComponentStateItem>;
KELM_ENUM(TComponentStyleItem, csInheritable, csCheckPropAvail, csSubComponent, csTransient)
using TComponentStyle = TSet<TComponentStyleItem>;

using TGetChildProc = std::function<void(TComponent* Child)>;

class TComponent : public TPersistent {
  KELM_CLASS(TComponent, TPersistent)
  template <class B> static void Published(B& b) {
    b.Prop("Name", &TComponent::Name, &TComponent::SetName).Stored(false);
    b.Prop("Tag", &TComponent::Tag, &TComponent::SetTag).Default(0);
  }
public:
  explicit TComponent(TComponent* AOwner);
  ~TComponent() override;

  TComponent* Owner() const { return FOwner; }
  int ComponentCount() const { return static_cast<int>(FComponents.size()); }
  TComponent* Components(int index) const;
  int ComponentIndex() const;
  void SetComponentIndex(int value);

  const String& Name() const { return FName; }
  // Raises EComponentError for a name that is not an identifier or that another component
  // of the same owner already has (names compare without regard to case).
  virtual void SetName(const String& value);
  Int64 Tag() const { return FTag; }
  void SetTag(Int64 value) { FTag = value; }

  TComponent* FindComponent(const String& name) const;  // owned components, case-insensitive
  void InsertComponent(TComponent* component);
  void RemoveComponent(TComponent* component);
  void DestroyComponents();
  void Destroying();

  // The other component is told (Notification opRemove) when this one is freed.
  void FreeNotification(TComponent* other);
  void RemoveFreeNotification(TComponent* other);

  TComponentState ComponentState() const { return FState; }
  TComponentStyle ComponentStyle() const { return FStyle; }
  void SetComponentStyle(TComponentStyle s) { FStyle = s; }
  void SetSubComponent(bool value);
  void SetDesigning(bool value, bool setChildren = true);
  void SetLoading(bool value);  // used by readers: csLoading + csReading
  void SetReading(bool value);

  // Streaming hooks: children written inside this component, and the parent a child is
  // put back under when read.
  virtual void GetChildren(const TGetChildProc& proc, TComponent* root);
  virtual TComponent* GetChildOwner() { return nullptr; }
  virtual TComponent* GetChildParent() { return this; }
  virtual bool HasParent() const { return false; }
  virtual TComponent* GetParentComponent() const { return nullptr; }
  virtual void SetParentComponent(TComponent* value) {}
  virtual void SetChildOrder(TComponent* child, int order) {}
  virtual void Loaded();
  // Called by readers for each component before its properties are read.
  virtual void ReadState(TReader* reader);
  virtual void WriteState(TWriter* writer);

  TPersistent* GetOwner() const override { return FOwner; }
  String GetNamePath() const override { return FName; }

  // An action offered to this component: when the action accepts it as its target, it acts
  // on it (ExecuteTarget) or shows whether it could (UpdateTarget); false when not accepted.
  virtual bool ExecuteAction(TBasicAction* Action);
  virtual bool UpdateAction(TBasicAction* Action);

protected:
  virtual void Notification(TComponent* component, TOperation operation);
  virtual void ValidateRename(TComponent* component, const String& curName, const String& newName);
  virtual void ChangeName(const String& newName) { FName = newName; }
  void SetAncestor(bool value);
  void SetInline(bool value);
  void Include(TComponentStateItem s) { FState.Include(s); }
  void Exclude(TComponentStateItem s) { FState.Exclude(s); }

private:
  void Insert(TComponent* c);
  void Remove(TComponent* c);
  void RemoveNotification(TComponent* c);
  void SetReference(bool enable);

  TComponent* FOwner = nullptr;
  String FName;
  Int64 FTag = 0;
  std::vector<TComponent*> FComponents;
  std::vector<TComponent*> FFreeNotifies;
  TComponentState FState;
  TComponentStyle FStyle = {csInheritable};
};

// Cast with a class check: nullptr when the object is not of that class.
template <class T> T* As(TObject* obj) { return dynamic_cast<T*>(obj); }

// Points Holder's reference Field at Value, moving Holder's free notification from the old
// component to the new one, so that Holder hears (Notification opRemove) when the component it
// refers to is freed and can clear Field.
template <class T> void AssignReference(TComponent* Holder, T*& Field, T* Value) {
  if (Field == Value) return;
  if (Field) Field->RemoveFreeNotification(Holder);
  Field = Value;
  if (Value) Value->FreeNotification(Holder);
}

bool IsValidIdent(const String& ident);
