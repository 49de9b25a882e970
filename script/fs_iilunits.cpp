// Units named in a uses clause: their text, their parse by a parser of their own, and their
// `uses` element in the caller's output.
#include "script/fs_iilparser.h"

#include "script/fs_iilconst.h"
#include "script/fs_iilmatch_p.h"
#include "script/fs_iscript.h"
#include "script/fs_xml.h"
#include "core/FileUtils.h"
#include "core/Streams.h"
#include "core/StringList.h"

void TfsILParser::InlineUnit(const String& UnitName, TfsILOutput& Output, TfsILErrorState& Error, int Nesting) {
  // Once per compile: the list travels along the chain of unit parsers.
  if (FUsedUnits->IndexOf(UnitName) >= 0) return;
  FUsedUnits->Add(UnitName);
  auto uses = std::make_unique<TfsXMLItem>();
  uses->SetName(String(fsil::Uses));
  uses->SetText(String(fsil::AttrUnit) + "=\"" + EscapeAttrText(UnitName) + "\"");
  const String text = ReadUnitText(UnitName);
  if (!text.empty()) {
    TfsILParser unit(FScript);
    unit.FCurrentUnit = UnitName;
    unit.FNestingBase = Nesting;
    unit.LoadGrammar(FLanguageName);
    unit.FUsedUnits->Assign(FUsedUnits.get());
    auto program = std::make_unique<TfsXMLItem>();
    TParseResult result = unit.Parse(text, program.get());
    if (result.Ok) {
      FUsedUnits->Assign(unit.FUsedUnits.get());
      uses->AddItem(program.release());
    } else if (!Error.Pending()) {
      Error.Record(result.Message, result.Pos, false);
      // A unit further in that failed first is the one named.
      if (FScript->CompileErrorUnit().empty())
        FScript->SetCompileError(FScript->CompileError(), FScript->CompileErrorPos(), UnitName);
    }
  }
  Output.Add(std::move(uses));
}

String TfsILParser::ReadUnitText(const String& UnitName) {
  if (FScript->OnGetUnit().Assigned()) {
    String text;
    FScript->OnGetUnit()(FScript, UnitName, text);
    return text;
  }
  // Raises the file error when the file cannot be opened.
  TFileStream file(ResolvePath(UnitName), fmOpenRead | fmShareDenyWrite);
  String text(static_cast<std::size_t>(file.Size()), '\0');
  if (!text.empty()) file.ReadBuffer(text.data(), file.Size());
  return text;
}
