// Menus: shortcut text, the item tree, action links of items, and the Qt menus built from the
// tree (a menu bar for a form's main menu, a QMenu for each popup and submenu as it opens).
#include "gui/Menus.h"
#include "gui/Graphics_p.h"
#include "gui/Menus_p.h"

#include "gui/ActnList.h"
#include "core/ClassBuilder.h"
#include "gui/Application.h"
#include "gui/Forms.h"
#include "gui/ImageListLink_p.h"
#include "gui/QtBridge_p.h"
#include "gui/QtGlue_p.h"
#include "gui/Screen.h"
#include "core/StrUtils.h"

#include <QtCore/QPointer>
#include <QtCore/QTimer>
#include <QtGui/QAction>
#include <QtGui/QActionGroup>
#include <QtGui/QIcon>
#include <QtGui/QPixmap>
#include <QtWidgets/QApplication>
#include <QtWidgets/QMenu>
#include <QtWidgets/QMenuBar>

#include <algorithm>
#include <map>

// ================================================================ shortcuts

namespace {

struct TKeyName {
  Word Key;
  const char* Name;
};

// Names of the keys that are not their own character, as shortcut texts spell them.
constexpr TKeyName kKeyNames[] = {
    {VK_BACK, "BkSp"},      {VK_TAB, "Tab"},        {VK_RETURN, "Enter"},   {VK_ESCAPE, "Esc"},
    {VK_SPACE, "Space"},    {VK_PRIOR, "PgUp"},     {VK_NEXT, "PgDn"},      {VK_END, "End"},
    {VK_HOME, "Home"},      {VK_LEFT, "Left"},      {VK_UP, "Up"},          {VK_RIGHT, "Right"},
    {VK_DOWN, "Down"},      {VK_INSERT, "Ins"},     {VK_DELETE, "Del"},     {VK_MULTIPLY, "Num *"},
    {VK_ADD, "Num +"},      {VK_SUBTRACT, "Num -"}, {VK_DECIMAL, "Num Del"}, {VK_DIVIDE, "Num /"},
    {VK_OEM_1, ";"},        {VK_OEM_PLUS, "="},     {VK_OEM_COMMA, ","},    {VK_OEM_MINUS, "-"},
    {VK_OEM_PERIOD, "."},   {VK_OEM_2, "/"},        {VK_OEM_3, "`"},        {VK_OEM_4, "["},
    {VK_OEM_5, "\\"},       {VK_OEM_6, "]"},        {VK_OEM_7, "'"},
};

String KeyName(Word key) {
  if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return String(1, static_cast<char>(key));
  if (key >= VK_F1 && key <= VK_F24) return "F" + std::to_string(key - VK_F1 + 1);
  if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9) return "Num " + std::to_string(key - VK_NUMPAD0);
  for (const TKeyName& k : kKeyNames)
    if (k.Key == key) return k.Name;
  return String();
}

Word KeyOfName(const String& name) {
  if (name.size() == 1) {
    char c = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
    if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z')) return static_cast<Word>(c);
  }
  for (Word k = VK_F1; k <= VK_F24; ++k)
    if (SameText(name, KeyName(k))) return k;
  for (Word k = VK_NUMPAD0; k <= VK_NUMPAD9; ++k)
    if (SameText(name, KeyName(k))) return k;
  for (const TKeyName& k : kKeyNames)
    if (SameText(name, k.Name)) return k.Key;
  return 0;
}

struct TModifierName {
  const char* Prefix;
  TShortCut Bit;
};
constexpr TModifierName kModifiers[] = {{"Shift+", scShift}, {"Ctrl+", scCtrl}, {"Alt+", scAlt}};

}  // namespace

TShortCut ShortCut(Word Key, TShiftState Shift) {
  if ((Key & 0xFF00) != 0) return 0;
  TShortCut r = Key;
  if (Shift.Contains(ssShift)) r |= scShift;
  if (Shift.Contains(ssCtrl)) r |= scCtrl;
  if (Shift.Contains(ssAlt)) r |= scAlt;
  return r;
}

void ShortCutToKey(TShortCut ShortCut, Word& Key, TShiftState& Shift) {
  Key = ShortCut & 0xFF;
  Shift = {};
  if (ShortCut & scShift) Shift += ssShift;
  if (ShortCut & scCtrl) Shift += ssCtrl;
  if (ShortCut & scAlt) Shift += ssAlt;
}

String ShortCutToText(TShortCut ShortCut) {
  String name = KeyName(ShortCut & 0xFF);
  if (name.empty()) return String();
  String r;
  for (const TModifierName& m : kModifiers)
    if (ShortCut & m.Bit) r += m.Prefix;
  return r + name;
}

TShortCut TextToShortCut(const String& Text) {
  String rest = Text;
  TShortCut bits = 0;
  for (bool more = true; more;) {
    more = false;
    for (const TModifierName& m : kModifiers) {
      String p = m.Prefix;
      if (rest.size() > p.size() && StartsText(p, rest)) {
        bits |= m.Bit;
        rest.erase(0, p.size());
        more = true;
      }
    }
  }
  Word key = KeyOfName(rest);
  return key ? static_cast<TShortCut>(key | bits) : 0;
}

TShortCut ShortCutFromMessage(const TMessage& KeyMessage) {
  return ShortCut(static_cast<Word>(KeyMessage.WParam & 0xFF), KeyDataToShiftState(KeyMessage.LParam));
}

// ================================================================ commands

namespace {

std::map<UINT, TMenuItem*>& Commands() {
  static std::map<UINT, TMenuItem*> m;
  return m;
}

UINT NewCommand(TMenuItem* item) {
  static UINT next = 0;
  do {
    if (++next == 0) next = 1;
  } while (Commands().count(next));
  Commands()[next] = item;
  return next;
}

TMenuItem* ItemOfCommand(UINT command) {
  auto it = Commands().find(command);
  return it == Commands().end() ? nullptr : it->second;
}

// The window that receives the WM_COMMAND of every chosen item.
HWND CommandWindow() {
  static HWND window = 0;
  if (!window || !IsWindow(window))
    window = AllocateHWnd([](TMessage& M) {
      if (M.Msg != WM_COMMAND) return;
      if (TMenuItem* item = ItemOfCommand(static_cast<UINT>(M.WParam))) item->Click();
    });
  return window;
}

void PostCommand(UINT command) { PostMessage(CommandWindow(), WM_COMMAND, command, 0); }

// Runs code that may raise from inside a Qt signal: the exception is shown, never passed on.
template <class F> void Guarded(TObject* Sender, F&& fn) {
  try {
    fn();
  } catch (...) {
    gui_glue::HandleCurrentException(Sender);
  }
}

}  // namespace

String MenuItemDisplayText(const TMenuItem* Item) {
  String text = Item->Caption();
  if (Item->ShortCut() != 0) {
    String sc = ShortCutToText(Item->ShortCut());
    if (!sc.empty()) text += "\t" + sc;
  }
  return text;
}

// ================================================================ the Qt side

// Builds Qt menus from item trees and keeps each item's Qt action up to date.
struct TMenuItem::TShown {
  QAction* Action = nullptr;  // the Qt action showing the item
};

struct TMenuQt {
  static void Apply(QAction* a, const TMenuItem* it) {
    a->setVisible(it->Visible());
    if (it->IsLine()) {
      a->setSeparator(true);
      return;
    }
    a->setSeparator(false);
    a->setText(ToQString(MenuItemDisplayText(it)));
    a->setEnabled(it->Enabled());
    a->setCheckable(it->Checked() || it->RadioItem() || it->AutoCheck());
    a->setChecked(it->Checked());
    QFont f = a->font();
    f.setBold(it->Default());
    a->setFont(f);
    a->setStatusTip(ToQString(GetLongHint(it->Hint())));
    a->setIcon(Icon(it));
  }

  static QIcon Icon(const TMenuItem* it) {
    TCustomImageList* images = it->GetImageList();
    if (!images || it->ImageIndex() < 0 || it->ImageIndex() >= images->Count()) return QIcon();
    TIcon icon;
    images->GetIcon(it->ImageIndex(), &icon);
    return QIcon(QPixmap::fromImage(ImageOf(icon)));
  }

  static QAction*& ActionOf(TMenuItem* it) {
    if (!it->FShownAs) it->FShownAs = std::make_unique<TMenuItem::TShown>();
    return it->FShownAs->Action;
  }

  // Remembers the action as the item's, until either goes.
  static void Bind(QAction* a, TMenuItem* it) {
    ActionOf(it) = a;
    UINT cmd = it->Command();
    QObject::connect(a, &QObject::destroyed, qApp, [cmd, a] {
      if (TMenuItem* i = ItemOfCommand(cmd); i && i->FShownAs && i->FShownAs->Action == a) i->FShownAs->Action = nullptr;
    });
  }

  static void Connect(QAction* a, TMenuItem* it) {
    UINT cmd = it->Command();
    QObject::connect(a, &QAction::triggered, qApp, [cmd] { PostCommand(cmd); });
    QObject::connect(a, &QAction::hovered, qApp, [cmd] {
      TMenuItem* i = ItemOfCommand(cmd);
      if (i && Application) Guarded(i, [&] { Application->SetHint(GetLongHint(i->Hint())); });
    });
  }

  // A submenu filled from the item each time it opens.
  static QMenu* SubMenu(QWidget* parent, TMenuItem* it) {
    auto* sub = new QMenu(parent);
    sub->setSeparatorsCollapsible(false);
    UINT cmd = it->Command();
    QObject::connect(sub, &QMenu::aboutToShow, sub, [sub, cmd] {
      if (TMenuItem* i = ItemOfCommand(cmd)) Fill(sub, i);
    });
    return sub;
  }

  // Takes the submenus a menu or bar was last filled with off it; they go once their
  // signals are done.
  static void DropSubMenus(QWidget* m) {
    for (QMenu* old : m->findChildren<QMenu*>(Qt::FindDirectChildrenOnly)) {
      m->removeAction(old->menuAction());
      old->deleteLater();
    }
  }

  // Replaces the menu's entries by the sub-items of Parent; their actions update them first.
  static void Fill(QMenu* m, TMenuItem* Parent) {
    Guarded(Parent, [&] {
      for (int i = 0; i < Parent->Count(); ++i) Parent->Items(i)->InitiateAction();
    });
    DropSubMenus(m);
    for (QActionGroup* g : m->findChildren<QActionGroup*>(Qt::FindDirectChildrenOnly)) g->deleteLater();
    m->clear();
    std::map<int, QActionGroup*> groups;
    for (int i = 0; i < Parent->Count(); ++i) {
      TMenuItem* it = Parent->Items(i);
      QAction* a;
      if (it->IsLine()) {
        a = m->addSeparator();
      } else if (it->Count() > 0) {
        a = m->addMenu(SubMenu(m, it));
      } else {
        a = new QAction(m);
        m->addAction(a);
        Connect(a, it);
      }
      Bind(a, it);
      Apply(a, it);
      if (it->RadioItem() && !it->IsLine() && it->Count() == 0) {
        QActionGroup*& g = groups[it->GroupIndex()];
        if (!g) {
          g = new QActionGroup(m);
          g->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
        }
        a->setActionGroup(g);
      }
    }
  }

  static bool HasVisibleEntries(const QMenu* m) {
    for (QAction* a : m->actions())
      if (a->isVisible() && !a->isSeparator()) return true;
    return false;
  }

  static void Forget(TMenuItem* it) {
    QAction* a = it->FShownAs ? it->FShownAs->Action : nullptr;
    if (it->FShownAs) it->FShownAs->Action = nullptr;
    if (!a) return;
    a->setVisible(false);
    if (auto* sub = qobject_cast<QMenu*>(a->parent()); sub && sub->menuAction() == a) {
      sub->hide();
      sub->deleteLater();
    } else {
      a->deleteLater();
    }
  }
};

// ================================================================ TMenuItem

KELM_PUBLISH(TMenuItem) { Published(b); }

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) { FCommand = NewCommand(this); }

TMenuItem::~TMenuItem() {
  FActionLink.reset();
  // The sub-items go with their parent; the menu hears of it once, as this item leaves.
  std::vector<TMenuItem*> items = std::move(FItems);
  FItems.clear();
  for (TMenuItem* it : items) it->FParent = nullptr;
  for (TMenuItem* it : items) delete it;
  if (FParent) FParent->Remove(this);
  TMenuQt::Forget(this);
  Commands().erase(FCommand);
}

TMenuItem* TMenuItem::Items(int Index) const {
  if (Index < 0 || Index >= Count()) throw EMenuError("Menu index out of range");
  return FItems[static_cast<std::size_t>(Index)];
}

void TMenuItem::Add(TMenuItem* Item) { Insert(Count(), Item); }

void TMenuItem::Add(const std::vector<TMenuItem*>& AItems) {
  for (TMenuItem* it : AItems) Add(it);
}

void TMenuItem::Insert(int Index, TMenuItem* Item) {
  if (!Item) return;
  if (Item->FParent) throw EMenuError("Menu inserted twice");
  if (Index < 0 || Index > Count()) throw EMenuError("Menu index out of range");
  for (const TMenuItem* p = this; p; p = p->FParent)
    if (p == Item) throw EMenuError("Menu inserted twice");
  FItems.insert(FItems.begin() + Index, Item);
  Item->FParent = this;
  if (Item->FRadioItem && Item->FChecked) Item->TurnSiblingsOff();
  MenuChanged(true);
}

void TMenuItem::Delete(int Index) {
  TMenuItem* it = Items(Index);
  FItems.erase(FItems.begin() + Index);
  it->FParent = nullptr;
  TMenuQt::Forget(it);
  MenuChanged(true);
}

void TMenuItem::Remove(TMenuItem* Item) {
  int i = IndexOf(Item);
  if (i >= 0) Delete(i);
}

void TMenuItem::Clear() {
  while (!FItems.empty()) delete FItems.back();
}

int TMenuItem::IndexOf(const TMenuItem* Item) const {
  auto it = std::find(FItems.begin(), FItems.end(), Item);
  return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

TMenuItem* TMenuItem::Find(const String& ACaption) const {
  String want = StripHotkey(ACaption);
  for (TMenuItem* it : FItems)
    if (AnsiSameText(StripHotkey(it->FCaption), want)) return it;
  return nullptr;
}

TMenu* TMenuItem::GetParentMenu() const {
  const TMenuItem* r = this;
  while (r->FParent) r = r->FParent;
  return r->FMenu;
}

int TMenuItem::MenuIndex() const { return FParent ? FParent->IndexOf(this) : -1; }

void TMenuItem::SetMenuIndex(int Value) {
  if (!FParent) return;
  TMenuItem* p = FParent;
  int cur = MenuIndex();
  Value = std::clamp(Value, 0, p->Count() - 1);
  if (Value == cur) return;
  p->FItems.erase(p->FItems.begin() + cur);
  p->FItems.insert(p->FItems.begin() + Value, this);
  p->MenuChanged(true);
}

TCustomImageList* TMenuItem::GetImageList() const {
  for (const TMenuItem* p = FParent; p; p = p->FParent)
    if (p->FSubMenuImages) return p->FSubMenuImages;
  TMenu* m = GetParentMenu();
  return m ? m->Images() : nullptr;
}

void TMenuItem::Click() {
  if (!FEnabled) return;
  TBasicAction* action = Action();
  if (!action && FAutoCheck && !(FRadioItem && FChecked)) SetChecked(!FChecked);
  if (action && OnClick == action->OnExecute) {
    FActionLink->Execute(this);
    return;
  }
  OnClick(this);
}

void TMenuItem::InitiateAction() {
  if (FActionLink) FActionLink->Update();
}

void TMenuItem::SetCaption(const String& Value) {
  if (Value == FCaption) return;
  bool wasLine = IsLine();
  FCaption = Value;
  MenuChanged(wasLine != IsLine());
}

void TMenuItem::SetChecked(bool Value) {
  if (Value == FChecked) return;
  FChecked = Value;
  if (Value && FRadioItem) TurnSiblingsOff();
  MenuChanged(false);
}

void TMenuItem::TurnSiblingsOff() {
  if (!FParent) return;
  for (TMenuItem* s : FParent->FItems)
    if (s != this && s->FRadioItem && s->FGroupIndex == FGroupIndex && s->FChecked) {
      s->FChecked = false;
      s->MenuChanged(false);
    }
}

void TMenuItem::SetDefault(bool Value) {
  if (Value == FDefault) return;
  // One default item per menu.
  if (Value && FParent)
    for (TMenuItem* s : FParent->FItems)
      if (s != this && s->FDefault) {
        s->FDefault = false;
        s->MenuChanged(false);
      }
  FDefault = Value;
  MenuChanged(false);
}

void TMenuItem::SetEnabled(bool Value) {
  if (Value == FEnabled) return;
  FEnabled = Value;
  MenuChanged(false);
}

void TMenuItem::SetGroupIndex(Byte Value) {
  if (Value == FGroupIndex) return;
  FGroupIndex = Value;
  if (FChecked && FRadioItem) TurnSiblingsOff();
  MenuChanged(false);
}

void TMenuItem::SetRadioItem(bool Value) {
  if (Value == FRadioItem) return;
  FRadioItem = Value;
  if (FChecked && FRadioItem) TurnSiblingsOff();
  MenuChanged(false);
}

void TMenuItem::SetAutoCheck(bool Value) {
  if (Value == FAutoCheck) return;
  FAutoCheck = Value;
  MenuChanged(false);
}

void TMenuItem::SetVisible(bool Value) {
  if (Value == FVisible) return;
  FVisible = Value;
  MenuChanged(false);
}

void TMenuItem::SetShortCut(TShortCut Value) {
  if (Value == FShortCut) return;
  FShortCut = Value;
  MenuChanged(false);
}

void TMenuItem::SetImageIndex(int Value) {
  if (Value == FImageIndex) return;
  FImageIndex = Value;
  MenuChanged(false);
}

void TMenuItem::SetHint(const String& Value) {
  if (Value == FHint) return;
  FHint = Value;
  MenuChanged(false);
}

void TMenuItem::SetBreak(TMenuBreak Value) {
  if (Value == FBreak) return;
  FBreak = Value;
  MenuChanged(true);
}

void TMenuItem::SetSubMenuImages(TCustomImageList* Value) {
  if (Value == FSubMenuImages) return;
  if (FSubMenuImages) FSubMenuImages->RemoveFreeNotification(this);
  FSubMenuImages = Value;
  if (Value) Value->FreeNotification(this);
  MenuChanged(true);
}

// ---------------------------------------------------------------- actions

TBasicAction* TMenuItem::Action() const { return FActionLink ? FActionLink->Action() : nullptr; }

void TMenuItem::SetAction(TBasicAction* Value) {
  if (Value == Action()) return;
  if (!Value) {
    FActionLink.reset();
    return;
  }
  if (!FActionLink) FActionLink = std::make_unique<TMenuActionLink>(this);
  FActionLink->SetAction(Value);
  FActionLink->OnChange = TNotifyEvent::Lambda([this](TObject* s) { ActionChange(s, false); });
  ActionChange(Value, ComponentState().Contains(csLoading));
  Value->FreeNotification(this);
}

void TMenuItem::ActionChange(TObject* Sender, bool CheckDefaults) {
  if (!FActionLink || !Sender || Sender != FActionLink->Action()) return;
  FActionLink->ShowAction(CheckDefaults);
  // A radio group and the automatic check are the item's own ways of showing Checked.
  if (auto* a = dynamic_cast<TCustomAction*>(Sender)) {
    if (!CheckDefaults || FGroupIndex == 0) SetGroupIndex(static_cast<Byte>(a->GroupIndex()));
    if (!CheckDefaults || !FAutoCheck) SetAutoCheck(a->AutoCheck());
  }
}

void TMenuItem::Loaded() {
  TComponent::Loaded();
  if (TBasicAction* a = Action()) ActionChange(a, true);
}

void TMenuItem::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FSubMenuImages) {
    FSubMenuImages = nullptr;
    MenuChanged(true);
  }
  if (FActionLink && AComponent == FActionLink->Action()) FActionLink.reset();
}

// ---------------------------------------------------------------- changes and streaming

void TMenuItem::MenuChanged(bool Rebuild) {
  if (!Rebuild) UpdateQtAction();
  DoChange(this, Rebuild);
}

void TMenuItem::DoChange(TMenuItem* Source, bool Rebuild) {
  OnChange(this, Source, Rebuild);
  if (FParent) FParent->DoChange(Source, Rebuild);
  else if (FMenu) FMenu->MenuChanged(FMenu, Source, Rebuild);
}

void TMenuItem::UpdateQtAction() {
  if (FShownAs && FShownAs->Action) TMenuQt::Apply(FShownAs->Action, this);
}

void TMenuItem::ClearQtAction() { TMenuQt::Forget(this); }

TComponent* TMenuItem::GetParentComponent() const {
  if (FParent && FParent->FMenu) return FParent->FMenu;
  return FParent;
}

void TMenuItem::SetParentComponent(TComponent* Value) {
  if (FParent) FParent->Remove(this);
  if (auto* m = dynamic_cast<TMenu*>(Value)) m->Items()->Add(this);
  else if (auto* p = dynamic_cast<TMenuItem*>(Value)) p->Add(this);
}

void TMenuItem::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
  for (TMenuItem* it : std::vector<TMenuItem*>(FItems))
    if (it->Owner() == Root) Proc(it);
}

void TMenuItem::SetChildOrder(TComponent* Child, int Order) {
  if (auto* it = dynamic_cast<TMenuItem*>(Child); it && it->FParent == this) it->SetMenuIndex(Order);
}

// ================================================================ TMenuActionLink

bool TMenuActionLink::ClientValue(TActionLinkProp Prop, Variant& Value) const {
  switch (Prop) {
    case alpCaption: Value = FClient->Caption(); return true;
    case alpChecked: Value = FClient->Checked(); return true;
    case alpEnabled: Value = FClient->Enabled(); return true;
    case alpHelpContext: Value = FClient->HelpContext(); return true;
    case alpHint: Value = FClient->Hint(); return true;
    case alpImageIndex: Value = FClient->ImageIndex(); return true;
    case alpShortCut: Value = static_cast<int>(FClient->ShortCut()); return true;
    case alpVisible: Value = FClient->Visible(); return true;
  }
  return false;
}

void TMenuActionLink::SetClientValue(TActionLinkProp Prop, const Variant& Value) {
  switch (Prop) {
    case alpCaption: FClient->SetCaption(VarToStr(Value)); break;
    case alpChecked: FClient->SetChecked(Value.AsBoolean()); break;
    case alpEnabled: FClient->SetEnabled(Value.AsBoolean()); break;
    case alpHelpContext: FClient->SetHelpContext(Value.AsInteger()); break;
    case alpHint: FClient->SetHint(VarToStr(Value)); break;
    case alpImageIndex: FClient->SetImageIndex(Value.AsInteger()); break;
    case alpShortCut: FClient->SetShortCut(static_cast<TShortCut>(Value.AsInteger())); break;
    case alpVisible: FClient->SetVisible(Value.AsBoolean()); break;
  }
}

// ================================================================ TMenu

KELM_PUBLISH(TMenu) { Published(b); }

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), FImageChangeLink(std::make_unique<TChangeLink>()) {
  FItems = new TMenuItem(this);
  FItems->FMenu = this;
  FImageChangeLink->SetOnChange(TNotifyEvent::Lambda([this](TObject*) { MenuChanged(this, nullptr, true); }));
}

TMenu::~TMenu() {
  SetImages(nullptr);
  // The root goes now, while the menu can still hear about it going.
  FItems->FMenu = nullptr;
  delete FItems;
}

void TMenu::SetImages(TCustomImageList* Value) {
  if (!SwapImageList(FImages, Value, FImageChangeLink.get(), this)) return;
  if (FItems && FItems->FMenu) MenuChanged(this, nullptr, true);
}

namespace {

TMenuItem* FindIn(TMenuItem* parent, const std::function<bool(TMenuItem*)>& pred, bool visibleOnly) {
  for (int i = 0; i < parent->Count(); ++i) {
    TMenuItem* it = parent->Items(i);
    if (visibleOnly && !it->Visible()) continue;
    if (pred(it)) return it;
    if (TMenuItem* r = FindIn(it, pred, visibleOnly)) return r;
  }
  return nullptr;
}

}  // namespace

TMenuItem* TMenu::FindItem(UINT Command) const {
  return FindIn(FItems, [&](TMenuItem* it) { return it->Command() == Command; }, false);
}

TMenuItem* TMenu::FindShortCut(TShortCut ShortCut) const {
  if (ShortCut == 0) return nullptr;
  // Hidden items, or items under a hidden parent, cannot be reached, by key neither.
  return FindIn(FItems, [&](TMenuItem* it) { return it->ShortCut() == ShortCut && it->Count() == 0; }, true);
}

bool TMenu::IsShortCut(TMessage& KeyMessage) {
  TMenuItem* it = FindShortCut(ShortCutFromMessage(KeyMessage));
  if (!it) return false;
  for (TMenuItem* p = it; p; p = p->Parent()) p->InitiateAction();
  for (TMenuItem* p = it; p && p != FItems; p = p->Parent())
    if (!p->Enabled() || !p->Visible()) return false;
  it->Click();
  return true;
}

bool TMenu::DispatchCommand(UINT Command) {
  TMenuItem* it = FindItem(Command);
  if (!it) return false;
  it->Click();
  return true;
}

void TMenu::GetChildren(const TGetChildProc& Proc, TComponent* Root) { FItems->GetChildren(Proc, Root); }

void TMenu::SetChildOrder(TComponent* Child, int Order) { FItems->SetChildOrder(Child, Order); }

void TMenu::MenuChanged(TObject*, TMenuItem*, bool) {}

void TMenu::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FImages) {
    FImages = nullptr;
    MenuChanged(this, nullptr, true);
  }
}

void TMenu::Loaded() {
  TComponent::Loaded();
  MenuChanged(this, nullptr, true);
}

// ================================================================ TMainMenu

// The bar shown on the form, kept as wide as the form's window.
struct TMainMenu::TBar {
  QPointer<TMenuBarWidget> Bar;
  QPointer<QObject> Sizer;
  bool RebuildPending = false;
};

namespace {

// Keeps a menu bar as wide as the window it lies on.
class TBarSizer : public QObject {
public:
  TBarSizer(QMenuBar* bar, QWidget* host) : QObject(bar), FBar(bar), FHost(host) { host->installEventFilter(this); }
  ~TBarSizer() override {
    if (FHost) FHost->removeEventFilter(this);
  }
  void Fit() {
    if (FBar && FHost) FBar->setGeometry(0, 0, FHost->width(), FBar->sizeHint().height());
  }

protected:
  bool eventFilter(QObject* o, QEvent* e) override {
    if (o == FHost && e->type() == QEvent::Resize) Fit();
    return false;
  }

private:
  QPointer<QMenuBar> FBar;
  QPointer<QWidget> FHost;
};

}  // namespace

KELM_PUBLISH(TMainMenu) { Published(b); }

TMainMenu::TMainMenu(TComponent* AOwner) : TMenu(AOwner), FBar(std::make_unique<TBar>()) {
  // A form given this menu at run time shows it from the next idle time on.
  if (Application) Application->AddIdleHandler(this, [this] { UpdateForm(); });
}

TMainMenu::~TMainMenu() {
  if (Application) Application->RemoveIdleHandler(this);
  DetachBar();
}

TMenuBarWidget* TMainMenu::MenuBar() const { return FBar->Bar; }

void TMainMenu::UpdateForm() {
  // Once read, a menu can show: its form shows it from its own Loaded, before the menu's runs.
  if (ComponentState().Contains(csReading) || ComponentState().Contains(csDestroying)) return;
  TCustomForm* want = nullptr;
  if (auto* f = dynamic_cast<TCustomForm*>(Owner()); f && f->MenuComponent() == this) want = f;
  if (!want && Screen)
    for (int i = 0; i < Screen->CustomFormCount() && !want; ++i)
      if (Screen->CustomForms(i)->MenuComponent() == this) want = Screen->CustomForms(i);
  if (want && want->ComponentState().Contains(csDestroying)) want = nullptr;
  bool shown = false;
  if (FForm && FBar->Bar)
    shown = static_cast<TControlWidget*>(gui_glue::TAccess::Widget(FForm))->MenuBar == FBar->Bar;
  if (want == FForm && (shown || !want)) return;
  DetachBar();
  if (!want) return;
  FForm = want;
  FForm->FreeNotification(this);
  auto* bar = new TMenuBarWidget();
  bar->setNativeMenuBar(false);
  FBar->Bar = bar;
  RebuildBar();
  gui_glue::SetFormMenuBar(FForm, bar);
  auto* sizer = new TBarSizer(bar, gui_glue::TAccess::Widget(FForm));
  FBar->Sizer = sizer;
  sizer->Fit();
}

void TMainMenu::DetachBar() {
  QMenuBar* bar = FBar->Bar;
  if (FForm) {
    auto* w = static_cast<TControlWidget*>(gui_glue::TAccess::Widget(FForm));
    if (bar && w && w->MenuBar == bar) {
      // A form on its way out needs no new frame.
      if (FForm->ComponentState().Contains(csDestroying)) w->MenuBar = nullptr;
      else gui_glue::SetFormMenuBar(FForm, nullptr);
    }
    FForm->RemoveFreeNotification(this);
    FForm = nullptr;
  }
  FBar->Bar = nullptr;
  delete bar;
}

void TMainMenu::RebuildBar() {
  QMenuBar* bar = FBar->Bar;
  if (!bar) return;
  // Not under an open menu of this bar: the rebuild waits until it has closed.
  if (QWidget* popup = QApplication::activePopupWidget(); popup && bar->isAncestorOf(popup)) {
    if (!FBar->RebuildPending) {
      FBar->RebuildPending = true;
      QTimer::singleShot(50, bar, [this] {
        FBar->RebuildPending = false;
        RebuildBar();
      });
    }
    return;
  }
  int oldHeight = bar->sizeHint().height();
  TMenuQt::DropSubMenus(bar);
  bar->clear();
  TMenuItem* root = Items();
  for (int i = 0; i < root->Count(); ++i) {
    TMenuItem* it = root->Items(i);
    if (it->IsLine()) continue;
    QAction* a;
    if (it->Count() > 0) {
      QMenu* sub = TMenuQt::SubMenu(bar, it);
      sub->setTitle(ToQString(it->Caption()));
      a = bar->addMenu(sub);
    } else {
      a = bar->addAction(QString());
      TMenuQt::Connect(a, it);
    }
    TMenuQt::Bind(a, it);
    TMenuQt::Apply(a, it);
  }
  if (auto* sizer = static_cast<TBarSizer*>(FBar->Sizer.data())) sizer->Fit();
  if (FForm && bar->sizeHint().height() != oldHeight) FForm->FrameChanged();
}

void TMainMenu::MenuChanged(TObject* Sender, TMenuItem* Source, bool Rebuild) {
  if (ComponentState().Contains(csLoading) || ComponentState().Contains(csDestroying)) return;
  if (!FForm) {
    UpdateForm();
    return;
  }
  if (Rebuild && (!Source || Source == Items() || Source->Parent() == Items())) RebuildBar();
}

void TMainMenu::Loaded() {
  TMenu::Loaded();
  UpdateForm();
}

void TMainMenu::Notification(TComponent* AComponent, TOperation Operation) {
  TMenu::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FForm) {
    // The form's window took the bar with it, or is about to.
    FForm = nullptr;
    if (QMenuBar* bar = FBar->Bar) {
      FBar->Bar = nullptr;
      bar->hide();
      bar->deleteLater();
    }
  }
}

// ================================================================ TPopupMenu

KELM_PUBLISH(TPopupMenu) { Published(b); }

TPopupMenu::TPopupMenu(TComponent* AOwner) : TMenu(AOwner) {}

TPopupMenu::~TPopupMenu() {
  if (FShown) FShown->close();
}

void TPopupMenu::SetPopupComponent(TComponent* Value) {
  if (Value == FPopupComponent) return;
  if (FPopupComponent) FPopupComponent->RemoveFreeNotification(this);
  FPopupComponent = Value;
  if (Value) Value->FreeNotification(this);
}

void TPopupMenu::DoPopup(TObject* Sender) { OnPopup(Sender); }

void TPopupMenu::Popup(int X, int Y) {
  if (FShown) return;
  FPopupPoint = {X, Y};
  DoPopup(this);
  TPopupQMenu menu;
  menu.setSeparatorsCollapsible(false);
  TMenuQt::Fill(&menu, Items());
  if (!TMenuQt::HasVisibleEntries(&menu)) return;
  QSize size = menu.sizeHint();
  int x = X;
  if (FAlignment == paRight) x -= size.width();
  else if (FAlignment == paCenter) x -= size.width() / 2;
  gui_glue::CancelCapture();
  FShown = &menu;
  menu.exec(QPoint(x, Y));
  FShown = nullptr;
}

void TPopupMenu::PopupAt(TControl* Control, int X, int Y) {
  SetPopupComponent(Control);
  Popup(X, Y);
}

void TPopupMenu::CloseMenu() {
  if (FShown) FShown->close();
}

TPopupQMenu* TPopupMenu::ShownMenu() const { return FShown; }

void TPopupMenu::Notification(TComponent* AComponent, TOperation Operation) {
  TMenu::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FPopupComponent) FPopupComponent = nullptr;
}

// ================================================================ builders

TMenuItem* NewItem(const String& ACaption, TShortCut AShortCut, bool AChecked, bool AEnabled,
                   const TNotifyEvent& AOnClick, int HelpContext, const String& AName) {
  auto* it = new TMenuItem(nullptr);
  it->SetName(AName);
  it->SetCaption(ACaption);
  it->SetShortCut(AShortCut);
  it->SetChecked(AChecked);
  it->SetEnabled(AEnabled);
  it->OnClick = AOnClick;
  it->SetHelpContext(HelpContext);
  return it;
}

TMenuItem* NewLine() {
  auto* it = new TMenuItem(nullptr);
  it->SetCaption("-");
  return it;
}

TMenuItem* NewSubMenu(const String& ACaption, int HelpContext, const String& AName,
                      const std::vector<TMenuItem*>& Items, bool AEnabled) {
  auto* it = new TMenuItem(nullptr);
  it->SetName(AName);
  it->SetCaption(ACaption);
  it->SetHelpContext(HelpContext);
  it->SetEnabled(AEnabled);
  it->Add(Items);
  return it;
}
