// Sub-reports: pages shown inside a band, either running from the band's position (several
// side by side, output going on below the longest) or captured into the band itself.
#include "report/frxEngine.h"
#include "report/frxKind.h"

#include "core/Scope.h"
#include "core/StringList.h"
#include "report/frxBands.h"
#include "report/frxClass.h"
#include "report/frxPages.h"
#include "report/frxPreviewPages.h"
#include "report/frxUtils.h"
#include "report/frxView.h"

#include <memory>

void TfrxEngine::RunSubreports(TfrxBand* Band) {
  TfrxPreviewPages* store = Store();
  const int page = store->CurPage(), column = CurColumn();
  const Extended x = CurX(), y = CurY(), originX = ColumnOriginX;
  bool ran = false;
  int bestPage = page, bestColumn = column;
  Extended bestY = y;
  for (int i = 0; i < Band->ObjectCount(); ++i) {
    auto* sub = KindOf<TfrxSubreport>(Band->Objects(i));
    if (!sub || !sub->Visible() || sub->PrintOnParent() || !sub->Page()) continue;
    store->SetCurPage(page);
    SetCurColumn(column);
    ColumnOriginX = originX + sub->Left();
    SetCurX(x + sub->Left());
    SetCurY(y - Band->Height() + sub->Top());
    RunPage(sub->Page());
    int p = store->CurPage(), c = CurColumn();
    // The furthest position wins: a later page, then a later column, then a lower Y.
    if (!ran || p > bestPage || (p == bestPage && (c > bestColumn || (c == bestColumn && CurY() > bestY)))) {
      bestPage = p;
      bestColumn = c;
      bestY = CurY();
    }
    ran = true;
  }
  if (!ran) return;
  store->SetCurPage(bestPage);
  SetCurColumn(bestColumn);
  Extended cx = originX;
  TStrings* positions = RunningPage->ColumnPositions();
  if (bestColumn > 1 && bestColumn - 1 < positions->Count())
    cx += StrToFloatAnySep((*positions)[bestColumn - 1]) * fr01cm;
  SetCurX(cx);
  SetCurY(bestY);
  ColumnOriginX = originX;
}

void TfrxEngine::RunSubreportsOnParent(TfrxBand* Band) {
  std::unique_ptr<TfrxNullBand> owned;
  if (!CaptureBand) {
    Band->OwnObjectCount = Band->ObjectCount();
    owned = std::make_unique<TfrxNullBand>(nullptr);
    CaptureBand = owned.get();
  }
  TScopeExit release([&] {
    if (owned) CaptureBand = nullptr;
  });
  if (!owned) return;

  {
    const Extended x = CurX(), y = CurY(), originX = ColumnOriginX;
    TScopeExit restore([&] {
      SetCurX(x);
      SetCurY(y);
      ColumnOriginX = originX;
    });
    for (int i = 0; i < Band->OwnObjectCount; ++i) {
      auto* sub = KindOf<TfrxSubreport>(Band->Objects(i));
      if (!sub || !sub->Visible() || !sub->PrintOnParent() || !sub->Page()) continue;
      ColumnOriginX = originX + sub->Left();
      SetCurX(x + sub->Left());
      SetCurY(sub->Top());
      RunPage(sub->Page());
    }
  }

  // Everything captured moves into the band at its place, and goes again after the output.
  std::vector<TfrxComponent*> views;
  for (TfrxComponent* c : owned->AllObjects())
    if (KindOf<TfrxView>(c) && !KindOf<TfrxSubreport>(c)) views.push_back(c);
  for (TfrxComponent* v : views) {
    Extended left = v->AbsLeft(), top = v->AbsTop();
    v->SetParent(Band);
    v->SetLeft(left);
    v->SetTop(top);
    if (auto* s = KindOf<TfrxStretcheable>(v)) s->SetStretchMode(smDontStretch);
  }
}
