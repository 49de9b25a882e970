#pragma once
// The program as the application benchmarks run it: a program folder of its own in the
// temporary folder with the default database, filled by the benchmark before anything opens
// it, the data module and the main window (with the contract list) shown; and the timing of a
// list's search against its statement opened bare.
#include "BenchUtil.h"

#include "app/U_Data.h"
#include "app/U_Main.h"
#include "core/FileUtils.h"
#include "core/Resources.h"
#include "data/ADODB.h"
#include "gui/Application.h"
#include "gui/Controls.h"
#include "gui/StdCtrls.h"
#include "tools/MakeDatabase.h"

#include <unistd.h>

#include <filesystem>
#include <functional>

namespace bench {

class TBenchProgram {
public:
  // Fill writes the benchmark's rows into the new database file.
  TBenchProgram(const String& Name, const std::function<void(const String& DatabaseFile)>& Fill) {
    FFolder = (std::filesystem::temp_directory_path() / (Name + "-" + std::to_string(::getpid()))).string() + "/";
    std::filesystem::create_directories(FFolder);
    String file = FFolder + "DataBase/kelm.mdb";
    MakeDatabaseFile(file, LoadResourceString(DefaultSchemaResource));
    Fill(file);
    SetProgramPath(FFolder + "kelm");
  }
  ~TBenchProgram() {
    std::error_code ec;
    std::filesystem::remove_all(FFolder, ec);
  }
  TBenchProgram(const TBenchProgram&) = delete;
  TBenchProgram& operator=(const TBenchProgram&) = delete;

  // The data module and the main window, shown; Bare, a query of the benchmark's own.
  void Start() {
    Application->CreateForm<TFrm_Main>(&Frm_Main);
    Application->CreateForm<TFrm_Data>(&Frm_Data);
    Frm_Main->Show();
    Application->ProcessMessages();
    Bare = new TADOQuery(Application);
    Bare->SetConnection(Frm_Data->ADOConnection1);
  }

  // With a trailing separator.
  const String& Folder() const { return FFolder; }

  TADOQuery* Bare = nullptr;

private:
  String FFolder;
};

// One search per iteration: Button clicked and Grid repainted, from the click to the first
// paint, against the statement Query then holds opened on Bare and walked once. False when
// either side did not find Rows rows.
inline bool TimeSearchAgainstOpen(benchmark::State& State, TButton* Button, TControl* Grid, TADOQuery* Query,
                                  TADOQuery* Bare, int Rows) {
  double ours = 0, bare = 0;
  for (auto _ : State) {
    auto t0 = Clock::now();
    Button->Click();
    Grid->Repaint();
    Application->ProcessMessages();
    auto t1 = Clock::now();
    String sql = Query->CommandText();
    auto t2 = Clock::now();
    Frm_Data->OpenQuery(Bare, sql);
    for (Bare->First(); !Bare->Eof(); Bare->Next()) benchmark::DoNotOptimize(Bare->Fields()->Fields(0)->AsString());
    auto t3 = Clock::now();
    ours += Ms(t0, t1);
    bare += Ms(t2, t3);
    State.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
  }
  SetTimeCounters(State, bare / State.iterations(), ours / State.iterations());
  return Query->RecordCount() == Rows && Bare->RecordCount() == Rows;
}

// The body of an application benchmark's main: the application offscreen, the benchmarks the
// command line selects, then PrintRatios (each ratio a line, see PrintRatio).
template <class F> int RunProgramBenchmarks(int argc, char** argv, F PrintRatios) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  InitApplication(argc, argv);
  int rc = RunBenchmarks(argc, argv, PrintRatios);
  DoneApplication();
  return rc;
}

}  // namespace bench
