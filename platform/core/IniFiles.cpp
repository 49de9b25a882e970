// INI files: the text model shared by TIniFile and TMemIniFile, and the typed accessors.
#include "core/IniFiles.h"
#include "core/FileUtils.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"

#include <algorithm>

// ---------------------------------------------------------------- the text model

// The lines of an INI file. Comments, blank lines and the order of everything are kept;
// writes touch only the lines of the key they change.
class TIniDocument {
public:
  explicit TIniDocument(bool QuotedValues) : FQuoted(QuotedValues) {}
  bool CaseSensitive = false;

  void Parse(const String& Text);
  String Render() const;
  std::vector<String> Lines() const;
  bool Read(const String& Section, const String& Key, String& Value) const;
  void Write(const String& Section, const String& Key, const String& Value);
  std::vector<String> Sections() const;
  std::vector<std::pair<String, String>> Keys(const String& Section) const;
  void EraseSection(const String& Section);
  void DeleteKey(const String& Section, const String& Key);
  void Clear() { FLines.clear(); }

private:
  enum TLineKind { lkOther, lkSection, lkKey };
  struct TLine {
    TLineKind Kind = lkOther;
    String Text;
    String Name;   // section or key name
    String Value;  // a key's value as written, blanks trimmed
  };
  bool Same(const String& A, const String& B) const { return CaseSensitive ? A == B : AnsiSameText(A, B); }
  int FindSection(const String& Section) const;
  int SectionEnd(int Header) const;
  String Decode(const String& V) const;
  String Encode(const String& V) const;
  static TLine ParseLine(const String& Text);

  std::vector<TLine> FLines;
  String FEol = "\r\n";
  bool FBom = false;
  bool FQuoted;
};

TIniDocument::TLine TIniDocument::ParseLine(const String& Text) {
  TLine line;
  line.Text = Text;
  String t = Trim(Text);
  if (t.empty() || t[0] == ';') return line;
  if (t[0] == '[') {
    std::size_t close = t.find(']');
    line.Kind = lkSection;
    line.Name = Trim(t.substr(1, close == String::npos ? String::npos : close - 1));
    return line;
  }
  std::size_t eq = t.find('=');
  if (eq == String::npos) return line;
  line.Name = Trim(t.substr(0, eq));
  if (line.Name.empty()) return line;
  line.Kind = lkKey;
  line.Value = Trim(t.substr(eq + 1));
  return line;
}

void TIniDocument::Parse(const String& Text) {
  FLines.clear();
  std::size_t p = 0, n = Text.size();
  FBom = Text.compare(0, 3, "\xEF\xBB\xBF") == 0;
  if (FBom) p = 3;
  std::size_t firstBreak = Text.find_first_of("\r\n", p);
  FEol = firstBreak != String::npos && Text[firstBreak] == '\n' ? "\n" : "\r\n";
  while (p < n) {
    std::size_t start = p;
    while (p < n && Text[p] != '\r' && Text[p] != '\n') ++p;
    FLines.push_back(ParseLine(Text.substr(start, p - start)));
    if (p < n && Text[p] == '\r') ++p;
    if (p < n && Text[p] == '\n') ++p;
  }
}

String TIniDocument::Render() const {
  String r = FBom ? "\xEF\xBB\xBF" : "";
  for (const auto& line : FLines) r += line.Text + FEol;
  return r;
}

std::vector<String> TIniDocument::Lines() const {
  std::vector<String> r;
  for (const auto& line : FLines) r.push_back(line.Text);
  return r;
}

int TIniDocument::FindSection(const String& Section) const {
  String name = Trim(Section);
  for (std::size_t i = 0; i < FLines.size(); ++i)
    if (FLines[i].Kind == lkSection && Same(FLines[i].Name, name)) return static_cast<int>(i);
  return -1;
}

int TIniDocument::SectionEnd(int Header) const {
  int i = Header + 1;
  while (i < static_cast<int>(FLines.size()) && FLines[i].Kind != lkSection) ++i;
  return i;
}

String TIniDocument::Decode(const String& V) const {
  if (FQuoted && V.size() >= 2 && (V[0] == '"' || V[0] == '\'') && V.back() == V[0]) return V.substr(1, V.size() - 2);
  return V;
}

String TIniDocument::Encode(const String& V) const {
  if (!FQuoted || V.empty()) return V;
  bool blankEnds = static_cast<unsigned char>(V.front()) <= ' ' || static_cast<unsigned char>(V.back()) <= ' ';
  bool looksQuoted = V.size() >= 2 && (V[0] == '"' || V[0] == '\'') && V.back() == V[0];
  return blankEnds || looksQuoted ? "\"" + V + "\"" : V;
}

bool TIniDocument::Read(const String& Section, const String& Key, String& Value) const {
  int h = FindSection(Section);
  if (h < 0) return false;
  String name = Trim(Key);
  for (int i = h + 1, end = SectionEnd(h); i < end; ++i)
    if (FLines[i].Kind == lkKey && Same(FLines[i].Name, name)) {
      Value = Decode(FLines[i].Value);
      return true;
    }
  return false;
}

void TIniDocument::Write(const String& Section, const String& Key, const String& Value) {
  String sec = Trim(Section), key = Trim(Key);
  if (sec.find_first_of("]\r\n") != String::npos) throw EIniFileException("Invalid section name: \"" + sec + "\"");
  if (key.empty() || key.find_first_of("=\r\n") != String::npos || key[0] == '[' || key[0] == ';')
    throw EIniFileException("Invalid key name: \"" + key + "\"");
  if (Value.find_first_of("\r\n") != String::npos)
    throw EIniFileException("Invalid value for \"" + key + "\": line breaks are not allowed");
  String enc = Encode(Value);
  int h = FindSection(sec);
  if (h < 0) {
    if (!FLines.empty() && !Trim(FLines.back().Text).empty()) FLines.push_back(TLine());
    FLines.push_back(ParseLine("[" + sec + "]"));
    FLines.push_back(ParseLine(key + "=" + enc));
    return;
  }
  int end = SectionEnd(h), insertAt = h + 1;
  for (int i = h + 1; i < end; ++i) {
    if (FLines[i].Kind != lkKey) continue;
    if (Same(FLines[i].Name, key)) {
      FLines[i] = ParseLine(FLines[i].Name + "=" + enc);
      return;
    }
    insertAt = i + 1;
  }
  FLines.insert(FLines.begin() + insertAt, ParseLine(key + "=" + enc));
}

std::vector<String> TIniDocument::Sections() const {
  std::vector<String> r;
  for (const auto& line : FLines)
    if (line.Kind == lkSection &&
        std::none_of(r.begin(), r.end(), [&](const String& s) { return Same(s, line.Name); }))
      r.push_back(line.Name);
  return r;
}

std::vector<std::pair<String, String>> TIniDocument::Keys(const String& Section) const {
  std::vector<std::pair<String, String>> r;
  int h = FindSection(Section);
  if (h < 0) return r;
  for (int i = h + 1, end = SectionEnd(h); i < end; ++i) {
    const TLine& line = FLines[i];
    if (line.Kind == lkKey &&
        std::none_of(r.begin(), r.end(), [&](const auto& kv) { return Same(kv.first, line.Name); }))
      r.emplace_back(line.Name, Decode(line.Value));
  }
  return r;
}

void TIniDocument::EraseSection(const String& Section) {
  for (int h; (h = FindSection(Section)) >= 0;) FLines.erase(FLines.begin() + h, FLines.begin() + SectionEnd(h));
}

void TIniDocument::DeleteKey(const String& Section, const String& Key) {
  int h = FindSection(Section);
  if (h < 0) return;
  String name = Trim(Key);
  for (int i = SectionEnd(h) - 1; i > h; --i)
    if (FLines[i].Kind == lkKey && Same(FLines[i].Name, name)) FLines.erase(FLines.begin() + i);
}

// ---------------------------------------------------------------- TCustomIniFile

Integer TCustomIniFile::ReadInteger(const String& Section, const String& Ident, Integer Default) {
  return StrToIntDef(ReadString(Section, Ident, String()), Default);
}

void TCustomIniFile::WriteInteger(const String& Section, const String& Ident, Integer Value) {
  WriteString(Section, Ident, IntToStr(Value));
}

bool TCustomIniFile::ReadBool(const String& Section, const String& Ident, bool Default) {
  return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TCustomIniFile::WriteBool(const String& Section, const String& Ident, bool Value) {
  WriteString(Section, Ident, Value ? "1" : "0");
}

double TCustomIniFile::ReadFloat(const String& Section, const String& Ident, double Default) {
  return StrToFloatDef(ReadString(Section, Ident, String()), Default);
}

void TCustomIniFile::WriteFloat(const String& Section, const String& Ident, double Value) {
  WriteString(Section, Ident, FloatToStr(Value));
}

TDateTime TCustomIniFile::ReadDate(const String& Section, const String& Ident, TDateTime Default) {
  return StrToDateDef(ReadString(Section, Ident, String()), Default);
}

void TCustomIniFile::WriteDate(const String& Section, const String& Ident, TDateTime Value) {
  WriteString(Section, Ident, DateToStr(Value));
}

TDateTime TCustomIniFile::ReadDateTime(const String& Section, const String& Ident, TDateTime Default) {
  return StrToDateTimeDef(ReadString(Section, Ident, String()), Default);
}

void TCustomIniFile::WriteDateTime(const String& Section, const String& Ident, TDateTime Value) {
  WriteString(Section, Ident, DateTimeToStr(Value));
}

TDateTime TCustomIniFile::ReadTime(const String& Section, const String& Ident, TDateTime Default) {
  return StrToTimeDef(ReadString(Section, Ident, String()), Default);
}

void TCustomIniFile::WriteTime(const String& Section, const String& Ident, TDateTime Value) {
  WriteString(Section, Ident, TimeToStr(Value));
}

bool TCustomIniFile::SectionExists(const String& Section) {
  TStringList keys;
  ReadSection(Section, &keys);
  return keys.Count() > 0;
}

bool TCustomIniFile::ValueExists(const String& Section, const String& Ident) {
  TStringList keys;
  ReadSection(Section, &keys);
  return keys.IndexOf(Trim(Ident)) >= 0;
}

void TCustomIniFile::SetLines(TStrings* Strings, const std::vector<String>& Lines) {
  WithinUpdate(*Strings, [&] {
    Strings->Clear();
    for (const auto& line : Lines) Strings->Add(line);
  });
}

namespace {
std::vector<String> KeyNames(const std::vector<std::pair<String, String>>& Keys) {
  std::vector<String> r;
  for (const auto& kv : Keys) r.push_back(kv.first);
  return r;
}

std::vector<String> KeyLines(const std::vector<std::pair<String, String>>& Keys) {
  std::vector<String> r;
  for (const auto& kv : Keys) r.push_back(kv.first + "=" + kv.second);
  return r;
}
}  // namespace

// ---------------------------------------------------------------- TIniFile

TIniFile::TIniFile(const String& FileName) : TCustomIniFile(FileName) {}
TIniFile::~TIniFile() = default;

TIniDocument TIniFile::Load() const {
  TIniDocument doc(true);
  String text;
  if (ReadFileToString(FileName(), text)) doc.Parse(text);
  return doc;
}

void TIniFile::Save(const TIniDocument& Doc) {
  try {
    WriteFileAtomic(FileName(), Doc.Render());
  } catch (const EFCreateError&) {
    throw EIniFileException("Unable to write to " + FileName());
  }
}

String TIniFile::ReadString(const String& Section, const String& Ident, const String& Default) {
  String v;
  return Load().Read(Section, Ident, v) ? v : Default;
}

void TIniFile::WriteString(const String& Section, const String& Ident, const String& Value) {
  TIniDocument doc = Load();
  doc.Write(Section, Ident, Value);
  Save(doc);
}

void TIniFile::ReadSection(const String& Section, TStrings* Strings) { SetLines(Strings, KeyNames(Load().Keys(Section))); }
void TIniFile::ReadSections(TStrings* Strings) { SetLines(Strings, Load().Sections()); }
void TIniFile::ReadSectionValues(const String& Section, TStrings* Strings) {
  SetLines(Strings, KeyLines(Load().Keys(Section)));
}

void TIniFile::EraseSection(const String& Section) {
  TIniDocument doc = Load();
  auto sections = doc.Sections();
  if (std::none_of(sections.begin(), sections.end(), [&](const String& s) { return AnsiSameText(s, Trim(Section)); }))
    return;
  doc.EraseSection(Section);
  Save(doc);
}

void TIniFile::DeleteKey(const String& Section, const String& Ident) {
  TIniDocument doc = Load();
  String v;
  if (!doc.Read(Section, Ident, v)) return;
  doc.DeleteKey(Section, Ident);
  Save(doc);
}

// ---------------------------------------------------------------- TMemIniFile

TMemIniFile::TMemIniFile(const String& FileName) : TCustomIniFile(FileName), FDoc(std::make_unique<TIniDocument>(false)) {
  LoadValues();
}
TMemIniFile::~TMemIniFile() = default;

void TMemIniFile::LoadValues() {
  String text;
  if (!FileName().empty() && ReadFileToString(FileName(), text)) FDoc->Parse(text);
  else FDoc->Clear();
}

String TMemIniFile::ReadString(const String& Section, const String& Ident, const String& Default) {
  String v;
  return FDoc->Read(Section, Ident, v) ? v : Default;
}

void TMemIniFile::WriteString(const String& Section, const String& Ident, const String& Value) {
  FDoc->Write(Section, Ident, Value);
}

void TMemIniFile::ReadSection(const String& Section, TStrings* Strings) { SetLines(Strings, KeyNames(FDoc->Keys(Section))); }
void TMemIniFile::ReadSections(TStrings* Strings) { SetLines(Strings, FDoc->Sections()); }
void TMemIniFile::ReadSectionValues(const String& Section, TStrings* Strings) {
  SetLines(Strings, KeyLines(FDoc->Keys(Section)));
}
void TMemIniFile::EraseSection(const String& Section) { FDoc->EraseSection(Section); }
void TMemIniFile::DeleteKey(const String& Section, const String& Ident) { FDoc->DeleteKey(Section, Ident); }
void TMemIniFile::UpdateFile() { WriteFileAtomic(FileName(), FDoc->Render()); }
void TMemIniFile::Clear() { FDoc->Clear(); }

void TMemIniFile::GetStrings(TStrings* List) const {
  WithinUpdate(*List, [&] {
    for (const auto& line : FDoc->Lines()) List->Add(line);
  });
}

void TMemIniFile::SetStrings(TStrings* List) { FDoc->Parse(List->Text()); }

void TMemIniFile::Rename(const String& FileName, bool Reload) {
  SetFileName(FileName);
  if (Reload) LoadValues();
}

bool TMemIniFile::CaseSensitive() const { return FDoc->CaseSensitive; }
void TMemIniFile::SetCaseSensitive(bool Value) { FDoc->CaseSensitive = Value; }
