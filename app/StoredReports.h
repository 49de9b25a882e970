#pragma once
// The list reports the program ships with. The data module's layout carries the definitions
// of the goods, customer and project lists; the program itself reads them only from
// Reports\ beside it (a user may edit or remove them there). Laying out a program folder
// writes each definition there through the report serializer, once: an existing file, in any
// spelling of its name, is the user's and stays as it is.
// Declares WriteStoredReports.
#include "core/System.h"

#include <vector>

// Writes Reports\frx_goods.fr3, frx_cust.fr3 and frx_project.fr3 under ProgramFolder (with
// its trailing separator) where absent, making the folder when needed; returns the names
// written. Errors (a folder that cannot be written) reach the caller.
std::vector<String> WriteStoredReports(const String& ProgramFolder);
