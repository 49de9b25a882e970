// Owned clip regions.
#include "editors/cxRegion.h"

#include "gui/GdiDC.h"

namespace {
const int kCombineModes[] = {RGN_COPY, RGN_OR, RGN_DIFF, RGN_AND};
}

TcxRegion::TcxRegion(HRGN AHandle) : FHandle(AHandle) {}
TcxRegion::TcxRegion(const TRect& R) : FHandle(CreateRectRgnIndirect(R)) {}
TcxRegion::TcxRegion(int Left, int Top, int Right, int Bottom) : FHandle(CreateRectRgn(Left, Top, Right, Bottom)) {}
TcxRegion::TcxRegion() : FHandle(CreateRectRgn(0, 0, 0, 0)) {}

TcxRegion::~TcxRegion() { ReleaseHandle(); }

void TcxRegion::ReleaseHandle() {
  if (FHandle) DeleteObject(FHandle);
  FHandle = nullptr;
}

void TcxRegion::CombineWith(TcxRegion* ARegion, TcxRegionCombineMode Mode, bool DestroyRegion) {
  if (Mode == rcmReplace)
    CombineRgn(FHandle, ARegion->FHandle, nullptr, RGN_COPY);
  else
    CombineRgn(FHandle, FHandle, ARegion->FHandle, kCombineModes[Mode]);
  if (DestroyRegion) delete ARegion;
}

void TcxRegion::MoveBy(int DX, int DY) { OffsetRgn(FHandle, DX, DY); }

bool TcxRegion::IsEmpty() const {
  TRect box;
  return GetRgnBox(FHandle, &box) == NULLREGION;
}

bool TcxRegion::Contains(int X, int Y) const { return PtInRegion(FHandle, X, Y) != 0; }

TRect TcxRegion::BoundsRect() const {
  TRect box;
  GetRgnBox(FHandle, &box);
  return box;
}
