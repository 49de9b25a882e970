// The graphics module's registration: colours, enumerations, then the classes with their members.
#include "script/fs_igraphicsrtti.h"

#include "script/fs_ibinding_p.h"
#include "script/fs_iclassvariable.h"
#include "script/fs_iownership.h"
#include "core/ObjectHandles.h"
#include "gui/Canvas.h"
#include "gui/Colors.h"
#include "gui/GraphicsObjects.h"
#include "gui/Pictures.h"
#include "print/Metafile.h"

namespace fs_igraphicsrtti {

namespace {

using namespace fs_ibinding;

template <class T> T* ObjArg(TCall C, int i) { return dynamic_cast<T*>(ObjectOf(C->ParamValue(i).AsInteger())); }

template <class T> Variant MakeOwn(TObject*, TClass, const String&, TfsMethodHelper*) {
  return AdoptScriptObject(new T());
}

struct TTypeNames {
  const char* Name;
  bool Set;
  const char* Members;
};

const TTypeNames kTypes[] = {
    {"TFontStyles", true, "fsBold, fsItalic, fsUnderline, fsStrikeout"},
    {"TFontPitch", false, "fpDefault, fpVariable, fpFixed"},
    {"TPenStyle", false, "psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame"},
    {"TPenMode", false,
     "pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot, pmMergeNotPen, pmMaskNotPen, "
     "pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor"},
    {"TBrushStyle", false, "bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross"},
};

void RegisterDrawingObjects(TfsScript* S) {
  TfsClassVariable* c = S->RegisterScriptClass(TFont::StaticClass(), "TPersistent");
  c->RegisterConstructor("constructor Create", MakeOwn<TFont>);
  c->RegisterMethod("procedure Free", FreeScriptObject);
  c = S->RegisterScriptClass(TPen::StaticClass(), "TPersistent");
  c->RegisterConstructor("constructor Create", MakeOwn<TPen>);
  c->RegisterMethod("procedure Free", FreeScriptObject);
  c = S->RegisterScriptClass(TBrush::StaticClass(), "TPersistent");
  c->RegisterConstructor("constructor Create", MakeOwn<TBrush>);
  c->RegisterMethod("procedure Free", FreeScriptObject);
}

void RegisterCanvas(TfsScript* S) {
  using K = TCanvas;
  TfsClassVariable* c = S->RegisterScriptClass(K::StaticClass(), "TPersistent");
  c->RegisterConstructor("constructor Create", MakeOwn<TCanvas>);
  c->RegisterMethod("procedure Free", FreeScriptObject);
  c->RegisterMethod("procedure Draw(X, Y: Integer; Graphic: TGraphic)",
                    Method<K>([](K* O, TCall C) { O->Draw(Int(C, 0), Int(C, 1), ObjArg<TGraphic>(C, 2)); }));
  c->RegisterMethod("procedure Ellipse(X1, Y1, X2, Y2: Integer)",
                    Method<K>([](K* O, TCall C) { O->Ellipse(Int(C, 0), Int(C, 1), Int(C, 2), Int(C, 3)); }));
  c->RegisterMethod("procedure LineTo(X, Y: Integer)", Method<K>([](K* O, TCall C) { O->LineTo(Int(C, 0), Int(C, 1)); }));
  c->RegisterMethod("procedure MoveTo(X, Y: Integer)", Method<K>([](K* O, TCall C) { O->MoveTo(Int(C, 0), Int(C, 1)); }));
  c->RegisterMethod("procedure Rectangle(X1, Y1, X2, Y2: Integer)",
                    Method<K>([](K* O, TCall C) { O->Rectangle(Int(C, 0), Int(C, 1), Int(C, 2), Int(C, 3)); }));
  c->RegisterMethod("procedure RoundRect(X1, Y1, X2, Y2, X3, Y3: Integer)", Method<K>([](K* O, TCall C) {
                      O->RoundRect(Int(C, 0), Int(C, 1), Int(C, 2), Int(C, 3), Int(C, 4), Int(C, 5));
                    }));
  c->RegisterMethod("procedure StretchDraw(X1, Y1, X2, Y2: Integer; Graphic: TGraphic)", Method<K>([](K* O, TCall C) {
                      O->StretchDraw(TRect{Int(C, 0), Int(C, 1), Int(C, 2), Int(C, 3)}, ObjArg<TGraphic>(C, 4));
                    }));
  c->RegisterMethod("function TextHeight(const Text: string): Integer",
                    Method<K>([](K* O, TCall C) { return Variant(O->TextHeight(Str(C, 0))); }));
  c->RegisterMethod("procedure TextOut(X, Y: Integer; const Text: string)",
                    Method<K>([](K* O, TCall C) { O->TextOut(Int(C, 0), Int(C, 1), Str(C, 2)); }));
  c->RegisterMethod("function TextWidth(const Text: string): Integer",
                    Method<K>([](K* O, TCall C) { return Variant(O->TextWidth(Str(C, 0))); }));
  c->RegisterIndexProperty("Pixels", "Integer, Integer", "TColor",
                           [](TObject* Instance, TClass, const String& Name, TfsMethodHelper* C) -> Variant {
                             K* O = Self<K>(Instance);
                             if (Name.size() > 4 && Name.compare(Name.size() - 4, 4, ".SET") == 0) {
                               O->SetPixels(Int(C, 0), Int(C, 1), static_cast<TColor>(Int(C, 2)));
                               return Variant(0);
                             }
                             return Variant(static_cast<int>(O->Pixels(Int(C, 0), Int(C, 1))));
                           });
}

void RegisterGraphics(TfsScript* S) {
  TfsClassVariable* c = S->RegisterScriptClass(TGraphic::StaticClass(), "TPersistent");
  c->RegisterConstructor("constructor Create", [](TObject*, TClass ClassType, const String&, TfsMethodHelper*) {
    if (!ClassType || ClassType->IsAbstract())
      throw EInvalidOperation("Cannot create an instance of the abstract class " +
                              (ClassType ? ClassType->Name() : String("(unknown)")));
    return AdoptScriptObject(ClassType->Create(nullptr));
  });
  c->RegisterMethod("procedure LoadFromFile(const Filename: string)",
                    Method<TGraphic>([](TGraphic* O, TCall C) { O->LoadFromFile(Str(C, 0)); }));
  c->RegisterMethod("procedure SaveToFile(const Filename: string)",
                    Method<TGraphic>([](TGraphic* O, TCall C) { O->SaveToFile(Str(C, 0)); }));
  c->RegisterProperty(
      "Height", "Integer", [](TObject* I, TClass, const String&) { return Variant(Self<TGraphic>(I)->Height()); },
      [](TObject* I, TClass, const String&, const Variant& V) { Self<TGraphic>(I)->SetHeight(V.AsInteger()); });
  c->RegisterProperty(
      "Width", "Integer", [](TObject* I, TClass, const String&) { return Variant(Self<TGraphic>(I)->Width()); },
      [](TObject* I, TClass, const String&, const Variant& V) { Self<TGraphic>(I)->SetWidth(V.AsInteger()); });

  c = S->RegisterScriptClass(TPicture::StaticClass(), "TPersistent");
  c->RegisterMethod("procedure LoadFromFile(const Filename: string)",
                    Method<TPicture>([](TPicture* O, TCall C) { O->LoadFromFile(Str(C, 0)); }));
  c->RegisterMethod("procedure SaveToFile(const Filename: string)",
                    Method<TPicture>([](TPicture* O, TCall C) { O->SaveToFile(Str(C, 0)); }));
  c->RegisterProperty("Height", "Integer", [](TObject* I, TClass, const String&) {
    TGraphic* g = Self<TPicture>(I)->Graphic();
    return Variant(g ? g->Height() : 0);
  });
  c->RegisterProperty("Width", "Integer", [](TObject* I, TClass, const String&) {
    TGraphic* g = Self<TPicture>(I)->Graphic();
    return Variant(g ? g->Width() : 0);
  });

  S->RegisterScriptClass(TMetafile::StaticClass(), "TGraphic");
  c = S->RegisterScriptClass(TMetafileCanvas::StaticClass(), "TCanvas");
  c->RegisterConstructor("constructor Create(AMetafile: TMetafile; ReferenceDevice: Integer)",
                         [](TObject*, TClass, const String&, TfsMethodHelper* C) {
                           // Recordings are made at the screen's resolution; no other device is known.
                           if (Int(C, 1) != 0) throw EInvalidOperation("Unknown reference device");
                           auto* metafile = ObjArg<TMetafile>(C, 0);
                           if (!metafile) throw EInvalidPointer("Invalid pointer operation");
                           return AdoptScriptObject(new TMetafileCanvas(metafile, nullptr));
                         });
  c = S->RegisterScriptClass(TBitmap::StaticClass(), "TGraphic");
  c->RegisterProperty("Canvas", "TCanvas",
                      [](TObject* I, TClass, const String&) { return Variant(HandleOf(Self<TBitmap>(I)->Canvas())); });
}

}  // namespace

TFunctions::TFunctions(TfsScript* AScript) : TfsRTTIModule(AScript) {
  TfsScript* s = AScript;
  GetColorValues([s](const String& Name) {
    TColor color;
    if (IdentToColor(Name, color)) s->RegisterConst(Name, "Integer", Variant(static_cast<int>(color)));
  });
  for (const TTypeNames& t : kTypes) {
    if (t.Set) s->RegisterEnumSet(t.Name, t.Members);
    else s->RegisterEnum(t.Name, t.Members);
  }
  RegisterDrawingObjects(s);
  RegisterCanvas(s);
  RegisterGraphics(s);
}

namespace {

const bool kRegistered = [] {
  RegisterScriptModule("fs_igraphicsrtti", fmrGraphics, [](TfsScript* s) { return new TFunctions(s); });
  return true;
}();

}  // namespace

}  // namespace fs_igraphicsrtti
