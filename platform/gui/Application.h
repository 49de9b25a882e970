#pragma once
// The application: its message loop over the queue (OnMessage, shortcuts and dialog keys
// before a message is dispatched), exceptions shown in a box, idle work and hints.
// Declares TApplication.
#include "gui/Controls.h"
#include "gui/Forms.h"
#include "gui/Messages.h"

#include <functional>
#include <type_traits>
#include <utility>
#include <vector>

KELM_EVENT(TExceptionEvent, void(TObject* Sender, Exception* E));
KELM_EVENT(TIdleEvent, void(TObject* Sender, bool& Done));
KELM_EVENT(TMessageEvent, void(TMsg& Msg, bool& Handled));
KELM_EVENT(TShowHintEvent, void(String& HintStr, bool& CanShow, THintInfo& HintInfo));
// Sees a message of the main window before it does; true claims it.
KELM_EVENT(TWindowHook, bool(TMessage& Message));

class TApplication : public TComponent {
  KELM_CLASS(TApplication, TComponent)
public:
  explicit TApplication(TComponent* AOwner);
  ~TApplication() override;

  String Title() const;
  void SetTitle(const String& v) { FTitle = v; }
  // The help file windows name while they are active; no help viewer opens it.
  const String& HelpFile() const { return FHelpFile; }
  void SetHelpFile(const String& v) { FHelpFile = v; }
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

  // ---- actions
  // Offers an action that no handler took (Msg CM_ACTIONEXECUTE or CM_ACTIONUPDATE) to the
  // controls of the active form, then of the main form, as its target; true when one took it.
  bool DispatchAction(UINT Msg, TBasicAction* Action);

  // ---- main window hooks
  // Hooks see every message of the main form first, in the order they were added; one that
  // returns true ends the message there.
  void HookMainWindow(const TWindowHook& Hook);
  void UnhookMainWindow(const TWindowHook& Hook);
  int MainWindowHookCount() const { return static_cast<int>(FWindowHooks.size()); }
  // Whether the locale's format settings follow WM_WININICHANGE (they are read again before
  // the main window's hooks see it).
  bool UpdateFormatSettings() const { return FUpdateFormatSettings; }
  void SetUpdateFormatSettings(bool v) { FUpdateFormatSettings = v; }
  // Runs the hooks over a message of the main form; true when one claimed it.
  bool CallMainWindowHooks(TMessage& Message);

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
  bool IsDragKeyMsg(TMsg& Msg);
  bool IsHintMsg(TMsg& Msg);
  void HintTimerExpired();
  void DoActionIdle();

  String FTitle;
  String FHelpFile;
  HWND FHandle = 0;
  TForm* FMainForm = nullptr;
  TWindowState FStateBeforeMinimize = wsNormal;
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
  TRect FHintCursorRect;    // client of FHintControl: the hint shown belongs to it
  bool FHintReshow = false;  // the next hint follows one just shown: the short pause
  bool FActive = true;
  std::vector<std::pair<TObject*, std::function<void()>>> FIdleHandlers;
  std::vector<TWindowHook> FWindowHooks;
  bool FUpdateFormatSettings = true;
};
extern TApplication* Application;

// The active window belongs to this program: the application is active.
bool ActiveWindowIsOwn();

// The user changes the locale, as the system would tell it: the settings given become the
// process's format settings and every utility window and top-level form, the main form among
// them, receives WM_WININICHANGE ("intl") through SendSystemBroadcast. The system's
// broadcast never reaches this layer; tests call this instead.
struct TFormatSettings;
void SimulateLocaleChange(const TFormatSettings& NewSettings);

// Creates the Qt application (once), Application and Screen. Tests and the program call it
// first; later calls return at once.
void InitApplication(int& argc, char** argv);
// Frees Application and Screen (and every form they own), then runs the exit procedures.
void DoneApplication();
// A library's end: run once by DoneApplication (or RunExitProcs), the last added first.
void AddExitProc(std::function<void()> Proc);
void RunExitProcs();
