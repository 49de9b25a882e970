#pragma once
// Edit masks: the picture language of masked edits, and FormatMaskText.
//
// A mask has up to three sections separated by ';': the picture, a flag ('0' = the text
// leaves out the literal characters, anything else keeps them) and the character shown in
// unfilled positions. Picture characters:
//   L letter   l letter, optional      A letter or digit   a letter or digit, optional
//   C any      c any, optional         0 digit             9 digit, optional
//   # digit, '+' or '-', optional      : time separator    / date separator
//   _ a blank  \x x as a literal       > upper case on     < lower case on     <> case as typed
//   ! optional positions left blank at the front instead of the back
// Every other character is a literal.
// Declares TEditMask.
#include "core/SysUtils.h"
#include "core/System.h"
#include <string_view>
#include <vector>

enum TMaskCharType { mcNone, mcLiteral, mcIntlLiteral, mcDirective, mcMask, mcMaskOpt, mcFieldSeparator, mcField };
enum TMaskDirective { mdReverseDir, mdUpperCase, mdLowerCase, mdLiteralChar };
using TMaskDirectives = TSet<TMaskDirective>;

constexpr char MaskFieldSeparator = ';';
constexpr char MaskNoSave = '0';
constexpr char32_t DefaultBlank = U'_';

// The mask laid over a value. With literals kept (the default) the value is taken to hold
// them already and each field between literals is padded to its width; with ";0" the value
// holds only the data characters and the literals are put in. Unfilled positions show the
// mask's blank character, a space when the mask names none. Characters beyond the mask are
// kept at the end.
String FormatMaskText(std::string_view editMask, std::string_view value);

// Queries on the mask text; offsets count characters from 1.
bool MaskGetMaskSave(std::string_view editMask);
char32_t MaskGetMaskBlank(std::string_view editMask);  // DefaultBlank when none is given
TMaskCharType MaskGetCharType(std::string_view editMask, int maskOffset);
TMaskDirectives MaskGetCurrentDirectives(std::string_view editMask, int maskOffset);
char32_t MaskIntlLiteralToChar(char32_t c);  // ':' and '/' become the settings' separators

enum TMaskCase { mcaNone, mcaUpper, mcaLower };

// A mask compiled to one item per character of the edit text, for masked edit controls.
class TEditMask {
public:
  struct TItem {
    bool Literal = true;
    bool Required = false;
    char32_t Ch = 0;          // the literal, or the picture character ('L', '0', ...)
    TMaskCase Case = mcaNone;
  };

  TEditMask() = default;
  explicit TEditMask(std::string_view editMask, const TFormatSettings& fs = FormatSettings());

  bool Empty() const { return FItems.empty(); }
  int Length() const { return static_cast<int>(FItems.size()); }
  const TItem& Item(int pos) const { return FItems[static_cast<std::size_t>(pos)]; }
  bool IsLiteral(int pos) const { return Item(pos).Literal; }
  bool IsRequired(int pos) const { return Item(pos).Required; }
  bool SaveLiterals() const { return FSaveLiterals; }
  bool ReverseDir() const { return FReverse; }
  char32_t Blank() const { return FBlank; }
  bool BlankGiven() const { return FBlankGiven; }

  // Whether `ch` may stand at `pos`; converts its case as the mask asks.
  bool AcceptChar(int pos, char32_t& ch) const;
  // The first editable position at or after `pos` (Length() when none), at or before (-1).
  int NextEditable(int pos) const;
  int PrevEditable(int pos) const;

  // The edit text of an empty value: literals and blanks.
  String BlankText() const;
  // The edit text showing a value (the control's Text), exactly Length() characters.
  String ToEditText(std::string_view value) const;
  // The value an edit text stands for: literals only when they are saved; unfilled
  // positions are spaces when literals are saved and left out otherwise.
  String FromEditText(std::string_view editText) const;
  // The first position whose character does not satisfy the mask, -1 when all do.
  int Validate(std::string_view editText) const;

  // The mask laid over a value with the given blank; `keepExtra` keeps characters beyond it.
  String Lay(std::string_view value, char32_t blank, bool keepExtra) const;

private:
  std::u32string LayPlain(const std::u32string& v, char32_t blank, bool keepExtra) const;
  std::u32string LayFields(const std::u32string& v, char32_t blank, bool keepExtra) const;

  std::vector<TItem> FItems;
  bool FSaveLiterals = true;
  bool FReverse = false;
  bool FBlankGiven = false;
  char32_t FBlank = DefaultBlank;
};
