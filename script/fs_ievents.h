#pragma once
// The event bridge: script procedures as handlers of host objects' events. Assigning a
// procedure's name to an event member (TfsEventHelper) makes a bridge of the event's kind,
// which the script's item list owns, and installs the bridge's method, of exactly the event's
// signature, as the object's handler. When the event fires the bridge passes its arguments
// into the procedure's parameters (objects as handles, sets as their bits, a character as a
// one-character text), runs it, and writes the var arguments back.
//
// A handler that fires while its procedure is running does nothing. Parameters beyond what
// the event supplies take their defaults (Null without one); values the procedure has no
// parameter for are left as the event had them; a key-press handler that leaves Key empty
// swallows the key. An error in the procedure leaves the event's values unwritten and passes
// out of the handler to the platform's dispatch, which reports it.
//
// A bridge freed with the script's program (DiscardProgram, the script's end) clears the event
// it still holds, unless its object was freed first; a later handler of the same event
// replaces the method but leaves the old bridge in place, since a running handler may replace
// its own event.
// Declares TfsCustomEvent, the eight bridges TfsNotifyEvent ... TfsCanResizeEvent and the
// bridge factory.
#include "core/Events.h"
#include "core/TypInfo.h"
#include "core/Variant.h"
#include "gui/Forms.h"

#include <initializer_list>

class TfsProcVariable;

class TfsCustomEvent : public TObject {
  KELM_CLASS(TfsCustomEvent, TObject)
public:
  TfsCustomEvent(TObject* AInstance, TfsProcVariable* AHandler);
  ~TfsCustomEvent() override;

  // The method of the event's signature bound to this bridge.
  virtual TMethod HandlerEntry() = 0;
  // Sets the object's event property to HandlerEntry.
  void Install(const String& AEventName);
  // The object served; nullptr once it is freed.
  TObject* Instance() const;
  TfsProcVariable* Handler() const { return FHandler; }

protected:
  // Runs the procedure with the arguments; false when it was skipped (already running).
  bool CallHandler(std::initializer_list<Variant> Args);
  // Whether the procedure has parameter Index, and its value after the run.
  bool HasParam(int Index) const;
  Variant ParamValue(int Index) const;

private:
  Integer FInstance;  // a handle, so a freed object is noticed
  TfsProcVariable* FHandler;
  String FEventName;
};

// Makes a bridge of the class an event member names; nullptr for a class that is no bridge.
TfsCustomEvent* CreateEventBridge(TClass BridgeClass, TObject* AInstance, TfsProcVariable* AHandler);

// ---- the bridges, one per event signature

class TfsNotifyEvent : public TfsCustomEvent {
  KELM_CLASS(TfsNotifyEvent, TfsCustomEvent)
public:
  using TfsCustomEvent::TfsCustomEvent;
  TMethod HandlerEntry() override;
  void DoEvent(TObject* Sender);
};

class TfsMouseEvent : public TfsCustomEvent {
  KELM_CLASS(TfsMouseEvent, TfsCustomEvent)
public:
  using TfsCustomEvent::TfsCustomEvent;
  TMethod HandlerEntry() override;
  void DoEvent(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
};

class TfsMouseMoveEvent : public TfsCustomEvent {
  KELM_CLASS(TfsMouseMoveEvent, TfsCustomEvent)
public:
  using TfsCustomEvent::TfsCustomEvent;
  TMethod HandlerEntry() override;
  void DoEvent(TObject* Sender, TShiftState Shift, int X, int Y);
};

class TfsKeyEvent : public TfsCustomEvent {
  KELM_CLASS(TfsKeyEvent, TfsCustomEvent)
public:
  using TfsCustomEvent::TfsCustomEvent;
  TMethod HandlerEntry() override;
  void DoEvent(TObject* Sender, Word& Key, TShiftState Shift);
};

class TfsKeyPressEvent : public TfsCustomEvent {
  KELM_CLASS(TfsKeyPressEvent, TfsCustomEvent)
public:
  using TfsCustomEvent::TfsCustomEvent;
  TMethod HandlerEntry() override;
  void DoEvent(TObject* Sender, Char& Key);
};

class TfsCloseEvent : public TfsCustomEvent {
  KELM_CLASS(TfsCloseEvent, TfsCustomEvent)
public:
  using TfsCustomEvent::TfsCustomEvent;
  TMethod HandlerEntry() override;
  void DoEvent(TObject* Sender, TCloseAction& Action);
};

class TfsCloseQueryEvent : public TfsCustomEvent {
  KELM_CLASS(TfsCloseQueryEvent, TfsCustomEvent)
public:
  using TfsCustomEvent::TfsCustomEvent;
  TMethod HandlerEntry() override;
  void DoEvent(TObject* Sender, bool& CanClose);
};

class TfsCanResizeEvent : public TfsCustomEvent {
  KELM_CLASS(TfsCanResizeEvent, TfsCustomEvent)
public:
  using TfsCustomEvent::TfsCustomEvent;
  TMethod HandlerEntry() override;
  void DoEvent(TObject* Sender, int& NewWidth, int& NewHeight, bool& Resize);
};
