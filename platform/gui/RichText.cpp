// The rich-text reader and writer. The reader walks the stream once: groups push and pop the
// reading state, control symbols escape single characters, and control words are looked up in
// one table that says what each does to the text; words it does not list are formatting and
// are dropped.
#include "gui/RichText.h"

#include "core/StrUtils.h"

#include <cctype>
#include <charconv>
#include <optional>
#include <string_view>
#include <vector>

namespace {

// What a control word does to the text.
enum class TRtfAction {
  Destination,   // a group whose text is no part of the document (fonts, colours, pictures)
  CodePage,      // \ansicpgN: the code page of the bytes that follow
  UnicodeSkip,   // \ucN: the characters standing in for each \u after it
  Unicode,       // \uN: one character by its UTF-16 unit
  LineBreak,     // a paragraph, line, section or page end
  Insert,        // a character of its own (a tab, dashes, quotes)
};

struct TRtfWord {
  std::string_view Word;
  TRtfAction Action;
  const char* Text = "";  // what Insert puts in
};

constexpr TRtfWord kWords[] = {
    {"fonttbl", TRtfAction::Destination},
    {"colortbl", TRtfAction::Destination},
    {"stylesheet", TRtfAction::Destination},
    {"info", TRtfAction::Destination},
    {"pict", TRtfAction::Destination},
    {"header", TRtfAction::Destination},
    {"footer", TRtfAction::Destination},
    {"headerl", TRtfAction::Destination},
    {"headerr", TRtfAction::Destination},
    {"footerl", TRtfAction::Destination},
    {"footerr", TRtfAction::Destination},
    {"object", TRtfAction::Destination},
    {"themedata", TRtfAction::Destination},
    {"colorschememapping", TRtfAction::Destination},
    {"listtable", TRtfAction::Destination},
    {"listoverridetable", TRtfAction::Destination},
    {"rsidtbl", TRtfAction::Destination},
    {"generator", TRtfAction::Destination},
    {"latentstyles", TRtfAction::Destination},
    {"datastore", TRtfAction::Destination},
    {"xmlnstbl", TRtfAction::Destination},
    {"filetbl", TRtfAction::Destination},
    {"ansicpg", TRtfAction::CodePage},
    {"uc", TRtfAction::UnicodeSkip},
    {"u", TRtfAction::Unicode},
    {"par", TRtfAction::LineBreak},
    {"line", TRtfAction::LineBreak},
    {"sect", TRtfAction::LineBreak},
    {"page", TRtfAction::LineBreak},
    {"tab", TRtfAction::Insert, "\t"},
    {"emdash", TRtfAction::Insert, "—"},
    {"endash", TRtfAction::Insert, "–"},
    {"lquote", TRtfAction::Insert, "‘"},
    {"rquote", TRtfAction::Insert, "’"},
    {"ldblquote", TRtfAction::Insert, "“"},
    {"rdblquote", TRtfAction::Insert, "”"},
};

const TRtfWord* FindWord(std::string_view Word) {
  for (const TRtfWord& w : kWords)
    if (w.Word == Word) return &w;
  return nullptr;
}

bool IsBlank(char C) { return C == ' ' || C == '\r' || C == '\n' || C == '\t'; }
bool IsDigit(char C) { return std::isdigit(static_cast<unsigned char>(C)) != 0; }
bool IsLetter(char C) { return std::isalpha(static_cast<unsigned char>(C)) != 0; }

int HexDigit(char H) { return IsDigit(H) ? H - '0' : (std::tolower(static_cast<unsigned char>(H)) - 'a' + 10) & 0xF; }

class TRtfReader {
public:
  explicit TRtfReader(std::string_view Rtf) : FRtf(Rtf) {}

  // False when the data does not open as rich text.
  bool Read(String& Text) {
    while (FPos < FRtf.size() && IsBlank(FRtf[FPos])) ++FPos;
    if (FRtf.substr(FPos, 5) != "{\\rtf") return false;
    while (FPos < FRtf.size()) Step();
    Flush();
    // The document's last paragraph mark is no line of its own.
    if (FOut.size() >= 2 && FOut.compare(FOut.size() - 2, 2, "\r\n") == 0) FOut.resize(FOut.size() - 2);
    Text = std::move(FOut);
    return true;
  }

private:
  struct TState {
    bool Skip = false;  // inside a destination that is no text
    int UcSkip = 1;
  };

  std::string_view FRtf;
  std::size_t FPos = 0;
  String FOut;
  String FPending;  // bytes in the document's code page
  int FCodePage = 1252;
  std::vector<TState> FStack{TState{}};
  int FSkipChars = 0;  // characters standing in for the last \u

  TState& State() { return FStack.back(); }

  [[noreturn]] void Fail(const String& What, std::size_t At) const {
    throw ERichTextError("Rich text: " + What + " at offset " + std::to_string(At));
  }

  // One group mark, line end, character or control.
  void Step() {
    char c = FRtf[FPos];
    if (c == '{') {
      FStack.push_back(State());
      ++FPos;
    } else if (c == '}') {
      if (FStack.size() > 1) FStack.pop_back();
      ++FPos;
    } else if (c == '\r' || c == '\n') {
      ++FPos;
    } else if (c != '\\') {
      Character(c);
      ++FPos;
    } else if (++FPos < FRtf.size()) {
      if (IsLetter(FRtf[FPos])) ControlWord();
      else ControlSymbol();
    }
  }

  // A character of the document, unless it stands in for the last \u or is skipped.
  void Character(char C) {
    if (FSkipChars > 0) --FSkipChars;
    else if (!State().Skip) FPending += C;
  }

  void Flush() {
    if (FPending.empty()) return;
    if (FCodePage == 936) FOut += GbkToUtf8(FPending);
    else
      for (unsigned char c : FPending) AppendUtf8(FOut, c);
    FPending.clear();
  }

  void Append(const char* Text) {
    Flush();
    FOut += Text;
  }

  // A backslash and one character that is no letter.
  void ControlSymbol() {
    char s = FRtf[FPos++];
    switch (s) {
      case '\\': case '{': case '}': Character(s); break;
      case '\'': {  // a byte in hex
        bool whole = FPos + 1 < FRtf.size();
        int v = whole ? HexDigit(FRtf[FPos]) * 16 + HexDigit(FRtf[FPos + 1]) : 0;
        FPos += 2;
        Character(static_cast<char>(v));
        break;
      }
      case '*': State().Skip = true; break;  // an optional destination this reader does not know
      case '~': if (!State().Skip) FPending += ' '; break;  // a non-breaking space
      case '_': if (!State().Skip) FPending += '-'; break;  // a non-breaking hyphen
      case '-': break;                                     // an optional hyphen
      case '\r': case '\n': if (!State().Skip) Append("\r\n"); break;
      default: --FPos; break;  // a symbol this reader does not know reads as text
    }
  }

  // A backslash, a word of letters, an optional signed number and an optional space.
  void ControlWord() {
    std::size_t start = FPos;
    while (FPos < FRtf.size() && IsLetter(FRtf[FPos])) ++FPos;
    std::string_view word = FRtf.substr(start, FPos - start);
    std::optional<int> param = Parameter(start - 1);
    if (FPos < FRtf.size() && FRtf[FPos] == ' ') ++FPos;
    const TRtfWord* w = FindWord(word);
    if (!w) return;
    TState& st = State();
    switch (w->Action) {
      case TRtfAction::Destination: st.Skip = true; return;
      case TRtfAction::CodePage:
        if (param) FCodePage = *param;
        return;
      case TRtfAction::UnicodeSkip:
        if (param) st.UcSkip = *param;
        return;
      default: break;
    }
    if (st.Skip) return;
    switch (w->Action) {
      case TRtfAction::Unicode:
        if (!param) return;
        Flush();
        AppendUtf8(FOut, static_cast<char32_t>(*param < 0 ? *param + 65536 : *param));
        FSkipChars = st.UcSkip;
        return;
      case TRtfAction::LineBreak: Append("\r\n"); return;
      case TRtfAction::Insert:
        // A tab is a character of the code page's text; the others are written as UTF-8.
        if (w->Text[0] == '\t') FPending += '\t';
        else Append(w->Text);
        return;
      default: return;
    }
  }

  // The number after a control word, if any; one no int can hold is refused.
  std::optional<int> Parameter(std::size_t WordAt) {
    std::size_t start = FPos;
    if (FPos < FRtf.size() && (FRtf[FPos] == '-' || IsDigit(FRtf[FPos]))) ++FPos;
    else return std::nullopt;
    while (FPos < FRtf.size() && IsDigit(FRtf[FPos])) ++FPos;
    int value = 0;
    auto [end, error] = std::from_chars(FRtf.data() + start, FRtf.data() + FPos, value);
    if (error == std::errc::result_out_of_range)
      Fail("the number of " + String(FRtf.substr(WordAt, FPos - WordAt)) + " is out of range", WordAt);
    // A lone '-' is no number: the word has none.
    if (error != std::errc() || end != FRtf.data() + FPos) return std::nullopt;
    return value;
  }
};

void AppendRtfText(String& out, const String& Text) {
  std::size_t i = 0;
  while (i < Text.size()) {
    char32_t c = DecodeUtf8(Text, i);
    switch (c) {
      case U'\\': out += "\\\\"; break;
      case U'{': out += "\\{"; break;
      case U'}': out += "\\}"; break;
      case U'\t': out += "\\tab "; break;
      case U'\r': break;
      case U'\n': out += "\\par\r\n"; break;
      default:
        if (c < 0x80) {
          out += static_cast<char>(c);
        } else if (c < 0x10000) {
          out += "\\u" + std::to_string(c >= 0x8000 ? static_cast<long>(c) - 65536 : static_cast<long>(c)) + "?";
        } else {
          // Beyond the basic plane: a surrogate pair of \u words.
          char32_t v = c - 0x10000;
          long hi = 0xD800 + (v >> 10), lo = 0xDC00 + (v & 0x3FF);
          out += "\\u" + std::to_string(hi - 65536) + "?\\u" + std::to_string(lo - 65536) + "?";
        }
    }
  }
}

}  // namespace

bool RtfToText(const String& Rtf, String& Text) { return TRtfReader(Rtf).Read(Text); }

String TextToRtf(const String& Text, const String& FontName, int PointSize) {
  String out = "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil\\fcharset134 ";
  AppendRtfText(out, FontName);
  out += ";}}\r\n\\viewkind4\\uc1\\pard\\f0\\fs" + std::to_string(PointSize * 2) + " ";
  AppendRtfText(out, Text);
  out += "\\par\r\n}\r\n";
  return out;
}
