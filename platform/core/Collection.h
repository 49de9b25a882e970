#pragma once
// TCollection: an owned, ordered list of items of one class, streamed with its owner; and
// TOwnedCollection, one whose owner is given.
// Declares TCollectionItem, TCollection and TOwnedCollection.
#include "core/Persistent.h"

#include <vector>

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
