#pragma once
// Private to platform/core: the settings store behind TRegistry. A tree of keys and typed
// values per root, kept in one text file that every TRegistry of the process shares; changes
// wait in the store until saved and are applied again over what another process saved.
#include "core/Registry.h"
#include "core/StrUtils.h"

#include <algorithm>
#include <map>
#include <memory>
#include <mutex>
#include <sys/stat.h>
#include <vector>

namespace regstore {

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

TRegKey* FindKey(TRegKey& root, const TKeyPath& path);
TRegKey* MakeKey(TRegKey& root, const TKeyPath& path);
// Key paths to and from text, split and joined at '\'.
TKeyPath SplitKey(const String& key);
String JoinKey(const TKeyPath& path);

// A change, kept until saved so it can be applied again over what another process saved.
struct TRegChange {
  enum TKind { ckCreateKey, ckDeleteKey, ckSetValue, ckDeleteValue, ckRenameValue } Kind;
  TKeyPath Path;
  TRegValue Value;
  String NewName;
};

// An integer value as it is held: four little-endian bytes.
Integer IntegerOf(const String& data);
String IntegerData(Integer v);

// Applies a change to a tree; false when its key or value is missing.
bool Apply(TRegKey& root, const TRegChange& c);

// What identifies a version of the store's file.
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

// One root's store and its file.
class TRegStore {
public:
  TRegStore(String path, String title);

  std::mutex Lock;

  // The tree, brought up to date with the file first. Call with Lock held.
  TRegKey& Root();
  // Applies a change and keeps it until saved. Call with Lock held.
  bool Change(const TRegChange& c);
  // Writes the pending changes, over what another process saved meanwhile. Call with Lock held.
  void Flush();

private:
  void Reload();

  String FPath, FTitle;
  TRegKey FRoot;
  TFileSig FSig;
  std::vector<TRegChange> FPending;
};

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

TStores& Stores();
// The store of a root; nullptr for a root that has none.
std::shared_ptr<TRegStore> StoreFor(HKEY root);
// The root's name ("HKEY_CURRENT_USER"); nullptr for an unknown root.
const char* RootName(HKEY root);

}  // namespace regstore
