#pragma once
// Units of measure, zoom and grid steps of the report designer: objects are measured in
// pixels at 96 per inch, paper in millimetres, and the user sees one of four units.
#include "core/Types.h"
#include "core/TypInfo.h"

KELM_ENUM(TfrxRulerUnits, ruCM, ruInches, ruPixels, ruChars)
enum TfrxGridKind { gkPixels = 0, gkCm = 1, gkInch = 2, gkDialog = 3, gkChars = 4 };

// The pencil cursor shown while a line is armed for drawing ("frxPENCIL").
constexpr int kPencilCursor = 11;

namespace frx_units {
constexpr Extended PixPerMM = 3.77953;
constexpr Extended PixPerCm = 37.7953;
constexpr Extended PixPerInch = 96;
constexpr Extended CharWidth = 9.6;
constexpr Extended CharHeight = 17;
}  // namespace frx_units

// Millimetres to the given units and back; characters count whole cells (9.6 pixels wide,
// 17 high).
Extended MMToUnits(TfrxRulerUnits Units, bool Horizontal, Extended Value);
Extended UnitsToMM(TfrxRulerUnits Units, bool Horizontal, Extended Value);

struct TfrxObjectSize {
  Extended Width = 0, Height = 0;  // pixels
};
// The size of an object inserted with a single click, by units.
TfrxObjectSize DefaultObjectSize(TfrxRulerUnits Units);

// The zoom factor the designer accepts: at most 20; zero, negative or not a number is 1.
Extended SaneScale(Extended Value);
// A grid step that is zero, negative or not a number takes the kind's default (0.1 cm,
// 0.1 in, 4 px), so the workspace never divides by it.
Extended SaneGridSize(Extended Value, Extended Default);

// Pixel bounds of the selection as the status bar shows them: "x; y" with two decimals each.
struct TfrxPositionTexts {
  String Position, Size;
};
TfrxPositionTexts PositionTexts(TfrxRulerUnits Units, Extended Left, Extended Top, Extended Width, Extended Height,
                                bool WithSize);
// "%x; %y" of a scaling drag, each factor times 100.
String ScaleText(Extended KX, Extended KY);

// Round8: object bounds written by the designer keep 8 decimals.
Extended Round8(Extended Value);
// The next unit of the status bar's units panel: cm, inches, pixels, cm (characters go to cm).
TfrxRulerUnits NextUnits(TfrxRulerUnits Units);
