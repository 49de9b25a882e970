#pragma once
// A region the object owns, for clip arithmetic on a canvas.
// Declares TcxRegion.
#include "editors/cxGraphicsUtils.h"
#include "gui/GdiTypes.h"

class TcxRegion : public TObject {
public:
  explicit TcxRegion(HRGN AHandle);  // takes the handle over
  explicit TcxRegion(const TRect& R);
  TcxRegion(int Left, int Top, int Right, int Bottom);
  TcxRegion();  // empty
  ~TcxRegion() override;
  TcxRegion(const TcxRegion&) = delete;
  TcxRegion& operator=(const TcxRegion&) = delete;

  HRGN Handle() const { return FHandle; }
  // This region becomes a copy of ARegion (rcmReplace) or is combined with it; with
  // DestroyRegion, ARegion is freed afterwards.
  void CombineWith(TcxRegion* ARegion, TcxRegionCombineMode Mode, bool DestroyRegion = true);
  void MoveBy(int DX, int DY);
  bool IsEmpty() const;
  bool Contains(int X, int Y) const;
  TRect BoundsRect() const;

private:
  void ReleaseHandle();
  HRGN FHandle;
};
