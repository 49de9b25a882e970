#pragma once
// The frame controller (TRzFrameController), which pushes one set of frame and colour settings
// to every control registered with it, and the reading of obsolete frame properties
// (TOldFrameFields).
#include "controls/RzRegIniFile.h"

class TRzFrameController : public TComponent {
  KELM_CLASS(TRzFrameController, TComponent)
  template <class B> static void Published(B& b) {
    using C = TRzFrameController;
    b.Prop("Color", &C::Color, &C::SetColor).Type("TColor").Default(clWindow).Stored(&C::StoreColor);
    b.Prop("ParentColor", &C::ParentColor, &C::SetParentColor).Default(false);
    b.Prop("FlatButtonColor", &C::FlatButtonColor, &C::SetFlatButtonColor).Type("TColor").Default(clBtnFace);
    b.Prop("FlatButtons", &C::FlatButtons, &C::SetFlatButtons).Default(true);
    b.Prop("DisabledColor", &C::DisabledColor, &C::SetDisabledColor).Type("TColor").Default(clBtnFace);
    b.Prop("FocusColor", &C::FocusColor, &C::SetFocusColor).Type("TColor").Default(clWindow);
    b.Prop("FrameColor", &C::FrameColor, &C::SetFrameColor).Type("TColor").Default(clBtnShadow);
    b.Prop("FrameHotColor", &C::FrameHotColor, &C::SetFrameHotColor).Type("TColor").Default(clBtnShadow);
    b.Prop("FrameHotTrack", &C::FrameHotTrack, &C::SetFrameHotTrack).Default(false);
    b.Prop("FrameHotStyle", &C::FrameHotStyle, &C::SetFrameHotStyle).Type("TFrameStyle").Default(fsFlatBold);
    b.Prop("FrameSides", &C::FrameSides, &C::SetFrameSides).Type("TSides").Default(sdAllSides);
    b.Prop("FrameStyle", &C::FrameStyle, &C::SetFrameStyle).Type("TFrameStyle").Default(fsFlat);
    b.Prop("FrameVisible", &C::FrameVisible, &C::SetFrameVisible).Default(false);
    b.Prop("FramingPreference", &C::FramingPreference, &C::SetFramingPreference).Default(fpXPThemes);
    b.Prop("RegIniFile", &C::RegIniFile, &C::SetRegIniFile);
  }
public:
  explicit TRzFrameController(TComponent* AOwner);
  ~TRzFrameController() override;
  void Assign(TPersistent* Source) override;
  void DefineProperties(TFiler* Filer) override;

  // Called by a control when its FrameController is set, changed, or the control is freed.
  void RegisterControl(TControl* Control);
  void UnregisterControl(TControl* Control);
  int ControlCount() const { return static_cast<int>(FControls.size()); }
  void HoldUpdates() { ++FUpdateCount; }
  void ReleaseUpdates();
  // Writes the setting into the control's published property of the same name, when it has one.
  virtual void ApplyToControl(TControl* Control, TRzFrameItem Item);
  virtual void ApplyToAll(TRzFrameItem Item);

  // ---- published
  TColor Color() const { return FColor; }
  virtual void SetColor(TColor Value);
  bool ParentColor() const { return FParentColor; }
  virtual void SetParentColor(bool Value);
  TColor FlatButtonColor() const { return FFlatButtonColor; }
  virtual void SetFlatButtonColor(TColor Value);
  bool FlatButtons() const { return FFlatButtons; }
  virtual void SetFlatButtons(bool Value);
  TColor DisabledColor() const { return FDisabledColor; }
  virtual void SetDisabledColor(TColor Value);
  TColor FocusColor() const { return FFocusColor; }
  virtual void SetFocusColor(TColor Value);
  TColor FrameColor() const { return FFrameColor; }
  virtual void SetFrameColor(TColor Value);
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
  TRzRegIniFile* RegIniFile() const { return FRegIniFile; }
  virtual void SetRegIniFile(TRzRegIniFile* Value);

protected:
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  template <class T> void Change(T& Field, T Value, TRzFrameItem Item);
  void ApplyItem(TControl* Control, TRzFrameItem Item);
  void ReadFrameFlat(TReader* Reader);
  void ReadFrameFocusStyle(TReader* Reader);
  bool StoreColor() const { return !FParentColor; }

  TColor FColor = clWindow;
  bool FParentColor = false;
  std::vector<TControl*> FControls;
  TColor FFlatButtonColor = clBtnFace;
  bool FFlatButtons = true;
  TColor FDisabledColor = clBtnFace;
  TColor FFocusColor = clWindow;
  TColor FFrameColor = clBtnShadow;
  TColor FFrameHotColor = clBtnShadow;
  bool FFrameHotTrack = false;
  TFrameStyle FFrameHotStyle = fsFlatBold;
  TSides FFrameSides = sdAllSides;
  TFrameStyle FFrameStyle = fsFlat;
  bool FFrameVisible = false;
  TFramingPreference FFramingPreference = fpXPThemes;
  int FUpdateCount = 0;
  TRzRegIniFile* FRegIniFile = nullptr;
};

// Reads an obsolete frame property of a framed control or controller into its fields:
// "FrameFlat" (Boolean) and "FrameFocusStyle" (a frame style) set the given fields directly,
// "FrameFlatStyle" is dropped. None of them is ever written.
struct TOldFrameFields {
  bool* FrameHotTrack;
  TFrameStyle* FrameStyle;
  TFrameStyle* FrameHotStyle;
};
void DefineOldFrameProperties(TFiler* Filer, const TOldFrameFields& Fields);
