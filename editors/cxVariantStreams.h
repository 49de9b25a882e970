#pragma once
// The editor library's binary value format on a platform stream: fixed-width little-endian
// fields per value type, and a self-describing tagged format for whole variants, arrays
// included. Texts are UTF-8 bytes; wide texts are UTF-16LE. Reading checks every length and
// count against the bytes left and raises EReadError "流读取错误" for what cannot be there;
// a stream that ends inside a fixed field raises the stream's own read error.
#include "core/Currency.h"
#include "core/System.h"

class TStream;
class Variant;

bool LoadBool(TStream* Stream);
void SaveBool(TStream* Stream, bool Value);
SmallInt LoadInt16(TStream* Stream);
void SaveInt16(TStream* Stream, SmallInt Value);
Word LoadUInt16(TStream* Stream);
void SaveUInt16(TStream* Stream, Word Value);
Integer LoadInt32(TStream* Stream);
void SaveInt32(TStream* Stream, Integer Value);
Int64 LoadInt64(TStream* Stream);
void SaveInt64(TStream* Stream, Int64 Value);
Extended LoadExtended(TStream* Stream);  // 10-byte x87 extended
void SaveExtended(TStream* Stream, Extended Value);
Currency LoadCurrencyValue(TStream* Stream);  // ten-thousandths as a 64-bit integer
void SaveCurrencyValue(TStream* Stream, Currency Value);
TDateTime LoadDateTimeValue(TStream* Stream);  // 8-byte double
void SaveDateTimeValue(TStream* Stream, TDateTime Value);
String LoadAnsiText(TStream* Stream);  // 4-byte length, then the bytes
void SaveAnsiText(TStream* Stream, const String& Value);
WideString LoadWideText(TStream* Stream);  // 4-byte character count, then UTF-16LE
void SaveWideText(TStream* Stream, const WideString& Value);

// One tag byte and its payload. A variant array must have one dimension, and a value that
// has no text raises EWriteError "流写入错误".
void SaveVariant(TStream* Stream, const Variant& Value);
Variant LoadVariant(TStream* Stream);
