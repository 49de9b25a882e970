// The object model: defaults, script properties and methods of every view, the designer's
// popup items, the factory and the registries.
#include "report_legacy/FR_Class.h"

#include "report_legacy/FR_Intrp.h"
#include "report_legacy/FR_Pars.h"
#include "report_legacy/FR_Utils.h"

#include "core/FileUtils.h"
#include "core/FormatSettings.h"
#include "core/Scope.h"
#include "core/StrUtils.h"
#include "core/StringList.h"
#include "core/SysUtils.h"
#include "data/Fields.h"
#include "gui/Controls.h"
#include "gui/Forms.h"
#include "gui/GraphicsObjects.h"
#include "gui/Menus.h"
#include "gui/Pictures.h"

#include <cassert>
#include <cmath>

TfrEngineState& frState() {
  static TfrEngineState state;
  return state;
}

// ================================================================ TfrObject

TfrObject::TfrObject() = default;
TfrObject::~TfrObject() = default;

void TfrObject::SetScriptProp(const String&, const Variant&) {}
Variant TfrObject::GetScriptProp(const String&) { return Variant(); }
Variant TfrObject::CallScriptMethod(const String&, const Variant&, const Variant&, const Variant&) { return Variant(); }
void TfrObject::RegisterScriptProps() {}

void TfrObject::AddScriptProp(const String& Name, Word Kind, std::function<void()> EditorProc, TObject* EditorObject) {
  auto p = std::make_unique<TfrPropRec>();
  p->Name = Name.substr(0, 32);
  p->Kind = Kind;
  p->EditorProc = std::move(EditorProc);
  p->EditorObject = EditorObject;
  FScriptProps.push_back(std::move(p));
}

void TfrObject::AddEnumScriptProp(const String& Name, const String& Names, const Variant& Values) {
  AddScriptProp(Name, frkind::Enumeration);
  TfrPropRec* p = FScriptProps.back().get();
  p->EnumNames = SplitList(Names);
  p->EnumValues = Values;
}

void TfrObject::ClearScriptProps() { FScriptProps.clear(); }

namespace {

Variant Ints(std::initializer_list<int> values) {
  std::vector<Variant> v;
  for (int i : values) v.emplace_back(i);
  return VarArrayOf(v);
}

Variant Range(int count) {
  std::vector<Variant> v;
  for (int i = 0; i < count; ++i) v.emplace_back(i);
  return VarArrayOf(v);
}

bool IsBoolTrue(const Variant& v) {
  if (VarIsNull(v) || VarIsEmpty(v)) return false;
  if (VarType(v) == varBoolean) return v.AsBoolean();
  if (VarIsStr(v)) {
    String s = UpperCase(Trim(v.AsString()));
    if (s == "TRUE") return true;
    if (s == "FALSE" || s.empty()) return false;
  }
  return v.AsDouble() != 0;
}

void SetBit(Word& flags, Word bit, bool on) { flags = on ? Word(flags | bit) : Word(flags & ~bit); }

TfrParser* GlobalParser() { return TfrGlobals::Instance()->Parser.get(); }

}  // namespace

bool TfrObject::SetFontScriptProp(TFont* Font, const String& Name, const Variant& Value) {
  if (Name == "FONT.NAME") Font->SetName(VarToStr(Value));
  else if (Name == "FONT.SIZE") Font->SetSize(Value.AsInteger());
  else if (Name == "FONT.STYLE") StyleFromStream(Font, static_cast<Word>(Value.AsInteger()));
  else if (Name == "FONT.COLOR") Font->SetColor(Value.AsInteger());
  else return false;
  return true;
}

bool TfrObject::GetFontScriptProp(TFont* Font, const String& Name, Variant& Value) {
  if (Name == "FONT.NAME") Value = Variant(Font->Name());
  else if (Name == "FONT.SIZE") Value = Variant(Font->Size());
  else if (Name == "FONT.STYLE") Value = Variant(int(StyleToStream(Font)));
  else if (Name == "FONT.COLOR") Value = Variant(Font->Color());
  else return false;
  return true;
}

Variant TfrObject::CallListMethod(TStrings* List, const String& Method, const Variant& p1, const Variant& p2,
                                  const Variant& p3, const String& ListName, bool& Handled) {
  Handled = true;
  const String arg1 = UpperCase(Trim(VarToStr(p1)));
  if (Method == "SETINDEXPROPERTY" && arg1 == ListName) {
    int i = p2.AsInteger();
    if (i >= 0 && i < List->Count()) List->SetStrings(i, VarToStr(p3));
    return Variant();
  }
  if (Method == "GETINDEXPROPERTY" && arg1 == ListName) {
    int i = p2.AsInteger();
    return i >= 0 && i < List->Count() ? Variant(List->Strings(i)) : Variant();
  }
  if (Method == ListName + ".ADD") {
    List->Add(VarToStr(GlobalParser()->Evaluate(VarToStr(p1))));
    return Variant();
  }
  if (Method == ListName + ".CLEAR") {
    List->Clear();
    return Variant();
  }
  if (Method == ListName + ".DELETE") {
    int i = GlobalParser()->Evaluate(VarToStr(p1)).AsInteger();
    if (i >= 0 && i < List->Count()) List->Delete(i);
    return Variant();
  }
  if (Method == ListName + ".INDEXOF") return Variant(List->IndexOf(VarToStr(GlobalParser()->Evaluate(VarToStr(p1)))));
  Handled = false;
  return Variant();
}

Word StyleToStream(TFont* Font) {
  TFontStyles s = Font->Style();
  return Word((s.Contains(fsItalic) ? 1 : 0) | (s.Contains(fsBold) ? 2 : 0) | (s.Contains(fsUnderline) ? 4 : 0) |
              (s.Contains(fsStrikeOut) ? 8 : 0));
}

void StyleFromStream(TFont* Font, Word Bits) {
  TFontStyles s;
  if (Bits & 1) s.Include(fsItalic);
  if (Bits & 2) s.Include(fsBold);
  if (Bits & 4) s.Include(fsUnderline);
  if (Bits & 8) s.Include(fsStrikeOut);
  Font->SetStyle(s);
}

// ================================================================ TfrView

TfrView::TfrView()
    : FillColor(clNone), FormatCode(static_cast<unsigned char>(FormatSettings().DecimalSeparator) + 0x200) {}

TfrView::~TfrView() = default;

void TfrView::RegisterScriptProps() {
  AddScriptProp("Name", frkind::Named | frkind::Text);
  for (const char* n : {"Left", "Top", "Width", "Height"}) AddScriptProp(n, frkind::Geometry);
  AddScriptProp("Flags", 0);
  if (HasFrameProps()) {
    AddScriptProp("FrameTyp", frkind::Whole);
    AddScriptProp("FrameWidth", frkind::Geometry | frkind::Fraction);
    AddScriptProp("FrameColor", frkind::Color);
    AddEnumScriptProp("FrameStyle", "psSolid;psDash;psDot;psDashDot;psDashDotDot;psDouble", Range(6));
    AddScriptProp("FillColor", frkind::Color);
    AddScriptProp("Tag", frkind::Named | frkind::Editor, [this] { OpenEditor(); }, this);
    AddEnumScriptProp("BandAlign", "baNone;baLeft;baRight;baCenter;baWidth;baBottom;baTop;baRest", Range(8));
  }
  AddScriptProp("Visible", frkind::Boolean);
  AddScriptProp("Memo", frkind::Named | frkind::Editor, [this] { OpenEditor(); }, this);
  AddScriptProp("Memo.Count", 0);
  AddScriptProp("Restrictions", frkind::Editor);
}

Word TfrView::FlagBit(const String& UpperName) const { return UpperName == "STRETCHED" ? 1 : 0; }

void TfrView::SetScriptProp(const String& AName, const Variant& Value) {
  const String n = UpperCase(AName);
  if (n == "NAME") Name = VarToStr(Value);
  else if (n == "LEFT") Left = Value.AsInteger();
  else if (n == "TOP") Top = Value.AsInteger();
  else if (n == "WIDTH") Width = Value.AsInteger();
  else if (n == "HEIGHT") Height = Value.AsInteger();
  else if (n == "FLAGS") Flags = static_cast<Word>(Value.AsInteger());
  else if (n == "FRAMETYP") FrameTyp = static_cast<Word>(Value.AsInteger());
  else if (n == "FRAMESTYLE") FrameStyle = static_cast<Word>(Value.AsInteger());
  else if (n == "FRAMEWIDTH") FrameWidth = static_cast<float>(Value.AsDouble());
  else if (n == "FRAMECOLOR") FrameColor = Value.AsInteger();
  else if (n == "FILLCOLOR") FillColor = Value.AsInteger();
  else if (n == "GAPX") GapX = Value.AsInteger();
  else if (n == "GAPY") GapY = Value.AsInteger();
  else if (n == "VISIBLE") Visible = IsBoolTrue(Value) ? 0xFFFF : 0;
  else if (n == "MEMO" || n == "DATAFIELD") Memo.SetText(VarToStr(Value));
  else if (n == "BANDALIGN") BandAlign = static_cast<Byte>(Value.AsInteger());
  else if (n == "TAG") Tag = VarToStr(Value);
  else if (Word bit = FlagBit(n)) SetBit(Flags, bit, IsBoolTrue(Value));
}

Variant TfrView::GetScriptProp(const String& AName) {
  const String n = UpperCase(AName);
  if (n == "NAME") return Variant(Name);
  if (n == "LEFT") return Variant(Left);
  if (n == "TOP") return Variant(Top);
  if (n == "WIDTH") return Variant(Width);
  if (n == "HEIGHT") return Variant(Height);
  if (n == "FLAGS") return Variant(int(Flags));
  if (n == "FRAMETYP") return Variant(int(FrameTyp));
  if (n == "FRAMESTYLE") return Variant(int(FrameStyle));
  if (n == "FRAMEWIDTH") return Variant(double(FrameWidth));
  if (n == "FRAMECOLOR") return Variant(FrameColor);
  if (n == "FILLCOLOR") return Variant(FillColor);
  if (n == "GAPX") return Variant(GapX);
  if (n == "GAPY") return Variant(GapY);
  if (n == "VISIBLE") return Variant(IsVisible());
  if (n == "MEMO") return Variant(Memo.Text());
  if (n == "DATAFIELD") return Variant(Memo.Count() > 0 ? Memo.Strings(0) : String());
  if (n == "MEMO.COUNT") return Variant(Memo.Count());
  if (n == "BANDALIGN") return Variant(int(BandAlign));
  if (n == "TAG") return Variant(Tag);
  if (Word bit = FlagBit(n)) return Variant((Flags & bit) != 0);
  return Variant();
}

Variant TfrView::CallScriptMethod(const String& AName, const Variant& p1, const Variant& p2, const Variant& p3) {
  const String n = UpperCase(AName);
  if (n == "HIDE") {
    SetScriptProp("Visible", Variant(false));
    return Variant();
  }
  if (n == "SHOW") {
    SetScriptProp("Visible", Variant(true));
    return Variant();
  }
  bool handled;
  return CallListMethod(&Memo, n, p1, p2, p3, "MEMO", handled);
}

void TfrView::LoadFromBlobField(TField*) {}

void TfrView::OpenEditor() {}

void TfrView::SetViewBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  Left = ALeft;
  Top = ATop;
  Width = AWidth;
  Height = AHeight;
}

void TfrView::MakeUniqueName() {
  Name.clear();
  TfrReport* report = frState().CurrentReport;
  TForm* dialog = dynamic_cast<TfrControl*>(this) ? TfrGlobals::Instance()->DialogForm() : nullptr;
  for (int i = 1; i <= 10000; ++i) {
    const String candidate = NamePrefix + IntToStr(i);
    if (report && report->FindObject(candidate)) continue;
    if (dialog && dialog->FindComponent(candidate)) continue;
    SetScriptProp("Name", Variant(candidate));
    return;
  }
}

// ---- designer popup items

namespace {

// The views a popup toggle applies to: the selected ones of the page, or this one alone.
std::vector<TfrView*> Selection(TfrView* view) {
  std::vector<TfrView*> r;
  if (view->OwnerPage)
    for (const auto& v : view->OwnerPage->Objects)
      if (v->IsSelected) r.push_back(v.get());
  if (r.empty()) r.push_back(view);
  return r;
}

TMenuItem* AddItem(TPopupMenu* menu, const String& caption, bool checked, std::function<void()> click) {
  auto* item = new TMenuItem(menu);
  item->SetCaption(caption);
  item->SetChecked(checked);
  if (click) item->OnClick = TNotifyEvent::Lambda([click](TObject*) { click(); });
  menu->Items()->Add(item);
  return item;
}

void AddSeparator(TPopupMenu* menu) { AddItem(menu, "-", false, {}); }

}  // namespace

void TfrView::ToggleFlagOnSelection(Word Bit, bool ForEverySelected) {
  const bool on = (Flags & Bit) == 0;
  std::vector<TfrView*> targets = ForEverySelected ? Selection(this) : std::vector<TfrView*>{this};
  for (TfrView* v : targets)
    if (!(v->Restrictions & 8)) SetBit(v->Flags, Bit, on);
}

void TfrView::FillPopupMenu(TPopupMenu* Menu) {
  AddSeparator(Menu);
  AddItem(Menu, LocaleText(55190), Flags & frmemo::Stretched, [this] { ToggleFlagOnSelection(frmemo::Stretched, true); });
}

// ================================================================ TfrControl

TfrControl::TfrControl() {
  FillColor = clBtnFace;
  FrameTyp = 0;
  TypeCode = 10;
}

void TfrControl::RegisterScriptProps() {
  AddScriptProp("Name", frkind::Named | frkind::Text);
  for (const char* n : {"Left", "Top", "Width", "Height"}) AddScriptProp(n, frkind::Geometry);
  AddScriptProp("Visible", frkind::Boolean);
  AddScriptProp("Restrictions", frkind::Editor);
}

void TfrControl::SetScriptProp(const String& AName, const Variant& Value) {
  TfrView::SetScriptProp(AName, Value);
  if (UpperCase(AName) == "VISIBLE" && HostedControl) HostedControl->SetVisible(IsVisible());
}

// ================================================================ TfrStretcheable

Variant TfrStretcheable::CallScriptMethod(const String& AName, const Variant& p1, const Variant& p2,
                                          const Variant& p3) {
  if (UpperCase(AName) == "CALCHEIGHT") return Variant(CalcHeight());
  return TfrView::CallScriptMethod(AName, p1, p2, p3);
}

// ================================================================ TfrMemoView

TfrMemoView::TfrMemoView() : Font(std::make_unique<TFont>()) {
  TypeCode = 0;
  NamePrefix = "Memo";
  Flags = 3;
  Font->SetName("Arial");
  Font->SetSize(10);
  Font->SetColor(clBlack);
  Font->SetCharset(static_cast<TFontCharset>(frState().DefaultCharset));
}

TfrMemoView::~TfrMemoView() = default;

Word TfrMemoView::FlagBit(const String& n) const {
  static const struct { const char* Name; Word Bit; } kFlags[] = {
      {"STRETCHED", frmemo::Stretched}, {"WORDWRAP", frmemo::WordWrap},     {"WORDBREAK", frmemo::WordBreak},
      {"AUTOWIDTH", frmemo::AutoWidth}, {"TEXTONLY", frmemo::TextOnly},     {"SUPPRESS", frmemo::Suppress},
      {"HIDEZEROS", frmemo::HideZeros}, {"UNDERLINES", frmemo::Underlines}, {"RTLREADING", frmemo::RTLReading},
  };
  for (const auto& f : kFlags)
    if (n == f.Name) return f.Bit;
  return 0;
}

void TfrMemoView::RegisterScriptProps() {
  TfrView::RegisterScriptProps();
  for (const char* n : {"Font.Name", "Font.Size", "Font.Style", "Font.Color"}) AddScriptProp(n, 0);
  AddScriptProp("Font", frkind::Editor, [this] { OpenEditor(); }, this);
  AddScriptProp("Alignment", 0);
  AddScriptProp("DisplayFormat", frkind::Editor, [this] { OpenEditor(); }, this);
  AddScriptProp("Highlight", frkind::Editor, [this] { OpenEditor(); }, this);
  for (const char* n : {"LineSpacing", "CharSpacing", "GapX", "GapY"}) AddScriptProp(n, frkind::Whole);
  for (const char* n : {"Stretched", "WordWrap", "WordBreak", "AutoWidth", "TextOnly", "Suppress", "HideZeros"})
    AddScriptProp(n, frkind::Boolean);
  AddScriptProp("Lines.Count", 0);
  AddScriptProp("Underlines", frkind::Boolean);
  AddScriptProp("RTLReading", frkind::Boolean);
}

void TfrMemoView::SetScriptProp(const String& AName, const Variant& Value) {
  const String n = UpperCase(AName);
  if (SetFontScriptProp(Font.get(), n, Value)) return;
  if (n == "ALIGNMENT") Alignment = Value.AsInteger();
  else if (n == "LINESPACING") LineSpacing = Value.AsInteger();
  else if (n == "CHARSPACING") CharSpacing = Value.AsInteger();
  else TfrView::SetScriptProp(AName, Value);
}

Variant TfrMemoView::GetScriptProp(const String& AName) {
  const String n = UpperCase(AName);
  Variant v;
  if (GetFontScriptProp(Font.get(), n, v)) return v;
  if (n == "ALIGNMENT") return Variant(Alignment);
  if (n == "LINESPACING") return Variant(LineSpacing);
  if (n == "CHARSPACING") return Variant(CharSpacing);
  if (n == "LINES.COUNT") return Variant(Memo.Count());
  return TfrView::GetScriptProp(AName);
}

Variant TfrMemoView::CallScriptMethod(const String& AName, const Variant& p1, const Variant& p2, const Variant& p3) {
  bool handled;
  Variant r = CallListMethod(&Memo, UpperCase(AName), p1, p2, p3, "LINES", handled);
  return handled ? r : TfrStretcheable::CallScriptMethod(AName, p1, p2, p3);
}

void TfrMemoView::LoadFromBlobField(TField* Field) { ExpandedMemo.SetText(Field ? Field->AsString() : String()); }

void TfrMemoView::OpenEditor() {}

void TfrMemoView::FillPopupMenu(TPopupMenu* Menu) {
  AddItem(Menu, LocaleText(55191), false, {});
  AddItem(Menu, LocaleText(55334), false, {});
  AddItem(Menu, LocaleText(55347), false, [this] {
    for (TfrView* v : Selection(this))
      if (!(v->Restrictions & 4)) {
        v->Memo.Clear();
        v->EventScript.Clear();
      }
  });
  TfrView::FillPopupMenu(Menu);
  auto toggle = [this, Menu](int id, Word bit) {
    return AddItem(Menu, LocaleText(id), Flags & bit, [this, bit] { ToggleFlagOnSelection(bit, true); });
  };
  toggle(55192, frmemo::WordWrap);
  if (!LocaleText(55193).empty()) toggle(55193, frmemo::WordBreak)->SetEnabled(Flags & frmemo::WordWrap);
  toggle(55335, frmemo::AutoWidth);
  toggle(55433, frmemo::TextOnly);
  toggle(55434, frmemo::Suppress);
  toggle(55438, frmemo::HideZeros);
  toggle(55441, frmemo::Underlines);
}

// ================================================================ TfrBandView

TfrBandView::TfrBandView() {
  TypeCode = 2;
  NamePrefix = "Band";
  FormatCode = 0;
  Flags = 48;
}

Word TfrBandView::FlagBit(const String& n) const {
  static const struct { const char* Name; Word Bit; } kFlags[] = {
      {"STRETCHED", frband::Stretched},        {"FORMNEWPAGE", frband::FormNewPage},
      {"PRINTIFSUBSETEMPTY", frband::PrintIfSubsetEmpty}, {"BREAKED", frband::Breaked},
      {"ONFIRSTPAGE", frband::OnFirstPage},    {"ONLASTPAGE", frband::OnLastPage},
      {"REPEATHEADER", frband::RepeatHeader},  {"PRINTCHILDIFINVISIBLE", frband::PrintChildIfInvisible},
  };
  for (const auto& f : kFlags)
    if (n == f.Name) return f.Bit;
  return 0;
}

namespace {

bool In(int t, std::initializer_list<int> set) {
  for (int s : set)
    if (s == t) return true;
  return false;
}

// Which band types have which property.
bool HasStretched(int t) { return In(t, {0, 1, 2, 4, 5, 6, 7, 8, 9, 10, 11, 12, 16, 17, 18, 21}); }
bool HasFormNewPage(int t) { return !In(t, {2, 3, 4, 7, 10, 13, 14, 15}) && t < 17; }
bool HasPrintIfSubsetEmpty(int t) { return t == 5 || t == 8; }
bool HasBreaked(int t) { return In(t, {0, 1, 4, 5, 6, 7, 8, 9, 10, 11, 12, 16, 17, 21}); }
bool HasRepeatHeader(int t) { return In(t, {4, 7, 10, 16, 18}); }
bool IsDataBand(int t) { return t == 5 || t == 8 || t == 11; }

// The names of the page's bands of the given types, joined by ";", with their indexes as values.
void BandsOfPage(TfrView* self, std::initializer_list<int> types, String& names, Variant& values) {
  names.clear();
  std::vector<Variant> v;
  // Built from the designer's page; while a report runs the list is empty.
  if (frState().EngineMode == 0 && self->OwnerPage) {
    for (const auto& obj : self->OwnerPage->Objects) {
      auto* b = dynamic_cast<TfrBandView*>(obj.get());
      if (!b || b == self || !In(b->BandType(), types)) continue;
      if (!names.empty()) names += ";";
      names += b->Name;
      v.emplace_back(b->Name);
    }
  }
  values = VarArrayOf(v);
}

}  // namespace

void TfrBandView::RegisterScriptProps() {
  const int t = BandType();
  AddScriptProp("Name", frkind::Named | frkind::Text);
  for (const char* n : {"Left", "Top", "Width", "Height"}) AddScriptProp(n, frkind::Geometry);
  AddScriptProp("Flags", 0);
  AddScriptProp("Visible", frkind::Boolean);
  AddScriptProp("OnBeforePrint", frkind::Named | frkind::Editor, [this] { OpenEditor(); }, this);
  AddScriptProp("Memo.Count", 0);
  AddScriptProp("Restrictions", frkind::Editor);
  if (t != btPageFooter) {
    String names;
    Variant values;
    BandsOfPage(this, {btChild}, names, values);
    AddEnumScriptProp("ChildBand", names, values);
    AddScriptProp("PrintChildIfInvisible", frkind::Boolean);
  }
  if (HasStretched(t)) AddScriptProp("Stretched", frkind::Boolean);
  if (HasFormNewPage(t)) AddScriptProp("FormNewPage", frkind::Boolean);
  if (HasPrintIfSubsetEmpty(t)) AddScriptProp("PrintIfSubsetEmpty", frkind::Boolean);
  if (HasBreaked(t)) AddScriptProp("Breaked", frkind::Boolean);
  if (t == btPageHeader || t == btPageFooter) AddScriptProp("OnFirstPage", frkind::Boolean);
  if (t == btPageFooter) AddScriptProp("OnLastPage", frkind::Boolean);
  if (HasRepeatHeader(t)) AddScriptProp("RepeatHeader", frkind::Boolean);
  if (t == btCrossData) AddScriptProp("DataSource", frkind::Editor, [this] { OpenEditor(); }, this);
  if (IsDataBand(t)) {
    AddScriptProp("Columns", frkind::Whole);
    AddScriptProp("ColumnWidth", frkind::Geometry);
    AddScriptProp("ColumnGap", frkind::Geometry);
    AddScriptProp("DataSource", frkind::Editor, [this] { OpenEditor(); }, this);
  }
  if (t == btGroupHeader) {
    AddScriptProp("Condition", frkind::Text);
    String names;
    Variant values;
    BandsOfPage(this, {btMasterData, btDetailData, btSubDetailData}, names, values);
    AddEnumScriptProp("Master", names, values);
  }
  AddScriptProp("EOF", 0);
}

void TfrBandView::SetScriptProp(const String& AName, const Variant& Value) {
  const String n = UpperCase(AName);
  if (n == "CHILDBAND") ChildBand = VarToStr(Value);
  else if (n == "MASTER") Master = VarToStr(Value);
  else if (n == "CONDITION") FormatText = VarToStr(Value);
  else if (n == "COLUMNS") Columns = Value.AsInteger();
  else if (n == "COLUMNGAP") ColumnGap = Value.AsInteger();
  else if (n == "COLUMNWIDTH") ColumnWidth = Value.AsInteger();
  else if (n == "NEWCOLUMNAFTER") NewColumnAfter = Value.AsInteger();
  else if (n == "DATASOURCE") FormatText = VarToStr(Value);
  else if (n == "ONBEFOREPRINT") Memo.SetText(VarToStr(Value));
  else TfrView::SetScriptProp(AName, Value);
}

Variant TfrBandView::GetScriptProp(const String& AName) {
  const String n = UpperCase(AName);
  if (n == "CHILDBAND") return Variant(ChildBand);
  if (n == "MASTER") return Variant(Master);
  if (n == "CONDITION" || n == "DATASOURCE") return Variant(FormatText);
  if (n == "COLUMNS") return Variant(Columns);
  if (n == "COLUMNGAP") return Variant(ColumnGap);
  if (n == "COLUMNWIDTH") return Variant(ColumnWidth);
  if (n == "NEWCOLUMNAFTER") return Variant(NewColumnAfter);
  if (n == "ONBEFOREPRINT") return Variant(Memo.Text());
  return TfrView::GetScriptProp(AName);
}

Variant TfrBandView::CallScriptMethod(const String& AName, const Variant& p1, const Variant& p2, const Variant& p3) {
  // NEXT, PRIOR and FIRST move the data set of a band while it prints; outside a run there
  // is no such band.
  const String n = UpperCase(AName);
  if (n == "NEXT" || n == "PRIOR" || n == "FIRST") return Variant();
  return TfrView::CallScriptMethod(AName, p1, p2, p3);
}

void TfrBandView::FillPopupMenu(TPopupMenu* Menu) {
  const int t = BandType();
  if (t == btPageFooter) AddSeparator(Menu);
  else if (!In(t, {13, 14, 15, 19, 20, 22})) TfrView::FillPopupMenu(Menu);
  auto toggle = [this, Menu](int id, Word bit, bool every) {
    AddItem(Menu, LocaleText(id), Flags & bit, [this, bit, every] { ToggleFlagOnSelection(bit, every); });
  };
  if (HasFormNewPage(t)) toggle(55194, frband::FormNewPage, true);
  if (HasPrintIfSubsetEmpty(t)) toggle(55195, frband::PrintIfSubsetEmpty, true);
  if (HasBreaked(t)) toggle(55196, frband::Breaked, true);
  if (t == btPageHeader || t == btPageFooter) toggle(55231, frband::OnFirstPage, false);
  if (t == btPageFooter) toggle(55232, frband::OnLastPage, false);
  if (HasRepeatHeader(t)) toggle(55233, frband::RepeatHeader, false);
  if (t != btPageFooter) toggle(55440, frband::PrintChildIfInvisible, false);
}

// ================================================================ sub-report, picture, line

TfrSubReportView::TfrSubReportView() {
  TypeCode = 3;
  NamePrefix = "SubReport";
}

TfrPictureView::TfrPictureView() : Picture(std::make_unique<TPicture>()) {
  TypeCode = 1;
  NamePrefix = "Picture";
  Flags = 5;
  TfrVariables* constants = TfrGlobals::Instance()->ScriptConstants.get();
  const char* names[] = {"btBMP", "btJPG", "btICO", "btWMF"};
  for (int i = 0; i < 4; ++i) constants->SetVariable(names[i], Variant(i));
}

TfrPictureView::~TfrPictureView() = default;

Word TfrPictureView::FlagBit(const String& n) const {
  if (n == "STRETCHED") return 1;
  if (n == "CENTER") return 2;
  if (n == "KEEPASPECT") return 4;
  return 0;
}

void TfrPictureView::RegisterScriptProps() {
  TfrView::RegisterScriptProps();
  AddScriptProp("Picture", frkind::Editor, [this] { OpenEditor(); }, this);
  for (const char* n : {"Stretched", "Center", "KeepAspect"}) AddScriptProp(n, frkind::Boolean);
  AddScriptProp("DataField", frkind::Named | frkind::Editor | frkind::Text, [this] { OpenEditor(); }, this);
  AddEnumScriptProp("BlobType", "btBMP;btJPG;btICO;btWMF", Range(4));
}

namespace {
// Scripts pass pictures by reference; only a picture of a view of the running report is
// accepted, so that no number a script makes up is taken for an object.
TPicture* KnownPicture(const Variant& v) {
  if (!VarIsOrdinal(v)) return nullptr;
  const auto handle = static_cast<std::intptr_t>(v.AsInt64());
  TfrReport* r = frState().CurrentReport;
  if (!r) return nullptr;
  for (int p = 0; p < r->Pages()->Count(); ++p)
    for (const auto& obj : r->Pages()->Page(p)->Objects)
      if (auto* pv = dynamic_cast<TfrPictureView*>(obj.get()))
        if (reinterpret_cast<std::intptr_t>(pv->Picture.get()) == handle) return pv->Picture.get();
  return nullptr;
}
}  // namespace

void TfrPictureView::SetScriptProp(const String& AName, const Variant& Value) {
  const String n = UpperCase(AName);
  if (n == "BLOBTYPE") {
    BlobType = static_cast<Byte>(Value.AsInteger());
  } else if (n == "PICTURE") {
    if (TPicture* p = KnownPicture(Value); p && p != Picture.get()) {
      Picture->Assign(p);
      RawGraphic.clear();
      RawGraphicKind = 0;
    }
  } else {
    TfrView::SetScriptProp(AName, Value);
  }
}

Variant TfrPictureView::GetScriptProp(const String& AName) {
  const String n = UpperCase(AName);
  if (n == "BLOBTYPE") return Variant(int(BlobType));
  if (n == "PICTURE") return Variant(static_cast<Int64>(reinterpret_cast<std::intptr_t>(Picture.get())));
  return TfrView::GetScriptProp(AName);
}

Variant TfrPictureView::CallScriptMethod(const String& AName, const Variant& p1, const Variant& p2,
                                         const Variant& p3) {
  if (UpperCase(AName) == "LOADFROMFILE") {
    String file = VarToStr(GlobalParser()->Evaluate(VarToStr(p1)));
    RawGraphic.clear();
    RawGraphicKind = 0;
    if (FileExists(file)) Picture->LoadFromFile(file);
    else Picture->SetGraphic(nullptr);
    return Variant();
  }
  return TfrView::CallScriptMethod(AName, p1, p2, p3);
}

void TfrPictureView::LoadFromBlobField(TField* Field) {
  RawGraphic.clear();
  RawGraphicKind = 0;
  if (!Field) return;
  if (auto* blob = dynamic_cast<TBlobField*>(Field)) {
    TBytes bytes = blob->AsBytes();
    TMemoryStream s;
    if (!bytes.empty()) s.WriteBuffer(bytes.data(), static_cast<Int64>(bytes.size()));
    s.SetPosition(0);
    if (s.Size() > 0) Picture->LoadFromStream(&s);
    else Picture->SetGraphic(nullptr);
  }
}

void TfrPictureView::OpenEditor() {}

void TfrPictureView::FillPopupMenu(TPopupMenu* Menu) {
  TfrView::FillPopupMenu(Menu);
  AddItem(Menu, LocaleText(55197), Flags & 2, [this] { ToggleFlagOnSelection(2, true); });
  AddItem(Menu, LocaleText(55198), Flags & 4, [this] { ToggleFlagOnSelection(4, true); })->SetEnabled(Flags & 1);
}

TfrLineView::TfrLineView() {
  TypeCode = 4;
  NamePrefix = "Line";
  FrameTyp = 4;
  FillColor = clWhite;
}

void TfrLineView::RegisterScriptProps() {
  TfrView::RegisterScriptProps();
  AddScriptProp("Stretched", frkind::Boolean);
}

// ================================================================ factory and registries

namespace {
std::vector<TfrAddInObjectInfo>& AddIns() {
  static std::vector<TfrAddInObjectInfo> list;
  return list;
}
std::vector<std::pair<String, std::unique_ptr<TfrFunctionLibrary>>>& Libraries() {
  static std::vector<std::pair<String, std::unique_ptr<TfrFunctionLibrary>>> list;
  return list;
}
}  // namespace

TfrView* CreateViewByType(int TypeCode, const String& ClassName) {
  TfrView* v = nullptr;
  switch (TypeCode) {
    case 0: v = new TfrMemoView; break;
    case 1: v = new TfrPictureView; break;
    case 2: v = new TfrBandView; break;
    case 3: v = new TfrSubReportView; break;
    case 4: v = new TfrLineView; break;
    case 10:
      for (const TfrAddInObjectInfo& a : AddIns())
        if (a.ClassName == ClassName) {
          v = a.Create();
          v->TypeCode = 10;
          v->AddInClassName = a.ClassName;
          break;
        }
      if (!v) {
        TfrEngineState& s = frState();
        s.ErrorFlag = true;
        s.ErrorText += ClassName + "\r";
        throw EClassNotFound(s.ErrorText);
      }
      break;
    default: return nullptr;
  }
  v->ObjectNumber = frState().ObjectCounter++;
  return v;
}

void RegisterAddInObject(const String& ClassName, std::function<TfrView*()> Create, TBitmap* ButtonBitmap,
                         const String& Hint) {
  for (const TfrAddInObjectInfo& a : AddIns())
    if (a.ClassName == ClassName) {
      delete ButtonBitmap;
      return;
    }
  AddIns().push_back({ClassName, std::move(Create), ButtonBitmap, Hint, 0});
}

const std::vector<TfrAddInObjectInfo>& AddInObjects() { return AddIns(); }

void ClearAddInObjects() {
  for (TfrAddInObjectInfo& a : AddIns()) delete a.ButtonBitmap;
  AddIns().clear();
}

TfrFunctionLibrary::TfrFunctionLibrary() : FunctionNames(std::make_unique<TStringList>()) {}
TfrFunctionLibrary::~TfrFunctionLibrary() = default;

bool TfrFunctionLibrary::OnFunction(const String& Name, const Variant& p1, const Variant& p2, const Variant& p3,
                                    Variant& Val) {
  int i = FunctionNames->IndexOf(Name);
  if (i < 0) return false;
  CallFunction(i, p1, p2, p3, Val);
  return true;
}

void TfrFunctionLibrary::AddFunctionDesc(const String& FuncName, const String& Category, const String& Description) {
  AddFunctionDescription(this, FuncName, Category, Description);
}

void RegisterFunctionLibrary(const String& ClassName, std::function<TfrFunctionLibrary*()> Create) {
  for (const auto& l : Libraries())
    if (l.first == ClassName) return;
  Libraries().emplace_back(ClassName, std::unique_ptr<TfrFunctionLibrary>(Create()));
}

void UnregisterFunctionLibrary(const String& ClassName) {
  auto& libs = Libraries();
  for (auto it = libs.begin(); it != libs.end(); ++it)
    if (it->first == ClassName) {
      auto& descs = TfrGlobals::Instance()->FunctionDescriptions;
      TfrFunctionLibrary* lib = it->second.get();
      std::erase_if(descs, [lib](const TfrFunctionDesc& d) { return d.Library == lib; });
      libs.erase(it);
      return;
    }
}

const std::vector<std::pair<String, std::unique_ptr<TfrFunctionLibrary>>>& FunctionLibraries() { return Libraries(); }

void AddFunctionDescription(TfrFunctionLibrary* Library, const String& FuncName, const String& Category,
                            const String& Description) {
  TfrGlobals::Instance()->InstalledFunctions.Add(Library, FuncName, Category, Description);
}

void EnsureScriptProps(TfrObject* Object) {
  if (Object->ScriptProps().empty()) Object->RegisterScriptProps();
}

TfrPropRec* FindScriptProp(TfrObject* Object, const String& Name) {
  if (!Object) return nullptr;
  EnsureScriptProps(Object);
  for (const auto& p : Object->ScriptProps())
    if (SameText(p->Name, Name)) return p.get();
  return nullptr;
}

TfrObject* ResolveScriptName(const String& Text, String& PropName) {
  TfrEngineState& s = frState();
  TfrObject* object = nullptr;
  const std::size_t dot = Text.find('.');
  if (dot == String::npos) {
    object = s.CurrentView;
    PropName = Text;
  } else {
    const String objName = Text.substr(0, dot);
    PropName = Text.substr(dot + 1, 255);
    TfrReport* r = s.CurrentReport;
    if (objName.size() > 4 && SameText(objName.substr(0, 4), "PAGE") && objName[4] >= '0' && objName[4] <= '9') {
      int n = 0;
      if (r && TryStrToInt(objName.substr(4), n) && n >= 1 && n <= r->Pages()->Count()) object = r->Pages()->Page(n - 1);
    } else {
      object = r ? r->FindObject(objName) : nullptr;
      if (!object && s.CurrentView && FindScriptProp(s.CurrentView, objName)) {
        object = s.CurrentView;
        PropName = Text;
      }
    }
  }
  if (object) EnsureScriptProps(object);
  return object;
}
