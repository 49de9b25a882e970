// The objects that feed the drop-downs: the recently-used list, the special row, the relaying
// data link, the distinct-value list of a field, and the routines that resolve field names.
#include "grid/ToolCtrlsEh.h"

#include "core/ClassBuilder.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"
#include "core/Scope.h"

#include <algorithm>
#include <cassert>
#include <unordered_set>

// ================================================================ TMRUListEh

KELM_PUBLISH(TMRUListEh) { Published(b); }

TMRUListEh::TMRUListEh(TPersistent* AOwner) : FOwner(AOwner), FItems(std::make_unique<TStringList>()) {}

TMRUListEh::~TMRUListEh() = default;

void TMRUListEh::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TMRUListEh*>(Source);
  if (!src) {
    TPersistent::Assign(Source);
    return;
  }
  SetActive(src->FActive);
  FItems->Assign(src->FItems.get());
  SetLimit(src->FLimit);
  FRows = src->FRows;
  FCaseSensitive = src->FCaseSensitive;
}

void TMRUListEh::SetActive(bool Value) {
  if (FActive == Value) return;
  FActive = Value;
  OnActiveSwitch(this);
}

void TMRUListEh::SetLimit(int Value) {
  FLimit = std::max(0, Value);
  TrimToLimit();
}

bool TMRUListEh::SameText(const String& A, const String& B) const {
  return FCaseSensitive ? A == B : AnsiSameText(A, B);
}

void TMRUListEh::Remember(const String& S) {
  if (Trim(S).empty()) return;
  for (int i = 0; i < FItems->Count(); ++i)
    if (SameText(FItems->Strings(i), S)) {
      FItems->Move(i, FItems->Count() - 1);
      return;
    }
  FItems->Add(S);
  TrimToLimit();
}

void TMRUListEh::TrimToLimit() {
  while (FItems->Count() > FLimit) FItems->Delete(0);
}

bool TMRUListEh::CollectMatches(TStrings* Target, const String& Prefix) {
  assert(Target);
  int prefixLength = Length(Prefix);
  TObject* sender = FOwner ? static_cast<TObject*>(FOwner) : this;
  bool complete = true;
  Target->BeginUpdate();
  TryFinally(
      [&] {
        Target->Clear();
        for (int i = 0; i < FItems->Count(); ++i) {
          const String& item = FItems->Strings(i);
          bool accept = SameText(Copy(item, 1, prefixLength), Prefix);
          OnAcceptItem(sender, item, accept);
          if (accept) Target->Add(item);
          // Typing goes on while a long list is matched: a waiting keystroke makes this match stale.
          TMsg msg;
          if (i % 100 == 0 && FStopOnKeyInQueue && PeekMessage(msg, 0, WM_KEYDOWN, WM_KEYDOWN, PM_NOREMOVE)) {
            complete = false;
            break;
          }
        }
      },
      [&] { Target->EndUpdate(); });
  return complete;
}

void TMRUListEh::RequestCloseUp(bool Accept) { OnCloseUpRequest(this, Accept); }

void TMRUListEh::RequestDropDown() { OnDropDownRequest(this); }

// ================================================================ TSpecRowEh

KELM_PUBLISH(TSpecRowEh) { Published(b); }

std::vector<String> ParseSpecRowCellsEh(const String& Text) {
  std::vector<String> cells;
  std::size_t i = 0, n = Text.size();
  auto code = [&](std::size_t k) { return static_cast<unsigned char>(Text[k]); };
  auto skipControls = [&] {
    while (i < n && code(i) >= 1 && code(i) <= 31) ++i;
  };
  skipControls();
  while (i < n) {
    String item;
    if (Text[i] == '"') {
      for (++i; i < n; ++i) {
        if (Text[i] != '"') {
          item += Text[i];
        } else if (i + 1 < n && Text[i + 1] == '"') {
          item += '"';
          ++i;
        } else {
          ++i;
          break;
        }
      }
    } else {
      while (i < n && code(i) >= 32 && Text[i] != ';') item += Text[i++];
    }
    cells.push_back(item);
    skipControls();
    if (i < n && Text[i] == ';') {
      ++i;
      skipControls();
    } else if (i < n && code(i) == 0) {
      break;
    }
  }
  return cells;
}

TSpecRowEh::TSpecRowEh(TPersistent* AOwner)
    : FOwner(AOwner), FCells(std::make_unique<TStringList>()), FFont(std::make_unique<TFont>()) {
  FFont->SetOnChange(TNotifyEvent(this, &TSpecRowEh::FontChanged));
}

TSpecRowEh::~TSpecRowEh() = default;

void TSpecRowEh::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TSpecRowEh*>(Source);
  if (!src) {
    TPersistent::Assign(Source);
    return;
  }
  HoldChanges();
  TryFinally(
      [&] {
        SetCellsText(src->FCellsText);
        SetColor(src->Color());
        if (src->FFontSet) SetFont(src->FFont.get());
        FShortCut = src->FShortCut;
        SetShowIfNotInKeyList(src->FShowIfNotInKeyList);
        SetValue(src->FValue);
        SetVisible(src->FVisible);
      },
      [&] { ReleaseChanges(); });
}

void TSpecRowEh::SetCellsText(const String& Value) {
  if (FCellsText == Value) return;
  FCellsText = Value;
  FCells->Clear();
  for (const String& c : ParseSpecRowCellsEh(Value)) FCells->Add(c);
  Changed();
}

String TSpecRowEh::CellText(int Index) const {
  return Index >= 0 && Index < FCells->Count() ? FCells->Strings(Index) : String();
}

TColor TSpecRowEh::Color() const {
  if (!FColorSet)
    if (auto* c = dynamic_cast<TCustomControl*>(FOwner)) return c->Color();
  return FColor;
}

void TSpecRowEh::SetColor(TColor Value) {
  FColor = Value;
  FColorSet = true;
  Changed();
}

TFont* TSpecRowEh::Font() const {
  if (!FFontSet)
    if (auto* c = dynamic_cast<TControl*>(FOwner)) {
      // Follows the owner's font until one is given.
      auto* self = const_cast<TSpecRowEh*>(this);
      self->FFontSyncing = true;
      self->FFont->Assign(c->Font());
      self->FFontSyncing = false;
    }
  return FFont.get();
}

void TSpecRowEh::FontChanged(TObject*) {
  if (FFontSyncing) return;
  FFontSet = true;
  Changed();
}

void TSpecRowEh::SetShowIfNotInKeyList(bool Value) {
  FShowIfNotInKeyList = Value;
  Changed();
}

void TSpecRowEh::SetValue(const Variant& Value) {
  if (ToolCtrlsEh::VariantsEqual(FValue, Value)) return;
  FValue = Value;
  Changed();
}

void TSpecRowEh::SetVisible(bool Value) {
  FVisible = Value;
  Changed();
}

void TSpecRowEh::ReleaseChanges() {
  if (FHold > 0) --FHold;
  Changed();
}

void TSpecRowEh::Changed() {
  if (FHold == 0) OnSpecRowChanged(this);
}

// ================================================================ TDataLinkEh

void TDataLinkEh::DataEvent(TDataEvent Event, NativeInt Info) {
  TDataLink::DataEvent(Event, Info);
  OnDataEventRelay(Event, Info);
}

// ================================================================ TDatasetFieldValueListEh

TDatasetFieldValueListEh::TDatasetFieldValueListEh()
    : FValues(std::make_unique<TStringList>()),
      FDataSource(std::make_unique<TDataSource>(nullptr)),
      FDataLink(std::make_unique<TDataLinkEh>()) {
  FValues->SetSorted(true);
  FValues->SetDuplicates(dupIgnore);
  FDataLink->SetDataSource(FDataSource.get());
  FDataLink->OnDataEventRelay = TDataEventRelayEh(this, &TDatasetFieldValueListEh::DataSetEvent);
}

TDatasetFieldValueListEh::~TDatasetFieldValueListEh() {
  // The link leaves the dataset before its source goes.
  FDataLink->SetDataSource(nullptr);
}

void TDatasetFieldValueListEh::SetSourceDataSet(TDataSet* Value) {
  if (FDataLink->DataSet() == Value) return;
  FStale = true;
  FDataSource->SetDataSet(Value);
}

void TDatasetFieldValueListEh::SetSourceField(const String& Value) {
  if (FSourceField == Value) return;
  FStale = true;
  FSourceField = Value;
}

TStrings* TDatasetFieldValueListEh::ValueList() {
  if (FStale) Reload();
  return FValues.get();
}


void TDatasetFieldValueListEh::Reload() {
  FValues->Clear();
  TDataSet* ds = SourceDataSet();
  if (!ds || !ds->Active()) return;
  TField* f = ds->FindField(FSourceField);
  if (!f) return;
  // Exact repeats are dropped by hashing first, so the sorted list (which compares without
  // regard to case) sees each text once, in the order the walk met them.
  std::vector<String> order;
  {
    TWalkScope scope(ds);
    std::unordered_set<String> seen;
    for (ds->First(); !ds->Eof(); ds->Next()) {
      String v = f->AsString();
      if (seen.insert(v).second) order.push_back(std::move(v));
    }
  }
  FValues->BeginUpdate();
  for (const String& v : order) FValues->Add(v);
  FValues->EndUpdate();
  FStale = false;
}

void TDatasetFieldValueListEh::DataSetEvent(TDataEvent Event, NativeInt) {
  if (Event == deDataSetChange || Event == dePropertyChange || Event == deFieldListChange) FStale = true;
}

// ================================================================ field-name lists

void CollectFieldsByNames(std::vector<TField*>* List, TDataSet* DataSet, const TComponent* Component,
                          const String& Names) {
  assert(DataSet);
  std::size_t pos = 0;
  while (pos <= Names.size()) {
    std::size_t end = Names.find(';', pos);
    if (end == String::npos) end = Names.size();
    String name = Trim(std::string_view(Names).substr(pos, end - pos));
    pos = end + 1;
    if (name.empty()) continue;
    TField* f = DataSet->FindField(name);
    if (!f) DatabaseErrorFmt(SFieldNotFound, {name}, Component);
    if (List) List->push_back(f);
  }
}

void FieldsByNamesArray(TDataSet* DataSet, const TComponent* Component, const String& Names,
                        std::vector<TField*>& Fields) {
  Fields.clear();
  CollectFieldsByNames(&Fields, DataSet, Component, Names);
}

void AssignFieldValues(TDataSet* DataSet, const String& Names, const Variant& Value) {
  std::vector<TField*> fields;
  FieldsByNamesArray(DataSet, DataSet, Names, fields);
  std::vector<Variant> old;
  old.reserve(fields.size());
  for (TField* f : fields) old.push_back(f->Value());
  std::size_t written = 0;
  try {
    bool null = VarIsNull(Value) || VarIsEmpty(Value);
    int low = !null && fields.size() > 1 ? VarArrayLowBound(Value, 1) : 0;
    for (; written < fields.size(); ++written) {
      TField* f = fields[written];
      if (null) f->Clear();
      else if (fields.size() == 1) f->SetAsVariant(Value);
      else f->SetAsVariant(Value.GetElement({low + static_cast<int>(written)}));
    }
  } catch (...) {
    // No half-written key: the fields written so far get their values back.
    for (std::size_t i = written; i-- > 0;) {
      try {
        fields[i]->SetAsVariant(old[i]);
      } catch (...) {
      }
    }
    throw;
  }
}
