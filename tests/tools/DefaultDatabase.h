#pragma once
// A private copy of the default database for one test, opened the way the program opens it,
// with helpers that run the program's statements and read their results.
#include "data/ADODB.h"
#include "core/FileUtils.h"
#include "tools/MakeDatabase.h"
#include "core/Resources.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

// The database made once from the embedded script; every test copies it, so tests never see
// each other's rows and the script runs once per test program.
inline const String& PristineDefaultDatabase() {
  static TempFolder folder;
  static String file = [] {
    String f = folder / "pristine.mdb";
    MakeDatabaseFile(f, LoadResourceString(DefaultSchemaResource));
    return f;
  }();
  return file;
}

class TDefaultDatabase {
public:
  TDefaultDatabase() {
    FFile = FFolder / "kelm.mdb";
    if (!CopyFile(PristineDefaultDatabase(), FFile, true)) throw std::runtime_error("cannot copy the database");
    FConnection = std::make_unique<TADOConnection>(nullptr);
    FConnection->SetLoginPrompt(false);
    FConnection->SetConnectionString("User ID=admin;Data Source=" + FFile + ";Persist Security Info=False");
    FConnection->Open();
    FQuery = std::make_unique<TADOQuery>(nullptr);
    FQuery->SetConnection(FConnection.get());
  }
  ~TDefaultDatabase() {
    FQuery.reset();
    FConnection.reset();
  }

  TADOConnection& Connection() { return *FConnection; }
  const String& File() const { return FFile; }

  // Closes the shared query, gives it the statement and opens it, as the program's
  // open-query helper does.
  TADOQuery& Open(const String& sql) {
    FQuery->Close();
    FQuery->SQL()->SetText(sql);
    FQuery->Open();
    return *FQuery;
  }
  // A query of its own, for results a test keeps while it runs other statements.
  std::unique_ptr<TADOQuery> OpenNew(const String& sql) {
    auto q = std::make_unique<TADOQuery>(nullptr);
    q->SetConnection(FConnection.get());
    q->SQL()->SetText(sql);
    q->Open();
    return q;
  }
  int Exec(const String& sql) { return FConnection->Execute(sql); }
  void ExecAll(const std::vector<String>& statements) {
    for (const String& s : statements) Exec(s);
  }
  int Count(const String& sql) { return Open(sql).RecordCount(); }
  // One column of every row, as text, in the order returned.
  std::vector<String> Column(const String& sql, const String& field) {
    TADOQuery& q = Open(sql);
    std::vector<String> values;
    for (q.First(); !q.Eof(); q.Next()) values.push_back(q.FieldByName(field)->AsString());
    return values;
  }
  // The first column of the first row, as text ('' when there is no row).
  String Scalar(const String& sql) {
    TADOQuery& q = Open(sql);
    return q.IsEmpty() ? String() : q.Fields()->Fields(0)->AsString();
  }

private:
  TempFolder FFolder;
  String FFile;
  std::unique_ptr<TADOConnection> FConnection;
  std::unique_ptr<TADOQuery> FQuery;
};
