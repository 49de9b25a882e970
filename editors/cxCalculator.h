#pragma once
// TcxCustomCalculator: a self-drawn pocket calculator with 27 keys in a fixed grid, a strictly
// left-to-right engine in Extended precision with one memory register, mouse and keyboard
// operation, and clipboard copy and paste. It keeps no display of its own: it reads and
// writes the display text through ReadDisplay and WriteDisplay, which the base leaves empty
// and the popup calculator (cxCalcEdit.h) maps onto its editor's text.
//
// States: cstReady (a result or operand shows; a digit starts a new number, an operator
// computes nothing), cstEntered (digits append; the next operator computes), cstError (the
// error text shows; only CE and C act). A display that is not a finite number in the range
// a double holds is an error, never an exception out of key or mouse handling.
// Declares TcxCalcKey, TcxCalcKeyRec, TcxCalcState and TcxCustomCalculator.
#include "editors/cxControl.h"
#include "editors/cxEditProperties.h"

#include <array>

enum TcxCalcKey : Byte {
  ckBack, ckClearEntry, ckClear, ckMemClear, ckMemRecall, ckMemStore, ckMemAdd,
  ck0, ck1, ck2, ck3, ck4, ck5, ck6, ck7, ck8, ck9,
  ckSign, ckDecimal, ckDiv, ckMul, ckSub, ckAdd, ckSqrt, ckPercent, ckRecip, ckEquals,
  ckNone
};
constexpr int kCalcKeyCount = 27;

struct TcxCalcKeyRec {
  TcxCalcKey Kind = ckNone;
  String Caption;  // at most four characters
  TColor Color = clBlack;
  TRect Bounds;
  bool Down = false;
  bool Grayed = false;
};

enum TcxCalcState : Byte { cstReady, cstEntered, cstError };

using TcxCalcKeyButtonClickEvent = TEvent<void(TObject* Sender, TcxCalcKey& Key)>;
using TcxCalcCloseRequestEvent = TEvent<void(TObject* Sender, TcxPopupCloseReason Reason)>;

class TcxCustomCalculator : public TcxControl {
  KELM_CLASS(TcxCustomCalculator, TcxControl)
  template <class B> static void Published(B& b) { PublishTabStop(b).Default(true); }

public:
  explicit TcxCustomCalculator(TComponent* AOwner);

  // ---- settings
  bool FitFontToButtons() const { return FFitFontToButtons; }
  void SetFitFontToButtons(bool Value);
  bool ErrorBeep = true;
  Byte CalcBorder = 0;  // 0 none, 1 a single line
  bool FocusFrameOnEquals = true;
  Byte CalcPrecision = 15;
  bool EmbeddedInPopup = false;

  // ---- metrics (ScaleToClient recomputes them)
  int KeyFontSize = 8, KeyWidth = 28, KeyHeight = 22, WideKeyWidth = 47;
  int KeyGapX = 3, KeyGapY = 3;
  int CalcClientWidth = 198, CalcClientHeight = 131;

  // ---- engine state
  Extended MemoryValue = 0;
  TcxCalcKey PendingKey = ckEquals;
  Extended FirstOperand = 0;
  TcxCalcState CalcState = cstReady;
  std::array<TcxCalcKeyRec, kCalcKeyCount> Keys;
  TcxCalcKey HotKeyIndex = ckNone, MouseDownKey = ckNone, KeyDownKey = ckNone;
  bool MouseTracking = false;

  TNotifyEvent OnDisplayChanged;
  TcxCalcKeyButtonClickEvent OnKeyButtonClick;
  TNotifyEvent OnResultShown;
  TcxCalcCloseRequestEvent OnCloseRequest;

  // ---- new virtual operations, in their order
  virtual TcxLookAndFeelPainterClass GetKeyPainter();
  virtual void ReadDisplay(String& Text) { Text.clear(); }
  virtual void WriteDisplay(const String& Text) {}
  virtual void RequestClose(TObject* Sender, TcxPopupCloseReason Reason);

  // ---- operations
  TcxCalcKey KeyAt(int X, int Y) const;
  void ExecuteKey(TcxCalcKey Key);
  void PressKeyDown(TcxCalcKey Key);
  void ReleaseKeyDown(TcxCalcKey Key);
  void ArrangeButtons();
  void ScaleToClient(int W, int H);
  void ResetCalc();
  void UpdateMemoryKeys();
  // 0 in the error state and for a display that is no number (which then shows the error).
  Extended GetDisplayValue();
  // Shows the value in the general format; a value beyond what a double holds is an error.
  void SetDisplayValue(Extended X);
  void StartEntry();
  void ClearCalc();
  void ShowCalcError();
  void CopyDisplay();
  void PasteDisplay();
  String DisplayText();
  // The key the keyboard maps a character or a virtual key to (ckNone for none).
  static TcxCalcKey KeyOfChar(Char C);
  static TcxCalcKey KeyOfVirtualKey(Word Key, TShiftState Shift);
  // Scales the keys to the client size and takes the size they need.
  void Resize() override;

protected:
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(Char& Key) override;
  void KeyUp(Word& Key, TShiftState Shift) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void HandleMouseLeave(TControl* AControl) override;
  void HandleFocusChange() override;
  void HandleFontChange() override;
  bool FocusesOnClick() override;
  void Dispatch(TMessage& Message) override;

  void InvalidateKey(TcxCalcKey Key);

private:
  // The display as a number; false (and the error shown) when it is none.
  bool TryDisplayValue(Extended& Value);
  void ApplyOperator(TcxCalcKey Key);
  void ApplyUnary(TcxCalcKey Key);
  void AppendDigit(TcxCalcKey Key);
  void DeleteLastChar();
  void MemoryKey(TcxCalcKey Key);
  void TrackMouse(int X, int Y);
  bool HotTracking();
  void PaintKey(TcxCanvas* C, const TcxCalcKeyRec& Key, TcxLookAndFeelPainterClass Painter);

  bool FFitFontToButtons = true;
  bool FResizing = false;
};
