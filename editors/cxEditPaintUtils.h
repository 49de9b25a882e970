#pragma once
// A process-wide cache of solid brushes: editors fill the same colours over and over, so
// each brush is made once (up to 128 colours; the least-hit one goes when full). System
// colours take the platform's own system brushes and never touch the cache. A change of
// the system colours empties it.
// Declares TcxSolidBrushCache.
#include "gui/GdiTypes.h"
#include "gui/Graphics.h"

#include <memory>
#include <vector>

class TcxCanvas;
class TCanvas;
class TcxSystemPaletteChangedNotifier;

class TcxSolidBrushCache : public TObject {
public:
  explicit TcxSolidBrushCache(int ACapacity = 128);
  ~TcxSolidBrushCache() override;
  HBRUSH BrushFor(TColor Colour);
  void Flush();
  virtual void HandlePaletteChange() { Flush(); }

  int CachedCount() const { return FCachedCount; }
  int Capacity() const { return FCapacity; }
  TColor CachedColor(int Index) const { return FCachedColors[Index]; }
  unsigned HitCount(int Index) const { return FHitCounts[Index]; }

private:
  // The index of Colour, or where it would go (found says which).
  int Find(TColor Colour, bool& Found) const;
  void Evict(int& InsertAt);
  std::vector<TColor> FCachedColors;
  std::vector<HBRUSH> FCachedBrushes;
  std::vector<unsigned> FHitCounts;
  int FCachedCount = 0;
  int FCapacity;
  std::unique_ptr<TcxSystemPaletteChangedNotifier> FPaletteNotifier;
};

// The brush of a colour, owned by the cache or the platform: callers never delete it.
HBRUSH GetSolidBrush(TColor Colour);
HBRUSH GetSolidBrush(TCanvas* ACanvas, TColor Colour);
HBRUSH GetSolidBrush(TcxCanvas* ACanvas, TColor Colour);
TcxSolidBrushCache* SolidBrushCache();
// The platform's system brush of index 0..30.
HBRUSH SystemColorBrush(int Index);
