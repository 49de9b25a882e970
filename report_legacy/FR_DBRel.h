#pragma once
// How the older engine reaches data: thin wrappers over the platform's datasets, and the
// look-ups of data sets, components and fields by name across the program's forms and data
// modules.
#include "core/System.h"
#include "core/Variant.h"
#include "data/DB.h"

class TComponent;
class TStrings;
class TPersistent;
class TfrDataset;

bool IsBlobFieldType(TField* Field);
// A string list takes the field's text, a picture its graphic; a stream receives the bytes and
// is rewound.
void AssignBlobField(TField* Field, TObject* Target);
// The data set's field names; any failure leaves the list empty.
void CollectFieldNames(TComponent* Component, TStrings* List);
TDataSet::TBookmark DataSetMark(TDataSet* DataSet);
void DataSetGotoMark(TDataSet* DataSet, const TDataSet::TBookmark& Mark);
void DataSetFreeMark(TDataSet* DataSet, TDataSet::TBookmark& Mark);
bool DataSetMarksEqual(TDataSet* DataSet, const TDataSet::TBookmark& A, const TDataSet::TBookmark& B);

// A digit-led name makes a TzeVodaDataset of that many records (Created tells the caller to
// free it); any other name is a TfrDataset of the running report's owner. Either gets
// BeginRun. EInvalidCast when the component found is no data set.
TfrDataset* FindDataset(const String& Name, bool& Created);
// "name", "Form.name" or "Form.Module.name"; nullptr when a part is missing.
TComponent* FindComponentByName(TComponent* Owner, const String& Name);
// Every component of the class on the program's forms (and their frames) and data modules,
// under its qualified name, the component as the list's object; Excluded is left out.
void CollectComponents(TClass Class, TStrings* List, TComponent* Excluded);
String ValidFieldName(TComponent* Component, const String& Name);
String UnquoteName(const String& Text);
// DataSet."Field" and its qualified forms; the component and the field name found.
void ParseFieldReference(const String& Text, TComponent*& Component, String& FieldName);
Variant FieldValueAsVariant(TField* Field);
TDataSet* CurrentBandDataSet();
bool IsFieldNull(const String& Reference);
