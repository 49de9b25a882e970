#pragma once
// Private to platform/gui: the Qt side of windows and messages. Each windowed control owns a
// TControlWidget; an application event filter turns Qt's input into the messages a Windows
// program sees. Only .cpp files of platform/gui include this header.
#include "gui/Controls.h"
#include "gui/Messages.h"

#include <QtCore/QObject>
#include <QtCore/QPointer>
#include <QtGui/QCursor>
#include <QtGui/QImage>
#include <QtWidgets/QMdiArea>
#include <QtWidgets/QMdiSubWindow>
#include <QtWidgets/QWidget>

#include <cstdint>
#include <functional>
#include <map>
#include <string>

class TCustomForm;

// The widget of a windowed control. It paints the control from two buffers: the client
// pixels (what WM_PAINT draws) and, when the control has a non-client frame, the frame.
class TControlWidget : public QWidget {
public:
  explicit TControlWidget(TWinControl* Control);
  ~TControlWidget() override;

  TWinControl* Control = nullptr;  // cleared when the control goes
  QImage ClientImage;
  QImage FrameImage;
  bool NeedsPaint = true;      // the client pixels must be painted again
  // Only this part of the client must be painted again (pixels moved by ScrollWindow keep
  // the rest); a whole-client paint, when one is due, covers it.
  bool NeedsPartialPaint = false;
  QRect PartialArea;
  bool NeedsFramePaint = true;
  bool Painting = false;
  bool PaintFailed = false;    // a failing paint is not repeated until the next invalidation
  HDC PaintDC = nullptr;       // the context of the paint in progress
  QWidget* MenuBar = nullptr;  // a form's menu bar, laid above the client area
  // The window region set by the program (widget coordinates), kept apart from the clip to
  // the parent's client area, with which it makes the widget's mask.
  QRegion WindowRegion;
  bool HasWindowRegion = false;

  // Paints what is invalid into the buffers (no blit).
  void PaintBuffers();
  // The screen's copy of part of the widget is out of date (widget coordinates; a part of the
  // client in client coordinates; the frame around the client); the event loop copies it, or
  // Flush at once. Only what changed is copied: a grid moving its current row copies two rows,
  // not the whole window.
  void Schedule(const QRegion& Area);
  void ScheduleAll() { ScheduleRect(rect()); }
  void ScheduleClient(const QRect& Area);
  void ScheduleFrame();
  // Copies what is scheduled to the screen now (the buffers are painted first).
  void Flush();
  // The buffers as one picture of the whole widget.
  QImage Composite();
  void EnsureBuffers();

protected:
  bool event(QEvent* e) override;
  void paintEvent(QPaintEvent* e) override;

private:
  bool HandleEvent(QEvent* e);
  QRect ClientArea() const;
  void ScheduleRect(const QRect& Area);
  QRegion Unflushed;  // scheduled and not yet copied
  // The last area asked of Qt and not copied since: the same part invalidated again (a grid's
  // current row at every record of a long keyboard selection) asks Qt only once.
  QRect LastScheduled;
};

// The MDI client area of a form and the frame of an MDI child: Qt's, under names of the
// layer's own, so the public headers name no Qt class.
class TMdiArea : public QMdiArea {
public:
  using QMdiArea::QMdiArea;
};
class TMdiSubWindow : public QMdiSubWindow {
public:
  using QMdiSubWindow::QMdiSubWindow;
};

namespace gui_glue {

// ---- handles and queue (Messages.cpp)
HWND RegisterControlWindow(TWinControl* Control);
void UnregisterWindow(HWND Handle);
void RequestPump();
// Takes the next message for the application's loop (Seq: its number in the queue).
bool TakeMessage(TMsg& Msg, std::uint64_t* Seq = nullptr);
// Queues a message translated from Qt input with the characters its key types; returns its
// number in the queue.
std::uint64_t PostInput(TMsg Msg, std::u32string Chars);
bool IsQueued(std::uint64_t Seq);
// A loop waits in GetMessage or WaitMessage: input arriving now is only queued for it.
bool WaitingForInput();
LRESULT DeliverToWindow(HWND Handle, TMessage& Message);
void SetKeyDown(int VirtKey, bool Down);
// The windows made by AllocateHWnd that still exist, oldest first.
std::vector<HWND> MessageWindows();

// ---- application (Application.cpp)
// Components released while a message was handled are freed after it.
void DeferDelete(TComponent* Component);
void ProcessDeferredDeletes();
// Processes the messages queued now (the later ones at the next turn).
void DrainQueue();
// Queues a message translated from Qt input (Chars: what its key types). Unless a loop waits
// for input, the queue is then run up to and including it, as the loop would take it next.
// Native: the control whose embedded Qt widget receives the event; the answer is whether
// the message reached its default handler (so Qt should deliver the event on).
bool DispatchInput(const TMsg& Msg, std::u32string Chars, TWinControl* Native);
// Shows the exception being handled (call inside a catch block).
void HandleCurrentException(TObject* Sender);
void SystemBeep();
void FormActivated(TCustomForm* Form, bool Active);
// The message box service (the test hook when set).
int ShowMessageBox(const String& Text, const String& Caption, int Flags);

// ---- controls (Control.cpp, QtGlue.cpp)
TPoint CursorPos();
void DeliverToControl(TWinControl* Control, TMessage& Message);
TWinControl* ControlOfWidget(const QWidget* Widget);  // the nearest control up the chain
QCursor QtCursor(TCursor Cursor);
// The window whose WM_SETCURSOR is being answered: SetCursor shapes its widget.
void SetCursorWindow(HWND Window);
void InstallInputFilter();
void ControlDestroyed(TControl* Control);
// The focus moves nowhere without messages (its window is going).
void ForgetFocus();
// While a Qt event is translated for a control embedding a native widget: whether one of
// its messages reached the default handler, so Qt should deliver the event on.
void BeginNativePass(TWinControl* Control);
bool EndNativePass();
// Makes the form of a control the active window (WM_ACTIVATE to both forms).
void ActivateFormOf(TWinControl* Control);
// The private message that gives the focus back after a failing exit handler.
constexpr UINT CM_REFOCUS = CM_BASE + 0x0F00;

// Access to protected members of the control tree for the glue.
struct TAccess {
  static void Paint(TControlWidget* W);
  static void NCPaint(TControlWidget* W);
  static bool MouseEvent(TWinControl* Target, QWidget* Receiver, class QMouseEvent* E);
  static void WidgetResized(TWinControl* Control, int W, int H);
  static void WidgetMoved(TWinControl* Control, int X, int Y);
  static TRect& NC(TWinControl* C) { return C->FNC; }
  static QWidget* Widget(TWinControl* C) { return C->FWidget; }
  static void ApplyGeometry(TWinControl* C) { C->ApplyGeometry(); }
  static HWND WindowHandle(const TWinControl* C) { return C->FHandle; }
  static void SetStyles(TWinControl* C, DWORD Style, DWORD ExStyle) {
    C->FStyle = Style;
    C->FExStyle = ExStyle;
  }
  static TRect InsideMarginsOf(const TWinControl* C) { return C->InsideMargins(); }
  static void ScreenControlDestroyed(TControl* C);
  static void ApplicationControlDestroyed(TControl* C);
  static void ScreenSetActiveForm(TCustomForm* F);
  static void SetApplicationActive(bool Active);
  // Tests run many loops in one process: a loop ended by WM_QUIT must not end the next.
  static void ResetTerminated();
  static std::map<int, HCURSOR>& ScreenCursors();
  static QCursor CursorOf(HCURSOR H);
  static QMdiArea* MdiAreaOf(TCustomForm* F);
  static QMdiSubWindow* SubWindowOf(TCustomForm* F);
  static void SetApplyingGeometry(TWinControl* C, bool V);
  static bool ApplyingGeometry(const TWinControl* C);
};

// The form whose widget this is (nullptr for others).
TCustomForm* FormOfWidget(QWidget* W);
// Makes a form the active one (WM_ACTIVATE to it and to the one it replaces); unless the
// window system reported the change itself, it is asked to activate the form's window.
void ActivateForm(TCustomForm* F, bool AskWindowSystem = true);
// Activates the next visible form when Leaving hides.
void ActivateNextForm(TCustomForm* Leaving);
void ForgetFocusIfWithin(TCustomForm* F);
void ClosePopupsOf(TCustomForm* F);

// The cursor position the input translation saw last (screen coordinates).
void SetTrackedCursorPos(TPoint P);
void MouseControlDestroyed(TControl* Control);
// Takes the capture away from its holder, which is told by WM_CANCELMODE.
void CancelCapture();
// True while the layer itself gives a widget Qt's focus.
bool SettingQtFocus();
// Points the device contexts handed out for a widget at its reallocated buffers.
void RetargetDCs(TControlWidget* W);
void SuspendDCs(TControlWidget* W);

// A form's menu bar sits above the client area; the menus module places it through this.
void SetFormMenuBar(TCustomForm* Form, QWidget* MenuBar);
// The MDI client area of an MDI form (nullptr for others).
QMdiArea* MdiArea(TCustomForm* Form);

// Popups open now (latest last) with the function that closes each.
struct TOpenPopup {
  QPointer<QWidget> Widget;
  TWinControl* Popup;
  TWinControl* Owner;
  std::function<void()> Close;
};
std::vector<TOpenPopup>& Popups();
void ClosePopup(TWinControl* Popup);

}  // namespace gui_glue
