#include "controls/RzCommon.h"

#include "core/ClassBuilder.h"
#include "core/Filer.h"
#include "core/TypInfo.h"
#include "core/Scope.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

bool RzThemesEnabled() { return IsThemeActive() != 0 && IsAppThemed() != 0; }

// ================================================================ colours

namespace {
// Halves go to the even neighbour (the default rounding mode).
Byte RoundByte(double v) { return static_cast<Byte>(std::clamp(std::nearbyint(v), 0.0, 255.0)); }
}  // namespace

void ColorToHueSatLum(TColor Color, Byte& H, Byte& S, Byte& L) {
  COLORREF rgb = ColorToRGB(Color);
  double r = GetRValue(rgb) / 255.0, g = GetGValue(rgb) / 255.0, b = GetBValue(rgb) / 255.0;
  double mx = std::max({r, g, b}), mn = std::min({r, g, b});
  double l = (mx + mn) / 2, s = 0, h = 0;
  if (mx != mn) {
    double d = mx - mn;
    s = l < 0.5 ? d / (mx + mn) : d / (2 - mx - mn);
    if (r == mx) h = (g - b) / d;
    else if (g == mx) h = 2 + (b - r) / d;
    else h = 4 + (r - g) / d;
    h /= 6;
    if (h < 0) h += 1;
  }
  H = RoundByte(h * 240);
  S = RoundByte(s * 240);
  L = RoundByte(l * 240);
}

TColor HueSatLumToColor(Byte H, Byte S, Byte L) {
  double h = H / 239.0, s = S / 240.0, l = L / 240.0;
  double v = l < 0.5 ? l * (1 + s) : l + s - l * s;
  if (v <= 0) return clBlack;
  double m = 2 * l - v, sv = (v - m) / v, h6 = h * 6;
  int sextant = static_cast<int>(h6);
  double f = h6 - sextant, t = v * sv * f, mid1 = m + t, mid2 = v - t;
  double rgb[3];
  switch (sextant) {
    case 1: rgb[0] = mid2; rgb[1] = v; rgb[2] = m; break;
    case 2: rgb[0] = m; rgb[1] = v; rgb[2] = mid1; break;
    case 3: rgb[0] = m; rgb[1] = mid2; rgb[2] = v; break;
    case 4: rgb[0] = mid1; rgb[1] = m; rgb[2] = v; break;
    case 5: rgb[0] = v; rgb[1] = m; rgb[2] = mid2; break;
    default: rgb[0] = v; rgb[1] = mid1; rgb[2] = m; break;
  }
  Byte c[3];
  for (int i = 0; i < 3; ++i) c[i] = RoundByte(std::min(rgb[i], 1.0) * 255);
  return static_cast<TColor>(RGB(c[0], c[1], c[2]));
}

TColor DarkenColor(TColor Color, Byte Amount) {
  Byte h, s, l;
  ColorToHueSatLum(Color, h, s, l);
  return HueSatLumToColor(h, s, static_cast<Byte>(std::max(l - Amount, 0)));
}

TColor LightenColor(TColor Color, Byte Amount) {
  Byte h, s, l;
  ColorToHueSatLum(Color, h, s, l);
  // Up to 255, beyond the scale's 240: the conversion back clamps the components.
  return HueSatLumToColor(h, s, static_cast<Byte>(std::min(l + Amount, 255)));
}

bool ColorsTooSimilar(TColor Color1, TColor Color2) {
  Byte h1, s1, l1, h2, s2, l2;
  ColorToHueSatLum(Color1, h1, s1, l1);
  ColorToHueSatLum(Color2, h2, s2, l2);
  // Hue is an angle: 2 and 238 lie 4 apart across red.
  int dh = std::abs(h1 - h2);
  dh = std::min(dh, 240 - dh);
  return dh < 20 && std::abs(l1 - l2) < 60;
}

// ================================================================ sides and rings

TRect PaintRectSides(TCanvas* Canvas, TRect R, TColor ULColor, TColor LRColor, TSides Sides) {
  auto line = [Canvas](int x1, int y1, int x2, int y2) {
    Canvas->MoveTo(x1, y1);
    Canvas->LineTo(x2, y2);
  };
  if (ULColor != clNone) {
    Canvas->Pen()->SetColor(ULColor);
    if (Sides.Contains(sdLeft)) line(R.Left, R.Top, R.Left, R.Bottom);
    if (Sides.Contains(sdTop)) line(R.Left, R.Top, R.Right, R.Top);
  }
  if (LRColor != clNone) {
    Canvas->Pen()->SetColor(LRColor);
    if (Sides.Contains(sdRight)) line(R.Right - 1, R.Top, R.Right - 1, R.Bottom);
    if (Sides.Contains(sdBottom)) line(R.Left, R.Bottom - 1, R.Right, R.Bottom - 1);
  }
  if (Sides.Contains(sdLeft)) ++R.Left;
  if (Sides.Contains(sdTop)) ++R.Top;
  if (Sides.Contains(sdRight)) --R.Right;
  if (Sides.Contains(sdBottom)) --R.Bottom;
  return R;
}

TRect PaintBevelRings(TCanvas* Canvas, TRect R, TColor ULColor, TColor LRColor, int Count, TSides Sides) {
  Canvas->Pen()->SetWidth(1);
  for (int i = 0; i < Count; ++i) R = PaintRectSides(Canvas, R, ULColor, LRColor, Sides);
  return R;
}

namespace {

struct TRing {
  TColor UL, LR;
};

TRect PaintRings(TCanvas* Canvas, TRect R, std::initializer_list<TRing> Rings, TSides Sides) {
  for (const TRing& ring : Rings) R = PaintBevelRings(Canvas, R, ring.UL, ring.LR, 1, Sides);
  return R;
}

TRect PaintGrooveBump(TCanvas* Canvas, TRect R, TColor UL, TColor LR, TSides Sides) {
  const bool l = Sides.Contains(sdLeft), t = Sides.Contains(sdTop), r = Sides.Contains(sdRight),
             b = Sides.Contains(sdBottom);
  // The corners where a ring ends without its neighbour.
  const struct {
    bool When;
    int X, Y;
    TColor Color;
  } corners[] = {
      {r, R.Right - 1, R.Top, LR},           {t && !r, R.Right - 1, R.Top, UL},
      {b, R.Left, R.Bottom - 1, LR},         {l && !b, R.Left, R.Bottom - 1, UL},
      {t && !l, R.Left, R.Top + 1, LR},      {l && !t, R.Left + 1, R.Top, LR},
      {b && !r, R.Right - 1, R.Bottom - 2, UL}, {r && !b, R.Right - 2, R.Bottom - 1, UL},
  };
  for (const auto& c : corners)
    if (c.When) Canvas->SetPixels(c.X, c.Y, c.Color);
  PaintBevelRings(Canvas, Rect(R.Left + 1, R.Top + 1, R.Right, R.Bottom), LR, LR, 1, Sides);
  PaintBevelRings(Canvas, Rect(R.Left, R.Top, R.Right - 1, R.Bottom - 1), UL, UL, 1, Sides);
  if (l) R.Left += 2;
  if (t) R.Top += 2;
  if (r) R.Right -= 2;
  if (b) R.Bottom -= 2;
  return R;
}

}  // namespace

TRect PaintSystemEdge(TCanvas* Canvas, TRect R, bool Lowered, TSides Sides) {
  if (Lowered) return PaintRings(Canvas, R, {{clBtnShadow, clBtnHighlight}, {cl3DDkShadow, cl3DLight}}, Sides);
  return PaintRings(Canvas, R, {{cl3DLight, cl3DDkShadow}, {clBtnHighlight, clBtnShadow}}, Sides);
}

TRect PaintSystemButtonEdge(TCanvas* Canvas, TRect R, bool Down, TSides Sides) {
  if (Down) return PaintRings(Canvas, R, {{clBtnText, clBtnText}, {clBtnShadow, clBtnShadow}}, Sides);
  return PaintRings(Canvas, R, {{clBtnHighlight, cl3DDkShadow}, {cl3DLight, clBtnShadow}}, Sides);
}

TRect PaintTintedButtonEdge(TCanvas* Canvas, TRect R, TColor F, bool Down, TSides Sides) {
  if (Down) return PaintRings(Canvas, R, {{DarkenColor(F, 100), DarkenColor(F, 100)}, {DarkenColor(F, 50), DarkenColor(F, 50)}}, Sides);
  return PaintRings(Canvas, R, {{LightenColor(F, 100), DarkenColor(F, 100)}, {LightenColor(F, 40), DarkenColor(F, 50)}}, Sides);
}

// ================================================================ borders by style

namespace {

// How a style is painted: rings of its two colours, the groove/bump routine, or an edge.
enum TBorderKind { bkNothing, bkOneRing, bkTwoRings, bkGrooveBump, bkEdgeLowered, bkEdgeRaised, bkButtonDown, bkButtonUp };

struct TSystemBorder {
  TColor UL, LR;
  TBorderKind Kind;
};

// Indexed by TFrameStyle (fsNone..fsFlatBold).
constexpr TSystemBorder SystemBorders[] = {
    {clWindow, clWindow, bkNothing},          // fsNone
    {cl3DDkShadow, cl3DDkShadow, bkOneRing},  // fsFlat
    {clBtnShadow, clBtnHighlight, bkGrooveBump},  // fsGroove
    {clBtnHighlight, clBtnShadow, bkGrooveBump},  // fsBump
    {clNone, clNone, bkEdgeLowered},          // fsLowered
    {clNone, clNone, bkButtonDown},           // fsButtonDown
    {clNone, clNone, bkEdgeRaised},           // fsRaised
    {clNone, clNone, bkButtonUp},             // fsButtonUp
    {clBtnShadow, clBtnHighlight, bkOneRing}, // fsStatus
    {clBtnHighlight, clBtnShadow, bkOneRing}, // fsPopup
    {clBtnShadow, clBtnShadow, bkTwoRings},   // fsFlatBold
};
static_assert(std::size(SystemBorders) == LastFrameStyle + 1);

// A tint of the face colour: darker or lighter by an amount.
struct TTint {
  bool Light;
  Byte Amount;
  TColor Of(TColor Face) const { return Light ? LightenColor(Face, Amount) : DarkenColor(Face, Amount); }
};
constexpr TTint D50{false, 50}, D100{false, 100}, L40{true, 40}, L50{true, 50}, L100{true, 100};

struct TTintedBorder {
  TBorderKind Kind;  // bkNothing, bkOneRing (Rings[0] once or twice), bkGrooveBump or bkTwoRings
  int RingCount;
  TTint Rings[2][2];  // (upper-left, lower-right) of each ring
};

constexpr TTintedBorder TintedBorders[] = {
    {bkNothing, 0, {}},                                  // fsNone
    {bkOneRing, 1, {{D50, D50}}},                        // fsFlat
    {bkGrooveBump, 1, {{D50, L100}}},                    // fsGroove
    {bkGrooveBump, 1, {{L100, D50}}},                    // fsBump
    {bkTwoRings, 2, {{D50, L100}, {D100, L50}}},         // fsLowered
    {bkTwoRings, 2, {{D100, D100}, {D50, D50}}},         // fsButtonDown
    {bkTwoRings, 2, {{L50, D100}, {L100, D50}}},         // fsRaised
    {bkTwoRings, 2, {{L100, D100}, {L40, D50}}},         // fsButtonUp
    {bkOneRing, 1, {{D50, L100}}},                       // fsStatus
    {bkOneRing, 1, {{L100, D50}}},                       // fsPopup
    {bkTwoRings, 2, {{D50, D50}, {D50, D50}}},           // fsFlatBold
};
static_assert(std::size(TintedBorders) == LastFrameStyle + 1);

}  // namespace

TRect PaintSystemBorderSides(TCanvas* Canvas, TRect R, TFrameStyle Style, TSides Sides) {
  if (Style < fsNone || Style > LastFrameStyle) return R;
  const TSystemBorder& b = SystemBorders[Style];
  switch (b.Kind) {
    case bkOneRing: return PaintBevelRings(Canvas, R, b.UL, b.LR, 1, Sides);
    case bkTwoRings: return PaintBevelRings(Canvas, R, b.UL, b.LR, 2, Sides);
    case bkGrooveBump: return PaintGrooveBump(Canvas, R, b.UL, b.LR, Sides);
    case bkEdgeLowered: return PaintSystemEdge(Canvas, R, true, Sides);
    case bkEdgeRaised: return PaintSystemEdge(Canvas, R, false, Sides);
    case bkButtonDown: return PaintSystemButtonEdge(Canvas, R, true, Sides);
    case bkButtonUp: return PaintSystemButtonEdge(Canvas, R, false, Sides);
    default: return R;
  }
}

TRect PaintSystemBorder(TCanvas* Canvas, TRect R, TFrameStyle Style) {
  return PaintSystemBorderSides(Canvas, R, Style, sdAllSides);
}

TRect PaintTintedBorderSides(TCanvas* Canvas, TRect R, TColor Face, TFrameStyle Style, TSides Sides) {
  if (Style == fsNone) return R;
  // Any value past the table paints as fsBump.
  const TTintedBorder& b = TintedBorders[Style > fsNone && Style <= LastFrameStyle ? Style : fsBump];
  if (b.Kind == bkGrooveBump) return PaintGrooveBump(Canvas, R, b.Rings[0][0].Of(Face), b.Rings[0][1].Of(Face), Sides);
  for (int i = 0; i < b.RingCount; ++i)
    R = PaintBevelRings(Canvas, R, b.Rings[i][0].Of(Face), b.Rings[i][1].Of(Face), 1, Sides);
  return R;
}

TRect PaintTintedBorder(TCanvas* Canvas, TRect R, TColor Face, TFrameStyle Style) {
  return PaintTintedBorderSides(Canvas, R, Face, Style, sdAllSides);
}

void PaintControlFrame(TCanvas* Canvas, int Width, int Height, TFrameStyle Style, TColor FaceColor, TColor FrameColor,
                       TSides Sides, bool KeepBorder) {
  TRect r = Rect(0, 0, Width, Height);
  if (!KeepBorder) PaintBevelRings(Canvas, r, FaceColor, FaceColor, 2, sdAllSides);
  if (Style == fsFlat) PaintBevelRings(Canvas, r, FrameColor, FrameColor, 1, Sides);
  else if (Style == fsFlatBold) PaintBevelRings(Canvas, r, FrameColor, FrameColor, 2, Sides);
  else if (FaceColor == clWindow) PaintSystemBorderSides(Canvas, r, Style, Sides);
  else PaintTintedBorderSides(Canvas, r, FaceColor, Style, Sides);
}

// ================================================================ glyphs

namespace {

TColor GlyphColor(bool XPLook, bool Enabled) {
  if (!Enabled) return clBtnShadow;
  if (!XPLook) return clBlack;
  // The themed look takes its colour from the theme's drop-down button; with no theme to
  // draw it, the probe keeps its blank white, which the window colour check replaces.
  TColor probe = clWhite;
  return ColorsTooSimilar(probe, clWindow) ? cl3DDkShadow : probe;
}

void FillGlyph(TCanvas* Canvas, const std::vector<TPoint>& Points, TColor Color) {
  TColor saved = Canvas->Brush()->Color();
  Canvas->Brush()->SetColor(Color);
  Canvas->Pen()->SetStyle(psClear);
  Canvas->Polygon(Points);
  Canvas->Pen()->SetStyle(psSolid);
  Canvas->Brush()->SetColor(saved);
}

TPoint GlyphCentre(const TRect& R) {
  int cx = R.Left + (R.Right - R.Left) / 2;
  int cy = R.Top + (R.Bottom - R.Top) / 2;
  if ((R.Bottom - R.Top) % 2 == 0) --cy;
  return {cx, cy};
}

}  // namespace

void PaintDropDownGlyph(TCanvas* Canvas, const TRect& Bounds, bool XPLook, bool Down, bool Enabled) {
  TPoint c = GlyphCentre(Bounds);
  c.Y += XPLook ? 4 : 2;
  if (Down) ++c.X, ++c.Y;
  const int x = c.X, y = c.Y;
  if (XPLook)
    FillGlyph(Canvas, {{x, y}, {x - 4, y - 5}, {x - 3, y - 7}, {x, y - 3}, {x + 3, y - 7}, {x + 5, y - 5}},
              GlyphColor(XPLook, Enabled));
  else
    FillGlyph(Canvas, {{x, y}, {x - 3, y - 4}, {x + 4, y - 4}}, GlyphColor(XPLook, Enabled));
}

void PaintArrowGlyph(TCanvas* Canvas, const TRect& Bounds, bool XPLook, TRzArrowDirection Direction, bool Down,
                     bool Enabled) {
  TPoint c = GlyphCentre(Bounds);
  // Where each direction moves the centre: (dx, dy) for the themed and the classic look.
  static constexpr TPoint shiftXP[] = {{0, 4}, {0, 2}, {-1, 0}, {-3, 0}};
  static constexpr TPoint shiftClassic[] = {{0, 2}, {0, 2}, {-2, 0}, {-2, 0}};
  const TPoint s = (XPLook ? shiftXP : shiftClassic)[Direction];
  c.X += s.X;
  c.Y += s.Y;
  if (Down && Enabled) ++c.X, ++c.Y;
  const int x = c.X, y = c.Y;
  std::vector<TPoint> p;
  if (XPLook) {
    switch (Direction) {
      case adUp: p = {{x, y - 5}, {x + 4, y}, {x + 1, y}, {x, y - 2}, {x - 1, y}, {x - 4, y}}; break;
      case adDown: p = {{x, y}, {x - 3, y - 4}, {x, y - 4}, {x, y - 3}, {x + 1, y - 4}, {x + 4, y - 4}}; break;
      case adLeft: p = {{x, y}, {x + 4, y - 4}, {x + 4, y - 1}, {x + 3, y}, {x + 4, y + 1}, {x + 4, y + 4}}; break;
      case adRight: p = {{x + 4, y}, {x, y + 4}, {x, y + 1}, {x + 1, y}, {x, y - 1}, {x, y - 4}}; break;
    }
  } else {
    switch (Direction) {
      case adUp: p = {{x, y - 5}, {x + 4, y}, {x - 4, y}}; break;
      case adDown: p = {{x, y + 1}, {x - 3, y - 3}, {x + 4, y - 3}}; break;
      case adLeft: p = {{x, y}, {x + 4, y - 4}, {x + 4, y + 4}}; break;
      case adRight: p = {{x + 4, y}, {x, y + 4}, {x, y - 4}}; break;
    }
  }
  FillGlyph(Canvas, p, GlyphColor(XPLook, Enabled));
}

// ================================================================ small helpers

TRect RectCenteredIn(const TRect& R, int Width, int Height) {
  return Bounds((R.Left + R.Right - Width) / 2, (R.Top + R.Bottom - Height) / 2, Width, Height);
}

int FontTextLineHeight(TFont* Font) {
  HDC dc = GetDC(0);
  HGDIOBJ old = SelectObject(dc, Font->Handle());
  TEXTMETRIC tm;
  GetTextMetrics(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(0, dc);
  return tm.tmHeight + 2;
}

// ================================================================ obsolete layout properties

void TRzOldPropReader::SkipBoolean(TReader* Reader) { Reader->ReadBoolean(); }
void TRzOldPropReader::SkipIdent(TReader* Reader) { Reader->ReadIdent(); }

void DefineOldFrameProperties(TFiler* Filer, const TOldFrameFields& F) {
  Filer->DefineProperty(
      "FrameFlat",
      [F](TReader* r) {
        *F.FrameHotTrack = r->ReadBoolean();
        if (*F.FrameHotTrack) {
          *F.FrameStyle = fsStatus;
          *F.FrameHotStyle = fsLowered;
        }
      },
      nullptr, false);
  Filer->DefineProperty(
      "FrameFocusStyle",
      [F](TReader* r) {
        int v = GetEnumValue(EnumInfo<TFrameStyleEx>(), r->ReadIdent());
        if (v >= fsNone && v <= LastFrameStyle) *F.FrameHotStyle = static_cast<TFrameStyle>(v);
      },
      nullptr, false);
  Filer->DefineProperty("FrameFlatStyle", &TRzOldPropReader::SkipIdent, nullptr, false);
}

// ================================================================ TRzRegIniFile

KELM_PUBLISH(TRzRegIniFile) { Published(b); }

void TRzRegIniFile::SetPath(const String& Value) {
  if (Value == FPath) return;
  FPath = Value;
  FRefreshStorage = true;
}

void TRzRegIniFile::SetPathType(TRzPathType Value) {
  if (Value == FPathType) return;
  FPathType = Value;
  FRefreshStorage = true;
}

void TRzRegIniFile::SetRegKey(TRzRegKey Value) {
  if (Value == FRegKey) return;
  FRegKey = Value;
  FRefreshStorage = true;
}

void TRzRegIniFile::SetRegAccess(TRzRegAccess Value) {
  if (Value == FRegAccess) return;
  FRegAccess = Value;
  FRefreshStorage = true;
}

// ================================================================ TRzFrameController

KELM_PUBLISH(TRzFrameController) { Published(b); }

TRzFrameController::TRzFrameController(TComponent* AOwner) : TComponent(AOwner) {}

TRzFrameController::~TRzFrameController() = default;

void TRzFrameController::RegisterControl(TControl* Control) {
  if (std::find(FControls.begin(), FControls.end(), Control) != FControls.end()) return;
  FControls.push_back(Control);
  ApplyToControl(Control, fiAll);
}

void TRzFrameController::UnregisterControl(TControl* Control) {
  auto it = std::find(FControls.begin(), FControls.end(), Control);
  if (it != FControls.end()) FControls.erase(it);
}

void TRzFrameController::ReleaseUpdates() {
  if (--FUpdateCount > 0) return;
  FUpdateCount = 0;
  ApplyToAll(fiAll);
}

void TRzFrameController::ApplyToAll(TRzFrameItem Item) {
  if (FUpdateCount > 0) return;
  // A control may leave the list while it takes the settings.
  std::vector<TControl*> controls = FControls;
  for (TControl* c : controls) ApplyToControl(c, Item);
}

namespace {
// The published property each item writes, by TRzFrameItem.
constexpr const char* FrameItemProps[] = {
    "",           "Color",         "FocusColor",    "DisabledColor", "ParentColor",   "FlatButtonColor",
    "FlatButtons", "FrameColor",   "FrameHotColor", "FrameHotTrack", "FrameHotStyle", "FrameSides",
    "FrameStyle", "FrameVisible",  "FramingPreference"};
static_assert(std::size(FrameItemProps) == fiFramingPreference + 1);

// The order fiAll writes in; Color only while the controller keeps a colour of its own.
constexpr TRzFrameItem AllItemsOrder[] = {fiParentColor, fiColor, fiDisabledColor, fiFocusColor, fiFlatButtonColor,
                                          fiFlatButtons, fiFrameColor, fiFrameHotColor, fiFrameHotTrack, fiFrameHotStyle,
                                          fiFrameSides, fiFrameStyle, fiFrameVisible, fiFramingPreference};
}  // namespace

void TRzFrameController::ApplyToControl(TControl* Control, TRzFrameItem Item) {
  if (!Control) return;
  if (Item != fiAll) {
    ApplyItem(Control, Item);
    return;
  }
  for (TRzFrameItem i : AllItemsOrder)
    if (i != fiColor || !FParentColor) ApplyItem(Control, i);
}

void TRzFrameController::ApplyItem(TControl* Control, TRzFrameItem Item) {
  const char* name = FrameItemProps[Item];
  const TPropInfo* target = GetPropInfo(Control, name);
  if (!target || !target->Writable()) return;
  // Sets travel as their text, so a control's own set type of the same names takes them.
  if (Item == fiFrameSides) SetSetProp(Control, name, GetSetProp(this, name));
  else SetOrdProp(Control, name, GetOrdProp(this, name));
}

template <class T> void TRzFrameController::Change(T& Field, T Value, TRzFrameItem Item) {
  if (Field == Value) return;
  Field = Value;
  ApplyToAll(Item);
}

void TRzFrameController::SetColor(TColor Value) {
  if (Value == FColor) return;
  if (FFocusColor == FColor) FFocusColor = Value;
  FColor = Value;
  FParentColor = false;
  ApplyToAll(fiColor);
}

void TRzFrameController::SetParentColor(bool Value) {
  if (Value == FParentColor) return;
  FParentColor = Value;
  ApplyToAll(fiParentColor);
  if (!Value) ApplyToAll(fiColor);
}

void TRzFrameController::SetFlatButtonColor(TColor Value) { Change(FFlatButtonColor, Value, fiFlatButtonColor); }
void TRzFrameController::SetFlatButtons(bool Value) { Change(FFlatButtons, Value, fiFlatButtons); }
void TRzFrameController::SetDisabledColor(TColor Value) { Change(FDisabledColor, Value, fiDisabledColor); }
void TRzFrameController::SetFocusColor(TColor Value) { Change(FFocusColor, Value, fiFocusColor); }
void TRzFrameController::SetFrameColor(TColor Value) { Change(FFrameColor, Value, fiFrameColor); }
void TRzFrameController::SetFrameHotColor(TColor Value) { Change(FFrameHotColor, Value, fiFrameHotColor); }
void TRzFrameController::SetFrameSides(TSides Value) { Change(FFrameSides, Value, fiFrameSides); }
void TRzFrameController::SetFrameVisible(bool Value) { Change(FFrameVisible, Value, fiFrameVisible); }

void TRzFrameController::SetFrameHotStyle(TFrameStyle Value) {
  if (Value >= fsNone && Value <= LastFrameStyle) Change(FFrameHotStyle, Value, fiFrameHotStyle);
}

void TRzFrameController::SetFrameStyle(TFrameStyle Value) {
  if (Value >= fsNone && Value <= LastFrameStyle) Change(FFrameStyle, Value, fiFrameStyle);
}

void TRzFrameController::SetFramingPreference(TFramingPreference Value) {
  Change(FFramingPreference, Value, fiFramingPreference);
}

void TRzFrameController::SetFrameHotTrack(bool Value) {
  if (Value == FFrameHotTrack) return;
  FFrameHotTrack = Value;
  if (Value) {
    SetFrameVisible(true);
    if (!ComponentState().Contains(csLoading)) FFrameSides = sdAllSides;
  }
  ApplyToAll(fiFrameHotTrack);
}

void TRzFrameController::SetRegIniFile(TRzRegIniFile* Value) { AssignReference(this, FRegIniFile, Value); }

void TRzFrameController::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TRzFrameController*>(Source);
  if (!src) {
    TComponent::Assign(Source);
    return;
  }
  HoldUpdates();
  TryFinally(
      [&] {
        SetColor(src->Color());
        SetDisabledColor(src->DisabledColor());
        SetFlatButtonColor(src->FlatButtonColor());
        SetFlatButtons(src->FlatButtons());
        SetFocusColor(src->FocusColor());
        SetFrameColor(src->FrameColor());
        SetFrameHotColor(src->FrameHotColor());
        SetFrameHotStyle(src->FrameHotStyle());
        SetFrameHotTrack(src->FrameHotTrack());
        SetFrameSides(src->FrameSides());
        SetFrameStyle(src->FrameStyle());
        SetFrameVisible(src->FrameVisible());
        SetFramingPreference(src->FramingPreference());
        SetParentColor(src->ParentColor());
      },
      [&] { ReleaseUpdates(); });
}

void TRzFrameController::DefineProperties(TFiler* Filer) {
  TComponent::DefineProperties(Filer);
  DefineOldFrameProperties(Filer, {&FFrameHotTrack, &FFrameStyle, &FFrameHotStyle});
}

void TRzFrameController::Loaded() {
  TComponent::Loaded();
  ApplyToAll(fiAll);
}

void TRzFrameController::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FRegIniFile) FRegIniFile = nullptr;
}

// ================================================================ colour-name tables

const TRzColorName RzColorNames[70] = {
    {0x000000, "Black"},        {0x003399, "Brown"},         {0x003333, "Olive Green"},  {0x003300, "Dark Green"},
    {0x663300, "Dark Teal"},    {0x800000, "Dark Blue"},     {0x993333, "Indigo"},       {0x333333, "Gray 80%"},
    {0x000080, "Dark Red"},     {0x0066FF, "Orange"},        {0x008080, "Dark Yellow"},  {0x008000, "Green"},
    {0x808000, "Teal"},         {0xFF0000, "Blue"},          {0x996666, "Blue Gray"},    {0x808080, "Gray 50%"},
    {0x0000FF, "Red"},          {0x0099FF, "Light Orange"},  {0x00CC99, "Lime"},         {0x669933, "Sea Green"},
    {0x999933, "Aqua"},         {0xFF6633, "Light Blue"},    {0x800080, "Violet"},       {0x999999, "Gray 40%"},
    {0xFF00FF, "Pink"},         {0x00CCFF, "Gold"},          {0x00FFFF, "Yellow"},       {0x00FF00, "Bright Green"},
    {0xFFFF00, "Turquoise"},    {0xFFCC00, "Sky Blue"},      {0x663399, "Plum"},         {0xC0C0C0, "Gray 25%"},
    {0xCC99FF, "Rose"},         {0x99CCFF, "Tan"},           {0x99FFFF, "Light Yellow"}, {0xCCFFCC, "Light Green"},
    {0xFFFFCC, "Light Turquoise"}, {0xFFCC99, "Pale Blue"},  {0xFF99CC, "Lavender"},     {0xFFFFFF, "White"},
    {clScrollBar, "Scroll Bar"}, {clBackground, "Background"}, {clActiveCaption, "Active Caption"},
    {clInactiveCaption, "Inactive Caption"}, {clMenu, "Menu"}, {clWindow, "Window"}, {clWindowFrame, "Window Frame"},
    {clMenuText, "Menu Text"}, {clWindowText, "Window Text"}, {clCaptionText, "Caption Text"},
    {clActiveBorder, "Active Border"}, {clInactiveBorder, "Inactive Border"}, {clAppWorkSpace, "App WorkSpace"},
    {clHighlight, "Highlight"}, {clHighlightText, "Highlight Text"}, {clBtnFace, "Button Face"},
    {clBtnShadow, "Button Shadow"}, {clGrayText, "Gray Text"}, {clBtnText, "Button Text"},
    {clInactiveCaptionText, "Inactive Caption Text"}, {clBtnHighlight, "Button Highlight"},
    {cl3DDkShadow, "3D Dark Shadow"}, {cl3DLight, "3D Light"}, {clInfoText, "Info Text"},
    {clInfoBk, "Info Background"}, {clHotLight, "Hot Light"}, {clGradientActiveCaption, "Gradient Active Caption"},
    {clGradientInactiveCaption, "Gradient Inactive Caption"}, {clMenuHighlight, "Menu Highlight"},
    {clMenuBar, "Menu Bar"},
};

const TRzColorName RzStandardColorNames[44] = {
    {0, "Default"}, {0, "Custom"},
    {clBlack, "Black"}, {clMaroon, "Maroon"}, {clGreen, "Green"}, {clOlive, "Olive"}, {clNavy, "Navy"},
    {clPurple, "Purple"}, {clTeal, "Teal"}, {clGray, "Gray"}, {clSilver, "Silver"}, {clRed, "Red"},
    {clLime, "Lime"}, {clYellow, "Yellow"}, {clBlue, "Blue"}, {clFuchsia, "Fuchsia"}, {clAqua, "Aqua"},
    {clWhite, "White"},
    {clScrollBar, "ScrollBar"}, {clBackground, "Background"}, {clActiveCaption, "ActiveCaption"},
    {clInactiveCaption, "InactiveCaption"}, {clMenu, "Menu"}, {clWindow, "Window"}, {clWindowFrame, "WindowFrame"},
    {clMenuText, "MenuText"}, {clWindowText, "WindowText"}, {clCaptionText, "CaptionText"},
    {clActiveBorder, "ActiveBorder"}, {clInactiveBorder, "InactiveBorder"}, {clAppWorkSpace, "AppWorkSpace"},
    {clHighlight, "Highlight"}, {clHighlightText, "HighlightText"}, {clBtnFace, "BtnFace"},
    {clBtnShadow, "BtnShadow"}, {clGrayText, "GrayText"}, {clBtnText, "BtnText"},
    {clInactiveCaptionText, "InactiveCaptionText"}, {clBtnHighlight, "BtnHighlight"}, {cl3DDkShadow, "3DDkShadow"},
    {cl3DLight, "3DLight"}, {clInfoText, "InfoText"}, {clInfoBk, "InfoBk"},
    {0, ""},
};
