#pragma once
// Converts a file with the office suite (headless, a profile of its own in the folder) and
// answers the converted file's content; the suite missing fails the test.
#include "TempFolder.h"
#include "core/FileUtils.h"

#include <gtest/gtest.h>

#include <cstdlib>

// File converted into Dir/out with the filter (e.g. "csv:Text - txt - csv (StarCalc):44,34,76").
inline String ConvertWithOffice(const TempFolder& Dir, const String& File, const String& Filter, const String& OutExt) {
  if (std::system("command -v soffice >/dev/null 2>&1") != 0) {
    ADD_FAILURE() << "soffice is missing: install libreoffice-calc-nogui and libreoffice-writer-nogui";
    return "";
  }
  String cmd = "timeout 300 soffice -env:UserInstallation=file://" + Dir.Path() + "profile --headless --norestore" +
               " --convert-to '" + Filter + "' --outdir '" + Dir.Path() + "out' '" + File + "' >/dev/null 2>&1";
  EXPECT_EQ(std::system(cmd.c_str()), 0) << cmd;
  String name = ChangeFileExt(ExtractFileName(File), OutExt);
  return Dir.Read("out/" + name);
}
