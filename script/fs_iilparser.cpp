// TfsILParser: loading a grammar, and the passes of one parse: line ends, the language
// directive, matching the program rule, the text left over, and the document.
#include "script/fs_iilparser.h"

#include "script/fs_igrammar.h"
#include "script/fs_iilconst.h"
#include "script/fs_iilmatch_p.h"
#include "script/fs_iparser.h"
#include "script/fs_iscript.h"
#include "script/fs_itools.h"
#include "script/fs_xml.h"
#include "core/StackSpace.h"
#include "core/StrUtils.h"
#include "core/Streams.h"
#include "core/StringList.h"
#include "core/SysUtils.h"

#include <algorithm>
#include <cassert>

namespace {

// The lexer settings of a grammar's `parser` element, by lower-cased name. Unknown names,
// `keywords` and `errors` change nothing here.
struct TLexerSetting {
  std::string_view Name;
  void (*Apply)(TfsParser& Lexer, const String& Value);
};
const TLexerSetting kLexerSettings[] = {
    {"commentline1", [](TfsParser& l, const String& v) { l.SetCommentLine1(v); }},
    {"commentline2", [](TfsParser& l, const String& v) { l.SetCommentLine2(v); }},
    {"commentblock1", [](TfsParser& l, const String& v) { l.DefineCommentBlock1(v); }},
    {"commentblock2", [](TfsParser& l, const String& v) { l.DefineCommentBlock2(v); }},
    {"stringquotes", [](TfsParser& l, const String& v) { l.SetStringQuotes(v); }},
    {"stringescapes", [](TfsParser& l, const String& v) { if (v == "0") l.SetStringEscapes(false); }},
    // An empty prefix would make every integer hexadecimal: it keeps the default.
    {"hexsequence", [](TfsParser& l, const String& v) { if (!v.empty()) l.SetHexSequence(v); }},
    {"identchars", [](TfsParser& l, const String& v) { l.DefineIdentChars(v); }},
    {"skipchar", [](TfsParser& l, const String& v) { l.SetSkipChar(v); }},
    {"skipeol", [](TfsParser& l, const String& v) { if (v == "0") l.SetSkipEOL(false); }},
    {"casesensitive", [](TfsParser& l, const String& v) { if (v == "1") l.SetCaseSensitive(true); }},
};

// Whether every line end is CR LF already.
bool LineEndsClean(const String& Text) {
  bool clean = true;
  for (std::size_t i = 0; i < Text.size() && clean; ++i) {
    if (Text[i] == '\r') clean = i + 1 < Text.size() && Text[i + 1] == '\n';
    else if (Text[i] == '\n') clean = i > 0 && Text[i - 1] == '\r';
  }
  return clean;
}

// Every line end becomes CR LF: a language whose line ends matter sees one wherever the text
// has one, and the `#language` line ends where its line does.
String NormalizeLineEnds(const String& Text) {
  String r;
  r.reserve(Text.size() + Text.size() / 16);
  for (std::size_t i = 0; i < Text.size(); ++i) {
    char c = Text[i];
    if (c == '\r') {
      r += "\r\n";
      if (i + 1 < Text.size() && Text[i + 1] == '\n') ++i;
    } else if (c == '\n') {
      r += "\r\n";
    } else {
      r += c;
    }
  }
  return r;
}

const String kSyntaxError = "Syntax error";

bool gFirstTokenSkipping = true;

}  // namespace

bool TfsILParser::FirstTokenSkipping() { return gFirstTokenSkipping; }

void TfsILParser::SetFirstTokenSkipping(bool On) { gFirstTokenSkipping = On; }

TfsILParser::TfsILParser(TfsScript* AScript)
    : FILDoc(std::make_unique<TfsXMLDocument>()),
      FLexer(std::make_unique<TfsParser>()),
      FScript(AScript),
      FUsedUnits(std::make_unique<TStringList>()),
      FWithNames(std::make_unique<TStringList>()) {
  assert(AScript);
}

TfsILParser::~TfsILParser() = default;

const TfsXMLDocument* TfsILParser::GrammarDoc() const { return FGrammar ? FGrammar->Document() : nullptr; }

const TfsXMLItem* TfsILParser::GrammarRoot() const { return FGrammar ? FGrammar->Root() : nullptr; }

void TfsILParser::ComposeBuildErrorPos() const {
  FBuildErrorPos.clear();
  AppendLineCol(FBuildErrorPos, FPosLine, FPosCol);
  FPosPending = false;
}

// ---------------------------------------------------------------- the grammar

void TfsILParser::LoadGrammar(const String& ALanguageName) {
  // Found and read before anything changes, so a failure leaves the parser as it was.
  std::shared_ptr<const TfsGrammar> grammar = TfsGrammar::ForLanguage(ALanguageName);
  FLexer->RestoreDefaults();
  FLanguageName = ALanguageName;
  FGrammar = std::move(grammar);
  FLexer->SetSharedKeywords(FGrammar->KeywordSet());
  for (const TfsGrammarSetting& setting : FGrammar->Settings()) {
    if (setting.Name == "declarevars") {
      if (setting.Value == "0") FDeclareVarsRequired = false;
      continue;
    }
    for (const TLexerSetting& rule : kLexerSettings)
      if (rule.Name == setting.Name) rule.Apply(*FLexer, setting.Value);
  }
  // Identifiers written in a double-byte code page.
  if (FScript->HighByteIdentChars())
    for (int c = 128; c <= 255; ++c) FLexer->IdentChars().Include(static_cast<unsigned char>(c));
}

// ---------------------------------------------------------------- a parse

bool TfsILParser::SourceToIL(const String& Text) {
  // The main text starts the compile: no unit has failed yet.
  if (FCurrentUnit.empty()) FScript->SetCompileError(String(), String(), String());
  TParseResult result = Parse(Text, FILDoc->Root());
  FScript->SetCompileError(result.Message, result.Pos, FScript->CompileErrorUnit());
  return result.Ok;
}

TfsILParser::TParseResult TfsILParser::Parse(const String& Text, TfsXMLItem* Program) {
  String normalized;
  const String& source = LineEndsClean(Text) ? Text : (normalized = NormalizeLineEnds(Text));
  FLexer->LoadSource(source);

  // The language directive: `#language <name>` from the very first character to the line end.
  int start = 1;
  if (!source.empty() && source[0] == '#') {
    FLexer->MoveTo(2);
    if (SameText(FLexer->ScanWord(), "language")) {
      const std::size_t from = static_cast<std::size_t>(FLexer->Position() - 1);
      const std::size_t cr = source.find('\r', from);
      LoadGrammar(Trim(source.substr(from, cr == String::npos ? String::npos : cr - from)));
      start = cr == String::npos ? FLexer->Size() + 1 : std::min(static_cast<int>(cr) + 3, FLexer->Size() + 1);
    }
  }
  FLexer->MoveTo(start);

  TParseResult result;
  TfsILOutput output;
  output.Reserve(source.size() / 8);  // about one line of output per eight bytes of source
  TfsILErrorState error;
  bool matched = true;
  const bool hasProgram = FGrammar && FGrammar->ProgramRule() >= 0;
  if (hasProgram) {
    TfsILMatcher matcher(*this, *FGrammar, output, error);
    try {
      matched = matcher.MatchRule(FGrammar->ProgramRule());
    } catch (const EStackOverflow& e) {
      result.Message = e.Message();
      result.Pos = FLexer->PositionToLineCol();
      return result;
    }
    if (!matched && !error.Pending()) error.Record(kSyntaxError, FLexer->PositionToLineCol(matcher.Furthest()), false);
    // What follows the program's match is part of no rule: it is an error, not dropped.
    if (matched && !error.Pending() && !FGrammar->IgnoreTail()) {
      while (FLexer->ReadLineEnd()) {
      }
      if (FLexer->Position() <= FLexer->Size()) error.Record(kSyntaxError, FLexer->PositionToLineCol(), false);
    }
  }
  if (error.Pending()) {
    result.Message = error.Message().empty() ? kSyntaxError : error.Message();
    result.Pos = error.Pos();
    return result;
  }
  Program->Clear();
  Program->SetName(String(fsil::Program));
  Program->SetText(String());
  output.MoveInto(Program);
  TfsXMLItem* types = Program->Add();
  if (FGrammar && FGrammar->Types()) types->CopyFrom(FGrammar->Types());
  else types->SetName(String(fsil::Types));
  result.Ok = true;
  return result;
}
