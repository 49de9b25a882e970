// The Jet dialect translator: tokens, a tree of parenthesised groups, rewrites on that tree,
// and the text written back out. Literals are rewritten only as whole tokens, so nothing
// inside a text literal is ever touched.
#include "data/JetSql.h"

#include "core/StrUtils.h"

#include <cassert>
#include <charconv>
#include <cmath>
#include <map>
#include <optional>
#include <set>
#include <utility>

namespace {

// ------------------------------------------------------------------------------ tokens

enum class K { Blank, Str, Ident, Quoted, Number, Date, Param, Op, LParen, RParen, Comma, Semi, Dot };

// The characters that are a token by themselves.
bool IsPunctuation(int c, K& kind) {
  static constexpr std::pair<char, K> kPunctuation[] = {
      {'(', K::LParen}, {')', K::RParen}, {',', K::Comma}, {';', K::Semi}, {'.', K::Dot}};
  for (const auto& [ch, k] : kPunctuation)
    if (c == ch) {
      kind = k;
      return true;
    }
  return false;
}

struct Tok {
  K Kind = K::Blank;
  String Text;   // written out as is
  String Value;  // the unquoted content of literals and names, the operator of Op
  std::size_t Pos = 0;
  bool DateValue = false;  // a parameter compared with or set into a date
  bool Nocase = false;     // COLLATE NOCASE appended to Text
  bool Keyword = false;    // an Ident that is an SQL keyword, decided once
};

bool IsKeywordText(std::string_view word);

struct Node {
  Tok T;
  std::vector<Node> Kids;  // the contents of a parenthesised group
  bool Group = false;
};
using Level = std::vector<Node>;

[[noreturn]] void Fail(std::string_view stmt, const String& why) {
  throw EJetSqlError(why + " in SQL statement: " + StringReplace(stmt, String(1, '\0'), "\\0", {rfReplaceAll}));
}

bool IsIdentStart(unsigned char c) { return std::isalpha(c) || c == '_' || c >= 0x80; }
bool IsIdentChar(unsigned char c) { return std::isalnum(c) || c == '_' || c >= 0x80 || c == '$'; }

String SingleQuoted(std::string_view value) { return QuotedStr(value); }
String DoubleQuotedName(std::string_view name) { return AnsiQuotedStr(name, '"'); }

// Reads a literal closed by `close`; a doubled closing character stands for itself when
// `doubling` is set.
std::size_t ReadDelimited(std::string_view s, std::size_t i, char close, bool doubling, String& value,
                          std::string_view stmt, const char* what) {
  std::size_t j = i + 1;
  for (;;) {
    if (j >= s.size()) Fail(stmt, String("Unterminated ") + what);
    if (s[j] == close) {
      if (doubling && j + 1 < s.size() && s[j + 1] == close) {
        value += close;
        j += 2;
        continue;
      }
      return j + 1;
    }
    value += s[j++];
  }
}

// Scripts may carry `--` comments up to the end of the line; single statements may not,
// because there `1--1` is arithmetic. A comment becomes a blank with Value "--".
std::vector<Tok> Tokenize(std::string_view s, bool scriptComments = false) {
  // SQLite reads a statement only up to a NUL: the rest would be dropped without a word.
  if (s.find('\0') != std::string_view::npos) Fail(s, "A NUL character in the statement; pass such text as a parameter");
  std::vector<Tok> out;
  std::size_t i = 0;
  while (i < s.size()) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    Tok t;
    t.Pos = i;
    std::size_t j = i + 1;
    if (scriptComments && c == '-' && j < s.size() && s[j] == '-') {
      while (j < s.size() && s[j] != '\n') ++j;
      t.Kind = K::Blank;
      t.Text = " ";
      t.Value = "--";
    } else if (c <= ' ') {
      while (j < s.size() && static_cast<unsigned char>(s[j]) <= ' ') ++j;
      t.Kind = K::Blank;
      t.Text = String(s.substr(i, j - i));
    } else if (c == '\'' || c == '"') {
      // Jet reads text between double quotes as a literal, as it does between single ones.
      j = ReadDelimited(s, i, static_cast<char>(c), true, t.Value, s, "text literal");
      t.Kind = K::Str;
      t.Text = SingleQuoted(t.Value);
    } else if (c == '[' || c == '`') {
      j = ReadDelimited(s, i, c == '[' ? ']' : '`', false, t.Value, s, "bracketed name");
      if (t.Value.empty()) Fail(s, "Empty bracketed name");
      t.Kind = K::Quoted;
      t.Text = DoubleQuotedName(t.Value);
    } else if (c == '#') {
      j = ReadDelimited(s, i, '#', false, t.Value, s, "date literal");
      t.Kind = K::Date;
      t.Text = String(s.substr(i, j - i));
    } else if (std::isdigit(c) || (c == '.' && i + 1 < s.size() && std::isdigit(static_cast<unsigned char>(s[i + 1])))) {
      while (j < s.size() && (std::isdigit(static_cast<unsigned char>(s[j])) || s[j] == '.')) ++j;
      if (j < s.size() && (s[j] == 'e' || s[j] == 'E')) {
        std::size_t k = j + 1;
        if (k < s.size() && (s[k] == '+' || s[k] == '-')) ++k;
        if (k < s.size() && std::isdigit(static_cast<unsigned char>(s[k]))) {
          j = k;
          while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) ++j;
        }
      }
      if (j < s.size() && IsIdentChar(static_cast<unsigned char>(s[j])))
        Fail(s, "Malformed number '" + String(s.substr(i, j - i + 1)) + "'");
      t.Kind = K::Number;
      t.Text = t.Value = String(s.substr(i, j - i));
    } else if (IsIdentStart(c)) {
      while (j < s.size() && IsIdentChar(static_cast<unsigned char>(s[j]))) ++j;
      t.Kind = K::Ident;
      t.Text = t.Value = String(s.substr(i, j - i));
      t.Keyword = IsKeywordText(t.Value);
    } else if ((c == ':' || c == '@') && j < s.size() && IsIdentStart(static_cast<unsigned char>(s[j]))) {
      while (j < s.size() && IsIdentChar(static_cast<unsigned char>(s[j]))) ++j;
      t.Kind = K::Param;
      t.Value = String(s.substr(i + 1, j - i - 1));
      t.Text = ":" + t.Value;
    } else if (c == '?') {
      t.Kind = K::Param;
      t.Text = "?";
    } else if (K punct; IsPunctuation(c, punct)) {
      t.Kind = punct;
      t.Text = String(1, static_cast<char>(c));
    } else {
      static const char* const kOps[] = {"<>", "<=", ">=", "!=", "==", "<", ">", "=", "+", "-", "*", "/", "&", "%"};
      t.Kind = K::Op;
      for (const char* op : kOps) {
        std::string_view v(op);
        if (s.substr(i, v.size()) == v) {
          t.Text = t.Value = String(v);
          j = i + v.size();
          break;
        }
      }
      if (t.Text.empty()) {
        if (c == '\\') Fail(s, "Integer division '\\' is not supported");
        if (c == '^') Fail(s, "The power operator '^' is not supported");
        Fail(s, "Unexpected character '" + String(s.substr(i, Utf8SeqLen(c))) + "'");
      }
    }
    out.push_back(std::move(t));
    i = j;
  }
  return out;
}

// SQLite refuses expressions nested deeper than this; refusing them here keeps the
// translator's recursion (rewrites, output) within a bounded stack.
constexpr std::size_t kMaxNesting = 1000;

[[noreturn]] void FailNesting(std::string_view stmt) {
  Fail(stmt, "Parentheses and CASE nested deeper than " + IntToStr(static_cast<int>(kMaxNesting)) + " levels");
}

Level BuildTree(const std::vector<Tok>& toks, std::string_view stmt) {
  std::vector<Level> stack(1);
  std::vector<Tok> opens;
  std::size_t cases = 0;  // CASEs open: the date rewrites recurse into them as into groups
  for (const Tok& t : toks) {
    if (t.Kind == K::Ident && t.Keyword) {
      if (SameText(t.Value, "case") && opens.size() + ++cases > kMaxNesting) FailNesting(stmt);
      if (SameText(t.Value, "end") && cases > 0) --cases;
    }
    if (t.Kind == K::LParen) {
      if (opens.size() + cases >= kMaxNesting) FailNesting(stmt);
      stack.emplace_back();
      opens.push_back(t);
    } else if (t.Kind == K::RParen) {
      if (stack.size() == 1) Fail(stmt, "Unbalanced ')'");
      Node g;
      g.T = opens.back();
      g.Group = true;
      g.Kids = std::move(stack.back());
      stack.pop_back();
      opens.pop_back();
      stack.back().push_back(std::move(g));
    } else {
      stack.back().push_back(Node{t, {}, false});
    }
  }
  if (stack.size() != 1) Fail(stmt, "Unbalanced '('");
  return std::move(stack[0]);
}

void Emit(const Level& level, String& out) {
  for (const Node& n : level) {
    if (n.Group) {
      out += '(';
      Emit(n.Kids, out);
      out += ')';
      continue;
    }
    // Jet has no comments: keep "- -" and "/ *" from becoming one in SQLite.
    if (!out.empty() && !n.T.Text.empty()) {
      char last = out.back(), first = n.T.Text.front();
      if ((last == '-' && first == '-') || (last == '/' && first == '*') || (last == '*' && first == '/'))
        out += ' ';
    }
    out += n.T.Text;
  }
}

Node Raw(String text, K kind = K::Ident) {
  Node n;
  n.T.Kind = kind;
  n.T.Text = text;
  n.T.Value = std::move(text);
  n.T.Keyword = kind == K::Ident && IsKeywordText(n.T.Value);
  return n;
}
Node Blank() { return Raw(" ", K::Blank); }
Node MakeGroup(Level kids) {
  Node g;
  g.Group = true;
  g.T.Kind = K::LParen;
  g.T.Text = "(";
  g.Kids = std::move(kids);
  return g;
}

// ------------------------------------------------------------------------------ level helpers

constexpr std::size_t npos = static_cast<std::size_t>(-1);

// The declared type of date columns: read as DATETIME, stored with SQLite's REAL affinity.
constexpr const char* kDateDeclaredType = "DATETIME REAL";

bool IsKw(const Node& n, std::string_view kw) { return !n.Group && n.T.Kind == K::Ident && SameText(n.T.Value, kw); }

const std::set<String>& Keywords() {
  static const std::set<String> kws = {
      "ADD",      "ALL",     "ALTER",    "AND",        "AS",      "ASC",       "BETWEEN", "BY",     "CASE",
      "COLLATE",  "COLUMN",  "CONSTRAINT", "CREATE",   "CROSS",   "DEFAULT",   "DELETE",  "DESC",   "DISTINCT",
      "DISTINCTROW", "DROP", "ELSE",     "END",        "ESCAPE",  "EXCEPT",    "EXISTS",  "FOREIGN", "FROM",
      "FULL",     "GROUP",   "HAVING",   "IN",         "INDEX",   "INNER",     "INSERT",  "INTERSECT", "INTO",
      "IS",       "JOIN",    "KEY",      "LEFT",       "LIKE",    "LIMIT",     "NATURAL", "NOT",    "OFFSET",
      "ON",       "OR",      "ORDER",    "OUTER",      "PERCENT", "PRIMARY",   "REFERENCES", "RIGHT", "SELECT",
      "SET",      "TABLE",   "THEN",     "TOP",        "UNION",   "UNIQUE",    "UPDATE",  "USING",  "VALUES",
      "VIEW",     "WHEN",    "WHERE",    "WITH",       "XOR"};
  return kws;
}
bool IsKeywordText(std::string_view word) { return Keywords().count(UpperCase(word)) > 0; }
bool IsKeyword(const Node& n) { return !n.Group && n.T.Kind == K::Ident && n.T.Keyword; }

std::size_t NextSig(const Level& l, std::size_t i) {
  while (i < l.size() && !l[i].Group && l[i].T.Kind == K::Blank) ++i;
  return i < l.size() ? i : npos;
}
std::size_t PrevSig(const Level& l, std::size_t i) {
  while (i > 0) {
    --i;
    if (l[i].Group || l[i].T.Kind != K::Blank) return i;
  }
  return npos;
}
bool At(const Level& l, std::size_t i, std::string_view kw) { return i != npos && i < l.size() && IsKw(l[i], kw); }
bool IsName(const Node& n) {
  return !n.Group && ((n.T.Kind == K::Ident && !IsKeyword(n)) || n.T.Kind == K::Quoted);
}
bool IsOp(const Node& n, std::string_view op) { return !n.Group && n.T.Kind == K::Op && n.T.Value == op; }
bool IsComparison(const Node& n) {
  if (n.Group || n.T.Kind != K::Op) return false;
  const String& v = n.T.Value;
  return v == "=" || v == "<>" || v == "<" || v == ">" || v == "<=" || v == ">=" || v == "!=" || v == "==";
}
bool IsStr(const Level& l, std::size_t i) { return i != npos && !l[i].Group && l[i].T.Kind == K::Str; }

// Number of arguments in a call's group: commas at its own level, none for an empty group.
int ArgCount(const Node& g) {
  if (NextSig(g.Kids, 0) == npos) return 0;
  int n = 1;
  for (const Node& k : g.Kids)
    if (!k.Group && k.T.Kind == K::Comma) ++n;
  return n;
}

// A column reference "name", "qualifier.name" or "db.qualifier.name" ending at `end`.
struct Path {
  std::size_t First = npos, Last = npos;
  String Qualifier, Column;
};

std::optional<Path> PathEndingAt(const Level& l, std::size_t end) {
  if (end == npos || !IsName(l[end])) return std::nullopt;
  Path p;
  p.Last = p.First = end;
  p.Column = l[end].T.Value;
  std::size_t dot = PrevSig(l, end);
  if (dot != npos && !l[dot].Group && l[dot].T.Kind == K::Dot) {
    std::size_t q = PrevSig(l, dot);
    if (q == npos || !IsName(l[q])) return std::nullopt;
    p.Qualifier = l[q].T.Value;
    p.First = q;
    std::size_t dot2 = PrevSig(l, q);
    if (dot2 != npos && !l[dot2].Group && l[dot2].T.Kind == K::Dot) {
      std::size_t db = PrevSig(l, dot2);
      if (db == npos || !IsName(l[db])) return std::nullopt;
      p.First = db;
    }
  }
  return p;
}

std::optional<Path> PathStartingAt(const Level& l, std::size_t start) {
  if (start == npos || !IsName(l[start])) return std::nullopt;
  std::size_t last = start;
  for (;;) {
    std::size_t dot = NextSig(l, last + 1);
    if (dot == npos || l[dot].Group || l[dot].T.Kind != K::Dot) break;
    std::size_t nm = NextSig(l, dot + 1);
    if (nm == npos || !IsName(l[nm])) return std::nullopt;
    last = nm;
  }
  std::size_t after = NextSig(l, last + 1);
  if (after != npos && l[after].Group) return std::nullopt;  // a call, not a column
  return PathEndingAt(l, last);
}

// ------------------------------------------------------------------------------ the translator

struct TableRef {
  String Table;
  String Alias;
};

class Translator {
public:
  Translator(std::string_view stmt, TJetSchema* schema) : FStmt(stmt), FSchema(schema) {}

  TJetTranslation Run() {
    Level top = BuildTree(Tokenize(FStmt), FStmt);
    TJetTranslation r;
    std::size_t first = NextSig(top, 0);
    if (first == npos) Fail(FStmt, "Empty statement");
    for (std::size_t i = 0; i < top.size(); ++i)
      if (!top[i].Group && top[i].T.Kind == K::Semi && NextSig(top, i + 1) != npos)
        Fail(FStmt, "More than one statement");
    CollectTables(top);
    r.Kind = Classify(top, first);
    if (r.Kind == TJetStatementKind::Ddl) {
      r.ChangesSchema = true;
      TranslateDdl(top, first);
    } else {
      Rewrite(top);
      if (r.Kind == TJetStatementKind::Insert) ConvertInsertDates(top, first);
      if (r.Kind == TJetStatementKind::Select) r.UpdatableTable = UpdatableTable(top, first);
    }
    CollectParams(top, r);
    Emit(top, r.Sql);
    if (!r.UpdatableTable.empty()) {
      Level withRowId = top;
      Level rowid = {Blank(), Raw("rowid,")};
      withRowId.insert(withRowId.begin() + static_cast<std::ptrdiff_t>(first + 1), rowid.begin(), rowid.end());
      Emit(withRowId, r.RowIdSql);
    }
    return r;
  }

private:
  std::string_view FStmt;
  TJetSchema* FSchema;
  std::vector<TableRef> FTables;

  // ---- statement kinds

  TJetStatementKind Classify(const Level& top, std::size_t first) {
    const Node& n = top[first];
    if (IsKw(n, "select") || IsKw(n, "with")) {
      for (const Node& k : top)
        if (IsKw(k, "into")) Fail(FStmt, "SELECT … INTO is not supported");
      return TJetStatementKind::Select;
    }
    if (IsKw(n, "insert")) return TJetStatementKind::Insert;
    if (IsKw(n, "update")) return TJetStatementKind::Update;
    if (IsKw(n, "delete")) return TJetStatementKind::Delete;
    if (IsKw(n, "create") || IsKw(n, "alter") || IsKw(n, "drop")) return TJetStatementKind::Ddl;
    if (IsKw(n, "transform") || IsKw(n, "parameters") || IsKw(n, "procedure") || IsKw(n, "execute"))
      Fail(FStmt, "'" + n.T.Value + "' statements are not supported");
    if (n.Group) return TJetStatementKind::Select;  // (select …) union …
    return TJetStatementKind::Other;
  }

  // ---- tables named by the statement, for the column types

  void CollectTables(const Level& l) {
    for (std::size_t i = 0; i < l.size(); ++i) {
      const Node& n = l[i];
      if (n.Group) {
        CollectTables(n.Kids);
        continue;
      }
      if (IsKw(n, "from") || IsKw(n, "join") || IsKw(n, "update") || IsKw(n, "into") || IsKw(n, "table")) {
        bool list = IsKw(n, "from");
        std::size_t j = NextSig(l, i + 1);
        while (j != npos) {
          std::size_t after = ReadTableRef(l, j);
          if (!list) break;
          std::size_t c = NextSig(l, after);
          if (c == npos || l[c].Group || l[c].T.Kind != K::Comma) break;
          j = NextSig(l, c + 1);
        }
      }
    }
  }

  // Reads "name [[as] alias]" or "(subquery) [[as] alias]"; answers the index after it.
  std::size_t ReadTableRef(const Level& l, std::size_t j) {
    TableRef ref;
    if (l[j].Group) {
      ref.Table.clear();
    } else if (IsName(l[j])) {
      ref.Table = l[j].T.Value;
      std::size_t dot = NextSig(l, j + 1);  // db.table
      if (dot != npos && !l[dot].Group && l[dot].T.Kind == K::Dot) {
        std::size_t nm = NextSig(l, dot + 1);
        if (nm != npos && IsName(l[nm])) {
          ref.Table = l[nm].T.Value;
          j = nm;
        }
      }
    } else {
      return j;
    }
    std::size_t k = NextSig(l, j + 1);
    if (At(l, k, "as")) k = NextSig(l, k + 1);
    if (k != npos && IsName(l[k])) {
      ref.Alias = l[k].T.Value;
      j = k;
    }
    if (!ref.Table.empty()) FTables.push_back(ref);
    return j + 1;
  }

  const std::vector<TJetColumn>* ColumnsOf(const String& table) const {
    return FSchema ? FSchema->Columns(table) : nullptr;
  }

  static const TJetColumn* Find(const std::vector<TJetColumn>& cols, const String& name) {
    for (const TJetColumn& c : cols)
      if (SameText(c.Name, name)) return &c;
    return nullptr;
  }

  // The kind of a column reference; Unknown when no table in scope has it, and a failure
  // when tables disagree on whether it holds dates.
  TJetColumnKind KindOf(const Path& p) const {
    if (!FSchema) return TJetColumnKind::Unknown;
    // A qualifier naming no table of the statement (a derived table's alias) looks everywhere.
    bool qualified = false;
    for (const TableRef& t : FTables)
      qualified = qualified || (!p.Qualifier.empty() && (SameText(p.Qualifier, t.Alias) || SameText(p.Qualifier, t.Table)));
    std::optional<TJetColumnKind> found;
    bool conflict = false;
    for (const TableRef& t : FTables) {
      if (qualified && !SameText(p.Qualifier, t.Alias) && !SameText(p.Qualifier, t.Table)) continue;
      const std::vector<TJetColumn>* cols = ColumnsOf(t.Table);
      if (!cols) continue;
      const TJetColumn* c = Find(*cols, p.Column);
      if (!c) continue;
      TJetColumnKind k = ClassifyDeclaredType(c->DeclType).Kind;
      if (found && (*found == TJetColumnKind::DateTime) != (k == TJetColumnKind::DateTime)) conflict = true;
      if (!found || k == TJetColumnKind::DateTime) found = k;
    }
    if (conflict)
      Fail(FStmt, "Column '" + p.Column + "' is a date in one table and not in another; qualify it");
    return found.value_or(TJetColumnKind::Unknown);
  }
  bool IsDateColumn(const Path& p) const { return KindOf(p) == TJetColumnKind::DateTime; }

  // ---- rewrites of a level and, first, of the groups inside it

  void Rewrite(Level& l) {
    for (Node& n : l)
      if (n.Group) Rewrite(n.Kids);
    RewriteTokens(l);
    RewriteDeleteStar(l);
    std::optional<String> top = TakeTop(l);
    ConvertDateTexts(l);
    WrapDateLikes(l);
    RewriteConcat(l);
    CaseInsensitiveLiterals(l);
    if (top) AppendLimit(l, *top);
  }

  void RewriteTokens(Level& l) {
    for (std::size_t i = 0; i < l.size(); ++i) {
      Node& n = l[i];
      if (n.Group) continue;
      if (n.T.Kind == K::Date) {
        TDateTime v;
        if (!JetTryParseDate(Trim(n.T.Value), v)) Fail(FStmt, "Invalid date literal " + n.T.Text);
        n = Raw(JetRealLiteral(v), K::Number);
        continue;
      }
      if (n.T.Kind != K::Ident) continue;
      std::size_t next = NextSig(l, i + 1);
      bool call = next != npos && l[next].Group;
      std::size_t prev = PrevSig(l, i);
      bool member = prev != npos && !l[prev].Group && l[prev].T.Kind == K::Dot;
      if (member) continue;
      if (!call && (SameText(n.T.Value, "true") || SameText(n.T.Value, "false"))) {
        // Stored Booleans are 1 and 0 (never Jet's -1).
        n = Raw(SameText(n.T.Value, "true") ? "1" : "0", K::Number);
      } else if (!call && SameText(n.T.Value, "mod") && IsOperandEnd(l, prev) && next != npos) {
        n = Raw("%", K::Op);
      } else if (call) {
        RenameFunction(n, l[next]);
      }
    }
  }

  static bool IsOperandEnd(const Level& l, std::size_t i) {
    if (i == npos) return false;
    const Node& n = l[i];
    if (n.Group) return true;
    return n.T.Kind == K::Number || n.T.Kind == K::Str || n.T.Kind == K::Param || n.T.Kind == K::Quoted ||
           (n.T.Kind == K::Ident && (!IsKeyword(n) || IsKw(n, "null")));
  }

  // Jet functions SQLite lacks, or has under the same name with another meaning.
  void RenameFunction(Node& name, const Node& args) {
    struct Rename { const char* Jet; const char* Sqlite; int MinArgs; int MaxArgs; };
    static const Rename kRenames[] = {
        {"isnull", "jet_isnull", 1, 1}, {"date", "jet_date", 0, 0},     {"now", "jet_now", 0, 0},
        {"time", "jet_time", 0, 0},     {"format", "jet_format", 1, 2}, {"left", "jet_left", 2, 2},
        {"right", "jet_right", 2, 2},   {"iif", "iif", 3, 3},           {"cdate", "cdate", 1, 1},
        {"len", "len", 1, 1},           {"mid", "mid", 2, 3},           {"instr", "instr", 2, 3},
        {"nz", "nz", 1, 2},             {"datevalue", "cdate", 1, 1},   {"sgn", "sign", 1, 1},
    };
    int argc = ArgCount(args);
    for (const Rename& r : kRenames) {
      if (!SameText(name.T.Value, r.Jet)) continue;
      if (argc < r.MinArgs || argc > r.MaxArgs)
        Fail(FStmt, "Function " + name.T.Value + " takes " +
                        (r.MinArgs == r.MaxArgs ? IntToStr(r.MinArgs) : IntToStr(r.MinArgs) + " to " + IntToStr(r.MaxArgs)) +
                        " arguments, not " + IntToStr(argc));
      name = Raw(r.Sqlite);
      return;
    }
  }

  // "delete * from T" and "delete T.* from T": SQLite names no columns in a delete.
  void RewriteDeleteStar(Level& l) {
    std::size_t d = NextSig(l, 0);
    if (!At(l, d, "delete")) return;
    std::size_t j = NextSig(l, d + 1);
    std::size_t from = j;
    while (from != npos && !At(l, from, "from")) from = NextSig(l, from + 1);
    if (from == npos || from == j) return;
    l.erase(l.begin() + static_cast<std::ptrdiff_t>(j), l.begin() + static_cast<std::ptrdiff_t>(from));
    l.insert(l.begin() + static_cast<std::ptrdiff_t>(j), Blank());
  }

  // "select [distinct] top N …": removed here, "limit N" goes at the end of the select.
  std::optional<String> TakeTop(Level& l) {
    std::size_t s = NextSig(l, 0);
    if (!At(l, s, "select")) return std::nullopt;
    std::size_t t = NextSig(l, s + 1);
    if (At(l, t, "distinct") || At(l, t, "all")) t = NextSig(l, t + 1);
    if (At(l, t, "distinctrow")) Fail(FStmt, "DISTINCTROW is not supported");
    if (!At(l, t, "top")) return std::nullopt;
    std::size_t n = NextSig(l, t + 1);
    if (n == npos || l[n].Group || l[n].T.Kind != K::Number || l[n].T.Value.find_first_not_of("0123456789") != String::npos)
      Fail(FStmt, "TOP needs a whole number");
    if (At(l, NextSig(l, n + 1), "percent")) Fail(FStmt, "TOP … PERCENT is not supported");
    for (const Node& k : l)
      if (IsKw(k, "union") || IsKw(k, "except") || IsKw(k, "intersect")) Fail(FStmt, "TOP in a compound select is not supported");
    String count = l[n].T.Value;
    l.erase(l.begin() + static_cast<std::ptrdiff_t>(t), l.begin() + static_cast<std::ptrdiff_t>(n + 1));
    return count;
  }

  void AppendLimit(Level& l, const String& count) {
    std::size_t end = l.size();
    while (end > 0 && !l[end - 1].Group && (l[end - 1].T.Kind == K::Blank || l[end - 1].T.Kind == K::Semi)) --end;
    Level tail = {Blank(), Raw("limit"), Blank(), Raw(count, K::Number)};
    l.insert(l.begin() + static_cast<std::ptrdiff_t>(end), tail.begin(), tail.end());
  }

  // ---- date text: wherever a date is an operand of a comparison, the text it is compared
  // with (or set to) becomes a day count; text in a construct that cannot be converted
  // faithfully is refused, because SQLite would compare it as text and answer false.

  // The significant nodes of an operand, inclusive; empty without any.
  struct Span {
    std::size_t First = npos, Last = npos;
    bool Empty() const { return First == npos; }
  };
  struct Operand {
    Level* L = nullptr;
    Span S;
  };

  static Span WholeLevel(const Level& l) {
    std::size_t first = NextSig(l, 0);
    return first == npos ? Span{} : Span{first, PrevSig(l, l.size())};
  }

  static std::vector<std::size_t> SigOf(const Level& l, Span s) {
    std::vector<std::size_t> out;
    if (s.Empty()) return out;
    for (std::size_t k = s.First; k <= s.Last; ++k)
      if (l[k].Group || l[k].T.Kind != K::Blank) out.push_back(k);
    return out;
  }

  // Separators, comparisons and keywords end an operand; CASE … END is one operand.
  static bool OperandBoundary(const Node& n) {
    if (n.Group) return false;
    if (n.T.Kind == K::Comma || n.T.Kind == K::Semi) return true;
    return IsComparison(n) || IsKeyword(n);
  }

  // The END closing the CASE at `k`, or the CASE opening the END at `k`; npos when unmatched.
  static std::size_t MatchCase(const Level& l, std::size_t k) {
    bool forward = IsKw(l[k], "case");
    int depth = 0;
    for (std::size_t j = k; j < l.size(); forward ? ++j : --j) {  // --j past 0 wraps and ends
      if (IsKw(l[j], "case")) depth += forward ? 1 : -1;
      else if (IsKw(l[j], "end")) depth += forward ? -1 : 1;
      if (depth == 0) return j;
    }
    return npos;
  }

  static Span OperandBefore(const Level& l, std::size_t i) {
    Span s;
    for (std::size_t k = PrevSig(l, i); k != npos;) {
      std::size_t start = IsKw(l[k], "end") ? MatchCase(l, k) : (OperandBoundary(l[k]) ? npos : k);
      if (start == npos) break;
      if (s.Last == npos) s.Last = k;
      s.First = start;
      k = PrevSig(l, start);
    }
    return s;
  }

  static Span OperandAfter(const Level& l, std::size_t i) {
    Span s;
    for (std::size_t k = NextSig(l, i + 1); k != npos;) {
      std::size_t end = IsKw(l[k], "case") ? MatchCase(l, k) : (OperandBoundary(l[k]) ? npos : k);
      if (end == npos) break;
      if (s.First == npos) s.First = k;
      s.Last = end;
      k = NextSig(l, end + 1);
    }
    return s;
  }

  // The arguments of a call's group, split at its own commas.
  static std::vector<Span> Args(const Level& kids) {
    std::vector<Span> out;
    std::size_t start = 0;
    for (std::size_t k = 0; k <= kids.size(); ++k) {
      if (k < kids.size() && (kids[k].Group || kids[k].T.Kind != K::Comma)) continue;
      std::size_t first = NextSig(kids, start);
      out.push_back(first != npos && first < k ? Span{first, PrevSig(kids, k)} : Span{});
      start = k + 1;
    }
    return out;
  }

  static bool IsSubquery(const Node& g) { return g.Group && At(g.Kids, NextSig(g.Kids, 0), "select"); }

  // The one column a subquery selects, as an operand.
  static Span SelectedOperand(const Level& kids) {
    std::size_t s = NextSig(kids, 0);
    Span item = OperandAfter(kids, At(kids, NextSig(kids, s + 1), "distinct") ? NextSig(kids, s + 1) : s);
    std::size_t after = item.Empty() ? npos : NextSig(kids, item.Last + 1);
    return At(kids, after, "from") || after == npos ? item : Span{};
  }

  static bool IsCall(const Level& l, const std::vector<std::size_t>& sig) {
    return sig.size() == 2 && !l[sig[0]].Group && l[sig[0]].T.Kind == K::Ident && !IsKeyword(l[sig[0]]) &&
           l[sig[1]].Group;
  }

  // Functions whose result is one of their arguments (1-based), so a date passes through them.
  static const std::vector<int>* ResultArgs(const String& fn) {
    static const std::pair<const char*, std::vector<int>> kPassing[] = {
        {"iif", {2, 3}}, {"nz", {1, 2}}, {"min", {1}}, {"max", {1}}, {"first", {1}}, {"last", {1}}};
    for (const auto& [name, args] : kPassing)
      if (SameText(fn, name)) return &args;
    return nullptr;
  }
  static bool InList(const String& fn, std::initializer_list<const char*> names) {
    for (const char* n : names)
      if (SameText(fn, n)) return true;
    return false;
  }
  // A function as the statement named it, before its SQLite name.
  static String JetName(const String& fn) { return StartsText("jet_", fn) ? fn.substr(4) : fn; }
  static bool IsDateFunction(const String& fn) { return InList(fn, {"cdate", "jet_date", "jet_now"}); }
  static bool IsTextFunction(const String& fn) {
    return InList(fn, {"jet_format", "jet_left", "jet_right", "mid", "ucase", "lcase", "upper", "lower", "trim",
                       "ltrim", "rtrim", "cstr", "jet_concat", "jet_datetext", "substr", "replace"});
  }

  // The results of the CASE … END spanning `s`: the operands after its THEN and ELSE.
  static std::vector<Span> CaseResults(const Level& l, Span s) {
    std::vector<Span> out;
    for (std::size_t k = s.First + 1; k < s.Last; ++k) {
      if (IsKw(l[k], "case")) k = MatchCase(l, k);
      else if (IsKw(l[k], "then") || IsKw(l[k], "else")) out.push_back(OperandAfter(l, k));
    }
    return out;
  }
  static bool IsCase(const Level& l, const std::vector<std::size_t>& sig) {
    return IsKw(l[sig[0]], "case") && MatchCase(l, sig[0]) == sig.back();
  }

  String SpanText(const Level& l, Span s) const {
    String out;
    if (!s.Empty()) Emit(Level(l.begin() + static_cast<std::ptrdiff_t>(s.First), l.begin() + static_cast<std::ptrdiff_t>(s.Last + 1)), out);
    return Trim(out);
  }

  // What makes an operand a date, for messages: the date column (or date function) it reads; ''
  // when it is no date.
  String DateOperand(const Level& l, Span s) const {
    std::vector<std::size_t> sig = SigOf(l, s);
    if (sig.empty()) return "";
    if (auto p = PathStartingAt(l, sig[0]); p && p->Last == sig.back()) return IsDateColumn(*p) ? p->Column : "";
    if (sig.size() == 1 && l[sig[0]].Group) {
      const Level& kids = l[sig[0]].Kids;
      return DateOperand(kids, IsSubquery(l[sig[0]]) ? SelectedOperand(kids) : WholeLevel(kids));
    }
    if (IsCall(l, sig)) {
      const String& fn = l[sig[0]].T.Value;
      if (IsDateFunction(fn)) return fn;
      const std::vector<int>* results = ResultArgs(fn);
      if (!results) return "";
      std::vector<Span> args = Args(l[sig[1]].Kids);
      for (int a : *results)
        if (a <= static_cast<int>(args.size()))
          if (String c = DateOperand(l[sig[1]].Kids, args[static_cast<std::size_t>(a - 1)]); !c.empty()) return c;
      return "";
    }
    if (IsCase(l, sig))
      for (Span r : CaseResults(l, s))
        if (String c = DateOperand(l, r); !c.empty()) return c;
    return "";
  }

  // A date column read inside arithmetic ("PactDate + 1"): compared with text it cannot be
  // converted faithfully.
  String DateTerm(const Level& l, Span s) const {
    std::vector<std::size_t> sig = SigOf(l, s);
    if (sig.size() < 2 || IsCall(l, sig) || IsCase(l, sig)) return "";
    for (std::size_t k : sig) {
      if (l[k].Group && !IsSubquery(l[k])) {
        Span inner = WholeLevel(l[k].Kids);
        String c = DateOperand(l[k].Kids, inner);
        if (c.empty()) c = DateTerm(l[k].Kids, inner);
        if (!c.empty()) return c;
      } else if (auto p = PathStartingAt(l, k); p && IsDateColumn(*p)) {
        return p->Column;
      }
    }
    return "";
  }

  // Whether an operand may yield text: a literal, a parameter, '&', or a group, call or CASE
  // that may hold one.
  static bool MayYieldText(const Level& l, Span s) {
    for (std::size_t k : SigOf(l, s)) {
      const Node& n = l[k];
      if (n.Group || n.T.Kind == K::Str || n.T.Kind == K::Param || IsOp(n, "&") || IsKw(n, "case")) return true;
    }
    return false;
  }

  static bool HoldsText(const Level& l, Span s) {
    for (std::size_t k : SigOf(l, s))
      if (IsStr(l, k) || IsOp(l[k], "&")) return true;
    return false;
  }

  // Text that names a date becomes a day count; other text is refused.
  void ConvertDateText(Node& n, const String& column) {
    TDateTime v;
    if (!JetTryParseDate(Trim(n.T.Value), v))
      Fail(FStmt, "Text " + QuotedStr(n.T.Value) + " is not a date for '" + column + "'");
    n = Raw(JetRealLiteral(v), K::Number);
  }

  // Converts the text an operand compared with a date yields: literals, parameters (bound as
  // day counts), the results of iif, nz and CASE, parenthesised operands.
  void ConvertToDate(Level& l, Span s, const String& column) {
    std::vector<std::size_t> sig = SigOf(l, s);
    if (sig.empty()) return;
    if (sig.size() == 1) {
      Node& n = l[sig[0]];
      if (n.Group && !IsSubquery(n)) ConvertToDate(n.Kids, WholeLevel(n.Kids), column);
      else if (!n.Group && n.T.Kind == K::Str) ConvertDateText(n, column);
      else if (!n.Group && n.T.Kind == K::Param) n.T.DateValue = true;
      return;
    }
    if (IsCall(l, sig)) {
      const String& fn = l[sig[0]].T.Value;
      if (IsTextFunction(fn))
        Fail(FStmt, "Text from " + JetName(fn) + "(…) cannot be compared with the date '" + column + "'");
      if (const std::vector<int>* results = ResultArgs(fn)) {
        std::vector<Span> args = Args(l[sig[1]].Kids);
        for (int a : *results)
          if (a <= static_cast<int>(args.size())) ConvertToDate(l[sig[1]].Kids, args[static_cast<std::size_t>(a - 1)], column);
      }
      return;
    }
    if (IsCase(l, sig)) {
      for (Span r : CaseResults(l, s)) ConvertToDate(l, r, column);
      return;
    }
    if (HoldsText(l, s))
      Fail(FStmt, "The text expression " + SpanText(l, s) + " cannot be compared with the date '" + column + "'");
  }

  // Operands compared with one another (both sides of a comparison, a BETWEEN, an IN list):
  // when one is a date, the text among them becomes day counts.
  void CompareOperands(const std::vector<Operand>& ops) {
    bool text = false;
    for (const Operand& o : ops) text = text || MayYieldText(*o.L, o.S);
    if (!text) return;  // nothing to convert or refuse: spare the column look-ups
    String column;
    for (const Operand& o : ops)
      if (column.empty()) column = DateOperand(*o.L, o.S);
    if (!column.empty()) {
      for (const Operand& o : ops) ConvertToDate(*o.L, o.S, column);
      return;
    }
    for (const Operand& o : ops) {
      String term = DateTerm(*o.L, o.S);
      if (term.empty()) continue;
      for (const Operand& other : ops)
        if (&other != &o && HoldsText(*other.L, other.S))
          Fail(FStmt, "Text compared with the date expression " + SpanText(*o.L, o.S) + " cannot be converted; compare '" +
                          term + "' itself");
    }
  }

  void ConvertDateTexts(Level& l) {
    for (std::size_t i = 0; i < l.size(); ++i) {
      const Node& n = l[i];
      if (n.Group) continue;
      if (IsComparison(n)) {
        CompareOperands({{&l, OperandBefore(l, i)}, {&l, OperandAfter(l, i)}});
        continue;
      }
      bool between = IsKw(n, "between");
      if (!between && !IsKw(n, "in")) continue;
      std::size_t before = PrevSig(l, i);
      Operand left{&l, OperandBefore(l, At(l, before, "not") ? before : i)};
      if (between) {
        Span low = OperandAfter(l, i);
        std::size_t andKw = low.Empty() ? npos : NextSig(l, low.Last + 1);
        Span high = At(l, andKw, "and") ? OperandAfter(l, andKw) : Span{};
        CompareOperands({left, {&l, low}, {&l, high}});
        continue;
      }
      std::size_t g = NextSig(l, i + 1);
      if (g == npos || !l[g].Group || IsSubquery(l[g])) continue;
      std::vector<Operand> ops{left};
      for (Span item : Args(l[g].Kids)) ops.push_back({&l[g].Kids, item});
      CompareOperands(ops);
    }
  }

  // "datecol like '%2024-03%'" matches the date's short-date text, as Jet did. The level is
  // rebuilt in one pass, so the cost stays linear in the statement.
  void WrapDateLikes(Level& l) {
    bool any = false;
    for (const Node& n : l) any = any || IsKw(n, "like");
    if (!any) return;
    Level out;
    out.reserve(l.size());
    for (Node& n : l) {
      if (IsKw(n, "like")) {
        std::size_t before = PrevSig(out, out.size());
        if (At(out, before, "not")) before = PrevSig(out, before);
        if (auto p = PathEndingAt(out, before); p && IsDateColumn(*p)) {
          auto first = out.begin() + static_cast<std::ptrdiff_t>(p->First);
          auto last = out.begin() + static_cast<std::ptrdiff_t>(p->Last + 1);
          Level inner(std::make_move_iterator(first), std::make_move_iterator(last));
          Level tail(std::make_move_iterator(last), std::make_move_iterator(out.end()));
          out.resize(p->First);
          out.push_back(Raw("jet_datetext"));
          out.push_back(MakeGroup(std::move(inner)));
          for (Node& t : tail) out.push_back(std::move(t));
        }
      }
      out.push_back(std::move(n));
    }
    l = std::move(out);
  }

  // A node that ends an operand of '&' (whose precedence is below + and -).
  static bool ConcatBoundary(const Node& n) {
    if (n.Group) return false;
    switch (n.T.Kind) {
      case K::Comma: case K::Semi: return true;
      case K::Op: return IsComparison(n) || n.T.Value == "&";
      case K::Ident: return IsKeyword(n);
      default: return false;
    }
  }

  // a & b & c → jet_concat(a, b, c): text joined with NULL read as ''. The level is rebuilt in
  // one pass, so the cost stays linear in the statement.
  void RewriteConcat(Level& l) {
    bool any = false;
    for (const Node& n : l) any = any || IsOp(n, "&");
    if (!any) return;
    Level out;
    out.reserve(l.size());
    std::size_t i = 0;
    while (i < l.size()) {
      if (!IsOp(l[i], "&")) {
        out.push_back(std::move(l[i++]));
        continue;
      }
      std::size_t start = out.size();
      while (start > 0 && !ConcatBoundary(out[start - 1])) --start;
      std::vector<Level> operands;
      operands.emplace_back(std::make_move_iterator(out.begin() + static_cast<std::ptrdiff_t>(start)),
                            std::make_move_iterator(out.end()));
      out.resize(start);
      while (i < l.size() && IsOp(l[i], "&")) {
        std::size_t k = i + 1;
        while (k < l.size() && !ConcatBoundary(l[k])) ++k;
        operands.emplace_back(std::make_move_iterator(l.begin() + static_cast<std::ptrdiff_t>(i + 1)),
                              std::make_move_iterator(l.begin() + static_cast<std::ptrdiff_t>(k)));
        i = k;
      }
      Level args, trailing;
      for (std::size_t o = 0; o < operands.size(); ++o) {
        Level& op = operands[o];
        std::size_t first = NextSig(op, 0);
        if (first == npos) Fail(FStmt, "'&' without an operand");
        std::size_t last = PrevSig(op, op.size());
        // The blanks around the expression stay outside the call.
        if (o == 0)
          for (std::size_t b = 0; b < first; ++b) out.push_back(std::move(op[b]));
        if (o + 1 == operands.size())
          for (std::size_t b = last + 1; b < op.size(); ++b) trailing.push_back(std::move(op[b]));
        if (!args.empty()) args.push_back(Raw(", ", K::Comma));
        for (std::size_t b = first; b <= last; ++b) args.push_back(std::move(op[b]));
      }
      out.push_back(Raw("jet_concat"));
      out.push_back(MakeGroup(std::move(args)));
      for (Node& t : trailing) out.push_back(std::move(t));
    }
    l = std::move(out);
  }

  // A literal (or the operand before an IN list) compared without regard to case.
  static void AddNocase(Node& n) {
    if (n.T.Nocase) return;
    n.T.Text += " COLLATE NOCASE";
    n.T.Nocase = true;
  }

  // Jet compares text without regard to case; literals carry NOCASE into every comparison,
  // also those with view columns and expressions.
  void CaseInsensitiveLiterals(Level& l) {
    auto collated = [&](std::size_t at) { return l[at].T.Nocase || At(l, NextSig(l, at + 1), "collate"); };
    // The '=' of "update … set a = 'x', …" assigns; it compares nothing.
    bool update = At(l, NextSig(l, 0), "update");
    bool inSet = false;
    for (std::size_t i = 0; i < l.size(); ++i) {
      const Node& n = l[i];
      if (update && IsKw(n, "set")) inSet = true;
      if (update && IsKw(n, "where")) inSet = false;
      if (IsComparison(n) && !inSet) {
        std::size_t left = PrevSig(l, i), right = NextSig(l, i + 1);
        if (IsStr(l, right) && !collated(right)) AddNocase(l[right]);
        else if (IsStr(l, left) && !collated(left)) AddNocase(l[left]);
      } else if (IsKw(n, "between")) {
        std::size_t a = NextSig(l, i + 1);
        std::size_t andKw = a == npos ? npos : NextSig(l, a + 1);
        std::size_t b = At(l, andKw, "and") ? NextSig(l, andKw + 1) : npos;
        if (IsStr(l, b)) AddNocase(l[b]);
        if (IsStr(l, a)) AddNocase(l[a]);
      } else if (IsKw(n, "in")) {
        std::size_t a = NextSig(l, i + 1);
        if (a == npos || !l[a].Group) continue;
        bool texts = false;
        for (std::size_t k = 0; k < l[a].Kids.size(); ++k) texts = texts || IsStr(l[a].Kids, k);
        std::size_t before = PrevSig(l, i);
        if (At(l, before, "not")) before = PrevSig(l, before);
        auto p = PathEndingAt(l, before);
        std::size_t operand = p ? p->Last : (IsStr(l, before) ? before : npos);
        if (texts && operand != npos) AddNocase(l[operand]);
      }
    }
  }

  // insert into T (a, b) values ('2024-03-08', …): what is set into a date column becomes a
  // day count, as in a comparison.
  void ConvertInsertDates(Level& top, std::size_t first) {
    std::size_t into = NextSig(top, first + 1);
    if (!At(top, into, "into")) return;
    std::size_t name = NextSig(top, into + 1);
    if (name == npos || !IsName(top[name])) return;
    String table = top[name].T.Value;
    std::size_t k = NextSig(top, name + 1);
    std::vector<String> cols;
    if (k != npos && top[k].Group) {
      const Level& g = top[k].Kids;
      for (std::size_t c = 0; c < g.size(); ++c)
        if (IsName(g[c])) cols.push_back(g[c].T.Value);
      k = NextSig(top, k + 1);
    } else if (const auto* all = ColumnsOf(table)) {
      for (const TJetColumn& c : *all) cols.push_back(c.Name);
    }
    if (!At(top, k, "values")) return;
    std::size_t v = NextSig(top, k + 1);
    if (v == npos || !top[v].Group) return;
    std::vector<Span> values = Args(top[v].Kids);
    for (std::size_t c = 0; c < values.size() && c < cols.size(); ++c) {
      Path p;
      p.Column = cols[c];
      p.Qualifier = table;
      if (IsDateColumn(p)) ConvertToDate(top[v].Kids, values[c], p.Column);
    }
  }

  // ---- updatability of a select

  String UpdatableTable(const Level& top, std::size_t first) {
    if (!At(top, first, "select")) return "";
    std::size_t i = NextSig(top, first + 1);
    if (At(top, i, "distinct")) return "";
    std::size_t from = npos;
    for (std::size_t k = i; k != npos; k = NextSig(top, k + 1)) {
      if (At(top, k, "from")) {
        from = k;
        break;
      }
      if (top[k].Group) {
        std::size_t fn = PrevSig(top, k);
        static const char* const kAggregates[] = {"count", "sum", "avg", "min", "max", "first", "last", "stdev", "var"};
        for (const char* a : kAggregates)
          if (At(top, fn, a)) return "";
      }
    }
    if (from == npos) return "";
    std::size_t t = NextSig(top, from + 1);
    if (t == npos || !IsName(top[t])) return "";
    String table = top[t].T.Value;
    std::size_t k = NextSig(top, t + 1);
    if (At(top, k, "as")) k = NextSig(top, k + 1);
    if (k != npos && IsName(top[k])) k = NextSig(top, k + 1);
    // After the one table only a condition, an order and a limit may follow.
    bool clause = k == npos || At(top, k, "where") || At(top, k, "order") || At(top, k, "limit") ||
                  (!top[k].Group && top[k].T.Kind == K::Semi);
    if (!clause) return "";
    for (; k != npos; k = NextSig(top, k + 1)) {
      static const char* const kBlockers[] = {"group", "having", "union", "except", "intersect"};
      for (const char* b : kBlockers)
        if (IsKw(top[k], b)) return "";
    }
    if (FSchema && (FSchema->IsView(table) || !FSchema->Columns(table))) return "";
    return table;
  }

  static void CollectParams(const Level& l, TJetTranslation& r) {
    for (const Node& n : l) {
      if (n.Group) {
        CollectParams(n.Kids, r);
      } else if (n.T.Kind == K::Param) {
        r.ParamNames.push_back(n.T.Value);
        r.ParamIsDate.push_back(n.T.DateValue);
      }
    }
  }

  // ---- DDL

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
        Rewrite(body);
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
    Rewrite(top[g].Kids);  // true/false, #dates#, functions in defaults
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
    Rewrite(item);
    bool counter = false;
    Level mapped = MapColumn(item, counter);
    if (counter) Fail(FStmt, "A counter column cannot be added to an existing table");
    top.erase(top.begin() + static_cast<std::ptrdiff_t>(eraseFrom), top.begin() + static_cast<std::ptrdiff_t>(end));
    Level col = {Raw("COLUMN "), mapped[0]};
    top.insert(top.begin() + static_cast<std::ptrdiff_t>(eraseFrom), col.begin(), col.end());
  }
};

bool TryDate(std::string_view text, const TFormatSettings& fs, TDateTime& v) { return TryStrToDateTime(text, v, fs); }

}  // namespace

// ------------------------------------------------------------------------------ public

TJetColumnType ClassifyDeclaredType(std::string_view declType) {
  String d = UpperCase(Trim(declType));
  TJetColumnType t;
  std::size_t paren = d.find('(');
  // The first word names the type: "DATETIME REAL", "DOUBLE PRECISION".
  String word = Trim(d.substr(0, paren));
  word = word.substr(0, word.find(' '));
  if (paren != String::npos) {
    std::size_t close = d.find(')', paren);
    String inside = d.substr(paren + 1, close == String::npos ? String::npos : close - paren - 1);
    int n = 0;
    if (TryStrToInt(Trim(inside), n)) t.Size = n;
  }
  struct Row { const char* Word; TJetColumnKind Kind; };
  static const Row kRows[] = {
      {"TEXT", TJetColumnKind::Text},         {"VARCHAR", TJetColumnKind::Text},      {"CHAR", TJetColumnKind::Text},
      {"NVARCHAR", TJetColumnKind::Text},     {"LONGTEXT", TJetColumnKind::Memo},     {"MEMO", TJetColumnKind::Memo},
      {"CLOB", TJetColumnKind::Memo},         {"INTEGER", TJetColumnKind::Integer},   {"INT", TJetColumnKind::Integer},
      {"LONG", TJetColumnKind::Integer},      {"SMALLINT", TJetColumnKind::SmallInt}, {"TINYINT", TJetColumnKind::Byte},
      {"BIGINT", TJetColumnKind::LargeInt},   {"DOUBLE", TJetColumnKind::Float},      {"FLOAT", TJetColumnKind::Float},
      {"REAL", TJetColumnKind::Float},        {"CURRENCY", TJetColumnKind::Currency}, {"MONEY", TJetColumnKind::Currency},
      {"DECIMAL", TJetColumnKind::Decimal},   {"NUMERIC", TJetColumnKind::Decimal},   {"DATETIME", TJetColumnKind::DateTime},
      {"DATE", TJetColumnKind::DateTime},     {"TIMESTAMP", TJetColumnKind::DateTime}, {"BIT", TJetColumnKind::Boolean},
      {"BOOLEAN", TJetColumnKind::Boolean},   {"YESNO", TJetColumnKind::Boolean},     {"BLOB", TJetColumnKind::Blob},
  };
  for (const Row& r : kRows)
    if (word == r.Word) {
      t.Kind = r.Kind;
      break;
    }
  if (t.Kind == TJetColumnKind::Text && t.Size == 0) t.Size = 255;
  if (t.Kind != TJetColumnKind::Text) t.Size = t.Kind == TJetColumnKind::Decimal ? t.Size : 0;
  return t;
}

TJetTranslation TranslateJetSql(std::string_view jet, TJetSchema* schema) { return Translator(jet, schema).Run(); }

bool TJetTranslation::IsDateParam(const String& name, int positional) const {
  assert(ParamIsDate.size() == ParamNames.size());
  int seen = 0;
  for (std::size_t i = 0; i < ParamNames.size(); ++i) {
    bool match = name.empty() ? ParamNames[i].empty() && seen++ == positional : SameText(ParamNames[i], name);
    if (match && ParamIsDate[i]) return true;
  }
  return false;
}

std::vector<String> ScanJetParameters(std::string_view s) {
  std::vector<String> names;
  std::size_t i = 0;
  while (i < s.size()) {
    char c = s[i];
    if (c == '\'' || c == '"' || c == '[' || c == '#' || c == '`') {
      char close = c == '[' ? ']' : c;
      std::size_t j = s.find(close, i + 1);
      i = j == std::string_view::npos ? s.size() : j + 1;
      continue;
    }
    if ((c == ':' || c == '@') && i + 1 < s.size() && IsIdentStart(static_cast<unsigned char>(s[i + 1]))) {
      std::size_t j = i + 1;
      while (j < s.size() && IsIdentChar(static_cast<unsigned char>(s[j]))) ++j;
      String name(s.substr(i + 1, j - i - 1));
      bool seen = false;
      for (const String& n : names) seen = seen || SameText(n, name);
      if (!seen) names.push_back(name);
      i = j;
      continue;
    }
    ++i;
  }
  return names;
}

std::vector<String> SplitJetScript(std::string_view script) {
  std::vector<Tok> toks = Tokenize(script, true);
  std::vector<String> out;
  String current;
  int depth = 0;
  auto flush = [&] {
    String s = Trim(current);
    if (!s.empty()) out.push_back(std::move(s));
    current.clear();
  };
  for (std::size_t k = 0; k < toks.size(); ++k) {
    const Tok& t = toks[k];
    std::size_t end = k + 1 < toks.size() ? toks[k + 1].Pos : script.size();
    if (t.Kind == K::LParen) ++depth;
    else if (t.Kind == K::RParen) --depth;
    if (t.Kind == K::Semi && depth == 0) {
      flush();
      continue;
    }
    if (t.Kind == K::Blank && t.Value == "--") current += ' ';
    else current.append(script.substr(t.Pos, end - t.Pos));
  }
  flush();
  return out;
}

bool JetTryParseDate(std::string_view text, TDateTime& value) {
  if (text.empty()) return false;
  if (TryDate(text, FormatSettings(), value)) return true;
  TFormatSettings fs = FormatSettings();
  fs.ShortDateFormat = "yyyy-mm-dd";
  fs.DateSeparator = '-';
  fs.TimeSeparator = ':';
  if (TryDate(text, fs, value)) return true;
  fs.DateSeparator = '/';
  // yyyy/m/d only with a four-digit year first, so 3/5/24 is not read as 2003-05-24.
  bool yearFirst = text.size() >= 5 && std::isdigit(static_cast<unsigned char>(text[0])) &&
                   std::isdigit(static_cast<unsigned char>(text[1])) && std::isdigit(static_cast<unsigned char>(text[2])) &&
                   std::isdigit(static_cast<unsigned char>(text[3])) && text[4] == '/';
  if (yearFirst) {
    fs.ShortDateFormat = "yyyy/m/d";
    return TryDate(text, fs, value);
  }
  fs.ShortDateFormat = "m/d/yyyy";
  return TryDate(text, fs, value);
}

String JetRealLiteral(double value) {
  char buf[64];
  auto res = std::to_chars(buf, buf + sizeof buf, value);
  String s(buf, res.ptr);
  if (s.find_first_of(".eEn") == String::npos) s += ".0";
  return s;
}
