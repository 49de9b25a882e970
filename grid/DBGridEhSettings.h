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

// A dataset that lets the grid scroll by record position and read tree levels. The grid
// only asks for it; no dataset of this system offers it.
class IMemTableEh {
public:
  virtual ~IMemTableEh() = default;
  virtual int GetInstantReadCurRow() const = 0;
  virtual void InstantReadEnter(int RowNum) = 0;
  virtual void InstantReadLeave() = 0;
  virtual int InstantReadRowCount() const = 0;
  virtual int GetTreeNodeLevel(int RowNum) const = 0;
  // The tree view over the records: on, the current record's level and whether its node is
  // open; opening or closing the node of a data row.
  virtual bool TreeViewActive() const { return false; }
  virtual int NodeLevel() const { return 0; }
  virtual bool NodeExpanded() const { return false; }
  virtual void SetNodeExpanded(int RowNum, bool Value) {}
};
