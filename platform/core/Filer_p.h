#pragma once
// Private to platform/core: what the component stream's reader, writer and float codec share.
#include "core/FilerBase.h"

#include <cstdint>

class TPropInfo;

namespace filer_impl {

// Errors the reader has already given their full context; handlers further out pass them on
// unchanged instead of wrapping them a second time.
struct TFilerMark {};
class EReadErrorAt : public EReadError, public TFilerMark {
public:
  using EReadError::EReadError;
  const char* ClassName() const override { return "EReadError"; }
};
class EClassNotFoundAt : public EClassNotFound, public TFilerMark {
public:
  using EClassNotFound::EClassNotFound;
  const char* ClassName() const override { return "EClassNotFound"; }
};

// Deeper nesting than this only comes from damaged data; stop before the stack runs out.
constexpr int kMaxNesting = 500;

struct TNestingGuard {
  int& Depth;
  explicit TNestingGuard(int& d) : Depth(d) { ++Depth; }
  ~TNestingGuard() { --Depth; }
};

inline void PutLE(Byte* out, std::uint64_t v, int n) {
  for (int i = 0; i < n; ++i) out[i] = static_cast<Byte>(v >> (8 * i));
}
inline std::uint64_t GetLE(const Byte* in, int n) {
  std::uint64_t v = 0;
  for (int i = 0; i < n; ++i) v |= std::uint64_t(in[i]) << (8 * i);
  return v;
}

inline bool IsIntType(TValueType t) { return t == vaInt8 || t == vaInt16 || t == vaInt32 || t == vaInt64; }
inline bool IsStringType(TValueType t) {
  return t == vaString || t == vaLString || t == vaUTF8String || t == vaWString;
}
inline bool IsNumberType(TValueType t) {
  return IsIntType(t) || t == vaExtended || t == vaSingle || t == vaCurrency || t == vaDate;
}
inline bool IsIdentType(TValueType t) {
  return t == vaIdent || t == vaFalse || t == vaTrue || t == vaNil || t == vaNull;
}

inline const char* KindText(TValueType t) {
  switch (t) {
    case vaNull: return "an end marker or Null";
    case vaList: return "a list";
    case vaInt8: case vaInt16: case vaInt32: case vaInt64: return "an integer";
    case vaExtended: case vaSingle: case vaCurrency: case vaDate: return "a number";
    case vaString: case vaLString: case vaWString: case vaUTF8String: return "a string";
    case vaIdent: return "an identifier";
    case vaFalse: case vaTrue: return "a Boolean";
    case vaBinary: return "binary data";
    case vaSet: return "a set";
    case vaNil: return "nil";
    case vaCollection: return "a collection";
  }
  return "an unknown value";
}

}  // namespace filer_impl

// A reference to a component of a root not yet registered: set when that root registers and
// has read its layout. The holder is watched, so a freed holder drops it.
void AddPendingReference(TPersistent* Instance, const TPropInfo* Prop, const String& RootName, const String& Rest,
                         TComponent* Holder);
