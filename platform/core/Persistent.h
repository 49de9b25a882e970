#pragma once
// TPersistent: objects that can be assigned and streamed.
#include "core/Scope.h"
#include "core/TypInfo.h"

class TFiler;

class TPersistent : public TObject {
  KELM_CLASS(TPersistent, TObject)
public:
  // Copies the source's state into this object; classes that cannot take it raise
  // EConvertError "Cannot assign a <source> to a <this>".
  virtual void Assign(TPersistent* Source);
  virtual TPersistent* GetOwner() const { return nullptr; }
  // The dotted path of this object from its root (e.g. "Form1.Button1.Font").
  virtual String GetNamePath() const;
  // Streams values that are not published properties (binary data, lists).
  virtual void DefineProperties(TFiler* Filer) {}

protected:
  virtual void AssignTo(TPersistent* Dest);
};

// Runs Change between Target.BeginUpdate() and Target.EndUpdate() (string lists, collections),
// so that one change notice follows the whole change; the update also ends when Change throws.
template <class T, class F> void WithinUpdate(T& Target, F&& Change) {
  Target.BeginUpdate();
  // Ending the update sends the change notice, which may raise: no destructor.
  TryFinally(Change, [&Target] { Target.EndUpdate(); });
}
