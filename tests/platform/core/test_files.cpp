// File names, path resolution without regard to case, file operations and folder searches.
#include "core/Exceptions.h"
#include "core/FileUtils.h"
#include "core/StrUtils.h"
#include "TempFolder.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <thread>

TEST(FileNames, ExtractPartsWithEitherSeparator) {
  struct Case {
    String name, path, dir, file, ext;
  } cases[] = {
      {"C:\\kelm\\DataBase\\kelm.mdb", "C:\\kelm\\DataBase\\", "C:\\kelm\\DataBase", "kelm.mdb", ".mdb"},
      {"/opt/kelm/Config.ini", "/opt/kelm/", "/opt/kelm", "Config.ini", ".ini"},
      {"DataBase\\kelm.mdb", "DataBase\\", "DataBase", "kelm.mdb", ".mdb"},
      {"mixed/dir\\file.tar.gz", "mixed/dir\\", "mixed/dir", "file.tar.gz", ".gz"},
      {"noext", "", "", "noext", ""},
      {"dir.d/noext", "dir.d/", "dir.d", "noext", ""},
      {"/top.txt", "/", "/", "top.txt", ".txt"},
      {"a//b", "a//", "a//", "b", ""},
      {"folder/", "folder/", "folder", "", ""},
      {"合同/附件.doc", "合同/", "合同", "附件.doc", ".doc"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ExtractFilePath(c.name), c.path) << c.name;
    EXPECT_EQ(ExtractFileDir(c.name), c.dir) << c.name;
    EXPECT_EQ(ExtractFileName(c.name), c.file) << c.name;
    EXPECT_EQ(ExtractFileExt(c.name), c.ext) << c.name;
  }
}

TEST(FileNames, ChangeExtAndTrailingSeparators) {
  EXPECT_EQ(ChangeFileExt("Reports\\a.fr3", ".fp3"), "Reports\\a.fp3");
  EXPECT_EQ(ChangeFileExt("dir.x/name", ".txt"), "dir.x/name.txt");
  EXPECT_EQ(ChangeFileExt("a.b.c", ""), "a.b");
  EXPECT_EQ(IncludeTrailingPathDelimiter("/opt/kelm"), "/opt/kelm/");
  EXPECT_EQ(IncludeTrailingPathDelimiter("C:\\kelm"), "C:\\kelm\\") << "keeps the style in use";
  EXPECT_EQ(IncludeTrailingPathDelimiter("/opt/"), "/opt/");
  EXPECT_EQ(IncludeTrailingPathDelimiter(""), "/");
  EXPECT_EQ(ExcludeTrailingPathDelimiter("C:\\kelm\\"), "C:\\kelm");
  EXPECT_EQ(ExcludeTrailingPathDelimiter("/opt/kelm/"), "/opt/kelm");
  EXPECT_TRUE(IsPathDelimiter("a\\b", 2));
  EXPECT_FALSE(IsPathDelimiter("a\\b", 3));
  EXPECT_EQ(ExpandFileName("/a/b/../c/./d.txt"), "/a/c/d.txt");
  EXPECT_EQ(ExpandFileName("\\a\\b\\..\\c"), "/a/c");
}

TEST(ResolvePath, FindsNamesWithoutRegardToCase) {
  TempFolder dir;
  dir.Write("DataBase/KELM.MDB", "x");
  dir.Write("PactDoc/合同.doc", "y");
  struct Case {
    String asked, found;
  } cases[] = {
      {"database\\kelm.mdb", "DataBase/KELM.MDB"},
      {"DataBase/KELM.MDB", "DataBase/KELM.MDB"},
      {"DATABASE\\", "DataBase/"},
      {"pactdoc\\合同.DOC", "PactDoc/合同.doc"},
      {"database\\new\\file.txt", "DataBase/new/file.txt"},  // the missing rest stays as written
      {"Other\\x", "Other/x"},
  };
  for (const auto& c : cases) EXPECT_EQ(ResolvePath(dir.Path() + c.asked), dir.Path() + c.found) << c.asked;
  // Relative names resolve against the current folder.
  char old[4096];
  ASSERT_NE(::getcwd(old, sizeof old), nullptr);
  ASSERT_EQ(::chdir(dir.Path().c_str()), 0);
  EXPECT_EQ(ResolvePath("DATABASE\\kelm.mdb"), "DataBase/KELM.MDB");
  EXPECT_TRUE(FileExists("database\\kelm.mdb"));
  ASSERT_EQ(::chdir(old), 0);
}

TEST(ResolvePath, PrefersTheExactSpellingWhenSeveralMatch) {
  TempFolder dir;
  dir.Write("a.txt", "lower");
  dir.Write("A.txt", "upper");
  EXPECT_EQ(ResolvePath(dir / "A.txt"), dir / "A.txt");
  EXPECT_EQ(ResolvePath(dir / "a.txt"), dir / "a.txt");
  EXPECT_EQ(ResolvePath(dir / "a.TXT"), dir / "A.txt") << "otherwise the smallest name, whatever the listing order";
}

TEST(Files, ExistsCreateRemove) {
  TempFolder dir;
  dir.Write("Sub/f.txt", "1");
  EXPECT_TRUE(FileExists(dir.Path() + "sub\\F.TXT"));
  EXPECT_FALSE(FileExists(dir.Path() + "sub")) << "a folder is no file";
  EXPECT_TRUE(DirectoryExists(dir.Path() + "SUB"));
  EXPECT_FALSE(DirectoryExists(dir.Path() + "sub\\f.txt"));
  EXPECT_FALSE(FileExists(""));
  EXPECT_TRUE(ForceDirectories(dir.Path() + "SUB\\x\\y\\"));
  EXPECT_TRUE(DirectoryExists(dir / "Sub/x/y")) << "made inside the folder that exists";
  EXPECT_FALSE(dir.Exists("SUB"));
  EXPECT_THROW(ForceDirectories(""), EInOutError);
  EXPECT_TRUE(CreateDir(dir / "new"));
  EXPECT_FALSE(CreateDir(dir / "new"));
  EXPECT_TRUE(RemoveDir(dir.Path() + "NEW"));
  EXPECT_FALSE(DeleteFile(dir / "Sub")) << "DeleteFile leaves folders alone";
  EXPECT_TRUE(DeleteFile(dir.Path() + "sub\\f.TXT"));
  EXPECT_FALSE(dir.Exists("Sub/f.txt"));
  EXPECT_FALSE(DeleteFile(dir / "Sub/f.txt"));
}

TEST(Files, CopyFile) {
  TempFolder dir;
  dir.Write("src.mdb", "new content");
  dir.Write("dst.mdb", "old");
  struct timespec times[2] = {{1000000000, 0}, {1000000000, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, (dir / "src.mdb").c_str(), times, 0), 0);
  EXPECT_FALSE(CopyFile(dir / "src.mdb", dir / "dst.mdb", true));
  EXPECT_EQ(dir.Read("dst.mdb"), "old");
  EXPECT_TRUE(CopyFile(dir.Path() + "SRC.MDB", dir.Path() + "DST.mdb", false)) << "overwrites the file that exists";
  EXPECT_EQ(dir.Read("dst.mdb"), "new content");
  EXPECT_FALSE(dir.Exists("DST.mdb"));
  struct stat st;
  ASSERT_EQ(::stat((dir / "dst.mdb").c_str(), &st), 0);
  EXPECT_EQ(st.st_mtime, 1000000000) << "the copy keeps the time of the original";
  EXPECT_FALSE(CopyFile(dir / "src.mdb", dir / "src.mdb", false)) << "not onto itself";
  EXPECT_EQ(dir.Read("src.mdb"), "new content");
  EXPECT_FALSE(CopyFile(dir / "missing", dir / "x", false));
  EXPECT_FALSE(CopyFile(dir / "src.mdb", dir / "no/such/dir/x", false));
  // Nothing is left behind from the copies.
  int entries = 0;
  for (auto& e : std::filesystem::directory_iterator(dir.Path())) entries += e.is_regular_file();
  EXPECT_EQ(entries, 2);
}

TEST(Files, RenameFileRefusesAnExistingTarget) {
  TempFolder dir;
  dir.Write("a.txt", "a");
  dir.Write("b.txt", "b");
  EXPECT_FALSE(RenameFile(dir / "a.txt", dir / "b.txt"));
  EXPECT_FALSE(RenameFile(dir / "a.txt", dir / "B.TXT")) << "another file answers to that name";
  EXPECT_TRUE(RenameFile(dir / "a.txt", dir / "A.txt")) << "a change of case only";
  EXPECT_EQ(dir.Read("A.txt"), "a");
  EXPECT_TRUE(RenameFile(dir.Path() + "a.TXT", dir / "c.txt"));
  EXPECT_EQ(dir.Read("c.txt"), "a");
}

TEST(Files, RenameFileReplacingTakesTheTargetsPlace) {
  TempFolder dir;
  dir.Write("new.txt", "new");
  dir.Write("old.txt", "old");
  // The old file is replaced, not rewritten: one still open reads what it held.
  int held = ::open((dir / "old.txt").c_str(), O_RDONLY);
  ASSERT_GE(held, 0);
  EXPECT_TRUE(RenameFileReplacing(dir / "new.txt", dir / "old.txt"));
  char buf[8] = {};
  EXPECT_EQ(::read(held, buf, sizeof buf), 3);
  ::close(held);
  EXPECT_STREQ(buf, "old");
  EXPECT_EQ(dir.Read("old.txt"), "new");
  EXPECT_FALSE(dir.Exists("new.txt"));

  // A missing target is a plain rename; '\\' separators count as in every name.
  dir.Write("a.txt", "a");
  EXPECT_TRUE(RenameFileReplacing(dir / "a.txt", ExcludeTrailingPathDelimiter(dir.Path()) + "\\moved.txt"));
  EXPECT_EQ(dir.Read("moved.txt"), "a");

  // Another spelling of an existing file replaces that file: no second file beside it.
  dir.Write("case.txt", "before");
  dir.Write("src.txt", "after");
  EXPECT_TRUE(RenameFileReplacing(dir / "src.txt", dir / "CASE.TXT"));
  EXPECT_EQ(dir.Read("case.txt"), "after");
  EXPECT_FALSE(dir.Exists("CASE.TXT"));
}

TEST(Files, RenameFileReplacingRefusesWithoutChange) {
  TempFolder dir;
  dir.Write("target.txt", "kept");
  dir.Write("folder/inside.txt", "x");
  dir.Write("f.txt", "f");
  struct Case {
    const char* Old;
    const char* New;
  } cases[] = {{"missing.txt", "target.txt"}, {"f.txt", "folder"}, {"folder", "target.txt"}, {"", "target.txt"},
               {"f.txt", ""}};
  for (const Case& c : cases) {
    EXPECT_FALSE(RenameFileReplacing(*c.Old ? dir / c.Old : String(), *c.New ? dir / c.New : String()))
        << c.Old << " -> " << c.New;
    EXPECT_EQ(dir.Read("target.txt"), "kept");
    EXPECT_EQ(dir.Read("f.txt"), "f");
    EXPECT_EQ(dir.Read("folder/inside.txt"), "x");
  }
}

// A reader that opens the target over and over while it is replaced again and again always
// finds a whole file: never none, never a part of one.
TEST(Files, RenameFileReplacingNeverLeavesTheTargetMissingOrPartial) {
  TempFolder dir;
  const String whole(64 * 1024, 'o');
  dir.Write("target", whole);
  std::atomic<bool> done{false};
  std::atomic<int> missing{0}, partial{0}, reads{0};
  std::thread reader([&] {
    while (!done) {
      String data;
      if (!ReadFileToString(dir / "target", data)) ++missing;
      else if (data.size() != whole.size()) ++partial;
      ++reads;
    }
  });
  for (int i = 0; i < 200; ++i) {
    String next(whole.size(), static_cast<char>('a' + i % 26));
    dir.Write("next", next);
    ASSERT_TRUE(RenameFileReplacing(dir / "next", dir / "target"));
  }
  done = true;
  reader.join();
  EXPECT_GT(reads.load(), 0);
  EXPECT_EQ(missing.load(), 0);
  EXPECT_EQ(partial.load(), 0);
  EXPECT_EQ(dir.Read("target"), String(whole.size(), static_cast<char>('a' + 199 % 26)));
}

TEST(Files, TemporaryFilesAreUniqueEmptyAndPrefixed) {
  TempFolder dir;
  const char* old = std::getenv("TMPDIR");
  String saved = old ? old : "";
  ::setenv("TMPDIR", dir.Path().c_str(), 1);
  EXPECT_EQ(GetTempDir(), dir.Path());
  String a = CreateTempFileName("~CP"), b = CreateTempFileName("~CP");
  if (old) ::setenv("TMPDIR", saved.c_str(), 1);
  else ::unsetenv("TMPDIR");
  EXPECT_NE(a, b);
  EXPECT_EQ(ExtractFilePath(a), dir.Path());
  EXPECT_TRUE(StartsText("~CP", ExtractFileName(a)));
  EXPECT_TRUE(FileExists(a));
  EXPECT_EQ(FileSize(a), 0);
}

TEST(Files, TemporaryFilesInAGivenFolderTakeEitherSeparator) {
  TempFolder dir;
  dir.Write("sub/keep", "");
  for (String folder : {dir / "sub", dir / "sub/", dir / "SUB\\"}) {
    String name = CreateTempFileName("fr", folder);
    EXPECT_EQ(ExtractFilePath(name), dir / "sub/") << folder;
    EXPECT_TRUE(StartsText("fr", ExtractFileName(name))) << folder;
    EXPECT_TRUE(FileExists(name)) << folder;
  }
  EXPECT_THROW(CreateTempFileName("fr", dir / "missing"), EInOutError);
  EXPECT_EQ(ExtractFilePath(CreateTempFileName("fr", "")), GetTempDir());
}

TEST(Files, FileAgeAndPackedDates) {
  TempFolder dir;
  dir.Write("f", "x");
  std::tm tm{};
  tm.tm_year = 2023 - 1900;
  tm.tm_mon = 4;
  tm.tm_mday = 17;
  tm.tm_hour = 13;
  tm.tm_min = 45;
  tm.tm_sec = 31;
  tm.tm_isdst = -1;
  std::time_t t = std::mktime(&tm);
  struct timespec times[2] = {{t, 0}, {t, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, (dir / "f").c_str(), times, 0), 0);
  int packed = FileAge(dir / "f");
  EXPECT_EQ(packed, (43 << 25) | (5 << 21) | (17 << 16) | (13 << 11) | (45 << 5) | 15);
  // 2023-05-17 is day 45063; packed times keep even seconds.
  EXPECT_DOUBLE_EQ(FileDateToDateTime(packed), 45063 + (13 * 3600 + 45 * 60 + 30) / 86400.0);
  TDateTime exact = 0;
  EXPECT_TRUE(FileAge(dir / "F", exact));
  EXPECT_DOUBLE_EQ(exact, 45063 + (13 * 3600 + 45 * 60 + 31) / 86400.0);
  EXPECT_EQ(FileAge(dir / "missing"), -1);
}

TEST(Program, ParamStrAndProgramFolder) {
  char buf[4096];
  ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  ASSERT_GT(n, 0);
  String exe(buf, static_cast<std::size_t>(n));
  EXPECT_EQ(ParamStr(0), exe);
  EXPECT_EQ(ProgramFolder(), ExtractFilePath(exe));
  EXPECT_EQ(ProgramFolder().back(), '/');
  EXPECT_GE(ParamCount(), 0);
  EXPECT_EQ(ParamStr(ParamCount() + 1), "");
  SetProgramPath("/srv/kelm/kelm");
  EXPECT_EQ(ProgramFolder(), "/srv/kelm/");
  SetProgramPath("");
  EXPECT_EQ(ParamStr(0), exe);
}

// ---------------------------------------------------------------- searching

namespace {
std::vector<String> Found(const String& path, int attr) {
  std::vector<String> r;
  TSearchRec sr;
  if (FindFirst(path, attr, sr) == 0) {
    do r.push_back(sr.Name);
    while (FindNext(sr) == 0);
    FindClose(sr);
  }
  return r;
}
}  // namespace

TEST(FindFirst, MasksMatchWithoutRegardToCase) {
  TempFolder dir;
  for (const char* f : {"kelm.mdb", "Backup.MDB", "README", "notes.txt", "kelm.mdb.bak", "合同.Doc"}) dir.Write(f, "x");
  struct Case {
    String mask;
    std::vector<String> names;
  } cases[] = {
      {"*.MDB", {"Backup.MDB", "kelm.mdb"}},
      {"*.*", {"Backup.MDB", "kelm.mdb", "kelm.mdb.bak", "notes.txt", "README", "合同.Doc"}},
      {"*", {"Backup.MDB", "kelm.mdb", "kelm.mdb.bak", "notes.txt", "README", "合同.Doc"}},
      {"K?LM.*", {"kelm.mdb", "kelm.mdb.bak"}},
      {"readme.*", {"README"}},  // ".*" also takes a name without extension
      {"*.", {"README"}},
      {"*.doc", {"合同.Doc"}},
      {"??.doc", {"合同.Doc"}},  // '?' is one character, not one byte
      {"KELM.MDB", {"kelm.mdb"}},
      {"*.xls", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(Found(dir.Path() + c.mask, 0), c.names) << c.mask;
}

TEST(FindFirst, AttributesDecideFoldersAndHiddenFiles) {
  TempFolder dir;
  dir.Write("Data/x", "1");
  dir.Write(".hidden", "1");
  dir.Write("file.txt", "12345");
  EXPECT_EQ(Found(dir.Path() + "*", 0), (std::vector<String>{"file.txt"}));
  EXPECT_EQ(Found(dir.Path() + "*", faDirectory), (std::vector<String>{".", "..", "Data", "file.txt"}));
  EXPECT_EQ(Found(dir.Path() + "*", faAnyFile), (std::vector<String>{".", "..", ".hidden", "Data", "file.txt"}));
  TSearchRec sr;
  ASSERT_EQ(FindFirst(dir.Path() + "FILE.TXT", faAnyFile, sr), 0);
  EXPECT_EQ(sr.Size, 5);
  EXPECT_EQ(sr.Attr & faDirectory, 0);
  EXPECT_EQ(sr.Time, FileAge(dir / "file.txt"));
  EXPECT_EQ(FindNext(sr), 18);
  FindClose(sr);
  ASSERT_EQ(FindFirst(dir.Path() + "data", faDirectory, sr), 0);
  EXPECT_NE(sr.Attr & faDirectory, 0);
  EXPECT_EQ(FindFirst(dir.Path() + "nothing*", faAnyFile, sr), 2);
  EXPECT_EQ(FindFirst(dir.Path() + "nofolder\\*", faAnyFile, sr), 3);
  EXPECT_EQ(Found(dir.Path() + "DATA\\*", 0), (std::vector<String>{"x"})) << "the folder is found regardless of case";
}
