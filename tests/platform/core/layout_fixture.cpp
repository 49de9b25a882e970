#include "LayoutFixture.h"
#include "core/ClassBuilder.h"
#include "core/StrUtils.h"

#include <algorithm>

int& FxLive() {
  static int n = 0;
  return n;
}

std::vector<String>& FxLog() {
  static std::vector<String> log;
  return log;
}

void RegisterFxColors() {
  static const std::pair<const char*, int> names[] = {{"fxBlack", fxBlack}, {"fxRed", fxRed}, {"fxWindow", fxWindow}};
  RegisterIntegerConsts(
      "TFxColor",
      [](const String& ident, Int64& v) {
        for (auto& [n, c] : names)
          if (SameText(ident, n)) return v = c, true;
        return false;
      },
      [](Int64 v, String& ident) {
        for (auto& [n, c] : names)
          if (v == c) return ident = n, true;
        return false;
      });
}

// ---------------------------------------------------------------- TFxFont

KELM_PUBLISH(TFxFont) {
  b.Prop("Name", &TFxFont::Name, &TFxFont::SetName).Default("Tahoma");
  b.Prop("Size", &TFxFont::Size, &TFxFont::SetSize).Default(9);
  b.Prop("Color", &TFxFont::Color, &TFxFont::SetColor).Type("TFxColor").Default(fxBlack);
  b.Prop("Style", &TFxFont::Style, &TFxFont::SetStyle).Default(TFxStyles{});
}

TFxFont::TFxFont() { ++FxLive(); }
TFxFont::~TFxFont() { --FxLive(); }

void TFxFont::Assign(TPersistent* Source) {
  auto* f = dynamic_cast<TFxFont*>(Source);
  if (!f) return TPersistent::Assign(Source);
  FName = f->FName;
  FSize = f->FSize;
  FColor = f->FColor;
  FStyle = f->FStyle;
}

// ---------------------------------------------------------------- TFxItem

KELM_PUBLISH(TFxItem) {
  b.Prop("Title", &TFxItem::Title, &TFxItem::SetTitle);
  b.Prop("Width", &TFxItem::Width, &TFxItem::SetWidth).Default(64);
  b.Prop("Visible", &TFxItem::Visible, &TFxItem::SetVisible).Default(true);
}

// ---------------------------------------------------------------- TFxControl

TFxHost::~TFxHost() {
  for (TFxControl* c : Controls) c->ParentGone();
}

KELM_PUBLISH(TFxControl) {
  b.Prop("Left", &TFxControl::Left, &TFxControl::SetLeft).Default(0);
  b.Prop("Top", &TFxControl::Top, &TFxControl::SetTop).Default(0);
  b.Prop("Width", &TFxControl::Width, &TFxControl::SetWidth).Default(100);
  b.Prop("Height", &TFxControl::Height, &TFxControl::SetHeight).Default(20);
  b.Prop("Caption", &TFxControl::Caption, &TFxControl::SetCaption);
  b.Prop("Align", &TFxControl::Align, &TFxControl::SetAlign).Default(faNone);
  b.Prop("Visible", &TFxControl::Visible, &TFxControl::SetVisible).Default(true);
  b.Prop("Font", &TFxControl::Font, &TFxControl::SetFont);
  b.Prop("Hint", &TFxControl::Hint, &TFxControl::SetHint);
  b.Prop("OnClick", &TFxControl::OnClick, &TFxControl::OnClick);
}

TFxControl::TFxControl(TComponent* AOwner) : TComponent(AOwner), FFont(new TFxFont) { ++FxLive(); }

TFxControl::~TFxControl() {
  SetParentComponent(nullptr);
  delete FFont;
  --FxLive();
}

void TFxControl::Log(const char* prop) {
  if (ComponentState().Contains(csLoading)) SawLoading = true;
  FxLog().push_back(Name() + "." + prop);
}

void TFxControl::SetLeft(int v) { FLeft = v; Log("Left"); }
void TFxControl::SetWidth(int v) { FWidth = v; Log("Width"); }
void TFxControl::SetCaption(const String& v) { FCaption = v; Log("Caption"); }
void TFxControl::SetAlign(TFxAlign v) { FAlign = v; Log("Align"); }

void TFxControl::SetParentComponent(TComponent* Value) {
  if (auto* old = dynamic_cast<TFxHost*>(FParent)) {
    auto& v = old->Controls;
    v.erase(std::remove(v.begin(), v.end(), this), v.end());
  }
  FParent = Value;
  if (auto* host = dynamic_cast<TFxHost*>(Value)) host->Controls.push_back(this);
}

void TFxControl::Loaded() {
  LoadingInLoaded = ComponentState().Contains(csLoading);
  ReadingInLoaded = ComponentState().Contains(csReading);
  TComponent::Loaded();
  FxLog().push_back("Loaded:" + Name());
}

// ---------------------------------------------------------------- TFxPanel

KELM_PUBLISH(TFxPanel) { b.Prop("Color", &TFxPanel::Color, &TFxPanel::SetColor).Type("TFxColor").Default(fxWindow); }

void TFxPanel::GetChildren(const TGetChildProc& proc, TComponent*) {
  for (TFxControl* c : std::vector<TFxControl*>(Controls)) proc(c);
}

// ---------------------------------------------------------------- TFxEdit

KELM_PUBLISH(TFxEdit) {
  b.Prop("Big", &TFxEdit::Big, &TFxEdit::SetBig).Default(0);
  b.Prop("Ratio", &TFxEdit::Ratio, &TFxEdit::SetRatio);
  b.Prop("Scale", &TFxEdit::Scale, &TFxEdit::SetScale);
  b.Prop("Stamp", &TFxEdit::Stamp, &TFxEdit::SetStamp).Type("TDateTime");
  b.Prop("Accel", &TFxEdit::Accel, &TFxEdit::SetAccel).Default(0);
  b.Prop("Options", &TFxEdit::Options, &TFxEdit::SetOptions).Default(TFxStyles{fsBold});
  b.Prop("Data", &TFxEdit::Data, &TFxEdit::SetData);
  b.Prop("Text", &TFxEdit::Text, &TFxEdit::SetText);
  b.Prop("Lines", &TFxEdit::Lines, &TFxEdit::SetLines);
  b.Prop("Columns", &TFxEdit::Columns, &TFxEdit::SetColumns);
  b.Prop("Buddy", &TFxEdit::Buddy, &TFxEdit::SetBuddy);
  b.Prop("OnChange", &TFxEdit::OnChange, &TFxEdit::OnChange);
}

TFxEdit::TFxEdit(TComponent* AOwner) : TFxControl(AOwner), FLines(new TStringList), FColumns(new TFxItems(this)) {}

TFxEdit::~TFxEdit() {
  delete FColumns;
  delete FLines;
}

void TFxEdit::SetText(const String& v) { FText = v; Log("Text"); }

void TFxEdit::SetBuddy(TFxControl* v) {
  if (FBuddy) FBuddy->RemoveFreeNotification(this);
  FBuddy = v;
  if (v) v->FreeNotification(this);
}

void TFxEdit::Notification(TComponent* c, TOperation op) {
  TFxControl::Notification(c, op);
  if (op == opRemove && c == FBuddy) FBuddy = nullptr;
}

void TFxEdit::DefineProperties(TFiler* Filer) {
  TFxControl::DefineProperties(Filer);
  Filer->DefineBinaryProperty(
      "Picture",
      [this](TStream* s) {
        Picture.assign(static_cast<std::size_t>(s->Size()), 0);
        s->ReadBuffer(Picture.data(), s->Size());
      },
      [this](TStream* s) { s->WriteBuffer(Picture.data(), static_cast<Int64>(Picture.size())); }, !Picture.empty());
  Filer->DefineProperty(
      "Extra",
      [this](TReader* r) {
        Extra.clear();
        r->ReadListBegin();
        while (!r->EndOfList()) Extra.push_back(r->ReadInteger());
        r->ReadListEnd();
      },
      [this](TWriter* w) {
        w->WriteListBegin();
        for (int v : Extra) w->WriteInteger(v);
        w->WriteListEnd();
      },
      !Extra.empty());
}

// ---------------------------------------------------------------- TFxTimer

KELM_PUBLISH(TFxTimer) {
  b.Prop("Interval", &TFxTimer::Interval, &TFxTimer::SetInterval).Default(1000);
  b.Prop("Enabled", &TFxTimer::Enabled, &TFxTimer::SetEnabled).Default(true);
  b.Prop("OnTimer", &TFxTimer::OnTimer, &TFxTimer::OnTimer);
}

TFxTimer::TFxTimer(TComponent* AOwner) : TComponent(AOwner) { ++FxLive(); }
TFxTimer::~TFxTimer() { --FxLive(); }

// ---------------------------------------------------------------- TFxForm

KELM_PUBLISH(TFxForm) {
  b.Prop("Caption", &TFxForm::Caption, &TFxForm::SetCaption);
  b.Prop("Color", &TFxForm::Color, &TFxForm::SetColor).Type("TFxColor").Default(fxWindow);
  b.Prop("Font", &TFxForm::Font, &TFxForm::SetFont);
  b.Prop("OnClick", &TFxForm::OnClick, &TFxForm::OnClick);
  b.Method("FormClick", &TFxForm::FormClick);
  b.Method("EditChange", &TFxForm::EditChange);
  b.Method("TimerFire", &TFxForm::TimerFire);
  b.Field("Edit1", &TFxForm::Edit1);
  b.Field("Panel1", &TFxForm::Panel1);
  b.Field("Timer1", &TFxForm::Timer1);
}

TFxForm::TFxForm(TComponent* AOwner) : TComponent(AOwner), FFont(new TFxFont) { ++FxLive(); }

TFxForm::~TFxForm() {
  // Owned components go first, while the form is still whole.
  DestroyComponents();
  delete FFont;
  --FxLive();
}

void TFxForm::SetCaption(const String& v) {
  FCaption = v;
  FxLog().push_back(Name() + ".Caption");
}

void TFxForm::GetChildren(const TGetChildProc& proc, TComponent*) {
  for (int i = 0; i < ComponentCount(); ++i)
    if (!Components(i)->HasParent()) proc(Components(i));
  for (TFxControl* c : std::vector<TFxControl*>(Controls)) proc(c);
}

void TFxForm::Loaded() {
  TComponent::Loaded();
  FxLog().push_back("Loaded:" + Name());
}

// ---------------------------------------------------------------- sample form

// A form with one of everything, built in code.
TFxForm* BuildFxForm() {
  auto* f = new TFxForm(nullptr);
  f->SetName("FxMain");
  f->SetCaption("合同管理");
  f->Font()->SetName("SimSun");
  f->OnClick = TNotifyEvent(f, &TFxForm::FormClick);
  auto* t = new TFxTimer(f);
  t->SetName("Timer1");
  t->SetInterval(250);
  t->OnTimer = TNotifyEvent(f, &TFxForm::TimerFire);
  auto* p = new TFxPanel(f);
  p->SetName("Panel1");
  p->SetParentComponent(f);
  p->SetAlign(faTop);
  p->SetColor(fxRed);
  auto* e = new TFxEdit(f);
  e->SetName("Edit1");
  e->SetParentComponent(p);
  e->SetLeft(8);
  e->SetCaption("it's");
  e->Font()->SetSize(12);
  e->Font()->SetStyle({fsBold, fsItalic});
  e->SetBig(Int64(1) << 40);
  e->SetRatio(0.1);
  e->SetScale(1.5f);
  e->SetStamp(45000.5);
  e->SetAccel('x');
  e->SetOptions({});
  e->SetData(Variant(42));
  e->Lines()->Add("a");
  e->Lines()->Add("");
  e->Lines()->Add("合同");
  static_cast<TFxItem*>(e->Columns()->Add())->SetTitle("Code");
  static_cast<TFxItem*>(e->Columns()->Add())->SetVisible(false);
  e->Picture = {1, 2, 0xFF};
  e->Extra = {1, 1000, -70000};
  e->OnChange = TFxChangeEvent(f, &TFxForm::EditChange);
  auto* e2 = new TFxEdit(f);
  e2->SetName("Edit2");
  e2->SetParentComponent(f);
  e2->SetText("second");
  e->SetBuddy(e2);
  return f;
}

// ---------------------------------------------------------------- TFxPropData

KELM_PUBLISH(TFxPropData) {}

namespace {
void WriteNames(TWriter* w, const std::vector<String>& names) {
  w->WriteListBegin();
  for (const String& n : names) w->WriteString(n);
  w->WriteListEnd();
}
void ReadNames(TReader* r, std::vector<String>& names) {
  names.clear();
  r->ReadListBegin();
  while (!r->EndOfList()) names.push_back(r->ReadString());
  r->ReadListEnd();
}
}  // namespace

void TFxPropData::DefineProperties(TFiler* Filer) {
  Filer->DefineProperty(
      "Left", [this](TReader* r) { Left = r->ReadInteger(); }, [this](TWriter* w) { w->WriteInteger(Left); },
      Left != 0);
  Filer->DefineProperty(
      "Top", [this](TReader* r) { Top = r->ReadInteger(); }, [this](TWriter* w) { w->WriteInteger(Top); }, Top != 0);
  Filer->DefineProperty(
      "Datasets", [this](TReader* r) { ReadNames(r, Datasets); }, [this](TWriter* w) { WriteNames(w, Datasets); },
      true);
  Filer->DefineProperty(
      "Variables", [this](TReader* r) { ReadNames(r, Variables); }, [this](TWriter* w) { WriteNames(w, Variables); },
      true);
  Filer->DefineProperty(
      "Style", [this](TReader* r) { ReadNames(r, Style); }, [this](TWriter* w) { WriteNames(w, Style); }, true);
}
