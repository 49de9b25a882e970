// The dialogs module's registration: sets and enumerations, the dialog classes, the functions.
#include "script/fs_idialogsrtti.h"

#include "script/fs_iclassvariable.h"
#include "gui/Dialogs.h"
#include "print/PrintDialogs.h"

namespace fs_idialogsrtti {

namespace {

struct TTypeNames {
  const char* Name;
  bool Set;
  const char* Members;
};

const TTypeNames kTypes[] = {
    {"TOpenOptions", true,
     "ofReadOnly, ofOverwritePrompt, ofHideReadOnly,ofNoChangeDir, ofShowHelp, ofNoValidate, ofAllowMultiSelect,"
     "ofExtensionDifferent, ofPathMustExist, ofFileMustExist, ofCreatePrompt,ofShareAware, ofNoReadOnlyReturn, "
     "ofNoTestFileCreate, ofNoNetworkButton,ofNoLongNames, ofOldStyleDialog, ofNoDereferenceLinks, "
     "ofEnableIncludeNotify,ofEnableSizing"},
    {"TFileEditStyle", false, "fsEdit, fsComboBox"},
    {"TColorDialogOptions", true, "cdFullOpen, cdPreventFullOpen, cdShowHelp,cdSolidColor, cdAnyColor"},
    {"TFontDialogOptions", true,
     "fdAnsiOnly, fdTrueTypeOnly, fdEffects,fdFixedPitchOnly, fdForceFontExist, fdNoFaceSel, fdNoOEMFonts,"
     "fdNoSimulations, fdNoSizeSel, fdNoStyleSel,  fdNoVectorFonts,fdShowHelp, fdWysiwyg, fdLimitSize, "
     "fdScalableOnly, fdApplyButton"},
    {"TFontDialogDevice", false, "fdScreen, fdPrinter, fdBoth"},
    {"TPrintRange", false, "prAllPages, prSelection, prPageNums"},
    {"TPrintDialogOptions", true, "poPrintToFile, poPageNums, poSelection,poWarning, poHelp, poDisablePrintToFile"},
    {"TMsgDlgType", false, "mtWarning, mtError, mtInformation, mtConfirmation, mtCustom"},
    {"TMsgDlgButtons", true,
     "mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp"},
};

String Str(TfsMethodHelper* C, int i) { return VarToStr(C->ParamValue(i)); }

Variant Execute(TObject* Instance, TClass, const String&, TfsMethodHelper*) {
  auto* dialog = dynamic_cast<TCommonDialog*>(Instance);
  if (!dialog) throw EInvalidCast("Invalid class typecast");
  return Variant(dialog->Execute());
}

Variant CallMessageDlg(TObject*, TClass, const String&, TfsMethodHelper* C) {
  auto buttons = TMsgDlgButtons::FromBits(static_cast<std::uint64_t>(C->ParamValue(2).AsInt64()));
  return Variant(MessageDlg(Str(C, 0), static_cast<TMsgDlgType>(C->ParamValue(1).AsInteger()), buttons,
                            C->ParamValue(3).AsInteger()));
}

Variant CallInputBox(TObject*, TClass, const String&, TfsMethodHelper* C) {
  return Variant(InputBox(Str(C, 0), Str(C, 1), Str(C, 2)));
}

Variant CallInputQuery(TObject*, TClass, const String&, TfsMethodHelper* C) {
  String value = Str(C, 2);
  bool ok = InputQuery(Str(C, 0), Str(C, 1), value);
  if (ok) C->SetParamValue(2, Variant(value));
  return Variant(ok);
}

}  // namespace

TFunctions::TFunctions(TfsScript* AScript) : TfsRTTIModule(AScript) {
  TfsScript* s = AScript;
  for (const TTypeNames& t : kTypes) {
    if (t.Set) s->RegisterEnumSet(t.Name, t.Members);
    else s->RegisterEnum(t.Name, t.Members);
  }
  s->RegisterScriptClass(TCommonDialog::StaticClass(), "TComponent")
      ->RegisterMethod("function Execute: Boolean", Execute);
  s->RegisterScriptClass(TOpenDialog::StaticClass(), "TCommonDialog");
  s->RegisterScriptClass(TSaveDialog::StaticClass(), "TCommonDialog");
  s->RegisterScriptClass(TColorDialog::StaticClass(), "TCommonDialog");
  s->RegisterScriptClass(TFontDialog::StaticClass(), "TCommonDialog");
  s->RegisterScriptClass(TPrintDialog::StaticClass(), "TCommonDialog");
  s->RegisterScriptClass(TPrinterSetupDialog::StaticClass(), "TCommonDialog");
  s->RegisterFunction("function MessageDlg(Msg: string; DlgType: TMsgDlgType; Buttons: TMsgDlgButtons; "
                      "HelpCtx: Longint): Integer",
                      CallMessageDlg, "ctOther");
  s->RegisterFunction("function InputBox(ACaption, APrompt, ADefault: string): string", CallInputBox, "ctOther");
  s->RegisterFunction("function InputQuery(ACaption, APrompt: string; var Value: string): Boolean", CallInputQuery,
                      "ctOther");
}

namespace {

const bool kRegistered = [] {
  RegisterScriptModule("fs_idialogsrtti", fmrDialogs, [](TfsScript* s) { return new TFunctions(s); });
  return true;
}();

}  // namespace

}  // namespace fs_idialogsrtti
