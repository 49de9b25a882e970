#pragma once
// TfsParser, the one lexer of the script engine. It has no fixed token set: a grammar
// configures its identifier characters, keywords, comment delimiters, string quote,
// hexadecimal prefix, line-continuation character and case rule, and the parser asks for one
// token of a given kind at a time, moving back itself (MoveTo) when an alternative fails. The
// signature reader and the designer's code highlighter use the same class and set the
// configuration directly, so every operation below is public.
//
// The text is UTF-8 and read byte by byte: positions are 1-based byte offsets into it, and
// bytes 128 and above are neither blanks nor punctuation (they belong to identifiers only when
// IdentChars holds them). Line:column texts count characters, not bytes.
//
// Readers never raise for bad input: one that finds nothing answers '' and leaves the position
// where the caller can restore it. Only a `#` or `\x` code too long for an integer raises
// EConvertError "'%s' is not a valid integer value".
// Declares TfsCharSet and TfsParser.
#include "core/System.h"

#include <cstdint>
#include <memory>
#include <vector>

class TStringList;

// A set of the 256 byte values.
class TfsCharSet {
public:
  bool Contains(unsigned char C) const { return (FBits[C >> 6] >> (C & 63)) & 1; }
  void Include(unsigned char C) { FBits[C >> 6] |= std::uint64_t(1) << (C & 63); }
  void Clear() { FBits[0] = FBits[1] = FBits[2] = FBits[3] = 0; }

private:
  std::uint64_t FBits[4] = {};
};

// A block comment: the definition text as given and its two delimiters.
struct TfsCommentBlock {
  String Definition;
  String Open;
  String Close;
};

// A grammar's reserved words in a form that a lexer takes over without sorting: the words as
// written, and upper-cased (ASCII) in byte order for lookups.
struct TfsKeywordSet {
  std::vector<String> Words;
  std::vector<String> Upper;
  // Every word is ASCII, so an ASCII word can match only by ASCII case folding.
  bool Ascii = true;
  static std::shared_ptr<const TfsKeywordSet> Make(const std::vector<String>& Words);
  // Whether the ASCII word is one of the words, ignoring case.
  bool ContainsAscii(std::string_view Word) const;

private:
  // Open addressing over Upper by a hash of the upper-cased bytes: the parser asks for nearly
  // every word it reads. Slots hold an index into Upper, -1 when empty; the size is a power of
  // two at least twice the words.
  std::vector<int> FSlots;
  std::size_t FMaxLength = 0;
};

class TfsParser : public TObject {
public:
  TfsParser();
  ~TfsParser() override;

  // ---- configuration (RestoreDefaults puts every value back; the loaded text stays)
  const TfsCommentBlock& CommentBlock1() const { return FCommentBlock1; }
  const TfsCommentBlock& CommentBlock2() const { return FCommentBlock2; }
  // Two delimiters separated by a comma ("{,}", "(*,*)", "/*,*/"); '' switches the block off.
  void DefineCommentBlock1(const String& Definition) {
    DefineBlock(FCommentBlock1, Definition);
    UpdateCommentStarts();
  }
  void DefineCommentBlock2(const String& Definition) {
    DefineBlock(FCommentBlock2, Definition);
    UpdateCommentStarts();
  }
  // Line-comment openers; '' = none. An opener ending in an identifier character ("rem")
  // opens a comment only as a whole word, and then in any case unless CaseSensitive; other
  // openers compare exactly.
  const String& CommentLine1() const { return FCommentLine1; }
  void SetCommentLine1(const String& Value) {
    FCommentLine1 = Value;
    UpdateCommentStarts();
  }
  const String& CommentLine2() const { return FCommentLine2; }
  void SetCommentLine2(const String& Value) {
    FCommentLine2 = Value;
    UpdateCommentStarts();
  }
  // Prefix of hexadecimal literals ("$", "0x", "&h"); must not be empty.
  const String& HexSequence() const { return FHexSequence; }
  void SetHexSequence(const String& Value);
  const TfsCharSet& IdentChars() const { return FIdentChars; }
  TfsCharSet& IdentChars() { return FIdentChars; }
  // IdentChars becomes exactly the bytes of the text.
  void DefineIdentChars(const String& Chars);
  // Reserved words: sorted, searched ignoring case, duplicates ignored.
  TStringList* Keywords() const {
    if (FSharedKeywords) TakeSharedKeywords();
    return FKeywords.get();
  }
  // Reserved words shared with a grammar: looked up as they are until the list above is
  // asked for, which then receives them.
  void SetSharedKeywords(std::shared_ptr<const TfsKeywordSet> Value);
  // Line continuation: its first character, followed by nothing but blanks up to the line end,
  // joins the next line to this one. '' = none.
  const String& SkipChar() const { return FSkipChar; }
  void SetSkipChar(const String& Value) { FSkipChar = Value; }
  // Whether line ends count as blanks. With it off, CR stays visible to ReadLineEnd.
  bool SkipEOL() const { return FSkipEOL; }
  void SetSkipEOL(bool Value) { FSkipEOL = Value; }
  // Whether the word, number and string readers skip blanks and comments first.
  bool SkipBlanks() const { return FSkipBlanks; }
  void SetSkipBlanks(bool Value) { FSkipBlanks = Value; }
  // The string quote (its first character); exactly `"` selects C-style strings with escapes.
  const String& StringQuotes() const { return FStringQuotes; }
  void SetStringQuotes(const String& Value) { FStringQuotes = Value; }
  // Whether a `"` quote brings the C-style backslash escapes. Off, a backslash is an ordinary
  // character (a Basic path "C:\temp" keeps it) and a doubled quote stands for one.
  bool StringEscapes() const { return FStringEscapes; }
  void SetStringEscapes(bool Value) { FStringEscapes = Value; }
  // Whether keywords compare exactly (off: ignoring case).
  bool CaseSensitive() const { return FCaseSensitive; }
  void SetCaseSensitive(bool Value) { FCaseSensitive = Value; }
  void RestoreDefaults();

  // ---- the text and the position
  // Text is the source with a NUL appended: one byte past the end always ends every token.
  const String& Text() const { return FText; }
  int Size() const { return FSize; }
  int Position() const { return FPosition; }
  int TokenStart() const { return FTokenStart; }
  // One entry per line: 0, then the position of each line feed (the 0-based offset of the
  // next line's first byte).
  const std::vector<int>& LineStarts() const { return FLineStarts; }
  // The loaded text has no byte above 127: a column is a byte.
  bool AsciiText() const { return FAsciiText; }
  // Position = TokenStart = 1; the configuration stays.
  void LoadSource(const String& Source);
  // Position = TokenStart = the given position: the way back after a failed alternative.
  void MoveTo(int APosition);
  // "line:column" of Position, both from 1; a line feed belongs to the line it ends.
  String PositionToLineCol() const { return PositionToLineCol(FPosition); }
  String PositionToLineCol(int APosition) const;
  // Position of character column X of line Y; -1 when Y is no line of the text.
  int LineColToPosition(int X, int Y) const;

  // ---- tokens
  // Skips blanks, line continuations and comments; TokenStart = Position afterwards.
  void SkipBlanksAndComments();
  // Skips blanks and comments; then a run of CR and LF answers true.
  bool ReadLineEnd();
  // A word: a first identifier character that is no digit, then identifier characters.
  String ScanWord();
  String ReadWordToken() { return ScanWord(); }
  // The word ScanWord would read at the position (blanks not skipped), as a view of the text;
  // empty when none begins there. Nothing moves.
  std::string_view WordAt(int APosition) const;
  // ScanWord, but '' for a reserved word (the position stays after it).
  String ReadIdentToken();
  bool KeywordListed(std::string_view Word) const;
  void TakeSharedKeywords() const;
  // One character of 33..47, 58..64, 91..96 or 123..126; never skips blanks.
  String ReadPunctuation();
  // A float or an integer as written; the hexadecimal prefix becomes "$".
  String ReadNumberLiteral();
  // Quoted parts and #codes written together, decoded and wrapped in single quotes.
  String ReadStringLiteral();
  // After a consumed `<`: the text up to the balancing `>` (not consumed), nesting `<` and `[`.
  String ReadBracketedText();

private:
  static void DefineBlock(TfsCommentBlock& Block, const String& Definition);
  unsigned char At(int P) const { return static_cast<unsigned char>(FText[P - 1]); }
  bool IsBlank(unsigned char C) const;
  bool StartsWithAt(int P, const String& S) const;
  bool MayOpenComment(unsigned char C) const { return (FCommentStarts[C >> 6] >> (C & 63)) & 1; }
  // Recomputes FCommentStarts after a comment opener changed.
  void UpdateCommentStarts();
  bool LineCommentAt(int P, const String& Opener) const;
  bool ContinuationAt(int P) const;
  bool ReadDigits(bool Hex);
  bool ReadInteger();
  bool ReadFloat();
  bool ReadQuotedPart(String& Value);
  bool ReadCharCode(String& Value);
  int LineOf(int APosition) const;  // 0-based index into FLineStarts

  TfsCommentBlock FCommentBlock1;
  TfsCommentBlock FCommentBlock2;
  String FCommentLine1;
  String FCommentLine2;
  // The bytes a comment opener begins with, a word opener's letters in both cases: the lexer
  // asks at every stop.
  std::uint64_t FCommentStarts[4] = {};
  String FHexSequence;
  TfsCharSet FIdentChars;
  std::unique_ptr<TStringList> FKeywords;
  mutable std::shared_ptr<const TfsKeywordSet> FSharedKeywords;
  int FTokenStart = 1;
  int FPosition = 1;
  int FSize = 0;
  String FSkipChar;
  bool FSkipEOL = true;
  bool FSkipBlanks = true;
  String FStringQuotes;
  bool FStringEscapes = true;
  String FText = String(1, '\0');
  std::vector<int> FLineStarts{0};
  bool FAsciiText = true;
  bool FCaseSensitive = false;
};
