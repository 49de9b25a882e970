// The drag image window: a label of the image, placed so its hot spot lies under the cursor.
#include "gui/DragImages.h"

#include "core/ClassBuilder.h"
#include "gui/Graphics_p.h"
#include "gui/Pictures.h"

#include <QtGui/QPixmap>
#include <QtWidgets/QLabel>

// A label of the image that never takes the activation, the focus or the mouse.
struct TDragImageWindow : QLabel {
  TDragImageWindow() {
    setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus |
                   Qt::WindowTransparentForInput);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
  }
};

KELM_PUBLISH(TDragImageList) {}

TDragImageList::TDragImageList(TComponent* AOwner) : TImageList(AOwner) {}

TDragImageList::~TDragImageList() { delete FWindow; }

bool TDragImageList::SetDragImage(int Index, int HotSpotX, int HotSpotY) {
  if (Index < 0 || Index >= Count()) return false;
  FDragIndex = Index;
  FHotSpot = {HotSpotX, HotSpotY};
  if (FDragging) Place();
  return true;
}

bool TDragImageList::BeginDrag(int X, int Y) {
  if (Count() == 0) return false;
  if (!FWindow) FWindow = new TDragImageWindow;
  TBitmap image;
  image.SetWidth(Width());
  image.SetHeight(Height());
  Draw(image.Canvas(), 0, 0, FDragIndex);
  FWindow->setPixmap(QPixmap::fromImage(ImageOf(image)));
  FWindow->resize(Width(), Height());
  FDragging = true;
  FHidden = 0;
  FPos = {X - FHotSpot.X, Y - FHotSpot.Y};
  Place();
  return true;
}

bool TDragImageList::DragMove(int X, int Y) {
  if (!FDragging) return false;
  FPos = {X - FHotSpot.X, Y - FHotSpot.Y};
  Place();
  return true;
}

bool TDragImageList::EndDrag() {
  if (!FDragging) return false;
  FDragging = false;
  FHidden = 0;
  Place();
  return true;
}

// Hiding nests: a paint inside a paint shows the image only when the outer one ends.
void TDragImageList::HideDragImage() {
  if (!FDragging) return;
  ++FHidden;
  Place();
}

void TDragImageList::ShowDragImage() {
  if (!FDragging || FHidden == 0) return;
  --FHidden;
  Place();
}

bool TDragImageList::ImageShown() const { return FWindow && FWindow->isVisible(); }

void TDragImageList::Place() {
  if (!FWindow) return;
  if (!FDragging || FHidden > 0) {
    FWindow->hide();
    return;
  }
  FWindow->move(FPos.X, FPos.Y);
  FWindow->show();
}
