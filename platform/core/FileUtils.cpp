// File names, files, folders, the program's own path and folder searches.
#include "core/FileUtils.h"
#include "core/Classes.h"
#include "core/Exceptions.h"
#include "core/StrUtils.h"
#include "core/SysUtils_p.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <locale.h>
#include <mutex>
#include <random>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

inline bool IsSep(char c) { return c == '/' || c == '\\'; }

std::size_t LastSep(const String& s) {
  std::size_t p = s.find_last_of("/\\");
  return p;
}

String Slashed(const String& s) {
  String r = s;
  std::replace(r.begin(), r.end(), '\\', '/');
  return r;
}

bool Exists(const String& p) {
  struct stat st;
  return ::lstat(p.c_str(), &st) == 0;
}

// The entry of a folder whose name equals Name without regard to case; '' when none.
String FindEntryNoCase(const String& Dir, const String& Name) {
  DIR* d = ::opendir(Dir.empty() ? "." : Dir.c_str());
  if (!d) return String();
  String best;
  while (dirent* e = ::readdir(d)) {
    String n = e->d_name;
    if (n == "." || n == "..") continue;
    // Several spellings may match; the smallest is taken so the choice does not depend on
    // the order the folder lists them in.
    if (SameFileName(n, Name) && (best.empty() || n < best)) best = n;
  }
  ::closedir(d);
  return best;
}

// --- packed date and time of day, local time
// Days since 1899-12-30 plus the fraction of the day.
TDateTime ToDateTime(int y, int mo, int d, int h, int mi, int s, int ms) {
  auto days = static_cast<double>(sysutils_impl::DaysFromCivil(y, mo, d));
  return days + (h * 3600000.0 + mi * 60000.0 + s * 1000.0 + ms) / 86400000.0;
}

int PackFileDate(std::time_t t) {
  std::tm tm{};
  ::localtime_r(&t, &tm);
  if (tm.tm_year < 80) return 0x00210000;  // before 1980: the earliest packed date
  return ((tm.tm_year - 80) << 25) | ((tm.tm_mon + 1) << 21) | (tm.tm_mday << 16) | (tm.tm_hour << 11) |
         (tm.tm_min << 5) | (tm.tm_sec / 2);
}

String& ProgramPathOverride() {
  static String path;
  return path;
}

int AttrOf(const String& path, const String& name, const struct stat& st) {
  int attr = 0;
  if (S_ISDIR(st.st_mode)) attr |= faDirectory;
  else attr |= faArchive;
  if (!name.empty() && name[0] == '.' && name != "." && name != "..") attr |= faHidden;
  if (::access(path.c_str(), W_OK) != 0 && errno == EACCES) attr |= faReadOnly;
  return attr;
}

struct TFindState {
  struct Entry {
    String Name;
    int Attr;
    Int64 Size;
    std::time_t MTime;
    long MTimeNs;
  };
  std::vector<Entry> Entries;
};

void FillSearchRec(TSearchRec& F, const TFindState::Entry& e) {
  F.Name = e.Name;
  F.Attr = e.Attr;
  F.Size = e.Size;
  F.Time = PackFileDate(e.MTime);
  std::tm tm{};
  ::localtime_r(&e.MTime, &tm);
  F.TimeStamp = ToDateTime(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec,
                           static_cast<int>(e.MTimeNs / 1000000));
}

bool MatchFolded(const std::u32string& name, std::size_t ni, const std::u32string& mask, std::size_t mi) {
  // Iterative glob with backtracking to the last '*'.
  std::size_t starM = std::u32string::npos, starN = 0;
  while (ni < name.size()) {
    if (mi < mask.size() && (mask[mi] == U'?' || mask[mi] == name[ni])) {
      ++ni;
      ++mi;
    } else if (mi < mask.size() && mask[mi] == U'*') {
      starM = mi++;
      starN = ni;
    } else if (starM != std::u32string::npos) {
      mi = starM + 1;
      ni = ++starN;
    } else {
      return false;
    }
  }
  while (mi < mask.size() && mask[mi] == U'*') ++mi;
  return mi == mask.size();
}

}  // namespace

// ---------------------------------------------------------------- resolving

bool SameFileName(const String& A, const String& B) { return AnsiSameText(A, B); }

String ResolvePath(const String& Path) {
  if (Path.empty() || Exists(Path)) return Path;
  String p = Slashed(Path);
  if (Exists(p)) return p;
  String cur;
  std::size_t i = 0;
  if (p[0] == '/') {
    cur = "/";
    i = 1;
  }
  while (i < p.size()) {
    std::size_t next = p.find('/', i);
    if (next == String::npos) next = p.size();
    String part = p.substr(i, next - i);
    if (!part.empty()) {
      String joined = cur.empty() || cur.back() == '/' ? cur + part : cur + "/" + part;
      if (part == "." || part == ".." || Exists(joined)) {
        cur = joined;
      } else {
        String found = FindEntryNoCase(cur, part);
        if (found.empty()) {
          // Nothing further can match; the rest stays as written.
          String rest = p.substr(i);
          return cur.empty() || cur.back() == '/' ? cur + rest : cur + "/" + rest;
        }
        cur = cur.empty() || cur.back() == '/' ? cur + found : cur + "/" + found;
      }
    }
    i = next + 1;
  }
  if (p.back() == '/' && (cur.empty() || cur.back() != '/')) cur += '/';
  return cur;
}

// ---------------------------------------------------------------- names

String ExtractFilePath(const String& FileName) {
  std::size_t p = LastSep(FileName);
  return p == String::npos ? String() : FileName.substr(0, p + 1);
}

String ExtractFileDir(const String& FileName) {
  std::size_t p = LastSep(FileName);
  if (p == String::npos) return String();
  // Keep a root separator ("/a" -> "/") and doubled separators ("a//b" -> "a//").
  if (p > 0 && !IsSep(FileName[p - 1])) return FileName.substr(0, p);
  return FileName.substr(0, p + 1);
}

String ExtractFileName(const String& FileName) {
  std::size_t p = LastSep(FileName);
  return p == String::npos ? FileName : FileName.substr(p + 1);
}

String ExtractNativeFileName(const String& FileName) {
  std::size_t p = FileName.rfind('/');
  return p == String::npos ? FileName : FileName.substr(p + 1);
}

String ExtractFileExt(const String& FileName) {
  std::size_t p = FileName.find_last_of("./\\");
  return p != String::npos && FileName[p] == '.' ? FileName.substr(p) : String();
}

String ChangeFileExt(const String& FileName, const String& Extension) {
  std::size_t p = FileName.find_last_of("./\\");
  if (p == String::npos || FileName[p] != '.') return FileName + Extension;
  return FileName.substr(0, p) + Extension;
}

String IncludeTrailingPathDelimiter(const String& S) {
  if (!S.empty() && IsSep(S.back())) return S;
  bool backslashes = S.find('\\') != String::npos && S.find('/') == String::npos;
  return S + (backslashes ? '\\' : '/');
}

String ExcludeTrailingPathDelimiter(const String& S) {
  if (!S.empty() && IsSep(S.back())) return S.substr(0, S.size() - 1);
  return S;
}

bool IsPathDelimiter(const String& S, int Index) {
  return Index >= 1 && Index <= Length(S) && IsSep(CharAt(S, Index)[0]);
}

String ExpandFileName(const String& FileName) {
  String p = Slashed(FileName);
  if (p.empty() || p[0] != '/') {
    char buf[PATH_MAX];
    String cwd = ::getcwd(buf, sizeof buf) ? String(buf) : String("/");
    p = cwd + "/" + p;
  }
  std::vector<String> parts;
  std::size_t i = 0;
  while (i <= p.size()) {
    std::size_t next = p.find('/', i);
    if (next == String::npos) next = p.size();
    String part = p.substr(i, next - i);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    i = next + 1;
  }
  String r;
  for (auto& part : parts) r += "/" + part;
  if (r.empty()) r = "/";
  if (IsSep(FileName.empty() ? 'x' : FileName.back()) && r.back() != '/') r += '/';
  return r;
}

// ---------------------------------------------------------------- files and folders

bool FileExists(const String& FileName) {
  struct stat st;
  return !FileName.empty() && ::stat(ResolvePath(FileName).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const String& Directory) {
  struct stat st;
  return !Directory.empty() && ::stat(ResolvePath(Directory).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool ForceDirectories(const String& Dir) {
  if (Dir.empty()) throw EInOutError("Unable to create directory");
  String path = ExcludeTrailingPathDelimiter(ResolvePath(Dir));
  if (path.empty() || DirectoryExists(path)) return true;
  String parent = ExtractFileDir(path);
  if (!parent.empty() && parent != path && !ForceDirectories(parent)) return false;
  return ::mkdir(path.c_str(), 0777) == 0 || (errno == EEXIST && DirectoryExists(path));
}

bool CreateDir(const String& Dir) { return !Dir.empty() && ::mkdir(ResolvePath(Dir).c_str(), 0777) == 0; }

bool RemoveDir(const String& Dir) { return !Dir.empty() && ::rmdir(ResolvePath(Dir).c_str()) == 0; }

namespace {

// Copies src over dst (both as the system takes them) through a file of our naming beside dst.
bool CopyResolved(const String& src, const String& dst, bool FailIfExists) {
  struct stat sst, dstSt;
  if (::stat(src.c_str(), &sst) != 0 || S_ISDIR(sst.st_mode)) return false;
  if (::stat(dst.c_str(), &dstSt) == 0) {
    if (FailIfExists || S_ISDIR(dstSt.st_mode)) return false;
    if (dstSt.st_dev == sst.st_dev && dstSt.st_ino == sst.st_ino) return false;  // onto itself
  }
  int in = ::open(src.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return false;
  String name;
  int out = sysutils_impl::OpenTempFileIn(ExtractFilePath(dst), name);
  if (out < 0) {
    ::close(in);
    return false;
  }
  bool ok = true;
  std::vector<char> buf(1 << 16);
  for (;;) {
    ssize_t n = ::read(in, buf.data(), buf.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) { ok = false; break; }
    if (n == 0) break;
    for (ssize_t done = 0; done < n;) {
      ssize_t w = ::write(out, buf.data() + done, static_cast<std::size_t>(n - done));
      if (w < 0 && errno == EINTR) continue;
      if (w <= 0) { ok = false; break; }
      done += w;
    }
    if (!ok) break;
  }
  ::close(in);
  if (ok) {
    ::fchmod(out, sst.st_mode & 07777);
    struct timespec times[2] = {sst.st_atim, sst.st_mtim};
    ::futimens(out, times);
    ok = ::fsync(out) == 0;
  }
  ok = ::close(out) == 0 && ok;
  if (ok) ok = ::rename(name.c_str(), dst.c_str()) == 0;
  if (!ok) ::unlink(name.c_str());
  return ok;
}

// The folder's entry reaches the disk with a rename, not at some later write-back.
void FlushFolder(const String& folder) {
  int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    ::fsync(fd);
    ::close(fd);
  }
}

}  // namespace

bool CopyFile(const String& ExistingFileName, const String& NewFileName, bool FailIfExists) {
  return CopyResolved(ResolvePath(ExistingFileName), ResolvePath(NewFileName), FailIfExists);
}

bool DeleteFile(const String& FileName) {
  if (FileName.empty()) return false;
  String path = ResolvePath(FileName);
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
  return ::unlink(path.c_str()) == 0;
}

bool RenameFile(const String& OldName, const String& NewName) {
  if (OldName.empty() || NewName.empty()) return false;
  String src = ResolvePath(OldName);
  struct stat sst;
  if (::lstat(src.c_str(), &sst) != 0) return false;
  // The new name keeps its own spelling; only its folder is looked up.
  String slashed = Slashed(NewName);
  String dir = ExtractFilePath(slashed);
  String dst = (dir.empty() ? String() : ResolvePath(dir)) + ExtractFileName(slashed);
  struct stat dstSt;
  if (::lstat(dst.c_str(), &dstSt) == 0 && !(dstSt.st_dev == sst.st_dev && dstSt.st_ino == sst.st_ino))
    return false;
  String existing = ResolvePath(dst);
  struct stat exSt;
  if (existing != dst && ::lstat(existing.c_str(), &exSt) == 0 &&
      !(exSt.st_dev == sst.st_dev && exSt.st_ino == sst.st_ino))
    return false;  // another file answers to that name
  return ::rename(src.c_str(), dst.c_str()) == 0;
}

bool RenameFileReplacing(const String& OldName, const String& NewName) {
  if (OldName.empty() || NewName.empty()) return false;
  String src = ResolvePath(OldName);
  struct stat sst;
  if (::lstat(src.c_str(), &sst) != 0 || S_ISDIR(sst.st_mode)) return false;
  String slashed = Slashed(NewName);
  String dir = ExtractFilePath(slashed);
  String dst = (dir.empty() ? String() : ResolvePath(dir)) + ExtractFileName(slashed);
  // The file the name finds is the one replaced, so no second spelling of it is left beside.
  if (!Exists(dst)) dst = ResolvePath(dst);
  struct stat dstSt;
  if (::stat(dst.c_str(), &dstSt) == 0 && S_ISDIR(dstSt.st_mode)) return false;
  if (::rename(src.c_str(), dst.c_str()) != 0) return false;
  FlushFolder(ExtractFilePath(dst));
  return true;
}

// ---------------------------------------------------------------- files named by data

bool IsPlainFileName(const String& Name) {
  return !Name.empty() && Name != "." && Name != ".." && Name.find_first_of(String("/\\\0", 3)) == String::npos;
}

namespace {

// Folder as every name is found, with a trailing '/' ('' is the current folder).
String DataFolder(const String& Folder) {
  if (Folder.empty()) return String();
  String f = ResolvePath(Folder);
  return f.back() == '/' ? f : f + '/';
}

// Whether the folder lists exactly Name: a file system that ignores case answers to every
// spelling of an entry, its listing holds the one it has.
bool ListsExactly(const String& folder, const String& name) {
  DIR* d = ::opendir(folder.empty() ? "." : folder.c_str());
  if (!d) return false;
  bool found = false;
  while (dirent* e = ::readdir(d))
    if (name == e->d_name) {
      found = true;
      break;
    }
  ::closedir(d);
  return found;
}

// What a data name finds in its folder.
enum TDataEntry { deNone, deFile, deOther };  // deOther: a folder, or another spelling

TDataEntry DataEntry(const String& folder, const String& name) {
  struct stat st;
  if (::lstat((folder + name).c_str(), &st) != 0) return deNone;
  return !S_ISDIR(st.st_mode) && ListsExactly(folder, name) ? deFile : deOther;
}

}  // namespace

bool FolderFileExists(const String& Folder, const String& Name) {
  return IsPlainFileName(Name) && DataEntry(DataFolder(Folder), Name) == deFile;
}

bool CopyFileToFolder(const String& Source, const String& Folder, const String& Name) {
  if (!IsPlainFileName(Name)) return false;
  String folder = DataFolder(Folder);
  if (DataEntry(folder, Name) == deOther) return false;
  return CopyResolved(ResolvePath(Source), folder + Name, false);
}

bool DeleteFolderFile(const String& Folder, const String& Name) {
  if (!IsPlainFileName(Name)) return false;
  String folder = DataFolder(Folder);
  return DataEntry(folder, Name) == deFile && ::unlink((folder + Name).c_str()) == 0;
}

bool MoveFolderFile(const String& FromFolder, const String& ToFolder, const String& Name) {
  if (!IsPlainFileName(Name)) return false;
  String from = DataFolder(FromFolder), to = DataFolder(ToFolder);
  if (DataEntry(from, Name) != deFile || DataEntry(to, Name) == deOther) return false;
  if (::rename((from + Name).c_str(), (to + Name).c_str()) != 0) return false;
  FlushFolder(to);
  return true;
}

int FileAge(const String& FileName) {
  struct stat st;
  if (::stat(ResolvePath(FileName).c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return -1;
  return PackFileDate(st.st_mtime);
}

bool FileAge(const String& FileName, TDateTime& FileDateTime) {
  struct stat st;
  if (FileName.empty() || ::stat(ResolvePath(FileName).c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
  std::tm tm{};
  ::localtime_r(&st.st_mtime, &tm);
  FileDateTime = ToDateTime(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec,
                            static_cast<int>(st.st_mtim.tv_nsec / 1000000));
  return true;
}

TDateTime FileDateToDateTime(int FileDate) {
  int date = (FileDate >> 16) & 0xFFFF, time = FileDate & 0xFFFF;
  return ToDateTime((date >> 9) + 1980, (date >> 5) & 15, date & 31, time >> 11, (time >> 5) & 63,
                    (time & 31) * 2, 0);
}

Int64 FileSize(const String& FileName) {
  struct stat st;
  if (FileName.empty() || ::stat(ResolvePath(FileName).c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return -1;
  return static_cast<Int64>(st.st_size);
}

bool ReadFileToString(const String& FileName, String& Data) {
  int fd = ::open(ResolvePath(FileName).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st;
  if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    ::close(fd);
    return false;
  }
  String all;
  char buf[65536];
  for (;;) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      ::close(fd);
      return false;
    }
    if (n == 0) break;
    all.append(buf, static_cast<std::size_t>(n));
  }
  ::close(fd);
  Data.swap(all);
  return true;
}

void WriteFileAtomic(const String& FileName, const String& Data) {
  TBufferedFileStream file(FileName);
  file.WriteBuffer(Data.data(), static_cast<Int64>(Data.size()));
  file.Commit();
}

bool IsTempFileName(const String& Name) {
  return StartsStr(TempFilePrefix, Name) && Name.size() == std::strlen(TempFilePrefix) + 6;
}

int sysutils_impl::OpenTempFileIn(const String& Folder, String& Name) {
  static const char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  static std::atomic<std::uint64_t> next{std::random_device{}() ^ (std::uint64_t(::getpid()) << 32)};
  for (int attempt = 0; attempt < 100; ++attempt) {
    // splitmix64 of a per-process sequence: names that no other writer is likely to pick.
    std::uint64_t z = (next += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    String name = Folder + TempFilePrefix;
    for (int i = 0; i < 6; ++i, z /= 62) name += kChars[z % 62];
    int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      Name = name;
      return fd;
    }
    if (errno != EEXIST) return -1;
  }
  errno = EEXIST;
  return -1;
}

String CreateTempFileBeside(const String& Target) {
  String folder = ExtractFilePath(ResolvePath(Target)), name;
  int fd = sysutils_impl::OpenTempFileIn(folder, name);
  if (fd < 0)
    throw EInOutError("Cannot create a file in \"" + (folder.empty() ? String(".") : folder) + "\". " + OSErrorText(errno));
  ::close(fd);
  return name;
}

String GetTempDir() {
  const char* env = std::getenv("TMPDIR");
  struct stat st;
  if (env && *env && ::stat(env, &st) == 0 && S_ISDIR(st.st_mode)) return IncludeTrailingPathDelimiter(env);
  return "/tmp/";
}

String CreateTempFileName(const String& Prefix) {
  String dir = GetTempDir();
  String tmpl = dir + Slashed(Prefix) + "XXXXXX.tmp";
  std::vector<char> name(tmpl.begin(), tmpl.end());
  name.push_back('\0');
  int fd = ::mkostemps(name.data(), 4, O_CLOEXEC);
  if (fd < 0) throw EInOutError("Cannot create a temporary file in \"" + dir + "\". " + OSErrorText(errno));
  ::close(fd);
  return String(name.data());
}

// ---------------------------------------------------------------- the program

void SetProgramPath(const String& ExePath) { ProgramPathOverride() = ExePath; }

namespace {
// The arguments the program was started with, the program itself first.
std::vector<String> CommandLine() {
  std::vector<String> args;
  int fd = ::open("/proc/self/cmdline", O_RDONLY | O_CLOEXEC);
  if (fd < 0) return args;
  String all;
  char buf[4096];
  for (ssize_t n; (n = ::read(fd, buf, sizeof buf)) > 0;) all.append(buf, static_cast<std::size_t>(n));
  ::close(fd);
  for (std::size_t pos = 0; pos < all.size();) {
    std::size_t end = all.find('\0', pos);
    if (end == String::npos) end = all.size();
    args.push_back(all.substr(pos, end - pos));
    pos = end + 1;
  }
  return args;
}
}  // namespace

String ParamStr(int Index) {
  if (Index == 0) {
    if (!ProgramPathOverride().empty()) return ProgramPathOverride();
    char buf[PATH_MAX];
    ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    return n > 0 ? String(buf, static_cast<std::size_t>(n)) : String();
  }
  std::vector<String> args = CommandLine();
  return Index > 0 && Index < static_cast<int>(args.size()) ? args[Index] : String();
}

int ParamCount() { return std::max(0, static_cast<int>(CommandLine().size()) - 1); }

String ProgramFolder() { return IncludeTrailingPathDelimiter(ExtractFilePath(ParamStr(0))); }

String OSErrorText(int ErrorCode) {
  static locale_t c = ::newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
  return c ? String(::strerror_l(ErrorCode, c)) : String(std::strerror(ErrorCode));
}

// ---------------------------------------------------------------- searching

bool MatchesFileMask(const String& FileName, const String& Mask) {
  std::u32string name = Utf8ToUtf32(AnsiUpperCase(FileName));
  std::u32string mask = Utf8ToUtf32(AnsiUpperCase(Mask));
  if (MatchFolded(name, 0, mask, 0)) return true;
  // "x.*" also takes a name without any extension, "*." only such names.
  if (mask.size() >= 2 && mask.compare(mask.size() - 2, 2, U".*") == 0)
    return MatchFolded(name, 0, mask.substr(0, mask.size() - 2), 0);
  if (!mask.empty() && mask.back() == U'.' && name.find(U'.') == std::u32string::npos)
    return MatchFolded(name, 0, mask.substr(0, mask.size() - 1), 0);
  return false;
}

int FindFirst(const String& Path, int Attr, TSearchRec& F) {
  FindClose(F);
  String slashed = Slashed(Path);
  String dir = ExtractFilePath(slashed);
  String mask = ExtractFileName(slashed);
  if (mask.empty()) return 2;
  String folder = dir.empty() ? String(".") : ResolvePath(dir);
  DIR* d = ::opendir(folder.c_str());
  if (!d) return 3;
  F.ExcludeAttr = ~Attr & (faHidden | faSysFile | faVolumeID | faDirectory);
  auto state = std::make_shared<TFindState>();
  String base = IncludeTrailingPathDelimiter(folder);
  while (dirent* e = ::readdir(d)) {
    String name = e->d_name;
    if (!MatchesFileMask(name, mask)) continue;
    String full = base + name;
    struct stat st;
    if (::stat(full.c_str(), &st) != 0 && ::lstat(full.c_str(), &st) != 0) continue;
    int attr = AttrOf(full, name, st);
    if (attr & F.ExcludeAttr) continue;
    state->Entries.push_back({name, attr, S_ISDIR(st.st_mode) ? 0 : static_cast<Int64>(st.st_size), st.st_mtime,
                              st.st_mtim.tv_nsec});
  }
  ::closedir(d);
  // A stable order: "." and ".." first, then by name without regard to case.
  auto rank = [](const String& n) { return n == "." ? 0 : (n == ".." ? 1 : 2); };
  std::sort(state->Entries.begin(), state->Entries.end(), [&](const auto& a, const auto& b) {
    if (rank(a.Name) != rank(b.Name)) return rank(a.Name) < rank(b.Name);
    int c = AnsiCompareText(a.Name, b.Name);
    return c != 0 ? c < 0 : a.Name < b.Name;
  });
  if (state->Entries.empty()) return 2;
  F.FindHandle = state;
  F.FindIndex = 0;
  FillSearchRec(F, state->Entries[0]);
  return 0;
}

int FindNext(TSearchRec& F) {
  auto* state = static_cast<TFindState*>(F.FindHandle.get());
  if (!state || F.FindIndex + 1 >= static_cast<int>(state->Entries.size())) return 18;
  ++F.FindIndex;
  FillSearchRec(F, state->Entries[F.FindIndex]);
  return 0;
}

void FindClose(TSearchRec& F) {
  F.FindHandle.reset();
  F.FindIndex = 0;
}
