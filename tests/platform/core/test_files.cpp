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

// A path that exists is taken as written: on this system '\' is a character of a name, and a
// chosen file "sub\b.txt" is not the file b.txt of the folder sub.
TEST(ResolvePath, ANameThatExistsAsWrittenIsUsedAsWritten) {
  TempFolder dir;
  dir.Write("sub\\b.txt", "the file with a backslash");
  dir.Write("sub/b.txt", "another file");
  EXPECT_EQ(ResolvePath(dir / "sub\\b.txt"), dir / "sub\\b.txt");
  String data;
  ASSERT_TRUE(ReadFileToString(dir / "sub\\b.txt", data));
  EXPECT_EQ(data, "the file with a backslash");
  EXPECT_TRUE(CopyFile(dir / "sub\\b.txt", dir / "copy.txt", false));
  EXPECT_EQ(dir.Read("copy.txt"), "the file with a backslash");
  // A name the program builds with '\' still finds its file when no such name exists as written.
  EXPECT_EQ(ResolvePath(dir.Path() + "SUB\\B.TXT"), dir / "sub/b.txt");

  struct Case {
    const char* Path;
    const char* Name;
  } names[] = {{"/home/u/sub\\b.txt", "sub\\b.txt"}, {"/home/u/b.txt", "b.txt"}, {"b.txt", "b.txt"},
               {"..\\x", "..\\x"}, {"/home/u/", ""}, {"C:\\kelm\\a.doc", "C:\\kelm\\a.doc"}};
  for (const Case& c : names) EXPECT_EQ(ExtractNativeFileName(c.Path), c.Name) << c.Path;
}

TEST(FilesNamedByData, OnlyAPlainNameIsAFileOfTheFolder) {
  struct Case {
    String Name;
    bool Plain;
  } cases[] = {{"a.txt", true},    {"合同 正本.doc", true}, {".hidden", true}, {"...", true},
               {"", false},        {".", false},           {"..", false},    {"../x", false},
               {"..\\x", false},   {"/abs", false},        {"a/b", false},   {"a\\b", false},
               {String("a\0b", 3), false}};
  for (const Case& c : cases) EXPECT_EQ(IsPlainFileName(c.Name), c.Plain) << c.Name;
}

// Each routine over a name that is not plain leaves the files its path would reach alone:
// folders above, an absolute name, a sub-folder's file, the folder itself; a folder's name ("a")
// is plain but names no file.
TEST(FilesNamedByData, ANameThatIsNoPlainFileNameReachesNothing) {
  TempFolder dir;
  dir.Write("x", "above");
  dir.Write("Docs/a/b", "in a sub-folder");
  dir.Write("Docs/..\\x", "a name with a backslash");
  dir.Write("Staging/keep.txt", "staged");
  TempFolder elsewhere;
  elsewhere.Write("abs", "absolute");
  const String docs = dir / "Docs", staging = dir / "Staging";
  dir.Write("source.txt", "new content");
  for (const String& name : {String("../x"), String("..\\x"), elsewhere / "abs", String("a/b"), String(".."),
                             String("."), String(""), String("a")}) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(FolderFileExists(docs, name));
    EXPECT_FALSE(DeleteFolderFile(docs, name));
    EXPECT_FALSE(CopyFileToFolder(dir / "source.txt", docs, name));
    EXPECT_FALSE(MoveFolderFile(docs, staging, name));
    EXPECT_FALSE(MoveFolderFile(staging, docs, name));
    EXPECT_EQ(dir.Read("x"), "above");
    EXPECT_EQ(dir.Read("Docs/a/b"), "in a sub-folder");
    EXPECT_EQ(dir.Read("Docs/..\\x"), "a name with a backslash");
    EXPECT_EQ(elsewhere.Read("abs"), "absolute");
    EXPECT_TRUE(dir.Exists("Docs/a")) << "the folder 'a' is no file of Docs";
  }
  EXPECT_FALSE(dir.Exists("Staging/a"));
  EXPECT_EQ(dir.Read("Staging/keep.txt"), "staged");
}

// Names that differ only in case: each is its own file, and no routine reaches the other one,
// whatever the alphabet.
TEST(FilesNamedByData, AnotherSpellingIsAnotherFile) {
  struct Pair {
    const char* Stored;
    const char* Other;
  } pairs[] = {{"Plan.txt", "plan.txt"},  {"École.txt", "école.txt"}, {"Ａ計画.txt", "ａ計画.txt"},
               {"Σχέδιο.txt", "σχέδιο.txt"}, {"Договор.txt", "договор.txt"}};
  for (const Pair& p : pairs) {
    SCOPED_TRACE(p.Stored);
    ASSERT_TRUE(SameFileName(p.Stored, p.Other)) << "the names a lookup without regard to case takes as one";
    TempFolder dir;
    dir.Write(String("Docs/") + p.Stored, "stored");
    dir.Write("new.txt", "new");
    const String docs = dir / "Docs", staging = dir / "Staging";
    ForceDirectories(staging);
    EXPECT_FALSE(FolderFileExists(docs, p.Other));
    EXPECT_FALSE(DeleteFolderFile(docs, p.Other));
    EXPECT_FALSE(MoveFolderFile(docs, staging, p.Other));
    // A copy and a move under the other spelling make a file of that spelling beside it.
    EXPECT_TRUE(CopyFileToFolder(dir / "new.txt", staging, p.Other));
    EXPECT_TRUE(MoveFolderFile(staging, docs, p.Other));
    EXPECT_EQ(dir.Read(String("Docs/") + p.Stored), "stored");
    EXPECT_EQ(dir.Read(String("Docs/") + p.Other), "new");
    EXPECT_TRUE(DeleteFolderFile(docs, p.Other));
    EXPECT_EQ(dir.Read(String("Docs/") + p.Stored), "stored");
    EXPECT_FALSE(dir.Exists(String("Docs/") + p.Other));
    // The stored spelling itself is found, replaced, moved and deleted.
    EXPECT_TRUE(FolderFileExists(docs, p.Stored));
    EXPECT_TRUE(CopyFileToFolder(dir / "new.txt", docs, p.Stored));
    EXPECT_EQ(dir.Read(String("Docs/") + p.Stored), "new");
    EXPECT_TRUE(MoveFolderFile(docs, staging, p.Stored));
    EXPECT_EQ(dir.Read(String("Staging/") + p.Stored), "new");
    EXPECT_TRUE(DeleteFolderFile(staging, p.Stored));
    EXPECT_FALSE(FolderFileExists(staging, p.Stored));
  }
}

TEST(FilesNamedByData, TheFolderIsFoundAsEveryNameIsAndFoldersAreNoFiles) {
  TempFolder dir;
  dir.Write("PactDoc/a.txt", "a");
  dir.Write("PactDoc/sub/x", "x");
  String folder = ExcludeTrailingPathDelimiter(dir.Path()) + "\\pactdoc";
  EXPECT_TRUE(FolderFileExists(folder, "a.txt"));
  EXPECT_FALSE(FolderFileExists(folder, "sub"));
  EXPECT_FALSE(DeleteFolderFile(folder, "sub"));
  dir.Write("f", "f");
  EXPECT_FALSE(CopyFileToFolder(dir / "f", folder, "sub")) << "a folder is not replaced";
  EXPECT_TRUE(dir.Exists("PactDoc/sub/x"));
  EXPECT_FALSE(MoveFolderFile(folder, dir.Path(), "missing.txt"));
}

// Files written beside a target have a short name of their own, so the longest name a folder
// takes can be written, copied and replaced.
TEST(Files, ATargetOfTheLongestNameIsWrittenCopiedAndReplaced) {
  TempFolder dir;
  String longest;
  while (longest.size() + 3 <= 255 - 4) longest += "合";  // 83 characters, 249 bytes
  longest += ".txt";
  ASSERT_EQ(longest.size(), 253u);
  String ascii = String(251, 'n') + ".txt";  // 255 bytes
  for (const String& name : {longest, ascii}) {
    SCOPED_TRACE(name.size());
    dir.Write("src", "content");
    EXPECT_TRUE(CopyFile(dir / "src", dir / name, false));
    EXPECT_EQ(dir.Read(name), "content");
    EXPECT_TRUE(CopyFileToFolder(dir / "src", dir.Path(), name));
    WriteFileAtomic(dir / name, "written");
    EXPECT_EQ(dir.Read(name), "written");
    String tmp = CreateTempFileBeside(dir / name);
    EXPECT_EQ(ExtractFilePath(tmp), dir.Path());
    EXPECT_TRUE(IsTempFileName(ExtractFileName(tmp))) << tmp;
    EXPECT_TRUE(DeleteFile(tmp));
  }
  int entries = 0;
  for (auto& e : std::filesystem::directory_iterator(dir.Path())) entries += e.is_regular_file();
  EXPECT_EQ(entries, 3) << "src and the two targets; nothing left beside them";
  EXPECT_FALSE(IsTempFileName("kelm.mdb"));
  EXPECT_FALSE(IsTempFileName(String(TempFilePrefix) + "ab"));
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
