// Named integer values, the roots that references between windows are resolved against, and
// the string list's own streamed property.
#include "core/Filer.h"

#include "core/Filer_p.h"
#include "core/StrUtils.h"

#include <algorithm>
#include <map>

using namespace filer_impl;

// ---------------------------------------------------------------- integer identifiers

namespace {
struct TIntConsts {
  TIdentToInt ToInt;
  TIntToIdent ToIdent;
};
std::map<String, TIntConsts>& IntConsts() {
  static std::map<String, TIntConsts> m;  // upper-case type names
  return m;
}
}  // namespace

void RegisterIntegerConsts(const String& TypeName, TIdentToInt IdentToInt, TIntToIdent IntToIdent) {
  IntConsts()[UpperCase(TypeName)] = {std::move(IdentToInt), std::move(IntToIdent)};
}
void UnregisterIntegerConsts(const String& TypeName) { IntConsts().erase(UpperCase(TypeName)); }

bool IdentToIntOfType(const String& TypeName, const String& Ident, Int64& Value) {
  auto& m = IntConsts();
  if (m.empty()) return false;
  auto it = m.find(UpperCase(TypeName));
  return it != m.end() && it->second.ToInt && it->second.ToInt(Ident, Value);
}
bool IntToIdentOfType(const String& TypeName, Int64 Value, String& Ident) {
  auto& m = IntConsts();
  if (m.empty()) return false;
  auto it = m.find(UpperCase(TypeName));
  return it != m.end() && it->second.ToIdent && it->second.ToIdent(Value, Ident);
}

// ================================================================ global roots

namespace {

struct TPendingRef {
  TPersistent* Instance;
  const TPropInfo* Prop;
  String RootName;
  String Rest;  // path below the root, '' for the root itself
  TComponent* Holder;
};

// Learns when registered roots and the holders of pending references are freed.
class TRootWatcher : public TComponent {
public:
  TRootWatcher() : TComponent(nullptr) {}
  std::vector<TComponent*> Roots;
  std::vector<TPendingRef> Pending;

  void Watch(TComponent* c) { if (c) c->FreeNotification(this); }
  void Unwatch(TComponent* c) {
    if (!c) return;
    if (std::find(Roots.begin(), Roots.end(), c) != Roots.end()) return;
    for (auto& p : Pending)
      if (p.Holder == c) return;
    c->RemoveFreeNotification(this);
  }

protected:
  void Notification(TComponent* c, TOperation op) override {
    TComponent::Notification(c, op);
    if (op != opRemove) return;
    Roots.erase(std::remove(Roots.begin(), Roots.end(), c), Roots.end());
    Pending.erase(std::remove_if(Pending.begin(), Pending.end(), [c](const TPendingRef& p) { return p.Holder == c; }),
                  Pending.end());
  }
};

// Never freed: roots and holders may outlive any static destructor order.
TRootWatcher& Watcher() {
  static TRootWatcher* w = new TRootWatcher();
  return *w;
}

}  // namespace

void RegisterRoot(TComponent* Root) {
  if (!Root) return;
  auto& w = Watcher();
  if (std::find(w.Roots.begin(), w.Roots.end(), Root) == w.Roots.end()) {
    w.Roots.push_back(Root);
    w.Watch(Root);
  }
  ResolvePendingReferences();
}

void UnregisterRoot(TComponent* Root) {
  auto& w = Watcher();
  w.Roots.erase(std::remove(w.Roots.begin(), w.Roots.end(), Root), w.Roots.end());
  w.Unwatch(Root);
}

TComponent* FindGlobalRoot(const String& Name) {
  if (Name.empty()) return nullptr;
  for (TComponent* r : Watcher().Roots)
    if (SameText(r->Name(), Name)) return r;
  return nullptr;
}

std::vector<TComponent*> GlobalRoots() { return Watcher().Roots; }

int PendingReferenceCount() { return static_cast<int>(Watcher().Pending.size()); }

namespace {
TComponent* FindBelow(TComponent* c, const String& rest) {
  std::size_t start = 0;
  while (c && start < rest.size()) {
    std::size_t dot = rest.find('.', start);
    if (dot == String::npos) dot = rest.size();
    c = c->FindComponent(rest.substr(start, dot - start));
    start = dot + 1;
  }
  return c;
}
}  // namespace

TComponent* FindNestedComponent(TComponent* Root, const String& Path) {
  std::size_t dot = Path.find('.');
  String first = Path.substr(0, dot);
  if (first.empty()) return nullptr;
  TComponent* c = nullptr;
  if (Root) {
    c = Root->FindComponent(first);
    if (!c && (SameText(first, "Owner") || SameText(first, Root->Name()))) c = Root;
  }
  if (!c) c = FindGlobalRoot(first);
  if (!c || dot == String::npos) return c;
  return FindBelow(c, Path.substr(dot + 1));
}

void ResolvePendingReferences() {
  auto& w = Watcher();
  for (std::size_t i = 0; i < w.Pending.size();) {
    TPendingRef p = w.Pending[i];
    TComponent* root = FindGlobalRoot(p.RootName);
    TComponent* target = root ? (p.Rest.empty() ? root : FindBelow(root, p.Rest)) : nullptr;
    // A root that exists but has not read its layout yet keeps the reference waiting.
    if (!target) {
      ++i;
      continue;
    }
    w.Pending.erase(w.Pending.begin() + static_cast<std::ptrdiff_t>(i));
    w.Unwatch(p.Holder);  // before the setter runs: it may do anything, even free the holder
    try {
      p.Prop->Access->SetObj(p.Instance, target);
    } catch (const Exception&) {
      // Nobody is reading any more to hear about it; the reference stays unassigned.
    }
  }
}

void AddPendingReference(TPersistent* Instance, const TPropInfo* Prop, const String& RootName, const String& Rest,
                         TComponent* Holder) {
  auto& w = Watcher();
  w.Pending.push_back({Instance, Prop, RootName, Rest, Holder});
  w.Watch(Holder);
}

// ================================================================ TStrings

void TStrings::DefineProperties(TFiler* Filer) {
  Filer->DefineProperty(
      "Strings",
      [this](TReader* r) {
        r->ReadListBegin();
        WithinUpdate(*this, [&] {
          Clear();
          while (!r->EndOfList()) Add(r->ReadString());
        });
        r->ReadListEnd();
      },
      [this](TWriter* w) {
        w->WriteListBegin();
        for (int i = 0; i < Count(); ++i) w->WriteString(Strings(i));
        w->WriteListEnd();
      },
      Count() > 0);
}

