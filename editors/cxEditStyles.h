#pragma once
// Edit styles: the four container styles of an editor (normal, focused, disabled, hot) with
// four values only editors have: the button style (each style its own), and the button
// transparency, popup border style and gradient buttons (held by the normal style, which
// the others read and write through). Unassigned values come from the style controller
// chain, else from defaults: the first value of each type for the normal style, the normal
// style's resolved value for the others. TcxEditStyleController shares one set of edit
// styles among editors; the default one stands behind every edit style that names none.
// Declares TcxCustomEditStyle, TcxEditStyle and TcxEditStyleController.
#include "editors/cxContainerStyles.h"

KELM_ENUM(TcxEditBorderStyle, ebsNone, ebsSingle, ebsThick, ebsFlat, ebs3D, ebsUltraFlat, ebsOffice11)
KELM_ENUM(TcxEditButtonStyle, btsDefault, bts3D, btsFlat, btsSimple, btsHotFlat, btsUltraFlat, btsOffice11)
KELM_ENUM(TcxEditButtonTransparency, ebtNone, ebtInactive, ebtAlways, ebtHideInactive, ebtHideUnselected)
KELM_ENUM(TcxEditPopupBorderStyle, epbsDefault, epbsSingle, epbsFrame3D, epbsFlat)

constexpr TcxContainerStyleValue svButtonStyle = 10, svButtonTransparency = 11, svPopupBorderStyle = 12,
                                 svGradientButtons = 13;

class TcxEditStyleController;

class TcxCustomEditStyle : public TcxContainerStyle {
  KELM_CLASS(TcxCustomEditStyle, TcxContainerStyle)

public:
  TcxCustomEditStyle(TPersistent* AOwner, bool ADirectAccessMode, TcxContainerStyle* AParentStyle = nullptr,
                     TcxContainerCondition AState = ccNormal);
  void Assign(TPersistent* Source) override;

  TcxEditBorderStyle EditBorderStyle() const { return TcxEditBorderStyle(BorderStyle()); }
  void SetEditBorderStyle(TcxEditBorderStyle Value) { SetBorderStyle(TcxContainerBorderStyle(Value)); }
  TcxEditButtonStyle ButtonStyle() const;
  void SetButtonStyle(TcxEditButtonStyle Value);
  TcxEditButtonTransparency ButtonTransparency() const;
  void SetButtonTransparency(TcxEditButtonTransparency Value);
  TcxEditPopupBorderStyle PopupBorderStyle() const;
  void SetPopupBorderStyle(TcxEditPopupBorderStyle Value);
  // No writer: changes only by Assign or AssignedValues.
  bool GradientButtons() const;
  bool PopupShadow() const { return FPopupShadow; }
  TcxEditStyleController* EditStyleController() const;
  void SetEditStyleController(TcxEditStyleController* Value);

  TcxContainerStyleValues GetBaseOnlyValues() const override;
  int ValueSlotCount() const override { return 14; }
  bool ValueSlotName(int Index, String& Name) const override;
  bool IsStyleValueAssigned(TcxContainerStyleValue Value) const override;

protected:
  virtual TcxEditButtonStyle DefaultButtonStyle() const;
  virtual TcxEditButtonTransparency DefaultButtonTransparency() const;
  virtual bool DefaultGradientButtons() const;
  virtual TcxEditPopupBorderStyle DefaultPopupBorderStyle() const;
  TcxStyleController* GetFallbackController() override;
  bool ButtonStyleStored() const { return IsValueStored(svButtonStyle, "ButtonStyle"); }
  bool ButtonTransparencyStored() const { return IsValueStored(svButtonTransparency, "ButtonTransparency"); }
  bool PopupBorderStyleStored() const { return IsValueStored(svPopupBorderStyle, "PopupBorderStyle"); }
  bool EditBorderStyleStored() const { return IsValueStored(csvBorderStyle, "BorderStyle"); }
  bool EditStyleControllerStored() const { return IsBaseStyle() && StyleController() != nullptr; }

private:
  // The style whose stored value is in force (own or up the controller chain), or nil.
  const TcxCustomEditStyle* EditSource(TcxContainerStyleValue V) const;
  void StoreValue(TcxContainerStyleValue V, Byte& Field, Byte Value);

  Byte FButtonStyle = btsDefault;
  Byte FButtonTransparency = ebtNone;
  Byte FGradientButtons = 0;
  Byte FPopupBorderStyle = epbsDefault;
  bool FPopupShadow = true;
};

class TcxEditStyle : public TcxCustomEditStyle {
  KELM_CLASS(TcxEditStyle, TcxCustomEditStyle)
  template <class B> static void Published(B& b) {
    b.Prop("BorderStyle", &TcxEditStyle::EditBorderStyle, &TcxEditStyle::SetEditBorderStyle)
        .Stored(&TcxEditStyle::EditBorderStyleStored);
    b.Prop("ButtonStyle", &TcxEditStyle::ButtonStyle, &TcxEditStyle::SetButtonStyle)
        .Stored(&TcxEditStyle::ButtonStyleStored);
    b.Prop("ButtonTransparency", &TcxEditStyle::ButtonTransparency, &TcxEditStyle::SetButtonTransparency)
        .Stored(&TcxEditStyle::ButtonTransparencyStored);
    b.Prop("PopupBorderStyle", &TcxEditStyle::PopupBorderStyle, &TcxEditStyle::SetPopupBorderStyle)
        .Stored(&TcxEditStyle::PopupBorderStyleStored);
    b.Prop("StyleController", &TcxEditStyle::EditStyleController, &TcxEditStyle::SetEditStyleController)
        .Stored(&TcxEditStyle::EditStyleControllerStored);
  }

public:
  using TcxCustomEditStyle::TcxCustomEditStyle;
};

class TcxEditStyleController : public TcxStyleController {
  KELM_CLASS(TcxEditStyleController, TcxStyleController)
  template <class B> static void Published(B& b) {
    b.Prop("Style", &TcxEditStyleController::Style, &TcxEditStyleController::SetStyle);
    b.Prop("StyleDisabled", &TcxEditStyleController::StyleDisabled, &TcxEditStyleController::SetStyleDisabled);
    b.Prop("StyleFocused", &TcxEditStyleController::StyleFocused, &TcxEditStyleController::SetStyleFocused);
    b.Prop("StyleHot", &TcxEditStyleController::StyleHot, &TcxEditStyleController::SetStyleHot);
    b.Prop("OnStyleChanged", &TcxEditStyleController::OnStyleChanged, &TcxEditStyleController::SetOnStyleChanged);
  }

public:
  explicit TcxEditStyleController(TComponent* AOwner);
  TcxContainerStyleClass ControllerStyleClass() override;

  TcxEditStyle* Style() const { return StyleOf(ccNormal); }
  void SetStyle(TcxEditStyle* Value) { StyleOf(ccNormal)->Assign(Value); }
  TcxEditStyle* StyleDisabled() const { return StyleOf(ccDisabled); }
  void SetStyleDisabled(TcxEditStyle* Value) { StyleOf(ccDisabled)->Assign(Value); }
  TcxEditStyle* StyleFocused() const { return StyleOf(ccFocused); }
  void SetStyleFocused(TcxEditStyle* Value) { StyleOf(ccFocused)->Assign(Value); }
  TcxEditStyle* StyleHot() const { return StyleOf(ccHot); }
  void SetStyleHot(TcxEditStyle* Value) { StyleOf(ccHot)->Assign(Value); }
  void SetOnStyleChanged(const TNotifyEvent& Value) { OnStyleChanged = Value; }
  const TNotifyEvent& GetOnStyleChanged() const { return OnStyleChanged; }

private:
  friend TcxStyleController* MakeDefaultEditStyleController();
  struct TDefaultTag {};
  TcxEditStyleController(TComponent* AOwner, TDefaultTag);
  TcxEditStyle* StyleOf(TcxContainerCondition C) const { return static_cast<TcxEditStyle*>(Styles(C)); }
};

// The edit style class, as container style factories name it.
TcxContainerStyle* MakeEditStyle(TPersistent* AOwner, bool ADirectAccessMode, TcxContainerStyle* AParentStyle,
                                 TcxContainerCondition AState);
// The controller behind every edit style that names none; the same object is the library's
// standard style controller.
TcxEditStyleController* DefaultEditStyleController();
