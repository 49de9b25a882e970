#pragma once
// Safekeeping of the database file: backup, restore and compaction. Each writes its result
// beside the target under a temporary name, flushes it, renames it over the target and flushes
// the folder, so a crash at any moment leaves the target's old or new content whole, never a
// mix. Temporaries go on every failure.
#include "core/System.h"

#include <functional>

class TADOConnection;

// The steps of the operations below, in the order they run; the step hook hears each one
// before it runs.
enum class TDbFileStep {
  Compact,      // VACUUM INTO a temporary beside the file
  Copy,         // the online backup into the temporary beside the target
  Check,        // quick_check and schema of the copy
  Flush,        // the copy to disk
  CloseLog,     // the target's write-ahead log emptied and gone
  Rename,       // the copy over the target
  FlushFolder,  // the rename to disk
};

// Called before each step; what it throws fails the operation at that step (tests).
using TDbFileStepHook = std::function<void(TDbFileStep)>;
// Answers the hook it replaces; an empty one removes it.
TDbFileStepHook SetDbFileStepHook(TDbFileStepHook hook);

// Copies the connection's database into Target (overwritten) as one consistent snapshot; the
// connection stays open. A failure keeps an earlier Target as it was. Raises EInOutError.
void BackupDatabase(TADOConnection& Connection, const String& Target);

// Whether FileName, opened read-only, is a sound database holding every table and column of
// the connection's database (names without regard to case). '' when it is; else the reason.
String CheckDatabaseFile(const String& FileName, TADOConnection& Connection);

// Puts Source in place of Target; the connections to Target must be closed. Source is copied
// beside Target and checked (a sound database with Target's tables and columns), Target's
// write-ahead log is emptied, then the copy is renamed over Target. Refused with EInOutError,
// Target untouched, when Source is no sound database of that schema or Target is in use.
void ReplaceDatabaseFile(const String& Source, const String& Target);

// Removes what a backup, restore or compaction killed part-way left in Folder: the files of
// their temporary naming ("~CP" or "." + a file name, then ".tmp<process>_<n>") whose name
// starts with Prefix (any, when Prefix is empty), each with SQLite's side files. A file whose
// process still runs is at work and stays; no file of any other name is touched. Answers how
// many files went. The operations below call it for their own names before they start.
int RemoveDbFileLeftovers(const String& Folder, const String& Prefix = String());

// Compacts the database file (its connections closed): VACUUM INTO a "~CP" file beside it,
// flushed, renamed over it once its log is emptied. Raises EInOutError; the file is then
// unchanged.
void CompactDatabaseFile(const String& FileName);
