#pragma once
// Translation of the program's SQL text (the Jet dialect: #date# literals, iif, one-argument
// isnull, cdate, len, & concatenation, top N, [names], Jet column types in DDL, text compared
// without regard to case) into SQLite statements. Dates live in the database as REAL day
// counts since 1899-12-30, so the translator has to know which columns hold dates; it asks a
// schema for the declared column types. A statement it cannot translate faithfully is refused
// with an error quoting it, never passed on with a different meaning.
// Declares TJetColumnType, TJetColumn, TJetSchema and TJetTranslation.
#include "core/Exceptions.h"
#include "core/SysUtils.h"
#include "core/System.h"
#include <string_view>
#include <vector>

// What a declared column type means to the program: the field class it gets and its size.
enum class TJetColumnKind {
  Unknown, Text, Memo, Integer, SmallInt, Byte, LargeInt, Float, Currency, Decimal, DateTime,
  Boolean, Blob
};

struct TJetColumnType {
  TJetColumnKind Kind = TJetColumnKind::Unknown;
  int Size = 0;  // characters of a text column, 0 for the others
};

// The declared type of a column as stored by the DDL below ("TEXT(50)", "LONGTEXT",
// "DATETIME", "CURRENCY", "BIT", ...); unknown and empty types answer Unknown.
TJetColumnType ClassifyDeclaredType(std::string_view declType);

struct TJetColumn {
  String Name;
  String DeclType;
};

// The schema the translator consults; the connection answers it from PRAGMA table_info.
class TJetSchema {
public:
  virtual ~TJetSchema() = default;
  // Columns of a table or view in their order; nullptr when no table or view has that name
  // (names compare without regard to case).
  virtual const std::vector<TJetColumn>* Columns(const String& table) = 0;
  virtual bool IsView(const String& name) = 0;
};

enum class TJetStatementKind { Select, Insert, Update, Delete, Ddl, Other };

struct TJetTranslation {
  String Sql;  // the SQLite statement
  TJetStatementKind Kind = TJetStatementKind::Other;
  bool ChangesSchema = false;  // CREATE, ALTER, DROP: the caller refreshes its schema cache
  // Date text was read (a #date# literal, text compared with a date column): the day counts
  // follow the format settings of the moment.
  bool ReadsDateText = false;
  // For "select … from T [where …] [order by …]" over one table (no join, grouping,
  // aggregate, distinct, union or derived table): T as written, else ''.
  String UpdatableTable;
  // With an updatable table: Sql with SQLite's rowid as an extra first column, so edits can
  // find their row again.
  String RowIdSql;
  std::vector<String> ParamNames;  // ":name" parameters in order of appearance, without ':'
  // Parallel to ParamNames: compared with or set into a date, so text bound to it is the day
  // count it names, as a literal would be.
  std::vector<bool> ParamIsDate;
  // Whether the parameter `name` ("" for the index-th '?', 0-based) stands where a date goes.
  bool IsDateParam(const String& name, int positional) const;
};

// Refuses a statement: raised by the translator with the statement quoted in the message.
KELM_EXCEPTION(EJetSqlError, Exception);

// Translates one statement (a trailing ';' is allowed). `schema` may be nullptr: date
// columns are then unknown. Raises EJetSqlError.
TJetTranslation TranslateJetSql(std::string_view jet, TJetSchema* schema);

// The ":name" parameters of a statement, each once, in order of first appearance. Never fails:
// the text may be half written while a query's SQL is being built line by line.
std::vector<String> ScanJetParameters(std::string_view jet);

// Splits a script into statements at ';' outside literals and names; blank ones are dropped.
std::vector<String> SplitJetScript(std::string_view script);

// Date text as the program writes it: the short-date format of the format settings (with an
// optional time), and also yyyy-mm-dd, yyyy/m/d and m/d/yyyy.
bool JetTryParseDate(std::string_view text, TDateTime& value);
// A day count as a REAL literal that reads back exactly ("45352.0", "45352.4375").
String JetRealLiteral(double value);
