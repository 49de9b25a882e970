#pragma once
// A throw-away SQLite file for benchmarks that show a table through the layer: one table of
// text and amount rows, filled in one transaction through the C API, removed with its folder.
#include "core/System.h"

#include <sqlite3.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>

namespace bench {

class TBenchDb {
public:
  // Creates table pact (id, <TextColumn> TEXT(20), amount DOUBLE) with Rows rows, the text of
  // row i given by Text(i) and its amount i * 1.5.
  TBenchDb(const std::string& Name, const std::string& TextColumn, int Rows, const std::function<String(int)>& Text) {
    FFolder = (std::filesystem::temp_directory_path() / (Name + "-" + std::to_string(::getpid()))).string();
    std::filesystem::create_directories(FFolder);
    FFile = FFolder + "/bench.db";
    sqlite3* db = nullptr;
    sqlite3_open(FFile.c_str(), &db);
    std::string create = "CREATE TABLE pact (id INTEGER PRIMARY KEY, " + TextColumn + " TEXT(20), amount DOUBLE); BEGIN";
    sqlite3_exec(db, create.c_str(), nullptr, nullptr, nullptr);
    sqlite3_stmt* s = nullptr;
    std::string insert = "INSERT INTO pact (" + TextColumn + ", amount) VALUES (?, ?)";
    sqlite3_prepare_v2(db, insert.c_str(), -1, &s, nullptr);
    for (int i = 0; i < Rows; ++i) {
      String text = Text(i);
      sqlite3_bind_text(s, 1, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
      sqlite3_bind_double(s, 2, i * 1.5);
      sqlite3_step(s);
      sqlite3_reset(s);
    }
    sqlite3_finalize(s);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
  }
  ~TBenchDb() { std::filesystem::remove_all(FFolder); }
  TBenchDb(const TBenchDb&) = delete;
  TBenchDb& operator=(const TBenchDb&) = delete;
  String ConnectionString() const { return "Data Source=" + FFile + ";"; }

private:
  std::string FFolder, FFile;
};

}  // namespace bench
