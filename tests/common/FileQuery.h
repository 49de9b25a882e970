#pragma once
// A query over its own connection to a database file, both owned by Owner, as a test's data
// module holds them; the statement is set, not run.
#include "data/ADODB.h"

inline TADOQuery* FileQuery(TComponent* Owner, const String& File, const String& Sql) {
  auto* conn = new TADOConnection(Owner);
  conn->SetConnectionString("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + File + ";Persist Security Info=False");
  auto* query = new TADOQuery(Owner);
  query->SetConnection(conn);
  query->SQL()->SetText(Sql);
  return query;
}
