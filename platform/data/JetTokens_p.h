#pragma once
// Private to platform/data: the Jet translator's tokens, the tree of parenthesised groups they
// form, writing a tree back out, and the helpers that read a level of it.
#include "data/JetSql.h"

#include <optional>
#include <string_view>
#include <vector>

namespace jet {

enum class K { Blank, Str, Ident, Quoted, Number, Date, Param, Op, LParen, RParen, Comma, Semi, Dot };

struct Tok {
  K Kind = K::Blank;
  String Text;   // written out as is
  String Value;  // the unquoted content of literals and names, the operator of Op
  std::size_t Pos = 0;
  bool DateValue = false;  // a parameter compared with or set into a date
  bool Nocase = false;     // COLLATE NOCASE appended to Text
  bool Keyword = false;    // an Ident that is an SQL keyword, decided once
};

struct Node {
  Tok T;
  std::vector<Node> Kids;  // the contents of a parenthesised group
  bool Group = false;
};
using Level = std::vector<Node>;

// Raises EJetSqlError quoting the statement.
[[noreturn]] void Fail(std::string_view stmt, const String& why);

bool IsIdentStart(unsigned char c);
bool IsIdentChar(unsigned char c);
bool IsKeywordText(std::string_view word);

// Scripts may carry `--` comments up to the end of the line; single statements may not,
// because there `1--1` is arithmetic. A comment becomes a blank with Value "--".
std::vector<Tok> Tokenize(std::string_view s, bool scriptComments = false);
// SQLite refuses expressions nested deeper than this; refusing them earlier keeps the
// translator's recursion (rewrites, output) within a bounded stack.
constexpr std::size_t kMaxNesting = 1000;
// Takes the tokens over: the tree holds them without a copy.
Level BuildTree(std::vector<Tok> toks, std::string_view stmt);
void Emit(const Level& level, String& out);
// Nodes [first, last) of a level, as Emit writes them.
void EmitRange(const Level& level, std::size_t first, std::size_t last, String& out);

Node Raw(String text, K kind = K::Ident);
Node Blank();
Node MakeGroup(Level kids);

// ---- reading a level

constexpr std::size_t npos = static_cast<std::size_t>(-1);

bool IsKw(const Node& n, std::string_view kw);
bool IsKeyword(const Node& n);
// The next significant (non-blank) node from i on, the previous one before i; npos when none.
std::size_t NextSig(const Level& l, std::size_t i);
std::size_t PrevSig(const Level& l, std::size_t i);
bool At(const Level& l, std::size_t i, std::string_view kw);
bool IsName(const Node& n);
bool IsOp(const Node& n, std::string_view op);
bool IsComparison(const Node& n);
bool IsStr(const Level& l, std::size_t i);
// Number of arguments in a call's group: commas at its own level, none for an empty group.
int ArgCount(const Node& g);

// A column reference "name", "qualifier.name" or "db.qualifier.name".
struct Path {
  std::size_t First = npos, Last = npos;
  String Qualifier, Column;
};
std::optional<Path> PathEndingAt(const Level& l, std::size_t end);
// Not a call: a name followed by a group answers nullopt.
std::optional<Path> PathStartingAt(const Level& l, std::size_t start);

}  // namespace jet
