// The editor repository and its items, the data binding and the neutral default-values
// provider.
#include "editors/cxEditRepository.h"

#include "core/ClassBuilder.h"
#include "core/Exceptions.h"
#include "core/Reader.h"
#include "editors/cxCustomEdit.h"
#include "editors/cxEditProperties.h"

#include <algorithm>

// ================================================================ TcxEditRepository

KELM_PUBLISH(TcxEditRepository) {}

TcxEditRepository::TcxEditRepository(TComponent* AOwner) : TComponent(AOwner) {}

TcxEditRepository::~TcxEditRepository() {
  // The repository frees its items whoever owns them; each leaves the list as it goes.
  while (!FItems.empty()) delete FItems.back();
}

TcxEditRepositoryItem* TcxEditRepository::AddNewItem(TClass ItemClass) { return AddNewItemOwned(ItemClass, this); }

TcxEditRepositoryItem* TcxEditRepository::AddNewItemOwned(TClass ItemClass, TComponent* AOwner) {
  auto* item = dynamic_cast<TcxEditRepositoryItem*>(ItemClass->Create(AOwner));
  if (!item) throw EInvalidCast("Invalid class typecast");
  item->AttachToRepository(this);
  return item;
}

void TcxEditRepository::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
  for (TcxEditRepositoryItem* item : std::vector<TcxEditRepositoryItem*>(FItems))
    if (item->Owner() == Root) Proc(item);
}

void TcxEditRepository::IncludeItem(TcxEditRepositoryItem* Item) {
  if (std::find(FItems.begin(), FItems.end(), Item) == FItems.end()) FItems.push_back(Item);
}

void TcxEditRepository::ExcludeItem(TcxEditRepositoryItem* Item) {
  FItems.erase(std::remove(FItems.begin(), FItems.end(), Item), FItems.end());
}

// ================================================================ TcxEditRepositoryItem

KELM_PUBLISH(TcxEditRepositoryItem) { Published(b); }

TcxEditRepositoryItem::TcxEditRepositoryItem(TComponent* AOwner) : TComponent(AOwner) {}

TcxEditRepositoryItem::~TcxEditRepositoryItem() {
  for (auto i = FListeners.size(); i-- > 0;) {
    if (i >= FListeners.size()) continue;  // a listener left while hearing of the removal
    FListeners[i]->ItemRemoved(this);
  }
  FListeners.clear();
  AttachToRepository(nullptr);
  if (FProperties) FProperties->ChangedHandler = nullptr;
  delete FProperties;
}

TcxCustomEditProperties* TcxEditRepositoryItem::Properties() const {
  if (!FProperties) {
    auto* self = const_cast<TcxEditRepositoryItem*>(this);
    FProperties = static_cast<TcxCustomEditProperties*>(self->ItemPropertiesClass()->Create(self));
    FProperties->ChangedHandler = TNotifyEvent(self, &TcxEditRepositoryItem::NotifyListeners);
  }
  return FProperties;
}

void TcxEditRepositoryItem::NotifyListeners(TObject*) {
  for (auto i = FListeners.size(); i-- > 0;) {
    if (i >= FListeners.size()) continue;
    FListeners[i]->ItemPropertiesChanged(this);
  }
}

void TcxEditRepositoryItem::AttachListener(IcxEditRepositoryItemListener* Listener) {
  if (std::find(FListeners.begin(), FListeners.end(), Listener) == FListeners.end()) FListeners.push_back(Listener);
}

void TcxEditRepositoryItem::DetachListener(IcxEditRepositoryItemListener* Listener) {
  FListeners.erase(std::remove(FListeners.begin(), FListeners.end(), Listener), FListeners.end());
}

TClass TcxEditRepositoryItem::ItemPropertiesClass() { return TcxCustomEditProperties::StaticClass(); }

String TcxEditRepositoryItem::DefaultItemName() {
  const String cls = ClassType()->Name();
  const String key = "TcxEditRepository";
  const auto at = cls.find(key);
  const String rest = at == String::npos ? String() : cls.substr(at + key.size());
  return (FRepository ? FRepository->Name() : String()) + rest;
}

void TcxEditRepositoryItem::AttachToRepository(TcxEditRepository* R) {
  if (R == FRepository) return;
  if (FRepository) FRepository->ExcludeItem(this);
  FRepository = R;
  if (R) R->IncludeItem(this);
}

void TcxEditRepositoryItem::ReadState(TReader* Reader) {
  TComponent::ReadState(Reader);
  AttachToRepository(dynamic_cast<TcxEditRepository*>(Reader->Parent()));
}

void TcxEditRepositoryItem::SetParentComponent(TComponent* Value) {
  if (ComponentState().Contains(csLoading)) return;
  auto* r = dynamic_cast<TcxEditRepository*>(Value);
  if (Value && !r) throw EInvalidCast("Invalid class typecast");
  AttachToRepository(r);
}

// ================================================================ TcxCustomEditDefaultValuesProvider

KELM_PUBLISH(TcxCustomEditDefaultValuesProvider) {}

TcxCustomEditDefaultValuesProvider::~TcxCustomEditDefaultValuesProvider() { ReleaseUsers(); }

void TcxCustomEditDefaultValuesProvider::ReleaseUsers() {
  for (TcxCustomEditProperties* p : std::vector<TcxCustomEditProperties*>(LivePropertiesObjects()))
    if (p->DefaultValuesProvider() && p->DefaultValuesProvider()->GetProviderObject() == this)
      p->DropDefaultValuesProvider();
}

// ================================================================ TcxEditDataBinding

KELM_PUBLISH(TcxEditDataBinding) {}

TcxEditDataBinding::TcxEditDataBinding(TcxCustomEdit* AEdit) : FEdit(AEdit) {}

TcxEditDataBinding::~TcxEditDataBinding() = default;

void TcxEditDataBinding::CreateProvider() {
  if (!FProvider) FProvider.reset(ProviderClass()());
}

TPersistent* TcxEditDataBinding::GetOwner() const { return FEdit; }

TcxEditDefaultValuesProviderClass TcxEditDataBinding::ProviderClass() {
  return []() { return new TcxCustomEditDefaultValuesProvider(nullptr); };
}

void TcxEditDataBinding::ProviderDefaultsChanged() {
  if (!FEdit->RepositoryItem()) return FEdit->Properties()->SignalPropertiesChanged();
  TcxCustomEditProperties* p = FEdit->ActiveProperties();
  p->BeginUpdate();
  TryFinally([&] { p->SignalPropertiesChanged(); }, [&] { p->EndUpdate(false); });
  FEdit->ApplyPropertiesChange(p);
}

void TcxEditDataBinding::ReadEditorDisplayValue(Variant& Value) {
  String s;
  FEdit->ReadDisplayText(s);
  Value = s;
}

bool TcxEditDataBinding::EditorChangedSinceEnter() { return FEdit->ChangedSinceEnter(); }
void TcxEditDataBinding::ReadStoredValue(Variant& Value) { Value = FEdit->EditValue(); }
void TcxEditDataBinding::RevertEditor() { FEdit->RevertEditValue(); }
void TcxEditDataBinding::PutEditorDisplayValue(const Variant& Value) { FEdit->PutDisplayValue(Value); }
bool TcxEditDataBinding::IsEditorDesigning() { return FEdit->IsInDesigner(); }
void TcxEditDataBinding::RefreshDisplay() { FEdit->ShowEditValue(); }

namespace {
// Layouts find the repository and its item by their class names.
const bool gRegistered =
    (RegisterClasses({TcxEditRepository::StaticClass(), TcxEditRepositoryItem::StaticClass()}), true);
}  // namespace
