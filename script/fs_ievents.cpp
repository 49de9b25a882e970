// The event bridge: bridges made by class, arguments in, var values back.
#include "script/fs_ievents.h"

#include "script/fs_iprocvariable.h"
#include "core/ClassBuilder.h"
#include "core/ObjectHandles.h"
#include "core/StrUtils.h"

#include <map>

KELM_PUBLISH(TfsCustomEvent) {}
KELM_PUBLISH(TfsNotifyEvent) {}
KELM_PUBLISH(TfsMouseEvent) {}
KELM_PUBLISH(TfsMouseMoveEvent) {}
KELM_PUBLISH(TfsKeyEvent) {}
KELM_PUBLISH(TfsKeyPressEvent) {}
KELM_PUBLISH(TfsCloseEvent) {}
KELM_PUBLISH(TfsCloseQueryEvent) {}
KELM_PUBLISH(TfsCanResizeEvent) {}

namespace {

using TBridgeFactory = TfsCustomEvent* (*)(TObject* AInstance, TfsProcVariable* AHandler);

template <class B> TfsCustomEvent* MakeBridge(TObject* AInstance, TfsProcVariable* AHandler) {
  return new B(AInstance, AHandler);
}

const std::map<TClass, TBridgeFactory>& Bridges() {
  static const std::map<TClass, TBridgeFactory> bridges{
      {TfsNotifyEvent::StaticClass(), MakeBridge<TfsNotifyEvent>},
      {TfsMouseEvent::StaticClass(), MakeBridge<TfsMouseEvent>},
      {TfsMouseMoveEvent::StaticClass(), MakeBridge<TfsMouseMoveEvent>},
      {TfsKeyEvent::StaticClass(), MakeBridge<TfsKeyEvent>},
      {TfsKeyPressEvent::StaticClass(), MakeBridge<TfsKeyPressEvent>},
      {TfsCloseEvent::StaticClass(), MakeBridge<TfsCloseEvent>},
      {TfsCloseQueryEvent::StaticClass(), MakeBridge<TfsCloseQueryEvent>},
      {TfsCanResizeEvent::StaticClass(), MakeBridge<TfsCanResizeEvent>},
  };
  return bridges;
}

Variant Ref(TObject* O) { return Variant(HandleOf(O)); }
Variant Bits(TShiftState S) { return Variant(static_cast<int>(S.Bits())); }

}  // namespace

TfsCustomEvent* CreateEventBridge(TClass BridgeClass, TObject* AInstance, TfsProcVariable* AHandler) {
  auto it = Bridges().find(BridgeClass);
  return it == Bridges().end() ? nullptr : it->second(AInstance, AHandler);
}

// ---------------------------------------------------------------- TfsCustomEvent

TfsCustomEvent::TfsCustomEvent(TObject* AInstance, TfsProcVariable* AHandler)
    : FInstance(HandleOf(AInstance)), FHandler(AHandler) {}

TfsCustomEvent::~TfsCustomEvent() {
  // The object must not call a bridge that is gone.
  TObject* instance = Instance();
  if (!instance || FEventName.empty()) return;
  TMethod current = GetMethodProp(instance, FEventName);
  if (current.Assigned() && current.Data == this) SetMethodProp(instance, FEventName, TMethod());
}

TObject* TfsCustomEvent::Instance() const { return ObjectOf(FInstance); }

void TfsCustomEvent::Install(const String& AEventName) {
  FEventName = AEventName;
  if (TObject* instance = Instance()) SetMethodProp(instance, AEventName, HandlerEntry());
}

bool TfsCustomEvent::CallHandler(std::initializer_list<Variant> Args) {
  if (FHandler->Executing()) return false;
  int k = 0;
  for (const Variant& a : Args) {
    if (k >= FHandler->ParamCount()) break;
    FHandler->Params(k++)->StoreValue(a);
  }
  for (; k < FHandler->ParamCount(); ++k) FHandler->Params(k)->StoreValue(FHandler->Params(k)->DefaultValue());
  FHandler->FetchValue();
  return true;
}

bool TfsCustomEvent::HasParam(int Index) const { return Index < FHandler->ParamCount(); }

Variant TfsCustomEvent::ParamValue(int Index) const { return FHandler->Params(Index)->FetchValue(); }

// ---------------------------------------------------------------- the bridges

TMethod TfsNotifyEvent::HandlerEntry() { return TNotifyEvent::MakeMethod(this, &TfsNotifyEvent::DoEvent); }
void TfsNotifyEvent::DoEvent(TObject* Sender) { CallHandler({Ref(Sender)}); }

TMethod TfsMouseEvent::HandlerEntry() { return TMouseEvent::MakeMethod(this, &TfsMouseEvent::DoEvent); }
void TfsMouseEvent::DoEvent(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
  CallHandler({Ref(Sender), Variant(static_cast<int>(Button)), Bits(Shift), Variant(X), Variant(Y)});
}

TMethod TfsMouseMoveEvent::HandlerEntry() { return TMouseMoveEvent::MakeMethod(this, &TfsMouseMoveEvent::DoEvent); }
void TfsMouseMoveEvent::DoEvent(TObject* Sender, TShiftState Shift, int X, int Y) {
  CallHandler({Ref(Sender), Bits(Shift), Variant(X), Variant(Y)});
}

TMethod TfsKeyEvent::HandlerEntry() { return TKeyEvent::MakeMethod(this, &TfsKeyEvent::DoEvent); }
void TfsKeyEvent::DoEvent(TObject* Sender, Word& Key, TShiftState Shift) {
  if (!CallHandler({Ref(Sender), Variant(static_cast<int>(Key)), Bits(Shift)})) return;
  if (HasParam(1)) Key = static_cast<Word>(ParamValue(1).AsInteger());
}

TMethod TfsKeyPressEvent::HandlerEntry() { return TKeyPressEvent::MakeMethod(this, &TfsKeyPressEvent::DoEvent); }
void TfsKeyPressEvent::DoEvent(TObject* Sender, Char& Key) {
  String text;
  AppendUtf8(text, Key);
  if (!CallHandler({Ref(Sender), Variant(text)})) return;
  if (!HasParam(1)) return;
  // An empty Key swallows the key.
  String back = VarToStr(ParamValue(1));
  std::size_t pos = 0;
  Key = back.empty() ? Char(0) : DecodeUtf8(back, pos);
}

TMethod TfsCloseEvent::HandlerEntry() { return TCloseEvent::MakeMethod(this, &TfsCloseEvent::DoEvent); }
void TfsCloseEvent::DoEvent(TObject* Sender, TCloseAction& Action) {
  if (!CallHandler({Ref(Sender), Variant(static_cast<int>(Action))})) return;
  if (HasParam(1)) Action = static_cast<TCloseAction>(ParamValue(1).AsInteger());
}

TMethod TfsCloseQueryEvent::HandlerEntry() { return TCloseQueryEvent::MakeMethod(this, &TfsCloseQueryEvent::DoEvent); }
void TfsCloseQueryEvent::DoEvent(TObject* Sender, bool& CanClose) {
  if (!CallHandler({Ref(Sender), Variant(CanClose)})) return;
  if (HasParam(1)) CanClose = ParamValue(1).AsBoolean();
}

TMethod TfsCanResizeEvent::HandlerEntry() { return TCanResizeEvent::MakeMethod(this, &TfsCanResizeEvent::DoEvent); }
void TfsCanResizeEvent::DoEvent(TObject* Sender, int& NewWidth, int& NewHeight, bool& Resize) {
  if (!CallHandler({Ref(Sender), Variant(NewWidth), Variant(NewHeight), Variant(Resize)})) return;
  if (HasParam(1)) NewWidth = ParamValue(1).AsInteger();
  if (HasParam(2)) NewHeight = ParamValue(2).AsInteger();
  if (HasParam(3)) Resize = ParamValue(3).AsBoolean();
}
