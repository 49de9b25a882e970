#include "report/frxPropertyEditor.h"

#include "core/ClassBuilder.h"
#include "core/Scope.h"
#include "core/StringList.h"
#include "gui/Canvas.h"
#include "gui/ListCtrls.h"
#include "report/frxClass.h"
#include "report/frxRes.h"

#include <cassert>

KELM_PUBLISH(TfrxPropertyEditor) {}

void RaiseInvalidPropertyValue() { throw Exception(ReportResources()->TextOf("prInvProp")); }

TfrxPropertyEditor::TfrxPropertyEditor() = default;
TfrxPropertyEditor::~TfrxPropertyEditor() = default;

TStringList* TfrxPropertyEditor::Values() const {
  if (!FValues) FValues = std::make_unique<TStringList>();
  return FValues.get();
}

void TfrxPropertyEditor::AddInstance(TObject* Instance, const TPropInfo* PropInfo) {
  assert(Instance && PropInfo);
  FInstances.push_back(Instance);
  FPropInfos.push_back(PropInfo);
}

bool TfrxPropertyEditor::RunEdit() {
  FillValueList();
  const int count = Values()->Count();
  if (count == 0) return false;
  // The entry after the current one; past the last, or when the current is not listed, the first.
  int at = Values()->IndexOf(ValueText());
  int next = (at < 0 || at + 1 >= count) ? 0 : at + 1;
  ApplyValueText(Values()->Strings(next));
  return true;
}

String TfrxPropertyEditor::PropertyName() const {
  const TPropInfo* p = FirstPropInfo();
  return p ? p->Name : String();
}

void TfrxPropertyEditor::FillValueList() {
  Values()->SetSorted(false);
  Values()->Clear();
  if (Traits().Contains(TraitSortedList)) {
    // Name order whatever order entries come in, each name once.
    Values()->SetCaseSensitive(false);
    Values()->SetDuplicates(dupIgnore);
    Values()->SetSorted(true);
  }
}

void TfrxPropertyEditor::DrawListItem(TCustomListBox* List, int Index, const TRect& ARect) {
  TCanvas* c = List->Canvas();
  c->FillRect(ARect);
  c->TextOut(ARect.Left + FItemHeight + 4, ARect.Top + 1, List->Items()->Strings(Index));
  c->Pen()->SetColor(0x808080);
}

void TfrxPropertyEditor::DrawValueCell(TCanvas* Canvas, const TRect& ARect) {
  Canvas->TextOut(ARect.Left + FItemHeight - 2, ARect.Top, ValueText());
  Canvas->Pen()->SetColor(0x808080);
}

TObject* TfrxPropertyEditor::FirstInstance() const { return FInstances.empty() ? nullptr : FInstances.front(); }

TfrxComponent* TfrxPropertyEditor::FirstReportComponent() const {
  return dynamic_cast<TfrxComponent*>(FirstInstance());
}

const TPropInfo* TfrxPropertyEditor::FirstPropInfo() const {
  return FPropInfos.empty() ? nullptr : FPropInfos.front();
}

Int64 TfrxPropertyEditor::ReadOrdinal() const { return FirstPropInfo()->Access->GetOrd(FirstInstance()); }
Extended TfrxPropertyEditor::ReadFloat() const { return FirstPropInfo()->Access->GetFloat(FirstInstance()); }
String TfrxPropertyEditor::ReadText() const { return FirstPropInfo()->Access->GetStr(FirstInstance()); }
TObject* TfrxPropertyEditor::ReadObject() const { return FirstPropInfo()->Access->GetObj(FirstInstance()); }

namespace {

// Writes one value to every edited object; when one of them refuses it, those already written
// get their old value back, so the selection keeps one consistent state.
template <class V, class Get, class Set>
void WriteAll(const std::vector<TObject*>& Objects, const std::vector<const TPropInfo*>& Infos, const V& Value,
              Get GetValue, Set SetValue) {
  std::vector<V> old;
  old.reserve(Objects.size());
  for (std::size_t i = 0; i < Objects.size(); ++i) old.push_back(GetValue(Infos[i], Objects[i]));
  std::size_t written = 0;
  TScopeExit restore([&] {
    for (std::size_t i = 0; i < written; ++i) try {
        SetValue(Infos[i], Objects[i], old[i]);
      } catch (...) {
        // The object refuses its own former value too; the others are still restored.
      }
  });
  for (; written < Objects.size(); ++written) SetValue(Infos[written], Objects[written], Value);
  restore.Dismiss();
}

}  // namespace

void TfrxPropertyEditor::WriteOrdinal(Int64 Value) {
  WriteAll(
      FInstances, FPropInfos, Value, [](const TPropInfo* p, TObject* o) { return p->Access->GetOrd(o); },
      [](const TPropInfo* p, TObject* o, Int64 v) { p->Access->SetOrd(o, v); });
}
void TfrxPropertyEditor::WriteFloat(Extended Value) {
  WriteAll(
      FInstances, FPropInfos, Value, [](const TPropInfo* p, TObject* o) { return p->Access->GetFloat(o); },
      [](const TPropInfo* p, TObject* o, Extended v) { p->Access->SetFloat(o, v); });
}
void TfrxPropertyEditor::WriteText(const String& Value) {
  WriteAll(
      FInstances, FPropInfos, Value, [](const TPropInfo* p, TObject* o) { return p->Access->GetStr(o); },
      [](const TPropInfo* p, TObject* o, const String& v) { p->Access->SetStr(o, v); });
}
void TfrxPropertyEditor::WriteObject(TObject* Value) {
  WriteAll(
      FInstances, FPropInfos, Value, [](const TPropInfo* p, TObject* o) { return p->Access->GetObj(o); },
      [](const TPropInfo* p, TObject* o, TObject* v) { p->Access->SetObj(o, v); });
}

void TfrxPropertyEditor::AddValue(const String& Value) { Values()->Add(Value); }

std::unique_ptr<TfrxPropertyEditor> CreatePropertyEditor(TClass EditorClass, TfrxCustomDesigner* Designer) {
  assert(EditorClass && EditorClass->InheritsFrom(TfrxPropertyEditor::StaticClass()));
  std::unique_ptr<TfrxPropertyEditor> e(static_cast<TfrxPropertyEditor*>(EditorClass->Create()));
  e->SetDesigner(Designer);
  return e;
}
