#include "report/frxClassBases.h"

#include "core/ClassBuilder.h"
#include "gui/Screen.h"
#include "report/frxBands.h"
#include "report/frxClass.h"
#include "report/frxDBSet.h"
#include "report/frxMemoView.h"
#include "report/frxPages.h"
#include "report/frxShapes.h"
#include "report/frxVariables.h"

TfrxDesignerClass DesignerClass = nullptr;

// ---------------------------------------------------------------- designer

KELM_PUBLISH(TfrxCustomDesigner) {}

TfrxCustomDesigner::TfrxCustomDesigner(TComponent* AOwner, TfrxReport* AReport, bool AIsPreviewDesigner)
    : TForm(AOwner), FReport(AReport), FIsPreviewDesigner(AIsPreviewDesigner) {}

TfrxCustomDesigner::~TfrxCustomDesigner() = default;

void TfrxCustomDesigner::FlagModified(bool Value) {
  FModified = Value;
  if (Value && FReport) FReport->SetModified(true);
}

// ---------------------------------------------------------------- engine, pages, preview

KELM_PUBLISH(TfrxCustomEngine) { Published(b); }

TfrxCustomEngine::TfrxCustomEngine(TfrxReport* AReport) : FReport(AReport) {}
TfrxCustomEngine::~TfrxCustomEngine() = default;

bool TfrxCustomEngine::DoublePass() const { return FReport->EngineOptions()->DoublePass(); }

void TfrxCustomEngine::StopReport() { FReport->SetTerminated(true); }

KELM_PUBLISH(TfrxCustomOutline) {}

KELM_PUBLISH(TfrxCustomPreviewPages) {}

TfrxCustomPreviewPages::TfrxCustomPreviewPages(TfrxReport* AReport) : FReport(AReport) {}
TfrxCustomPreviewPages::~TfrxCustomPreviewPages() = default;

KELM_PUBLISH(TfrxCustomPreview) {}

KELM_PUBLISH(TfrxCustomWizard) {}

TfrxCustomWizard::TfrxCustomWizard(TComponent* AOwner)
    : TComponent(AOwner),
      FDesigner(dynamic_cast<TfrxCustomDesigner*>(AOwner)),
      FReport(FDesigner ? FDesigner->Report() : nullptr) {}

// ---------------------------------------------------------------- library state

std::recursive_mutex& ReportLock() {
  static std::recursive_mutex lock;
  return lock;
}

void InstallReportCursors() {
  static bool installed = false;
  if (installed || !Screen) return;
  installed = true;
  Screen->SetCursors(frx::crHand, LoadCursorFromResource("frxHAND"));
  Screen->SetCursors(frx::crZoom, LoadCursorFromResource("frxZOOM"));
  Screen->SetCursors(frx::crFormat, LoadCursorFromResource("frxFORMAT"));
}

namespace {

// The report classes a definition may name. Each part of the library registers its own as it
// comes; the designer registers its palette objects.
const bool kReportClassesRegistered = [] {
  RegisterClasses({TfrxChild::StaticClass(), TfrxColumnFooter::StaticClass(), TfrxColumnHeader::StaticClass(),
                   TfrxMasterData::StaticClass(), TfrxDetailData::StaticClass(), TfrxSubdetailData::StaticClass(),
                   TfrxDataBand4::StaticClass(), TfrxDataBand5::StaticClass(), TfrxDataBand6::StaticClass(),
                   TfrxDialogPage::StaticClass(), TfrxFooter::StaticClass(), TfrxFrame::StaticClass(),
                   TfrxGroupFooter::StaticClass(), TfrxGroupHeader::StaticClass(), TfrxHeader::StaticClass(),
                   TfrxHighlight::StaticClass(), TfrxLineView::StaticClass(), TfrxOverlay::StaticClass(),
                   TfrxPageFooter::StaticClass(), TfrxPageHeader::StaticClass(), TfrxPictureView::StaticClass(),
                   TfrxReport::StaticClass(), TfrxReportPage::StaticClass(), TfrxReportSummary::StaticClass(),
                   TfrxReportTitle::StaticClass(), TfrxShapeView::StaticClass(), TfrxSubreport::StaticClass(),
                   TfrxStyleItem::StaticClass(), TfrxNullBand::StaticClass(), TfrxCustomLineView::StaticClass(),
                   TfrxVariable::StaticClass(), TfrxUserDataSet::StaticClass(), TfrxCustomMemoView::StaticClass(),
                   TfrxMemoView::StaticClass(), TfrxSysMemoView::StaticClass()});
  return true;
}();

}  // namespace
