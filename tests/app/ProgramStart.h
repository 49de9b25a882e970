#pragma once
// The program's main window and data module made and shown over the current program folder,
// for test units that cannot include the data module's header: its report components'
// declarations clash with those of the print layer these units read pages through.
#include "core/System.h"

class TADOConnection;

// Makes the main window and the data module as the program body does, with Admin as the
// operator, and shows the main window. False when the database did not open.
bool StartProgramWindows();
// Runs a statement on the program's connection; the rows it changed.
int RunProgramSql(const String& Sql);
// The program's connection to its database.
TADOConnection* ProgramConnection();
