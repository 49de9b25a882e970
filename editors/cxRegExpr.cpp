#include "editors/cxRegExpr.h"

#include "core/StrUtils.h"
#include "core/Streams.h"
#include "editors/cxClasses.h"
#include "editors/cxRegExprAutomat.h"
#include "editors/cxRegExprConsts.h"
#include "editors/cxRegExprTree.h"

TcxRegExpr::TcxRegExpr()
    : FErrors(std::make_unique<TcxRegExprErrors>()), FLexems(std::make_unique<TcxLexems>()),
      FSource(std::make_unique<TMemoryStream>()) {}

TcxRegExpr::~TcxRegExpr() { Discard(); }

void TcxRegExpr::Discard() {
  FSource->Clear();
  FErrors->Clear();
  FLexems->Clear();
  FGroups.clear();
  FAutomaton.reset();
  FReplaced.clear();
  FText.clear();
  FReadIndex = 0;
  FLexemIndex = 0;
  FColumn = 0;
  FLineNo = 1;
  FDepth = 0;
  FTreeSize = 0;
  FCompiled = false;
}

TMemoryStream* TcxRegExpr::Source() const { return FCompiled ? FSource.get() : nullptr; }

void TcxRegExpr::Compile(const String& Text) {
  TStringStream Stream(Text);
  Compile(&Stream);
}

void TcxRegExpr::Compile(TStream* Stream) {
  if (FFirstCompile) FFirstCompile = false;
  else Discard();
  try {
    if (!Stream) throw Exception("no stream");
    FSource->LoadFromStream(Stream);
  } catch (const std::exception&) {
    AddError(0, 0, TranslateLibraryString(cxRegExprText::SourceNotAssigned));
    throw EcxRegExprError(FErrors.get());
  }
  FText = Utf8ToUtf32(std::string_view(static_cast<const char*>(FSource->Memory()), static_cast<std::size_t>(FSource->Size())));
  bool Blank = true;
  for (char32_t c : FText)
    if (!(c == U' ' || c == 0 || c == U'\t' || c == U'\n' || c == U'\f' || c == U'\r')) Blank = false;
  if (Blank) {
    AddError(0, 0, TranslateLibraryString(cxRegExprText::SourceEmpty));
    throw EcxRegExprError(FErrors.get());
  }
  Lex();
  if (FErrors->Count() > 0) throw EcxRegExprError(FErrors.get());
  std::unique_ptr<TcxRegExprParserAlts> Tree = Parse();
  if (FErrors->Count() > 0) {
    Tree.reset();
    FGroups.clear();
    FReplaced.clear();
    throw EcxRegExprError(FErrors.get());
  }
  FAutomaton = std::make_unique<TcxRegExprAutomat>(std::move(Tree), this);
  FCompiled = true;
  if (FAutoFill) FAutomaton->FillLiterals();
}

char32_t TcxRegExpr::ReadChar() {
  const char32_t c = FText[static_cast<std::size_t>(FReadIndex++)];
  if (c == U'\r') ++FLineNo;
  if (c == U'\n') FColumn = 0;
  else ++FColumn;
  return c;
}

char32_t TcxRegExpr::Peek(int Offset) const {
  const std::size_t I = static_cast<std::size_t>(FReadIndex + Offset);
  return I < FText.size() ? FText[I] : 0;
}

void TcxRegExpr::AddError(int LineNo, int Column, const String& Text) {
  FErrors->Add(new TcxRegExprError(LineNo, Column, Text));
}

void TcxRegExpr::AddLexem(int Kind, const String& Text, int LineNo, int Column) {
  TcxLexem Lexem;
  Lexem.Kind = Kind;
  Lexem.Text = Text;
  Lexem.LineNo = LineNo;
  Lexem.Column = Column;
  FLexems->Add(Lexem);
}

String TcxRegExpr::TreeAsText() const { return FAutomaton ? FAutomaton->Tree().AsText() : String(); }

// --- matching ---------------------------------------------------------------------------------

void TcxRegExpr::CheckCompiled() const {
  if (!FCompiled) throw EcxEditError(TranslateLibraryString(cxRegExprText::NotCompiled));
}

void TcxRegExpr::SetAutoFill(bool Value) {
  FAutoFill = Value;
  if (FCompiled && Value) FAutomaton->FillLiterals();
}

bool TcxRegExpr::Accept(char32_t& Ch) {
  CheckCompiled();
  const bool Result = FAutomaton->Accept(Ch, FCaseInsensitive);
  if (FAutoFill && Result && !FAutomaton->IsAccepting()) FAutomaton->FillLiterals();
  return Result;
}

String TcxRegExpr::FeedText(const String& Text) {
  CheckCompiled();
  String Result;
  for (char32_t c : Utf8ToUtf32(Text)) {
    char32_t Copy = c;
    if (FAutomaton->Accept(Copy, FCaseInsensitive)) AppendUtf8(Result, c);
  }
  return Result;
}

bool TcxRegExpr::StepBack() {
  CheckCompiled();
  if (FAutoFill) FAutomaton->SkipBackOverLiterals();
  return FAutomaton->StepBack();
}

void TcxRegExpr::Restart() {
  CheckCompiled();
  FAutomaton->Restart();
}

bool TcxRegExpr::IsComplete() {
  CheckCompiled();
  return FAutomaton->IsAccepting();
}

bool TcxRegExpr::AtStart() {
  CheckCompiled();
  return FAutomaton->AtStart();
}

void TcxRegExpr::DoLiteralAdded(char32_t Ch) {
  if (OnLiteralAdded) OnLiteralAdded(Ch);
}

void TcxRegExpr::DoLiteralRemoved() {
  if (OnLiteralRemoved) OnLiteralRemoved();
}
