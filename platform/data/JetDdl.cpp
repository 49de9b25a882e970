// Jet's data definition in SQLite's: column types, counters, defaults, constraints and the
// index options SQLite lacks.
#include "data/JetDdl_p.h"

#include "core/StrUtils.h"

namespace jet {

namespace {

// The declared type of date columns: read as DATETIME, stored with SQLite's REAL affinity.
constexpr const char* kDateDeclaredType = "DATETIME REAL";

class TDdl {
public:
  TDdl(std::string_view stmt, const std::function<void(Level&)>& rewrite) : FStmt(stmt), FRewrite(rewrite) {}

  void TranslateDdl(Level& top, std::size_t first) {
    std::size_t second = NextSig(top, first + 1);
    if (IsKw(top[first], "create")) {
      std::size_t what = second;
      if (At(top, what, "unique")) what = NextSig(top, what + 1);
      if (At(top, what, "table")) return CreateTable(top, what);
      if (At(top, what, "index")) return CreateIndex(top, what);
      if (At(top, what, "view")) {
        std::size_t as = what;
        while (as != npos && !At(top, as, "as")) as = NextSig(top, as + 1);
        if (as == npos) Fail(FStmt, "CREATE VIEW needs AS");
        Level body(top.begin() + static_cast<std::ptrdiff_t>(as + 1), top.end());
        FRewrite(body);
        top.erase(top.begin() + static_cast<std::ptrdiff_t>(as + 1), top.end());
        top.insert(top.end(), body.begin(), body.end());
        return;
      }
      Fail(FStmt, "Unsupported CREATE statement");
    }
    if (IsKw(top[first], "alter")) return AlterTable(top, second);
    // drop table/view/index: "drop index i on t" loses its "on t".
    if (At(top, second, "index")) {
      std::size_t on = second;
      while (on != npos && !At(top, on, "on")) on = NextSig(top, on + 1);
      if (on != npos) top.erase(top.begin() + static_cast<std::ptrdiff_t>(on), top.end());
    }
  }

  static std::vector<Level> SplitByComma(const Level& l) {
    std::vector<Level> items(1);
    for (const Node& n : l) {
      if (!n.Group && n.T.Kind == K::Comma) items.emplace_back();
      else items.back().push_back(n);
    }
    return items;
  }

  static std::vector<const Node*> Sig(const Level& l) {
    std::vector<const Node*> out;
    for (const Node& n : l)
      if (n.Group || n.T.Kind != K::Blank) out.push_back(&n);
    return out;
  }

  static String Text(const Node& n) {
    String s;
    Emit(Level{n}, s);
    return s;
  }

  struct TypeMap {
    std::initializer_list<const char*> Names;
    const char* Declared;  // "%" takes the size given in the DDL
    bool IsText;
    bool IsCounter;
  };

  const TypeMap& MapType(const String& jetType) {
    static const TypeMap kTypes[] = {
        {{"TEXT", "VARCHAR", "CHAR", "CHARACTER", "NVARCHAR", "NCHAR", "STRING", "ALPHANUMERIC"}, "TEXT(%)", true, false},
        {{"MEMO", "LONGTEXT", "LONGCHAR", "NOTE", "NTEXT", "CLOB"}, "LONGTEXT", true, false},
        {{"LONG", "INTEGER", "INT", "INTEGER4"}, "INTEGER", false, false},
        {{"SHORT", "SMALLINT", "INTEGER2"}, "SMALLINT", false, false},
        {{"BYTE", "TINYINT", "INTEGER1"}, "TINYINT", false, false},
        {{"BIGINT"}, "BIGINT", false, false},
        {{"COUNTER", "AUTOINCREMENT", "IDENTITY"}, "INTEGER PRIMARY KEY AUTOINCREMENT", false, true},
        // REAL affinity keeps a whole day REAL too, so PactDate/7 divides as Jet does.
        {{"DATETIME", "DATE", "TIME", "TIMESTAMP"}, kDateDeclaredType, false, false},
        {{"CURRENCY", "MONEY"}, "CURRENCY", false, false},
        {{"YESNO", "BIT", "LOGICAL", "LOGICAL1", "BOOLEAN"}, "BIT", false, false},
        {{"DOUBLE", "FLOAT", "FLOAT8", "NUMBER", "IEEEDOUBLE"}, "DOUBLE", false, false},
        {{"SINGLE", "REAL", "FLOAT4", "IEEESINGLE"}, "REAL", false, false},
        {{"DECIMAL", "NUMERIC", "DEC"}, "DECIMAL%", false, false},
        {{"BLOB", "LONGBINARY", "IMAGE", "GENERAL", "OLEOBJECT", "BINARY", "VARBINARY"}, "BLOB", false, false},
        {{"GUID", "UNIQUEIDENTIFIER"}, "TEXT(38)", true, false},
    };
    for (const TypeMap& t : kTypes)
      for (const char* n : t.Names)
        if (SameText(jetType, n)) return t;
    Fail(FStmt, "Unknown column type '" + jetType + "'");
  }

  // One column definition: name, Jet type [(size)], constraints. Answers whether it is a counter.
  Level MapColumn(const Level& item, bool& counter) {
    std::vector<const Node*> sig = Sig(item);
    if (sig.size() < 2 || !(IsName(*sig[0]) || sig[0]->T.Kind == K::Ident)) Fail(FStmt, "Column definition without a type");
    if (sig[1]->Group || sig[1]->T.Kind != K::Ident) Fail(FStmt, "Column definition without a type");
    const TypeMap& type = MapType(sig[1]->T.Value);
    std::size_t rest = 2;
    String size;
    if (rest < sig.size() && sig[rest]->Group) {
      size = Text(*sig[rest]);
      ++rest;
    }
    counter = type.IsCounter;
    String decl = type.Declared;
    if (decl.find('%') != String::npos) {
      String inner = size;
      if (decl == "TEXT(%)") inner = size.empty() ? "255" : size.substr(1, size.size() - 2);
      decl = StringReplace(decl, "%", inner, {});
    } else if (counter && !size.empty() && Trim(size) != "(1,1)" && Trim(size) != "(1, 1)") {
      Fail(FStmt, "A counter must start at 1 and count by 1");
    }
    String out = Text(*sig[0]) + " " + decl;
    bool collate = false;
    for (std::size_t i = rest; i < sig.size(); ++i) {
      const Node& n = *sig[i];
      if (IsKw(n, "with")) {  // WITH COMPRESSION / WITH COMP: storage hints only
        ++i;
        continue;
      }
      if (counter && IsKw(n, "constraint") && i + 2 < sig.size() && IsKw(*sig[i + 2], "primary")) {
        i += 3;  // CONSTRAINT name PRIMARY KEY: the counter is the key already
        continue;
      }
      if (counter && IsKw(n, "primary")) {
        ++i;
        continue;
      }
      if (IsKw(n, "collate")) collate = true;
      if (IsKw(n, "default") && i + 1 < sig.size()) {
        // A function default needs parentheses in SQLite: DEFAULT (jet_now()).
        const Node& v = *sig[i + 1];
        if (!v.Group && v.T.Kind == K::Ident && i + 2 < sig.size() && sig[i + 2]->Group) {
          out += " DEFAULT (" + Text(v) + Text(*sig[i + 2]) + ")";
          i += 2;
          continue;
        }
        if (SameText(decl, "BIT") && !v.Group && v.T.Kind == K::Op && v.T.Value == "-" && i + 2 < sig.size() &&
            sig[i + 2]->T.Value == "1") {
          out += " DEFAULT 1";  // Jet's True
          i += 2;
          continue;
        }
      }
      out += " " + Text(n);
    }
    if (type.IsText && !collate) out += " COLLATE NOCASE";
    return Level{Raw(out)};
  }

  void CreateTable(Level& top, std::size_t tableKw) {
    std::size_t name = NextSig(top, tableKw + 1);
    std::size_t g = name == npos ? npos : NextSig(top, name + 1);
    if (g == npos || !top[g].Group) {
      if (At(top, g, "as")) Fail(FStmt, "CREATE TABLE … AS is not supported");
      Fail(FStmt, "CREATE TABLE needs a column list");
    }
    FRewrite(top[g].Kids);  // true/false, #dates#, functions in defaults
    std::vector<Level> items = SplitByComma(top[g].Kids);
    String counterName;
    std::vector<Level> columns, constraints;
    for (Level& item : items) {
      std::vector<const Node*> sig = Sig(item);
      if (sig.empty()) Fail(FStmt, "Empty column definition");
      if (IsKw(*sig[0], "constraint") || IsKw(*sig[0], "primary") || IsKw(*sig[0], "unique") ||
          IsKw(*sig[0], "foreign") || IsKw(*sig[0], "check")) {
        constraints.push_back(item);
        continue;
      }
      bool counter = false;
      columns.push_back(MapColumn(item, counter));
      if (counter) {
        if (!counterName.empty()) Fail(FStmt, "A table can have only one counter");
        counterName = sig[0]->T.Value;
      }
    }
    Level kids;
    auto add = [&](Level item) {
      if (!kids.empty()) kids.push_back(Raw(", ", K::Comma));
      kids.insert(kids.end(), item.begin(), item.end());
    };
    for (Level& c : columns) add(std::move(c));
    for (Level& c : constraints) {
      std::vector<const Node*> sig = Sig(c);
      std::size_t pk = IsKw(*sig[0], "primary") ? 0 : (sig.size() > 2 && IsKw(*sig[2], "primary") ? 2 : npos);
      if (pk != npos && !counterName.empty()) {
        // The counter is the rowid key; another key stays as a unique constraint.
        const Node* cols = pk + 2 < sig.size() ? sig[pk + 2] : nullptr;
        if (cols && cols->Group) {
          std::vector<const Node*> names = Sig(cols->Kids);
          if (names.size() == 1 && SameText(names[0]->T.Value, counterName)) continue;
          add(Level{Raw("UNIQUE " + Text(*cols))});
          continue;
        }
      }
      add(std::move(c));
    }
    top[g].Kids = std::move(kids);
  }

  void CreateIndex(Level& top, std::size_t indexKw) {
    for (std::size_t i = indexKw; i != npos; i = NextSig(top, i + 1)) {
      if (!At(top, i, "with")) continue;
      std::size_t opt = NextSig(top, i + 1);
      if (At(top, opt, "ignore")) {
        top.erase(top.begin() + static_cast<std::ptrdiff_t>(i), top.end());
        return;
      }
      Fail(FStmt, "Index option WITH " + (opt == npos ? String() : top[opt].T.Value) + " is not supported");
    }
  }

  void AlterTable(Level& top, std::size_t tableKw) {
    if (!At(top, tableKw, "table")) Fail(FStmt, "Unsupported ALTER statement");
    std::size_t name = NextSig(top, tableKw + 1);
    std::size_t op = name == npos ? npos : NextSig(top, name + 1);
    if (At(top, op, "drop")) {
      std::size_t what = NextSig(top, op + 1);
      if (At(top, what, "constraint")) Fail(FStmt, "Dropping a constraint is not supported");
      return;
    }
    if (!At(top, op, "add")) Fail(FStmt, "Only ADD and DROP COLUMN are supported in ALTER TABLE");
    std::size_t eraseFrom = NextSig(top, op + 1);
    std::size_t start = eraseFrom;
    if (At(top, start, "constraint") || At(top, start, "primary")) Fail(FStmt, "Adding a constraint is not supported");
    if (At(top, start, "column")) start = NextSig(top, start + 1);
    if (start == npos) Fail(FStmt, "ALTER TABLE … ADD needs a column");
    std::size_t end = top.size();
    while (end > start && !top[end - 1].Group && (top[end - 1].T.Kind == K::Semi || top[end - 1].T.Kind == K::Blank)) --end;
    Level item(top.begin() + static_cast<std::ptrdiff_t>(start), top.begin() + static_cast<std::ptrdiff_t>(end));
    FRewrite(item);
    bool counter = false;
    Level mapped = MapColumn(item, counter);
    if (counter) Fail(FStmt, "A counter column cannot be added to an existing table");
    top.erase(top.begin() + static_cast<std::ptrdiff_t>(eraseFrom), top.begin() + static_cast<std::ptrdiff_t>(end));
    Level col = {Raw("COLUMN "), mapped[0]};
    top.insert(top.begin() + static_cast<std::ptrdiff_t>(eraseFrom), col.begin(), col.end());
  }

private:
  std::string_view FStmt;
  const std::function<void(Level&)>& FRewrite;
};

}  // namespace

void TranslateDdl(Level& top, std::size_t first, std::string_view stmt, const std::function<void(Level&)>& rewrite) {
  TDdl(stmt, rewrite).TranslateDdl(top, first);
}

}  // namespace jet
