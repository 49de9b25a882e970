// The code editor's colouring and painting: the lexer set up from the language's grammar (or
// the built-in SQL set), the token kind of every character, and the drawing of the text, the
// selection, the debugger's line, the gutter with its marks and the error bar.
#include "report/designer/frxSynMemo.h"

#include "core/Exceptions.h"
#include "core/Scope.h"
#include "core/StrUtils.h"
#include "core/StringList.h"
#include "core/SysUtils.h"
#include "gui/Canvas.h"
#include "gui/Caret.h"
#include "gui/Colors.h"
#include "gui/GraphicsObjects.h"
#include "gui/Pictures.h"
#include "report/designer/frxCodeUtils.h"
#include "script/fs_iparser.h"

#include <algorithm>

namespace {

const char* const kSqlKeywords =
    "active,after,all,alter,and,any,as,asc,ascending,at,auto,base_name,before,begin,between,by,cache,call,cast,"
    "check,column,commit,committed,computed,conditional,constraint,containing,count,create,current,cursor,"
    "database,debug,declare,default,delete,desc,descending,distinct,do,domain,drop,else,end,entry_point,escape,"
    "exception,execute,exists,exit,external,extract,filter,for,foreign,from,full,function,generator,grant,group,"
    "having,if,in,inactive,index,inner,insert,into,is,isolation,join,key,left,level,like,merge,names,no,not,null,"
    "of,on,only,or,order,outer,parameter,password,plan,position,primary,privileges,procedure,protected,read,"
    "retain,returns,revoke,right,rollback,schema,select,set,shadow,shared,snapshot,some,suspend,table,then,to,"
    "transaction,trigger,uncommitted,union,unique,update,user,using,values,view,wait,when,where,while,with,work";

// A cell's style: its token kind, with this bit when it is drawn in the selection colours.
constexpr int kSelectedStyle = 0x10;
// NULs after the text, so the lexer's look-ahead never leaves it.
constexpr int kTailNuls = 11;

}  // namespace

// ---------------------------------------------------------------- the language

void TfrxSyntaxMemo::SetLanguageName(const String& Value) {
  FLanguageName = Value;
  ConfigureLexer();
  RefreshCode();
}

void TfrxSyntaxMemo::ConfigureLexer() {
  FParser->Keywords()->Clear();
  if (SameText(FLanguageName, "SQL")) {
    for (const String& w : SplitTrimmed(kSqlKeywords, ',')) FParser->Keywords()->Add(w);
    FParser->SetCommentLine1("--");
    FParser->SetCommentLine2("");
    FParser->DefineCommentBlock1("/*,*/");
    FParser->DefineCommentBlock2("");
    FParser->SetStringQuotes("\"");
    FParser->SetHexSequence("0x");
    return;
  }
  LoadGrammarLexer(FParser.get(), FLanguageName);  // an unknown language: no keywords, other rules stay
}

// ---------------------------------------------------------------- token kinds

void TfrxSyntaxMemo::Rehighlight() {
  // The whole text as the lexer reads it (UTF-8, lines joined by CR LF), and where each line
  // starts in it.
  String text;
  std::vector<std::size_t> starts;
  starts.reserve(FText.size());
  for (std::size_t i = 0; i < FText.size(); ++i) {
    if (i > 0) text += "\r\n";
    starts.push_back(text.size());
    for (char32_t c : FText[i]) {
      if (c < 0x80) text += static_cast<char>(c);
      else AppendUtf8(text, c);
    }
  }
  const int size = static_cast<int>(text.size());
  text.append(kTailNuls, '\0');
  std::string kinds(text.size(), static_cast<char>(ckText));
  auto mark = [&](int from, int to, TfrxCodeTokenKind kind) {
    for (int p = from; p < to; ++p)
      if (static_cast<unsigned char>(text[p - 1]) > 31) kinds[p - 1] = static_cast<char>(kind);
  };

  FParser->LoadSource(text);
  while (FParser->Position() <= size) {
    int from = FParser->Position();
    FParser->SkipBlanksAndComments();
    mark(from, FParser->Position(), ckComment);  // blanks count as comment cells
    from = FParser->Position();
    if (from > size) break;
    TfrxCodeTokenKind kind = ckText;
    const String word = FParser->ReadWordToken();
    const bool number = word.empty() && (FParser->ReadNumberLiteral(), FParser->Position() > from);
    if (!word.empty()) {
      if (FParser->KeywordListed(word)) kind = ckKeyword;
    } else if (number) {
      kind = ckNumber;
    } else {
      try {
        FParser->ReadStringLiteral();
      } catch (const EConvertError&) {
        FParser->MoveTo(from);  // a character code too long for a number: plain text
      }
      if (FParser->Position() > from) kind = ckString;
      else FParser->MoveTo(from + 1);
    }
    mark(from, FParser->Position(), kind);
  }

  // One kind per character: the kind of its first byte.
  TRestore<bool> rebuilding(FRebuildingAttrs, true);
  FAttrs.assign(FText.size(), std::string());
  for (std::size_t i = 0; i < FText.size(); ++i) {
    std::string& line = FAttrs[i];
    line.resize(FText[i].size());
    std::size_t p = starts[i];
    for (std::size_t c = 0; c < FText[i].size(); ++c) {
      line[c] = kinds[p];
      p += static_cast<std::size_t>(Utf8SeqLen(static_cast<unsigned char>(text[p])));
    }
  }
}

void TfrxSyntaxMemo::RefreshCode() {
  Rehighlight();
  Invalidate();
}

std::string TfrxSyntaxMemo::AttrLine(int Index) const {
  std::string r(Index >= 0 && Index < LineCount() ? FText[Index].size() : 0, static_cast<char>(ckText));
  if (Index >= 0 && Index < static_cast<int>(FAttrs.size()))
    std::copy_n(FAttrs[Index].begin(), std::min(r.size(), FAttrs[Index].size()), r.begin());
  return r;
}

// ---------------------------------------------------------------- fonts

TFont* TfrxSyntaxMemo::StyleFont(int Style) const {
  const int kind = Style & ~kSelectedStyle;
  return FFonts[kind >= ckText && kind <= ckNumber && FFonts[kind] ? kind : ckText].get();
}

void TfrxSyntaxMemo::FontChanged() { MeasureFont(); }

void TfrxSyntaxMemo::MeasureFont() {
  for (auto& f : FFonts)
    if (f) {
      f->SetName(Font()->Name());
      f->SetSize(Font()->Size());
    }
  TBitmap scratch;
  scratch.SetSize(8, 8);
  scratch.Canvas()->Font()->Assign(Font());
  scratch.Canvas()->Font()->SetStyle({fsBold});
  FLineHeight = scratch.Canvas()->TextHeight("Wg") + 1;
  FCharWidth = std::max(1, scratch.Canvas()->TextWidth("W"));
  FCourier = UpperCase(Font()->Name()).find("COURIER NEW") != String::npos;
  if (CaretWindow() == Handle()) {
    CreateCaret(Handle(), 2, FLineHeight);
    PlaceCaret();
  }
  if (FViewSized) Resize();
  Invalidate();
}

// ---------------------------------------------------------------- painting

void TfrxSyntaxMemo::Paint() {
  PaintOn(Canvas());
  DrawCaret(Handle(), Canvas()->Handle());
}

void TfrxSyntaxMemo::DrawRun(TCanvas* C, int& X, int Y, const std::u32string& Line, int From, int Count, int Style) {
  if (Count <= 0) return;
  const bool selected = Style & kSelectedStyle;
  C->Font()->Assign(StyleFont(Style));
  if (selected) C->Font()->SetColor(FSelTextColor);
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(selected ? FSelColor : Color());
  C->FillRect(Rect(X, Y, X + Count * FCharWidth, Y + FLineHeight));
  std::u32string_view run(Line.data() + From, static_cast<std::size_t>(Count));
  if (FCourier) {
    C->TextOut(X, Y, Utf32ToUtf8(run));
  } else {
    // Any other font still sits on the grid of the cell width.
    for (int i = 0; i < Count; ++i) C->TextOut(X + i * FCharWidth, Y, Utf32ToUtf8(run.substr(i, 1)));
  }
  X += Count * FCharWidth;
}

void TfrxSyntaxMemo::PaintOn(TCanvas* C) {
  const TRect client = ClientRect();
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(Color());
  C->FillRect(client);
  if (FGutterWidth > 0) {
    C->Brush()->SetColor(clBtnFace);
    C->FillRect(Rect(0, 0, FGutterWidth - 2, client.Bottom));
    C->Pen()->SetColor(clBtnHighlight);
    C->MoveTo(FGutterWidth - 4, 0);
    C->LineTo(FGutterWidth - 4, client.Bottom);
  }
  if (!FRebuildingAttrs) {
    for (int line = FOffset.Y; line < FOffset.Y + FVisibleLines && line < LineCount(); ++line) {
      const std::u32string& s = FText[line];
      const int len = static_cast<int>(s.size());
      const bool wholeLine = line + 1 == FDebugLine;
      const std::string& attrs = line < static_cast<int>(FAttrs.size()) ? FAttrs[line] : std::string();
      auto styleAt = [&](int col) {
        int kind = col - 1 < static_cast<int>(attrs.size()) ? static_cast<int>(attrs[col - 1]) : static_cast<int>(ckText);
        return kind | (wholeLine || InSelection({col, line + 1}) ? kSelectedStyle : 0);
      };
      int x = FGutterWidth;
      const int y = (line - FOffset.Y) * FLineHeight;
      int runStart = FOffset.X, style = -1;
      for (int col = FOffset.X + 1; col <= FOffset.X + FVisibleCols && col <= len; ++col) {
        const int st = styleAt(col);
        if (style != -1 && st != style) {
          DrawRun(C, x, y, s, runStart, col - 1 - runStart, style);
          runStart = col - 1;
        }
        style = st;
      }
      if (style != -1) DrawRun(C, x, y, s, runStart, len - runStart, style);
      if (wholeLine || InSelection({1, line + 1})) {
        // The highlight reaches the view's right edge.
        const int blanks = FVisibleCols - len - FOffset.X + 3;
        if (style == -1) style = ckText | kSelectedStyle;
        if (blanks > 0) DrawRun(C, x, y, std::u32string(blanks, U' '), 0, blanks, style);
      }
      DrawGutterMarks(C, line, y);
    }
  }
  if (!FErrorBarText.empty()) DrawErrorBar(C);
}

void TfrxSyntaxMemo::DrawGutterMarks(TCanvas* C, int Line, int Y) {
  if (FGutterWidth <= 0) return;
  for (int n = 0; n < 10; ++n) {
    if (FBookmarks[n] != Line) continue;
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(clBlack);
    C->FillRect(Rect(13, Y + 3, 23, Y + 14));
    C->Brush()->SetColor(clGreen);
    C->FillRect(Rect(12, Y + 4, 22, Y + 15));
    C->Font()->SetName("Tahoma");
    C->Font()->SetSize(7);
    C->Font()->SetStyle({fsBold});
    C->Font()->SetColor(clWhite);
    C->Brush()->SetStyle(bsClear);
    C->TextOut(14, Y + 4, IntToStr(n));
    C->Brush()->SetStyle(bsSolid);
  }
  if (FMarks[Line]) {
    C->Brush()->SetColor(clBlue);
    C->Pen()->SetColor(clBlack);
    C->Ellipse(4, Y + 7, 8, Y + 11);
    C->SetPixels(5, Y + 7, clAqua);
    C->SetPixels(4, Y + 8, clAqua);
  }
  if (Line + 1 == FRunToLine) {
    C->Brush()->SetColor(clRed);
    C->Pen()->SetColor(clRed);
    C->Ellipse(2, Y + 4, 13, Y + 15);
  }
}

void TfrxSyntaxMemo::DrawErrorBar(TCanvas* C) {
  C->Font()->SetName("Tahoma");
  C->Font()->SetSize(8);
  C->Font()->SetStyle({fsBold});
  C->Font()->SetColor(clWhite);
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(clMaroon);
  const int h = ClientHeight(), th = C->TextHeight("|");
  C->FillRect(Rect(0, h - th - 6, ClientWidth(), h));
  C->TextOut(6, h - th - 5, FErrorBarText);
}
