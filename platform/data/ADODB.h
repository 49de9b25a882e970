#pragma once
// The database connection and queries the program talks to: TADOConnection opens the SQLite
// file its connection string names, TADOQuery runs the program's SQL (Jet dialect, translated)
// and holds the result on the client, writing edits back to the table they came from.
//
// The connection is declared in ADOConnection.h, the query and its parameters in ADOQuery.h.
#include "data/ADOConnection.h"
#include "data/ADOQuery.h"
