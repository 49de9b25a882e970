// Compiling a script: cutting out comments, reading the statement with its expressions, and
// the final pass that turns expressions into postfix and GOTOs into line targets.
#include "report_legacy/FR_Intrp_p.h"

#include "core/StrUtils.h"
#include "core/SysUtils.h"

#include <utility>

namespace frintrp {
namespace {

// A compile error: where (in the buffer without comments) and what.
struct TCompileError {
  std::size_t Pos;
  String Message;
};

[[noreturn]] void Fail(std::size_t pos, String message) { throw TCompileError{pos, std::move(message)}; }

// ---------------------------------------------------------------- pass 1: comments

struct TComment {
  std::size_t Pos;  // where it was cut, in the buffer as it is after the cut
  std::size_t Length;
};

// The source lines joined, each ended by CR, tabs as blanks, and { } and // comments cut out
// (a comment's marks inside a quoted literal are text).
String StripComments(const std::vector<String>& source, std::vector<TComment>& comments) {
  String text;
  for (const String& line : source) {
    text += line;
    text += '\r';
  }
  for (char& c : text)
    if (c == '\t') c = ' ';
  String out;
  out.reserve(text.size());
  bool inQuote = false;
  for (std::size_t i = 0; i < text.size();) {
    const char c = text[i];
    if (c == '\'') inQuote = !inQuote;
    if (!inQuote && (c == '{' || (c == '/' && i + 1 < text.size() && text[i + 1] == '/'))) {
      std::size_t end = c == '{' ? text.find('}', i) : text.find('\r', i);
      end = end == String::npos ? text.size() : end + 1;
      comments.push_back({out.size(), end - i});
      i = end;
      continue;
    }
    out += c;
    ++i;
  }
  return out;
}

// ---------------------------------------------------------------- pass 2: statements

// A compiled line before the final pass: its text (expressions still as source) and where
// its expression starts, so that a refused expression can be pointed at.
struct TLine {
  String Text;
  std::size_t ExprPos = 0;
  String GotoLabel;  // a GOTO whose target is set in the final pass
  bool IsGoto = false;
};

bool IsLetter(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c >= 0x80; }
bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
bool IsNameChar(unsigned char c) { return IsLetter(c) || IsDigit(c) || c == '.'; }

class TStatementReader {
public:
  explicit TStatementReader(const String& buf) : FBuf(buf) {}

  void Program() { Statement(); }

  std::vector<TLine> Lines;
  std::vector<std::pair<String, int>> Labels;  // "10:" → line; the first definition holds

private:
  // Skips blanks; the start of the next word.
  std::size_t Skip() {
    while (FCur < FBuf.size() && static_cast<unsigned char>(FBuf[FCur]) <= 32) ++FCur;
    return FCur;
  }
  bool AtEnd() { return Skip() >= FBuf.size(); }
  // The next word, upper-cased, without moving; a blank at the end of the text.
  String PeekWord() {
    std::size_t s = Skip(), e = s;
    while (e < FBuf.size() && static_cast<unsigned char>(FBuf[e]) > 32) ++e;
    return e == s ? String(" ") : UpperCase(std::string_view(FBuf).substr(s, e - s));
  }
  char Peek() { return Skip() < FBuf.size() ? FBuf[FCur] : '\0'; }
  bool PeekIs(std::string_view s) { return Skip() < FBuf.size() && std::string_view(FBuf).substr(FCur, s.size()) == s; }
  bool StartsWithWord(const String& word, std::string_view start) { return word.compare(0, start.size(), start) == 0; }

  int Add(String text, std::size_t exprPos = 0) {
    if (Lines.size() >= 0xFFFF) Fail(FCur, "Script too long");
    Lines.push_back({std::move(text), exprPos});
    return static_cast<int>(Lines.size()) - 1;
  }
  static String Target(int line) { return String{char(line & 0xFF), char((line >> 8) & 0xFF)}; }
  void SetTarget(int line, int target) { Lines[line].Text.replace(1, 2, Target(target)); }
  int Next() const { return static_cast<int>(Lines.size()); }

  // Reads an expression; its trimmed source text.
  String ExpressionText(std::size_t& at) {
    at = Skip();
    if (!Expression()) Fail(at, "Need expression here");
    return Trim(std::string_view(FBuf).substr(at, FCur - at));
  }

  void Statement();
  void Block();
  void If();
  void Repeat();
  void While();
  void For();
  void Goto();
  void NameStatement();
  String ReadName();
  String ReadIndex();

  bool Expression();
  bool Simple();
  bool Term();
  bool Factor();
  void Operand(std::size_t opPos) {
    if (!Expression()) Fail(opPos, "Need expression here");
  }

  const String& FBuf;
  std::size_t FCur = 0;
};

void TStatementReader::Statement() {
  if (AtEnd()) return;
  const String w = PeekWord();
  if (w == "BEGIN") return Block();
  if (w == "IF") return If();
  if (w == "REPEAT") return Repeat();
  if (w == "WHILE") return While();
  if (w == "FOR") return For();
  if (w == "GOTO") return Goto();
  if (w == "END" || w == "END;" || w == "UNTIL") return;  // an empty statement
  const std::size_t start = FCur;
  const unsigned char c = static_cast<unsigned char>(FBuf[start]);
  if (IsDigit(c)) {
    std::size_t e = start;
    while (e < FBuf.size() && IsDigit(static_cast<unsigned char>(FBuf[e]))) ++e;
    if (e < FBuf.size() && FBuf[e] == ':' && (e + 1 >= FBuf.size() || FBuf[e + 1] != '=')) {
      String label = FBuf.substr(start, e - start + 1);
      bool known = false;
      for (const auto& l : Labels) known = known || l.first == label;
      if (!known) Labels.emplace_back(label, Next());
      FCur = e + 1;
      return Statement();
    }
  } else if (IsLetter(c)) {
    std::size_t e = start;
    while (e < FBuf.size() && IsNameChar(static_cast<unsigned char>(FBuf[e]))) ++e;
    if (e >= FBuf.size() || FBuf[e] != '(') return NameStatement();
  }
  // Anything else is an expression whose value is dropped: calls with arguments.
  std::size_t at;
  if (!Expression()) Fail(start, "Need statement here");
  at = start;
  Add(String(1, frline::Call) + Trim(std::string_view(FBuf).substr(at, FCur - at)), at);
}

void TStatementReader::Block() {
  FCur += 5;  // BEGIN
  for (;;) {
    Statement();
    const String w = PeekWord();
    if (w[0] == ';') {
      ++FCur;
      continue;
    }
    if (w == "END" || w == "END;") {
      FCur += 3;
      return;
    }
    Fail(FCur, "Need \";\" or \"end\" here");
  }
}

void TStatementReader::If() {
  FCur += 2;
  std::size_t at;
  String cond = ExpressionText(at);
  const int test = Add(String(1, frline::IfFalseJump) + "  " + cond, at);
  if (PeekWord() != "THEN") Fail(FCur, "Need \"then\" here");
  FCur += 4;
  Statement();
  const std::size_t before = FCur;
  if (PeekWord() == "ELSE") {
    FCur += 4;
    const int jump = Add(String(1, frline::Jump) + "  ");
    SetTarget(test, Next());
    Statement();
    SetTarget(jump, Next());
  } else {
    FCur = before;
    SetTarget(test, Next());
  }
}

void TStatementReader::Repeat() {
  FCur += 6;
  const int body = Next();
  for (;;) {
    Statement();
    const String w = PeekWord();
    if (w[0] == ';') {
      ++FCur;
      continue;
    }
    if (w == "UNTIL") {
      FCur += 5;
      break;
    }
    Fail(FCur, "Need \";\" or \"until\" here");
  }
  std::size_t at;
  String cond = ExpressionText(at);
  const int test = Add(String(1, frline::IfFalseJump) + "  " + cond, at);
  SetTarget(test, body);
}

void TStatementReader::While() {
  FCur += 5;
  std::size_t at;
  String cond = ExpressionText(at);
  const int test = Add(String(1, frline::IfFalseJump) + "  " + cond, at);
  if (PeekWord() != "DO") Fail(FCur, "Need \"do\" here");
  FCur += 2;
  Statement();
  Add(String(1, frline::Jump) + Target(test));
  SetTarget(test, Next());
}

void TStatementReader::For() {
  FCur += 3;
  const std::size_t nameAt = Skip();
  if (!IsLetter(static_cast<unsigned char>(Peek()))) Fail(nameAt, "Need \":=\" here");
  const String name = ReadName();
  if (!PeekIs(":=")) Fail(FCur, "Need \":=\" here");
  FCur += 2;
  std::size_t at;
  String start = ExpressionText(at);
  Add(name + " " + start, at);
  if (PeekWord() != "TO") Fail(FCur, "Need \"to\" here");
  FCur += 2;
  String limit = ExpressionText(at);
  const int test = Add(String(1, frline::IfFalseJump) + "  " + name + "<=" + limit, at);
  if (PeekWord() != "DO") Fail(FCur, "Need \"do\" here");
  FCur += 2;
  Statement();
  Add(name + " " + name + "+1", nameAt);
  Add(String(1, frline::Jump) + Target(test));
  SetTarget(test, Next());
}

void TStatementReader::Goto() {
  FCur += 4;
  const std::size_t at = Skip();
  std::size_t e = at;
  while (e < FBuf.size() && IsDigit(static_cast<unsigned char>(FBuf[e]))) ++e;
  if (e == at) Fail(at, "\"goto\" label must be a number");
  const int line = Add(String(1, frline::Jump) + FBuf.substr(at, e - at), at);
  Lines[line].IsGoto = true;
  Lines[line].GotoLabel = FBuf.substr(at, e - at) + ":";
  FCur = e;
}

String TStatementReader::ReadName() {
  const std::size_t s = Skip();
  while (FCur < FBuf.size() && IsNameChar(static_cast<unsigned char>(FBuf[FCur]))) ++FCur;
  return FBuf.substr(s, FCur - s);
}

// An optional [expression] index after a name; its text, or empty.
String TStatementReader::ReadIndex() {
  if (Peek() != '[') return String();
  ++FCur;
  std::size_t at;
  String index = ExpressionText(at);
  if (Peek() != ']') Fail(FCur, "Need \"]\" here");
  ++FCur;
  return index;
}

void TStatementReader::NameStatement() {
  const std::size_t nameAt = Skip();
  const String name = ReadName();
  const String index = ReadIndex();
  const String w = PeekWord();
  if (w[0] == ';' || w == "END" || w == "END;" || w == "ELSE" || w == "UNTIL" || w == " ") {
    Add(String(1, frline::Call) + name + "(0)", nameAt);
    return;
  }
  if (!StartsWithWord(w, ":=")) Fail(FCur, "Need \":=\" here");
  FCur += 2;
  std::size_t at;
  String value = ExpressionText(at);
  if (index.empty())
    Add(name + " " + value, at);
  else
    Add(String(1, frline::Call) + "SETARRAY(" + name + ", " + index + ", " + value + ")", at);
}

// ---- expressions: checked here, stored as their source text

bool TStatementReader::Expression() {
  if (!Simple()) return false;
  const std::size_t op = Skip();
  if (PeekIs(">=") || PeekIs("<=") || PeekIs("<>")) FCur += 2;
  else if (Peek() == '<' || Peek() == '=' || Peek() == '>') FCur += 1;
  else return true;
  if (!Simple()) Fail(op, "Need expression here");
  return true;
}

bool TStatementReader::Simple() {
  if (!Term()) return false;
  const std::size_t op = Skip();
  const char c = Peek();
  if (c == '+' || c == '-') FCur += 1;
  else if (StartsWithWord(PeekWord(), "OR")) FCur += 2;
  else return true;
  if (!Simple()) Fail(op, "Need expression here");
  return true;
}

bool TStatementReader::Term() {
  if (!Factor()) return false;
  const std::size_t op = Skip();
  const char c = Peek();
  const String w = PeekWord();
  if (c == '*' || c == '/') FCur += 1;
  else if (StartsWithWord(w, "AND") || StartsWithWord(w, "MOD")) FCur += 3;
  else return true;
  if (!Term()) Fail(op, "Need expression here");
  return true;
}

bool TStatementReader::Factor() {
  const std::size_t at = Skip();
  if (at >= FBuf.size()) return false;
  const unsigned char c = static_cast<unsigned char>(FBuf[at]);
  if (c == '(') {
    ++FCur;
    if (!Expression()) Fail(Skip(), "Need expression here");
    if (Peek() != ')') Fail(FCur, "Need \")\" here");
    ++FCur;
    return true;
  }
  if (c == '[') {
    int depth = 0;
    bool inSingle = false, inDouble = false;
    for (std::size_t i = at; i < FBuf.size(); ++i) {
      const char d = FBuf[i];
      if (d == '\'' && !inDouble) inSingle = !inSingle;
      else if (d == '"' && !inSingle) inDouble = !inDouble;
      else if (!inSingle && !inDouble && d == '[') ++depth;
      else if (!inSingle && !inDouble && d == ']' && --depth == 0) {
        FCur = i + 1;
        return true;
      }
    }
    Fail(at, "Need \"]\" here");
  }
  if (c == '+' || c == '-') {
    ++FCur;
    Operand(at);
    return true;
  }
  if (PeekWord() == "NOT") {
    FCur += 3;
    Operand(at);
    return true;
  }
  if (IsLetter(c)) {
    ReadName();
    if (FCur < FBuf.size() && FBuf[FCur] == '(') {
      ++FCur;
      if (Peek() == ')') {
        ++FCur;
        return true;
      }
      for (;;) {
        if (!Expression()) Fail(Skip(), "Need expression here");
        const char d = Peek();
        ++FCur;
        if (d == ',') continue;
        if (d == ')') return true;
        Fail(FCur - 1, "Need \",\" or \")\" here");
      }
    }
    ReadIndex();
    return true;
  }
  if (c == '\'') {
    for (std::size_t i = at + 1; i < FBuf.size(); ++i) {
      if (FBuf[i] != '\'') continue;
      if (i + 1 < FBuf.size() && FBuf[i + 1] == '\'') {
        ++i;
        continue;
      }
      FCur = i + 1;
      return true;
    }
    Fail(at, "Unterminated string");
  }
  if (IsDigit(c)) {
    while (FCur < FBuf.size() && IsDigit(static_cast<unsigned char>(FBuf[FCur]))) ++FCur;
    if (FCur + 1 < FBuf.size() && FBuf[FCur] == '.' && IsDigit(static_cast<unsigned char>(FBuf[FCur + 1]))) {
      ++FCur;
      while (FCur < FBuf.size() && IsDigit(static_cast<unsigned char>(FBuf[FCur]))) ++FCur;
    }
    return true;
  }
  return false;
}

// ---------------------------------------------------------------- pass 3: final

std::vector<String> Finish(std::vector<TLine>& lines, const std::vector<std::pair<String, int>>& labels,
                           const TfrParser& parser) {
  std::vector<String> out;
  out.reserve(lines.size());
  for (TLine& l : lines) {
    const char kind = l.Text[0];
    try {
      if (l.IsGoto) {
        int target = -1;
        for (const auto& label : labels)
          if (label.first == l.GotoLabel) target = label.second;
        if (target < 0) Fail(l.ExprPos, "Label not defined");
        out.push_back(String{frline::Jump, char(target & 0xFF), char((target >> 8) & 0xFF)});
      } else if (kind == frline::Jump) {
        out.push_back(l.Text);
      } else if (kind == frline::IfFalseJump) {
        out.push_back(l.Text.substr(0, 3) + parser.ToPostfix(l.Text.substr(3)));
      } else if (kind == frline::Call) {
        out.push_back(String(1, frline::Call) + parser.ToPostfix(l.Text.substr(1)));
      } else {
        std::size_t blank = l.Text.find(' ');
        out.push_back(l.Text.substr(0, blank + 1) + parser.ToPostfix(l.Text.substr(blank + 1)));
      }
    } catch (const EfrParserError& e) {
      Fail(l.ExprPos, e.Message());
    }
  }
  return out;
}

// "Line l/c" of a buffer position: cut comments put back, counted in characters from 1.
String Where(std::size_t pos, const std::vector<TComment>& comments, const std::vector<String>& source) {
  for (const TComment& c : comments)
    if (c.Pos <= pos) pos += c.Length;
  std::size_t lineStart = 0;
  for (std::size_t i = 0; i < source.size(); ++i) {
    const std::size_t len = source[i].size() + 1;
    if (pos < lineStart + len) {
      const int col = Length(std::string_view(source[i]).substr(0, std::min(pos - lineStart, source[i].size()))) + 1;
      return "Line " + IntToStr(static_cast<int>(i) + 1) + "/" + IntToStr(col);
    }
    lineStart += len;
  }
  return "Line " + IntToStr(static_cast<int>(source.size()) + 1) + "/0";
}

}  // namespace

TCompileResult Compile(const std::vector<String>& Source, const TfrParser& Parser) {
  TCompileResult r;
  std::vector<TComment> comments;
  const String buf = StripComments(Source, comments);
  TStatementReader reader(buf);
  try {
    reader.Program();
    r.Lines = Finish(reader.Lines, reader.Labels, Parser);
  } catch (const TCompileError& e) {
    for (const TLine& l : reader.Lines) r.Lines.push_back(l.Text);
    r.Error = Where(e.Pos, comments, Source) + ": " + e.Message;
  }
  return r;
}

}  // namespace frintrp
