#pragma once
// The registration module the script tests install in every language, after the system
// library (which gives the base type names and constants): `procedure Emit(v: Variant)` that
// records what a script hands it, and two test classes.
//
//   TTestObj (TComponent): published Name, Tag, Flag (Boolean), Caption; its own
//     `constructor Create(AOwner: TComponent)` and `procedure Free`, recorded; registered method
//     `function Twice(x: Integer): Integer`, default index property `Items[i: Integer]: String`
//     (read and written through ".GET"/".SET"), a registered property `Flag` that the
//     published one hides.
//   TTestChild (TTestObj): published Extra; nothing registered of its own.
#include "core/Component.h"
#include "core/Variant.h"

#include <map>
#include <vector>

class TTestObj : public TComponent {
  KELM_CLASS(TTestObj, TComponent)
  template <class B> static void Published(B& b) {
    b.Prop("Caption", &TTestObj::Caption, &TTestObj::SetCaption);
    b.Prop("Flag", &TTestObj::Flag, &TTestObj::SetFlag).Default(false);
  }
public:
  explicit TTestObj(TComponent* AOwner) : TComponent(AOwner) {}
  const String& Caption() const { return FCaption; }
  void SetCaption(const String& Value) { FCaption = Value; }
  bool Flag() const { return FFlag; }
  void SetFlag(bool Value) { FFlag = Value; }
  // The default index property's storage.
  std::map<int, String> Items;

private:
  String FCaption;
  bool FFlag = false;
};

class TTestChild : public TTestObj {
  KELM_CLASS(TTestChild, TTestObj)
  template <class B> static void Published(B& b) {
    b.Prop("Extra", &TTestChild::Extra, &TTestChild::SetExtra).Default(0);
  }
public:
  explicit TTestChild(TComponent* AOwner) : TTestObj(AOwner) {}
  int Extra() const { return FExtra; }
  void SetExtra(int Value) { FExtra = Value; }

private:
  int FExtra = 0;
};

// Adds the module to the process's module list (once).
void RegisterScriptTestModule();
// What Emit received since the last clear.
std::vector<Variant>& ScriptTestEmitted();
// Names of the call-backs run since the last clear, as "CLASS.NAME" or "NAME".
std::vector<String>& ScriptTestCalls();
