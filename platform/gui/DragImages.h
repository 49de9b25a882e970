#pragma once
// TDragImageList: the picture a drag shows at the cursor. While a drag moves, the chosen
// image follows the mouse in a borderless window that never takes the activation or the
// mouse; a window that repaints beneath it hides it first and shows it again afterwards.
#include "gui/ImgList.h"

// The window that shows the image (private to the layer).
struct TDragImageWindow;

class TDragImageList : public TImageList {
  KELM_CLASS(TDragImageList, TImageList)
public:
  explicit TDragImageList(TComponent* AOwner);
  ~TDragImageList() override;

  // The image shown and the point of it that sits under the cursor.
  bool SetDragImage(int Index, int HotSpotX, int HotSpotY);
  int DragIndex() const { return FDragIndex; }
  TPoint DragHotspot() const { return FHotSpot; }
  // Starts showing the image at a screen point; false without an image.
  bool BeginDrag(int X, int Y);
  bool DragMove(int X, int Y);
  bool EndDrag();
  bool Dragging() const { return FDragging; }
  void HideDragImage();
  void ShowDragImage();
  // The image is on the screen now (dragging and not hidden).
  bool ImageShown() const;
  // Its window's top-left corner on the screen.
  TPoint ImagePos() const { return FPos; }

private:
  void Place();
  TDragImageWindow* FWindow = nullptr;
  int FDragIndex = 0;
  TPoint FHotSpot;
  TPoint FPos;
  bool FDragging = false;
  int FHidden = 0;
};
