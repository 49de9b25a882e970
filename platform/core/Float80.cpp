// The 80-bit float codec of the component stream.
#include "core/Float80.h"

#include "core/Filer_p.h"

#include <cmath>
#include <cstring>

using namespace filer_impl;

void ExtendedToBytes(Extended value, Byte out[10]) {
  std::uint64_t mant = 0;
  unsigned exp = 0;
  if (std::isnan(value)) {
    exp = 0x7FFF;
    mant = 0xC000000000000000ull;
  } else if (std::isinf(value)) {
    exp = 0x7FFF;
    mant = 0x8000000000000000ull;
  } else if (value != 0) {
    int e = 0;
    Extended m = std::frexp(std::fabs(value), &e);  // |value| = m * 2^e, m in [0.5, 1)
    int biased = e - 1 + 16383;
    int shift = 64;
    if (biased <= 0) {  // below the normal range: the integer bit goes, the exponent stays 0
      shift -= 1 - biased;
      biased = 0;
    }
    Extended scaled = std::ldexp(m, shift);
    Extended whole = std::floor(scaled);
    Extended frac = scaled - whole;
    mant = static_cast<std::uint64_t>(whole);
    // Rounding only matters where long double carries more than 64 bits of mantissa.
    if (frac > 0.5L || (frac == 0.5L && (mant & 1))) {
      ++mant;
      if (mant == 0) {
        mant = 0x8000000000000000ull;
        ++biased;
      } else if (biased == 0 && mant == 0x8000000000000000ull) {
        biased = 1;
      }
    }
    if (biased >= 0x7FFF) {
      biased = 0x7FFF;
      mant = 0x8000000000000000ull;
    }
    exp = static_cast<unsigned>(biased);
  }
  if (std::signbit(value)) exp |= 0x8000;
  PutLE(out, mant, 8);
  PutLE(out + 8, exp, 2);
}

Extended BytesToExtended(const Byte in[10]) {
  std::uint64_t mant = GetLE(in, 8);
  unsigned se = static_cast<unsigned>(GetLE(in + 8, 2));
  bool neg = (se & 0x8000) != 0;
  int exp = static_cast<int>(se & 0x7FFF);
  Extended v;
  if (exp == 0x7FFF) {
    v = (mant << 1) == 0 ? HUGE_VALL : std::nanl("");
  } else if (exp == 0 && mant == 0) {
    v = 0;
  } else {
    v = std::ldexp(static_cast<Extended>(mant), (exp == 0 ? 1 : exp) - 16383 - 63);
  }
  return neg ? -v : v;
}
