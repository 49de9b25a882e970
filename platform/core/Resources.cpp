#include "core/Resources.h"
#include "core/StrUtils.h"

#include <map>
#include <memory>
#include <mutex>

// The table the build generates from resources/ (see cmake/EmbedResources.cmake).
struct KelmEmbeddedResource {
  const char* name;
  const unsigned char* data;
  std::size_t size;
};
extern "C" const KelmEmbeddedResource kelm_embedded_resources[];

namespace {

struct Entry {
  TResourceView View;
  TBytes Storage;  // registered at run time; embedded data lives in the program image
};

// Lower case, forward slashes, no leading separator or "./".
String Key(const String& name) {
  String k = AnsiLowerCase(name);
  for (char& c : k)
    if (c == '\\') c = '/';
  while (StartsStr("./", k)) k.erase(0, 2);
  while (!k.empty() && k.front() == '/') k.erase(0, 1);
  return k;
}

struct Table {
  std::mutex Lock;
  std::map<String, std::shared_ptr<Entry>> Embedded;
  std::map<String, std::shared_ptr<Entry>> Registered;

  Table() {
    for (const KelmEmbeddedResource* r = kelm_embedded_resources; r->name; ++r) {
      auto e = std::make_shared<Entry>();
      e->View.Name = r->name;
      e->View.Data = r->data;
      e->View.Size = r->size;
      Embedded[Key(r->name)] = e;
    }
  }
  std::shared_ptr<Entry> Find(const String& name) {
    String k = Key(name);
    std::lock_guard<std::mutex> g(Lock);
    auto it = Registered.find(k);
    if (it != Registered.end()) return it->second;
    auto jt = Embedded.find(k);
    return jt == Embedded.end() ? nullptr : jt->second;
  }
};

Table& Resources() {
  static Table t;
  return t;
}

std::shared_ptr<Entry> Need(const String& name) {
  auto e = Resources().Find(name);
  if (!e) throw EResNotFound("Resource " + name + " not found");
  return e;
}

}  // namespace

const TResourceView* FindResourceData(const String& Name) {
  auto e = Resources().Find(Name);
  return e ? &e->View : nullptr;
}

bool ResourceExists(const String& Name) { return Resources().Find(Name) != nullptr; }

String LoadResourceString(const String& Name) { return String(Need(Name)->View.Text()); }

TBytes LoadResourceBytes(const String& Name) {
  auto e = Need(Name);
  return TBytes(e->View.Data, e->View.Data + e->View.Size);
}

std::vector<String> ResourceNames() {
  Table& t = Resources();
  std::lock_guard<std::mutex> g(t.Lock);
  std::map<String, String> names;
  for (auto& [k, e] : t.Embedded) names[k] = e->View.Name;
  for (auto& [k, e] : t.Registered) names[k] = e->View.Name;
  std::vector<String> r;
  for (auto& [k, n] : names) r.push_back(n);
  return r;
}

void RegisterResource(const String& Name, TBytes Bytes) {
  auto e = std::make_shared<Entry>();
  e->Storage = std::move(Bytes);
  e->View.Name = Name;
  e->View.Data = e->Storage.data();
  e->View.Size = e->Storage.size();
  Table& t = Resources();
  std::lock_guard<std::mutex> g(t.Lock);
  t.Registered[Key(Name)] = std::move(e);
}

void RegisterResource(const String& Name, std::string_view Text) {
  RegisterResource(Name, TBytes(Text.begin(), Text.end()));
}

void UnregisterResource(const String& Name) {
  Table& t = Resources();
  std::lock_guard<std::mutex> g(t.Lock);
  t.Registered.erase(Key(Name));
}

// ---------------------------------------------------------------- TResourceStream


TResourceStream::TResourceStream(const String& Name) : FName(Name) {
  auto e = Need(Name);
  FKeep = e;
  SetPointer(const_cast<Byte*>(e->View.Data), static_cast<Int64>(e->View.Size));
}

Int64 TResourceStream::Write(const void*, Int64) { throw EStreamError("Can't write to a read-only memory stream"); }
