// Conversions between Variants and the argument lists of Format.
#include "script/fs_itools.h"

#include "core/ObjectHandles.h"

Variant ConstArgToVariant(const TVarRec& Arg) {
  switch (Arg.VType) {
    case vtInteger: return Variant(Arg.VInteger);
    case vtBoolean: return Variant(Arg.VBoolean);
    case vtChar: return Variant(String(1, Arg.VChar));
    case vtExtended: return Variant(static_cast<double>(Arg.VExtended));
    case vtCurrency: return Variant(static_cast<double>(Arg.VInt64) / 10000.0);
    case vtString: return Variant(String(Arg.VString));
    case vtPointer: return Variant(HandleOf(static_cast<const TObject*>(Arg.VPointer)));
    case vtInt64: return Variant(Arg.VInt64);
    case vtUInt64: return Variant(Arg.VUInt64);
  }
  return Null();
}

TfsConstArgs VariantArrayToConstArgs(const Variant& A) {
  TfsConstArgs r;
  if (!VarIsArray(A)) return r;
  int low = VarArrayLowBound(A, 1);
  int count = VarArrayHighBound(A, 1) - low + 1;
  if (count <= 0) return r;
  r.FTexts = std::make_unique<String[]>(count);
  r.FArgs.reserve(count);
  for (int i = 0; i < count; ++i) {
    Variant v = A.GetElement({low + i});
    switch (VarType(v) & varTypeMask) {
      case varSmallint: case varInteger: case varShortInt: case varByte: case varWord:
        r.FArgs.emplace_back(v.AsInteger());
        break;
      case varLongWord:
        // Beyond 2147483647 an Integer would turn negative.
        r.FArgs.emplace_back(static_cast<long long>(v.AsInt64()));
        break;
      case varInt64:
        r.FArgs.emplace_back(static_cast<long long>(v.AsInt64()));
        break;
      case varSingle: case varDouble: case varCurrency: case varDate:
        r.FArgs.emplace_back(v.AsDouble());
        break;
      case varOleStr: case varString:
        r.FTexts[i] = v.AsString();
        r.FArgs.emplace_back(std::string_view(r.FTexts[i]));
        break;
      case varBoolean:
        r.FArgs.emplace_back(v.AsBoolean());
        break;
      default:
        r.FArgs.emplace_back(0);
    }
    if (VarIsArray(v)) r.FArgs.back() = TVarRec(0);
  }
  return r;
}

void FreeConstArgs(TfsConstArgs& Args) {
  Args.FArgs.clear();
  Args.FTexts.reset();
}
