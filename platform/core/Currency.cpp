#include "core/Currency.h"
#include "core/Exceptions.h"

#include <cmath>

namespace {
using Int128 = __int128;

// Rounds the quotient n / d (d > 0) half to even.
Int128 DivHalfEven(Int128 n, Int128 d) {
  Int128 q = n / d, r = n % d;
  if (r < 0) { r += d; --q; }  // floor division, 0 <= r < d
  Int128 twice = 2 * r;
  if (twice > d || (twice == d && (q & 1) != 0)) ++q;
  return q;
}

Int64 Narrow(Int128 v) {
  if (v > INT64_MAX || v < INT64_MIN) throw EOverflow("Floating point overflow");
  return static_cast<Int64>(v);
}

// Half to even for a value whose fraction is exact (|v| < 2^63).
Extended RoundHalfEven(Extended v) {
  Extended f = std::floor(v);
  Extended d = v - f;
  if (d > 0.5L || (d == 0.5L && std::fmod(f, 2.0L) != 0)) f += 1;
  return f;
}
}  // namespace

void Currency::OverflowError() { throw EOverflow("Floating point overflow"); }

Int64 Currency::CheckedAdd(Int64 a, Int64 b) {
  Int64 r;
  if (__builtin_add_overflow(a, b, &r)) OverflowError();
  return r;
}

Int64 Currency::CheckedSub(Int64 a, Int64 b) {
  Int64 r;
  if (__builtin_sub_overflow(a, b, &r)) OverflowError();
  return r;
}

Int64 Currency::Multiply(Int64 a, Int64 b) {
  return Narrow(DivHalfEven(static_cast<Int128>(a) * b, kScale));
}

Int64 Currency::Divide(Int64 a, Int64 b) {
  if (b == 0) throw EZeroDivide("Floating point division by zero");
  Int128 n = static_cast<Int128>(a) * kScale;
  if (b < 0) { n = -n; b = -b; }
  return Narrow(DivHalfEven(n, b));
}

Currency Currency::FromExtended(Extended v) {
  // A double times the scale needs at most 63 significant bits, so the product is exact in the
  // 64-bit mantissa and the tie test below sees the true value.
  Extended scaled = v * kScale;
  if (!(std::fabs(scaled) < 0x1p63L)) OverflowError();
  Extended r = RoundHalfEven(scaled);
  if (!(std::fabs(r) < 0x1p63L)) OverflowError();
  return FromRaw(static_cast<Int64>(r));
}

Currency Currency::FromDouble(double v) { return FromExtended(static_cast<Extended>(v)); }
