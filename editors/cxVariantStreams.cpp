// The fixed-width and tagged value formats.
#include "editors/cxVariantStreams.h"

#include "core/Float80.h"
#include "core/StrUtils.h"
#include "core/Streams.h"
#include "core/Variant.h"
#include "editors/cxClasses.h"
#include "editors/cxDataConsts.h"

#include <cstring>
#include <vector>

namespace {

// The tags of the tagged format (the component stream's value types).
enum TValueTag : Byte {
  vaNull = 0, vaList = 1, vaInt8 = 2, vaInt16 = 3, vaInt32 = 4, vaExtended = 5, vaString = 6,
  vaFalse = 8, vaTrue = 9, vaLString = 12, vaNil = 13, vaSingle = 15, vaCurrency = 16, vaDate = 17,
  vaWString = 18,
};

// Arrays inside arrays deeper than this are taken for a corrupt stream, not followed until
// the stack runs out.
constexpr int kMaxNesting = 64;

[[noreturn]] void ReadError() { throw EReadError(TranslateLibraryString(cxSDataReadError)); }
[[noreturn]] void WriteError() { throw EWriteError(TranslateLibraryString(cxSDataWriteError)); }

template <class T> void WriteLE(TStream* S, T Value) {
  Byte b[sizeof(T)];
  std::memcpy(b, &Value, sizeof(T));  // the machines are little-endian, as the format
  S->WriteBuffer(b, sizeof(T));
}

template <class T> T ReadLE(TStream* S) {
  T v;
  S->ReadBuffer(&v, sizeof(T));
  return v;
}

void WriteTag(TStream* S, TValueTag Tag) { WriteLE<Byte>(S, Tag); }

// A length or count of Units units of Size bytes each that the stream cannot hold is
// corrupt; nothing is allocated for it.
void CheckAvailable(TStream* S, Int64 Units, Int64 Size) {
  if (Units < 0 || Units > (S->Size() - S->Position()) / Size) ReadError();
}

String ReadBytes(TStream* S, Int64 Count) {
  CheckAvailable(S, Count, 1);
  String s(static_cast<std::size_t>(Count), '\0');
  if (Count) S->ReadBuffer(s.data(), Count);
  return s;
}

void WriteUtf16(TStream* S, const WideString& W) {
  std::vector<Byte> bytes(W.size() * 2);
  for (std::size_t i = 0; i < W.size(); ++i) {
    bytes[2 * i] = Byte(W[i] & 0xFF);
    bytes[2 * i + 1] = Byte(W[i] >> 8);
  }
  if (!bytes.empty()) S->WriteBuffer(bytes.data(), Int64(bytes.size()));
}

WideString ReadUtf16(TStream* S, Int64 Count) {
  CheckAvailable(S, Count, 2);
  std::vector<Byte> bytes(static_cast<std::size_t>(Count) * 2);
  if (Count) S->ReadBuffer(bytes.data(), Int64(bytes.size()));
  WideString w(static_cast<std::size_t>(Count), u'\0');
  for (std::size_t i = 0; i < w.size(); ++i) w[i] = char16_t(bytes[2 * i] | (bytes[2 * i + 1] << 8));
  return w;
}

void WriteTaggedInteger(TStream* S, Integer V) {
  if (V >= -128 && V <= 127) {
    WriteTag(S, vaInt8);
    WriteLE<ShortInt>(S, ShortInt(V));
  } else if (V >= -32768 && V <= 32767) {
    WriteTag(S, vaInt16);
    WriteLE<SmallInt>(S, SmallInt(V));
  } else {
    WriteTag(S, vaInt32);
    WriteLE<Integer>(S, V);
  }
}

void WriteTaggedString(TStream* S, const String& Text) {
  if (Text.size() <= 255) {
    WriteTag(S, vaString);
    WriteLE<Byte>(S, Byte(Text.size()));
  } else {
    if (Text.size() > 0x7FFFFFFF) WriteError();
    WriteTag(S, vaLString);
    WriteLE<Integer>(S, Integer(Text.size()));
  }
  if (!Text.empty()) S->WriteBuffer(Text.data(), Int64(Text.size()));
}

Variant ReadTagged(TStream* S, int Depth);

Variant ReadArray(TStream* S, int Depth) {
  if (Depth >= kMaxNesting) ReadError();
  const Variant count = ReadTagged(S, Depth + 1);
  const TVarType t = VarType(count);
  if (t != varShortInt && t != varSmallint && t != varInteger) ReadError();
  const Integer n = count.AsInteger();
  CheckAvailable(S, n, 1);  // every element takes at least its tag
  Variant result = VarArrayCreate({0, n - 1}, varVariant);
  for (Integer i = 0; i < n; ++i) result.PutElement({i}, ReadTagged(S, Depth + 1));
  return result;
}

Variant ReadTagged(TStream* S, int Depth) {
  switch (ReadLE<Byte>(S)) {
    case vaNull: return Null();
    case vaList: return ReadArray(S, Depth);
    case vaInt8: return Variant(ReadLE<signed char>(S));
    case vaInt16: return Variant(ReadLE<short>(S));
    case vaInt32: return Variant(int(ReadLE<Integer>(S)));
    case vaExtended: return Variant(static_cast<double>(LoadExtended(S)));
    case vaString: return Variant(ReadBytes(S, ReadLE<Byte>(S)));
    case vaFalse: return Variant(false);
    case vaTrue: return Variant(true);
    case vaLString: return Variant(ReadBytes(S, ReadLE<Integer>(S)));
    case vaNil: return Unassigned();
    case vaSingle: return Variant(ReadLE<float>(S));
    case vaCurrency: return Variant(Currency::FromRaw(ReadLE<Int64>(S)));
    case vaDate: return Variant::FromDate(ReadLE<double>(S));
    case vaWString: return Variant::FromOleStr(Utf16ToUtf8(ReadUtf16(S, ReadLE<Integer>(S))));
    default: ReadError();
  }
}

}  // namespace

// ---------------------------------------------------------------- fixed widths

bool LoadBool(TStream* Stream) { return ReadLE<Byte>(Stream) != 0; }
void SaveBool(TStream* Stream, bool Value) { WriteLE<Byte>(Stream, Value ? 1 : 0); }
SmallInt LoadInt16(TStream* Stream) { return ReadLE<SmallInt>(Stream); }
void SaveInt16(TStream* Stream, SmallInt Value) { WriteLE(Stream, Value); }
Word LoadUInt16(TStream* Stream) { return ReadLE<Word>(Stream); }
void SaveUInt16(TStream* Stream, Word Value) { WriteLE(Stream, Value); }
Integer LoadInt32(TStream* Stream) { return ReadLE<Integer>(Stream); }
void SaveInt32(TStream* Stream, Integer Value) { WriteLE(Stream, Value); }
Int64 LoadInt64(TStream* Stream) { return ReadLE<Int64>(Stream); }
void SaveInt64(TStream* Stream, Int64 Value) { WriteLE(Stream, Value); }

Extended LoadExtended(TStream* Stream) {
  Byte b[10];
  Stream->ReadBuffer(b, 10);
  return BytesToExtended(b);
}

void SaveExtended(TStream* Stream, Extended Value) {
  Byte b[10];
  ExtendedToBytes(Value, b);
  Stream->WriteBuffer(b, 10);
}

Currency LoadCurrencyValue(TStream* Stream) { return Currency::FromRaw(ReadLE<Int64>(Stream)); }
void SaveCurrencyValue(TStream* Stream, Currency Value) { WriteLE(Stream, Value.Value); }
TDateTime LoadDateTimeValue(TStream* Stream) { return ReadLE<double>(Stream); }
void SaveDateTimeValue(TStream* Stream, TDateTime Value) { WriteLE(Stream, Value); }

String LoadAnsiText(TStream* Stream) { return ReadBytes(Stream, ReadLE<Integer>(Stream)); }

void SaveAnsiText(TStream* Stream, const String& Value) {
  if (Value.size() > 0x7FFFFFFF) WriteError();
  WriteLE<Integer>(Stream, Integer(Value.size()));
  if (!Value.empty()) Stream->WriteBuffer(Value.data(), Int64(Value.size()));
}

WideString LoadWideText(TStream* Stream) { return ReadUtf16(Stream, ReadLE<Integer>(Stream)); }

void SaveWideText(TStream* Stream, const WideString& Value) {
  if (Value.size() > 0x3FFFFFFF) WriteError();
  WriteLE<Integer>(Stream, Integer(Value.size()));
  WriteUtf16(Stream, Value);
}

// ---------------------------------------------------------------- tagged variants

void SaveVariant(TStream* Stream, const Variant& Value) {
  if (VarIsArray(Value)) {
    if (VarArrayDimCount(Value) != 1) WriteError();
    const int low = VarArrayLowBound(Value, 1), high = VarArrayHighBound(Value, 1);
    WriteTag(Stream, vaList);
    WriteTaggedInteger(Stream, high - low + 1);
    for (int i = low; i <= high; ++i) SaveVariant(Stream, Value.GetElement({i}));
    return;
  }
  switch (VarType(Value) & varTypeMask) {
    case varNull: WriteTag(Stream, vaNull); return;
    case varEmpty: WriteTag(Stream, vaNil); return;
    case varShortInt:
    case varByte:
    case varSmallint:
    case varInteger: WriteTaggedInteger(Stream, Value.AsInteger()); return;
    case varDouble:
      WriteTag(Stream, vaExtended);
      SaveExtended(Stream, Value.AsDouble());
      return;
    case varString: WriteTaggedString(Stream, Value.AsString()); return;
    case varBoolean: WriteTag(Stream, Value.AsBoolean() ? vaTrue : vaFalse); return;
    case varSingle:
      WriteTag(Stream, vaSingle);
      WriteLE<float>(Stream, float(Value.AsDouble()));
      return;
    case varCurrency:
      WriteTag(Stream, vaCurrency);
      SaveCurrencyValue(Stream, Value.AsCurrency());
      return;
    case varDate:
      WriteTag(Stream, vaDate);
      WriteLE<double>(Stream, Value.AsDateTime());
      return;
    case varOleStr: {
      const WideString w = Utf8ToUtf16(Value.AsString());
      if (w.size() > 0x3FFFFFFF) WriteError();
      WriteTag(Stream, vaWString);
      WriteLE<Integer>(Stream, Integer(w.size()));
      WriteUtf16(Stream, w);
      return;
    }
    default: {
      // Other types travel as their text; one that has none cannot be written.
      String text;
      try {
        text = Value.AsString();
      } catch (const EVariantError&) {
        WriteError();
      }
      WriteTaggedString(Stream, text);
    }
  }
}

Variant LoadVariant(TStream* Stream) { return ReadTagged(Stream, 0); }
