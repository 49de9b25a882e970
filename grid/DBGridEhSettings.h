#pragma once
// Settings objects a data grid owns: its scroll bars (TDBGridEhScrollBar,
// TVertDBGridEhScrollBar) and the filter row (TSTDBGridEhFilter), and the interface of a
// memory table the grid can ask for tree nodes (IMemTableEh).
#include "grid/DBGridEhSelection.h"

// ================================================================ owned settings objects

// A scroll bar's settings as layouts store them.
KELM_ENUM(TScrollBarVisibleModeEh, sbAlwaysShowEh, sbNeverShowEh, sbAutoShowEh)

class TDBGridEhScrollBar : public TPersistent {
  KELM_CLASS(TDBGridEhScrollBar, TPersistent)
  template <class B> static void Published(B& b) {
    using C = TDBGridEhScrollBar;
    b.Prop("ExtScrollBar", &C::ExtScrollBar, &C::SetExtScrollBar).Type("TScrollBar");
    b.Prop("Tracking", &C::Tracking, &C::SetTracking).Default(false);
    b.Prop("Visible", &C::Visible, &C::SetVisible).Default(true);
  }

public:
  TDBGridEhScrollBar(TCustomDBGridEh* AGrid, int Kind) : FGrid(AGrid), FKind(Kind) {}
  // An external bar gets its own window procedure back.
  ~TDBGridEhScrollBar() override;
  void Assign(TPersistent* Source) override;
  // A TScrollBar that scrolls the grid instead of the grid's own bar. Its window procedure is
  // taken over: a bar whose procedure another object holds is refused ("Possible <Name>
  // already attached to the other control.").
  TComponent* ExtScrollBar() const { return FExtScrollBar; }
  void SetExtScrollBar(TComponent* Value);
  bool Tracking() const { return FTracking; }
  void SetTracking(bool Value) { FTracking = Value; }
  // True unless never shown; setting it chooses sbAutoShowEh or sbNeverShowEh.
  bool Visible() const { return FVisibleMode != sbNeverShowEh; }
  void SetVisible(bool Value) { SetVisibleMode(Value ? sbAutoShowEh : sbNeverShowEh); }
  TScrollBarVisibleModeEh VisibleMode() const { return FVisibleMode; }
  void SetVisibleMode(TScrollBarVisibleModeEh Value);
  int Kind() const { return FKind; }
  // Whether the bar shows now: the external one's visibility, else the grid window's bar.
  bool IsShownNow() const;
  // The platform's scroll information of the external bar or of the grid's own.
  bool ReadScrollInfo(SCROLLINFO& Info) const;
  // The external bar is being freed: it is forgotten without touching it.
  void ExtScrollBarGone();

private:
  void Detach();
  void ExtBarMessage(TMessage& Message);
  TCustomDBGridEh* FGrid;
  int FKind;
  TComponent* FExtScrollBar = nullptr;
  TWndMethod FExtOwnProc;  // the external bar's own procedure while the grid holds it
  bool FTracking = false;
  TScrollBarVisibleModeEh FVisibleMode = sbAutoShowEh;
};

class TVertDBGridEhScrollBar : public TDBGridEhScrollBar {
  KELM_CLASS(TVertDBGridEhScrollBar, TDBGridEhScrollBar)
  template <class B> static void Published(B& b) {
    using C = TVertDBGridEhScrollBar;
    b.Prop("Visible", &C::Visible, &C::SetVisible).Stored(false);
    b.Prop("VisibleMode", &C::VisibleMode, &C::SetVisibleMode).Default(sbAutoShowEh);
  }

public:
  explicit TVertDBGridEhScrollBar(TCustomDBGridEh* AGrid) : TDBGridEhScrollBar(AGrid, SB_VERT) {}
};

// The simple-text filter row's settings.
class TSTDBGridEhFilter : public TPersistent {
  KELM_CLASS(TSTDBGridEhFilter, TPersistent)
  template <class B> static void Published(B& b) {
    using C = TSTDBGridEhFilter;
    b.Prop("Local", &C::Local, &C::SetLocal).Default(false);
    b.Prop("Visible", &C::Visible, &C::SetVisible).Default(false);
  }

public:
  explicit TSTDBGridEhFilter(TCustomDBGridEh* AGrid) : FGrid(AGrid) {}
  void Assign(TPersistent* Source) override;
  bool Local() const { return FLocal; }
  void SetLocal(bool Value) { FLocal = Value; }
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  // While suspended (column widths changing) the grid neither hides nor moves the filter
  // row's editor.
  void SuspendEditorMoves() { ++FUpdateDepth; }
  void ResumeEditorMoves() { --FUpdateDepth; }
  int UpdateDepth() const { return FUpdateDepth; }

private:
  TCustomDBGridEh* FGrid;
  int FUpdateDepth = 0;
  bool FLocal = false;
  bool FVisible = false;
};

// A dataset that lets the grid address every record by its position in the view and, when
// it keeps its records as a tree, read and change the tree. "The record being read" is the
// current record, or the record of the view row between ReadViewRowBegin and ReadViewRowEnd.
// No dataset of this system offers it; the grid's side is what it calls and relies on.
class IMemTableEh {
public:
  virtual ~IMemTableEh() = default;
  // Makes at least Count more records available at the end; the records added.
  virtual int FetchRecords(int Count) = 0;
  // The current record's 0-based position in the view, -1 when none.
  virtual int ViewRecordIndex() const = 0;
  virtual int RecordTotal() const = 0;
  virtual bool TreeViewActive() const = 0;
  // Of the record being read: its level (1 for top-level records), children and state.
  virtual int NodeLevel() const = 0;
  virtual bool NodeHasChildren() const = 0;
  virtual bool NodeExpanded() const = 0;
  // Whether the ancestor at Level (the record itself at its own level) has a sibling after it.
  virtual bool LevelHasNextSibling(int Level) const = 0;
  // The level of the record above in the view (0 for the first), for the drag target.
  virtual int NeighbourLevel() const = 0;
  // The level from which the row lines of the indent stop, -1 for none.
  virtual int LineStopLevel() const = 0;
  virtual int CurrentViewRecordNumber() const = 0;
  // Expands or collapses the node of a record number; the record to go to (0 or less: none).
  virtual int SetNodeExpanded(int RecordNumber, bool Expanded) = 0;
  // Makes the record being read the current record.
  virtual void GoToViewRecord() = 0;
  // The distinct values of a field (the filter row's drop-down); nullptr when none.
  virtual IMemTableDataFieldValueListEh* DistinctValueList(const String& FieldName) = 0;
  virtual bool MoveRecords(TBookmarkListEh* Bookmarks, int TargetRecNo, int TreeLevel, bool CheckOnly) = 0;
  virtual void ReadViewRowBegin(int ViewRow) = 0;
  virtual void ReadViewRowEnd() = 0;
};
