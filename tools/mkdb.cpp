// kelm-mkdb: makes a database file from an SQL script in the program's dialect.
//
//   kelm-mkdb <output.mdb> [script]
//
// Without a script it makes the program's default database from the script embedded in
// the program. An existing output file is never replaced. Exit codes: 0 made, 1 failed
// (nothing left behind), 2 wrong arguments.
#include "core/FileUtils.h"
#include "tools/MakeDatabase.h"
#include "core/Resources.h"

#include <cstdio>

namespace {

void Usage(std::FILE* to) {
  std::fputs("usage: kelm-mkdb <output.mdb> [script]\n"
             "Makes a database file from an SQL script (default: the program's own schema).\n"
             "An existing file is never overwritten.\n",
             to);
}

String ReadScript(const String& fileName) {
  String text;
  if (!FileExists(fileName) || !ReadFileToString(fileName, text))
    throw EMakeDatabaseError("Cannot read the script '" + fileName + "'");
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && (String(argv[1]) == "-h" || String(argv[1]) == "--help")) {
    Usage(stdout);
    return 0;
  }
  if (argc < 2 || argc > 3 || String(argv[1]).empty()) {
    Usage(stderr);
    return 2;
  }
  String output = argv[1];
  try {
    String script = argc == 3 ? ReadScript(argv[2]) : LoadResourceString(DefaultSchemaResource);
    MakeDatabaseFile(output, script);
  } catch (const Exception& e) {
    std::fprintf(stderr, "kelm-mkdb: %s\n", e.Message().c_str());
    return 1;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "kelm-mkdb: %s\n", e.what());
    return 1;
  }
  std::printf("kelm-mkdb: made %s\n", output.c_str());
  return 0;
}
