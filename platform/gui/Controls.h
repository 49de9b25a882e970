#pragma once
// The control tree: TControl (bounds, alignment, visibility, text, font, colour, mouse
// events), TWinControl (a window of its own: children, focus, keys, a non-client frame),
// TCustomControl and TGraphicControl (painted on a canvas), mouse capture, dragging,
// cursors, hints and popups placed in screen coordinates.
//
// Every control receives Win32-style messages: Perform/SendMessage call WindowProc, which
// starts as WndProc; WndProc calls Dispatch, whose switch over message numbers calls the
// handlers of the class and passes the rest to the parent class's Dispatch, ending in
// DefaultHandler (the native model). A subclass handles a message by overriding Dispatch:
//
//   void TMyControl::Dispatch(TMessage& M) {
//     switch (M.Msg) {
//       case WM_GETDLGCODE: M.Result = DLGC_WANTARROWS; return;
//       case CM_FONTCHANGED: inherited::Dispatch(M); Invalidate(); return;  // "inherited" first
//     }
//     inherited::Dispatch(M);
//   }
#include "core/Component.h"
#include "gui/Graphics.h"
#include "gui/Messages.h"
#include "core/Types.h"
#include "core/Variant.h"

#include <memory>
#include <vector>

class TWinControl;
class TCustomForm;
class TControl;
class TPopupMenu;   // Menus.h
class TDragObject;
class TControlActionLink;
class TBasicAction;
class TControlWidget;
namespace gui_glue {
struct TAccess;
void DragTo(TPoint ScreenPos);
void FinishDrag(bool Drop);
}  // namespace gui_glue

// ================================================================ types

KELM_ENUM(TAlign, alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom)
using TAlignSet = TSet<TAlign>;
KELM_ENUM(TAnchorKind, akLeft, akTop, akRight, akBottom)
using TAnchors = TSet<TAnchorKind>;
KELM_ENUM(TMouseButton, mbLeft, mbRight, mbMiddle)
// ssShift = 1, ssAlt = 2, ssCtrl = 4 as bits.
KELM_ENUM(TShiftStateItem, ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble)
using TShiftState = TSet<TShiftStateItem>;
KELM_ENUM(TControlStyleItem, csAcceptsControls, csCaptureMouse, csDesignInteractive, csClickEvents, csFramed,
          csSetCaption, csOpaque, csDoubleClicks, csFixedWidth, csFixedHeight, csNoDesignVisible, csReplicatable,
          csNoStdEvents, csDisplayDragImage, csReflector, csActionClient, csMenuEvents, csNeedsBorderPaint,
          csParentBackground)
using TControlStyle = TSet<TControlStyleItem>;
KELM_ENUM(TControlStateItem, csLButtonDown, csClicked, csPalette, csReadingState, csAlignmentNeeded, csFocusing,
          csCreating, csPaintCopy, csCustomPaint, csDestroyingHandle, csDocking)
using TControlState = TSet<TControlStateItem>;
KELM_ENUM(TDragMode, dmManual, dmAutomatic)
KELM_ENUM(TDragState, dsDragEnter, dsDragLeave, dsDragMove)
KELM_ENUM(TDragKind, dkDrag, dkDock)
// Form border styles; controls with a border use the first two (TBorderStyle).
KELM_ENUM(TFormBorderStyle, bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin)
using TBorderStyle = TFormBorderStyle;
KELM_ENUM(TBevelCut, bvNone, bvLowered, bvRaised, bvSpace)
KELM_ENUM(TScrollStyle, ssNone, ssHorizontal, ssVertical, ssBoth)
KELM_ENUM(TImeMode, imDisable, imClose, imOpen, imDontCare, imSAlpha, imAlpha, imHira, imSKata, imKata,
          imChinese, imSHanguel, imHanguel)
KELM_ENUM(TBiDiMode, bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly)

using TCaption = String;
using TModalResult = int;
using TTabOrder = int;
using TCursor = SmallInt;

constexpr TCursor crDefault = 0, crNone = -1, crArrow = -2, crCross = -3, crIBeam = -4, crSize = -22,
                  crSizeNESW = -6, crSizeNS = -7, crSizeNWSE = -8, crSizeWE = -9, crUpArrow = -10,
                  crHourGlass = -11, crDrag = -12, crNoDrop = -13, crHSplit = -14, crVSplit = -15,
                  crMultiDrag = -16, crSQLWait = -17, crNo = -18, crAppStart = -19, crHelp = -20,
                  crHandPoint = -21, crSizeAll = -22;
bool CursorToIdent(Int64 Cursor, String& Ident);
bool IdentToCursor(const String& Ident, Int64& Cursor);
String CursorToString(TCursor Cursor);
TCursor StringToCursor(const String& S);

// A cursor image the layer can show; Screen.Cursors maps ids to these.
struct HCURSOR__;
using HCURSOR = HCURSOR__*;

// ================================================================ events

KELM_EVENT(TMouseEvent, void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y));
KELM_EVENT(TMouseMoveEvent, void(TObject* Sender, TShiftState Shift, int X, int Y));
KELM_EVENT(TKeyEvent, void(TObject* Sender, Word& Key, TShiftState Shift));
KELM_EVENT(TKeyPressEvent, void(TObject* Sender, Char& Key));
KELM_EVENT(TMouseWheelEvent, void(TObject* Sender, TShiftState Shift, int WheelDelta, TPoint MousePos, bool& Handled));
KELM_EVENT(TMouseWheelUpDownEvent, void(TObject* Sender, TShiftState Shift, TPoint MousePos, bool& Handled));
KELM_EVENT(TContextPopupEvent, void(TObject* Sender, TPoint MousePos, bool& Handled));
KELM_EVENT(TDragOverEvent, void(TObject* Sender, TObject* Source, int X, int Y, TDragState State, bool& Accept));
KELM_EVENT(TDragDropEvent, void(TObject* Sender, TObject* Source, int X, int Y));
KELM_EVENT(TStartDragEvent, void(TObject* Sender, TDragObject*& DragObject));
KELM_EVENT(TEndDragEvent, void(TObject* Sender, TObject* Target, int X, int Y));
// Docking is no service of this layer: the dock events are kept for layouts and never fire.
KELM_EVENT(TStartDockEvent, void(TObject* Sender, TDragObject*& DragObject));
KELM_EVENT(TCanResizeEvent, void(TObject* Sender, int& NewWidth, int& NewHeight, bool& Resize));

// Key state of key and mouse messages.
TShiftState KeysToShiftState(Word Keys);           // MK_ flags
TShiftState KeyDataToShiftState(LPARAM KeyData);   // key data plus the tracked Shift/Ctrl state
TShiftState KeyboardStateToShiftState();

// ================================================================ helpers of the tree

// The hint texts of "short|long".
String GetShortHint(const String& Hint);
String GetLongHint(const String& Hint);

// The form a control lies on (itself for a form), nullptr when it has none.
TCustomForm* GetParentForm(TControl* Control);
// The top-most control of the chain (a form or a parentless control).
TWinControl* GetTopParent(TControl* Control);

// Drops every "&" that marks an accelerator ("&&" gives "&"; a last "&" becomes "_").
String StripHotkey(const String& Text);
// True when Key is the accelerator character of Text ("&Save" and 's').
bool IsAccel(Char Key, const String& Text);

// ================================================================ size constraints

class TSizeConstraints : public TPersistent {
  KELM_CLASS(TSizeConstraints, TPersistent)
  template <class B> static void Published(B& b) {
    b.Prop("MaxHeight", &TSizeConstraints::MaxHeight, &TSizeConstraints::SetMaxHeight).Default(0);
    b.Prop("MaxWidth", &TSizeConstraints::MaxWidth, &TSizeConstraints::SetMaxWidth).Default(0);
    b.Prop("MinHeight", &TSizeConstraints::MinHeight, &TSizeConstraints::SetMinHeight).Default(0);
    b.Prop("MinWidth", &TSizeConstraints::MinWidth, &TSizeConstraints::SetMinWidth).Default(0);
  }
public:
  explicit TSizeConstraints(TControl* Control = nullptr) : FControl(Control) {}
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() const override;

  int MaxHeight() const { return FMaxHeight; }
  void SetMaxHeight(int v);
  int MaxWidth() const { return FMaxWidth; }
  void SetMaxWidth(int v);
  int MinHeight() const { return FMinHeight; }
  void SetMinHeight(int v);
  int MinWidth() const { return FMinWidth; }
  void SetMinWidth(int v);
  TNotifyEvent OnChange;

private:
  void Changed();
  TControl* FControl;
  int FMaxHeight = 0, FMaxWidth = 0, FMinHeight = 0, FMinWidth = 0;
};

// ================================================================ actions

// The root of actions: Execute runs OnExecute, Update runs OnUpdate. Clients link to an
// action through an action link and follow its changes.
class TBasicActionLink;

class TBasicAction : public TComponent {
  KELM_CLASS(TBasicAction, TComponent)
  template <class B> static void Published(B& b) {
    b.Prop("OnExecute", &TBasicAction::OnExecute, &TBasicAction::OnExecute);
    b.Prop("OnUpdate", &TBasicAction::OnUpdate, &TBasicAction::OnUpdate);
  }
public:
  explicit TBasicAction(TComponent* AOwner);
  ~TBasicAction() override;

  virtual bool Execute();  // true when OnExecute ran
  virtual bool Update();   // true when OnUpdate ran
  virtual bool HandlesTarget(TObject* Target) { return false; }
  virtual void ExecuteTarget(TObject* Target) {}
  virtual void UpdateTarget(TObject* Target) {}
  TComponent* ActionComponent() const { return FActionComponent; }
  void SetActionComponent(TComponent* v) { FActionComponent = v; }
  void RegisterChanges(TBasicActionLink* Link);
  void UnRegisterChanges(TBasicActionLink* Link);
  const std::vector<TBasicActionLink*>& Clients() const { return FClients; }

  TNotifyEvent OnExecute;
  TNotifyEvent OnUpdate;
  TNotifyEvent OnChange;

protected:
  virtual void Change();
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  std::vector<TBasicActionLink*> FClients;
  TComponent* FActionComponent = nullptr;
};

// The values an action shows on its clients, by the action's published property of that name.
enum TActionLinkProp { alpCaption, alpChecked, alpEnabled, alpHelpContext, alpHint, alpImageIndex, alpShortCut, alpVisible };

// A client's view of its action; every kind of client (controls, menu items) links through
// it the same way.
//
// - The action calls the Set* methods with a new value before it stores it: the value
//   reaches the client while the client still shows the action's old value (Is*Linked), so a
//   value the client was given of its own stays; Enabled and Visible reach it always.
// - ShowAction shows all the action's values on the client: when it is bound, after loading
//   (CheckDefaults: only where the client still shows its own default) and when the action
//   changed as a whole (Change, which runs OnChange with the action as Sender).
//
// The link reads the action through its published properties, so it serves any action
// class, and the client through ClientValue / SetClientValue, which a client kind implements
// for the values it has (a check box has Checked, a tool button Checked and ImageIndex).
class TBasicActionLink : public TObject {
public:
  explicit TBasicActionLink(TObject* AClient) : FClient(AClient) {}
  ~TBasicActionLink() override;

  TBasicAction* Action() const { return FAction; }
  void SetAction(TBasicAction* Value);
  virtual bool Execute(TComponent* AComponent = nullptr);
  virtual bool Update();
  virtual void Change();

  bool IsLinked(TActionLinkProp Prop) const;
  bool IsCaptionLinked() const { return IsLinked(alpCaption); }
  bool IsCheckedLinked() const { return IsLinked(alpChecked); }
  bool IsEnabledLinked() const { return IsLinked(alpEnabled); }
  bool IsHintLinked() const { return IsLinked(alpHint); }
  bool IsImageIndexLinked() const { return IsLinked(alpImageIndex); }
  bool IsShortCutLinked() const { return IsLinked(alpShortCut); }
  bool IsVisibleLinked() const { return IsLinked(alpVisible); }
  bool IsOnExecuteLinked() const;
  // A new value of the action, passed on while linked.
  void Pass(TActionLinkProp Prop, const Variant& Value);
  void SetCaption(const String& Value) { Pass(alpCaption, Value); }
  void SetChecked(bool Value) { Pass(alpChecked, Value); }
  void SetEnabled(bool Value) { Pass(alpEnabled, Value); }
  void SetHint(const String& Value) { Pass(alpHint, Value); }
  void SetImageIndex(int Value) { Pass(alpImageIndex, Value); }
  void SetShortCut(int Value) { Pass(alpShortCut, Value); }
  void SetVisible(bool Value) { Pass(alpVisible, Value); }
  void SetOnExecute(const TNotifyEvent& Value);
  void ShowAction(bool CheckDefaults);

  // ---- the client's side
  // The client's value, false when the client has no such value.
  virtual bool ClientValue(TActionLinkProp Prop, Variant& Value) const { return false; }
  // Shows a value on the client, whatever it showed before.
  virtual void SetClientValue(TActionLinkProp Prop, const Variant& Value) {}
  // The client's click handler, which runs the action's OnExecute.
  virtual TNotifyEvent* ClientOnClick() { return nullptr; }

  TNotifyEvent OnChange;

private:
  bool ActionValue(TActionLinkProp Prop, Variant& Value) const;
  TObject* FClient;
  TBasicAction* FAction = nullptr;
};

// The link of a control: it asks the control for its values (TControl::ActionClientValue).
class TControlActionLink : public TBasicActionLink {
public:
  explicit TControlActionLink(TControl* AClient);
  TControl* Client() const { return FClient; }
  bool ClientValue(TActionLinkProp Prop, Variant& Value) const override;
  void SetClientValue(TActionLinkProp Prop, const Variant& Value) override;
  TNotifyEvent* ClientOnClick() override;

private:
  TControl* FClient;
};

// ================================================================ popup menus

// What a control needs of its popup menu; the menus module's TPopupMenu implements it.
class IPopupMenu {
public:
  virtual ~IPopupMenu() = default;
  virtual bool PopupAutoPopup() const = 0;
  // Shows the menu at a screen point for the control.
  virtual void PopupAt(TControl* PopupComponent, int X, int Y) = 0;
  virtual bool PopupIsShortCut(TMessage& KeyMessage) = 0;
};

// What a form asks of menus and action lists when a key may be a shortcut.
class IShortCutHandler {
public:
  virtual ~IShortCutHandler() = default;
  virtual bool HandleShortCut(TMessage& KeyMessage) = 0;
};

// ================================================================ drag objects

class TDragObject : public TObject {
public:
  ~TDragObject() override = default;
  TPoint DragPos() const { return FDragPos; }
  TObject* DragTarget() const { return FDragTarget; }
  bool Dropped() const { return FDropped; }
  virtual TCursor GetDragCursor(bool Accepted, int X, int Y) { return Accepted ? crDrag : crNoDrop; }
  // The object the drag-over and drop events see as Source.
  virtual TObject* Source() { return this; }

private:
  friend class TControl;
  friend struct gui_glue::TAccess;
  friend void gui_glue::DragTo(TPoint);
  friend void gui_glue::FinishDrag(bool);
  TPoint FDragPos;
  TObject* FDragTarget = nullptr;
  bool FDropped = false;
};

// Drags a control: drag-over and drop events see the control itself as Source.
class TDragControlObject : public TDragObject {
public:
  explicit TDragControlObject(TControl* AControl) : FControl(AControl) {}
  TControl* Control() const { return FControl; }
  TCursor GetDragCursor(bool Accepted, int X, int Y) override;
  TObject* Source() override;

private:
  TControl* FControl;
};

// The drag in progress, nullptr when none.
TDragObject* CurrentDragObject();
// The control under a screen point: the windowless child there (disabled ones too with
// AllowDisabled), else the window; nullptr outside the application's windows.
TControl* FindDragTarget(TPoint Pos, bool AllowDisabled);

// ================================================================ TControl

struct THintInfo;

class TControl : public TComponent {
  KELM_CLASS(TControl, TComponent)
  template <class B> static void Published(B& b) {
    b.Prop("Left", &TControl::Left, &TControl::SetLeft);
    b.Prop("Top", &TControl::Top, &TControl::SetTop);
    b.Prop("Width", &TControl::Width, &TControl::SetWidth);
    b.Prop("Height", &TControl::Height, &TControl::SetHeight);
    b.Prop("Cursor", &TControl::Cursor, &TControl::SetCursor).Type("TCursor").Default(crDefault);
    b.Prop("Hint", &TControl::Hint, &TControl::SetHint);
    b.Prop("HelpContext", &TControl::HelpContext, &TControl::SetHelpContext).Default(0);
  }
  // Properties every control implements. A control class publishes, in its Published block,
  // those it shows in layouts, one by one or in the groups below, in the order layouts list
  // them; a class whose constructor sets another value declares its own default after them
  // (publishing a name again replaces it in place). A value equal to the default is not written.
  template <class B> static auto PublishAlign(B& b) { return b.Prop("Align", &TControl::Align, &TControl::SetAlign).Default(alNone); }
  template <class B> static auto PublishAnchors(B& b) { return b.Prop("Anchors", &TControl::Anchors, &TControl::SetAnchors).Default(TAnchors{akLeft, akTop}); }
  template <class B> static auto PublishAutoSize(B& b) { return b.Prop("AutoSize", &TControl::AutoSize, &TControl::SetAutoSize).Default(false); }
  template <class B> static auto PublishBiDiMode(B& b) { return b.Prop("BiDiMode", &TControl::BiDiMode, &TControl::SetBiDiMode).Default(bdLeftToRight); }
  template <class B> static auto PublishCaption(B& b) { return b.Prop("Caption", &TControl::Caption, &TControl::SetCaption); }
  template <class B> static auto PublishText(B& b) { return b.Prop("Text", &TControl::Text, &TControl::SetText); }
  template <class B> static auto PublishColor(B& b) { return b.Prop("Color", &TControl::Color, &TControl::SetColor).Type("TColor").NoDefault().StoredUnless(&TControl::ParentColor); }
  template <class B> static auto PublishConstraints(B& b) { return b.Prop("Constraints", &TControl::Constraints, &TControl::SetConstraints); }
  template <class B> static auto PublishCursor(B& b) { return b.Prop("Cursor", &TControl::Cursor, &TControl::SetCursor).Type("TCursor").Default(crDefault); }
  template <class B> static auto PublishDragCursor(B& b) { return b.Prop("DragCursor", &TControl::DragCursor, &TControl::SetDragCursor).Type("TCursor").Default(crDrag); }
  template <class B> static auto PublishDragMode(B& b) { return b.Prop("DragMode", &TControl::DragMode, &TControl::SetDragMode).Default(dmManual); }
  template <class B> static auto PublishDragKind(B& b) { return b.Prop("DragKind", &TControl::DragKind, &TControl::SetDragKind).Default(dkDrag); }
  template <class B> static auto PublishParentBiDiMode(B& b) { return b.Prop("ParentBiDiMode", &TControl::ParentBiDiMode, &TControl::SetParentBiDiMode).Default(true); }
  template <class B> static auto PublishEnabled(B& b) { return b.Prop("Enabled", &TControl::Enabled, &TControl::SetEnabled).Default(true); }
  template <class B> static auto PublishFont(B& b) { return b.Prop("Font", &TControl::Font, &TControl::SetFont).StoredUnless(&TControl::ParentFont); }
  template <class B> static auto PublishParentColor(B& b) { return b.Prop("ParentColor", &TControl::ParentColor, &TControl::SetParentColor).Default(true); }
  template <class B> static auto PublishParentFont(B& b) { return b.Prop("ParentFont", &TControl::ParentFont, &TControl::SetParentFont).Default(true); }
  template <class B> static auto PublishParentShowHint(B& b) { return b.Prop("ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint).Default(true); }
  template <class B> static auto PublishShowHint(B& b) { return b.Prop("ShowHint", &TControl::ShowHint, &TControl::SetShowHint).NoDefault().StoredUnless(&TControl::ParentShowHint); }
  template <class B> static auto PublishPopupMenu(B& b) { return b.Prop("PopupMenu", &TControl::PopupMenuComponent, &TControl::SetPopupMenuComponent).Type("TPopupMenu"); }
  template <class B> static auto PublishAction(B& b) { return b.Prop("Action", &TControl::Action, &TControl::SetAction); }
  template <class B> static auto PublishVisible(B& b) { return b.Prop("Visible", &TControl::Visible, &TControl::SetVisible).Default(true); }
  template <class B> static auto PublishClientHeight(B& b) { return b.Prop("ClientHeight", &TControl::ClientHeight, &TControl::SetClientHeight); }
  template <class B> static auto PublishClientWidth(B& b) { return b.Prop("ClientWidth", &TControl::ClientWidth, &TControl::SetClientWidth); }
  template <class B> static auto PublishOnClick(B& b) { return b.Prop("OnClick", &TControl::OnClick, &TControl::OnClick); }
  template <class B> static auto PublishOnDblClick(B& b) { return b.Prop("OnDblClick", &TControl::OnDblClick, &TControl::OnDblClick); }
  template <class B> static auto PublishOnMouseDown(B& b) { return b.Prop("OnMouseDown", &TControl::OnMouseDown, &TControl::OnMouseDown); }
  template <class B> static auto PublishOnMouseMove(B& b) { return b.Prop("OnMouseMove", &TControl::OnMouseMove, &TControl::OnMouseMove); }
  template <class B> static auto PublishOnMouseUp(B& b) { return b.Prop("OnMouseUp", &TControl::OnMouseUp, &TControl::OnMouseUp); }
  template <class B> static auto PublishOnMouseEnter(B& b) { return b.Prop("OnMouseEnter", &TControl::OnMouseEnter, &TControl::OnMouseEnter); }
  template <class B> static auto PublishOnMouseLeave(B& b) { return b.Prop("OnMouseLeave", &TControl::OnMouseLeave, &TControl::OnMouseLeave); }
  template <class B> static auto PublishOnResize(B& b) { return b.Prop("OnResize", &TControl::OnResize, &TControl::OnResize); }
  template <class B> static auto PublishOnContextPopup(B& b) { return b.Prop("OnContextPopup", &TControl::OnContextPopup, &TControl::OnContextPopup); }
  template <class B> static auto PublishOnCanResize(B& b) { return b.Prop("OnCanResize", &TControl::OnCanResize, &TControl::OnCanResize); }
  template <class B> static auto PublishOnDragDrop(B& b) { return b.Prop("OnDragDrop", &TControl::OnDragDrop, &TControl::OnDragDrop); }
  template <class B> static auto PublishOnDragOver(B& b) { return b.Prop("OnDragOver", &TControl::OnDragOver, &TControl::OnDragOver); }
  template <class B> static auto PublishOnEndDrag(B& b) { return b.Prop("OnEndDrag", &TControl::OnEndDrag, &TControl::OnEndDrag); }
  template <class B> static auto PublishOnStartDrag(B& b) { return b.Prop("OnStartDrag", &TControl::OnStartDrag, &TControl::OnStartDrag); }
  template <class B> static auto PublishOnEndDock(B& b) { return b.Prop("OnEndDock", &TControl::OnEndDock, &TControl::OnEndDock); }
  template <class B> static auto PublishOnStartDock(B& b) { return b.Prop("OnStartDock", &TControl::OnStartDock, &TControl::OnStartDock); }
  // Placement and state of every visual control.
  template <class B> static void PublishPlacement(B& b) {
    PublishAlign(b); PublishAnchors(b); PublishConstraints(b); PublishEnabled(b); PublishVisible(b);
    PublishShowHint(b); PublishParentShowHint(b); PublishPopupMenu(b); PublishDragCursor(b);
    PublishDragMode(b); PublishBiDiMode(b);
  }
  // Colours and font, each taken from the parent unless set.
  template <class B> static void PublishColors(B& b) {
    PublishColor(b); PublishParentColor(b); PublishFont(b); PublishParentFont(b);
  }
  // Mouse and drag events.
  template <class B> static void PublishMouseEvents(B& b) {
    PublishOnClick(b); PublishOnDblClick(b); PublishOnMouseDown(b); PublishOnMouseMove(b);
    PublishOnMouseUp(b); PublishOnMouseEnter(b); PublishOnMouseLeave(b); PublishOnContextPopup(b);
    PublishOnDragDrop(b); PublishOnDragOver(b); PublishOnEndDrag(b); PublishOnStartDrag(b);
  }
  // Size changes.
  template <class B> static void PublishResizeEvents(B& b) {
    PublishOnResize(b); PublishOnCanResize(b);
  }
public:
  explicit TControl(TComponent* AOwner);
  ~TControl() override;

  // ---- place in the tree
  TWinControl* Parent() const { return FParent; }
  virtual void SetParent(TWinControl* AParent);
  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* Value) override;

  // ---- bounds (parent client coordinates; a form's are screen coordinates)
  int Left() const { return FLeft; }
  void SetLeft(int v) { SetBounds(v, FTop, FWidth, FHeight); }
  int Top() const { return FTop; }
  void SetTop(int v) { SetBounds(FLeft, v, FWidth, FHeight); }
  int Width() const { return FWidth; }
  void SetWidth(int v) { SetBounds(FLeft, FTop, v, FHeight); }
  int Height() const { return FHeight; }
  void SetHeight(int v) { SetBounds(FLeft, FTop, FWidth, v); }
  virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
  TRect BoundsRect() const { return Bounds(FLeft, FTop, FWidth, FHeight); }
  void SetBoundsRect(const TRect& r) { SetBounds(r.Left, r.Top, r.Width(), r.Height()); }
  virtual TRect ClientRect() const;
  int ClientWidth() const { return ClientRect().Right; }
  void SetClientWidth(int v);
  int ClientHeight() const { return ClientRect().Bottom; }
  void SetClientHeight(int v);
  void SetClientSize(int w, int h);
  // The screen position of the client area's top-left corner.
  virtual TPoint ClientOrigin() const;
  TPoint ClientToScreen(TPoint p) const;
  TPoint ScreenToClient(TPoint p) const;
  // A client point of this control in the client coordinates of AParent (default: Parent).
  TPoint ClientToParent(TPoint p, TWinControl* AParent = nullptr) const;
  TPoint ParentToClient(TPoint p, TWinControl* AParent = nullptr) const;

  TAlign Align() const { return FAlign; }
  void SetAlign(TAlign v);
  TAnchors Anchors() const { return FAnchors; }
  void SetAnchors(TAnchors v);
  TSizeConstraints* Constraints() const { return FConstraints.get(); }
  void SetConstraints(TSizeConstraints* v) { FConstraints->Assign(v); }
  bool AutoSize() const { return FAutoSize; }
  virtual void SetAutoSize(bool v);

  // ---- state
  bool Visible() const { return FVisible; }
  virtual void SetVisible(bool v);
  void Show();
  void Hide();
  bool Enabled() const { return FEnabled; }
  virtual void SetEnabled(bool v);
  // Read through WM_GETTEXTLENGTH / WM_GETTEXT, written through WM_SETTEXT only when the text
  // differs, followed by CM_TEXTCHANGED.
  TCaption Caption() const { return GetText(); }
  void SetCaption(const TCaption& v) { SetText(v); }
  TCaption Text() const { return GetText(); }
  void SetText(const TCaption& v);

  TFont* Font() const { return FFont.get(); }
  void SetFont(TFont* v) { FFont->Assign(v); }
  bool ParentFont() const { return FParentFont; }
  void SetParentFont(bool v);
  TColor Color() const { return FColor; }
  void SetColor(TColor v);
  bool ParentColor() const { return FParentColor; }
  void SetParentColor(bool v);
  String Hint() const { return FHint; }
  void SetHint(const String& v) { FHint = v; }
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool v);
  bool ParentShowHint() const { return FParentShowHint; }
  void SetParentShowHint(bool v);
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor v);
  TCursor DragCursor() const { return FDragCursor; }
  void SetDragCursor(TCursor v) { FDragCursor = v; }
  TDragMode DragMode() const { return FDragMode; }
  virtual void SetDragMode(TDragMode v) { FDragMode = v; }
  // Only dragging is served; the kind is kept for layouts.
  TDragKind DragKind() const { return FDragKind; }
  void SetDragKind(TDragKind v) { FDragKind = v; }
  int HelpContext() const { return FHelpContext; }
  void SetHelpContext(int v) { FHelpContext = v; }
  TBiDiMode BiDiMode() const { return FBiDiMode; }
  // Setting it stops following the parent.
  void SetBiDiMode(TBiDiMode v);
  // The control takes its parent's BiDiMode while this is set.
  bool ParentBiDiMode() const { return FParentBiDiMode; }
  void SetParentBiDiMode(bool v);
  // The alignment of the control's content, as right-to-left reading would mirror it.
  virtual TAlignment GetControlsAlignment() const { return taLeftJustify; }

  // The popup menu (a TPopupMenu of the menus module, or nullptr).
  template <class M = TPopupMenu> M* PopupMenu() const { return dynamic_cast<M*>(FPopupMenu); }
  template <class M> void SetPopupMenu(M* Menu) { SetPopupMenuComponent(Menu); }
  TComponent* PopupMenuComponent() const { return FPopupMenu; }
  void SetPopupMenuComponent(TComponent* Menu);

  TBasicAction* Action() const;
  void SetAction(TBasicAction* Value);
  TControlActionLink* ActionLink() const { return FActionLink.get(); }

  TControlStyle ControlStyle() const { return FControlStyle; }
  void SetControlStyle(TControlStyle v) { FControlStyle = v; }
  TControlState ControlState() const { return FControlState; }
  void SetControlState(TControlState v) { FControlState = v; }
  bool MouseCapture() const;
  // The control lays itself out right to left: BiDiMode bdRightToLeft under a Middle-East
  // system locale.
  bool UseRightToLeftAlignment() const;
  void SetMouseCapture(bool v);

  // ---- messages
  TWndMethod WindowProc;  // replaceable; starts as WndProc
  // Whether WindowProc is still the control's own (nobody has put a procedure in front of
  // it, or the one who did has given the old one back).
  bool WindowProcIsOwn() const;
  // Puts the control's own procedure back, whatever stands in front of it.
  void RestoreWindowProc();
  LRESULT Perform(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0);
  virtual void WndProc(TMessage& Message);
  virtual void Dispatch(TMessage& Message);
  virtual void DefaultHandler(TMessage& Message);

  // ---- painting and order
  virtual void Invalidate();
  virtual void Update();
  virtual void Repaint();
  void Refresh() { Repaint(); }
  void BringToFront() { SetZOrder(true); }
  void SendToBack() { SetZOrder(false); }
  virtual void SetZOrder(bool TopMost);

  // ---- dragging
  void BeginDrag(bool Immediate, int Threshold = -1);
  void EndDrag(bool Drop);
  bool Dragging() const;
  virtual void DragDrop(TObject* Source, int X, int Y);
  virtual void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept);

  // ---- actions, loading
  virtual void InitiateAction();
  void Loaded() override;

  // ---- events
  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  TNotifyEvent OnResize;
  TContextPopupEvent OnContextPopup;
  TCanResizeEvent OnCanResize;
  TDragDropEvent OnDragDrop;
  TDragOverEvent OnDragOver;
  TEndDragEvent OnEndDrag;
  TStartDragEvent OnStartDrag;
  TEndDragEvent OnEndDock;
  TStartDockEvent OnStartDock;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;

protected:
  friend class TWinControl;
  friend class TControlWidget;
  friend struct gui_glue::TAccess;
  friend void gui_glue::FinishDrag(bool);
  friend class TControlActionLink;

  virtual void Click();
  virtual void DblClick();
  virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void MouseMove(TShiftState Shift, int X, int Y);
  virtual void Resize();
  virtual bool CanResize(int& NewWidth, int& NewHeight);
  virtual bool CanAutoSize(int& NewWidth, int& NewHeight) { return true; }
  virtual void AdjustSize();
  virtual void DoContextPopup(TPoint MousePos, bool& Handled);
  virtual void DoStartDrag(TDragObject*& DragObject);
  virtual void DoEndDrag(TObject* Target, int X, int Y);
  // Shows the action's values (Sender is the action); a control with more to follow than
  // its values (a speed button joins the action's group) adds it here.
  virtual void ActionChange(TObject* Sender, bool CheckDefaults);
  virtual TControlActionLink* CreateActionLink();
  // The values the action link reads and shows: Caption, Enabled, Hint, Visible and
  // HelpContext; a control with a check state or an image answers for Checked and ImageIndex.
  virtual bool ActionClientValue(TActionLinkProp Prop, Variant& Value) const;
  virtual void SetActionClientValue(TActionLinkProp Prop, const Variant& Value);
  virtual void VisibleChanging() {}
  virtual void Changed() { Perform(CM_CHANGED, 0, reinterpret_cast<LPARAM>(this)); }
  virtual String GetText() const;
  // The control's own text as the native model keeps it (what DefaultHandler answers).
  const String& WindowText() const { return FText; }
  virtual void SetWindowTextDirect(const String& v) { FText = v; }
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void SetName(const String& Value) override;
  // Stores bounds that passed the checks of SetBounds and moves the window there.
  virtual void UpdateBoundsRect(const TRect& R);
  void UpdateAnchorRules();
  void RequestAlign();
  // The bounds alignment and anchors give, applied without changing the anchor rules.
  void SetAnchoredBounds(int ALeft, int ATop, int AWidth, int AHeight);
  void CheckConstraints(int& W, int& H) const;
  void FontChanged(TObject* Sender);
  bool FParentFontSyncing = false;

private:
  // Messages the control handles itself, one handler each (Dispatch holds their table).
  void WMLButtonDown(TMessage& M);
  void WMLButtonUp(TMessage& M);
  void WMRButtonDown(TMessage& M);
  void WMRButtonUp(TMessage& M);
  void WMMButtonDown(TMessage& M);
  void WMMButtonUp(TMessage& M);
  void WMMouseMove(TMessage& M);
  void WMCancelMode(TMessage& M);
  void WMContextMenu(TMessage& M);
  void CMMouseEnter(TMessage& M);
  void CMParentFontChanged(TMessage& M);
  void CMParentColorChanged(TMessage& M);
  void CMParentShowHintChanged(TMessage& M);
  void CMParentBiDiModeChanged(TMessage& M);
  void DoMouseDownMsg(TMessage& M, TMouseButton Button, bool Double);
  void DoMouseUpMsg(TMessage& M, TMouseButton Button);
  void DoMouseMoveMsg(TMessage& M);

  TWinControl* FParent = nullptr;
  int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
  TAlign FAlign = alNone;
  TAnchors FAnchors = {akLeft, akTop};
  std::unique_ptr<TSizeConstraints> FConstraints;
  bool FAutoSize = false;
  bool FVisible = true;
  bool FEnabled = true;
  String FText;
  std::unique_ptr<TFont> FFont;
  bool FParentFont = true;
  TColor FColor = clWindow;
  bool FParentColor = true;
  String FHint;
  bool FShowHint = false;
  bool FParentShowHint = true;
  TCursor FCursor = crDefault;
  TCursor FDragCursor = crDrag;
  TDragMode FDragMode = dmManual;
  TDragKind FDragKind = dkDrag;
  int FHelpContext = 0;
  TBiDiMode FBiDiMode = bdLeftToRight;
  bool FParentBiDiMode = true;
  TComponent* FPopupMenu = nullptr;
  std::unique_ptr<TControlActionLink> FActionLink;
  TControlStyle FControlStyle = {csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
  TControlState FControlState;
  // Anchor rules: for each axis the width (both edges anchored), the position (one edge) or
  // the centre (none), and the parent's client size they were taken at.
  TPoint FAnchorRules;
  TPoint FOriginalParentSize;
  bool FAnchorMove = false;
  TPoint FDragStartPos;
  bool FDragPending = false;
  int FDragThreshold = 5;
};

// ================================================================ TWinControl

// What CreateParams fills in before a control's window is made: its styles decide the
// non-client frame (WS_BORDER 1 px, WS_EX_CLIENTEDGE 2 px sunken, ...) and WS_POPUP makes a
// parentless control a borderless top-level window that is shown without being activated.
struct TCreateParams {
  String Caption;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  int X = 0, Y = 0, Width = 0, Height = 0;
  HWND WndParent = 0;
  String WinClassName;
};

class TWinControl : public TControl {
  KELM_CLASS(TWinControl, TControl)
  // Properties every windowed control implements, published as those of TControl are.
  template <class B> static auto PublishTabOrder(B& b) { return b.Prop("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder).Default(-1); }
  template <class B> static auto PublishTabStop(B& b) { return b.Prop("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop).Default(false); }
  template <class B> static auto PublishBorderWidth(B& b) { return b.Prop("BorderWidth", &TWinControl::BorderWidth, &TWinControl::SetBorderWidth).Default(0); }
  template <class B> static auto PublishCtl3D(B& b) { return b.Prop("Ctl3D", &TWinControl::Ctl3D, &TWinControl::SetCtl3D).NoDefault().StoredUnless(&TWinControl::ParentCtl3D); }
  template <class B> static auto PublishParentCtl3D(B& b) { return b.Prop("ParentCtl3D", &TWinControl::ParentCtl3D, &TWinControl::SetParentCtl3D).Default(true); }
  template <class B> static auto PublishImeMode(B& b) { return b.Prop("ImeMode", &TWinControl::ImeMode, &TWinControl::SetImeMode).Default(imDontCare); }
  template <class B> static auto PublishImeName(B& b) { return b.Prop("ImeName", &TWinControl::ImeName, &TWinControl::SetImeName); }
  template <class B> static auto PublishOnEnter(B& b) { return b.Prop("OnEnter", &TWinControl::OnEnter, &TWinControl::OnEnter); }
  template <class B> static auto PublishOnExit(B& b) { return b.Prop("OnExit", &TWinControl::OnExit, &TWinControl::OnExit); }
  template <class B> static auto PublishOnKeyDown(B& b) { return b.Prop("OnKeyDown", &TWinControl::OnKeyDown, &TWinControl::OnKeyDown); }
  template <class B> static auto PublishOnKeyPress(B& b) { return b.Prop("OnKeyPress", &TWinControl::OnKeyPress, &TWinControl::OnKeyPress); }
  template <class B> static auto PublishOnKeyUp(B& b) { return b.Prop("OnKeyUp", &TWinControl::OnKeyUp, &TWinControl::OnKeyUp); }
  template <class B> static auto PublishOnMouseWheel(B& b) { return b.Prop("OnMouseWheel", &TWinControl::OnMouseWheel, &TWinControl::OnMouseWheel); }
  template <class B> static auto PublishOnMouseWheelDown(B& b) { return b.Prop("OnMouseWheelDown", &TWinControl::OnMouseWheelDown, &TWinControl::OnMouseWheelDown); }
  template <class B> static auto PublishOnMouseWheelUp(B& b) { return b.Prop("OnMouseWheelUp", &TWinControl::OnMouseWheelUp, &TWinControl::OnMouseWheelUp); }
  // Focus, tab order, keys and the input method of windowed controls.
  template <class B> static void PublishWindowed(B& b) {
    PublishTabOrder(b); PublishTabStop(b); PublishCtl3D(b); PublishParentCtl3D(b); PublishImeMode(b);
    PublishImeName(b); PublishOnEnter(b); PublishOnExit(b); PublishOnKeyDown(b); PublishOnKeyPress(b);
    PublishOnKeyUp(b); PublishOnMouseWheel(b); PublishOnMouseWheelDown(b); PublishOnMouseWheelUp(b);
  }
public:
  explicit TWinControl(TComponent* AOwner);
  ~TWinControl() override;
  void SetParent(TWinControl* AParent) override;

  // ---- children
  int ControlCount() const { return static_cast<int>(FControls.size()); }
  TControl* Controls(int Index) const;
  void InsertControl(TControl* AControl);
  void RemoveControl(TControl* AControl);
  bool ContainsControl(TControl* Control) const;
  // The visible (and, unless AllowDisabled, enabled) child at a client point, top-most
  // first; windowed children only with AllowWinControls.
  TControl* ControlAtPos(TPoint Pos, bool AllowDisabled, bool AllowWinControls = false) const;
  void Broadcast(TMessage& Message);  // to every child until one answers non-zero
  void NotifyControls(UINT Msg);      // to every child
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
  void SetChildOrder(TComponent* Child, int Order) override;

  // ---- tab order and focus
  TTabOrder TabOrder() const;
  void SetTabOrder(TTabOrder v);
  bool TabStop() const { return FTabStop; }
  void SetTabStop(bool v);
  void GetTabOrderList(std::vector<TWinControl*>& List);
  TWinControl* FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop, bool CheckParent);
  void SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop);
  virtual bool CanFocus() const;
  bool Focused() const;
  // EInvalidOperation "Cannot focus a disabled or invisible window" when it cannot.
  virtual void SetFocus();
  bool Showing() const;
  // Makes a child visible to the user (a page control brings its page forward).
  virtual void ShowControl(TControl* AControl);

  // ---- the window
  HWND Handle() const;
  bool HandleAllocated() const { return FHandleCreated; }
  void HandleNeeded() const;
  void RecreateWnd();
  DWORD WindowStyle() const { return FStyle; }
  DWORD WindowExStyle() const { return FExStyle; }
  void SetWindowStyles(DWORD Style, DWORD ExStyle);  // then the frame is measured again
  // Asks WM_NCCALCSIZE again and lays the children out in the new client area.
  void FrameChanged();
  // The non-client margins (left, top, right, bottom) the control answered.
  TRect NonClientMargins() const { return FNC; }
  int BorderWidth() const { return FBorderWidth; }
  void SetBorderWidth(int v);
  bool Ctl3D() const { return FCtl3D; }
  void SetCtl3D(bool v);
  bool ParentCtl3D() const { return FParentCtl3D; }
  void SetParentCtl3D(bool v);
  TBrush* Brush() const { return FBrush.get(); }
  bool DoubleBuffered() const { return FDoubleBuffered; }
  void SetDoubleBuffered(bool v) { FDoubleBuffered = v; }
  TImeMode ImeMode() const { return FImeMode; }
  void SetImeMode(TImeMode v);
  String ImeName() const { return FImeName; }
  void SetImeName(const String& v) { FImeName = v; }
  // A window region (a copy is kept); nullptr shows the whole window again.
  void SetWindowRgn(HRGN Region);

  TRect ClientRect() const override;
  TPoint ClientOrigin() const override;
  void Invalidate() override;
  void Update() override;
  // Adds the client rectangle to what the next paint draws (nullptr: the whole client); the
  // paint is clipped to what was invalidated since the last one.
  void InvalidateRect(const TRect* Rect);
  // Takes the rectangle out of what the next paint draws (nullptr: everything).
  void ValidateRect(const TRect* Rect);
  void SetZOrder(bool TopMost) override;
  // Moves the children (and the painted content) by the distances.
  void ScrollBy(int DeltaX, int DeltaY);

  // ---- alignment
  void DisableAlign();
  void EnableAlign();
  bool AlignDisabled() const { return FAlignLevel > 0; }
  void Realign();
  // Lays out the aligned and anchored children, AControl first among its equals.
  void AlignControl(TControl* AControl);
  virtual void AlignControls(TControl* AControl, TRect& Rect);
  virtual void AdjustClientRect(TRect& Rect);
  // The client area left over by the aligned children at the last alignment.
  TRect AlignedRemainder() const { return FAlignRemainder; }

  // ---- painting
  void PaintTo(TCanvas* Canvas, int X, int Y);
  void PaintTo(HDC DC, int X, int Y);
  void PaintControls(HDC DC, TControl* First);

  // The message entry of the window: exceptions are handled, never propagated.
  void MainWndProc(TMessage& Message);
  void Dispatch(TMessage& Message) override;
  void DefaultHandler(TMessage& Message) override;
  void WndProc(TMessage& Message) override;

  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  TKeyEvent OnKeyDown;
  TKeyPressEvent OnKeyPress;
  TKeyEvent OnKeyUp;
  TMouseWheelEvent OnMouseWheel;
  TMouseWheelUpDownEvent OnMouseWheelDown;
  TMouseWheelUpDownEvent OnMouseWheelUp;

protected:
  friend class TControl;
  friend class TControlWidget;
  friend class TCustomForm;
  friend struct gui_glue::TAccess;

  virtual void CreateParams(TCreateParams& Params);
  // Called once the window has been given its styles (the first time the handle is needed),
  // and again after RecreateWnd.
  virtual void CreateWnd();
  virtual void DestroyWnd();
  void CreateHandle();
  virtual void PaintWindow(HDC DC);
  void PaintHandler(TMessage& Message);
  virtual bool DoKeyDown(TMessage& Message);
  virtual bool DoKeyPress(TMessage& Message);
  virtual bool DoKeyUp(TMessage& Message);
  virtual void KeyDown(Word& Key, TShiftState Shift);
  virtual void KeyUp(Word& Key, TShiftState Shift);
  virtual void KeyPress(Char& Key);
  virtual void DoEnter();
  virtual void DoExit();
  virtual bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos);
  virtual bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos);
  virtual bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos);
  virtual bool IsMenuKey(TMessage& Message);
  // The part of the non-client margins inside the widget (all of them, unless the window
  // manager draws the frame); the client pixels start at its top-left.
  virtual TRect InsideMargins() const { return FNC; }
  // Clips the widget to the parent's client area and to the window region.
  void UpdateMask();
  void UpdateBoundsRect(const TRect& R) override;
  void SetWindowTextDirect(const String& v) override;
  // Moves and sizes the widget to the control's bounds.
  virtual void ApplyGeometry();
  void UpdateShowing();
  void SendNCCalcSize();
  // The widget of this window (its class is private to platform/gui).
  TControlWidget* Widget() const { return FWidget; }

private:
  // Messages the control handles itself, one handler each (Dispatch holds their table).
  void CMMouseWheel(TMessage& M);
  void WMEraseBkgnd(TMessage& M);
  void WMSize(TMessage& M);
  void WMContextMenu(TMessage& M);
  void CMEnabledChanged(TMessage& M);
  void CMVisibleChanged(TMessage& M);
  void CMFontChanged(TMessage& M);
  void CMColorChanged(TMessage& M);
  void CMParentCtl3DChanged(TMessage& M);
  void CMRefocus(TMessage& M);
  void CNKeyDown(TMessage& M);
  void CNChar(TMessage& M);
  void WMMouseWheel(TMessage& M);
  void WMSetFocusMsg(TMessage& M);
  void WMKillFocusMsg(TMessage& M);
  void WMNCCalcSizeDefault(TMessage& M);
  void WMNCPaintDefault(TMessage& M);
  void WMSetCursor(TMessage& M);
  bool IsControlMouseMsg(TMessage& M);
  void DoAlign(TControl* AControl, TAlign AAlign, TRect& Rect);

  std::vector<TControl*> FControls;     // graphic and windowed children, z-order bottom first
  std::vector<TWinControl*> FTabList;   // windowed children in tab order
  HWND FHandle = 0;
  mutable bool FHandleCreated = false;
  TControlWidget* FWidget = nullptr;
  bool FTabStop = false;
  DWORD FStyle = 0, FExStyle = 0;
  TRect FNC;  // non-client margins
  int FBorderWidth = 0;
  bool FCtl3D = true;
  bool FParentCtl3D = true;
  bool FDoubleBuffered = false;
  TImeMode FImeMode = imDontCare;
  String FImeName;
  std::unique_ptr<TBrush> FBrush;
  int FAlignLevel = 0;
  bool FAlignPending = false;
  bool FAligning = false;
  TRect FAlignRemainder;
  bool FShowing = false;
  bool FApplyingGeometry = false;
  TCursor FClassCursor = crArrow;
};

// ================================================================ painted controls

// A canvas bound to a control: during painting it draws on the paint device context, at
// other times on the control's own pixels (shown at the next repaint).
class TControlCanvas : public TCanvas {
  KELM_CLASS(TControlCanvas, TCanvas)
public:
  TControlCanvas() = default;
  ~TControlCanvas() override;
  TControl* Control() const { return FControl; }
  void SetControl(TControl* v);
  void FreeHandle();
  void UpdateTextFlags() {}

protected:
  void CreateHandle() override;
  void Changed() override;

private:
  TControl* FControl = nullptr;
  HDC FDeviceContext = nullptr;  // made by CreateHandle
};

class TCustomControl : public TWinControl {
  KELM_CLASS(TCustomControl, TWinControl)
public:
  explicit TCustomControl(TComponent* AOwner);
  ~TCustomControl() override;
  TCanvas* Canvas() const { return FCanvas.get(); }

protected:
  virtual void Paint() {}
  void PaintWindow(HDC DC) override;

private:
  std::unique_ptr<TControlCanvas> FCanvas;
};

// A control without a window: it paints on its parent's canvas, in z-order among its
// windowless siblings and beneath the windowed ones.
class TGraphicControl : public TControl {
  KELM_CLASS(TGraphicControl, TControl)
public:
  explicit TGraphicControl(TComponent* AOwner);
  ~TGraphicControl() override;
  TCanvas* Canvas() const { return FCanvas.get(); }
  void Dispatch(TMessage& Message) override;

protected:
  virtual void Paint() {}

private:
  std::unique_ptr<TControlCanvas> FCanvas;
};

// ================================================================ mouse, capture, cursors

class TMouse {
public:
  TPoint CursorPos() const;
  void SetCursorPos(TPoint p);
  HWND Capture() const;
  void SetCapture(HWND h);
  int DragThreshold() const { return FDragThreshold; }
  void SetDragThreshold(int v) { FDragThreshold = v; }
  int WheelScrollLines() const { return FWheelScrollLines; }
  void SetWheelScrollLines(int v) { FWheelScrollLines = v; }
  bool MousePresent() const { return true; }
  bool WheelPresent() const { return true; }

private:
  int FDragThreshold = 5;
  int FWheelScrollLines = 3;
};
extern TMouse* Mouse;

// Mouse capture: every mouse message goes to the holder until it is released, also after the
// button came up. Taking it from another window sends that window WM_CANCELMODE.
HWND SetCapture(HWND Handle);
BOOL ReleaseCapture();
HWND GetCapture();
// The control holding the capture (a windowless control captures through its parent).
TControl* GetCaptureControl();
void SetCaptureControl(TControl* Control);

BOOL GetCursorPos(TPoint* Point);
BOOL SetCursorPos(int X, int Y);
// The window that has the keyboard focus; SetFocus sends WM_KILLFOCUS and WM_SETFOCUS.
HWND GetFocus();
HWND SetFocus(HWND Handle);
HWND GetActiveWindow();
BOOL EnableWindow(HWND Handle, BOOL Enable);
BOOL IsWindowEnabled(HWND Handle);
BOOL IsWindowVisible(HWND Handle);
BOOL ShowWindow(HWND Handle, int Command);
HWND GetParent(HWND Handle);
HWND WindowFromPoint(TPoint ScreenPoint);
BOOL InvalidateRect(HWND Handle, const TRect* Rect, BOOL Erase);
BOOL ValidateRect(HWND Handle, const TRect* Rect);

// The system locale's script family. Right-to-left layouts exist only under a Middle-East
// locale, which this system's is not; tests switch it.
struct TSysLocale {
  bool MiddleEast = false;
};
TSysLocale& SysLocale();
BOOL UpdateWindow(HWND Handle);
BOOL RedrawWindow(HWND Handle, const TRect* Rect, HRGN Region, UINT Flags);
BOOL GetClientRect(HWND Handle, TRect* Rect);
BOOL GetWindowRect(HWND Handle, TRect* Rect);  // screen coordinates
BOOL ClientToScreen(HWND Handle, TPoint* Point);
BOOL ScreenToClient(HWND Handle, TPoint* Point);
int MapWindowPoints(HWND From, HWND To, TPoint* Points, int Count);
BOOL SetWindowPos(HWND Handle, HWND InsertAfter, int X, int Y, int Cx, int Cy, UINT Flags);
BOOL MoveWindow(HWND Handle, int X, int Y, int Width, int Height, BOOL Repaint);
long GetWindowLong(HWND Handle, int Index);
long SetWindowLong(HWND Handle, int Index, long Value);
// A device context on the window's client pixels (GetDC(0): the screen measuring context);
// release it with ReleaseDC, which shows what was drawn.
HDC GetDC(HWND Handle);
HDC GetWindowDC(HWND Handle);
int ReleaseDC(HWND Handle, HDC DC);
int SetWindowRgn(HWND Handle, HRGN Region, BOOL Redraw);
BOOL ScrollWindow(HWND Handle, int DX, int DY, const TRect* Rect, const TRect* ClipRect);
constexpr UINT RDW_INVALIDATE = 0x0001, RDW_INTERNALPAINT = 0x0002, RDW_ERASE = 0x0004, RDW_VALIDATE = 0x0008,
               RDW_NOERASE = 0x0020, RDW_FRAME = 0x0400, RDW_NOFRAME = 0x0800, RDW_UPDATENOW = 0x0100, RDW_ERASENOW = 0x0200,
               RDW_ALLCHILDREN = 0x0080, RDW_NOCHILDREN = 0x0040;
constexpr UINT WM_CAPTURECHANGED = 0x0215;

// ================================================================ hints

class THintWindow;

struct THintInfo {
  TControl* HintControl = nullptr;
  TClass HintWindowClass = nullptr;
  TPoint HintPos;          // screen
  int HintMaxWidth = 0;
  TColor HintColor = clInfoBk;
  TRect CursorRect;        // client of HintControl
  TPoint CursorPos;        // client of HintControl
  int ReshowTimeout = 0;
  int HideTimeout = 0;
  String HintStr;
  void* HintData = nullptr;
};

// A small borderless window that shows a hint near the cursor without taking the focus.
class THintWindow : public TCustomControl {
  KELM_CLASS(THintWindow, TCustomControl)
public:
  explicit THintWindow(TComponent* AOwner);
  // The bounds (at 0, 0) that fit the text within MaxWidth.
  virtual TRect CalcHintRect(int MaxWidth, const String& AHint, void* AData);
  // Shows the hint at Rect (screen coordinates).
  virtual void ActivateHint(const TRect& Rect, const String& AHint);
  virtual void ActivateHintData(const TRect& Rect, const String& AHint, void* AData) { ActivateHint(Rect, AHint); }
  void ReleaseHandle();
  bool IsHintMsg(const TMsg& Msg) const;

protected:
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;
  void Dispatch(TMessage& Message) override;
};

// ================================================================ popups

// Where a popup of Size goes beside Anchor (screen coordinates): below the anchor, or above
// when the anchor's monitor has more room there; starting at the anchor's left edge (or
// ending at its right edge with AlignRight); then kept inside the monitor's work area.
TPoint PlacePopup(const TRect& Anchor, TSize Size, bool AlignRight = false);
// Shows a parentless control as a popup at a screen point without activating it or taking
// the focus; it closes when the user presses outside it (Close is called, latest popup
// first), when its owner's form hides or the application loses activation.
void ShowPopupAt(TWinControl* Popup, int X, int Y, TWinControl* Owner = nullptr,
                 std::function<void()> Close = nullptr);
// Places and shows Popup below (or above) a rectangle given in Anchor's client coordinates.
void ShowPopupBelow(TWinControl* Popup, TControl* Anchor, const TRect& AnchorRect, bool AlignRight = false,
                    std::function<void()> Close = nullptr);
void HidePopup(TWinControl* Popup);
// Popups open now, the latest last.
std::vector<TWinControl*> OpenPopups();

// ================================================================ screenshots

// Renders a control (a form with its children) into a PNG file; false when it cannot be
// written.
bool GrabToPng(TControl* Control, const String& FileName);
