#pragma once
// A tree of records for the grid's record-position view: an in-memory table with Id, Parent
// and Name whose rows come in depth-first order. The view holds the records whose ancestors
// are all expanded (every node starts expanded); it counts what the grid asks of it.
#include "data/DataLink.h"
#include "data/MemDataSet.h"
#include "grid/DBGridEh.h"

#include <map>
#include <set>
#include <vector>

class TTreeMemTable : public TMemDataSet, public IMemTableEh {
public:
  explicit TTreeMemTable(TComponent* AOwner) : TMemDataSet(AOwner) {
    FieldDefs()->Add("Id", ftInteger);
    FieldDefs()->Add("Parent", ftInteger);
    FieldDefs()->Add("Name", ftString, 30);
    // The whole view stays in the dataset's window, so any view row can be read in place.
    FWindowSource.SetDataSet(this);
    FWindowLink.SetDataSource(&FWindowSource);
    FWindowLink.SetBufferCount(100000);
  }
  ~TTreeMemTable() override { FWindowLink.SetDataSource(nullptr); }

  // A node under Parent (0: top level).
  void Node(int Id, int Parent, const String& Name) {
    AddRow({Variant(Id), Parent ? Variant(Parent) : Null(), Variant(Name)});
  }
  bool TreeView = true;
  int Fetches = 0;
  std::vector<std::pair<int, bool>> Toggles;

  // ---- IMemTableEh
  int FetchRecords(int) override {
    ++Fetches;
    return 0;
  }
  int ViewRecordIndex() const override { return IsEmpty() ? -1 : RecNo() - 1 - ReadOffset(); }
  int RecordTotal() const override { return Active() ? RecordCount() : 0; }
  bool TreeViewActive() const override { return TreeView; }
  int NodeLevel() const override { return LevelOf(ReadId()); }
  bool NodeHasChildren() const override {
    auto it = FChildren.find(ReadId());
    return it != FChildren.end() && !it->second.empty();
  }
  bool NodeExpanded() const override { return FCollapsed.count(ReadId()) == 0; }
  bool LevelHasNextSibling(int Level) const override {
    int id = ReadId();
    while (id && LevelOf(id) > Level) id = ParentOf(id);
    if (!id) return false;
    const std::vector<int>& siblings = FChildren.at(ParentOf(id));
    return siblings.back() != id;
  }
  int NeighbourLevel() const override {
    int row = RecNo() - 1;
    if (row <= 0) return 0;
    TTreeMemTable* self = const_cast<TTreeMemTable*>(this);
    self->ReadViewRowBegin(row - 1);
    int level = LevelOf(ReadId());
    self->ReadViewRowEnd();
    return level;
  }
  int LineStopLevel() const override { return -1; }
  int CurrentViewRecordNumber() const override { return RecNo(); }
  int SetNodeExpanded(int RecordNumber, bool Expanded) override {
    ReadViewRowBegin(RecordNumber - 1);
    int id = ReadId();
    ReadViewRowEnd();
    Toggles.push_back({id, Expanded});
    if (Expanded) FCollapsed.erase(id);
    else FCollapsed.insert(id);
    RefilterRows();
    return ViewNumberOf(id);
  }
  void GoToViewRecord() override { FGoTo = RecNo(); }
  IMemTableDataFieldValueListEh* DistinctValueList(const String&) override { return nullptr; }
  // Checks accept any place; the records themselves are not moved here.
  bool MoveRecords(TBookmarkListEh*, int, int, bool CheckOnly) override { return CheckOnly; }
  void ReadViewRowBegin(int ViewRow) override {
    FReadStack.push_back(ActiveRecord());
    SetActiveRecord(ViewRow);
  }
  void ReadViewRowEnd() override {
    SetActiveRecord(FReadStack.back());
    FReadStack.pop_back();
    if (FReadStack.empty() && FGoTo > 0) {
      int target = FGoTo;
      FGoTo = 0;
      SetRecNo(target);
    }
  }

  int LevelOf(int Id) const {
    int level = 0;
    for (; Id; Id = ParentOf(Id)) ++level;
    return level;
  }
  int ParentOf(int Id) const {
    auto it = FParent.find(Id);
    return it == FParent.end() ? 0 : it->second;
  }
  // The record number a node has in the view, 0 when hidden.
  int ViewNumberOf(int Id) const {
    int n = 0;
    for (int id : FOrder) {
      if (!Shown(id)) continue;
      ++n;
      if (id == Id) return n;
    }
    return 0;
  }

protected:
  void InternalOpen() override {
    FParent.clear();
    FChildren.clear();
    FOrder.clear();
    for (const std::vector<Variant>& row : StoredRows()) {
      int id = row[0].AsInteger();
      int parent = VarIsNull(row[1]) ? 0 : row[1].AsInteger();
      FParent[id] = parent;
      FChildren[parent].push_back(id);
      FOrder.push_back(id);
    }
    TMemDataSet::InternalOpen();
  }
  bool FilterActive() const override { return true; }
  bool AcceptRecord() override { return Shown(FieldByName("Id")->AsInteger()); }

private:
  int ReadId() const { return FieldByName("Id")->AsInteger(); }
  // While a view row is read, RecNo counts it; the current record is the one before reading.
  int ReadOffset() const { return FReadStack.empty() ? 0 : ActiveRecord() - FReadStack.front(); }
  bool Shown(int Id) const {
    for (int p = ParentOf(Id); p; p = ParentOf(p))
      if (FCollapsed.count(p)) return false;
    return true;
  }
  TDataSource FWindowSource{nullptr};
  TDataLink FWindowLink;
  std::map<int, int> FParent;
  std::map<int, std::vector<int>> FChildren;
  std::vector<int> FOrder;
  std::set<int> FCollapsed;
  std::vector<int> FReadStack;
  int FGoTo = 0;
};
