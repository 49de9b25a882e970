#pragma once
// Databases whose content is known whole: the sample tables plus `bulk`, whose rows all carry
// one tag, so a file shows at a glance whether it holds one version entirely.
#include "AdoTestDb.h"
#include "core/FileUtils.h"

#include <sqlite3.h>

#include <filesystem>

// Makes `file` with the sample schema and `rows` rows tagged `tag` (each ~200 bytes).
inline void MakeTaggedDb(const String& file, const String& tag, int rows) {
  CreateDatabaseFromScript(file, String(SampleScript()) + ";CREATE TABLE bulk (id COUNTER, tag TEXT(10), pad TEXT(200))");
  sqlite3* db = nullptr;
  sqlite3_open(file.c_str(), &db);
  sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
  sqlite3_stmt* s = nullptr;
  sqlite3_prepare_v2(db, "INSERT INTO bulk (tag, pad) VALUES (?, ?)", -1, &s, nullptr);
  for (int i = 0; i < rows; ++i) {
    String pad = tag + std::string(180, static_cast<char>('a' + i % 26)) + std::to_string(i);
    sqlite3_bind_text(s, 1, tag.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(s, 2, pad.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_step(s);
    sqlite3_reset(s);
  }
  sqlite3_finalize(s);
  sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
  sqlite3_close(db);
}

// The same over whatever the file and its side files held.
inline void RemakeTaggedDb(const String& file, const String& tag, int rows) {
  for (const char* s : {"", "-wal", "-shm", "-journal"}) DeleteFile(file + s);
  MakeTaggedDb(file, tag, rows);
}

// What a database file holds, opened as a program would (its log recovered): "<tag>:<rows>"
// when every bulk row has one tag, "mixed" when not, or why it could not be read. Its
// quick_check must say "ok" too, else that is the answer.
inline String TaggedContent(const String& file) {
  if (!FileExists(file)) return "missing";
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
    sqlite3_close(db);
    return "cannot open";
  }
  String result;
  auto text = [&](const char* sql) {
    sqlite3_stmt* s = nullptr;
    String v = "<error>";
    if (sqlite3_prepare_v2(db, sql, -1, &s, nullptr) == SQLITE_OK && sqlite3_step(s) == SQLITE_ROW)
      v = sqlite3_column_text(s, 0) ? reinterpret_cast<const char*>(sqlite3_column_text(s, 0)) : "";
    else v = String("<error: ") + sqlite3_errmsg(db) + ">";
    sqlite3_finalize(s);
    return v;
  };
  String check = text("PRAGMA quick_check");
  if (check != "ok") result = "quick_check: " + check;
  else if (text("SELECT count(DISTINCT tag) FROM bulk") != "1") result = "mixed";
  else result = text("SELECT min(tag) || ':' || count(*) FROM bulk");
  sqlite3_close(db);
  return result;
}

// The names in a folder that are none of `expected` (temporaries left behind).
inline std::vector<String> StrayFiles(const String& folder, std::initializer_list<String> expected) {
  std::vector<String> stray;
  for (const auto& e : std::filesystem::directory_iterator(folder)) {
    String name = e.path().filename().string();
    if (std::find(expected.begin(), expected.end(), name) == expected.end()) stray.push_back(name);
  }
  return stray;
}
