// The settings store: key trees, their text form, and one shared store per root's file.
#include "core/RegistryStore_p.h"

#include "core/FileUtils.h"
#include "core/StrUtils.h"
#include "core/SysUtils.h"

#include <algorithm>
#include <cstring>

namespace regstore {

// ---------------------------------------------------------------- the tree

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

namespace {

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

}  // namespace

// ---------------------------------------------------------------- one root's file

TRegStore::TRegStore(String path, String title) : FPath(std::move(path)), FTitle(std::move(title)) { Reload(); }

TRegKey& TRegStore::Root() {
  if (!(SigOf(FPath) == FSig)) Reload();
  return FRoot;
}

bool TRegStore::Change(const TRegChange& c) {
  if (!Apply(Root(), c)) return false;
  FPending.push_back(c);
  return true;
}

void TRegStore::Flush() {
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

void TRegStore::Reload() {
  FRoot = TRegKey();
  FSig = SigOf(FPath);
  String text;
  if (FSig.Exists && ReadFileToString(FPath, text)) ParseStore(text, FRoot);
  for (const auto& c : FPending) Apply(FRoot, c);
}

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

}  // namespace regstore
