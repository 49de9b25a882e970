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
  template <class B> static void Published(B& b) {
    using C = TRzEdit;
    b.Prop("Text", &TControl::Text, &TControl::SetText).Stored(true);
    b.Prop("Alignment", &C::Alignment, &C::SetAlignment).Type("TLeftRight").Default(taLeftJustify);
    PublishAlign(b);
    PublishAnchors(b);
    b.Prop("AutoSelect", &C::AutoSelect, &C::SetAutoSelect).Default(true);
    b.Prop("AutoSize", &C::AutoSize, &C::SetAutoSize).Default(true);
    PublishBiDiMode(b);
    b.Prop("CharCase", &C::CharCase, &C::SetCharCase).Default(ecNormal);
    b.Prop("Color", &C::Color, &C::SetColor).Type("TColor").NoDefault().Stored(&C::StoreColor);
    PublishConstraints(b);
    PublishCtl3D(b);
    b.Prop("DisabledColor", &C::DisabledColor, &C::SetDisabledColor).Type("TColor").Default(clBtnFace).Stored(&C::NoController);
    PublishDragCursor(b);
    PublishDragMode(b);
    PublishEnabled(b);
    b.Prop("FocusColor", &C::FocusColor, &C::SetFocusColor).Type("TColor").NoDefault().Stored(&C::StoreFocusColor);
    PublishFont(b);
    b.Prop("FrameColor", &C::FrameColor, &C::SetFrameColor).Type("TColor").Default(clBtnShadow).Stored(&C::NoController);
    b.Prop("FrameController", &C::FrameController, &C::SetFrameController);
    b.Prop("FrameHotColor", &C::FrameHotColor, &C::SetFrameHotColor).Type("TColor").Default(clBtnShadow).Stored(&C::NoController);
    b.Prop("FrameHotTrack", &C::FrameHotTrack, &C::SetFrameHotTrack).Default(false).Stored(&C::NoController);
    b.Prop("FrameHotStyle", &C::FrameHotStyle, &C::SetFrameHotStyle).Type("TFrameStyle").Default(fsFlatBold).Stored(&C::NoController);
    b.Prop("FrameSides", &C::FrameSides, &C::SetFrameSides).Type("TSides").Default(sdAllSides).Stored(&C::NoController);
    b.Prop("FrameStyle", &C::FrameStyle, &C::SetFrameStyle).Type("TFrameStyle").Default(fsFlat).Stored(&C::NoController);
    b.Prop("FrameVisible", &C::FrameVisible, &C::SetFrameVisible).Default(false).Stored(&C::NoController);
    b.Prop("FramingPreference", &C::FramingPreference, &C::SetFramingPreference).Default(fpXPThemes);
    b.Prop("HideSelection", &C::HideSelection, &C::SetHideSelection).Default(true);
    PublishImeMode(b);
    PublishImeName(b);
    b.Prop("MaxLength", &C::MaxLength, &C::SetMaxLength).Default(0);
    b.Prop("OEMConvert", &C::OEMConvert, &C::SetOEMConvert).Default(false);
    PublishParentColor(b).Default(false);
    PublishParentCtl3D(b);
    PublishParentFont(b);
    PublishParentShowHint(b);
    b.Prop(
         "PasswordChar", [](const C* e) { return static_cast<char16_t>(e->PasswordChar()); },
         [](C* e, char16_t c) { e->SetPasswordChar(c); })
        .Default(0);
    PublishPopupMenu(b);
    b.Prop("ReadOnly", &C::ReadOnly, &C::SetReadOnly).Default(false);
    PublishShowHint(b);
    PublishTabOrder(b);
    b.Prop("TabOnEnter", &C::TabOnEnter, &C::SetTabOnEnter).Default(false);
    PublishTabStop(b).Default(true);
    PublishVisible(b);
    b.Prop("OnChange", &C::OnChange, &C::OnChange);
    PublishOnClick(b);
    PublishOnContextPopup(b);
    PublishOnDblClick(b);
    PublishOnDragDrop(b);
    PublishOnDragOver(b);
    PublishOnEndDrag(b);
    PublishOnEnter(b);
    PublishOnExit(b);
    PublishOnKeyDown(b);
    PublishOnKeyPress(b);
    PublishOnKeyUp(b);
    PublishOnMouseDown(b);
    PublishOnMouseEnter(b);
    PublishOnMouseLeave(b);
    PublishOnMouseMove(b);
    PublishOnMouseUp(b);
    PublishOnStartDrag(b);
  }
public:
  explicit TRzEdit(TComponent* AOwner) : TRzCustomEdit(AOwner) {}
};
