#pragma once
// How an editor meets the world outside it. A repository holds items, each owning one
// properties object that any number of editors can use instead of their own; an item tells
// its listening editors when its properties change and when it goes away. A data binding
// is an editor's link to a data source: the base binds to nothing, stores nothing and always
// allows editing, but editors talk to it when they enter, leave, post and reset, so that
// data-aware descendants can plug in. Through the binding, a default-values provider
// supplies what a data field would impose; the base provider answers neutral values.
// Declares IcxEditRepositoryItemListener, TcxEditRepository, TcxEditRepositoryItem,
// TcxCustomEditDefaultValuesProvider and TcxEditDataBinding.
#include "core/Component.h"
#include "core/Variant.h"
#include "editors/cxComponent.h"
#include "editors/cxEditDefaultValues.h"

#include <memory>
#include <vector>

class TBasicAction;
class TcxCustomEdit;
class TcxCustomEditProperties;
class TcxEditRepositoryItem;

// What an editor hears from the repository item it uses.
class IcxEditRepositoryItemListener {
public:
  virtual ~IcxEditRepositoryItemListener() = default;
  virtual void ItemRemoved(TcxEditRepositoryItem* Sender) = 0;
  virtual void ItemPropertiesChanged(TcxEditRepositoryItem* Sender) = 0;
};

class TcxEditRepository : public TComponent {
  KELM_CLASS(TcxEditRepository, TComponent)

public:
  explicit TcxEditRepository(TComponent* AOwner);
  ~TcxEditRepository() override;

  virtual TcxEditRepositoryItem* AddNewItem(TClass ItemClass);
  virtual TcxEditRepositoryItem* AddNewItemOwned(TClass ItemClass, TComponent* AOwner);
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
  int Count() const { return static_cast<int>(FItems.size()); }
  TcxEditRepositoryItem* Items(int Index) const { return FItems.at(Index); }
  void IncludeItem(TcxEditRepositoryItem* Item);
  void ExcludeItem(TcxEditRepositoryItem* Item);

private:
  std::vector<TcxEditRepositoryItem*> FItems;
};

class TcxEditRepositoryItem : public TComponent {
  KELM_CLASS(TcxEditRepositoryItem, TComponent)
  template <class B> static void Published(B& b) {
    b.Prop("PropertiesEvents", &TcxEditRepositoryItem::PropertiesEvents, &TcxEditRepositoryItem::SetPropertiesEvents);
  }

public:
  explicit TcxEditRepositoryItem(TComponent* AOwner);
  ~TcxEditRepositoryItem() override;

  // Made on first use, of ItemPropertiesClass (which a constructor could not ask).
  TcxCustomEditProperties* Properties() const;
  TcxEditRepository* Repository() const { return FRepository; }
  void AttachToRepository(TcxEditRepository* R);
  int ListenerCount() const { return static_cast<int>(FListeners.size()); }
  // A design-time placeholder; nothing calls it.
  TNotifyEvent PropertiesEvents;
  void SetPropertiesEvents(const TNotifyEvent& Value) { PropertiesEvents = Value; }

  // ---- new virtual operations, in their order
  virtual void NotifyListeners(TObject* Sender = nullptr);
  virtual void AttachListener(IcxEditRepositoryItemListener* Listener);
  virtual TClass ItemPropertiesClass();
  virtual String DefaultItemName();
  virtual void DetachListener(IcxEditRepositoryItemListener* Listener);

  // ---- streaming: the repository is the item's parent
  void ReadState(TReader* Reader) override;
  TComponent* GetParentComponent() const override { return FRepository; }
  bool HasParent() const override { return FRepository != nullptr; }
  void SetParentComponent(TComponent* Value) override;

private:
  std::vector<IcxEditRepositoryItemListener*> FListeners;
  mutable TcxCustomEditProperties* FProperties = nullptr;
  TcxEditRepository* FRepository = nullptr;
};

// The neutral provider: every editor editable, not read-only, no format, mask or length
// limit, precision 15, every character accepted.
class TcxCustomEditDefaultValuesProvider : public TcxInterfacedPersistent, public IcxEditDefaultValuesProvider {
  KELM_CLASS(TcxCustomEditDefaultValuesProvider, TcxInterfacedPersistent)

public:
  explicit TcxCustomEditDefaultValuesProvider(TPersistent* AOwner) : TcxInterfacedPersistent(AOwner) {}
  ~TcxCustomEditDefaultValuesProvider() override;

  void ReleaseUsers() override;
  TObject* GetProviderObject() override { return this; }
  bool CanChangeValue() override { return true; }
  TAlignment GetHorzAlignmentDefault() override { return taLeftJustify; }
  Byte GetSpareEnumDefault() override { return 3; }
  bool IsEditable() override { return true; }
  String GetDisplayFormatDefault() override { return {}; }
  String GetEditFormatDefault() override { return {}; }
  String GetEditMaskDefault() override { return {}; }
  int GetSpareIntDefault() override { return 0; }
  int GetMaxLengthDefault() override { return 0; }
  double GetMaxValueDefault() override { return 0.0; }
  double GetMinValueDefault() override { return 0.0; }
  int GetPrecisionDefault() override { return 15; }
  bool GetReadOnlyDefault() override { return false; }
  int GetSpareDefault() override { return 0; }
  bool HasSpareFlag() override { return false; }
  bool IsMoneyValue() override { return false; }
  bool HasData() override { return true; }
  bool IsStorageBound() override { return false; }
  bool HasDisplayFormat(bool) override { return false; }
  bool HasTextHandler() override { return false; }
  bool AcceptsChar(Char) override { return true; }
};

using TcxEditDefaultValuesProviderClass = TcxCustomEditDefaultValuesProvider* (*)();

class TcxEditDataBinding : public TPersistent {
  KELM_CLASS(TcxEditDataBinding, TPersistent)

public:
  explicit TcxEditDataBinding(TcxCustomEdit* AEdit);
  ~TcxEditDataBinding() override;
  TPersistent* GetOwner() const override;
  TcxCustomEdit* Edit() const { return FEdit; }
  TcxCustomEditDefaultValuesProvider* DefaultValuesProvider() const { return FProvider.get(); }
  IcxEditDefaultValuesProvider* ProviderInterface() const { return FProvider.get(); }
  bool IsDataPresent() const { return !FProvider || FProvider->HasData(); }
  // Makes the provider object; the constructor calls it (a constructor cannot ask the
  // virtual ProviderClass).
  void CreateProvider();

  // ---- new virtual operations, in their order
  virtual void ProviderDefaultsChanged();
  virtual void ReadEditorDisplayValue(Variant& Value);
  virtual bool EditorChangedSinceEnter();
  virtual void ReadStoredValue(Variant& Value);
  virtual void RevertEditor();
  virtual void PutEditorDisplayValue(const Variant& Value);
  virtual bool RequestEdit() { return true; }
  virtual void StoreValue(const Variant& Value) {}
  virtual bool IsEditorDesigning();
  virtual bool HandleActionExecute(TBasicAction*) { return false; }
  virtual TcxEditDefaultValuesProviderClass ProviderClass();
  virtual bool HandleActionUpdate(TBasicAction*) { return false; }
  virtual void RefreshDisplay();
  virtual void RelinkData() {}

private:
  TcxCustomEdit* FEdit;
  std::unique_ptr<TcxCustomEditDefaultValuesProvider> FProvider;
};
