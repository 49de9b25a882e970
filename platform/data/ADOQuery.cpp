// TADOQuery: runs the program's SQL through the translator, holds the rows on the client and
// writes edits of a single-table select back by rowid; TParameters binds ":name" values.
#include "data/ADOQuery.h"


#include "core/ClassBuilder.h"
#include "data/SqliteDb_p.h"
#include "core/StrUtils.h"

#include <map>

namespace {

String QuoteName(const String& name) { return AnsiQuotedStr(name, '"'); }

// What the declared type of a column makes of its field.
TFieldType FieldTypeOf(TJetColumnKind kind, bool autoInc, bool enableBCD) {
  switch (kind) {
    case TJetColumnKind::Text: return ftWideString;
    case TJetColumnKind::Memo: return ftMemo;
    case TJetColumnKind::Integer: return autoInc ? ftAutoInc : ftInteger;
    case TJetColumnKind::SmallInt: return ftSmallint;
    case TJetColumnKind::Byte: return ftWord;
    case TJetColumnKind::LargeInt: return ftLargeint;
    case TJetColumnKind::Float: return ftFloat;
    case TJetColumnKind::Currency: return enableBCD ? ftBCD : ftCurrency;
    case TJetColumnKind::Decimal: return ftBCD;
    case TJetColumnKind::DateTime: return ftDateTime;
    case TJetColumnKind::Boolean: return ftBoolean;
    case TJetColumnKind::Blob: return ftBlob;
    default: return ftUnknown;
  }
}

// The types an expression column's values had, to give it a field type after the fetch.
struct TValueKinds {
  bool Int = false, Real = false, Text = false, Blob = false, Wide = false;
  int MaxLength = 0;
  TFieldType Type() const {
    if (Text) return ftWideString;
    if (Blob) return ftBlob;
    if (Real) return ftFloat;
    if (Int) return Wide ? ftLargeint : ftInteger;
    return ftWideString;
  }
};

// Column `col` of the current row as the column's kind reads it: amounts kept to four decimals
// (read half to even), whole numbers of float and date columns as floats. Text and blobs point
// into the statement's buffer, valid until it steps or resets.
TCellView ColumnCell(sqlite3_stmt* s, int col, TJetColumnKind kind) {
  bool money = kind == TJetColumnKind::Currency || kind == TJetColumnKind::Decimal;
  TCellView v;
  switch (sqlite3_column_type(s, col)) {
    case SQLITE_NULL: break;
    case SQLITE_INTEGER:
      if (money) {
        v.Kind = TCellKind::Currency;
        v.Int = Currency(sqlite3_column_int64(s, col)).Value;
      } else if (kind == TJetColumnKind::Float || kind == TJetColumnKind::DateTime) {
        v.Kind = TCellKind::Float;
        v.Float = static_cast<double>(sqlite3_column_int64(s, col));
      } else {
        v.Kind = TCellKind::Integer;
        v.Int = sqlite3_column_int64(s, col);
      }
      break;
    case SQLITE_FLOAT:
      if (money) {
        v.Kind = TCellKind::Currency;
        v.Int = Currency::FromDouble(sqlite3_column_double(s, col)).Value;
      } else {
        v.Kind = TCellKind::Float;
        v.Float = sqlite3_column_double(s, col);
      }
      break;
    case SQLITE_TEXT:
      v.Kind = TCellKind::Text;
      v.Bytes = std::string_view(reinterpret_cast<const char*>(sqlite3_column_text(s, col)),
                                 static_cast<std::size_t>(sqlite3_column_bytes(s, col)));
      break;
    default:
      v.Kind = TCellKind::Blob;
      v.Bytes = std::string_view(static_cast<const char*>(sqlite3_column_blob(s, col)),
                                 static_cast<std::size_t>(sqlite3_column_bytes(s, col)));
  }
  return v;
}

void NoteKind(sqlite3_stmt* s, int col, TValueKinds& k) {
  switch (sqlite3_column_type(s, col)) {
    case SQLITE_INTEGER: {
      k.Int = true;
      Int64 v = sqlite3_column_int64(s, col);
      if (v > INT32_MAX || v < INT32_MIN) k.Wide = true;
      break;
    }
    case SQLITE_FLOAT: k.Real = true; break;
    case SQLITE_TEXT:
      k.Text = true;
      k.MaxLength = std::max(k.MaxLength, Length(reinterpret_cast<const char*>(sqlite3_column_text(s, col))));
      break;
    case SQLITE_BLOB: k.Blob = true; break;
    default: break;
  }
}

// Binds a value of the dataset's row as the column stores it: Booleans 1/0, amounts at four
// decimals, dates as day counts.
void BindCell(TSqliteDb& db, sqlite3_stmt* s, int index, const TCellView& c, TJetColumnKind kind, const String& column,
              const String& shown) {
  int rc = SQLITE_OK;
  bool money = kind == TJetColumnKind::Currency || kind == TJetColumnKind::Decimal;
  switch (c.Kind) {
    case TCellKind::Null: rc = sqlite3_bind_null(s, index); break;
    case TCellKind::Integer:
      rc = sqlite3_bind_int64(s, index, kind == TJetColumnKind::Boolean ? (c.Int != 0 ? 1 : 0) : c.Int);
      break;
    case TCellKind::Float:
      if (kind == TJetColumnKind::Boolean) rc = sqlite3_bind_int(s, index, c.Float != 0 ? 1 : 0);
      else if (money) rc = sqlite3_bind_double(s, index, Currency::FromDouble(c.Float).ToDouble());
      else rc = sqlite3_bind_double(s, index, c.Float);
      break;
    case TCellKind::Currency: rc = sqlite3_bind_double(s, index, Currency::FromRaw(c.Int).ToDouble()); break;
    case TCellKind::Text:
      if (kind == TJetColumnKind::DateTime) {
        // Date text kept by a field that stores text: stored as the day count it names.
        TDateTime d;
        if (!JetTryParseDate(Trim(String(c.Bytes)), d))
          throw EADOError("'" + String(c.Bytes) + "' is not a valid date", SQLITE_MISMATCH, shown);
        rc = sqlite3_bind_double(s, index, d);
        break;
      }
      db.BindText(s, index, c.Bytes, "column", column, shown);
      break;
    case TCellKind::Blob:
      rc = sqlite3_bind_blob(s, index, c.Bytes.data(), static_cast<int>(c.Bytes.size()), SQLITE_TRANSIENT);
      break;
  }
  if (rc != SQLITE_OK) db.Fail(rc, shown);
}

// The cache key of a write: its kind and the positions of the columns it sets.
String WriteKey(char kind, const std::vector<int>& cols) {
  String key(1, kind);
  key.reserve(1 + 4 * cols.size());
  for (int c : cols) key.append(reinterpret_cast<const char*>(&c), sizeof c);
  return key;
}

const char* const SRowNotFound = "Row cannot be located for updating. Some values may have been changed since it was last read";

}  // namespace

// ------------------------------------------------------------------------------ parameters

KELM_PUBLISH(TParameter) { Published(b); }

TParameter::TParameter(TCollection* Collection) : TCollectionItem(Collection) {}

void TParameter::SetValue(const Variant& value) {
  FValue = value;
  if (FDataType != ftUnknown) return;
  switch (VarType(value) & varTypeMask) {
    case varSmallint: case varShortInt: case varByte: FDataType = ftSmallint; break;
    case varInteger: case varWord: case varLongWord: FDataType = ftInteger; break;
    case varInt64: FDataType = ftLargeint; break;
    case varSingle: case varDouble: FDataType = ftFloat; break;
    case varCurrency: FDataType = ftCurrency; break;
    case varDate: FDataType = ftDateTime; break;
    case varBoolean: FDataType = ftBoolean; break;
    case varString: case varOleStr: FDataType = ftWideString; break;
    default: break;
  }
}

void TParameter::Assign(TPersistent* Source) {
  if (auto* p = dynamic_cast<TParameter*>(Source)) {
    FName = p->FName;
    FDataType = p->FDataType;
    FDirection = p->FDirection;
    FSize = p->FSize;
    FValue = p->FValue;
    return;
  }
  TCollectionItem::Assign(Source);
}

KELM_PUBLISH(TParameters) {}

TParameters::TParameters(TPersistent* Owner) : TOwnedCollection(Owner, TParameter::StaticClass()) {}

TParameter* TParameters::CreateParameter(const String& name, TFieldType dataType, TParameterDirection direction,
                                         int size, const Variant& value) {
  TParameter* p = AddParameter();
  p->SetName(name);
  p->SetDataType(dataType);
  p->SetDirection(direction);
  p->SetSize(size);
  p->SetValue(value);
  return p;
}

TParameter* TParameters::FindParam(const String& name) const {
  for (int i = 0; i < Count(); ++i)
    if (SameText(Items(i)->Name(), name)) return Items(i);
  return nullptr;
}

TParameter* TParameters::ParamByName(const String& name) const {
  if (TParameter* p = FindParam(name)) return p;
  throw EADOError("Parameter '" + name + "' not found");
}

void TParameters::ParseSQL(const String& sql) {
  std::vector<String> names = ScanJetParameters(sql);
  std::map<String, std::pair<Variant, TFieldType>> kept;
  for (int i = 0; i < Count(); ++i) kept[UpperCase(Items(i)->Name())] = {Items(i)->Value(), Items(i)->DataType()};
  WithinUpdate(*this, [&] {
    Clear();
    for (const String& n : names) {
      TParameter* p = AddParameter();
      p->SetName(n);
      auto it = kept.find(UpperCase(n));
      if (it != kept.end()) {
        p->SetDataType(it->second.second);
        p->SetValue(it->second.first);
      }
    }
  });
}

// ------------------------------------------------------------------------------ TADOQuery

// The write statements of the open result, prepared once each. A write is found by its key
// (its kind and the columns it sets), so writing a row again builds no SQL text.
struct TADOQuery::TStatementCache {
  struct TEntry {
    TSqliteStatement Stmt;
    String Sql;
  };
  std::map<String, TEntry> Items;
};

// Follows the master's current record for the parameters named like its fields.
class TADOQuery::TMasterLink : public TDataLink {
public:
  explicit TMasterLink(TADOQuery* q) : FQuery(q) {}

protected:
  void ActiveChanged() override { FQuery->MasterChanged(); }
  void RecordChanged(TField* field) override {
    if (!field) FQuery->MasterChanged();
  }

private:
  TADOQuery* FQuery;
};

KELM_PUBLISH(TADOQuery) { Published(b); }

TADOQuery::TADOQuery(TComponent* AOwner)
    : TDataSet(AOwner), FSQL(std::make_unique<TStringList>()), FParameters(std::make_unique<TParameters>(this)),
      FStatements(std::make_unique<TStatementCache>()) {
  FSQL->SetOnChange(TNotifyEvent(this, &TADOQuery::SQLChanged));
}

TADOQuery::~TADOQuery() {
  // The dataset's own close runs here, while this class's part still exists.
  try {
    Close();
  } catch (...) {
  }
  FMasterLink.reset();
  if (FMasterSource) FMasterSource->RemoveFreeNotification(this);
  FStatements.reset();
  if (FConnection) {
    FConnection->RemoveClient(this);
    FConnection->RemoveFreeNotification(this);
  }
  if (FOwnConnection) FOwnConnection->RemoveClient(this);
}

TADOConnection* TADOQuery::ActiveConnection() const { return FConnection ? FConnection : FOwnConnection.get(); }

TSqliteDb& TADOQuery::Db() {
  TADOConnection* c = ActiveConnection();
  if (!c) DatabaseError("Missing Connection or ConnectionString", this);
  return c->Db();
}

void TADOQuery::SetConnection(TADOConnection* value) {
  if (value == FConnection) return;
  Close();
  if (FConnection) {
    FConnection->RemoveClient(this);
    FConnection->RemoveFreeNotification(this);
  }
  FConnection = value;
  if (value) {
    FOwnConnection.reset();
    value->FreeNotification(this);
    value->AddClient(this);
  }
}

String TADOQuery::ConnectionString() const {
  TADOConnection* c = ActiveConnection();
  return c ? c->ConnectionString() : String();
}

void TADOQuery::SetConnectionString(const String& value) {
  if (!FConnection && FOwnConnection && FOwnConnection->ConnectionString() == value) return;
  Close();
  SetConnection(nullptr);
  FStatements->Items.clear();
  FOwnConnection.reset();
  if (value.empty()) return;
  FOwnConnection = std::make_unique<TADOConnection>(nullptr);
  FOwnConnection->SetConnectionString(value);
  FOwnConnection->AddClient(this);
}

void TADOQuery::Notification(TComponent* component, TOperation operation) {
  TDataSet::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == FConnection) {
    FStatements->Items.clear();
    FConnection = nullptr;
  }
  if (component == FMasterSource) {
    FMasterSource = nullptr;
    if (FMasterLink) FMasterLink->SetDataSource(nullptr);
  }
}

void TADOQuery::SetDataSource(TDataSource* value) {
  if (value == FMasterSource) return;
  AssignReference(this, FMasterSource, value);
  if (value && !FMasterLink) FMasterLink = std::make_unique<TMasterLink>(this);
  if (FMasterLink) FMasterLink->SetDataSource(value);
}

bool TADOQuery::AssignMasterParameters() {
  if (!FMasterSource || FParameters->Count() == 0) return false;
  TDataSet* master = FMasterSource->DataSet();
  if (!master || !master->Active()) return false;
  bool any = false;
  for (int i = 0; i < FParameters->Count(); ++i) {
    TParameter* p = FParameters->Items(i);
    if (TField* f = master->FindField(p->Name())) {
      p->SetValue(f->Value());
      any = true;
    }
  }
  return any;
}

void TADOQuery::MasterChanged() {
  if (AssignMasterParameters() && State() == dsBrowse) Requery();
}

void TADOQuery::SQLChanged(TObject*) {
  Close();
  FStatements->Items.clear();
  if (FParamCheck) FParameters->ParseSQL(FSQL->Text());
}

void TADOQuery::SetLockType(TADOLockType value) {
  if (value == FLockType) return;
  CheckInactive();
  FLockType = value;
  SetCachedUpdates(value == ltBatchOptimistic);
}

void TADOQuery::SetEnableBCD(bool value) {
  if (value == FEnableBCD) return;
  CheckInactive();
  FEnableBCD = value;
}

bool TADOQuery::GetCanModify() const { return Active() && !FTable.empty() && FLockType != ltReadOnly; }

void TADOQuery::BindParameters(void* stmtPtr, const TJetTranslation& t, const String& shown) {
  auto* stmt = static_cast<sqlite3_stmt*>(stmtPtr);
  TSqliteDb& db = Db();
  int positional = 0;
  for (int i = 1, n = sqlite3_bind_parameter_count(stmt); i <= n; ++i) {
    const char* raw = sqlite3_bind_parameter_name(stmt, i);
    TParameter* p = nullptr;
    String name;
    bool date = false;
    if (raw) {
      name = raw + 1;
      p = FParameters->FindParam(name);
      date = t.IsDateParam(name, 0);
    } else {
      name = "?" + IntToStr(positional + 1);
      if (positional < FParameters->Count()) p = FParameters->Items(positional);
      date = t.IsDateParam("", positional);
      ++positional;
    }
    if (!p) throw EADOError("No value given for parameter '" + name + "'", SQLITE_RANGE, shown);
    Variant v = p->Value();
    date = date || p->DataType() == ftDate || p->DataType() == ftDateTime || p->DataType() == ftTime;
    // Date text, for a date parameter or one that stands where a date goes, is bound as the day
    // count the text names, as a literal there would be.
    if (date && VarIsStr(v)) {
      TDateTime d;
      if (!JetTryParseDate(Trim(v.AsString()), d))
        throw EADOError("'" + v.AsString() + "' is not a valid date for parameter '" + name + "'", SQLITE_MISMATCH, shown);
      v = Variant::FromDate(d);
    }
    db.Bind(stmt, i, v, shown);
  }
}

void TADOQuery::InternalInitFieldDefs() {
  TSqliteDb& db = Db();
  String jet = CommandText();
  std::shared_ptr<const TJetTranslation> t = db.Translate(jet);
  TSqliteStatement s = db.Prepare(t->Sql, jet);
  FieldDefs()->Clear();
  for (int i = 0, n = sqlite3_column_count(s.Get()); i < n; ++i) {
    const char* decl = sqlite3_column_decltype(s.Get(), i);
    TJetColumnType type = ClassifyDeclaredType(decl ? decl : "");
    TFieldType ft = FieldTypeOf(type.Kind, false, FEnableBCD);
    FieldDefs()->Add(sqlite3_column_name(s.Get(), i), ft == ftUnknown ? ftWideString : ft,
                     ft == ftWideString || ft == ftUnknown ? std::max(type.Size, 255) : 0);
  }
}

void TADOQuery::InternalOpen() {
  FOpenedInTransaction = false;
  AssignMasterParameters();
  Fetch(true);
  TADOConnection* c = ActiveConnection();
  if (c && c->InTransaction()) {
    // Rows read inside a transaction may not survive it; a rollback reads them again.
    FOpenedInTransaction = true;
    c->JoinTransaction(this);
  }
}

// One column of a result as the fetch reads it: what it is called, what field it makes and
// the table column it writes back to.
struct TADOQuery::TResultColumn {
  String Name;                // unique within the result
  TFieldType Type = ftUnknown;  // ftUnknown: an expression, typed by its values after the fetch
  int Size = 0;
  bool ReadOnly = false;      // in an updatable result, a column of no base column
  TColumn Column;
  TValueKinds Seen;           // the kinds of value an expression column held
};

// The columns of a prepared select (after the rowid when First is 1): their declared types,
// the base columns they show, and names made unique.
std::vector<TADOQuery::TResultColumn> TADOQuery::DescribeColumns(sqlite3_stmt* s, int first,
                                                                 const TJetTranslation& t) {
  TSqliteDb& db = Db();
  const bool updatable = first > 0;
  const int n = sqlite3_column_count(s) - first;
  std::vector<TResultColumn> columns(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) {
    TResultColumn& rc = columns[static_cast<std::size_t>(i)];
    int c = i + first;
    const char* decl = sqlite3_column_decltype(s, c);
    TJetColumnType type = ClassifyDeclaredType(decl ? decl : "");
    const char* table = sqlite3_column_table_name(s, c);
    const char* origin = sqlite3_column_origin_name(s, c);
    bool autoInc = false;
    if (table && origin) {
      int notNull = 0, pk = 0, autoinc = 0;
      if (sqlite3_table_column_metadata(db.Handle(), sqlite3_column_database_name(s, c), table, origin, nullptr, nullptr,
                                        &notNull, &pk, &autoinc) == SQLITE_OK)
        autoInc = autoinc != 0;
    }
    rc.Column.Kind = type.Kind;
    if (updatable && table && origin && SameText(table, t.UpdatableTable)) rc.Column.Origin = origin;
    rc.ReadOnly = updatable && rc.Column.Origin.empty();
    rc.Type = FieldTypeOf(type.Kind, autoInc, FEnableBCD);
    rc.Size = type.Kind == TJetColumnKind::Text ? type.Size : 0;
    // Equal names (joins) are told apart by their table, as the result names them.
    auto taken = [&](const String& candidate) {
      for (int k = 0; k < i; ++k)
        if (SameText(columns[static_cast<std::size_t>(k)].Name, candidate)) return true;
      return false;
    };
    String name = sqlite3_column_name(s, c);
    if (taken(name)) name = String(table ? table : "Expr") + "." + name;
    const String base = name;
    for (int dup = 1; taken(name); ++dup) name = base + "_" + IntToStr(dup);
    rc.Name = name;
  }
  return columns;
}

// Field definitions before the rows; expression columns get their type after the fetch.
void TADOQuery::DefineFields(const std::vector<TResultColumn>& columns) {
  FieldDefs()->Clear();
  for (const TResultColumn& c : columns) {
    TFieldDef* d = FieldDefs()->Add(c.Name, c.Type == ftUnknown ? ftWideString : c.Type, c.Size);
    if (c.ReadOnly) d->SetAttributes(d->Attributes() + faReadonly);
  }
}

// Steps through the result, one stored row per result row (up to MaxRecords), and keeps each
// row's rowid when the result is updatable.
void TADOQuery::ReadRows(sqlite3_stmt* s, int first, std::vector<TResultColumn>& columns, const String& shown) {
  TSqliteDb& db = Db();
  const int n = static_cast<int>(columns.size());
  std::vector<int> expressions;
  for (int i = 0; i < n; ++i)
    if (columns[static_cast<std::size_t>(i)].Type == ftUnknown) expressions.push_back(i);
  ClearRows();
  FRowIds.clear();
  TRowWriter w(n);
  int count = 0;
  while ((FMaxRecords <= 0 || count < FMaxRecords) && db.Step(s, shown)) {
    w.Clear();
    for (int i = 0; i < n; ++i) w.SetCell(i, ColumnCell(s, i + first, columns[static_cast<std::size_t>(i)].Column.Kind));
    for (int i : expressions) NoteKind(s, i + first, columns[static_cast<std::size_t>(i)].Seen);
    int id = AppendRow(w);
    if (first > 0) {
      if (id >= static_cast<int>(FRowIds.size())) FRowIds.resize(static_cast<std::size_t>(id) + 1, -1);
      FRowIds[static_cast<std::size_t>(id)] = sqlite3_column_int64(s, 0);
    }
    ++count;
  }
}

// An expression column's field takes the type of the values it held.
void TADOQuery::TypeExpressionFields(const std::vector<TResultColumn>& columns) {
  for (int i = 0; i < static_cast<int>(columns.size()); ++i) {
    const TResultColumn& c = columns[static_cast<std::size_t>(i)];
    if (c.Type != ftUnknown) continue;
    TFieldDef* d = FieldDefs()->Items(i);
    d->SetDataType(c.Seen.Type());
    if (d->DataType() == ftWideString) d->SetSize(std::max(c.Seen.MaxLength, 255));
  }
}

void TADOQuery::Fetch(bool defineFields) {
  TSqliteDb& db = Db();
  String jet = CommandText();
  std::shared_ptr<const TJetTranslation> t = db.Translate(jet);
  if (t->Kind != TJetStatementKind::Select && t->Kind != TJetStatementKind::Other)
    throw EADOError("The statement returns no records; run it with ExecSQL", 0, jet);
  bool updatable = !t->UpdatableTable.empty();
  TSqliteStatement stmt = db.Prepare(updatable ? t->RowIdSql : t->Sql, jet);
  sqlite3_stmt* s = stmt.Get();
  BindParameters(s, *t, jet);
  const int first = updatable ? 1 : 0;

  std::vector<TResultColumn> columns = DescribeColumns(s, first, *t);
  if (defineFields) DefineFields(columns);
  else if (FieldDefs()->Count() != static_cast<int>(columns.size()))
    throw EADOError("The statement's columns changed since the query was opened", 0, jet);
  ReadRows(s, first, columns, jet);
  if (defineFields) TypeExpressionFields(columns);

  FColumns.clear();
  for (TResultColumn& c : columns) FColumns.push_back(std::move(c.Column));
  FTable = updatable ? t->UpdatableTable : String();
}

void TADOQuery::InternalClose() {
  FStatements->Items.clear();
  FColumns.clear();
  FRowIds.clear();
  FRowIds.shrink_to_fit();
  FTable.clear();
  FOpenedInTransaction = false;
}

void TADOQuery::InternalRefresh() { Fetch(false); }

void TADOQuery::Requery() {
  if (!Active()) {
    Open();
    return;
  }
  CheckBrowseMode();
  if (PendingUpdateCount() > 0) CancelCachedUpdates();
  Refresh();
  First();
}

TADOQuery::TCachedStatement TADOQuery::CachedStatement(const String& key, String (TADOQuery::*makeSql)(const std::vector<int>&) const,
                                                      const std::vector<int>& cols) {
  auto it = FStatements->Items.find(key);
  if (it == FStatements->Items.end()) {
    String sql = (this->*makeSql)(cols);
    TSqliteStatement stmt = Db().Prepare(sql, sql);
    it = FStatements->Items.emplace(key, TStatementCache::TEntry{std::move(stmt), std::move(sql)}).first;
  }
  sqlite3_stmt* s = it->second.Stmt.Get();
  sqlite3_reset(s);
  sqlite3_clear_bindings(s);
  return {s, &it->second.Sql};
}

String TADOQuery::InsertSql(const std::vector<int>& cols) const {
  String sql = "INSERT INTO " + QuoteName(FTable);
  if (cols.empty()) return sql + " DEFAULT VALUES";
  String names, marks;
  for (int c : cols) {
    names += (names.empty() ? "" : ", ") + QuoteName(FColumns[c].Origin);
    marks += marks.empty() ? "?" : ", ?";
  }
  return sql + " (" + names + ") VALUES (" + marks + ")";
}

String TADOQuery::RereadSql(const std::vector<int>& cols) const {
  String names;
  for (int c : cols) names += (names.empty() ? "" : ", ") + QuoteName(FColumns[c].Origin);
  return "SELECT " + names + " FROM " + QuoteName(FTable) + " WHERE rowid = ?";
}

String TADOQuery::UpdateSql(const std::vector<int>& cols) const {
  String sets;
  for (int c : cols) sets += (sets.empty() ? "" : ", ") + QuoteName(FColumns[c].Origin) + " = ?";
  return "UPDATE " + QuoteName(FTable) + " SET " + sets + " WHERE rowid = ?";
}

String TADOQuery::DeleteSql(const std::vector<int>&) const { return "DELETE FROM " + QuoteName(FTable) + " WHERE rowid = ?"; }

Int64 TADOQuery::RowIdOf(int rowId) const {
  if (rowId < 0 || rowId >= static_cast<int>(FRowIds.size()) || FRowIds[static_cast<std::size_t>(rowId)] < 0)
    throw EADOError(SRowNotFound);
  return FRowIds[static_cast<std::size_t>(rowId)];
}

// Writes take part in the connection's transaction, so its rollback also undoes them here.
void TADOQuery::EnterWrite() {
  TADOConnection* c = ActiveConnection();
  if (!c || !c->InTransaction()) return;
  if (!HasRollbackPoint() && !FOpenedInTransaction) SaveRollbackPoint();
  c->JoinTransaction(this);
}

void TADOQuery::InternalPost(TRowUpdate& update) {
  if (FTable.empty() || FLockType == ltReadOnly) DatabaseError(SDataSetReadOnly, this);
  TSqliteDb& db = Db();
  EnterWrite();
  std::vector<int> cols;
  for (int i = 0; i < static_cast<int>(FColumns.size()); ++i)
    if (!FColumns[i].Origin.empty() && update.Changed(i)) cols.push_back(i);
  auto bindNew = [&](sqlite3_stmt* s, const String& sql) {
    for (std::size_t k = 0; k < cols.size(); ++k)
      BindCell(db, s, static_cast<int>(k) + 1, update.NewCell(cols[k]), FColumns[cols[k]].Kind, FColumns[cols[k]].Origin, sql);
  };

  if (update.Kind() == usInserted) {
    TCachedStatement ins = CachedStatement(WriteKey('I', cols), &TADOQuery::InsertSql, cols);
    bindNew(ins.Stmt, *ins.Sql);
    db.Step(ins.Stmt, *ins.Sql);
    sqlite3_reset(ins.Stmt);
    Int64 rowid = sqlite3_last_insert_rowid(db.Handle());
    int id = update.RowId();
    if (id >= static_cast<int>(FRowIds.size())) FRowIds.resize(static_cast<std::size_t>(id) + 1, -1);
    FRowIds[static_cast<std::size_t>(id)] = rowid;

    // The row as stored: autonumbers and defaults come back into the dataset.
    std::vector<int> all;
    for (int i = 0; i < static_cast<int>(FColumns.size()); ++i)
      if (!FColumns[i].Origin.empty()) all.push_back(i);
    if (all.empty()) return;
    TCachedStatement r = CachedStatement(WriteKey('R', all), &TADOQuery::RereadSql, all);
    sqlite3_bind_int64(r.Stmt, 1, rowid);
    if (db.Step(r.Stmt, *r.Sql))
      for (std::size_t k = 0; k < all.size(); ++k)
        update.SetNewCell(all[k], ColumnCell(r.Stmt, static_cast<int>(k), FColumns[all[k]].Kind));
    sqlite3_reset(r.Stmt);
    return;
  }

  if (cols.empty()) return;
  TCachedStatement upd = CachedStatement(WriteKey('U', cols), &TADOQuery::UpdateSql, cols);
  bindNew(upd.Stmt, *upd.Sql);
  sqlite3_bind_int64(upd.Stmt, static_cast<int>(cols.size()) + 1, RowIdOf(update.RowId()));
  db.Step(upd.Stmt, *upd.Sql);
  sqlite3_reset(upd.Stmt);
  if (sqlite3_changes(db.Handle()) != 1) throw EADOError(SRowNotFound, 0, *upd.Sql);
}

void TADOQuery::InternalDelete(TRowUpdate& update) {
  if (FTable.empty() || FLockType == ltReadOnly) DatabaseError(SDataSetReadOnly, this);
  TSqliteDb& db = Db();
  EnterWrite();
  TCachedStatement del = CachedStatement(WriteKey('D', {}), &TADOQuery::DeleteSql, {});
  sqlite3_bind_int64(del.Stmt, 1, RowIdOf(update.RowId()));
  db.Step(del.Stmt, *del.Sql);
  sqlite3_reset(del.Stmt);
  if (sqlite3_changes(db.Handle()) != 1) throw EADOError(SRowNotFound, 0, *del.Sql);
}

int TADOQuery::ExecSQL() {
  TSqliteDb& db = Db();
  String jet = CommandText();
  std::shared_ptr<const TJetTranslation> t = db.Translate(jet);
  TSqliteStatement stmt = db.PrepareRun(t->Sql, jet);
  BindParameters(stmt.Get(), *t, jet);
  while (db.Step(stmt.Get(), jet)) {
  }
  if (t->ChangesSchema) db.InvalidateSchema();
  bool dml = t->Kind == TJetStatementKind::Insert || t->Kind == TJetStatementKind::Update ||
             t->Kind == TJetStatementKind::Delete;
  FRowsAffected = dml ? sqlite3_changes(db.Handle()) : 0;
  return FRowsAffected;
}

void TADOQuery::UpdateBatch() {
  CheckActive();
  CheckBrowseMode();
  if (!CachedUpdates() || PendingUpdateCount() == 0) return;
  EnterWrite();
  ApplyCachedUpdates();
}

void TADOQuery::CancelBatch() {
  CheckActive();
  if (State() == dsEdit || State() == dsInsert) Cancel();
  if (CachedUpdates()) CancelCachedUpdates();
}

void TADOQuery::ConnectionClosing() { Close(); }

void TADOQuery::TransactionEnded(bool committed) {
  if (committed) {
    if (HasRollbackPoint()) ReleaseRollbackPoint();
    FOpenedInTransaction = false;
    return;
  }
  if (HasRollbackPoint()) {
    RestoreRollbackPoint();
  } else if (FOpenedInTransaction && Active()) {
    // What was read inside the transaction is gone with it: read the committed rows again.
    if (State() == dsEdit || State() == dsInsert) Cancel();
    if (PendingUpdateCount() > 0) CancelCachedUpdates();
    Refresh();
  }
  FOpenedInTransaction = false;
}
