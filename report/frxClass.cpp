#include "report/frxClass.h"

#include "core/ClassBuilder.h"
#include "core/FileUtils.h"
#include "core/Filer.h"
#include "core/Format.h"
#include "core/IniFiles.h"
#include "core/Registry.h"
#include "core/Scope.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "gui/Application.h"
#include "gui/Control.h"
#include "gui/Forms.h"
#include "gui/Messages.h"
#include "gui/Pictures.h"
#include "gui/Timers.h"
#include "gui/WinControl.h"
#include "report/frxClassBases.h"
#include "report/frxExpressionCache.h"
#include "script/fs_iscript.h"
#include "data/Fields.h"
#include "report/frxFormUtils.h"
#include "report/frxEngine.h"
#include "report/frxPreviewDialogs.h"
#include "report/frxPreviewPages.h"
#include "report/frxGraphicUtils.h"
#include "report/frxPrinter.h"
#include "report/frxRes.h"
#include "report/frxUnicodeUtils.h"
#include "report/frxVariables.h"
#include "report/frxXML.h"
#include "report/frxXMLSerializer.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <mutex>

TFontCharset DefaultCharset = 1;

namespace {

// Every report data set of the process in creation order; reports find theirs by user name.
struct TGlobalDataSets {
  std::mutex Lock;
  std::vector<TfrxDataSet*> List;
};
TGlobalDataSets& Globals() {
  static TGlobalDataSets g;
  return g;
}

// Set while CreateForDesign constructs, so the object is designing from its first moment.
thread_local bool gCreatingForDesign = false;

// The key of the report's name index: names compare ignoring ASCII case.
String NameKey(const String& Name) {
  String k = Name;
  for (char& c : k)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return k;
}

// Floats in difference texts: the general format, "." always.
String DiffFloat(Extended v) {
  // Whole numbers, most positions of prepared objects, read the same in the general format.
  if (v == std::trunc(v) && std::fabs(v) < 1e15 && !(v == 0 && std::signbit(v))) return IntToStr(static_cast<Int64>(v));
  static const TFormatSettings fs = [] {
    TFormatSettings f;
    f.DecimalSeparator = '.';
    return f;
  }();
  return FloatToStr(v, fs);
}

bool Differ(Extended a, Extended b) { return std::fabs(a - b) > 0.0001; }

}  // namespace

// ================================================================ TfrxComponent

KELM_PUBLISH(TfrxComponent) {}

TComponent* TfrxComponent::PlatformOwner(TComponent* AOwner) {
  if (auto* parent = dynamic_cast<TfrxComponent*>(AOwner)) return parent->FindParentReport();
  return AOwner;
}

TfrxComponent::TfrxComponent(TComponent* AOwner)
    : TComponent(PlatformOwner(AOwner)), FFont(std::make_unique<TFont>()), FIsDesigning(gCreatingForDesign) {
  FFont->SetName("Arial");
  FFont->SetSize(10);
  FFont->SetColor(clBlack);
  FFont->SetCharset(DefaultCharset);
  FFont->SetOnChange(MakeEvent(this, &TfrxComponent::FontChanged));
  if (auto* parent = dynamic_cast<TfrxComponent*>(AOwner)) SetParent(parent);
}

TfrxComponent::~TfrxComponent() {
  FFont->SetOnChange(TNotifyEvent());
  if (FParent) SetParent(nullptr);
  Clear();
}

TfrxComponent* TfrxComponent::CreateForDesign(TClass Class, TComponent* AOwner, int) {
  if (!Class || !Class->InheritsFrom(TfrxComponent::StaticClass()) || Class->IsAbstract())
    throw EInvalidOperation("Cannot create a report object of class " + String(Class ? Class->Name() : "nil"));
  TRestore<bool> designing(gCreatingForDesign, true);
  return static_cast<TfrxComponent*>(Class->Create(AOwner));
}

TfrxComponent* TfrxComponent::Objects(int Index) const {
  if (Index < 0 || Index >= ObjectCount()) throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
  return FObjects[static_cast<std::size_t>(Index)];
}

void TfrxComponent::SetParent(TfrxComponent* Value) {
  if (Value == FParent) return;
  for (TfrxComponent* p = Value; p; p = p->FParent)
    if (p == this) throw EInvalidOperation("A report object cannot be placed inside itself");
  TfrxReport* oldReport = FParent ? FParent->FindParentReport() : nullptr;
  TfrxReport* newReport = Value ? Value->FindParentReport() : nullptr;
  if (oldReport != newReport && oldReport) oldReport->IndexSubtree(this, false);
  if (FParent) {
    auto& siblings = FParent->FObjects;
    siblings.erase(std::find(siblings.rbegin(), siblings.rend(), this).base() - 1);
  }
  FParent = Value;
  if (FParent) FParent->FObjects.push_back(this);
  if (oldReport != newReport && newReport) newReport->IndexSubtree(this, true);
  if (FParent) SetParentFont(FParentFont);
}

const std::vector<TfrxComponent*>& TfrxComponent::AllObjects() const {
  FAllObjects.clear();
  CollectObjects(FAllObjects);
  return FAllObjects;
}

void TfrxComponent::CollectObjects(std::vector<TfrxComponent*>& List) const {
  for (TfrxComponent* c : FObjects) {
    List.push_back(c);
    c->CollectObjects(List);
  }
}

TfrxPage* TfrxComponent::Page() const {
  for (const TfrxComponent* c = this; c; c = c->FParent)
    if (c->InheritsFrom(TfrxPage::StaticClass())) return static_cast<TfrxPage*>(const_cast<TfrxComponent*>(c));
  return nullptr;
}

namespace {
// Whether objects of the class are reports, which every text object asks about for each value
// it prints.
bool IsReportClass(TClass Class) { return Class->InheritsFrom(TfrxReport::StaticClass()); }
}  // namespace

TfrxReport* TfrxComponent::FindParentReport() const {
  for (const TfrxComponent* c = this; c; c = c->FParent)
    if (IsReportClass(c->ClassType())) return static_cast<TfrxReport*>(const_cast<TfrxComponent*>(c));
  return nullptr;
}

TfrxComponent* TfrxComponent::FindObject(const String& AName) const {
  std::vector<TfrxComponent*> all;
  CollectObjects(all);
  for (TfrxComponent* c : all)
    if (SameText(c->Name(), AName)) return c;
  return nullptr;
}

void TfrxComponent::SetLeft(Extended Value) {
  if (!Restricted(rfDontMove)) FLeft = Value;
}
void TfrxComponent::SetTop(Extended Value) {
  if (!Restricted(rfDontMove)) FTop = Value;
}
void TfrxComponent::SetWidth(Extended Value) {
  if (!Restricted(rfDontSize)) FWidth = Value;
}
void TfrxComponent::SetHeight(Extended Value) {
  if (!Restricted(rfDontSize)) FHeight = Value;
}

void TfrxComponent::SetBounds(Extended ALeft, Extended ATop, Extended AWidth, Extended AHeight) {
  SetLeft(ALeft);
  SetTop(ATop);
  SetWidth(AWidth);
  SetHeight(AHeight);
}

namespace {
// Objects on a dialog page are placed on its form, not below the page. Asked of the class
// chain rather than by a cast: the designer asks it of every object on every release.
bool IsOnDialogPage(const TfrxComponent* Parent) {
  return Parent->InheritsFrom(TfrxPage::StaticClass()) && static_cast<const TfrxPage*>(Parent)->IsDialogPage();
}
}  // namespace

Extended TfrxComponent::AbsLeft() const {
  if (!FParent || IsOnDialogPage(FParent)) return FLeft;
  return FLeft + FParent->AbsLeft();
}

Extended TfrxComponent::AbsTop() const {
  if (!FParent || IsOnDialogPage(FParent)) return FTop;
  return FTop + FParent->AbsTop();
}

void TfrxComponent::SetFont(TFont* Value) {
  FFont->Assign(Value);
  FParentFont = false;
}

void TfrxComponent::SetParentFont(bool Value) {
  if (Value && FParent) SetFont(FParent->Font());
  FParentFont = Value;
}

void TfrxComponent::FontChanged(TObject*) { PropagateFont(); }

void TfrxComponent::PropagateFont() {
  FParentFont = false;
  for (TfrxComponent* c : FObjects)
    if (c->ParentFont()) c->SetParentFont(true);
}

bool TfrxComponent::IsLoadingNow() const { return FIsLoading || ComponentState().Contains(csLoading); }

String TfrxComponent::BaseName() const {
  String name = ClassName();
  if (std::size_t p = name.find("Tfrx"); p != String::npos) name.erase(p, 4);
  if (std::size_t p = name.find("View"); p != String::npos) name.erase(p, 4);
  return name;
}

void TfrxComponent::AssignNumberedName() {
  TfrxReport* report = FindParentReport();
  const TfrxComponent* scope = report ? static_cast<const TfrxComponent*>(report) : FParent;
  if (!scope) throw EInvalidOperation("An object without report or parent cannot be numbered");
  String base = BaseName();
  if (report) {
    // The report's name index answers each candidate at once.
    for (int i = 1;; ++i) {
      String candidate = base + IntToStr(i);
      if (!report->FindObject(candidate)) {
        SetName(candidate);
        return;
      }
    }
  }
  TStringList names;
  names.SetSorted(true);
  names.SetCaseSensitive(false);
  for (TfrxComponent* c : scope->AllObjects()) names.Add(c->Name());
  for (int i = 1;; ++i) {
    String candidate = base + IntToStr(i);
    if (names.IndexOf(candidate) < 0) {
      SetName(candidate);
      return;
    }
  }
}

void TfrxComponent::SetName(const String& Value) {
  if (!Value.empty() && !SameText(Value, Name()))
    if (TfrxReport* report = FindParentReport()) {
      TfrxComponent* other = report->FindObject(Value);
      if (other && other != this) {
        // The built-in texts lack the key; a language file may supply it.
        String text = ReportResources()->TextOf("prDupl");
        throw Exception(text == "prDupl" ? String("Duplicate name") : text);
      }
    }
  TComponent::SetName(Value);
}

void TfrxComponent::ChangeName(const String& NewName) {
  TfrxReport* report = FParent ? FParent->FindParentReport() : nullptr;
  if (report) report->IndexRemove(this);
  TComponent::ChangeName(NewName);
  if (report) report->IndexAdd(this);
}

void TfrxComponent::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TfrxComponent*>(Source);
  if (!src) return;
  TMemoryStream stream;
  src->SaveToStream(&stream, false, true);
  stream.SetPosition(0);
  LoadFromStream(&stream);
}

void TfrxComponent::AssignAll(TfrxComponent* Source) {
  if (!Source) return;
  TMemoryStream stream;
  Source->SaveToStream(&stream, true, true);
  stream.SetPosition(0);
  LoadFromStream(&stream);
}

String TfrxComponent::FullAttributes(TfrxComponent* Reference) {
  TfrxXMLSerializer serializer(nullptr);
  serializer.SetOwner(FindParentReport());
  String text = serializer.PropsToAttributes(this, String());
  if (Reference) text += " " + TfrxComponent::DiffAttributes(Reference);
  return Trim(text);
}

String TfrxComponent::DiffAttributes(TfrxComponent* Reference) {
  String r;
  auto aligned = [this] {
    const TPropInfo* p = GetPropInfo(this, "Align");
    return p && p->Kind == tkEnumeration && p->Access->GetOrd(this) != 0;
  };
  auto autoWidth = [this] {
    const TPropInfo* p = GetPropInfo(this, "AutoWidth");
    return IsTextObject() && p && p->Access->GetOrd(this) != 0;
  };
  // Looked up once: every object of every prepared page asks.
  static const TClass bandClass = GetClass("TfrxBand");
  bool band = bandClass && ClassType()->InheritsFrom(bandClass);
  if (Differ(FLeft, Reference->FLeft) && !aligned()) r += " l=\"" + DiffFloat(FLeft) + "\"";
  if (Differ(FTop, Reference->FTop) || band) r += " t=\"" + DiffFloat(FTop) + "\"";
  if (Differ(FWidth, Reference->FWidth) && !autoWidth()) r += " w=\"" + DiffFloat(FWidth) + "\"";
  if (Differ(FHeight, Reference->FHeight)) r += " h=\"" + DiffFloat(FHeight) + "\"";
  if (FVisible != Reference->FVisible) r += String(" Visible=\"") + (FVisible ? "1" : "0") + "\"";
  if (!FParentFont) {
    TFont* f = FFont.get();
    TFont* g = Reference->Font();
    if (f->Name() != g->Name()) r += " Font.Name=\"" + XMLEscapeText(f->Name()) + "\"";
    if (f->Size() != g->Size()) r += " Font.Size=\"" + IntToStr(f->Size()) + "\"";
    if (f->Color() != g->Color()) r += " Font.Color=\"" + IntToStr(f->Color()) + "\"";
    if (f->Style() != g->Style()) r += " Font.Style=\"" + IntToStr(static_cast<Int64>(f->Style().Bits())) + "\"";
    if (f->Charset() != g->Charset()) r += " Font.Charset=\"" + IntToStr(f->Charset()) + "\"";
  }
  if (FParentFont != Reference->FParentFont) r += String(" ParentFont=\"") + (FParentFont ? "1" : "0") + "\"";
  if (Tag() != Reference->Tag()) r += " Tag=\"" + IntToStr(Tag()) + "\"";
  return r;
}

namespace {

// The align value of a child that carries one (views), else -1.
int AlignOf(const TfrxComponent* c) {
  const TPropInfo* p = GetPropInfo(c, "Align");
  return p && p->Kind == tkEnumeration ? static_cast<int>(p->Access->GetOrd(c)) : -1;
}

}  // namespace

void TfrxComponent::ArrangeAlignedChildren() {
  // Views sorted by their left edge as text, as the designer always has: negative positions
  // first ("0" + magnitude), then the others ("1" + value).
  struct TEntry {
    String Key;
    TfrxComponent* View;
  };
  std::vector<TEntry> sorted;
  for (TfrxComponent* c : FObjects) {
    if (AlignOf(c) < 0) continue;
    Extended l = c->Left();
    String key = l >= 0 ? "1" + Format("%9.2f", {l}) : "0" + Format("%9.2f", {-l});
    sorted.push_back({key, c});
  }
  std::stable_sort(sorted.begin(), sorted.end(),
                   [](const TEntry& a, const TEntry& b) { return CompareText(a.Key, b.Key) < 0; });
  auto overlaps = [](TfrxComponent* a, TfrxComponent* b) {
    return b->AbsTop() < a->AbsTop() + a->Height() - 0.0001 && a->AbsTop() < b->AbsTop() + b->Height() - 0.0001;
  };
  auto neighbour = [&](int index, int step) -> TfrxComponent* {
    TfrxComponent* v = sorted[static_cast<std::size_t>(index)].View;
    for (int i = index + step; i >= 0 && i < static_cast<int>(sorted.size()); i += step) {
      TfrxComponent* c = sorted[static_cast<std::size_t>(i)].View;
      if (AlignOf(v) == baWidth) {
        if (step < 0 && c->Left() > v->Left()) continue;
        if (step > 0 && c->Left() + c->Width() < v->Left() + v->Width()) continue;
      }
      if (overlaps(v, c)) return c;
    }
    return nullptr;
  };
  for (int i = 0; i < static_cast<int>(sorted.size()); ++i) {
    TfrxComponent* v = sorted[static_cast<std::size_t>(i)].View;
    int a = AlignOf(v);
    if (a != baLeft && a != baWidth) continue;
    TfrxComponent* n = neighbour(i, -1);
    v->SetLeft(n ? n->Left() + n->Width() : 0);
  }
  for (int i = static_cast<int>(sorted.size()) - 1; i >= 0; --i) {
    TfrxComponent* v = sorted[static_cast<std::size_t>(i)].View;
    int a = AlignOf(v);
    if (a != baRight && a != baWidth) continue;
    TfrxComponent* n = neighbour(i, 1);
    Extended edge = n ? n->Left() : Width();
    if (a == baRight) v->SetLeft(edge - v->Width());
    else v->SetWidth(edge - v->Left());
  }
  for (TfrxComponent* v : FObjects) {
    switch (AlignOf(v)) {
      case baCenter: v->SetLeft((Width() - v->Width()) / 2); break;
      case baBottom: v->SetTop(Height() - v->Height()); break;
      case baClient: v->SetBounds(0, 0, Width(), Height()); break;
      default: break;
    }
  }
}

void TfrxComponent::Clear() {
  while (!FObjects.empty()) delete FObjects.back();  // each takes itself out of the list
}

void TfrxComponent::LoadFromStream(TStream* Stream) {
  String savedName = Name();
  Clear();
  TfrxReport* report = FindParentReport();
  TfrxXMLSerializer serializer(Stream);
  TScopeExit restore([&] {
    if (report) report->SetCurrentSerializer(nullptr);
    ChangeName(savedName);
  });
  if (report) report->SetCurrentSerializer(&serializer);
  ChangeName(String());  // the loaded tree may not clash with the old name
  serializer.SetOwner(report ? static_cast<TfrxComponent*>(report) : this);
  TScopeExit errors([&] {
    if (report) report->Errors()->AddStrings(serializer.Errors());
  });
  serializer.ReadTree(this, nullptr);
}

void TfrxComponent::SaveToStream(TStream* Stream, bool SaveChildren, bool SaveDefaultValues) {
  TfrxXMLSerializer serializer(Stream);
  TfrxReport* report = FindParentReport();
  serializer.SetOwner(report ? static_cast<TfrxComponent*>(report) : this);
  serializer.SetSaveDefaultValues(SaveDefaultValues);
  serializer.WriteTree(this, SaveChildren, nullptr);
}

// ================================================================ report components

KELM_PUBLISH(TfrxReportComponent) { Published(b); }

TfrxReportComponent::TfrxReportComponent(TComponent* AOwner) : TfrxComponent(AOwner) {}
TfrxReportComponent::~TfrxReportComponent() = default;

void TfrxReportComponent::SaveStateForPrint() { SetSavedBounds({Left(), Top(), Width(), Height()}); }

void TfrxReportComponent::RestoreStateAfterPrint() {
  const TfrxBounds& b = SavedBounds();
  SetBounds(b.Left, b.Top, b.Width, b.Height);
}

TfrxRect TfrxReportComponent::AbsoluteRect() const {
  return MakeFloatRect(AbsLeft(), AbsTop(), AbsLeft() + Width(), AbsTop() + Height());
}

KELM_PUBLISH(TfrxDialogComponent) {}

TfrxDialogComponent::TfrxDialogComponent(TComponent* AOwner) : TfrxReportComponent(AOwner) {
  // Off every page until a designer places it.
  SetLeft(-10000);
  SetTop(-10000);
}

TfrxDialogComponent::~TfrxDialogComponent() = default;

void TfrxDialogComponent::DefineProperties(TFiler* Filer) {
  TfrxReportComponent::DefineProperties(Filer);
  // Older definitions placed dialog components by these; they are read, never written.
  Filer->DefineProperty("pLeft", [this](TReader* r) { SetLeft(r->ReadInteger()); }, nullptr, false);
  Filer->DefineProperty("pTop", [this](TReader* r) { SetTop(r->ReadInteger()); }, nullptr, false);
}

KELM_PUBLISH(TfrxPage) { Published(b); }

// ================================================================ dialog controls

TForm* DialogParkingForm() {
  static TForm* form = nullptr;
  if (!form) {
    form = new TForm(nullptr);
    AddExitProc([] {
      // The controls belong to their dialog controls, not to the form.
      while (form->ControlCount() > 0) form->Controls(form->ControlCount() - 1)->SetParent(nullptr);
      delete form;
      form = nullptr;
    });
  }
  return form;
}

KELM_PUBLISH(TfrxDialogControl) { Published(b); }

TfrxDialogControl::TfrxDialogControl(TComponent* AOwner) : TfrxReportComponent(AOwner) {}

TfrxDialogControl::~TfrxDialogControl() {
  // Child objects first: their controls sit inside this one, which would free them too.
  TfrxComponent::Clear();
  if (Parent()) TfrxComponent::SetParent(nullptr);
  FControl.reset();
}

void TfrxDialogControl::InitControl(TControl* AControl) {
  FControl.reset(AControl);
  if (!FControl) return;
  FControl->FreeNotification(this);
  FControl->SetBounds(static_cast<int>(std::lround(Left())), static_cast<int>(std::lround(Top())),
                      static_cast<int>(std::lround(Width())), static_cast<int>(std::lround(Height())));
  FControl->Font()->Assign(Font());
  FControl->SetParentFont(ParentFont());
  PlaceControl();
}

void TfrxDialogControl::Notification(TComponent* AComponent, TOperation Operation) {
  TfrxReportComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && FControl && AComponent == FControl.get()) static_cast<void>(FControl.release());
}

String TfrxDialogControl::BaseName() const {
  String name = ClassName();
  if (std::size_t p = name.find("Tfrx"); p != String::npos) name.erase(p, 4);
  if (std::size_t p = name.find("Control"); p != String::npos) name.erase(p, 7);
  return name;
}

void TfrxDialogControl::SetLeft(Extended Value) {
  TfrxReportComponent::SetLeft(Value);
  if (FControl) FControl->SetLeft(static_cast<int>(std::lround(Left())));
}

void TfrxDialogControl::SetTop(Extended Value) {
  TfrxReportComponent::SetTop(Value);
  if (FControl) FControl->SetTop(static_cast<int>(std::lround(Top())));
}

void TfrxDialogControl::SetWidth(Extended Value) {
  TfrxReportComponent::SetWidth(Value);
  if (FControl) FControl->SetWidth(static_cast<int>(std::lround(Width())));
}

void TfrxDialogControl::SetHeight(Extended Value) {
  TfrxReportComponent::SetHeight(Value);
  if (FControl) FControl->SetHeight(static_cast<int>(std::lround(Height())));
}

void TfrxDialogControl::SetVisible(bool Value) {
  TfrxReportComponent::SetVisible(Value);
  if (FControl) FControl->SetVisible(Visible());
}

void TfrxDialogControl::PropagateFont() {
  TfrxReportComponent::PropagateFont();
  if (FControl) FControl->Font()->Assign(Font());
}

void TfrxDialogControl::SetParentFont(bool Value) {
  TfrxReportComponent::SetParentFont(Value);
  if (FControl) FControl->SetParentFont(Value);
}

void TfrxDialogControl::SetParent(TfrxComponent* Value) {
  TfrxReportComponent::SetParent(Value);
  PlaceControl();
}

void TfrxDialogControl::PlaceControl() {
  if (!FControl) return;
  TWinControl* host = nullptr;
  if (auto* control = dynamic_cast<TfrxDialogControl*>(Parent()))
    host = dynamic_cast<TWinControl*>(control->Control());
  else if (auto* page = dynamic_cast<TfrxPage*>(Parent()); page && page->IsDialogPage())
    host = page->DialogForm();
  FControl->SetParent(host ? host : DialogParkingForm());
}

void TfrxDialogControl::SetName(const String& Value) {
  String old = Name();
  bool follow = FControl && FControl->ControlStyle().Contains(csSetCaption) && FControl->Caption() == old &&
                !IsLoadingNow();
  TfrxReportComponent::SetName(Value);
  if (follow) FControl->SetCaption(Value);
}

void TfrxDialogControl::DrawOnCanvas(TCanvas* Canvas, Extended, Extended, Extended, Extended) {
  if (!FControl) return;
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf24bit);
  bitmap.SetSize(static_cast<int>(std::lround(Width())), static_cast<int>(std::lround(Height())));
  bitmap.Canvas()->Brush()->SetColor(clBtnFace);
  bitmap.Canvas()->FillRect(TRect{0, 0, bitmap.Width(), bitmap.Height()});
  {
    Canvas->Lock();
    TScopeExit unlock([Canvas] { Canvas->Unlock(); });
    if (auto* windowed = dynamic_cast<TWinControl*>(FControl.get())) {
      windowed->PaintTo(bitmap.Canvas(), 0, 0);
    } else {
      HDC dc = bitmap.Canvas()->Handle();
      FControl->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(dc));
      FControl->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    }
  }
  Canvas->Draw(static_cast<int>(std::lround(AbsLeft())), static_cast<int>(std::lround(AbsTop())), &bitmap);
}

String TfrxDialogControl::Caption() const { return FControl ? FControl->Caption() : String(); }
void TfrxDialogControl::SetCaption(const String& Value) {
  if (FControl) FControl->SetCaption(Value);
}
void TfrxDialogControl::SetColor(TColor Value) {
  if (FControl) FControl->SetColor(Value);
}
bool TfrxDialogControl::Enabled() const { return FControl ? FControl->Enabled() : FEnabled; }
void TfrxDialogControl::SetEnabled(bool Value) {
  FEnabled = Value;
  if (FControl) FControl->SetEnabled(Value);
}
void TfrxDialogControl::SetFocus() {
  if (auto* w = dynamic_cast<TWinControl*>(FControl.get())) w->SetFocus();
}

// ================================================================ TfrxDataSet

KELM_PUBLISH(TfrxDataSet) { Published(b); }

TfrxDataSet::TfrxDataSet(TComponent* AOwner) : TfrxDialogComponent(AOwner) {
  auto& g = Globals();
  std::lock_guard<std::mutex> hold(g.Lock);
  g.List.push_back(this);
}

TfrxDataSet::~TfrxDataSet() {
  auto& g = Globals();
  std::lock_guard<std::mutex> hold(g.Lock);
  g.List.erase(std::remove(g.List.begin(), g.List.end(), this), g.List.end());
}

void TfrxDataSet::SetUserName(const String& Value) {
  if (Trim(Value).empty()) throw EPropertyError("Invalid property value");
  FUserName = Value;
}

void TfrxDataSet::SetName(const String& Value) {
  String old = Name();
  bool follow = !Value.empty() && (FUserName.empty() || FUserName == old);
  TfrxDialogComponent::SetName(Value);
  if (follow) FUserName = Value;
}

void TfrxDataSet::GetFieldList(TStrings* List) { List->Clear(); }

Variant TfrxDataSet::GetValue(const String&) { return Null(); }

void TfrxDataSet::First() {
  FRecNo = 0;
  if (FOnFirst) FOnFirst(this);
}

void TfrxDataSet::Next() {
  if (FRangeEnd == reCount && FRecNo >= FRangeEndCount) return;  // the counted range is done
  ++FRecNo;
  // The step onto the end of a counted range is not a record of its own.
  if (FOnNext && !(FRangeEnd == reCount && FRecNo >= FRangeEndCount)) FOnNext(this);
}

void TfrxDataSet::Prior() {
  --FRecNo;
  if (FOnPrior) FOnPrior(this);
}

bool TfrxDataSet::Eof() {
  bool eof = FRangeEnd == reCount && FRecNo >= FRangeEndCount;
  if (FOnCheckEOF) FOnCheckEOF(this, eof);
  return eof;
}

int TfrxDataSet::RecordCount() { return FRangeBegin == rbFirst && FRangeEnd == reCount ? FRangeEndCount : 0; }

int TfrxDataSet::FieldsCount() {
  TStringList names;
  GetFieldList(&names);
  return names.Count();
}

bool TfrxDataSet::HasField(const String& FieldName) {
  TStringList names;
  GetFieldList(&names);
  return names.IndexOf(FieldName) >= 0;
}

TfrxDataSet* TfrxDataSet::FindByUserName(TfrxDataSet* Default, const String& AName, TfrxReport* AReport) {
  if (AName.empty()) return nullptr;
  auto& g = Globals();
  std::lock_guard<std::mutex> hold(g.Lock);
  for (TfrxDataSet* ds : g.List) {
    auto* owner = dynamic_cast<TfrxReport*>(ds->Owner());
    if (owner && owner != AReport) continue;
    if (SameText(ds->UserName(), AName)) return ds;
  }
  return Default;
}

std::vector<TfrxDataSet*> TfrxDataSet::GlobalDataSets() {
  auto& g = Globals();
  std::lock_guard<std::mutex> hold(g.Lock);
  return g.List;
}

// ================================================================ TfrxCustomDBDataSet

KELM_PUBLISH(TfrxCustomDBDataSet) { Published(b); }

TfrxCustomDBDataSet::TfrxCustomDBDataSet(TComponent* AOwner)
    : TfrxDataSet(AOwner), FFieldAliases(std::make_unique<TStringList>()), FFieldCache(std::make_unique<TStringList>()) {
  FFieldCache->SetSorted(true);
  FFieldCache->SetDuplicates(dupIgnore);
  FFieldCache->SetCaseSensitive(false);
}

int TfrxCustomDBDataSet::FieldsCount() {
  TStringList names;
  GetFieldList(&names);
  return names.Count();
}

void TfrxCustomDBDataSet::Open() {
  if (FOnOpen) FOnOpen(this);
}

void TfrxCustomDBDataSet::Close() {
  if (FOnClose) FOnClose(this);
}

TfrxCustomDBDataSet::~TfrxCustomDBDataSet() = default;

String TfrxCustomDBDataSet::RealFieldName(const String& Alias) const {
  for (int i = 0; i < FFieldAliases->Count(); ++i)
    if (SameText(FFieldAliases->ValueFromIndex(i), Alias)) return FFieldAliases->Names(i);
  return Alias;
}

void TfrxCustomDBDataSet::GetFieldList(TStrings* List) {
  List->Clear();
  if (FFieldAliases->Count() > 0) {
    for (int i = 0; i < FFieldAliases->Count(); ++i)
      if (!StartsStr("-", FFieldAliases->Names(i))) List->Add(FFieldAliases->ValueFromIndex(i));
    return;
  }
  try {
    if (TDataSet* ds = SourceDataSet()) ds->GetFieldNames(List);
  } catch (const Exception&) {
    // A dataset that cannot tell its fields offers none.
  }
}

// ================================================================ TfrxDBDataset

KELM_PUBLISH(TfrxDBDataset) { Published(b); }

TfrxDBDataset::~TfrxDBDataset() = default;

TDataSet* TfrxDBDataset::EffectiveDataSet() const {
  if (TDataSet* ds = DataSet()) return ds;
  return DataSource() ? DataSource()->DataSet() : nullptr;
}

bool TfrxDBDataset::IsActive() const {
  TDataSet* ds = EffectiveDataSet();
  return ds && ds->Active();
}

bool TfrxDBDataset::LinksStored() const { return !dynamic_cast<TfrxReport*>(Owner()); }

void TfrxDBDataset::BeginUse() {
  TDataSet* ds = EffectiveDataSet();
  if (!ds) {
    String text = ReportResources()->TextOf("dbNotConn");
    throw Exception(text.find("%s") != String::npos ? Format(text, {Name()}) : text + " " + Name());
  }
  if (FUsed != ds) {
    FUsed = ds;
    FSavedAfterOpen = ds->AfterOpen();
    FSavedBeforeClose = ds->BeforeClose();
    ds->SetAfterOpen(MakeEvent(this, &TfrxDBDataset::DataSetAfterOpen));
    ds->SetBeforeClose(MakeEvent(this, &TfrxDBDataset::DataSetBeforeClose));
  }
  FRangeEof = false;
  FInitialized = false;
}

void TfrxDBDataset::EndUse() {
  TDataSet* ds = EffectiveDataSet();
  if (!ds) return;
  if (FHasRangeBookmark) {
    // A record deleted meanwhile cannot be gone back to; the rest of the cleanup still runs.
    if (ds->Active() && ds->BookmarkValid(FRangeBookmark)) ds->GotoBookmark(FRangeBookmark);
    FRangeBookmark.clear();
    FHasRangeBookmark = false;
  }
  if (CloseDataSource()) Close();
  if (FUsed) {
    FUsed->SetAfterOpen(FSavedAfterOpen);
    FUsed->SetBeforeClose(FSavedBeforeClose);
    FUsed = nullptr;
  }
  FInitialized = false;
}

void TfrxDBDataset::DataSetAfterOpen(TDataSet* DataSet) {
  RefreshFieldCache();
  if (FSavedAfterOpen) FSavedAfterOpen(DataSet);
}

void TfrxDBDataset::DataSetBeforeClose(TDataSet* DataSet) {
  if (FSavedBeforeClose) FSavedBeforeClose(DataSet);
  ReleaseOnClose();
}

void TfrxDBDataset::ReleaseOnClose() {
  FFieldIndex.clear();
  FRangeBookmark.clear();
  FHasRangeBookmark = false;
  FInitialized = false;
}

void TfrxDBDataset::RefreshFieldCache() {
  FieldCache()->Clear();
  FFieldIndex.clear();
  TDataSet* ds = EffectiveDataSet();
  TStringList names;
  GetFieldList(&names);
  for (int i = 0; i < names.Count(); ++i) {
    TField* f = ds ? ds->FindField(RealFieldName(names.Strings(i))) : nullptr;
    FieldCache()->AddObject(names.Strings(i), f);
    FFieldIndex.emplace(NameKey(names.Strings(i)), f);
  }
}

void TfrxDBDataset::Open() {
  if (FInitialized) return;
  FInitialized = true;
  TDataSet* ds = EffectiveDataSet();
  if (!ds) return;
  ds->Open();
  RefreshFieldCache();
  FHasRangeBookmark = RangeBegin() == rbCurrent || RangeEnd() == reCurrent;
  FRangeBookmark = FHasRangeBookmark ? ds->GetBookmark() : String();
  TfrxCustomDBDataSet::Open();
}

void TfrxDBDataset::EnsureOpen() {
  if (!FInitialized) Open();
}

void TfrxDBDataset::Close() {
  TfrxCustomDBDataSet::Close();
  ReleaseOnClose();
  if (TDataSet* ds = EffectiveDataSet()) ds->Close();
}

void TfrxDBDataset::First() {
  EnsureOpen();
  TDataSet* ds = EffectiveDataSet();
  if (ds) {
    if (RangeBegin() == rbCurrent && FHasRangeBookmark && ds->BookmarkValid(FRangeBookmark)) ds->GotoBookmark(FRangeBookmark);
    else ds->First();
  }
  FRangeEof = false;
  TfrxCustomDBDataSet::First();
}

void TfrxDBDataset::Next() {
  EnsureOpen();
  FRangeEof = false;
  TDataSet* ds = EffectiveDataSet();
  if (ds && RangeEnd() == reCurrent && FHasRangeBookmark &&
      ds->CompareBookmarks(ds->GetBookmark(), FRangeBookmark) == 0) {
    FRangeEof = true;
    return;
  }
  if (ds) ds->Next();
  TfrxCustomDBDataSet::Next();
}

void TfrxDBDataset::Prior() {
  EnsureOpen();
  if (TDataSet* ds = EffectiveDataSet()) ds->Prior();
  TfrxCustomDBDataSet::Prior();
}

bool TfrxDBDataset::Eof() {
  EnsureOpen();
  TDataSet* ds = EffectiveDataSet();
  return TfrxCustomDBDataSet::Eof() || (ds && ds->Eof()) || FRangeEof;
}

bool TfrxDBDataset::CachedField(const String& Name, TField*& Field) const {
  auto it = FFieldIndex.find(NameKey(Name));
  Field = it == FFieldIndex.end() ? nullptr : it->second;
  return it != FFieldIndex.end();
}

void TfrxDBDataset::FieldNotFound(const String& Field, const String& Prefix) {
  TfrxReport* report = ReportRef() ? ReportRef() : FindParentReport();
  if (report) report->Errors()->Add(report->CurrentObjectName() + ": " + Prefix);
}

namespace {
String NotFoundText(const String& UserName, const String& Field) {
  String text = ReportResources()->TextOf("dbFldNotFound");
  String where = UserName + ".\"" + Field + "\"";
  return text.find("%s") != String::npos ? Format(text, {where}) : text + " " + where;
}
}  // namespace

Variant TfrxDBDataset::GetValue(const String& Field) {
  EnsureOpen();
  TField* f;
  if (!CachedField(Field, f)) {
    FieldNotFound(Field, NotFoundText(UserName(), Field));
    return Null();
  }
  if (!f) return Null();
  if (f->DataType() == ftFMTBcd) return f->IsNull() ? Null() : Variant(static_cast<double>(f->AsVariant().AsDouble()));
  if (f->DataType() == ftLargeint) return f->IsNull() ? Null() : Variant(f->AsVariant().AsInt64());
  return f->Value();
}

WideString TfrxDBDataset::DisplayText(const String& Field) {
  if (!IsActive()) return Utf8ToUtf16(UserName() + ".\"" + Field + "\"");
  EnsureOpen();
  TDataSet* ds = EffectiveDataSet();
  if (FieldCache()->Count() == 0) {
    TField* f = ds->FindField(Field);
    return f ? Utf8ToUtf16(f->DisplayText()) : WideString();
  }
  TField* f;
  if (!CachedField(Field, f)) {
    String text = NotFoundText(UserName(), Field);
    FieldNotFound(Field, text);
    return Utf8ToUtf16(text);
  }
  return f ? Utf8ToUtf16(f->DisplayText()) : WideString();
}

int TfrxDBDataset::DisplayWidth(const String& Field) {
  TDataSet* ds = EffectiveDataSet();
  if (!ds) return 10;
  String real = RealFieldName(Field);
  if (TField* f = ds->FindField(real)) return f->DisplayWidth();
  try {
    ds->FieldDefs()->Update();
  } catch (const Exception&) {
    return 10;
  }
  for (int i = 0; i < ds->FieldDefs()->Count(); ++i) {
    TFieldDef* d = ds->FieldDefs()->Items(i);
    if (!SameText(d->Name(), real)) continue;
    switch (d->DataType()) {
      case ftString: case ftWideString: return d->Size();
      case ftDateTime: return 20;
      case ftLargeint: return 15;
      default: return 10;
    }
  }
  return 10;
}

TfrxFieldType TfrxDBDataset::GetFieldType(const String& Field) {
  TDataSet* ds = EffectiveDataSet();
  TField* f = ds ? ds->FindField(RealFieldName(Field)) : nullptr;
  if (!f) return fftNumeric;
  switch (f->DataType()) {
    case ftString: case ftMemo: case ftWideString: return fftString;
    case ftBoolean: return fftBoolean;
    default: return fftNumeric;
  }
}

bool TfrxDBDataset::IsBlobField(const String& Field) {
  EnsureOpen();
  TField* f;
  return CachedField(Field, f) && f && f->IsBlob();
}

void TfrxDBDataset::CopyBlobTo(const String& Field, TObject* Target) {
  EnsureOpen();
  TField* f;
  CachedField(Field, f);
  auto* blob = dynamic_cast<TBlobField*>(f);
  if (!blob) return;
  if (auto* lines = dynamic_cast<TWideStrings*>(Target)) {
    TMemoryStream data;
    blob->SaveToStream(&data);
    String text(static_cast<std::size_t>(data.Size()), '\0');
    data.SetPosition(0);
    if (data.Size() > 0) data.ReadBuffer(text.data(), data.Size());
    lines->SetText(IsValidUtf8(text) ? text : GbkToUtf8(text));
  } else if (auto* stream = dynamic_cast<TStream*>(Target)) {
    blob->SaveToStream(stream);
    stream->SetPosition(0);
  }
}

int TfrxDBDataset::RecordCount() {
  TDataSet* ds = EffectiveDataSet();
  return ds ? ds->RecordCount() : 0;
}

void TfrxDBDataset::Notification(TComponent* AComponent, TOperation Operation) {
  TfrxCustomDBDataSet::Notification(AComponent, Operation);
  FLinks.Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FUsed) FUsed = nullptr;
}

// ================================================================ options

KELM_PUBLISH(TfrxEngineOptions) { Published(b); }

void TfrxEngineOptions::Assign(TPersistent* Source) {
  auto* s = dynamic_cast<TfrxEngineOptions*>(Source);
  if (!s) return;  // only the same kind of object is taken
  FConvertNulls = s->FConvertNulls;
  FDoublePass = s->FDoublePass;
  FMaxMemSize = s->FMaxMemSize;
  FPrintIfEmpty = s->FPrintIfEmpty;
  FNewSilentMode = s->FNewSilentMode;
  FTempDir = s->FTempDir;
  FUseFileCache = s->FUseFileCache;
}

void TfrxEngineOptions::Clear() {
  FConvertNulls = true;
  FDoublePass = false;
}

KELM_PUBLISH(TfrxPreviewOptions) { Published(b); }

TfrxPreviewButtons TfrxPreviewOptions::AllButtons() {
  TfrxPreviewButtons all;
  for (int b = pbPrint; b <= pbExportQuick; ++b) all.Include(static_cast<TfrxPreviewButton>(b));
  return all;
}

void TfrxPreviewOptions::Assign(TPersistent* Source) {
  auto* s = dynamic_cast<TfrxPreviewOptions*>(Source);
  if (!s) return;
  FAllowEdit = s->FAllowEdit;
  FButtons = s->FButtons;
  FDoubleBuffered = s->FDoubleBuffered;
  FMaximized = s->FMaximized;
  FMDIChild = s->FMDIChild;
  FModal = s->FModal;
  FOutlineExpand = s->FOutlineExpand;
  FOutlineVisible = s->FOutlineVisible;
  FOutlineWidth = s->FOutlineWidth;
  FShowCaptions = s->FShowCaptions;
  FZoom = s->FZoom;
  FZoomMode = s->FZoomMode;
}

void TfrxPreviewOptions::Clear() {
  FOutlineExpand = true;
  FOutlineVisible = false;
  FOutlineWidth = 120;
}

const char* const TfrxPrintOptions::DefaultPrinterName = "预设";

KELM_PUBLISH(TfrxPrintOptions) { Published(b); }

void TfrxPrintOptions::Assign(TPersistent* Source) {
  auto* s = dynamic_cast<TfrxPrintOptions*>(Source);
  if (!s) return;
  FCopies = s->FCopies;
  FCollate = s->FCollate;
  FPageNumbers = s->FPageNumbers;
  FPrinter = s->FPrinter;
  FPrintPages = s->FPrintPages;
  FReverse = s->FReverse;
  FShowDialog = s->FShowDialog;
}

void TfrxPrintOptions::Clear() {
  TfrxPrintOptions fresh;
  Assign(&fresh);
}

KELM_PUBLISH(TfrxReportOptions) { Published(b); }

const char* const frxConnectionsKey = "\\Software\\Zude Vizerav\\Connections";

void TfrxReportOptions::SetConnectionName(const String& Value) {
  FConnectionName = Value;
  if (Value.empty() || !FReport || !FReport->OnConnectionStringEdit) return;
  TRegistry registry;
  registry.SetRootKey(HKEY_LOCAL_MACHINE);
  String connection;
  if (registry.OpenKeyReadOnly(frxConnectionsKey)) connection = registry.ReadString(Value);
  FReport->OnConnectionStringEdit(connection);
}

TfrxReportOptions::TfrxReportOptions(TfrxReport* AReport)
    : FReport(AReport), FDescription(std::make_unique<TStringList>()), FPicture(std::make_unique<TPicture>()) {
  Clear();
}

TfrxReportOptions::~TfrxReportOptions() = default;

void TfrxReportOptions::Assign(TPersistent* Source) {
  auto* s = dynamic_cast<TfrxReportOptions*>(Source);
  if (!s) return;
  FAuthor = s->FAuthor;
  FCompressed = s->FCompressed;
  FConnectionName = s->FConnectionName;
  FCreateDate = s->FCreateDate;
  FDescription->Assign(s->FDescription.get());
  FInitString = s->FInitString;
  FName = s->FName;
  FLastChange = s->FLastChange;
  FPassword = s->FPassword;
  FPicture->Assign(s->FPicture.get());
  FVersionBuild = s->FVersionBuild;
  FVersionMajor = s->FVersionMajor;
  FVersionMinor = s->FVersionMinor;
  FVersionRelease = s->FVersionRelease;
}

void TfrxReportOptions::Clear() {
  FAuthor.clear();
  FCompressed = false;
  FConnectionName.clear();
  FCreateDate = Now();
  FDescription->Clear();
  FInitString.clear();
  FName.clear();
  FLastChange = FCreateDate;
  FPassword.clear();
  FPicture->Assign(nullptr);
  FVersionBuild.clear();
  FVersionMajor.clear();
  FVersionMinor.clear();
  FVersionRelease.clear();
  FPrevPassword.clear();
}

namespace {
TfrxPasswordPrompt& PasswordPrompt() {
  static TfrxPasswordPrompt prompt = AskReportPassword;
  return prompt;
}
}  // namespace

void SetPasswordPrompt(TfrxPasswordPrompt Prompt) { PasswordPrompt() = std::move(Prompt); }

void TfrxReportOptions::SetPicture(TPicture* Value) { FPicture->Assign(Value); }

bool TfrxReportOptions::CheckPassword() {
  if (FPassword.empty() || FPassword == FPrevPassword) return true;
  String typed;
  // Without a prompt the question counts as cancelled: a protected report stays closed.
  if (!PasswordPrompt() || !PasswordPrompt()(typed) || typed != FPassword) return false;
  FPrevPassword = FPassword;
  return true;
}

// ================================================================ data-set list

KELM_PUBLISH(TfrxDataSetItem) { Published(b); }

TfrxDataSetItem::TfrxDataSetItem(TCollection* ACollection) : TCollectionItem(ACollection) {}

TfrxReport* TfrxDataSetItem::Report() const {
  auto* list = dynamic_cast<TfrxReportDataSets*>(Collection());
  return list ? list->Report() : nullptr;
}

void TfrxDataSetItem::SetDataSet(TfrxDataSet* Value) {
  FDataSet = Value;
  FDataSetName = Value ? Value->UserName() : String();
  // The report drops the entry when the data set is freed.
  if (Value)
    if (TfrxReport* r = Report()) Value->FreeNotification(r);
}

String TfrxDataSetItem::DataSetName() const { return FDataSet ? FDataSet->UserName() : FDataSetName; }

void TfrxDataSetItem::SetDataSetName(const String& Value) {
  FDataSetName = Value;
  if (Value.empty()) {
    FDataSet = nullptr;
    return;
  }
  TfrxDataSet* found = TfrxDataSet::FindByUserName(nullptr, Value, Report());
  if (found) SetDataSet(found);
}

KELM_PUBLISH(TfrxReportDataSets) {}

TfrxReportDataSets::TfrxReportDataSets(TfrxReport* AReport)
    : TCollection(TfrxDataSetItem::StaticClass()), FReport(AReport) {}

TPersistent* TfrxReportDataSets::GetOwner() const { return FReport; }

TfrxDataSetItem* TfrxReportDataSets::AddDataSet(TfrxDataSet* DataSet) {
  auto* item = static_cast<TfrxDataSetItem*>(Add());
  item->SetDataSet(DataSet);
  return item;
}

TfrxDataSetItem* TfrxReportDataSets::FindItemOf(TfrxDataSet* DataSet) const {
  for (int i = 0; i < Count(); ++i)
    if (Items(i)->DataSet() == DataSet) return Items(i);
  return nullptr;
}

void TfrxReportDataSets::BeginUseAll() {
  for (int i = 0; i < Count(); ++i)
    if (TfrxDataSet* ds = Items(i)->DataSet()) {
      ds->SetReportRef(FReport);
      ds->BeginUse();
    }
}

void TfrxReportDataSets::EndUseAll() {
  for (int i = 0; i < Count(); ++i)
    if (TfrxDataSet* ds = Items(i)->DataSet()) ds->EndUse();
}

TfrxDataSetItem* TfrxReportDataSets::FindItemByName(const String& AName) const {
  for (int i = 0; i < Count(); ++i)
    if (Items(i)->DataSet() && SameText(Items(i)->DataSet()->UserName(), AName)) return Items(i);
  return nullptr;
}

// ================================================================ frames and styles

KELM_PUBLISH(TfrxFrame) { Published(b); }

void TfrxFrame::Assign(TPersistent* Source) {
  auto* s = dynamic_cast<TfrxFrame*>(Source);
  if (!s) return;
  FColor = s->FColor;
  FDropShadow = s->FDropShadow;
  FShadowColor = s->FShadowColor;
  FShadowWidth = s->FShadowWidth;
  FStyle = s->FStyle;
  FTyp = s->FTyp;
  FWidth = s->FWidth;
}

KELM_PUBLISH(TfrxStyleItem) { Published(b); }

TfrxStyleItem::TfrxStyleItem(TCollection* ACollection)
    : TCollectionItem(ACollection), FFont(std::make_unique<TFont>()), FFrame(std::make_unique<TfrxFrame>()) {
  FFont->SetName("Arial");
  FFont->SetSize(10);
  FFont->SetColor(clBlack);
  FFont->SetCharset(DefaultCharset);
}

TfrxStyleItem::~TfrxStyleItem() = default;

void TfrxStyleItem::Assign(TPersistent* Source) {
  auto* s = dynamic_cast<TfrxStyleItem*>(Source);
  if (!s) return;
  SetName(s->FName);
  FColor = s->FColor;
  FFont->Assign(s->FFont.get());
  FFrame->Assign(s->FFrame.get());
}

void TfrxStyleItem::SetName(const String& Value) {
  if (TCollection* c = Collection())
    for (int i = 0; i < c->Count(); ++i) {
      auto* other = static_cast<TfrxStyleItem*>(c->Items(i));
      if (other != this && AnsiSameText(other->FName, Value)) throw Exception("Duplicate name");
    }
  FName = Value;
}

void TfrxStyleItem::AssignNumberedName() {
  TCollection* c = Collection();
  for (int n = 1;; ++n) {
    String candidate = "Style" + IntToStr(n);
    bool used = false;
    for (int i = 0; c && i < c->Count() && !used; ++i)
      used = AnsiSameText(static_cast<TfrxStyleItem*>(c->Items(i))->FName, candidate);
    if (!used) {
      FName = candidate;
      return;
    }
  }
}

KELM_PUBLISH(TfrxStyles) {}

TfrxStyles::TfrxStyles(TfrxReport* AReport) : TCollection(TfrxStyleItem::StaticClass()), FReport(AReport) {}

TfrxStyleItem* TfrxStyles::FindByName(const String& AName) const {
  for (int i = 0; i < Count(); ++i)
    if (AnsiSameText(ItemAt(i)->Name(), AName)) return ItemAt(i);
  return nullptr;
}

void TfrxStyles::ListNames(TStrings* List) const {
  List->Clear();
  for (int i = 0; i < Count(); ++i) List->Add(ItemAt(i)->Name());
}

void TfrxStyles::ApplyToMemos() {
  if (!FReport) return;
  for (TfrxComponent* c : FReport->AllObjects()) {
    if (!c->IsTextObject()) continue;
    const TPropInfo* style = GetPropInfo(c, "Style");
    if (!style || !style->IsString()) continue;
    String name = style->Access->GetStr(c);
    if (name.empty()) continue;
    // Setting the name again applies the style's colour, font and frame; a style that is gone
    // leaves the object as it looks.
    style->Access->SetStr(c, FindByName(name) ? name : String());
  }
}

void TfrxStyles::WriteToXMLItem(TfrxXMLItem* Item) {
  Item->SetName("style");
  Item->SetText("Name=\"" + XMLEscapeText(FName) + "\"");
  TfrxXMLSerializer serializer(nullptr);
  for (int i = 0; i < Count(); ++i) {
    TfrxXMLItem* child = Item->AddChild();
    child->SetName("item");
    child->SetText(TrimLeft(serializer.PropsToAttributes(ItemAt(i), String())));
  }
}

void TfrxStyles::ReadFromXMLItem(TfrxXMLItem* Item) {
  Clear();
  FName = Item->AttrValue("Name");
  TfrxXMLSerializer serializer(nullptr);
  for (int i = 0; i < Item->ChildCount(); ++i) {
    TfrxXMLItem* child = Item->ChildAt(i);
    if (!SameText(child->Name(), "item")) continue;
    serializer.ReadAttributes(child->Text(), AppendItem());
  }
  ApplyToMemos();
}

void TfrxStyles::WriteToStream(TStream* Stream) {
  TfrxXMLDocument doc;
  doc.SetAutoIndent(true);
  WriteToXMLItem(doc.Root());
  doc.WriteToStream(Stream);
}

void TfrxStyles::ReadFromStream(TStream* Stream) {
  Clear();
  TfrxXMLDocument doc;
  doc.ReadFromStream(Stream, false);
  if (SameText(doc.Root()->Name(), "style")) ReadFromXMLItem(doc.Root());
}

void TfrxStyles::WriteToFile(const String& FileName) {
  TFileStream f(FileName, fmCreate);
  WriteToStream(&f);
}

void TfrxStyles::ReadFromFile(const String& FileName) {
  TFileStream f(FileName, fmOpenRead | fmShareDenyWrite);
  ReadFromStream(&f);
}

TfrxStyleSheet::TfrxStyleSheet() = default;
TfrxStyleSheet::~TfrxStyleSheet() = default;

void TfrxStyleSheet::RemoveAll() { FItems.clear(); }

void TfrxStyleSheet::RemoveAt(int Index) {
  if (Index < 0 || Index >= StylesCount()) throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
  FItems.erase(FItems.begin() + Index);
}

TfrxStyles* TfrxStyleSheet::AppendStyles() {
  FItems.push_back(std::make_unique<TfrxStyles>(nullptr));
  return FItems.back().get();
}

TfrxStyles* TfrxStyleSheet::ItemAt(int Index) const {
  if (Index < 0 || Index >= StylesCount()) throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
  return FItems[static_cast<std::size_t>(Index)].get();
}

TfrxStyles* TfrxStyleSheet::FindByName(const String& AName) const {
  for (const auto& s : FItems)
    if (AnsiSameText(s->Name(), AName)) return s.get();
  return nullptr;
}

void TfrxStyleSheet::ListNames(TStrings* List) const {
  List->Clear();
  for (const auto& s : FItems) List->Add(s->Name());
}

void TfrxStyleSheet::ReadFromStream(TStream* Stream) {
  RemoveAll();
  TfrxXMLDocument doc;
  doc.ReadFromStream(Stream, false);
  if (!SameText(doc.Root()->Name(), "stylesheet")) return;
  for (int i = 0; i < doc.Root()->ChildCount(); ++i)
    if (SameText(doc.Root()->ChildAt(i)->Name(), "style")) AppendStyles()->ReadFromXMLItem(doc.Root()->ChildAt(i));
}

void TfrxStyleSheet::ReadFromFile(const String& FileName) {
  TFileStream f(FileName, fmOpenRead | fmShareDenyWrite);
  ReadFromStream(&f);
}

// ================================================================ TfrxReport

const char* const TfrxReport::LibraryVersion = "3.23.7";
const char* const TfrxReport::DefaultIniFile = "\\Software\\Zude Vizerav";

KELM_PUBLISH(TfrxReport) { Published(b); }

TfrxReport::TfrxReport(TComponent* AOwner)
    : TfrxComponent(AOwner),
      FEngineOptions(std::make_unique<TfrxEngineOptions>()),
      FPreviewOptions(std::make_unique<TfrxPreviewOptions>()),
      FPrintOptions(std::make_unique<TfrxPrintOptions>()),
      FReportOptions(std::make_unique<TfrxReportOptions>(this)),
      FScriptText(std::make_unique<TStringList>()),
      FDataSets(std::make_unique<TfrxReportDataSets>(this)),
      FOfferedDataSets(std::make_unique<TfrxReportDataSets>(this)),
      FVariables(std::make_unique<TfrxVariables>()),
      FStyles(std::make_unique<TfrxStyles>(this)),
      FSystemVariables(std::make_unique<TStringList>()),
      FStoredPages(std::make_unique<TStringList>()),
      FErrors(std::make_unique<TStringList>()),
      FScript(std::make_unique<TfsScript>(nullptr)),
      FExpressionCache(std::make_unique<TfrxExpressionCache>(FScript.get())) {
  FScript->SetHighByteIdentChars(true);
  FScript->InstallModules();
  FErrors->SetSorted(true);
  FErrors->SetDuplicates(dupIgnore);
  InstallReportCursors();  // the screen exists once reports are made, not at library start
  Clear();
  // Every report keeps its prepared pages in a store of its own.
  SetPreviewPages(std::make_unique<TfrxPreviewPages>(this));
  SetEngine(std::make_unique<TfrxEngine>(this));
}

TfrxReport::~TfrxReport() {
  if (FPrepareWindow) DeallocateHWnd(FPrepareWindow);
  TfrxComponent::Clear();  // the pages go while the name index still exists
  SetPreview(nullptr);
  if (FPreviewForm) FPreviewForm->RemoveFreeNotification(this);
}

// ---- the name index

void TfrxReport::IndexAdd(TfrxComponent* Object) {
  if (!Object->Name().empty()) FNameIndex[NameKey(Object->Name())].push_back(Object);
}

void TfrxReport::IndexRemove(TfrxComponent* Object) {
  if (Object->Name().empty()) return;
  auto it = FNameIndex.find(NameKey(Object->Name()));
  if (it == FNameIndex.end()) return;
  auto& list = it->second;
  list.erase(std::remove(list.begin(), list.end(), Object), list.end());
  if (list.empty()) FNameIndex.erase(it);
}

void TfrxReport::IndexSubtree(TfrxComponent* Object, bool Add) {
  Add ? IndexAdd(Object) : IndexRemove(Object);
  for (int i = 0; i < Object->ObjectCount(); ++i) IndexSubtree(Object->Objects(i), Add);
}

TfrxComponent* TfrxReport::FindObject(const String& AName) const {
  if (AName.empty()) return TfrxComponent::FindObject(AName);
  auto it = FNameIndex.find(NameKey(AName));
  if (it == FNameIndex.end()) return nullptr;
  // Two objects of one name (moved in from elsewhere): the first in tree order answers.
  return it->second.size() == 1 ? it->second.front() : TfrxComponent::FindObject(AName);
}

void TfrxReport::ValidateRename(TComponent* AComponent, const String& CurName, const String& NewName) {
  auto* object = dynamic_cast<TfrxComponent*>(AComponent);
  if (!object || object->FindParentReport() != this) {
    TfrxComponent::ValidateRename(AComponent, CurName, NewName);
    return;
  }
  // The objects of the tree are the components this report owns: the index answers for them.
  if (NewName.empty() || SameText(CurName, NewName)) return;
  TfrxComponent* other = FindObject(NewName);
  if (other && other != object) throw EComponentError("A component named " + NewName + " already exists");
}

// ---- content

void TfrxReport::Clear() {
  TfrxComponent::Clear();
  FDataSets->Clear();
  FVariables->Clear();
  FEngineOptions->Clear();
  FPreviewOptions->Clear();
  FPrintOptions->Clear();
  FReportOptions->Clear();
  FStyles->Clear();
  FStoredPages->Clear();
  SetDataSet(nullptr);
  FDataSetName.clear();
  FDotMatrixReport = false;
  FScriptLanguage = "PascalScript";
  FScriptText->SetText("begin\r\n\r\nend.");
  FSystemVariables->SetCommaText("Date,Time,Page,Page#,TotalPages,TotalPages#,Line,Line#");
  FOnRunDialogs.clear();
  FOnStartReport.clear();
  FOnStopReport.clear();
}

namespace {

// A stored password is its characters moved 10 codes down (up again on load), modulo 256 for
// single-byte codes. Characters above them move within their own range, so any password
// survives the round trip.
String PasswordTransform(const String& Password, int Delta) {
  WideString w = Utf8ToUtf16(Password);
  for (WideChar& c : w) {
    int code = c;
    if (code < 256) code = (code + Delta + 256) % 256;
    else code = 256 + (code - 256 + Delta + (0x10000 - 256)) % (0x10000 - 256);
    c = static_cast<WideChar>(code);
  }
  return Utf16ToUtf8(w);
}

// The name of the file a stream reads, for messages; '' for other streams.
String StreamFileName(TStream* Stream) {
  auto* file = dynamic_cast<TFileStream*>(Stream);
  return file ? file->FileName() : String();
}

}  // namespace

void TfrxReport::LoadFromStream(TStream* Stream) {
  FErrors->Clear();
  // Only the content, two engine options and the outline options come from a definition.
  TfrxEngineOptions engine;
  engine.Assign(FEngineOptions.get());
  TfrxPreviewOptions preview;
  preview.Assign(FPreviewOptions.get());
  TRestore<String> iniFile(FIniFile);
  TRestore<TfrxCustomPreview*> previewControl(FPreview);
  TRestore<bool> oldStyle(FOldStyleProgress), showProgress(FShowProgress), storeInDFM(FStoreInDFM);
  Extended designLeft = Left(), designTop = Top();
  TScopeExit restore([&] {
    bool convertNulls = FEngineOptions->ConvertNulls(), doublePass = FEngineOptions->DoublePass();
    FEngineOptions->Assign(&engine);
    FEngineOptions->SetConvertNulls(convertNulls);
    FEngineOptions->SetDoublePass(doublePass);
    bool expand = FPreviewOptions->OutlineExpand(), visible = FPreviewOptions->OutlineVisible();
    int width = FPreviewOptions->OutlineWidth();
    FPreviewOptions->Assign(&preview);
    FPreviewOptions->SetOutlineExpand(expand);
    FPreviewOptions->SetOutlineVisible(visible);
    FPreviewOptions->SetOutlineWidth(width);
    SetLeft(designLeft);
    SetTop(designTop);
  });
  try {
    TfrxComponent::LoadFromStream(Stream);
  } catch (const Exception& e) {
    // Nothing of a definition that cannot be read stays, and the reason names the file.
    String file = StreamFileName(Stream);
    String message = file.empty() ? e.Message() : file + ": " + e.Message();
    Clear();
    FErrors->Clear();
    FErrors->Add(message);
    throw EfrxFormatError(message);
  }
  FReportOptions->SetPassword(PasswordTransform(FReportOptions->Password(), 10));
  if (FReloading || FReportOptions->CheckPassword()) {
    if (FErrors->Count() > 0)
      ReportErrorByMode(this, ReportResources()->TextOf("clErrors") + "\r\n" + FErrors->Text());
  } else {
    Clear();
  }
}

void TfrxReport::SaveToStream(TStream* Stream, bool SaveChildren, bool SaveDefaultValues) {
  String password = FReportOptions->Password();
  FReportOptions->SetPrevPassword(password);
  TScopeExit restorePassword([&] { FReportOptions->SetPassword(password); });
  FReportOptions->SetPassword(PasswordTransform(password, -10));
  TRestore<TfrxCustomPreview*> preview(FPreview, nullptr);  // never written
  TfrxComponent::SaveToStream(Stream, SaveChildren, SaveDefaultValues);
}

bool TfrxReport::LoadFromFile(const String& AFileName, bool ExceptionIfNotFound) {
  Clear();
  FFileName.clear();
  bool exists = FileExists(AFileName);
  if (exists || ExceptionIfNotFound) {
    TFileStream stream(AFileName, fmOpenRead | fmShareDenyWrite);  // EFOpenError when missing
    LoadFromStream(&stream);
    FFileName = AFileName;
  }
  return exists;
}

void TfrxReport::SaveToFile(const String& AFileName) {
  TFileStream stream(AFileName, fmCreate);
  SaveToStream(&stream, true, false);
}

TfrxPage* TfrxReport::PageAt(int Index) const { return dynamic_cast<TfrxPage*>(Objects(Index)); }

void TfrxReport::AssignStyles(TfrxStyles* AStyles) {
  if (!AStyles) {
    FStyles->Clear();
    return;
  }
  FStyles->Assign(AStyles);
  FStyles->SetName(AStyles->Name());
  FStyles->ApplyToMemos();
}

TfrxDrawText& TfrxReport::DrawTextEngine() {
  if (!FDrawText) FDrawText = std::make_unique<TfrxDrawText>();
  return *FDrawText;
}

// ---- data sets

void TfrxReport::SetDataSet(TfrxDataSet* Value) {
  if (FDataSet && FDataSet != Value && !FDataSets->FindItemOf(FDataSet)) FDataSet->RemoveFreeNotification(this);
  FDataSet = Value;
  FDataSetName = Value ? Value->UserName() : String();
  if (Value) Value->FreeNotification(this);
}

String TfrxReport::DataSetName() const { return FDataSet ? FDataSet->UserName() : FDataSetName; }

void TfrxReport::SetDataSetName(const String& Value) {
  FDataSetName = Value;
  if (Value.empty()) {
    SetDataSet(nullptr);
    return;
  }
  if (TfrxDataSet* found = TfrxDataSet::FindByUserName(nullptr, Value, this)) SetDataSet(found);
}

TfrxDataSet* TfrxReport::GetDataset(const String& Alias) const {
  TfrxDataSetItem* item = FDataSets->FindItemByName(Alias);
  return item ? item->DataSet() : nullptr;
}

String TfrxReport::AliasOfDataSet(TfrxDataSet* ADataSet) const {
  if (!ADataSet) return String();
  if (FDataSets->FindItemOf(ADataSet)) return ADataSet->UserName();
  String text = ReportResources()->TextOf("clDSNotIncl");
  return text.find("%s") != String::npos ? Format(text, {ADataSet->UserName()}) : text;
}

void TfrxReport::SplitDataSetField(const String& Text, TfrxDataSet*& ADataSet, String& Field) const {
  ADataSet = nullptr;
  Field.clear();
  std::size_t p = Text.find(".\"");
  if (p == String::npos) return;
  ADataSet = GetDataset(Text.substr(0, p));
  if (Text.size() >= p + 3) Field = Text.substr(p + 2, Text.size() - p - 3);
}

void TfrxReport::ListDataSets(TStrings* List, bool SkipUserDataSets) const {
  List->Clear();
  TClass userClass = GetClass("TfrxUserDataSet");
  for (int i = 0; i < FDataSets->Count(); ++i) {
    TfrxDataSet* ds = FDataSets->Items(i)->DataSet();
    if (!ds || (SkipUserDataSets && userClass && ds->InheritsFrom(userClass))) continue;
    List->AddObject(ds->UserName(), ds);
  }
}

std::unique_ptr<TCustomIniFile> TfrxReport::OpenSettingsStore() const {
  if (StartsText("\\Software\\", FIniFile)) return std::make_unique<TRegistryIniFile>(FIniFile);
  return std::make_unique<TIniFile>(FIniFile);
}

void TfrxReport::ApplyPrinterOption() {
  int index = ReportPrinters()->IndexOfName(FPrintOptions->Printer());
  if (index != -1) ReportPrinters()->SelectPrinter(index);
}

void TfrxReport::SetPreview(TfrxCustomPreview* Value) {
  if (FPreview == Value) return;
  if (FPreview) {
    static_cast<TComponent*>(FPreview)->RemoveFreeNotification(this);
    if (!Value) {
      FPreview->SetReport(nullptr);
      FPreview->SetPreviewPages(nullptr);
      FPreviewForm = nullptr;
    }
  }
  FPreview = Value;
  if (FPreview) {
    static_cast<TComponent*>(FPreview)->FreeNotification(this);
    FPreview->SetReport(this);
    FPreview->SetPreviewPages(FPreviewPages.get());
    FPreview->AttachReport(this);
  }
}

String TfrxReport::DisplayTypeName() const { return ReportResources()->TextOf("obReport"); }

void TfrxReport::Notification(TComponent* AComponent, TOperation Operation) {
  // The report's own objects come and go by the thousand with every load; telling each of
  // them of every other would make a load quadratic. An object that refers to another object
  // of the report subscribes to it (FreeNotification) instead.
  // (While an object is being made it is not a report object yet: ownership is the test.)
  bool ownObject = AComponent && AComponent->Owner() == this;
  if (!ownObject) TfrxComponent::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FDataSet) {
    FDataSet = nullptr;
    FDataSetName.clear();
  }
  bool removed = false;
  for (int i = FDataSets->Count() - 1; i >= 0; --i)
    if (FDataSets->Items(i)->DataSet() == AComponent) {
      FDataSets->Delete(i);
      removed = true;
    }
  for (int i = FOfferedDataSets->Count() - 1; i >= 0; --i)
    if (FOfferedDataSets->Items(i)->DataSet() == AComponent) FOfferedDataSets->Delete(i);
  if (removed && FDesigner) FDesigner->RefreshDataTree();
  if (FPreview && AComponent == static_cast<TComponent*>(FPreview)) FPreview = nullptr;
  if (FPreviewForm && AComponent == FPreviewForm) FPreviewForm = nullptr;
}

// ---- streaming: defined properties and the layout's pages

bool TfrxReport::IsSerializing() const { return IsWriting() || FCurrentSerializer; }

void TfrxReport::DefineProperties(TFiler* Filer) {
  TfrxComponent::DefineProperties(Filer);
  // The design position on the form that holds the report.
  Filer->DefineProperty(
      "Left", [this](TReader* r) { SetLeft(r->ReadInteger()); },
      [this](TWriter* w) { w->WriteInteger(static_cast<Int64>(std::lround(Left()))); }, std::lround(Left()) != 0);
  Filer->DefineProperty(
      "Top", [this](TReader* r) { SetTop(r->ReadInteger()); },
      [this](TWriter* w) { w->WriteInteger(static_cast<Int64>(std::lround(Top()))); }, std::lround(Top()) != 0);
  // A definition states all three collections; a layout only those with items.
  bool always = IsWriting();
  Filer->DefineProperty(
      "Datasets", [this](TReader* r) { ReadReportCollection(FDataSets.get(), r, this); },
      [this](TWriter* w) { WriteReportCollection(FDataSets.get(), w, this); }, always || FDataSets->Count() > 0);
  Filer->DefineProperty(
      "Variables", [this](TReader* r) { ReadReportCollection(FVariables.get(), r, this); },
      [this](TWriter* w) { WriteReportCollection(FVariables.get(), w, this); }, always || FVariables->Count() > 0);
  Filer->DefineProperty(
      "Style", [this](TReader* r) { ReadReportCollection(FStyles.get(), r, this); },
      [this](TWriter* w) { WriteReportCollection(FStyles.get(), w, this); }, always || FStyles->Count() > 0);
  if (IsSerializing()) return;
  Filer->DefineProperty(
      "StoredPages",
      [this](TReader* r) {
        FStoredPages->Clear();
        r->ReadListBegin();
        while (!r->EndOfList()) FStoredPages->Add(r->ReadString());
        r->ReadListEnd();
      },
      [this](TWriter* w) {
        TStringList lines;
        WriteStoredPages(&lines);
        w->WriteListBegin();
        for (int i = 0; i < lines.Count(); ++i) w->WriteString(lines.Strings(i));
        w->WriteListEnd();
      },
      FStoredPages->Count() > 0 || ObjectCount() > 0);
}

bool TfrxReport::StoredPagesReadable() const {
  // Every element the text names must be a report class this program has.
  String text = FStoredPages->Text();
  for (std::size_t p = text.find('<'); p != String::npos; p = text.find('<', p + 1)) {
    std::size_t e = p + 1;
    while (e < text.size() && (std::isalnum(static_cast<unsigned char>(text[e])) || text[e] == '_')) ++e;
    if (e == p + 1) continue;  // a closing tag
    TClass cls = GetClass(text.substr(p + 1, e - p - 1));
    if (!cls || !cls->InheritsFrom(TfrxComponent::StaticClass()) || cls->InheritsFrom(TfrxReport::StaticClass()))
      return false;
  }
  return true;
}

void TfrxReport::Loaded() {
  TfrxComponent::Loaded();
  if (FStoredPages->Count() > 0 && StoredPagesReadable()) ReadStoredPages();
}

void TfrxReport::ReadStoredPages() {
  String text = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<pages>\r\n" + FStoredPages->Text() + "</pages>\r\n";
  TMemoryStream stream;
  stream.WriteBuffer(text.data(), static_cast<Int64>(text.size()));
  stream.SetPosition(0);
  TfrxXMLDocument doc;
  try {
    doc.ReadFromStream(&stream, false);
  } catch (const Exception& e) {
    FErrors->Add("StoredPages: " + e.Message());  // kept as text, written back unchanged
    return;
  }
  TfrxXMLSerializer serializer(nullptr);
  serializer.SetOwner(this);
  TRestore<TfrxXMLSerializer*> current(FCurrentSerializer, &serializer);
  serializer.ReadChildren(doc.Root(), this);
  FErrors->AddStrings(serializer.Errors());
  FStoredPages->Clear();
}

void TfrxReport::WriteStoredPages(TStrings* Lines) {
  if (FStoredPages->Count() > 0) {
    Lines->Assign(FStoredPages.get());
    return;
  }
  TfrxXMLDocument doc;
  doc.SetAutoIndent(true);
  doc.Root()->SetName("pages");
  TfrxXMLSerializer serializer(nullptr);
  serializer.SetOwner(this);
  for (int i = 0; i < ObjectCount(); ++i) serializer.WriteObject(Objects(i), doc.Root()->AddChild(), true, false);
  TMemoryStream stream;
  doc.WriteToStream(&stream);
  String text(static_cast<std::size_t>(stream.Size()), '\0');
  stream.SetPosition(0);
  stream.ReadBuffer(text.data(), stream.Size());
  TStringList all;
  all.SetText(text);
  // Lines between <pages> and </pages>, one level less indented.
  for (int i = 2; i + 1 < all.Count(); ++i) Lines->Add(all.Strings(i).substr(std::min<std::size_t>(2, all.Strings(i).size())));
}
