// The rich-text reader and writer. The reader walks the stream once: groups push and pop the
// reading state (character format and destination), control symbols escape single
// characters, and control words are looked up in one table that says what each does; words it
// does not list are dropped. Text collects in runs of one character format.
#include "gui/RichText.h"

#include "core/StrUtils.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <map>
#include <optional>
#include <string_view>
#include <vector>

namespace {

// What a control word does.
enum class TRtfAction {
  Destination,   // a group whose text is no part of the document (pictures, headers, info)
  FontTable,     // the font table's group
  ColorTable,    // the colour table's group
  CodePage,      // \ansicpgN: the code page of the bytes that follow
  UnicodeSkip,   // \ucN: the characters standing in for each \u after it
  Unicode,       // \uN: one character by its UTF-16 unit
  LineBreak,     // a paragraph, line, section or page end
  Insert,        // a character of its own (a tab, dashes, quotes)
  Font, FontCharset, DefaultFont, FontSize, Color, Red, Green, Blue,
  Bold, Italic, Underline, NoUnderline, StrikeOut, Protect, Plain,
  ParaDefault, AlignLeft, AlignRight, AlignCentre, AlignJustify, LeftIndent, FirstIndent, RightIndent,
  BulletLevel,   // \pnlvlblt: the paragraph is bulleted (inside the skipped numbering group)
};

struct TRtfWord {
  std::string_view Word;
  TRtfAction Action;
  const char* Text = "";  // what Insert puts in
};

constexpr TRtfWord kWords[] = {
    {"fonttbl", TRtfAction::FontTable},
    {"colortbl", TRtfAction::ColorTable},
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
    {"pntext", TRtfAction::Destination},
    {"listtext", TRtfAction::Destination},
    {"pn", TRtfAction::Destination},
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
    {"f", TRtfAction::Font},
    {"fcharset", TRtfAction::FontCharset},
    {"deff", TRtfAction::DefaultFont},
    {"fs", TRtfAction::FontSize},
    {"cf", TRtfAction::Color},
    {"red", TRtfAction::Red},
    {"green", TRtfAction::Green},
    {"blue", TRtfAction::Blue},
    {"b", TRtfAction::Bold},
    {"i", TRtfAction::Italic},
    {"ul", TRtfAction::Underline},
    {"ulnone", TRtfAction::NoUnderline},
    {"strike", TRtfAction::StrikeOut},
    {"protect", TRtfAction::Protect},
    {"plain", TRtfAction::Plain},
    {"pard", TRtfAction::ParaDefault},
    {"ql", TRtfAction::AlignLeft},
    {"qr", TRtfAction::AlignRight},
    {"qc", TRtfAction::AlignCentre},
    {"qj", TRtfAction::AlignJustify},
    {"li", TRtfAction::LeftIndent},
    {"fi", TRtfAction::FirstIndent},
    {"ri", TRtfAction::RightIndent},
    {"pnlvlblt", TRtfAction::BulletLevel},
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

// Deeper groups than this are read as part of the group at this depth: a stream of thousands
// of nested groups costs no memory per level and cannot exhaust anything.
constexpr std::size_t kMaxDepth = 256;

class TRtfReader {
public:
  TRtfReader(std::string_view Rtf, TRichDocument& Doc, const TRichCharFormat& Base) : FRtf(Rtf), FDoc(Doc) {
    FStack.push_back(TState{});
    FStack.back().Format = Base;
    FBase = Base;
  }

  // False when the data does not open as rich text.
  bool Read() {
    while (FPos < FRtf.size() && IsBlank(FRtf[FPos])) ++FPos;
    if (FRtf.substr(FPos, 5) != "{\\rtf") return false;
    FDoc.Text.clear();
    FDoc.CharFormat.clear();
    FDoc.Formats.clear();
    FDoc.Paragraphs.assign(1, TRichParaFormat{});
    while (FPos < FRtf.size()) Step();
    Flush();
    FDoc.Paragraphs.back() = FPara;
    // The document's last paragraph mark is no line of its own.
    std::u32string& t = FDoc.Text;
    if (t.size() >= 2 && t[t.size() - 2] == U'\r' && t.back() == U'\n') {
      t.resize(t.size() - 2);
      FDoc.CharFormat.resize(t.size());
      FDoc.Paragraphs.pop_back();
    }
    return true;
  }

private:
  enum class TDest { Text, Skip, Fonts, Colors };
  struct TState {
    TDest Dest = TDest::Text;
    int UcSkip = 1;
    TRichCharFormat Format;
  };
  struct TFontEntry {
    String Name;
    int Charset = 1;
  };

  std::string_view FRtf;
  TRichDocument& FDoc;
  TRichCharFormat FBase;
  std::size_t FPos = 0;
  String FPending;  // bytes in the document's code page
  int FCodePage = 1252;
  std::vector<TState> FStack;
  std::size_t FOverflow = 0;  // groups opened past kMaxDepth
  int FSkipChars = 0;         // characters standing in for the last \u
  std::map<int, TFontEntry> FFonts;
  int FDefaultFont = 0;
  int FFontNumber = 0;  // the font table entry being read
  String FFontName;  // bytes
  String FFontText;  // decoded (UTF-8)
  std::vector<int> FColors;
  int FRed = 0, FGreen = 0, FBlue = 0;
  bool FColorSeen = false;
  TRichParaFormat FPara;

  TState& State() { return FStack.back(); }
  bool InText() { return State().Dest == TDest::Text; }

  [[noreturn]] void Fail(const String& What, std::size_t At) const {
    throw ERichTextError("Rich text: " + What + " at offset " + std::to_string(At));
  }

  // One group mark, line end, character or control.
  void Step() {
    char c = FRtf[FPos];
    if (c == '{') {
      Flush();
      if (FStack.size() >= kMaxDepth) ++FOverflow;
      else FStack.push_back(State());
      ++FPos;
    } else if (c == '}') {
      Flush();
      EndGroup();
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

  void EndGroup() {
    if (FOverflow > 0) {
      --FOverflow;
      return;
    }
    if (FStack.size() <= 1) return;  // an unbalanced brace
    if (State().Dest == TDest::Fonts) EndFont();
    FStack.pop_back();
  }

  // A character of the document, unless it stands in for the last \u or is skipped.
  void Character(char C) {
    if (FSkipChars > 0) {
      --FSkipChars;
      return;
    }
    switch (State().Dest) {
      case TDest::Text: FPending += C; break;
      case TDest::Fonts:
        if (C == ';') EndFont();
        else FFontName += C;
        break;
      case TDest::Colors:
        if (C == ';') {
          FColors.push_back(FColorSeen ? (FRed | FGreen << 8 | FBlue << 16) : -1);
          FRed = FGreen = FBlue = 0;
          FColorSeen = false;
        }
        break;
      case TDest::Skip: break;
    }
  }

  bool IsGbk(int Charset) const { return Charset == 134 || (Charset != 0 && Charset != 2 && FCodePage == 936); }

  // The face name's bytes read so far, in the font's character set or the code page.
  String DecodeFontBytes() {
    String u;
    if (IsGbk(FFonts[FFontNumber].Charset)) u = GbkToUtf8(FFontName);
    else
      for (unsigned char c : FFontName) AppendUtf8(u, c);
    FFontName.clear();
    return u;
  }

  void EndFont() {
    String name = FFontText + DecodeFontBytes();
    FFontText.clear();
    if (name.empty()) return;
    while (!name.empty() && name.back() == ' ') name.pop_back();
    while (!name.empty() && name.front() == ' ') name.erase(0, 1);
    FFonts[FFontNumber].Name = name;
  }

  void AppendChar(char32_t C) {
    FDoc.Text.push_back(C);
    FDoc.CharFormat.push_back(FDoc.FormatIndex(State().Format));
  }

  void Flush() {
    if (FPending.empty()) return;
    String u;
    if (IsGbk(State().Format.Charset)) u = GbkToUtf8(FPending);
    else
      for (unsigned char c : FPending) AppendUtf8(u, c);
    FPending.clear();
    for (char32_t c : Utf8ToUtf32(u)) AppendChar(c);
  }

  void Append(const char* Text) {
    Flush();
    for (char32_t c : Utf8ToUtf32(Text)) AppendChar(c);
  }

  void EndParagraph() {
    Append("\r\n");
    FDoc.Paragraphs.back() = FPara;
    FDoc.Paragraphs.push_back(FPara);
  }

  // A backslash and one character that is no letter.
  void ControlSymbol() {
    char s = FRtf[FPos++];
    switch (s) {
      case '\\': case '{': case '}': Character(s); break;
      case '\'': {  // a byte in hex
        bool whole = FPos + 1 < FRtf.size();
        int v = whole ? HexDigit(FRtf[FPos]) * 16 + HexDigit(FRtf[FPos + 1]) : 0;
        FPos = std::min(FPos + 2, FRtf.size());
        if (whole) Character(static_cast<char>(v));
        break;
      }
      case '*': Flush(); State().Dest = TDest::Skip; break;  // an optional destination this reader does not know
      case '~': if (InText()) FPending += ' '; break;  // a non-breaking space
      case '_': if (InText()) FPending += '-'; break;  // a non-breaking hyphen
      case '-': break;                               // an optional hyphen
      case '\r': case '\n': if (InText()) EndParagraph(); break;
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
    Flush();
    Apply(*w, param);
  }

  void Apply(const TRtfWord& W, std::optional<int> Param) {
    TState& st = State();
    const int n = Param.value_or(1);
    switch (W.Action) {
      case TRtfAction::Destination: st.Dest = TDest::Skip; return;
      case TRtfAction::FontTable: st.Dest = TDest::Fonts; return;
      case TRtfAction::ColorTable: st.Dest = TDest::Colors; return;
      case TRtfAction::CodePage: if (Param) FCodePage = *Param; return;
      case TRtfAction::UnicodeSkip: if (Param) st.UcSkip = std::max(0, *Param); return;
      case TRtfAction::BulletLevel: FPara.Bullet = true; return;
      case TRtfAction::DefaultFont: FDefaultFont = n; return;
      default: break;
    }
    if (st.Dest == TDest::Fonts) {
      if (W.Action == TRtfAction::Unicode && Param) {
        // A character of a face name by its UTF-16 unit: the bytes before it are decoded first.
        FFontText += DecodeFontBytes();
        AppendUtf8(FFontText, static_cast<char32_t>(*Param < 0 ? *Param + 65536 : *Param));
        FSkipChars = st.UcSkip;
      } else if (W.Action == TRtfAction::Font) {
        EndFont();
        FFontNumber = n;
        FFonts[n];
      } else if (W.Action == TRtfAction::FontCharset) {
        FFonts[FFontNumber].Charset = n;
      }
      return;
    }
    if (st.Dest == TDest::Colors) {
      int v = std::clamp(n, 0, 255);
      if (W.Action == TRtfAction::Red) FRed = v, FColorSeen = true;
      if (W.Action == TRtfAction::Green) FGreen = v, FColorSeen = true;
      if (W.Action == TRtfAction::Blue) FBlue = v, FColorSeen = true;
      return;
    }
    if (st.Dest != TDest::Text) return;
    TRichCharFormat& f = st.Format;
    switch (W.Action) {
      case TRtfAction::Unicode:
        if (!Param) return;
        AppendChar(static_cast<char32_t>(*Param < 0 ? *Param + 65536 : *Param));
        FSkipChars = st.UcSkip;
        return;
      case TRtfAction::LineBreak: EndParagraph(); return;
      case TRtfAction::Insert: Append(W.Text); return;
      case TRtfAction::Font: SelectFont(f, n); return;
      case TRtfAction::FontSize: if (n > 0) f.HalfPoints = n; return;
      case TRtfAction::Color:
        f.Color = n > 0 && n < static_cast<int>(FColors.size()) ? FColors[static_cast<std::size_t>(n)] : -1;
        return;
      case TRtfAction::Bold: f.Bold = n != 0; return;
      case TRtfAction::Italic: f.Italic = n != 0; return;
      case TRtfAction::Underline: f.Underline = n != 0; return;
      case TRtfAction::NoUnderline: f.Underline = false; return;
      case TRtfAction::StrikeOut: f.StrikeOut = n != 0; return;
      case TRtfAction::Protect: f.Protected = n != 0; return;
      case TRtfAction::Plain:
        f = FBase;
        if (FFonts.count(FDefaultFont)) SelectFont(f, FDefaultFont);
        return;
      case TRtfAction::ParaDefault: FPara = TRichParaFormat{}; return;
      case TRtfAction::AlignLeft: FPara.Alignment = 0; return;
      case TRtfAction::AlignRight: FPara.Alignment = 1; return;
      case TRtfAction::AlignCentre: FPara.Alignment = 2; return;
      case TRtfAction::AlignJustify: FPara.Alignment = 3; return;
      case TRtfAction::LeftIndent: FPara.LeftTw = Param.value_or(0); return;
      case TRtfAction::FirstIndent: FPara.FirstTw = Param.value_or(0); return;
      case TRtfAction::RightIndent: FPara.RightTw = Param.value_or(0); return;
      default: return;
    }
  }

  void SelectFont(TRichCharFormat& F, int Number) {
    auto it = FFonts.find(Number);
    if (it == FFonts.end()) return;
    if (!it->second.Name.empty()) F.Name = it->second.Name;
    F.Charset = it->second.Charset;
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

// The font table entry of a format's face and character set.
struct TFontKey {
  String Name;
  int Charset;
  bool operator==(const TFontKey&) const = default;
};

void AppendParagraphFormat(String& out, const TRichParaFormat& p) {
  out += "\\pard";
  // The numbering group first: the words after it end in the space that closes the last word.
  if (p.Bullet) out += "{\\*\\pn\\pnlvlblt\\pnindent0{\\pntxtb\\'B7}}";
  static const char* const kAlign[] = {"\\ql", "\\qr", "\\qc", "\\qj"};
  out += kAlign[std::clamp(p.Alignment, 0, 3)];
  if (p.LeftTw) out += "\\li" + std::to_string(p.LeftTw);
  if (p.FirstTw) out += "\\fi" + std::to_string(p.FirstTw);
  if (p.RightTw) out += "\\ri" + std::to_string(p.RightTw);
  out += ' ';
}

}  // namespace

std::uint16_t TRichDocument::FormatIndex(const TRichCharFormat& Format) {
  for (std::size_t i = Formats.size(); i-- > 0;)
    if (Formats[i] == Format) return static_cast<std::uint16_t>(i);
  Formats.push_back(Format);
  return static_cast<std::uint16_t>(Formats.size() - 1);
}

int TRichDocument::ParagraphCount() const {
  int n = 1;
  for (char32_t c : Text) n += c == U'\n';
  return n;
}

bool RtfToDocument(const String& Rtf, TRichDocument& Doc, const TRichCharFormat& Base) {
  TRichDocument read;
  if (!TRtfReader(Rtf, read, Base).Read()) return false;
  Doc = std::move(read);
  if (Doc.Formats.empty()) Doc.Formats.push_back(Base);
  return true;
}

bool RtfToText(const String& Rtf, String& Text) {
  TRichDocument doc;
  if (!RtfToDocument(Rtf, doc)) return false;
  Text = Utf32ToUtf8(doc.Text);
  return true;
}

String DocumentToRtf(const TRichDocument& Doc) {
  std::vector<TFontKey> fonts;
  std::vector<int> colors;
  auto fontOf = [&](const TRichCharFormat& f) {
    TFontKey k{f.Name, f.Charset};
    auto it = std::find(fonts.begin(), fonts.end(), k);
    if (it == fonts.end()) it = fonts.insert(fonts.end(), k);
    return static_cast<int>(it - fonts.begin());
  };
  auto colorOf = [&](int c) {
    if (c < 0) return 0;
    auto it = std::find(colors.begin(), colors.end(), c);
    if (it == colors.end()) it = colors.insert(colors.end(), c);
    return static_cast<int>(it - colors.begin()) + 1;
  };
  TRichCharFormat first = Doc.Formats.empty() ? TRichCharFormat{} : Doc.Formats[0];
  fontOf(first);
  for (const TRichCharFormat& f : Doc.Formats) fontOf(f), colorOf(f.Color);

  String out = "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl";
  for (std::size_t i = 0; i < fonts.size(); ++i) {
    out += "{\\f" + std::to_string(i) + "\\fnil\\fcharset" + std::to_string(fonts[i].Charset) + " ";
    AppendRtfText(out, fonts[i].Name);
    out += ";}";
  }
  out += "}\r\n";
  if (!colors.empty()) {
    out += "{\\colortbl ;";
    for (int c : colors)
      out += "\\red" + std::to_string(c & 0xFF) + "\\green" + std::to_string(c >> 8 & 0xFF) + "\\blue" +
             std::to_string(c >> 16 & 0xFF) + ";";
    out += "}\r\n";
  }
  out += "\\viewkind4\\uc1";
  // The state the stream is in; the first run states everything.
  TRichCharFormat cur;
  bool stated = false;
  auto state = [&](const TRichCharFormat& f) {
    String w;
    auto flag = [&](bool on, bool was, const char* word, const char* off) {
      if (!stated || on != was) w += on ? word : off;
    };
    if (!stated || f.Name != cur.Name || f.Charset != cur.Charset) w += "\\f" + std::to_string(fontOf(f));
    if (!stated || f.HalfPoints != cur.HalfPoints) w += "\\fs" + std::to_string(f.HalfPoints);
    if (!stated || f.Color != cur.Color) w += "\\cf" + std::to_string(colorOf(f.Color));
    flag(f.Bold, cur.Bold, "\\b", "\\b0");
    flag(f.Italic, cur.Italic, "\\i", "\\i0");
    flag(f.Underline, cur.Underline, "\\ul", "\\ulnone");
    flag(f.StrikeOut, cur.StrikeOut, "\\strike", "\\strike0");
    flag(f.Protected, cur.Protected, "\\protect", "\\protect0");
    cur = f;
    stated = true;
    if (!w.empty()) out += w + ' ';
  };
  std::size_t para = 0;
  AppendParagraphFormat(out, Doc.Paragraphs.empty() ? TRichParaFormat{} : Doc.Paragraphs[0]);
  std::size_t i = 0;
  const std::size_t n = Doc.Text.size();
  while (i < n) {
    const std::uint16_t fi = i < Doc.CharFormat.size() ? Doc.CharFormat[i] : 0;
    if (Doc.Text[i] == U'\r' || Doc.Text[i] == U'\n') {
      if (Doc.Text[i] == U'\n') {
        out += "\\par\r\n";
        ++para;
        AppendParagraphFormat(out, para < Doc.Paragraphs.size() ? Doc.Paragraphs[para] : TRichParaFormat{});
      }
      ++i;
      continue;
    }
    if (fi < Doc.Formats.size()) state(Doc.Formats[fi]);
    else if (!stated) state(first);
    std::size_t j = i;
    while (j < n && Doc.Text[j] != U'\r' && Doc.Text[j] != U'\n' &&
           (j < Doc.CharFormat.size() ? Doc.CharFormat[j] : 0) == fi)
      ++j;
    AppendRtfText(out, Utf32ToUtf8(std::u32string_view(Doc.Text).substr(i, j - i)));
    i = j;
  }
  if (!stated) state(first);
  out += "\\par\r\n}\r\n";
  return out;
}

String TextToRtf(const String& Text, const String& FontName, int PointSize) {
  String out = "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil\\fcharset134 ";
  AppendRtfText(out, FontName);
  out += ";}}\r\n\\viewkind4\\uc1\\pard\\f0\\fs" + std::to_string(PointSize * 2) + " ";
  AppendRtfText(out, Text);
  out += "\\par\r\n}\r\n";
  return out;
}
