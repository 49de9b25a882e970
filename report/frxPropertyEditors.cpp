#include "report/frxPropertyEditors.h"

#include "core/ClassBuilder.h"
#include "core/DateUtils.h"
#include "core/FloatFormat.h"
#include "core/StrUtils.h"
#include "core/StringList.h"
#include "core/SysUtils.h"
#include "gui/Canvas.h"
#include "gui/Colors.h"
#include "gui/Dialogs.h"
#include "gui/GraphicsObjects.h"
#include "gui/ListCtrls.h"
#include "gui/Menus.h"
#include "gui/Screen.h"
#include "report/frxClass.h"
#include "report/frxUtils.h"

KELM_PUBLISH(TfrxIntegerProperty) {}
KELM_PUBLISH(TfrxFloatProperty) {}
KELM_PUBLISH(TfrxCharProperty) {}
KELM_PUBLISH(TfrxStringProperty) {}
KELM_PUBLISH(TfrxEnumProperty) {}
KELM_PUBLISH(TfrxSetProperty) {}
KELM_PUBLISH(TfrxSetElementProperty) {}
KELM_PUBLISH(TfrxClassProperty) {}
KELM_PUBLISH(TfrxComponentProperty) {}
KELM_PUBLISH(TfrxNameProperty) {}
KELM_PUBLISH(TfrxColorProperty) {}
KELM_PUBLISH(TfrxFontProperty) {}
KELM_PUBLISH(TfrxFontNameProperty) {}
KELM_PUBLISH(TfrxFontCharsetProperty) {}
KELM_PUBLISH(TfrxModalResultProperty) {}
KELM_PUBLISH(TfrxShortCutProperty) {}
KELM_PUBLISH(TfrxCursorProperty) {}
KELM_PUBLISH(TfrxDateTimeProperty) {}
KELM_PUBLISH(TfrxDateProperty) {}
KELM_PUBLISH(TfrxTimeProperty) {}

namespace {

constexpr TColor kGreyPen = 0x808080;

// The name of a value in a vocabulary, the first that matches; '' when it has none.
String IdentOf(const std::vector<TfrxIdentValue>& Idents, Int64 Value) {
  for (const TfrxIdentValue& i : Idents)
    if (i.Value == Value) return i.Name;
  return String();
}

bool ValueOfIdent(const std::vector<TfrxIdentValue>& Idents, const String& Name, int& Value) {
  for (const TfrxIdentValue& i : Idents)
    if (SameText(i.Name, Name)) {
      Value = i.Value;
      return true;
    }
  return false;
}

String IdentOrNumber(const std::vector<TfrxIdentValue>& Idents, Int64 Value) {
  String name = IdentOf(Idents, Value);
  return name.empty() ? IntToStr(Value) : name;
}

}  // namespace

// ---------------------------------------------------------------- vocabularies

const std::vector<TfrxIdentValue>& CharsetIdents() {
  static const std::vector<TfrxIdentValue> idents = {
      {"ANSI_CHARSET", 0},        {"DEFAULT_CHARSET", 1},     {"SYMBOL_CHARSET", 2},    {"MAC_CHARSET", 77},
      {"SHIFTJIS_CHARSET", 128},  {"HANGEUL_CHARSET", 129},   {"JOHAB_CHARSET", 130},   {"GB2312_CHARSET", 134},
      {"CHINESEBIG5_CHARSET", 136}, {"GREEK_CHARSET", 161},   {"TURKISH_CHARSET", 162}, {"HEBREW_CHARSET", 177},
      {"ARABIC_CHARSET", 178},    {"BALTIC_CHARSET", 186},    {"RUSSIAN_CHARSET", 204}, {"THAI_CHARSET", 222},
      {"EASTEUROPE_CHARSET", 238}, {"OEM_CHARSET", 255},
  };
  return idents;
}

const std::vector<TfrxIdentValue>& ModalResultIdents() {
  static const std::vector<TfrxIdentValue> idents = {
      {"mrNone", 0}, {"mrOk", 1},  {"mrCancel", 2}, {"mrAbort", 3},    {"mrRetry", 4},     {"mrIgnore", 5},
      {"mrYes", 6},  {"mrNo", 7},  {"mrAll", 8},    {"mrNoToAll", 9},  {"mrYesToAll", 10},
  };
  return idents;
}

const std::vector<TfrxIdentValue>& CursorIdents() {
  static const std::vector<TfrxIdentValue> idents = {
      {"crDefault", 0},     {"crArrow", -2},     {"crCross", -3},      {"crIBeam", -4},     {"crSizeNESW", -6},
      {"crSizeNS", -7},     {"crSizeNWSE", -8},  {"crSizeWE", -9},     {"crUpArrow", -10},  {"crHourGlass", -11},
      {"crDrag", -12},      {"crNoDrop", -13},   {"crHSplit", -14},    {"crVSplit", -15},   {"crMultiDrag", -16},
      {"crSQLWait", -17},   {"crNo", -18},       {"crAppStart", -19},  {"crHelp", -20},     {"crHandPoint", -21},
      {"crSizeAll", -22},   {"crSize", -22},
  };
  return idents;
}

const std::vector<Word>& ShortCutChoices() {
  static const std::vector<Word> choices = [] {
    std::vector<Word> v;
    for (Word k = 'A'; k <= 'Z'; ++k) v.push_back(scCtrl | k);
    for (Word k = 'A'; k <= 'Z'; ++k) v.push_back(scCtrl | scAlt | k);
    for (Word mods : {Word(0), Word(scCtrl), Word(scShift), Word(scShift | scCtrl)})
      for (Word k = VK_F1; k <= VK_F12; ++k) v.push_back(mods | k);
    const Word tail[] = {VK_INSERT,          scShift | VK_INSERT, scCtrl | VK_INSERT,
                         VK_DELETE,          scShift | VK_DELETE, scCtrl | VK_DELETE,
                         scAlt | VK_BACK,    scShift | scAlt | VK_BACK};
    v.insert(v.end(), std::begin(tail), std::end(tail));
    return v;
  }();
  return choices;
}

// ---------------------------------------------------------------- numbers, characters, strings

String TfrxIntegerProperty::ValueText() const { return IntToStr(ReadOrdinal()); }
void TfrxIntegerProperty::ApplyValueText(const String& Value) { WriteOrdinal(StrToInt64(Trim(Value))); }

String TfrxFloatProperty::ValueText() const { return FloatToStr(ReadFloat()); }
void TfrxFloatProperty::ApplyValueText(const String& Value) { WriteFloat(StrToFloatAnySep(Value)); }

String TfrxCharProperty::ValueText() const {
  Int64 code = ReadOrdinal();
  if (code < 33) return "#" + IntToStr(code);
  return String(1, static_cast<char>(code));
}

void TfrxCharProperty::ApplyValueText(const String& Value) {
  if (Value.empty()) return WriteOrdinal(0);
  if (Value.size() == 1) return WriteOrdinal(static_cast<unsigned char>(Value[0]));
  int code = 0;
  if (Value[0] != '#' || Value.size() > 256 || !TryStrToInt(Value.substr(1), code)) RaiseInvalidPropertyValue();
  WriteOrdinal(code);
}

String TfrxStringProperty::ValueText() const { return ReadText(); }
void TfrxStringProperty::ApplyValueText(const String& Value) { WriteText(Value); }

// ---------------------------------------------------------------- enumerations and sets

TfrxPropertyTraits TfrxEnumProperty::Traits() const { return {TraitMultiSelect, TraitValueList, TraitSortedList}; }

String TfrxEnumProperty::ValueText() const { return FirstPropInfo()->Enum->NameOf(int(ReadOrdinal())); }

void TfrxEnumProperty::FillValueList() {
  TfrxPropertyEditor::FillValueList();
  const TEnumInfo* e = FirstPropInfo()->Enum;
  for (int i = e->MinValue(); i <= e->MaxValue(); ++i) AddValue(e->NameOf(i));
}

void TfrxEnumProperty::ApplyValueText(const String& Value) {
  int v = FirstPropInfo()->Enum->ValueOf(Value);
  if (v < 0) RaiseInvalidPropertyValue();
  WriteOrdinal(v);
}

TfrxPropertyTraits TfrxSetProperty::Traits() const { return {TraitMultiSelect, TraitSubProperties, TraitReadOnly}; }

String TfrxSetProperty::ValueText() const {
  const TEnumInfo* e = FirstPropInfo()->Enum;
  Int64 bits = ReadOrdinal();
  String r;
  for (int i = 0; i < 32 && i < e->Count(); ++i)
    if (bits & (Int64(1) << i)) r += (r.empty() ? "" : ",") + e->NameOf(i);
  return "[" + r + "]";
}

TfrxPropertyTraits TfrxSetElementProperty::Traits() const { return {TraitMultiSelect, TraitValueList, TraitSortedList}; }

String TfrxSetElementProperty::PropertyName() const { return FirstPropInfo()->Enum->NameOf(FElement); }

String TfrxSetElementProperty::ValueText() const {
  bool member = FElement < 32 && (ReadOrdinal() & (Int64(1) << FElement)) != 0;
  return member ? "True" : "False";
}

void TfrxSetElementProperty::FillValueList() {
  TfrxPropertyEditor::FillValueList();
  AddValue("False");
  AddValue("True");
}

void TfrxSetElementProperty::ApplyValueText(const String& Value) {
  bool member;
  if (SameText(Value, "True")) member = true;
  else if (SameText(Value, "False")) member = false;
  else RaiseInvalidPropertyValue();
  if (FElement > 31) return;  // beyond what the set's ordinal form holds
  Int64 bits = ReadOrdinal();
  Int64 bit = Int64(1) << FElement;
  WriteOrdinal(member ? (bits | bit) : (bits & ~bit));
}

// ---------------------------------------------------------------- objects

TfrxPropertyTraits TfrxClassProperty::Traits() const { return {TraitMultiSelect, TraitSubProperties, TraitReadOnly}; }
String TfrxClassProperty::ValueText() const { return "(" + FirstPropInfo()->TypeName + ")"; }

TfrxPropertyTraits TfrxComponentProperty::Traits() const { return {TraitMultiSelect, TraitValueList, TraitSortedList}; }

String TfrxComponentProperty::ValueText() const {
  auto* c = dynamic_cast<TComponent*>(ReadObject());
  return c ? c->Name() : String();
}

void TfrxComponentProperty::FillValueList() {
  TfrxPropertyEditor::FillValueList();
  TfrxComponent* first = FirstReportComponent();
  if (!first) return;
  // A placed object offers the objects of its page; the report or a page its own objects.
  const TfrxComponent* root = first;
  if (dynamic_cast<TfrxReportComponent*>(first)) {
    root = first->Page();
    if (!root) return;
  }
  TClass wanted = FirstPropInfo()->PropClass();
  for (TfrxComponent* c : root->AllObjects())
    if (c != first && wanted && c->InheritsFrom(wanted)) AddValue(c->Name());
}

void TfrxComponentProperty::ApplyValueText(const String& Value) {
  if (Value.empty()) return WriteObject(nullptr);
  TfrxComponent* first = FirstReportComponent();
  TfrxReport* report = first ? first->FindParentReport() : nullptr;
  if (!report) RaiseInvalidPropertyValue();
  TfrxComponent* found = report->FindObject(Value);
  TClass wanted = FirstPropInfo()->PropClass();
  if (!found || !wanted || !found->InheritsFrom(wanted)) RaiseInvalidPropertyValue();
  WriteObject(found);
}

// ---------------------------------------------------------------- colours and fonts

TfrxPropertyTraits TfrxColorProperty::Traits() const { return {TraitMultiSelect, TraitValueList, TraitOwnerDraw}; }

String TfrxColorProperty::ValueText() const { return ColorToString(static_cast<TColor>(ReadOrdinal())); }

void TfrxColorProperty::FillValueList() {
  TfrxPropertyEditor::FillValueList();
  GetColorValues([this](const String& Name) { AddValue(Name); });
}

void TfrxColorProperty::ApplyValueText(const String& Value) {
  TColor c;
  if (IdentToColor(Trim(Value), c)) return WriteOrdinal(c);
  TfrxIntegerProperty::ApplyValueText(Value);
}

bool TfrxColorProperty::RunEdit() {
  TColorDialog dialog(nullptr);
  dialog.SetColor(static_cast<TColor>(ReadOrdinal()));
  if (!dialog.Execute()) return false;
  WriteOrdinal(dialog.Color());
  return true;
}

void TfrxColorProperty::DrawListItem(TCustomListBox* List, int Index, const TRect& ARect) {
  TfrxPropertyEditor::DrawListItem(List, Index, ARect);
  TCanvas* c = List->Canvas();
  TColor color = clBlack;
  IdentToColor(List->Items()->Strings(Index), color);
  const int h = ARect.Bottom - ARect.Top;
  c->Brush()->SetColor(color);
  c->Rectangle(ARect.Left + 2, ARect.Top + 2, ARect.Left + h - 2, ARect.Bottom - 2);
}

void TfrxColorProperty::DrawValueCell(TCanvas* Canvas, const TRect& ARect) {
  TfrxPropertyEditor::DrawValueCell(Canvas, ARect);
  const int h = ARect.Bottom - ARect.Top;
  Canvas->Brush()->SetColor(static_cast<TColor>(ReadOrdinal()));
  Canvas->Rectangle(ARect.Left, ARect.Top + 1, ARect.Left + h - 5, ARect.Bottom - 4);
}

TfrxPropertyTraits TfrxFontProperty::Traits() const {
  return {TraitMultiSelect, TraitSubProperties, TraitReadOnly, TraitDialog};
}

bool TfrxFontProperty::RunEdit() {
  TFontDialog dialog(nullptr);
  if (auto* font = dynamic_cast<TFont*>(ReadObject())) dialog.SetFont(font);
  dialog.SetDevice(fdBoth);
  dialog.SetOptions(dialog.Options() + TFontDialogOptions{fdForceFontExist});
  if (!dialog.Execute()) return false;
  WriteObject(dialog.Font());
  return true;
}

TfrxPropertyTraits TfrxFontNameProperty::Traits() const { return {TraitMultiSelect, TraitValueList, TraitSortedList}; }

void TfrxFontNameProperty::FillValueList() {
  TfrxPropertyEditor::FillValueList();
  if (!Screen) return;
  TStrings* fonts = Screen->Fonts();
  for (int i = 0; i < fonts->Count(); ++i) AddValue(fonts->Strings(i));
}

// ---------------------------------------------------------------- named integers

TfrxPropertyTraits TfrxFontCharsetProperty::Traits() const {
  return {TraitMultiSelect, TraitValueList, TraitSortedList};
}
String TfrxFontCharsetProperty::ValueText() const { return IdentOrNumber(CharsetIdents(), ReadOrdinal()); }
void TfrxFontCharsetProperty::FillValueList() {
  TfrxPropertyEditor::FillValueList();
  for (const TfrxIdentValue& i : CharsetIdents()) AddValue(i.Name);
}
void TfrxFontCharsetProperty::ApplyValueText(const String& Value) {
  int v;
  if (ValueOfIdent(CharsetIdents(), Trim(Value), v)) return WriteOrdinal(v);
  TfrxIntegerProperty::ApplyValueText(Value);
}

TfrxPropertyTraits TfrxModalResultProperty::Traits() const { return {TraitMultiSelect, TraitValueList}; }
String TfrxModalResultProperty::ValueText() const { return IdentOrNumber(ModalResultIdents(), ReadOrdinal()); }
void TfrxModalResultProperty::FillValueList() {
  TfrxPropertyEditor::FillValueList();
  for (const TfrxIdentValue& i : ModalResultIdents()) AddValue(i.Name);
}
void TfrxModalResultProperty::ApplyValueText(const String& Value) {
  int v;
  if (Value.empty()) return WriteOrdinal(0);
  if (ValueOfIdent(ModalResultIdents(), Trim(Value), v)) return WriteOrdinal(v);
  TfrxIntegerProperty::ApplyValueText(Value);
}

TfrxPropertyTraits TfrxCursorProperty::Traits() const { return {TraitMultiSelect, TraitValueList, TraitSortedList}; }
String TfrxCursorProperty::ValueText() const { return IdentOrNumber(CursorIdents(), ReadOrdinal()); }
void TfrxCursorProperty::FillValueList() {
  TfrxPropertyEditor::FillValueList();
  for (const TfrxIdentValue& i : CursorIdents()) AddValue(i.Name);
}
void TfrxCursorProperty::ApplyValueText(const String& Value) {
  int v;
  if (ValueOfIdent(CursorIdents(), Trim(Value), v)) return WriteOrdinal(v);
  TfrxIntegerProperty::ApplyValueText(Value);
}

// ---------------------------------------------------------------- short-cuts

TfrxPropertyTraits TfrxShortCutProperty::Traits() const { return {TraitMultiSelect, TraitValueList}; }

String TfrxShortCutProperty::ValueText() const {
  Int64 v = ReadOrdinal();
  if ((v & 0xFFFF) == 0) return "(None)";
  return ShortCutToText(static_cast<TShortCut>(v));
}

void TfrxShortCutProperty::FillValueList() {
  TfrxPropertyEditor::FillValueList();
  AddValue("(None)");
  for (Word s : ShortCutChoices()) AddValue(ShortCutToText(s));
}

void TfrxShortCutProperty::ApplyValueText(const String& Value) {
  if (Value.empty() || SameText(Value, "(None)")) return WriteOrdinal(0);
  WriteOrdinal(TextToShortCut(Value));
}

// ---------------------------------------------------------------- dates and times

String TfrxDateTimeProperty::ValueText() const {
  Extended v = ReadFloat();
  return v == 0 ? String() : DateTimeToStr(static_cast<TDateTime>(v));
}
void TfrxDateTimeProperty::ApplyValueText(const String& Value) {
  WriteFloat(Value.empty() ? 0 : StrToDateTime(Value));
}

String TfrxDateProperty::ValueText() const {
  Extended v = ReadFloat();
  return v == 0 ? String() : DateToStr(static_cast<TDateTime>(v));
}
void TfrxDateProperty::ApplyValueText(const String& Value) { WriteFloat(Value.empty() ? 0 : StrToDate(Value)); }

String TfrxTimeProperty::ValueText() const {
  Extended v = ReadFloat();
  return v == 0 ? String() : TimeToStr(static_cast<TDateTime>(v));
}
void TfrxTimeProperty::ApplyValueText(const String& Value) { WriteFloat(Value.empty() ? 0 : StrToTime(Value)); }
