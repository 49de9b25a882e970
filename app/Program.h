#pragma once
// The program body: the windows made at start, in their order, and whether the loop runs.
#include "core/System.h"

// The application's title until the main window reads the program name from the database.
extern const char* const ApplicationTitle;  // "沃岚工程合同管理软件"

// Runs the program on the application already initialised: sets the title, creates the main
// window and then the data module, and runs the message loop only when the database opened
// and the login succeeded. Returns the process's exit code: 0 after the loop or a declined
// login, 1 when the database could not be opened. The windows made stay with the
// application until it is freed.
int RunProgram();
