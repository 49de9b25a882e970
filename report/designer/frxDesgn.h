#pragma once
// The designer settings component: what a program places beside its reports to set up the
// report designer (defaults of a new report, the sample text format, blocked commands and the
// hooks that replace opening and saving). At most one is in effect in a process: the one
// created last.
#include "core/Component.h"
#include "gui/Graphics.h"
#include "print/Printers.h"
#include "report/frxClass.h"

#include <memory>


KELM_ENUM(TfrxDesignerRestriction, drDontInsertObject, drDontDeletePage, drDontCreatePage, drDontChangePageOptions,
          drDontCreateReport, drDontLoadReport, drDontSaveReport, drDontPreviewReport, drDontEditVariables,
          drDontChangeReportOptions, drDontEditReportData)
using TfrxDesignerRestrictions = TSet<TfrxDesignerRestriction>;

KELM_EVENT(TfrxLoadReportEvent, bool(TfrxReport* Report));
KELM_EVENT(TfrxSaveReportEvent, bool(TfrxReport* Report, bool SaveAs));

class TfrxDesigner : public TComponent {
  KELM_CLASS(TfrxDesigner, TComponent)
  template <class B> static void Published(B& b) {
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
public:
  explicit TfrxDesigner(TComponent* AOwner);
  ~TfrxDesigner() override;

  // The component in effect; nullptr when there is none.
  static TfrxDesigner* Current();
  // Puts a component back in effect (the designer of a preview page sets its own aside).
  static void MakeCurrent(TfrxDesigner* Value);

  // ---- published properties
  // False: closing the designer never asks to save.
  bool CloseQuery() const { return FCloseQuery; }
  void SetCloseQuery(bool Value) { FCloseQuery = Value; }
  const String& DefaultScriptLanguage() const { return FDefaultScriptLanguage; }
  void SetDefaultScriptLanguage(const String& Value) { FDefaultScriptLanguage = Value; }
  // The font of the sample text format; setting copies.
  TFont* DefaultFont() const { return FDefaultFont.get(); }
  void SetDefaultFont(TFont* Value) { FDefaultFont->Assign(Value); }
  // Margins of a new report's page, in millimetres.
  Extended DefaultLeftMargin() const { return FDefaultLeftMargin; }
  void SetDefaultLeftMargin(Extended Value) { FDefaultLeftMargin = Value; }
  Extended DefaultRightMargin() const { return FDefaultRightMargin; }
  void SetDefaultRightMargin(Extended Value) { FDefaultRightMargin = Value; }
  Extended DefaultTopMargin() const { return FDefaultTopMargin; }
  void SetDefaultTopMargin(Extended Value) { FDefaultTopMargin = Value; }
  Extended DefaultBottomMargin() const { return FDefaultBottomMargin; }
  void SetDefaultBottomMargin(Extended Value) { FDefaultBottomMargin = Value; }
  int DefaultPaperSize() const { return FDefaultPaperSize; }
  void SetDefaultPaperSize(int Value) { FDefaultPaperSize = Value; }
  TPrinterOrientation DefaultOrientation() const { return FDefaultOrientation; }
  void SetDefaultOrientation(TPrinterOrientation Value) { FDefaultOrientation = Value; }
  // Initial folders of the open and save dialogs.
  const String& OpenDir() const { return FOpenDir; }
  void SetOpenDir(const String& Value) { FOpenDir = Value; }
  const String& SaveDir() const { return FSaveDir; }
  void SetSaveDir(const String& Value) { FSaveDir = Value; }
  bool Standalone() const { return FStandalone; }
  void SetStandalone(bool Value) { FStandalone = Value; }
  TfrxDesignerRestrictions Restrictions() const { return FRestrictions; }
  void SetRestrictions(TfrxDesignerRestrictions Value) { FRestrictions = Value; }
  bool RTLLanguage() const { return FRTLLanguage; }
  void SetRTLLanguage(bool Value) { FRTLLanguage = Value; }
  const TfrxLoadReportEvent& OnLoadReport() const { return FOnLoadReport; }
  void SetOnLoadReport(const TfrxLoadReportEvent& Value) { FOnLoadReport = Value; }
  const TfrxSaveReportEvent& OnSaveReport() const { return FOnSaveReport; }
  void SetOnSaveReport(const TfrxSaveReportEvent& Value) { FOnSaveReport = Value; }
  const TNotifyEvent& OnShow() const { return FOnShow; }
  void SetOnShow(const TNotifyEvent& Value) { FOnShow = Value; }
  const TNotifyEvent& OnInsertObject() const { return FOnInsertObject; }
  void SetOnInsertObject(const TNotifyEvent& Value) { FOnInsertObject = Value; }
  const TNotifyEvent& OnShowStartupScreen() const { return FOnShowStartupScreen; }
  void SetOnShowStartupScreen(const TNotifyEvent& Value) { FOnShowStartupScreen = Value; }

private:
  bool FCloseQuery = true;
  String FDefaultScriptLanguage = "PascalScript";
  std::unique_ptr<TFont> FDefaultFont;
  Extended FDefaultLeftMargin = 10, FDefaultRightMargin = 10, FDefaultTopMargin = 10, FDefaultBottomMargin = 10;
  int FDefaultPaperSize = 9;
  TPrinterOrientation FDefaultOrientation = poPortrait;
  String FOpenDir, FSaveDir;
  bool FStandalone = false;
  TfrxDesignerRestrictions FRestrictions;
  bool FRTLLanguage = false;
  TfrxLoadReportEvent FOnLoadReport;
  TfrxSaveReportEvent FOnSaveReport;
  TNotifyEvent FOnShow, FOnInsertObject, FOnShowStartupScreen;
};
