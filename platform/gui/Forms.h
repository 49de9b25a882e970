#pragma once
// The application object and its message loop, the screen, forms (modal, MDI) and data
// modules.
//
// A form or data module is made in two steps, so that the fields of the derived class exist
// when its layout fills them: the constructor (CreateNew: an empty form), then InitForm(),
// which reads the layout resource "forms/<ClassName>.txt" (a base class's layout first when
// the derived one starts with "inherited"), binds handlers by name, fills the published
// fields, calls Loaded and then OnCreate. CreateForm<T>(Owner) does both:
//
//   Application->CreateForm<TFrm_Main>(&Frm_Main);   // the first form becomes MainForm
//   auto* dlg = CreateForm<TFrm_Login>(Application);
#include "gui/Controls.h"
#include "gui/Messages.h"

#include <functional>
#include <type_traits>

class TForm;
class TCustomForm;
class TDataModule;
class TMainMenu;  // Menus.h
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
KELM_ENUM(TMonitorDefaultTo, mdNearest, mdNull, mdPrimary)

constexpr TModalResult mrNone = 0, mrOk = IDOK, mrCancel = IDCANCEL, mrAbort = IDABORT, mrRetry = IDRETRY,
                       mrIgnore = IDIGNORE, mrYes = IDYES, mrNo = IDNO, mrAll = mrNo + 1,
                       mrNoToAll = mrAll + 1, mrYesToAll = mrNoToAll + 1;

KELM_EVENT(TCloseEvent, void(TObject* Sender, TCloseAction& Action));
KELM_EVENT(TCloseQueryEvent, void(TObject* Sender, bool& CanClose));
KELM_EVENT(TShortCutEvent, void(TMessage& Msg, bool& Handled));
KELM_EVENT(TExceptionEvent, void(TObject* Sender, Exception* E));
KELM_EVENT(TIdleEvent, void(TObject* Sender, bool& Done));
KELM_EVENT(TMessageEvent, void(TMsg& Msg, bool& Handled));
KELM_EVENT(TShowHintEvent, void(String& HintStr, bool& CanShow, THintInfo& HintInfo));

// ================================================================ message boxes

// The platform message box: text, caption, MB_ buttons and icon; returns the ID of the
// pressed button. A hook (tests) answers instead of showing a window; an empty hook
// restores the real box. The standard dialogs go through the same service.
using TMessageBoxHook = std::function<int(const String& Text, const String& Caption, int Flags)>;
void SetMessageBoxHook(TMessageBoxHook Hook);
bool MessageBoxHooked();
int MessageBox(HWND Owner, const String& Text, const String& Caption, int Flags);

// ================================================================ TScreen

class TMonitor : public TObject {
public:
  int MonitorNum() const { return FNum; }
  TRect BoundsRect() const { return FBounds; }
  TRect WorkareaRect() const { return FWork; }
  bool Primary() const { return FPrimary; }
  int Left() const { return FBounds.Left; }
  int Top() const { return FBounds.Top; }
  int Width() const { return FBounds.Width(); }
  int Height() const { return FBounds.Height(); }

private:
  friend class TScreen;
  int FNum = 0;
  TRect FBounds, FWork;
  bool FPrimary = false;
};

class TScreen : public TComponent {
  KELM_CLASS(TScreen, TComponent)
public:
  explicit TScreen(TComponent* AOwner);
  ~TScreen() override;

  // Forms in z-order, the active first.
  int FormCount() const;
  TForm* Forms(int Index) const;
  int CustomFormCount() const { return static_cast<int>(FForms.size()); }
  TCustomForm* CustomForms(int Index) const;
  int DataModuleCount() const { return static_cast<int>(FDataModules.size()); }
  TDataModule* DataModules(int Index) const;
  TForm* ActiveForm() const;
  TCustomForm* ActiveCustomForm() const { return FActiveCustomForm; }
  TWinControl* ActiveControl() const { return FActiveControl; }

  // crDefault lets each control show its own cursor; another value overrides all of them.
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor v);
  // The cursor image of an id (the arrow for unknown ids); assigning nullptr removes it.
  HCURSOR Cursors(int Index) const;
  void SetCursors(int Index, HCURSOR Handle);
  TStrings* Fonts();
  TFont* HintFont() const { return FHintFont.get(); }
  TFont* MenuFont() const { return FMenuFont.get(); }
  TFont* IconFont() const { return FIconFont.get(); }

  int PixelsPerInch() const { return 96; }
  int Width() const;
  int Height() const;
  TRect DesktopRect() const;
  TRect WorkAreaRect() const;
  int WorkAreaLeft() const { return WorkAreaRect().Left; }
  int WorkAreaTop() const { return WorkAreaRect().Top; }
  int WorkAreaWidth() const { return WorkAreaRect().Width(); }
  int WorkAreaHeight() const { return WorkAreaRect().Height(); }
  int MonitorCount() const;
  TMonitor* Monitors(int Index) const;
  TMonitor* PrimaryMonitor() const;
  TMonitor* MonitorFromPoint(TPoint P, TMonitorDefaultTo Default = mdNearest) const;
  TMonitor* MonitorFromRect(const TRect& R, TMonitorDefaultTo Default = mdNearest) const;
  TMonitor* MonitorFromWindow(HWND Handle, TMonitorDefaultTo Default = mdNearest) const;

  TNotifyEvent OnActiveControlChange;
  TNotifyEvent OnActiveFormChange;

private:
  friend class TCustomForm;
  friend class TWinControl;
  friend class TDataModule;
  friend class TApplication;
  friend struct gui_glue::TAccess;
  void AddForm(TCustomForm* F);
  void RemoveForm(TCustomForm* F);
  void MoveFormToFront(TCustomForm* F);
  void SetActiveForm(TCustomForm* F);
  void SetActiveControl(TWinControl* C);
  void RefreshMonitors() const;

  std::vector<TCustomForm*> FForms;
  std::vector<TDataModule*> FDataModules;
  TCustomForm* FActiveCustomForm = nullptr;
  TWinControl* FActiveControl = nullptr;
  TCursor FCursor = crDefault;
  std::unique_ptr<TStrings> FFonts;
  std::unique_ptr<TFont> FHintFont, FMenuFont, FIconFont;
  mutable std::vector<std::unique_ptr<TMonitor>> FMonitors;
};
extern TScreen* Screen;

// Loads a cursor from the resources: "<Name>.cur" (or .ani's first frame is not supported);
// nullptr when there is none.
HCURSOR LoadCursorFromResource(const String& Name);
// A cursor made from a picture with its hot spot.
HCURSOR CreateCursorFromImage(TBitmap* Image, int HotX, int HotY);

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
  // The main menu (a TMainMenu of the menus module, or nullptr).
  template <class M = TMainMenu> M* Menu() const { return dynamic_cast<M*>(FMenu); }
  TComponent* MenuComponent() const { return FMenu; }
  void SetMenuComponent(TComponent* v);
  // Stored by layouts, without effect here.
  bool OldCreateOrder() const { return FOldCreateOrder; }
  void SetOldCreateOrder(bool v) { FOldCreateOrder = v; }
  int TextHeight() const { return FTextHeight; }
  void SetTextHeight(int v) { FTextHeight = v; }
  bool Scaled() const { return FScaled; }
  void SetScaled(bool v) { FScaled = v; }

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
  TTileMode FTileMode = tbHorizontal;
  bool FKeyPreview = false;
  bool FActive = false;
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
  class QMdiArea* FMdiArea = nullptr;
  class QMdiSubWindow* FSubWindow = nullptr;
  HWND FClientHandle = 0;
  std::vector<HWND> FDisabledWindows;  // by a modal loop
};

class TForm : public TCustomForm {
  KELM_CLASS(TForm, TCustomForm)
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
public:
  explicit TFrame(TComponent* AOwner) : TCustomFrame(AOwner) {}
};

// A container of non-visual components with a layout of its own.
class TDataModule : public TComponent {
  KELM_CLASS(TDataModule, TComponent)
public:
  explicit TDataModule(TComponent* AOwner);
  ~TDataModule() override;
  // Reads "forms/<ClassName>.txt" (when there is one), then Loaded and OnCreate.
  void InitDataModule();
  void BeforeDestruction();
  // A layout writes the module's components, in creation order.
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
  bool OldCreateOrder() const { return FOldCreateOrder; }
  void SetOldCreateOrder(bool v) { FOldCreateOrder = v; }
  // Design-time placement, stored by layouts.
  int Left() const { return FLeft; }
  void SetLeft(int v) { FLeft = v; }
  int Top() const { return FTop; }
  void SetTop(int v) { FTop = v; }
  int Height() const { return FHeight; }
  void SetHeight(int v) { FHeight = v; }
  int Width() const { return FWidth; }
  void SetWidth(int v) { FWidth = v; }

  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;

protected:
  virtual void DoCreate();
  virtual void DoDestroy();

private:
  bool FOldCreateOrder = false;
  bool FDestroyCalled = false;
  int FLeft = 0, FTop = 0, FHeight = 150, FWidth = 215;
};

// Loads the layouts of Instance's class chain up to (not including) RootAncestor into it;
// false when no class of the chain has a layout.
bool InitInheritedComponent(TComponent* Instance, TClass RootAncestor);
// The layout resource name of a class: "forms/<ClassName>.txt".
String LayoutResourceName(TClass Class);

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
    if (Reference) *Reference = nullptr;
    delete f;
    throw;
  }
  return f;
}

// Closes the drop-downs and modes of the active form (CM_CANCELMODE).
void SendCancelMode(TControl* Sender);

// ================================================================ TApplication

class TApplication : public TComponent {
  KELM_CLASS(TApplication, TComponent)
public:
  explicit TApplication(TComponent* AOwner);
  ~TApplication() override;

  String Title() const;
  void SetTitle(const String& v) { FTitle = v; }
  String ExeName() const;
  HWND Handle() const { return FHandle; }
  TForm* MainForm() const { return FMainForm; }
  void SetMainForm(TForm* v) { FMainForm = v; }
  bool ShowMainForm() const { return FShowMainForm; }
  void SetShowMainForm(bool v) { FShowMainForm = v; }

  // Creates a form (or data module) of class T owned by the application; the first form
  // becomes the main form.
  template <class T> void CreateForm(T** Reference) {
    T* f = ::CreateForm<T>(this, Reference);
    if constexpr (std::is_base_of_v<TForm, T>)
      if (!FMainForm) FMainForm = f;
  }

  // ---- the loop
  // Shows the main form and handles messages until Terminate.
  void Run();
  void Terminate();
  bool Terminated() const { return FTerminated; }
  // Handles every message waiting now, without waiting for more.
  void ProcessMessages();
  // Handles what is waiting; when nothing was, runs the idle handling and waits for the next
  // event.
  void HandleMessage();
  // Handles one queued message through OnMessage, the hint and key filters; false when the
  // queue was empty.
  bool ProcessMessage(TMsg& Msg);
  int ModalLevel() const { return FModalLevel; }

  // ---- exceptions
  // Inside a catch block: OnException, or the message box (error icon, caption Title);
  // EAbort is silent.
  void HandleException(TObject* Sender);
  void ShowException(const Exception& E);
  int MessageBox(const String& Text, const String& Caption = String(), int Flags = MB_OK);

  // ---- hints
  String Hint() const { return FHint; }
  void SetHint(const String& v);
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool v) { FShowHint = v; }
  int HintPause() const { return FHintPause; }
  void SetHintPause(int v) { FHintPause = v; }
  int HintShortPause() const { return FHintShortPause; }
  void SetHintShortPause(int v) { FHintShortPause = v; }
  int HintHidePause() const { return FHintHidePause; }
  void SetHintHidePause(int v) { FHintHidePause = v; }
  TColor HintColor() const { return FHintColor; }
  void SetHintColor(TColor v) { FHintColor = v; }
  void CancelHint();
  void ActivateHint(TPoint CursorPos);
  THintWindow* HintWindow() const { return FHintWindow; }
  void HintMouseMessage(TControl* Control, TMessage& Message);

  // ---- window state
  void Minimize();
  void Restore();
  bool Active() const { return FActive; }
  void BringToFront();

  // Idle work of other modules (action updates): called at every idle, in order of adding.
  void AddIdleHandler(TObject* Key, std::function<void()> Handler);
  void RemoveIdleHandler(TObject* Key);

  TExceptionEvent OnException;
  TIdleEvent OnIdle;
  TNotifyEvent OnHint;
  TMessageEvent OnMessage;
  TShowHintEvent OnShowHint;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TNotifyEvent OnMinimize;
  TNotifyEvent OnRestore;

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  friend struct gui_glue::TAccess;
  friend class TCustomForm;
  void Idle();
  bool IsKeyMsg(TMsg& Msg);
  bool IsHintMsg(TMsg& Msg);
  void HintTimerExpired();
  void DoActionIdle();

  String FTitle;
  HWND FHandle = 0;
  TForm* FMainForm = nullptr;
  bool FShowMainForm = true;
  bool FTerminated = false;
  int FModalLevel = 0;
  String FHint;
  bool FShowHint = true;
  int FHintPause = 500;
  int FHintShortPause = 50;
  int FHintHidePause = 2500;
  TColor FHintColor = clInfoBk;
  THintWindow* FHintWindow = nullptr;
  TControl* FHintControl = nullptr;
  UINT_PTR FHintTimer = 0;
  bool FHintActive = false;
  TPoint FHintCursor;
  bool FActive = true;
  std::vector<std::pair<TObject*, std::function<void()>>> FIdleHandlers;
};
extern TApplication* Application;

// Creates the Qt application (once), Application and Screen. Tests and the program call it
// first; later calls return at once.
void InitApplication(int& argc, char** argv);
// Frees Application and Screen (and every form they own), then runs the exit procedures.
void DoneApplication();
// A library's end: run once by DoneApplication (or RunExitProcs), the last added first.
void AddExitProc(std::function<void()> Proc);
void RunExitProcs();
