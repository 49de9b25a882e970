// Type rules, literal texts, signatures and source positions.
#include "script/fs_itools.h"

#include "script/fs_iclassvariable.h"
#include "script/fs_iparser.h"
#include "script/fs_iscript.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"

#include <memory>

// ---------------------------------------------------------------- types

TfsTypeCode TypeCodeOfName(const String& ATypeName, TfsScript* Script) {
  TfsCustomVariable* item = Script ? Script->LookupName(ATypeName) : nullptr;
  return item ? item->TypeCode() : tcClass;
}

bool TypesCompatible(TfsTypeCode TargetCode, const String& TargetName, TfsTypeCode SourceCode,
                     const String& SourceName, TfsScript* Script) {
  if (TargetCode == tcConstructor) return false;
  if (TargetCode == tcVariant || SourceCode == tcVariant) return true;
  switch (TargetCode) {
    case tcInteger:
      return SourceCode == tcInteger || SourceCode == tcFloat || SourceCode == tcEnum;
    case tcBoolean:
      return SourceCode == tcBoolean;
    case tcFloat:
      return SourceCode == tcInteger || SourceCode == tcFloat;
    case tcChar: case tcString:
      return SourceCode == tcChar || SourceCode == tcString;
    case tcClass: {
      if (SourceCode != tcClass || !Script) return false;
      TfsClassVariable* target = Script->LookupClass(TargetName);
      TfsClassVariable* source = Script->LookupClass(SourceName);
      return target && source && source->ClassRef()->InheritsFrom(target->ClassRef());
    }
    case tcArray:
      return SourceCode == tcArray;
    case tcEnum:
      return SourceCode == tcInteger || (SourceCode == tcEnum && AnsiSameText(TargetName, SourceName));
    default:
      return false;
  }
}

bool AssignmentCompatible(const TfsCustomVariable* Target, const TfsCustomVariable* Source, TfsScript* Script) {
  if (Target->TypeCode() == tcInteger && Source->TypeCode() == tcFloat) return false;
  return TypesCompatible(Target->TypeCode(), Target->TypeName(), Source->TypeCode(), Source->TypeName(), Script);
}

String VariableTypeName(const TfsCustomVariable* Item) {
  static const char* const kNames[] = {"Integer", "Boolean", "Extended", "Char",    "String",
                                       nullptr,   "Array",   "Variant",  nullptr,   "Variant"};
  TfsTypeCode code = Item->TypeCode();
  if (code > tcConstructor) return "Variant";
  return kNames[code] ? String(kNames[code]) : Item->TypeName();
}

// ---------------------------------------------------------------- literals

Variant ParseConstantText(const String& Text) {
  if (Text.empty()) return Null();
  if (Text[0] == '\'') return Variant(Text.size() >= 2 ? Text.substr(1, Text.size() - 2) : String());
  Int64 i = 0;
  if (TryStrToInt64(Text, i)) {
    // Negative values come only from signature defaults and stay within 32 bits.
    if (i >= 0 && i <= 2147483647) return Variant(static_cast<Integer>(i));
    if (i < 0) return Variant(static_cast<Integer>(i));
    return Variant(i);
  }
  // Literals are written with a dot whatever the user's decimal separator is.
  TFormatSettings fs = FormatSettings();
  fs.DecimalSeparator = '.';
  fs.ThousandSeparator = ',';
  Extended f = 0;
  if (!TryStrToFloat(Text, f, fs)) throw EConvertError("'" + Text + "' is not a valid floating point value");
  return Variant(static_cast<double>(f));
}

TPoint SourcePosToPoint(const String& Pos) {
  if (Pos.empty()) return TPoint{0, 0};
  std::size_t colon = Pos.find(':');
  String line = Pos.substr(0, colon);
  String column = colon == String::npos ? String() : Pos.substr(colon + 1);
  return TPoint{StrToInt(column), StrToInt(line)};
}

// ---------------------------------------------------------------- signatures

namespace {

// Reads one parameter group ("var a, b: Integer = 1") and adds its parameters to Item.
// Answers false at ")" or the end of the text.
bool ReadParamGroup(TfsParser& P, TfsCustomVariable* Item, TfsScript* Script) {
  std::vector<String> names;
  bool varParam = false;
  for (;;) {
    P.SkipBlanksAndComments();
    if (P.Position() > P.Size()) return false;
    String word = P.ReadWordToken();
    if (!word.empty()) {
      if (SameText(word, "var")) varParam = true;
      else if (!SameText(word, "const")) names.push_back(word);
      continue;
    }
    String punct = P.ReadPunctuation();
    if (punct == ":") break;
    if (punct == ")" || punct.empty()) return false;  // names without a type declare nothing
  }
  String typeName = P.ReadWordToken();
  Variant def = Null();
  P.SkipBlanksAndComments();
  int before = P.Position();
  if (P.ReadPunctuation() == "=") {
    String text = P.ReadNumberLiteral();
    if (text.empty()) text = P.ReadStringLiteral();
    if (text.empty()) {
      P.SkipBlanksAndComments();
      int minus = P.Position();
      if (P.ReadPunctuation() == "-") text = "-" + P.ReadNumberLiteral();
      else P.MoveTo(minus);
    }
    if (!text.empty()) {
      def = ParseConstantText(text);
    } else {
      TfsCustomVariable* named = Script ? Script->LookupName(P.ReadWordToken()) : nullptr;
      if (named) def = named->FetchValue();
    }
  } else {
    P.MoveTo(before);
  }
  TfsTypeCode code = TypeCodeOfName(typeName, Script);
  for (std::size_t i = 0; i < names.size(); ++i) {
    bool last = i + 1 == names.size();
    auto* param = new TfsParamItem(names[i], code, typeName, last && !VarIsNull(def), varParam);
    if (last) param->SetDefaultValue(def);
    Item->AddParam(param);
  }
  P.SkipBlanksAndComments();
  return P.ReadPunctuation() == ";";
}

}  // namespace

TfsCustomVariable* ParseSignature(const String& Signature, TfsScript* Script) {
  TfsParser p;
  p.LoadSource(Signature);
  String kind = p.ReadWordToken();
  bool macro = StartsText("macro", kind);
  if (macro) kind = kind.substr(5);
  bool isFunction = SameText(kind, "function");
  String name = p.ReadWordToken();

  String typeName;
  if (isFunction) {
    std::size_t colon = Signature.rfind(':');
    if (colon != String::npos) {
      TfsParser t;
      t.LoadSource(Signature.substr(colon + 1));
      typeName = t.ReadWordToken();
    }
  }
  auto item = std::make_unique<TfsCustomVariable>(name, TypeCodeOfName(typeName, Script), typeName);
  item->SetMacro(macro);
  p.SkipBlanksAndComments();
  if (p.ReadPunctuation() == "(")
    while (ReadParamGroup(p, item.get(), Script)) {
    }
  return item.release();
}
