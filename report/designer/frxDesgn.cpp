#include "report/designer/frxDesgn.h"

#include "core/ClassBuilder.h"

namespace {
TfrxDesigner* gCurrent = nullptr;
}

KELM_PUBLISH(TfrxDesigner) { Published(b); }

TfrxDesigner::TfrxDesigner(TComponent* AOwner) : TComponent(AOwner), FDefaultFont(std::make_unique<TFont>()) {
  FDefaultFont->SetName("Arial");
  FDefaultFont->SetSize(10);
  gCurrent = this;
}

TfrxDesigner::~TfrxDesigner() {
  // A component freed after a newer one took over leaves the newer one in effect.
  if (gCurrent == this) gCurrent = nullptr;
}

TfrxDesigner* TfrxDesigner::Current() { return gCurrent; }

void TfrxDesigner::MakeCurrent(TfrxDesigner* Value) { gCurrent = Value; }
