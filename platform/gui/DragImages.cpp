// The drag image window: a label of the image, placed so its hot spot lies under the cursor.
#include "gui/DragImages.h"

#include "core/ClassBuilder.h"
#include "gui/Graphics_p.h"
#include "gui/Pictures.h"

#include <QtGui/QPixmap>
#include <QtWidgets/QLabel>

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
  if (!FWindow) {
    auto* label = new QLabel;
    label->setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus |
                          Qt::WindowTransparentForInput);
    label->setAttribute(Qt::WA_ShowWithoutActivating);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    FWindow = label;
  }
  TBitmap image;
  image.SetWidth(Width());
  image.SetHeight(Height());
  Draw(image.Canvas(), 0, 0, FDragIndex);
  static_cast<QLabel*>(FWindow)->setPixmap(QPixmap::fromImage(ImageOf(image)));
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
