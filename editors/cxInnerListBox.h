#pragma once
// TcxCustomInnerListBox: the list box editors place inside themselves or their drop-downs. It
// forwards the user's activity (mouse, clicks, wheel, drag and drop, keys, focus, context
// menu) to the container that hosts it, with points in the container's client space; lays
// two owner-drawn scroll bars, drawn by its look-and-feel, exactly over its native ones in
// its parent and keeps them in step; and searches its items incrementally as keys are typed.
// Typed characters arrive whole, so Backspace takes one character off the search text.
// Declares TcxCustomInnerListBox.
#include "editors/cxContainer.h"
#include "gui/ListCtrls.h"

#include <memory>

class TcxScrollBar;

class TcxCustomInnerListBox : public TListBox, public IcxContainerInnerControl {
  KELM_CLASS(TcxCustomInnerListBox, TListBox)
  template <class B> static void Published(B& b) {
    b.Prop("AutoCompleteDelay", &TcxCustomInnerListBox::AutoCompleteDelay, &TcxCustomInnerListBox::SetAutoCompleteDelay)
        .Default(500);
  }

public:
  explicit TcxCustomInnerListBox(TComponent* AOwner);
  ~TcxCustomInnerListBox() override;

  Cardinal AutoCompleteDelay() const { return FAutoCompleteDelay; }
  void SetAutoCompleteDelay(Cardinal Value) { FAutoCompleteDelay = Value; }
  const String& SearchText() const { return FSearchText; }
  TcxScrollBar* HScrollBar() const { return FHScrollBar; }
  TcxScrollBar* VScrollBar() const { return FVScrollBar; }
  TcxLookAndFeel* LookAndFeel() const { return FLookAndFeel.get(); }
  TcxCanvas* cxCanvas() const { return FCanvas.get(); }
  TcxContainer* Container = nullptr;

  // IcxContainerInnerControl
  TWinControl* HostedControl() override { return this; }
  TcxContainer* HostingContainer() override { return Container; }

  virtual void IncrementalSearch(Char& Key);
  virtual void HandleLookAndFeelChange(TObject* Sender);
  virtual bool DrawsFocusRect() { return !OnDrawItem; }
  virtual void UpdateScrollBars();
  // Where the two bars meet, in window coordinates; empty unless both are visible.
  TRect ScrollBarCornerRect();
  // The search's clock (GetTickCount); tests set it.
  static void SetTickSourceForTest(Cardinal (*Source)());

  void WndProc(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;
  void DefaultHandler(TMessage& Message) override;

protected:
  virtual void HandleMouseEnter(TControl* AControl) {}
  virtual void HandleMouseLeave(TControl* AControl);
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void Click() override;
  void DblClick() override;
  bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyUp(Word& Key, TShiftState Shift) override;
  void KeyPress(Char& Key) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

public:
  void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) override;
  void DragDrop(TObject* Source, int X, int Y) override;

private:
  void HScrollBarScroll(TObject* Sender, TScrollCode Code, int& Position);
  void VScrollBarScroll(TObject* Sender, TScrollCode Code, int& Position);
  void SyncBar(TcxScrollBar* Bar, int ObjectId, int Kind);
  void LeftButtonDown(TMessage& M);
  void DrawItemMessage(TMessage& M);

  Cardinal FAutoCompleteDelay = 500;
  String FSearchText;
  std::unique_ptr<TcxCanvas> FCanvas;
  TcxScrollBar* FHScrollBar = nullptr;
  std::unique_ptr<TcxLookAndFeel> FLookAndFeel;
  Cardinal FLastKeyTime = 0;
  bool FScrollBarsUpdating = false;
  int FScrollBarParentLock = 0;
  TcxScrollBar* FVScrollBar = nullptr;
};
