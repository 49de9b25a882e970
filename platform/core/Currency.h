#pragma once
// Fixed-point money: a 64-bit count of ten-thousandths, so sums of amounts stay exact.
#include "core/System.h"
#include <compare>
#include <concepts>

struct Currency {
  // The decimals an amount keeps, and the scale of Value that follows (ten-thousandths of a
  // unit). Every conversion between units and Value uses these.
  static constexpr int kDecimals = 4;
  static constexpr Int64 kScale = [] {
    Int64 scale = 1;
    for (int i = 0; i < kDecimals; ++i) scale *= 10;
    return scale;
  }();

  Int64 Value = 0;  // units times kScale

  constexpr Currency() = default;
  // Whole units; any integer type converts, so `Currency c = 5;` means 5.0000.
  template <std::integral T>
  constexpr Currency(T units) : Value(WholeUnits(static_cast<Int64>(units))) {}
  // A floating value would silently lose its fraction through the integer constructor; say
  // FromDouble instead.
  template <std::floating_point T> Currency(T) = delete;

  static constexpr Currency FromRaw(Int64 raw) { Currency c; c.Value = raw; return c; }
  // Half to even at the fourth decimal; raises EOverflow outside the range and for NaN.
  static Currency FromDouble(double v);
  static Currency FromExtended(Extended v);
  double ToDouble() const { return static_cast<double>(Value) / kScale; }
  Extended ToExtended() const { return static_cast<Extended>(Value) / kScale; }

  // Exact; a result outside the range raises EOverflow instead of wrapping.
  friend Currency operator+(Currency a, Currency b) { return FromRaw(CheckedAdd(a.Value, b.Value)); }
  friend Currency operator-(Currency a, Currency b) { return FromRaw(CheckedSub(a.Value, b.Value)); }
  // The exact product, rounded half to even at the fourth decimal.
  friend Currency operator*(Currency a, Currency b) { return FromRaw(Multiply(a.Value, b.Value)); }
  // The exact quotient, rounded half to even at the fourth decimal; EZeroDivide for 0.
  friend Currency operator/(Currency a, Currency b) { return FromRaw(Divide(a.Value, b.Value)); }
  Currency operator-() const { return FromRaw(CheckedSub(0, Value)); }
  Currency operator+() const { return *this; }
  Currency& operator+=(Currency o) { return *this = *this + o; }
  Currency& operator-=(Currency o) { return *this = *this - o; }
  Currency& operator*=(Currency o) { return *this = *this * o; }
  Currency& operator/=(Currency o) { return *this = *this / o; }

  friend constexpr bool operator==(Currency a, Currency b) = default;
  friend constexpr std::strong_ordering operator<=>(Currency a, Currency b) = default;

  static Int64 CheckedAdd(Int64 a, Int64 b);
  static Int64 CheckedSub(Int64 a, Int64 b);
  static Int64 Multiply(Int64 a, Int64 b);
  static Int64 Divide(Int64 a, Int64 b);

private:
public:
  // The most whole units a Currency holds.
  static constexpr Int64 kMaxUnits = INT64_MAX / kScale;

private:
  static constexpr Int64 WholeUnits(Int64 units) {
    if (units > kMaxUnits || units < -kMaxUnits) OverflowError();
    return units * kScale;
  }
  [[noreturn]] static void OverflowError();
};
