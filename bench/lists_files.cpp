// String lists, memory streams, path resolution and INI reads.
#include "core/Classes.h"
#include "core/FileUtils.h"
#include "core/IniFiles.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <fstream>
#include <stdlib.h>

namespace {

String Key(int i) { return "Item" + std::to_string((i * 7919) % 1000003); }

void SortedAdd(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  for (auto _ : state) {
    TStringList l;
    l.SetSorted(true);
    for (int i = 0; i < n; ++i) l.Add(Key(i));
    benchmark::DoNotOptimize(l.Count());
  }
  state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(SortedAdd)->Arg(1000)->Arg(20000);

void SortedIndexOf(benchmark::State& state) {
  TStringList l;
  l.SetSorted(true);
  for (int i = 0; i < 20000; ++i) l.Add(Key(i));
  int i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(l.IndexOf(Key(i++ % 20000)));
}
BENCHMARK(SortedIndexOf);

void TextRoundTrip(benchmark::State& state) {
  TStringList l;
  for (int i = 0; i < 10000; ++i) l.Add(Key(i) + "=值" + std::to_string(i));
  for (auto _ : state) {
    TStringList back;
    back.SetText(l.Text());
    benchmark::DoNotOptimize(back.Count());
  }
}
BENCHMARK(TextRoundTrip);

void MemoryStreamAppend(benchmark::State& state) {
  char chunk[100] = {};
  for (auto _ : state) {
    TMemoryStream m;
    for (int i = 0; i < 10000; ++i) m.WriteBuffer(chunk, sizeof chunk);
    benchmark::DoNotOptimize(m.Memory());
  }
  state.SetBytesProcessed(state.iterations() * 10000 * 100);
}
BENCHMARK(MemoryStreamAppend);

struct Folder {
  String Path;
  Folder() {
    String tmpl = (std::filesystem::temp_directory_path() / "kelm-bench-XXXXXX").string();
    Path = String(::mkdtemp(tmpl.data())) + "/";
    std::filesystem::create_directories(Path + "DataBase");
    std::ofstream(Path + "DataBase/KELM.MDB") << "x";
    std::ofstream(Path + "Config.ini") << "[Config]\r\nDBName=kelm\r\nDirectoryList=/home\r\nDrive=0\r\n"
                                          "[login]\r\nusername=2\r\n";
  }
  ~Folder() { std::filesystem::remove_all(Path); }
};

void ResolveExact(benchmark::State& state) {
  Folder f;
  String name = f.Path + "DataBase/KELM.MDB";
  for (auto _ : state) benchmark::DoNotOptimize(ResolvePath(name));
}
BENCHMARK(ResolveExact);

void ResolveOtherCase(benchmark::State& state) {
  Folder f;
  String name = f.Path + "database\\kelm.mdb";
  for (auto _ : state) benchmark::DoNotOptimize(ResolvePath(name));
}
BENCHMARK(ResolveOtherCase);

void IniReadThrough(benchmark::State& state) {
  Folder f;
  TIniFile ini(f.Path + "Config.ini");
  for (auto _ : state) benchmark::DoNotOptimize(ini.ReadInteger("LOGIN", "UserName", -1));
}
BENCHMARK(IniReadThrough);

}  // namespace

BENCHMARK_MAIN();
