#pragma once
// Report data sets that are not bound to a dataset of the program: TfrxUserDataSet takes its
// values from the program's event, and stands in as the row counter of data bands; the base
// of database connection objects; and the list of every data set of the process.
#include "report/frxClass.h"

class TfrxUserDataSet : public TfrxDataSet {
  KELM_CLASS(TfrxUserDataSet, TfrxDataSet)
  template <class B> static void Published(B& b) {
    b.Prop("Fields", &TfrxUserDataSet::Fields, &TfrxUserDataSet::SetFields);
  }
public:
  explicit TfrxUserDataSet(TComponent* AOwner);
  ~TfrxUserDataSet() override;

  // The field names; setting copies.
  TStrings* Fields() const { return FFields.get(); }
  void SetFields(TStrings* Value);
  // Asked for every value; a value it leaves is Null.
  TfrxGetValueEvent OnGetValue;

  void GetFieldList(TStrings* List) override;
  int FieldsCount() override;
  Variant GetValue(const String& Field) override;
  WideString DisplayText(const String& Field) override;

private:
  std::unique_ptr<TStringList> FFields;
};

// The base of database connections of dialog pages; nothing in this program derives from it.
class TfrxCustomDatabase : public TfrxDialogComponent {
  KELM_CLASS(TfrxCustomDatabase, TfrxDialogComponent)
public:
  explicit TfrxCustomDatabase(TComponent* AOwner) : TfrxDialogComponent(AOwner) {}
  virtual void SetConnected(bool) {}
  virtual void SetDatabaseName(const String&) {}
  virtual void SetLoginPrompt(bool) {}
  virtual void SetParams(TStrings*) {}
  virtual bool Connected() const { return false; }
  virtual String DatabaseName() const { return String(); }
  virtual bool LoginPrompt() const { return false; }
  virtual TStrings* Params() const { return nullptr; }
  virtual void SetLogin(const String&, const String&) {}
};

// (user name, data set) of every enabled data set of the process with a user name.
void ListGlobalDataSets(TStrings* List);
