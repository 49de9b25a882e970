#pragma once
// The masked editor's modes: the rules of one mask kind for the caret, typing, deletion and
// paste. The standard mode shows the caret as a one-character block over a fixed-width text
// and writes typed characters itself; the expression modes keep the text split at the caret
// into Head (fed into the expression) and Tail, and the extended one also types the literals
// the expression forces. A mode without an editor only formats texts for the properties.
// A key operation answering True lets the inner edit do its own processing of the key too.
// Declares TcxMaskEditCustomMode, TcxMaskEditStandardMode, TcxMaskEditRegExprMode and
// TcxMaskEditRegExprExMode.
#include "editors/cxMaskEdit.h"

#include <memory>

class TcxStandardMask;
class TcxRegExpr;

class TcxMaskEditCustomMode {
public:
  TcxMaskEditCustomMode(TcxCustomMaskEdit* AEdit, TcxCustomMaskEditProperties* AProperties);
  virtual ~TcxMaskEditCustomMode();
  TcxMaskEditCustomMode(const TcxMaskEditCustomMode&) = delete;
  TcxMaskEditCustomMode& operator=(const TcxMaskEditCustomMode&) = delete;

  // ---- the contract, in its order (the constructor is the second)
  virtual TcxEditMaskKind ModeKind() { return emkStandard; }
  virtual void PasteDone() {}
  virtual void ApplyMask(const String& AMask) { Mask = AMask; }
  virtual String EmptyText() { return String(); }
  virtual String FormatText(const String& Text, bool WithLiterals) { return Text; }
  virtual void EnterAll() {}
  virtual bool CaretAtFirst() { return false; }
  virtual bool CaretAtLast() { return false; }
  virtual bool IsTextValid(const String& Text) { return true; }
  virtual void MouseSelected() {}
  virtual void PastePrepare() {}
  virtual bool BackspacePressed() { return true; }
  virtual bool DeletePressed() { return true; }
  virtual bool EndPressed() { return true; }
  virtual bool HomePressed() { return true; }
  virtual bool LeftPressed() { return true; }
  virtual bool RightPressed() { return true; }
  virtual bool CharTyped(Char& Ch) { return true; }
  virtual void TextAssigned(const String& Text) {}
  virtual void RefreshDisplay();
  virtual void InitialEditValue() {}
  virtual String DisplayTextOf(const String& Text, bool WithLiterals) { return Text; }

  TcxCustomMaskEdit* Edit;
  TcxCustomMaskEditProperties* Properties;
  // The length of the text being put in place by a paste or a selection replacement.
  int ClipboardTextLength = 0;
  bool EditValuePending = false;
  TEditCharCase CharCase = ecNormal;
  TcxEditEchoMode EchoMode = eemNormal;
  String Mask;
  // The factory that made this mode (the properties compare it with the one the kind asks for).
  TcxMaskEditModeClass CreatedBy = nullptr;

  void SignalError();
  bool HasLiveEditor();
  TcxCustomMaskEditProperties* ModeProperties();

protected:
  // Editor access shared by the modes.
  int SelStart();
  int SelLength();
  String Text();
  void MoveCaret(int Position);  // through the selection-change handling
};

class TcxMaskEditStandardMode : public TcxMaskEditCustomMode {
public:
  TcxMaskEditStandardMode(TcxCustomMaskEdit* AEdit, TcxCustomMaskEditProperties* AProperties);
  ~TcxMaskEditStandardMode() override;
  static TcxMaskEditCustomMode* Make(TcxCustomMaskEdit* E, TcxCustomMaskEditProperties* P) {
    return new TcxMaskEditStandardMode(E, P);
  }

  TcxEditMaskKind ModeKind() override { return emkStandard; }
  void PasteDone() override;
  void ApplyMask(const String& AMask) override;
  String EmptyText() override;
  String FormatText(const String& Text, bool WithLiterals) override;
  bool CaretAtFirst() override;
  bool CaretAtLast() override;
  bool IsTextValid(const String& Text) override;
  void MouseSelected() override;
  void PastePrepare() override;
  bool BackspacePressed() override;
  bool DeletePressed() override;
  bool EndPressed() override;
  bool HomePressed() override;
  bool LeftPressed() override;
  bool RightPressed() override;
  bool CharTyped(Char& Ch) override;
  void TextAssigned(const String& Text) override { MouseSelected(); }
  void RefreshDisplay() override;
  void InitialEditValue() override;
  String DisplayTextOf(const String& Text, bool WithLiterals) override;

  // ---- new virtual operation
  virtual Char BlankChar();

  TcxStandardMask& StandardMask() const { return *FStandardMask; }

private:
  bool IsLiteralAt(int Position) const;
  int LiteralsBefore(int Position) const;  // literal items directly left of Position
  int LiteralsFrom(int Position) const;    // literal items from Position on
  void PutText(const String& Text, int Caret);

  std::unique_ptr<TcxStandardMask> FStandardMask;
  int SavedSelStart = 0;
};

class TcxMaskEditRegExprMode : public TcxMaskEditCustomMode {
public:
  TcxMaskEditRegExprMode(TcxCustomMaskEdit* AEdit, TcxCustomMaskEditProperties* AProperties);
  ~TcxMaskEditRegExprMode() override;
  static TcxMaskEditCustomMode* Make(TcxCustomMaskEdit* E, TcxCustomMaskEditProperties* P) {
    return new TcxMaskEditRegExprMode(E, P);
  }

  TcxEditMaskKind ModeKind() override { return emkRegExpr; }
  void ApplyMask(const String& AMask) override;
  String EmptyText() override { return String(); }
  String FormatText(const String& Text, bool WithLiterals) override;
  void EnterAll() override;
  bool CaretAtFirst() override { return SelStart() == 0; }
  bool CaretAtLast() override;
  bool IsTextValid(const String& Text) override;
  void MouseSelected() override { MouseAction = true; }
  bool BackspacePressed() override;
  bool DeletePressed() override;
  bool EndPressed() override;
  bool HomePressed() override;
  bool LeftPressed() override;
  bool RightPressed() override;
  bool CharTyped(Char& Ch) override;
  void TextAssigned(const String& Text) override;
  void RefreshDisplay() override;

  // ---- new virtual operations, in their order
  virtual void CutSelection();
  virtual void UndoCut();

  TcxRegExpr& Expression() const { return *FExpression; }
  // Head and Tail as characters, for the tests and the descendants.
  const std::u32string& Head() const { return FHead; }
  const std::u32string& Tail() const { return FTail; }

protected:
  virtual void Sync();
  bool TailFits();
  void DropTail();
  void MoveLeft();
  void MoveRight();
  // The message of an expression that failed to compile.
  void RaiseMaskError(const class EcxRegExprError& E);

  bool AtHeadOfTail = false;
  std::u32string FHead;
  std::unique_ptr<TcxRegExpr> FExpression;
  bool MouseAction = false;
  std::u32string Selection;
  std::u32string FTail;
};

class TcxMaskEditRegExprExMode : public TcxMaskEditRegExprMode {
public:
  TcxMaskEditRegExprExMode(TcxCustomMaskEdit* AEdit, TcxCustomMaskEditProperties* AProperties);
  static TcxMaskEditCustomMode* Make(TcxCustomMaskEdit* E, TcxCustomMaskEditProperties* P) {
    return new TcxMaskEditRegExprExMode(E, P);
  }

  TcxEditMaskKind ModeKind() override { return emkRegExprEx; }
  void ApplyMask(const String& AMask) override;
  String EmptyText() override;
  String FormatText(const String& Text, bool WithLiterals) override;
  void EnterAll() override;
  bool IsTextValid(const String& Text) override;
  void PastePrepare() override { Sync(); }
  void PasteDone() override {}
  bool BackspacePressed() override;
  bool DeletePressed() override;
  bool EndPressed() override;
  bool HomePressed() override;
  bool LeftPressed() override;
  bool RightPressed() override;
  bool CharTyped(Char& Ch) override;
  void TextAssigned(const String& Text) override;
  void InitialEditValue() override;
  void CutSelection() override;
  void UndoCut() override;

  const std::u32string& Filled() const { return FFilled; }

protected:
  void Sync() override;

private:
  void ClearFilled();
  void SetAutoFill(bool Value);
  // AutoFill off and on again: whether that filled literals.
  bool Refill();
  void RefillTail();
  void RefillOrDrop();
  void StepRight();
  void StepLeft();
  // The leading literals of the source, from a second expression.
  String LeadingLiterals(std::unique_ptr<TcxRegExpr>* Keep = nullptr);
  void MoveSelectionToTail(int OldSelLength);

  std::u32string FCollected;
  int FRemoved = 0;
  std::u32string FFilled;
};
