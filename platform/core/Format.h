#pragma once
// Format: the '%' specifier language over a list of typed arguments.
// Declares TVarRec.
#include "core/Currency.h"
#include "core/FormatSettings.h"

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string_view>
#include <vector>

enum TVarRecType : Byte { vtInteger, vtBoolean, vtChar, vtExtended, vtString, vtPointer, vtCurrency, vtInt64, vtUInt64 };

// One argument of Format. Texts are held as views: the argument must outlive the call, which a
// braced list of temporaries does.
struct TVarRec {
  TVarRecType VType;
  union {
    Integer VInteger;
    bool VBoolean;
    char VChar;
    Extended VExtended;
    std::string_view VString;
    const void* VPointer;
    Int64 VInt64;  // also the raw value of vtCurrency
    std::uint64_t VUInt64;
  };

  constexpr TVarRec(bool v) : VType(vtBoolean), VBoolean(v) {}
  constexpr TVarRec(char v) : VType(vtChar), VChar(v) {}
  constexpr TVarRec(signed char v) : VType(vtInteger), VInteger(v) {}
  constexpr TVarRec(unsigned char v) : VType(vtInteger), VInteger(v) {}
  constexpr TVarRec(short v) : VType(vtInteger), VInteger(v) {}
  constexpr TVarRec(unsigned short v) : VType(vtInteger), VInteger(v) {}
  constexpr TVarRec(int v) : VType(vtInteger), VInteger(v) {}
  constexpr TVarRec(unsigned v) : VType(vtInt64), VInt64(v) {}
  constexpr TVarRec(long v) : VType(vtInt64), VInt64(v) {}
  constexpr TVarRec(long long v) : VType(vtInt64), VInt64(v) {}
  constexpr TVarRec(unsigned long v) : VType(vtUInt64), VUInt64(v) {}
  constexpr TVarRec(unsigned long long v) : VType(vtUInt64), VUInt64(v) {}
  constexpr TVarRec(float v) : VType(vtExtended), VExtended(v) {}
  constexpr TVarRec(double v) : VType(vtExtended), VExtended(v) {}
  constexpr TVarRec(long double v) : VType(vtExtended), VExtended(v) {}
  constexpr TVarRec(Currency v) : VType(vtCurrency), VInt64(v.Value) {}
  constexpr TVarRec(const char* v) : VType(vtString), VString(v ? std::string_view(v) : std::string_view()) {}
  constexpr TVarRec(std::string_view v) : VType(vtString), VString(v) {}
  TVarRec(const String& v) : VType(vtString), VString(v) {}
  constexpr TVarRec(const void* v) : VType(vtPointer), VPointer(v) {}
  constexpr TVarRec(std::nullptr_t) : VType(vtPointer), VPointer(nullptr) {}
};

// `%[index:][-][width][.precision]type` with the types d u x e f g n m p s (either case), '*'
// for a width or precision taken from the arguments, "%%" for '%'. A specifier that does not
// fit its argument raises EConvertError "Format '<fmt>' invalid or incompatible with argument";
// too few arguments "No argument for format '<fmt>'".
String Format(std::string_view fmt, std::initializer_list<TVarRec> args);
String Format(std::string_view fmt, const std::vector<TVarRec>& args);
String Format(std::string_view fmt, std::span<const TVarRec> args, const TFormatSettings& fs);
