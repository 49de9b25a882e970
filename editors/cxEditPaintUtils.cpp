// The solid-brush cache.
#include "editors/cxEditPaintUtils.h"

#include "editors/cxLookAndFeels.h"
#include "gui/Application.h"
#include "gui/Colors.h"
#include "gui/GdiDC.h"
#include "gui/SysColors.h"

namespace {
constexpr int kSystemBrushes = 31;
HBRUSH gSystemBrushes[kSystemBrushes] = {};
bool gSystemBrushesFilled = false;
TcxSolidBrushCache* gCache = nullptr;

void FillSystemBrushes() {
  for (int i = 0; i < kSystemBrushes; ++i) gSystemBrushes[i] = GetSysColorBrush(i);
  gSystemBrushesFilled = true;
}
}  // namespace

HBRUSH SystemColorBrush(int Index) {
  if (!gSystemBrushesFilled) FillSystemBrushes();
  return gSystemBrushes[Index];
}

TcxSolidBrushCache* SolidBrushCache() {
  if (!gCache) {
    if (!gSystemBrushesFilled) FillSystemBrushes();
    gCache = new TcxSolidBrushCache;
    AddExitProc([] {
      delete gCache;
      gCache = nullptr;
      gSystemBrushesFilled = false;
    });
  }
  return gCache;
}

HBRUSH GetSolidBrush(TColor Colour) { return SolidBrushCache()->BrushFor(Colour); }
HBRUSH GetSolidBrush(TCanvas*, TColor Colour) { return GetSolidBrush(Colour); }
HBRUSH GetSolidBrush(TcxCanvas*, TColor Colour) { return GetSolidBrush(Colour); }

TcxSolidBrushCache::TcxSolidBrushCache(int ACapacity)
    : FCachedColors(ACapacity), FCachedBrushes(ACapacity), FHitCounts(ACapacity), FCapacity(ACapacity) {
  FPaletteNotifier = std::make_unique<TcxSystemPaletteChangedNotifier>(true);
  FPaletteNotifier->SetOnPaletteChanged(TcxPaletteChangedEvent::Lambda([this] { HandlePaletteChange(); }));
}

TcxSolidBrushCache::~TcxSolidBrushCache() {
  FPaletteNotifier.reset();
  Flush();
}

void TcxSolidBrushCache::Flush() {
  for (int i = 0; i < FCachedCount; ++i) DeleteObject(FCachedBrushes[i]);
  FCachedCount = 0;
}

int TcxSolidBrushCache::Find(TColor Colour, bool& Found) const {
  const auto key = static_cast<uint32_t>(Colour);
  int lo = 0, hi = FCachedCount;
  while (lo < hi) {
    const int mid = (lo + hi) / 2;
    if (static_cast<uint32_t>(FCachedColors[mid]) < key) lo = mid + 1;
    else hi = mid;
  }
  Found = lo < FCachedCount && static_cast<uint32_t>(FCachedColors[lo]) == key;
  return lo;
}

void TcxSolidBrushCache::Evict(int& InsertAt) {
  int victim = 0;
  for (int i = 1; i < FCachedCount; ++i)
    if (FHitCounts[i] < FHitCounts[victim]) victim = i;
  DeleteObject(FCachedBrushes[victim]);
  for (int i = victim; i + 1 < FCachedCount; ++i) {
    FCachedColors[i] = FCachedColors[i + 1];
    FCachedBrushes[i] = FCachedBrushes[i + 1];
    FHitCounts[i] = FHitCounts[i + 1];
  }
  --FCachedCount;
  if (victim < InsertAt) --InsertAt;
}

HBRUSH TcxSolidBrushCache::BrushFor(TColor Colour) {
  const auto value = static_cast<uint32_t>(Colour);
  if (gSystemBrushesFilled && value >= 0xFF000000u && value <= 0xFF00001Eu) return gSystemBrushes[value & 0xFF];
  bool found;
  int at = Find(Colour, found);
  if (found) {
    ++FHitCounts[at];
    return FCachedBrushes[at];
  }
  if (FCachedCount == FCapacity) Evict(at);
  for (int i = FCachedCount; i > at; --i) {
    FCachedColors[i] = FCachedColors[i - 1];
    FCachedBrushes[i] = FCachedBrushes[i - 1];
    FHitCounts[i] = FHitCounts[i - 1];
  }
  ++FCachedCount;
  FCachedColors[at] = Colour;
  FCachedBrushes[at] = CreateSolidBrush(ColorToRGB(Colour));
  FHitCounts[at] = 0;
  return FCachedBrushes[at];
}
