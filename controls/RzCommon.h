#pragma once
// What the framed edit, the control button and the button edit draw with: colour arithmetic
// in a hue/saturation/lightness space (0..240 scale), one-pixel frame sides and bevels, the
// system-coloured and tinted borders of the eleven frame styles, the control frame painted
// in a window's non-client area, and two arrow glyphs. Beside them: the frame controller,
// which pushes one set of frame and colour settings to every control registered with it, the
// settings-store component, the reader of obsolete layout properties and two colour-name
// tables.
#include "core/Component.h"
#include "core/SysUtils.h"
#include "gui/Controls.h"
#include "gui/Graphics.h"

#include <vector>

class TReader;

// ================================================================ types

// Names and order belong to the stored layout format.
KELM_ENUM(TFrameStyleEx, fsNone, fsFlat, fsGroove, fsBump, fsLowered, fsButtonDown, fsRaised, fsButtonUp, fsStatus,
          fsPopup, fsFlatBold, fsFlatRounded)
// The styles fsNone..fsFlatBold; every frame-style property holds one of them.
using TFrameStyle = TFrameStyleEx;
constexpr TFrameStyle LastFrameStyle = fsFlatBold;
KELM_ENUM(TSide, sdLeft, sdTop, sdRight, sdBottom)
using TSides = TSet<TSide>;
constexpr TSides sdAllSides{sdLeft, sdTop, sdRight, sdBottom};
KELM_ENUM(TFramingPreference, fpCustomFraming, fpXPThemes)
KELM_ENUM(TRzPathType, ptIniFile, ptRegistry)
KELM_ENUM(TRzRegKey, hkeyClassesRoot, hkeyCurrentUser, hkeyLocalMachine, hkeyUsers, hkeyPerformanceData,
          hkeyCurrentConfig, hkeyDynData)
KELM_ENUM(TRzRegAccessKey, keyQueryValue, keySetValue, keyCreateSubKey, keyEnumerateSubKeys, keyNotify, keyCreateLink,
          keyRead, keyWrite, keyExecute, keyAllAccess)
using TRzRegAccess = TSet<TRzRegAccessKey>;
KELM_ENUM(TRzArrowDirection, adUp, adDown, adLeft, adRight)

// Which setting a frame-controller push concerns.
enum TRzFrameItem : Byte {
  fiAll, fiColor, fiFocusColor, fiDisabledColor, fiParentColor, fiFlatButtonColor, fiFlatButtons, fiFrameColor,
  fiFrameHotColor, fiFrameHotTrack, fiFrameHotStyle, fiFrameSides, fiFrameStyle, fiFrameVisible, fiFramingPreference
};

// Visual styles are never active on this platform; every control takes its classic path.
bool RzThemesEnabled();
// The file version of the common-controls library; there is none here.
constexpr Int64 RzComCtlVersion = 0;

// ================================================================ colours

void ColorToHueSatLum(TColor Color, Byte& H, Byte& S, Byte& L);
TColor HueSatLumToColor(Byte H, Byte S, Byte L);
TColor DarkenColor(TColor Color, Byte Amount);
TColor LightenColor(TColor Color, Byte Amount);
// True when one colour cannot be drawn on the other and be seen well: hues within 20 of each
// other around the hue circle and lightness within 60.
bool ColorsTooSimilar(TColor Color1, TColor Color2);

// ================================================================ painting
// Each painter returns its inner rectangle: what is left inside what it painted.

TRect PaintRectSides(TCanvas* Canvas, TRect Bounds, TColor ULColor, TColor LRColor, TSides Sides);
TRect PaintBevelRings(TCanvas* Canvas, TRect Bounds, TColor ULColor, TColor LRColor, int Count, TSides Sides);
TRect PaintSystemEdge(TCanvas* Canvas, TRect Bounds, bool Lowered, TSides Sides);
TRect PaintSystemButtonEdge(TCanvas* Canvas, TRect Bounds, bool Down, TSides Sides);
TRect PaintTintedButtonEdge(TCanvas* Canvas, TRect Bounds, TColor FaceColor, bool Down, TSides Sides);
TRect PaintSystemBorderSides(TCanvas* Canvas, TRect Bounds, TFrameStyle Style, TSides Sides);
TRect PaintSystemBorder(TCanvas* Canvas, TRect Bounds, TFrameStyle Style);
TRect PaintTintedBorderSides(TCanvas* Canvas, TRect Bounds, TColor FaceColor, TFrameStyle Style, TSides Sides);
TRect PaintTintedBorder(TCanvas* Canvas, TRect Bounds, TColor FaceColor, TFrameStyle Style);
// The frame of a whole control on (0, 0, Width, Height) of its window: unless KeepBorder,
// the platform's own two-pixel border is first covered in the face colour.
void PaintControlFrame(TCanvas* Canvas, int Width, int Height, TFrameStyle Style, TColor FaceColor, TColor FrameColor,
                       TSides Sides, bool KeepBorder);
void PaintDropDownGlyph(TCanvas* Canvas, const TRect& Bounds, bool XPLook, bool Down, bool Enabled);
void PaintArrowGlyph(TCanvas* Canvas, const TRect& Bounds, bool XPLook, TRzArrowDirection Direction, bool Down,
                     bool Enabled);

// ================================================================ small helpers

TRect RectCenteredIn(const TRect& Bounds, int Width, int Height);
// The font's text height plus 2.
int FontTextLineHeight(TFont* Font);

// ================================================================ obsolete layout properties

// Read handlers of properties older layouts still hold: the value is read and dropped.
class TRzOldPropReader : public TObject {
public:
  static void SkipBoolean(TReader* Reader);
  static void SkipIdent(TReader* Reader);
};

// ================================================================ settings store

// Holds where settings would be kept (an INI file or a registry key); nothing here reads or
// writes through it.
class TRzRegIniFile : public TComponent {
  KELM_CLASS(TRzRegIniFile, TComponent)
  template <class B> static void Published(B& b) {
    b.Prop("Path", &TRzRegIniFile::Path, &TRzRegIniFile::SetPath);
    b.Prop("PathType", &TRzRegIniFile::PathType, &TRzRegIniFile::SetPathType).Default(ptIniFile);
    b.Prop("RegKey", &TRzRegIniFile::RegKey, &TRzRegIniFile::SetRegKey).Default(hkeyCurrentUser);
    b.Prop("RegAccess", &TRzRegIniFile::RegAccess, &TRzRegIniFile::SetRegAccess).Type("TRzRegAccess").Default(TRzRegAccess{keyAllAccess});
  }
public:
  explicit TRzRegIniFile(TComponent* AOwner) : TComponent(AOwner) {}

  String Path() const { return FPath; }
  virtual void SetPath(const String& Value);
  TRzPathType PathType() const { return FPathType; }
  virtual void SetPathType(TRzPathType Value);
  TRzRegKey RegKey() const { return FRegKey; }
  virtual void SetRegKey(TRzRegKey Value);
  TRzRegAccess RegAccess() const { return FRegAccess; }
  virtual void SetRegAccess(TRzRegAccess Value);
  // The storage must be rebuilt before its next use.
  bool RefreshStorage() const { return FRefreshStorage; }

private:
  String FPath;
  TRzPathType FPathType = ptIniFile;
  TRzRegKey FRegKey = hkeyCurrentUser;
  TRzRegAccess FRegAccess{keyAllAccess};
  bool FRefreshStorage = true;
};

// ================================================================ frame controller

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

// ================================================================ colour-name tables

struct TRzColorName {
  TColor Color;
  const char* Name;
};
// 40 fixed colours, then the system colours 0..24 and 26..30.
extern const TRzColorName RzColorNames[70];
// "Default" and "Custom", the 16 standard colours, the system colours 0..24 and an empty name.
extern const TRzColorName RzStandardColorNames[44];
