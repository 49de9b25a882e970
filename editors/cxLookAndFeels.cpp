// Look-and-feel objects, the controller and the receiver of system colour changes.
#include "editors/cxLookAndFeels.h"

#include "core/ClassBuilder.h"
#include "editors/cxLookAndFeelPainters.h"
#include "editors/dxOffice11.h"
#include "gui/Application.h"
#include "gui/Forms.h"

#include <algorithm>
#include <memory>

KELM_PUBLISH(TcxLookAndFeel) { Published(b); }
KELM_PUBLISH(TcxLookAndFeelController) { Published(b); }

namespace {

// Layouts may place a controller on any form.
[[maybe_unused]] const bool kControllerRegistered = [] {
  RegisterClass(TcxLookAndFeelController::StaticClass());
  return true;
}();

// ---------------------------------------------------------------- the palette listener
// One hidden utility window per process, alive while a notifier exists. On a system colour
// change it refreshes the Office 2003 scheme, then tells the primary notifiers and then the
// others, each list from the last to the first.
class TcxSystemPaletteChangedListener {
public:
  TcxSystemPaletteChangedListener() {
    AcquireOffice11Scheme();
    FWindow = AllocateHWnd([this](TMessage& M) { WndProc(M); });
  }
  ~TcxSystemPaletteChangedListener() {
    DeallocateHWnd(FWindow);
    ReleaseOffice11Scheme();
  }
  std::vector<TcxSystemPaletteChangedNotifier*> Primary, Others;
  int Usage = 0;

private:
  void WndProc(TMessage& M) {
    M.Result = 0;  // the default processing of a utility window
    if (M.Msg != WM_SYSCOLORCHANGE) return;
    // A notifier that fails must not break the message loop: the failure is shown like any
    // other exception of an event and the remaining notifiers are still not told (the change
    // is then incomplete, as a failed event handler would leave it).
    try {
      Broadcast();
    } catch (...) {
      if (Application) Application->HandleException(nullptr);
    }
  }
  void Broadcast() {
    RefreshOffice11Scheme();
    NotifyAll(Primary);
    NotifyAll(Others);
  }
  // Each notifier still listed when its turn comes; a handler may free others.
  static void NotifyAll(std::vector<TcxSystemPaletteChangedNotifier*>& List) {
    const std::vector<TcxSystemPaletteChangedNotifier*> snapshot = List;
    for (auto it = snapshot.rbegin(); it != snapshot.rend(); ++it)
      if (std::find(List.begin(), List.end(), *it) != List.end()) (*it)->Notify();
  }
  HWND FWindow = 0;
};

TcxSystemPaletteChangedListener* gPaletteListener = nullptr;

TcxSystemPaletteChangedListener* AcquirePaletteListener() {
  if (!gPaletteListener) gPaletteListener = new TcxSystemPaletteChangedListener;
  ++gPaletteListener->Usage;
  return gPaletteListener;
}

void ReleasePaletteListener() {
  if (!gPaletteListener) return;
  if (--gPaletteListener->Usage == 0) {
    delete gPaletteListener;
    gPaletteListener = nullptr;
  }
}

// ---------------------------------------------------------------- the root
TcxLookAndFeel* gRoot = nullptr;
bool gRootFinished = false;  // the program is ending: no new root
int gControllerCount = 0;

struct TRootHolder {
  ~TRootHolder() {
    gRootFinished = true;
    delete gRoot;
  }
};

bool IsController(IcxLookAndFeelListener* Listener) {
  return dynamic_cast<TcxLookAndFeelController*>(Listener->GetListenerObject()) != nullptr;
}

}  // namespace

TcxLookAndFeel* GlobalLookAndFeel() {
  static TRootHolder holder;
  if (!gRoot && !gRootFinished) {
    gRoot = new TcxLookAndFeel(TcxLookAndFeel::TRootTag{});
  }
  return gRoot;
}

int LookAndFeelControllerCount() { return gControllerCount; }

bool PaletteListenerExists() { return gPaletteListener != nullptr; }

// ---------------------------------------------------------------- TcxLookAndFeel
TcxLookAndFeel::TcxLookAndFeel(TRootTag) : TcxInterfacedPersistent(nullptr) {
  FIsRoot = true;
  Init();
}

TcxLookAndFeel::TcxLookAndFeel(TPersistent* AOwner) : TcxInterfacedPersistent(AOwner) {
  Init();
  if (TcxLookAndFeel* root = GlobalLookAndFeel()) {
    root->AddChangeListener(this);
    FEffectiveKind = GetEffectiveKind();
    FEffectiveNativeStyle = GetEffectiveNativeStyle();
  }
}

void TcxLookAndFeel::Init() {
  FPaletteNotifier = new TcxSystemPaletteChangedNotifier(false);
  FPaletteNotifier->SetOnPaletteChanged(TcxPaletteChangedEvent::Lambda([this] { SystemPaletteChanged(); }));
}

TcxLookAndFeel::~TcxLookAndFeel() {
  delete FPaletteNotifier;
  FPaletteNotifier = nullptr;
  FDestroying = true;
  const std::size_t count = FListeners.size();
  for (std::size_t i = 0; i < count && i < FListeners.size(); ++i) FListeners[i]->LookAndFeelDisposing(this);
  FDestroying = false;
  FListeners.clear();
  if (TcxLookAndFeel* master = EffectiveMaster()) master->RemoveChangeListener(this);
  if (FIsRoot) {
    gRoot = nullptr;
    FIsRoot = false;
  }
}

TcxLookAndFeelKind TcxLookAndFeel::GetEffectiveKind() {
  if (FAssignedValues.Contains(lfvKind)) return FOwnKind;
  if (FIsRoot) return lfUltraFlat;
  if (TcxLookAndFeel* m = EffectiveMaster()) return m->FEffectiveKind;
  return lfUltraFlat;
}

bool TcxLookAndFeel::GetEffectiveNativeStyle() {
  if (FAssignedValues.Contains(lfvNativeStyle)) return FOwnNativeStyle;
  if (FIsRoot) return false;
  if (TcxLookAndFeel* m = EffectiveMaster()) return m->FEffectiveNativeStyle;
  return false;
}

TcxLookAndFeel* TcxLookAndFeel::EffectiveMaster() const {
  if (FIsRoot) return nullptr;
  return FMaster ? FMaster : gRoot;
}

void TcxLookAndFeel::SetMaster(TcxLookAndFeel* Value) {
  if (FIsRoot || Value == this || Value == EffectiveMaster()) return;
  SaveState();
  if (TcxLookAndFeel* m = EffectiveMaster()) m->RemoveChangeListener(this);
  FMaster = Value;
  if (TcxLookAndFeel* m = EffectiveMaster()) m->AddChangeListener(this);
  NotifyIfChanged();
}

void TcxLookAndFeel::SetKind(TcxLookAndFeelKind Value) {
  const TcxLookAndFeelKind before = FEffectiveKind;
  FAssignedValues.Include(lfvKind);
  FOwnKind = Value;
  if (GetEffectiveKind() != before) Changed({lfvKind});
}

void TcxLookAndFeel::SetNativeStyle(bool Value) {
  const bool before = FEffectiveNativeStyle;
  FAssignedValues.Include(lfvNativeStyle);
  FOwnNativeStyle = Value;
  if (GetEffectiveNativeStyle() != before) Changed({lfvNativeStyle});
}

void TcxLookAndFeel::SetAssignedValues(TcxLookAndFeelValues Value) {
  if (Value == FAssignedValues) return;
  SaveState();
  FAssignedValues = Value;
  NotifyIfChanged();
}

void TcxLookAndFeel::SaveState() {
  FPreviousKind = FEffectiveKind;
  FPreviousNativeStyle = FEffectiveNativeStyle;
}

void TcxLookAndFeel::NotifyIfChanged() {
  TcxLookAndFeelValues changed;
  if (GetEffectiveKind() != FPreviousKind) changed.Include(lfvKind);
  if (GetEffectiveNativeStyle() != FPreviousNativeStyle) changed.Include(lfvNativeStyle);
  Changed(changed);
}

void TcxLookAndFeel::Changed(TcxLookAndFeelValues ChangedValues) {
  if (ChangedValues.Empty() || FDestroying) return;
  FEffectiveKind = GetEffectiveKind();
  FEffectiveNativeStyle = GetEffectiveNativeStyle();
  std::size_t i = 0;
  while (i < FListeners.size()) {
    const std::size_t before = FListeners.size();
    FListeners[i]->LookAndFeelChanged(this, ChangedValues);
    if (FListeners.size() == before) ++i;
  }
  if (FOnChanged) FOnChanged(this, ChangedValues);
}

void TcxLookAndFeel::LookAndFeelChanged(TcxLookAndFeel*, TcxLookAndFeelValues ChangedValues) {
  Changed(ChangedValues - FAssignedValues);
}

void TcxLookAndFeel::LookAndFeelDisposing(TcxLookAndFeel*) { SetMaster(nullptr); }

void TcxLookAndFeel::SystemPaletteChanged() { Changed({lfvNativeStyle}); }

void TcxLookAndFeel::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxLookAndFeel*>(Source);
  if (!source) {
    TcxInterfacedPersistent::Assign(Source);
    return;
  }
  SaveState();
  FOwnKind = source->FOwnKind;
  FOwnNativeStyle = source->FOwnNativeStyle;
  FAssignedValues = source->FAssignedValues;
  SetMaster(source->EffectiveMaster());
  NotifyIfChanged();
}

void TcxLookAndFeel::AddChangeListener(IcxLookAndFeelListener* Listener) {
  if (!Listener) return;
  const bool controller = IsController(Listener);
  if (controller && !FIsRoot) return;
  if (std::find(FListeners.begin(), FListeners.end(), Listener) != FListeners.end()) return;
  if (controller) ++gControllerCount;
  FListeners.push_back(Listener);
}

void TcxLookAndFeel::RemoveChangeListener(IcxLookAndFeelListener* Listener) {
  if (!Listener) return;
  auto it = std::find(FListeners.begin(), FListeners.end(), Listener);
  if (it == FListeners.end()) return;
  if (!FDestroying) FListeners.erase(it);
  if (FIsRoot && IsController(Listener)) {
    if (--gControllerCount == 0) ResetAssignedValues();
  }
}

TcxLookAndFeelPainterClass TcxLookAndFeel::ChoosePainter(bool ThemeOpens) {
  if (FEffectiveNativeStyle && VisualStylesActive() && ThemeOpens) return TcxWinXPLookAndFeelPainter::Instance();
  return PainterForKind(FEffectiveKind);
}

TcxLookAndFeelPainterClass TcxLookAndFeel::Painter() {
  // Controls ask at every paint: the classic choice is one table look-up.
  static const TcxLookAndFeelPainterClass kByKind[4] = {PainterForKind(lfFlat), PainterForKind(lfStandard),
                                                        PainterForKind(lfUltraFlat), PainterForKind(lfOffice11)};
  if (!FEffectiveNativeStyle) return kByKind[FEffectiveKind];
  return ChoosePainter(true);
}

TcxLookAndFeelPainterClass TcxLookAndFeel::PainterForThemeClass(TdxThemeClass ThemeClass) {
  return ChoosePainter(!FEffectiveNativeStyle || !VisualStylesActive() || IsThemeClassAvailable(ThemeClass));
}

// ---------------------------------------------------------------- TcxLookAndFeelController
TcxLookAndFeelController::TcxLookAndFeelController(TComponent* AOwner) : TComponent(AOwner) {
  if (TcxLookAndFeel* root = GlobalLookAndFeel()) root->AddChangeListener(this);
}

TcxLookAndFeelController::~TcxLookAndFeelController() {
  if (gRoot) gRoot->RemoveChangeListener(this);
}

TcxLookAndFeelKind TcxLookAndFeelController::Kind() const { return gRoot ? gRoot->Kind() : lfUltraFlat; }

void TcxLookAndFeelController::SetKind(TcxLookAndFeelKind Value) {
  if (TcxLookAndFeel* root = GlobalLookAndFeel()) root->SetKind(Value);
}

bool TcxLookAndFeelController::NativeStyle() const { return gRoot ? gRoot->NativeStyle() : false; }

void TcxLookAndFeelController::SetNativeStyle(bool Value) {
  if (TcxLookAndFeel* root = GlobalLookAndFeel()) root->SetNativeStyle(Value);
}

// Forms carry no designer at run time, so there is nobody to tell that the form changed.
void TcxLookAndFeelController::LookAndFeelDisposing(TcxLookAndFeel*) {}

// ---------------------------------------------------------------- TcxSystemPaletteChangedNotifier
TcxSystemPaletteChangedNotifier::TcxSystemPaletteChangedNotifier(bool AIsPrimary) : FIsPrimary(AIsPrimary) {
  TcxSystemPaletteChangedListener* listener = AcquirePaletteListener();
  (FIsPrimary ? listener->Primary : listener->Others).push_back(this);
}

TcxSystemPaletteChangedNotifier::~TcxSystemPaletteChangedNotifier() {
  if (gPaletteListener) {
    auto& list = FIsPrimary ? gPaletteListener->Primary : gPaletteListener->Others;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
  }
  ReleasePaletteListener();
}

void TcxSystemPaletteChangedNotifier::Notify() {
  if (FOnPaletteChanged) FOnPaletteChanged();
}
