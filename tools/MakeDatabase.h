#pragma once
// Making a database file from an SQL script in the program's dialect: the default database
// the program is delivered with, and any other the build or a test asks for.
#include "core/Exceptions.h"
#include "core/System.h"

#include <string_view>

// Raised when the file cannot be made at all (it exists, its folder cannot be made, the
// finished file cannot be put in place); a failing statement raises the data layer's error.
KELM_EXCEPTION(EMakeDatabaseError, Exception);

// The embedded script of the default database.
extern const char* const DefaultSchemaResource;  // "db/schema.sql"

// Makes `fileName` from `script` (comments allowed). An existing file, whatever the case
// of its name, is never touched: the call fails instead. The database is built under a
// temporary name beside the target and moved into place only when every statement ran, so
// a failure leaves neither the target nor the temporary file behind. Missing folders on
// the way to the file are made.
void MakeDatabaseFile(const String& fileName, const String& script);
