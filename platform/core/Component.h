#pragma once
// TComponent (ownership, names, free notification, loading state) and TCollection.
#include "core/Persistent.h"
#include <functional>
#include <vector>

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

class TCollection;
KELM_ENUM(TCollectionNotification, cnAdded, cnExtracting, cnDeleting)

class TCollectionItem : public TPersistent {
  KELM_CLASS(TCollectionItem, TPersistent)
public:
  explicit TCollectionItem(TCollection* collection);
  ~TCollectionItem() override;

  TCollection* Collection() const { return FCollection; }
  void SetCollection(TCollection* value);
  int ID() const { return FID; }
  int Index() const;
  virtual void SetIndex(int value);
  virtual String DisplayName() const;
  virtual void SetDisplayName(const String& value);
  TPersistent* GetOwner() const override;
  String GetNamePath() const override;

protected:
  // Tells the collection this item changed (or all items, when the change touches them all).
  void Changed(bool allItems);

private:
  friend class TCollection;
  TCollection* FCollection = nullptr;
  int FID = 0;
};

class TCollection : public TPersistent {
  KELM_CLASS(TCollection, TPersistent)
public:
  explicit TCollection(TClass itemClass);
  ~TCollection() override;

  TClass ItemClass() const { return FItemClass; }
  int Count() const { return static_cast<int>(FItems.size()); }
  TCollectionItem* Items(int index) const;
  void SetItems(int index, TCollectionItem* value) { Items(index)->Assign(value); }
  TCollectionItem* Add();
  TCollectionItem* Insert(int index);
  void Delete(int index);
  void Clear();
  TCollectionItem* FindItemID(int id) const;
  void Assign(TPersistent* source) override;
  virtual void BeginUpdate();
  virtual void EndUpdate();
  int UpdateCount() const { return FUpdateCount; }
  int NextID() const { return FNextID; }
  String GetNamePath() const override;
  TPersistent* GetOwner() const override { return nullptr; }

protected:
  friend class TCollectionItem;
  // Called after a change: item = nullptr means the whole collection.
  virtual void Update(TCollectionItem* item) {}
  virtual void Notify(TCollectionItem* item, TCollectionNotification action) {}
  virtual void SetItemName(TCollectionItem* item) {}
  void Changed();
  void InsertItem(TCollectionItem* item);
  void RemoveItem(TCollectionItem* item);
  void MoveItem(int from, int to);

private:
  TClass FItemClass;
  std::vector<TCollectionItem*> FItems;
  int FUpdateCount = 0;
  int FNextID = 0;
};

// A collection whose owner is a persistent object (its name path then runs through it).
class TOwnedCollection : public TCollection {
  KELM_CLASS(TOwnedCollection, TCollection)
public:
  TOwnedCollection(TPersistent* owner, TClass itemClass) : TCollection(itemClass), FOwner(owner) {}
  TPersistent* GetOwner() const override { return FOwner; }

private:
  TPersistent* FOwner;
};

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
