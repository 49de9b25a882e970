// The settings store: a tree of keys per root, shared by the process, saved as text.
#include "core/Registry.h"
#include "core/FileUtils.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <sys/stat.h>

namespace {

// ---------------------------------------------------------------- the tree

struct TRegValue {
  String Name;
  TRegDataType Type = rdString;
  String Data;  // the bytes; an integer as four little-endian bytes
};

struct TRegKey {
  String Name;
  std::vector<TRegValue> Values;
  std::vector<std::unique_ptr<TRegKey>> Keys;  // sorted without regard to case

  TRegKey* Child(const String& name) const {
    for (auto& k : Keys)
      if (AnsiSameText(k->Name, name)) return k.get();
    return nullptr;
  }
  TRegKey* AddChild(const String& name) {
    auto key = std::make_unique<TRegKey>();
    key->Name = name;
    TRegKey* raw = key.get();
    auto at = std::find_if(Keys.begin(), Keys.end(), [&](const auto& k) { return AnsiCompareText(k->Name, name) > 0; });
    Keys.insert(at, std::move(key));
    return raw;
  }
  TRegValue* Value(const String& name) {
    for (auto& v : Values)
      if (AnsiSameText(v.Name, name)) return &v;
    return nullptr;
  }
};

using TKeyPath = std::vector<String>;

TRegKey* FindKey(TRegKey& root, const TKeyPath& path) {
  TRegKey* k = &root;
  for (const auto& part : path)
    if (!(k = k->Child(part))) return nullptr;
  return k;
}

TRegKey* MakeKey(TRegKey& root, const TKeyPath& path) {
  TRegKey* k = &root;
  for (const auto& part : path) {
    TRegKey* c = k->Child(part);
    k = c ? c : k->AddChild(part);
  }
  return k;
}

// A change, kept until saved so it can be applied again over what another process saved.
struct TRegChange {
  enum TKind { ckCreateKey, ckDeleteKey, ckSetValue, ckDeleteValue, ckRenameValue } Kind;
  TKeyPath Path;
  TRegValue Value;
  String NewName;
};

bool Apply(TRegKey& root, const TRegChange& c) {
  switch (c.Kind) {
    case TRegChange::ckCreateKey: MakeKey(root, c.Path); return true;
    case TRegChange::ckDeleteKey: {
      if (c.Path.empty()) return false;
      TRegKey* parent = FindKey(root, TKeyPath(c.Path.begin(), c.Path.end() - 1));
      if (!parent) return false;
      auto it = std::find_if(parent->Keys.begin(), parent->Keys.end(),
                             [&](const auto& k) { return AnsiSameText(k->Name, c.Path.back()); });
      if (it == parent->Keys.end()) return false;
      parent->Keys.erase(it);
      return true;
    }
    case TRegChange::ckSetValue: {
      TRegKey* k = FindKey(root, c.Path);
      if (!k) return false;
      if (TRegValue* v = k->Value(c.Value.Name)) {
        v->Type = c.Value.Type;
        v->Data = c.Value.Data;
      } else {
        k->Values.push_back(c.Value);
      }
      return true;
    }
    case TRegChange::ckDeleteValue: {
      TRegKey* k = FindKey(root, c.Path);
      if (!k) return false;
      auto it = std::find_if(k->Values.begin(), k->Values.end(), [&](const auto& v) { return AnsiSameText(v.Name, c.Value.Name); });
      if (it == k->Values.end()) return false;
      k->Values.erase(it);
      return true;
    }
    case TRegChange::ckRenameValue: {
      TRegKey* k = FindKey(root, c.Path);
      TRegValue* v = k ? k->Value(c.Value.Name) : nullptr;
      if (!v || (k->Value(c.NewName) && k->Value(c.NewName) != v)) return false;
      v->Name = c.NewName;
      return true;
    }
  }
  return false;
}

// ---------------------------------------------------------------- the text form
//
//   # comment
//   Name=type:data          a value of the root
//   [Software\Maker\Key]    a key; the values below belong to it
//   Left=integer:120
//   Caption=string:text
//   Data=binary:0a1b2c
//
// '%' followed by two hex digits stands for a byte that would break the line: '%' itself,
// control characters, '=' in names, '\' and ']' in key names, a leading '[' or '#' in names.

String Escape(const String& s, const char* special, bool guardStart) {
  String r;
  for (std::size_t i = 0; i < s.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    bool esc = c < 0x20 || c == 0x7F || c == '%' || (c != 0 && std::strchr(special, c)) ||
               (guardStart && i == 0 && (c == '[' || c == '#'));
    if (esc) {
      char buf[4];
      std::snprintf(buf, sizeof buf, "%%%02X", c);
      r += buf;
    } else {
      r += static_cast<char>(c);
    }
  }
  return r;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

String Unescape(const String& s) {
  String r;
  for (std::size_t i = 0; i < s.size(); ++i) {
    int hi, lo;
    if (s[i] == '%' && i + 2 < s.size() && (hi = HexDigit(s[i + 1])) >= 0 && (lo = HexDigit(s[i + 2])) >= 0) {
      r += static_cast<char>(hi * 16 + lo);
      i += 2;
    } else {
      r += s[i];
    }
  }
  return r;
}

const char* TypeName(TRegDataType t) {
  switch (t) {
    case rdString: return "string";
    case rdExpandString: return "expand";
    case rdInteger: return "integer";
    case rdBinary: return "binary";
    default: return "binary";
  }
}

Integer IntegerOf(const String& data) {
  std::uint32_t u = 0;
  for (int i = 3; i >= 0; --i) u = (u << 8) | static_cast<unsigned char>(i < static_cast<int>(data.size()) ? data[i] : 0);
  return static_cast<Integer>(u);
}

String IntegerData(Integer v) {
  std::uint32_t u = static_cast<std::uint32_t>(v);
  String d(4, '\0');
  for (int i = 0; i < 4; ++i) d[i] = static_cast<char>((u >> (8 * i)) & 0xFF);
  return d;
}

String DataText(const TRegValue& v) {
  switch (v.Type) {
    case rdString:
    case rdExpandString: return Escape(v.Data, "", false);
    case rdInteger: return IntToStr(IntegerOf(v.Data));
    default: {
      static const char* hex = "0123456789abcdef";
      String r;
      for (unsigned char c : v.Data) {
        r += hex[c >> 4];
        r += hex[c & 15];
      }
      return r;
    }
  }
}

bool ParseValue(const String& line, TRegValue& v) {
  std::size_t eq = line.find('=');
  if (eq == String::npos) return false;
  std::size_t colon = line.find(':', eq + 1);
  if (colon == String::npos) return false;
  v.Name = Unescape(line.substr(0, eq));
  String type = line.substr(eq + 1, colon - eq - 1);
  String data = line.substr(colon + 1);
  if (type == "string" || type == "expand") {
    v.Type = type == "string" ? rdString : rdExpandString;
    v.Data = Unescape(data);
  } else if (type == "integer") {
    int n;
    if (!TryStrToInt(data, n)) return false;
    v.Type = rdInteger;
    v.Data = IntegerData(n);
  } else if (type == "binary") {
    if (data.size() % 2) return false;
    v.Type = rdBinary;
    v.Data.clear();
    for (std::size_t i = 0; i < data.size(); i += 2) {
      int hi = HexDigit(data[i]), lo = HexDigit(data[i + 1]);
      if (hi < 0 || lo < 0) return false;
      v.Data += static_cast<char>(hi * 16 + lo);
    }
  } else {
    return false;
  }
  return true;
}

// Lines that cannot be read are skipped: a damaged file loses those lines, not the store.
void ParseStore(const String& text, TRegKey& root) {
  TRegKey* cur = &root;
  std::size_t p = 0;
  while (p < text.size()) {
    std::size_t end = text.find('\n', p);
    if (end == String::npos) end = text.size();
    String line = text.substr(p, end - p);
    p = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    if (line[0] == '[' && line.back() == ']') {
      TKeyPath path;
      String inner = line.substr(1, line.size() - 2);
      std::size_t s = 0;
      while (s <= inner.size()) {
        std::size_t bs = inner.find('\\', s);
        if (bs == String::npos) bs = inner.size();
        String part = Unescape(inner.substr(s, bs - s));
        if (!part.empty()) path.push_back(part);
        s = bs + 1;
      }
      cur = MakeKey(root, path);
      continue;
    }
    TRegValue v;
    if (!ParseValue(line, v)) continue;
    if (TRegValue* existing = cur->Value(v.Name)) *existing = v;
    else cur->Values.push_back(v);
  }
}

void RenderKey(const TRegKey& key, const String& path, String& out) {
  if (!path.empty()) out += "\n[" + path + "]\n";
  for (const auto& v : key.Values) out += Escape(v.Name, "=", true) + "=" + TypeName(v.Type) + ":" + DataText(v) + "\n";
  for (const auto& k : key.Keys)
    RenderKey(*k, path.empty() ? Escape(k->Name, "\\]", false) : path + "\\" + Escape(k->Name, "\\]", false), out);
}

// ---------------------------------------------------------------- one root's file

struct TFileSig {
  bool Exists = false;
  dev_t Dev = 0;
  ino_t Ino = 0;
  off_t Size = 0;
  timespec MTime{};
  bool operator==(const TFileSig& o) const {
    return Exists == o.Exists && Dev == o.Dev && Ino == o.Ino && Size == o.Size && MTime.tv_sec == o.MTime.tv_sec &&
           MTime.tv_nsec == o.MTime.tv_nsec;
  }
};

TFileSig SigOf(const String& path) {
  TFileSig s;
  struct stat st;
  if (::stat(path.c_str(), &st) == 0) {
    s.Exists = true;
    s.Dev = st.st_dev;
    s.Ino = st.st_ino;
    s.Size = st.st_size;
    s.MTime = st.st_mtim;
  }
  return s;
}

class TRegStore {
public:
  TRegStore(String path, String title) : FPath(std::move(path)), FTitle(std::move(title)) { Reload(); }

  std::mutex Lock;

  // The tree, brought up to date with the file first. Call with Lock held.
  TRegKey& Root() {
    if (!(SigOf(FPath) == FSig)) Reload();
    return FRoot;
  }
  // Applies a change and keeps it until saved. Call with Lock held.
  bool Change(const TRegChange& c) {
    if (!Apply(Root(), c)) return false;
    FPending.push_back(c);
    return true;
  }
  // Call with Lock held.
  void Flush() {
    if (FPending.empty()) return;
    Root();  // takes in what another process saved, with our changes applied again
    String text = "# kelm settings store: " + FTitle + "\n";
    RenderKey(FRoot, String(), text);
    ForceDirectories(ExtractFilePath(FPath));
    try {
      WriteFileAtomic(FPath, text);
    } catch (const EFCreateError& e) {
      // The changes stay pending and are tried again on the next save.
      throw ERegistryException("Cannot save the settings store. " + e.Message());
    }
    FSig = SigOf(FPath);
    FPending.clear();
  }

private:
  void Reload() {
    FRoot = TRegKey();
    FSig = SigOf(FPath);
    String text;
    if (FSig.Exists && ReadFileToString(FPath, text)) ParseStore(text, FRoot);
    for (const auto& c : FPending) Apply(FRoot, c);
  }

  String FPath, FTitle;
  TRegKey FRoot;
  TFileSig FSig;
  std::vector<TRegChange> FPending;
};

const char* RootName(HKEY root) {
  switch (root) {
    case HKEY_CLASSES_ROOT: return "HKEY_CLASSES_ROOT";
    case HKEY_CURRENT_USER: return "HKEY_CURRENT_USER";
    case HKEY_LOCAL_MACHINE: return "HKEY_LOCAL_MACHINE";
    case HKEY_USERS: return "HKEY_USERS";
    case HKEY_CURRENT_CONFIG: return "HKEY_CURRENT_CONFIG";
    default: return nullptr;
  }
}

// The stores of the process by file name; whatever is unsaved is written at exit.
struct TStores {
  std::mutex Lock;
  std::map<String, std::shared_ptr<TRegStore>> ByFile;
  ~TStores() {
    for (auto& [name, store] : ByFile) {
      std::lock_guard<std::mutex> g(store->Lock);
      try {
        store->Flush();
      } catch (...) {
      }
    }
  }
};

TStores& Stores() {
  static TStores stores;
  return stores;
}

std::shared_ptr<TRegStore> StoreFor(HKEY root) {
  String file = TRegistry::StoreFileName(root);
  if (file.empty()) return nullptr;
  TStores& all = Stores();
  std::lock_guard<std::mutex> g(all.Lock);
  auto& slot = all.ByFile[file];
  if (!slot) slot = std::make_shared<TRegStore>(file, RootName(root));
  return slot;
}

TKeyPath SplitKey(const String& key) {
  TKeyPath path;
  std::size_t s = 0;
  while (s <= key.size()) {
    std::size_t bs = key.find('\\', s);
    if (bs == String::npos) bs = key.size();
    if (bs > s) path.push_back(key.substr(s, bs - s));
    s = bs + 1;
  }
  return path;
}

String JoinKey(const TKeyPath& path) {
  String r;
  for (const auto& p : path) r += (r.empty() ? "" : "\\") + p;
  return r;
}

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
