#pragma once
// TfsScript: one script, with its source text and language, the symbol table of everything it
// can name, the compiled program and the run state.
//
// The symbol table (the item list) is sorted by name folded to upper case by the user's
// locale; equal names are kept, the newest first, so a lookup (a binary search) finds the name
// registered last. It holds variables, constants, types, classes, functions, procedures and
// helpers, each stamped with the OwnerTag current when it entered, and module objects, which
// enter under an empty name. The script owns everything in it.
//
// Scripts nest: each script procedure owns a local program whose ParentScript is the script
// that declared it. LookupName, the run-line hook and the search for the run root walk from a
// script up through its parents.
//
// Registration modules are listed process-wide (ScriptModuleClasses) in a fixed order by rank,
// the system library first, whatever order the libraries start in; InstallModules creates one
// of each into a script. What the modules register carries OwnerTag 1.
// Declares TfsGetUnitEvent, TfsRunLineEvent, TfsScript, TfsRTTIModule, TfsModuleRank and
// TfsModuleClass.
#include "script/fs_ihelpers.h"
#include "core/Component.h"

#include <functional>
#include <memory>

class TStrings;
class TStringList;
class TfsClassVariable;
class TfsStatement;
class TfsScript;
struct TfsCodeLineMarks;

KELM_EVENT(TfsGetUnitEvent, void(TfsScript* Sender, const String& UnitName, String& UnitText));
KELM_EVENT(TfsRunLineEvent, void(TfsScript* Sender, const String& UnitName, const String& SourcePos));

// The tag of what the registration modules register.
constexpr TfsOwnerTag fsModuleOwnerTag = 1;

class TfsScript : public TComponent {
  KELM_CLASS(TfsScript, TComponent)
  template <class B> static void Published(B& b) {
    b.Prop("Lines", &TfsScript::Lines, &TfsScript::SetLines);
    b.Prop("SyntaxType", &TfsScript::SyntaxType, &TfsScript::SetSyntaxType).Default("PascalScript");
    b.Prop("OnGetUnit", &TfsScript::OnGetUnit, &TfsScript::SetOnGetUnit);
    b.Prop("OnGetILUnit", &TfsScript::OnGetILUnit, &TfsScript::SetOnGetILUnit);
    b.Prop("OnRunLine", &TfsScript::OnRunLine, &TfsScript::SetOnRunLine);
  }
public:
  explicit TfsScript(TComponent* AOwner);
  ~TfsScript() override;

  // ---- published
  // The source text; the setter copies the lines.
  TStrings* Lines() const;
  void SetLines(TStrings* Value);
  // The registered language; "PascalScript" by default.
  const String& SyntaxType() const { return FSyntaxType; }
  void SetSyntaxType(const String& Value) { FSyntaxType = Value; }
  // Supplies the source of a unit named in a uses clause.
  const TfsGetUnitEvent& OnGetUnit() const { return FOnGetUnit; }
  void SetOnGetUnit(const TfsGetUnitEvent& Value) { FOnGetUnit = Value; }
  // Supplies the intermediate program of a unit.
  const TfsGetUnitEvent& OnGetILUnit() const { return FOnGetILUnit; }
  void SetOnGetILUnit(const TfsGetUnitEvent& Value) { FOnGetILUnit = Value; }
  // Called before each statement runs (NotifyRunLine).
  const TfsRunLineEvent& OnRunLine() const { return FOnRunLine; }
  void SetOnRunLine(const TfsRunLineEvent& Value);
  // Whether any script has an OnRunLine handler; statements skip the walk up the parents
  // while none has.
  static bool AnyRunLineHook();

  // ---- the item list
  // Inserts before every older entry of the name; a TfsCustomVariable is stamped with OwnerTag.
  void PutItem(const String& AName, TObject* AObject);
  int ItemCount() const {
    Flush();
    return static_cast<int>(FItems.size());
  }
  TObject* ItemAt(int Index) const {
    Flush();
    return FItems[Index]->Object;
  }
  const String& ItemName(int Index) const {
    Flush();
    return FItems[Index]->Name;
  }
  // Takes the entry out without freeing its object.
  void RemoveItem(TObject* AObject);
  // The newest entry of the name in this script; nullptr when none or when it is no
  // TfsCustomVariable.
  TfsCustomVariable* LookupLocalName(const String& AName) const;
  // LookupLocalName here, then up through the parents.
  TfsCustomVariable* LookupName(const String& AName) const;
  // LookupName, answered only for a class.
  TfsClassVariable* LookupClass(const String& AName) const;
  TfsScript* ParentScript() const { return FParentScript; }
  void SetParentScript(TfsScript* Value) { FParentScript = Value; }
  // Stamped on every item that enters the list: 1 while modules register, a host's identity
  // while it registers its own names.
  TfsOwnerTag OwnerTag() const { return FOwnerTag; }
  void SetOwnerTag(TfsOwnerTag Value) { FOwnerTag = Value; }

  // ---- registration; an existing name is kept unless said otherwise
  void RegisterType(const String& ATypeName, TfsTypeCode ATypeCode);
  // The class variable, its published properties imported and the default property of a
  // registered ancestor taken over; nullptr when the name exists.
  TfsClassVariable* RegisterScriptClass(TClass AClassRef, const String& AAncestorName);
  void RegisterConst(const String& AName, const String& ATypeName, const Variant& AValue);
  void RegisterVariable(const String& AName, const String& ATypeName, const Variant& AValue);
  // A variable of the object's class name holding the object's handle.
  void RegisterObject(const String& AName, TObject* AObject);
  // The type, then its values 0, 1, 2, ... (read-only, code 8); added regardless of names.
  void RegisterEnum(const String& ATypeName, const String& Names);
  // As RegisterEnum, valued 1, 2, 4, 8, ...
  void RegisterEnumSet(const String& ATypeName, const String& Names);
  // Added regardless: a newer function hides an older one of the name. The description
  // defaults to the function's name.
  TfsMethodHelper* RegisterFunction(const String& Signature, TfsCallMethod CallBack,
                                    const String& Category = String(), const String& Description = String());
  TfsMethodHelper* RegisterFunctionVarArray(const String& Signature, TfsCallMethodArray CallBack,
                                            const String& Category = String(),
                                            const String& Description = String());

  // ---- the program and running
  // Compiles Lines (each followed by CR LF) in SyntaxType; true on success, else the compile
  // error fields tell what and where. Raises "Language '%s' not found" for an unknown language.
  bool CompileSource();
  // The value of an expression text, evaluated in a temporary script whose parent is the
  // procedure running now (or this script), with the run-line hook off. A text that does not
  // compile answers its compile message; the overload tells that case through Error.
  Variant EvaluateExpression(const String& Text);
  Variant EvaluateExpression(const String& Text, String& Error);
  // Script procedure calls nested deeper than this raise "Stack overflow" (the outermost
  // script's value counts).
  int MaxCallDepth() const { return FMaxCallDepth; }
  void SetMaxCallDepth(int Value) { FMaxCallDepth = Value; }
  // Milliseconds a run started by this script may take (0: no limit); beyond it loops raise
  // "Script run time limit exceeded".
  int RunTimeLimit() const { return FRunTimeLimit; }
  void SetRunTimeLimit(int Value) { FRunTimeLimit = Value; }
  // Script procedure calls in progress under this (outermost) script.
  int& CallDepth() { return FCallDepth; }
  // The lowest stack address a script procedure call may start at (0: no limit); set by the
  // outermost call.
  std::uintptr_t StackFloor() const { return FStackFloor; }
  void SetStackFloor(std::uintptr_t Value) { FStackFloor = Value; }
  TfsStatement* MainStatement() const { return FMainStatement.get(); }
  const String& CompileError() const { return FCompileError; }
  const String& CompileErrorPos() const { return FCompileErrorPos; }
  const String& CompileErrorUnit() const { return FCompileErrorUnit; }
  void SetCompileError(const String& Error, const String& Pos, const String& UnitName);
  // Performs the main statement; the run flags are cleared however it ends.
  void RunProgram();
  // Asks this script and the local programs of its procedures, recursively, to stop.
  void StopRun();
  // Calls a procedure of this script (not of a parent) by name. Element i of an array
  // argument goes into parameter i, surplus elements are dropped, unsupplied parameters take
  // their default (Null when none). Null when the name is no script procedure.
  Variant InvokeFunction(const String& AName, const Variant& Params);
  // InvokeFunction, then the parameters' values copied back into the array's elements.
  Variant InvokeFunctionVarParams(const String& AName, Variant& Params);
  // Calls the OnRunLine of the first script up the chain that has one, Sender = this.
  void NotifyRunLine(const String& AUnitName, const String& SourcePos);

  // ---- run flags
  bool BreakRequested() const { return FBreakRequested; }
  void SetBreakRequested(bool Value) { FBreakRequested = Value; }
  bool ContinueRequested() const { return FContinueRequested; }
  void SetContinueRequested(bool Value) { FContinueRequested = Value; }
  bool ExitRequested() const { return FExitRequested; }
  void SetExitRequested(bool Value) { FExitRequested = Value; }
  bool StopRequested() const { return FStopRequested; }
  // The flag itself, for statements that test it inline.
  const bool& StopRequestedFlag() const { return FStopRequested; }
  void SetStopRequested(bool Value) { FStopRequested = Value; }
  // Break, continue, exit or stop: a block performs no further child.
  bool FlowInterrupted() const { return FBreakRequested | FContinueRequested | FExitRequested | FStopRequested; }
  bool Running() const { return FRunning; }
  void SetRunning(bool Value) { FRunning = Value; }
  bool RunRoot() const { return FRunRoot; }
  void SetRunRoot(bool Value) { FRunRoot = Value; }
  // On the run root: the local program of the procedure running now, nullptr when none.
  TfsScript* ActiveLocalProgram() const { return FActiveLocalProgram; }
  void SetActiveLocalProgram(TfsScript* Value) { FActiveLocalProgram = Value; }
  // Lets bytes 128 to 255 appear in identifiers.
  bool HighByteIdentChars() const { return FHighByteIdentChars; }
  void SetHighByteIdentChars(bool Value) { FHighByteIdentChars = Value; }

  // ---- code lines: per unit, the source lines that hold a statement
  // One entry per unit: the unit name, "=", each line number followed by ",".
  TStringList* CodeLines() const;
  void MarkCodeLine(const String& AUnitName, const String& SourcePos);
  bool IsCodeLine(const String& AUnitName, int Line) const;

  // ---- cleaning and modules
  // Frees every item carrying the tag (module objects carry none).
  void RemoveOwnerItems(TfsOwnerTag Tag);
  // RemoveOwnerItems, then frees the program and empties CodeLines; the compile error stays.
  void DropOwnerItems(TfsOwnerTag Tag);
  // Frees everything but the modules and what they registered, the program and the code
  // lines, and clears the compile error.
  void DiscardProgram();
  bool ModulesInstalled() const { return FModulesInstalled; }
  // Creates one object of each registered module, in order; once.
  void InstallModules();
  void UninstallModules();

private:
  struct TItem {
    String Key;  // the name folded to upper case
    String Name;
    TObject* Object;
    TfsCustomVariable* Variable;  // Object as a variable, nullptr for a module: asked once
  };
  using TItemRun = std::vector<std::unique_ptr<TItem>>;
  // The newest entry of the name, nullptr when none.
  TItem* FindItem(const String& AName) const;
  // The same for a name folded already.
  TItem* FindKey(std::string_view Key) const;
  // The first entry of the key in a sorted run, or nullptr.
  static TItem* FindIn(const TItemRun& Run, std::string_view Key);
  // Before every older entry of the name, so the newest is found first.
  static void InsertInto(TItemRun& Run, std::unique_ptr<TItem> Item);
  // Merges the recent entries into the list.
  void Flush() const;
  void FreeProgram();
  void RegisterEnumValues(const String& ATypeName, const String& Names, bool Set);
  // Frees and removes the entries Drop picks, from the last to the first.
  template <class P> void RemoveItemsIf(P Drop);

  std::unique_ptr<TStringList> FLines;
  String FSyntaxType = "PascalScript";
  TfsGetUnitEvent FOnGetUnit;
  TfsGetUnitEvent FOnGetILUnit;
  TfsRunLineEvent FOnRunLine;

  // The list sorted by key, newest first among equal keys, and the entries added since the last
  // merge, sorted likewise and all newer. Held by pointer, so merging moves pointers only.
  mutable TItemRun FItems;
  mutable TItemRun FRecent;
  TfsOwnerTag FOwnerTag = 0;
  TfsScript* FParentScript = nullptr;
  std::unique_ptr<TfsStatement> FMainStatement;
  String FCompileError;
  String FCompileErrorPos;
  String FCompileErrorUnit;
  bool FBreakRequested = false;
  bool FContinueRequested = false;
  bool FExitRequested = false;
  bool FStopRequested = false;
  bool FRunning = false;
  bool FRunRoot = false;
  TfsScript* FActiveLocalProgram = nullptr;
  bool FModulesInstalled = false;
  bool FHighByteIdentChars = false;
  std::unique_ptr<TStringList> FCodeLines;
  // The lines a build is marking, not yet written into CodeLines (fs_iscript.cpp).
  std::unique_ptr<TfsCodeLineMarks> FCodeLineMarks;
  void FlushCodeLineMarks() const;
  int FMaxCallDepth = 1000;
  int FRunTimeLimit = 0;
  int FCallDepth = 0;
  std::uintptr_t FStackFloor = 0;
};

// ---------------------------------------------------------------- registration modules

// The base of registration modules: a descendant registers its types, classes and functions
// into the script in its constructor.
class TfsRTTIModule : public TObject {
public:
  explicit TfsRTTIModule(TfsScript* AScript) : FScript(AScript) {}
  TfsScript* Script() const { return FScript; }

private:
  TfsScript* FScript;
};

// The fixed order in which modules install: what a later module's signatures name must be
// registered first.
enum TfsModuleRank { fmrSystem, fmrClasses, fmrDialogs, fmrGraphics, fmrForms, fmrReport, fmrOther };

using TfsModuleFactory = std::function<TfsRTTIModule*(TfsScript* Script)>;

struct TfsModuleClass {
  String Name;
  TfsModuleRank Rank;
  TfsModuleFactory Create;
};

// Adds a module after every module of the same or a lower rank; a module of a name already
// listed is replaced in place.
void RegisterScriptModule(const String& AName, TfsModuleRank Rank, TfsModuleFactory Create);
void UnregisterScriptModule(const String& AName);
// The modules in install order.
const std::vector<TfsModuleClass>& ScriptModuleClasses();
