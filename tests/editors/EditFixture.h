#pragma once
// The editor base under test: TTestEditProperties validate (the text "bad" is invalid),
// compare values and reset on Escape; TTestEdit keeps its display text in a string, takes
// typed characters into it and turns it into its value when validated; every event goes to
// one log. TEditForm puts one with two buttons on a shown form beside a platform edit.
#include "StdTestUtil.h"

#include "editors/cxCanvas.h"
#include "editors/cxEdit.h"
#include "gui/Edit.h"

#include <memory>
#include <string>
#include <vector>

namespace edittest {

using Log = std::vector<std::string>;

class TTestEditProperties : public TcxCustomEditProperties {
  KELM_CLASS(TTestEditProperties, TcxCustomEditProperties)
  template <class B> static void Published(B& b) { PublishedSettings(b); }

public:
  using TcxCustomEditProperties::TcxCustomEditProperties;
  bool CanValidate() override { return true; }
  bool CanCompareEditValues() override { return true; }
  bool SupportsEscapeReset() override { return true; }
  void CheckDisplayValue(Variant& DisplayValue, String& ErrorText, bool& Error, TcxCustomEdit* AEdit) override {
    if (VarToStr(DisplayValue) == "bad") Error = true;
    TcxCustomEditProperties::CheckDisplayValue(DisplayValue, ErrorText, Error, AEdit);
  }
};

// Properties of another family: an editor of TTestEditProperties refuses them.
class TOtherEditProperties : public TcxCustomEditProperties {
  KELM_CLASS(TOtherEditProperties, TcxCustomEditProperties)
public:
  using TcxCustomEditProperties::TcxCustomEditProperties;
};

class TTestRepositoryItem : public TcxEditRepositoryItem {
  KELM_CLASS(TTestRepositoryItem, TcxEditRepositoryItem)
public:
  using TcxEditRepositoryItem::TcxEditRepositoryItem;
  TClass ItemPropertiesClass() override { return TTestEditProperties::StaticClass(); }
};

class TOtherRepositoryItem : public TcxEditRepositoryItem {
  KELM_CLASS(TOtherRepositoryItem, TcxEditRepositoryItem)
public:
  using TcxEditRepositoryItem::TcxEditRepositoryItem;
  TClass ItemPropertiesClass() override { return TOtherEditProperties::StaticClass(); }
};

// A binding that records what is posted to it.
class TRecordingBinding : public TcxEditDataBinding {
public:
  using TcxEditDataBinding::TcxEditDataBinding;
  Log* Events = nullptr;
  bool Fail = false;
  void StoreValue(const Variant& Value) override {
    if (Events) Events->push_back("store " + VarToStr(Value));
    if (Fail) throw Exception("the store failed");
  }
};

class TTestEdit : public TcxCustomEdit {
  KELM_CLASS(TTestEdit, TcxCustomEdit)
  template <class B> static void Published(B& b) {
    PublishedEditing(b);
    b.Prop("Properties", &TTestEdit::Properties, &TTestEdit::SetProperties);
  }

public:
  explicit TTestEdit(TComponent* AOwner) : TTestEdit(AOwner, false) {}
  TTestEdit(TComponent* AOwner, bool AInPlace) : TcxCustomEdit(AOwner, AInPlace, TDeferInitialize{}) {
    InitializeEdit();
  }
  TTestEdit(TComponent* AOwner, bool AInPlace, TDeferInitialize D) : TcxCustomEdit(AOwner, AInPlace, D) {}
  TTestEditProperties* Properties() const { return static_cast<TTestEditProperties*>(TcxCustomEdit::Properties()); }
  void SetProperties(TTestEditProperties* Value) { TcxCustomEdit::Properties()->Assign(Value); }

  String Text;
  Log* Events = nullptr;
  int PropertiesApplied = 0;
  using TcxCustomEdit::KeyDown;

  TClass GetPropertiesClass() override { return TTestEditProperties::StaticClass(); }
  TcxEditDataBindingClass GetDataBindingClass() override {
    return [](TcxCustomEdit* E) -> TcxEditDataBinding* { return new TRecordingBinding(E); };
  }
  TRecordingBinding* Binding() const { return static_cast<TRecordingBinding*>(DataBinding()); }
  void ReadDisplayText(String& S) override { S = Text; }
  void ShowEditValue() override { Text = VarToStr(EditValue()); }
  void PutDisplayValue(const Variant& V) override { Text = VarToStr(V); }
  void ApplyDisplayValue(const Variant& V) override { SetEditValue(V); }
  bool IsValueChangingChar(Char C) override { return C >= 32; }
  void SelectWholeText() override { Note("select"); }
  void ButtonPressed(int Index) override { Note("pressed " + std::to_string(Index)); }
  void ButtonReleased(int Index) override { Note("released " + std::to_string(Index)); }
  void ApplyPropertiesChange(TObject* Sender) override {
    ++PropertiesApplied;
    TcxCustomEdit::ApplyPropertiesChange(Sender);
  }
  void ProcessKeyPress(Char& Key) override {
    TcxCustomEdit::ProcessKeyPress(Key);
    if (Key < 32) return;
    Text += static_cast<char>(Key);
    SetChangedSinceEnter(true);
    SignalChange();
  }
  // Each paint with the box of the area it was asked to draw.
  int Paints = 0;
  TRect LastPaintBox;
  void Paint() override {
    ++Paints;
    std::unique_ptr<TcxRegion> clip(cxCanvas()->ReadClipRegion());
    LastPaintBox = clip->BoundsRect();
    TcxCustomEdit::Paint();
  }
  void ClipboardCopy() override { Note(UserChangeMode() ? "copy as user" : "copy"); }
  void ClipboardCut() override { Note(UserChangeMode() ? "cut as user" : "cut"); }
  void ClipboardPaste() override { Note(UserChangeMode() ? "paste as user" : "paste"); }
  TcxCustomEditDataClass EditDataClass() override {
    return [](TcxCustomEdit* E) { return new TcxCustomEditData(E); };
  }
  void ResetEditData() override { Note("reset"); }
  void Note(const std::string& S) {
    if (Events) Events->push_back(S);
  }
};

// A form with a test editor (two buttons: an ellipsis and a down arrow) and a platform edit
// to take the focus elsewhere; every event of the editor goes to one log.
struct TEditForm : stdtest::FormFixture {
  TTestEdit* Ed = nullptr;
  TEdit* Other = nullptr;
  Log Events;

  void SetUp() override {
    FormFixture::SetUp();
    Ed = MakeEdit(Rect(10, 10, 170, 31));
    Ed->Properties()->Buttons()->Add()->SetKind(bkEllipsis);
    Ed->Properties()->Buttons()->Add()->SetKind(bkDown);
    Other = Add<TEdit>(Rect(10, 150, 110, 171));
    Application->ProcessMessages();
  }
  TTestEdit* MakeEdit(const TRect& R) {
    auto* e = Add<TTestEdit>(R);
    e->SetAutoSize(false);  // the base measures no text: it would shrink to its border
    e->SetBounds(R.Left, R.Top, R.Width(), R.Height());
    e->Events = &Events;
    e->Binding()->Events = &Events;
    Listen(e);
    return e;
  }
  void Listen(TTestEdit* E) {
    TTestEditProperties* p = E->Properties();
    p->OnChange = TNotifyEvent::Lambda([this](TObject*) { Events.push_back("OnChange"); });
    p->OnEditValueChanged = TNotifyEvent::Lambda([this](TObject*) { Events.push_back("OnEditValueChanged"); });
    p->OnButtonClick = TcxEditButtonClickEvent::Lambda(
        [this](TObject*, int i) { Events.push_back("click " + std::to_string(i)); });
    E->OnEnter = TNotifyEvent::Lambda([this](TObject*) { Events.push_back("OnEnter"); });
    E->OnExit = TNotifyEvent::Lambda([this](TObject*) { Events.push_back("OnExit"); });
    E->OnKeyDown = TKeyEvent::Lambda([this](TObject*, Word& K, TShiftState) {
      Events.push_back("OnKeyDown " + std::to_string(K));
    });
    E->OnKeyPress = TKeyPressEvent::Lambda([this](TObject*, Char& K) {
      Events.push_back("OnKeyPress " + std::to_string(static_cast<int>(K)));
    });
  }
  // The centre of the editor's button view info i.
  TPoint ButtonCentre(int I) {
    const TRect& b = Ed->ViewInfo()->Buttons[I]->Bounds;
    return {(b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2};
  }
};

}  // namespace edittest
