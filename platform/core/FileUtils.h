#pragma once
// File names, files and folders. Every routine takes '\' as well as '/' as the separator, and a
// file named in code is found regardless of case when the exact name does not exist
// ("DataBase\kelm.mdb" finds "database/KELM.MDB"). A name that exists as written is used as
// written, '\' included: on this system '\' is an ordinary character of a file name.
//
// Files named by data (a document's stored name) follow stricter rules: see "files named by
// data" below.
// Declares TSearchRec.
#include "core/System.h"
#include <memory>

constexpr char PathDelim = '/';

// The name as this system's file calls need it: a name that exists as written is kept; else
// '\' becomes '/', and each part that does not exist as written is replaced by the one entry of
// its folder that matches it without regard to case (SameFileName). Parts from the first one that
// matches nothing on are kept as written.
String ResolvePath(const String& Path);
// Whether two names find the same entry when a name is found without regard to case: Unicode
// simple upper-case mapping, character by character (so "École" and "école", "Ａ" and "ａ").
bool SameFileName(const String& A, const String& B);

// --- names (text only; both separators count) ---
String ExtractFilePath(const String& FileName);  // up to and including the last separator
String ExtractFileDir(const String& FileName);   // without the trailing separator
String ExtractFileName(const String& FileName);
// The file name of a path this system gave (a file dialog's choice): only '/' separates, a '\'
// belongs to the name ("/home/u/sub\b.txt" names "sub\b.txt").
String ExtractNativeFileName(const String& FileName);
String ExtractFileExt(const String& FileName);   // with the dot; '' when none
String ChangeFileExt(const String& FileName, const String& Extension);
String IncludeTrailingPathDelimiter(const String& S);  // adds the separator the path already uses
String ExcludeTrailingPathDelimiter(const String& S);
bool IsPathDelimiter(const String& S, int Index);  // 1-based, as the character routines
// An absolute name with '.' and '..' worked out, relative names taken from the current folder.
String ExpandFileName(const String& FileName);

// --- files and folders ---
bool FileExists(const String& FileName);  // a file, not a folder
bool DirectoryExists(const String& Directory);
bool ForceDirectories(const String& Dir);  // every missing level; EInOutError for ''
bool CreateDir(const String& Dir);
bool RemoveDir(const String& Dir);
// Copies a file; false when it fails or when failIfExists and NewFileName exists. The copy is
// written beside the target and renamed over it, so the target is never left half written.
bool CopyFile(const String& ExistingFileName, const String& NewFileName, bool FailIfExists);
bool DeleteFile(const String& FileName);
// False when NewName exists already.
bool RenameFile(const String& OldName, const String& NewName);
// Renames a file over NewName in one step: at every moment NewName is the old file or the
// moved one, never missing or half written, so a crash at any point leaves one of the two.
// A file that answers to NewName without regard to case is the one replaced (its spelling
// stays). The rename is on disk when it returns. False, nothing changed, when OldName is not
// a file, NewName is a folder or the two lie on different file systems.
bool RenameFileReplacing(const String& OldName, const String& NewName);
// Last-write time as a packed date and time of day (local time), -1 when the file is missing.
int FileAge(const String& FileName);
bool FileAge(const String& FileName, TDateTime& FileDateTime);
TDateTime FileDateToDateTime(int FileDate);
Int64 FileSize(const String& FileName);  // -1 when missing

// The whole content of a file; false when it cannot be read.
bool ReadFileToString(const String& FileName, String& Data);
// Replaces a file's content so that a crash leaves either the old or the new content: the data
// goes to a new file beside it, is flushed to disk and renamed over the old one (a symbolic link
// is followed; an existing file's permissions are kept). Raises EFCreateError on failure.
void WriteFileAtomic(const String& FileName, const String& Data);

// Files written beside a target and renamed over it are named TempFilePrefix and six characters
// of their own, whatever the target's name, so a target of the longest name still gets one.
constexpr const char* TempFilePrefix = ".~kelm";
// Whether a file name (without folder) is of that naming.
bool IsTempFileName(const String& Name);
// A new, empty file of that naming in Target's folder. Raises EInOutError when none can be made.
String CreateTempFileBeside(const String& Target);

// The folder for temporary files, with a trailing separator.
String GetTempDir();
// A new, empty file with a unique name that starts with Prefix, in the temporary folder.
// Raises EInOutError when none can be made.
String CreateTempFileName(const String& Prefix);

// --- files named by data ---
// A name taken from data (a document's stored file name) names one file of one folder: it is
// used only when it is a plain file name, and only exactly as written. No other spelling answers
// to it (not even on a file system that ignores case), and nothing outside the folder is reached;
// the folder itself is found as every name is. Each routine is false, nothing touched, for a name
// that is not plain.
// Not empty, not "." or "..", no '/', no '\' and no NUL.
bool IsPlainFileName(const String& Name);
// A file (not a folder) of exactly that name in Folder.
bool FolderFileExists(const String& Folder, const String& Name);
// Copies Source (found as every name is) into Folder as Name, as CopyFile does: written beside
// and renamed over a file of exactly that name. False when a file of another spelling answers.
bool CopyFileToFolder(const String& Source, const String& Folder, const String& Name);
// Deletes the file of exactly that name in Folder.
bool DeleteFolderFile(const String& Folder, const String& Name);
// Moves the file Name of FromFolder into ToFolder under the same name in one step, replacing a
// file of exactly that name there, never one of another spelling; on disk when it returns.
bool MoveFolderFile(const String& FromFolder, const String& ToFolder, const String& Name);

// --- the program ---
String ParamStr(int Index);  // 0 = the program file
int ParamCount();
String ProgramFolder();      // the program file's folder, with a trailing separator
// Makes ParamStr(0) report another program file (tests, embedding); '' restores the real one.
void SetProgramPath(const String& ExePath);

// The text of an operating-system error number, in English.
String OSErrorText(int ErrorCode);

// --- searching a folder ---
constexpr int faReadOnly = 0x01;
constexpr int faHidden = 0x02;
constexpr int faSysFile = 0x04;
constexpr int faVolumeID = 0x08;
constexpr int faDirectory = 0x10;
constexpr int faArchive = 0x20;
constexpr int faSymLink = 0x40;
constexpr int faAnyFile = 0x3F;

struct TSearchRec {
  int Time = 0;   // packed date and time, as FileAge
  Int64 Size = 0;
  int Attr = 0;
  String Name;
  int ExcludeAttr = 0;
  TDateTime TimeStamp = 0;
  std::shared_ptr<void> FindHandle;  // the search in progress
  int FindIndex = 0;
};

// Path = folder + mask ('*' and '?', matched without regard to case; "*.*" matches every name).
// Entries with faHidden, faSysFile, faVolumeID or faDirectory are found only when Attr asks for
// them. Returns 0 when an entry was found, else an error code (2: no match, 3: no folder).
int FindFirst(const String& Path, int Attr, TSearchRec& F);
int FindNext(TSearchRec& F);  // 0, or 18 when there are no more entries
void FindClose(TSearchRec& F);
// The mask test FindFirst uses.
bool MatchesFileMask(const String& FileName, const String& Mask);
