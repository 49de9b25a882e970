// The drag-and-drop object, the control's phase machine, the platform drag hooks and the
// drag-start detector.
#include "editors/cxDragAndDrop.h"

#include "core/ClassBuilder.h"
#include "core/Scope.h"
#include "editors/cxCanvas.h"
#include "editors/cxControl.h"
#include "editors/cxControlUtils.h"
#include "editors/cxObjectLinks.h"
#include "gui/Screen.h"
#include "gui/Window.h"

#include <cstdlib>

// ---------------------------------------------------------------- TcxDragAndDropObject

TcxDragAndDropObject::TcxDragAndDropObject(TcxControl* AControl)
    : FCanvas(AControl->cxCanvas()), FControl(AControl) {}

void TcxDragAndDropObject::SetDirty(bool Value) {
  if (FDirty == Value) return;
  FDirty = Value;
  HandleDirtyChange();
}

void TcxDragAndDropObject::StartAtCursor() {
  FCurMousePos = FPrevMousePos = FControl->ScreenToClient(Mouse->CursorPos());
  AfterDragAndDropStart();
}

void TcxDragAndDropObject::MoveTo(TPoint P, bool& Accepted) {
  FPrevMousePos = FCurMousePos;
  FCurMousePos = P;
  TrackDragAndDrop(P, Accepted);
}

void TcxDragAndDropObject::Finish(bool Accepted) {
  BeforeDragAndDropEnd(Accepted);
  AfterDragAndDrop(Accepted);
}

void TcxDragAndDropObject::TrackDragAndDrop(TPoint, bool& Accepted) {
  SetDirty(false);
  Screen->SetCursor(CursorFor(Accepted));
}

// ---------------------------------------------------------------- TcxDragControlObject

KELM_PUBLISH(TcxDragImageList) {}

TCursor TcxDragControlObject::GetDragCursor(bool Accepted, int X, int Y) {
  if (Accepted && IsCtrlDown()) return crcxDragCopy;
  return TDragControlObject::GetDragCursor(Accepted, X, Y);
}

void TcxDragControlObject::Finished(TObject* Target, int X, int Y, bool Accepted) {
  TDragControlObject::Finished(Target, X, Y, Accepted);
  delete this;
}

// ---------------------------------------------------------------- the control's phases

namespace {
TObject* gCurrentDragObject = nullptr;
}

TObject* TcxControl::CurrentDragObject() { return gCurrentDragObject; }

TcxDragAndDropObjectClass TcxControl::DragDropObjectClass() {
  return &ClassFactory<TcxDragAndDropObject, TcxDragAndDropObject, TcxControl*>;
}

TcxDragImageListClass TcxControl::DragImagesClass() {
  return [] { return new TcxDragImageList(nullptr); };
}

TcxDragControlObjectClass TcxControl::DragObjectClass() {
  return [](TcxControl* C) -> TDragObject* { return new TcxDragControlObject(C); };
}

TcxDragAndDropObject* TcxControl::DragDropObject() {
  if (!FDragDropObject) FDragDropObject = DragDropObjectClass()(this);
  return FDragDropObject;
}

bool TcxControl::IsNearPressPoint(int X, int Y) const { return WithinDragThreshold(FMouseDownPos, X, Y); }

void TcxControl::SetDragDropPhase(TcxDragDropPhase Value) {
  if (FDragDropPhase == Value) return;
  FDragDropPhase = Value;
  if (Value == ddpIdle && !FFinishingDragAndDrop) CancelMouseOperations();
}

void TcxControl::ArmDragAndDrop(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft && !Shift.Contains(ssDouble) && WantsDragAndDropAt({X, Y})) {
    if (DragDropObject()->StartsImmediately()) EnterDragAndDrop();
    else SetDragDropPhase(ddpPending);
  } else {
    EndDragAndDrop(false);
  }
}

void TcxControl::EnterDragAndDrop() {
  DragDropObject()->StartAtCursor();
  SetMouseCapture(true);
  FSavedScreenCursor = Screen->Cursor();
  SetDragDropPhase(ddpActive);
}

void TcxControl::TrackDragAndDrop(int X, int Y) {
  if (FDragDropPhase == ddpPending && !IsNearPressPoint(X, Y)) EnterDragAndDrop();
  if (FDragDropPhase == ddpActive) {
    bool accepted = false;
    DragAndDropMove({X, Y}, accepted);
  }
}

void TcxControl::DragAndDropMove(TPoint P, bool& Accepted) { DragDropObject()->MoveTo(P, Accepted); }

void TcxControl::EndDragAndDrop(bool Accepted) {
  if (FFinishingDragAndDrop) return;
  TRestore<bool> finishing(FFinishingDragAndDrop, true);
  // The object goes whatever a hook raises.
  TScopeExit release([this] {
    delete FDragDropObject;
    FDragDropObject = nullptr;
  });
  if (FDragDropPhase == ddpActive) LeaveDragAndDrop(Accepted);
  else SetDragDropPhase(ddpIdle);
}

void TcxControl::LeaveDragAndDrop(bool Accepted) {
  SetDragDropPhase(ddpIdle);
  Screen->SetCursor(FSavedScreenCursor);
  SetMouseCapture(false);
  SetMouseCaptureObject(nullptr);
  DragDropObject()->Finish(Accepted);
}

// ---------------------------------------------------------------- platform drag hooks

void TcxControl::DoStartDrag(TDragObject*& DragObject) {
  if (ProvidesDragImages()) SetControlStyle(ControlStyle() + csDisplayDragImage);
  Update();
  TCustomControl::DoStartDrag(DragObject);
  if (!DragObject && DragObjectClass()) DragObject = DragObjectClass()(this);
  if (DragObject && !AcceptDragObject(DragObject)) {
    delete DragObject;
    DragObject = nullptr;
    CancelDrag();
  }
}

void TcxControl::DoEndDrag(TObject* Target, int X, int Y) {
  TcxObjectLinkScope link(this);
  TCustomControl::DoEndDrag(Target, X, Y);
  if (!link.Alive()) return;
  delete FDragImages;
  FDragImages = nullptr;
}

void TcxControl::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) {
  gCurrentDragObject = State == dsDragLeave ? nullptr : ::CurrentDragObject();
  TCustomControl::DragOver(Source, X, Y, State, Accept);
}

TDragImageList* TcxControl::GetDragImages() {
  if (!ProvidesDragImages()) return nullptr;
  if (!FDragImages) {
    FDragImages = DragImagesClass()();
    FillDragImages(FDragImages);
  }
  return FDragImages->Count() > 0 ? FDragImages : nullptr;
}

void TcxControl::FillDragImages(TcxDragImageList* Images) {
  const TPoint size = DragImageSize();
  Images->SetWidth(size.X);
  Images->SetHeight(size.Y);
  if (size.X == 0 || size.Y == 0) return;
  TBitmap bitmap;
  bitmap.SetSize(size.X, size.Y);
  TcxCanvas canvas(bitmap.Canvas());
  PaintDragImage(&canvas, Rect(0, 0, size.X, size.Y));
  Images->AddMasked(&bitmap, bitmap.TransparentColor());
}

// ---------------------------------------------------------------- DetectDragStart

int DetectDragStart(HWND Window) {
  int result = 2;
  const int t = Mouse->DragThreshold();
  TPoint at;
  GetCursorPos(&at);
  SetCapture(Window);
  TMsg m;
  bool done = false;
  while (!done && GetCapture() == Window) {
    const BOOL got = GetMessage(m, 0, 0, 0);
    if (got == -1) break;
    if (!got) {  // WM_QUIT: still owed to the program's loop
      PostQuitMessage(static_cast<int>(m.wParam));
      break;
    }
    switch (m.message) {
      case WM_KEYDOWN:
      case WM_KEYUP:
        if (m.wParam == VK_ESCAPE) done = true, result = 2;
        break;
      case WM_MOUSEMOVE:
        if (m.hwnd == Window) {
          TPoint p{LoWord(static_cast<std::uintptr_t>(m.lParam)), HiWord(static_cast<std::uintptr_t>(m.lParam))};
          ClientToScreen(Window, &p);
          // The dead zone: the square of side 2 x DragThreshold centred on the press.
          if (std::abs(p.X - at.X) >= t || std::abs(p.Y - at.Y) >= t) done = true, result = 1;
        }
        break;
      case WM_LBUTTONUP:
      case WM_RBUTTONUP:
      case WM_MBUTTONUP:
        done = true, result = 0;
        break;
      default:
        break;
    }
    TranslateMessage(m);
    DispatchMessage(m);
  }
  if (GetCapture() == Window) ReleaseCapture();
  return result;
}
