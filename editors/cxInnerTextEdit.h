#pragma once
// The platform single-line edit a text editor hosts: it does the typing, caret, selection
// and clipboard work of the platform edit, but hands every input event to its editor first,
// reports positions in the editor's coordinates and keeps no frame. The editor drives it
// only through the interfaces its companion object implements.
// Declares IcxInnerTextEdit, TcxCustomInnerTextEdit and TcxCustomInnerTextEditHelper.
#include "editors/cxClasses.h"
#include "editors/cxComponent.h"
#include "editors/cxCustomEdit.h"
#include "gui/Edit.h"

#include <memory>

class TcxCustomTextEdit;
class TcxCustomInnerTextEdit;

class IcxInnerTextEdit {
public:
  virtual ~IcxInnerTextEdit() = default;
  virtual void ClearSelection() = 0;
  virtual void CopyToClipboard() = 0;
  virtual TAlignment ReadAlignment() = 0;
  virtual bool ReadAutoSelect() = 0;
  virtual TEditCharCase ReadCharCase() = 0;
  virtual bool ReadEchoMode() = 0;
  virtual bool ReadHideSelection() = 0;
  virtual Char ReadPendingImeByte() = 0;
  virtual TImeMode ReadImeMode() = 0;
  virtual String ReadImeName() = 0;
  virtual bool ReadKeyHandled() = 0;
  virtual int ReadMaxLength() = 0;
  virtual bool ReadMultiLine() = 0;
  virtual bool ReadOEMConvert() = 0;
  virtual TNotifyEvent ReadSelChangeEvent() = 0;
  virtual Char ReadPasswordChar() = 0;
  virtual int ReadSelLength() = 0;
  virtual int ReadSelStart() = 0;
  virtual String ReadSelText() = 0;
  virtual void SelectAll() = 0;
  virtual void WriteAlignment(TAlignment Value) = 0;
  virtual void WriteAutoSelect(bool Value) = 0;
  virtual void WriteCharCase(TEditCharCase Value) = 0;
  virtual void WriteEchoMode(bool Value) = 0;
  virtual void WriteHideSelection(bool Value) = 0;
  virtual void WriteKeyHandled(bool Value) = 0;
  virtual void WriteImeMode(TImeMode Value) = 0;
  virtual void WriteImeName(const String& Value) = 0;
  virtual void WriteMaxLength(int Value) = 0;
  virtual void WriteOEMConvert(bool Value) = 0;
  virtual void WriteSelChangeEvent(const TNotifyEvent& Value) = 0;
  virtual void WritePasswordChar(Char Value) = 0;
  virtual void WriteSelLength(int Value) = 0;
  virtual void WriteSelStart(int Value) = 0;
  virtual void WriteSelText(const String& Value) = 0;
};

// The companion: the interfaces through which the editor drives its inner edit.
class TcxCustomInnerTextEditHelper : public TcxInterfacedPersistent, public IcxCustomInnerEdit, public IcxInnerTextEdit {
  KELM_CLASS(TcxCustomInnerTextEditHelper, TcxInterfacedPersistent)
public:
  explicit TcxCustomInnerTextEditHelper(TcxCustomInnerTextEdit* AEdit);
  TcxCustomInnerTextEdit* Edit;
  int SavedSelLength = 0;
  int SavedSelStart = 0;

  // IcxContainerInnerControl
  TWinControl* HostedControl() override;
  TcxContainer* HostingContainer() override;
  // IcxCustomInnerEdit
  LRESULT CallDefWndProc(UINT Msg, WPARAM WParam, LPARAM LParam) override;
  Variant GetEditValue() override;
  TNotifyEvent GetOnChange() override;
  bool GetReadOnly() override;
  void LockBounds(bool Lock) override;
  void SafelySetFocus() override;
  void SetEditValue(const Variant& Value) override;
  void SetParent(TWinControl* Value) override;
  void SetOnChange(const TNotifyEvent& Value) override;
  void SetReadOnly(bool Value) override;
  // IcxInnerTextEdit
  void ClearSelection() override;
  void CopyToClipboard() override;
  TAlignment ReadAlignment() override;
  bool ReadAutoSelect() override;
  TEditCharCase ReadCharCase() override;
  bool ReadEchoMode() override;
  bool ReadHideSelection() override;
  Char ReadPendingImeByte() override;
  TImeMode ReadImeMode() override;
  String ReadImeName() override;
  bool ReadKeyHandled() override;
  int ReadMaxLength() override;
  bool ReadMultiLine() override { return false; }
  bool ReadOEMConvert() override;
  TNotifyEvent ReadSelChangeEvent() override;
  Char ReadPasswordChar() override;
  int ReadSelLength() override;
  int ReadSelStart() override;
  String ReadSelText() override;
  void SelectAll() override;
  void WriteAlignment(TAlignment Value) override;
  void WriteAutoSelect(bool Value) override;
  void WriteCharCase(TEditCharCase Value) override;
  void WriteEchoMode(bool Value) override;
  void WriteHideSelection(bool Value) override;
  void WriteKeyHandled(bool Value) override;
  void WriteImeMode(TImeMode Value) override;
  void WriteImeName(const String& Value) override;
  void WriteMaxLength(int Value) override;
  void WriteOEMConvert(bool Value) override;
  void WriteSelChangeEvent(const TNotifyEvent& Value) override;
  void WritePasswordChar(Char Value) override;
  void WriteSelLength(int Value) override;
  void WriteSelStart(int Value) override;
  void WriteSelText(const String& Value) override;
};

// What the inner edit saves before a key to tell whether the key changed anything.
struct TcxCustomInnerTextEditPrevState {
  bool TextSaved = false;
  String Text;
  int SelStart = 0;
  int SelLength = 0;
};

class TcxCustomInnerTextEdit : public TCustomEdit {
  KELM_CLASS(TcxCustomInnerTextEdit, TCustomEdit)
public:
  explicit TcxCustomInnerTextEdit(TComponent* AOwner);
  ~TcxCustomInnerTextEdit() override;

  TcxCustomInnerTextEditHelper* Companion() const { return FCompanion.get(); }
  // The editor that hosts it (its owner), or nil.
  TcxCustomTextEdit* Container() const { return FContainer; }
  TAlignment Alignment() const { return FAlignment; }
  bool EchoPassword() const { return FEchoPassword; }
  Char EchoChar() const { return FEchoChar; }
  int ImeCharState() const { return FImeCharState; }
  Byte ImeLowByte() const { return FImeLowByte; }
  bool KeyHandled = false;
  int BoundsLockCount = 0;
  TNotifyEvent OnSelChange;

  // The character index under the caret: the model's caret (0 on an empty text, the real
  // position on scrolled text).
  int CaretCharIndex() const { return CaretPos(); }
  void StoreAlignment(TAlignment Value);
  void StoreEchoPassword(bool Value);
  void StoreEchoChar(Char Value);
  void UpdateEchoMode();
  using TCustomEdit::Change;
  // The text of the model, without a message.
  const String& ModelText() const { return WindowText(); }

  // ---- new virtual operations
  virtual void AdjustMargins();
  virtual void MouseEnter(TControl* AControl) {}
  virtual void MouseLeave(TControl* AControl);

  // ---- platform hooks
  void WndProc(TMessage& Message) override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  void DefaultHandler(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;
  bool CanFocus() const override;
  bool ExecuteAction(TBasicAction* Action) override;
  bool UpdateAction(TBasicAction* Action) override;
  void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) override;
  void DragDrop(TObject* Source, int X, int Y) override;

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Click() override;
  void DblClick() override;
  bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override { return false; }
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyUp(Word& Key, TShiftState Shift) override;
  void KeyPress(Char& Key) override;

private:
  void SaveState(TcxCustomInnerTextEditPrevState& State);
  bool StateChanged(const TcxCustomInnerTextEditPrevState& State);
  void CharMessage(TMessage& M);
  void KeyDownMessage(TMessage& M);
  void ClipboardMessage(TMessage& M);
  void GetDlgCodeMessage(TMessage& M);
  void ImeCharMessage(TMessage& M);
  void FocusMessage(TMessage& M);

  TAlignment FAlignment = taLeftJustify;
  bool FEchoPassword = false;
  std::unique_ptr<TcxCustomInnerTextEditHelper> FCompanion;
  int FImeCharState = 0;
  Byte FImeLowByte = 0;
  bool FCreating = true;
  Char FEchoChar = 0;
  TcxCustomTextEdit* FContainer = nullptr;  // the owner, when it is a text editor
};
