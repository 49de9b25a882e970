#include "report/designer/frxDesgn.h"

#include "core/ClassBuilder.h"

namespace {
TfrxDesigner* gCurrent = nullptr;
}

KELM_PUBLISH(TfrxDesigner) {
  b.Prop("CloseQuery", &TfrxDesigner::CloseQuery, &TfrxDesigner::SetCloseQuery).Default(true);
  b.Prop("DefaultScriptLanguage", &TfrxDesigner::DefaultScriptLanguage, &TfrxDesigner::SetDefaultScriptLanguage);
  b.Prop("DefaultFont", &TfrxDesigner::DefaultFont, &TfrxDesigner::SetDefaultFont);
  b.Prop("DefaultLeftMargin", &TfrxDesigner::DefaultLeftMargin, &TfrxDesigner::SetDefaultLeftMargin).Default(10.0L);
  b.Prop("DefaultRightMargin", &TfrxDesigner::DefaultRightMargin, &TfrxDesigner::SetDefaultRightMargin)
      .Default(10.0L);
  b.Prop("DefaultTopMargin", &TfrxDesigner::DefaultTopMargin, &TfrxDesigner::SetDefaultTopMargin).Default(10.0L);
  b.Prop("DefaultBottomMargin", &TfrxDesigner::DefaultBottomMargin, &TfrxDesigner::SetDefaultBottomMargin)
      .Default(10.0L);
  b.Prop("DefaultPaperSize", &TfrxDesigner::DefaultPaperSize, &TfrxDesigner::SetDefaultPaperSize).Default(9);
  b.Prop("DefaultOrientation", &TfrxDesigner::DefaultOrientation, &TfrxDesigner::SetDefaultOrientation)
      .Default(poPortrait);
  b.Prop("OpenDir", &TfrxDesigner::OpenDir, &TfrxDesigner::SetOpenDir);
  b.Prop("SaveDir", &TfrxDesigner::SaveDir, &TfrxDesigner::SetSaveDir);
  b.Prop("Standalone", &TfrxDesigner::Standalone, &TfrxDesigner::SetStandalone).Default(false);
  b.Prop("Restrictions", &TfrxDesigner::Restrictions, &TfrxDesigner::SetRestrictions)
      .Default(TfrxDesignerRestrictions());
  b.Prop("RTLLanguage", &TfrxDesigner::RTLLanguage, &TfrxDesigner::SetRTLLanguage).Default(false);
  b.Prop("OnLoadReport", &TfrxDesigner::OnLoadReport, &TfrxDesigner::SetOnLoadReport);
  b.Prop("OnSaveReport", &TfrxDesigner::OnSaveReport, &TfrxDesigner::SetOnSaveReport);
  b.Prop("OnShow", &TfrxDesigner::OnShow, &TfrxDesigner::SetOnShow);
  b.Prop("OnInsertObject", &TfrxDesigner::OnInsertObject, &TfrxDesigner::SetOnInsertObject);
  b.Prop("OnShowStartupScreen", &TfrxDesigner::OnShowStartupScreen, &TfrxDesigner::SetOnShowStartupScreen);
}

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
