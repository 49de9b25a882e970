#pragma once
// A program folder of its own for one test: the program "runs" from it (ParamStr(0) points
// into it), with a copy of the default database, Config.ini and Reports/ as a test asks.
// Message boxes are answered by a recorder while it lives.
#include "DefaultDatabase.h"
#include "core/FileUtils.h"
#include "gui/Application.h"
#include "gui/MessageBox.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <vector>

struct TShownMessage {
  String Text;
  String Caption;
  int Flags;
};

class TProgramFolder {
public:
  struct Options {
    bool Database = true;
    bool Reports = true;
  };

  TProgramFolder() : TProgramFolder(Options{}) {}
  explicit TProgramFolder(Options o) {
    if (o.Database) {
      ForceDirectories(FFolder / "DataBase");
      if (!CopyFile(PristineDefaultDatabase(), FFolder / "DataBase/kelm.mdb", true))
        throw std::runtime_error("cannot copy the default database");
    }
    FFolder.Write("Config.ini", "[Config]\r\nDBName=kelm\r\n");
    if (o.Reports) ForceDirectories(FFolder / "Reports");
    SetProgramPath(FFolder / "kelm");
    SetMessageBoxHook([this](const String& text, const String& caption, int flags) {
      Messages.push_back({text, caption, flags});
      return IDOK;
    });
  }
  ~TProgramFolder() {
    SetMessageBoxHook(nullptr);
    SetProgramPath("");
  }

  const String& Path() const { return FFolder.Path(); }
  String operator/(const String& name) const { return FFolder / name; }
  void Write(const String& name, const String& content) const { FFolder.Write(name, content); }
  String Read(const String& name) const { return FFolder.Read(name); }
  bool Exists(const String& name) const { return FFolder.Exists(name); }

  std::vector<TShownMessage> Messages;

private:
  TempFolder FFolder;
};

// Gives the next test a fresh application object: a run that ended asked it to terminate,
// and the windows it made stay with it until it is freed. The quit message that request
// posted is taken from the queue first, so it cannot end the next application's loop.
inline void RenewApplication() {
  if (Application) Application->ProcessMessages();
  DoneApplication();
  static int argc = 1;
  static char name[] = "test_app";
  static char* argv[] = {name, nullptr};
  InitApplication(argc, argv);
}
