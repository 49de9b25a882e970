#pragma once
// Container styles: a container takes its border, colours and font from four styles, one per
// condition (normal, focused, disabled, hot). Each style records which of its ten values were
// assigned; a value not assigned is looked up in the style's controller (and that one's
// controller, and so on), else computed from a default that may depend on the condition and
// on the normal style. A style controller is a component with its own four styles that many
// containers share; a process-wide standard controller stands behind every style that names
// none. The values Edges, Font, HotTrack, Shadow and TransparentBorder live in the normal
// style only: the other styles read and write them there.
//
// A style in direct-access mode serves code that sets its values directly: it reports every
// value as assigned, uses the caller's font and never notifies.
// Declares IcxStyleContainer, TcxContainerStyle, TcxContainerStyles and TcxStyleController.
#include "core/Component.h"
#include "editors/cxGraphicsUtils.h"
#include "editors/cxLookAndFeels.h"
#include "gui/GraphicsObjects.h"

#include <memory>
#include <vector>

KELM_ENUM(TcxContainerBorderStyle, cbsNone, cbsSingle, cbsThick, cbsFlat, cbs3D, cbsUltraFlat, cbsOffice11)
KELM_ENUM(TcxContainerCondition, ccNormal, ccFocused, ccDisabled, ccHot)
// A value number 0..31 (the container style uses 0..9; editor styles add more), and the set
// that records which are assigned. AssignedValues is never streamed, so it is no published
// property.
using TcxContainerStyleValue = int;
using TcxContainerStyleValues = TSet<int>;

constexpr TcxContainerStyleValue csvBorderColor = 0, csvBorderStyle = 1, csvColor = 2, csvEdges = 3, csvFont = 4,
                                 csvHotTrack = 5, csvShadow = 6, csvTextColor = 7, csvTextStyle = 8,
                                 csvTransparentBorder = 9;

class TcxContainerStyle;
class TcxStyleController;

// What a style asks of the container that owns it (the container control implements it).
class IcxStyleContainer {
public:
  virtual ~IcxStyleContainer() = default;
  virtual bool IsDefaultParentColor() = 0;
  virtual bool StyleParentColor() = 0;
  virtual void SetStyleParentColor(bool Value) = 0;
  virtual bool StyleParentFont() = 0;
  virtual void SetStyleParentFont(bool Value) = 0;
  // The parent's colour, when the container has a parent.
  virtual bool ParentColorOf(TColor& Color) = 0;
  virtual bool RunsInPlace() = 0;
  virtual bool IsStyleValueStored(TcxContainerStyle* Style, const String& Name) = 0;
  virtual TcxContainerStyleValues UnstoredStyleValues() = 0;
};

class TcxContainerStyle : public TPersistent {
  KELM_CLASS(TcxContainerStyle, TPersistent)
  template <class B> static void Published(B& b) {
    b.Prop("BorderColor", &TcxContainerStyle::BorderColor, &TcxContainerStyle::SetBorderColor).Type("TColor")
        .Stored(&TcxContainerStyle::BorderColorStored);
    b.Prop("BorderStyle", &TcxContainerStyle::BorderStyle, &TcxContainerStyle::SetBorderStyle)
        .Stored(&TcxContainerStyle::BorderStyleStored);
    b.Prop("Color", &TcxContainerStyle::Color, &TcxContainerStyle::SetColor).Type("TColor")
        .Stored(&TcxContainerStyle::ColorStored);
    b.Prop("Edges", &TcxContainerStyle::Edges, &TcxContainerStyle::SetEdges).Stored(&TcxContainerStyle::EdgesStored);
    b.Prop("Font", &TcxContainerStyle::Font, &TcxContainerStyle::SetFont).Stored(&TcxContainerStyle::FontStored);
    b.Prop("HotTrack", &TcxContainerStyle::HotTrack, &TcxContainerStyle::SetHotTrack)
        .Stored(&TcxContainerStyle::HotTrackStored);
    b.Prop("LookAndFeel", &TcxContainerStyle::LookAndFeel, &TcxContainerStyle::SetLookAndFeel)
        .Stored(&TcxContainerStyle::LookAndFeelStored);
    b.Prop("Shadow", &TcxContainerStyle::Shadow, &TcxContainerStyle::SetShadow).Stored(&TcxContainerStyle::ShadowStored);
    b.Prop("StyleController", &TcxContainerStyle::StyleController, &TcxContainerStyle::SetStyleController)
        .Stored(&TcxContainerStyle::StyleControllerStored);
    b.Prop("TextColor", &TcxContainerStyle::TextColor, &TcxContainerStyle::SetTextColor).Type("TColor")
        .Stored(&TcxContainerStyle::TextColorStored);
    b.Prop("TextStyle", &TcxContainerStyle::TextStyle, &TcxContainerStyle::SetTextStyle)
        .Stored(&TcxContainerStyle::TextStyleStored);
    b.Prop("TransparentBorder", &TcxContainerStyle::TransparentBorder, &TcxContainerStyle::SetTransparentBorder)
        .Stored(&TcxContainerStyle::TransparentBorderStored);
  }

public:
  TcxContainerStyle(TPersistent* AOwner, bool ADirectAccessMode, TcxContainerStyle* AParentStyle = nullptr,
                    TcxContainerCondition AState = ccNormal);
  ~TcxContainerStyle() override;
  TPersistent* GetOwner() const override { return FOwner; }

  // ---- the values (readers resolve through the controller chain and the defaults)
  TcxContainerStyleValues AssignedValues() const;
  void SetAssignedValues(TcxContainerStyleValues Value);
  TColor BorderColor() const;
  void SetBorderColor(TColor Value);
  TcxContainerBorderStyle BorderStyle() const;
  void SetBorderStyle(TcxContainerBorderStyle Value);
  virtual TColor Color() const;
  void SetColor(TColor Value);
  TcxBorders Edges() const;
  void SetEdges(TcxBorders Value);
  TFont* Font() const;
  void SetFont(TFont* Value);
  bool HotTrack() const;
  void SetHotTrack(bool Value);
  TcxLookAndFeel* LookAndFeel() const;
  void SetLookAndFeel(TcxLookAndFeel* Value);
  bool Shadow() const;
  void SetShadow(bool Value);
  // nil when the style uses the standard controller.
  TcxStyleController* StyleController() const;
  void SetStyleController(TcxStyleController* Value);
  virtual TColor TextColor() const;
  void SetTextColor(TColor Value);
  virtual TFontStyles TextStyle() const;
  void SetTextStyle(TFontStyles Value);
  bool TransparentBorder() const;
  void SetTransparentBorder(bool Value);

  // ---- the rest of the style's operations
  virtual void Changed();
  virtual void ControllerChanged(TcxStyleController* AController);
  virtual void ControllerFreeNotification(TcxStyleController* AController);
  virtual TColor GetPaintColor() const;
  virtual TcxContainerStyleValues GetBaseOnlyValues() const;
  virtual int ValueSlotCount() const { return 10; }
  virtual bool ValueSlotName(int Index, String& Name) const;
  virtual bool HasBorder() const;
  virtual bool IsStyleValueAssigned(TcxContainerStyleValue Value) const;
  virtual void RestoreDefaults();
  void Assign(TPersistent* Source) override;
  void BeginUpdate() { ++FUpdateCount; }
  void EndUpdate();
  bool FindStyleValue(const String& Name, TcxContainerStyleValue& Value) const;
  bool IsValueStoredForState(const String& Name) const;
  TFont* VisibleFont();
  void UpdateFont();
  bool IsBaseStyle() const { return FParentStyle == nullptr; }
  TcxContainerStyle* BaseStyle() { return FParentStyle ? FParentStyle : this; }
  const TcxContainerStyle* BaseStyle() const { return FParentStyle ? FParentStyle : this; }
  TcxContainerStyle* ParentStyle() const { return FParentStyle; }
  TcxContainerCondition StyleState() const { return FState; }
  bool DirectAccessMode() const { return FDirectAccessMode; }
  IcxStyleContainer* OwnerContainer() const;
  // The base style's controller, the standard one included.
  TcxStyleController* ControllerOfBase() const;
  TNotifyEvent OnChanged;

protected:
  virtual TColor DefaultBorderColor() const;
  virtual TcxContainerBorderStyle DefaultBorderStyle() const;
  virtual TColor DefaultColor() const;
  virtual TcxBorders DefaultEdges() const { return cxBordersAll; }
  virtual bool DefaultHotTrack() const { return true; }
  virtual bool DefaultShadow() const { return false; }
  virtual TColor DefaultTextColor() const;
  virtual TFontStyles DefaultTextStyle() const;
  virtual bool DefaultTransparentBorder() const { return true; }
  virtual void FontChanged(TObject* Sender);
  virtual TcxStyleController* GetFallbackController();
  void DefineProperties(TFiler* Filer) override;

  // The style that holds a value: the base style for the values only it holds.
  const TcxContainerStyle* Holder(TcxContainerStyleValue V) const {
    if (!FBaseOnlyKnown) {
      FBaseOnly = GetBaseOnlyValues();
      FBaseOnlyKnown = true;
    }
    return FBaseOnly.Contains(V) ? BaseStyle() : this;
  }
  // Finds the style that has the value assigned: this one, or the same condition's style up
  // the controller chain; nil when none has.
  const TcxContainerStyle* AssignedSource(TcxContainerStyleValue V) const;
  // For styles that add values of their own: mark one assigned, read the marks as stored
  // (also in direct-access mode), and the stored test of a value by its name.
  void MarkValueAssigned(TcxContainerStyleValue V) { SetValueBit(V); }
  TcxContainerStyleValues StoredAssignedValues() const { return FAssignedValues; }
  bool IsValueStored(TcxContainerStyleValue V, const char* Name) const { return Stored(V, Name); }

private:
  friend class TcxStyleController;
  bool Stored(TcxContainerStyleValue V, const char* Name) const;
  bool BorderColorStored() const { return Stored(csvBorderColor, "BorderColor"); }
  bool BorderStyleStored() const { return Stored(csvBorderStyle, "BorderStyle"); }
  bool ColorStored() const { return Stored(csvColor, "Color"); }
  bool EdgesStored() const { return Stored(csvEdges, "Edges"); }
  bool FontStored() const { return Stored(csvFont, "Font"); }
  bool HotTrackStored() const { return Stored(csvHotTrack, "HotTrack"); }
  bool ShadowStored() const { return Stored(csvShadow, "Shadow"); }
  bool TextColorStored() const { return Stored(csvTextColor, "TextColor"); }
  bool TextStyleStored() const { return Stored(csvTextStyle, "TextStyle"); }
  bool TransparentBorderStored() const { return Stored(csvTransparentBorder, "TransparentBorder"); }
  bool LookAndFeelStored() const { return true; }
  bool StyleControllerStored() const;
  void SetValueBit(TcxContainerStyleValue V);
  const TcxContainerStyle* FindAssignedSource(TcxContainerStyleValue V) const;
  void CheckChanges();
  void ResetFont(TFont* F);

  TColor FBorderColor = clWindowFrame;
  TcxContainerBorderStyle FBorderStyle = cbsNone;
  TcxBorders FEdges = cxBordersAll;
  bool FHotTrack = true;
  bool FShadow = false;
  bool FTransparentBorder = true;
  bool FDirectAccessMode;
  int FFontLockCount = 0;
  bool FDestroying = false;
  std::unique_ptr<TcxLookAndFeel> FLookAndFeel;
  bool FModified = false;
  TPersistent* FOwner;
  TcxContainerStyle* FParentStyle = nullptr;
  TcxContainerCondition FState;
  TFontStyles FTextStyle;
  int FUpdateCount = 0;
  std::unique_ptr<TFont> FVisibleFont;
  TcxContainerStyleValues FAssignedValues;
  TcxStyleController* FStyleController = nullptr;
  TColor FColor = clWindow;
  TFont* FFont = nullptr;  // owned unless in direct-access mode
  bool FOwnsFont = false;
  TColor FTextColor = clWindowText;
  // Looked up once: values are read on every mouse move.
  IcxStyleContainer* FOwnerContainer = nullptr;
  mutable TcxContainerStyleValues FBaseOnly;
  mutable bool FBaseOnlyKnown = false;
  // Where each value was found, valid while no style anywhere has changed since (the
  // generation counts every change of assigned values, stored values and controllers).
  struct TSourceCache {
    const TcxContainerStyle* Source = nullptr;
    unsigned Generation = 0;
  };
  mutable TSourceCache FSources[16];
};

using TcxContainerStyleClass = TcxContainerStyle* (*)(TPersistent* AOwner, bool ADirectAccessMode,
                                                      TcxContainerStyle* AParentStyle, TcxContainerCondition AState);

// The four styles of a container or a controller, owned.
class TcxContainerStyles : public TObject {
public:
  TcxContainerStyles(TPersistent* AOwner, TcxContainerStyleClass AStyleClass);
  ~TcxContainerStyles() override;
  TcxContainerStyle* Styles(TcxContainerCondition Index) const { return FStyles[Index].get(); }
  void SetStyles(TcxContainerCondition Index, TcxContainerStyle* Value) { FStyles[Index]->Assign(Value); }
  TcxContainerStyle* Style() const { return Styles(ccNormal); }
  TcxContainerStyle* StyleFocused() const { return Styles(ccFocused); }
  TcxContainerStyle* StyleDisabled() const { return Styles(ccDisabled); }
  TcxContainerStyle* StyleHot() const { return Styles(ccHot); }
  void SetStyle(TcxContainerStyle* Value) { SetStyles(ccNormal, Value); }
  void SetStyleFocused(TcxContainerStyle* Value) { SetStyles(ccFocused, Value); }
  void SetStyleDisabled(TcxContainerStyle* Value) { SetStyles(ccDisabled, Value); }
  void SetStyleHot(TcxContainerStyle* Value) { SetStyles(ccHot, Value); }
  void SetChangeHandler(const TNotifyEvent& Handler);

private:
  std::unique_ptr<TcxContainerStyle> FStyles[4];
};

class TcxStyleController : public TComponent {
  KELM_CLASS(TcxStyleController, TComponent)
  template <class B> static void Published(B& b) {
    b.Prop("FakeStyleController", &TcxStyleController::FakeStyleController, &TcxStyleController::SetFakeStyleController)
        .Stored(false);
  }

public:
  explicit TcxStyleController(TComponent* AOwner);
  ~TcxStyleController() override;

  virtual void AddListener(TcxContainerStyle* AStyle);
  virtual void RemoveListener(TcxContainerStyle* AStyle);
  virtual TcxContainerStyleClass ControllerStyleClass();
  void Loaded() override;
  void Changed();
  void ScaleStyleFont(int M, int D);
  TcxContainerStyle* Style() const { return FStyleSet->Style(); }
  TcxContainerStyle* Styles(TcxContainerCondition Index) const { return FStyleSet->Styles(Index); }
  int ListenerCount() const { return static_cast<int>(FListeners.size()); }
  bool IsDestroying() const { return FDestroying; }
  TcxStyleController* FakeStyleController() const { return Style()->StyleController(); }
  void SetFakeStyleController(TcxStyleController*) {}
  TNotifyEvent OnStyleChanged;

protected:
  // For the standard controller: made before its style set exists.
  struct TStandardTag {};
  TcxStyleController(TComponent* AOwner, TStandardTag);
  // For controllers whose styles are of a class of their own (a constructor cannot ask
  // ControllerStyleClass); AsStandard makes it the standard controller.
  TcxStyleController(TComponent* AOwner, TcxContainerStyleClass AStyleClass, bool AsStandard);

private:
  void StyleSetChanged(TObject* Sender) { Changed(); }
  void Init(TcxContainerStyleClass AStyleClass);
  bool FDestroying = false;
  bool FFontScaled = false;
  std::vector<TcxContainerStyle*> FListeners;
  std::unique_ptr<TcxContainerStyles> FStyleSet;
  friend TcxStyleController* StandardStyleController();
};

// The process-wide controller behind every style that names none (made on first use).
TcxStyleController* StandardStyleController();
// Who makes the standard controller on first use (the editor framework makes one with edit
// styles); nil restores the plain one.
void SetStandardStyleControllerMaker(TcxStyleController* (*Maker)());
