// Building a database file from a script: comments removed, statements run by the data
// layer into a temporary file, the finished file linked into place without ever replacing
// one that exists.
#include "tools/MakeDatabase.h"

#include "data/ADODB.h"
#include "core/FileUtils.h"

#include <atomic>
#include <cerrno>
#include <unistd.h>

const char* const DefaultSchemaResource = "db/schema.sql";

namespace {


void RemoveDatabaseFiles(const String& path) {
  for (const char* suffix : {"", "-wal", "-shm", "-journal"}) DeleteFile(path + suffix);
}

// A name beside the target that no file has yet; hidden, so a half-made file never looks
// like a database to someone browsing the folder.
String TemporaryNameBeside(const String& fileName) {
  static std::atomic<int> counter{0};
  String dir = ExtractFilePath(fileName);
  String base = ExtractFileName(fileName);
  for (;;) {
    String name = dir + "." + base + "." + std::to_string(::getpid()) + "-" + std::to_string(++counter) + ".tmp";
    if (!FileExists(name) && !DirectoryExists(name)) return name;
  }
}

[[noreturn]] void RefuseExisting(const String& fileName) {
  throw EMakeDatabaseError("Database file '" + fileName + "' exists already; it is not overwritten");
}

// Moves the finished file into place. A hard link fails when the name is taken, so a file
// that appeared meanwhile is refused rather than replaced; file systems without hard links
// fall back to a checked rename.
void MoveIntoPlace(const String& temp, const String& fileName) {
  if (::link(temp.c_str(), fileName.c_str()) == 0) {
    DeleteFile(temp);
    return;
  }
  int err = errno;
  if (err == EEXIST) RefuseExisting(fileName);
  if (err == EPERM || err == ENOTSUP || err == EOPNOTSUPP || err == EMLINK) {
    if (FileExists(fileName) || DirectoryExists(fileName)) RefuseExisting(fileName);
    if (RenameFile(temp, fileName)) return;
    err = errno;
  }
  throw EMakeDatabaseError("Cannot create database file '" + fileName + "': " + OSErrorText(err));
}

}  // namespace

void MakeDatabaseFile(const String& fileName, const String& script) {
  if (fileName.empty()) throw EMakeDatabaseError("No database file name given");
  if (FileExists(fileName) || DirectoryExists(fileName)) RefuseExisting(fileName);
  String dir = ExtractFileDir(fileName);
  if (!dir.empty() && !DirectoryExists(dir) && !ForceDirectories(dir))
    throw EMakeDatabaseError("Cannot create the folder '" + dir + "': " + OSErrorText(errno));

  // The folders as they exist on disk (their case may differ from the name given); the
  // file's own name stays as written.
  String target = ResolvePath(fileName);
  String temp = TemporaryNameBeside(target);
  try {
    CreateDatabaseFromScript(temp, script);
    MoveIntoPlace(temp, target);
  } catch (...) {
    RemoveDatabaseFiles(temp);
    throw;
  }
  // The log and shared-memory files of the temporary name are gone with its connection;
  // remove any left by an unusual shutdown so nothing of the build stays beside the file.
  RemoveDatabaseFiles(temp);
}
