#pragma once
// Private to platform/data: the functions translated statements call, registered with SQLite.
#include <sqlite3.h>

// Registers cdate, len, jet_isnull, like and the other functions translated statements call.
void RegisterJetFunctions(sqlite3* db);
