// Variant comparison of the editor library.
#include "editors/cxVariants.h"

#include <cmath>
#include <functional>

namespace {

template <class T> int Sign(const T& a, const T& b) { return a < b ? -1 : b < a ? 1 : 0; }

// Values the platform cannot order: by variant type, then within a type by what tells them
// apart (error codes, objects, NaN after numbers), so that swapping them swaps the sign.
int CompareIncomparable(const Variant& V1, const Variant& V2) {
  const TVarType t1 = VarType(V1), t2 = VarType(V2);
  if (t1 != t2) return Sign(t1, t2);
  switch (t1) {
    case varError: return Sign(V1.ErrorCode(), V2.ErrorCode());
    case varDispatch:
    case varUnknown: {
      const void* a = V1.AsUnknown().get();
      const void* b = V2.AsUnknown().get();
      return std::less<const void*>()(a, b) ? -1 : std::less<const void*>()(b, a) ? 1 : 0;
    }
    case varSingle:
    case varDouble:
    case varDate: return Sign(int(std::isnan(V1.AsDouble())), int(std::isnan(V2.AsDouble())));
    default: return 0;
  }
}

}  // namespace

int CompareVariants(const Variant& V1, const Variant& V2) {
  if ((V1.VType() | V2.VType()) & varArray) return CompareVariantArrays(V1, V2);
  return CompareScalarVariants(V1, V2);
}

int CompareScalarVariants(const Variant& V1, const Variant& V2) {
  try {
    switch (VarCompareValue(V1, V2)) {
      case vrEqual: return 0;
      case vrLessThan: return -1;
      case vrGreaterThan: return 1;
      case vrNotEqual: break;
    }
  } catch (const EVariantError&) {
  }
  return CompareIncomparable(V1, V2);
}

int CompareVariantArrays(const Variant& V1, const Variant& V2) {
  const bool a1 = VarIsArray(V1), a2 = VarIsArray(V2);
  if (a1 != a2) return a1 ? 1 : -1;
  const int high1 = VarArrayHighBound(V1, 1), high2 = VarArrayHighBound(V2, 1);
  if (high1 != high2) return high1 - high2;
  // Arrays that start at different bounds differ in length: the longer one is greater.
  const int low1 = VarArrayLowBound(V1, 1), low2 = VarArrayLowBound(V2, 1);
  if (low1 != low2) return low2 - low1;
  for (int i = low1; i <= high1; ++i)
    if (int r = CompareVariants(V1.GetElement({i}), V2.GetElement({i}))) return r;
  return 0;
}

bool VariantsEqualStrict(const Variant& V1, const Variant& V2) {
  const TVarType t1 = VarType(V1), t2 = VarType(V2);
  if (t1 == varNull || t2 == varNull || (t1 != varBoolean && t2 != varBoolean)) return VariantsEqual(V1, V2);
  try {
    return V1.AsString() == V2.AsString();
  } catch (const EVariantError&) {
    return false;
  }
}

bool IsDateVariant(const Variant& V) { return (VarType(V) & varTypeMask) == varDate && !VarIsArray(V); }

bool IsNumericVariant(const Variant& V) { return VarIsNumeric(V); }

bool IsNullOrEmptyText(const Variant& V) {
  if (VarIsNull(V)) return true;
  return VarIsStr(V) && V.AsString().empty();
}
