// The Jet dialect translator: tokens, a tree of parenthesised groups, rewrites on that tree,
// and the text written back out. Literals are rewritten only as whole tokens, so nothing
// inside a text literal is ever touched. Tokens and the tree are in JetTokens.cpp, data
// definition in JetDdl.cpp.
#include "data/JetSql.h"

#include "data/JetDdl_p.h"
#include "data/JetTokens_p.h"
#include "core/StrUtils.h"

#include <cassert>
#include <charconv>
#include <cmath>
#include <map>
#include <optional>
#include <set>
#include <utility>

using namespace jet;

namespace {

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
      TranslateDdl(top, first, FStmt, [this](Level& l) { Rewrite(l); });
    } else {
      Rewrite(top);
      if (r.Kind == TJetStatementKind::Insert) ConvertInsertDates(top, first);
      if (r.Kind == TJetStatementKind::Select) r.UpdatableTable = UpdatableTable(top, first);
    }
    CollectParams(top, r);
    r.ReadsDateText = FReadsDateText;
    r.Sql.reserve(FStmt.size() + FStmt.size() / 4);
    Emit(top, r.Sql);
    if (!r.UpdatableTable.empty()) {
      // The same statement with the row id selected first, written without copying the tree.
      r.RowIdSql.reserve(r.Sql.size() + 8);
      EmitRange(top, 0, first + 1, r.RowIdSql);
      EmitRange(Level{Blank(), Raw("rowid,")}, 0, 2, r.RowIdSql);
      EmitRange(top, first + 1, top.size(), r.RowIdSql);
    }
    return r;
  }

private:
  std::string_view FStmt;
  TJetSchema* FSchema;
  std::vector<TableRef> FTables;
  bool FReadsDateText = false;

  bool ReadDate(std::string_view text, TDateTime& v) {
    FReadsDateText = true;
    return JetTryParseDate(Trim(text), v);
  }

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
        if (!ReadDate(n.T.Value, v)) Fail(FStmt, "Invalid date literal " + n.T.Text);
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
    if (!s.Empty()) EmitRange(l, s.First, s.Last + 1, out);
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
    if (!ReadDate(n.T.Value, v))
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
