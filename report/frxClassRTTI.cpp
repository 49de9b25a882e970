#include "report/frxClassRTTI.h"

#include "core/DateUtils.h"
#include "core/Lists.h"
#include "core/ObjectHandles.h"
#include "core/StrUtils.h"
#include "core/Streams.h"
#include "core/StringList.h"
#include "core/SysUtils.h"
#include "gui/WinControl.h"
#include "report/frxBands.h"
#include "report/frxClass.h"
#include "report/frxClassBases.h"
#include "report/frxDBSet.h"
#include "report/frxMemoView.h"
#include "report/frxPages.h"
#include "report/frxShapes.h"
#include "report/frxUnicodeUtils.h"
#include "report/frxVariables.h"
#include "report/frxView.h"
#include "script/fs_iinterpreter.h"

#include <cmath>
#include <map>

namespace frxClassRTTI {

struct TFunctions::TLists {
  std::map<const TObject*, std::unique_ptr<TList>> Objects, AllObjects;
};

namespace {

using TCall = TfsMethodHelper*;

// ---- arguments and results
String Str(TCall C, int i) { return VarToStr(C->ParamValue(i)); }
int Int(TCall C, int i) { return C->ParamValue(i).AsInteger(); }
Extended Float(TCall C, int i) { return C->ParamValue(i).AsDouble(); }
template <class T> T* ObjArg(TCall C, int i) {
  const Variant v = C->ParamValue(i);
  return VarIsNull(v) || VarIsEmpty(v) ? nullptr : ObjectOf<T>(v.AsInteger());
}
Variant Ref(const TObject* O) { return Variant(HandleOf(O)); }

struct TConstant {
  const char* Name;
  const char* Type;
  Variant Value;
};

struct TEnum {
  const char* Type;
  bool Set;
  const char* Names;
};

// Each mirrors the report library's type of the same name with the same values.
const TEnum kEnums[] = {
    {"TfrxStretchMode", false, "smDontStretch, smActualHeight, smMaxHeight"},
    {"TfrxShiftMode", false, "smDontShift, smAlways, smWhenOverlapped"},
    {"TfrxDuplexMode", false, "dmNone, dmVertical, dmHorizontal, dmSimplex"},
    // baClient is a value the Align property takes; scripts need it as well.
    {"TfrxAlign", false, "baNone, baLeft, baRight, baCenter, baWidth, baBottom, baClient"},
    {"TfrxFrameStyle", false, "fsSolid, fsDash, fsDot, fsDashDot, fsDashDotDot, fsDouble"},
    {"TfrxFrameTypes", true, "ftLeft, ftRight, ftTop, ftBottom"},
    {"TfrxHAlign", false, "haLeft, haRight, haCenter, haBlock"},
    {"TfrxVAlign", false, "vaTop, vaBottom, vaCenter"},
    {"TfrxRestrictions", true, "rfDontModify, rfDontSize, rfDontMove, rfDontDelete"},
    {"TfrxShapeKind", false, "skRectangle, skRoundRectangle, skEllipse, skTriangle, skDiamond, skDiagonal1, skDiagonal2"},
    // The members of the preview options' Buttons set in its own order, so that a script
    // switches the buttons it names.
    {"TfrxPreviewButtons", true,
     "pbPrint, pbLoad, pbSave, pbExport, pbZoom, pbFind, pbOutline, pbPageSetup, pbTools, pbEdit, pbNavigator, "
     "pbExportQuick, pbNoClose"},
    {"TfrxZoomMode", false, "zmDefault, zmWholePage, zmPageWidth, zmManyPages"},
    {"TfrxPrintPages", false, "ppAll, ppOdd, ppEven"},
    {"TfrxDMPFontStyles", true,
     "fsxBold, fsxItalic, fsxUnderline, fsxSuperScript, fsxSubScript, fsxCondensed, fsxWide, fsx12cpi, fsx15cpi"},
    {"TfrxRangeBegin", false, "rbFirst, rbCurrent"},
    {"TfrxRangeEnd", false, "reLast, reCurrent, reCount"},
    {"TfrxFieldType", false, "fftNumeric, fftString, fftBoolean"},
    {"TfrxFormatKind", false, "fkText, fkNumeric, fkDateTime, fkBoolean"},
};

template <class T> bool Is(TClass ClassType) { return ClassType == T::StaticClass(); }

// The list a script reads as Objects or AllObjects, filled afresh at each read.
Variant ListOf(std::map<const TObject*, std::unique_ptr<TList>>& Lists, const TfrxComponent* C, bool All) {
  std::unique_ptr<TList>& list = Lists[C];
  if (!list) list = std::make_unique<TList>();
  list->Clear();
  if (All) {
    for (TfrxComponent* o : C->AllObjects()) list->Add(o);
  } else {
    for (int i = 0; i < C->ObjectCount(); ++i) list->Add(C->Objects(i));
  }
  return Ref(list.get());
}

Variant CallMethod(TFunctions::TLists& Lists, TObject* Instance, TClass ClassType, const String& Name, TCall C) {
  Variant result(0);
  if (Is<TWideStrings>(ClassType)) {
    auto* o = static_cast<TWideStrings*>(Instance);
    if (Name == "ADD") result = o->Add(Str(C, 0));
    else if (Name == "ADDOBJECT") result = o->AddObject(Str(C, 0), ObjArg<TObject>(C, 1));
    else if (Name == "CLEAR") o->Clear();
    else if (Name == "DELETE") o->Delete(Int(C, 0));
    else if (Name == "INDEXOF") result = o->IndexOf(Str(C, 0));
    else if (Name == "INSERT") o->Insert(Int(C, 0), Str(C, 1));
    else if (Name == "LOADFROMFILE") o->LoadFromFile(Str(C, 0));
    else if (Name == "LOADFROMSTREAM") o->LoadFromStream(ObjArg<TStream>(C, 0));
    else if (Name == "SAVETOFILE") o->SaveToFile(Str(C, 0));
    else if (Name == "SAVETOSTREAM") o->SaveToStream(ObjArg<TStream>(C, 0));
    else if (Name == "OBJECTS.GET") result = Ref(o->Objects(Int(C, 0)));
    else if (Name == "OBJECTS.SET") o->SetObjects(Int(C, 0), ObjArg<TObject>(C, 1));
    else if (Name == "STRINGS.GET") result = o->Strings(Int(C, 0));
    else if (Name == "STRINGS.SET") o->SetStrings(Int(C, 0), Str(C, 1));
  } else if (Is<TfrxDataSet>(ClassType)) {
    auto* o = static_cast<TfrxDataSet*>(Instance);
    if (Name == "OPEN") o->Open();
    else if (Name == "CLOSE") o->Close();
    else if (Name == "FIRST") o->First();
    else if (Name == "NEXT") o->Next();
    else if (Name == "PRIOR") o->Prior();
    else if (Name == "EOF") result = o->Eof();
    else if (Name == "FIELDSCOUNT") result = o->FieldsCount();
    else if (Name == "HASFIELD") result = o->HasField(Str(C, 0));
    else if (Name == "ISBLOBFIELD") result = o->IsBlobField(Str(C, 0));
    else if (Name == "RECORDCOUNT") result = o->RecordCount();
    else if (Name == "GETFIELDLIST") o->GetFieldList(ObjArg<TStrings>(C, 0));
    else if (Name == "DISPLAYTEXT.GET") result = Utf16ToUtf8(o->DisplayText(Str(C, 0)));
    else if (Name == "DISPLAYWIDTH.GET") result = o->DisplayWidth(Str(C, 0));
    else if (Name == "FIELDTYPE.GET") result = static_cast<int>(o->GetFieldType(Str(C, 0)));
    else if (Name == "VALUE.GET") result = o->GetValue(Str(C, 0));
  } else if (Is<TfrxComponent>(ClassType)) {
    auto* o = static_cast<TfrxComponent*>(Instance);
    if (Name == "CLEAR") o->Clear();
    else if (Name == "FINDOBJECT") result = Ref(o->FindObject(Str(C, 0)));
    else if (Name == "LOADFROMSTREAM") o->LoadFromStream(ObjArg<TStream>(C, 0));
    else if (Name == "SAVETOSTREAM") o->SaveToStream(ObjArg<TStream>(C, 0), C->ParamValue(1).AsBoolean(), false);
    else if (Name == "SETBOUNDS") o->SetBounds(Float(C, 0), Float(C, 1), Float(C, 2), Float(C, 3));
  } else if (Is<TfrxDialogControl>(ClassType)) {
    auto* o = static_cast<TfrxDialogControl*>(Instance);
    if (Name == "SETFOCUS") {
      if (auto* w = dynamic_cast<TWinControl*>(o->Control())) w->SetFocus();
    }
  } else if (Is<TfrxStretcheable>(ClassType)) {
    if (Name == "CALCHEIGHT") result = static_cast<TfrxStretcheable*>(Instance)->CalcHeight();
  } else if (Is<TfrxCustomMemoView>(ClassType)) {
    if (Name == "CALCWIDTH") result = static_cast<TfrxCustomMemoView*>(Instance)->CalcWidth();
  } else if (Is<TfrxPictureView>(ClassType)) {
    if (Name == "LOADFROMFILE") static_cast<TfrxPictureView*>(Instance)->LoadFromFile(Str(C, 0));
  } else if (Is<TfrxDialogPage>(ClassType)) {
    if (Name == "SHOWMODAL") result = static_cast<TfrxDialogPage*>(Instance)->ShowModal();
  } else if (Is<TfrxVariables>(ClassType)) {
    auto* o = static_cast<TfrxVariables*>(Instance);
    if (Name == "VARIABLES.GET") result = o->GetVariables(Str(C, 0));
    else if (Name == "VARIABLES.SET") o->SetVariables(Str(C, 0), C->ParamValue(1));
  } else if (Is<TfrxReport>(ClassType)) {
    auto* o = static_cast<TfrxReport*>(Instance);
    if (Name == "CALC") result = o->Calc(Str(C, 0));
    else if (Name == "GETDATASET") result = Ref(o->GetDataset(Str(C, 0)));
    else if (Name == "LOADFROMFILE") result = o->LoadFromFile(Str(C, 0), false);
    else if (Name == "SAVETOFILE") o->SaveToFile(Str(C, 0));
    else if (Name == "SHOWREPORT") o->ShowReport(true);
  } else if (Is<TfrxCustomEngine>(ClassType)) {
    auto* o = static_cast<TfrxCustomEngine*>(Instance);
    if (Name == "NEWPAGE") o->NewPage();
    else if (Name == "NEWCOLUMN") o->NewColumn();
    else if (Name == "SHOWBAND") o->ShowBand(ObjArg<TfrxBand>(C, 0));
    else if (Name == "STOPREPORT") o->StopReport();
    else if (Name == "FREESPACE") result = static_cast<double>(o->FreeSpace());
    else if (Name == "ADDANCHOR") {
      if (o->PreviewPages()) o->PreviewPages()->AddAnchor(Str(C, 0));
    } else if (Name == "GETANCHORPAGE") {
      if (o->PreviewPages()) result = o->PreviewPages()->GetAnchorPage(Str(C, 0));
    }
  } else if (Is<TfrxCustomOutline>(ClassType)) {
    auto* o = static_cast<TfrxCustomOutline*>(Instance);
    if (Name == "ADDITEM") {
      TfrxCustomEngine* engine = o->PreviewPages() ? o->PreviewPages()->Engine() : nullptr;
      // The entry points at the engine's position, rounded halves to even.
      o->AddItem(Str(C, 0), engine ? static_cast<int>(std::nearbyint(engine->CurY())) : 0);
    } else if (Name == "LEVELROOT") {
      o->LevelRoot();
    } else if (Name == "LEVELUP") {
      o->LevelUp();
    }
  } else if (!ClassType) {
    // The report functions. IIF and the aggregates stay 0 outside a report's script.
    if (Name == "DAYOF" || Name == "MONTHOF" || Name == "YEAROF") {
      Word y = 0, m = 0, d = 0;
      DecodeDate(C->ParamValue(0).AsDateTime(), y, m, d);
      result = Name == "DAYOF" ? d : Name == "MONTHOF" ? m : y;
    }
  }
  (void)Lists;
  return result;
}

Variant GetProp(TFunctions::TLists& Lists, TObject* Instance, TClass ClassType, const String& Name) {
  if (Is<TWideStrings>(ClassType)) {
    auto* o = static_cast<TWideStrings*>(Instance);
    if (Name == "COUNT") return o->Count();
    if (Name == "TEXT") return o->Text();
  } else if (Is<TfrxDataSet>(ClassType)) {
    if (Name == "RECNO") return static_cast<TfrxDataSet*>(Instance)->RecNo();
  } else if (Is<TfrxComponent>(ClassType)) {
    auto* o = static_cast<TfrxComponent*>(Instance);
    if (Name == "OBJECTS") return ListOf(Lists.Objects, o, false);
    if (Name == "ALLOBJECTS") return ListOf(Lists.AllObjects, o, true);
    if (Name == "PARENT") return Ref(o->Parent());
    if (Name == "PAGE") return Ref(o->Page());
    if (Name == "ABSLEFT") return static_cast<double>(o->AbsLeft());
    if (Name == "ABSTOP") return static_cast<double>(o->AbsTop());
  } else if (Is<TfrxView>(ClassType)) {
    if (Name == "TAGSTR") return static_cast<TfrxView*>(Instance)->TagStr();
  } else if (Is<TfrxCustomMemoView>(ClassType)) {
    auto* o = static_cast<TfrxCustomMemoView*>(Instance);
    if (Name == "TEXT") return o->Text();
    if (Name == "LINES") return Ref(o->Memo());
    if (Name == "VALUE") return o->Value();
  } else if (Is<TfrxBand>(ClassType)) {
    if (Name == "OVERFLOW") return static_cast<TfrxBand*>(Instance)->Overflow;
  } else if (Is<TfrxDialogPage>(ClassType)) {
    if (Name == "MODALRESULT") return static_cast<int>(static_cast<TfrxDialogPage*>(Instance)->ModalResult());
  } else if (Is<TfrxReport>(ClassType)) {
    auto* o = static_cast<TfrxReport*>(Instance);
    if (Name == "TERMINATED") return o->Terminated();
    if (Name == "VARIABLES") return Ref(o->Variables());
  }
  return Null();
}

void SetProp(TObject* Instance, TClass ClassType, const String& Name, const Variant& Value) {
  if (Is<TWideStrings>(ClassType)) {
    if (Name == "TEXT") static_cast<TWideStrings*>(Instance)->SetText(VarToStr(Value));
  } else if (Is<TfrxComponent>(ClassType)) {
    if (Name == "PARENT")
      static_cast<TfrxComponent*>(Instance)->SetParent(
          VarIsNull(Value) ? nullptr : ObjectOf<TfrxComponent>(Value.AsInteger()));
  } else if (Is<TfrxView>(ClassType)) {
    if (Name == "TAGSTR") static_cast<TfrxView*>(Instance)->SetTagStr(VarToStr(Value));
  } else if (Is<TfrxCustomMemoView>(ClassType)) {
    auto* o = static_cast<TfrxCustomMemoView*>(Instance);
    if (Name == "TEXT") {
      o->SetText(VarToStr(Value));
    } else if (Name == "LINES") {
      // The memo keeps its own list: the given one is copied.
      auto* source = VarIsNull(Value) ? nullptr : ObjectOf<TPersistent>(Value.AsInteger());
      if (source) o->Memo()->Assign(source);
      else o->Memo()->Clear();
    }
  } else if (Is<TfrxDialogPage>(ClassType)) {
    if (Name == "MODALRESULT") static_cast<TfrxDialogPage*>(Instance)->SetModalResult(Value.AsInteger());
  } else if (Is<TfrxReport>(ClassType)) {
    if (Name == "TERMINATED") static_cast<TfrxReport*>(Instance)->SetTerminated(Value.AsBoolean());
  }
}

}  // namespace

TFunctions::TFunctions(TfsScript* AScript) : TfsRTTIModule(AScript), FLists(std::make_unique<TLists>()) {
  TfsScript* s = AScript;
  TLists& lists = *FLists;
  TfsCallMethod method = [&lists](TObject* I, TClass T, const String& N, TCall C) {
    return CallMethod(lists, I, T, N, C);
  };
  TfsGetValue get = [&lists](TObject* I, TClass T, const String& N) { return GetProp(lists, I, T, N); };
  TfsSetValue set = [](TObject* I, TClass T, const String& N, const Variant& V) { SetProp(I, T, N, V); };

  const TConstant constants[] = {
      {"fr01cm", "Extended", Variant(3.77953)},   {"fr1cm", "Extended", Variant(37.7953)},
      {"fr01in", "Extended", Variant(9.6)},       {"fr1in", "Extended", Variant(96)},
      {"fr1CharX", "Extended", Variant(9.6)},     {"fr1CharY", "Extended", Variant(17)},
      {"clTransparent", "Integer", Variant(0x1FFFFFFF)}, {"crHand", "Integer", Variant(150)},
      {"crZoom", "Integer", Variant(151)},        {"crFormat", "Integer", Variant(152)},
  };
  for (const TConstant& c : constants) s->RegisterConst(c.Name, c.Type, c.Value);
  for (const TEnum& e : kEnums) e.Set ? s->RegisterEnumSet(e.Type, e.Names) : s->RegisterEnum(e.Type, e.Names);

  // A class registered by name: the dot-matrix objects and the engine proper come from units
  // of their own and may not be part of the program.
  auto cls = [s](const char* Name, const char* Ancestor) -> TfsClassVariable* {
    TClass c = GetClass(Name);
    return c ? s->RegisterScriptClass(c, Ancestor) : nullptr;
  };
  auto prop = [&](TfsClassVariable* c, const char* Name, const char* Type, bool Writable) {
    if (c) c->RegisterProperty(Name, Type, get, Writable ? set : nullptr);
  };
  auto meth = [&](TfsClassVariable* c, const char* Signature) {
    if (c) c->RegisterMethod(Signature, method);
  };

  TfsClassVariable* c = cls("TWideStrings", "TPersistent");
  meth(c, "function Add(const S: string): Integer");
  meth(c, "function AddObject(const S: string; AObject: TObject): Integer");
  meth(c, "procedure Clear");
  meth(c, "procedure Delete(Index: Integer)");
  meth(c, "function IndexOf(const S: string): Integer");
  meth(c, "procedure Insert(Index: Integer; const S: string)");
  meth(c, "procedure LoadFromFile(const FileName: string)");
  meth(c, "procedure LoadFromStream(Stream: TStream)");
  meth(c, "procedure SaveToFile(const FileName: string)");
  meth(c, "procedure SaveToStream(Stream: TStream)");
  prop(c, "Count", "Integer", false);
  if (c) {
    c->RegisterIndexProperty("Objects", "Integer", "TObject", method);
    c->RegisterDefaultProperty("Strings", "Integer", "string", method);
  }
  prop(c, "Text", "string", true);

  c = cls("TfrxDataSet", "TComponent");
  meth(c, "procedure Open");
  meth(c, "procedure Close");
  meth(c, "procedure First");
  meth(c, "procedure Next");
  meth(c, "procedure Prior");
  meth(c, "function Eof: Boolean");
  meth(c, "function FieldsCount: Integer");
  meth(c, "function HasField(const fName: String): Boolean");
  meth(c, "function IsBlobField(const fName: String): Boolean");
  meth(c, "function RecordCount: Integer");
  meth(c, "procedure GetFieldList(List: TStrings)");
  prop(c, "RecNo", "Integer", false);
  if (c) {
    c->RegisterIndexProperty("DisplayText", "String", "String", method, true);
    c->RegisterIndexProperty("DisplayWidth", "String", "Integer", method, true);
    c->RegisterIndexProperty("FieldType", "String", "TfrxFieldType", method, true);
    c->RegisterIndexProperty("Value", "String", "Variant", method, true);
  }
  cls("TfrxUserDataSet", "TfrxDataSet");
  cls("TfrxCustomDBDataSet", "TfrxDataSet");

  c = cls("TfrxComponent", "TComponent");
  meth(c, "procedure Clear");
  meth(c, "function FindObject(s: String): TfrxComponent");
  meth(c, "procedure LoadFromStream(Stream: TStream)");
  meth(c, "procedure SaveToStream(Stream: TStream; SaveChildren: Boolean = True)");
  meth(c, "procedure SetBounds(ALeft, ATop, AWidth, AHeight: Extended)");
  prop(c, "Objects", "TList", false);
  prop(c, "AllObjects", "TList", false);
  prop(c, "Parent", "TfrxComponent", true);
  prop(c, "Page", "TfrxPage", false);
  prop(c, "AbsLeft", "Extended", false);
  prop(c, "AbsTop", "Extended", false);

  cls("TfrxReportComponent", "TfrxComponent");
  cls("TfrxDialogComponent", "TfrxReportComponent");
  meth(cls("TfrxDialogControl", "TfrxReportComponent"), "procedure SetFocus");
  cls("TfrxFrame", "TPersistent");
  prop(cls("TfrxView", "TfrxReportComponent"), "TagStr", "String", true);
  cls("TfrxShapeView", "TfrxView");
  meth(cls("TfrxStretcheable", "TfrxView"), "function CalcHeight: Extended");
  cls("TfrxHighlight", "TPersistent");
  cls("TfrxFormat", "TPersistent");
  c = cls("TfrxCustomMemoView", "TfrxStretcheable");
  meth(c, "function CalcWidth: Extended");
  prop(c, "Text", "String", true);
  prop(c, "Lines", "TWideStrings", true);
  prop(c, "Value", "Variant", false);
  cls("TfrxMemoView", "TfrxCustomMemoView");
  cls("TfrxSysMemoView", "TfrxCustomMemoView");
  cls("TfrxDMPMemoView", "TfrxCustomMemoView");
  cls("TfrxCustomLineView", "TfrxStretcheable");
  cls("TfrxLineView", "TfrxCustomLineView");
  cls("TfrxDMPLineView", "TfrxCustomLineView");
  cls("TfrxDMPCommand", "TfrxView");
  meth(cls("TfrxPictureView", "TfrxView"), "procedure LoadFromFile(filename: String)");
  cls("TfrxSubreport", "TfrxView");
  prop(cls("TfrxBand", "TfrxReportComponent"), "Overflow", "Boolean", false);
  for (const char* b : {"TfrxDataBand", "TfrxHeader", "TfrxFooter"}) cls(b, "TfrxBand");
  for (const char* b : {"TfrxMasterData", "TfrxDetailData", "TfrxSubdetailData", "TfrxDataBand4", "TfrxDataBand5",
                        "TfrxDataBand6"})
    cls(b, "TfrxDataBand");
  for (const char* b : {"TfrxPageHeader", "TfrxPageFooter", "TfrxColumnHeader", "TfrxColumnFooter", "TfrxGroupHeader",
                        "TfrxGroupFooter", "TfrxReportTitle", "TfrxReportSummary", "TfrxChild", "TfrxOverlay"})
    cls(b, "TfrxBand");
  cls("TfrxPage", "TfrxComponent");
  cls("TfrxReportPage", "TfrxPage");
  c = cls("TfrxDialogPage", "TfrxPage");
  meth(c, "function ShowModal: Integer");
  prop(c, "ModalResult", "Integer", true);
  cls("TfrxDMPPage", "TfrxReportPage");
  for (const char* o : {"TfrxEngineOptions", "TfrxPrintOptions", "TfrxPreviewOptions", "TfrxReportOptions"})
    cls(o, "TPersistent");
  cls("TfrxVariable", "TCollectionItem");
  c = cls("TfrxVariables", "TCollection");
  if (c) c->RegisterDefaultProperty("Variables", "String", "Variant", method);

  c = cls("TfrxReport", "TfrxComponent");
  meth(c, "function Calc(const Expr: String): Variant");
  meth(c, "function GetDataset(const Alias: String): TfrxDataset");
  meth(c, "function LoadFromFile(const FileName: String): Boolean");
  meth(c, "procedure SaveToFile(const FileName: String)");
  meth(c, "procedure ShowReport");
  prop(c, "Terminated", "Boolean", true);
  prop(c, "Variables", "TfrxVariables", false);

  c = cls("TfrxCustomEngine", "TPersistent");
  meth(c, "procedure AddAnchor(const Text: String)");
  meth(c, "procedure NewPage");
  meth(c, "procedure NewColumn");
  meth(c, "procedure ShowBand(Band: TfrxBand)");
  meth(c, "procedure StopReport");
  meth(c, "function FreeSpace: Extended");
  meth(c, "function GetAnchorPage(const Text: String): Integer");
  cls("TfrxEngine", "TfrxCustomEngine");
  c = cls("TfrxCustomOutline", "TPersistent");
  meth(c, "procedure AddItem(const Text: String)");
  meth(c, "procedure LevelRoot");
  meth(c, "procedure LevelUp");
  cls("TfrxOutline", "TfrxCustomOutline");

  s->RegisterFunction("function DayOf(Date: TDateTime): Integer", method, "ctDate");
  s->RegisterFunction("function MonthOf(Date: TDateTime): Integer", method, "ctDate");
  s->RegisterFunction("function YearOf(Date: TDateTime): Integer", method, "ctDate");
  s->RegisterFunction("function IIF(Expr: Boolean; TrueValue, FalseValue: Variant): Variant", method, "ctOther");
  s->RegisterFunction("function SUM(Expr: Variant; Band: Variant = 0; Flags: Integer = 0): Variant", method,
                      "ctAggregate");
  s->RegisterFunction("function AVG(Expr: Variant; Band: Variant = 0; Flags: Integer = 0): Variant", method,
                      "ctAggregate");
  s->RegisterFunction("function MIN(Expr: Variant; Band: Variant = 0; Flags: Integer = 0): Variant", method,
                      "ctAggregate");
  s->RegisterFunction("function MAX(Expr: Variant; Band: Variant = 0; Flags: Integer = 0): Variant", method,
                      "ctAggregate");
  s->RegisterFunction("function COUNT(Band: Variant = 0; Flags: Integer = 0): Variant", method, "ctAggregate");
}

TFunctions::~TFunctions() = default;

namespace {

const bool kRegistered = [] {
  RegisterScriptModule("frxClassRTTI", fmrReport, [](TfsScript* s) { return new TFunctions(s); });
  return true;
}();

}  // namespace

}  // namespace frxClassRTTI
