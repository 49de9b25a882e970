#include "core/Mask.h"
#include "core/StrUtils.h"

#include <algorithm>

namespace {

bool IsDigit(char32_t c) { return c >= U'0' && c <= U'9'; }
// Any character beyond ASCII counts as a letter, so Chinese text fits letter positions.
bool IsLetter(char32_t c) { return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z') || c >= 0x80; }

bool IsRequiredMaskChar(char32_t c) { return c == U'L' || c == U'A' || c == U'C' || c == U'0'; }
bool IsOptionalMaskChar(char32_t c) { return c == U'l' || c == U'a' || c == U'c' || c == U'9' || c == U'#'; }

// The picture and the two optional sections of a mask.
struct TMaskSections {
  std::u32string Text;           // the whole mask
  std::size_t Separator;         // index of the first field separator, or Text.size()
  bool Save = true;
  bool BlankGiven = false;
  char32_t Blank = DefaultBlank;
};

TMaskSections SplitMask(std::string_view editMask) {
  TMaskSections s;
  s.Text = Utf8ToUtf32(editMask);
  const std::u32string& t = s.Text;
  s.Separator = t.size();
  for (std::size_t i = 0; i < t.size(); ++i) {
    if (t[i] == U'\\') { ++i; continue; }
    if (t[i] == U';') { s.Separator = i; break; }
  }
  if (s.Separator < t.size()) {
    std::size_t i = s.Separator + 1;
    if (i < t.size() && t[i] != U';') s.Save = t[i] != static_cast<char32_t>(MaskNoSave);
    std::size_t second = t.find(U';', i);
    if (second != std::u32string::npos && second + 1 < t.size()) {
      s.BlankGiven = true;
      s.Blank = t[second + 1];
    }
  }
  return s;
}

std::vector<TMaskCharType> CharTypes(const TMaskSections& s) {
  const std::u32string& t = s.Text;
  std::vector<TMaskCharType> types(t.size(), mcLiteral);
  for (std::size_t i = 0; i < t.size(); ++i) {
    if (i >= s.Separator) {
      types[i] = t[i] == U';' ? mcFieldSeparator : mcField;
      continue;
    }
    char32_t c = t[i];
    if (c == U'\\' && i + 1 < s.Separator) {
      types[i] = mcDirective;
      types[++i] = mcLiteral;
    } else if (c == U'!' || c == U'>' || c == U'<' || c == U'\\') {
      types[i] = mcDirective;
    } else if (IsRequiredMaskChar(c)) {
      types[i] = mcMask;
    } else if (IsOptionalMaskChar(c)) {
      types[i] = mcMaskOpt;
    } else if (c == U':' || c == U'/') {
      types[i] = mcIntlLiteral;
    }
  }
  return types;
}

char32_t ConvertCase(char32_t c, TMaskCase cs) {
  if (cs == mcaNone) return c;
  if (c < 0x80) {
    if (cs == mcaUpper && c >= U'a' && c <= U'z') return c - 32;
    if (cs == mcaLower && c >= U'A' && c <= U'Z') return c + 32;
    return c;
  }
  String one;
  AppendUtf8(one, c);
  std::u32string r = Utf8ToUtf32(cs == mcaUpper ? AnsiUpperCase(one) : AnsiLowerCase(one));
  return r.size() == 1 ? r[0] : c;
}

bool Fits(char32_t maskChar, char32_t c) {
  switch (maskChar) {
    case U'L': case U'l': return IsLetter(c);
    case U'A': case U'a': return IsLetter(c) || IsDigit(c);
    case U'C': case U'c': return c >= 0x20;
    case U'0': case U'9': return IsDigit(c);
    case U'#': return IsDigit(c) || c == U'+' || c == U'-';
    default: return false;
  }
}

}  // namespace

// ---------------------------------------------------------------- free functions

char32_t MaskIntlLiteralToChar(char32_t c) {
  const TFormatSettings& fs = FormatSettings();
  if (c == U':' && fs.TimeSeparator) return static_cast<unsigned char>(fs.TimeSeparator);
  if (c == U'/' && fs.DateSeparator) return static_cast<unsigned char>(fs.DateSeparator);
  return c;
}

bool MaskGetMaskSave(std::string_view editMask) { return SplitMask(editMask).Save; }

char32_t MaskGetMaskBlank(std::string_view editMask) { return SplitMask(editMask).Blank; }

TMaskCharType MaskGetCharType(std::string_view editMask, int maskOffset) {
  TMaskSections s = SplitMask(editMask);
  if (maskOffset < 1 || maskOffset > static_cast<int>(s.Text.size())) return mcNone;
  return CharTypes(s)[static_cast<std::size_t>(maskOffset - 1)];
}

TMaskDirectives MaskGetCurrentDirectives(std::string_view editMask, int maskOffset) {
  TMaskSections s = SplitMask(editMask);
  const std::u32string& t = s.Text;
  TMaskDirectives d;
  if (t.substr(0, s.Separator).find(U'!') != std::u32string::npos) d += mdReverseDir;
  // The case set by the directives before the character, and whether a '\' escapes it.
  std::size_t target = maskOffset < 1 ? 0 : static_cast<std::size_t>(maskOffset - 1);
  for (std::size_t i = 0; i < target && i < s.Separator; ++i) {
    char32_t c = t[i];
    if (c == U'\\') {
      if (i + 1 == target) { d += mdLiteralChar; break; }
      ++i;
    } else if (c == U'>') {
      d -= mdLowerCase;
      d += mdUpperCase;
    } else if (c == U'<') {
      d -= mdUpperCase;
      d -= mdLowerCase;
      if (i + 1 < s.Separator && t[i + 1] == U'>') ++i;
      else d += mdLowerCase;
    }
  }
  return d;
}

String FormatMaskText(std::string_view editMask, std::string_view value) {
  TEditMask mask(editMask);
  if (mask.Empty()) return String(value);
  return mask.Lay(value, mask.BlankGiven() ? mask.Blank() : U' ', true);
}

// ---------------------------------------------------------------- TEditMask

TEditMask::TEditMask(std::string_view editMask, const TFormatSettings& fs) {
  TMaskSections s = SplitMask(editMask);
  FSaveLiterals = s.Save;
  FBlank = s.Blank;
  FBlankGiven = s.BlankGiven;
  TMaskCase cs = mcaNone;
  const std::u32string& t = s.Text;
  for (std::size_t i = 0; i < s.Separator; ++i) {
    char32_t c = t[i];
    TItem item;
    switch (c) {
      case U'!': FReverse = true; continue;
      case U'>': cs = mcaUpper; continue;
      case U'<':
        if (i + 1 < s.Separator && t[i + 1] == U'>') { cs = mcaNone; ++i; }
        else cs = mcaLower;
        continue;
      case U'\\':
        if (i + 1 >= s.Separator) continue;
        item.Ch = t[++i];
        break;
      case U':': item.Ch = fs.TimeSeparator ? static_cast<unsigned char>(fs.TimeSeparator) : c; break;
      case U'/': item.Ch = fs.DateSeparator ? static_cast<unsigned char>(fs.DateSeparator) : c; break;
      case U'_': item.Ch = U' '; break;
      default:
        item.Ch = c;
        if (IsRequiredMaskChar(c) || IsOptionalMaskChar(c)) {
          item.Literal = false;
          item.Required = IsRequiredMaskChar(c);
          item.Case = cs;
        }
        break;
    }
    FItems.push_back(item);
  }
}

bool TEditMask::AcceptChar(int pos, char32_t& ch) const {
  if (pos < 0 || pos >= Length()) return false;
  const TItem& it = Item(pos);
  if (it.Literal) return ch == it.Ch;
  if (!Fits(it.Ch, ch)) return false;
  ch = ConvertCase(ch, it.Case);
  return true;
}

int TEditMask::NextEditable(int pos) const {
  if (pos < 0) pos = 0;
  while (pos < Length() && IsLiteral(pos)) ++pos;
  return pos;
}

int TEditMask::PrevEditable(int pos) const {
  if (pos >= Length()) pos = Length() - 1;
  while (pos >= 0 && IsLiteral(pos)) --pos;
  return pos;
}

std::u32string TEditMask::LayPlain(const std::u32string& v, char32_t blank, bool keepExtra) const {
  std::u32string out;
  out.reserve(FItems.size() + v.size());
  if (!FReverse) {
    std::size_t vi = 0;
    for (const TItem& it : FItems) out += it.Literal ? it.Ch : vi < v.size() ? v[vi++] : blank;
    if (keepExtra) out.append(v, vi, std::u32string::npos);
    return out;
  }
  // From the back: the value fills the last positions, blanks the first.
  std::size_t vi = v.size();
  for (auto it = FItems.rbegin(); it != FItems.rend(); ++it) out += it->Literal ? it->Ch : vi > 0 ? v[--vi] : blank;
  std::reverse(out.begin(), out.end());
  if (keepExtra) out.insert(0, v, 0, vi);
  return out;
}

std::u32string TEditMask::LayFields(const std::u32string& v, char32_t blank, bool keepExtra) const {
  std::u32string out;
  out.reserve(FItems.size() + v.size());
  std::size_t vi = 0, n = FItems.size();
  for (std::size_t i = 0; i < n;) {
    if (FItems[i].Literal) {
      if (vi < v.size() && v[vi] == FItems[i].Ch) ++vi;
      out += FItems[i++].Ch;
      continue;
    }
    // A field: the positions up to the next literal take the value up to that literal.
    std::size_t j = i;
    while (j < n && !FItems[j].Literal) ++j;
    std::size_t width = j - i, take;
    std::size_t stop = j < n ? v.find(FItems[j].Ch, vi) : std::u32string::npos;
    if (stop != std::u32string::npos && stop - vi <= width) take = stop - vi;
    else take = std::min(width, v.size() - vi);
    std::u32string pad(width - take, blank);
    if (FReverse) out += pad;
    out.append(v, vi, take);
    if (!FReverse) out += pad;
    vi += take;
    i = j;
  }
  if (keepExtra) out.append(v, vi, std::u32string::npos);
  return out;
}

String TEditMask::Lay(std::string_view value, char32_t blank, bool keepExtra) const {
  std::u32string v = Utf8ToUtf32(value);
  return Utf32ToUtf8(FSaveLiterals ? LayFields(v, blank, keepExtra) : LayPlain(v, blank, keepExtra));
}

String TEditMask::BlankText() const { return Lay({}, FBlank, false); }

String TEditMask::ToEditText(std::string_view value) const { return Lay(value, FBlank, false); }

String TEditMask::FromEditText(std::string_view editText) const {
  std::u32string e = Utf8ToUtf32(editText);
  std::u32string out;
  for (std::size_t i = 0; i < FItems.size(); ++i) {
    const TItem& it = FItems[i];
    if (it.Literal) {
      if (FSaveLiterals) out += it.Ch;
      continue;
    }
    char32_t c = i < e.size() ? e[i] : FBlank;
    if (c == FBlank || c == U' ') {
      if (FSaveLiterals) out += U' ';
    } else {
      out += c;
    }
  }
  return Utf32ToUtf8(out);
}

int TEditMask::Validate(std::string_view editText) const {
  std::u32string e = Utf8ToUtf32(editText);
  for (std::size_t i = 0; i < FItems.size(); ++i) {
    const TItem& it = FItems[i];
    char32_t c = i < e.size() ? e[i] : FBlank;
    bool ok;
    if (it.Literal) ok = c == it.Ch;
    else if (c == FBlank || c == U' ') ok = !it.Required;
    else ok = Fits(it.Ch, c);
    if (!ok) return static_cast<int>(i);
  }
  return e.size() > FItems.size() ? static_cast<int>(FItems.size()) : -1;
}
