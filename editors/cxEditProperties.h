#pragma once
// Editor properties: every editor keeps its settings in a separate object, which also names
// the classes of its family (editor, style, view data, view info, assigned-values record),
// validates display values and fires OnValidate, holds the change, edit-value-changed,
// button-click and popup-closed events, owns the buttons and the alignment, and reports
// every change of itself to one changed handler (its editor or repository item). Change
// signals are held while an update bracket is open or signalling is suppressed.
//
// Every live properties object is listed, so that a default-values provider that goes away
// can make its users drop it. EditPropertiesRegistry lists the properties classes of the
// editors with descriptions.
// Declares TcxEditAlignment, TcxCustomEditPropertiesValues and TcxCustomEditProperties.
#include "core/Classes.h"
#include "core/Persistent.h"
#include "core/Variant.h"
#include "editors/cxComponent.h"
#include "editors/cxContainerStyles.h"
#include "editors/cxEditButtons.h"
#include "gui/Menus.h"

#include <vector>

class IcxEditDefaultValuesProvider;
class TcxCustomEdit;
class TcxCustomEditProperties;
class TcxCustomEditStyle;
class TcxCustomEditViewData;
class TcxCustomEditViewInfo;
class TcxRegisteredClasses;

KELM_ENUM(TcxEditVertAlignment, taTopJustify, taBottomJustify, taVCenter)
KELM_ENUM(TcxPopupCloseReason, pcrUnknown, pcrTab, pcrToggle, pcrCancel, pcrAccept)
// How the buttons share the editor: text area and buttons, buttons only, buttons with the
// editor's width following them.
constexpr Byte eblNormal = 0, eblButtonsOnly = 1, eblAutoWidth = 2;

using TcxEditValidateEvent =
    TEvent<void(TObject* Sender, Variant& DisplayValue, String& ErrorText, bool& Error)>;
using TcxEditButtonClickEvent = TEvent<void(TObject* Sender, int AButtonIndex)>;
using TcxEditClosePopupEvent = TEvent<void(TObject* Sender, TcxPopupCloseReason Reason)>;
using TcxCustomEditViewDataClass = TcxCustomEditViewData* (*)(TcxCustomEditProperties* AProperties,
                                                             TcxCustomEditStyle* AStyle, bool AInPlace);
using TcxCustomEditViewInfoClass = TcxCustomEditViewInfo* (*)();

class TcxEditAlignment : public TPersistent {
  KELM_CLASS(TcxEditAlignment, TPersistent)
  template <class B> static void Published(B& b) {
    b.Prop("Horz", &TcxEditAlignment::Horz, &TcxEditAlignment::SetHorz).Stored(&TcxEditAlignment::HorzStored);
    b.Prop("Vert", &TcxEditAlignment::Vert, &TcxEditAlignment::SetVert).Default(taTopJustify);
  }

public:
  explicit TcxEditAlignment(TPersistent* AOwner) : FOwner(AOwner) {}
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() const override { return FOwner; }

  TAlignment Horz() const { return FHorz; }
  void SetHorz(TAlignment Value);
  bool HorzExplicit() const { return FHorzExplicit; }
  TcxEditVertAlignment Vert() const { return FVert; }
  void SetVert(TcxEditVertAlignment Value);
  // Horz reads as the default again.
  void ClearHorzAssignment();
  bool HorzStored() const { return FHorzExplicit; }
  bool IsStored() const { return FHorzExplicit || FVert != taTopJustify; }
  // Sets Horz without marking it explicit (a default shown through the alignment).
  void ShowHorzDefault(TAlignment Value) { FHorz = Value; }
  TNotifyEvent OnChanged;

private:
  void Changed() {
    if (OnChanged) OnChanged(this);
  }
  TPersistent* FOwner;
  TAlignment FHorz = taLeftJustify;
  bool FHorzExplicit = false;
  TcxEditVertAlignment FVert = taTopJustify;
};

// Which settings of a properties object were assigned explicitly (the base: ReadOnly).
class TcxCustomEditPropertiesValues : public TPersistent {
  KELM_CLASS(TcxCustomEditPropertiesValues, TPersistent)
  template <class B> static void Published(B& b) {
    b.Prop("ReadOnly", &TcxCustomEditPropertiesValues::ReadOnly, &TcxCustomEditPropertiesValues::SetReadOnly)
        .Stored(false);
  }

public:
  explicit TcxCustomEditPropertiesValues(TcxCustomEditProperties* AOwner) : FOwner(AOwner) {}
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() const override;
  virtual void ResetAssigned() { SetReadOnly(false); }

  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value);
  // Marks ReadOnly without a change signal.
  void MarkReadOnly(bool Value) { FReadOnly = Value; }

protected:
  void BeginUpdate();
  void EndUpdate();
  void Changed();
  bool IsPropertyPublished(const String& Name) const;

private:
  TcxCustomEditProperties* FOwner;
  bool FReadOnly = false;
};

using TcxCustomEditPropertiesValuesClass = TcxCustomEditPropertiesValues* (*)(TcxCustomEditProperties* AOwner);

class TcxCustomEditProperties : public TcxInterfacedPersistent {
  KELM_CLASS(TcxCustomEditProperties, TcxInterfacedPersistent)
  // The descendants publish the settings, with these accessors.
  template <class B> static void PublishedSettings(B& b) {
    using P = typename B::Class;
    b.Prop("Alignment", &P::Alignment, &P::SetAlignmentValue).Stored(&P::AlignmentStored);
    b.Prop("AssignedValues", &P::AssignedValues, &P::SetAssignedValues);
    b.Prop("AutoSelect", &P::AutoSelect, &P::SetAutoSelect).Default(true);
    b.Prop("BeepOnError", &P::BeepOnError, &P::SetBeepOnError).Default(false);
    b.Prop("ClearKey", &P::ClearKey, &P::SetClearKey).Type("TShortCut").Default(0);
    b.Prop("ImmediatePost", &P::ImmediatePost, &P::SetImmediatePost).Default(false);
    b.Prop("ReadOnly", &P::ReadOnly, &P::SetReadOnly).Stored(&P::ReadOnlyStored);
    b.Prop("UseLeftAlignmentOnEditing", &P::UseLeftAlignmentOnEditing, &P::SetUseLeftAlignmentOnEditing)
        .Stored(&P::UseLeftAlignmentOnEditingStored);
    b.Prop("ValidateOnEnter", &P::ValidateOnEnter, &P::SetValidateOnEnter).Default(false);
    b.Prop("OnChange", &P::OnChange, &P::SetOnChange);
    b.Prop("OnEditValueChanged", &P::OnEditValueChanged, &P::SetOnEditValueChanged);
    b.Prop("OnValidate", &P::OnValidate, &P::SetOnValidate);
  }

public:
  explicit TcxCustomEditProperties(TPersistent* AOwner);
  ~TcxCustomEditProperties() override;
  void Assign(TPersistent* Source) override;

  // ---- settings
  // The stored alignment, with the provider's horizontal default while none was set.
  TcxEditAlignment* Alignment() const;
  TcxEditAlignment* StoredAlignment() const { return FStoredAlignment.get(); }
  bool AlignmentStored() const { return FStoredAlignment->IsStored(); }
  TcxCustomEditPropertiesValues* AssignedValues() const { return FAssignedValues.get(); }
  void SetAssignedValues(TcxCustomEditPropertiesValues* Value) { FAssignedValues->Assign(Value); }
  bool AutoSelect() const { return FAutoSelect; }
  void SetAutoSelect(bool Value);
  bool BeepOnError() const { return FBeepOnError; }
  void SetBeepOnError(bool Value) { FBeepOnError = Value; }
  TcxEditButtons* Buttons() const { return FButtons.get(); }
  void SetButtons(TcxEditButtons* Value) { FButtons->Assign(Value); }
  Byte ButtonLayout() const { return FButtonLayout; }
  void SetButtonLayout(Byte Value);
  TShortCut ClearKey() const { return FClearKey; }
  void SetClearKey(TShortCut Value) { FClearKey = Value; }
  TShortCut DefaultButtonKey() const { return FDefaultButtonKey; }
  void SetDefaultButtonKey(TShortCut Value) { FDefaultButtonKey = Value; }
  bool ImmediatePost() const { return FImmediatePost; }
  void SetImmediatePost(bool Value) { FImmediatePost = Value; }
  bool ReadOnly() const;
  void SetReadOnly(bool Value);
  bool ReadOnlyStored() const;
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value);
  bool UseLeftAlignmentOnEditing() const { return FUseLeftAlignmentOnEditing; }
  void SetUseLeftAlignmentOnEditing(bool Value);
  bool UseLeftAlignmentOnEditingStored() const {
    return FUseLeftAlignmentOnEditing != const_cast<TcxCustomEditProperties*>(this)->DefaultUseLeftAlignmentOnEditing();
  }
  bool WheelAllowed() const { return FWheelAllowed; }
  void SetWheelAllowed(bool Value) { FWheelAllowed = Value; }
  bool ValidateOnEnter() const { return FValidateOnEnter; }
  void SetValidateOnEnter(bool Value) { FValidateOnEnter = Value; }
  IcxEditDefaultValuesProvider* DefaultValuesProvider() const { return FProvider; }
  void SetDefaultValuesProvider(IcxEditDefaultValuesProvider* Value);

  // ---- events
  TcxEditButtonClickEvent OnButtonClick;
  TNotifyEvent OnChange;
  TcxEditClosePopupEvent OnClosePopup;
  TNotifyEvent OnEditValueChanged;
  TcxEditValidateEvent OnValidate;
  TNotifyEvent ChangedHandler;
  void SetOnChange(const TNotifyEvent& Value) { OnChange = Value; }
  void SetOnEditValueChanged(const TNotifyEvent& Value) { OnEditValueChanged = Value; }
  void SetOnValidate(const TcxEditValidateEvent& Value) { OnValidate = Value; }

  // ---- change signalling
  void BeginUpdate() { ++FUpdateCount; }
  void EndUpdate(bool Signal = true);
  bool IsSignalHeld() const { return FSignalSuppressed || FUpdateCount > 0; }
  void SetSignalSuppressed(bool Value) { FSignalSuppressed = Value; }
  int UpdateCount() const { return FUpdateCount; }

  bool ValueModifiableInPlace();
  bool HasProviderDisplayFormat();
  TcxFreeNotificator* Watcher() const { return FWatcher.get(); }

  // ---- new virtual operations, in their order
  virtual void AlignmentChanged(TObject* Sender);
  virtual void SetAlignmentValue(TcxEditAlignment* Value);
  virtual void ButtonsChanged(TObject* Sender);
  virtual bool CanValidate() { return false; }
  virtual bool DefaultUseLeftAlignmentOnEditing() { return true; }
  virtual void DropDefaultValuesProvider() { FProvider = nullptr; }
  virtual void WatchedComponentRemoved(TComponent* AComponent) {}
  virtual TcxCustomEditPropertiesValuesClass GetAssignedValuesClass();
  virtual TAlignment HorzAlignmentDefault();
  virtual Byte GetFormatTraits() { return 0; }
  virtual String GetInvalidInputText();
  virtual bool ShowsProviderDisplayFormat(bool Focused);
  virtual TcxCustomEditViewDataClass GetViewDataClass();
  virtual bool SeparatesChangeEvents() { return false; }
  virtual bool DisplayDependsOnFocus() { return true; }
  virtual bool KeepsTabKey() { return false; }
  virtual bool CanCompareEditValues() { return false; }
  virtual TClass GetEditorClass();
  virtual TcxContainerStyleClass GetStyleClass();
  virtual TcxCustomEditViewInfoClass GetViewInfoClass();
  virtual void SignalPropertiesChanged();
  virtual bool EditValuesEqual(const Variant& V1, const Variant& V2);
  virtual TcxCustomEditProperties* CreateBlankCopy();
  virtual TcxCustomEditViewData* MakeViewData(TcxCustomEditStyle* AStyle, bool AInPlace, bool TextFlag = false);
  virtual void SpareProcA() {}
  virtual void FormatDisplayValue(const Variant& EditValue, WideString& DisplayText, bool Focused);
  virtual bool SpareFlag() { return false; }
  virtual Word GetFeatureFlags();
  virtual int SpareNumber() { return 0; }
  virtual bool IsValueAcceptable(const Variant& Value, bool Focused) { return true; }
  virtual bool SupportsEscapeReset() { return false; }
  virtual void PrepareDisplayValue(const Variant& Value, Variant& EditValue, bool Focused) { EditValue = Value; }
  virtual void ResetToDefaults();
  virtual void SpareProcB() {}
  virtual void CheckDisplayValue(Variant& DisplayValue, String& ErrorText, bool& Error, TcxCustomEdit* AEdit);
  virtual Byte GetValueSourceKind(bool Focused) { return 0; }

protected:
  // A descendant's constructor makes its own assigned-values record (the base constructor
  // cannot reach the descendant's GetAssignedValuesClass).
  void RecreateAssignedValues() { FAssignedValues.reset(GetAssignedValuesClass()(this)); }

private:
  TPersistent* FOwner;
  bool FAutoSelect = true;
  bool FBeepOnError = false;
  std::unique_ptr<TcxEditButtons> FButtons;
  Byte FButtonLayout = eblNormal;
  TShortCut FClearKey = 0;
  TShortCut FDefaultButtonKey = 0x400D;
  std::unique_ptr<TcxFreeNotificator> FWatcher;
  bool FImmediatePost = false;
  std::unique_ptr<TcxEditAlignment> FStoredAlignment;
  bool FReadOnlyValue = false;
  bool FTransparent = false;
  int FUpdateCount = 0;
  bool FUseLeftAlignmentOnEditing = true;
  bool FWheelAllowed = true;
  bool FValidateOnEnter = false;
  std::unique_ptr<TcxEditAlignment> FAlignment;
  std::unique_ptr<TcxCustomEditPropertiesValues> FAssignedValues;
  bool FSignalSuppressed = false;
  IcxEditDefaultValuesProvider* FProvider = nullptr;
};

// Every properties object alive, in creation order.
const std::vector<TcxCustomEditProperties*>& LivePropertiesObjects();
// The properties classes of the editors with descriptions, sorted (made on first request).
TcxRegisteredClasses* EditPropertiesRegistry();
