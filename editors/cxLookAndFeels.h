#pragma once
// Look-and-feel objects: a control's drawing style (Kind and NativeStyle), each set locally or
// followed from a master and in the end from the one root look-and-feel; the choice of painter
// from the effective values; the controller component that sets the root from a form; and the
// notification of system colour changes that the colour scheme, the painters' cached images
// and every look-and-feel depend on.
// Declares IcxLookAndFeelListener, TcxLookAndFeel, TcxLookAndFeelController,
// TcxSystemPaletteChangedNotifier.
#include "core/Component.h"
#include "core/Events.h"
#include "core/TypInfo.h"
#include "editors/cxComponent.h"
#include "editors/dxThemeManager.h"

#include <vector>

KELM_ENUM(TcxLookAndFeelKind, lfFlat, lfStandard, lfUltraFlat, lfOffice11)
KELM_ENUM(TcxLookAndFeelValue, lfvKind, lfvNativeStyle)
using TcxLookAndFeelValues = TSet<TcxLookAndFeelValue>;

class TcxLookAndFeel;
class TcxCustomLookAndFeelPainter;
class TcxSystemPaletteChangedNotifier;
// Painters are used as classes: one stateless object per painter class.
using TcxLookAndFeelPainterClass = const TcxCustomLookAndFeelPainter*;

// What a look-and-feel tells the objects that depend on it.
class IcxLookAndFeelListener {
public:
  virtual ~IcxLookAndFeelListener() = default;
  virtual TObject* GetListenerObject() = 0;
  virtual void LookAndFeelChanged(TcxLookAndFeel* Sender, TcxLookAndFeelValues ChangedValues) = 0;
  virtual void LookAndFeelDisposing(TcxLookAndFeel* Sender) = 0;
};

using TcxLookAndFeelChangedEvent = TEvent<void(TcxLookAndFeel* Sender, TcxLookAndFeelValues ChangedValues)>;

class TcxLookAndFeel : public TcxInterfacedPersistent, public IcxLookAndFeelListener {
  KELM_CLASS(TcxLookAndFeel, TcxInterfacedPersistent)
  template <class B> static void Published(B& b) {
    b.Prop("AssignedValues", &TcxLookAndFeel::AssignedValues, &TcxLookAndFeel::SetAssignedValues).Stored(false);
    b.Prop("Kind", &TcxLookAndFeel::Kind, &TcxLookAndFeel::SetKind).Stored(&TcxLookAndFeel::KindStored);
    b.Prop("NativeStyle", &TcxLookAndFeel::NativeStyle, &TcxLookAndFeel::SetNativeStyle)
        .Stored(&TcxLookAndFeel::NativeStyleStored);
  }

public:
  explicit TcxLookAndFeel(TPersistent* AOwner);
  ~TcxLookAndFeel() override;

  TcxLookAndFeelValues AssignedValues() const { return FAssignedValues; }
  void SetAssignedValues(TcxLookAndFeelValues Value);
  TcxLookAndFeelKind Kind() const { return FEffectiveKind; }
  void SetKind(TcxLookAndFeelKind Value);
  bool NativeStyle() const { return FEffectiveNativeStyle; }
  void SetNativeStyle(bool Value);

  void Assign(TPersistent* Source) override;
  void ResetAssignedValues() { SetAssignedValues({}); }
  void AddChangeListener(IcxLookAndFeelListener* Listener);
  void RemoveChangeListener(IcxLookAndFeelListener* Listener);
  int ListenerCount() const { return static_cast<int>(FListeners.size()); }

  // The painter class to draw with now; recomputed at every query.
  TcxLookAndFeelPainterClass Painter();
  // The same choice, the themed painter only when the theme class opens.
  TcxLookAndFeelPainterClass PainterForThemeClass(TdxThemeClass ThemeClass);

  TcxLookAndFeel* Master() const { return FMaster; }
  void SetMaster(TcxLookAndFeel* Value);
  // The followed look-and-feel: nil for the root, else Master or the root.
  TcxLookAndFeel* EffectiveMaster() const;
  bool IsRoot() const { return FIsRoot; }

  const TcxLookAndFeelChangedEvent& OnChanged() const { return FOnChanged; }
  void SetOnChanged(const TcxLookAndFeelChangedEvent& Value) { FOnChanged = Value; }

  // IcxLookAndFeelListener
  TObject* GetListenerObject() override { return this; }
  void LookAndFeelChanged(TcxLookAndFeel* Sender, TcxLookAndFeelValues ChangedValues) override;
  void LookAndFeelDisposing(TcxLookAndFeel* Sender) override;

protected:
  virtual TcxLookAndFeelKind GetEffectiveKind();
  virtual bool GetEffectiveNativeStyle();
  virtual void SystemPaletteChanged();
  void Changed(TcxLookAndFeelValues ChangedValues);
  void SaveState();
  void NotifyIfChanged();

private:
  friend TcxLookAndFeel* GlobalLookAndFeel();
  struct TRootTag {};
  TcxLookAndFeel(TRootTag);
  void Init();
  bool KindStored() const { return FAssignedValues.Contains(lfvKind); }
  bool NativeStyleStored() const { return FAssignedValues.Contains(lfvNativeStyle); }
  TcxLookAndFeelPainterClass ChoosePainter(bool ThemeOpens);

  TcxLookAndFeelValues FAssignedValues;
  std::vector<IcxLookAndFeelListener*> FListeners;
  TcxLookAndFeelKind FEffectiveKind = lfUltraFlat;
  bool FEffectiveNativeStyle = false;
  TcxLookAndFeelKind FOwnKind = lfUltraFlat;
  bool FOwnNativeStyle = false;
  bool FDestroying = false;
  bool FIsRoot = false;
  TcxLookAndFeel* FMaster = nullptr;
  TcxLookAndFeelKind FPreviousKind = lfUltraFlat;
  bool FPreviousNativeStyle = false;
  TcxSystemPaletteChangedNotifier* FPaletteNotifier = nullptr;
  TcxLookAndFeelChangedEvent FOnChanged;
};

// The root look-and-feel every other one follows in the end; made at the first query (of
// this or of any look-and-feel) and freed when the program ends.
TcxLookAndFeel* GlobalLookAndFeel();
// The number of controllers attached to the root.
int LookAndFeelControllerCount();

// Sets the root look-and-feel from a form.
class TcxLookAndFeelController : public TComponent, public IcxLookAndFeelListener {
  KELM_CLASS(TcxLookAndFeelController, TComponent)
  template <class B> static void Published(B& b) {
    b.Prop("Kind", &TcxLookAndFeelController::Kind, &TcxLookAndFeelController::SetKind).Default(lfUltraFlat);
    b.Prop("NativeStyle", &TcxLookAndFeelController::NativeStyle, &TcxLookAndFeelController::SetNativeStyle)
        .Default(false);
  }

public:
  explicit TcxLookAndFeelController(TComponent* AOwner);
  ~TcxLookAndFeelController() override;
  TcxLookAndFeelKind Kind() const;
  void SetKind(TcxLookAndFeelKind Value);
  bool NativeStyle() const;
  void SetNativeStyle(bool Value);

  TObject* GetListenerObject() override { return this; }
  void LookAndFeelChanged(TcxLookAndFeel*, TcxLookAndFeelValues) override {}
  void LookAndFeelDisposing(TcxLookAndFeel* Sender) override;
};

using TcxPaletteChangedEvent = TEvent<void()>;

// Told of every system colour change while it exists; primary notifiers (cached colour
// resources) are told before the others (look-and-feels).
class TcxSystemPaletteChangedNotifier : public TObject {
public:
  explicit TcxSystemPaletteChangedNotifier(bool AIsPrimary);
  ~TcxSystemPaletteChangedNotifier() override;
  virtual void Notify();
  bool IsPrimary() const { return FIsPrimary; }
  const TcxPaletteChangedEvent& OnPaletteChanged() const { return FOnPaletteChanged; }
  void SetOnPaletteChanged(const TcxPaletteChangedEvent& Value) { FOnPaletteChanged = Value; }

private:
  bool FIsPrimary;
  TcxPaletteChangedEvent FOnPaletteChanged;
};

// Whether the shared receiver of colour changes exists (some notifier holds it).
bool PaletteListenerExists();
