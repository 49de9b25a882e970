// The forms module's registration: constants, type names, enumerations, the classes with their
// members and events, then the application object.
#include "script/fs_iformsrtti.h"

#include "script/fs_ibinding_p.h"
#include "script/fs_iclassvariable.h"
#include "script/fs_ievents.h"
#include "core/ObjectHandles.h"
#include "gui/Application.h"
#include "gui/ComboBox.h"
#include "gui/DataModule.h"
#include "gui/Edit.h"
#include "gui/ExtCtrls.h"
#include "gui/Forms.h"
#include "gui/ListCtrls.h"
#include "gui/Memo.h"
#include "gui/StdCtrls.h"

namespace fs_iformsrtti {

namespace {

using namespace fs_ibinding;

Variant Ref(const TObject* O) { return Variant(HandleOf(O)); }

struct TConstant {
  const char* Name;
  int Value;
};

// Modal results, cursors, form border styles and virtual key codes, in registration order.
const TConstant kConstants[] = {
    {"mrNone", 0}, {"mrOk", 1}, {"mrCancel", 2}, {"mrAbort", 3}, {"mrRetry", 4}, {"mrIgnore", 5}, {"mrYes", 6},
    {"mrNo", 7}, {"mrAll", 8}, {"mrNoToAll", 9}, {"mrYesToAll", 10},
    {"crDefault", 0}, {"crNone", -1}, {"crArrow", -2}, {"crCross", -3}, {"crIBeam", -4}, {"crSize", -22},
    {"crSizeNESW", -6}, {"crSizeNS", -7}, {"crSizeNWSE", -8}, {"crSizeWE", -9}, {"crUpArrow", -10},
    {"crHourGlass", -11}, {"crDrag", -12}, {"crNoDrop", -13}, {"crHSplit", -14}, {"crVSplit", -15},
    {"crMultiDrag", -16}, {"crSQLWait", -17}, {"crNo", -18}, {"crAppStart", -19}, {"crHelp", -20},
    {"crHandPoint", -21}, {"crSizeAll", -22},
    {"bsNone", 0}, {"bsSingle", 1}, {"bsSizeable", 2}, {"bsDialog", 3}, {"bsToolWindow", 4}, {"bsSizeToolWin", 5},
    {"VK_RBUTTON", 2}, {"VK_CANCEL", 3}, {"VK_MBUTTON", 4}, {"VK_BACK", 8}, {"VK_TAB", 9}, {"VK_RETURN", 13},
    {"VK_SHIFT", 16}, {"VK_CONTROL", 17}, {"VK_MENU", 18}, {"VK_PAUSE", 19}, {"VK_CAPITAL", 20},
    {"VK_ESCAPE", 27}, {"VK_SPACE", 32}, {"VK_PRIOR", 33}, {"VK_NEXT", 34}, {"VK_END", 35}, {"VK_HOME", 36},
    {"VK_LEFT", 37}, {"VK_UP", 38}, {"VK_RIGHT", 39}, {"VK_DOWN", 40}, {"VK_INSERT", 45}, {"VK_DELETE", 46},
    {"VK_HELP", 47}, {"VK_LWIN", 91}, {"VK_RWIN", 92}, {"VK_APPS", 93},
    {"VK_NUMPAD0", 96}, {"VK_NUMPAD1", 97}, {"VK_NUMPAD2", 98}, {"VK_NUMPAD3", 99}, {"VK_NUMPAD4", 100},
    {"VK_NUMPAD5", 101}, {"VK_NUMPAD6", 102}, {"VK_NUMPAD7", 103}, {"VK_NUMPAD8", 104}, {"VK_NUMPAD9", 105},
    {"VK_MULTIPLY", 106}, {"VK_ADD", 107}, {"VK_SEPARATOR", 108}, {"VK_SUBTRACT", 109}, {"VK_DECIMAL", 110},
    {"VK_DIVIDE", 111}, {"VK_F1", 112}, {"VK_F2", 113}, {"VK_F3", 114}, {"VK_F4", 115}, {"VK_F5", 116},
    {"VK_F6", 117}, {"VK_F7", 118}, {"VK_F8", 119}, {"VK_F9", 120}, {"VK_F10", 121}, {"VK_F11", 122},
    {"VK_F12", 123}, {"VK_NUMLOCK", 144}, {"VK_SCROLL", 145},
};

const char* const kIntegerTypes[] = {"TFormBorderStyle", "TBorderStyle", "TAlignment", "TLeftRight"};

const TConstant kAlignments[] = {{"taLeftJustify", 0}, {"taRightJustify", 1}, {"taCenter", 2}};

struct TTypeNames {
  const char* Name;
  bool Set;
  const char* Members;
};

const TTypeNames kTypes[] = {
    {"TShiftState", true, "ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble"},
    {"TAlign", false, "alNone, alTop, alBottom, alLeft, alRight, alClient"},
    {"TMouseButton", false, "mbLeft, mbRight, mbMiddle"},
    {"TAnchors", true, "akLeft, akTop, akRight, akBottom"},
    {"TBevelCut", false, "bvNone, bvLowered, bvRaised, bvSpace"},
    {"TTextLayout", false, "tlTop, tlCenter, tlBottom"},
    {"TEditCharCase", false, "ecNormal, ecUpperCase, ecLowerCase"},
    {"TScrollStyle", false, "ssNone, ssHorizontal, ssVertical, ssBoth"},
    {"TComboBoxStyle", false, "csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable"},
    {"TCheckBoxState", false, "cbUnchecked, cbChecked, cbGrayed"},
    {"TListBoxStyle", false, "lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable"},
    {"TWindowState", false, "wsNormal, wsMinimized, wsMaximized"},
    {"TFormStyle", false, "fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop"},
    {"TBorderIcons", true, "biSystemMenu, biMinimize, biMaximize, biHelp"},
    {"TPosition", false, "poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter"},
    {"TCloseAction", false, "caNone, caHide, caFree, caMinimize"},
};

void RegisterControls(TfsScript* S) {
  TfsClassVariable* c = S->RegisterScriptClass(TControl::StaticClass(), "TComponent");
  c->RegisterProperty("Parent", "TWinControl", Getter<TControl>([](TControl* O) { return Ref(O->Parent()); }),
                      Setter<TControl>([](TControl* O, const Variant& V) {
                        O->SetParent(dynamic_cast<TWinControl*>(ObjectOf(V.AsInteger())));
                      }));
  c->RegisterMethod("procedure Hide", Method<TControl>([](TControl* O, TCall) { O->Hide(); }));
  c->RegisterMethod("procedure Show", Method<TControl>([](TControl* O, TCall) { O->Show(); }));
  c->RegisterMethod("procedure SetBounds(ALeft, ATop, AWidth, AHeight: Integer)", Method<TControl>([](TControl* O, TCall C) {
                      O->SetBounds(Int(C, 0), Int(C, 1), Int(C, 2), Int(C, 3));
                    }));
  c->RegisterEvent("OnCanResize", TfsCanResizeEvent::StaticClass());
  c->RegisterEvent("OnClick", TfsNotifyEvent::StaticClass());
  c->RegisterEvent("OnDblClick", TfsNotifyEvent::StaticClass());
  c->RegisterEvent("OnMouseDown", TfsMouseEvent::StaticClass());
  c->RegisterEvent("OnMouseMove", TfsMouseMoveEvent::StaticClass());
  c->RegisterEvent("OnMouseUp", TfsMouseEvent::StaticClass());
  c->RegisterEvent("OnResize", TfsNotifyEvent::StaticClass());

  c = S->RegisterScriptClass(TWinControl::StaticClass(), "TControl");
  c->RegisterMethod("procedure SetFocus", Method<TWinControl>([](TWinControl* O, TCall) { O->SetFocus(); }));
  c->RegisterEvent("OnEnter", TfsNotifyEvent::StaticClass());
  c->RegisterEvent("OnExit", TfsNotifyEvent::StaticClass());
  c->RegisterEvent("OnKeyDown", TfsKeyEvent::StaticClass());
  c->RegisterEvent("OnKeyPress", TfsKeyPressEvent::StaticClass());
  c->RegisterEvent("OnKeyUp", TfsKeyEvent::StaticClass());

  S->RegisterScriptClass(TCustomControl::StaticClass(), "TWinControl");
  S->RegisterScriptClass(TGraphicControl::StaticClass(), "TControl");
  S->RegisterScriptClass(TGroupBox::StaticClass(), "TWinControl");
  S->RegisterScriptClass(TLabel::StaticClass(), "TControl");
  S->RegisterScriptClass(TEdit::StaticClass(), "TWinControl");
  S->RegisterScriptClass(TMemo::StaticClass(), "TWinControl");

  using CB = TCustomComboBox;
  c = S->RegisterScriptClass(CB::StaticClass(), "TWinControl");
  c->RegisterProperty("DroppedDown", "Boolean", Getter<CB>([](CB* O) { return Variant(O->DroppedDown()); }),
                      Setter<CB>([](CB* O, const Variant& V) { O->SetDroppedDown(V.AsBoolean()); }));
  c->RegisterProperty("ItemIndex", "Integer", Getter<CB>([](CB* O) { return Variant(O->ItemIndex()); }),
                      Setter<CB>([](CB* O, const Variant& V) { O->SetItemIndex(V.AsInteger()); }));
  c->RegisterEvent("OnChange", TfsNotifyEvent::StaticClass());
  c->RegisterEvent("OnDropDown", TfsNotifyEvent::StaticClass());
  c->RegisterEvent("OnCloseUp", TfsNotifyEvent::StaticClass());
  S->RegisterScriptClass(TComboBox::StaticClass(), "TCustomComboBox");

  S->RegisterScriptClass(TButton::StaticClass(), "TWinControl");
  S->RegisterScriptClass(TCheckBox::StaticClass(), "TWinControl");
  S->RegisterScriptClass(TRadioButton::StaticClass(), "TWinControl");

  using LB = TCustomListBox;
  c = S->RegisterScriptClass(LB::StaticClass(), "TWinControl");
  c->RegisterProperty("ItemIndex", "Integer", Getter<LB>([](LB* O) { return Variant(O->ItemIndex()); }),
                      Setter<LB>([](LB* O, const Variant& V) { O->SetItemIndex(V.AsInteger()); }));
  c->RegisterProperty("SelCount", "Integer", Getter<LB>([](LB* O) { return Variant(O->SelCount()); }));
  c->RegisterIndexProperty("Selected", "Integer", "Boolean",
                           [](TObject* Instance, TClass, const String& Name, TfsMethodHelper* C) -> Variant {
                             LB* O = Self<LB>(Instance);
                             if (Name.size() > 4 && Name.compare(Name.size() - 4, 4, ".SET") == 0) {
                               O->SetSelected(Int(C, 0), C->ParamValue(1).AsBoolean());
                               return Variant(0);
                             }
                             return Variant(O->Selected(Int(C, 0)));
                           });
  S->RegisterScriptClass(TListBox::StaticClass(), "TCustomListBox");
}

void RegisterForms(TfsScript* S) {
  S->RegisterScriptClass(TControlScrollBar::StaticClass(), "TPersistent");
  S->RegisterScriptClass(TScrollingWinControl::StaticClass(), "TWinControl");
  S->RegisterScriptClass(TScrollBox::StaticClass(), "TScrollingWinControl");

  using F = TCustomForm;
  TfsClassVariable* c = S->RegisterScriptClass(F::StaticClass(), "TScrollingWinControl");
  c->RegisterMethod("procedure Close", Method<F>([](F* O, TCall) { O->Close(); }));
  c->RegisterMethod("procedure Hide", Method<F>([](F* O, TCall) { O->Hide(); }));
  c->RegisterMethod("procedure Show", Method<F>([](F* O, TCall) { O->Show(); }));
  c->RegisterMethod("function ShowModal: Integer", Method<F>([](F* O, TCall) { return Variant(O->ShowModal()); }));
  c->RegisterEvent("OnActivate", TfsNotifyEvent::StaticClass());
  c->RegisterEvent("OnClose", TfsCloseEvent::StaticClass());
  c->RegisterEvent("OnCloseQuery", TfsCloseQueryEvent::StaticClass());
  for (const char* e : {"OnCreate", "OnDestroy", "OnDeactivate", "OnHide", "OnPaint", "OnShow"})
    c->RegisterEvent(e, TfsNotifyEvent::StaticClass());
  c->RegisterProperty("Canvas", "TCanvas", Getter<F>([](F* O) { return Ref(O->Canvas()); }));
  c->RegisterProperty("ModalResult", "Integer", Getter<F>([](F* O) { return Variant(O->ModalResult()); }),
                      Setter<F>([](F* O, const Variant& V) { O->SetModalResult(V.AsInteger()); }));
  S->RegisterScriptClass(TForm::StaticClass(), "TCustomForm");
  S->RegisterScriptClass(TDataModule::StaticClass(), "TComponent");

  using A = TApplication;
  c = S->RegisterScriptClass(A::StaticClass(), "TComponent");
  c->RegisterMethod("procedure Minimize", Method<A>([](A* O, TCall) { O->Minimize(); }));
  c->RegisterMethod("procedure ProcessMessages", Method<A>([](A* O, TCall) { O->ProcessMessages(); }));
  c->RegisterMethod("procedure Restore", Method<A>([](A* O, TCall) { O->Restore(); }));
  // The application lives as long as the program: no script frees it.
  c->RegisterMethod("procedure Free", [](TObject*, TClass, const String&, TfsMethodHelper*) -> Variant {
    throw EInvalidOperation("Cannot free the application");
  });
  c->RegisterProperty("ExeName", "String", Getter<A>([](A* O) { return Variant(O->ExeName()); }));
}

}  // namespace

TFunctions::TFunctions(TfsScript* AScript) : TfsRTTIModule(AScript) {
  TfsScript* s = AScript;
  for (const TConstant& c : kConstants) s->RegisterConst(c.Name, "Integer", Variant(c.Value));
  for (const char* t : kIntegerTypes) s->RegisterType(t, tcInteger);
  for (const TConstant& c : kAlignments) s->RegisterConst(c.Name, "Integer", Variant(c.Value));
  for (const TTypeNames& t : kTypes) {
    if (t.Set) s->RegisterEnumSet(t.Name, t.Members);
    else s->RegisterEnum(t.Name, t.Members);
  }
  RegisterControls(s);
  RegisterForms(s);
  if (Application) s->RegisterObject("Application", Application);
}

namespace {

const bool kRegistered = [] {
  RegisterScriptModule("fs_iformsrtti", fmrForms, [](TfsScript* s) { return new TFunctions(s); });
  return true;
}();

}  // namespace

}  // namespace fs_iformsrtti
