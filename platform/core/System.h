#pragma once
// Basic types of the runtime: strings, integers, dates, the root object and sets.
// Declares TObject.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

using String = std::string;  // UTF-8 text
using WideString = std::u16string;
using AnsiChar = char;
using WideChar = char16_t;
using Byte = std::uint8_t;
using ShortInt = std::int8_t;
using SmallInt = std::int16_t;
using Word = std::uint16_t;
using Integer = std::int32_t;
using Cardinal = std::uint32_t;
using LongInt = std::int32_t;
using LongWord = std::uint32_t;
using Int64 = std::int64_t;
using Extended = long double;
using TDateTime = double;  // days since 1899-12-30, fraction = time of day
using TBytes = std::vector<Byte>;

class TClassInfo;
using TClass = const TClassInfo*;

// Root of every class that takes part in reflection, streaming or scripting.
class TObject {
public:
  TObject() = default;
  // Drops the object's script handle, if it was given one (ObjectHandles.h).
  virtual ~TObject();
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;

  static TClass StaticClass();
  static constexpr const char* StaticClassName() { return "TObject"; }
  virtual TClass ClassType() const;
  String ClassName() const;
  bool InheritsFrom(TClass cls) const;
  template <class T> bool Is() const { return dynamic_cast<const T*>(this) != nullptr; }
};

// A set over an enumeration of at most 64 elements, stored as a bit mask (element n = bit n).
template <class E> class TSet {
public:
  constexpr TSet() = default;
  constexpr TSet(std::initializer_list<E> items) {
    for (E e : items) FBits |= Bit(e);
  }
  static constexpr TSet FromBits(std::uint64_t bits) { TSet s; s.FBits = bits; return s; }
  constexpr std::uint64_t Bits() const { return FBits; }
  constexpr bool Contains(E e) const { return (FBits & Bit(e)) != 0; }
  constexpr bool Empty() const { return FBits == 0; }
  constexpr TSet& Include(E e) { FBits |= Bit(e); return *this; }
  constexpr TSet& Exclude(E e) { FBits &= ~Bit(e); return *this; }
  constexpr TSet operator+(TSet o) const { return FromBits(FBits | o.FBits); }
  constexpr TSet operator-(TSet o) const { return FromBits(FBits & ~o.FBits); }
  constexpr TSet operator*(TSet o) const { return FromBits(FBits & o.FBits); }
  constexpr TSet operator+(E e) const { return FromBits(FBits | Bit(e)); }
  constexpr TSet operator-(E e) const { return FromBits(FBits & ~Bit(e)); }
  constexpr TSet& operator+=(TSet o) { FBits |= o.FBits; return *this; }
  constexpr TSet& operator-=(TSet o) { FBits &= ~o.FBits; return *this; }
  constexpr TSet& operator+=(E e) { return Include(e); }
  constexpr TSet& operator-=(E e) { return Exclude(e); }
  constexpr bool operator==(const TSet&) const = default;
  // Subset test, as the platform's `<=` on sets.
  constexpr bool operator<=(TSet o) const { return (FBits & ~o.FBits) == 0; }

private:
  static constexpr std::uint64_t Bit(E e) { return std::uint64_t(1) << static_cast<unsigned>(e); }
  std::uint64_t FBits = 0;
};

template <class T> inline T* FreeAndNil(T*& p) {
  delete p;
  p = nullptr;
  return nullptr;
}
