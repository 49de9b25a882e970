// The Jet translator's tokens and tree: reading the statement into tokens (literals whole,
// never looked into), grouping them by parentheses, and writing a tree back out.
#include "data/JetTokens_p.h"

#include "core/StrUtils.h"

#include <set>
#include <utility>

namespace jet {

namespace {
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
}  // namespace

[[noreturn]] void Fail(std::string_view stmt, const String& why) {
  throw EJetSqlError(why + " in SQL statement: " + StringReplace(stmt, String(1, '\0'), "\\0", {rfReplaceAll}));
}

bool IsIdentStart(unsigned char c) { return std::isalpha(c) || c == '_' || c >= 0x80; }
bool IsIdentChar(unsigned char c) { return std::isalnum(c) || c == '_' || c >= 0x80 || c == '$'; }

static String SingleQuoted(std::string_view value) { return QuotedStr(value); }
static String DoubleQuotedName(std::string_view name) { return AnsiQuotedStr(name, '"'); }

// Reads a literal closed by `close`; a doubled closing character stands for itself when
// `doubling` is set.
static std::size_t ReadDelimited(std::string_view s, std::size_t i, char close, bool doubling, String& value,
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

std::vector<Tok> Tokenize(std::string_view s, bool scriptComments) {
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

[[noreturn]] static void FailNesting(std::string_view stmt) {
  Fail(stmt, "Parentheses and CASE nested deeper than " + IntToStr(static_cast<int>(kMaxNesting)) + " levels");
}

Level BuildTree(std::vector<Tok> toks, std::string_view stmt) {
  std::vector<Level> stack(1);
  stack[0].reserve(toks.size());
  std::vector<Tok> opens;
  std::size_t cases = 0;  // CASEs open: the date rewrites recurse into them as into groups
  for (Tok& t : toks) {
    if (t.Kind == K::Ident && t.Keyword) {
      if (SameText(t.Value, "case") && opens.size() + ++cases > kMaxNesting) FailNesting(stmt);
      if (SameText(t.Value, "end") && cases > 0) --cases;
    }
    if (t.Kind == K::LParen) {
      if (opens.size() + cases >= kMaxNesting) FailNesting(stmt);
      stack.emplace_back();
      opens.push_back(std::move(t));
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
      stack.back().push_back(Node{std::move(t), {}, false});
    }
  }
  if (stack.size() != 1) Fail(stmt, "Unbalanced '('");
  return std::move(stack[0]);
}

void Emit(const Level& level, String& out) { EmitRange(level, 0, level.size(), out); }

void EmitRange(const Level& level, std::size_t first, std::size_t last, String& out) {
  for (std::size_t i = first; i < last; ++i) {
    const Node& n = level[i];
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

Node Raw(String text, K kind) {
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

bool IsKw(const Node& n, std::string_view kw) { return !n.Group && n.T.Kind == K::Ident && SameText(n.T.Value, kw); }

static const std::set<String>& Keywords() {
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

int ArgCount(const Node& g) {
  if (NextSig(g.Kids, 0) == npos) return 0;
  int n = 1;
  for (const Node& k : g.Kids)
    if (!k.Group && k.T.Kind == K::Comma) ++n;
  return n;
}

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

}  // namespace jet
