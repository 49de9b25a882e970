// TRegistry and TRegistryIniFile: keys and typed values over the settings store of each root.
#include "core/Registry.h"

#include "core/FileUtils.h"
#include "core/RegistryStore_p.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>

using namespace regstore;

namespace {

[[noreturn]] void RegError(const char* fmt, const String& name) {
  String msg = fmt;
  msg.replace(msg.find("%s"), 2, name);
  throw ERegistryException(msg);
}

// Sets, deletes or renames a value of the key at path; false when the root has no store or
// the key is gone.
bool ChangeValue(HKEY root, const TKeyPath& path, TRegChange::TKind kind, TRegValue value, const String& newName = {}) {
  auto store = StoreFor(root);
  if (!store) return false;
  std::lock_guard<std::mutex> g(store->Lock);
  return store->Change({kind, path, std::move(value), newName});
}

TRegValue NamedValue(const String& name, TRegDataType type = rdString, const String& data = {}) {
  TRegValue v;
  v.Name = name;
  v.Type = type;
  v.Data = data;
  return v;
}

}  // namespace

// ---------------------------------------------------------------- TRegistry

String TRegistry::StoreFileName(HKEY Root) {
  const char* root = RootName(Root);
  if (!root) return String();
  String base;
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg && *xdg == '/') base = xdg;
  else {
    const char* home = std::getenv("HOME");
    base = String(home && *home ? home : "/tmp") + "/.config";
  }
  return IncludeTrailingPathDelimiter(base) + "kelm/" + root + ".txt";
}

void TRegistry::FlushStores() {
  TStores& all = Stores();
  std::vector<std::shared_ptr<TRegStore>> stores;
  {
    std::lock_guard<std::mutex> g(all.Lock);
    for (auto& [name, store] : all.ByFile) stores.push_back(store);
  }
  for (auto& store : stores) {
    std::lock_guard<std::mutex> g(store->Lock);
    store->Flush();
  }
}

TRegistry::TRegistry() = default;

TRegistry::~TRegistry() {
  try {
    CloseKey();
  } catch (...) {
    // A store that cannot be written now is tried again at exit.
  }
}

void TRegistry::SetRootKey(HKEY Value) {
  if (Value == FRootKey) return;
  CloseKey();
  FRootKey = Value;
}

// The full path a key name stands for, from the open key when it does not start with '\'.
TKeyPath TRegistry::ResolveKey(const String& Key, String* Display) const {
  bool relative = Key.empty() || Key[0] != '\\';
  TKeyPath parts = SplitKey(Key);
  TKeyPath path = relative && FOpen ? FPath : TKeyPath();
  path.insert(path.end(), parts.begin(), parts.end());
  if (Display)
    *Display = relative && FOpen && !FCurrentPath.empty()
                   ? (parts.empty() ? FCurrentPath : FCurrentPath + "\\" + JoinKey(parts))
                   : JoinKey(parts);
  return path;
}

// A key created or deleted while no key is open has nothing that would save it later.
template <class TStore> void TRegistry::KeyChanged(TStore& Store) {
  FWrote = true;
  if (!FOpen) {
    Store.Flush();
    FWrote = false;
  }
}

void TRegistry::ChangeKey(std::vector<String> Path, String Display, bool ReadOnly) {
  // Opening another key must not fail over the last key's save; what could not be written
  // stays pending for the next save.
  try {
    CloseKey();
  } catch (const ERegistryException&) {
  }
  FPath = std::move(Path);
  FCurrentPath = std::move(Display);
  FOpen = true;
  FReadOnly = ReadOnly;
}

bool TRegistry::OpenKey(const String& Key, bool CanCreate) {
  auto store = StoreFor(FRootKey);
  if (!store) return false;
  String display;
  TKeyPath path = ResolveKey(Key, &display);
  bool created = false;
  {
    std::lock_guard<std::mutex> g(store->Lock);
    if (!FindKey(store->Root(), path)) {
      if (!CanCreate) return false;
      created = store->Change({TRegChange::ckCreateKey, path, {}, {}});
    }
  }
  ChangeKey(path, display, false);
  FWrote = created;
  return true;
}

bool TRegistry::OpenKeyReadOnly(const String& Key) {
  auto store = StoreFor(FRootKey);
  if (!store) return false;
  String display;
  TKeyPath path = ResolveKey(Key, &display);
  {
    std::lock_guard<std::mutex> g(store->Lock);
    if (!FindKey(store->Root(), path)) return false;
  }
  ChangeKey(path, display, true);
  return true;
}

void TRegistry::CloseKey() {
  bool wrote = FWrote;
  FOpen = false;
  FReadOnly = false;
  FPath.clear();
  FCurrentPath.clear();
  FWrote = false;
  if (wrote)
    if (auto store = StoreFor(FRootKey)) {
      std::lock_guard<std::mutex> g(store->Lock);
      store->Flush();
    }
}

bool TRegistry::CreateKey(const String& Key) {
  auto store = StoreFor(FRootKey);
  if (!store) RegError("Failed to create key %s", Key);
  TKeyPath path = ResolveKey(Key);
  std::lock_guard<std::mutex> g(store->Lock);
  if (!FindKey(store->Root(), path)) {
    store->Change({TRegChange::ckCreateKey, path, {}, {}});
    KeyChanged(*store);
  }
  return true;
}

bool TRegistry::DeleteKey(const String& Key) {
  auto store = StoreFor(FRootKey);
  if (!store) return false;
  TKeyPath path = ResolveKey(Key);
  if (path.empty()) return false;
  std::lock_guard<std::mutex> g(store->Lock);
  if (!store->Change({TRegChange::ckDeleteKey, path, {}, {}})) return false;
  KeyChanged(*store);
  return true;
}

bool TRegistry::KeyExists(const String& Key) {
  auto store = StoreFor(FRootKey);
  if (!store) return false;
  TKeyPath path = ResolveKey(Key);
  std::lock_guard<std::mutex> g(store->Lock);
  return FindKey(store->Root(), path) != nullptr;
}

bool TRegistry::HasSubKeys() {
  auto store = StoreFor(FRootKey);
  if (!store || !FOpen) return false;
  std::lock_guard<std::mutex> g(store->Lock);
  TRegKey* k = FindKey(store->Root(), FPath);
  return k && !k->Keys.empty();
}

// The names are taken under the lock and added after it, so a list's change handler may use
// the store.
void TRegistry::GetNames(TStrings* Strings, bool SubKeys) const {
  Strings->Clear();
  auto store = StoreFor(FRootKey);
  if (!store || !FOpen) return;
  std::vector<String> names;
  {
    std::lock_guard<std::mutex> g(store->Lock);
    if (TRegKey* k = FindKey(store->Root(), FPath)) {
      if (SubKeys)
        for (auto& c : k->Keys) names.push_back(c->Name);
      else
        for (auto& v : k->Values) names.push_back(v.Name);
    }
  }
  for (auto& n : names) Strings->Add(n);
}

void TRegistry::GetKeyNames(TStrings* Strings) { GetNames(Strings, true); }
void TRegistry::GetValueNames(TStrings* Strings) { GetNames(Strings, false); }

bool TRegistry::ReadValue(const String& Name, TRegDataType& Type, String& Data) const {
  auto store = StoreFor(FRootKey);
  if (!store || !FOpen) return false;
  std::lock_guard<std::mutex> g(store->Lock);
  TRegKey* k = FindKey(store->Root(), FPath);
  TRegValue* v = k ? k->Value(Name) : nullptr;
  if (!v) return false;
  Type = v->Type;
  Data = v->Data;
  return true;
}

void TRegistry::CheckWritable(const String& Name) const {
  if (!FOpen || FReadOnly) RegError("Failed to set data for '%s'", Name);
}

void TRegistry::WriteValue(const String& Name, TRegDataType Type, const String& Data) {
  CheckWritable(Name);
  // The open key may have been deleted meanwhile.
  if (!ChangeValue(FRootKey, FPath, TRegChange::ckSetValue, NamedValue(Name, Type, Data)))
    RegError("Failed to set data for '%s'", Name);
  FWrote = true;
}

String TRegistry::ReadData(const String& Name, TRegDataType Type) const {
  TRegDataType t;
  String d;
  if (!ReadValue(Name, t, d)) RegError("Failed to get data for '%s'", Name);
  if (t != Type) RegError("Invalid data type for '%s'", Name);
  return d;
}

bool TRegistry::ValueExists(const String& Name) {
  TRegDataType t;
  String d;
  return ReadValue(Name, t, d);
}

bool TRegistry::DeleteValue(const String& Name) {
  if (!FOpen || FReadOnly || !ChangeValue(FRootKey, FPath, TRegChange::ckDeleteValue, NamedValue(Name))) return false;
  FWrote = true;
  return true;
}

void TRegistry::RenameValue(const String& OldName, const String& NewName) {
  if (!FOpen || FReadOnly) return;
  if (ChangeValue(FRootKey, FPath, TRegChange::ckRenameValue, NamedValue(OldName), NewName)) FWrote = true;
}

TRegDataType TRegistry::GetDataType(const String& ValueName) {
  TRegDataInfo info;
  return GetDataInfo(ValueName, info) ? info.RegData : rdUnknown;
}

int TRegistry::GetDataSize(const String& ValueName) {
  TRegDataInfo info;
  return GetDataInfo(ValueName, info) ? info.DataSize : -1;
}

bool TRegistry::GetDataInfo(const String& ValueName, TRegDataInfo& Value) {
  TRegDataType t;
  String d;
  if (!ReadValue(ValueName, t, d)) {
    Value = TRegDataInfo();
    return false;
  }
  Value.RegData = t;
  Value.DataSize = static_cast<int>(d.size()) + (t == rdString || t == rdExpandString ? 1 : 0);
  return true;
}

String TRegistry::ReadString(const String& Name) {
  TRegDataType t;
  String d;
  if (!ReadValue(Name, t, d)) return String();
  if (t != rdString && t != rdExpandString) RegError("Invalid data type for '%s'", Name);
  return d;
}

void TRegistry::WriteString(const String& Name, const String& Value) { WriteValue(Name, rdString, Value); }
void TRegistry::WriteExpandString(const String& Name, const String& Value) { WriteValue(Name, rdExpandString, Value); }

Integer TRegistry::ReadInteger(const String& Name) { return IntegerOf(ReadData(Name, rdInteger)); }

void TRegistry::WriteInteger(const String& Name, Integer Value) { WriteValue(Name, rdInteger, IntegerData(Value)); }

bool TRegistry::ReadBool(const String& Name) { return ReadInteger(Name) != 0; }
void TRegistry::WriteBool(const String& Name, bool Value) { WriteInteger(Name, Value ? 1 : 0); }

double TRegistry::ReadFloat(const String& Name) {
  String d = ReadData(Name, rdBinary);
  if (d.size() != sizeof(double)) RegError("Invalid data type for '%s'", Name);
  double v;
  std::memcpy(&v, d.data(), sizeof v);
  return v;
}

void TRegistry::WriteFloat(const String& Name, double Value) { WriteBinaryData(Name, &Value, sizeof Value); }

int TRegistry::ReadBinaryData(const String& Name, void* Buffer, int BufSize) {
  TRegDataType t;
  String d;
  if (!ReadValue(Name, t, d)) return 0;
  if (t != rdBinary || static_cast<int>(d.size()) > BufSize) RegError("Invalid data type for '%s'", Name);
  if (!d.empty()) std::memcpy(Buffer, d.data(), d.size());
  return static_cast<int>(d.size());
}

TBytes TRegistry::ReadBinaryData(const String& Name) {
  String d = ReadData(Name, rdBinary);
  return TBytes(d.begin(), d.end());
}

void TRegistry::WriteBinaryData(const String& Name, const void* Buffer, int BufSize) {
  WriteValue(Name, rdBinary, String(static_cast<const char*>(Buffer), static_cast<std::size_t>(std::max(BufSize, 0))));
}

// ---------------------------------------------------------------- TRegistryIniFile

TRegistryIniFile::TRegistryIniFile(const String& FileName) : TCustomIniFile(FileName) {
  FBase = JoinKey(SplitKey(FileName));
  FReg.CreateKey("\\" + FBase);
}

TRegistryIniFile::~TRegistryIniFile() = default;

bool TRegistryIniFile::OpenSection(const String& Section, bool CanCreate) {
  String key = "\\" + FBase + (Section.empty() ? "" : "\\" + Section);
  return FReg.OpenKey(key, CanCreate);
}

// Every access opens the section's key, runs Action when it opened and closes the key again,
// also when Action throws, so the settings reach the file at once.
template <class F> bool TRegistryIniFile::InSection(const String& Section, bool CanCreate, F&& Action) {
  bool opened = OpenSection(Section, CanCreate);
  try {
    if (opened) Action();
  } catch (...) {
    try {
      FReg.CloseKey();
    } catch (const ERegistryException&) {
      // The first error is the one to report; what was not saved stays pending.
    }
    throw;
  }
  FReg.CloseKey();
  return opened;
}

String TRegistryIniFile::ReadString(const String& Section, const String& Ident, const String& Default) {
  String result = Default;
  InSection(Section, false, [&] {
    switch (FReg.GetDataType(Ident)) {
      case rdString:
      case rdExpandString: result = FReg.ReadString(Ident); break;
      case rdInteger: result = IntToStr(FReg.ReadInteger(Ident)); break;
      default: break;
    }
  });
  return result;
}

void TRegistryIniFile::WriteString(const String& Section, const String& Ident, const String& Value) {
  InSection(Section, true, [&] { FReg.WriteString(Ident, Value); });
}

Integer TRegistryIniFile::ReadInteger(const String& Section, const String& Ident, Integer Default) {
  Integer result = Default;
  InSection(Section, false, [&] {
    switch (FReg.GetDataType(Ident)) {
      case rdString:
      case rdExpandString: result = StrToIntDef(FReg.ReadString(Ident), Default); break;
      case rdInteger: result = FReg.ReadInteger(Ident); break;
      default: break;
    }
  });
  return result;
}

// A value kept as text stays text.
void TRegistryIniFile::WriteInteger(const String& Section, const String& Ident, Integer Value) {
  InSection(Section, true, [&] {
    if (FReg.GetDataType(Ident) == rdString) FReg.WriteString(Ident, IntToStr(Value));
    else FReg.WriteInteger(Ident, Value);
  });
}

double TRegistryIniFile::ReadFloat(const String& Section, const String& Ident, double Default) {
  double result = Default;
  InSection(Section, false, [&] {
    TRegDataInfo info;
    if (!FReg.GetDataInfo(Ident, info)) return;
    if (info.RegData == rdString || info.RegData == rdExpandString)
      result = StrToFloatDef(FReg.ReadString(Ident), Default);
    else if (info.RegData == rdBinary && info.DataSize == static_cast<int>(sizeof(double)))
      result = FReg.ReadFloat(Ident);
  });
  return result;
}

void TRegistryIniFile::WriteFloat(const String& Section, const String& Ident, double Value) {
  InSection(Section, true, [&] { FReg.WriteFloat(Ident, Value); });
}

void TRegistryIniFile::ReadSection(const String& Section, TStrings* Strings) {
  if (!InSection(Section, false, [&] { FReg.GetValueNames(Strings); })) Strings->Clear();
}

void TRegistryIniFile::ReadSections(TStrings* Strings) {
  if (!InSection(String(), false, [&] { FReg.GetKeyNames(Strings); })) Strings->Clear();
}

void TRegistryIniFile::ReadSectionValues(const String& Section, TStrings* Strings) {
  std::vector<String> lines;
  InSection(Section, false, [&] {
    TStringList names;
    FReg.GetValueNames(&names);
    for (int i = 0; i < names.Count(); ++i) {
      String text;
      switch (FReg.GetDataType(names[i])) {
        case rdString:
        case rdExpandString: text = FReg.ReadString(names[i]); break;
        case rdInteger: text = IntToStr(FReg.ReadInteger(names[i])); break;
        default:
          for (Byte b : FReg.ReadBinaryData(names[i])) text += IntToHex(static_cast<int>(b), 2);
          break;
      }
      lines.push_back(names[i] + "=" + text);
    }
  });
  SetLines(Strings, lines);
}

void TRegistryIniFile::EraseSection(const String& Section) {
  if (!Section.empty()) FReg.DeleteKey("\\" + FBase + "\\" + Section);
}

void TRegistryIniFile::DeleteKey(const String& Section, const String& Ident) {
  InSection(Section, false, [&] { FReg.DeleteValue(Ident); });
}

void TRegistryIniFile::UpdateFile() { TRegistry::FlushStores(); }
