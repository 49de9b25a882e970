#pragma once
// Dragging in a TcxControl. Its own drag and drop runs a TcxDragAndDropObject that
// descendants subclass: a left press where WantsDragAndDropAt holds arms it (pending), moving
// beyond the drag threshold starts it (active), mouse moves feed it, and button up (accepted),
// Esc or a cancel (not accepted) end it. For the platform's drag and drop the control hands
// its own drag object, optional drag images, and DetectDragStart, which waits in a message
// loop until the mouse leaves the threshold square, the button comes up or Esc is pressed.
// Declares TcxDragAndDropObject, TcxDragControlObject and TcxDragImageList.
#include "gui/Control.h"
#include "gui/DragImages.h"

class TcxCanvas;
class TcxControl;

class TcxDragAndDropObject : public TObject {
public:
  explicit TcxDragAndDropObject(TcxControl* AControl);
  TcxControl* Control() const { return FControl; }
  TcxCanvas* Canvas() const { return FCanvas; }
  bool Dirty() const { return FDirty; }
  void SetDirty(bool Value);
  TPoint CurMousePos() const { return FCurMousePos; }
  TPoint PrevMousePos() const { return FPrevMousePos; }

  // Both points become the cursor position in the control, then AfterDragAndDropStart.
  void StartAtCursor();
  void MoveTo(TPoint P, bool& Accepted);
  void Finish(bool Accepted);

  virtual bool StartsImmediately() { return false; }

protected:
  virtual void HandleDirtyChange() {}
  virtual TCursor CursorFor(bool Accepted) { return Accepted ? crDrag : crNoDrop; }
  virtual void AfterDragAndDrop(bool Accepted) {}
  virtual void AfterDragAndDropStart() { HandleDirtyChange(); }
  virtual void TrackDragAndDrop(TPoint P, bool& Accepted);
  virtual void BeforeDragAndDropEnd(bool Accepted) { SetDirty(true); }

private:
  TcxCanvas* FCanvas;
  TcxControl* FControl;
  bool FDirty = false;
  TPoint FCurMousePos{-1, -1};
  TPoint FPrevMousePos{-1, -1};
};

// The platform drag object of a control: it frees itself when its drag has finished, and
// shows the copy cursor over an accepting target while Ctrl is held.
class TcxDragControlObject : public TDragControlObject {
public:
  using TDragControlObject::TDragControlObject;
  TCursor GetDragCursor(bool Accepted, int X, int Y) override;
  void Finished(TObject* Target, int X, int Y, bool Accepted) override;
};

class TcxDragImageList : public TDragImageList {
  KELM_CLASS(TcxDragImageList, TDragImageList)
public:
  using TDragImageList::TDragImageList;
};

// Waits with the capture on Window until the drag starts: 1 when the mouse left the square
// of 2 x DragThreshold around the press, 0 when a button came up, 2 when Esc was pressed or
// the capture was lost.
int DetectDragStart(HWND Window);
