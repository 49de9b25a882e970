#pragma once
// Small controls around the design surface: the rulers, the scroll box that holds the page,
// the drop-down form the pickers live in, and the colour and line-style pickers.
#include "gui/ExtCtrls.h"
#include "gui/Forms.h"
#include "report/designer/frxDesgnUnits.h"

#include <array>
#include <memory>
#include <vector>

class TfrxComponent;
class TfrxCustomDesigner;
class TMemoryStream;

// A borderless, stay-on-top drop-down that frees itself when closed and closes itself when
// it loses activation, noting the tick count of that moment (PopupFormCloseTime), so a click
// that closed it is not taken for a click on what lies below.
class TfrxPopupForm : public TForm {
  KELM_CLASS(TfrxPopupForm, TForm)
public:
  explicit TfrxPopupForm(TComponent* AOwner);
  static DWORD& PopupFormCloseTime();

protected:
  void Deactivate() override;
  void DoClose(TCloseAction& Action) override;
};

// One mark of a ruler: a tick of a length (0 = none) at a position, or a label there.
struct TfrxRulerMark {
  int Pos = 0;
  int Length = 0;
  int Number = -1;  // the label written instead of the tick, -1 = none
};

class TfrxRuler : public TPanel {
  KELM_CLASS(TfrxRuler, TPanel)
  template <class B> static void Published(B& b) {
    b.Prop("Offset", &TfrxRuler::Offset, &TfrxRuler::SetOffset).Default(0);
    b.Prop("Scale", &TfrxRuler::Scale, &TfrxRuler::SetScale);
    b.Prop("Start", &TfrxRuler::Start, &TfrxRuler::SetStart).Default(0);
    b.Prop("Units", &TfrxRuler::Units, &TfrxRuler::SetUnits).Default(ruPixels);
    b.Prop("Position", &TfrxRuler::Position, &TfrxRuler::SetPosition);
  }
public:
  explicit TfrxRuler(TComponent* AOwner);
  int Offset() const { return FOffset; }
  void SetOffset(int v);
  Extended Scale() const { return FScale; }
  void SetScale(Extended v);
  int Start() const { return FStart; }
  void SetStart(int v);
  TfrxRulerUnits Units() const { return FUnits; }
  void SetUnits(TfrxRulerUnits v);
  Extended Position() const { return FPosition; }
  void SetPosition(Extended v);
  bool Vertical() const { return Align() == alLeft; }
  // The ticks and labels the ruler draws, given the width of the widest label.
  std::vector<TfrxRulerMark> Marks(int LabelWidth) const;

protected:
  void Paint() override;

private:
  Extended Step() const;
  int Origin() const;
  int FOffset = 0;
  Extended FScale = 1;
  int FStart = 0;
  TfrxRulerUnits FUnits = ruPixels;
  Extended FPosition = 0;
};

// Keys that reach the scroll box go on to the windowed controls inside it, so the design
// surface gets them while the box has the focus.
class TfrxScrollBox : public TScrollBox {
  KELM_CLASS(TfrxScrollBox, TScrollBox)
public:
  explicit TfrxScrollBox(TComponent* AOwner);
  void Dispatch(TMessage& M) override;
};

class TfrxCustomSelector : public TPanel {
  KELM_CLASS(TfrxCustomSelector, TPanel)
public:
  // Creates its drop-down form and shows itself under Invoker at once.
  explicit TfrxCustomSelector(TControl* Invoker);
  TfrxPopupForm* PopupForm() const { return FForm; }
  TNotifyEvent OnSelect;

protected:
  virtual void HighlightItem(int X, int Y, bool Pressed) = 0;
  void DrawHighlight(const TRect& R, bool Pressed);
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void Paint() override;
  void Chosen();

private:
  TfrxPopupForm* FForm = nullptr;
};

class TfrxColorSelector : public TfrxCustomSelector {
  KELM_CLASS(TfrxColorSelector, TfrxCustomSelector)
public:
  explicit TfrxColorSelector(TControl* Invoker);
  TColor SelectedColor() const { return FColor; }
  void SetSelectedColor(TColor v) { FColor = v; }
  // The 40 cells, shared by every picker of the process; the last row holds custom colours.
  static std::array<TColor, 40>& Colors();
  // A colour not in the table takes the first free custom cell, else the oldest is dropped.
  static void AddCustomColor(TColor Color);

protected:
  void HighlightItem(int X, int Y, bool Pressed) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void Paint() override;

private:
  TColor FColor = clBlack;
};

class TfrxLineSelector : public TfrxCustomSelector {
  KELM_CLASS(TfrxLineSelector, TfrxCustomSelector)
public:
  explicit TfrxLineSelector(TControl* Invoker);
  int SelectedStyle() const { return FStyle; }
  void SetSelectedStyle(int v) { FStyle = v; }
  static int RowAt(int Y);

protected:
  void HighlightItem(int X, int Y, bool Pressed) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void Paint() override;

private:
  int FStyle = 0;
};

// Whole-report snapshots for the designer's undo and redo. Each snapshot is the report as its
// .fr3 text (children, no default values). The designer keeps the last undo snapshot equal to
// the report it shows, so undo is possible from two snapshots on.
class TfrxUndoBuffer {
public:
  TfrxUndoBuffer();
  ~TfrxUndoBuffer();
  TfrxUndoBuffer(const TfrxUndoBuffer&) = delete;
  TfrxUndoBuffer& operator=(const TfrxUndoBuffer&) = delete;

  void AddUndo(TfrxComponent* Report);
  void AddRedo(TfrxComponent* Report);
  // Reads the report back from the snapshot before the last, then drops the last.
  void Undo(TfrxComponent* Report);
  // Reads the report back from the last redo snapshot and drops it.
  void Redo(TfrxComponent* Report);
  void ClearUndo();
  void ClearRedo();
  int UndoCount() const { return static_cast<int>(FUndo.size()); }
  int RedoCount() const { return static_cast<int>(FRedo.size()); }
  // The bytes all snapshots hold together.
  Int64 Size() const;

private:
  using TSnapshots = std::vector<std::unique_ptr<TMemoryStream>>;
  static void Add(TSnapshots& List, TfrxComponent* Report);
  TSnapshots FUndo;
  TSnapshots FRedo;
};

// The designer's cut, copy and paste of report objects through the system clipboard, as
// Unicode text: the heading "#FR3 clipboard#", LF, CR, then one childless element per object
// with its Name and attribute text, positions relative to the selection's top-left corner.
class TfrxClipboard {
public:
  explicit TfrxClipboard(TfrxCustomDesigner* Designer);
  ~TfrxClipboard();
  TfrxClipboard(const TfrxClipboard&) = delete;
  TfrxClipboard& operator=(const TfrxClipboard&) = delete;

  static const char* Heading() { return "#FR3 clipboard#"; }
  // The selected objects of the edited page as clipboard text, and onto the clipboard.
  String CopyText() const;
  void Copy();
  // Creates the clipboard's objects on the edited page and selects those placed on the page.
  // An element of an unknown class ends the paste: what came before stays, the change is
  // flagged (so one undo removes it) and EClassNotFound goes on to the caller.
  void Paste();
  // The clipboard holds report objects. The answer is kept and refreshed when the clipboard
  // changes, so polling it costs no clipboard read.
  bool PasteAvailable();

private:
  void ClipboardChanged(TObject* Sender);
  TfrxCustomDesigner* FDesigner;
  bool FAvailable = false;
  bool FKnown = false;  // FAvailable reflects the clipboard's content
  TNotifyEvent FChainedOnChange;  // the clipboard's handler before ours, still called
  TNotifyEvent FOwnOnChange;
};
