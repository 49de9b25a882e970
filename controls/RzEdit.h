#pragma once
// The framed edit: a single-line edit (a masked edit that never carries a mask) that paints
// its own frame in one of the frame styles over the platform's border, changes its colour
// with its state (normal, focused, disabled), can light its frame while the mouse is over it
// or it has the focus, and takes its frame and colour settings from a frame controller when
// it has one. Descendants may reserve a drop button at one side of the non-client area.
#include "controls/RzCommon.h"
#include "gui/Buttons.h"
#include "gui/MaskEdit.h"

#include <memory>

KELM_EVENT(TRzMaskErrorEvent, void(TObject* Sender, String& Message));

class TRzCustomEdit : public TCustomMaskEdit {
  KELM_CLASS(TRzCustomEdit, TCustomMaskEdit)
public:
  explicit TRzCustomEdit(TComponent* AOwner);
  ~TRzCustomEdit() override;
  void Dispatch(TMessage& Message) override;
  void DefineProperties(TFiler* Filer) override;
  TAlignment GetControlsAlignment() const override { return FAlignment; }

  // ---- properties (published by TRzEdit)
  TLeftRight Alignment() const { return FAlignment; }
  virtual void SetAlignment(TLeftRight Value);
  bool TabOnEnter() const { return FTabOnEnter; }
  void SetTabOnEnter(bool Value) { FTabOnEnter = Value; }
  virtual TColor Color() const { return TControl::Color(); }
  virtual void SetColor(TColor Value);
  TColor DisabledColor() const { return FDisabledColor; }
  virtual void SetDisabledColor(TColor Value);
  TColor FocusColor() const { return FFocusColor; }
  virtual void SetFocusColor(TColor Value);
  // The colour shown while enabled and not focused.
  TColor NormalColor() const { return FNormalColor; }
  TColor FrameColor() const { return FFrameColor; }
  virtual void SetFrameColor(TColor Value);
  TRzFrameController* FrameController() const { return FFrameController; }
  virtual void SetFrameController(TRzFrameController* Value);
  TColor FrameHotColor() const { return FFrameHotColor; }
  virtual void SetFrameHotColor(TColor Value);
  bool FrameHotTrack() const { return FFrameHotTrack; }
  virtual void SetFrameHotTrack(bool Value);
  TFrameStyle FrameHotStyle() const { return FFrameHotStyle; }
  virtual void SetFrameHotStyle(TFrameStyle Value);
  TSides FrameSides() const { return FFrameSides; }
  virtual void SetFrameSides(TSides Value);
  TFrameStyle FrameStyle() const { return FFrameStyle; }
  virtual void SetFrameStyle(TFrameStyle Value);
  bool FrameVisible() const { return FFrameVisible; }
  virtual void SetFrameVisible(bool Value);
  TFramingPreference FramingPreference() const { return FFramingPreference; }
  virtual void SetFramingPreference(TFramingPreference Value);
  bool FlatButtons() const { return FFlatButtons; }
  virtual void SetFlatButtons(bool Value);
  TColor FlatButtonColor() const { return FFlatButtonColor; }
  void SetFlatButtonColor(TColor Value) { FFlatButtonColor = Value; }

  // The frame shows lit (focus or mouse inside).
  bool InControl() const { return FInControl; }
  bool OverControl() const { return FOverControl; }
  bool DropButtonVisible() const { return FDropButtonVisible; }
  TButtonState ButtonState() const { return FButtonState; }
  bool DroppedDown() const { return FDroppedDown; }
  // The drop-button strip in window coordinates (empty without a drop button).
  TRect DropButtonRect() const;
  virtual bool UsingXPThemes() const;

  TRzMaskErrorEvent OnMaskError;
  TNotifyEvent OnDropButtonDown;
  TNotifyEvent OnDropButtonUp;

protected:
  virtual void UpdateColors();
  virtual void UpdateFrame(bool IsMouse, bool Value);
  virtual void RedrawFrame();
  virtual void EditAreaRect(TRect& Rect) const { Rect = ClientRect(); }
  virtual String AlignedText() const { return Text(); }
  virtual void PaintDropButton(const TRect& Rect);
  virtual void SetButtonState(TButtonState Value);
  virtual void SetDropButtonVisible(bool Value);
  // Hooks of mouse entry and exit; the platform's handling has fired OnMouseEnter and
  // OnMouseLeave already.
  virtual void DoMouseEnter() {}
  virtual void DoMouseLeave() {}
  virtual void DoDropButtonDown() { OnDropButtonDown(this); }
  virtual void DoDropButtonUp() { OnDropButtonUp(this); }

  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void CreateParams(TCreateParams& Params) override;
  void ValidateError() override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(Char& Key) override;
  // Sends the non-client area a fresh paint.
  void RepaintFrame();
  bool Loading() const { return ComponentState().Contains(csLoading); }
  bool RightToLeft() const { return BiDiMode() == bdRightToLeft; }

  // What a layout writes: the frame and colour settings only while no controller gives them.
  bool StoreColor() const { return !FFrameController && Enabled() && !ParentColor(); }
  bool StoreFocusColor() const { return !FFrameController && ColorToRGB(FFocusColor) != ColorToRGB(Color()); }
  bool NoController() const { return !FFrameController; }

private:
  bool FrameLit() const { return FFrameHotTrack && (FInControl || FOverControl); }
  void WMNCPaint(TMessage& M);
  void WMNCCalcSize(TMessage& M);
  void WMNCHitTest(TMessage& M);
  bool DropButtonMouse(TMessage& M);
  bool OverDropButton(TPoint Client) const;
  void PressDropButton(bool FocusFirst);
  void ReleaseDropButton();
  TRect StripRedrawRect() const;

  TLeftRight FAlignment = taLeftJustify;
  bool FTabOnEnter = false;
  bool FUpdatingColor = false;
  TColor FDisabledColor = clBtnFace;
  TColor FFocusColor = clWindow;
  TColor FNormalColor = clWindow;
  TColor FFrameColor = clBtnShadow;
  TColor FFrameHotColor = clBtnShadow;
  TRzFrameController* FFrameController = nullptr;
  bool FFrameHotTrack = false;
  TFrameStyle FFrameHotStyle = fsFlatBold;
  TSides FFrameSides = sdAllSides;
  TFrameStyle FFrameStyle = fsFlat;
  TFramingPreference FFramingPreference = fpXPThemes;
  bool FDropButtonVisible = false;
  bool FMouseOverButton = false;
  bool FFlatButtons = false;
  TColor FFlatButtonColor = clBtnFace;
  bool FDroppedDown = false;
  TButtonState FButtonState = bsUp;
  std::unique_ptr<TControlCanvas> FCanvas;
  bool FInControl = false;
  bool FOverControl = false;
  bool FFrameVisible = false;
};

class TRzEdit : public TRzCustomEdit {
  KELM_CLASS(TRzEdit, TRzCustomEdit)
public:
  explicit TRzEdit(TComponent* AOwner) : TRzCustomEdit(AOwner) {}
};
