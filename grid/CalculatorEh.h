#pragma once
// The drop-down calculator of numeric cells: a four-function calculator whose display and 22
// keys come from the layout "TCALCULATOREH", and the pop-up that hands its value back to the
// edit that opened it.
#include "forms/TCalculatorEh.h"
#include "grid/ToolCtrlsEh.h"
#include "gui/Controls.h"
#include "gui/ExtCtrls.h"
#include "gui/StdCtrls.h"
#include "core/Variant.h"

KELM_ENUM(TCalcStateEh, csReadyEh, csEnteringEh, csErrorEh)

// What the in-cell editor asks of its calculator drop-down.
class ICalculatorDropDownEh {
public:
  virtual ~ICalculatorDropDownEh() = default;
  virtual bool CanCloseOnEnter() = 0;
  virtual bool GetFlatButtons() = 0;
  virtual Variant GetDropDownValue() = 0;
  virtual void SetFlatButtons(bool Value) = 0;
  virtual void SetDropDownValue(const Variant& Value) = 0;
};

// Its components are those of the layout (forms/TCalculatorEh.h, generated from it).
class TCalculatorEh : public TCalculatorEhLayout<TCustomControl> {
  KELM_CLASS(TCalculatorEh, TCalculatorEhLayout<TCustomControl>)
  template <class B> static void Published(B& b) {
    b.Prop("BorderStyle", &TCalculatorEh::BorderStyle, &TCalculatorEh::SetBorderStyle).Default(bsNone);
    b.Prop("ClientHeight", &TCalculatorEh::DesignClientHeight, &TCalculatorEh::SetDesignClientHeight).NoDefault();
    b.Prop("ClientWidth", &TCalculatorEh::DesignClientWidth, &TCalculatorEh::SetDesignClientWidth).NoDefault();
    PublishColor(b);
    PublishFont(b);
    b.Prop("OldCreateOrder", &TCalculatorEh::OldCreateOrder, &TCalculatorEh::SetOldCreateOrder).Default(false);
    b.Prop("PixelsPerInch", &TCalculatorEh::PixelsPerInch, &TCalculatorEh::SetPixelsPerInch).NoDefault();
    b.Prop("TextHeight", &TCalculatorEh::TextHeight, &TCalculatorEh::SetTextHeight).NoDefault();
  }
public:
  explicit TCalculatorEh(TComponent* AOwner);
  ~TCalculatorEh() override;

  // ---- published (the layout's)
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle Value);
  int DesignClientWidth() const { return FClientWidth; }
  void SetDesignClientWidth(int Value);
  int DesignClientHeight() const { return FClientHeight; }
  void SetDesignClientHeight(int Value);
  bool OldCreateOrder() const { return false; }
  void SetOldCreateOrder(bool) {}
  int PixelsPerInch() const { return FPixelsPerInch; }
  // 0 or a value above 35 that differs; while loading only when one was already set.
  void SetPixelsPerInch(int Value);
  int TextHeight() const { return FTextHeight; }
  void SetTextHeight(int Value) { FTextHeight = Value; }

  // ---- the calculator
  // One key: digits, the decimal separator, "C" (or Escape), "I" sign, "R" 1/x, "S" sqrt,
  // operators and "=" or Enter, Backspace, Ctrl+C / Ctrl+V.
  virtual void ApplyKey(Char Key);
  TCalcStateEh State() const { return FState; }
  String DisplayText() const;
  // The shown value; 0 in the error state.
  double DisplayValue() const;
  Char PendingOperator() const { return FOperator; }
  double PendingOperand() const { return FOperand; }
  // Back to 0 with no pending operation.
  void Reset();
  // Shows a value as general float text with 15 significant digits.
  void ShowValue(double Value);
  String EqualsCaption() const;
  TSpeedButtonEh* EqualsButton() const { return spEqual; }
  TLabel* Display() const { return TextBox; }
  // The layout's button of a component name, nullptr when none.
  TSpeedButtonEh* Button(const String& Name) const;
  // The key a button tag sends (entry 0 and unknown tags: the zero character).
  static Char KeyOfTag(int Tag);

  // ---- handlers named by the layout
  void SpeedButtonClick(TObject* Sender);

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(Char& Key) override;
  bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
  bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;
  // The height of the frame the creation parameters give.
  virtual int FrameExtent();
  void ApplyDesignSize();
  // "=" while an operation waits for its second number, else "Ok".
  void RefreshEqualsCaption();

private:
  void LoadLayout();
  void ScaleLayout();
  void StartEntry();
  void SetError();
  void ApplyOperator(Char Key);
  void SetDisplayText(const String& Text);
  TBorderStyle FBorderStyle = bsNone;
  int FClientWidth = 184, FClientHeight = 127;
  int FPixelsPerInch = 0;
  int FTextHeight = 0;
  TCalcStateEh FState = csReadyEh;
  Char FOperator = U'=';
  double FOperand = 0;
};

// The calculator as a borderless pop-up that never takes the focus: Enter or "=" while the
// equals button reads "Ok" accepts, Esc cancels.
class TPopupCalculatorEh : public TCalculatorEh, public ICalculatorDropDownEh {
  KELM_CLASS(TPopupCalculatorEh, TCalculatorEh)
public:
  explicit TPopupCalculatorEh(TComponent* AOwner);
  bool CanFocus() const override { return false; }
  void ApplyKey(Char Key) override;
  void Dispatch(TMessage& Message) override;

  bool CanCloseOnEnter() override;
  bool GetFlatButtons() override { return FFlatButtons; }
  Variant GetDropDownValue() override;
  void SetFlatButtons(bool Value) override;
  void SetDropDownValue(const Variant& Value) override;
  // Closes through the owner's IDropDownOwnerEh (nothing without one).
  void CloseUp(bool Accept);

protected:
  void CreateParams(TCreateParams& Params) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  virtual void PaintBorder(HDC DC);
  int FrameWidth() const { return Ctl3D() ? 2 : 0; }

private:
  bool FFlatButtons = true;
};
