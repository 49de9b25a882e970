// TfsScript: the item list, lookups, registration, running, code lines and cleaning.
#include "script/fs_iscript.h"

#include "script/fs_iclassvariable.h"
#include "script/fs_iilparser.h"
#include "script/fs_istatements.h"
#include "script/fs_iprocvariable.h"
#include "script/fs_istatement.h"
#include "script/fs_itools.h"
#include "core/ClassBuilder.h"
#include "core/ObjectHandles.h"
#include "core/Scope.h"
#include "core/StrUtils.h"
#include "core/StringList.h"
#include "core/SysUtils.h"

#include <algorithm>
#include <cassert>
#include <new>
#include <unordered_set>
#include <vector>

KELM_PUBLISH(TfsScript) { Published(b); }

namespace {

// The sort key of a name: its upper case under the user's locale. ASCII names, nearly all of
// them, are folded into the caller's buffer without the general case mapping.
std::string_view FoldName(std::string_view Name, String& Buffer) {
  Buffer.resize(Name.size());
  for (std::size_t i = 0; i < Name.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(Name[i]);
    if (c >= 0x80) {
      Buffer = AnsiUpperCase(Name);
      return Buffer;
    }
    Buffer[i] = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
  }
  return Buffer;
}

}  // namespace

// A build marks every statement's line: per unit, the lines its entry holds and the text still
// to be appended to it, so a mark costs the same however many lines came before it (searching
// and rewriting the entry each time made compiling grow with the square of the program).
// Written into CodeLines before anything reads it, and forgotten then, so CodeLines stays the
// one true list.
namespace {

// The number a line text stands for when it is written as digits alone without a leading
// zero (as positions write it); 0 otherwise, such a text being kept as it is.
int PlainLineNumber(std::string_view Text) {
  if (Text.empty() || Text.size() > 8 || Text[0] < '1' || Text[0] > '9') return 0;
  int n = 0;
  for (char c : Text) {
    if (c < '0' || c > '9') return 0;
    n = n * 10 + (c - '0');
  }
  return n;
}

}  // namespace

struct TfsCodeLineMarks {
  struct TUnit {
    String Name;
    int Entry = 0;
    std::unordered_set<String> Lines;  // as written in the entry, without the comma
    std::vector<bool> Numbered;          // the same for lines written as plain numbers, by number
    String Pending;                    // "n," for each line marked since the last flush
  };
  std::vector<TUnit> Units;
};

TfsScript::TfsScript(TComponent* AOwner)
    : TComponent(AOwner),
      FLines(std::make_unique<TStringList>()),
      FMainStatement(std::make_unique<TfsStatement>(this, String(), String())),
      FCodeLines(std::make_unique<TStringList>()),
      FCodeLineMarks(std::make_unique<TfsCodeLineMarks>()) {}

bool TfsScript::AnyRunLineHook() { return TfsStatement::RunLineHooks() > 0; }

void TfsScript::SetOnRunLine(const TfsRunLineEvent& Value) {
  TfsStatement::RunLineHooks() += (Value.Assigned() ? 1 : 0) - (FOnRunLine.Assigned() ? 1 : 0);
  FOnRunLine = Value;
}

TfsScript::~TfsScript() {
  if (FOnRunLine.Assigned()) --TfsStatement::RunLineHooks();
  DiscardProgram();
  UninstallModules();
  RemoveItemsIf([](const TItem&) { return true; });
}

TStrings* TfsScript::Lines() const { return FLines.get(); }

void TfsScript::SetLines(TStrings* Value) {
  if (Value) FLines->Assign(Value);
  else FLines->Clear();
}

// ---------------------------------------------------------------- the item list

namespace {

// Entries wait in the recent run until there are this many, then merge into the list at once.
constexpr std::size_t kRecentLimit = 64;

}  // namespace

TfsScript::TItem* TfsScript::FindIn(const TItemRun& Run, std::string_view Key) {
  auto it = std::lower_bound(Run.begin(), Run.end(), Key, [](const std::unique_ptr<TItem>& item, std::string_view k) {
    return std::string_view(item->Key) < k;
  });
  return it == Run.end() || (*it)->Key != Key ? nullptr : it->get();
}

void TfsScript::InsertInto(TItemRun& Run, std::unique_ptr<TItem> Item) {
  auto it = std::lower_bound(Run.begin(), Run.end(), Item->Key,
                             [](const std::unique_ptr<TItem>& item, const String& k) { return item->Key < k; });
  Run.insert(it, std::move(Item));
}

void TfsScript::Flush() const {
  if (FRecent.empty()) return;
  // Merged in place from the back, into room the list grows by doubling: a new list at every
  // flush would make a long program's build allocate (and the allocator tidy up) ever larger
  // blocks. Among equal keys the recent entries come first: they are newer.
  std::ptrdiff_t i = static_cast<std::ptrdiff_t>(FItems.size()) - 1;
  std::ptrdiff_t j = static_cast<std::ptrdiff_t>(FRecent.size()) - 1;
  FItems.resize(FItems.size() + FRecent.size());
  for (std::ptrdiff_t k = static_cast<std::ptrdiff_t>(FItems.size()) - 1; j >= 0; --k) {
    if (i >= 0 && !(FItems[static_cast<std::size_t>(i)]->Key < FRecent[static_cast<std::size_t>(j)]->Key))
      FItems[static_cast<std::size_t>(k)] = std::move(FItems[static_cast<std::size_t>(i--)]);
    else
      FItems[static_cast<std::size_t>(k)] = std::move(FRecent[static_cast<std::size_t>(j--)]);
  }
  FRecent.clear();
}

TfsScript::TItem* TfsScript::FindItem(const String& AName) const {
  thread_local String buffer;
  return FindKey(FoldName(AName, buffer));
}

TfsScript::TItem* TfsScript::FindKey(std::string_view Key) const {
  if (TItem* recent = FindIn(FRecent, Key)) return recent;
  return FindIn(FItems, Key);
}

void TfsScript::PutItem(const String& AName, TObject* AObject) {
  assert(AObject);
  auto* v = dynamic_cast<TfsCustomVariable*>(AObject);
  if (v) v->SetOwnerTag(FOwnerTag);
  String key;
  FoldName(AName, key);
  // Registering modules adds hundreds of names; inserting each into the whole sorted list would
  // move the list each time.
  InsertInto(FRecent, std::make_unique<TItem>(TItem{std::move(key), AName, AObject, v}));
  if (FRecent.size() >= kRecentLimit) Flush();
}

void TfsScript::RemoveItem(TObject* AObject) {
  Flush();
  auto it = std::find_if(FItems.begin(), FItems.end(), [&](const std::unique_ptr<TItem>& i) { return i->Object == AObject; });
  if (it != FItems.end()) FItems.erase(it);
}

TfsCustomVariable* TfsScript::LookupLocalName(const String& AName) const {
  TItem* item = FindItem(AName);
  return item ? item->Variable : nullptr;
}

TfsCustomVariable* TfsScript::LookupName(const String& AName) const {
  // Folded once for the whole chain of scripts.
  String key;
  FoldName(AName, key);
  for (const TfsScript* s = this; s; s = s->FParentScript)
    if (TItem* item = s->FindKey(key); item && item->Variable) return item->Variable;
  return nullptr;
}

TfsClassVariable* TfsScript::LookupClass(const String& AName) const {
  return dynamic_cast<TfsClassVariable*>(LookupName(AName));
}

template <class P> void TfsScript::RemoveItemsIf(P Drop) {
  Flush();
  // One pass keeps the rest in order; the dropped ones are freed afterwards, last first, so a
  // destructor that looks into the list finds it already without them.
  std::vector<TObject*> dropped;
  auto kept = FItems.begin();
  for (auto it = FItems.begin(); it != FItems.end(); ++it) {
    if (Drop(**it)) dropped.push_back((*it)->Object);
    else *kept++ = std::move(*it);
  }
  FItems.erase(kept, FItems.end());
  for (auto it = dropped.rbegin(); it != dropped.rend(); ++it) delete *it;
}

// ---------------------------------------------------------------- registration

void TfsScript::RegisterType(const String& ATypeName, TfsTypeCode ATypeCode) {
  if (LookupName(ATypeName)) return;
  PutItem(ATypeName, new TfsTypeVariable(ATypeName, ATypeCode, ATypeName));
}

TfsClassVariable* TfsScript::RegisterScriptClass(TClass AClassRef, const String& AAncestorName) {
  assert(AClassRef);
  if (LookupName(AClassRef->Name())) return nullptr;
  auto* cls = new TfsClassVariable(AClassRef, AAncestorName, this);
  PutItem(cls->Name(), cls);
  if (TfsClassVariable* ancestor = LookupClass(AAncestorName))
    if (ancestor != cls) cls->SetDefaultProperty(ancestor->DefaultProperty());
  return cls;
}

void TfsScript::RegisterConst(const String& AName, const String& ATypeName, const Variant& AValue) {
  if (LookupName(AName)) return;
  auto* v = new TfsVariable(AName, TypeCodeOfName(ATypeName, this), ATypeName);
  v->SetInitialValue(AValue);
  v->SetReadOnly(true);
  PutItem(AName, v);
}

void TfsScript::RegisterVariable(const String& AName, const String& ATypeName, const Variant& AValue) {
  if (LookupName(AName)) return;
  auto* v = new TfsVariable(AName, TypeCodeOfName(ATypeName, this), ATypeName);
  v->SetInitialValue(AValue);
  PutItem(AName, v);
}

void TfsScript::RegisterObject(const String& AName, TObject* AObject) {
  RegisterVariable(AName, AObject ? AObject->ClassName() : String("TObject"), Variant(HandleOf(AObject)));
}

void TfsScript::RegisterEnumValues(const String& ATypeName, const String& Names, bool Set) {
  PutItem(ATypeName, new TfsVariable(ATypeName, tcEnum, ATypeName));
  int i = 0;
  for (const String& name : SplitTrimmed(Names, ',')) {
    auto* v = new TfsVariable(name, tcEnum, ATypeName);
    v->SetInitialValue(Variant(Set ? (1 << i) : i));
    v->SetReadOnly(true);
    PutItem(name, v);
    ++i;
  }
}

void TfsScript::RegisterEnum(const String& ATypeName, const String& Names) {
  RegisterEnumValues(ATypeName, Names, false);
}

void TfsScript::RegisterEnumSet(const String& ATypeName, const String& Names) {
  RegisterEnumValues(ATypeName, Names, true);
}

TfsMethodHelper* TfsScript::RegisterFunction(const String& Signature, TfsCallMethod CallBack,
                                             const String& Category, const String& Description) {
  auto* m = new TfsMethodHelper(Signature, this);
  m->SetOnCall(std::move(CallBack));
  m->SetCategory(Category);
  m->SetDescription(Description.empty() ? m->Name() : Description);
  PutItem(m->Name(), m);
  return m;
}

TfsMethodHelper* TfsScript::RegisterFunctionVarArray(const String& Signature, TfsCallMethodArray CallBack,
                                                     const String& Category, const String& Description) {
  auto* m = new TfsMethodHelper(Signature, this);
  m->SetOnCallArray(std::move(CallBack));
  m->SetCategory(Category);
  m->SetDescription(Description.empty() ? m->Name() : Description);
  PutItem(m->Name(), m);
  return m;
}

// ---------------------------------------------------------------- running

void TfsScript::SetCompileError(const String& Error, const String& Pos, const String& UnitName) {
  FCompileError = Error;
  FCompileErrorPos = Pos;
  FCompileErrorUnit = UnitName;
}

namespace {

// Runs a piece of a script so that nothing but an Exception leaves it: a foreign error (memory
// running out, a library's own error) becomes one with its message.
template <class F> auto RunGuarded(F&& Action) -> decltype(Action()) {
  try {
    return Action();
  } catch (const Exception&) {
    throw;
  } catch (const std::bad_alloc&) {
    throw Exception("Out of memory");
  } catch (const std::exception& e) {
    throw Exception(e.what());
  }
}

}  // namespace

bool TfsScript::CompileSource() {
  FCompileError.clear();
  TfsILParser parser(this);
  parser.LoadGrammar(FSyntaxType);
  String text;
  std::size_t size = 0;
  for (int i = 0; i < FLines->Count(); ++i) size += (*FLines)[i].size() + 2;
  text.reserve(size);
  for (int i = 0; i < FLines->Count(); ++i) {
    text += (*FLines)[i];
    text += "\r\n";
  }
  if (parser.SourceToIL(text)) parser.BuildProgram();
  if (!FCompileError.empty()) return false;
  FCompileErrorPos.clear();
  return true;
}

Variant TfsScript::EvaluateExpression(const String& Text) {
  String error;
  return EvaluateExpression(Text, error);
}

Variant TfsScript::EvaluateExpression(const String& Text, String& Error) {
  Error.clear();
  TfsScript temp(nullptr);
  temp.InstallModules();
  temp.SetParentScript(FActiveLocalProgram ? FActiveLocalProgram : this);
  // The hook stays counted: statements then merely find no handler.
  TfsRunLineEvent none;
  TRestore<TfsRunLineEvent> hook(FOnRunLine, none);
  temp.Lines()->SetText("function __f__: Variant; begin Result := " + Text + " end; begin end.");
  if (!temp.CompileSource()) {
    Error = temp.CompileError();
    return Variant(temp.CompileError());
  }
  TfsCustomVariable* f = temp.LookupLocalName("__f__");
  return RunGuarded([f] { return f->FetchValue(); });
}

void TfsScript::RunProgram() {
  FExitRequested = false;
  FStopRequested = false;
  FRunning = true;
  FRunRoot = true;
  TScopeExit done([this] {
    FExitRequested = false;
    FStopRequested = false;
    FRunning = false;
  });
  TfsRunTimeScope limit(FRunTimeLimit);
  RunGuarded([this] { FMainStatement->Perform(); });
}

void TfsScript::StopRun() {
  FExitRequested = true;
  FStopRequested = true;
  Flush();
  for (const std::unique_ptr<TItem>& item : FItems)
    if (auto* proc = dynamic_cast<TfsProcVariable*>(item->Object)) proc->LocalProgram()->StopRun();
}

Variant TfsScript::InvokeFunction(const String& AName, const Variant& Params) {
  auto* proc = dynamic_cast<TfsProcVariable*>(LookupLocalName(AName));
  if (!proc) return Null();
  // Elements beyond the parameters are dropped; parameters beyond the elements take their
  // defaults, so nothing of an earlier call leaks into this one.
  int supplied = 0, low = 0;
  if (VarIsArray(Params)) {
    low = VarArrayLowBound(Params, 1);
    supplied = VarArrayHighBound(Params, 1) - low + 1;
  }
  for (int i = 0; i < proc->ParamCount(); ++i) {
    TfsParamItem* p = proc->Params(i);
    p->StoreValue(i < supplied ? Params.GetElement({low + i}) : p->DefaultValue());
  }
  TfsRunTimeScope limit(FRunTimeLimit);
  return RunGuarded([proc] { return proc->FetchValue(); });
}

Variant TfsScript::InvokeFunctionVarParams(const String& AName, Variant& Params) {
  Variant result = InvokeFunction(AName, Params);
  auto* proc = dynamic_cast<TfsProcVariable*>(LookupLocalName(AName));
  if (proc && VarIsArray(Params)) {
    int low = VarArrayLowBound(Params, 1);
    int count = std::min(VarArrayHighBound(Params, 1) - low + 1, proc->ParamCount());
    for (int i = 0; i < count; ++i) Params.PutElement({low + i}, proc->Params(i)->FetchValue());
  }
  return result;
}

void TfsScript::NotifyRunLine(const String& AUnitName, const String& SourcePos) {
  for (TfsScript* s = this; s; s = s->FParentScript)
    if (s->FOnRunLine.Assigned()) {
      s->FOnRunLine(this, AUnitName, SourcePos);
      return;
    }
}

// ---------------------------------------------------------------- code lines

namespace {

// The entry of a unit in the code-lines list ("unit=3,5,"), -1 when none.
int UnitEntry(const TStringList& List, const String& AUnitName) {
  for (int i = 0; i < List.Count(); ++i) {
    String entry = List[i];
    std::size_t eq = entry.find('=');
    if (eq != String::npos && AnsiSameText(std::string_view(entry).substr(0, eq), AUnitName)) return i;
  }
  return -1;
}

}  // namespace

void TfsScript::FlushCodeLineMarks() const {
  for (TfsCodeLineMarks::TUnit& u : FCodeLineMarks->Units)
    if (!u.Pending.empty()) FCodeLines->SetStrings(u.Entry, (*FCodeLines)[u.Entry] + u.Pending);
  FCodeLineMarks->Units.clear();
}

TStringList* TfsScript::CodeLines() const {
  FlushCodeLineMarks();
  return FCodeLines.get();
}

void TfsScript::MarkCodeLine(const String& AUnitName, const String& SourcePos) {
  std::vector<TfsCodeLineMarks::TUnit>& units = FCodeLineMarks->Units;
  auto u = std::find_if(units.begin(), units.end(), [&](const auto& x) { return AnsiSameText(x.Name, AUnitName); });
  if (u == units.end()) {
    TfsCodeLineMarks::TUnit fresh;
    fresh.Name = AUnitName;
    fresh.Entry = UnitEntry(*FCodeLines, AUnitName);
    if (fresh.Entry < 0) fresh.Entry = FCodeLines->Add(AUnitName + "=");
    const String entryText = (*FCodeLines)[fresh.Entry];
    TStringList lines;
    lines.SetCommaText(entryText.substr(entryText.find('=') + 1));
    for (int i = 0; i < lines.Count(); ++i)
      if (int n = PlainLineNumber(lines[i]); n > 0) {
        if (fresh.Numbered.size() <= static_cast<std::size_t>(n)) fresh.Numbered.resize(static_cast<std::size_t>(n) + 1);
        fresh.Numbered[static_cast<std::size_t>(n)] = true;
      } else {
        fresh.Lines.insert(lines[i]);
      }
    units.push_back(std::move(fresh));
    u = units.end() - 1;
  }
  const std::string_view line = std::string_view(SourcePos).substr(0, SourcePos.find(':'));
  // A table by number: a set of texts is slow to search once a program has thousands of lines.
  if (int n = PlainLineNumber(line); n > 0) {
    if (u->Numbered.size() <= static_cast<std::size_t>(n)) u->Numbered.resize(std::max<std::size_t>(static_cast<std::size_t>(n) + 1, u->Numbered.size() * 2));
    if (u->Numbered[static_cast<std::size_t>(n)]) return;
    u->Numbered[static_cast<std::size_t>(n)] = true;
  } else if (!u->Lines.insert(String(line)).second) {
    return;
  }
  u->Pending += line;
  u->Pending += ',';
}

bool TfsScript::IsCodeLine(const String& AUnitName, int Line) const {
  FlushCodeLineMarks();
  int entry = UnitEntry(*FCodeLines, AUnitName);
  if (entry < 0) return false;
  String entryText = (*FCodeLines)[entry];
  String value = entryText.substr(entryText.find('=') + 1);
  return ("," + value).find("," + IntToStr(Line) + ",") != String::npos;
}

// ---------------------------------------------------------------- cleaning and modules

void TfsScript::FreeProgram() {
  FMainStatement->FreeItems();
  FCodeLineMarks->Units.clear();
  FCodeLines->Clear();
}

void TfsScript::RemoveOwnerItems(TfsOwnerTag Tag) {
  RemoveItemsIf([Tag](const TItem& item) { return item.Variable && item.Variable->OwnerTag() == Tag; });
}

void TfsScript::DropOwnerItems(TfsOwnerTag Tag) {
  RemoveOwnerItems(Tag);
  FreeProgram();
}

void TfsScript::DiscardProgram() {
  RemoveItemsIf([](const TItem& item) {
    // Variables first: nearly every item is one, and no module is a variable.
    if (item.Variable) return item.Variable->OwnerTag() != fsModuleOwnerTag;
    return !dynamic_cast<TfsRTTIModule*>(item.Object);
  });
  FreeProgram();
  SetCompileError(String(), String(), String());
}

void TfsScript::InstallModules() {
  if (FModulesInstalled) return;
  {
    TRestore<TfsOwnerTag> tag(FOwnerTag, fsModuleOwnerTag);
    for (const TfsModuleClass& m : ScriptModuleClasses()) PutItem(String(), m.Create(this));
  }
  FOwnerTag = 0;
  FModulesInstalled = true;
}

void TfsScript::UninstallModules() {
  if (!FModulesInstalled) return;
  RemoveItemsIf([](const TItem& item) {
    if (!item.Variable) return dynamic_cast<TfsRTTIModule*>(item.Object) != nullptr;
    return item.Variable->OwnerTag() == fsModuleOwnerTag;
  });
  FModulesInstalled = false;
}

// ---------------------------------------------------------------- the module list

namespace {

std::vector<TfsModuleClass>& Modules() {
  static std::vector<TfsModuleClass> list;
  return list;
}

}  // namespace

void RegisterScriptModule(const String& AName, TfsModuleRank Rank, TfsModuleFactory Create) {
  auto& list = Modules();
  for (TfsModuleClass& m : list)
    if (SameText(m.Name, AName)) {
      m.Create = std::move(Create);
      return;
    }
  auto at = std::find_if(list.begin(), list.end(), [Rank](const TfsModuleClass& m) { return m.Rank > Rank; });
  list.insert(at, TfsModuleClass{AName, Rank, std::move(Create)});
}

void UnregisterScriptModule(const String& AName) {
  auto& list = Modules();
  list.erase(std::remove_if(list.begin(), list.end(), [&](const TfsModuleClass& m) { return SameText(m.Name, AName); }),
             list.end());
}

const std::vector<TfsModuleClass>& ScriptModuleClasses() { return Modules(); }
