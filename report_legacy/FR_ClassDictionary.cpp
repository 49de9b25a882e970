// The data dictionary and its stream (tag 254 of the report stream) in its three forms.
#include "report_legacy/FR_Class.h"

#include "report_legacy/FR_DBRel.h"
#include "report_legacy/FR_Pars.h"
#include "report_legacy/FR_Utils.h"

#include "core/Exceptions.h"
#include "core/StringList.h"
#include "core/Streams.h"

using namespace frstream;

TfrDataDictionary::TfrDataDictionary()
    : Variables(std::make_unique<TfrVariables>()), FieldAliases(std::make_unique<TfrVariables>()),
      BandSourceList(std::make_unique<TfrVariables>()), DisabledSourceList(std::make_unique<TStringList>()) {}

TfrDataDictionary::~TfrDataDictionary() = default;

void TfrDataDictionary::Clear() {
  Variables->Clear();
  FieldAliases->Clear();
  BandSourceList->Clear();
  DisabledSourceList->Clear();
  Cache.clear();
}


namespace {

void WriteList(TStream* S, TfrVariables* List) {
  WriteInt(S, List->Count());
  for (int i = 0; i < List->Count(); ++i) {
    WriteCountedString(S, List->Name(i));
    WriteCountedString(S, VarToStr(List->Value(i)));
  }
}

void ReadList(TStream* S, TfrVariables* List) {
  const std::int32_t count = ReadInt(S);
  // Each entry takes at least six bytes: a count beyond what is left is not believed.
  if (count < 0 || count > (S->Size() - S->Position()) / 6) throw EReadError("Invalid dictionary entry count");
  for (std::int32_t i = 0; i < count; ++i) {
    String name = ReadCountedString(S);
    String value = ReadCountedString(S);
    List->SetVariable(name, Variant(value));
  }
}

String ReadShortString(TStream* S) {
  Byte n = ReadByte(S);
  String b(n, '\0');
  if (n) S->ReadBuffer(b.data(), n);
  return FromStreamText(b);
}

// Special variable names by number in the oldest form.
const char* const kSpecialNames[] = {"DATE",          "TIME",       "LINE#",       "LINETHROUGH#", "COLUMN#",
                                     "CURRENT#",      "TOTALPAGES", "REPORTCOMMENT", "REPORTNAME", "REPORTAUTOR",
                                     "VMAJOR",        "VMINOR",     "VRELEASE",    "VBUILD",       "REPORTDATE",
                                     "REPORTLASTCHANGE"};

}  // namespace

void TfrDataDictionary::SaveToStream(TStream* Stream) {
  WriteWord(Stream, static_cast<Word>(-2));
  WriteList(Stream, Variables.get());
  WriteList(Stream, FieldAliases.get());
  WriteList(Stream, BandSourceList.get());
}

void TfrDataDictionary::LoadFromStream(TStream* Stream) {
  Clear();
  const auto mark = static_cast<std::int16_t>(ReadWord(Stream));
  if (mark == -1 || mark == -2) {
    ReadList(Stream, Variables.get());
    ReadList(Stream, FieldAliases.get());
    ReadList(Stream, BandSourceList.get());
    if (mark == -1) {
      for (int i = FieldAliases->Count() - 1; i >= 0; --i) {
        const String value = VarToStr(FieldAliases->Value(i));
        if (value.empty()) continue;
        TComponent* component = nullptr;
        String field;
        ParseFieldReference(value, component, field);
        if (field.empty()) FieldAliases->Delete(i);
      }
      for (int i = BandSourceList->Count() - 1; i >= 0; --i)
        if (VarToStr(BandSourceList->Value(i)).empty()) BandSourceList->Delete(i);
    }
  } else {
    Stream->Seek(-2, soCurrent);
    const std::int32_t count = ReadInt(Stream);
    if (count < 0 || count > (Stream->Size() - Stream->Position()) / 8)
      throw EReadError("Invalid dictionary entry count");
    for (std::int32_t i = 0; i < count; ++i) {
      const Byte kind = ReadByte(Stream);
      const std::int32_t number = ReadInt(Stream);
      const String a = ReadShortString(Stream), b = ReadShortString(Stream), c = ReadShortString(Stream);
      String value;
      if (kind == 1) {
        value = a + ".\"" + b + "\"";
      } else if (kind == 2) {
        if (number == 1) value = b;
        else if (number >= 2 && number - 2 < static_cast<int>(std::size(kSpecialNames))) value = kSpecialNames[number - 2];
      }
      FieldAliases->SetVariable(" " + c, Variant(value));
    }
    TStringList lines;
    ReadVersionedLines(Stream, &lines, frState().StreamVersion);
    for (int i = 0; i < lines.Count(); ++i) {
      const String line = lines[i];
      if (line.empty()) continue;
      if (line[0] == ' ') Variables->SetVariable(line, FieldAliases->Variable(line));
      else Variables->SetVariable(line, Variant(String()));
    }
    FieldAliases->Clear();
  }
  // Older forms held the opposite convention; the current form is read as written, or a
  // dictionary that starts with a category would come back with every name turned over.
  if (mark != -2 && Variables->Count() > 0 && !Variables->Name(0).empty() && Variables->Name(0)[0] != ' ') {
    for (int i = 0; i < Variables->Count(); ++i) {
      const String n = Variables->Name(i);
      Variables->SetName(i, !n.empty() && n[0] == ' ' ? n.substr(1) : " " + n);
    }
  }
}
