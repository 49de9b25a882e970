#include "app/DetailRows.h"

#include "data/DB.h"

void StampDetailCode(TDataSet* Query, const char* Field, const String& Code) {
  TControlsHold hold(Query);
  for (Query->First(); !Query->Eof(); Query->Next()) {
    TField* field = Query->FieldByName(Field);
    if (field->AsString() == Code && !field->IsNull()) continue;
    Query->Edit();
    field->SetAsString(Code);
    Query->Post();
  }
}

void CancelEditing(TDataSet* Data) {
  if (Data->Active() && (Data->State() == dsEdit || Data->State() == dsInsert)) Data->Cancel();
}
