// The contract management program.
#include "gui/Application.h"
#include "app/Program.h"

int main(int argc, char** argv) {
  InitApplication(argc, argv);
  int rc;
  try {
    rc = RunProgram();
  } catch (const Exception& e) {
    // A window that cannot be made (a damaged layout) ends the program with its reason shown.
    Application->ShowException(e);
    rc = 1;
  }
  DoneApplication();
  return rc;
}
