#pragma once
// Menus: shortcut keys and their text forms, menu items in a tree, the main menu of a form
// (a menu bar above its client area) and popup menus.
//
// A menu item keeps its own state (caption with "&" accelerators, "-" for a separator,
// checked, radio group, default, enabled, visible, shortcut, image); the Qt menus that show it
// are built from that state when they open, so items may be changed, added and removed at any
// time. Choosing an item posts WM_COMMAND to the menus' command window; the item's Click runs
// from the message loop, after the menu has closed, where exceptions are handled like those
// of any other message.
// Declares TMenuItem, TMenuActionLink, TMenu, TMainMenu and TPopupMenu.
#include "gui/Controls.h"
#include "gui/ImgList.h"

#include <memory>
#include <vector>

class TMenu;
class TMenuItem;
class TMenuActionLink;
class TMenuBarWidget;  // private to platform/gui (Menus_p.h)
class TPopupQMenu;

// ================================================================ shortcuts

// A key with its shift bits: scShift, scCtrl, scAlt over the virtual key in the low byte.
using TShortCut = Word;
constexpr TShortCut scNone = 0, scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000;

TShortCut ShortCut(Word Key, TShiftState Shift);
void ShortCutToKey(TShortCut ShortCut, Word& Key, TShiftState& Shift);
// "Ctrl+Q", "F4", "Shift+Del", "Ctrl+Alt+Enter"; '' for scNone or a key without a name.
String ShortCutToText(TShortCut ShortCut);
// The reverse, modifier names and key names without regard to case; 0 for text that names
// no shortcut.
TShortCut TextToShortCut(const String& Text);
// The shortcut a CN_KEYDOWN / WM_KEYDOWN message stands for (the shift state as tracked).
TShortCut ShortCutFromMessage(const TMessage& KeyMessage);

// ================================================================ menu items

KELM_ENUM(TMenuBreak, mbNone, mbBreak, mbBarBreak)
KELM_ENUM(TPopupAlignment, paLeft, paRight, paCenter)
KELM_ENUM(TTrackButton, tbRightButton, tbLeftButton)
KELM_ENUM(TMenuItemAutoFlag, maAutomatic, maManual, maParent)
using TMenuAutoFlag = TMenuItemAutoFlag;

KELM_EVENT(TMenuChangeEvent, void(TObject* Sender, TMenuItem* Source, bool Rebuild));

class TMenuItem : public TComponent {
  KELM_CLASS(TMenuItem, TComponent)
  template <class B> static void Published(B& b) {
    b.Prop("Action", &TMenuItem::Action, &TMenuItem::SetAction);
    b.Prop("AutoCheck", &TMenuItem::AutoCheck, &TMenuItem::SetAutoCheck).Default(false);
    b.Prop("Break", &TMenuItem::Break, &TMenuItem::SetBreak).Default(mbNone);
    b.Prop("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption);
    b.Prop("Checked", &TMenuItem::Checked, &TMenuItem::SetChecked).Default(false);
    b.Prop("SubMenuImages", &TMenuItem::SubMenuImages, &TMenuItem::SetSubMenuImages);
    b.Prop("Default", &TMenuItem::Default, &TMenuItem::SetDefault).Default(false);
    b.Prop("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled).Default(true);
    b.Prop("GroupIndex", &TMenuItem::GroupIndex, &TMenuItem::SetGroupIndex).Default(0);
    b.Prop("HelpContext", &TMenuItem::HelpContext, &TMenuItem::SetHelpContext).Default(0);
    b.Prop("Hint", &TMenuItem::Hint, &TMenuItem::SetHint);
    b.Prop("ImageIndex", &TMenuItem::ImageIndex, &TMenuItem::SetImageIndex).Default(-1);
    b.Prop("RadioItem", &TMenuItem::RadioItem, &TMenuItem::SetRadioItem).Default(false);
    b.Prop("ShortCut", &TMenuItem::ShortCut, &TMenuItem::SetShortCut).Type("TShortCut").Default(0);
    b.Prop("Visible", &TMenuItem::Visible, &TMenuItem::SetVisible).Default(true);
    b.Prop("OnClick", &TMenuItem::OnClick, &TMenuItem::OnClick);
  }
public:
  explicit TMenuItem(TComponent* AOwner);
  // Frees the sub-items too and leaves its parent.
  ~TMenuItem() override;

  // ---- the tree
  int Count() const { return static_cast<int>(FItems.size()); }
  // EMenuError "Menu index out of range" for a bad index.
  TMenuItem* Items(int Index) const;
  // EMenuError "Menu inserted twice" for an item that already has a parent.
  void Add(TMenuItem* Item);
  void Add(const std::vector<TMenuItem*>& AItems);
  void Insert(int Index, TMenuItem* Item);
  // Takes the item out of the tree without freeing it.
  void Delete(int Index);
  void Remove(TMenuItem* Item);
  // Frees every sub-item.
  void Clear();
  int IndexOf(const TMenuItem* Item) const;
  // The sub-item whose caption without accelerators matches, without regard to case.
  TMenuItem* Find(const String& ACaption) const;
  TMenuItem* Parent() const { return FParent; }
  // The menu at the root of the tree (nullptr for a free-standing tree).
  TMenu* GetParentMenu() const;
  int MenuIndex() const;
  void SetMenuIndex(int Value);
  bool IsLine() const { return FCaption == "-"; }
  // The WM_COMMAND identifier that stands for this item while it exists.
  UINT Command() const { return FCommand; }

  // Runs the item as a choice of the user would: AutoCheck toggles, then its action or its
  // OnClick. Nothing happens for a disabled item.
  virtual void Click();
  // Lets the item's action update the item (called before the item is shown or used).
  void InitiateAction();

  // ---- published
  const String& Caption() const { return FCaption; }
  void SetCaption(const String& Value);
  bool Checked() const { return FChecked; }
  // A radio item checked unchecks the radio items of its group among its siblings.
  void SetChecked(bool Value);
  bool Default() const { return FDefault; }
  void SetDefault(bool Value);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  Byte GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(Byte Value);
  bool RadioItem() const { return FRadioItem; }
  void SetRadioItem(bool Value);
  bool AutoCheck() const { return FAutoCheck; }
  void SetAutoCheck(bool Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  TShortCut ShortCut() const { return FShortCut; }
  void SetShortCut(TShortCut Value);
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int Value);
  const String& Hint() const { return FHint; }
  void SetHint(const String& Value);
  int HelpContext() const { return FHelpContext; }
  void SetHelpContext(int Value) { FHelpContext = Value; }
  TMenuBreak Break() const { return FBreak; }
  void SetBreak(TMenuBreak Value);
  // Images of the sub-items (else the menu's Images).
  TCustomImageList* SubMenuImages() const { return FSubMenuImages; }
  void SetSubMenuImages(TCustomImageList* Value);
  TBasicAction* Action() const;
  void SetAction(TBasicAction* Value);
  TMenuActionLink* ActionLink() const { return FActionLink.get(); }

  TNotifyEvent OnClick;
  // Told about every change of this item or below it (the menu listens on its root).
  TMenuChangeEvent OnChange;

  // ---- streaming: sub-items are written inside their parent
  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* Value) override;
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
  void SetChildOrder(TComponent* Child, int Order) override;

  // The images this item's image index refers to.
  TCustomImageList* GetImageList() const;

protected:
  friend class TMenu;
  friend class TMenuActionLink;
  virtual void ActionChange(TObject* Sender, bool CheckDefaults);
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  // Passes a change up to the root; Rebuild when the structure (not only a state) changed.
  void MenuChanged(bool Rebuild);

private:
  void DoChange(TMenuItem* Source, bool Rebuild);
  void TurnSiblingsOff();
  void UpdateQtAction();
  void ClearQtAction();

  std::vector<TMenuItem*> FItems;
  TMenuItem* FParent = nullptr;
  TMenu* FMenu = nullptr;  // set on the root item of a menu
  String FCaption;
  bool FChecked = false, FDefault = false, FEnabled = true, FRadioItem = false, FAutoCheck = false;
  bool FVisible = true;
  Byte FGroupIndex = 0;
  TShortCut FShortCut = 0;
  int FImageIndex = -1;
  String FHint;
  int FHelpContext = 0;
  TMenuBreak FBreak = mbNone;
  TCustomImageList* FSubMenuImages = nullptr;
  std::unique_ptr<TMenuActionLink> FActionLink;
  UINT FCommand = 0;
  // What shows this item while a menu built from it exists (private to Menus.cpp).
  struct TShown;
  std::unique_ptr<TShown> FShownAs;
  friend struct TMenuQt;
};

// A menu item's view of its action: the item has every value an action shows.
class TMenuActionLink : public TBasicActionLink {
public:
  explicit TMenuActionLink(TMenuItem* AClient) : TBasicActionLink(AClient), FClient(AClient) {}
  TMenuItem* Client() const { return FClient; }
  bool ClientValue(TActionLinkProp Prop, Variant& Value) const override;
  void SetClientValue(TActionLinkProp Prop, const Variant& Value) override;
  TNotifyEvent* ClientOnClick() override { return &FClient->OnClick; }

private:
  TMenuItem* FClient;
};

// ================================================================ menus

class TMenu : public TComponent {
  KELM_CLASS(TMenu, TComponent)
  template <class B> static void Published(B& b) {
    b.Prop("AutoHotkeys", &TMenu::AutoHotkeys, &TMenu::SetAutoHotkeys).Type("TMenuAutoFlag").Default(maAutomatic);
    b.Prop("BiDiMode", &TMenu::BiDiMode, &TMenu::SetBiDiMode).Default(bdLeftToRight);
    b.Prop("Images", &TMenu::Images, &TMenu::SetImages);
    b.Prop("OwnerDraw", &TMenu::OwnerDraw, &TMenu::SetOwnerDraw).Default(false);
  }
public:
  explicit TMenu(TComponent* AOwner);
  ~TMenu() override;

  // The invisible root item; the menu's entries are its sub-items.
  TMenuItem* Items() const { return FItems; }
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* Value);
  bool OwnerDraw() const { return FOwnerDraw; }
  void SetOwnerDraw(bool Value) { FOwnerDraw = Value; }
  TMenuAutoFlag AutoHotkeys() const { return FAutoHotkeys; }
  void SetAutoHotkeys(TMenuAutoFlag Value) { FAutoHotkeys = Value; }
  TBiDiMode BiDiMode() const { return FBiDiMode; }
  void SetBiDiMode(TBiDiMode Value) { FBiDiMode = Value; }

  // The item with that command identifier, or with that shortcut (visible and enabled along
  // its whole chain), nullptr when none.
  TMenuItem* FindItem(UINT Command) const;
  TMenuItem* FindShortCut(TShortCut ShortCut) const;
  // Clicks the item whose shortcut the key message stands for; false when none takes it.
  bool IsShortCut(TMessage& KeyMessage);
  // Clicks the item of a command identifier; false when none has it.
  bool DispatchCommand(UINT Command);

  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
  void SetChildOrder(TComponent* Child, int Order) override;

protected:
  friend class TMenuItem;
  // A change of an item of this menu (Source nullptr: the menu as a whole).
  virtual void MenuChanged(TObject* Sender, TMenuItem* Source, bool Rebuild);
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Loaded() override;

private:
  TMenuItem* FItems;
  TCustomImageList* FImages = nullptr;
  std::unique_ptr<TChangeLink> FImageChangeLink;
  bool FOwnerDraw = false;
  TMenuAutoFlag FAutoHotkeys = maAutomatic;
  TBiDiMode FBiDiMode = bdLeftToRight;
};

// The menu bar of a form: the form whose Menu it is shows it above its client area.
class TMainMenu : public TMenu, public IShortCutHandler {
  KELM_CLASS(TMainMenu, TMenu)
  template <class B> static void Published(B& b) {
    b.Prop("AutoMerge", &TMainMenu::AutoMerge, &TMainMenu::SetAutoMerge).Default(false);
  }
public:
  explicit TMainMenu(TComponent* AOwner);
  ~TMainMenu() override;

  bool AutoMerge() const { return FAutoMerge; }
  void SetAutoMerge(bool Value) { FAutoMerge = Value; }
  bool HandleShortCut(TMessage& KeyMessage) override { return IsShortCut(KeyMessage); }

  // The form showing this menu, nullptr while none does. A form shows it once its Menu names
  // this menu; the menu looks when it is loaded, when it changes and at idle time.
  TCustomForm* Form() const { return FForm; }
  // Looks again at which form names this menu as its Menu and shows the bar there.
  void UpdateForm();
  // The bar as it is shown now (platform/gui and tests).
  TMenuBarWidget* MenuBar() const;

protected:
  void MenuChanged(TObject* Sender, TMenuItem* Source, bool Rebuild) override;
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  void RebuildBar();
  void DetachBar();

  bool FAutoMerge = false;
  TCustomForm* FForm = nullptr;
  struct TBar;
  std::unique_ptr<TBar> FBar;
};

// A menu shown at a screen point: for a control (its PopupMenu, on a right click or the
// context-menu key) or when code calls Popup.
class TPopupMenu : public TMenu, public IPopupMenu {
  KELM_CLASS(TPopupMenu, TMenu)
  template <class B> static void Published(B& b) {
    b.Prop("Alignment", &TPopupMenu::Alignment, &TPopupMenu::SetAlignment).Default(paLeft);
    b.Prop("AutoPopup", &TPopupMenu::AutoPopup, &TPopupMenu::SetAutoPopup).Default(true);
    b.Prop("HelpContext", &TPopupMenu::HelpContext, &TPopupMenu::SetHelpContext).Default(0);
    b.Prop("TrackButton", &TPopupMenu::TrackButton, &TPopupMenu::SetTrackButton).Default(tbRightButton);
    b.Prop("OnPopup", &TPopupMenu::OnPopup, &TPopupMenu::OnPopup);
  }
public:
  explicit TPopupMenu(TComponent* AOwner);
  ~TPopupMenu() override;

  // Shows the menu with its top-left (or, by Alignment, its top-right or top centre) at a
  // screen point and returns when it has closed; OnPopup runs first. A chosen item's Click
  // follows from the message loop.
  virtual void Popup(int X, int Y);
  TPoint PopupPoint() const { return FPopupPoint; }
  // The control the menu was last shown for (set by the control, or by code before Popup).
  TComponent* PopupComponent() const { return FPopupComponent; }
  void SetPopupComponent(TComponent* Value);
  // Closes the menu while it is shown.
  void CloseMenu();
  // The menu while it is shown, else nullptr (platform/gui and tests).
  TPopupQMenu* ShownMenu() const;

  TPopupAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TPopupAlignment Value) { FAlignment = Value; }
  bool AutoPopup() const { return FAutoPopup; }
  void SetAutoPopup(bool Value) { FAutoPopup = Value; }
  int HelpContext() const { return FHelpContext; }
  void SetHelpContext(int Value) { FHelpContext = Value; }
  TTrackButton TrackButton() const { return FTrackButton; }
  void SetTrackButton(TTrackButton Value) { FTrackButton = Value; }

  TNotifyEvent OnPopup;

  // What a control asks of its popup menu.
  bool PopupAutoPopup() const override { return FAutoPopup; }
  void PopupAt(TControl* PopupComponent, int X, int Y) override;
  bool PopupIsShortCut(TMessage& KeyMessage) override { return IsShortCut(KeyMessage); }

protected:
  virtual void DoPopup(TObject* Sender);
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  TPoint FPopupPoint;
  TComponent* FPopupComponent = nullptr;
  TPopupAlignment FAlignment = paLeft;
  bool FAutoPopup = true;
  int FHelpContext = 0;
  TTrackButton FTrackButton = tbRightButton;
  TPopupQMenu* FShown = nullptr;
};

KELM_EXCEPTION(EMenuError, Exception);

// Builders of menu trees in code.
TMenuItem* NewItem(const String& ACaption, TShortCut AShortCut, bool AChecked, bool AEnabled,
                   const TNotifyEvent& AOnClick, int HelpContext, const String& AName);
TMenuItem* NewLine();
TMenuItem* NewSubMenu(const String& ACaption, int HelpContext, const String& AName,
                      const std::vector<TMenuItem*>& Items, bool AEnabled = true);

// The caption as a menu shows it: accelerators kept as "&", and the shortcut's text after a
// tab (platform/gui and tests).
String MenuItemDisplayText(const TMenuItem* Item);
