#pragma once
// The 10-byte little-endian extended format of the component stream (64-bit mantissa with
// explicit integer bit, 15-bit exponent, sign). Every double converts both ways without loss.
#include "core/System.h"

void ExtendedToBytes(Extended value, Byte out[10]);
Extended BytesToExtended(const Byte in[10]);
