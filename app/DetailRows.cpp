#include "app/DetailRows.h"

#include "data/DB.h"

namespace {

// The dataset's controls stay still while a walk moves it.
class TWalk {
public:
  explicit TWalk(TDataSet* Data) : FData(Data) { FData->DisableControls(); }
  ~TWalk() { FData->EnableControls(); }
  TWalk(const TWalk&) = delete;
  TWalk& operator=(const TWalk&) = delete;

private:
  TDataSet* FData;
};

}  // namespace

void StampDetailCode(TDataSet* Query, const char* Field, const String& Code) {
  TWalk walk(Query);
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
