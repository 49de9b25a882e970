#include "report/frxDBSet.h"

#include "core/ClassBuilder.h"
#include "core/StringList.h"

KELM_PUBLISH(TfrxUserDataSet) { Published(b); }

TfrxUserDataSet::TfrxUserDataSet(TComponent* AOwner)
    : TfrxDataSet(AOwner), FFields(std::make_unique<TStringList>()) {}

TfrxUserDataSet::~TfrxUserDataSet() = default;

void TfrxUserDataSet::SetFields(TStrings* Value) { FFields->Assign(Value); }

void TfrxUserDataSet::GetFieldList(TStrings* List) { List->Assign(FFields.get()); }

int TfrxUserDataSet::FieldsCount() { return FFields->Count(); }

Variant TfrxUserDataSet::GetValue(const String& Field) {
  Variant v = Null();
  if (OnGetValue) OnGetValue(Field, v);
  return v;
}

WideString TfrxUserDataSet::DisplayText(const String& Field) { return Utf8ToUtf16(VarToStr(GetValue(Field))); }

KELM_PUBLISH(TfrxCustomDatabase) {}

void ListGlobalDataSets(TStrings* List) {
  List->Clear();
  for (TfrxDataSet* ds : TfrxDataSet::GlobalDataSets())
    if (ds->Enabled() && !ds->UserName().empty()) List->AddObject(ds->UserName(), ds);
}
