#include "tools/FormGen.h"

#include "core/Classes.h"
#include "core/Filer.h"
#include "core/FileUtils.h"
#include "core/StrUtils.h"

#include <cctype>
#include <set>

namespace {

// Names a member cannot take in C++ although a layout may give them to a component.
const std::set<String> kCppKeywords = {
    "alignas", "alignof", "and", "and_eq", "asm", "auto", "bitand", "bitor", "bool", "break", "case", "catch",
    "char", "char8_t", "char16_t", "char32_t", "class", "compl", "concept", "const", "consteval", "constexpr",
    "constinit", "const_cast", "continue", "co_await", "co_return", "co_yield", "decltype", "default", "delete",
    "do", "double", "dynamic_cast", "else", "enum", "explicit", "export", "extern", "false", "float", "for",
    "friend", "goto", "if", "inline", "int", "long", "mutable", "namespace", "new", "noexcept", "not", "not_eq",
    "nullptr", "operator", "or", "or_eq", "private", "protected", "public", "register", "reinterpret_cast",
    "requires", "return", "short", "signed", "sizeof", "static", "static_assert", "static_cast", "struct",
    "switch", "template", "this", "thread_local", "throw", "true", "try", "typedef", "typeid", "typename",
    "union", "unsigned", "using", "virtual", "void", "volatile", "wchar_t", "while", "xor", "xor_eq"};

[[noreturn]] void Fail(const String& Source, int Line, const String& Reason) {
  throw EFormGenError(Source + ", line " + std::to_string(Line) + ": " + Reason);
}

// Walks the binary form of a layout, collecting the components its window's class owns.
class TLayoutWalker {
public:
  TLayoutWalker(TReader& Reader, const TTextSourceMap& Map, TFormLayout& Layout)
      : R(Reader), Map(Map), L(Layout) {}

  void Root() {
    R.ReadSignature();
    TFilerFlags flags;
    String name;
    int line = Header(flags, L.ClassName, name);
    L.Inherited = flags.Contains(ffInherited);
    // A window finds its layout by its class's name; the library dialogs keep their resource
    // names in capitals (TCALCULATOREH), so letter case is not part of the match.
    if (!SameText(ChangeFileExt(ExtractFileName(L.SourceName), ""), L.ClassName))
      Fail(L.SourceName, line, "the layout of " + L.ClassName + " must be the file " + L.ClassName + ".txt");
    Body(true);
  }

private:
  // One object's prefix, class and name; the line its record came from.
  int Header(TFilerFlags& Flags, String& ClassName, String& Name) {
    int line = Map.LineAt(R.Position());
    int childPos = 0;
    R.ReadPrefix(Flags, childPos);
    ClassName = R.ReadStr();
    Name = R.ReadStr();
    return line;
  }

  // Properties are skipped; children are collected when Owned, else skipped whole.
  void Body(bool Owned) {
    while (!R.EndOfList()) {
      R.ReadStr();
      R.SkipValue();
    }
    R.ReadListEnd();
    while (!R.EndOfList()) Child(Owned);
    R.ReadListEnd();
  }

  void Child(bool Owned) {
    TFilerFlags flags;
    String cls, name;
    int line = Header(flags, cls, name);
    // A base layout's object is its base class's member; a frame owns its own children.
    bool member = Owned && !name.empty() && !flags.Contains(ffInherited);
    if (member) Add(TLayoutComponent{name, cls, line});
    Body(Owned && !flags.Contains(ffInline));
  }

  void Add(const TLayoutComponent& C) {
    if (kCppKeywords.count(C.Name)) Fail(L.SourceName, C.Line, "the component name " + C.Name + " is a C++ keyword");
    for (const TLayoutComponent& other : L.Components)
      if (SameText(other.Name, C.Name))
        Fail(L.SourceName, C.Line,
             "duplicate component name " + C.Name + " (first at line " + std::to_string(other.Line) + ")");
    L.Components.push_back(C);
  }

  TReader& R;
  const TTextSourceMap& Map;
  TFormLayout& L;
};

bool IsIdentChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// The identifier at Text[Pos...] (after blanks), empty when there is none.
String IdentAt(const String& Text, std::size_t& Pos) {
  while (Pos < Text.size() && (Text[Pos] == ' ' || Text[Pos] == '\t')) ++Pos;
  std::size_t start = Pos;
  while (Pos < Text.size() && IsIdentChar(Text[Pos])) ++Pos;
  return Text.substr(start, Pos - start);
}

}  // namespace

TFormLayout ReadFormLayout(const String& Text, const String& SourceName) {
  TFormLayout layout;
  layout.SourceName = SourceName;
  TStringStream text(Text);
  TMemoryStream binary;
  TTextSourceMap map;
  try {
    ObjectTextToBinary(&text, &binary, SourceName, &map);
    binary.SetPosition(0);
    TReader reader(&binary);
    TLayoutWalker(reader, map, layout).Root();
  } catch (const EFormGenError&) {
    throw;
  } catch (const Exception& e) {
    // The layout reader's own messages already name the file and the line.
    throw EFormGenError(e.Message());
  }
  return layout;
}

void ScanClassHeader(const String& Text, const String& IncludeName, TClassHeaders& Headers) {
  static const String kMacro = "KELM_CLASS(";
  std::size_t lineStart = 0;
  int line = 1;
  while (lineStart < Text.size()) {
    std::size_t end = Text.find('\n', lineStart);
    if (end == String::npos) end = Text.size();
    String s = Trim(Text.substr(lineStart, end - lineStart));
    // Declarations only: not the macro's definition, not an example in a comment.
    if (StartsStr(kMacro, s)) {
      std::size_t pos = kMacro.size();
      String cls = IdentAt(s, pos);
      if (!cls.empty()) {
        auto [it, added] = Headers.emplace(cls, IncludeName);
        if (!added && it->second != IncludeName)
          Fail(IncludeName, line, "class " + cls + " is declared again (first in " + it->second + ")");
      }
    }
    lineStart = end + 1;
    ++line;
  }
}

String FormHeaderName(const TFormLayout& Layout) { return "forms/" + Layout.ClassName + ".h"; }

String GenerateFormHeader(const TFormLayout& Layout, const TClassHeaders& Headers) {
  std::set<String> includes;
  for (const TLayoutComponent& c : Layout.Components) {
    auto it = Headers.find(c.ClassName);
    if (it == Headers.end())
      Fail(Layout.SourceName, c.Line, "no header declares the class " + c.ClassName + " of " + c.Name);
    includes.insert(it->second);
  }
  const String& w = Layout.ClassName;
  String out = "// Generated by kelm-formgen from the layout forms/" + ExtractFileName(Layout.SourceName) +
               ": its components as members of " + w + ".\n// Edit the layout, not this file.\n#pragma once\n" +
               "#include \"forms/LayoutComponents.h\"\n";
  for (const String& inc : includes) out += "#include \"" + inc + "\"\n";
  out += "\nclass " + w + "Components {\npublic:\n";
  for (const TLayoutComponent& c : Layout.Components) out += "  " + c.ClassName + "* " + c.Name + " = nullptr;\n";
  out += "\nprotected:\n  void BindComponents(TComponent* Root) {\n";
  for (const TLayoutComponent& c : Layout.Components)
    out += "    BindLayoutComponent(Root, \"" + c.Name + "\", " + c.Name + ");\n";
  out += "  }\n  void UnbindComponent(const TComponent* Component) {\n";
  for (const TLayoutComponent& c : Layout.Components) out += "    UnbindLayoutComponent(Component, " + c.Name + ");\n";
  out += "  }\n};\n\ntemplate <class Base> using " + w + "Layout = TLayoutRoot<Base, " + w + "Components>;\n";
  return out;
}
