#pragma once
// Lists of untyped pointers, typed pointers and objects, and growable bit maps.
// Declares TList, TObjectList and TBits.
#include "core/Exceptions.h"
#include "core/Persistent.h"

#include <functional>
#include <vector>

KELM_EXCEPTION(EBitsError, Exception);

// ============================================================== TList

enum TListNotification { lnAdded, lnExtracted, lnDeleted };
// Negative when Item1 sorts before Item2, 0 when equal, positive after.
using TListSortCompare = std::function<int(void* Item1, void* Item2)>;

// An ordered list of untyped pointers. Index errors raise EListError
// "List index out of bounds (%d)".
class TList : public TObject {
  KELM_CLASS(TList, TObject)
public:
  TList() = default;
  ~TList() override;

  int Add(void* Item);
  void Insert(int Index, void* Item);
  void Delete(int Index);
  int Remove(void* Item);      // the index it had, -1 when absent
  void* Extract(void* Item);   // removes without the lnDeleted notification; nullptr when absent
  int IndexOf(void* Item) const;
  void Move(int CurIndex, int NewIndex);
  void Exchange(int Index1, int Index2);
  void Sort(const TListSortCompare& Compare);  // stable
  virtual void Clear();
  void Pack();  // drops nil entries
  void Assign(const TList* Source);
  void* First() const { return Items(0); }
  void* Last() const { return Items(Count() - 1); }

  int Count() const { return static_cast<int>(FList.size()); }
  void SetCount(int NewCount);  // grows with nil entries
  int Capacity() const { return FCapacity; }
  void SetCapacity(int NewCapacity);
  void* Items(int Index) const;
  void SetItems(int Index, void* Item);
  void* operator[](int Index) const { return Items(Index); }
  void** List() { return FList.data(); }

  auto begin() const { return FList.begin(); }
  auto end() const { return FList.end(); }

protected:
  // Told about every non-nil item that enters or leaves the list.
  virtual void Notify(void* Ptr, TListNotification Action) {}
  void CheckIndex(int Index) const;
  void Grow();

private:
  std::vector<void*> FList;
  int FCapacity = 0;
};

// A TList whose items are pointers to T.
template <class T> class TTypedList : public TList {
public:
  int Add(T* Item) { return TList::Add(Item); }
  void Insert(int Index, T* Item) { TList::Insert(Index, Item); }
  int Remove(T* Item) { return TList::Remove(Item); }
  T* Extract(T* Item) { return static_cast<T*>(TList::Extract(Item)); }
  int IndexOf(T* Item) const { return TList::IndexOf(Item); }
  T* Items(int Index) const { return static_cast<T*>(TList::Items(Index)); }
  void SetItems(int Index, T* Item) { TList::SetItems(Index, Item); }
  T* operator[](int Index) const { return Items(Index); }
  T* First() const { return Items(0); }
  T* Last() const { return Items(Count() - 1); }
  void Sort(const std::function<int(T*, T*)>& Compare) {
    TList::Sort([&](void* a, void* b) { return Compare(static_cast<T*>(a), static_cast<T*>(b)); });
  }
};

// A list of objects; it frees the objects it drops only when OwnsObjects is set.
class TObjectList : public TList {
  KELM_CLASS(TObjectList, TList)
public:
  TObjectList() = default;
  explicit TObjectList(bool AOwnsObjects) : FOwnsObjects(AOwnsObjects) {}
  template <class T> TObjectList(T*) = delete;
  ~TObjectList() override;

  int Add(TObject* AObject) { return TList::Add(AObject); }
  void Insert(int Index, TObject* AObject) { TList::Insert(Index, AObject); }
  int Remove(TObject* AObject) { return TList::Remove(AObject); }
  TObject* Extract(TObject* Item) { return static_cast<TObject*>(TList::Extract(Item)); }
  int IndexOf(TObject* AObject) const { return TList::IndexOf(AObject); }
  // The first object from AStartAt that is of AClass (exactly, or a descendant), -1 when none.
  int FindInstanceOf(TClass AClass, bool AExact = true, int AStartAt = 0) const;
  TObject* Items(int Index) const { return static_cast<TObject*>(TList::Items(Index)); }
  void SetItems(int Index, TObject* AObject) { TList::SetItems(Index, AObject); }
  TObject* operator[](int Index) const { return Items(Index); }
  TObject* First() const { return Items(0); }
  TObject* Last() const { return Items(Count() - 1); }

  bool OwnsObjects() const { return FOwnsObjects; }
  void SetOwnsObjects(bool Value) { FOwnsObjects = Value; }

protected:
  void Notify(void* Ptr, TListNotification Action) override;

private:
  bool FOwnsObjects = false;
};

// ============================================================== TBits

// A growable map of bits. Negative indexes raise EBitsError "Bits index out of range".
class TBits : public TObject {
public:
  int Size() const { return static_cast<int>(FBits.size()); }
  void SetSize(int Value);
  bool Bits(int Index) const;          // raises past Size
  void SetBits(int Index, bool Value);  // grows the map to hold Index
  bool operator[](int Index) const { return Bits(Index); }
  int OpenBit() const;  // the first clear bit, Size when every bit is set

private:
  [[noreturn]] static void Error();
  std::vector<bool> FBits;
};
