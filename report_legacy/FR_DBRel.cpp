#include "report_legacy/FR_DBRel.h"

#include "report_legacy/FR_Class.h"
#include "report_legacy/FR_Utils.h"

#include "core/Component.h"
#include "core/StrUtils.h"
#include "core/StringList.h"
#include "core/Streams.h"
#include "core/SysUtils.h"
#include "data/Fields.h"
#include "gui/DataModule.h"
#include "gui/Forms.h"
#include "gui/Pictures.h"
#include "gui/Screen.h"

bool IsBlobFieldType(TField* Field) {
  if (!Field) return false;
  switch (Field->DataType()) {
    case ftBlob: case ftMemo: case ftGraphic: case ftFmtMemo: case ftParadoxOle: case ftDBaseOle:
    case ftTypedBinary: case ftOraBlob:
      return true;
    default:
      return false;
  }
}

void AssignBlobField(TField* Field, TObject* Target) {
  if (!Field || !Target) return;
  if (auto* stream = dynamic_cast<TStream*>(Target)) {
    if (auto* blob = dynamic_cast<TBlobField*>(Field)) {
      blob->SaveToStream(stream);
    } else {
      String s = Field->AsString();
      stream->WriteBuffer(s.data(), static_cast<Int64>(s.size()));
    }
    stream->SetPosition(0);
    return;
  }
  if (auto* list = dynamic_cast<TStrings*>(Target)) {
    list->SetText(Field->AsString());
    return;
  }
  if (auto* picture = dynamic_cast<TPicture*>(Target)) {
    TMemoryStream bytes;
    AssignBlobField(Field, &bytes);
    if (bytes.Size() > 0) picture->LoadFromStream(&bytes);
    else picture->SetGraphic(nullptr);
  }
}

void CollectFieldNames(TComponent* Component, TStrings* List) {
  List->Clear();
  try {
    if (auto* ds = dynamic_cast<TDataSet*>(Component)) ds->GetFieldNames(List);
  } catch (const Exception&) {
    List->Clear();
  }
}

TDataSet::TBookmark DataSetMark(TDataSet* DataSet) { return DataSet->GetBookmark(); }
void DataSetGotoMark(TDataSet* DataSet, const TDataSet::TBookmark& Mark) { DataSet->GotoBookmark(Mark); }
void DataSetFreeMark(TDataSet* DataSet, TDataSet::TBookmark& Mark) { DataSet->FreeBookmark(Mark); }
bool DataSetMarksEqual(TDataSet* DataSet, const TDataSet::TBookmark& A, const TDataSet::TBookmark& B) {
  return DataSet->CompareBookmarks(A, B) == 0;
}

// ================================================================ look-ups

namespace {

TComponent* ReportOwner() {
  TfrReport* r = frState().CurrentReport;
  return r ? r->Owner() : nullptr;
}

// A form or data module of the program by name.
TComponent* GlobalContainer(const String& Name) {
  if (!Screen) return nullptr;
  for (int i = 0; i < Screen->CustomFormCount(); ++i)
    if (SameText(Screen->CustomForms(i)->Name(), Name)) return Screen->CustomForms(i);
  for (int i = 0; i < Screen->DataModuleCount(); ++i)
    if (SameText(Screen->DataModules(i)->Name(), Name)) return Screen->DataModules(i);
  return nullptr;
}

TComponent* ChildNamed(TComponent* Owner, const String& Name) {
  return Owner ? Owner->FindComponent(Name) : nullptr;
}

}  // namespace

TfrDataset* FindDataset(const String& Name, bool& Created) {
  Created = false;
  TfrDataset* ds = nullptr;
  if (!Name.empty() && Name[0] >= '1' && Name[0] <= '9') {
    auto* made = new TzeVodaDataset(nullptr);
    made->SetRangeEnd(TRangeEnd::reCount);
    try {
      made->SetRangeEndCount(StrToInt(Name));
    } catch (...) {
      delete made;
      throw;
    }
    ds = made;
    Created = true;
  } else {
    TComponent* c = FindComponentByName(ReportOwner(), Name);
    if (!c) return nullptr;
    ds = dynamic_cast<TfrDataset*>(c);
    if (!ds) throw EInvalidCast("Invalid class typecast");
  }
  ds->BeginRun();
  return ds;
}

TComponent* FindComponentByName(TComponent* Owner, const String& Name) {
  try {
    std::vector<String> parts = SplitList(Name, '.');
    if (parts.size() == 1) return ChildNamed(Owner, Name);
    if (parts.size() == 2) return ChildNamed(GlobalContainer(parts[0]), parts[1]);
    if (parts.size() == 3) return ChildNamed(ChildNamed(GlobalContainer(parts[0]), parts[1]), parts[2]);
    return nullptr;
  } catch (const Exception&) {
    throw EClassNotFound("Missing " + Name);
  }
}

namespace {

void AddComponentsOf(TComponent* Container, const String& Prefix, TClass Class, TStrings* List,
                     TComponent* Excluded) {
  for (int i = 0; i < Container->ComponentCount(); ++i) {
    TComponent* c = Container->Components(i);
    if (c != Excluded && c->InheritsFrom(Class)) List->AddObject(Prefix + c->Name(), c);
    // The components of frames placed on the form, under the frame's parent and name.
    if (auto* frame = dynamic_cast<TCustomFrame*>(c)) {
      String parent = frame->Parent() ? frame->Parent()->Name() : String();
      AddComponentsOf(frame, parent + "." + frame->Name() + ".", Class, List, Excluded);
    }
  }
}

}  // namespace

void CollectComponents(TClass Class, TStrings* List, TComponent* Excluded) {
  List->Clear();
  if (!Screen) return;
  TComponent* own = ReportOwner();
  auto prefixOf = [&](TComponent* container) { return container == own ? String() : container->Name() + "."; };
  for (int i = 0; i < Screen->CustomFormCount(); ++i) {
    TCustomForm* f = Screen->CustomForms(i);
    AddComponentsOf(f, prefixOf(f), Class, List, Excluded);
    // Data modules owned by a form of the class TDataModuleForm.
    if (f->ClassName() == "TDataModuleForm")
      for (int k = 0; k < f->ComponentCount(); ++k)
        if (auto* dm = dynamic_cast<TDataModule*>(f->Components(k))) AddComponentsOf(dm, prefixOf(dm), Class, List, Excluded);
  }
  for (int i = 0; i < Screen->DataModuleCount(); ++i) {
    TDataModule* dm = Screen->DataModules(i);
    AddComponentsOf(dm, prefixOf(dm), Class, List, Excluded);
  }
}

String ValidFieldName(TComponent* Component, const String& Name) {
  if (!Component) return String();
  TStringList names;
  CollectFieldNames(Component, &names);
  for (int i = 0; i < names.Count(); ++i)
    if (SameText(names[i], Name)) return Name;
  return String();
}

String UnquoteName(const String& Text) {
  if (Text.size() > 2 && Text.front() == '"' && Text.back() == '"') return Text.substr(1, Text.size() - 2);
  return Text;
}

void ParseFieldReference(const String& Text, TComponent*& Component, String& FieldName) {
  FieldName.clear();
  // Parts cut at full stops up to the first double quote; from there the rest is one part.
  std::vector<String> parts;
  std::size_t quote = Text.find('"');
  String head = quote == String::npos ? Text : Text.substr(0, quote);
  std::size_t p = 0;
  for (std::size_t dot; (dot = head.find('.', p)) != String::npos; p = dot + 1) parts.push_back(head.substr(p, dot - p));
  String last = head.substr(p) + (quote == String::npos ? String() : Text.substr(quote, 255));
  parts.push_back(last);
  auto fail = [&] {
    Component = nullptr;
    FieldName.clear();
  };
  switch (parts.size()) {
    case 1:
      if (Component) FieldName = ValidFieldName(Component, UnquoteName(Text));
      return;
    case 2:
      Component = FindComponentByName(ReportOwner(), parts[0]);
      break;
    case 3:
      Component = ChildNamed(GlobalContainer(parts[0]), parts[1]);
      break;
    case 4:
      Component = ChildNamed(ChildNamed(GlobalContainer(parts[0]), parts[1]), parts[2]);
      break;
    default:
      return fail();
  }
  if (!Component) return fail();
  FieldName = ValidFieldName(Component, UnquoteName(parts.back()));
}

Variant FieldValueAsVariant(TField* Field) {
  TDataSet* ds = Field->DataSet();
  if (ds && !ds->Active()) ds->Open();
  if (Field->OnGetText() || Field->DataType() == ftLargeint) return Variant(Field->DisplayText());
  Variant v = Field->AsVariant();
  if (!VarIsNull(v) && !VarIsEmpty(v)) return v;
  switch (Field->DataType()) {
    case ftString: case ftWideString: return Variant(String());
    case ftBoolean: return Variant(false);
    default: return Variant(0);
  }
}

TDataSet* CurrentBandDataSet() {
  TfrReport* r = frState().CurrentReport;
  if (!r) return nullptr;
  // Until bands run, the data set of a band is the report's own.
  auto* db = dynamic_cast<TfrDBDataSet*>(r->Dataset());
  return db ? db->SourceDataSet() : nullptr;
}

bool IsFieldNull(const String& Reference) {
  TfrReport* r = frState().CurrentReport;
  TComponent* component = r && r->UseDefaultDataSetName() ? CurrentBandDataSet() : nullptr;
  String field;
  ParseFieldReference(Reference, component, field);
  auto* ds = dynamic_cast<TDataSet*>(component);
  if (!ds) return true;
  return ds->FieldByName(field)->IsNull();
}
