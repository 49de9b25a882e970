#pragma once
// TControl, the root of the control tree (bounds, alignment, visibility, text, font, colour,
// mouse events, dragging, actions), with its size constraints, action links and drag objects,
// and the types and events every control shares. TWinControl is in WinControl.h; the
// window functions, the mouse, hints and popups are in Window.h; Controls.h includes all.
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
// Declares TSizeConstraints, TControlActionLink, TDragObject,
// TDragControlObject and TControl.
#include "core/BasicAction.h"
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
class TDragImageList;  // DragImages.h
class TControlActionLink;
class TControlWidget;
namespace gui_glue {
struct TAccess;
void DragTo(TPoint ScreenPos);
void FinishDrag(bool Drop);
}  // namespace gui_glue
void CancelDrag();

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
// The parts of a control that a scaling changes (ChangeScale) while it is loaded.
KELM_ENUM(TScalingFlag, sfLeft, sfTop, sfWidth, sfHeight, sfFont)
using TScalingFlags = TSet<TScalingFlag>;
KELM_ENUM(TDragMode, dmManual, dmAutomatic)
KELM_ENUM(TDragState, dsDragEnter, dsDragLeave, dsDragMove)
KELM_ENUM(TDragKind, dkDrag, dkDock)
KELM_ENUM(THelpType, htKeyword, htContext)
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
// True when the designer of Sender's form takes this mouse or key message (IDesignerHook).
bool IsDesignerInput(TControl* Sender, TMessage& Message);
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

// ================================================================ the action link of a control

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
  // The images shown at the cursor while the drag moves (nullptr: none).
  virtual TDragImageList* GetDragImages() { return nullptr; }
  // Takes the drag image off the screen while a window repaints beneath it, and back.
  virtual void HideDragImage();
  virtual void ShowDragImage();
  // Called once the drag has ended, after the source's end-drag event; an object the source
  // handed in may free itself here.
  virtual void Finished(TObject* Target, int X, int Y, bool Accepted) {}
  // True while CancelDrag ends the drag.
  bool Cancelling() const { return FCancelling; }

private:
  friend class TControl;
  friend struct gui_glue::TAccess;
  friend void gui_glue::DragTo(TPoint);
  friend void gui_glue::FinishDrag(bool);
  friend void CancelDrag();
  TPoint FDragPos;
  TObject* FDragTarget = nullptr;
  bool FDropped = false;
  bool FCancelling = false;
};

// Drags a control: drag-over and drop events see the control itself as Source.
class TDragControlObject : public TDragObject {
public:
  explicit TDragControlObject(TControl* AControl) : FControl(AControl) {}
  TControl* Control() const { return FControl; }
  TCursor GetDragCursor(bool Accepted, int X, int Y) override;
  TObject* Source() override;
  // The control's images when it displays drag images (csDisplayDragImage).
  TDragImageList* GetDragImages() override;

private:
  TControl* FControl;
};

// The drag in progress, nullptr when none.
TDragObject* CurrentDragObject();
// Ends the drag in progress without a drop; the source is told by DragCanceled first.
void CancelDrag();
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
    b.Prop("HelpType", &TControl::HelpType, &TControl::SetHelpType).Default(htContext);
    b.Prop("HelpKeyword", &TControl::HelpKeyword, &TControl::SetHelpKeyword);
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
  // Help is only kept for layouts and scripts: whether the control names its topic by keyword
  // or by context number, and the keyword.
  THelpType HelpType() const { return FHelpType; }
  void SetHelpType(THelpType v) { FHelpType = v; }
  const String& HelpKeyword() const { return FHelpKeyword; }
  void SetHelpKeyword(const String& v) { FHelpKeyword = v; }
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
  TScalingFlags ScalingFlags() const { return FScalingFlags; }
  void SetScalingFlags(TScalingFlags v) { FScalingFlags = v; }
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
  // The images a drag of this control shows at the cursor (nullptr: none).
  virtual TDragImageList* GetDragImages() { return nullptr; }

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
  friend void CancelDrag();
  friend class TControlActionLink;

  virtual void Click();
  virtual void DblClick();
  virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void MouseMove(TShiftState Shift, int X, int Y);
  virtual void Resize();
  // Scales the control by M/D: its bounds and, unless it follows its parent's font, its
  // font size. While loading only the parts in ScalingFlags scale; M = D changes nothing.
  virtual void ChangeScale(int M, int D);
  virtual bool CanResize(int& NewWidth, int& NewHeight);
  virtual bool CanAutoSize(int& NewWidth, int& NewHeight) { return true; }
  virtual void AdjustSize();
  virtual void DoContextPopup(TPoint MousePos, bool& Handled);
  virtual void DoStartDrag(TDragObject*& DragObject);
  virtual void DoEndDrag(TObject* Target, int X, int Y);
  // A left press with DragMode dmAutomatic: starts a drag that waits for the threshold.
  virtual void BeginAutoDrag();
  // The drag of this control is being cancelled (CancelDrag).
  virtual void DragCanceled() {}
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
  TScalingFlags FScalingFlags{sfLeft, sfTop, sfWidth, sfHeight, sfFont};
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
  THelpType FHelpType = htContext;
  String FHelpKeyword;
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
