// kelm-formgen: writes each window's component header from its layout.
//
//   kelm-formgen --out <folder> --headers <list> [--include-root <folder>]... <layout>...
//
// <list> names the headers that declare component classes, one path a line; a header's
// include name is its path below the first include root that holds it. For each layout the
// header "forms/<Class>.h" is written under <folder>, and only when its text changed, so an
// unchanged window is not compiled again. Exit codes: 0 written, 1 a layout or header is
// wrong (the message names the file and the line), 2 wrong arguments.
#include "core/FileUtils.h"
#include "core/StrUtils.h"
#include "tools/FormGen.h"

#include <cstdio>
#include <vector>

namespace {

struct TArgs {
  String Out, HeaderList;
  std::vector<String> Roots, Layouts;
};

bool ParseArgs(int argc, char** argv, TArgs& A) {
  for (int i = 1; i < argc; ++i) {
    String a = argv[i];
    bool hasValue = i + 1 < argc;
    if (a == "--out" && hasValue) A.Out = argv[++i];
    else if (a == "--headers" && hasValue) A.HeaderList = argv[++i];
    else if (a == "--include-root" && hasValue) A.Roots.push_back(IncludeTrailingPathDelimiter(argv[++i]));
    else if (StartsStr("--", a)) return false;
    else A.Layouts.push_back(a);
  }
  return !A.Out.empty() && !A.HeaderList.empty() && !A.Layouts.empty();
}

String ReadText(const String& FileName) {
  String text;
  if (!FileExists(FileName) || !ReadFileToString(FileName, text))
    throw EFormGenError("Cannot read '" + FileName + "'");
  return text;
}

String IncludeName(const String& Path, const std::vector<String>& Roots) {
  for (const String& root : Roots)
    if (StartsStr(root, Path)) return Path.substr(root.size());
  throw EFormGenError("'" + Path + "' lies under no include root");
}

TClassHeaders ScanHeaders(const TArgs& A) {
  TClassHeaders headers;
  for (const String& path : SplitTrimmed(ReadText(A.HeaderList), '\n'))
    if (!path.empty()) ScanClassHeader(ReadText(path), IncludeName(path, A.Roots), headers);
  return headers;
}

// Writes only a changed text, so the build sees an unchanged header as up to date.
void WriteIfChanged(const String& FileName, const String& Text) {
  String old;
  if (FileExists(FileName) && ReadFileToString(FileName, old) && old == Text) return;
  ForceDirectories(ExtractFileDir(FileName));
  WriteFileAtomic(FileName, Text);
}

}  // namespace

int main(int argc, char** argv) {
  TArgs args;
  if (!ParseArgs(argc, argv, args)) {
    std::fputs("usage: kelm-formgen --out <folder> --headers <list> [--include-root <folder>]... <layout>...\n",
               stderr);
    return 2;
  }
  try {
    TClassHeaders headers = ScanHeaders(args);
    for (const String& path : args.Layouts) {
      TFormLayout layout = ReadFormLayout(ReadText(path), path);
      WriteIfChanged(IncludeTrailingPathDelimiter(args.Out) + FormHeaderName(layout),
                     GenerateFormHeader(layout, headers));
    }
  } catch (const Exception& e) {
    std::fprintf(stderr, "kelm-formgen: %s\n", e.Message().c_str());
    return 1;
  }
  return 0;
}
