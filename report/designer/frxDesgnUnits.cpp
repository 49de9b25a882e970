#include "report/designer/frxDesgnUnits.h"

#include "core/SysUtils.h"

#include <cmath>

using namespace frx_units;

namespace {
Extended Cell(bool Horizontal) { return Horizontal ? CharWidth : CharHeight; }
}  // namespace

Extended MMToUnits(TfrxRulerUnits Units, bool Horizontal, Extended Value) {
  switch (Units) {
    case ruCM: return Value / 10;
    case ruInches: return Value / 25.4;
    case ruPixels: return Value * 96 / 25.4;
    case ruChars: return static_cast<Extended>(Round(Value * PixPerMM / Cell(Horizontal)));
  }
  return Value;
}

Extended UnitsToMM(TfrxRulerUnits Units, bool Horizontal, Extended Value) {
  switch (Units) {
    case ruCM: return Value * 10;
    case ruInches: return Value * 25.4;
    case ruPixels: return Value / 96 * 25.4;
    case ruChars: return static_cast<Extended>(Round(Value)) * Cell(Horizontal) / PixPerMM;
  }
  return Value;
}

TfrxObjectSize DefaultObjectSize(TfrxRulerUnits Units) {
  switch (Units) {
    case ruCM: return {2.5 * PixPerCm, 0.5 * PixPerCm};
    case ruInches: return {PixPerInch, 0.2 * PixPerInch};
    case ruPixels: return {80, 16};
    case ruChars: return {10 * CharWidth, CharHeight};
  }
  return {80, 16};
}

Extended SaneScale(Extended Value) {
  if (!std::isfinite(Value) || Value <= 0) return 1;
  return Value > 20 ? 20 : Value;
}

Extended SaneGridSize(Extended Value, Extended Default) {
  return std::isfinite(Value) && Value > 0 ? Value : Default;
}

TfrxPositionTexts PositionTexts(TfrxRulerUnits Units, Extended Left, Extended Top, Extended Width, Extended Height,
                                bool WithSize) {
  auto convert = [Units](Extended v, bool horizontal) -> Extended {
    switch (Units) {
      case ruCM: return v * 2.54 / 96;
      case ruInches: return v / 96;
      case ruPixels: return v;
      case ruChars: return static_cast<Extended>(Round(v / Cell(horizontal)));
    }
    return v;
  };
  auto pair = [](Extended a, Extended b) { return Format("%.2f; %.2f", {a, b}); };
  TfrxPositionTexts t;
  t.Position = pair(convert(Left, true), convert(Top, false));
  if (WithSize) t.Size = pair(convert(Width, true), convert(Height, false));
  return t;
}

String ScaleText(Extended KX, Extended KY) { return Format("%s%.2f; %s%.2f", {"%", KX * 100, "%", KY * 100}); }

Extended Round8(Extended Value) {
  if (!std::isfinite(Value)) return Value;
  return std::round(Value * 1e8) / 1e8;
}

TfrxRulerUnits NextUnits(TfrxRulerUnits Units) {
  switch (Units) {
    case ruCM: return ruInches;
    case ruInches: return ruPixels;
    default: return ruCM;
  }
}
