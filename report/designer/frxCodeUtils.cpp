#include "report/designer/frxCodeUtils.h"

#include "core/Exceptions.h"
#include "core/StrUtils.h"
#include "core/Streams.h"
#include "core/StringList.h"
#include "report/frxRes.h"
#include "report/frxXML.h"
#include "script/fs_iparser.h"
#include "script/fs_itools.h"

#include <algorithm>
#include <vector>

namespace {

struct TTemplate {
  const char* Language;
  const char* Text;
};
constexpr TTemplate kTemplates[] = {
    {"PascalScript", "proc=\"procedure\" begin=\"begin\" end=\"end;\" lastend=\"end.\""},
    {"C++Script", "proc=\"void\" begin=\"{\" end=\"}\" lastend=\"}\""},
    {"BasicScript", "proc=\"sub\" begin=\"\" end=\"end sub\" lastend=\"\""},
    {"JScript", "proc=\"function\" begin=\"{\" end=\"}\" lastend=\"\""},
};

struct TEventParams {
  const char* EventType;
  const char* Pascal;
  const char* Cpp;
  const char* Basic;
  const char* JS;
};
constexpr TEventParams kEventParams[] = {
    {"TfrxNotifyEvent", "(Sender: TfrxComponent);", "(TfrxComponent Sender)", "(Sender)", "(Sender)"},
    {"TfrxCloseQueryEvent", "(Sender: TfrxComponent; var CanClose: Boolean);",
     "(TfrxComponent Sender, bool &CanClose)", "(Sender, byref CanClose)", "(Sender, &CanClose)"},
    {"TfrxKeyEvent", "(Sender: TfrxComponent; var Key: Word; Shift: Integer);",
     "(TfrxComponent Sender, word &Key, int Shift)", "(Sender, byref Key, Shift)", "(Sender, &Key, Shift)"},
    {"TfrxKeyPressEvent", "(Sender: TfrxComponent; var Key: Char);", "(TfrxComponent Sender, char &Key)",
     "(Sender, byref Key)", "(Sender, &Key)"},
    {"TfrxMouseEvent", "(Sender: TfrxComponent; Button: TMouseButton; Shift: Integer; X, Y: Integer);",
     "(TfrxComponent Sender, TMouseButton Button, int Shift, int X, int Y)", "(Sender, Button, Shift, X, Y)",
     "(Sender, Button, Shift, X, Y)"},
    {"TfrxMouseMoveEvent", "(Sender: TfrxComponent; Shift: Integer; X, Y: Integer);",
     "(TfrxComponent Sender, int Shift, int X, int Y)", "(Sender, Shift, X, Y)", "(Sender, Shift, X, Y)"},
    {"TfrxPreviewClickEvent", "(Sender: TfrxView; Button: TMouseButton; Shift: Integer; var Modified: Boolean);",
     "(TfrxView Sender, TMouseButton Button, int Shift, bool &Modified)", "(Sender, Button, Shift, byref Modified)",
     "(Sender, Button, Shift, &Modified)"},
    {"TfrxRunDialogsEvent", "(var Result: Boolean);", "(bool &Result)", "(byref Result)", "(&Result)"},
};

// The template text of a key; '' when the table does not hold the key.
String TableText(const String& Key) {
  String text = ReportResources()->TextOf(Key);
  return text == Key ? String() : text;
}

// A script read by the language's lexer: its tokens (words upper-cased, strings as one token
// that matches nothing), each with its line.
struct TToken {
  String Text;
  int Line;
};

std::vector<TToken> Tokens(TfsParser& Parser, const String& Text) {
  std::vector<TToken> out;
  Parser.LoadSource(Text);
  const std::vector<int>& starts = Parser.LineStarts();
  for (;;) {
    Parser.SkipBlanksAndComments();
    const int from = Parser.Position();
    if (from > Parser.Size()) break;
    const int line = static_cast<int>(std::upper_bound(starts.begin(), starts.end(), from - 1) - starts.begin()) - 1;
    String word = Parser.ReadWordToken();
    if (!word.empty()) {
      out.push_back({AnsiUpperCase(word), line});
      continue;
    }
    Parser.ReadNumberLiteral();
    if (Parser.Position() > from) {
      out.push_back({Text.substr(from - 1, Parser.Position() - from), line});
      continue;
    }
    try {
      Parser.ReadStringLiteral();
    } catch (const EConvertError&) {
      Parser.MoveTo(from);
    }
    if (Parser.Position() > from) {
      out.push_back({String(1, '\0'), line});  // no template holds a NUL
      continue;
    }
    Parser.MoveTo(from + 1);
    out.push_back({Text.substr(from - 1, 1), line});
  }
  return out;
}

// How often the token sequence Pattern occurs within the tokens of one line.
int Occurrences(const std::vector<TToken>& Script, std::size_t LineFirst, std::size_t LineEnd,
                const std::vector<TToken>& Pattern) {
  if (Pattern.empty()) return 0;
  int n = 0;
  for (std::size_t i = LineFirst; i + Pattern.size() <= LineEnd; ++i) {
    bool match = true;
    for (std::size_t k = 0; k < Pattern.size() && match; ++k) match = Script[i + k].Text == Pattern[k].Text;
    if (match) {
      ++n;
      i += Pattern.size() - 1;
    }
  }
  return n;
}

String CantFindProcMessage() {
  // The designer's text block holds the message; the routines also serve without it.
  String text = ReportResources()->TextOf("dsCantFindProc");
  return text == "dsCantFindProc" ? String("找不到主过程") : text;
}

}  // namespace

void RegisterScriptTemplates() {
  TfrxResources* r = ReportResources();
  for (const TTemplate& t : kTemplates) r->PutText(t.Language, t.Text);
  for (const TEventParams& e : kEventParams)
    r->PutText(e.EventType, String("PascalScript=") + e.Pascal + "\r\nC++Script=" + e.Cpp + "\r\nBasicScript=" +
                                e.Basic + "\r\nJScript=" + e.JS);
}

String TemplateValue(const String& Language, const String& Attribute) {
  const String text = TableText(Language);
  if (text.empty()) return String();
  const String upper = AnsiUpperCase(text);
  const std::size_t p = upper.find(AnsiUpperCase(Attribute) + "=\"");
  if (p == String::npos || (p > 0 && upper[p - 1] != ' ')) return String();
  const std::size_t from = p + Attribute.size() + 2;
  const std::size_t to = text.find('"', from);
  return text.substr(from, to == String::npos ? String::npos : to - from);
}

String EventParameters(const String& EventType, const String& Language) {
  const String text = TableText(EventType);
  if (text.empty()) return String();
  TStringList lines;
  lines.SetText(text);
  return lines.Values(Language);
}

void ListCompatibleProcedures(TStrings* Lines, const String& Language, const String& EventType, TStrings* Result) {
  Result->Clear();
  const String params = EventParameters(EventType, Language);
  const String keyword = AnsiUpperCase(TemplateValue(Language, "proc"));
  if (keyword.empty() || params.empty()) return;  // unknown language or event: nothing fits
  for (int i = 0; i < Lines->Count(); ++i) {
    const String& line = Lines->Strings(i);
    if (!StartsStr(keyword, AnsiUpperCase(line))) continue;
    const String s = line.substr(keyword.size());
    const int open = Pos("(", s);
    const String name = open > 0 ? Trim(Copy(s, 1, open - 1)) : String();
    const String rest = Trim(Copy(s, open > 0 ? open : 1, 255));
    if (AnsiSameText(rest, params)) Result->Add(name);
  }
}

int FindProcedureLine(TStrings* Lines, const String& Language, const String& Name) {
  const String prefix = AnsiUpperCase(TemplateValue(Language, "proc") + " " + Name + "(");
  for (int i = 0; i < Lines->Count(); ++i)
    if (StartsStr(prefix, AnsiUpperCase(Lines->Strings(i)))) return i;
  return -1;
}

int FindInsertionLine(TStrings* Lines, const String& Language) {
  const String beginText = TemplateValue(Language, "begin");
  const String endText = TemplateValue(Language, "end");
  const String lastEnd = TemplateValue(Language, "lastend");
  const int count = Lines->Count();
  if (lastEnd.empty()) {
    // No main block: before the last line, but after a last line that closes a procedure, so
    // the stub never lands inside one.
    if (count == 0) return 0;
    if (!endText.empty() && AnsiSameText(Trim(Lines->Strings(count - 1)), endText)) return count;
    return count - 1;
  }
  TfsParser parser;
  LoadGrammarLexer(&parser, Language);
  String text;
  for (int i = 0; i < count; ++i) {
    if (i > 0) text += "\n";
    text += Lines->Strings(i);
  }
  const std::vector<TToken> script = Tokens(parser, text);
  const std::vector<TToken> beginTokens = Tokens(parser, beginText);
  const std::vector<TToken> endTokens = Tokens(parser, endText);
  const std::vector<TToken> lastTokens = Tokens(parser, lastEnd);
  // Token ranges per line.
  std::vector<std::size_t> first(count + 1, script.size());
  for (std::size_t t = script.size(); t-- > 0;) first[script[t].Line] = t;
  for (int line = count - 1; line >= 0; --line) first[line] = std::min(first[line], first[line + 1]);
  auto occurrences = [&](int line, const std::vector<TToken>& pattern) {
    return Occurrences(script, first[line], first[line + 1], pattern);
  };

  int last = count - 1;
  while (last >= 0 && occurrences(last, lastTokens) == 0) --last;
  if (last <= 0) return -1;
  int depth = 1;
  for (int line = last - 1; line >= 0; --line) {
    depth += occurrences(line, endTokens);
    depth -= occurrences(line, beginTokens);
    if (depth <= 0) return line;
  }
  return 0;
}

int InsertHandlerStub(TStrings* Lines, const String& Language, const String& EventType, const String& Name) {
  const int at = FindInsertionLine(Lines, Language);
  if (at == -1) throw Exception(CantFindProcMessage());
  Lines->Insert(at, TemplateValue(Language, "proc") + " " + Name + EventParameters(EventType, Language));
  Lines->Insert(at + 1, TemplateValue(Language, "begin"));
  Lines->Insert(at + 2, "");
  Lines->Insert(at + 3, TemplateValue(Language, "end"));
  Lines->Insert(at + 4, "");
  return at + 3;
}

void MakeEmptyScript(TStrings* List, const String& Language) {
  List->Clear();
  const String lastEnd = TemplateValue(Language, "lastend");
  if (lastEnd.empty()) return;
  List->Add(TemplateValue(Language, "begin"));
  List->Add("");
  List->Add(lastEnd);
}

bool LoadGrammarLexer(TfsParser* Parser, const String& Language) {
  TStringList names;
  ListGrammarNames(&names);
  if (names.IndexOf(Language) < 0) return false;
  TfrxXMLDocument doc;
  TStringStream stream(FindGrammarText(Language));
  doc.ReadFromStream(&stream, false);
  TfrxXMLItem* parser = doc.Root()->ChildByName("parser");
  for (int i = 0; i < parser->ChildCount(); ++i) {
    TfrxXMLItem* item = parser->ChildAt(i);
    const String name = LowerCase(item->Name());
    const String text = item->AttrValue("text");
    if (name == "keywords") {
      for (int k = 0; k < item->ChildCount(); ++k) Parser->Keywords()->Add(item->ChildAt(k)->Name());
    } else if (name == "identchars") {
      Parser->DefineIdentChars(text);
    } else if (name == "commentline1") {
      Parser->SetCommentLine1(text);
    } else if (name == "commentline2") {
      Parser->SetCommentLine2(text);
    } else if (name == "commentblock1") {
      Parser->DefineCommentBlock1(text);
    } else if (name == "commentblock2") {
      Parser->DefineCommentBlock2(text);
    } else if (name == "stringquotes") {
      Parser->SetStringQuotes(text);
    } else if (name == "hexsequence" && !text.empty()) {
      Parser->SetHexSequence(text);
    }
  }
  return true;
}
