#pragma once
// The connection, query and data source a benchmark's form shows a bench database through.
#include "data/ADODB.h"
#include "data/DB.h"

namespace bench {

struct TBenchQuery {
  TADOConnection* Connection;
  TADOQuery* Query;
  TDataSource* Source;
};

// All three owned by Owner; the query is left closed so a caller can set it up further.
inline TBenchQuery NewBenchQuery(TComponent* Owner, const String& ConnectionString, const String& Sql) {
  auto* conn = new TADOConnection(Owner);
  conn->SetConnectionString(ConnectionString);
  auto* query = new TADOQuery(Owner);
  query->SetConnection(conn);
  query->SQL()->SetText(Sql);
  auto* source = new TDataSource(Owner);
  source->SetDataSet(query);
  return {conn, query, source};
}

}  // namespace bench
