// kelm-mkreports: writes the program's list reports into a program folder.
//
//   kelm-mkreports <program folder>
//
// Writes Reports/frx_goods.fr3, frx_cust.fr3 and frx_project.fr3 from the definitions the
// data module carries, each only when absent. Exit codes: 0 done, 1 failed, 2 wrong arguments.
#include "app/StoredReports.h"
#include "core/Exceptions.h"
#include "gui/Application.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc != 2 || String(argv[1]).empty()) {
    std::fputs("usage: kelm-mkreports <program folder>\n"
               "Writes the list reports into <folder>/Reports where absent.\n",
               stderr);
    return 2;
  }
  // No window is shown: the build may run without a display.
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  String folder = argv[1];
  if (folder.back() != '/' && folder.back() != '\\') folder += '/';
  InitApplication(argc, argv);
  int rc = 0;
  try {
    for (const String& name : WriteStoredReports(folder)) std::printf("kelm-mkreports: wrote Reports/%s\n", name.c_str());
  } catch (const Exception& e) {
    std::fprintf(stderr, "kelm-mkreports: %s\n", e.Message().c_str());
    rc = 1;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "kelm-mkreports: %s\n", e.what());
    rc = 1;
  }
  DoneApplication();
  return rc;
}
