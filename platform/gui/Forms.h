#pragma once
// Forms (modal, MDI) and frames: the windows the program's layouts describe.
//
// A form or data module is made in two steps, so that the fields of the derived class exist
// when its layout fills them: the constructor (CreateNew: an empty form), then InitForm(),
// which reads the layout resource "forms/<ClassName>.txt" (a base class's layout first when
// the derived one starts with "inherited"), binds handlers by name, fills the published
// fields, calls Loaded and then OnCreate. CreateForm<T>(Owner) does both:
//
//   Application->CreateForm<TFrm_Main>(&Frm_Main);   // the first form becomes MainForm
//   auto* dlg = CreateForm<TFrm_Login>(Application);
// Declares TScrollingWinControl, TCustomForm, TForm, TCustomFrame and TFrame.
#include "gui/Controls.h"
#include "gui/DataModule.h"
#include "gui/Messages.h"

#include <functional>
#include <type_traits>

class TForm;
class TCustomForm;
class TDataModule;
class TMainMenu;  // Menus.h
class TMonitor;   // Screen.h
class TMdiArea;   // private to platform/gui
class TMdiSubWindow;
class TStrings;

KELM_ENUM(TFormStyle, fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop)
KELM_ENUM(TPosition, poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter,
          poMainFormCenter, poOwnerFormCenter)
KELM_ENUM(TWindowState, wsNormal, wsMinimized, wsMaximized)
KELM_ENUM(TBorderIcon, biSystemMenu, biMinimize, biMaximize, biHelp)
using TBorderIcons = TSet<TBorderIcon>;
KELM_ENUM(TCloseAction, caNone, caHide, caFree, caMinimize)
KELM_ENUM(TFormStateItem, fsCreating, fsVisible, fsShowing, fsModal, fsCreatedMDIChild, fsActivated)
using TFormState = TSet<TFormStateItem>;
KELM_ENUM(TDefaultMonitor, dmDesktop, dmPrimary, dmMainForm, dmActiveForm)
KELM_ENUM(TTileMode, tbHorizontal, tbVertical)

constexpr TModalResult mrNone = 0, mrOk = IDOK, mrCancel = IDCANCEL, mrAbort = IDABORT, mrRetry = IDRETRY,
                       mrIgnore = IDIGNORE, mrYes = IDYES, mrNo = IDNO, mrAll = mrNo + 1,
                       mrNoToAll = mrAll + 1, mrYesToAll = mrNoToAll + 1;

KELM_EVENT(TCloseEvent, void(TObject* Sender, TCloseAction& Action));
KELM_EVENT(TCloseQueryEvent, void(TObject* Sender, bool& CanClose));
KELM_EVENT(TShortCutEvent, void(TMessage& Msg, bool& Handled));

// A form's designer: while a form has one, the mouse and key messages of the form's controls
// are offered to it first; a message it takes (returns true for) goes no further, so the
// live controls of a form being designed stay inert.
class IDesignerHook {
public:
  virtual ~IDesignerHook() = default;
  virtual bool IsDesignMsg(TControl* Sender, TMessage& Message) = 0;
};

// ================================================================ forms

class TScrollingWinControl : public TWinControl {
  KELM_CLASS(TScrollingWinControl, TWinControl)
public:
  explicit TScrollingWinControl(TComponent* AOwner);
  // Stored by layouts; the client does not scroll by itself.
  bool AutoScroll() const { return FAutoScroll; }
  void SetAutoScroll(bool v) { FAutoScroll = v; }

private:
  bool FAutoScroll = false;
};

class TCustomForm : public TScrollingWinControl {
  KELM_CLASS(TCustomForm, TScrollingWinControl)
public:
  // CreateNew: an empty, hidden form. InitForm() loads its layout.
  explicit TCustomForm(TComponent* AOwner);
  ~TCustomForm() override;

  // Reads the class's layout (when there is one), then Loaded and OnCreate.
  void InitForm();
  // Runs OnDestroy while the whole object still exists; the destructor calls it too, but by
  // then the derived class's members are gone, so Release and the owners call it first.
  void BeforeDestruction();

  // ---- showing and closing
  void Show();
  void Hide();
  // Shows the form modally and runs a message loop until ModalResult is set; returns it.
  // EInvalidOperation "Cannot make a visible window modal" for a visible form.
  virtual int ShowModal();
  void Close();
  // Frees the form once the messages queued now have been handled.
  void Release();
  virtual bool CloseQuery();
  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult v) { FModalResult = v; }
  TFormState FormState() const { return FFormState; }
  bool Active() const { return FActive; }
  // The caption as last drawn: active or inactive (WM_NCACTIVATE). A handler that swallows
  // the message keeps the caption as it was.
  bool CaptionActive() const { return FCaptionActive; }

  // ---- focus
  TWinControl* ActiveControl() const { return FActiveControl; }
  void SetActiveControl(TWinControl* Control);
  void FocusControl(TWinControl* Control);
  void SetFocus() override;
  bool CanFocus() const override;
  bool SetFocusedControl(TWinControl* Control);
  void DefocusControl(TWinControl* Control, bool Removing);
  // Closes drop-downs and other modes: CM_CANCELMODE to the focused control.
  void SendCancelMode(TControl* Sender);
  virtual bool IsShortCut(TMessage& Message);

  // ---- appearance
  TFormStyle FormStyle() const { return FFormStyle; }
  void SetFormStyle(TFormStyle v);
  TFormBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TFormBorderStyle v);
  TBorderIcons BorderIcons() const { return FBorderIcons; }
  void SetBorderIcons(TBorderIcons v);
  TPosition Position() const { return FPosition; }
  void SetPosition(TPosition v);
  TWindowState WindowState() const;
  void SetWindowState(TWindowState v);
  TDefaultMonitor DefaultMonitor() const { return FDefaultMonitor; }
  void SetDefaultMonitor(TDefaultMonitor v) { FDefaultMonitor = v; }
  bool KeyPreview() const { return FKeyPreview; }
  void SetKeyPreview(bool v) { FKeyPreview = v; }
  TCanvas* Canvas() const { return FCanvas.get(); }
  TMonitor* Monitor() const;
  // Whole-window translucency: with AlphaBlend the window shows at AlphaBlendValue / 255
  // opacity. The transparent colour is kept for layouts and popups that copy it; pixels of
  // that colour are not keyed out.
  bool AlphaBlend() const { return FAlphaBlend; }
  void SetAlphaBlend(bool v);
  Byte AlphaBlendValue() const { return FAlphaBlendValue; }
  void SetAlphaBlendValue(Byte v);
  bool TransparentColor() const { return FTransparentColor; }
  void SetTransparentColor(bool v) { FTransparentColor = v; }
  TColor TransparentColorValue() const { return FTransparentColorValue; }
  void SetTransparentColorValue(TColor v) { FTransparentColorValue = v; }
  // The opacity the window is shown with (1 unless AlphaBlend).
  double WindowOpacity() const;
  // The main menu (a TMainMenu of the menus module, or nullptr).
  template <class M = TMainMenu> M* Menu() const { return dynamic_cast<M*>(FMenu); }
  TComponent* MenuComponent() const { return FMenu; }
  void SetMenuComponent(TComponent* v);
  // A layout's client size is the area below the menu bar: while the form is read, it waits
  // until the form's main menu shows, so that the text a form writes reads back to its size.
  void SetFormClientWidth(int v);
  void SetFormClientHeight(int v);
  // Stored by layouts, without effect here.
  bool OldCreateOrder() const { return FOldCreateOrder; }
  void SetOldCreateOrder(bool v) { FOldCreateOrder = v; }
  int TextHeight() const { return FTextHeight; }
  void SetTextHeight(int v) { FTextHeight = v; }
  bool Scaled() const { return FScaled; }
  void SetScaled(bool v) { FScaled = v; }
  // Not owned; the designer clears it before it goes away.
  IDesignerHook* Designer() const { return FDesigner; }
  void SetDesigner(IDesignerHook* v) { FDesigner = v; }

  // ---- MDI
  int MDIChildCount() const;
  TForm* MDIChildren(int Index) const;  // z-order, the top-most first
  TForm* ActiveMDIChild() const;
  void Cascade();
  void Tile();
  void ArrangeIcons();
  void Next();
  void Previous();
  TTileMode TileMode() const { return FTileMode; }
  void SetTileMode(TTileMode v) { FTileMode = v; }
  // The MDI client window of an MDI form; 0 for others.
  HWND ClientHandle() const;

  // Idle: lets the actions of every visible control update themselves.
  virtual void UpdateActions();
  // Offers an action to the form's controls as its target (CM_ACTIONEXECUTE and
  // CM_ACTIONUPDATE): the active MDI child's controls, the active control and its parents,
  // the form, then every visible control; true when one of them took it. A hidden form takes
  // none.
  bool OfferAction(bool Execute, TBasicAction* Action);

  // A layout writes the form's components without a parent (menus, action lists, datasets,
  // dialogs, timers, image lists) first, then its controls.
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
  void Dispatch(TMessage& Message) override;
  void SetVisible(bool v) override;
  void SetZOrder(bool TopMost) override;

  TNotifyEvent OnActivate;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;
  TNotifyEvent OnCreate;
  TNotifyEvent OnDeactivate;
  TNotifyEvent OnDestroy;
  TNotifyEvent OnHide;
  TNotifyEvent OnPaint;
  TNotifyEvent OnShow;
  TShortCutEvent OnShortCut;

protected:
  friend class TApplication;
  friend class TWinControl;
  friend struct gui_glue::TAccess;
  virtual void DoCreate();
  virtual void DoDestroy();
  virtual void DoShow();
  virtual void DoHide();
  virtual void DoClose(TCloseAction& Action);
  virtual void Activate();
  virtual void Deactivate();
  virtual void Paint();
  void PaintWindow(HDC DC) override;
  void CreateParams(TCreateParams& Params) override;
  void Loaded() override;
  TRect InsideMargins() const override;
  void ApplyGeometry() override;
  void SetParent(TWinControl* AParent) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void SetWindowTextDirect(const String& v) override;
  void AlignControls(TControl* AControl, TRect& Rect) override;
  void SetActive(bool Value);
  void CloseModal();

private:
  // Messages the control handles itself, one handler each (Dispatch holds their table).
  void WMNCPaint(TMessage& M);
  void CMRelease(TMessage& M);
  void ShowingChanged();
  void ApplyPosition();
  void ShowMaximizedWindow();
  void RestoreNormalBounds();
  void ApplyWindowFlags();
  void MakeMDIChild();
  void EnsureMdiArea();
  void DoFrameMargins(TMessage& M);
  HWND FHandleForMonitor() const;

  TWinControl* FActiveControl = nullptr;
  TWinControl* FFocusedControl = nullptr;
  TFormStyle FFormStyle = fsNormal;
  TFormBorderStyle FBorderStyle = bsSizeable;
  TBorderIcons FBorderIcons = {biSystemMenu, biMinimize, biMaximize};
  TPosition FPosition = poDesigned;
  TWindowState FWindowState = wsNormal;
  TDefaultMonitor FDefaultMonitor = dmActiveForm;
  bool FAlphaBlend = false;
  Byte FAlphaBlendValue = 255;
  bool FTransparentColor = false;
  TColor FTransparentColorValue = clBlack;
  void ApplyOpacity();
  TTileMode FTileMode = tbHorizontal;
  bool FKeyPreview = false;
  bool FActive = false;
  bool FCaptionActive = false;
  bool FOldCreateOrder = false;
  int FTextHeight = 13;
  bool FScaled = true;
  TModalResult FModalResult = mrNone;
  TFormState FFormState;
  bool FDestroyCalled = false;
  bool FPositioned = false;
  bool FShownOnce = false;
  TRect FNormalBounds;  // of a top-level window the layer itself put on the work area
  std::unique_ptr<TControlCanvas> FCanvas;
  TComponent* FMenu = nullptr;
  int FReadClientWidth = -1;   // as read, applied once the form is loaded
  int FReadClientHeight = -1;
  IDesignerHook* FDesigner = nullptr;
  TMdiArea* FMdiArea = nullptr;         // an MDI form's client area
  TMdiSubWindow* FSubWindow = nullptr;  // an MDI child's frame
  HWND FClientHandle = 0;
  std::vector<HWND> FDisabledWindows;  // by a modal loop
};

class TForm : public TCustomForm {
  KELM_CLASS(TForm, TCustomForm)
  template <class B> static void Published(B& b) {
    PublishAction(b);
    b.Prop("ActiveControl", &TCustomForm::ActiveControl, &TCustomForm::SetActiveControl);
    b.Prop("AlphaBlend", &TCustomForm::AlphaBlend, &TCustomForm::SetAlphaBlend).Default(false);
    b.Prop("AlphaBlendValue", &TCustomForm::AlphaBlendValue, &TCustomForm::SetAlphaBlendValue).Default(255);
    b.Prop("TransparentColor", &TCustomForm::TransparentColor, &TCustomForm::SetTransparentColor).Default(false);
    b.Prop("TransparentColorValue", &TCustomForm::TransparentColorValue, &TCustomForm::SetTransparentColorValue)
        .Default(clBlack);
    PublishAlign(b);
    PublishAnchors(b);
    b.Prop("AutoScroll", &TScrollingWinControl::AutoScroll, &TScrollingWinControl::SetAutoScroll).Default(false);
    PublishAutoSize(b);
    PublishBiDiMode(b);
    b.Prop("BorderIcons", &TCustomForm::BorderIcons, &TCustomForm::SetBorderIcons)
        .Default(TBorderIcons{biSystemMenu, biMinimize, biMaximize});
    b.Prop("BorderStyle", &TCustomForm::BorderStyle, &TCustomForm::SetBorderStyle).Default(bsSizeable);
    PublishBorderWidth(b);
    PublishCaption(b);
    b.Prop("ClientHeight", &TControl::ClientHeight, &TCustomForm::SetFormClientHeight);
    b.Prop("ClientWidth", &TControl::ClientWidth, &TCustomForm::SetFormClientWidth);
    PublishColor(b);
    PublishConstraints(b);
    PublishCtl3D(b);
    b.Prop("DefaultMonitor", &TCustomForm::DefaultMonitor, &TCustomForm::SetDefaultMonitor).Default(dmActiveForm);
    PublishDragMode(b);
    PublishEnabled(b);
    b.Prop("ParentFont", &TControl::ParentFont, &TControl::SetParentFont).Default(false);  // a form has its own
    PublishFont(b);
    b.Prop("FormStyle", &TCustomForm::FormStyle, &TCustomForm::SetFormStyle).Default(fsNormal);
    b.Prop("KeyPreview", &TCustomForm::KeyPreview, &TCustomForm::SetKeyPreview).Default(false);
    b.Prop("Menu", &TCustomForm::MenuComponent, &TCustomForm::SetMenuComponent).Type("TMainMenu");
    b.Prop("OldCreateOrder", &TCustomForm::OldCreateOrder, &TCustomForm::SetOldCreateOrder).Default(false);
    PublishPopupMenu(b);
    b.Prop("Position", &TCustomForm::Position, &TCustomForm::SetPosition).Default(poDesigned);
    b.Prop("Scaled", &TCustomForm::Scaled, &TCustomForm::SetScaled).Default(true);
    PublishShowHint(b);
    b.Prop("Visible", &TControl::Visible, &TControl::SetVisible).Default(false);  // forms start hidden
    b.Prop("WindowState", &TCustomForm::WindowState, &TCustomForm::SetWindowState).Default(wsNormal);
    b.Prop("TextHeight", &TCustomForm::TextHeight, &TCustomForm::SetTextHeight).NoDefault();
    b.Prop("OnActivate", &TCustomForm::OnActivate, &TCustomForm::OnActivate);
    PublishOnCanResize(b);
    PublishOnClick(b);
    b.Prop("OnClose", &TCustomForm::OnClose, &TCustomForm::OnClose);
    b.Prop("OnCloseQuery", &TCustomForm::OnCloseQuery, &TCustomForm::OnCloseQuery);
    PublishOnContextPopup(b);
    b.Prop("OnCreate", &TCustomForm::OnCreate, &TCustomForm::OnCreate);
    PublishOnDblClick(b);
    b.Prop("OnDestroy", &TCustomForm::OnDestroy, &TCustomForm::OnDestroy);
    b.Prop("OnDeactivate", &TCustomForm::OnDeactivate, &TCustomForm::OnDeactivate);
    PublishOnDragDrop(b);
    PublishOnDragOver(b);
    b.Prop("OnHide", &TCustomForm::OnHide, &TCustomForm::OnHide);
    PublishOnKeyDown(b);
    PublishOnKeyPress(b);
    PublishOnKeyUp(b);
    PublishOnMouseDown(b);
    PublishOnMouseMove(b);
    PublishOnMouseUp(b);
    PublishOnMouseWheel(b);
    PublishOnMouseWheelDown(b);
    PublishOnMouseWheelUp(b);
    b.Prop("OnPaint", &TCustomForm::OnPaint, &TCustomForm::OnPaint);
    PublishOnResize(b);
    b.Prop("OnShortCut", &TCustomForm::OnShortCut, &TCustomForm::OnShortCut);
    b.Prop("OnShow", &TCustomForm::OnShow, &TCustomForm::OnShow);
  }
public:
  explicit TForm(TComponent* AOwner) : TCustomForm(AOwner) {}
};

// A frame: a reusable group of controls with a layout of its own, placed on forms.
class TCustomFrame : public TScrollingWinControl {
  KELM_CLASS(TCustomFrame, TScrollingWinControl)
public:
  explicit TCustomFrame(TComponent* AOwner);
  // Reads "forms/<ClassName>.txt" when it exists.
  void InitFrame();
  // As a form's: written as the root of its layout, a frame writes its components without a
  // parent before its controls.
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
};

class TFrame : public TCustomFrame {
  KELM_CLASS(TFrame, TCustomFrame)
  template <class B> static void Published(B& b) {
    PublishAlign(b);
    PublishAnchors(b);
    b.Prop("AutoScroll", &TScrollingWinControl::AutoScroll, &TScrollingWinControl::SetAutoScroll).Default(false);
    PublishAutoSize(b);
    PublishBiDiMode(b);
    PublishConstraints(b);
    PublishColor(b);
    PublishCtl3D(b);
    PublishFont(b);
    PublishParentColor(b);
    PublishParentCtl3D(b);
    PublishParentFont(b);
    PublishParentShowHint(b);
    PublishPopupMenu(b);
    PublishShowHint(b);
    PublishTabOrder(b);
    PublishTabStop(b);
    PublishVisible(b);
    PublishOnClick(b);
    PublishOnContextPopup(b);
    PublishOnDblClick(b);
    PublishOnDragDrop(b);
    PublishOnDragOver(b);
    PublishOnEndDrag(b);
    PublishOnEnter(b);
    PublishOnExit(b);
    PublishOnMouseDown(b);
    PublishOnMouseMove(b);
    PublishOnMouseUp(b);
    PublishOnMouseWheel(b);
    PublishOnMouseWheelDown(b);
    PublishOnMouseWheelUp(b);
    PublishOnResize(b);
    PublishOnStartDrag(b);
  }
public:
  explicit TFrame(TComponent* AOwner) : TCustomFrame(AOwner) {}
};

// Creates a form, frame or data module of class T and initialises it from its layout. The
// reference, when given, is set before the layout loads (OnCreate may use it).
template <class T> T* CreateForm(TComponent* Owner, T** Reference = nullptr) {
  T* f = new T(Owner);
  if (Reference) *Reference = f;
  try {
    if constexpr (std::is_base_of_v<TDataModule, T>) f->InitDataModule();
    else if constexpr (std::is_base_of_v<TCustomFrame, T>) f->InitFrame();
    else f->InitForm();
  } catch (...) {
    // On failure only: a half-made form is no one's.
    if (Reference) *Reference = nullptr;
    delete f;
    throw;
  }
  return f;
}

// Closes the drop-downs and modes of the active form (CM_CANCELMODE).
void SendCancelMode(TControl* Sender);
